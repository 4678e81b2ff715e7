// Filter expression matching as the grid's filter runs it: once per row.
// Then the grid's own filtering at listing scale (100,000 rows of 15
// fields): FilterActive on with a "contains" condition that hides about
// half the rows, then off; narrowing down by "a", "ab", "abc", one
// character back and clearing. In the same run the reference matches the
// same cells with MatchFilterExpression in a bare loop and stable-partitions
// the row handles once per pass. Prints CPU seconds and the ratios, and how
// the time for 100,000 rows compares with that for 10,000.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

#include "bench/CpuTime.h"
#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridFilterMatch.h"

using namespace VuzEraz;

namespace {

std::vector<String> Rows(std::size_t count)
{
    std::vector<String> rows;
    for (std::size_t i = 0; i < count; ++i)
        rows.push_back(u"Company " + Utf8ToString(std::to_string(i * 7919 % 100000)) + u" Ltd, Main Street");
    return rows;
}

void MatchRows(benchmark::State& state, const String& condition)
{
    const std::vector<String> rows = Rows(10000);
    for (auto _ : state) {
        int matches = 0;
        for (const String& row : rows)
            matches += MatchFilterExpression(condition, row, false);
        benchmark::DoNotOptimize(matches);
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(rows.size()));
}

void BM_Contains(benchmark::State& state) { MatchRows(state, u"*street*"); }
void BM_StartsOrEnds(benchmark::State& state) { MatchRows(state, u"company 1*|*ltd"); }
void BM_NumericRange(benchmark::State& state) { MatchRows(state, u">=100&<=5000"); }

// Many stars against a long value without the final letter: every star
// position meets every value position.
void BM_PathologicalStars(benchmark::State& state)
{
    const String value(std::size_t(state.range(0)), u'a');
    const String mask = u"*a*a*a*a*a*a*a*a*a*a*a*a*b";
    for (auto _ : state)
        benchmark::DoNotOptimize(MatchFilterCondition(mask, value));
}

} // namespace

BENCHMARK(BM_Contains);
BENCHMARK(BM_StartsOrEnds);
BENCHMARK(BM_NumericRange);
BENCHMARK(BM_PathologicalStars)->Arg(100)->Arg(1000)->Arg(10000);

namespace {

constexpr int kCols = 15;
constexpr int kContainsCol = 3;
constexpr int kNarrowCol = 14;
constexpr int kReps = 7;

struct TFigures {
    double Grid;
    double Reference;
};

// The reference pass: match every row in view, keep the handles that match
// in front (stable), and go on with those.
int ReferencePass(const std::vector<String>& Cells, std::vector<int>& Handles, const String& Condition)
{
    std::vector<char> Keep(Handles.size());
    for (std::size_t i = 0; i < Handles.size(); ++i)
        Keep[i] = VuzEraz::MatchFilterExpression(Condition, Cells[std::size_t(Handles[i])], true);
    std::vector<int> Out;
    Out.reserve(Handles.size());
    std::size_t k = 0;
    auto Mid = std::stable_partition(Handles.begin(), Handles.end(), [&](int) { return Keep[k++] != 0; });
    return int(Mid - Handles.begin());
}

std::pair<TFigures, TFigures> Run(int Rows)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(kCols);
    G.SetRowCount(Rows + 1);
    G.SetFixedRows(1);
    G.SetFixedCols(0);
    for (int r = 0; r < Rows; ++r)
        for (int c = 0; c < kCols; ++c)
            G.SetGridCell(c, r + 1, benchrows::ListingField(c, r, Rows));
    G.GetFilter()->Add(kContainsCol, u"*o*", foNONE);

    std::vector<String> Contains, Narrow;
    for (int r = 0; r < Rows; ++r) {
        Contains.push_back(benchrows::ListingField(kContainsCol, r, Rows));
        Narrow.push_back(benchrows::ListingField(kNarrowCol, r, Rows));
    }
    int Shown = 0, RefShown = 0;
    TFigures Active {};
    std::tie(Active.Grid, Active.Reference) = benchcpu::BestOfEach(
        kReps,
        [&] {
            G.SetFilterActive(true);
            Shown = G.GetRowCount() - 1;
            G.SetFilterActive(false);
        },
        [&] {
            std::vector<int> Handles(static_cast<std::size_t>(Rows), 0);
            std::iota(Handles.begin(), Handles.end(), 0);
            RefShown = ReferencePass(Contains, Handles, u"*o*");
        });
    if (Shown != RefShown)
        std::printf("  rows shown differ: grid %d, reference %d\n", Shown, RefShown);

    G.GetFilter()->Clear();
    TFigures NarrowDown {};
    std::tie(NarrowDown.Grid, NarrowDown.Reference) = benchcpu::BestOfEach(
        kReps,
        [&] {
            for (const char16_t* Text : { u"a", u"ab", u"abc", u"ab", u"" })
                G.NarrowDown(Text, kNarrowCol);
        },
        [&] {
            std::vector<int> Handles(static_cast<std::size_t>(Rows), 0);
            std::iota(Handles.begin(), Handles.end(), 0);
            int n = Rows;
            for (const char16_t* Text : { u"*a*", u"*ab*", u"*abc*" }) {
                std::vector<int> InView(Handles.begin(), Handles.begin() + n);
                n = ReferencePass(Narrow, InView, Text);
                std::copy(InView.begin(), InView.end(), Handles.begin());
            }
        });
    if (G.GetRowCount() != Rows + 1)
        std::printf("  narrow-down left %d rows of %d\n", G.GetRowCount() - 1, Rows);
    return { Active, NarrowDown };
}

void Report(const char* What, const TFigures& F)
{
    std::printf("%-36s grid %8.4f s   reference %8.4f s (CPU)   ratio %5.2f\n", What, F.Grid, F.Reference,
        F.Reference > 0 ? F.Grid / F.Reference : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    std::printf("\ngrid filtering, 15 columns, best of %d runs\n", kReps);
    const auto Small = Run(10000);
    const auto Large = Run(100000);
    Report("FilterActive on/off, 10,000 rows", Small.first);
    Report("FilterActive on/off, 100,000 rows", Large.first);
    Report("narrow-down a/ab/abc/ab/-, 10,000", Small.second);
    Report("narrow-down a/ab/abc/ab/-, 100,000", Large.second);
    std::printf("100,000 rows / 10,000 rows: FilterActive %.1fx, narrow-down %.1fx\n", Large.first.Grid / Small.first.Grid,
        Large.second.Grid / Small.second.Grid);
    return 0;
}
