#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumMemoDropDown.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

struct MemoDropDown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumMemoDropDown* Edit { nullptr };
    TEdit* Other { nullptr };

    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 300);
        Edit = new TLumMemoDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 40, 300, 21);
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 200, 100, 21);
        Form->Show();
        Other->SetFocus();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    void SetLines(const String& Text)
    {
        TStringList L;
        L.SetText(Text);
        Edit->SetMemoText(&L);
    }
};

} // namespace

TEST_F(MemoDropDown, TheEditShowsTheFirstLine)
{
    struct Case {
        const char* Name;
        bool Typeable;
        int Width;
        const char16_t* Lines;
        const char16_t* Shown;
    };
    const Case Cases[] = {
        { "two short lines", false, 300, u"line1\nline2", u"line1..." },
        { "typeable", true, 300, u"line1\nline2", u"line1" },
        { "one short line", false, 300, u"line1", u"line1" },
        { "empty", false, 300, u"", u"" },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Edit->SetEditorEnabled(C.Typeable);
        Edit->SetWidth(C.Width);
        SetLines(C.Lines);
        EXPECT_EQ(Edit->GetText(), C.Shown);
    }
}

TEST_F(MemoDropDown, ALongLineIsShortenedToFit)
{
    Edit->SetEditorEnabled(false);
    Edit->SetWidth(80);
    const String Long = u"abcdefghijklmnopqrstuvwxyz0123456789";
    SetLines(Long);
    const String Shown = Edit->GetText();
    ASSERT_GT(Shown.size(), 3u);
    EXPECT_EQ(Shown.substr(Shown.size() - 3), u"...");
    const String Prefix = Shown.substr(0, Shown.size() - 3);
    EXPECT_EQ(Long.substr(0, Prefix.size()), Prefix);
    EXPECT_LT(Prefix.size(), Long.size());
    // The longest that fits: one more character would not.
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Edit->GetFont()->GetHandle());
    SIZE Sz {};
    const String Longer = Long.substr(0, Prefix.size() + 1) + u"...";
    GetTextExtentPoint32W(DC, Longer.c_str(), int(Longer.size()), &Sz);
    RECT R {};
    SendMessage(Edit->GetHandle(), EM_GETRECT, 0, LPARAM(&R));
    EXPECT_GE(Sz.cx, R.Right - R.Left);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
}

TEST_F(MemoDropDown, TypingReplacesTheLines)
{
    SetLines(u"old1\nold2");
    Edit->SetFocus();
    Pump();
    Edit->SelectAll();
    Headless::Type(u"x");
    Pump();
    ASSERT_EQ(Edit->GetMemoText()->GetCount(), 1);
    EXPECT_EQ(Edit->GetMemoText()->GetStrings(0), u"x");
}

TEST_F(MemoDropDown, TabClosesAndSelectsTheEdit)
{
    SetLines(u"a\nb");
    Edit->SetFocus();
    Pump();
    Edit->ShowDropDown();
    Pump();
    ASSERT_TRUE(Edit->GetDroppedDown());
    Edit->GetMemo()->SetFocus();
    Pump();
    Headless::Key(VK_TAB);
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_EQ(Edit->GetMemoText()->GetText().find(u'\t'), String::npos);
    EXPECT_EQ(Edit->GetSelLength(), int(Edit->GetText().size()));
}

// A cancelled close brings back every line held at opening, not just the
// line the edit showed.
TEST_F(MemoDropDown, CancelKeepsEveryLine)
{
    SetLines(u"one\ntwo\nthree");
    Edit->ShowDropDown();
    Pump();
    Edit->GetMemo()->GetLines()->SetText(u"changed");
    Pump();
    Edit->HideDropDown(true);
    Pump();
    EXPECT_EQ(Edit->GetMemoText()->GetCount(), 3);
    EXPECT_EQ(Edit->GetMemoText()->GetStrings(2), u"three");
    EXPECT_EQ(Edit->GetText(), u"one");

    // A close that keeps takes the memo's lines.
    Edit->ShowDropDown();
    Pump();
    Edit->GetMemo()->GetLines()->SetText(u"new1\nnew2");
    Edit->HideDropDown(false);
    Pump();
    EXPECT_EQ(Edit->GetMemoText()->GetCount(), 2);
    EXPECT_EQ(Edit->GetText(), u"new1");
}

TEST_F(MemoDropDown, AutoDropOpensOnce)
{
    Edit->SetAutoDrop(true);
    Edit->SetFocus();
    Pump();
    EXPECT_TRUE(Edit->GetDroppedDown());
    Edit->HideDropDown(false);
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    Edit->SetFocus();
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_TRUE(Edit->GetAutoDrop());
}
