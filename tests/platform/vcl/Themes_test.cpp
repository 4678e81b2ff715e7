#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <tuple>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Themes.h"

namespace {

const std::vector<String> kCustomNames = { u"Amethyst Kamri", u"Aqua Light Slate", u"Cyan Dusk", u"Cyan Night",
    u"Emerald Light Slate", u"Iceberg Classico", u"Lavender Classico", u"Light", u"Luna", u"Smokey Quartz Kamri",
    u"Turquoise Gray" };

int Luminance(TColor c)
{
    return (299 * (c & 0xFF) + 587 * ((c >> 8) & 0xFF) + 114 * ((c >> 16) & 0xFF)) / 1000;
}

class Styles : public ::testing::Test {
protected:
    void SetUp() override { TStyleManager::SetStyle(u"Windows"); }
    void TearDown() override { TStyleManager::SetStyle(u"Windows"); }
};

TEST_F(Styles, TheElevenSchemesAndThePlainStyleAreRegisteredAndWindowsSortsLast)
{
    std::vector<String> names = TStyleManager::GetStyleNames();
    std::vector<String> expected = kCustomNames;
    expected.push_back(u"Windows");
    EXPECT_EQ(std::set<String>(names.begin(), names.end()), std::set<String>(expected.begin(), expected.end()));
    EXPECT_EQ(names.size(), expected.size());
    std::sort(names.begin(), names.end(), [](const String& a, const String& b) { return CompareText(a, b) < 0; });
    EXPECT_EQ(names.back(), u"Windows");
    EXPECT_EQ(TStyleManager::ActiveStyle()->GetName(), u"Windows");
    EXPECT_FALSE(TStyleManager::IsCustomStyleActive());
}

TEST_F(Styles, SettingAStyleByNameAndFailingToSetOne)
{
    struct TCase {
        const char16_t* Name;
        bool Known;
        const char16_t* Active; // after the call
    };
    const TCase cases[] = {
        { u"Luna", true, u"Luna" },
        { u"cyan night", true, u"Cyan Night" }, // case does not matter
        { u"No Such Style", false, u"Cyan Night" },
        { u"", false, u"Cyan Night" },
        { u"Windows", true, u"Windows" },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Name));
        if (c.Known)
            EXPECT_NO_THROW(TStyleManager::SetStyle(c.Name));
        else
            EXPECT_THROW(TStyleManager::SetStyle(c.Name), EStyleNotFoundException);
        EXPECT_EQ(TStyleManager::ActiveStyle()->GetName(), c.Active);
        EXPECT_EQ(TStyleManager::TrySetStyle(c.Name, false), c.Known);
        EXPECT_EQ(StyleServices()->GetName(), c.Active);
        EXPECT_EQ(TStyleManager::IsCustomStyleActive(), String(c.Active) != u"Windows");
    }
}

TEST_F(Styles, ThePlainStyleAnswersNoColourAndDrawsNothing)
{
    TCustomStyleServices* s = StyleServices();
    EXPECT_FALSE(s->GetEnabled());
    EXPECT_EQ(s->GetSystemColor(clBtnFace), clBtnFace);
    EXPECT_EQ(s->GetStyleColor(scWindow), clNone);
    EXPECT_EQ(s->GetStyleFontColor(sfButtonTextNormal), clNone);
    TColor c = 0x123456;
    EXPECT_FALSE(s->GetElementColor(s->GetElementDetails(tgCellNormal), ecFillColor, c));
    EXPECT_EQ(c, 0x123456);
    TBitmap bmp(20, 20);
    bmp.GetCanvas()->GetBrush()->SetColor(0x123456);
    bmp.GetCanvas()->FillRect({ 0, 0, 20, 20 });
    EXPECT_FALSE(s->DrawElement(bmp.GetCanvas()->GetHandle(), s->GetElementDetails(tbPushButtonNormal), { 0, 0, 20, 20 }));
    EXPECT_EQ(bmp.GetCanvas()->GetPixel(10, 10), 0x123456);
}

TEST_F(Styles, EverySchemeIsItsOwnAndKeepsTextReadable)
{
    std::set<std::tuple<TColor, TColor, TColor>> seen;
    for (const String& name : kCustomNames) {
        SCOPED_TRACE(StringToUtf8(name));
        TStyleManager::SetStyle(name);
        TCustomStyleServices* s = StyleServices();
        ASSERT_TRUE(s->GetEnabled());
        const TColor window = s->GetSystemColor(clWindow);
        const TColor face = s->GetSystemColor(clBtnFace);
        const TColor highlight = s->GetSystemColor(clHighlight);
        // System colours come back as plain RGB values.
        for (TColor c : { window, face, highlight })
            EXPECT_EQ(c & 0xFF000000, 0);
        EXPECT_EQ(s->GetSystemColor(0x00ABCDEF), 0x00ABCDEF);
        EXPECT_GT(std::abs(Luminance(window) - Luminance(s->GetSystemColor(clWindowText))), 100);
        EXPECT_GT(std::abs(Luminance(face) - Luminance(s->GetSystemColor(clBtnText))), 100);
        EXPECT_GT(std::abs(Luminance(highlight) - Luminance(s->GetSystemColor(clHighlightText))), 80);
        EXPECT_EQ(s->GetStyleColor(scEdit), window);
        EXPECT_EQ(s->GetStyleFontColor(sfEditBoxTextNormal), s->GetSystemColor(clWindowText));
        EXPECT_TRUE(seen.insert({ window, face, highlight }).second);
    }
}

// Element colours agree with what DrawElement paints: a solid fill colour
// fills the middle, a gradient has no single fill colour and its ends differ,
// and the border colour is on the border.
TEST_F(Styles, ElementColoursAgreeWithTheDrawnElement)
{
    struct TElement {
        const char* Name;
        TThemedElementDetails (*Details)(TCustomStyleServices*);
        TPoint BorderProbe;
    };
    const TElement elements[] = {
        { "grid cell", [](TCustomStyleServices* s) { return s->GetElementDetails(tgCellNormal); }, { 199, 100 } },
        { "selected cell", [](TCustomStyleServices* s) { return s->GetElementDetails(tgCellSelected); }, { 199, 100 } },
        { "fixed cell", [](TCustomStyleServices* s) { return s->GetElementDetails(tgFixedCellNormal); }, { 100, 199 } },
        { "gradient cell", [](TCustomStyleServices* s) { return s->GetElementDetails(tgGradientCellNormal); }, { 199, 100 } },
        { "push button", [](TCustomStyleServices* s) { return s->GetElementDetails(tbPushButtonNormal); }, { 0, 100 } },
        { "category button", [](TCustomStyleServices* s) { return s->GetElementDetails(tcbButtonNormal); }, { 0, 100 } },
        { "header", [](TCustomStyleServices* s) { return s->GetElementDetails(thHeaderItemNormal); }, { 199, 100 } },
        { "edit border", [](TCustomStyleServices* s) { return s->GetElementDetails(teEditBorderNoScrollNormal); }, { 0, 100 } },
    };
    for (const String& name : { String(u"Luna"), String(u"Cyan Night"), String(u"Smokey Quartz Kamri") }) {
        TStyleManager::SetStyle(name);
        TCustomStyleServices* s = StyleServices();
        for (const TElement& e : elements) {
            SCOPED_TRACE(StringToUtf8(name) + " / " + e.Name);
            const TThemedElementDetails d = e.Details(s);
            TBitmap bmp(200, 200);
            TCanvas* c = bmp.GetCanvas();
            ASSERT_TRUE(s->DrawElement(c->GetHandle(), d, { 0, 0, 200, 200 }));
            TColor fill = clNone;
            TColor top = clNone;
            TColor bottom = clNone;
            if (s->GetElementColor(d, ecFillColor, fill)) {
                EXPECT_EQ(c->GetPixel(100, 100), fill);
                EXPECT_FALSE(s->GetElementColor(d, ecGradientColor1, top));
            } else {
                ASSERT_TRUE(s->GetElementColor(d, ecGradientColor1, top));
                ASSERT_TRUE(s->GetElementColor(d, ecGradientColor2, bottom));
                EXPECT_NE(c->GetPixel(100, 2), c->GetPixel(100, 198));
                EXPECT_EQ(c->GetPixel(100, 1), top);
            }
            TColor border = clNone;
            ASSERT_TRUE(s->GetElementColor(d, ecBorderColor, border));
            EXPECT_EQ(c->GetPixel(e.BorderProbe.X, e.BorderProbe.Y), border);
            TColor text = clNone;
            ASSERT_TRUE(s->GetElementColor(d, ecTextColor, text));
            const TColor middle = c->GetPixel(100, 100);
            EXPECT_GT(std::abs(Luminance(text) - Luminance(middle)), 80);
        }
    }
}

} // namespace
