// The grid's mouse move, headless: pointer moves, presses and releases go
// through the window's message path as real input does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GridMouseFixture.h"
#include "GridTestAccess.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/GridSettings.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/RirEvozPopup.h"
#include "grid/core/ScrollControl.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// A tool bar that records what the grid asks of it.
struct RecordingPopup : TRirEvozPopup {
    using TRirEvozPopup::TRirEvozPopup;
    std::vector<TPoint> Shown;
    int Hidden = 0;
    bool PointerInside = false;
    void Show(TPoint PT) override
    {
        TRirEvozPopup::Show(PT);
        Shown.push_back(PT);
    }
    void Hide() override
    {
        TRirEvozPopup::Hide();
        ++Hidden;
    }
    bool MouseInPopup(TPoint) override { return PointerInside; }
};

// Records the OLE drags the grid would start.
struct DragGrid : MouseGrid {
    using MouseGrid::MouseGrid;
    std::vector<std::string> Drags;
    void DragSelectionOut(int ACol, int ARow, TPoint, bool ColumnDrag) override
    {
        Drags.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (ColumnDrag ? " column" : ""));
    }
};

struct MouseMoveTest : MouseDownTest {
    void Move(TPoint Client)
    {
        Headless::MouseMove(Screen(Client.X, Client.Y));
        Headless::PumpUntilIdle();
    }
    // A point of the form outside the grid.
    void Leave()
    {
        Headless::MouseMove(Form->ClientToScreen(TPoint(600, 400)));
        Headless::PumpUntilIdle();
    }
    TPoint ScreenOfCell(int c, int r)
    {
        const TRect R = Grid->CellRect(c, r);
        return Screen(R.Left, R.Top);
    }
    static RECT WindowRect(TWinControl* Control)
    {
        RECT R {};
        GetWindowRect(Control->GetHandle(), R);
        return R;
    }
};

// ---- hover state ----

TEST_F(MouseMoveTest, HoverRowFollowsThePointerAndClearsOnLeave)
{
    Grid->SetHoverRow(true);
    Move(In(2, 3, 10, 10));
    EXPECT_EQ(Grid->GetHoverRowIdx(), 3);
    Move(In(1, 5, 10, 10));
    EXPECT_EQ(Grid->GetHoverRowIdx(), 5);
    Leave();
    EXPECT_EQ(Grid->GetHoverRowIdx(), -1);
}

TEST_F(MouseMoveTest, AutoFocusTakesTheFocusOnEntering)
{
    auto* Other = new TEdit(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(500, 10, 80, 24);
    for (bool Auto : { false, true }) {
        SCOPED_TRACE(Auto);
        Grid->GetMouseActions()->SetAutoFocus(Auto);
        Other->SetFocus();
        Headless::PumpUntilIdle();
        Leave();
        Move(In(2, 3, 10, 10));
        EXPECT_EQ(Grid->Focused(), Auto);
    }
}

TEST_F(MouseMoveTest, HotFixedCellsAndCellButtons)
{
    Grid->SetHoverFixedCells(hfAll);
    Grid->SetLook(glListView);
    Grid->AddButton(2, 4, 40, 18, u"Go", haLeft, vaTop);
    Move(In(3, 0, 20, 10));
    EXPECT_EQ(Grid->GetHoverFixedCell(), TPoint(3, 0));
    EXPECT_EQ(Grid->GetHotFixedCell(), TPoint(3, 0));
    const TRect B = Grid->CellButtonRect(2, 4);
    Move(TPoint(B.Left + 2, B.Top + 2));
    EXPECT_EQ(Grid->GetHotButtonCell(), TPoint(2, 4));
    EXPECT_EQ(Grid->GetHoverFixedCell(), TPoint(2, 4));
    // Beside the button in the same cell the button is no longer hot.
    Move(TPoint(B.Right + 3, B.Bottom - 1));
    EXPECT_EQ(Grid->GetHotButtonCell(), TPoint(-1, -1));
    Leave();
    EXPECT_EQ(Grid->GetHoverFixedCell(), TPoint(-1, -1));
}

TEST_F(MouseMoveTest, HeaderModesAndTheResizeHandle)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing, goRangeSelect });
    Grid->GetMouseActions()->SetColSelect(true);
    Grid->GetMouseActions()->SetRowSelect(true);
    Grid->GetMouseActions()->SetAllSelect(true);
    Grid->SetSelectionRectangle(true);
    Grid->SetSelectionResizer(true);
    TDedOzovedUradTestAccess::SetDPIScale(*Grid, 1.5);
    Grid->SetSelection(TGridRect { 2, 2, 3, 4 });
    const TRect H = Grid->CellRect(3, 4);
    using M = TDedOzovedUrad::TMouseSelectMode;
    struct TCase {
        const char* What;
        TPoint At;
        M Mode;
    };
    const TCase Cases[] = {
        { "corner", In(0, 0, 20, 10), M::msAll },
        { "column header", In(2, 0, 40, 10), M::msColumn },
        { "column header border", In(2, 0, 88, 10), M::msNormal },
        { "row header", In(0, 6, 40, 10), M::msRow },
        { "normal cell", In(2, 6, 40, 10), M::msNormal },
        // round(6 x 1.5) = 9: the handle is the 9 x 9 square in the corner.
        { "handle top-left", TPoint(H.Right - 9, H.Bottom - 9), M::msResize },
        { "handle bottom-right", TPoint(H.Right - 1, H.Bottom - 1), M::msResize },
        { "left of the handle", TPoint(H.Right - 10, H.Bottom - 1), M::msNormal },
        { "above the handle", TPoint(H.Right - 1, H.Bottom - 10), M::msNormal },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Move(C.At);
        EXPECT_EQ(Grid->GetMouseSelectMode(), C.Mode);
    }
}

TEST_F(MouseMoveTest, AnchorEnterHintAndExitFireOnce)
{
    Grid->SetCells(1, 2, u"<a href=\"http://x.test\">link</a>");
    Grid->SetCells(2, 2, u"plain");
    std::vector<std::string> Events;
    Grid->OnAnchorEnter = [&](TObject*, int ARow, int ACol, const String& A) {
        Events.push_back("enter " + std::to_string(ACol) + "," + std::to_string(ARow) + " " + StringToUtf8(A));
    };
    Grid->OnAnchorExit = [&](TObject*, int, int, const String& A) {
        Events.push_back("exit '" + StringToUtf8(A) + "'");
    };
    int Hints = 0;
    Grid->OnAnchorHint = [&](TObject*, int, int, String& A) {
        ++Hints;
        EXPECT_EQ(A, u"http://x.test");
    };
    Move(In(1, 2, 8, 12));
    Move(In(1, 2, 10, 12));
    EXPECT_EQ(Grid->GetCursor(), TCursor(8009));
    EXPECT_EQ(::Screen->GetCursors(TCursor(8009)), TDedOzovedUrad::GridCursor(8009));
    EXPECT_NE(::Screen->GetCursors(TCursor(8009)), ::Screen->GetCursors(crDefault));
    EXPECT_EQ(Hints, 2);
    Move(In(2, 2, 10, 12));
    Move(In(2, 3, 10, 12));
    Leave();
    EXPECT_EQ(Events, (std::vector<std::string> { "enter 1,2 http://x.test", "exit ''" }));
    EXPECT_EQ(Grid->GetCursor(), crDefault);
}

TEST_F(MouseMoveTest, URLUnderlineOnHoverMarksTheLinkUnderThePointer)
{
    Grid->SetURLUnderlineOnHover(true);
    Grid->SetCells(1, 2, u"<a href=\"a\">one</a>");
    Move(In(1, 2, 8, 12));
    EXPECT_EQ(Grid->GetHoverHTMLCell(), TPoint(1, 2));
    EXPECT_NE(Grid->GetHoverHTMLAnchor(), -1);
    Move(In(1, 2, 80, 12));
    EXPECT_EQ(Grid->GetHoverHTMLAnchor(), -1);
    Move(In(2, 2, 8, 12));
    EXPECT_EQ(Grid->GetHoverHTMLCell(), TPoint(-1, -1));
}

// ---- hover buttons and the popup tool bar ----

TEST_F(MouseMoveTest, HoverButtonsArePlacedByPosition)
{
    THoverButtons* HB = Grid->GetHoverButtons();
    HB->SetEnabled(true);
    HB->SetColumn(2);
    for (int i = 0; i < 2; ++i) {
        THoverButtonsCollectionItem* Item = HB->GetButtons()->Add();
        Item->SetCaption(i == 0 ? u"A" : u"B");
        Item->SetWidth(30);
    }
    struct TCase {
        THoverButtonPosition Position;
        bool FromRight;  // anchored at the column's right edge
        bool LeftOfIt;   // the strip ends at the anchor
    };
    const TCase Cases[] = {
        { hbLeftFromColumnLeft, false, true },
        { hbRightFromColumnLeft, false, false },
        { hbLeftFromColumnRight, true, true },
        { hbRightFromColumnRight, true, false },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Position));
        HB->SetPosition(C.Position);
        Move(In(3, 4, 10, 10));
        TNoActiveForm* F = Grid->GetHoverButtonForm();
        ASSERT_TRUE(IsWindowVisible(F->GetHandle()));
        const RECT R = WindowRect(F);
        const TRect Cell = Grid->CellRect(2, 4);
        const TPoint Anchor = Screen(C.FromRight ? Cell.Right : Cell.Left, Cell.Top);
        EXPECT_EQ(R.Right - R.Left, 60);
        EXPECT_EQ(R.Bottom - R.Top, 22);
        EXPECT_EQ(R.Top, Anchor.Y);
        EXPECT_EQ(C.LeftOfIt ? R.Right : R.Left, Anchor.X);
        EXPECT_EQ(Grid->GetHoverButtonRow(), 4);
        Leave();
        EXPECT_FALSE(IsWindowVisible(F->GetHandle()));
    }
    // A veto keeps the strip away; a click reports the row and the item.
    Grid->OnHoverButtonsShow = [](TObject*, int, int, bool& Allow) { Allow = false; };
    Move(In(3, 5, 10, 10));
    EXPECT_FALSE(IsWindowVisible(Grid->GetHoverButtonForm()->GetHandle()));
    Grid->OnHoverButtonsShow = nullptr;
    HB->SetPosition(hbRightFromColumnLeft);
    Move(In(3, 6, 10, 10));
    std::vector<std::string> Clicks;
    Grid->OnHoverButtonClick = [&](TObject*, int ARow, THoverButtonsCollectionItem* B) {
        Clicks.push_back(std::to_string(ARow) + " " + StringToUtf8(B->GetCaption()));
    };
    const RECT R = WindowRect(Grid->GetHoverButtonForm());
    Headless::Click(TPoint(R.Left + 45, R.Top + 10));
    Headless::PumpUntilIdle();
    EXPECT_EQ(Clicks, std::vector<std::string> { "6 B" });
}

TEST_F(MouseMoveTest, PopupToolBarPerMode)
{
    auto* Popup = new RecordingPopup(Form.get());
    Grid->SetPopupToolBar(Popup);
    Grid->FocusCell(2, 3);
    struct TCase {
        TPopupToolBarMode Mode;
        TPoint First;   // the cell the pointer rests on
        bool Shows;     // the bar shows there
    };
    const TCase Cases[] = {
        { tbActiveCell, TPoint(2, 3), true },
        { tbActiveCell, TPoint(1, 3), false },
        { tbHoverCell, TPoint(2, 0), true },
        { tbHoverNormalCell, TPoint(2, 0), false },
        { tbHoverNormalCell, TPoint(1, 1), true },
        { tbNone, TPoint(2, 3), false },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Mode));
        Popup->Hide();
        Popup->Shown.clear();
        Popup->Hidden = 0;
        Grid->SetPopupToolBarMode(C.Mode);
        Move(In(4, 8, 10, 10)); // somewhere else first
        Popup->Shown.clear();
        // A bar still up elsewhere goes first; the next move shows it here.
        Move(In(C.First.X, C.First.Y, 10, 10));
        Move(In(C.First.X, C.First.Y, 12, 10));
        if (!C.Shows) {
            EXPECT_TRUE(Popup->Shown.empty());
            continue;
        }
        ASSERT_EQ(Popup->Shown.size(), 1u);
        EXPECT_TRUE(Popup->GetVisible());
        const TPoint Cell = ScreenOfCell(C.First.X, C.First.Y);
        EXPECT_EQ(Popup->Shown[0], TPoint(Cell.X, Cell.Y - 44));
        EXPECT_EQ(Popup->GetGrid(), Grid);
        EXPECT_EQ(Popup->GetGridCell(), (TGridCoord { C.First.X, C.First.Y }));
        // Over another cell the bar goes.
        Move(In(4, 9, 10, 10));
        EXPECT_FALSE(Popup->GetVisible());
    }
    // Leaving the grid hides the bar unless the pointer went onto it.
    Grid->SetPopupToolBarMode(tbActiveCell);
    Move(In(2, 3, 10, 10));
    Popup->PointerInside = true;
    Leave();
    EXPECT_TRUE(Popup->GetVisible());
    Move(In(2, 3, 12, 10));
    Popup->PointerInside = false;
    Leave();
    EXPECT_FALSE(Popup->GetVisible());
    delete Popup;
    EXPECT_EQ(Grid->GetPopupToolBar(), nullptr);
    Move(In(2, 3, 10, 10));
}

// ---- gestures the press started ----

TEST_F(MouseMoveTest, TouchScrollMovesWholeLines)
{
    Grid->GetMouseActions()->SetTouchScroll(true);
    Grid->SetColCount(12);
    struct TCase {
        const char* What;
        int DX, DY;       // the drag from the press point
        int Rows, Cols;   // lines scrolled
    };
    const TCase Cases[] = {
        { "95 pixels up with rows of 24", 0, -95, 3, 0 },
        { "mostly sideways: columns of 90", -200, 30, 0, 2 },
        { "23 pixels up: not a whole row", 0, -23, 0, 0 },
    };
    int Row = 5; // the press goes to a cell other than the current one
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Grid->SetTopRow(1);
        Grid->SetLeftCol(1);
        ++Row;
        Press(In(2, Row, 40, 20));
        ASSERT_TRUE(Grid->GetScrollStart());
        Move(In(2, Row, 40 + C.DX, 20 + C.DY));
        EXPECT_EQ(Grid->GetTopRow(), 1 + C.Rows);
        EXPECT_EQ(Grid->GetLeftCol(), 1 + C.Cols);
        Release(In(2, Row, 40 + C.DX, 20 + C.DY));
        // A quick drag glides on after the release; let it end.
        Session.PassTime(2000);
    }
}

TEST_F(MouseMoveTest, TouchScrollWithoutADefaultRowHeightScrollsNothing)
{
    Grid->GetMouseActions()->SetTouchScroll(true);
    Grid->SetDefaultRowHeight(0);
    for (int r = 0; r < Grid->GetRowCount(); ++r)
        Grid->SetRowHeights(r, 24);
    ASSERT_EQ(Grid->GetDefaultRowHeight(), 0);
    ASSERT_LT(Grid->GetVisibleRowCount() + Grid->GetFixedRows(), Grid->GetRowCount());
    Press(In(2, 6, 40, 20));
    ASSERT_TRUE(Grid->GetScrollStart());
    const int Top = Grid->GetTopRow();
    Move(In(2, 6, 40, 20 - 95));
    EXPECT_EQ(Grid->GetTopRow(), Top);
    Release(In(2, 6, 40, 20 - 95));
}

TEST_F(MouseMoveTest, WholeRowDragScrollsNearTheBottom)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goRangeSelect });
    Grid->GetMouseActions()->SetRowSelect(true);
    Move(In(0, 3, 20, 10));
    ASSERT_EQ(Grid->GetMouseSelectMode(), TDedOzovedUrad::msRow);
    Press(In(0, 3, 20, 10));
    const int Top = Grid->GetTopRow();
    const int Bottom = Grid->GetClientHeight() - 2;
    for (int i = 1; i <= 3; ++i) {
        Move(TPoint(20, Bottom - (i % 2)));
        EXPECT_EQ(Grid->GetTopRow(), Top + i);
    }
    // Four pixels up from the edge it no longer scrolls.
    Move(TPoint(20, Grid->GetClientHeight() - 4));
    EXPECT_EQ(Grid->GetTopRow(), Top + 3);
    const TGridRect Sel = Grid->GetSelection();
    EXPECT_EQ(Sel.Top, 3);
    EXPECT_EQ(Sel.Left, Grid->GetFixedCols());
    EXPECT_EQ(Sel.Right, Grid->GetColCount() - 1);
    int c = -1, r = -1;
    Grid->MouseToCell(20, Grid->GetClientHeight() - 4, c, r);
    EXPECT_EQ(Sel.Bottom, r);
    Release(TPoint(20, Grid->GetClientHeight() - 4));
}

TEST_F(MouseMoveTest, KeepHorizScrollHoldsTheLeftColumnWhileDragging)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goRangeSelect });
    Grid->SetColCount(10);
    for (bool Keep : { false, true }) {
        SCOPED_TRACE(Keep);
        Grid->GetNavigation()->SetKeepHorizScroll(Keep);
        Grid->SetLeftCol(1);
        Press(In(1, 3, 20, 10));
        // Onto the partly shown column at the right edge.
        Move(TPoint(Grid->GetClientWidth() - 2, Grid->CellRect(1, 4).Top + 10));
        EXPECT_EQ(Grid->GetLeftCol() == 1, Keep);
        Release(TPoint(Grid->GetClientWidth() - 2, Grid->CellRect(1, 4).Top + 10));
    }
}

TEST_F(MouseMoveTest, SizingReportsTheSizeAndShowsTheHint)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing, goRowSizing });
    std::vector<std::string> Sizing;
    Grid->OnColumnSizing = [&](TObject*, int ACol, int Size) {
        Sizing.push_back("c" + std::to_string(ACol) + ":" + std::to_string(Size));
    };
    Grid->OnRowSizing = [&](TObject*, int ARow, int Size) {
        Sizing.push_back("r" + std::to_string(ARow) + ":" + std::to_string(Size));
    };
    const TRect C = Grid->CellRect(1, 0), R = Grid->CellRect(0, 2);
    struct TCase {
        const char* What;
        bool HintOn;
        TPoint From, To;
        TGridState State;
        const char* Event;
        const char16_t* Hint;
    };
    const TCase Cases[] = {
        { "column, hint off", false, TPoint(C.Right, C.Top + 10), TPoint(C.Right + 20, C.Top + 10), gsColSizing,
            "c1:110", nullptr },
        { "column, hint on", true, TPoint(C.Right, C.Top + 10), TPoint(C.Right + 20, C.Top + 10), gsColSizing,
            "c1:110", u"cw=<b>110</b>" },
        { "row, hint on", true, TPoint(R.Left + 20, R.Bottom), TPoint(R.Left + 20, R.Bottom + 10), gsRowSizing,
            "r2:34", u"rh=<b>34</b>" },
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.What);
        Sizing.clear();
        Grid->SetHintShowSizing(Case.HintOn);
        Move(Case.From);
        Press(Case.From);
        ASSERT_EQ(Grid->GetGridState(), Case.State);
        Move(Case.To);
        ASSERT_FALSE(Sizing.empty());
        EXPECT_EQ(Sizing.back(), Case.Event);
        EXPECT_EQ(Grid->GetScrollHintShow(), Case.Hint != nullptr);
        if (Case.Hint) {
            EXPECT_EQ(Grid->GetScrollHintWindow()->GetCaption(), Case.Hint);
        }
        Release(Case.To);
        EXPECT_FALSE(Grid->GetScrollHintShow());
        Grid->SetColWidths(1, 90);
        Grid->SetRowHeights(2, 24);
    }
}

TEST_F(MouseMoveTest, FixedColumnBorderArmsSizingUnlessRefused)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->GetMouseActions()->SetSizeFixedCol(true);
    const int Border = Grid->GetColWidths(0);
    Move(TPoint(Border, 40));
    EXPECT_TRUE(Grid->GetSizeFixed());
    Move(TPoint(Border - 10, 40));
    EXPECT_FALSE(Grid->GetSizeFixed());
    Grid->OnColumnSize = [](TObject*, int, bool& Allow) { Allow = false; };
    Move(TPoint(Border + 1, 40));
    EXPECT_FALSE(Grid->GetSizeFixed());
}

// ---- OLE drag start ----

struct OleDragTest : MouseMoveTest {
    DragGrid* Dragger = nullptr;
    void SetUp() override
    {
        MouseMoveTest::SetUp();
        Dragger = new DragGrid(Form.get());
        Dragger->SetParent(Form.get());
        Dragger->SetBounds(10, 10, 460, 250);
        Dragger->SetDefaultColWidth(90);
        Dragger->SetDefaultRowHeight(24);
        Dragger->SetColCount(5);
        Dragger->SetRowCount(20);
        Dragger->SetOptions(Dragger->GetOptions() + TGridOptions { goRangeSelect });
        Dragger->GetDragDropSettings()->SetOleDropSource(true);
        Grid->SetVisible(false);
        Grid = Dragger;
        Application->ProcessMessages();
        Grid->SetSelection(TGridRect { 1, 1, 3, 3 });
    }
};

TEST_F(OleDragTest, StartsBeyondThreePixelsOnce)
{
    Press(In(2, 2, 40, 12));
    ASSERT_TRUE(Grid->GetSelectionClick());
    Move(In(2, 2, 43, 9));
    EXPECT_TRUE(Dragger->Drags.empty());
    Move(In(2, 2, 44, 12));
    EXPECT_EQ(Dragger->Drags, std::vector<std::string> { "2,2" });
    Move(In(2, 2, 60, 12));
    EXPECT_EQ(Dragger->Drags.size(), 1u);
    // The picture of the drag went with it.
    EXPECT_EQ(Grid->GetMoveForm(), nullptr);
    Release(In(2, 2, 60, 12));
}

TEST_F(OleDragTest, AHeaderDragsItsColumn)
{
    Grid->SetEnhRowColMove(false);
    Grid->GetDragDropSettings()->SetOleColumnDragDrop(true);
    Press(In(3, 0, 40, 12));
    Move(In(3, 0, 46, 12));
    EXPECT_EQ(Dragger->Drags, std::vector<std::string> { "3,0 column" });
    EXPECT_FALSE(IsWindowVisible(Grid->ArwU->GetHandle()));
    Release(In(3, 0, 46, 12));
}

TEST_F(OleDragTest, NeverOnTheResizeHandleOrWhileSizing)
{
    Grid->SetSelectionRectangle(true);
    Grid->SetSelectionResizer(true);
    const TRect H = Grid->CellRect(3, 3);
    Press(In(3, 3, 20, 8));
    Move(TPoint(H.Right - 2, H.Bottom - 2));
    EXPECT_TRUE(Dragger->Drags.empty());
    Grid->SetGridState(gsColSizing);
    Move(In(3, 3, 40, 8));
    EXPECT_TRUE(Dragger->Drags.empty());
    Grid->SetGridState(gsNormal);
    Move(In(3, 3, 41, 8));
    EXPECT_EQ(Dragger->Drags.size(), 1u);
    Release(In(3, 3, 41, 8));
}

TEST_F(OleDragTest, RefusedDragSelectsARange)
{
    struct TCase {
        const char* What;
        bool ColumnsOnly;
        bool Refuse;
    };
    const TCase Cases[] = { { "columns only", true, false }, { "OnOleDrag refuses", false, true } };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Grid->SetSelection(TGridRect { 1, 1, 3, 3 });
        Grid->GetDragDropSettings()->SetOleColumnsOnly(C.ColumnsOnly);
        String Data;
        Grid->OnOleDrag = [&](TObject*, int, int, String& D, bool& Allow) {
            Data = D;
            Allow = !C.Refuse;
        };
        Grid->SetCells(2, 2, u"dragged");
        Press(In(2, 2, 40, 12));
        Move(In(2, 2, 50, 12));
        EXPECT_TRUE(Dragger->Drags.empty());
        EXPECT_EQ(Grid->GetGridState(), gsSelecting);
        if (C.Refuse) {
            EXPECT_EQ(Data, u"dragged");
        }
        Release(In(2, 2, 50, 12));
    }
}

// ---- the enhanced move ----

TEST_F(MouseMoveTest, EnhancedColumnMoveImageFollowsAndArrowsMarkTheEdge)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColMoving });
    for (int c = 0; c < 5; ++c)
        Grid->SetCells(c, 0, u"H" + IntToStr(c));
    std::vector<int> Targets;
    Grid->OnColumnMoving = [&](TObject*, int ACol, bool&) { Targets.push_back(ACol); };
    Press(In(1, 0, 30, 10));
    ASSERT_EQ(Grid->GetGridState(), gsColMoving);
    Move(In(3, 0, 30, 10));
    TForm* Image = Grid->GetMoveForm();
    ASSERT_NE(Image, nullptr);
    // The picture keeps the press offset inside the header cell.
    EXPECT_EQ(TPoint(Image->GetLeft(), Image->GetTop()), ScreenOfCell(3, 0));
    EXPECT_EQ(Image->GetWidth(), Grid->GetColWidths(1) + 1);
    EXPECT_EQ(::Screen->GetCursor(), crDrag);
    // Right of the moved column the arrows mark the target's right edge.
    Move(In(3, 0, 35, 10));
    EXPECT_EQ(Grid->GetMoveForm(), Image);
    const TPoint Target = ScreenOfCell(3, 0);
    EXPECT_EQ(WindowRect(Grid->ArwU).Left, Target.X + Grid->GetColWidths(3) - 5);
    EXPECT_EQ(WindowRect(Grid->ArwU).Top, Screen(0, Grid->CellRect(3, 0).Bottom).Y);
    EXPECT_EQ(WindowRect(Grid->ArwD).Top, Target.Y - 8);
    EXPECT_TRUE(IsWindowVisible(Grid->ArwD->GetHandle()));
    EXPECT_EQ(Targets, (std::vector<int> { 3, 3 }));
    Release(In(3, 0, 35, 10));
    EXPECT_EQ(Grid->GetCells(3, 0), u"H1");
    EXPECT_EQ(Grid->GetCells(1, 0), u"H2");
    // After the move nothing of it stays on the screen (the next move away
    // from where the picture was).
    Move(In(1, 5, 35, 10));
    EXPECT_EQ(Grid->GetMoveForm(), nullptr);
    EXPECT_FALSE(IsWindowVisible(Grid->ArwU->GetHandle()));
    EXPECT_NE(::Screen->GetCursor(), crDrag);
}

TEST_F(MouseMoveTest, EnhancedRowMoveLeftOfTheMovedLineMarksTheTopEdge)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goRowMoving });
    Press(In(0, 5, 30, 10));
    ASSERT_EQ(Grid->GetGridState(), gsRowMoving);
    Move(In(0, 2, 30, 10));
    Move(In(0, 2, 30, 12));
    const TPoint Target = ScreenOfCell(0, 2);
    EXPECT_EQ(WindowRect(Grid->ArwL).Left, Target.X - 10);
    EXPECT_EQ(WindowRect(Grid->ArwL).Top, Target.Y - 5);
    EXPECT_EQ(WindowRect(Grid->ArwR).Left, Screen(Grid->CellRect(0, 2).Right, 0).X);
    EXPECT_EQ(Grid->GetMoveTarget(), TPoint(0, 2));
    Release(In(0, 2, 30, 12));
    ::Screen->SetCursor(crDefault);
}

TEST_F(MouseMoveTest, EnhancedMoveWithoutItsImageIsDropped)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColMoving });
    Grid->SetRowCount(4);
    Press(In(1, 0, 30, 10));
    // Below the last row: no row to take the picture from.
    Move(TPoint(Grid->CellRect(2, 0).Left + 10, Grid->CellRect(2, 3).Bottom + 20));
    EXPECT_EQ(Grid->GetMoveForm(), nullptr);
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
    EXPECT_NE(::Screen->GetCursor(), crDrag);
    Release(In(2, 0, 30, 10));
    EXPECT_EQ(Grid->GetCells(2, 0), u"");
}

TEST_F(MouseMoveTest, RefusedColumnMoveEndsTheGesture)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColMoving });
    std::vector<int> Asked;
    Grid->OnColumnMove = [&](TObject*, int ACol, bool& Allow) {
        Asked.push_back(ACol);
        Allow = false;
    };
    Press(In(2, 0, 30, 10));
    Move(In(3, 0, 30, 10));
    EXPECT_EQ(Asked, std::vector<int> { 2 });
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
    EXPECT_EQ(Grid->GetMoveForm(), nullptr);
    Release(In(3, 0, 30, 10));
}

// ---- the drag image ----

TEST_F(MouseMoveTest, SelectionToFormSizeEdgeLinesAndAlpha)
{
    Grid->SetGridFixedLineColor(clRed);
    Grid->Repaint();
    struct TCase {
        const char* What;
        TGridRect Rect;
        TGridOptions Lines;
        bool LeftLine;  // a red column 0
        bool TopLine;   // a red row 0
    };
    const TGridOptions Both { goFixedHorzLine, goFixedVertLine };
    const TCase Cases[] = {
        { "from the corner, both lines", TGridRect { 0, 0, 1, 1 }, Both, true, true },
        { "horizontal option draws the left line", TGridRect { 0, 0, 1, 1 }, TGridOptions { goFixedHorzLine }, true,
            false },
        { "vertical option draws the top line", TGridRect { 0, 0, 1, 1 }, TGridOptions { goFixedVertLine }, false,
            true },
        { "normal cells, reversed corners", TGridRect { 3, 4, 2, 2 }, Both, false, false },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        Grid->SetOptions(Grid->GetOptions() - Both + C.Lines);
        std::unique_ptr<TForm> F(Grid->SelectionToForm(C.Rect));
        const int L = std::min(C.Rect.Left, C.Rect.Right), T = std::min(C.Rect.Top, C.Rect.Bottom);
        const int R = std::max(C.Rect.Left, C.Rect.Right), B = std::max(C.Rect.Top, C.Rect.Bottom);
        const int W = Grid->CellRect(R, B).Right - Grid->CellRect(L, T).Left + 1;
        const int H = Grid->CellRect(R, B).Bottom - Grid->CellRect(L, T).Top + 1;
        EXPECT_EQ(F->GetClientWidth(), W);
        EXPECT_EQ(F->GetClientHeight(), H);
        EXPECT_TRUE(F->GetAlphaBlend());
        EXPECT_EQ(F->GetAlphaBlendValue(), 192);
        EXPECT_EQ(F->GetOwner(), Grid);
        auto* Image = dynamic_cast<ExtCtrls::TImage*>(F->GetControl(0));
        ASSERT_NE(Image, nullptr);
        TBitmap* Bmp = Image->GetPicture()->GetBitmap();
        ASSERT_EQ(Bmp->GetWidth(), W);
        ASSERT_EQ(Bmp->GetHeight(), H);
        EXPECT_EQ(Bmp->GetCanvas()->GetPixel(0, H / 2) == clRed, C.LeftLine);
        EXPECT_EQ(Bmp->GetCanvas()->GetPixel(W / 2, 0) == clRed, C.TopLine);
    }
}

} // namespace
