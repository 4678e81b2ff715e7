// Path data speed: a large "d" attribute (about 1 MB of mixed absolute and
// relative lines, curves, arcs and closes, as an icon set or a traced map
// would hold) tokenised alone and built into paths, and the built paths
// flattened to one polygon.

#include <benchmark/benchmark.h>

#include "graphics/LumSVGPathData.h"
#include "platform/rtl/String.h"

namespace {

String LargePathData()
{
    std::string d;
    for (int i = 0; d.size() < 1024 * 1024; ++i) {
        const int x = i % 500, y = (i * 7) % 500;
        d += "M" + std::to_string(x) + "," + std::to_string(y);
        d += " l10.5-3.25 h4 v-2.5e1 c1.5,2.5 3.75-1 5,0 s2.5,1 4,0 q3-4 6,0 t6,0";
        d += " a12.5 8 30 0 1 -20.25,14 L" + std::to_string(x + 3) + " " + std::to_string(y + 9) + "z ";
    }
    return Utf8ToString(d);
}

const String& Data()
{
    static const String data = LargePathData();
    return data;
}

void BM_SplitPathData(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(SplitPathData(Data()));
    state.SetBytesProcessed(state.iterations() * Int64(Data().size()));
}
BENCHMARK(BM_SplitPathData)->Unit(benchmark::kMillisecond);

void BM_BuildPathData(benchmark::State& state)
{
    for (auto _ : state) {
        TLumGraphicsSVGElementPathList paths;
        BuildPathData(Data(), paths);
        benchmark::DoNotOptimize(paths.GetCount());
    }
    state.SetBytesProcessed(state.iterations() * Int64(Data().size()));
}
BENCHMARK(BM_BuildPathData)->Unit(benchmark::kMillisecond);

void BM_FlattenToPolygon(benchmark::State& state)
{
    TLumGraphicsSVGElementPathList paths;
    BuildPathData(Data(), paths);
    TLumGraphicsPath all;
    for (const TLumGraphicsPath* p : paths)
        all.AddPath(p);
    TLumGraphicsPathPolygon polygon;
    for (auto _ : state) {
        all.FlattenToPolygon(polygon, 0.25f);
        benchmark::DoNotOptimize(polygon.data());
    }
    state.counters["records"] = all.GetCount();
    state.counters["vertices"] = double(polygon.size());
}
BENCHMARK(BM_FlattenToPolygon)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
