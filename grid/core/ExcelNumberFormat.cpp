#include "grid/core/ExcelNumberFormat.h"

#include <array>
#include <cmath>
#include <optional>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"

namespace VuzEraz {

namespace {

// Largest magnitude that is turned into an integer count (elapsed time,
// digit runs); beyond it, and for NaN or infinity, the number is not shown.
constexpr double MaxWholeMagnitude = 9.0e18;

bool IsIn(Char c, std::u16string_view set) { return set.find(c) != std::u16string_view::npos; }

bool IsLiteralChar(Char c) { return IsIn(c, u" !$&'()<=>^{}~\u00B4"); }
bool IsDateChar(Char c) { return IsIn(c, u"./:ACDHMNPQSTWY\\") || IsIn(Char(c - 32), u"ACDHMNPQSTWY"); }
bool IsNumberChar(Char c) { return IsIn(c, u" \"#%*+,-.0?E\\e"); }

struct Condition {
    bool Has { false };
    bool True { false };
    bool FlagA { false };
    bool FlagB { false };
};

struct Sections {
    std::array<String, 4> Text;
    std::array<StringView, 4> Cond; // the bracket text after "[" of a condition
    int Count { 0 };
};

// Splits at unquoted, unescaped ";" and notes each section's condition text.
Sections SplitSections(StringView f)
{
    Sections s;
    std::size_t start = 0;
    bool quoted = false;
    std::size_t i = 0;
    auto close = [&](std::size_t end) {
        s.Text[std::size_t(s.Count)] = String(f.substr(start, end - start));
        ++s.Count;
    };
    while (i < f.size()) {
        const Char c = f[i];
        if (c == u'"') {
            quoted = !quoted;
        } else if (!quoted && c == u'\\') {
            ++i;
        } else if (!quoted && c == u';') {
            close(i);
            start = i + 1;
            if (s.Count == 4)
                return s;
        } else if (!quoted && c == u'[' && i + 2 < f.size()) {
            const std::size_t end = f.find(u']', i);
            if (end == StringView::npos) {
                ++i; // no closing bracket: no condition, the scan goes on
                continue;
            }
            // A colour tag may come first; the first operator tag is the condition.
            if (s.Cond[std::size_t(s.Count)].empty() && IsIn(f[i + 1], u"<>="))
                s.Cond[std::size_t(s.Count)] = f.substr(i + 1, end - i - 1);
            i = end;
        }
        ++i;
    }
    close(f.size());
    return s;
}

// "<=5", ">0", "=1" ... with n in the locale-independent notation.
Condition ParseCondition(StringView t, double v)
{
    Condition c;
    std::size_t opLen = 0;
    enum { Lt, Le, Ne, Eq, Gt, Ge } op;
    if (t.starts_with(u"<=")) { op = Le; opLen = 2; }
    else if (t.starts_with(u">=")) { op = Ge; opLen = 2; }
    else if (t.starts_with(u"<>")) { op = Ne; opLen = 2; }
    else if (t.starts_with(u"<")) { op = Lt; opLen = 1; }
    else if (t.starts_with(u">")) { op = Gt; opLen = 1; }
    else if (t.starts_with(u"=")) { op = Eq; opLen = 1; }
    else return c;
    double n = 0;
    if (!TryStrToFloat(t.substr(opLen), n, InvariantFormatSettings()))
        return c;
    c.Has = true;
    switch (op) {
    case Lt: c.True = v < n; c.FlagB = n <= 0; c.FlagA = true; break;
    case Le: c.True = v <= n; c.FlagB = n <= 0; c.FlagA = true; break;
    case Ne: c.True = v != n; c.FlagA = true; break;
    case Eq: c.True = v == n; c.FlagB = true; break;
    case Gt: c.True = v > n; c.FlagA = n <= 0; break;
    case Ge: c.True = v >= n; c.FlagA = n <= 0; break;
    }
    return c;
}

struct Choice {
    int Section { 0 }; // 1-based; 0: none
    bool Absolute { false };
};

Choice ChooseSection(const Sections& s, double v)
{
    std::array<Condition, 4> cond;
    for (int k = 0; k < s.Count; ++k)
        cond[std::size_t(k)] = ParseCondition(s.Cond[std::size_t(k)], v);
    for (int k = 0; k < s.Count; ++k)
        if (cond[std::size_t(k)].Has && cond[std::size_t(k)].True)
            return { k + 1, cond[std::size_t(k)].FlagB };
    Choice ch;
    const int n = s.Count;
    if (!cond[0].Has && (v > 0 || std::isnan(v) || n < 2 || (v == 0 && n <= 2)))
        ch = { 1, false };
    else if (cond[1].Has || (v >= 0 && n > 2))
        ch = { cond[2].Has ? 4 : 3, false };
    else
        ch = { 2, n == 2 && cond[0].Has ? cond[0].FlagA : true };
    if (ch.Section > n)
        ch.Section = 0;
    return ch;
}

bool StartsWithNoCase(StringView s, std::size_t at, std::u16string_view what)
{
    if (at + what.size() > s.size())
        return false;
    for (std::size_t k = 0; k < what.size(); ++k) {
        Char a = s[at + k];
        if (a >= u'a' && a <= u'z')
            a = Char(a - 32);
        if (a != what[k])
            return false;
    }
    return true;
}

// "[Red]" and the other colour names, exact case; returns the length used.
std::size_t ColourTagLength(StringView s)
{
    static constexpr std::u16string_view names[] = { u"[Black]", u"[Cyan]", u"[Blue]", u"[Green]",
                                                     u"[Magenta]", u"[Red]", u"[White]", u"[Yellow]" };
    for (auto n : names)
        if (s.starts_with(n))
            return n.size();
    return 0;
}

String PlainText(double v) { return FloatToStr(v); }

// Date patterns use the process settings with "AM" and "PM" standing in for
// empty designators; a value the calendar cannot show gives "##".
String FormatExcelDate(StringView pattern, double v)
{
    try {
        const TFormatSettings& fs = ProcessFormatSettings();
        if (!fs.TimeAMString.empty() && !fs.TimePMString.empty())
            return FormatDateTime(pattern, v, fs);
        TFormatSettings own = fs;
        if (own.TimeAMString.empty())
            own.TimeAMString = u"AM";
        if (own.TimePMString.empty())
            own.TimePMString = u"PM";
        return FormatDateTime(pattern, v, own);
    } catch (const Exception&) {
        return u"##";
    }
}

// Renders one section of a number. Returns nothing when the section holds a
// character no step can use (the caller then shows the plain number).
class NumberSection {
public:
    NumberSection(StringView s, double v) : m_s(s), m_v(v)
    {
        for (std::size_t k = 0; k < s.size() && !m_twelveHour; ++k)
            m_twelveHour = StartsWithNoCase(s, k, u"AM/PM");
    }

    std::optional<String> Render()
    {
        std::size_t p = ColourTagLength(m_s);
        while (p < m_s.size()) {
            const std::size_t before = p;
            if (!(Bracket(p) || Literal(p) || DateRun(p) || NumberRun(p)))
                return std::nullopt;
            if (m_failed)
                return String(ExcelNoSectionText);
            if (p == before)
                return std::nullopt;
        }
        return m_out;
    }

private:
    bool Bracket(std::size_t& p)
    {
        if (m_s[p] != u'[')
            return false;
        const std::size_t end = m_s.find(u']', p);
        if (end == StringView::npos)
            return false;
        const StringView inner = m_s.substr(p + 1, end - p - 1);
        if (inner.starts_with(u"$")) {
            m_out += inner.substr(1, inner.find(u'-') == StringView::npos ? StringView::npos : inner.find(u'-') - 1);
        } else if (!inner.empty() && inner.find_first_not_of(inner[0]) == StringView::npos && IsIn(Char(inner[0] | 0x20), u"hms")) {
            Elapsed(Char(inner[0] | 0x20), inner.size());
        }
        p = end + 1;
        return true;
    }

    void Elapsed(Char unit, std::size_t width)
    {
        const double factor = unit == u'h' ? 24.0 : unit == u'm' ? 1440.0 : 86400.0;
        const double t = std::trunc(m_v * factor);
        if (!std::isfinite(t) || std::fabs(t) > MaxWholeMagnitude) {
            m_failed = true;
            return;
        }
        const auto n = static_cast<long long>(t);
        String digits = IntToStr(n < 0 ? -n : n);
        if (n < 0)
            m_out += u'-';
        for (std::size_t k = digits.size(); k < width; ++k)
            m_out += u'0';
        m_out += digits;
        m_afterHour = unit == u'h';
    }

    bool Literal(std::size_t& p)
    {
        const Char c = m_s[p];
        if (IsLiteralChar(c)) {
            m_out += c;
            ++p;
        } else if (c == u'\\' || c == u'*') {
            if (p + 1 < m_s.size())
                m_out += m_s[p + 1];
            p += 2;
        } else if (c == u'_') {
            m_out += u' ';
            p += 2;
        } else if (c == u'"') {
            const std::size_t end = m_s.find(u'"', p + 1);
            m_out += m_s.substr(p + 1, end == StringView::npos ? StringView::npos : end - p - 1);
            p = end == StringView::npos ? m_s.size() : end + 1;
        } else {
            return false;
        }
        p = std::min(p, m_s.size());
        return true;
    }

    bool DateRun(std::size_t& p)
    {
        String pattern;
        std::size_t q = p;
        while (q < m_s.size() && IsDateChar(m_s[q])) {
            const Char c = m_s[q];
            const Char up = c >= u'a' && c <= u'z' ? Char(c - 32) : c;
            if (c == u'\\') {
                if (q + 1 < m_s.size()) {
                    pattern += u'"';
                    pattern += m_s[q + 1];
                    pattern += u'"';
                }
                q += 2;
                continue;
            }
            if (StartsWithNoCase(m_s, q, u"AM/PM")) {
                pattern += u"ampm";
                q += 5;
                continue;
            }
            if (up == u'M') {
                const bool minutes = m_afterHour;
                while (q < m_s.size() && (m_s[q] | 0x20) == u'm') {
                    pattern += minutes ? u'n' : u'm';
                    ++q;
                }
                m_afterHour = false;
                continue;
            }
            if (up == u'H' && m_twelveHour) {
                // The designator may stand in a later run ("h:mm AM/PM"),
                // where the date formatter cannot see it: the hours of the
                // whole section follow the 12-hour clock.
                std::size_t n = 0;
                while (q < m_s.size() && (m_s[q] | 0x20) == u'h') {
                    ++n;
                    ++q;
                }
                pattern += u'"';
                pattern += TwelveHour(n > 1);
                pattern += u'"';
                m_afterHour = true;
                continue;
            }
            if (up == u'H')
                m_afterHour = true;
            else if (up >= u'A' && up <= u'Z')
                m_afterHour = false;
            pattern += c;
            ++q;
        }
        if (q == p)
            return false;
        p = std::min(q, m_s.size());
        m_out += FormatDate(pattern);
        return true;
    }

    String FormatDate(StringView pattern) const { return FormatExcelDate(pattern, m_v); }

    String TwelveHour(bool twoDigits) const
    {
        Word h = 0, m = 0, sec = 0, ms = 0;
        DecodeTime(m_v, h, m, sec, ms);
        h = h % 12 == 0 ? 12 : h % 12;
        return twoDigits && h < 10 ? u"0" + IntToStr(h) : IntToStr(h);
    }

    bool NumberRun(std::size_t& p)
    {
        String pattern;
        double v = m_v;
        std::size_t q = p;
        while (q < m_s.size() && IsNumberChar(m_s[q])) {
            const Char c = m_s[q];
            if (c == u'?') {
                pattern += u'#';
            } else if ((c == u'*' || c == u'\\') && q + 1 < m_s.size()) {
                // The next character is text, even a digit placeholder.
                ++q;
                pattern += u'"';
                pattern += m_s[q];
                pattern += u'"';
            } else if (c == u'"') {
                const std::size_t end = m_s.find(u'"', q + 1);
                const std::size_t stop = end == StringView::npos ? m_s.size() : end;
                pattern += m_s.substr(q, stop - q);
                pattern += u'"';
                q = stop;
            } else {
                if (c == u'%')
                    v *= 100;
                if (c != u'*' && c != u'\\')
                    pattern += c;
            }
            ++q;
        }
        if (q == p)
            return false;
        p = std::min(q, m_s.size());
        if (!std::isfinite(v) || std::fabs(v) > MaxWholeMagnitude) {
            m_failed = true;
            return true;
        }
        try {
            m_out += FormatFloat(pattern, v);
        } catch (const Exception&) {
            m_failed = true;
        }
        return true;
    }

    StringView m_s;
    double m_v;
    String m_out;
    bool m_afterHour { false };
    bool m_twelveHour { false };
    bool m_failed { false };
};

String FormatNumber(double v, bool isDate, StringView format)
{
    const Sections s = SplitSections(format);
    const Choice ch = ChooseSection(s, v);
    if (ch.Section == 0 || (isDate && v < 0))
        return ExcelNoSectionText;
    const String& section = s.Text[std::size_t(ch.Section - 1)];
    const auto find = [&](std::u16string_view tag) {
        for (std::size_t k = 0; k < section.size(); ++k)
            if (StartsWithNoCase(section, k, tag))
                return true;
        return false;
    };
    // The system's long date and long time formats.
    if (find(u"[$-F800]"))
        return FormatExcelDate(u"dddddd", v);
    if (find(u"[$-F400]"))
        return FormatExcelDate(u"tt", v);
    const double shown = ch.Absolute ? std::fabs(v) : v;
    if (auto text = NumberSection(section, shown).Render())
        return *text;
    return PlainText(shown);
}

String FormatText(const String& text, StringView format)
{
    const Sections s = SplitSections(format);
    const StringView section = s.Text[s.Count == 4 ? 3 : 0];
    if (section.find(u'@') == StringView::npos)
        return text;
    String out;
    std::size_t p = ColourTagLength(section);
    while (p < section.size()) {
        const Char c = section[p];
        if (c == u'@') {
            out += text;
            ++p;
        } else if (c == u'[') {
            const std::size_t end = section.find(u']', p);
            if (end == StringView::npos)
                return text;
            if (section[p + 1] == u'$') {
                const StringView inner = section.substr(p + 2, end - p - 2);
                out += inner.substr(0, inner.find(u'-'));
            }
            p = end + 1;
        } else if (IsLiteralChar(c)) {
            out += c;
            ++p;
        } else if (c == u'\\' || c == u'*' || c == u'_') {
            if (c == u'_')
                out += u' ';
            else if (p + 1 < section.size())
                out += section[p + 1];
            p += 2;
        } else if (c == u'"') {
            const std::size_t end = section.find(u'"', p + 1);
            out += section.substr(p + 1, end == StringView::npos ? StringView::npos : end - p - 1);
            p = end == StringView::npos ? section.size() : end + 1;
        } else {
            return text;
        }
    }
    return out;
}

} // namespace

String FormatExcelNumber(const Variant& Value, StringView Format)
{
    const TVarType t = Value.VarType() & varTypeMask;
    if (t == varEmpty || t == varNull)
        return String();
    if (Format.empty())
        return Value.AsString();
    switch (t) {
    case varBoolean:
        return Value.AsBoolean() ? u"TRUE" : u"FALSE";
    case varOleStr:
    case varString:
    case varUString:
        return FormatText(Value.AsString(), Format);
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varByte:
    case varInt64:
    case varDate:
        return FormatNumber(Value.AsDouble(), t == varDate, Format);
    default:
        return Value.AsString();
    }
}

} // namespace VuzEraz
