#pragma once

// The date/time picker's display format: the fields and literals a format
// string is made of, what each field shows, and reading a shown text back.
// Shared by ComCtrls_DateTimePicker.cpp; not part of the framework's API.

#include <vector>

#include "platform/rtl/SysUtils.h"

namespace dtfields {

enum class TFieldKind { Literal, Day, DayName, Month, MonthName, Year, Hour12, Hour24, Minute, Second, AmPm };

struct TSegment {
    TFieldKind Kind { TFieldKind::Literal };
    // Letters of the code: "dd" is 2, "MMM" 3, "yyyy" 4.
    int Width { 0 };
    // A literal's text.
    String Text;
    bool IsField() const { return Kind != TFieldKind::Literal; }
};

// A value taken apart the way the fields edit it.
struct TParts {
    int Year { 1899 };
    int Month { 12 };
    int Day { 30 };
    int Hour { 0 };
    int Minute { 0 };
    int Second { 0 };
    int MSec { 0 };
};

TParts PartsOf(TDateTime Value);
// False when the parts make no valid date and time.
bool EncodeParts(const TParts& Parts, TDateTime& Value);

// Splits a picker format ("dd/MM/yyyy", "hh':'mm tt", "'Week' dd") into
// fields and literals. Quoted text is literal ('' is one quote); letters
// that are no field code are literal too.
std::vector<TSegment> ParseFormat(const String& Format);
// The picker format equivalent to a format of the settings
// (TFormatSettings::ShortDateFormat, LongTimeFormat).
String PickerFormatOf(const String& SettingsFormat, const TFormatSettings& Settings);

String FieldText(const TSegment& Segment, const TParts& Parts, const TFormatSettings& Settings);
// A year typed with two digits: the one within the settings' century
// window around the present year.
int ExpandTwoDigitYear(int TwoDigits, const TFormatSettings& Settings);
// Fields that take typed digits.
bool IsNumeric(TFieldKind Kind);
// The most digits a numeric field takes.
int MaxDigits(const TSegment& Segment);
// The smallest and largest value of a numeric field (the day's largest is
// the length of the month in `Parts`).
int FieldMin(TFieldKind Kind);
int FieldMax(TFieldKind Kind, const TParts& Parts);

// Reads a text laid out by `Segments` into `Parts` (fields the format does
// not show keep their values); false when the text does not fit the format.
bool ParseText(const std::vector<TSegment>& Segments, const String& Text, TParts& Parts, const TFormatSettings& Settings);

} // namespace dtfields
