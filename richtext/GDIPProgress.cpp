#include "richtext/GDIPProgress.h"

#include <algorithm>

#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

using namespace LumGDIP;

QT_PUBLISHED(TGDIPProgress, QT_PROP(Transparent), QT_PROP(Shadows), QT_PROP(Overlays), QT_PROP(BackGroundFill),
    QT_PROP(ProgressFill), QT_PROP(Font), QT_PROP(ProgressFont), QT_PROP(ValueFormat), QT_PROP(ValueType),
    QT_PROP(ValuePosition), QT_PROP(ValuePositionLeft), QT_PROP(ValuePositionTop), QT_PROP(ValueVisible))

QT_PUBLISHED(TGDIPStatus, QT_PROP(Fill), QT_PROP(Font), QT_PROP(Spacing), QT_PROP(Glow))

namespace {

// A copy of the font whose height is the original's scaled once.
std::unique_ptr<TFont> ScaledFont(TFont* font, double scale)
{
    auto copy = std::make_unique<TFont>();
    copy->Assign(font);
    copy->SetHeight(int(RoundHalfEven(font->GetHeight() * scale)));
    return copy;
}

} // namespace

void FillGradientBand(TGPGraphics* g, const TGPRectF& band, ARGB from, ARGB to, LinearGradientMode mode)
{
    if (band.Width <= 0 || band.Height <= 0)
        return;
    // The brush spans the band grown by a pixel so its ends are exact.
    const TGPRectF grown { band.X - 1, band.Y - 1, band.Width + 2, band.Height + 2 };
    TGPLinearGradientBrush brush(grown, from, to, mode);
    g->FillRectangle(&brush, band);
}

// ---- TGDIPProgress ----

TGDIPProgress::TGDIPProgress()
    : FBackGroundFill(std::make_unique<TGDIPFill>()), FProgressFill(std::make_unique<TGDIPFill>()),
      FFont(std::make_unique<TFont>()), FProgressFont(std::make_unique<TFont>())
{
    FFont->SetHeight(-11);
    FProgressFont->SetHeight(-11);
    auto changed = [this](TObject*) { Changed(); };
    FBackGroundFill->OnChange = changed;
    FProgressFill->OnChange = changed;
    FFont->OnChange = changed;
    FProgressFont->OnChange = changed;
}

TGDIPProgress::~TGDIPProgress() = default;

void TGDIPProgress::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGDIPProgress::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TGDIPProgress*>(Source);
    if (!s || s == this)
        return;
    FBackGroundFill->Assign(s->FBackGroundFill.get());
    FProgressFill->Assign(s->FProgressFill.get());
    SetValueFormat(s->FValueFormat);
    SetValueType(s->FValueType);
    SetValuePositionTop(s->FValuePositionTop);
    SetValuePositionLeft(s->FValuePositionLeft);
    SetValuePosition(s->FValuePosition);
    SetValueVisible(s->FValueVisible);
    FFont->Assign(s->FFont.get());
    FProgressFont->Assign(s->FProgressFont.get());
    SetTransparent(s->FTransparent);
    SetShadows(s->FShadows);
    SetOverlays(s->FOverlays);
}

TGPRectF TGDIPProgress::GetInsideRectF(const TRect& r) const
{
    float l = float(r.Left), t = float(r.Top), rr = float(r.Right - 1), b = float(r.Bottom - 1);
    if (FBackGroundFill->GetBorderColor() != clNone) {
        const int bw = FBackGroundFill->GetBorderWidth();
        const float d = bw == 1 ? 1.0f : float((bw + 1) / 2);
        l += d;
        t += d;
        rr -= d;
        b -= d;
    }
    return { l, t, rr - l, b - t };
}

TGPRectF TGDIPProgress::CalculateProgressRectangle(
    const TRect& r, double min, double max, double pos, TGDIPProgressDirection Direction) const
{
    const TGPRectF inside = GetInsideRectF(r);
    const double range = max - min;
    const double f = range > 0 ? (pos - min) / range : 0.0;
    const bool bordered = FProgressFill->GetBorderColor() != clNone;
    const float bw = bordered ? float(FProgressFill->GetBorderWidth()) : 0.0f;
    const float offset = bw / 2;
    auto lengthOf = [&](float usable) { return float(std::clamp(f * usable, 0.0, double(std::max(usable, 0.0f)))); };
    if (Direction == pbdHorizontal) {
        const float length = lengthOf(inside.Width - bw);
        return { inside.X + offset, inside.Y + offset, length, inside.Height - bw };
    }
    const float length = lengthOf(inside.Height - bw);
    return { inside.X + offset, inside.Y + inside.Height - offset - length, inside.Width - bw, length };
}

void TGDIPProgress::DrawShadows(TGPGraphics* g, const TGPRectF& R, TGDIPProgressDirection Direction)
{
    if (!FShadows)
        return;
    const ARGB edge = MakeARGB(30, 0, 0, 0), none = MakeARGB(0, 0, 0, 0);
    if (Direction == pbdHorizontal) {
        FillGradientBand(g, { R.X, R.Y, 10, R.Height }, edge, none, LinearGradientModeHorizontal);
        FillGradientBand(g, { R.X + R.Width - 10, R.Y, 10, R.Height }, none, edge, LinearGradientModeHorizontal);
    } else {
        FillGradientBand(g, { R.X, R.Y, R.Width, 10 }, edge, none, LinearGradientModeVertical);
        FillGradientBand(g, { R.X, R.Y + R.Height - 10, R.Width, 10 }, none, edge, LinearGradientModeVertical);
    }
}

void TGDIPProgress::DrawOverlays(TGPGraphics* g, const TGPRectF& R, TGDIPProgressDirection Direction)
{
    const ARGB gloss = MakeARGB(180, 255, 255, 255), clear = MakeARGB(0, 255, 255, 255),
               white = MakeARGB(255, 255, 255, 255);
    if (Direction == pbdHorizontal) {
        FillGradientBand(g, { R.X, R.Y, R.Width, R.Height / 2.5f }, gloss, clear, LinearGradientModeVertical);
        FillGradientBand(g, { R.X, R.Y + R.Height - R.Height / 5, R.Width, R.Height / 5 }, clear, white,
            LinearGradientModeVertical);
    } else {
        FillGradientBand(g, { R.X, R.Y, R.Width / 2.5f, R.Height }, gloss, clear, LinearGradientModeHorizontal);
        FillGradientBand(g, { R.X + R.Width - R.Width / 5, R.Y, R.Width / 5, R.Height }, clear, white,
            LinearGradientModeHorizontal);
    }
}

String TGDIPProgress::GetValueText(double min, double max, double position)
{
    double pos = position;
    if (min < max)
        pos = std::clamp(pos, min, max);
    else
        pos = max;
    double value = pos;
    if (FValueType == vtPercentage)
        value = min >= max ? max : (pos - min) / (max - min) * 100;
    String text;
    try {
        text = Format(FValueFormat, { value });
    } catch (const Exception&) {
        // A format that does not take one floating-point value shows the plain value.
        text = FloatToStr(value);
    }
    if (OnDrawValue)
        OnDrawValue(this, FValueFormat, text);
    return text;
}

TGPPointF TGDIPProgress::CalculateValuePosition(const TRect& r, const TGPRectF& P, float w, float h,
    TGDIPProgressDirection Direction, bool& UseProgressFont) const
{
    const TGPRectF inside = GetInsideRectF(r);
    if (Direction == pbdHorizontal) {
        float y = float(r.Top) + (inside.Height - h) / 2;
        float x = inside.X;
        switch (FValuePosition) {
        case vpProgressCenter: x = w > P.Width ? inside.X : inside.X + (P.Width - w) / 2; break;
        case vpProgressRight: x = w > P.Width ? inside.X : inside.X + P.Width - w; break;
        case vpCenter: x = float(r.Left) + (inside.Width - w) / 2; break;
        case vpLeft: x = inside.X; break;
        case vpRight: x = float(r.Left) + inside.Width - w; break;
        case vpCustom:
            x = float(r.Left + FValuePositionLeft);
            y = float(r.Top + FValuePositionTop);
            break;
        }
        UseProgressFont = P.X + P.Width > x + w / 2;
        return { x, y };
    }
    // Vertically the bar grows upwards from the inside bottom.
    const float bottom = inside.Y + inside.Height;
    float x = float(r.Left) + (inside.Width - w) / 2;
    float y = inside.Y;
    switch (FValuePosition) {
    case vpProgressCenter: y = h > P.Height ? bottom - h : P.Y + (P.Height - h) / 2; break;
    case vpProgressRight: y = h > P.Height ? bottom - h : P.Y; break;
    case vpCenter: y = float(r.Top) + (inside.Height - h) / 2; break;
    case vpLeft: y = inside.Y; break;
    case vpRight: y = float(r.Top) + inside.Height - h; break;
    case vpCustom:
        y = float(r.Top + FValuePositionTop);
        x = float(r.Left + FValuePositionLeft);
        break;
    }
    // The progress covers the text's middle when its far (top) edge lies above it.
    UseProgressFont = P.Height > 0 && P.Y < y + h / 2;
    return { x, y };
}

void TGDIPProgress::DrawValue(TGPGraphics* g, const TRect& r, double min, double max, double position,
    TGDIPProgressDirection Direction, double ADPIScale)
{
    const String text = GetValueText(min, max, position);
    const TGPRectF inside = GetInsideRectF(r);
    const double clamped = min < max ? std::clamp(position, min, max) : max;
    const TGPRectF P = CalculateProgressRectangle(r, min, max, clamped, Direction);

    std::unique_ptr<TFont> measureFont = ScaledFont(FFont.get(), ADPIScale);
    std::unique_ptr<TGPFont> gpMeasure(g->MakeFont(measureFont.get()));
    const TGPStringFormat format;
    TGPRectF box;
    g->MeasureString(text, int(text.size()), gpMeasure.get(), inside, &format, box);

    bool useProgressFont = false;
    const TGPPointF at = CalculateValuePosition(r, P, box.Width, box.Height, Direction, useProgressFont);
    TFont* chosen = useProgressFont ? FProgressFont.get() : FFont.get();
    std::unique_ptr<TFont> drawFont = ScaledFont(chosen, ADPIScale);
    std::unique_ptr<TGPFont> gpFont(g->MakeFont(drawFont.get()));
    const TGPSolidBrush brush(MakeARGBFromColor(255, chosen->GetColor()));
    g->DrawString(text, int(text.size()), gpFont.get(), at, &brush);
}

void TGDIPProgress::Draw(TGPGraphics* g, const TRect& r, double min, double max, double position,
    TGDIPProgressDirection Direction, double ADPIScale)
{
    if (!g)
        return;
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const bool bgBorder = FBackGroundFill->GetBorderWidth() != 0 && FBackGroundFill->GetBorderColor() != clNone;
    const TGPRectF back = bgBorder ? TGPRectF { float(r.Left), float(r.Top), float(w - 1), float(h - 1) }
                                   : TGPRectF { float(r.Left - 1), float(r.Top - 1), float(w + 1), float(h + 1) };
    if (!FTransparent)
        FBackGroundFill->Fill(g, back);
    if (position > min) {
        const TGPRectF P = CalculateProgressRectangle(r, min, max, position, Direction);
        FProgressFill->Fill(g, P);
        if ((Direction == pbdHorizontal ? P.Width : P.Height) > 0)
            DrawShadows(g, P, Direction);
    }
    const TGPRectF inside = GetInsideRectF(r);
    if (!FTransparent)
        DrawShadows(g, inside, Direction);
    if (FValueVisible)
        DrawValue(g, r, min, max, position, Direction, ADPIScale);
    if (!FTransparent && FOverlays)
        DrawOverlays(g, inside, Direction);
}

// ---- TGDIPStatus ----

TGDIPStatus::TGDIPStatus() : FFill(std::make_unique<TGDIPFill>()), FFont(std::make_unique<TFont>())
{
    FFont->SetHeight(-11);
    FFill->OnChange = [this](TObject*) { Changed(); };
    FFont->OnChange = [this](TObject*) { Changed(); };
}

TGDIPStatus::~TGDIPStatus() = default;

void TGDIPStatus::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGDIPStatus::SetSpacing(int value)
{
    if (FSpacing != value) {
        FSpacing = value;
        Changed();
    }
}

void TGDIPStatus::SetGlow(bool value)
{
    if (FGlow != value) {
        FGlow = value;
        Changed();
    }
}

void TGDIPStatus::Assign(TPersistent* Source)
{
    auto* s = dynamic_cast<TGDIPStatus*>(Source);
    if (!s || s == this)
        return;
    FFill->Assign(s->FFill.get());
    FFont->Assign(s->FFont.get());
    FGlow = s->FGlow;
    FSpacing = s->FSpacing;
    Changed();
}

TGPRectF TGDIPStatus::MeasureCaption(TGPGraphics* g, const String& Caption, double ADPIScale)
{
    TGPRectF box;
    if (!g || Caption.empty())
        return box;
    std::unique_ptr<TGPFont> font(g->MakeFont(FFont.get(), float(FFont->GetSize() * ADPIScale)));
    g->MeasureString(Caption, int(Caption.size()), font.get(), TGPRectF { 0, 0, 10000, 10000 }, box);
    return box;
}

void TGDIPStatus::CalculateSize(TGPGraphics* g, const String& Caption, double ADPIScale)
{
    if (!Caption.empty()) {
        const TGPRectF box = MeasureCaption(g, Caption, ADPIScale);
        FHeight = box.Height == 0 ? 4 : int(RoundHalfEven(box.Height + 4));
        const int textWidth = box.Width == 0 ? 4 : int(RoundHalfEven(box.Width + 4));
        // Never narrower than high.
        FWidth = std::max(FHeight, textWidth) + 2 * FSpacing;
    }
    TLumGDIPPicture* picture = FFill->GetPicture();
    if (!picture->GetEmpty()) {
        const bool custom = FFill->GetPictureSize() == psCustom;
        FWidth = std::max(FWidth, custom ? FFill->GetPictureWidth() : picture->GetWidth());
        FHeight = std::max(FHeight, custom ? FFill->GetPictureHeight() : picture->GetHeight());
    }
}

void TGDIPStatus::Draw(TGPGraphics* g, int x, int y, int Width, int Height, bool AutoSize, const String& Caption,
    double ADPIScale)
{
    if (!g)
        return;
    if (AutoSize)
        CalculateSize(g, Caption, ADPIScale);
    const float width = float(AutoSize ? FWidth : Width);
    const float height = float(AutoSize ? FHeight : Height);
    const TGPRectF text = MeasureCaption(g, Caption, ADPIScale);

    const float b = FFill->GetBorderColor() != clNone ? FFill->GetBorderWidth() / 2.0f : 0.0f;
    const TGPRectF badge { float(x), float(y), width - 2 * b, height - 2 * b };
    FFill->BeginUpdate();
    FFill->SetRounding(int(RoundHalfEven(badge.Height / 2)));
    FFill->Fill(g, badge);
    FFill->EndUpdate();

    if (!Caption.empty()) {
        std::unique_ptr<TGPFont> font(g->MakeFont(FFont.get(), float(FFont->GetSize() * ADPIScale)));
        const TGPSolidBrush brush(MakeARGBFromColor(255, FFont->GetColor()));
        const TGPPointF at { float(x) + FSpacing + (width - 2 * FSpacing - text.Width) / 2,
            float(y) + (height - text.Height) / 2 };
        g->DrawString(Caption, int(Caption.size()), font.get(), at, &brush);
    }

    if (FGlow) {
        TGDIPFill glow;
        glow.SetColor(clWhite);
        glow.SetColorTo(clWhite);
        glow.SetGradientType(gtVertical);
        glow.SetOpacity(170);
        glow.SetOpacityTo(30);
        glow.SetRoundingType(rtTop);
        glow.SetRounding(FFill->GetRounding());
        glow.SetShadowOffset(0);
        glow.SetBorderColor(clNone);
        glow.Fill(g, TGPRectF { badge.X, badge.Y, badge.Width, badge.Height / 2 });
    }
}
