#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct SelGrid : ::testing::Test {
    TDedOzovedUrad Grid { nullptr };
    std::vector<std::string> Events;

    void SetUp() override
    {
        Grid.SetColCount(5);
        Grid.SetRowCount(10);
        Grid.GetMouseActions()->SetDisjunctRowSelect(true);
        Grid.OnRowDisjunctSelect = [this](TObject*, int ARow, bool AState, bool&) {
            Events.push_back("select " + std::to_string(ARow) + (AState ? " on" : " off"));
        };
        Grid.OnRowDisjunctSelected = [this](TObject*, int ARow) { Events.push_back("selected " + std::to_string(ARow)); };
    }
};

bool SameRect(const TGridRect& a, const TGridRect& b)
{
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

} // namespace

TEST_F(SelGrid, HiddenSelectionComesBackOrFallsBackToTheFirstCell)
{
    Grid.SetFixedRows(1);
    Grid.SetFixedCols(1);
    Grid.SetSelection(TGridRect { 1, 6, 3, 8 });
    Grid.HideSelection();
    EXPECT_TRUE(Grid.IsSelectionHidden());
    EXPECT_FALSE(Grid.IsSelected(2, 7));
    Grid.UnHideSelection();
    EXPECT_FALSE(Grid.IsSelectionHidden());
    EXPECT_TRUE(SameRect(Grid.GetSelection(), TGridRect { 1, 6, 3, 8 }));

    // The rows it stood on went: the first normal cell instead.
    Grid.HideSelection();
    Grid.SetRowCount(5);
    Grid.UnHideSelection();
    EXPECT_TRUE(SameRect(Grid.GetSelection(), TGridRect { 1, 1, 1, 1 }));
}

// A flag changes with the before and after events; a row without an
// entry counts as unselected, whatever the length of the list.
TEST_F(SelGrid, RowFlagsFireTheirEventsOnRealChangesOnly)
{
    Grid.SetRowSelect(0, true); // the list is empty: index = its length
    Grid.SetRowSelect(5, true);
    Grid.SetRowSelect(5, true); // no change
    EXPECT_EQ(Events, (std::vector<std::string> { "select 0 on", "selected 0", "select 5 on", "selected 5" }));
    EXPECT_TRUE(Grid.GetRowSelect(0));
    EXPECT_TRUE(Grid.GetRowSelect(5));
    EXPECT_TRUE(Grid.GetRowSelMod() == false);
    Events.clear();
    Grid.SetRowSelect(9, false); // past the list: unselected already
    EXPECT_TRUE(Events.empty());
    Grid.SetRowSelect(5, false);
    EXPECT_EQ(Events, (std::vector<std::string> { "select 5 off", "selected 5" }));
    EXPECT_THROW(Grid.SetRowSelect(-1, true), ERirEvozError);
    EXPECT_THROW(Grid.SetRowSelect(10, true), ERirEvozError);
}

TEST_F(SelGrid, AVetoLeavesFlagsListAndCountsUntouched)
{
    Grid.OnRowDisjunctSelect = [](TObject*, int, bool, bool& Allow) { Allow = false; };
    Grid.SetRowSelect(3, true);
    EXPECT_FALSE(Grid.GetRowSelect(3));
    EXPECT_EQ(Grid.GetSelectedRowCount(), 0);
    EXPECT_EQ(Grid.GetRowSelectCount(), 0);
    EXPECT_EQ(Grid.GetSelectedRow(0), -1);
}

TEST_F(SelGrid, FixedRowsTakeAFlagButNeverEnterTheSelectedRows)
{
    Grid.SetFixedRows(2);
    Grid.SetRowSelect(1, true);
    Grid.SetRowSelect(4, true);
    Grid.SetRowSelect(3, true);
    EXPECT_TRUE(Grid.GetRowSelect(1));
    EXPECT_EQ(Grid.GetSelectedRowCount(), 2);
    EXPECT_EQ(Grid.GetSelectedRow(0), 4);
    EXPECT_EQ(Grid.GetSelectedRow(1), 3);
    EXPECT_EQ(Grid.GetSelectedRow(2), -1);
    EXPECT_EQ(Grid.GetSelectedRow(-1), -1);
    EXPECT_EQ(Grid.GetRowSelectCount(), 3);
}

TEST_F(SelGrid, ReadingFlagsOutsideTheGrid)
{
    EXPECT_THROW(Grid.GetRowSelect(-1), ERirEvozError);
    EXPECT_THROW(Grid.GetRowSelect(10), ERirEvozError);
    try {
        Grid.GetRowSelect(12);
    } catch (const ERirEvozError& E) {
        EXPECT_EQ(E.GetMessage(), u"Invalid row 12 accessed");
    }
    // Persistent flags: reads past the list answer False and grow nothing.
    Grid.GetMouseActions()->SetRowSelectPersistent(true);
    EXPECT_FALSE(Grid.GetRowSelect(-1));
    EXPECT_FALSE(Grid.GetRowSelect(1'000'000'000));
    Grid.SetRowSelect(2, true);
    EXPECT_EQ(Grid.GetRowSelectCount(), 1);
    EXPECT_THROW(Grid.GetColSelect(5), ERirEvozError);
    EXPECT_FALSE(Grid.GetColSelect(4));
}

TEST(GridSelection, RangeCountsCellsAndText)
{
    TDedOzovedUrad Grid(nullptr);
    Grid.SetColCount(5);
    Grid.SetRowCount(6);
    Grid.SetCells(1, 1, u"a");
    Grid.SetCells(2, 1, u"b");
    Grid.SetCells(1, 2, u"c");
    Grid.SetCells(2, 2, u"d");
    Grid.SetSelection(TGridRect { 2, 2, 1, 1 });
    EXPECT_EQ(Grid.SelectedText(), u"a\tb\r\nc\td");
    Grid.SetCells(2, 2, u"two\r\nlines");
    Grid.SetExcelClipboardFormat(true);
    EXPECT_EQ(Grid.SelectedText(), u"a\tb\r\nc\t\"two\x0Blines\"");

    Grid.SetSelection(TGridRect { 1, 1, 2, 3 });
    EXPECT_EQ(Grid.GetSelectedCellsCount(), 6);
    std::vector<std::string> Cells;
    for (int i = 0; i < 6; ++i) {
        const TGridCoord c = Grid.GetSelectedCell(i);
        Cells.push_back(std::to_string(c.X) + "," + std::to_string(c.Y));
    }
    EXPECT_EQ(Cells, (std::vector<std::string> { "1,1", "1,2", "1,3", "2,1", "2,2", "2,3" }));
    EXPECT_EQ(Grid.GetSelectedCell(6).X, -1);
    EXPECT_EQ(Grid.GetSelectedCell(-1).Y, -1);
    EXPECT_EQ(Grid.GetSelectedRowCount(), 3);
    EXPECT_EQ(Grid.GetSelectedColCount(), 2);
    EXPECT_EQ(Grid.GetSelectedRow(2), 3);
    EXPECT_EQ(Grid.GetSelectedRow(3), -1);

    // Disjunct rows: every selected row ends with a line break.
    Grid.GetMouseActions()->SetDisjunctRowSelect(true);
    Grid.SetSelection(TGridRect { 1, 1, 2, 1 });
    Grid.SetExcelClipboardFormat(false);
    Grid.SetRowSelect(1, true);
    Grid.SetRowSelect(3, true);
    EXPECT_EQ(Grid.SelectedText(), u"a\tb\r\n\t\r\n");
}

// Disjunct cells beyond row 65,536 keep their rows.
TEST(GridSelection, DisjunctCellsFarDown)
{
    TDedOzovedUrad Grid(nullptr);
    Grid.SetColCount(3);
    Grid.SetRowCount(70'000);
    Grid.GetMouseActions()->SetDisjunctCellSelect(true);
    Grid.SetSelectedCells(1, 65'537, true);
    Grid.SetSelectedCells(2, 1, true);
    Grid.SetSelectedCells(2, 1, true);
    EXPECT_EQ(Grid.GetSelectedCellsCount(), 2);
    EXPECT_TRUE(Grid.GetSelectedCells(1, 65'537));
    EXPECT_FALSE(Grid.GetSelectedCells(1, 1));
    EXPECT_TRUE(Grid.IsSelected(1, 65'537));
    EXPECT_EQ(Grid.GetSelectedCell(0).Y, 65'537);
    Grid.SelectCells(1, 69'998, 2, 69'999);
    EXPECT_EQ(Grid.GetSelectedCellsCount(), 4);
    EXPECT_FALSE(Grid.GetSelectedCells(1, 65'537));
    Grid.SetSelectedCells(2, 69'999, false);
    EXPECT_EQ(Grid.GetSelectedCellsCount(), 3);
}

TEST_F(SelGrid, HidingRowsKeepsDisplayFlagsOnTheirRows)
{
    for (int r = 0; r < 10; ++r)
        Grid.SetCells(1, r, u"r" + IntToStr(r));
    Grid.SetRowSelect(6, true);
    Grid.HideRows(2, 3);
    // Flags by display row follow the rows that moved up.
    EXPECT_TRUE(Grid.GetRowSelect(4));
    EXPECT_EQ(Grid.GetCells(1, 4), u"r6");
    Grid.HideSelectedRows();
    EXPECT_EQ(Grid.GetRowCount(), 7);
    EXPECT_EQ(Grid.GetCells(1, 4), u"r7");
}
