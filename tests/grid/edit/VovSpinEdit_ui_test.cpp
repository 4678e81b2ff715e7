#include <gtest/gtest.h>

#include <memory>

#include "grid/edit/VovSpinEdit.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"

namespace {

class SpinEditUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDeviceContextFactory();
        saved = FormatSettings;
        FormatSettings.DateSeparator = u'.';
        FormatSettings.TimeSeparator = u':';
        FormatSettings.DecimalSeparator = u'.';
        FormatSettings.ThousandSeparator = u',';
        FormatSettings.ShortDateFormat = u"dd.MM.yyyy";
        FormatSettings.LongTimeFormat = u"hh:nn:ss";
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 300, 200);
        form->SetPosition(poDesigned);
        edit = new TVovSpinEdit(form.get());
        edit->SetBounds(10, 10, 120, 24);
        edit->SetParent(form.get());
    }
    void TearDown() override
    {
        form.reset();
        FormatSettings = saved;
    }
    static void Pump() { Application->ProcessMessages(); }
    void Focus()
    {
        form->Show();
        Pump();
        edit->SetFocus();
        Pump();
    }

    THeadlessSession session;
    TFormatSettings saved;
    std::unique_ptr<TForm> form;
    TVovSpinEdit* edit {};
};

struct StepCase {
    const char16_t* Text;
    int Caret;
    int Sign;
    const char16_t* Expected;
};

void RunSteps(TVovSpinEdit* e, std::initializer_list<StepCase> cases)
{
    for (const StepCase& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text) + " caret " + std::to_string(c.Caret) + " sign " + std::to_string(c.Sign));
        e->SetText(c.Text);
        e->SetSelStart(c.Caret);
        if (c.Sign > 0)
            e->UpStep(false);
        else
            e->DownStep(false);
        EXPECT_EQ(StringToUtf8(e->GetText()), StringToUtf8(c.Expected));
    }
}

} // namespace

TEST_F(SpinEditUi, DateStepsThePartUnderTheCaret)
{
    edit->SetSpinType(sptDate);
    RunSteps(edit, {
        { u"31.12.2024", 0, +1, u"01.01.2025" },   // day first: day
        { u"31.12.2024", 3, +1, u"31.01.2025" },   // month
        { u"31.01.2024", 4, +1, u"29.02.2024" },   // month end limits the day
        { u"31.12.2024", 6, +1, u"31.12.2025" },   // year
        { u"31.12.2024", 10, -1, u"31.12.2023" },
        { u"29.02.2024", 8, +1, u"28.02.2025" },   // no 29 February: the 28th
        { u"29.02.2024", 8, -1, u"28.02.2023" },
    });
    // Month first when the short date format says so.
    FormatSettings.ShortDateFormat = u"MM.dd.yyyy";
    RunSteps(edit, {
        { u"12.31.2024", 0, +1, u"01.31.2025" },
        { u"12.31.2024", 3, +1, u"01.01.2025" },
    });
    // Limits clamp; equal limits do not.
    FormatSettings.ShortDateFormat = u"dd.MM.yyyy";
    edit->MinDateValue = EncodeDate(2024, 1, 1);
    edit->MaxDateValue = EncodeDate(2024, 12, 31);
    RunSteps(edit, { { u"31.12.2024", 0, +1, u"31.12.2024" } });
}

TEST_F(SpinEditUi, TimeNumberAndFloatSteps)
{
    edit->SetSpinType(sptTime);
    RunSteps(edit, {
        { u"00:30:00", 0, -1, u"23:30:00" },   // below midnight wraps
        { u"00:30:00", 3, -1, u"00:29:00" },
        { u"00:30:00", 6, +1, u"00:30:01" },
        { u"23:59:59", 7, +1, u"00:00:00" },
    });
    edit->ShowSeconds = false;
    RunSteps(edit, { { u"9:05", 3, +1, u"9:06" } });

    edit->SetSpinType(sptNormal);
    edit->MinValue = 0;
    edit->MaxValue = 10;
    RunSteps(edit, {
        { u"10", 0, +1, u"10" },
        { u"0", 0, -1, u"0" },
        { u"x", 0, +1, u"1" },   // no number: the minimum, stepped
    });
    edit->MinValue = edit->MaxValue = 5; // equal limits: none
    RunSteps(edit, { { u"100", 0, +1, u"101" } });

    edit->SetSpinType(sptFloat);
    edit->SetPrecision(2);
    RunSteps(edit, {
        { u"1.00", 0, +1, u"1.10" },
        { u"100.00", 0, +1, u"100.00" },
    });
}

TEST_F(SpinEditUi, KeysStepFilterAndClampOnExit)
{
    auto* other = new TVovSpinEdit(form.get());
    other->SetBounds(10, 50, 120, 24);
    other->SetParent(form.get());
    edit->SetSpinType(sptFloat);
    edit->SetPrecision(2);
    Focus();
    edit->SetText(u"1.00");
    Headless::Key(VK_UP);
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "1.10");
    Headless::Key(VK_NEXT);
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "0.10");

    // No more decimals than the precision, no thousand separator, letters refused.
    edit->SetText(u"3.1");
    edit->SetSelStart(3);
    Headless::Type(u"45,x");
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "3.14");

    // Leaving clamps a typed value into the limits.
    edit->SetText(u"250");
    other->SetFocus();
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "100.00");

    // A read-only edit does not step.
    other->SetReadOnly(true);
    other->SetText(u"5");
    Headless::Key(VK_UP);
    Pump();
    EXPECT_EQ(StringToUtf8(other->GetText()), "5");
}

TEST_F(SpinEditUi, CharacterRulesByKind)
{
    struct Case {
        TVovSpinType Type;
        const char16_t* Text;
        int SelStart, SelLength;
        Char Key;
        bool Valid;
    };
    const Case cases[] = {
        { sptNormal, u"12", 0, 0, u'-', true },
        { sptNormal, u"12", 1, 0, u'-', false },
        { sptNormal, u"-12", 0, 1, u'-', true },
        { sptNormal, u"12", 0, 0, u'.', false },
        { sptNormal, u"12", 0, 0, u':', false },
        { sptFloat, u"1.5", 0, 0, u'.', false },
        { sptFloat, u"1.5", 1, 1, u'.', true },
        { sptFloat, u"1", 1, 0, u',', false },
        { sptTime, u"10:30", 5, 0, u':', true },
        { sptTime, u"10:30:00", 8, 0, u':', false },
        { sptDate, u"1.1", 3, 0, u'.', true },
        { sptDate, u"1", 1, 0, u'a', false },
        { sptNormal, u"1", 1, 0, u'\r', false },
        { sptNormal, u"1", 1, 0, u'\x1b', false },   // control characters pass only digits and "-" for integers
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.Text) + " key " + std::to_string(int(c.Key)) + " type " + std::to_string(int(c.Type)));
        edit->SetSpinType(c.Type);
        edit->SetText(c.Text);
        edit->SetSel(c.SelStart, c.SelStart + c.SelLength);
        Char k = c.Key;
        EXPECT_EQ(edit->IsValidChar(k), c.Valid);
    }
    edit->EditorEnabled = false;
    Char backspace = 8, digit = u'1';
    EXPECT_FALSE(edit->IsValidChar(backspace));
    EXPECT_FALSE(edit->IsValidChar(digit));
}
