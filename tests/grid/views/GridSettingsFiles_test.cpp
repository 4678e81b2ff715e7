#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/SysUtils.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;
using namespace gridfiletest;

namespace {

// The file with one key's line replaced (or dropped, for an empty Line).
std::string WithLine(std::string Text, const std::string& Key, const std::string& Line)
{
    const std::regex Pattern("(^|\n)" + Key + "=[^\r]*\r\n");
    return std::regex_replace(Text, Pattern, Line.empty() ? "$1" : "$1" + Line + "\r\n");
}

struct VisualProps : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    testsupport::TempDir Dir;

    // A look far from every default.
    void Dress(TDedOzovedUrad& Grid)
    {
        Grid.SetLook(glCustom);
        Grid.SetColor(TColor(0x102030));
        Grid.SetHintColor(clInfoText);
        Grid.SetSelectionColor(TColor(0x010203));
        Grid.SetSelectionColorTo(TColor(0x040506));
        Grid.SetSelectionMirrorColor(TColor(0x070809));
        Grid.SetSelectionMirrorColorTo(TColor(0x0A0B0C));
        Grid.SetSelectionTextColor(clRed);
        Grid.SetURLShow(true);
        Grid.SetActiveRowColor(TColor(0x123456));
        Grid.SetActiveCellShow(true);
        Grid.GetFont()->SetName(u"Courier New");
        Grid.GetFont()->SetSize(13);
        Grid.GetFont()->SetStyle(TFontStyles { fsBold, fsStrikeOut });
        Grid.GetFont()->SetColor(TColor(0x00FF77));
        Grid.GetActiveCellFont()->SetStyle(TFontStyles { fsItalic, fsUnderline });
        Grid.GetFixedFont()->SetSize(7);
        Grid.GetBalloon()->SetTransparency(40);
        Grid.GetBands()->SetActive(true);
        Grid.GetBands()->SetSecondaryColor(TColor(0xABCDEF));
        Grid.GetControlLook()->SetControlStyle(RirEvoz::csFlat);
        Grid.GetControlLook()->SetRadioSize(13);
        Grid.GetSearchFooter()->SetColorTo(TColor(0x333333));
        Grid.GetGrouping()->SetSummaryLineWidth(5);
        Grid.GetGrouping()->SetHeaderUnderline(true);
        Grid.SetGridLineColor(TColor(0x444444));
        Grid.GetBackGround()->SetDisplay(bdGradientVert);
        Grid.GetBackGround()->SetCells(bcAll);
        Grid.GetBackGround()->SetLeft(-3);
        Grid.SetZIDGradientFrom(TColor(0x111111));
        Grid.SetZIDGradientTo(TColor(0x222222));
        Grid.SetZIDGradientMirrorFrom(TColor(0x333300));
        Grid.SetZIDGradientMirrorTo(TColor(0x004444));
        // Loading takes the fixed gradient from the ZID colours.
        Grid.GetControlLook()->SetFixedGradientFrom(TColor(0x111111));
        Grid.GetControlLook()->SetFixedGradientTo(TColor(0x222222));
        Grid.SetSelectionStyle(ssWin7);
    }
};

} // namespace

TEST_F(VisualProps, RoundTripKeepsEveryValue)
{
    Dress(G);
    G.SaveVisualProps(P(Dir / "look.txt"));
    const std::string Saved = ReadBytes(Dir / "look.txt");
    EXPECT_TRUE(Saved.starts_with("Color=$00102030\r\nHintColor=clInfoText\r\n")) << Saved.substr(0, 60);
    EXPECT_NE(Saved.find("\r\nFont.Style=fsBold,fsStrikeOut\r\nFont.Size=13\r\nFont.Name=Courier New\r\n"),
        std::string::npos);
    EXPECT_NE(Saved.find("\r\nControlLook.ControlStyle=csFlat\r\n"), std::string::npos);
    EXPECT_NE(Saved.find("\r\nLook=\r\n"), std::string::npos);

    TDedOzovedUrad Back { nullptr };
    Back.LoadVisualProps(P(Dir / "look.txt"));
    EXPECT_EQ(Back.GetLook(), glCustom);
    EXPECT_EQ(Back.GetZIDGradientMirrorFrom(), TColor(0x333300));
    EXPECT_EQ(Back.GetZIDGradientMirrorTo(), TColor(0x004444));
    EXPECT_EQ(Back.GetControlLook()->GetFixedGradientMirrorFrom(), TColor(0x333300));
    EXPECT_EQ(Back.GetSelectionStyle(), ssWin7);
    EXPECT_EQ(Back.GetFont()->GetStyle(), (TFontStyles { fsBold, fsStrikeOut }));
    // Every other key: the grid that loaded the file writes it again.
    Back.SaveVisualProps(P(Dir / "again.txt"));
    EXPECT_EQ(ReadBytes(Dir / "again.txt"), Saved);
}

TEST_F(VisualProps, ValuesAsTheFileGivesThem)
{
    Dress(G);
    G.SaveVisualProps(P(Dir / "look.txt"));
    std::string Text = ReadBytes(Dir / "look.txt");
    Text = WithLine(Text, "Font.Style", "font.style=fsItalic,fsBold");
    Text = WithLine(Text, "SearchFooter.Color", "SearchFooter.Color=");
    Text = WithLine(Text, "Look", "Look=glsoft");
    Text += "Color=clRed\r\n"; // the first line of a key counts
    WriteBytes(Dir / "edited.txt", Text);

    TDedOzovedUrad Back { nullptr };
    Back.LoadVisualProps(P(Dir / "edited.txt"));
    EXPECT_EQ(Back.GetFont()->GetStyle(), (TFontStyles { fsBold, fsItalic }));
    EXPECT_EQ(Back.GetSearchFooter()->GetColor(), clNone);
    EXPECT_EQ(Back.GetColor(), TColor(0x102030));
    // The look's preset came and went: the file's selection colours win.
    EXPECT_EQ(Back.GetSelectionColor(), TColor(0x010203));
    EXPECT_EQ(Back.GetLook(), glCustom);
}

TEST_F(VisualProps, AMissingIntegerStopsTheLoadThere)
{
    Dress(G);
    G.SaveVisualProps(P(Dir / "look.txt"));
    WriteBytes(Dir / "short.txt", WithLine(ReadBytes(Dir / "look.txt"), "Balloon.Transparency", ""));
    TDedOzovedUrad Back { nullptr };
    const TColor Secondary = Back.GetBands()->GetSecondaryColor();
    EXPECT_THROW(Back.LoadVisualProps(P(Dir / "short.txt")), EConvertError);
    EXPECT_EQ(Back.GetColor(), TColor(0x102030));
    EXPECT_EQ(Back.GetFont()->GetSize(), 13);
    EXPECT_TRUE(Back.GetActiveCellShow());
    EXPECT_EQ(Back.GetActiveCellFont()->GetStyle(), (TFontStyles { fsItalic, fsUnderline }));
    EXPECT_EQ(Back.GetBands()->GetSecondaryColor(), Secondary);

    try {
        Back.LoadVisualProps(P(Dir / "missing.txt"));
        ADD_FAILURE();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, u"Cannot open file " + P(Dir / "missing.txt"));
    }
    try {
        G.SaveVisualProps(P(Dir / "no" / "look.txt"));
        ADD_FAILURE();
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message, u"Cannot Create " + P(Dir / "no" / "look.txt"));
    }
}

TEST(PrintSettingsFile, AMissingSectionGivesTheDefaults)
{
    testsupport::TempDir Dir;
    WriteBytes(Dir / "print.ini", "[other]\nFontSize=30\n");
    TDedOzovedUrad G { nullptr };
    G.GetPrintSettings()->SetBorders(pbDouble);
    G.GetPrintSettings()->SetCentered(false);
    G.LoadPrintSettings(P(Dir / "print.ini"), u"print");
    const TPrintSettings& S = *G.GetPrintSettings();
    const struct {
        const char* Name;
        int Got, Want;
    } Values[] = { { "LeftSize", S.GetLeftSize(), 100 }, { "RightSize", S.GetRightSize(), 100 },
        { "HeaderSize", S.GetHeaderSize(), 100 }, { "FooterSize", S.GetFooterSize(), 100 },
        { "ColumnSpacing", S.GetColumnSpacing(), 20 }, { "RowSpacing", S.GetRowSpacing(), 20 },
        { "TitleSpacing", S.GetTitleSpacing(), 20 }, { "Borders", S.GetBorders(), pbNoborder },
        { "Centered", S.GetCentered(), 1 }, { "FontSize", S.GetFont()->GetSize(), 10 },
        { "FooterFontSize", S.GetFooterFont()->GetSize(), 10 }, { "Date", S.GetDate(), DedOzovedUrad::ppNone } };
    for (const auto& v : Values) {
        SCOPED_TRACE(v.Name);
        EXPECT_EQ(v.Got, v.Want);
    }
    EXPECT_EQ(S.GetFont()->GetName(), u"Arial");
    EXPECT_EQ(S.GetHeaderFont()->GetName(), u"Arial");
    EXPECT_EQ(S.GetFixedFont()->GetStyle(), TFontStyles());
}

TEST(PrintSettingsFile, RoundTripWithTitleLinesAndFontStyles)
{
    testsupport::TempDir Dir;
    const String File = P(Dir / "print.ini");
    TDedOzovedUrad G { nullptr };
    TPrintSettings& S = *G.GetPrintSettings();
    S.SetBorders(pbAroundVertical);
    S.SetDate(DedOzovedUrad::ppBottomCenter);
    S.SetOrientation(poLandscape);
    S.SetFitToPage(fpShrink);
    S.SetBorderColor(clBlue);
    S.SetRepeatFixedRows(true);
    S.SetPagePrefix(u"Page ");
    S.GetHeaderFont()->SetStyle(TFontStyles { fsBold });
    S.GetFont()->SetName(u"Verdana");
    S.GetTitleLines()->Add(u"First line");
    S.GetTitleLines()->Add(u"Second line");
    G.SavePrintSettings(File, u"print");
    TMemIniFile Ini(File);
    EXPECT_EQ(Ini.ReadString(u"print", u"TitleLines", String()), u"First line\\nSecond line");
    EXPECT_EQ(Ini.ReadString(u"print", u"RepeatFixedRows", String()), u"Y");
    EXPECT_EQ(Ini.ReadString(u"print", u"HeaderFontStyle", String()), u"1");

    TDedOzovedUrad Back { nullptr };
    Back.GetPrintSettings()->GetHeaderFont()->SetStyle(TFontStyles { fsItalic });
    Back.GetPrintSettings()->GetFont()->SetStyle(TFontStyles { fsBold });
    Back.LoadPrintSettings(File, u"print");
    const TPrintSettings& B = *Back.GetPrintSettings();
    // The stored style replaces the grid's: bold stays bold only, plain plain.
    EXPECT_EQ(B.GetHeaderFont()->GetStyle(), TFontStyles { fsBold });
    EXPECT_EQ(B.GetFont()->GetStyle(), TFontStyles());
    EXPECT_EQ(B.GetFont()->GetName(), u"Verdana");
    ASSERT_EQ(B.GetTitleLines()->GetCount(), 2);
    EXPECT_EQ(B.GetTitleLines()->GetStrings(1), u"Second line");
    EXPECT_EQ(B.GetBorders(), pbAroundVertical);
    EXPECT_EQ(B.GetDate(), DedOzovedUrad::ppBottomCenter);
    EXPECT_EQ(B.GetOrientation(), poLandscape);
    EXPECT_EQ(B.GetFitToPage(), fpShrink);
    EXPECT_EQ(B.GetBorderColor(), clBlue);
    EXPECT_TRUE(B.GetRepeatFixedRows());
    EXPECT_EQ(B.GetPagePrefix(), u"Page ");
    EXPECT_EQ(B.GetPageNumSep(), u"/");

    // Numbers out of range: a position gives DedOzovedUrad::ppNone, the rest stay.
    WriteBytes(Dir / "odd.ini", "[print]\nBorders=12\nDate=9\nOrientation=2\nFitToPage=-1\nCentered=y\n");
    Back.LoadPrintSettings(P(Dir / "odd.ini"), u"print");
    EXPECT_EQ(B.GetBorders(), pbAroundVertical);
    EXPECT_EQ(B.GetDate(), DedOzovedUrad::ppNone);
    EXPECT_EQ(B.GetOrientation(), poLandscape);
    EXPECT_EQ(B.GetFitToPage(), fpShrink);
    EXPECT_FALSE(B.GetCentered());
}
