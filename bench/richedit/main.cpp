// What painting a rich-text cell costs: a 1 KB RTF text loaded into a rich
// edit and rendered with EM_FORMATRANGE into a 200 x 40 rectangle of a
// bitmap, against DrawText of the same text as plain text. Prints the times
// and their ratio.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/RichEdit.h"

namespace {

// About 1 KB of RTF: runs in several fonts, sizes, colours and styles.
std::string SampleRtf()
{
    std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
                      "{\\colortbl ;\\red200\\green0\\blue0;\\red0\\green90\\blue160;}\\f0\\fs18 ";
    const char* words[] = { "Business ", "listings ", "{\\b captured} ", "page ", "after ", "{\\cf1 page,} ",
        "with ", "{\\i addresses} ", "and ", "{\\f1\\fs22 telephone} ", "numbers{\\up6 1} ", "{\\cf2\\ul web sites} " };
    for (int i = 0; rtf.size() < 1000; ++i) {
        rtf += words[i % 12];
        if (i % 40 == 39)
            rtf += "\\par ";
    }
    return rtf + "}";
}

struct TTarget {
    HDC DC { CreateCompatibleDC(nullptr) };
    HBITMAP Bitmap { CreateCompatibleBitmap(nullptr, 400, 100) };
    TTarget() { SelectObject(DC, Bitmap); }
    ~TTarget()
    {
        DeleteDC(DC);
        DeleteObject(Bitmap);
    }
};

void RichCell_FormatRange(benchmark::State& state)
{
    const std::string rtf = SampleRtf();
    TRichEdit edit;
    TTarget t;
    for (auto _ : state) {
        TStringStream s(Utf8ToString(rtf));
        edit.GetLines()->LoadFromStream(s);
        FORMATRANGE fr;
        fr.hdc = fr.hdcTarget = t.DC;
        fr.rc = TRect(10 * 15, 10 * 15, 210 * 15, 50 * 15);
        fr.rcPage = fr.rc;
        fr.chrg.cpMax = -1;
        benchmark::DoNotOptimize(edit.Perform(EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&fr)));
        edit.Perform(EM_FORMATRANGE, 0, 0);
    }
    state.counters["rtf_bytes"] = double(rtf.size());
}

void PlainCell_DrawText(benchmark::State& state)
{
    TRichEdit edit;
    TStringStream s(Utf8ToString(SampleRtf()));
    edit.GetLines()->LoadFromStream(s);
    const String text = edit.GetText();
    TTarget t;
    HFONT font = CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Arial");
    SelectObject(t.DC, font);
    SetBkMode(t.DC, TRANSPARENT);
    for (auto _ : state) {
        RECT r = TRect(10, 10, 210, 50);
        DrawText(t.DC, text.c_str(), int(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    }
    DeleteObject(font);
}

BENCHMARK(RichCell_FormatRange)->Iterations(1000);
BENCHMARK(PlainCell_DrawText)->Iterations(1000);

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
    double rich = 0, plain = 0;
    for (const auto& [name, t] : capture.Times) {
        if (name.rfind("RichCell_FormatRange", 0) == 0)
            rich = t;
        if (name.rfind("PlainCell_DrawText", 0) == 0)
            plain = t;
    }
    if (rich > 0 && plain > 0)
        std::printf("\nrich-text cell (load + EM_FORMATRANGE) against DrawText of its plain text: %.2fx (goal <= 10)\n",
            rich / plain);
    return 0;
}
