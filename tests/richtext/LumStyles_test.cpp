#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/vcl/Graphics.h"
#include "richtext/LumStyles.h"
#include "tests/richtext/ThemeRegistry_support.h"

namespace {

const String Office12 = u"Software\\Microsoft\\Office\\12.0\\Common";
const String Office14 = u"Software\\Microsoft\\Office\\14.0\\Common";
const String Office15 = u"Software\\Microsoft\\Office\\15.0\\Common";
const String Office16 = u"Software\\Microsoft\\Office\\16.0\\Common";
const String Personalize = u"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

using Fill = std::function<void()>;

TEST(LumStyles, StyleFromSystemThemeFollowsOfficeThenDesktopSettings)
{
    using R = TPrivateRegistry;
    const struct {
        const char* name;
        Fill fill;
        bool useXP;
        ROZEVizer expected;
        TOfficeTheme theme;
    } cases[] = {
        // Without Office the theme comes from the XP scheme, which without an
        // active visual theme is the classic one.
        { "nothing: desktop with light apps", [] { }, false, tsWindows10, ot2003Classic },
        { "dark apps", [] { R::WriteInteger(Personalize, u"AppsUseLightTheme", 0); }, false, tsOffice2019Black,
            ot2003Classic },
        { "dark apps as text", [] { R::WriteString(Personalize, u"AppsUseLightTheme", u"0"); }, false,
            tsOffice2019Black, ot2003Classic },
        { "light apps", [] { R::WriteInteger(Personalize, u"AppsUseLightTheme", 1); }, false, tsWindows10,
            ot2003Classic },
        { "XP scheme without an active theme", [] { }, true, tsOffice2003Classic, ot2003Classic },
        { "Office 16 without UI Theme", [] { R::CreateKey(Office16); }, false, tsOffice2019White, ot2019White },
        { "Office 16 gray", [] { R::WriteString(Office16, u"UI Theme", u"3"); }, false, tsOffice2019Gray, ot2019Gray },
        { "Office 16 black stored as a number", [] { R::WriteInteger(Office16, u"UI Theme", 4); }, false,
            tsOffice2019Black, ot2019Black },
        { "Office 16 theme 5", [] { R::WriteString(Office16, u"UI Theme", u"5"); }, false, tsOffice2019White,
            ot2019White },
        { "Office 16 text that is no number", [] { R::WriteString(Office16, u"UI Theme", u"dark"); }, false,
            tsOffice2019White, ot2019White },
        { "Office 16 wins over 15", [] {
             R::WriteString(Office15, u"UI Theme", u"2");
             R::WriteString(Office16, u"UI Theme", u"3");
         },
            false, tsOffice2019Gray, ot2019Gray },
        { "Office 15 light gray", [] { R::WriteString(Office15, u"UI Theme", u"1"); }, false, tsOffice2013LightGray,
            ot2013Silver },
        { "Office 15 unknown number", [] { R::WriteString(Office15, u"UI Theme", u"7"); }, false, tsCustom,
            ot2019Black },
        { "Office 14 black", [] { R::WriteInteger(Office14, u"Theme", 3); }, false, tsOffice2010Black, ot2010Black },
        { "Office 14 without Theme falls through to 12", [] {
             R::CreateKey(Office14);
             R::WriteInteger(Office12, u"Theme", 2);
         },
            false, tsOffice2007Silver, ot2007Silver },
        { "Office 14 and 12 without Theme fall through to the desktop", [] {
             R::CreateKey(Office14);
             R::CreateKey(Office12);
             R::WriteInteger(Personalize, u"AppsUseLightTheme", 0);
         },
            false, tsOffice2019Black, ot2003Classic },
        { "Office 12 unknown theme", [] { R::WriteInteger(Office12, u"Theme", 9); }, false, tsCustom, ot2019Black },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TPrivateRegistry registry;
        c.fill();
        EXPECT_EQ(StyleFromSystemTheme(c.useXP), c.expected);
        EXPECT_EQ(CurrentOfficeTheme(), c.theme);
    }
}

TEST(LumStyles, InstalledOfficeVersionCountsTheHighestFromTwelve)
{
    const struct {
        std::vector<const char16_t*> versions;
        int expected;
    } cases[] = {
        { {}, 0 },
        { { u"11.0" }, 0 },
        { { u"12.0" }, 1 },
        { { u"14.0", u"11.0" }, 2 },
        { { u"15.0" }, 3 },
        { { u"12.0", u"16.0" }, 4 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        TPrivateRegistry registry;
        for (const char16_t* v : c.versions)
            TPrivateRegistry::CreateKey(u"Software\\Microsoft\\Office\\" + String(v) + u"\\Common\\General");
        EXPECT_EQ(InstalledOfficeVersion(), c.expected);
    }
    TPrivateRegistry registry;
    TPrivateRegistry::CreateKey(Office16); // "Common" alone is no installation
    EXPECT_EQ(InstalledOfficeVersion(), 0);
}

TEST(LumStyles, DarkenColorScalesEachChannelRoundingHalfToEvenWithinRange)
{
    const struct {
        TColor color;
        int percent;
        TColor expected;
    } cases[] = {
        { clWhite, 20, 0xCCCCCC },
        { 0x7D7F01, 50, 0x3E4000 }, // 62.5 -> 62, 63.5 -> 64, 0.5 -> 0
        { 0x102030, 0, 0x102030 },
        { 0x80C0F0, -20, 0x9AE6FF }, // lightening stops at 255
        { 0x80C0F0, 150, 0x000000 }, // past 100 percent nothing spills over
        { clWhite, 100, 0x000000 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(DarkenColor(c.color, c.percent), c.expected);
    }
    // A system colour is darkened through its RGB value.
    const TColor rgb = ColorToRGB(clHighlight);
    EXPECT_EQ(DarkenColor(clHighlight, 20), DarkenColor(rgb, 20));
    EXPECT_EQ(DarkenColor(clHighlight, 20) & 0xFF000000u, 0u);
}

TEST(LumStyles, ColorTonesFromMetroDefaultsAndEmpty)
{
    TColorTones t;
    MetroColorTones(true, 0xE29E00, 0x123456, t);
    EXPECT_EQ(t.Background, (TColorTone { clWhite, 0xE29E00, clBlack }));
    EXPECT_EQ(t.Foreground, (TColorTone { 0xC0C0C0, 0xC0C0C0, clBlack }));
    EXPECT_EQ(t.Selected, (TColorTone { 0xE29E00, 0xE29E00, clWhite }));
    const TColor hover = DarkenColor(0xE29E00, 20);
    EXPECT_EQ(t.Hover, (TColorTone { hover, hover, clWhite }));
    EXPECT_EQ(t.Disabled, (TColorTone { 0xC0C0C0, 0x808080, 0x808080 }));
    MetroColorTones(false, 0xE29E00, 0, t);
    EXPECT_EQ(t.Background, (TColorTone { clBlack, 0xE29E00, clWhite }));

    DefaultColorTones(t);
    EXPECT_EQ(t.Background, (TColorTone { clWindow, clHighlight, clWindowText }));
    EXPECT_EQ(t.Selected, (TColorTone { clHighlight, clHighlight, clHighlightText }));
    EXPECT_EQ(t.Hover, (TColorTone { 0x808080, 0x808080, clWhite }));
    EXPECT_EQ(t.Disabled, (TColorTone { clWindow, 0xC0C0C0, 0xC0C0C0 }));

    EmptyColorTones(t);
    const TColorTone none { clNone, clNone, clNone };
    EXPECT_EQ(t, (TColorTones { none, none, none, none, none }));
}

TEST(LumStyles, OnlyTheDarkStylesAreNotLight)
{
    for (int s = tsOffice2003Blue; s <= tsOffice2019Black; ++s) {
        SCOPED_TRACE(s);
        const bool dark = s == tsOffice2016Black || s == tsOffice2019Gray || s == tsOffice2019Black;
        EXPECT_EQ(IsLightStyle(ROZEVizer(s)), !dark);
    }
}

TEST(LumStyles, SameFontComparesNameSizeStyleAndCharsetOnly)
{
    TFont a, b;
    a.SetName(u"Tahoma");
    b.SetName(u"Tahoma");
    a.SetSize(9);
    b.SetSize(9);
    b.SetColor(clRed);
    EXPECT_TRUE(SameFont(&a, &b));
    const std::function<void(TFont&)> changes[] = {
        [](TFont& f) { f.SetName(u"Arial"); },
        [](TFont& f) { f.SetSize(10); },
        [](TFont& f) { f.SetStyle(TFontStyles { fsBold }); },
        [](TFont& f) { f.SetCharset(2); },
    };
    for (const auto& change : changes) {
        TFont c;
        c.Assign(&a);
        change(c);
        EXPECT_FALSE(SameFont(&a, &c));
    }
}

} // namespace
