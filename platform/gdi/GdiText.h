#pragma once
// Text measuring and painting shared by the text calls of the drawing layer.

#include "platform/gdi/GdiObjects.h"

namespace gdi {

double FontScale(const TDC& dc);
// Width in device pixels of a run in the selected font.
int TextWidth(TDC& dc, StringView text);
TFontMetrics DeviceMetrics(TDC& dc);
// Caret positions (device pixels) before each UTF-16 unit of a run and after
// its end: quick estimates of substring widths.
std::vector<int> CaretPositions(TDC& dc, StringView text);
// A run with its baseline starting at the device point (x, baseline);
// `underlineIndex` underlines one character (-1: none); `angle` in tenths of
// a degree turns the run counter-clockwise around `pivot`.
void DrawRun(TDC& dc, double x, double baseline, StringView text, COLORREF color, int underlineIndex,
    const TRegion* clip, double angle, TPointF pivot);

} // namespace gdi
