// Throughput of FillRect, TextOut and DrawText against the plain cairo and
// pango calls that do the same work on the same surface; the summary prints
// interleaved medians and our overhead as a ratio.

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "bench/CpuTime.h"
#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/rtl/SysUtils.h"

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

// ---- Interleaved summary ----
// Each pair runs in alternating rounds on the same kind of target; the
// medians of thread CPU time per call give the ratio. "Repeated" draws one
// text again and again, as a window repainting its captions does (the text
// layer keeps shaped runs); "fresh" gives every call a text never drawn
// before, so nothing can come from a cache.

// A text no call has drawn before.
String FreshText(const char16_t* base)
{
    static unsigned long serial = 0;
    return String(base) + u" #" + IntToStr(Int64(++serial));
}

struct TPair {
    const char* Name;
    int Calls; // per round
    std::function<void(int)> Ours, Peer;
};

void PrintSummary()
{
    TGdiTarget g;
    TCairoTarget c;
    HBRUSH brush = CreateSolidBrush(RGB(10, 20, 30));
    const int lineLength = int(std::char_traits<char16_t>::length(kLine));
    const std::string lineUtf8 = StringToUtf8(kLine), paragraphUtf8 = StringToUtf8(kParagraph);
    auto pangoLine = [&](const std::string& utf8) {
        PangoLayout* l = c.Layout(utf8.c_str());
        cairo_move_to(c.Cr, 10, 10);
        pango_cairo_show_layout(c.Cr, l);
        g_object_unref(l);
    };
    auto pangoParagraph = [&](const std::string& utf8) {
        PangoLayout* l = c.Layout(utf8.c_str());
        pango_layout_set_width(l, 300 * PANGO_SCALE);
        pango_layout_set_wrap(l, PANGO_WRAP_WORD);
        pango_layout_set_ellipsize(l, PANGO_ELLIPSIZE_END);
        cairo_move_to(c.Cr, 10, 10);
        pango_cairo_show_layout(c.Cr, l);
        g_object_unref(l);
    };
    auto gdiParagraph = [&](const String& text) {
        RECT r { 10, 10, 310, 200 };
        DrawText(g.DC, text.c_str(), int(text.size()), &r, DT_WORDBREAK | DT_END_ELLIPSIS);
    };
    const TPair pairs[] = {
        { "FillRect", 20000,
            [&](int i) {
                const RECT r { i % 700, i % 500, i % 700 + 100, i % 500 + 100 };
                FillRect(g.DC, &r, brush);
            },
            [&](int i) {
                cairo_set_source_rgb(c.Cr, 10 / 255.0, 20 / 255.0, 30 / 255.0);
                cairo_rectangle(c.Cr, i % 700, i % 500, 100, 100);
                cairo_fill(c.Cr);
            } },
        { "TextOut repeated", 2000, [&](int) { TextOut(g.DC, 10, 10, kLine, lineLength); },
            [&](int) { pangoLine(lineUtf8); } },
        { "DrawText repeated", 400, [&](int) { gdiParagraph(kParagraph); }, [&](int) { pangoParagraph(paragraphUtf8); } },
        { "TextOut fresh", 2000,
            [&](int) {
                const String text = FreshText(kLine);
                TextOut(g.DC, 10, 10, text.c_str(), int(text.size()));
            },
            [&](int) { pangoLine(StringToUtf8(FreshText(kLine))); } },
        { "DrawText fresh", 400, [&](int) { gdiParagraph(FreshText(kParagraph)); },
            [&](int) { pangoParagraph(StringToUtf8(FreshText(kParagraph))); } },
    };
    constexpr int kRounds = 11;
    std::printf("\nMedians of %d interleaved rounds, thread CPU time per call (time ratio, lower is better):\n", kRounds);
    for (const TPair& pair : pairs) {
        std::vector<double> ours, peer;
        for (int round = 0; round < kRounds; ++round) {
            double t0 = benchcpu::Now();
            for (int i = 0; i < pair.Calls; ++i)
                pair.Ours(i);
            ours.push_back((benchcpu::Now() - t0) / pair.Calls);
            t0 = benchcpu::Now();
            for (int i = 0; i < pair.Calls; ++i)
                pair.Peer(i);
            cairo_surface_flush(c.Surface);
            peer.push_back((benchcpu::Now() - t0) / pair.Calls);
        }
        const double own = benchcpu::Median(ours) * 1e6, base = benchcpu::Median(peer) * 1e6;
        std::printf("  %-18s ours %8.2f us   cairo/pango %8.2f us   ours/peer = %.2fx\n", pair.Name, own, base, own / base);
    }
    DeleteObject(brush);
}

} // namespace

int main(int argc, char** argv)
{
    InitFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
