#include <gtest/gtest.h>

#include <memory>

#include "graphics/LumGraphics.h"
#include "graphics/LumBitmap.h"
#include "graphics/LumGraphicsDefaults.h"
#include "platform/rtl/MathUtils.h"

namespace {

constexpr TColor Background = 0x00FF00;
constexpr TColor Red = 0x0000FF;
constexpr TColor Blue = 0xFF0000;

// A drawing object on its own 60x60 bitmap through the plain GDI context,
// cleared to green.
class GraphicsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        G = TLumGraphics::CreateBitmapCanvas(60, 60, false, false);
        Clear();
        G->BeginScene();
    }
    void TearDown() override { G->EndScene(); }

    void Clear()
    {
        // The plain context keeps its fill in the canvas brush: put it back.
        TCanvas* c = G->GetCanvas();
        const TColor brush = c->GetBrush()->GetColor();
        c->GetBrush()->SetColor(Background);
        c->FillRect(Rect(0, 0, 60, 60));
        c->GetBrush()->SetColor(brush);
    }
    TColor Pixel(int x, int y) { return G->GetCanvas()->GetPixel(x, y) & 0xFFFFFF; }
    int CountPixels(TColor AColor)
    {
        int n = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                n += Pixel(x, y) == AColor;
        return n;
    }

    std::unique_ptr<TLumGraphics> G;
};

TEST_F(GraphicsTest, NewObjectHasTheStartStateInItsContext)
{
    EXPECT_EQ(G->GetFill()->GetKind(), gfkSolid);
    EXPECT_EQ(G->GetFill()->GetColor(), 0xFFFFFF);
    EXPECT_EQ(G->GetFill()->GetColorTo(), 0x808080);
    EXPECT_EQ(G->GetStroke()->GetColor(), 0xC0C0C0);
    EXPECT_EQ(G->GetContext()->GetFillColor(), 0xFFFFFF);
    EXPECT_EQ(G->GetURLColor(), 0xFF0000);
    EXPECT_TRUE(G->GetURLUnderline());
    // The bitmap-canvas form leaves the highlight colours at 0.
    EXPECT_EQ(G->GetHighlightColor(), 0);
    EXPECT_EQ(G->GetHighlightTextColor(), 0);
    ASSERT_NE(G->GetBitmap(), nullptr);
    EXPECT_EQ(G->GetCanvas(), G->GetBitmap()->GetCanvas());

    TLumGraphics onCanvas(G->GetCanvas(), false);
    EXPECT_EQ(onCanvas.GetHighlightColor(), 0xFF0000);
    EXPECT_EQ(onCanvas.GetHighlightTextColor(), 0xFFFFFF);
}

TEST_F(GraphicsTest, FillAndOutlineAreDrawnOnlyWhenVisible)
{
    struct Case {
        const char* name;
        TLumGraphicsFillKind fillKind;
        TColor fillColor;
        TLumGraphicsStrokeKind strokeKind;
        TColor strokeColor;
        TColor inside;
        TColor border;
    };
    const Case cases[] = {
        { "both", gfkSolid, Red, gskSolid, Blue, Red, Blue },
        { "fill without colour", gfkSolid, gcNull, gskSolid, Blue, Background, Blue },
        { "gradient without colour", gfkGradient, gcNull, gskSolid, Blue, Background, Blue },
        { "fill kind none", gfkNone, Red, gskSolid, Blue, Background, Blue },
        { "stroke kind none", gfkSolid, Red, gskNone, Blue, Red, Red },
        { "stroke without colour", gfkSolid, Red, gskSolid, gcNull, Red, Red },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        G->SetFillKind(c.fillKind);
        G->SetFillColor(c.fillColor);
        G->GetFill()->SetColorTo(c.fillColor);
        G->SetStrokeKind(c.strokeKind);
        G->SetStrokeColor(c.strokeColor);
        G->DrawRectangle(Rect(10, 10, 30, 30));
        EXPECT_EQ(Pixel(20, 20), c.inside);
        EXPECT_EQ(Pixel(10, 20), c.border);
        EXPECT_EQ(Pixel(40, 40), Background);
    }
}

TEST_F(GraphicsTest, InvisibleStrokeDrawsNoLineAndOneSideStillFillsAll)
{
    G->SetStrokeKind(gskNone);
    G->SetStrokeColor(Blue);
    G->DrawLine(Point(0, 5), Point(59, 5));
    EXPECT_EQ(CountPixels(Background), 60 * 60);

    G->SetStrokeKind(gskSolid);
    G->SetFillColor(Red);
    G->DrawRectangle(Rect(10, 10, 30, 30), TLumGraphicsSides { gsTop });
    EXPECT_EQ(Pixel(20, 10), Blue);
    EXPECT_EQ(Pixel(10, 20), Red) << "no left side, but the fill covers it";
    EXPECT_EQ(Pixel(20, 28), Red) << "no bottom side, but the fill covers it";
}

TEST_F(GraphicsTest, IntegerClipMatchesFloatClip)
{
    G->SetFillColor(Red);
    G->SetStrokeColor(Blue);
    auto state = G->SaveState(true);
    G->ClipRect(Rect(10, 10, 20, 20));
    G->DrawRectangle(0, 0, 60, 60);
    G->RestoreState(std::move(state), true);
    const int clippedInt = CountPixels(Red) + CountPixels(Blue);
    Clear();
    state = G->SaveState(true);
    G->ClipRect(TRectF(10, 10, 20, 20));
    G->DrawRectangle(0, 0, 60, 60);
    G->RestoreState(std::move(state), true);
    EXPECT_EQ(CountPixels(Red) + CountPixels(Blue), clippedInt);
    EXPECT_EQ(clippedInt, 100);
    // Restoring the canvas state lifts the clip.
    G->DrawRectangle(0, 0, 60, 60);
    EXPECT_EQ(Pixel(40, 40), Red);
}

TEST_F(GraphicsTest, OwnedObjectsAndSettersKeepTheContextEqual)
{
    G->GetFill()->SetColor(Red);
    EXPECT_EQ(G->GetContext()->GetFillColor(), Red);
    G->SetFillColor(Blue);
    EXPECT_EQ(G->GetFill()->GetColor(), Blue);
    EXPECT_EQ(G->GetContext()->GetFillColor(), Blue);

    // The fill's echo never assigns the fill from itself: gradient stops survive.
    G->GetFill()->AddGradientItem(Red, 0.5f, 1);
    G->GetFill()->SetColorTo(Blue);
    ASSERT_NE(G->GetFill()->GetGradientItems(), nullptr);
    EXPECT_EQ(G->GetFill()->GetGradientItems()->GetCount(), 1);

    TLumGraphicsFill other(gfkSolid, Red);
    G->SetFill(&other);
    EXPECT_EQ(G->GetFill()->GetColor(), Red);
    G->SetFontColor(Blue);
    G->SetFontSize(17);
    EXPECT_EQ(G->GetFont()->GetColor(), Blue);
    EXPECT_EQ(G->GetFont()->GetSize(), 17);

    auto copy = TLumGraphics::CreateBitmapCanvas(4, 4, false, false);
    copy->Assign(G.get());
    EXPECT_EQ(copy->GetFill()->GetColor(), Red);
    EXPECT_EQ(copy->GetContext()->GetFillColor(), Red);
    EXPECT_EQ(copy->GetFont()->GetSize(), 17);
    copy->Assign(nullptr);
}

TEST_F(GraphicsTest, RestoreStateBringsBackOrKeepsTheState)
{
    for (bool canvasOnly : { false, true }) {
        SCOPED_TRACE(canvasOnly ? "canvas only" : "whole state");
        G->SetFillColor(Red);
        G->SetStrokeColor(Blue);
        G->SetFontName(u"Arial");
        auto state = G->SaveState(canvasOnly);
        G->SetFillColor(0x123456);
        G->SetStrokeColor(0x654321);
        G->SetFontName(u"Courier New");
        G->RestoreState(std::move(state), canvasOnly);
        EXPECT_EQ(G->GetFill()->GetColor(), canvasOnly ? 0x123456 : Red);
        EXPECT_EQ(G->GetContext()->GetFillColor(), canvasOnly ? 0x123456 : Red);
        EXPECT_EQ(G->GetStroke()->GetColor(), canvasOnly ? 0x654321 : Blue);
        EXPECT_EQ(G->GetFont()->GetName(), canvasOnly ? u"Courier New" : u"Arial");
    }
    G->RestoreState(nullptr);
}

TEST(GraphicsColors, HTMLToColor)
{
    struct Case {
        const char16_t* text;
        TColor color;
    };
    const Case cases[] = {
        { u"", gcNull },
        { u"#F80", MakeRGBColor(0xFF, 0x88, 0x00) },
        { u"#FF8000", MakeRGBColor(0xFF, 0x80, 0x00) },
        { u"#00ff7f", MakeRGBColor(0x00, 0xFF, 0x7F) },
        { u"#123456", MakeRGBColor(0x12, 0x34, 0x56) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        EXPECT_EQ(TLumGraphics::HTMLToColor(c.text), c.color);
    }
    for (const char16_t* bad : { u"#GG0000", u"#-10000", u"#12", u"#1 2345" }) {
        SCOPED_TRACE(StringToUtf8(bad));
        EXPECT_THROW(TLumGraphics::HTMLToColor(bad), EConvertError);
    }
}

TEST(GraphicsColors, ColorToHTMLAndChannelsResolveSystemColours)
{
    EXPECT_EQ(TLumGraphics::ColorToHTML(MakeRGBColor(0x12, 0xAB, 0xF0)), u"#12ABF0");
    const TColor face = ColorToRGB(clBtnFace);
    EXPECT_EQ(TLumGraphics::ColorToHTML(clBtnFace), TLumGraphics::ColorToHTML(face));
    EXPECT_EQ(TLumGraphics::GetColorRed(clBtnFace), face & 0xFF);
    EXPECT_EQ(TLumGraphics::GetColorGreen(MakeRGBColor(1, 2, 3)), 2);
    EXPECT_EQ(TLumGraphics::GetColorBlue(MakeRGBColor(1, 2, 3)), 3);
    EXPECT_EQ(TLumGraphics::HTMLToColor(TLumGraphics::ColorToHTML(0x0A0B0C)), 0x0A0B0C);
}

TEST(GraphicsColors, TextToColorStripsPrefixes)
{
    const TColor red = TLumGraphics::TextToColor(u"red");
    EXPECT_NE(red, 0);
    for (const char16_t* name : { u"clRed", u"Red", u"gcred", u"RED" })
        EXPECT_EQ(TLumGraphics::TextToColor(name), red) << StringToUtf8(name);
    EXPECT_EQ(TLumGraphics::TextToColor(u"nosuchcolour"), 0);
    EXPECT_EQ(TLumGraphics::TextToColor(u""), 0);
}

TEST(GraphicsHitTests, PointsOnEdgesAndDegenerateShapes)
{
    struct Case {
        TPointF point;
        bool inRect;
    };
    const Case cases[] = {
        { { 0, 0 }, true }, { { 9.99f, 9.99f }, true }, { { 10, 5 }, false }, { { 5, 10 }, false },
        { { -0.01f, 5 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.point.X << "," << c.point.Y);
        EXPECT_EQ(TLumGraphics::PointInRect(c.point, TRectF(0, 0, 10, 10)), c.inRect);
    }
    EXPECT_FALSE(TLumGraphics::PointInRect(Point(10, 0), Rect(0, 0, 10, 10)));
    EXPECT_TRUE(TLumGraphics::PointInRect(Point(9, 9), Rect(0, 0, 10, 10)));

    EXPECT_FALSE(TLumGraphics::PointInCircle({ 0, 0 }, { 0, 0 }, 0));
    EXPECT_FALSE(TLumGraphics::PointInCircle({ 0, 0 }, { 0, 0 }, -1));
    EXPECT_TRUE(TLumGraphics::PointInCircle({ 3, 4 }, { 0, 0 }, 5));
    EXPECT_FALSE(TLumGraphics::PointInCircle({ 3, 4.1f }, { 0, 0 }, 5));

    const TLumGraphicsPathPolygon triangle { { 0, 0 }, { 10, 0 }, { 0, 10 } };
    EXPECT_TRUE(TLumGraphics::PointInPolygon(Point(2, 2), triangle));
    EXPECT_FALSE(TLumGraphics::PointInPolygon(Point(8, 8), triangle));
    TLumGraphicsPath path;
    path.AddPolygon(triangle);
    EXPECT_TRUE(TLumGraphics::PointInPath(Point(2, 2), &path));
    EXPECT_FALSE(TLumGraphics::PointInPath(Point(2, 2), nullptr));
}

} // namespace

namespace {

// Text through the plain GDI context; the ink is every pixel that is not the
// background.
class GraphicsTextTest : public GraphicsTest {
protected:
    TRect Ink()
    {
        TRect box { 60, 60, 0, 0 };
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 60; ++x)
                if (Pixel(x, y) != Background) {
                    box.Left = std::min(box.Left, x);
                    box.Top = std::min(box.Top, y);
                    box.Right = std::max(box.Right, x + 1);
                    box.Bottom = std::max(box.Bottom, y + 1);
                }
        return box;
    }
    void SetUp() override
    {
        GraphicsTest::SetUp();
        G->SetFontName(u"Arial");
        G->SetFontSize(10);
        G->SetFontColor(0);
    }
};

TEST_F(GraphicsTextTest, MeasuringEdgeCases)
{
    EXPECT_EQ(G->CalculateText(u""), TRectF(0, 0, 0, 0));
    EXPECT_EQ(G->CalculateTextHeight(u"abc", TRectF(5, 5, 5.4f, 100)), 0);
    EXPECT_EQ(G->CalculateTextHeight(u"abc", TRectF(5, 5, 3, 100)), 0);

    const TRectF own = G->GetContext()->CalculateText(u"Some text", TRectF(0, 0, 10000, 10000), false);
    const TRectF r = G->CalculateText(u"Some text");
    EXPECT_EQ(r.Bottom, own.Bottom + 1);
    EXPECT_EQ(r.Right, own.Right);
    EXPECT_EQ(G->CalculateTextInt(u"Some text"),
        Rect(RoundToInt(r.Left), RoundToInt(r.Top), RoundToInt(r.Right), RoundToInt(r.Bottom)));
    EXPECT_EQ(G->CalculateTextWidth(u"Some text", Rect(0, 0, 10000, 10000)), RoundToInt(r.Width()));
}

TEST_F(GraphicsTextTest, NativeContextMeasuresPlainTextOnePixelTaller)
{
    auto native = TLumGraphics::CreateBitmapCanvas(100, 100, true, false);
    native->BeginScene();
    const TRectF own = native->GetContext()->CalculateText(u"Some text", TRectF(0, 0, 10000, 10000), false);
    EXPECT_EQ(native->CalculateText(u"Some text").Bottom, own.Bottom + 1);
    native->EndScene();
}

TEST_F(GraphicsTextTest, OptimizedLineBreaksMeasureLineByLine)
{
    const float first = G->CalculateTextHeight(u"first");
    const float second = G->CalculateTextHeight(u"second");
    G->SetOptimizedHTMLDrawing(true);
    for (const char16_t* text : { u"first<BR/>second", u"first<br/>second" }) {
        SCOPED_TRACE(StringToUtf8(text));
        const TRectF r = G->CalculateText(text, TRectF(3, 4, 300, 300));
        EXPECT_EQ(r.Top, 4);
        EXPECT_EQ(r.Right, 300) << "left and right stay those of the rectangle";
        EXPECT_FLOAT_EQ(r.Height(), first + second);
    }
    Clear();
    G->DrawText(TRectF(0, 0, 60, 60), u"ab<BR/>cd", false, gtaLeading, gtaLeading);
    const TRect two = Ink();
    Clear();
    G->DrawText(TRectF(0, 0, 60, 60), u"ab", false, gtaLeading, gtaLeading);
    const TRect one = Ink();
    EXPECT_GT(two.Bottom, one.Bottom + 5) << "the second line is drawn below the first";
}

TEST_F(GraphicsTextTest, PlacementMinimumSizeAndPlainMarkup)
{
    struct Case {
        const char* name;
        const char16_t* text;
        TRectF rect;
        float minHeight;
        bool html;
        int centreY;
    };
    const Case cases[] = {
        { "plain centred", u"Hg", { 0, 0, 60, 60 }, -1, true, 30 },
        { "markup centred", u"<b>Hg</b>", { 0, 0, 60, 60 }, -1, true, 30 },
        { "plain, minimum height", u"Hg", { 0, 0, 60, 20 }, 50, true, 25 },
        { "markup, minimum height", u"<b>Hg</b>", { 0, 0, 60, 20 }, 50, true, 25 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        G->DrawText(c.rect, c.text, false, gtaCenter, gtaCenter, gttNone, 0, -1, c.minHeight, c.html);
        const TRect ink = Ink();
        ASSERT_GT(ink.Right, ink.Left);
        EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 30, 3);
        EXPECT_NEAR((ink.Top + ink.Bottom) / 2.0, c.centreY, 3);
    }
    // Without markup support the tags are text.
    Clear();
    G->DrawText(TRectF(0, 0, 60, 60), u"<b>x</b>", false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, false);
    const TRect tags = Ink();
    Clear();
    G->DrawText(TRectF(0, 0, 60, 60), u"<b>x</b>", false, gtaLeading, gtaLeading);
    EXPECT_GT(tags.Width(), Ink().Width() + 10);
}

TEST_F(GraphicsTextTest, DrawingKeepsTheFillColourAndTestingAnchorsDrawsNoPlainText)
{
    G->SetFillColor(0x123456);
    G->SetFontColor(Red);
    for (const char16_t* text : { u"plain", u"<b>bold</b>" }) {
        SCOPED_TRACE(StringToUtf8(text));
        G->DrawText(TRectF(0, 0, 60, 60), text);
        EXPECT_EQ(G->GetContext()->GetFillColor(), 0x123456);
    }
    Clear();
    EXPECT_EQ(G->DrawText(TRectF(0, 0, 60, 60), u"plain", false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, true,
                  true, 5, 5),
        u"");
    EXPECT_EQ(CountPixels(Background), 60 * 60);

    const String link = u"<a href=\"target\">link</a>";
    const float w = G->CalculateTextWidth(u"link");
    String id, value, type;
    EXPECT_EQ(G->DrawText(TRectF(0, 0, 60, 60), link, id, value, type, false, gtaLeading, gtaLeading, gttNone, 0, -1,
                  -1, true, true, w / 2, 5),
        u"target");
    EXPECT_EQ(G->DrawText(TRectF(0, 0, 60, 60), link, false, gtaLeading, gtaLeading, gttNone, 0, -1, -1, true, true,
                  w + 20, 5),
        u"");
    EXPECT_EQ(G->GetContext()->GetFillColor(), 0x123456);
}

} // namespace

namespace {

TEST_F(GraphicsTest, TextureFillsStayInsideTheShapeRectangle)
{
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    bitmap.GetCanvas()->GetBrush()->SetColor(Blue);
    bitmap.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
    TLumBitmap texture;
    texture.Assign(&bitmap);

    struct Case {
        const char* name;
        TLumGraphicsTextureMode mode;
        int blue;
        TPoint inside;
    };
    // The rectangle (5, 5, 35, 40) is three tiles wide and three and a half high.
    const Case cases[] = {
        { "original", gtmOriginal, 100, { 5, 5 } },
        { "stretch", gtmStretch, 30 * 35, { 34, 39 } },
        { "fit", gtmFit, 30 * 30, { 20, 20 } },
        { "center", gtmCenter, 100, { 20, 22 } },
        { "tile", gtmTile, 30 * 35, { 34, 39 } },
    };
    G->SetStrokeKind(gskNone);
    G->GetFill()->SetTexture(&texture);
    G->SetFillKind(gfkTexture);
    G->SetFillColor(gcNull);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        G->GetFill()->SetTextureMode(c.mode);
        G->DrawRectangle(TRectF(5, 5, 35, 40));
        EXPECT_EQ(CountPixels(Blue), c.blue);
        EXPECT_EQ(Pixel(c.inside.X, c.inside.Y), Blue);
        EXPECT_EQ(Pixel(10, 42), Background);
        EXPECT_EQ(Pixel(37, 10), Background);
    }

    // An arc draws its texture only when the fill has a colour.
    G->GetFill()->SetTextureMode(gtmStretch);
    Clear();
    G->DrawArc(TPointF(20, 20), TPointF(10, 10), 0, 90);
    EXPECT_EQ(CountPixels(Blue), 0);
    G->SetFillColor(Red);
    G->DrawArc(TPointF(20, 20), TPointF(10, 10), 0, 90);
    EXPECT_GT(CountPixels(Blue), 0);
}

} // namespace

namespace {

TEST_F(GraphicsTest, JSONCarriesStateAndMarkupSettings)
{
    G->SetHighlightColor(0x112233);
    G->SetURLUnderline(false);
    G->SetFillColor(Red);
    G->SetStrokeWidth(3);
    const String json = G->GetJSON();
    auto other = TLumGraphics::CreateBitmapCanvas(4, 4, false, false);
    other->SetJSON(json);
    EXPECT_EQ(other->GetHighlightColor(), 0x112233);
    EXPECT_FALSE(other->GetURLUnderline());
    EXPECT_EQ(other->GetFill()->GetColor(), Red);
    EXPECT_EQ(other->GetContext()->GetFillColor(), Red) << "loading reaches the context";
    EXPECT_EQ(other->GetStroke()->GetWidth(), 3);
}

} // namespace

namespace {

TEST_F(GraphicsTest, PolygonsAndPathsFollowTheSameVisibilityAndIgnoreMissingPaths)
{
    const TLumGraphicsPathPolygon square { { 10, 10 }, { 40, 10 }, { 40, 40 }, { 10, 40 } };
    G->SetStrokeColor(Blue);
    G->SetFillColor(gcNull);
    G->DrawPolygon(square);
    EXPECT_EQ(Pixel(25, 25), Background);
    EXPECT_EQ(Pixel(10, 25), Blue);

    Clear();
    G->SetFillColor(Red);
    G->SetStrokeKind(gskNone);
    TLumGraphicsPath path;
    path.AddPolygon(square);
    G->DrawPath(&path, pdmPolygon);
    EXPECT_EQ(Pixel(25, 25), Red);
    EXPECT_EQ(CountPixels(Blue), 0);

    Clear();
    G->DrawPath(nullptr);
    G->DrawFocusPath(nullptr, Blue);
    EXPECT_EQ(CountPixels(Background), 60 * 60);
}

} // namespace
