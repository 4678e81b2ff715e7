// The grid on the headless clipboard: copy and cut as text, the private
// cell format and HTML; paste back, with the smart fill of a selection.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Headless.h"
#include "tests/grid/views/GridFileTest.h"
#include "tests/support/Fixtures.h"

using namespace gridfiletest;

namespace {

using TTable = std::vector<std::vector<String>>;

String ClipText()
{
    String r;
    if (!OpenClipboard(nullptr))
        return r;
    if (HANDLE h = GetClipboardData(CF_UNICODETEXT)) {
        r = static_cast<const Char*>(GlobalLock(h));
        GlobalUnlock(h);
    }
    CloseClipboard();
    return r;
}

void SetClipText(const String& Text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    String z = Text;
    z.push_back(0);
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, z.size() * 2);
    std::memcpy(GlobalLock(h), z.data(), z.size() * 2);
    GlobalUnlock(h);
    SetClipboardData(CF_UNICODETEXT, h);
    CloseClipboard();
}

TGridRect Rect(int L, int T, int R, int B)
{
    TGridRect g;
    g.Left = L;
    g.Top = T;
    g.Right = R;
    g.Bottom = B;
    return g;
}

// A grid whose pasted-cells notices are recorded.
struct TNoticeGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    std::vector<std::pair<TPoint, TRect>> Notices;
    void NotifyCellsPasted(TPoint From, const TRect& R, TClipOperation Op) override
    {
        Notices.emplace_back(From, R);
        TDedOzovedUrad::NotifyCellsPasted(From, R, Op);
    }
};

struct GridClipboard : ::testing::Test {
    THeadlessSession Session;
    TNoticeGrid G { nullptr };

    void SetUp() override
    {
        SetClipText(u"");
        Prepare(G);
    }
    static void Prepare(TDedOzovedUrad& Grid)
    {
        Grid.SetFixedRows(0);
        Grid.SetFixedCols(0);
        Grid.SetOptions(Grid.GetOptions() + goEditing);
        Grid.GetNavigation()->SetAllowClipboardRowGrow(false);
        Grid.GetNavigation()->SetAllowClipboardColGrow(false);
    }
    void Fill(TDedOzovedUrad& Grid, const TTable& Rows)
    {
        Grid.SetRowCount(int(Rows.size()));
        Grid.SetColCount(int(Rows[0].size()));
        for (int r = 0; r < int(Rows.size()); ++r)
            for (int c = 0; c < int(Rows[r].size()); ++c)
                Grid.SetCellEx(c, r, Rows[r][c]);
    }
    void Select(TDedOzovedUrad& Grid, int L, int T, int R, int B) { Grid.SetSelection(Rect(L, T, R, B)); }
};

TEST_F(GridClipboard, CopyWritesTabsAndLineBreaks)
{
    Fill(G, { { u"a", u"b" }, { u"c", u"d" } });
    Select(G, 0, 0, 1, 1);
    G.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), u"a\tb\r\nc\td\r\n");
    Select(G, 0, 0, 1, 0);
    G.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), u"a\tb");
    EXPECT_EQ(G.GetClipTopLeft(), TPoint(0, 0));
    EXPECT_EQ(G.GetClipLastOp(), coCopy);
}

// Line breaks and quotes survive a copy and a paste; the Excel form writes
// character 11 for the break.
TEST_F(GridClipboard, MultiLineCellsWithQuotesRoundTrip)
{
    struct TCase {
        String Cell;
        bool Excel;
        String Clip;
    };
    const TCase Cases[] = {
        { u"say \"hi\"\r\nbye", false, u"\"say \"\"hi\"\"\nbye\"" },
        { u"one\r\ntwo", true, String(u"\"one\x0Btwo\"", 9) },
        { u"plain \"q\"", false, u"plain \"q\"" },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Cell));
        Fill(G, { { C.Cell, u"x" } });
        G.SetExcelClipboardFormat(C.Excel);
        Select(G, 0, 0, 0, 0);
        G.CopySelectionToClipboard();
        EXPECT_EQ(ClipText(), C.Clip);
        TDedOzovedUrad H { nullptr };
        Prepare(H);
        H.SetColCount(2);
        H.SetRowCount(1);
        Select(H, 0, 0, 0, 0);
        H.PasteSelectionFromClipboard();
        EXPECT_EQ(H.GetCellEx(0, 0), C.Cell);
    }
}

TEST_F(GridClipboard, DisjunctRowsAndMergedCorners)
{
    Fill(G, { { u"a", u"b", u"c" }, { u"d", u"e", u"f" }, { u"g", u"h", u"i" } });
    G.GetMouseActions()->SetDisjunctRowSelect(true);
    G.SetRowSelect(0, true);
    G.SetRowSelect(2, true);
    G.CopySelectionToClipboard();
    EXPECT_EQ(ClipText(), u"a\tb\tc\r\ng\th\ti\r\n");
    G.GetMouseActions()->SetDisjunctRowSelect(false);

    G.MergeCells(1, 1, 2, 2);
    Select(G, 0, 0, 1, 1);
    G.CopySelectionToClipboard();
    const TGridRect S = G.GetSelection();
    EXPECT_EQ(S.Right, 2);
    EXPECT_EQ(S.Bottom, 2);
}

TEST_F(GridClipboard, CutEmptiesEditableCellsOnlyAndRemovesRows)
{
    Fill(G, { { u"a", u"b" }, { u"c", u"d" } });
    G.OnCanEditCell = [](TObject*, int ARow, int ACol, bool& CanEdit) { CanEdit = !(ACol == 1 && ARow == 0); };
    G.GetShowModified()->SetEnabled(true);
    G.CutToClipboard();
    EXPECT_EQ(ClipText(), u"a\tb\r\nc\td\r\n");
    EXPECT_EQ(G.GetCellEx(0, 0), u"");
    EXPECT_EQ(G.GetCellEx(1, 0), u"b");
    EXPECT_TRUE(G.GetRowModified(1));
    EXPECT_EQ(G.GetClipLastOp(), coCut);
    G.GetNavigation()->SetAllowClipboardAlways(true);
    G.CutToClipboard();
    EXPECT_EQ(G.GetCellEx(1, 0), u"");

    Fill(G, { { u"1" }, { u"2" }, { u"3" } });
    G.SetOptions(G.GetOptions() + goRowSelect);
    G.GetNavigation()->SetClipboardCutAction(caRemove);
    Select(G, 0, 1, 0, 1);
    G.CutSelectionToClipboard();
    EXPECT_EQ(ClipText(), u"2");
    ASSERT_EQ(G.GetRowCount(), 2);
    EXPECT_EQ(G.GetCellEx(0, 1), u"3");
}

TEST_F(GridClipboard, HTMLFormatOffsetsAndPicturesOutsideTheCurrentFolder)
{
    Fill(G, { { u"a", u"b" } });
    TBitmap Bmp;
    Bmp.SetSize(4, 4);
    G.AddBitmap(1, 0, &Bmp, false, haLeft, vaTop);
    testsupport::TempDir Cwd;
    const auto Saved = std::filesystem::current_path();
    std::filesystem::current_path(Cwd.path());
    G.CopyRectToClipboardAsHTML(Rect(0, 0, 1, 0));
    std::filesystem::current_path(Saved);
    EXPECT_TRUE(std::filesystem::is_empty(Cwd.path()));

    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE h = GetClipboardData(RegisterClipboardFormat(u"HTML Format"));
    ASSERT_NE(h, nullptr);
    const std::string Html(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
    GlobalUnlock(h);
    CloseClipboard();
    auto Number = [&](const char* Key) {
        const std::size_t p = Html.find(Key);
        return std::stoul(Html.substr(p + std::strlen(Key), 10));
    };
    const auto Start = Number("StartFragment:"), End = Number("EndFragment:");
    EXPECT_EQ(Html.substr(Number("EndHTML:")), "");
    EXPECT_EQ(Html.compare(Start, 7, "<style>"), 0);
    EXPECT_EQ(Html.compare(End, 18, "<!--EndFragment-->"), 0);
    const std::size_t Src = Html.find("file:///");
    ASSERT_NE(Src, std::string::npos);
    const std::string Path = Html.substr(Src + 7, Html.find('"', Src) - Src - 7);
    EXPECT_TRUE(std::filesystem::exists(Path)) << Path;
    EXPECT_EQ(ClipText().substr(0, 12), u"Version:1.0\r");
}

// A single value fills the selection; no event for the top-left cell.
TEST_F(GridClipboard, SmartPasteOfOneValue)
{
    Fill(G, { { u"", u"", u"" }, { u"", u"", u"" }, { u"", u"", u"" } });
    G.GetNavigation()->SetAllowSmartClipboard(true);
    std::vector<TPoint> Before;
    G.OnClipboardBeforePasteCell = [&](TObject*, int c, int r, String&, bool&) { Before.emplace_back(c, r); };
    SetClipText(u"v");
    Select(G, 0, 0, 2, 2);
    G.PasteSelectionFromClipboard();
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            EXPECT_EQ(G.GetCellEx(c, r), u"v");
    // Only the text paste itself asks about the top-left cell.
    EXPECT_EQ(std::count(Before.begin(), Before.end(), TPoint(0, 0)), 1);
    EXPECT_EQ(std::count(Before.begin(), Before.end(), TPoint(2, 2)), 1);
}

TEST_F(GridClipboard, SmartPasteContinuesSeries)
{
    const TFormatSettings Saved = ProcessFormatSettings();
    ProcessFormatSettings().DecimalSeparator = u'.';
    ProcessFormatSettings().DateSeparator = u'/';
    ProcessFormatSettings().ShortDateFormat = u"dd/MM/yyyy";
    struct TCase {
        String Clip;
        std::vector<String> Expected;
    };
    const TCase Cases[] = {
        { u"1\r\n2\r\n", { u"1", u"2", u"3", u"4", u"5" } },
        { u"1.5\r\n2\r\n", { u"1.50", u"2.00", u"2.50", u"3.00", u"3.50" } },
        { u"10/05/2024\r\n09/05/2024\r\n", { u"10/05/2024", u"09/05/2024", u"08/05/2024", u"07/05/2024", u"06/05/2024" } },
        { u"15/11/2024\r\n15/12/2024\r\n", { u"15/11/2024", u"15/12/2024", u"15/01/2025", u"15/02/2025", u"15/03/2025" } },
        { u"x\r\ny\r\n", { u"x", u"y", u"x", u"y", u"x" } },
    };
    G.GetNavigation()->SetAllowSmartClipboard(true);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Clip));
        Fill(G, { { u"" }, { u"" }, { u"" }, { u"" }, { u"" } });
        SetClipText(C.Clip);
        Select(G, 0, 0, 0, 4);
        G.PasteSelectionFromClipboard();
        for (int r = 0; r < 5; ++r)
            EXPECT_EQ(G.GetCellEx(0, r), C.Expected[r]) << r;
    }
    ProcessFormatSettings() = Saved;
}

TEST_F(GridClipboard, TextPasteCountsInsertsAndWideCells)
{
    Fill(G, { { u"", u"" }, { u"", u"" }, { u"", u"" } });
    struct TCase {
        String Text;
        int N, Cols, Rows;
    };
    const TCase Cases[] = { { u"a\tb\r\nc\td\r\n", 5, 2, 2 }, { u"a\tb", 2, 2, 1 }, { u"a\r\n", 2, 1, 1 } };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Text));
        int Cols = -1, Rows = -1;
        EXPECT_EQ(G.PasteTextAt(0, 0, C.Text, Cols, Rows), C.N);
        EXPECT_EQ(Cols, C.Cols);
        EXPECT_EQ(Rows, C.Rows);
    }
    // A wide-encoded field at the end of a line fires the wide events.
    int Wide = 0;
    G.OnClipboardBeforePasteWideCell = [&](TObject*, int, int, String& V, bool&) {
        ++Wide;
        EXPECT_EQ(V, u"W");
    };
    G.OnClipboardAfterPasteWideCell = [&](TObject*, int, int, const String&) { ++Wide; };
    int Cols, Rows;
    G.PasteTextAt(0, 0, u"x\t" + VuzEraz::EncodeWideCellText(u"W") + u"\r\n", Cols, Rows);
    EXPECT_EQ(Wide, 2);

    G.GetNavigation()->SetClipboardPasteAction(paInsert);
    Fill(G, { { u"keep", u"" } });
    G.PasteTextAt(0, 0, u"1\r\n2\r\n3\r\n", Cols, Rows);
    ASSERT_EQ(G.GetRowCount(), 4);
    EXPECT_EQ(G.GetCellEx(0, 2), u"3");
    EXPECT_EQ(G.GetCellEx(0, 3), u"keep");
}

TEST_F(GridClipboard, PasteFromClipboardReportsTheDoneRectangle)
{
    Fill(G, { { u"", u"", u"" }, { u"", u"", u"" }, { u"", u"", u"" } });
    TGridRect Done = Rect(-1, -1, -1, -1);
    G.OnClipboardPasteDone = [&](TObject*, const TGridRect& R) { Done = R; };
    SetClipText(u"1\t2\r\n3\t4\r\n");
    G.PasteFromClipboard();
    EXPECT_EQ(Done.Left, 0);
    EXPECT_EQ(Done.Top, 0);
    EXPECT_EQ(Done.Right, 1);
    EXPECT_EQ(Done.Bottom, 1);
    EXPECT_EQ(G.GetCellEx(1, 1), u"4");
}

// The private format carries texts with their looks; from this grid the
// copy's top-left cell is the origin, from another none; read-only cells
// keep their texts unless AllowClipboardAlways.
TEST_F(GridClipboard, PrivateFormatFromThisGridAndAnother)
{
    Fill(G, { { u"a", u"b", u"" }, { u"c", u"d", u"" } });
    G.GetNavigation()->SetAllowFmtClipboard(true);
    G.GetCellProperties(0, 0)->SetBrushColor(clYellow);
    Select(G, 0, 0, 1, 1);
    G.CopySelectionToClipboard();
    // The text is there too, beside the private block.
    EXPECT_EQ(ClipText(), u"a\tb\r\nc\td\r\n");

    G.Notices.clear();
    G.SetCellEx(2, 0, u"x");
    Select(G, 1, 0, 1, 0);
    G.PasteSelectionFromClipboard();
    EXPECT_EQ(G.GetCellEx(1, 0), u"a");
    EXPECT_EQ(G.GetCellEx(2, 1), u"d");
    EXPECT_EQ(G.GetCellProperties(1, 0)->GetBrushColor(), clYellow);
    ASSERT_FALSE(G.Notices.empty());
    EXPECT_EQ(G.Notices[0].first, TPoint(0, 0));

    TNoticeGrid H { nullptr };
    Prepare(H);
    H.GetNavigation()->SetAllowFmtClipboard(true);
    H.GetNavigation()->SetAllowClipboardRowGrow(true);
    H.SetColCount(2);
    H.SetRowCount(1);
    H.SetCellEx(1, 0, u"locked");
    H.OnCanEditCell = [](TObject*, int ARow, int ACol, bool& CanEdit) { CanEdit = !(ACol == 1 && ARow == 0); };
    Select(H, 0, 0, 0, 0);
    H.PasteSelectionFromClipboard();
    EXPECT_EQ(H.GetRowCount(), 2);
    EXPECT_EQ(H.GetCellEx(0, 0), u"a");
    EXPECT_EQ(H.GetCellEx(1, 0), u"locked");
    EXPECT_EQ(H.GetCellEx(1, 1), u"d");
    ASSERT_FALSE(H.Notices.empty());
    EXPECT_EQ(H.Notices[0].first, TPoint(-1, -1));
    H.GetNavigation()->SetAllowClipboardAlways(true);
    H.PasteSelectionFromClipboard();
    EXPECT_EQ(H.GetCellEx(1, 0), u"b");
}

} // namespace
