#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "platform/vcl/RichText.h"

void PrintTo(const TRichCharFormat& f, std::ostream* os)
{
    *os << StringToUtf8(f.Face) << " " << f.Size << (f.Bold ? " b" : "") << (f.Italic ? " i" : "")
        << (f.Underline ? " u" : "") << (f.StrikeOut ? " s" : "") << " colour " << (f.AutoColor ? -1 : int(f.Color))
        << " offset " << f.Offset;
}

namespace {

TRichCharFormat Fmt(const char16_t* Face, int Size, COLORREF Color = 0, bool Auto = true)
{
    TRichCharFormat f;
    f.Face = Face;
    f.Size = Size;
    f.Color = Color;
    f.AutoColor = Auto;
    return f;
}

// A paragraph made of (text, format) runs.
TRichParagraph Para(TRichDocument& Doc, std::initializer_list<std::pair<const char16_t*, TRichCharFormat>> Runs,
    TRichAlignment Align = raLeft)
{
    TRichParagraph p;
    p.Alignment = Align;
    for (const auto& [text, f] : Runs) {
        const std::uint16_t i = Doc.Intern(f);
        for (const char16_t* c = text; *c; ++c) {
            p.Text += *c;
            p.Formats.push_back(i);
        }
    }
    return p;
}

// The formats of a document's characters, paragraph by paragraph.
std::vector<std::vector<TRichCharFormat>> CharFormats(const TRichDocument& Doc)
{
    std::vector<std::vector<TRichCharFormat>> out;
    for (const TRichParagraph& p : Doc.Paragraphs) {
        out.emplace_back();
        for (std::uint16_t f : p.Formats)
            out.back().push_back(Doc.Formats.at(f));
    }
    return out;
}

TEST(RichText, RoundTripKeepsTextFormatsAndParagraphs)
{
    TRichCharFormat bold = Fmt(u"Arial", 200);
    bold.Bold = true;
    TRichCharFormat styled = Fmt(u"Times New Roman", 360, RGB(200, 10, 30), false);
    styled.Italic = styled.Underline = styled.StrikeOut = true;
    TRichCharFormat sup = Fmt(u"Arial", 200);
    sup.Offset = 40;
    TRichCharFormat sub = Fmt(u"Arial", 200, RGB(0, 0, 255), false);
    sub.Offset = -40;
    const TRichCharFormat plain = Fmt(u"Courier New", 220);

    struct TCase {
        const char* Name;
        std::function<void(TRichDocument&)> Build;
    };
    const TCase cases[] = {
        { "fonts and sizes", [&](TRichDocument& d) { d.Paragraphs = { Para(d, { { u"one ", plain }, { u"two", Fmt(u"Verdana", 300) } }) }; } },
        { "colours and styles", [&](TRichDocument& d) { d.Paragraphs = { Para(d, { { u"b", bold }, { u"sty", styled }, { u"x", plain } }) }; } },
        { "sub- and superscript by 40 twips", [&](TRichDocument& d) { d.Paragraphs = { Para(d, { { u"H", plain }, { u"2", sub }, { u"O", plain }, { u"n", sup } }) }; } },
        { "alignment per paragraph", [&](TRichDocument& d) {
             d.Paragraphs = { Para(d, { { u"left", plain } }), Para(d, { { u"centre", plain } }, raCenter),
                 Para(d, { { u"right", plain } }, raRight), Para(d, { { u"just", plain } }, raJustify) };
         } },
        { "empty paragraphs and a soft break", [&](TRichDocument& d) {
             d.Paragraphs = { Para(d, { { u"a", plain } }), Para(d, {}), Para(d, { { u"b", plain } }), Para(d, { { u"c", plain } }) };
             d.Paragraphs[2].SoftBreak = true;
         } },
        { "non-ASCII, escapes and tabs", [&](TRichDocument& d) {
             d.Paragraphs = { Para(d, { { u"caf\u00e9 \u20ac \u4e2d\U0001F600 {x} a\\b\tc", plain } }) };
         } },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRichDocument doc;
        doc.Formats[0] = plain;
        c.Build(doc);
        const std::string rtf = WriteRtf(doc);
        for (unsigned char ch : rtf)
            ASSERT_LT(ch, 0x80) << "RTF is written as ASCII";
        TRichDocument back;
        EXPECT_TRUE(ReadRtf(rtf, Fmt(u"Arial", 200), back));
        EXPECT_EQ(StringToUtf8(back.PlainText()), StringToUtf8(doc.PlainText()));
        ASSERT_EQ(back.Paragraphs.size(), doc.Paragraphs.size());
        for (std::size_t i = 0; i < doc.Paragraphs.size(); ++i) {
            EXPECT_EQ(back.Paragraphs[i].Alignment, doc.Paragraphs[i].Alignment) << i;
            EXPECT_EQ(back.Paragraphs[i].SoftBreak, doc.Paragraphs[i].SoftBreak) << i;
        }
        EXPECT_EQ(CharFormats(back), CharFormats(doc));
    }
}

TEST(RichText, ReadsCodePageEscapesAndUnicodeFallbacks)
{
    struct TCase {
        const char* Rtf;
        const char16_t* Text;
    };
    const TCase cases[] = {
        { R"({\rtf1\ansi caf\'e9 \'80\'96\'93})", u"caf\u00e9 \u20ac\u2013\u201c" },
        { R"({\rtf1 \u8364?x})", u"\u20acx" },
        { R"({\rtf1\uc2 \u20013\'3f\'3fy})", u"\u4e2dy" },
        { R"({\rtf1\uc0 \u-10179\u-8704 z})", u"\U0001F600z" },
        { R"({\rtf1 a\~b\emdash c\{\}\\})", u"a\u00a0b\u2014c{}\\" },
        { "{\\rtf1 raw caf\xc3\xa9 and \xe9}", u"raw caf\u00e9 and \u00e9" },
        { R"({\rtf1 one\par two\line three\tab four})", u"one\r\ntwo\r\nthree\tfour" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Rtf);
        TRichDocument doc;
        EXPECT_TRUE(ReadRtf(c.Rtf, {}, doc));
        EXPECT_EQ(StringToUtf8(doc.PlainText()), StringToUtf8(c.Text));
    }
}

// A document as a word processor writes it: style sheet, information,
// a picture, fields, a table and ignorable groups around the text.
TEST(RichText, ForeignDocumentKeepsOnlyTheText)
{
    const std::string rtf = R"({\rtf1\ansi\ansicpg1252\deff0\nouicompat\deflang3081{\fonttbl{\f0\fswiss\fcharset0 Calibri{\*\panose 020f0502020204030204};}{\f1\froman\fprq2 Times New Roman;}}
{\colortbl ;\red255\green0\blue0;\red0\green128\blue0;}
{\stylesheet{\s0 Normal;}{\s1\b heading 1;}}
{\info{\author Somebody}{\title Notes}}
{\*\generator Riched20 10.0.19041}\viewkind4\uc1
\pard\sa200\sl276\slmult1\qc\f1\fs28\cf1\b Title\b0\par
\pard\f0\fs22\cf0 Before {\*\bkmkstart x}picture {\pict\pngblip\picw10\pich10 89504e470d0a1a0a}after.\par
{\field{\*\fldinst{HYPERLINK "http://example.com"}}{\fldrslt{\ul\cf2 link}}}\par
\trowd\trgaph108\cellx1000\cellx2000\pard\intbl A1\cell B1\cell\row
\trowd\cellx1000\cellx2000\pard\intbl A2\cell B2\cell\row
\pard binary {\*\blipuid x}{\pict\bin5 }{}}x} end\par
})";
    TRichDocument doc;
    EXPECT_TRUE(ReadRtf(rtf, {}, doc));
    EXPECT_EQ(StringToUtf8(doc.PlainText()),
        "Title\r\nBefore picture after.\r\nlink\r\nA1\tB1\r\nA2\tB2\r\nbinary  end\r\n");
    ASSERT_GE(doc.Paragraphs.size(), 2u);
    EXPECT_EQ(doc.Paragraphs[0].Alignment, raCenter);
    EXPECT_EQ(doc.Paragraphs[1].Alignment, raLeft);
    const TRichCharFormat& title = doc.Formats.at(doc.Paragraphs[0].Formats.at(0));
    EXPECT_EQ(StringToUtf8(title.Face), "Times New Roman");
    EXPECT_EQ(title.Size, 280);
    EXPECT_TRUE(title.Bold);
    EXPECT_FALSE(title.AutoColor);
    EXPECT_EQ(title.Color, RGB(255, 0, 0));
    const TRichCharFormat& body = doc.Formats.at(doc.Paragraphs[1].Formats.at(0));
    EXPECT_EQ(StringToUtf8(body.Face), "Calibri");
    EXPECT_TRUE(body.AutoColor);
    const TRichCharFormat& link = doc.Formats.at(doc.Paragraphs[2].Formats.at(0));
    EXPECT_TRUE(link.Underline);
    EXPECT_EQ(link.Color, RGB(0, 128, 0));
}

TEST(RichText, HostileInputNeverThrowsAndKeepsWhatItCan)
{
    std::string deep = "{\\rtf1 start";
    for (int i = 0; i < 100000; ++i)
        deep += "{\\b x";
    struct TCase {
        const char* Name;
        std::string Rtf;
        const char* Starts; // the text read begins with this
    };
    const TCase cases[] = {
        { "deep nesting", deep, "start" },
        { "truncated in a word", "{\\rtf1 abc\\par de\\b", "abc\r\nde" },
        { "truncated in an escape", "{\\rtf1 abc\\'", "abc" },
        { "truncated in a table", "{\\rtf1{\\fonttbl{\\f0 Ari", "" },
        { "huge numbers", "{\\rtf1\\fs99999999999999999999\\u99999999999999\\cf-99999999999\\bin99999999999 x}", "" },
        { "negative and absurd", "{\\rtf1\\uc-5\\u-99999 a\\fs-3 b\\up999999999 c}", "" },
        { "unbalanced closing braces", "{\\rtf1 a}}}}} b", "a" },
        { "a long control word", "{\\rtf1 \\" + std::string(10000, 'q') + " tail}", "tail" },
        { "not RTF is plain text", "plain\r\ntext", "plain\r\ntext" },
        { "empty", "", "" },
        { "NUL bytes", std::string("{\\rtf1 a\0b}", 11), "ab" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRichDocument doc;
        EXPECT_NO_THROW(ReadRtf(c.Rtf, {}, doc));
        EXPECT_FALSE(doc.Paragraphs.empty());
        EXPECT_EQ(StringToUtf8(doc.PlainText()).rfind(c.Starts, 0), 0u) << StringToUtf8(doc.PlainText()).substr(0, 40);
        for (const TRichParagraph& p : doc.Paragraphs) {
            ASSERT_EQ(p.Text.size(), p.Formats.size());
            for (std::uint16_t f : p.Formats)
                ASSERT_LT(f, doc.Formats.size());
        }
        EXPECT_NO_THROW(WriteRtf(doc));
    }
}

} // namespace
