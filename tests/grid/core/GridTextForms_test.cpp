#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/LumHintInfo.h"

namespace {

struct TSmallGrid {
    TDedOzovedUrad G { nullptr };
    TSmallGrid()
    {
        G.SetColCount(5);
        G.SetRowCount(4);
        G.SetFixedCols(1);
        G.SetFixedRows(1);
    }
};

} // namespace

// ---- the grid's questions about one cell ----

TEST(GridEvents, HintsWideHintsAndTheOfficeHint)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    String Hint, Wide;
    G.GetCellHint(1, 1, Hint, Wide);
    EXPECT_EQ(Hint, u"");

    // Only the wide hint: the hint becomes its wide-cell encoding.
    G.OnGridWideHint = [](TObject*, int, int, String& Value) { Value = u"wide text"; };
    G.GetCellHint(1, 1, Hint, Wide);
    EXPECT_EQ(Hint, VuzEraz::EncodeWideCellText(u"wide text"));

    // The plain hint goes into the office hint's notes, which its event sees.
    G.OnGridWideHint = nullptr;
    G.OnGridHint = [](TObject*, int ARow, int ACol, String& Value) { Value = IntToStr(ACol) + u"/" + IntToStr(ARow); };
    String Notes;
    G.OnOfficeHint = [&](TObject*, int, int, TLumHintInfo* Info) { Notes = Trim(Info->GetNotes()->GetText()); };
    Hint.clear();
    Wide.clear();
    G.GetCellHint(2, 3, Hint, Wide);
    EXPECT_EQ(Hint, u"2/3");
    EXPECT_EQ(Notes, u"2/3");
}

TEST(GridEvents, CheckTextsComeFromTheGridThenTheEvents)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    EXPECT_EQ(G.GetCheckTrueText(1, 1), u"Y");
    EXPECT_EQ(G.GetCheckFalseText(1, 1), u"N");
    G.OnGetCheckTrue = [](TObject*, int ACol, int, String& Value) {
        if (ACol == 2)
            Value = u"Ja";
    };
    G.OnGetCheckFalse = [](TObject*, int, int ARow, String& Value) { Value += IntToStr(ARow); };
    EXPECT_EQ(G.GetCheckTrueText(1, 1), u"Y");
    EXPECT_EQ(G.GetCheckTrueText(2, 1), u"Ja");
    EXPECT_EQ(G.GetCheckFalseText(1, 3), u"N3");
}

TEST(GridEvents, MustSkipFixedOrReadOnlyCellsAsNavigationSays)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetReadOnly(2, 2, true);
    G.GetNavigation()->SetSkipFixedCells(false);
    EXPECT_FALSE(G.MustSkip(0, 1));
    EXPECT_FALSE(G.MustSkip(2, 2));

    G.GetNavigation()->SetSkipFixedCells(true);
    EXPECT_TRUE(G.MustSkip(0, 1));
    EXPECT_FALSE(G.MustSkip(2, 2));

    G.GetNavigation()->SetSkipReadOnly(true);
    EXPECT_TRUE(G.MustSkip(2, 2));
    EXPECT_FALSE(G.MustSkip(3, 2));
    // The application may still allow the cell.
    G.OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = true; };
    EXPECT_FALSE(G.MustSkip(2, 2));
}

TEST(GridEvents, SearchTextsAndButtonsReachTheirEvents)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    EXPECT_EQ(G.DoSearchFooterSearch(u"abc"), u"abc");
    G.OnSearchFooterSearch = [](TObject*, String& Value) { Value = UpperCase(Value); };
    EXPECT_EQ(G.DoSearchFooterSearch(u"abc"), u"ABC");

    std::vector<std::pair<int, int>> Clicks;
    G.OnButtonClick = [&](TObject*, int ACol, int ARow) { Clicks.emplace_back(ACol, ARow); };
    G.DoButtonClick(3, 2);
    G.FocusCell(2, 1);
    G.ClickCurrentCellButton();
    EXPECT_EQ(Clicks, (std::vector<std::pair<int, int>> { { 3, 2 }, { 2, 1 } }));

    // Without a handler the editor kind is not "none"; with one, its answer.
    TEditorType Kind = edComboList;
    EXPECT_FALSE(G.IsEditorNone(1, 1, Kind));
    G.OnGetEditorType = [](TObject*, int ACol, int, TEditorType& AEditor) {
        if (ACol == 2)
            AEditor = edNone;
    };
    EXPECT_FALSE(G.IsEditorNone(1, 1, Kind));
    EXPECT_EQ(Kind, edNormal);
    EXPECT_TRUE(G.IsEditorNone(2, 1, Kind));
}

// ---- text forms ----

TEST(GridTextForms, LinksInTheText)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    struct TCase {
        const char16_t* Text;
        const char16_t* Link;     // lower case
        const char16_t* URL;      // as written
        const char16_t* Anchor;
    };
    const TCase Cases[] = {
        { u"<a href=\"HTTP://Example.COM/Path\">Open</a>", u"http://example.com/path", u"HTTP://Example.COM/Path",
            u"Open" },
        { u"write to mailto:Someone@Host.org", u"mailto:someone@host.org", u"mailto:Someone@Host.org", u"" },
        { u"<a href='ftp://Files.net/x'>get</a>", u"ftp://files.net/x", u"ftp://Files.net/x", u"" },
        { u"no link here", u"", u"", u"" },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Text));
        G.SetCellEx(1, 1, C.Text);
        EXPECT_EQ(G.GetHyperlink(1, 1), C.Link);
        String URL, Anchor;
        G.GetHyperlinkDetails(1, 1, URL, Anchor);
        EXPECT_EQ(URL, C.URL);
        EXPECT_EQ(Anchor, C.Anchor);
        EXPECT_EQ(G.HasHyperlink(1, 1), String(C.Link) != u"");
    }
}

TEST(GridTextForms, StrippedTextOfMarkupAndRichText)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetCellEx(1, 1, u"<b>bold</b> and <i>plain</i>");
    EXPECT_EQ(G.GetStrippedCells(1, 1), u"bold and plain");
    G.SetCellEx(1, 2, u"{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0 Hello \\b World\\b0\\par}");
    EXPECT_EQ(Trim(G.GetStrippedCells(1, 2)), u"Hello World");
    G.SetCellEx(2, 1, u"one\r\ntwo\r\nthree");
    EXPECT_EQ(G.GetLinesInCell(2, 1), 3);
}

TEST(GridTextForms, FormControlValues)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetCellEx(1, 1, u"Name <CONTROL TYPE=\"EDIT\" ID=\"ED1\" VALUE=\"old\" WIDTH=\"50\">");
    EXPECT_TRUE(G.HasHTMLForm(1, 1));
    EXPECT_EQ(G.GetControlValues(1, 1, u"ED1"), u"old");
    G.SetControlValues(1, 1, u"ED1", u"new");
    EXPECT_EQ(G.GetControlValues(1, 1, u"ED1"), u"new");
    EXPECT_EQ(G.GetControlValues(1, 1, u"NONE"), u"");
    const String Before = G.GetCellEx(1, 1);
    G.SetControlValues(1, 1, u"NONE", u"x");
    EXPECT_EQ(G.GetCellEx(1, 1), Before);
    EXPECT_FALSE(G.HasHTMLForm(2, 1));
}

TEST(GridTextForms, ColumnHeadersReplaceRowZeroAndTakeLineBreaks)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    for (int c = 0; c < 5; ++c)
        G.SetCellEx(c, 0, u"old");
    TStringList Headers;
    Headers.Add(u"Name");
    Headers.Add(u"Post\\ncode");
    Headers.Add(u"City");
    G.SetColumnHeaders(&Headers);
    EXPECT_EQ(G.GetCellEx(0, 0), u"Name");
    EXPECT_EQ(G.GetCellEx(1, 0), u"Post\rcode");
    EXPECT_EQ(G.GetCellEx(2, 0), u"City");
    EXPECT_EQ(G.GetCellEx(3, 0), u"");
    EXPECT_EQ(G.GetCellEx(4, 0), u"");
    // A change of the list shows it again.
    G.GetColumnHeaders()->SetStrings(2, u"Town");
    EXPECT_EQ(G.GetCellEx(2, 0), u"Town");
}

TEST(GridTextForms, ColumnOrderLookupsAndHeaders)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    EXPECT_EQ(G.ColumnPosition(3), 3); // nothing recorded
    // As after moving column 1 to position 3.
    for (int c : { 0, 2, 3, 1, 4 })
        G.GetColumnOrder()->Add(c);
    EXPECT_EQ(G.ColumnPosition(1), 3);
    EXPECT_EQ(G.ColumnAtPosition(3), 1);
    EXPECT_EQ(G.ColumnAtPosition(1), 2);

    G.SetCellEx(2, 0, u"Name");
    EXPECT_EQ(G.ColumnByHeader(u"Name"), 2);
    EXPECT_EQ(G.ColumnByHeader(u"name"), -1);
    EXPECT_EQ(G.ColumnByHeader(u"Missing"), -1);
}

TEST(GridTextForms, ResettingADamagedOrderEndsAndKeepsEveryColumn)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    for (int c = 0; c < 5; ++c) {
        G.SetCellEx(c, 1, IntToStr(c));
        G.GetColumnOrder()->Add(0); // every position names column 0
    }
    G.ResetColumnOrder();
    std::vector<String> Texts;
    for (int c = 0; c < 5; ++c)
        Texts.push_back(G.GetCellEx(c, 1));
    std::sort(Texts.begin(), Texts.end());
    EXPECT_EQ(Texts, (std::vector<String> { u"0", u"1", u"2", u"3", u"4" }));

    // Without a recorded order, resetting records the identity.
    TSmallGrid Fresh;
    Fresh.G.ResetColumnOrder();
    ASSERT_EQ(Fresh.G.GetColumnOrder()->Count(), 5);
    EXPECT_EQ(Fresh.G.GetColumnOrder()->GetInteger(4), 4);
}

TEST(GridTextForms, MergedColumnsMergeEqualNeighbours)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(5);
    G.SetFixedRows(1);
    for (int r = 1; r < 5; ++r)
        G.SetCellEx(1, r, r < 4 ? u"same" : u"other");
    G.GetMergedColumns()->Add(1);
    G.MergedColumnsChanged();
    EXPECT_TRUE(G.IsMergedCell(1, 2));
    EXPECT_EQ(G.BaseCell(1, 3).Y, 1);
    G.GetMergedColumns()->Clear();
    G.MergedColumnsChanged();
    EXPECT_FALSE(G.IsMergedCell(1, 2));
}

TEST(GridTextForms, TheEditorLoadsPlainTextAndStoresIntoTheBaseCell)
{
    TSmallGrid S;
    TDedOzovedUrad& G = S.G;
    G.SetCellEx(1, 1, u"<b>bold</b>");
    EXPECT_EQ(G.GetEditText(1, 1), u"bold");
    G.SetEditWithTags(true);
    EXPECT_EQ(G.GetEditText(1, 1), u"<b>bold</b>");

    G.MergeCells(1, 2, 2, 1);
    G.SetEditText(2, 2, u"into base");
    EXPECT_EQ(G.GetCellEx(1, 2), u"into base");
    EXPECT_EQ(G.GetEditText(2, 2), u"into base");

    G.FocusCell(2, 2);
    EXPECT_EQ(G.GetCurrentCell(), u"into base");
    G.SetCurrentCell(u"changed");
    EXPECT_EQ(G.GetCellEx(1, 2), u"changed");
}
