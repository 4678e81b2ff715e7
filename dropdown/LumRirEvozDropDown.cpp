#include "dropdown/LumRirEvozDropDown.h"

#include <algorithm>
#include <cstdint>

#include "dropdown/DropDownStyleRows.h"
#include "dropdown/LumDropDownForm.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

namespace DuzEzirezUderArirOver {

QT_PUBLISHED(TDropDownColumn, QT_PROP(Wordwrap), QT_PROP(Width), QT_PROP(AutoSize), QT_PROP(Header),
    QT_PROP(Alignment), QT_PROP_T(Color, u"TColor"), QT_PROP(ColumnType), QT_PROP(Font), QT_PROP(Ellipsis))
QT_PUBLISHED(TDropDownColumns)
QT_PUBLISHED(TDropDownItem, QT_PROP(ImageIndex), QT_PROP(Text))
QT_PUBLISHED(TDropDownItems)
QT_PUBLISHED(TCustomRirEvozDropDown, QT_PROP(CaseSensitive), QT_PROP(ColumnSizing), QT_PROP(ColumnMoving),
    QT_PROP(LookupColumn), QT_PROP(LookupMethod), QT_PROP_T(HeaderColorTo, u"TColor"), QT_PROP_T(HeaderColor, u"TColor"),
    QT_PROP_T(LineColor, u"TColor"), QT_PROP(UseItems), QT_PROP(Items), QT_PROP(Columns), QT_PROP(HeaderHeight),
    QT_PROP(HeaderFont), QT_PROP_T(FixedLineColor, u"TColor"), QT_PROP(RowSelect), QT_PROP(DropDownAutoWidth),
    QT_PROP(ColumnSizeWithDropDown), QT_PROP_T(SelectionTextColor, u"TColor"), QT_PROP(DropDownRowHeight),
    QT_PROP(Style), QT_PROP(HoverRow), QT_PROP_T(HoverRowColor, u"TColor"), QT_PROP_T(HoverRowColorTo, u"TColor"),
    QT_PROP(Sorting), QT_PROP(GridEditable), QT_PROP(RowMoving), QT_PROP(RowSizing), QT_PROP(AutoShowDropDown),
    QT_PROP(AutoSizeColumns), QT_EVENT(OnSelect))
QT_PUBLISHED(TLumRirEvozDropDown)

namespace {

bool StartsWith(const String& S, const String& Prefix) { return S.compare(0, Prefix.size(), Prefix) == 0; }

int ItemOf(TObject* Object) { return int(reinterpret_cast<std::intptr_t>(Object)); }

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
}

String TDropDownItem::Line(int Column) const
{
    return Column >= 0 && Column < FText->GetCount() ? FText->GetStrings(Column) : String();
}

// ---- TCustomRirEvozDropDown ----

TCustomRirEvozDropDown::TCustomRirEvozDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FColumns(std::make_unique<TDropDownColumns>(this))
    , FHeaderFont(std::make_unique<TFont>())
    , FLookupItems(std::make_unique<TStringList>())
    , FSearchFooter(std::make_unique<TSearchFooter>(this))
    , FBands(std::make_unique<TBands>())
    , FNavigation(std::make_unique<TNavigation>())
    , FMouseActions(std::make_unique<TMouseActions>())
{
    FItems.reset(CreateItems(this));
    FNavigation->SetHomeEndKey(heFirstLastRow);
    SetDropDownColor(TColor(0xFFFFFF));
    SetDropDownHeight(200);
    SetAutoSelect(true);
    SetSelectionColorStyle(scOffice2007);
    SetComponentStyle(tsCustom);
}

TCustomRirEvozDropDown::~TCustomRirEvozDropDown()
{
    if (FGridImages)
        FGridImages->RemoveFreeNotification(this);
    if (FLumColGrid) {
        FLumColGrid->OnSelect = nullptr;
        FLumColGrid->OnSelectCell = nullptr;
        FLumColGrid->OnCanSort = nullptr;
        FLumColGrid->OnClickSort = nullptr;
        FLumColGrid->OnGetAlignment = nullptr;
        FLumColGrid->OnGetCellColor = nullptr;
        FLumColGrid->OnGetFloatFormat = nullptr;
        FLumColGrid->OnTopLeftChanged = nullptr;
        FLumColGrid->SetLumDropDown(nullptr);
    }
}

void TCustomRirEvozDropDown::Loaded()
{
    TLumCustomDropDown::Loaded();
    UpdateLookupItems();
    if (FLumColGrid && FUseItems)
        FLumColGrid->LoadItems();
}

void TCustomRirEvozDropDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TLumCustomDropDown::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FGridImages) {
        FGridImages = nullptr;
        if (FLumColGrid)
            FLumColGrid->SetGridImages(nullptr);
    }
}

void TCustomRirEvozDropDown::SetGridImages(TCustomImageList* Value)
{
    if (FGridImages)
        FGridImages->RemoveFreeNotification(this);
    FGridImages = Value;
    if (FGridImages)
        FGridImages->FreeNotification(this);
    if (FLumColGrid)
        FLumColGrid->SetGridImages(Value);
}

void TCustomRirEvozDropDown::PutText(const String& Value)
{
    const bool Saved = FPuttingText;
    FPuttingText = true;
    try {
        SetText(Value);
    } catch (...) {
        FPuttingText = Saved;
        throw;
    }
    FPuttingText = Saved;
}

void TCustomRirEvozDropDown::SetStyle(TDropDownStyle Value)
{
    FStyle = Value;
    SetEditorEnabled(Value == dsDropDown);
}

void TCustomRirEvozDropDown::DoSelect()
{
    if (OnSelect)
        OnSelect(this);
}

String TCustomRirEvozDropDown::Cased(const String& S, bool Exact) const { return Exact ? S : AnsiUpperCase(S); }

String TCustomRirEvozDropDown::LookupText(int Item) const
{
    return Item >= 0 && Item < FItems->GetCount() ? FItems->GetItem(Item)->Line(FLookupColumn) : String();
}

void TCustomRirEvozDropDown::UpdateLookupItems()
{
    if (FLookupColumn < 0 || FItems->GetCount() == 0)
        return;
    FLookupItems->Clear();
    for (int i = 0; i < FItems->GetCount(); ++i)
        FLookupItems->Add(LookupText(i));
}

int TCustomRirEvozDropDown::GetItemCount()
{
    if (FUseItems)
        return FItems->GetCount();
    return FLumColGrid ? FLumColGrid->GetRowCount() - FLumColGrid->GetFixedRows() : 0;
}

int TCustomRirEvozDropDown::ItemIndexOfRow(int Row)
{
    if (FLumColGrid && Row >= 0 && Row < FLumColGrid->GetRowCount())
        return ItemOf(FLumColGrid->GetObjects(0, Row));
    return Row;
}

int TCustomRirEvozDropDown::RowOfItemIndex(int Index)
{
    if (Index < 0 || !FLumColGrid)
        return FItemIndex;
    for (int r = FLumColGrid->GetFixedRows(); r < FLumColGrid->GetRowCount(); ++r)
        if (ItemOf(FLumColGrid->GetObjects(0, r)) == Index)
            return r;
    return FItemIndex;
}

void TCustomRirEvozDropDown::SetItemIndex(int Value)
{
    if (FUseItems) {
        if (Value >= FItems->GetCount())
            return;
        FItemIndex = Value;
        PutText(Value >= 0 && FLookupColumn >= 0 ? LookupText(Value) : String());
        return;
    }
    if (!FLumColGrid) {
        FItemIndex = Value;
        return;
    }
    if (Value == FItemIndex || Value >= FLumColGrid->GetRowCount())
        return;
    FItemIndex = Value;
    const int Row = Value + FLumColGrid->GetFixedRows();
    PutText(Value < 0 || Row >= FLumColGrid->GetRowCount() ? String() : FLumColGrid->GetCells(FLookupColumn, Row));
}

bool TCustomRirEvozDropDown::FindLookupMatch(const String& S, String& Found, int& Row)
{
    Row = -1;
    Found.clear();
    if (S.empty())
        return false;
    const String Key = Cased(S, FCaseSensitive);
    if (FUseItems) {
        for (int i = 0; i < FItems->GetCount(); ++i) {
            const String Text = LookupText(i);
            if (StartsWith(Cased(Text, FCaseSensitive), Key)) {
                Found = Text;
                Row = i;
                return true;
            }
        }
        return false;
    }
    if (!FLumColGrid)
        return false;
    if (OnBeforeDropDown && !FFirstDropDown) {
        FFirstDropDown = true;
        OnBeforeDropDown(this);
    }
    for (int r = FLumColGrid->GetFixedRows(); r < FLumColGrid->GetRowCount(); ++r) {
        const String Text = FLumColGrid->GetCells(FLookupColumn, r);
        if (StartsWith(Cased(Text, FCaseSensitive), Key)) {
            Found = Text;
            Row = r;
            return true;
        }
    }
    return false;
}

// ---- typing ----

void TCustomRirEvozDropDown::Change()
{
    FItemChange = false;
    TLumCustomDropDown::Change();
    // Text the drop-down writes itself (a pick, a completion) is no typing.
    if (GetComponentState().Contains(csDesigning) || !FWorkMode || FPuttingText)
        return;
    const String Text = GetText();
    SetModifiedFlag(!Text.empty());
    const int Caret = std::clamp(GetSelStart(), 0, int(Text.size()));
    const String Typed = Text.substr(0, std::size_t(Caret));
    const String Q = Cased(Typed, FMatchCase);
    // An empty typed part names no entry: the edit is cleared, not filled.
    if (FLookupItems->GetCount() == 0 || Q.empty())
        return;
    for (int i = 0; i < FLookupItems->GetCount(); ++i) {
        const String Entry = FLookupItems->GetStrings(i);
        if (!StartsWith(Cased(Entry, FMatchCase), Q))
            continue;
        // The whole rest of the entry: a cut one would store a value no
        // item has.
        const String Completed = Text.substr(0, Q.size()) + Entry.substr(std::min(Q.size(), Entry.size()));
        const int Old = FItemIndex;
        FItemIndex = FItemIdx = i;
        FItemSel = int(Q.size());
        PutText(Completed);
        FItemChange = true;
        SetSel(int(Q.size()), int(Completed.size()));
        if (Old != i)
            TLumCustomDropDown::Change();
        return;
    }
    if (!Typed.empty() && Typed != Text) {
        PutText(Typed);
        SetSel(int(Typed.size()), int(Typed.size()));
    }
}

int TCustomRirEvozDropDown::LookupChar(Char C)
{
    FLookupIndex = -1;
    if (FLookupMethod == lmNone)
        return -1;
    if (C == 8) {
        if (GetSelLength() > 0 && !FLookupEntry.empty()) {
            SetSelText(String());
        } else {
            if (!FLookupEntry.empty())
                FLookupEntry.pop_back();
            PutText(FLookupEntry);
        }
        SetSel(int(GetText().size()), int(GetText().size()));
        return -1;
    }
    if (C != 9)
        FLookupEntry += C;
    const String E = Trim(FLookupEntry);
    if (FLookupMethod == lmNarrowDown) {
        if (!FLumColGrid)
            return -1;
        if (E.empty()) {
            FLumColGrid->RemoveAllFilters();
        } else {
            FLumColGrid->SetFixedRowAlways(true);
            FLumColGrid->DataViews().NarrowDown(E, FLookupColumn);
            const int First = FLumColGrid->GetFixedRows();
            if (FStyle == dsDropDown && First < FLumColGrid->GetRowCount()) {
                const String Text = FLumColGrid->GetCells(FLookupColumn, First);
                PutText(Text);
                SetSel(int(std::min(FLookupEntry.size(), Text.size())), int(Text.size()));
                FLookupEntry.clear();
            }
        }
        return FLumColGrid->GetFixedRows();
    }
    const int Fixed = FLumColGrid ? FLumColGrid->GetFixedRows() : 1;
    String Found;
    int Row = -1;
    auto Take = [&] {
        FLookupIndex = Row;
        FSelRow = Row;
        FItemIndex = FUseItems ? Row : Row - Fixed;
        PutText(Found);
        DoSelect();
    };
    if (FindLookupMatch(E, Found, Row)) {
        Take();
        if (FStyle == dsDropDown)
            SetSel(int(std::min(E.size(), Found.size())), int(Found.size()));
        return Row;
    }
    if (FStyle == dsDropDown)
        return -1;
    if (FindLookupMatch(String(1, C), Found, Row)) {
        Take();
        return Row;
    }
    FLookupEntry.clear();
    return -1;
}

void TCustomRirEvozDropDown::KeyDown(WORD& Key, TShiftState Shift)
{
    if (FGridEditable && FLumColGrid && FLumColGrid->GetEditorMode() && Key == VK_RETURN && !Shift.Contains(ssShift)) {
        FLumColGrid->HideInplaceEdit();
        if (FLookupColumn >= 0)
            PutText(FLumColGrid->GetCells(FLookupColumn, FLumColGrid->GetRow()));
        SetItemIndex(FLumColGrid->GetRow() - FLumColGrid->GetFixedRows());
        Key = 0;
        return;
    }
    if (FLookupColumn < 0 || FItems->GetCount() == 0) {
        TLumCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const WORD Pressed = Key;
    FWorkMode = !(Key == VK_BACK || Key == VK_ESCAPE || Key == VK_DELETE);
    if (Key == VK_RETURN) {
        const int i = FLookupItems->IndexOf(GetText());
        if (i >= 0) {
            PutText(FLookupItems->GetStrings(i));
            SetItemIndex(i);
            Change();
        }
        if (GetReturnIsTab()) {
            if (HandleAllocated())
                PostMessage(GetHandle(), WM_KEYDOWN, VK_TAB, 0);
            Key = 0;
        }
    }
    if (Key == VK_ESCAPE || (Key >= 33 && Key <= 40))
        FLookupEntry.clear();
    TLumCustomDropDown::KeyDown(Key, Shift);
    if (Pressed == VK_ESCAPE)
        SetItemIndex(FLookupItems->IndexOf(GetText()));
}

void TCustomRirEvozDropDown::KeyPress(Char& Key)
{
    if (GetReturnIsTab() && Key == u'\r') {
        Key = 0;
        return;
    }
    TLumCustomDropDown::KeyPress(Key);
}

void TCustomRirEvozDropDown::KeyUp(WORD& Key, TShiftState Shift)
{
    if (!(Key == VK_RETURN && GetReturnIsTab()))
        TLumCustomDropDown::KeyUp(Key, Shift);
    if (FGridEditable && FLumColGrid && FLumColGrid->GetEditorMode() && Key == VK_RETURN && !Shift.Contains(ssShift)) {
        if (FLumColGrid->GetCol() == FLookupColumn)
            HideDropDown(false);
        else
            FLumColGrid->HideInplaceEdit();
    }
    if (FItemChange) {
        SetItemIndex(FItemIdx);
        SetSel(FItemSel, int(GetText().size()));
        FItemChange = false;
    }
}

void TCustomRirEvozDropDown::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_RETURN && FLumColGrid)
        FLumColGrid->SetConfirmSelection(true);
    TLumCustomDropDown::Dispatch(Message);
    if (GetComponentState().Contains(csDesigning))
        return;
    if (Message.Msg == WM_CHAR) {
        const Char C = Char(Message.WParam);
        LookupChar(C);
        if (FAutoShowDropDown && C != 0 && !GetDroppedDown())
            ShowDropDown();
        return;
    }
    if (Message.Msg != WM_KEYDOWN || !GetEnabled() || GetKeyState(VK_MENU) < 0)
        return;
    const WORD Key = WORD(Message.WParam);
    const bool Shifted = GetKeyState(VK_SHIFT) < 0;
    switch (Key) {
    case VK_PRIOR: FLookupEntry.clear(); SelectPageUp(); break;
    case VK_NEXT: FLookupEntry.clear(); SelectPageDown(); break;
    case VK_UP: FLookupEntry.clear(); SelectPreviousRow(); break;
    case VK_DOWN: FLookupEntry.clear(); SelectNextRow(); break;
    case VK_END:
        FLookupEntry.clear();
        if (!Shifted && FStyle == dsDropDownList)
            SelectLastRow();
        break;
    case VK_HOME:
        FLookupEntry.clear();
        if (!Shifted && FStyle == dsDropDownList)
            SelectFirstRow();
        break;
    default: break;
    }
}

// ---- navigation ----

void TCustomRirEvozDropDown::GridRow(int Row)
{
    // A closed grid holds the rows of its last opening; the next opening
    // places the row from ItemIndex.
    if (!FLumColGrid || !GetDroppedDown())
        return;
    const int Fixed = FLumColGrid->GetFixedRows();
    Row = std::min(Row, FLumColGrid->GetRowCount() - 1);
    if (Row < Fixed)
        return;
    // The caller has set the value; the grid's cell selection only follows.
    const bool Saved = FInitializing;
    FInitializing = true;
    FLumColGrid->SetRow(Row);
    FInitializing = Saved;
}

void TCustomRirEvozDropDown::SelectFirstRow()
{
    if (GetItemCount() <= 0)
        return;
    SetItemIndex(0);
    if (FLumColGrid) {
        GridRow(FLumColGrid->GetFixedRows());
        FSelRow = FLumColGrid->GetRow();
    }
}

void TCustomRirEvozDropDown::SelectLastRow()
{
    const int n = GetItemCount();
    if (n <= 0)
        return;
    SetItemIndex(n - 1);
    if (FLumColGrid) {
        GridRow(FLumColGrid->GetRowCount() - 1);
        FSelRow = FLumColGrid->GetRow();
    }
}

void TCustomRirEvozDropDown::SelectNextRow()
{
    const int n = GetItemCount();
    if (n <= 0)
        return;
    if (FItemIndex < 0)
        return SelectFirstRow();
    if (FItemIndex + 1 < n) {
        SetItemIndex(FItemIndex + 1);
        if (FLumColGrid)
            GridRow(FUseItems ? RowOfItemIndex(FItemIndex) : FLumColGrid->GetRow() + 1);
    }
    if (FLumColGrid)
        FSelRow = FLumColGrid->GetRow();
}

void TCustomRirEvozDropDown::SelectPreviousRow()
{
    const int n = GetItemCount();
    if (n <= 0)
        return;
    if (FItemIndex < 0)
        return SelectFirstRow();
    if (FItemIndex - 1 >= 0) {
        SetItemIndex(FItemIndex - 1);
        if (FLumColGrid)
            GridRow(FUseItems ? RowOfItemIndex(FItemIndex) : FLumColGrid->GetRow() - 1);
    }
    if (FLumColGrid)
        FSelRow = FLumColGrid->GetRow();
}

void TCustomRirEvozDropDown::SelectPageDown()
{
    const int n = GetItemCount();
    if (n <= 0)
        return;
    if (FItemIndex < 0)
        return SelectFirstRow();
    if (FItemIndex + 10 < n) {
        SetItemIndex(FItemIndex + 10);
        if (FLumColGrid)
            GridRow(FUseItems ? RowOfItemIndex(FItemIndex) : FLumColGrid->GetRow() + 10);
    } else {
        return SelectLastRow();
    }
    if (FLumColGrid)
        FSelRow = FLumColGrid->GetRow();
}

void TCustomRirEvozDropDown::SelectPageUp()
{
    const int n = GetItemCount();
    if (n <= 0)
        return;
    if (FItemIndex < 0 || FItemIndex - 10 < 0)
        return SelectFirstRow();
    SetItemIndex(FItemIndex - 10);
    if (FLumColGrid)
        GridRow(FUseItems ? RowOfItemIndex(FItemIndex) : FLumColGrid->GetRow() - 10);
    if (FLumColGrid)
        FSelRow = FLumColGrid->GetRow();
}

// Over the open window the grid scrolls itself and the row it reaches
// waits for a confirming key or click.
void TCustomRirEvozDropDown::DoWheelDown()
{
    TLumCustomDropDown::DoWheelDown();
    if (!GetDroppedDown())
        SelectNextRow();
}

void TCustomRirEvozDropDown::DoWheelUp()
{
    TLumCustomDropDown::DoWheelUp();
    if (!GetDroppedDown())
        SelectPreviousRow();
}

// ---- the window ----

void TCustomRirEvozDropDown::CreateDropDownForm()
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
    FLumColGrid->GetNavigation()->SetHomeEndKey(heFirstLastRow);
    FLumColGrid->GetMouseActions()->SetNoAutoRangeScroll(true);
    FLumColGrid->OnSelectCell = [this](TObject*, int ACol, int ARow, bool& CanSelect) {
        GridSelectCell(ACol, ARow, CanSelect);
    };
}

void TCustomRirEvozDropDown::PlaceDropDownControl()
{
    if (FLumColGrid)
        SetControl(FLumColGrid);
    TLumCustomDropDown::PlaceDropDownControl();
}

void TCustomRirEvozDropDown::AdjustDropDownHeight(int& H)
{
    // A row height of 0 has no whole rows to count: the height stays.
    if (FDropDownRowHeight <= 0)
        return;
    int Strips = 0;
    if (GetDropDownHeader()->GetVisible())
        Strips += GetDropDownHeader()->GetHeight();
    if (GetDropDownFooter()->GetVisible())
        Strips += GetDropDownFooter()->GetHeight();
    const int n = std::max(0, (H - Strips - FHeaderHeight - 2) / FDropDownRowHeight);
    H = Strips + FHeaderHeight + n * FDropDownRowHeight + 6;
}

void TCustomRirEvozDropDown::UpdateDropDownSize()
{
    TLumCustomDropDown::UpdateDropDownSize();
    TDropDownForm* Form = GetDropDownForm();
    if (!FDropDownAutoWidth || !Form || !FLumColGrid)
        return;
    FLumColGrid->SetAlign(alNone);
    FLumColGrid->SetWidth(FLumColGrid->GetOptimalWidth());
    Form->SetWidth(FLumColGrid->GetWidth() + 2 * GetDropDownBorderWidth());
    FLumColGrid->SetAlign(alClient);
}

void TCustomRirEvozDropDown::SizeColumnsToDropDown()
{
    const int n = FColumns->GetCount();
    if (!FColumnSizeWithDropDown || n == 0 || !FLumColGrid || !GetDropDownForm())
        return;
    FLumColGrid->SetScrollBars(ssVertical);
    int T = 1;
    for (int i = 0; i < n; ++i)
        T += FColumns->GetItem(i)->GetWidth();
    int A = GetDropDownForm()->GetWidth();
    if (FLumColGrid->GetVisibleRowCount() + FLumColGrid->GetFixedRows() < FLumColGrid->GetRowCount())
        A -= GetSystemMetrics(SM_CXVSCROLL);
    const double c = double(A) / T;
    double e = 0;
    for (int i = 0; i < FLumColGrid->GetColCount() && i < n; ++i) {
        const double Exact = c * FColumns->GetItem(i)->GetWidth();
        const int w = int(RoundHalfEven(Exact));
        e += Exact - w;
        if (e > 1) {
            FLumColGrid->SetColWidths(i, w + 1);
            e -= 1;
        } else {
            FLumColGrid->SetColWidths(i, w);
        }
    }
}

void TCustomRirEvozDropDown::DropDownResized()
{
    TLumCustomDropDown::DropDownResized();
    SizeColumnsToDropDown();
}

void TCustomRirEvozDropDown::BeforeDropDown()
{
    if (GetDropDownForm())
        GetDropDownForm()->SetCancelOnDeActivate(false);
    if (FLumColGrid) {
        DOdoZedAvud* G = FLumColGrid;
        FInitializing = true;
        G->InitFromDropDown(this);
        G->SetColor(GetDropDownColor());
        G->GetSortSettings()->SetShow(FSorting != gsNone);
        G->GetSortSettings()->SetIndexShow(FSorting == gsMultiColumn);
        G->SetImages(GetImages());
        G->OnSelect = [this](TObject* Sender) { GridSelect(Sender); };
        RouteGridEvents();
        G->SetSearchFooter(FSearchFooter.get());
        G->SetMouseActions(FMouseActions.get());
        G->SetNavigation(FNavigation.get());
        G->SetBands(FBands.get());
        TGridOptions Options = G->GetOptions();
        Options += TGridOptions { goThumbTracking };
        if (FRowSelect)
            Options += TGridOptions { goRowSelect };
        else
            Options -= TGridOptions { goRowSelect };
        if (FGridEditable)
            Options += TGridOptions { goEditing };
        else
            Options -= TGridOptions { goEditing };
        G->SetOptions(Options);
        G->SetGridImages(FGridImages);
        G->OnCanSort = [this](TObject*, int ACol, bool& DoSort) { GridCanSort(ACol, DoSort); };
        G->OnClickSort = [this](TObject*, int ACol) { GridClickSort(ACol); };
        G->OnSelectCell = [this](TObject*, int ACol, int ARow, bool& CanSelect) { GridSelectCell(ACol, ARow, CanSelect); };
        if (FLumStyle != tsCustom)
            G->SetComponentStyle(FLumStyle);
        G->SetSelectionColor(GetSelectionColor());
        G->SetSelectionColorTo(GetSelectionColorTo());
        G->SetSelectionTextColor(FSelectionTextColor);
        FInitializing = false;
    }
    if (FUseItems) {
        TLumCustomDropDown::BeforeDropDown();
        if (FLumColGrid) {
            FInitializing = true;
            FLumColGrid->SetRowCount(FItems->GetCount() + 1);
            FLumColGrid->SetFixedRows(1);
            FLumColGrid->LoadItems();
            FInitializing = false;
            const int r = RowOfItemIndex(FItemIndex);
            const int Fixed = FLumColGrid->GetFixedRows();
            if (FItemIndex >= 0 && r >= Fixed && r < FLumColGrid->GetRowCount() && FLookupIndex == -1) {
                FLumColGrid->SetRow(r);
            } else {
                const int l = std::max(Fixed, FLookupIndex >= 0 ? RowOfItemIndex(FLookupIndex) : Fixed);
                if (l < FLumColGrid->GetRowCount())
                    FLumColGrid->SetRow(l);
            }
        }
    } else if (FLumColGrid) {
        String Found;
        int Row = -1;
        if (FindLookupMatch(GetText(), Found, Row)) {
            FLumColGrid->SetRow(Row);
            FLookupEntry.clear();
        } else if (FLumColGrid->GetFixedRows() < FLumColGrid->GetRowCount()) {
            FLumColGrid->SetRow(FLumColGrid->GetFixedRows());
        }
    }
    if (FLumColGrid && FLumColGrid->GetSortSettings()->GetShow() && FLumColGrid->GetSortSettings()->GetColumn() >= 0)
        FLumColGrid->QSort();
    FOldItemIndex = FItemIndex;
    if (!FUseItems)
        TLumCustomDropDown::BeforeDropDown();
}

void TCustomRirEvozDropDown::RouteGridEvents()
{
    DOdoZedAvud* G = FLumColGrid;
#define RIREVOZ_ROUTE(Name, GridEvent) G->GridEvent = OnGrid##Name;
    RIREVOZ_GRID_EVENTS(RIREVOZ_ROUTE)
#undef RIREVOZ_ROUTE
    G->OnGetAlignment = [this](TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign) {
        if (ACol >= 0 && ACol < FColumns->GetCount())
            HAlign = FColumns->GetItem(ACol)->GetAlignment();
        if (OnGridGetAlignment)
            OnGridGetAlignment(Sender, ARow, ACol, HAlign, VAlign);
    };
    G->OnGetCellColor = [this](TObject* Sender, int ARow, int ACol, TGridDrawState AState, TBrush* ABrush, TFont* AFont) {
        if (ACol >= 0 && ACol < FColumns->GetCount() && ARow >= FLumColGrid->GetFixedRows()) {
            TDropDownColumn* Column = FColumns->GetItem(ACol);
            ABrush->SetColor(Column->GetColor());
            AFont->Assign(Column->GetFont());
            AFont->SetHeight(int(RoundHalfEven(Column->GetFont()->GetHeight() * FLumColGrid->GetDPIScale())));
        }
        if (OnGridGetCellColor)
            OnGridGetCellColor(Sender, ARow, ACol, AState, ABrush, AFont);
    };
    G->OnGetFloatFormat = [this](TObject* Sender, int ACol, int ARow, bool& IsFloat, String& FloatFormat) {
        FloatFormat.clear();
        if (OnGridGetFloatFormat)
            OnGridGetFloatFormat(Sender, ACol, ARow, IsFloat, FloatFormat);
    };
    G->OnTopLeftChanged = [this](TObject*) {
        if (OnGridTopLeftChanged)
            OnGridTopLeftChanged(this);
    };
}

void TCustomRirEvozDropDown::DoShowDropDown()
{
    TLumCustomDropDown::DoShowDropDown();
    if (!FLumColGrid)
        return;
    if (!FUseItems)
        while (FColumns->GetCount() < FLumColGrid->GetColCount())
            FColumns->Add();
    if (GetDroppedDown())
        SizeColumnsToDropDown();
    const int Visible = FLumColGrid->GetVisibleRowCount();
    if (FLumColGrid->GetRowCount() - FLumColGrid->GetFixedRows() > Visible) {
        const int Row = FLumColGrid->GetRow();
        if (Row >= FLumColGrid->GetTopRow() + Visible || Row < FLumColGrid->GetTopRow())
            FLumColGrid->SetTopRow(Row);
    }
    FSelRow = std::max(FSelRow, FLumColGrid->GetFixedRows());
    FLumColGrid->SetTabStop(true);
    if (GetDroppedDown() && FLumColGrid->CanFocus())
        FLumColGrid->SetFocus();
}

void TCustomRirEvozDropDown::DoHideDropDown(bool Cancel)
{
    if (GetDropDownForm() && GetDropDownForm()->GetVisible() && FLumColGrid) {
        if (Cancel) {
            SetItemIndex(FOldItemIndex);
        } else {
            FSelRow = FLumColGrid->GetRow();
            // A row the wheel reached was never confirmed: closing keeps the
            // value the drop-down opened with.
            if (FLumColGrid->GetConfirmSelection())
                SetItemIndex(FUseItems ? ItemIndexOfRow(FSelRow) : FSelRow - FLumColGrid->GetFixedRows());
            else if (FItemIndex != FOldItemIndex)
                SetItemIndex(FOldItemIndex);
        }
        FOldItemIndex = FItemIndex;
        FLumColGrid->SetConfirmSelection(false);
    }
    TLumCustomDropDown::DoHideDropDown(Cancel);
}

void TCustomRirEvozDropDown::DoEnter()
{
    TLumCustomDropDown::DoEnter();
    if (FLumColGrid && FLookupMethod == lmNarrowDown && !FLumColGrid->GetFilterActive())
        FLumColGrid->RemoveAllFilters();
    FLookupEntry.clear();
}

// ---- picking in the grid ----

void TCustomRirEvozDropDown::GridSelectCell(int ACol, int ARow, bool& CanSelect)
{
    if (FInitializing || !FLumColGrid)
        return;
    FNodeCell = false;
    if (ACol == 0 && FLumColGrid->IsNode(ARow)) {
        FNodeCell = true;
        return;
    }
    if (ARow != FSelRow && OnGridSelectCell)
        OnGridSelectCell(this, ACol, ARow, CanSelect);
    FSelRow = ARow;
    if (FUseItems) {
        SetItemIndex(ItemIndexOfRow(ARow));
    } else {
        if (FLookupColumn >= 0)
            PutText(FLumColGrid->GetCells(FLookupColumn, ARow));
        SetItemIndex(ARow - FLumColGrid->GetFixedRows());
    }
}

void TCustomRirEvozDropDown::GridSelect(TObject*)
{
    if (!FLumColGrid || FNodeCell)
        return;
    if (FLumColGrid->GetConfirmSelection()) {
        const int Row = FLumColGrid->GetRow();
        // Every path counts data rows below all the fixed rows.
        SetItemIndex(FUseItems ? ItemIndexOfRow(Row) : Row - FLumColGrid->GetFixedRows());
    }
    if (!FGridEditable)
        HideDropDown(false);
    DoSelect();
}

void TCustomRirEvozDropDown::GridCanSort(int, bool&) { FTempItemIndex = FItemIndex; }

void TCustomRirEvozDropDown::GridClickSort(int ACol)
{
    if (FLumColGrid) {
        const int Row = RowOfItemIndex(FTempItemIndex);
        if (Row >= FLumColGrid->GetFixedRows() && Row < FLumColGrid->GetRowCount()) {
            FInitializing = true;
            FLumColGrid->SetRow(Row);
            FInitializing = false;
            FSelRow = Row;
        }
    }
    if (OnGridClickSort)
        OnGridClickSort(this, ACol);
}

// ---- keys typed in the open grid ----

namespace {
bool GridKey(WORD Key)
{
    return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_END || Key == VK_HOME || Key == VK_UP || Key == VK_DOWN;
}
} // namespace

void TCustomRirEvozDropDown::ControlKeyDown(WORD& Key, TShiftState Shift)
{
    if (!GridKey(Key) || Shift.Contains(ssAlt))
        TLumCustomDropDown::ControlKeyDown(Key, Shift);
    if (OnGridKeyDown)
        OnGridKeyDown(this, Key, Shift);
}

void TCustomRirEvozDropDown::ControlKeyUp(WORD& Key, TShiftState Shift)
{
    if (GridKey(Key) && !Shift.Contains(ssAlt))
        FLookupEntry.clear();
    else
        TLumCustomDropDown::ControlKeyUp(Key, Shift);
    if (OnGridKeyUp)
        OnGridKeyUp(this, Key, Shift);
}

void TCustomRirEvozDropDown::ControlKeyPress(Char& Key)
{
    static constexpr Char Keys[] = { 13, 27, 33, 34, 35, 36, 38, 40 };
    const bool Listed = std::find(std::begin(Keys), std::end(Keys), Key) != std::end(Keys);
    const bool Editing = FLumColGrid && FLumColGrid->GetOptions().Contains(goEditing);
    if ((Listed && GetKeyState(VK_MENU) >= 0) || Editing) {
        FLookupEntry.clear();
    } else {
        int r = LookupChar(Key);
        // lmNarrowDown answers a grid row; a lookup over the items answers
        // an item index, whose row a sorted grid has moved.
        if (r >= 0 && FUseItems && FLookupMethod == lmLookup)
            r = RowOfItemIndex(r);
        if (FLumColGrid && r >= FLumColGrid->GetFixedRows() && r < FLumColGrid->GetRowCount()) {
            if (FLumColGrid->GetRowCount() - FLumColGrid->GetFixedRows() > FLumColGrid->GetVisibleRowCount())
                FLumColGrid->SetTopRow(r);
            FLumColGrid->SetCol(0);
            FLumColGrid->SetRow(r);
            FLumColGrid->Invalidate();
        } else {
            FLookupEntry.clear();
        }
    }
    if (OnGridKeyPress)
        OnGridKeyPress(this, Key);
    Key = 0;
}

// ---- looks ----

void TCustomRirEvozDropDown::SetSelectionColorStyle(TSelectionColorStyle Style)
{
    dropdownstyles::SelectionLineColors(Style, FLineColor, FFixedLineColor);
    TLumCustomDropDown::SetSelectionColorStyle(Style);
}

namespace {

using dropdownstyles::Same;
using dropdownstyles::TStyleRow;

// Colours as TColor values (blue in the high byte).
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
    { tsOffice2019White, 0xFFFFFF, clNone, 0x444444, 0xD4D4D4, 0xABABAB, scCustom, 0xF9ECDE, 0x393A3B },
    { tsOffice2019Gray, 0x666666, clNone, 0xFFFFFF, 0xD4D4D4, 0x999999, scCustom, 0x86888A, 0 },
    { tsOffice2019Black, 0x262626, clNone, 0xDADADA, 0xD4D4D4, 0x999999, scCustom, 0xB1B1B1, 0xFFFFFF },
};

} // namespace

void TCustomRirEvozDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    TLumCustomDropDown::SetComponentStyle(AStyle);
    FLumStyle = AStyle;
    if (AStyle == tsCustom)
        return;
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
        TLumCustomDropDown::SetSelectionColorStyle(scCustom);
        SetSelectionColor(R->SelectionColor);
        SetSelectionColorTo(R->SelectionColor);
    }
    FLineColor = R->Line;
    FFixedLineColor = R->FixedLine;
    FSelectionTextColor = R->SelectionText;
}

} // namespace DuzEzirezUderArirOver
