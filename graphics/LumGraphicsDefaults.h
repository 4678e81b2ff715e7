#pragma once
// Process-wide default colours of the library's newer controls: backgrounds,
// borders, text, buttons and self-drawn glyphs. They start at 0 until
// SetDefaultGraphicColors or a refresh from the active style sets them.

#include "graphics/LumGraphics.h"
#include "platform/rtl/Types.h"

extern TColor DefaultGlyphColor;
extern TColor DefaultTextColor;
extern TColor DefaultBackgroundFillColor;
extern TColor DefaultBackgroundStrokeColor;
extern TColor DefaultFocusedButtonStrokeColor;
extern TColor DefaultFocusedButtonFillColor;
extern TColor DefaultDisabledButtonStrokeColor;
extern TColor DefaultDisabledButtonFillColor;
extern TColor DefaultButtonStrokeColor;
extern TColor DefaultButtonFillColor;
