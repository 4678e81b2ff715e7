#pragma once
// Mini-HTML text of the grid's chrome (hints, the footer's template): one
// call that measures, or paints, marked-up text in a rectangle with the
// grid's pictures, with no hit test.

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

class TCustomImageList;
class TPictureContainer;
class THTMLPictureCache;

namespace RirEvoz {

struct THTMLTextSource {
    TCustomImageList* Images { nullptr };
    TPictureContainer* PictureContainer { nullptr };
    THTMLPictureCache* PictureCache { nullptr };
    TColor URLColor { clBlue };
    HWND Window { nullptr };
    float Scale { 1.0f };
};

// The size the text takes in R (word-wrapped at R's width); paints it when Paint.
TSize DrawGridHTML(TCanvas* Canvas, const String& Text, const TRect& R, const THTMLTextSource& Source, bool Paint);

} // namespace RirEvoz
