// What the grid does when it gains or loses the keyboard focus and when it
// is entered, left or clicked, and the snapshot of the focus cell (the old
// cell) an edit is compared with.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/EditLink.h"
#include "grid/core/ScrollControl.h"
#include "grid/core/LumRichEdit.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

namespace {

bool IsPlainTextKind(TEditorType Kind)
{
    return Kind == edNormal || Kind == edCapital || Kind == edMixedCase || Kind == edLowerCase
        || Kind == edUpperCase || Kind == edValidChars;
}

} // namespace

void TDedOzovedUrad::SaveOldCell(int ACol, int ARow)
{
    FOldCol = ACol;
    FOldRow = ARow;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    FOldCellText = GetGridCell(RCol, ARow);
    FOldCellTextWide = GetWideCells(RCol, ARow);
    FOldModifiedValue = FModified;
}

// The focus cell and its merged area repaint (their focus look changes).
void TDedOzovedUrad::RepaintFocusArea()
{
    const int RCol = GetRealCol();
    if (!IsMergedCell(RCol, GetRow()))
        return;
    const TPoint Span = CellSpan(RCol, GetRow());
    RepaintRect(TRect(GetCol(), GetRow(), GetCol() + Span.X, GetRow() + Span.Y));
}

void TDedOzovedUrad::WMSetFocus(TMessage& Message)
{
    TBaseGrid::WndProc(Message);
    const int Col = GetCol(), Row = GetRow();
    const int RCol = GetRealCol();
    if (CellHasCheckBox(RCol, Row))
        return;
    if (FInplaceRichEdit && FInplaceRichEdit->GetVisible())
        HideInplaceEdit();
    const bool CellShows = Col >= GetLeftCol() && Col < GetLeftCol() + GetVisibleColCount() && Row >= GetTopRow()
        && Row < GetTopRow() + GetVisibleRowCount();
    TInplaceEdit* Editor = GetInplaceEditor();
    const bool Moving = GetGridState() == gsRowMoving || GetGridState() == gsColMoving;
    if (Editor && FNavigation->GetAlwaysEdit() && !Moving
        && !(Editor->HandleAllocated() && reinterpret_cast<HWND>(Message.WParam) == Editor->GetHandle())) {
        TEditorType Kind = GetDefaultEditor();
        DoGetEditorType(RCol, Row, Kind);
        if (IsPlainTextKind(Kind)) {
            bool CanEdit = true;
            CanEditCell(RCol, Row, CanEdit);
            if (CellShows && CanEdit) {
                ShowInplaceEdit();
                Message.Result = 0;
                return;
            }
        }
    } else if (!Editor && FNavigation->GetAlwaysEdit()) {
        bool CanEdit = true;
        CanEditCell(RCol, Row, CanEdit);
        if (CellShows && CanEdit && !FMouseActions->GetDirectEdit() && !FControlLook->GetDropDownAlwaysVisible()
            && HasCellComboBox(RCol, Row, edNone))
            ShowInplaceEdit();
    }
    RepaintFocusArea();
}

void TDedOzovedUrad::WMKillFocus(TMessage& Message)
{
    if (FBlockKill) {
        // An editor's value is being stored: the focus comes back.
        Message.Result = 1;
        return;
    }
    TBaseGrid::WndProc(Message);
    RepaintFocusArea();
    if (FCtrlDown) {
        FCtrlDown = false;
        RepaintCell(FCtrlXY.X, FCtrlXY.Y);
    }
    if (FHoverButtons->GetEnabled() && FButtonForm && FButtonForm->HandleAllocated())
        ShowWindow(FButtonForm->GetHandle(), SW_HIDE);
}

void TDedOzovedUrad::DoEnter()
{
    if (FBlockFocus)
        return;
    // An edit link that keeps the focus gets it back while its edit runs.
    if (EditMode && EditControl == edCustom && FEditLink && FEditLink->GetKeepFocus()) {
        // The form is inside its own focus change here: the window takes
        // the focus directly.
        if (TWinControl* Control = FEditLink->GetEditControl(); Control && Control->CanFocus()) {
            ::SetFocus(Control->GetHandle());
            return;
        }
    }
    const bool Inside = [this] {
        return GetCol() >= 0 && GetCol() < GetColCount() && GetRow() >= 0 && GetRow() < GetRowCount();
    }();
    try {
        TBaseGrid::DoEnter();
        if ((GetOptions().Contains(goEditing) || FMouseActions->GetRangeSelectAndEdit()) && Inside)
            SelectCell(GetCol(), GetRow());
    } catch (...) {
        if (Inside)
            SaveOldCell(GetCol(), GetRow());
        throw;
    }
    if (Inside)
        SaveOldCell(GetCol(), GetRow());
    if (FMouseActions->GetHotmailRowSelect() && GetCol() == GetColCount())
        FocusCell(GetLeftCol(), GetTopRow());
}

void TDedOzovedUrad::DoExit()
{
    if (FBlockKill)
        return;
    if (FSelChange && FMouseActions->GetDisjunctRowSelect())
        SyncRowSelectWithSelection(false);
    FSelChange = false;
    TBaseGrid::DoExit();
}

void TDedOzovedUrad::Click()
{
    TBaseGrid::Click();
    FEntered = false;
    SaveOldCell(GetCol(), GetRow());
}
