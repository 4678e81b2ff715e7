#include "dropdown/GridDropDownEditors.h"

#include <cmath>

#include "grid/core/ControlLook.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"

QT_PUBLISHED(TGridTrackbarDropDown)
QT_PUBLISHED(TGridMemoDropDown)
QT_PUBLISHED(TGridCalculatorDropDown)
QT_PUBLISHED(TGridTimepickerDropDown)
QT_PUBLISHED(TGridDetailPickerDropDown)
QT_PUBLISHED(TGridGridDropDown)
QT_PUBLISHED(TGridRirEvozDropDown)
QT_PUBLISHED(TGridColorDropDown)
QT_PUBLISHED(TGridImageDropDown)
QT_PUBLISHED(TGridControlDropDown, QT_PROP(WantArrows))

// ---- the family ----

template<class Base>
TGridDropDownOf<Base>::TGridDropDownOf(TComponent* AOwner, TGridDropDownOptions Options)
    : Base(AOwner)
    , FRules(*this, dynamic_cast<TDedOzovedUrad*>(AOwner), Options)
{
}

template<class Base>
LRESULT TGridDropDownOf<Base>::BaseWantSpecialKey(WORD Key)
{
    TMessage Message {};
    Message.Msg = CM_WANTSPECIALKEY;
    Message.WParam = Key;
    Base::Dispatch(Message);
    return Message.Result;
}

template<class Base>
void TGridDropDownOf<Base>::Dispatch(TMessage& Message)
{
    if (Message.Msg == CM_WANTSPECIALKEY && GetGrid()) {
        Message.Result = FRules.WantSpecialKey(WORD(Message.WParam));
        return;
    }
    if (Message.Msg == WM_KEYDOWN && GetGrid()) {
        // The list pickers move their selection with the navigation keys
        // before any key-down handler sees them; the keys that end the
        // edit must reach the rules first.
        WORD Key = WORD(Message.WParam);
        const TShiftState Shift = GetKeyShiftState();
        // End goes on to the edit, which moves the caret.
        const bool Navigation = Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN
            || (Key == VK_HOME && FRules.GetOptions().ColorKeys);
        if (Navigation && FRules.Handles(Key, Shift)) {
            FRules.KeyDown(Key, Shift);
            Message.WParam = Key;
            Message.Result = 0;
            return;
        }
    }
    Base::Dispatch(Message);
}

template<class Base>
void TGridDropDownOf<Base>::PrepareForCell(TDedOzovedUrad* Grid)
{
    Base::SetDropDownHeader(Grid->GetControlLook()->GetDropDownHeader());
    Base::SetDropDownFooter(Grid->GetControlLook()->GetDropDownFooter());
    Base::SetComponentStyle(Grid->GetUIStyle());
    Base::SetBorderStyle(bsNone);
    Base::OnDropDownHeaderButtonClick
        = [Grid](TObject* Sender, int ButtonIndex) { Grid->DropDownHeaderButtonClick(Sender, ButtonIndex); };
    Base::OnDropDownFooterButtonClick
        = [Grid](TObject* Sender, int ButtonIndex) { Grid->DropDownFooterButtonClick(Sender, ButtonIndex); };
}

template<class Base>
void TGridDropDownOf<Base>::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    WriteText(EditText);
}

template<class Base>
void TGridDropDownOf<Base>::StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow)
{
    Grid->WriteEditorText(ACol, ARow, EditorText());
}

template class TGridDropDownOf<TLumTrackBarDropDown>;
template class TGridDropDownOf<TLumMemoDropDown>;
template class TGridDropDownOf<TLumCalculatorDropdown>;
template class TGridDropDownOf<TLumTimePickerDropDown>;
template class TGridDropDownOf<TLumDetailDropDown>;
template class TGridDropDownOf<LumMultiColumnDropDown::TLumMultiColumnDropDown>;
template class TGridDropDownOf<DuzEzirezUderArirOver::TCustomRirEvozDropDown>;
template class TGridDropDownOf<TLumColorPickerDropDown>;
template class TGridDropDownOf<TLumImagePickerDropDown>;
template class TGridDropDownOf<TLumControlDropDown>;

// ---- the members ----

TGridTrackbarDropDown::TGridTrackbarDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions { .FormattedRestore = true, .ClaimEnterEsc = true })
{
    SetEditorEnabled(true);
}

void TGridTrackbarDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    // A text that is no whole number starts the bar at its minimum.
    int Value = GetMin();
    if (!TryStrToInt(Trim(EditText), Value))
        Value = GetMin();
    SetPosition(Value);
    // The edit shows the value: it is what the grid stores back.
    SetRawText(IntToStr(GetPosition()));
}

TGridMemoDropDown::TGridMemoDropDown(TComponent* AOwner) : TGridDropDownOf(AOwner, TGridDropDownOptions {}) { }

void TGridMemoDropDown::SetLines(const String& Text)
{
    TStringList Lines;
    Lines.SetText(Text);
    SetMemoText(&Lines);
}

void TGridMemoDropDown::WriteRawText(const String& Value)
{
    SetLines(Value);
}

void TGridMemoDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText) { SetLines(EditText); }

String TGridMemoDropDown::Lines()
{
    TStrings* Memo = GetMemoText();
    String Text;
    for (int i = 0; i < Memo->GetCount(); ++i) {
        if (i > 0)
            Text += u"\r\n";
        Text += Memo->GetStrings(i);
    }
    return Text;
}

void TGridMemoDropDown::StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) { Grid->WriteEditorText(ACol, ARow, Lines()); }

TGridCalculatorDropDown::TGridCalculatorDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions {})
{
    SetEditorEnabled(true);
}

void TGridCalculatorDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    Char Clear = u'C';
    TLumCalculatorDropdown::KeyPress(Clear);
    SetText(EditText);
}

TGridTimepickerDropDown::TGridTimepickerDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions {})
{
    SetFocusDraw(false);
}

void TGridTimepickerDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    SetText(EditText);
    SetEditorEnabled(true);
}

TGridDetailPickerDropDown::TGridDetailPickerDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions {})
{
}

void TGridDetailPickerDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    SetText(EditText);
    SetEditorEnabled(true);
    const int Index = GetItems()->IndexOf(EditText);
    if (Index >= 0)
        SetItemIndex(Index);
}

TGridGridDropDown::TGridGridDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions { .CancelDropDownOnEsc = true })
{
}

void TGridGridDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    SetEditorEnabled(true);
    BeginUpdate();
    EndUpdate();
    SetItemIndex(EditText.empty() ? 0 : GetItemIndex(EditText));
    SetText(EditText);
}

TGridRirEvozDropDown::TGridRirEvozDropDown(TComponent* AOwner) : TGridDropDownOf(AOwner, TGridDropDownOptions {}) { }

void TGridRirEvozDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    BeginUpdate();
    EndUpdate();
    // Only an item whose lookup text is the cell's whole value is selected.
    int Index = -1;
    for (int i = 0; GetUseItems() && Index < 0 && i < GetItems()->GetCount(); ++i)
        if (GetItems()->GetItem(i)->Line(GetLookupColumn()) == EditText)
            Index = i;
    SetItemIndex(Index);
    SetText(EditText);
}

TGridColorDropDown::TGridColorDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions { .ClaimEnterEsc = true, .ColorKeys = true })
{
    AddDefaultColors();
    OnSelect = [this](TObject*) {
        if (TDedOzovedUrad* Grid = GetGrid())
            Grid->ColorSelected(GetSelectedColor(), GetSelectedColorText());
    };
}

void TGridColorDropDown::LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String&)
{
    BeginUpdate();
    const double Scale = Grid->GetDPIScale() > 0 ? Grid->GetDPIScale() : 1.0;
    TFont* Font = GetItemAppearance()->GetFont();
    Font->Assign(Grid->GetFont());
    Font->SetHeight(int(RoundHalfEven(Grid->GetFont()->GetHeight() / Scale)));
    SetDropDownWidth(int(RoundHalfEven(Grid->GetColWidths(Grid->GetCol()) / Scale)));
    TColor Color;
    if (Grid->GetCellType(ACol, ARow) == ctShape) {
        Color = Grid->GetShapeColor(ACol, ARow);
    } else {
        Color = Grid->GetColors(ACol, ARow);
        if (Color == clNone)
            Color = Grid->GetColor();
    }
    SetSelectedColor(Color);
    FLoadedColor = GetSelectedColor();
    EndUpdate();
}

void TGridColorDropDown::StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow)
{
    TColor Color = GetSelectedColor();
    String Value = GetSelectedColorText();
    if (Grid->OnColorSelected)
        Grid->OnColorSelected(Grid, ACol, ARow, Color, Value);
    if (Grid->GetCellType(ACol, ARow) == ctShape) {
        Grid->SetShapeColor(ACol, ARow, Color);
        // A commit wrote the colour's text into the cell on the way.
        if (Grid->GetCellCache().empty())
            Grid->WriteEditorText(ACol, ARow, String());
        return;
    }
    Grid->WriteEditorText(ACol, ARow, Value);
    Grid->SetColors(ACol, ARow, Color);
}

void TGridColorDropDown::DropDownHidden()
{
    TLumColorPickerDropDown::DropDownHidden();
    TDedOzovedUrad* Grid = GetGrid();
    if (Grid && Grid->GetMouseActions()->GetDirectComboClose() && Grid->CanFocus())
        Grid->SetFocus();
}

TGridImageDropDown::TGridImageDropDown(TComponent* AOwner) : TGridDropDownOf(AOwner, TGridDropDownOptions {})
{
    OnSelect = [this](TObject*) {
        if (TDedOzovedUrad* Grid = GetGrid())
            Grid->ImageSelected(GetItemIndex());
    };
}

void TGridImageDropDown::LoadCell(TDedOzovedUrad* Grid, int ACol, int ARow, const String&)
{
    const TCellType Type = Grid->GetCellType(ACol, ARow);
    if (Type == ctImageList || Type == ctDataImage) {
        if (TCustomImageList* Images = Grid->GetGridImageList()) {
            SetImages(Images);
            if (GetItems()->GetCount() == 0)
                AddImagesFromImageList();
        }
        int Index = -1;
        if (Type == ctImageList) {
            if (!Grid->GetImageIdx(ACol, ARow, Index))
                Index = -1;
        } else {
            Index = Grid->GetInts(ACol, ARow);
        }
        SetImageIndex(Index);
    }
    FLoadedItem = GetItemIndex();
    const int Item = GetItemIndex();
    SetText(Item >= 0 && Item < GetItems()->GetCount() ? GetItems()->GetItem(Item)->GetCaption() : String());
}

void TGridImageDropDown::StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow)
{
    int Index = GetImageIndex();
    if (Grid->OnImageSelected)
        Grid->OnImageSelected(Grid, ACol, ARow, Index);
    const TCellType Type = Grid->GetCellType(ACol, ARow);
    if (Type == ctImageList)
        Grid->SetImageIdx(ACol, ARow, Index);
    else if (Type == ctDataImage)
        Grid->WriteEditorText(ACol, ARow, IntToStr(Index));
}

TGridControlDropDown::TGridControlDropDown(TComponent* AOwner)
    : TGridDropDownOf(AOwner, TGridDropDownOptions { .ArrowsToContent = true })
{
}

void TGridControlDropDown::LoadCell(TDedOzovedUrad*, int, int, const String& EditText)
{
    SetEditorEnabled(true);
    SetText(EditText);
}

// ---- registration ----

namespace {

// The grid is owner and parent; every drop-down editor takes the grid's
// style and tones when it is made.
template<class Editor>
void RegisterKind(TEditorType Kind)
{
    GridEditorRegistry::Register(Kind, [](TDedOzovedUrad* Grid) -> TWinControl* {
        auto* Made = new Editor(Grid);
        Made->SetComponentStyle(Grid->GetUIStyle());
        return Made;
    });
}

} // namespace

void RegisterGridDropDownEditors()
{
    RegisterKind<TGridTrackbarDropDown>(edTrackbarDropDown);
    RegisterKind<TGridMemoDropDown>(edMemoDropDown);
    RegisterKind<TGridCalculatorDropDown>(edCalculatorDropDown);
    RegisterKind<TGridTimepickerDropDown>(edTimePickerDropDown);
    RegisterKind<TGridDetailPickerDropDown>(edDetailDropDown);
    RegisterKind<TGridGridDropDown>(edGridDropDown);
    RegisterKind<TGridRirEvozDropDown>(edRirEvozDropDown);
    RegisterKind<TGridColorDropDown>(edColorPickerDropDown);
    RegisterKind<TGridImageDropDown>(edImagePickerDropDown);
    RegisterKind<TGridControlDropDown>(edControlDropDown);
}
