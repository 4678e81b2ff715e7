#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsHTML.h"

#include <gtest/gtest.h>

namespace {

struct PrepareCase {
    const char16_t* Input;
    const char16_t* Expected;
};

TEST(GraphicsMarkupTest, PrepareDecodesReferencesAndBreaks)
{
    const PrepareCase cases[] = {
        { u"&#65;", u"A" },
        { u"&#x41;b", u"Ab" },
        { u"&&#65;", u"&&#65;" },
        { u"&#1234567;", u"&#1234567;" },         // seven digits: no reference
        { u"&#;", u"&#;" },
        { u"&#0;", u"&#0;" },                     // NUL would cut the text
        { u"&#55296;", u"&#55296;" },             // a lone surrogate is no character
        { u"&#128512;x", u"<J128512 >x" },        // pictures of the emoji range become an internal tag
        { u"&#66000;", u"\U000101D0" },
        { u"a&amp;b", u"a&b" },
        { u"a\r\nb", u"a<BR>b" },
        { u"<#1>x>", u"#1x>" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Input));
        EXPECT_EQ(PrepareGraphicsMarkup(c.Input), String(c.Expected));
    }
}

struct HilightCase {
    const char16_t* Html;
    const char16_t* Find;
    bool DoCase;
    const char16_t* Expected;
};

TEST(GraphicsMarkupTest, HilightWrapsVisibleOccurrences)
{
    const HilightCase cases[] = {
        { u"one two one", u"one", true, u"<hi>one</hi> two <hi>one</hi>" },
        { u"One two", u"one", false, u"<hi>One</hi> two" },
        { u"One two", u"one", true, u"One two" },
        { u"<b>ab</b>c", u"bc", true, u"<b>a<hi>b</b>c</hi>" },  // tags inside the match are kept
        { u"<b>x</b>", u"b", true, u"<b>x</b>" },                // tag names are not text
        { u"abc", u"", true, u"abc" },                           // nothing to find: unchanged, no endless loop
        { u"aaa", u"aa", true, u"<hi>aa</hi>a" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Html));
        EXPECT_EQ(GraphicsHTMLHilight(c.Html, c.Find, u"hi", c.DoCase), String(c.Expected));
    }
}

TEST(GraphicsMarkupTest, HilightEscapesAngleBracketsOfTheVisibleText)
{
    // A bare ">" in the text would close the marker tag: the markup is rewritten
    // from its visible text with the brackets escaped, and so is the text to find.
    EXPECT_EQ(GraphicsHTMLHilight(u"x > 5 <b>y</b>", u"5", u"hi", true), String(u"x &gt; <hi>5</hi> y"));
    EXPECT_EQ(GraphicsHTMLHilight(u"x > 5 <b>y</b>", u">", u"hi", true), String(u"x <hi>&gt;</hi> 5 y"));
}

} // namespace
