#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "dropdown/LumDropDown.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

class TestDropDown : public TLumDropDown {
public:
    using TLumDropDown::TLumDropDown;
    using TLumCustomDropDown::SetEditType;
    using TLumCustomDropDown::SetPrecision;
    using TLumCustomDropDown::SetPrefix;
    using TLumCustomDropDown::SetSuffix;
    using TLumCustomDropDown::SetSigned;
    using TLumCustomDropDown::SetOnClipboardPaste;
    using TLumCustomDropDown::SetExcelStyleDecimalSeparator;
};

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

struct TypedEdit : ::testing::Test {
    THeadlessSession Session;
    LocaleGuard Locale { LocaleGuard::CommaDecimal };
    std::unique_ptr<TForm> Form;
    TestDropDown* Edit { nullptr };
    TEdit* Other { nullptr };
    int Changes { 0 };

    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Edit = new TestDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 40, 200, 21);
        Edit->OnChange = [this](TObject*) { ++Changes; };
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 120, 100, 21);
        Form->Show();
        Other->SetFocus();
        Pump();
    }
    // The clipboard outlives the test; what a test put there goes with it.
    void TearDown() override
    {
        if (OpenClipboard(nullptr)) {
            EmptyClipboard();
            CloseClipboard();
        }
    }
    static void Pump() { Application->ProcessMessages(); }
    void Focus()
    {
        Edit->SetFocus();
        Pump();
    }
    static void Type(const String& S)
    {
        Headless::Type(S);
        Pump();
    }
    static void Key(WORD Vk, bool Shift = false, bool Ctrl = false)
    {
        Headless::Key(Vk, Shift, Ctrl);
        Pump();
    }
};

} // namespace

TEST_F(TypedEdit, MoneyGroupsAsTheUserTypes)
{
    Edit->SetEditType(etMoney);
    Edit->SetText(u"");
    Focus();
    Changes = 0;
    Type(u"1234567");
    EXPECT_EQ(Edit->GetText(), u"1.234.567");
    EXPECT_EQ(Edit->GetSelStart(), 9);
    EXPECT_EQ(Changes, 7);  // one change event per keystroke
    EXPECT_TRUE(Edit->IsModified());
    Type(u"x.");
    EXPECT_EQ(Edit->GetText(), u"1.234.567");
}

TEST_F(TypedEdit, OneChangeForTypingOverTheWholeValue)
{
    Edit->SetText(u"abc");
    Focus();  // the value is selected on entry
    ASSERT_EQ(Edit->GetSelLength(), 3);
    Changes = 0;
    Type(u"x");
    EXPECT_EQ(Edit->GetText(), u"x");
    EXPECT_EQ(Changes, 1);
    Type(u"y");
    EXPECT_EQ(Changes, 2);

    Edit->SelectAll();
    Changes = 0;
    Key(VK_BACK);
    EXPECT_EQ(Edit->GetText(), u"");
    EXPECT_EQ(Changes, 1);
}

TEST_F(TypedEdit, CaretStaysInsideTheValue)
{
    Edit->SetPrefix(u"$");
    Edit->SetSuffix(u"kg");
    Edit->SetText(u"12");
    Focus();
    Key(VK_HOME);
    EXPECT_EQ(Edit->GetSelStart(), 1);
    Key(VK_LEFT);
    EXPECT_EQ(Edit->GetSelStart(), 1);
    Key(VK_BACK);
    EXPECT_EQ(Edit->GetEditText(), u"$12kg");
    Key(VK_END);
    EXPECT_EQ(Edit->GetSelStart(), 3);
    Key(VK_RIGHT);
    EXPECT_EQ(Edit->GetSelStart(), 3);
    Type(u"5");
    EXPECT_EQ(Edit->GetEditText(), u"$125kg");
    EXPECT_EQ(Edit->GetText(), u"125");
}

TEST_F(TypedEdit, NumericKeysAndPaste)
{
    Edit->SetEditType(etNumeric);
    EXPECT_EQ(Edit->GetText(), u"0");  // an empty value becomes a number
    Edit->SetSigned(true);
    Edit->SetText(u"12");
    Focus();
    Edit->SetSel(1, 1);
    Type(u"-");
    EXPECT_EQ(Edit->GetText(), u"-12");
    EXPECT_EQ(Edit->GetSelStart(), 2);
    Type(u"a");
    EXPECT_EQ(Edit->GetText(), u"-12");

    PutClipboardText(u"12a");
    Key(u'V', false, true);
    EXPECT_EQ(Edit->GetText(), u"-12");
    PutClipboardText(u"34");
    String Seen;
    Edit->SetOnClipboardPaste([&](TObject*, const String& Value, bool&) { Seen = Value; });
    Edit->SetSel(3, 3);
    Key(u'V', false, true);
    EXPECT_EQ(Seen, u"-1234");
    EXPECT_EQ(Edit->GetText(), u"-1234");
}

TEST_F(TypedEdit, FloatIsFormattedWhenTheFocusLeaves)
{
    Edit->SetEditType(etFloat);
    Edit->SetPrecision(2);
    EXPECT_EQ(Edit->GetText(), u"0,00");
    Focus();
    Edit->SelectAll();
    Type(u"3,5");
    EXPECT_EQ(Edit->GetText(), u"3,5");
    Other->SetFocus();
    Pump();
    EXPECT_EQ(Edit->GetText(), u"3,50");
    EXPECT_DOUBLE_EQ(Edit->GetFloatValue(), 3.5);
    EXPECT_TRUE(Edit->IsModified());

    // The keypad's decimal key types the locale's separator when asked to;
    // the main keyboard's full stop stays the thousand separator here.
    Edit->SetExcelStyleDecimalSeparator(true);
    Edit->SetFocus();
    Pump();
    Edit->SelectAll();
    Type(u"7");
    Key(VK_DECIMAL);
    Type(u"2");
    EXPECT_EQ(Edit->GetText(), u"7,2");

    // A new kind brings the value into its shape.
    Edit->SetText(u"abc");
    Edit->SetEditType(etHex);
    EXPECT_EQ(Edit->GetText(), u"0");
}
