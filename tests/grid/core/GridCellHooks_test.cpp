#include <gtest/gtest.h>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct CellHooks : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    void SetUp() override
    {
        G.SetColCount(4);
        G.SetRowCount(4);
    }
};

} // namespace

// The text every writer takes for a cell.
TEST_F(CellHooks, SaveCellGivesTheExportText)
{
    struct Case {
        const char16_t* Name;
        const char16_t* Stored;
        int Col, Row;
        std::function<void(TDedOzovedUrad&)> Setup;
        const char16_t* Expected;
    };
    const String Rtf = u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Rich\\par\r\ntext}";
    const Case Cases[] = {
        { u"plain", u"text", 0, 0, nullptr, u"text" },
        { u"display text by default", u"raw", 0, 0,
            [](TDedOzovedUrad& g) { g.OnGetDisplText = [](TObject*, int, int, String& v) { v += u"!"; }; }, u"raw!" },
        { u"raw text without SaveVirtCells", u"raw", 0, 0,
            [](TDedOzovedUrad& g) {
                g.OnGetDisplText = [](TObject*, int, int, String& v) { v += u"!"; };
                g.SetSaveVirtCells(false);
            },
            u"raw" },
        { u"covered cell reads its base", u"", 1, 0, [](TDedOzovedUrad& g) { g.MergeCells(0, 0, 2, 1); }, u"base" },
        { u"covered cell empty without SaveMergedCells", u"", 1, 0,
            [](TDedOzovedUrad& g) {
                g.MergeCells(0, 0, 2, 1);
                g.SetSaveMergedCells(false);
            },
            u"" },
        { u"markup kept", u"<b>bold</b> text", 0, 0, nullptr, u"<b>bold</b> text" },
        { u"markup stripped", u"<b>bold</b> text", 0, 0, [](TDedOzovedUrad& g) { g.SetSaveWithHTML(false); },
            u"bold text" },
        { u"rich text on one line", Rtf.c_str(), 0, 0, [](TDedOzovedUrad& g) { g.SetSaveWithRTF(true); },
            u"{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Rich\\partext}" },
        { u"rich text as plain text", Rtf.c_str(), 0, 0, nullptr, u"Rich\r\ntext" },
        { u"the handler has the last word", u"<b>x</b>", 0, 2,
            [](TDedOzovedUrad& g) {
                g.SetSaveWithHTML(false);
                g.OnSaveCell = [](TObject*, int ACol, int ARow, String& v) { v += u"@" + IntToStr(ACol) + IntToStr(ARow); };
            },
            u"x@02" },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(StringToUtf8(c.Name));
        TDedOzovedUrad Grid(nullptr);
        Grid.SetColCount(4);
        Grid.SetRowCount(4);
        Grid.SetCells(0, 0, u"base");
        if (c.Setup)
            c.Setup(Grid);
        if (*c.Stored)
            Grid.SetGridCell(c.Col, c.Row, c.Stored);
        EXPECT_EQ(Grid.SaveCell(c.Col, c.Row), String(c.Expected));
    }
}

TEST_F(CellHooks, DoLoadCellStoresTheHandlersTextRaw)
{
    G.OnGetDisplText = [](TObject*, int, int, String& v) { v = u"shown " + v; };
    G.OnLoadCell = [](TObject*, int ACol, int ARow, String& v) { v = IntToStr(ACol) + u"," + IntToStr(ARow) + u":" + v; };
    G.MergeCells(0, 0, 2, 2);
    // Raw: into the covered cell itself, not its merge base.
    G.DoLoadCell(1, 1, u"text");
    EXPECT_EQ(G.GetGridCell(1, 1), u"1,1:text");
    EXPECT_EQ(G.GetGridCell(0, 0), u"");
    G.OnLoadCell = nullptr;
    G.DoLoadCell(3, 3, u"plain");
    EXPECT_EQ(G.GetGridCell(3, 3), u"plain");
    EXPECT_EQ(G.GetCells(3, 3), u"shown plain");
}
