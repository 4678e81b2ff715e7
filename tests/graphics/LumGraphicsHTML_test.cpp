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

#include <memory>

#include "tests/platform/gdi/PixelProbe.h"

namespace {

class GraphicsHTMLRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Canvas.SetHandle(Dc.DC);
        G = std::make_unique<TLumGraphics>(&Canvas, false);
        G->GetFont()->SetName(u"Arial");
        G->GetFont()->SetHeight(-12);
        G->GetFont()->SetColor(0);
        G->BeginScene();
    }
    void TearDown() override
    {
        G.reset();
        Canvas.SetHandle(nullptr);
    }
    TLumGraphicsHTMLResult Measure(const String& AHTML, TRectF ARect = { 0, 0, 300, 200 }, bool AWrap = false)
    {
        TLumGraphicsHTMLOptions o;
        o.Paint = false;
        o.FullHeight = true;
        o.WordWrapping = AWrap;
        return LayoutGraphicsHTML(*G, AHTML, ARect, o);
    }
    float PlainWidth(const String& AText) { return G->CalculateTextWidth(AText, TRectF { 0, 0, 10000, 10000 }, false, false); }
    // Text is smoothed: a pixel counts when its channel AChannel (0 red, 1
    // green, 2 blue) is strong and the other two are weak.
    bool HasInkOf(int AChannel)
    {
        for (int y = 0; y < Dc.H; ++y)
            for (int x = 0; x < Dc.W; ++x) {
                COLORREF c = Dc.At(x, y);
                int v[3] = { int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF) };
                if (v[AChannel] > 200 && v[(AChannel + 1) % 3] < 80 && v[(AChannel + 2) % 3] < 80)
                    return true;
            }
        return false;
    }

    TMemDC Dc { 300, 120 };
    TCanvas Canvas;
    std::unique_ptr<TLumGraphics> G;
};

TEST_F(GraphicsHTMLRenderTest, BreaksMakeLinesAndPlainText)
{
    auto one = Measure(u"first");
    auto two = Measure(u"first<BR>second");
    EXPECT_EQ(one.LineCount, 1);
    EXPECT_EQ(two.LineCount, 2);
    EXPECT_EQ(two.PlainText, String(u"first\rsecond"));
    EXPECT_NEAR(two.Height, 2 * one.Height, 0.5);
    // Hidden text takes no room but is part of the plain text.
    auto hidden = Measure(u"a<Z>bbbb</Z>");
    EXPECT_NEAR(hidden.Width, PlainWidth(u"a"), 0.5);
    EXPECT_EQ(hidden.PlainText, String(u"abbbb"));
}

TEST_F(GraphicsHTMLRenderTest, StylesAndFontSizesChangeTheMetrics)
{
    const String text = u"Bold markup text of some length";
    EXPECT_GT(Measure(u"<b>" + text + u"</b>").Width, PlainWidth(text) + 2);
    auto small = Measure(u"<font size=\"1\">gh</font>");
    auto large = Measure(u"<font size=\"5\">gh</font>");
    EXPECT_LT(small.Height, large.Height);
    // Size 3 is 12: the same as the 12-pixel font set up here.
    EXPECT_NEAR(Measure(u"<font size=\"3\">gh</font>").Height, Measure(u"gh").Height, 0.5);
    // A style's font size does not hide the size attribute after it.
    EXPECT_NEAR(Measure(u"<font style=\"font-size:big\" size=\"1\">gh</font>").Height, small.Height, 0.5);
    // The font is back as it was after the call.
    EXPECT_EQ(G->GetFont()->GetHeight(), -12);
    EXPECT_FALSE(G->GetFont()->GetStyle().Contains(fsBold));
}

TEST_F(GraphicsHTMLRenderTest, WordWrappingBreaksAtBlanksWithinTheWidth)
{
    const String sentence = u"one two three four five six seven eight nine ten";
    const TRectF narrow { 0, 0, PlainWidth(u"one two three") + 4, 500 };
    auto wrapped = Measure(sentence, narrow, true);
    EXPECT_GT(wrapped.LineCount, 2);
    EXPECT_LE(wrapped.Width, narrow.Right);
    auto single = Measure(sentence, narrow, false);
    EXPECT_EQ(single.LineCount, 1);
    EXPECT_GT(single.Width, narrow.Right);
}

TEST_F(GraphicsHTMLRenderTest, AlignedWrappedLinesAreDrawnWhole)
{
    const TRectF rect { 0, 0, PlainWidth(u"one two three") + 4, 100 };
    const int lineHeight = int(Measure(u"gh").Height);
    struct Case {
        const char16_t* Align;
        bool AtRight;
    };
    const Case cases[] = { { u"left", false }, { u"right", true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Align));
        const RECT all { 0, 0, Dc.W, Dc.H };
        HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
        FillRect(Dc.DC, &all, white);
        DeleteObject(white);
        G->BeginScene();
        TLumGraphicsHTMLCall call;
        call.Text = u"<P align=\"" + String(c.Align) + u"\">one two three www</P>";
        call.Rect = rect;
        call.WordWrap = true;
        RenderGraphicsHTML(*G, call);
        G->EndScene();
        // The wrapped word is drawn on the second line, at the side the paragraph asks for.
        int left = Dc.W, right = 0;
        for (int y = lineHeight; y < 2 * lineHeight; ++y)
            for (int x = 0; x < Dc.W; ++x)
                if (Dc.At(x, y) != RGB(255, 255, 255)) {
                    left = std::min(left, x);
                    right = std::max(right, x + 1);
                }
        ASSERT_LT(left, right);
        EXPECT_EQ(right >= rect.Right - 3, c.AtRight);
        EXPECT_EQ(left <= 2, !c.AtRight);
    }
}

TEST_F(GraphicsHTMLRenderTest, AnchorIsReportedUnderThePoint)
{
    const String html = u"<a href=\"target\">link</a> and more";
    const float linkWidth = PlainWidth(u"link");
    struct Case {
        float X;
        bool Hit;
    };
    const Case cases[] = { { linkWidth / 2, true }, { linkWidth + PlainWidth(u" and m"), false } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.X);
        TLumGraphicsHTMLCall call;
        call.Text = html;
        call.Rect = TRectF { 0, 0, 300, 100 };
        call.Measure = true;
        call.TestAnchor = true;
        call.HitPoint = TPoint { int(c.X), 5 };
        EXPECT_EQ(RenderGraphicsHTML(*G, call), c.Hit);
        EXPECT_EQ(call.Anchor, c.Hit ? String(u"target") : String());
    }
}

TEST_F(GraphicsHTMLRenderTest, PaintsColoursAndRestoresTheDrawingState)
{
    G->SetFillColor(0x123456);
    G->SetStrokeColor(0x654321);
    TLumGraphicsHTMLCall call;
    call.Text = u"<font color=\"#FF0000\">red</font> <a href=\"x\">link</a><HR>";
    call.Rect = TRectF { 0, 0, 300, 100 };
    RenderGraphicsHTML(*G, call);
    G->EndScene();
    EXPECT_TRUE(HasInkOf(0));
    EXPECT_TRUE(HasInkOf(2)); // the link colour
    EXPECT_EQ(G->GetFill()->GetColor(), TColor(0x123456));
    EXPECT_EQ(G->GetStroke()->GetColor(), TColor(0x654321));
}

TEST_F(GraphicsHTMLRenderTest, PicturesTakeRoomInTheLineOrFloatBesideIt)
{
    struct TSource : TLumGraphicsPictureSource {
        TPicture* FindBitmap(const String& AName) override { return AName == u"pic" ? &Picture : nullptr; }
        TPicture Picture;
    } source;
    TBitmap bitmap;
    bitmap.SetSize(30, 40);
    source.Picture.Assign(&bitmap);
    G->SetPictureContainer(&source);

    const float text = PlainWidth(u"text");
    auto inline_ = Measure(u"<img src=\"pic\">text");
    EXPECT_NEAR(inline_.Width, 30 + 2 + text, 0.5);
    EXPECT_GE(inline_.Height, 40);
    // A floating picture keeps the first line clear of it; a line below its bottom starts at the edge again.
    auto floating = Measure(u"<img src=\"pic\" float=\"left\">text");
    EXPECT_NEAR(floating.Width, 32 + text, 0.5);
    EXPECT_LT(floating.Height, 40);
    auto unknown = Measure(u"<img src=\"other\">text");
    EXPECT_NEAR(unknown.Width, text, 0.5);
}

TEST_F(GraphicsHTMLRenderTest, MalformedMarkupDoesNotRaise)
{
    const char16_t* inputs[] = { u"<b", u"text <font size=\"x\" color=\"#GG\">a</font>", u"</", u"<a href=\"", u"<>",
        u"<img src=\"nothing\">", u"<control type=\"button\">" };
    for (const auto* input : inputs) {
        SCOPED_TRACE(StringToUtf8(input));
        TLumGraphicsHTMLCall call;
        call.Text = input;
        call.Rect = TRectF { 0, 0, 300, 100 };
        EXPECT_NO_THROW(RenderGraphicsHTML(*G, call));
    }
}

} // namespace
