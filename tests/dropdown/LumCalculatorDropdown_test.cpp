#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "dropdown/LumCalculatorDropdown.h"
#include "dropdown/LumDropDownForm.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"
#include "tests/grid/core/LocaleGuard.h"

namespace {

class TestCalculator : public TLumCalculatorDropdown {
public:
    using TLumCalculatorDropdown::TLumCalculatorDropdown;
    using TLumCustomDropDown::GetEditType;
};

struct Calculator : ::testing::Test {
    THeadlessSession Session;
    LocaleGuard Locale { LocaleGuard::DotDecimal };
    std::unique_ptr<TForm> Form;
    TestCalculator* Calc { nullptr };

    void SetUp() override
    {
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 300);
        Calc = new TestCalculator(Form.get());
        Calc->SetParent(Form.get());
        Calc->SetBounds(20, 40, 200, 21);
        Form->Show();
        Calc->SetFocus();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    void Open()
    {
        Calc->ShowDropDown();
        Pump();
        ASSERT_TRUE(Calc->GetDroppedDown());
    }
    // Clicks keypad buttons by caption; a token "'x" types the character x
    // into the edit instead.
    void Run(const std::string& Script)
    {
        std::istringstream In(Script);
        std::string Token;
        while (In >> Token) {
            if (Token.size() == 2 && Token[0] == '\'') {
                Char Ch = Char(Token[1]);
                SendMessage(Calc->GetHandle(), WM_CHAR, WPARAM(Ch), 0);
                continue;
            }
            const String Caption(Token.begin(), Token.end());
            TCustomButtonPanel* Pad = Calc->GetButtonPanel();
            int Index = -1;
            for (int i = 0; i < Pad->GetButtons()->GetCount(); ++i)
                if (Pad->GetButtons()->GetItem(i)->GetCaption() == Caption)
                    Index = i;
            ASSERT_GE(Index, 0) << Token;
            Pad->ButtonClick(Index);
        }
    }
    std::string Display() { return StringToUtf8(Calc->GetText()); }
};

} // namespace

TEST_F(Calculator, StartsAtZeroWithTwoDecimals)
{
    EXPECT_EQ(Display(), "0.00");
    EXPECT_EQ(Calc->GetPrecision(), 2);
    EXPECT_EQ(Calc->GetDropDownWidth(), 230);
    ASSERT_NE(Calc->GetButtonPanel(), nullptr);  // made with the window
    EXPECT_EQ(Calc->GetButtonPanel()->GetButtons()->GetCount(), 28);
    EXPECT_EQ(Calc->GetButtonPanel()->GetHeight(), 150);
}

TEST_F(Calculator, KeypadScripts)
{
    struct Case {
        const char* Name;
        short Precision;
        int MaxLength;
        const char* Script;
        const char* Shown;
        double Accumulator;
    };
    const Case Cases[] = {
        { "running total", 2, 0, "2 + 3 +", "5.00", 5 },
        { "sum", 2, 0, "2 + 3 + 4 =", "9.00", 9 },
        { "sign then digit", 2, 0, "5 +/- 3", "-53.00", 0 },
        { "leading separator", 2, 0, ". 5", "0.50", 0 },
        { "fourth digit hidden", 2, 0, "1 . 2 3 4", "1.23", 0 },
        { "percent of the accumulator", 2, 0, "2 0 0 + 1 0 %", "20", 200 },
        { "percent then equals", 2, 0, "2 0 0 + 1 0 % =", "220.00", 220 },
        { "reciprocal of zero", 2, 0, "1/x", "Error", 0 },
        { "error reads as zero", 2, 0, "1/x +", "0.00", 0 },
        { "square root of a negative", 2, 0, "4 +/- sqrt", "Error", 0 },
        { "square root", 2, 0, "9 sqrt", "3.00", 0 },
        { "division by zero", 2, 0, "8 / 0 =", "Error", 0 },
        { "full display refuses digits", -1, 4, "1 2 3 4 5 +/- .", "1234", 0 },
        { "full display takes operators", -1, 4, "1 2 3 4 +", "1234", 1234 },
        { "typed C keeps the accumulator", 2, 0, "5 + 3 'C", "0", 5 },
        { "the next operator takes the display", 2, 0, "5 + 3 'C +", "0.00", 0 },
        { "C button clears everything", 2, 0, "5 + 3 C", "0", 0 },
        { "back with an operator pending", 2, 0, "1 2 + Back", "12.00", 12 },
        { "back on a fraction", 2, 0, "1 2 . 5 Back", "12.", 0 },
        { "memory", 2, 0, "6 MS C MR M+ MR", "12.00", 0 },
        { "memory clear", 2, 0, "6 MS MC MR", "0.00", 0 },
        { "typed operators", 2, 0, "4 '* 3 '= '/ 2 '=", "6.00", 6 },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        SetUp();
        Calc->SetPrecision(C.Precision);
        Calc->SetMaxLength(C.MaxLength);
        Open();
        Run(C.Script);
        EXPECT_EQ(Display(), C.Shown);
        EXPECT_DOUBLE_EQ(Calc->GetAccumulator(), C.Accumulator);
        TearDown();
        Form.reset();
    }
}

TEST_F(Calculator, TypedMinusIsASignOnlyAtTheStart)
{
    Calc->SetValue(7);
    Calc->SetSel(0, 0);
    SendMessage(Calc->GetHandle(), WM_CHAR, WPARAM(u'-'), 0);
    EXPECT_EQ(Display(), "-7");
    Calc->CalcResult();
    EXPECT_EQ(Display(), "-7.00");

    Calc->SetValue(9);
    Calc->SetSel(1, 1);
    SendMessage(Calc->GetHandle(), WM_CHAR, WPARAM(u'-'), 0);
    EXPECT_EQ(Display(), "9.00");
    SendMessage(Calc->GetHandle(), WM_CHAR, WPARAM(u'2'), 0);
    SendMessage(Calc->GetHandle(), WM_CHAR, WPARAM(u'\r'), 0);
    EXPECT_EQ(Display(), "7.00");
}

// A long fraction must neither wrap the divisor nor reach a division by zero;
// digits past the precision change nothing visible.
TEST_F(Calculator, FortyDecimalDigits)
{
    Open();
    Run(".");
    std::string Digits;
    for (int i = 0; i < 40; ++i)
        Digits += "1 ";
    Run(Digits);
    EXPECT_EQ(Display(), "0.11");
    EXPECT_NEAR(Calc->GetValue(), 0.11, 1e-12);
}

TEST_F(Calculator, ThousandSeparators)
{
    EXPECT_EQ(Calc->GetEditType(), etValidChars);
    Calc->SetShowThousandSeparator(true);
    EXPECT_EQ(Calc->GetEditType(), etMoney);
    Open();
    Run("1 2 3 4");
    EXPECT_EQ(Display(), "1,234.00");
    // The memory reads a grouped display as the arithmetic does.
    Run("MS M+ MR");
    EXPECT_EQ(Display(), "2,468.00");
    EXPECT_DOUBLE_EQ(Calc->GetMemory(), 2468);
    Run("+ 2 =");
    EXPECT_EQ(Display(), "2,470.00");
    EXPECT_DOUBLE_EQ(Calc->GetValue(), 2470);

    Calc->SetShowThousandSeparator(false);
    EXPECT_EQ(Calc->GetEditType(), etFloat);
    EXPECT_EQ(Display(), "2470.00");
}

// While the window is open the keypad has the focus; what is typed there
// reaches the edit and is computed exactly once.
TEST_F(Calculator, KeysTypedInTheWindowActOnce)
{
    Open();
    Calc->GetButtonPanel()->SetFocus();
    Pump();
    ASSERT_EQ(GetFocus(), Calc->GetButtonPanel()->GetHandle());
    Headless::Type(u"123");
    Pump();
    EXPECT_EQ(Display(), "123");
    Headless::Key(VK_BACK);
    Pump();
    EXPECT_EQ(Display(), "12");
    Headless::Type(u"+");
    Pump();
    EXPECT_DOUBLE_EQ(Calc->GetAccumulator(), 12);
    EXPECT_EQ(Display(), "12.00");
    Headless::Type(u"3");
    Pump();
    Headless::Key(VK_RETURN);
    Pump();
    EXPECT_EQ(Display(), "15.00");
    EXPECT_FALSE(Calc->GetDroppedDown());
}

TEST_F(Calculator, WindowClosingKeys)
{
    struct Case {
        const char* Name;
        WORD Key;
        bool Alt;
        const char* Shown;
    };
    const Case Cases[] = {
        { "Esc restores", VK_ESCAPE, false, "0.00" },
        { "Tab keeps", VK_TAB, false, "5" },
        { "F4 keeps", VK_F4, false, "5" },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        SetUp();
        Open();
        Calc->GetButtonPanel()->SetFocus();
        Pump();
        Run("5");
        Headless::Key(C.Key, false, false, C.Alt);
        Pump();
        EXPECT_FALSE(Calc->GetDroppedDown());
        EXPECT_EQ(Display(), C.Shown);
        TearDown();
        Form.reset();
    }
}

TEST_F(Calculator, DeleteTurnsErrorIntoZero)
{
    Open();
    Run("1/x");
    Calc->HideDropDown(false);
    Pump();
    ASSERT_EQ(Display(), "Error");
    Calc->SetFocus();
    Calc->SelectAll();
    SendMessage(Calc->GetHandle(), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Display(), "0");
}

TEST_F(Calculator, StyleRows)
{
    TButtonAppearance* A = Calc->GetCalcButtonAppearance();
    struct Case {
        ROZEVizer Style;
        TColor Border, Color, ColorDown, GlowHot, Text, Special, Shine;
    };
    const Case Cases[] = {
        { tsOffice2019White, 0xABABAB, 0xFFFFFF, 0xE3BDA3, 0xFFFFFF, 0x444648, 0xB0784A, clNone },
        { tsOffice2019Gray, 0x808080, 0xD4D4D4, 0x666666, 0xB8BBBE, 0x232425, 0x1E1F20, clNone },
        { tsOffice2019Black, 0x686868, 0x444444, 0x828282, 0x3B3B3B, 0xF1F1F1, 0xFFFFFF, clNone },
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Style));
        Calc->SetComponentStyle(C.Style);
        EXPECT_EQ(A->GetBorderColor(), C.Border);
        EXPECT_EQ(A->GetColor(), C.Color);
        EXPECT_EQ(A->GetColorTo(), C.Color);
        EXPECT_EQ(A->GetColorDownTo(), C.ColorDown);
        EXPECT_EQ(A->GetGlowColorHot(), C.GlowHot);
        EXPECT_EQ(A->GetGlowColorDown(), clNone);
        EXPECT_EQ(A->GetTextColor(), C.Text);
        EXPECT_EQ(A->GetSpecialTextColor(), C.Special);
        EXPECT_EQ(A->GetShineColor(), C.Shine);
    }
    // Other styles follow the edit's drop-down button.
    const TLumButtonAppearance* B = Calc->GetButtonAppearance();
    Calc->SetComponentStyle(tsOffice2010Blue);
    EXPECT_EQ(A->GetColorHot(), B->GetColorHot());
    EXPECT_EQ(A->GetGlowColorHot(), B->GetColorHot());
    EXPECT_EQ(A->GetGlowColorDown(), B->GetColorHot());
    EXPECT_EQ(A->GetShineColor(), TColor(0xFFFFFF));
    Calc->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(A->GetBorderColor(), B->GetBorderColor());
    EXPECT_EQ(A->GetGlowColorHot(), B->GetColorDownTo());
    EXPECT_EQ(A->GetGlowColorDown(), TColor(0xD5C244));
    EXPECT_EQ(A->GetSpecialTextColor(), TColor(0x000080));
    // The keypad takes the colours when the window opens.
    Open();
    EXPECT_EQ(Calc->GetButtonPanel()->GetButtonAppearance()->GetBorderColor(), B->GetBorderColor());
}

// A display that does not convert abandons the memory and arithmetic steps
// and leaves the state as it was.
TEST_F(Calculator, ALoneMinusAbandonsTheStep)
{
    Open();
    Run("4 MS + 3");
    Calc->SetRawText(u"-");
    TCustomButtonPanel* Pad = Calc->GetButtonPanel();
    auto Click = [&](const String& Caption) {
        for (int i = 0; i < Pad->GetButtons()->GetCount(); ++i)
            if (Pad->GetButtons()->GetItem(i)->GetCaption() == Caption)
                Pad->ButtonClick(i);
    };
    EXPECT_THROW(Click(u"M+"), EConvertError);
    EXPECT_THROW(Click(u"="), EConvertError);
    EXPECT_DOUBLE_EQ(Calc->GetMemory(), 4);
    EXPECT_DOUBLE_EQ(Calc->GetAccumulator(), 4);
    EXPECT_EQ(Display(), "-");
    EXPECT_DOUBLE_EQ(Calc->GetValue(), 0);
}
