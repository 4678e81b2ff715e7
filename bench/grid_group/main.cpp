// Grouping at listing scale: 100,000 rows of 15 listing fields grouped by a
// column of 1,000 distinct values (the auto-sort for grouping on), then
// ungrouped; in the same run the grid sorts the same column with QSort.
// Prints CPU seconds and the ratios to the sort (the goal is 3 or less for
// each).

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "bench/CpuTime.h"
#include "bench/ListingRows.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

const int kRows = std::getenv("GRID_GROUP_ROWS") ? std::atoi(std::getenv("GRID_GROUP_ROWS")) : 100000;
constexpr int kCols = 15;
constexpr int kGroupCol = 1;
constexpr int kDistinct = 1000;
// Each figure is the best of this many runs (the machine is shared).
constexpr int kReps = 3;

// The listing rows, with the category column holding 1,000 values in a
// scrambled order.
std::unique_ptr<TDedOzovedUrad> MakeGrid()
{
    auto G = std::make_unique<TDedOzovedUrad>(nullptr);
    G->SetColCount(kCols);
    G->SetRowCount(kRows + 1);
    G->SetFixedRows(1);
    G->SetFixedCols(0);
    for (int c = 0; c < kCols; ++c)
        G->SetGridCell(c, 0, u"Field " + IntToStr(c));
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kCols; ++c)
            G->SetGridCell(c, r + 1, benchrows::ListingField(c, r, kRows));
        const int p = int((long long)r * 7919 % kRows);
        G->SetGridCell(kGroupCol, r + 1, u"Category " + IntToStr(1000 + p % kDistinct));
    }
    G->GetSortSettings()->SetAutoSortForGrouping(true);
    return G;
}

} // namespace

int main()
{
    std::printf("grid_group: %d rows x %d columns, %d distinct values; best of %d runs\n", kRows, kCols, kDistinct,
        kReps);
    double Group = 1e9, UnGroup = 1e9, Sort = 1e9;
    bool Ok = true;
    for (int Rep = 0; Rep < kReps; ++Rep) {
        {
            auto G = MakeGrid();
            Group = std::min(Group, benchcpu::Time([&] { G->Group(kGroupCol); }));
            Ok = Ok && G->GetNodeCount() == kDistinct && G->GetRowCount() == kRows + 1 + kDistinct;
            UnGroup = std::min(UnGroup, benchcpu::Time([&] { G->UnGroup(); }));
            Ok = Ok && G->GetNodeCount() == 0 && G->GetRowCount() == kRows + 1 && G->GetColCount() == kCols;
        }
        {
            auto G = MakeGrid();
            G->GetSortSettings()->SetColumn(kGroupCol);
            Sort = std::min(Sort, benchcpu::Time([&] { G->QSort(); }));
        }
    }
    std::printf("QSort of the column        %8.3f s (CPU)\n", Sort);
    std::printf("Group (auto-sort included) %8.3f s (CPU)   ratio to the sort %5.2f\n", Group, Group / Sort);
    std::printf("UnGroup                    %8.3f s (CPU)   ratio to the sort %5.2f\n", UnGroup, UnGroup / Sort);
    if (!Ok)
        std::printf("  the grouped or ungrouped grid is not as expected\n");
    return 0;
}
