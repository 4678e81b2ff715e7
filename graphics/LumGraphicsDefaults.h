#pragma once
// Process-wide default colours of the library's newer controls: backgrounds,
// borders, text, buttons and self-drawn glyphs. They start at 0 until
// SetDefaultGraphicColors or a refresh from the active style sets them.

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

// The drawing API's class; its drawing operations join it later, this holds
// the class-wide operation on the defaults.
class TLumGraphics {
public:
    // Puts the built-in values back into the ten defaults.
    static void SetDefaultGraphicColors();
    // The defaults from the active style, each falling back to its built-in
    // value where the style gives no colour (the control base calls this when
    // a control adapts to the style).
    static void SetDefaultGraphicColorsFromStyle();
};
