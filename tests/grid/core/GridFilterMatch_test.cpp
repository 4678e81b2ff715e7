#include <gtest/gtest.h>

#include <random>

#include "grid/core/GridFilterMatch.h"
#include "tests/grid/core/LocaleGuard.h"

using namespace VuzEraz;

namespace {

struct MatchCase {
    const char* filter;
    const char* value;
    bool match;
};

void ExpectMatches(std::initializer_list<MatchCase> cases, bool caseSensitive = true)
{
    for (const MatchCase& c : cases) {
        SCOPED_TRACE(std::string("filter ") + c.filter + " value " + c.value);
        EXPECT_EQ(MatchFilterExpression(S(c.filter), S(c.value), caseSensitive), c.match);
    }
}

// The wildcard walk written the direct way: every "*" tries every tail.
// Exponential, so only for short inputs; the memoised matcher must agree.
bool ReferenceWildcard(StringView mask, std::size_t pi, StringView value, std::size_t vi, bool afterQuote, bool bangLiteral)
{
    if (pi == mask.size())
        return vi == value.size();
    const Char c = mask[pi];
    if (c == u'*') {
        while (pi < mask.size() && mask[pi] == u'*')
            ++pi;
        for (std::size_t t = value.size() + 1; t-- > vi;)
            if (ReferenceWildcard(mask, pi, value, t, false, bangLiteral))
                return true;
        return false;
    }
    if (c == u'"') {
        if (!afterQuote)
            return ReferenceWildcard(mask, pi + 1, value, vi, true, bangLiteral);
        return vi < value.size() && value[vi] == u'"' && ReferenceWildcard(mask, pi + 1, value, vi + 1, false, bangLiteral);
    }
    if (c == u'?')
        return vi < value.size() && ReferenceWildcard(mask, pi + 1, value, vi + 1, false, bangLiteral);
    if (c == u'!' && !bangLiteral)
        return !ReferenceWildcard(mask, pi + 1, value, vi, false, bangLiteral);
    return vi < value.size() && value[vi] == c && ReferenceWildcard(mask, pi + 1, value, vi + 1, false, bangLiteral);
}

} // namespace

TEST(FilterMatch, WildcardsOperatorsAndGroups)
{
    ExpectMatches({
        { "a*|b*", "apple", true }, { "a*|b*", "banana", true }, { "a*|b*", "cherry", false },
        { "a*&*e", "apple", true }, { "a*&*e", "banana", false }, { "a*&*e", "cherry", false },
        { "a*;b*", "banana", true }, { "a*^b*", "banana", true },
        { "(a*|b*)&*e", "apple", true }, { "(a*|b*)&*e", "bee", true }, { "(a*|b*)&*e", "banana", false },
        // Strictly left to right: (a* | b*) & *x, not a* | (b* & *x).
        { "a*|b*&*x", "apple", false }, { "a*|b*&*x", "box", true },
        { "((a*))", "apple", true }, { "(a*", "(apple", true },
        { "x*x", "x", false }, { "x*x", "xx", true }, { "x*x", "xyzx", true },
        { "*", "", true }, { "*", "anything", true }, { "?", "", false }, { "?", "a", true }, { "?", "ab", false },
        { "a?c", "abc", true }, { "a??", "ab", false },
        { "!abc", "abd", true }, { "!abc", "", true }, { "!abc", "abc", false },
        { "ab!c", "xyz", false }, { "ab!c", "abd", true },
        { "!*ab*", "xaby", false }, { "!*ab*", "xay", true },
        { "\"\"", "", true }, { "\"\"", "a", false },
        { "\"a b\"*", "a bc", true }, { " a b ", "ab", true },
        { "a\"\"b", "a\"b", true }, { "\"!x\"", "!x", true },
        { "=abc", "abc", true }, { "\"(a\"|b", "(a", true }, { "\"(a\"|b", "b", true }, { "\"a|b\"", "a|b", true },
    });
}

TEST(FilterMatch, CaseSensitivity)
{
    EXPECT_TRUE(MatchFilterExpression(u"ABC", u"abc", false));
    EXPECT_FALSE(MatchFilterExpression(u"ABC", u"abc", true));
    EXPECT_TRUE(MatchFilterExpression(u"\u00C9T\u00C9*", u"\u00E9t\u00E9 2020", false));
}

TEST(FilterMatch, Comparisons)
{
    LocaleGuard locale(LocaleGuard::DotDecimal, u"d/m/y");
    ExpectMatches({
        { ">10", "12", true }, { ">10", "1000", true }, { ">10", "9", false }, { ">10", "10", false },
        { ">=10", "10", true }, { "<=10", "10", true }, { "<10", "9.5", true }, { ">1,000", "999", false },
        { ">=5&<=10", "5", true }, { ">=5&<=10", "7", true }, { ">=5&<=10", "10", true }, { ">=5&<=10", "11", false },
        { ">=5&<=10", "4", false },
        // Text comparison by character codes when either side is not a number.
        { ">b", "c", true }, { ">b", "a", false }, { "<b", "", true }, { ">abc", "abcd", true },
        // A value equal to the filter text itself matches.
        { ">5", ">5", true },
        // Dates and times compare as such.
        { ">1/2/2020", "3/2/2020", true }, { ">1/2/2020", "31/1/2020", false },
        // Spaces outside quotes are removed, so a date with a time is quoted.
        { ">\"1/2/2020 10:00\"", "1/2/2020 10:30", true }, { ">\"1/2/2020 10:00\"", "1/2/2020 9:59", false },
        { "<\"1/2/2020 10:00:30\"", "1/2/2020 10:00:29", true }, { ">1/2/2020", "1/2/2020 0:01", true },
    });
    struct TermCase {
        const char* term;
        const char* value;
        bool match;
    };
    const TermCase terms[] = {
        { ">=5&<=10", "5", true }, { ">=5&<=10", "7", true }, { ">=5&<=10", "10", true }, { ">=5&<=10", "11", false },
        { "<5^>10", "3", true }, { "<5^>10", "12", true }, { "<5^>10", "7", false },
        // The "^" ends the "<" operand, so 5 and 10 are outside too.
        { "<5^>10", "5", false }, { "<5^>10", "10", false },
        // The missing "<" comparison stays true.
        { ">5^x", "1", true }, { ">5^x", "", true }, { ">5^x", "abc", true },
        { "> 3", "4", true },
    };
    for (const TermCase& c : terms) {
        SCOPED_TRACE(std::string("term ") + c.term + " value " + c.value);
        EXPECT_EQ(MatchFilterTerm(S(c.term), S(c.value), true), c.match);
    }
}

TEST(FilterMatch, CommaDecimalComparisons)
{
    LocaleGuard locale(LocaleGuard::CommaDecimal);
    ExpectMatches({
        { ">1,5", "2", true }, { ">1,5", "1,2", false }, { ">1.000", "999", false }, { ">1.000", "1.000,5", true },
        { "<1,5", "1,49", true },
    });
}

TEST(FilterMatch, TryParseDateTime)
{
    LocaleGuard locale(LocaleGuard::DotDecimal, u"yyyy/MM/dd");
    struct Case {
        const char* text;
        bool ok;
        TDateTime value;
    };
    const Case cases[] = {
        { "2020/2/29", true, EncodeDate(2020, 2, 29) },
        { "2020/02/01 10:30", true, EncodeDate(2020, 2, 1) + EncodeTime(10, 30, 0, 0) },
        { "2020/02/01  7:05:09", true, EncodeDate(2020, 2, 1) + EncodeTime(7, 5, 9, 0) },
        { "2021/2/29", false, 0 }, { "2020/13/1", false, 0 }, { "2020/1/32", false, 0 }, { "2020/1", false, 0 },
        { "2020/1/1 24:00", false, 0 }, { "2020/1/1 10:60", false, 0 }, { "2020/1/1 10:30:60", false, 0 },
        { "2020/1/1 1030", false, 0 }, { "x/1/1", false, 0 }, { "-1/1/1", false, 0 }, { "", false, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime v = -1;
        EXPECT_EQ(TryParseDateTime(S(c.text), v), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value);
        }
    }
}

TEST(FilterMatch, TextRoutines)
{
    EXPECT_EQ(RemoveUnquotedSpaces(u"a b \"c d\" e"), u"ab\"c d\"e");
    EXPECT_EQ(MatchingParenPos(u"(a(b)c)d"), 7);
    EXPECT_EQ(MatchingParenPos(u"(a\")\")"), 6);
    EXPECT_EQ(MatchingParenPos(u"(a"), 0);
    EXPECT_EQ(FindUnquotedCharOfSet(u"(a|b)\"&\";c", u"&|;^"), 9);
    EXPECT_EQ(FindUnquotedChar(u'>', u"\">\">"), 4);
    LocaleGuard locale(LocaleGuard::CommaDecimal);
    EXPECT_EQ(LocalNumberToInvariant(u"1.234.567,89"), u"1234567.89");
}

TEST(FilterMatch, WildcardAgreesWithDirectSearch)
{
    // Patterns over a small alphabet with every wildcard meaning, against
    // short values: the remembered answers must never change a result.
    std::mt19937 rng(11);
    const StringView maskChars = u"ab*?!\"";
    const StringView valueChars = u"ab\"!";
    std::uniform_int_distribution<int> maskLen(0, 9), valueLen(0, 8);
    for (int i = 0; i < 20000; ++i) {
        String mask, value;
        for (int n = maskLen(rng); n > 0; --n)
            mask += maskChars[std::uniform_int_distribution<std::size_t>(0, maskChars.size() - 1)(rng)];
        for (int n = valueLen(rng); n > 0; --n)
            value += valueChars[std::uniform_int_distribution<std::size_t>(0, valueChars.size() - 1)(rng)];
        const bool bangLiteral = !mask.empty() && mask[0] == u'"';
        const bool expected = ReferenceWildcard(mask, 0, value, 0, false, bangLiteral);
        ASSERT_EQ(MatchFilterCondition(mask, value), expected) << "mask " << StringToUtf8(mask) << " value " << StringToUtf8(value);
    }
}

TEST(FilterMatch, PathologicalPatternFinishes)
{
    // Every "*" tried against every tail would take exponential time here.
    const String value(3000, u'a');
    const String mask = u"*a*a*a*a*a*a*a*a*a*a*a*a*b";
    EXPECT_FALSE(MatchFilterExpression(mask, value, true));
    EXPECT_TRUE(MatchFilterExpression(mask, value + u"b", true));
    EXPECT_FALSE(MatchFilterExpression(u"!" + mask, value + u"b", true));
    // Deeply nested groups do not exhaust the stack.
    const String nested = String(5000, u'(') + u"a*" + String(5000, u')');
    EXPECT_FALSE(MatchFilterExpression(nested, u"apple", true));
}
