// The grid's left button release and its mouse-up step, headless: click
// sorting (through the recording data views), pushed fixed cells, sizing
// ends, disjunct cells and touch taps.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridDataViewsDouble.h"
#include "GridMouseFixture.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/SortSettings.h"
#include "platform/vcl/Forms.h"

namespace {

// The recording data views must exist before the fixture makes its grid.
struct MouseUpTest : MouseDownTest {
    TRecordingDataViewsScope Views;
    std::vector<std::string> SortCalls() const
    {
        std::vector<std::string> Out;
        for (const std::string& C : Views.Log->Calls)
            if (C.rfind("QSort", 0) == 0 || C == "QUnSort")
                Out.push_back(C);
        return Out;
    }
    void ShowSort()
    {
        Grid->GetSortSettings()->SetShow(true);
        Grid->GetSortSettings()->SetRow(0);
    }
    void ClickWith(WORD Vk, TPoint P)
    {
        InjectKey(Vk, true);
        Headless::PumpUntilIdle();
        Click(P);
        InjectKey(Vk, false);
        Headless::PumpUntilIdle();
    }
};

TEST_F(MouseUpTest, ThreeHeaderClicksWithUndoSortRestoreTheOrder)
{
    ShowSort();
    Grid->GetSortSettings()->SetUndoSort(true);
    std::vector<int> Sorted;
    Grid->OnClickSort = [&](TObject*, int ACol) { Sorted.push_back(ACol); };
    const TPoint P = In(2, 0, 40, 10);
    Click(P);
    EXPECT_EQ(Grid->GetSortSettings()->GetColumn(), 2);
    EXPECT_EQ(Grid->GetSortSettings()->GetDirection(), sdAscending);
    Click(P);
    EXPECT_EQ(Grid->GetSortSettings()->GetDirection(), sdDescending);
    Click(P);
    EXPECT_EQ(Grid->GetSortSettings()->GetColumn(), -1);
    EXPECT_EQ(SortCalls(), (std::vector<std::string> { "QSort", "QSort", "QUnSort" }));
    EXPECT_EQ(Sorted, (std::vector<int> { 2, 2, -1 }));
}

TEST_F(MouseUpTest, ClicksThatNeverSort)
{
    ShowSort();
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    const TRect R = Grid->CellRect(2, 0);
    // Near either border of a sizable header.
    Click(TPoint(R.Left + 2, R.Top + 10));
    Click(TPoint(R.Right - 3, R.Top + 10));
    // Pressed in the header, released in a normal row, and the reverse.
    Session.PassTime(2000);
    Headless::Drag(Screen(R.Left + 40, R.Top + 10), Screen(R.Left + 40, R.Top + 80));
    Headless::PumpUntilIdle();
    Session.PassTime(2000);
    Headless::Drag(Screen(R.Left + 40, R.Top + 80), Screen(R.Left + 40, R.Top + 10));
    Headless::PumpUntilIdle();
    // A refused sort.
    Grid->OnCanSort = [](TObject*, int, bool& DoSort) { DoSort = false; };
    Click(TPoint(R.Left + 40, R.Top + 10));
    EXPECT_TRUE(SortCalls().empty());
    EXPECT_EQ(Grid->GetSortSettings()->GetColumn(), -1);
}

TEST_F(MouseUpTest, IndexSortWithTheModifierKey)
{
    ShowSort();
    Grid->GetSortSettings()->SetIndexShow(true);
    Grid->GetSortSettings()->SetIndexSortKey(ikCtrl);
    TSortIndexList& List = Grid->GetSortIndexes();
    Click(In(2, 0, 40, 10));
    EXPECT_EQ(List.SaveToString(), u"u2");
    ClickWith(VK_CONTROL, In(3, 0, 40, 10));
    EXPECT_EQ(List.SaveToString(), u"u2;u3");
    ClickWith(VK_CONTROL, In(3, 0, 40, 10));
    EXPECT_EQ(List.SaveToString(), u"u2;d3");
    Click(In(4, 0, 40, 10));
    EXPECT_EQ(List.SaveToString(), u"u4");
    Click(In(4, 0, 40, 10));
    EXPECT_EQ(List.SaveToString(), u"d4");
    EXPECT_EQ(Grid->GetSortSettings()->GetColumn(), 4);
    EXPECT_EQ(SortCalls().size(), 5u);
    EXPECT_EQ(SortCalls().front(), "QSortIndexed");
}

TEST_F(MouseUpTest, PushedFixedCellClicksEvenWhenReleasedOnAnotherCell)
{
    Grid->SetFixedAsButtons(true);
    Grid->SetCtl3D(true);
    std::vector<std::string> Buttons;
    Grid->OnButtonClick
        = [&](TObject*, int ACol, int ARow) { Buttons.push_back(std::to_string(ACol) + "," + std::to_string(ARow)); };
    Session.PassTime(2000);
    Headless::Drag(Screen(In(0, 3, 20, 10).X, In(0, 3, 20, 10).Y), Screen(In(0, 5, 20, 10).X, In(0, 5, 20, 10).Y));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Buttons, std::vector<std::string> { "0,3" });
    EXPECT_FALSE(Grid->GetFixedCellPushed());
    EXPECT_EQ(Grid->GetPushedCellButton().X, -1);
    // Released outside the cells: no click.
    Buttons.clear();
    Session.PassTime(2000);
    Headless::Drag(Screen(In(0, 3, 20, 10).X, In(0, 3, 20, 10).Y), Screen(455, 245));
    Headless::PumpUntilIdle();
    ASSERT_EQ(Grid->GetGridHeight() < 245 || Grid->GetGridWidth() < 455, true);
    EXPECT_TRUE(Buttons.empty());
}

TEST_F(MouseUpTest, FixedColumnDraggedPastTheLeftEdgeClampsAtZero)
{
    Grid->SetFixedCols(2);
    // The move onto the fixed border arms the sizing.
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->GetMouseActions()->SetSizeFixedCol(true);
    std::vector<int> Ended;
    Grid->OnEndColumnSize = [&](TObject*, int ACol) { Ended.push_back(ACol); };
    Session.PassTime(2000);
    Headless::Drag(Screen(183, 40), Screen(50, 40));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->GetColWidths(1), 0);
    EXPECT_EQ(Ended, std::vector<int> { 1 });
    EXPECT_FALSE(Grid->GetSizingFixed());
    // Dragged to the right it takes the new width.
    Grid->SetColWidths(1, 90);
    Session.PassTime(2000);
    Headless::Drag(Screen(183, 40), Screen(150, 40));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->GetColWidths(1), 60);
}

TEST_F(MouseUpTest, FixedRowDraggedPastTheTopEdgeClampsAtZero)
{
    Grid->SetFixedRows(2);
    std::vector<int> Ended;
    Grid->OnEndRowSize = [&](TObject*, int ARow) { Ended.push_back(ARow); };
    // The border under fixed row 1 lies at 24 + 1 + 24; the move onto it
    // arms the sizing.
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goRowSizing });
    Grid->GetMouseActions()->SetSizeFixedRow(true);
    Session.PassTime(2000);
    Headless::Drag(Screen(200, 49), Screen(200, 10));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->GetRowHeights(1), 0);
    EXPECT_EQ(Ended, std::vector<int> { 1 });
    EXPECT_FALSE(Grid->GetSizingFixedR());
}

TEST_F(MouseUpTest, SizeDraggedBeyondTheRightEdgeIsDropped)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    const TRect R = Grid->CellRect(2, 0);
    Session.PassTime(2000);
    Headless::Drag(Screen(R.Right, R.Top + 10), Screen(Grid->GetWidth() + 30, R.Top + 10));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->GetColWidths(2), 90);
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
    // Inside the grid the size takes.
    Session.PassTime(2000);
    Headless::Drag(Screen(R.Right, R.Top + 10), Screen(R.Right + 20, R.Top + 10));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->GetColWidths(2), 110);
}

TEST_F(MouseUpTest, DisjunctCellsByShiftAndCtrlReleases)
{
    Grid->GetMouseActions()->SetDisjunctCellSelect(true);
    Click(In(2, 3, 40, 10));
    EXPECT_EQ(Grid->GetSelectedCellsCount(), 1);
    ClickWith(VK_CONTROL, In(3, 4, 40, 10));
    EXPECT_EQ(Grid->GetSelectedCellsCount(), 2);
    EXPECT_TRUE(Grid->GetSelectedCells(3, 4));
    ClickWith(VK_CONTROL, In(3, 4, 40, 10));
    EXPECT_FALSE(Grid->GetSelectedCells(3, 4));
    EXPECT_TRUE(Grid->GetSelectedCells(2, 3));
    // A plain click starts over.
    Click(In(1, 6, 40, 10));
    EXPECT_EQ(Grid->GetSelectedCellsCount(), 1);
    EXPECT_TRUE(Grid->GetSelectedCells(1, 6));
    // A refusing OnSelectCell leaves the list alone.
    Grid->OnSelectCell = [](TObject*, int, int, bool& CanSelect) { CanSelect = false; };
    ClickWith(VK_CONTROL, In(4, 8, 40, 10));
    EXPECT_FALSE(Grid->GetSelectedCells(4, 8));
}

TEST_F(MouseUpTest, TouchTapOnACheckBoxRespectsCanEdit)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->GetMouseActions()->SetTouchScroll(true);
    Grid->AddCheckBox(2, 5, false, false);
    bool Editable = false;
    Grid->OnCanEditCell = [&](TObject*, int, int, bool& CanEdit) { CanEdit = Editable; };
    Click(In(2, 5, 40, 10));
    bool State = true;
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 5, State));
    EXPECT_FALSE(State);
    EXPECT_EQ(Grid->GetRow(), 5);
    Editable = true;
    Grid->FocusCell(1, 1);
    Click(In(2, 5, 40, 10));
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 5, State));
    EXPECT_TRUE(State);
}

TEST_F(MouseUpTest, FilterTypeMenuAppliesTheChosenType)
{
    Grid->SetFixedRows(2);
    Grid->GetFilterEdit()->SetEnabled(true);
    Grid->GetFilterEdit()->SetRow(1);
    std::vector<int> Offered;
    Grid->OnShowFilterEdit = [&](TObject*, int ACol, int AIndex, bool& DoShow) {
        EXPECT_EQ(ACol, 2);
        Offered.push_back(AIndex);
        DoShow = AIndex != 1;
        // The menu answers keys queued before it opens: the second visible
        // type.
        if (AIndex == 0) {
            Headless::Key(VK_DOWN);
            Headless::Key(VK_DOWN);
            Headless::Key(VK_RETURN);
        }
    };
    const TRect R = Grid->CellRect(2, 1);
    Click(TPoint(R.Left + 8, R.Top + 8));
    ASSERT_NE(Grid->GetFilterTypeMenu(), nullptr);
    EXPECT_EQ(Offered.size(), std::size_t(std::min(9, Grid->GetFilterEdit()->GetTypeNames()->GetCount())));
    EXPECT_EQ(Grid->GetFilter()->HasFilterType(2), TFilterType(2));
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
    // Pressed on one column's button and released on another's: no menu.
    Offered.clear();
    const TRect R3 = Grid->CellRect(3, 1);
    Session.PassTime(2000);
    Headless::Drag(Screen(R.Left + 8, R.Top + 8), Screen(R3.Left + 8, R3.Top + 8));
    Headless::PumpUntilIdle();
    EXPECT_TRUE(Offered.empty());
}

TEST_F(MouseUpTest, ClickSortSplitsAndMergesTheAutoMergedColumns)
{
    ShowSort();
    Grid->GetSortSettings()->SetAutoColumnMerge(true);
    for (int r = 1; r < 6; ++r)
        Grid->SetCells(1, r, u"same");
    Grid->GetMergedColumns()->Add(1);
    Grid->MergedColumnsChanged();
    ASSERT_TRUE(Grid->IsMergedCell(1, 1));
    bool MergedDuringSort = true;
    Views.Log->OnSortCall = [&] { MergedDuringSort = Grid->IsMergedCell(1, 1); };
    Click(In(2, 0, 40, 10));
    EXPECT_FALSE(MergedDuringSort);
    EXPECT_TRUE(Grid->IsMergedCell(1, 1));
}

TEST_F(MouseUpTest, DisjunctRowReleaseFollowsTheSelectionAndTheGroup)
{
    auto* MA = Grid->GetMouseActions();
    MA->SetDisjunctRowSelect(true);
    std::vector<std::string> Changes;
    Grid->OnCheckBoxChange = [&](TObject*, int ACol, int ARow, bool State) {
        Changes.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (State ? " on" : " off"));
    };
    Click(In(2, 4, 40, 10));
    EXPECT_TRUE(Grid->GetRowSelect(4));
    EXPECT_EQ(Changes, std::vector<std::string> { "2,4 on" });
    // A refused cell leaves the flags.
    Grid->OnSelectCell = [](TObject*, int, int, bool& CanSelect) { CanSelect = false; };
    Grid->ResetRowSelectList();
    Click(In(2, 6, 40, 10));
    EXPECT_EQ(Changes.size(), 1u);
    Grid->OnSelectCell = nullptr;
    // An expanded node row selects its group.
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[8] = 4;
    Grid->GetGrouping()->SetAutoSelectGroup(true);
    Grid->ResetRowSelectList();
    Click(In(2, 8, 40, 10));
    for (int r : { 9, 10, 11 })
        EXPECT_TRUE(Grid->GetRowSelect(r)) << r;
    EXPECT_FALSE(Grid->GetRowSelect(12));
    // Without disjunct rows the selection spans it.
    MA->SetDisjunctRowSelect(false);
    Click(In(2, 8, 40, 10));
    EXPECT_EQ(Grid->GetSelection().Top, 8);
    EXPECT_EQ(Grid->GetSelection().Bottom, 11);
}

TEST_F(MouseUpTest, EnhancedMoveReleasedOutsideOrOnItselfChangesNothing)
{
    Grid->SetEnhRowColMove(true);
    Grid->SetColWidths(4, 40);
    for (int c = 0; c < 5; ++c)
        Grid->SetCells(c, 0, String(1, char16_t(u'A' + c)));
    int Ended = 0;
    Grid->OnEndBlockFocus = [&](TObject*) { ++Ended; };
    // The move feedback would have set the state and the cursor.
    auto MoveAndRelease = [&](int FromCol, TPoint To) {
        Press(In(FromCol, 0, 40, 10));
        Grid->SetGridState(gsColMoving);
        ::Screen->SetCursor(crDrag);
        Release(To);
    };
    MoveAndRelease(2, In(2, 0, 20, 10));
    MoveAndRelease(2, TPoint(Grid->GetClientWidth() - 2, 10));
    EXPECT_EQ(Grid->GetCells(2, 0), u"C");
    EXPECT_EQ(Ended, 2);
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
    EXPECT_EQ(::Screen->GetCursor(), crDefault);
    MoveAndRelease(2, In(4, 0, 20, 10));
    EXPECT_EQ(Grid->GetCells(4, 0), u"C");
}

TEST_F(MouseUpTest, SelectionResizeEndsWithTheSmartPaste)
{
    Grid->SetSelectionResizer(true);
    Grid->SetSelectionRectangle(true);
    Grid->GetNavigation()->SetAllowSmartClipboard(true);
    Grid->SetSelection(TGridRect { 2, 3, 2, 3 });
    std::vector<std::string> Events;
    Grid->OnSelectionResize = [&](TObject*, TGridRect From, TGridRect) {
        Events.push_back("resize " + std::to_string(From.Top));
        EXPECT_FALSE(Views.Log->Saw("PasteSelectionFromClipboard"));
    };
    Grid->OnSelectionResized = [&](TObject*, TGridRect, TGridRect) {
        Events.push_back("resized");
        EXPECT_TRUE(Views.Log->Saw("PasteSelectionFromClipboard"));
    };
    const TRect R = Grid->CellRect(2, 3);
    Click(TPoint(R.Right - 2, R.Bottom - 2));
    EXPECT_EQ(Events, (std::vector<std::string> { "resize 3", "resized" }));
    EXPECT_EQ(Views.Log->Count("PasteSelectionFromClipboard"), 1);
    EXPECT_FALSE(Grid->GetMouseResize());
}

} // namespace
