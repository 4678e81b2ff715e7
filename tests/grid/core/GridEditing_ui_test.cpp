// Editing cells in place, headless: which editor a cell gets, loading and
// storing its value, ending the edit and the messages posted on the way,
// the editor access and combo items, and validation of the edited text.

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridEditorRegistry.h"
#include "grid/core/LumInplaceEdit.h"
#include "grid/core/LumRichEdit.h"
#include "grid/core/RirEvozUndoRedo.h"
#include "grid/edit/DedOzovedUradCheck.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// Records the registered edit messages in the order the grid handles them.
struct RecordingGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    std::vector<String> Handled;
    void WndProc(TMessage& Message) override
    {
        const TGridUnitRegistrations& Unit = GridUnit();
        if (Message.Msg == Unit.WM_GRIDEDITDONE)
            Handled.push_back(u"GridEditDone");
        else if (Message.Msg == Unit.WM_GRIDEDITSHOW)
            Handled.push_back(u"GridEditShow");
        else if (Message.Msg == Unit.WM_GRIDEDITINVALID)
            Handled.push_back(u"GridEditInvalid");
        TDedOzovedUrad::WndProc(Message);
    }
};

// A grid of 5 x 10 cells "c<col>r<row>" with editing on, on a shown form,
// and an edit beside it to take the focus away.
struct EditGrid : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    RecordingGrid* Grid = nullptr;
    TEdit* Other = nullptr;
    int EditingDone = 0;
    int Validations = 0;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new RecordingGrid(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 500, 300);
        Grid->SetColCount(5);
        Grid->SetRowCount(10);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 5; ++c)
                Grid->SetCells(c, r, u"c" + IntToStr(c) + u"r" + IntToStr(r));
        Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(520, 10, 100, 24);
        Form->Show();
        Application->ProcessMessages();
        Grid->OnEditingDone = [this](TObject*) { ++EditingDone; };
    }
    void TearDown() override
    {
        for (TEditorType Kind : { edComboEdit, edCheckBox, edMemoDropDown })
            GridEditorRegistry::Unregister(Kind);
    }
    // Focus on (c, r), then the editor opened as the application asks.
    void Open(int c, int r)
    {
        Grid->SetFocus();
        Grid->MoveColRow(c, r, true, true);
        Headless::PumpUntilIdle();
        Grid->Handled.clear();
        Grid->ShowInplaceEdit();
        Headless::PumpUntilIdle();
    }
    bool TextEditorShows()
    {
        TInplaceEdit* Edit = Grid->GetNormalEdit();
        return Edit && Edit->GetVisible();
    }
    std::string Cell(int c, int r) { return StringToUtf8(Grid->GetCells(c, r)); }
    // Registers a plain edit as the editor control of Kind.
    static void RegisterEdit(TEditorType Kind)
    {
        GridEditorRegistry::Register(Kind, [](TDedOzovedUrad* G) -> TWinControl* { return new TEdit(G); });
    }
};

} // namespace

// ---- choosing, showing, storing ----

TEST_F(EditGrid, EachKindOpensItsEditorAndStoresItsValue)
{
    struct Case {
        TEditorType Kind;
        bool TextEditor;  // the platform's text editor shows the cell
        bool Stores;      // a changed value reaches the cell
        int Finished;     // OnEditingDone and "GridEditDone" of the end
    };
    // The text editor finishes its edit as it loses the focus, an editor
    // control's store finishes it.
    const Case Cases[] = {
        { edNormal, true, true, 1 },
        { edNumeric, true, true, 1 },
        { edUpperCase, true, true, 1 },
        { edPassword, true, true, 1 },
        // A kind whose control is not there opens nothing and keeps the
        // cell; its edit still ends once.
        { edDateTimeEdit, false, false, 1 },
        { edMemoDropDown, false, false, 1 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Kind));
        Grid->SetDefaultEditor(C.Kind);
        EditingDone = 0;
        Open(2, 3);
        EXPECT_TRUE(Grid->EditMode);
        EXPECT_EQ(Grid->EditControl, C.Kind);
        EXPECT_EQ(TextEditorShows(), C.TextEditor);
        if (C.TextEditor) {
            EXPECT_EQ(Grid->GetNormalEdit()->GetText(), u"c2r3");
            EXPECT_EQ(Grid->GetCellEditor(), static_cast<TWinControl*>(Grid->GetNormalEdit()));
            Grid->GetNormalEdit()->SetText(u"41");
        }
        Grid->HideInplaceEdit();
        Headless::PumpUntilIdle();
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_FALSE(TextEditorShows());
        EXPECT_EQ(Cell(2, 3), C.Stores ? "41" : "c2r3");
        EXPECT_EQ(EditingDone, C.Finished);
        EXPECT_EQ(Grid->Handled.size(), std::size_t(C.Finished));
        Grid->SetCells(2, 3, u"c2r3");
    }
}

TEST_F(EditGrid, NoEditorOpensWhereTheCellRefusesIt)
{
    struct Case {
        const char* Name;
        std::function<void()> Arrange;
    };
    const Case Cases[] = {
        { "edNone from OnGetEditorType",
            [&] { Grid->OnGetEditorType = [](TObject*, int, int, TEditorType& E) { E = edNone; }; } },
        { "OnBeforeEdit refusing", [&] { Grid->OnBeforeEdit = [](TObject*, int, int, bool& A) { A = false; }; } },
        // A check box cell never gets the text editor, whatever the kind.
        { "check box cell", [&] { Grid->AddCheckBox(2, 3, false, false); } },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        C.Arrange();
        Open(2, 3);
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_FALSE(TextEditorShows());
        EXPECT_EQ(Grid->GetCellEditor(), nullptr);
        Grid->OnGetEditorType = nullptr;
        Grid->OnBeforeEdit = nullptr;
    }
}

TEST_F(EditGrid, TheRichEditorLoadsAndStoresTheCellsRichText)
{
    TLumRichEdit* Measure = Grid->GetRichEdit();
    Measure->SetText(u"Hello");
    Grid->SetCells(1, 2, AnsiToString(Measure->GetRtf()));
    Grid->SetDefaultEditor(edRichEdit);
    Open(1, 2);
    TLumRichEdit* Rich = Grid->GetInplaceRichEdit();
    ASSERT_TRUE(Rich->GetVisible());
    EXPECT_EQ(Grid->GetCellEditor(), Rich);
    EXPECT_FALSE(TextEditorShows());
    EXPECT_EQ(Rich->GetText(), u"Hello");
    EXPECT_EQ(Rich->GetBoundsRect().TopLeft(), Grid->CellRect(1, 2).TopLeft());
    Rich->SetSelStart(5);
    Rich->SetSelText(u" world");
    Grid->HideInplaceEdit();
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Rich->GetVisible());
    EXPECT_EQ(Grid->GetCells(1, 2).rfind(u"{\\rtf", 0), 0u);
    EXPECT_EQ(Grid->GetStrippedCells(1, 2), u"Hello world");
    EXPECT_EQ(EditingDone, 1);
    EXPECT_EQ(Grid->Handled, std::vector<String> { u"GridEditDone" });
}

// A registered editor control is placed on the cell, loaded with its text,
// and stored when the focus moves on (validated there).
TEST_F(EditGrid, ARegisteredEditorControlIsShownStoredAndValidated)
{
    RegisterEdit(edComboEdit);
    Grid->SetDefaultEditor(edComboEdit);
    std::vector<std::pair<int, int>> PropAsked;
    Grid->OnGetEditorProp = [&](TObject*, int c, int r, TEditLink* Link) {
        EXPECT_EQ(Link, nullptr);
        PropAsked.emplace_back(c, r);
    };
    Grid->OnCellValidate = [&](TObject*, int, int, String& Value, bool&) {
        ++Validations;
        EXPECT_EQ(Value, u"picked");
    };
    Open(2, 3);
    TWinControl* Combo = Grid->GetCombobox();
    ASSERT_NE(Combo, nullptr);
    EXPECT_EQ(Combo->GetOwner(), Grid);
    EXPECT_TRUE(Combo->GetVisible());
    EXPECT_EQ(Grid->GetCellEditor(), Combo);
    EXPECT_EQ(Combo->GetText(), u"c2r3");
    EXPECT_EQ(Combo->GetBoundsRect().TopLeft(), Grid->CellRect(2, 3).TopLeft());
    EXPECT_EQ(PropAsked, (std::vector<std::pair<int, int>> { { 2, 3 } }));
    EXPECT_FALSE(TextEditorShows());

    Combo->SetText(u"picked");
    Grid->MoveColRow(3, 3, true, true);
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->GetCol(), 3);
    EXPECT_EQ(Cell(2, 3), "picked");
    EXPECT_FALSE(Combo->GetVisible());
    EXPECT_EQ(Validations, 1);
    EXPECT_EQ(EditingDone, 1);
    EXPECT_EQ(Grid->Handled, std::vector<String> { u"GridEditDone" });
}

// Refused on the way out: the old text comes back into the cell, the focus
// stays and the editor opens again; the posted messages come in order.
TEST_F(EditGrid, ARefusedEditorValueKeepsTheFocusAndReentersTheText)
{
    RegisterEdit(edComboEdit);
    Grid->SetDefaultEditor(edComboEdit);
    Grid->SetInvalidEntryTitle(u"Not a colour");
    Grid->OnCellValidate = [&](TObject*, int, int, String&, bool& Valid) {
        ++Validations;
        Valid = false;
    };
    Open(2, 3);
    Grid->SetModified(false);
    TWinControl* Combo = Grid->GetCombobox();
    Combo->SetText(u"mauve");
    Grid->SetModified(true);
    Grid->MoveColRow(3, 3, true, true);
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Cell(2, 3), "c2r3");
    EXPECT_FALSE(Grid->GetModified());
    EXPECT_TRUE(Grid->GetInvalidSel());
    Headless::PumpUntilIdle();
    EXPECT_EQ(Grid->Handled, (std::vector<String> { u"GridEditDone", u"GridEditInvalid" }));
    EXPECT_FALSE(Grid->GetInvalidSel());
    // The refused text is offered again and refused again; the proposed
    // cell never sees it.
    EXPECT_EQ(Validations, 2);
    EXPECT_EQ(Cell(2, 3), "c2r3");
    EXPECT_EQ(Cell(3, 3), "c3r3");
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_TRUE(Combo->GetVisible());
}

// Without a link edCustom shows nothing; the store that follows finishes
// the edit once (it used to finish, hide and store again without end).
TEST_F(EditGrid, ACustomEditorWithoutALinkEndsOnce)
{
    Grid->SetDefaultEditor(edCustom);
    Open(1, 1);
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_TRUE(Grid->GetEditActive());
    Grid->HideInplaceEdit();
    Headless::PumpUntilIdle();
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_FALSE(Grid->GetEditActive());
    EXPECT_EQ(EditingDone, 1);
    EXPECT_EQ(Grid->Handled, std::vector<String> { u"GridEditDone" });
    EXPECT_EQ(Cell(1, 1), "c1r1");
}

TEST_F(EditGrid, HideCellEditStoresTheControlsValue)
{
    RegisterEdit(edComboEdit);
    Grid->SetDefaultEditor(edComboEdit);
    Open(2, 3);
    Grid->GetCombobox()->SetText(u"kept");
    Grid->HideCellEdit();
    Headless::PumpUntilIdle();
    EXPECT_EQ(Cell(2, 3), "kept");
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_FALSE(Grid->GetCombobox()->GetVisible());
    EXPECT_EQ(EditingDone, 1);
}

TEST_F(EditGrid, DoneInplaceEditMovesOnByTheKey)
{
    struct Case {
        const char* Name;
        WORD Key;
        bool Shift;
        int StartRow;
        bool Append;
        int Col, Row, RowCount;
    };
    const Case Cases[] = {
        { "Enter", VK_RETURN, false, 3, false, 3, 3, 10 },
        { "Shift+Enter", VK_RETURN, true, 3, false, 1, 3, 10 },
        { "Down in a middle row", VK_DOWN, false, 3, true, 2, 4, 10 },
        { "Down on the last row, appending", VK_DOWN, false, 9, true, 2, 10, 11 },
        { "Down on the last row, not appending", VK_DOWN, false, 9, false, 2, 9, 10 },
    };
    Grid->GetNavigation()->SetAdvanceOnEnter(true);
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Grid->SetRowCount(10);
        Grid->GetNavigation()->SetAppendOnArrowDown(C.Append);
        int Appended = 0;
        Grid->OnAutoAddRow = [&](TObject*, int) { ++Appended; };
        Open(2, C.StartRow);
        ASSERT_TRUE(TextEditorShows());
        Grid->GetNormalEdit()->SetText(u"typed");
        Grid->DoneInplaceEdit(C.Key, C.Shift ? TShiftState { ssShift } : TShiftState {});
        Headless::PumpUntilIdle();
        EXPECT_EQ(Cell(2, C.StartRow), "typed");
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_FALSE(Grid->GetBlockFocus());
        EXPECT_EQ(Grid->GetCol(), C.Col);
        EXPECT_EQ(Grid->GetRow(), C.Row);
        EXPECT_EQ(Grid->GetRowCount(), C.RowCount);
        EXPECT_EQ(Appended, C.RowCount - 10);
        Grid->SetCells(2, C.StartRow, u"c2r" + IntToStr(C.StartRow));
    }
}

TEST_F(EditGrid, AppendingARowCanBeRefusedAndKeepsTheFloatingFooterLast)
{
    bool Allow = false;
    Grid->OnCanAddRow = [&](TObject*, bool& CanAdd) { CanAdd = Allow; };
    Grid->MoveColRow(1, 9, true, true);
    EXPECT_TRUE(Grid->IsOnLastNormalRow());
    Grid->AppendRowOnArrowDown();
    EXPECT_EQ(Grid->GetRowCount(), 10);

    Allow = true;
    Grid->GetFloatingFooter()->SetVisible(true);
    Grid->MoveColRow(1, 8, true, true);
    EXPECT_TRUE(Grid->IsOnLastNormalRow());
    Grid->SetCells(1, 9, u"footer");
    Grid->AppendRowOnArrowDown();
    EXPECT_EQ(Grid->GetRowCount(), 11);
    EXPECT_EQ(Cell(1, 10), "footer");
    EXPECT_EQ(Cell(1, 9), "");
    EXPECT_EQ(Grid->GetRow(), 9);
}

// ---- editor access and combo items ----

TEST_F(EditGrid, CellEditorIsTheControlNowEditing)
{
    EXPECT_EQ(Grid->GetCellEditor(), nullptr);
    Open(1, 1);
    EXPECT_EQ(Grid->GetCellEditor(), static_cast<TWinControl*>(Grid->GetNormalEdit()));
    Grid->HideInplaceEdit();
    EXPECT_EQ(Grid->GetCellEditor(), nullptr);
    // The check box editor is no editor control of the cell.
    GridEditorRegistry::Register(edCheckBox, [](TDedOzovedUrad* G) -> TWinControl* { return new TCheckBox(G); });
    Grid->SetDefaultEditor(edCheckBox);
    Grid->SetCells(1, 2, u"Y");
    Open(1, 2);
    ASSERT_NE(Grid->GetCheckEditor(), nullptr);
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Grid->GetCellEditor(), static_cast<TWinControl*>(Grid->GetNormalEdit()));
    auto* Box = static_cast<TCheckBox*>(Grid->GetCheckEditor());
    EXPECT_TRUE(Box->GetChecked());
    Box->SetChecked(false);
    Grid->HideInplaceEdit();
    EXPECT_EQ(Cell(1, 2), "N");
}

TEST_F(EditGrid, TheComboItemListServesEveryComboCell)
{
    Grid->AddComboString(u"red");
    Grid->AddComboStringObject(u"green", Grid);
    Grid->AddComboString(u"blue");
    EXPECT_EQ(Grid->GetComboCount(), 3);
    EXPECT_EQ(Grid->GetComboItems()->GetObjects(1), Grid);
    EXPECT_TRUE(Grid->RemoveComboString(u"blue"));
    EXPECT_FALSE(Grid->RemoveComboString(u"blue"));
    EXPECT_EQ(Grid->GetComboCount(), 2);

    EXPECT_TRUE(Grid->SetComboSelectionString(u"green"));
    EXPECT_EQ(Grid->GetComboSelection(), 1);
    EXPECT_FALSE(Grid->SetComboSelectionString(u"purple"));
    EXPECT_EQ(Grid->GetComboSelection(), 1);
    EXPECT_FALSE(Grid->GetForceComboSelection());
    Grid->SetComboSelection(0);
    EXPECT_EQ(Grid->GetComboSelection(), 0);
    EXPECT_TRUE(Grid->GetForceComboSelection());

    // OnGetEditorProp fills the items of the asked cell before the search.
    Grid->OnGetEditorProp = [this](TObject*, int c, int, TEditLink* Link) {
        EXPECT_EQ(Link, nullptr);
        Grid->ClearComboString();
        Grid->AddComboString(u"one");
        Grid->AddComboString(c == 1 ? u"c1r4" : u"two");
    };
    EXPECT_EQ(Grid->GetComboIndex(1, 4), 1);
    EXPECT_EQ(Grid->GetComboIndex(2, 4), -1);
    Grid->SetComboIndex(3, 4, 0);
    EXPECT_EQ(Cell(3, 4), "one");
    EXPECT_THROW(Grid->SetComboIndex(3, 4, 5), Exception);
    EXPECT_EQ(Cell(3, 4), "one");
    Grid->ClearComboString();
    EXPECT_EQ(Grid->GetComboCount(), 0);
}

TEST_F(EditGrid, WantsEditorTabUnderGoTabsOrAValidationHandler)
{
    EXPECT_FALSE(Grid->WantsEditorTab());
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
    EXPECT_TRUE(Grid->WantsEditorTab());
    Grid->SetOptions(Grid->GetOptions() - TGridOptions { goTabs });
    Grid->OnCellValidate = [](TObject*, int, int, String&, bool&) { };
    EXPECT_TRUE(Grid->WantsEditorTab());
    Grid->OnCellValidate = nullptr;
    Grid->OnCellValidateWide = [](TObject*, int, int, String&, bool&) { };
    EXPECT_TRUE(Grid->WantsEditorTab());
}

// ---- validation ----

namespace {

// An edit of (2, 3) that the text editor is about to validate.
struct ValidateGrid : EditGrid {
    int Changed = 0;
    void SetUp() override
    {
        EditGrid::SetUp();
        Grid->OnCellsChanged = [this](TObject*, const TRect&) { ++Changed; };
        Begin();
    }
    void Begin()
    {
        Open(2, 3);
        Grid->SaveOldCell(2, 3);
        Grid->SetEditing(true);
    }
};

} // namespace

TEST_F(ValidateGrid, UnchangedTextValidatesNothingUnlessAlwaysValidate)
{
    auto* Undo = new TRirEvozUndoRedo(Grid);
    Grid->SetUndoRedo(Undo);
    Grid->OnCellValidate = [&](TObject*, int, int, String&, bool&) { ++Validations; };
    EXPECT_TRUE(Grid->ValidateCell(u"c2r3"));
    EXPECT_EQ(Validations, 0);
    EXPECT_FALSE(Undo->CanUndo());

    Grid->SetAlwaysValidate(true);
    Begin();
    EXPECT_TRUE(Grid->ValidateCell(u"c2r3"));
    EXPECT_EQ(Validations, 1);
    EXPECT_TRUE(Undo->CanUndo());
    EXPECT_EQ(Changed, 0);
    EXPECT_FALSE(Grid->GetGridModified());
    EXPECT_FALSE(Grid->GetValidating());
}

TEST_F(ValidateGrid, AnAcceptedEditIsWrittenAndUndoneAndRedone)
{
    auto* Undo = new TRirEvozUndoRedo(Grid);
    Grid->SetUndoRedo(Undo);
    EXPECT_TRUE(Grid->ValidateCell(u"new"));
    EXPECT_EQ(Cell(2, 3), "new");
    EXPECT_EQ(Changed, 1);
    EXPECT_TRUE(Grid->GetGridModified());
    Grid->HideInplaceEdit();
    Undo->Undo();
    EXPECT_EQ(Cell(2, 3), "c2r3");
    Undo->Redo();
    EXPECT_EQ(Cell(2, 3), "new");
}

TEST_F(ValidateGrid, ARefusalPutsTheOldOrTheCorrectedTextBackAndReopensTheEditor)
{
    struct Case {
        const char* Name;
        const char16_t* Corrected;  // the handler's Value, nullptr to leave it
        const char* Cell;
    };
    const Case Cases[] = {
        { "value left alone", nullptr, "c2r3" },
        { "value corrected", u"fixed", "fixed" },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Grid->OnCellValidate = [&](TObject*, int, int, String& Value, bool& Valid) {
            Valid = false;
            if (C.Corrected)
                Value = C.Corrected;
        };
        Grid->SetModified(false);
        Begin();
        // The focus went elsewhere meanwhile (the move validated the
        // unchanged text); the edit of (2, 3) is validated now.
        Grid->MoveColRow(4, 6, true, true);
        ASSERT_EQ(Grid->GetOldCol(), 2);
        ASSERT_FALSE(Grid->GetOldModifiedValue());
        Grid->SetModified(true);
        Grid->SetEditing(true);
        EXPECT_FALSE(Grid->ValidateCell(u"wrong"));
        EXPECT_EQ(Cell(2, 3), C.Cell);
        EXPECT_EQ(Grid->GetCol(), 2);
        EXPECT_EQ(Grid->GetRow(), 3);
        EXPECT_TRUE(Grid->EditMode);
        EXPECT_TRUE(TextEditorShows());
        EXPECT_EQ(Grid->GetNormalEdit()->GetText(), Grid->GetCells(2, 3));
        EXPECT_FALSE(Grid->GetModified());
        EXPECT_TRUE(Grid->GetEditing());
        EXPECT_FALSE(Grid->GetLastValidation());
        EXPECT_EQ(Changed, 0);
        Grid->HideInplaceEdit();
        Grid->OnCellValidate = nullptr;
        Grid->SetCells(2, 3, u"c2r3");
    }
}

TEST_F(ValidateGrid, TheBalloonNeedsATitleOrTextAndAnActiveForm)
{
    struct Case {
        const char16_t* Title;
        const char16_t* Text;
        bool Active;
        bool Shown;
    };
    const Case Cases[] = {
        { u"", u"", true, false },
        { u"Too long", u"", true, true },
        { u"", u"At most 3 characters", true, true },
        { u"Too long", u"At most 3 characters", false, false },
    };
    Grid->OnCellValidate = [](TObject*, int, int, String&, bool& Valid) { Valid = false; };
    for (const Case& C : Cases) {
        SCOPED_TRACE(StringToUtf8(String(C.Title) + u"/" + C.Text));
        Grid->SetInvalidEntryTitle(C.Title);
        Grid->SetInvalidEntryText(C.Text);
        Begin();
        // The window manager tells the form it lost the activation (the
        // keyboard focus stays in the editor).
        if (!C.Active)
            SendMessage(Form->GetHandle(), WM_ACTIVATE, WA_INACTIVE, 0);
        ASSERT_EQ(Form->GetActive(), C.Active);
        EXPECT_FALSE(Grid->ValidateCell(u"wrong"));
        TInplaceEdit* Edit = Grid->GetNormalEdit();
        EXPECT_EQ(Edit->BalloonShowing(), C.Shown);
        if (C.Shown) {
            EXPECT_EQ(Edit->GetBalloonTitle(), C.Title);
            EXPECT_EQ(Edit->GetBalloonText(), C.Text);
        }
        Grid->HideInplaceEdit();
        if (!C.Active)
            SendMessage(Form->GetHandle(), WM_ACTIVATE, WA_ACTIVE, 0);
        Headless::PumpUntilIdle();
    }
}

TEST_F(ValidateGrid, ARefusalSwitchesEditOnDblClickOnlyOffUntilTheNextUnchangedValidation)
{
    TMouseActions* Mouse = Grid->GetMouseActions();
    bool Refuse = true;
    Grid->OnCellValidate = [&](TObject*, int, int, String&, bool& Valid) { Valid = !Refuse; };
    Mouse->SetEditOnDblClickOnly(true);
    EXPECT_FALSE(Grid->ValidateCell(u"wrong"));
    EXPECT_FALSE(Mouse->GetEditOnDblClickOnly());
    Refuse = false;
    Grid->SetEditing(true);
    EXPECT_TRUE(Grid->ValidateCell(u"c2r3"));
    EXPECT_TRUE(Mouse->GetEditOnDblClickOnly());
    // An option the application set stays when nothing was refused.
    Grid->SetEditing(true);
    EXPECT_TRUE(Grid->ValidateCell(u"c2r3"));
    EXPECT_TRUE(Mouse->GetEditOnDblClickOnly());
}

// The text of a covered cell of a merge lives in the merge's base cell.
TEST_F(ValidateGrid, ACoveredCellOfAMergeWritesItsBase)
{
    Grid->HideInplaceEdit();
    Grid->MergeCells(1, 5, 2, 1);
    Grid->SaveOldCell(2, 5);
    Grid->SetEditing(true);
    EXPECT_TRUE(Grid->ValidateCell(u"merged"));
    EXPECT_EQ(Grid->GetGridCell(1, 5), u"merged");
    EXPECT_EQ(Grid->GetCells(2, 5), u"merged");
}

// The fault mended: a wide validation that raised left FValidating set;
// no editor opened after it and every validation passed unchecked.
TEST_F(ValidateGrid, AThrowingWideHandlerLeavesValidationWorking)
{
    Grid->OnCellValidateWide = [](TObject*, int, int, String&, bool&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(Grid->ValidateCellWide(u"wide"), std::runtime_error);
    EXPECT_FALSE(Grid->GetValidating());
    EXPECT_EQ(Grid->GetOldCol(), Grid->GetCol());
    Grid->HideInplaceEdit();
    Grid->ShowInplaceEdit();
    EXPECT_TRUE(TextEditorShows());

    Grid->OnCellValidate = [&](TObject*, int, int, String&, bool& Valid) {
        ++Validations;
        Valid = false;
    };
    Grid->SaveOldCell(2, 3);
    Grid->SetEditing(true);
    EXPECT_FALSE(Grid->ValidateCell(u"checked"));
    EXPECT_EQ(Validations, 1);
}

// A plain checker with both switches on changes nothing.
TEST_F(ValidateGrid, APlainCheckerValidatesAsNone)
{
    std::vector<std::string> Seen;
    Grid->OnCellValidate = [&](TObject*, int c, int r, String& Value, bool&) {
        Seen.push_back(std::to_string(c) + "," + std::to_string(r) + ":" + StringToUtf8(Value));
    };
    EXPECT_TRUE(Grid->ValidateCell(u"plain"));
    auto* Checker = new TDedOzovedUradCheck(Form.get());
    Checker->SetAutoCorrect(true);
    Checker->SetAutoMarkError(true);
    Grid->SetCellChecker(Checker);
    EXPECT_EQ(Checker->GetGrid(), Grid);
    Grid->SetCells(2, 3, u"c2r3");
    Begin();
    EXPECT_TRUE(Grid->ValidateCell(u"plain"));
    EXPECT_EQ(Seen, (std::vector<std::string> { "2,3:plain", "2,3:plain" }));
    EXPECT_EQ(Cell(2, 3), "plain");
    EXPECT_EQ(Changed, 2);
}
