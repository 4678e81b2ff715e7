#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

TEST(Utf8, DecodesValidAndInvalidInput)
{
    struct Case {
        const char* name;
        std::string bytes;
        String expected;
    };
    const Case cases[] = {
        { "ascii", "abc", u"abc" },
        { "two-byte", "\xC3\xA9", u"\u00E9" },
        { "three-byte", "\xE2\x82\xAC", u"\u20AC" },
        { "four-byte becomes a surrogate pair", "\xF0\x9F\x98\x80", u"\U0001F600" },
        { "lone continuation", "a\x80" "b", u"a\uFFFDb" },
        { "truncated at end", "a\xE2\x82", u"a\uFFFD" },
        { "truncated before ascii", "\xE2" "a", u"\uFFFDa" },
        { "overlong", "\xC0\xAF", u"\uFFFD" },
        { "encoded surrogate", "\xED\xA0\x80", u"\uFFFD" },
        { "beyond U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD" },
        { "invalid lead byte", "\xFF", u"\uFFFD" },
        { "embedded NUL", std::string("a\0b", 3), String(u"a\0b", 3) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Utf8ToString(c.bytes), c.expected);
    }
}

TEST(Utf8, EncodesAndRoundTrips)
{
    const String samples[] = { u"", u"plain", u"\u00E9t\u00E9 \u20AC", u"\U0001F600x", String(u"nul\0inside", 10) };
    for (const auto& s : samples)
        EXPECT_EQ(Utf8ToString(StringToUtf8(s)), s);
    // A lone surrogate cannot be encoded and becomes the replacement character.
    EXPECT_EQ(StringToUtf8(String(1, Char(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(StringToUtf8(String(1, Char(0xDC00))), "\xEF\xBF\xBD");
}

TEST(SingleByteEncodings, Latin1AndAscii)
{
    EXPECT_EQ(Latin1ToString("caf\xE9"), u"caf\u00E9");
    EXPECT_EQ(StringToLatin1(u"caf\u00E9\u20AC"), "caf\xE9?");
    EXPECT_EQ(AsciiToString("a\xE9"), u"a\uFFFD");
    EXPECT_EQ(StringToAscii(u"a\u00E9"), "a?");
}

TEST(CaseMapping, OneUnitToOneUnit)
{
    EXPECT_EQ(StrUpper(u"abc\u00E9\u00DF"), u"ABC\u00C9\u00DF"); // sharp s would grow: kept
    EXPECT_EQ(StrLower(u"ABC\u00C9\u0130"), u"abc\u00E9i");
    String pair = u"\U00010428"; // Deseret small letter: needs surrogates, left alone
    EXPECT_EQ(StrUpper(pair), pair);
}

TEST(Collation, LocaleAwareAndCaseless)
{
    SetCollationLocale("en_US");
    EXPECT_LT(CompareStringLocale(u"apple", u"Banana", false), 0);
    EXPECT_GT(CompareStringLocale(u"banana", u"Apple", false), 0);
    EXPECT_EQ(CompareStringLocale(u"ABC", u"abc", true), 0);
    EXPECT_NE(CompareStringLocale(u"ABC", u"abc", false), 0);
    EXPECT_LT(CompareStringLocale(u"\u00E9a", u"eb", true), 0); // accents are secondary
}

TEST(Exceptions, MessageAndClassName)
{
    try {
        throw EConvertError(u"'x' is not a valid integer value");
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"'x' is not a valid integer value");
        EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
        EXPECT_EQ(e.ClassName(), u"EConvertError");
    }
}
