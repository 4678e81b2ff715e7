// The text every painter, measurer and exporter shows for a cell: its
// display text, or its number through the cell's float format.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/ExcelNumberFormat.h"
#include "grid/core/GridUtils.h"

#include <charconv>

namespace {

// A plain decimal text ("-1234.5" with the locale's separator) read the
// quick way; anything else is left to the grid's number reading.
bool PlainDecimal(const String& Text, Char DecimalSeparator, double& Value)
{
    if (Text.empty() || Text.size() > 40)
        return false;
    char Buffer[48];
    std::size_t n = 0;
    bool Digits = false, Separator = false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char Ch = Text[i];
        if (Ch >= u'0' && Ch <= u'9') {
            Buffer[n++] = char(Ch);
            Digits = true;
        } else if (Ch == u'-' && i == 0) {
            Buffer[n++] = '-';
        } else if (Ch == DecimalSeparator && !Separator) {
            Buffer[n++] = '.';
            Separator = true;
        } else {
            return false;
        }
    }
    if (!Digits)
        return false;
    const auto R = std::from_chars(Buffer, Buffer + n, Value);
    return R.ec == std::errc() && R.ptr == Buffer + n;
}

} // namespace

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
        if (FFormatType == ftExcel) {
            double Value = 0;
            if (!PlainDecimal(Text, LocaleDecimalSeparator(), Value))
                Value = GetFloats(ACol, ARow);
            return VuzEraz::FormatExcelNumber(Variant(Value), Format);
        }
        // printf-like: "d" and "x" take the integer value.
        if (Format.find(u'd') == String::npos && Format.find(u'x') == String::npos)
            return ::Format(Format, { GetFloats(ACol, ARow) });
        return ::Format(Format, { GetInts(ACol, ARow) });
    } catch (const Exception&) {
        return Text;
    }
}
