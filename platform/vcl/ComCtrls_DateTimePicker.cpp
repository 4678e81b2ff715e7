#include "platform/vcl/ComCtrls_DateTimePicker.h"

#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrlsInternal.h"
#include "platform/vcl/ComCtrls_DateTimeFields.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

using namespace dtfields;

QT_PUBLISHED(TDateTimePicker, QT_PROP(Kind), QT_PROP(DateMode), QT_PROP(Format), QT_PROP(Date), QT_PROP(Time),
    QT_PROP(MinDate), QT_PROP(MaxDate), QT_PROP(ShowCheckbox), QT_PROP(Checked), QT_PROP(ParseInput),
    QT_EVENT(OnChange), QT_EVENT(OnDropDown), QT_EVENT(OnCloseUp), QT_EVENT_T(OnUserInput, u"TDTParseInputEvent"))

namespace {

// The check box column: presses left of it toggle the box.
constexpr int CheckColumn = 20;
constexpr int CheckSize = 13;
constexpr DWORD PickerStyleBits = DTS_UPDOWN | DTS_SHOWNONE | DTS_LONGDATEFORMAT | DTS_TIMEFORMAT | DTS_APPCANPARSE
    | DTS_RIGHTALIGN;

int Wrap(int v, int lo, int hi)
{
    const int n = hi - lo + 1;
    return lo + ((v - lo) % n + n) % n;
}

Char Lower(Char c) { return (c >= u'A' && c <= u'Z') ? Char(c + 32) : c; }

} // namespace

// The edit child: shown while the user types a free text (DTS_APPCANPARSE);
// Enter or leaving it hands the text to the picker, Esc drops it.
class TDateTimePickerEdit : public TCustomEdit {
public:
    explicit TDateTimePickerEdit(TDateTimePicker* Picker) : TCustomEdit(Picker), m_picker(Picker)
    {
        SetBorderStyle(bsNone);
        m_tabStop = false;
        m_visible = false;
        SetParentColor(true);
    }

    void Dispatch(TMessage& Message) override
    {
        switch (Message.Msg) {
        case CM_WANTSPECIALKEY:
            if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) {
                Message.Result = 1;
                return;
            }
            break;
        case WM_KEYDOWN:
            if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE) {
                m_picker->EndUserString(Message.WParam == VK_RETURN);
                return;
            }
            break;
        case WM_CHAR:
            if (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)
                return;
            break;
        case WM_KILLFOCUS:
            TCustomEdit::Dispatch(Message);
            m_picker->EndUserString(true);
            return;
        default:
            break;
        }
        TCustomEdit::Dispatch(Message);
    }

private:
    TDateTimePicker* m_picker;
};

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TCustomControl(AOwner), m_value(Now())
{
    m_tabStop = true;
    m_parentColor = false;
    m_color = clWindow;
    GetBrush()->SetColor(clWindow);
    m_controlStyle.Exclude(csCaptureMouse);
    m_controlStyle.Exclude(csSetCaption);
    SetDoubleBuffered(true);
    FormatChanged();
    m_edit = new TDateTimePickerEdit(this);
    m_edit->SetParent(this);
    SetBounds(0, 0, 186, 21);
}

TDateTimePicker::~TDateTimePicker()
{
    if (m_droppedDown && m_handle && GetCapture() == m_handle)
        ReleaseCapture();
    m_droppedDown = false;
    m_editing = false;
    delete m_edit;
    m_edit = nullptr;
    m_calendar.reset();
}

TCustomEdit* TDateTimePicker::GetEditControl() const { return m_edit; }

void TDateTimePicker::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= PickerStyle();
    if (m_ctl3D)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    else
        Params.Style |= WS_BORDER;
}

void TDateTimePicker::CreateWnd()
{
    TCustomControl::CreateWnd();
    if (m_edit) {
        m_edit->SetBoundsRect(FieldsRect());
        m_edit->HandleNeeded();
    }
}

DWORD TDateTimePicker::PickerStyle() const
{
    DWORD s = m_kind == dtkTime ? DTS_TIMEFORMAT : (m_dateMode == dmUpDown ? DTS_UPDOWN : 0);
    if (m_showCheckbox)
        s |= DTS_SHOWNONE;
    if (m_parseInput)
        s |= DTS_APPCANPARSE;
    return s;
}

void TDateTimePicker::SyncStyle()
{
    if (m_handle) {
        const DWORD style = DWORD(GetWindowLong(m_handle, GWL_STYLE));
        SetWindowLong(m_handle, GWL_STYLE, LONG((style & ~PickerStyleBits) | PickerStyle()));
    }
    if (m_edit)
        m_edit->SetBoundsRect(FieldsRect());
    Invalidate();
}

// ---- properties ----

void TDateTimePicker::SetKind(TDateTimeKind v)
{
    if (v == m_kind)
        return;
    CloseCalendar(false);
    m_kind = v;
    FormatChanged();
    SyncStyle();
}

void TDateTimePicker::SetDateMode(TDTDateMode v)
{
    if (v == m_dateMode)
        return;
    CloseCalendar(false);
    m_dateMode = v;
    SyncStyle();
}

void TDateTimePicker::SetFormat(const String& v)
{
    if (v == m_format)
        return;
    m_format = v;
    FormatChanged();
}

void TDateTimePicker::FormatChanged()
{
    const int ordinal = m_field < 0 ? 0 : FieldOrdinal(m_field);
    m_typed.clear();
    m_effectiveFormat = !m_format.empty()
        ? m_format
        : PickerFormatOf(m_kind == dtkTime ? FormatSettings.LongTimeFormat : FormatSettings.ShortDateFormat, FormatSettings);
    m_segments = ParseFormat(m_effectiveFormat);
    // Keep the caret in the field of the same rank.
    m_field = -1;
    int seen = 0;
    for (int i = 0; i < int(m_segments.size()); ++i)
        if (m_segments[std::size_t(i)].IsField()) {
            if (m_field < 0 || seen <= ordinal)
                m_field = i;
            ++seen;
        }
    Invalidate();
}

void TDateTimePicker::CheckValidDate(TDateTime v) const
{
    if (m_maxDate != 0 && DateOf(v) > m_maxDate)
        throw EDateTimeError(u"Date exceeds maximum of " + DateToStr(m_maxDate));
    if (m_minDate != 0 && DateOf(v) < m_minDate)
        throw EDateTimeError(u"Date is less than minimum of " + DateToStr(m_minDate));
}

TDateTime TDateTimePicker::ClampToRange(TDateTime v) const
{
    TParts p = PartsOf(v);
    TParts bound;
    if (m_minDate != 0 && DateOf(v) < m_minDate)
        bound = PartsOf(m_minDate);
    else if (m_maxDate != 0 && DateOf(v) > m_maxDate)
        bound = PartsOf(m_maxDate);
    else
        return v;
    // The bound's day, the value's time of day.
    p.Year = bound.Year;
    p.Month = bound.Month;
    p.Day = bound.Day;
    TDateTime out;
    return EncodeParts(p, out) ? out : v;
}

void TDateTimePicker::SetDateTime(TDateTime v)
{
    CheckValidDate(v);
    m_typed.clear();
    // An unchecked picker keeps the value for when it is checked again.
    if (m_showCheckbox && !m_checked) {
        m_value = v;
        Invalidate();
        return;
    }
    SYSTEMTIME st;
    DateTimeToSystemTime(v, st);
    if (!MsgSetDateTime(st))
        throw EDateTimeError(u"Failed to set calendar date or time");
}

bool TDateTimePicker::MsgSetDateTime(const SYSTEMTIME& Value)
{
    return Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_VALID), reinterpret_cast<LPARAM>(&Value)) != 0;
}

void TDateTimePicker::SetDate(TDate v)
{
    TParts p = PartsOf(m_value);
    const TParts d = PartsOf(v);
    p.Year = d.Year;
    p.Month = d.Month;
    p.Day = d.Day;
    TDateTime out;
    if (!EncodeParts(p, out))
        throw EDateTimeError(u"Failed to set calendar date or time");
    SetDateTime(out);
}

void TDateTimePicker::SetTime(TTime v)
{
    TParts p = PartsOf(m_value);
    const TParts t = PartsOf(v);
    p.Hour = t.Hour;
    p.Minute = t.Minute;
    p.Second = t.Second;
    p.MSec = t.MSec;
    TDateTime out;
    if (!EncodeParts(p, out))
        throw EDateTimeError(u"Failed to set calendar date or time");
    SetDateTime(out);
}

void TDateTimePicker::SetMinDate(TDate v)
{
    v = DateOf(v);
    if (v != 0 && m_maxDate != 0 && v > m_maxDate)
        throw EDateTimeError(u"Date is less than minimum of " + DateToStr(v));
    m_minDate = v;
    m_value = ClampToRange(m_value);
    Invalidate();
}

void TDateTimePicker::SetMaxDate(TDate v)
{
    v = DateOf(v);
    if (v != 0 && m_minDate != 0 && v < m_minDate)
        throw EDateTimeError(u"Date exceeds maximum of " + DateToStr(v));
    m_maxDate = v;
    m_value = ClampToRange(m_value);
    Invalidate();
}

void TDateTimePicker::SetShowCheckbox(bool v)
{
    if (v == m_showCheckbox)
        return;
    m_showCheckbox = v;
    SyncStyle();
}

void TDateTimePicker::SetChecked(bool v)
{
    if (!m_showCheckbox) {
        m_checked = v;
        Invalidate();
        return;
    }
    if (v) {
        SYSTEMTIME st;
        DateTimeToSystemTime(m_value, st);
        MsgSetDateTime(st);
    } else
        Perform(DTM_SETSYSTEMTIME, WPARAM(GDT_NONE), 0);
}

void TDateTimePicker::SetParseInput(bool v)
{
    if (v == m_parseInput)
        return;
    m_parseInput = v;
    SyncStyle();
}

// ---- layout ----

TRect TDateTimePicker::CheckRect()
{
    if (!m_showCheckbox)
        return {};
    const TRect c = GetClientRect();
    return TRect(c.Left, c.Top, c.Left + CheckColumn, c.Bottom);
}

TRect TDateTimePicker::ButtonRect()
{
    const TRect c = GetClientRect();
    return TRect(std::max(c.Left, c.Right - (GetSystemMetrics(SM_CXVSCROLL) + 2)), c.Top, c.Right, c.Bottom);
}

TRect TDateTimePicker::FieldsRect()
{
    const TRect c = GetClientRect();
    const int left = c.Left + (m_showCheckbox ? CheckColumn : 2);
    return TRect(left, c.Top, std::max(left, ButtonRect().Left - 1), c.Bottom);
}

String TDateTimePicker::SegmentText(int Index) const
{
    if (Index == m_field && !m_typed.empty())
        return m_typed;
    return FieldText(m_segments[std::size_t(Index)], PartsOf(m_value), FormatSettings);
}

String TDateTimePicker::DisplayText() const
{
    String s;
    for (int i = 0; i < int(m_segments.size()); ++i)
        s += SegmentText(i);
    return s;
}

std::vector<TDateTimePicker::TFieldSpan> TDateTimePicker::SegmentSpans()
{
    std::vector<TFieldSpan> spans;
    int x = FieldsRect().Left;
    for (int i = 0; i < int(m_segments.size()); ++i) {
        const int w = TextExtent(GetFont(), SegmentText(i)).cx;
        spans.push_back({ x, x + w });
        x += w;
    }
    return spans;
}

int TDateTimePicker::FieldOrdinal(int Segment) const
{
    int n = 0;
    for (int i = 0; i < Segment && i < int(m_segments.size()); ++i)
        if (m_segments[std::size_t(i)].IsField())
            ++n;
    return n;
}

int TDateTimePicker::FirstField() const
{
    for (int i = 0; i < int(m_segments.size()); ++i)
        if (m_segments[std::size_t(i)].IsField())
            return i;
    return -1;
}

int TDateTimePicker::FieldAt(int X)
{
    const std::vector<TFieldSpan> spans = SegmentSpans();
    int best = -1, bestDistance = 0;
    for (int i = 0; i < int(spans.size()); ++i) {
        if (!m_segments[std::size_t(i)].IsField())
            continue;
        if (X >= spans[std::size_t(i)].Left && X < spans[std::size_t(i)].Right)
            return i;
        const int d = X < spans[std::size_t(i)].Left ? spans[std::size_t(i)].Left - X : X - spans[std::size_t(i)].Right + 1;
        if (best < 0 || d < bestDistance) {
            best = i;
            bestDistance = d;
        }
    }
    return best;
}

void TDateTimePicker::MoveField(int Delta)
{
    std::vector<int> fields;
    for (int i = 0; i < int(m_segments.size()); ++i)
        if (m_segments[std::size_t(i)].IsField())
            fields.push_back(i);
    if (fields.empty())
        return;
    const auto at = std::find(fields.begin(), fields.end(), m_field);
    const int pos = at == fields.end() ? 0 : int(at - fields.begin()) + Delta;
    m_field = fields[std::size_t(Wrap(pos, 0, int(fields.size()) - 1))];
    Invalidate();
}

// ---- editing ----

void TDateTimePicker::NotifyChange()
{
    NMDATETIMECHANGE n;
    if (m_showCheckbox && !m_checked)
        n.dwFlags = DWORD(GDT_NONE);
    else
        DateTimeToSystemTime(m_value, n.st);
    Notify(n.nmhdr, DTN_DATETIMECHANGE);
}

void TDateTimePicker::SetValueByUser(TDateTime v)
{
    v = ClampToRange(v);
    const bool wasUnchecked = m_showCheckbox && !m_checked;
    const bool changed = v != m_value || wasUnchecked;
    m_value = v;
    m_checked = true;
    Invalidate();
    if (changed)
        NotifyChange();
}

void TDateTimePicker::ToggleCheckByUser()
{
    CommitTyped();
    m_checked = !m_checked;
    Invalidate();
    NotifyChange();
}

void TDateTimePicker::StepField(int Delta)
{
    if (m_field < 0)
        return;
    const TSegment& s = m_segments[std::size_t(m_field)];
    TParts p = PartsOf(m_value);
    auto clampDay = [&] { p.Day = std::min(p.Day, FieldMax(TFieldKind::Day, p)); };
    switch (s.Kind) {
    case TFieldKind::Day: p.Day = Wrap(p.Day + Delta, 1, FieldMax(TFieldKind::Day, p)); break;
    case TFieldKind::DayName: SetValueByUser(IncDay(m_value, Delta)); return;
    case TFieldKind::Month: case TFieldKind::MonthName:
        p.Month = Wrap(p.Month + Delta, 1, 12);
        clampDay();
        break;
    case TFieldKind::Year:
        p.Year = std::clamp(p.Year + Delta, 1, 9999);
        clampDay();
        break;
    case TFieldKind::Hour12: case TFieldKind::Hour24: p.Hour = Wrap(p.Hour + Delta, 0, 23); break;
    case TFieldKind::Minute: p.Minute = Wrap(p.Minute + Delta, 0, 59); break;
    case TFieldKind::Second: p.Second = Wrap(p.Second + Delta, 0, 59); break;
    case TFieldKind::AmPm: p.Hour = (p.Hour + 12) % 24; break;
    case TFieldKind::Literal: return;
    }
    TDateTime v;
    if (EncodeParts(p, v))
        SetValueByUser(v);
}

void TDateTimePicker::SetFieldExtreme(bool Max)
{
    if (m_field < 0)
        return;
    const TSegment& s = m_segments[std::size_t(m_field)];
    TParts p = PartsOf(m_value);
    const int v = Max ? FieldMax(s.Kind, p) : FieldMin(s.Kind);
    switch (s.Kind) {
    case TFieldKind::Day: p.Day = v; break;
    case TFieldKind::Month: case TFieldKind::MonthName: p.Month = v; break;
    case TFieldKind::Year: return; // no sensible first or last year
    case TFieldKind::Hour12: case TFieldKind::Hour24: p.Hour = Max ? 23 : 0; break;
    case TFieldKind::Minute: p.Minute = v; break;
    case TFieldKind::Second: p.Second = v; break;
    case TFieldKind::AmPm: p.Hour = Max ? (p.Hour % 12) + 12 : p.Hour % 12; break;
    default: return;
    }
    p.Day = std::min(p.Day, FieldMax(TFieldKind::Day, p));
    TDateTime out;
    if (EncodeParts(p, out))
        SetValueByUser(out);
}

void TDateTimePicker::TypeDigit(Char Digit)
{
    if (m_field < 0)
        return;
    const TSegment& s = m_segments[std::size_t(m_field)];
    if (!IsNumeric(s.Kind))
        return;
    m_typed += Digit;
    const int v = StrToIntDef(m_typed, 0);
    // A field is complete when it holds its digits, or when no further digit
    // could keep it in range; the caret stays in it.
    if (int(m_typed.size()) >= MaxDigits(s) || v * 10 > FieldMax(s.Kind, PartsOf(m_value)))
        CommitTyped();
    else
        Invalidate();
}

void TDateTimePicker::CommitTyped()
{
    if (m_typed.empty() || m_field < 0)
        return;
    const TSegment& s = m_segments[std::size_t(m_field)];
    const int digits = int(m_typed.size());
    const int v = StrToIntDef(m_typed, 0);
    m_typed.clear();
    Invalidate();
    TParts p = PartsOf(m_value);
    switch (s.Kind) {
    case TFieldKind::Day:
        if (v < 1)
            return;
        p.Day = std::min(v, FieldMax(TFieldKind::Day, p));
        break;
    case TFieldKind::Month: case TFieldKind::MonthName:
        if (v < 1 || v > 12)
            return;
        p.Month = v;
        break;
    case TFieldKind::Year: {
        if (v < 1 && digits > 2)
            return;
        // Two digits stand for the year in the century window, as typed
        // dates do elsewhere.
        p.Year = digits <= 2 ? ExpandTwoDigitYear(v, FormatSettings) : v;
        break;
    }
    case TFieldKind::Hour12:
        if (v < 1 || v > 12)
            return;
        p.Hour = v % 12 + (p.Hour >= 12 ? 12 : 0);
        break;
    case TFieldKind::Hour24:
        if (v > 23)
            return;
        p.Hour = v;
        break;
    case TFieldKind::Minute:
        if (v > 59)
            return;
        p.Minute = v;
        break;
    case TFieldKind::Second:
        if (v > 59)
            return;
        p.Second = v;
        break;
    default:
        return;
    }
    p.Day = std::min(p.Day, FieldMax(TFieldKind::Day, p));
    TDateTime out;
    if (EncodeParts(p, out))
        SetValueByUser(out);
}

void TDateTimePicker::TypeLetter(Char Letter)
{
    if (m_field < 0)
        return;
    const TSegment& s = m_segments[std::size_t(m_field)];
    TParts p = PartsOf(m_value);
    const Char c = Lower(Letter);
    if (s.Kind == TFieldKind::AmPm) {
        const String& am = FormatSettings.TimeAMString;
        const String& pm = FormatSettings.TimePMString;
        if (!pm.empty() && c == Lower(pm[0]) && p.Hour < 12)
            p.Hour += 12;
        else if (!am.empty() && c == Lower(am[0]) && p.Hour >= 12)
            p.Hour -= 12;
        else
            return;
    } else if (s.Kind == TFieldKind::MonthName) {
        // Type-ahead: the next month whose name starts with the letter.
        int found = -1;
        for (int k = 1; k <= 12 && found < 0; ++k) {
            const int m = Wrap(p.Month + k, 1, 12);
            const String& name = (s.Width == 3 ? FormatSettings.ShortMonthNames : FormatSettings.LongMonthNames)[std::size_t(m - 1)];
            if (!name.empty() && Lower(name[0]) == c)
                found = m;
        }
        if (found < 0)
            return;
        p.Month = found;
        p.Day = std::min(p.Day, FieldMax(TFieldKind::Day, p));
    } else
        return;
    TDateTime out;
    if (EncodeParts(p, out))
        SetValueByUser(out);
}

// ---- the calendar ----

void TDateTimePicker::OpenCalendar()
{
    if (m_droppedDown || UsesUpDown() || !m_handle)
        return;
    CommitTyped();
    if (!m_calendar) {
        m_calendar = std::make_unique<TMonthCalendar>(nullptr);
        m_calendar->m_picker = this;
        m_calendar->m_visible = false;
    }
    TMonthCalendar* cal = m_calendar.get();
    cal->GetFont()->Assign(GetFont());
    cal->m_minDate = m_minDate;
    cal->m_maxDate = m_maxDate;
    cal->m_date = cal->ClampToRange(DateOf(m_value));
    cal->m_notifyWindow = m_handle;
    cal->HandleNeeded();
    HWND h = cal->GetHandle();
    // Each drop-down starts from the styles given with DTM_SETMCSTYLE; the
    // DTN_DROPDOWN handler may change them on the open calendar.
    const DWORD style = DWORD(GetWindowLong(h, GWL_STYLE));
    SetWindowLong(h, GWL_STYLE, LONG((style & ~DWORD(0xFFFF)) | (m_calendarStyle & 0xFFFF)));
    const TRect req = cal->MinReqRect();
    const int w = req.Width() + 2, ht = req.Height() + 2;
    RECT wr;
    GetWindowRect(m_handle, wr);
    int x = wr.Left, y = wr.Bottom;
    if (y + ht > GetSystemMetrics(SM_CYSCREEN))
        y = wr.Top - ht;
    x = std::clamp(x, 0, std::max(0, GetSystemMetrics(SM_CXSCREEN) - w));
    y = std::max(0, y);
    SetWindowPos(h, HWND_TOPMOST, x, y, w, ht, SWP_NOACTIVATE);
    cal->UpdateBoundsFromWindow();
    m_droppedDown = true;
    SetCapture(m_handle);
    Invalidate();
    NMHDR hdr;
    Notify(hdr, DTN_DROPDOWN);
    if (!m_droppedDown || !cal->HandleAllocated())
        return;
    SetWindowPos(cal->GetHandle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    cal->m_visible = true;
    cal->Invalidate();
}

void TDateTimePicker::CloseCalendar(bool Accept)
{
    if (!m_droppedDown)
        return;
    m_droppedDown = false;
    if (m_handle && GetCapture() == m_handle)
        ReleaseCapture();
    TMonthCalendar* cal = m_calendar.get();
    if (cal->HandleAllocated())
        ShowWindow(cal->GetHandle(), SW_HIDE);
    cal->m_visible = false;
    Invalidate();
    if (Accept) {
        TParts p = PartsOf(m_value);
        const TParts d = PartsOf(cal->GetDate());
        p.Year = d.Year;
        p.Month = d.Month;
        p.Day = d.Day;
        TDateTime v;
        if (EncodeParts(p, v))
            SetValueByUser(v);
    }
    NMHDR hdr;
    Notify(hdr, DTN_CLOSEUP);
}

// ---- typed free text ----

void TDateTimePicker::BeginUserString()
{
    if (!m_parseInput || m_editing || !m_edit || !m_handle)
        return;
    CommitTyped();
    m_editing = true;
    m_edit->SetBoundsRect(FieldsRect());
    m_edit->SetText(DisplayText());
    m_edit->Show();
    m_edit->SetFocus();
    m_edit->SelectAll();
    Invalidate();
}

void TDateTimePicker::EndUserString(bool Accept)
{
    if (!m_editing)
        return;
    m_editing = false;
    const String text = m_edit->GetText();
    if (m_edit->HandleAllocated() && GetFocus() == m_edit->GetHandle() && CanFocus())
        SetFocus();
    m_edit->Hide();
    Invalidate();
    if (!Accept)
        return;
    NMDATETIMESTRINGW info;
    info.pszUserString = text.c_str();
    DateTimeToSystemTime(m_value, info.st);
    info.dwFlags = DWORD(GDT_ERROR);
    Notify(info.nmhdr, DTN_USERSTRINGW);
    switch (LRESULT(std::int32_t(info.dwFlags))) {
    case GDT_VALID:
        try {
            SetValueByUser(SystemTimeToDateTime(info.st));
        } catch (const EConvertError&) {
            // An answer that is no date leaves the value.
        }
        break;
    case GDT_NONE:
        if (m_showCheckbox && m_checked)
            ToggleCheckByUser();
        break;
    default:
        break;
    }
}

// The VCL side of DTN_USERSTRING: the text is read in the picker's format
// or as a date and time of the locale, and OnUserInput has the last word.
void TDateTimePicker::UserString(NMDATETIMESTRINGW& Info)
{
    const String text = Info.pszUserString ? String(Info.pszUserString) : String();
    TDateTime value = m_value;
    TParts p = PartsOf(m_value);
    bool ok = ParseText(m_segments, text, p, FormatSettings) && EncodeParts(p, value);
    TDateTime parsed;
    if (!ok && TryStrToDateTime(text, parsed)) {
        value = parsed;
        ok = true;
    }
    if (!ok && m_kind == dtkTime && TryStrToTime(text, parsed)) {
        value = DateOf(m_value) + parsed;
        ok = true;
    }
    if (OnUserInput)
        OnUserInput(this, text, value, ok);
    if (ok) {
        Info.dwFlags = DWORD(GDT_VALID);
        DateTimeToSystemTime(value, Info.st);
    } else
        Info.dwFlags = DWORD(GDT_ERROR);
}

// ---- notifications ----

LRESULT TDateTimePicker::Notify(NMHDR& Header, UINT Code)
{
    Header.hwndFrom = m_handle;
    Header.idFrom = m_handle ? UINT_PTR(GetDlgCtrlID(m_handle)) : 0;
    Header.code = Code;
    if (GetComponentState().Contains(csDestroying))
        return 0;
    HWND parent = m_handle ? ::GetParent(m_handle) : nullptr;
    if (parent) {
        const LRESULT r = SendMessage(parent, WM_NOTIFY, WPARAM(Header.idFrom), reinterpret_cast<LPARAM>(&Header));
        if (TWinControl::FindControl(parent))
            return r;
    }
    // A parent outside the framework reflects nothing: run the events here.
    return Perform(CN_NOTIFY, WPARAM(Header.idFrom), reinterpret_cast<LPARAM>(&Header));
}

void TDateTimePicker::Change()
{
    if (OnChange)
        OnChange(this);
}

void TDateTimePicker::DropDown()
{
    if (OnDropDown)
        OnDropDown(this);
}

void TDateTimePicker::CloseUp()
{
    if (OnCloseUp)
        OnCloseUp(this);
}

// ---- messages ----

void TDateTimePicker::HandleKey(WORD Key, TShiftState Shift)
{
    const bool alt = Shift.Contains(ssAlt);
    if (m_droppedDown) {
        switch (Key) {
        case VK_RETURN: CloseCalendar(true); return;
        case VK_ESCAPE: case VK_F4: case VK_TAB: CloseCalendar(false); return;
        case VK_UP: case VK_DOWN:
            if (alt) {
                CloseCalendar(false);
                return;
            }
            break;
        default:
            break;
        }
        m_calendar->Perform(WM_KEYDOWN, Key, 0);
        return;
    }
    if ((Key == VK_F4 && !alt) || (Key == VK_DOWN && alt)) {
        OpenCalendar();
        return;
    }
    if (alt)
        return;
    switch (Key) {
    case VK_LEFT: CommitTyped(); MoveField(-1); break;
    case VK_RIGHT: CommitTyped(); MoveField(1); break;
    case VK_UP: CommitTyped(); StepField(1); break;
    case VK_DOWN: CommitTyped(); StepField(-1); break;
    case VK_HOME: m_typed.clear(); SetFieldExtreme(false); break;
    case VK_END: m_typed.clear(); SetFieldExtreme(true); break;
    case VK_BACK:
        if (!m_typed.empty()) {
            m_typed.pop_back();
            Invalidate();
        }
        break;
    case VK_F2: BeginUserString(); break;
    default: break;
    }
}

void TDateTimePicker::HandleDroppedMouse(TMessage& Message)
{
    TMonthCalendar* cal = m_calendar.get();
    const TPoint screen = ClientToScreen(PointOf(Message.LParam));
    RECT wr {};
    if (cal->HandleAllocated())
        GetWindowRect(cal->GetHandle(), wr);
    if (TRect(wr).Contains(screen)) {
        const TPoint inside = cal->ScreenToClient(screen);
        cal->Perform(Message.Msg, Message.WParam, LParamOf(inside));
        return;
    }
    // A press anywhere else closes the calendar, the button's included.
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDOWN
        || Message.Msg == WM_MBUTTONDOWN)
        CloseCalendar(false);
}

void TDateTimePicker::HandleMouse(TMessage& Message)
{
    if (m_droppedDown) {
        HandleDroppedMouse(Message);
        return;
    }
    const TPoint p = PointOf(Message.LParam);
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
        if (CanFocus() && !Focused())
            SetFocus();
        if (m_showCheckbox && CheckRect().Contains(p)) {
            ToggleCheckByUser();
            return;
        }
        const TRect button = ButtonRect();
        if (button.Contains(p)) {
            if (UsesUpDown()) {
                CommitTyped();
                m_pressedHalf = p.Y < (button.Top + button.Bottom) / 2 ? 1 : -1;
                if (m_field < 0)
                    m_field = FirstField();
                StepField(m_pressedHalf);
                Invalidate();
            } else
                OpenCalendar();
            return;
        }
        const int field = FieldAt(p.X);
        if (field >= 0 && field != m_field) {
            CommitTyped();
            m_field = field;
            Invalidate();
        }
        return;
    }
    case WM_LBUTTONUP:
        if (m_pressedHalf != 0) {
            m_pressedHalf = 0;
            Invalidate();
        }
        return;
    default:
        return;
    }
}

LRESULT TDateTimePicker::PickerMessage(TMessage& Message)
{
    switch (Message.Msg) {
    case DTM_GETSYSTEMTIME: {
        auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
        if (!st)
            return GDT_ERROR;
        if (m_showCheckbox && !m_checked)
            return GDT_NONE;
        DateTimeToSystemTime(m_value, *st);
        return GDT_VALID;
    }
    case DTM_SETSYSTEMTIME: {
        if (LRESULT(Message.WParam) == GDT_NONE) {
            if (!m_showCheckbox)
                return 0;
            m_typed.clear();
            m_checked = false;
            Invalidate();
            return 1;
        }
        const auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
        if (LRESULT(Message.WParam) != GDT_VALID || !st)
            return 0;
        TDateTime v;
        if (!TryEncodeDateTime(st->wYear, st->wMonth, st->wDay, st->wHour, st->wMinute, st->wSecond, st->wMilliseconds, v)
            || ClampToRange(v) != v)
            return 0;
        m_typed.clear();
        m_value = v;
        m_checked = true;
        Invalidate();
        return 1;
    }
    case DTM_GETRANGE: {
        auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
        if (!st)
            return 0;
        LRESULT flags = 0;
        st[0] = st[1] = SYSTEMTIME {};
        if (m_minDate != 0) {
            DateTimeToSystemTime(m_minDate, st[0]);
            flags |= GDTR_MIN;
        }
        if (m_maxDate != 0) {
            DateTimeToSystemTime(m_maxDate, st[1]);
            flags |= GDTR_MAX;
        }
        return flags;
    }
    case DTM_SETRANGE: {
        const auto* st = reinterpret_cast<const SYSTEMTIME*>(Message.LParam);
        TDateTime lo = 0, hi = 0;
        if ((Message.WParam & GDTR_MIN) && (!st || !TryEncodeDate(st[0].wYear, st[0].wMonth, st[0].wDay, lo)))
            return 0;
        if ((Message.WParam & GDTR_MAX) && (!st || !TryEncodeDate(st[1].wYear, st[1].wMonth, st[1].wDay, hi)))
            return 0;
        if (lo != 0 && hi != 0 && lo > hi)
            return 0;
        m_minDate = lo;
        m_maxDate = hi;
        m_value = ClampToRange(m_value);
        Invalidate();
        return 1;
    }
    case DTM_SETFORMATW:
        SetFormat(Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String());
        return 1;
    case DTM_GETMONTHCAL:
        return m_droppedDown ? reinterpret_cast<LRESULT>(m_calendar->GetHandle()) : 0;
    case DTM_SETMCSTYLE: {
        const LRESULT old = LRESULT(m_calendarStyle);
        m_calendarStyle = DWORD(Message.LParam);
        return old;
    }
    case DTM_GETMCSTYLE:
        return LRESULT(m_calendarStyle);
    case DTM_CLOSEMONTHCAL:
        CloseCalendar(false);
        return 0;
    case DTM_GETDATETIMEPICKERINFO: {
        auto* info = reinterpret_cast<DATETIMEPICKERINFO*>(Message.LParam);
        if (!info || (info->cbSize != 56 && info->cbSize != sizeof(DATETIMEPICKERINFO)))
            return 0;
        const DWORD size = info->cbSize;
        *info = DATETIMEPICKERINFO {};
        info->cbSize = size;
        const TRect check = CheckRect();
        info->rcCheck = m_showCheckbox
            ? TRect(check.Left + 3, (check.Top + check.Bottom - CheckSize) / 2, check.Left + 3 + CheckSize, (check.Top + check.Bottom + CheckSize) / 2)
            : TRect();
        info->stateCheck = !m_showCheckbox ? STATE_SYSTEM_INVISIBLE : (m_checked ? STATE_SYSTEM_CHECKED : 0);
        info->rcButton = ButtonRect();
        info->stateButton = m_droppedDown || m_pressedHalf != 0 ? STATE_SYSTEM_PRESSED : 0;
        info->hwndEdit = m_edit ? m_edit->GetHandle() : nullptr;
        info->hwndDropDown = m_droppedDown ? m_calendar->GetHandle() : nullptr;
        return 1;
    }
    default:
        return 0;
    }
}

void TDateTimePicker::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(Message.LParam);
        if (hdr) {
            switch (hdr->code) {
            case DTN_DATETIMECHANGE: Change(); break;
            case DTN_DROPDOWN: DropDown(); break;
            case DTN_CLOSEUP: CloseUp(); break;
            case DTN_USERSTRINGW: UserString(*reinterpret_cast<NMDATETIMESTRINGW*>(hdr)); break;
            default: break;
            }
        }
        Message.Result = 0;
        return;
    }
    case WM_NOTIFY: {
        const auto* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
        if (hdr && m_calendar && m_calendar->HandleAllocated() && hdr->hwndFrom == m_calendar->GetHandle()) {
            if (hdr->code == MCN_SELECT)
                CloseCalendar(true);
            Message.Result = 0;
            return;
        }
        break;
    }
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (m_droppedDown ? DLGC_WANTALLKEYS : 0);
        return;
    case CM_WANTSPECIALKEY:
        if (m_droppedDown && (Message.WParam == VK_RETURN || Message.WParam == VK_ESCAPE)) {
            Message.Result = 1;
            return;
        }
        break;
    case WM_SETFOCUS:
        TCustomControl::Dispatch(Message);
        if (m_field < 0)
            m_field = FirstField();
        Invalidate();
        return;
    case WM_KILLFOCUS:
        TCustomControl::Dispatch(Message);
        CommitTyped();
        CloseCalendar(false);
        Invalidate();
        return;
    case WM_CAPTURECHANGED:
        if (m_droppedDown && reinterpret_cast<HWND>(Message.LParam) != m_handle)
            CloseCalendar(false);
        break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_LBUTTONUP: case WM_MOUSEMOVE:
    case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        TCustomControl::Dispatch(Message);
        HandleMouse(Message);
        return;
    case WM_SIZE:
        TCustomControl::Dispatch(Message);
        if (m_edit)
            m_edit->SetBoundsRect(FieldsRect());
        return;
    case CM_CTL3DCHANGED:
        TCustomControl::Dispatch(Message);
        RecreateWnd();
        return;
    case CM_FONTCHANGED: case CM_ENABLEDCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}

void TDateTimePicker::DefaultHandler(TMessage& Message)
{
    if (Message.Msg >= DTM_FIRST && Message.Msg <= DTM_SETFORMATW) {
        Message.Result = PickerMessage(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_KEYDOWN:
        HandleKey(WORD(Message.WParam), KeyDataToShiftState(Message.LParam));
        Message.Result = 0;
        return;
    case WM_SYSKEYDOWN:
        if (Message.WParam == VK_DOWN || Message.WParam == VK_UP) {
            HandleKey(WORD(Message.WParam), KeyDataToShiftState(Message.LParam));
            Message.Result = 0;
            return;
        }
        break;
    case WM_CHAR: {
        const Char c = Char(Message.WParam);
        Message.Result = 0;
        if (m_droppedDown)
            return;
        if (c == u' ' && m_showCheckbox)
            ToggleCheckByUser();
        else if (c >= u'0' && c <= u'9')
            TypeDigit(c);
        else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'))
            TypeLetter(c);
        return;
    }
    case WM_GETTEXTLENGTH:
        Message.Result = LRESULT(DisplayText().size());
        return;
    case WM_GETTEXT: {
        const String s = DisplayText();
        auto* out = reinterpret_cast<char16_t*>(Message.LParam);
        if (Message.WParam == 0 || !out) {
            Message.Result = 0;
            return;
        }
        const std::size_t n = std::min<std::size_t>(s.size(), Message.WParam - 1);
        std::copy_n(s.data(), n, out);
        out[n] = 0;
        Message.Result = LRESULT(n);
        return;
    }
    case WM_SETTEXT: {
        // A text in the picker's format sets the value; any other text
        // leaves it.
        const String text = Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String();
        TParts p = PartsOf(m_value);
        TDateTime v;
        Message.Result = 0;
        if (ParseText(m_segments, text, p, FormatSettings) && EncodeParts(p, v) && ClampToRange(v) == v) {
            m_typed.clear();
            m_value = v;
            Invalidate();
            Message.Result = 1;
        }
        return;
    }
    default:
        break;
    }
    TCustomControl::DefaultHandler(Message);
}

void TDateTimePicker::Paint()
{
    TCanvas* canvas = GetCanvas();
    TFont* font = GetFont();
    canvas->GetFont()->Assign(font);
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    const bool enabled = IsEnabledInChain();
    FillSolid(dc, client, enabled ? ControlColorToRGB(this, m_color) : ColorToRGB(clBtnFace));

    if (m_showCheckbox) {
        const TRect c = CheckRect();
        RECT box = TRect(c.Left + 3, (c.Top + c.Bottom - CheckSize) / 2, c.Left + 3 + CheckSize, (c.Top + c.Bottom + CheckSize) / 2);
        DrawFrameControl(dc, &box, DFC_BUTTON, DFCS_BUTTONCHECK | (m_checked ? DFCS_CHECKED : 0u) | (enabled ? 0u : DFCS_INACTIVE));
    }

    // Without a value (unchecked) or disabled, the fields are grey and no
    // field shows the caret.
    const bool active = enabled && (!m_showCheckbox || m_checked);
    const TColor textColor = ColorToRGB(active ? font->GetColor() : clGrayText);
    const TRect fields = FieldsRect();
    const int th = TextExtent(font, u"0").cy;
    const int top = (client.Top + client.Bottom - th) / 2;
    const std::vector<TFieldSpan> spans = SegmentSpans();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, fields.Left, fields.Top, fields.Right, fields.Bottom);
    for (int i = 0; i < int(spans.size()); ++i) {
        TRect r(spans[std::size_t(i)].Left, top, spans[std::size_t(i)].Right, top + th);
        TColor color = textColor;
        if (i == m_field && active && Focused() && !m_editing) {
            FillSolid(dc, r, ColorToRGB(clHighlight));
            color = ColorToRGB(clHighlightText);
        }
        DrawTextIn(dc, font, SegmentText(i), r, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX, color);
    }
    RestoreDC(dc, saved);

    const TRect button = ButtonRect();
    const UINT inactive = enabled ? 0u : UINT(DFCS_INACTIVE);
    if (UsesUpDown()) {
        const int mid = (button.Top + button.Bottom) / 2;
        RECT up = TRect(button.Left, button.Top, button.Right, mid);
        RECT down = TRect(button.Left, mid, button.Right, button.Bottom);
        DrawFrameControl(dc, &up, DFC_SCROLL, DFCS_SCROLLUP | inactive | (m_pressedHalf > 0 ? UINT(DFCS_PUSHED) : 0u));
        DrawFrameControl(dc, &down, DFC_SCROLL, DFCS_SCROLLDOWN | inactive | (m_pressedHalf < 0 ? UINT(DFCS_PUSHED) : 0u));
    } else {
        RECT r = button;
        DrawFrameControl(dc, &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | inactive | (m_droppedDown ? UINT(DFCS_PUSHED | DFCS_FLAT) : 0u));
    }
}
