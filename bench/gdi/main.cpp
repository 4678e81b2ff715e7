// Throughput of FillRect, TextOut and DrawText against the plain cairo and
// pango calls that do the same work on the same surface, with our overhead
// printed as a ratio.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"

namespace {

constexpr int kW = 800, kH = 600;
const char16_t kLine[] = u"The quick brown fox jumps over the lazy dog";
const char16_t kParagraph[] = u"Business listings are captured page after page, with addresses, telephone numbers, "
                               u"web sites and e-mail addresses, and written into comma-separated lines.";

struct TGdiTarget {
    HDC DC { CreateCompatibleDC(nullptr) };
    HBITMAP Bitmap { CreateCompatibleBitmap(nullptr, kW, kH) };
    HFONT Font { CreateFont(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma") };
    TGdiTarget()
    {
        SelectObject(DC, Bitmap);
        SelectObject(DC, Font);
        SetBkMode(DC, TRANSPARENT);
    }
    ~TGdiTarget()
    {
        DeleteDC(DC);
        DeleteObject(Bitmap);
        DeleteObject(Font);
    }
};

struct TCairoTarget {
    cairo_surface_t* Surface { cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kW, kH) };
    cairo_t* Cr { cairo_create(Surface) };
    PangoFontDescription* Font { pango_font_description_from_string("Tahoma 13px") };
    TCairoTarget() { cairo_set_antialias(Cr, CAIRO_ANTIALIAS_NONE); }
    ~TCairoTarget()
    {
        pango_font_description_free(Font);
        cairo_destroy(Cr);
        cairo_surface_destroy(Surface);
    }
    PangoLayout* Layout(const char* text) const
    {
        PangoLayout* l = pango_layout_new(gdi::SharedPangoContext());
        pango_layout_set_font_description(l, Font);
        pango_layout_set_text(l, text, -1);
        return l;
    }
};

void FillRect_Gdi(benchmark::State& state)
{
    TGdiTarget t;
    HBRUSH b = CreateSolidBrush(RGB(10, 20, 30));
    int i = 0;
    for (auto _ : state) {
        const RECT r { i % 700, i % 500, i % 700 + 100, i % 500 + 100 };
        FillRect(t.DC, &r, b);
        ++i;
    }
    DeleteObject(b);
}

void FillRect_Cairo(benchmark::State& state)
{
    TCairoTarget t;
    int i = 0;
    for (auto _ : state) {
        cairo_set_source_rgb(t.Cr, 10 / 255.0, 20 / 255.0, 30 / 255.0);
        cairo_rectangle(t.Cr, i % 700, i % 500, 100, 100);
        cairo_fill(t.Cr);
        ++i;
    }
    cairo_surface_flush(t.Surface);
}

void TextOut_Gdi(benchmark::State& state)
{
    TGdiTarget t;
    for (auto _ : state)
        TextOut(t.DC, 10, 10, kLine, int(std::char_traits<char16_t>::length(kLine)));
}

void TextOut_Pango(benchmark::State& state)
{
    TCairoTarget t;
    const std::string utf8 = StringToUtf8(kLine);
    for (auto _ : state) {
        PangoLayout* l = t.Layout(utf8.c_str());
        cairo_move_to(t.Cr, 10, 10);
        pango_cairo_show_layout(t.Cr, l);
        g_object_unref(l);
    }
}

void DrawText_Gdi(benchmark::State& state)
{
    TGdiTarget t;
    for (auto _ : state) {
        RECT r { 10, 10, 310, 200 };
        DrawText(t.DC, kParagraph, -1, &r, DT_WORDBREAK | DT_END_ELLIPSIS);
    }
}

void DrawText_Pango(benchmark::State& state)
{
    TCairoTarget t;
    const std::string utf8 = StringToUtf8(kParagraph);
    for (auto _ : state) {
        PangoLayout* l = t.Layout(utf8.c_str());
        pango_layout_set_width(l, 300 * PANGO_SCALE);
        pango_layout_set_wrap(l, PANGO_WRAP_WORD);
        pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_END);
        cairo_move_to(t.Cr, 10, 10);
        pango_cairo_show_layout(t.Cr, l);
        g_object_unref(l);
    }
}

BENCHMARK(FillRect_Gdi);
BENCHMARK(FillRect_Cairo);
BENCHMARK(TextOut_Gdi);
BENCHMARK(TextOut_Pango);
BENCHMARK(DrawText_Gdi);
BENCHMARK(DrawText_Pango);

class TCapture : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& r : runs)
            Times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv)
{
    InitFonts();
    benchmark::Initialize(&argc, argv);
    TCapture capture;
    benchmark::RunSpecifiedBenchmarks(&capture);
    const std::pair<const char*, const char*> pairs[] = {
        { "FillRect_Gdi", "FillRect_Cairo" },
        { "TextOut_Gdi", "TextOut_Pango" },
        { "DrawText_Gdi", "DrawText_Pango" },
    };
    std::printf("\nOverhead against plain cairo/pango (time ratio):\n");
    for (const auto& [ours, plain] : pairs) {
        const auto a = capture.Times.find(ours), b = capture.Times.find(plain);
        if (a != capture.Times.end() && b != capture.Times.end() && b->second > 0)
            std::printf("  %-14s %6.2fx\n", ours, a->second / b->second);
    }
    return 0;
}
