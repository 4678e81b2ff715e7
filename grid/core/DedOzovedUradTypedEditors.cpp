// Putting the typed editors on the focus cell: each kind's value loaded the
// way its editor holds it (an integer, a float, a date, an item of the
// combo list, a value and its unit).

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridTypedEditors.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Window.h"

using GridGuards::TValueGuard;

TCustomComboBox* TDedOzovedUrad::GetComboEditor() { return dynamic_cast<TCustomComboBox*>(FEditCombo); }

namespace {

// The edit text of the focus cell without disturbing the text editor's
// alignment.
String EditorText(TDedOzovedUrad* Grid, bool& AlignFlag)
{
    TValueGuard Align(AlignFlag, true);
    return Grid->GetEditText(Grid->GetCol(), Grid->GetRow());
}

void PostStartChar(TWinControl* Control, Char Ch)
{
    if (Ch != 0 && Control && Control->HandleAllocated())
        PostMessage(Control->GetHandle(), WM_CHAR, WPARAM(Ch), 0);
}

} // namespace

void TDedOzovedUrad::ShowSpinEditor(TWinControl* Control, const TRect& R, TColor EditorColor)
{
    auto* Spin = dynamic_cast<TGridSpin*>(Control);
    if (!Spin) {
        PlaceEditorControl(Control, R, EditorColor, true);
        return;
    }
    Spin->SetExcelStyleDecimalSeparator(GetExcelStyleDecimalSeparator());
    const TEditorType Kind = EditControl;
    PlaceEditorControl(Spin, R, EditorColor, false, [this, Spin, Kind] {
        const String Text = EditorText(this, FGetEditTextAlign);
        TValueGuard NoChange(FNoEditChange, true);
        switch (Kind) {
        case edFloatSpinEdit: {
            Spin->SetSpinType(sptFloat);
            double V = 0;
            if (!TryStrToFloat(VuzEraz::ExtractNumberText(Text), V))
                V = 0;
            Spin->SetFloatValue(V);
            break;
        }
        case edTimeSpinEdit:
            Spin->SetSpinType(sptTime);
            Spin->SetText(Text);
            break;
        case edDateSpinEdit: {
            Spin->SetSpinType(sptDate);
            TDateTime D = 0;
            Spin->SetDateValue(!Text.empty() && TryStrToDate(Text, D) ? D : Now());
            break;
        }
        default:
            Spin->SetSpinType(sptNormal);
            Spin->SetValue(StrToIntDef(Text, 0));
            break;
        }
    });
    // A press on an always-visible spin button steps the fresh editor once.
    if (FSpinUpClick)
        Spin->UpClick(Spin);
    else if (FSpinDnClick)
        Spin->DownClick(Spin);
}

void TDedOzovedUrad::ShowComboEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int H)
{
    auto* Combo = dynamic_cast<TGridCombo*>(Control);
    if (!Combo) {
        PlaceEditorControl(Control, R, EditorColor, EditControl == edComboEdit);
        return;
    }
    const bool List = EditControl == edComboList;
    EditMode = true;
    Combo->SetStyle(List ? csDropDownList : csDropDown);
    Combo->HookEdit();
    Combo->SetDropDownCount(FControlLook->GetDropDownCount());
    DoGetEditorProp(GetRealCol(), GetRow(), nullptr);
    Combo->SetDroppedDown(false);
    Combo->GetItems()->Assign(FComboItems.get());
    Combo->Perform(CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(std::max(1, H - 6)));
    Combo->SetBounds(R.Left, R.Top, R.Right - R.Left - 1, H);
    Combo->SetVisible(true);
    Combo->SetEnabled(true);
    Combo->SetColor(EditorColor);
    Combo->GetFont()->SetColor(GetCanvas()->GetFont()->GetColor());
    const TGridLook Look = GetLook();
    const bool Flat = Look == glSoft || (Look >= glZID && Look <= glOffice2007);
    Combo->SetFlat(Flat);
    Combo->SetEtched(Flat);
    bool ReportSelection = false;
    {
        const String Text = EditorText(this, FGetEditTextAlign);
        TValueGuard NoChange(FNoEditChange, true);
        if (!List) {
            Combo->SetItemIndex(-1);
            Combo->SetText(Text);
            if (FComboIdx != -1 && Combo->GetItemIndex() == -1 && FComboIdx < Combo->GetItems()->GetCount())
                Combo->SetItemIndex(FComboIdx);
            Combo->SetMaxLength(GetMaxComboLength());
        } else {
            // The cell's text as it is written, case included.
            int Index = -1;
            const String Cell = GetCurrentCell();
            for (int i = 0; i < Combo->GetItems()->GetCount() && Index < 0; ++i)
                if (Combo->GetItems()->GetStrings(i) == Cell)
                    Index = i;
            Combo->SetItemIndex(Index);
            if (FComboIdx == -1 && Combo->GetItemIndex() == -1) {
                Combo->SetItemIndex(Combo->GetItems()->IndexOf(Text));
                if (Combo->GetItemIndex() == -1 && FNavigation->GetAutoComboSelect() && Combo->GetItems()->GetCount() > 0)
                    Combo->SetItemIndex(0);
                ReportSelection = FNavigation->GetAutoComboSelect() && Combo->GetItemIndex() >= 0;
            } else if ((Combo->GetItemIndex() == -1 || FForceComboSel) && FComboIdx < Combo->GetItems()->GetCount()) {
                Combo->SetItemIndex(FComboIdx);
            }
        }
    }
    if (FNavigation->GetAutoComboDropSize())
        Combo->SizeDropDownWidth();
    else if (Combo->GetDropWidth() > 0)
        Combo->Perform(CB_SETDROPPEDWIDTH, WPARAM(Combo->GetDropWidth()), 0);
    if (Combo->CanFocus())
        Combo->SetFocus();
    if (FMouseActions->GetDirectComboDrop() || FControlLook->GetDropDownAlwaysVisible())
        Combo->SetDroppedDown(true);
    if (ReportSelection) {
        const int Index = Combo->GetItemIndex();
        const String Item = Combo->GetItems()->GetStrings(Index);
        if (OnComboChange)
            OnComboChange(this, GetRealCol(), GetRow(), Index, Item);
        if (OnComboObjectChange)
            OnComboObjectChange(this, GetRealCol(), GetRow(), Index, Item, Combo->GetItems()->GetObjects(Index));
    }
    // Typed into the edit field (the list styles take it themselves).
    TWinControl* Target = Combo->GetEditControl() ? static_cast<TWinControl*>(Combo->GetEditControl()) : Combo;
    PostStartChar(Target, FStartEditChar);
    EditCtrl = Combo;
}

void TDedOzovedUrad::ShowEditBtnEditor(TWinControl* Control, const TRect& R, TColor EditorColor, TAlignment HA, int H)
{
    auto* Edit = dynamic_cast<TGridEditBtn*>(Control);
    if (!Edit) {
        PlaceEditorControl(Control, R, EditorColor, true);
        return;
    }
    const TEditorType Kind = EditControl;
    PlaceEditorControl(Edit, R, EditorColor, false, [this, Edit, Kind, HA] {
        const String Text = EditorText(this, FGetEditTextAlign);
        TValueGuard NoChange(FNoEditChange, true);
        Edit->SetEditMask(Kind == edMaskEditBtn ? GetEditMask(GetCol(), GetRow()) : String());
        Edit->SetText(Text);
        Edit->SetMaxLength(GetMaxEditLength());
        Edit->SetButtonWidth(FControlLook->GetDropDownButtonWidth() + 2);
        Edit->SetAlignment(HA);
    });
    Edit->SetHeight(H);
}

void TDedOzovedUrad::ShowUnitEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int H)
{
    auto* Edit = dynamic_cast<TGridUnitEditBtn*>(Control);
    if (!Edit) {
        PlaceEditorControl(Control, R, EditorColor, true);
        return;
    }
    PlaceEditorControl(Edit, R, EditorColor, false, [this, Edit] {
        const String Text = EditorText(this, FGetEditTextAlign);
        TValueGuard NoChange(FNoEditChange, true);
        Edit->SetMaxLength(GetMaxEditLength());
        Edit->SetUnitID(String());
        Edit->SetText(String());
        Edit->SetTextAndUnit(Text);
        // A value without a known unit is all value.
        if (Edit->GetText().empty() && Edit->GetUnitID().empty())
            Edit->SetText(Text);
    });
    Edit->SetHeight(H);
}

void TDedOzovedUrad::ShowDateEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int H)
{
    auto* Picker = dynamic_cast<TDateTimePicker*>(Control);
    if (!Picker) {
        PlaceEditorControl(Control, R, EditorColor, false);
        return;
    }
    const TEditorType Kind = EditControl;
    // The date kinds take their value before they take the focus; the
    // time kind has no start character.
    const Char StartChar = Kind == edTimeEdit ? Char(0) : FStartEditChar;
    FStartEditChar = 0;
    PlaceEditorControl(Picker, R, EditorColor, false, [this, Picker, Kind] {
        const String Text = EditorText(this, FGetEditTextAlign);
        TValueGuard NoChange(FNoEditChange, true);
        TDateTime V = Now();
        if (Kind == edTimeEdit) {
            TDateTime T = 0;
            if (!Text.empty() && TryStrToTime(Text, T))
                V = T;
            Picker->SetKind(dtkTime);
        } else {
            const TDateTime Min = Picker->GetMinDate(), Max = Picker->GetMaxDate();
            if (Text.empty()) {
                if (Min != 0 && V < Min)
                    V = Min;
                if (Max != 0 && V > Max)
                    V = Max;
            } else if (OnCustomStrToDate) {
                OnCustomStrToDate(this, Text, V);
            } else {
                TDateTime D = 0;
                if (Picker->GetFormat().empty() ? TryStrToDate(Text, D) : TryStrToDateTime(Text, D)) {
                    V = D;
                    if (Max != 0 && V > Max)
                        V = Max - 1;
                    if (Min != 0 && V <= Min)
                        V = Min + 1;
                }
            }
            Picker->SetKind(dtkDate);
            Picker->SetDateMode(Kind == edDateEditUpDown ? dmUpDown : dmComboBox);
        }
        try {
            Picker->SetDateTime(V);
        } catch (const Exception&) {
            // Outside the picker's range: it keeps its value.
        }
    });
    if (Picker->GetHeight() != H)
        Picker->SetHeight(H);
    PostStartChar(Picker, StartChar);
    if (Kind != edTimeEdit && FMouseActions->GetDirectDateDrop() && Picker->HandleAllocated())
        SendMessage(Picker->GetHandle(), WM_KEYDOWN, VK_F4, 0);
}

void TDedOzovedUrad::ShowDateTimeEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int W, int H)
{
    auto* Picker = dynamic_cast<IGridDateTimePicker*>(Control);
    if (!Picker) {
        PlaceEditorControl(Control, R, EditorColor, false);
        return;
    }
    FStartEditChar = 0;
    PlaceEditorControl(Control, R, EditorColor, false, [this, Picker] {
        const String Text = EditorText(this, FGetEditTextAlign);
        TValueGuard NoChange(FNoEditChange, true);
        TDateTime V = 0;
        if (Text.empty() || !TryStrToDateTime(Text, V))
            V = Now();
        FOriginalDateTime = V;
        Picker->PickerLoad(V);
    });
    const int MinWidth = Picker->PickerMinimumWidth();
    if (MinWidth >= 0 && W < MinWidth) {
        int Left = R.Left;
        if (Left + MinWidth > GetClientWidth())
            Left = R.Left + W - MinWidth;
        Control->SetBounds(Left, Control->GetTop(), MinWidth, Control->GetHeight());
    }
    if (Control->GetHeight() < H)
        Control->SetHeight(H);
}

void TDedOzovedUrad::EditorTextChanged(HWND From)
{
    if (!FShowEditProcess || !EditMode || FNoEditChange || !From)
        return;
    TWinControl* Editor = nullptr;
    switch (EditControl) {
    case edSpinEdit:
    case edFloatSpinEdit:
    case edTimeSpinEdit:
    case edDateSpinEdit:
        Editor = FEditSpin;
        break;
    case edEditBtn:
    case edNumericEditBtn:
    case edFloatEditBtn:
    case edMaskEditBtn:
        Editor = FEditBtn;
        break;
    default:
        return;
    }
    if (!Editor || !Editor->HandleAllocated() || Editor->GetHandle() != From)
        return;
    const TPoint Base = BaseCell(GetRealCol(), GetRow());
    TBaseGrid::SetEditText(Base.X, Base.Y, Editor->GetText());
}
