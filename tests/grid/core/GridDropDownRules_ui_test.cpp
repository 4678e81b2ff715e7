// The drop-down cell editors' shared rules, on a grid, with a double of the
// drop-down control: restoring on Esc, opening with Alt+Down, committing
// and refusing, the colour picker's keys and the control drop-down's
// arrows.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDropDownRules.h"
#include "grid/core/GridEditorRegistry.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// A plain edit standing in for a drop-down: the drop-down is a flag, the
// normal text assignment formats with ".00", and every write and base key
// is logged.
class TDropDownDouble : public TEdit, public IGridDropDownControl {
public:
    TDropDownDouble(TDedOzovedUrad* Grid, TGridDropDownOptions Options) : TEdit(Grid), Rules(*this, Grid, Options) { }

    TGridDropDownRules Rules;
    bool Dropped { false };
    std::vector<String> Log;

    TWinControl* EditorControl() override { return this; }
    String EditorText() override { return GetText(); }
    void WriteRawText(const String& Value) override
    {
        Log.push_back(u"raw " + Value);
        SetText(Value);
    }
    void WriteText(const String& Value) override
    {
        Log.push_back(u"formatted " + Value);
        SetText(Value + u".00");
    }
    bool DroppedDown() override { return Dropped; }
    void OpenDropDown() override { Dropped = true; }
    void CloseDropDown(bool Cancel) override
    {
        Log.push_back(Cancel ? u"cancel" : u"close");
        Dropped = false;
    }
    void SelectAllText() override { SelectAll(); }
    void CaretToEnd() override { SetSelStart(GetTextLen()); }
    void Repaint() override { Invalidate(); }
    void BaseKeyDown(WORD& Key, TShiftState Shift) override
    {
        if (Key != 0)
            Log.push_back(u"key " + IntToStr(Key));
        if (Key == VK_DOWN && Shift.Contains(ssAlt))
            Dropped = !Dropped;
        TEdit::KeyDown(Key, Shift);
    }
    void BaseKeyPress(Char& Key) override { TEdit::KeyPress(Key); }
    void BaseChange() override { TEdit::Change(); }
    void BaseExit() override { TEdit::DoExit(); }
    LRESULT BaseWantSpecialKey(WORD Key) override { return Key == VK_ESCAPE || Key == VK_RETURN; }
    void LoadCell(TDedOzovedUrad*, int, int, const String& EditText) override { SetText(EditText); }
    void StoreCell(TDedOzovedUrad* Grid, int ACol, int ARow) override { Grid->WriteEditorText(ACol, ARow, GetText()); }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override { Rules.KeyDown(Key, Shift); }
    void KeyPress(Char& Key) override { Rules.KeyPress(Key, this); }
    void Change() override { Rules.Change(); }
    void DoExit() override { Rules.Exit(); }
    void Dispatch(TMessage& Message) override
    {
        if (Message.Msg == CM_WANTSPECIALKEY) {
            Message.Result = Rules.WantSpecialKey(WORD(Message.WParam));
            return;
        }
        TEdit::Dispatch(Message);
    }
};

// A grid of 4 x 6 cells "c<col>r<row>" whose cells edit with the double.
struct DropDownRules : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TDedOzovedUrad* Grid = nullptr;
    TDropDownDouble* Double = nullptr;
    TGridDropDownOptions Options;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        GridEditorRegistry::Register(edMemoDropDown, [this](TDedOzovedUrad* G) -> TWinControl* {
            Double = new TDropDownDouble(G, Options);
            return Double;
        });
        MakeGrid();
        Form->Show();
        Application->ProcessMessages();
    }
    // A new grid (and so a new double, made with Options when it first edits).
    void MakeGrid()
    {
        delete Grid;
        Double = nullptr;
        Grid = new TDedOzovedUrad(Form.get());
        Grid->SetParent(Form.get());
        Grid->SetBounds(10, 10, 500, 300);
        Grid->SetColCount(4);
        Grid->SetRowCount(6);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 4; ++c)
                Grid->SetCells(c, r, u"c" + IntToStr(c) + u"r" + IntToStr(r));
        Grid->SetOptions(Grid->GetOptions() + TGridOptions { goEditing });
        Grid->SetDefaultEditor(edMemoDropDown);
        Headless::PumpUntilIdle();
    }
    void TearDown() override { GridEditorRegistry::Unregister(edMemoDropDown); }
    void Open(int c, int r)
    {
        Grid->SetFocus();
        Grid->MoveColRow(c, r, true, true);
        Headless::PumpUntilIdle();
        Grid->ShowInplaceEdit();
        Headless::PumpUntilIdle();
        ASSERT_NE(Double, nullptr);
        ASSERT_TRUE(Double->Focused());
        Double->Log.clear();
    }
    static void Press(WORD Key, bool Shift = false, bool Alt = false)
    {
        Headless::Key(Key, Shift, false, Alt);
        Headless::PumpUntilIdle();
    }
};

} // namespace

TEST_F(DropDownRules, EscRestoresTheCellTextRawAndEndsTheEdit)
{
    struct Case {
        const char* Name;
        bool Formatted;
        const char16_t* Written;
        const char16_t* Stored;
    };
    // The double's formatting shows in the stored text.
    const Case Cases[] = {
        { "raw write", false, u"raw c1r2", u"c1r2" },
        { "track bar: formatted", true, u"formatted c1r2", u"c1r2.00" },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Options.FormattedRestore = C.Formatted;
        MakeGrid();
        Open(1, 2);
        Double->SetText(u"typed");
        Press(VK_ESCAPE);
        ASSERT_FALSE(Double->Log.empty());
        EXPECT_EQ(Double->Log.front(), C.Written);
        EXPECT_FALSE(Grid->EditMode);
        EXPECT_FALSE(Double->GetVisible());
        EXPECT_TRUE(Grid->Focused());
        EXPECT_EQ(Grid->GetCells(1, 2), C.Stored);
    }
}

TEST_F(DropDownRules, AltDownOpensInsteadOfEndingTheEdit)
{
    Open(1, 1);
    Press(VK_DOWN, false, true);
    EXPECT_TRUE(Double->Dropped);
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Grid->GetRow(), 1);
}

TEST_F(DropDownRules, EnterCommitsARefusalKeepsTheEditor)
{
    Open(1, 1);
    Double->SetText(u"new");
    Press(VK_RETURN);
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Grid->GetCells(1, 1), u"new");
    EXPECT_TRUE(Grid->Focused());

    // The validation refuses and corrects: the editor stays with the
    // corrected text, all selected, and nothing moves.
    Grid->OnCellValidate = [](TObject*, int, int, String& Value, bool& Valid) {
        Value = u"fixed";
        Valid = false;
    };
    Open(1, 3);
    Double->SetText(u"bad");
    Press(VK_RETURN);
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_TRUE(Double->GetVisible());
    EXPECT_EQ(Double->GetText(), u"fixed");
    EXPECT_EQ(Double->GetSelLength(), 5);
    EXPECT_EQ(Grid->GetRow(), 3);
}

TEST_F(DropDownRules, TheColourPickersUpStaysInAnOpenListAndLeavesAClosedOne)
{
    Options.ColorKeys = true;
    Open(1, 3);
    Double->Dropped = true;
    Press(VK_UP);
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Double->Log, std::vector<String> { u"key 38" });

    Double->Dropped = false;
    Double->SetText(u"picked");
    int Validations = 0;
    Grid->OnCellValidate = [&](TObject*, int, int, String&, bool&) { ++Validations; };
    Press(VK_UP);
    EXPECT_FALSE(Grid->EditMode);
    EXPECT_EQ(Validations, 0);
    EXPECT_EQ(Grid->GetRow(), 2);
    // The store still takes the editor's value.
    EXPECT_EQ(Grid->GetCells(1, 3), u"picked");
}

TEST_F(DropDownRules, WantArrowsKeepsTheArrowsInAnOpenControlDropDown)
{
    Options.ArrowsToContent = true;
    for (bool Want : { true, false }) {
        SCOPED_TRACE(Want);
        Open(1, 2);
        Double->Rules.SetWantArrows(Want);
        Double->Dropped = true;
        Press(VK_DOWN);
        EXPECT_EQ(Grid->EditMode, Want);
        if (!Want) {
            // The open drop-down ends the edit; the key does not move the focus.
            EXPECT_EQ(Grid->GetRow(), 2);
        } else {
            Double->Dropped = false;
            Press(VK_ESCAPE);
        }
    }
}

TEST_F(DropDownRules, TabUnderGoTabsCommitsAndMovesToTheNextCell)
{
    Grid->SetOptions(Grid->GetOptions() + TGridOptions { goTabs });
    Open(1, 2);
    Double->SetText(u"tabbed");
    Press(VK_TAB);
    EXPECT_EQ(Grid->GetCells(1, 2), u"tabbed");
    // Tab in an editing grid edits on where it arrives.
    EXPECT_TRUE(Grid->EditMode);
    EXPECT_EQ(Double->GetText(), u"c2r2");
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 2);
}
