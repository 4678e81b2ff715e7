// What the string grid hands to its data views, and the node questions the
// base grid asks.

#include "grid/core/DedOzovedUrad.h"

void TDedOzovedUrad::QSort() { FDataViews->QSort(); }
void TDedOzovedUrad::QSortIndexed() { FDataViews->QSortIndexed(); }
void TDedOzovedUrad::QSortGroup() { FDataViews->QSortGroup(); }
void TDedOzovedUrad::QSortGroupIndexed() { FDataViews->QSortGroupIndexed(); }
void TDedOzovedUrad::QUnSort() { FDataViews->QUnSort(); }

bool TDedOzovedUrad::IsNode(int ARow) { return FDataViews->IsNode(ARow); }
bool TDedOzovedUrad::IsSummary(int ARow) { return FDataViews->IsSummary(ARow); }
bool TDedOzovedUrad::RowMatchesFilter(int ARow) { return FDataViews->RowMatchesFilter(ARow); }

int TDedOzovedUrad::RowIndent(int ARow)
{
    if (!HasNodes() || ARow < 0)
        return 0;
    const int NodeColumn = FCellNode->GetNodeColumn();
    if (!HasCellProperties(NodeColumn, ARow))
        return 0;
    return GetCellProperties(NodeColumn, ARow)->GetNodeLevel() * FCellNode->GetNodeIndent();
}

bool TDedOzovedUrad::CollectFilterValues(int ACol, bool StopAtFirst, bool IncludeHidden)
{
    return FDataViews->CollectFilterValues(ACol, StopAtFirst, IncludeHidden);
}
