// Editing a cell in place: which editor the focus cell gets and putting it
// on the cell, storing the editor's value and ending the edit, and what an
// editor calls with the key that ended it.
//
// The text kinds are edited by the platform grid's own text editor; every
// other kind has an editor control, made through the editor getters (and
// so through the editor registry). A kind whose control is not there opens
// nothing and stores nothing: the cell keeps its text and EditMode ends
// with the next store.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDropDownRules.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridTypedEditors.h"
#include "grid/core/LumRichEdit.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

namespace {

bool IsArrowKey(WORD Key) { return Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN; }

// A control is done with: hidden and out of reach of the keyboard.
void PutAway(TWinControl* Control)
{
    if (!Control)
        return;
    Control->SetEnabled(false);
    Control->SetVisible(false);
}

} // namespace

// ---- choosing and showing ----

bool TDedOzovedUrad::CanShowInplaceEdit()
{
    if (FValidating)
        return false;
    bool Answer = TBaseGrid::CanEditShow();
    if (IsDesigning())
        return Answer;
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    if (Answer && !EditMode) {
        if (IsControlCellKind(GetCellType(Base.X, Base.Y)) || HasHTMLForm(Base.X, Base.Y))
            return false;
        FNoEditChange = true;
        FCellCache = GetCurrentCell();
        EditControl = GetDefaultEditor();
        DoGetEditorType(Base.X, Base.Y, EditControl);
        if (EditControl == edNone || !DoBeforeEdit(Base.X, Base.Y))
            return false;
        // A new edit is compared with the cell it starts on, however the
        // focus got there.
        if (!FEditing)
            SaveOldCell(GetCol(), GetRow());
        EditMode = true;
        if (IsTextEditorKind(EditControl)) {
            FShowEditProcess = true;
        } else {
            ShowEditorControl(RealToDisplayCol(TRealCol(Base.X)).Value, Base.Y);
            FEntered = true;
            if (FFocusHelper->GetEnabled())
                ShowFocusWindow(CellRect(GetCol(), GetRow()));
            return false;
        }
    } else if (Answer && !IsTextEditorKind(EditControl)) {
        // An editor control has the cell: the platform asking again (it
        // re-places its editor on scrolling and sizing) must not put the
        // text editor over it.
        return false;
    }
    if (Answer) {
        FEntered = true;
        if (GetOptions().Contains(goAlwaysShowEditor)) {
            FOldCol = GetCol();
            FOldRow = GetRow();
        }
        FEditing = true;
        if (FFocusHelper->GetEnabled())
            ShowFocusWindow(CellRect(GetCol(), GetRow()));
    }
    return Answer;
}

void TDedOzovedUrad::ShowEditorControl(int ACol, int ARow)
{
    FEditing = true;
    FSpecialEditor = true;
    FEditActive = true;
    TRect R = CellRect(ACol, ARow);
    if (UseRightToLeftAlignment())
        ++R.Left;
    const int W = R.Right - R.Left - 1;
    const int H = R.Bottom - R.Top - 1;

    // The focus cell's look gives the editor its colour and font.
    TGridDrawState State;
    TColor ColorTo = clNone, MirrorColor = clNone, MirrorColorTo = clNone;
    TAlignment HA = taLeftJustify;
    TVAlignment VA = vtaTop;
    bool WW = GetWordWrap();
    TCellGradientDirection GD {};
    GetVisualProperties(GetCol(), GetRow(), State, false, false, true, GetCanvas()->GetBrush(), ColorTo, MirrorColor,
        MirrorColorTo, GetCanvas()->GetFont(), HA, VA, WW, GD);
    const TColor EditorColor = GetCanvas()->GetBrush()->GetColor();

    SetGridState(gsNormal);
    EditCtrl = nullptr;
    if (EditControl != edCustom)
        FLastValidation = true;

    switch (EditControl) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
        if (TWinControl* Spin = GetSpinEdit())
            ShowSpinEditor(Spin, R, EditorColor);
        FSpinUpClick = FSpinDnClick = false;
        break;
    case edComboEdit:
    case edComboList:
        if (EditControl == edComboList)
            FForceComboSel = false;
        if (TWinControl* Combo = GetCombobox())
            ShowComboEditor(Combo, R, EditorColor, H);
        break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        if (TWinControl* Edit = GetEditBtnEditor())
            ShowEditBtnEditor(Edit, R, EditorColor, HA, H);
        break;
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn:
        if (TWinControl* Edit = GetUnitEditBtnEditor())
            ShowUnitEditor(Edit, R, EditorColor, H);
        break;
    case edCheckBox:
        // No colour, no editor properties, no start character, and the
        // check box is not recorded as the cell's editor control.
        if (TWinControl* Check = GetCheckEditor()) {
            EditMode = true;
            Check->SetBounds(R.Left, R.Top, W, H);
            Check->SetVisible(true);
            Check->SetEnabled(true);
            if (auto* Box = dynamic_cast<TCustomCheckBox*>(Check))
                Box->SetChecked(GetEditText(ACol, ARow) == GetCheckTrue());
            if (Check->CanFocus())
                Check->SetFocus();
        }
        break;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        if (TWinControl* Picker = GetDateTimePicker())
            ShowDateEditor(Picker, R, EditorColor, H);
        break;
    case edDateTimeEdit:
        // The date-and-time picker is not recorded as the editor control.
        if (TWinControl* Picker = GetDateAndTimePicker()) {
            ShowDateTimeEditor(Picker, R, EditorColor, W, H);
            EditCtrl = nullptr;
        }
        break;
    case edButton:
        // One pixel outside the cell, captioned with the cell's text.
        if (TWinControl* Button = GetGridButtonEditor()) {
            EditMode = true;
            Button->SetBounds(R.Left - 1, R.Top - 1, W + 2, H + 2);
            Button->SetVisible(true);
            Button->SetEnabled(true);
            Button->SetText(GetEditText(ACol, ARow));
            if (Button->CanFocus())
                Button->SetFocus();
            EditCtrl = Button;
        }
        break;
    case edCustom:
        // Without an edit link the kind shows nothing; the edit still
        // counts as active, so the store that follows ends it once.
        if (FEditLink)
            ShowEditLink(R, EditorColor);
        break;
    case edRichEdit:
        ShowRichEditor(R);
        break;
    case edTrackbarDropDown:
    case edMemoDropDown:
    case edCalculatorDropDown:
    case edTimePickerDropDown:
    case edDetailDropDown:
    case edGridDropDown:
    case edColorPickerDropDown:
    case edImagePickerDropDown:
    case edRirEvozDropDown:
    case edControlDropDown:
        if (TWinControl* DropDown = DropDownEditor(EditControl)) {
            if (auto* Editor = dynamic_cast<IGridDropDownControl*>(DropDown))
                ShowDropDownEditor(*Editor, R, EditorColor);
            else
                PlaceEditorControl(DropDown, R, EditorColor, EditControl != edColorPickerDropDown);
        }
        break;
    default:
        break;
    }
    FStartEditChar = 0;
}

// The common set-up of an editor control: on the cell, coloured, its
// properties asked from the application, loaded with the edit text when
// LoadText, focused, given the character that started the edit.
void TDedOzovedUrad::PlaceEditorControl(TWinControl* Control, const TRect& R, TColor EditorColor, bool LoadText,
    const std::function<void()>& Load)
{
    EditMode = true;
    Control->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
    Control->SetVisible(true);
    Control->SetEnabled(true);
    Control->SetColor(EditorColor);
    DoGetEditorProp(GetRealCol(), GetRow(), nullptr);
    if (Load) {
        Load();
    } else if (LoadText) {
        TValueGuard Align(FGetEditTextAlign, true);
        Control->SetText(GetEditText(GetCol(), GetRow()));
    }
    if (Control->CanFocus())
        Control->SetFocus();
    if (FStartEditChar != 0 && Control->HandleAllocated())
        PostMessage(Control->GetHandle(), WM_CHAR, WPARAM(FStartEditChar), 0);
    EditCtrl = Control;
}

// A drop-down editor on the cell: its looks from the grid first, then the
// common placing, its own way of loading the cell's value, the start
// character, and the drop-down opened when the grid's settings ask.
void TDedOzovedUrad::ShowDropDownEditor(IGridDropDownControl& Editor, const TRect& R, TColor EditorColor)
{
    TWinControl* Control = Editor.EditorControl();
    Editor.PrepareForCell(this);
    EditMode = true;
    Control->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
    Control->SetVisible(true);
    Control->SetEnabled(true);
    Control->SetColor(EditorColor);
    DoGetEditorProp(GetRealCol(), GetRow(), nullptr);
    {
        // Loading is no edit: OnEditChange starts with the user's changes.
        TValueGuard Align(FGetEditTextAlign, true);
        FNoEditChange = true;
        const TPoint Base = BaseCell(GetRealCol(), GetRow());
        Editor.LoadCell(this, Base.X, Base.Y, GetEditText(GetCol(), GetRow()));
        FNoEditChange = false;
    }
    if (Control->CanFocus())
        Control->SetFocus();
    Editor.AfterShow();
    EditCtrl = Control;
    if (Editor.OpensOnShow() || FMouseActions->GetDirectComboDrop())
        Editor.OpenDropDown();
    if (FStartEditChar != 0 && Control->HandleAllocated())
        PostMessage(Control->GetHandle(), WM_CHAR, WPARAM(FStartEditChar), 0);
}

// The in-place rich edit over the cell, loaded with the cell's rich text.
void TDedOzovedUrad::ShowRichEditor(const TRect& R)
{
    TLumRichEdit* Rich = GetInplaceRichEdit();
    EditMode = true;
    Rich->SetParent(this);
    Rich->SetBorderStyle(bsNone);
    Rich->SetHideSelection(false);
    // Loading the cell asks for sizes the row must not follow.
    Rich->LockChanges();
    Rich->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, R.Bottom - R.Top - 1);
    Rich->SetVisible(true);
    Rich->SetEnabled(true);
    Rich->SetColor(GetCanvas()->GetBrush()->GetColor());
    DoGetEditorProp(GetRealCol(), GetRow(), nullptr);
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    CellToRich(Base.X, Base.Y, Rich);
    if (FNavigation->GetEditSelectAll())
        Rich->SelectAll();
    RECT Format { 2, 2, R.Right - R.Left - 2, R.Bottom - R.Top - 2 };
    Rich->Perform(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&Format));
    if (Rich->CanFocus())
        Rich->SetFocus();
    if (FStartEditChar != 0 && Rich->HandleAllocated())
        PostMessage(Rich->GetHandle(), WM_CHAR, WPARAM(FStartEditChar), 0);
    Rich->UnlockChanges();
    EditCtrl = Rich;
}

void TDedOzovedUrad::ShowInplaceEdit()
{
    if (IsControlCellKind(GetCellType(GetRealCol(), GetRow())))
        return;
    if (GetRow() < GetTopRow())
        SetTopRow(GetRow());
    if (GetCol() < GetLeftCol())
        SetLeftCol(GetCol());
    if (FMouseActions->GetRangeSelectAndEdit())
        SetOptions(GetOptions() + TGridOptions { goEditing });
    FEditText = GetCurrentCell();
    ShowEditor();
}

void TDedOzovedUrad::ShowCellEdit()
{
    if (!FMouseActions->GetRangeSelectAndEdit())
        return;
    SetOptions(GetOptions() + TGridOptions { goEditing });
    if (HandleAllocated())
        SendMessage(GetHandle(), WM_KEYDOWN, VK_F2, 0);
}

// ---- storing and ending ----

void TDedOzovedUrad::HideInplaceEdit()
{
    if (!EditMode) {
        // The platform may hold its editor mode without an edit of ours
        // (an editor refused to show): it ends here too.
        if (GetEditorMode() && !FIsEditHiding)
            HideEditor();
        return;
    }
    // A store that finishes an edit hides again from inside: once is enough.
    if (FIsEditHiding)
        return;
    TValueGuard Hiding(FIsEditHiding, true);
    HideEditor();
    StoreEditorValue(GetCol(), GetRow());
    EditMode = false;
    if (!FDoneEditing)
        SelectCell(GetCol(), GetRow());
}

void TDedOzovedUrad::HideCellEdit() { StoreEditorValue(GetCol(), GetRow()); }

void TDedOzovedUrad::WriteEditorText(int ACol, int ARow, const String& Value)
{
    SetEditText(RealToDisplayCol(TRealCol(ACol)).Value, ARow, Value);
    SetCellEx(ACol, ARow, Value);
}

void TDedOzovedUrad::StoreEditorValue(int ACol, int ARow)
{
    if (TBaseGrid::IsDestroying())
        return;
    FSpecialEditor = false;
    TValueGuard BlockKill(FBlockKill, true);
    EditCtrl = nullptr;
    if (FFocusHelper->GetEnabled())
        HideFocusWindow();
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    FStartEditChar = 0;

    // Done with a control: it goes away and the edit ends.
    auto Done = [this](TWinControl* Control) {
        PutAway(Control);
        EditMode = false;
    };
    auto WriteText = [&](TWinControl* Control) { WriteEditorText(RCol, ARow, Control->GetText()); };

    // The controls of the kinds below are read through their text; a kind
    // whose control is not there stores nothing.
    switch (EditControl) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
        EditMode = false;
        if (auto* Spin = dynamic_cast<TVovSpinEdit*>(FEditSpin)) {
            if (Spin->GetAllowEmptyValue() && Trim(Spin->GetText()).empty()) {
                SetCells(ACol, ARow, String());
            } else {
                switch (EditControl) {
                case edSpinEdit: SetInts(RCol, ARow, Spin->GetValue()); break;
                case edFloatSpinEdit: SetFloats(RCol, ARow, Spin->GetFloatValue()); break;
                case edDateSpinEdit: SetDates(RCol, ARow, Spin->GetDateValue()); break;
                default: WriteText(Spin); break;
                }
            }
            Done(Spin);
        } else if (FEditSpin) {
            WriteText(FEditSpin);
            Done(FEditSpin);
        }
        break;
    case edComboEdit:
    case edComboList:
        if (EditMode && FEditCombo) {
            if (auto* Combo = dynamic_cast<TCustomComboBox*>(FEditCombo))
                WriteEditorText(RCol, ARow, Combo->GetText());
            else
                WriteText(FEditCombo);
            Done(FEditCombo);
        }
        break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        if (EditMode && FEditBtn) {
            WriteText(FEditBtn);
            Done(FEditBtn);
        }
        break;
    case edCheckBox:
    case edDataCheckBox:
        if (auto* Box = dynamic_cast<TCustomCheckBox*>(FEditCheck)) {
            WriteEditorText(RCol, ARow, Box->GetChecked() ? GetCheckTrue() : GetCheckFalse());
            Done(FEditCheck);
        }
        break;
    case edDateEdit:
    case edDateEditUpDown:
    case edTimeEdit:
        if (auto* Picker = dynamic_cast<TDateTimePicker*>(FEditDate)) {
            // An unchecked picker empties the cell.
            String Text;
            if (Picker->GetChecked())
                Text = EditControl == edTimeEdit ? TimeToStr(Picker->GetTime()) : DateToStr(Picker->GetDate());
            WriteEditorText(RCol, ARow, Text);
            Done(Picker);
        }
        break;
    case edDateTimeEdit:
        if (auto* Picker = dynamic_cast<IGridDateTimePicker*>(FEditDateTime)) {
            // The date with the time part's time of day.
            String Text;
            if (Picker->PickerChecked())
                Text = GridDateTimeEditing::CellText(Picker->PickerDateTime());
            WriteEditorText(RCol, ARow, Text);
            Done(FEditDateTime);
        }
        break;
    case edButton:
        if (FGridButton)
            Done(FGridButton);
        break;
    case edPassword:
        EditControl = edNormal;
        if (TInplaceEdit* Edit = GetInplaceEditor(); Edit && Edit->HandleAllocated())
            Edit->Perform(EM_SETPASSWORDCHAR, 0, 0);
        break;
    case edUnitEditBtn:
    case edNumericUnitEditBtn:
    case edFloatUnitEditBtn:
        if (auto* Unit = dynamic_cast<TVovUnitEditBtn*>(FUnitEditBtn)) {
            WriteEditorText(RCol, ARow, Unit->GetTextAndUnit());
            Done(Unit);
        } else if (FUnitEditBtn) {
            WriteText(FUnitEditBtn);
            Done(FUnitEditBtn);
        }
        break;
    case edCustom:
        // Without an edit link nothing is stored and EditMode stays as it
        // was (HideInplaceEdit ends it).
        if (FEditLink)
            StoreEditLinkValue(RCol, ARow);
        break;
    case edRichEdit:
        if (FInplaceRichEdit) {
            WriteEditorText(RCol, ARow, RichToString(FInplaceRichEdit));
            Done(FInplaceRichEdit);
        }
        break;
    case edTrackbarDropDown:
    case edMemoDropDown:
    case edCalculatorDropDown:
    case edTimePickerDropDown:
    case edDetailDropDown:
    case edGridDropDown:
    case edColorPickerDropDown:
    case edImagePickerDropDown:
    case edRirEvozDropDown:
    case edControlDropDown:
        if (EditMode) {
            for (auto& [Kind, Control] : FDropDownEditors)
                if (Kind == EditControl && Control) {
                    EditMode = false;
                    if (auto* Editor = dynamic_cast<IGridDropDownControl*>(Control))
                        Editor->StoreCell(this, RCol, ARow);
                    else
                        WriteText(Control);
                    PutAway(Control);
                }
        }
        break;
    default:
        break;
    }

    if (EditControl != edNormal && EditControl != edCapital && EditControl != edValidChars && FEditActive) {
        TValueGuard DoneEditing(FDoneEditing, true);
        FinishEditorEdit(RCol, ARow);
    }
    FEditActive = false;
}

void TDedOzovedUrad::FinishEditorEdit(int ACol, int ARow)
{
    if (FFocusHelper->GetEnabled())
        HideFocusWindow();
    if (OnEditingDone)
        OnEditingDone(this);
    if (FFocusHelper->GetEnabled())
        ShowFocusWindow(CellRect(GetCol(), GetRow()));
    HideInplaceEdit();
    if (HandleAllocated())
        PostMessage(GetHandle(), GridUnit().WM_GRIDEDITDONE, WPARAM(ACol), LPARAM(ARow));
}

void TDedOzovedUrad::DoneInplaceEdit(WORD Key, TShiftState Shift)
{
    TValueGuard BlockFocus(FBlockFocus, true);
    FEditing = false;
    HideInplaceEdit();
    if (FNavigation->GetAppendOnArrowDown() && Key == VK_DOWN && IsOnLastNormalRow())
        AppendRowOnArrowDown();
    if (Key == VK_TAB || IsArrowKey(Key)) {
        WORD K = Key;
        KeyDown(K, Shift);
    }
    {
        // AlwaysEdit would open an editor as the grid takes the focus.
        struct TRestoreAlwaysEdit {
            TNavigation& Navigation;
            bool Old;
            ~TRestoreAlwaysEdit() { Navigation.SetAlwaysEdit(Old); }
        } AlwaysEdit { *FNavigation, FNavigation->GetAlwaysEdit() };
        FNavigation->SetAlwaysEdit(false);
        if (GetParent() && CanFocus())
            SetFocus();
        if (OnEnter)
            OnEnter(this);
        if (Key == VK_RETURN)
            MoveToNextCell(GetCol(), GetRow(), false, false, !Shift.Contains(ssShift), false, false);
    }
}

bool TDedOzovedUrad::IsOnLastNormalRow()
{
    return GetRow() + 1 == GetRowCount() - FFixedFooters
        || (FFloatingFooter->GetVisible() && GetRow() + 2 == GetRowCount());
}

void TDedOzovedUrad::AppendRowOnArrowDown()
{
    bool CanAdd = true;
    CanAddRow(CanAdd);
    if (!CanAdd)
        return;
    const bool Footer = FFloatingFooter->GetVisible();
    const int Cols = GetAllColCount();
    if (Footer) {
        // The footer's row stays last: its texts move down into the new row.
        const int Last = GetRowCount() - 1;
        std::vector<String> Kept;
        Kept.reserve(std::size_t(Cols));
        for (int c = 0; c < Cols; ++c)
            Kept.push_back(GetGridCell(c, Last));
        SetRowCount(GetRowCount() + 1);
        ClearRows(GetRowCount() - 2, 1);
        for (int c = 0; c < Cols; ++c)
            SetGridCell(c, GetRowCount() - 1, Kept[std::size_t(c)]);
    } else {
        SetRowCount(GetRowCount() + 1);
        ClearRows(GetRowCount() - 1, 1);
    }
    if (Footer || FFixedFooters > 0)
        SetRow(GetRow() + 1);
    if (Footer)
        CalcFooter(-1);
    if (OnAutoAddRow)
        OnAutoAddRow(this, GetRowCount() - FFixedFooters - 1);
}

void TDedOzovedUrad::RestoreCellFromCache()
{
    SetCellEx(GetRealCol(), GetRow(), FCellCache);
}
