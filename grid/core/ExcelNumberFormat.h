#pragma once
// Excel-style number format strings: up to four sections separated by ";",
// conditions such as "[<0]", colour and locale tags, elapsed-time tags
// ("[h]:mm"), literals, date/time codes and number patterns. Stateless: the
// process format settings are read at each call.

#include "platform/rtl/String.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Variant.h"

// How the grid formats numeric cells: printf-like patterns ("%.2f") or
// Excel number format strings.
enum TFormatType { ftVCL, ftExcel };
QT_ENUM(TFormatType, ftVCL, ftExcel)

namespace VuzEraz {

// Shown for a number that no section (or no sound conversion) can display.
inline constexpr const char16_t* ExcelNoSectionText = u"###################";

// Never raises: a failed date formatting gives "##", a value no section can
// show gives ExcelNoSectionText.
String FormatExcelNumber(const Variant& Value, StringView Format);

} // namespace VuzEraz
