// The print column layout as the data views report it: the widths and left
// edges the last print job gave the columns.

#include "grid/views/GridDataViewsImpl.h"

int TGridDataViews::GetPrintColWidth(int ACol)
{
    const std::vector<int>& W = G.FPrint.MaxWidths;
    return ACol >= 0 && ACol < int(W.size()) ? W[std::size_t(ACol)] : 0;
}

int TGridDataViews::GetPrintColOffset(int ACol)
{
    const std::vector<int>& I = G.FPrint.Indents;
    return ACol >= 0 && ACol < int(I.size()) ? I[std::size_t(ACol)] : 0;
}
