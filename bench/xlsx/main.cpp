// Workbook speed on a listing export of 100,000 rows x 15 texts: writing a
// new workbook through the model against libxlsxwriter alone in the same
// constant-memory mode; opening it against a bare libzip + libxml2 pass that
// only counts cells; saving it after one written cell against a bare libzip
// copy that re-deflates that sheet. Each pair runs in this process; the
// summary prints the ratios and the peak memory each step added.

#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include <malloc.h>

#include <libxml/xmlreader.h>
#include <xlsxwriter.h>
#include <zip.h>

#include "platform/automation/XMLDOM.h"
#include "platform/automation/Xlsx.h"
#include "platform/rtl/FileUtils.h"

namespace {

constexpr int Rows = 100000;

struct TFigures {
    double Seconds { 0 };
    double PeakMB { 0 };
};
std::map<std::string, TFigures> g_figures;

long StatusKB(const char* key)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

// Peak resident memory a step adds over what was resident when it began,
// sampled every few milliseconds while the step runs.
class TPeak {
public:
    TPeak() : FStart((malloc_trim(0), StatusKB("VmRSS:"))), FMax(FStart)
    {
        FSampler = std::thread([this] {
            while (!FDone.load()) {
                FMax = std::max(FMax.load(), StatusKB("VmRSS:"));
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        });
    }
    ~TPeak() { Stop(); }
    double MB()
    {
        Stop();
        return double(FMax.load() - FStart) / 1024.0;
    }

private:
    void Stop()
    {
        FDone = true;
        if (FSampler.joinable())
            FSampler.join();
    }

    long FStart;
    std::atomic<long> FMax;
    std::atomic<bool> FDone { false };
    std::thread FSampler;
};

const std::vector<std::vector<Variant>>& Listing()
{
    static const auto rows = [] {
        std::vector<std::vector<Variant>> out(Rows);
        for (int i = 0; i < Rows; ++i) {
            const String n = IntToStr(i);
            out[std::size_t(i)] = { Variant(u"Harbour View Plumbing & Gas " + n), Variant(u"Plumbers"),
                Variant(u"Level 3, " + IntToStr(i % 400) + u" Kent Street"), Variant(u"Millers Point"), Variant(u"NSW"),
                Variant(IntToStr(2000 + i % 900)), Variant(u"(02) 9251 " + IntToStr(1000 + i % 9000)),
                Variant(u"0412 " + IntToStr(100000 + i)), Variant(u"info" + n + u"@harbourview.example.com.au"),
                Variant(u"https://www.harbourview" + n + u".example.com.au/"), Variant(IntToStr(10000000 + i)),
                Variant(u"-33.8" + IntToStr(600 + i % 300)), Variant(u"151.20" + IntToStr(i % 100)),
                Variant(u"Open 7 days, 24 hour emergency service"), Variant(u"0" + IntToStr(800 + i % 100)) };
        }
        return out;
    }();
    return rows;
}

String Folder()
{
    static const String folder = GetPrivateTempDirectory();
    return folder;
}
String FileOf(const char* name) { return Folder() + Utf8ToString(name); }

template<class F>
void Measure(benchmark::State& state, const char* name, F&& step)
{
    TFigures f;
    int n = 0;
    for (auto _ : state) {
        TPeak peak;
        const auto t0 = std::chrono::steady_clock::now();
        step();
        f.Seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        f.PeakMB = std::max(f.PeakMB, peak.MB());
        ++n;
    }
    f.Seconds /= std::max(n, 1);
    g_figures[name] = f;
    state.counters["peakMB"] = f.PeakMB;
}

void BM_Model_SaveAs(benchmark::State& state)
{
    const auto& rows = Listing();
    double block = 0;
    Measure(state, "write", [&] {
        const auto t0 = std::chrono::steady_clock::now();
        auto book = TXlsxWorkbook::CreateNew();
        book->WriteBlock(*book->Sheets[0], 1, 1, rows);
        block += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        book->SaveAs(FileOf("model.xlsx"));
    });
    // The share of the time spent taking the grid's value block into the model.
    state.counters["block_s"] = block / double(state.iterations());
}

void BM_Libxlsxwriter_Alone(benchmark::State& state)
{
    // The same cells, already typed, written straight through the library.
    const auto& rows = Listing();
    std::vector<std::vector<Variant>> typed(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (const Variant& v : rows[i])
            typed[i].push_back(TypedInput(v.AsString()));
    std::vector<std::vector<std::string>> utf8(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        for (const Variant& v : typed[i])
            utf8[i].push_back(VarIsStr(v) ? StringToUtf8(v.AsString()) : std::string());
    std::string tmpdir = StringToUtf8(Folder());
    Measure(state, "write baseline", [&] {
        lxw_workbook_options options {};
        options.constant_memory = LXW_TRUE;
        options.tmpdir = tmpdir.data();
        lxw_workbook* wb = workbook_new_opt(StringToUtf8(FileOf("plain.xlsx")).c_str(), &options);
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Sheet1");
        for (std::size_t i = 0; i < typed.size(); ++i)
            for (std::size_t j = 0; j < typed[i].size(); ++j) {
                if (VarIsStr(typed[i][j]))
                    worksheet_write_string(ws, lxw_row_t(i), lxw_col_t(j), utf8[i][j].c_str(), nullptr);
                else
                    worksheet_write_number(ws, lxw_row_t(i), lxw_col_t(j), typed[i][j].AsDouble(), nullptr);
            }
        workbook_close(wb);
    });
}

void BM_Model_Open(benchmark::State& state)
{
    Measure(state, "read", [&] {
        auto book = TXlsxWorkbook::Open(FileOf("model.xlsx"));
        benchmark::DoNotOptimize(book->Sheets[0]->CellCount());
    });
}

int ZipRead(void* ctx, char* buf, int len) { return int(zip_fread(static_cast<zip_file_t*>(ctx), buf, zip_uint64_t(len))); }
int ZipClose(void*) { return 0; }

void BM_Bare_CountCells(benchmark::State& state)
{
    Measure(state, "read baseline", [&] {
        int err = 0;
        zip_t* z = zip_open(StringToUtf8(FileOf("model.xlsx")).c_str(), ZIP_RDONLY, &err);
        zip_file_t* f = zip_fopen(z, "xl/worksheets/sheet1.xml", 0);
        xmlTextReaderPtr r = xmlReaderForIO(ZipRead, ZipClose, f, nullptr, nullptr, SafeXMLParseOptions() | XML_PARSE_COMPACT);
        std::size_t cells = 0;
        while (xmlTextReaderRead(r) == 1)
            if (xmlTextReaderNodeType(r) == XML_READER_TYPE_ELEMENT
                && std::strcmp(reinterpret_cast<const char*>(xmlTextReaderConstLocalName(r)), "c") == 0)
                ++cells;
        xmlFreeTextReader(r);
        zip_fclose(f);
        zip_discard(z);
        benchmark::DoNotOptimize(cells);
    });
}

void BM_Model_SaveOneCell(benchmark::State& state)
{
    auto book = TXlsxWorkbook::Open(FileOf("model.xlsx"));
    int n = 0;
    Measure(state, "patch", [&] {
        book->WriteBlock(*book->Sheets[0], 500, 3, { { Variant(u"changed " + IntToStr(++n)) } });
        book->SaveAs(FileOf("patched.xlsx"));
    });
}

void BM_Bare_ZipCopy(benchmark::State& state)
{
    Measure(state, "patch baseline", [&] {
        int err = 0;
        zip_t* src = zip_open(StringToUtf8(FileOf("model.xlsx")).c_str(), ZIP_RDONLY, &err);
        zip_t* dst = zip_open(StringToUtf8(FileOf("copied.xlsx")).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
        std::string sheet;
        for (zip_int64_t i = 0; i < zip_get_num_entries(src, 0); ++i) {
            const char* name = zip_get_name(src, zip_uint64_t(i), 0);
            if (std::strcmp(name, "xl/worksheets/sheet1.xml") == 0) {
                sheet = ReadZipPart(src, i, u"model.xlsx");
                zip_int64_t idx = zip_file_add(dst, name, zip_source_buffer(dst, sheet.data(), sheet.size(), 0), 0);
                zip_set_file_compression(dst, zip_uint64_t(idx), ZIP_CM_DEFLATE, 6);
            } else {
                zip_file_add(dst, name, zip_source_zip(dst, src, zip_uint64_t(i), 0, 0, -1), 0);
            }
        }
        zip_close(dst);
        zip_discard(src);
    });
}

void Summary()
{
    std::printf("\n%-16s %10s %10s %10s %8s %6s\n", "step", "ours s", "bare s", "ratio", "goal", "peakMB");
    const struct {
        const char* Ours;
        const char* Bare;
        double Goal;
    } pairs[] = { { "write", "write baseline", 1.5 }, { "read", "read baseline", 2.0 }, { "patch", "patch baseline", 2.0 } };
    for (const auto& p : pairs) {
        const TFigures& a = g_figures[p.Ours];
        const TFigures& b = g_figures[p.Bare];
        std::printf("%-16s %10.3f %10.3f %9.2fx %7.1fx %6.0f (bare %.0f)\n", p.Ours, a.Seconds, b.Seconds,
            b.Seconds > 0 ? a.Seconds / b.Seconds : 0.0, p.Goal, a.PeakMB, b.PeakMB);
    }
}

} // namespace

BENCHMARK(BM_Model_SaveAs)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Libxlsxwriter_Alone)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_Open)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bare_CountCells)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Model_SaveOneCell)->Iterations(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bare_ZipCopy)->Iterations(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    for (const char* f : { "model.xlsx", "plain.xlsx", "patched.xlsx", "copied.xlsx" })
        std::remove(StringToUtf8(FileOf(f)).c_str());
    return 0;
}
