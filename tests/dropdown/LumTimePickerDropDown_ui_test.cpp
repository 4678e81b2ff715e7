#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDropDownForm.h"
#include "dropdown/LumTimePickerDropDown.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/rtl/DateUtils.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

TDateTime At(int h, int m, int s = 0, int ms = 0) { return EncodeTime(Word(h), Word(m), Word(s), Word(ms)); }

struct TimeDropDown : ::testing::Test {
    THeadlessSession Session;
    std::unique_ptr<TForm> Form;
    TLumTimePickerDropDown* Edit { nullptr };
    TEdit* Other { nullptr };
    int TimeChanges { 0 };

    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        InstallDeviceContextFactory();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 400, 320);
        Edit = new TLumTimePickerDropDown(Form.get());
        Edit->SetParent(Form.get());
        Edit->SetBounds(20, 20, 160, 21);
        Edit->OnTimeChange = [this](TObject*) { ++TimeChanges; };
        Other = new TEdit(Form.get());
        Other->SetParent(Form.get());
        Other->SetBounds(20, 260, 100, 21);
        Form->Show();
        Pump();
    }
    static void Pump() { Application->ProcessMessages(); }
    void Open()
    {
        Edit->ShowDropDown();
        Pump();
        ASSERT_TRUE(Edit->GetDroppedDown());
    }
};

} // namespace

TEST_F(TimeDropDown, TimeAndItsText)
{
    EXPECT_EQ(Edit->GetText(), u"00:00:00");
    EXPECT_EQ(double(Edit->GetTime()), 0.0);
    EXPECT_FALSE(Edit->GetEditorEnabled());
    EXPECT_FALSE(Edit->GetDropDownHeader()->GetVisible());

    // The text parses back: milliseconds are dropped from the value.
    Edit->SetTime(At(13, 5, 9, 250));
    EXPECT_EQ(Edit->GetText(), u"13:05:09");
    EXPECT_EQ(Edit->GetTime(), At(13, 5, 9));
    EXPECT_EQ(TimeChanges, 0);

    // Without seconds the value keeps whole minutes.
    Edit->SetShowSeconds(false);
    EXPECT_EQ(Edit->GetText(), u"13:05");
    EXPECT_EQ(Edit->GetTime(), At(13, 5));
    Edit->SetTime(At(7, 45, 30));
    EXPECT_EQ(Edit->GetText(), u"07:45");
    EXPECT_EQ(Edit->GetTime(), At(7, 45));
}

TEST_F(TimeDropDown, UpAndDownStepTheFieldUnderTheCaret)
{
    Edit->SetFocus();
    Pump();
    struct Case {
        const char* what;
        TDateTime from;
        int caret;
        WORD key;
        TDateTime to;
    };
    const Case cases[] = {
        { "caret 2: hour", At(12, 34, 56), 2, VK_DOWN, At(13, 34, 56) },
        { "caret 3: minute", At(12, 34, 56), 3, VK_DOWN, At(12, 35, 56) },
        { "caret 5: minute", At(12, 34, 56), 5, VK_DOWN, At(12, 35, 56) },
        { "caret 6: second", At(12, 34, 56), 6, VK_DOWN, At(12, 34, 57) },
        { "Up at hour 00", At(0, 34, 56), 0, VK_UP, At(23, 34, 56) },
        { "Down at minute 59", At(12, 59, 56), 4, VK_DOWN, At(12, 0, 56) },
        { "Up at second 00", At(12, 30, 0), 7, VK_UP, At(12, 30, 59) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Edit->SetTime(c.from);
        Edit->SetSel(c.caret, c.caret);
        const int Before = TimeChanges;
        Headless::Key(c.key);
        Pump();
        EXPECT_EQ(Edit->GetTime(), c.to);
        EXPECT_EQ(TimeChanges, Before + 1);
        EXPECT_EQ(Edit->GetSelStart(), c.caret);
    }

    // Ctrl+Up steps nothing; Alt+Down opens the window instead.
    Edit->SetTime(At(12, 34, 56));
    Edit->SetSel(0, 0);
    Headless::Key(VK_UP, false, true);
    Pump();
    EXPECT_EQ(Edit->GetTime(), At(12, 34, 56));
    Headless::Key(VK_DOWN, false, false, true);
    Pump();
    EXPECT_TRUE(Edit->GetDroppedDown());
    EXPECT_EQ(Edit->GetTime(), At(12, 34, 56));
}

TEST_F(TimeDropDown, TypedTextIsReadWithBlanksAsZero)
{
    Edit->SetEditorEnabled(true);
    Edit->SetShowSeconds(false);
    Edit->SetTime(At(3, 3));
    struct Case {
        const char* what;
        const char16_t* typed;
        const char16_t* shown;
        TDateTime time;
    };
    const Case cases[] = {
        { "a blank hour digit", u" 9:05", u" 9:05", At(9, 5) },
        { "whole hours are rewritten", u" 9:00", u"09:00", At(9, 0) },
        { "a blank after the hour digit", u"1 :00", u"10:00", At(10, 0) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Edit->SetRawText(c.typed);
        EXPECT_EQ(Edit->GetText(), String(c.shown));
        EXPECT_EQ(Edit->GetTime(), c.time);
    }

    // Not a time: the text shows the time now and the value stays.
    Edit->SetTime(At(4, 30));
    Edit->SetRawText(u"25:10");
    EXPECT_EQ(Edit->GetTime(), At(4, 30));
    EXPECT_NE(Edit->GetText(), u"25:10");
}

TEST_F(TimeDropDown, AHalfTypedTextNeitherRaisesNorLosesTheTime)
{
    Edit->SetEditorEnabled(true);
    Edit->SetTime(At(10, 20, 30));
    // Without a mask a half-typed text can stand in the edit.
    Edit->SetText(String());
    EXPECT_EQ(Edit->GetEditMask(), String());
    Edit->SetTime(At(10, 20, 30));
    Edit->SetRawText(u"12:3x:00");
    EXPECT_EQ(Edit->GetTime(), At(10, 20, 30));

    Edit->SetFocus();
    Pump();
    EXPECT_NO_THROW(Other->SetFocus());
    Pump();
    EXPECT_EQ(Edit->GetTime(), At(10, 20, 30));

    // Opening shows the value it still has on the clock.
    Edit->SetRawText(u"12:3x:00");
    EXPECT_NO_THROW(Open());
    EXPECT_EQ(Edit->GetWatch()->GetTime(), At(10, 20, 30));
    Edit->HideDropDown(true);
    Pump();

    // An empty text on leaving is midnight.
    Edit->SetFocus();
    Pump();
    Edit->SetRawText(String());
    Other->SetFocus();
    Pump();
    EXPECT_EQ(double(Edit->GetTime()), 0.0);
}

TEST_F(TimeDropDown, TheClockSetsTheTimeAndCancellingRestoresIt)
{
    Edit->SetAnimation(false);
    Edit->SetTime(At(9, 41, 7));
    Open();
    TLumWatch* W = Edit->GetWatch();
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(W->GetTime(), At(9, 41, 7));
    EXPECT_FALSE(W->GetAnimation());
    EXPECT_TRUE(W->Focused());
    EXPECT_FALSE(Edit->GetDropDownForm()->GetCancelOnDeActivate());

    // Page Up on the clock moves the hour, and the edit follows at once.
    Headless::Key(VK_PRIOR);
    Pump();
    EXPECT_EQ(W->GetTime(), At(10, 41, 7));
    EXPECT_EQ(Edit->GetText(), u"10:41:07");
    // Up and Down stay with the clock, which ignores them.
    Headless::Key(VK_DOWN);
    Pump();
    EXPECT_TRUE(Edit->GetDroppedDown());
    EXPECT_EQ(W->GetTime(), At(10, 41, 7));

    Headless::Key(VK_ESCAPE);
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_EQ(Edit->GetText(), u"09:41:07");
    EXPECT_EQ(Edit->GetTime(), At(9, 41, 7));
    EXPECT_EQ(W->GetTime(), At(9, 41, 7));

    // Return keeps what the clock shows.
    Open();
    Headless::Key(VK_NEXT);
    Headless::Key(VK_RETURN);
    Pump();
    EXPECT_FALSE(Edit->GetDroppedDown());
    EXPECT_EQ(Edit->GetTime(), At(8, 41, 7));
    EXPECT_EQ(Edit->GetText(), u"08:41:07");
}

TEST_F(TimeDropDown, ALiveClockTakesNoClicks)
{
    Edit->GetWatchSettings()->SetAuto(true);
    Edit->SetTime(At(8, 15));
    Open();
    TLumWatch* W = Edit->GetWatch();
    EXPECT_TRUE(W->GetSettings()->GetAuto());
    EXPECT_EQ(W->GetTime(), At(8, 15));
    Headless::Click(W->ClientToScreen(TPoint(W->GetWidth() / 2 + 30, W->GetHeight() / 2)));
    Pump();
    EXPECT_EQ(W->GetTime(), At(8, 15));
    Edit->HideDropDown(false);
    Pump();
    EXPECT_EQ(Edit->GetTime(), At(8, 15));
}

TEST_F(TimeDropDown, TheTimePickerUnderTheClock)
{
    Edit->SetShowTimePicker(true);
    Edit->SetAnimation(false);
    Edit->SetTime(At(14, 20, 10));
    Open();
    TDateTimePicker* P = Edit->GetTimePicker();
    ASSERT_NE(P, nullptr);
    EXPECT_EQ(P->GetKind(), dtkTime);
    EXPECT_EQ(P->GetFormat(), u"HH:mm:ss");
    EXPECT_EQ(Edit->GetDropDownHeight(), P->GetHeight() + 171);
    EXPECT_EQ(double(P->GetTime()), double(At(14, 20, 10)));

    // The picker moves the clock and the text; the value follows on closing.
    P->SetTime(TTime(At(15, 0, 0)));
    P->OnChange(P);
    EXPECT_EQ(Edit->GetWatch()->GetTime(), At(15, 0, 0));
    EXPECT_EQ(Edit->GetText(), u"15:00:00");
    Edit->HideDropDown(false);
    Pump();
    EXPECT_EQ(Edit->GetTime(), At(15, 0, 0));

    // The clock moves the picker.
    Open();
    Edit->GetWatch()->SetHour(16);
    EXPECT_EQ(double(P->GetTime()), double(At(16, 0, 0)));
    EXPECT_EQ(TimeChanges, 1);
    Edit->HideDropDown(false);
    Pump();

    Edit->SetShowTimePicker(false);
    Open();
    EXPECT_FALSE(P->GetVisible());
}

TEST(TimeDropDownStyles, OwnRowsAndTheClockTable)
{
    THeadlessSession Session;
    TLumTimePickerDropDown Edit;
    TWatchAppearance* A = Edit.GetWatchAppearance();
    Edit.SetComponentStyle(tsOffice2019Gray);
    EXPECT_EQ(Edit.GetColor(), TColor(0xD4D4D4));
    EXPECT_EQ(Edit.GetFont()->GetColor(), TColor(0x232425));
    EXPECT_EQ(A->GetHourFont()->GetColor(), TColor(0x232425));
    EXPECT_EQ(A->GetBackgroundColorTo(), TColor(0xB8BBBE));
    EXPECT_EQ(A->GetHourColor(), TColor(0x86888A));
    EXPECT_EQ(A->GetMinuteColor(), TColor(0x232425));
    EXPECT_EQ(A->GetHourPointerShadow(), clNone);
    EXPECT_EQ(A->GetSecondPointer(), TColor(0x939597));
    EXPECT_EQ(A->GetCenterPointOuterBorderColor(), clBlack);

    Edit.SetComponentStyle(tsOffice2003Olive);
    EXPECT_EQ(Edit.GetColor(), clWindow);
    EXPECT_EQ(A->GetBackgroundColor(), TColor(0xB9EAE1));
    EXPECT_EQ(A->GetHourFont()->GetColor(), clBlack);

    Edit.SetComponentStyle(tsWindows10);  // only the first steps
    EXPECT_EQ(A->GetBackgroundColor(), TColor(0xB9EAE1));
    EXPECT_EQ(Edit.GetUIStyle(), tsWindows10);
}
