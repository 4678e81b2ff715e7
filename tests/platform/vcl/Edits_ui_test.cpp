#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// An edit whose subclass drops pastes and turns typed 'x' into 'y', the way
// the grid's editors filter input before the edit sees it.
class TFilteringEdit : public TEdit {
public:
    using TEdit::TEdit;
    int Pastes { 0 };
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_PASTE) {
            ++Pastes;
            return;
        }
        if (m.Msg == WM_CHAR && m.WParam == u'x')
            m.WParam = u'y';
        TEdit::Dispatch(m);
    }
};

// A container that records the edit notifications its children send.
class TListeningPanel : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<WORD> Codes;
    void Dispatch(TMessage& m) override
    {
        if (m.Msg == WM_COMMAND)
            Codes.push_back(HIWORD(m.WParam));
        TCustomControl::Dispatch(m);
    }
};

class EditUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        Application->OnException = nullptr;
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        form->SetPosition(poDesigned);
    }
    void TearDown() override
    {
        form.reset();
        TStyleManager::SetStyle(u"Windows");
    }
    static void Pump() { Application->ProcessMessages(); }
    template <typename T>
    T* Make(TRect bounds)
    {
        T* c = new T(form.get());
        c->SetBoundsRect(bounds);
        c->SetParent(form.get());
        return c;
    }
    void ShowAndFocus(TWinControl* c)
    {
        form->Show();
        Pump();
        c->SetFocus();
        Pump();
    }
    static void Key(WORD vk, bool shift = false, bool ctrl = false)
    {
        Headless::Key(vk, shift, ctrl);
        Pump();
    }
    static void Type(const String& s)
    {
        Headless::Type(s);
        Pump();
    }
    static std::uint32_t PixelAt(TControl* c, TPoint client)
    {
        Pump();
        return Headless::ScreenPixel(c->ClientToScreen(client)) & 0xFFFFFF;
    }

    THeadlessSession session;
    std::unique_ptr<TForm> form;
};

// A colour as a screen pixel reads it (red in the high byte).
std::uint32_t Screen(TColor c)
{
    const std::uint32_t v = std::uint32_t(ColorToRGB(c));
    return ((v & 0xFF) << 16) | (v & 0xFF00) | ((v >> 16) & 0xFF);
}

// One keyboard step: typed text, or a key with modifiers.
struct TStroke {
    const char16_t* Text;
    WORD Vk;
    bool Shift;
    bool Ctrl;
};
constexpr TStroke T(const char16_t* s) { return { s, 0, false, false }; }
constexpr TStroke K(WORD vk, bool shift = false, bool ctrl = false) { return { nullptr, vk, shift, ctrl }; }

TEST_F(EditUi, KeysEditTextAndMoveCaretAndSelection)
{
    struct TCase {
        const char* Name;
        const char16_t* Start;
        int SelStart;
        int SelLength;
        std::vector<TStroke> Strokes;
        const char16_t* Text;
        int ExpSelStart;
        int ExpSelLength;
    };
    const TCase cases[] = {
        { "type at caret", u"held", 2, 0, { T(u"xy") }, u"hexyld", 4, 0 },
        { "typing replaces selection", u"hello", 1, 3, { T(u"E") }, u"hEo", 2, 0 },
        { "backspace and delete", u"abcd", 2, 0, { K(VK_BACK), K(VK_DELETE) }, u"ad", 1, 0 },
        { "backspace deletes selection only", u"abcd", 1, 2, { K(VK_BACK) }, u"ad", 1, 0 },
        { "shift+home selects to start", u"abcd", 3, 0, { K(VK_HOME, true) }, u"abcd", 0, 3 },
        { "shift+end then type", u"abcd", 1, 0, { K(VK_END, true), T(u"Z") }, u"aZ", 2, 0 },
        { "left collapses a selection at its start", u"abcd", 1, 2, { K(VK_LEFT) }, u"abcd", 1, 0 },
        { "ctrl+left jumps a word", u"one two three", 13, 0, { K(VK_LEFT, false, true) }, u"one two three", 8, 0 },
        { "ctrl+right jumps a word", u"one two", 0, 0, { K(VK_RIGHT, false, true) }, u"one two", 4, 0 },
        { "ctrl+shift+left selects a word", u"one two", 7, 0, { K(VK_LEFT, true, true) }, u"one two", 4, 3 },
        { "ctrl+a selects all", u"abc", 1, 0, { K('A', false, true) }, u"abc", 0, 3 },
        { "ctrl+backspace deletes a word", u"one two", 7, 0, { K(VK_BACK, false, true) }, u"one ", 4, 0 },
        { "ctrl+z undoes a typed run at once", u"ab", 2, 0, { T(u"cde"), K('Z', false, true) }, u"ab", 2, 3 - 3 },
        { "ctrl+z twice redoes", u"ab", 2, 0, { T(u"cd"), K('Z', false, true), K('Z', false, true) }, u"abcd", 2, 2 },
        { "undo restores a deleted selection", u"abcdef", 1, 3, { K(VK_DELETE), K('Z', false, true) }, u"abcdef", 1, 3 },
        { "cut then paste moves text", u"abcdef", 0, 2, { K('X', false, true), K(VK_END), K('V', false, true) }, u"cdefab", 6, 0 },
        { "copy and paste over a selection", u"ab", 0, 1, { K('C', false, true), K(VK_RIGHT), K(VK_END, true), K('V', false, true) }, u"aa", 2, 0 },
        { "up and down act as left and right", u"abc", 1, 0, { K(VK_DOWN), K(VK_DOWN), K(VK_UP) }, u"abc", 2, 0 },
        { "a surrogate pair is one step", u"a\U0001F600b", 3, 0, { K(VK_LEFT), K(VK_BACK) }, u"\U0001F600b", 0, 0 },
    };
    TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
    ShowAndFocus(e);
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        e->SetText(c.Start);
        e->ClearUndo();
        e->SetSel(c.SelStart, c.SelStart + c.SelLength);
        for (const TStroke& s : c.Strokes)
            s.Text ? Type(s.Text) : Key(s.Vk, s.Shift, s.Ctrl);
        EXPECT_EQ(StringToUtf8(e->GetText()), StringToUtf8(c.Text));
        EXPECT_EQ(e->GetSelStart(), c.ExpSelStart);
        EXPECT_EQ(e->GetSelLength(), c.ExpSelLength);
    }
}

TEST_F(EditUi, PropertiesRestrictWhatTheUserCanEnter)
{
    struct TCase {
        const char* Name;
        std::function<void(TEdit*)> Setup;
        const char16_t* Typed;
        const char16_t* Text;
        bool Beeped;
    };
    const TCase cases[] = {
        { "max length cuts typing", [](TEdit* e) { e->SetMaxLength(4); }, u"abcdef", u"abcd", true },
        { "read-only ignores typing", [](TEdit* e) { e->SetReadOnly(true); }, u"ab", u"", true },
        { "numbers only drops letters", [](TEdit* e) { e->SetNumbersOnly(true); }, u"1a2", u"12", true },
        { "upper case converts", [](TEdit* e) { e->SetCharCase(ecUpperCase); }, u"abç", u"ABÇ", false },
        { "lower case converts", [](TEdit* e) { e->SetCharCase(ecLowerCase); }, u"AbC", u"abc", false },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
        c.Setup(e);
        ShowAndFocus(e);
        session.Backend().ClearRecords();
        Type(c.Typed);
        EXPECT_EQ(StringToUtf8(e->GetText()), StringToUtf8(c.Text));
        EXPECT_EQ(!session.Backend().GetBeeps().empty(), c.Beeped);
        delete e;
    }
}

TEST_F(EditUi, MaxLengthLimitsPastesButNotText)
{
    TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
    ShowAndFocus(e);
    e->SetMaxLength(5);
    e->SetText(u"1234567");
    EXPECT_EQ(e->GetText(), u"1234567"); // code may exceed the limit
    e->SetText(u"ab");
    e->SelectAll();
    e->CopyToClipboard();
    e->SetText(u"xyz");
    e->SetSelStart(3);
    Key('V', false, true); // "ab" fits
    Key('V', false, true); // no room left
    EXPECT_EQ(e->GetText(), u"xyzab");
}

TEST_F(EditUi, OneChangeNotificationPerChangeReachesTheParentAndOnChange)
{
    TListeningPanel* panel = Make<TListeningPanel>({ 0, 0, 300, 100 });
    auto* e = new TEdit(form.get());
    e->SetBounds(10, 10, 200, 21);
    e->SetParent(panel);
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    ShowAndFocus(e);

    struct TStep {
        const char* Name;
        std::function<void()> Do;
        int Changes;
    };
    const TStep steps[] = {
        { "three typed characters", [] { Type(u"abc"); }, 3 },
        { "setting the same text", [&] { e->SetText(u"abc"); }, 0 },
        { "setting new text", [&] { e->SetText(u"hello"); }, 1 },
        { "selection moves", [&] { e->SetSel(0, 2); Key(VK_RIGHT, true); }, 0 },
        { "a cut", [] { Key('X', false, true); }, 1 },
        { "a paste", [] { Key('V', false, true); }, 1 },
        { "an undo", [] { Key('Z', false, true); }, 1 },
        { "backspace at the start", [&] { e->SetSelStart(0); Key(VK_BACK); }, 0 },
        { "SelText by code", [&] { e->SetSelText(u"--"); }, 1 },
    };
    for (const TStep& s : steps) {
        SCOPED_TRACE(s.Name);
        changes = 0;
        panel->Codes.clear();
        s.Do();
        EXPECT_EQ(changes, s.Changes);
        EXPECT_EQ(std::count(panel->Codes.begin(), panel->Codes.end(), EN_CHANGE), s.Changes);
    }
}

TEST_F(EditUi, ASubclassInterceptsClipboardAndCharacterMessages)
{
    auto* e = Make<TFilteringEdit>({ 10, 10, 210, 31 });
    ShowAndFocus(e);
    Type(u"axb");
    EXPECT_EQ(e->GetText(), u"ayb");
    e->SelectAll();
    Key('C', false, true);
    Key(VK_END);
    Key('V', false, true);
    Key(VK_INSERT, true);
    e->PasteFromClipboard();
    EXPECT_EQ(e->Pastes, 3);
    EXPECT_EQ(e->GetText(), u"ayb");
}

TEST_F(EditUi, MouseClickDragAndDoubleClickSelect)
{
    TEdit* e = Make<TEdit>({ 10, 10, 310, 31 });
    e->SetText(u"alpha beta gamma");
    form->Show();
    Pump();
    auto at = [&](int index) {
        const TPoint p = e->PosFromChar(index);
        return e->ClientToScreen({ p.X, p.Y + 4 });
    };
    Headless::Click(at(6));
    Pump();
    EXPECT_TRUE(e->Focused());
    EXPECT_EQ(e->GetSelStart(), 6); // a click places the caret; no auto-select
    EXPECT_EQ(e->GetSelLength(), 0);

    Headless::Drag(at(2), at(9));
    Pump();
    EXPECT_EQ(e->GetSelStart(), 2);
    EXPECT_EQ(e->GetSelLength(), 7);

    Headless::DoubleClick(at(8));
    Pump();
    EXPECT_EQ(e->GetSelText(), u"beta ");
}

TEST_F(EditUi, ANewWindowKeepsTextSelectionAndStyles)
{
    TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
    e->SetText(u"keep me");
    e->SetReadOnly(true);
    e->SetAlignment(taRightJustify);
    e->SetSel(2, 4);
    HWND before = e->GetHandle();
    e->SetBorderStyle(bsNone); // builds a new window
    EXPECT_NE(e->GetHandle(), before);
    EXPECT_EQ(e->GetText(), u"keep me");
    EXPECT_EQ(e->GetSelStart(), 2);
    EXPECT_EQ(e->GetSelLength(), 2);
    const DWORD style = DWORD(GetWindowLong(e->GetHandle(), GWL_STYLE));
    EXPECT_NE(style & ES_READONLY, 0u);
    EXPECT_NE(style & ES_RIGHT, 0u);
    EXPECT_EQ(GetWindowLong(e->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
}

TEST_F(EditUi, AutoSizeFollowsTheFontHeight)
{
    TEdit* e = Make<TEdit>({ 10, 10, 210, 60 });
    e->GetFont()->SetSize(8);
    const int small = e->GetHeight();
    e->GetFont()->SetSize(20);
    EXPECT_GT(e->GetHeight(), small + 10);
    e->SetAutoSize(false);
    e->SetHeight(50);
    e->GetFont()->SetSize(8);
    EXPECT_EQ(e->GetHeight(), 50);
}

TEST_F(EditUi, TabFocusSelectsAllWhenAutoSelect)
{
    TEdit* a = Make<TEdit>({ 10, 10, 210, 31 });
    TEdit* b = Make<TEdit>({ 10, 40, 210, 61 });
    b->SetText(u"select me");
    ShowAndFocus(a);
    Key(VK_TAB);
    ASSERT_TRUE(b->Focused());
    EXPECT_EQ(b->GetSelLength(), 9);
}

TEST_F(EditUi, EditMessagesAnswerAsTheCallersExpect)
{
    TMemo* m = Make<TMemo>({ 10, 10, 310, 200 });
    m->SetWordWrap(false);
    m->SetText(u"first\r\nsecond line\r\nthird");
    form->Show();
    Pump();
    struct TCase {
        const char* Name;
        UINT Msg;
        WPARAM W;
        LPARAM L;
        LRESULT Result;
    };
    const TCase cases[] = {
        { "line count", EM_GETLINECOUNT, 0, 0, 3 },
        { "line of a char", EM_LINEFROMCHAR, 9, 0, 1 },
        { "line of a char in a break", EM_LINEFROMCHAR, 6, 0, 0 },
        { "line index", EM_LINEINDEX, 2, 0, 20 },
        { "line index beyond", EM_LINEINDEX, 3, 0, -1 },
        { "line length", EM_LINELENGTH, 8, 0, 11 },
        { "can undo after text set", EM_CANUNDO, 0, 0, 0 },
        { "text length", WM_GETTEXTLENGTH, 0, 0, 25 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(m->Perform(c.Msg, c.W, c.L), c.Result);
    }

    m->Perform(EM_SETSEL, 3, 12);
    DWORD a = 0, b = 0;
    m->Perform(EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(a, 3u);
    EXPECT_EQ(b, 12u);
    EXPECT_EQ(m->GetSelText(), u"st\r\nsecon");
    m->Perform(EM_SETSEL, 0, -1);
    EXPECT_EQ(m->GetSelLength(), 25);

    const RECT want = TRect(5, 7, 200, 150);
    m->Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&want));
    RECT got {};
    m->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&got));
    EXPECT_EQ(TRect(got), TRect(want));
    // Positions and hit tests agree, and start at the formatting rectangle.
    for (int index : { 0, 3, 9, 20, 25 }) {
        SCOPED_TRACE(index);
        const LRESULT pos = m->Perform(EM_POSFROMCHAR, WPARAM(index));
        const int x = GET_X_LPARAM(pos), y = GET_Y_LPARAM(pos);
        EXPECT_GE(x, 5);
        EXPECT_GE(y, 7);
        const LRESULT hit = m->Perform(EM_CHARFROMPOS, 0, MAKELPARAM(WORD(x + 1), WORD(y + 2)));
        EXPECT_EQ(LOWORD(std::uintptr_t(hit)), index);
    }
    m->Perform(EM_SETREADONLY, 1);
    EXPECT_TRUE(m->GetReadOnly());
    m->Perform(EM_LIMITTEXT, 7);
    EXPECT_EQ(m->GetMaxLength(), 7);
}

TEST_F(EditUi, PasswordCharHidesTextAndForbidsCopying)
{
    TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
    e->Perform(EM_SETPASSWORDCHAR, u'*');
    EXPECT_EQ(e->GetPasswordChar(), u'*');
    EXPECT_NE(GetWindowLong(e->GetHandle(), GWL_STYLE) & ES_PASSWORD, 0);
    ShowAndFocus(e);
    Type(u"iiii");
    // Four stars are wider than four narrow letters.
    EXPECT_GT(e->PosFromChar(4).X - e->PosFromChar(0).X, 14);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    e->SelectAll();
    Key('C', false, true);
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_EQ(e->GetText(), u"iiii");
}

TEST_F(EditUi, StylesFromCreateParamsRuleTheEdit)
{
    // A subclass turns a plain edit into a right-aligned multi-line one.
    class TStyled : public TEdit {
    public:
        using TEdit::TEdit;
        void CreateParams(TCreateParams& p) override
        {
            TEdit::CreateParams(p);
            p.Style |= ES_MULTILINE | ES_RIGHT | ES_WANTRETURN;
            p.Style &= ~ES_AUTOHSCROLL;
        }
    };
    auto* e = Make<TStyled>({ 10, 10, 210, 80 });
    ShowAndFocus(e);
    Type(u"ab");
    Key(VK_RETURN);
    Type(u"c");
    EXPECT_EQ(e->GetText(), u"ab\r\nc");
    EXPECT_EQ(e->Perform(EM_GETLINECOUNT), 2);
    EXPECT_GT(e->PosFromChar(0).X, 100); // right-aligned
}

TEST_F(EditUi, BalloonTipShowsUntilTyping)
{
    TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
    ShowAndFocus(e);
    EDITBALLOONTIP tip;
    tip.pszTitle = u"Wrong";
    tip.pszText = u"Digits only";
    tip.ttiIcon = TTI_ERROR;
    EXPECT_EQ(e->Perform(EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip)), TRUE);
    EXPECT_TRUE(e->BalloonShowing());
    EXPECT_EQ(e->GetBalloonText(), u"Digits only");
    Type(u"1");
    EXPECT_FALSE(e->BalloonShowing());
}

TEST_F(EditUi, PaintsTextSelectionHintAndStyleColours)
{
    TEdit* e = Make<TEdit>({ 10, 10, 210, 31 });
    TEdit* other = Make<TEdit>({ 10, 40, 210, 61 });
    e->SetTextHint(u"WWWW");
    form->Show();
    other->SetFocus();
    Pump();
    const TPoint inside { 150, 8 };
    EXPECT_EQ(PixelAt(e, inside), 0xFFFFFFu); // clWindow, classic

    // The hint shows in grey while the edit is empty and unfocused.
    auto darkest = [&](TControl* c, int from, int to) {
        std::uint32_t best = 0xFFFFFF;
        for (int x = from; x < to; ++x)
            for (int y = 2; y < 16; ++y)
                best = std::min(best, PixelAt(c, { x, y }) & 0xFF);
        return best;
    };
    EXPECT_LT(darkest(e, 2, 40), 0xF0u);
    EXPECT_GT(darkest(e, 2, 40), 0x40u);

    e->SetText(u"WWWW");
    e->SetFocus();
    e->SelectAll();
    Pump();
    const int mid = (e->PosFromChar(0).X + e->PosFromChar(1).X) / 2;
    // Selected text stands on the highlight colour.
    bool highlight = false;
    for (int y = 2; y < 16; ++y)
        highlight = highlight || PixelAt(e, { mid, y }) == Screen(clHighlight);
    EXPECT_TRUE(highlight);
    other->SetFocus();
    Pump();
    EXPECT_NE(PixelAt(e, { mid, 3 }), Screen(clHighlight)); // hidden without focus

    const TPoint frame { -2, -2 }; // the window's top-left corner
    const std::uint32_t classicFrame = PixelAt(e, frame);

    ASSERT_TRUE(TStyleManager::TrySetStyle(u"Cyan Night", false));
    Pump();
    const TColor styled = StyleServices()->GetSystemColor(clWindow);
    EXPECT_EQ(PixelAt(e, inside), Screen(styled));
    EXPECT_NE(PixelAt(e, inside), 0xFFFFFFu);
    TColor border = StyleServices()->GetStyleColor(scBorder);
    StyleServices()->GetElementColor(StyleServices()->GetElementDetails(teEditBorderNoScrollNormal), ecBorderColor, border);
    EXPECT_EQ(PixelAt(e, frame), Screen(border));
    EXPECT_NE(PixelAt(e, frame), classicFrame);
}

TEST_F(EditUi, ButtonedEditButtonsClickAndNarrowTheText)
{
    auto* images = new TImageList(form.get());
    TBitmap bmp;
    bmp.SetSize(16, 16);
    bmp.GetCanvas()->GetBrush()->SetColor(clRed);
    bmp.GetCanvas()->FillRect(TRect(0, 0, 16, 16));
    images->Add(&bmp, nullptr);
    auto* e = Make<TButtonedEdit>({ 10, 10, 210, 31 });
    e->SetImages(images);
    e->GetRightButton()->SetImageIndex(0);
    e->GetRightButton()->SetVisible(true);
    int rightClicks = 0;
    e->OnRightButtonClick = [&](TObject*) { ++rightClicks; };
    e->SetText(u"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    form->Show();
    Pump();
    const TRect r = e->ButtonRect(e->GetRightButton());
    ASSERT_FALSE(r.IsEmpty());
    EXPECT_EQ(PixelAt(e, { (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2 }), 0xFF0000u);
    e->SetSel(1, 1);
    Headless::Click(e->ClientToScreen({ (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2 }));
    Pump();
    EXPECT_EQ(rightClicks, 1);
    EXPECT_EQ(e->GetSelStart(), 1); // the click did not reach the text
    // The text area stops before the button.
    RECT fr {};
    e->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
    EXPECT_LE(fr.Right, r.Left);
}

} // namespace

namespace {

TEST_F(EditUi, MemoKeysWorkOnLinesAndRows)
{
    TMemo* m = Make<TMemo>({ 10, 10, 310, 200 });
    m->SetWordWrap(false);
    int changes = 0;
    m->OnChange = [&](TObject*) { ++changes; };
    ShowAndFocus(m);
    Type(u"abcdef");
    Key(VK_RETURN);
    Type(u"xy");
    Key(VK_RETURN);
    Type(u"123456789");
    EXPECT_EQ(m->GetText(), u"abcdef\r\nxy\r\n123456789");
    EXPECT_EQ(changes, 19);
    EXPECT_EQ(m->GetLines()->GetCount(), 3);

    struct TStep {
        WORD Vk;
        bool Shift;
        bool Ctrl;
        TPoint Caret;
    };
    const TStep steps[] = {
        { VK_UP, false, false, { 2, 1 } },   // a shorter line takes the caret to its end
        { VK_UP, false, false, { 2, 0 } },   // the column comes from the position
        { VK_END, false, false, { 6, 0 } },
        { VK_RIGHT, false, false, { 0, 1 } }, // over the line break
        { VK_LEFT, false, false, { 6, 0 } },
        { VK_DOWN, false, false, { 2, 1 } },
        { VK_END, false, true, { 9, 2 } },
        { VK_HOME, false, false, { 0, 2 } },
        { VK_HOME, false, true, { 0, 0 } },
    };
    m->SetCaretPos({ 9, 2 });
    for (const TStep& s : steps) {
        SCOPED_TRACE(std::to_string(s.Vk));
        Key(s.Vk, s.Shift, s.Ctrl);
        EXPECT_EQ(m->GetCaretPos(), s.Caret);
    }
    // Backspace at a line start joins the lines.
    m->SetCaretPos({ 0, 1 });
    Key(VK_BACK);
    EXPECT_EQ(m->GetLines()->GetStrings(0), u"abcdefxy");
    EXPECT_EQ(m->GetLines()->GetCount(), 2);
}

TEST_F(EditUi, MemoReturnsAndTabsGoWhereTheSettingsSay)
{
    TMemo* m = Make<TMemo>({ 10, 10, 310, 100 });
    TEdit* next = Make<TEdit>({ 10, 120, 210, 141 });
    auto* ok = Make<TButton>({ 220, 120, 300, 145 });
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    ShowAndFocus(m);

    Key(VK_RETURN);
    Key(VK_TAB);
    EXPECT_EQ(m->GetText(), u"\r\n");
    EXPECT_TRUE(next->Focused()); // Tab left the memo
    EXPECT_EQ(clicks, 0);

    m->SetWantTabs(true);
    m->SetWantReturns(false);
    m->SetFocus();
    Pump();
    m->SetSel(-1, -1);
    Key(VK_TAB);
    EXPECT_TRUE(m->Focused());
    Key(VK_RETURN);
    EXPECT_EQ(m->GetText(), u"\r\n\t");
    EXPECT_EQ(clicks, 1); // Enter reached the default button
}

TEST_F(EditUi, MemoWrapsWordsIntoRowsWithoutChangingLines)
{
    TMemo* m = Make<TMemo>({ 10, 10, 150, 200 });
    m->SetText(u"the quick brown fox jumps over the lazy dog again and again");
    form->Show();
    Pump();
    const LRESULT rows = m->Perform(EM_GETLINECOUNT);
    EXPECT_GT(rows, 2);
    EXPECT_EQ(m->GetLines()->GetCount(), 1);
    // Rows break after blanks and every row fits the width.
    RECT fr {};
    m->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&fr));
    for (int r = 1; r < rows; ++r) {
        SCOPED_TRACE(r);
        const int start = int(m->Perform(EM_LINEINDEX, WPARAM(r)));
        EXPECT_EQ(m->GetText()[std::size_t(start - 1)], u' ');
        const int len = int(m->Perform(EM_LINELENGTH, WPARAM(start)));
        EXPECT_LE(GET_X_LPARAM(m->Perform(EM_POSFROMCHAR, WPARAM(start + len - 1))), fr.Right);
    }
    m->SetWordWrap(false);
    EXPECT_EQ(m->Perform(EM_GETLINECOUNT), 1);
}

TEST_F(EditUi, MemoScrollsToAddedLinesAndFollowsItsScrollBar)
{
    TMemo* m = Make<TMemo>({ 10, 10, 310, 120 });
    m->SetWordWrap(false);
    m->SetScrollBars(ssBoth);
    form->Show();
    Pump();
    for (int i = 0; i < 100; ++i)
        m->GetLines()->Add(Utf8ToString("line " + std::to_string(i)));
    Pump();
    const int top = int(m->Perform(EM_GETFIRSTVISIBLELINE));
    EXPECT_GT(top, 80); // the last line added is in view
    EXPECT_LE(top, 100);

    // The vertical bar is a child at the right edge; moving it scrolls.
    TScrollBar* bar = nullptr;
    for (int i = 0; i < m->GetControlCount(); ++i)
        if (auto* b = dynamic_cast<TScrollBar*>(m->GetControl(i)); b && b->GetKind() == sbVertical)
            bar = b;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetPosition(), top);
    EXPECT_EQ(bar->GetLeft() + bar->GetWidth(), m->GetClientWidth());
    bar->SetPosition(10);
    EXPECT_EQ(m->Perform(EM_GETFIRSTVISIBLELINE), 10);
    // Text starts left of the bar; the wheel scrolls three rows a notch.
    Headless::Wheel(-WHEEL_DELTA, m->ClientToScreen({ 50, 50 }));
    Pump();
    EXPECT_EQ(m->Perform(EM_GETFIRSTVISIBLELINE), 13);
    EXPECT_EQ(bar->GetPosition(), 13);
}

} // namespace
