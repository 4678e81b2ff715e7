#include "foundation/VuzErazs.h"

#include <gtest/gtest.h>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

namespace {

std::string U8(const String& s) { return StringToUtf8(s); }

// Restores the process-wide format settings a test changes.
struct ProcessSettingsGuard {
    TFormatSettings saved { ProcessFormatSettings() };
    ~ProcessSettingsGuard() { ProcessFormatSettings() = saved; }
};

String ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const Exception& e) {
        return e.ClassName() + u": " + e.Message;
    }
    return u"(no error)";
}

TBytes Bytes(std::string_view s) { return TBytes(s.begin(), s.end()); }

} // namespace

TEST(VuzErazsText, SearchAndReplaceIgnoreOnlyAsciiCase)
{
    EXPECT_EQ(TVuzErazs::IPos(u"bc", u"ABCD"), 2);
    EXPECT_EQ(TVuzErazs::IPos(u"x", u"abc"), 0);
    EXPECT_EQ(TVuzErazs::IPos(u"", u"abc"), 0);
    // Only a..z fold: é and É stay different.
    EXPECT_EQ(TVuzErazs::IPos(u"é", u"É"), 0);

    String dest = u"a <B>bold</b> tag";
    EXPECT_TRUE(TVuzErazs::TagReplaceString(u"<b>", u"[", dest));
    EXPECT_EQ(U8(dest), "a [bold</b> tag");
    EXPECT_FALSE(TVuzErazs::TagReplaceString(u"<i>", u"[", dest));
    EXPECT_EQ(U8(dest), "a [bold</b> tag");

    int r = -1;
    EXPECT_EQ(TVuzErazs::VarPos(u"B", u"abB", r), 3);
    EXPECT_EQ(r, 3);
    EXPECT_EQ(TVuzErazs::VarPosNoCase(u"B", u"abB", r), 2);
    EXPECT_EQ(r, 2);

    EXPECT_EQ(TVuzErazs::CharInStr(u"abc", 1), u'a');
    EXPECT_EQ(TVuzErazs::CharInStr(u"abc", 3), u'c');
    EXPECT_EQ(TVuzErazs::CharInStr(u"abc", 0), 0);
    EXPECT_EQ(TVuzErazs::CharInStr(u"abc", 4), 0);
}

TEST(VuzErazsText, IndexOfTextInArrayAndMarkupIndex)
{
    const String names[] = { u"Width", u"Name", u"&Eacute;", u"&eacute;" };
    EXPECT_EQ(TVuzErazs::IndexOfTextInArray(u"NAME", names), 1);
    EXPECT_EQ(TVuzErazs::IndexOfTextInArray(u"Height", names), -1);
    // Accent entity names count only when spelled exactly.
    EXPECT_EQ(TVuzErazs::IndexOfTextInArray(u"&eacute;", names), 3);
    const String upperOnly[] = { u"&Eacute;" };
    EXPECT_EQ(TVuzErazs::IndexOfTextInArray(u"&eacute;", upperOnly), -1);
    EXPECT_EQ(TVuzErazs::IndexOfTextInArray(u"&EACUTE;", upperOnly), 0);

    EXPECT_EQ(TVuzErazs::GetMarkupIndex(u"amp;"), 0);
    EXPECT_EQ(TVuzErazs::GetMarkupIndex(u"&NBSP;"), 4);
    EXPECT_EQ(TVuzErazs::GetMarkupIndex(u"&eacute;"), 5);
    EXPECT_EQ(TVuzErazs::GetMarkupIndex(u"&Eacute;"), 25);
    EXPECT_EQ(TVuzErazs::GetMarkupIndex(u"&ETH;"), 85);
    EXPECT_EQ(TVuzErazs::GetMarkupIndex(u"&bogus;"), -1);

    EXPECT_EQ(U8(TVuzErazs::GetSpecialChar(1)), "&");
    EXPECT_EQ(U8(TVuzErazs::GetSpecialChar(6)), "é");
    EXPECT_EQ(U8(TVuzErazs::GetSpecialChar(86)), "Ð");
    EXPECT_TRUE(TVuzErazs::GetSpecialChar(0).empty());
    EXPECT_TRUE(TVuzErazs::GetSpecialChar(87).empty());
}

TEST(VuzErazsMarkup, FixMarkup)
{
    struct Case {
        const char* in;
        bool special;
        const char* out;
    };
    const Case cases[] = {
        { "a<b & \"c\">", false, "a&lt;b &amp; &quot;c&quot;&gt;" },
        { "*amp; stays", false, "*amp; stays" },
        { "&amp;", false, "&amp;amp;" },
        { "é è", false, "é è" },
        { "a é<", true, "a&nbsp;&eacute;&lt;" },
        { "É$'€", true, "&Eacute;&#36;&#39;&euro;" },
        { "\"q\"", true, "&quot;q&quot;" },
        // Above 256 without an entity: a numeric reference; 256 itself stays.
        { "\xC4\x80\xC4\x81", true, "\xC4\x80&#257;" },
        { "x\xF0\x9F\x98\x80", true, "x&#128512;" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(U8(TVuzErazs::FixMarkup(S(c.in), c.special)), c.out);
    }
}

TEST(VuzErazsMarkup, UnFixMarkupDecodesEachEntityOnce)
{
    struct Case {
        const char* in;
        bool special;
        bool specialOnly;
        const char* out;
    };
    const Case cases[] = {
        { "&lt;b&gt; &amp; &quot;x&quot;", false, false, "<b> & \"x\"" },
        // An escaped entity comes out as the entity text, not its character.
        { "&amp;quot;", true, false, "&quot;" },
        { "&amp;eacute;", true, false, "&eacute;" },
        { "&amp;lt;", false, false, "&lt;" },
        // Entities are known only with their "&".
        { "quot; eacute;", true, false, "quot; eacute;" },
        { "&eacute;&Eacute;&nbsp;&#x00FD;&#221;", true, false, "éÉ ýÝ" },
        { "&eacute;", false, false, "&eacute;" },
        { "&EACUTE;", true, false, "&EACUTE;" },
        { "&quot;&eacute;", true, true, "\"é" },
        { "&lt;&amp;", true, true, "&lt;&amp;" },
        { "a & b &", true, false, "a & b &" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(U8(TVuzErazs::UnFixMarkup(S(c.in), c.special, c.specialOnly)), c.out);
    }
}

TEST(VuzErazsMarkup, FixThenUnFixGivesTheTextBack)
{
    const char* texts[] = { "a < b & \"c\" > d", "café crème à la carte", "*amp; &amp; &quot;", "© 2024 £5 ± 1°",
        "quot; nbsp; &", "" };
    for (const char* t : texts) {
        SCOPED_TRACE(t);
        for (bool special : { false, true })
            EXPECT_EQ(U8(TVuzErazs::UnFixMarkup(TVuzErazs::FixMarkup(S(t), special), special, false)), t);
    }
}

TEST(VuzErazsMarkup, IsHTMLAndHTMLStrip)
{
    struct Case {
        const char* in;
        bool html;
        const char* stripped;
    };
    const Case cases[] = {
        { "a<b>b</b><br>c", true, "ab\r\nc" },
        { "x<Hr>y", false, "x\r\ny" },
        { "<img src=x/>", true, "" },
        { "line<BR>", true, "line\r\n" },
        { "1 < 2", false, "1 < 2" },
        { "a<b>c<d", false, "ac<d" },
        { "plain", false, "plain" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(TVuzErazs::IsHTML(S(c.in)), c.html);
        EXPECT_EQ(U8(TVuzErazs::HTMLStrip(S(c.in))), c.stripped);
    }
}

TEST(VuzErazsEscape, EscapeAndUnescapeRoundTrip)
{
    struct Case {
        String in;
        const char* escaped;
    };
    const Case cases[] = {
        { String(u"\"\\\t") + u"é" + Char(1), "\\u0022\\u005C\\u0009\\u00E9\x01" },
        { u"a/b\r\n\b\f", "a/b\\u000D\\u000A\\u0008\\u000C" },
        { u"€\U0001F600", "\\u20AC\\uD83D\\uDE00" },
        { u"", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.escaped);
        String escaped = TVuzErazs::EscapeString(c.in);
        EXPECT_EQ(U8(escaped), c.escaped);
        EXPECT_EQ(TVuzErazs::UnescapeString(escaped), c.in);
    }
}

TEST(VuzErazsEscape, UnescapeShortFormsAndErrors)
{
    struct Case {
        const char* in;
        const char* out; // null: an error with `error`
        const char* error;
    };
    const Case cases[] = {
        { R"(\\ \/ \" \b\f\n\r\t)", "\\ / \" \b\f\n\r\t", nullptr },
        { R"(\u00e9\u00C9)", "éÉ", nullptr },
        { "abc\\", nullptr, "Exception: Unexpected end of string" },
        { "ab\\x", nullptr, "Exception: Invalid code at position 3" },
        { "\\u12", nullptr, "Exception: Invalid code at position 1" },
        { "a\\u12G4", nullptr, "Exception: Invalid code at position 2" },
        { "\\\\\\", nullptr, "Exception: Unexpected end of string" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        if (c.out)
            EXPECT_EQ(U8(TVuzErazs::UnescapeString(S(c.in))), c.out);
        else
            EXPECT_EQ(U8(ErrorOf([&] { TVuzErazs::UnescapeString(S(c.in)); })), c.error);
    }
}

TEST(VuzErazsEncoding, Base64)
{
    struct Case {
        std::string bytes;
        const char* standard;
        const char* url;
    };
    const Case cases[] = {
        { "", "", "" },
        { "a", "YQ==", "YQ" },
        { "ab", "YWI=", "YWI" },
        { "abc", "YWJj", "YWJj" },
        { std::string("\xFB\xFF\xBF\x00", 4), "+/+/AA==", "-_-_AA" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.standard);
        TBytesStream stream(Bytes(c.bytes));
        stream.SetPosition(stream.GetSize());
        EXPECT_EQ(U8(TVuzErazs::SaveStreamToBase64(stream, false)), c.standard);
        EXPECT_EQ(U8(TVuzErazs::SaveStreamToBase64(stream, true)), c.url);
        EXPECT_EQ(TVuzErazs::Decode64ToBytes(S(c.standard), false), Bytes(c.bytes));
        EXPECT_EQ(TVuzErazs::Decode64ToBytes(S(c.url), true), Bytes(c.bytes));
    }

    TMemoryStream target;
    target.WriteBuffer("xy", 2);
    TVuzErazs::LoadStreamFromBase64(u"YWJj", target);
    EXPECT_EQ(target.GetSize(), 5);
    EXPECT_EQ(std::string(static_cast<const char*>(target.GetMemory()), 5), "xyabc");

    for (const char* bad : { "YW=j", "Y", "YW*j", "=AAA" }) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(TVuzErazs::Decode64ToBytes(S(bad)), EConvertError);
    }
}

TEST(VuzErazsEncoding, Hex)
{
    EXPECT_EQ(TVuzErazs::HexStrToBytes(u"0A"), TBytes { 10 });
    EXPECT_EQ(TVuzErazs::HexStrToBytes(u"00fFaB"), (TBytes { 0, 255, 0xAB }));
    EXPECT_TRUE(TVuzErazs::HexStrToBytes(u"").empty());
    EXPECT_THROW(TVuzErazs::HexStrToBytes(u"0A1"), ERangeError);
    EXPECT_THROW(TVuzErazs::HexStrToBytes(u"0G"), EConvertError);

    TBytesStream stream(TBytes { 10, 0, 0xFE });
    EXPECT_EQ(U8(TVuzErazs::SaveStreamToHexStr(stream)), "0A00FE");

    TMemoryStream target;
    TVuzErazs::LoadStreamFromHexStr(u"4142a", target);
    TVuzErazs::LoadStreamFromHexStr(u"43", target);
    EXPECT_EQ(std::string(static_cast<const char*>(target.GetMemory()), std::size_t(target.GetSize())), "ABC");
}

TEST(VuzErazsEncoding, URLEncodeAndDecode)
{
    EXPECT_EQ(U8(TVuzErazs::URLEncode(u" é")), "%20%C3%A9");
    EXPECT_EQ(U8(TVuzErazs::URLEncode(u"a-Z_0.9+/?&€")), "a-Z_0.9%2B%2F%3F%26%E2%82%AC");

    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        { "x%20%C3%A9", "x é" },
        { "%c3%a9", "é" },
        { "50%", "50%" },
        { "50%25 off", "50% off" },
        { "%zz%4", "%zz%4" },
        { "a+b", "a+b" },
        { "café €", "café €" },
        { "  %20padded%09 ", "padded" },
        { "%FF", "\xEF\xBF\xBD" },
        { "", "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(U8(TVuzErazs::URLDecode(S(c.in))), c.out);
    }
    for (const char* t : { "a b/c?d=é&e=€", "x\xF0\x9F\x98\x80y" }) {
        SCOPED_TRACE(t);
        EXPECT_EQ(U8(TVuzErazs::URLDecode(TVuzErazs::URLEncode(S(t)))), t);
    }
}

TEST(VuzErazsNumbers, DotSeparatorWhateverTheUserSettings)
{
    ProcessSettingsGuard guard;
    ProcessFormatSettings().DecimalSeparator = u',';
    ProcessFormatSettings().ThousandSeparator = u'.';

    EXPECT_EQ(TVuzErazs::StrToFloatDot(u"1.5"), 1.5);
    EXPECT_EQ(U8(TVuzErazs::FloatToStrDot(-2.25)), "-2.25");
    double v = 0;
    EXPECT_TRUE(TVuzErazs::TryStrToFloatDot(u"1e3", v));
    EXPECT_EQ(v, 1000.0);
    EXPECT_FALSE(TVuzErazs::TryStrToFloatDot(u"1,5", v));
    EXPECT_THROW(TVuzErazs::StrToFloatDot(u"x"), EConvertError);
    EXPECT_EQ(ProcessFormatSettings().DecimalSeparator, u',');
    EXPECT_EQ(ProcessFormatSettings().ThousandSeparator, u'.');

    EXPECT_EQ(U8(TVuzErazs::StripThousandSep(u"1.234.567,5")), "1234567,5");
}

TEST(VuzErazsNumbers, EnDeCryptIsItsOwnInverseFor8BitText)
{
    EXPECT_EQ(U8(TVuzErazs::EnDeCrypt(u"a@")), "dE");
    const String text = u"Secret: pässwörd 123!";
    String once = TVuzErazs::EnDeCrypt(text);
    EXPECT_NE(once, text);
    EXPECT_EQ(TVuzErazs::EnDeCrypt(once), text);
    // The high byte is dropped.
    EXPECT_EQ(TVuzErazs::EnDeCrypt(u"\u0161"), TVuzErazs::EnDeCrypt(u"\u0061"));
}
