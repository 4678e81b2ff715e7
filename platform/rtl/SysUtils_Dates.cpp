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
// Dates and times to text
// ============================================================================

namespace {

bool StartsWithNoCase(StringView s, std::size_t at, const char* ascii)
{
    const std::size_t n = std::strlen(ascii);
    if (at + n > s.size())
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        if (AsciiUpper(s[at + k]) != Char(std::toupper(static_cast<unsigned char>(ascii[k]))))
            return false;
    }
    return true;
}

// Whether an AM/PM marker follows in the rest of the picture (outside
// quotes), which makes hours count on a 12-hour clock.
bool TwelveHourClockAhead(StringView f, std::size_t from)
{
    Char quote = 0;
    for (std::size_t i = from; i < f.size(); ++i) {
        const Char c = f[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (StartsWithNoCase(f, i, "am/pm") || StartsWithNoCase(f, i, "a/p") || StartsWithNoCase(f, i, "ampm")) {
            return true;
        }
    }
    return false;
}

struct DateTimeParts {
    Word year { 0 }, month { 0 }, day { 0 }, hour { 0 }, min { 0 }, sec { 0 }, msec { 0 }, dow { 0 };
    bool hasTime { false };
};

class DateTimeFormatter {
public:
    DateTimeFormatter(const DateTimeParts& parts, const TFormatSettings& fs)
        : m_p(parts), m_fs(fs)
    {
    }

    void Append(String& out, StringView f, int depth)
    {
        // Guards against settings whose formats name each other in a loop.
        if (depth > 3)
            return;
        std::size_t i = 0;
        while (i < f.size()) {
            const Char c = f[i];
            const Char up = AsciiUpper(c);
            if (c == u'"' || c == u'\'') {
                auto close = f.find(c, i + 1);
                if (close == StringView::npos)
                    close = f.size();
                out += f.substr(i + 1, close - i - 1);
                i = close + 1;
                continue;
            }
            if (up == u'A') {
                i = AppendAmPm(out, f, i);
                continue;
            }
            if (!IsAsciiLetter(c)) {
                if (c == u'/') {
                    if (m_fs.DateSeparator)
                        out += m_fs.DateSeparator;
                } else if (c == u':') {
                    if (m_fs.TimeSeparator)
                        out += m_fs.TimeSeparator;
                } else {
                    out += c;
                }
                ++i;
                continue;
            }
            std::size_t count = 1;
            while (i + count < f.size() && AsciiUpper(f[i + count]) == up)
                ++count;
            if (up == u'C')
                count = 1;
            const std::size_t next = i + count;
            AppendToken(out, f, up, int(std::min<std::size_t>(count, 16)), next, depth);
            i = next;
        }
    }

private:
    std::size_t AppendAmPm(String& out, StringView f, std::size_t i)
    {
        const bool pm = m_p.hour >= 12;
        if (StartsWithNoCase(f, i, "am/pm")) {
            out += f.substr(pm ? i + 3 : i, 2);
            return i + 5;
        }
        if (StartsWithNoCase(f, i, "a/p")) {
            out += f[pm ? i + 2 : i];
            return i + 3;
        }
        if (StartsWithNoCase(f, i, "ampm")) {
            out += pm ? m_fs.TimePMString : m_fs.TimeAMString;
            return i + 4;
        }
        out += f[i];
        m_lastWasHour = false;
        return i + 1;
    }

    void AppendToken(String& out, StringView f, Char token, int count, std::size_t next, int depth)
    {
        bool isHour = false;
        switch (token) {
        case u'Y':
            out += count <= 2 ? PaddedNumber(m_p.year % 100, 2) : PaddedNumber(m_p.year, 4);
            break;
        case u'M':
            if (count <= 2 && m_lastWasHour)
                out += PaddedNumber(m_p.min, count);
            else if (count <= 2)
                out += PaddedNumber(m_p.month, count);
            else if (m_p.month >= 1)
                out += (count == 3 ? m_fs.ShortMonthNames : m_fs.LongMonthNames)[m_p.month - 1u];
            break;
        case u'D':
            if (count <= 2)
                out += PaddedNumber(m_p.day, count);
            else if (count <= 4) {
                if (m_p.dow >= 1)
                    out += (count == 3 ? m_fs.ShortDayNames : m_fs.LongDayNames)[m_p.dow - 1u];
            } else {
                Append(out, count == 5 ? m_fs.ShortDateFormat : m_fs.LongDateFormat, depth + 1);
            }
            break;
        case u'E':
            out += PaddedNumber(m_p.year, count >= 2 ? 2 : 1);
            break;
        case u'G':
            out += u"A.D.";
            break;
        case u'H': {
            Word h = m_p.hour;
            if (TwelveHourClockAhead(f, next)) {
                h = Word(h % 12);
                if (h == 0)
                    h = 12;
            }
            out += PaddedNumber(h, count >= 2 ? 2 : 1);
            isHour = true;
            break;
        }
        case u'N':
            out += PaddedNumber(m_p.min, count >= 2 ? 2 : 1);
            break;
        case u'S':
            out += PaddedNumber(m_p.sec, count >= 2 ? 2 : 1);
            break;
        case u'Z':
            out += PaddedNumber(m_p.msec, count >= 3 ? 3 : 1);
            break;
        case u'T':
            Append(out, count == 1 ? m_fs.ShortTimeFormat : m_fs.LongTimeFormat, depth + 1);
            break;
        case u'C':
            Append(out, m_fs.ShortDateFormat, depth + 1);
            if (m_p.hasTime) {
                out += u' ';
                Append(out, m_fs.LongTimeFormat, depth + 1);
            }
            break;
        default:
            out += f.substr(next - std::size_t(count), std::size_t(count));
            return;
        }
        m_lastWasHour = isHour;
    }

    const DateTimeParts& m_p;
    const TFormatSettings& m_fs;
    bool m_lastWasHour { false };
};

} // namespace

String FormatDateTime(StringView format, TDateTime value, const TFormatSettings& fs)
{
    // NaN and values outside years 1..9999 have no calendar date to show;
    // they are refused like text that is no date.
    if (DayOfWeek(value) == 0)
        throw EConvertError(u"Invalid date and time value: " + FloatToStr(value, InvariantFormatSettings()));
    DateTimeParts p;
    DecodeDateTime(value, p.year, p.month, p.day, p.hour, p.min, p.sec, p.msec);
    p.dow = DayOfWeek(value);
    p.hasTime = p.hour || p.min || p.sec || p.msec;
    String out;
    DateTimeFormatter formatter(p, fs);
    formatter.Append(out, format.empty() ? StringView(u"c") : format, 0);
    return out;
}

String DateToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(u"ddddd", value, fs); }
String TimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(u"tt", value, fs); }
String DateTimeToStr(TDateTime value, const TFormatSettings& fs) { return FormatDateTime(u"c", value, fs); }

// ============================================================================
// Parsing dates and times
// ============================================================================

namespace {

enum class DateOrder { MDY, DMY, YMD };

DateOrder GetDateOrder(StringView format)
{
    Char quote = 0;
    for (Char c : format) {
        if (quote) {
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == u'"' || c == u'\'') {
            quote = c;
            continue;
        }
        switch (AsciiUpper(c)) {
        case u'D': return DateOrder::DMY;
        case u'Y': return DateOrder::YMD;
        case u'M': return DateOrder::MDY;
        default: break;
        }
    }
    return DateOrder::MDY;
}

struct Scanner {
    StringView s;
    std::size_t pos { 0 };

    void SkipBlanks()
    {
        while (pos < s.size() && IsBlank(s[pos]))
            ++pos;
    }
    bool AtEnd() const { return pos >= s.size(); }
    // Up to four digits; a fifth digit makes the text invalid.
    bool Number(int& value, int& length)
    {
        SkipBlanks();
        value = 0;
        length = 0;
        while (pos < s.size() && IsDigit(s[pos])) {
            if (length == 4)
                return false;
            value = value * 10 + (s[pos++] - u'0');
            ++length;
        }
        return length > 0;
    }
    bool Char_(Char c)
    {
        const std::size_t before = pos;
        SkipBlanks();
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        // A blank separator has just been skipped as a blank.
        return IsBlank(c) && pos > before;
    }
    bool Text(StringView t)
    {
        SkipBlanks();
        if (t.empty() || pos + t.size() > s.size() || !EqualsNoCase(s.substr(pos, t.size()), t))
            return false;
        pos += t.size();
        return true;
    }
};

int ExpandTwoDigitYear(int year, const TFormatSettings& fs)
{
    const int currentYear = YearOf(Date());
    const int window = fs.TwoDigitYearCenturyWindow;
    const int centuryBase = currentYear - window;
    year += centuryBase / 100 * 100;
    if (window > 0 && year < centuryBase)
        year += 100;
    return year;
}

bool ScanDate(Scanner& sc, TDateTime& out, const TFormatSettings& fs)
{
    const DateOrder order = GetDateOrder(fs.ShortDateFormat);
    int n1, n2, n3, l1, l2, l3;
    if (!sc.Number(n1, l1) || !sc.Char_(fs.DateSeparator) || !sc.Number(n2, l2))
        return false;
    int y, m, d;
    int yearLength = 0;
    if (sc.Char_(fs.DateSeparator)) {
        if (!sc.Number(n3, l3))
            return false;
        switch (order) {
        case DateOrder::MDY: y = n3; yearLength = l3; m = n1; d = n2; break;
        case DateOrder::DMY: y = n3; yearLength = l3; m = n2; d = n1; break;
        case DateOrder::YMD: y = n1; yearLength = l1; m = n2; d = n3; break;
        }
        if (y <= 99 && yearLength <= 2)
            y = ExpandTwoDigitYear(y, fs);
    } else {
        y = YearOf(Date());
        if (order == DateOrder::DMY) {
            d = n1;
            m = n2;
        } else {
            m = n1;
            d = n2;
        }
    }
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > 31)
        return false;
    return TryEncodeDate(Word(y), Word(m), Word(d), out);
}

// 1 for AM, 2 for PM, 0 when no marker is there.
int ScanAmPm(Scanner& sc, const TFormatSettings& fs)
{
    if (sc.Text(fs.TimeAMString) || sc.Text(u"AM"))
        return 1;
    if (sc.Text(fs.TimePMString) || sc.Text(u"PM"))
        return 2;
    return 0;
}

bool ScanTime(Scanner& sc, TDateTime& out, const TFormatSettings& fs)
{
    int ampm = ScanAmPm(sc, fs);
    int h, n, s = 0, ms = 0, len;
    if (!sc.Number(h, len) || !sc.Char_(fs.TimeSeparator) || !sc.Number(n, len))
        return false;
    if (sc.Char_(fs.TimeSeparator)) {
        if (!sc.Number(s, len))
            return false;
        if (sc.pos < sc.s.size() && sc.s[sc.pos] == fs.DecimalSeparator) {
            ++sc.pos;
            // A fraction of a second: ".5" is 500 ms.
            int digits = 0;
            while (sc.pos < sc.s.size() && IsDigit(sc.s[sc.pos])) {
                if (digits == 3)
                    return false;
                ms = ms * 10 + (sc.s[sc.pos++] - u'0');
                ++digits;
            }
            if (digits == 0)
                return false;
            while (digits++ < 3)
                ms *= 10;
        }
    }
    if (ampm == 0)
        ampm = ScanAmPm(sc, fs);
    if (ampm != 0) {
        if (h == 0 || h > 12)
            return false;
        if (ampm == 1 && h == 12)
            h = 0;
        else if (ampm == 2 && h < 12)
            h += 12;
    }
    return TryEncodeTime(Word(h), Word(n), Word(s), Word(ms), out);
}

bool ScanFinished(Scanner& sc)
{
    sc.SkipBlanks();
    return sc.AtEnd();
}

} // namespace

bool TryStrToDate(StringView s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc { s };
    TDateTime d = 0;
    if (!ScanDate(sc, d, fs) || !ScanFinished(sc))
        return false;
    value = d;
    return true;
}

TDateTime StrToDate(StringView s, const TFormatSettings& fs)
{
    TDateTime v = 0;
    if (!TryStrToDate(s, v, fs))
        throw EConvertError(Quoted(s) + u" is not a valid date");
    return v;
}

bool TryStrToTime(StringView s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc { s };
    TDateTime t = 0;
    if (!ScanTime(sc, t, fs) || !ScanFinished(sc))
        return false;
    value = t;
    return true;
}

TDateTime StrToTime(StringView s, const TFormatSettings& fs)
{
    TDateTime v = 0;
    if (!TryStrToTime(s, v, fs))
        throw EConvertError(Quoted(s) + u" is not a valid time");
    return v;
}

bool TryStrToDateTime(StringView s, TDateTime& value, const TFormatSettings& fs)
{
    Scanner sc { s };
    TDateTime d = 0, t = 0;
    if (ScanDate(sc, d, fs)) {
        if (ScanFinished(sc) || (ScanTime(sc, t, fs) && ScanFinished(sc))) {
            value = d < 0 ? d - t : d + t;
            return true;
        }
    }
    return TryStrToTime(s, value, fs);
}

TDateTime StrToDateTime(StringView s, const TFormatSettings& fs)
{
    TDateTime v = 0;
    if (!TryStrToDateTime(s, v, fs))
        throw EConvertError(Quoted(s) + u" is not a valid date and time");
    return v;
}

