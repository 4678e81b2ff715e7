// Validating an edited text as the edit ends: the cell checker may correct
// and mark it, the application accepts, changes or refuses it, accepted
// text is written and recorded for undo, refused text sends the user back
// into the editor of the old cell with a balloon tip saying why.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/RirEvozUndoRedo.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

namespace {

// Puts Navigation.AdvanceOnEnter back at the end of a validation: an
// accepting handler must not advance the focus as well.
struct TEnterMoveOff {
    TNavigation& Navigation;
    bool Old;
    explicit TEnterMoveOff(TNavigation& N) : Navigation(N), Old(N.GetAdvanceOnEnter())
    {
        Navigation.SetAdvanceOnEnter(false);
    }
    ~TEnterMoveOff() { Navigation.SetAdvanceOnEnter(Old); }
    TEnterMoveOff(const TEnterMoveOff&) = delete;
    TEnterMoveOff& operator=(const TEnterMoveOff&) = delete;
};

} // namespace

void TDedOzovedUrad::CellValidated(int ACol, int /*ARow*/) { CalcFooter(ACol); }

bool TDedOzovedUrad::ValidateCell(const String& NewValue)
{
    // Editors take FNewCellText after an accepted validation; with nothing
    // to validate that is the text they offered.
    FNewCellText = NewValue;
    if (!FEditing || FValidating)
        return true;
    FEditing = false;
    FValidating = true;
    bool Valid = true;
    const int ACol = DisplayToRealCol(TDisplayCol(FOldCol)).Value;
    const int ARow = FOldRow;
    FNewCellText = NewValue;

    if (NewValue == FOldCellText && !FAlwaysValidate) {
        RestoreEditOnDblClick();
    } else {
        try {
            const bool Changed = NewValue != FOldCellText;
            String Value = NewValue;
            {
                TEnterMoveOff EnterMoveOff(*FNavigation);
                if (FCellChecker && FCellChecker->GetAutoCorrect())
                    Value = FCellChecker->Correct(ACol, ARow, Value);
                if (OnCellValidate)
                    OnCellValidate(this, ACol, ARow, Value, Valid);
                if (FCellChecker && FCellChecker->GetAutoMarkError())
                    Value = FCellChecker->MarkError(ACol, ARow, Value);
                if (Value != FOldCellText) {
                    FGridModified = true;
                    if (GetFixedCols() > 0) {
                        SetRowModified(DisplayToRealRow(TDisplayRow(GetRow())).Value, true);
                        if (FShowModified->GetEnabled())
                            RepaintCell(0, GetRow());
                    }
                }
                if (Valid)
                    CellValidated(ACol, ARow);
                if (FCellChecker && FCellChecker->GetAutoMarkError())
                    Value = FCellChecker->MarkError(ACol, ARow, Value);
                // Undo puts the old text back, redo the new one.
                if (Valid && GetUndoRedo())
                    GetUndoRedo()->RegisterChange(ACol, ARow, FOldCellText, Value);
                if (Valid && Changed)
                    CellsChanged(TRect(ACol, ARow, ACol, ARow));
            }
            FNewCellText = Value;
            if (Valid) {
                SetCellEx(ACol, ARow, Value);
                const TPoint Base = BaseCell(ACol, ARow);
                if (Base.X != ACol || Base.Y != ARow)
                    SetCellEx(Base.X, Base.Y, Value);
            } else {
                RefuseEntry(ACol, Value != NewValue ? Value : FOldCellText, Value != NewValue);
                ShowInvalidEntryBalloon();
            }
            FOldCellText = GetGridCell(ACol, FOldRow);
        } catch (...) {
            SaveOldCell(GetCol(), GetRow());
            FValidating = false;
            throw;
        }
    }
    SaveOldCell(GetCol(), GetRow());
    FValidating = false;
    if (Valid)
        HideFocusWindow();
    return Valid;
}

bool TDedOzovedUrad::ValidateCellWide(const String& NewValue)
{
    FNewCellText = NewValue;
    if (!FEditing || FValidating)
        return true;
    FEditing = false;
    FValidating = true;
    bool Valid = true;
    const int ACol = DisplayToRealCol(TDisplayCol(FOldCol)).Value;
    const int ARow = FOldRow;
    FNewCellText = NewValue;

    if (NewValue == FOldCellTextWide && !FAlwaysValidate) {
        RestoreEditOnDblClick();
    } else {
        // The same guard as the string validation: a handler that raises
        // must not leave FValidating set (no editor would open again and
        // every later validation would pass unchecked).
        try {
            String Value = NewValue;
            if (NewValue != FOldCellTextWide) {
                FGridModified = true;
                if (FShowModified->GetEnabled() && GetFixedCols() > 0) {
                    SetRowModified(FOldRow, true);
                    RepaintCell(0, FOldRow);
                }
            }
            CellValidated(ACol, ARow);
            if (OnCellValidateWide)
                OnCellValidateWide(this, ACol, ARow, Value, Valid);
            FNewCellText = Value;
            if (Valid)
                SetWideCells(ACol, ARow, Value);
            else
                RefuseEntry(ACol, Value != NewValue ? Value : FOldCellTextWide, Value != NewValue, true);
            FOldCellTextWide = GetWideCells(ACol, FOldRow);
        } catch (...) {
            SaveOldCell(GetCol(), GetRow());
            FValidating = false;
            throw;
        }
    }
    SaveOldCell(GetCol(), GetRow());
    FValidating = false;
    return Valid;
}

// After a refusal the double-click-only option was switched off so that
// the editor could reopen at once; the next validation that finds the text
// unchanged puts it back. Only a refusal's switch is undone: an option the
// application set is left alone.
void TDedOzovedUrad::RestoreEditOnDblClick()
{
    if (!FRestoreDblClick)
        return;
    FRestoreDblClick = false;
    FMouseActions->SetEditOnDblClickOnly(FValidateDblClick);
}

// A refused entry: Text (the corrected text when the handlers changed it,
// else the old one) goes into the old cell, the focus goes back there and
// the editor opens again on it.
void TDedOzovedUrad::RefuseEntry(int ACol, const String& Text, bool Corrected, bool Wide)
{
    FLastValidation = false;
    ++FRefusals;
    if (!FRestoreDblClick) {
        FValidateDblClick = FMouseActions->GetEditOnDblClickOnly();
        FRestoreDblClick = true;
    }
    FMouseActions->SetEditOnDblClickOnly(false);
    if (!Corrected && EditMode)
        FValidating = false;
    SetEditorMode(false);
    if (Wide)
        SetWideCells(ACol, FOldRow, Text);
    else
        SetCellEx(ACol, FOldRow, Text);
    {
        TValueGuard Validating(FValidating, true);
        if (FOldCol >= 0 && FOldCol < GetColCount() && FOldRow >= 0 && FOldRow < GetRowCount())
            MoveColRow(FOldCol, FOldRow, true, true);
    }
    FValidating = false;
    FEditing = true;
    ShowInplaceEdit();
    if (!Corrected && GetCol() != FOldCol)
        InvalidateEditor();
    FModified = FOldModifiedValue;
}

// Whether the form the grid lies on (the outermost one) is active.
bool TDedOzovedUrad::ValidationFormActive()
{
    TCustomForm* Form = GetParentForm(this, true);
    return !Form || Form->GetActive();
}

void TDedOzovedUrad::ShowInvalidEntryBalloon()
{
    const String Title = GetInvalidEntryTitle();
    const String Text = GetInvalidEntryText();
    if (Title.empty() && Text.empty())
        return;
    EDITBALLOONTIP Tip;
    Tip.pszTitle = Title.c_str();
    Tip.pszText = Text.c_str();
    Tip.ttiIcon = int(GetInvalidEntryIcon());
    if (!FSpecialEditor) {
        TInplaceEdit* Edit = GetInplaceEditor();
        if (Edit && GetEditorMode() && ValidationFormActive())
            SendMessage(Edit->GetHandle(), EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&Tip));
        return;
    }
    // An editor control: the message goes to the window that edits the
    // text: an editable combo's edit field, a date picker's edit child, or
    // the control's own window (an edit shows the balloon; controls that
    // are no edit let it pass).
    if (!EditCtrl || !EditCtrl->HandleAllocated())
        return;
    HWND Target = EditCtrl->GetHandle();
    if (auto* Combo = dynamic_cast<TCustomComboBox*>(EditCtrl); Combo && Combo->GetStyle() != csDropDownList) {
        COMBOBOXINFO Info {};
        Info.cbSize = 52;
        if (GetComboBoxInfo(Target, &Info) && Info.hwndItem)
            Target = Info.hwndItem;
    } else if (dynamic_cast<TDateTimePicker*>(EditCtrl)) {
        DATETIMEPICKERINFO Info {};
        Info.cbSize = 56;
        if (SendMessage(Target, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&Info)) && Info.hwndEdit)
            Target = Info.hwndEdit;
    }
    SendMessage(Target, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&Tip));
}

// The message names the cell the user tried to move to; the focus stayed
// on the refusing cell, and that is where the text is entered again (the
// proposed cell never takes a text that was refused for another cell).
void TDedOzovedUrad::ReenterInvalidEntry()
{
    struct TClearInvalidSel {
        bool& Flag;
        ~TClearInvalidSel() { Flag = false; }
    } Clear { FInvalidSel };
    const String Refused = FInvalidCache;
    ShowInplaceEdit();
    FEditing = true;
    ValidateCell(Refused);
    if (TInplaceEdit* Edit = GetInplaceEditor(); Edit && Edit->GetVisible()) {
        Edit->SetText(Refused);
        Edit->SelectAll();
    }
}
