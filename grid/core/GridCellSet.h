#pragma once
// A set of grid cells that remembers the order in which cells joined it:
// the grid's disjunct cell selection. Any column and row number fits (the
// grids hold more than 65,536 rows), and membership costs O(1).

#include <cstdint>
#include <unordered_map>
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

// The disjunct row selection's rows in the order they were selected. A
// row leaves in O(1): its entry is only marked, and the order is compacted
// when it is next read by position.
class TSelectedRowList {
public:
    int Count() const { return int(FLive.size()); }
    bool Contains(int ARow) const { return FLive.contains(ARow); }
    // True when the row was not in the list.
    bool Add(int ARow)
    {
        if (!FLive.emplace(ARow, FNextStamp).second)
            return false;
        FOrder.push_back({ ARow, FNextStamp++ });
        return true;
    }
    bool Remove(int ARow)
    {
        if (FLive.erase(ARow) == 0)
            return false;
        ++FStale;
        return true;
    }
    // -1 past the end.
    int Item(int i)
    {
        if (i < 0 || i >= Count())
            return -1;
        Compact();
        return FOrder[std::size_t(i)].Row;
    }
    void Clear()
    {
        FOrder.clear();
        FLive.clear();
        FStale = 0;
    }
    // Renumbers the rows after rows came or went: Map gives a row's new
    // number, or -1 when it went. The order stays.
    template<class F>
    void Remap(F Map)
    {
        Compact();
        std::vector<TEntry> Order;
        Order.reserve(FOrder.size());
        FLive.clear();
        for (const TEntry& e : FOrder)
            if (const int Row = Map(e.Row); Row >= 0 && FLive.emplace(Row, e.Stamp).second)
                Order.push_back({ Row, e.Stamp });
        FOrder = std::move(Order);
    }

private:
    struct TEntry {
        int Row;
        std::uint64_t Stamp;
    };
    void Compact()
    {
        if (FStale == 0)
            return;
        std::erase_if(FOrder, [&](const TEntry& e) {
            const auto it = FLive.find(e.Row);
            return it == FLive.end() || it->second != e.Stamp;
        });
        FStale = 0;
    }
    std::vector<TEntry> FOrder;
    std::unordered_map<int, std::uint64_t> FLive; // row -> stamp of its entry
    std::uint64_t FNextStamp { 0 };
    int FStale { 0 };
};
