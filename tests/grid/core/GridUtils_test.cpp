#include <gtest/gtest.h>

#include <random>

#include "grid/core/GridUtils.h"
#include "platform/rtl/StringList.h"
#include "tests/grid/core/LocaleGuard.h"

using namespace VuzEraz;

namespace {
std::string U8(StringView s) { return StringToUtf8(s); }
}

TEST(GridUtils, RangeHelpers)
{
    struct Case {
        int value, min, max, clamp, limit;
    };
    const Case cases[] = {
        { 5, 0, 3, 3, 3 },
        { 5, 0, 0, 0, 5 },     // LimitValue: Min = Max leaves the value
        { -4, 10, 0, 10, 10 },  // a Max of 0 does not lower
        { 50, 10, 20, 20, 20 },
        { -4, -10, 0, -4, -4 },
        { -40, -10, 5, -10, -40 },  // a Min of 0 or less does not raise
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " in " << c.min << ".." << c.max);
        EXPECT_EQ(ClampInt(c.value, c.min, c.max), c.clamp);
        EXPECT_EQ(LimitValue(c.value, c.min, c.max), c.limit);
    }
    EXPECT_TRUE(CellInGridRect(TRect(1, 2, 3, 4), 3, 4));
    EXPECT_FALSE(CellInGridRect(TRect(1, 2, 3, 4), 4, 2));
}

TEST(GridUtils, ValueKindUnderCommaDecimalLocale)
{
    LocaleGuard locale(LocaleGuard::CommaDecimal);
    struct Case {
        const char* text;
        unsigned kind;
    };
    const Case cases[] = {
        { "123", 0 }, { "-12", 0 }, { "1.234,5", 1 }, { "1.234.567,5", 1 }, { "1.23.4", 2 }, { "1e5", 5 },
        { "-1,5e-3", 5 }, { "e5", 2 }, { "1e", 2 }, { "1e5e5", 2 }, { "12/03/2020", 3 }, { "12/03", 2 },
        { "12//03", 2 }, { "10:30", 4 }, { "10:30:15", 4 }, { "abc", 2 }, { "", 2 }, { "1-2", 2 },
        { "1,2,3", 2 }, { "-", 2 }, { ",", 2 }, { "1.5", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(GetValueKind(S(c.text)), c.kind);
    }
    EXPECT_EQ(NumberToInvariantText(u"1.234,5"), u"1234.5");
    EXPECT_EQ(NumberToInvariantText(u"12/03/2020"), u"12/03/2020");
    EXPECT_EQ(InvariantToLocalNumberText(u"1234.5"), u"1234,5");
    EXPECT_EQ(InvariantToLocalNumberText(u"abc.d"), u"abc.d");
}

TEST(GridUtils, ExtractNumberText)
{
    LocaleGuard locale(LocaleGuard::CommaDecimal);
    struct Case {
        const char* text;
        const char* number;
    };
    const Case cases[] = {
        { "(1.234,50)", "-1234.50" }, { "USD 12", "12" }, { "EUR 12", "E" }, { "", "" }, { "- 7", "-7" },
        { "12 kg", "12" }, { "x", "" }, { "1,5e+3m", "1.5e+3" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(U8(ExtractNumberText(S(c.text))), c.number);
    }
}

TEST(GridUtils, WideEncodingRoundTripsAnyUtf16)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> unit(0, 0xFFFF), length(0, 40);
    for (int i = 0; i < 300; ++i) {
        String w;
        for (int n = length(rng); n > 0; --n)
            w += Char(unit(rng));
        if (i == 0)
            w = String(u"\0\xFFFF\xD83D\xDE00\x00FF\x0100", 6);
        const String encoded = EncodeWideCellText(w);
        ASSERT_EQ(encoded.size(), 2 + 2 * w.size());
        for (std::size_t k = 2; k < encoded.size(); ++k)
            ASSERT_LE(encoded[k], 255);
        ASSERT_EQ(DecodeWideCellText(encoded), w);
        ASSERT_EQ(DetectTextKind(encoded, false), 5);
    }
    EXPECT_EQ(DecodeWideCellText(u"plain"), u"plain");
    EXPECT_EQ(DecodeWideCellText(String(u"|\\\0A\x01", 5)), u"A");  // trailing odd character ignored
}

TEST(GridUtils, LineBreakAndQuoteConversions)
{
    using Fn = std::function<String(String)>;
    auto inPlace = [](void (*f)(String&)) {
        return Fn([f](String s) {
            f(s);
            return s;
        });
    };
    struct Case {
        const char* name;
        Fn fn;
        String in, out;
    };
    const Case cases[] = {
        { "TildeToCRLF", inPlace(TildeToCRLF), u"a~b", u"a\r\nb" },
        { "TildeToCRLF of ^", inPlace(TildeToCRLF), u"^", u"" },
        { "CRLFToTilde", inPlace(CRLFToTilde), u"a\r\nb\nc", u"a~bc" },
        { "CRLFToVTQuoted empty", inPlace(CRLFToVTQuoted), u"", u"\"\"" },
        { "CRLFToVTQuoted", inPlace(CRLFToVTQuoted), u"a\r\nb", u"\"a\vb\"" },
        { "VTToCRLF", inPlace(VTToCRLF), u"a\vb", u"a\r\nb" },
        { "CRLFToLF", inPlace(CRLFToLF), u"a\r\nb\rc", u"a\nb\rc" },
        { "EncodeLineBreaks", [](String s) { return EncodeLineBreaks(s); }, String(u"a\r\n\0", 4), u"a\t\b\x01" },
        { "EncodeLineBreaks without CR", [](String s) { return EncodeLineBreaks(s); }, u"a\nb", u"a\nb" },
        { "DecodeLineBreaks whole", [](String s) { return DecodeLineBreaks(s, true); }, u"a\t\bb", u"a\r\nb" },
        { "DecodeLineBreaks first line", [](String s) { return DecodeLineBreaks(s, false); }, u"a\t\bb", u"a" },
        { "EscapedNewlineToCR", [](String s) { return EscapedNewlineToCR(s); }, u"a\\nb", u"a\rb" },
        { "CRToEscapedNewline", [](String s) { return CRToEscapedNewline(s); }, u"a\r\nb", u"a\\nb" },
        { "CRToBreakTags", [](String s) { return CRToBreakTags(s); }, u"a\r\nb", u"a<br>\nb" },
        { "UnquoteText", [](String s) { return UnquoteText(s); }, u"\"ab\"", u"ab" },
        { "UnquoteText of two quotes", [](String s) { return UnquoteText(s); }, u"\"\"", u"\"\"" },
        { "DoubleQuoteChars", [](String s) { return DoubleQuoteChars(s); }, u"a\"b", u"a\"\"b" },
        { "CollapseDoubledChar", [](String s) { return CollapseDoubledChar(u'x', s); }, u"axxxbxx", u"axxbx" },
        { "EncodeCharRefs per code point", [](String s) { return EncodeCharRefs(s); }, u"a\u00E9\u20AC\U0001F600",
            u"a\u00E9&#8364;&#128512;" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.fn(c.in), c.out);
    }
}

TEST(GridUtils, LinesAndWidestLine)
{
    struct Case {
        String text;
        bool keepRest;
        String line, rest;
        int lines;
    };
    const Case cases[] = {
        { u"a\r\nb\r\nc", true, u"a", u"b\r\nc", 3 },
        { u"a\r\nb", false, u"a", u"", 2 },
        { u"a\r\n", true, u"a", u"", 1 },
        { u"a\r\r\nb", true, u"a", u"\r\nb", 2 },
        { u"plain", true, u"plain", u"", 1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.text));
        String text = c.text, line;
        TakeFirstLine(text, c.keepRest, line);
        EXPECT_EQ(line, c.line);
        EXPECT_EQ(text, c.rest);
        EXPECT_EQ(CountLines(c.text, true), c.lines);
        EXPECT_EQ(CountLines(c.text, false), 1);
    }
    std::vector<String> measured;
    auto width = [&](const String& s) {
        measured.push_back(s);
        return int(s.size());
    };
    EXPECT_EQ(WidestLine(width, u"ab\r\n\r\nwidest\r\nxx"), u"widest");
    EXPECT_EQ(measured, (std::vector<String> { u"ab", u"", u"widest", u"xx" }));
    EXPECT_EQ(WidestLine(width, u"one\r\ntwo"), u"one");
}

TEST(GridUtils, TextKind)
{
    struct Case {
        String text;
        bool html;
        int kind;
    };
    const Case cases[] = {
        { u"=A1+1", false, 3 }, { u"=a</b>", true, 1 }, { u"=a</b>", false, 0 }, { u"x<br>y", true, 1 },
        { u"x<br>y", false, 0 }, { u"see http://x.org", false, 4 }, { u"mailto:a@b", true, 4 }, { u"{\\rtf1", false, 2 },
        { String(u"|\\0=\0", 5), false, 3 }, { u"a < b", true, 0 }, { u"<Img src=x>", true, 1 }, { u"", true, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(U8(c.text));
        EXPECT_EQ(DetectTextKind(c.text, c.html), c.kind);
    }
}

TEST(GridUtils, ClipboardHtmlOffsetsCountUtf8Bytes)
{
    for (const String& fragment : { String(u"<b>plain</b>"), String(u"<i>caf\u00E9 \u20AC \U0001F600 \u041C\u043E\u0441</i>"),
             String() }) {
        SCOPED_TRACE(U8(fragment));
        String text = fragment;
        WrapClipboardHTML(text);
        const std::string bytes = StringToUtf8(text);
        auto number = [&](const std::string& label) {
            std::size_t p = bytes.find(label + ":");
            EXPECT_NE(p, std::string::npos);
            return std::stoul(bytes.substr(p + label.size() + 1, 8));
        };
        const auto startHTML = number("StartHTML"), endHTML = number("EndHTML");
        const auto startFragment = number("StartFragment"), endFragment = number("EndFragment");
        EXPECT_EQ(bytes.substr(startFragment, endFragment - startFragment), StringToUtf8(fragment));
        EXPECT_EQ(bytes.substr(startHTML, 9), "<!DOCTYPE");
        EXPECT_EQ(endHTML, bytes.size());
        EXPECT_NE(bytes.find("charset=utf-8"), std::string::npos);
    }
}

TEST(GridUtils, ParseDates)
{
    struct Case {
        const char* text;
        bool dmy;
        int y, m, d;  // 0: the result is 0
    };
    const Case cases[] = {
        { "31.12.99", true, 1999, 12, 31 }, { "1-2-2022", true, 2022, 2, 1 }, { "1/2", true, 0, 0, 0 },
        { "5/6/25", true, 2025, 6, 5 }, { "5/6/26", true, 1926, 6, 5 }, { "5/6/100", true, 100, 6, 5 },
        { "12/31/2020", false, 2020, 12, 31 }, { "a/2/2020", false, 0, 0, 0 }, { "", true, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TDateTime v = c.dmy ? ParseDMYDate(S(c.text)) : ParseMDYDate(S(c.text));
        EXPECT_EQ(v, c.y ? EncodeDate(Word(c.y), Word(c.m), Word(c.d)) : 0.0);
    }
    EXPECT_THROW(ParseDMYDate(u"31/2/2020"), EConvertError);
    EXPECT_THROW(ParseMDYDate(u"13/1/2020"), EConvertError);
    EXPECT_THROW(ParseDMYDate(u"1/1/99999"), EConvertError);

    LocaleGuard locale(LocaleGuard::DotDecimal);
    EXPECT_TRUE(HasTwoDateSeparators(u"1/2/3"));
    EXPECT_FALSE(HasTwoDateSeparators(u"1//3"));
    EXPECT_FALSE(HasTwoDateSeparators(u"/1/2"));
}

TEST(GridUtils, DateSeriesStepsAcrossMonthAndYearEnds)
{
    auto d = [](int y, int m, int day) { return EncodeDate(Word(y), Word(m), Word(day)); };
    // Parts and delta as the paste code computes them from the first two dates.
    auto series = [](TDateTime first, TDateTime second, int count) {
        Word y1, m1, d1, y2, m2, d2;
        DecodeDate(first, y1, m1, d1);
        DecodeDate(second, y2, m2, d2);
        std::vector<TDateTime> r;
        for (int k = 0; k < count; ++k)
            r.push_back(DateSeriesValue(y2 - y1, m2 - m1, d2 - d1, first, second - first, k));
        return r;
    };
    struct Case {
        const char* name;
        TDateTime first, second;
        std::vector<TDateTime> values;
    };
    const Case cases[] = {
        { "monthly across a year end", d(2020, 12, 15), d(2021, 1, 15),
            { d(2020, 12, 15), d(2021, 1, 15), d(2021, 2, 15), d(2021, 3, 15) } },
        { "yearly", d(2019, 6, 30), d(2020, 6, 30), { d(2019, 6, 30), d(2020, 6, 30), d(2021, 6, 30) } },
        { "daily across a month end", d(2021, 1, 30), d(2021, 1, 31), { d(2021, 1, 30), d(2021, 1, 31), d(2021, 2, 1) } },
        { "weekly", d(2021, 12, 25), d(2022, 1, 1), { d(2021, 12, 25), d(2022, 1, 1), d(2022, 1, 8) } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(series(c.first, c.second, int(c.values.size())), c.values);
    }
    // A one-month step from 31 January: clamped in February, back to the 31st in March.
    const std::vector<TDateTime> months { d(2021, 1, 31), d(2021, 2, 28), d(2021, 3, 31), d(2021, 4, 30) };
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(DateSeriesValue(0, 1, 0, d(2021, 1, 31), 28, k), months[std::size_t(k)]) << k;
    EXPECT_EQ(IncDateParts(1, 0, 0, d(2020, 2, 29), 366), d(2021, 2, 28));
    EXPECT_EQ(IncDateParts(0, 1, 0, d(2021, 1, 31) + 0.5, 31), d(2021, 2, 28) + 0.5);
    EXPECT_EQ(IncDateParts(0, 1, -30, d(2021, 1, 31), 1), d(2021, 2, 1));
}

TEST(GridUtils, CapitalizeNames)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        { "john mcdonald ii", "John Mcdonald II" }, { "mcdonald", "McDonald" }, { "john Mcdonald", "John McDonald" },
        { "JEAN-luc o'neil", "Jean-Luc O'Neil" }, { "louis xiv iii", "Louis Xiv III" }, { "", "" },
        { "élise du pré", "Élise Du Pré" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(U8(CapitalizeNames(S(c.in))), c.out);
    }
}

TEST(GridUtils, StripAccentsKeepsEveryScript)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        { "Crème brûlée à Zürich", "Creme brulee a Zurich" }, { "Мос*", "Мос*" }, { "Йошкар-Ола", "Иошкар-Ола" },
        { "Ελλάδα", "Ελλαδα" }, { "東京 😀", "東京 😀" }, { "", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(U8(StripAccents(S(c.in))), c.out);
    }
    const String longText(5000, u'\u00E9');
    EXPECT_EQ(StripAccents(longText), String(5000, u'e'));
}

TEST(GridUtils, SearchingAndSplitting)
{
    int pos = -1;
    EXPECT_EQ(FindSubstring(u"lo", u"hello", pos), 4);
    EXPECT_EQ(pos, 4);
    EXPECT_EQ(PosInUpper(u"LL", u"hello"), 3);
    pos = 9;
    EXPECT_EQ(FindCharStore(u'z', u"abc", pos), 0);
    EXPECT_EQ(pos, 9);
    EXPECT_EQ(CountUnquotedChar(u',', u"a,\"b,c\",'d,e',f"), 3);
    EXPECT_EQ(CountUnquotedChar(u',', u"a,\"b,c"), 2);  // quote left open: every comma counts

    struct QuoteCase {
        const char* text;
        int end;
    };
    const QuoteCase quotes[] = { { "abc\",x", 4 }, { "a\"\"b\",", 5 }, { "a\"\"\"", 4 }, { "ab\"\"c", 0 }, { "ab\"", 3 } };
    for (const QuoteCase& c : quotes) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(FindQuoteEnd(u'"', S(c.text), pos), c.end);
        EXPECT_EQ(pos, c.end);
    }

    String text = u"key=value=x";
    EXPECT_EQ(CutFirstToken(text, u"="), u"key");
    EXPECT_EQ(text, u"value=x");
    EXPECT_EQ(CutFirstToken(text, u";"), u"");
    EXPECT_EQ(text, u"value=x");

    TStringList list;
    SplitToQuotedList(u";", u"a;b c;", list);
    EXPECT_EQ(list.GetCommaText(), u"a,\"\"\"b c\"\"\",");
    EXPECT_EQ(JoinListText(list), u"a\"b c\"");

    TPoint cell;
    EXPECT_TRUE(ParseRCReference(u"r12c3", cell));
    EXPECT_EQ(cell, TPoint(3, 12));
    for (const char16_t* bad : { u"R1C", u"RC12", u"A1C1", u"R1X2", u"R-1C2" })
        EXPECT_FALSE(ParseRCReference(bad, cell)) << U8(bad);
    EXPECT_EQ(ColorToHexRGB(0x00336699), u"996633");

    String dest = u"untouched";
    EXPECT_FALSE(LinkifyURL(u"no link", u"http://", dest));
    EXPECT_EQ(dest, u"untouched");
    EXPECT_TRUE(LinkifyURL(u"<see> HTTP://a.org/x?y=1 now", u"http://", dest));
    EXPECT_EQ(dest, u"&lt;see&gt; <a href=\"HTTP://a.org/x?y=1\">HTTP://a.org/x?y=1</a> now");
    String url = u"see mailto:me@x.org";
    RemoveURLPrefix(url);
    EXPECT_EQ(url, u"me@x.org");
}

TEST(GridUtils, CharacterClasses)
{
    LocaleGuard locale(LocaleGuard::CommaDecimal);
    EXPECT_TRUE(IsDigitChar(u'7'));
    EXPECT_TRUE(IsDigitChar(u'\u0663'));   // Arabic-Indic three
    EXPECT_TRUE(IsDigitChar(u'\u00BD'));   // one half: other number
    EXPECT_FALSE(IsDigitChar(u'a'));
    EXPECT_TRUE(IsFloatChar(u','));
    EXPECT_TRUE(IsFloatChar(u'.'));
    EXPECT_FALSE(IsScientificChar(u','));
    EXPECT_TRUE(IsNumericEditKey(8));
    EXPECT_FALSE(IsNumericEditKey(u'+'));
    EXPECT_TRUE(IsSignedFloatChar(u'+'));
}
