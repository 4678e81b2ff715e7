// The grid's left button press and its mouse-down step, headless: presses
// go through the window's message path as real input does.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "GridMouseFixture.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Backend.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// ---- the left press: cell kind, point, modifiers -> effect ----

TEST_F(MouseDownTest, RatingTakesHalfAPointPerNinePixels)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->AddRating(1, 2, 5, clYellow, clGray);
    struct TCase {
        int X;
        double Rate;
    };
    const TCase Cases[] = { { 45, 2.5 }, { 8, 0.0 }, { 9, 0.5 }, { 89, 4.5 } };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.X);
        Click(In(1, 2, C.X, 10));
        EXPECT_DOUBLE_EQ(Grid->GetFloats(1, 2), C.Rate);
    }
    // A refused change keeps the old rate.
    Grid->OnRatingChange = [](TObject*, int, int, double&, bool& Allow) { Allow = false; };
    Click(In(1, 2, 20, 10));
    EXPECT_DOUBLE_EQ(Grid->GetFloats(1, 2), 4.5);
}

TEST_F(MouseDownTest, RadioGroupItemsAndTheBorderBetweenThem)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->SetDefaultColWidth(200);
    TStrings* Items = Grid->CreateRadio(1, 1, 1, -1);
    Items->Add(u"aa");
    Items->Add(u"bb");
    Items->Add(u"cc");
    std::vector<int> Radio;
    Grid->OnRadioClick = [&](TObject*, int, int, int AIdx) { Radio.push_back(AIdx); };
    // Item extent: glyph 16 plus the text width in the grid's font.
    TCanvas* C = Grid->GetCanvas();
    C->GetFont()->Assign(Grid->GetFont());
    const int W = 16 + C->TextWidth(u"aa");
    struct TCase {
        int X;
        int Idx; // -1: nothing selected
    };
    const TCase Cases[] = { { 1, 0 }, { W - 1, 0 }, { W, -1 }, { W + 1, 1 }, { 2 * W + 1, 2 } };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.X);
        Radio.clear();
        Click(In(1, 1, Case.X, 5));
        if (Case.Idx < 0)
            EXPECT_TRUE(Radio.empty());
        else {
            EXPECT_EQ(Radio, std::vector<int> { Case.Idx });
            EXPECT_EQ(Grid->GetCells(1, 1), Items->GetStrings(Case.Idx));
        }
    }
}

TEST_F(MouseDownTest, DirectEditNeedsFourPixelsInside)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->GetMouseActions()->SetDirectEdit(true);
    Click(In(2, 3, 3, 10));
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_EQ(Clicks, std::vector<std::string> { "2,3" });
    Clicks.clear();
    Click(In(2, 4, 10, 10));
    EXPECT_TRUE(Grid->GetEditorMode());
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 4);
    EXPECT_EQ(Clicks, std::vector<std::string> { "2,4" });
}

TEST_F(MouseDownTest, AlwaysVisibleSpinButtonHalves)
{
    Grid->GetControlLook()->SetSpinButtonsAlwaysVisible(true);
    Grid->OnHasSpinEdit = [](TObject*, int ACol, int, bool& Has) { Has = ACol == 1; };
    Press(In(1, 2, 85, 3));
    EXPECT_TRUE(Grid->GetSpinUpClick());
    EXPECT_FALSE(Grid->GetSpinDnClick());
    Release(In(1, 2, 85, 3));
    Press(In(1, 2, 85, 20));
    EXPECT_FALSE(Grid->GetSpinUpClick());
    EXPECT_TRUE(Grid->GetSpinDnClick());
    Release(In(1, 2, 85, 20));
    // Left of the 18 pixel zone, or in a cell without spin: neither.
    Press(In(1, 2, 60, 3));
    EXPECT_FALSE(Grid->GetSpinUpClick() || Grid->GetSpinDnClick());
    Release(In(1, 2, 60, 3));
    Press(In(2, 2, 85, 3));
    EXPECT_FALSE(Grid->GetSpinUpClick() || Grid->GetSpinDnClick());
}

TEST_F(MouseDownTest, PreciseCheckBoxPressBesideTheGlyphMovesFocusOnly)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->GetMouseActions()->SetPreciseCheckBoxCheck(true);
    Grid->AddCheckBox(2, 5, false, false);
    int Downs = 0;
    Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++Downs; };
    std::vector<bool> Clicked;
    Grid->OnCheckBoxClick = [&](TObject*, int, int, bool State) { Clicked.push_back(State); };
    Click(In(2, 5, 70, 12));
    bool State = true;
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 5, State));
    EXPECT_FALSE(State);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 5);
    EXPECT_EQ(Downs, 1);
    EXPECT_TRUE(Clicked.empty());
    // On the glyph it toggles and reports the click.
    const TRect R = Grid->CellRect(2, 5);
    TPoint Hit;
    bool Found = false;
    for (int x = R.Left; x < R.Right && !Found; ++x)
        for (int y = R.Top; y < R.Bottom && !Found; ++y)
            if (Grid->IsInCheckBox(2, 5, x, y)) {
                Hit = TPoint(x, y);
                Found = true;
            }
    ASSERT_TRUE(Found);
    Click(Hit);
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 5, State));
    EXPECT_TRUE(State);
    EXPECT_EQ(Clicked, std::vector<bool> { true });
}

TEST_F(MouseDownTest, HeaderCheckBoxChecksAllRowsButSuppressedOnes)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->GetMouseActions()->SetCheckAllCheck(true);
    Grid->AddCheckBoxColumn(1, false, false);
    Grid->AddCheckBox(1, 0, false, false);
    Grid->SetRowHeights(4, 0); // suppressed by a filter
    std::vector<std::string> Changes;
    Grid->OnCheckBoxChange
        = [&](TObject*, int ACol, int ARow, bool State) { Changes.push_back(std::to_string(ACol) + "," + std::to_string(ARow) + (State ? " on" : " off")); };
    Click(In(1, 0, 45, 12));
    EXPECT_EQ(Changes, std::vector<std::string> { "1,0 on" });
    for (int r = 1; r < Grid->GetRowCount(); ++r) {
        SCOPED_TRACE(r);
        bool State = false;
        ASSERT_TRUE(Grid->GetCheckBoxState(1, r, State));
        EXPECT_EQ(State, r != 4);
    }
}

TEST_F(MouseDownTest, EditButtonRunsOnEllipsClick)
{
    Grid->GetControlLook()->SetDropDownAlwaysVisible(true);
    Grid->OnHasEditBtn = [](TObject*, int ACol, int, bool& Has) { Has = ACol == 3; };
    Grid->SetCells(3, 2, u"old");
    std::vector<std::string> Ellips;
    Grid->OnEllipsClick = [&](TObject*, int ACol, int ARow, String& S) {
        Ellips.push_back(std::to_string(ACol) + "," + std::to_string(ARow));
        S = u"picked";
    };
    // Left of the button: no call.
    Click(In(3, 2, 40, 10));
    EXPECT_TRUE(Ellips.empty());
    Click(In(3, 2, 80, 10));
    EXPECT_EQ(Ellips, std::vector<std::string> { "3,2" });
    EXPECT_EQ(Grid->GetCells(3, 2), u"picked");
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Grid->GetRow(), 2);
}

TEST_F(MouseDownTest, FixedColumnSizingGrabWithinThreePixels)
{
    Grid->SetFixedCols(2);
    // The move to the press point arms the sizing on a fixed border.
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->GetMouseActions()->SetSizeFixedCol(true);
    struct TCase {
        int X;
        int Col; // -1: not on a border, no sizing
    };
    // Running sum: each column counts one pixel of grid line.
    const TCase Cases[] = { { 92, 0 }, { 88, 0 }, { 87, -1 }, { 183, 1 }, { 179, 1 }, { 184, -1 } };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.X);
        Grid->SetColWidths(0, 90);
        Grid->SetColWidths(1, 90);
        Press(TPoint(C.X, 40));
        EXPECT_EQ(Grid->GetSizingFixed(), C.Col >= 0);
        if (C.Col >= 0)
            EXPECT_EQ(Grid->GetSizingFixedCol(), C.Col);
        Release(TPoint(C.X, 40));
    }
}

TEST_F(MouseDownTest, SingleFixedColumnWithFixedColAlwaysDoesNothing)
{
    Grid->SetFixedColAlways(true);
    Grid->SetColCount(1);
    ASSERT_EQ(Grid->GetFixedCols(), 1);
    const TGridRect Before = Grid->GetSelection();
    Click(In(0, 3, 20, 10));
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(Grid->GetSelection().Top, Before.Top);
}

TEST_F(MouseDownTest, CanClickCellRefusalChangesNothing)
{
    Grid->OnCanClickCell = [](TObject*, int ARow, int, bool& Allow) { Allow = ARow != 6; };
    Click(In(2, 6, 40, 10));
    EXPECT_TRUE(Clicks.empty());
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(Grid->GetRow(), 1);
    Click(In(2, 7, 40, 10));
    EXPECT_EQ(Clicks, std::vector<std::string> { "2,7" });
    EXPECT_EQ(Grid->GetRow(), 7);
}

TEST_F(MouseDownTest, PartialRowScrollsByTheDeltaAndEndsThePress)
{
    Grid->GetMouseActions()->SetNoScrollOnPartialRow(true);
    Grid->GetMouseActions()->SetPartialScrollDelta(2);
    int OnClicks = 0;
    Grid->OnClick = [&](TObject*) { ++OnClicks; };
    // The last row in view is partly shown.
    const int Last = Grid->GetTopRow() + Grid->GetVisibleRowCount();
    ASSERT_GT(Grid->CellRect(1, Last).Bottom, Grid->GetClientHeight() - 1);
    const TPoint P = In(1, Last, 40, 3);
    Press(P);
    EXPECT_EQ(Grid->GetTopRow(), 1 + 2);
    EXPECT_NE(GetCapture(), Grid->GetHandle());
    EXPECT_EQ(Grid->GetGridState(), gsNormal);
    Release(P);
    // Ended at once: no click event, no click on cell (0, 0).
    EXPECT_EQ(OnClicks, 0);
    for (const std::string& C : Clicks)
        EXPECT_NE(C, "0,0");
}

TEST_F(MouseDownTest, PressInsideTheSelectionKeepsItForAnOleDrag)
{
    Grid->GetDragDropSettings()->SetOleDropSource(true);
    Grid->SetSelection(TGridRect { 1, 2, 3, 5 });
    Press(In(2, 4, 40, 10));
    EXPECT_EQ(Clicks, std::vector<std::string> { "2,4" });
    EXPECT_TRUE(Grid->GetSelectionClick());
    TGridRect S = Grid->GetSelection();
    EXPECT_EQ(S.Left, 1);
    EXPECT_EQ(S.Top, 2);
    EXPECT_EQ(S.Right, 3);
    EXPECT_EQ(S.Bottom, 5);
    // Released without a drag: the pressed cell becomes the selection.
    Release(In(2, 4, 40, 10));
    S = Grid->GetSelection();
    EXPECT_EQ(S.Left, 2);
    EXPECT_EQ(S.Top, 4);
    EXPECT_EQ(S.Right, 2);
    EXPECT_EQ(S.Bottom, 4);
    EXPECT_FALSE(Grid->GetSelectionClick());
}

TEST_F(MouseDownTest, PlainPressMovesTheFocusAndFiresTheCellClickOnce)
{
    Click(In(3, 6, 40, 10));
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Grid->GetRow(), 6);
    EXPECT_EQ(Clicks, std::vector<std::string> { "3,6" });
    EXPECT_FALSE(Grid->GetMouseKeepDown() && GetCapture() == Grid->GetHandle());
}

TEST_F(MouseDownTest, WholeRowAndColumnClicksInTheFixedCells)
{
    Grid->GetMouseActions()->SetRowSelect(true);
    Grid->GetMouseActions()->SetColSelect(true);
    Grid->SetMouseSelectMode(TDedOzovedUrad::msRow, true);
    Press(In(0, 4, 40, 10));
    EXPECT_EQ(Grid->GetMouseSelectStart(), 4);
    Release(In(0, 4, 40, 10));
    // The release ends the whole-row gesture.
    EXPECT_EQ(Grid->GetMouseSelectStart(), -1);
    TGridRect S = Grid->GetSelection();
    EXPECT_EQ(S.Left, 1);
    EXPECT_EQ(S.Right, 4);
    EXPECT_EQ(S.Top, 4);
    EXPECT_EQ(S.Bottom, 4);
    Grid->SetMouseSelectMode(TDedOzovedUrad::msColumn, true);
    Click(In(3, 0, 40, 10));
    S = Grid->GetSelection();
    EXPECT_EQ(S.Left, 3);
    EXPECT_EQ(S.Right, 3);
    EXPECT_EQ(S.Top, 1);
    EXPECT_EQ(S.Bottom, 19);
    EXPECT_EQ(Grid->GetMovecell(), 3);
    EXPECT_EQ(Grid->GetMoveOfs().X, 40);
}

TEST_F(MouseDownTest, ExpandNodeThroughTheNodeGlyph)
{
    // Without nodes the data views answer no glyph hit: nothing toggles and
    // the press selects.
    std::vector<int> Expanded;
    Grid->OnExpandNode = [&](TObject*, int ARow, int) { Expanded.push_back(ARow); };
    Click(In(0, 3, 5, 5));
    EXPECT_TRUE(Expanded.empty());
}

// ---- the mouse-down step ----

TEST_F(MouseDownTest, RangeSelectAndEditOpensTheEditorOnTheCurrentCell)
{
    Grid->GetMouseActions()->SetRangeSelectAndEdit(true);
    ASSERT_FALSE(Grid->GetOptions().Contains(goEditing));
    Click(In(1, 1, 40, 10));
    EXPECT_TRUE(Grid->GetOptions().Contains(goEditing));
    EXPECT_TRUE(Grid->GetEditorMode());
}

TEST_F(MouseDownTest, FixedDropDownButtonZone)
{
    Grid->SetHoverFixedCells(hfAll);
    Grid->GetControlLook()->SetFixedDropDownButton(true);
    int Calls = 0;
    bool KeepHighlight = false;
    Grid->OnFixedDropDownClick = [&](TObject*, int, int, TPopupMenu*& Menu, bool& Keep) {
        ++Calls;
        Menu = nullptr;
        Keep = KeepHighlight;
    };
    const TRect R = Grid->CellRect(2, 0);
    struct TCase {
        bool ColSizing;
        int X;
        bool Opens;
    };
    const TCase Cases[] = {
        { true, R.Right - 1, false }, { false, R.Right - 1, true }, { true, R.Right - 8, true },
        { true, R.Right - 16, false }, { false, R.Right - 15, true },
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.X - R.Right);
        SCOPED_TRACE(C.ColSizing);
        Grid->SetOptions(C.ColSizing ? Grid->GetOptions() + TGridOptions { goColSizing }
                                     : Grid->GetOptions() - TGridOptions { goColSizing });
        Calls = 0;
        Grid->MouseDown(mbLeft, TShiftState(), C.X, R.Top + 5);
        Grid->MouseUp(mbLeft, TShiftState(), C.X, R.Top + 5);
        EXPECT_EQ(Calls, C.Opens ? 1 : 0);
    }
    // A nil menu shows nothing; keep leaves the hover state held.
    KeepHighlight = true;
    Grid->MouseDown(mbLeft, TShiftState(), R.Right - 8, R.Top + 5);
    EXPECT_TRUE(Grid->GetNoMouseLeave());
    EXPECT_TRUE(Grid->GetDropDownDown());
    KeepHighlight = false;
    Grid->MouseDown(mbLeft, TShiftState(), R.Right - 8, R.Top + 5);
    EXPECT_FALSE(Grid->GetNoMouseLeave());
}

TEST_F(MouseDownTest, FixedDropDownMenuHighlightsTheCellWhileOpen)
{
    Grid->SetHoverFixedCells(hfFixedRows);
    Grid->GetControlLook()->SetFixedDropDownButton(true);
    TPopupMenu* Menu = new TPopupMenu(Form.get());
    std::vector<std::string> Chosen;
    TPoint DuringMenu { -9, -9 };
    TMenuItem* Item = new TMenuItem(Menu);
    Item->SetCaption(u"Sort");
    Item->OnClick = [&](TObject*) {
        Chosen.push_back("sort " + std::to_string(Menu->GetTag()));
        DuringMenu = Grid->GetHoverFixedCell();
    };
    Menu->GetItems()->Add(Item);
    Grid->SetFixedDropDownMenu(Menu);
    Grid->OnFixedDropDownClick = [&](TObject*, int, int, TPopupMenu*&, bool&) {
        // The menu is answered by keys already queued when it opens.
        Headless::Key(VK_DOWN);
        Headless::Key(VK_RETURN);
    };
    const TRect R = Grid->CellRect(3, 0);
    Grid->MouseDown(mbLeft, TShiftState(), R.Right - 8, R.Top + 5);
    Headless::PumpUntilIdle();
    EXPECT_EQ(Chosen, std::vector<std::string> { "sort 3" });
    EXPECT_EQ(DuringMenu.X, 3);
    EXPECT_EQ(DuringMenu.Y, 0);
    EXPECT_EQ(Grid->GetHoverFixedCell().X, -1);
    EXPECT_FALSE(Grid->GetMouseDownMove());
}

TEST_F(MouseDownTest, FilterEditRowButtonAndEditor)
{
    Grid->SetFixedRows(2);
    Grid->GetFilterEdit()->SetEnabled(true);
    Grid->GetFilterEdit()->SetRow(1);
    const TRect R = Grid->CellRect(2, 1);
    Grid->MouseDown(mbLeft, TShiftState(), R.Left + 10, R.Top + 8);
    EXPECT_EQ(Grid->GetFltrPopPressCol(), 2);
    EXPECT_TRUE(Grid->FixedEdits.empty());
    // The release there opens the filter-type menu; Escape closes it.
    Grid->OnShowFilterEdit = [](TObject*, int, int AIndex, bool&) {
        if (AIndex == 0)
            Headless::Key(VK_ESCAPE);
    };
    Grid->MouseUp(mbLeft, TShiftState(), R.Left + 10, R.Top + 8);
    Grid->MouseDown(mbLeft, TShiftState(), R.Left + 30, R.Top + 8);
    EXPECT_EQ(Grid->GetFltrPopPressCol(), -1);
    EXPECT_EQ(Grid->FixedEdits, std::vector<std::string> { "2,1 filter" });
}

TEST_F(MouseDownTest, FixedCellEditingByButton)
{
    struct TCase {
        TGridFixedCellEdit Mode;
        TMouseButton Button;
        bool Opens;
    };
    const TCase Cases[] = {
        { fceRightClick, mbRight, true },
        { fceRightClick, mbLeft, false },
        { fceLeftClick, mbLeft, true },
        { fceLeftClick, mbRight, false },
        { fceDblClick, mbLeft, false },
    };
    const TRect R = Grid->CellRect(2, 0);
    for (const TCase& C : Cases) {
        SCOPED_TRACE(int(C.Mode));
        SCOPED_TRACE(int(C.Button));
        Grid->FixedEdits.clear();
        Grid->GetMouseActions()->SetFixedRowsEdit(C.Mode);
        Grid->MouseDown(C.Button, TShiftState(), R.Left + 30, R.Top + 10);
        Grid->MouseUp(C.Button, TShiftState(), R.Left + 30, R.Top + 10);
        EXPECT_EQ(Grid->FixedEdits.size(), C.Opens ? 1u : 0u);
    }
    // With column sizing only a press more than 4 pixels inside counts.
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goColSizing });
    Grid->GetMouseActions()->SetFixedRowsEdit(fceLeftClick);
    Grid->FixedEdits.clear();
    Grid->MouseDown(mbLeft, TShiftState(), R.Left + 3, R.Top + 10);
    Grid->MouseUp(mbLeft, TShiftState(), R.Left + 3, R.Top + 10);
    EXPECT_TRUE(Grid->FixedEdits.empty());
}

TEST_F(MouseDownTest, SyncGridFollowsRowsAlwaysAndColumnsOutsideUpdates)
{
    MouseGrid* Other = new MouseGrid(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 270, 460, 150);
    Other->SetColCount(5);
    Other->SetRowCount(20);
    int OtherClicks = 0;
    Other->OnClick = [&](TObject*) { ++OtherClicks; };
    Grid->GetSyncGrid()->SetGrid(Other);
    Grid->GetSyncGrid()->SetSelectionColumn(true);
    Grid->GetSyncGrid()->SetSelectionRow(true);
    Click(In(3, 5, 40, 10));
    EXPECT_EQ(Other->GetCol(), 3);
    EXPECT_EQ(Other->GetRow(), 5);
    Grid->BeginUpdate();
    Grid->MouseDown(mbLeft, TShiftState(), In(2, 7, 40, 10).X, In(2, 7, 40, 10).Y);
    Grid->MouseUp(mbLeft, TShiftState(), In(2, 7, 40, 10).X, In(2, 7, 40, 10).Y);
    Grid->EndUpdate();
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Other->GetCol(), 3);
    EXPECT_EQ(Other->GetRow(), 7);
    EXPECT_EQ(OtherClicks, 0);
}

// Anchors found under a press: mini-HTML links and, with URLShow, link
// texts; the release that follows is swallowed.
TEST_F(MouseDownTest, PressedAnchorsAreFollowed)
{
    std::vector<String> Opened;
    const auto SavedOpen = TDedOzovedUrad::AnchorShellOpen;
    TDedOzovedUrad::AnchorShellOpen = [&](const String& Link) { Opened.push_back(Link); };
    Grid->SetCells(2, 3, u"<a href=\"CELL://r12c3\">go</a>");
    Grid->SetCells(3, 3, u"<a href=\"javascript:alert(1)\">x</a> <a href=\"file:///bin/sh\">y</a>");
    Grid->SetCells(4, 3, u"https://example.com");
    std::vector<String> Anchors;
    Grid->OnAnchorClick = [&](TObject*, int, int, const String& Anchor, bool&) { Anchors.push_back(Anchor); };
    Click(In(3, 3, 6, 10));
    // A link text counts only with URLShow.
    Click(In(4, 3, 20, 10));
    EXPECT_EQ(Anchors.size(), 1u);
    Grid->SetURLShow(true);
    Click(In(4, 3, 20, 10));
    EXPECT_EQ(Anchors, (std::vector<String> { u"javascript:alert(1)", u"https://example.com" }));
    EXPECT_EQ(Opened, std::vector<String> { u"https://example.com" });
    // Beside the anchor text nothing is followed.
    Click(In(2, 3, 70, 10));
    EXPECT_EQ(Anchors.size(), 2u);
    Click(In(2, 3, 8, 10));
    EXPECT_EQ(Grid->GetRow(), 12);
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_FALSE(Grid->GetAnchorClick()) << "the release ends the anchor press";
    TDedOzovedUrad::AnchorShellOpen = SavedOpen;
}

// A refused value keeps the editor's cell when a press moves elsewhere.
TEST_F(MouseDownTest, DirectEditValidatesBeforeThePressMoves)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->GetMouseActions()->SetDirectEdit(true);
    bool Accept = false;
    std::vector<String> Validated;
    Grid->OnCellValidate = [&](TObject*, int, int, String& Value, bool& Valid) {
        Validated.push_back(Value);
        Valid = Accept;
    };
    Click(In(2, 3, 40, 10));
    ASSERT_TRUE(Grid->GetEditorMode());
    Headless::Type(u"abc");
    Headless::PumpUntilIdle();
    Click(In(3, 6, 40, 10));
    ASSERT_FALSE(Validated.empty());
    EXPECT_EQ(Validated.back(), u"abc");
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 3);
    Accept = true;
    Headless::Type(u"d");
    Headless::PumpUntilIdle();
    Click(In(3, 6, 40, 10));
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Grid->GetRow(), 6);
    EXPECT_EQ(Grid->GetCells(2, 3), Validated.back());
}

} // namespace
