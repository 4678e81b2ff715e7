#include "richtext/LumSmoothProgressBar.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

using namespace LumGDIP;

QT_PUBLISHED(TLumSmoothProgressBar, QT_PROP(Step), QT_PROP(Minimum), QT_PROP(Maximum), QT_PROP(Position),
    QT_PROP(GlowAnimation), QT_PROP(ProgressAnimation), QT_PROP(Appearance), QT_PROP(Version), QT_PROP(Style),
    QT_PROP(MarqueeInterval), QT_PROP_T(MarqueeColor, u"TColor"), QT_PROP(MarqueeSize),
    QT_EVENT_T(OnDrawValue, u"TGDIPProgressDrawValueEvent"), QT_PROP(Direction), QT_EVENT(OnChange),
    QT_EVENT_T(OnPositionChanged, u"TLumSmoothProgressBarPositionChanged"), QT_PROP(UIStyle))

namespace {

constexpr double Arrived = 0.000001;
constexpr int GlowPause = 1500;

// Colours of one predefined style; "flat" styles have no overlays and no
// shadows.
struct TBarStyleColors {
    ROZEVizer Style;
    TColor Back, BackTo, BackBorder;
    TColor Progress, ProgressTo, ProgressMirror, ProgressMirrorTo, ProgressBorder;
    std::optional<TLumGradientType> MirrorType;
    bool Flat;
    TColor Font;
};

constexpr TColor None = clNone;
constexpr TColor Face = clBtnFace;
constexpr TColor Text = clWindowText;

const TBarStyleColors BarStyles[] = {
    { tsOffice2003Blue, 0xFFD2AF, 0xFFD2AF, 0xC0C0C0, 0xFCE1CB, 0xE0A57D, None, None, 0x962D00, gtVertical, false, Text },
    { tsOffice2003Silver, 0xE6D8D8, 0xE6D8D8, 0xC0C0C0, 0xECE2E1, 0xB39698, None, None, 0x947C7C, gtVertical, false,
        Text },
    { tsOffice2003Olive, 0xCFF0EA, 0xCFF0EA, 0xC0C0C0, 0xCFF0EA, 0x8CC0B1, None, None, 0x588060, gtVertical, false,
        Text },
    { tsOffice2003Classic, 0xF2F2F2, 0xF2F2F2, 0xC0C0C0, 0xFFFFFF, 0xC9D1D5, None, None, 0x808080, gtVertical, false,
        Text },
    { tsOffice2007Luna, 0xFFD2AF, 0xFFD2AF, 0xC0C0C0, 0xFFEFE3, 0xFFDDC4, 0xFFD1AD, 0xFFDBC0, 0xFFD1AD, gtVertical,
        false, Text },
    { tsOffice2007Obsidian, 0x5C534C, 0x5C534C, 0xC0C0C0, 0xF9F8F8, 0xE4E2DF, 0xD1CBC7, 0xE2DEDB, 0x000000,
        gtVertical, false, Text },
    { tsWindowsXP, 0xB6B6B6, 0xB6B6B6, 0xC0C0C0, 0xFFFFFF, Face, None, None, 0x000000, gtVertical, false, Text },
    { tsWhidbey, 0xF5F9FA, 0xF5F9FA, 0xC0C0C0, 0xF5F9FA, 0xA8C0C0, None, None, 0x962D00, gtVertical, false, Text },
    { tsOffice2007Silver, 0xCAC1BA, 0xCAC1BA, 0xC0C0C0, 0xFAEEEB, 0xE5DBD7, 0xE2D8D4, 0xD1C7C5, 0x000000,
        gtVertical, false, Text },
    { tsWindowsVista, 0xFDF8F1, 0xFDF8F1, 0xFDDE99, 0xFDF8F1, 0xFCEFD5, None, None, 0xFDDE99, gtVertical, false,
        Text },
    { tsWindows7, 0xFDF8F1, 0xFDF8F1, 0xFDDE99, 0xFDFBFA, 0xFDF3EB, None, None, 0xFBD6B8, gtVertical, false, Text },
    { tsTerminal, Face, Face, 0x808080, 0xC0C0C0, 0xC0C0C0, None, None, 0x808080, std::nullopt, false, Text },
    { tsOffice2010Blue, 0xFDF6EF, 0xF0DAC7, 0xC7B29F, 0xEDDBCD, None, None, None, 0x5B391E, gtVertical, false, Text },
    { tsOffice2010Silver, 0xFFFFFF, 0xEDE5E0, 0xD2CDC8, 0xEDE9E5, None, None, None, 0x7C6D66, gtVertical, false,
        Text },
    { tsOffice2010Black, 0xBFBFBF, 0x919191, 0xD7D7D6, 0x828282, None, None, None, 0x6D6D6D, gtVertical, false,
        Text },
    { tsWindows8, 0xF7F6F5, 0xF7F6F5, 0xE4E3E2, 0xF7E0C9, None, None, None, None, gtVertical, true, Text },
    { tsWindows10, 0xF7F6F5, 0xF7F6F5, 0xE4E3E2, 0xF7E0C9, None, None, None, None, gtVertical, true, Text },
    { tsOffice2013White, 0xFFFFFF, 0xFFFFFF, 0xD4D4D4, 0xFCE2C8, None, None, None, None, gtVertical, true, Text },
    { tsOffice2013LightGray, 0xF6F6F6, 0xF6F6F6, 0xC6C6C6, 0xFCE2C8, None, None, None, None, gtVertical, true,
        Text },
    { tsOffice2013Gray, 0xE5E5E5, 0xE5E5E5, 0xABABAB, 0xFCE2C8, None, None, None, None, gtVertical, true, Text },
    { tsOffice2016White, 0xFFFFFF, 0xFFFFFF, 0xD4D4D4, 0xE3BDA3, None, None, None, 0xE3BDA3, gtVertical, true,
        Text },
    { tsOffice2016Gray, 0xB2B2B2, 0xB2B2B2, 0x444444, 0xE3BDA3, None, None, None, 0xE3BDA3, gtVertical, true, Text },
    { tsOffice2016Black, 0x363636, 0x363636, 0x444444, 0x6A6A6A, None, None, None, 0x6A6A6A, gtVertical, true,
        Text },
    { tsOffice2019White, 0xFFFFFF, 0xFFFFFF, 0xABABAB, 0xE3BDA3, None, None, None, 0xE3BDA3, gtNone, true,
        0x444648 },
    { tsOffice2019Gray, 0xB8BBBE, 0xB8BBBE, 0x808080, 0x666666, None, None, None, 0x666666, gtNone, true,
        0x232425 },
    { tsOffice2019Black, 0x303132, 0x303132, 0x686868, 0x828282, None, None, None, 0x828282, gtNone, true,
        0xFFFFFF },
};

// Puts a device context's saved state back when the scope ends.
struct TRestoreDC {
    HDC DC;
    int Saved;
    ~TRestoreDC() { RestoreDC(DC, Saved); }
};

} // namespace

TLumSmoothProgressBar::TLumSmoothProgressBar(TComponent* AOwner)
    : TCustomControl(AOwner), FAppearance(std::make_unique<TGDIPProgress>()),
      FAnimationTimer(std::make_unique<TTimer>()), FMarqueeTimer(std::make_unique<TTimer>())
{
    SetBounds(GetLeft(), GetTop(), 150, 17);
    SetDoubleBuffered(true);
    SetTabStop(true);

    FAnimationTimer->SetInterval(10);
    FAnimationTimer->OnTimer = [this](TObject*) { AnimationTimerTick(); };
    FMarqueeTimer->SetEnabled(false);
    FMarqueeTimer->SetInterval(10);
    FMarqueeTimer->OnTimer = [this](TObject*) { MarqueeTimerTick(); };

    FAppearance->OnDrawValue = [this](TObject* Sender, const String& ValueFormat, String& ValueText) {
        if (OnDrawValue)
            OnDrawValue(Sender, ValueFormat, ValueText);
    };
    FAppearance->OnChange = [this](TObject*) { Invalidate(); };

    const TComponentState state = AOwner ? AOwner->GetComponentState() : GetComponentState();
    if (state.Contains(csDesigning) && !state.Contains(csLoading) && !state.Contains(csReading)) {
        SetComponentStyle(FormStylerStyle(AOwner, tsOffice2019White));
        FLumStyle = tsCustom;
    }
}

TLumSmoothProgressBar::~TLumSmoothProgressBar()
{
    FAnimationTimer->SetEnabled(false);
    FMarqueeTimer->SetEnabled(false);
    FAppearance->OnChange = nullptr;
    FAppearance->OnDrawValue = nullptr;
}

void TLumSmoothProgressBar::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TLumSmoothProgressBar*>(Source);
    if (!s) {
        TCustomControl::Assign(Source);
        return;
    }
    if (s == this)
        return;
    FStep = s->FStep;
    FMinimum = s->FMinimum;
    FMaximum = s->FMaximum;
    // The target follows the copied position too, so no animation pulls the
    // bar back to where this bar was heading.
    FPosition = FPositionTemp = FPositionTo = LimitedPosition(s->FPosition);
    FAnimate = false;
    FGlowAnimation = s->FGlowAnimation;
    FProgressAnimation = s->FProgressAnimation;
    FAppearance->Assign(s->FAppearance.get());
    SetStyle(s->FStyle);
    SetMarqueeInterval(s->FMarqueeInterval);
    FMarqueeColor = s->FMarqueeColor;
    FMarqueeSize = s->FMarqueeSize;
    Invalidate();
}

bool TLumSmoothProgressBar::ProgressAnimationActive() const
{
    const TComponentState state = GetComponentState();
    return FProgressAnimation && !state.Contains(csDesigning) && !state.Contains(csLoading);
}

bool TLumSmoothProgressBar::GlowAnimationActive() const
{
    const TComponentState state = GetComponentState();
    return FGlowAnimation && !state.Contains(csDesigning) && !state.Contains(csLoading);
}

bool TLumSmoothProgressBar::AnimationInProgress() const
{
    return ProgressAnimationActive() && std::abs(FPositionTemp - FPositionTo) >= 0.001;
}

double TLumSmoothProgressBar::LimitedPosition(double value) const
{
    // Not std::clamp: a minimum above the maximum must not be undefined.
    return std::max(FMinimum, std::min(value, FMaximum));
}

float TLumSmoothProgressBar::ProgressExtent() const
{
    const TGPRectF P = FAppearance->CalculateProgressRectangle(BarRect(), FMinimum, FMaximum, FPosition, FDirection);
    return FDirection == pbdHorizontal ? P.Width : P.Height;
}

void TLumSmoothProgressBar::PositionChanged(double value)
{
    if (OnPositionChanged)
        OnPositionChanged(this, value);
}

void TLumSmoothProgressBar::ShowPosition(double value)
{
    FPosition = FPositionTemp = value;
}

void TLumSmoothProgressBar::SetPosition(double value)
{
    if (std::isnan(value))
        return;
    // Asked before the target moves: a running animation is cut short.
    const bool wasRunning = AnimationInProgress();
    FPositionTo = LimitedPosition(value);
    if (wasRunning)
        ShowPosition(FPositionTo);
    if (ProgressAnimationActive()) {
        FAnimate = true;
    } else {
        ShowPosition(FPositionTo);
        PositionChanged(FPositionTo);
    }
    Invalidate();
}

void TLumSmoothProgressBar::SetMinimum(double value)
{
    if (value == FMinimum || std::isnan(value))
        return;
    FMinimum = value;
    KeepPositionInRange();
}

void TLumSmoothProgressBar::SetMaximum(double value)
{
    if (value == FMaximum || std::isnan(value))
        return;
    FMaximum = value;
    KeepPositionInRange();
}

void TLumSmoothProgressBar::KeepPositionInRange()
{
    // Neither the shown value nor the one it heads for stays outside the
    // range; with animation the bar then moves to the limit.
    FPositionTo = LimitedPosition(FPositionTo);
    if (!ProgressAnimationActive() && LimitedPosition(FPosition) != FPosition)
        ShowPosition(FPositionTo);
    Invalidate();
}

void TLumSmoothProgressBar::SetGlowAnimation(bool value)
{
    FGlowAnimation = value;
    Invalidate();
}

void TLumSmoothProgressBar::SetProgressAnimation(bool value)
{
    FProgressAnimation = value;
    if (!value) {
        FAnimate = false;
        SetPosition(FPositionTo);
    }
    Invalidate();
}

void TLumSmoothProgressBar::SetStyle(TProgressBarStyle value)
{
    FStyle = value;
    FAnimationTimer->SetEnabled(value == pbstNormal);
    FMarqueeTimer->SetEnabled(value == pbstMarquee);
    Invalidate();
}

void TLumSmoothProgressBar::SetMarqueeInterval(int value)
{
    FMarqueeInterval = value;
    FMarqueeTimer->SetInterval(UINT(std::max(value, 0)));
    Invalidate();
}

void TLumSmoothProgressBar::SetMarqueeColor(TColor value)
{
    FMarqueeColor = value;
    Invalidate();
}

void TLumSmoothProgressBar::SetMarqueeSize(int value)
{
    FMarqueeSize = value;
    Invalidate();
}

void TLumSmoothProgressBar::SetDirection(TGDIPProgressDirection value)
{
    FDirection = value;
    Invalidate();
}

// ---- animation ----

void TLumSmoothProgressBar::AnimationTimerTick()
{
    if ((ProgressAnimationActive() && FAnimate) || FPositionTemp != FPositionTo) {
        AnimateProgress();
        Invalidate();
    }
    if (FPosition > FMinimum && GlowAnimationActive()) {
        StepGlow();
        Invalidate();
    }
}

void TLumSmoothProgressBar::AnimateProgress()
{
    const double distance = std::abs(FPositionTo - FPositionTemp);
    const double step = std::max(distance / 15, Arrived);
    const double next = FPositionTemp < FPositionTo ? FPositionTemp + step : FPositionTemp - step;
    // Far from zero a step of a millionth can be below the value's precision;
    // the animation then arrives instead of stepping in place for ever.
    if (distance < Arrived || next == FPositionTemp) {
        FAnimate = false;
        ShowPosition(FPositionTo);
        PositionChanged(FPositionTo);
        return;
    }
    ShowPosition(next);
    PositionChanged(next);
}

void TLumSmoothProgressBar::StepGlow()
{
    if (FGlowCount < GlowPause) {
        FGlowCount += 10;
        return;
    }
    FGlowPos += 3;
    if (FGlowPos > ProgressExtent()) {
        FGlowPos = -60;
        FGlowCount = 0;
    }
}

void TLumSmoothProgressBar::MarqueeTimerTick()
{
    const TComponentState state = GetComponentState();
    if (state.Contains(csDesigning) || state.Contains(csDestroying))
        return;
    FGlowPos += 8;
    const int length = FDirection == pbdHorizontal ? GetWidth() : GetHeight();
    if (FGlowPos > length + 2 * FMarqueeSize) {
        FGlowCount = 0;
        FGlowPos = -2 * FMarqueeSize;
    }
    Invalidate();
}

// ---- styling ----

void TLumSmoothProgressBar::SetComponentStyle(ROZEVizer AStyle)
{
    FLumStyle = AStyle;
    if (AStyle == tsCustom)
        return;
    const TBarStyleColors* colors = nullptr;
    for (const TBarStyleColors& c : BarStyles)
        if (c.Style == AStyle)
            colors = &c;
    if (!colors)
        return;
    FAppearance->SetOverlays(!colors->Flat);
    FAppearance->SetShadows(!colors->Flat);
    FGlowAnimation = true;
    FAppearance->GetFont()->SetColor(colors->Font);

    TGDIPFill* back = FAppearance->GetBackGroundFill();
    back->SetColor(colors->Back);
    back->SetColorTo(colors->BackTo);
    back->SetBorderColor(colors->BackBorder);

    TGDIPFill* progress = FAppearance->GetProgressFill();
    progress->SetColor(colors->Progress);
    progress->SetColorTo(colors->ProgressTo);
    progress->SetColorMirror(colors->ProgressMirror);
    progress->SetColorMirrorTo(colors->ProgressMirrorTo);
    progress->SetBorderColor(colors->ProgressBorder);
    if (colors->MirrorType)
        progress->SetGradientMirrorType(*colors->MirrorType);
    Invalidate();
}

void TLumSmoothProgressBar::SetColorTones(const TColorTones& ATones)
{
    FAppearance->SetOverlays(false);
    FAppearance->SetShadows(false);
    FGlowAnimation = false;

    TGDIPFill* back = FAppearance->GetBackGroundFill();
    back->SetColor(ATones.Foreground.BrushColor);
    back->SetColorTo(ATones.Foreground.BrushColor);
    back->SetColorMirror(ATones.Foreground.BrushColor);
    back->SetColorMirrorTo(ATones.Foreground.BrushColor);
    back->SetBorderColor(ATones.Foreground.BorderColor);

    TGDIPFill* progress = FAppearance->GetProgressFill();
    progress->SetColor(ATones.Selected.BrushColor);
    progress->SetColorTo(ATones.Selected.BrushColor);
    progress->SetColorMirror(ATones.Selected.BrushColor);
    progress->SetColorMirrorTo(ATones.Selected.BrushColor);
    progress->SetBorderColor(ATones.Selected.BorderColor);

    FAppearance->GetFont()->SetColor(ATones.Selected.TextColor);
    Invalidate();
}

// ---- size ----

void TLumSmoothProgressBar::Resize()
{
    TCustomControl::Resize();
    Invalidate();
}

void TLumSmoothProgressBar::ChangeScale(int M, int D, bool isDpiChange)
{
    TCustomControl::ChangeScale(M, D, isDpiChange);
    for (TFont* font : { FAppearance->GetFont(), FAppearance->GetProgressFont() })
        font->SetHeight(MulDiv(font->GetHeight(), M, D));
}

// ---- painting ----

void TLumSmoothProgressBar::Paint()
{
    TGPGraphics g(GetCanvas()->GetHandle());
    g.SetSmoothingMode(4); // anti-aliased
    g.SetTextRenderingHint(TextRenderingHintClearTypeGridFit);
    FRect = BarRect();
    FAppearance->Draw(&g, FRect, FMinimum, FMaximum, FStyle == pbstMarquee ? 0.0 : FPosition, FDirection, 1.0);
    if (FStyle == pbstMarquee || (GlowAnimationActive() && FPosition > FMinimum))
        DrawGlow(g);
}

void TLumSmoothProgressBar::DrawGlow(TGPGraphics& g)
{
    const bool marquee = FStyle == pbstMarquee;
    const TColor color = marquee ? FMarqueeColor : clWhite;
    const float s = float(marquee ? FMarqueeSize : 30);
    if (!marquee) {
        const TGPRegion clip(
            FAppearance->CalculateProgressRectangle(FRect, FMinimum, FMaximum, FPosition, FDirection));
        g.SetClip(&clip);
    }
    const ARGB clear = MakeARGBFromColor(0, color), peak = MakeARGBFromColor(120, color);
    const TGPRectF R = FAppearance->GetInsideRectF(FRect);
    const float at = float(FGlowPos);
    if (FDirection == pbdHorizontal) {
        FillGradientBand(&g, { at - s, R.Y, s, R.Height }, clear, peak, LinearGradientModeHorizontal);
        FillGradientBand(&g, { at, R.Y, s, R.Height }, peak, clear, LinearGradientModeHorizontal);
    } else {
        // The glow rises from the bottom.
        FillGradientBand(&g, { R.X, R.Height - at - s, R.Width, s }, clear, peak, LinearGradientModeVertical);
        FillGradientBand(&g, { R.X, R.Height - at, R.Width, s }, peak, clear, LinearGradientModeVertical);
    }
    if (!marquee)
        g.ResetClip();
}

bool TLumSmoothProgressBar::PaintsOpaque() const
{
    const TGDIPFill* back = FAppearance->GetBackGroundFill();
    return !FAppearance->GetTransparent() && back->GetOpacity() == 255 && back->GetOpacityTo() == 255
        && back->GetOpacityMirror() == 255 && back->GetOpacityMirrorTo() == 255 && back->GetRounding() == 0;
}

void TLumSmoothProgressBar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        // The bar (or its parent, below) paints every pixel itself.
        Message.Result = 1;
        return;
    case WM_PAINT:
        WMPaint(Message);
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TLumSmoothProgressBar::WMPaint(TMessage& Message)
{
    if (PaintsOpaque()) {
        PaintHandler(Message);
        return;
    }
    if (HDC dc = reinterpret_cast<HDC>(Message.WParam)) {
        PaintParentBackground(dc);
        PaintHandler(Message);
        return;
    }
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(GetHandle(), ps);
    if (!dc)
        return;
    const TRect client = BarRect();
    try {
        if (GetDoubleBuffered() && client.Width() > 0 && client.Height() > 0) {
            // One transfer to the window, so the parent's background never
            // shows on its own between frames.
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, client.Width(), client.Height());
            HGDIOBJ old = SelectObject(mem, bmp);
            Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
            Perform(WM_PAINT, reinterpret_cast<WPARAM>(mem), 0);
            BitBlt(dc, 0, 0, client.Width(), client.Height(), mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        } else {
            Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        }
    } catch (...) {
        // Painting never raises into the window system.
        if (Application)
            Application->HandleException(this);
    }
    EndPaint(GetHandle(), ps);
    Message.Result = 0;
}

void TLumSmoothProgressBar::PaintParentBackground(HDC DC)
{
    TWinControl* parent = GetParent();
    if (!parent)
        return;
    const TRestoreDC restore { DC, SaveDC(DC) };
    // The parent's client origin lands on the bar's: the parent paints as
    // if onto itself, and only the bar's area is kept.
    OffsetWindowOrgEx(DC, GetLeft(), GetTop(), nullptr);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
}
