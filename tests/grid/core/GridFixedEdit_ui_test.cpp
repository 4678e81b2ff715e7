// Header cells and the filter edit row edited in place, the transparent
// editors' validation, the form controls of mini-HTML cell text and
// anchors, headless through the window's message path.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridFilter.h"
#include "grid/core/GridTransEdit.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

namespace {

// A shown grid of 6 columns and 20 rows, two fixed columns and one fixed
// row, with an edit beside it to take the focus.
struct FixedEditGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    TEdit* Other = nullptr;
    std::vector<String> Opened;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 700, 500);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 500, 300);
        Grid->SetColCount(6);
        Grid->SetRowCount(20);
        Grid->SetFixedCols(2);
        for (int c = 0; c < 6; ++c)
            Grid->SetCells(c, 0, u"H" + IntToStr(c));
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(520, 10, 100, 24);
        Form->Show();
        Grid->SetFocus();
        Headless::PumpUntilIdle();
        TDedOzovedUrad::AnchorShellOpen = [this](const String& Link) { Opened.push_back(Link); };
    }
    void TearDown() override
    {
        TDedOzovedUrad::AnchorShellOpen = [](const String&) { };
    }
    void Type(const String& Text)
    {
        Headless::Type(Text);
        Headless::PumpUntilIdle();
    }
    void Key(WORD VK, bool Shift = false, bool Ctrl = false)
    {
        Headless::Key(VK, Shift, Ctrl);
        Headless::PumpUntilIdle();
    }
    TGridTransEdit* Edit() { return Grid->GetFixedEdit(); }
    TGridTransCombo* Combo() { return Grid->GetFixedComboBox(); }
};

// ---- fixed cells ----

TEST_F(FixedEditGrid, FixedColsEditorServesColumnZeroOnly)
{
    Grid->GetMouseActions()->SetFixedColsEditor(fceComboList);
    Grid->GetMouseActions()->SetFixedRowsEditor(fceEdit);
    struct Case {
        int Col, Row;
        bool ComboOpen;
    };
    const Case Cases[] = { { 0, 3, true }, { 1, 3, false }, { 3, 0, false }, { 0, 0, true } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::to_string(C.Col) + "," + std::to_string(C.Row));
        Grid->EditFixedCell(C.Col, C.Row, false);
        Headless::PumpUntilIdle();
        EXPECT_EQ(Combo()->GetVisible(), C.ComboOpen);
        EXPECT_EQ(Edit()->GetVisible(), !C.ComboOpen);
        EXPECT_EQ(Grid->GetFixedColEdit(), C.Col);
        Grid->StopFixedCellEdit();
        EXPECT_FALSE(Combo()->GetVisible());
        EXPECT_FALSE(Edit()->GetVisible());
    }
}

TEST_F(FixedEditGrid, EditingAHeaderStoresTheTextAndReportsChanges)
{
    std::vector<String> Changes;
    int Done = 0;
    TObject* DoneSender = nullptr;
    Grid->OnEditChange = [&](TObject*, int ACol, int ARow, const String& Value) {
        EXPECT_EQ(ACol, 3);
        EXPECT_EQ(ARow, 0);
        Changes.push_back(Value);
    };
    Grid->OnEditCellDone = [&](TObject* Sender, int, int) {
        ++Done;
        DoneSender = Sender;
    };
    Grid->EditFixedCell(3, 0, false);
    Headless::PumpUntilIdle();
    ASSERT_TRUE(Edit()->GetVisible());
    EXPECT_TRUE(Edit()->Focused());
    EXPECT_EQ(Edit()->GetText(), u"H3");
    const TRect R = Grid->CellRect(3, 0);
    EXPECT_EQ(Edit()->GetLeft(), R.Left + 1);
    EXPECT_EQ(Edit()->GetTop(), R.Top + 3);
    EXPECT_EQ(Edit()->GetWidth(), R.Width() - 2);
    Edit()->SelectAll();
    Type(u"Price");
    EXPECT_FALSE(Changes.empty());
    EXPECT_EQ(Changes.back(), u"Price");
    Key(VK_RETURN);
    EXPECT_FALSE(Edit()->GetVisible());
    EXPECT_EQ(Grid->GetCells(3, 0), u"Price");
    EXPECT_EQ(Done, 1);
    EXPECT_EQ(DoneSender, Edit());
}

TEST_F(FixedEditGrid, ComboListWithoutTheCellTextSelectsNothing)
{
    Grid->GetMouseActions()->SetFixedRowsEditor(fceComboList);
    Grid->GetMouseActions()->GetFixedComboValues()->Add(u"Alpha");
    Grid->GetMouseActions()->GetFixedComboValues()->Add(u"H4");
    Grid->EditFixedCell(3, 0, false);
    EXPECT_TRUE(Combo()->GetVisible());
    EXPECT_EQ(Combo()->GetStyle(), csDropDownList);
    EXPECT_EQ(Combo()->GetItemIndex(), -1);
    Grid->StopFixedCellEdit();
    Grid->EditFixedCell(4, 0, false);
    EXPECT_EQ(Combo()->GetItemIndex(), 1);

    int Index = 7;
    String Selection = u"x";
    Grid->OnComboChange = [&](TObject*, int, int, int I, const String& S) {
        Index = I;
        Selection = S;
    };
    Combo()->SetItemIndex(-1);
    Combo()->OnSelect(Combo());
    EXPECT_EQ(Index, -1);
    EXPECT_EQ(Selection, u"");
    Combo()->SetItemIndex(0);
    Combo()->OnSelect(Combo());
    EXPECT_EQ(Index, 0);
    EXPECT_EQ(Selection, u"Alpha");
}

TEST_F(FixedEditGrid, ReturnInTheComboEndsNothing)
{
    Grid->GetMouseActions()->SetFixedRowsEditor(fceComboEdit);
    Grid->EditFixedCell(3, 0, false);
    Headless::PumpUntilIdle();
    ASSERT_TRUE(Combo()->GetVisible());
    EXPECT_EQ(Combo()->GetStyle(), csDropDown);
    EXPECT_EQ(Combo()->GetText(), u"H3");
    Key(VK_RETURN);
    EXPECT_TRUE(Combo()->GetVisible());
    EXPECT_EQ(Combo()->GetText(), u"H3");
    Grid->SetFocus();
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Combo()->GetVisible());
}

TEST_F(FixedEditGrid, FilterEditRowLeavesTheTypeButtonAndAppliesTheFilter)
{
    Grid->GetFilterEdit()->SetColor(TColor(0x00CCFFEE));
    Grid->GetFilterEdit()->SetEnabled(true);
    int Done = 0;
    Grid->OnEditCellDone = [&](TObject*, int, int) { ++Done; };
    Grid->EditFixedCell(3, 0, true);
    Headless::PumpUntilIdle();
    ASSERT_TRUE(Edit()->GetVisible());
    EXPECT_TRUE(Edit()->GetFilterEdit());
    const TRect R = Grid->CellRect(3, 0);
    EXPECT_EQ(Edit()->GetLeft(), R.Left + 1 + 19);
    EXPECT_EQ(Edit()->GetColor(), TColor(0x00CCFFEE));
    Edit()->SetText(u"pear");
    EXPECT_TRUE(Edit()->StopEdit());
    EXPECT_FALSE(Edit()->GetVisible());
    EXPECT_EQ(Done, 0);
    EXPECT_EQ(Grid->GetCells(3, 0), u"pear");
    ASSERT_TRUE(Grid->GetFilter()->HasFilter(3));
    TFilterData* Condition = Grid->GetFilter()->GetColFilter(3);
    EXPECT_TRUE(Condition->GetEnabled());
    EXPECT_NE(Condition->GetCondition().find(u"pear"), String::npos);
    // The condition keeps its own filter type.
    EXPECT_EQ(Condition->GetFilterType(), ftContains);
}

TEST_F(FixedEditGrid, ValidationCanChangeOrRefuseTheText)
{
    Grid->OnCellValidate = [](TObject*, int, int, String& Value, bool& Valid) {
        if (Value == u"bad")
            Valid = false;
        else
            Value = u"[" + Value + u"]";
    };
    Grid->EditFixedCell(4, 0, false);
    Edit()->SetText(u"bad");
    Grid->StopFixedCellEdit();
    EXPECT_TRUE(Edit()->GetVisible());
    EXPECT_TRUE(Edit()->Focused());
    EXPECT_FALSE(Edit()->BalloonShowing());
    EXPECT_EQ(Grid->GetCells(4, 0), u"H4");

    Grid->SetInvalidEntryText(u"Not allowed");
    EXPECT_FALSE(Edit()->StopEdit());
    EXPECT_TRUE(Edit()->BalloonShowing());
    EXPECT_EQ(Edit()->GetBalloonText(), u"Not allowed");

    Edit()->SetText(u"ok");
    Grid->SetFocus(); // focus leaving ends the edit
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Edit()->GetVisible());
    EXPECT_EQ(Grid->GetCells(4, 0), u"[ok]");
}

TEST_F(FixedEditGrid, ComboBalloonFollowsItsStyle)
{
    Grid->OnCellValidate = [](TObject*, int, int, String&, bool& Valid) { Valid = false; };
    Grid->SetInvalidEntryTitle(u"Title");
    Grid->GetMouseActions()->SetFixedRowsEditor(fceComboList);
    Grid->GetMouseActions()->GetFixedComboValues()->Add(u"A");
    Grid->EditFixedCell(3, 0, false);
    EXPECT_FALSE(Combo()->StopEdit());
    EXPECT_TRUE(Combo()->GetVisible());
    EXPECT_EQ(Grid->GetCells(3, 0), u"H3");
}

TEST_F(FixedEditGrid, DropDownWidthFitsTheItems)
{
    const String Item = u"A rather long item text";
    Grid->GetCanvas()->GetFont()->Assign(Grid->GetFont());
    const int X = Grid->GetCanvas()->TextWidth(Item);
    struct Case {
        int Width, Items, Expected;
    };
    const Case Cases[] = { { X - 10, 3, X + 8 }, { X - 10, 10, X + 25 }, { X + 50, 10, X + 50 } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Items);
        Combo()->GetItems()->Clear();
        for (int i = 0; i < C.Items; ++i)
            Combo()->GetItems()->Add(Item);
        Combo()->SetDropDownCount(8);
        Combo()->SetWidth(C.Width);
        Combo()->SizeDropDownWidth();
        EXPECT_EQ(Combo()->GetDropWidth(), C.Expected);
    }
}

TEST_F(FixedEditGrid, RefusedByCanEditOrTheCheckAllColumnOpensNothing)
{
    Grid->OnCanEditCell = [](TObject*, int, int ACol, bool& CanEdit) { CanEdit = ACol != 4; };
    Grid->EditFixedCell(4, 0, false);
    EXPECT_FALSE(Edit()->GetVisible());
    Grid->GetMouseActions()->SetHotmailRowSelect(true);
    Grid->EditFixedCell(0, 2, false);
    EXPECT_FALSE(Edit()->GetVisible());
    EXPECT_FALSE(Combo()->GetVisible());
}

TEST_F(FixedEditGrid, RetEditReportsReturnWithoutALineBreak)
{
    auto* R = new TRetEdit(Form.get());
    R->SetParent(Form.get());
    R->SetBounds(520, 60, 100, 24);
    int Returns = 0, CtrlReturns = 0;
    R->SetFocus();
    Headless::PumpUntilIdle();
    Type(u"ab");
    Key(VK_RETURN); // no handlers: nothing happens
    R->OnReturn = [&](TObject*) { ++Returns; };
    R->OnCtrlReturn = [&](TObject*) { ++CtrlReturns; };
    Key(VK_RETURN);
    Key(VK_RETURN, false, true);
    EXPECT_EQ(Returns, 1);
    EXPECT_EQ(CtrlReturns, 1);
    EXPECT_EQ(R->GetText(), u"ab");
}

// ---- form controls ----

struct FormGrid : FixedEditGrid {
    std::vector<String> Done;
    void SetUp() override
    {
        FixedEditGrid::SetUp();
        Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
        Grid->SetColWidths(3, 200);
        Grid->SetRowHeights(2, 40);
        Grid->OnControlEditDone = [this](TObject*, int, int, const String& ID, const String&, const String& V) {
            Done.push_back(ID + u"=" + V);
        };
    }
    TRect ControlRect() { return Grid->CellRect(3, 2); }
    void Click(const String& ID, const String& Type, const String& Value)
    {
        Grid->AnchorControlClick(3, 2, String(), ID, Type, Value, ControlRect());
        Headless::PumpUntilIdle();
    }
};

TEST_F(FormGrid, CheckAndRadioValuesToggle)
{
    struct Case {
        String Before, After;
    };
    const Case Cases[] = { { u"TRUE", u"FALSE" }, { u"FALSE", u"TRUE" }, { u"maybe", u"TRUE" } };
    for (const Case& C : Cases) {
        Grid->SetCells(3, 2, u"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"" + C.Before + u"\">");
        Click(u"c", u"CHECK", C.Before);
        EXPECT_EQ(Grid->GetControlValues(3, 2, u"c"), C.After);
    }
    Grid->SetCells(3, 2,
        u"<CONTROL TYPE=\"RADIO\" ID=\"r1\" VALUE=\"TRUE\"><CONTROL TYPE=\"RADIO\" ID=\"r2\" VALUE=\"FALSE\">"
        u"<CONTROL TYPE=\"RADIO\" ID=\"r3\" VALUE=\"TRUE\">");
    Click(u"r2", u"RADIO", u"FALSE");
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"r1"), u"FALSE");
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"r2"), u"TRUE");
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"r3"), u"FALSE");

    // Not editable: nothing changes.
    Grid->SetCells(3, 2, u"<CONTROL TYPE=\"CHECK\" ID=\"c\" VALUE=\"TRUE\">");
    Grid->OnCanEditCell = [](TObject*, int, int, bool& CanEdit) { CanEdit = false; };
    Click(u"c", u"CHECK", u"TRUE");
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"c"), u"TRUE");
    Grid->OnCanEditCell = nullptr;
    Grid->SetOptions(Grid->GetOptions() - TGridOptions { goEditing });
    Click(u"c", u"CHECK", u"TRUE");
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"c"), u"TRUE");
}

TEST_F(FormGrid, EditKindsOpenTheirEditorAndReturnStoresTheValue)
{
    struct Case {
        String Type;
        Char Password;
        String Mask;
    };
    const Case Cases[] = { { u"EDIT", 0, String() }, { u"PASSWORD", u'*', String() }, { u"MASK", 0, u"000;1;_" } };
    for (const Case& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Type));
        Done.clear();
        Grid->SetCells(3, 2,
            u"Name <CONTROL TYPE=\"" + C.Type + u"\" ID=\"e\" VALUE=\"\" WIDTH=\"80\" MAXLEN=\"6\" PROP=\"" + C.Mask
                + u"\">");
        Click(u"e", C.Type, String());
        TControlEdit* E = Grid->GetFormControlEdit();
        ASSERT_TRUE(E->GetVisible());
        EXPECT_TRUE(E->Focused());
        EXPECT_TRUE(Grid->GetCtrlEditing());
        EXPECT_EQ(E->GetPasswordChar(), C.Password);
        EXPECT_EQ(E->GetEditMask(), C.Mask);
        EXPECT_EQ(E->GetMaxLength(), 6);
        EXPECT_EQ(E->GetBorderStyle(), bsNone);
        EXPECT_EQ(E->GetTop(), ControlRect().Top + 8);
        Type(u"123");
        Key(VK_RETURN);
        EXPECT_FALSE(E->GetVisible());
        EXPECT_FALSE(Grid->GetCtrlEditing());
        EXPECT_TRUE(Grid->Focused());
        EXPECT_EQ(Grid->GetControlValues(3, 2, u"e"), u"123");
        ASSERT_EQ(Done.size(), 1u);
        EXPECT_EQ(Done[0], u"e=123");
        EXPECT_EQ(Grid->GetCtrlType(), u"");
    }
}

TEST_F(FormGrid, TabGoesToTheNextControlOrTheNextCell)
{
    Grid->SetCells(3, 2,
        u"<CONTROL TYPE=\"EDIT\" ID=\"a\" VALUE=\"\" WIDTH=\"60\"><CONTROL TYPE=\"CHECK\" ID=\"k\" VALUE=\"TRUE\">"
        u"<CONTROL TYPE=\"EDIT\" ID=\"b\" VALUE=\"\" WIDTH=\"60\">");
    Grid->SetCol(3);
    Grid->SetRow(2);
    Click(u"a", u"EDIT", String());
    Type(u"x");
    Key(VK_TAB);
    EXPECT_TRUE(Grid->GetCtrlEditing());
    EXPECT_EQ(Grid->GetCtrlID(), u"b");
    EXPECT_TRUE(Grid->GetFormControlEdit()->Focused());
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"a"), u"x");
    // The last control: the grid takes the focus.
    Key(VK_TAB);
    EXPECT_FALSE(Grid->GetCtrlEditing());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->GetCol(), 3);

    Grid->GetNavigation()->SetAdvanceAuto(true);
    Click(u"a", u"EDIT", u"x");
    Key(VK_TAB);
    EXPECT_FALSE(Grid->GetCtrlEditing());
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->GetCol(), 4);
}

TEST_F(FormGrid, ComboOpensAnEditableListOfEightByDefault)
{
    Grid->SetCells(3, 2, u"<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"now\" WIDTH=\"80\">");
    Click(u"k", u"COMBO", u"now");
    TControlCombo* C = Grid->GetFormControlCombo();
    ASSERT_TRUE(C->GetVisible());
    EXPECT_EQ(C->GetStyle(), csDropDown);
    EXPECT_EQ(C->GetDropDownCount(), 8);
    EXPECT_EQ(C->GetItems()->GetCount(), 0);
    EXPECT_EQ(C->GetText(), u"now");
    EXPECT_TRUE(C->GetDroppedDown());
    Type(u"!");
    Key(VK_RETURN);
    EXPECT_FALSE(Grid->GetCtrlEditing());
    EXPECT_FALSE(C->GetVisible());
    EXPECT_TRUE(Grid->Focused());
    // The value opened selected, so the typed text replaced it.
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"k"), u"!");

    String Selected;
    Grid->OnControlComboList = [](TObject*, int, int, const String&, const String&, const String&, TStrings* Values,
                                   bool& Edit, int& DropCount) {
        Values->Add(u"one");
        Values->Add(u"two");
        Edit = false;
        DropCount = 4;
    };
    Grid->OnControlComboSelect = [&](TObject*, int, int, int, const String&, const String& V) { Selected = V; };
    Grid->SetCells(3, 2, u"<CONTROL TYPE=\"COMBO\" ID=\"k\" VALUE=\"two\" WIDTH=\"80\">");
    Click(u"k", u"COMBO", u"two");
    EXPECT_EQ(C->GetStyle(), csDropDownList);
    EXPECT_EQ(C->GetDropDownCount(), 4);
    EXPECT_EQ(C->GetItemIndex(), 1);
    C->SetItemIndex(0);
    C->OnSelect(C);
    EXPECT_EQ(Selected, u"one");
    Grid->StopFormControlEdit();
    EXPECT_EQ(Grid->GetControlValues(3, 2, u"k"), u"one");
    EXPECT_FALSE(C->GetVisible());
}

// ---- anchors ----

TEST_F(FixedEditGrid, CellAnchorsJumpInAnyCaseAndOnlyWebLinksOpen)
{
    struct Case {
        String Anchor;
        bool Opens;
    };
    const Case Cases[] = {
        { u"http://example.com/a", true },
        { u"HTTPS://example.com", true },
        { u"mailto:someone@example.com", true },
        { u"file:///etc/passwd", false },
        { u"javascript:alert(1)", false },
        { u"/usr/bin/xterm", false },
        { u"calc.exe", false },
        { u"see CELL://R1C1", false },
        { u"cell://nonsense", false },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(StringToUtf8(C.Anchor));
        Opened.clear();
        Grid->AnchorControlClick(3, 2, C.Anchor, String(), String(), String(), TRect());
        EXPECT_TRUE(Grid->GetAnchorClick());
        EXPECT_EQ(Opened.size(), C.Opens ? 1u : 0u);
        if (C.Opens)
            EXPECT_EQ(Opened[0], C.Anchor);
    }

    Grid->SetRowCount(200);
    for (const String Anchor : { u"cell://R150C4", u"CELL://R5C2", u"Cell://r120c3" }) {
        SCOPED_TRACE(StringToUtf8(Anchor));
        Grid->SetRow(1);
        Grid->SetCol(2);
        Grid->SetTopRow(1);
        Grid->AnchorControlClick(3, 2, Anchor, String(), String(), String(), TRect());
        EXPECT_TRUE(Opened.empty());
        const int Row = Anchor == u"CELL://R5C2" ? 5 : Anchor == u"cell://R150C4" ? 150 : 120;
        EXPECT_EQ(Grid->GetRow(), Row);
        EXPECT_EQ(Grid->GetCol(), Anchor == u"CELL://R5C2" ? 2 : Anchor == u"cell://R150C4" ? 4 : 3);
        EXPECT_LE(Grid->GetTopRow(), Row);
        EXPECT_GE(Grid->GetTopRow() + Grid->GetVisibleRowCount(), Row + 1);
        if (Row > 100)
            EXPECT_GT(Grid->GetTopRow(), 1);
    }
}

TEST_F(FixedEditGrid, AnAnchorHandlerCanKeepTheLinkClosed)
{
    String Seen;
    Grid->OnAnchorClick = [&](TObject*, int ARow, int ACol, const String& Anchor, bool& AutoHandle) {
        EXPECT_EQ(ARow, 2);
        EXPECT_EQ(ACol, 3);
        Seen = Anchor;
        AutoHandle = false;
    };
    Grid->SetRow(1);
    Grid->AnchorControlClick(3, 2, u"https://example.com", String(), String(), String(), TRect());
    Grid->AnchorControlClick(3, 2, u"cell://R5C2", String(), String(), String(), TRect());
    EXPECT_EQ(Seen, u"cell://R5C2");
    EXPECT_TRUE(Opened.empty());
    EXPECT_EQ(Grid->GetRow(), 1);
}

} // namespace
