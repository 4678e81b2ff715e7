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

// ---- grouping ----

void TDedOzovedUrad::SetGroupColumn(int Value)
{
    if (Value == -1)
        UnGroup();
    else if (Value > 0)
        Group(Value);
}

void TDedOzovedUrad::Group(int Colindex) { FDataViews->Group(Colindex); }
void TDedOzovedUrad::UnGroup() { FDataViews->UnGroup(); }
void TDedOzovedUrad::SubGroup(int Colindex) { FDataViews->SubGroup(Colindex); }
void TDedOzovedUrad::SubUnGroup(int Colindex) { FDataViews->SubUnGroup(Colindex); }
void TDedOzovedUrad::GroupCalc(int Colindex, int Method) { FDataViews->GroupCalc(Colindex, Method); }

namespace {

// The footer follows a group calculation of its column while it shows.
void FooterCalc(TDedOzovedUrad& G, int Colindex, TColumnCalcType Calc)
{
    if (G.GetFloatingFooter()->GetVisible())
        G.GetFloatingFooter()->SetColumnCalc(Colindex, Calc);
}

} // namespace

void TDedOzovedUrad::GroupSum(int Colindex)
{
    GroupCalc(Colindex, 1);
    FooterCalc(*this, Colindex, acSUM);
}

void TDedOzovedUrad::GroupAvg(int Colindex)
{
    GroupCalc(Colindex, 2);
    FooterCalc(*this, Colindex, acAVG);
}

void TDedOzovedUrad::GroupMin(int Colindex)
{
    GroupCalc(Colindex, 3);
    FooterCalc(*this, Colindex, acMIN);
}

void TDedOzovedUrad::GroupMax(int Colindex)
{
    GroupCalc(Colindex, 4);
    FooterCalc(*this, Colindex, acMAX);
}

void TDedOzovedUrad::GroupCount(int Colindex)
{
    GroupCalc(Colindex, 5);
    FooterCalc(*this, Colindex, acCOUNT);
}
