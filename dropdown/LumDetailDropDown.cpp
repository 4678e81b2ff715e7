#include "dropdown/LumDetailDropDown.h"

#include <algorithm>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumDropDownRoutines.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

QT_PUBLISHED(TDetailItem, QT_PROP(Caption), QT_PROP(ImageIndex), QT_PROP(Image), QT_PROP(Notes), QT_PROP(Tag))
QT_PUBLISHED(TDetailItems)
QT_PUBLISHED(TLumDetailDropDown, QT_PROP(Layout), QT_PROP(Items), QT_PROP(ItemIndex), QT_PROP(ItemAppearance),
    QT_PROP(ItemHeight), QT_PROP(CaptionFont), QT_PROP(NotesFont), QT_PROP(ImageVAlign), QT_EVENT(OnSelect))

// ---- TDetailItem ----

TDetailItem::TDetailItem(TCollection* Collection)
    : TCollectionItem(Collection)
    , FImage(std::make_unique<TPicture>())
{
}

TDetailItem::~TDetailItem() = default;

void TDetailItem::Changed()
{
    auto* Items = dynamic_cast<TDetailItems*>(GetCollection());
    if (Items && Items->OnChange)
        Items->OnChange(Items);
}

void TDetailItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TDetailItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed();
}

void TDetailItem::SetImage(TPicture* Value) { FImage->Assign(Value); }

void TDetailItem::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TDetailItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(Other->FCaption);
    SetImageIndex(Other->FImageIndex);
    FImage->Assign(Other->FImage.get());
    FEnabled = Other->FEnabled;
    FTag = Other->FTag;
    FItemObject = Other->FItemObject;
    FNotes = Other->FNotes;
}

int TDetailItems::IndexOf(const String& AValue) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (GetItem(i)->GetCaption() == AValue)
            return i;
    return -1;
}

// ---- TLumDetailDropDown ----

TLumDetailDropDown::TLumDetailDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FItems(std::make_unique<TDetailItems>(this))
    , FItemAppearance(std::make_unique<TItemAppearance>(this))
    , FCaptionFont(std::make_unique<TFont>())
    , FNotesFont(std::make_unique<TFont>())
{
    FItems->OnChange = [](TObject*) { };
    FCaptionFont->Assign(GetFont());
    FNotesFont->Assign(GetFont());
    FKeyTimer = new TTimer(this);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](TObject*) {
        FKeyTimer->SetEnabled(false);
        FCurSearch.clear();
    };
    SetAutoSize(false);
    SetEditorEnabled(true);
    SetDropDownEnabled(true);
}

TLumDetailDropDown::~TLumDetailDropDown()
{
    if (FKeyTimer)
        FKeyTimer->SetEnabled(false);
    if (FItemSelector)
        FItemSelector->OnItemSelect = nullptr;
}

template<class F>
void TLumDetailDropDown::Internal(F&& Step)
{
    const bool Old = FInternalCall;
    FInternalCall = true;
    struct Reset {
        bool& Flag;
        bool Value;
        ~Reset() { Flag = Value; }
    } Guard { FInternalCall, Old };
    Step();
}

void TLumDetailDropDown::SetItemIndex(int Value)
{
    if (Value == FItemIndex)
        return;
    if (Value == -1) {
        FItemIndex = -1;
        SetText(String());
        return;
    }
    if (Value < 0 || Value >= FItems->GetCount())
        return;
    FItemIndex = Value;
    const String Caption = FItems->GetItem(Value)->GetCaption();
    SetText(Caption);
    SetSel(0, int(GetEditText().size()));
    Invalidate();
    if (FItemSelector)
        FItemSelector->Invalidate();
    if (OnSelect)
        OnSelect(this);
}

void TLumDetailDropDown::SelectFirst()
{
    if (FItems->GetCount() > 0)
        SetItemIndex(0);
}

void TLumDetailDropDown::SelectLast()
{
    if (FItems->GetCount() > 0)
        SetItemIndex(FItems->GetCount() - 1);
}

void TLumDetailDropDown::SelectNext()
{
    if (FItems->GetCount() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex + 1 < FItems->GetCount())
        SetItemIndex(FItemIndex + 1);
}

void TLumDetailDropDown::SelectPrevious()
{
    if (FItems->GetCount() == 0)
        return;
    if (FItemIndex < 0)
        SetItemIndex(0);
    else if (FItemIndex > 0)
        SetItemIndex(FItemIndex - 1);
}

// ---- typing ----

void TLumDetailDropDown::Change()
{
    FItemChange = false;
    TLumCustomDropDown::Change();
    if (GetComponentState().Contains(csDesigning) || !FWorkMode)
        return;
    const String Text = GetText();
    SetModifiedFlag(!Text.empty());
    const int c = std::clamp(GetSelStart(), 0, int(Text.size()));
    const String Typed = Text.substr(0, std::size_t(c));
    const String Key = AnsiUpperCase(Typed);
    int Match = -1;
    if (!Key.empty())
        for (int i = 0; i < FItems->GetCount(); ++i)
            if (AnsiUpperCase(FItems->GetItem(i)->GetCaption()).compare(0, Key.size(), Key) == 0) {
                Match = i;
                break;
            }
    if (Match >= 0) {
        // The whole rest of the caption: a cut one would name no item.
        const String& Caption = FItems->GetItem(Match)->GetCaption();
        const String Completed = Typed + Caption.substr(std::min(Key.size(), Caption.size()));
        FItemIndex = Match;
        SetText(Completed);
        FItemIdx = Match;
        FItemSel = int(Key.size());
        FItemChange = true;
        SetSel(int(Completed.size()), int(Key.size()));
    } else if (!Typed.empty()) {
        SetText(Typed);
        SetSel(int(Typed.size()), int(Typed.size()));
    }
}

void TLumDetailDropDown::KeyDown(WORD& Key, TShiftState Shift)
{
    if (FItems->GetCount() == 0) {
        TLumCustomDropDown::KeyDown(Key, Shift);
        return;
    }
    const WORD Pressed = Key;
    switch (Key) {
    case VK_BACK:
    case VK_ESCAPE:
    case VK_DELETE:
        FWorkMode = false;
        break;
    case VK_RETURN: {
        const int i = FItems->IndexOf(GetText());
        if (i >= 0) {
            SetText(FItems->GetItem(i)->GetCaption());
            SetItemIndex(i);
            Change();
        }
        break;
    }
    default:
        FWorkMode = true;
        break;
    }
    TLumCustomDropDown::KeyDown(Key, Shift);
    if (Pressed == VK_ESCAPE) {
        const int i = FItems->IndexOf(GetText());
        if (i >= 0)
            SetItemIndex(i);
    }
}

void TLumDetailDropDown::KeyUp(WORD& Key, TShiftState Shift)
{
    TLumCustomDropDown::KeyUp(Key, Shift);
    FItemChange = false;
}

void TLumDetailDropDown::MoveList(int Index)
{
    if (!FItemSelector)
        return;
    Internal([&] { FItemSelector->SetItemIndex(Index); });
    FItemSelector->ScrollItemInView(FItemSelector->GetItemIndex());
}

void TLumDetailDropDown::KeyDownMessage(TMessage& Message)
{
    const WORD K = WORD(Message.WParam);
    const bool Open = GetDroppedDown() && FItemSelector;
    if (GetEnabled() && GetKeyState(VK_MENU) >= 0) {
        TLumCustomItemSelector* S = FItemSelector;
        const int Count = FItems->GetCount();
        switch (K) {
        case VK_PRIOR:
        case VK_NEXT: {
            if (!S)
                break;
            if (S->GetItems()->GetCount() != Count)
                UpdateSelector();
            const int n = S->GetVisibleItemCount();
            if (n < 1)
                break;
            MoveList(K == VK_PRIOR ? std::max(S->GetItemIndex() - n, 0) : std::min(S->GetItemIndex() + n, Count - 1));
            break;
        }
        case VK_END:
        case VK_HOME:
            if (Open) {
                Internal([&] { K == VK_END ? S->SelectLast() : S->SelectFirst(); });
                S->ScrollItemInView(S->GetItemIndex());
            } else if (!GetEditorEnabled()) {
                K == VK_END ? SelectLast() : SelectFirst();
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
            if (!GetEditorEnabled() && Open) {
                Internal([&] { K == VK_LEFT ? S->SelectPrevious() : S->SelectNext(); });
                S->ScrollItemInView(S->GetItemIndex());
            }
            break;
        case VK_UP:
        case VK_DOWN:
            if (Open) {
                const int v = S->GetItemIndex() < 0 ? 0 : S->GetItemIndex() + (K == VK_UP ? -1 : 1);
                if (v >= 0 && v < S->GetItems()->GetCount())
                    MoveList(v);
                Invalidate();
            } else {
                K == VK_UP ? SelectPrevious() : SelectNext();
            }
            break;
        default:
            // While closed the letters are the edit's own type-ahead; the
            // list's lookup word is for the open list.
            if (Open && GetKeyState(VK_CONTROL) >= 0) {
                FCurSearch += Char(K);
                Internal([&] { S->LookupItem(FCurSearch); });
                S->ScrollItemInView(S->GetItemIndex());
                if (!FKeyTimer->GetEnabled())
                    FKeyTimer->SetEnabled(true);
            }
            break;
        }
    }
    if (Open && (K == VK_PRIOR || K == VK_NEXT || K == VK_LEFT || K == VK_UP || K == VK_RIGHT || K == VK_DOWN))
        return;
    TLumCustomDropDown::Dispatch(Message);
}

void TLumDetailDropDown::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN && !GetComponentState().Contains(csDesigning)) {
        KeyDownMessage(Message);
        return;
    }
    TLumCustomDropDown::Dispatch(Message);
}

void TLumDetailDropDown::ChangeScale(int M, int D, bool isDpiChange)
{
    TLumCustomDropDown::ChangeScale(M, D, isDpiChange);
    FDPIScale = float(ScaleFactorForControl(this, nullptr));
}

void TLumDetailDropDown::SetSelectionColorStyle(TSelectionColorStyle Style)
{
    TLumCustomDropDown::SetSelectionColorStyle(Style);
    if (FItemSelector)
        FItemSelector->GetItemAppearance()->SetColorStyle(Style);
}

void TLumDetailDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    TLumCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(FItemAppearance.get(), AStyle);
}

// ---- the list ----

void TLumDetailDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (!GetDropDownForm())
        return;
    if (!FItemSelector) {
        FItemSelector = new TLumCustomItemSelector(this);
        FItemSelector->SetParent(GetDropDownForm());
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetBounds(0, 0, FItemSelector->GetWidth(), 150);
        FItemSelector->SetDoubleBuffered(true);
        FItemSelector->OnDrawItem = [this](TObject*, TCanvas* Canvas, TRect R, int Index) {
            DrawDetailItem(Canvas, R, Index);
        };
        FItemSelector->OnItemSize = [this](TObject*, TSize& Size) { GetDetailItemSize(Size); };
        FItemSelector->OnResize = [this](TObject*) {
            if (FItemSelector)
                FItemSelector->UpdateSelectorPanel();
        };
    }
    FItemSelector->SetColor(GetDropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TLumDetailDropDown::UpdateSelector()
{
    if (!FItemSelector)
        return;
    FItemSelector->OnItemSelect = nullptr;
    FItemSelector->SetColumns(1);
    FItemSelector->SetImages(GetImages());
    FItemSelector->SetItemLayout(FLayout);
    FItemSelector->SetColor(GetDropDownColor());
    FItemSelector->SetItemAppearance(FItemAppearance.get());
    TSelectorItems* List = FItemSelector->GetItems();
    List->Clear();
    for (TDetailItem* Item : *FItems) {
        TSelectorItem* Entry = List->Add();
        Entry->SetCaption(Item->GetCaption());
        Entry->SetImage(Item->GetImage());
        Entry->SetImageIndex(Item->GetImageIndex());
    }
    FItemSelector->UpdateSelectorPanel();
    FItemSelector->SetItemIndex(FItemIndex);
    FItemSelector->OnItemSelect = [this](TObject* Sender) { ItemSelectorSelect(Sender); };
}

void TLumDetailDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    UpdateSelector();
    FOldItemIndex = FItemIndex;
}

void TLumDetailDropDown::DoShowDropDown()
{
    TLumCustomDropDown::DoShowDropDown();
    if (!GetDroppedDown() || !FItemSelector)
        return;
    // The items were laid out before the window knew whether it scrolls;
    // with a scroll bar they take its width off.
    FItemSelector->UpdateSelectorPanel();
    if (FItemSelector->CanFocus())
        FItemSelector->SetFocus();
}

void TLumDetailDropDown::UpdateDropDownSize()
{
    if (FItemSelector) {
        FItemSelector->SetAlign(alNone);
        if (GetDropDownWidth() <= 0)
            FItemSelector->SetWidth(GetWidth());
        if (GetDropDownHeight() <= 0)
            FItemSelector->SetHeight(100);
    }
    TLumCustomDropDown::UpdateDropDownSize();
}

void TLumDetailDropDown::GetDetailItemSize(TSize& Size)
{
    int W = GetDropDownWidth() > 0 ? GetDropDownWidth() : (GetDropDownForm() ? GetDropDownForm()->GetWidth() : GetWidth());
    if (FItemSelector && FItemSelector->GetVertScrollBar()->IsScrollBarVisible())
        W -= GetSystemMetrics(SM_CXVSCROLL);
    W -= 2 * GetSystemMetrics(SM_CXBORDER) + 4;
    Size = TSize(W, int(RoundHalfEven(FItemHeight * double(FDPIScale))));
}

void TLumDetailDropDown::DropDownResized()
{
    TLumCustomDropDown::DropDownResized();
    if (FItemSelector)
        FItemSelector->UpdateSelectorPanel();
}

void TLumDetailDropDown::ItemSelectorSelect(TObject*)
{
    if (!FItemSelector)
        return;
    const int i = FItemSelector->GetItemIndex();
    SetItemIndex(i);
    if (i >= 0 && i < FItems->GetCount()) {
        SetText(FItems->GetItem(i)->GetCaption());
        SetSel(0, int(GetEditText().size()));
    }
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TLumDetailDropDown::DoHideDropDown(bool Cancel)
{
    TLumCustomDropDown::DoHideDropDown(Cancel);
    if (Cancel && FOldItemIndex != -1)
        SetItemIndex(FOldItemIndex);
}

void TLumDetailDropDown::DoWheelDown()
{
    TLumCustomDropDown::DoWheelDown();
    if (GetDroppedDown() && FItemSelector) {
        const int v = FItemSelector->GetItemIndex() < 0 ? 0 : FItemSelector->GetItemIndex() + 1;
        if (v >= 0 && v < FItemSelector->GetItems()->GetCount())
            MoveList(v);
    } else {
        SelectNext();
    }
    Invalidate();
}

void TLumDetailDropDown::DoWheelUp()
{
    TLumCustomDropDown::DoWheelUp();
    if (GetDroppedDown() && FItemSelector) {
        const int v = FItemSelector->GetItemIndex() < 0 ? 0 : FItemSelector->GetItemIndex() - 1;
        if (v >= 0 && v < FItemSelector->GetItems()->GetCount())
            MoveList(v);
    } else {
        SelectPrevious();
    }
    Invalidate();
}

// ---- painting a list item ----

void TLumDetailDropDown::DrawDetailItem(TCanvas* Canvas, TRect Rc, int Index)
{
    if (!Canvas || Index < 0 || Index >= FItems->GetCount())
        return;
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, Canvas, Rc);
        return;
    }
    TDetailItem* Item = FItems->GetItem(Index);
    const bool HasCaption = !Item->GetCaption().empty();
    auto Place = [&](int W, int H) {
        const int X = HasCaption ? Rc.Left + 2 : Rc.Left + (Rc.Width() - W) / 2;
        int Y = Rc.Top;
        if (FImageVAlign == taAlignBottom)
            Y = Rc.Top + Rc.Height() - H;
        else if (FImageVAlign == taVerticalCenter)
            Y = Rc.Top + (Rc.Height() - H) / 2;
        return TPoint(X, Y);
    };
    TGraphic* Picture = Item->GetImage()->GetGraphic();
    if (!Picture || Picture->Empty()) {
        if (GetImages() && Item->GetImageIndex() >= 0) {
            TCustomImageList* L = GetImages();
            const TPoint P = Place(L->GetWidth(), L->GetHeight());
            L->Draw(Canvas, P.X, P.Y, Item->GetImageIndex(), true);
            Rc.Left += L->GetWidth() + 4;
        }
    } else {
        if (auto* Bitmap = dynamic_cast<TBitmap*>(Picture)) {
            Bitmap->SetTransparentMode(tmAuto);
            Bitmap->SetTransparent(true);
        }
        const TPoint P = Place(Picture->GetWidth(), Picture->GetHeight());
        Canvas->Draw(P.X, P.Y, Picture);
        Rc.Left += Picture->GetWidth() + 4;
    }

    const int Hot = FItemSelector ? FItemSelector->GetItemHot() : -1;
    auto UseFont = [&](TFont* Font) {
        Canvas->GetFont()->Assign(Font);
        Canvas->GetFont()->SetHeight(int(RoundHalfEven(Font->GetHeight() * double(FDPIScale))));
        if (Index == Hot)
            Canvas->GetFont()->SetColor(FItemAppearance->GetColorHotText());
        if (Index == FItemIndex)
            Canvas->GetFont()->SetColor(FItemAppearance->GetColorSelectedText());
    };
    UseFont(FCaptionFont.get());
    Canvas->GetBrush()->SetStyle(bsClear);
    Rc.Left += 4;
    Rc.Top += 2;
    Rc.Right -= 4;
    String Caption = Item->GetCaption();
    TRect CaptionRect = Rc;
    Canvas->TextRect(CaptionRect, Caption, TTextFormat { tfEndEllipsis, tfNoPrefix });
    if (Item->GetNotes().empty())
        return;
    Rc.Top += Canvas->TextHeight(u"gh");
    UseFont(FNotesFont.get());
    Canvas->GetBrush()->SetStyle(bsClear);
    TSize Size;
    LumDropDown::DrawHTMLCaption(Canvas, Item->GetNotes(), Rc, Size, 1.0f,
        FItemSelector && FItemSelector->HandleAllocated() ? FItemSelector->GetHandle() : HWND(), true, GetImages());
}
