#include "dropdown/LumCalcButtonPanel.h"

#include "platform/vcl/ImgList.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Window.h"
#include "richtext/LumGDIP.h"

using namespace LumGDIP;

QT_PUBLISHED(TCalcButtonItem, QT_PROP(Caption), QT_PROP(ImageIndex), QT_PROP(Image), QT_PROP(Tag),
    QT_PROP_T(CaptionColor, u"TColor"))
QT_PUBLISHED(TCalcButtonItems)
QT_PUBLISHED(TButtonAppearance, QT_PROP_T(BorderColor, u"TColor"), QT_PROP_T(BorderColorHot, u"TColor"),
    QT_PROP_T(BorderColorDown, u"TColor"), QT_PROP_T(Color, u"TColor"), QT_PROP_T(ColorTo, u"TColor"),
    QT_PROP_T(ColorDown, u"TColor"), QT_PROP_T(ColorDownTo, u"TColor"), QT_PROP_T(ColorHot, u"TColor"),
    QT_PROP_T(ColorHotTo, u"TColor"), QT_PROP(Font), QT_PROP_T(ShineColor, u"TColor"),
    QT_PROP_T(GlowColorHot, u"TColor"), QT_PROP_T(GlowColorDown, u"TColor"), QT_PROP_T(TextColor, u"TColor"),
    QT_PROP_T(SpecialTextColor, u"TColor"))
QT_PUBLISHED(TCustomButtonPanel)

// In a drop-down window Tab goes to the drop-down, which closes on it,
// instead of moving the focus within the window.
void TCustomButtonPanel::Dispatch(TMessage& Message)
{
    TCustomControl::Dispatch(Message);
    if (Message.Msg == WM_GETDLGCODE && FLumDropDown)
        Message.Result |= DLGC_WANTTAB;
}

namespace {

struct TKey {
    const char16_t* Name;
    const char16_t* Caption;
    int Tag;
    bool Special;
};

// In collection order; the layout places them by name.
constexpr TKey CalculatorKeys[] = {
    { u"BTN_ON", u"", 30, false }, { u"BTN_BACK", u"Back", 31, true }, { u"BTN_CE", u"CE", 32, true },
    { u"BTN_C", u"C", 16, true }, { u"BTN_MC", u"MC", 33, true }, { u"BTN_MR", u"MR", 34, true },
    { u"BTN_MS", u"MS", 35, true }, { u"BTN_M+", u"M+", 36, true }, { u"BTN_0", u"0", 0, false },
    { u"BTN_1", u"1", 1, false }, { u"BTN_4", u"4", 4, false }, { u"BTN_7", u"7", 7, false },
    { u"BTN_8", u"8", 8, false }, { u"BTN_5", u"5", 5, false }, { u"BTN_2", u"2", 2, false },
    { u"BTN_+/-", u"+/-", 14, false }, { u"BTN_.", u".", 15, false }, { u"BTN_3", u"3", 3, false },
    { u"BTN_6", u"6", 6, false }, { u"BTN_9", u"9", 9, false }, { u"BTN_/", u"/", 13, true },
    { u"BTN_*", u"*", 12, true }, { u"BTN_-", u"-", 11, true }, { u"BTN_+", u"+", 10, true },
    { u"BTN_=", u"=", 17, true }, { u"BTN_1/x", u"1/x", 38, false }, { u"BTN_%", u"%", 18, false },
    { u"BTN_sqrt", u"sqrt", 37, true },
};

// The four keypad rows under the top row, by column.
constexpr const char16_t* KeypadGrid[4][6] = {
    { u"BTN_MC", u"BTN_7", u"BTN_8", u"BTN_9", u"BTN_/", u"BTN_sqrt" },
    { u"BTN_MR", u"BTN_4", u"BTN_5", u"BTN_6", u"BTN_*", u"BTN_%" },
    { u"BTN_MS", u"BTN_1", u"BTN_2", u"BTN_3", u"BTN_-", u"BTN_1/x" },
    { u"BTN_M+", u"BTN_0", u"BTN_+/-", u"BTN_.", u"BTN_+", u"BTN_=" },
};

constexpr TColor InnerLineColor = TColor(0xE7E0C7);

TGPRectF FaceRect(float L, float T, float W, float H) { return TGPRectF { L, T, W, H }; }

} // namespace

// ---- TCalcButtonItem ----

TCalcButtonItem::TCalcButtonItem(TCollection* Collection)
    : TCollectionItem(Collection), FImage(std::make_unique<TPicture>())
{
}

TCalcButtonItem::~TCalcButtonItem() = default;

void TCalcButtonItem::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TCalcButtonItem*>(Source);
    if (!Other) {
        TCollectionItem::Assign(Source);
        return;
    }
    FCaption = Other->FCaption;
    FCaptionColor = Other->FCaptionColor;
    FTag = Other->FTag;
    FImageIndex = Other->FImageIndex;
    FImage->Assign(Other->FImage.get());
    FEnabled = Other->FEnabled;
    FName = Other->FName;
}

void TCalcButtonItem::SetRect(int Left, int Top, int Width, int Height)
{
    FLeft = Left;
    FTop = Top;
    FWidth = Width;
    FHeight = Height;
}

TCalcButtonItems::TCalcButtonItems(TPersistent* AOwner) : TLumOwnedCollection(AOwner) { }

// ---- TButtonAppearance ----

TButtonAppearance::TButtonAppearance() : FFont(std::make_unique<TFont>())
{
    FFont->SetSize(10);
    FFont->SetStyle(TFontStyles { fsBold });
}

TButtonAppearance::~TButtonAppearance() = default;

void TButtonAppearance::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TButtonAppearance::Change(TColor& Field, TColor Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Changed();
}

void TButtonAppearance::SetFont(TFont* Value)
{
    FFont->Assign(Value);
    Changed();
}

void TButtonAppearance::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TButtonAppearance*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    SetBorderColor(Other->FBorderColor);
    SetBorderColorHot(Other->FBorderColorHot);
    SetBorderColorDown(Other->FBorderColorDown);
    SetBorderColorChecked(Other->FBorderColorChecked);
    SetColor(Other->FColor);
    SetColorTo(Other->FColorTo);
    SetColorDown(Other->FColorDown);
    SetColorDownTo(Other->FColorDownTo);
    SetColorHot(Other->FColorHot);
    SetColorHotTo(Other->FColorHotTo);
    SetColorCheckedTo(Other->FColorCheckedTo);
    SetColorDisabled(Other->FColorDisabled);
    SetColorDisabledTo(Other->FColorDisabledTo);
    SetColorChecked(Other->FColorChecked);
    FShineColor = Other->FShineColor;
    FGlowColorHot = Other->FGlowColorHot;
    FGlowColorDown = Other->FGlowColorDown;
    SetFont(Other->FFont.get());
    SetTextColor(Other->FTextColor);
    SetSpecialTextColor(Other->FSpecialTextColor);
}

// ---- TCustomButtonPanel ----

TCustomButtonPanel::TCustomButtonPanel(TComponent* AOwner)
    : TCustomControl(AOwner)
    , FButtons(std::make_unique<TCalcButtonItems>(this))
    , FButtonAppearance(std::make_unique<TButtonAppearance>())
{
    SetDoubleBuffered(true);
    FButtonAppearance->OnChange = [this](TObject* Sender) { AppearanceChanged(Sender); };
}

TCustomButtonPanel::~TCustomButtonPanel() = default;

void TCustomButtonPanel::AppearanceChanged(TObject*)
{
    // In a drop-down the host repaints when it restyles.
    if (!FLumDropDown)
        Invalidate();
}

void TCustomButtonPanel::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove || GetComponentState().Contains(csDestroying))
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FEdit)
        FEdit = nullptr;
}

void TCustomButtonPanel::SetImages(TCustomImageList* Value)
{
    if (FImages == Value)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    LayoutButtons();
}

void TCustomButtonPanel::SetEdit(TCustomEdit* Value)
{
    if (FEdit == Value)
        return;
    if (FEdit)
        FEdit->RemoveFreeNotification(this);
    FEdit = Value;
    if (FEdit)
        FEdit->FreeNotification(this);
}

void TCustomButtonPanel::SetButtonPanelType(TButtonPanelType Value)
{
    if (FButtonPanelType == Value)
        return;
    FButtonPanelType = Value;
    LayoutButtons();
}

void TCustomButtonPanel::Loaded()
{
    TCustomControl::Loaded();
    if (!FLumDropDown)
        BuildButtons();
}

void TCustomButtonPanel::Resize()
{
    TCustomControl::Resize();
    LayoutButtons();
}

void TCustomButtonPanel::GetButtonArea(TRect& Rect)
{
    Rect = GetClientRect();
    Rect.Left += FOffSetX;
    Rect.Right -= FOffSetX;
    Rect.Top += FOffSetY;
    Rect.Bottom -= FOffSetY;
}

void TCustomButtonPanel::ClearButtons()
{
    FButtonHot = -1;
    FButtonDown = -1;
    FButtons->Clear();
}

void TCustomButtonPanel::ResetButtons()
{
    ClearButtons();
    BuildButtons();
}

void TCustomButtonPanel::BuildButtons()
{
    if (FButtons->GetCount() == 0 && FButtonPanelType == plCalculator) {
        for (const TKey& Key : CalculatorKeys) {
            TCalcButtonItem* Item = FButtons->Add();
            Item->SetName(Key.Name);
            Item->SetCaption(Key.Caption);
            Item->SetTag(Key.Tag);
            if (Key.Special) {
                Item->SetSpecial(true);
                Item->SetCaptionColor(TColor(0x000080));
            }
        }
    }
    LayoutButtons();
}

void TCustomButtonPanel::LayoutButtons()
{
    if (FButtonPanelType != plCalculator || FButtons->GetCount() == 0)
        return;
    auto Place = [this](const char16_t* Name, int Left, int Top, int Width, int Height) {
        for (TCalcButtonItem* Item : *FButtons)
            if (Item->GetName() == Name) {
                Item->SetRect(Left, Top, Width, Height);
                return;
            }
    };
    TRect A;
    GetButtonArea(A);
    const int w = (A.Right - A.Left - 8) / 6;
    const int h = (A.Bottom - A.Top - 4) / 5;
    // Neighbours in a group share their one-pixel border; groups stand 4 apart.
    const int c1 = A.Left, c2 = c1 + w + 4, c3 = c2 + w - 1, c4 = c3 + w - 1, c5 = c4 + w + 4, c6 = c5 + w - 1;
    const int Columns[6] = { c1, c2, c3, c4, c5, c6 };
    const int r0 = A.Top, r1 = A.Top + h + 4, r2 = r1 + h - 1, r3 = r2 + h - 1, r4 = r3 + h - 1;
    const int Rows[4] = { r1, r2, r3, r4 };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 6; ++c)
            Place(KeypadGrid[r][c], Columns[c], Rows[r], w, h);
    Place(u"BTN_ON", c1, r0, w, h);
    const int E = c6 + w;
    const int x0 = c1 + w + 4;
    const int v = (E - x0 - 8) / 3;
    Place(u"BTN_BACK", x0, r0, v, h);
    Place(u"BTN_CE", x0 + v + 4, r0, v, h);
    Place(u"BTN_C", x0 + 2 * v + 8, r0, E - (x0 + 2 * v + 8), h);
}

TRect TCustomButtonPanel::GetButtonRect(int Index) const
{
    if (Index < 0 || Index >= FButtons->GetCount())
        return TRect(-1, -1, -1, -1);
    return FButtons->GetItem(Index)->GetRect();
}

int TCustomButtonPanel::ButtonAtPos(int X, int Y) const
{
    for (int i = 0; i < FButtons->GetCount(); ++i)
        if (FButtons->GetItem(i)->GetRect().Contains(TPoint(X, Y)))
            return i;
    return -1;
}

void TCustomButtonPanel::InvalidateButton(int Index)
{
    if (Index < 0 || Index >= FButtons->GetCount() || !HandleAllocated())
        return;
    TRect R = GetButtonRect(Index);
    R.Inflate(8, 8);
    const RECT r { R.Left, R.Top, R.Right, R.Bottom };
    InvalidateRect(GetHandle(), &r, true);
}

void TCustomButtonPanel::ButtonClick(int Index)
{
    if (OnButtonClick)
        OnButtonClick(this, Index);
}

bool TCustomButtonPanel::Usable(int Index) const
{
    return Index < FButtons->GetCount() && (Index < 0 || FButtons->GetItem(Index)->GetEnabled());
}

void TCustomButtonPanel::SetButtonHot(int Index)
{
    if (Index == FButtonHot || Index < -1 || !Usable(Index))
        return;
    if (FButtonHot >= 0) {
        const int Old = FButtonHot;
        FButtonHot = -1;
        InvalidateButton(Old);
    }
    FButtonHot = Index;
    if (Index >= 0 && HandleAllocated())
        DrawButton(Index, GetCanvas());
}

void TCustomButtonPanel::SetButtonDown(int Index)
{
    if (Index == FButtonDown || Index < -1 || !Usable(Index))
        return;
    if (FButtonDown >= 0) {
        const int Old = FButtonDown;
        FButtonDown = -1;
        InvalidateButton(Old);
    }
    FButtonDown = Index;
    if (Index >= 0 && HandleAllocated())
        DrawButton(Index, GetCanvas());
}

void TCustomButtonPanel::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseDown(Button, Shift, X, Y);
    const int i = ButtonAtPos(X, Y);
    if (i >= 0 && Usable(i))
        SetButtonDown(i);
}

void TCustomButtonPanel::MouseMove(TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseMove(Shift, X, Y);
    const int i = ButtonAtPos(X, Y);
    SetButtonHot(Usable(i) ? i : -1);
}

void TCustomButtonPanel::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FButtonDown < 0)
        return;
    // Only a release over the pressed button completes its click.
    const int Pressed = FButtonDown;
    const bool Over = ButtonAtPos(X, Y) == Pressed;
    SetButtonDown(-1);
    if (Over)
        ButtonClick(Pressed);
}

void TCustomButtonPanel::MouseLeave()
{
    TCustomControl::MouseLeave();
    SetButtonHot(-1);
}

void TCustomButtonPanel::GetMinButtonSize(int& Width, int& Height)
{
    TBitmap Measure(1, 1);
    TCanvas* Canvas = Measure.GetCanvas();
    Canvas->GetFont()->Assign(GetFont());
    int tw = 0, th = 0, iw = 0, ih = 0;
    for (TCalcButtonItem* Item : *FButtons) {
        if (!Item->GetCaption().empty()) {
            const TSize S = Canvas->TextExtent(Item->GetCaption());
            tw = std::max(tw, int(S.cx));
            th = std::max(th, int(S.cy));
        }
        TGraphic* Picture = Item->GetImage()->GetGraphic();
        if (Picture && !Picture->Empty()) {
            iw = std::max(iw, Picture->GetWidth());
            ih = std::max(ih, Picture->GetHeight());
        } else if (FImages && Item->GetImageIndex() >= 0) {
            iw = std::max(iw, FImages->GetWidth());
            ih = std::max(ih, FImages->GetHeight());
        }
    }
    if (FButtonLayout == ilCaptionLeft || FButtonLayout == ilCaptionRight) {
        Width = 2 * FButtonOffSetX + (iw > 0 ? iw : 0) + (iw > 0 && tw > 0 ? FCaptionGap : 0) + tw;
        Height = std::max(ih, th) + 2 * FButtonOffSetY;
    } else {
        Width = std::max(iw, tw) + 2 * FButtonOffSetX;
        Height = 2 * FButtonOffSetY + (ih > 0 ? ih : 0);
        if (th >= 1)
            Height += (ih > 0 ? FCaptionGap : 0) + th;
    }
}

void TCustomButtonPanel::DrawFace(TCanvas* Canvas, const TRect& R, TColor Border, TColor From, TColor To, TColor Glow)
{
    const float L = float(R.Left), T = float(R.Top), Rt = float(R.Right), B = float(R.Bottom);
    const float W = Rt - L;
    const float Mid = float(R.Top + (R.Bottom - R.Top) / 2);
    TGPGraphics G(Canvas->GetHandle());
    G.SetSmoothingMode(4);

    TGPLinearGradientBrush Lower(FaceRect(L, Mid, W - 1, B - Mid), ToOpaqueARGB(From), ToOpaqueARGB(To),
        LinearGradientModeVertical);
    G.FillRectangle(&Lower, FaceRect(L, Mid, W - 1, B - Mid - 1));
    TGPSolidBrush Upper(ToOpaqueARGB(From));
    G.FillRectangle(&Upper, FaceRect(L, T, W - 1, Mid - T));
    // The shine takes the stored bytes as they are, so "no colour" shines white.
    const Byte SR = GetRValue(COLORREF(FButtonAppearance->GetShineColor()));
    const Byte SG = GetGValue(COLORREF(FButtonAppearance->GetShineColor()));
    const Byte SB = GetBValue(COLORREF(FButtonAppearance->GetShineColor()));
    TGPLinearGradientBrush Shine(FaceRect(L, T, W - 1, Mid - T), MakeARGB(160, SR, SG, SB), MakeARGB(90, SR, SG, SB),
        LinearGradientModeVertical);
    G.FillRectangle(&Shine, FaceRect(L, T, W - 1, Mid - T));

    TGPPen White(MakeARGB(255, 255, 255, 255), 1.0f);
    G.DrawLine(&White, L, T + 1, Rt, T + 1);
    TGPPen Inner(ToOpaqueARGB(InnerLineColor), 1.0f);
    TGPGraphicsPath InnerLine;
    InnerLine.AddLine(L + 1, T + 2, L + 1, B - 2);
    InnerLine.AddLine(L + 1, B - 2, Rt - 1, B - 2);
    InnerLine.AddLine(Rt - 1, B - 2, Rt - 1, T + 1);
    G.DrawPath(&Inner, &InnerLine);
    TGPPen Frame(ToOpaqueARGB(Border), 1.0f);
    G.DrawRectangle(&Frame, L, T, W, B - T - 1);

    if (Glow == clNone)
        return;
    TGPPen GlowFrame(MakeARGBFromColor(100, Glow), 1.0f);
    G.DrawRectangle(&GlowFrame, L, T, W, B - T - 1);
    struct TPiece {
        float Left, Top, Right, Bottom;
        LinearGradientMode Mode;
        Byte From, To;
    };
    const TPiece Pieces[] = {
        { L - 8, T, L, B, LinearGradientModeHorizontal, 0, 130 },
        { Rt - 1, T, Rt + 8, B, LinearGradientModeHorizontal, 130, 0 },
        { L, T - 8, Rt, T, LinearGradientModeVertical, 0, 130 },
        { L, B - 1, Rt, B + 7, LinearGradientModeVertical, 130, 0 },
        { L - 6, B - 1, L, B + 5, LinearGradientModeBackwardDiagonal, 130, 0 },
        { Rt, B, Rt + 5, B + 5, LinearGradientModeForwardDiagonal, 130, 0 },
        { L - 6, T - 6, L, T, LinearGradientModeForwardDiagonal, 0, 130 },
        { Rt, T - 6, Rt + 5, T, LinearGradientModeBackwardDiagonal, 0, 130 },
    };
    for (const TPiece& P : Pieces) {
        const TGPRectF Box = FaceRect(P.Left, P.Top, P.Right - P.Left, P.Bottom - P.Top);
        TGPGraphicsPath Path;
        Path.AddRectangle(Box);
        Path.CloseFigure();
        TGPLinearGradientBrush Fade(Box, MakeARGBFromColor(P.From, Glow), MakeARGBFromColor(P.To, Glow), P.Mode);
        G.FillPath(&Fade, &Path);
    }
}

void TCustomButtonPanel::DrawButton(int Index, TCanvas* Canvas)
{
    if (Index < 0 || Index >= FButtons->GetCount() || !Canvas)
        return;
    TCalcButtonItem* Item = FButtons->GetItem(Index);
    const TRect R = Item->GetRect();
    if (R.Left < 0 && R.Right < 0)
        return;
    const TButtonAppearance& A = *FButtonAppearance;
    TColor Border = A.GetBorderColor(), From = A.GetColor(), To = A.GetColorTo(), Glow = clNone;
    if (Index == FButtonDown) {
        Border = A.GetBorderColorDown();
        From = A.GetColorDown();
        To = A.GetColorDownTo();
        Glow = A.GetGlowColorDown();
    } else if (Index == FButtonHot) {
        Border = A.GetBorderColorHot();
        From = A.GetColorHot();
        To = A.GetColorHotTo();
        Glow = A.GetGlowColorHot();
    }
    DrawFace(Canvas, R, Border, From, To, Glow);

    // The picture: the item's own, else its entry in the image list.
    TGraphic* Picture = Item->GetImage()->GetGraphic();
    if (Picture && Picture->Empty())
        Picture = nullptr;
    const bool ListImage = !Picture && FImages && Item->GetImageIndex() >= 0;
    const int iw = Picture ? Picture->GetWidth() : ListImage ? FImages->GetWidth() : 0;
    const int ih = Picture ? Picture->GetHeight() : ListImage ? FImages->GetHeight() : 0;
    auto DrawImage = [&](int X, int Y) {
        if (Picture)
            Canvas->Draw(X, Y, Picture);
        else if (ListImage)
            FImages->Draw(Canvas, X, Y, Item->GetImageIndex(), Item->GetEnabled());
    };

    TRect C = R;
    C.Left += FButtonOffSetX;
    C.Right -= FButtonOffSetX;
    C.Top += FButtonOffSetY;
    C.Bottom -= FButtonOffSetY;
    Canvas->GetFont()->Assign(A.GetFont());
    Canvas->GetFont()->SetColor(Item->GetSpecial() ? A.GetSpecialTextColor() : A.GetTextColor());
    Canvas->GetBrush()->SetStyle(bsClear);
    const int y0 = C.Top + (C.Height() - ih) / 2;
    const bool HasImage = Picture || ListImage;
    const String& Caption = Item->GetCaption();
    auto DrawCaption = [&](TRect Box, bool Centred) {
        String Text = Caption;
        TTextFormat Format { tfSingleLine, tfVerticalCenter };
        Format = Format + (Centred ? tfCenter : tfLeft);
        Canvas->TextRect(Box, Text, Format);
    };
    switch (FButtonLayout) {
    case ilCaptionLeft:
        if (!Caption.empty()) {
            C.Right -= iw;
            DrawCaption(C, !HasImage);
            DrawImage(C.Left + Canvas->TextWidth(Caption) + FCaptionGap, y0);
        } else {
            DrawImage(C.Left, y0);
        }
        break;
    case ilCaptionRight:
        DrawImage(C.Left, y0);
        C.Left += iw + FCaptionGap;
        if (!Caption.empty())
            DrawCaption(C, !HasImage);
        break;
    case ilCaptionTop:
        if (!Caption.empty()) {
            C.Bottom -= ih;
            DrawCaption(C, true);
            DrawImage(C.Left, C.Top + Canvas->TextHeight(Caption) + FCaptionGap);
        } else {
            DrawImage(C.Left, y0);
        }
        break;
    case ilCaptionBottom: {
        const int Top = Caption.empty() ? y0 : C.Top;
        DrawImage(C.Left, Top);
        C.Top = Top + ih + FCaptionGap;
        if (!Caption.empty())
            DrawCaption(C, true);
        break;
    }
    }
    Canvas->GetBrush()->SetStyle(bsSolid);
}

void TCustomButtonPanel::DrawButtons(TCanvas* Canvas, bool IncludeHot)
{
    for (int i = 0; i < FButtons->GetCount(); ++i)
        if (IncludeHot || i != FButtonHot)
            DrawButton(i, Canvas);
}

void TCustomButtonPanel::Paint()
{
    TCanvas* Canvas = GetCanvas();
    if (!FLumDropDown) {
        Canvas->GetBrush()->SetStyle(bsClear);
        Canvas->GetPen()->SetColor(clBlack);
        Canvas->Rectangle(GetClientRect());
        Canvas->GetBrush()->SetStyle(bsSolid);
    }
    DrawButtons(Canvas, false);
    // The hot button last, so its glow lies over its neighbours.
    if (FButtonHot >= 0)
        DrawButton(FButtonHot, Canvas);
}
