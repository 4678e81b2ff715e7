#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

// A month-first, dot-decimal setting and a day-first, comma-decimal one;
// every formatting table states its text under both.
TFormatSettings DotSettings()
{
    TFormatSettings fs = TFormatSettings::Invariant();
    fs.ShortDateFormat = u"M/d/yyyy";
    fs.LongDateFormat = u"dddd, MMMM d, yyyy";
    fs.ShortTimeFormat = u"h:nn AMPM";
    fs.LongTimeFormat = u"h:nn:ss AMPM";
    fs.CurrencyString = u"$";
    fs.CurrencyFormat = 0;
    fs.NegCurrFormat = 0;
    return fs;
}

TFormatSettings CommaSettings()
{
    TFormatSettings fs = TFormatSettings::Invariant();
    fs.DecimalSeparator = u',';
    fs.ThousandSeparator = u'.';
    fs.DateSeparator = u'.';
    fs.ShortDateFormat = u"dd/MM/yyyy";   // '/' stands for the date separator
    fs.LongDateFormat = u"dddd, d. MMMM yyyy";
    fs.ShortTimeFormat = u"hh:nn";
    fs.LongTimeFormat = u"hh:nn:ss";
    fs.CurrencyString = u"\u20AC";
    fs.CurrencyFormat = 3;
    fs.NegCurrFormat = 8;
    return fs;
}

const TFormatSettings Dot = DotSettings();
const TFormatSettings Comma = CommaSettings();

std::string U8(const String& s) { return StringToUtf8(s); }

template <typename F>
String ErrorOf(F&& f)
{
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message;
    }
    return u"<no EConvertError>";
}

} // namespace

TEST(Format, SpecifiersUnderBothSettings)
{
    struct Case {
        const char16_t* format;
        std::vector<TVarRec> args;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { u"%d items", { 3 }, u"3 items", u"3 items" },
        { u"[%5d|%-5d]", { 42, 42 }, u"[   42|42   ]", u"[   42|42   ]" },
        { u"%.3d", { -5 }, u"-005", u"-005" },
        { u"%d", { Int64(-9000000000LL) }, u"-9000000000", u"-9000000000" },
        { u"%u", { -1 }, u"4294967295", u"4294967295" },
        { u"%x %.4X", { 255, 255 }, u"FF 00FF", u"FF 00FF" },
        { u"%x", { Int64(-1) }, u"FFFFFFFFFFFFFFFF", u"FFFFFFFFFFFFFFFF" },
        // the temporary String outlives its statement inside the record
        { u"%s and %s", { u"a", String(u"b") }, u"a and b", u"a and b" },
        { u"%1:s %0:s %s", { u"a", u"b" }, u"b a b", u"b a b" },
        { u"%*d|%-*s|", { 4, 7, 3, u"x" }, u"   7|x  |", u"   7|x  |" },
        { u"%*d|", { -4, 7 }, u"7   |", u"7   |" },
        { u"%.2s%s", { u"abcdef", Char(u'!') }, u"ab!", u"ab!" },
        { u"100%%", {}, u"100%", u"100%" },
        { u"%f", { 1234.5 }, u"1234.50", u"1234,50" },
        { u"%.1f", { 0.25 }, u"0.3", u"0,3" },
        { u"%.2f", { -0.001 }, u"0.00", u"0,00" },
        { u"%8.3f|", { 3.14159 }, u"   3.142|", u"   3,142|" },
        { u"%n", { 1234567.891 }, u"1,234,567.89", u"1.234.567,89" },
        { u"%.0n", { -1234.5 }, u"-1,235", u"-1.235" },
        { u"%e", { 1234.5 }, u"1.23450000000000E+003", u"1,23450000000000E+003" },
        { u"%.3e", { -0.00012345 }, u"-1.23E-004", u"-1,23E-004" },
        { u"%g", { 1234.5 }, u"1234.5", u"1234,5" },
        { u"%.3g", { 0.0001234 }, u"0.000123", u"0,000123" },
        { u"%m", { -1234.5 }, u"($1,234.50)", u"-1.234,50 \u20AC" },
        { u"%m", { Currency(1.5) }, u"$1.50", u"1,50 \u20AC" },
        { u"%.4f", { Currency::FromScaled(12345) }, u"1.2345", u"1,2345" },
        { u"%p", { static_cast<const void*>(reinterpret_cast<int*>(0x1234)) }, u"0000000000001234", u"0000000000001234" },
        { u"%D %S", { 1, u"x" }, u"1 x", u"1 x" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.format));
        EXPECT_EQ(Format(c.format, c.args, Dot), c.dot);
        EXPECT_EQ(Format(c.format, c.args, Comma), c.comma);
    }
}

TEST(Format, MismatchesRaiseConvertError)
{
    struct Case {
        const char16_t* format;
        std::vector<TVarRec> args;
        const char16_t* message;
    };
    const Case cases[] = {
        { u"%d", { 1.5 }, u"Format '%d' invalid or incompatible with argument" },
        { u"%f", { 1 }, u"Format '%f' invalid or incompatible with argument" },
        { u"%s", { 3 }, u"Format '%s' invalid or incompatible with argument" },
        { u"%d", { true }, u"Format '%d' invalid or incompatible with argument" },
        { u"%x", { u"ff" }, u"Format '%x' invalid or incompatible with argument" },
        { u"%p", { 5 }, u"Format '%p' invalid or incompatible with argument" },
        { u"%y", { 1 }, u"Format '%y' invalid or incompatible with argument" },
        { u"abc%", {}, u"Format 'abc%' invalid or incompatible with argument" },
        { u"%*d", { u"x", 1 }, u"Format '%*d' invalid or incompatible with argument" },
        { u"%99999999d", { 1 }, u"Format '%99999999d' invalid or incompatible with argument" },
        { u"%d %d", { 1 }, u"No argument for format '%d %d'" },
        { u"%5:d", { 1 }, u"No argument for format '%5:d'" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.format));
        EXPECT_EQ(ErrorOf([&] { Format(c.format, c.args, Dot); }), c.message);
    }
}

TEST(FloatToStr, GeneralFormatWithFifteenDigits)
{
    struct Case {
        double value;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { 0, u"0", u"0" },
        { -0.0, u"0", u"0" },
        { 1.5, u"1.5", u"1,5" },
        { -1234.5678, u"-1234.5678", u"-1234,5678" },
        { 0.1 + 0.2, u"0.3", u"0,3" },
        { 1.0 / 3, u"0.333333333333333", u"0,333333333333333" },
        { 2.0 / 3, u"0.666666666666667", u"0,666666666666667" },
        { 123456789012345.0, u"123456789012345", u"123456789012345" },
        { 1e15, u"1E15", u"1E15" },
        { 0.0001, u"0.0001", u"0,0001" },
        { 0.00001, u"1E-5", u"1E-5" },
        { 1.23456789012345678e-10, u"1.23456789012346E-10", u"1,23456789012346E-10" },
        { 9.99999999999999999e22, u"1E23", u"1E23" },
        // the shortest text ends in ...5, but the binary value lies below the tie
        { 0.8626903632435095, u"0.862690363243509", u"0,862690363243509" },
        { 1e300, u"1E300", u"1E300" },
        { NaN, u"NAN", u"NAN" },
        { Inf, u"INF", u"INF" },
        { -Inf, u"-INF", u"-INF" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.dot));
        EXPECT_EQ(FloatToStr(c.value, Dot), c.dot);
        EXPECT_EQ(FloatToStr(c.value, Comma), c.comma);
    }
}

TEST(FloatToStr, FloatFormats)
{
    struct Case {
        double value;
        TFloatFormat format;
        int precision, digits;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { 1234.5, ffExponent, 4, 2, u"1.235E+03", u"1,235E+03" },
        { 0, ffExponent, 3, 0, u"0.00E+0", u"0,00E+0" },
        { -0.5, ffExponent, 1, 1, u"-5E-1", u"-5E-1" },
        { 1234.5678, ffFixed, 15, 2, u"1234.57", u"1234,57" },
        { 0.125, ffFixed, 15, 2, u"0.13", u"0,13" },     // a tie rounds away from zero
        { 2.5, ffFixed, 15, 0, u"3", u"3" },
        { -2.5, ffFixed, 15, 0, u"-3", u"-3" },
        { 1e20, ffFixed, 15, 2, u"1E20", u"1E20" },       // too many integer digits
        { 1234567.891, ffNumber, 15, 2, u"1,234,567.89", u"1.234.567,89" },
        { 999.999, ffNumber, 15, 2, u"1,000.00", u"1.000,00" },
        { -1234.5, ffCurrency, 15, 2, u"($1,234.50)", u"-1.234,50 \u20AC" },
        { 3, ffCurrency, 15, 0, u"$3", u"3 \u20AC" },
        { 1e20, ffGeneral, 15, 2, u"1E20", u"1E20" },
        { 1e-7, ffGeneral, 15, 3, u"1E-007", u"1E-007" },
        { 0.1, ffGeneral, 17, 0, u"0.10000000000000001", u"0,10000000000000001" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.dot));
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, Dot), c.dot);
        EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits, Comma), c.comma);
    }
}

TEST(FloatToStr, CurrencyNegativeFormats)
{
    const char16_t* expected[16] = { u"($1.00)", u"-$1.00", u"$-1.00", u"$1.00-", u"(1.00$)", u"-1.00$", u"1.00-$", u"1.00$-",
        u"-1.00 $", u"-$ 1.00", u"1.00 $-", u"$ 1.00-", u"$ -1.00", u"1.00- $", u"($ 1.00)", u"(1.00 $)" };
    TFormatSettings fs = Dot;
    for (Byte i = 0; i < 16; ++i) {
        SCOPED_TRACE(int(i));
        fs.NegCurrFormat = i;
        EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, fs), expected[i]);
    }
    const char16_t* positive[4] = { u"$1.00", u"1.00$", u"$ 1.00", u"1.00 $" };
    for (Byte i = 0; i < 4; ++i) {
        fs.CurrencyFormat = i;
        EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 2, fs), positive[i]);
    }
}

TEST(FormatFloat, PictureSections)
{
    struct Case {
        const char16_t* format;
        double value;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { u"#,##0.00", 1234567.891, u"1,234,567.89", u"1.234.567,89" },
        { u"#,##0.00", -1234.567, u"-1,234.57", u"-1.234,57" },
        { u"#,##0", 999.6, u"1,000", u"1.000" },
        { u"#,##0", 12, u"12", u"12" },
        { u"0.00", 0.125, u"0.13", u"0,13" },
        { u"0.00", 1.005, u"1.01", u"1,01" },   // rounds the 15-digit decimal text
        { u"0.00", 2.675, u"2.68", u"2,68" },
        { u"#.##", 0.5, u".5", u",5" },
        { u"0.###", 1.5, u"1.5", u"1,5" },
        { u"0.###", 2, u"2", u"2" },
        { u".00", 12.5, u"12.50", u"12,50" },
        { u"000", 7, u"007", u"007" },
        { u"0", -0.4, u"0", u"0" },
        { u"0.0;(0.0);zero", -1.25, u"(1.3)", u"(1,3)" },
        { u"0.0;(0.0);zero", 0, u"zero", u"zero" },
        { u"0.0;(0.0);zero", 0.04, u"zero", u"zero" },     // rounds to zero
        { u"0.0;(0.0);zero", -0.04, u"zero", u"zero" },
        { u"0.0;;zero", -2, u"-2.0", u"-2,0" },            // empty negative section
        { u"0.0;(0.0)", 0, u"0.0", u"0,0" },
        { u"0.00E+00", 1234.5, u"1.23E+03", u"1,23E+03" },
        { u"0.00E-00", 1234.5, u"1.23E03", u"1,23E03" },
        { u"0.0e+0", 0.000123, u"1.2e-4", u"1,2e-4" },
        { u"##0.0E+0", 12345, u"123.5E+2", u"123,5E+2" },
        { u"0.00E+00", 0, u"0.00E+00", u"0,00E+00" },
        { u"\"$\"#,##0.00", 1234.5, u"$1,234.50", u"$1.234,50" },
        { u"'Total; '0", 42, u"Total; 42", u"Total; 42" },   // ';' inside quotes
        { u"000-0000", 5551234, u"555-1234", u"555-1234" },
        { u"0 %", 12, u"12 %", u"12 %" },
        { u"", 1.5, u"1.5", u"1,5" },
        { u"0.00", 1e25, u"1E25", u"1E25" },
        { u"0.00", NaN, u"NAN", u"NAN" },
        { u"0.00", -Inf, u"-INF", u"-INF" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.format));
        EXPECT_EQ(FormatFloat(c.format, c.value, Dot), c.dot);
        EXPECT_EQ(FormatFloat(c.format, c.value, Comma), c.comma);
    }
}

TEST(FormatFloat, CurrencyIsExact)
{
    struct Case {
        Currency value;
        const char16_t* format;   // empty: CurrToStr
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { Currency(1.5), nullptr, u"1.5", u"1,5" },
        { Currency::FromScaled(-12345), nullptr, u"-1.2345", u"-1,2345" },
        { Currency(), nullptr, u"0", u"0" },
        { Currency::FromScaled(std::numeric_limits<Int64>::max()), nullptr, u"922337203685477.5807", u"922337203685477,5807" },
        { Currency::FromScaled(std::numeric_limits<Int64>::min()), nullptr, u"-922337203685477.5808", u"-922337203685477,5808" },
        { Currency(1234.5), u"#,##0.00", u"1,234.50", u"1.234,50" },
        { Currency::FromScaled(125), u"0.00", u"0.01", u"0,01" },   // 0.0125
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.dot));
        if (c.format) {
            EXPECT_EQ(FormatCurr(c.format, c.value, Dot), c.dot);
            EXPECT_EQ(FormatCurr(c.format, c.value, Comma), c.comma);
        } else {
            EXPECT_EQ(CurrToStr(c.value, Dot), c.dot);
            EXPECT_EQ(CurrToStr(c.value, Comma), c.comma);
        }
    }
    EXPECT_EQ(CurrToStrF(Currency(1234.5), ffCurrency, 2, Comma), u"1.234,50 \u20AC");
    EXPECT_EQ(Currency(0.03125).Value, 312);    // half to even at the fourth decimal
    EXPECT_EQ(Currency(0.09375).Value, 938);
    EXPECT_EQ(Currency(1e300).Value, std::numeric_limits<Int64>::max());
}

TEST(FormatDateTime, Pictures)
{
    const TDateTime t = EncodeDateTime(2024, 6, 9, 13, 5, 7, 8);   // a Sunday
    const TDateTime midnight = EncodeDateTime(2024, 6, 9, 0, 30, 0, 0);
    const TDateTime dateOnly = EncodeDate(2024, 6, 9);
    struct Case {
        const char16_t* format;
        TDateTime value;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        { u"yyyy-mm-dd hh:nn:ss.zzz", t, u"2024-06-09 13:05:07.008", u"2024-06-09 13:05:07.008" },
        { u"d/m/yy", t, u"9/6/24", u"9.6.24" },
        { u"ddd dddd mmm mmmm", t, u"Sun Sunday Jun June", u"Sun Sunday Jun June" },
        { u"h:mm", t, u"13:05", u"13:05" },             // m after h is minutes
        { u"hh mm", t, u"13 05", u"13 05" },
        { u"mm/dd hh:mm", t, u"06/09 13:05", u"06.09 13:05" },
        { u"hh:mm dd mm", t, u"13:05 09 06", u"13:05 09 06" },   // month again after the day
        { u"h:nn am/pm", t, u"1:05 pm", u"1:05 pm" },
        { u"h:nn AM/PM", t, u"1:05 PM", u"1:05 PM" },
        { u"h:nn a/p", t, u"1:05 p", u"1:05 p" },
        { u"hh:nn ampm", t, u"01:05 PM", u"01:05 PM" },
        { u"h:nn AM/PM", midnight, u"12:30 AM", u"12:30 AM" },
        { u"ddddd", t, u"6/9/2024", u"09.06.2024" },
        { u"dddddd", t, u"Sunday, June 9, 2024", u"Sunday, 9. June 2024" },
        { u"c", t, u"6/9/2024 1:05:07 PM", u"09.06.2024 13:05:07" },
        { u"c", dateOnly, u"6/9/2024", u"09.06.2024" },
        { u"", dateOnly, u"6/9/2024", u"09.06.2024" },
        { u"t", t, u"1:05 PM", u"13:05" },
        { u"tt", t, u"1:05:07 PM", u"13:05:07" },
        { u"'d m' d \"y\"", t, u"d m 9 y", u"d m 9 y" },
        { u"z zzz s ss n", t, u"8 008 7 07 5", u"8 008 7 07 5" },
        { u"yyyy yy", EncodeDate(5, 1, 2), u"0005 05", u"0005 05" },
        { u"x q", t, u"x q", u"x q" },
        { u"e gg", t, u"2024 A.D.", u"2024 A.D." },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.format));
        EXPECT_EQ(FormatDateTime(c.format, c.value, Dot), c.dot);
        EXPECT_EQ(FormatDateTime(c.format, c.value, Comma), c.comma);
    }
    EXPECT_EQ(DateToStr(t, Comma), u"09.06.2024");
    EXPECT_EQ(TimeToStr(t, Dot), u"1:05:07 PM");
    EXPECT_EQ(DateTimeToStr(t, Comma), u"09.06.2024 13:05:07");

    // Settings that name each other must not recurse without end.
    TFormatSettings loop = Dot;
    loop.ShortDateFormat = u"ddddd c";
    EXPECT_NO_THROW(FormatDateTime(u"c", t, loop));
}

TEST(FormatDateTime, ValuesWithoutACalendarDateAreRefused)
{
    // The first and last moments of the calendar still format.
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd", EncodeDate(1, 1, 1), Dot), u"0001-01-01");
    EXPECT_EQ(FormatDateTime(u"yyyy-mm-dd hh:nn", EncodeDateTime(9999, 12, 31, 23, 59, 0, 0), Dot), u"9999-12-31 23:59");
    const double outside[] = { NaN, std::numeric_limits<double>::infinity(), -693594.0, 2958466.0, 1e300, -1e300 };
    for (double v : outside) {
        SCOPED_TRACE(v);
        EXPECT_THROW(FormatDateTime(u"yyyy-mm-dd", v, Dot), EConvertError);
        EXPECT_THROW(DateTimeToStr(v, Dot), EConvertError);
    }
}

TEST(Parsing, Integers)
{
    struct Case {
        const char16_t* text;
        bool valid32;
        Integer value32;
        bool valid64;
        Int64 value64;
    };
    const Case cases[] = {
        { u"123", true, 123, true, 123 },
        { u"  42", true, 42, true, 42 },
        { u"+7", true, 7, true, 7 },
        { u"-2147483648", true, INT32_MIN, true, INT32_MIN },
        { u"2147483648", false, 0, true, 2147483648LL },
        { u"$FF", true, 255, true, 255 },
        { u"0x1f", true, 31, true, 31 },
        { u"x10", true, 16, true, 16 },
        { u"-$10", true, -16, true, -16 },
        { u"$FFFFFFFF", true, -1, true, 0xFFFFFFFFLL },
        { u"$100000000", false, 0, true, 0x100000000LL },
        { u"9223372036854775807", false, 0, true, INT64_MAX },
        { u"9223372036854775808", false, 0, false, 0 },
        { u"-9223372036854775808", false, 0, true, INT64_MIN },
        { u"$FFFFFFFFFFFFFFFF", false, 0, true, -1 },
        { u"12 ", false, 0, false, 0 },
        { u"", false, 0, false, 0 },
        { u"-", false, 0, false, 0 },
        { u"$", false, 0, false, 0 },
        { u"0x", false, 0, false, 0 },
        { u"1e3", false, 0, false, 0 },
        { u"1.0", false, 0, false, 0 },
        { u"$1G", false, 0, false, 0 },
        { u"99999999999999999999999", false, 0, false, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.text));
        Integer v32 = 77;
        EXPECT_EQ(TryStrToInt(c.text, v32), c.valid32);
        Int64 v64 = 77;
        EXPECT_EQ(TryStrToInt64(c.text, v64), c.valid64);
        if (c.valid32) {
            EXPECT_EQ(v32, c.value32);
            EXPECT_EQ(StrToInt(c.text), c.value32);
        } else {
            EXPECT_EQ(v32, 77);
            EXPECT_EQ(StrToIntDef(c.text, -9), -9);
            EXPECT_EQ(ErrorOf([&] { StrToInt(c.text); }), u"'" + String(c.text) + u"' is not a valid integer value");
        }
        if (c.valid64)
            EXPECT_EQ(v64, c.value64);
        else
            EXPECT_THROW(StrToInt64(c.text), EConvertError);
    }
}

TEST(Parsing, FloatsFollowTheDecimalSeparator)
{
    struct Case {
        const char16_t* text;
        const TFormatSettings* fs;
        bool valid;
        double value;
    };
    const Case cases[] = {
        { u"1.5", &Dot, true, 1.5 },
        { u"1.5", &Comma, false, 0 },
        { u"1,5", &Comma, true, 1.5 },
        { u"1,5", &Dot, false, 0 },
        { u" -2.5e3 ", &Dot, true, -2500 },
        { u"-2,5E-3", &Comma, true, -0.0025 },
        { u".5", &Dot, true, 0.5 },
        { u"5.", &Dot, true, 5 },
        { u"1,000.5", &Dot, false, 0 },     // no thousand separators
        { u"1.000,5", &Comma, false, 0 },
        { u"e5", &Dot, false, 0 },
        { u"1e", &Dot, false, 0 },
        { u".", &Dot, false, 0 },
        { u"", &Dot, false, 0 },
        { u"0x10", &Dot, false, 0 },
        { u"infinity", &Dot, false, 0 },
        { u"1e400", &Dot, false, 0 },
        { u"1e-400", &Dot, true, 0 },
        { u"-INF", &Comma, true, -Inf },
        { u"1.5x", &Dot, false, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.text));
        double v = 42;
        EXPECT_EQ(TryStrToFloat(c.text, v, *c.fs), c.valid);
        if (c.valid)
            EXPECT_EQ(v, c.value);
        else
            EXPECT_EQ(ErrorOf([&] { StrToFloat(c.text, *c.fs); }), u"'" + String(c.text) + u"' is not a valid floating point value");
    }
    double v = 0;
    EXPECT_TRUE(TryStrToFloat(u"nan", v, Dot));
    EXPECT_TRUE(std::isnan(v));
}

TEST(Parsing, FloatTextRoundTrips)
{
    const double values[] = { 0.1, -1234.5678, 1e-7, 123456789012345.0, 6.02214076e23, 1.0 / 3 };
    for (const TFormatSettings* fs : { &Dot, &Comma }) {
        for (double v : values) {
            SCOPED_TRACE(v);
            const double back = StrToFloat(FloatToStr(v, *fs), *fs);
            EXPECT_NEAR(back, v, std::fabs(v) * 1e-14);
        }
    }
}

TEST(Parsing, DatesInBothOrders)
{
    TFormatSettings ymd = Dot;
    ymd.ShortDateFormat = u"yyyy-mm-dd";
    ymd.DateSeparator = u'-';
    TFormatSettings spaced = Comma;
    spaced.DateSeparator = u' ';
    const int thisYear = YearOf(Date());
    struct Case {
        const char16_t* text;
        const TFormatSettings* fs;
        bool valid;
        int y, m, d;
    };
    const Case cases[] = {
        { u"6/9/2024", &Dot, true, 2024, 6, 9 },
        { u" 6 / 9 / 2024 ", &Dot, true, 2024, 6, 9 },
        { u"09.06.2024", &Comma, true, 2024, 6, 9 },
        { u"9.6.2024", &Comma, true, 2024, 6, 9 },
        { u"2024-06-09", &ymd, true, 2024, 6, 9 },
        { u"9 6  2024", &spaced, true, 2024, 6, 9 },
        { u"9 6 2024 1", &spaced, false, 0, 0, 0 },
        { u"6/9", &Dot, true, thisYear, 6, 9 },
        { u"9.6", &Comma, true, thisYear, 6, 9 },
        { u"29.02.2023", &Comma, false, 0, 0, 0 },
        { u"13/1/2024", &Dot, false, 0, 0, 0 },
        { u"6-9-2024", &Dot, false, 0, 0, 0 },
        { u"6/9/2024/1", &Dot, false, 0, 0, 0 },
        { u"12345/1/1", &Dot, false, 0, 0, 0 },
        { u"6/9/2024x", &Dot, false, 0, 0, 0 },
        { u"", &Dot, false, 0, 0, 0 },
        { u"6/", &Dot, false, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.text));
        TDateTime v = -5;
        EXPECT_EQ(TryStrToDate(c.text, v, *c.fs), c.valid);
        if (c.valid) {
            EXPECT_EQ(v, EncodeDate(Word(c.y), Word(c.m), Word(c.d)));
        } else {
            EXPECT_EQ(v, -5);
            EXPECT_EQ(ErrorOf([&] { StrToDate(c.text, *c.fs); }), u"'" + String(c.text) + u"' is not a valid date");
        }
    }
}

TEST(Parsing, TwoDigitYearsUseTheCenturyWindow)
{
    const int thisYear = YearOf(Date());
    struct Case {
        int yearsFromNow;   // of the year the two digits should mean
        Word window;
    };
    // With a window of 50, two digits mean a year from 50 years ago to 49 ahead;
    // with 0 they stay in the current century.
    const Case cases[] = { { 10, 50 }, { -50, 50 }, { 49, 50 }, { -30, 50 } };
    for (const auto& c : cases) {
        const int year = thisYear + c.yearsFromNow;
        SCOPED_TRACE(year);
        TFormatSettings fs = Comma;
        fs.TwoDigitYearCenturyWindow = c.window;
        const String text = u"1.2." + String(1, Char(u'0' + year % 100 / 10)) + Char(u'0' + year % 10);
        EXPECT_EQ(YearOf(StrToDate(text, fs)), year);
    }
    TFormatSettings fs = Comma;
    fs.TwoDigitYearCenturyWindow = 0;
    EXPECT_EQ(YearOf(StrToDate(u"1.2.07", fs)), thisYear / 100 * 100 + 7);
    // Four digits are taken as written, even a small year.
    EXPECT_EQ(YearOf(StrToDate(u"1.2.0024", Comma)), 24);
}

TEST(Parsing, Times)
{
    struct Case {
        const char16_t* text;
        const TFormatSettings* fs;
        bool valid;
        Word h, n, s, z;
    };
    const Case cases[] = {
        { u"13:05", &Dot, true, 13, 5, 0, 0 },
        { u"13:05:07", &Comma, true, 13, 5, 7, 0 },
        { u"1:05 PM", &Dot, true, 13, 5, 0, 0 },
        { u"1:05 pm", &Comma, true, 13, 5, 0, 0 },
        { u"PM 1:05", &Dot, true, 13, 5, 0, 0 },
        { u"12:00 AM", &Dot, true, 0, 0, 0, 0 },
        { u"12:30 PM", &Dot, true, 12, 30, 0, 0 },
        { u"13:05:07.25", &Dot, true, 13, 5, 7, 250 },
        { u"13:05:07,25", &Comma, true, 13, 5, 7, 250 },
        { u"13:05:07.025", &Dot, true, 13, 5, 7, 25 },
        { u"13:05:07.0251", &Dot, false, 0, 0, 0, 0 },
        { u"13:05 PM", &Dot, false, 0, 0, 0, 0 },
        { u"0:05 AM", &Dot, false, 0, 0, 0, 0 },
        { u"24:00", &Dot, false, 0, 0, 0, 0 },
        { u"1:60", &Dot, false, 0, 0, 0, 0 },
        { u"13", &Dot, false, 0, 0, 0, 0 },
        { u"13:", &Dot, false, 0, 0, 0, 0 },
        { u"13:05:", &Dot, false, 0, 0, 0, 0 },
        { u"13:05 xyz", &Dot, false, 0, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.text));
        TDateTime v = -5;
        EXPECT_EQ(TryStrToTime(c.text, v, *c.fs), c.valid);
        if (c.valid)
            EXPECT_NEAR(v, EncodeTime(c.h, c.n, c.s, c.z), 1e-12);
        else
            EXPECT_EQ(ErrorOf([&] { StrToTime(c.text, *c.fs); }), u"'" + String(c.text) + u"' is not a valid time");
    }
}

TEST(Parsing, DateTimesRoundTrip)
{
    const TDateTime t = EncodeDateTime(2024, 6, 9, 13, 5, 7, 0);
    for (const TFormatSettings* fs : { &Dot, &Comma }) {
        EXPECT_NEAR(StrToDateTime(DateTimeToStr(t, *fs), *fs), t, 1e-9);
        EXPECT_EQ(StrToDateTime(DateToStr(t, *fs), *fs), EncodeDate(2024, 6, 9));
    }
    EXPECT_NEAR(StrToDateTime(u"13:05", Dot), EncodeTime(13, 5, 0, 0), 1e-12);
    EXPECT_NEAR(StrToDateTime(u"29.12.1899 06:00", Comma), -1.25, 1e-9);
    EXPECT_EQ(ErrorOf([] { StrToDateTime(u"6/9/2024 junk", Dot); }), u"'6/9/2024 junk' is not a valid date and time");
}

TEST(Parsing, BooleansAndIntegerText)
{
    struct Case {
        const char16_t* text;
        bool valid, value;
    };
    const Case cases[] = {
        { u"true", true, true }, { u"FALSE", true, false }, { u" True ", true, true }, { u"0", true, false },
        { u"-1", true, true }, { u"2.5", true, true }, { u"yes", false, false }, { u"", false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.text));
        bool v = false;
        EXPECT_EQ(TryStrToBool(c.text, v), c.valid);
        if (c.valid)
            EXPECT_EQ(v, c.value);
        else
            EXPECT_EQ(ErrorOf([&] { StrToBool(c.text); }), u"'" + String(c.text) + u"' is not a valid Boolean value");
    }
    EXPECT_EQ(BoolToStr(true), u"-1");
    EXPECT_EQ(BoolToStr(false), u"0");
    EXPECT_EQ(BoolToStr(true, true), u"True");
    EXPECT_EQ(IntToStr(-5), u"-5");
    EXPECT_EQ(IntToStr(INT64_MIN), u"-9223372036854775808");
    EXPECT_EQ(IntToHex(255, 4), u"00FF");
    EXPECT_EQ(IntToHex(-1, 2), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(Int64(-1), 1), u"FFFFFFFFFFFFFFFF");
    EXPECT_EQ(IntToHex(Int64(0), 0), u"0");
    EXPECT_EQ(IntToHex(SmallInt(-1), 4), u"FFFFFFFF");
    EXPECT_EQ(IntToHex(Byte(10), 2), u"0A");
    EXPECT_EQ(IntToHex(DWORD(0xFF8040), 6), u"FF8040");
    EXPECT_EQ(IntToHex(UInt64(1) << 63, 1), u"8000000000000000");
}

TEST(FormatSettingsTest, LocalesAndTheProcessWideSettings)
{
    const TFormatSettings de = TFormatSettings::Create("de_DE.UTF-8");
    EXPECT_EQ(de.DecimalSeparator, u',');
    EXPECT_EQ(de.ThousandSeparator, u'.');
    EXPECT_EQ(de.DateSeparator, u'.');
    EXPECT_EQ(de.ShortDateFormat, u"dd.MM.yyyy");
    EXPECT_EQ(de.LongMonthNames[0], u"Januar");
    EXPECT_EQ(de.LongDayNames[0], u"Sonntag");
    EXPECT_EQ(de.CurrencyString, u"\u20AC");
    EXPECT_EQ(de.CurrencyFormat, 3);
    EXPECT_EQ(de.ListSeparator, u';');
    EXPECT_EQ(FormatDateTime(u"ddddd", EncodeDate(2024, 6, 9), de), u"09.06.2024");

    const TFormatSettings us = TFormatSettings::Create("en-US");
    EXPECT_EQ(us.DecimalSeparator, u'.');
    EXPECT_EQ(us.ShortDateFormat, u"M/d/yyyy");
    EXPECT_EQ(us.ShortTimeFormat, u"h:nn AMPM");
    EXPECT_EQ(us.TimePMString, u"PM");
    EXPECT_EQ(us.CurrencyString, u"$");
    EXPECT_EQ(us.CurrencyFormat, 0);
    EXPECT_EQ(FormatDateTime(u"t", EncodeTime(13, 5, 0, 0), us), u"1:05 PM");

    const TFormatSettings c = TFormatSettings::Create("C");
    EXPECT_EQ(c.ShortDateFormat, InvariantFormatSettings().ShortDateFormat);
    EXPECT_EQ(InvariantFormatSettings().DecimalSeparator, u'.');

    // The default argument is the process-wide object itself, read at each call.
    EXPECT_EQ(&FormatSettings, &ProcessFormatSettings());
    const Char saved = FormatSettings.DecimalSeparator;
    FormatSettings.DecimalSeparator = u'#';
    const String text = FloatToStr(1.5);
    FormatSettings.DecimalSeparator = saved;
    EXPECT_EQ(text, u"1#5");
}

TEST(Text, CaseAndComparison)
{
    EXPECT_EQ(UpperCase(u"abc\u00E4"), u"ABC\u00E4");
    EXPECT_EQ(LowerCase(u"ABC\u00C4"), u"abc\u00C4");
    EXPECT_EQ(AnsiUpperCase(u"abc\u00E4"), u"ABC\u00C4");
    EXPECT_EQ(AnsiLowerCase(u"ABC\u00C4"), u"abc\u00E4");
    EXPECT_GT(CompareStr(u"a", u"B"), 0);
    EXPECT_LT(CompareText(u"a", u"B"), 0);
    EXPECT_EQ(CompareText(u"abc", u"ABC"), 0);
    EXPECT_LT(CompareText(u"ab", u"abc"), 0);
    EXPECT_TRUE(SameText(u"Abc", u"aBC"));
    EXPECT_FALSE(SameText(u"\u00E4", u"\u00C4"));      // ASCII folding only
    EXPECT_TRUE(AnsiSameText(u"\u00E4", u"\u00C4"));
    EXPECT_LT(AnsiCompareText(u"apple", u"Banana"), 0);
    EXPECT_LT(AnsiCompareStr(u"a", u"B"), 0);          // collation, not code units
}

// CompareStr steps over equal beginnings several code units at a time: the
// first difference decides wherever it falls, by code unit value (a high
// unit above a low one), and a text that ends first comes first.
TEST(Text, CompareStrFindsTheFirstDifferenceAtAnyPlace)
{
    const String Base = u"abcdefghijk";
    for (std::size_t At = 0; At < Base.size(); ++At) {
        SCOPED_TRACE(At);
        String Higher = Base, Lower = Base;
        Higher[At] = u'\xFFFF';
        Lower[At] = u'\x0001';
        EXPECT_GT(CompareStr(Higher, Base), 0);
        EXPECT_LT(CompareStr(Lower, Base), 0);
        EXPECT_GT(CompareStr(Higher, Lower), 0);
        EXPECT_LT(CompareStr(Base.substr(0, At), Base), 0);
        EXPECT_GT(CompareStr(Base, Base.substr(0, At)), 0);
    }
    EXPECT_EQ(CompareStr(Base, Base), 0);
    EXPECT_EQ(CompareStr(u"", u""), 0);
    EXPECT_LT(CompareStr(String(u"ab\0", 3), String(u"ab\0\0", 4)), 0);
}

TEST(Text, LogicalCompareOrdersDigitRunsByValue)
{
    struct Case {
        const char16_t* a;
        const char16_t* b;
        int sign;
    };
    const Case cases[] = {
        { u"file9", u"file10", -1 },
        { u"file10", u"file9", 1 },
        { u"File1", u"file1", 0 },
        { u"x007", u"x7", 0 },
        { u"a2b", u"a2c", -1 },
        { u"a10b", u"a9z", 1 },
        { u"abc", u"abc1", -1 },
        { u"1abc", u"abc", -1 },
        { u"99999999999999999999999", u"100000000000000000000000", -1 },
        { u"v1.10", u"v1.9", 1 },
        { u"", u"a", -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.a) + " vs " + U8(c.b));
        EXPECT_EQ(Sign(StrCmpLogicalW(c.a, c.b)), c.sign);
        EXPECT_EQ(Sign(StrCmpLogicalW(c.b, c.a)), -c.sign);
    }
}

TEST(Text, TrimQuoteAndReplace)
{
    EXPECT_EQ(Trim(u" \t x y \r\n"), u"x y");
    EXPECT_EQ(TrimLeft(u"  x "), u"x ");
    EXPECT_EQ(TrimRight(u"  x "), u"  x");
    EXPECT_EQ(Trim(u" \u00A0x"), u"\u00A0x");   // only blanks and control characters
    EXPECT_EQ(QuotedStr(u"it's"), u"'it''s'");
    EXPECT_EQ(AnsiQuotedStr(u"a\"b", u'"'), u"\"a\"\"b\"");

    struct Extract {
        const char16_t* text;
        const char16_t* value;
        const char16_t* rest;
    };
    const Extract extracts[] = {
        { u"'ab''c'rest", u"ab'c", u"rest" },
        { u"abc", u"", u"abc" },
        { u"'unterminated", u"unterminated", u"" },
        { u"''", u"", u"" },
    };
    for (const auto& e : extracts) {
        SCOPED_TRACE(U8(e.text));
        StringView src = e.text;
        EXPECT_EQ(AnsiExtractQuotedStr(src, u'\''), e.value);
        EXPECT_EQ(src, e.rest);
    }
    struct Dequote {
        const char16_t* text;
        const char16_t* value;
    };
    const Dequote dequotes[] = {
        { u"'abc'", u"abc" }, { u"abc", u"abc" }, { u"'abc", u"'abc" }, { u"''", u"" }, { u"'ab'c", u"ab" },
        { u"'it''s'", u"it's" }, { u"", u"" }, { u"'", u"'" },
    };
    for (const auto& d : dequotes) {
        SCOPED_TRACE(U8(d.text));
        EXPECT_EQ(AnsiDequotedStr(d.text, u'\''), d.value);
    }

    struct Replace {
        const char16_t* s;
        const char16_t* from;
        const char16_t* to;
        TReplaceFlags flags;
        const char16_t* expected;
    };
    const Replace replaces[] = {
        { u"aaa", u"a", u"b", 0, u"baa" },
        { u"aaa", u"a", u"b", rfReplaceAll, u"bbb" },
        { u"aaaa", u"aa", u"a", rfReplaceAll, u"aa" },
        { u"Hello hello", u"HELLO", u"x", rfReplaceAll | rfIgnoreCase, u"x x" },
        { u"Hello hello", u"HELLO", u"x", rfReplaceAll, u"Hello hello" },
        { u"\u00C4rger \u00E4rger", u"\u00E4", u"a", rfReplaceAll | rfIgnoreCase, u"arger arger" },
        { u"abc", u"", u"x", rfReplaceAll, u"abc" },
        { u"a.b.c", u".", u"", rfReplaceAll, u"abc" },
    };
    for (const auto& r : replaces) {
        SCOPED_TRACE(U8(r.s));
        EXPECT_EQ(StringReplace(r.s, r.from, r.to, r.flags), r.expected);
    }
}

TEST(Text, PositionsAreOneBased)
{
    struct Case {
        const char16_t* sub;
        const char16_t* s;
        int offset, expected;
    };
    const Case cases[] = {
        { u"b", u"abcb", 1, 2 }, { u"b", u"abcb", 3, 4 }, { u"b", u"abcb", 5, 0 }, { u"", u"abc", 1, 0 },
        { u"b", u"abc", 0, 0 }, { u"cb", u"abcb", 1, 3 }, { u"x", u"abc", 1, 0 }, { u"a", u"", 1, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << U8(c.sub) << " in " << U8(c.s) << " from " << c.offset);
        EXPECT_EQ(PosEx(c.sub, c.s, c.offset), c.expected);
        EXPECT_EQ(Pos(c.sub, c.s, c.offset), c.expected);
    }
    EXPECT_EQ(StringOfChar(u'x', 3), u"xxx");
    EXPECT_EQ(StringOfChar(u'x', -1), u"");
}

TEST(Text, WrapText)
{
    struct Case {
        const char16_t* line;
        int maxCol;
        const char16_t* expected;
    };
    const Case cases[] = {
        { u"The quick brown fox jumps over", 10, u"The quick \r\nbrown fox \r\njumps over" },
        { u"say 'hello there friend' ok", 8, u"say \r\n'hello there friend' \r\nok" },
        { u"ab\r\ncd ef gh", 5, u"ab\r\ncd ef \r\ngh" },
        { u"abcdefghijkl", 5, u"abcdefghijkl" },
        { u"aaaa b", 4, u"aaaa \r\nb" },              // a one-character last line still gets its break
        { u"well-known words", 6, u"well-\r\nknown \r\nwords" },
        { u"a   b", 2, u"a   \r\nb" },
        { u"short", 45, u"short" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(U8(c.line));
        EXPECT_EQ(WrapText(c.line, c.maxCol), c.expected);
    }
    EXPECT_EQ(WrapText(u"aa bb cc", u"|", u" ", 3), u"aa |bb |cc");
}

TEST(Text, AdjustLineBreaks)
{
    EXPECT_EQ(AdjustLineBreaks(u"a\rb\nc\r\nd\n\re"), u"a\r\nb\r\nc\r\nd\r\n\r\ne");
    EXPECT_EQ(AdjustLineBreaks(u"a\rb\nc\r\nd\n\re", tlbsLF), u"a\nb\nc\nd\n\ne");
    EXPECT_EQ(AdjustLineBreaks(u"\r"), u"\r\n");
}
