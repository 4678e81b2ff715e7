#include "graphics/LumGraphicsDefaults.h"

#include "graphics/LumGraphicsStyles.h"
#include "graphics/LumGraphicsTypes.h"

TColor DefaultGlyphColor = 0;
TColor DefaultTextColor = 0;
TColor DefaultBackgroundFillColor = 0;
TColor DefaultBackgroundStrokeColor = 0;
TColor DefaultFocusedButtonStrokeColor = 0;
TColor DefaultFocusedButtonFillColor = 0;
TColor DefaultDisabledButtonStrokeColor = 0;
TColor DefaultDisabledButtonFillColor = 0;
TColor DefaultButtonStrokeColor = 0;
TColor DefaultButtonFillColor = 0;

namespace {
constexpr TColor BuiltInGlyph = 0;
constexpr TColor BuiltInText = 0;
constexpr TColor BuiltInBackgroundFill = 0xFFFFFF;
constexpr TColor BuiltInBackgroundStroke = 0xC0C0C0;
constexpr TColor BuiltInFocusedButtonStroke = MakeRGBColor(60, 127, 177);
constexpr TColor BuiltInFocusedButtonFill = MakeRGBColor(229, 241, 251);
constexpr TColor BuiltInDisabledButtonStroke = 0xA9A9A9;
constexpr TColor BuiltInDisabledButtonFill = 0xD3D3D3;
constexpr TColor BuiltInButtonStroke = 0xA9A9A9;
constexpr TColor BuiltInButtonFill = MakeRGBColor(225, 225, 225);

TColor StyleOr(bool (*query)(TColor&), TColor fallback)
{
    TColor c = fallback;
    return query(c) ? c : fallback;
}
} // namespace

void TLumGraphics::SetDefaultGraphicColors()
{
    DefaultGlyphColor = BuiltInGlyph;
    DefaultTextColor = BuiltInText;
    DefaultBackgroundFillColor = BuiltInBackgroundFill;
    DefaultBackgroundStrokeColor = BuiltInBackgroundStroke;
    DefaultFocusedButtonStrokeColor = BuiltInFocusedButtonStroke;
    DefaultFocusedButtonFillColor = BuiltInFocusedButtonFill;
    DefaultDisabledButtonStrokeColor = BuiltInDisabledButtonStroke;
    DefaultDisabledButtonFillColor = BuiltInDisabledButtonFill;
    DefaultButtonStrokeColor = BuiltInButtonStroke;
    DefaultButtonFillColor = BuiltInButtonFill;
}

void TLumGraphics::SetDefaultGraphicColorsFromStyle()
{
    DefaultBackgroundFillColor = StyleOr(&TLumGraphicsStyles::GetStyleBackgroundFillColor, BuiltInBackgroundFill);
    DefaultBackgroundStrokeColor
        = StyleOr(&TLumGraphicsStyles::GetStyleBackgroundStrokeColor, BuiltInBackgroundStroke);
    DefaultButtonFillColor = StyleOr(&TLumGraphicsStyles::GetStyleDefaultButtonFillColor, BuiltInButtonFill);
    DefaultButtonStrokeColor = StyleOr(&TLumGraphicsStyles::GetStyleLineFillColor, BuiltInButtonStroke);
    DefaultTextColor = StyleOr(&TLumGraphicsStyles::GetStyleTextFontColor, BuiltInText);
    TColor selection = clNone;
    if (TLumGraphicsStyles::GetStyleSelectionFillColor(selection)) {
        DefaultGlyphColor = selection;
        DefaultFocusedButtonFillColor = MixColors(selection, DefaultButtonFillColor, 25);
        DefaultFocusedButtonStrokeColor = MixColors(selection, DefaultButtonStrokeColor, 30);
    } else {
        DefaultGlyphColor = 0;
        DefaultFocusedButtonFillColor = BuiltInFocusedButtonFill;
        DefaultFocusedButtonStrokeColor = BuiltInFocusedButtonStroke;
    }
    DefaultDisabledButtonStrokeColor = BuiltInDisabledButtonStroke;
    DefaultDisabledButtonFillColor = BuiltInDisabledButtonFill;
}
