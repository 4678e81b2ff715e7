// The grid's editors as the application sees them: the controls, made the
// first time they are asked for, the combo item list all combo cells share,
// the control now editing and the small hooks of the editing area.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "grid/core/GridTypedEditors.h"
#include "grid/core/LumRichEdit.h"

// ---- the editor controls ----

// Made with the grid as owner and parent, hidden: by the factory registered
// for the kind when there is one (it replaces the grid's own editor), else
// the grid's own editor of the kind; nil for a kind nobody makes.
TWinControl* TDedOzovedUrad::MakeEditor(TWinControl*& Field, TEditorType Kind)
{
    if (Field || TBaseGrid::IsDestroying())
        return Field;
    Field = GridEditorRegistry::Create(Kind, this);
    if (!Field)
        Field = MakeTypedEditor(Kind);
    if (!Field)
        return nullptr;
    if (Field->GetOwner() != this) {
        if (TComponent* Owner = Field->GetOwner())
            Owner->RemoveComponent(Field);
        InsertComponent(Field);
    }
    Field->SetVisible(false);
    Field->SetParent(this);
    return Field;
}

TWinControl* TDedOzovedUrad::GetCombobox() { return MakeEditor(FEditCombo, edComboEdit); }

TWinControl* TDedOzovedUrad::MakeTypedEditor(TEditorType Kind)
{
    switch (Kind) {
    case edSpinEdit: {
        auto* Spin = new TGridSpin(this);
        Spin->SetBorderStyle(bsNone);
        Spin->SetIsWinXP(FIsWinXP);
        return Spin;
    }
    case edComboEdit: return new TGridCombo(this);
    case edCheckBox: return new TGridCheckBox(this);
    case edButton: return new TGridButton(this);
    case edEditBtn: {
        auto* Edit = new TGridEditBtn(this);
        Edit->SetBorderStyle(bsNone);
        Edit->SetButtonCaption(u"...");
        return Edit;
    }
    case edUnitEditBtn: {
        auto* Edit = new TGridUnitEditBtn(this);
        Edit->SetBorderStyle(bsNone);
        Edit->SetButtonCaption(u"...");
        return Edit;
    }
    case edDateEdit: return new TGridDatePicker(this);
    default: return nullptr;
    }
}

TWinControl* TDedOzovedUrad::GetSpinEdit()
{
    const bool Made = !FEditSpin;
    TWinControl* Spin = MakeEditor(FEditSpin, edSpinEdit);
    if (Made && Spin)
        Spin->SetEnabled(false);
    return Spin;
}

TWinControl* TDedOzovedUrad::GetDateTimePicker()
{
    const bool Made = !FEditDate;
    TWinControl* Picker = MakeEditor(FEditDate, edDateEdit);
    if (Made && Picker) {
        Picker->SetEnabled(false);
        if (auto* P = dynamic_cast<TDateTimePicker*>(Picker)) {
            P->OnCloseUp = [this](TObject* Sender) { DatePickerCloseUp(Sender); };
            P->OnChange = [this, P](TObject*) { DatePickerChanged(P); };
            P->OnDropDown = [this, P](TObject*) {
                auto* G = dynamic_cast<TGridDatePicker*>(P);
                DatePickerDropDown(P, !G || G->GetShowToday(), !G || G->GetShowTodayCircle(), G && G->GetWeeknumbers());
            };
        }
    }
    return Picker;
}

TWinControl* TDedOzovedUrad::GetDateAndTimePicker()
{
    const bool Made = !FEditDateTime;
    TWinControl* Picker = MakeEditor(FEditDateTime, edDateTimeEdit);
    if (Made && Picker) {
        Picker->SetEnabled(false);
        if (auto* P = dynamic_cast<TDateTimePicker*>(Picker))
            P->OnCloseUp = [this](TObject* Sender) { DatePickerCloseUp(Sender); };
    }
    return Picker;
}

TWinControl* TDedOzovedUrad::GetEditBtnEditor() { return MakeEditor(FEditBtn, edEditBtn); }
TWinControl* TDedOzovedUrad::GetUnitEditBtnEditor() { return MakeEditor(FUnitEditBtn, edUnitEditBtn); }
TWinControl* TDedOzovedUrad::GetCheckEditor() { return MakeEditor(FEditCheck, edCheckBox); }
TWinControl* TDedOzovedUrad::GetGridButtonEditor() { return MakeEditor(FGridButton, edButton); }

TWinControl* TDedOzovedUrad::DropDownEditor(TEditorType Kind)
{
    for (auto& [Made, Control] : FDropDownEditors)
        if (Made == Kind)
            return Control;
    TWinControl* Control = nullptr;
    if (!MakeEditor(Control, Kind))
        return nullptr;
    FDropDownEditors.emplace_back(Kind, Control);
    return Control;
}

TLumRichEdit* TDedOzovedUrad::GetInplaceRichEdit()
{
    if (!FInplaceRichEdit && !TBaseGrid::IsDestroying()) {
        FInplaceRichEdit = new TLumRichEdit(this);
        FInplaceRichEdit->SetVisible(false);
        FInplaceRichEdit->SetParent(this);
        FInplaceRichEdit->OnSelectionChange = [this](TObject* Sender) { RichEditSelectionChange(Sender); };
    }
    return FInplaceRichEdit;
}

void TDedOzovedUrad::ForgetEditor(TComponent* AComponent)
{
    for (TWinControl** Field :
        { &FEditCombo, &FEditSpin, &FEditDate, &FEditDateTime, &FEditBtn, &FUnitEditBtn, &FEditCheck, &FGridButton })
        if (*Field == AComponent)
            *Field = nullptr;
    std::erase_if(FDropDownEditors, [AComponent](const auto& Entry) { return Entry.second == AComponent; });
    if (EditCtrl == AComponent)
        EditCtrl = nullptr;
}

TWinControl* TDedOzovedUrad::GetCellEditor()
{
    if (!EditMode)
        return nullptr;
    if (EditCtrl)
        return EditCtrl;
    return GetInplaceEditor();
}

// ---- the combo items ----

void TDedOzovedUrad::ClearComboString() { FComboItems->Clear(); }

void TDedOzovedUrad::AddComboString(const String& s) { FComboItems->Add(s); }

void TDedOzovedUrad::AddComboStringObject(const String& s, TObject* AObject) { FComboItems->AddObject(s, AObject); }

bool TDedOzovedUrad::RemoveComboString(const String& s)
{
    const int Index = FComboItems->IndexOf(s);
    if (Index < 0)
        return false;
    FComboItems->Delete(Index);
    return true;
}

bool TDedOzovedUrad::SetComboSelectionString(const String& s)
{
    const int Index = FComboItems->IndexOf(s);
    if (Index < 0)
        return false;
    FComboIdx = Index;
    return true;
}

void TDedOzovedUrad::SetComboSelection(int idx)
{
    FComboIdx = idx;
    FForceComboSel = true;
}

int TDedOzovedUrad::GetComboCount() const { return FComboItems->GetCount(); }

int TDedOzovedUrad::GetComboIndex(int ACol, int ARow)
{
    DoGetEditorProp(ACol, ARow, nullptr);
    return FComboItems->IndexOf(GetCells(ACol, ARow));
}

void TDedOzovedUrad::SetComboIndex(int ACol, int ARow, int Value)
{
    DoGetEditorProp(ACol, ARow, nullptr);
    // An index outside the items raises the list's index error.
    SetCells(ACol, ARow, FComboItems->GetStrings(Value));
}

// ---- hooks of the editing area ----

void TDedOzovedUrad::DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink)
{
    if (OnGetEditorProp)
        OnGetEditorProp(this, ACol, ARow, AEditLink);
    if (OnGetEditorPropInt)
        OnGetEditorPropInt(this, ACol, ARow);
}

bool TDedOzovedUrad::WantsEditorTab()
{
    return GetOptions().Contains(goTabs) || OnCellValidate || OnCellValidateWide;
}

bool TDedOzovedUrad::IsPasswordCell(int ACol, int ARow)
{
    bool IsPassword = false;
    DoIsPasswordCell(ACol, ARow, IsPassword);
    return IsPassword;
}

String TDedOzovedUrad::EllipsClick(const String& Text)
{
    String S = Text;
    if (OnEllipsClick)
        OnEllipsClick(this, GetRealCol(), GetRow(), S);
    return S;
}
