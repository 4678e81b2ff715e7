// The grid's style presets, colour tones, XP schemes and Office theme
// following; the formatted text of a numeric cell.

#include <gtest/gtest.h>

#include <memory>

#include "LocaleGuard.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/Registry.h"

namespace {

constexpr TColor None = clNone;

std::unique_ptr<TDedOzovedUrad> NewGrid() { return std::make_unique<TDedOzovedUrad>(nullptr); }

struct TFixedCase {
    TRirEvozStyle Style;
    TGridLook Look;
    TColor Border; // clDefault: not set by the style
    TColor From, To, MirrorFrom, MirrorTo;
};

} // namespace

TEST(GridStyles, FixedCellGradientAndLookOfAStyle)
{
    const TFixedCase Cases[] = {
        { gsOffice2003Blue, glXP, clDefault, TColor(0xFCE1CB), TColor(0xE0A57D), None, None },
        { gsOffice2007Obsidian, glOffice2007, clDefault, TColor(0xF7F7F7), TColor(0xDEDEDE), None, None },
        { gsWindowsVista, glVista, clDefault, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFAF8F7), TColor(0xF4F2F1) },
        { gsWindows7, glWin7, clDefault, TColor(0xFDFCFA), TColor(0xFAF0E6), TColor(0xF4E6DC), TColor(0xF7E9DD) },
        { gsOffice2013Gray, glOffice2007, TColor(0xABABAB), TColor(0xF3F3F3), TColor(0xF3F3F3), TColor(0xF3F3F3),
            TColor(0xF3F3F3) },
        { gsOffice2019Black, glCustom, TColor(0x999999), TColor(0x262626), TColor(0x262626), TColor(0x262626),
            TColor(0x262626) },
    };
    for (const TFixedCase& C : Cases) {
        SCOPED_TRACE(int(C.Style));
        auto G = NewGrid();
        const TColor BorderBefore = G->GetBorderColor();
        G->SetStyle(C.Style);
        EXPECT_EQ(G->GetLook(), C.Look);
        const auto S = G->GetFixedGradientState();
        EXPECT_EQ(S.From, C.From);
        EXPECT_EQ(S.To, C.To);
        EXPECT_EQ(S.MirrorFrom, C.MirrorFrom);
        EXPECT_EQ(S.MirrorTo, C.MirrorTo);
        if (C.Border != clDefault)
            EXPECT_EQ(G->GetBorderColor(), C.Border);
        else if (C.Look == glXP)
            EXPECT_EQ(G->GetBorderColor(), BorderBefore);
        // The search footer takes the gradient's ends.
        EXPECT_EQ(G->GetSearchFooter()->GetColor(), C.From);
        EXPECT_EQ(G->GetSearchFooter()->GetColorTo(), C.MirrorTo);
    }
    auto G = NewGrid();
    G->SetStyle(gsOffice2019Gray);
    EXPECT_EQ(G->GetFixedColor(), TColor(0x666666));
}

TEST(GridStyles, HoverPressedAndSortedHeaderColours)
{
    struct TCase {
        TRirEvozStyle Style;
        TColor HoverFrom, HoverMirrorTo, HoverBorder, DownFrom, DownBorder, Header, HeaderMirrorTo;
    };
    const TCase Cases[] = {
        { gsOffice2007Luna, TColor(0xE4E2DF), TColor(0xD2C5BC), TColor(0xB79F87), TColor(0xE4C19D), TColor(0xE4C19D),
            None, None },
        { gsWindows7, TColor(0xFEFBF8), TColor(0xE8D2C1), TColor(0xEEE8E3), TColor(0xF1E8DD), TColor(0xD5BCAA),
            TColor(0xFCF9F2), TColor(0xF6ECD8) },
        { gsOffice2010Silver, TColor(0x6BDFFF), TColor(0xE6FCFF), TColor(0x3ABFE8), TColor(0x5BD5FF), TColor(0x308AC2),
            TColor(0xAAAAAA), TColor(0xAAAAAA) },
        { gsWindows10, TColor(0xF7EFE8), TColor(0xF7EFE8), TColor(0xF9CEA4), TColor(0xF7E0C9), TColor(0xE4A262),
            TColor(0xF7F6F5), TColor(0xF7F6F5) },
        // No application colour: white hover and pressed states.
        { gsOffice2016White, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xB1B1B1), TColor(0xFFFFFF), TColor(0xABABAB),
            TColor(0xFFFFFF), TColor(0xFFFFFF) },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Style));
        auto G = NewGrid();
        // A sorted header colour of an earlier style never survives.
        G->GetSortSettings()->SetHeaderColor(TColor(0x123456));
        G->SetStyle(C.Style);
        const auto S = G->GetFixedGradientState();
        EXPECT_EQ(S.HoverFrom, C.HoverFrom);
        EXPECT_EQ(S.HoverMirrorTo, C.HoverMirrorTo);
        EXPECT_EQ(S.HoverBorder, C.HoverBorder);
        EXPECT_EQ(S.DownFrom, C.DownFrom);
        EXPECT_EQ(S.DownBorder, C.DownBorder);
        EXPECT_EQ(G->GetSortSettings()->GetHeaderColor(), C.Header);
        EXPECT_EQ(G->GetSortSettings()->GetHeaderMirrorColorTo(), C.HeaderMirrorTo);
    }
}

TEST(GridStyles, SelectionActiveCellLinesAndFonts)
{
    struct TCase {
        TRirEvozStyle Style;
        TColor Selection, SelectionTo, SelectionText;
        TGridSelectionStyle SelectionStyle;
        TColor Active, ActiveTo, Line, FixedLine, FixedFont, ActiveFont;
    };
    const TCase Cases[] = {
        { gsOffice2003Olive, TColor(0x94E6FB), TColor(0x1595EE), TColor(0), ssDefault, TColor(0x94E6FB),
            TColor(0x1595EE), TColor(0xC0C0C0), TColor(0x808080), TColor(0), clWindowText },
        { gsWindowsXP, clHighlight, None, clHighlightText, ssDefault, clBtnFace, clBtnFace, TColor(0xC0C0C0),
            TColor(0x808080), TColor(0), clWindowText },
        { gsWindows7, TColor(0xEACAB6), None, TColor(0), ssWin7, TColor(0xFCEBDC), TColor(0xFCDBC1), TColor(0xECECF0),
            TColor(0xD4D2D1), TColor(0), clWindowText },
        { gsOffice2013White, TColor(0xDAA026), None, TColor(0xFFFFFF), ssDefault, TColor(0xEEEEEE), TColor(0xEEEEEE),
            TColor(0xD4D4D4), TColor(0xD4D4D4), TColor(0), clWindowText },
        { gsOffice2016Gray, TColor(0xC6C6C6), None, TColor(0), ssDefault, TColor(0x262626), TColor(0x262626),
            TColor(0xD4D4D4), TColor(0xD3D3D3), TColor(0xFFFFFF), TColor(0xFFFFFF) },
        { gsOffice2019White, TColor(0xD1B9A5), None, TColor(0), ssDefault, TColor(0xB0784A), TColor(0xB0784A),
            TColor(0xD4D4D4), TColor(0xABABAB), TColor(0x3B3B3B), TColor(0x444648) },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Style));
        auto G = NewGrid();
        G->SetStyle(C.Style);
        EXPECT_EQ(G->GetSelectionColor(), C.Selection);
        EXPECT_EQ(G->GetSelectionColorTo(), C.SelectionTo);
        EXPECT_EQ(G->GetSelectionTextColor(), C.SelectionText);
        EXPECT_EQ(G->GetSelectionStyle(), C.SelectionStyle);
        EXPECT_EQ(G->GetActiveCellColor(), C.Active);
        EXPECT_EQ(G->GetActiveCellColorTo(), C.ActiveTo);
        EXPECT_EQ(G->GetGridLineColor(), C.Line);
        EXPECT_EQ(G->GetGridFixedLineColor(), C.FixedLine);
        EXPECT_EQ(G->GetFixedFont()->GetColor(), C.FixedFont);
        EXPECT_EQ(G->GetActiveCellFont()->GetColor(), C.ActiveFont);
    }
}

TEST(GridStyles, ApplicationColourTintsOffice2016And2019)
{
    // AC: red 0x60, green 0x50, blue 0x40. L60 and L20 scale each channel.
    const TColor AC = TColor(0x405060);
    const TColor L60 = TColor(0x66809A), L20 = TColor(0x4D6073);

    auto G = NewGrid();
    G->SetComponentStyleAndAppColor(tsOffice2016White, AC);
    auto S = G->GetFixedGradientState();
    EXPECT_EQ(S.HoverFrom, L60);
    EXPECT_EQ(S.HoverMirrorTo, L60);
    EXPECT_EQ(S.DownFrom, L20);
    EXPECT_EQ(G->GetActiveCellFont()->GetColor(), AC);
    EXPECT_EQ(G->GetUIStyle(), tsOffice2016White);

    G->SetComponentStyleAndAppColor(tsOffice2019White, AC);
    EXPECT_EQ(G->GetActiveCellColor(), AC);
    EXPECT_EQ(G->GetActiveCellColorTo(), AC);
    EXPECT_EQ(G->GetSelectionColor(), L20);
    // A bright channel stops at 255.
    G->SetComponentStyleAndAppColor(tsOffice2019Gray, TColor(0x10E0F0));
    EXPECT_EQ(G->GetFixedGradientState().HoverFrom, TColor(0x1AFFFF));
}

TEST(GridStyles, ControlLookGradientPropertiesAfterAStyle)
{
    struct TCase {
        TRirEvozStyle Style;
        TColor From, To, MirrorFrom, MirrorTo;
    };
    const TCase Cases[] = {
        { gsOffice2003Blue, TColor(0xFCE1CB), TColor(0xE0A57D), None, None },
        { gsWindowsVista, None, None, TColor(0xFAF8F7), TColor(0xF4F2F1) },
        { gsOffice2019Gray, TColor(0x666666), TColor(0x666666), TColor(0x666666), TColor(0x666666) },
        { gsWhidbey, None, None, None, None },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Style));
        auto G = NewGrid();
        G->SetStyle(C.Style);
        TControlLook* L = G->GetControlLook();
        EXPECT_EQ(L->GetFixedGradientFrom(), C.From);
        EXPECT_EQ(L->GetFixedGradientTo(), C.To);
        EXPECT_EQ(L->GetFixedGradientMirrorFrom(), C.MirrorFrom);
        EXPECT_EQ(L->GetFixedGradientMirrorTo(), C.MirrorTo);
    }
}

TEST(GridStyles, UnchangedCellsKeepThePreviousStylesValues)
{
    auto G = NewGrid();
    G->SetStyle(gsWindowsVista);
    G->SetStyle(gsOffice2007Silver);
    auto S = G->GetFixedGradientState();
    EXPECT_EQ(S.From, TColor(0xF3F3F1));
    EXPECT_EQ(S.MirrorFrom, TColor(0xFAF8F7));
    EXPECT_EQ(S.MirrorTo, TColor(0xF4F2F1));

    G->SetStyle(gsOffice2003Blue);
    G->SetStyle(gsOffice2007Silver);
    S = G->GetFixedGradientState();
    EXPECT_EQ(S.MirrorFrom, None);
    EXPECT_EQ(S.MirrorTo, None);
}

TEST(GridStyles, CustomStoresOnlyAndCustomPresetResetsTheCommonPart)
{
    auto G = NewGrid();
    G->SetStyle(gsOffice2013White);
    const TColor Selection = G->GetSelectionColor();
    G->SetComponentStyle(tsCustom);
    EXPECT_EQ(G->GetUIStyle(), tsCustom);
    EXPECT_EQ(G->GetSelectionColor(), Selection);
    EXPECT_EQ(G->GetLook(), glOffice2007);

    G->SetStyle(gsCustom);
    EXPECT_EQ(G->GetSelectionColor(), clHighlight);
    EXPECT_EQ(G->GetSelectionTextColor(), clHighlightText);
    EXPECT_EQ(G->GetFixedFont()->GetColor(), TColor(0));
    EXPECT_EQ(G->GetFont()->GetColor(), clWindowText);
    EXPECT_EQ(G->GetLook(), glOffice2007);
}

TEST(GridStyles, StylingInterfaceResetsMetroScrollingAndStylesOwnedEditors)
{
    // A drop-down editor as far as styling goes: any component of the grid
    // that takes a style or tones.
    struct TStyledEditor : TComponent, ILumStyle, ILumTones {
        using TComponent::TComponent;
        void SetComponentStyle(ROZEVizer AStyle) override { Style = AStyle; }
        void SetColorTones(const TColorTones& ATones) override { Tones = ATones; }
        ROZEVizer Style { tsCustom };
        TColorTones Tones;
    };
    auto G = NewGrid();
    auto* Editor = new TStyledEditor(G.get());
    ILumStyle* Styled = Supports<ILumStyle>(static_cast<TComponent*>(G.get()));
    ASSERT_NE(Styled, nullptr);
    G->SetScrollType(ssMetro);
    Styled->SetComponentStyle(tsOffice2016Black);
    EXPECT_EQ(G->GetScrollType(), ssNormal);
    EXPECT_EQ(G->GetUIStyle(), tsOffice2016Black);
    EXPECT_EQ(G->GetBorderColor(), TColor(0x999999));
    EXPECT_EQ(Editor->Style, tsOffice2016Black);

    TColorTones Tones;
    MetroColorTones(true, TColor(0xD77800), TColor(0), Tones);
    G->SetColorTones(Tones);
    EXPECT_EQ(Editor->Tones, Tones);
}

TEST(GridStyles, ColorTonesMakeTheMetroLook)
{
    TColorTones T;
    T.Background = { TColor(0xF0F0F0), TColor(0xA0A0A0), TColor(0x101010) };
    T.Foreground = { TColor(0x643200), TColor(0x502800), TColor(0xFFFFFF) };
    T.Selected = { TColor(0xD77800), TColor(0xC06000), TColor(0xFEFEFE) };
    T.Hover = { TColor(0xE0B080), TColor(0xC09060), TColor(0) };
    auto G = NewGrid();
    G->SetColorTones(T);
    EXPECT_EQ(G->GetColorTones(), T);
    EXPECT_EQ(G->GetLook(), glClassic);
    EXPECT_TRUE(G->GetFlat());
    EXPECT_EQ(G->GetScrollType(), ssMetro);
    EXPECT_EQ(G->GetFixedColor(), TColor(0x643200));
    EXPECT_EQ(G->GetFixedFont()->GetColor(), TColor(0xFFFFFF));
    EXPECT_EQ(G->GetFixedFont()->GetName(), DefaultUIFontName());
    EXPECT_EQ(G->GetColor(), TColor(0xF0F0F0));
    EXPECT_EQ(G->GetFont()->GetColor(), TColor(0x101010));
    EXPECT_EQ(G->GetSelectionColor(), TColor(0xD77800));
    EXPECT_EQ(G->GetSelectionTextColor(), TColor(0xFEFEFE));
    EXPECT_EQ(G->GetSelectionColorTo(), None);
    EXPECT_EQ(G->GetGridLineColor(), TColor(0xE6E6E6));
    // 20 percent darker: each channel times 0.8.
    EXPECT_EQ(G->GetGridFixedLineColor(), TColor(0x502800));
    EXPECT_EQ(G->GetBorderStyle(), bsNone);
    EXPECT_EQ(G->GetControlLook()->GetControlStyle(), RirEvoz::csGlyph);
    EXPECT_FALSE(G->GetControlLook()->GetCheckedGlyph()->Empty());
    EXPECT_FALSE(G->GetControlLook()->GetRadioOnGlyph()->Empty());
    EXPECT_TRUE(G->GetControlLook()->GetGrayedGlyph()->Empty());
    EXPECT_TRUE(G->GetControlLook()->GetFlatButton());
    EXPECT_EQ(G->GetSearchFooter()->GetColorTo(), TColor(0x643200));
    EXPECT_EQ(G->GetCellNode()->GetNodeType(), cnFlat);
}

TEST(GridStyles, XPColourSchemes)
{
    struct TCase {
        TXPColorScheme Scheme;
        TColor From, To, MirrorFrom, Active, ActiveTo, Footer, FooterTo;
    };
    const TCase Cases[] = {
        { xpBlue, TColor(0xFCE1CB), TColor(0xE0A57D), None, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xFCE1CB),
            TColor(0xE0A57D) },
        { xpGreen, TColor(0xCFF0EA), TColor(0x8CC0B1), None, TColor(0x94E6FB), TColor(0x1595EE), TColor(0xCFF0EA),
            TColor(0x8CC0B1) },
        { vistaAero, TColor(0xFFFFFF), TColor(0xFFFFFF), TColor(0xFAF8F7), TColor(0x94E6FB), TColor(0x1595EE),
            TColor(0xECE2E1), TColor(0xB39698) },
        { xpNone, TColor(0xFFFFFF), clBtnFace, None, TColor(0xFFFFFF), TColor(0xFFD9B3), TColor(0xFFFFFF),
            TColor(0xFFD9B3) },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Scheme));
        auto G = NewGrid();
        G->SetTheme(C.Scheme);
        const auto S = G->GetFixedGradientState();
        EXPECT_EQ(S.From, C.From);
        EXPECT_EQ(S.To, C.To);
        EXPECT_EQ(S.MirrorFrom, C.MirrorFrom);
        EXPECT_EQ(G->GetActiveCellColor(), C.Active);
        EXPECT_EQ(G->GetActiveCellColorTo(), C.ActiveTo);
        EXPECT_EQ(G->GetSearchFooter()->GetColor(), C.Footer);
        EXPECT_EQ(G->GetSearchFooter()->GetColorTo(), C.FooterTo);
        EXPECT_EQ(G->GetControlLook()->GetFixedGradientFrom(), C.Scheme == xpNone ? None : C.From);
    }
}

namespace {

// Counts the presets applied.
struct TCountingGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    void SetStyleAndAppColor(TRirEvozStyle AStyle, TColor AppColor) override
    {
        ++Applied;
        Last = AStyle;
        TDedOzovedUrad::SetStyleAndAppColor(AStyle, AppColor);
    }
    int Applied { 0 };
    TRirEvozStyle Last { gsCustom };
};

const String Office16 = u"Software\\Microsoft\\Office\\16.0\\Common";

void SetOfficeTheme(int Theme)
{
    TRegistry Reg;
    Reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(Reg.OpenKey(Office16, true));
    Reg.WriteInteger(u"UI Theme", Theme);
}

} // namespace

TEST(GridStyles, OfficeThemeIsFollowedOncePerChange)
{
    struct TCleanUp {
        ~TCleanUp()
        {
            TRegistry Reg;
            Reg.SetRootKey(HKEY_CURRENT_USER);
            Reg.DeleteKey(u"Software\\Microsoft\\Office\\16.0");
        }
    } CleanUp;
    TCountingGrid G(nullptr);
    SetOfficeTheme(0);
    G.AdaptToOfficeTheme();
    EXPECT_EQ(G.Applied, 0) << "AutoThemeAdapt is off";

    G.SetAutoThemeAdapt(true);
    G.AdaptToOfficeTheme();
    EXPECT_EQ(G.Applied, 1);
    EXPECT_EQ(G.Last, gsOffice2019White);
    EXPECT_EQ(G.GetOldOfficeTheme(), ot2019White);
    G.AdaptToOfficeTheme();
    G.AdaptToOfficeTheme();
    EXPECT_EQ(G.Applied, 1);

    // The theme notifier's message and the platform's theme change reach it.
    SetOfficeTheme(4);
    TMessage Notified { WM_OFFICETHEMECHANGED };
    G.Dispatch(Notified);
    TMessage ThemeChanged { WM_THEMECHANGED };
    G.Dispatch(ThemeChanged);
    EXPECT_EQ(G.Applied, 2);
    EXPECT_EQ(G.Last, gsOffice2019Black);
    EXPECT_EQ(G.GetUIStyle(), tsOffice2019Black);
}

TEST(GridStyles, OfficeThemesMapToTheirStyles)
{
    const std::pair<TOfficeTheme, ROZEVizer> Cases[] = { { ot2003Olive, tsOffice2003Olive },
        { ot2007Silver, tsOffice2007Silver }, { ot2007Black, tsOffice2007Obsidian },
        { ot2013Silver, tsOffice2013LightGray }, { ot2016Black, tsOffice2016Black }, { otUnknown, tsCustom } };
    for (const auto& [Theme, Style] : Cases) {
        SCOPED_TRACE(int(Theme));
        EXPECT_EQ(TDedOzovedUrad::OfficeThemeStyle(Theme), Style);
    }
}

// ---- the formatted text of a cell ----


TEST(GridFormattedCell, NumbersThroughTheFloatFormat)
{
    LocaleGuard Locale(LocaleGuard::DotDecimal);
    struct TCase {
        const char* Name;
        TFormatType Type;
        String Format;
        String Cell, Shown;
    };
    const TCase Cases[] = {
        { "excel grouping", ftExcel, u"#,##0.00", u"1234.5", u"1,234.50" },
        { "excel sections", ftExcel, u"0;(0)", u"-3", u"(3)" },
        { "excel colour tag", ftExcel, u"[Red]0.0", u"2", u"2.0" },
        { "excel scientific text", ftExcel, u"0.00", u"1.5E3", u"1500.00" },
        { "text is no number", ftExcel, u"0.00", u"abc", u"abc" },
        { "printf float", ftVCL, u"%.1f", u"2.25", u"2.3" },
        { "printf integer", ftVCL, u"%d", u"42", u"42" },
        { "a failing pattern keeps the text", ftVCL, u"%s", u"2.5", u"2.5" },
        { "no format keeps the text", ftExcel, u"", u"7", u"7" },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TDedOzovedUrad G(nullptr);
        G.SetFormatType(C.Type);
        G.OnGetFloatFormat = [&](TObject*, int, int, bool& IsFloat, String& Format) {
            EXPECT_TRUE(IsFloat);
            Format = C.Format;
        };
        G.SetCells(1, 1, C.Cell);
        EXPECT_EQ(G.GetFormattedCell(1, 1), C.Shown);
    }
    TDedOzovedUrad G(nullptr);
    G.SetFormatType(ftExcel);
    G.SetCells(1, 1, u"1234.5");
    EXPECT_EQ(G.GetFormattedCell(1, 1), u"1234.5") << "without a handler the text stays";
}
