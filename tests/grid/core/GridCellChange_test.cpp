// The update bracket's counting and the cell change query of the string
// grid, on a grid placed on a form (the query answers True at once for a
// grid without a parent).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Forms.h"

namespace {

// Normal cells 1..4 x 1..9 under one fixed row and column.
struct ParentedGrid : ::testing::Test {
    std::unique_ptr<TForm> Form = std::make_unique<TForm>(nullptr);
    TDedOzovedUrad* Grid = nullptr;

    void SetUp() override
    {
        Form->SetBounds(0, 0, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(0, 0, 400, 250);
        Grid->SetColCount(5);
        Grid->SetRowCount(10);
        Form->HandleNeeded();
        Grid->HandleNeeded();
    }
};

} // namespace

// ---- update locking ----

TEST_F(ParentedGrid, UpdateBlocksCountWhetherOrNotTheGridShows)
{
    struct Case {
        const char* Name;
        void (*Run)(TDedOzovedUrad&);
        int Count;
    };
    const Case Cases[] = {
        { "nested", [](TDedOzovedUrad& G) { G.BeginUpdate(); G.BeginUpdate(); G.EndUpdate(); }, 1 },
        { "closed", [](TDedOzovedUrad& G) { G.BeginUpdate(); G.BeginUpdate(); G.EndUpdate(); G.EndUpdate(); }, 0 },
        // A hidden grid counts too, so a block opened while visible and
        // closed while hidden ends.
        { "hidden", [](TDedOzovedUrad& G) { G.SetVisible(false); G.BeginUpdate(); }, 1 },
        { "opened shown, closed hidden",
            [](TDedOzovedUrad& G) { G.BeginUpdate(); G.SetVisible(false); G.EndUpdate(); }, 0 },
        { "reset inside a block", [](TDedOzovedUrad& G) { G.BeginUpdate(); G.BeginUpdate(); G.ResetUpdate(); }, 0 },
        { "end after a reset stays at 0", [](TDedOzovedUrad& G) { G.BeginUpdate(); G.ResetUpdate(); G.EndUpdate(); }, 0 },
        { "LockUpdate True twice, False once",
            [](TDedOzovedUrad& G) { G.SetLockUpdate(true); G.SetLockUpdate(true); G.SetLockUpdate(false); }, 1 },
        { "StartUpdate counts", [](TDedOzovedUrad& G) { G.StartUpdate(); G.StartUpdate(); }, 2 },
        { "end on a closed grid", [](TDedOzovedUrad& G) { G.EndUpdate(); }, 0 },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        Grid->ResetUpdate();
        Grid->SetUpdating(false);
        Grid->SetVisible(true);
        c.Run(*Grid);
        EXPECT_EQ(Grid->GetUpdateCount(), c.Count);
        EXPECT_EQ(Grid->IsUpdating(), c.Count > 0);
        EXPECT_EQ(Grid->GetLockUpdate(), c.Count != 0);
    }
}

// The platform grid skips its per-change layout while a block is open;
// StartUpdate only counts.
TEST_F(ParentedGrid, ABlockHoldsThePlatformLayoutAndTheSelectionChangeFlag)
{
    Grid->SetSelChange(true);
    Grid->BeginUpdate();
    Grid->BeginUpdate();
    EXPECT_TRUE(Grid->GetUpdating());
    Grid->EndUpdate();
    EXPECT_TRUE(Grid->GetUpdating());
    EXPECT_TRUE(Grid->GetSelChange());
    Grid->EndUpdate();
    EXPECT_FALSE(Grid->GetUpdating());
    EXPECT_FALSE(Grid->GetSelChange());

    Grid->StartUpdate();
    EXPECT_FALSE(Grid->GetUpdating());
    Grid->ResetUpdate();
}

// ---- the cell change query ----

TEST_F(ParentedGrid, ACoveredCellHandsTheFocusToItsBaseCell)
{
    Grid->MergeCells(2, 2, 2, 2);
    EXPECT_FALSE(Grid->SelectCell(3, 3));
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 2);
    EXPECT_TRUE(Grid->SelectCell(4, 5));
}

TEST_F(ParentedGrid, TheFooterRowOfAFixedLastRowFooterIsNeverTheFocus)
{
    Grid->GetFloatingFooter()->SetFooterStyle(fsFixedLastRow);
    Grid->GetFloatingFooter()->SetVisible(true);
    const int Last = Grid->GetRowCount() - 1;
    EXPECT_FALSE(Grid->SelectCell(1, Last));
    EXPECT_TRUE(Grid->SelectCell(1, Last - 1));
    Grid->GetFloatingFooter()->SetVisible(false);
    EXPECT_TRUE(Grid->SelectCell(1, Last));
}

// goEditing follows the editability of each cell the focus goes to, while
// FEditDisable remembers that editing is only suspended.
TEST_F(ParentedGrid, EditingFollowsTheEditabilityOfTheProposedCell)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->SetReadOnly(2, 2, true);
    Grid->SelectCell(2, 2);
    EXPECT_FALSE(Grid->GetOptions().Contains(goEditing));
    EXPECT_TRUE(Grid->GetEditDisable());
    Grid->SelectCell(3, 2);
    EXPECT_TRUE(Grid->GetOptions().Contains(goEditing));
    EXPECT_FALSE(Grid->GetEditDisable());

    // Editing on a double click only: selecting never leaves editing on,
    // even with DirectEdit.
    Grid->GetMouseActions()->SetDirectEdit(true);
    Grid->GetMouseActions()->SetEditOnDblClickOnly(true);
    Grid->SelectCell(3, 3);
    EXPECT_FALSE(Grid->GetOptions().Contains(goEditing));
    EXPECT_FALSE(Grid->GetEditorMode());
}

TEST_F(ParentedGrid, OnRowUpdateFiresOncePerRowChange)
{
    std::vector<std::pair<int, int>> Seen;
    Grid->OnRowUpdate = [&](TObject*, int OldRow, int NewRow) { Seen.emplace_back(OldRow, NewRow); };
    Grid->SetRow(4);
    Grid->SetCol(3); // same row
    Grid->SetRow(6);
    Grid->GotoCell(2, 6); // same row again
    ASSERT_EQ(Seen.size(), 2u);
    EXPECT_EQ(Seen[0].second, 4);
    EXPECT_EQ(Seen[1], std::make_pair(4, 6));
}

// Column, row and cell changing in that order, all with one Allow: a
// refusal reaches the later handlers and keeps the focus where it is.
TEST_F(ParentedGrid, CellChangingAsksColumnRowAndCellWithOneAllow)
{
    std::vector<std::string> Order;
    bool RefuseColumn = false;
    bool CellSawAllow = true;
    Grid->OnColChanging = [&](TObject*, int, int, bool& Allow) {
        Order.push_back("col");
        if (RefuseColumn)
            Allow = false;
    };
    Grid->OnRowChanging = [&](TObject*, int, int, bool&) { Order.push_back("row"); };
    Grid->OnCellChanging = [&](TObject*, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow) {
        Order.push_back("cell " + std::to_string(OldCol) + "," + std::to_string(OldRow) + ">" + std::to_string(NewCol)
            + "," + std::to_string(NewRow));
        CellSawAllow = Allow;
    };
    Grid->GotoCell(1, 1);
    Order.clear();
    Grid->GotoCell(2, 2); // row first, then column: two moves
    EXPECT_EQ(Order, (std::vector<std::string> { "row", "cell 1,1>1,2", "col", "cell 1,2>2,2" }));

    Order.clear();
    RefuseColumn = true;
    EXPECT_FALSE(Grid->SelectCell(3, 3));
    EXPECT_EQ(Order, (std::vector<std::string> { "col", "row", "cell 2,2>3,3" }));
    EXPECT_FALSE(CellSawAllow);
    Grid->SetCol(3);
    EXPECT_EQ(Grid->GetCol(), 2);
}
