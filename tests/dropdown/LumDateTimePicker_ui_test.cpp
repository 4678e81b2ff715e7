#include <gtest/gtest.h>

#include <memory>

#include "dropdown/LumDateTimePicker.h"
#include "dropdown/LumToolTip.h"
#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

TDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) { return EncodeDateTime(y, mo, d, h, mi, s, 0); }
TDateTime Today() { return DateOf(Now()); }

struct LumPicker : ::testing::Test {
    THeadlessSession Session;
    TFormatSettings Saved { FormatSettings };
    std::unique_ptr<TForm> Form;
    TLumDateTimePicker* P { nullptr };
    TEdit* After { nullptr };

    void SetUp() override
    {
        InstallDeviceContextFactory();
        FormatSettings = TFormatSettings::Invariant();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(100, 100, 500, 300);
        P = new TLumDateTimePicker(Form.get());
        P->SetParent(Form.get());
        P->SetBounds(150, 100, 200, 23);
        After = new TEdit(Form.get());
        After->SetParent(Form.get());
        After->SetBounds(150, 200, 100, 21);
        Form->Show();
        // The form gave the picker the focus; tests enter it themselves.
        Focus(After);
    }
    void TearDown() override
    {
        Form.reset();
        FormatSettings = Saved;
    }
    void Focus(TWinControl* C)
    {
        C->SetFocus();
        Headless::PumpUntilIdle();
    }
    void GoToField(int Field)
    {
        for (int i = 0; i < 4 && P->GetFieldIndex() != Field; ++i) {
            Headless::Key(VK_RIGHT);
            Headless::PumpUntilIdle();
        }
        ASSERT_EQ(P->GetFieldIndex(), Field);
    }
    // One key at a time, as a person types.
    void Type(const String& Keys)
    {
        for (Char k : Keys) {
            Headless::Type(String(1, k));
            Headless::PumpUntilIdle();
        }
    }
    String Shown() { return GetWindowText(P->GetHandle()); }
};

} // namespace

TEST_F(LumPicker, DateAndTimeParts)
{
    ASSERT_EQ(P->GetKind(), dkDateTime);
    P->SetDateTime(At(2024, 12, 31, 10, 20, 30));
    TCustomDateTimePicker* T = P->GetTimePicker();
    ASSERT_NE(T, nullptr);
    EXPECT_TRUE(T->GetVisible());
    EXPECT_EQ(T->GetParent(), P);
    EXPECT_TRUE(T->GetIsTimePicker());
    EXPECT_EQ(P->GetDateTime(), At(2024, 12, 31, 10, 20, 30));
    // The time part holds today's date.
    EXPECT_EQ(DateOf(T->GetDateTime()), Today());
    // The time part's time of day is the picker's.
    T->SetTime(EncodeTime(14, 5, 0, 0));
    EXPECT_EQ(P->GetDateTime(), At(2024, 12, 31, 14, 5));
    EXPECT_EQ(P->GetTime(), EncodeTime(14, 5, 0, 0));
    // Writing the date keeps the time of day.
    P->SetDate(At(2025, 1, 5));
    EXPECT_EQ(P->GetDateTime(), At(2025, 1, 5, 14, 5));
    // Placed near the right edge for the platform's common controls
    // (6.10, no theme): top 2, four pixels shorter than the picker.
    EXPECT_EQ(T->GetTop(), 2);
    EXPECT_EQ(T->GetHeight(), P->GetHeight() - 4);
    EXPECT_EQ(T->GetLeft() + T->GetWidth(), P->GetWidth() - 21);

    // Date 0 stands for today while NullDateIsToday.
    P->SetNullDateIsToday(true);
    P->SetDateTime(EncodeTime(9, 15, 0, 0));
    EXPECT_EQ(P->GetDateTime(), Today() + EncodeTime(9, 15, 0, 0));
    P->SetNullDateIsToday(false);
    // MinDate bounds the date and keeps the time of day.
    P->SetMinDate(At(2024, 6, 1));
    P->SetDateTime(At(2024, 1, 2, 8, 30));
    EXPECT_EQ(P->GetDateTime(), At(2024, 6, 1, 8, 30));

    // The other kinds have no time part.
    P->SetKind(dkDate);
    EXPECT_EQ(P->GetTimePicker(), nullptr);
    EXPECT_EQ(P->GetDate(), At(2024, 6, 1));
}

TEST_F(LumPicker, TimeWindowOfATimePicker)
{
    P->SetKind(dkTime);
    P->SetTimeFormat(u"HH:mm");
    EXPECT_EQ(P->GetFormat(), u"HH:mm");
    struct Case {
        const char* what;
        TTime min, max;
        const char16_t* typed;
        TTime expected;
    };
    const TTime Eight = EncodeTime(8, 0, 0, 0), Five = EncodeTime(17, 0, 0, 0);
    const Case cases[] = {
        { "after the window", Eight, Five, u"18", Five },
        { "before it", Eight, Five, u"07", Eight },
        { "inside it", Eight, Five, u"12", EncodeTime(12, 0, 0, 0) },
        { "equal bounds bound nothing", Eight, Eight, u"18", EncodeTime(18, 0, 0, 0) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        P->SetMinTime(c.min);
        P->SetMaxTime(c.max);
        P->SetDateTime(EncodeTime(10, 0, 0, 0));
        Focus(P);
        GoToField(0);
        Type(c.typed);
        EXPECT_EQ(P->GetTime(), c.expected);
        // The clamp leaves a value of day 0; the time of day is still written.
        P->SetTime(EncodeTime(11, 30, 0, 0));
        EXPECT_EQ(P->GetTime(), EncodeTime(11, 30, 0, 0));
        Focus(After);
    }
}

TEST_F(LumPicker, TimeWrittenInADateAndTimePickerShowsInTheTimePart)
{
    P->SetDateTime(At(2024, 3, 4, 5, 6, 7));
    P->SetTime(EncodeTime(22, 10, 0, 0));
    EXPECT_EQ(P->GetTime(), EncodeTime(22, 10, 0, 0));
    EXPECT_EQ(P->GetDateTime(), At(2024, 3, 4, 22, 10));
    EXPECT_EQ(TimeOf(P->GetTimePicker()->GetDateTime()), EncodeTime(22, 10, 0, 0));
}

TEST_F(LumPicker, NullDateCycle)
{
    P->SetFormat(u"dd/MM/yyyy");
    P->SetTimeFormat(u"HH:mm");
    P->SetNullDateFormat(u"'None'");
    P->SetDateTime(0);
    // The null date shows its own format in both parts.
    EXPECT_EQ(P->GetFormat(), u"'None'");
    EXPECT_EQ(P->GetTimeFormat(), u"'None'");
    EXPECT_EQ(Shown(), u"None");
    EXPECT_EQ(GetWindowText(P->GetTimePicker()->GetHandle()), u"None");

    // Entering shows today in the normal formats...
    Focus(P);
    EXPECT_EQ(P->GetDateTime(), Today());
    EXPECT_EQ(P->GetFormat(), u"dd/MM/yyyy");
    EXPECT_EQ(P->GetTimeFormat(), u"HH:mm");
    // ...leaving without a change brings the null date back.
    Focus(After);
    EXPECT_EQ(P->GetDateTime(), 0);
    EXPECT_EQ(Shown(), u"None");

    // Leaving after a change keeps the new value.
    Focus(P);
    GoToField(0);
    Headless::Key(VK_UP);
    Headless::PumpUntilIdle();
    const TDateTime Changed = P->GetDateTime();
    EXPECT_NE(Changed, Today());
    EXPECT_EQ(DateOf(Changed), Changed);
    Focus(After);
    EXPECT_EQ(P->GetDateTime(), Changed);
    EXPECT_EQ(P->GetFormat(), u"dd/MM/yyyy");
}

TEST_F(LumPicker, CtrlDeleteClearsOnlyWithANullDateFormat)
{
    struct Case {
        const char16_t* nullFormat;
        bool cleared;
    };
    for (const Case c : { Case { u"'None'", true }, Case { u"", false } }) {
        SCOPED_TRACE(StringToUtf8(c.nullFormat));
        P->SetNullDateFormat(c.nullFormat);
        P->SetDateTime(At(2024, 5, 6, 7, 8));
        Focus(P);
        Headless::Key(VK_DELETE, false, true);
        Headless::PumpUntilIdle();
        EXPECT_EQ(P->GetDateTime(), c.cleared ? 0 : At(2024, 5, 6, 7, 8));
        Focus(After);
    }
}

TEST_F(LumPicker, AFormatEqualToTheNullFormatIsNotRemembered)
{
    struct Case {
        const char16_t* nullFormat;
    };
    for (const Case c : { Case { u"'None'" }, Case { u"" } }) {
        SCOPED_TRACE(StringToUtf8(c.nullFormat));
        P->SetNullDateFormat(u"");
        P->SetFormat(u"dd/MM/yyyy");
        P->SetNullDateFormat(c.nullFormat);
        P->SetDateTime(At(2024, 5, 6));
        P->SetFormat(c.nullFormat);
        EXPECT_EQ(P->GetFormat(), String(c.nullFormat));
        Focus(P);
        EXPECT_EQ(P->GetFormat(), u"dd/MM/yyyy");
        Focus(After);
    }
}

TEST_F(LumPicker, AutoTabOverTheDate)
{
    P->SetAutoTab(true);
    P->SetDateTime(At(2024, 12, 31, 10, 20));
    struct Case {
        const char* what;
        TLumDateTimeKind kind;
        const char16_t* format;
        int field;
        const char16_t* typed;
        int fieldAfter;          // the caret's field when the focus stays
        const char* focusAfter;  // "picker", "time part" or "away"
    };
    const Case cases[] = {
        { "last field 'y', a new year: into the time part", dkDateTime, u"dd/MM/yyyy", 2, u"2025", 2, "time part" },
        { "last field 'y', a new day: caret right", dkDateTime, u"dd/MM/yyyy", 0, u"15", 1, "picker" },
        { "last field 'y', a new month: caret right", dkDateTime, u"dd/MM/yyyy", 1, u"03", 2, "picker" },
        // Without a format the locale's: MM/dd/yyyy.
        { "no format, the month it has", dkDateTime, u"", 0, u"12", 1, "picker" },
        { "no format, the day it has", dkDateTime, u"", 1, u"31", 2, "picker" },
        { "no format, the year it has", dkDateTime, u"", 2, u"2024", -1, "away" },
        { "no format, the year it has, a date picker", dkDate, u"", 2, u"2024", 2, "picker" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(FormatSettings.ShortDateFormat, u"MM/dd/yyyy");
        P->SetKind(c.kind);
        // A null-date format of its own, so that an empty format is taken.
        P->SetNullDateFormat(u"'-'");
        P->SetFormat(c.format);
        EXPECT_EQ(P->GetFormat(), String(c.format));
        P->SetDateTime(At(2024, 12, 31, 10, 20));
        Focus(P);
        GoToField(c.field);
        Type(c.typed);
        const std::string where = c.focusAfter;
        if (where == "picker") {
            EXPECT_TRUE(P->Focused());
            EXPECT_EQ(P->GetFieldIndex(), c.fieldAfter);
        } else if (where == "time part") {
            ASSERT_NE(P->GetTimePicker(), nullptr);
            EXPECT_TRUE(P->GetTimePicker()->Focused());
        } else {
            EXPECT_FALSE(P->Focused());
        }
        Focus(After);
    }
}

TEST_F(LumPicker, LabelPositions)
{
    P->SetLabelCaption(u"Due");
    TLabel* Label = P->GetPickerLabel();
    ASSERT_NE(Label, nullptr);
    EXPECT_EQ(Label->GetParent(), Form.get());
    EXPECT_EQ(P->GetLabelCaption(), u"Due");
    const int L = P->GetLeft(), T = P->GetTop(), W = P->GetWidth(), H = P->GetHeight(), a = 4, b = 2;
    struct Case {
        TLabelPosition position;
        int top, left; // with lw, lh, tw below
    };
    auto Check = [&] {
        const int lw = Label->GetWidth(), lh = Label->GetHeight(), tw = lw;
        const int vc = lh < H ? T + (H - b - lh) / 2 : T - (b + lh - H) / 2;
        const int hc = L + (W - lw) / 2;
        const Case cases[] = {
            { lpLeftTop, T, L - tw - a }, { lpLeftCenter, vc, L - tw - a }, { lpLeftBottom, T + H - lh, L - tw - a },
            { lpTopLeft, T - lh - a, L }, { lpBottomLeft, T + H + a, L }, { lpLeftTopLeft, T, L - a },
            { lpLeftCenterLeft, vc, L - a }, { lpLeftBottomLeft, T + H - lh, L - a },
            { lpTopCenter, T - lh - a, hc }, { lpBottomCenter, T + H + a, hc }, { lpRightTop, T, L + W + a },
            { lpRightCenter, vc, L + W + a }, { lpRighBottom, T + H - lh, L + W + a },
            { lpTopRight, T - lh - a, L + W - lw }, { lpBottomRight, T + H + a, L + W - lw },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(int(c.position));
            P->SetLabelPosition(c.position);
            EXPECT_EQ(Label->GetTop(), c.top);
            EXPECT_EQ(Label->GetLeft(), c.left);
        }
    };
    Check();
    // A label taller than the picker, centred beside it.
    P->GetLabelFont()->SetSize(30);
    ASSERT_GT(Label->GetHeight(), H);
    P->SetLabelPosition(lpLeftCenter);
    EXPECT_EQ(Label->GetTop(), T - (2 + Label->GetHeight() - H) / 2);
    Check();
}

TEST_F(LumPicker, AlignedPickerMakesRoomForItsLabel)
{
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(0, 0, 400, 40);
    Panel->SetBevelOuter(bvNone);
    P->SetLabelCaption(u"Due");
    P->SetParent(Panel);
    const int lw = P->GetPickerLabel()->GetWidth();
    P->SetAlign(alClient);
    EXPECT_EQ(P->GetLeft(), 4 + lw);
    EXPECT_EQ(P->GetWidth(), Panel->GetClientWidth() - 4 - lw);
    EXPECT_EQ(P->GetPickerLabel()->GetLeft(), 0);
}

TEST_F(LumPicker, VersionAndCheckBox)
{
    EXPECT_EQ(P->GetVersion(), u"1.3.6.6");
    P->SetVersion(u"9.9.9.9");
    EXPECT_EQ(P->GetVersion(), u"1.3.6.6");

    int Clicks = 0;
    P->OnCheckClick = [&](TObject*) { ++Clicks; };
    P->SetShowCheckbox(true);
    P->SetDateTime(At(2024, 1, 2, 3, 4));
    ASSERT_NE(P->GetTimePicker(), nullptr);
    EXPECT_TRUE(P->GetTimePicker()->GetEnabled());
    Focus(P);
    Headless::Type(u" ");
    Headless::PumpUntilIdle();
    EXPECT_FALSE(P->GetChecked());
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(P->GetTimePicker()->GetEnabled());
    Headless::Type(u" ");
    Headless::PumpUntilIdle();
    EXPECT_TRUE(P->GetChecked());
    EXPECT_EQ(Clicks, 2);
    EXPECT_TRUE(P->GetTimePicker()->GetEnabled());
}

TEST_F(LumPicker, TypedTextThePickerCannotRead)
{
    P->SetKind(dkDate);
    P->SetFormat(u"dd/MM/yyyy");
    P->SetParseInput(true);
    const TDateTime Old = At(2024, 5, 6);
    struct Case {
        const char* what;
        const char16_t* typed;
        bool handler;
        TDateTime expected;
    };
    const Case cases[] = {
        { "unreadable, no handler: kept", u"garbage", false, Old },
        { "readable, no handler: taken", u"07/08/2023", false, At(2023, 7, 8) },
        { "unreadable, a handler decides", u"garbage", true, At(2020, 2, 2) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        P->SetDateTime(Old);
        if (c.handler)
            P->OnUserInput = [](TObject*, const String&, TDateTime& Value, bool& Ok) {
                Value = EncodeDate(2020, 2, 2);
                Ok = true;
            };
        else
            P->OnUserInput = nullptr;
        Focus(P);
        Headless::Key(VK_F2);
        Headless::PumpUntilIdle();
        ASSERT_TRUE(P->GetEditControl()->GetVisible());
        Headless::Type(c.typed);
        Headless::PumpUntilIdle();
        Headless::Key(VK_RETURN);
        Headless::PumpUntilIdle();
        EXPECT_EQ(P->GetDateTime(), c.expected);
        Focus(After);
    }
}

TEST_F(LumPicker, FreedWithItsBalloonShown)
{
    if (!EnsureGdiplusStarted())
        GTEST_SKIP() << "libgdiplus is not installed";
    // The settings go first, then the picker with its balloon.
    auto* Look = new TLumToolTip(Form.get());
    Look->SetBorderColor(clBlue);
    P->SetToolTip(Look);
    P->SetBorderColor(clGreen);
    P->ShowValidation(u"Not a working day");
    ASSERT_NE(P->GetToolTipWindow(), nullptr);
    EXPECT_TRUE(P->GetToolTipWindow()->GetVisible());
    // While shown the picker wears the balloon's border colour.
    EXPECT_EQ(P->GetBorderColor(), clBlue);
    delete Look;
    EXPECT_EQ(P->GetToolTip(), nullptr);
    EXPECT_EQ(P->GetToolTipWindow()->GetToolTip(), nullptr);
    P->HideValidation();
    EXPECT_EQ(P->GetBorderColor(), clGreen);

    P->ShowValidation(u"Again");
    delete P;
    P = nullptr;
    Application->ProcessMessages();
}
