#pragma once
// The date/time picker and the month calendar. The picker shows its value
// in fields laid out by a format and edits them from the keyboard; in its
// combo-box mode a button opens a month calendar as a pop-up that never
// takes activation: the focus stays in the picker, which routes keys and
// the captured mouse to the calendar. Both controls speak the window
// system's DTM_/MCM_ messages and send DTN_/MCN_ notifications to their
// parent as WM_NOTIFY, reflected back as CN_NOTIFY to the events.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/DateUtils.h"
#include "platform/vcl/StdCtrls_List.h"

// ---- picker styles, messages and notifications ----

inline constexpr DWORD DTS_UPDOWN = 0x0001;
inline constexpr DWORD DTS_SHOWNONE = 0x0002;
inline constexpr DWORD DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr DWORD DTS_LONGDATEFORMAT = 0x0004;
inline constexpr DWORD DTS_SHORTDATECENTURYFORMAT = 0x000C;
inline constexpr DWORD DTS_TIMEFORMAT = 0x0009; // takes DTS_UPDOWN with it
inline constexpr DWORD DTS_APPCANPARSE = 0x0010;
inline constexpr DWORD DTS_RIGHTALIGN = 0x0020;

inline constexpr UINT DTM_FIRST = 0x1000;
inline constexpr UINT DTM_GETSYSTEMTIME = DTM_FIRST + 1;
inline constexpr UINT DTM_SETSYSTEMTIME = DTM_FIRST + 2;
inline constexpr UINT DTM_GETRANGE = DTM_FIRST + 3;
inline constexpr UINT DTM_SETRANGE = DTM_FIRST + 4;
inline constexpr UINT DTM_SETFORMATA = DTM_FIRST + 5;
inline constexpr UINT DTM_GETMONTHCAL = DTM_FIRST + 8;
inline constexpr UINT DTM_SETMCSTYLE = DTM_FIRST + 11;
inline constexpr UINT DTM_GETMCSTYLE = DTM_FIRST + 12;
inline constexpr UINT DTM_CLOSEMONTHCAL = DTM_FIRST + 13;
inline constexpr UINT DTM_GETDATETIMEPICKERINFO = DTM_FIRST + 14;
inline constexpr UINT DTM_SETFORMATW = DTM_FIRST + 50;

// DTM_GETSYSTEMTIME answers and DTM_SETSYSTEMTIME / DTN_ flags.
inline constexpr LRESULT GDT_ERROR = -1;
inline constexpr LRESULT GDT_VALID = 0;
inline constexpr LRESULT GDT_NONE = 1;
// DTM_GETRANGE / DTM_SETRANGE: which bounds are set.
inline constexpr DWORD GDTR_MIN = 0x0001;
inline constexpr DWORD GDTR_MAX = 0x0002;

inline constexpr UINT DTN_FIRST = 0u - 740u;
inline constexpr UINT DTN_FIRST2 = 0u - 753u;
inline constexpr UINT DTN_DATETIMECHANGE = DTN_FIRST2 - 6;
inline constexpr UINT DTN_USERSTRINGA = DTN_FIRST2 - 5;
inline constexpr UINT DTN_USERSTRINGW = DTN_FIRST - 5;
inline constexpr UINT DTN_USERSTRING = DTN_USERSTRINGW;
inline constexpr UINT DTN_DROPDOWN = DTN_FIRST2 - 1;
inline constexpr UINT DTN_CLOSEUP = DTN_FIRST2;

inline constexpr DWORD STATE_SYSTEM_CHECKED = 0x00000010;

struct NMDATETIMECHANGE {
    NMHDR nmhdr;
    DWORD dwFlags { DWORD(GDT_VALID) };
    SYSTEMTIME st;
};

// DTN_USERSTRING: the parent reads the typed text and answers with st and
// dwFlags (GDT_VALID takes st, GDT_NONE clears the check box, GDT_ERROR
// keeps the value).
struct NMDATETIMESTRINGW {
    NMHDR nmhdr;
    const char16_t* pszUserString { nullptr };
    SYSTEMTIME st;
    DWORD dwFlags { DWORD(GDT_ERROR) };
};

// DTM_GETDATETIMEPICKERINFO; callers set cbSize to 56 (the platform's size
// of the record) or to sizeof.
struct DATETIMEPICKERINFO {
    DWORD cbSize { sizeof(DATETIMEPICKERINFO) };
    RECT rcCheck {};
    DWORD stateCheck { 0 };
    RECT rcButton {};
    DWORD stateButton { 0 };
    HWND hwndEdit { nullptr };
    HWND hwndUD { nullptr };
    HWND hwndDropDown { nullptr };
};

// ---- month calendar styles, messages and notifications ----

inline constexpr DWORD MCS_DAYSTATE = 0x0001;
inline constexpr DWORD MCS_MULTISELECT = 0x0002;
inline constexpr DWORD MCS_WEEKNUMBERS = 0x0004;
inline constexpr DWORD MCS_NOTODAYCIRCLE = 0x0008;
inline constexpr DWORD MCS_NOTODAY = 0x0010;

inline constexpr UINT MCM_FIRST = 0x1000;
inline constexpr UINT MCM_GETCURSEL = MCM_FIRST + 1;
inline constexpr UINT MCM_SETCURSEL = MCM_FIRST + 2;
inline constexpr UINT MCM_GETMINREQRECT = MCM_FIRST + 9;
inline constexpr UINT MCM_SETTODAY = MCM_FIRST + 12;
inline constexpr UINT MCM_GETTODAY = MCM_FIRST + 13;
inline constexpr UINT MCM_GETRANGE = MCM_FIRST + 17;
inline constexpr UINT MCM_SETRANGE = MCM_FIRST + 18;

inline constexpr UINT MCN_FIRST = 0u - 746u;
inline constexpr UINT MCN_SELCHANGE = MCN_FIRST - 3;
inline constexpr UINT MCN_SELECT = MCN_FIRST;

struct NMSELCHANGE {
    NMHDR nmhdr;
    SYSTEMTIME stSelStart;
    SYSTEMTIME stSelEnd;
};

// Raised by the Date/Time/DateTime and bound properties for values outside
// the bounds.
QT_DECLARE_EXCEPTION(EDateTimeError, Exception);

enum TDateTimeKind { dtkDate, dtkTime };
QT_ENUM(TDateTimeKind, dtkDate, dtkTime)
enum TDTDateMode { dmComboBox, dmUpDown };
QT_ENUM(TDTDateMode, dmComboBox, dmUpDown)

using TDTParseInputEvent = std::function<void(TObject* Sender, const String& UserString, TDateTime& DateAndTime, bool& AllowChange)>;

class TDateTimePicker;
class TDateTimePickerEdit;
namespace dtfields { struct TSegment; }

// ---- month calendar ----

class TMonthCalendar : public TCustomControl {
    QT_CLASS(TMonthCalendar, TCustomControl)
public:
    explicit TMonthCalendar(TComponent* AOwner = nullptr);

    // The selected day; the calendar shows its month.
    TDate GetDate() const { return m_date; }
    // EDateTimeError outside the bounds.
    void SetDate(TDate v);
    // 0: no bound.
    TDate GetMinDate() const { return m_minDate; }
    void SetMinDate(TDate v);
    TDate GetMaxDate() const { return m_maxDate; }
    void SetMaxDate(TDate v);
    // Over the window styles MCS_WEEKNUMBERS, MCS_NOTODAY, MCS_NOTODAYCIRCLE,
    // so styles set on the window directly count the same.
    bool GetWeekNumbers() const { return (CalendarStyle() & MCS_WEEKNUMBERS) != 0; }
    void SetWeekNumbers(bool v) { SetStyleBit(MCS_WEEKNUMBERS, v); }
    bool GetShowToday() const { return (CalendarStyle() & MCS_NOTODAY) == 0; }
    void SetShowToday(bool v) { SetStyleBit(MCS_NOTODAY, !v); }
    bool GetShowTodayCircle() const { return (CalendarStyle() & MCS_NOTODAYCIRCLE) == 0; }
    void SetShowTodayCircle(bool v) { SetStyleBit(MCS_NOTODAYCIRCLE, !v); }
    // The day the today line and circle show; the clock's date unless set.
    TDate GetToday() const;
    void SetToday(TDate v);

    // The smallest client rectangle that shows a whole month (MCM_GETMINREQRECT).
    TRect MinReqRect();
    // A day's cell in client coordinates; empty when the day is not shown.
    TRect DayRect(TDate Day);
    // The today line; empty when it is hidden.
    TRect TodayRect();
    // The arrows of the title that go back and forward a month.
    TRect PrevRect();
    TRect NextRect();

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Paint() override;

private:
    friend class TDateTimePicker;
    struct TLayout {
        int CellWidth { 0 };
        int RowHeight { 0 };
        int WeekWidth { 0 };
        TRect Title, Prev, Next, Header, Grid, Today;
    };
    DWORD CalendarStyle() const;
    void SetStyleBit(DWORD Bit, bool On);
    TLayout Layout();
    // The first day of the six shown weeks.
    TDate GridStart() const;
    TDate ClampToRange(TDate v) const;
    // Moves the selection (the shown month follows) and tells the parent.
    void SelectByUser(TDate v);
    void Notify(UINT Code);
    void CalendarKey(WORD Key, TShiftState Shift);
    void CalendarMouse(TMessage& Message);
    LRESULT CalendarMessage(TMessage& Message);

    TDate m_date { 0 };
    TDate m_minDate { 0 };
    TDate m_maxDate { 0 };
    TDate m_today { 0 };
    DWORD m_style { 0 };
    // The picker whose pop-up this is, and where notifications go.
    TDateTimePicker* m_picker { nullptr };
    HWND m_notifyWindow { nullptr };
    TDate m_pressedDay { 0 };
    bool m_dayPressed { false };
    bool m_pressedToday { false };
};

// ---- date/time picker ----

class TDateTimePicker : public TCustomControl {
    QT_CLASS(TDateTimePicker, TCustomControl)
public:
    explicit TDateTimePicker(TComponent* AOwner = nullptr);
    ~TDateTimePicker() override;

    // A time picker edits with the up-down buttons and has no calendar.
    TDateTimeKind GetKind() const { return m_kind; }
    void SetKind(TDateTimeKind v);
    TDTDateMode GetDateMode() const { return m_dateMode; }
    void SetDateMode(TDTDateMode v);
    // Fields d dd ddd dddd M MM MMM MMMM yy yyyy h hh H HH m mm s ss t tt
    // and quoted literals; empty: the locale's short date (date kind) or
    // long time (time kind).
    const String& GetFormat() const { return m_format; }
    void SetFormat(const String& v);
    TDateTime GetDateTime() const { return m_value; }
    // EDateTimeError outside MinDate..MaxDate; the value is kept then.
    virtual void SetDateTime(TDateTime v);
    // The date part; writing it keeps the time of day.
    TDate GetDate() const { return DateOf(m_value); }
    void SetDate(TDate v);
    // The time of day; writing it keeps the date.
    TTime GetTime() const { return TimeOf(m_value); }
    void SetTime(TTime v);
    // Days; 0: no bound. A new bound moves the value inside.
    TDate GetMinDate() const { return m_minDate; }
    void SetMinDate(TDate v);
    TDate GetMaxDate() const { return m_maxDate; }
    void SetMaxDate(TDate v);
    // A check box before the fields; unchecked, the picker has no value
    // (DTM_GETSYSTEMTIME answers GDT_NONE).
    bool GetShowCheckbox() const { return m_showCheckbox; }
    void SetShowCheckbox(bool v);
    bool GetChecked() const { return m_checked; }
    void SetChecked(bool v);
    // F2 lets the user type a free text, handed to the parent (or to
    // OnUserInput) with DTN_USERSTRING.
    bool GetParseInput() const { return m_parseInput; }
    void SetParseInput(bool v);
    bool GetDroppedDown() const { return m_droppedDown; }
    // The pop-up calendar, made on first use.
    TMonthCalendar* GetCalendar() const { return m_calendar.get(); }
    // The edit child that holds a typed free text (and shows the balloon
    // tips sent to it); hidden unless the user types one.
    TCustomEdit* GetEditControl() const;

    // The areas of the client: the check box column, the fields and the
    // button strip (SM_CXVSCROLL + 2 wide).
    TRect CheckRect();
    TRect FieldsRect();
    TRect ButtonRect();
    // The field with the caret (index among the fields, -1: none).
    int GetFieldIndex() const { return m_field < 0 ? -1 : FieldOrdinal(m_field); }

    TNotifyEvent OnChange;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDTParseInputEvent OnUserInput;

    void Dispatch(TMessage& Message) override;
    void DefaultHandler(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Paint() override;
    // The steps behind OnChange, OnDropDown and OnCloseUp, reached through
    // the reflected notifications.
    virtual void Change();
    virtual void DropDown();
    virtual void CloseUp();
    // Hands a new value to the control (DTM_SETSYSTEMTIME); false when it
    // refused it.
    virtual bool MsgSetDateTime(const SYSTEMTIME& Value);

private:
    friend class TDateTimePickerEdit;
    struct TFieldSpan {
        int Left { 0 };
        int Right { 0 };
    };
    bool UsesUpDown() const { return m_kind == dtkTime || m_dateMode == dmUpDown; }
    DWORD PickerStyle() const;
    void SyncStyle();
    void FormatChanged();
    const String& EffectiveFormat() const { return m_effectiveFormat; }
    String SegmentText(int Index) const;
    String DisplayText() const;
    std::vector<TFieldSpan> SegmentSpans();
    int FieldAt(int X);
    int FieldOrdinal(int Segment) const;
    int FirstField() const;
    void MoveField(int Delta);
    TDateTime ClampToRange(TDateTime v) const;
    void CheckValidDate(TDateTime v) const;
    // A value the user made: bounded, checked, and reported when it changed.
    void SetValueByUser(TDateTime v);
    void ToggleCheckByUser();
    void StepField(int Delta);
    void SetFieldExtreme(bool Max);
    void TypeDigit(Char Digit);
    void TypeLetter(Char Letter);
    // Takes the digits typed into the field so far.
    void CommitTyped();
    void OpenCalendar();
    void CloseCalendar(bool Accept);
    void BeginUserString();
    void EndUserString(bool Accept);
    void HandleKey(WORD Key, TShiftState Shift);
    void HandleMouse(TMessage& Message);
    void HandleDroppedMouse(TMessage& Message);
    LRESULT Notify(NMHDR& Header, UINT Code);
    void NotifyChange();
    void UserString(NMDATETIMESTRINGW& Info);
    LRESULT PickerMessage(TMessage& Message);

    TDateTimeKind m_kind { dtkDate };
    TDTDateMode m_dateMode { dmComboBox };
    String m_format;
    String m_effectiveFormat;
    TDateTime m_value { 0 };
    TDate m_minDate { 0 };
    TDate m_maxDate { 0 };
    bool m_showCheckbox { false };
    bool m_checked { true };
    bool m_parseInput { false };
    DWORD m_calendarStyle { 0 };
    std::vector<dtfields::TSegment> m_segments;
    int m_field { -1 };      // segment index of the field with the caret
    String m_typed;          // digits typed into that field, not yet taken
    bool m_droppedDown { false };
    std::unique_ptr<TMonthCalendar> m_calendar;
    TDateTimePickerEdit* m_edit { nullptr };
    bool m_editing { false };
    int m_pressedHalf { 0 }; // up-down button held: +1 upper, -1 lower
};
