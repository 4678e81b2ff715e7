// The values of a filter list as opening it collects them: CollectFilterValues
// (sorted) of a 100,000-row column holding 50,000 distinct values (numbers
// and texts, some differing in case only). In the same run the reference
// puts the case-folded texts into an std::unordered_set in one pass and
// sorts the distinct ones with CompareFilterValues. Prints CPU seconds and
// the ratio.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <unordered_set>
#include <vector>

#include "bench/CpuTime.h"
#include "grid/views/GridDataViewsImpl.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kRows = 100000;
constexpr int kDistinct = 50000;
constexpr int kReps = 3;

// Row r holds value (r * 7919) mod 50,000: a number for a third of them, a
// suburb and number otherwise, upper-cased in every other repeat.
String Value(int r)
{
    const int v = int((long long)r * 7919 % kDistinct);
    if (v % 3 == 0)
        return Utf8ToString(std::to_string(v * 13));
    String s = Utf8ToString("Suburb " + std::to_string(v));
    return (r / kDistinct) % 2 ? AnsiUpperCase(s) : s;
}

} // namespace

int main()
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(2);
    G.SetRowCount(kRows + 1);
    G.SetFixedRows(1);
    G.SetFixedCols(0);
    G.SetFilterDropDownAuto(true);
    std::vector<String> Texts;
    for (int r = 0; r < kRows; ++r) {
        Texts.push_back(Value(r));
        G.SetGridCell(1, r + 1, Texts.back());
    }

    int Listed = 0;
    const double Grid = benchcpu::Best(kReps, [&] {
        G.CollectFilterValues(1, false, false);
        Listed = G.GetFilterList()->GetCount() - 1; // less "(All)"
    });
    int RefListed = 0;
    const double Reference = benchcpu::Best(kReps, [&] {
        std::unordered_set<String> Seen;
        std::vector<String> Distinct;
        for (int r = 1; r <= kRows; ++r) {
            String Text = G.GetCellEx(1, r);
            if (Seen.insert(AnsiUpperCase(Text)).second)
                Distinct.push_back(std::move(Text));
        }
        std::sort(Distinct.begin(), Distinct.end(),
            [](const String& a, const String& b) { return TGridDataViews::CompareFilterValues(a, b) < 0; });
        RefListed = int(Distinct.size());
    });
    if (Listed != RefListed)
        std::printf("  values differ: grid %d, reference %d\n", Listed, RefListed);
    std::printf("filter list values, %d rows, %d distinct, best of %d runs\n", kRows, Listed, kReps);
    std::printf("%-40s grid %8.4f s   reference %8.4f s (CPU)   ratio %5.2f\n", "CollectFilterValues, sorted", Grid,
        Reference, Reference > 0 ? Grid / Reference : 0.0);
    return 0;
}
