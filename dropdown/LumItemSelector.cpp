#include "dropdown/LumItemSelector.h"

#include <algorithm>

#include "dropdown/LumDropDownRoutines.h"
#include "grid/core/GridPainters.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"
#include "richtext/MiniHTML.h"

QT_PUBLISHED(TSelectorItem, QT_PROP(Caption), QT_PROP(ImageIndex), QT_PROP_T(Color, u"TColor"), QT_PROP(Image),
    QT_PROP(Hint))
QT_PUBLISHED(TSelectorItems)
QT_PUBLISHED(TItemAppearance, QT_PROP_T(ColorMirrorHotTo, u"TColor"), QT_PROP_T(BorderColor, u"TColor"),
    QT_PROP_T(ColorMirrorHot, u"TColor"), QT_PROP_T(ColorSelectedTo, u"TColor"), QT_PROP_T(ColorSelected, u"TColor"),
    QT_PROP_T(EdgeColor, u"TColor"), QT_PROP_T(ColorHotTo, u"TColor"), QT_PROP_T(BorderColorBottom, u"TColor"),
    QT_PROP_T(ColorHot, u"TColor"), QT_PROP_T(BorderColorTop, u"TColor"), QT_PROP_T(ColorMirrorSelectedTo, u"TColor"),
    QT_PROP_T(ColorMirrorSelected, u"TColor"), QT_PROP_T(ColorSelectedText, u"TColor"),
    QT_PROP_T(ColorHotText, u"TColor"), QT_PROP(Font), QT_PROP_T(BorderColorHot, u"TColor"),
    QT_PROP_T(BorderColorSelected, u"TColor"))
QT_PUBLISHED(TCustomItemSelector)
QT_PUBLISHED(TLumCustomItemSelector, QT_PROP(Items), QT_PROP(SelectorType), QT_PROP(ItemLayout), QT_PROP(Columns),
    QT_PROP(ColorBoxWidth), QT_PROP(ColorBoxHeight), QT_PROP(ItemAppearance), QT_PROP(ItemIndex))

// ---- TSelectorItem ----

TSelectorItem::TSelectorItem(TCollection* Collection)
    : TCollectionItem(Collection)
    , FImage(std::make_unique<TPicture>())
{
}

TSelectorItem::~TSelectorItem() = default;

void TSelectorItem::Changed()
{
    auto* Items = dynamic_cast<TSelectorItems*>(GetCollection());
    if (Items && Items->OnChange)
        Items->OnChange(Items);
}

void TSelectorItem::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    Changed();
}

void TSelectorItem::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed();
}

void TSelectorItem::SetColor(TColor Value)
{
    if (FColor == Value)
        return;
    FColor = Value;
    Changed();
}

bool TSelectorItem::HasPicture() const
{
    TGraphic* G = FImage->GetGraphic();
    return G && !G->Empty();
}

void TSelectorItem::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TSelectorItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(Other->FCaption);
    SetColor(Other->FColor);
    SetImageIndex(Other->FImageIndex);
    FImage->Assign(Other->FImage.get());
    FEnabled = Other->FEnabled;
    FHint = Other->FHint;
}

TSelectorItems::TSelectorItems(TPersistent* AOwner)
    : TLumOwnedCollection<TSelectorItem>(AOwner)
{
}

// ---- TItemAppearance ----

TItemAppearance::TItemAppearance(TPersistent* AOwner)
    : FOwner(AOwner)
    , FFont(std::make_unique<TFont>())
{
    FFont->SetName(u"MS Sans Serif");
    FFont->SetHeight(-11);
    SetColorStyle(scOffice2007);
    FColorSelectedText = clBlack;
    FColorHotText = clBlack;
    FBorderColorHot = clNone;
    FBorderColorSelected = clNone;
}

TItemAppearance::~TItemAppearance() = default;

void TItemAppearance::SetColorStyle(TSelectionColorStyle Value)
{
    if (FColorStyle == Value)
        return;
    FColorStyle = Value;
    struct Preset {
        TColor Hot, HotTo, MirrorHot, MirrorHotTo, Top, Bottom, Border, Edge, Sel, SelTo, MirrorSel, MirrorSelTo;
    };
    static const Preset Presets[] = {
        { 0xD7FFFD, 0x58D4FC, 0x58D4FC, 0xB3F1FC, 0xF4FEFF, 0xCAF8FF, 0x8DD7D3, 0xC3D9DF, 0xA6FFFB, 0x04B9F4,
            0x15C1FB, 0x68E3F9 },
        { 0xFDF8F1, 0xFCEFD5, clNone, clNone, 0xFDFBF6, 0xFDF5E7, 0xFDDE99, 0xFCEDCB, 0xFAEEDE, 0xFAE3B4, clNone,
            clNone },
        { 0xFCEBDC, 0xFCDBC1, clNone, clNone, 0xFDF4EB, 0xFDEADB, 0xCEA27D, 0xE0C5AE, 0xF9D8B9, 0xFBCAA2, clNone,
            clNone },
    };
    if (Value == scCustom)
        return;
    const Preset& P = Presets[Value - scOffice2007];
    FColorHot = P.Hot;
    FColorHotTo = P.HotTo;
    FColorMirrorHot = P.MirrorHot;
    FColorMirrorHotTo = P.MirrorHotTo;
    FBorderColorTop = P.Top;
    FBorderColorBottom = P.Bottom;
    FBorderColor = P.Border;
    FEdgeColor = P.Edge;
    FColorSelected = P.Sel;
    FColorSelectedTo = P.SelTo;
    FColorMirrorSelected = P.MirrorSel;
    FColorMirrorSelectedTo = P.MirrorSelTo;
}

void TItemAppearance::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TItemAppearance*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    FColorHot = Other->FColorHot;
    FColorHotTo = Other->FColorHotTo;
    FColorMirrorHot = Other->FColorMirrorHot;
    FColorMirrorHotTo = Other->FColorMirrorHotTo;
    FBorderColorTop = Other->FBorderColorTop;
    FBorderColorBottom = Other->FBorderColorBottom;
    FBorderColor = Other->FBorderColor;
    FEdgeColor = Other->FEdgeColor;
    FColorSelected = Other->FColorSelected;
    FColorSelectedTo = Other->FColorSelectedTo;
    FColorMirrorSelected = Other->FColorMirrorSelected;
    FColorMirrorSelectedTo = Other->FColorMirrorSelectedTo;
    FFont->Assign(Other->FFont.get());
    // A different named style brings its own preset over the copied colours.
    SetColorStyle(Other->FColorStyle);
    FColorSelectedText = Other->FColorSelectedText;
    FColorHotText = Other->FColorHotText;
    FBorderColorHot = Other->FBorderColorHot;
    FBorderColorSelected = Other->FBorderColorSelected;
}

// ---- TCustomItemSelector ----

TCustomItemSelector::TCustomItemSelector(TComponent* AOwner)
    : TCustomControl(AOwner)
{
    FLumItemSelector = dynamic_cast<TLumCustomItemSelector*>(AOwner);
    if (!FLumItemSelector)
        throw Exception(u"Invalid parent");
    SetParentColor(true);
}

TCustomItemSelector::~TCustomItemSelector() = default;

int TCustomItemSelector::GetColumns() const { return FLumItemSelector->GetColumns(); }
TSelectorItems* TCustomItemSelector::GetItems() const { return FLumItemSelector->GetItems(); }
TSelectorType TCustomItemSelector::GetSelectorType() const { return FLumItemSelector->GetSelectorType(); }
TItemLayout TCustomItemSelector::GetItemLayout() const { return FLumItemSelector->GetItemLayout(); }
TCustomImageList* TCustomItemSelector::GetImages() const { return FLumItemSelector->GetImages(); }
TSelectionColorStyle TCustomItemSelector::GetItemColorStyle() const
{
    return FLumItemSelector->GetItemAppearance()->GetColorStyle();
}
TColor TCustomItemSelector::GetItemColorHot() const { return FLumItemSelector->GetItemAppearance()->GetColorHot(); }
TColor TCustomItemSelector::GetItemColorHotTo() const
{
    return FLumItemSelector->GetItemAppearance()->GetColorHotTo();
}
TColor TCustomItemSelector::GetItemColorSelected() const
{
    return FLumItemSelector->GetItemAppearance()->GetColorSelected();
}
TColor TCustomItemSelector::GetItemColorSelectedTo() const
{
    return FLumItemSelector->GetItemAppearance()->GetColorSelectedTo();
}
int TCustomItemSelector::GetColorBoxHeight() const { return FLumItemSelector->GetColorBoxHeight(); }
int TCustomItemSelector::GetColorBoxWidth() const { return FLumItemSelector->GetColorBoxWidth(); }

bool TCustomItemSelector::InList(int Index) const { return Index >= 0 && Index < GetItems()->GetCount(); }
bool TCustomItemSelector::Disabled(int Index) const { return InList(Index) && !GetItems()->GetItem(Index)->GetEnabled(); }

double TCustomItemSelector::Scale() { return LumDropDown::DPIScaleOfControl(this); }

void TCustomItemSelector::SetCanvasFont(TCanvas* Canvas)
{
    TFont* F = FLumItemSelector->GetItemAppearance()->GetFont();
    Canvas->GetFont()->Assign(F);
    Canvas->GetFont()->SetHeight(int(RoundHalfEven(F->GetHeight() * Scale())));
}

void TCustomItemSelector::MeasureCaption(TCanvas* Canvas, const String& Caption, const TRect& R, TSize& Size,
    bool Paint)
{
    LumDropDown::DrawHTMLCaption(Canvas, Caption, R, Size, float(Scale()), HandleAllocated() ? GetHandle() : HWND(),
        Paint, GetImages());
}

void TCustomItemSelector::GetItemSize(TSize& Size)
{
    if (FLumItemSelector->OnItemSize) {
        FLumItemSelector->OnItemSize(this, Size);
        return;
    }
    int a = 0, b = 0, c = 0, d = 0;
    if (GetSelectorType() == stColor) {
        a = GetColorBoxWidth();
        b = GetColorBoxHeight();
    }
    TBitmap Measure(1, 1);
    TCanvas* Canvas = Measure.GetCanvas();
    SetCanvasFont(Canvas);
    const double S = Scale();
    for (TSelectorItem* Item : *GetItems()) {
        if (GetSelectorType() == stImage) {
            if (Item->HasPicture()) {
                a = std::max(a, Item->GetImage()->GetWidth());
                b = std::max(b, Item->GetImage()->GetHeight());
            } else if (GetImages() && Item->GetImageIndex() >= 0) {
                a = std::max(a, GetImages()->GetWidth());
                b = std::max(b, GetImages()->GetHeight());
            }
        }
        TSize T;
        MeasureCaption(Canvas, Item->GetCaption(), TRect(0, 0, 1000, 500), T, false);
        d = std::max(d, int(RoundHalfEven(T.cx * S)));
        c = std::max(c, int(T.cy));
    }
    if (d > 0)
        d += 4;
    if (GetItemLayout() == ilCaptionLeft || GetItemLayout() == ilCaptionRight) {
        Size.cx = 2 * FItemOffSetX + (a > 0 ? a : 0) + (a > 0 && d > 0 ? FCaptionGap : 0) + (d > 0 ? d : 0);
        Size.cy = std::max(b, c) + 2 * FItemOffSetY;
    } else {
        Size.cx = std::max(a, d) + 2 * FItemOffSetX;
        Size.cy = 2 * FItemOffSetY + (b > 0 ? b : 0) + (b > 0 && c >= 1 ? FCaptionGap : 0) + (c >= 1 ? c : 0);
    }
}

void TCustomItemSelector::GetItemsRect(TRect& R)
{
    R = GetClientRect();
    R.Left += FOffSetX;
    R.Right -= FOffSetX;
    R.Top += FOffSetY;
    R.Bottom -= FOffSetY;
}

void TCustomItemSelector::ArrangeItems()
{
    TSelectorItems* Items = GetItems();
    if (Items->GetCount() == 0) {
        SetHeight(50);
        SetWidth(100);
        return;
    }
    FItemHot = -1;
    TSize S;
    GetItemSize(S);
    TRect Area;
    GetItemsRect(Area);
    const int x0 = Area.Left, y0 = Area.Top;
    int x = x0, y = y0, k = 0, m = 0;
    const int Last = Items->GetCount() - 1;
    for (int i = 0; i <= Last; ++i) {
        Items->GetItem(i)->SetRect(TRect(x, y, x + S.cx, y + S.cy));
        ++k;
        if (i == Last)
            break;
        if (k < GetColumns()) {
            x += S.cx;
        } else {
            y += S.cy;
            m = std::max(m, x);
            x = x0;
            k = 0;
        }
    }
    SetHeight(y + S.cy + y0);
    SetWidth(std::max(x, m) + S.cx + x0);
}

void TCustomItemSelector::GetItemRect(int Index, TRect& R) const
{
    if (!InList(Index)) {
        R = TRect(-1, -1, -1, -1);
        return;
    }
    R = GetItems()->GetItem(Index)->GetRect();
}

int TCustomItemSelector::ItemAtPos(int X, int Y) const
{
    const TPoint P(X, Y);
    for (int i = 0; i < GetItems()->GetCount(); ++i)
        if (PtInRect(GetItems()->GetItem(i)->GetRect(), P))
            return i;
    return -1;
}

void TCustomItemSelector::InvalidateItem(int Index)
{
    if (!InList(Index) || !HandleAllocated())
        return;
    const TRect R = GetItems()->GetItem(Index)->GetRect();
    InvalidateRect(GetHandle(), &R, true);
}

void TCustomItemSelector::DrawItemBackground(int Index, TCanvas* Canvas) { DrawItemBackgroundOnly(Index, Canvas, false); }

void TCustomItemSelector::DrawItem(int Index, TCanvas* Canvas) { DrawItemBackgroundOnly(Index, Canvas, true); }

// Paints an item's background and, when Full, its content and caption.
void TCustomItemSelector::DrawItemBackgroundOnly(int Index, TCanvas* Canvas, bool Full)
{
    if (!InList(Index) || !Canvas || !FLumItemSelector)
        return;
    TSelectorItem* Item = GetItems()->GetItem(Index);
    const TRect R = Item->GetRect();
    if (R.Left < 0 && R.Right < 0)
        return;
    const TItemAppearance* A = FLumItemSelector->GetItemAppearance();
    TColor Border = A->GetBorderColor(), Top = A->GetBorderColorTop(), Bottom = A->GetBorderColorBottom(),
           Edge = A->GetEdgeColor();
    TColor Fill = clNone, FillTo = clNone, Mirror = clNone, MirrorTo = clNone;
    bool Highlighted = false;
    if (Index == FItemHot) {
        Fill = A->GetColorHot();
        FillTo = A->GetColorHotTo();
        Mirror = A->GetColorMirrorHot();
        MirrorTo = A->GetColorMirrorHotTo();
        Highlighted = true;
        if (A->GetBorderColorHot() != clNone) {
            Border = A->GetBorderColorHot();
            Top = Bottom = Edge = clNone;
        }
    }
    if (Index == FItemIndex) {
        Fill = A->GetColorSelected();
        FillTo = A->GetColorSelectedTo();
        Mirror = A->GetColorMirrorSelected();
        MirrorTo = A->GetColorMirrorSelectedTo();
        Highlighted = true;
        if (A->GetBorderColorSelected() != clNone) {
            Border = A->GetBorderColorSelected();
            Top = Bottom = Edge = clNone;
        }
    }
    TColor Background = GetColor();
    TColor TextColor = GetFont()->GetColor();
    if (IsVCLStyleActive()) {
        TCustomStyleServices* Style = StyleServices();
        const auto Details = Style->GetElementDetails(tgCellNormal);
        TColor C;
        if (Style->GetElementColor(Details, ecFillColor, C))
            Background = C;
        if (Style->GetElementColor(Details, ecTextColor, C))
            TextColor = C;
    }
    if (!Highlighted) {
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->GetBrush()->SetColor(Background);
        Canvas->FillRect(R);
    } else if (Top == clNone) {
        if (FillTo != clNone) {
            LumDropDown::DrawGradient(Canvas, Fill, FillTo, false, R, 80);
        } else if (Fill != clNone) {
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetBrush()->SetColor(Fill);
            Canvas->FillRect(R);
        }
        if (Border != clNone) {
            Canvas->GetPen()->SetColor(Border);
            Canvas->GetPen()->SetWidth(1);
            Canvas->GetBrush()->SetStyle(bsClear);
            Canvas->Rectangle(R);
            Canvas->GetBrush()->SetStyle(bsSolid);
        }
    } else {
        VuzEraz::DrawRoundedSelection(Canvas, Fill, FillTo, Mirror, MirrorTo, Top, Bottom, Border, Edge, GetColor(),
            R, VuzEraz::seBoth);
    }
    if (!Full)
        return;
    if (FLumItemSelector->OnDrawItem) {
        FLumItemSelector->OnDrawItem(this, GetCanvas(), R, Index);
        return;
    }
    const double S = Scale();
    int w = 0, h = 0;
    const bool ColorBox = GetSelectorType() == stColor;
    const bool Picture = !ColorBox && Item->HasPicture();
    const bool ListImage = !ColorBox && !Picture && GetImages() && Item->GetImageIndex() >= 0;
    if (ColorBox) {
        w = int(RoundHalfEven(GetColorBoxWidth() * S));
        h = int(RoundHalfEven(GetColorBoxHeight() * S));
    } else if (Picture) {
        w = Item->GetImage()->GetWidth();
        h = Item->GetImage()->GetHeight();
    } else if (ListImage) {
        w = GetImages()->GetWidth();
        h = GetImages()->GetHeight();
    }
    TRect T = R;
    T.Left += FItemOffSetX;
    T.Right -= FItemOffSetX;
    T.Top += FItemOffSetY;
    T.Bottom -= FItemOffSetY;
    TRect C = T;
    SetCanvasFont(Canvas);
    TColor FontColor = TextColor;
    if (Index == FItemHot)
        FontColor = A->GetColorHotText();
    if (Index == FItemIndex)
        FontColor = A->GetColorSelectedText();
    Canvas->GetFont()->SetColor(FontColor);
    const TColor BoxColor = Item->GetColor() != clNone ? Item->GetColor() : Canvas->GetBrush()->GetColor();
    // Draws the content with its top left at (X, Y).
    auto DrawContent = [&](int X, int Y) {
        if (ColorBox) {
            Canvas->GetPen()->SetColor(clBlack);
            Canvas->GetPen()->SetWidth(1);
            Canvas->GetBrush()->SetStyle(bsSolid);
            Canvas->GetBrush()->SetColor(BoxColor);
            Canvas->Rectangle(X, Y, X + w, Y + h);
        } else if (Picture) {
            Canvas->Draw(X, Y, Item->GetImage()->GetGraphic());
        } else if (ListImage) {
            GetImages()->Draw(Canvas, X, Y, Item->GetImageIndex(), Item->GetEnabled());
        }
    };
    auto CentreVertically = [&](TRect& Box, int TextHeight) {
        if (TextHeight < Box.Height())
            Box.Top += (Box.Height() - TextHeight) / 2;
    };
    const String& Caption = Item->GetCaption();
    TSize Text;
    Canvas->GetBrush()->SetStyle(bsClear);
    switch (GetItemLayout()) {
    case ilCaptionLeft:
        if (!Caption.empty()) {
            T.Right -= w;
            MeasureCaption(Canvas, Caption, T, Text, false);
            CentreVertically(T, Text.cy);
            MeasureCaption(Canvas, Caption, T, Text, true);
            C.Left = T.Left + Text.cx + FCaptionGap;
        }
        DrawContent(C.Left, ColorBox ? C.Top : C.Top + (C.Height() - h) / 2);
        break;
    case ilCaptionRight:
        DrawContent(C.Left, ColorBox ? C.Top : C.Top + (C.Height() - h) / 2);
        if (ColorBox || Picture || ListImage)
            T.Left = C.Left + w + FCaptionGap;
        if (!Caption.empty()) {
            MeasureCaption(Canvas, Caption, T, Text, false);
            CentreVertically(T, Text.cy);
            MeasureCaption(Canvas, Caption, T, Text, true);
        }
        break;
    case ilCaptionTop:
        if (!Caption.empty()) {
            T.Bottom -= h;
            MeasureCaption(Canvas, Caption, T, Text, true);
            C.Top = T.Top + Text.cy + FCaptionGap;
        } else {
            C.Top += (C.Height() - h) / 2;
        }
        C.Left += (C.Width() - w) / 2;
        DrawContent(C.Left, C.Top);
        break;
    case ilCaptionBottom:
        if (Caption.empty())
            C.Top += (C.Height() - h) / 2;
        C.Left += (C.Width() - w) / 2;
        DrawContent(C.Left, C.Top);
        T.Top = C.Top + h + FCaptionGap;
        if (!Caption.empty())
            MeasureCaption(Canvas, Caption, T, Text, true);
        break;
    }
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TCustomItemSelector::DrawItems(TCanvas* Canvas)
{
    for (int i = 0; i < GetItems()->GetCount(); ++i)
        DrawItem(i, Canvas);
}

void TCustomItemSelector::Paint()
{
    TCustomControl::Paint();
    TCanvas* Canvas = GetCanvas();
    if (IsVCLStyleActive()) {
        TColor C = clWhite;
        StyleServices()->GetElementColor(StyleServices()->GetElementDetails(tgCellNormal), ecFillColor, C);
        Canvas->GetPen()->SetColor(C);
        Canvas->GetBrush()->SetColor(C);
        Canvas->GetBrush()->SetStyle(bsSolid);
        Canvas->Rectangle(GetClientRect());
    }
    if (FLumItemSelector->OnBeforeDrawItems)
        FLumItemSelector->OnBeforeDrawItems(this, Canvas);
    DrawItems(Canvas);
    if (FLumItemSelector->OnAfterDrawItems)
        FLumItemSelector->OnAfterDrawItems(this, Canvas);
}

void TCustomItemSelector::SetItemIndex(int Value)
{
    // An index past either end would name an item that is not there, and a
    // host reading it on OnItemSelect would read past the list: ignore it.
    if (Value < -1 || Value >= GetItems()->GetCount() || Disabled(Value))
        return;
    if (FItemIndex >= 0 && Value != FItemIndex) {
        const int Old = FItemIndex;
        FItemIndex = -1;
        InvalidateItem(Old);
    }
    FItemIndex = Value;
    if (Value >= 0) {
        if (HandleAllocated())
            DrawItem(Value, GetCanvas());
        if (OnItemSelect)
            OnItemSelect(this);
    }
}

void TCustomItemSelector::SetItemHot(int Index)
{
    if (Index == FItemHot || Index < -1 || Index >= GetItems()->GetCount() || Disabled(Index))
        return;
    if (FItemHot >= 0) {
        const int Old = FItemHot;
        FItemHot = -1;
        InvalidateItem(Old);
    }
    FItemHot = Index;
    if (Index >= 0 && HandleAllocated())
        DrawItem(Index, GetCanvas());
}

void TCustomItemSelector::SelectFirst()
{
    if (GetItems()->GetCount() > 0)
        SetItemIndex(0);
}

void TCustomItemSelector::SelectLast()
{
    if (GetItems()->GetCount() > 0)
        SetItemIndex(GetItems()->GetCount() - 1);
}

void TCustomItemSelector::SelectNext()
{
    if (GetItems()->GetCount() == 0)
        return;
    const int Next = FItemIndex < 0 ? 0 : FItemIndex + 1;
    if (Next < GetItems()->GetCount())
        SetItemIndex(Next);
}

void TCustomItemSelector::SelectPrevious()
{
    if (GetItems()->GetCount() == 0)
        return;
    const int Prev = FItemIndex < 0 ? 0 : FItemIndex - 1;
    if (Prev >= 0)
        SetItemIndex(Prev);
}

void TCustomItemSelector::HotNext()
{
    if (GetItems()->GetCount() == 0)
        return;
    const int Next = FItemHot < 0 ? 0 : FItemHot + 1;
    if (Next < GetItems()->GetCount())
        SetItemHot(Next);
}

void TCustomItemSelector::HotPrevious()
{
    if (GetItems()->GetCount() == 0)
        return;
    const int Prev = FItemHot < 0 ? 0 : FItemHot - 1;
    if (Prev >= 0)
        SetItemHot(Prev);
}

bool TCustomItemSelector::LookupItem(const String& S)
{
    const int Count = GetItems()->GetCount();
    if (Count == 0 || S.empty())
        return false;
    auto Matches = [&](int i) {
        const String Plain = AnsiUpperCase(Trim(VovHTMLE::HTMLToPlainText(GetItems()->GetItem(i)->GetCaption())));
        return Plain.compare(0, S.size(), S) == 0;
    };
    const int Start = FItemIndex < 0 ? 0 : FItemIndex;
    for (int i = Start; i < Count; ++i)
        if (i != FItemIndex && Matches(i)) {
            SetItemIndex(i);
            return true;
        }
    if (Start > 0)
        for (int i = 0; i < Count; ++i)
            if (Matches(i)) {
                SetItemIndex(i);
                return true;
            }
    return false;
}

void TCustomItemSelector::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0 && !Disabled(i))
        SetItemIndex(i);
}

void TCustomItemSelector::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ItemAtPos(X, Y);
    if (i >= 0) {
        if (i != FItemHot) {
            SetItemHot(Disabled(i) ? -1 : i);
            SetHint(GetItems()->GetItem(i)->GetHint());
            Application->CancelHint();
        }
    } else if (FItemHot >= 0) {
        SetItemHot(-1);
    }
}

void TCustomItemSelector::MouseLeave()
{
    TCustomControl::MouseLeave();
    if (FItemHot >= 0)
        SetItemHot(-1);
}

// ---- TLumCustomItemSelector ----

TLumCustomItemSelector::TLumCustomItemSelector(TComponent* AOwner)
    : TScrollingWinControl(AOwner)
    , FItems(std::make_unique<TSelectorItems>(this))
    , FItemAppearance(std::make_unique<TItemAppearance>(this))
{
    FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
    FItemAppearance->OnChange = [](TObject*) { };
    SetColor(clWindow);
    SetAutoScroll(true);
    SetAutoSize(false);
    CreateSelectorPanel();
    UpdateSelectorPanel();
}

TLumCustomItemSelector::~TLumCustomItemSelector() = default;

void TLumCustomItemSelector::CreateSelectorPanel()
{
    if (FItemSelectorPanel)
        return;
    FItemSelectorPanel = new TCustomItemSelector(this);
    FItemSelectorPanel->SetParent(this);
    FItemSelectorPanel->OnItemSelect = [this](TObject* Sender) { PanelItemSelect(Sender); };
}

void TLumCustomItemSelector::PanelItemSelect(TObject*)
{
    if (OnItemSelect)
        OnItemSelect(this);
}

void TLumCustomItemSelector::ItemsChanged(TObject*) { UpdateSelectorPanel(); }

void TLumCustomItemSelector::UpdateSelectorPanel()
{
    if (FItemSelectorPanel)
        FItemSelectorPanel->ArrangeItems();
}

void TLumCustomItemSelector::SetSelectorType(TSelectorType Value)
{
    if (FSelectorType == Value)
        return;
    FSelectorType = Value;
    UpdateSelectorPanel();
}

void TLumCustomItemSelector::SetColumns(int Value)
{
    if (FColumns == Value || Value <= 0)
        return;
    FColumns = Value;
    UpdateSelectorPanel();
}

void TLumCustomItemSelector::SetColorBoxWidth(int Value)
{
    if (FColorBoxWidth == Value)
        return;
    FColorBoxWidth = Value;
    UpdateSelectorPanel();
}

void TLumCustomItemSelector::SetColorBoxHeight(int Value)
{
    if (FColorBoxHeight == Value)
        return;
    FColorBoxHeight = Value;
    UpdateSelectorPanel();
}

void TLumCustomItemSelector::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    UpdateSelectorPanel();
}

void TLumCustomItemSelector::Notification(TComponent* AComponent, TOperation Operation)
{
    TScrollingWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages && !GetComponentState().Contains(csDestroying))
        SetImages(nullptr);
    if (Operation == opRemove && AComponent == FItemSelectorPanel)
        FItemSelectorPanel = nullptr;
}

int TLumCustomItemSelector::GetItemIndex() const { return FItemSelectorPanel ? FItemSelectorPanel->GetItemIndex() : -1; }

int TLumCustomItemSelector::GetItemHot() const { return FItemSelectorPanel ? FItemSelectorPanel->GetItemHot() : -1; }

void TLumCustomItemSelector::SetItemIndex(int Value)
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SetItemIndex(Value);
    ScrollItemInView(FItemSelectorPanel->GetItemIndex());
}

void TLumCustomItemSelector::SelectFirst()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectFirst();
    ScrollItemInView(GetItemIndex());
}

void TLumCustomItemSelector::SelectLast()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectLast();
    ScrollItemInView(GetItemIndex());
}

void TLumCustomItemSelector::SelectNext()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectNext();
    ScrollItemInView(GetItemIndex());
}

void TLumCustomItemSelector::SelectPrevious()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->SelectPrevious();
    ScrollItemInView(GetItemIndex());
}

void TLumCustomItemSelector::HotNext()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->HotNext();
    ScrollItemInView(GetItemHot());
}

void TLumCustomItemSelector::HotPrevious()
{
    if (!FItemSelectorPanel)
        return;
    FItemSelectorPanel->HotPrevious();
    ScrollItemInView(GetItemHot());
}

bool TLumCustomItemSelector::LookupItem(const String& S)
{
    return FItemSelectorPanel ? FItemSelectorPanel->LookupItem(S) : false;
}

void TLumCustomItemSelector::ScrollItemInView(int Index)
{
    if (!FItemSelectorPanel || Index < 0 || Index >= FItems->GetCount())
        return;
    TControlScrollBar* Bar = GetVertScrollBar();
    if (!Bar->IsScrollBarVisible())
        return;
    TRect R;
    FItemSelectorPanel->GetItemRect(Index, R);
    // The panel's top is where the scrolling has moved it.
    R.Top += FItemSelectorPanel->GetTop();
    R.Bottom += FItemSelectorPanel->GetTop();
    const int ClientHeight = GetClientHeight();
    if (R.Top < 0) {
        Bar->SetPosition(Bar->GetPosition() + R.Top);
    } else if (R.Bottom > ClientHeight) {
        if (R.Height() > ClientHeight)
            R.Bottom = R.Top + ClientHeight;
        Bar->SetPosition(Bar->GetPosition() + R.Bottom - ClientHeight);
    }
}

int TLumCustomItemSelector::GetVisibleItemCount()
{
    if (!FItemSelectorPanel || FItems->GetCount() == 0)
        return 0;
    const int ItemHeight = FItems->GetItem(0)->GetRect().Height();
    // An item size handler may give no height: nothing fits a page then.
    if (ItemHeight <= 0)
        return 0;
    int H = GetHeight();
    if (GetHorzScrollBar()->IsScrollBarVisible())
        H -= 20;
    return H / ItemHeight * FColumns;
}

void TLumCustomItemSelector::GetPanelSize(TSize& Size)
{
    if (!FItemSelectorPanel) {
        Size = TSize(100, 50);
        return;
    }
    Size = TSize(FItemSelectorPanel->GetWidth(), FItemSelectorPanel->GetHeight());
}

void TLumCustomItemSelector::Dispatch(TMessage& Message)
{
    if (Message.Msg == WM_GETDLGCODE) {
        Message.Result = DLGC_WANTARROWS | DLGC_WANTALLKEYS;
        return;
    }
    TScrollingWinControl::Dispatch(Message);
}

void TLumCustomItemSelector::PaintWindow(HDC DC)
{
    TScrollingWinControl::PaintWindow(DC);
    if (!IsVCLStyleActive())
        return;
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    TColor C = clWhite;
    StyleServices()->GetElementColor(StyleServices()->GetElementDetails(tgCellNormal), ecFillColor, C);
    Canvas.GetBrush()->SetColor(C);
    Canvas.Rectangle(GetClientRect());
    Canvas.SetHandle(HDC());
}
