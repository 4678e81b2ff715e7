#include <gtest/gtest.h>

#include <cstdlib>

#include "graphics/LumGraphicsDefaults.h"
#include "graphics/LumGraphicsStyles.h"
#include "graphics/LumGraphicsTypes.h"

namespace {

class StyleColors : public ::testing::Test {
protected:
    void SetUp() override { TStyleManager::SetStyle(u"Windows"); }
    void TearDown() override { TStyleManager::SetStyle(u"Windows"); }
};

using TQuery = bool (*)(TColor&);
const TQuery AllQueries[] = {
    &TLumGraphicsStyles::GetStyleLineFillColor, &TLumGraphicsStyles::GetStyleBackgroundFillColor,
    &TLumGraphicsStyles::GetStyleBackgroundFillColorTo, &TLumGraphicsStyles::GetStyleAlternativeBackgroundFillColor,
    &TLumGraphicsStyles::GetStyleAlternativeBackgroundFillColorTo, &TLumGraphicsStyles::GetStyleBackgroundStrokeColor,
    &TLumGraphicsStyles::GetStyleHeaderFillColor, &TLumGraphicsStyles::GetStyleHeaderFillColorTo,
    &TLumGraphicsStyles::GetStyleHeaderStrokeColor, &TLumGraphicsStyles::GetStyleSelectionFillColor,
    &TLumGraphicsStyles::GetStyleSelectionFillColorTo, &TLumGraphicsStyles::GetStyleTextFontColor,
    &TLumGraphicsStyles::GetStyleAlternativeTextFontColor, &TLumGraphicsStyles::GetStyleDefaultButtonFillColor,
    &TLumGraphicsStyles::GetStyleDefaultButtonStrokeColor,
};

int Distance(TColor a, TColor b)
{
    int d = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        d += std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF));
    return d;
}

TEST_F(StyleColors, ThePlainStyleAnswersNothingAndLeavesTheColour)
{
    EXPECT_FALSE(TLumGraphicsStyles::StyleServicesEnabled());
    for (std::size_t i = 0; i < std::size(AllQueries); ++i) {
        SCOPED_TRACE(i);
        TColor c = 0x123456;
        EXPECT_FALSE(AllQueries[i](c));
        EXPECT_EQ(c, 0x123456);
    }
}

TEST_F(StyleColors, NamedStylesAnswerWithTheirOwnColours)
{
    for (const String name : { u"Luna", u"Cyan Night" }) {
        SCOPED_TRACE(StringToUtf8(name));
        TStyleManager::SetStyle(name);
        ASSERT_TRUE(TLumGraphicsStyles::StyleServicesEnabled());
        const auto& p = TStyleManager::ActiveStyle()->GetPalette();
        TColor c = clNone;
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleBackgroundFillColor(c));
        EXPECT_EQ(c, p.Window);
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleBackgroundStrokeColor(c));
        EXPECT_EQ(c, p.GridLine);
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleTextFontColor(c));
        EXPECT_EQ(c, p.WindowText);
        // The header is drawn as a gradient: its top and bottom samples differ
        // and each lies nearer its own end of the gradient.
        TColor top = clNone, bottom = clNone;
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleHeaderFillColor(top));
        ASSERT_TRUE(TLumGraphicsStyles::GetStyleHeaderFillColorTo(bottom));
        if (p.FixedTop != p.FixedBottom) {
            EXPECT_NE(top, bottom);
            EXPECT_LT(Distance(top, p.FixedTop), Distance(top, p.FixedBottom));
            EXPECT_LT(Distance(bottom, p.FixedBottom), Distance(bottom, p.FixedTop));
        }
        // Asking twice gives the same answer.
        TColor again = clNone;
        TLumGraphicsStyles::GetStyleHeaderFillColor(again);
        EXPECT_EQ(again, top);
        // A solid edit background has no gradient colour: false, and clNone handed back.
        c = 0x123456;
        EXPECT_FALSE(TLumGraphicsStyles::GetStyleAlternativeBackgroundFillColorTo(c));
        EXPECT_EQ(c, clNone);
    }
    TColor luna = clNone, night = clNone;
    TStyleManager::SetStyle(u"Luna");
    TLumGraphicsStyles::GetStyleSelectionFillColor(luna);
    TStyleManager::SetStyle(u"Cyan Night");
    TLumGraphicsStyles::GetStyleSelectionFillColor(night);
    EXPECT_NE(luna, night);
}

TEST_F(StyleColors, DefaultColoursStartBlackAndFollowTheStyle)
{
    // Nothing has set them yet in this process.
    for (TColor c : { DefaultGlyphColor, DefaultTextColor, DefaultBackgroundFillColor, DefaultBackgroundStrokeColor,
             DefaultFocusedButtonStrokeColor, DefaultFocusedButtonFillColor, DefaultDisabledButtonStrokeColor,
             DefaultDisabledButtonFillColor, DefaultButtonStrokeColor, DefaultButtonFillColor })
        EXPECT_EQ(c, 0);

    TLumGraphics::SetDefaultGraphicColors();
    EXPECT_EQ(DefaultBackgroundFillColor, 0xFFFFFF);
    EXPECT_EQ(DefaultFocusedButtonStrokeColor, MakeRGBColor(60, 127, 177));
    EXPECT_EQ(DefaultButtonFillColor, MakeRGBColor(225, 225, 225));
    EXPECT_EQ(DefaultDisabledButtonFillColor, 0xD3D3D3);

    // Under the plain style the refresh gives the built-in values.
    DefaultGlyphColor = 0x111111;
    TLumGraphics::SetDefaultGraphicColorsFromStyle();
    EXPECT_EQ(DefaultGlyphColor, 0);
    EXPECT_EQ(DefaultBackgroundFillColor, 0xFFFFFF);
    EXPECT_EQ(DefaultFocusedButtonFillColor, MakeRGBColor(229, 241, 251));

    TStyleManager::SetStyle(u"Cyan Night");
    TLumGraphics::SetDefaultGraphicColorsFromStyle();
    TColor selection = clNone, background = clNone, buttonFill = clNone, line = clNone;
    ASSERT_TRUE(TLumGraphicsStyles::GetStyleSelectionFillColor(selection));
    TLumGraphicsStyles::GetStyleBackgroundFillColor(background);
    TLumGraphicsStyles::GetStyleDefaultButtonFillColor(buttonFill);
    TLumGraphicsStyles::GetStyleLineFillColor(line);
    EXPECT_EQ(DefaultGlyphColor, selection);
    EXPECT_EQ(DefaultBackgroundFillColor, background);
    EXPECT_EQ(DefaultButtonFillColor, buttonFill);
    EXPECT_EQ(DefaultButtonStrokeColor, line);
    EXPECT_EQ(DefaultFocusedButtonFillColor, MixColors(selection, buttonFill, 25));
    EXPECT_EQ(DefaultFocusedButtonStrokeColor, MixColors(selection, line, 30));
    EXPECT_EQ(DefaultDisabledButtonStrokeColor, 0xA9A9A9);
    EXPECT_EQ(DefaultDisabledButtonFillColor, 0xD3D3D3);
}

} // namespace
