// The mini-HTML engine: marked-up text is measured, then painted and hit
// tested into a small bitmap, with the choices (wrapping, scale, hit point)
// from the input's first bytes. DrawHTMLText never raises.
#include "fuzz/FuzzSupport.h"
#include "platform/vcl/Graphics.h"
#include "richtext/MiniHTML.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::UsePrivateFolders();
    fuzz::LoadFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::TInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const int x = in.Byte(), y = in.Byte() / 2;
    const String markup = fuzz::Text(in.Rest());

    static TBitmap* bitmap = [] {
        auto* b = new TBitmap;
        b->SetSize(256, 128);
        return b;
    }();
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->GetFont()->SetName(u"Arial");
    canvas->GetFont()->SetSize(10);
    canvas->GetBrush()->SetColor(clWhite);
    const TRect area { 0, 0, 256, 128 };
    const float scale = (flags & 8) ? 2.0f : 1.0f;
    for (const bool measure : { true, false }) {
        String hitAnchor, stripped, focusHref, title, controlID, controlValue, controlType;
        int xSize = 0, ySize = 0, anchors = 0, hitIndex = 0;
        TRect hitRect {}, controlRect {};
        VovHTMLE::DrawHTMLText(canvas, markup, area, nullptr, x, y, (flags & 1) ? 0 : -1, (flags & 2) ? 1 : 0, 1, false, measure,
            flags & 4, flags & 16, true, flags & 32, !(flags & 64), false, u"", 1.0, TColor(0xFF0000), clNone, clNone,
            TColor(0x808080), hitAnchor, stripped, focusHref, title, xSize, ySize, anchors, hitIndex, hitRect,
            controlRect, controlID, controlValue, controlType, nullptr, nullptr, nullptr, scale, (flags & 128) ? 1 : 0);
    }
    return 0;
}
