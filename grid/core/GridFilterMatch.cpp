#include "grid/core/GridFilterMatch.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <vector>

#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"

namespace VuzEraz {

namespace {

// Comparison operands (and texts compared as text) are taken up to this length.
constexpr std::size_t MaxOperand = 255;
// Parenthesised groups nested deeper than this are matched as plain terms,
// so a hostile expression cannot exhaust the stack.
constexpr int MaxGroupDepth = 64;

// The whole text is a number in invariant form: sign, digits, ".", exponent.
bool ReadNumber(StringView s, double& value)
{
    std::string a;
    std::size_t i = 0;
    auto digits = [&] {
        std::size_t start = i;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
            a += char(s[i++]);
        return i - start;
    };
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            a += '-';
        ++i;
    }
    std::size_t mantissa = digits();
    if (i < s.size() && s[i] == u'.') {
        a += '.';
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        a += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-'))
            a += char(s[i++]);
        if (digits() == 0)
            return false;
    }
    if (i != s.size())
        return false;
    auto [end, ec] = std::from_chars(a.data(), a.data() + a.size(), value);
    return ec == std::errc() && end == a.data() + a.size();
}

// <0, 0, >0: as numbers, else as dates, else by character codes.
int CompareOperand(StringView value, StringView operand)
{
    TDateTime da = 0, db = 0;
    const bool dateA = TryParseDateTime(value, da);
    const bool dateB = TryParseDateTime(operand, db);
    double a = 0, b = 0;
    if (!dateA && !dateB && ReadNumber(LocalNumberToInvariant(value), a) && ReadNumber(LocalNumberToInvariant(operand), b))
        return a < b ? -1 : (a > b ? 1 : 0);
    if (dateA && dateB)
        return da < db ? -1 : (da > db ? 1 : 0);
    return value.substr(0, MaxOperand).compare(operand.substr(0, MaxOperand));
}

struct Comparison {
    bool present { false };
    bool inclusive { false };
    String operand;
};

Comparison ReadComparison(StringView mask, Char op)
{
    Comparison c;
    const int at = FindUnquotedChar(op, mask);
    if (at == 0)
        return c;
    c.present = true;
    std::size_t i = std::size_t(at);
    if (i < mask.size() && mask[i] == u'=') {
        c.inclusive = true;
        ++i;
    }
    while (i < mask.size() && mask[i] == u' ')
        ++i;
    // The operand also ends at "^" and ";": both join terms, and without this
    // "<5^>10" would compare against the text "5^>10" and let 5 through.
    std::size_t j = i;
    bool quoted = false;
    for (; j < mask.size(); ++j) {
        const Char ch = mask[j];
        if (ch == u'"')
            quoted = !quoted;
        else if (!quoted && StringView(u" &|);^").find(ch) != StringView::npos)
            break;
    }
    StringView operand = mask.substr(i, j - i);
    if (!operand.empty() && operand.front() == u'"')
        operand.remove_prefix(1);
    if (!operand.empty() && operand.back() == u'"')
        operand.remove_suffix(1);
    c.operand = String(operand.substr(0, MaxOperand));
    return c;
}

// The wildcard walk. Each "*" tries the rest of the pattern against every
// tail of the value, shortest first; the answers for a pattern position
// after a "*" are remembered per value position, so patterns such as
// "*a*a*a*b" stay polynomial. The walk state at such a position is always
// "no quote just skipped" (the previous character is the "*"), so the
// position pair is the whole key.
class WildcardMatcher {
public:
    WildcardMatcher(StringView mask, StringView value)
        : m_mask(mask), m_value(value), m_bangIsLiteral(!mask.empty() && mask.front() == u'"'), m_tails(mask.size() + 1)
        , m_lowestDone(mask.size() + 1, 0)
    {
    }

    bool Match() { return MatchFrom(0, 0, false); }

private:
    bool MatchFrom(std::size_t pi, std::size_t vi, bool afterSkippedQuote)
    {
        const std::size_t m = m_mask.size();
        const std::size_t n = m_value.size();
        bool invert = false;
        for (;;) {
            if (pi == m)
                return invert != (vi == n);
            const Char c = m_mask[pi];
            if (c == u'*') {
                while (pi < m && m_mask[pi] == u'*')
                    ++pi;
                return invert != AnyTailMatches(pi, vi);
            }
            if (c == u'"') {
                if (!afterSkippedQuote) {
                    afterSkippedQuote = true;
                    ++pi;
                    continue;
                }
                afterSkippedQuote = false;
                if (vi < n && m_value[vi] == u'"') {
                    ++pi;
                    ++vi;
                    continue;
                }
                return invert;
            }
            afterSkippedQuote = false;
            if (c == u'?') {
                if (vi == n)
                    return invert;
                ++pi;
                ++vi;
                continue;
            }
            if (c == u'!' && !m_bangIsLiteral) {
                invert = !invert;
                ++pi;
                continue;
            }
            if (vi < n && m_value[vi] == c) {
                ++pi;
                ++vi;
                continue;
            }
            return invert;
        }
    }

    // Whether the pattern from pi matches some tail value[t..], t >= vi.
    bool AnyTailMatches(std::size_t pi, std::size_t vi)
    {
        const std::size_t n = m_value.size();
        std::vector<bool>& any = m_tails[pi];
        std::size_t& low = m_lowestDone[pi];
        if (any.empty()) {
            any.assign(n + 1, false);
            low = n + 1;
        }
        // any[t]: some tail starting at t or later matches. Filled from the
        // shortest tail down, so the first success found is the shortest;
        // any[low..n] are known.
        while (low > vi) {
            const std::size_t t = low - 1;
            any[t] = (t < n && any[t + 1]) || MatchFrom(pi, t, false);
            low = t;
        }
        return any[vi];
    }

    StringView m_mask;
    StringView m_value;
    bool m_bangIsLiteral { false };
    std::vector<std::vector<bool>> m_tails;
    std::vector<std::size_t> m_lowestDone;
};

bool EvaluateExpression(StringView expression, StringView value, bool caseSensitive, int depth);

bool EvaluateTerm(StringView term, StringView value, bool caseSensitive, int depth)
{
    if (depth < MaxGroupDepth && term.size() >= 2 && term.front() == u'(' && MatchingParenPos(term) == int(term.size()))
        return EvaluateExpression(term.substr(1, term.size() - 2), value, caseSensitive, depth + 1);
    return MatchFilterTerm(term, value, caseSensitive);
}

bool EvaluateExpression(StringView expression, StringView value, bool caseSensitive, int depth)
{
    String e = RemoveUnquotedSpaces(Trim(expression));
    if (!e.empty() && e.front() == u'=')
        e.erase(0, 1);
    StringView rest(e);
    bool result = false;
    Char op = 0;
    for (bool first = true;; first = false) {
        const int at = FindUnquotedCharOfSet(rest, u"&|;^");
        const StringView term = at ? rest.substr(0, std::size_t(at - 1)) : rest;
        const bool v = EvaluateTerm(term, value, caseSensitive, depth);
        if (first)
            result = v;
        else if (op == u'&')
            result = result && v;
        else
            result = result || v;
        if (!at)
            break;
        op = rest[std::size_t(at - 1)];
        rest.remove_prefix(std::size_t(at));
    }
    return result;
}

} // namespace

bool MatchFilterExpression(StringView Expression, StringView Value, bool CaseSensitive)
{
    return EvaluateExpression(Expression, Value, CaseSensitive, 0);
}

bool MatchFilterTerm(StringView Term, StringView Value, bool CaseSensitive)
{
    if (Term == u"\"\"")
        return Value.empty();
    if (CaseSensitive)
        return MatchFilterCondition(Term, Value);
    return MatchFilterCondition(StrUpper(Term), StrUpper(Value));
}

bool MatchFilterCondition(StringView Mask, StringView Value)
{
    const Comparison gt = ReadComparison(Mask, u'>');
    const Comparison lt = ReadComparison(Mask, u'<');
    bool G = true, L = true;
    if (gt.present) {
        const int c = CompareOperand(Value, gt.operand);
        G = gt.inclusive ? c >= 0 : c > 0;
    }
    if (lt.present) {
        const int c = CompareOperand(Value, lt.operand);
        L = lt.inclusive ? c <= 0 : c < 0;
    }
    const bool negated = FindUnquotedChar(u'!', Mask) > 0;
    const bool gtCounts = gt.present || negated;
    const bool ltCounts = lt.present || negated;
    if (FindUnquotedChar(u'^', Mask) && (gtCounts || ltCounts))
        return G || L;
    if (FindUnquotedChar(u'&', Mask) && gtCounts && ltCounts)
        return G && L;
    if ((gt.present && G) || (lt.present && L))
        return true;
    return WildcardMatcher(Mask, Value).Match();
}

bool TryParseDateTime(StringView Text, TDateTime& DateTime)
{
    const String format = StrUpper(ShortDateFormatText());
    const std::size_t posD = format.find(u'D'), posM = format.find(u'M'), posY = format.find(u'Y');
    if (posD == String::npos || posM == String::npos || posY == String::npos)
        return false;
    const Char sep = DateSeparatorChar();
    const std::size_t p1 = Text.find(sep);
    if (p1 == StringView::npos)
        return false;
    const std::size_t p2 = Text.find(sep, p1 + 1);
    if (p2 == StringView::npos)
        return false;
    const String rest = Trim(Text.substr(p2 + 1));
    const std::size_t space = rest.find(u' ');
    const StringView third = StringView(rest).substr(0, space);
    const String timeText = space == String::npos ? String() : Trim(StringView(rest).substr(space + 1));

    int fields[3];
    if (!ReadDigitField(Text.substr(0, p1), fields[0]) || !ReadDigitField(Text.substr(p1 + 1, p2 - p1 - 1), fields[1])
        || !ReadDigitField(third, fields[2]))
        return false;
    // The rank of each part's position in the format is its field index.
    auto rank = [&](std::size_t pos) { return int(pos > posD) + int(pos > posM) + int(pos > posY); };
    const int day = fields[rank(posD)], month = fields[rank(posM)], year = fields[rank(posY)];
    if (day > 31 || month > 12 || year > 9999)
        return false;
    TDateTime date;
    if (!TryEncodeDate(Word(year), Word(month), Word(day), date))
        return false;

    TDateTime time = 0;
    if (!timeText.empty()) {
        const Char tsep = TimeSeparatorChar();
        const std::size_t t1 = timeText.find(tsep);
        if (t1 == String::npos)
            return false;
        const StringView afterHour = StringView(timeText).substr(t1 + 1);
        const std::size_t t2 = afterHour.find(tsep);
        int hour, minute, second = 0;
        if (!ReadDigitField(StringView(timeText).substr(0, t1), hour) || hour > 23)
            return false;
        if (!ReadDigitField(afterHour.substr(0, t2), minute) || minute > 59)
            return false;
        if (t2 != StringView::npos && (!ReadDigitField(afterHour.substr(t2 + 1), second) || second > 60))
            return false;
        if (!TryEncodeTime(Word(hour), Word(minute), Word(second), 0, time))
            return false;
    }
    DateTime = date + time;
    return true;
}

String RemoveUnquotedSpaces(StringView Text)
{
    String r;
    bool quoted = false;
    for (Char c : Text) {
        if (c == u'"')
            quoted = !quoted;
        if (c != u' ' || quoted)
            r += c;
    }
    return r;
}

// Parentheses inside double quotes are text, not grouping: a quoted value
// such as "(a" must not swallow the operators after it.
int MatchingParenPos(StringView Text)
{
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char c = Text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'(')
            ++depth;
        else if (c == u')' && --depth == 0)
            return int(i) + 1;
    }
    return 0;
}

int FindUnquotedCharOfSet(StringView Text, StringView Set)
{
    int depth = 0;
    bool quoted = false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const Char c = Text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (quoted)
            continue;
        else if (c == u'(')
            ++depth;
        else if (c == u')')
            --depth;
        else if (depth <= 0 && Set.find(c) != StringView::npos)
            return int(i) + 1;
    }
    return 0;
}

int FindUnquotedChar(Char Ch, StringView Text)
{
    bool quoted = false;
    for (std::size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == u'"')
            quoted = !quoted;
        else if (!quoted && Text[i] == Ch)
            return int(i) + 1;
    }
    return 0;
}

String LocalNumberToInvariant(StringView Text)
{
    const Char decimal = DecimalSeparatorChar();
    const Char thousand = ThousandSeparatorChar();
    String r;
    for (Char c : Text) {
        if (c == decimal)
            r += u'.';
        else if (c != thousand)
            r += c;
    }
    return r;
}

} // namespace VuzEraz
