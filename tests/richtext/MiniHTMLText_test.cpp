#include <gtest/gtest.h>

#include "richtext/MiniHTML.h"

using namespace VovHTMLE;

TEST(MiniHTMLText, PlainTextAndTagRemoval)
{
    const struct {
        const char16_t* In;
        const char16_t* Plain;
        const char16_t* NoTags;
    } cases[] = {
        { u"one<br>two", u"one\r\ntwo", u"onetwo" },
        { u"a<HR>b", u"a\r\nb", u"ab" },
        { u"<B>bold</B> &amp;", u"bold &amp;", u"bold &amp;" },
        { u"keep <this", u"keep <this", u"keep <this" },
        { u"a > b <I>c</I>", u"a > b c", u"a > b c" },
        { u"", u"", u"" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.In));
        EXPECT_EQ(HTMLToPlainText(c.In), String(c.Plain));
        EXPECT_EQ(RemoveHTMLTags(c.In), String(c.NoTags));
    }
}

TEST(MiniHTMLText, EscapingRoundTrips)
{
    const struct {
        const char16_t* In;
        bool Entities;
        const char16_t* Escaped;
    } cases[] = {
        { u"a&b", false, u"a&amp;b" },
        { u"*amp;", false, u"&amp;" },
        { u"<\"x\">", false, u"&lt;&quot;x&quot;&gt;" },
        { u"a b", true, u"a&nbsp;b" },
        { u"café ©", true, u"caf&eacute;&nbsp;&copy;" },
        { u"\u0416", true, u"&#1046;" },
        { u"\U0001F600", true, u"&#128512;" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.In));
        EXPECT_EQ(EscapeHTMLText(c.In, c.Entities), String(c.Escaped));
    }
    for (const char16_t* s : { u"a & b < c > \"d\"", u"café à la crème", u"x\u00A7y" }) {
        SCOPED_TRACE(StringToUtf8(s));
        EXPECT_EQ(UnescapeHTMLText(EscapeHTMLText(s, true), true), String(s));
    }
    EXPECT_EQ(UnescapeHTMLText(u"&amp;lt;", false), u"<");
    EXPECT_EQ(SpacesToNbsp(u"a b  c"), u"a&nbsp;b&nbsp;&nbsp;c");
}

TEST(MiniHTMLText, Highlighting)
{
    const struct {
        const char16_t* Text;
        const char16_t* Search;
        bool Whole, CaseSensitive;
        const char16_t* Result;
    } cases[] = {
        { u"abc abc", u"b", false, false, u"a<HI>b</HI>c a<HI>b</HI>c" },
        { u"aBc", u"b", false, true, u"aBc" },
        { u"a<b c", u"C", false, false, u"a&lt;b <HI>c</HI>" },
        { u"caf&eacute;</B>", u"FÉ", false, false, u"ca<HI>f&eacute;</HI></B>" },
        { u"<B>ab</B>cd</B>", u"bc", false, false, u"<B>a<HI>b</B>c</HI>d</B>" },
        { u"<FONT COLOR=\"red\">ab</FONT>c</B>", u"bc", false, false,
            u"<FONT COLOR=\"red\">a<HI>b</FONT></HI><HI>c</HI></B>" },
        { u"Whole", u"whole", true, false, u"<HI>Whole</HI>" },
        { u"Whole text", u"whole", true, false, u"Whole text" },
        { u"a<HI>b</HI>c", u"c", false, false, u"ab<HI>c</HI>" },
        { u"abc", u"", false, false, u"abc" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text) + " / " + StringToUtf8(c.Search));
        String result;
        HighlightHTMLText(c.Text, c.Search, u"hi", result, c.Whole, c.CaseSensitive);
        EXPECT_EQ(result, String(c.Result));
        // Highlighting again gives the same result.
        String again;
        HighlightHTMLText(result, c.Search, u"hi", again, c.Whole, c.CaseSensitive);
        EXPECT_EQ(again, result);
    }
    // Removing the highlight from an escaped plain text gives back the plain text.
    String marked, plain;
    HighlightHTMLText(u"x < y", u"y", u"e", marked, false, false);
    EXPECT_EQ(marked, u"x &lt; <E>y</E>");
    RemoveHTMLHighlight(marked, u"e", plain);
    EXPECT_EQ(plain, u"x < y");
}

TEST(MiniHTMLText, ControlTags)
{
    const String text = u"Name <CONTROL TYPE=\"edit\" ID=\"n\" VALUE=\"J&amp;J\" WIDTH=\"80\" MAXLEN=\"12x\"> "
                        u"<control type=\"CHECK\" id=\"c\" value=\"TRUE\" width=\"20\"> "
                        u"<CONTROL TYPE=\"RADIO\" ID=\"r\" VALUE=\"TRUE\" WIDTH=\"20\" HEIGHT=\"18\" PROP=\"a b\"> "
                        u"<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"\" WIDTH=\"60\">";
    EXPECT_TRUE(ContainsHTMLControl(text));
    EXPECT_FALSE(ContainsHTMLControl(u"plain <CONTRO>"));

    String value = u"untouched";
    EXPECT_TRUE(GetHTMLControlValue(text, u"n", value));
    EXPECT_EQ(value, u"J&J");
    value = u"untouched";
    EXPECT_FALSE(GetHTMLControlValue(text, u"missing", value));
    EXPECT_EQ(value, u"untouched");
    EXPECT_EQ(GetHTMLControlMaxLen(text, u"n"), 12);
    EXPECT_EQ(GetHTMLControlMaxLen(text, u"c"), 0);
    EXPECT_EQ(GetHTMLControlProp(text, u"r"), u"a b");

    EXPECT_EQ(NextHTMLControlID(text, u""), u"n");
    EXPECT_EQ(NextHTMLControlID(text, u"n"), u"k");
    EXPECT_EQ(NextHTMLControlID(text, u"k"), u"");

    String s = text;
    EXPECT_TRUE(SetHTMLControlValue(s, u"r", u"x y"));
    EXPECT_NE(s.find(u"<CONTROL ID=\"r\" VALUE=\"x&nbsp;y\" WIDTH=\"20\" HEIGHT=\"18\" TYPE=\"RADIO\" "
                     u"PROP=\"a&nbsp;b\"> "),
        String::npos);
    EXPECT_EQ(GetHTMLControlProp(s, u"r"), u"a b");
    EXPECT_TRUE(s.starts_with(u"Name <CONTROL TYPE=\"edit\""));
    String unchanged = text;
    EXPECT_FALSE(SetHTMLControlValue(unchanged, u"zz", u"v"));
    EXPECT_EQ(unchanged, text);

    const String reset = ResetHTMLRadioControls(text);
    EXPECT_TRUE(GetHTMLControlValue(reset, u"r", value));
    EXPECT_EQ(value, u"FALSE");
    EXPECT_TRUE(GetHTMLControlValue(reset, u"c", value));
    EXPECT_EQ(value, u"TRUE");

    String type, id, maxLen, prop, height, width, v;
    ParseHTMLControlTag(u"<CONTROL TYPE=\"edit\" ID=\"Q\" WIDTH=\"5\">", type, id, maxLen, prop, height, width, v);
    EXPECT_EQ(type, u"EDIT");
    EXPECT_EQ(id, u"Q");
    EXPECT_EQ(width, u"5");
    EXPECT_TRUE(height.empty());
    EXPECT_TRUE(maxLen.empty());
}
