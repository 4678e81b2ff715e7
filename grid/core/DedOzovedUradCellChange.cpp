// The cell change query: every move of the focus cell asks whether the
// proposed cell may become the focus cell. The answer validates a running
// editor-control edit, fires the changing events, makes goEditing follow
// the editability of the cell, sends a covered cell of a merge to its base
// cell, keeps the floating footer's row free and repaints what depends on
// the focus cell.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/ScrollControl.h"
#include "platform/win/Window.h"


void TDedOzovedUrad::CellChanging(int NewCol, int NewRow, bool& Allow)
{
    if (FBlockCellChanging)
        return;
    if (NewCol != GetCol() && OnColChanging)
        OnColChanging(this, GetCol(), NewCol, Allow);
    if (NewRow != GetRow() && OnRowChanging) {
        OnRowChanging(this, GetRow(), NewRow, Allow);
        if (!Allow)
            FOldRowSel = GetRow();
    }
    if ((NewCol != GetCol() || NewRow != GetRow()) && OnCellChanging && !FDisableChange)
        OnCellChanging(this, GetRow(), GetCol(), NewRow, NewCol, Allow);
}

// The floating footer's part of the query; True with Answer when the
// footer decides.
bool TDedOzovedUrad::CellChangeFooter(int ACol, int ARow, bool& Answer)
{
    if (!FFloatingFooter->GetVisible() || !HandleAllocated())
        return false;
    const int Visible = GetVisibleRowCount();
    const TRect Cell = CellRect(ACol, ARow);
    const bool UnderFooter
        = !Cell.IsEmpty() && Cell.Bottom > GetClientHeight() - FFloatingFooter->GetHeight() + 2;
    if (FFloatingFooter->GetFooterStyle() != fsFixedLastRow) {
        if (FFooterPanel)
            FFooterPanel->Invalidate();
        if (UnderFooter && ARow < GetRowCount())
            SetTopRow(GetTopRow() + 1);
        return false;
    }
    if (ARow >= GetTopRow() + Visible)
        SetTopRow(ARow + GetFixedRows() - Visible);
    if (UnderFooter && ARow < GetRowCount() - 1)
        SetTopRow(GetTopRow() + 1);
    // The last row carries the footer.
    if (GetRowCount() == ARow + 1) {
        Answer = false;
        return true;
    }
    return false;
}

// goEditing follows the editability of the proposed cell; N is reread
// when a running edit was closed.
void TDedOzovedUrad::CellChangeEditability(int ACol, int ARow, int RCol, String& N)
{
    TGridOptions Options = GetOptions();
    const bool Editing = Options.Contains(goEditing);
    if (IsControlCellKind(GetCellType(RCol, ARow))) {
        bool CanEdit = true;
        CanEditCell(RCol, ARow, CanEdit);
        if (!FEditDisable)
            FEditDisable = !CanEdit && (Editing || FMouseActions->GetRangeSelectAndEdit());
        if (!Editing && !Options.Contains(goRowSelect) && CanEdit) {
            FEditChange = true;
            SetOptions(Options + TGridOptions { goEditing });
        }
        return;
    }
    bool CanEdit = Editing || FEditDisable;
    CanEditCell(RCol, ARow, CanEdit);
    if (CanEdit && FMouseActions->GetDirectEdit()) {
        TEditorType Kind = GetDefaultEditor();
        if (IsEditorNone(RCol, ARow, Kind))
            CanEdit = false;
    }
    if (FMouseActions->GetEditOnDblClickOnly())
        CanEdit = false;
    if (CanEdit) {
        FEditDisable = false;
        if (!Editing) {
            FEditChange = true;
            if (!FEditing)
                SaveOldCell(GetCol(), GetRow());
            if (Options.Contains(goRowSelect) && FMouseActions->GetRangeSelectAndEdit())
                Options = Options - TGridOptions { goRowSelect };
            SetOptions(Options + TGridOptions { goEditing });
        }
        if (GetEditorMode()) {
            HideInplaceEdit();
            N = GetGridCell(RCol, ARow);
        }
        return;
    }
    if (GetEditorMode()) {
        HideInplaceEdit();
        N = GetGridCell(RCol, ARow);
    }
    if (Editing) {
        SetEditorMode(false);
        FEditDisable = true;
        FEditChange = true;
        SetOptions(GetOptions() - TGridOptions { goEditing });
        SetEditorMode(false);
    }
}

bool TDedOzovedUrad::SelectCell(int ACol, int ARow)
{
    if (ACol < 0 || ARow < 0)
        return false;
    const bool Indicator = FRowIndicator && !FRowIndicator->Empty() && GetFixedCols() > 0;
    if (FForceSel) {
        if (Indicator) {
            RepaintCell(0, GetRow());
            RepaintCell(0, ARow);
        }
        return true;
    }
    if (FInvalidSel)
        return false;
    if (!GetParent())
        return true;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    FEditText = GetGridCell(RCol, ARow);
    bool Result = false;
    bool Allow = true;

    if (bool Answer = false; CellChangeFooter(ACol, ARow, Answer))
        return Answer;

    if (IsMergedNonBaseCell(RCol, ARow)) {
        // A covered cell hands the focus to the base cell of its area.
        const TPoint Base = BaseCell(RCol, ARow);
        const int BaseCol = RealToDisplayCol(TRealCol(Base.X)).Value;
        MoveColRow(BaseCol, Base.Y, true, true);
        RepaintCell(BaseCol, Base.Y);
        if (FMouseActions->GetDirectEdit()
            || (FControlLook->GetDropDownAlwaysVisible() && HasCellComboBox(Base.X, Base.Y, edNone)))
            ShowEditor();
        return false;
    }
    if (ACol == 0 && HasNodes() && !GetOptions().Contains(goRowSelect))
        return false;
    if (FUseEnabledRows && FNavigation->GetSkipDisabledRows()
        && !GetRowEnabled(DisplayToRealRow(TDisplayRow(ARow)).Value))
        return false;

    const TGridRect OldSel = GetSelection();
    const int OldCol = GetCol(), OldRow = GetRow();
    String N = GetGridCell(RCol, ARow);
    TInplaceEdit* Editor = GetInplaceEditor();
    const bool EditorFocused = Editor && Editor->Focused();
    const int RefusalsBefore = FRefusals;
    CellChangeEditability(ACol, ARow, RCol, N);
    if (FRefusals != RefusalsBefore) {
        // Ending the edit stored its value and the validation refused it:
        // the focus stays on the cell, whose editor is open again.
        CellChangeRepaints(ACol, ARow, OldSel, OldCol, OldRow, false);
        return false;
    }

    const int CurRCol = GetRealCol();
    const bool ControlCell = IsControlCellKind(GetCellType(CurRCol, GetRow()));
    if ((GetEditorMode() || FEditing) && !EditorFocused && !(ControlCell && FIsDBVersion)) {
        // An edit's value is validated before the focus leaves (the text
        // editor validates itself while it has the focus).
        const String Old = FCellCache;
        const bool Valid = IsWideCell(CurRCol, GetRow()) ? ValidateCellWide(GetWideCells(CurRCol, GetRow()))
                                                         : ValidateCell(GetCurrentCell());
        Allow = Valid;
        CellChanging(ACol, ARow, Allow);
        Result = Allow && TBaseGrid::SelectCell(ACol, ARow);
        if (!Result && !GetInvalidEntryTitle().empty()) {
            // The refused text (the cell got its old text back).
            FInvalidCache = Valid ? GetCurrentCell() : FNewCellText;
            FInvalidSel = true;
            PostMessage(GetHandle(), GridUnit().WM_GRIDEDITINVALID, WPARAM(ACol), LPARAM(ARow));
        }
        if (!Result)
            N = Old;
    } else {
        CellChanging(ACol, ARow, Allow);
        if (GetEditorMode() && (FNavigation->GetAlwaysEdit() || OnCellChanging) && Allow)
            PostMessage(GetHandle(), GridUnit().WM_GRIDEDITDONE, WPARAM(ACol), LPARAM(ARow));
        if (GetEditorMode() && !Allow)
            PostMessage(GetHandle(), GridUnit().WM_GRIDEDITSHOW, WPARAM(ACol), LPARAM(ARow));
        if (IsFixed(ACol, ARow) || !Allow)
            Result = (Allow && GetOptions().Contains(goRowSelect))
                || (FFixedRowAlways && GetRowCount() == GetFixedRows());
        else
            Result = TBaseGrid::SelectCell(ACol, ARow);
    }

    CellChangeRepaints(ACol, ARow, OldSel, OldCol, OldRow, Result);
    FCellCache = N;
    return Result;
}

void TDedOzovedUrad::CellChangeRepaints(
    int ACol, int ARow, const TGridRect& OldSel, int OldCol, int OldRow, bool Result)
{
    if (FRowIndicator && !FRowIndicator->Empty() && GetFixedCols() > 0) {
        RepaintCell(0, OldRow);
        RepaintCell(0, ARow);
    }
    if (FISelect)
        FISelect->SelectionChange(GetCol(), ARow);
    if (GetActiveCellShow()) {
        RepaintActiveHeaders(OldCol, OldRow, ACol, ARow);
        if (OldSel.Left != OldCol && OldSel.Top != OldRow)
            RepaintActiveHeaders(OldSel.Left, OldSel.Top, OldSel.Left, OldSel.Top);
    }
    if (GetActiveRowShow()) {
        RepaintRow(ARow);
        RepaintRow(OldSel.Top);
    }
    if (GetSelectionRectangle())
        InvalidateGridRect(OldSel);
    for (int c = 0; GetMergeCount() > 0 && c < GetAllColCount(); ++c) {
        const bool Vertical = (OldSel.Top >= 0 && CellSpan(c, OldSel.Top).Y > 0) || CellSpan(c, ARow).Y > 0;
        if (Vertical) {
            Invalidate();
            break;
        }
    }
    if (!IsLoading() && Result && ARow != FOldRowSel && OnRowUpdate) {
        const int Previous = FOldRowSel;
        FOldRowSel = ARow;
        OnRowUpdate(this, Previous, ARow);
    }
    if (OnGetCellBorder) {
        // From the first scrollable column over the previous selection's rows.
        const int First = GetLeftCol();
        RepaintRect(TRect(First, OldSel.Top, First + GetVisibleColCount(), OldSel.Bottom));
    }
    if (FScrollType == ssMetro) {
        if (vscrlctrl)
            vscrlctrl->Invalidate();
        if (hscrlctrl)
            hscrlctrl->Invalidate();
    }
}
