#include "dropdown/LumImagePickerDropDown.h"

#include <sys/stat.h>

#include <algorithm>

#include "dropdown/LumDropDownForm.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TImageItem, QT_PROP(Caption), QT_PROP(ImageIndex), QT_PROP(Image), QT_PROP(Hint))
QT_PUBLISHED(TImageItems)
QT_PUBLISHED(TLumImagePickerDropDown, QT_PROP(Columns), QT_PROP(Layout), QT_PROP(Items), QT_PROP(ItemIndex),
    QT_PROP(ItemAppearance))

namespace {

// Opening anything else for reading could wait for a writer for good (a
// named pipe) or read a device.
bool IsRegularFile(const String& FileName)
{
    struct stat St {};
    return ::stat(StringToUtf8(FileName).c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

} // namespace

// ---- TImageItem ----

TImageItem::TImageItem(TCollection* Collection)
    : TCollectionItem(Collection)
    , FImage(std::make_unique<TPicture>())
{
}

TImageItem::~TImageItem() = default;

void TImageItem::Changed()
{
    auto* Items = dynamic_cast<TImageItems*>(GetCollection());
    if (Items && Items->OnChange)
        Items->OnChange(Items);
}

void TImageItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TImageItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed();
}

void TImageItem::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TImageItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(Other->FCaption);
    SetImageIndex(Other->FImageIndex);
    FImage->Assign(Other->FImage.get());
    FEnabled = Other->FEnabled;
    FHint = Other->FHint;
}

// ---- TLumImagePickerDropDown ----

TLumImagePickerDropDown::TLumImagePickerDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FItems(std::make_unique<TImageItems>(this))
    , FItemAppearance(std::make_unique<TItemAppearance>(this))
{
    // Item changes reach the selector at the next opening.
    FItems->OnChange = [](TObject*) { };
    FKeyTimer = new TTimer(this);
    FKeyTimer->SetEnabled(false);
    FKeyTimer->SetInterval(500);
    FKeyTimer->OnTimer = [this](TObject*) {
        FKeyTimer->SetEnabled(false);
        FCurSearch.clear();
    };
    SetAutoSize(false);
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    SetCursor(crArrow);
}

TLumImagePickerDropDown::~TLumImagePickerDropDown()
{
    if (FKeyTimer)
        FKeyTimer->SetEnabled(false);
}

// ---- selection ----

void TLumImagePickerDropDown::SetItemIndex(int Value)
{
    if (Value < 0)
        Value = -1;
    if (Value == FItemIndex || Value >= FItems->GetCount())
        return;
    FItemIndex = Value;
    Invalidate();
    if (OnChange)
        OnChange(this);
    if (OnSelect)
        OnSelect(this);
}

int TLumImagePickerDropDown::GetImageIndex() const
{
    if (FItemIndex < 0 || FItemIndex >= FItems->GetCount())
        return -1;
    return FItems->GetItem(FItemIndex)->GetImageIndex();
}

void TLumImagePickerDropDown::SetImageIndex(int Value)
{
    for (int i = 0; i < FItems->GetCount(); ++i)
        if (FItems->GetItem(i)->GetImageIndex() == Value) {
            SetItemIndex(i);
            return;
        }
    SetItemIndex(-1);
}

void TLumImagePickerDropDown::SelectFirst()
{
    if (FItems->GetCount() > 0)
        SetItemIndex(0);
}

void TLumImagePickerDropDown::SelectLast()
{
    if (FItems->GetCount() > 0)
        SetItemIndex(FItems->GetCount() - 1);
}

void TLumImagePickerDropDown::SelectNext()
{
    const int Count = FItems->GetCount();
    if (Count == 0)
        return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::min(FItemIndex + 1, Count - 1));
}

void TLumImagePickerDropDown::SelectPrevious()
{
    if (FItems->GetCount() == 0)
        return;
    SetItemIndex(FItemIndex < 0 ? 0 : std::max(FItemIndex - 1, 0));
}

// ---- filling ----

void TLumImagePickerDropDown::AddImagesFromImageList()
{
    if (!GetImages())
        return;
    for (int i = 0; i < GetImages()->GetCount(); ++i)
        FItems->Add()->SetImageIndex(i);
}

void TLumImagePickerDropDown::AddImagesFromFolder(const String& AFolder, bool SetImageCaption)
{
    const String Folder = ExtractFilePath(AFolder);
    TSearchRec Rec;
    if (FindFirst(AFolder, faAnyFile, Rec) != 0)
        return;
    do {
        TImageItem* Item = FItems->Add();
        const String Path = Folder + Rec.Name;
        if (!IsRegularFile(Path))
            continue;
        try {
            Item->GetImage()->LoadFromFile(Path);
            if (SetImageCaption)
                Item->SetCaption(Rec.Name);
        } catch (const Exception&) {
            // No picture in it: the item keeps an empty one.
        }
    } while (FindNext(Rec) == 0);
    FindClose(Rec);
}

// ---- styles ----

void TLumImagePickerDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    TLumCustomDropDown::SetComponentStyle(AStyle);
    ApplyItemAppearanceStyle(FItemAppearance.get(), AStyle);
}

void TLumImagePickerDropDown::SetSelectionColorStyle(TSelectionColorStyle Style)
{
    TLumCustomDropDown::SetSelectionColorStyle(Style);
    if (FItemSelector)
        FItemSelector->GetItemAppearance()->SetColorStyle(Style);
}

// ---- the drop-down content ----

void TLumImagePickerDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (!GetDropDownForm())
        return;
    if (!FItemSelector) {
        FItemSelector = new TLumCustomItemSelector(this);
        FItemSelector->SetParent(GetDropDownForm());
        FItemSelector->SetSelectorType(stImage);
        FItemSelector->SetLeft(0);
        FItemSelector->SetTop(0);
        FItemSelector->SetHeight(150);
    }
    FItemSelector->SetColor(GetDropDownColor());
    FItemSelector->UpdateSelectorPanel();
    SetControl(FItemSelector);
}

void TLumImagePickerDropDown::SyncSelector()
{
    if (!FItemSelector)
        return;
    TLumCustomItemSelector* S = FItemSelector;
    S->OnItemSelect = nullptr;
    S->SetColumns(FColumns);
    S->SetImages(GetImages());
    S->SetItemLayout(FLayout);
    S->SetColor(GetDropDownColor());
    S->SetItemAppearance(FItemAppearance.get());
    TSelectorItems* Items = S->GetItems();
    Items->Clear();
    for (TImageItem* Entry : *FItems) {
        TSelectorItem* Item = Items->Add();
        Item->SetCaption(Entry->GetCaption());
        Item->SetImage(Entry->GetImage());
        Item->SetImageIndex(Entry->GetImageIndex());
        Item->SetHint(Entry->GetHint());
    }
    S->UpdateSelectorPanel();
    S->SetItemIndex(FItemIndex);
    S->OnItemSelect = [this](TObject* Sender) { SelectorItemSelect(Sender); };
    S->SetShowHint(GetShowHint());
}

void TLumImagePickerDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    SyncSelector();
    if (FItemSelector) {
        if (OnDrawItem)
            FItemSelector->OnDrawItem = [this](TObject*, TCanvas* Canvas, TRect R, int Index) {
                OnDrawItem(this, Canvas, R, Index);
            };
        else
            FItemSelector->OnDrawItem = nullptr;
    }
    FOldItemIndex = FItemIndex;
}

void TLumImagePickerDropDown::UpdateDropDownSize()
{
    if (!FItemSelector || !GetDropDownForm()) {
        TLumCustomDropDown::UpdateDropDownSize();
        return;
    }
    FItemSelector->SetAlign(alNone);
    TSize Size;
    FItemSelector->GetPanelSize(Size);
    if (GetDropDownWidth() < 1)
        FItemSelector->SetWidth(Size.cx + 4);
    if (GetDropDownHeight() < 1)
        FItemSelector->SetHeight(Size.cy + 4);
    TLumCustomDropDown::UpdateDropDownSize();
    if (FItemSelector->GetVertScrollBar()->IsScrollBarVisible())
        GetDropDownForm()->SetWidth(GetDropDownForm()->GetWidth() + GetSystemMetrics(SM_CXVSCROLL));
}

void TLumImagePickerDropDown::SelectorItemSelect(TObject*)
{
    if (!FItemSelector)
        return;
    SetItemIndex(FItemSelector->GetItemIndex());
    if (!FInternalCall)
        DoHideDropDown(false);
}

void TLumImagePickerDropDown::DoHideDropDown(bool Cancel)
{
    TLumCustomDropDown::DoHideDropDown(Cancel);
    if (Cancel)
        SetItemIndex(FOldItemIndex);
}

template<class F>
void TLumImagePickerDropDown::Internal(F&& Step)
{
    struct Reset {
        bool& Flag;
        bool Value;
        ~Reset() { Flag = Value; }
    } Guard { FInternalCall, FInternalCall };
    FInternalCall = true;
    Step();
}

// ---- wheel and keys ----

void TLumImagePickerDropDown::DoWheelDown()
{
    if (!GetEnabled() || GetReadOnly() || !FItemSelector)
        return;
    if (GetDroppedDown())
        FItemSelector->HotNext();
    else
        Internal([&] { FItemSelector->SelectNext(); });
}

void TLumImagePickerDropDown::DoWheelUp()
{
    if (!GetEnabled() || GetReadOnly() || !FItemSelector)
        return;
    if (GetDroppedDown())
        FItemSelector->HotPrevious();
    else
        Internal([&] { FItemSelector->SelectPrevious(); });
}

void TLumImagePickerDropDown::KeyDownMessage(TMessage& Message)
{
    const WORD K = WORD(Message.WParam);
    const bool Open = GetDroppedDown();
    bool Used = false;
    if (K == VK_RETURN && GetEnabled() && Open && FItemSelector && FItemSelector->GetItemHot() >= 0) {
        FItemSelector->SetItemIndex(FItemSelector->GetItemHot());
        Used = true;
    }
    TLumCustomDropDown::Dispatch(Message);
    if (!GetEnabled() || GetKeyState(VK_MENU) < 0)
        return;
    TLumCustomItemSelector* S = FItemSelector;
    const int Count = FItems->GetCount();
    switch (K) {
    case VK_RETURN:
        if (!Used && OnSelect)
            OnSelect(this);
        break;
    case VK_PRIOR:
    case VK_NEXT: {
        if (!S)
            break;
        if (S->GetItems()->GetCount() != Count)
            SyncSelector();
        const int n = S->GetVisibleItemCount();
        if (n < 1)
            break;
        const int v = K == VK_PRIOR ? std::max(S->GetItemIndex() - n, 0) : std::min(S->GetItemIndex() + n, Count - 1);
        if (v >= 0 && v < S->GetItems()->GetCount()) {
            Internal([&] { S->SetItemIndex(v); });
            S->ScrollItemInView(v);
        }
        break;
    }
    case VK_HOME:
        if (Open && S)
            Internal([&] { S->SelectFirst(); });
        else
            SelectFirst();
        break;
    case VK_END:
        if (Open && S)
            Internal([&] { S->SelectLast(); });
        else
            SelectLast();
        break;
    case VK_LEFT:
        if (Open && !GetEditorEnabled() && S)
            Internal([&] { S->SelectPrevious(); });
        break;
    case VK_RIGHT:
        if (Open && !GetEditorEnabled() && S)
            Internal([&] { S->SelectNext(); });
        break;
    case VK_UP:
        Internal([&] { SelectPrevious(); });
        break;
    case VK_DOWN:
        Internal([&] { SelectNext(); });
        break;
    default: {
        if (GetKeyState(VK_CONTROL) < 0 || !S)
            break;
        // Items added since the last opening are searched too.
        if (S->GetItems()->GetCount() != Count)
            SyncSelector();
        else if (S->GetItemIndex() != FItemIndex)
            Internal([&] { S->SetItemIndex(FItemIndex); });
        FCurSearch += Char(K);
        Internal([&] { S->LookupItem(FCurSearch); });
        FKeyTimer->SetEnabled(true);
        break;
    }
    }
}

void TLumImagePickerDropDown::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_KEYDOWN && !GetComponentState().Contains(csDesigning)) {
        KeyDownMessage(Message);
        return;
    }
    TLumCustomDropDown::Dispatch(Message);
    if (Message.Msg == WM_PAINT)
        PaintSelectedImage();
}

void TLumImagePickerDropDown::DrawFocusedText()
{
    TLumCustomDropDown::DrawFocusedText();
    PaintSelectedImage();
}

void TLumImagePickerDropDown::PaintSelectedImage()
{
    if (!HandleAllocated())
        return;
    const bool Selected = FItemIndex >= 0 && FItemIndex < FItems->GetCount();
    if (!OnDrawSelectedImage && !Selected)
        return;
    HDC DC = GetDC(GetHandle());
    if (!DC)
        return;
    RECT Loc {};
    Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&Loc));
    const TRect R(Loc);
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    if (OnDrawSelectedImage) {
        OnDrawSelectedImage(this, &Canvas, R);
    } else {
        TImageItem* Item = FItems->GetItem(FItemIndex);
        TGraphic* G = Item->GetImage()->GetGraphic();
        if (G && !G->Empty()) {
            Canvas.Draw(R.Left + (R.Width() - G->GetWidth()) / 2, R.Top + (R.Height() - G->GetHeight()) / 2, G);
        } else if (TCustomImageList* List = GetImages(); List && Item->GetImageIndex() >= 0) {
            List->Draw(&Canvas, R.Left + (R.Width() - List->GetWidth()) / 2,
                R.Top + (R.Height() - List->GetHeight()) / 2, Item->GetImageIndex(), true);
        }
    }
    Canvas.SetHandle(HDC());
    ReleaseDC(GetHandle(), DC);
}
