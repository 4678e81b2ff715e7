#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "grid/core/ExcelNumberFormat.h"
#include "platform/rtl/DateUtils.h"
#include "tests/grid/core/LocaleGuard.h"

using namespace VuzEraz;

namespace {

struct Case {
    Variant Value;
    const char16_t* Format;
    const char16_t* Expected;
};

} // namespace

TEST(ExcelNumberFormat, FormatsByValueAndSection)
{
    LocaleGuard locale(LocaleGuard::DotDecimal);
    const String hashes = ExcelNoSectionText;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        // number patterns
        { 1234.5, u"#,##0.00", u"1,234.50" },
        { -1234.5, u"#,##0.00", u"-1,234.50" },
        { 0.75, u"0%", u"75%" },
        { 0.5, u"0.0??", u"0.5" },
        { 12.0, u"$#,##0", u"$12" },
        { 5.0, u"0\\0", u"50" },
        { 7.0, u"0\" pcs\"", u"7 pcs" },
        { 3.0, u"[$EUR-407] 0.00", u"EUR 3.00" },
        { 1.0, u"[Red]0.0", u"1.0" },
        { 42.0, u"General", u"42" },
        // sections
        { -3.0, u"0;(0)", u"(3)" },
        { -3.0, u"0", u"-3" },
        { 0.0, u"0;-0;\"zero\"", u"zero" },
        { 0.0, u"0;-0", u"0" },
        { -2.0, u"0;-0;\"zero\";@", u"-2" },
        { 5.0, u"[<0]0;\"other\"", u"other" },
        { -5.0, u"[<0]0;\"other\"", u"5" },
        { 150.0, u"[Blue][>100]\"big\";[<=100]0", u"big" },
        { 50.0, u"[Blue][>100]\"big\";[<=100]0", u"50" },
        { 5.0, u"[<0]0", hashes.c_str() },
        { 1.0, u"0;0;0;@;\"never\"", u"1" },
        // escaped and quoted ";" do not split sections
        { -1.0, u"\"a;b\"0", u"a;b-1" },
        // a "[" without "]" is no condition and does not hide the ";"
        { -1.0, u"0[;\"neg\"", u"neg" },
        // elapsed time and dates
        { 1.5, u"[h]:mm", u"36:00" },
        { -1.5, u"[h]:mm", u"-36:00" },
        { 1.5, u"[mm]", u"2160" },
        { 0.25, u"[hhh]", u"006" },
        { EncodeDate(2023, 3, 14), u"dd/mm/yyyy", u"14/03/2023" },
        { EncodeDate(2023, 3, 14) + EncodeTime(9, 5, 0, 0), u"hh:mm", u"09:05" },
        { EncodeTime(15, 0, 0, 0), u"hAM/PM", u"3PM" },
        // the designator in a later run still makes the hours 12-hour ones
        { EncodeTime(13, 4, 0, 0), u"h:mm AM/PM", u"1:04 PM" },
        { EncodeTime(0, 4, 0, 0), u"hh:mm am/pm", u"12:04 AM" },
        // booleans, text, empty
        { true, u"0", u"TRUE" },
        { Variant(String(u"abc")), u"@\" kg\"", u"abc kg" },
        { Variant(String(u"abc")), u"0.00", u"abc" },
        { Variant(String(u"abc")), u"0;0;0;[Red]\"<\"@\">\"", u"<abc>" },
        { Variant(String(u"abc")), u"@%", u"abc" },
        { Variant(), u"0", u"" },
        { 2.5, u"", u"2.5" },
        // values no conversion can show
        { nan, u"0", hashes.c_str() },
        { std::numeric_limits<double>::infinity(), u"[h]", hashes.c_str() },
        { 1e300, u"#,##0", hashes.c_str() },
        { 1e300, u"[s]", hashes.c_str() },
        { 1e17, u"0%", hashes.c_str() },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Format) + " on " + StringToUtf8(c.Value.AsString()));
        EXPECT_EQ(StringToUtf8(FormatExcelNumber(c.Value, c.Format)), StringToUtf8(c.Expected));
    }
}

TEST(ExcelNumberFormat, DatesBelowZeroAndSystemFormats)
{
    LocaleGuard locale(LocaleGuard::DotDecimal);
    FormatSettings.LongDateFormat = u"d MMMM yyyy";
    FormatSettings.LongTimeFormat = u"HH:mm:ss";
    Variant before = Variant::Cast(Variant(-1.0), varDate);
    EXPECT_EQ(FormatExcelNumber(before, u"dd/mm/yyyy"), ExcelNoSectionText);
    const double day = EncodeDate(2024, 2, 29) + EncodeTime(13, 4, 5, 0);
    EXPECT_EQ(StringToUtf8(FormatExcelNumber(day, u"[$-F800]dddd, mmmm dd, yyyy")), "29 February 2024");
    EXPECT_EQ(StringToUtf8(FormatExcelNumber(day, u"[$-f400]h:mm:ss AM/PM")), "13:04:05");
    // Empty designators read as "AM" and "PM".
    FormatSettings.TimeAMString.clear();
    FormatSettings.TimePMString.clear();
    EXPECT_EQ(StringToUtf8(FormatExcelNumber(day, u"h AM/PM")), "1 PM");
    // A date pattern the calendar cannot show (year beyond 9999) reports "##".
    EXPECT_EQ(StringToUtf8(FormatExcelNumber(1e7, u"yyyy")), "##");
}
