#include <gtest/gtest.h>

#include "platform/win/System.h"
#include "tests/grid/views/GridViewsTest.h"

using namespace gridviewstest;

namespace {

// Rows 1..6 hold "r1".."r6" in column 1; column 0 is the node column.
struct Nodes : TViewsGrid {
    void SetUp() override
    {
        std::vector<TTexts> Rows;
        for (int r = 1; r <= 6; ++r)
            Rows.push_back({ String(), u"r" + IntToStr(r) });
        Fill(Rows);
    }
    // Column 1 of the rows in view.
    TTexts Shown()
    {
        TTexts r;
        for (int i = G.GetFixedRows(); i < G.GetRowCount(); ++i)
            if (G.GetRowHeights(i) > 0)
                r.push_back(G.GetGridCell(1, i));
        return r;
    }
};

TEST_F(Nodes, NestedNodesHaveLevelsParentsAndSpanTypes)
{
    G.AddNode(1, 3);
    G.AddNode(2, 2);
    EXPECT_EQ(G.GetNodeCount(), 2);
    EXPECT_EQ(G.GetNodeLevel(1), 1);
    EXPECT_EQ(G.GetNodeLevel(2), 2);
    EXPECT_EQ(G.GetCellProperties(0, 3)->GetNodeLevel(), 2);
    EXPECT_EQ(G.GetParentRow(2), 1);
    EXPECT_EQ(G.GetParentRow(3), 2);
    EXPECT_EQ(G.GetParentRow(5), -1);
    EXPECT_EQ(G.GetNodeSpanType(1), 0);
    EXPECT_EQ(G.GetNodeSpanType(3), 1);
    EXPECT_EQ(G.RowIndent(3), 24);
    // The node is the ctNode object of the node-column cell.
    EXPECT_EQ(G.GetCellType(0, 2), ctNode);
    EXPECT_EQ(G.GetCellType(0, 3), ctEmpty);
    const TCellGraphic* Node = G.GetCellGraphic(0, 1);
    ASSERT_NE(Node, nullptr);
    EXPECT_EQ(Node->GetCellNode(), (TCellNodeData { 1, false, 3, 0 }));
    EXPECT_EQ(Node->GetCellVar(), Variant(std::int32_t(-1)));
    EXPECT_EQ(Node->GetCellHAlign(), haBeforeText);
    EXPECT_EQ(Node->GetCellVAlign(), vaCenter);
    EXPECT_EQ(G.GetGridCell(0, 1), String());
    // Plain rows and rows outside the grid.
    EXPECT_FALSE(G.IsNode(-1));
    EXPECT_FALSE(G.IsNode(5));
    EXPECT_EQ(G.GetNodeLevel(5), -1);
    EXPECT_EQ(G.GetNodeSpan(5), -1);
    EXPECT_FALSE(G.GetNodeState(5));
    EXPECT_EQ(G.GetSubNodeCount(5), 0);
    EXPECT_EQ(G.GetParentRow(-1), -1);
    G.RemoveAllNodes();
    EXPECT_EQ(G.GetNodeCount(), 0);
    EXPECT_EQ(G.GetCellProperties(0, 3)->GetNodeLevel(), 0);
}

TEST_F(Nodes, ContractingHidesTheSpanAndExpandingShowsItWithTheInnerNodeOpen)
{
    for (TGridFilterType Type : { ftHide, ftSuppress }) {
        SCOPED_TRACE(int(Type));
        SetUp();
        G.SetFilterType(Type);
        G.AddNode(1, 3);
        G.AddNode(2, 2);
        G.ContractNode(2);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r4", u"r5", u"r6" }));
        G.ContractNode(1);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"r4", u"r5", u"r6" }));
        EXPECT_TRUE(G.GetNodeState(1));
        G.ExpandNode(1);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r3", u"r4", u"r5", u"r6" }));
        EXPECT_FALSE(G.GetNodeState(1));
        EXPECT_FALSE(G.GetNodeState(2));
        G.RemoveAllNodes();
        G.SetFilterType(ftHide);
    }
}

TEST_F(Nodes, ExpandOneClosesTheOthers)
{
    G.AddNode(1, 2);
    G.AddNode(3, 2);
    G.ContractNode(1);
    G.GetCellNode()->SetExpandOne(true);
    G.ExpandNode(1);
    EXPECT_FALSE(G.GetNodeState(1));
    EXPECT_TRUE(G.GetNodeState(3));
    EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r3", u"r5", u"r6" }));
    G.ToggleNode(1);
    EXPECT_TRUE(G.GetNodeState(1));
}

TEST_F(Nodes, ContractAllThenExpandAllKeepsTheOrder)
{
    G.AddNode(1, 3);
    G.AddNode(2, 2);
    G.AddNode(4, 3);
    G.ContractAll();
    EXPECT_EQ(Shown(), (TTexts { u"r1", u"r4" }));
    EXPECT_TRUE(G.GetNodeState(1));
    G.ExpandAll();
    EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r3", u"r4", u"r5", u"r6" }));
    EXPECT_EQ(G.NumHiddenRows(), 0);
}

TEST_F(Nodes, ASpanPastTheLastRowCoversTheRowsThereAre)
{
    G.AddNode(5, 10);
    EXPECT_EQ(G.GetNodeSpan(5), 2);
    G.ContractNode(5);
    EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r3", u"r4", u"r5" }));
    EXPECT_EQ(G.NumHiddenRows(), 1);
    G.ExpandNode(5);
    EXPECT_EQ(G.GetRowCount(), 7);
    EXPECT_FALSE(G.HasCellProperties(0, 7));
}

TEST_F(Nodes, ChildRowsGoInAndOutOfTheSpans)
{
    G.AddNode(1, 3);
    G.AddNode(2, 2);
    G.SetCellEx(1, 2, u"head");
    // At 0 on a node row: the node's texts move into the new first child.
    G.InsertChildRow(2, 0);
    EXPECT_EQ(G.GetGridCell(1, 2), u"");
    EXPECT_EQ(G.GetGridCell(1, 3), u"head");
    EXPECT_EQ(G.GetNodeSpan(2), 3);
    EXPECT_EQ(G.GetNodeSpan(1), 4);
    EXPECT_EQ(G.GetSubNodeCount(2), 1);
    EXPECT_EQ(G.GetSubNodeCount(1), 1);
    EXPECT_EQ(G.GetCellProperties(0, 3)->GetNodeLevel(), 2);
    EXPECT_EQ(G.GetRowCount(), 8);

    G.RemoveChildRow(4);
    EXPECT_EQ(G.GetNodeSpan(2), 2);
    EXPECT_EQ(G.GetNodeSpan(1), 3);
    EXPECT_EQ(G.GetRowCount(), 7);

    G.InsertNormalRow(6);
    EXPECT_EQ(G.GetRowCount(), 8);
    EXPECT_EQ(G.GetGridCell(1, 6), u"");
    G.RemoveNormalRow(6);
    EXPECT_EQ(G.GetGridCell(1, 6), u"r6");
}

TEST_F(Nodes, APreciseClickHitsOnlyTheGlyph)
{
    G.SetColWidths(0, 60);
    G.AddNode(1, 2);
    G.GetCellNode()->SetNodeType(cnXP);
    G.GetMouseActions()->SetPreciseNodeClick(true);
    const int Left = G.CellRect(0, 1).Left;
    for (int d = 3; d <= 17; ++d)
        EXPECT_EQ(G.IsNodeClickHit(1, Left + d), d >= 5 && d <= 15) << d;
    G.GetMouseActions()->SetPreciseNodeClick(false);
    EXPECT_TRUE(G.IsNodeClickHit(1, Left + 40));
}

// Right to left the glyph is measured from the grid's right edge, and from
// the vertical scroll bar once the rows no longer fit.
TEST_F(Nodes, ARightToLeftPreciseClickHitsTheGlyphAtTheRightEdge)
{
    G.SetWidth(200);
    G.SetHeight(400);
    G.SetColWidths(0, 60);
    G.AddNode(1, 2);
    G.GetCellNode()->SetNodeType(cnXP);
    G.GetMouseActions()->SetPreciseNodeClick(true);
    G.SetBiDiMode(bdRightToLeft);
    const int Left = G.CellRect(0, 1).Left;
    for (bool Scrolled : { false, true }) {
        SCOPED_TRACE(Scrolled);
        if (Scrolled)
            G.SetRowCount(200);
        ASSERT_EQ(G.GetVisibleRowCount() + G.GetFixedRows() < G.GetRowCount(), Scrolled);
        // Level 1, indent 12, glyph 4: Width - 18 <= d < Width.
        const int m = Scrolled ? GetSystemMetrics(SM_CXVSCROLL) : 0;
        const int First = Left + 200 - 18 - m, End = Left + 200 - m;
        EXPECT_FALSE(G.IsNodeClickHit(1, First - 1));
        EXPECT_TRUE(G.IsNodeClickHit(1, First));
        EXPECT_TRUE(G.IsNodeClickHit(1, End - 1));
        EXPECT_FALSE(G.IsNodeClickHit(1, End));
        EXPECT_FALSE(G.IsNodeClickHit(1, Left + 10));
    }
}

TEST_F(Nodes, GroupSortOrdersTheChildrenOfTheDeepestNodesAndUnSortLeavesThem)
{
    // Node 1 spans rows 1..6 (level 1); node 2 spans 2..4 (level 2).
    const TTexts Texts = { u"top", u"mid", u"c", u"a", u"z", u"b" };
    for (int r = 1; r <= 6; ++r)
        G.SetCellEx(1, r, Texts[std::size_t(r - 1)]);
    G.AddNode(1, 6);
    G.AddNode(2, 3);
    G.GetSortSettings()->SetColumn(1);
    G.QSortGroup();
    EXPECT_EQ(Col(1), (TTexts { u"top", u"mid", u"a", u"c", u"z", u"b" }));
    EXPECT_TRUE(G.IsNode(1));
    EXPECT_TRUE(G.IsNode(2));
    G.QUnSort();
    EXPECT_EQ(Col(1), (TTexts { u"top", u"mid", u"a", u"c", u"z", u"b" }));
}

TEST_F(Nodes, FilterPassesLeaveNodeRowsAndClearingKeepsAContractedSpan)
{
    for (TGridFilterType Type : { ftHide, ftSuppress }) {
        SCOPED_TRACE(int(Type));
        SetUp();
        G.SetFilterType(Type);
        G.AddNode(1, 3);
        G.SetCellEx(1, 2, u"keep");
        G.GetFilter()->Add(1, u"keep", foNONE);
        G.SetFilterActive(true);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"keep" }));
        G.SetFilterActive(false);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"keep", u"r3", u"r4", u"r5", u"r6" }));
        G.GetFilter()->Clear();
        G.RemoveAllNodes();
    }
    // Clearing a narrow-down leaves a contracted node's rows out of view.
    for (TGridFilterType Type : { ftHide, ftSuppress }) {
        SCOPED_TRACE(int(Type));
        SetUp();
        G.SetFilterType(Type);
        G.AddNode(1, 3);
        G.ContractNode(1);
        G.NarrowDown(u"r", 1);
        G.NarrowDown(u"r5", 1);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"r5" }));
        G.NarrowDown(u"", 1);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"r4", u"r5", u"r6" }));
        G.ExpandNode(1);
        EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r3", u"r4", u"r5", u"r6" }));
        G.RemoveAllNodes();
    }
}

} // namespace

#include "platform/rtl/FileUtils.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

namespace {

// With the hidden cells the file holds every row, whatever nodes and
// filters keep out of view, and the view is the same afterwards.
TEST_F(Nodes, TheCsvWriterWritesEveryRowAndLeavesTheViewAsItWas)
{
    testsupport::TempDir Dir;
    G.SetSaveHiddenCells(true);
    G.AddNode(1, 3);
    G.AddNode(4, 3);
    G.ContractNode(1);
    G.GetFilter()->Add(1, u"!r5", foNONE);
    G.SetFilterActive(true);
    const TTexts Before = Shown();
    ASSERT_EQ(Before, (TTexts { u"r1", u"r4", u"r6" }));
    const int Level = G.GetFilterLevel();

    G.SaveToCSV(gridfiletest::P(Dir.path() / "all.csv"), false);
    const std::string File = gridfiletest::ReadBytes(Dir.path() / "all.csv");
    EXPECT_EQ(File, "H0,H1\r\n\"\",r1\r\n\"\",r2\r\n\"\",r3\r\n\"\",r4\r\n\"\",r5\r\n\"\",r6\r\n");

    EXPECT_EQ(Shown(), Before);
    EXPECT_TRUE(G.GetNodeState(1));
    EXPECT_EQ(G.GetFilterLevel(), Level);
    // Both ways back still work: the filter's rows, then the node's.
    G.SetFilterActive(false);
    EXPECT_EQ(Shown(), (TTexts { u"r1", u"r4", u"r5", u"r6" }));
    G.ExpandNode(1);
    EXPECT_EQ(Shown(), (TTexts { u"r1", u"r2", u"r3", u"r4", u"r5", u"r6" }));
}

} // namespace
