#include "dropdown/LumMultiColumnDropDown.h"

#include <algorithm>

#include "dropdown/DropDownStyleRows.h"
#include "dropdown/LumDropDownForm.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace LumMultiColumnDropDown {

QT_PUBLISHED(TDropDownColumn, QT_PROP(Wordwrap), QT_PROP(Width), QT_PROP(AutoSize), QT_PROP(Header),
    QT_PROP_T(Color, u"TColor"), QT_PROP(ColumnType), QT_PROP(Font), QT_PROP(Ellipsis))
QT_PUBLISHED(TDropDownColumns)
QT_PUBLISHED(TDropDownItem, QT_PROP(ImageIndex), QT_PROP(Text), QT_PROP(Tag))
QT_PUBLISHED(TDropDownItems)
QT_PUBLISHED(TLumMultiColumnDropDown, QT_PROP(ColumnSizing), QT_PROP(LookupColumn), QT_PROP_T(HeaderColorTo, u"TColor"),
    QT_PROP_T(HeaderColor, u"TColor"), QT_PROP_T(LineColor, u"TColor"), QT_PROP(Items), QT_PROP(Columns),
    QT_PROP(HeaderHeight), QT_PROP(HeaderFont), QT_PROP_T(FixedLineColor, u"TColor"), QT_PROP(DropDownAutoWidth),
    QT_PROP(ColumnSizeWithDropDown), QT_PROP_T(SelectionTextColor, u"TColor"), QT_PROP(DropDownRowHeight),
    QT_PROP(CaseSensitive), QT_PROP(HoverSelect), QT_PROP(LookupIncr), QT_EVENT(OnSelect))

namespace {

struct TFlagGuard {
    bool& Flag;
    bool Saved;
    TFlagGuard(bool& F, bool Value) : Flag(F), Saved(F) { Flag = Value; }
    ~TFlagGuard() { Flag = Saved; }
};

bool StartsWith(const String& S, const String& Prefix) { return S.compare(0, Prefix.size(), Prefix) == 0; }

} // namespace

// ---- columns and items ----

TDropDownColumn::TDropDownColumn(TCollection* Collection)
    : TCollectionItem(Collection)
    , FFont(std::make_unique<TFont>())
{
}

TDropDownColumn::~TDropDownColumn() = default;

void TDropDownColumn::Assign(TPersistent* Source)
{
    auto* O = dynamic_cast<TDropDownColumn*>(Source);
    if (!O) {
        TCollectionItem::Assign(Source);
        return;
    }
    FWordwrap = O->FWordwrap;
    FWidth = O->FWidth;
    FAutoSize = O->FAutoSize;
    FHeader = O->FHeader;
    FAlignment = O->FAlignment;
    FColor = O->FColor;
    FColumnType = O->FColumnType;
    FFont->Assign(O->FFont.get());
    FEllipsis = O->FEllipsis;
}

TDropDownItem::TDropDownItem(TCollection* Collection)
    : TCollectionItem(Collection)
    , FText(std::make_unique<TStringList>())
{
}

TDropDownItem::~TDropDownItem() = default;

void TDropDownItem::Assign(TPersistent* Source)
{
    auto* O = dynamic_cast<TDropDownItem*>(Source);
    if (!O) {
        TCollectionItem::Assign(Source);
        return;
    }
    FImageIndex = O->FImageIndex;
    FText->Assign(O->FText.get());
    FTag = O->FTag;
}

String TDropDownItem::Line(int Column) const
{
    return Column >= 0 && Column < FText->GetCount() ? FText->GetStrings(Column) : String();
}

int TDropDownItems::IndexInColumn(int Column, const String& Value) const
{
    for (int i = 0; i < GetCount(); ++i) {
        TStrings* Lines = GetItem(i)->GetText();
        if (Column >= 0 && Column < Lines->GetCount() && Lines->GetStrings(Column) == Value)
            return i;
    }
    return -1;
}

// ---- TLumMultiColumnDropDown ----

TLumMultiColumnDropDown::TLumMultiColumnDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FItems(std::make_unique<TDropDownItems>(this))
    , FColumns(std::make_unique<TDropDownColumns>(this))
    , FHeaderFont(std::make_unique<TFont>())
    , FLookupItems(std::make_unique<TStringList>())
{
    FLookupItems->SetCaseSensitive(false);
    SetDropDownColor(TColor(0xFFFFFF));
    SetDropDownHeight(200);
    SetAutoSelect(true);
    SetSelectionColorStyle(scOffice2007);
}

TLumMultiColumnDropDown::~TLumMultiColumnDropDown()
{
    if (FLumColGrid) {
        FLumColGrid->OnSelect = nullptr;
        FLumColGrid->OnSelectCell = nullptr;
        FLumColGrid->SetLumDropDown(nullptr);
    }
}

void TLumMultiColumnDropDown::Assign(TPersistent* Source)
{
    TLumCustomDropDown::Assign(Source);
    auto* O = dynamic_cast<TLumMultiColumnDropDown*>(Source);
    if (!O)
        return;
    FCaseSensitive = O->FCaseSensitive;
    FDropDownAutoWidth = O->FDropDownAutoWidth;
    FDropDownRowHeight = O->FDropDownRowHeight;
    FLineColor = O->FLineColor;
    FFixedLineColor = O->FFixedLineColor;
    FColumnSizing = O->FColumnSizing;
    FColumnSizeWithDropDown = O->FColumnSizeWithDropDown;
    FColumns->Assign(O->FColumns.get());
    FHeaderColor = O->FHeaderColor;
    FHeaderColorTo = O->FHeaderColorTo;
    FHeaderHeight = O->FHeaderHeight;
    FHeaderFont->Assign(O->FHeaderFont.get());
    FLookupColumn = O->FLookupColumn;
    FSelectionTextColor = O->FSelectionTextColor;
    FItems->Assign(O->FItems.get());
    FItemIndex = O->FItemIndex;
}

void TLumMultiColumnDropDown::Loaded()
{
    TLumCustomDropDown::Loaded();
    RebuildLookupList();
}

String TLumMultiColumnDropDown::LookupText(int Index) const
{
    if (Index < 0 || Index >= FItems->GetCount())
        return String();
    return FItems->GetItem(Index)->Line(FLookupColumn);
}

String TLumMultiColumnDropDown::Cased(const String& S) const { return FCaseSensitive ? S : AnsiUpperCase(S); }

void TLumMultiColumnDropDown::RebuildLookupList()
{
    if (FLookupColumn < 0 || FItems->GetCount() == 0)
        return;
    FLookupItems->Clear();
    for (int i = 0; i < FItems->GetCount(); ++i)
        FLookupItems->Add(LookupText(i));
}

void TLumMultiColumnDropDown::SetLookupColumn(int Value)
{
    FLookupColumn = Value;
    FLookupItems->Clear();
    RebuildLookupList();
}

int TLumMultiColumnDropDown::GetItemIndex(const String& Value) const
{
    for (int i = 0; i < FItems->GetCount(); ++i)
        if (LookupText(i) == Value)
            return i;
    return -1;
}

void TLumMultiColumnDropDown::SetItemIndex(int Value)
{
    if (Value >= FItems->GetCount())
        return;
    FItemIndex = Value;
    SetText(Value < 0 || FLookupColumn < 0 ? String() : LookupText(Value));
}

void TLumMultiColumnDropDown::Step(int Index)
{
    if (Index == FItemIndex || Index < 0 || Index >= FItems->GetCount())
        return;
    SetItemIndex(Index);
    if (OnSelect)
        OnSelect(this);
}

void TLumMultiColumnDropDown::SelectFirst() { Step(0); }
void TLumMultiColumnDropDown::SelectLast() { Step(FItems->GetCount() - 1); }
void TLumMultiColumnDropDown::SelectNext() { Step(FItemIndex < 0 ? 0 : FItemIndex + 1); }
void TLumMultiColumnDropDown::SelectPrevious() { Step(FItemIndex < 0 ? 0 : FItemIndex - 1); }

void TLumMultiColumnDropDown::SelectNextPage()
{
    Step(FItemIndex < 0 ? 0 : std::min(FItemIndex + 10, FItems->GetCount() - 1));
}

void TLumMultiColumnDropDown::SelectPreviousPage() { Step(FItemIndex < 0 ? 0 : std::max(FItemIndex - 10, 0)); }

// ---- the window ----

void TLumMultiColumnDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (FLumColGrid || !GetDropDownForm())
        return;
    FLumColGrid = new DOdoZedAvud(this);
    FLumColGrid->SetParent(GetDropDownForm());
    FLumColGrid->SetLumDropDown(this);
    FLumColGrid->SetBounds(0, 0, FLumColGrid->GetWidth(), 180);
    FLumColGrid->SetColor(GetDropDownColor());
    FLumColGrid->SetDoubleBuffered(true);
}

void TLumMultiColumnDropDown::PlaceDropDownControl()
{
    if (FLumColGrid)
        SetControl(FLumColGrid);
    TLumCustomDropDown::PlaceDropDownControl();
}

void TLumMultiColumnDropDown::UpdateDropDownSize()
{
    TLumCustomDropDown::UpdateDropDownSize();
    TDropDownForm* Form = GetDropDownForm();
    if (!FDropDownAutoWidth || !Form || !FLumColGrid)
        return;
    FLumColGrid->SetAlign(alNone);
    const int W = FLumColGrid->GetTotalWidth();
    FLumColGrid->SetWidth(W);
    Form->SetWidth(W + 2 * GetDropDownBorderWidth());
    FLumColGrid->SetAlign(alClient);
}

void TLumMultiColumnDropDown::AdjustDropDownHeight(int& Height)
{
    // A row height of 0 gives no whole rows to count: the height stays.
    if (GetDropDownSizeable() || FDropDownRowHeight <= 0)
        return;
    int Strips = 0;
    if (GetDropDownHeader()->GetVisible())
        Strips += GetDropDownHeader()->GetHeight();
    if (GetDropDownFooter()->GetVisible())
        Strips += GetDropDownFooter()->GetHeight();
    const int h = Height - Strips;
    const int Rows = std::max(0, (h - FHeaderHeight - 2) / FDropDownRowHeight);
    Height = Strips + FHeaderHeight + Rows * FDropDownRowHeight + 2;
}

void TLumMultiColumnDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    if (GetDropDownForm())
        GetDropDownForm()->SetCancelOnDeActivate(false);
    FShowing = true;
    if (!FLumColGrid)
        return;
    FLumColGrid->LoadFromDropDown(this);
    FLumColGrid->SetOptions(FLumColGrid->GetOptions() + TGridOptions { goThumbTracking });
    FLumColGrid->SetColor(GetDropDownColor());
    FLumColGrid->OnSelectCell = [this](TObject*, int ACol, int ARow, bool&) { ListCellSelected(ACol, ARow); };
    FLumColGrid->OnSelect = [this](TObject* Sender) { ListSelect(Sender); };
    const int Row = FItemIndex + 1;
    FLumColGrid->SetRow(Row >= 1 && Row < FLumColGrid->GetRowCount() ? Row : 1);
    FOldItemIndex = FItemIndex;
}

void TLumMultiColumnDropDown::DoShowDropDown()
{
    if (!GetEnabled() || GetReadOnly())
        return;
    // An exception cannot leave the list's moves ignored.
    const TFlagGuard Opening(FShowing, FShowing);
    FOrgIndex = FItemIndex;
    TLumCustomDropDown::DoShowDropDown();
    if (!FLumColGrid || !GetDroppedDown()) {
        FShowing = false;
        return;
    }
    FLumColGrid->SetHoverSelect(FHoverSelect);
    SizeColumns();
    if (FLumColGrid->GetRowCount() > 1) {
        int Row = FItemIndex + 1;
        if (FItemIndex < 0 || Row >= FLumColGrid->GetRowCount())
            Row = 1;
        FLumColGrid->SetRow(Row);
        const int Visible = FLumColGrid->GetVisibleRowCount();
        if (Row < FLumColGrid->GetTopRow() || Row >= FLumColGrid->GetTopRow() + Visible)
            FLumColGrid->SetTopRow(std::max(1, Row - Visible + 1));
    }
    FShowing = false;
}

void TLumMultiColumnDropDown::DoHideDropDown(bool Cancel)
{
    if (!GetDropDownForm() || !GetDropDownForm()->GetVisible()) {
        TLumCustomDropDown::DoHideDropDown(Cancel);
        return;
    }
    TLumCustomDropDown::DoHideDropDown(Cancel);
    if (Cancel) {
        if (FItemIndex != FOldItemIndex)
            SetItemIndex(FOldItemIndex);
    } else if (FLumColGrid && FLumColGrid->GetConfirmSelection()) {
        SetItemIndex(FLumColGrid->GetRow() - 1);
    }
    FOldItemIndex = FItemIndex;
}

void TLumMultiColumnDropDown::SizeColumns()
{
    if (!FColumnSizeWithDropDown || !FLumColGrid || !GetDropDownForm())
        return;
    FLumColGrid->SetScrollBars(ssVertical);
    const int n = FColumns->GetCount();
    if (n == 0)
        return;
    int Total = 1;
    for (int i = 0; i < n; ++i)
        Total += FColumns->GetItem(i)->GetWidth();
    int Avail = GetDropDownForm()->GetWidth();
    if (!FLumColGrid->AllRowsVisible())
        Avail -= GetSystemMetrics(SM_CXVSCROLL);
    const double Ratio = double(Avail) / Total;
    double Carry = 0;
    for (int i = 0; i < FLumColGrid->GetColCount() && i < n; ++i) {
        const double Scaled = FColumns->GetItem(i)->GetWidth() * Ratio;
        const double Exact = Scaled + Carry;
        const int w = int(RoundHalfEven(Scaled));
        Carry = Exact - w;
        if (Carry > 1) {
            FLumColGrid->SetColWidths(i, w + 1);
            Carry -= 1;
        } else {
            FLumColGrid->SetColWidths(i, w);
        }
    }
}

void TLumMultiColumnDropDown::DropDownResized()
{
    TLumCustomDropDown::DropDownResized();
    if (GetDroppedDown())
        SizeColumns();
}

void TLumMultiColumnDropDown::DoWheelDown()
{
    TLumCustomDropDown::DoWheelDown();
    SelectNext();
}

void TLumMultiColumnDropDown::DoWheelUp()
{
    TLumCustomDropDown::DoWheelUp();
    SelectPrevious();
}

void TLumMultiColumnDropDown::ListCellSelected(int ACol, int ARow)
{
    if (!FLumColGrid)
        return;
    if (!FLumColGrid->GetMouseWheelSelection() && !FShowing)
        SetItemIndex(ARow - 1);
    if (OnDropDownCellClick) {
        const int Item = ARow - 1;
        const String Value = Item >= 0 && Item < FItems->GetCount() ? FItems->GetItem(Item)->Line(ACol) : String();
        OnDropDownCellClick(this, ACol, ARow, Value);
    }
}

void TLumMultiColumnDropDown::ListSelect(TObject*)
{
    if (FLumColGrid && FLumColGrid->GetConfirmSelection())
        SetItemIndex(FLumColGrid->GetRow() - 1);
    HideDropDown(false);
    if (OnSelect)
        OnSelect(this);
}

// ---- keys ----

namespace {
bool ListKey(WORD Key) { return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN; }
} // namespace

void TLumMultiColumnDropDown::ControlKeyDown(WORD& Key, TShiftState Shift)
{
    if (ListKey(Key) && !Shift.Contains(ssAlt))
        return;
    TLumCustomDropDown::ControlKeyDown(Key, Shift);
    if (Key == VK_TAB) {
        Key = 0;
        HideDropDown(false);
        SelectAll();
    }
}

void TLumMultiColumnDropDown::ControlKeyUp(WORD& Key, TShiftState Shift)
{
    if (ListKey(Key) && !Shift.Contains(ssAlt))
        return;
    TLumCustomDropDown::ControlKeyUp(Key, Shift);
}

void TLumMultiColumnDropDown::ShowListRow(int Index)
{
    if (!FLumColGrid)
        return;
    const int Row = Index + 1;
    if (Row < 1 || Row >= FLumColGrid->GetRowCount())
        return;
    const int Visible = FLumColGrid->GetVisibleRowCount();
    if (Row < FLumColGrid->GetTopRow() || Row >= FLumColGrid->GetTopRow() + Visible)
        FLumColGrid->SetTopRow(Row);
    FLumColGrid->SetCol(0);
    FLumColGrid->SetRow(Row);
}

void TLumMultiColumnDropDown::ControlKeyPress(Char& Key)
{
    static constexpr Char Keys[] = { 13, 27, 33, 34, 35, 36, 38, 40 };
    const bool KeyChar = std::find(std::begin(Keys), std::end(Keys), Key) != std::end(Keys);
    const bool Editing = FLumColGrid && FLumColGrid->GetEditorMode();
    if ((KeyChar && GetKeyState(VK_MENU) >= 0) || Editing) {
        FLookupEntry.clear();
        return;
    }
    int Found = -1;
    String Entry = FLookupEntry;
    bool SelectTail = true;
    if (Key == 8) {
        if (GetSelLength() > 0) {
            SetSelText(String());
        } else {
            if (!FLookupEntry.empty())
                FLookupEntry.pop_back();
            SetText(FLookupEntry);
        }
        SetSel(int(GetEditText().size()), int(GetEditText().size()));
    } else if (Key != 9) {
        auto Find = [&](const String& Prefix) {
            const String P = Cased(Prefix);
            for (int i = 0; i < FItems->GetCount(); ++i)
                if (StartsWith(Cased(LookupText(i)), P))
                    return i;
            return -1;
        };
        Entry += Key;
        Found = Find(Entry);
        if (Found < 0) {
            // The character alone starts a new word.
            Entry = String(1, Key);
            Found = Find(Entry);
            SelectTail = false;
        }
    }
    if (Found < 0) {
        FLookupEntry.clear();
        return;
    }
    FLookupEntry = Entry;
    // The list moves first: its selection notice writes the item's text,
    // and the typed part's selection comes after it.
    ShowListRow(Found);
    FItemIndex = Found;
    const String Text = LookupText(Found);
    SetText(Text);
    if (SelectTail)
        SetSel(int(Text.size()), int(std::min(Entry.size(), Text.size())));
}

void TLumMultiColumnDropDown::KeyDown(WORD& Key, TShiftState Shift)
{
    if (FLookupColumn < 0 || FItems->GetCount() == 0) {
        TLumCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const WORD Pressed = Key;
    if (Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE)
        FLookupStr.clear();
    if (Key == VK_RETURN && !GetReadOnly()) {
        const int i = FLookupItems->IndexOf(GetText());
        if (i >= 0) {
            SetText(FLookupItems->GetStrings(i));
            SetItemIndex(i);
            Change();
        }
        if (GetReturnIsTab()) {
            if (HandleAllocated())
                PostMessage(GetHandle(), WM_KEYDOWN, VK_TAB, 0);
            Key = 0;
        }
    }
    TLumCustomDropDown::KeyDown(Key, Shift);
    if (Pressed == VK_ESCAPE)
        SetItemIndex(FOrgIndex);
}

void TLumMultiColumnDropDown::KeyPress(Char& Key)
{
    if (GetReturnIsTab() && Key == u'\r') {
        Key = 0;
        return;
    }
    TLumCustomDropDown::KeyPress(Key);
}

void TLumMultiColumnDropDown::Change()
{
    FItemChange = false;
    TLumCustomDropDown::Change();
}

void TLumMultiColumnDropDown::KeyUp(WORD& Key, TShiftState Shift)
{
    if (!(Key == VK_RETURN && GetReturnIsTab()))
        TLumCustomDropDown::KeyUp(Key, Shift);
    if (Key == VK_BACK)
        return;
    const String Text = GetText();
    SetModifiedFlag(!Text.empty());
    String Prefix, Typed;
    if (FLookupIncr && Key > 31) {
        BYTE State[256] {};
        GetKeyboardState(State);
        char16_t Chars[4] {};
        const int n = ToUnicode(Key, MapVirtualKey(Key, MAPVK_VK_TO_VSC), State, Chars, 4, 0);
        if (n > 0)
            FLookupStr += String(Chars, std::size_t(std::min(n, 2)));
        else
            FLookupStr.clear();
        Prefix = Typed = FLookupStr;
    } else {
        FLookupStr.clear();
        const int Caret = std::clamp(GetSelStart(), 0, int(Text.size()));
        Prefix = Typed = Text.substr(0, std::size_t(Caret));
    }
    Prefix = Cased(Prefix);
    if (FLookupItems->GetCount() > 0 && !Prefix.empty()) {
        for (int i = 0; i < FLookupItems->GetCount(); ++i) {
            const String Entry = FLookupItems->GetStrings(i);
            if (!StartsWith(Cased(Entry), Prefix))
                continue;
            // The whole rest of the entry: a cut one would name no item.
            const String Completed = Text.substr(0, std::min(Prefix.size(), Text.size()))
                + Entry.substr(std::min(Prefix.size(), Entry.size()));
            SetText(Completed);
            FItemIndex = FItemIdx = i;
            FItemSel = int(Prefix.size());
            FItemChange = true;
            SetSel(int(Completed.size()), int(std::min(Prefix.size(), Completed.size())));
            if (FLumColGrid && i + 1 < FLumColGrid->GetRowCount()) {
                const TFlagGuard Quiet(FShowing, true);
                FLumColGrid->SetRow(i + 1);
            }
            return;
        }
    }
    if (!Typed.empty()) {
        SetText(Typed);
        SetSel(int(Typed.size()), int(Typed.size()));
    }
    if (FItemChange) {
        SetItemIndex(FItemIdx);
        FItemChange = false;
    }
}

void TLumMultiColumnDropDown::Dispatch(TMessage& Message)
{
    TLumCustomDropDown::Dispatch(Message);
    if (Message.Msg != WM_KEYDOWN || GetComponentState().Contains(csDesigning))
        return;
    if (!GetEnabled() || GetReadOnly() || GetKeyState(VK_MENU) < 0)
        return;
    switch (WORD(Message.WParam)) {
    case VK_PRIOR: SelectPreviousPage(); break;
    case VK_NEXT: SelectNextPage(); break;
    case VK_UP: SelectPrevious(); break;
    case VK_DOWN: SelectNext(); break;
    case VK_END:
        if (!GetEditorEnabled())
            SelectLast();
        break;
    case VK_HOME:
        if (!GetEditorEnabled())
            SelectFirst();
        break;
    default: break;
    }
}

// ---- looks ----

void TLumMultiColumnDropDown::SetSelectionColorStyle(TSelectionColorStyle Style)
{
    dropdownstyles::SelectionLineColors(Style, FLineColor, FFixedLineColor);
    TLumCustomDropDown::SetSelectionColorStyle(Style);
}

namespace {

using dropdownstyles::Same;
using dropdownstyles::TStyleRow;

const TStyleRow StyleRows[] = {
    { tsOffice2003Blue, 0xD68759, 0x933803, 0xFFFFFF, 0x962D00, 0x962D00, scOffice2007, 0, 0 },
    { tsOffice2003Silver, 0xBDA4A5, 0x957475, Same, 0x947C7C, 0x947C7C, scOffice2007, 0, 0 },
    { tsOffice2003Olive, 0x82C0AF, 0x447A63, Same, 0x588060, 0x588060, scOffice2007, 0, 0 },
    { tsOffice2003Classic, 0x808080, 0x808080, Same, 0x808080, 0x808080, scOffice2007, 0, 0 },
    { tsOffice2007Luna, 0xFFEFE3, 0xFFD2AF, 0x723708, 0xFFD2AF, 0xFFD2AF, scOffice2007, 0, 0 },
    { tsOffice2007Obsidian, 0xF2F1F0, 0xC9C2BD, 0x433C37, 0x5C534C, 0x5C534C, scOffice2007, 0, 0 },
    { tsWindowsXP, clBtnFace, clBtnFace, 0, 0xC0C0C0, 0, scCustom, clHighlight, clHighlightText },
    { tsWhidbey, 0xEBEEEF, 0x7E9898, 0xFFFFFF, 0x962D00, 0x962D00, scOffice2007, 0, 0 },
    { tsOffice2007Silver, 0xF8F7F6, 0xE8E0DB, 0x8B4215, 0x74706F, 0x74706F, scOffice2007, 0, 0 },
    { tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0, 0xFCF2DA, 0xFCF2DA, scWindowsVista, 0, 0 },
    { tsWindows7, 0xFDFBFA, 0xFDF3EB, 0, 0xFBD6B8, 0xFBD6B8, scWindows7, 0, 0 },
    { tsTerminal, clBtnFace, clBtnFace, 0, 0x808080, 0x808080, scCustom, clHighlight, clHighlightText },
    { tsOffice2010Blue, 0xEDDBCD, clNone, 0x5B391E, 0xEEDDCF, 0xEEDDCF, scCustom, 0x6CD0FF, 0 },
    { tsOffice2010Silver, 0xEDE9E5, clNone, 0x5B391E, 0xEEDDCF, 0xEEDDCF, scCustom, 0x6CD0FF, 0 },
    { tsOffice2010Black, 0x828282, clNone, 0xD7D7D6, 0xEEDDCF, 0xEEDDCF, scCustom, 0x6CD0FF, 0 },
    { tsWindows8, 0xF7F6F5, clNone, 0, 0xE4E3E2, 0xE4E3E2, scCustom, 0xF7E0C9, 0 },
    { tsWindows10, 0xF7F6F5, clNone, 0, 0xE4E3E2, 0xE4E3E2, scCustom, 0xF7E0C9, 0 },
    { tsOffice2013White, 0xFFFFFF, clNone, 0, 0xD4D4D4, 0xD4D4D4, scCustom, 0xFCE2C8, 0 },
    { tsOffice2013LightGray, 0xF6F6F6, clNone, 0, 0xC6C6C6, 0xC6C6C6, scCustom, 0xFCE2C8, 0 },
    { tsOffice2013Gray, 0xE5E5E5, clNone, 0, 0xABABAB, 0xABABAB, scCustom, 0xFCE2C8, 0 },
    { tsOffice2016White, 0xFFFFFF, clNone, 0, 0xD4D4D4, 0xD4D4D4, scCustom, 0xE3BDA3, 0 },
    { tsOffice2016Gray, 0x444444, clNone, 0xF0F0F0, 0x444444, 0x444444, scCustom, 0xB2B2B2, 0 },
    { tsOffice2016Black, 0x444444, clNone, 0xFFFFFF, 0x6A6A6A, 0x6A6A6A, scCustom, 0x444444, 0xFFFFFF },
    { tsOffice2019White, 0xFFFFFF, clNone, 0x444648, 0xD4D4D4, 0xABABAB, scCustom, 0xF2E1D5, 0x3B3B3B },
    { tsOffice2019Gray, 0x232425, clNone, 0xF0F0F0, 0xD4D4D4, 0x999999, scCustom, 0x969696, 0x232425 },
    { tsOffice2019Black, 0x303132, clNone, 0xFFFFFF, 0xD4D4D4, 0x999999, scCustom, 0x505050, 0xFFFFFF },
};

} // namespace

void TLumMultiColumnDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    SetSelectionColorStyle(scCustom);
    TLumCustomDropDown::SetComponentStyle(AStyle);
    const TStyleRow* R = dropdownstyles::FindStyleRow(StyleRows, AStyle);
    if (!R)
        return;
    FHeaderColor = R->Header;
    FHeaderColorTo = R->HeaderTo;
    if (R->HeaderFont != Same)
        FHeaderFont->SetColor(R->HeaderFont);
    if (R->Selection != scCustom) {
        SetSelectionColorStyle(R->Selection);
    } else {
        SetSelectionColor(R->SelectionColor);
        SetSelectionColorTo(R->SelectionColor);
    }
    FLineColor = R->Line;
    FFixedLineColor = R->FixedLine;
    FSelectionTextColor = R->SelectionText;
}

} // namespace LumMultiColumnDropDown
