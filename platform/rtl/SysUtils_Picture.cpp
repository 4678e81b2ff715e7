#include "platform/rtl/SysUtils.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtilsInternal.h"

// ============================================================================
// Picture formats (FormatFloat, FormatCurr)
// ============================================================================

namespace {

std::vector<StringView> SplitSections(StringView format)
{
    std::vector<StringView> sections;
    std::size_t start = 0;
    Char quote = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const Char c = format[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u';' && sections.size() < 2) {
            sections.push_back(format.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(format.substr(start));
    return sections;
}

bool IsExponentAt(StringView s, std::size_t i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

struct PictureLayout {
    int intCount { 0 };
    int firstIntZero { -1 };
    int decCount { 0 };
    int lastDecZero { -1 };
    bool thousands { false };
    bool scientific { false };
};

PictureLayout AnalysePicture(StringView sec)
{
    PictureLayout l;
    bool afterPoint = false;
    for (std::size_t i = 0; i < sec.size(); ++i) {
        const Char c = sec[i];
        if (c == u'"' || c == u'\'') {
            const auto close = sec.find(c, i + 1);
            i = close == StringView::npos ? sec.size() : close;
        } else if (IsExponentAt(sec, i)) {
            l.scientific = true;
            break;   // the mantissa ends at the exponent
        } else if (c == u'0' || c == u'#') {
            if (!afterPoint) {
                if (c == u'0' && l.firstIntZero < 0)
                    l.firstIntZero = l.intCount;
                ++l.intCount;
            } else {
                if (c == u'0')
                    l.lastDecZero = l.decCount;
                ++l.decCount;
            }
        } else if (c == u'.') {
            afterPoint = true;
        } else if (c == u',' && !afterPoint) {
            l.thousands = true;
        }
    }
    return l;
}

struct PictureResult {
    String text;
    bool roundedToZero { false };
};

PictureResult RenderPicture(StringView sec, Decimal d, bool prefixMinus, const TFormatSettings& fs)
{
    const PictureLayout l = AnalysePicture(sec);
    const bool wasZero = d.IsZero();
    String intPart, frac;
    int exponent10 = 0;
    if (l.scientific) {
        const int intDigits = std::max(1, l.intCount);
        if (!d.IsZero())
            RoundDigits(d, intDigits + l.decCount);
        if (!d.IsZero())
            exponent10 = d.exponent - intDigits;
        Decimal shifted = d;
        shifted.exponent = d.IsZero() ? 0 : intDigits;
        SplitFixed(shifted, l.decCount, intPart, frac);
    } else {
        RoundDecimals(d, l.decCount);
        SplitFixed(d, l.decCount, intPart, frac);
    }
    const int minDec = l.lastDecZero + 1;
    while (int(frac.size()) > minDec && frac.back() == u'0')
        frac.pop_back();
    const int minInt = l.firstIntZero < 0 ? 0 : l.intCount - l.firstIntZero;
    if (int(intPart.size()) < minInt)
        intPart.insert(0, std::size_t(minInt) - intPart.size(), u'0');

    PictureResult r;
    r.roundedToZero = !wasZero && d.IsZero();
    String& out = r.text;
    if (prefixMinus && !d.IsZero())
        out += u'-';
    const int L = int(intPart.size());
    auto emitInt = [&](int k) {
        out += intPart[std::size_t(k)];
        const int rest = L - 1 - k;
        if (l.thousands && rest > 0 && rest % 3 == 0)
            out += fs.ThousandSeparator;
    };
    auto emitAllInt = [&] {
        for (int k = 0; k < L; ++k)
            emitInt(k);
    };
    int intIdx = 0, decIdx = 0;
    bool afterPoint = false, intDone = false, expDone = false;
    for (std::size_t i = 0; i < sec.size(); ++i) {
        const Char c = sec[i];
        if (c == u'"' || c == u'\'') {
            auto close = sec.find(c, i + 1);
            if (close == StringView::npos)
                close = sec.size();
            out += sec.substr(i + 1, close - i - 1);
            i = close;
            continue;
        }
        if (expDone && (c == u'0' || c == u'#'))
            continue;
        if (!expDone && IsExponentAt(sec, i)) {
            if (!intDone && l.intCount == 0) {
                emitAllInt();
                intDone = true;
            }
            out += c;
            if (exponent10 < 0)
                out += u'-';
            else if (sec[i + 1] == u'+')
                out += u'+';
            i += 2;
            int zeros = 0;
            while (i < sec.size() && sec[i] == u'0') {
                ++zeros;
                ++i;
            }
            --i;
            out += PaddedNumber(std::uint64_t(std::abs(exponent10)), std::min(zeros, 4));
            expDone = true;
            continue;
        }
        if (c == u'0' || c == u'#') {
            if (!afterPoint) {
                const int j = L - l.intCount + intIdx;
                if (intIdx == 0) {
                    for (int k = 0; k <= j; ++k)
                        emitInt(k);
                } else if (j >= 0) {
                    emitInt(j);
                }
                ++intIdx;
                intDone = intIdx == l.intCount;
            } else {
                if (decIdx < int(frac.size()))
                    out += frac[std::size_t(decIdx)];
                ++decIdx;
            }
            continue;
        }
        if (c == u'.' && !afterPoint) {
            if (!intDone && l.intCount == 0) {
                emitAllInt();
                intDone = true;
            }
            afterPoint = true;
            if (!frac.empty())
                out += fs.DecimalSeparator;
            continue;
        }
        if (c == u',' || c == u'.')
            continue;
        out += c;
    }
    return r;
}

String FormatDecimalPicture(StringView format, const Decimal& value, const TFormatSettings& fs)
{
    if (value.kind != Decimal::Finite)
        return SpecialText(value);
    const std::vector<StringView> sections = SplitSections(format);
    if (sections[0].empty() && sections.size() == 1)
        return GeneralText(value, 15, 0, fs);
    if (value.exponent > 18)
        return GeneralText(value, 15, 0, fs);
    const bool hasNegative = sections.size() > 1 && !sections[1].empty();
    const bool hasZero = sections.size() > 2 && !sections[2].empty();
    if (value.IsZero() && hasZero)
        return RenderPicture(sections[2], value, false, fs).text;
    std::size_t index = 0;
    bool prefixMinus = false;
    if (value.negative) {
        if (hasNegative)
            index = 1;
        else
            prefixMinus = true;
    }
    PictureResult r = RenderPicture(sections[index], value, prefixMinus, fs);
    if (r.roundedToZero && hasZero)
        return RenderPicture(sections[2], Decimal {}, false, fs).text;
    return r.text;
}

} // namespace

String FormatFloat(StringView format, double value, const TFormatSettings& fs)
{
    return FormatDecimalPicture(format, ToDecimal(value, 15), fs);
}


String FormatCurr(StringView format, Currency value, const TFormatSettings& fs)
{
    return FormatDecimalPicture(format, ToDecimal(value), fs);
}

