#include "grid/core/LumDropDownAppearance.h"

#include <algorithm>

#include "platform/rtl/MathUtils.h"

QT_PUBLISHED(THeaderButton, QT_PROP(Caption), QT_PROP(ImageIndex), QT_PROP(Enabled), QT_PROP(Height), QT_PROP(Width))
QT_PUBLISHED(TFooterButton, QT_PROP(ModalResult))
QT_PUBLISHED(THeaderButtons)
QT_PUBLISHED(TFooterButtons)
QT_PUBLISHED(TStripAppearance, QT_PROP(Visible), QT_PROP(Height), QT_PROP(BorderWidth), QT_PROP(ImageIndex),
    QT_PROP(Caption), QT_PROP_T(ColorTo, u"TColor"), QT_PROP_T(Color, u"TColor"), QT_PROP_T(BorderColor, u"TColor"),
    QT_PROP(Font), QT_PROP(GradientDirection), QT_PROP(ButtonAlignment))
QT_PUBLISHED(THeaderAppearance, QT_PROP(Buttons))
QT_PUBLISHED(TFooterAppearance, QT_PROP(Buttons), QT_PROP(SizeGrip))

namespace LumDropDown {

namespace {

BYTE ClampChannel(Int64 v) { return BYTE(std::clamp<Int64>(v, 0, 255)); }

} // namespace

void DrawGradient(TCanvas* Canvas, TColor FromColor, TColor ToColor, bool Horizontal, const TRect& R, int Steps)
{
    if (Steps <= 0)
        Steps = 1;
    TRect W = R;
    if (Horizontal)
        --W.Right;
    else
        --W.Bottom;
    const TColor From = ColorToRGB(FromColor), To = ColorToRGB(ToColor);
    const int F[3] = { GetRValue(From), GetGValue(From), GetBValue(From) };
    double Step[3];
    const int T[3] = { GetRValue(To), GetGValue(To), GetBValue(To) };
    for (int c = 0; c < 3; ++c)
        Step[c] = double(T[c] - F[c]) / Steps;
    const double Band = double(Horizontal ? W.Right - W.Left : W.Bottom - W.Top) / Steps;
    const int BandPixels = int(RoundHalfEven(Band)) + 1;
    for (int n = 0; n < Steps; ++n) {
        const TColor C = TColor(RGB(ClampChannel(F[0] + RoundHalfEven(n * Step[0])),
            ClampChannel(F[1] + RoundHalfEven(n * Step[1])), ClampChannel(F[2] + RoundHalfEven(n * Step[2]))));
        Canvas->GetPen()->SetColor(C);
        Canvas->GetBrush()->SetColor(C);
        const int O = int(RoundHalfEven(n * Band));
        if (Horizontal)
            Canvas->FillRect(TRect(W.Left + O, W.Top, W.Left + O + BandPixels, W.Bottom));
        else
            Canvas->FillRect(TRect(W.Left, W.Top + O, W.Right, W.Top + O + BandPixels));
    }
}

} // namespace LumDropDown

// ---- buttons ----

void THeaderButton::ButtonChanged()
{
    if (auto* Buttons = dynamic_cast<THeaderButtons*>(GetCollection()))
        Buttons->ButtonChanged();
}

void THeaderButton::SetCaption(const String& Value)
{
    if (FCaption == Value)
        return;
    FCaption = Value;
    ButtonChanged();
}

void THeaderButton::SetEnabled(bool Value)
{
    if (FEnabled == Value)
        return;
    FEnabled = Value;
    ButtonChanged();
}

void THeaderButton::SetWidth(int Value)
{
    if (FWidth == Value)
        return;
    FWidth = Value;
    ButtonChanged();
}

void THeaderButton::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<THeaderButton*>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    SetCaption(S->FCaption);
    FImageIndex = S->FImageIndex;
    SetEnabled(S->FEnabled);
    FHeight = S->FHeight;
    SetWidth(S->FWidth);
}

void TFooterButton::Assign(TPersistent* Source)
{
    THeaderButton::Assign(Source);
    if (auto* S = dynamic_cast<TFooterButton*>(Source))
        FModalResult = S->FModalResult;
}

// ---- appearances ----

TStripAppearance::TStripAppearance(TComponent* AOwner, std::unique_ptr<THeaderButtons> Buttons)
    : FOwner(AOwner)
    , FFont(std::make_unique<TFont>())
    , FButtons(std::move(Buttons))
{
    FFont->SetHeight(-11);
    FButtons->OnChange = [this](TObject*) {
        if (OnButtonsChanged)
            OnButtonsChanged(this);
    };
}

TStripAppearance::~TStripAppearance() = default;

void TStripAppearance::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TStripAppearance::SetVisible(bool Value)
{
    if (FVisible == Value)
        return;
    FVisible = Value;
    Changed();
}

void TStripAppearance::CopyColors(const TStripAppearance& S)
{
    FColor = S.FColor;
    FColorTo = S.FColorTo;
    FBorderColor = S.FBorderColor;
    FGradientDirection = S.FGradientDirection;
    FFont->Assign(S.FFont.get());
}

THeaderAppearance::THeaderAppearance(TComponent* AOwner)
    : TStripAppearance(AOwner, std::make_unique<THeaderButtons>(AOwner))
{
    FFont->SetName(u"MS Sans Serif");
}

void THeaderAppearance::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<THeaderAppearance*>(Source);
    if (!S)
        return;
    CopyColors(*S);
    FCaption = S->FCaption;
    FImageIndex = S->FImageIndex;
    FBorderWidth = S->FBorderWidth;
    FHeight = S->FHeight;
    SetVisible(S->FVisible);
    FButtonAlignment = S->FButtonAlignment;
    FButtons->Assign(S->FButtons.get());
}

void THeaderAppearance::AssignColors(TPersistent* Source)
{
    if (auto* S = dynamic_cast<THeaderAppearance*>(Source))
        CopyColors(*S);
}

TFooterAppearance::TFooterAppearance(TComponent* AOwner)
    : TStripAppearance(AOwner, std::make_unique<TFooterButtons>(AOwner))
{
}

void TFooterAppearance::SetCaption(const String& Value)
{
    FCaption = Value;
    Changed();
}

void TFooterAppearance::Assign(TPersistent* Source)
{
    auto* S = dynamic_cast<TFooterAppearance*>(Source);
    if (!S)
        return;
    CopyColors(*S);
    FCaption = S->FCaption;
    FSizeGrip = S->FSizeGrip;
    FBorderWidth = S->FBorderWidth;
    FHeight = S->FHeight;
    FImageIndex = S->FImageIndex;
    SetVisible(S->FVisible);
    FButtonAlignment = S->FButtonAlignment;
    FButtons->Assign(S->FButtons.get());
}

void TFooterAppearance::AssignColors(TPersistent* Source)
{
    if (auto* S = dynamic_cast<TFooterAppearance*>(Source))
        CopyColors(*S);
}
