#pragma once
// A grid stand-in that records what the filter and sort settings ask of it.

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "grid/core/GridHost.h"
#include "grid/core/IntList.h"

class FakeGrid : public IGridHost {
public:
    int FixedRows { 1 };
    int RowCount { 10 };
    bool Destroying { false };
    std::map<std::pair<int, int>, int> MergeSpans;
    TSortIndexList SortIndexes;
    // "cell c,r", "row r", "invalidate", "sort", "sort indexed", in order.
    std::vector<std::string> Calls;

    int GetFixedRows() const override { return FixedRows; }
    int GetRowCount() const override { return RowCount; }
    int GetMergeSpanY(int ACol, int ARow) const override
    {
        auto it = MergeSpans.find({ ACol, ARow });
        return it == MergeSpans.end() ? 0 : it->second;
    }
    bool IsDestroying() const override { return Destroying; }
    void RepaintCell(int ACol, int ARow) override { Calls.push_back("cell " + std::to_string(ACol) + "," + std::to_string(ARow)); }
    void RepaintRow(int ARow) override { Calls.push_back("row " + std::to_string(ARow)); }
    void Invalidate() override { Calls.push_back("invalidate"); }
    TSortIndexList& GetSortIndexes() override { return SortIndexes; }
    void QSort() override { Calls.push_back("sort"); }
    void QSortIndexed() override { Calls.push_back("sort indexed"); }
};
