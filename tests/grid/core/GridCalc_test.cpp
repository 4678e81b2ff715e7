#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Column 1 of rows 1.. holds the given texts under one fixed row.
struct CalcGrid {
    TDedOzovedUrad G { nullptr };
    explicit CalcGrid(const std::vector<String>& Texts, int Extra = 0)
    {
        G.SetColCount(3);
        G.SetRowCount(int(Texts.size()) + 1 + Extra);
        for (std::size_t i = 0; i < Texts.size(); ++i)
            G.SetCells(1, int(i) + 1, Texts[i]);
    }
};

// A grid whose floating footer shows the last row, with footer kind Kind in
// column 1.
void ShowFooter(TDedOzovedUrad& G, TColumnCalcType Kind)
{
    G.GetFloatingFooter()->SetFooterStyle(fsFixedLastRow);
    G.GetFloatingFooter()->SetVisible(true);
    G.GetFloatingFooter()->SetColumnCalc(1, Kind);
}

} // namespace

// Empty cells read 0, texts that are no number are skipped, and the
// averages divide by the rows of the range.
TEST(GridCalc, ColumnAggregatesSkipTextsThatAreNoNumber)
{
    // A word is no number ("text" keeps only its exponent mark "e").
    CalcGrid S({ u"1", u"2", u"", u"text" });
    EXPECT_DOUBLE_EQ(S.G.ColumnSum(1, -1, -1), 3);
    EXPECT_DOUBLE_EQ(S.G.ColumnSum(1, 1, -1), 3);
    EXPECT_DOUBLE_EQ(S.G.ColumnAvg(1, -1, -1), 0.75);
    EXPECT_DOUBLE_EQ(S.G.ColumnCount(1, -1, -1), 4);
    EXPECT_DOUBLE_EQ(S.G.ColumnCount(1, 2, 3), 2);
    EXPECT_NO_THROW(S.G.ColumnStdDev(1, -1, -1));

    CalcGrid D({ u"2", u"4", u"4", u"4", u"5", u"5", u"7", u"9" });
    EXPECT_DOUBLE_EQ(D.G.ColumnStdDev(1, -1, -1), 2);
    // A text among them adds nothing and keeps the row count as N.
    CalcGrid T({ u"text", u"3", u"3" });
    EXPECT_DOUBLE_EQ(T.G.ColumnAvg(1, -1, -1), 2);
    EXPECT_DOUBLE_EQ(T.G.ColumnStdDev(1, -1, -1), std::sqrt(2.0 / 3));
    // An empty range divides by nothing.
    EXPECT_DOUBLE_EQ(D.G.ColumnStdDev(1, 5, 4), 0);
    EXPECT_DOUBLE_EQ(D.G.ColumnAvg(1, 5, 4), 0);
}

// The first number starts the minimum and maximum: a text before it is
// skipped like any other, and a range without a number gives 0.
TEST(GridCalc, MinAndMaxStartAtTheFirstNumber)
{
    struct Case {
        const char* Name;
        std::vector<String> Texts;
        double Min, Max;
    };
    const Case Cases[] = {
        { "text first", { u"text", u"5", u"-3", u"8" }, -3, 8 },
        { "text last", { u"4", u"6", u"Melbourne" }, 4, 6 },
        { "no number", { u"text", u"Perth" }, 0, 0 },
        { "negatives only", { u"-4", u"-2" }, -4, -2 },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        CalcGrid S(c.Texts);
        EXPECT_DOUBLE_EQ(S.G.ColumnMin(1, -1, -1), c.Min);
        EXPECT_DOUBLE_EQ(S.G.ColumnMax(1, -1, -1), c.Max);
        // The same cells as one row.
        TDedOzovedUrad R(nullptr);
        R.SetColCount(int(c.Texts.size()) + 1);
        for (std::size_t i = 0; i < c.Texts.size(); ++i)
            R.SetCells(int(i) + 1, 1, c.Texts[i]);
        EXPECT_DOUBLE_EQ(R.RowMin(1, 1, int(c.Texts.size())), c.Min);
        EXPECT_DOUBLE_EQ(R.RowMax(1, 1, int(c.Texts.size())), c.Max);
    }
}

TEST(GridCalc, RowAndRectangleAggregates)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(5);
    G.SetRowCount(4);
    const char16_t* Row[] = { u"1", u"2", u"x", u"5" };
    for (int c = 0; c < 4; ++c)
        G.SetCells(c + 1, 1, Row[c]);
    EXPECT_DOUBLE_EQ(G.RowSum(1, 1, 4), 8);
    EXPECT_DOUBLE_EQ(G.RowAvg(1, 1, 4), 2);
    // An empty range.
    EXPECT_DOUBLE_EQ(G.RowAvg(1, 3, 2), 0);
    EXPECT_DOUBLE_EQ(G.RowSum(1, 3, 2), 0);
    // A merged area counts once, at its base cell.
    G.MergeCells(1, 1, 2, 1);
    EXPECT_DOUBLE_EQ(G.RowSum(1, 1, 4), 6);

    G.SetCells(1, 2, u"10");
    G.SetCells(2, 2, u"20");
    G.SetCells(1, 3, u"-5");
    G.SetCells(2, 3, u"");
    const TGridRect Rect { 1, 2, 2, 3 };
    const TGridRect Inverted { 2, 3, 1, 2 };
    EXPECT_DOUBLE_EQ(G.RectSum(Rect), 25);
    EXPECT_DOUBLE_EQ(G.RectAvg(Inverted), G.RectAvg(Rect));
    EXPECT_DOUBLE_EQ(G.RectMin(Inverted), -5);
    EXPECT_DOUBLE_EQ(G.RectMax(Rect), 20);
    G.SetSelection(Rect);
    EXPECT_DOUBLE_EQ(G.SelectionSum(), 25);
    // A selection aggregate still reports a cell that is no number.
    G.SetCells(2, 3, u"text");
    EXPECT_THROW(G.RectSum(Rect), ERirEvozError);
}

// Hidden rows count when the range reaches past the rows in view.
TEST(GridCalc, RangesPastTheRowsInViewReadHiddenRows)
{
    CalcGrid S({ u"1", u"2", u"4", u"8", u"a", u"A" });
    HideRowsForTest(S.G, { 2, 5 });
    ASSERT_EQ(S.G.GetRowCount(), 5);
    // Rows in view: 1, 4, 8, A.
    EXPECT_DOUBLE_EQ(S.G.ColumnSum(1, -1, -1), 13);
    // Real rows 1..6: the hidden 2 and "a" too.
    EXPECT_DOUBLE_EQ(S.G.ColumnSum(1, 1, 6), 15);
    EXPECT_DOUBLE_EQ(S.G.ColumnMax(1, 1, 6), 8);
    // Mean 15 / 6 over the six real rows.
    EXPECT_DOUBLE_EQ(S.G.ColumnStdDev(1, 1, 6), std::sqrt(47.5 / 6));
    EXPECT_DOUBLE_EQ(S.G.ColumnDistinct(1, -1, -1), 4);
    EXPECT_DOUBLE_EQ(S.G.ColumnDistinct(1, 1, 6), 5);
}

TEST(GridCalc, DistinctValuesHonoursCase)
{
    // The hidden row's stored text is trimmed.
    CalcGrid S({ u"b", u"a", u"A", u"c " });
    HideRowsForTest(S.G, { 4 });
    std::unique_ptr<TStringList> Either = S.G.DistinctValues(1, false);
    ASSERT_EQ(Either->GetCount(), 3);
    EXPECT_EQ(Either->GetStrings(0), u"a");
    EXPECT_EQ(Either->GetStrings(1), u"b");
    EXPECT_EQ(Either->GetStrings(2), u"c");

    std::unique_ptr<TStringList> Cased = S.G.DistinctValues(1, true);
    ASSERT_EQ(Cased->GetCount(), 4);
    for (const char16_t* V : { u"a", u"A", u"b", u"c" })
        EXPECT_GE(Cased->IndexOf(V), 0) << StringToUtf8(V);
    // The column count stays case-insensitive.
    EXPECT_DOUBLE_EQ(S.G.ColumnDistinct(1, -1, -1), 2);
}

TEST(GridCalc, CustomCalculationsAskTheirHandlers)
{
    CalcGrid S({ u"1" });
    EXPECT_DOUBLE_EQ(S.G.ColumnCustomCalc(1, 1, 1), 0);
    S.G.OnColumnCalc = [](TObject*, int ACol, int FromRow, int ToRow, double& Res) {
        Res = ACol * 100 + FromRow * 10 + ToRow;
    };
    S.G.OnGroupCalc = [](TObject*, int, int, int, double& Res) { Res = -1; };
    EXPECT_DOUBLE_EQ(S.G.ColumnCustomCalc(1, 2, 3), 123);
    EXPECT_DOUBLE_EQ(S.G.GroupCalcValue(1, 2, 3), -1);
}

// The footer row of the floating footer holds the column's calculation.
TEST(GridCalc, FooterCellsFollowTheirCalculation)
{
    {
        SCOPED_TRACE("count");
        TDedOzovedUrad G(nullptr);
        G.SetColCount(3);
        G.SetRowCount(11);
        ShowFooter(G, acCOUNT);
        EXPECT_EQ(G.GetCells(1, 10), u"9");
    }
    {
        SCOPED_TRACE("sum with a hidden row");
        CalcGrid S({ u"1", u"2", u"4", u"8" }, 1);
        ShowFooter(S.G, acSUM);
        EXPECT_DOUBLE_EQ(S.G.GetFloats(1, 5), 15);
        HideRowsForTest(S.G, { 2 });
        S.G.CalcFooter(-1);
        // All data rows, the hidden one included, never the footer's own value.
        EXPECT_DOUBLE_EQ(S.G.GetFloats(1, S.G.GetRowCount() - 1), 15);
        S.G.CalcFooter(-1);
        EXPECT_DOUBLE_EQ(S.G.GetFloats(1, S.G.GetRowCount() - 1), 15);
        S.G.GetFloatingFooter()->SetCalculateHiddenRows(false);
        S.G.CalcFooter(1);
        EXPECT_DOUBLE_EQ(S.G.GetFloats(1, S.G.GetRowCount() - 1), 13);
    }
    {
        SCOPED_TRACE("custom");
        CalcGrid S({ u"1" }, 1);
        ShowFooter(S.G, acCUSTOM);
        EXPECT_EQ(S.G.GetCells(1, 2), u"");
        S.G.OnFooterCalc = [](TObject*, int ACol, int ARow, String& Value) {
            Value = IntToStr(ACol) + u"@" + IntToStr(ARow);
        };
        S.G.CalcFooter(-1);
        EXPECT_EQ(S.G.GetCells(1, 2), u"1@2");
    }
}

// One text cell in a min footer column must not break a row insertion
// halfway: the footer is recalculated after every change of cells.
TEST(GridCalc, TextInAMinFooterColumnDoesNotStopInsertRows)
{
    CalcGrid S({ u"text", u"7", u"3" }, 1);
    ShowFooter(S.G, acMIN);
    EXPECT_DOUBLE_EQ(S.G.GetFloats(1, 4), 3);
    EXPECT_NO_THROW(S.G.InsertRows(1, 2));
    EXPECT_EQ(S.G.GetRowCount(), 7);
    EXPECT_EQ(S.G.GetCells(1, 3), u"text");
    // The inserted rows are empty and read 0.
    EXPECT_DOUBLE_EQ(S.G.GetFloats(1, 6), 0);
    EXPECT_NO_THROW(S.G.ClearRows(1, 3));
}
