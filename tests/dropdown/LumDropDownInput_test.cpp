#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "dropdown/LumDropDownInput.h"
#include "platform/win/WinUser.h"
#include "tests/grid/core/LocaleGuard.h"

using namespace LumDropDown;

namespace {

// A single-line edit as the rules see it: text, selection, modified flags,
// the announcements of text changes, and what the rules asked of the edit
// around them.
struct Model : IDropDownInputHost {
    TInputSettings S;
    String Text;
    int Anchor { 0 }, Caret { 0 };
    bool WinModified { false }, Modified { false }, Block { false };
    int Announced { 0 }, Swallowed { 0 }, Changes { 0 }, KeyPresses { 0 };
    bool Dropped { false };
    std::vector<String> DropDownCalls;
    std::vector<std::pair<UINT, WORD>> ParentPosts;
    std::vector<WORD> SelfPosts;
    std::set<int> Held;
    double DefaultValue { 0 };

    explicit Model(TInputSettings Settings = {}) : S(std::move(Settings)) { }

    void Put(const String& T, int A, int C)
    {
        Text = T;
        Anchor = A;
        Caret = C;
    }
    void Announce()
    {
        if (Block) {
            Block = false;
            ++Swallowed;
        } else {
            ++Announced;
        }
    }
    void Replace(int From, int To, const String& By)
    {
        Text = Text.substr(0, std::size_t(From)) + By + Text.substr(std::size_t(To));
        Anchor = Caret = From + int(By.size());
        WinModified = true;
        Announce();
    }

    String WindowText() override { return Text; }
    void SetWindowText(const String& T) override
    {
        if (T == Text)
            return;
        Text = T;
        Announce();
    }
    int SelStart() override { return std::min(Anchor, Caret); }
    int SelLength() override { return std::abs(Caret - Anchor); }
    void SetSel(int A, int C) override
    {
        const int N = int(Text.size());
        Anchor = std::clamp(A, 0, N);
        Caret = std::clamp(C, 0, N);
    }
    bool WindowModified() override { return WinModified; }
    bool IsModified() override { return Modified; }
    void SetModifiedFlag(bool V) override
    {
        if (!S.EditorEnabled || S.ReadOnly)
            return;
        WinModified = Modified = V;
    }
    void SetText(const String& V) override
    {
        SetWindowText(S.Prefix + FormatValueText(S, V) + S.Suffix);
        Anchor = Caret = 0;
        SetModifiedFlag(false);
    }
    void DefaultKeyDown(WORD& Key) override
    {
        const bool Shift = Held.count(VK_SHIFT) > 0;
        auto Move = [&](int To) {
            Caret = std::clamp(To, 0, int(Text.size()));
            if (!Shift)
                Anchor = Caret;
        };
        switch (Key) {
        case VK_LEFT: Move(Caret - 1); break;
        case VK_RIGHT: Move(Caret + 1); break;
        case VK_HOME: Move(0); break;
        case VK_END: Move(int(Text.size())); break;
        case VK_DELETE:
            if (SelLength())
                Replace(SelStart(), SelStart() + SelLength(), String());
            else if (Caret < int(Text.size()))
                Replace(Caret, Caret + 1, String());
            break;
        default: break;
        }
    }
    void DefaultChar(Char& Ch) override
    {
        if (Ch == 8) {
            if (SelLength())
                Replace(SelStart(), SelStart() + SelLength(), String());
            else if (Caret > 0)
                Replace(Caret - 1, Caret, String());
        } else if (Ch >= 0x20) {
            // As the drop-down edit does it: typing over the whole value is
            // a deletion and an insertion, each announced.
            if (Block && SelLength())
                Replace(SelStart(), SelStart() + SelLength(), String());
            Replace(SelStart(), SelStart() + SelLength(), String(1, Ch));
        }
    }
    bool KeyHeld(int Vk) override { return Held.count(Vk) > 0; }
    bool DroppedDown() override { return Dropped; }
    void ShowDropDown() override
    {
        DropDownCalls.push_back(u"open");
        Dropped = true;
    }
    void HideDropDown(bool Cancel) override
    {
        DropDownCalls.push_back(Cancel ? u"cancel" : u"close");
        Dropped = false;
    }
    void PostKeyToSelf(WORD Key) override { SelfPosts.push_back(Key); }
    void PostKeyToParent(UINT Msg, WORD Key) override { ParentPosts.push_back({ Msg, Key }); }
    bool ParentHasFocus() override { return false; }
    void KeyPressEvent(Char&) override { ++KeyPresses; }
    void Change() override { ++Changes; }
    bool GetBlockChange() override { return Block; }
    void SetBlockChange(bool V) override { Block = V; }
    double NumericDefaultValue() override { return DefaultValue; }

    TDropDownInput Rules() { return TDropDownInput(S, *this); }
    void Type(const String& Chars, LPARAM KeyData = 0)
    {
        for (Char Ch : Chars) {
            Char C = Ch;
            Rules().CharMessage(C, KeyData);
        }
    }
    void Key(WORD K, bool Shift = false)
    {
        if (Shift)
            Held.insert(VK_SHIFT);
        TShiftState State;
        if (Shift)
            State.Include(ssShift);
        Rules().KeyDownMessage(K, State, 0);
        Held.erase(VK_SHIFT);
    }
};

TInputSettings Kind(TDropDownEditType Type, short Precision = 0, bool Signed = false)
{
    TInputSettings S;
    S.EditType = Type;
    S.Precision = Precision;
    S.Signed = Signed;
    return S;
}

std::string Utf8(const String& S) { return StringToUtf8(S); }

} // namespace

TEST(DropDownInput, TypingByKind)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    struct Case {
        const char* Name;
        TInputSettings Settings;
        const char16_t* Start;
        int Anchor, Caret;
        const char16_t* Typed;
        const char16_t* Text;
        int ExpectedCaret;
    };
    TInputSettings Valid = Kind(etValidChars);
    Valid.ValidChars = u"xy";
    const Case Cases[] = {
        { "unsigned minus dropped", Kind(etNumeric), u"12", 2, 2, u"-", u"12", 2 },
        { "numeric takes digits only", Kind(etNumeric), u"", 0, 0, u"5a", u"5", 1 },
        { "signed minus in front, caret kept", Kind(etNumeric, 0, true), u"12", 1, 1, u"-", u"-12", 2 },
        { "signed minus again removes it", Kind(etNumeric, 0, true), u"-12", 2, 2, u"-", u"12", 1 },
        { "minus over the whole value", Kind(etNumeric, 0, true), u"12", 0, 2, u"-", u"-", 1 },
        { "float decimal by locale", Kind(etFloat, 2), u"12", 2, 2, u",", u"12,", 3 },
        { "float without decimals takes no separator", Kind(etFloat), u"12", 2, 2, u",", u"12", 2 },
        { "float: a second separator moves the caret past the first", Kind(etFloat, 2), u"1,5", 3, 3, u",", u"1,5", 2 },
        { "float: the separator jumps past it", Kind(etFloat, 2), u"1,5", 0, 0, u",", u"1,5", 2 },
        { "float: letters dropped", Kind(etFloat), u"1", 1, 1, u"x;", u"1", 1 },
        { "precision reached at the end", Kind(etFloat, 2), u"1,25", 4, 4, u"7", u"1,25", 4 },
        { "precision reached before the 5", Kind(etFloat, 2), u"1,25", 3, 3, u"7", u"1,27", 4 },
        { "decimal into an empty value", Kind(etFloat, 2), u"", 0, 0, u",", u"0,", 2 },
        { "float sign toggle", Kind(etFloat, 2, true), u"1,25", 2, 2, u"-", u"-1,25", 3 },
        { "money groups while typing", Kind(etMoney), u"", 0, 0, u"1234", u"1.234", 5 },
        { "money keeps the caret after the digit", Kind(etMoney), u"1.234", 1, 1, u"5", u"15.234", 2 },
        { "money: the thousand separator is not typed", Kind(etMoney), u"12", 2, 2, u".", u"12", 2 },
        { "upper case", Kind(etUppercase), u"", 0, 0, u"aé", u"AÉ", 2 },
        { "lower case", Kind(etLowerCase), u"", 0, 0, u"AB", u"ab", 2 },
        { "mixed case", Kind(etMixedCase), u"", 0, 0, u"john smith", u"John Smith", 10 },
        { "hex set", Kind(etHex), u"", 0, 0, u"1fG-z", u"1f-", 3 },
        { "alphanumeric set", Kind(etAlphaNumeric), u"", 0, 0, u"a1 _B", u"a1B", 3 },
        { "valid characters", Valid, u"", 0, 0, u"xaz y", u"xy", 2 },
        { "range separators", Kind(etRange), u"", 0, 0, u",1,-2;;3x", u"1,2;3", 5 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Model M(C.Settings);
        M.Put(C.Start, C.Anchor, C.Caret);
        M.Type(C.Typed);
        EXPECT_EQ(Utf8(M.Text), Utf8(C.Text));
        EXPECT_EQ(M.Caret, C.ExpectedCaret);
    }

    // A held Control key lets any character reach a numeric edit.
    Model M(Kind(etNumeric));
    M.Held.insert(VK_CONTROL);
    M.Type(u"a");
    EXPECT_EQ(Utf8(M.Text), "a");
}

TEST(DropDownInput, DotDecimalLocale)
{
    LocaleGuard Locale(LocaleGuard::DotDecimal);
    Model M(Kind(etFloat, 2));
    M.Type(u"12.5");
    EXPECT_EQ(Utf8(M.Text), "12.5");
    Model Money(Kind(etMoney));
    Money.Type(u"1234567");
    EXPECT_EQ(Utf8(Money.Text), "1,234,567");
    Money.Type(u",");  // the thousand separator is never typed
    EXPECT_EQ(Utf8(Money.Text), "1,234,567");
}

TEST(DropDownInput, ExcelStyleKeypadSeparator)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    TInputSettings S = Kind(etFloat, 2);
    S.ExcelStyleDecimalSeparator = true;
    Model M(S);
    M.Put(u"12", 2, 2);
    M.Type(u".", 0x00530001);  // the keypad's decimal key (scan code 0x53)
    EXPECT_EQ(Utf8(M.Text), "12,");
    Model Main(S);
    Main.Put(u"12", 2, 2);
    Main.Type(u".", 0x00340001);  // the main keyboard's full stop is the thousand separator here
    EXPECT_EQ(Utf8(Main.Text), "12.");
}

TEST(DropDownInput, LengthLimit)
{
    LocaleGuard Locale(LocaleGuard::DotDecimal);
    TInputSettings S = Kind(etFloat);
    S.LengthLimit = 3;
    Model M(S);
    M.Put(u"123.4", 2, 2);
    M.Type(u"9");
    EXPECT_EQ(Utf8(M.Text), "123.4");  // a fourth digit before the separator
    M.SetSel(5, 5);
    M.Type(u"5");
    EXPECT_EQ(Utf8(M.Text), "123.45");  // after it there is room
    M.SetSel(3, 3);
    M.Key(VK_DELETE);
    EXPECT_EQ(Utf8(M.Text), "123.45");  // deleting the separator would make 12345
    M.SetSel(2, 2);
    M.Key(VK_DELETE);
    EXPECT_EQ(Utf8(M.Text), "12.45");
    M.Type(u"3");
    EXPECT_EQ(Utf8(M.Text), "123.45");
}

TEST(DropDownInput, PrefixAndSuffixFences)
{
    TInputSettings S;
    S.Prefix = u"$";
    S.Suffix = u"kg";
    Model M(S);
    M.Put(u"$12kg", 2, 2);
    M.Key(VK_HOME);
    EXPECT_EQ(M.Caret, 1);
    M.Key(VK_LEFT);
    EXPECT_EQ(M.Caret, 1);
    M.Key(VK_END);
    EXPECT_EQ(M.Caret, 3);
    M.Key(VK_RIGHT);
    EXPECT_EQ(M.Caret, 3);
    M.Key(VK_DELETE);
    EXPECT_EQ(Utf8(M.Text), "$12kg");  // nothing to delete before the suffix
    M.Key(VK_HOME, true);
    EXPECT_EQ(M.Anchor, 3);
    EXPECT_EQ(M.Caret, 1);
    M.SetSel(1, 1);
    M.Key(VK_END, true);
    EXPECT_EQ(M.Anchor, 1);
    EXPECT_EQ(M.Caret, 3);
    // Backspace right after the prefix deletes nothing.
    M.SetSel(1, 1);
    M.Key(VK_BACK);
    M.Type(u"\b");
    EXPECT_EQ(Utf8(M.Text), "$12kg");
    M.SetSel(3, 3);
    M.Type(u"\b");
    EXPECT_EQ(Utf8(M.Text), "$1kg");
}

TEST(DropDownInput, DropDownKeys)
{
    struct Case {
        const char* Name;
        bool Typeable, Dropped, Alt;
        WORD Key;
        const char16_t* Call;
        bool Passed;  // reached the edit's own key handling
    };
    const Case Cases[] = {
        { "F4 opens", true, false, false, VK_F4, u"open", true },
        { "F4 closes", true, true, false, VK_F4, u"close", true },
        { "Escape cancels", true, true, false, VK_ESCAPE, u"cancel", true },
        { "Return keeps", true, true, false, VK_RETURN, u"close", true },
        { "Alt+Down opens", true, false, true, VK_DOWN, u"open", true },
        { "selector: F4 opens, key swallowed", false, false, false, VK_F4, u"open", false },
        { "selector: Return closes", false, true, false, VK_RETURN, u"close", true },
        { "selector: letters swallowed", false, false, false, u'A', nullptr, false },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TInputSettings S;
        S.EditorEnabled = C.Typeable;
        Model M(S);
        M.Dropped = C.Dropped;
        if (C.Alt)
            M.Held.insert(VK_MENU);
        WORD K = C.Key;
        M.Rules().KeyDownMessage(K, {}, 0);
        if (C.Call) {
            ASSERT_FALSE(M.DropDownCalls.empty());
            EXPECT_EQ(Utf8(M.DropDownCalls.front()), Utf8(C.Call));
        } else {
            EXPECT_TRUE(M.DropDownCalls.empty());
        }
        EXPECT_EQ(K != 0, C.Passed);
    }

    // Return as Tab posts a Tab to the edit.
    TInputSettings S;
    S.ReturnIsTab = true;
    Model M(S);
    WORD K = VK_RETURN;
    M.Rules().KeyDownMessage(K, {}, 0);
    EXPECT_EQ(K, VK_TAB);
    ASSERT_EQ(M.SelfPosts.size(), 1u);
    EXPECT_EQ(M.SelfPosts[0], VK_TAB);
    EXPECT_TRUE(M.DropDownCalls.empty());

    // A selector edit never takes a character.
    S.EditorEnabled = false;
    Model Selector(S);
    Selector.Type(u"a");
    EXPECT_EQ(Utf8(Selector.Text), "");
}

TEST(DropDownInput, ChangeNotifications)
{
    // Typing over the whole value: one of the two announcements is swallowed,
    // the keystroke is announced once.
    Model M(Kind(etString));
    M.Put(u"abc", 0, 3);
    M.Type(u"x");
    EXPECT_EQ(Utf8(M.Text), "x");
    EXPECT_EQ(M.Swallowed, 1);
    EXPECT_EQ(M.Announced, 1);
    EXPECT_FALSE(M.Block);

    // Backspace over the whole value: its one announcement is swallowed and
    // the change event given back once.
    Model B(Kind(etString));
    B.Put(u"abc", 0, 3);
    B.Type(u"\b");
    EXPECT_EQ(Utf8(B.Text), "");
    EXPECT_EQ(B.Swallowed, 1);
    EXPECT_EQ(B.Announced, 0);
    EXPECT_EQ(B.Changes, 1);

    // A character dropped over the whole value leaves nothing blocked, so
    // the next real change is announced.
    Model D(Kind(etNumeric));
    D.Put(u"12", 0, 2);
    D.Type(u"a");
    EXPECT_FALSE(D.Block);
    D.SetSel(2, 2);
    D.Type(u"3");
    EXPECT_EQ(D.Announced, 1);
    EXPECT_EQ(D.Swallowed, 0);

    // Money regrouping: the keystroke once, the rewrite swallowed.
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    Model Money(Kind(etMoney));
    Money.Put(u"123", 3, 3);
    Money.Type(u"4");
    EXPECT_EQ(Utf8(Money.Text), "1.234");
    EXPECT_EQ(Money.Announced, 1);
    EXPECT_EQ(Money.Swallowed, 1);
    EXPECT_TRUE(Money.Modified);
}

TEST(DropDownInput, ReturnAndEscapeToTheParent)
{
    TInputSettings S;
    S.DefaultHandling = false;
    Model M(S);
    M.Type(u"\r");
    EXPECT_EQ(M.KeyPresses, 1);
    EXPECT_EQ(Utf8(M.Text), "");
    ASSERT_EQ(M.ParentPosts.size(), 2u);
    EXPECT_EQ(M.ParentPosts[0], (std::pair<UINT, WORD>(WM_KEYDOWN, VK_RETURN)));
    EXPECT_EQ(M.ParentPosts[1], (std::pair<UINT, WORD>(WM_KEYUP, VK_RETURN)));

    // The special-key question: Escape selects the value, clears the
    // modified state, goes to the parent and is claimed while open.
    TInputSettings D;
    D.Prefix = u"$";
    Model E(D);
    E.Put(u"$12", 3, 3);
    E.Modified = true;
    E.Dropped = true;
    bool Answered = false;
    WORD Seen = 1;
    const LRESULT R = E.Rules().WantSpecialKey(VK_ESCAPE, [&](WORD K) { Seen = K; return LRESULT(0); }, Answered);
    EXPECT_TRUE(Answered);
    EXPECT_EQ(R, 1);
    EXPECT_EQ(Seen, 0);  // the key was cleared before the framework's answer
    EXPECT_EQ(E.SelStart(), 1);
    EXPECT_EQ(E.SelLength(), 2);
    EXPECT_FALSE(E.Modified);
    EXPECT_EQ(E.ParentPosts.size(), 2u);

    E.Dropped = false;
    EXPECT_EQ(E.Rules().WantSpecialKey(VK_ESCAPE, [](WORD) { return LRESULT(0); }, Answered), 0);
    D.HasParentForm = false;
    Model Alone(D);
    Alone.Rules().WantSpecialKey(VK_ESCAPE, [](WORD) { return LRESULT(1); }, Answered);
    EXPECT_FALSE(Answered);
}

TEST(DropDownInput, Paste)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    struct Case {
        const char* Name;
        TInputSettings Settings;
        const char16_t *Start, *Clip, *Text;
    };
    TInputSettings Max = Kind(etString);
    Max.MaxLength = 4;
    TInputSettings Signed = Kind(etNumeric, 0, true);
    const Case Cases[] = {
        { "string", Kind(etString), u"ab", u"xy", u"axyb" },
        { "hex refuses", Kind(etHex), u"1", u"2", u"1" },
        { "range refuses", Kind(etRange), u"1", u"2", u"1" },
        { "12a into numeric refused", Kind(etNumeric), u"1", u"12a", u"1" },
        { "numeric", Kind(etNumeric), u"1", u"23", u"123" },
        { "unsigned minus refused", Kind(etNumeric), u"1", u"-2", u"1" },
        { "signed minus", Signed, u"1", u"-2", u"1-2" },
        { "float reformatted", Kind(etFloat, 2), u"1", u"2,5", u"12,50" },
        { "float without decimals refuses a separator", Kind(etFloat), u"1", u"2,5", u"1" },
        { "upper case", Kind(etUppercase), u"A", u"bc", u"ABC" },
        { "MaxLength", Max, u"abc", u"xy", u"abc" },
        { "MaxLength fits", Max, u"ab", u"xy", u"axyb" },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Model M(C.Settings);
        M.Put(C.Start, 1, 1);
        M.Rules().Paste(C.Clip, nullptr);
        EXPECT_EQ(Utf8(M.Text), Utf8(C.Text));
    }

    // The paste event sees the value to be and may refuse; the caret moves
    // as predicted either way.
    Model M(Kind(etString));
    M.Put(u"abcd", 1, 3);
    String Seen;
    M.Rules().Paste(u"XY", [&](const String& Predicted) {
        Seen = Predicted;
        return false;
    });
    EXPECT_EQ(Utf8(Seen), "aXYd");
    EXPECT_EQ(Utf8(M.Text), "abcd");
    EXPECT_EQ(M.SelStart(), 1);
    EXPECT_EQ(M.SelLength(), 2);
}

TEST(DropDownInput, CutAndCopyShowTheSelectedValue)
{
    TInputSettings S;
    S.Prefix = u"$";
    Model M(S);
    M.Put(u"$1234", 2, 4);
    String Seen;
    EXPECT_FALSE(M.Rules().AllowCopy([&](const String& Part) {
        Seen = Part;
        return false;
    }));
    EXPECT_EQ(Utf8(Seen), "23");
    EXPECT_TRUE(M.Rules().AllowCut([](const String&) { return true; }));
    EXPECT_TRUE(M.Rules().AllowCopy(nullptr));
    S.ReadOnly = true;
    Model ReadOnly(S);
    ReadOnly.Put(u"$1234", 2, 4);
    EXPECT_FALSE(ReadOnly.Rules().AllowCut(nullptr));  // nothing is cut from a read-only edit
}

TEST(DropDownInput, NumberClassification)
{
    struct Case {
        const char16_t* Text;
        int Comma, Dot;  // kind in a comma-decimal and a dot-decimal locale
    };
    const Case Cases[] = {
        { u"", 2, 2 }, { u"12", 0, 0 }, { u"-12", 0, 0 }, { u"-", 0, 0 }, { u"1,5", 1, 1 }, { u"1.5", 1, 1 },
        { u"1.234,5", 1, 1 },
        { u".123", 2, 1 },       // a group separator at the first place
        { u"1F", 5, 5 }, { u"12a", 5, 5 }, { u"1-2-3", 2, 2 },
        { u"1,2,3", 2, 2 },      // two decimal separators, or groups too close
        { u"x", 2, 2 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(Utf8(C.Text));
        {
            LocaleGuard Locale(LocaleGuard::CommaDecimal);
            EXPECT_EQ(ClassifyNumber(C.Text), C.Comma);
        }
        LocaleGuard Locale(LocaleGuard::DotDecimal);
        EXPECT_EQ(ClassifyNumber(C.Text), C.Dot);
    }
}

TEST(DropDownInput, SeparatorsAndDecimalPosition)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    TInputSettings S = Kind(etMoney);
    struct TooClose {
        const char16_t* Value;
        int Caret;
        bool Expected;
    };
    const TooClose Cases[] = {
        { u"1234", 2, false },     // no group separator yet
        { u"1.234", 5, false },    // exactly three after it
        { u"1.234", 4, true },
        { u"1.234", 3, true },
        { u"1.2345", 6, true },    // four after it
        { u"12.345.678", 10, false },
        { u"12.345.678", 9, true },
    };
    for (const TooClose& C : Cases) {
        SCOPED_TRACE(Utf8(C.Value) + " " + std::to_string(C.Caret));
        EXPECT_EQ(SeparatorTooClose(S, C.Value, C.Caret), C.Expected);
    }
    struct Position {
        bool Signed;
        const char16_t* Value;
        int Expected;
    };
    const Position Positions[] = {
        { false, u"123,4", 4 }, { false, u"1.234,5", 5 }, { false, u"12", 3 }, { true, u"-12,5", 3 },
        { false, u"-12,5", 4 },
    };
    for (const Position& C : Positions) {
        SCOPED_TRACE(Utf8(C.Value));
        S.Signed = C.Signed;
        EXPECT_EQ(DecimalPosition(S, C.Value), C.Expected);
    }
    LocaleGuard Dot(LocaleGuard::DotDecimal);
    S.Signed = false;
    EXPECT_EQ(DecimalPosition(S, u"1,234.5"), 5);
    EXPECT_FALSE(SeparatorTooClose(S, u"1,234", 5));
    EXPECT_TRUE(SeparatorTooClose(S, u"1,234", 2));
}

TEST(DropDownInput, FloatValues)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    struct Case {
        TDropDownEditType Kind;
        const char16_t* Value;
        double Expected;
    };
    const Case Cases[] = {
        { etString, u"12.5", 12.5 }, { etString, u"12,5", 0 }, { etString, u"1e3", 0 }, { etString, u"-3", -3 },
        { etNumeric, u"1.234", 1234 }, { etNumeric, u"-", 0 }, { etFloat, u"Error", 0 }, { etFloat, u"-1,5", -1.5 },
        { etMoney, u"1.234,", 1234 }, { etMoney, u"-", 0 }, { etHex, u"1F", 31 }, { etHex, u"1G", 16 },
        { etUppercase, u"12", 0 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(Utf8(C.Value));
        EXPECT_DOUBLE_EQ(ValueToFloat(Kind(C.Kind), C.Value), C.Expected);
    }

    struct Shown {
        TDropDownEditType Kind;
        short Precision;
        double Value;
        const char16_t* Text;
    };
    const Shown Writes[] = {
        { etFloat, 2, 3, u"3,00" }, { etNumeric, 0, 1234, u"1.234" }, { etMoney, 2, 1234.5, u"1.234,50" },
        { etHex, 0, 255.9, u"FF" }, { etFloat, -1, 2.5, u"2,5" },
    };
    for (const Shown& C : Writes) {
        SCOPED_TRACE(Utf8(C.Text));
        Model M(Kind(C.Kind, C.Precision));
        M.Rules().SetFloatValue(C.Value);
        EXPECT_EQ(Utf8(M.Text), Utf8(C.Text));
        EXPECT_TRUE(M.Modified);
    }
    Model M(Kind(etMoney));
    M.Rules().SetIntValue(1234567);
    EXPECT_EQ(Utf8(M.Text), "1.234.567");
    Model Hex(Kind(etHex));
    Hex.Rules().SetIntValue(48879);
    EXPECT_EQ(Utf8(Hex.Text), "BEEF");
}

TEST(DropDownInput, KillFocusFormatting)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    struct Case {
        const char* Name;
        TInputSettings Settings;
        const char16_t *Start, *Text;
    };
    TInputSettings Null = Kind(etFloat, 2);
    Null.AllowNumericNullValue = true;
    TInputSettings NullNumeric = Kind(etNumeric);
    NullNumeric.AllowNumericNullValue = true;
    const Case Cases[] = {
        { "float decimals", Kind(etFloat, 2), u"3,5", u"3,50" },
        { "empty float", Kind(etFloat, 2), u"", u"0,00" },
        { "empty float may stay empty", Null, u"", u"" },
        { "money", Kind(etMoney, 2), u"1234", u"1.234,00" },
        { "empty numeric", Kind(etNumeric), u"", u"7" },
        { "empty numeric may stay empty", NullNumeric, u"", u"" },
        { "string untouched", Kind(etString), u"", u"" },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Model M(C.Settings);
        M.DefaultValue = 7.9;
        M.Put(C.Start, 0, 0);
        M.Modified = true;
        M.Rules().KillFocusRules();
        EXPECT_EQ(Utf8(M.Text), Utf8(C.Text));
    }
    // The decimals come back without changing the modified state.
    Model M(Kind(etFloat, 2));
    M.Put(u"3,5", 0, 0);
    M.Rules().KillFocusRules();
    EXPECT_FALSE(M.Modified);
}

TEST(DropDownInput, SelectionAndMouseFences)
{
    LocaleGuard Locale(LocaleGuard::CommaDecimal);
    TInputSettings S = Kind(etFloat, 2);
    S.Prefix = u"$";
    S.Suffix = u"!";
    Model M(S);
    M.Put(u"$12,50!", 0, 0);
    M.Rules().SelectAll();
    EXPECT_EQ(M.Anchor, 1);
    EXPECT_EQ(M.Caret, 6);
    M.Rules().SelectBeforeDecimal();
    EXPECT_EQ(M.Caret, 3);
    M.Rules().SelectAfterDecimal();
    EXPECT_EQ(M.Caret, 4);

    M.SetSel(0, 0);
    M.Rules().ReleaseFences();  // before the prefix: the value is selected
    EXPECT_EQ(M.SelStart(), 1);
    EXPECT_EQ(M.SelLength(), 5);
    M.SetSel(7, 7);
    M.Rules().ReleaseFences();  // past the value: to its end
    EXPECT_EQ(M.Caret, 6);
    M.SetSel(2, 7);
    M.Rules().ReleaseFences();  // a selection into the suffix is cut
    EXPECT_EQ(M.SelStart(), 2);
    EXPECT_EQ(M.SelLength(), 4);

    // A press inside the selection of a focused edit is held back.
    M.SetSel(2, 5);
    EXPECT_TRUE(M.Rules().PressInsideSelection(2, true));
    EXPECT_TRUE(M.Rules().PressInsideSelection(5, true));
    EXPECT_FALSE(M.Rules().PressInsideSelection(6, true));
    EXPECT_FALSE(M.Rules().PressInsideSelection(3, false));
}
