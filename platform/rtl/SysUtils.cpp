#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <vector>

#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/smpdtfmt.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtilsInternal.h"

// ============================================================================
// Currency
// ============================================================================

Currency::Currency(double v)
    : Value(RoundHalfEven(v * 10000.0))
{
}

// ============================================================================
// Format settings
// ============================================================================

namespace {

String FromIcu(const icu::UnicodeString& u)
{
    return String(u.getBuffer(), std::size_t(u.length()));
}

bool IsSpaceLike(Char c) { return c == u' ' || c == 0x00A0 || c == 0x202F; }

std::string UserLocaleName()
{
    for (const char* var : { "LC_ALL", "LC_TIME", "LANG" }) {
        const char* v = std::getenv(var);
        if (v && *v)
            return v;
    }
    return "C";
}

std::string NormaliseLocaleName(std::string name)
{
    const auto cut = name.find_first_of(".@");
    if (cut != std::string::npos)
        name.erase(cut);
    std::replace(name.begin(), name.end(), '-', '_');
    return name;
}

// Turns an ICU date or time pattern into the picture language of
// FormatDateTime. Years are always shown with four digits; fields that
// picture language has no letter for (era, time zone, week) are dropped.
String ConvertIcuPattern(const String& p)
{
    String out;
    std::size_t i = 0;
    while (i < p.size()) {
        const Char c = p[i];
        if (c == u'\'') {
            if (i + 1 < p.size() && p[i + 1] == u'\'') {
                out += u"\"'\"";
                i += 2;
                continue;
            }
            std::size_t j = i + 1;
            String lit;
            while (j < p.size()) {
                if (p[j] == u'\'') {
                    if (j + 1 < p.size() && p[j + 1] == u'\'') {
                        lit += u'\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                lit += p[j++];
            }
            if (!lit.empty())
                out += u"\"" + lit + u"\"";
            i = j + 1;
            continue;
        }
        if (!IsAsciiLetter(c)) {
            if (c == u'"')
                out += u"'\"'";
            else
                out += IsSpaceLike(c) ? u' ' : c;
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (i + n < p.size() && p[i + n] == c)
            ++n;
        i += n;
        switch (c) {
        case u'y': case u'Y': case u'u': case u'U': case u'r':
            out += u"yyyy";
            break;
        case u'M': case u'L':
            out += String(std::min<std::size_t>(n, 4), u'M');
            break;
        case u'd':
            out += n >= 2 ? u"dd" : u"d";
            break;
        case u'E': case u'e': case u'c':
            if (c == u'E' || n >= 3)
                out += n >= 4 ? u"dddd" : u"ddd";
            break;
        case u'h': case u'H': case u'k': case u'K':
            out += n >= 2 ? u"hh" : u"h";
            break;
        case u'm':
            out += n >= 2 ? u"nn" : u"n";
            break;
        case u's':
            out += n >= 2 ? u"ss" : u"s";
            break;
        case u'S':
            out += n >= 3 ? u"zzz" : u"z";
            break;
        case u'a': case u'b': case u'B':
            out += u"AMPM";
            break;
        default:
            break;
        }
    }
    // Dropped fields may leave doubled or dangling blanks.
    String tidy;
    for (Char c : out) {
        if (c == u' ' && (tidy.empty() || tidy.back() == u' '))
            continue;
        tidy += c;
    }
    while (!tidy.empty() && tidy.back() == u' ')
        tidy.pop_back();
    return tidy;
}

// The first separator character of a converted date or time picture.
Char FirstSeparator(const String& picture, Char fallback)
{
    bool quoted = false;
    for (Char c : picture) {
        if (c == u'"' || c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !IsAsciiLetter(c) && c != u' ')
            return c;
    }
    return fallback;
}

String IcuPattern(icu::DateFormat* format)
{
    std::unique_ptr<icu::DateFormat> owner(format);
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format);
    if (!simple)
        return {};
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return FromIcu(pattern);
}

void ReadCurrencyLayout(const icu::Locale& loc, TFormatSettings& fs)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> nf(icu::NumberFormat::createCurrencyInstance(loc, status));
    if (U_FAILURE(status) || !nf)
        return;
    fs.CurrencyDecimals = Byte(EnsureRange(nf->getMinimumFractionDigits(), 0, 18));
    auto* df = dynamic_cast<icu::DecimalFormat*>(nf.get());
    if (!df)
        return;
    icu::UnicodeString up;
    df->toPattern(up);
    String pattern = FromIcu(up);
    pattern = pattern.substr(0, pattern.find(u';'));
    const auto sign = pattern.find(u'\u00A4');
    const auto digit = pattern.find_first_of(u"#0");
    if (sign == String::npos || digit == String::npos)
        return;
    const bool prefix = sign < digit;
    bool spaced = false;
    if (prefix) {
        const auto after = sign + 1;
        spaced = after < pattern.size() && IsSpaceLike(pattern[after]);
    } else {
        spaced = sign > 0 && IsSpaceLike(pattern[sign - 1]);
    }
    fs.CurrencyFormat = Byte(prefix ? (spaced ? 2 : 0) : (spaced ? 3 : 1));
    static constexpr Byte negativeFor[4] = { 1, 5, 9, 8 };   // -$1, -1$, -$ 1, -1 $
    fs.NegCurrFormat = negativeFor[fs.CurrencyFormat];
}

} // namespace

TFormatSettings TFormatSettings::Invariant() { return TFormatSettings {}; }

TFormatSettings TFormatSettings::Create(const std::string& localeName)
{
    const std::string name = NormaliseLocaleName(localeName.empty() ? UserLocaleName() : localeName);
    TFormatSettings fs;
    if (name.empty() || name == "C" || name == "POSIX")
        return fs;
    const icu::Locale loc(name.c_str());
    if (loc.isBogus())
        return fs;

    UErrorCode status = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols(loc, status);
    if (U_SUCCESS(status)) {
        const String dec = FromIcu(symbols.getSymbol(icu::DecimalFormatSymbols::kDecimalSeparatorSymbol));
        const String group = FromIcu(symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol));
        if (!dec.empty())
            fs.DecimalSeparator = dec[0];
        if (!group.empty())
            fs.ThousandSeparator = group[0];
        fs.CurrencyString = FromIcu(symbols.getSymbol(icu::DecimalFormatSymbols::kCurrencySymbol));
    }
    fs.ListSeparator = fs.DecimalSeparator == u',' ? u';' : u',';
    ReadCurrencyLayout(loc, fs);

    status = U_ZERO_ERROR;
    const icu::DateFormatSymbols names(loc, status);
    if (U_SUCCESS(status)) {
        int32_t count = 0;
        const icu::UnicodeString* m = names.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
        for (int i = 0; i < 12 && i < count; ++i)
            fs.LongMonthNames[i] = FromIcu(m[i]);
        m = names.getMonths(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::ABBREVIATED);
        for (int i = 0; i < 12 && i < count; ++i)
            fs.ShortMonthNames[i] = FromIcu(m[i]);
        // ICU's weekday arrays start at index 1 with Sunday.
        const icu::UnicodeString* d = names.getWeekdays(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::WIDE);
        for (int i = 0; i < 7 && i + 1 < count; ++i)
            fs.LongDayNames[i] = FromIcu(d[i + 1]);
        d = names.getWeekdays(count, icu::DateFormatSymbols::FORMAT, icu::DateFormatSymbols::ABBREVIATED);
        for (int i = 0; i < 7 && i + 1 < count; ++i)
            fs.ShortDayNames[i] = FromIcu(d[i + 1]);
        const icu::UnicodeString* ampm = names.getAmPmStrings(count);
        if (count >= 2) {
            fs.TimeAMString = FromIcu(ampm[0]);
            fs.TimePMString = FromIcu(ampm[1]);
        }
    }

    const String shortDate = ConvertIcuPattern(IcuPattern(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, loc)));
    const String longDate = ConvertIcuPattern(IcuPattern(icu::DateFormat::createDateInstance(icu::DateFormat::kFull, loc)));
    const String shortTime = ConvertIcuPattern(IcuPattern(icu::DateFormat::createTimeInstance(icu::DateFormat::kShort, loc)));
    const String longTime = ConvertIcuPattern(IcuPattern(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, loc)));
    if (!shortDate.empty()) {
        fs.ShortDateFormat = shortDate;
        fs.DateSeparator = FirstSeparator(shortDate, u'/');
    }
    if (!longDate.empty())
        fs.LongDateFormat = longDate;
    if (!shortTime.empty()) {
        fs.ShortTimeFormat = shortTime;
        fs.TimeSeparator = FirstSeparator(shortTime, u':');
    }
    if (!longTime.empty())
        fs.LongTimeFormat = longTime;
    return fs;
}

TFormatSettings& ProcessFormatSettings()
{
    static TFormatSettings settings = TFormatSettings::Create();
    return settings;
}

TFormatSettings& FormatSettings = ProcessFormatSettings();

const TFormatSettings& InvariantFormatSettings()
{
    static const TFormatSettings settings = TFormatSettings::Invariant();
    return settings;
}

// ============================================================================
// Format
// ============================================================================

namespace {

String HexText(std::uint64_t v, int minDigits)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    String s;
    do {
        s.insert(s.begin(), Char(hex[v & 15]));
        v >>= 4;
    } while (v);
    if (int(s.size()) < minDigits)
        s.insert(0, std::size_t(minDigits) - s.size(), u'0');
    return s;
}

std::uint64_t Magnitude(Int64 v) { return v < 0 ? std::uint64_t(0) - std::uint64_t(v) : std::uint64_t(v); }

// Widths and precisions beyond this are taken as a broken format rather
// than a request for a huge allocation.
constexpr int MaxFieldSize = 1 << 20;

class Formatter {
public:
    Formatter(StringView format, std::span<const TVarRec> args, const TFormatSettings& fs)
        : m_format(format), m_args(args), m_fs(fs)
    {
    }

    String Run()
    {
        String out;
        while (m_pos < m_format.size()) {
            const Char c = m_format[m_pos++];
            if (c != u'%') {
                out += c;
                continue;
            }
            if (AtEnd())
                Invalid();
            if (m_format[m_pos] == u'%') {
                out += u'%';
                ++m_pos;
                continue;
            }
            out += Specifier();
        }
        return out;
    }

private:
    bool AtEnd() const { return m_pos >= m_format.size(); }

    [[noreturn]] void Invalid() const
    {
        throw EConvertError(u"Format '" + String(m_format) + u"' invalid or incompatible with argument");
    }

    const TVarRec& NextArg()
    {
        if (m_argIndex < 0 || m_argIndex >= int(m_args.size()))
            throw EConvertError(u"No argument for format '" + String(m_format) + u"'");
        return m_args[std::size_t(m_argIndex++)];
    }

    // Digits or "*" (an integer argument). False when neither is there.
    bool ReadNumber(int& value)
    {
        if (AtEnd())
            return false;
        if (m_format[m_pos] == u'*') {
            ++m_pos;
            const TVarRec& a = NextArg();
            if (a.VType != TVarRec::vtInteger)
                Invalid();
            if (a.VInt64 > MaxFieldSize || a.VInt64 < -MaxFieldSize)
                Invalid();
            value = int(a.VInt64);
            return true;
        }
        if (!IsDigit(m_format[m_pos]))
            return false;
        Int64 v = 0;
        while (!AtEnd() && IsDigit(m_format[m_pos])) {
            v = v * 10 + (m_format[m_pos++] - u'0');
            if (v > MaxFieldSize)
                Invalid();
        }
        value = int(v);
        return true;
    }

    String Specifier()
    {
        int number = 0;
        bool haveNumber = ReadNumber(number);
        if (haveNumber && !AtEnd() && m_format[m_pos] == u':') {
            ++m_pos;
            m_argIndex = number;
            haveNumber = false;
        }
        bool left = false;
        int width = 0;
        if (haveNumber) {
            width = number;
        } else {
            if (!AtEnd() && m_format[m_pos] == u'-') {
                left = true;
                ++m_pos;
            }
            if (ReadNumber(number))
                width = number;
        }
        // A negative width from "*" justifies to the left.
        if (width < 0) {
            left = true;
            width = -width;
        }
        int precision = -1;
        if (!AtEnd() && m_format[m_pos] == u'.') {
            ++m_pos;
            if (!ReadNumber(precision))
                precision = 0;
            if (precision < 0)
                precision = -1;
        }
        if (AtEnd())
            Invalid();
        const Char type = AsciiUpper(m_format[m_pos++]);
        if (type == 0 || type > 0x7F || !std::strchr("DUEFGNMPSX", char(type)))
            Invalid();
        const TVarRec& arg = NextArg();
        String text = Convert(type, arg, precision);
        if (width > int(text.size())) {
            const String pad(std::size_t(width) - text.size(), u' ');
            text = left ? text + pad : pad + text;
        }
        return text;
    }

    String Convert(Char type, const TVarRec& arg, int precision)
    {
        const bool isInt = arg.VType == TVarRec::vtInteger || arg.VType == TVarRec::vtInt64;
        const bool isFloat = arg.VType == TVarRec::vtExtended || arg.VType == TVarRec::vtCurrency;
        switch (type) {
        case u'D': {
            if (!isInt)
                Invalid();
            String digits = PaddedNumber(Magnitude(arg.VInt64), precision);
            return arg.VInt64 < 0 ? u"-" + digits : digits;
        }
        case u'U': {
            if (!isInt)
                Invalid();
            const std::uint64_t v = arg.VType == TVarRec::vtInteger ? std::uint64_t(std::uint32_t(arg.VInt64)) : std::uint64_t(arg.VInt64);
            return PaddedNumber(v, precision);
        }
        case u'X': {
            if (!isInt)
                Invalid();
            const std::uint64_t v = arg.VType == TVarRec::vtInteger ? std::uint64_t(std::uint32_t(arg.VInt64)) : std::uint64_t(arg.VInt64);
            return HexText(v, precision);
        }
        case u'P':
            if (arg.VType != TVarRec::vtPointer)
                Invalid();
            return HexText(std::uint64_t(reinterpret_cast<std::uintptr_t>(arg.VPointer)), int(sizeof(void*) * 2));
        case u'S':
            if (arg.VType == TVarRec::vtString) {
                const StringView s = arg.VString;
                return String(precision >= 0 && std::size_t(precision) < s.size() ? s.substr(0, std::size_t(precision)) : s);
            }
            if (arg.VType == TVarRec::vtChar)
                return precision == 0 ? String() : String(1, Char(arg.VInt64));
            Invalid();
        default:
            break;
        }
        if (!isFloat)
            Invalid();
        const Decimal exact = arg.VType == TVarRec::vtCurrency ? ToDecimal(Currency::FromScaled(arg.VInt64)) : Decimal {};
        auto value = [&](int significant) {
            return arg.VType == TVarRec::vtCurrency ? exact : ToDecimal(arg.VExtended, significant);
        };
        switch (type) {
        case u'E': {
            const int p = precision < 0 ? 15 : EnsureRange(precision, 1, 17);
            return FloatToText(value(p), ffExponent, p, 3, m_fs);
        }
        case u'G': {
            const int p = precision < 0 ? 15 : EnsureRange(precision, 1, 17);
            return FloatToText(value(p), ffGeneral, p, 3, m_fs);
        }
        case u'F':
            return FloatToText(value(15), ffFixed, 18, precision < 0 ? 2 : precision, m_fs);
        case u'N':
            return FloatToText(value(15), ffNumber, 18, precision < 0 ? 2 : precision, m_fs);
        case u'M':
            return FloatToText(value(15), ffCurrency, 18, precision < 0 ? m_fs.CurrencyDecimals : precision, m_fs);
        default:
            Invalid();
        }
    }

    StringView m_format;
    std::span<const TVarRec> m_args;
    const TFormatSettings& m_fs;
    std::size_t m_pos { 0 };
    int m_argIndex { 0 };
};

} // namespace

String Format(StringView format, std::initializer_list<TVarRec> args, const TFormatSettings& fs)
{
    return Format(format, std::span<const TVarRec>(args.begin(), args.size()), fs);
}

String Format(StringView format, std::span<const TVarRec> args, const TFormatSettings& fs)
{
    return Formatter(format, args, fs).Run();
}

// ============================================================================
// Parsing
// ============================================================================

namespace {

// Decimal or hexadecimal ("$", "x", "0x") integer with an optional sign and
// leading blanks. Hexadecimal may use the full unsigned width (so "$FFFFFFFF"
// is -1 as a 32-bit value).
bool ParseInteger(StringView s, int bits, Int64& out)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == u' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && (s[i] == u'$' || s[i] == u'x' || s[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;
    const std::uint64_t unsignedMax = bits == 64 ? ~std::uint64_t(0) : 0xFFFFFFFFull;
    const std::uint64_t positiveMax = unsignedMax >> 1;
    const std::uint64_t limit = hex ? unsignedMax : positiveMax + (negative ? 1 : 0);
    const std::uint64_t base = hex ? 16 : 10;
    std::uint64_t v = 0;
    for (; i < s.size(); ++i) {
        const Char c = s[i];
        std::uint64_t digit;
        if (IsDigit(c))
            digit = c - u'0';
        else if (hex && AsciiUpper(c) >= u'A' && AsciiUpper(c) <= u'F')
            digit = AsciiUpper(c) - u'A' + 10;
        else
            return false;
        if (v > (limit - digit) / base)
            return false;
        v = v * base + digit;
    }
    if (hex && bits == 32)
        v = std::uint64_t(Int64(std::int32_t(std::uint32_t(v))));   // sign-extend the 32-bit pattern
    out = negative ? Int64(std::uint64_t(0) - v) : Int64(v);
    if (bits == 32)
        out = std::int32_t(std::uint32_t(std::uint64_t(out)));
    return true;
}

[[noreturn]] void RaiseInvalidInteger(StringView s)
{
    throw EConvertError(Quoted(s) + u" is not a valid integer value");
}


StringView TrimBlanks(StringView s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}


bool ParseFloat(StringView text, double& out, const TFormatSettings& fs)
{
    const StringView s = TrimBlanks(text);
    if (EqualsNoCase(s, u"NAN")) {
        out = std::nan("");
        return true;
    }
    if (EqualsNoCase(s, u"INF") || EqualsNoCase(s, u"+INF")) {
        out = HUGE_VAL;
        return true;
    }
    if (EqualsNoCase(s, u"-INF")) {
        out = -HUGE_VAL;
        return true;
    }
    // Rebuild the number in the C library's own syntax, accepting nothing
    // that strtod would read more liberally (hex floats, "infinity", ...).
    std::string ascii;
    std::size_t i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
        ascii += char(s[i++]);
    int mantissaDigits = 0;
    while (i < s.size() && IsDigit(s[i])) {
        ascii += char(s[i++]);
        ++mantissaDigits;
    }
    if (i < s.size() && s[i] == fs.DecimalSeparator) {
        ascii += '.';
        ++i;
        while (i < s.size() && IsDigit(s[i])) {
            ascii += char(s[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            ascii += char(s[i++]);
        int expDigits = 0;
        while (i < s.size() && IsDigit(s[i])) {
            ascii += char(s[i++]);
            ++expDigits;
        }
        if (expDigits == 0)
            return false;
    }
    if (i != s.size())
        return false;
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", locale_t(0));
    errno = 0;
    char* end = nullptr;
    const double v = strtod_l(ascii.c_str(), &end, cLocale);
    if (end != ascii.c_str() + ascii.size())
        return false;
    if (errno == ERANGE && std::isinf(v))
        return false;
    out = v;
    return true;
}

} // namespace

namespace sysutils_detail {

bool IsAsciiLetter(Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }

String Quoted(StringView s) { return u"'" + String(s) + u"'"; }

bool IsBlank(Char c) { return c == u' ' || c == u'\t'; }

bool EqualsNoCase(StringView a, StringView b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (CharUpper(a[i]) != CharUpper(b[i]))
            return false;
    }
    return true;
}

} // namespace sysutils_detail

bool TryStrToInt(StringView s, Integer& value)
{
    Int64 v = 0;
    if (!ParseInteger(s, 32, v))
        return false;
    value = Integer(v);
    return true;
}

bool TryStrToInt64(StringView s, Int64& value) { return ParseInteger(s, 64, value); }

Integer StrToInt(StringView s)
{
    Integer v = 0;
    if (!TryStrToInt(s, v))
        RaiseInvalidInteger(s);
    return v;
}

Int64 StrToInt64(StringView s)
{
    Int64 v = 0;
    if (!TryStrToInt64(s, v))
        RaiseInvalidInteger(s);
    return v;
}

Integer StrToIntDef(StringView s, Integer def)
{
    Integer v = 0;
    return TryStrToInt(s, v) ? v : def;
}

Int64 StrToInt64Def(StringView s, Int64 def)
{
    Int64 v = 0;
    return TryStrToInt64(s, v) ? v : def;
}

bool TryStrToFloat(StringView s, double& value, const TFormatSettings& fs) { return ParseFloat(s, value, fs); }

double StrToFloat(StringView s, const TFormatSettings& fs)
{
    double v = 0;
    if (!ParseFloat(s, v, fs))
        throw EConvertError(Quoted(s) + u" is not a valid floating point value");
    return v;
}

bool TryStrToBool(StringView s, bool& value)
{
    const StringView t = TrimBlanks(s);
    if (EqualsNoCase(t, u"True")) {
        value = true;
        return true;
    }
    if (EqualsNoCase(t, u"False")) {
        value = false;
        return true;
    }
    double number = 0;
    if (ParseFloat(t, number, InvariantFormatSettings()) && !std::isnan(number)) {
        value = number != 0;
        return true;
    }
    return false;
}

bool StrToBool(StringView s)
{
    bool v = false;
    if (!TryStrToBool(s, v))
        throw EConvertError(Quoted(s) + u" is not a valid Boolean value");
    return v;
}

String BoolToStr(bool value, bool useBoolStrs)
{
    if (useBoolStrs)
        return value ? u"True" : u"False";
    return value ? u"-1" : u"0";
}

String IntToStr(Int64 value)
{
    const String digits = PaddedNumber(Magnitude(value), 1);
    return value < 0 ? u"-" + digits : digits;
}

String HexOfBits(UInt64 bits, int digits) { return HexText(bits, EnsureRange(digits, 0, 64)); }

// ============================================================================
// Text
// ============================================================================

String UpperCase(StringView s)
{
    String out(s);
    for (Char& c : out)
        c = AsciiUpper(c);
    return out;
}

String LowerCase(StringView s)
{
    String out(s);
    for (Char& c : out)
        c = AsciiLower(c);
    return out;
}

String AnsiUpperCase(StringView s) { return StrUpper(s); }
String AnsiLowerCase(StringView s) { return StrLower(s); }

int CompareStr(StringView a, StringView b)
{
    const std::size_t n = std::min(a.size(), b.size());
    std::size_t i = 0;
    // Four code units at a time over the common beginning, which the texts
    // of one column (a sort's keys) often share.
    for (; i + 4 <= n; i += 4) {
        std::uint64_t x = 0, y = 0;
        std::memcpy(&x, a.data() + i, sizeof x);
        std::memcpy(&y, b.data() + i, sizeof y);
        if (x != y)
            break;
    }
    for (; i < n; ++i) {
        if (a[i] != b[i])
            return int(a[i]) - int(b[i]);
    }
    return int(a.size() > b.size()) - int(a.size() < b.size());
}

int CompareText(StringView a, StringView b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const Char x = AsciiUpper(a[i]), y = AsciiUpper(b[i]);
        if (x != y)
            return int(x) - int(y);
    }
    return int(a.size() > b.size()) - int(a.size() < b.size());
}

bool SameText(StringView a, StringView b) { return a.size() == b.size() && CompareText(a, b) == 0; }

int AnsiCompareStr(StringView a, StringView b) { return CompareStringLocale(a, b, false); }
int AnsiCompareText(StringView a, StringView b) { return CompareStringLocale(a, b, true); }
bool AnsiSameText(StringView a, StringView b) { return CompareStringLocale(a, b, true) == 0; }

int StrCmpLogicalW(StringView a, StringView b)
{
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            std::size_t ie = i, je = j;
            while (ie < a.size() && IsDigit(a[ie]))
                ++ie;
            while (je < b.size() && IsDigit(b[je]))
                ++je;
            // Compare by value: drop leading zeros, then the longer run is larger.
            std::size_t ia = i, jb = j;
            while (ia + 1 < ie && a[ia] == u'0')
                ++ia;
            while (jb + 1 < je && b[jb] == u'0')
                ++jb;
            const std::size_t la = ie - ia, lb = je - jb;
            if (la != lb)
                return la < lb ? -1 : 1;
            const int c = a.substr(ia, la).compare(b.substr(jb, lb));
            if (c != 0)
                return c < 0 ? -1 : 1;
            i = ie;
            j = je;
            continue;
        }
        std::size_t ie = i, je = j;
        while (ie < a.size() && !IsDigit(a[ie]))
            ++ie;
        while (je < b.size() && !IsDigit(b[je]))
            ++je;
        if (ie == i || je == j) {
            // A digit run against text: digits come first.
            return ie == i ? -1 : 1;
        }
        const int c = CompareStringLocale(a.substr(i, ie - i), b.substr(j, je - j), true);
        if (c != 0)
            return c < 0 ? -1 : 1;
        i = ie;
        j = je;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return 0;
}

String Trim(StringView s) { return TrimRight(TrimLeft(s)); }

String TrimLeft(StringView s)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] <= u' ')
        ++i;
    return String(s.substr(i));
}

String TrimRight(StringView s)
{
    std::size_t n = s.size();
    while (n > 0 && s[n - 1] <= u' ')
        --n;
    return String(s.substr(0, n));
}

String QuotedStr(StringView s) { return AnsiQuotedStr(s, u'\''); }

String AnsiQuotedStr(StringView s, Char quote)
{
    String out(1, quote);
    for (Char c : s) {
        out += c;
        if (c == quote)
            out += quote;
    }
    out += quote;
    return out;
}

String AnsiExtractQuotedStr(StringView& src, Char quote)
{
    if (src.empty() || src[0] != quote)
        return {};
    String out;
    std::size_t i = 1;
    while (i < src.size()) {
        if (src[i] == quote) {
            if (i + 1 < src.size() && src[i + 1] == quote) {
                out += quote;
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        out += src[i++];
    }
    src.remove_prefix(i);
    return out;
}

String AnsiDequotedStr(StringView s, Char quote)
{
    StringView rest = s;
    String result = AnsiExtractQuotedStr(rest, quote);
    const bool wellQuoted = !s.empty() && s.front() == quote && s.size() >= 2 && s.back() == quote;
    if ((result.empty() || rest.empty()) && !wellQuoted)
        return String(s);
    return result;
}

String StringReplace(StringView s, StringView oldPattern, StringView newPattern, TReplaceFlags flags)
{
    if (oldPattern.empty())
        return String(s);
    const bool ignoreCase = flags & rfIgnoreCase;
    // Case mapping keeps one unit per unit, so offsets found in the folded
    // copy are offsets in the original.
    const String haystack = ignoreCase ? StrUpper(s) : String();
    const String needle = ignoreCase ? StrUpper(oldPattern) : String();
    const StringView hs = ignoreCase ? StringView(haystack) : s;
    const StringView nd = ignoreCase ? StringView(needle) : oldPattern;
    String out;
    std::size_t from = 0;
    while (true) {
        const std::size_t at = hs.find(nd, from);
        if (at == StringView::npos)
            break;
        out += s.substr(from, at - from);
        out += newPattern;
        from = at + nd.size();
        if (!(flags & rfReplaceAll))
            break;
    }
    out += s.substr(from);
    return out;
}

int PosEx(StringView sub, StringView s, int offset)
{
    if (sub.empty() || offset < 1 || std::size_t(offset) > s.size())
        return 0;
    const std::size_t at = s.find(sub, std::size_t(offset - 1));
    return at == StringView::npos ? 0 : int(at) + 1;
}

int Pos(StringView sub, StringView s, int offset) { return PosEx(sub, s, offset); }

String StringOfChar(Char c, int count) { return count > 0 ? String(std::size_t(count), c) : String(); }

String WrapText(StringView line, StringView breakStr, StringView breakChars, int maxCol)
{
    if (breakStr.empty())
        return String(line);
    auto isBreakChar = [&](Char c) { return breakChars.find(c) != StringView::npos; };
    auto isQuote = [](Char c) { return c == u'\'' || c == u'"'; };
    String out;
    std::size_t pos = 0, lineStart = 0;
    std::size_t breakAt = 0;
    bool haveBreak = false;
    int col = 0;
    Char quote = 0;
    while (pos < line.size()) {
        const Char c = line[pos];
        bool existingBreak = false;
        if (!quote && line.substr(pos, breakStr.size()) == breakStr) {
            existingBreak = true;
            pos += breakStr.size() - 1;
            breakAt = pos;
            haveBreak = true;
        } else if (!quote && isBreakChar(c)) {
            breakAt = pos;
            haveBreak = true;
        } else if (isQuote(c)) {
            if (c == quote)
                quote = 0;
            else if (!quote)
                quote = c;
        }
        ++pos;
        ++col;
        if (quote)
            continue;
        if (existingBreak || (col > maxCol && haveBreak && breakAt > lineStart)) {
            std::size_t next = breakAt + 1;
            if (!existingBreak) {
                // A run of break characters stays with the line it ends,
                // so the new line starts with text.
                while (next < line.size() && isBreakChar(line[next]))
                    ++next;
            }
            out += line.substr(lineStart, next - lineStart);
            if (!existingBreak && next < line.size())
                out += breakStr;
            lineStart = next;
            pos = std::max(pos, next);
            col = int(pos - lineStart);
            haveBreak = false;
        }
    }
    if (lineStart < line.size())
        out += line.substr(lineStart);
    return out;
}

String WrapText(StringView line, int maxCol) { return WrapText(line, u"\r\n", u" -\t", maxCol); }

String AdjustLineBreaks(StringView s, TTextLineBreakStyle style)
{
    const StringView lineBreak = style == tlbsCRLF ? StringView(u"\r\n") : StringView(u"\n");
    String out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const Char c = s[i];
        if (c == u'\r') {
            if (i + 1 < s.size() && s[i + 1] == u'\n')
                ++i;
            out += lineBreak;
        } else if (c == u'\n') {
            out += lineBreak;
        } else {
            out += c;
        }
    }
    return out;
}

BOOL GetVersionEx(OSVERSIONINFO& info)
{
    info.dwMajorVersion = 10;
    info.dwMinorVersion = 0;
    info.dwBuildNumber = 19045;
    info.dwPlatformId = VER_PLATFORM_WIN32_NT;
    return 1;
}

