// The string grid's display/real row mapping with half of the rows hidden:
// nanoseconds per DisplayToRealRow and RealToDisplayRow call at 100,000 and
// at 1,000 rows, against a plain table lookup over the same rows and the
// walk over the rows the mapping replaces.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "grid/core/DedOzovedUrad.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point from)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - from).count();
}

// A grid of Rows real rows with every second row (1, 3, 5, ...) in the
// hidden-row store: the largest number of separate hidden runs.
struct TBenchGrid {
    TDedOzovedUrad Grid { nullptr };
    std::vector<int> DisplayToReal; // the answers, as a plain table
    std::vector<int> RealToDisplay;

    explicit TBenchGrid(int Rows)
    {
        Grid.SetRowCount(Rows - Rows / 2);
        Grid.GetGridItems()->BeginUpdate();
        for (int r = 1; r < Rows; r += 2)
            static_cast<TGridItem*>(Grid.GetGridItems()->Add())->SetIdx(r);
        Grid.GetGridItems()->EndUpdate();
        for (int r = 0; r < Rows; ++r) {
            if (r % 2 == 0)
                DisplayToReal.push_back(r);
            RealToDisplay.push_back((r + 1) / 2);
        }
    }
};

// Queries in a random order, so that neither the caches nor the branch
// predictor learn the sequence.
std::vector<int> Queries(int Range, int Count)
{
    std::mt19937 Random(7);
    std::vector<int> q(static_cast<std::size_t>(Count));
    for (int& v : q)
        v = int(Random() % unsigned(Range));
    return q;
}

template<class Map>
double NsPerCall(const std::vector<int>& q, Map map)
{
    double Best = 1e30;
    long Sink = 0;
    for (int Rep = 0; Rep < 9; ++Rep) {
        const auto t = std::chrono::steady_clock::now();
        for (int v : q)
            Sink += map(v);
        Best = std::min(Best, Seconds(t) * 1e9 / double(q.size()));
    }
    if (Sink == 42)
        std::printf("(sink)\n");
    return Best;
}

// The mapping as a walk over the real rows with a binary search per row.
int Walk(const std::vector<int>& SortedHidden, int D)
{
    int InView = 0;
    for (int r = 0;; ++r) {
        if (std::binary_search(SortedHidden.begin(), SortedHidden.end(), r))
            continue;
        if (InView == D)
            return r;
        ++InView;
    }
}

struct TFigures {
    double ToReal, ToDisplay, TableToReal, TableToDisplay, Walk;
};

TFigures Measure(int Rows)
{
    TBenchGrid B(Rows);
    TDedOzovedUrad& G = B.Grid;
    const int Shown = G.GetRowCount();
    const std::vector<int> qd = Queries(Shown, 2000000), qr = Queries(Rows, 2000000);
    // Both forms check themselves against the table once.
    for (int i = 0; i < 1000; ++i) {
        if (G.DisplayToRealRow(TDisplayRow(qd[std::size_t(i)])).Value != B.DisplayToReal[std::size_t(qd[std::size_t(i)])]
            || G.RealToDisplayRow(TRealRow(qr[std::size_t(i)])).Value != B.RealToDisplay[std::size_t(qr[std::size_t(i)])]) {
            std::printf("wrong answer at %d rows\n", Rows);
            break;
        }
    }
    TFigures F {};
    F.ToReal = NsPerCall(qd, [&](int v) { return G.DisplayToRealRow(TDisplayRow(v)).Value; });
    F.ToDisplay = NsPerCall(qr, [&](int v) { return G.RealToDisplayRow(TRealRow(v)).Value; });
    F.TableToReal = NsPerCall(qd, [&](int v) { return B.DisplayToReal[std::size_t(v)]; });
    F.TableToDisplay = NsPerCall(qr, [&](int v) { return B.RealToDisplay[std::size_t(v)]; });
    std::vector<int> Hidden;
    for (int r = 1; r < Rows; r += 2)
        Hidden.push_back(r);
    const std::vector<int> qw = Queries(Shown, Rows >= 100000 ? 200 : 20000);
    F.Walk = NsPerCall(qw, [&](int v) { return Walk(Hidden, v); });
    std::printf("%6d rows, %6d hidden: DisplayToRealRow %6.1f ns, RealToDisplayRow %6.1f ns | table %5.1f / %5.1f ns"
                " | walk %10.0f ns\n",
        Rows, Rows / 2, F.ToReal, F.ToDisplay, F.TableToReal, F.TableToDisplay, F.Walk);
    return F;
}

} // namespace

int main()
{
    const TFigures Small = Measure(1000);
    const TFigures Large = Measure(100000);
    std::printf("ratio 100000 : 1000 rows  DisplayToRealRow %.2f, RealToDisplayRow %.2f (goal <= 2)\n",
        Large.ToReal / Small.ToReal, Large.ToDisplay / Small.ToDisplay);
    std::printf("ratio grid : table        DisplayToRealRow %.2f / %.2f, RealToDisplayRow %.2f / %.2f (1000 / 100000 rows)\n",
        Small.ToReal / Small.TableToReal, Large.ToReal / Large.TableToReal, Small.ToDisplay / Small.TableToDisplay,
        Large.ToDisplay / Large.TableToDisplay);
    std::printf("ratio walk : grid         %.0f / %.0f (1000 / 100000 rows)\n", Small.Walk / Small.ToReal,
        Large.Walk / Large.ToReal);
    return 0;
}
