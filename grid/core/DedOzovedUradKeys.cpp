// The grid's keyboard: its handlers of WM_KEYDOWN, WM_CHAR and WM_KEYUP,
// its KeyDown and KeyUp steps around the platform grid's own navigation,
// and the small cell-walking questions they ask.
//
// A key press runs: the WM_KEYDOWN handler (keys the grid handles itself),
// the platform's key dispatch (KeyDown here: corrected targets, wrapping,
// row moving, disabled rows, the partner grid), then the handler's
// post-processing (clipboard, inserting and deleting rows, disjunct
// selection); WM_CHAR decides whether typing opens the editor.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

using GridGuards::TValueGuard;

namespace {

bool IsArrowKey(WORD Key) { return Key >= VK_LEFT && Key <= VK_DOWN; }
// PgUp, PgDn, End, Home and the four arrows.
bool IsMoveKey(WORD Key) { return Key >= VK_PRIOR && Key <= VK_DOWN; }

TGridRect Normalised(const TGridRect& R)
{
    return TGridRect { std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
        std::max(R.Top, R.Bottom) };
}

// Runs a partner grid's column or row change without its OnClick.
template<class Fn>
void QuietPartner(TStringGrid* Other, Fn Apply)
{
    auto* Grid = dynamic_cast<TDedOzovedUrad*>(Other);
    if (!Grid) {
        Apply();
        return;
    }
    TNotifyEvent Click = std::move(Grid->OnClick);
    Grid->OnClick = nullptr;
    try {
        Apply();
    } catch (...) {
        Grid->OnClick = std::move(Click);
        throw;
    }
    Grid->OnClick = std::move(Click);
}

} // namespace

// ---- small questions and steps ----

TShiftState TDedOzovedUrad::LiveShiftState()
{
    TShiftState Shift;
    if (GetKeyState(VK_CONTROL) < 0)
        Shift.Include(ssCtrl);
    if (GetKeyState(VK_SHIFT) < 0)
        Shift.Include(ssShift);
    if (GetKeyState(VK_LMENU) < 0)
        Shift.Include(ssAlt);
    return Shift;
}

bool TDedOzovedUrad::FocusCellHasFormControl()
{
    if (GetCol() < 0 || GetRow() < 0 || GetCol() >= GetColCount() || GetRow() >= GetRowCount())
        return false;
    const String Text = GetCellEx(DisplayToRealCol(TDisplayCol(GetCol())).Value, GetRow());
    return VuzEraz::DetectTextKind(Text, GetEnableHTML()) == 1 && AnsiUpperCase(Text).find(u"<CONTROL") != String::npos;
}

void TDedOzovedUrad::LaunchEdit(int ACol, int ARow)
{
    FocusCell(ACol, ARow);
    if (HandleAllocated())
        PostMessage(GetHandle(), GridUnit().WM_GRIDEDITSHOW, 0, 0);
}

void TDedOzovedUrad::NextEdit(int ACol, int ARow, bool AForward)
{
    const int ColCount = GetColCount();
    if (FFilterEdit->GetEnabled() && ARow == FFilterEdit->GetRow() && ACol < ColCount - 1) {
        if (GetParent() && CanFocus())
            SetFocus();
        int Next = AForward ? ACol + 1 : ACol - 1;
        if (Next < 0)
            Next = ColCount - 1;
        StartFixedCellEdit(Next, ARow, true);
        return;
    }
    MoveToNextCell(ACol, ARow, true, true, AForward, false, true);
}

void TDedOzovedUrad::Select() { SelectCell(GetCol(), GetRow()); }

int TDedOzovedUrad::VisibleFixedRightCols()
{
    int Visible = FFixedRightCols;
    for (int c = GetColCount() - 1; c >= GetColCount() - FFixedRightCols && c >= 0; --c)
        if (GetColWidths(c) == 0)
            --Visible;
    return Visible;
}

int TDedOzovedUrad::FirstVisibleRow()
{
    const int Fixed = GetFixedRows();
    if (Fixed >= GetRowCount() || GetRowHeights(Fixed) != 0)
        return Fixed;
    SetRow(Fixed);
    return AdjacentVisibleRow(Fixed + 1);
}

int TDedOzovedUrad::LastVisibleRow()
{
    const int Last = GetRowCount() - FFixedFooters - 1;
    if (Last < 0 || GetRowHeights(Last) != 0)
        return Last;
    SetRow(Last);
    return AdjacentVisibleRow(Last - 1);
}

int TDedOzovedUrad::FirstVisibleCol()
{
    const int Fixed = GetFixedCols();
    if (Fixed >= GetColCount() || GetColWidths(Fixed) != 0)
        return Fixed;
    SetCol(Fixed);
    return StepToVisibleCol(Fixed + 1);
}

int TDedOzovedUrad::LastVisibleCol()
{
    const int Last = GetColCount() - FFixedRightCols - 1;
    if (Last < 0 || GetColWidths(Last) != 0)
        return Last;
    SetCol(Last);
    return StepToVisibleCol(Last - 1);
}

void TDedOzovedUrad::NotifyKeySelectionChange()
{
    const TGridRect Sel = GetSelection();
    if (Sel == FMoveSelection)
        return;
    if (!FMouseActions->GetDisjunctRowSelect())
        SelectionChanged(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
    FMoveSelection = Sel;
}

// ---- the WM_KEYDOWN handler ----

bool TDedOzovedUrad::KeyScrollOnly(WORD Key)
{
    const int Top = GetTopRow(), Visible = GetVisibleRowCount(), RowCount = GetRowCount();
    const int Fixed = GetFixedRows();
    switch (Key) {
    case VK_PRIOR: SetTopRow(Visible + Fixed < Top ? Top - Visible : Fixed); return true;
    case VK_NEXT:
        if (Top + Visible < RowCount)
            SetTopRow(Top + Visible);
        return true;
    case VK_END: SetTopRow(std::max(Fixed, RowCount - Visible)); return true;
    case VK_HOME: SetTopRow(Fixed); return true;
    case VK_UP:
        if (Top > Fixed)
            SetTopRow(Top - 1);
        return true;
    case VK_DOWN:
        if (Top + Visible < RowCount)
            SetTopRow(Top + 1);
        return true;
    default: return false;
    }
}

void TDedOzovedUrad::KeyOnControlCell(WORD Key, int RealCol)
{
    const int Col = GetCol(), Row = GetRow();
    bool Allowed = GetOptions().Contains(goEditing) || FMouseActions->GetRangeSelectAndEdit();
    CanEditCell(RealCol, Row, Allowed);
    if (Key == VK_SPACE) {
        if ((Allowed || FControlLook->GetCheckAlwaysActive()) && HasCheckBox(RealCol, Row)) {
            if (DoToggleCheckBox(RealCol, Row, true)) {
                if (FShowModified->GetEnabled()) {
                    SetRowModified(DisplayToRealRow(TDisplayRow(Row)).Value, true);
                    RepaintCell(0, Row);
                }
                bool State = false;
                GetCheckBoxState(RealCol, Row, State);
                if (OnCheckBoxClick)
                    OnCheckBoxClick(this, Col, Row, State);
            }
        }
        if ((Allowed || FControlLook->GetRadioAlwaysActive()) && IsRadio(RealCol, Row)) {
            StepRadioSelection(RealCol, Row, true);
            int Index = -1;
            GetRadioIdx(RealCol, Row, Index);
            if (OnRadioClick)
                OnRadioClick(this, RealCol, Row, Index);
        }
        if ((Allowed || FControlLook->GetRadioAlwaysActive()) && HasRadioButton(RealCol, Row)) {
            const TCellGraphic* G = GetCellGraphic(RealCol, Row);
            if (G && G->GetCellRadioGroup() == rgRow)
                SetRadioButtonRowIndex(Row, RealCol);
            else
                SetRadioButtonColumnIndex(RealCol, Row);
            if (OnRadioButtonClick)
                OnRadioButtonClick(this, RealCol, Row);
        }
    }
    if (Allowed && HasButton(RealCol, Row) && OnButtonClick)
        OnButtonClick(this, Col, Row);
    RepaintCell(Col, Row);
}

void TDedOzovedUrad::KeyRowJump(WORD Key, TShiftState Shift, int Row0, int LeftCol0)
{
    MoveToBaseCell();
    if (!Shift.Contains(ssShift) && FMouseActions->GetDisjunctRowSelect()) {
        ResetRowSelectList();
        SyncRowSelectWithSelection(false);
    }
    if (Shift.Contains(ssShift)) {
        SetSelection(TGridRect { 0, Row0, GetColCount() - 1, GetRow() });
        if (FMouseActions->GetDisjunctRowSelect())
            SyncRowSelectWithSelection(false);
    }
    if (Key == VK_END && FFloatingFooter->GetVisible())
        SetTopRow(std::max(GetFixedRows(), GetRowCount() - GetVisibleRowCount()));
    if (OnKeyDown) {
        WORD K = Key;
        OnKeyDown(this, K, Shift);
    }
    if (GetOptions().Contains(goRowSelect) && FNavigation->GetKeepHorizScroll()) {
        StartUpdate();
        SetLeftCol(LeftCol0);
        ResetUpdate();
    }
    NotifyKeySelectionChange();
}

bool TDedOzovedUrad::HomeEndKey(TMessage& Message, WORD Key, TShiftState Shift, int Row0, int LeftCol0)
{
    const auto Mode = FNavigation->GetHomeEndKey();
    const bool Ctrl = Shift.Contains(ssCtrl), ShiftDown = Shift.Contains(ssShift);
    const bool RowSelect = GetOptions().Contains(goRowSelect);
    // The row jumps and column moves leave a one-row grid that keeps its
    // fixed row to the platform.
    const bool PlatformOnly = FFixedRowAlways && GetRowCount() == 1;
    auto Finish = [&] {
        if (OnKeyDown) {
            WORD K = Key;
            OnKeyDown(this, K, Shift);
        }
        NotifyKeySelectionChange();
        Message.Result = 0;
        Message.WParam = 0;
        return true;
    };
    auto Platform = [&] {
        TBaseGrid::WndProc(Message);
        return true;
    };
    if (Key == VK_HOME) {
        if (Mode == heFirstLastCell && !Ctrl) {
            FocusCell(GetFixedCols(), GetFixedRows());
            MoveToBaseCell();
            return Finish();
        }
        if (Mode == heFirstLastRow && !Ctrl) {
            if (PlatformOnly)
                return Platform();
            SetRow(FirstVisibleRow());
            KeyRowJump(Key, Shift, Row0, LeftCol0);
            Message.Result = 0;
            Message.WParam = 0;
            return true;
        }
        if (Mode == heFirstLastColumn && Ctrl) {
            if (PlatformOnly)
                return Platform();
            SetRow(GetFixedRows());
            SetCol(std::max(GetFixedCols(), FirstCellInRow(GetRow())));
            MoveToBaseCell();
            SetLeftCol(FirstCursorCol());
            return Finish();
        }
        if (Mode == heFirstLastColumn && !RowSelect && !Ctrl) {
            if (PlatformOnly)
                return Platform();
            if (ShiftDown) {
                SetSelection(TGridRect { GetCol(), GetRow(), GetFixedCols(), GetRow() });
                RepaintRow(GetRow());
            } else {
                SetCol(std::max(GetFixedCols(), FirstCellInRow(GetRow())));
                MoveToBaseCell();
                SetLeftCol(std::min(FirstCursorCol(), std::max(GetFixedCols(), GetColCount() - 1)));
            }
            return Finish();
        }
        return false;
    }
    if (Key != VK_END)
        return false;
    if (Mode == heFirstLastCell && !Ctrl && !ShiftDown) {
        FocusCell(GetColCount() - 1, GetRowCount() - 1);
        MoveToBaseCell();
        return Finish();
    }
    if ((Mode == heFirstLastRow || RowSelect || FMouseActions->GetDisjunctRowSelect()) && !Ctrl) {
        if (PlatformOnly)
            return Platform();
        SetRow(LastVisibleRow());
        if (FFixedFooters > 0 && !FFloatingFooter->GetVisible())
            SetTopRow(std::max(GetFixedRows(), GetRowCount() - GetVisibleRowCount()));
        KeyRowJump(Key, Shift, Row0, LeftCol0);
        Message.Result = 0;
        Message.WParam = 0;
        return true;
    }
    if (Mode == heFirstLastColumn && !RowSelect && !Ctrl) {
        if (PlatformOnly)
            return Platform();
        if (ShiftDown) {
            SetSelection(TGridRect { GetCol(), GetRow(), GetColCount() - FFixedRightCols - 1, GetRow() });
            RepaintRow(GetRow());
        } else {
            SetCol(LastVisibleCol());
            MoveToBaseCell();
            SetLeftCol(std::max(GetFixedCols(), GetColCount() - GetVisibleColCount()));
        }
        return Finish();
    }
    return false;
}

bool TDedOzovedUrad::KeySkip(WORD& Key, TShiftState Shift)
{
    if (!FNavigation->GetSkipFixedCells() && !FNavigation->GetSkipReadOnly())
        return false;
    const int Col = GetCol(), Row = GetRow();
    const int ColCount = GetColCount(), RowCount = GetRowCount();
    const int FixedCols = GetFixedCols(), FixedRows = GetFixedRows();
    const bool RTL = GetBiDiMode() == bdRightToLeft;
    auto KeyUnchanged = [&] {
        WORD K = Key;
        if (OnKeyDown)
            OnKeyDown(this, K, Shift);
        return K == Key;
    };
    WORD Dir = Key;
    if (RTL && Key == VK_LEFT)
        Dir = VK_RIGHT;
    else if (RTL && Key == VK_RIGHT)
        Dir = VK_LEFT;
    if (Dir == VK_LEFT || Dir == VK_RIGHT) {
        const bool Leftwards = Dir == VK_LEFT;
        const bool Exists = Leftwards ? Col > FixedCols : Col < ColCount - FFixedRightCols;
        if (!Exists)
            return false;
        int c = Leftwards ? Col - 1 : Col + 1;
        if (c >= ColCount || !MustSkip(c, Row))
            return false;
        if (KeyUnchanged()) {
            if (Leftwards) {
                while (c > FixedCols && MustSkip(c, Row))
                    --c;
            } else {
                while (c < ColCount - FFixedRightCols - 1 && MustSkip(c, Row))
                    ++c;
            }
            if (c >= 0 && c < ColCount && !MustSkip(c, Row))
                SetCol(c);
        }
        Key = 0;
        return true;
    }
    const bool RowSelect = GetOptions().Contains(goRowSelect);
    if (Key == VK_UP) {
        if (Row <= FixedRows || !MustSkip(Col, Row - 1))
            return false;
        if (KeyUnchanged()) {
            int r = Row - 1;
            if (!RowSelect)
                while (r > FixedRows && MustSkip(Col, r))
                    --r;
            if (RowSelect || !MustSkip(Col, r))
                SetRow(r);
        }
        Key = 0;
        return true;
    }
    if (Key == VK_DOWN) {
        if (Row >= RowCount - FFixedFooters || Row + 1 >= RowCount || !MustSkip(Col, Row + 1))
            return false;
        if (KeyUnchanged()) {
            int r = Row + 1;
            if (!RowSelect)
                while (r < RowCount - FFixedFooters - 1 && MustSkip(Col, r))
                    ++r;
            if (RowSelect || !MustSkip(Col, r))
                SetRow(r);
        }
        Key = 0;
        return true;
    }
    return false;
}

void TDedOzovedUrad::KeyClipboard(WORD Key, TShiftState Shift, bool& Done)
{
    Done = false;
    if (!FNavigation->GetAllowClipboardShortCuts())
        return;
    const bool Ctrl = Shift.Contains(ssCtrl), ShiftDown = Shift.Contains(ssShift);
    auto Cut = [&] {
        bool Allow = true;
        if (OnClipboardCut)
            OnClipboardCut(this, Allow);
        if (!Allow)
            return;
        const TGridRect Sel = GetSelection();
        FDataViews->CutSelectionToClipboard();
        if (OnClipboardCutDone)
            OnClipboardCutDone(this, Sel);
    };
    auto Paste = [&] {
        bool Allow = true;
        if (OnClipboardPaste)
            OnClipboardPaste(this, Allow);
        if (Allow)
            FDataViews->PasteSelectionFromClipboard();
    };
    Done = true;
    if (Ctrl && Key == 'X') {
        Cut();
    } else if (Ctrl && Key == 'V') {
        Paste();
    } else if (Ctrl && (Key == VK_INSERT || Key == 'C')) {
        bool Allow = true;
        if (OnClipboardCopy)
            OnClipboardCopy(this, Allow);
        if (Allow) {
            FDataViews->CopySelectionToClipboard();
            if (OnClipboardCopyDone)
                OnClipboardCopyDone(this, GetSelection());
        }
    } else if (ShiftDown && Key == VK_INSERT) {
        Paste();
    } else if (ShiftDown && Key == VK_DELETE) {
        Cut();
    } else {
        Done = false;
    }
}

void TDedOzovedUrad::KeyInsertRow()
{
    bool CanInsert = true;
    if (OnCanInsertRow)
        OnCanInsertRow(this, GetRow(), CanInsert);
    if (!CanInsert)
        return;
    int D = GetRow();
    int Row = GetRow();
    const bool WasFiltered = FFilterActive;
    // Rows are inserted among all rows: the filter's hidden rows come back
    // first, so the new row lands beside the real row the user saw.
    const int RealRow = DisplayToRealRow(TDisplayRow(Row)).Value;
    if (WasFiltered)
        SetFilterActive(false);
    if (RealRow < GetRowCount())
        Row = RealRow;
    int At;
    if (FNavigation->GetInsertPosition() == pInsertAfter) {
        if (FFixedRowAlways && GetFixedRows() == GetRowCount()) {
            At = Row;
            D = 1;
        } else {
            At = Row + 1;
            if (D + 1 < GetRowCount())
                ++D;
        }
    } else {
        At = Row;
    }
    if (HasNodes()) {
        const int Shown = std::min(At, GetRowCount() - 1);
        if (Shown >= 0 && !FDataViews->IsNode(Shown) && FDataViews->GetParentRow(Shown) < 0)
            FDataViews->InsertNormalRow(At);
        else
            FDataViews->InsertChildRow(At, 0);
    } else {
        InsertRows(At, 1);
    }
    if (OnAutoInsertRow)
        OnAutoInsertRow(this, At);
    SetModified(true);
    if (WasFiltered)
        SetFilterActive(true);
    SetRow(std::min(D, GetRowCount() - 1));
    CalcFooter(-1);
}

void TDedOzovedUrad::KeyDeleteRow()
{
    const int R = DisplayToRealRow(TDisplayRow(GetRow())).Value;
    const bool WasFiltered = FFilterActive;
    if (WasFiltered)
        SetFilterActive(false);
    bool CanDelete = true;
    if (OnCanDeleteRow)
        OnCanDeleteRow(this, R, CanDelete);
    if (!CanDelete) {
        if (WasFiltered)
            SetFilterActive(true);
        return;
    }
    ClearRows(R, 1);
    if (HasNodes()) {
        if (!FDataViews->IsNode(R) && FDataViews->GetParentRow(R) < 0)
            FDataViews->RemoveNormalRow(R);
        else
            FDataViews->RemoveChildRow(R);
    } else {
        const bool OnlyNormalRow = GetRowCount() - FFixedFooters - GetFixedRows() == 1;
        // The last normal row of a grid that cannot drop to its fixed rows
        // is emptied, not removed.
        if (!OnlyNormalRow || FFixedRowAlways)
            RemoveRows(R, 1);
    }
    if (OnAutoDeleteRow)
        OnAutoDeleteRow(this, R);
    if (WasFiltered)
        SetFilterActive(true);
    if (FFloatingFooter->GetVisible() && GetRow() == GetRowCount() - 1)
        SetRow(GetRowCount() - 2);
    SaveOldCell(GetCol(), GetRow());
    SetModified(true);
    CalcFooter(-1);
}

void TDedOzovedUrad::KeyDisjunctSelect(WORD Key, TShiftState Shift, int R)
{
    const bool Ctrl = Shift.Contains(ssCtrl), ShiftDown = Shift.Contains(ssShift);
    if (IsMoveKey(Key) && FMouseActions->GetDisjunctRowSelect()) {
        if (!ShiftDown && !Ctrl)
            ResetRowSelectList();
        {
            TValueGuard Blocked(FBlockSelChange, true);
            if (ShiftDown) {
                ResetRowSelectList();
                const TGridRect Sel = Normalised(GetSelection());
                for (int r = Sel.Top; r <= Sel.Bottom; ++r)
                    SetRowSelect(r, true);
            } else {
                SetRowSelect(R, true);
            }
        }
        const TGridRect Sel = GetSelection();
        if (OnSelectionChanged)
            OnSelectionChanged(this, Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
    }
    if (IsMoveKey(Key) && FMouseActions->GetDisjunctColSelect()) {
        if (!ShiftDown && !Ctrl)
            ClearColSelect();
        else if (ShiftDown)
            SyncColSelectWithSelection(true);
        else
            SetColSelect(GetCol(), true);
    }
    if (Key == VK_SPACE) {
        if (FMouseActions->GetDisjunctRowSelect())
            SetRowSelect(R, !GetRowSelect(R));
        if (FMouseActions->GetDisjunctColSelect())
            SetColSelect(GetCol(), !GetColSelect(GetCol()));
    }
}

void TDedOzovedUrad::WMKeyDown(TMessage& Message)
{
    WORD Key = WORD(Message.WParam);
    const TShiftState Shift = LiveShiftState();
    const bool Ctrl = Shift.Contains(ssCtrl), ShiftDown = Shift.Contains(ssShift), Alt = Shift.Contains(ssAlt);
    const int X = GetLeftCol();
    const int Col0 = GetCol(), Row0 = GetRow();
    const int RealCol = DisplayToRealCol(TDisplayCol(Col0)).Value;
    const bool Editing = GetOptions().Contains(goEditing);
    const bool KeepHoriz = (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN)
        && GetOptions().Contains(goRowSelect) && GetLeftCol() != GetFixedCols()
        && FNavigation->GetKeepHorizScroll();
    const bool EnterOrF2 = Key == VK_RETURN || Key == VK_F2;
    auto Swallow = [&] {
        if (OnKeyDown) {
            WORD K = Key;
            OnKeyDown(this, K, Shift);
        }
        Message.WParam = 0;
        Message.Result = 1;
    };

    if (FNavigation->GetMoveScrollOnly() && KeyScrollOnly(Key)) {
        Message.Result = 1;
        return;
    }
    if (FMouseActions->GetEditOnDblClickOnly() && EnterOrF2 && !Editing) {
        bool Editable;
        {
            TMouseActions* MA = FMouseActions.get();
            const bool Was = MA->GetRangeSelectAndEdit();
            MA->SetRangeSelectAndEdit(true);
            try {
                Editable = IsEditable(RealCol, Row0);
            } catch (...) {
                MA->SetRangeSelectAndEdit(Was);
                throw;
            }
            MA->SetRangeSelectAndEdit(Was);
        }
        if (Editable)
            SetOptions(GetOptions() + TGridOptions { goEditing });
    }
    if (FMouseActions->GetRangeSelectAndEdit() && !GetOptions().Contains(goEditing) && EnterOrF2
        && !IsEditable(RealCol, Row0)) {
        Swallow();
        return;
    }
    if (Ctrl && Key == 'F' && FSearchFooter->GetVisible())
        FocusSearchFooterEdit();
    if (EnterOrF2) {
        if (GetOptions().Contains(goEditing) && !IsEditable(RealCol, Row0)) {
            Swallow();
            return;
        }
        if (FocusCellHasFormControl()) {
            Message.Result = 1;
            return;
        }
    }
    if (Key == VK_RETURN && !IsEditable(RealCol, Row0)) {
        TCustomForm* Form = GetParentForm(this);
        if (Form && Form->GetKeyPreview())
            TBaseGrid::WndProc(Message);
        else
            Swallow();
        return;
    }
    if ((Key == VK_RETURN || Key == VK_SPACE) && IsControlCell(RealCol, Row0))
        KeyOnControlCell(Key, RealCol);
    if ((Key == VK_HOME || Key == VK_END) && HomeEndKey(Message, Key, Shift, Row0, X))
        return;
    // A node heading merged over the whole row opens and closes with the
    // horizontal arrows.
    if ((Key == VK_RIGHT || Key == VK_LEFT) && HasNodes() && FDataViews->IsNode(Row0)) {
        const TPoint Base = BaseCell(RealCol, Row0);
        if (CellSpan(Base.X, Base.Y).X + 1 == GetColCount() - GetFixedCols()) {
            const int Real = DisplayToRealRow(TDisplayRow(Row0)).Value;
            if (Key == VK_RIGHT) {
                if (OnKeyDown) {
                    WORD K = Key;
                    OnKeyDown(this, K, Shift);
                }
                FDataViews->ExpandNode(Real);
            } else {
                FDataViews->ContractNode(Real);
            }
            Message.WParam = 0;
            Message.Result = 0;
            return;
        }
    }
    if ((Key == VK_LEFT || Key == VK_RIGHT) && GetOptions().Contains(goRowSelect)
        && !(HasNodes() && FDataViews->IsNode(Row0)) && GetVisibleColCount() < GetColCount()) {
        auto ScrollSideways = [&] {
            if (Key == VK_LEFT && GetLeftCol() > GetFixedCols())
                SetLeftCol(GetLeftCol() - 1);
            if (Key == VK_RIGHT && GetLeftCol() + GetVisibleColCount() < GetColCount())
                SetLeftCol(GetLeftCol() + 1);
        };
        if (FNavigation->GetLeftRightRowSelect()) {
            if (Ctrl)
                ScrollSideways();
        } else {
            ScrollSideways();
            if (OnKeyDown) {
                WORD K = Key;
                OnKeyDown(this, K, Shift);
            }
            Message.WParam = 0;
            Message.Result = 0;
            return;
        }
    }
    if (Key == VK_TAB && !Ctrl && GetOptions().Contains(goTabs)) {
        NavigateFromEditor(ShiftDown);
        const TGridRect Sel = GetSelection();
        if (Sel != FMoveSelection)
            SelectionChanged(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
        Message.WParam = 0;
        return;
    }
    // A skip walk uses the key up: nothing below acts on it any more, but
    // Down still appends a row on the last normal row (the footer row
    // below it is one to skip).
    const bool WasDown = Key == VK_DOWN;
    if (KeySkip(Key, Shift))
        Message.WParam = 0;
    AppendOnArrowDownKey(WasDown ? WORD(VK_DOWN) : Key);
    if (GetSelectionRectangle() && GetSelection() != FMoveSelection)
        InvalidateGridRect(GetSelection());

    // The search footer below the last row: keep the last row above it.
    const bool SearchFooter = FSearchFooter->GetVisible();
    const int T = GetTopRow();
    bool SearchBlock = false;
    if (SearchFooter && GetTopRow() >= GetRowCount() - GetVisibleRowCount()) {
        const int Row = GetRow(), RowCount = GetRowCount();
        const bool AtEnd = (Key == VK_DOWN && Row >= RowCount - 1)
            || (Key == VK_RIGHT && Row == RowCount - 1 && GetCol() == GetColCount() - 1)
            || (Key == VK_LEFT && Row == RowCount - 1 && GetCol() == GetFixedCols());
        if (AtEnd) {
            Message.Result = 1;
            if (OnKeyDown) {
                WORD K = Key;
                OnKeyDown(this, K, Shift);
            }
            if (Key == VK_DOWN)
                SearchFooterKeyUpdate();
            return;
        }
        if (Row >= RowCount - 1)
            SearchBlock = Key == VK_NEXT || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DOWN;
        else
            SearchBlock = Key != VK_SHIFT && Key != VK_MENU && !IsMoveKey(Key);
    }
    if (SearchBlock)
        BeginUpdate();
    if (KeepHoriz)
        BeginUpdate();
    Message.WParam = Key;
    try {
        if (Key != 0)
            TBaseGrid::WndProc(Message);
    } catch (...) {
        if (KeepHoriz)
            EndUpdate();
        if (SearchBlock)
            EndUpdate();
        throw;
    }
    if (SearchFooter) {
        if (GetTopRow() >= GetRowCount() - GetVisibleRowCount() && Key != VK_SHIFT && Key != VK_MENU
            && !IsMoveKey(Key))
            SetTopRow(T);
        if (SearchBlock)
            EndUpdate();
        if ((Key == VK_NEXT || Key == VK_END || Key == VK_LEFT || Key == VK_RIGHT || Key == VK_DOWN)
            && GetRow() == GetRowCount() - 1) {
            const int Bottom = GetClientHeight();
            for (int Guard = GetRowCount(); Guard > 0; --Guard) {
                const TRect R = CellRect(GetCol(), GetRow());
                if (R.Bottom <= Bottom)
                    break;
                const int Before = GetTopRow();
                SetTopRow(Before + 1);
                if (GetTopRow() == Before)
                    break;
            }
        }
    }
    if (KeepHoriz) {
        SetLeftCol(X);
        EndUpdate();
    }

    // Post-processing of the key.
    const int R = FMouseActions->GetDisjunctRowSelect() && FMouseActions->GetRowSelectPersistent()
        ? DisplayToRealRow(TDisplayRow(GetRow())).Value
        : GetRow();
    bool ClipboardDone = false;
    KeyClipboard(Key, Shift, ClipboardDone);
    if (!ClipboardDone) {
        if (Key == VK_INSERT && FNavigation->GetAllowInsertRow() && !Ctrl && !ShiftDown && !Alt)
            KeyInsertRow();
        KeyDisjunctSelect(Key, Shift, R);
        if (Key == VK_DELETE && !Alt) {
            if (FNavigation->GetAllowDeleteCells()) {
                const TGridRect Sel = Normalised(GetSelection());
                ClearRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
            }
            if (FNavigation->GetAllowDeleteRow() && GetRowCount() - FFixedFooters - GetFixedRows() >= 1)
                KeyDeleteRow();
        }
        if (Key == VK_TAB && Ctrl && GetOptions().Contains(goTabs) && FFixedRightCols > 0
            && Col0 + 1 == GetColCount() + NumHiddenColumns() - FFixedRightCols) {
            const int LastNormal = GetRowCount() - FFixedFooters - 1;
            if (GetRow() >= LastNormal)
                SetRow(GetFixedRows());
            else if (GetRow() + 1 < GetRowCount())
                SetRow(GetRow() + 1);
            SetCol(FirstCursorCol());
        }
    }
    if (EnterOrF2) {
        SaveOldCell(GetCol(), GetRow());
        if (FocusCellHasFormControl())
            FocusFirstFormControl(GetCol(), GetRow());
        if (Key == VK_F2)
            F2KeyHandled();
    }
    NotifyKeySelectionChange();
}

// ---- KeyDown: around the platform grid's own navigation ----

void TDedOzovedUrad::KeyDown(WORD& Key, TShiftState Shift)
{
    const int Col = GetCol(), Row = GetRow();
    const auto Mode = FNavigation->GetHomeEndKey();
    const bool RTL = GetBiDiMode() == bdRightToLeft;
    int CorrCol = -1, CorrRow = -1;
    if (Shift.Empty()) {
        switch (Key) {
        case VK_END:
            if (Mode == heFirstLastColumn)
                CorrCol = LastVisibleCol();
            else if (Mode == heFirstLastRow)
                CorrRow = LastVisibleRow();
            break;
        case VK_HOME:
            if (Mode == heFirstLastColumn)
                CorrCol = FirstVisibleCol();
            else if (Mode == heFirstLastRow)
                CorrRow = FirstVisibleRow();
            break;
        case VK_LEFT: CorrCol = StepToVisibleCol(RTL ? Col + 1 : Col - 1); break;
        case VK_RIGHT: CorrCol = StepToVisibleCol(RTL ? Col - 1 : Col + 1); break;
        case VK_UP:
            CorrRow = AdjacentVisibleRow(Row - 1);
            if (CorrRow == -1)
                CorrRow = Row;
            break;
        case VK_DOWN:
            CorrRow = AdjacentVisibleRow(Row + 1);
            if (CorrRow == -1)
                CorrRow = Row;
            break;
        default: break;
        }
    }
    // The walks above may have moved the focus to a hidden end line first.
    FLastKeyCell = TPoint(GetCol(), GetRow());
    if (Shift.Contains(ssCtrl) && Key == 'A') {
        Key = 0;
        SelectAll();
        return;
    }
    if ((Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU) && FSearchFooter->GetVisible()
        && GetRow() == GetRowCount() - 1) {
        Key = 0;
        return;
    }
    // Tab reaches this step only from an editor that hands its keys on:
    // it walks the way Tab walks everywhere in the grid.
    if (Key == VK_TAB && GetOptions().Contains(goTabs) && !Shift.Contains(ssCtrl) && !Shift.Contains(ssAlt)) {
        Key = 0;
        NavigateFromEditor(Shift.Contains(ssShift));
        return;
    }
    const WORD Pressed = Key;
    TBaseGrid::KeyDown(Key, Shift);
    if (CorrCol >= 0 && CorrCol != GetCol())
        SetCol(CorrCol);
    if (CorrRow >= 0 && CorrRow != GetRow() && CorrRow < GetRowCount() - 1 && CorrRow > 0)
        SetRow(CorrRow);

    const int RowCount = GetRowCount(), ColCount = GetColCount();
    if (FNavigation->GetCursorMoveRows() && Shift.Contains(ssCtrl) && (Pressed == VK_UP || Pressed == VK_DOWN)) {
        const TGridRect Sel = Normalised(GetSelection());
        const int Top = Sel.Top, Bottom = Sel.Bottom;
        if (Pressed == VK_DOWN && Bottom < RowCount - 1) {
            if (Top == Bottom) {
                MoveRow(Top, Top + 1);
                SetRow(FLastKeyCell.Y + 1);
            } else {
                MoveRows(Top, Top + 1, Bottom - Top + 1);
                SetSelection(TGridRect { GetFixedCols(), Top + 1, ColCount - 1, Bottom + 1 });
            }
        } else if (Pressed == VK_UP && Top > GetFixedRows()) {
            if (Top == Bottom) {
                MoveRow(Top, Top - 1);
                SetRow(FLastKeyCell.Y - 1);
            } else {
                MoveRows(Top, Top - 1, Bottom - Top + 1);
                SetSelection(TGridRect { GetFixedCols(), Top - 1, ColCount - 1, Bottom - 1 });
            }
        }
    }

    const auto Advance = FNavigation->GetCursorAdvance();
    if (Advance != caDefault) {
        const bool Snake = Advance == caSnake;
        const int LastNormalRow = RowCount - FFixedFooters - 1;
        const int LastNormalCol = ColCount - FFixedRightCols - 1;
        switch (Pressed) {
        case VK_LEFT:
            if (FLastKeyCell.X == GetFixedCols()) {
                SetCol(LastNormalCol);
                if (Snake && GetRow() > GetFixedRows())
                    SetRow(GetRow() - 1);
            }
            break;
        case VK_UP:
            if (FLastKeyCell.Y == GetFixedRows()) {
                SetRow(LastNormalRow);
                if (Snake && GetCol() > GetFixedCols())
                    SetCol(GetCol() - 1);
            }
            break;
        case VK_RIGHT:
            if (FLastKeyCell.X == ColCount - 1) {
                SetCol(GetFixedCols());
                if (Snake && GetRow() < LastNormalRow)
                    SetRow(GetRow() + 1);
            }
            break;
        case VK_DOWN:
            if (FLastKeyCell.Y == RowCount - 1) {
                SetRow(GetFixedRows());
                if (Snake && GetCol() < LastNormalCol)
                    SetCol(GetCol() + 1);
            }
            break;
        default: break;
        }
    }

    // The platform refused a disabled row: go on to the next enabled one.
    if (FUseEnabledRows && FNavigation->GetSkipDisabledRows() && GetRow() == FLastKeyCell.Y
        && (Pressed == VK_UP || Pressed == VK_DOWN)) {
        auto Enabled = [&](int r) { return GetRowEnabled(DisplayToRealRow(TDisplayRow(r)).Value); };
        int r = GetRow();
        if (Pressed == VK_UP) {
            r = r - 1;
            while (r > GetFixedRows() && !Enabled(r))
                --r;
        } else {
            r = r + 1;
            while (r < RowCount - 1 && !Enabled(r))
                ++r;
        }
        if (r >= GetFixedRows() && r < RowCount && r != GetRow() && Enabled(r))
            SetRow(r);
    }

    TStringGrid* Other = FSyncGrid->GetGrid();
    if (Other && Other != this) {
        if (FSyncGrid->GetSelectionColumn() && GetCol() < Other->GetColCount() && Other->GetCol() != GetCol())
            QuietPartner(Other, [&] { Other->SetCol(GetCol()); });
        if (FSyncGrid->GetSelectionRow() && GetRow() < Other->GetRowCount() && Other->GetRow() != GetRow())
            QuietPartner(Other, [&] { Other->SetRow(GetRow()); });
    }
}

// ---- typing ----

void TDedOzovedUrad::WMChar(TMessage& Message)
{
    char16_t Key = char16_t(Message.WParam);
    const int RealCol = DisplayToRealCol(TDisplayCol(GetCol())).Value;
    const int Row = GetRow();
    const bool Ctrl = GetKeyState(VK_CONTROL) < 0;
    if (FocusCellHasFormControl()) {
        Message.Result = 1;
        return;
    }
    bool CanEdit = true;
    CanEditCell(RealCol, Row, CanEdit);
    if (FMouseActions->GetEditOnDblClickOnly() && CanEdit)
        SetOptions(GetOptions() + TGridOptions { goEditing });
    if (!CanEdit) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
        Message.WParam = Key;
        Message.Result = 1;
        return;
    }
    if (FNavigation->GetAllowClipboardShortCuts() && Ctrl && (Key == 3 || Key == 22 || Key == 24)) {
        Message.WParam = 0;
        return;
    }
    if (Ctrl && Key == 1) {
        Message.WParam = 0;
        Message.Result = 1;
        return;
    }
    if (FMouseActions->GetRangeSelectAndEdit() && !IsControlCell(RealCol, Row) && IsEditable(RealCol, Row)
        && Key != 9 && Key != 27 && !Ctrl) {
        const char16_t Typed = Key;
        if (OnKeyPress)
            OnKeyPress(this, Key);
        // The character that starts the edit is the one typed.
        Key = Typed;
        FStartEditChar = Key;
        SetOptions(GetOptions() + TGridOptions { goEditing });
        const int Col = GetCol();
        if (Col > GetLeftCol() + GetVisibleColCount() || Col < GetLeftCol()
            || Row > GetTopRow() + GetVisibleRowCount() || Row < GetTopRow())
            ScrollInView(Col, Row, spMiddle);
        if (Key != 13) {
            const TRect R = CellRect(GetCol(), GetRow());
            MouseDown(mbLeft, TShiftState(), R.Left + 2, R.Top + 2);
        }
        // The press may have opened the editor already: then the character
        // goes straight to it.
        if (GetEditorMode()) {
            ShowEditorChar(Key);
            return;
        }
        Message.WParam = Key;
        TBaseGrid::WndProc(Message);
        return;
    }
    if (GetExcelStyleDecimalSeparator() && Key == u'.' && (Message.LParam & 0x400000))
        Key = LocaleDecimalSeparator();
    bool ToPlatform = false;
    if (IsControlCell(RealCol, Row) && Key == 13 && FNavigation->GetAdvanceOnEnter()) {
        Message.WParam = Key;
        TBaseGrid::WndProc(Message);
        ToPlatform = true;
    }
    if (GetOptions().Contains(goEditing) && Key != 9 && (Key == 8 || (Key >= 32 && Key <= 255))) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
        Message.WParam = Key;
        FStartEditChar = Key;
        if (!IsControlCell(RealCol, Row) && Key != 0)
            ShowEditorChar(Key);
        return;
    }
    if (!ToPlatform && Focused()) {
        Message.WParam = Key;
        TBaseGrid::WndProc(Message);
    }
}

// ---- key release ----

void TDedOzovedUrad::WMKeyUp(TMessage& Message)
{
    const WORD Key = WORD(Message.WParam);
    TBaseGrid::WndProc(Message);
    if (FMouseActions->GetRangeSelectAndEdit() && !GetOptions().Contains(goEditing)
        && (Key == VK_RETURN || Key == VK_F2)
        && IsEditable(DisplayToRealCol(TDisplayCol(GetCol())).Value, GetRow())) {
        SetOptions(GetOptions() + TGridOptions { goEditing });
        ShowInplaceEdit();
    }
}

void TDedOzovedUrad::KeyUpDisjunctCells(WORD Key, TShiftState Shift, const TGridRect& S)
{
    if (!FMouseActions->GetDisjunctCellSelect() || GetOptions().Contains(goEditing))
        return;
    if (Shift.Contains(ssShift)) {
        for (int c = S.Left; c <= S.Right; ++c)
            for (int r = S.Top; r <= S.Bottom; ++r)
                FSelectedCells.Remove(c, r);
        const TGridRect N = Normalised(GetSelection());
        for (int c = N.Left; c <= N.Right; ++c)
            for (int r = N.Top; r <= N.Bottom; ++r)
                if (c != GetCol() || r != GetRow())
                    FSelectedCells.Add(c, r);
    }
    if (Key != VK_SPACE)
        return;
    const int RealCol = DisplayToRealCol(TDisplayCol(GetCol())).Value;
    const TPoint Real = BaseCell(RealCol, GetRow());
    const TPoint B(DisplColIndex(TRealCol(Real.X)).Value, Real.Y);
    if (!IsFixed(B.X, B.Y)) {
        bool CanSelect = true;
        if (OnSelectCell)
            OnSelectCell(this, B.X, B.Y, CanSelect);
        if (!CanSelect)
            return;
        auto RepaintListed = [&] {
            for (int i = 0; i < FSelectedCells.Count(); ++i) {
                const TGridCoord C = FSelectedCells.Item(i);
                RepaintCell(C.X, C.Y);
            }
        };
        if (Shift.Contains(ssCtrl)) {
            if (!FSelectedCells.Remove(B.X, B.Y))
                FSelectedCells.Add(B.X, B.Y);
        } else {
            RepaintListed();
            FSelectedCells.Clear();
            FSelectedCells.Add(B.X, B.Y);
        }
        const TGridRect N = Normalised(GetSelection());
        if (N.Left != N.Right || N.Top != N.Bottom) {
            for (int c = N.Left; c <= N.Right; ++c)
                for (int r = N.Top; r <= N.Bottom; ++r)
                    if (c != B.X || r != B.Y)
                        FSelectedCells.Add(c, r);
            RepaintListed();
        }
    }
    RepaintCell(GetCol(), GetRow());
}

void TDedOzovedUrad::KeyUp(WORD& Key, TShiftState Shift)
{
    if (Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || IsArrowKey(Key) || Key == VK_INSERT
        || Key == VK_DELETE)
        FSearchInc.clear();
    const TGridRect S = Normalised(GetSelection());
    const WORD Pressed = Key;
    TBaseGrid::KeyUp(Key, Shift);
    const int RealCol = DisplayToRealCol(TDisplayCol(GetCol())).Value;
    const bool TabKey = Pressed == VK_TAB && GetOptions().Contains(goTabs);
    if (FNavigation->GetAlwaysEdit() && (IsArrowKey(Pressed) || TabKey)) {
        bool CanEdit = true;
        CanEditCell(RealCol, GetRow(), CanEdit);
        if (CanEdit && !IsControlCell(RealCol, GetRow()))
            ShowInplaceEdit();
    }
    if (Pressed == VK_TAB || IsArrowKey(Pressed)) {
        const TGridRect Sel = GetSelection();
        if (Sel != FMoveSelection)
            SelectionChanged(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
    }
    KeyUpDisjunctCells(Pressed, Shift, S);
}

void TDedOzovedUrad::AppendOnArrowDownKey(WORD Key)
{
    if (Key == VK_DOWN && IsOnLastNormalRow() && FNavigation->GetAppendOnArrowDown())
        AppendRowOnArrowDown();
}

// ---- a click made by the keyboard ----

void TDedOzovedUrad::ClickCell(int ACol, int ARow, bool WithMouseUp)
{
    const TRect R = CellRect(ACol, ARow);
    const int X = R.Left + 2, Y = R.Top + 2;
    TMouseEvent Down = std::move(OnMouseDown);
    TMouseEvent Up = std::move(OnMouseUp);
    OnMouseDown = nullptr;
    OnMouseUp = nullptr;
    auto Restore = [&] {
        OnMouseDown = std::move(Down);
        OnMouseUp = std::move(Up);
        FForceSel = false;
    };
    FForceSel = true;
    try {
        MouseDown(mbLeft, TShiftState(), X, Y);
        if (WithMouseUp)
            MouseUp(mbLeft, TShiftState(), X, Y);
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
}
