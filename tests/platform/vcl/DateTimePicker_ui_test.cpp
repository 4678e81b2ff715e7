#include <algorithm>
#include <string>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "tests/platform/vcl/SimpleControlsFixture.h"

namespace {

// One keystroke of a script: a virtual key (with Alt) or typed text.
struct TStroke {
    WORD Key { 0 };
    const char16_t* Text { nullptr };
    bool Alt { false };
};
TStroke K(WORD key) { return { key, nullptr, false }; }
TStroke T(const char16_t* text) { return { 0, text, false }; }
TStroke AltK(WORD key) { return { key, nullptr, true }; }

TDateTime DT(Word y, Word m, Word d, Word h = 0, Word mi = 0, Word s = 0) { return EncodeDateTime(y, m, d, h, mi, s, 0); }

class PickerUi : public SimpleControls {
protected:
    void SetUp() override
    {
        SimpleControls::SetUp();
        // Names and default formats come from the locale: pin them.
        m_savedSettings = FormatSettings;
        FormatSettings = TFormatSettings::Invariant();
    }
    void TearDown() override
    {
        FormatSettings = m_savedSettings;
        SimpleControls::TearDown();
    }

    // A shown form with a focused picker in `format` holding `value`; the
    // notifications it sends its parent are recorded.
    TDateTimePicker* MakePicker(TForm* form, const String& format, TDateTime value)
    {
        auto* p = Add<TDateTimePicker>(form, form, { 10, 10, 200, 31 });
        p->SetFormat(format);
        p->SetDateTime(value);
        TWndMethod old = form->WindowProc;
        form->WindowProc = [this, old, p](TMessage& m) {
            if (m.Msg == WM_NOTIFY && p->HandleAllocated() && reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom == p->GetHandle()) {
                const auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
                codes.push_back(hdr->code);
                if (hdr->code == DTN_DATETIMECHANGE)
                    changeFlags.push_back(LRESULT(std::int32_t(reinterpret_cast<NMDATETIMECHANGE*>(m.LParam)->dwFlags)));
            }
            old(m);
        };
        form->Show();
        p->SetFocus();
        Pump();
        return p;
    }

    static void Play(const std::vector<TStroke>& strokes)
    {
        for (const TStroke& s : strokes) {
            if (s.Text)
                Headless::Type(s.Text);
            else
                Headless::Key(s.Key, false, false, s.Alt);
        }
        Pump();
    }

    static String Text(TDateTimePicker* p) { return GetWindowText(p->GetHandle()); }

    std::vector<UINT> codes;
    std::vector<LRESULT> changeFlags;

private:
    TFormatSettings m_savedSettings;
};

TEST_F(PickerUi, KeysMoveBetweenFieldsStepThemAndDigitsCompleteAFieldInPlace)
{
    struct TCase {
        const char* What;
        const char16_t* Format;
        TDateTime Start;
        std::vector<TStroke> Keys;
        const char16_t* Shown;
        int Field;
    };
    const TCase cases[] = {
        { "up steps the day", u"dd/MM/yyyy", DT(2024, 3, 5), { K(VK_UP) }, u"06/03/2024", 0 },
        { "the day wraps within its month", u"dd/MM/yyyy", DT(2024, 1, 31), { K(VK_UP) }, u"01/01/2024", 0 },
        { "and back to the month's last day", u"dd/MM/yyyy", DT(2023, 2, 1), { K(VK_DOWN) }, u"28/02/2023", 0 },
        { "a month step clamps the day", u"dd/MM/yyyy", DT(2024, 1, 31), { K(VK_RIGHT), K(VK_UP) }, u"29/02/2024", 1 },
        { "the month wraps and keeps the year", u"dd/MM/yyyy", DT(2024, 12, 15), { K(VK_RIGHT), K(VK_UP) }, u"15/01/2024", 1 },
        { "a year step off 29 February", u"dd/MM/yyyy", DT(2024, 2, 29), { K(VK_RIGHT), K(VK_RIGHT), K(VK_UP) }, u"28/02/2025", 2 },
        { "left from the first field wraps to the last", u"dd/MM/yyyy", DT(2024, 3, 5), { K(VK_LEFT), K(VK_DOWN) }, u"05/03/2023", 2 },
        { "end takes the month's last day", u"dd/MM/yyyy", DT(2024, 4, 5), { K(VK_END) }, u"30/04/2024", 0 },
        { "two digits complete the day, the caret stays", u"dd/MM/yyyy", DT(2024, 3, 5), { T(u"17") }, u"17/03/2024", 0 },
        { "a digit no other can follow completes at once", u"dd/MM/yyyy", DT(2024, 3, 5), { T(u"4") }, u"04/03/2024", 0 },
        { "in February a 3 is a whole day", u"dd/MM/yyyy", DT(2023, 2, 10), { T(u"3") }, u"03/02/2023", 0 },
        { "a first digit waits in the field", u"dd/MM/yyyy", DT(2024, 3, 5), { K(VK_RIGHT), T(u"1") }, u"05/1/2024", 1 },
        { "the second makes the month", u"dd/MM/yyyy", DT(2024, 3, 5), { K(VK_RIGHT), T(u"11") }, u"05/11/2024", 1 },
        { "leaving takes a waiting digit", u"dd/MM/yyyy", DT(2024, 3, 5), { K(VK_RIGHT), T(u"1"), K(VK_RIGHT) }, u"05/01/2024", 2 },
        { "the year takes four digits", u"dd/MM/yyyy", DT(2024, 3, 5), { K(VK_LEFT), T(u"2030") }, u"05/03/2030", 2 },
        { "typed digits then up step the same field", u"dd/MM/yyyy", DT(2024, 3, 5), { T(u"17"), K(VK_UP) }, u"18/03/2024", 0 },
        { "the hour wraps and leaves the date", u"HH:mm:ss", DT(2024, 3, 5, 23, 59, 58), { K(VK_UP) }, u"00:59:58", 0 },
        { "seconds", u"HH:mm:ss", DT(2024, 3, 5, 10, 0, 59), { K(VK_LEFT), K(VK_UP) }, u"10:00:00", 2 },
        { "a 7 is a whole minute", u"HH:mm:ss", DT(2024, 3, 5, 10, 30, 0), { K(VK_RIGHT), T(u"7") }, u"10:07:00", 1 },
        { "p makes the afternoon", u"hh:mm tt", DT(2024, 3, 5, 11, 30), { K(VK_LEFT), T(u"p") }, u"11:30 PM", 2 },
        { "up flips the half of the day", u"hh:mm tt", DT(2024, 3, 5, 14, 30), { K(VK_LEFT), K(VK_UP) }, u"02:30 AM", 2 },
        { "a typed 12-hour value keeps the half", u"hh:mm tt", DT(2024, 3, 5, 14, 30), { T(u"9") }, u"09:30 PM", 0 },
        { "month names step and take letters", u"MMMM d", DT(2024, 3, 5), { T(u"j") }, u"June 5", 0 },
        { "a weekday field steps the date", u"ddd dd", DT(2024, 3, 31), { K(VK_UP) }, u"Mon 01", 0 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        auto form = MakeForm();
        TDateTimePicker* p = MakePicker(form.get(), c.Format, c.Start);
        Play(c.Keys);
        EXPECT_EQ(Text(p), String(c.Shown));
        EXPECT_EQ(p->GetFieldIndex(), c.Field);
    }
}

TEST_F(PickerUi, AFullFieldChangesTheValueOnceAndReportsIt)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5, 8, 15));
    int changes = 0;
    p->OnChange = [&](TObject*) { ++changes; };
    Play({ T(u"2") });
    EXPECT_EQ(changes, 0); // a 2 may still become 25
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 5, 8, 15));
    Play({ T(u"5") });
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 25, 8, 15)); // the time of day is kept
    EXPECT_EQ(codes, (std::vector<UINT> { DTN_DATETIMECHANGE }));
    // Typing the value it already has changes nothing.
    Play({ T(u"25") });
    EXPECT_EQ(changes, 1);
}

TEST_F(PickerUi, WindowTextIsTheShownTextInEveryFormat)
{
    struct TCase {
        const char16_t* Format;
        TDateTimeKind Kind;
        const char16_t* Shown;
    };
    const TDateTime v = DT(2024, 3, 5, 14, 7, 9);
    const TCase cases[] = {
        { u"dd/MM/yyyy", dtkDate, u"05/03/2024" },
        { u"d/M/yy", dtkDate, u"5/3/24" },
        { u"ddd dd MMM yyyy", dtkDate, u"Tue 05 Mar 2024" },
        { u"dddd, MMMM d", dtkDate, u"Tuesday, March 5" },
        { u"hh:mm:ss tt", dtkTime, u"02:07:09 PM" },
        { u"H:m:s t", dtkTime, u"14:7:9 P" },
        { u"'Week of' dd", dtkDate, u"Week of 05" },
        { u"'It''s' yyyy", dtkDate, u"It's 2024" },
        { u"none", dtkDate, u"none" },
        // Empty: the locale's short date or long time.
        { u"", dtkDate, u"03/05/2024" },
        { u"", dtkTime, u"14:07:09" },
    };
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"", v);
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.Format, c.Format + std::char_traits<char16_t>::length(c.Format)).c_str());
        p->SetKind(c.Kind);
        p->SetFormat(c.Format);
        EXPECT_EQ(Text(p), String(c.Shown));
        EXPECT_EQ(p->GetText(), String(c.Shown));
    }
    // A pure literal format has no field to edit.
    p->SetFormat(u"none");
    Play({ K(VK_UP), T(u"7") });
    EXPECT_EQ(p->GetDateTime(), v);
    EXPECT_EQ(p->GetFieldIndex(), -1);

    // A text in the format sets the value; anything else leaves it.
    p->SetKind(dtkDate);
    p->SetFormat(u"dd MMM yyyy");
    p->SetText(u"06 apr 2025");
    EXPECT_EQ(p->GetDateTime(), DT(2025, 4, 6, 14, 7, 9));
    for (const char16_t* bad : { u"31 Feb 2025", u"tomorrow", u"06 apr", u"" }) {
        p->SetText(bad);
        EXPECT_EQ(p->GetDateTime(), DT(2025, 4, 6, 14, 7, 9));
    }
    EXPECT_TRUE(codes.empty()); // values set by the program are not reported
}

TEST_F(PickerUi, CheckBoxByClickAndNoValueWhenUnchecked)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5));
    p->SetShowCheckbox(true);
    HWND h = p->GetHandle();
    EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & DTS_SHOWNONE);
    SYSTEMTIME st {};
    ASSERT_EQ(SendMessage(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
    EXPECT_EQ(st.wDay, 5);

    // (2, 2) is the box, (24, 2) the first field.
    Play({ K(VK_RIGHT) });
    ClickAt(p, { 2, 2 });
    EXPECT_FALSE(p->GetChecked());
    EXPECT_EQ(SendMessage(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_NONE);
    EXPECT_EQ(SendMessage(h, DTM_GETSYSTEMTIME, 0, 0), GDT_ERROR);
    EXPECT_EQ(changeFlags, (std::vector<LRESULT> { GDT_NONE }));
    EXPECT_EQ(Text(p), u"05/03/2024"); // the value waits, greyed

    ClickAt(p, { 24, 2 });
    EXPECT_FALSE(p->GetChecked());
    EXPECT_EQ(p->GetFieldIndex(), 0);

    // Editing a field, or the space bar, checks the box again.
    Play({ K(VK_UP) });
    EXPECT_TRUE(p->GetChecked());
    EXPECT_EQ(p->GetDate(), DT(2024, 3, 6));
    Play({ T(u" ") });
    EXPECT_FALSE(p->GetChecked());
    Play({ T(u" ") });
    EXPECT_TRUE(p->GetChecked());
    EXPECT_EQ(changeFlags, (std::vector<LRESULT> { GDT_NONE, GDT_VALID, GDT_NONE, GDT_VALID }));

    // The program's side: GDT_NONE clears the box, a value sets it, and
    // neither is reported.
    changeFlags.clear();
    EXPECT_EQ(SendMessage(h, DTM_SETSYSTEMTIME, WPARAM(GDT_NONE), 0), 1);
    EXPECT_FALSE(p->GetChecked());
    p->SetDate(DT(2024, 7, 1)); // kept for when it is checked
    EXPECT_FALSE(p->GetChecked());
    p->SetChecked(true);
    EXPECT_EQ(SendMessage(h, DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)), GDT_VALID);
    EXPECT_EQ(st.wMonth, 7);
    EXPECT_TRUE(changeFlags.empty());

    // Without the box there is always a value.
    p->SetShowCheckbox(false);
    EXPECT_EQ(SendMessage(h, DTM_SETSYSTEMTIME, WPARAM(GDT_NONE), 0), 0);
    ClickAt(p, { 2, 2 });
    EXPECT_TRUE(p->GetChecked());
}

TEST_F(PickerUi, BoundsHoldAndZeroMeansNone)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 10, 9, 30));
    p->SetMinDate(DT(2024, 3, 9));
    p->SetMaxDate(DT(2024, 3, 11));
    HWND h = p->GetHandle();

    struct TCase {
        const char* What;
        std::vector<TStroke> Keys;
        TDateTime Value;
    };
    const TCase cases[] = {
        { "up to the last day", { K(VK_UP) }, DT(2024, 3, 11, 9, 30) },
        { "and no further", { K(VK_UP) }, DT(2024, 3, 11, 9, 30) },
        { "a later month stops at the bound", { K(VK_RIGHT), K(VK_UP) }, DT(2024, 3, 11, 9, 30) },
        { "typed days are bounded too", { K(VK_LEFT), T(u"01") }, DT(2024, 3, 9, 9, 30) },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        Play(c.Keys);
        EXPECT_EQ(p->GetDateTime(), c.Value);
    }

    // The program gets a clear error and the value stays.
    EXPECT_THROW(p->SetDate(DT(2024, 3, 12)), EDateTimeError);
    EXPECT_THROW(p->SetDateTime(DT(2024, 3, 8, 23, 0)), EDateTimeError);
    EXPECT_THROW(p->SetMinDate(DT(2024, 4, 1)), EDateTimeError);
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 9, 9, 30));
    p->SetDateTime(DT(2024, 3, 11, 23, 59)); // the whole last day is inside
    SYSTEMTIME st = {};
    DateTimeToSystemTime(DT(2025, 1, 1), st);
    EXPECT_EQ(SendMessage(h, DTM_SETSYSTEMTIME, WPARAM(GDT_VALID), reinterpret_cast<LPARAM>(&st)), 0);
    SYSTEMTIME range[2] = {};
    EXPECT_EQ(SendMessage(h, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)), LRESULT(GDTR_MIN | GDTR_MAX));
    EXPECT_EQ(range[0].wDay, 9);
    EXPECT_EQ(range[1].wDay, 11);

    // A tighter bound moves the value in; 0 lifts a bound.
    p->SetMaxDate(DT(2024, 3, 10));
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 10, 23, 59));
    p->SetMaxDate(0);
    p->SetMinDate(0);
    EXPECT_EQ(SendMessage(h, DTM_GETRANGE, 0, reinterpret_cast<LPARAM>(range)), 0);
    p->SetDate(DT(1990, 1, 1));
    Play({ K(VK_DOWN) });
    EXPECT_EQ(p->GetDate(), DT(1990, 1, 31));
}

TEST_F(PickerUi, TheCalendarOpensWithF4OrAltDownAndIsChosenByKeys)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5, 8, 0));
    std::vector<std::string> events;
    p->OnChange = [&](TObject*) { events.push_back("change"); };
    p->OnDropDown = [&](TObject*) { events.push_back("drop"); };
    p->OnCloseUp = [&](TObject*) { events.push_back("close"); };
    HWND h = p->GetHandle();
    EXPECT_EQ(SendMessage(h, DTM_GETMONTHCAL, 0, 0), 0);

    Play({ K(VK_F4) });
    ASSERT_TRUE(p->GetDroppedDown());
    HWND cal = reinterpret_cast<HWND>(SendMessage(h, DTM_GETMONTHCAL, 0, 0));
    ASSERT_EQ(cal, p->GetCalendar()->GetHandle());
    EXPECT_TRUE(IsWindowVisible(cal));
    EXPECT_TRUE(GetWindowLongPtr(cal, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
    EXPECT_EQ(GetActiveWindow(), form->GetHandle());
    EXPECT_EQ(GetFocus(), h);
    DATETIMEPICKERINFO info;
    info.cbSize = 56;
    ASSERT_EQ(SendMessage(h, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.hwndDropDown, cal);
    EXPECT_EQ(info.stateButton, STATE_SYSTEM_PRESSED);

    // Arrows walk the calendar, not the value; Enter takes the day.
    Play({ K(VK_RIGHT), K(VK_RIGHT), K(VK_DOWN) });
    EXPECT_EQ(p->GetCalendar()->GetDate(), DT(2024, 3, 14));
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 5, 8, 0));
    Play({ K(VK_RETURN) });
    EXPECT_FALSE(p->GetDroppedDown());
    EXPECT_FALSE(IsWindowVisible(cal));
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 14, 8, 0));
    EXPECT_EQ(events, (std::vector<std::string> { "drop", "change", "close" }));
    EXPECT_EQ(codes, (std::vector<UINT> { DTN_DROPDOWN, DTN_DATETIMECHANGE, DTN_CLOSEUP }));

    // Alt+Down opens, a page goes a month on, Esc leaves the value.
    events.clear();
    codes.clear();
    Play({ AltK(VK_DOWN), K(VK_NEXT) });
    ASSERT_TRUE(p->GetDroppedDown());
    EXPECT_EQ(p->GetCalendar()->GetDate(), DT(2024, 4, 14));
    Play({ K(VK_ESCAPE) });
    EXPECT_FALSE(p->GetDroppedDown());
    EXPECT_EQ(p->GetDate(), DT(2024, 3, 14));
    EXPECT_EQ(codes, (std::vector<UINT> { DTN_DROPDOWN, DTN_CLOSEUP }));

    // F4 again, or Alt+Up, closes; a time picker has no calendar.
    Play({ K(VK_F4), K(VK_F4) });
    EXPECT_FALSE(p->GetDroppedDown());
    Play({ K(VK_F4), AltK(VK_UP) });
    EXPECT_FALSE(p->GetDroppedDown());
    p->SetKind(dtkTime);
    Play({ K(VK_F4) });
    EXPECT_FALSE(p->GetDroppedDown());
}

TEST_F(PickerUi, ADayIsChosenByAClickAndAPressOutsideCloses)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5, 8, 0));
    p->SetMaxDate(DT(2024, 3, 20));
    int deactivations = 0;
    form->OnDeactivate = [&](TObject*) { ++deactivations; };

    ClickAt(p, { p->ButtonRect().Left + 4, 5 });
    ASSERT_TRUE(p->GetDroppedDown());
    TMonthCalendar* cal = p->GetCalendar();
    const TRect day = cal->DayRect(DT(2024, 3, 19));
    ASSERT_FALSE(day.IsEmpty());
    Headless::Click(cal->ClientToScreen({ (day.Left + day.Right) / 2, (day.Top + day.Bottom) / 2 }));
    Pump();
    EXPECT_FALSE(p->GetDroppedDown());
    EXPECT_EQ(p->GetDateTime(), DT(2024, 3, 19, 8, 0));
    EXPECT_EQ(GetFocus(), p->GetHandle());
    EXPECT_EQ(deactivations, 0);

    // A day past the bound is not taken; the arrows move a month.
    ClickAt(p, { p->ButtonRect().Left + 4, 5 });
    const TRect late = cal->DayRect(DT(2024, 3, 28));
    Headless::Click(cal->ClientToScreen({ late.Left + 2, late.Top + 2 }));
    Pump();
    EXPECT_TRUE(p->GetDroppedDown());
    EXPECT_EQ(cal->GetDate(), DT(2024, 3, 20));
    const TRect prev = cal->PrevRect();
    Headless::Click(cal->ClientToScreen({ prev.Left + 2, prev.Top + 2 }));
    Pump();
    EXPECT_EQ(cal->GetDate(), DT(2024, 2, 20));
    EXPECT_EQ(p->GetDate(), DT(2024, 3, 19));

    // A press outside closes without choosing.
    ClickAt(form.get(), { 300, 250 });
    EXPECT_FALSE(p->GetDroppedDown());
    EXPECT_EQ(p->GetDate(), DT(2024, 3, 19));
}

TEST_F(PickerUi, TheDropDownHandlerStylesAndSizesTheOpenCalendar)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5));
    TRect plain, styled;
    p->OnDropDown = [&](TObject*) {
        HWND cal = reinterpret_cast<HWND>(SendMessage(p->GetHandle(), DTM_GETMONTHCAL, 0, 0));
        ASSERT_NE(cal, nullptr);
        RECT r {};
        SendMessage(cal, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
        plain = r;
        SetWindowLong(cal, GWL_STYLE, GetWindowLong(cal, GWL_STYLE) | LONG(MCS_WEEKNUMBERS | MCS_NOTODAY | MCS_NOTODAYCIRCLE));
        SendMessage(cal, MCM_GETMINREQRECT, 0, reinterpret_cast<LPARAM>(&r));
        styled = r;
        SetWindowPos(cal, nullptr, 0, 0, styled.Width() + 2, styled.Height() + 2, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    Play({ K(VK_F4) });
    ASSERT_TRUE(p->GetDroppedDown());
    TMonthCalendar* cal = p->GetCalendar();
    EXPECT_TRUE(cal->GetWeekNumbers());
    EXPECT_FALSE(cal->GetShowToday());
    EXPECT_FALSE(cal->GetShowTodayCircle());
    EXPECT_GT(styled.Width(), plain.Width());   // the week column
    EXPECT_LT(styled.Height(), plain.Height()); // no today line
    EXPECT_TRUE(cal->TodayRect().IsEmpty());
    RECT wr;
    GetWindowRect(cal->GetHandle(), wr);
    EXPECT_EQ(TRect(wr).Width(), styled.Width() + 2);
    EXPECT_EQ(cal->GetClientWidth(), styled.Width());
    // The calendar hangs under the picker.
    RECT pr;
    GetWindowRect(p->GetHandle(), pr);
    EXPECT_EQ(TRect(wr).Top, TRect(pr).Bottom);

    // The next drop-down starts from the styles given to the picker.
    Play({ K(VK_ESCAPE) });
    p->OnDropDown = nullptr;
    SendMessage(p->GetHandle(), DTM_SETMCSTYLE, 0, LPARAM(MCS_NOTODAY));
    Play({ K(VK_F4) });
    EXPECT_FALSE(cal->GetWeekNumbers());
    EXPECT_FALSE(cal->GetShowToday());
}

TEST_F(PickerUi, TypedTextGoesToTheParentAsAUserString)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5, 8, 0));
    HWND h = p->GetHandle();
    Play({ K(VK_F2) });
    EXPECT_FALSE(p->GetEditControl()->GetVisible()); // only with ParseInput

    p->SetParseInput(true);
    EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & DTS_APPCANPARSE);
    std::vector<String> seen;
    p->OnUserInput = [&](TObject*, const String& s, TDateTime& value, bool& allow) {
        seen.push_back(s);
        if (s == u"tomorrow") {
            value = DT(2024, 3, 6, 8, 0);
            allow = true;
        }
    };
    struct TCase {
        const char* What;
        const char16_t* Typed;
        WORD EndKey;
        TDateTime Value;
        bool Reported;
    };
    const TCase cases[] = {
        { "a text in the format", u"25/12/2024", VK_RETURN, DT(2024, 12, 25, 8, 0), true },
        { "the handler reads its own words", u"tomorrow", VK_RETURN, DT(2024, 3, 6, 8, 0), true },
        { "an unreadable text leaves the value", u"soon", VK_RETURN, DT(2024, 3, 6, 8, 0), true },
        { "Esc drops the text", u"01/01/2030", VK_ESCAPE, DT(2024, 3, 6, 8, 0), false },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        seen.clear();
        Play({ K(VK_F2) });
        TCustomEdit* edit = p->GetEditControl();
        ASSERT_TRUE(edit->GetVisible());
        EXPECT_EQ(GetFocus(), edit->GetHandle());
        EXPECT_EQ(edit->GetSelLength(), edit->GetTextLen()); // the shown text, selected
        Headless::Type(c.Typed);
        Play({ K(c.EndKey) });
        EXPECT_FALSE(edit->GetVisible());
        EXPECT_EQ(GetFocus(), h);
        EXPECT_EQ(p->GetDateTime(), c.Value);
        EXPECT_EQ(seen.size(), c.Reported ? 1u : 0u);
    }
    EXPECT_EQ(std::count(codes.begin(), codes.end(), DTN_USERSTRINGW), 3);
}

TEST_F(PickerUi, TheEditChildCarriesBalloonTipsAndTheInfoRecordDescribesTheParts)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5));
    p->SetShowCheckbox(true);
    HWND h = p->GetHandle();
    DATETIMEPICKERINFO info;
    info.cbSize = 12;
    EXPECT_EQ(SendMessage(h, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    info.cbSize = 56;
    ASSERT_EQ(SendMessage(h, DTM_GETDATETIMEPICKERINFO, 0, reinterpret_cast<LPARAM>(&info)), 1);
    EXPECT_EQ(info.stateCheck, STATE_SYSTEM_CHECKED);
    EXPECT_LT(TRect(info.rcCheck).Right, 20);
    EXPECT_EQ(TRect(info.rcButton), p->ButtonRect());
    EXPECT_EQ(TRect(info.rcButton).Width(), GetSystemMetrics(SM_CXVSCROLL) + 2);
    EXPECT_EQ(info.hwndDropDown, nullptr);
    ASSERT_NE(info.hwndEdit, nullptr);
    EXPECT_EQ(GetParent(info.hwndEdit), h);

    EDITBALLOONTIP tip;
    tip.pszTitle = u"Invalid";
    tip.pszText = u"Pick a weekday";
    SendMessage(info.hwndEdit, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
    Pump();
    EXPECT_TRUE(p->GetEditControl()->BalloonShowing());
    EXPECT_EQ(p->GetEditControl()->GetBalloonText(), u"Pick a weekday");
}

TEST_F(PickerUi, LookFrameColourButtonStripAndDialogCode)
{
    auto form = MakeForm();
    TDateTimePicker* p = MakePicker(form.get(), u"dd/MM/yyyy", DT(2024, 3, 5));
    HWND h = p->GetHandle();
    EXPECT_TRUE(p->GetDoubleBuffered());
    EXPECT_TRUE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_EQ(SendMessage(h, WM_GETDLGCODE, 0, 0), LRESULT(DLGC_WANTARROWS | DLGC_WANTCHARS));
    EXPECT_EQ(p->GetClientWidth(), p->GetWidth() - 4);

    const TRect button = p->ButtonRect();
    EXPECT_EQ(button.Width(), GetSystemMetrics(SM_CXVSCROLL) + 2);
    EXPECT_EQ(button.Right, p->GetClientWidth());
    p->SetColor(clYellow);
    EXPECT_EQ(PixelAt(p, { button.Left - 3, 2 }), clYellow);
    EXPECT_EQ(PixelAt(p, { button.Left + 4, 4 }), ColorToRGB(clBtnFace)); // the button's face
    // The frame: sunken with the 3-D look, one line without.
    EXPECT_EQ(PixelAt(p, { -2, 5 }), ColorToRGB(clBtnShadow));
    EXPECT_EQ(PixelAt(p, { -1, 5 }), ColorToRGB(cl3DDkShadow));
    p->SetCtl3D(false);
    h = p->GetHandle();
    EXPECT_FALSE(GetWindowLong(h, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    EXPECT_TRUE(GetWindowLong(h, GWL_STYLE) & WS_BORDER);
    EXPECT_EQ(p->GetClientWidth(), p->GetWidth() - 2);
    EXPECT_EQ(PixelAt(p, { -1, 5 }), ColorToRGB(clWindowFrame));
    EXPECT_EQ(Text(p), u"05/03/2024"); // the new window shows the same value

    // The focused field is drawn selected.
    const TColor highlight = ColorToRGB(clHighlight);
    bool found = false;
    for (int x = 2; x < 12 && !found; ++x)
        found = PixelAt(p, { x, p->GetClientHeight() / 2 }) == highlight;
    EXPECT_TRUE(found);
}

// What a descendant of the picker does: eat keys in KeyDown and paint over
// the picker after it has painted.
class TMarkedPicker : public TDateTimePicker {
public:
    using TDateTimePicker::TDateTimePicker;
    void Dispatch(TMessage& Message) override
    {
        TDateTimePicker::Dispatch(Message);
        if (Message.Msg == WM_PAINT && HandleAllocated()) {
            HDC dc = GetDC(GetHandle());
            FillSolid(dc, TRect(0, 0, 4, 4), clRed);
            ReleaseDC(GetHandle(), dc);
        }
    }

protected:
    void KeyDown(WORD& Key, TShiftState Shift) override
    {
        if (Key == VK_UP)
            Key = 0;
        TDateTimePicker::KeyDown(Key, Shift);
    }
};

TEST_F(PickerUi, DescendantsSeeKeysFirstAndPaintOver)
{
    auto form = MakeForm();
    auto* p = Add<TMarkedPicker>(form.get(), form.get(), { 10, 10, 200, 31 });
    p->SetFormat(u"dd/MM/yyyy");
    p->SetDateTime(DT(2024, 3, 5));
    form->Show();
    p->SetFocus();
    Play({ K(VK_UP), K(VK_DOWN) });
    EXPECT_EQ(p->GetDate(), DT(2024, 3, 4));
    p->Invalidate();
    EXPECT_EQ(PixelAt(p, { 1, 1 }), clRed);
}

} // namespace
