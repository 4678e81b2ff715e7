#include <gtest/gtest.h>

#include "dropdown/LumDropDown.h"
#include "dropdown/LumDropDownForm.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

// Opens the protected settings the editors and the grid use.
class TestDropDown : public TLumDropDown {
public:
    using TLumDropDown::TLumDropDown;
    using TLumCustomDropDown::SetEditType;
    using TLumCustomDropDown::SetPrecision;
    using TLumCustomDropDown::SetPrefix;
    using TLumCustomDropDown::SetSuffix;
    using TLumCustomDropDown::GetPrefix;
    using TLumCustomDropDown::GetSuffix;
    using TLumCustomDropDown::GetEditType;
    using TLumCustomDropDown::GetPrecision;
    int UserWidth() const { return FUserDropDownWidth; }
    int UserHeight() const { return FUserDropDownHeight; }
    void RememberUserSize(int W, int H)
    {
        FUserDropDownWidth = W;
        FUserDropDownHeight = H;
    }
};

} // namespace

TEST(LumDropDown, Defaults)
{
    TestDropDown d;
    EXPECT_EQ(d.GetWidth(), 200);
    EXPECT_EQ(d.GetHeight(), 21);
    EXPECT_EQ(d.GetDropDownColor(), TColor(0xFFFFFF));
    EXPECT_EQ(d.GetDropDownColorTo(), clNone);
    EXPECT_EQ(d.GetDropDownBorderColor(), TColor(0));
    EXPECT_EQ(d.GetDropDownButtonWidth(), 17);
    EXPECT_EQ(d.GetLabelMargin(), 4);
    EXPECT_EQ(d.GetLabelPosition(), lpLeftTop);
    EXPECT_EQ(d.GetSelectionColorStyle(), scCustom);
    EXPECT_EQ(d.GetUIStyle(), tsCustom);
    EXPECT_TRUE(d.GetEditorEnabled());
    EXPECT_EQ(d.UserWidth(), -1);
    EXPECT_EQ(d.GetLabel(), nullptr);
}

// What a form file may set on a drop-down, and the settings left to the
// editors and the grid.
TEST(LumDropDown, PublishedProperties)
{
    TLumDropDown d;
    for (const char16_t* name : { u"Precision", u"DropDownButtonGlyph", u"DropDownButtonWidth", u"EditorEnabled",
             u"SelectionColorStyle", u"UIStyle", u"Version", u"LabelPosition", u"OnDropDown" }) {
        SCOPED_TRACE(StringToUtf8(String(name)));
        EXPECT_NE(GetPropInfo(&d, name), nullptr);
    }
    for (const char16_t* name : { u"EditType", u"Prefix", u"Suffix", u"Signed", u"ValidChars", u"LengthLimit" }) {
        SCOPED_TRACE(StringToUtf8(String(name)));
        EXPECT_EQ(GetPropInfo(&d, name), nullptr);
    }
}

TEST(LumDropDown, ValueText)
{
    LocaleGuard locale(LocaleGuard::CommaDecimal);
    struct Case {
        TDropDownEditType type;
        short precision;
        const char16_t *prefix, *suffix, *value, *shown, *read;
    };
    const Case cases[] = {
        { etString, 0, u"$", u" kg", u"12", u"$12 kg", u"12" },
        { etString, 0, u"", u"", u"", u"", u"" },
        { etNumeric, 0, u"$", u" kg", u"", u"$0 kg", u"0" },
        { etFloat, 0, u"", u"", u"", u"0", u"0" },
        { etMoney, 0, u"", u"", u"", u"0", u"0" },
        { etHex, 0, u"", u"", u"", u"0", u"0" },
        { etHex, 0, u"0x", u"", u"1fa", u"0x1FA", u"1FA" },
        { etFloat, 2, u"", u"", u"3", u"3,00", u"3,00" },
        { etFloat, 2, u"", u"", u"Error", u"Error", u"Error" },
        { etMoney, 2, u"", u"", u"1234,5", u"1.234,50", u"1.234,50" },  // the locale's grouping
        { etMoney, 2, u"", u"", u"1.234,5", u"1.234,50", u"1.234,50" },  // grouped input reads too
        { etFloat, 1, u"", u"", u"abc", u"0,0", u"0,0" },               // not a number: 0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(String(c.value)) + " " + std::to_string(c.type));
        TestDropDown d;
        d.SetEditType(c.type);
        d.SetPrecision(c.precision);
        d.SetPrefix(c.prefix);
        d.SetSuffix(c.suffix);
        d.SetText(c.value);
        EXPECT_EQ(d.GetEditText(), c.shown);
        EXPECT_EQ(d.GetText(), c.read);
        EXPECT_FALSE(d.IsModified());
    }
}

TEST(LumDropDown, PrefixAndSuffixRemovedOnlyWhenPresent)
{
    struct Case {
        const char16_t *window, *read;
    };
    const Case cases[] = {
        { u"$12 kg", u"12" },
        { u"12 kg", u"12" },     // no prefix: the first character stays
        { u"$1234", u"1234" },   // the suffix was typed over: no value characters are lost
        { u"99", u"99" },
        { u"$ kg", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(String(c.window)));
        TestDropDown d;
        d.SetPrefix(u"$");
        d.SetSuffix(u" kg");
        d.SetRawText(c.window);
        EXPECT_EQ(d.GetEditText(), c.window);
        EXPECT_EQ(d.GetText(), c.read);
    }
}

TEST(LumDropDown, DropDownSizeAndVersion)
{
    TestDropDown d;
    d.SetDropDownHeight(120);
    d.RememberUserSize(300, 200);
    d.SetDropDownHeight(-5);
    EXPECT_EQ(d.GetDropDownHeight(), 120);  // ignored, and the user size stays
    EXPECT_EQ(d.UserWidth(), 300);
    d.SetDropDownWidth(250);
    EXPECT_EQ(d.GetDropDownWidth(), 250);
    EXPECT_EQ(d.UserWidth(), -1);
    EXPECT_EQ(d.UserHeight(), -1);

    EXPECT_EQ(d.GetVersion(), u"1.5.7.2");
    d.SetVersion(u"9.9.9.9");
    EXPECT_EQ(d.GetVersion(), u"1.5.7.2");
}

TEST(LumDropDown, Assign)
{
    TestDropDown source, target;
    source.SetEditType(etMoney);
    source.SetPrecision(2);
    source.SetPrefix(u"$");
    source.SetSuffix(u"!");
    source.SetDropDownColor(0x123456);
    source.SetDropDownHeight(77);
    source.SetSelectionColorStyle(scWindows7);
    source.GetButtonAppearance()->SetColor(0x010203);
    source.SetEditorEnabled(false);
    target.Assign(&source);
    EXPECT_EQ(target.GetEditType(), etMoney);
    EXPECT_EQ(target.GetPrecision(), 2);
    EXPECT_EQ(target.GetPrefix(), u"$");
    EXPECT_EQ(target.GetSuffix(), u"!");
    EXPECT_EQ(target.GetDropDownColor(), TColor(0x123456));
    EXPECT_EQ(target.GetDropDownHeight(), 77);
    EXPECT_EQ(target.GetSelectionColorStyle(), scWindows7);
    EXPECT_EQ(target.GetSelectionColor(), TColor(0xFCEBDC));
    EXPECT_EQ(target.GetButtonAppearance()->GetColor(), TColor(0x010203));
    EXPECT_FALSE(target.GetEditorEnabled());

    // A plain edit is not a drop-down: the base class decides.
    TEdit edit;
    EXPECT_THROW(target.Assign(&edit), Exception);
    EXPECT_EQ(target.GetEditType(), etMoney);
}

TEST(LumDropDown, SelectionPresets)
{
    struct Case {
        TSelectionColorStyle style;
        TColor color, colorTo;
    };
    const Case cases[] = {
        { scOffice2007, 0xD7FFFD, 0x58D4FC },
        { scWindowsVista, 0xFDF8F1, 0xFCEFD5 },
        { scWindows7, 0xFCEBDC, 0xFCDBC1 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestDropDown d;
        d.SetSelectionColorStyle(c.style);
        EXPECT_EQ(d.GetSelectionColor(), c.color);
        EXPECT_EQ(d.GetSelectionColorTo(), c.colorTo);
        d.SetSelectionColorStyle(scCustom);  // leaves the colours
        EXPECT_EQ(d.GetSelectionColor(), c.color);
        d.SetSelectionColorStyle(c.style);
        d.SetSelectionColor(0x111111);        // a colour of one's own ends the preset
        EXPECT_EQ(d.GetSelectionColorStyle(), scCustom);
    }
}

TEST(LumDropDown, StyleAndTones)
{
    TestDropDown d;
    d.SetColor(0x0000FF);
    d.SetComponentStyle(tsCustom);
    EXPECT_EQ(d.GetComponentStyle(), tsCustom);
    EXPECT_EQ(d.GetColor(), TColor(0x0000FF));  // only the style is stored
    d.SetUIStyle(tsOffice2019Gray);
    EXPECT_EQ(d.GetUIStyle(), tsOffice2019Gray);
    EXPECT_EQ(d.GetColor(), TColor(0xB8BBBE));
    EXPECT_EQ(d.GetFont()->GetColor(), TColor(0x232425));
    d.SetComponentStyle(tsWindows10);
    EXPECT_EQ(d.GetColor(), clWindow);
    EXPECT_EQ(d.GetFont()->GetColor(), clWindowText);

    TColorTones tones;
    tones.Background.BorderColor = 0x00AA00;
    d.SetColorTones(tones);
    EXPECT_EQ(d.GetBorderColor(), TColor(0x00AA00));
}

TEST(LumDropDown, StyleTables)
{
    struct Case {
        ROZEVizer style;
        TColor dropDown, dropDownTo, dropDownBorder;
        TColor button, buttonHot, borderDisabled, checkedTo, font;
    };
    const Case cases[] = {
        // a "-" in the tables leaves the value before: the border stays black, the disabled border grey
        { tsOffice2003Blue, 0xFFFFFF, clNone, 0x000000, 0xFCE1CB, 0xEBFDFF, 0x808080, 0x4190F3, clWindowText },
        { tsWindowsVista, 0xFFFFFF, 0xFFFFFF, 0x979797, 0xFFFDF9, 0xFEF9F0, 0x808080, 0xFDF0D7, clWindowText },
        { tsWindows10, 0xFFFFFF, 0xFFFFFF, 0xE4E3E2, 0xF7F6F5, 0xF7EFE8, 0xF7F6F5, clNone, clWindowText },  // "as Col"
        { tsOffice2016Black, 0x363636, clNone, 0x444444, 0x363636, 0x6A6A6A, 0x444444, 0x575757, 0xA6A6A6 },
        { tsOffice2019Black, 0x444444, clNone, 0xADB0B3, 0x444444, 0x686868, 0xC4C4C4, 0x686868, 0xFFFFFF },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestDropDown d;
        d.SetComponentStyle(c.style);
        EXPECT_EQ(d.GetDropDownColor(), c.dropDown);
        EXPECT_EQ(d.GetDropDownColorTo(), c.dropDownTo);
        EXPECT_EQ(d.GetDropDownBorderColor(), c.dropDownBorder);
        TLumButtonAppearance* a = d.GetButtonAppearance();
        EXPECT_EQ(a->GetColor(), c.button);
        EXPECT_EQ(a->GetColorHot(), c.buttonHot);
        EXPECT_EQ(a->GetBorderColorDisabled(), c.borderDisabled);
        EXPECT_EQ(a->GetColorCheckedTo(), c.checkedTo);
        EXPECT_EQ(a->GetFont()->GetColor(), c.font);
    }

    // A later style with a "-" keeps what an earlier one set.
    TestDropDown d;
    d.SetComponentStyle(tsWindows7);
    d.SetComponentStyle(tsOffice2003Silver);
    EXPECT_EQ(d.GetDropDownBorderColor(), TColor(0x979797));

    // tsCustom touches nothing.
    TestDropDown custom;
    custom.SetComponentStyle(tsOffice2019Black);
    custom.SetComponentStyle(tsCustom);
    EXPECT_EQ(custom.GetDropDownColor(), TColor(0x444444));
    EXPECT_EQ(custom.GetComponentStyle(), tsCustom);
}

TEST(LumDropDown, StyleTablesForHeaderAndFooter)
{
    struct Case {
        ROZEVizer style;
        TColor headerColor, headerColorTo, headerFont, headerBorder;
        TColor footerColor, footerColorTo, footerBorder;
    };
    const Case cases[] = {
        // the footer takes the header's colours but for two styles
        { tsOffice2003Blue, 0xFCE1CB, 0xE0A57D, 0x000000, 0x000000, 0xFCE1CB, 0xE0A57D, 0x962D00 },
        { tsWindowsVista, 0xFFFDF9, 0xFFFAF0, 0x000000, 0xFCF2DA, 0xFFFAF0, 0xFFFDF9, 0xFCF2DA },
        { tsWindowsXP, 0xFFFFFF, clBtnFace, 0x000000, 0x808080, 0xFFFFFF, clBtnFace, 0x808080 },
        { tsOffice2019Gray, 0xB8BBBE, clNone, 0x232425, 0x808080, 0xB8BBBE, clNone, 0x808080 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestDropDown d;
        d.SetComponentStyle(c.style);
        THeaderAppearance* h = d.GetDropDownHeader();
        TFooterAppearance* f = d.GetDropDownFooter();
        EXPECT_EQ(h->GetColor(), c.headerColor);
        EXPECT_EQ(h->GetColorTo(), c.headerColorTo);
        EXPECT_EQ(h->GetFont()->GetColor(), c.headerFont);
        EXPECT_EQ(h->GetBorderColor(), c.headerBorder);
        EXPECT_EQ(f->GetColor(), c.footerColor);
        EXPECT_EQ(f->GetColorTo(), c.footerColorTo);
        EXPECT_EQ(f->GetFont()->GetColor(), c.headerFont);
        EXPECT_EQ(f->GetBorderColor(), c.footerBorder);
    }
}

TEST(LumDropDown, HeaderFooterAndSizeSettings)
{
    TestDropDown d;
    EXPECT_EQ(d.GetDropDownHeader()->GetOwner(), &d);
    EXPECT_TRUE(d.GetDropDownHeader()->GetVisible());
    EXPECT_EQ(d.GetDropDownFooter()->GetHeight(), 22);
    ASSERT_NE(d.GetDropDownForm(), nullptr);
    d.GetDropDownForm()->SetBounds(0, 0, 120, 70);
    EXPECT_EQ(d.GetDropDownSize().cx, 120);  // a sizeable window has its own size
    EXPECT_EQ(d.GetDropDownSize().cy, 70);

    d.SetDropDownSizeable(false);
    EXPECT_EQ(d.GetDropDownSize().cx, 0);  // no content, no fixed size
    d.SetDropDownWidth(150);
    EXPECT_EQ(d.GetDropDownSize().cx, 0);  // one dimension alone is no size
    d.SetDropDownHeight(90);
    EXPECT_EQ(d.GetDropDownSize().cx, 150);
    EXPECT_EQ(d.GetDropDownSize().cy, 90);

    TestDropDown source;
    source.GetDropDownHeader()->SetCaption(u"<b>Pick</b>");
    source.GetDropDownHeader()->GetButtons()->Add()->SetCaption(u"All");
    source.GetDropDownFooter()->SetSizeGrip(false);
    d.Assign(&source);
    EXPECT_EQ(d.GetDropDownHeader()->GetCaption(), u"<b>Pick</b>");
    EXPECT_EQ(d.GetDropDownHeader()->GetButtons()->GetCount(), 1);
    EXPECT_FALSE(d.GetDropDownFooter()->GetSizeGrip());

    // The setters copy.
    THeaderAppearance header(nullptr);
    header.SetHeight(30);
    d.SetDropDownHeader(&header);
    EXPECT_EQ(d.GetDropDownHeader()->GetHeight(), 30);
    EXPECT_NE(d.GetDropDownHeader(), &header);
}

TEST(LumDropDown, StylesAndTonesColourTheDropDownButton)
{
    struct Case {
        ROZEVizer style;
        TColor color, hot, down, text, textHot, textDown;
    };
    const Case cases[] = {
        { tsOffice2019White, 0xFFFFFF, 0xF2E1D5, 0xE3BDA3, 0x444648, 0x232425, 0x232425 },
        { tsOffice2019Gray, 0xB8BBBE, 0x969696, 0x666666, 0x232425, 0x232425, 0x232425 },
        { tsOffice2019Black, 0x444444, 0x686868, 0x828282, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF },
        // every other style: the platform look
        { tsWindows10, clNone, clNone, clNone, clNone, clNone, clNone },
        { tsOffice2003Blue, clNone, clNone, clNone, clNone, clNone, clNone },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        TestDropDown d;
        TDropDownEditButton* b = d.GetButton();
        ASSERT_NE(b, nullptr);
        b->SetButtonBorderColor(0x010101);
        d.SetComponentStyle(tsOffice2019Black);  // something to reset
        d.SetComponentStyle(c.style);
        EXPECT_EQ(b->GetButtonColor(), c.color);
        EXPECT_EQ(b->GetButtonColorHot(), c.hot);
        EXPECT_EQ(b->GetButtonColorDown(), c.down);
        EXPECT_EQ(b->GetButtonTextColor(), c.text);
        EXPECT_EQ(b->GetButtonTextColorHot(), c.textHot);
        EXPECT_EQ(b->GetButtonTextColorDown(), c.textDown);
        // the Office 2019 styles leave the button's border colour alone
        const bool office2019 = c.color != clNone;
        EXPECT_EQ(b->GetButtonBorderColor(), office2019 ? TColor(0x010101) : clNone);
    }

    TestDropDown d;
    TColorTones tones;
    tones.Background.BrushColor = 0x111111;
    tones.Background.BorderColor = 0x222222;
    tones.Hover.BrushColor = 0x333333;
    tones.Selected.BrushColor = 0x444444;
    d.SetColorTones(tones);
    EXPECT_EQ(d.GetButton()->GetButtonColor(), TColor(0x111111));
    EXPECT_EQ(d.GetButton()->GetButtonColorHot(), TColor(0x333333));
    EXPECT_EQ(d.GetButton()->GetButtonColorDown(), TColor(0x444444));
    EXPECT_EQ(d.GetButton()->GetButtonBorderColor(), TColor(0x222222));
    EXPECT_EQ(d.GetBorderColor(), TColor(0x222222));
}

TEST(LumDropDown, ButtonNeedsADropDownOwner)
{
    TEdit edit;
    EXPECT_THROW(TDropDownEditButton button(&edit), EInvalidCast);
}
