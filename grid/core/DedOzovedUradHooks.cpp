// The string grid's hooks of its own that descendants replace: the
// announcement of changed cells, the width hooks of column sizing, the text
// inset and the line count of a row.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"

void TDedOzovedUrad::CellsChanged(const TRect& R)
{
    // A notifier may unregister itself (or another) while it is told: the
    // walk goes over the list as it stood, skipping any that left meanwhile.
    const std::vector<TGridChangeNotifier*> Notifiers = FNotifierList;
    for (TGridChangeNotifier* Notifier : Notifiers)
        if (std::find(FNotifierList.begin(), FNotifierList.end(), Notifier) != FNotifierList.end())
            Notifier->CellsChanged(R);
    if (OnCellsChanged)
        OnCellsChanged(this, R);
    CalcFooter(-1);
}

void TDedOzovedUrad::UpdateAutoColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

void TDedOzovedUrad::UpdateColumnSize(int ACol, int& AWidth)
{
    if (OnUpdateColumnSize)
        OnUpdateColumnSize(this, ACol, AWidth);
}

int TDedOzovedUrad::RowLineCount(int ARow)
{
    if (GetColCount() == 0 || !GetMultilinecells())
        return 1;
    int Lines = 1;
    for (int c = 0; c < GetColCount(); ++c)
        Lines = std::max(Lines, VuzEraz::CountLines(GetGridCell(DisplayToRealCol(TDisplayCol(c)).Value, ARow), true));
    return Lines;
}

void TDedOzovedUrad::SetXYOffset(TPoint Value)
{
    FXYOffset = Value;
    Invalidate();
}

void TDedOzovedUrad::SetXYRTFOffset(TPoint Value)
{
    FXYRTFOffset = Value;
    Invalidate();
}

void TDedOzovedUrad::SetXYOffsetTopLeftOnly(bool Value)
{
    if (FXYOffsetTopLeftOnly == Value)
        return;
    FXYOffsetTopLeftOnly = Value;
    Invalidate();
}

void TDedOzovedUrad::FilterEditEnabledChanged()
{
    Invalidate();
    SetFilterActive(false);
    FFilter->Clear();
    const int Row = FFilterEdit->GetRow();
    if (Row >= 0 && Row < GetRowCount() && GetColCount() > 0)
        ClearRect(0, Row, GetAllColCount() - 1, Row);
    if (!FFilterEdit->GetEnabled() && FColumnHeaders->GetCount() > 0)
        ShowColumnHeaders();
}
