#include <gtest/gtest.h>

#include "foundation/VuzErazs.h"
#include "platform/rtl/StringList.h"

namespace {

TFormatSettings DayFirst()
{
    TFormatSettings fs = TFormatSettings::Invariant();
    fs.ShortDateFormat = u"dd/mm/yyyy";
    fs.DateSeparator = u'/';
    fs.ThousandSeparator = u',';
    return fs;
}

TFormatSettings MonthFirst()
{
    TFormatSettings fs = DayFirst();
    fs.ShortDateFormat = u"MM/dd/yyyy";
    return fs;
}

} // namespace

TEST(FilterMatch, MatchStrExExpressions)
{
    struct Case {
        const char* expr;
        const char* value;
        bool caseSensitive;
        bool expected;
    };
    const Case cases[] = {
        { ">5&<10", "7", false, true },
        { ">5&<10", "12", false, false },
        { "a|b", "b", false, true },
        { "a;b", "b", false, true },
        { "a^b", "a", false, true },
        { "a|b", "c", false, false },
        { "(a|b)&c", "a", false, false },
        { "*a*&(ab|cd)", "ab", false, true },
        { "*a*&(ab|cd)", "cd", false, false },
        // Strictly left to right: (a|b)&c, not a|(b&c).
        { "a|b&c", "a", false, false },
        { "", "", false, true },
        { "", "x", false, false },
        { "*", "", false, false },
        { "*", "x", false, true },
        { "a", "", false, true },
        { "=abc", "ABC", false, true },
        { "=abc", "ABC", true, false },
        { " a | b ", "b", false, true },
        { "\"a b\"", "a b", false, true },
        { "\"a|b\"", "a|b", false, true },
        { ">9", "10", false, true },
        { "<=10", "10", false, true },
        { "<10", "10", false, false },
        { ">\"b c\"", "b d", false, true },
        { ">\"b c\"", "b b", false, false },
        { "<\"b c\"", "b b", false, true },
        { "a*c", "abbc", false, true },
        { "a*c", "ac", false, true },
        { "a*c", "ab", false, false },
        { "a?c", "abc", false, true },
        { "a?c", "ac", false, false },
        { "!a*", "abc", false, false },
        { "!a*", "xbc", false, true },
        { "*é*", "CAFÉ", false, true },
    };
    const TFormatSettings fs = DayFirst();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.expr) + " ~ " + c.value);
        EXPECT_EQ(TVuzErazs::MatchStrEx(S(c.expr), S(c.value), c.caseSensitive, fs), c.expected);
    }
}

TEST(FilterMatch, ComparisonsUseNumbersThenDatesThenText)
{
    struct Case {
        const char* term;
        const char* value;
        bool expected;
    };
    const Case cases[] = {
        { ">=1,000", "1000", true },
        { ">1,000", "999.5", false },
        { ">5&<10", "7", true },
        { "<10&>5", "7", true },
        { "<10&>5", "12", false },
        { ">5^<2", "1", true },
        { ">5^<2", "3", false },
        // Day-first dates: 1 June is after 15 May although "01" < "15" as text.
        { ">15/05/2020", "01/06/2020", true },
        { "<15/05/2020", "01/06/2020", false },
        // Not both numbers: ordinal text comparison.
        { ">abc", "abd", true },
        { ">10", "9x", true },
        { ">9", "", true },
    };
    const TFormatSettings fs = DayFirst();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.term) + " ~ " + c.value);
        EXPECT_EQ(TVuzErazs::Matches(S(c.term), S(c.value), fs), c.expected);
    }
    String f = u"a*", v = u"abc";
    EXPECT_TRUE(TVuzErazs::Matches(f.c_str(), v.c_str(), fs));
    EXPECT_TRUE(TVuzErazs::Matches(f.c_str(), nullptr, fs));
}

TEST(FilterMatch, IsDateFollowsTheShortDateFormat)
{
    struct Case {
        const char* text;
        bool monthFirst;
        bool result;
        int y, m, d, h, n, s; // expected stored value; y = 0: left unchanged
    };
    const Case cases[] = {
        { "31/12/2020 10:30", false, true, 2020, 12, 31, 10, 30, 0 },
        { "31/12/2020 10:30:15", false, true, 2020, 12, 31, 10, 30, 15 },
        { "1/2/2020", false, true, 2020, 2, 1, 0, 0, 0 },
        { "12/31/2020", true, true, 2020, 12, 31, 0, 0, 0 },
        { "31/12/2020", true, false, 0, 0, 0, 0, 0, 0 },
        { "31/02/2020", false, false, 0, 0, 0, 0, 0, 0 },
        { "29/02/2021", false, false, 0, 0, 0, 0, 0, 0 },
        { "12/2020", false, false, 0, 0, 0, 0, 0, 0 },
        { "32/01/2020", false, false, 0, 0, 0, 0, 0, 0 },
        { "aa/12/2020", false, false, 0, 0, 0, 0, 0, 0 },
        { "-1/12/2020", false, false, 0, 0, 0, 0, 0, 0 },
        { "31/12/2020 24:00", false, false, 0, 0, 0, 0, 0, 0 },
        { "31/12/2020 10:60", false, false, 0, 0, 0, 0, 0, 0 },
        // A time without its separator: false, but the date is kept.
        { "31/12/2020 10", false, false, 2020, 12, 31, 0, 0, 0 },
        // Two-digit years stay as written.
        { "01/01/20", false, true, 20, 1, 1, 0, 0, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TDateTime value = -1;
        EXPECT_EQ(TVuzErazs::IsDate(S(c.text), value, c.monthFirst ? MonthFirst() : DayFirst()), c.result);
        if (c.y == 0)
            EXPECT_EQ(value, -1);
        else
            EXPECT_DOUBLE_EQ(value, EncodeDateTime(Word(c.y), Word(c.m), Word(c.d), Word(c.h), Word(c.n), Word(c.s), 0));
    }

    TFormatSettings iso = DayFirst();
    iso.ShortDateFormat = u"yyyy-MM-dd";
    iso.DateSeparator = u'-';
    TDateTime value = 0;
    EXPECT_TRUE(TVuzErazs::IsDate(u"2020-12-31", value, iso));
    EXPECT_DOUBLE_EQ(value, EncodeDate(2020, 12, 31));
}

TEST(FilterMatch, ScanningHelpers)
{
    EXPECT_EQ(TVuzErazs::ClosingParenthesis(u"(a(b)c)d"), 7);
    EXPECT_EQ(TVuzErazs::ClosingParenthesis(u"()"), 2);
    EXPECT_EQ(TVuzErazs::ClosingParenthesis(u"(a(b)"), 0);
    EXPECT_EQ(TVuzErazs::ClosingParenthesis(u"a)"), 0);

    int spos = 0;
    EXPECT_EQ(TVuzErazs::FirstChar(TVuzErazs::CreateCharSet(u"&|"), u"\"a&b\"|c", spos), u'|');
    EXPECT_EQ(spos, 6);
    EXPECT_EQ(TVuzErazs::FirstChar(TVuzErazs::CreateCharSet(u"&|"), u"\"a&b\"", spos), 0);
    EXPECT_EQ(spos, -1);

    EXPECT_EQ(TVuzErazs::StripLogicSpaces(u"a b \"c d\" e"), u"ab\"c d\"e");
}

TEST(FilterMatch, CharSets)
{
    TVuzErazsCharSet alpha = TVuzErazs::AlphaCharSet();
    ASSERT_EQ(alpha.size(), 52u);
    EXPECT_EQ(alpha[0], u'a');
    EXPECT_EQ(alpha[26], u'A');
    TVuzErazsCharSet both = TVuzErazs::AddCharSet(alpha, TVuzErazs::NumericCharSet());
    EXPECT_EQ(both.size(), 62u);
    EXPECT_TRUE(TVuzErazs::CharInSet(u'7', both));
    TVuzErazsCharSet rest = TVuzErazs::SubCharSet(both, TVuzErazs::CreateCharSet(u"abc0"));
    EXPECT_EQ(rest.size(), 58u);
    EXPECT_FALSE(TVuzErazs::CharInSet(u'b', rest));
    EXPECT_EQ(rest.front(), u'd');
    EXPECT_FALSE(TVuzErazs::CharInSet(u'-', both));
}

TEST(FilterMatch, SplitIsStrictAndHonoursQuotes)
{
    TStringList list;
    list.Add(u"old");
    TVuzErazs::Split(u',', u"a,,\"b,c\", d", list, false);
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list[0], u"a");
    EXPECT_EQ(list[1], u"");
    EXPECT_EQ(list[2], u"b,c");
    EXPECT_EQ(list[3], u" d");
    TVuzErazs::Split(u';', u";x;;y;", list, true);
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list[0], u"x");
    EXPECT_EQ(list[1], u"y");
}
