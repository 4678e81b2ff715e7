// SVG documents: parsed from the input and drawn into a small bitmap, through
// plain GDI and through GDI+ (the first byte chooses), and measured. Bad
// markup must give the XML layer's error; drawing never raises.
#include "fuzz/FuzzSupport.h"
#include "graphics/LumSVGParser.h"
#include "platform/vcl/Graphics.h"

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
    const String text = fuzz::Text(in.Rest());
    TLumGraphicsSVGImport svg;
    try {
        svg.LoadFromText(text);
    } catch (const Exception&) {
        return 0;
    }
    static TBitmap* bitmap = [] {
        auto* b = new TBitmap;
        b->SetSize(96, 64);
        return b;
    }();
    TCanvas* canvas = bitmap->GetCanvas();
    canvas->GetBrush()->SetColor(clWhite);
    canvas->FillRect({ 0, 0, 96, 64 });
    const float w = (flags & 2) ? 96.0f : 40.0f;
    svg.Draw(canvas, TRectF(flags & 4 ? -20.0f : 0.0f, 0, w, 64), flags & 1);
    return 0;
}
