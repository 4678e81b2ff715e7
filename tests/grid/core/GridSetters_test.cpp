#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/HTMLHintWindow.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/HintWindow.h"

// ---- look and behaviour setters ----

TEST(GridSetters, WritesStoreWhatTheyShould)
{
    struct TCase {
        const char* Name;
        std::function<void(TDedOzovedUrad&)> Write;
        std::function<bool(TDedOzovedUrad&)> Holds;
    };
    const TCase Cases[] = {
        { "mixer factor above 100", [](TDedOzovedUrad& G) { G.SetSelectionColorMixerFactor(150); },
            [](TDedOzovedUrad& G) { return G.GetSelectionColorMixerFactor() == 100; } },
        { "mixer factor below 0", [](TDedOzovedUrad& G) { G.SetSelectionColorMixerFactor(-5); },
            [](TDedOzovedUrad& G) { return G.GetSelectionColorMixerFactor() == 0; } },
        { "gradient colours as RGB",
            [](TDedOzovedUrad& G) {
                G.SetZIDGradientFrom(clBtnFace);
                G.SetZIDGradientTo(clWindow);
                G.SetZIDGradientMirrorFrom(TColor(0x123456));
                G.SetZIDGradientMirrorTo(clHighlight);
            },
            [](TDedOzovedUrad& G) {
                return G.GetZIDGradientFrom() == ColorToRGB(clBtnFace) && G.GetZIDGradientTo() == ColorToRGB(clWindow)
                    && G.GetZIDGradientMirrorFrom() == TColor(0x123456)
                    && G.GetZIDGradientMirrorTo() == ColorToRGB(clHighlight)
                    && G.GetZIDGradientFrom() != clBtnFace;
            } },
        { "edit length limits the editor", [](TDedOzovedUrad& G) { G.SetMaxEditLength(12); },
            [](TDedOzovedUrad& G) { return G.GetMaxEditLength() == 12 && G.GetEditLimit() == 12; } },
        { "vertical alignment", [](TDedOzovedUrad& G) { G.SetVAlignment(vtaBottom); },
            [](TDedOzovedUrad& G) { return G.GetVAlignment() == vtaBottom; } },
        { "flat", [](TDedOzovedUrad& G) { G.SetFlat(true); }, [](TDedOzovedUrad& G) { return G.GetFlat(); } },
        { "show selection reaches the base grid", [](TDedOzovedUrad& G) { G.SetShowSelection(false); },
            [](TDedOzovedUrad& G) { return !G.GetShowSelection() && !G.SelectionShown(); } },
        { "spreadsheet on",
            [](TDedOzovedUrad& G) { G.SetSpreadSheet(true); },
            [](TDedOzovedUrad& G) {
                return G.GetSpreadSheet() && G.GetSelectionRectangle() && G.GetSelectionResizer()
                    && G.GetNavigation()->GetAllowSmartClipboard() && G.GetOptions().Contains(goEditing)
                    && G.GetOptions().Contains(goRangeSelect) && G.GetMouseActions()->GetRangeSelectAndEdit();
            } },
        // Off only stores: a grid meant to be read-only does not become editable.
        { "spreadsheet off",
            [](TDedOzovedUrad& G) { G.SetSpreadSheet(false); },
            [](TDedOzovedUrad& G) {
                return !G.GetSpreadSheet() && !G.GetSelectionRectangle() && !G.GetSelectionResizer()
                    && !G.GetNavigation()->GetAllowSmartClipboard() && !G.GetOptions().Contains(goEditing)
                    && !G.GetOptions().Contains(goRangeSelect) && !G.GetMouseActions()->GetRangeSelectAndEdit();
            } },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TDedOzovedUrad G(nullptr);
        G.SetOptions(G.GetOptions().Exclude(goEditing).Exclude(goRangeSelect));
        C.Write(G);
        EXPECT_TRUE(C.Holds(G));
    }
}

TEST(GridSetters, HTMLHintsChangeTheHintWindowOfTheWholeProcess)
{
    TDedOzovedUrad G(nullptr);
    G.SetUseHTMLHints(true);
    std::unique_ptr<THintWindow> Hint(HintWindowClass(nullptr));
    EXPECT_NE(dynamic_cast<THTMLHintWindow*>(Hint.get()), nullptr);
    G.SetUseHTMLHints(false);
    Hint.reset(HintWindowClass(nullptr));
    EXPECT_EQ(dynamic_cast<THTMLHintWindow*>(Hint.get()), nullptr);
    EXPECT_FALSE(G.GetUseHTMLHints());
}

// ---- unit utilities ----

TEST(GridUnit, NaturalCompareText)
{
    struct TCase {
        const char16_t *A, *B;
        int Sign;
    };
    const TCase Cases[] = {
        { u"item2", u"item10", -1 },
        { u"item10", u"item2", 1 },
        { u"Item2", u"item2", 0 },
        { u"abc", u"abd", -1 },
        { u"file9b", u"file9a", 1 },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(StringToUtf8(String(C.A) + u" " + C.B));
        const int R = NaturalCompareText(C.A, C.B);
        EXPECT_EQ((R > 0) - (R < 0), C.Sign);
    }
}

TEST(GridUnit, FileVersionOfALibrary)
{
    EXPECT_EQ(GetDllFileVersion(u"no-such-library.dll"), -1);
    // A file that exists but holds no version information.
    const String Plain = GetTempDirectory() + u"gr_unit_no_version.txt";
    {
        TStringList Lines;
        Lines.Add(u"no version");
        Lines.SaveToFile(Plain);
    }
    EXPECT_EQ(GetDllFileVersion(Plain), -1);
    DeleteFile(Plain);
    // The common-controls library of the platform: 6.10.
    EXPECT_EQ(GetDllFileVersion(u"COMCTL32.DLL"), (6 << 16) | 10);
    EXPECT_EQ(GetDllFileVersion(u"comctl32.dll") >> 16, 6);
}

TEST(GridUnit, LocaleAccessorsAndGridRects)
{
    const TFormatSettings Saved = FormatSettings;
    FormatSettings.DecimalSeparator = u',';
    FormatSettings.ThousandSeparator = u'.';
    FormatSettings.ShortDateFormat = u"dd.MM.yyyy";
    FormatSettings.CurrencyString = u"EUR";
    EXPECT_EQ(LocaleDecimalSeparator(), u',');
    EXPECT_EQ(LocaleThousandSeparator(), u'.');
    EXPECT_EQ(LocaleShortDateFormat(), u"dd.MM.yyyy");
    EXPECT_EQ(LocaleCurrencyString(), u"EUR");
    FormatSettings = Saved;
    const TGridRect R = MakeGridRect(1, 2, 3, 4);
    EXPECT_EQ(R, (TGridRect { 1, 2, 3, 4 }));
}
