#pragma once

// Helpers shared by the files that implement SysUtils.h (SysUtils*.cpp).
// Not part of the runtime library's API.

#include <cstdint>
#include <string>

#include "platform/rtl/SysUtils.h"

namespace sysutils_detail {

// value = 0.d1 d2 d3 ... * 10^exponent; `digits` has no leading or trailing
// zeros and is empty for zero.
struct Decimal {
    enum Kind { Finite, NotANumber, PlusInfinity, MinusInfinity };
    Kind kind { Finite };
    bool negative { false };
    std::string digits;
    int exponent { 0 };

    bool IsZero() const { return kind == Finite && digits.empty(); }
};

Decimal ToDecimal(double v, int precision);
Decimal ToDecimal(Currency c);
void RoundDigits(Decimal& d, int keep);
void RoundDecimals(Decimal& d, int decimals);
void SplitFixed(const Decimal& d, int decimals, String& intPart, String& fracPart);
String SpecialText(const Decimal& d);
String GeneralText(const Decimal& d, int precision, int expDigits, const TFormatSettings& fs);
String FloatToText(Decimal d, TFloatFormat format, int precision, int digits, const TFormatSettings& fs);
String PaddedNumber(std::uint64_t v, int minDigits);

bool IsAsciiLetter(Char c);
bool IsDigit(Char c);
String Quoted(StringView s);
bool IsBlank(Char c);
bool EqualsNoCase(StringView a, StringView b);

} // namespace sysutils_detail

using namespace sysutils_detail;
