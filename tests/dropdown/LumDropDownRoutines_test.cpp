#include <gtest/gtest.h>

#include "dropdown/LumDropDown.h"
#include "tests/grid/core/LocaleGuard.h"

using namespace LumDropDown;

TEST(LumDropDownRoutines, BlendColor)
{
    struct Case {
        TColor a, b;
        int percent;
        TColor expected;
    };
    const Case cases[] = {
        { clBtnFace, 0x000000, 100, clBtnFace },  // a system colour comes back unchanged
        { clBtnFace, 0x123456, 150, clBtnFace },
        { 0xFFFFFF, clWindow, 0, clWindow },
        { 0xFFFFFF, 0x000000, 50, 0x808080 },     // 127.5 rounds to even 128
        { 0x0000FF, 0xFF0000, 25, 0xBF0040 },     // 63.75 and 191.25
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percent);
        EXPECT_EQ(BlendColor(c.a, c.b, c.percent), c.expected);
    }
}

TEST(LumDropDownRoutines, AdjustColor)
{
    struct Case {
        TColor color;
        int dr, dg, db;
        TColor expected;
    };
    const Case cases[] = {
        { 0x6464C8, -10, -10, -10, 0x5A5AB4 },
        { 0xC8C8C8, -5, -5, -5, 0xBEBEBE },
        { 0x000000, -10, 5, 0, 0x000500 },       // a zero channel takes a positive delta only
        { 0x808080, 20, 0, 0, 0x808080 },        // never brightens
        { 0x808080, -150, 0, 0, 0x808000 },      // clamped, not wrapped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.color);
        EXPECT_EQ(AdjustColor(c.color, c.dr, c.dg, c.db), c.expected);
    }
}

TEST(LumDropDownRoutines, HexAndCharacters)
{
    struct Case {
        const char16_t* text;
        int value;
    };
    const Case cases[] = {
        { u"1F", 31 }, { u"1G", 16 }, { u"ff", 255 }, { u"", 0 },
        { u"FFFFFFFF", -1 },
        { u"123456789", 0x23456789 },  // the ninth digit wraps around 32 bits
        { u"FFFFFFFFF", -1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        EXPECT_EQ(HexToInt(c.text), c.value);
    }
    EXPECT_EQ(LumDropDown::HexDigitValue(u'0'), 0);
    EXPECT_EQ(LumDropDown::HexDigitValue(u'9'), 9);
    EXPECT_EQ(LumDropDown::HexDigitValue(u'a'), 10);
    EXPECT_EQ(LumDropDown::HexDigitValue(u'F'), 15);
    EXPECT_EQ(LumDropDown::HexDigitValue(u'g'), 0);
    EXPECT_EQ(LumDropDown::HexDigitValue(u'-'), 0);

    for (Char ch : { u',', u'-', u';' })
        EXPECT_TRUE(IsRangeSeparator(ch));
    for (Char ch : { u'.', u' ', u'/' })
        EXPECT_FALSE(IsRangeSeparator(ch));

    {
        LocaleGuard locale(LocaleGuard::CommaDecimal);
        EXPECT_EQ(RemoveThousandSeparators(u"1.234.567,5"), u"1234567,5");
        EXPECT_EQ(ThousandSeparatorChar(), u'.');
        EXPECT_EQ(DecimalSeparatorChar(), u',');
    }
    LocaleGuard locale(LocaleGuard::DotDecimal);
    EXPECT_EQ(RemoveThousandSeparators(u"1,234.5"), u"1234.5");

    EXPECT_EQ(CaseFold(u"abcé", false), u"ABCÉ");
    EXPECT_EQ(CaseFold(u"abcé", true), u"abcé");
}

TEST(LumDropDownRoutines, TextMeasuring)
{
    TBitmap bitmap;
    bitmap.SetSize(10, 10);
    TCanvas* canvas = bitmap.GetCanvas();
    EXPECT_EQ(TextExtent(canvas, u"").cx, 0);
    EXPECT_EQ(TextExtent(canvas, u"").cy, 0);
    const TSize size = TextExtent(canvas, u"Hello");
    EXPECT_EQ(size.cx, canvas->TextWidth(u"Hello"));
    EXPECT_GT(size.cy, 0);

    const String text = u"A long caption";
    String result;
    TruncateText(canvas, text, 1000, result, true);
    EXPECT_EQ(result, text);  // fits

    const int width = canvas->TextWidth(u"A long...");
    TruncateText(canvas, text, width + 1, result, true);
    EXPECT_EQ(result, u"A long...");
    TruncateText(canvas, text, canvas->TextWidth(u"A lon") + 1, result, false);
    EXPECT_EQ(result, u"A lon");

    // Even one character and the ellipsis are too wide: the full text stays.
    TruncateText(canvas, text, 2, result, true);
    EXPECT_EQ(result, text);
}

TEST(LumDropDownRoutines, SystemAndScale)
{
    auto version = GetWindowsVersion();
    ASSERT_TRUE(version);
    EXPECT_EQ(version->Major, 10);
    EXPECT_EQ(version->Minor, 0);
    EXPECT_TRUE(IsWindows10());
    EXPECT_FALSE(IsWindowsMajor6());
    EXPECT_DOUBLE_EQ(DPIScaleOfControl(nullptr), 1.0);
    EXPECT_GT(FontTextHeight(144, 9), FontTextHeight(96, 9));
}

TEST(LumButtonAppearance, Defaults)
{
    TLumButtonAppearance a;
    EXPECT_EQ(a.GetColorChecked(), TColor(0xF5D8CA));
    EXPECT_EQ(a.GetColorCheckedTo(), TColor(0xF9BDA0));
    EXPECT_EQ(a.GetBorderColorChecked(), TColor(0xFF0000));
    EXPECT_EQ(a.GetColor(), clNone);
    EXPECT_EQ(a.GetGradient(), gdVertical);
    EXPECT_EQ(a.GetFont()->GetName(), u"MS Sans Serif");
    EXPECT_EQ(a.GetFont()->GetHeight(), -11);
}

TEST(LumButtonAppearance, ChangeNotification)
{
    TLumButtonAppearance a;
    int changes = 0;
    a.OnChange = [&](TObject*) { ++changes; };
    using Setter = void (TLumButtonAppearance::*)(TColor);
    using Getter = TColor (TLumButtonAppearance::*)() const;
    const std::pair<Setter, Getter> colours[] = {
        { &TLumButtonAppearance::SetBorderColor, &TLumButtonAppearance::GetBorderColor },
        { &TLumButtonAppearance::SetBorderColorHot, &TLumButtonAppearance::GetBorderColorHot },
        { &TLumButtonAppearance::SetBorderColorDown, &TLumButtonAppearance::GetBorderColorDown },
        { &TLumButtonAppearance::SetBorderColorDisabled, &TLumButtonAppearance::GetBorderColorDisabled },
        { &TLumButtonAppearance::SetBorderColorChecked, &TLumButtonAppearance::GetBorderColorChecked },
        { &TLumButtonAppearance::SetColor, &TLumButtonAppearance::GetColor },
        { &TLumButtonAppearance::SetColorTo, &TLumButtonAppearance::GetColorTo },
        { &TLumButtonAppearance::SetColorDown, &TLumButtonAppearance::GetColorDown },
        { &TLumButtonAppearance::SetColorDownTo, &TLumButtonAppearance::GetColorDownTo },
        { &TLumButtonAppearance::SetColorHot, &TLumButtonAppearance::GetColorHot },
        { &TLumButtonAppearance::SetColorHotTo, &TLumButtonAppearance::GetColorHotTo },
        { &TLumButtonAppearance::SetColorCheckedTo, &TLumButtonAppearance::GetColorCheckedTo },
        { &TLumButtonAppearance::SetColorDisabled, &TLumButtonAppearance::GetColorDisabled },
        { &TLumButtonAppearance::SetColorDisabledTo, &TLumButtonAppearance::GetColorDisabledTo },
        { &TLumButtonAppearance::SetColorChecked, &TLumButtonAppearance::GetColorChecked },
    };
    int index = 0;
    for (auto [set, get] : colours) {
        SCOPED_TRACE(index++);
        const int before = changes;
        (a.*set)((a.*get)());  // unchanged: silent
        EXPECT_EQ(changes, before);
        (a.*set)(0x123456);
        EXPECT_EQ((a.*get)(), TColor(0x123456));
        EXPECT_EQ(changes, before + 1);
    }
    a.SetGradient(gdVertical);
    a.SetGradient(gdHorizontal);
    EXPECT_EQ(changes, index + 1);
    TFont font;
    font.SetName(u"Arial");
    a.SetFont(&font);
    EXPECT_EQ(a.GetFont()->GetName(), u"Arial");
    EXPECT_EQ(changes, index + 1);  // the font changes without notice
}

TEST(LumButtonAppearance, AssignKeepsFont)
{
    TLumButtonAppearance source, target;
    source.SetColor(0x010203);
    source.SetColorChecked(0x040506);
    source.SetColorCheckedTo(0x070809);
    source.SetBorderColorChecked(0x0A0B0C);
    source.SetGradient(gdHorizontal);
    source.GetFont()->SetName(u"Arial");
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };
    target.Assign(&source);
    EXPECT_EQ(target.GetColor(), TColor(0x010203));
    EXPECT_EQ(target.GetColorChecked(), TColor(0x040506));
    EXPECT_EQ(target.GetColorCheckedTo(), TColor(0x070809));
    EXPECT_EQ(target.GetBorderColorChecked(), TColor(0x0A0B0C));
    EXPECT_EQ(target.GetGradient(), gdHorizontal);
    EXPECT_EQ(target.GetFont()->GetName(), u"MS Sans Serif");
    EXPECT_EQ(changes, 5);

    TFont font;
    EXPECT_THROW(target.Assign(&font), Exception);
}
