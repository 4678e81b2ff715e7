#include "app/Pcre.h"

#include <gtest/gtest.h>

namespace {

std::vector<String> AllMatches(const String& pattern, unsigned options, const String& subject, bool notEmpty = false)
{
    TPcreRegex re(pattern, options);
    re.SetNotEmpty(notEmpty);
    re.SetSubject(subject);
    std::vector<String> out;
    for (bool found = re.Match(); found; found = re.MatchAgain())
        out.push_back(re.MatchedText());
    return out;
}

} // namespace

TEST(Pcre, OptionsAndConventions)
{
    struct Case {
        const char* name;
        String pattern;
        unsigned options;
        String subject;
        bool found;
        String group1;
    } const cases[] = {
        { "caseless", u"ab(c)", pcoCaseless, u"xABC", true, u"C" },
        { "case kept without option", u"ab(c)", pcoNone, u"xABC", false, u"" },
        { "caseless class range", u"([A-Z]{2,4}) \\d", pcoCaseless, u"vic 3000", true, u"vic" },
        { "multi-line with CR line end", u"^(b)$", pcoMultiLine, u"a\rb\rc", true, u"b" },
        { "newline any: CRLF", u"^(b)$", pcoMultiLine, u"a\r\nb\r\nc", true, u"b" },
        { "no multi-line", u"^(b)$", pcoNone, u"a\nb", false, u"" },
        { "dot stops at line end", u"a(.+)", pcoNone, u"ax\ny", true, u"x" },
        { "dot-all crosses line ends", u"a(.+)", pcoDotAll, u"ax\ny", true, u"x\ny" },
        { "ungreedy", u"<(.+)>", pcoUngreedy, u"<a><b>", true, u"a" },
        { "UTF: one dot per code point", u"^(.)$", pcoNone, u"\U0001F600", true, u"\U0001F600" },
        { "unset group is empty", u"(x)?y", pcoNone, u"y", true, u"" },
        { "lone surrogate in subject", u"a(.)c", pcoNone, String(u"a") + char16_t(0xD800) + u"c", true, u"\uFFFD" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TPcreRegex re(c.pattern, c.options);
        re.SetSubject(c.subject);
        EXPECT_EQ(re.Match(), c.found);
        EXPECT_EQ(re.Group(1), c.group1);
    }
}

TEST(Pcre, MatchAgainWalksEveryMatchOnce)
{
    EXPECT_EQ(AllMatches(u"\\d+", pcoNone, u"a1b22c333"), (std::vector<String> { u"1", u"22", u"333" }));
    // Empty matches advance by one character (a surrogate pair counts as one).
    EXPECT_EQ(AllMatches(u"x*", pcoNone, u"\U0001F600x"), (std::vector<String> { u"", u"x", u"" }));
    // With empty matches rejected only the real ones remain.
    EXPECT_EQ(AllMatches(u"x*", pcoNone, u"axbxx", true), (std::vector<String> { u"x", u"xx" }));
}

TEST(Pcre, ReplaceAllTakesTheReplacementLiterally)
{
    TPcreRegex re(u"<[^>]*>", pcoNone);
    re.SetSubject(u"<b>bold</b> and $1 <i>x</i>");
    EXPECT_EQ(re.ReplaceAll(u" $1 "), 4);
    EXPECT_EQ(re.GetSubject(), u" $1 bold $1  and $1  $1 x $1 ");

    TPcreRegex grow(u"a", pcoNone);
    grow.SetSubject(String(200, u'a'));
    EXPECT_EQ(grow.ReplaceAll(u"bbb"), 200);
    EXPECT_EQ(grow.GetSubject(), String(600, u'b'));
}

TEST(Pcre, BadPatternRaisesAndJitChangesNothing)
{
    TPcreRegex bad(u"(unclosed", pcoNone);
    bad.SetSubject(u"x");
    EXPECT_THROW(bad.Match(), ERegularExpressionError);

    for (bool jit : { true, false }) {
        SCOPED_TRACE(jit);
        TPcreRegex::SetJitEnabled(jit);
        EXPECT_EQ(AllMatches(u"(\\w+)@(\\w+)", pcoCaseless, u"a@b, C@D"), (std::vector<String> { u"a@b", u"C@D" }));
    }
    TPcreRegex::SetJitEnabled(true);
}
