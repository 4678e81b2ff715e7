#pragma once
// Stateless painters the grid family shares: stepped gradients, gradient
// backgrounds, the rounded selection block of selected cells and list items,
// the drop-down, push and spin buttons drawn inside cells, and colour
// helpers. They leave the canvas's pen, brush and font as they set them.

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"
#include "richtext/LumStyles.h"

namespace VuzEraz {

// Button states and drawing kinds of the button painters.
enum : int { bsNormal = 0, bsHot = 1, bsDown = 2, bsDisabled = 3 };
enum : int { bkThemed = 0, bkClassic = 1, bkFlat = 2, bkCustom = 3 };

// Ends of a selection block.
enum : int { seBoth = 0, seLeft = 1, seRight = 2, seNone = 3, seOpen = 4 };

void FillGradientRect(TCanvas* Canvas, TColor FromColor, TColor ToColor, int Steps, TRect R, bool Horizontal);
void PaintGradientBackground(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TColor MirrorColor,
    TColor MirrorColorTo, bool Vertical, TColor BorderColor, bool SideLinesOnly, bool Fill);
// The colour at Position of a range that starts at FromColor; FromColor when
// ToColor is clNone or the range is empty.
TColor BlendColorStep(TColor FromColor, TColor ToColor, int RangeStart, int RangeEnd, int Position);
void DrawRoundedSelection(TCanvas* Canvas, TColor Color, TColor ColorTo, TColor MirrorColor, TColor MirrorColorTo,
    TColor InnerTopColor, TColor InnerBottomColor, TColor BorderColor, TColor CornerColor, TColor BackgroundColor,
    const TRect& R, int EndKind);
void DrawDropButton(TCanvas* Canvas, HWND Window, const TRect& R, int Kind, int State, const TColorTones& Tones,
    double Scale);
void DrawPushButton(TCanvas* Canvas, HWND Window, const TRect& R, int Kind, int State, const TColorTones& Tones,
    bool ProcessAccel, const String& Caption);
void DrawSpinButtons(TCanvas* Canvas, HWND Window, const TRect& R, int Kind, int State, const TColorTones& Tones,
    double Scale);
void FillRectColor(TCanvas* Canvas, const TRect& R, TColor Color);
void DrawDropTriangle(TCanvas* Canvas, int X, int Y, TColor Color);
TColor HalveColor(TColor Color);
// Darkens (or, for a positive Percent, lightens) each channel; channels stay 0..255.
TColor LightenColorPercent(TColor Color, int Percent);

// Restricts drawing on a canvas to a rectangle (within the clip already in
// force) until it goes; the canvas then selects its objects afresh.
class TCanvasClip {
public:
    TCanvasClip(TCanvas* Canvas, const TRect& R);
    ~TCanvasClip();
    TCanvasClip(const TCanvasClip&) = delete;
    TCanvasClip& operator=(const TCanvasClip&) = delete;

private:
    TCanvas* FCanvas;
    int FSaved { 0 };
};

} // namespace VuzEraz
