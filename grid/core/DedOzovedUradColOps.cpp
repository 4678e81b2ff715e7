// Columns of the string grid that come, go, move and change places.
// Columns are stored (real) columns unless said otherwise; the cells of
// rows stored as hidden follow every change, so a hidden row comes back
// with its texts in the right columns.

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "platform/rtl/SysUtils.h"

using GridGuards::TBulkUpdate;
using GridGuards::TValueGuard;

namespace {

void FreeProperties(TObject* Object)
{
    if (auto* Props = dynamic_cast<TCellProperties*>(Object)) {
        if (Props->GetOwnsGraphicObject())
            delete Props->GetGraphicObject();
        delete Props;
    }
}

} // namespace

void TDedOzovedUrad::InsertCols(int ColIndex, int CCount)
{
    if (ColIndex < 0 || CCount <= 0)
        return;
    ColIndex = std::min(ColIndex, GetAllColCount());
    TBulkUpdate Update(*this);
    SetColCount(GetColCount() + CCount);
    // The arrays grew at their end; the new columns belong at ColIndex.
    FVisibleCol.erase(FVisibleCol.end() - CCount, FVisibleCol.end());
    FVisibleCol.insert(FVisibleCol.begin() + ColIndex, std::size_t(CCount), true);
    FAllColWidths.erase(FAllColWidths.end() - CCount, FAllColWidths.end());
    FAllColWidths.insert(FAllColWidths.begin() + ColIndex, std::size_t(CCount), GetDefaultColWidth());
    InsertStoredCols(ColIndex, CCount);
    for (int i = 0; i < NumHiddenRows(); ++i) {
        TStringGrid::TStoredRow& Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->Cells();
        if (ColIndex < int(Cells.size()))
            Cells.insert(Cells.begin() + ColIndex, std::size_t(CCount), TStringGrid::TCellSlot());
    }
    const int Shown = RealToDisplayCol(TRealCol(ColIndex)).Value;
    for (int d = GetColCount() - 1; d >= Shown + CCount; --d)
        SetColWidths(d, GetColWidths(d - CCount));
    for (int d = Shown; d < Shown + CCount && d < GetColCount(); ++d)
        SetColWidths(d, GetDefaultColWidth());
}

void TDedOzovedUrad::RemoveCols(int ColIndex, int CCount)
{
    if (ColIndex < 0 || ColIndex >= GetAllColCount())
        return;
    CCount = std::min(CCount, GetAllColCount() - ColIndex);
    if (CCount <= 0)
        return;
    // At least one column stays in view.
    int Visible = 0;
    std::vector<int> Shown;
    for (int c = ColIndex; c < ColIndex + CCount; ++c)
        if (ColVisibleFlag(c)) {
            ++Visible;
            Shown.push_back(RealToDisplayCol(TRealCol(c)).Value);
        }
    if (Visible >= GetColCount())
        return;
    TBulkUpdate Update(*this);
    // The removed cells' properties go, in every stored row and hidden row.
    for (int r = 0; r < GetStoredRowCount(); ++r)
        for (int c = ColIndex; c < std::min(ColIndex + CCount, GetStoredColCount(r)); ++c)
            FreeProperties(GetStoredObject(c, r));
    DeleteStoredCols(ColIndex, CCount);
    for (int i = 0; i < NumHiddenRows(); ++i) {
        TStringGrid::TStoredRow& Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->Cells();
        for (int c = ColIndex; c < std::min(ColIndex + CCount, int(Cells.size())); ++c)
            FreeProperties(Cells[std::size_t(c)].Object);
        if (ColIndex < int(Cells.size()))
            Cells.erase(Cells.begin() + ColIndex, Cells.begin() + std::min(int(Cells.size()), ColIndex + CCount));
    }
    for (auto d = Shown.rbegin(); d != Shown.rend(); ++d)
        for (int i = *d; i < GetColCount() - 1; ++i)
            SetColWidths(i, GetColWidths(i + 1));
    FNumHidden -= CCount - Visible;
    FVisibleCol.erase(FVisibleCol.begin() + ColIndex, FVisibleCol.begin() + ColIndex + CCount);
    FAllColWidths.erase(FAllColWidths.begin() + ColIndex, FAllColWidths.begin() + ColIndex + CCount);
    SetColCount(GetColCount() - Visible);
    CellsChanged(TRect(ColIndex, 0, ColIndex + CCount, GetRowCount() - 1));
}

void TDedOzovedUrad::RemoveSelectedCols()
{
    TBulkUpdate Update(*this);
    if (FMouseActions->GetDisjunctColSelect()) {
        for (int c = GetColCount() - 1; c >= GetFixedCols(); --c)
            if (IsCellColSelected(c)) {
                RemoveCols(DisplayToRealCol(TDisplayCol(c)).Value, 1);
                if (std::size_t(c) < FColSelect.size())
                    FColSelect.erase(FColSelect.begin() + c);
            }
        return;
    }
    const TGridRect Sel = GetSelection();
    const int Left = std::min(Sel.Left, Sel.Right), Right = std::max(Sel.Left, Sel.Right);
    // From the right, so the display columns to go keep their numbers.
    for (int c = Right; c >= Left; --c)
        RemoveCols(DisplayToRealCol(TDisplayCol(c)).Value, 1);
}

void TDedOzovedUrad::RemoveUnSelectedCols()
{
    {
        TBulkUpdate Update(*this);
        if (FMouseActions->GetDisjunctColSelect()) {
            for (int c = GetColCount() - 1; c >= GetFixedCols(); --c)
                if (!IsCellColSelected(c)) {
                    RemoveCols(DisplayToRealCol(TDisplayCol(c)).Value, 1);
                    if (std::size_t(c) < FColSelect.size())
                        FColSelect.erase(FColSelect.begin() + c);
                }
        } else {
            const TGridRect Sel = GetSelection();
            const int Left = std::min(Sel.Left, Sel.Right), Right = std::max(Sel.Left, Sel.Right);
            for (int c = GetColCount() - 1; c > Right; --c)
                RemoveCols(DisplayToRealCol(TDisplayCol(c)).Value, 1);
            for (int c = Left - 1; c >= GetFixedCols(); --c)
                RemoveCols(DisplayToRealCol(TDisplayCol(c)).Value, 1);
        }
    }
    ClearColSelect();
}

// The cells of two stored columns change places everywhere they are kept.
void TDedOzovedUrad::ExchangeColumnData(int ACol1, int ACol2)
{
    ExchangeStoredCols(ACol1, ACol2);
    for (int i = 0; i < NumHiddenRows(); ++i) {
        TStringGrid::TStoredRow& Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->Cells();
        const std::size_t Need = std::size_t(std::max(ACol1, ACol2)) + 1;
        if (Cells.size() <= std::size_t(std::min(ACol1, ACol2)))
            continue;
        if (Cells.size() < Need)
            Cells.resize(Need);
        std::swap(Cells[std::size_t(ACol1)], Cells[std::size_t(ACol2)]);
    }
    if (GetHasCellProps())
        for (int r = 0; r < GetStoredRowCount(); ++r)
            for (int c : { ACol1, ACol2 })
                if (auto* Props = dynamic_cast<TCellProperties*>(GetStoredObject(c, r)))
                    Props->SetOwnerCol(c);
}

void TDedOzovedUrad::SwapColumns(int ACol1, int ACol2)
{
    if (ACol1 == ACol2 || ACol1 < 0 || ACol2 < 0 || ACol1 >= GetAllColCount() || ACol2 >= GetAllColCount())
        return;
    TBulkUpdate Update(*this);
    ExchangeColumnData(ACol1, ACol2);
    const int Width1 = GetAllColWidths(ACol1), Width2 = GetAllColWidths(ACol2);
    SetAllColWidths(ACol1, Width2);
    SetAllColWidths(ACol2, Width1);
    const int SortColumn = FSortSettings->GetColumn();
    if (SortColumn == ACol1)
        FSortSettings->SetColumn(ACol2);
    else if (SortColumn == ACol2)
        FSortSettings->SetColumn(ACol1);
    if (FControlList->Count() > 0) {
        for (int i = 0; i < FControlList->Count(); ++i) {
            TControlItem* Item = FControlList->GetControl(i);
            if (Item->X == ACol1)
                Item->X = ACol2;
            else if (Item->X == ACol2)
                Item->X = ACol1;
        }
        CellControlsUpdate(false);
    }
}

void TDedOzovedUrad::MoveColumn(int FromIndex, int ToIndex)
{
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0 || FromIndex >= GetColCount()
        || ToIndex >= GetColCount())
        return;
    TValueGuard Moving(FEnhRowColMoving, true);
    // The order as it stands before the first move: every column in its place.
    if (FColumnOrder->Count() == 0)
        for (int c = 0; c < GetAllColCount(); ++c)
            FColumnOrder->Add(c);
    const bool Split = FGroupColumn != -1 && (FGrouping->GetMergeHeader() || FGrouping->GetMergeSummary());
    if (Split)
        FDataViews->SplitGroupRows();
    if (ToIndex == GetFixedCols() && FGroupColumn >= GetFixedCols()) {
        // The group headers' text stays in the first normal column.
        const int RFrom = DisplayToRealCol(TDisplayCol(FromIndex)).Value;
        const int RTo = DisplayToRealCol(TDisplayCol(ToIndex)).Value;
        for (int r = GetFixedRows(); r < GetRowCount() - FFixedFooters; ++r)
            if (IsNode(r)) {
                SetCellEx(RFrom, r, GetCellEx(RTo, r));
                SetCellEx(RTo, r, String());
            }
    }
    const int RFrom = DisplayToRealCol(TDisplayCol(FromIndex)).Value;
    const int RTo = DisplayToRealCol(TDisplayCol(ToIndex)).Value;
    TBaseGrid::MoveColumn(FromIndex, ToIndex);
    // Filter conditions follow their columns.
    for (int i = 0; i < FFilter->Count(); ++i) {
        TFilterData* Data = FFilter->GetItem(i);
        const int c = Data->GetColumn();
        if (c == RFrom)
            Data->SetColumn(RTo);
        else if (RTo < RFrom && c >= RTo && c < RFrom)
            Data->SetColumn(c + 1);
        else if (RTo > RFrom && c > RFrom && c <= RTo)
            Data->SetColumn(c - 1);
    }
    if (FControlList->Count() > 0) {
        for (int i = 0; i < FControlList->Count(); ++i) {
            TControlItem* Item = FControlList->GetControl(i);
            if (Item->X == FromIndex)
                Item->X = ToIndex;
            else if (ToIndex < FromIndex && Item->X >= ToIndex && Item->X < FromIndex)
                ++Item->X;
            else if (ToIndex > FromIndex && Item->X > FromIndex && Item->X <= ToIndex)
                --Item->X;
        }
        CellControlsUpdate(false);
    }
    if (Split)
        FDataViews->MergeGroupRows();
}

void TDedOzovedUrad::MergeCols(int ColIndex1, int ColIndex2, const String& Separator)
{
    if (ColIndex1 == ColIndex2 || ColIndex1 < 0 || ColIndex2 < 0 || ColIndex1 >= GetAllColCount()
        || ColIndex2 >= GetAllColCount())
        return;
    {
        TBulkUpdate Update(*this);
        for (int r = GetFixedRows(); r < GetRowCount(); ++r)
            SetCellEx(ColIndex1, r, Trim(GetCellEx(ColIndex1, r) + Separator + GetCellEx(ColIndex2, r)));
    }
    RemoveCols(ColIndex2, 1);
}
