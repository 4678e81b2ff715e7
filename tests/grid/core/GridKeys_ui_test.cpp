// The grid's keyboard, headless: keys go through the window's message path
// (WM_KEYDOWN, the translated WM_CHAR, WM_KEYUP) as real keys do.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "tests/grid/core/GridDataViewsDouble.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

// A focused 8 x 20 grid on a shown form, an edit beside it.
struct KeyGrid : ::testing::Test {
    THeadlessSession Session;
    TRecordingDataViewsScope Views;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    TEdit* Other = nullptr;
    std::vector<WORD> KeysDown;

    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 700, 500);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 560, 300);
        Grid->SetColCount(8);
        Grid->SetRowCount(20);
        Grid->SetDefaultColWidth(60);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(580, 10, 100, 24);
        Form->Show();
        Application->ProcessMessages();
        Grid->SetFocus();
        Application->ProcessMessages();
        Grid->OnKeyDown = [this](TObject*, WORD& Key, TShiftState) {
            if (Key != VK_SHIFT && Key != VK_CONTROL && Key != VK_MENU)
                KeysDown.push_back(Key);
        };
    }
    void Press(WORD vk, bool shift = false, bool ctrl = false)
    {
        Headless::Key(vk, shift, ctrl);
        Application->ProcessMessages();
    }
    void At(int c, int r)
    {
        Grid->FocusCell(c, r);
        ASSERT_EQ(Grid->GetCol(), c);
        ASSERT_EQ(Grid->GetRow(), r);
    }
    TPoint Focus() const { return TPoint(Grid->GetCol(), Grid->GetRow()); }
};

// Home and End by Navigation.HomeEndKey, with a fixed right column and a
// footer row that only heFirstLastCell reaches.
TEST_F(KeyGrid, HomeAndEndFollowHomeEndKey)
{
    Grid->SetFixedRightCols(1);
    Grid->SetFixedFooters(1);
    struct Case {
        THomeEndAction Mode;
        WORD Key;
        bool Ctrl;
        TPoint Start, Expected;
    };
    const Case Cases[] = {
        { heFirstLastCell, VK_HOME, false, { 4, 7 }, { 1, 1 } },
        { heFirstLastCell, VK_END, false, { 4, 7 }, { 7, 19 } },
        { heFirstLastColumn, VK_HOME, false, { 4, 7 }, { 1, 7 } },
        { heFirstLastColumn, VK_END, false, { 4, 7 }, { 6, 7 } },
        { heFirstLastColumn, VK_HOME, true, { 4, 7 }, { 1, 1 } },
        { heFirstLastRow, VK_HOME, false, { 4, 7 }, { 4, 1 } },
        { heFirstLastRow, VK_END, false, { 4, 7 }, { 4, 18 } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "mode " << int(C.Mode) << " key " << C.Key << " ctrl " << C.Ctrl);
        Grid->GetNavigation()->SetHomeEndKey(C.Mode);
        At(C.Start.X, C.Start.Y);
        KeysDown.clear();
        Press(C.Key, false, C.Ctrl);
        EXPECT_EQ(Focus(), C.Expected);
        // The grid's own handling tells OnKeyDown the key once.
        EXPECT_EQ(KeysDown, std::vector<WORD> { C.Key });
    }
}

// Wrapping at the ends: snake moves on to the next line, loop stays in it.
TEST_F(KeyGrid, CursorAdvanceWrapsAtTheEnds)
{
    struct Case {
        TCursorAdvance Advance;
        WORD Key;
        TPoint Start, Expected;
    };
    const Case Cases[] = {
        { caSnake, VK_RIGHT, { 7, 5 }, { 1, 6 } },
        { caLoop, VK_RIGHT, { 7, 5 }, { 1, 5 } },
        { caSnake, VK_LEFT, { 1, 5 }, { 7, 4 } },
        { caLoop, VK_LEFT, { 1, 5 }, { 7, 5 } },
        { caSnake, VK_DOWN, { 3, 19 }, { 4, 1 } },
        { caLoop, VK_DOWN, { 3, 19 }, { 3, 1 } },
        { caSnake, VK_UP, { 3, 1 }, { 2, 19 } },
        { caDefault, VK_RIGHT, { 7, 5 }, { 7, 5 } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "advance " << int(C.Advance) << " key " << C.Key);
        Grid->GetNavigation()->SetCursorAdvance(C.Advance);
        At(C.Start.X, C.Start.Y);
        Press(C.Key);
        EXPECT_EQ(Focus(), C.Expected);
    }
}

// MoveScrollOnly scrolls the rows and never moves the focus cell; on the
// last page Down changes nothing. Left and Right still move.
TEST_F(KeyGrid, MoveScrollOnlyScrollsWithoutMovingTheFocus)
{
    Grid->SetRowCount(100);
    Grid->GetNavigation()->SetMoveScrollOnly(true);
    At(2, 3);
    Press(VK_DOWN);
    EXPECT_EQ(Focus(), TPoint(2, 3));
    EXPECT_EQ(Grid->GetTopRow(), 2);
    Press(VK_NEXT);
    EXPECT_EQ(Grid->GetTopRow(), 2 + Grid->GetVisibleRowCount());
    Press(VK_END);
    const int LastTop = Grid->GetTopRow();
    EXPECT_EQ(LastTop, 100 - Grid->GetVisibleRowCount());
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetTopRow(), LastTop);
    EXPECT_EQ(Focus(), TPoint(2, 3));
    Press(VK_RIGHT);
    EXPECT_EQ(Focus(), TPoint(3, 3));
}

// SkipReadOnly walks over read-only cells; at the edge it keeps the focus
// and still uses the key, and an OnKeyDown that changes the key stops it.
TEST_F(KeyGrid, SkipReadOnlyWalksOverReadOnlyCells)
{
    Grid->GetNavigation()->SetSkipReadOnly(true);
    // Columns 2 and 3 are read-only (stored columns = display columns here).
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 2 && ACol != 3; };
    At(4, 5);
    Press(VK_LEFT);
    EXPECT_EQ(Focus(), TPoint(1, 5));
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol >= 4; };
    At(4, 5);
    Press(VK_LEFT);
    EXPECT_EQ(Focus(), TPoint(4, 5)) << "nothing editable to the left";
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 2 && ACol != 3; };
    Grid->OnKeyDown = [](TObject*, WORD& Key, TShiftState) { Key = 0; };
    At(4, 5);
    Press(VK_LEFT);
    EXPECT_EQ(Focus(), TPoint(4, 5)) << "the handler's change stops the walk and the platform's move";
}

// Ctrl+A selects everything without telling OnKeyDown.
TEST_F(KeyGrid, CtrlASelectsAllWithoutOnKeyDown)
{
    At(3, 4);
    Press('A', false, true);
    const TGridRect Sel = Grid->GetSelection();
    EXPECT_EQ(Sel.Left, 1);
    EXPECT_EQ(Sel.Top, 1);
    EXPECT_EQ(Sel.Right, 7);
    EXPECT_EQ(Sel.Bottom, 19);
    for (WORD K : KeysDown)
        EXPECT_NE(K, WORD('A'));
}

// Ctrl+Up/Down with CursorMoveRows carry the row and the focus along.
TEST_F(KeyGrid, CursorMoveRowsMovesTheFocusRow)
{
    Grid->GetNavigation()->SetCursorMoveRows(true);
    Grid->SetCells(1, 5, u"five");
    Grid->SetCells(1, 6, u"six");
    At(1, 5);
    Press(VK_DOWN, false, true);
    EXPECT_EQ(Grid->GetCells(1, 6), u"five");
    EXPECT_EQ(Grid->GetCells(1, 5), u"six");
    EXPECT_EQ(Grid->GetRow(), 6);
    Press(VK_UP, false, true);
    Press(VK_UP, false, true);
    EXPECT_EQ(Grid->GetCells(1, 4), u"five");
    EXPECT_EQ(Grid->GetRow(), 4);
}

// Disabled rows are walked over by Up and Down.
TEST_F(KeyGrid, DisabledRowsAreSkipped)
{
    Grid->SetRowEnabled(6, false);
    Grid->SetRowEnabled(7, false);
    At(2, 5);
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetRow(), 8);
    Press(VK_UP);
    EXPECT_EQ(Grid->GetRow(), 5);
}

// The partner grid follows the focus column and row.
TEST_F(KeyGrid, SynchronisedGridFollowsTheKeys)
{
    auto* Partner = new TDedOzovedUrad(Form.get());
    Partner->SetParent(Form.get());
    Partner->SetBounds(10, 320, 400, 150);
    Partner->SetColCount(8);
    Partner->SetRowCount(20);
    int PartnerClicks = 0;
    Partner->OnClick = [&](TObject*) { ++PartnerClicks; };
    Grid->GetSyncGrid()->SetGrid(Partner);
    Grid->GetSyncGrid()->SetSelectionColumn(true);
    Grid->GetSyncGrid()->SetSelectionRow(true);
    At(2, 2);
    Press(VK_RIGHT);
    Press(VK_DOWN);
    EXPECT_EQ(Partner->GetCol(), 3);
    EXPECT_EQ(Partner->GetRow(), 3);
    EXPECT_EQ(PartnerClicks, 0);
}

// Insert after the row under a filter: the row goes in after the real row,
// the filter is off while it does and on again afterwards.
TEST_F(KeyGrid, InsertAfterUnderAFilterUsesTheRealRow)
{
    for (int r = 1; r < 20; ++r)
        Grid->SetCells(1, r, String(u"r") + IntToStr(r));
    Grid->GetNavigation()->SetAllowInsertRow(true);
    Grid->GetNavigation()->SetInsertPosition(pInsertAfter);
    // The filter hides rows 3 and 4; display row 3 is real row 5.
    auto Filter = [this](bool On) {
        if (On)
            Grid->HideRows(3, 4);
        else
            Grid->UnHideRowsAll();
        Grid->SetFilterActiveState(On);
    };
    Views.Log->OnSetFilterActive = Filter;
    Filter(true);
    ASSERT_EQ(Grid->GetCells(1, 3), u"r5");
    int InsertedAt = -1;
    Grid->OnAutoInsertRow = [&](TObject*, int ARow) { InsertedAt = ARow; };
    At(1, 3);
    Press(VK_INSERT);
    EXPECT_EQ(InsertedAt, 6);
    EXPECT_TRUE(Grid->GetFilterActive());
    EXPECT_TRUE(Views.Log->Saw("SetFilterActive(0)"));
    std::string LastFilterCall;
    for (const std::string& Call : Views.Log->Calls)
        if (Call.rfind("SetFilterActive", 0) == 0)
            LastFilterCall = Call;
    EXPECT_EQ(LastFilterCall, "SetFilterActive(1)");
    Filter(false);
    EXPECT_EQ(Grid->GetCells(1, 5), u"r5");
    EXPECT_EQ(Grid->GetCells(1, 6), u"");
    EXPECT_EQ(Grid->GetCells(1, 7), u"r6");
    EXPECT_EQ(Grid->GetRowCount(), 21);
}

// Delete of the only normal row empties it and keeps the row; with nodes
// the row goes through the data views.
TEST_F(KeyGrid, DeleteRowClearsTheOnlyNormalRow)
{
    Grid->GetNavigation()->SetAllowDeleteRow(true);
    Grid->SetRowCount(2);
    Grid->SetCells(1, 1, u"only");
    int Deleted = -1;
    Grid->OnAutoDeleteRow = [&](TObject*, int ARow) { Deleted = ARow; };
    At(1, 1);
    Press(VK_DELETE);
    EXPECT_EQ(Grid->GetRowCount(), 2);
    EXPECT_EQ(Grid->GetCells(1, 1), u"");
    EXPECT_EQ(Deleted, 1);

    Grid->SetRowCount(6);
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[2] = 3;
    Views.Log->ParentRows[3] = 2;
    At(1, 5);
    Press(VK_DELETE);
    EXPECT_TRUE(Views.Log->Saw("RemoveNormalRow"));
    At(1, 3);
    Press(VK_DELETE);
    EXPECT_TRUE(Views.Log->Saw("RemoveChildRow"));
    bool Refuse = true;
    Grid->OnCanDeleteRow = [&](TObject*, int, bool& CanDelete) { CanDelete = !Refuse; };
    const int Count = Views.Log->Count("RemoveNormalRow");
    At(1, 5);
    Press(VK_DELETE);
    EXPECT_EQ(Views.Log->Count("RemoveNormalRow"), Count);
}

// Right opens and Left closes a node heading merged over the whole row.
TEST_F(KeyGrid, NodeRowOpensAndClosesWithTheArrows)
{
    Views.Log->NodeCount = 1;
    Views.Log->NodeSpans[4] = 3;
    Grid->MergeCells(1, 4, 7, 1);
    At(1, 4);
    Press(VK_RIGHT);
    EXPECT_TRUE(Views.Log->Saw("ExpandNode(4)"));
    EXPECT_EQ(Focus(), TPoint(1, 4));
    Press(VK_LEFT);
    EXPECT_TRUE(Views.Log->Saw("ContractNode(4)"));
    EXPECT_EQ(Focus(), TPoint(1, 4));
}

// The clipboard keys go to the data views, each vetoable.
TEST_F(KeyGrid, ClipboardKeysReachTheDataViews)
{
    Grid->GetNavigation()->SetAllowClipboardShortCuts(true);
    int CopyDone = 0;
    Grid->OnClipboardCopyDone = [&](TObject*, const TGridRect&) { ++CopyDone; };
    Press('C', false, true);
    Press('X', false, true);
    Press('V', false, true);
    Press(VK_INSERT, true, false);
    EXPECT_EQ(Views.Log->Count("CopySelectionToClipboard"), 1);
    EXPECT_EQ(Views.Log->Count("CutSelectionToClipboard"), 1);
    EXPECT_EQ(Views.Log->Count("PasteSelectionFromClipboard"), 2);
    EXPECT_EQ(CopyDone, 1);
    Grid->OnClipboardCut = [](TObject*, bool& Allow) { Allow = false; };
    Press(VK_DELETE, true, false);
    EXPECT_EQ(Views.Log->Count("CutSelectionToClipboard"), 1);
}

// Typing in editing mode opens the editor with the typed character; the
// keypad's decimal key types the locale's separator, the main full stop
// stays a full stop.
TEST_F(KeyGrid, TypingOpensTheEditorWithTheCharacter)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->SetExcelStyleDecimalSeparator(true);
    struct Case {
        WORD Vk;
        String Expected;
    };
    const Case Cases[] = { { 'X', u"x" }, { VK_DECIMAL, u"," }, { VK_OEM_PERIOD, u"." } };
    int Row = 2;
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "key " << C.Vk);
        Grid->HideInplaceEdit();
        Grid->SetFocus();
        At(2, Row++);
        Press(C.Vk);
        Headless::PumpUntilIdle();
        ASSERT_NE(Grid->GetInplaceEditor(), nullptr);
        EXPECT_TRUE(Grid->GetEditorMode());
        EXPECT_EQ(Grid->GetInplaceEditor()->GetText(), C.Expected);
        EXPECT_EQ(Grid->GetStartEditChar(), C.Expected[0]);
    }
}

// RangeSelectAndEdit: a typed character on an editable cell switches
// editing on and starts the edit with it; Enter on a cell that may not be
// edited is swallowed.
TEST_F(KeyGrid, RangeSelectAndEditStartsTheEdit)
{
    Grid->GetMouseActions()->SetRangeSelectAndEdit(true);
    ASSERT_FALSE(Grid->GetOptions().Contains(goEditing));
    At(3, 3);
    Press('Q');
    Headless::PumpUntilIdle();
    EXPECT_TRUE(Grid->GetOptions().Contains(goEditing));
    ASSERT_NE(Grid->GetInplaceEditor(), nullptr);
    EXPECT_EQ(Grid->GetInplaceEditor()->GetText(), u"q");
}

// Space works the control in the focus cell: check boxes toggle, radio
// groups step on, each with its click event.
TEST_F(KeyGrid, SpaceWorksTheControlInTheCell)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->AddCheckBox(2, 3, false, false);
    std::vector<int> Clicks;
    Grid->OnCheckBoxClick = [&](TObject*, int ACol, int ARow, bool State) {
        Clicks.push_back(ACol * 100 + ARow * 10 + (State ? 1 : 0));
    };
    At(2, 3);
    Press(VK_SPACE);
    bool State = false;
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 3, State));
    EXPECT_TRUE(State);
    Press(VK_SPACE);
    ASSERT_TRUE(Grid->GetCheckBoxState(2, 3, State));
    EXPECT_FALSE(State);
    EXPECT_EQ(Clicks, (std::vector<int> { 231, 230 }));

    TStrings* Items = Grid->CreateRadio(4, 3, 0, 0);
    Items->Add(u"a");
    Items->Add(u"b");
    Items->Add(u"c");
    int Index = -1;
    Grid->OnRadioClick = [&](TObject*, int, int, int AIdx) { Index = AIdx; };
    At(4, 3);
    Press(VK_SPACE);
    EXPECT_EQ(Index, 1);
    Press(VK_SPACE);
    EXPECT_EQ(Index, 2);
    EXPECT_EQ(Grid->GetCells(4, 3), u"c");
}

// Shift+arrows in the disjunct cell selection list the cells of the range
// beside the focus cell, at any row (rows beyond 65,535 included).
TEST_F(KeyGrid, DisjunctCellSelectionListsTheRangeAtAnyRow)
{
    Grid->SetRowCount(70000);
    Grid->GetMouseActions()->SetDisjunctCellSelect(true);
    At(2, 66000);
    Press(VK_DOWN, true);
    Press(VK_RIGHT, true);
    EXPECT_EQ(Focus(), TPoint(3, 66001));
    EXPECT_TRUE(Grid->GetSelectedCells(2, 66000));
    EXPECT_TRUE(Grid->GetSelectedCells(2, 66001));
    EXPECT_TRUE(Grid->GetSelectedCells(3, 66000));
    EXPECT_FALSE(Grid->GetSelectedCells(3, 66001)) << "the focus cell itself is not listed";
    EXPECT_EQ(Grid->GetSelectedCellsCount(), 3);
    EXPECT_FALSE(Grid->GetSelectedCells(2, 66000 - 65536));
}

// LaunchEdit opens the editor after the current message; ClickCell clicks
// without the grid's mouse events.
TEST_F(KeyGrid, LaunchEditAndClickCell)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
    Grid->LaunchEdit(3, 4);
    EXPECT_EQ(Focus(), TPoint(3, 4));
    EXPECT_FALSE(Grid->GetEditorMode());
    Headless::PumpUntilIdle();
    EXPECT_TRUE(Grid->GetEditorMode());
    Grid->HideInplaceEdit();

    int MouseEvents = 0;
    Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++MouseEvents; };
    Grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { ++MouseEvents; };
    Grid->SetOptions(Grid->GetOptions() - TGridOptions { goEditing });
    Grid->ClickCell(5, 6, true);
    EXPECT_EQ(Focus(), TPoint(5, 6));
    EXPECT_EQ(MouseEvents, 0);
    EXPECT_TRUE(Grid->OnMouseDown != nullptr);
}

// AppendOnArrowDown adds one row per Down on the last normal row; a
// refusing OnCanAddRow leaves the grid as it is; a visible floating footer
// stays the last row.
TEST_F(KeyGrid, AppendOnArrowDownAddsOneRowPerDown)
{
    Grid->GetNavigation()->SetAppendOnArrowDown(true);
    At(2, 18);
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetRowCount(), 20);
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetRowCount(), 21);
    EXPECT_EQ(Focus(), TPoint(2, 20));
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetRowCount(), 22);
    EXPECT_EQ(Focus(), TPoint(2, 21));

    bool Refuse = true;
    Grid->OnCanAddRow = [&](TObject*, bool& CanAdd) { CanAdd = !Refuse; };
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetRowCount(), 22);
    EXPECT_EQ(Focus(), TPoint(2, 21));

    Refuse = false;
    Grid->GetFloatingFooter()->SetVisible(true);
    const int Count = Grid->GetRowCount();
    Grid->SetCells(2, Count - 1, u"footer");
    At(2, Count - 2);
    Press(VK_DOWN);
    EXPECT_EQ(Grid->GetRowCount(), Count + 1);
    EXPECT_EQ(Focus(), TPoint(2, Count - 1));
    EXPECT_EQ(Grid->GetCells(2, Count), u"footer");
    EXPECT_EQ(Grid->GetCells(2, Count - 1), u"");
}

// A grid that records the filter editor it is asked to open.
struct FilterEditGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    std::vector<TPoint> Opened;
    void StartFixedCellEdit(int ACol, int ARow, bool AsFilter) override
    {
        if (AsFilter)
            Opened.push_back(TPoint(ACol, ARow));
    }
};

// NextEdit in the filter row opens the filter editor of the next or the
// previous column (from column 0 backwards: the last one); elsewhere it
// advances to the next cell.
TEST_F(KeyGrid, NextEditWalksTheFilterRowOrAdvances)
{
    auto* G = new FilterEditGrid(Form.get());
    G->SetParent(Form.get());
    G->SetBounds(10, 320, 400, 150);
    G->SetColCount(5);
    G->SetRowCount(6);
    G->GetFilterEdit()->SetEnabled(true);
    G->GetFilterEdit()->SetRow(0);
    G->NextEdit(1, 0, true);
    G->NextEdit(2, 0, false);
    G->NextEdit(0, 0, false);
    G->NextEdit(4, 0, true); // the last column: no filter editor after it
    EXPECT_EQ(G->Opened, (std::vector<TPoint> { { 2, 0 }, { 1, 0 }, { 4, 0 } }));
    G->FocusCell(2, 3);
    G->NextEdit(2, 3, true);
    EXPECT_EQ(TPoint(G->GetCol(), G->GetRow()), TPoint(3, 3));
}

// Under RangeSelectAndEdit, Enter on a cell that may not be edited is used
// up without a move; on an editable cell its release opens the editor.
TEST_F(KeyGrid, RangeSelectAndEditEnter)
{
    Grid->GetMouseActions()->SetRangeSelectAndEdit(true);
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 2; };
    At(2, 3);
    Press(VK_RETURN);
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_FALSE(Grid->GetOptions().Contains(goEditing));
    At(3, 3);
    Press(VK_F2);
    EXPECT_TRUE(Grid->GetOptions().Contains(goEditing));
    EXPECT_TRUE(Grid->GetEditorMode());
}

} // namespace
