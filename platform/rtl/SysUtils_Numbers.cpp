#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <iterator>
#include <memory>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtilsInternal.h"

// ============================================================================
// Decimal digits of a number
// ============================================================================

namespace sysutils_detail {

void StripTrailingZeros(Decimal& d)
{
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    if (d.digits.empty())
        d.exponent = 0;
}

// Keeps the first `keep` digits, rounding half away from zero on the next.
void RoundDigits(Decimal& d, int keep)
{
    if (d.kind != Decimal::Finite || keep >= int(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[std::size_t(keep)] >= '5';
    d.digits.resize(std::size_t(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[std::size_t(i)] == '9') {
            d.digits[std::size_t(i)] = '0';
            --i;
        }
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.exponent;
        } else {
            ++d.digits[std::size_t(i)];
        }
    }
    StripTrailingZeros(d);
}

void RoundDecimals(Decimal& d, int decimals)
{
    if (!d.IsZero())
        RoundDigits(d, d.exponent + decimals);
}

namespace {

// Reads to_chars' scientific text ("d.ddde+XX") into d: the digits without
// the point and trailing zeros, and the exponent of 0.ddd form.
void ReadScientific(Decimal& d, const char* text, const char* end)
{
    const char* e = std::find(text, end, 'e');
    d.digits.clear();
    for (const char* p = text; p < e; ++p) {
        if (*p != '.')
            d.digits += *p;
    }
    int exponent = 0;
    std::from_chars(e + 1 + (e[1] == '+'), end, exponent);
    d.exponent = exponent + 1;
    StripTrailingZeros(d);
}

} // namespace

// The value with `precision` significant digits. Rounding looks at the
// exact binary value's decimal expansion, so a tie (0.125 to two places)
// goes away from zero, as a person rounding the printed digits would.
Decimal ToDecimal(double v, int precision)
{
    Decimal d;
    if (std::isnan(v)) {
        d.kind = Decimal::NotANumber;
        return d;
    }
    if (std::isinf(v)) {
        d.kind = v > 0 ? Decimal::PlusInfinity : Decimal::MinusInfinity;
        return d;
    }
    if (v == 0)
        return d;
    d.negative = v < 0;
    const double magnitude = std::fabs(v);
    char buf[80];
    if (precision >= 1 && precision <= 15) {
        // One digit more than asked for, correctly rounded from the exact
        // value. Unless that digit is a 5, the exact value lies on the same
        // side of the half-way point as these digits do, so rounding them
        // rounds the exact value. (Up to 15 digits this is also what the
        // shortest text that reads back as v gives, when it is no longer.)
        const char* end = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, precision).ptr;
        // "d.ddd…de±XX" with precision + 1 digits.
        const char* e = buf + precision + 2;
        if (e[-1] != '5') {
            char digits[16];
            digits[0] = buf[0];
            std::copy(static_cast<const char*>(buf) + 2, e - 1, digits + 1);
            int exponent = 0;
            std::from_chars(e + 1 + (e[1] == '+'), end, exponent);
            int length = precision;
            if (e[-1] > '5') {
                int i = length - 1;
                while (i >= 0 && digits[i] == '9')
                    digits[i--] = '0';
                if (i < 0) {
                    digits[0] = '1';
                    length = 1;
                    ++exponent;
                } else {
                    ++digits[i];
                }
            }
            while (length > 0 && digits[length - 1] == '0')
                --length;
            d.digits.assign(digits, std::size_t(length));
            d.exponent = exponent + 1;
            return d;
        }
    }
    // A possible tie, or more than 15 digits: 39 digits of the expansion decide.
    ReadScientific(d, buf, std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific, 39).ptr);
    RoundDigits(d, precision);
    return d;
}

Decimal ToDecimal(Currency c)
{
    Decimal d;
    const std::uint64_t magnitude = c.Value < 0 ? std::uint64_t(0) - std::uint64_t(c.Value) : std::uint64_t(c.Value);
    if (magnitude == 0)
        return d;
    d.negative = c.Value < 0;
    d.digits = std::to_string(magnitude);
    d.exponent = int(d.digits.size()) - 4;
    StripTrailingZeros(d);
    return d;
}

String Ascii(const std::string& s) { return String(s.begin(), s.end()); }

String PaddedNumber(std::uint64_t v, int minDigits)
{
    std::string s = std::to_string(v);
    if (int(s.size()) < minDigits)
        s.insert(0, std::size_t(minDigits) - s.size(), '0');
    return Ascii(s);
}

String GroupThousands(const String& intPart, Char sep)
{
    if (sep == 0 || intPart.size() <= 3)
        return intPart;
    String out;
    for (std::size_t i = 0; i < intPart.size(); ++i) {
        out += intPart[i];
        const std::size_t rest = intPart.size() - 1 - i;
        if (rest > 0 && rest % 3 == 0)
            out += sep;
    }
    return out;
}

// Integer digits and `decimals` fraction digits of a value already rounded.
void SplitFixed(const Decimal& d, int decimals, String& intPart, String& fracPart)
{
    intPart.clear();
    fracPart.clear();
    const int n = int(d.digits.size());
    for (int i = 0; i < d.exponent; ++i)
        intPart += i < n ? Char(d.digits[std::size_t(i)]) : u'0';
    for (int i = 0; i < decimals; ++i) {
        const int idx = d.exponent + i;
        fracPart += (idx >= 0 && idx < n) ? Char(d.digits[std::size_t(idx)]) : u'0';
    }
}

String SpecialText(const Decimal& d)
{
    switch (d.kind) {
    case Decimal::NotANumber: return u"NAN";
    case Decimal::PlusInfinity: return u"INF";
    case Decimal::MinusInfinity: return u"-INF";
    default: return {};
    }
}

String GeneralText(const Decimal& d, int precision, int expDigits, const TFormatSettings& fs)
{
    if (d.IsZero())
        return u"0";
    // Built in place: the longest text is a sign, "0", the separator,
    // zeros up to the exponent limit, the digits and an exponent.
    const std::string& digits = d.digits;
    Char stack[64];
    std::unique_ptr<Char[]> heap;
    const std::size_t most = digits.size() + std::size_t(std::max(precision, 0)) + std::size_t(std::max(expDigits, 0)) + 16;
    Char* const start = most <= std::size(stack) ? stack : (heap.reset(new Char[most]), heap.get());
    Char* out = start;
    auto put = [&out](std::string_view ascii) {
        for (char c : ascii)
            *out++ = Char(c);
    };
    if (d.negative)
        *out++ = u'-';
    const int n = int(digits.size());
    if (d.exponent > precision || d.exponent < -3) {
        *out++ = Char(digits[0]);
        if (n > 1) {
            *out++ = fs.DecimalSeparator;
            put(std::string_view(digits).substr(1));
        }
        const int e = d.exponent - 1;
        *out++ = u'E';
        if (e < 0)
            *out++ = u'-';
        char exponent[16];
        const char* exponentEnd = std::to_chars(exponent, exponent + sizeof exponent, std::abs(e)).ptr;
        for (int pad = expDigits - int(exponentEnd - exponent); pad > 0; --pad)
            *out++ = u'0';
        put(std::string_view(exponent, std::size_t(exponentEnd - exponent)));
    } else if (d.exponent <= 0) {
        *out++ = u'0';
        *out++ = fs.DecimalSeparator;
        out = std::fill_n(out, -d.exponent, u'0');
        put(digits);
    } else {
        // Integer digits (zeros past the last digit), then the fraction.
        for (int i = 0; i < d.exponent; ++i)
            *out++ = i < n ? Char(digits[std::size_t(i)]) : u'0';
        if (n > d.exponent) {
            *out++ = fs.DecimalSeparator;
            put(std::string_view(digits).substr(std::size_t(d.exponent)));
        }
    }
    return String(start, std::size_t(out - start));
}

String ExponentText(const Decimal& d, int precision, int expDigits, const TFormatSettings& fs)
{
    std::string digits = d.digits;
    digits.resize(std::size_t(precision), '0');
    String out = (d.negative && !d.IsZero()) ? u"-" : u"";
    out += Char(digits[0]);
    if (precision > 1)
        out += fs.DecimalSeparator + Ascii(digits.substr(1));
    const int e = d.IsZero() ? 0 : d.exponent - 1;
    out += e < 0 ? u"E-" : u"E+";
    out += PaddedNumber(std::uint64_t(std::abs(e)), expDigits);
    return out;
}

String CurrencyText(const String& number, bool negative, const TFormatSettings& fs)
{
    static constexpr const char* positive[4] = { "$1", "1$", "$ 1", "1 $" };
    static constexpr const char* negativeForms[16] = { "($1)", "-$1", "$-1", "$1-", "(1$)", "-1$", "1-$", "1$-",
        "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)" };
    const char* pattern = negative ? negativeForms[fs.NegCurrFormat % 16] : positive[fs.CurrencyFormat % 4];
    String out;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
            out += fs.CurrencyString;
        else if (*p == '1')
            out += number;
        else
            out += Char(*p);
    }
    return out;
}

// Text of a decimal in one of the five float formats. `precision` decides
// where the fixed formats give way to the general one.
String FloatToText(Decimal d, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    if (d.kind != Decimal::Finite)
        return SpecialText(d);
    switch (format) {
    case ffGeneral:
        return GeneralText(d, precision, EnsureRange(digits, 0, 4), fs);
    case ffExponent:
        return ExponentText(d, precision, EnsureRange(digits, 0, 4), fs);
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
        if (d.exponent > precision)
            return GeneralText(d, precision, 0, fs);
        digits = EnsureRange(digits, 0, 18);
        RoundDecimals(d, digits);
        String intPart, frac;
        SplitFixed(d, digits, intPart, frac);
        if (intPart.empty())
            intPart.push_back(u'0');
        if (format != ffFixed)
            intPart = GroupThousands(intPart, fs.ThousandSeparator);
        String number = intPart;
        if (digits > 0)
            number += fs.DecimalSeparator + frac;
        const bool negative = d.negative && !d.IsZero();
        if (format == ffCurrency)
            return CurrencyText(number, negative, fs);
        return negative ? u"-" + number : number;
    }
    }
    return {};
}


} // namespace sysutils_detail

String FloatToStr(double value, const TFormatSettings& fs)
{
    return FloatToStrF(value, ffGeneral, 15, 0, fs);
}

String FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& fs)
{
    precision = EnsureRange(precision, 1, 17);
    return FloatToText(ToDecimal(value, precision), format, precision, digits, fs);
}


String CurrToStr(Currency value, const TFormatSettings& fs)
{
    return CurrToStrF(value, ffGeneral, 0, fs);
}

String CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& fs)
{
    return FloatToText(ToDecimal(value), format, 19, digits, fs);
}

