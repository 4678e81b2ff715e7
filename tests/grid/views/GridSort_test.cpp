#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>

#include "tests/grid/views/GridViewsTest.h"

using namespace gridviewstest;

namespace {

// Image indexes and check boxes as the cell objects will give them: read
// from the cell text, so they travel with the row.
class TObjectGrid : public TDedOzovedUrad {
public:
    using TDedOzovedUrad::TDedOzovedUrad;
    int CellImageIndex(int ACol, int ARow) override
    {
        const String s = GetGridCell(ACol, ARow);
        return s.starts_with(u"img") ? StrToInt(s.substr(3)) : -1;
    }
    bool IsChecked(int ACol, int ARow) override { return GetGridCell(ACol, ARow) == u"x"; }
};

struct Sorting : TViewsGrid {
    void SetUp() override { SetCollationLocale("en_US"); }
    // The sort style handed out for every column.
    void UseStyle(TSortStyle Style, String Prefix = String(), String Suffix = String())
    {
        G.OnGetFormat = [=](TObject*, int, TSortStyle& S, String& P, String& Sx) {
            S = Style;
            P = Prefix;
            Sx = Suffix;
        };
    }
};

TEST_F(Sorting, AutoFormatSortsNumbersByValueAndTheAlphabeticStyleByText)
{
    FillColumn({ u"10", u"9", u"100" });
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(0), (TTexts { u"9", u"10", u"100" }));
    G.GetSortSettings()->SetAutoFormat(false);
    G.GetSortSettings()->SetDefaultFormat(ssAlphabetic);
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(0), (TTexts { u"10", u"100", u"9" }));
    // No sort column: nothing moves.
    G.GetSortSettings()->SetColumn(-1);
    G.QSort();
    EXPECT_EQ(Col(0), (TTexts { u"10", u"100", u"9" }));
}

TEST_F(Sorting, NumbersLoseTheSuffixOnGetFormatGivesAtEveryComparisonAndTextCountsAsZero)
{
    FillColumn({ u"40%", u"5%", u"abc", u"100%" });
    int Asked = 0;
    G.OnGetFormat = [&](TObject*, int, TSortStyle& S, String&, String& Suffix) {
        ++Asked;
        S = ssNumeric;
        Suffix = u"%";
    };
    const int Before = G.Compares;
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(0), (TTexts { u"abc", u"5%", u"40%", u"100%" }));
    EXPECT_EQ(Asked, G.Compares - Before);
    EXPECT_GT(Asked, 0);
    // Two error marks compare equal; one counts as 0 against a number.
    G.SetCellEx(0, 1, u"x");
    G.SetCellEx(0, 2, u"y");
    G.SetCellEx(0, 3, u"-3%");
    EXPECT_EQ(G.CompareCells(0, 1, 2, sdAscending), 0);
    EXPECT_EQ(G.CompareCells(0, 1, 3, sdAscending), 1);
    EXPECT_EQ(G.CompareCells(0, 1, 4, sdAscending), -1);
}

TEST_F(Sorting, BlanksStayLastInBothDirections)
{
    FillColumn({ u"b", u"", u"c", u"", u"a" });
    G.GetSortSettings()->SetIgnoreBlanks(true);
    G.GetSortSettings()->SetBlankPos(blLast);
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(0), (TTexts { u"a", u"b", u"c", u"", u"" }));
    G.Sort(0, sdDescending);
    EXPECT_EQ(Col(0), (TTexts { u"c", u"b", u"a", u"", u"" }));
    G.GetSortSettings()->SetBlankPos(blFirst);
    G.Sort(0, sdDescending);
    EXPECT_EQ(Col(0), (TTexts { u"", u"", u"c", u"b", u"a" }));
}

TEST_F(Sorting, DayMonthYearDatesSortChronologically)
{
    TFormatScope Format;
    for (bool Automatic : { false, true }) {
        SCOPED_TRACE(Automatic);
        FillColumn({ u"01/01/2021", u"31/12/2020", u"15/06/2020" });
        if (!Automatic)
            UseStyle(ssShortDateEU);
        G.Sort(0, sdAscending);
        EXPECT_EQ(Col(0), (TTexts { u"15/06/2020", u"31/12/2020", u"01/01/2021" }));
    }
}

TEST_F(Sorting, FullLetsTheNextColumnBreakTiesAndOffAsksOnlyTheSortColumn)
{
    Fill({ { u"b", u"2" }, { u"a", u"9" }, { u"a", u"1" } });
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(1), (TTexts { u"1", u"9", u"2" }));
    G.Sort(0, sdDescending);
    EXPECT_EQ(Col(1), (TTexts { u"2", u"9", u"1" }));

    std::set<int> Asked;
    G.OnGetFormat = [&](TObject*, int ACol, TSortStyle&, String&, String&) { Asked.insert(ACol); };
    G.GetSortSettings()->SetFull(false);
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(0), (TTexts { u"a", u"a", u"b" }));
    EXPECT_EQ(Asked, std::set<int> { 0 });
}

TEST_F(Sorting, IndexedSortBreaksTiesByTheSecondKeyDescending)
{
    Fill({ { u"b", u"1", u"p" }, { u"a", u"1", u"q" }, { u"a", u"3", u"r" }, { u"b", u"2", u"s" } });
    G.GetSortIndexes().AddIndex(0, true);
    G.GetSortIndexes().AddIndex(1, false);
    G.QSortIndexed();
    EXPECT_EQ(Col(2), (TTexts { u"r", u"q", u"s", u"p" }));

    std::set<int> Asked;
    G.OnGetFormat = [&](TObject*, int ACol, TSortStyle&, String&, String&) { Asked.insert(ACol); };
    G.GetSortSettings()->SetFull(false);
    G.QSortIndexed();
    EXPECT_EQ(Col(0), (TTexts { u"a", u"a", u"b", u"b" }));
    EXPECT_EQ(Asked, std::set<int> { 0 });

    G.GetSortIndexes().Clear();
    EXPECT_THROW(G.QSortIndexed(), ERirEvozError);
}

TEST_F(Sorting, UnSortBringsBackTheOrderBeforeTheFirstSort)
{
    Fill({ { u"c", u"1" }, { u"a", u"3" }, { u"b", u"2" }, { u"d", u"0" } });
    G.Sort(0, sdAscending);
    G.Sort(1, sdDescending);
    ASSERT_NE(Col(0), (TTexts { u"c", u"a", u"b", u"d" }));
    G.QUnSort();
    EXPECT_EQ(Col(0), (TTexts { u"c", u"a", u"b", u"d" }));
    EXPECT_EQ(G.GetSortSettings()->GetColumn(), -1);
}

TEST_F(Sorting, NormalCellsOnlyKeepsTheRowNumbersOfTheFixedColumn)
{
    Fill({ { u"1", u"c" }, { u"2", u"a" }, { u"3", u"b" } }, 1);
    G.GetSortSettings()->SetNormalCellsOnly(true);
    G.Sort(1, sdAscending);
    EXPECT_EQ(Col(1), (TTexts { u"a", u"b", u"c" }));
    EXPECT_EQ(Col(0), (TTexts { u"1", u"2", u"3" }));
}

TEST_F(Sorting, MoveRowOnSortTakesTheFocusAlongWithItsRow)
{
    for (bool Move : { true, false }) {
        SCOPED_TRACE(Move);
        FillColumn({ u"c", u"a", u"b" });
        G.GetNavigation()->SetMoveRowOnSort(Move);
        G.SetRow(1); // "c"
        G.Sort(0, sdAscending);
        EXPECT_EQ(Col(0), (TTexts { u"a", u"b", u"c" }));
        EXPECT_EQ(G.GetRow(), Move ? 3 : 1);
    }
}

TEST_F(Sorting, AFailingSortPutsTheGridBackTheWayItWas)
{
    Fill({ { u"c", u"1", u"x" }, { u"a", u"2", u"y" }, { u"b", u"3", u"z" } });
    G.HideColumn(1);
    const int Rows = G.GetRowCount(), Cols = G.GetColCount();
    int Calls = 0;
    G.OnGetFormat = [&](TObject*, int, TSortStyle&, String&, String&) {
        if (++Calls == 2)
            throw std::runtime_error("handler");
    };
    EXPECT_THROW(G.Sort(0, sdAscending), std::runtime_error);
    EXPECT_TRUE(G.IsHiddenColumn(1));
    EXPECT_EQ(G.GetColCount(), Cols);
    EXPECT_EQ(G.GetRowCount(), Rows);
    EXPECT_EQ(G.GetUpdateCount(), 0);
    for (int r = Rows; r < Rows + 3; ++r)
        EXPECT_EQ(G.GetGridCell(0, r), u"") << r;
}

struct TStyleCase {
    TSortStyle Style;
    TTexts In;
    TTexts Out;
};

TEST_F(Sorting, EveryStyleOrdersFiveRows)
{
    TFormatScope Format;
    const TStyleCase Cases[] = {
        { ssAutomatic, { u"10", u"9", u"100", u"-1", u"2.5" }, { u"-1", u"2.5", u"9", u"10", u"100" } },
        { ssAlphabetic, { u"b", u"A", u"a", u"B", u"c" }, { u"A", u"B", u"a", u"b", u"c" } },
        { ssNumeric, { u"10", u"9", u"100", u"-1", u"2.5" }, { u"-1", u"2.5", u"9", u"10", u"100" } },
        { ssDate, { u"01/02/2021", u"31/12/2020", u"15/01/2021", u"02/01/2021", u"01/01/2020" },
            { u"01/01/2020", u"31/12/2020", u"02/01/2021", u"15/01/2021", u"01/02/2021" } },
        { ssAlphaNoCase, { u"b", u"A", u"c", u"D", u"e" }, { u"A", u"b", u"c", u"D", u"e" } },
        { ssAlphaCase, { u"b", u"A", u"a", u"B", u"c" }, { u"A", u"B", u"a", u"b", u"c" } },
        { ssShortDateEU, { u"01/02/2021", u"31/12/2020", u"15/01/21", u"02/01/2021", u"01/01/2020" },
            { u"01/01/2020", u"31/12/2020", u"02/01/2021", u"15/01/21", u"01/02/2021" } },
        { ssShortDateUS, { u"02/01/2021", u"12/31/2020", u"01/15/2021", u"01/02/2021", u"01/01/2020" },
            { u"01/01/2020", u"12/31/2020", u"01/02/2021", u"01/15/2021", u"02/01/2021" } },
        { ssCustom, { u"ccc", u"a", u"eeeee", u"bb", u"dddd" }, { u"a", u"bb", u"ccc", u"dddd", u"eeeee" } },
        { ssFinancial, { u"$1,000", u"$9", u"$100", u"$5.5", u"$20" }, { u"$5.5", u"$9", u"$20", u"$100", u"$1,000" } },
        { ssAnsiAlphaCase, { u"b", u"A", u"a", u"B", u"c" }, { u"a", u"A", u"b", u"B", u"c" } },
        { ssAnsiAlphaNoCase, { u"Fred", u"\u00C9mile", u"dan", u"ezra", u"ella" },
            { u"dan", u"ella", u"\u00C9mile", u"ezra", u"Fred" } },
        { ssRaw, { u"3", u"1", u"5", u"2", u"4" }, { u"5", u"4", u"3", u"2", u"1" } },
        { ssHTML, { u"<b>d</b>", u"b", u"<i>a</i>", u"e", u"c" }, { u"<i>a</i>", u"b", u"c", u"<b>d</b>", u"e" } },
        { ssImages, { u"img3", u"img1", u"", u"img7", u"img2" }, { u"", u"img1", u"img2", u"img3", u"img7" } },
        { ssCheckBox, { u"x", u"", u"x", u"", u"" }, { u"", u"", u"", u"x", u"x" } },
        { ssDateTime, { u"31/12/2020 10:00", u"31/12/2020 09:30", u"01/01/2021 00:00", u"30/12/2020 23:59", u"01/01/2020 12:00" },
            { u"01/01/2020 12:00", u"30/12/2020 23:59", u"31/12/2020 09:30", u"31/12/2020 10:00", u"01/01/2021 00:00" } },
        { ssTime, { u"10:00", u"9:30", u"23:59", u"00:01", u"12:00" }, { u"00:01", u"9:30", u"10:00", u"12:00", u"23:59" } },
        { ssAlphaNumeric, { u"10", u"9", u"100", u"1", u"20" }, { u"1", u"9", u"10", u"20", u"100" } },
        { ssAlphaNumericNoCase, { u"b", u"A", u"c", u"D", u"e" }, { u"A", u"b", u"c", u"D", u"e" } },
        { ssNatural, { u"file10", u"file9", u"file100", u"File2", u"file1" },
            { u"file1", u"File2", u"file9", u"file10", u"file100" } },
        { ssVarDate, { u"12/31/2020", u"1/2/2021", u"6/15/2020", u"1/1/2021", u"2/1/2019" },
            { u"2/1/2019", u"6/15/2020", u"12/31/2020", u"1/1/2021", u"1/2/2021" } },
    };
    for (const TStyleCase& Case : Cases) {
        SCOPED_TRACE(int(Case.Style));
        TObjectGrid Grid(nullptr);
        Grid.SetColCount(1);
        Grid.SetRowCount(6);
        Grid.SetFixedRows(1);
        Grid.SetFixedCols(0);
        for (int r = 0; r < 5; ++r)
            Grid.SetCellEx(0, r + 1, Case.In[std::size_t(r)]);
        const TSortStyle Style = Case.Style;
        Grid.OnGetFormat = [Style](TObject*, int, TSortStyle& S, String&, String&) { S = Style; };
        Grid.OnCustomCompare = [](TObject*, const String& a, const String& b, int& Res) {
            Res = a.size() > b.size() ? 1 : a.size() == b.size() ? 0 : -1;
        };
        // Raw: by the value, largest first.
        Grid.OnRawCompare = [&Grid](TObject*, int ACol, int R1, int R2, int& Res) {
            Res = StrToInt(Grid.GetGridCell(ACol, R2)) - StrToInt(Grid.GetGridCell(ACol, R1));
            Res = Res > 0 ? 1 : Res < 0 ? -1 : 0;
        };
        Grid.Sort(0, sdAscending);
        TTexts Got;
        for (int r = 1; r < 6; ++r)
            Got.push_back(Grid.GetGridCell(0, r));
        EXPECT_EQ(Got, Case.Out);
    }
}

} // namespace

namespace {

// Rows "b a c a b a c" in column 0, numbered 1..7 in column 1.
struct QuickSortOrder : TViewsGrid {
    void SetUp() override
    {
        Fill({ { u"b", u"1" }, { u"a", u"2" }, { u"c", u"3" }, { u"a", u"4" }, { u"b", u"5" }, { u"a", u"6" },
            { u"c", u"7" } });
        G.GetSortSettings()->SetAutoFormat(false);
        G.GetSortSettings()->SetDefaultFormat(ssAlphabetic);
        G.GetSortSettings()->SetFull(false);
    }
};

struct TOrderCase {
    const char* What;
    bool Indexed;
    TSortDirection Direction;
    TTexts Numbers; // column 1 after the sort
    int Compares;
};

// Rows with equal keys end where the quicksort leaves them (it is not
// stable), with the same number of comparisons whether the keys are read
// once (no handler) or through OnGetFormat at every comparison.
TEST_F(QuickSortOrder, EqualKeysAndComparisonCountsFollowTheQuicksort)
{
    const TOrderCase Cases[] = {
        { "ascending", false, sdAscending, { u"6", u"2", u"4", u"1", u"5", u"3", u"7" }, 27 },
        { "descending", false, sdDescending, { u"3", u"7", u"1", u"5", u"4", u"6", u"2" }, 28 },
        // The indexed sort also exchanges rows that compare equal.
        { "indexed", true, sdAscending, { u"4", u"6", u"2", u"1", u"5", u"7", u"3" }, 21 },
    };
    for (const TOrderCase& Case : Cases)
        for (bool Handler : { false, true }) {
            SCOPED_TRACE(std::string(Case.What) + (Handler ? ", OnGetFormat" : ""));
            SetUp();
            int Asked = 0;
            G.OnGetFormat = nullptr;
            if (Handler)
                G.OnGetFormat = [&](TObject*, int, TSortStyle&, String&, String&) { ++Asked; };
            const int Before = G.Compares;
            if (Case.Indexed) {
                G.GetSortIndexes().Clear();
                G.GetSortIndexes().AddIndex(0, true);
                G.QSortIndexed();
            } else {
                G.Sort(0, Case.Direction);
            }
            EXPECT_EQ(Col(1), Case.Numbers);
            EXPECT_EQ(G.Compares - Before, Case.Compares);
            if (Handler)
                EXPECT_EQ(Asked, Case.Compares);
            G.QUnSort();
            EXPECT_EQ(Col(1), (TTexts { u"1", u"2", u"3", u"4", u"5", u"6", u"7" }));
        }
}

// Values that make the middle row the largest of its range at every step:
// each pass splits off one row, the worst order for this quicksort.
std::vector<int> WorstOrder(int n)
{
    std::vector<int> Label(static_cast<std::size_t>(n)), Value(static_cast<std::size_t>(n));
    for (int k = 0; k < n; ++k)
        Label[std::size_t(k)] = k;
    int Next = n - 1;
    for (int Right = n - 1; Right > 0; --Right) {
        const int Mid = Right / 2;
        Value[std::size_t(Label[std::size_t(Mid)])] = Next--;
        std::swap(Label[std::size_t(Mid)], Label[std::size_t(Right)]);
    }
    Value[std::size_t(Label[0])] = Next;
    return Value;
}

// The stack a sort of n rows in the worst order uses, in bytes.
std::ptrdiff_t WorstOrderStack(int n)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(1);
    G.SetRowCount(n + 1);
    G.SetFixedRows(1);
    const std::vector<int> Values = WorstOrder(n);
    for (int r = 0; r < n; ++r)
        G.SetGridCell(0, r + 1, IntToStr(Values[std::size_t(r)]));
    char Top = 0;
    const char* Deepest = &Top;
    G.OnGetFormat = [&](TObject*, int, TSortStyle& S, String&, String&) {
        char Here = 0;
        Deepest = std::min<const char*>(Deepest, &Here);
        S = ssNumeric;
    };
    G.Sort(0, sdAscending);
    for (int r = 1; r <= n; ++r)
        EXPECT_EQ(G.GetGridCell(0, r), IntToStr(r - 1));
    return &Top - Deepest;
}

// The keyed sort compares texts after the beginning all keys share, by a
// packed head of four code units first: the rows end in the order of the
// cell-by-cell comparison and after as many comparisons, with keys that are
// only the shared part, run into a NUL or a high code unit, or part after
// the head.
TEST_F(Sorting, AKeyedOrdinalSortMatchesTheCellByCellSort)
{
    const TTexts Keys = { u"info@b", u"info@abcd1", u"info@", String(u"info@ab\0c", 10), u"info@ab",
        u"info@\xFFFF", u"info@abcd0", u"info@a", String(u"info@ab\0", 9), u"info@abcd" };
    TTexts Expected = Keys;
    std::stable_sort(Expected.begin(), Expected.end(), [](const String& a, const String& b) { return CompareStr(a, b) < 0; });
    for (TSortDirection Direction : { sdAscending, sdDescending }) {
        std::vector<int> Counts;
        for (bool Handler : { false, true }) {
            SCOPED_TRACE(testing::Message() << (Direction == sdAscending ? "ascending" : "descending")
                                            << (Handler ? ", OnGetFormat" : ""));
            FillColumn(Keys);
            G.GetSortSettings()->SetAutoFormat(false);
            G.GetSortSettings()->SetDefaultFormat(ssAlphabetic);
            G.OnGetFormat = nullptr;
            if (Handler)
                UseStyle(ssAlphabetic);
            const int Before = G.Compares;
            G.Sort(0, Direction);
            Counts.push_back(G.Compares - Before);
            TTexts Want = Expected;
            if (Direction == sdDescending)
                std::reverse(Want.begin(), Want.end());
            EXPECT_EQ(Col(0), Want);
        }
        EXPECT_EQ(Counts[0], Counts[1]);
    }
}

TEST(QuickSortDepth, TheWorstOrderNeedsNoMoreStackForMoreRows)
{
    const std::ptrdiff_t Few = WorstOrderStack(40);
    const std::ptrdiff_t Many = WorstOrderStack(800);
    EXPECT_LT(Many, Few + 4096) << Few << " bytes for 40 rows";
}

// A sort by images reads the image index of the cells' own image objects.
TEST_F(Sorting, TheImageStyleComparesTheCellsImageIndexes)
{
    FillColumn({ u"c", u"a", u"d", u"b" });
    const int Images[] = { 3, 1, -1, 2 };
    for (int r = 0; r < 4; ++r)
        if (Images[r] >= 0)
            G.CreateCellGraphic(0, r + 1)->SetImageIdx(Images[r], haLeft, vaTop);
    UseStyle(ssImages);
    G.Sort(0, sdAscending);
    EXPECT_EQ(Col(0), (TTexts { u"d", u"a", u"b", u"c" }));
    EXPECT_EQ(G.GetCellImageIdx(0, 4), 3);
}

} // namespace
