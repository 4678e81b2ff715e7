// Character sets, filter expressions and the date parser of TVuzErazs.
//
// This matcher belongs to the library's utilities; the grid's own filter
// matcher has different rules (an empty value matches here; "*" does not
// match an empty value) and shares no code with it.

#include <algorithm>
#include <cmath>

#include "foundation/VuzErazs.h"
#include "platform/rtl/StringList.h"

namespace {

bool IsBlank(Char c) { return c == u' ' || c == u'\t'; }

bool Contains(StringView s, Char c) { return s.find(c) != StringView::npos; }

// The operand of a comparison term: after the operator and its blanks, up
// to a blank, "&" or "|" outside double quotes; a quote at either end dropped.
String ComparisonOperand(StringView term, std::size_t start)
{
    while (start < term.size() && IsBlank(term[start]))
        ++start;
    std::size_t end = start;
    bool quoted = false;
    for (; end < term.size(); ++end) {
        Char c = term[end];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (IsBlank(c) || c == u'&' || c == u'|'))
            break;
    }
    StringView operand = term.substr(start, end - start);
    if (!operand.empty() && operand.front() == u'"')
        operand.remove_prefix(1);
    if (!operand.empty() && operand.back() == u'"')
        operand.remove_suffix(1);
    return String(operand);
}

bool TryNumber(StringView s, const TFormatSettings& fs, double& v)
{
    String plain;
    plain.reserve(s.size());
    for (Char c : s)
        if (c != fs.ThousandSeparator)
            plain += c;
    return TryStrToFloat(plain, v, InvariantFormatSettings());
}

// <0, 0 or >0: numbers as numbers, dates as dates, anything else by code.
int CompareValues(StringView value, StringView operand, const TFormatSettings& fs)
{
    TDateTime d1 = 0, d2 = 0;
    bool date1 = TVuzErazs::IsDate(value, d1, fs);
    bool date2 = TVuzErazs::IsDate(operand, d2, fs);
    double n1 = 0, n2 = 0;
    if (!date1 && !date2 && TryNumber(value, fs, n1) && TryNumber(operand, fs, n2))
        return n1 < n2 ? -1 : (n1 > n2 ? 1 : 0);
    if (date1 && date2)
        return d1 < d2 ? -1 : (d1 > d2 ? 1 : 0);
    int c = CompareStr(value, operand);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// "*" any run (also none), "?" one character, anything else itself.
bool WildcardMatch(StringView p, StringView v)
{
    std::size_t pi = 0, vi = 0;
    std::size_t starP = StringView::npos, starV = 0;
    while (vi < v.size()) {
        if (pi < p.size() && p[pi] == u'*') {
            while (pi < p.size() && p[pi] == u'*')
                ++pi;
            starP = pi;
            starV = vi;
        } else if (pi < p.size() && (p[pi] == u'?' || p[pi] == v[vi])) {
            ++pi;
            ++vi;
        } else if (starP != StringView::npos) {
            pi = starP;
            vi = ++starV;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == u'*')
        ++pi;
    return pi == p.size();
}

enum class LogicOp { None, And, Or, Group };

LogicOp OperatorOf(Char c)
{
    switch (c) {
    case u'&': return LogicOp::And;
    case u'|': case u';': case u'^': return LogicOp::Or;
    default: return LogicOp::Group;
    }
}

// Folds one term's result into the result so far. After a group the
// separator that follows it stands before an empty term, which counts for nothing.
void Combine(bool& result, LogicOp op, bool value)
{
    switch (op) {
    case LogicOp::None: result = value; break;
    case LogicOp::And: result = result && value; break;
    case LogicOp::Or: result = result || value; break;
    case LogicOp::Group: break;
    }
}

} // namespace

// ---- Character sets ----

TVuzErazsCharSet TVuzErazs::CreateCharSet(StringView AValue) { return TVuzErazsCharSet(AValue.begin(), AValue.end()); }

TVuzErazsCharSet TVuzErazs::NumericCharSet() { return CreateCharSet(u"0123456789"); }

TVuzErazsCharSet TVuzErazs::AlphaCharSet()
{
    return CreateCharSet(u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
}

TVuzErazsCharSet TVuzErazs::AddCharSet(const TVuzErazsCharSet& ACharSet1, const TVuzErazsCharSet& ACharSet2)
{
    TVuzErazsCharSet r = ACharSet1;
    r.insert(r.end(), ACharSet2.begin(), ACharSet2.end());
    return r;
}

TVuzErazsCharSet TVuzErazs::SubCharSet(const TVuzErazsCharSet& ACharSet1, const TVuzErazsCharSet& ACharSet2)
{
    TVuzErazsCharSet r;
    for (Char c : ACharSet1)
        if (!CharInSet(c, ACharSet2))
            r.push_back(c);
    return r;
}

bool TVuzErazs::CharInSet(Char ch, const TVuzErazsCharSet& ACharSet)
{
    return std::find(ACharSet.begin(), ACharSet.end(), ch) != ACharSet.end();
}

Char TVuzErazs::FirstChar(const TVuzErazsCharSet& ACharset, StringView AValue, int& spos)
{
    bool quoted = false;
    for (std::size_t i = 0; i < AValue.size(); ++i) {
        Char c = AValue[i];
        if (c == u'"')
            quoted = !quoted;
        else if (!quoted && CharInSet(c, ACharset)) {
            spos = int(i) + 1;
            return c;
        }
    }
    spos = -1;
    return 0;
}

int TVuzErazs::ClosingParenthesis(StringView s1)
{
    int open = 0, close = 0;
    for (std::size_t i = 0; i < s1.size(); ++i) {
        if (s1[i] == u'(')
            ++open;
        else if (s1[i] == u')' && ++close == open)
            return int(i) + 1;
    }
    return 0;
}

String TVuzErazs::StripLogicSpaces(StringView AValue)
{
    String out;
    out.reserve(AValue.size());
    bool quoted = false;
    for (Char c : AValue) {
        if (c == u'"')
            quoted = !quoted;
        if (c != u' ' || quoted)
            out += c;
    }
    return out;
}

void TVuzErazs::Split(Char ADelimiter, const String& AInput, TStrings& AStrings, bool AClearEmptyStrings)
{
    AStrings.Clear();
    AStrings.SetDelimiter(ADelimiter);
    AStrings.SetStrictDelimiter(true);
    AStrings.SetDelimitedText(AInput);
    if (AClearEmptyStrings)
        for (int i = AStrings.GetCount() - 1; i >= 0; --i)
            if (AStrings[i].empty())
                AStrings.Delete(i);
}

// ---- Filter expressions ----

bool TVuzErazs::MatchStrEx(StringView AValue1, StringView AValue2, bool ACaseSensitive, const TFormatSettings& fs)
{
    String expr = StripLogicSpaces(Trim(AValue1));
    if (!expr.empty() && expr.front() == u'=')
        expr.erase(0, 1);
    if (expr.empty())
        return AValue2.empty();
    if (expr == u"*" && AValue2.empty())
        return false;

    static const TVuzErazsCharSet separators = CreateCharSet(u"(;^&|");
    bool result = false;
    LogicOp op = LogicOp::None;
    int spos = 0;
    while (Char sep = FirstChar(separators, expr, spos)) {
        int close = expr.front() == u'(' ? ClosingParenthesis(expr) : 0;
        if (close > 0) {
            Combine(result, op, MatchStrEx(StringView(expr).substr(1, std::size_t(close - 2)), AValue2, ACaseSensitive, fs));
            expr.erase(0, std::size_t(close));
            op = LogicOp::Group;
        } else {
            Combine(result, op, MatchStr(StringView(expr).substr(0, std::size_t(spos - 1)), AValue2, ACaseSensitive, fs));
            expr.erase(0, std::size_t(spos));
            op = OperatorOf(sep);
        }
    }
    Combine(result, op, MatchStr(expr, AValue2, ACaseSensitive, fs));
    return result;
}

bool TVuzErazs::MatchStr(StringView AValue1, StringView AValue2, bool ACaseSensitive, const TFormatSettings& fs)
{
    if (ACaseSensitive)
        return Matches(AValue1, AValue2, fs);
    return Matches(AnsiUpperCase(AValue1), AnsiUpperCase(AValue2), fs);
}

bool TVuzErazs::Matches(const Char* s0a, const Char* s1a, const TFormatSettings& fs)
{
    return Matches(s0a ? StringView(s0a) : StringView(), s1a ? StringView(s1a) : StringView(), fs);
}

bool TVuzErazs::Matches(StringView s0a, StringView s1a, const TFormatSettings& fs)
{
    const bool hasGreater = Contains(s0a, u'>');
    const bool hasLess = Contains(s0a, u'<');
    bool greaterPresent = false, lessPresent = false;
    bool greater = false, less = false;
    if (hasGreater) {
        std::size_t p = s0a.find(u'>');
        bool orEqual = p + 1 < s0a.size() && s0a[p + 1] == u'=';
        int c = CompareValues(s1a, ComparisonOperand(s0a, p + (orEqual ? 2 : 1)), fs);
        greater = orEqual ? c >= 0 : c > 0;
        greaterPresent = true;
    }
    if (hasLess) {
        // The same operand rule as for ">": a quoted operand keeps its blanks.
        std::size_t p = s0a.find(u'<');
        bool orEqual = p + 1 < s0a.size() && s0a[p + 1] == u'=';
        int c = CompareValues(s1a, ComparisonOperand(s0a, p + (orEqual ? 2 : 1)), fs);
        less = orEqual ? c <= 0 : c < 0;
        lessPresent = true;
    }
    if (Contains(s0a, u'!')) {
        if (!hasGreater) {
            greaterPresent = true;
            greater = true;
        }
        if (!hasLess) {
            lessPresent = true;
            less = true;
        }
    }
    if (Contains(s0a, u'^') && (greaterPresent || lessPresent))
        return greater || less;
    if (Contains(s0a, u'&') && greaterPresent && lessPresent)
        return greater && less;
    if ((hasGreater && greater) || (hasLess && less))
        return true;

    if (s0a.empty() || s1a.empty())
        return true;
    bool negate = false;
    String pattern;
    pattern.reserve(s0a.size());
    for (Char c : s0a) {
        if (c == u'!')
            negate = true;
        else if (c != u'"')
            pattern += c;
    }
    return WildcardMatch(pattern, s1a) != negate;
}

// ---- Dates ----

bool TVuzErazs::IsDate(StringView AValue, TDateTime& ADate, const TFormatSettings& fs)
{
    const String format = StrUpper(fs.ShortDateFormat);
    const Char sep = fs.DateSeparator;
    std::size_t s1 = AValue.find(sep);
    if (s1 == StringView::npos)
        return false;
    std::size_t s2 = AValue.find(sep, s1 + 1);
    if (s2 == StringView::npos)
        return false;
    StringView rest = AValue.substr(s2 + 1);
    std::size_t blank = rest.find(u' ');
    StringView parts[3] = { AValue.substr(0, s1), AValue.substr(s1 + 1, s2 - s1 - 1), rest.substr(0, blank) };
    int numbers[3];
    for (int i = 0; i < 3; ++i)
        if (!ReadDigitField(parts[i], numbers[i]))
            return false;

    // Day, month and year take the parts in the order their letters appear.
    struct Field {
        std::size_t pos;
        int kind; // 0 day, 1 month, 2 year
    };
    Field fields[3] = { { format.find(u'D'), 0 }, { format.find(u'M'), 1 }, { format.find(u'Y'), 2 } };
    std::stable_sort(std::begin(fields), std::end(fields), [](const Field& a, const Field& b) { return a.pos < b.pos; });
    int dmy[3] = {};
    for (int i = 0; i < 3; ++i)
        dmy[fields[i].kind] = numbers[i];
    const int day = dmy[0], month = dmy[1], year = dmy[2];
    if (day >= 32 || month > 12 || year > 9999)
        return false;
    TDateTime date = 0;
    if (!TryEncodeDate(Word(year), Word(month), Word(day), date))
        return false;

    if (blank == StringView::npos) {
        ADate = date;
        return true;
    }
    StringView time = rest.substr(blank + 1);
    const Char tsep = fs.TimeSeparator;
    std::size_t t1 = time.find(tsep);
    if (t1 == StringView::npos) {
        ADate = date;
        return false;
    }
    int hour = 0, minute = 0, second = 0;
    if (!ReadDigitField(time.substr(0, t1), hour) || hour > 23)
        return false;
    std::size_t t2 = time.find(tsep, t1 + 1);
    if (t2 != StringView::npos) {
        if (!ReadDigitField(time.substr(t1 + 1, t2 - t1 - 1), minute) || !ReadDigitField(time.substr(t2 + 1), second)
            || second > 60)
            return false;
    } else if (!ReadDigitField(time.substr(t1 + 1), minute)) {
        return false;
    }
    if (minute > 59)
        return false;
    // A leap second of 60 simply runs into the next minute.
    double fraction = double(hour * 3600 + minute * 60 + second) / double(SecsPerDay);
    ADate = date >= 0 ? date + fraction : date - fraction;
    return true;
}
