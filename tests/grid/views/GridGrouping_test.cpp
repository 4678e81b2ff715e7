// Grouping: header rows over runs of equal values, summary rows, group
// calculations, ungrouping back to the grid as it was, sub-groups.

#include <gtest/gtest.h>

#include "grid/views/GridDataViewsImpl.h"
#include "tests/grid/views/GridViewsTest.h"

using namespace gridviewstest;

namespace {

// Column 0 is the node column, 1 the key, 2 a number, 3 a name; a footer
// row at the bottom.
struct Grouping : TViewsGrid {
    void FillKeys(const TTexts& Keys, bool Footer = false)
    {
        std::vector<TTexts> Rows;
        for (std::size_t i = 0; i < Keys.size(); ++i)
            Rows.push_back({ String(), Keys[i], IntToStr(int(i + 1) * 10), u"n" + IntToStr(int(i + 1)) });
        if (Footer)
            Rows.push_back({ String(), u"foot1", u"foot2", u"foot3" });
        Fill(Rows);
        if (Footer)
            G.SetFixedFooters(1);
        G.GetSortSettings()->SetAutoSortForGrouping(false);
    }
    // One entry per row below the fixed row: "H:<value>/<span>" for a
    // header, "S" for a summary row, else the row's column-c text.
    TTexts Layout(int c)
    {
        TTexts r;
        for (int i = G.GetFixedRows(); i < G.GetRowCount() - G.GetFixedFooters(); ++i) {
            if (G.IsNode(i))
                r.push_back(u"H:" + G.GetGridCell(1, i) + u"/" + IntToStr(G.GetNodeSpan(i)));
            else if (G.IsSummary(i))
                r.push_back(u"S");
            else
                r.push_back(G.GetGridCell(c, i));
        }
        return r;
    }
};

} // namespace

TEST_F(Grouping, RunsOfEqualValuesBecomeGroupsWithoutAutoSort)
{
    FillKeys({ u"a", u"a", u"b", u"a" });
    G.Group(1);
    EXPECT_EQ(G.GetGroupColumn(), 1);
    EXPECT_EQ(G.GetColCount(), 3); // the key column left the grid
    // The values are in column 1 (written to column 2 before column 1 went).
    EXPECT_EQ(Layout(1), (TTexts { u"H:a/3", u"10", u"20", u"H:b/2", u"30", u"H:a/2", u"40" }));
    EXPECT_EQ(G.GetNodeCount(), 3);
    EXPECT_EQ(G.GetRow(), 1);
}

TEST_F(Grouping, AutoSortMakesOneGroupPerValue)
{
    FillKeys({ u"b", u"a", u"b", u"a" });
    G.GetSortSettings()->SetAutoSortForGrouping(true);
    G.Group(1);
    EXPECT_EQ(G.GetNodeCount(), 2);
    EXPECT_EQ(G.GetGridCell(1, 1), u"a");
    EXPECT_EQ(G.GetGridCell(1, 4), u"b");
}

TEST_F(Grouping, SummaryRowsCloseEveryGroupAndTakeTheCalculation)
{
    FillKeys({ u"a", u"a", u"b" });
    G.GetGrouping()->SetSummary(true);
    G.GetGrouping()->SetSummaryColor(TColor(0x00FF00));
    G.Group(1);
    EXPECT_EQ(Layout(1), (TTexts { u"H:a/3", u"10", u"20", u"S", u"H:b/2", u"30", u"S" }));
    EXPECT_EQ(G.GetCellProperties(2, 4)->GetBrushColor(), TColor(0x00FF00));

    // Column 1 now holds the numbers.
    G.GroupSum(1);
    EXPECT_DOUBLE_EQ(G.GetFloats(1, 4), 30);
    EXPECT_DOUBLE_EQ(G.GetFloats(1, 7), 30);
    EXPECT_EQ(G.GetGridCell(1, 1), u"a"); // the header keeps its value

    // Without summary rows the results go into the headers.
    G.UnGroup();
    G.GetGrouping()->SetSummary(false);
    G.Group(1);
    G.GroupSum(1);
    EXPECT_DOUBLE_EQ(G.GetFloats(1, 1), 30);
    EXPECT_DOUBLE_EQ(G.GetFloats(1, 4), 30);
}

TEST_F(Grouping, GroupCountSkipsContractedGroups)
{
    FillKeys({ u"a", u"a", u"b", u"c", u"c", u"c" });
    G.Group(1);
    // Rows: H:a 1, 2, 3, H:b 4, 5, H:c 6 ...
    G.ContractNode(4);
    G.SetCells(2, 4, u"untouched");
    G.GroupCount(2);
    EXPECT_EQ(G.GetGridCell(2, 1), u"2");
    EXPECT_EQ(G.GetGridCell(2, 4), u"untouched");
    EXPECT_EQ(G.GetGridCell(2, 5), u"3");
}

TEST_F(Grouping, UnGroupRestoresTheColumnAndEveryValue)
{
    FillKeys({ u"a", u"b", u"a", u"c" }, true);
    G.SetColWidths(1, 77);
    G.SetGridCell(1, 0, u"Key");
    G.GetGrouping()->SetSummary(true);
    G.GetGrouping()->SetMergeHeader(true);
    G.GetGrouping()->SetHeaderColor(TColor(0x0000FF));
    G.Group(1);
    EXPECT_EQ(G.GetColCount(), 3);
    EXPECT_EQ(G.GetGridCell(1, G.GetRowCount() - 1), u"foot2");

    G.UnGroup();
    EXPECT_EQ(G.GetGroupColumn(), -1);
    EXPECT_EQ(G.GetColCount(), 4);
    EXPECT_EQ(G.GetColWidths(1), 77);
    EXPECT_EQ(G.GetGridCell(1, 0), u"Key");
    EXPECT_EQ(G.GetGridCell(1, G.GetRowCount() - 1), u"foot1");
    EXPECT_EQ(G.GetNodeCount(), 0);
    EXPECT_EQ(G.GetRowCount(), 6);
    EXPECT_EQ(Col(1), (TTexts { u"a", u"b", u"a", u"c", u"foot1" }));
    EXPECT_EQ(Col(2), (TTexts { u"10", u"20", u"30", u"40", u"foot2" }));
    EXPECT_EQ(Col(3), (TTexts { u"n1", u"n2", u"n3", u"n4", u"foot3" }));
    for (int r = 1; r < 5; ++r) {
        EXPECT_FALSE(G.IsSummary(r));
        EXPECT_FALSE(G.IsMergedCell(1, r));
    }
}

TEST_F(Grouping, ColumnsOutsideTheGridAndColumnZeroDoNothing)
{
    FillKeys({ u"a", u"b" });
    const TTexts Before = Col(1);
    G.SetGroupColumn(0);
    G.Group(G.GetColCount());
    G.Group(99);
    G.SubGroup(G.GetColCount());
    G.SetFixedCols(1);
    G.Group(0); // left of the fixed columns
    EXPECT_EQ(G.GetGroupColumn(), -1);
    EXPECT_EQ(G.GetNodeCount(), 0);
    EXPECT_EQ(G.GetColCount(), 4);
    EXPECT_EQ(Col(1), Before);
    G.SetGroupColumn(1);
    EXPECT_EQ(G.GetGroupColumn(), 1);
    G.SetGroupColumn(-1);
    EXPECT_EQ(G.GetGroupColumn(), -1);
    EXPECT_EQ(Col(1), Before);
}

TEST_F(Grouping, ShowGroupCountWithoutFormatAppendsTheCount)
{
    FillKeys({ u"a", u"a", u"b" });
    G.GetGrouping()->SetShowGroupCount(true);
    G.Group(1);
    EXPECT_EQ(G.GetCellEx(1, 1), u"a (2)");
    EXPECT_EQ(G.GetCellEx(1, 4), u"b (1)");
    G.GetGrouping()->SetGroupCountFormat(u" [%d]");
    EXPECT_EQ(G.GetCellEx(1, 1), u"a [2]");
}

TEST_F(Grouping, NodeColumnOtherThanZeroIsRefused)
{
    FillKeys({ u"a", u"b" });
    G.GetCellNode()->SetNodeColumn(1);
    EXPECT_THROW(G.Group(2), ERirEvozError);
    EXPECT_EQ(G.GetGroupColumn(), -1);
    EXPECT_EQ(G.GetColCount(), 4);
}

TEST_F(Grouping, SubGroupsInsideGroupsAndBack)
{
    std::vector<TTexts> Rows = {
        { String(), u"a", u"x", u"1" },
        { String(), u"a", u"x", u"2" },
        { String(), u"a", u"y", u"3" },
        { String(), u"b", u"z", u"4" },
    };
    Fill(Rows);
    G.GetSortSettings()->SetAutoSortForGrouping(false);
    G.Group(1);
    // H:a, (x,1), (x,2), (y,3), H:b, (z,4); the sub-key is now column 1.
    G.SubGroup(1);
    // Sub-headers carry their value in column 2 and are nodes of level 2.
    TTexts Sub;
    for (int r = 1; r < G.GetRowCount(); ++r)
        Sub.push_back(G.IsNode(r) ? u"N" + IntToStr(G.GetNodeLevel(r)) + u":" + G.GetGridCell(1, r) + G.GetGridCell(2, r)
                                  : G.GetGridCell(2, r));
    EXPECT_EQ(Sub, (TTexts { u"N1:a", u"N2:x", u"1", u"2", u"N2:y", u"3", u"N1:b", u"N2:z", u"4" }));
    EXPECT_EQ(G.GetNodeSpan(1), 6);

    G.SubUnGroup(1);
    EXPECT_EQ(G.GetNodeCount(), 2);
    EXPECT_EQ(G.GetRowCount(), 7);
    EXPECT_EQ(G.GetNodeSpan(1), 4);
    EXPECT_EQ(G.GetGridCell(1, 2), u"x");
    EXPECT_EQ(G.GetGridCell(1, 4), u"y");
    EXPECT_EQ(G.GetGridCell(1, 6), u"z");
}

TEST_F(Grouping, SubGroupOnFewerThanTwoRowsDoesNothing)
{
    FillKeys({ u"a" });
    G.SubGroup(1);
    EXPECT_EQ(G.GetRowCount(), 2);
    EXPECT_EQ(G.GetNodeCount(), 0);
    EXPECT_EQ(G.GetGridCell(1, 1), u"a");
}

// Merged summaries merge summary rows only: without summary rows the last
// data row of a group keeps its cells.
TEST_F(Grouping, MergedSummariesLeaveDataRowsAlone)
{
    FillKeys({ u"a", u"a", u"b" });
    G.GetGrouping()->SetMergeSummary(true);
    G.Group(1);
    for (int r = 1; r < G.GetRowCount(); ++r)
        EXPECT_FALSE(G.IsMergedCell(1, r)) << r;
    G.UnGroup();
    G.GetGrouping()->SetSummary(true);
    G.GetGrouping()->SetMergeHeader(true);
    G.Group(1);
    EXPECT_TRUE(G.IsMergedCell(1, 1));  // header
    EXPECT_FALSE(G.IsMergedCell(1, 2)); // data
    EXPECT_TRUE(G.IsMergedCell(1, 4));  // summary
    EXPECT_TRUE(G.IsMergedCell(1, 7));  // the last summary
    G.SplitGroupRows();
    EXPECT_FALSE(G.IsMergedCell(1, 1));
    EXPECT_FALSE(G.IsMergedCell(1, 4));
    G.MergeGroupRows();
    EXPECT_TRUE(G.IsMergedCell(1, 4));
}
