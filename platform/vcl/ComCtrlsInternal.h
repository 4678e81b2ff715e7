#pragma once

// Helpers shared by the files that implement ComCtrls.h (ComCtrls*.cpp).
// Not part of the framework's API.

#include "platform/vcl/Graphics.h"

namespace comctrls_detail {

TSize TextExtent(TFont* font, const String& text);
// The classic non-client frame of a window: a sunken edge under
// WS_EX_CLIENTEDGE, else one line under WS_BORDER.
void PaintClassicFrame(HWND window);

} // namespace comctrls_detail

using namespace comctrls_detail;
