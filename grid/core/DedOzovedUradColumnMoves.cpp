// The grid's own per-column and per-row data following a moved column or
// row: the column order, the suppressed widths, the hidden-column flags and
// widths, the texts of hidden rows, the sort column and the multi-column
// sort list, and the move of a synchronised grid.
//
// The platform grid has already moved the line sizes, the focus cell, the
// anchor and the editor position when these notifications run; they are
// not moved a second time here.

#include <algorithm>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridCompanions.h"
#include "grid/core/GridGuards.h"

using GridGuards::TValueGuard;

namespace {

// Takes the entry at From out and puts it in at To: the same as deleting
// it and inserting it again at To.
template <typename Seq> void RotateEntry(Seq& Items, int From, int To)
{
    const int Count = int(Items.size());
    if (From == To || From < 0 || To < 0 || From >= Count || To >= Count)
        return;
    if (From < To)
        std::rotate(Items.begin() + From, Items.begin() + From + 1, Items.begin() + To + 1);
    else
        std::rotate(Items.begin() + To, Items.begin() + From, Items.begin() + From + 1);
}

void RotateIntList(TIntList& List, int From, int To)
{
    std::vector<int> Values = List.Values();
    if (From < 0 || To < 0 || From >= int(Values.size()) || To >= int(Values.size()) || From == To)
        return;
    RotateEntry(Values, From, To);
    List.SetValues(std::move(Values));
}

// Where a column at C lands when the column at From moves to To.
int MovedPosition(int C, int From, int To)
{
    if (C == From)
        return To;
    if (From < C && C <= To)
        return C - 1;
    if (To <= C && C < From)
        return C + 1;
    return C;
}

} // namespace

bool TDedOzovedUrad::RowMoveOntoFooter(int ToIndex) const
{
    return FFloatingFooter->GetVisible() && FFloatingFooter->GetFooterStyle() == fsFixedLastRow
        && ToIndex == GetRowCount() - 1;
}

void TDedOzovedUrad::ColumnMoved(int FromIndex, int ToIndex)
{
    const int RFrom = DisplayToRealCol(TDisplayCol(FromIndex)).Value;
    const int RTo = DisplayToRealCol(TDisplayCol(ToIndex)).Value;
    const int AllCols = GetColCount() + FNumHidden;

    if (RFrom < FColumnOrder->Count() && RTo < FColumnOrder->Count())
        RotateIntList(*FColumnOrder, RFrom, RTo);

    if (GetEnhRowColMove()) {
        if (FSuppressColSizes->Count() > 0)
            RotateIntList(*FSuppressColSizes, FromIndex, ToIndex);
        if (FNumHidden > 0) {
            if (int(FVisibleCol.size()) < AllCols)
                FVisibleCol.resize(std::size_t(AllCols), true);
            if (int(FAllColWidths.size()) < AllCols)
                FAllColWidths.resize(std::size_t(AllCols), GetDefaultColWidth());
            RotateEntry(FVisibleCol, RFrom, RTo);
            RotateEntry(FAllColWidths, RFrom, RTo);
        }
        ColMoveFlg = true;
    }

    // The cell store is kept by real column.
    if (FNumHidden == 0)
        TBaseGrid::ColumnMoved(FromIndex, ToIndex);
    else
        TBaseGrid::ColumnMoved(RFrom, RTo);

    // A hidden row shown again has its cells in the new column order.
    if (NumHiddenRows() > 0)
        for (int i = 0; i < FGridItems->Count(); ++i) {
            TStringGrid::TStoredRow& Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->Cells();
            if (int(Cells.size()) <= std::max(RFrom, RTo) && int(Cells.size()) > std::min(RFrom, RTo))
                Cells.resize(std::size_t(std::max(RFrom, RTo)) + 1);
            RotateEntry(Cells, RFrom, RTo);
        }

    const int SortColumn = FSortSettings->GetColumn();
    const int NewSortColumn = MovedPosition(SortColumn, RFrom, RTo);
    if (NewSortColumn != SortColumn)
        FSortSettings->SetColumn(NewSortColumn);

    if (FSortSettings->GetIndexShow())
        RenumberSortIndexes(RFrom, RTo, AllCols);

    if (FFloatingFooter->GetVisible() && FFooterPanel)
        FFooterPanel->Invalidate();

    if (TStringGrid* Other = FSyncGrid->GetGrid(); Other && !FSyncedMove && FSyncGrid->GetMoveColumn())
        if (auto* Partner = dynamic_cast<TDedOzovedUrad*>(Other)) {
            TValueGuard Synced(Partner->FSyncedMove, true);
            Partner->MoveColumn(FromIndex, ToIndex);
        }
}

// The sort index list follows the columns and comes out ordered by column
// position. Every position is walked, hidden ones included, and the list
// keeps only the entries written, so no stale entry stays behind.
void TDedOzovedUrad::RenumberSortIndexes(int RFrom, int RTo, int AllCols)
{
    std::vector<int> Scratch(std::size_t(std::max(AllCols, 0)), -1);
    const std::vector<int> Entries = FSortIndexes->Values();
    for (int Entry : Entries) {
        const int Column = int(unsigned(Entry) & 0xFFFFu);
        if (Column < int(Scratch.size()))
            Scratch[std::size_t(Column)] = Entry;
    }
    RotateEntry(Scratch, RFrom, RTo);
    std::vector<int> Renumbered;
    Renumbered.reserve(Entries.size());
    for (int p = 0; p < int(Scratch.size()); ++p)
        if (Scratch[std::size_t(p)] != -1)
            Renumbered.push_back(int(unsigned(p) | (unsigned(Scratch[std::size_t(p)]) & 0xFFFF0000u)));
    FSortIndexes->SetValues(std::move(Renumbered));
}

void TDedOzovedUrad::RowMoved(int FromIndex, int ToIndex)
{
    // The footer row of a fixed-last-row footer never takes another row's
    // place by a drag. MoveRow refuses such a move before the platform runs;
    // the platform's own row deletion moves rows behind the last one through
    // here too and must go on, or the footer row would be deleted instead.
    if (GetGridState() == gsRowMoving && RowMoveOntoFooter(ToIndex))
        return;

    {
        TMovedEvent Saved = std::move(OnRowMoved);
        OnRowMoved = nullptr;
        struct TRestore {
            TMovedEvent& Target;
            TMovedEvent& Saved;
            ~TRestore() { Target = std::move(Saved); }
        } Restore { OnRowMoved, Saved };
        TBaseGrid::RowMoved(FromIndex, ToIndex);
    }

    if (GetEnhRowColMove())
        ColMoveFlg = true;

    if (OnRowMoved)
        OnRowMoved(this, FromIndex, ToIndex);

    if (TStringGrid* Other = FSyncGrid->GetGrid(); Other && !FSyncedMove && FSyncGrid->GetMoveRow())
        if (auto* Partner = dynamic_cast<TDedOzovedUrad*>(Other)) {
            TValueGuard Synced(Partner->FSyncedMove, true);
            Partner->MoveRow(FromIndex, ToIndex);
        }
}
