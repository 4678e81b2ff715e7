#pragma once
// Colours of the active visual style for the library's own controls. Every
// query answers false (colour untouched) while no custom style is in force;
// nothing is cached, each call asks the style anew.

#include "foundation/LumPersistence.h"
#include "platform/vcl/Themes.h"

class TLumGraphicsStyles : public TObject, public TLumJSONMethods<TLumGraphicsStyles> {
    QT_CLASS(TLumGraphicsStyles, TObject)
public:
    static bool StyleServicesEnabled();
    static bool GetStyleLineFillColor(TColor& AColor);
    static bool GetStyleBackgroundFillColor(TColor& AColor);
    static bool GetStyleBackgroundFillColorTo(TColor& AColor);
    static bool GetStyleAlternativeBackgroundFillColor(TColor& AColor);
    static bool GetStyleAlternativeBackgroundFillColorTo(TColor& AColor);
    static bool GetStyleBackgroundStrokeColor(TColor& AColor);
    static bool GetStyleHeaderFillColor(TColor& AColor);
    static bool GetStyleHeaderFillColorTo(TColor& AColor);
    static bool GetStyleHeaderStrokeColor(TColor& AColor);
    static bool GetStyleSelectionFillColor(TColor& AColor);
    static bool GetStyleSelectionFillColorTo(TColor& AColor);
    static bool GetStyleTextFontColor(TColor& AColor);
    static bool GetStyleAlternativeTextFontColor(TColor& AColor);
    static bool GetStyleDefaultButtonFillColor(TColor& AColor);
    static bool GetStyleDefaultButtonStrokeColor(TColor& AColor);

protected:
    // The pixel 2 below the top (or 2 above the bottom) of the element drawn
    // at 200 x 200; clNone when the style draws nothing.
    static TColor GetElementTopColor(const TThemedElementDetails& ADetails);
    static TColor GetElementBottomColor(const TThemedElementDetails& ADetails);
};
