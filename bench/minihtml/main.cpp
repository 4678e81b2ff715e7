// Layout of a long marked-up text through DrawHTMLText: measuring only,
// measuring and painting, and the hit test the grid makes on mouse moves.
// Figures are per call and per line of the laid-out text.

#include <benchmark/benchmark.h>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Graphics.h"
#include "richtext/MiniHTML.h"

namespace {

constexpr int kW = 600, kH = 4000;

String LongMarkup(int paragraphs)
{
    String s;
    for (int i = 0; i < paragraphs; ++i)
        s += u"<P><B>Listing</B> number <FONT COLOR=\"clRed\" SIZE=\"3\">" + IntToStr(i)
            + u"</FONT> at <I>12 Example Street</I>, caf&eacute; &amp; bar, see <A HREF=\"site" + IntToStr(i)
            + u"\">the web site</A> or call <U>02 9999 0000</U>. Opening hours vary &euro; 5 entry.</P>";
    return s;
}

struct TTarget {
    HDC DC { CreateCompatibleDC(nullptr) };
    HBITMAP Bitmap { CreateCompatibleBitmap(nullptr, kW, kH) };
    TCanvas Canvas;
    TTarget()
    {
        SelectObject(DC, Bitmap);
        Canvas.SetHandle(DC);
        Canvas.GetFont()->SetName(u"Tahoma");
        Canvas.GetFont()->SetSize(9);
    }
    ~TTarget()
    {
        Canvas.SetHandle(nullptr);
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
};

void Run(benchmark::State& state, bool measureOnly, bool locateOnly)
{
    TTarget t;
    const String markup = LongMarkup(int(state.range(0)));
    String hit, stripped, focus, title, id, value, type;
    int xs = 0, ys = 0, anchors = 0, index = 0;
    TRect hitRect {}, controlRect {};
    for (auto _ : state) {
        const bool r = VovHTMLE::DrawHTMLText(&t.Canvas, markup, TRect { 0, 0, kW, kH }, nullptr, 200, 40, -1, 0, 1,
            locateOnly, measureOnly, false, false, true, false, true, false, u"", 1.0, TColor(0xFF0000), clNone,
            clNone, TColor(0x808080), hit, stripped, focus, title, xs, ys, anchors, index, hitRect, controlRect, id,
            value, type, nullptr, nullptr, nullptr, 1.0f, 0);
        benchmark::DoNotOptimize(r);
    }
    state.counters["height_px"] = ys;
    state.counters["anchors"] = anchors;
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_MeasureOnly(benchmark::State& s) { Run(s, true, false); }
void BM_MeasureAndPaint(benchmark::State& s) { Run(s, false, false); }
void BM_LocateOnly(benchmark::State& s) { Run(s, false, true); }

BENCHMARK(BM_MeasureOnly)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeasureAndPaint)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LocateOnly)->Arg(10)->Arg(50)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
