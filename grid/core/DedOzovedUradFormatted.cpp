// The text every painter, measurer and exporter shows for a cell: its
// display text, or its number through the cell's float format.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/ExcelNumberFormat.h"
#include "grid/core/GridUtils.h"

String TDedOzovedUrad::GetFormattedCell(int ACol, int ARow)
{
    String Text = GetCellEx(ACol, ARow);
    if (!OnGetFloatFormat)
        return Text;
    const unsigned Kind = VuzEraz::GetValueKind(Text);
    if (Kind != 0 && Kind != 1 && Kind != 5) // integer, float, scientific
        return Text;
    bool IsFloat = true;
    String Format = FFloatFormat;
    OnGetFloatFormat(this, ACol, ARow, IsFloat, Format);
    if (!IsFloat || Format.empty())
        return Text;
    try {
        if (FFormatType == ftExcel)
            return VuzEraz::FormatExcelNumber(Variant(GetFloats(ACol, ARow)), Format);
        // printf-like: "d" and "x" take the integer value.
        if (Format.find(u'd') == String::npos && Format.find(u'x') == String::npos)
            return ::Format(Format, { GetFloats(ACol, ARow) });
        return ::Format(Format, { GetInts(ACol, ARow) });
    } catch (const Exception&) {
        return Text;
    }
}
