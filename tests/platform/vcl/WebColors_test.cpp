#include <gtest/gtest.h>

#include "platform/vcl/WebColors.h"

TEST(WebColors, NamedValuesAndHexForTheRest)
{
    struct Case {
        TColor color;
        const char16_t* name;
    };
    const Case cases[] = {
        { TColor(0xFAFAFF), u"clWebSnow" },          // #FFFAFA
        { TColor(0xFFFF00), u"clWebAqua" },          // #00FFFF, also cyan
        { TColor(0x808080), u"clWebGray" },          // never a grey spelling
        { TColor(0xD3D3D3), u"clWebLightGray" },
        { TColor(0x32CD9A), u"clWebYellowGreen" },   // #9ACD32
        { TColor(0x000000), u"clWebBlack" },
        { TColor(0x563412), u"#123456" },
        { TColor(0xFEFFFF), u"#FFFFFE" },
        { clWindow, u"clWebWhite" },                 // system colours resolve first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::uint32_t(c.color));
        EXPECT_EQ(ColorToWebColorName(c.color), String(c.name));
    }
}
