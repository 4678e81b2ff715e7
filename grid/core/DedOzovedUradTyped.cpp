// Numbers, dates and times read from and written to cell texts with the
// locale's separators and formats, the number format a cell is shown with,
// search texts highlighted and marked in cells, the cell checker's
// corrections, and fills of generated values.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Text with a separator of the locale reads as a number with decimals,
// rounded to the nearest integer (halves to even): "1,5" and "2.500" read as
// the locale writes them. Anything else must be an integer.
int IntegerOfText(const String& Text, bool AllowSeparators)
{
    if (Text.empty() || Text == u"-")
        return 0;
    const bool Separators = Text.find(VuzEraz::DecimalSeparatorChar()) != String::npos
        || Text.find(VuzEraz::ThousandSeparatorChar()) != String::npos;
    if (AllowSeparators && Separators) {
        double Value = 0;
        if (TryStrToFloat(VuzEraz::ExtractNumberText(Text), Value, InvariantFormatSettings())
            && Value >= double(INT32_MIN) && Value <= double(INT32_MAX))
            return int(RoundHalfEven(Value));
    } else {
        Integer Value = 0;
        if (TryStrToInt(Text, Value))
            return Value;
    }
    throw ERirEvozError(u"Cell does not contain integer value");
}

} // namespace

// ---- integers ----

int TDedOzovedUrad::GetInts(int c, int r) { return IntegerOfText(Trim(GetStrippedCells(c, r)), true); }

void TDedOzovedUrad::SetInts(int c, int r, int Value)
{
    SetCellEx(c, r, IntToStr(Value));
    if (FNumHidden > 0)
        RepaintCell(DisplColIndex(TRealCol(c)).Value, r);
}

int TDedOzovedUrad::GetAllInts(int c, int r) { return IntegerOfText(Trim(GetCellsEx(c, r)), false); }

void TDedOzovedUrad::SetAllInts(int c, int r, int Value) { SetCellsEx(c, r, IntToStr(Value)); }
