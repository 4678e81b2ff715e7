// Tab through the cells, headless: Tab pressed in the grid (goTabs) and
// NavigateFromEditor as the editors call it.

#include <gtest/gtest.h>

#include <memory>
#include <vector>
#include <utility>

#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"

namespace {

// A focused 5 x 6 grid with goTabs on a shown form, an edit beside it.
struct TabGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    TEdit* Other = nullptr;

    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 700, 500);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 500, 300);
        Grid->SetColCount(5);
        Grid->SetRowCount(6);
        Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(580, 10, 100, 24);
        Form->Show();
        Application->ProcessMessages();
        Grid->SetFocus();
        Application->ProcessMessages();
    }
    void At(int c, int r)
    {
        Grid->FocusCell(c, r);
        ASSERT_EQ(Focus(), TPoint(c, r));
    }
    TPoint Focus() const { return TPoint(Grid->GetCol(), Grid->GetRow()); }
    // Presses Tab n times and lists the focus cells reached.
    std::vector<TPoint> Tabs(int n, bool Backward = false)
    {
        std::vector<TPoint> Seen;
        for (int i = 0; i < n; ++i) {
            Headless::Key(VK_TAB, Backward);
            Application->ProcessMessages();
            Seen.push_back(Focus());
        }
        return Seen;
    }
};

// The walk in each direction, Tab and Shift+Tab, through the window's
// message path. adTopBottomInCol walks like adTopBottom.
TEST_F(TabGrid, TabWalksInTabAdvanceDirectionOrder)
{
    struct Case {
        decltype(std::declval<const TNavigation&>().GetAdvanceDirection()) Direction;
        bool Backward;
        TPoint Start;
        std::vector<TPoint> Expected;
    };
    const Case Cases[] = {
        { adLeftRight, false, { 3, 1 }, { { 4, 1 }, { 1, 2 }, { 2, 2 } } },
        { adLeftRight, false, { 3, 5 }, { { 4, 5 }, { 1, 1 } } },
        { adLeftRight, true, { 2, 2 }, { { 1, 2 }, { 4, 1 }, { 3, 1 } } },
        { adLeftRight, true, { 1, 1 }, { { 4, 5 } } },
        { adTopBottom, false, { 2, 4 }, { { 2, 5 }, { 3, 1 }, { 3, 2 } } },
        { adTopBottomInCol, false, { 2, 4 }, { { 2, 5 }, { 3, 1 }, { 3, 2 } } },
        { adTopBottom, true, { 2, 2 }, { { 2, 1 }, { 1, 5 } } },
        { adTopBottom, false, { 4, 5 }, { { 1, 1 } } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "direction " << int(C.Direction) << " backward " << C.Backward
                                        << " from " << C.Start.X << "," << C.Start.Y);
        Grid->GetNavigation()->SetTabAdvanceDirection(C.Direction);
        At(C.Start.X, C.Start.Y);
        EXPECT_EQ(Tabs(int(C.Expected.size()), C.Backward), C.Expected);
    }
}

// Shift+Tab on the first normal row, with nothing that takes the cursor to
// its left, goes to the last cursor cell of the last normal row and
// scrolls it into view.
TEST_F(TabGrid, ShiftTabWrapsAndScrolls)
{
    Grid->SetRowCount(200);
    Grid->OnSelectCell = [](TObject*, int ACol, int ARow, bool& CanSelect) {
        CanSelect = !(ARow == 1 && ACol < 3) && !(ARow == 199 && ACol == 4);
    };
    At(3, 1);
    EXPECT_EQ(Tabs(1, true), std::vector<TPoint> { TPoint(3, 199) });
    EXPECT_GT(Grid->GetTopRow(), 150);
}

// In editing mode cells that may not be edited are passed over.
TEST_F(TabGrid, TabSkipsCellsThatMayNotBeEdited)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->OnCanEditCell = [](TObject*, int ARow, int ACol, bool& CanEdit) { CanEdit = ACol != 2 && ARow != 3; };
    Grid->GetNavigation()->SetAdvanceAutoEdit(false);
    At(1, 2);
    EXPECT_EQ(Tabs(4), (std::vector<TPoint> { { 3, 2 }, { 4, 2 }, { 1, 4 }, { 3, 4 } }));
}

// A grid none of whose cells may be stopped at keeps its focus, and the
// key press ends.
TEST_F(TabGrid, AGridWhoseCellsAllRefuseKeepsTheFocus)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    At(2, 2);
    EXPECT_TRUE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Focus(), TPoint(2, 2));
    EXPECT_TRUE(Grid->NavigateFromEditor(true));
    EXPECT_EQ(Focus(), TPoint(2, 2));
}

// Only the fixed right column takes the cursor (the application lets it):
// the walk ends after one pass and the focus stays.
TEST_F(TabGrid, CursorCellsOnlyBeyondTheEndColumnEndTheWalk)
{
    Grid->SetFixedRightCols(1);
    Grid->OnSelectCell = [](TObject*, int ACol, int ARow, bool& CanSelect) {
        CanSelect = ACol == 4 || (ACol == 2 && ARow == 2);
    };
    At(2, 2);
    EXPECT_TRUE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Focus(), TPoint(2, 2));
}

// At the end with TabToNextAtEnd the focus goes back to the first cell,
// Tab is posted to the form and the answer is False.
TEST_F(TabGrid, TabToNextAtEndHandsTabToTheForm)
{
    Grid->GetNavigation()->SetTabToNextAtEnd(true);
    At(4, 5);
    EXPECT_FALSE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Focus(), TPoint(1, 1));
    ASSERT_TRUE(Grid->Focused());
    Application->ProcessMessages();
    // The form's Tab moves the focus on to the next control.
    EXPECT_TRUE(Other->Focused());
}

// AdvanceInsert appends a row at the end, before a visible floating
// footer; OnCanAddRow may refuse, which wraps instead.
TEST_F(TabGrid, AdvanceInsertAppendsARow)
{
    Grid->GetNavigation()->SetAdvanceInsert(true);
    int Added = -1;
    Grid->OnAutoAddRow = [&](TObject*, int ARow) { Added = ARow; };
    At(4, 5);
    EXPECT_TRUE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Grid->GetRowCount(), 7);
    EXPECT_EQ(Focus(), TPoint(1, 6));
    EXPECT_EQ(Added, 6);

    Grid->GetFloatingFooter()->SetVisible(true);
    Grid->SetCells(1, Grid->GetRowCount() - 1, u"footer");
    const int Count = Grid->GetRowCount();
    At(4, Count - 2);
    EXPECT_TRUE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Grid->GetRowCount(), Count + 1);
    EXPECT_EQ(Focus(), TPoint(1, Count - 1));
    EXPECT_EQ(Grid->GetCells(1, Count), u"footer");
    EXPECT_EQ(Added, Grid->GetRowCount() - Grid->GetFixedFooters() - 1);

    Grid->OnCanAddRow = [](TObject*, bool& CanAdd) { CanAdd = false; };
    At(4, Grid->GetRowCount() - 2);
    Grid->NavigateFromEditor(false);
    EXPECT_EQ(Grid->GetRowCount(), Count + 1);
    EXPECT_EQ(Focus(), TPoint(1, 1));
}

// Into the next row the changing events are asked; a refusal keeps the
// focus. A Tab sent while a move runs for the same cell does nothing.
TEST_F(TabGrid, RowChangeIsAskedAndTheMoveGuardedAgainstReentry)
{
    int Asked = 0;
    Grid->OnRowChanging = [&](TObject*, int, int, bool& Allow) {
        ++Asked;
        Allow = false;
    };
    At(4, 2);
    Grid->NavigateFromEditor(false);
    EXPECT_EQ(Focus(), TPoint(4, 2));

    Grid->OnRowChanging = [&](TObject*, int, int, bool&) {
        ++Asked;
        // The handler presses Tab again while the move runs.
        EXPECT_TRUE(Grid->NavigateFromEditor(false));
    };
    Asked = 0;
    At(4, 2);
    Grid->NavigateFromEditor(false);
    EXPECT_EQ(Asked, 1);
    EXPECT_EQ(Focus(), TPoint(1, 3));
    // The guard is idle again afterwards.
    EXPECT_TRUE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Focus(), TPoint(2, 3));
}

// An OnKeyDown that changes the Tab key cancels the move.
TEST_F(TabGrid, OnKeyDownCancelsTheMove)
{
    Grid->OnKeyDown = [](TObject*, WORD& Key, TShiftState) {
        if (Key == VK_TAB)
            Key = 0;
    };
    At(2, 2);
    EXPECT_TRUE(Grid->NavigateFromEditor(false));
    EXPECT_EQ(Focus(), TPoint(2, 2));
}

// Tab from a merged area goes to the first cell after the whole area.
TEST_F(TabGrid, TabLeavesAMergedArea)
{
    Grid->MergeCells(1, 2, 3, 1);
    At(1, 2);
    EXPECT_EQ(Tabs(2), (std::vector<TPoint> { { 4, 2 }, { 1, 3 } }));
}

// Tab and Shift+Tab in the open editor walk as Tab walks in the grid;
// Up and Down leave the editor's cell.
TEST_F(TabGrid, TabInTheOpenEditorWalksOverCellsThatMayNotBeEdited)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 2; };
    Grid->GetNavigation()->SetAdvanceAutoEdit(false);
    At(1, 2);
    Grid->ShowInplaceEdit();
    ASSERT_NE(Grid->GetInplaceEditor(), nullptr);
    ASSERT_TRUE(Grid->GetInplaceEditor()->Focused());
    EXPECT_EQ(Tabs(1), std::vector<TPoint> { TPoint(3, 2) });
    Grid->ShowInplaceEdit();
    ASSERT_TRUE(Grid->GetInplaceEditor()->Focused());
    EXPECT_EQ(Tabs(1, true), std::vector<TPoint> { TPoint(1, 2) });
    Grid->ShowInplaceEdit();
    ASSERT_TRUE(Grid->GetInplaceEditor()->Focused());
    Headless::Key(VK_DOWN);
    Application->ProcessMessages();
    EXPECT_EQ(Focus(), TPoint(1, 3));
}

} // namespace
