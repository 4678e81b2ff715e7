// Rows of the string grid that come, go, move and change places, with the
// bookkeeping that goes with them: heights, per-row flags, the hidden-row
// store, cell controls, focus, top row and footers.
//
// Rows move as whole stored rows (every stored column, hidden ones
// included), so a cell's text and its properties always travel together
// and a bulk operation costs one pass over the rows. Rows a removal takes
// out lose their properties; the store never holds one properties object
// twice.

#include <unordered_set>

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "platform/rtl/SysUtils.h"

using GridGuards::TBulkUpdate;
using GridGuards::TValueGuard;

// ---- stored rows ----

void TDedOzovedUrad::FreeRowProperties(const TStringGrid::TStoredRow& Row)
{
    for (const TStringGrid::TCellSlot& Slot : Row)
        if (auto* Props = dynamic_cast<TCellProperties*>(Slot.Object)) {
            if (Props->GetOwnsGraphicObject())
                delete Props->GetGraphicObject();
            delete Props;
        }
}

void TDedOzovedUrad::EmptyStoredRow(int r, bool FreeProperties)
{
    const TStringGrid::TStoredRow Row = TakeStoredRow(r);
    if (FreeProperties)
        FreeRowProperties(Row);
}

void TDedOzovedUrad::UpdateOwnerRows(int First, int Last)
{
    if (!GetHasCellProps())
        return;
    for (int r = First; r < Last; ++r)
        for (int c = 0; c < GetStoredColCount(r); ++c)
            if (auto* Props = dynamic_cast<TCellProperties*>(GetStoredObject(c, r)))
                Props->SetOwnerRow(r);
}

void TDedOzovedUrad::TakeRowOut(int r, TGridItem* Item)
{
    Item->Cells() = TakeStoredRow(r);
    Item->SetHeight(GetRowHeights(r));
}

void TDedOzovedUrad::PutRowBack(int r, TGridItem* Item)
{
    EmptyStoredRow(r, true); // an inserted row: nothing is there to keep
    PutStoredRow(r, std::move(Item->Cells()));
    StoreRowHeight(r, Item->GetHeight());
    UpdateOwnerRows(r, r + 1);
}

// Rows First .. Last - 1 turn so that row Middle comes first, with their
// heights.
void TDedOzovedUrad::RotateRows(int First, int Middle, int Last)
{
    if (First >= Middle || Middle >= Last)
        return;
    RotateStoredRows(First, Middle, Last);
    RotateRowHeights(First, Middle, Last);
    UpdateOwnerRows(First, Last);
}

// The rows the floating footer keeps last are not data rows.
int TDedOzovedUrad::DataRowEnd() const
{
    return FFloatingFooter->GetVisible() ? GetRowCount() - 1 : GetRowCount();
}

// More rows: rows of the store beyond the count (cut off by an earlier
// shrink) would come back with their old cells; they are emptied first.
void TDedOzovedUrad::GrowRowCount(int N)
{
    for (int r = GetRowCount(); r < GetRowCount() + N; ++r)
        EmptyStoredRow(r, true);
    SetRowCount(GetRowCount() + N);
}

// The stored hidden rows after removed display rows (ascending) move up
// by the removed rows before them.
void TDedOzovedUrad::ShiftStoredForRemoval(const std::vector<int>& Removed)
{
    const int Count = NumHiddenRows();
    if (Count == 0 || Removed.empty())
        return;
    std::vector<int> NewIdx(static_cast<std::size_t>(Count));
    for (int i = 0; i < Count; ++i) {
        const int Idx = static_cast<TGridItem*>(FGridItems->GetItem(i))->GetIdx();
        const int Shown = RealToDisplayRow(TRealRow(Idx)).Value;
        NewIdx[std::size_t(i)]
            = Idx - int(std::lower_bound(Removed.begin(), Removed.end(), Shown) - Removed.begin());
    }
    for (int i = 0; i < Count; ++i)
        if (auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i)); Item->GetIdx() != NewIdx[std::size_t(i)])
            Item->SetIdx(NewIdx[std::size_t(i)]);
    FreeHiddenRowLookup();
}

// Controls on removed rows are hidden and dropped; those below move up.
void TDedOzovedUrad::ShiftControlsForRemoval(const std::vector<int>& Removed)
{
    if (FControlList->Count() == 0 || Removed.empty())
        return;
    for (int i = FControlList->Count() - 1; i >= 0; --i) {
        TControlItem* Item = FControlList->GetControl(i);
        const int Shown = RealToDisplayRow(TRealRow(Item->Y)).Value;
        if (!IsHiddenRow(Item->Y) && std::binary_search(Removed.begin(), Removed.end(), Shown)) {
            if (TControl* Control = Item->GetControl())
                Control->SetVisible(false);
            FControlList->RemoveControl(i);
            FNumCellControls = std::max(0, FNumCellControls - 1);
            continue;
        }
        Item->Y -= int(std::lower_bound(Removed.begin(), Removed.end(), Shown) - Removed.begin());
    }
}

namespace {

// Entries of a flag list at the removed indexes (ascending) go.
std::vector<int> WithoutEntries(const std::vector<int>& Values, const std::vector<int>& Removed)
{
    std::vector<int> Kept;
    Kept.reserve(Values.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < Values.size(); ++i) {
        while (k < Removed.size() && std::size_t(Removed[k]) < i)
            ++k;
        if (k < Removed.size() && std::size_t(Removed[k]) == i)
            continue;
        Kept.push_back(Values[i]);
    }
    return Kept;
}

} // namespace

// The per-row flags of removed display rows go; the flags of the rows
// after them move up. RealRemoved: the real rows of the removed rows, for
// row-select flags that persist by real row.
void TDedOzovedUrad::RemoveRowFlags(const std::vector<int>& Removed, const std::vector<int>& RealRemoved,
    bool RowSelectFlags)
{
    if (Removed.empty())
        return;
    if (FShowModified->GetEnabled() && Removed.front() < FModifiedRows->Count())
        FModifiedRows->SetValues(WithoutEntries(FModifiedRows->Values(), Removed));
    if (FUseEnabledRows && Removed.front() < FEnabledRows->Count())
        FEnabledRows->SetValues(WithoutEntries(FEnabledRows->Values(), Removed));
    if (RowSelectFlags)
        RemoveRowSelectFlags(FMouseActions->GetRowSelectPersistent() ? RealRemoved : Removed);
}

// Exactly the row-select flags at the given indexes (ascending) go.
void TDedOzovedUrad::RemoveRowSelectFlags(const std::vector<int>& Gone)
{
    if (Gone.empty())
        return;
    std::vector<bool> Kept;
    Kept.reserve(FRowSelect.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < FRowSelect.size(); ++i) {
        while (k < Gone.size() && std::size_t(Gone[k]) < i)
            ++k;
        if (k < Gone.size() && std::size_t(Gone[k]) == i)
            continue;
        Kept.push_back(FRowSelect[i]);
    }
    FRowSelect = std::move(Kept);
    FSelectedRowList.Remap([&](int Row) {
        const auto At = std::lower_bound(Gone.begin(), Gone.end(), Row);
        return At != Gone.end() && *At == Row ? -1 : Row - int(At - Gone.begin());
    });
}

// The real rows of display rows (ascending in, ascending out).
std::vector<int> TDedOzovedUrad::RealRowsOf(const std::vector<int>& Rows)
{
    std::vector<int> Real;
    Real.reserve(Rows.size());
    for (int r : Rows)
        Real.push_back(RealRowIndex(TDisplayRow(r)).Value);
    return Real;
}

// ---- inserting ----

void TDedOzovedUrad::InsertRows(int RowIndex, int RCount, bool UpdateCellControls)
{
    InsertRowsCore(RowIndex, RCount, UpdateCellControls, true);
}

void TDedOzovedUrad::InsertRowsCore(int RowIndex, int RCount, bool UpdateCellControls, bool ShiftHidden)
{
    if (RCount <= 0)
        return;
    RowIndex = std::clamp(RowIndex, 0, DataRowEnd());
    const int OldLeftCol = GetLeftCol();
    if (IsSelectionHidden() || GetCol() >= GetColCount() || GetRow() >= GetRowCount())
        UnHideSelection();
    const int RealInsert = RealRowIndex(TDisplayRow(RowIndex)).Value;
    {
        TBulkUpdate Update(*this);
        GrowRowCount(RCount);
        if (FNavigation->GetKeepHorizScroll())
            SetLeftCol(OldLeftCol);
        // The new (empty) rows stand before the footer row or at the end.
        const int End = DataRowEnd();
        RotateRows(RowIndex, End - RCount, End);
        for (int r = RowIndex; r < RowIndex + RCount; ++r)
            StoreRowHeight(r, GetDefaultRowHeight());
        if (FShowModified->GetEnabled() && RowIndex < FModifiedRows->Count())
            FModifiedRows->InsertRange(RowIndex, RCount, 0);
        if (FUseEnabledRows && RowIndex < FEnabledRows->Count())
            FEnabledRows->InsertRange(RowIndex, RCount, 0);
    }
    // Rows stored as hidden at or after the insertion point keep their
    // real index (one more per new row). Filtered rows are numbered by
    // their filter level and stay as they are.
    if (ShiftHidden && NumHiddenRows() > 0) {
        for (int i = 0; i < NumHiddenRows(); ++i) {
            auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i));
            if (!Item->GetFilterItem() && Item->GetIdx() >= RealInsert)
                Item->SetIdx(Item->GetIdx() + RCount);
        }
        FreeHiddenRowLookup();
    }
    if (UpdateCellControls && FControlList->Count() > 0) {
        for (int i = 0; i < FControlList->Count(); ++i)
            if (TControlItem* Item = FControlList->GetControl(i); Item->Y >= RealInsert)
                Item->Y += RCount;
        CellControlsUpdate(false);
    }
    if (!TBaseGrid::IsDestroying())
        CellsChanged(TRect(0, RowIndex, GetColCount() - 1, RowIndex + RCount));
}

void TDedOzovedUrad::AddRow()
{
    if (FFloatingFooter->GetVisible()) {
        InsertRows(GetRowCount() - 1, 1, true);
        if (FFloatingFooter->GetFooterStyle() == fsFixedLastRow)
            ClearRows(GetRowCount() - 2, 1);
        return;
    }
    InsertRows(GetRowCount(), 1, true);
    ClearRows(GetRowCount() - 1, 1);
}

// ---- removing ----

void TDedOzovedUrad::RemoveRows(int RowIndex, int RCount)
{
    // Only the rows that exist go.
    if (RowIndex < 0 || RowIndex >= GetRowCount() || RCount <= 0)
        return;
    RCount = std::min(RCount, GetRowCount() - RowIndex);
    if (FFilterActive) {
        // The rows go from the unfiltered grid; the filter comes back after.
        const int Real = RealRowIndex(TDisplayRow(RowIndex)).Value;
        TBulkUpdate Update(*this);
        FDataViews->SetFilterActive(false);
        if (Real < GetRowCount())
            RemoveRowsUnfiltered(Real, std::min(RCount, GetRowCount() - Real));
        FDataViews->SetFilterActive(true);
        return;
    }
    RemoveRowsUnfiltered(RowIndex, RCount);
}

void TDedOzovedUrad::RemoveRowsUnfiltered(int RowIndex, int RCount)
{
    std::vector<int> Removed(static_cast<std::size_t>(RCount));
    for (int i = 0; i < RCount; ++i)
        Removed[std::size_t(i)] = RowIndex + i;
    const std::vector<int> RealRemoved = RealRowsOf(Removed);
    ShiftControlsForRemoval(Removed);

    TValueGuard Entered(FEntered, false);
    if (GetFixedRows() < GetRowCount() && GetFixedCols() < GetColCount())
        SelectCell(std::clamp(GetCol(), GetFixedCols(), GetColCount() - 1),
            std::clamp(GetRow(), GetFixedRows(), GetRowCount() - 1));
    {
        TBulkUpdate Update(*this);
        TValueGuard HideLast(FHideLastRow, FHideLastRow);
        const int OldTop = GetTopRow(), OldRow = GetRow();
        ShiftStoredForRemoval(Removed);
        RemoveRowFlags(Removed, RealRemoved, FMouseActions->GetDisjunctRowSelect());
        RemoveDisplayRows(RowIndex, RCount, true);
        FMaxRowCount -= RCount;
        RestoreFocusRow(OldRow, OldTop, GetRowCount() - FFixedFooters);
    }
    CellsChanged(TRect(0, RowIndex, GetColCount() - 1, RowIndex + RCount));
    const int Visible = GetVisibleRowCount();
    if (GetTopRow() >= GetRowCount() + GetFixedRows() - Visible - 2 && GetRowCount() - Visible - 1 > 0)
        SetTopRow(GetRowCount() + GetFixedRows() - Visible - 2);
    if (FControlList->Count() > 0)
        CellControlsUpdate(false);
    if (FSearchFooter->GetVisible())
        LayoutSearchPanel();
}

// Takes Count display rows at RowIndex out of the row order: the rows
// after them move up (the footer row stays last) and the count drops.
// Free: the rows are deleted and their properties freed; otherwise their
// cells were taken elsewhere and only empty slots are dropped.
void TDedOzovedUrad::RemoveDisplayRows(int RowIndex, int Count, bool Free)
{
    const int End = DataRowEnd();
    Count = std::min(Count, End - RowIndex);
    if (Count <= 0)
        return;
    RotateRows(RowIndex, RowIndex + Count, End);
    for (int r = End - Count; r < End; ++r)
        EmptyStoredRow(r, Free);
    SetRowCount(GetRowCount() - Count);
}

// The focus row comes back where it was when it still lies among the
// normal rows, else onto the last normal row; without normal rows the
// selection hides. The selection counts as shown afterwards.
void TDedOzovedUrad::RestoreFocusRow(int OldRow, int OldTop, int NormalEnd)
{
    if (OldRow >= GetFixedRows() && OldRow < NormalEnd) {
        if (GetRow() != OldRow)
            TBaseGrid::SetRow(OldRow);
        SetTopRow(OldTop);
    } else if (GetFixedRows() < NormalEnd) {
        TBaseGrid::SetRow(NormalEnd - 1);
    } else {
        HideSelection();
    }
    FSelHidden = false;
}

void TDedOzovedUrad::RemoveRowsEx(int RowIndex, int RCount) { RemoveRowsExCore(RowIndex, RCount, true); }

// The plain removal: the rows' cells go out of the order without their
// properties being freed here (callers took or freed them).
void TDedOzovedUrad::RemoveRowsExCore(int RowIndex, int RCount, bool ShiftHidden)
{
    if (RowIndex < 0 || RowIndex >= GetRowCount() || RCount <= 0)
        return;
    RCount = std::min(RCount, DataRowEnd() - RowIndex);
    if (RCount <= 0)
        return;
    std::vector<int> Removed(static_cast<std::size_t>(RCount));
    for (int i = 0; i < RCount; ++i)
        Removed[std::size_t(i)] = RowIndex + i;
    const int OldRow = GetRow(), OldTop = GetTopRow();
    {
        TBulkUpdate Update(*this);
        if (FMouseActions->GetDisjunctRowSelect()) {
            const std::vector<int> Real = RealRowsOf(Removed);
            RemoveRowSelectFlags(FMouseActions->GetRowSelectPersistent() ? Real : Removed);
        }
        RemoveDisplayRows(RowIndex, RCount, false);
        FMaxRowCount -= RCount;
        if (OldRow < GetRowCount()) {
            if (GetRow() != OldRow)
                TBaseGrid::SetRow(OldRow);
            SetTopRow(OldTop);
        } else if (GetFixedRows() < GetRowCount()) {
            TBaseGrid::SetRow(GetFixedRows());
            SetTopRow(GetFixedRows());
        }
    }
    if (ShiftHidden && NumHiddenRows() > 0) {
        for (int i = 0; i < NumHiddenRows(); ++i) {
            auto* Item = static_cast<TGridItem*>(FGridItems->GetItem(i));
            if (Item->GetIdx() > RowIndex + RCount - 1)
                Item->SetIdx(Item->GetIdx() - RCount);
        }
        FreeHiddenRowLookup();
    }
    CellsChanged(TRect(0, RowIndex, GetColCount() - 1, RowIndex + RCount));
}

void TDedOzovedUrad::DeleteDisplayRows(int RowIndex, int RCount)
{
    // Every stored column's properties go, hidden columns' too.
    HideRowRange(RowIndex, RCount, true);
}

void TDedOzovedUrad::RemoveRowList(TIntList* RowList)
{
    if (!RowList || RowList->Count() == 0)
        return;
    const std::vector<int> Removed = ValidRowList(RowList->Values());
    if (Removed.empty())
        return;
    const std::vector<int> RealRemoved = RealRowsOf(Removed);
    ShiftControlsForRemoval(Removed);
    ShiftStoredForRemoval(Removed);
    {
        TBulkUpdate Update(*this);
        RemoveRowFlags(Removed, RealRemoved, FMouseActions->GetDisjunctRowSelect());
        CompactOut(Removed, true);
        FMaxRowCount -= int(Removed.size());
    }
    CellsChanged(TRect(0, Removed.front(), GetColCount() - 1, GetRowCount()));
    CellControlsUpdate(false);
}

// Display rows below the footer row, each once, ascending.
std::vector<int> TDedOzovedUrad::ValidRowList(const std::vector<int>& Rows) const
{
    const int End = DataRowEnd();
    std::vector<int> Valid;
    Valid.reserve(Rows.size());
    for (int r : Rows)
        if (r >= 0 && r < End && (Valid.empty() || r > Valid.back()))
            Valid.push_back(r);
    return Valid;
}

// The listed rows (valid, ascending) leave the row order in one pass:
// every other row moves up to the next free place with its cells,
// properties and height, and the count drops. Free: the listed rows'
// properties are freed; otherwise their cells were taken elsewhere.
void TDedOzovedUrad::CompactOut(const std::vector<int>& Rows, bool Free)
{
    if (Rows.empty())
        return;
    const int End = DataRowEnd();
    for (int r : Rows)
        EmptyStoredRow(r, Free);
    std::size_t p = 0;
    int t = Rows.front();
    for (int r = Rows.front(); r < End; ++r) {
        if (p < Rows.size() && Rows[p] == r) {
            ++p;
            continue;
        }
        ExchangeStoredRows(t, r);
        StoreRowHeight(t, GetRowHeights(r));
        ++t;
    }
    UpdateOwnerRows(Rows.front(), t);
    SetRowCount(GetRowCount() - int(Rows.size()));
}

void TDedOzovedUrad::RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked)
{
    TBulkUpdate Update(*this);
    if (FFilterActive) {
        // Each row goes from the unfiltered grid, as RemoveRows does it.
        for (int r = GetRowCount() - 1; r >= GetFixedRows(); --r)
            if (IsChecked(CheckBoxColumn, r) == RemoveChecked)
                RemoveRows(r, 1);
        return;
    }
    // All rows in one pass: removing them one by one costs a pass each.
    std::vector<int> Rows;
    for (int r = GetFixedRows(); r < DataRowEnd(); ++r)
        if (IsChecked(CheckBoxColumn, r) == RemoveChecked)
            Rows.push_back(r);
    TakeOutRows(Rows, true);
}

void TDedOzovedUrad::RemoveSelectedRows()
{
    TBulkUpdate Update(*this);
    const int End = GetRowCount() - FFixedFooters;
    if (FMouseActions->GetDisjunctRowSelect()) {
        const bool Persistent = FMouseActions->GetRowSelectPersistent();
        // All selected rows go in one pass.
        std::vector<int> Rows;
        for (int r = GetFixedRows(); r < End; ++r)
            if (IsCellRowSelected(Persistent ? RealRowIndex(TDisplayRow(r)).Value : r))
                Rows.push_back(r);
        TakeOutRows(Rows, true);
        ResetRowSelectList();
        return;
    }
    const TGridRect Sel = GetSelection();
    const int Top = std::max(std::min(Sel.Top, Sel.Bottom), 0);
    const int Bottom = std::min(std::max(Sel.Top, Sel.Bottom), GetRowCount() - 1);
    if (Top <= Bottom)
        DeleteDisplayRows(Top, Bottom - Top + 1);
}

void TDedOzovedUrad::RemoveUnSelectedRows()
{
    {
        TBulkUpdate Update(*this);
        if (FMouseActions->GetDisjunctRowSelect()) {
            std::vector<int> Rows;
            for (int r = GetFixedRows(); r < GetRowCount() - FFixedFooters; ++r)
                if (!IsCellRowSelected(r))
                    Rows.push_back(r);
            TakeOutRows(Rows, true);
        } else {
            const TGridRect Sel = GetSelection();
            const int Top = std::min(Sel.Top, Sel.Bottom), Bottom = std::max(Sel.Top, Sel.Bottom);
            RemoveRows(Bottom + 1, GetRowCount() - Bottom - 1);
            if (GetFixedRows() < Top)
                RemoveRows(GetFixedRows(), Top - GetFixedRows());
        }
    }
    if (FMouseActions->GetRowSelectPersistent())
        SelectRows(GetFixedRows(), GetRowCount() - GetFixedRows());
    else
        ResetRowSelectList();
}

void TDedOzovedUrad::RemoveDuplicates(int ACol, bool DoCase)
{
    const int C = DisplayToRealCol(TDisplayCol(ACol)).Value;
    TBulkUpdate Update(*this);
    std::unordered_set<String> Seen;
    TIntList Dups;
    std::vector<int> Rows;
    for (int r = GetFixedRows(); r < GetRowCount() - FFixedFooters; ++r) {
        String Key = GetCellEx(C, r);
        if (!DoCase)
            Key = AnsiUpperCase(Key);
        if (!Seen.insert(std::move(Key)).second)
            Rows.push_back(r);
    }
    Dups.SetValues(std::move(Rows));
    RemoveRowList(&Dups);
}

// ---- moving and swapping ----

void TDedOzovedUrad::MoveRow(int FromIndex, int ToIndex)
{
    if (RowMoveOntoFooter(ToIndex))
        return;
    TBaseGrid::MoveRow(FromIndex, ToIndex);
    if (FControlList->Count() > 0) {
        for (int i = 0; i < FControlList->Count(); ++i) {
            TControlItem* Item = FControlList->GetControl(i);
            if (Item->Y == FromIndex)
                Item->Y = ToIndex;
            else if (ToIndex < FromIndex && Item->Y >= ToIndex && Item->Y < FromIndex)
                ++Item->Y;
            else if (ToIndex > FromIndex && Item->Y > FromIndex && Item->Y <= ToIndex)
                --Item->Y;
        }
        CellControlsUpdate(false);
    }
    if (FShowModified->GetEnabled()) {
        std::vector<int> Flags = FModifiedRows->Values();
        if (int(Flags.size()) < GetRowCount() + 1)
            Flags.resize(std::size_t(GetRowCount()) + 1, 0);
        if (FromIndex >= 0 && ToIndex >= 0 && FromIndex < int(Flags.size()) && ToIndex < int(Flags.size())) {
            const int Moved = Flags[std::size_t(FromIndex)];
            Flags.erase(Flags.begin() + FromIndex);
            Flags.insert(Flags.begin() + ToIndex, Moved);
        }
        FModifiedRows->SetValues(std::move(Flags));
    }
}

void TDedOzovedUrad::MoveRows(int FromIndex, int ToIndex, int Count)
{
    if (FromIndex == ToIndex || Count <= 0 || FromIndex < 0 || FromIndex >= DataRowEnd())
        return;
    Count = std::min(Count, DataRowEnd() - FromIndex);
    std::vector<TStringGrid::TStoredRow> Moved;
    Moved.reserve(std::size_t(Count));
    for (int i = 0; i < Count; ++i)
        Moved.push_back(TakeStoredRow(FromIndex + i));
    // A target at or after the end of the block counts without it.
    if (FromIndex + Count <= ToIndex)
        ToIndex -= Count;
    TBulkUpdate Update(*this);
    RemoveRowsExCore(FromIndex, Count, false);
    ToIndex = std::clamp(ToIndex, 0, DataRowEnd());
    InsertRowsCore(ToIndex, Count, true, false);
    for (int i = 0; i < Count; ++i)
        PutStoredRow(ToIndex + i, std::move(Moved[std::size_t(i)]));
    UpdateOwnerRows(ToIndex, ToIndex + Count);
}

void TDedOzovedUrad::SwapRows(int ARow1, int ARow2)
{
    if (ARow1 == ARow2 || ARow1 < 0 || ARow2 < 0)
        return;
    TBulkUpdate Update(*this);
    ExchangeStoredRows(ARow1, ARow2);
    const int Height1 = GetRowHeights(ARow1);
    StoreRowHeight(ARow1, GetRowHeights(ARow2));
    StoreRowHeight(ARow2, Height1);
    UpdateOwnerRows(ARow1, ARow1 + 1);
    UpdateOwnerRows(ARow2, ARow2 + 1);
    if (FControlList->Count() > 0) {
        const int Real1 = RealRowIndex(TDisplayRow(ARow1)).Value, Real2 = RealRowIndex(TDisplayRow(ARow2)).Value;
        for (int i = 0; i < FControlList->Count(); ++i) {
            TControlItem* Item = FControlList->GetControl(i);
            if (Item->Y == Real1)
                Item->Y = Real2;
            else if (Item->Y == Real2)
                Item->Y = Real1;
        }
        CellControlsUpdate(false);
    }
}

namespace {

template<class Flags>
void ExchangeEntries(Flags& List, int a, int b)
{
    const std::size_t Need = std::size_t(std::max(a, b)) + 1;
    if (List.size() < Need)
        List.resize(Need);
    const auto Old = List[std::size_t(a)];
    List[std::size_t(a)] = List[std::size_t(b)];
    List[std::size_t(b)] = Old;
}

} // namespace

void TDedOzovedUrad::SortSwapRows(int ARow1, int ARow2)
{
    ++Swaps;
    if (ARow1 < 0 || ARow2 < 0)
        return;
    if (ARow1 < FSortRowXRef->Count() && ARow2 < FSortRowXRef->Count()) {
        const int Ref1 = FSortRowXRef->GetInteger(ARow1);
        FSortRowXRef->SetInteger(ARow1, FSortRowXRef->GetInteger(ARow2));
        FSortRowXRef->SetInteger(ARow2, Ref1);
    }
    if (FUseEnabledRows) {
        std::vector<int> Flags = FEnabledRows->Values();
        ExchangeEntries(Flags, ARow1, ARow2);
        FEnabledRows->SetValues(std::move(Flags));
    }
    if (FSortSettings->GetSingleColumn()) {
        int Column = FSortSettings->GetColumn();
        if (Column < 0 && FSortSettings->GetIndexShow() && FSortIndexes->Count() > 0)
            Column = FSortIndexes->GetInteger(0) & 0xFFFF;
        // The raw text with its property slot, not the text as shown.
        if (Column >= 0)
            SwapCells(TGridCoord { Column, ARow1 }, TGridCoord { Column, ARow2 });
        return;
    }
    ExchangeStoredRows(ARow1, ARow2);
    if (GetRowHeights(ARow1) != GetRowHeights(ARow2)) {
        const int Height1 = GetRowHeights(ARow1);
        StoreRowHeight(ARow1, GetRowHeights(ARow2));
        StoreRowHeight(ARow2, Height1);
    }
    UpdateOwnerRows(ARow1, ARow1 + 1);
    UpdateOwnerRows(ARow2, ARow2 + 1);
    if (FMouseActions->GetDisjunctRowSelect() && FNavigation->GetMoveRowOnSort()) {
        const bool Hidden = NumHiddenRows() > 0;
        const int a = Hidden ? RealRowIndex(TDisplayRow(ARow1)).Value : ARow1;
        const int b = Hidden ? RealRowIndex(TDisplayRow(ARow2)).Value : ARow2;
        ExchangeEntries(FRowSelect, a, b);
        const bool InA = FSelectedRowList.Contains(a), InB = FSelectedRowList.Contains(b);
        if (InA != InB)
            FSelectedRowList.Remap([&](int Row) { return Row == a ? b : Row == b ? a : Row; });
    }
    if (FShowModified->GetEnabled()) {
        std::vector<int> Flags = FModifiedRows->Values();
        ExchangeEntries(Flags, ARow1, ARow2);
        FModifiedRows->SetValues(std::move(Flags));
    }
    if (SortRow == ARow1)
        SortRow = ARow2;
    else if (SortRow == ARow2)
        SortRow = ARow1;
}

void TDedOzovedUrad::SwapCells(TGridCoord FromCell, TGridCoord ToCell)
{
    if (FromCell.X < 0 || FromCell.Y < 0 || ToCell.X < 0 || ToCell.Y < 0)
        return;
    const String Text = GetGridCell(FromCell.X, FromCell.Y);
    TObject* Object = GetGridObject(FromCell.X, FromCell.Y);
    SetGridCell(FromCell.X, FromCell.Y, GetGridCell(ToCell.X, ToCell.Y));
    SetGridObject(FromCell.X, FromCell.Y, GetGridObject(ToCell.X, ToCell.Y));
    SetGridCell(ToCell.X, ToCell.Y, Text);
    SetGridObject(ToCell.X, ToCell.Y, Object);
    for (const TGridCoord& Cell : { FromCell, ToCell })
        if (auto* Props = dynamic_cast<TCellProperties*>(GetGridObject(Cell.X, Cell.Y))) {
            Props->SetOwnerCol(Cell.X);
            Props->SetOwnerRow(Cell.Y);
        }
}
