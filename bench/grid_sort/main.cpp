// Sorting the grid at listing scale: 100,000 rows of 15 listing fields,
// sorted by a text column (ssAlphabetic, ssAnsiAlphaNoCase, ssAutomatic),
// by a numeric column, by two sort keys, then back with QUnSort. In the
// same run the reference sorts the same rows' keys with std::stable_sort
// and the same comparison (ordinal, the same ICU collator, the same number
// conversion). Prints seconds and the ratio grid / reference.

#include <algorithm>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <vector>

#include "bench/CpuTime.h"
#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

const int kRows = std::getenv("GRID_SORT_ROWS") ? std::atoi(std::getenv("GRID_SORT_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kTextCol = 8;
constexpr int kNumberCol = 5;
constexpr int kKeyCol = 3;
// Each figure is the best of this many runs (the machine is shared).
constexpr int kReps = 9;

// Thread CPU time: the machine the figures come from is shared, and the
// wall clock counts the other programs' time too.
void Fill(TDedOzovedUrad& G)
{
    G.SetColCount(kCols);
    G.SetRowCount(kRows + 1);
    G.SetFixedRows(1);
    G.SetFixedCols(0);
    for (int c = 0; c < kCols; ++c)
        G.SetGridCell(c, 0, u"Field " + IntToStr(c));
    for (int r = 0; r < kRows; ++r)
        for (int c = 0; c < kCols; ++c)
            G.SetGridCell(c, r + 1, benchrows::ListingField(c, r, kRows));
}

std::vector<String> Keys(int Col)
{
    std::vector<String> k;
    k.reserve(std::size_t(kRows));
    for (int r = 0; r < kRows; ++r)
        k.push_back(benchrows::ListingField(Col, r, kRows));
    return k;
}

double NumberOf(const String& s)
{
    double v = 0;
    return TryStrToFloat(s, v, InvariantFormatSettings()) ? v : 0;
}

void Report(const char* What, double Grid, double Reference)
{
    std::printf("%-34s grid %8.3f s   std::stable_sort %8.3f s (CPU)   ratio %5.2f\n", What, Grid, Reference,
        Reference > 0 ? Grid / Reference : 0.0);
}

bool Sorted(TDedOzovedUrad& G, int Col, const auto& Less)
{
    for (int r = 2; r < G.GetRowCount(); ++r)
        if (Less(G.GetGridCell(Col, r), G.GetGridCell(Col, r - 1)))
            return false;
    return true;
}

} // namespace

int main()
{
    SetCollationLocale("en_US");
    TDedOzovedUrad G(nullptr);
    const double FillTime = benchcpu::Time([&] { Fill(G); });
    std::printf("grid_sort: %d rows x %d columns (filled in %.3f s); best of %d runs\n", kRows, kCols, FillTime, kReps);
    TSortSettings& SS = *G.GetSortSettings();

    auto Ordinal = [](const String& a, const String& b) { return a < b; };
    auto Collated = [](const String& a, const String& b) { return CompareStringLocale(a, b, true) < 0; };
    auto Numeric = [](const String& a, const String& b) { return NumberOf(a) < NumberOf(b); };

    struct TRun {
        const char* Name;
        int Col;
        bool AutoFormat;
        TSortStyle Style;
        int Kind; // 0 ordinal, 1 collated, 2 numeric
    };
    const TRun Runs[] = {
        { "text column, ssAlphabetic", kTextCol, false, ssAlphabetic, 0 },
        { "text column, ssAnsiAlphaNoCase", kTextCol, false, ssAnsiAlphaNoCase, 1 },
        { "text column, ssAutomatic", kTextCol, true, ssAutomatic, 0 },
        { "numeric column, ssAutomatic", kNumberCol, true, ssAutomatic, 2 },
    };
    bool Ok = true;
    for (const TRun& Run : Runs) {
        SS.SetAutoFormat(Run.AutoFormat);
        SS.SetDefaultFormat(Run.Style);
        const std::vector<String> K0 = Keys(Run.Col);
        std::vector<String> K;
        // The reference calls its comparison directly, as a sort would, on a
        // fresh copy of the keys each time: laid out in row order, as the
        // grid's own copy of the keys is.
        auto Measure = [&](const auto& Less) {
            const auto Figures = benchcpu::BestInTurns(
                kReps, [&] { G.QUnSort(); }, [&] { G.Sort(Run.Col, sdAscending); }, [&] { K = std::vector<String>(K0); },
                [&] { std::stable_sort(K.begin(), K.end(), Less); });
            Ok = Ok && Sorted(G, Run.Col, Less);
            return Figures;
        };
        const auto [Grid, Reference] = Run.Kind == 0 ? Measure(Ordinal) : Run.Kind == 1 ? Measure(Collated) : Measure(Numeric);
        Report(Run.Name, Grid, Reference);
        if (!Ok)
            std::printf("  not sorted\n");
    }

    // Two keys: suburb ascending, then the e-mail text descending.
    SS.SetAutoFormat(false);
    SS.SetDefaultFormat(ssAlphabetic);
    G.GetSortIndexes().Clear();
    G.GetSortIndexes().AddIndex(kKeyCol, true);
    G.GetSortIndexes().AddIndex(kTextCol, false);
    std::vector<std::size_t> Order(static_cast<std::size_t>(kRows), 0);
    const std::vector<String> K1 = Keys(kKeyCol), K2 = Keys(kTextCol);
    const auto [Indexed, IndexedRef] = benchcpu::BestInTurns(
        kReps, [&] { G.QUnSort(); }, [&] { G.QSortIndexed(); }, [&] { std::iota(Order.begin(), Order.end(), 0); },
        [&] {
            std::stable_sort(Order.begin(), Order.end(), [&](std::size_t a, std::size_t b) {
                if (K1[a] != K1[b])
                    return K1[a] < K1[b];
                return K2[b] < K2[a];
            });
        });
    Report("two sort keys", Indexed, IndexedRef);

    const double UnSort = benchcpu::Time([&] { G.QUnSort(); });
    for (int r = 0; r < kRows && Ok; ++r)
        Ok = G.GetGridCell(kTextCol, r + 1) == benchrows::ListingField(kTextCol, r, kRows);
    // The reference puts the keys back by their original positions.
    std::vector<std::pair<std::size_t, String>> Back;
    for (std::size_t i = 0; i < Order.size(); ++i)
        Back.emplace_back(Order[i], K2[Order[i]]);
    const double UnSortRef = benchcpu::Time([&] {
        std::stable_sort(Back.begin(), Back.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    });
    Report("QUnSort", UnSort, UnSortRef);
    std::printf("comparisons %d, swaps %d, results %s\n", G.Compares, G.Swaps, Ok ? "checked" : "WRONG");
    return Ok ? 0 : 1;
}
