// The pointer moving over the grid. With the button up it keeps the hover
// state (hover row, hot headers and cell buttons, hover buttons, the popup
// tool bar, the cursor over headers and links); with the button down it
// carries on what the press started: touch scrolling, whole-row and
// whole-column drags, fixed-line sizing, the start of an OLE drag and the
// drag image and target arrows of an enhanced column or row move. The
// platform's own step (range selection, platform sizing and moving) runs
// near the end.

#include <algorithm>
#include <cstdlib>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/GridUtils.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/RirEvozPopup.h"
#include "grid/core/ScrollControl.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Buttons.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ToolTips.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

namespace {

bool PointIn(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

bool SameRect(const TGridRect& A, const TGridRect& B)
{
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

TGridRect Ordered(int Left, int Top, int Right, int Bottom)
{
    return TGridRect { std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom) };
}

// The hand over links: cursor 8009 of the screen's list.
constexpr TCursor HandCursorId = TCursor(8009);

// A window of ours shown where it is, above everything, without taking
// the activation.
void ShowNoActivate(TWinControl* Control, int Left, int Top, int Width, int Height)
{
    // A pop-up parented to the grid (the arrows) is placed in screen
    // coordinates by its window alone.
    if (!Control->GetParent())
        Control->SetBounds(Left, Top, Width, Height);
    const HWND H = Control->GetHandle();
    SetWindowPos(H, HWND_TOPMOST, Left, Top, Width, Height, SWP_NOACTIVATE);
    ShowWindow(H, SW_SHOWNOACTIVATE);
}

// The drag image: a disabled pop-up without a frame, so it neither takes
// the pointer's input nor adds to the picture's size.
class TDragImageForm : public TNoActiveForm {
public:
    using TNoActiveForm::TNoActiveForm;

protected:
    void CreateParams(TCreateParams& Params) override
    {
        TNoActiveForm::CreateParams(Params);
        Params.Style &= ~DWORD(WS_BORDER);
    }
};

void HideWindowOf(TWinControl* Control)
{
    if (Control && Control->HandleAllocated())
        ShowWindow(Control->GetHandle(), SW_HIDE);
}

} // namespace

// ---- the popup tool bar and hover buttons ----

void TDedOzovedUrad::SetPopupToolBar(TRirEvozPopup* Value)
{
    if (Value == FPopupToolBar)
        return;
    if (FPopupToolBar)
        FPopupToolBar->RemoveFreeNotification(this);
    FPopupToolBar = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TDedOzovedUrad::HoverButtonClick(int ButtonIndex)
{
    THoverButtonsCollection* Buttons = FHoverButtons->GetButtons();
    if (!OnHoverButtonClick || ButtonIndex < 0 || ButtonIndex >= Buttons->GetCount())
        return;
    OnHoverButtonClick(this, FHoverButtonRow, Buttons->GetItems(ButtonIndex));
}

void TDedOzovedUrad::DoStartBlockFocus()
{
    if (OnStartBlockFocus)
        OnStartBlockFocus(this);
}

void TDedOzovedUrad::ShowHandCursor()
{
    // The screen answers the arrow for an id it does not know.
    if (Screen && Screen->GetCursors(HandCursorId) == Screen->GetCursors(crDefault))
        if (HCURSOR Hand = GridCursor(8009))
            Screen->SetCursors(HandCursorId, Hand);
    if (GetCursor() != HandCursorId) {
        Invokedchange = true;
        TBaseGrid::SetCursor(HandCursorId);
    }
}

// 2. The drag scrolls whole rows (columns) by the default line size; a
// size of 0 scrolls nothing rather than dividing by it.
void TDedOzovedUrad::MoveTouchScroll(int X, int Y)
{
    const int dy = ptdown.Y == -1 ? 0 : ptdown.Y - Y;
    const int dx = ptdown.X == -1 ? 0 : ptdown.X - X;
    if (std::abs(dy) < std::abs(dx)) {
        if (GetVisibleColCount() + GetFixedCols() < GetColCount() && GetDefaultColWidth() > 0)
            SetLeftCol(std::max(GetFixedCols(), FLeftRight + dx / GetDefaultColWidth()));
    } else if (GetVisibleRowCount() + GetFixedRows() < GetRowCount() && GetDefaultRowHeight() > 0)
        SetTopRowEx(std::max(GetFixedRows(), FTopDown + dy / GetDefaultRowHeight()));
}

// 4.
void TDedOzovedUrad::MovePopupToolBar(int ACol, int ARow)
{
    if (!FPopupToolBar || GetPopupToolBarMode() == tbNone || IsDesigning())
        return;
    const bool OnCell = ACol >= 0 && ARow >= 0;
    auto ShowAt = [&]() {
        FToolBarPopupCell = TPoint(ACol, ARow);
        FPopupToolBar->SetGrid(this);
        FPopupToolBar->SetGridCell(TGridCoord { ACol, ARow });
        const TRect R = CellRect(ACol, ARow);
        FPopupToolBar->Show(ClientToScreen(TPoint(R.Left, R.Top - 44)));
    };
    const bool Visible = FPopupToolBar->GetVisible();
    if (GetPopupToolBarMode() == tbActiveCell) {
        if (OnCell && ACol == GetCol() && ARow == GetRow()) {
            if (!Visible)
                ShowAt();
        } else if (Visible)
            FPopupToolBar->Hide();
        return;
    }
    const bool Other = TPoint(ACol, ARow) != FToolBarPopupCell;
    if (!Other)
        return;
    if (!Visible) {
        if (OnCell && (GetPopupToolBarMode() == tbHoverCell || !IsFixed(ACol, ARow)))
            ShowAt();
    } else
        FPopupToolBar->Hide();
}

// 5.1.
void TDedOzovedUrad::MoveHoverRow(int ARow)
{
    if (!GetHoverRow() || ARow < 0)
        return;
    const int Old = GetHoverRowIdx();
    if (ARow == Old)
        return;
    SetHoverRowIdx(ARow);
    RepaintRow(ARow);
    if (Old >= 0 && Old < GetRowCount())
        RepaintRow(Old);
}

// 5.2. One scroll bar control serves every cell scroll bar: it sits over
// the cell under the pointer.
void TDedOzovedUrad::MoveCellScrollBar(int ACol, int ARow)
{
    if (!FScrollBar)
        return;
    if (ACol < 0 || ARow < 0 || !HasScrollBar(RealColIndex(TDisplayCol(ACol)).Value, ARow)) {
        if (FScrollBar->GetVisible())
            FScrollBar->SetVisible(false);
        return;
    }
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    FScrollCol = RealCol;
    FScrollRow = ARow;
    const TRect R = CellRect(ACol, ARow);
    const TScrollProp Prop = GetScrollProp(RealCol, ARow);
    const int Line = GetGridLineWidth();
    const int Top = R.Top + Line;
    const int Left = R.Right - 17 - Line;
    if (Prop.PageSize >= Prop.Range)
        return;
    if (FScrollBar->GetVisible() && FScrollBar->GetTop() == Top && FScrollBar->GetLeft() == Left)
        return;
    FScrollBar->SetPageSize(0);
    FScrollBar->SetMin(0);
    FScrollBar->SetMax(Prop.Range);
    FScrollBar->SetPageSize(Prop.PageSize);
    FScrollBar->SetBounds(Left, Top, 17, R.Height() - 2 * Line);
    FScrollBar->SetPosition(GetScrollPosition(RealCol, ARow));
    FScrollBar->SetVisible(true);
}

// The speed buttons of the hover-button form, one per collection item.
void TDedOzovedUrad::BuildHoverButtons()
{
    THoverButtonsCollection* Items = FHoverButtons->GetButtons();
    const int Height = int(RoundHalfEven(22 * GetDPIScale()));
    int Left = 0;
    for (int i = 0; i < Items->GetCount(); ++i) {
        THoverButtonsCollectionItem* Item = Items->GetItems(i);
        auto* Button = new TSpeedButton(FButtonForm);
        Button->SetParent(FButtonForm);
        if (Item->GetPicture() && Item->GetPicture()->GetGraphic() && !Item->GetPicture()->GetGraphic()->Empty()) {
            TBitmap Glyph;
            Glyph.Assign(Item->GetPicture()->GetGraphic());
            Button->SetGlyph(&Glyph);
        } else if (FGridImages && Item->GetImageIndex() >= 0) {
            TBitmap Glyph;
            if (FGridImages->GetBitmap(Item->GetImageIndex(), &Glyph))
                Button->SetGlyph(&Glyph);
        }
        Button->SetHint(Item->GetHint());
        Button->SetShowHint(!Item->GetHint().empty());
        Button->SetFlat(Item->GetFlat());
        Button->SetEnabled(Item->GetEnabled());
        Button->SetCaption(Item->GetCaption());
        Button->SetTag(i);
        Button->SetTop(0);
        Button->SetLeft(Left);
        Button->SetHeight(Height);
        if (Item->GetWidth() > 0)
            Button->SetWidth(int(RoundHalfEven(Item->GetWidth() * GetDPIScale())));
        Button->OnClick = [this](TObject* Sender) {
            if (auto* B = dynamic_cast<TSpeedButton*>(Sender))
                HoverButtonClick(int(B->GetTag()));
        };
        Left += Button->GetWidth();
    }
}

// 5.3.
void TDedOzovedUrad::MoveHoverButtons(int ACol, int ARow, int X, int Y)
{
    THoverButtons* Settings = FHoverButtons.get();
    if (!Settings->GetEnabled() || !FButtonForm)
        return;
    THoverButtonsCollection* Items = Settings->GetButtons();
    const bool OnCell = ACol >= 0 && ARow >= 0;
    const bool NormalRow = ARow >= GetFixedRows() && ARow < GetRowCount() - FFixedFooters;
    bool Allow = Settings->GetRows() == hrAll || (NormalRow && Focused());
    const bool Changed = Items->Updated;
    Items->Updated = false;
    if (OnCell && Allow && Items->GetCount() > 0)
        DoHoverButtonsShow(X, Y, Allow);
    if (!OnCell || !Allow || Items->GetCount() == 0) {
        HoverButtonsMouseLeave(nullptr);
        return;
    }
    FHoverButtonRow = ARow;
    if (Settings->GetMoveActiveRow()) {
        if (NormalRow && ARow != GetRow())
            SetRow(ARow);
        if (!GetOptions().Contains(goRowSelect) && ACol >= GetFixedCols() && ACol != GetCol())
            SetCol(ACol);
    }
    if (Changed)
        for (int i = FButtonForm->GetControlCount() - 1; i >= 0; --i)
            if (auto* Button = dynamic_cast<TSpeedButton*>(FButtonForm->GetControl(i)))
                delete Button;
    if (FButtonForm->GetControlCount() == 0)
        BuildHoverButtons();
    int Width = 0;
    for (int i = 0; i < FButtonForm->GetControlCount(); ++i)
        Width += std::max(0, FButtonForm->GetControl(i)->GetWidth());
    const int Height = int(RoundHalfEven(22 * GetDPIScale()));
    const TRect R = CellRect(Settings->GetColumn(), ARow);
    TPoint At;
    switch (Settings->GetPosition()) {
    case hbLeftFromColumnLeft: At = TPoint(R.Left - Width, R.Top); break;
    case hbRightFromColumnLeft: At = TPoint(R.Left, R.Top); break;
    case hbLeftFromColumnRight: At = TPoint(R.Right - Width, R.Top); break;
    case hbRightFromColumnRight: At = TPoint(R.Right, R.Top); break;
    }
    At = ClientToScreen(At);
    ShowNoActivate(FButtonForm, At.X, At.Y, Width, Height);
}

// 6.
void TDedOzovedUrad::MoveHoverFixedCells(int ACol, int ARow)
{
    if (GetHoverFixedCells() == hfNone || FNoMouseLeave)
        return;
    auto InFixed = [&](int c, int r) {
        return c >= 0 && r >= 0 && (c < GetFixedCols() || r < GetFixedRows());
    };
    const int OldX = FHoverFixedX, OldY = FHoverFixedY;
    FHoverFixedX = ACol;
    FHoverFixedY = ARow;
    if (OldX == ACol && OldY == ARow)
        return;
    if (InFixed(OldX, OldY))
        RepaintCell(OldX, OldY);
    if (InFixed(ACol, ARow))
        RepaintCell(ACol, ARow);
}

// 8.
void TDedOzovedUrad::MoveHotCellButton(int ACol, int ARow, int X, int Y)
{
    bool Hot = false;
    if (ACol >= 0 && ARow >= 0) {
        const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
        Hot = (HasButton(RealCol, ARow) && PointIn(CellButtonRect(ACol, ARow), X, Y))
            || (HasExpand(RealCol, ARow) && PointIn(ExpandButtonRect(ACol, ARow), X, Y));
    }
    const TPoint Old = FHotButtonCell;
    if (Hot) {
        if (Old == TPoint(ACol, ARow))
            return;
        FHotButtonCell = TPoint(ACol, ARow);
        if (Old.X >= 0 && Old.Y >= 0)
            RepaintCell(Old.X, Old.Y);
        RepaintCell(ACol, ARow);
    } else if (Old.X >= 0 && Old.Y >= 0) {
        FHotButtonCell = TPoint(-1, -1);
        RepaintCell(Old.X, Old.Y);
    }
}

// 9, 10. A drag over the row (column) headers selects whole rows
// (columns); near the bottom edge the rows scroll along. True when the
// drag scrolled up into the fixed rows' height.
bool TDedOzovedUrad::MoveWholeLineDrag(int ACol, int ARow, int Y)
{
    if (FMouseSelectStart < 0)
        return false;
    auto Follow = [&](const TGridRect& Old, const TGridRect& Sel) {
        if (!GetSelectionRectangle() || SameRect(Sel, FSizeSelection))
            return;
        InvalidateGridRect(Ordered(std::min(Old.Left, Sel.Left), std::min(Old.Top, Sel.Top),
            std::max(Old.Right, Sel.Right), std::max(Old.Bottom, Sel.Bottom)));
        FSizeSelection = Sel;
    };
    bool ScrolledUp = false;
    if (FMouseActions->GetRowSelect() && FMouseSelectMode == msRow) {
        if (ARow >= 0 && ARow <= GetRowCount() - FFixedFooters) {
            const TGridRect Old = GetSelection();
            const int Last = std::min(std::max(GetFixedRows(), ARow), GetRowCount() - 1);
            SetSelection(Ordered(GetFixedCols(), FMouseSelectStart, GetColCount() - 1, Last));
            Follow(Old, GetSelection());
        }
        if (Y > GetClientHeight() - 4) {
            if (GetTopRow() + GetVisibleRowCount() < GetRowCount())
                SetTopRow(GetTopRow() + 1);
        } else if (GetFixedRows() > 0 && Y >= 0 && Y < GetRowHeights(0) && GetTopRow() > GetFixedRows()) {
            SetTopRow(GetTopRow() - 1);
            ScrolledUp = true;
        }
    }
    if (FMouseActions->GetColSelect() && FMouseSelectMode == msColumn && ACol >= 0) {
        const TGridRect Old = GetSelection();
        SetSelection(Ordered(FMouseSelectStart, GetFixedRows(), std::max(GetFixedCols(), ACol), GetRowCount() - 1));
        Follow(Old, GetSelection());
    }
    return ScrolledUp;
}

// 11, 12. Whether the pointer rests on a sizable fixed border, and the
// sizing line of a fixed line being sized.
void TDedOzovedUrad::MoveFixedBorders(int ACol, int ARow, int X, int Y)
{
    const bool OnCell = ACol >= 0 && ARow >= 0;
    FSizeFixed = false;
    int s = 0;
    for (int i = 0; i < GetFixedCols(); ++i) {
        if (std::abs(s + GetColWidths(i) - X) < 3 && OnCell && !IsDesigning() && GetOptions().Contains(goColSizing))
            FSizeFixed = FMouseActions->GetSizeFixedCol() && DoColumnSize(i);
        s += GetColWidths(i) + 1;
    }
    if (FSizingFixed) {
        DrawColSizeLine(FSizeFixedX);
        DrawColSizeLine(X);
        FSizeFixedX = X;
    }
    FSizeFixedR = false;
    s = 0;
    for (int i = 0; i < GetFixedRows(); ++i) {
        if (std::abs(s + GetRowHeights(i) - Y) < 3 && OnCell && !IsDesigning() && GetOptions().Contains(goRowSizing))
            FSizeFixedR = FMouseActions->GetSizeFixedRow();
        s += GetRowHeights(i) + 1;
    }
    if (FSizingFixedR) {
        DrawRowSizeLine(FSizeFixedY);
        DrawRowSizeLine(Y);
        FSizeFixedY = Y;
    }
}

// 13. The small square at the selection's bottom-right corner, kept left
// of an always-visible drop-down button.
bool TDedOzovedUrad::OnResizeHandle(int ACol, int ARow, int X, int Y)
{
    if (!GetSelectionResizer() || !GetSelectionRectangle())
        return false;
    const TGridRect Sel = GetSelection();
    TRect R = CellRect(Sel.Right, Sel.Bottom);
    if (ACol >= GetFixedCols() && ARow >= GetFixedRows() && !IsFixed(ACol, ARow)
        && FControlLook->GetDropDownAlwaysVisible()
        && HasCellComboBox(RealColIndex(TDisplayCol(ACol)).Value, ARow, edNone))
        R.Right -= int(RoundHalfEven(FControlLook->GetDropDownButtonWidth() * GetDPIScale()));
    const int e = int(RoundHalfEven(6 * GetDPIScale()));
    R.Top = R.Bottom - e;
    if (UseRightToLeftAlignment())
        R.Right = R.Left + e;
    else
        R.Left = R.Right - e;
    return PointIn(R, X, Y);
}

// 14. A press into the selection becomes an OLE drag once the pointer
// has left the press point by more than 3 pixels.
void TDedOzovedUrad::MoveOleDragStart(int ACol, int ARow, int X, int Y, bool OnHandle)
{
    if (!FSelectionClick || ACol < 0 || ARow < 0 || GetAsyncKeyState(VK_LBUTTON) >= 0)
        return;
    if (std::abs(X - Clickposx) <= 3 && std::abs(Y - Clickposy) <= 3)
        return;
    if (!FDragDropSettings->GetOleDropSource() || GetGridState() == gsColSizing || OnHandle)
        return;
    // 1.
    FSelectionClick = false;
    bool Allow = true;
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    if (FDragDropSettings->GetOleColumnsOnly() && ARow >= GetFixedRows())
        Allow = false;
    else if (OnOleDrag) {
        String Data = GetCells(RealCol, ARow);
        OnOleDrag(this, ARow, RealCol, Data, Allow);
    }
    if (!Allow) {
        // 6. The press becomes a range selection.
        if (GetGridState() == gsNormal)
            SetGridState(gsSelecting);
        return;
    }
    // 2, 3.
    POINT Cursor;
    GetCursorPos(Cursor);
    const TPoint P(Cursor.X, Cursor.Y);
    if (FDragDropSettings->GetShowCells() && !MoveForm) {
        const bool Shown = GetShowSelection();
        SetShowSelection(false);
        TGridRect R;
        if (FDragDropSettings->GetOleColumnPicker())
            R = TGridRect { ACol, 0, ACol, 0 };
        else if (FDragDropSettings->GetOleColumnDragDrop())
            R = TGridRect { ACol, GetTopRow(),
                ACol, std::min(GetRowCount() - 1, GetTopRow() + GetVisibleRowCount() - 1) };
        else {
            const TGridRect Sel = GetSelection();
            R = TGridRect { std::max(Sel.Left, GetLeftCol()), std::max(Sel.Top, GetTopRow()),
                std::min(Sel.Right, GetLeftCol() + GetVisibleColCount() - 1),
                std::min(Sel.Bottom, GetTopRow() + GetVisibleRowCount() - 1) };
        }
        try {
            MoveForm = SelectionToForm(R);
        } catch (...) {
            SetShowSelection(Shown);
            throw;
        }
        SetShowSelection(Shown);
    }
    if (MoveForm) {
        const int Left = UseRightToLeftAlignment() ? P.X + GetColWidths(0) - MoveForm->GetWidth() : P.X;
        ShowNoActivate(MoveForm, Left, P.Y, MoveForm->GetWidth(), MoveForm->GetHeight());
    }
    // 4, 5: the drag loop runs inside; the image goes when it ends.
    int PressCol = -1, PressRow = -1;
    MouseToCell(Clickposx, Clickposy, PressCol, PressRow);
    const bool ColumnDrag = PressRow >= 0 && PressRow < GetFixedRows() && FDragDropSettings->GetOleColumnDragDrop();
    try {
        DragSelectionOut(RealCol, ARow, P, ColumnDrag);
    } catch (...) {
        delete MoveForm;
        MoveForm = nullptr;
        throw;
    }
    delete MoveForm;
    MoveForm = nullptr;
    if (ColumnDrag) {
        if (MoveButton)
            MoveButton->SetVisible(false);
        HideWindowOf(ArwD);
        HideWindowOf(ArwU);
    }
}

// 15.2, 15.3. The checks of a platform move, then the drag image, the
// header button and the arrows of an enhanced move.
void TDedOzovedUrad::MoveEnhancedFeedback(int ACol, int ARow, int X, int Y)
{
    TGridState State = GetGridState();
    if (State == gsColMoving) {
        bool Allow = true;
        if (FFilterEdit->GetEnabled() && FFilterEdit->GetRow() == 0 && ARow == 0)
            Allow = false;
        else if (OnColumnMove)
            OnColumnMove(this, Movecell, Allow);
        if (!Allow)
            SetGridState(gsNormal);
    } else if (State == gsRowMoving) {
        bool Allow = true;
        if (OnRowMove)
            OnRowMove(this, Movecell, Allow);
        if (!Allow)
            SetGridState(gsNormal);
    }
    State = GetGridState();
    const bool Columns = State == gsColMoving;
    const bool Feedback = (Columns || State == gsRowMoving) && GetRowCount() > 1
        && (X != Clickposx || Y != Clickposy) && GetEnhRowColMove() && !FSizingFixed && !FSizingFixedR;
    if (!Feedback) {
        if (State == gsNormal && Screen && (Screen->GetCursor() == crDrag || Screen->GetCursor() == crNoDrop))
            Screen->SetCursor(FOldCursor);
        // Whatever a move that has ended left on the screen goes.
        if (State != gsColMoving && State != gsRowMoving) {
            delete MoveForm;
            MoveForm = nullptr;
            for (TArrowWindow* Arrow : { ArwU, ArwD, ArwL, ArwR })
                if (Arrow && Arrow->HandleAllocated() && IsWindowVisible(Arrow->GetHandle()))
                    HideWindowOf(Arrow);
        }
        return;
    }
    bool Moving = true;
    DoStartBlockFocus();
    // A picture left from an earlier drag is not this drag's.
    if (FMoveColInd < 0 && FMoveRowInd < 0 && MoveForm) {
        delete MoveForm;
        MoveForm = nullptr;
    }
    const bool ShowCells = FDragDropSettings->GetShowCells();
    auto MakeImage = [&](const TGridRect& R) {
        if (!ShowCells || MoveForm)
            return;
        MoveForm = SelectionToForm(R);
        ShowNoActivate(MoveForm, MoveForm->GetLeft(), MoveForm->GetTop(), MoveForm->GetWidth(), MoveForm->GetHeight());
    };
    if (Columns && Movecell >= GetFixedCols() && ARow >= 0) {
        MakeImage(TGridRect { Movecell, 0, Movecell,
            std::min(GetRowCount() - 1, GetTopRow() + GetVisibleRowCount() - GetFixedRows()) });
        if (MoveButton) {
            MoveButton->SetCaption(GetCells(RealColIndex(TDisplayCol(Movecell)).Value, 0));
            MoveButton->SetWidth(GetColWidths(Movecell));
            MoveButton->SetHeight(GetRowHeights(ARow));
            MoveButton->Invalidate();
        }
    } else if (!Columns && Movecell >= GetFixedRows() && ACol >= 0) {
        MakeImage(TGridRect { 0, Movecell,
            std::min(GetColCount() - 1, GetVisibleColCount() + GetLeftCol() - GetFixedCols()), Movecell });
        if (MoveButton) {
            MoveButton->SetCaption(GetCells(0, Movecell));
            MoveButton->SetHeight(GetRowHeights(Movecell));
            MoveButton->SetWidth(GetColWidths(ACol));
            MoveButton->Invalidate();
        }
    }
    const TPoint P = ClientToScreen(TPoint(X - MoveOfsX, Y - MoveOfsY));
    if (ShowCells) {
        if (MoveForm) {
            const int Left = UseRightToLeftAlignment() ? P.X + GetColWidths(0) - MoveForm->GetWidth() : P.X;
            MoveForm->SetBounds(Left, P.Y, MoveForm->GetWidth(), MoveForm->GetHeight());
        } else {
            // Without its picture the move does not go on.
            SetGridState(gsNormal);
            Moving = false;
        }
    } else if (MoveButton)
        MoveButton->SetBounds(P.X, P.Y, MoveButton->GetWidth(), MoveButton->GetHeight());

    if (Moving) {
        const bool OnCell = ACol >= 0 && ARow >= 0;
        auto Place = [](TArrowWindow* Arrow, int Left, int Top, bool Visible) {
            if (!Arrow)
                return;
            if (Visible)
                ShowNoActivate(Arrow, Left, Top, Arrow->GetWidth(), Arrow->GetHeight());
            else
                HideWindowOf(Arrow);
        };
        if (Columns) {
            if (FMoveColInd >= GetFixedCols() && OnCell) {
                const TRect C = CellRect(FMoveColInd, 0);
                const TPoint TL = ClientToScreen(TPoint(C.Left, C.Top));
                const TPoint BR = ClientToScreen(TPoint(C.Right, C.Bottom));
                const int At = FMoveColInd < Movecell ? TL.X - 5 : TL.X + GetColWidths(FMoveColInd) - 5;
                const bool Shown = FMoveColInd >= GetLeftCol() && FMoveColInd < GetLeftCol() + GetVisibleColCount();
                Place(ArwU, At, BR.Y, Shown);
                Place(ArwD, At, TL.Y - 8, Shown);
            }
            FMoveColInd = ACol;
            FMoveRowInd = 0;
            if (OnColumnMoving)
                OnColumnMoving(this, FMoveColInd, Moving);
        } else {
            const bool OntoFooter = FMoveRowInd == GetRowCount() - 1 && FFloatingFooter->GetVisible()
                && FFloatingFooter->GetFooterStyle() == fsFixedLastRow;
            if (!OntoFooter && FMoveRowInd >= GetFixedRows() && FMoveRowInd >= GetTopRow()
                && FMoveRowInd < GetTopRow() + GetVisibleRowCount()) {
                const TRect C = CellRect(0, FMoveRowInd);
                const TPoint TL = ClientToScreen(TPoint(C.Left, C.Top));
                const TPoint BR = ClientToScreen(TPoint(C.Right, C.Bottom));
                const int At = FMoveRowInd < Movecell ? TL.Y - 5 : TL.Y + GetRowHeights(FMoveRowInd) - 5;
                Place(ArwL, TL.X - 10, At, true);
                Place(ArwR, BR.X, At, true);
            }
            FMoveColInd = 0;
            FMoveRowInd = ARow;
            if (OnRowMoving)
                OnRowMoving(this, FMoveRowInd, Moving);
        }
        // Auto scroll while moving past the fixed lines or the far edge.
        if (Columns && GetVisibleColCount() + GetFixedCols() < GetColCount()) {
            if (X < FixedColsWidth() && GetLeftCol() > GetFixedCols()) {
                SetLeftCol(GetLeftCol() - 1);
                Repaint();
            } else if (X > GetClientWidth() && GetLeftCol() + GetVisibleColCount() < GetColCount()) {
                SetLeftCol(GetLeftCol() + 1);
                Repaint();
            }
        } else if (!Columns && GetVisibleRowCount() + GetFixedRows() < GetRowCount()) {
            if (Y < FixedRowsHeight() && GetTopRow() > GetFixedRows()) {
                SetTopRow(GetTopRow() - 1);
                Repaint();
            } else if (Y > GetClientHeight() && GetTopRow() + GetVisibleRowCount() < GetRowCount()) {
                SetTopRow(GetTopRow() + 1);
                Repaint();
            }
        }
        if (MoveButton) {
            if (!MoveButton->GetVisible() && !ShowCells) {
                MoveButton->SetVisible(true);
                if (GetParent() && GetParent()->HandleAllocated())
                    ::SetFocus(GetParent()->GetHandle());
            }
            if (!MoveButton->GetEnabled())
                MoveButton->SetEnabled(true);
        }
    }
    if (Screen) {
        if (Moving)
            Screen->SetCursor(crDrag);
        else if (GetGridState() == gsNormal)
            Screen->SetCursor(FOldCursor);
        else
            Screen->SetCursor(crNoDrop);
    }
}

// 15.4. What a press here would do; the cursor follows it.
void TDedOzovedUrad::MoveHeaderModes(int ACol, int ARow, int X, int Y, bool OnHandle, bool ScrolledUp, bool& CursorSet)
{
    FMouseSelectMode = OnHandle ? msResize : msNormal;
    auto Mode = [&](TMouseSelectMode M) {
        FMouseSelectMode = M;
        CursorSet = true;
        Invokedchange = true;
    };
    if (OnHandle)
        Mode(msResize);
    if (ACol < 0 || ARow < 0)
        return;
    const int FixedRows = GetFixedRows(), FixedCols = GetFixedCols();
    const bool InCorner = ACol == 0 || (ACol < FixedCols && FMouseActions->GetAllSelectAllFixedColumns());
    if (ARow < FixedRows && InCorner && FMouseActions->GetAllSelect()) {
        bool Counts = true;
        if (GetFilterDropDownAuto() && ARow == GetFilterDropDownRow())
            Counts = X < CellRect(ACol, ARow).Right - 18
                && CollectFilterValues(RealColIndex(TDisplayCol(ACol)).Value, true, false);
        if (Counts)
            Mode(msAll);
    }
    if (ARow < FixedRows && ACol >= FixedCols && FMouseActions->GetColSelect() && !IsOnSizingBorder(X, Y))
        Mode(msColumn);
    const bool Footer = FFloatingFooter->GetVisible() && FFloatingFooter->GetFooterStyle() == fsFixedLastRow;
    const int LastRow = GetRowCount() - (Footer ? 2 : 1);
    if (ACol < FixedCols && ARow <= LastRow && (ARow >= FixedRows || ScrolledUp) && FMouseActions->GetRowSelect()
        && !IsOnSizingBorder(X, Y) && !FDataViews->IsNodeClickHit(ARow, X))
        Mode(msRow);
}

// 16. URLs and mini-HTML anchors under the pointer: the hand cursor, the
// underline of a hovered link and the anchor events.
void TDedOzovedUrad::MoveLinksAndAnchors(int X, int Y, bool& CursorSet)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    auto ClearHoverLink = [&]() {
        if (!GetURLUnderlineOnHover() || (FHoverHTMLCell.X < 0 && FHoverHTMLAnchor < 0))
            return;
        const TPoint Old = FHoverHTMLCell;
        FHoverHTMLAnchor = -1;
        FHoverHTMLCell = TPoint(-1, -1);
        if (Old.X >= 0 && Old.Y >= 0)
            RepaintCell(Old.X, Old.Y);
    };
    // Leaving a link fires its exit once, whatever lies under the pointer now.
    auto ExitAnchor = [&]() {
        if (FAnchor.empty())
            return;
        FAnchor.clear();
        if (OnAnchorExit)
            OnAnchorExit(this, ARow, ACol, String());
    };
    if (ACol < 0 || ARow < 0) {
        ExitAnchor();
        return;
    }
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    const String Text = GetCellEx(RealCol, ARow);
    const int Kind = VuzEraz::DetectTextKind(Text, GetEnableHTML());
    if (Kind != 1) {
        if (Kind == 4 && GetURLShow()) {
            CursorSet = true;
            ShowHandCursor();
        }
        ClearHoverLink();
        ExitAnchor();
        return;
    }
    TRect R = CellRect(ACol, ARow);
    R = TRect(R.Left + FXYOffset.X + 1, R.Top + FXYOffset.Y + 1, R.Right - FXYOffset.X, R.Bottom);
    if (HasCheckBox(RealCol, ARow))
        R.Left += int(RoundHalfEven(16 * GetDPIScale()));
    if (HasScrollBar(RealCol, ARow)) {
        R.Right -= 17;
        R.Top -= GetScrollPosition(RealCol, ARow);
    }
    TCanvas* Canvas = GetCanvas();
    const bool Fixed = ACol < GetFixedCols() || ARow < GetFixedRows();
    Canvas->GetFont()->Assign(Fixed && GetUseFixedFont() ? GetFixedFont() : GetFont());
    GetCellColor(ACol, ARow, Fixed ? TGridDrawState { gdFixed } : TGridDrawState(), Canvas->GetBrush(),
        Canvas->GetFont());
    String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
    TRect HitRect, ControlRect;
    VovHTMLE::DrawHTMLText(Canvas, Text, R, FGridImages, X, Y, -1, -1, 1, true, false, false, false, false, false,
        true, false, String(), 1.0, GetURLColor(), clNone, clNone, TColor(0x808080), HitAnchor, Stripped, FocusHref,
        Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue, ControlType,
        FImageCache.get(), FPictureContainer, HandleAllocated() ? GetHandle() : nullptr, float(GetDPIScale()),
        UseRightToLeftAlignment() ? 1 : 0);
    if (HitAnchor.empty())
        HitIndex = -1;
    if (GetURLUnderlineOnHover()) {
        const TPoint Cell(ACol, ARow);
        const TPoint Old = FHoverHTMLCell;
        if (Old != Cell && Old.X >= 0 && Old.Y >= 0)
            RepaintCell(Old.X, Old.Y);
        if (Old != Cell || FHoverHTMLAnchor != HitIndex) {
            FHoverHTMLCell = Cell;
            FHoverHTMLAnchor = HitIndex;
            RepaintCell(ACol, ARow);
        }
    }
    if (HitAnchor.empty() && Title.empty()) {
        ExitAnchor();
        return;
    }
    String Hint = Title.empty() ? HitAnchor : Title;
    if (OnAnchorHint)
        OnAnchorHint(this, ARow, ACol, Hint);
    if (Hint != FLastAnchorHint && !FLastAnchorHint.empty() && HitAnchor != FAnchor) {
        FLastAnchorHint = Hint;
        if (Application)
            Application->CancelHint();
    }
    CursorSet = true;
    ShowHandCursor();
    if (HitAnchor != FAnchor) {
        FAnchor = HitAnchor;
        if (OnAnchorEnter)
            OnAnchorEnter(this, ARow, ACol, HitAnchor);
    }
}

void TDedOzovedUrad::ShowSizingHint(const String& Text, int ACol, int ARow)
{
    if (!FScrollHintWnd)
        FScrollHintWnd = new THTMLHintWindow(this);
    TRect R = FScrollHintWnd->CalcHintRect(200, Text, nullptr);
    FScrollHintWnd->SetColor(GetHintColor());
    const TRect Cell = CellRect(std::max(0, ACol), std::max(0, ARow));
    const TPoint At = ClientToScreen(TPoint(Cell.Left, Cell.Top));
    R.Offset(At.X, At.Y);
    FScrollHintWnd->ActivateHint(R, Text);
    FScrollHintShow = true;
}

// 23, 24. The sizing events and the sizing hint of the four sizings.
void TDedOzovedUrad::MoveSizingHint(int X, int Y)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridState State = GetGridState();
    const bool HintOn = IsDesigning() || GetHintShowSizing();
    if (State == gsColSizing || FSizingFixed) {
        int Size = FSizeFixedX, Index = 0;
        if (!FSizingFixed) {
            Index = Colclicked;
            const TRect C = CellRect(std::max(0, Colclicked), std::max(0, ARow));
            Size = X - C.Left - Clickposdx;
        }
        if (OnColumnSizing)
            OnColumnSizing(this, Index, Size);
        if (HintOn) {
            if (FSizingFixed)
                ShowSizingHint(u"cw=<b>" + IntToStr(FSizeFixedX) + u"</b>", 0, 0);
            else {
                const int HintCol = Colclicked == -1 ? GetColCount() - 1 : Colclicked;
                const int HintRow = Colclicked == -1 ? 0 : Rowclicked;
                const TRect C = CellRect(HintCol, std::max(0, HintRow));
                ShowSizingHint(u"cw=<b>" + IntToStr(X - C.Left - Clickposdx) + u"</b>", HintCol, HintRow);
            }
        }
    }
    if (State == gsRowSizing || FSizingFixedR) {
        int Size = FSizeFixedY, Index = 0;
        if (!FSizingFixedR) {
            Index = Rowclicked;
            Size = Y - CellRect(0, std::max(0, Rowclicked)).Top - Clickposdy;
        }
        if (OnRowSizing)
            OnRowSizing(this, Index, Size);
        if (HintOn) {
            if (FSizingFixedR)
                ShowSizingHint(u"rh=<b>" + IntToStr(FSizeFixedY) + u"</b>", 0, 0);
            else {
                const int HintCol = Rowclicked == -1 ? 0 : Colclicked;
                const int HintRow = Rowclicked == -1 ? GetRowCount() - 1 : Rowclicked;
                const TRect C = CellRect(std::max(0, HintCol), HintRow);
                ShowSizingHint(u"rh=<b>" + IntToStr(Y - C.Top - Clickposdy) + u"</b>", HintCol, HintRow);
            }
        }
    }
}

// ---- the step ----

void TDedOzovedUrad::MouseMove(TShiftState Shift, int X, int Y)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridRect SelAtStart = GetSelection();

    // 1. Dragging selects a range rather than editing.
    if (FMouseDownMove && FMouseActions->GetRangeSelectAndEdit() && GetOptions().Contains(goEditing)
        && !GetEditorMode())
        SetOptions(GetOptions() - TGridOptions { goEditing });
    // 2.
    if (FScrollStart)
        MoveTouchScroll(X, Y);
    // 3.
    if (GetSelectionRectangle() && GetGridState() == gsSelecting)
        FSizeSelection = GetSelection();
    // 4.
    MovePopupToolBar(ACol, ARow);
    // 5.
    if (!IsDesigning()) {
        MoveHoverRow(ARow);
        MoveCellScrollBar(ACol, ARow);
        MoveHoverButtons(ACol, ARow, X, Y);
    }
    // 6.
    MoveHoverFixedCells(ACol, ARow);
    // 7.
    if (GetLook() == glListView && (FHotFixedCol != ACol || FHotFixedRow != ARow)) {
        auto InFixed = [&](int c, int r) {
            return c >= 0 && r >= 0 && (c < GetFixedCols() || r < GetFixedRows());
        };
        if (InFixed(FHotFixedCol, FHotFixedRow))
            RepaintCell(FHotFixedCol, FHotFixedRow);
        FHotFixedCol = ACol;
        FHotFixedRow = ARow;
        if (InFixed(ACol, ARow))
            RepaintCell(ACol, ARow);
    }
    // 8.
    MoveHotCellButton(ACol, ARow, X, Y);
    // 9, 10.
    const bool ScrolledUp = MoveWholeLineDrag(ACol, ARow, Y);
    // 11, 12.
    MoveFixedBorders(ACol, ARow, X, Y);
    // 13.
    const bool OnHandle = OnResizeHandle(ACol, ARow, X, Y);
    // 14.
    MoveOleDragStart(ACol, ARow, X, Y, OnHandle);
    // 15.
    bool CursorSet = false;
    if (!IsDesigning()) {
        if (GetGridState() == gsColSizing)
            ColSized = true;
        if (GetGridState() == gsRowSizing)
            RowSized = true;
        MoveEnhancedFeedback(ACol, ARow, X, Y);
        MoveHeaderModes(ACol, ARow, X, Y, OnHandle, ScrolledUp, CursorSet);
    }
    // 16.
    MoveLinksAndAnchors(X, Y, CursorSet);
    // 17.
    if (!CursorSet && GetCursor() != FOldCursor) {
        Invokedchange = true;
        TBaseGrid::SetCursor(FOldCursor);
    }
    // 18, 19. A new cell under the pointer gets its own hint and balloon.
    if (FLastHintPos.X >= -1 || FBalloon->GetEnable()) {
        int BCol = -1, BRow = -1;
        MouseToCell(X, Y, BCol, BRow);
        if (BCol >= 0 && BRow >= 0) {
            const TPoint B = BaseCell(RealColIndex(TDisplayCol(BCol)).Value, BRow);
            BCol = DisplColIndex(TRealCol(B.X)).Value;
            BRow = B.Y;
        }
        const TPoint Base(BCol, BRow);
        if (FLastHintPos.X >= -1 && Base != FLastHintPos) {
            if (Application)
                Application->CancelHint();
            FLastHintPos = TPoint(-2, -2);
        }
        if (FBalloon->GetEnable() && Base != FLastBalloonPos) {
            if (FHToolTip)
                SendMessage(FHToolTip, TTM_POP, 0, 0);
            FLastBalloonPos = TPoint(-2, -2);
        }
    }
    // 20.
    if (GetGridState() == gsSelecting && GetSelectionRectangle()) {
        const TGridRect Sel = GetSelection();
        if (!SameRect(Sel, FMoveSelection)) {
            if (FMoveSelection.Left >= 0)
                InvalidateGridRect(FMoveSelection);
            InvalidateGridRect(Sel);
            FMoveSelection = Sel;
        }
    }
    // 21.
    TBaseGrid::MouseMove(Shift, X, Y);
    // 22. A drag does not scroll sideways.
    if (FNavigation->GetKeepHorizScroll() && FMouseKeepDown && GetGridState() != gsColMoving
        && GetLeftCol() != FOldKeepLeftCol) {
        BeginUpdate();
        try {
            SetLeftCol(FOldKeepLeftCol);
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    // 23, 24.
    MoveSizingHint(X, Y);
    // 25.
    if (GetEnhRowColMove() && HandleAllocated())
        Update();
    // 26.
    const TGridRect Now = GetSelection();
    if (!SameRect(Now, SelAtStart))
        SelectionChanged(Now.Left, Now.Top, Now.Right, Now.Bottom);
}

// ---- entering and leaving ----

void TDedOzovedUrad::MouseEnter()
{
    TBaseGrid::MouseEnter();
    if (FMouseActions->GetAutoFocus() && !Focused() && CanFocus())
        SetFocus();
}

void TDedOzovedUrad::MouseLeave()
{
    TBaseGrid::MouseLeave();
    // 1.
    if (FPopupToolBar && FPopupToolBar->GetVisible() && !GetEditorMode()) {
        POINT P;
        GetCursorPos(P);
        if (!FPopupToolBar->MouseInPopup(TPoint(P.X, P.Y)))
            FPopupToolBar->Hide();
    }
    // 2.
    FMouseSelectMode = msNormal;
    FSizeFixed = false;
    FSizeFixedR = false;
    // 3.
    if (!FNoMouseLeave && GetHoverFixedCells() != hfNone && (FHoverFixedX >= 0 || FHoverFixedY >= 0)) {
        const int X = FHoverFixedX, Y = FHoverFixedY;
        FHoverFixedX = -1;
        FHoverFixedY = -1;
        if (X >= 0 && Y >= 0)
            RepaintCell(X, Y);
    }
    // 4.
    if (GetLook() == glListView && FHotFixedCol >= 0 && FHotFixedRow >= 0
        && (FHotFixedCol < GetFixedCols() || FHotFixedRow < GetFixedRows()))
        RepaintCell(FHotFixedCol, FHotFixedRow);
    // 5.
    if (GetHoverRow() && GetHoverRowIdx() >= 0) {
        const int Old = GetHoverRowIdx();
        SetHoverRowIdx(-1);
        if (Old < GetRowCount())
            RepaintRow(Old);
    }
    // 6.
    if (FHoverButtons->GetEnabled() && FButtonForm && FButtonForm->HandleAllocated()) {
        POINT P;
        GetCursorPos(P);
        RECT R;
        GetWindowRect(FButtonForm->GetHandle(), R);
        const bool OnForm = P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
        if (!OnForm)
            HoverButtonsMouseLeave(nullptr);
    }
}

// ---- the drag image ----

TForm* TDedOzovedUrad::SelectionToForm(const TGridRect& ARect)
{
    // 1.
    TBitmap Whole;
    Whole.SetPixelFormat(pf24bit);
    Whole.SetSize(std::max(1, GetWidth()), std::max(1, GetHeight()));
    PaintTo(Whole.GetCanvas()->GetHandle(), 0, 0);
    // 2.
    TRect A = CellRect(ARect.Left, ARect.Top);
    TRect B = CellRect(ARect.Right, ARect.Bottom);
    if (B.Left < A.Left)
        std::swap(A, B);
    if (B.Bottom < A.Bottom) {
        std::swap(A.Top, B.Top);
        std::swap(A.Bottom, B.Bottom);
    }
    const int W = std::max(1, B.Right - A.Left + 1);
    const int H = std::max(1, B.Bottom - A.Top + 1);
    auto Image = std::make_unique<TBitmap>();
    Image->SetPixelFormat(pf24bit);
    Image->SetSize(W, H);
    Image->GetCanvas()->CopyRect(
        TRect(0, 0, W, H), Whole.GetCanvas(), TRect(A.Left + 1, A.Top + 1, B.Right + 2, B.Bottom + 2));
    // 3. The fixed lines' colour along the edges the fixed cells leave.
    TCanvas* C = Image->GetCanvas();
    C->GetPen()->SetColor(GetGridFixedLineColor());
    if (ARect.Left == 0 && GetFixedCols() > 0 && GetOptions().Contains(goFixedHorzLine)) {
        C->MoveTo(0, 0);
        C->LineTo(0, H);
    }
    if (ARect.Top == 0 && GetFixedRows() > 0 && GetOptions().Contains(goFixedVertLine)) {
        C->MoveTo(0, 0);
        C->LineTo(W, 0);
    }
    // 4.
    auto* Form = new TDragImageForm(this);
    Form->SetBorderStyle(bsNone);
    Form->SetFormStyle(fsStayOnTop);
    Form->SetBounds(0, 0, W, H);
    Form->SetClientWidth(W);
    Form->SetClientHeight(H);
    auto* Picture = new ExtCtrls::TImage(Form);
    Picture->SetParent(Form);
    Picture->SetAlign(alClient);
    Picture->GetPicture()->Assign(Image.get());
    Form->SetAlphaBlend(true);
    Form->SetAlphaBlendValue(192);
    return Form;
}
