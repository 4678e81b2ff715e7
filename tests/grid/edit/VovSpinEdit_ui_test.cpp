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
    edit->SetMinDateValue(EncodeDate(2024, 1, 1));
    edit->SetMaxDateValue(EncodeDate(2024, 12, 31));
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
    edit->SetShowSeconds(false);
    RunSteps(edit, { { u"9:05", 3, +1, u"9:06" } });

    edit->SetSpinType(sptNormal);
    edit->SetMinValue(0);
    edit->SetMaxValue(10);
    RunSteps(edit, {
        { u"10", 0, +1, u"10" },
        { u"0", 0, -1, u"0" },
        { u"x", 0, +1, u"1" },   // no number: the minimum, stepped
    });
    edit->SetMinValue(5); // equal limits: none
    edit->SetMaxValue(5);
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
    session.Backend().ClearRecords();
    Headless::Type(u"45,x");
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "3.14");
    EXPECT_EQ(session.Backend().GetBeeps().size(), 3u); // one per refused character

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
    edit->SetEditorEnabled(false);
    Char backspace = 8, digit = u'1';
    EXPECT_FALSE(edit->IsValidChar(backspace));
    EXPECT_FALSE(edit->IsValidChar(digit));
}

TEST_F(SpinEditUi, ArrowButtonRepeatsWhileHeld)
{
    auto* other = new TVovSpinEdit(form.get());
    other->SetBounds(10, 50, 120, 24);
    other->SetParent(form.get());
    edit->SetMaxValue(1000);
    form->Show();
    Pump();
    other->SetFocus();
    Pump();
    TLumTimerSpeedButton* up = edit->GetButton()->GetUpButton();
    const TPoint at = up->ClientToScreen({ up->GetWidth() / 2, up->GetHeight() / 2 });

    // A short click steps once, at the release, and brings the focus to the edit.
    Headless::MouseDown(at);
    Pump();
    EXPECT_EQ(edit->GetValue(), 0);
    EXPECT_TRUE(edit->Focused());
    Headless::MouseUp(at);
    Pump();
    EXPECT_EQ(edit->GetValue(), 1);

    // Held down: the first repeat after 400 ms, then one every 100 ms, and
    // one more at the release over the button.
    Headless::MouseDown(at);
    session.PassTime(399);
    EXPECT_EQ(edit->GetValue(), 1);
    session.PassTime(1);
    EXPECT_EQ(edit->GetValue(), 2);
    session.PassTime(99);
    EXPECT_EQ(edit->GetValue(), 2);
    session.PassTime(1);
    EXPECT_EQ(edit->GetValue(), 3);
    session.PassTime(200);
    EXPECT_EQ(edit->GetValue(), 5);
    Headless::MouseUp(at);
    Pump();
    EXPECT_EQ(edit->GetValue(), 6);
    session.PassTime(1000);
    EXPECT_EQ(edit->GetValue(), 6);

    // Released away from the button: no step at the release.
    TLumTimerSpeedButton* down = edit->GetButton()->GetDownButton();
    const TPoint downAt = down->ClientToScreen({ down->GetWidth() / 2, down->GetHeight() / 2 });
    Headless::MouseDown(downAt);
    session.PassTime(450);
    EXPECT_EQ(edit->GetValue(), 5);
    Headless::MouseMove({ downAt.X + 100, downAt.Y });
    Headless::MouseUp({ downAt.X + 100, downAt.Y });
    Pump();
    EXPECT_EQ(edit->GetValue(), 5);
}

TEST_F(SpinEditUi, ButtonLayout)
{
    form->Show();
    Pump();
    TVovSpinButton* b = edit->GetButton();
    ASSERT_EQ(b->GetParent(), edit);
    EXPECT_EQ(b->GetFocusControl(), edit);
    const int H = edit->GetHeight();
    EXPECT_EQ(b->GetBoundsRect(), TRect(120 - 15 - 5, 0, 120 - 5, H - 5));
    // The two halves overlap by one pixel.
    const int bh = b->GetHeight();
    EXPECT_EQ(b->GetUpButton()->GetBoundsRect(), TRect(0, 0, 15, bh / 2));
    EXPECT_EQ(b->GetDownButton()->GetBoundsRect(), TRect(0, bh / 2 - 1, 15, bh));
    // The text stops short of the button.
    RECT r {};
    edit->Perform(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
    EXPECT_EQ(r.Right, edit->GetClientWidth() - 15 - 2);
    // The built-in arrow glyphs.
    EXPECT_FALSE(b->GetUpGlyph()->GetEmpty());
    EXPECT_FALSE(b->GetDownGlyph()->GetEmpty());

    // Too low a height is raised to what the font needs.
    edit->SetHeight(6);
    EXPECT_EQ(edit->GetHeight(), edit->GetMinHeight());
    EXPECT_GT(edit->GetMinHeight(), 12);

    // Side by side: down left, up right, 20 pixels wide.
    edit->SetDirection(spHorizontal);
    EXPECT_EQ(b->GetWidth(), 20);
    EXPECT_EQ(b->GetLeft(), 120 - 20 - 5);
    EXPECT_EQ(b->GetDownButton()->GetBoundsRect(), TRect(0, 0, 10, b->GetHeight()));
    EXPECT_EQ(b->GetUpButton()->GetBoundsRect(), TRect(11, 0, 21, b->GetHeight()));
    EXPECT_EQ(b->GetUpButton()->GetButtonDirection(), bdRight);
    EXPECT_EQ(b->GetDownButton()->GetButtonDirection(), bdLeft);
}

TEST_F(SpinEditUi, ButtonColourPaintsTheArrowButtons)
{
    edit->GetButton()->SetButtonColor(TColor(0x0000FF));
    edit->GetButton()->SetButtonColorHot(TColor(0x00FF00));
    form->Show();
    Pump();
    TLumTimerSpeedButton* up = edit->GetButton()->GetUpButton();
    const TPoint origin = up->ClientToScreen({ 0, 0 });
    EXPECT_EQ(Headless::ScreenPixel({ origin.X + 1, origin.Y + 1 }) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Headless::ScreenPixel({ origin.X + 6, origin.Y + 3 }) & 0xFFFFFF, 0x000000u); // the arrow
    Headless::MouseMove({ origin.X + 2, origin.Y + 2 });
    Pump();
    EXPECT_TRUE(up->GetHasMouse());
    EXPECT_EQ(Headless::ScreenPixel({ origin.X + 1, origin.Y + 1 }) & 0xFFFFFF, 0x00FF00u);
}

TEST_F(SpinEditUi, EditorDisabledStillSteps)
{
    edit->SetEditorEnabled(false);
    Focus();
    edit->SetText(u"7");
    edit->SetSelStart(1);
    Headless::Type(u"12");
    Headless::Key(VK_DELETE);
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "7");
    Headless::Key(VK_UP);
    Pump();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "8");
    EXPECT_EQ(edit->GetSelLength(), 1); // a written value is selected
}

TEST_F(SpinEditUi, ReturnIsTabMovesOn)
{
    auto* other = new TVovSpinEdit(form.get());
    other->SetBounds(10, 50, 120, 24);
    other->SetParent(form.get());
    edit->SetReturnIsTab(true);
    Focus();
    Headless::Key(VK_RETURN);
    Pump();
    EXPECT_TRUE(other->Focused());
}

TEST_F(SpinEditUi, LoadingShowsStoredDatesAndTimes)
{
    edit->IncludeComponentState(csLoading);
    edit->SetSpinType(sptDate);
    edit->SetDateValue(EncodeDate(2024, 2, 29));
    edit->Loaded();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "29.02.2024");

    edit->IncludeComponentState(csLoading);
    edit->SetSpinType(sptTime);
    edit->SetShowSeconds(false);
    edit->SetTimeValue(EncodeTime(7, 5, 0, 0));
    edit->Loaded();
    EXPECT_EQ(StringToUtf8(edit->GetText()), "7:05");

    // A fresh date edit reads as now.
    auto* fresh = new TVovSpinEdit(form.get());
    EXPECT_NEAR(fresh->GetDateValue(), Now(), 1.0 / 86400);
}

TEST_F(SpinEditUi, StandAloneSpinButtonTakesArrowKeys)
{
    auto* spin = new TVovSpinButton(form.get());
    spin->SetParent(form.get());
    spin->SetBounds(200, 10, 15, 30);
    spin->SetTabStop(true);
    int ups = 0, downs = 0;
    spin->OnUpClick = [&](TObject* Sender) { EXPECT_EQ(Sender, spin); ++ups; };
    spin->OnDownClick = [&](TObject*) { ++downs; };
    form->Show();
    Pump();
    spin->SetFocus();
    Pump();
    EXPECT_EQ(spin->Perform(WM_GETDLGCODE), LRESULT(DLGC_WANTARROWS));
    EXPECT_TRUE(spin->GetUpButton()->GetTimeBtnState().Contains(tbFocusRect));

    Headless::Key(VK_DOWN);
    Pump();
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(spin->GetFocusedButton(), spin->GetDownButton());
    EXPECT_TRUE(spin->GetDownButton()->GetTimeBtnState().Contains(tbFocusRect));
    EXPECT_FALSE(spin->GetUpButton()->GetTimeBtnState().Contains(tbFocusRect));
    Headless::Key(VK_SPACE);
    Pump();
    EXPECT_EQ(downs, 2);
    Headless::Key(VK_UP);
    Pump();
    EXPECT_EQ(ups, 1);

    // Leaving takes the focus rectangle away.
    edit->SetFocus();
    Pump();
    EXPECT_FALSE(spin->GetUpButton()->GetTimeBtnState().Contains(tbFocusRect));
}
