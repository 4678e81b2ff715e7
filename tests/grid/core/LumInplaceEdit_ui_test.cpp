// The grid's text editor, headless, with keys and characters typed through
// the same message path as real input: the character and paste filters by
// editor kind, the keypad decimal key, Esc, the cursor walk out of the
// editor, completion from the lookup list and validation on focus loss.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumInplaceEdit.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

std::string U8(const String& S) { return StringToUtf8(S); }

void PutClipboardText(const String& Text)
{
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t Bytes = (Text.size() + 1) * sizeof(char16_t);
    HGLOBAL H = GlobalAlloc(GMEM_MOVEABLE, Bytes);
    std::memcpy(GlobalLock(H), Text.c_str(), Bytes);
    GlobalUnlock(H);
    SetClipboardData(CF_UNICODETEXT, H);
    CloseClipboard();
}

// Records every validation and may refuse; accepted text goes into the
// cell as the grid's own validation does.
struct ValidatingGrid : TDedOzovedUrad {
    using TDedOzovedUrad::TDedOzovedUrad;
    std::vector<String> Validated;
    bool Refuse = false;
    bool ValidateCell(const String& NewValue) override
    {
        Validated.push_back(NewValue);
        return Refuse ? false : TDedOzovedUrad::ValidateCell(NewValue);
    }
};

// A grid of 5 x 10 cells with editing on, on a shown form with an edit
// beside it to take the focus away; the editor kind of every cell is Kind.
struct TextEditor : ::testing::Test {
    THeadlessSession Session;
    LocaleGuard Locale { LocaleGuard::CommaDecimal };
    std::unique_ptr<TForm> Form;
    ValidatingGrid* Grid = nullptr;
    TEdit* Other = nullptr;
    TEditorType Kind = edNormal;

    void SetUp() override
    {
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 640, 480);
        Grid = new ValidatingGrid(Form.get());
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
    // The clipboard outlives the test; what a test put there goes with it.
    void TearDown() override
    {
        Form.reset();
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
    static void Pump() { Headless::PumpUntilIdle(); }
    size_t Beeps() { return Session.Backend().GetBeeps().size(); }

    // Opens the editor on (ACol, ARow) holding Text, with the selection
    // from SelStart over SelLength.
    TLumInplaceEdit* Edit(int ACol, int ARow, const String& Text, int SelStart = -1, int SelLength = 0)
    {
        Grid->SetCells(ACol, ARow, Text);
        // Through the cell change query, which notes the text the edit
        // begins with.
        Grid->MoveColRow(ACol, ARow + 1 < Grid->GetRowCount() ? ARow + 1 : ARow - 1, true, true);
        Grid->MoveColRow(ACol, ARow, true, true);
        Grid->SetFocus();
        Pump();
        Grid->ShowInplaceEdit();
        Pump();
        TLumInplaceEdit* E = Grid->GetNormalEdit();
        if (!E)
            return nullptr;
        E->SetSel(SelStart < 0 ? int(Text.size()) : SelStart,
            (SelStart < 0 ? int(Text.size()) : SelStart) + SelLength);
        return E;
    }
};

} // namespace

TEST_F(TextEditor, TheGridEditsWithItsOwnTextEditor)
{
    TLumInplaceEdit* E = Edit(1, 1, u"abc");
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E, Grid->GetInplaceEditor());
    EXPECT_TRUE(E->Focused());
    EXPECT_EQ(U8(E->GetText()), "abc");
    EXPECT_EQ(E->GetEditCol(), 1);
    EXPECT_EQ(E->GetEditRow(), 1);
}

TEST_F(TextEditor, TypedCharactersPassTheFilterOfTheCellsKind)
{
    struct Case {
        TEditorType Kind;
        const char16_t* Text;
        int SelStart;
        int SelLength;
        const char16_t* Input;
        const char16_t* Expected;
        bool Beep;
    };
    // The locale writes 1.234,5.
    const Case Cases[] = {
        { edNumeric, u"12", 2, 0, u"3a", u"123", true },
        { edNumeric, u"12", 0, 0, u"-", u"-12", false },
        { edNumeric, u"-12", 0, 0, u"-", u"-12", true },     // one sign only
        { edNumeric, u"12", 1, 0, u"-", u"12", true },       // only in front
        { edPositiveNumeric, u"12", 0, 0, u"-", u"12", true },
        { edPositiveNumeric, u"12", 2, 0, u"x4", u"124", true },
        { edFloat, u"1,5", 3, 0, u",", u"1,5", false },      // a second separator drops silently
        { edFloat, u"1,5", 1, 1, u",", u"1,5", false },      // ... unless it replaces the first
        { edFloat, u"1,5", 1, 1, u".7", u"175", false },     // thousand separator dropped
        { edFloat, u"15", 2, 0, u"x", u"15", false },
        { edFloat, u"15", 0, 0, u"-", u"-15", false },
        { edFloat, u"-15", 0, 0, u"-", u"-15", true },
        { edFloat, u"-15", 0, 2, u"-", u"-5", false },       // the selection holds the sign
        { edPositiveFloat, u"15", 0, 0, u"-", u"15", false },
        { edUpperCase, u"ab", 2, 0, u"c", u"abC", false },
        { edCapital, u"ab", 2, 0, u"c", u"abC", false },
        { edLowerCase, u"AB", 2, 0, u"C", u"ABc", false },
        { edMixedCase, u"", 0, 0, u"john smith", u"John Smith", false },
        { edValidChars, u"", 0, 0, u"abxc", u"abc", true },
        { edNormal, u"", 0, 0, u"a-Z,.", u"a-Z,.", false },
        { edPassword, u"", 0, 0, u"pw", u"pw", false },
    };
    Grid->SetValidChars(u"abc");
    for (const Case& c : Cases) {
        SCOPED_TRACE(U8(String(c.Text) + u" + " + c.Input) + " kind " + std::to_string(int(c.Kind)));
        Kind = c.Kind;
        TLumInplaceEdit* E = Edit(1, 1, c.Text, c.SelStart, c.SelLength);
        ASSERT_NE(E, nullptr);
        const size_t Before = Beeps();
        Headless::Type(c.Input);
        Pump();
        EXPECT_EQ(U8(E->GetText()), U8(c.Expected));
        EXPECT_EQ(Beeps() > Before, c.Beep);
        Grid->HideInplaceEdit();
        Pump();
    }
}

TEST_F(TextEditor, ValidCharSetServesWhenValidCharsIsEmpty)
{
    Kind = edValidChars;
    TGridCharSet Set;
    Set.set('x').set('y');
    Grid->SetValidCharSet(Set);
    TLumInplaceEdit* E = Edit(1, 1, u"");
    ASSERT_NE(E, nullptr);
    Headless::Type(u"xzy\u00e9");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "xy");
    // Backspace passes though it is not in the set.
    Headless::Key(VK_BACK);
    Pump();
    EXPECT_EQ(U8(E->GetText()), "x");
}

TEST_F(TextEditor, CtrlHeldCharactersReachTheEditOnce)
{
    for (TEditorType K : { edFloat, edPositiveFloat, edNumeric, edNormal }) {
        SCOPED_TRACE(int(K));
        Kind = K;
        TLumInplaceEdit* E = Edit(1, 1, u"1234");
        ASSERT_NE(E, nullptr);
        Headless::Key('H', false, true); // Ctrl+H is a backspace
        Pump();
        EXPECT_EQ(U8(E->GetText()), "123");
        Grid->HideInplaceEdit();
        Pump();
    }
}

TEST_F(TextEditor, LengthLimitDropsCharactersSilentlyButKeepsBackspace)
{
    Grid->SetMaxEditLength(3);
    TLumInplaceEdit* E = Edit(1, 1, u"abc");
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->GetLengthLimit(), 3);
    const size_t Before = Beeps();
    Headless::Type(u"d");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "abc");
    EXPECT_EQ(Beeps(), Before);
    Headless::Key(VK_BACK);
    Headless::Type(u"x");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "abx");
    // A selection may be typed over.
    E->SetSel(0, 1);
    Headless::Type(u"z");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "zbx");
}

TEST_F(TextEditor, KeypadDecimalKeyTypesTheLocaleSeparator)
{
    Grid->SetExcelStyleDecimalSeparator(true);
    TLumInplaceEdit* E = Edit(1, 1, u"1");
    ASSERT_NE(E, nullptr);
    Headless::Key(VK_DECIMAL);
    Headless::Key(VK_OEM_PERIOD);
    Pump();
    EXPECT_EQ(U8(E->GetText()), "1,.");
    Grid->HideInplaceEdit();

    // Without the switch the keypad key types what it says.
    Grid->SetExcelStyleDecimalSeparator(false);
    E = Edit(1, 1, u"1");
    Headless::Key(VK_DECIMAL);
    Pump();
    EXPECT_EQ(U8(E->GetText()), "1.");
    Grid->HideInplaceEdit();

    // ForceDecimalSeparator turns every "." into the separator.
    Grid->SetForceDecimalSeparator(true);
    Kind = edFloat;
    E = Edit(1, 1, u"1");
    Headless::Type(u".5");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "1,5");
}

TEST_F(TextEditor, PasteTakesWhatTheCellsKindAllows)
{
    struct Case {
        TEditorType Kind;
        int Limit;
        const char16_t* Text;
        int SelStart;
        int SelLength;
        const char16_t* Clip;
        const char16_t* Expected;
    };
    const Case Cases[] = {
        { edNormal, 0, u"ab", 2, 0, u"12\r\n", u"ab12" },           // a line's end is dropped
        { edNormal, 0, u"", 0, 0, u"a\r\nb", u"a\r\nb" },           // an inner break stays
        { edNormal, 0, u"", 0, 0, u"a\r\nb\r\n", u"a\r\nb\r\n" },   // only a single trailing end goes
        { edNormal, 0, u"hello", 1, 3, u"XY", u"hXYo" },
        { edNormal, 3, u"ab", 2, 0, u"cd", u"ab" },                 // would pass the limit
        { edNormal, 3, u"", 0, 0, u"abcd", u"" },
        { edNormal, 3, u"abc", 0, 3, u"xyz", u"xyz" },
        { edNumeric, 0, u"5", 1, 0, u"x", u"5" },
        { edNumeric, 0, u"", 0, 0, u"-12\r\n", u"-12" },
        { edPositiveNumeric, 0, u"", 0, 0, u"-12", u"" },
        { edPositiveNumeric, 0, u"1", 1, 0, u"2", u"12" },
        { edFloat, 0, u"1", 1, 0, u",5", u"1,5" },
        { edFloat, 0, u"1", 1, 0, u"a", u"1" },
        { edPositiveFloat, 0, u"", 0, 0, u"-1,5", u"" },
        { edUpperCase, 0, u"a", 1, 0, u"bc", u"ABC" },       // the whole text
        { edLowerCase, 0, u"A", 1, 0, u"BC", u"abc" },
        { edMixedCase, 0, u"", 0, 0, u"ann lee", u"Ann Lee" },
        { edCapital, 0, u"a", 1, 0, u"bc", u"abc" },
        { edValidChars, 0, u"", 0, 0, u"abz", u"" },
        { edValidChars, 0, u"", 0, 0, u"cab", u"cab" },
    };
    Grid->SetValidChars(u"abc");
    for (const Case& c : Cases) {
        SCOPED_TRACE(U8(String(c.Text) + u" + " + c.Clip) + " kind " + std::to_string(int(c.Kind)));
        Kind = c.Kind;
        Grid->SetMaxEditLength(c.Limit);
        TLumInplaceEdit* E = Edit(1, 1, c.Text, c.SelStart, c.SelLength);
        ASSERT_NE(E, nullptr);
        PutClipboardText(c.Clip);
        Headless::Key('V', false, true);
        Pump();
        EXPECT_EQ(U8(E->GetText()), U8(c.Expected));
        // The pasted text is in the cell at once.
        EXPECT_EQ(U8(Grid->GetCells(1, 1)), U8(c.Expected));
        Grid->HideInplaceEdit();
        Pump();
    }
}

TEST_F(TextEditor, PasteSelectsWhatReplacedTheSelectionAndAsksTheEvents)
{
    std::vector<String> Pasted;
    bool Allow = true;
    Grid->OnClipboardPaste = [&](TObject* Sender, bool& A) {
        EXPECT_EQ(Sender, Grid->GetNormalEdit());
        A = Allow;
    };
    Grid->OnClipboardBeforePasteCell = [&](TObject*, int ACol, int ARow, String& Value, bool&) {
        EXPECT_EQ(ACol, 2);
        EXPECT_EQ(ARow, 3);
        Value += u"!";
    };
    Grid->OnClipboardAfterPasteCell = [&](TObject*, int, int, const String& Value) { Pasted.push_back(Value); };
    TLumInplaceEdit* E = Edit(2, 3, u"hello", 1, 3);
    ASSERT_NE(E, nullptr);
    PutClipboardText(u"XY");
    E->PasteFromClipboard();
    EXPECT_EQ(U8(E->GetText()), "hXY!o");
    EXPECT_EQ(E->GetSelStart(), 1);
    EXPECT_EQ(E->GetSelLength(), 3);
    ASSERT_EQ(Pasted.size(), 1u);
    EXPECT_EQ(U8(Pasted[0]), "hXY!o");

    // Without a selection the caret lands after the pasted text.
    E->SetSel(0, 0);
    E->PasteFromClipboard();
    EXPECT_EQ(U8(E->GetText()), "XY!hXY!o");
    EXPECT_EQ(E->GetSelStart(), 3);
    EXPECT_EQ(E->GetSelLength(), 0);

    // A refusing OnClipboardPaste pastes nothing.
    Allow = false;
    E->PasteFromClipboard();
    EXPECT_EQ(U8(E->GetText()), "XY!hXY!o");
    EXPECT_EQ(Pasted.size(), 2u);
}

TEST_F(TextEditor, CopyAndCutAskTheirEventsFirst)
{
    bool Allow = false;
    int Asked = 0;
    Grid->OnClipboardCut = [&](TObject*, bool& A) {
        ++Asked;
        A = Allow;
    };
    TLumInplaceEdit* E = Edit(1, 1, u"abc", 0, 3);
    ASSERT_NE(E, nullptr);
    E->CutToClipboard();
    EXPECT_EQ(U8(E->GetText()), "abc");
    Allow = true;
    E->CutToClipboard();
    EXPECT_EQ(U8(E->GetText()), "");
    EXPECT_EQ(Asked, 2);
}

TEST_F(TextEditor, EscBringsBackTheTextTheEditBeganWith)
{
    TLumInplaceEdit* E = Edit(1, 1, u"old");
    ASSERT_NE(E, nullptr);
    int EscSeen = 0;
    E->OnKeyDown = [&](TObject*, WORD& Key, TShiftState) { EscSeen += Key == VK_ESCAPE; };
    E->SelectAll();
    Headless::Type(u"new");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "new");
    Headless::Key(VK_ESCAPE);
    Pump();
    EXPECT_EQ(EscSeen, 1);
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_FALSE(E->GetVisible());
    EXPECT_EQ(U8(Grid->GetCells(1, 1)), "old");
}

TEST_F(TextEditor, CursorWalkHandsRightAtTheEndOnToTheNextCell)
{
    Grid->GetNavigation()->SetCursorWalkEditor(true);
    Grid->SetCells(2, 1, u"next");
    TLumInplaceEdit* E = Edit(1, 1, u"ab", 1);
    ASSERT_NE(E, nullptr);
    // Inside the text Right moves the caret.
    Headless::Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(E->GetSelStart(), 2);
    Headless::Type(u"c");
    Pump();
    // At the end it validates and edits the next cell.
    Headless::Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(U8(Grid->GetCells(1, 1)), "abc");
    ASSERT_FALSE(Grid->Validated.empty());
    EXPECT_EQ(U8(Grid->Validated.back()), "abc");
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 1);
    EXPECT_TRUE(Grid->GetEditorMode());
    EXPECT_EQ(U8(E->GetText()), "next");

    // Left at the start walks back.
    E->SetSel(0, 0);
    Headless::Key(VK_LEFT);
    Pump();
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_TRUE(Grid->GetEditorMode());
}

TEST_F(TextEditor, CursorWalkStaysWhenValidationRefuses)
{
    Grid->GetNavigation()->SetCursorWalkEditor(true);
    TLumInplaceEdit* E = Edit(1, 1, u"ab");
    ASSERT_NE(E, nullptr);
    Grid->Refuse = true;
    Headless::Key(VK_RIGHT);
    Pump();
    EXPECT_EQ(Grid->GetCol(), 1);
    EXPECT_EQ(U8(E->GetText()), "ab");
    EXPECT_EQ(E->GetSelLength(), 2);
}

TEST_F(TextEditor, LookupCompletesTheTypedStartAndSelectsTheRest)
{
    Grid->SetLookup(true);
    const String Long = u"x" + String(300, u'y');
    Grid->GetLookupItems()->Add(u"Banana");
    Grid->GetLookupItems()->Add(u"Apple");
    Grid->GetLookupItems()->Add(Long);
    TLumInplaceEdit* E = Edit(1, 1, u"");
    ASSERT_NE(E, nullptr);
    Headless::Type(u"ap");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "apple");
    EXPECT_EQ(E->GetSelStart(), 2);
    EXPECT_EQ(E->GetSelLength(), 3);

    // Backspace takes the completion back and completes nothing.
    Headless::Key(VK_BACK);
    Pump();
    EXPECT_EQ(U8(E->GetText()), "ap");

    // A long item is completed whole.
    E->SetText(u"");
    Headless::Type(u"x");
    Pump();
    EXPECT_EQ(E->GetText().size(), Long.size());
    EXPECT_EQ(E->GetSelLength(), int(Long.size()) - 1);

    // With LookupCaseSensitive "ap" is no start of "Apple".
    Grid->SetLookupCaseSensitive(true);
    E->SetText(u"");
    Headless::Type(u"ap");
    Pump();
    EXPECT_EQ(U8(E->GetText()), "ap");
}

TEST_F(TextEditor, LosingTheFocusValidatesAndStores)
{
    TLumInplaceEdit* E = Edit(1, 1, u"old");
    ASSERT_NE(E, nullptr);
    E->SelectAll();
    Headless::Type(u"new");
    Pump();
    Other->SetFocus();
    Pump();
    ASSERT_EQ(Grid->Validated.size(), 1u);
    EXPECT_EQ(U8(Grid->Validated[0]), "new");
    EXPECT_EQ(U8(Grid->GetCells(1, 1)), "new");
    EXPECT_FALSE(Grid->GetEditorMode());
    EXPECT_FALSE(E->GetVisible());
    // The focus stays with the control that took it.
    EXPECT_TRUE(Other->Focused());
}

TEST_F(TextEditor, LosingTheFocusWithARefusedTextKeepsTheOldText)
{
    TLumInplaceEdit* E = Edit(1, 1, u"old");
    ASSERT_NE(E, nullptr);
    // Refused by the application: the grid's validation puts the old text
    // back.
    Grid->OnCellValidate = [](TObject*, int, int, String&, bool& Valid) { Valid = false; };
    E->SelectAll();
    Headless::Type(u"bad");
    Pump();
    Other->SetFocus();
    Pump();
    ASSERT_FALSE(Grid->Validated.empty());
    EXPECT_EQ(U8(Grid->Validated[0]), "bad");
    EXPECT_EQ(U8(Grid->GetCells(1, 1)), "old");
    EXPECT_FALSE(Grid->GetEditorMode());
}

TEST_F(TextEditor, EditChangeFiresForTheUsersTypingOnly)
{
    std::vector<String> Changes;
    Grid->OnEditChange = [&](TObject*, int ACol, int ARow, const String& Value) {
        EXPECT_EQ(ACol, 1);
        EXPECT_EQ(ARow, 1);
        Changes.push_back(Value);
    };
    TLumInplaceEdit* E = Edit(1, 1, u"ab");
    ASSERT_NE(E, nullptr);
    EXPECT_TRUE(Changes.empty()); // loading the cell is no change
    Headless::Type(u"c");
    Pump();
    ASSERT_EQ(Changes.size(), 1u);
    EXPECT_EQ(U8(Changes[0]), "abc");
}

TEST_F(TextEditor, TakesTheCellsLookAndAsksForEditorPropertiesOnce)
{
    std::vector<std::pair<int, int>> Asked;
    Grid->OnGetEditorProp = [&](TObject*, int ACol, int ARow, TEditLink* Link) {
        EXPECT_EQ(Link, nullptr);
        Asked.emplace_back(ACol, ARow);
    };
    Grid->SetColors(2, 3, clRed);
    TLumInplaceEdit* E = Edit(2, 3, u"x");
    ASSERT_NE(E, nullptr);
    EXPECT_EQ(E->GetColor(), clRed);
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0], std::make_pair(2, 3));
    // Placed on the cell, inside its grid lines.
    const TRect R = Grid->CellRect(2, 3);
    EXPECT_EQ(E->GetLeft(), R.Left);
    EXPECT_EQ(E->GetTop(), R.Top);
    EXPECT_EQ(E->GetWidth(), R.Width() - 1);
    EXPECT_EQ(E->GetHeight(), R.Height() - 1);
}

TEST_F(TextEditor, DoubleClickReachesTheGridsEvent)
{
    std::vector<std::pair<int, int>> Clicked;
    Grid->OnDblClickCell = [&](TObject*, int ARow, int ACol) { Clicked.emplace_back(ARow, ACol); };
    TLumInplaceEdit* E = Edit(2, 3, u"word");
    ASSERT_NE(E, nullptr);
    Headless::DoubleClick(E->ClientToScreen({ 5, 5 }));
    Pump();
    ASSERT_EQ(Clicked.size(), 1u);
    EXPECT_EQ(Clicked[0], std::make_pair(3, 2));
}

TEST_F(TextEditor, DownInTheLastRowAppendsARowUnderAppendOnArrowDown)
{
    Grid->GetNavigation()->SetAppendOnArrowDown(true);
    TLumInplaceEdit* E = Edit(1, 9, u"last");
    ASSERT_NE(E, nullptr);
    Headless::Type(u"!");
    Headless::Key(VK_DOWN);
    Pump();
    EXPECT_EQ(Grid->GetRowCount(), 11);
    EXPECT_EQ(Grid->GetRow(), 10);
    EXPECT_EQ(U8(Grid->GetCells(1, 9)), "last!");
    EXPECT_FALSE(Grid->GetEditorMode());
}

TEST_F(TextEditor, AFilledTextMovesOnOnceUnderAdvanceAuto)
{
    Grid->GetNavigation()->SetAdvanceAuto(true);
    Grid->SetMaxEditLength(2);
    TLumInplaceEdit* E = Edit(1, 1, u"");
    ASSERT_NE(E, nullptr);
    Headless::Type(u"ab");
    Pump();
    EXPECT_EQ(U8(Grid->GetCells(1, 1)), "ab");
    EXPECT_EQ(Grid->GetCol(), 2);
    EXPECT_EQ(Grid->GetRow(), 1);
}

TEST_F(TextEditor, UpAndDownAtTheTextsEdgesValidateAndLeave)
{
    struct Case {
        WORD Key;
        const char16_t* Text;
        int Caret;
        int Row;       // focus row after the key
        bool Validated;
    };
    const Case Cases[] = {
        { VK_DOWN, u"ab", 2, 3, true },
        { VK_UP, u"ab", 0, 1, true },
        { VK_DOWN, u"a\r\nb", 0, 2, false }, // to the next line of the text
        { VK_UP, u"a\r\nb", 4, 2, false },
    };
    for (const Case& c : Cases) {
        SCOPED_TRACE(U8(c.Text) + " key " + std::to_string(c.Key));
        Grid->Validated.clear();
        TLumInplaceEdit* E = Edit(1, 2, c.Text, c.Caret);
        ASSERT_NE(E, nullptr);
        Headless::Key(c.Key);
        Pump();
        EXPECT_EQ(Grid->GetRow(), c.Row);
        EXPECT_EQ(!Grid->Validated.empty(), c.Validated);
        if (c.Validated)
            EXPECT_EQ(U8(Grid->Validated.back()), U8(c.Text));
        EXPECT_EQ(U8(Grid->GetCells(1, 2)), U8(c.Text));
        Grid->HideInplaceEdit();
        Pump();
    }
}
