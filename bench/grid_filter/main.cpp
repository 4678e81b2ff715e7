// Filter expression matching as the grid's filter runs it: once per row.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

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

BENCHMARK_MAIN();
