// Display and real rows and columns of the string grid: the hidden-row
// store and its sorted lookup, the hidden-column flags, suppressed lines
// and the export range.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"

namespace {

// The hidden-row store: any change of its items (added, removed, moved, a
// new Idx) drops the grid's lookup, so a mapping never reads a stale one.
class THiddenRowStore : public TCollection {
public:
    explicit THiddenRowStore(TDedOzovedUrad* Grid) : TCollection(TGridItem::StaticClassInfo()), FGrid(Grid) { }
    void Update(TCollectionItem*) override { FGrid->FreeHiddenRowLookup(); }

protected:
    void Notify(TCollectionItem*, TCollectionItemNotification) override { FGrid->FreeHiddenRowLookup(); }

private:
    TDedOzovedUrad* FGrid;
};

// How many entries of the ascending list are below v (OrEqual: at or
// below v). The halving takes no branch on the data, so a lookup costs the
// same whatever the order of the questions.
std::size_t CountBelow(const std::vector<int>& List, int v, bool OrEqual)
{
    std::size_t n = List.size();
    if (n == 0)
        return 0;
    const int* Base = List.data();
    auto Before = [&](int x) { return OrEqual ? x <= v : x < v; };
    while (n > 1) {
        const std::size_t Half = n / 2;
        // Both places the next step may read, fetched ahead: on a long list
        // the search waits for memory, not for comparisons.
        __builtin_prefetch(Base + Half / 2);
        __builtin_prefetch(Base + Half + Half / 2);
        Base = Before(Base[Half]) ? Base + Half : Base;
        n -= Half;
    }
    return std::size_t(Base - List.data()) + (Before(*Base) ? 1 : 0);
}

} // namespace

std::unique_ptr<TCollection> TDedOzovedUrad::MakeHiddenRowStore(TDedOzovedUrad* Grid)
{
    return std::make_unique<THiddenRowStore>(Grid);
}

// Made in place rather than through the collection's class factory: a
// filter pass adds tens of thousands of items. The store's only listener is
// its lookup, which setting the Idx drops as an announced item would.
TGridItem* TDedOzovedUrad::AddHiddenItem(int Idx)
{
    auto* Item = new TGridItem(FGridItems.get());
    Item->SetIdx(Idx);
    return Item;
}

// ---- hidden rows ----

void TDedOzovedUrad::BuildHiddenRowLookup()
{
    if (FHiddenRowLookup)
        return;
    THiddenRowLookup Lookup;
    const int Count = FGridItems->Count();
    std::vector<std::pair<int, TGridItem*>> Sorted;
    Sorted.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i) {
        auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i));
        Sorted.emplace_back(Item->GetIdx(), Item);
    }
    // Stable: of two items with one Idx the first in the store answers.
    std::stable_sort(Sorted.begin(), Sorted.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    Lookup.Idx.reserve(Sorted.size());
    Lookup.Items.reserve(Sorted.size());
    for (const auto& [Idx, Item] : Sorted) {
        Lookup.Idx.push_back(Idx);
        Lookup.Items.push_back(Item);
        if (Lookup.Distinct.empty() || Lookup.Distinct.back() != Idx) {
            Lookup.InViewBefore.push_back(Idx - int(Lookup.Distinct.size()));
            Lookup.Distinct.push_back(Idx);
        }
    }
    FHiddenRowLookup = std::move(Lookup);
}

// The real row of the (D + 1)-th row in view: D plus the hidden rows before
// it. A hidden row lies before it exactly when fewer than D + 1 rows in
// view precede the hidden row, and those counts ascend with the rows, so a
// binary search finds how many hidden rows come first.
TRealRow TDedOzovedUrad::DisplayToRealRow(TDisplayRow ARow)
{
    if (FGridItems->Count() == 0 || ARow.Value < 0)
        return TRealRow(ARow.Value);
    BuildHiddenRowLookup();
    const std::size_t Hidden = CountBelow(FHiddenRowLookup->InViewBefore, ARow.Value, true);
    return TRealRow(ARow.Value + int(Hidden));
}

// A hidden row maps to the display index of the next row in view.
TDisplayRow TDedOzovedUrad::RealToDisplayRow(TRealRow ARow)
{
    if (FGridItems->Count() == 0)
        return TDisplayRow(ARow.Value);
    BuildHiddenRowLookup();
    const std::size_t Hidden = CountBelow(FHiddenRowLookup->Idx, ARow.Value, false);
    return TDisplayRow(ARow.Value - int(Hidden));
}

bool TDedOzovedUrad::IsHiddenRow(int RowIndex)
{
    if (FGridItems->Count() == 0)
        return false;
    BuildHiddenRowLookup();
    return std::binary_search(FHiddenRowLookup->Distinct.begin(), FHiddenRowLookup->Distinct.end(), RowIndex);
}

bool TDedOzovedUrad::IsHiddenRow(int RowIndex, std::unique_ptr<TIntList>& ListHidden) const
{
    if (!ListHidden) {
        std::vector<int> Idx;
        Idx.reserve(std::size_t(FGridItems->Count()));
        for (int i = 0; i < FGridItems->Count(); ++i)
            Idx.push_back(static_cast<TGridItem*>(FGridItems->GetItem(i))->GetIdx());
        std::sort(Idx.begin(), Idx.end());
        ListHidden = std::make_unique<TIntList>();
        for (int v : Idx)
            ListHidden->Add(v);
    }
    return ListHidden->SortedIndexOf(RowIndex) >= 0;
}

TGridItem* TDedOzovedUrad::HiddenRowItem(int RowIndex)
{
    if (FGridItems->Count() == 0)
        return nullptr;
    BuildHiddenRowLookup();
    const std::vector<int>& Idx = FHiddenRowLookup->Idx;
    const auto At = std::lower_bound(Idx.begin(), Idx.end(), RowIndex);
    if (At == Idx.end() || *At != RowIndex)
        return nullptr;
    return FHiddenRowLookup->Items[std::size_t(At - Idx.begin())];
}

// ---- hidden columns ----

TRealCol TDedOzovedUrad::DisplayToRealCol(TDisplayCol ACol) const
{
    const int D = ACol.Value;
    if (D < 0 || D >= GetAllColCount() || FNumHidden == 0)
        return TRealCol(D);
    int InView = 0;
    for (int j = 0; j < GetAllColCount(); ++j) {
        if (!ColVisibleFlag(j))
            continue;
        if (InView == D)
            return TRealCol(j);
        ++InView;
    }
    return TRealCol(D);
}

// A hidden column maps to the display index of the next visible column.
TDisplayCol TDedOzovedUrad::RealToDisplayCol(TRealCol ACol) const
{
    const int R = ACol.Value;
    if (R < 0 || R >= GetAllColCount() || FNumHidden == 0)
        return TDisplayCol(R);
    int Hidden = 0;
    for (int j = 0; j < R; ++j)
        if (!ColVisibleFlag(j))
            ++Hidden;
    return TDisplayCol(R - Hidden);
}

bool TDedOzovedUrad::IsHiddenColumn(int ColIndex) const
{
    return ColIndex >= 0 && ColIndex < GetAllColCount() && !ColVisibleFlag(ColIndex);
}

bool TDedOzovedUrad::ColVisibleFlag(int Pos) const
{
    return Pos < 0 || Pos >= int(FVisibleCol.size()) || FVisibleCol[std::size_t(Pos)];
}

void TDedOzovedUrad::SetColVisibleFlag(int Pos, bool Value)
{
    if (Pos >= 0 && Pos < int(FVisibleCol.size()))
        FVisibleCol[std::size_t(Pos)] = Value;
}

// ---- suppressed lines ----

bool TDedOzovedUrad::IsSuppressedColumn(int ColIndex) const
{
    if (ColIndex < 0 || ColIndex >= GetColCount() || GetColWidths(ColIndex) != 0)
        return false;
    return ColIndex < FSuppressColSizes->Count() && FSuppressColSizes->GetInteger(ColIndex) != 0;
}

int TDedOzovedUrad::NumSuppressedRows() const
{
    int Count = 0;
    for (int r = 0; r < GetRowCount(); ++r)
        if (GetRowHeights(r) == 0)
            ++Count;
    return Count;
}

void TDedOzovedUrad::ScreenToCell(TPoint pt, int& ACol, int& ARow)
{
    const TPoint Client = ScreenToClient(pt);
    MouseToCell(Client.X, Client.Y, ACol, ARow);
}

// ---- export range ----

int TDedOzovedUrad::GetSaveStartCol() const { return FSaveFixedCells || FSaveFixedCols ? 0 : GetFixedCols(); }
int TDedOzovedUrad::GetSaveStartRow() const { return FSaveFixedCells || FSaveFixedRows ? 0 : GetFixedRows(); }

int TDedOzovedUrad::GetSaveEndCol() const
{
    return FSaveFixedCells || FSaveFixedCols ? GetColCount() - 1 : GetColCount() - FFixedRightCols - 1;
}

int TDedOzovedUrad::GetSaveEndRow() const
{
    return FSaveFixedCells || FSaveFixedRows ? GetRowCount() - 1 : GetRowCount() - FFixedFooters - 1;
}

int TDedOzovedUrad::GetSaveColCount() const
{
    return FSaveFixedCells || FSaveFixedCols ? GetColCount() : GetColCount() - GetFixedCols() - FFixedRightCols;
}

int TDedOzovedUrad::GetSaveRowCount() const
{
    return FSaveFixedCells || FSaveFixedRows ? GetRowCount() : GetRowCount() - GetFixedRows() - FFixedFooters;
}
