#include "platform/rtl/Encoding.h"

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"

namespace {

TEST(Encoding, RoundTripsTextThroughEveryUnicodeEncoding)
{
    // A BMP character, a surrogate pair and plain ASCII.
    const String text = u"A\u00e9\u20ac\U0001F600z";
    const struct {
        const char* name;
        TEncoding* encoding;
        TBytes expectedStart;
    } cases[] = {
        { "UTF8", TEncoding::UTF8(), { 'A', 0xC3, 0xA9 } },
        { "ANSI", TEncoding::ANSI(), { 'A', 0xC3, 0xA9 } },
        { "Unicode", TEncoding::Unicode(), { 'A', 0, 0xE9, 0 } },
        { "BigEndianUnicode", TEncoding::BigEndianUnicode(), { 0, 'A', 0, 0xE9 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TBytes bytes = c.encoding->GetBytes(text);
        ASSERT_GE(bytes.size(), c.expectedStart.size());
        EXPECT_EQ(TBytes(bytes.begin(), bytes.begin() + c.expectedStart.size()), c.expectedStart);
        EXPECT_EQ(c.encoding->GetString(bytes), text);
    }
}

TEST(Encoding, AsciiReplacesWhatItCannotCarry)
{
    EXPECT_EQ(TEncoding::ASCII()->GetBytes(u"a\u00e9b"), (TBytes { 'a', '?', 'b' }));
    EXPECT_EQ(TEncoding::ASCII()->GetString(TBytes { 'a', 0xE9 }), String(u"a\uFFFD"));
}

TEST(Encoding, OddUtf16ByteCountLeavesAVisibleReplacement)
{
    EXPECT_EQ(TEncoding::Unicode()->GetString(TBytes { 'h', 0, 'i' }), String(u"h\uFFFD"));
}

TEST(Encoding, DetectsByteOrderMarks)
{
    const struct {
        const char* name;
        TBytes bytes;
        TEncoding* expected;
        int preamble;
    } cases[] = {
        { "utf8", { 0xEF, 0xBB, 0xBF, 'x' }, TEncoding::UTF8(), 3 },
        { "utf16le", { 0xFF, 0xFE, 'x', 0 }, TEncoding::Unicode(), 2 },
        { "utf16be", { 0xFE, 0xFF, 0, 'x' }, TEncoding::BigEndianUnicode(), 2 },
        { "none", { 'x', 'y' }, TEncoding::Default(), 0 },
        { "truncated utf8 mark", { 0xEF, 0xBB }, TEncoding::Default(), 0 },
        { "empty", {}, TEncoding::Default(), 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TEncoding* found = nullptr;
        EXPECT_EQ(TEncoding::GetBufferEncoding(c.bytes, found), c.preamble);
        EXPECT_EQ(found, c.expected);
    }
}

TEST(Encoding, GivenEncodingOnlyRecognisesItsOwnMark)
{
    TEncoding* e = TEncoding::Unicode();
    EXPECT_EQ(TEncoding::GetBufferEncoding(TBytes { 0xEF, 0xBB, 0xBF }, e), 0);
    EXPECT_EQ(e, TEncoding::Unicode());
    TEncoding* fallback = nullptr;
    EXPECT_EQ(TEncoding::GetBufferEncoding(TBytes { 'a' }, fallback, TEncoding::Unicode()), 0);
    EXPECT_EQ(fallback, TEncoding::Unicode());
}

TEST(Encoding, PreamblesAndRangeChecks)
{
    EXPECT_TRUE(TEncoding::ANSI()->GetPreamble().empty());
    EXPECT_EQ(TEncoding::UTF8()->GetPreamble(), (TBytes { 0xEF, 0xBB, 0xBF }));
    TBytes bytes { 'a', 'b', 'c' };
    EXPECT_EQ(TEncoding::ANSI()->GetString(bytes, 1, 2), u"bc");
    EXPECT_THROW(TEncoding::ANSI()->GetString(bytes, 2, 2), EEncodingError);
    EXPECT_THROW(TEncoding::ANSI()->GetString(bytes, 4, 0), EEncodingError);
    EXPECT_EQ(TEncoding::Convert(TEncoding::Unicode(), TEncoding::UTF8(), TBytes { 0xE9, 0 }), (TBytes { 0xC3, 0xA9 }));
}

} // namespace
