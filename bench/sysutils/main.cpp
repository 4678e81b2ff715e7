// Number and date text speed, as a grid formatting and sorting many cells
// sees it: FloatToStr, FormatFloat, Format, StrToFloat, FormatDateTime and
// the logical compare, with std::to_chars as the floor for float output.
// The summary interleaves FloatToStr with std::to_chars over the same values
// and prints medians and the ratio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/CpuTime.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

std::vector<double> Values()
{
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    std::vector<double> v(4096);
    for (double& x : v)
        x = dist(rng);
    return v;
}

const TFormatSettings& Settings() { return InvariantFormatSettings(); }

void BM_ToCharsBaseline(benchmark::State& state)
{
    const auto values = Values();
    char buf[64];
    std::size_t i = 0;
    for (auto _ : state) {
        auto r = std::to_chars(buf, buf + sizeof buf, values[i++ & 4095], std::chars_format::general, 15);
        benchmark::DoNotOptimize(r.ptr);
    }
}
BENCHMARK(BM_ToCharsBaseline);

void BM_FloatToStr(benchmark::State& state)
{
    const auto values = Values();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FloatToStr(values[i++ & 4095], Settings()));
}
BENCHMARK(BM_FloatToStr);

void BM_FormatFloat(benchmark::State& state)
{
    const auto values = Values();
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatFloat(u"#,##0.00;(#,##0.00)", values[i++ & 4095], Settings()));
}
BENCHMARK(BM_FormatFloat);

void BM_FormatMixed(benchmark::State& state)
{
    const auto values = Values();
    const String name = u"Listing";
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Format(u"%s %d: %.2f", { name, int(i), values[i & 4095] }, Settings()));
        ++i;
    }
}
BENCHMARK(BM_FormatMixed);

void BM_StrToFloat(benchmark::State& state)
{
    std::vector<String> texts;
    for (double v : Values())
        texts.push_back(FloatToStr(v, Settings()));
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(StrToFloat(texts[i++ & 4095], Settings()));
}
BENCHMARK(BM_StrToFloat);

void BM_FormatDateTime(benchmark::State& state)
{
    const TDateTime start = EncodeDateTime(2024, 1, 1, 8, 0, 0, 0);
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", start + double(i++ & 4095) / 7, Settings()));
}
BENCHMARK(BM_FormatDateTime);

void BM_StrCmpLogicalW(benchmark::State& state)
{
    std::vector<String> names;
    for (int k = 0; k < 4096; ++k)
        names.push_back(u"Listing page " + IntToStr(k * 7919 % 10007) + u" item " + IntToStr(k % 31));
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(StrCmpLogicalW(names[i & 4095], names[(i + 1) & 4095]));
        ++i;
    }
}
BENCHMARK(BM_StrCmpLogicalW);

void PrintSummary()
{
    const auto values = Values();
    constexpr int kPasses = 100; // 409,600 conversions per round
    constexpr int kRounds = 15;
    std::vector<double> ours, peer;
    for (int round = 0; round < kRounds; ++round) {
        double t0 = benchcpu::Now();
        for (int pass = 0; pass < kPasses; ++pass)
            for (double v : values)
                benchmark::DoNotOptimize(FloatToStr(v, Settings()));
        ours.push_back((benchcpu::Now() - t0) / (kPasses * values.size()));
        t0 = benchcpu::Now();
        char buf[64];
        for (int pass = 0; pass < kPasses; ++pass)
            for (double v : values) {
                auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 15);
                benchmark::DoNotOptimize(r.ptr);
            }
        peer.push_back((benchcpu::Now() - t0) / (kPasses * values.size()));
    }
    const double own = benchcpu::Median(ours) * 1e9, base = benchcpu::Median(peer) * 1e9;
    std::printf("\nMedians of %d interleaved rounds, thread CPU time (speed ratio, higher is better):\n", kRounds);
    std::printf("  FloatToStr %6.1f ns   std::to_chars (15 digits) %6.1f ns   to_chars/FloatToStr = %.2f\n", own, base,
        base / own);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    PrintSummary();
    return 0;
}
