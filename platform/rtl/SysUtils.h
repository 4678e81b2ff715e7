#pragma once
// Formatting and conversion of numbers, money and dates, parsing, and the
// everyday text routines. Every routine that depends on separators or names
// takes a TFormatSettings; the default is the process-wide one.

#include <array>
#include <compare>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

// Money: a 64-bit integer count of ten-thousandths, so sums stay exact.
struct Currency {
    Int64 Value { 0 };

    constexpr Currency() = default;
    // Rounds half to even to four decimals; out-of-range values saturate.
    explicit Currency(double v);
    static constexpr Currency FromScaled(Int64 scaled)
    {
        Currency c;
        c.Value = scaled;
        return c;
    }
    double ToDouble() const { return double(Value) / 10000.0; }
    constexpr auto operator<=>(const Currency&) const = default;
    constexpr Currency operator+(Currency o) const { return FromScaled(Value + o.Value); }
    constexpr Currency operator-(Currency o) const { return FromScaled(Value - o.Value); }
    constexpr Currency operator-() const { return FromScaled(-Value); }
};

struct TFormatSettings {
    String CurrencyString { u"\u00A4" };
    // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $".
    Byte CurrencyFormat { 0 };
    // 0 "($1)" .. 15 "(1 $)", the window system's sixteen negative patterns.
    Byte NegCurrFormat { 0 };
    Byte CurrencyDecimals { 2 };
    Char DateSeparator { u'/' };
    Char TimeSeparator { u':' };
    Char ListSeparator { u',' };
    String ShortDateFormat { u"MM/dd/yyyy" };
    String LongDateFormat { u"dddd, dd MMMMM yyyy" };
    String TimeAMString { u"AM" };
    String TimePMString { u"PM" };
    String ShortTimeFormat { u"HH:mm" };
    String LongTimeFormat { u"HH:mm:ss" };
    // Index 0 is January; day names start with Sunday at index 0.
    std::array<String, 12> ShortMonthNames { u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec" };
    std::array<String, 12> LongMonthNames { u"January", u"February", u"March", u"April", u"May", u"June", u"July", u"August",
        u"September", u"October", u"November", u"December" };
    std::array<String, 7> ShortDayNames { u"Sun", u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat" };
    std::array<String, 7> LongDayNames { u"Sunday", u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday" };
    Char ThousandSeparator { u',' };
    Char DecimalSeparator { u'.' };
    // Two-digit years land within this many years before the current year
    // (and the rest of the century after it); 0 means the current century.
    Word TwoDigitYearCenturyWindow { 50 };

    // The culture-independent settings (the defaults above).
    static TFormatSettings Invariant();
    // Settings of a locale ("de_DE", "en-US", "fr_FR.UTF-8"); an empty name
    // means the user's locale from LC_ALL / LC_TIME / LANG. "C" and "POSIX"
    // give the invariant settings.
    static TFormatSettings Create(const std::string& localeName = {});
};

// The process-wide settings, made from the user's locale at first use.
// Code that may run during static initialisation calls ProcessFormatSettings().
TFormatSettings& ProcessFormatSettings();
extern TFormatSettings& FormatSettings;
const TFormatSettings& InvariantFormatSettings();

// ---- Format ----

// One argument of Format. A string argument is viewed, except a temporary
// String, which the record keeps a copy of, so argument lists may also be
// built up in a std::vector.
struct TVarRec {
    enum Kind : Byte { vtInteger, vtInt64, vtExtended, vtString, vtPointer, vtChar, vtBoolean, vtCurrency };

    Kind VType { vtInteger };
    Int64 VInt64 { 0 };       // vtInteger, vtInt64, vtChar, vtBoolean, vtCurrency (scaled)
    double VExtended { 0 };
    const void* VPointer { nullptr };
    StringView VString;

    template <std::integral T>
        requires(!std::same_as<T, bool> && !std::same_as<T, char16_t> && !std::same_as<T, char>)
    TVarRec(T v)
    {
        // The kind follows the type, as %x and %u show negative values in
        // the argument's own width; unsigned 32-bit values above the signed
        // range travel as 64-bit.
        if constexpr (std::is_signed_v<T>) {
            VInt64 = Int64(v);
            VType = sizeof(T) <= 4 ? vtInteger : vtInt64;
        } else {
            VInt64 = Int64(std::uint64_t(v));
            VType = (sizeof(T) <= 4 && std::uint64_t(v) <= std::uint64_t(INT32_MAX)) ? vtInteger : vtInt64;
        }
    }
    TVarRec(double v) : VType(vtExtended), VExtended(v) { }
    TVarRec(float v) : VType(vtExtended), VExtended(v) { }
    TVarRec(bool v) : VType(vtBoolean), VInt64(v ? 1 : 0) { }
    TVarRec(Char c) : VType(vtChar), VInt64(c) { }
    TVarRec(char c) : VType(vtChar), VInt64(static_cast<unsigned char>(c)) { }
    TVarRec(const String& s) : VType(vtString), VString(s) { }
    TVarRec(String&& s) : VType(vtString), m_owned(std::move(s)), m_owns(true) { VString = m_owned; }
    TVarRec(StringView s) : VType(vtString), VString(s) { }
    TVarRec(const Char* s) : VType(vtString), VString(s ? StringView(s) : StringView()) { }
    TVarRec(Char* s) : TVarRec(static_cast<const Char*>(s)) { }
    TVarRec(const void* p) : VType(vtPointer), VPointer(p) { }
    // Byte strings must be converted first (S("...") or Utf8ToString).
    TVarRec(const char*) = delete;
    TVarRec(std::nullptr_t) : VType(vtPointer) { }
    TVarRec(Currency c) : VType(vtCurrency), VInt64(c.Value) { }

    TVarRec(const TVarRec& o) { *this = o; }
    TVarRec& operator=(const TVarRec& o)
    {
        if (this != &o) {
            VType = o.VType;
            VInt64 = o.VInt64;
            VExtended = o.VExtended;
            VPointer = o.VPointer;
            m_owns = o.m_owns;
            m_owned = o.m_owned;
            VString = m_owns ? StringView(m_owned) : o.VString;
        }
        return *this;
    }

private:
    String m_owned;
    bool m_owns { false };
};

// "%" [index ":"] ["-"] [width] ["." precision] type, with type one of
// d u e f g n m p s x (either case) and "*" taking width, precision or index
// from the arguments. A format that does not fit its arguments raises
// EConvertError.
String Format(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& fs = ProcessFormatSettings());
String Format(StringView format, std::span<const TVarRec> args, const TFormatSettings& fs = ProcessFormatSettings());

// ---- Floating point and money to text ----

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// Shortest text with 15 significant digits ("1.5", "1E20", "NAN", "INF").
String FloatToStr(double value, const TFormatSettings& fs = ProcessFormatSettings());
// Precision: significant digits; Digits: exponent digits (ffGeneral,
// ffExponent) or decimals (ffFixed, ffNumber, ffCurrency).
String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs = ProcessFormatSettings());
// Picture format: up to three sections "positive;negative;zero" made of
// 0 # . , E+ E- e+ e- and literals ("..." or '...' or any other character).
String FormatFloat(StringView format, double value, const TFormatSettings& fs = ProcessFormatSettings());
String CurrToStr(Currency value, const TFormatSettings& fs = ProcessFormatSettings());
String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs = ProcessFormatSettings());
String FormatCurr(StringView format, Currency value, const TFormatSettings& fs = ProcessFormatSettings());

// ---- Dates and times to text ----

String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& fs = ProcessFormatSettings());
String DateToStr(TDateTime value, const TFormatSettings& fs = ProcessFormatSettings());
String TimeToStr(TDateTime value, const TFormatSettings& fs = ProcessFormatSettings());
String DateTimeToStr(TDateTime value, const TFormatSettings& fs = ProcessFormatSettings());

// ---- Parsing ----

// Decimal, or hexadecimal with "$", "0x" or "x"; leading blanks allowed.
// Raises EConvertError "'x' is not a valid integer value".
Integer StrToInt(StringView s);
Int64 StrToInt64(StringView s);
bool TryStrToInt(StringView s, Integer& value);
bool TryStrToInt64(StringView s, Int64& value);
Integer StrToIntDef(StringView s, Integer def);
Int64 StrToInt64Def(StringView s, Int64 def);

// Decimal separator of the settings, optional exponent; "INF" and "NAN" read
// back what FloatToStr writes. Raises EConvertError "'x' is not a valid
// floating point value".
double StrToFloat(StringView s, const TFormatSettings& fs = ProcessFormatSettings());
bool TryStrToFloat(StringView s, double& value, const TFormatSettings& fs = ProcessFormatSettings());

// Dates in the field order of ShortDateFormat with DateSeparator; a missing
// year is the current one, two-digit years go through the century window.
// Times "h:n[:s[.zzz]]" with TimeSeparator and an optional AM/PM marker.
TDateTime StrToDate(StringView s, const TFormatSettings& fs = ProcessFormatSettings());
bool TryStrToDate(StringView s, TDateTime& value, const TFormatSettings& fs = ProcessFormatSettings());
TDateTime StrToTime(StringView s, const TFormatSettings& fs = ProcessFormatSettings());
bool TryStrToTime(StringView s, TDateTime& value, const TFormatSettings& fs = ProcessFormatSettings());
TDateTime StrToDateTime(StringView s, const TFormatSettings& fs = ProcessFormatSettings());
bool TryStrToDateTime(StringView s, TDateTime& value, const TFormatSettings& fs = ProcessFormatSettings());

// "True"/"False" in any case, or a number (zero is false).
bool StrToBool(StringView s);
bool TryStrToBool(StringView s, bool& value);
// "-1"/"0", or "True"/"False" with useBoolStrs.
String BoolToStr(bool value, bool useBoolStrs = false);

String IntToStr(Int64 value);
// Upper-case hexadecimal of a bit pattern, at least `digits` digits long.
String HexOfBits(UInt64 bits, int digits);
// Negative values show their two's complement: 32 bits for types up to 32
// bits wide (as they are promoted to Integer), 64 bits for wider ones.
template <std::integral T>
String IntToHex(T value, int digits)
{
    if constexpr (sizeof(T) <= 4) {
        if constexpr (std::is_signed_v<T>)
            return HexOfBits(std::uint32_t(std::int32_t(value)), digits);
        else
            return HexOfBits(std::uint32_t(value), digits);
    } else {
        return HexOfBits(std::uint64_t(value), digits);
    }
}

// ---- Text ----

String UpperCase(StringView s);      // ASCII letters only
String LowerCase(StringView s);
String AnsiUpperCase(StringView s);  // every letter
String AnsiLowerCase(StringView s);
// Ordinal comparisons: <0, 0, >0. CompareText folds ASCII letters only.
int CompareStr(StringView a, StringView b);
int CompareText(StringView a, StringView b);
bool SameText(StringView a, StringView b);
// Comparisons through the locale's collation.
int AnsiCompareStr(StringView a, StringView b);
int AnsiCompareText(StringView a, StringView b);
bool AnsiSameText(StringView a, StringView b);
// Digit runs compare by their value ("file9" < "file10"), the rest through
// the locale's case-insensitive collation.
int StrCmpLogicalW(StringView a, StringView b);

// Remove spaces and control characters (<= U+0020) from the ends.
String Trim(StringView s);
String TrimLeft(StringView s);
String TrimRight(StringView s);

String QuotedStr(StringView s);
String AnsiQuotedStr(StringView s, Char quote);
// Reads a quoted string at the start of `src` (doubled quotes stand for one)
// and advances `src` past it; returns "" and leaves `src` alone when it does
// not start with the quote.
String AnsiExtractQuotedStr(StringView& src, Char quote);
// The unquoted text when `s` is a quoted string, otherwise `s` unchanged.
String AnsiDequotedStr(StringView s, Char quote);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;
String StringReplace(StringView s, StringView oldPattern, StringView newPattern, TReplaceFlags flags = 0);

// 1-based position of `sub` in `s` at or after `offset`; 0 when absent.
int Pos(StringView sub, StringView s, int offset = 1);
int PosEx(StringView sub, StringView s, int offset = 1);
String StringOfChar(Char c, int count);

// Breaks `line` at `breakChars` so that lines stay within maxCol where
// possible; never inside quotes; existing `breakStr` line breaks are kept.
String WrapText(StringView line, StringView breakStr, StringView breakChars, int maxCol);
String WrapText(StringView line, int maxCol = 45);

enum TTextLineBreakStyle { tlbsLF, tlbsCRLF };
// Every CR, LF and CR LF becomes the style's line break.
String AdjustLineBreaks(StringView s, TTextLineBreakStyle style = tlbsCRLF);

// ---- platform version ----

inline constexpr DWORD VER_PLATFORM_WIN32_NT = 2;

struct OSVERSIONINFO {
    DWORD dwMajorVersion { 0 };
    DWORD dwMinorVersion { 0 };
    DWORD dwBuildNumber { 0 };
    DWORD dwPlatformId { 0 };
};

// The window-system generation this layer stands in for. It offers what
// the newest desktop generation (10.0) offers, and reports that version
// truthfully, so no second query is needed to learn the real one.
BOOL GetVersionEx(OSVERSIONINFO& info);
