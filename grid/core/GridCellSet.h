#pragma once
// A set of grid cells that remembers the order in which cells joined it:
// the grid's disjunct cell selection. Any column and row number fits (the
// grids hold more than 65,536 rows), and membership costs O(1).

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "platform/rtl/Collections.h"
#include "platform/vcl/Grids.h"

class TGridCellSet {
public:
    int Count() const { return int(FOrder.size()); }
    bool Contains(int ACol, int ARow) const { return FMembers.contains(Key(ACol, ARow)); }
    // True when the cell was not in the set before.
    bool Add(int ACol, int ARow)
    {
        if (!FMembers.insert(Key(ACol, ARow)).second)
            return false;
        FOrder.push_back({ ACol, ARow });
        return true;
    }
    // True when the cell was in the set.
    bool Remove(int ACol, int ARow)
    {
        if (FMembers.erase(Key(ACol, ARow)) == 0)
            return false;
        std::erase(FOrder, TGridCoord { ACol, ARow });
        return true;
    }
    // The i-th cell in joining order; EListError out of range.
    TGridCoord Item(int i) const
    {
        if (i < 0 || i >= Count())
            RaiseListIndexError(i);
        return FOrder[std::size_t(i)];
    }
    void Clear()
    {
        FOrder.clear();
        FMembers.clear();
    }

private:
    static std::uint64_t Key(int ACol, int ARow)
    {
        return (std::uint64_t(std::uint32_t(ACol)) << 32) | std::uint32_t(ARow);
    }
    std::vector<TGridCoord> FOrder;
    std::unordered_set<std::uint64_t> FMembers;
};
