// The grid's right button and left double click, headless, through the
// window's message path: selecting on a right click, the flagged rows a
// context menu keeps, link cells opened for editing, header border
// auto-size, node toggles, editing on a double click and header editors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridDataViewsDouble.h"
#include "GridMouseFixture.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/SortSettings.h"
#include "platform/vcl/Menus.h"

namespace {

struct MouseClicksTest : MouseDownTest {
    TRecordingDataViewsScope Views;
    std::vector<std::string> RightClicks;
    std::vector<std::string> DblClicks;

    void SetUp() override
    {
        MouseDownTest::SetUp();
        Grid->OnDblClickCell = [this](TObject*, int ARow, int ACol) {
            DblClicks.push_back(std::to_string(ACol) + "," + std::to_string(ARow));
        };
    }
    void HearRightClicks()
    {
        Grid->OnRightClickCell = [this](TObject*, int ARow, int ACol) {
            RightClicks.push_back(std::to_string(ACol) + "," + std::to_string(ARow));
        };
    }
    void RightClick(TPoint Client)
    {
        Session.PassTime(2000);
        Headless::Click(Screen(Client.X, Client.Y), 1);
        Headless::PumpUntilIdle();
    }
    void RightClickWith(WORD Vk, TPoint Client)
    {
        InjectKey(Vk, true);
        Headless::PumpUntilIdle();
        RightClick(Client);
        InjectKey(Vk, false);
        Headless::PumpUntilIdle();
    }
    void DoubleClick(TPoint Client)
    {
        Session.PassTime(2000);
        Headless::DoubleClick(Screen(Client.X, Client.Y));
        Headless::PumpUntilIdle();
    }
    std::vector<int> FlaggedRows()
    {
        std::vector<int> Out;
        for (int r = 0; r < Grid->GetRowCount(); ++r)
            if (Grid->GetRowSelect(r))
                Out.push_back(r);
        return Out;
    }
    int SortCount() const
    {
        int n = 0;
        for (const std::string& C : Views.Log->Calls)
            n += C.rfind("QSort", 0) == 0 || C == "QUnSort";
        return n;
    }
};

TEST_F(MouseClicksTest, RightClickSelectsUnlessInsideTheSelectionWithNewSelectionOnly)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goRangeSelect });
    Grid->GetMouseActions()->SetSelectOnRightClick(true);
    Grid->GetMouseActions()->SetSelectOnRightClickNewSelectionOnly(true);
    HearRightClicks();
    Grid->SetSelection(TGridRect { 2, 3, 3, 5 });
    RightClick(In(2, 4, 40, 10));
    EXPECT_EQ(Grid->GetSelection().Top, 3);
    EXPECT_EQ(Grid->GetSelection().Bottom, 5);
    EXPECT_TRUE(RightClicks.empty());
    // Outside the selection the right click moves the focus there.
    RightClick(In(1, 8, 40, 10));
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(Grid->GetRow(), 8);
    EXPECT_EQ(RightClicks, std::vector<std::string> { "1,8" });
    // Without an OnRightClickCell handler the press acts as a left click.
    Grid->OnRightClickCell = nullptr;
    RightClick(In(3, 6, 40, 10));
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Grid->GetRow(), 6);
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
}

TEST_F(MouseClicksTest, RightClickOutsideTheCellsReportsMinusOne)
{
    HearRightClicks();
    Grid->SetColWidths(4, 40);
    RightClick(TPoint(Grid->GetClientWidth() - 3, 40));
    RightClick(In(2, 3, 40, 10));
    EXPECT_EQ(RightClicks, (std::vector<std::string> { "-1,1", "2,3" }));
}

TEST_F(MouseClicksTest, FlaggedRowsStayForTheContextMenu)
{
    auto* MA = Grid->GetMouseActions();
    MA->SetSelectOnRightClick(true);
    MA->SetDisjunctRowSelect(true);
    HearRightClicks();
    TPopupMenu* Menu = new TPopupMenu(Form.get());
    Grid->SetPopupMenu(Menu);
    struct Case {
        const char* Name;
        bool WithMenu;
        int Row;
        std::vector<int> Flags;
    };
    const Case Cases[] = {
        { "on a flagged row with a menu", true, 4, { 3, 4, 5 } },
        { "on an unflagged row", true, 8, { 8 } },
        { "on a flagged row without a menu", false, 4, { 4 } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Grid->ResetRowSelectList();
        for (int r : { 3, 4, 5 })
            Grid->SetRowSelect(r, true);
        Grid->SetPopupMenu(C.WithMenu ? Menu : nullptr);
        RightClick(In(2, C.Row, 40, 10));
        EXPECT_EQ(FlaggedRows(), C.Flags);
    }
    // Ctrl toggles the row's flag.
    RightClickWith(VK_CONTROL, In(2, 6, 40, 10));
    EXPECT_EQ(FlaggedRows(), (std::vector<int> { 4, 6 }));
}

TEST_F(MouseClicksTest, ShiftRightClickChecksTheRowsUpToTheCurrentOne)
{
    auto* MA = Grid->GetMouseActions();
    MA->SetSelectOnRightClick(true);
    MA->SetHotmailRowSelect(true);
    MA->SetDisjunctRowSelect(true);
    HearRightClicks();
    std::vector<std::string> Changes;
    Grid->OnCheckBoxChange = [&](TObject*, int ACol, int ARow, bool State) {
        Changes.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (State ? " on" : " off"));
    };
    Grid->FocusCell(2, 3);
    Grid->ResetRowSelectList();
    RightClickWith(VK_SHIFT, In(2, 6, 40, 10));
    EXPECT_EQ(FlaggedRows(), (std::vector<int> { 3, 4, 5, 6 }));
    EXPECT_EQ(Clicks, std::vector<std::string> { "1,6" });
    EXPECT_EQ(Changes, std::vector<std::string> { "1,6 on" });
    EXPECT_TRUE(RightClicks.empty());
}

TEST_F(MouseClicksTest, RightClickOnTheRowHeaderSelectsTheRowLikeALeftClick)
{
    Grid->GetMouseActions()->SetSelectOnRightClick(true);
    Grid->GetMouseActions()->SetRowSelect(true);
    HearRightClicks();
    RightClick(In(0, 7, 40, 10));
    EXPECT_EQ(Grid->GetRow(), 7);
    EXPECT_EQ(Clicks, std::vector<std::string> { "1,7" });
    EXPECT_TRUE(RightClicks.empty());
}

TEST_F(MouseClicksTest, RightClickOpensALinkCellForEditing)
{
    Grid->SetURLShow(true);
    Grid->SetCells(2, 4, u"see https://example.com");
    Grid->SetCells(3, 4, u"plain");
    RightClick(In(3, 4, 40, 10));
    EXPECT_FALSE(Grid->GetEditorMode());
    RightClick(In(2, 4, 40, 10));
    EXPECT_FALSE(Grid->GetEditorMode()) << "URLEdit off";
    Grid->SetURLEdit(true);
    RightClick(In(2, 4, 40, 10));
    EXPECT_TRUE(Grid->GetEditorMode());
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 4);
}

TEST_F(MouseClicksTest, RightReleaseIsSwallowedDuringAnEnhancedMove)
{
    std::vector<TMouseButton> Ups;
    Grid->OnMouseUp = [&](TObject*, TMouseButton B, TShiftState, int, int) { Ups.push_back(B); };
    // The pointer is there first: a move would carry on the move gesture.
    const TPoint P = In(2, 4, 40, 10);
    Headless::MouseMove(Screen(P.X, P.Y));
    Headless::PumpUntilIdle();
    Grid->SetGridState(gsColMoving);
    RightClick(In(2, 4, 40, 10));
    EXPECT_TRUE(Ups.empty());
    EXPECT_EQ(Grid->GetGridState(), gsColMoving);
    Grid->SetGridState(gsNormal);
    RightClick(In(2, 4, 40, 10));
    EXPECT_EQ(Ups, std::vector<TMouseButton> { mbRight });
}

TEST_F(MouseClicksTest, HeaderBorderDoubleClickSizesTheColumnAndSuppressesTheSort)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->GetSortSettings()->SetShow(true);
    Grid->SetCells(2, 5, u"a rather long text that needs room");
    std::vector<int> Ended;
    Grid->OnEndColumnSize = [&](TObject*, int ACol) { Ended.push_back(ACol); };
    struct Case {
        const char* Name;
        int Col;
        bool RightEdge;
    };
    const Case Cases[] = { { "left border of the next column", 3, false }, { "own right border", 2, true } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Grid->SetColWidths(2, 90);
        Ended.clear();
        const TRect R = Grid->CellRect(C.Col, 0);
        const TPoint P(C.RightEdge ? R.Right - 1 : R.Left + 1, R.Top + 10);
        Session.PassTime(2000);
        Headless::Click(Screen(P.X, P.Y));
        Headless::MouseDown(Screen(P.X, P.Y));
        Headless::PumpUntilIdle();
        EXPECT_TRUE(Grid->GetDblClk());
        Headless::MouseUp(Screen(P.X, P.Y));
        Headless::PumpUntilIdle();
        EXPECT_FALSE(Grid->GetDblClk());
        EXPECT_GT(Grid->GetColWidths(2), 90);
        EXPECT_EQ(Ended, std::vector<int> { 2 });
    }
    EXPECT_EQ(SortCount(), 0);
    // A refused size changes nothing.
    Grid->SetColWidths(2, 90);
    Grid->OnColumnSize = [](TObject*, int, bool& Allow) { Allow = false; };
    DoubleClick(TPoint(Grid->CellRect(2, 0).Right - 1, 10));
    EXPECT_EQ(Grid->GetColWidths(2), 90);
}

TEST_F(MouseClicksTest, LeftBorderOfTheFirstNormalColumnSizesNothing)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->GetSortSettings()->SetShow(true);
    Grid->SetCells(0, 3, u"a rather long text in the fixed column");
    bool Ended = false;
    Grid->OnEndColumnSize = [&](TObject*, int) { Ended = true; };
    const TRect R = Grid->CellRect(1, 0);
    DoubleClick(TPoint(R.Left + 1, R.Top + 10));
    EXPECT_FALSE(Ended);
    EXPECT_EQ(Grid->GetColWidths(0), 90);
    EXPECT_EQ(SortCount(), 0);
    EXPECT_EQ(DblClicks, std::vector<std::string> { "1,0" });
}

TEST_F(MouseClicksTest, DoubleClickBeyondTheLastColumn)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->SetColWidths(4, 40);
    Grid->SetCells(4, 6, u"a rather long text that needs room");
    const TRect Last = Grid->CellRect(4, 0);
    ASSERT_LT(Last.Right + 20, Grid->GetClientWidth());
    // Well right of the last column: a double click on its header.
    DoubleClick(TPoint(Last.Right + 15, 60));
    EXPECT_EQ(DblClicks, std::vector<std::string> { "4,0" });
    EXPECT_EQ(Grid->GetColWidths(4), 40);
    // Within 3 pixels of its right border: the last column is sized.
    DoubleClick(TPoint(Last.Right + 2, 60));
    EXPECT_GT(Grid->GetColWidths(4), 40);
    EXPECT_EQ(DblClicks.size(), 1u);
    // With FixedRowAlways only the platform hears it.
    Grid->SetFixedRowAlways(true);
    DoubleClick(TPoint(Grid->CellRect(4, 0).Right + 15, 60));
    EXPECT_EQ(DblClicks.size(), 1u);
}

TEST_F(MouseClicksTest, DoubleClickTogglesANodeWithoutTheCellEvent)
{
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[5] = 3;
    Grid->GetMouseActions()->SetToggleNodeOnDblClick(true);
    DoubleClick(In(2, 5, 40, 10));
    EXPECT_TRUE(Views.Log->Saw("ToggleNode(5)"));
    EXPECT_TRUE(DblClicks.empty());
    // An ordinary row gets the event.
    DoubleClick(In(2, 7, 40, 10));
    EXPECT_EQ(Views.Log->Count("ToggleNode(5)"), 1);
    EXPECT_EQ(DblClicks, std::vector<std::string> { "2,7" });
}

TEST_F(MouseClicksTest, EditOnDblClickOnlyOpensTheEditorOnADoubleClick)
{
    Grid->GetMouseActions()->SetEditOnDblClickOnly(true);
    Click(In(2, 4, 40, 10));
    EXPECT_FALSE(Grid->GetEditorMode());
    DoubleClick(In(2, 4, 40, 10));
    EXPECT_TRUE(Grid->GetEditorMode());
    EXPECT_TRUE(Grid->GetOptions().Contains(goEditing));
    EXPECT_FALSE(Grid->GetMouseActions()->GetRangeSelectAndEdit());
    EXPECT_EQ(Grid->GetOldCol(), 2);
    EXPECT_EQ(Grid->GetOldRow(), 4);
    // A read-only cell stays closed.
    Grid->HideInplaceEdit();
    Grid->SetEditorMode(false);
    Grid->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    DoubleClick(In(3, 6, 40, 10));
    EXPECT_FALSE(Grid->GetEditorMode());
}

TEST_F(MouseClicksTest, FixedCellEditorsOpenByTheirClick)
{
    struct Case {
        const char* Name;
        TGridFixedCellEdit Rows, Cols;
        bool Right;
        TPoint Cell;
        std::vector<std::string> Edits;
    };
    const Case Cases[] = {
        { "header by a double click", fceDblClick, fceNone, false, { 2, 0 }, { "2,0" } },
        { "row header by a double click", fceNone, fceDblClick, false, { 0, 4 }, { "0,4" } },
        { "header set to the right button, double clicked", fceRightClick, fceNone, false, { 2, 0 }, {} },
        { "header by a right click", fceRightClick, fceNone, true, { 2, 0 }, { "2,0" } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Grid->FixedEdits.clear();
        Grid->GetMouseActions()->SetFixedRowsEdit(C.Rows);
        Grid->GetMouseActions()->SetFixedColsEdit(C.Cols);
        const TPoint P = In(C.Cell.X, C.Cell.Y, 40, 10);
        if (C.Right)
            RightClick(P);
        else
            DoubleClick(P);
        EXPECT_EQ(Grid->FixedEdits, C.Edits);
    }
}

} // namespace
