#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GridDataViewsDouble.h"
#include "GridTestAccess.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/RirEvozUndoRedo.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct CheckBoxes : ::testing::Test {
    TDedOzovedUrad G { nullptr };
    TRirEvozUndoRedo* Undo = new TRirEvozUndoRedo(&G);
    std::vector<std::string> Changes; // "c,r=0/1"
    void SetUp() override
    {
        G.SetColCount(4);
        G.SetRowCount(6);
        G.SetFixedRows(1);
        G.SetUndoRedo(Undo);
        G.OnCheckBoxChange = [this](TObject*, int c, int r, bool s) {
            Changes.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + (s ? "1" : "0"));
        };
    }
    TCheckBoxState Tri(int c, int r)
    {
        TCheckBoxState S = cbUnchecked;
        EXPECT_TRUE(G.GetCheckBoxState(c, r, S));
        return S;
    }
};

} // namespace

TEST_F(CheckBoxes, AddingChecksTheCellAndGivesDataBoxesACheckText)
{
    struct Case {
        const char* Name;
        const char16_t* Before;
        bool State, Data;
        const char16_t* After;
        bool Checked;
    };
    const Case Cases[] = {
        { "plain box keeps the text", u"note", true, false, u"note", true },
        { "data box on an empty cell, checked", u"", true, true, u"Y", true },
        { "data box on an empty cell, unchecked", u"", false, true, u"N", false },
        { "data box on other text takes the state", u"maybe", true, true, u"Y", true },
        { "data box keeps a check text and shows it", u"N", true, true, u"N", false },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.Name);
        G.SetCells(1, 2, c.Before);
        G.AddCheckBox(1, 2, c.State, c.Data);
        EXPECT_EQ(G.GetCells(1, 2), c.After);
        EXPECT_EQ(G.IsChecked(1, 2), c.Checked);
        EXPECT_EQ(G.GetCellType(1, 2), c.Data ? ctDataCheckBox : ctCheckBox);
        EXPECT_EQ(G.GetCellGraphic(1, 2)->GetCellHAlign(), haBeforeText);
        EXPECT_TRUE(G.GetCellGraphic(1, 2)->GetCellTransparent());
    }
    G.SetVAlignment(vtaCenter);
    G.AddCheckBox(2, 2, cbGrayed);
    EXPECT_EQ(G.GetCellGraphic(2, 2)->GetCellVAlign(), vaCenter);
    EXPECT_EQ(Tri(2, 2), cbGrayed);
    EXPECT_FALSE(G.IsChecked(3, 3));
    bool B = true;
    EXPECT_FALSE(G.GetCheckBoxState(3, 3, B));
    EXPECT_TRUE(B); // untouched
}

TEST_F(CheckBoxes, CellsOutsideTheGridAreRefused)
{
    const int Cells[][2] = { { -1, 1 }, { 1, -1 }, { 4, 1 }, { 1, 6 } };
    for (const auto& c : Cells) {
        SCOPED_TRACE(std::to_string(c[0]) + "," + std::to_string(c[1]));
        try {
            G.AddCheckBox(c[0], c[1], true, false);
            ADD_FAILURE() << "no exception";
        } catch (const Exception& E) {
            EXPECT_EQ(E.GetMessage(), u"Invalid cell");
        }
        EXPECT_THROW(G.AddCheckBox(c[0], c[1], cbChecked), Exception);
    }
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 6; ++r)
            EXPECT_EQ(G.GetCellGraphic(c, r), nullptr);
}

TEST_F(CheckBoxes, ThreeStateBoxesCycleByTheToggleMode)
{
    struct Case {
        TToggleTriStateCheck Mode;
        std::vector<TCheckBoxState> Cycle;
    };
    const Case Cases[] = {
        { tsAllStates, { cbGrayed, cbChecked, cbUnchecked, cbGrayed } },
        { tsCheckUnCheck, { cbChecked, cbUnchecked, cbChecked, cbUnchecked } },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(int(c.Mode));
        G.GetNavigation()->SetToggleTriStateCheck(c.Mode);
        G.AddCheckBox(1, 1, cbUnchecked);
        for (TCheckBoxState Expected : c.Cycle) {
            EXPECT_TRUE(G.ToggleCheckBox(1, 1));
            EXPECT_EQ(Tri(1, 1), Expected);
        }
        // Grayed always goes on to checked.
        G.SetCheckBoxState(1, 1, cbGrayed);
        G.ToggleCheckBox(1, 1);
        EXPECT_EQ(Tri(1, 1), cbChecked);
    }
}

TEST_F(CheckBoxes, AVetoLeavesTheBoxAndTheUndoListAlone)
{
    G.AddCheckBox(1, 1, false, true);
    bool Asked = false, AskedState = true;
    G.OnCheckBoxCanToggle = [&](TObject*, int, int, bool State, bool& Allow) {
        Asked = true;
        AskedState = State;
        Allow = false;
    };
    EXPECT_FALSE(G.ToggleCheckBox(1, 1));
    EXPECT_TRUE(Asked);
    EXPECT_FALSE(AskedState);
    EXPECT_EQ(G.GetCells(1, 1), u"N");
    EXPECT_EQ(Undo->GetItems()->Count(), 0);
    EXPECT_TRUE(Changes.empty());
    EXPECT_FALSE(G.GetGridModified());
}

TEST_F(CheckBoxes, AToggleIsUndoneAndRedone)
{
    G.AddCheckBox(1, 1, false, true);
    G.AddCheckBox(2, 2, false, false);
    EXPECT_TRUE(G.ToggleCheckBox(1, 1));
    EXPECT_EQ(G.GetCells(1, 1), u"Y");
    EXPECT_TRUE(G.ToggleCheckBox(2, 2));
    EXPECT_TRUE(G.IsChecked(2, 2));
    EXPECT_EQ(Changes, (std::vector<std::string> { "1,1=1", "2,2=1" }));
    EXPECT_TRUE(G.GetGridModified());
    ASSERT_EQ(Undo->GetItems()->Count(), 2);
    EXPECT_EQ(Undo->GetItems()->GetItems(0)->GetOrigValue(), u"N");

    Undo->Undo();
    EXPECT_FALSE(G.IsChecked(2, 2));
    EXPECT_EQ(G.GetCells(2, 2), u""); // the plain box's state is not text
    Undo->Undo();
    EXPECT_EQ(G.GetCells(1, 1), u"N");
    EXPECT_FALSE(G.IsChecked(1, 1));
    Undo->Redo();
    EXPECT_EQ(G.GetCells(1, 1), u"Y");
    EXPECT_TRUE(G.IsChecked(1, 1));
    // Redoing the plain box sets the box again; its text stays empty.
    Undo->Redo();
    EXPECT_TRUE(G.IsChecked(2, 2));
    EXPECT_EQ(G.GetCells(2, 2), u"");
}

// Toggled by the user, a box needs an editable cell unless CheckAlwaysActive.
TEST_F(CheckBoxes, AUserToggleAsksWhetherTheCellMayBeEdited)
{
    G.AddCheckBox(1, 1, false, false);
    G.OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    G.SetOptions(G.GetOptions() + goEditing);
    EXPECT_FALSE(G.DoToggleCheckBox(1, 1, true));
    EXPECT_FALSE(G.IsChecked(1, 1));
    G.GetControlLook()->SetCheckAlwaysActive(true);
    EXPECT_TRUE(G.DoToggleCheckBox(1, 1, true));
    EXPECT_TRUE(G.IsChecked(1, 1));
    EXPECT_TRUE(G.DoToggleCheckBox(1, 1, false));
}

// The row check box is the row's selection: toggling it selects the row and
// leaves the cell's text, which is data, as it was.
TEST_F(CheckBoxes, TheRowCheckBoxTogglesTheRowSelection)
{
    G.GetMouseActions()->SetHotmailRowSelect(true);
    G.SetCells(0, 3, u"data");
    EXPECT_TRUE(G.ToggleCheckBox(0, 3));
    EXPECT_TRUE(G.GetRowSelect(3));
    EXPECT_EQ(G.GetCells(0, 3), u"data");
    EXPECT_TRUE(G.IsChecked(0, 3));
    Undo->Undo();
    EXPECT_FALSE(G.GetRowSelect(3));
    EXPECT_EQ(G.GetCells(0, 3), u"data");
    // The column of row boxes takes no other boxes.
    G.AddCheckBoxColumn(0, true, false);
    EXPECT_EQ(G.SlotCellGraphic(0, 2), nullptr);
}

TEST_F(CheckBoxes, CheckAllReportsOnlyTheRowsThatChange)
{
    G.AddCheckBoxColumn(1, false, true);
    G.SetCells(1, 2, u"Y");
    G.CheckAll(1);
    EXPECT_EQ(Changes, (std::vector<std::string> { "1,1=1", "1,3=1", "1,4=1", "1,5=1" }));
    EXPECT_EQ(G.GetCells(1, 0), u""); // the fixed row has no box
    EXPECT_TRUE(G.IsDataCheckBoxColumn(1));
    Changes.clear();
    G.UnCheckAll(1);
    EXPECT_EQ(Changes.size(), 5u);
    for (int r = 1; r < 6; ++r)
        EXPECT_EQ(G.GetCells(1, r), u"N");
    G.RemoveCheckBoxColumn(1);
    EXPECT_FALSE(G.HasCheckBox(1, 3));
    EXPECT_FALSE(G.IsDataCheckBoxColumn(1));
    // With CheckAllCheck the last fixed row gets a box too; footers none.
    G.GetMouseActions()->SetCheckAllCheck(true);
    G.SetFixedFooters(1);
    G.AddCheckBoxColumn(2);
    EXPECT_TRUE(G.HasCheckBox(2, 0));
    EXPECT_TRUE(G.HasCheckBox(2, 4));
    EXPECT_FALSE(G.HasCheckBox(2, 5));
}

TEST_F(CheckBoxes, StatesOfHiddenRowsAreReadByRealRow)
{
    G.AddCheckBox(1, 2, true, false);
    G.AddCheckBox(1, 3, false, true);
    G.AddCheckBox(1, 4, true, true);
    G.HideRow(2);
    bool S = false;
    EXPECT_TRUE(G.GetCheckBoxState(1, 2, S));
    EXPECT_TRUE(S);
    EXPECT_TRUE(G.GetCheckBoxState(1, 3, S));
    EXPECT_FALSE(S);
    EXPECT_TRUE(G.IsChecked(1, 4));
    EXPECT_TRUE(G.SetCheckBoxState(1, 2, false));
    EXPECT_FALSE(G.IsChecked(1, 2));
    EXPECT_TRUE(G.SetCheckBoxState(1, 3, true));
    EXPECT_EQ(G.GetCells(1, 2), u"Y"); // real row 3 shows as row 2
    G.UnHideRowsAll();
    EXPECT_FALSE(G.IsChecked(1, 2));
    EXPECT_TRUE(G.IsChecked(1, 3));
}

TEST_F(CheckBoxes, SaveCellWritesTheStateOfBoxesWithoutText)
{
    G.AddCheckBox(1, 1, true, false);
    G.AddCheckBox(1, 2, false, false);
    G.AddCheckBox(2, 1, cbGrayed);
    G.AddCheckBox(2, 2, cbChecked);
    G.AddCheckBox(2, 3, cbUnchecked);
    G.SetCells(1, 3, u"text");
    G.AddCheckBox(1, 3, true, false);
    G.OnGetCheckTrue = [](TObject*, int ACol, int, String& V) {
        if (ACol == 2)
            V = u"yes";
    };
    struct Case {
        int c, r;
        const char16_t* Expected;
    };
    for (const Case c : { Case { 1, 1, u"Y" }, { 1, 2, u"N" }, { 2, 1, u"-" }, { 2, 2, u"yes" }, { 2, 3, u"N" },
             { 1, 3, u"text" } }) {
        SCOPED_TRACE(std::to_string(c.c) + "," + std::to_string(c.r));
        EXPECT_EQ(G.SaveCell(c.c, c.r), c.Expected);
    }
    // A cell covered by a merged area saves empty, its own box aside.
    G.SetCells(0, 4, u"base");
    G.MergeCells(0, 4, 2, 1);
    G.SetSaveMergedCells(false);
    EXPECT_EQ(G.SaveCell(1, 4), u"");
    G.AddCheckBox(1, 4, true, false);
    EXPECT_EQ(G.SaveCell(1, 4), u"Y");
    G.SetSaveMergedCells(true);
    EXPECT_EQ(G.SaveCell(0, 4), u"base");
}

// Grouped grids: a node's box sets its children, a child's box sets the
// node's three-state box from all its children.
TEST(CheckBoxGroups, NodesAndChildrenFollowEachOther)
{
    TRecordingDataViewsScope Views;
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(7);
    G.SetFixedRows(1);
    TDedOzovedUradTestAccess::SetGroupColumn(G, 2);
    G.GetGrouping()->SetAutoCheckGroup(true);
    // Node rows 1 (children 2, 3) and 4 (children 5, 6).
    Views.Log->NodeCount = 2;
    Views.Log->NodeSpans = { { 1, 3 }, { 4, 3 } };
    Views.Log->ParentRows = { { 2, 1 }, { 3, 1 }, { 5, 4 }, { 6, 4 } };
    G.AddCheckBoxColumn(1, false, false);
    EXPECT_EQ(G.GetCellType(1, 1), ctTriStateCheckBox);
    EXPECT_EQ(G.GetCellType(1, 2), ctCheckBox);
    auto State = [&](int r) {
        TCheckBoxState S = cbUnchecked;
        G.GetCheckBoxState(1, r, S);
        return S;
    };

    G.ToggleCheckBox(1, 1); // the node checks its children
    EXPECT_EQ(State(1), cbChecked);
    EXPECT_TRUE(G.IsChecked(1, 2));
    EXPECT_TRUE(G.IsChecked(1, 3));
    EXPECT_FALSE(G.IsChecked(1, 5));
    G.ToggleCheckBox(1, 3); // children disagree: the node is greyed
    EXPECT_EQ(State(1), cbGrayed);
    G.ToggleCheckBox(1, 2); // both unchecked now
    EXPECT_EQ(State(1), cbUnchecked);
    G.ToggleCheckBox(1, 5);
    G.ToggleCheckBox(1, 6);
    EXPECT_EQ(State(4), cbChecked);
    // A node row's three-state box skips grey even under tsAllStates.
    G.GetNavigation()->SetToggleTriStateCheck(tsAllStates);
    G.ToggleCheckBox(1, 4);
    EXPECT_EQ(State(4), cbUnchecked);
    EXPECT_FALSE(G.IsChecked(1, 5));

    // Without AutoCheckGroup a grouped grid's node rows get no box.
    G.GetGrouping()->SetAutoCheckGroup(false);
    G.AddCheckBoxColumn(2, true, false);
    EXPECT_FALSE(G.HasCheckBox(2, 1));
    EXPECT_TRUE(G.HasCheckBox(2, 2));
}

// The glyph's rectangle: 2 pixels in from the cell's edge and CheckSize
// square, both scaled by the DPI (22.5 rounds to 22 at 1.5).
TEST(CheckBoxHitTest, PreciseClicksLandOnTheGlyph)
{
    TDedOzovedUrad G(nullptr);
    G.SetColCount(3);
    G.SetRowCount(3);
    G.SetDefaultColWidth(80);
    G.SetDefaultRowHeight(30);
    G.AddCheckBox(1, 1, true, false);
    const TRect Cell = G.CellRect(1, 1);
    ASSERT_GT(Cell.Width(), 0);
    EXPECT_TRUE(G.IsInCheckBox(1, 1, Cell.Right - 1, Cell.Bottom - 1)); // anywhere while not precise
    EXPECT_FALSE(G.IsInCheckBox(1, 2, Cell.Left + 5, Cell.Top + 5));   // no box there
    G.GetMouseActions()->SetPreciseCheckBoxCheck(true);
    struct Case {
        double Scale;
        int dx, dy;
        bool Inside;
    };
    const Case Cases[] = {
        { 1.0, 2, 2, true }, { 1.0, 1, 2, false }, { 1.0, 16, 16, true }, { 1.0, 17, 10, false },
        { 1.0, 10, 17, false }, { 1.5, 3, 3, true }, { 1.5, 2, 3, false }, { 1.5, 24, 24, true },
        { 1.5, 25, 10, false }, { 1.5, 10, 25, false },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(std::to_string(c.Scale) + " " + std::to_string(c.dx) + "," + std::to_string(c.dy));
        TDedOzovedUradTestAccess::SetDPIScale(G, c.Scale);
        EXPECT_EQ(G.IsInCheckBox(1, 1, Cell.Left + c.dx, Cell.Top + c.dy), c.Inside);
    }
    // Bottom aligned at 1.0: the box ends CheckSize + 2 above the bottom
    // and then runs the scaled size.
    TDedOzovedUradTestAccess::SetDPIScale(G, 1.0);
    G.GetCellGraphic(1, 1)->SetCellVAlign(vaBottom);
    EXPECT_TRUE(G.IsInCheckBox(1, 1, Cell.Left + 2, Cell.Bottom - 17));
    EXPECT_FALSE(G.IsInCheckBox(1, 1, Cell.Left + 2, Cell.Bottom - 18));
    EXPECT_FALSE(G.IsInCheckBox(1, 1, Cell.Left + 2, Cell.Bottom - 2));
    // Right aligned text: the box stands left of the text.
    G.GetCellGraphic(1, 1)->SetCellVAlign(vaTop);
    G.SetAlignments(1, 1, taRightJustify);
    EXPECT_TRUE(G.IsInCheckBox(1, 1, Cell.Right - 3, Cell.Top + 2));
    EXPECT_FALSE(G.IsInCheckBox(1, 1, Cell.Right - 2, Cell.Top + 2));
    G.SetCells(1, 1, u"WWW");
    EXPECT_FALSE(G.IsInCheckBox(1, 1, Cell.Right - 3, Cell.Top + 2));
}

// While a narrow-down condition is in force the boxes keep a state of their
// own in the object, and the Boolean read does not report it.
TEST_F(CheckBoxes, WhileNarrowedDownBoxesKeepTheirStateInTheObject)
{
    G.AddCheckBox(1, 2, false, true);
    G.AddCheckBox(2, 2, cbChecked);
    G.HideRow(4);
    G.SetNarrowDownActive(true);
    EXPECT_TRUE(G.SetCheckBoxState(1, 2, true));
    EXPECT_EQ(G.GetCells(1, 2), u"N");
    bool S = false;
    EXPECT_FALSE(G.GetCheckBoxState(1, 2, S));
    EXPECT_TRUE(S);
    EXPECT_TRUE(G.ApplyCheckBoxValue(1, 2, false));
    EXPECT_FALSE(G.GetCellGraphic(1, 2)->GetCellBoolean());
    EXPECT_FALSE(G.SetCheckBoxState(2, 2, false)); // three-state boxes are left alone
    EXPECT_EQ(Tri(2, 2), cbChecked);
    EXPECT_TRUE(Changes.empty());
}
