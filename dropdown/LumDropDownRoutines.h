#pragma once
// Small drawing, measuring and text routines the drop-down base control, its
// header and footer, the item selectors and the editors share.

#include <optional>

#include "grid/core/LumDropDownAppearance.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TControl;
class TWinControl;
class TCustomImageList;

namespace LumDropDown {

Char ThousandSeparatorChar();
Char DecimalSeparatorChar();

// Height of the text "0" in the default font at that size and resolution.
int FontTextHeight(int PixelsPerInch, int Size);
// 1.0 at 96 pixels per inch; otherwise the ratio of the heights of "0" in a
// 9-point font, so the scale follows the font's real growth.
double DPIScaleOfControl(TControl* Control);

struct TWindowsVersion {
    int Major { 0 };
    int Minor { 0 };
};
std::optional<TWindowsVersion> GetWindowsVersion();
bool IsWindows10();
bool IsWindowsMajor6();

// DrawGradient lives with the header and footer appearances
// (grid/core/LumDropDownAppearance.h), which the grid shares.
// Percent of Color1 mixed with the rest of Color2; 100 and 0 return a colour unchanged.
TColor BlendColor(TColor Color1, TColor Color2, int Percent);
// Each channel scaled by (100 + delta) percent; a zero channel becomes the
// delta when positive.
TColor AdjustColor(TColor Color, int DeltaRed, int DeltaGreen, int DeltaBlue);

void DrawBackground(TCanvas* Canvas, const TRect& R, TColor Color, TColor ColorTo, TGradientDirection Direction,
    TColor BorderColor, int BorderWidth);
void DrawImageAndText(TCanvas* Canvas, const TRect& R, const String& Text, int ImageIndex, TCustomImageList* Images);
// Draws Bitmap into R with the colour of its top-left pixel shown as BackColor.
void DrawTransparentBitmap(TCanvas* Canvas, TBitmap* Bitmap, TColor BackColor, const TRect& R);
TSize TextExtent(TCanvas* Canvas, const String& Text);
// Result is Text cut from the end (with "..." when Ellipsis) until it is
// narrower than MaxWidth; the full text when nothing fits.
void TruncateText(TCanvas* Canvas, const String& Text, int MaxWidth, String& Result, bool Ellipsis);
// Lays mini-HTML out in R; paints only when Paint. Size receives the laid-out size.
void DrawHTMLCaption(TCanvas* Canvas, const String& Text, const TRect& R, TSize& Size, float Scale, HWND Window,
    bool Paint, TCustomImageList* Images);

// Paints Control's graphic children, from First on (all when First is null),
// into DC: the drop-down window paints its header's buttons through it.
void PaintCtrls(TWinControl* Control, HDC DC, TControl* First);

bool IsRangeSeparator(Char Ch);
String RemoveThousandSeparators(const String& S);
// Any character but a hexadecimal digit counts 0.
int HexDigitValue(Char Ch);
// Digits past the eighth wrap around 32 bits, as a 32-bit register would.
int HexToInt(const String& S);
String CaseFold(const String& Text, bool KeepCase);

} // namespace LumDropDown
