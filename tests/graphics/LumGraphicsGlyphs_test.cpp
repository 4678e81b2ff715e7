#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "graphics/LumGraphics.h"
#include "graphics/LumGraphicsDefaults.h"
#include "graphics/LumSVGParser.h"
#include "tests/platform/gdi/PixelProbe.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr TColor Glyph = 0x008000;
constexpr TColor Face = 0xF0E0D0;
constexpr TColor Border = 0x404040;

class GraphicsGlyphsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Canvas.SetHandle(Dc.DC);
        G = std::make_unique<TLumGraphics>(&Canvas, false);
        G->BeginScene();
        m_savedGlyph = DefaultGlyphColor;
        m_savedFill = DefaultButtonFillColor;
        m_savedStroke = DefaultButtonStrokeColor;
        DefaultGlyphColor = Glyph;
        DefaultButtonFillColor = Face;
        DefaultButtonStrokeColor = Border;
    }
    void TearDown() override
    {
        G.reset();
        Canvas.SetHandle(nullptr);
        // Other tests of this program see the process's defaults as they were.
        DefaultGlyphColor = m_savedGlyph;
        DefaultButtonFillColor = m_savedFill;
        DefaultButtonStrokeColor = m_savedStroke;
    }
    TColor m_savedGlyph { 0 };
    TColor m_savedFill { 0 };
    TColor m_savedStroke { 0 };
    // Bounding box of the pixels in AColor after the scene ends.
    RECT ColorBox(TColor AColor)
    {
        return InkBox([AColor](COLORREF c) { return c == COLORREF(AColor); });
    }
    RECT InkBox(const std::function<bool(COLORREF)>& AIsInk)
    {
        G->EndScene();
        RECT r { Dc.W, Dc.H, 0, 0 };
        for (int y = 0; y < Dc.H; ++y)
            for (int x = 0; x < Dc.W; ++x)
                if (AIsInk(Dc.At(x, y))) {
                    r.Left = std::min(r.Left, x);
                    r.Top = std::min(r.Top, y);
                    r.Right = std::max(r.Right, x + 1);
                    r.Bottom = std::max(r.Bottom, y + 1);
                }
        return r;
    }

    TMemDC Dc { 120, 60 };
    TCanvas Canvas;
    std::unique_ptr<TLumGraphics> G;
};

struct ButtonCase {
    const char* Name;
    bool Down, Focused, Enabled, Adapt;
    TColor Outer, Inner, Fill;
};

TEST_F(GraphicsGlyphsTest, ButtonColoursFollowTheState)
{
    const TColor focusStroke = MakeRGBColor(60, 127, 177), focusFill = MakeRGBColor(229, 241, 251);
    const TColor normalFill = MakeRGBColor(225, 225, 225);
    const ButtonCase cases[] = {
        { "normal", false, false, true, false, 0xA9A9A9, normalFill, normalFill },
        { "focused", false, true, true, false, focusStroke, focusFill, focusFill },
        { "disabled ignores focus", false, true, false, false, 0xA9A9A9, 0xD3D3D3, 0xD3D3D3 },
        { "pressed", true, false, true, false, 0xA9A9A9, LightenColor(0xA9A9A9, 40), normalFill },
        { "style colours", false, false, true, true, Border, Face, Face },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        G->DrawButton(TRectF { 0, 0, 40, 20 }, c.Down, c.Focused, c.Enabled, c.Adapt);
        G->EndScene();
        EXPECT_EQ(Dc.At(0, 0), COLORREF(c.Outer));
        EXPECT_EQ(Dc.At(39, 19), COLORREF(c.Outer));
        EXPECT_EQ(Dc.At(1, 1), COLORREF(c.Inner));
        EXPECT_EQ(Dc.At(38, 10), COLORREF(c.Inner));
        EXPECT_EQ(Dc.At(20, 10), COLORREF(c.Fill));
        G->BeginScene();
    }
}

TEST_F(GraphicsGlyphsTest, CheckBoxCrossIsInsetByAFifth)
{
    const TColor box = LightenColor(0xD3D3D3, 85);
    G->DrawCheckBox(TRectF { 0, 0, 22, 22 }, false, false, true);
    G->EndScene();
    EXPECT_EQ(Dc.At(1, 10), RGB(0, 0, 0));
    EXPECT_EQ(Dc.At(11, 11), COLORREF(box));
    EXPECT_EQ(Dc.At(6, 6), COLORREF(box));

    G->BeginScene();
    G->DrawCheckBox(TRectF { 0, 0, 22, 22 }, true, true, true);
    RECT mark = ColorBox(0xB48246);
    // The box outline spans 1..20; the cross keeps a fifth of the 20-pixel box (4) clear on each side.
    EXPECT_EQ(mark.Left, 1);
    EXPECT_EQ(Dc.At(11, 11), COLORREF(0xB48246));
    EXPECT_EQ(Dc.At(3, 3), COLORREF(box));
    EXPECT_EQ(Dc.At(18, 18), COLORREF(box));
    EXPECT_EQ(Dc.At(5, 5), COLORREF(0xB48246));
}

TEST_F(GraphicsGlyphsTest, RadioButtonDotOnlyWhenChecked)
{
    const TColor box = LightenColor(0xD3D3D3, 85);
    G->DrawRadioButton(TRectF { 0, 0, 22, 22 }, false, false, true);
    G->EndScene();
    EXPECT_EQ(Dc.At(11, 11), COLORREF(box));
    G->BeginScene();
    G->DrawRadioButton(TRectF { 0, 0, 22, 22 }, true, false, false);
    G->EndScene();
    EXPECT_EQ(Dc.At(11, 11), COLORREF(0xA9A9A9));
}

struct ProgressCase {
    const char* Name;
    float Value, Max;
    bool BarAtMiddle, BarAtEnd;
};

TEST_F(GraphicsGlyphsTest, ProgressBarIsLimitedToItsRange)
{
    constexpr TColor bar = 0x00C000;
    const ProgressCase cases[] = {
        { "over the maximum: full", 150, 100, true, true },
        { "half", 50, 100, true, false },
        { "negative: empty", -5, 100, false, false },
        { "no maximum: frame only", 50, 0, false, false },
        { "not a number: empty", NAN, 100, false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        G->DrawProgressBar(TRectF { 0, 0, 100, 20 }, c.Value, u"%.0f%%", c.Max, bar, 0, false);
        G->EndScene();
        EXPECT_EQ(Dc.At(0, 0), COLORREF(0xA9A9A9));
        EXPECT_EQ(Dc.At(30, 10) == COLORREF(bar), c.BarAtMiddle);
        EXPECT_EQ(Dc.At(97, 10) == COLORREF(bar), c.BarAtEnd);
        G->BeginScene();
    }
}

TEST_F(GraphicsGlyphsTest, ProgressBarTextShowsThePercentage)
{
    G->GetFont()->SetColor(0x123456);
    G->DrawProgressBar(TRectF { 0, 0, 100, 30 }, 150, u"%.0f%%", 100, 0xFFFFFF, 0x0000FF, true);
    // Smoothed text: strong red, weak green and blue.
    RECT text = InkBox([](COLORREF c) { return (c & 0xFF) > 200 && ((c >> 8) & 0xFF) < 80 && ((c >> 16) & 0xFF) < 80; });
    EXPECT_GT(text.Right, text.Left);
    EXPECT_LT(std::abs((text.Left + text.Right) / 2 - 50), 6);
    EXPECT_EQ(G->GetFont()->GetColor(), TColor(0x123456));
}

TEST_F(GraphicsGlyphsTest, DropDownGlyphSitsRightUnlessCentred)
{
    G->DrawDropDownButton(TRectF { 0, 0, 100, 20 }, false, false, true, false, true);
    RECT right = ColorBox(Glyph);
    EXPECT_GE(right.Left, 83);
    EXPECT_LE(right.Right, 100);

    G->BeginScene();
    G->DrawDropDownButton(TRectF { 0, 0, 100, 20 }, false, false, true, true, true);
    RECT centre = ColorBox(Glyph);
    EXPECT_GE(centre.Left, 44);
    EXPECT_LE(centre.Right, 56);
}

TEST_F(GraphicsGlyphsTest, CloseGlyphScalesWithTheFactorAndKeepsTheFaceAroundIt)
{
    G->DrawCloseButton(TRectF { 0, 0, 40, 40 }, false, false, true, true, 1.0f);
    RECT small = ColorBox(Glyph);
    // The glyph's white background is transparent: the face shows around the cross.
    EXPECT_EQ(Dc.At(13, 20), COLORREF(Face));

    G->BeginScene();
    G->DrawCloseButton(TRectF { 0, 0, 40, 40 }, false, false, true, true, 1.5f);
    RECT large = ColorBox(Glyph);
    const int smallWidth = small.Right - small.Left, largeWidth = large.Right - large.Left;
    EXPECT_GE(smallWidth, 9);
    EXPECT_GE(largeWidth, smallWidth + 4);
    // A 24-pixel glyph centred in the 40-pixel button.
    EXPECT_GE(large.Left, 8);
    EXPECT_LE(large.Right, 32);
    EXPECT_EQ(Dc.At(20, 8), COLORREF(Face));
}

TEST_F(GraphicsGlyphsTest, ExpanderAndCompactGlyphsPointTheirWay)
{
    struct Case {
        const char* Name;
        std::function<void()> Draw;
        bool Wide;      // wider than high
        bool InkAtTop;  // for wide glyphs: the point is at the bottom when false
    };
    const TRectF r { 0, 0, 40, 40 };
    const Case cases[] = {
        { "down", [&] { G->DrawExpanderButton(r, gesCollapsed); }, true, false },
        { "up", [&] { G->DrawExpanderButton(r, gesExpanded); }, true, true },
        { "right", [&] { G->DrawCompactButton(r, gcsCollapsed); }, false, false },
        { "left", [&] { G->DrawCompactButton(r, gcsExpanded); }, false, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Draw();
        RECT box = ColorBox(Glyph);
        ASSERT_GT(box.Right, box.Left);
        EXPECT_EQ(box.Right - box.Left > box.Bottom - box.Top, c.Wide);
        const int midX = (box.Left + box.Right) / 2, midY = (box.Top + box.Bottom) / 2;
        // The tip lies on the glyph's middle line at one end.
        const bool tipFirst = c.Wide ? Dc.At(midX, box.Top) == COLORREF(Glyph) : Dc.At(box.Left, midY) == COLORREF(Glyph);
        EXPECT_EQ(tipFirst, c.InkAtTop);
        G->BeginScene();
    }
}

TEST_F(GraphicsGlyphsTest, SampleFillsItsRectangleWithTheFrameColour)
{
    G->EndScene();
    TLumGraphics::DrawSample(&Canvas, TRectF { 10, 10, 110, 50 });
    EXPECT_EQ(Dc.InkBox().Left, 10);
    EXPECT_EQ(Dc.InkBox().Right, 110);
    EXPECT_EQ(Dc.At(10, 30), COLORREF(0x8B0000));
    EXPECT_EQ(Dc.At(5, 5), White);
    G->BeginScene();
}

TEST_F(GraphicsGlyphsTest, WithoutStyleTheEmbeddedSVGGlyphIsDrawnInTheButton)
{
    RegisterLumGraphicsSVGImport();
    // The embedded glyphs draw in dark gray.
    auto isGlyph = [](COLORREF c) { return (c & 0xFF) < 0x90 && ((c >> 8) & 0xFF) < 0x90 && ((c >> 16) & 0xFF) < 0x90; };
    G->DrawCloseButton(TRectF { 0, 0, 40, 40 }, false, false, true, false);
    RECT close = InkBox(isGlyph);
    ASSERT_GT(close.Right, close.Left);
    // Inside the button shrunk by 6 on every side.
    EXPECT_GE(close.Left, 6);
    EXPECT_LE(close.Right, 34);

    const RECT all { 0, 0, Dc.W, Dc.H };
    HBRUSH white = CreateSolidBrush(White);
    FillRect(Dc.DC, &all, white);
    DeleteObject(white);
    G->BeginScene();
    G->DrawDropDownButton(TRectF { 0, 0, 100, 20 }, false, false, true, false, false);
    RECT drop = InkBox(isGlyph);
    ASSERT_GT(drop.Right, drop.Left);
    EXPECT_GE(drop.Left, 84);
    EXPECT_LE(drop.Right, 98);
}

} // namespace
