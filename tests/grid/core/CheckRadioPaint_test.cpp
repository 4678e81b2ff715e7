#include <gtest/gtest.h>

#include "grid/core/CheckRadioPaint.h"
#include "grid/core/GridPainters.h"
#include "platform/rtl/StringList.h"

#include <memory>

using namespace RirEvoz;

namespace {

constexpr TColor White = TColor(0xFFFFFF);

struct Surface {
    std::unique_ptr<TBitmap> Bitmap { std::make_unique<TBitmap>() };
    Surface(int w, int h)
    {
        Bitmap->SetSize(w, h);
        VuzEraz::FillRectColor(Canvas(), TRect(0, 0, w, h), White);
    }
    TCanvas* Canvas() { return Bitmap->GetCanvas(); }
    TColor At(int x, int y) { return Canvas()->GetPixel(x, y) & 0xFFFFFF; }
    bool SameAs(Surface&& o) { return SameAs(o); }
    bool SameAs(Surface& o)
    {
        for (int y = 0; y < Bitmap->GetHeight(); ++y)
            for (int x = 0; x < Bitmap->GetWidth(); ++x)
                if (At(x, y) != o.At(x, y))
                    return false;
        return true;
    }
};

class CheckRadio : public ::testing::Test {
protected:
    void SetUp() override { context.Look = &look; }
    Surface Box(RirEvoz::TControlStyle style, bool checked, bool enabled, TCheckBoxState state = cbUnchecked,
        bool triState = false)
    {
        Surface s(24, 24);
        DrawCellCheckBox(s.Canvas(), context, TRect(2, 2, 22, 22), checked, state, triState, style, false, enabled);
        return s;
    }
    TControlLook look;
    TCheckRadioContext context;
};

} // namespace

TEST_F(CheckRadio, ThemeLookFallsBackToClassicWithoutThemes)
{
    for (const bool checked : { false, true }) {
        Surface themed = Box(csTheme, checked, true);
        Surface classic = Box(csClassic, checked, true);
        EXPECT_TRUE(themed.SameAs(classic)) << checked;
        EXPECT_FALSE(classic.SameAs(Surface(24, 24))) << "something was drawn";
    }
    // Checked, unchecked, flat and disabled boxes all look different.
    Surface on = Box(csClassic, true, true), off = Box(csClassic, false, true);
    Surface flat = Box(csFlat, true, true), disabled = Box(csClassic, true, false);
    EXPECT_FALSE(on.SameAs(off));
    EXPECT_FALSE(on.SameAs(flat));
    EXPECT_FALSE(on.SameAs(disabled));
    // Three states: grayed differs from both.
    Surface grayed = Box(csClassic, false, true, cbGrayed, true);
    EXPECT_FALSE(grayed.SameAs(on));
    EXPECT_FALSE(grayed.SameAs(off));
    Surface triChecked = Box(csClassic, false, true, cbChecked, true);
    EXPECT_TRUE(triChecked.SameAs(on));
}

TEST_F(CheckRadio, AlwaysActiveDrawsTheEnabledLook)
{
    for (const RirEvoz::TControlStyle style : { csClassic, csZID, csWinXP, csKestrel }) {
        SCOPED_TRACE(int(style));
        look.SetCheckAlwaysActive(false);
        Surface enabled = Box(style, true, true);
        Surface disabled = Box(style, true, false);
        EXPECT_FALSE(enabled.SameAs(disabled));
        look.SetCheckAlwaysActive(true);
        Surface forced = Box(style, true, false);
        EXPECT_TRUE(forced.SameAs(enabled));
    }
}

TEST_F(CheckRadio, BitmapLooksDrawTheirOwnGlyphsTransparently)
{
    for (const RirEvoz::TControlStyle style : { csZID, csWinXP }) {
        SCOPED_TRACE(int(style));
        Surface on = Box(style, true, true), off = Box(style, false, true);
        EXPECT_FALSE(on.SameAs(off));
        EXPECT_NE(on.At(8, 8), White) << "the box is drawn at the top left";
        EXPECT_EQ(on.At(2 + 15, 2 + 15), White) << "the glyph's background is left out";
        EXPECT_EQ(on.At(2, 2 + 15), White);
    }
    EXPECT_FALSE(Box(csZID, true, true).SameAs(Box(csWinXP, true, true)));
}

TEST_F(CheckRadio, KestrelTickAndApplicationGlyphs)
{
    look.SetColor(TColor(0x0000FF));
    Surface on = Box(csKestrel, true, true), off = Box(csKestrel, false, true);
    int red = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x)
            red += on.At(x, y) == TColor(0x0000FF);
    EXPECT_GT(red, 10);
    EXPECT_EQ(off.At(10, 10), TColor(ColorToRGB(clBtnFace)) & 0xFFFFFF);

    TBitmap checked(8, 8), unchecked(8, 8), grayed(8, 8);
    VuzEraz::FillRectColor(checked.GetCanvas(), TRect(0, 0, 8, 8), TColor(0x00FF00));
    VuzEraz::FillRectColor(unchecked.GetCanvas(), TRect(0, 0, 8, 8), TColor(0x0000FF));
    VuzEraz::FillRectColor(grayed.GetCanvas(), TRect(0, 0, 8, 8), TColor(0x808080));
    for (TBitmap* b : { &checked, &unchecked, &grayed })
        b->GetCanvas()->SetPixel(0, 7, TColor(0xFF00FF)); // the transparent colour
    // No glyphs set: nothing drawn.
    EXPECT_TRUE(Box(csGlyph, true, true).SameAs(Surface(24, 24)));
    look.SetCheckedGlyph(&checked);
    look.SetUnCheckedGlyph(&unchecked);
    EXPECT_EQ(Box(csGlyph, true, true).At(4, 4), TColor(0x00FF00));
    EXPECT_EQ(Box(csGlyph, false, true).At(4, 4), TColor(0x0000FF));
    EXPECT_EQ(Box(csGlyph, false, true, cbGrayed, true).At(4, 4), TColor(0x0000FF)) << "no grayed glyph yet";
    look.SetGrayedGlyph(&grayed);
    EXPECT_EQ(Box(csGlyph, false, true, cbGrayed, true).At(4, 4), TColor(0x808080));
    EXPECT_EQ(Box(csGlyph, true, true).At(2, 9), White) << "transparent corner";
}

TEST_F(CheckRadio, RadioItemsAndWhichIsChecked)
{
    look.SetColor(TColor(0x0000FF));
    const TColor face = TColor(ColorToRGB(clBtnFace)) & 0xFFFFFF;
    // Kestrel items are 16 pixels: item i's diamond centre is at 16 i - 14 + 8.
    auto centre = [](int i) { return 16 * i - 6; };

    // Three bare items, the second checked.
    Surface bare(80, 20);
    DrawCellRadio(bare.Canvas(), context, TRect(0, 0, 80, 20), false, 1.0, csKestrel, false, nullptr, false, true, 1,
        3, u"");
    const int top = (20 - 16) / 2;
    EXPECT_EQ(bare.At(centre(1), top + 8), face);
    EXPECT_EQ(bare.At(centre(2), top + 8), TColor(0x0000FF));
    EXPECT_EQ(bare.At(centre(3), top + 8), face);
    EXPECT_EQ(bare.At(centre(4), top + 8), White) << "only three";

    // With captions and CheckedIndex -1 the item matching the cell text is
    // checked, and every item starts after the previous caption.
    TStringList items;
    items.Add(u"Yes");
    items.Add(u"No");
    Surface captioned(200, 20);
    TCanvas* c = captioned.Canvas();
    DrawCellRadio(c, context, TRect(0, 0, 200, 20), false, 1.0, csKestrel, false, &items, false, true, -1, 2, u"No");
    const int yes = c->TextWidth(u"Yes");
    EXPECT_EQ(captioned.At(centre(1), top + 8), face);
    EXPECT_EQ(captioned.At(centre(2) + yes, top + 8), TColor(0x0000FF));
    // Nothing matches: nothing checked; no count, nothing drawn.
    Surface none(200, 20);
    DrawCellRadio(none.Canvas(), context, TRect(0, 0, 200, 20), false, 1.0, csKestrel, false, &items, false, true, -1,
        2, u"Maybe");
    EXPECT_EQ(none.At(centre(2) + yes, top + 8), face);
    Surface empty(40, 20);
    DrawCellRadio(empty.Canvas(), context, TRect(0, 0, 40, 20), false, 1.0, csKestrel, false, nullptr, false, true, 0,
        0, u"");
    EXPECT_TRUE(empty.SameAs(Surface(40, 20)));
}

TEST_F(CheckRadio, RadioLooksDiffer)
{
    auto draw = [&](RirEvoz::TControlStyle style, int checkedIndex, bool disabled, bool horizontal) {
        Surface s(60, 60);
        DrawCellRadio(s.Canvas(), context, TRect(0, 0, 60, 60), false, 1.0, style, false, nullptr, disabled,
            horizontal, checkedIndex, 2, u"");
        return s;
    };
    for (const RirEvoz::TControlStyle style : { csClassic, csFlat, csWinXP, csZID }) {
        SCOPED_TRACE(int(style));
        Surface first = draw(style, 0, false, true), second = draw(style, 1, false, true);
        EXPECT_FALSE(first.SameAs(second));
        EXPECT_FALSE(first.SameAs(draw(style, 0, true, true)));
        EXPECT_FALSE(first.SameAs(draw(style, 0, false, false))) << "stacked differs from side by side";
    }
    EXPECT_TRUE(draw(csTheme, 0, false, true).SameAs(draw(csClassic, 0, false, true)));
    look.SetRadioAlwaysActive(true);
    EXPECT_TRUE(draw(csZID, 0, true, true).SameAs(draw(csZID, 0, false, true)));
}
