// Excel number formatting of one numeric column of 100,000 values, as
// painting or exporting such a column runs it, against the platform's float
// pattern formatter with the same pattern on the same values. Prints both
// times and their ratio.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "grid/core/ExcelNumberFormat.h"
#include "platform/rtl/SysUtils.h"

using namespace VuzEraz;

namespace {

constexpr int kValues = 100000;
const String kPattern = u"#,##0.00";

const std::vector<double>& Column()
{
    static const std::vector<double> values = [] {
        std::vector<double> v;
        v.reserve(kValues);
        for (int i = 0; i < kValues; ++i)
            v.push_back((i * 7919 % 200000 - 100000) * 3.14159);
        return v;
    }();
    return values;
}

void BM_FormatExcelNumber(benchmark::State& state)
{
    for (auto _ : state) {
        std::size_t chars = 0;
        for (double v : Column())
            chars += FormatExcelNumber(Variant(v), kPattern).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

void BM_FormatFloat(benchmark::State& state)
{
    for (auto _ : state) {
        std::size_t chars = 0;
        for (double v : Column())
            chars += FormatFloat(kPattern, v).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kValues);
}

BENCHMARK(BM_FormatExcelNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FormatFloat)->Unit(benchmark::kMillisecond);

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
    benchmark::Initialize(&argc, argv);
    TCapture capture;
    benchmark::RunSpecifiedBenchmarks(&capture);
    const auto excel = capture.Times.find("BM_FormatExcelNumber"), plain = capture.Times.find("BM_FormatFloat");
    if (excel != capture.Times.end() && plain != capture.Times.end() && plain->second > 0) {
        std::printf("\n%d values with \"#,##0.00\":\n", kValues);
        std::printf("  FormatExcelNumber %8.2f ms\n", excel->second);
        std::printf("  FormatFloat       %8.2f ms\n", plain->second);
        std::printf("  ratio             %8.2fx (goal: at most 5)\n", excel->second / plain->second);
    }
    return 0;
}
