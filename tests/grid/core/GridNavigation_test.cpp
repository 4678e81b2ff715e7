#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "GridDataViewsDouble.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Normal cells (1..3, 1..3) under one fixed row and column, in editing mode.
struct NavGrid {
    TDedOzovedUrad G { nullptr };
    NavGrid()
    {
        G.SetColCount(4);
        G.SetRowCount(4);
        G.SetFixedCols(1);
        G.SetFixedRows(1);
        G.SetOptions(G.GetOptions() + TGridOptions { goEditing });
    }
    // Advances from (c, r) as Enter in an editor does, without an editor.
    TGridCoord Advance(int c, int r, bool Forward = true)
    {
        G.GotoCell(c, r);
        G.MoveToNextCell(G.GetCol(), G.GetRow(), true, false, Forward, false, false);
        return { G.GetCol(), G.GetRow() };
    }
};

std::string At(TGridCoord P) { return std::to_string(P.X) + "," + std::to_string(P.Y); }

} // namespace

// Each direction steps, wraps and ends as the Navigation settings say.
TEST(GridNavigation, MoveToNextCellFollowsTheAdvanceDirection)
{
    struct Case {
        const char* Name;
        TAdvanceDirection Direction;
        bool Forward, Loop;
        int Col, Row;
        std::function<void(TDedOzovedUrad&)> Setup;
        const char* Expected;
    };
    const Case Cases[] = {
        { "right", adLeftRight, true, true, 1, 1, nullptr, "2,1" },
        { "right to the next row", adLeftRight, true, true, 3, 1, nullptr, "1,2" },
        { "right wraps to the first cell", adLeftRight, true, true, 3, 3, nullptr, "1,1" },
        { "right without loop stays", adLeftRight, true, false, 3, 3, nullptr, "3,3" },
        { "down", adTopBottom, true, true, 2, 1, nullptr, "2,2" },
        { "down to the next column", adTopBottom, true, true, 1, 3, nullptr, "2,1" },
        { "down wraps to the first cell", adTopBottom, true, true, 3, 3, nullptr, "1,1" },
        { "in the row wraps", adLeftRightInRow, true, true, 3, 2, nullptr, "1,2" },
        { "in the row without loop stays", adLeftRightInRow, true, false, 3, 2, nullptr, "3,2" },
        { "in the column wraps", adTopBottomInCol, true, true, 2, 3, nullptr, "2,1" },
        { "left to the row above", adLeftRight, false, true, 1, 2, nullptr, "3,1" },
        { "left from the first cell wraps", adLeftRight, false, true, 1, 1, nullptr, "3,3" },
        { "up to the column before", adTopBottom, false, true, 2, 1, nullptr, "1,3" },
        { "read-only cell skipped", adLeftRight, true, true, 1, 1,
            [](TDedOzovedUrad& g) { g.SetReadOnly(2, 1, true); }, "3,1" },
        { "zero-width column skipped", adLeftRight, true, true, 1, 1,
            [](TDedOzovedUrad& g) { g.SetColWidths(2, 0); }, "3,1" },
        { "handler may redirect", adLeftRight, true, true, 1, 1,
            [](TDedOzovedUrad& g) {
                g.OnAutoAdvance = [](TObject*, int, int, int& NewRow, int& NewCol, bool&) {
                    NewRow = 3;
                    NewCol = 3;
                };
            },
            "3,3" },
        { "handler may refuse", adLeftRight, true, true, 1, 1,
            [](TDedOzovedUrad& g) {
                g.OnCellChanging = [](TObject*, int, int, int, int, bool& Allow) { Allow = false; };
            },
            "1,1" },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        NavGrid S;
        S.G.GetNavigation()->SetAdvanceDirection(c.Direction);
        S.G.GetNavigation()->SetAdvanceOnEnterLoop(c.Loop);
        if (c.Setup)
            c.Setup(S.G);
        EXPECT_EQ(At(S.Advance(c.Col, c.Row, c.Forward)), c.Expected);
    }
}

// Without Force nothing moves unless AdvanceOnEnter is on.
TEST(GridNavigation, AdvanceOnEnterGatesTheMove)
{
    NavGrid S;
    S.G.GotoCell(1, 1);
    S.G.MoveToNextCell(1, 1, false, false, true, false, false);
    EXPECT_EQ(At({ S.G.GetCol(), S.G.GetRow() }), "1,1");
    S.G.GetNavigation()->SetAdvanceOnEnter(true);
    S.G.MoveToNextCell(1, 1, false, false, true, false, false);
    EXPECT_EQ(At({ S.G.GetCol(), S.G.GetRow() }), "2,1");
}

// At the end of the last row AdvanceInsert appends a row when allowed; a
// refusal leaves the grid and the focus as they were.
TEST(GridNavigation, AdvanceInsertAsksOnCanAddRow)
{
    for (bool Allow : { false, true }) {
        SCOPED_TRACE(Allow ? "allowed" : "refused");
        NavGrid S;
        S.G.GetNavigation()->SetAdvanceInsert(true);
        S.G.OnCanAddRow = [Allow](TObject*, bool& CanAdd) { CanAdd = Allow; };
        std::vector<int> Added;
        S.G.OnAutoAddRow = [&](TObject*, int ARow) { Added.push_back(ARow); };
        const TGridCoord P = S.Advance(3, 3);
        if (Allow) {
            EXPECT_EQ(S.G.GetRowCount(), 5);
            EXPECT_EQ(Added, std::vector<int> { 4 });
            EXPECT_EQ(At(P), "1,4");
        } else {
            EXPECT_EQ(S.G.GetRowCount(), 4);
            EXPECT_TRUE(Added.empty());
            EXPECT_EQ(At(P), "3,3");
        }
    }
}

// When no cell can take the focus the search ends after at most one pass
// and the focus stays where it was, whatever keeps it from coming back to
// its start.
TEST(GridNavigation, AdvanceWithNothingToTakeTheFocusEnds)
{
    struct Case {
        const char* Name;
        TAdvanceDirection Direction;
        bool Loop;
        int Col, Row;
        std::function<void(TDedOzovedUrad&)> Setup;
    };
    auto AllReadOnlyInRow2 = [](TDedOzovedUrad& g) {
        for (int c = 1; c < 4; ++c)
            g.SetReadOnly(c, 2, true);
    };
    auto Refuse = [](TDedOzovedUrad& g) {
        g.OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    };
    const Case Cases[] = {
        { "read-only row comes back to its start", adLeftRightInRow, true, 1, 2, AllReadOnlyInRow2 },
        { "every cell refuses", adLeftRight, true, 2, 2, Refuse },
        { "every cell refuses, top to bottom", adTopBottom, true, 2, 2, Refuse },
        { "every cell refuses, no loop", adLeftRight, false, 2, 2, Refuse },
        { "zero-width start column", adLeftRight, true, 2, 2,
            [Refuse](TDedOzovedUrad& g) {
                Refuse(g);
                g.SetColWidths(2, 0);
            } },
        { "fixed start cell", adLeftRight, true, 0, 2, Refuse },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        NavGrid S;
        S.G.GetNavigation()->SetAdvanceDirection(c.Direction);
        S.G.GetNavigation()->SetAdvanceOnEnterLoop(c.Loop);
        c.Setup(S.G);
        int Changing = 0;
        S.G.OnCellChanging = [&](TObject*, int, int, int, int, bool&) { ++Changing; };
        const TGridCoord P = S.Advance(c.Col, c.Row);
        EXPECT_EQ(At(P), std::to_string(c.Col) + "," + std::to_string(c.Row));
        EXPECT_EQ(Changing, 0);
    }
}

// A grid without normal columns has no next cell.
TEST(GridNavigation, NextAdvanceCellInAGridWithoutNormalColumns)
{
    NavGrid S;
    S.G.SetFixedRightCols(3);
    for (TAdvanceDirection D : { adLeftRight, adTopBottom }) {
        S.G.GetNavigation()->SetAdvanceDirection(D);
        const TPoint P = S.G.NextAdvanceCell(0, 1);
        EXPECT_EQ(P.X, -1);
        EXPECT_EQ(P.Y, -1);
    }
    NavGrid T;
    T.G.SetReadOnly(2, 1, true);
    const TPoint P = T.G.NextAdvanceCell(1, 1);
    EXPECT_EQ(P.X, 3);
    EXPECT_EQ(P.Y, 1);
}

TEST(GridNavigation, CellWalkingQuestions)
{
    NavGrid S;
    EXPECT_EQ(S.G.FirstCursorCol(), 1);
    EXPECT_EQ(S.G.FirstCellInRow(1), 1);
    EXPECT_EQ(S.G.LastCellInRow(1), 3);
    S.G.SetReadOnly(3, 1, true);
    S.G.SetColWidths(1, 0);
    EXPECT_EQ(S.G.FirstCellInRow(1), 2);
    EXPECT_EQ(S.G.LastCellInRow(1), 2);
    EXPECT_FALSE(S.G.CellTakesCursor(0, 1)); // fixed
    EXPECT_FALSE(S.G.IsCellEditable(3, 1));
    EXPECT_TRUE(S.G.IsEditable(2, 1));
    S.G.SetOptions(S.G.GetOptions() - TGridOptions { goEditing });
    EXPECT_FALSE(S.G.IsEditable(2, 1));
    // Outside editing mode every normal cell takes the cursor.
    EXPECT_TRUE(S.G.CellTakesCursor(3, 1));
    S.G.OnSelectCell = [](TObject*, int ACol, int, bool& CanSelect) { CanSelect = ACol != 3; };
    EXPECT_FALSE(S.G.CellTakesCursor(3, 1));

    // Zero-width columns and rows are stepped over.
    NavGrid V;
    V.G.SetColWidths(2, 0);
    V.G.GotoCell(1, 1);
    EXPECT_EQ(V.G.AdjacentVisibleCol(2, true), 3);
    EXPECT_EQ(V.G.AdjacentVisibleCol(2, false), 1);
    EXPECT_EQ(V.G.StepToVisibleCol(2), 3);
    V.G.SetRowHeights(2, 0);
    EXPECT_EQ(V.G.AdjacentVisibleRow(2), 3);
    V.G.GotoCell(1, 3);
    EXPECT_EQ(V.G.AdjacentVisibleRow(2), 1);
}

TEST(GridNavigation, RowSetterAndGotoCell)
{
    NavGrid S;
    std::vector<std::string> Updates;
    S.G.OnRowUpdate = [&](TObject*, int OldRow, int NewRow) {
        Updates.push_back(std::to_string(OldRow) + ">" + std::to_string(NewRow));
    };
    S.G.SetRow(0);
    EXPECT_EQ(S.G.GetRow(), 1);
    S.G.GotoCell(3, 2);
    EXPECT_EQ(S.G.GetCol(), 3);
    EXPECT_EQ(S.G.GetRow(), 2);
    EXPECT_EQ(Updates, (std::vector<std::string> { "-1>1", "1>2" }));

    // A synchronised grid follows the row.
    TDedOzovedUrad Partner(nullptr);
    Partner.SetRowCount(4);
    S.G.GetSyncGrid()->SetGrid(&Partner);
    S.G.GetSyncGrid()->SetSelectionRow(true);
    S.G.SetRow(3);
    EXPECT_EQ(Partner.GetRow(), 3);
}

TEST(GridNavigation, RowFlags)
{
    NavGrid S;
    S.G.SetRowModified(50, true);
    EXPECT_EQ(S.G.GetModifiedRowCount(), 1);
    EXPECT_FALSE(S.G.GetRowModified(10));
    EXPECT_TRUE(S.G.GetRowModified(50));
    S.G.SetRowModified(-1, true);
    EXPECT_FALSE(S.G.GetRowModified(-1));
    EXPECT_EQ(S.G.GetModifiedRowCount(), 1);
    S.G.ClearModifiedRows();
    EXPECT_EQ(S.G.GetModifiedRowCount(), 0);

    // Disabling the focus row moves the focus to the first enabled row.
    S.G.GotoCell(1, 2);
    S.G.SetRowEnabled(1, false);
    S.G.SetRowEnabled(2, false);
    EXPECT_EQ(S.G.GetRow(), 3);
    EXPECT_FALSE(S.G.GetRowEnabled(2));
    EXPECT_TRUE(S.G.GetRowEnabled(3));
    EXPECT_TRUE(S.G.GetUseEnabledRows());
    S.G.SetRowEnabled(-2, false);
    EXPECT_TRUE(S.G.GetRowEnabled(-2));
}

// Type-ahead in a sorted grid looks the typed text up through the data views.
TEST(GridNavigation, TypeAheadSearchesTheTypedText)
{
    TRecordingDataViewsScope Views;
    NavGrid S;
    S.G.SetOptions(S.G.GetOptions() - TGridOptions { goEditing });
    S.G.GetNavigation()->SetAutoGotoWhenSorted(true);
    S.G.GetNavigation()->SetAutoGotoIncremental(true);
    S.G.GetSortSettings()->SetColumn(2);
    Views.Log->SearchAnswer = 3;
    char16_t Key = u'a';
    S.G.KeyPress(Key);
    Key = u'b';
    S.G.KeyPress(Key);
    EXPECT_EQ(S.G.GetSearchInc(), u"ab");
    EXPECT_EQ(S.G.GetRow(), 3);
    EXPECT_EQ(S.G.GetCol(), 2);
    Key = 8;
    S.G.KeyPress(Key);
    EXPECT_EQ(S.G.GetSearchInc(), u"a");
    EXPECT_EQ(Views.Log->Count("Search"), 3);
    // No match forgets the text.
    Views.Log->SearchAnswer = -1;
    Key = u'z';
    S.G.KeyPress(Key);
    EXPECT_EQ(S.G.GetSearchInc(), u"");
}

// Enter moves on through MoveToNextCell when the grid itself does not have
// the keyboard focus (an editor has it), and is swallowed on a cell that
// cannot be edited.
TEST(GridNavigation, EnterKeyAdvancesOrIsSwallowed)
{
    NavGrid S;
    S.G.GetNavigation()->SetAdvanceOnEnter(true);
    S.G.GetNavigation()->SetAdvanceAutoEdit(false);
    int Pressed = 0;
    S.G.OnKeyPress = [&](TObject*, char16_t&) { ++Pressed; };
    S.G.GotoCell(1, 1);
    char16_t Key = 13;
    S.G.KeyPress(Key);
    EXPECT_EQ(At({ S.G.GetCol(), S.G.GetRow() }), "2,1");
    EXPECT_EQ(Key, 0);
    EXPECT_EQ(Pressed, 1);

    NavGrid T;
    T.G.SetOptions(T.G.GetOptions() - TGridOptions { goEditing });
    T.G.OnKeyPress = [&](TObject*, char16_t&) { ++Pressed; };
    T.G.GotoCell(1, 1);
    Key = 13;
    T.G.KeyPress(Key);
    EXPECT_EQ(Key, 0);
    EXPECT_EQ(Pressed, 2);
    EXPECT_EQ(At({ T.G.GetCol(), T.G.GetRow() }), "1,1");
}
