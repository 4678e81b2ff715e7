// Taking rows and columns out of view and bringing them back: hidden
// columns stay stored and are only flagged; hidden rows move into the
// store of TGridItem objects (whole stored rows, moved, not copied);
// a filter hides a list of rows as one level and the levels come back in
// reverse order; suppressed lines keep their place with size 0.

#include <algorithm>
#include <unordered_set>

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"

using GridGuards::TBulkUpdate;
using GridGuards::TValueGuard;

namespace {

// Stored items in Idx order, stable. A filter level is stored in that order
// already, so the sort is skipped after one look.
void SortByIdx(std::vector<TGridItem*>& Items)
{
    auto Less = [](const TGridItem* a, const TGridItem* b) { return a->GetIdx() < b->GetIdx(); };
    if (!std::is_sorted(Items.begin(), Items.end(), Less))
        std::stable_sort(Items.begin(), Items.end(), Less);
}

} // namespace

// ---- columns ----

void TDedOzovedUrad::HideColumns(int FromCol, int ToCol)
{
    HideInplaceEdit();
    for (int c = FromCol; c <= ToCol; ++c) {
        if (c < 0 || c >= GetAllColCount() || !ColVisibleFlag(c) || GetColCount() <= 1)
            continue;
        const int Shown = RealToDisplayCol(TRealCol(c)).Value;
        FAllColWidths[std::size_t(c)] = GetColWidths(Shown);
        for (int i = Shown; i < GetColCount() - 1; ++i)
            SetColWidths(i, GetColWidths(i + 1));
        // Hidden first, so the column count drops with AllColCount unchanged.
        ++FNumHidden;
        SetColVisibleFlag(c, false);
        if (GetCol() == GetColCount() - 1 && GetCol() > 0)
            SetCol(GetCol() - 1);
        if (IsSelectionHidden()) {
            UnHideSelection();
            SetColCount(GetColCount() - 1);
            HideSelection();
        } else {
            SetColCount(GetColCount() - 1);
        }
    }
    Invalidate();
}

void TDedOzovedUrad::UnHideColumns(int FromCol, int ToCol)
{
    HideInplaceEdit();
    if (TBaseGrid::IsDestroying())
        return;
    for (int c = FromCol; c <= ToCol; ++c) {
        if (c < 0 || c >= GetAllColCount() || ColVisibleFlag(c))
            continue;
        --FNumHidden;
        SetColVisibleFlag(c, true);
        SetColCount(GetColCount() + 1);
        const int Shown = RealToDisplayCol(TRealCol(c)).Value;
        for (int i = GetColCount() - 1; i > Shown; --i)
            SetColWidths(i, GetColWidths(i - 1));
        SetColWidths(Shown, FAllColWidths[std::size_t(c)]);
    }
    Invalidate();
}

void TDedOzovedUrad::UnHideColumnsAll() { UnHideColumns(0, GetColCount() + NumHiddenColumns() - 1); }

// ---- taking display rows out ----

int TDedOzovedUrad::StoredBefore(int RealRow)
{
    if (NumHiddenRows() == 0)
        return 0;
    BuildHiddenRowLookup();
    const std::vector<int>& Idx = FHiddenRowLookup->Idx;
    return int(std::lower_bound(Idx.begin(), Idx.end(), RealRow) - Idx.begin());
}

void TDedOzovedUrad::HideRowRange(int RowIndex, int Count, bool Remove)
{
    if (RowIndex < 0 || RowIndex >= GetRowCount() || Count <= 0)
        return;
    std::vector<int> Rows;
    for (int r = RowIndex; r < std::min(RowIndex + Count, DataRowEnd()); ++r)
        Rows.push_back(r);
    TakeOutRows(Rows, Remove);
}

// The listed display rows (valid, ascending) leave the platform grid in
// one pass, with footers, focus, selection, flags and heights kept in step.
// Remove: they are deleted (properties freed, stored indexes after them
// and cell controls move up); otherwise their cells were stored elsewhere.
void TDedOzovedUrad::TakeOutRows(const std::vector<int>& Rows, bool Remove)
{
    if (Rows.empty())
        return;
    const std::vector<int> RealRows = RealRowsOf(Rows);
    if (Remove)
        ShiftControlsForRemoval(Rows);
    {
        TValueGuard Footers(FFixedFooters, 0);
        const bool WasDisjunct = FMouseActions->GetDisjunctRowSelect();
        struct TDisjunctOff {
            TMouseActions& Actions;
            bool Was;
            ~TDisjunctOff() { Actions.SetDisjunctRowSelectDirect(Was); }
        } DisjunctOff { *FMouseActions, WasDisjunct };
        FMouseActions->SetDisjunctRowSelectDirect(false);
        TValueGuard Entered(FEntered, false);
        TValueGuard Ccu(ccuCall, false);
        TValueGuard Blocked(FBlockCellChanging, true);
        TBulkUpdate Update(*this);
        const int OldTop = GetTopRow(), OldRow = GetRow();
        const bool RowSelectOn = GetOptions().Contains(goRowSelect);

        // The application hears that the focus leaves the last row; a refusal
        // keeps the focus where it lands, the rows still go (their cells are
        // stored or freed already).
        bool Allow = true;
        if (OldRow == GetRowCount() - 1 && OnRowChanging && FGroupColumn == -1)
            OnRowChanging(this, OldRow, OldRow - int(Rows.size()), Allow);

        if (RowSelectOn && GetFixedRows() < GetRowCount() - 1)
            SetOptions(GetOptions() - TGridOptions { goRowSelect });
        if (HasNodes() && OldRow < GetRowCount())
            SetCol(GetFixedCols());
        if (Remove) {
            ShiftStoredForRemoval(Rows);
            RemoveRowFlags(Rows, RealRows, WasDisjunct);
        } else if (WasDisjunct && !FMouseActions->GetRowSelectPersistent()) {
            // Flags by display row follow the rows that move up.
            RemoveRowSelectFlags(Rows);
        }
        CompactOut(Rows, Remove);
        if (Remove)
            FMaxRowCount -= int(Rows.size());

        if (Allow) {
            if (OldRow >= GetFixedRows() && OldRow < GetRowCount()) {
                if (GetRow() != OldRow)
                    TBaseGrid::SetRow(OldRow);
                SetTopRow(OldTop);
            } else if (GetFixedRows() < GetRowCount()) {
                TBaseGrid::SetRow(GetRowCount() - 1);
                if (GetRow() >= GetRowCount())
                    HideSelection();
            } else {
                HideSelection();
            }
            FSelHidden = false;
        }
        if (GetTopRow() >= GetRowCount() - 1)
            SetTopRow(GetRowCount() - 1);
        if (GetRow() >= GetRowCount() && GetFixedRows() < GetRowCount()) {
            {
                TValueGuard Force(FForceSel, true);
                FocusCell(GetFixedCols(), GetFixedRows());
            }
            if (RowSelectOn)
                SetOptions(GetOptions() + TGridOptions { goRowSelect });
            HideSelection();
            FSelHidden = false;
        } else if (RowSelectOn && GetFixedRows() < GetRowCount()) {
            SetOptions(GetOptions() + TGridOptions { goRowSelect });
        }
    }
    CellsChanged(TRect(0, Rows.front(), GetColCount() - 1, Rows.back() + 1));
    if (FControlList->Count() > 0)
        CellControlsUpdate(false);
}

// ---- hiding rows by real index ----

void TDedOzovedUrad::HideRows(int FromRow, int ToRow)
{
    FreeHiddenRowLookup();
    if (FromRow < 0 || ToRow < FromRow)
        return;
    ToRow = std::min(ToRow, TotalRowCount() - 1);
    if (ToRow < FromRow)
        return;
    const int Before = StoredBefore(FromRow);
    const int DispStart = FromRow - Before;
    // Which rows of the range are stored already (asked before the store grows).
    std::vector<bool> Stored(std::size_t(ToRow - FromRow + 1), false);
    int StoredCount = 0;
    if (NumHiddenRows() > 0) {
        const std::vector<int>& Distinct = FHiddenRowLookup->Distinct;
        for (auto It = std::lower_bound(Distinct.begin(), Distinct.end(), FromRow);
             It != Distinct.end() && *It <= ToRow; ++It) {
            Stored[std::size_t(*It - FromRow)] = true;
            ++StoredCount;
        }
    }
    const int NewCount = ToRow - FromRow + 1 - StoredCount;
    if (NewCount == 0)
        return;
    TValueGuard Blocked(FBlockCellChanging, true);
    // The rows of the range still in view stand one after the other from
    // DispStart on.
    const int FirstNew = NumHiddenRows();
    std::vector<int> Rows;
    Rows.reserve(std::size_t(NewCount));
    for (int R = FromRow, k = 0; R <= ToRow; ++R) {
        if (Stored[std::size_t(R - FromRow)])
            continue;
        const int Shown = DispStart + k++;
        for (int i = 0; i < FControlList->Count(); ++i)
            if (TControlItem* Item = FControlList->GetControl(i); Item->Y == R && Item->GetControl())
                Item->GetControl()->SetVisible(false);
        TGridItem* Item = AddHiddenItem(R);
        TakeRowOut(Shown, Item);
        Rows.push_back(Shown);
    }
    // The store stays sorted by Idx: the new rows go after the rows stored
    // before the range, and among the stored rows of the range.
    if (StoredCount == 0)
        FGridItems->MoveBlock(FirstNew, NewCount, std::min(Before, FirstNew));
    else
        FGridItems->Sort([](TCollectionItem* a, TCollectionItem* b) {
            return static_cast<TGridItem*>(a)->GetIdx() < static_cast<TGridItem*>(b)->GetIdx();
        });
    TakeOutRows(Rows, false);
    CellControlsUpdate(false);
}

void TDedOzovedUrad::HideRowsEx(int FromRow, int ToRow)
{
    if (FromRow < 0 || ToRow < FromRow || HiddenRowItem(FromRow))
        return;
    const int DispStart = FromRow - StoredBefore(FromRow);
    const int Count = std::min(ToRow - FromRow + 1, DataRowEnd() - DispStart);
    if (Count <= 0)
        return;
    FreeHiddenRowLookup();
    for (int i = 0; i < Count; ++i) {
        TGridItem* Item = AddHiddenItem(FromRow + i);
        TakeRowOut(DispStart + i, Item);
    }
    // Hiding is no removal: no stored index moves.
    RemoveRowsExCore(DispStart, Count, false);
    CellControlsUpdate(false);
}

// ---- filter levels ----

void TDedOzovedUrad::HideRowList(TIntList* RowList)
{
    if (!RowList)
        return;
    if (FFilterType == ftSuppress) {
        {
            TBulkUpdate Update(*this);
            for (int r : RowList->Values())
                if (r >= 0 && r < GetRowCount() && GetRowHeights(r) > 0) {
                    while (FSuppressRowSizes->Count() <= r)
                        FSuppressRowSizes->Add(0);
                    FSuppressRowSizes->SetInteger(r, GetRowHeights(r));
                    StoreRowHeight(r, 0);
                }
        }
        RowHeightsChanged();
        CellControlsUpdate(false);
        return;
    }
    std::vector<int> Rows = ValidRowList(RowList->Values());
    // One row always stays in view.
    if (!Rows.empty() && int(Rows.size()) >= GetRowCount())
        Rows.erase(Rows.begin());
    FreeHiddenRowLookup();
    {
        TBulkUpdate Update(*this);
        for (int D : Rows) {
            TGridItem* Item = AddHiddenItem(D);
            Item->SetLevel(FFilterLevel);
            Item->SetFilterItem(true);
            TakeRowOut(D, Item);
        }
        ++FFilterLevel;
        CompactOut(Rows, false);
    }
    CellControlsUpdate(false);
}

// The rows of the latest level merge back from the bottom: each target
// row takes either its stored row (Idx is the row's place at that level)
// or the next row in view from above. Rows stored otherwise stay stored.
void TDedOzovedUrad::UnHideRowList()
{
    const int Level = FFilterLevel - 1;
    std::vector<TGridItem*> Items;
    for (int i = 0; i < NumHiddenRows(); ++i) {
        auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i));
        if (Item->GetFilterItem() && Item->GetLevel() == Level)
            Items.push_back(Item);
    }
    if (Items.empty())
        return;
    if (GetRow() >= GetRowCount())
        FocusCell(GetFixedCols(), GetFixedRows());
    SortByIdx(Items);
    {
        TBulkUpdate Update(*this);
        TValueGuard Blocked(FBlockFilterUpdate, true);
        const int OldEnd = DataRowEnd();
        GrowRowCount(int(Items.size()));
        MergeBack(Items, 0, OldEnd, DataRowEnd(), 0);
    }
    // The merged items are the level's, as picked above.
    FGridItems->DeleteWhere([Level](TCollectionItem* Item) {
        const auto* G = static_cast<TGridItem*>(Item);
        return G->GetFilterItem() && G->GetLevel() == Level;
    });
    FreeHiddenRowLookup();
    CellControlsUpdate(false);
}

// Rows First .. OldEnd - 1 in view and the stored Items (ascending Idx;
// an item's row is Idx - Offset) fill First .. NewEnd - 1; the rows
// OldEnd .. NewEnd - 1 are empty when it starts. An item whose Idx lies beyond the rows left takes the next
// target row, so no stored row is ever lost.
void TDedOzovedUrad::MergeBack(const std::vector<TGridItem*>& Items, int First, int OldEnd, int NewEnd, int Offset)
{
    int s = OldEnd - 1;
    int k = int(Items.size()) - 1;
    for (int t = NewEnd - 1; t >= First && k >= 0; --t) {
        if (Items[std::size_t(k)]->GetIdx() - Offset >= t || s < First) {
            PutRowBack(t, Items[std::size_t(k)]);
            --k;
        } else if (s < t) {
            ExchangeStoredRows(t, s);
            StoreRowHeight(t, GetRowHeights(s));
            --s;
        } else {
            --s;
        }
    }
    UpdateOwnerRows(First, NewEnd);
}

void TDedOzovedUrad::HideSelectedRows() { HideRowsBySelection(true); }
void TDedOzovedUrad::HideUnSelectedRows() { HideRowsBySelection(false); }

// The row-select state is read where the flags keep it (the real row
// while they persist); HideRowList takes the rows as shown.
void TDedOzovedUrad::HideRowsBySelection(bool Selected)
{
    TBulkUpdate Update(*this);
    const bool Persistent = FMouseActions->GetRowSelectPersistent();
    TIntList List;
    std::vector<int> Rows;
    for (int r = GetFixedRows(); r < GetRowCount() - FFixedFooters; ++r)
        if (IsCellRowSelected(Persistent ? RealRowIndex(TDisplayRow(r)).Value : r) == Selected)
            Rows.push_back(r);
    List.SetValues(std::move(Rows));
    HideRowList(&List);
}

// ---- restoring rows by real index ----

void TDedOzovedUrad::UnHideRow(int RowIndex) { UnHideRows(RowIndex, RowIndex); }

void TDedOzovedUrad::UnHideRows(int FromRow, int ToRow)
{
    TValueGuard Ccu(ccuCall, false);
    FreeHiddenRowLookup();
    if (ToRow < FromRow || !HiddenRowItem(FromRow))
        return;
    const int DispStart = FromRow - StoredBefore(FromRow);
    std::vector<TGridItem*> Items;
    for (int i = 0; i < NumHiddenRows(); ++i) {
        auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i));
        if (Item->GetIdx() >= FromRow && Item->GetIdx() <= ToRow)
            Items.push_back(Item);
    }
    SortByIdx(Items);
    // Rows of the range still in view stand together from DispStart on;
    // every row of the range goes to DispStart + (its real row - FromRow),
    // so a range mixing stored rows and rows in view keeps its order.
    const int InView = std::clamp(RealToDisplayRow(TRealRow(ToRow + 1)).Value - DispStart, 0,
        std::max(0, DataRowEnd() - DispStart));
    const int N = int(Items.size());
    {
        // The modified-row flags are by real row: they stay.
        struct TRestore {
            TShowModified& Show;
            bool Was;
            ~TRestore() { Show.SetEnabled(Was); }
        } Restore { *FShowModified, FShowModified->GetEnabled() };
        FShowModified->SetEnabled(false);
        TBulkUpdate Update(*this);
        InsertRowsCore(DispStart + InView, N, false, false);
        MergeBack(Items, DispStart, DispStart + InView, DispStart + InView + N, FromRow - DispStart);
    }
    for (int i = 0; i < FControlList->Count(); ++i)
        if (TControlItem* Item = FControlList->GetControl(i); Item->Y >= FromRow && Item->Y <= ToRow)
            if (TControl* Control = Item->GetControl())
                Control->SetVisible(true);
    std::unordered_set<TGridItem*> Done(Items.begin(), Items.end());
    FGridItems->DeleteWhere([&](TCollectionItem* Item) { return Done.contains(static_cast<TGridItem*>(Item)); });
    FreeHiddenRowLookup();
    CellControlsUpdate(false);
}

// Every stored row back in one merge over the whole grid (the store is
// read in Idx order, as the runs of consecutive rows would put it back).
void TDedOzovedUrad::UnHideRowsAll()
{
    if (NumHiddenRows() == 0)
        return;
    TValueGuard Ccu(ccuCall, false);
    std::vector<TGridItem*> Items;
    Items.reserve(std::size_t(NumHiddenRows()));
    for (int i = 0; i < NumHiddenRows(); ++i)
        Items.push_back(static_cast<TGridItem*>(FGridItems->GetItem(i)));
    SortByIdx(Items);
    {
        TBulkUpdate Update(*this);
        const int OldEnd = DataRowEnd();
        GrowRowCount(int(Items.size()));
        MergeBack(Items, 0, OldEnd, DataRowEnd(), 0);
    }
    for (int i = 0; i < FControlList->Count(); ++i)
        if (TControl* Control = FControlList->GetControl(i)->GetControl())
            Control->SetVisible(true);
    FGridItems->DeleteWhere([](TCollectionItem*) { return true; });
    FreeHiddenRowLookup();
    CellControlsUpdate(false);
}

// ---- suppression ----

namespace {

void RememberSize(TIntList& Sizes, int Index, int Size)
{
    while (Sizes.Count() <= Index)
        Sizes.Add(0);
    Sizes.SetInteger(Index, Size);
}

int RememberedSize(const TIntList& Sizes, int Index)
{
    return Index >= 0 && Index < Sizes.Count() ? Sizes.GetInteger(Index) : 0;
}

} // namespace

void TDedOzovedUrad::SuppressColumn(int ColIndex)
{
    if (ColIndex < 0 || ColIndex >= GetColCount() || GetColWidths(ColIndex) <= 0)
        return;
    RememberSize(*FSuppressColSizes, ColIndex, GetColWidths(ColIndex));
    SetColWidths(ColIndex, 0);
}

void TDedOzovedUrad::SuppressRow(int RowIndex)
{
    if (RowIndex < 0 || RowIndex >= GetRowCount() || GetRowHeights(RowIndex) <= 0)
        return;
    RememberSize(*FSuppressRowSizes, RowIndex, GetRowHeights(RowIndex));
    SetRowHeights(RowIndex, 0);
}

void TDedOzovedUrad::SuppressRows(int FromRow, int ToRow)
{
    for (int r = FromRow; r <= ToRow; ++r)
        SuppressRow(r);
}

void TDedOzovedUrad::UnSuppressColumn(int ColIndex)
{
    if (ColIndex >= 0 && ColIndex < GetColCount())
        SetColWidths(ColIndex, RememberedSize(*FSuppressColSizes, ColIndex));
}

void TDedOzovedUrad::UnSuppressRow(int RowIndex)
{
    if (RowIndex >= 0 && RowIndex < GetRowCount())
        SetRowHeights(RowIndex, RememberedSize(*FSuppressRowSizes, RowIndex));
}

void TDedOzovedUrad::UnSuppressRows(int FromRow, int ToRow)
{
    const std::unordered_set<int> Filtered(FFilteredRows->Values().begin(), FFilteredRows->Values().end());
    for (int r = std::max(0, FromRow); r <= ToRow && r < GetRowCount(); ++r)
        if (!Filtered.contains(r))
            SetRowHeights(r, RememberedSize(*FSuppressRowSizes, r));
}

void TDedOzovedUrad::UnSuppressAllColumns()
{
    for (int c = 0; c < GetColCount(); ++c)
        if (GetColWidths(c) == 0 && RememberedSize(*FSuppressColSizes, c) > 0)
            SetColWidths(c, RememberedSize(*FSuppressColSizes, c));
    std::vector<int> Sizes;
    for (int c = 0; c < GetColCount(); ++c)
        Sizes.push_back(GetColWidths(c));
    FSuppressColSizes->SetValues(std::move(Sizes));
}

void TDedOzovedUrad::UnSuppressAllRows()
{
    {
        TBulkUpdate Update(*this);
        for (int r = 0; r < GetRowCount(); ++r)
            if (GetRowHeights(r) == 0 && RememberedSize(*FSuppressRowSizes, r) > 0)
                StoreRowHeight(r, RememberedSize(*FSuppressRowSizes, r));
    }
    RowHeightsChanged();
    std::vector<int> Sizes;
    for (int r = 0; r < GetRowCount(); ++r)
        Sizes.push_back(GetRowHeights(r));
    FSuppressRowSizes->SetValues(std::move(Sizes));
}

void TDedOzovedUrad::UnSuppressAllOpenRows()
{
    {
        TBulkUpdate Update(*this);
        for (int r = GetFixedRows(); r < GetRowCount(); ++r) {
            if (IsNode(r) && FDataViews->GetNodeState(r)) {
                // A contracted node keeps its rows out of view.
                r += std::max(0, FDataViews->GetNodeSpan(r) - 1);
                continue;
            }
            if (GetRowHeights(r) == 0 && RememberedSize(*FSuppressRowSizes, r) > 0)
                StoreRowHeight(r, RememberedSize(*FSuppressRowSizes, r));
        }
    }
    RowHeightsChanged();
}
