#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/ControlList.h"
#include "grid/core/IntList.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Rows 0..N-1 of column 1 say "rN"; column 2 of every third row has a
// colour (a cell property); row r is 20 + r pixels high; row 4 carries a
// user object.
struct RowsGrid : ::testing::Test {
    TDedOzovedUrad Grid { nullptr };
    TObject Marker;

    void Fill(int N, int FixedRows = 0)
    {
        Grid.SetColCount(4);
        Grid.SetRowCount(N);
        Grid.SetFixedRows(FixedRows);
        for (int r = 0; r < N; ++r) {
            Grid.SetCells(1, r, u"r" + IntToStr(r));
            Grid.SetRowHeights(r, 20 + r);
            if (r % 3 == 0)
                Grid.SetColors(2, r, TColor(0x100 + r));
        }
        if (N > 4)
            Grid.SetObjects(3, 4, &Marker);
    }
    // The rows in view, by their texts.
    std::string Texts()
    {
        std::string s;
        for (int r = 0; r < Grid.GetRowCount(); ++r)
            s += (r ? " " : "") + StringToUtf8(Grid.GetCells(1, r));
        return s;
    }
    // Every row in view carries the looks and height its text says it had.
    void ExpectRowsIntact()
    {
        for (int r = 0; r < Grid.GetRowCount(); ++r) {
            const std::string t = StringToUtf8(Grid.GetCells(1, r));
            if (t.size() < 2 || t[0] != 'r')
                continue;
            const int Was = std::stoi(t.substr(1));
            SCOPED_TRACE(t);
            EXPECT_EQ(Grid.GetRowHeights(r), 20 + Was);
            EXPECT_EQ(Grid.GetColors(2, r), Was % 3 == 0 ? TColor(0x100 + Was) : clNone);
            EXPECT_EQ(Grid.GetObjects(3, r), Was == 4 ? &Marker : nullptr);
        }
    }
    std::vector<int> StoredIdx()
    {
        std::vector<int> v;
        for (int i = 0; i < Grid.NumHiddenRows(); ++i)
            v.push_back(static_cast<TGridItem*>(Grid.GetGridItems()->GetItem(i))->GetIdx());
        return v;
    }
    void HideList(std::vector<int> Rows)
    {
        TIntList List;
        List.SetValues(std::move(Rows));
        Grid.HideRowList(&List);
    }
};

} // namespace

TEST_F(RowsGrid, HiddenRowsComeBackWithTextsLooksObjectsAndHeights)
{
    Fill(10);
    Grid.HideRows(2, 4);
    EXPECT_EQ(Grid.GetRowCount(), 7);
    EXPECT_EQ(StoredIdx(), (std::vector<int> { 2, 3, 4 }));
    EXPECT_EQ(Grid.RealRowIndex(TDisplayRow(2)).Value, 5);
    EXPECT_EQ(Texts(), "r0 r1 r5 r6 r7 r8 r9");
    ExpectRowsIntact();
    Grid.UnHideRows(2, 4);
    EXPECT_EQ(Grid.NumHiddenRows(), 0);
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9");
    ExpectRowsIntact();

    // Hidden one by one out of order, the store stays sorted and all
    // come back in runs.
    Grid.HideRow(6);
    Grid.HideRow(2);
    EXPECT_EQ(StoredIdx(), (std::vector<int> { 2, 6 }));
    Grid.UnHideRowsAll();
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9");
    ExpectRowsIntact();
}

TEST_F(RowsGrid, HidingARangeStoresOnlyTheRowsStillInView)
{
    Fill(10);
    Grid.HideRow(3);
    Grid.HideRows(2, 5);
    EXPECT_EQ(StoredIdx(), (std::vector<int> { 2, 3, 4, 5 }));
    EXPECT_EQ(Texts(), "r0 r1 r6 r7 r8 r9");
    Grid.HideRows(2, 5); // every row stored already: nothing
    EXPECT_EQ(Grid.NumHiddenRows(), 4);
    Grid.UnHideRowsAll();
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9");
    ExpectRowsIntact();
}

// Two filter levels over a row hidden directly: each UnHideRowList puts
// back only the latest level's rows, at the places they had; the row
// hidden directly stays stored until it is itself restored.
TEST_F(RowsGrid, FilterLevelsComeBackInReverseOrderAndLeaveOtherRowsStored)
{
    Fill(12, 1);
    Grid.HideRow(5);
    ASSERT_EQ(Texts(), "r0 r1 r2 r3 r4 r6 r7 r8 r9 r10 r11");
    HideList({ 2, 4, 9 }); // r2 r4 r10
    ASSERT_EQ(Texts(), "r0 r1 r3 r6 r7 r8 r9 r11");
    HideList({ 1, 5 }); // r1 r8
    ASSERT_EQ(Texts(), "r0 r3 r6 r7 r9 r11");
    EXPECT_EQ(Grid.GetFilterLevel(), 2);
    EXPECT_EQ(Grid.NumHiddenRows(), 6);

    Grid.UnHideRowList();
    Grid.SetFilterLevel(Grid.GetFilterLevel() - 1); // as the data views do
    EXPECT_EQ(Texts(), "r0 r1 r3 r6 r7 r8 r9 r11");
    EXPECT_EQ(Grid.NumHiddenRows(), 4);
    ExpectRowsIntact();
    Grid.UnHideRowList();
    Grid.SetFilterLevel(Grid.GetFilterLevel() - 1);
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r6 r7 r8 r9 r10 r11");
    EXPECT_EQ(StoredIdx(), (std::vector<int> { 5 }));
    ExpectRowsIntact();
    Grid.UnHideRowList(); // no level left: nothing
    EXPECT_EQ(Grid.NumHiddenRows(), 1);
    Grid.UnHideRowsAll();
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9 r10 r11");
    ExpectRowsIntact();
}

// Levels of thousands of rows, stored and freed again and again, as filter
// passes over a listing do: every row comes back in its place each time.
TEST_F(RowsGrid, LargeFilterLevelsComeBackWholeTimeAfterTime)
{
    constexpr int N = 5000;
    Fill(N);
    for (int Round = 0; Round < 3; ++Round) {
        SCOPED_TRACE(Round);
        std::vector<int> Odd, Third;
        for (int r = 1; r < N; r += 2)
            Odd.push_back(r);
        HideList(Odd);
        for (int r = 0; r < Grid.GetRowCount(); r += 3)
            Third.push_back(r);
        HideList(Third);
        EXPECT_EQ(Grid.NumHiddenRows(), int(Odd.size() + Third.size()));
        for (int Level = 0; Level < 2; ++Level) {
            Grid.UnHideRowList();
            Grid.SetFilterLevel(Grid.GetFilterLevel() - 1); // as the data views do
        }
        ASSERT_EQ(Grid.GetRowCount(), N);
        EXPECT_EQ(Grid.NumHiddenRows(), 0);
        for (int r = 0; r < N; r += 499)
            EXPECT_EQ(Grid.GetCells(1, r), u"r" + IntToStr(r));
    }
    ExpectRowsIntact();
}

TEST_F(RowsGrid, AFilterLevelNeverTakesEveryRowAndSuppressionKeepsTheCount)
{
    Fill(4);
    HideList({ 0, 1, 2, 3 });
    EXPECT_EQ(Grid.GetRowCount(), 1);
    Grid.UnHideRowList();
    EXPECT_EQ(Texts(), "r0 r1 r2 r3");

    Grid.SetFilterType(ftSuppress);
    HideList({ 1, 2 });
    EXPECT_EQ(Grid.GetRowCount(), 4);
    EXPECT_EQ(Grid.GetRowHeights(1), 0);
    EXPECT_EQ(Grid.GetRowHeights(2), 0);
    Grid.GetFilteredRowList()->Add(2);
    Grid.UnSuppressRows(0, 3);
    EXPECT_EQ(Grid.GetRowHeights(1), 21);
    EXPECT_EQ(Grid.GetRowHeights(2), 0); // still filtered
    Grid.UnSuppressAllRows();
    EXPECT_EQ(Grid.GetRowHeights(2), 22);
}

TEST(GridHiding, HiddenColumnsKeepTheirWidthsAndTheLastColumnStays)
{
    TDedOzovedUrad Grid(nullptr);
    Grid.SetColCount(4);
    for (int c = 0; c < 4; ++c)
        Grid.SetColWidths(c, 10 * (c + 1));
    Grid.HideColumns(1, 1);
    EXPECT_EQ(Grid.GetColCount(), 3);
    EXPECT_EQ(Grid.NumHiddenColumns(), 1);
    EXPECT_EQ(Grid.GetColWidths(1), 30);
    EXPECT_EQ(Grid.GetColWidths(2), 40);
    Grid.HideColumn(1); // hidden already
    EXPECT_EQ(Grid.NumHiddenColumns(), 1);
    Grid.UnHideColumn(1);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Grid.GetColWidths(c), 10 * (c + 1));

    Grid.HideColumns(0, 3);
    EXPECT_EQ(Grid.GetColCount(), 1);
    EXPECT_EQ(Grid.NumHiddenColumns(), 3);
    EXPECT_EQ(Grid.RealColIndex(TDisplayCol(0)).Value, 3);
    Grid.UnHideColumnsAll();
    EXPECT_EQ(Grid.GetColCount(), 4);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(Grid.GetColWidths(c), 10 * (c + 1));
}

// ---- structure operations ----

TEST_F(RowsGrid, RemovingRowsMovesStoredIndexesAndCutsAtTheEnd)
{
    Fill(12);
    Grid.HideRow(9);
    Grid.RemoveRows(5, 2); // r5 r6
    EXPECT_EQ(StoredIdx(), (std::vector<int> { 7 }));
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r7 r8 r10 r11");
    ExpectRowsIntact();
    Grid.UnHideRowsAll();
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r7 r8 r9 r10 r11");
    ExpectRowsIntact();

    // Only the rows that exist go.
    Grid.RemoveRows(8, 5);
    EXPECT_EQ(Texts(), "r0 r1 r2 r3 r4 r7 r8 r9");
    Grid.RemoveRows(8, 1); // at the count: nothing
    Grid.RemoveRows(-1, 2);
    EXPECT_EQ(Grid.GetRowCount(), 8);
    // Rows that come back after a removal are empty.
    Grid.SetRowCount(10);
    EXPECT_EQ(Grid.GetCells(1, 8), u"");
    EXPECT_EQ(Grid.GetColors(2, 9), clNone);
}

TEST_F(RowsGrid, InsertedRowsAreEmptyAndShiftFlagsHeightsAndStoredRows)
{
    Fill(8);
    Grid.GetShowModified()->SetEnabled(true);
    TDedOzovedUradTestAccess::SetUseEnabledRows(Grid, true);
    TIntList& Modified = TDedOzovedUradTestAccess::ModifiedRows(Grid);
    TIntList& Enabled = TDedOzovedUradTestAccess::EnabledRows(Grid);
    for (int r = 0; r < 8; ++r) {
        Modified.Add(r == 3 ? 1 : 0);
        Enabled.Add(r == 2 ? 1 : 0);
    }
    Grid.HideRow(6); // stored below the insertion point
    Grid.InsertRows(2, 3);
    EXPECT_EQ(Texts(), "r0 r1    r2 r3 r4 r5 r7");
    for (int r = 2; r < 5; ++r) {
        EXPECT_EQ(Grid.GetRowHeights(r), Grid.GetDefaultRowHeight());
        EXPECT_EQ(Grid.GetColors(2, r), clNone);
    }
    ExpectRowsIntact();
    EXPECT_EQ(Modified.GetInteger(6), 1);
    EXPECT_EQ(Modified.GetInteger(3), 0);
    EXPECT_EQ(Enabled.GetInteger(5), 1);
    EXPECT_EQ(StoredIdx(), (std::vector<int> { 9 }));
    Grid.UnHideRowsAll();
    EXPECT_EQ(Texts(), "r0 r1    r2 r3 r4 r5 r6 r7");
}

TEST_F(RowsGrid, MoveRowsPutsTheBlockBeforeTheTargetRow)
{
    struct Case {
        int From, To, Count;
        const char* Expect;
    } const Cases[] = {
        { 2, 8, 2, "r0 r1 r4 r5 r6 r7 r2 r3 r8 r9" },
        { 2, 4, 2, "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9" }, // right after the block: stays
        { 2, 5, 2, "r0 r1 r4 r2 r3 r5 r6 r7 r8 r9" },
        { 6, 1, 3, "r0 r6 r7 r8 r1 r2 r3 r4 r5 r9" },
        { 7, 10, 3, "r0 r1 r2 r3 r4 r5 r6 r7 r8 r9" },
        { 0, 10, 1, "r1 r2 r3 r4 r5 r6 r7 r8 r9 r0" },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(std::to_string(c.From) + " -> " + std::to_string(c.To));
        Grid.Clear();
        Fill(10);
        Grid.MoveRows(c.From, c.To, c.Count);
        EXPECT_EQ(Texts(), c.Expect);
        EXPECT_EQ(Grid.GetRowCount(), 10);
        for (int r = 0; r < 10; ++r) {
            const std::string t = StringToUtf8(Grid.GetCells(1, r));
            const int Was = std::stoi(t.substr(1));
            EXPECT_EQ(Grid.GetColors(2, r), Was % 3 == 0 ? TColor(0x100 + Was) : clNone) << t;
        }
    }
}

// Duplicates go by the column's texts; the rows that stay keep their
// raw texts and their own looks.
TEST_F(RowsGrid, RemoveDuplicatesKeepsTheFirstOfEachTextWithItsLooks)
{
    for (const bool DoCase : { false, true }) {
        SCOPED_TRACE(DoCase);
        Grid.SetColCount(4);
        Grid.SetRowCount(6);
        Grid.SetFixedRows(1);
        const char16_t* Keys[] = { u"head", u"a", u"A", u"b", u"a", u"b" };
        for (int r = 0; r < 6; ++r) {
            Grid.SetCells(1, r, Keys[r]);
            Grid.SetCells(2, r, u"=" + IntToStr(r));
            Grid.SetColors(3, r, TColor(r));
        }
        Grid.RemoveDuplicates(1, DoCase);
        std::string Rows;
        for (int r = 0; r < Grid.GetRowCount(); ++r) {
            Rows += StringToUtf8(Grid.GetCells(2, r)) + " ";
            EXPECT_EQ(Grid.GetColors(3, r), TColor(std::stoi(StringToUtf8(Grid.GetCells(2, r)).substr(1))));
        }
        EXPECT_EQ(Rows, DoCase ? "=0 =1 =2 =3 " : "=0 =1 =3 ");
    }
}

TEST_F(RowsGrid, RemovingRowsDropsExactlyTheirRowSelectFlags)
{
    Fill(8);
    Grid.GetMouseActions()->SetDisjunctRowSelect(true);
    for (int r : { 2, 3, 6 })
        Grid.SetRowSelect(r, true);
    Grid.RemoveRows(3, 2);
    EXPECT_FALSE(Grid.GetRowSelect(3));
    EXPECT_TRUE(Grid.GetRowSelect(2));
    EXPECT_TRUE(Grid.GetRowSelect(4)); // r6 moved up
    EXPECT_EQ(Grid.GetSelectedRowCount(), 2);
    Grid.RemoveSelectedRows();
    EXPECT_EQ(Texts(), "r0 r1 r5 r7");
    EXPECT_EQ(Grid.GetSelectedRowCount(), 0);
}

TEST(GridColumns, InsertRemoveAndSwapCarryStoredHiddenRowsAndTheSortColumn)
{
    TDedOzovedUrad Grid(nullptr);
    Grid.SetColCount(4);
    Grid.SetRowCount(4);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            Grid.SetCells(c, r, String(1, char16_t(u'a' + c)) + IntToStr(r));
    Grid.SetColWidths(1, 33);
    Grid.HideRow(2);
    Grid.GetSortSettings()->SetColumn(1);

    Grid.SwapColumns(1, 3);
    EXPECT_EQ(Grid.GetSortSettings()->GetColumn(), 3);
    EXPECT_EQ(Grid.GetCells(1, 0), u"d0");
    EXPECT_EQ(Grid.GetColWidths(3), 33);
    Grid.InsertCols(1, 2);
    EXPECT_EQ(Grid.GetColCount(), 6);
    EXPECT_EQ(Grid.GetCells(3, 1), u"d1");
    EXPECT_EQ(Grid.GetCells(1, 1), u"");
    Grid.RemoveCols(0, 1);
    EXPECT_EQ(Grid.GetCells(2, 0), u"d0");
    // More than remain: up to the last column, one column always stays.
    Grid.RemoveCols(4, 10);
    EXPECT_EQ(Grid.GetColCount(), 4);
    Grid.UnHideRowsAll();
    EXPECT_EQ(Grid.GetCells(2, 2), u"d2");
    EXPECT_EQ(Grid.GetCells(3, 2), u"c2");
    EXPECT_EQ(Grid.GetCells(0, 2), u"");
}

// Controls of removed rows are hidden and dropped; those below move up.
TEST_F(RowsGrid, RemovingRowsDropsTheirCellControls)
{
    Fill(8);
    auto* Gone = new TPanel(&Grid);
    auto* Below = new TPanel(&Grid);
    Grid.SetCellControls(2, 3, Gone);
    Grid.SetCellControls(2, 6, Below);
    Grid.RemoveRows(2, 2);
    EXPECT_FALSE(Gone->GetVisible());
    EXPECT_EQ(Grid.GetCellControls(2, 2), nullptr);
    EXPECT_EQ(Grid.GetCellControls(2, 4), Below);
    EXPECT_EQ(Grid.GetControlList()->Count(), 1);
}

// Sorting a single column exchanges the raw texts with their looks.
TEST_F(RowsGrid, SingleColumnSortSwapsRawCellsWithTheirLooks)
{
    Fill(4);
    Grid.GetSortSettings()->SetSingleColumn(true);
    Grid.GetSortSettings()->SetColumn(2);
    Grid.SetCells(2, 0, u"=1+1");
    Grid.SetCells(2, 3, u"plain");
    Grid.SortSwapRows(0, 3);
    EXPECT_EQ(Grid.GetGridCell(2, 3), u"=1+1");
    EXPECT_EQ(Grid.GetGridCell(2, 0), u"plain");
    EXPECT_EQ(Grid.GetColors(2, 3), TColor(0x100));
    EXPECT_EQ(Grid.GetColors(2, 0), TColor(0x103));
    EXPECT_EQ(Grid.GetCells(1, 0), u"r0"); // other columns stay
    EXPECT_EQ(Grid.Swaps, 1);
}

namespace {

// Rows whose text in column 1 ends in an odd digit count as checked.
class TCheckedGrid : public TDedOzovedUrad {
public:
    using TDedOzovedUrad::TDedOzovedUrad;
    bool IsChecked(int ACol, int ARow) override
    {
        const String t = GetCells(ACol, ARow);
        return !t.empty() && (t.back() - u'0') % 2 == 1;
    }
};

} // namespace

TEST(GridRowOps, RemoveCheckedRowsTakesEveryCheckedRowWithItsLooks)
{
    TCheckedGrid G(nullptr);
    G.SetRowCount(8);
    G.SetFixedRows(1);
    for (int r = 0; r < 8; ++r) {
        G.SetCells(1, r, u"r" + IntToStr(r));
        G.SetColors(2, r, TColor(r));
    }
    G.HideRow(6);
    G.RemoveCheckedRows(1, true);
    std::string Rows;
    for (int r = 0; r < G.GetRowCount(); ++r) {
        Rows += StringToUtf8(G.GetCells(1, r)) + " ";
        EXPECT_EQ(G.GetColors(2, r), TColor(G.GetCells(1, r).back() - u'0'));
    }
    EXPECT_EQ(Rows, "r0 r2 r4 ");
    EXPECT_EQ(static_cast<TGridItem*>(G.GetGridItems()->GetItem(0))->GetIdx(), 3);
    G.UnHideRowsAll();
    G.RemoveCheckedRows(1, false); // the fixed row stays, r6 goes now
    Rows.clear();
    for (int r = 0; r < G.GetRowCount(); ++r)
        Rows += StringToUtf8(G.GetCells(1, r)) + " ";
    EXPECT_EQ(Rows, "r0 ");
}
