#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

// A grid of 400 x 250 pixels on a shown form: ten rows and five columns
// fit into it.
struct GridShown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 400, 250);
        Form->Show();
        Application->ProcessMessages();
    }

    DWORD Style() const { return DWORD(GetWindowLong(Grid->GetHandle(), GWL_STYLE)); }
    // EnableScrollBar answers whether it changed anything: asking for the
    // state a bar is in tells that state without changing it.
    bool VertBarDisabled() const { return !EnableScrollBar(Grid->GetHandle(), SB_VERT, ESB_DISABLE_BOTH); }

    void Drag(TPoint FromClient, TPoint ToClient)
    {
        Headless::Drag(Grid->ClientToScreen(FromClient), Grid->ClientToScreen(ToClient));
        Application->ProcessMessages();
    }
};

} // namespace

TEST_F(GridShown, ScrollBarAlwaysKeepsAGreyedBarWhileEverythingFits)
{
    EXPECT_FALSE(Style() & WS_VSCROLL);
    Grid->SetScrollBarAlways(saVert);
    EXPECT_TRUE(Style() & WS_VSCROLL);
    EXPECT_FALSE(Style() & WS_HSCROLL);
    EXPECT_TRUE(VertBarDisabled());
    // A count change lays the bars out anew; the forced bar stays.
    Grid->SetRowCount(6);
    EXPECT_TRUE(Style() & WS_VSCROLL);
    // Rows that do not fit make it an ordinary, enabled bar.
    Grid->SetRowCount(100);
    EXPECT_TRUE(Style() & WS_VSCROLL);
    EXPECT_FALSE(EnableScrollBar(Grid->GetHandle(), SB_VERT, ESB_ENABLE_BOTH));
    Grid->SetRowCount(6);
    EXPECT_TRUE(VertBarDisabled());
    // Without the setting a bar with nothing to scroll may be hidden.
    Grid->SetScrollBarAlways(saNone);
    Grid->ApplyScrollBarAlways(true);
    EXPECT_FALSE(Style() & WS_VSCROLL);
}

// OnColumnSize refusing keeps a drag over the header's column edges from
// sizing, whatever the column; OnRowSize likewise for the fixed column.
TEST_F(GridShown, SizeEventsMayRefuseSizingFromTheFixedLines)
{
    Grid->SetOptions(Grid->GetOptions() + goColSizing + goRowSizing);
    std::vector<int> AskedCols;
    bool AllowCols = false;
    Grid->OnColumnSize = [&](TObject*, int ACol, bool& Allow) {
        AskedCols.push_back(ACol);
        Allow = AllowCols;
    };
    for (int c : { 0, 1, 3 }) {
        SCOPED_TRACE(c);
        const int Edge = Grid->CellRect(c, 0).Right;
        Drag(TPoint(Edge, 8), TPoint(Edge + 20, 8));
        EXPECT_EQ(Grid->GetColWidths(c), 64);
        ASSERT_FALSE(AskedCols.empty());
        EXPECT_EQ(AskedCols.back(), c);
    }
    AllowCols = true;
    const int Edge = Grid->CellRect(1, 0).Right;
    Drag(TPoint(Edge, 8), TPoint(Edge + 20, 8));
    EXPECT_EQ(Grid->GetColWidths(1), 84);

    std::vector<int> AskedRows;
    Grid->OnRowSize = [&](TObject*, int ARow, bool& Allow) {
        AskedRows.push_back(ARow);
        Allow = false;
    };
    const int Bottom = Grid->CellRect(0, 2).Bottom;
    Drag(TPoint(20, Bottom), TPoint(20, Bottom + 15));
    EXPECT_EQ(Grid->GetRowHeights(2), 22);
    ASSERT_FALSE(AskedRows.empty());
    EXPECT_EQ(AskedRows.back(), 2);
}

TEST_F(GridShown, CellAttributesWithAWindow)
{
    // Font sizes convert at the grid canvas' density.
    Grid->SetFontSizes(1, 1, 10);
    EXPECT_EQ(Grid->GetCellProperties(1, 1)->GetFontSize(), -13);
    EXPECT_EQ(Grid->GetFontSizes(1, 1), 10);

    // A cell control is parented to the grid and sits one pixel inside
    // the cell's right and bottom edges.
    auto* Panel = new TPanel(Form.get());
    Grid->SetCellControls(2, 3, Panel);
    const TRect Cell = Grid->CellRect(2, 3);
    EXPECT_EQ(Panel->GetParent(), Grid);
    EXPECT_EQ(Panel->GetBoundsRect(), TRect(Cell.Left, Cell.Top, Cell.Right - 1, Cell.Bottom - 1));
}
