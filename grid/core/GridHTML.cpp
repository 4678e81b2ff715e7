#include "grid/core/GridHTML.h"

#include "richtext/MiniHTML.h"

namespace RirEvoz {

TSize DrawGridHTML(TCanvas* Canvas, const String& Text, const TRect& R, const THTMLTextSource& Source, bool Paint)
{
    String HitAnchor, Stripped, FocusHref, Title, ControlID, ControlValue, ControlType;
    int XSize = 0, YSize = 0, AnchorCount = 0, HitIndex = -1;
    TRect HitRect, ControlRect;
    VovHTMLE::DrawHTMLText(Canvas, Text, R, Source.Images, -1, -1, -1, -1, 1, false, !Paint, false, false, true,
        false, true, false, u"", 1.0, Source.URLColor, clNone, clNone, TColor(0x808080), HitAnchor, Stripped,
        FocusHref, Title, XSize, YSize, AnchorCount, HitIndex, HitRect, ControlRect, ControlID, ControlValue,
        ControlType, Source.PictureCache, Source.PictureContainer, Source.Window, Source.Scale, 0);
    return TSize(XSize, YSize);
}

} // namespace RirEvoz
