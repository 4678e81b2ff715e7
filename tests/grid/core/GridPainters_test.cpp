#include <gtest/gtest.h>

#include "grid/core/GridPainters.h"

using namespace VuzEraz;

namespace {

constexpr TColor White = 0xFFFFFF;

struct Surface {
    TBitmap Bitmap;
    Surface(int w, int h)
    {
        Bitmap.SetSize(w, h);
        FillRectColor(Canvas(), TRect(0, 0, w, h), White);
    }
    TCanvas* Canvas() { return Bitmap.GetCanvas(); }
    TColor At(int x, int y) { return Canvas()->GetPixel(x, y) & 0xFFFFFF; }
};

} // namespace

TEST(GridPainters, FillGradientRectBands)
{
    // More steps than pixels: one band per pixel, from the first colour to the last.
    Surface s(4, 10);
    FillGradientRect(s.Canvas(), 0x000000, 0x0000FF, 16, TRect(0, 0, 4, 10), false);
    EXPECT_EQ(s.At(1, 0), TColor(0x000000));
    EXPECT_EQ(s.At(1, 9), TColor(0x0000FF));
    for (int y = 1; y < 10; ++y) {
        SCOPED_TRACE(y);
        EXPECT_GT(s.At(1, y), s.At(1, y - 1));
    }

    // Horizontal, 80 steps over 40 pixels: red rises left to right.
    Surface h(40, 3);
    FillGradientRect(h.Canvas(), 0x000000, 0x0000FF, 80, TRect(0, 0, 40, 3), true);
    EXPECT_EQ(h.At(0, 1), TColor(0));
    EXPECT_EQ(h.At(39, 1), TColor(0x0000FF));
    EXPECT_LT(h.At(10, 1), h.At(30, 1));

    // One colour missing: a solid rectangle of the other; a swapped rectangle still fills.
    Surface n(6, 6);
    FillGradientRect(n.Canvas(), 0x00FF00, clNone, 16, TRect(0, 6, 6, 0), false);
    EXPECT_EQ(n.At(0, 0), TColor(0x00FF00));
    EXPECT_EQ(n.At(5, 5), TColor(0x00FF00));
}

TEST(GridPainters, BlendColorStep)
{
    struct Case {
        TColor from, to;
        int start, end, pos;
        TColor expected;
    };
    const Case cases[] = {
        { 0x000000, 0x0000FF, 0, 100, 50, 0x000080 },   // 127.5 rounds to even 128
        { 0x000000, 0x0000FF, 0, 100, 0, 0x000000 },
        { 0x000000, 0x0000FF, 0, 100, 100, 0x0000FF },
        { 0x102030, clNone, 0, 100, 50, 0x102030 },     // no target colour
        { 0x102030, 0xFFFFFF, 5, 5, 3, 0x102030 },      // empty range: no division by zero
        { 0x000000, 0x0000FF, 0, 10, 30, 0x0000FF },    // beyond the range: clamped, not wrapped into green
        { 0x0000FF, 0x000000, 0, 10, 30, 0x000000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pos);
        EXPECT_EQ(BlendColorStep(c.from, c.to, c.start, c.end, c.pos), c.expected);
    }
}

TEST(GridPainters, ColourHelpers)
{
    EXPECT_EQ(HalveColor(0xFF8041), TColor(0x7F4020));
    EXPECT_EQ(LightenColorPercent(0x6464C8, -10), TColor(0x5A5AB4));
    EXPECT_EQ(LightenColorPercent(0x0A0A0A, -20), TColor(0x080808));
    EXPECT_EQ(LightenColorPercent(0xC8C8C8, 50), TColor(0xFFFFFF)); // clamped per channel
    EXPECT_EQ(HalveColor(clWindow), HalveColor(ColorToRGB(clWindow)));
}

TEST(GridPainters, RoundedSelectionEnds)
{
    const TColor Fill = 0x00FF00, Top = 0x111111, Bottom = 0x222222, Border = 0x0000FF, Corner = 0x333333,
                 Back = 0x444444;
    // Rect 0,0,20,12: L=0 T=0 R=19 B=10.
    Surface both(20, 12);
    DrawRoundedSelection(both.Canvas(), Fill, clNone, clNone, clNone, Top, Bottom, Border, Corner, Back,
        TRect(0, 0, 20, 12), seBoth);
    EXPECT_EQ(both.At(0, 0), Back);
    EXPECT_EQ(both.At(1, 0), Corner);
    EXPECT_EQ(both.At(0, 1), Corner);
    EXPECT_EQ(both.At(0, 10), Back);
    EXPECT_EQ(both.At(18, 0), Back);
    EXPECT_EQ(both.At(17, 9), Corner);
    EXPECT_EQ(both.At(0, 5), Border);  // left side line
    EXPECT_EQ(both.At(18, 5), Border); // right side line
    EXPECT_EQ(both.At(5, 0), Border);
    EXPECT_EQ(both.At(5, 1), Top);
    EXPECT_EQ(both.At(5, 9), Bottom);
    EXPECT_EQ(both.At(8, 5), Fill);

    // No ends: no side lines and no corners; top and bottom lines run over the full width.
    Surface none(20, 12);
    DrawRoundedSelection(none.Canvas(), Fill, clNone, clNone, clNone, Top, Bottom, Border, Corner, Back,
        TRect(0, 0, 20, 12), seNone);
    EXPECT_EQ(none.At(0, 0), Border);
    EXPECT_EQ(none.At(18, 0), Border);
    EXPECT_EQ(none.At(0, 10), Border);
    EXPECT_EQ(none.At(0, 5), Fill);
    for (int y = 0; y < 12; ++y)
        EXPECT_NE(none.At(0, y), Corner) << y;
}

TEST(GridPainters, RoundedSelectionMirrorGradient)
{
    Surface s(20, 22);
    DrawRoundedSelection(s.Canvas(), 0x000000, 0x000080, 0x008000, 0x00FF00, clWhite, clWhite, clBlack, clBlack,
        clWhite, TRect(0, 0, 20, 22), seNone);
    // Upper half black to dark red, lower half greens.
    EXPECT_EQ(s.At(5, 2), TColor(0));
    EXPECT_EQ(s.At(5, 18) & 0xFF, 0u);
    EXPECT_GE((s.At(5, 18) >> 8) & 0xFF, 0x80u);
}

TEST(GridPainters, GradientBackgroundBorders)
{
    Surface s(10, 10);
    PaintGradientBackground(s.Canvas(), TRect(0, 0, 10, 10), 0x00FF00, clNone, clNone, clNone, true, 0x0000FF, true, true);
    EXPECT_EQ(s.At(0, 5), TColor(0x0000FF));
    EXPECT_EQ(s.At(9, 5), TColor(0x0000FF));
    EXPECT_EQ(s.At(5, 0), TColor(0x00FF00)); // side lines only: no top line
    Surface f(10, 10);
    PaintGradientBackground(f.Canvas(), TRect(0, 0, 10, 10), 0x000000, 0x0000FF, 0x00FF00, 0x00FF00, false, clNone,
        false, true);
    EXPECT_EQ(f.At(0, 5), TColor(0));           // first half starts at Color
    EXPECT_EQ(f.At(8, 5), TColor(0x00FF00));    // second half mirrored
}

TEST(GridPainters, CustomButtons)
{
    TColorTones Tones;
    Tones.Background = { 0x808080, 0x0000FF, 0x00FF00 };
    Tones.Hover = { 0xC0C0C0, 0x0000FF, 0xFFFFFF };

    // Spin arrows are black whatever the tones' text colours are.
    Surface spin(30, 20);
    DrawSpinButtons(spin.Canvas(), nullptr, TRect(0, 0, 30, 20), bkCustom, bsHot, Tones, 1.0);
    const int L = 30 - 15 - 1, T = -1;
    EXPECT_EQ(spin.At(L + 7, T + 4), TColor(0));
    EXPECT_EQ(spin.At(L + 1, T + 2), TColor(0xC0C0C0));

    // Drop button: the tone's brush, the border line and the triangle in the text colour.
    Surface drop(40, 20);
    DrawDropButton(drop.Canvas(), nullptr, TRect(0, 0, 40, 20), bkCustom, bsNormal, Tones, 1.0);
    const int BL = 40 - 16 - 2 + 3;
    EXPECT_EQ(drop.At(BL + 1, 10), TColor(0x0000FF));
    EXPECT_EQ(drop.At(BL + 8, 1 + 9), TColor(0x00FF00));
    EXPECT_EQ(drop.At(BL + 3, 4), TColor(0x808080));
    EXPECT_EQ(drop.At(5, 5), White);

    // Classic kinds draw a frame over the area (no theme is active).
    Surface classic(40, 20);
    DrawDropButton(classic.Canvas(), nullptr, TRect(0, 0, 40, 20), bkThemed, bsNormal, Tones, 1.0);
    EXPECT_NE(classic.At(30, 10), White);
}

TEST(GridPainters, PushButtonCaption)
{
    TColorTones Tones;
    Tones.Selected = { 0x00FFFF, 0x0000FF, 0 };
    Surface s(60, 24);
    s.Canvas()->GetFont()->SetColor(clBlack);
    DrawPushButton(s.Canvas(), nullptr, TRect(0, 0, 60, 24), bkCustom, bsDown, Tones, false, u"WWW");
    EXPECT_EQ(s.At(0, 0), TColor(0x0000FF));
    EXPECT_EQ(s.At(2, 2), TColor(0x00FFFF));
    bool Ink = false;
    for (int x = 20; x < 40; ++x)
        for (int y = 6; y < 18; ++y)
            Ink |= s.At(x, y) != TColor(0x00FFFF);
    EXPECT_TRUE(Ink);
}
