// Small control elements the drawing object paints itself, so that the
// library's controls look alike on both contexts.

#include <cmath>
#include <functional>

#include "graphics/LumBitmap.h"
#include "graphics/LumGeometry.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsDefaults.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr TColor GlyphBackground = 0xFFFFFF;
constexpr TColor DarkGray = 0xA9A9A9;
constexpr TColor LightGray = 0xD3D3D3;

TRectF Shrink(const TRectF& R, float D) { return InflateRectF(R, -D, -D); }

// A white bitmap of ASize x ASize pixels, transparent in white, with lines
// drawn by a plain GDI drawing object in the glyph colour.
std::unique_ptr<TLumBitmap> MakeLineGlyph(int ASize, float AStrokeWidth,
    const std::function<void(TLumGraphics&)>& ADrawLines)
{
    TBitmap bitmap;
    bitmap.SetSize(ASize, ASize);
    bitmap.SetTransparent(true);
    bitmap.SetTransparentColor(GlyphBackground);
    {
        TLumGraphics g(bitmap.GetCanvas(), false);
        g.BeginScene();
        g.SetFillKind(gfkSolid);
        g.SetFillColor(GlyphBackground);
        g.SetStrokeKind(gskSolid);
        g.SetStrokeColor(GlyphBackground);
        g.DrawRectangle(TRectF { 0, 0, float(ASize), float(ASize) }, gcrmShrinkAll);
        g.SetStrokeKind(gskSolid);
        g.SetStrokeWidth(AStrokeWidth);
        g.SetStrokeColor(DefaultGlyphColor);
        ADrawLines(g);
        g.EndScene();
    }
    auto glyph = std::make_unique<TLumBitmap>();
    glyph->Assign(&bitmap);
    return glyph;
}

void Line(TLumGraphics& G, float AX1, float AY1, float AX2, float AY2)
{
    G.DrawLine(TPointF { AX1, AY1 }, TPointF { AX2, AY2 }, gcpmRightDown, gcpmRightDown);
}

void DrawResourceGlyph(TLumGraphics& G, const TRectF& ARect, const Char* AResourceName)
{
    auto glyph = std::make_unique<TLumBitmap>();
    glyph->LoadFromResource(AResourceName);
    G.DrawBitmap(ARect, glyph.get(), true, false, true, false);
}

struct TChevron {
    TPointF A, B, C;
};

// A chevron of two strokes, (A) to (B) and (B) to (C) in units of the scale,
// in the style's glyph colour; else the embedded SVG glyph inset by 4 units.
void DrawChevron(TLumGraphics& G, const TRectF& ARect, bool AAdaptToStyle, float s, const TChevron& AChevron,
    const Char* AResourceName)
{
    if (!AAdaptToStyle) {
        DrawResourceGlyph(G, Shrink(ARect, 4 * s), AResourceName);
        return;
    }
    // Captured by name, not as structured bindings: some compilers refuse
    // a lambda that captures bindings.
    const TPointF &a = AChevron.A, &b = AChevron.B, &c = AChevron.C;
    auto glyph = MakeLineGlyph(RoundToInt(16 * s), 2, [&](TLumGraphics& g) {
        Line(g, a.X * s, a.Y * s, b.X * s, b.Y * s);
        Line(g, b.X * s, b.Y * s, c.X * s, c.Y * s);
    });
    G.DrawBitmap(ARect, glyph.get(), true, false, true, false);
}

} // namespace

void TLumGraphics::DrawButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
    float /*AScaleFactor*/)
{
    SetStrokeKind(gskSolid);
    SetStrokeWidth(1);
    SetFillKind(gfkSolid);
    TColor stroke, fill;
    if (!AEnabled) {
        stroke = AAdaptToStyle ? DefaultDisabledButtonStrokeColor : DarkGray;
        fill = AAdaptToStyle ? DefaultDisabledButtonFillColor : LightGray;
    } else if (AFocused) {
        stroke = AAdaptToStyle ? DefaultFocusedButtonStrokeColor : MakeRGBColor(60, 127, 177);
        fill = AAdaptToStyle ? DefaultFocusedButtonFillColor : MakeRGBColor(229, 241, 251);
    } else {
        stroke = AAdaptToStyle ? DefaultButtonStrokeColor : DarkGray;
        fill = AAdaptToStyle ? DefaultButtonFillColor : MakeRGBColor(225, 225, 225);
    }
    SetStrokeColor(stroke);
    SetFillColor(fill);
    DrawRectangle(ARect, gcrmShrinkAll);

    // A second border inside the first: light when pressed, the face colour otherwise.
    SetFillKind(gfkNone);
    SetStrokeColor(ADown ? LightenColor(stroke, 40) : fill);
    DrawRectangle(Shrink(ARect, 1), gcrmShrinkAll);
}

void TLumGraphics::DrawCloseButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled,
    bool AAdaptToStyle, float AScaleFactor)
{
    DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
    const float s = AScaleFactor;
    if (AAdaptToStyle) {
        auto glyph = MakeLineGlyph(RoundToInt(16 * s), 2, [s](TLumGraphics& g) {
            Line(g, 3 * s, 3 * s, 12 * s, 12 * s);
            Line(g, 3 * s, 12 * s, 12 * s, 3 * s);
        });
        DrawBitmap(ARect, glyph.get(), true, false, true, false);
    } else {
        DrawResourceGlyph(*this, Shrink(ARect, 6 * s), u"LumGRAPHICSCLOSESVG");
    }
}

void TLumGraphics::DrawExpanderButton(const TRectF& ARect, TLumGraphicsExpanderState AState, bool ADown,
    bool AFocused, bool AEnabled, bool AAdaptToStyle, float AScaleFactor)
{
    DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
    if (AState == gesCollapsed)
        DrawChevron(*this, ARect, AAdaptToStyle, AScaleFactor, { { 5, 6 }, { 8, 9 }, { 11, 6 } }, u"LumGRAPHICSDOWNSVG");
    else
        DrawChevron(*this, ARect, AAdaptToStyle, AScaleFactor, { { 5, 9 }, { 8, 6 }, { 11, 9 } }, u"LumGRAPHICSUPSVG");
}

void TLumGraphics::DrawCompactButton(const TRectF& ARect, TLumGraphicsCompactState AState, bool ADown,
    bool AFocused, bool AEnabled, bool AAdaptToStyle, float AScaleFactor)
{
    DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
    if (AState == gcsCollapsed)
        DrawChevron(*this, ARect, AAdaptToStyle, AScaleFactor, { { 6, 5 }, { 9, 8 }, { 6, 11 } }, u"LumGRAPHICSRIGHTSVG");
    else
        DrawChevron(*this, ARect, AAdaptToStyle, AScaleFactor, { { 9, 5 }, { 6, 8 }, { 9, 11 } }, u"LumGRAPHICSLEFTSVG");
}

void TLumGraphics::DrawDropDownButton(const TRectF& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
    bool AAdaptToStyle, float AScaleFactor)
{
    DrawButton(ARect, ADown, AFocused, AEnabled, AAdaptToStyle, 1.0f);
    const float s = AScaleFactor;
    if (AAdaptToStyle) {
        const int size = RoundToInt(7 * s);
        auto glyph = MakeLineGlyph(size, 1, [s](TLumGraphics& g) {
            Line(g, 0, s, 6 * s, s);
            Line(g, 0, 2 * s, 6 * s, 2 * s);
            Line(g, s, 3 * s, 5 * s, 3 * s);
            Line(g, 2 * s, 4 * s, 4 * s, 4 * s);
            Line(g, 3 * s, 5 * s, 3 * s, 5 * s);
        });
        TRectF target = ARect;
        const float left = ARect.Right - float(size) - 10 * s;
        if (!ACenter && ARect.Left < left)
            target = TRectF { left, ARect.Top, ARect.Right, ARect.Bottom };
        DrawBitmap(target, glyph.get(), true, false, true, false);
    } else {
        TRectF target = ACenter ? Shrink(ARect, 4 * s)
                                : Shrink(TRectF { ARect.Right - 16 * s, ARect.Top, ARect.Right - 2 * s, ARect.Bottom },
                                      2 * s);
        DrawResourceGlyph(*this, target, u"LumGRAPHICSEXPANDSVG");
    }
}

namespace {

TColor MarkColor(bool AFocused, bool AEnabled)
{
    if (!AEnabled)
        return DarkGray;
    return AFocused ? TColor(0xB48246) : TColor(0);
}

// The part of a box that carries its mark: a fifth of the box in from every side.
TRectF MarkRect(const TRectF& R)
{
    const float dx = (R.Right - R.Left) / 5, dy = (R.Bottom - R.Top) / 5;
    return TRectF { R.Left + dx, R.Top + dy, R.Right - dx, R.Bottom - dy };
}

} // namespace

void TLumGraphics::DrawCheckBox(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled,
    float /*AScaleFactor*/)
{
    TRectF r = Shrink(ARect, 1);
    const TColor c = MarkColor(AFocused, AEnabled);
    SetFillKind(gfkSolid);
    SetFillColor(AEnabled ? LightenColor(LightGray, 85) : LightGray);
    SetStrokeKind(gskSolid);
    SetStrokeWidth(1);
    SetStrokeColor(c);
    DrawRectangle(r, gcrmShrinkAll);
    r = MarkRect(r);
    SetStrokeWidth(2);
    SetStrokeColor(c);
    if (AChecked) {
        DrawLine(TPointF { r.Left, r.Top }, TPointF { r.Right - 1, r.Bottom - 1 }, gcpmRightDown, gcpmRightDown);
        DrawLine(TPointF { r.Right - 1, r.Top }, TPointF { r.Left, r.Bottom - 1 }, gcpmRightDown, gcpmRightDown);
    }
}

void TLumGraphics::DrawRadioButton(const TRectF& ARect, bool AChecked, bool AFocused, bool AEnabled,
    float /*AScaleFactor*/)
{
    TRectF r = Shrink(ARect, 1);
    const TColor c = MarkColor(AFocused, AEnabled);
    SetFillKind(gfkSolid);
    SetFillColor(AEnabled ? LightenColor(LightGray, 85) : LightGray);
    SetStrokeKind(gskSolid);
    SetStrokeWidth(1);
    SetStrokeColor(c);
    DrawEllipse(r, gcrmShrinkAll);
    r = MarkRect(r);
    SetFillKind(gfkSolid);
    SetFillColor(c);
    if (AChecked)
        DrawEllipse(r, gcrmShrinkAll);
}

void TLumGraphics::DrawProgressBar(const TRectF& ARect, float AValue, const String& AFormat, float AMax,
    TColor AColor, TColor ATextColor, bool AShowText, bool AEnabled, float /*AScaleFactor*/)
{
    const TColor savedFill = GetFill()->GetColor();
    SetFillKind(gfkSolid);
    SetFillColor(AEnabled ? LightenColor(LightGray, 75) : LightGray);
    SetStrokeKind(gskSolid);
    SetStrokeColor(DarkGray);
    DrawRectangle(ARect, gcrmShrinkAll);

    // NaN counts as empty.
    float v = AValue > AMax ? AMax : AValue;
    if (!(v > 0))
        v = 0;
    if (AMax > 0 && std::isfinite(AMax)) {
        TRectF bar = Shrink(ARect, 1);
        bar.Right = bar.Left + (bar.Right - ARect.Left) * v / AMax;
        SetFillColor(AColor);
        SetStrokeColor(AColor);
        DrawRectangle(bar, gcrmShrinkAll);
        if (AShowText) {
            const TColor savedFont = GetFont()->GetColor();
            SetFontColor(ATextColor);
            String text;
            try {
                text = Format(AFormat, { double(v) / AMax * 100 });
            } catch (const Exception&) {
                // A format that takes no floating-point argument shows no text rather than raising while painting.
                text.clear();
            }
            DrawText(ARect, text, false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true);
            SetFontColor(savedFont);
        }
    }
    SetFillColor(savedFill);
}

void TLumGraphics::DrawSample(TCanvas* ACanvas, const TRectF& ARect)
{
    TLumGraphics g(ACanvas, false);
    g.BeginScene();
    g.GetFont()->SetName(u"Courier New");
    g.GetFont()->SetSize(20);
    g.GetFont()->SetColor(0xFFFFFF);
    g.SetFillKind(gfkGradient);
    g.SetFillColor(0x008CFF);
    g.GetFill()->SetColorTo(0xB48246);
    g.SetStrokeColor(0x8B0000);
    g.DrawRectangle(ARect, gcrmShrinkAll);
    g.DrawText(ARect, u"Sample", false, gtaCenter, gtaCenter, gttNone, 0, -1, -1, true);
    g.EndScene();
}

// Integer forms.
void TLumGraphics::DrawButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool AAdaptToStyle,
    float AScaleFactor)
{
    DrawButton(RectToRectF(ARect), ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TLumGraphics::DrawCloseButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled,
    bool AAdaptToStyle, float AScaleFactor)
{
    DrawCloseButton(RectToRectF(ARect), ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TLumGraphics::DrawExpanderButton(const TRect& ARect, TLumGraphicsExpanderState AState, bool ADown,
    bool AFocused, bool AEnabled, bool AAdaptToStyle, float AScaleFactor)
{
    DrawExpanderButton(RectToRectF(ARect), AState, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TLumGraphics::DrawCompactButton(const TRect& ARect, TLumGraphicsCompactState AState, bool ADown,
    bool AFocused, bool AEnabled, bool AAdaptToStyle, float AScaleFactor)
{
    DrawCompactButton(RectToRectF(ARect), AState, ADown, AFocused, AEnabled, AAdaptToStyle, AScaleFactor);
}

void TLumGraphics::DrawDropDownButton(const TRect& ARect, bool ADown, bool AFocused, bool AEnabled, bool ACenter,
    bool AAdaptToStyle, float AScaleFactor)
{
    DrawDropDownButton(RectToRectF(ARect), ADown, AFocused, AEnabled, ACenter, AAdaptToStyle, AScaleFactor);
}

void TLumGraphics::DrawCheckBox(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled, float AScaleFactor)
{
    DrawCheckBox(RectToRectF(ARect), AChecked, AFocused, AEnabled, AScaleFactor);
}

void TLumGraphics::DrawRadioButton(const TRect& ARect, bool AChecked, bool AFocused, bool AEnabled,
    float AScaleFactor)
{
    DrawRadioButton(RectToRectF(ARect), AChecked, AFocused, AEnabled, AScaleFactor);
}

void TLumGraphics::DrawProgressBar(const TRect& ARect, float AValue, const String& AFormat, float AMax,
    TColor AColor, TColor ATextColor, bool AShowText, bool AEnabled, float AScaleFactor)
{
    DrawProgressBar(RectToRectF(ARect), AValue, AFormat, AMax, AColor, ATextColor, AShowText, AEnabled,
        AScaleFactor);
}
