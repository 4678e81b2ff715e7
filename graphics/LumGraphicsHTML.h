#pragma once
// The drawing object's own mini-HTML: preparation of marked-up text, the
// highlight marker and the line-by-line renderer that lays markup out in a
// floating-point rectangle, paints it through TLumGraphics and reports what
// lies under a point.

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TLumGraphics;

// Entities, the "<#" marker, numeric character references and line breaks
// turned into what the renderer reads.
String PrepareGraphicsMarkup(StringView AText);

// Caller-side options of other hosts; TLumGraphics goes through
// RenderGraphicsHTML (declared with it), which passes the defaults.
struct TLumGraphicsHTMLOptions {
    // Far outside any rectangle: nothing is hit.
    TPointF HitPoint { -1e9f, -1e9f };
    bool Paint { true };
    bool WordWrapping { false };
    bool FullHeight { false };
    float Scale { 1 };
    int FocusAnchor { -1 };
    int HoverAnchor { -1 };
    TColor HoverColor { -1 };
    TColor HoverFontColor { -1 };
    TColor ShadowColor { 0x808080 };
    float ShadowOffset { 1 };
    float LineSpacing { 0 };
    String FocusedControlID;
};

struct TLumGraphicsHTMLResult {
    float Width { 0 };
    float Height { 0 };
    String Anchor;
    String FocusAnchor;
    String PlainText;
    String HoverAlt;
    TRectF HoverRect {};
    int HoverAnchor { -1 };
    int AnchorCount { 0 };
    int LineCount { 0 };
    // The embedded control under the point.
    String ControlID;
    String ControlValue;
    String ControlType;
    bool Hit { false };
};

// Lays out (and with AOptions.Paint draws) AHTML inside ARect.
TLumGraphicsHTMLResult LayoutGraphicsHTML(TLumGraphics& AGraphics, const String& AHTML, const TRectF& ARect,
    const TLumGraphicsHTMLOptions& AOptions = {});
