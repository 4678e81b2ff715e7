// The grid's typed cell editors, headless, with keys typed through the same
// message path as real input: how each commits, leaves by Tab, Enter or
// focus, the spin's page keys, the combo's completion, wheel and arrows,
// the check box and button, the edit-button rules, the unit editor, the
// date picker's field advance, and the date-and-time editor's rules over a
// picker double.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridTypedEditors.h"
#include "grid/core/LumInplaceEdit.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

std::string U8(const String& S) { return StringToUtf8(S); }

// A grid of 5 x 10 cells with editing on, on a shown form with an edit
// beside it; every cell's editor kind is Kind.
struct TypedEditors : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    TEdit* Other = nullptr;
    TEditorType Kind = edNormal;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 500, 300);
        Grid->SetColCount(5);
        Grid->SetRowCount(10);
        Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
        Grid->OnGetEditorType = [this](TObject*, int, int, TEditorType& AEditor) { AEditor = Kind; };
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(520, 10, 100, 24);
        Form->Show();
        Pump();
    }
    void TearDown() override { Form.reset(); }
    static void Pump() { Headless::PumpUntilIdle(); }
    static void Press(WORD Vk, bool Shift = false, bool Ctrl = false)
    {
        Headless::Key(Vk, Shift, Ctrl);
        Pump();
    }
    static void TypeText(const String& Text)
    {
        Headless::Type(Text);
        Pump();
    }
    size_t Beeps() { return Session.Backend().GetBeeps().size(); }
    std::string Cell(int c, int r) { return U8(Grid->GetCells(c, r)); }

    // Opens the editor of AKind on (c, r) holding Text.
    TWinControl* Open(TEditorType AKind, int c, int r, const String& Text)
    {
        Kind = AKind;
        Grid->SetCells(c, r, Text);
        Grid->MoveColRow(c, r + 1, true, true);
        Grid->MoveColRow(c, r, true, true);
        Grid->SetFocus();
        Pump();
        Grid->ShowInplaceEdit();
        Pump();
        switch (AKind) {
        case edSpinEdit: case edFloatSpinEdit: return Grid->GetSpinEdit();
        case edComboEdit: case edComboList: return Grid->GetCombobox();
        case edCheckBox: return Grid->GetCheckEditor();
        case edButton: return Grid->GetGridButtonEditor();
        case edEditBtn: case edNumericEditBtn: case edFloatEditBtn: return Grid->GetEditBtnEditor();
        case edUnitEditBtn: return Grid->GetUnitEditBtnEditor();
        case edDateEdit: case edTimeEdit: return Grid->GetDateTimePicker();
        default: return nullptr;
        }
    }
};

} // namespace

// ---- the rules every editor shares ----

TEST_F(TypedEditors, EachEditorCommitsOnEnterTabAndFocusLoss)
{
    LocaleGuard Locale { LocaleGuard::DotDecimal };
    struct Case {
        TEditorType Kind;
        String Start;
        std::function<void(TWinControl*)> Change;
        const char* Stored;
        bool TabMoves;  // Tab under goTabs stores and moves to the next column
    };
    const Case Cases[] = {
        { edSpinEdit, u"5", [](TWinControl* C) { static_cast<TGridSpin*>(C)->SetValue(7); }, "7", true },
        { edComboEdit, u"a", [](TWinControl* C) { static_cast<TGridCombo*>(C)->SetText(u"beta"); }, "beta", true },
        { edComboList, u"alpha", [](TWinControl* C) { static_cast<TGridCombo*>(C)->SetItemIndex(2); }, "gamma", true },
        { edCheckBox, u"N", [](TWinControl* C) { static_cast<TGridCheckBox*>(C)->SetChecked(true); }, "Y", false },
        { edEditBtn, u"x", [](TWinControl* C) { C->SetText(u"typed"); }, "typed", true },
        { edUnitEditBtn, u"3 kg", [](TWinControl* C) { C->SetText(u"4"); }, "4kg", true },
        { edDateEdit, u"", [](TWinControl* C) { static_cast<TGridDatePicker*>(C)->SetDate(EncodeDate(2024, 2, 29)); },
            nullptr, true },
    };
    const std::string DateText = U8(DateToStr(EncodeDate(2024, 2, 29)));
    for (const String& Item : { u"alpha", u"beta", u"gamma" })
        Grid->AddComboString(Item);
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Kind));
        const std::string Want = C.Stored ? C.Stored : DateText;
        if (C.Kind == edUnitEditBtn) {
            auto* Unit = static_cast<TGridUnitEditBtn*>(Grid->GetUnitEditBtnEditor());
            TStringList Units;
            Units.Add(u"kg");
            Units.Add(u"g");
            Unit->SetUnits(&Units);
        }
        // Enter commits and ends the edit.
        TWinControl* E = Open(C.Kind, 1, 1, C.Start);
        ASSERT_NE(E, nullptr);
        ASSERT_TRUE(E->GetVisible());
        ASSERT_TRUE(Grid->EditMode);
        C.Change(E);
        Press(VK_RETURN);
        Pump();
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_FALSE(E->GetVisible());
        EXPECT_EQ(Cell(1, 1), Want);

        // Leaving by the focus stores as well.
        E = Open(C.Kind, 1, 2, C.Start);
        C.Change(E);
        Other->SetFocus();
        Pump();
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_EQ(Cell(1, 2), Want);

        // Tab under goTabs: stored, and the focus goes on to the next column.
        if (C.TabMoves) {
            Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
            E = Open(C.Kind, 1, 3, C.Start);
            C.Change(E);
            Press(VK_TAB);
            Pump();
            EXPECT_EQ(Cell(1, 3), Want);
            EXPECT_EQ(Grid->GetCol(), 2);
            EXPECT_EQ(Grid->GetRow(), 3);
            Grid->HideInplaceEdit();
            Grid->SetOptions(Grid->GetOptions() - TGridOptions { goTabs });
        }
    }
}

TEST_F(TypedEditors, ARefusedCommitKeepsTheEditorOpenWithTheValidatedText)
{
    Grid->OnCellValidate = [](TObject*, int, int, String& Value, bool& Valid) {
        Valid = Value != u"bad";
    };
    TWinControl* E = Open(edEditBtn, 1, 1, u"good");
    E->SetText(u"bad");
    Press(VK_RETURN);
    Pump();
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_TRUE(E->GetVisible());
    EXPECT_TRUE(Grid->GetNoAutoAdvance());
    Grid->HideInplaceEdit();
}

// ---- spin ----

TEST_F(TypedEditors, SpinPageKeysStepWithinLimitsAndReportTheDirection)
{
    std::vector<std::pair<int, bool>> Clicks;
    Grid->OnSpinClick = [&](TObject*, int, int, int Value, bool Up) { Clicks.emplace_back(Value, Up); };
    auto* Spin = static_cast<TGridSpin*>(Open(edSpinEdit, 1, 1, u"100"));
    ASSERT_NE(Spin, nullptr);
    EXPECT_EQ(Spin->GetValue(), 100);
    Press(VK_PRIOR);
    EXPECT_EQ(Spin->GetValue(), 100);
    Press(VK_NEXT);
    EXPECT_EQ(Spin->GetValue(), 99);
    Press(VK_HOME);
    EXPECT_EQ(Spin->GetValue(), 100);
    const std::vector<std::pair<int, bool>> Want { { 100, true }, { 99, false }, { 100, true } };
    EXPECT_EQ(Clicks, Want);

    // Esc brings back the text the edit began with, and that is stored.
    Press(VK_NEXT);
    Press(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Cell(1, 1), "100");
}

// Equal limits are no limits: the page keys step freely and Home and End
// keep the value.
TEST_F(TypedEditors, SpinWithEqualLimitsHasNoLimit)
{
    auto* Spin = static_cast<TGridSpin*>(Grid->GetSpinEdit());
    Spin->SetMinValue(0);
    Spin->SetMaxValue(0);
    Open(edSpinEdit, 1, 1, u"5");
    EXPECT_EQ(Spin->GetValue(), 5);
    Press(VK_PRIOR);
    EXPECT_EQ(Spin->GetValue(), 6);
    Press(VK_HOME);
    EXPECT_EQ(Spin->GetValue(), 6);
    Press(VK_END);
    EXPECT_EQ(Spin->GetValue(), 6);
    Press(VK_NEXT);
    Press(VK_NEXT);
    EXPECT_EQ(Spin->GetValue(), 4);
    Grid->HideInplaceEdit();
    EXPECT_EQ(Cell(1, 1), "4");
}

TEST_F(TypedEditors, SpinWithAllowEmptyValueStoresAnEmptyCell)
{
    auto* Spin = static_cast<TGridSpin*>(Grid->GetSpinEdit());
    Spin->SetAllowEmptyValue(true);
    Open(edSpinEdit, 1, 1, u"5");
    Spin->SetText(u" ");
    Grid->HideInplaceEdit();
    EXPECT_EQ(Cell(1, 1), "");
}

// ---- combo ----

TEST_F(TypedEditors, ComboCompletesFromItsItemsUntilBackspace)
{
    Grid->SetLookup(true);
    for (const String& Item : { u"Boston", u"New York", u"Newark" })
        Grid->AddComboString(Item);
    auto* Combo = static_cast<TGridCombo*>(Open(edComboEdit, 1, 1, u""));
    ASSERT_NE(Combo, nullptr);
    ASSERT_NE(Combo->GetEditControl(), nullptr);
    TypeText(u"ne");
    Pump();
    EXPECT_EQ(U8(Combo->GetText()), "new York");
    EXPECT_EQ(Combo->GetItemIndex(), 1);
    EXPECT_EQ(Combo->GetEditControl()->GetSelStart(), 2);
    EXPECT_EQ(U8(Combo->GetEditControl()->GetSelText()), "w York");
    // Backspace removes the completed tail and completes nothing.
    Press(VK_BACK);
    Pump();
    EXPECT_EQ(U8(Combo->GetText()), "ne");
    Press(VK_RETURN);
    Pump();
    EXPECT_EQ(Cell(1, 1), "ne");
}

// A long item is completed whole.
TEST_F(TypedEditors, ComboCompletionKeepsALongItemWhole)
{
    Grid->SetLookup(true);
    const String Long = u"x" + String(300, u'y');
    Grid->AddComboString(Long);
    auto* Combo = static_cast<TGridCombo*>(Open(edComboEdit, 1, 1, u""));
    TypeText(u"x");
    Pump();
    EXPECT_EQ(Combo->GetText(), Long);
    Grid->HideInplaceEdit();
}

TEST_F(TypedEditors, ComboWheelStopsAtTheLastItemWithoutEvents)
{
    for (const String& Item : { u"one", u"two" })
        Grid->AddComboString(Item);
    std::vector<int> Changes;
    Grid->OnComboChange = [&](TObject*, int, int, int Index, const String&) { Changes.push_back(Index); };
    auto* Combo = static_cast<TGridCombo*>(Open(edComboList, 1, 1, u"one"));
    ASSERT_EQ(Combo->GetItemIndex(), 0);
    Combo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0);
    EXPECT_EQ(Combo->GetItemIndex(), 1);
    Combo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(-120)), 0);
    EXPECT_EQ(Combo->GetItemIndex(), 1);
    Combo->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(120)), 0);
    EXPECT_EQ(Combo->GetItemIndex(), 0);
    EXPECT_EQ(Changes, (std::vector<int> { 1, 0 }));
    Grid->HideInplaceEdit();
}

TEST_F(TypedEditors, ComboUpWithoutComboGetUpDownMovesTheFocusOnce)
{
    Grid->GetNavigation()->SetComboGetUpDown(false);
    Grid->AddComboString(u"one");
    Open(edComboEdit, 1, 4, u"one");
    Press(VK_UP);
    Pump();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Grid->GetRow(), 3);
    EXPECT_EQ(Cell(1, 4), "one");
}

TEST_F(TypedEditors, ComboSizesItsDropDownToTheWidestItem)
{
    Grid->AddComboString(u"a");
    Grid->AddComboString(u"a much longer item than the cell is wide");
    Grid->AddComboString(u"b");
    auto* Combo = static_cast<TGridCombo*>(Open(edComboList, 1, 1, u"a"));
    const int TW = Grid->GetCanvas()->TextWidth(u"a much longer item than the cell is wide");
    ASSERT_GT(TW, Combo->GetWidth() - 5);
    Combo->SizeDropDownWidth();
    EXPECT_EQ(Combo->GetDroppedWidth(), TW + 8);
    Grid->HideInplaceEdit();
}

// ---- check box and button ----

TEST_F(TypedEditors, CheckBoxSpaceTogglesAndLeftEndsTheEditInPlace)
{
    auto* Box = static_cast<TGridCheckBox*>(Open(edCheckBox, 2, 2, u"N"));
    ASSERT_NE(Box, nullptr);
    EXPECT_FALSE(Box->GetChecked());
    Press(VK_SPACE);
    Pump();
    EXPECT_TRUE(Box->GetChecked());
    Press(VK_LEFT);
    Pump();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Cell(2, 2), "Y");
}

TEST_F(TypedEditors, ButtonReleaseTakesTheEllipsisTextAndFiresTheButtonClick)
{
    Grid->OnEllipsClick = [](TObject*, int, int, String& S) { S = S + u"!"; };
    std::vector<std::pair<int, int>> Clicked;
    Grid->OnButtonClick = [&](TObject*, int c, int r) { Clicked.emplace_back(c, r); };
    TWinControl* Button = Open(edButton, 1, 1, u"go");
    ASSERT_NE(Button, nullptr);
    EXPECT_EQ(U8(Button->GetText()), "go");
    const TPoint Centre = Button->ClientToScreen(TPoint(Button->GetWidth() / 2, Button->GetHeight() / 2));
    Headless::Click(Centre);
    Pump();
    EXPECT_EQ(U8(Button->GetText()), "go!");
    EXPECT_EQ(Cell(1, 1), "go!");
    EXPECT_EQ(Clicked, (std::vector<std::pair<int, int>> { { 1, 1 } }));
    Grid->HideInplaceEdit();
}

// ---- edit with button, unit ----

TEST_F(TypedEditors, FloatEditButtonMinusRulesAndCtrlPassesOnce)
{
    LocaleGuard Locale { LocaleGuard::DotDecimal };
    struct Case {
        const char16_t* Text;
        int Caret;
        const char* After;
        bool Beeps;
    };
    const Case Cases[] = {
        { u"12", 1, "12", true },   // "-" in the middle of a number
        { u"12", 0, "-12", false }, // at caret 0 the sign goes in front
        { u"-12", 0, "-12", true }, // one sign is enough
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(U8(C.Text));
        auto* Edit = static_cast<TGridEditBtn*>(Open(edFloatEditBtn, 1, 1, C.Text));
        Edit->SetSel(C.Caret, C.Caret);
        const size_t Before = Beeps();
        TypeText(u"-");
        Pump();
        EXPECT_EQ(U8(Edit->GetText()), C.After);
        EXPECT_EQ(Beeps() > Before, C.Beeps);
        Grid->HideInplaceEdit();
    }
    // Ctrl+H deletes one character, not two.
    auto* Edit = static_cast<TGridEditBtn*>(Open(edFloatEditBtn, 1, 1, u"123"));
    Edit->SetSel(3, 3);
    Press('H', false, true);
    Pump();
    EXPECT_EQ(U8(Edit->GetText()), "12");
    Grid->HideInplaceEdit();
}

TEST_F(TypedEditors, StopEditAfterClickClosesWithTheEllipsisValue)
{
    Grid->OnEllipsClick = [](TObject*, int, int, String& S) { S = u"chosen"; };
    auto* Edit = static_cast<TGridEditBtn*>(Grid->GetEditBtnEditor());
    Edit->SetStopEditAfterClick(true);
    Open(edEditBtn, 1, 1, u"x");
    Edit->ClickButton(Edit->GetButton());
    Pump();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Cell(1, 1), "chosen");
}

TEST_F(TypedEditors, EditButtonCompletionKeepsTheWholeLookupItem)
{
    Grid->SetLookup(true);
    const String Long = u"ab" + String(300, u'c');
    Grid->GetLookupItems()->Add(Long);
    auto* Edit = static_cast<TGridEditBtn*>(Open(edEditBtn, 1, 1, u""));
    TypeText(u"a");
    Pump();
    EXPECT_EQ(Edit->GetText(), Long);
    EXPECT_EQ(Edit->GetSelStart(), 1);
    Grid->HideInplaceEdit();
}

TEST_F(TypedEditors, UnitEditorSplitsAndJoinsTheUnitOnEnterAndTab)
{
    auto* Unit = static_cast<TGridUnitEditBtn*>(Grid->GetUnitEditBtnEditor());
    TStringList Units;
    Units.Add(u"cm");
    Units.Add(u"m");
    Unit->SetUnits(&Units);
    Open(edUnitEditBtn, 1, 1, u"12cm");
    EXPECT_EQ(U8(Unit->GetText()), "12");
    EXPECT_EQ(U8(Unit->GetUnitID()), "cm");
    Unit->SetText(u"15");
    Press(VK_RETURN);
    Pump();
    EXPECT_EQ(Cell(1, 1), "15cm");
    // Enter under AdvanceOnEnter moves on to the next cell.
    Grid->GetNavigation()->SetAdvanceOnEnter(true);
    Grid->GetNavigation()->SetAdvanceAutoEdit(false);
    Open(edUnitEditBtn, 1, 2, u"3m");
    Press(VK_RETURN);
    Pump();
    EXPECT_EQ(Cell(1, 2), "3m");
    EXPECT_NE(std::make_pair(Grid->GetCol(), Grid->GetRow()), std::make_pair(1, 2));
}

// ---- date picker ----

TEST_F(TypedEditors, DatePickerDigitsMoveOnToTheNextFieldUnlessInTheLastOne)
{
    auto* Picker = static_cast<TGridDatePicker*>(Grid->GetDateTimePicker());
    Picker->SetFormat(u"dd/MM/yyyy");
    Open(edDateEdit, 1, 1, u"");
    Picker->SetDateTime(EncodeDate(2024, 3, 15));
    ASSERT_EQ(Picker->GetFieldIndex(), 0);
    TypeText(u"2");
    TypeText(u"0");
    Pump();
    // The day changed: "DTPShiftFocus" moved the caret to the month.
    EXPECT_EQ(Picker->GetFieldIndex(), 1);
    // In the year, the last field of the format, the caret stays.
    Press(VK_RIGHT);
    Pump();
    ASSERT_EQ(Picker->GetFieldIndex(), 2);
    TypeText(u"2");
    Pump();
    EXPECT_EQ(Picker->GetFieldIndex(), 2);
    Grid->HideInplaceEdit();
}

// ---- the date-and-time editor's rules, over a picker double ----

namespace {

struct PickerDouble : IGridDateTimePicker {
    TDateTime Value = 0;
    bool TimeFocused = false;
    TDateTime PickerDateTime() override { return Value; }
    void PickerSetDateTime(TDateTime V) override { Value = V; }
    void PickerLoad(TDateTime V) override { Value = V; }
    bool PickerChecked() override { return true; }
    bool TimePartFocused() override { return TimeFocused; }
    int PickerMinimumWidth() override { return -1; }
};

} // namespace

TEST_F(TypedEditors, DateTimeEditorKeysTabOutOfTheTimePartAndEscRestores)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
    Grid->MoveColRow(1, 1, true, true);
    PickerDouble Picker;
    Picker.Value = EncodeDate(2024, 1, 2) + EncodeTime(10, 30, 0, 0);

    struct Case {
        WORD Key;
        TShiftState Shift;
        bool TimeFocused;
        bool Taken;
    };
    const Case Cases[] = {
        { VK_TAB, {}, false, false },             // date part to time part: the picker's own
        { VK_TAB, { ssShift }, true, false },     // time part back to date part
        { VK_TAB, {}, true, true },               // out of the time part: leaves the cell
        { VK_TAB, { ssShift }, false, true },     // back out of the date part
        { VK_F5, {}, false, false },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Key));
        Picker.TimeFocused = C.TimeFocused;
        WORD Key = C.Key;
        EXPECT_EQ(GridDateTimeEditing::KeyDown(Grid, Picker, Key, C.Shift), C.Taken);
        EXPECT_EQ(Key == 0, C.Taken);
        Grid->MoveColRow(1, 1, true, true);
    }
    // Tab out of the time part wrote the picker's value into the cell.
    EXPECT_EQ(Grid->GetCells(1, 1), GridDateTimeEditing::CellText(Picker.Value));
}

TEST_F(TypedEditors, DateTimeEditorEscRestoresTheWholeValueOfTheEditStart)
{
    PickerDouble Picker;
    Picker.Value = EncodeDate(2020, 5, 6) + EncodeTime(8, 0, 0, 0);
    WORD Key = VK_ESCAPE;
    // No edit ran: the start value is what the grid kept, here 0.
    EXPECT_TRUE(GridDateTimeEditing::KeyDown(Grid, Picker, Key, {}));
    EXPECT_EQ(Picker.Value, Grid->GetOriginalDateTime());
}

// ---- the text editor's part of the edit ----

TEST_F(TypedEditors, TextEditorTakesTheCellsRightAlignment)
{
    Grid->OnGetAlignment = [](TObject*, int, int ACol, TAlignment& HA, TVAlignment&) {
        HA = ACol == 2 ? taRightJustify : taLeftJustify;
    };
    Open(edNormal, 2, 1, u"12");
    ASSERT_NE(Grid->GetNormalEdit(), nullptr);
    EXPECT_TRUE(Grid->GetNormalEdit()->GetVAlign());
    Grid->HideInplaceEdit();
    Open(edNormal, 1, 1, u"12");
    EXPECT_FALSE(Grid->GetNormalEdit()->GetVAlign());
    Grid->HideInplaceEdit();
}

TEST_F(TypedEditors, TextEditorReportsFormulaEditing)
{
    struct FormulaGrid : TDedOzovedUrad {
        using TDedOzovedUrad::TDedOzovedUrad;
        std::vector<bool> Calls;
        void FormulaEditing(bool Active) override { Calls.push_back(Active); }
    };
    auto* G = new FormulaGrid(Form.get());
    G->SetParent(Form.get());
    G->SetBounds(10, 320, 300, 100);
    G->SetOptions(G->GetOptions() + TGridOptions { goEditing });
    G->SetFocus();
    Pump();
    G->ShowInplaceEdit();
    Pump();
    G->GetNormalEdit()->SetText(u"");
    G->Calls.clear();
    TypeText(u"=1");
    Press(VK_HOME);
    Press(VK_DELETE);
    Pump();
    EXPECT_EQ(G->Calls, (std::vector<bool> { true, true, false }));
}

TEST_F(TypedEditors, RefusalBalloonShowsOnTheCombosEditField)
{
    Grid->SetInvalidEntryTitle(u"Wrong");
    Grid->SetInvalidEntryText(u"Pick another");
    Grid->OnCellValidate = [](TObject*, int, int, String&, bool& Valid) { Valid = false; };
    auto* Combo = static_cast<TGridCombo*>(Open(edComboEdit, 1, 1, u"a"));
    Combo->SetText(u"b");
    Press(VK_RETURN);
    Pump();
    ASSERT_NE(Combo->GetEditControl(), nullptr);
    EXPECT_TRUE(Combo->GetEditControl()->BalloonShowing());
    EXPECT_EQ(U8(Combo->GetEditControl()->GetBalloonTitle()), "Wrong");
    Grid->OnCellValidate = nullptr;
    Grid->HideInplaceEdit();
}

TEST_F(TypedEditors, AClickThatOpensTheEditorPutsTheCaretUnderTheMouse)
{
    Grid->GetMouseActions()->SetCaretPositioning(true);
    Grid->GetMouseActions()->SetDirectEdit(true);
    Grid->GetNavigation()->SetEditSelectAll(false);
    Grid->SetColWidths(1, 200);
    Grid->SetCells(1, 1, u"abcdefghijklmnop");
    const TRect R = Grid->CellRect(1, 1);
    const int X = R.Left + 2 + Grid->GetCanvas()->TextWidth(u"abcd");
    Headless::Click(Grid->ClientToScreen(TPoint(X, (R.Top + R.Bottom) / 2)));
    Pump();
    TLumInplaceEdit* Edit = Grid->GetNormalEdit();
    ASSERT_NE(Edit, nullptr);
    ASSERT_TRUE(Edit->GetVisible());
    EXPECT_GE(Edit->GetSelStart(), 3);
    EXPECT_LE(Edit->GetSelStart(), 5);
    Grid->HideInplaceEdit();
}

// Once the grid has shown the text being typed, the spin's and the
// edit-button editor's EN_CHANGE keep the cell in step with their text.
TEST_F(TypedEditors, TheCellFollowsTheSpinAsItIsTyped)
{
    Open(edNormal, 1, 1, u"x");
    Grid->HideInplaceEdit();
    auto* Spin = static_cast<TGridSpin*>(Open(edSpinEdit, 1, 2, u"5"));
    Spin->SetSel(1, 1);
    TypeText(u"7");
    EXPECT_EQ(U8(Spin->GetText()), "57");
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Cell(1, 2), "57");
    Press(VK_ESCAPE);
    EXPECT_EQ(Cell(1, 2), "5");
}

TEST_F(TypedEditors, DatePickerEscReadsTheCellsDateBack)
{
    LocaleGuard Locale { LocaleGuard::DotDecimal };
    const String Start = DateToStr(EncodeDate(2023, 7, 1));
    auto* Picker = static_cast<TGridDatePicker*>(Open(edDateEdit, 1, 1, Start));
    EXPECT_EQ(Picker->GetDate(), EncodeDate(2023, 7, 1));
    Picker->SetDate(EncodeDate(2023, 8, 9));
    Press(VK_ESCAPE);
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Grid->GetCells(1, 1), Start);
}
