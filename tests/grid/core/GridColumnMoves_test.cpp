// The grid's own data following a moved column or row: sort column, sort
// index list, hidden rows, column order, synchronised grids, the footer row
// and the line sizes and focus the platform moves.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/IntList.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Eight columns whose row-0 header says "c<real column>"; four rows.
struct MovesGrid : ::testing::Test {
    TDedOzovedUrad Grid { nullptr };

    void SetUp() override
    {
        Grid.SetColCount(8);
        Grid.SetRowCount(4);
        for (int c = 0; c < 8; ++c)
            for (int r = 0; r < 4; ++r)
                Grid.SetCells(c, r, u"c" + IntToStr(c) + u"r" + IntToStr(r));
    }
    std::string Row(TDedOzovedUrad& G, int r)
    {
        std::string s;
        for (int c = 0; c < G.GetColCount(); ++c)
            s += StringToUtf8(G.GetCells(c, r)).substr(0, 2) + " ";
        return s;
    }
};

TEST_F(MovesGrid, SortColumnFollowsTheMovedColumn)
{
    struct Case {
        int From, To, SortColumn, Expected;
    };
    const Case Cases[] = {
        { 2, 5, 5, 4 }, { 2, 5, 2, 5 }, { 2, 5, 1, 1 }, { 2, 5, 6, 6 },
        { 5, 2, 2, 3 }, { 5, 2, 5, 2 }, { 5, 2, 4, 5 }, { 5, 2, 6, 6 }, { 5, 2, -1, -1 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.From) + "->" + std::to_string(C.To) + " sort " + std::to_string(C.SortColumn));
        TDedOzovedUrad G(nullptr);
        G.SetColCount(8);
        G.SetRowCount(3);
        G.GetSortSettings()->SetColumn(C.SortColumn);
        G.MoveColumn(C.From, C.To);
        EXPECT_EQ(G.GetSortSettings()->GetColumn(), C.Expected);
    }
}

TEST_F(MovesGrid, SortIndexListIsRenumberedAndOrderedByPosition)
{
    Grid.GetSortSettings()->SetIndexShow(true);
    TSortIndexList& List = Grid.GetSortIndexes();
    List.AddIndex(2, true);   // first: column 2 ascending
    List.AddIndex(4, false);  // second: column 4 descending
    Grid.MoveColumn(4, 1);
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(List.GetSortColumns(0), 1);
    EXPECT_FALSE(List.GetSortDirections(0));
    EXPECT_EQ(List.GetSortColumns(1), 3);
    EXPECT_TRUE(List.GetSortDirections(1));
}

// An entry whose column lies beyond the shown columns (hidden ones) is
// still written back, and nothing stale stays behind the written entries.
TEST_F(MovesGrid, SortIndexListKeepsHiddenColumnsAndDropsStaleEntries)
{
    Grid.GetSortSettings()->SetIndexShow(true);
    Grid.HideColumn(7);
    ASSERT_EQ(Grid.GetColCount(), 7);
    TSortIndexList& List = Grid.GetSortIndexes();
    List.AddIndex(7, true);
    List.AddIndex(1, false);
    List.AddIndex(1, false); // a duplicate keeps one entry
    Grid.MoveColumn(1, 3);
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(List.GetSortColumns(0), 3);
    EXPECT_FALSE(List.GetSortDirections(0));
    EXPECT_EQ(List.GetSortColumns(1), 7);
    EXPECT_TRUE(List.GetSortDirections(1));
}

TEST_F(MovesGrid, HiddenRowTextsFollowTheMove)
{
    Grid.HideRow(2);
    ASSERT_EQ(Grid.GetRowCount(), 3);
    Grid.MoveColumn(1, 5);
    Grid.UnHideRow(2);
    ASSERT_EQ(Grid.GetRowCount(), 4);
    EXPECT_EQ(Row(Grid, 2), Row(Grid, 0));
    EXPECT_EQ(Row(Grid, 0), "c0 c2 c3 c4 c5 c1 c6 c7 ");
    EXPECT_EQ(StringToUtf8(Grid.GetCells(5, 2)), "c1r2");
}

TEST_F(MovesGrid, HiddenColumnsFollowTheMove)
{
    Grid.HideColumn(3);
    // Display 1 (real 1) to display 4 (real 5).
    Grid.MoveColumn(1, 4);
    Grid.UnHideColumnsAll();
    EXPECT_EQ(Row(Grid, 0), "c0 c2 c3 c4 c5 c1 c6 c7 ");
}

TEST_F(MovesGrid, WidthsAndFocusMoveOnce)
{
    for (int c = 0; c < 8; ++c)
        Grid.SetColWidths(c, 40 + c);
    Grid.SetCol(2);
    Grid.MoveColumn(2, 5);
    std::vector<int> Widths;
    for (int c = 0; c < 8; ++c)
        Widths.push_back(Grid.GetColWidths(c));
    EXPECT_EQ(Widths, (std::vector<int> { 40, 41, 43, 44, 45, 42, 46, 47 }));
    EXPECT_EQ(Grid.GetCol(), 5);
    EXPECT_TRUE(Grid.GetColMoveFlg());

    for (int r = 0; r < 4; ++r)
        Grid.SetRowHeights(r, 20 + r);
    Grid.SetRow(1);
    Grid.MoveRow(1, 3);
    EXPECT_EQ(Grid.GetRowHeights(1), 22);
    EXPECT_EQ(Grid.GetRowHeights(3), 21);
    EXPECT_EQ(Grid.GetRow(), 3);
    EXPECT_EQ(StringToUtf8(Grid.GetCells(0, 3)), "c0r1");
}

TEST_F(MovesGrid, ColumnOrderMoveAndResetRoundTrip)
{
    const std::string Before = Row(Grid, 0);
    Grid.MoveColumn(1, 6);
    Grid.MoveColumn(5, 2);
    Grid.MoveColumn(7, 0);
    EXPECT_NE(Row(Grid, 0), Before);
    EXPECT_EQ(Grid.ColumnAtPosition(0), 7);
    Grid.ResetColumnOrder();
    EXPECT_EQ(Row(Grid, 0), Before);
    EXPECT_EQ(Row(Grid, 3), "c0 c1 c2 c3 c4 c5 c6 c7 ");
}

TEST_F(MovesGrid, SynchronisedGridsMoveOnceEach)
{
    TDedOzovedUrad Other(nullptr);
    Other.SetColCount(8);
    Other.SetRowCount(2);
    for (int c = 0; c < 8; ++c)
        Other.SetCells(c, 0, u"c" + IntToStr(c));
    Grid.GetSyncGrid()->SetGrid(&Other);
    Grid.GetSyncGrid()->SetMoveColumn(true);
    Grid.GetSyncGrid()->SetMoveRow(true);
    Other.GetSyncGrid()->SetGrid(&Grid);
    Other.GetSyncGrid()->SetMoveColumn(true);
    Other.GetSyncGrid()->SetMoveRow(true);
    int Moves = 0, OtherMoves = 0, RowMoves = 0, OtherRowMoves = 0;
    Grid.OnColumnMoved = [&](TObject*, int, int) { ++Moves; };
    Other.OnColumnMoved = [&](TObject*, int, int) { ++OtherMoves; };
    Grid.OnRowMoved = [&](TObject*, int, int) { ++RowMoves; };
    Other.OnRowMoved = [&](TObject*, int, int) { ++OtherRowMoves; };
    Grid.MoveColumn(1, 3);
    EXPECT_EQ(Moves, 1);
    EXPECT_EQ(OtherMoves, 1);
    EXPECT_EQ(Row(Grid, 0), "c0 c2 c3 c1 c4 c5 c6 c7 ");
    EXPECT_EQ(Row(Other, 0), "c0 c2 c3 c1 c4 c5 c6 c7 ");
    Other.MoveRow(0, 1);
    EXPECT_EQ(RowMoves, 1);
    EXPECT_EQ(OtherRowMoves, 1);
    EXPECT_EQ(StringToUtf8(Grid.GetCells(0, 1)), "c0r0");
}

TEST_F(MovesGrid, MovingOntoAFixedLastRowFooterDoesNothing)
{
    Grid.GetFloatingFooter()->SetFooterStyle(fsFixedLastRow);
    Grid.GetFloatingFooter()->SetVisible(true);
    for (int r = 0; r < Grid.GetRowCount(); ++r)
        Grid.SetRowHeights(r, 20 + r);
    int Fired = 0;
    Grid.OnRowMoved = [&](TObject*, int, int) { ++Fired; };
    const int Last = Grid.GetRowCount() - 1;
    const String Footer = Grid.GetCells(0, Last);
    Grid.MoveRow(1, Last);
    EXPECT_EQ(Fired, 0);
    EXPECT_EQ(Grid.GetCells(0, Last), Footer);
    EXPECT_EQ(Grid.GetRowHeights(1), 21);
    // Other rows still move.
    Grid.MoveRow(1, 2);
    EXPECT_EQ(Fired, 1);
}

} // namespace
