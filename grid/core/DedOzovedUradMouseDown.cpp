// The grid's own handling of a left button press: a fixed row of hit
// tests, the first of which to claim the press acts on it. Only a press no
// test claims reaches the platform grid, whose mouse-down step
// (DedOzovedUradMouseStep.cpp) starts selecting, sizing or moving.

#include <algorithm>
#include <cstdlib>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/EditLink.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "richtext/MiniHTML.h"

namespace {

// The platform grid's selection scroll timer.
constexpr UINT_PTR PlatformSelectTimer = 1;

bool PointIn(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

// Restores goEditing-style option changes and other saved values when a
// step leaves early.
struct TSavedPosition {
    TGridRect Selection;
    int Col;
    int Row;
};

} // namespace

TShiftState TDedOzovedUrad::PressShiftState() const
{
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        Shift.Include(ssCtrl);
    if (GetKeyState(VK_MENU) < 0)
        Shift.Include(ssAlt);
    return Shift;
}

void TDedOzovedUrad::FireMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseDown)
        OnMouseDown(this, Button, Shift, X, Y);
}

void TDedOzovedUrad::RunPlatformPress(TMessage& Message) { TBaseGrid::WndProc(Message); }

void TDedOzovedUrad::DoClickCell(int ARow, int ACol)
{
    if (OnClickCell)
        OnClickCell(this, ARow, ACol);
}

void TDedOzovedUrad::CheckBoxClick(int ACol, int ARow, bool State)
{
    if (OnCheckBoxClick)
        OnCheckBoxClick(this, ACol, ARow, State);
}

// The press is over without its release: nothing of the release (no
// OnClick, no cell click of another cell) runs.
void TDedOzovedUrad::EndPressDirectly()
{
    if (HandleAllocated()) {
        if (::GetCapture() == GetHandle())
            ReleaseCapture();
        KillTimer(GetHandle(), PlatformSelectTimer);
    }
    TControlState State = GetControlState();
    State.Exclude(csLButtonDown);
    State.Exclude(csClicked);
    SetControlState(State);
    if (GetGridState() == gsSelecting)
        SetGridState(gsNormal);
    FMouseDown = false;
    FMouseDownMove = false;
    FMouseKeepDown = false;
    FDoOnClick = false;
}

// ---- the hit tests ----

// A drag of the small square at the selection's bottom-right corner.
bool TDedOzovedUrad::PressOnResizeHandle(TMessage& Message, int ACol, int ARow)
{
    if (!GetSelectionResizer() || !GetSelectionRectangle() || ACol < 0 || ARow < 0)
        return false;
    const TGridRect Sel = GetSelection();
    const TRect R = CellRect(Sel.Right, Sel.Bottom);
    const int Side = int(RoundHalfEven(6 * GetDPIScale()));
    const TPoint P = PointOf(Message.LParam);
    const bool Rtl = UseRightToLeftAlignment();
    const TRect Handle = Rtl ? TRect(R.Left, R.Bottom - Side, R.Left + Side, R.Bottom)
                             : TRect(R.Right - Side, R.Bottom - Side, R.Right, R.Bottom);
    if (!PointIn(Handle, P.X, P.Y))
        return false;
    SetGridState(gsSelecting);
    FDropSelection = Sel;
    FDataViews->CopySelectionToClipboard();
    FMouseResize = true;
    const TSavedPosition Saved { GetSelection(), GetCol(), GetRow() };
    if (!GetOptions().Contains(goEditing) && !FMouseActions->GetRangeSelectAndEdit())
        RunPlatformPress(Message);
    SetSelection(Saved.Selection);
    if (GetCol() != Saved.Col || GetRow() != Saved.Row) {
        FocusCell(Saved.Col, Saved.Row);
        SetSelection(Saved.Selection);
    }
    SetGridState(gsSelecting);
    MouseMove(TShiftState(), P.X, P.Y);
    Message.Result = 1;
    return true;
}

bool TDedOzovedUrad::PressStartsTouchScroll(TMessage& Message, int ACol, int ARow, TShiftState Shift)
{
    if (!FMouseActions->GetTouchScroll() || GetEditorMode() || Shift.Contains(ssShift))
        return false;
    if (ACol < GetFixedCols() || ARow < GetFixedRows() || (ACol == GetCol() && ARow == GetRow()))
        return false;
    DoClickCell(ARow, ACol);
    FTimeStart = GetTickCount64();
    ptdown = PointOf(Message.LParam);
    FTopDown = GetTopRowEx();
    FLeftRight = GetLeftCol();
    FScrollStart = true;
    Message.Result = 1;
    FScrollSteps = 0;
    if (GetOptions().Contains(goRowSelect)) {
        if (Shift.Contains(ssCtrl))
            SetRowSelect(ARow, !GetRowSelect(ARow));
        else {
            ClearRowSelect();
            SetRow(ARow);
        }
    }
    RunPlatformPress(Message);
    // The drag scrolls rather than selects; the release decides.
    if (GetGridState() == gsSelecting) {
        SetGridState(gsNormal);
        if (HandleAllocated())
            KillTimer(GetHandle(), PlatformSelectTimer);
    }
    if (HandleAllocated())
        SetCapture(GetHandle());
    return true;
}

// A press on a fixed column's (row's) border that mouse move armed.
bool TDedOzovedUrad::PressSizesFixedLine(int X, int Y)
{
    if (FSizeFixed) {
        FSizingFixed = true;
        FSizeFixedX = X;
        DrawColSizeLine(X);
        int s = 0;
        for (int i = 0; i < GetFixedCols(); ++i) {
            if (std::abs(s + GetColWidths(i) - X) < 3 && !IsDesigning())
                FSizingFixedCol = i;
            s += GetColWidths(i) + 1;
        }
        return true;
    }
    if (FSizeFixedR) {
        FSizingFixedR = true;
        FSizeFixedY = Y;
        DrawRowSizeLine(Y);
        int s = 0;
        for (int i = 0; i < GetFixedRows(); ++i) {
            if (std::abs(s + GetRowHeights(i) - Y) < 3 && !IsDesigning())
                FSizingFixedRow = i;
            s += GetRowHeights(i) + 1;
        }
        return true;
    }
    return false;
}

bool TDedOzovedUrad::PressOnCheckOrRadio(
    int ACol, int ARow, int RealCol, bool FixedClick, int X, int Y, TShiftState Shift)
{
    const bool IsRadioButton = HasRadioButton(RealCol, ARow);
    if (!HasCheckBox(RealCol, ARow) && !IsRadioButton)
        return false;
    const bool KeepHoriz = GetOptions().Contains(goRowSelect) && FNavigation->GetKeepHorizScroll();
    const int OldLeft = GetLeftCol();
    bool Opened = false;
    if (KeepHoriz) {
        BeginUpdate();
        Opened = true;
        if (FEditDisable) {
            SetOptions(GetOptions() + TGridOptions { goEditing });
            FEditDisable = false;
        }
        HideInplaceEdit();
        if (CanFocus())
            SetFocus();
    }
    try {
        const int RealRow = RealRowIndex(TDisplayRow(ARow)).Value;
        bool Changed = true;
        const bool Hit = IsInCheckBox(RealCol, ARow, X, Y);
        if (Hit) {
            if (IsRadioButton) {
                DoToggleRadioButton(RealCol, ARow, true);
                if (OnRadioButtonClick)
                    OnRadioButtonClick(this, RealCol, ARow);
            } else {
                Changed = DoToggleCheckBox(RealCol, ARow, true);
                if (ARow < GetFixedRows() && FMouseActions->GetCheckAllCheck())
                    Changed = true;
            }
        }
        if (Changed) {
            const bool Hotmail = FMouseActions->GetHotmailRowSelect();
            if (FShowModified->GetEnabled()) {
                SetRowModified(ARow, true);
                RepaintCell(0, ARow);
            }
            if (ACol == 0 && Hotmail) {
                SetSelection(TGridRect { GetFixedCols(), ARow, GetColCount() - 1, ARow });
                SetRowSelect(RealRow, !GetRowSelect(RealRow));
                if (RealRow != ARow)
                    RepaintCell(0, ARow);
                if (ARow == GetRow() && !GetRowSelect(RealRow)) {
                    if (!Shift.Contains(ssCtrl))
                        HideSelection();
                    FSelHidden = false;
                }
            }
            bool State = false;
            GetCheckBoxState(RealCol, RealRow, State);
            if (!FNavigation->GetAlwaysEdit() && !FixedClick && !IsFixed(ACol, ARow))
                MoveColRow(ACol, ARow, true, true);
            if (Hit)
                CheckBoxClick(ACol, ARow, State);
            if (GetHideFocusRect())
                RepaintCell(ACol, ARow);
            if (ARow < GetFixedRows() && FMouseActions->GetCheckAllCheck() && Hit) {
                if (Hotmail) {
                    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
                        SetRowSelect(RealRowIndex(TDisplayRow(r)).Value, State);
                    Invalidate();
                } else {
                    for (int r = GetFixedRows(); r < GetRowCount(); ++r) {
                        if (IsSuppressedRow(r))
                            continue;
                        SetCheckBoxState(RealCol, HasDataCheckBox(RealCol, r) ? r : RealRowIndex(TDisplayRow(r)).Value,
                            State);
                    }
                    // The header's own toggle has reported its change.
                    Invalidate();
                }
            }
        }
        FireMouseDown(mbLeft, PressShiftState(), X, Y);
        Click();
    } catch (...) {
        if (Opened) {
            SetLeftCol(OldLeft);
            EndUpdate();
        }
        throw;
    }
    if (Opened) {
        SetLeftCol(OldLeft);
        EndUpdate();
    }
    return true;
}

bool TDedOzovedUrad::PressOnEditButton(int ACol, int ARow, int RealCol, int X)
{
    if (!FControlLook->GetDropDownAlwaysVisible())
        return false;
    if (!HasCellEditBtn(RealCol, ARow, edNone))
        return false;
    const TRect R = CellRect(ACol, ARow);
    const int W = FControlLook->GetDropDownButtonWidth();
    if (!(X > R.Right - W - 2 && X < R.Right - 2))
        return false;
    HideInplaceEdit();
    SelectCell(ACol, ARow);
    SetCol(ACol);
    SetRow(ARow);
    FocusCell(ACol, ARow);
    ShowInplaceEdit();
    if (OnEllipsClick) {
        String S = GetCells(RealCol, ARow);
        OnEllipsClick(this, ACol, ARow, S);
        TInplaceEdit* Editor = GetInplaceEditor();
        if (GetEditorMode() && Editor && S != Editor->GetText())
            Editor->SetText(S);
        else
            SetCells(RealCol, ARow, S);
        if (CanFocus())
            SetFocus();
        ShowInplaceEdit();
    }
    return true;
}

// Step 39: moving the edit to the pressed cell directly. False when the
// open editor's value was refused (the press ends).
bool TDedOzovedUrad::PressEditsDirectly(int ACol, int ARow, bool CanEdit, bool ComboHit)
{
    const bool EditOnDbl = FMouseActions->GetEditOnDblClickOnly();
    if (!(CanEdit || (EditOnDbl && ComboHit)))
        return true;
    TCustomForm* Form = GetParentForm(this);
    auto* AsForm = dynamic_cast<TForm*>(Form);
    const bool FormCheck = !AsForm || AsForm->GetFormStyle() == fsNormal;
    const bool Direct = FMouseActions->GetDirectEdit();
    if (!((Direct && FormCheck && !FIsDBVersion) || (FControlLook->GetDropDownAlwaysVisible() && ComboHit)))
        return true;
    if (GetEditorMode()) {
        if (!ValidatePressedEditor())
            return false;
        if (Direct)
            SetEditorMode(false);
    }
    if (EditOnDbl && ComboHit)
        FEditActive = false;
    bool CanSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, CanSelect);
    if (CanSelect) {
        bool Allow = true;
        if (OnCellChanging)
            OnCellChanging(this, GetRow(), GetCol(), ARow, ACol, Allow);
        if (ARow != GetRow() && OnRowChanging)
            OnRowChanging(this, GetRow(), ARow, Allow);
        if (ACol != GetCol() && OnColChanging)
            OnColChanging(this, GetCol(), ACol, Allow);
        if (Allow) {
            auto Saved = std::move(OnSelectCell);
            OnSelectCell = nullptr;
            try {
                HideInplaceEdit();
                FocusCell(ACol, ARow);
                if (GetActiveRowShow())
                    Invalidate();
            } catch (...) {
                OnSelectCell = std::move(Saved);
                throw;
            }
            OnSelectCell = std::move(Saved);
        }
    }
    if (CanFocus())
        SetFocus();
    return true;
}

// Step 35: select-all, whole-row and whole-column clicks in the fixed
// cells, and what a move would take.
void TDedOzovedUrad::PressOnHeaders(int ACol, int ARow, int X, int Y, TShiftState Shift)
{
    Movecell = -1;
    const TGridRect OldSel = GetSelection();
    const int OldCol = GetCol(), OldRow = GetRow();
    const bool Disjunct = FMouseActions->GetDisjunctRowSelect();
    auto RepaintActive = [&]() {
        if (!GetActiveCellShow())
            return;
        RepaintCell(OldCol, 0);
        RepaintCell(0, OldRow);
        RepaintCell(GetCol(), 0);
        RepaintCell(0, GetRow());
    };
    const bool InCorner = ACol == 0 || (ACol < GetFixedCols() && FMouseActions->GetAllSelectAllFixedColumns());
    if (InCorner && ARow < GetFixedRows() && FMouseActions->GetAllSelect()
        && (GetOptions().Contains(goRangeSelect) || Disjunct) && FMouseSelectMode == msAll) {
        if (CanFocus())
            SetFocus();
        ExportNotification(esExportStart, -1);
        ExportNotification(esExportNewRow, GetRowCount() - 1);
        ExportNotification(esExportFail, -1);
        HideSelection();
        TGridRect All { GetFixedCols(), GetFixedRows(), GetColCount() - 1, GetRowCount() - 1 };
        SelectAllRect(All);
        SetSelection(All);
        if (Disjunct)
            for (int r = GetFixedRows(); r <= GetRowCount() - 1 - FFixedFooters; ++r)
                SetRowSelect(r, true);
        FSelHidden = false;
        DoExit();
        RepaintActive();
    }
    if (ACol < GetFixedCols() && ARow >= GetFixedRows() && FMouseActions->GetRowSelect() && FMouseSelectMode == msRow) {
        if (GetEditorMode() && CanFocus())
            SetFocus();
        if (Disjunct && Shift.Contains(ssCtrl))
            SetRowSelect(ARow, !GetRowSelect(ARow));
        else {
            if (Disjunct)
                ResetRowSelectList();
            if (FIsDBVersion) {
                const int Left = GetLeftCol();
                SetRow(ARow);
                SetLeftCol(Left);
                SetSelection(TGridRect { GetFixedCols(), ARow, GetColCount() - 1, ARow });
            } else {
                HideSelection();
                if (FMouseActions->GetDisjunctCellSelect())
                    ClearSelectedCells();
                if (Shift.Contains(ssShift))
                    SetSelection(TGridRect { GetFixedCols(), ARow, GetColCount() - 1, FOrigSelection.Top >= 0
                                                 ? FOrigSelection.Top
                                                 : OldSel.Top });
                else {
                    bool Allow = true;
                    if (OldRow != ARow && OnRowChanging)
                        OnRowChanging(this, OldSel.Top, ARow, Allow);
                    if (Allow) {
                        SetSelection(TGridRect { GetFixedCols(), ARow, GetColCount() - 1, ARow });
                        if (Disjunct)
                            SyncRowSelectWithSelection(false);
                    }
                }
            }
        }
        FSelHidden = false;
        DoExit();
        FMouseSelectStart = ARow;
        RepaintActive();
        if (FRowIndicator && !FRowIndicator->Empty())
            RepaintCol(0);
    }
    if (ACol >= GetFixedCols() && ARow < GetFixedRows() && FMouseActions->GetColSelect()
        && GetOptions().Contains(goRangeSelect) && FMouseSelectMode == msColumn) {
        if (CanFocus())
            SetFocus();
        HideSelection();
        if (FMouseActions->GetDisjunctCellSelect())
            ClearSelectedCells();
        const int Bottom = GetRowCount() - 1;
        if (Shift.Contains(ssShift)) {
            if (ACol < OldSel.Left)
                SetSelection(TGridRect { ACol, GetFixedRows(), OldSel.Right, Bottom });
            else
                SetSelection(TGridRect { OldSel.Left, GetFixedRows(), ACol, Bottom });
        } else
            SetSelection(TGridRect { ACol, GetFixedRows(), ACol, Bottom });
        FSelHidden = false;
        DoExit();
        FMouseSelectStart = ACol;
        RepaintActive();
    }
    if (ARow < GetFixedRows() && ACol >= GetFixedCols())
        Movecell = ACol;
    else if (ACol < GetFixedCols() && ARow >= GetFixedRows())
        Movecell = ARow;
    const TRect R = CellRect(ACol, ARow);
    MoveOfsX = X - R.Left;
    MoveOfsY = Y - R.Top;
}

// Step 45: the cell click, the validation snapshot and the edit a click
// starts.
void TDedOzovedUrad::PressStartsEdit(
    int ACol, int ARow, int OrigCol, int OrigRow, bool CanEdit, bool ComboHit, int X, int Y)
{
    const TRect Rect = CellRect(ACol, ARow);
    const bool Grab = GetOptions().Contains(goColSizing) && ARow < GetFixedRows()
        && (std::abs(X - Rect.Left) < 4 || std::abs(Rect.Right - X) < 4);
    if (!Grab)
        DoClickCell(ARow, ACol);
    if (WantsValidationSnapshot()) {
        FEntered = false;
        SaveOldCell(GetCol(), GetRow());
    }
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    const bool Direct = FMouseActions->GetDirectEdit();
    const TGridRect Sel = GetSelection();
    const bool SoleSel = PointIn(Rect, X, Y) && Sel.Left == ACol && Sel.Right == ACol && Sel.Top == ARow
        && Sel.Bottom == ARow;
    if (IsMergedCell(RealCol, ARow) && !IsFixed(ACol, ARow) && (SoleSel || Direct) && CanEdit)
        ShowInplaceEdit();

    const bool Normal = ACol >= GetFixedCols() && ARow >= GetFixedRows() && !IsFixed(ACol, ARow);
    const bool Inside = X >= Rect.Left + 4 && X <= Rect.Right - 4;
    const bool EditOnDbl = FMouseActions->GetEditOnDblClickOnly();
    const bool DropAlways = FControlLook->GetDropDownAlwaysVisible();
    if (!Normal || !Inside || !(CanEdit || (EditOnDbl && ComboHit)) || !(Direct || (DropAlways && CanEdit && ComboHit))
        || IsControlCell(RealCol, ARow))
        return;
    if (EditOnDbl && ComboHit && !GetOptions().Contains(goEditing)) {
        SetOptions(GetOptions() + TGridOptions { goEditing });
        if (CanFocus())
            SetFocus();
    }
    bool Allow = true;
    if (ACol != GetCol() && OnColChanging)
        OnColChanging(this, GetCol(), ACol, Allow);
    if (ARow != GetRow() && OnRowChanging)
        OnRowChanging(this, GetRow(), ARow, Allow);
    if ((ACol != GetCol() || ARow != GetRow()) && OnCellChanging)
        OnCellChanging(this, GetRow(), GetCol(), ARow, ACol, Allow);
    if (!Allow)
        return;
    const int OrigReal = RealColIndex(TDisplayCol(OrigCol)).Value;
    const bool OrigIsBase = OrigCol >= 0 && OrigRow >= 0 && IsBaseCell(OrigReal, OrigRow);
    const int C = OrigIsBase ? OrigCol : ACol, R = OrigIsBase ? OrigRow : ARow;
    FocusCell(C, R);
    FEntered = false;
    SaveOldCell(C, R);
    if (!GetOptions().Contains(goEditing))
        return;
    ShowInplaceEdit();
}

// ---- the handler ----

void TDedOzovedUrad::WMLButtonDown(TMessage& Message)
{
    const TPoint P = PointOf(Message.LParam);
    int X = P.X, Y = P.Y;

    // 1. Start.
    FDoOnClick = true;
    FMouseDownMove = true;
    FMouseKeepDown = true;
    FSpinUpClick = false;
    FSpinDnClick = false;
    FAnchorClick = false;
    const TShiftState Shift = PressShiftState();
    FOrigSelection = GetSelection();
    if (FMouseActions->GetDisjunctRowSelect() && FOrigSelection.Top >= 0 && FOrigSelection.Top < GetRowCount()
        && !GetRowSelect(FOrigSelection.Top))
        FOrigSelection = TGridRect { -1, -1, -1, -1 };

    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);

    // 2, 3.
    if (PressOnResizeHandle(Message, ACol, ARow))
        return;
    if (ACol >= 0 && ARow >= 0 && PressStartsTouchScroll(Message, ACol, ARow, Shift))
        return;

    // 4.
    if (GetOptions().Contains(goEditing) && FMouseActions->GetRangeSelectAndEdit()) {
        const TGridRect Sel = GetSelection();
        if (!(ACol >= Sel.Left && ACol <= Sel.Right && ARow >= Sel.Top && ARow <= Sel.Bottom))
            SetOptions(GetOptions() - TGridOptions { goEditing });
    }

    // 5.
    FSearchInc.clear();
    FMoveColInd = -1;
    FMoveRowInd = -1;
    FSelectionClick = false;
    FPushedCellButton = TPoint(-1, -1);
    const int PressLeft = GetLeftCol(), PressTop = GetTopRowEx();
    FOldKeepLeftCol = PressLeft;
    FOldTopRow = PressTop;

    // 6.
    if (OnCanClickCell) {
        bool Allow = true;
        OnCanClickCell(this, ARow, ACol, Allow);
        if (!Allow)
            return;
    }
    const int OrigCol = ACol, OrigRow = ARow;

    // 7.
    if (FCellSelectorMode) {
        CellSelectorClick(ACol, ARow);
        return;
    }

    // 8.
    if (FMouseSelectMode == msResize) {
        FDropSelection = GetSelection();
        FDataViews->CopySelectionToClipboard();
        FMouseResize = true;
        const TSavedPosition Saved { GetSelection(), GetCol(), GetRow() };
        if (!GetOptions().Contains(goEditing))
            RunPlatformPress(Message);
        if (GetCol() != Saved.Col || GetRow() != Saved.Row)
            FocusCell(Saved.Col, Saved.Row);
        SetSelection(Saved.Selection);
        SetGridState(gsSelecting);
        MouseMove(TShiftState(), X, Y);
        return;
    }

    // 9.
    if (FMouseActions->GetDisjunctCellSelect() && !Shift.Contains(ssCtrl) && !IsFixed(ACol, ARow)) {
        ClearSelectedCells();
        Invalidate();
    }

    // 10.
    {
        int BX = X - 5, BY = Y - 4;
        if (ARow == 0)
            BY = Y;
        else if (ACol == 0)
            BX = X;
        MouseToCell(BX, BY, Colclicked, Rowclicked);
    }

    // 11.
    if (GetLook() == glListView && FHotFixedCol >= 0 && FHotFixedRow >= 0
        && (FHotFixedCol < GetFixedCols() || FHotFixedRow < GetFixedRows()))
        RepaintCell(FHotFixedCol, FHotFixedRow);

    // 12.
    if (Colclicked >= 0 && Rowclicked >= 0) {
        Colclickedsize = GetColWidths(Colclicked);
        Rowclickedsize = GetRowHeights(Rowclicked);
    }
    Clickposx = X;
    Clickposy = Y;
    const bool FixedClick = (ARow < GetFixedRows() || ACol < GetFixedCols()) && ACol >= 0 && ARow >= 0;

    // 13.
    if (ACol < 0 || ARow < 0) {
        HideInplaceEdit();
        if (!GetFixedRowAlways())
            RunPlatformPress(Message);
        else {
            FireMouseDown(mbLeft, Shift, X, Y);
            if (GetEnabled() && GetRowCount() > GetFixedRows())
                RunPlatformPress(Message);
        }
        return;
    }

    // 14.
    {
        const TPoint Base = BaseCell(RealColIndex(TDisplayCol(ACol)).Value, ARow);
        ACol = DisplColIndex(TRealCol(Base.X)).Value;
        ARow = Base.Y;
    }
    const TRect CellR = CellRect(ACol, ARow);
    if (GetFixedColAlways() && ACol == 0 && GetColCount() == GetFixedCols())
        return;

    // 15 .. 17.
    if (FMouseActions->GetCaretPositioning())
        LButFlg = true;
    if (PressSizesFixedLine(X, Y))
        return;

    // 18.
    if (FixedClick || IsFixed(ACol, ARow))
        HideInplaceEdit();
    const bool CustomFixed = IsFixed(ACol, ARow) && !FixedClick;
    bool IsNodeRow = IsNode(ARow);

    // 19.
    if ((FixedClick || CustomFixed) && GetFixedAsButtons() && GetOptions().Contains(goFixedVertLine)
        && GetOptions().Contains(goFixedHorzLine) && GetCtl3D()) {
        if (!(IsNodeRow && FDataViews->IsNodeClickHit(ARow, X))) {
            FPushedFixedCell = CellR;
            FPushedCellButton = TPoint(ACol, ARow);
            FFixedCellPushed = true;
            if (TCanvas* C = GetCanvas(); C && C->GetHandle()) {
                RECT R { CellR.Left, CellR.Top, CellR.Right, CellR.Bottom };
                DrawEdge(C->GetHandle(), &R, BDR_SUNKENINNER, BF_RIGHT | BF_BOTTOM);
                DrawEdge(C->GetHandle(), &R, BDR_SUNKENINNER, BF_LEFT | BF_TOP);
            }
            IsNodeRow = false;
        }
    }

    // 20.
    if (FMouseActions->GetDisjunctRowSelect() && FMouseActions->GetDisjunctRowSelectDrag() && !Shift.Contains(ssCtrl)
        && GetRowSelect(RealRowIndex(TDisplayRow(ARow)).Value) && !(IsNodeRow && ACol == 0)) {
        FireMouseDown(mbLeft, Shift, X, Y);
        bool Allow = true;
        if (OnCanDisjunctRowSelectDrag)
            OnCanDisjunctRowSelectDrag(this, ARow, Allow);
        if (Allow)
            BeginDrag(false, 8);
        return;
    }

    // 21.
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    const bool NormalCell = !FixedClick && !IsFixed(ACol, ARow);

    if (!IsDesigning()) {
        // 22. Always-visible spin buttons.
        if (NormalCell && FControlLook->GetSpinButtonsAlwaysVisible()) {
            if (HasCellSpinEdit(RealCol, ARow, edNone) && X > CellR.Right - 18) {
                if (Y > CellR.Top + (CellR.Bottom - CellR.Top) / 2)
                    FSpinDnClick = true;
                else
                    FSpinUpClick = true;
            }
        }
        const bool OnNodeColumn = FCellNode->GetNodeColumn() == ACol && IsNodeRow;
        // 23. The header node glyph expands or contracts every node.
        if (ARow < GetFixedRows() && OnNodeColumn && FDataViews->IsNodeClickHit(ARow, X)
            && FMouseActions->GetNodeAllExpandContract()) {
            if (FHeaderNodeContracted)
                ExpandAll();
            else
                ContractAll();
            FHeaderNodeContracted = !FHeaderNodeContracted;
        }
        // 24. A row node glyph.
        if (ARow >= GetFixedRows() && OnNodeColumn && FDataViews->IsNodeClickHit(ARow, X)) {
            FireMouseDown(mbLeft, Shift, X, Y);
            DoClickCell(ARow, ACol);
            const int RealRow = RealRowIndex(TDisplayRow(ARow)).Value;
            bool Allow = true;
            if (FDataViews->GetNodeState(ARow)) {
                if (OnBeforeExpandNode)
                    OnBeforeExpandNode(this, ARow, RealRow, Allow);
                if (Allow) {
                    FDataViews->ExpandNode(RealRow);
                    if (OnExpandNode)
                        OnExpandNode(this, ARow, RealRow);
                }
            } else {
                if (OnBeforeContractNode)
                    OnBeforeContractNode(this, ARow, RealRow, Allow);
                if (Allow) {
                    FDataViews->ContractNode(RealRow);
                    if (OnContractNode)
                        OnContractNode(this, ARow, RealRow);
                }
            }
            if (FMouseActions->GetMoveRowOnNodeClick())
                SetRow(ARow);
            return;
        }
        // 25. Radio group.
        if (IsRadio(RealCol, ARow) && (IsEditable(RealCol, ARow) || FControlLook->GetRadioAlwaysActive())) {
            HideInplaceEdit();
            ClickRadioGroup(RealCol, ARow, X - CellR.Left, Y - CellR.Top);
            if (CanFocus())
                SetFocus();
            return;
        }
        // 26. Node column click.
        if (ACol == 0 && ARow >= GetFixedRows() && HasNodes() && !FMouseActions->GetRowSelect()
            && !GetOptions().Contains(goRowSizing) && !HasButton(RealCol, ARow) && !HasRating(RealCol, ARow)) {
            FireMouseDown(mbLeft, Shift, X, Y);
            DoClickCell(ARow, ACol);
            return;
        }
        // 27. A press into the selection may become an OLE drag.
        if ((IsSelected(ACol, ARow) || (ARow < GetFixedRows() && !GetEnhRowColMove())) && !HasButton(RealCol, ARow)
            && !HasCheckBox(RealCol, ARow) && FDragDropSettings->GetOleDropSource()) {
            const bool SkipRows = ARow < GetFixedRows()
                && (FMouseActions->GetColSelect() || FMouseActions->GetAllSelect());
            const bool SkipCols = ACol < GetFixedCols() && FMouseActions->GetAllSelectAllFixedColumns();
            const bool Inside = (X > CellR.Left + 3 && X < CellR.Right - 3) || !GetOptions().Contains(goColSizing);
            if (!SkipRows && !SkipCols && ACol >= GetFixedCols() && Inside) {
                if (CanFocus())
                    SetFocus();
                FireMouseDown(mbLeft, Shift, X, Y);
                FSelectionClick = true;
                PrepareOleDrag();
                if (!GetOptions().Contains(goEditing)) {
                    DoClickCell(ARow, ACol);
                    return;
                }
            }
        }
    }

    // 28. Rating: every 9 pixels add half a point.
    if (HasRating(RealCol, ARow) && IsEditable(RealCol, ARow)) {
        HideInplaceEdit();
        double NewRate = double((X - CellRect(ACol, ARow).Left) / 9) / 2.0;
        if (RatingChanging(RealCol, ARow, NewRate)) {
            SetFloats(RealCol, ARow, NewRate);
            RepaintCell(ACol, ARow);
        }
        return;
    }

    // 29. Cell button.
    if (HasButton(RealCol, ARow)) {
        HideInplaceEdit();
        if (!IsFixed(ACol, ARow)) {
            GridGuards::TValueGuard<bool> Force(FForceSel, true);
            SelectCell(ACol, ARow);
        }
        if (PointIn(CellButtonRect(ACol, ARow), X, Y)) {
            PushButton(ACol, ARow, true);
            FPushedCellButton = TPoint(ACol, ARow);
            if (HandleAllocated())
                SetCapture(GetHandle());
            DoClickCell(ARow, ACol);
            return;
        }
        if (GetDoubleBuffered() && !FMouseActions->GetDisjunctRowSelect()) {
            bool Allow = true;
            CellChanging(ACol, ARow, Allow);
            SetSelection(TGridRect { ACol, ARow, ACol, ARow });
            if (CanFocus())
                SetFocus();
            if (GetOptions().Contains(goEditing))
                return;
        }
    }

    // 30. Expand button.
    if (HasExpand(RealCol, ARow)) {
        HideInplaceEdit();
        if (!IsFixed(ACol, ARow)) {
            GridGuards::TValueGuard<bool> Force(FForceSel, true);
            SelectCell(ACol, ARow);
        }
        if (PointIn(ExpandButtonRect(ACol, ARow), X, Y)) {
            PushButton(ACol, ARow, true);
            FPushedCellButton = TPoint(ACol, ARow);
            DoClickCell(ARow, ACol);
            if (HandleAllocated())
                SetCapture(GetHandle());
            return;
        }
    }

    // 31. The drop-down button zone.
    bool ComboHit = false;
    if (NormalCell && FControlLook->GetDropDownAlwaysVisible()) {
        ComboHit = HasCellComboBox(RealCol, ARow, edNone);
        if (ComboHit && FMouseActions->GetRangeSelectAndEdit()) {
            const int W = int(RoundHalfEven(FControlLook->GetDropDownButtonWidth() * GetDPIScale()));
            ComboHit = PointIn(TRect(CellR.Right - W, CellR.Top, CellR.Right, CellR.Bottom), X, Y);
        }
    }

    // 32. A merged area is selected through its base cell.
    if (IsMergedCell(RealCol, ARow) && !IsFixed(ACol, ARow) && !OnMouseDown && !ComboHit) {
        Y = CellR.Top + 2;
        X = CellR.Left + 2;
        if (UseRightToLeftAlignment())
            for (int c = ACol; c < OrigCol; ++c)
                X += GetColWidths(c);
        Message.LParam = LParamOf(TPoint(X, Y));
    }

    // 33. Press on a cell.
    if (ACol >= GetColCount() || ARow >= GetRowCount()) {
        RunPlatformPress(Message);
        return;
    }
    {
        const TRect Border = Colclicked >= 0 && Rowclicked >= 0 ? CellRect(Colclicked, Rowclicked) : TRect();
        Clickposdx = Clickposx - Border.Right;
        Clickposdy = Clickposy - Border.Bottom;
        FSelHidden = false;
        if (FMouseActions->GetDisjunctRowSelect() && ARow >= GetFixedRows()
            && (ACol >= GetFixedCols() || (!FMouseActions->GetHotmailRowSelect() && !FMouseActions->GetRowSelect()))) {
            if (Shift.Contains(ssShift)) {
                const TGridRect At = FOrigSelection.Top >= 0 ? FOrigSelection : GetSelection();
                RunPlatformPress(Message);
                SetSelection(TGridRect { ACol, ARow, At.Left, At.Top });
                return;
            }
            if (Shift.Contains(ssCtrl) || FMouseActions->GetDisjunctRowSelectNoCtrl()) {
                const int Flag = FMouseActions->GetRowSelectPersistent() ? RealRowIndex(TDisplayRow(ARow)).Value : ARow;
                if (GetRowSelect(Flag))
                    FDeselectState = true;
            } else {
                FMouseDown = true;
                if (!Shift.Contains(ssAlt))
                    ResetRowSelectList();
            }
        }
        if (FMouseActions->GetDisjunctColSelect() && ACol >= GetFixedCols()) {
            if (Shift.Contains(ssCtrl) || FMouseActions->GetDisjunctColSelectNoCtrl()) {
                if (GetColSelect(ACol))
                    FDeselectState = true;
            } else {
                FMouseDown = true;
                ClearColSelect();
            }
        }
    }

    // 34. Anchors and form controls. The pressed cell's own text is laid
    // out in its own rectangle, also near its left or top border.
    if (PressedAnchorOrControl(RealCol, ARow, P.X, P.Y)) {
        FAnchorClick = true;
        AnchorOrControlClick(RealCol, ARow, P.X, P.Y);
        return;
    }
    {
        const String& Text = GetCells(RealCol, ARow);
        const bool HtmlControl = GetEnableHTML() && UpperCase(Text).find(u"<CONTROL") != String::npos;
        if (HtmlControl) {
            DoClickCell(OrigRow, OrigCol);
            HideInplaceEdit();
            SetSelection(TGridRect { ACol, ARow, ACol, ARow });
            if (!GetOptions().Contains(goRowSelect) && !FMouseActions->GetRowSelect() && !FIsDBVersion)
                return;
        }
    }

    // 35.
    PressOnHeaders(ACol, ARow, X, Y, Shift);

    // 36. Edit permission.
    bool CanEdit = GetOptions().Contains(goEditing) || FMouseActions->GetRangeSelectAndEdit() || FEditDisable;
    CanEditCell(RealCol, ARow, CanEdit);
    const bool IsRadioButton = HasRadioButton(RealCol, ARow);
    const bool AlwaysActive
        = IsRadioButton ? FControlLook->GetRadioAlwaysActive() : FControlLook->GetCheckAlwaysActive();

    // 37.
    if ((CanEdit || AlwaysActive || (ACol == 0 && FMouseActions->GetHotmailRowSelect()))
        && PressOnCheckOrRadio(ACol, ARow, RealCol, FixedClick, P.X, P.Y, Shift))
        return;

    // 38.
    if (NormalCell && PressOnEditButton(ACol, ARow, RealCol, P.X))
        return;

    // 39.
    if (NormalCell && !PressEditsDirectly(ACol, ARow, CanEdit, ComboHit))
        return;

    // 40.
    const TGridRect Sel = GetSelection();
    const bool SoleSel = PointIn(CellR, P.X, P.Y) && Sel.Left == ACol && Sel.Right == ACol && Sel.Top == ARow
        && Sel.Bottom == ARow;
    bool EndSelecting = false;
    if (!SoleSel && FMouseActions->GetRangeSelectAndEdit() && !IsFixed(ACol, ARow) && !CanEdit) {
        SetOptions(GetOptions() - TGridOptions { goEditing });
        EndSelecting = true;
    }

    // 41.
    if (CustomFixed) {
        const bool FooterRow = ARow == GetRowCount() - 1 && FFloatingFooter->GetVisible()
            && FFloatingFooter->GetFooterStyle() == fsFixedLastRow;
        if (!FooterRow)
            DoClickCell(ARow, ACol);
        return;
    }

    // 42.
    const bool AtEdge = ARow == GetTopRow() + GetVisibleRowCount() || ACol == GetLeftCol() + GetVisibleColCount()
        || (ACol == GetLeftCol() && GetLeftCol() > GetFixedCols());

    // 43.
    if (!CanEdit && ACol == GetCol() && ARow == GetRow()
        && (GetOptions().Contains(goEditing) || !GetOptions().Contains(goRowSelect))) {
        FireMouseDown(mbLeft, Shift, X, Y);
        SelectCell(ACol, ARow);
        DoClickCell(ARow, ACol);
        if (OnClick)
            OnClick(this);
        return;
    }

    // 44. The platform's own handling.
    const bool KeepHoriz = GetOptions().Contains(goRowSelect) && FNavigation->GetKeepHorizScroll();
    if (KeepHoriz)
        BeginUpdate();
    bool Ended = false;
    try {
        if (!FSelHidden) {
            const bool AlwaysEdit = FNavigation->GetAlwaysEdit();
            FNavigation->SetAlwaysEdit(false);
            // Under DirectEdit the grid starts the edit itself below (only
            // a press well inside the cell does); the platform's press on
            // the current cell must not open it first.
            const bool HoldEdit = FMouseActions->GetDirectEdit() && CanEdit && GetOptions().Contains(goEditing);
            if (HoldEdit)
                SetOptions(GetOptions() - TGridOptions { goEditing });
            auto Restore = [&]() {
                FNavigation->SetAlwaysEdit(AlwaysEdit);
                if (HoldEdit)
                    SetOptions(GetOptions() + TGridOptions { goEditing });
            };
            try {
                RunPlatformPress(Message);
            } catch (...) {
                Restore();
                throw;
            }
            Restore();
        }
        if (GetGridState() == gsSelecting && AtEdge && FMouseActions->GetNoAutoRangeScroll())
            SetGridState(gsNormal);
        // A partly shown row or column scrolls by the chosen delta only, and
        // the press ends there.
        if (GetTopRow() != PressTop && FMouseActions->GetNoScrollOnPartialRow()) {
            SetTopRow(std::clamp(PressTop + FMouseActions->GetPartialScrollDelta(), GetFixedRows(),
                std::max(GetFixedRows(), GetRowCount() - 1)));
            Ended = true;
        }
        if (GetLeftCol() != PressLeft && FMouseActions->GetNoScrollOnPartialCol()) {
            SetLeftCol(std::clamp(PressLeft + FMouseActions->GetPartialScrollDelta(), GetFixedCols(),
                std::max(GetFixedCols(), GetColCount() - 1)));
            Ended = true;
        }
    } catch (...) {
        if (KeepHoriz) {
            SetLeftCol(PressLeft);
            EndUpdate();
        }
        throw;
    }
    if (KeepHoriz) {
        SetLeftCol(PressLeft);
        EndUpdate();
    }
    if (Ended) {
        EndPressDirectly();
        return;
    }

    // 45.
    PressStartsEdit(ACol, ARow, OrigCol, OrigRow, CanEdit, ComboHit, P.X, P.Y);
    if (EndSelecting)
        SetGridState(gsSelecting);
}

// ---- radio groups ----

void TDedOzovedUrad::ClickRadioGroup(int ACol, int ARow, int XOffset, int YOffset)
{
    TPoint Base = BaseCell(ACol, ARow);
    const int c = Base.X, r = Base.Y;
    TCellGraphic* G = GetCellGraphic(c, r);
    if (!G)
        return;
    TStrings* Items = G->GetCellRadioItems();
    if (!Items)
        return;
    const int DisplayCol = DisplColIndex(TRealCol(c)).Value;
    TCanvas* Canvas = GetCanvas();
    GetCellColor(DisplayCol, r, TGridDrawState(), Canvas->GetBrush(), Canvas->GetFont());
    if (!IsFixed(DisplayCol, r))
        FocusCell(DisplayCol, r);
    const RirEvoz::TControlStyle Style = FControlLook->GetControlStyle();
    const int g = Style >= RirEvoz::csWinXP ? 16 : FControlLook->GetRadioSize();
    const bool Horizontal = G->GetCellBoolean();
    const int h = std::max(g, Canvas->TextHeight(u"gh"));
    int s = 0;
    int Hit = -1;
    for (int i = 0; i < Items->GetCount(); ++i) {
        const int Extent = Horizontal ? g + Canvas->TextWidth(Items->GetStrings(i)) : h;
        const int Offset = Horizontal ? XOffset : YOffset;
        if (s < Offset && Offset < s + Extent) {
            Hit = i;
            break;
        }
        s += Extent;
    }
    if (Hit >= 0) {
        const String Item = Items->GetStrings(Hit);
        if (G->GetCellIndex() != -1)
            G->SetCellIndex(Hit);
        SetCells(c, r, Item);
        SetRadioIdx(c, r, Hit);
        if (OnRadioClick)
            OnRadioClick(this, DisplayCol, r, Hit);
    }
    RepaintCell(DisplayCol, r);
}

// ---- anchors and form controls under a press ----

bool TDedOzovedUrad::PressedAnchorOrControl(int ACol, int ARow, int X, int Y)
{
    FPressAnchor.clear();
    FPressCtrlID.clear();
    FPressCtrlType.clear();
    FPressCtrlValue.clear();
    FPressCtrlRect = TRect();
    if (ACol < 0 || ARow < 0)
        return false;
    const String Text = GetCells(ACol, ARow);
    const int Kind = VuzEraz::DetectTextKind(Text, GetEnableHTML());
    if (Kind == 4) {
        if (!GetURLShow())
            return false;
        FPressAnchor = Text;
        return true;
    }
    if (Kind != 1)
        return false;
    const int DisplayCol = DisplColIndex(TRealCol(ACol)).Value;
    TRect R = CellRect(DisplayCol, ARow);
    R.Right -= FXYOffset.X;
    R.Left += FXYOffset.X + 1;
    R.Top += FXYOffset.Y + 1;
    if (HasCheckBox(ACol, ARow))
        R.Left += int(RoundHalfEven(FControlLook->GetCheckSize() * GetDPIScale()));
    if (R.Right <= R.Left || R.Bottom <= R.Top)
        return false;

    // Laid out with the cell's own font, as it was painted.
    TCanvas* Canvas = GetCanvas();
    TGridDrawState State;
    TColor ColorTo = clNone, MirrorColor = clNone, MirrorColorTo = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = GetWordWrap();
    TCellGradientDirection GD {};
    GetVisualProperties(DisplayCol, ARow, State, false, false, true, Canvas->GetBrush(), ColorTo, MirrorColor,
        MirrorColorTo, Canvas->GetFont(), HA, VA, WW, GD);
    String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
    TRect HitRect, ControlRect;
    bool Hit = false;
    try {
        Hit = VovHTMLE::DrawHTMLText(Canvas, Text, R, FGridImages, X, Y, -1, -1, 1, true, false, false, false, false,
            false, WW, false, String(), 1.0, GetURLColor(), clNone, clNone, TColor(0x808080), HitAnchor, Stripped,
            FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue,
            ControlType, FImageCache.get(), FPictureContainer, HandleAllocated() ? GetHandle() : nullptr,
            float(GetDPIScale()), 0);
    } catch (const Exception&) {
        // A text that cannot be laid out has no anchor.
        return false;
    }
    if (!Hit || (HitAnchor.empty() && ControlID.empty()))
        return false;
    FPressAnchor = HitAnchor;
    FPressCtrlID = ControlID;
    FPressCtrlType = ControlType;
    FPressCtrlValue = ControlValue;
    FPressCtrlRect = ControlRect;
    return true;
}

void TDedOzovedUrad::AnchorOrControlClick(int ACol, int ARow, int /*X*/, int /*Y*/)
{
    AnchorControlClick(DisplColIndex(TRealCol(ACol)).Value, ARow, FPressAnchor, FPressCtrlID, FPressCtrlType,
        FPressCtrlValue, FPressCtrlRect);
}

bool TDedOzovedUrad::ValidatePressedEditor()
{
    // A custom editor's value always goes through validation.
    const bool Custom = EditControl == edCustom;
    GridGuards::TValueGuard<bool> Always(FAlwaysValidate, Custom);
    // The text editor holds its text until the edit ends; editor controls
    // write theirs into the cell first.
    TInplaceEdit* Edit = GetInplaceEditor();
    if (!Custom && !FSpecialEditor && Edit && Edit->GetVisible())
        return ValidateCell(Edit->GetText());
    if (Custom && GetEditLink())
        return ValidateCell(GetEditLink()->GetEditorValue());
    if (!Custom && FMouseActions->GetDirectEdit())
        StoreEditorValue(GetCol(), GetRow());
    return ValidateCell(GetCells(RealColIndex(TDisplayCol(GetCol())).Value, GetRow()));
}
