#include "platform/vcl/ComCtrls_DateTimeFields.h"

#include <algorithm>

namespace dtfields {

namespace {

bool IsLetter(Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsDigit(Char c) { return c >= u'0' && c <= u'9'; }
bool IsBlank(Char c) { return c == u' ' || c == u'\t' || c == 0x00A0 || c == 0x202F; }
Char Lower(Char c) { return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c; }

String Padded(int v, int width)
{
    String s = IntToStr(v);
    while (int(s.size()) < width)
        s.insert(s.begin(), u'0');
    return s;
}

void AddLiteral(std::vector<TSegment>& out, const String& text)
{
    if (text.empty())
        return;
    if (!out.empty() && !out.back().IsField())
        out.back().Text += text;
    else
        out.push_back({ TFieldKind::Literal, 0, text });
}

// Whether `text` at `pos` starts with `word`, without case.
bool StartsAt(const String& text, std::size_t pos, const String& word)
{
    if (word.empty() || pos + word.size() > text.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(text[pos + i]) != Lower(word[i]))
            return false;
    return true;
}

// The longest of `names` that `text` starts with at `pos`: its index, and
// `pos` moves past it; -1 when none does.
template<std::size_t N>
int MatchName(const String& text, std::size_t& pos, const std::array<String, N>& longNames, const std::array<String, N>& shortNames)
{
    int best = -1;
    std::size_t bestLen = 0;
    for (std::size_t i = 0; i < N; ++i)
        for (const String* name : { &longNames[i], &shortNames[i] })
            if (name->size() > bestLen && StartsAt(text, pos, *name)) {
                best = int(i);
                bestLen = name->size();
            }
    pos += bestLen;
    return best;
}

void SkipBlanks(const String& text, std::size_t& pos)
{
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
}

} // namespace

int ExpandTwoDigitYear(int yy, const TFormatSettings& fs)
{
    const int current = YearOf(Now());
    if (fs.TwoDigitYearCenturyWindow == 0)
        return current / 100 * 100 + yy;
    const int threshold = current - fs.TwoDigitYearCenturyWindow;
    int year = threshold / 100 * 100 + yy;
    if (year < threshold)
        year += 100;
    return year;
}

TParts PartsOf(TDateTime Value)
{
    TParts p;
    Word y, mo, d, h, mi, s, ms;
    DecodeDateTime(Value, y, mo, d, h, mi, s, ms);
    if (y == 0)
        return p;
    p.Year = y;
    p.Month = mo;
    p.Day = d;
    p.Hour = h;
    p.Minute = mi;
    p.Second = s;
    p.MSec = ms;
    return p;
}

bool EncodeParts(const TParts& p, TDateTime& Value)
{
    if (p.Year < 1 || p.Year > 9999 || p.Month < 1 || p.Month > 12 || p.Day < 1 || p.Hour < 0 || p.Hour > 23
        || p.Minute < 0 || p.Minute > 59 || p.Second < 0 || p.Second > 59 || p.MSec < 0 || p.MSec > 999)
        return false;
    return TryEncodeDateTime(Word(p.Year), Word(p.Month), Word(p.Day), Word(p.Hour), Word(p.Minute), Word(p.Second),
        Word(p.MSec), Value);
}

std::vector<TSegment> ParseFormat(const String& f)
{
    std::vector<TSegment> out;
    std::size_t i = 0;
    while (i < f.size()) {
        const Char c = f[i];
        if (c == u'\'') {
            // '' outside quotes is one quote; otherwise text up to the
            // closing quote, '' inside standing for one quote.
            if (i + 1 < f.size() && f[i + 1] == u'\'') {
                AddLiteral(out, u"'");
                i += 2;
                continue;
            }
            String text;
            std::size_t j = i + 1;
            while (j < f.size()) {
                if (f[j] == u'\'') {
                    if (j + 1 < f.size() && f[j + 1] == u'\'') {
                        text += u'\'';
                        j += 2;
                        continue;
                    }
                    break;
                }
                text += f[j++];
            }
            AddLiteral(out, text);
            i = j + 1;
            continue;
        }
        std::size_t n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        const int w = int(std::min<std::size_t>(n, 4));
        TSegment s;
        switch (c) {
        case u'd': s = w <= 2 ? TSegment { TFieldKind::Day, w, {} } : TSegment { TFieldKind::DayName, w, {} }; break;
        case u'M': s = w <= 2 ? TSegment { TFieldKind::Month, w, {} } : TSegment { TFieldKind::MonthName, w, {} }; break;
        case u'y': s = { TFieldKind::Year, w <= 2 ? 2 : 4, {} }; break;
        case u'h': s = { TFieldKind::Hour12, std::min(w, 2), {} }; break;
        case u'H': s = { TFieldKind::Hour24, std::min(w, 2), {} }; break;
        case u'm': s = { TFieldKind::Minute, std::min(w, 2), {} }; break;
        case u's': s = { TFieldKind::Second, std::min(w, 2), {} }; break;
        case u't': s = { TFieldKind::AmPm, std::min(w, 2), {} }; break;
        default:
            AddLiteral(out, f.substr(i, n));
            i += n;
            continue;
        }
        out.push_back(s);
        i += n;
    }
    return out;
}

String PickerFormatOf(const String& f, const TFormatSettings& fs)
{
    String lower;
    for (Char c : f)
        lower += Lower(c);
    const bool twelveHour = lower.find(u"am/pm") != String::npos || lower.find(u"a/p") != String::npos
        || lower.find(u"ampm") != String::npos;
    String out;
    auto literal = [&](const String& text) {
        for (Char c : text) {
            if (IsLetter(c) || c == u'\'')
                out += c == u'\'' ? String(u"''") : u"'" + String(1, c) + u"'";
            else
                out += c;
        }
    };
    bool afterHour = false;
    std::size_t i = 0;
    while (i < f.size()) {
        const Char c = f[i];
        if (c == u'"' || c == u'\'') {
            std::size_t close = f.find(c, i + 1);
            if (close == String::npos)
                close = f.size();
            literal(f.substr(i + 1, close - i - 1));
            i = close + 1;
            continue;
        }
        if (StartsAt(f, i, u"am/pm") || StartsAt(f, i, u"ampm") || StartsAt(f, i, u"a/p")) {
            out += StartsAt(f, i, u"a/p") ? u"t" : u"tt";
            i += StartsAt(f, i, u"am/pm") ? 5 : StartsAt(f, i, u"ampm") ? 4 : 3;
            continue;
        }
        if (!IsLetter(c)) {
            if (c == u'/')
                literal(String(1, fs.DateSeparator));
            else if (c == u':')
                literal(String(1, fs.TimeSeparator));
            else
                literal(String(1, c));
            ++i;
            continue;
        }
        std::size_t n = 1;
        while (i + n < f.size() && Lower(f[i + n]) == Lower(c))
            ++n;
        i += n;
        const int w = int(std::min<std::size_t>(n, 4));
        bool hour = false;
        switch (Lower(c)) {
        case u'y': out += n <= 2 ? u"yy" : u"yyyy"; break;
        case u'd': out += String(std::size_t(w), u'd'); break;
        case u'm':
            out += afterHour && n <= 2 ? String(n, u'm') : String(std::size_t(w), u'M');
            break;
        case u'n': out += n >= 2 ? u"mm" : u"m"; break;
        case u'h':
            out += String(std::min<std::size_t>(n, 2), twelveHour ? u'h' : u'H');
            hour = true;
            break;
        case u's': out += n >= 2 ? u"ss" : u"s"; break;
        case u'z':
            // No millisecond field: drop it with the separator before it.
            if (!out.empty() && !IsLetter(out.back()) && out.back() != u'\'')
                out.pop_back();
            break;
        default: literal(f.substr(i - n, n)); break;
        }
        afterHour = hour || (afterHour && Lower(c) != u'm' && Lower(c) != u'n');
    }
    return out;
}

String FieldText(const TSegment& s, const TParts& p, const TFormatSettings& fs)
{
    switch (s.Kind) {
    case TFieldKind::Literal: return s.Text;
    case TFieldKind::Day: return Padded(p.Day, s.Width);
    case TFieldKind::DayName: {
        TDateTime v;
        if (!EncodeParts(p, v))
            return {};
        const int dow = DayOfWeek(v) - 1;
        return (s.Width == 3 ? fs.ShortDayNames : fs.LongDayNames)[std::size_t(dow)];
    }
    case TFieldKind::Month: return Padded(p.Month, s.Width);
    case TFieldKind::MonthName:
        return (s.Width == 3 ? fs.ShortMonthNames : fs.LongMonthNames)[std::size_t(std::clamp(p.Month, 1, 12) - 1)];
    case TFieldKind::Year: return s.Width == 2 ? Padded(p.Year % 100, 2) : Padded(p.Year, 4);
    case TFieldKind::Hour12: return Padded(p.Hour % 12 == 0 ? 12 : p.Hour % 12, s.Width);
    case TFieldKind::Hour24: return Padded(p.Hour, s.Width);
    case TFieldKind::Minute: return Padded(p.Minute, s.Width);
    case TFieldKind::Second: return Padded(p.Second, s.Width);
    case TFieldKind::AmPm: {
        const String& t = p.Hour >= 12 ? fs.TimePMString : fs.TimeAMString;
        return s.Width == 1 ? t.substr(0, 1) : t;
    }
    }
    return {};
}

bool IsNumeric(TFieldKind k)
{
    return k != TFieldKind::Literal && k != TFieldKind::DayName && k != TFieldKind::AmPm;
}

int MaxDigits(const TSegment& s) { return s.Kind == TFieldKind::Year && s.Width == 4 ? 4 : 2; }

int FieldMin(TFieldKind k)
{
    switch (k) {
    case TFieldKind::Day: case TFieldKind::Month: case TFieldKind::MonthName: case TFieldKind::Year:
    case TFieldKind::Hour12:
        return 1;
    default:
        return 0;
    }
}

int FieldMax(TFieldKind k, const TParts& p)
{
    switch (k) {
    case TFieldKind::Day: return std::max<int>(1, DaysInAMonth(Word(p.Year), Word(p.Month)));
    case TFieldKind::Month: case TFieldKind::MonthName: return 12;
    case TFieldKind::Year: return 9999;
    case TFieldKind::Hour12: return 12;
    case TFieldKind::Hour24: return 23;
    case TFieldKind::Minute: case TFieldKind::Second: return 59;
    default: return 0;
    }
}

bool ParseText(const std::vector<TSegment>& segments, const String& text, TParts& parts, const TFormatSettings& fs)
{
    TParts p = parts;
    std::size_t pos = 0;
    int hour12 = -1;
    int pm = -1;
    for (const TSegment& s : segments) {
        if (!s.IsField()) {
            for (Char c : s.Text) {
                if (IsBlank(c))
                    continue;
                SkipBlanks(text, pos);
                if (pos >= text.size())
                    return false;
                const Char t = text[pos];
                // Another separator than the format's is taken too.
                const bool bothMarks = !IsLetter(c) && !IsDigit(c) && !IsLetter(t) && !IsDigit(t);
                if (Lower(t) != Lower(c) && !bothMarks)
                    return false;
                ++pos;
            }
            continue;
        }
        SkipBlanks(text, pos);
        if (s.Kind == TFieldKind::MonthName && pos < text.size() && !IsDigit(text[pos])) {
            const int m = MatchName(text, pos, fs.LongMonthNames, fs.ShortMonthNames);
            if (m < 0)
                return false;
            p.Month = m + 1;
            continue;
        }
        if (s.Kind == TFieldKind::DayName) {
            // The date decides the weekday: the name is only stepped over.
            if (MatchName(text, pos, fs.LongDayNames, fs.ShortDayNames) < 0)
                return false;
            continue;
        }
        if (s.Kind == TFieldKind::AmPm) {
            const String& am = fs.TimeAMString;
            const String& pmText = fs.TimePMString;
            if (StartsAt(text, pos, pmText) || (pmText.size() && StartsAt(text, pos, pmText.substr(0, 1)) && !StartsAt(text, pos, am))) {
                pm = 1;
                pos += StartsAt(text, pos, pmText) ? pmText.size() : 1;
            } else if (StartsAt(text, pos, am) || (am.size() && StartsAt(text, pos, am.substr(0, 1)))) {
                pm = 0;
                pos += StartsAt(text, pos, am) ? am.size() : 1;
            } else
                return false;
            continue;
        }
        const int most = s.Kind == TFieldKind::Year ? 4 : 2;
        int v = 0, digits = 0;
        while (pos < text.size() && IsDigit(text[pos]) && digits < most) {
            v = v * 10 + (text[pos] - u'0');
            ++pos;
            ++digits;
        }
        if (digits == 0)
            return false;
        switch (s.Kind) {
        case TFieldKind::Day: p.Day = v; break;
        case TFieldKind::Month: case TFieldKind::MonthName: p.Month = v; break;
        case TFieldKind::Year: p.Year = digits <= 2 ? ExpandTwoDigitYear(v, fs) : v; break;
        case TFieldKind::Hour12: hour12 = v; break;
        case TFieldKind::Hour24: p.Hour = v; break;
        case TFieldKind::Minute: p.Minute = v; break;
        case TFieldKind::Second: p.Second = v; break;
        default: break;
        }
    }
    SkipBlanks(text, pos);
    if (pos != text.size())
        return false;
    if (hour12 >= 0) {
        if (hour12 < 1 || hour12 > 12)
            return false;
        const bool isPm = pm >= 0 ? pm == 1 : p.Hour >= 12;
        p.Hour = hour12 % 12 + (isPm ? 12 : 0);
    } else if (pm >= 0 && (p.Hour >= 12) != (pm == 1))
        p.Hour = (p.Hour + 12) % 24;
    TDateTime check;
    if (!EncodeParts(p, check))
        return false;
    parts = p;
    return true;
}

} // namespace dtfields
