#include <algorithm>

#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrlsInternal.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/ControlPaint.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TMonthCalendar, QT_PROP(Date), QT_PROP(MinDate), QT_PROP(MaxDate), QT_PROP(WeekNumbers),
    QT_PROP(ShowToday), QT_PROP(ShowTodayCircle))

namespace {

constexpr int Margin = 4;
constexpr DWORD CalendarStyleBits = MCS_DAYSTATE | MCS_MULTISELECT | MCS_WEEKNUMBERS | MCS_NOTODAYCIRCLE | MCS_NOTODAY;

// The ISO week number of the week whose Thursday is `thursday`.
int IsoWeek(TDate thursday) { return (DayOfTheYear(thursday) - 1) / 7 + 1; }

TDate FirstOfMonth(TDate d)
{
    Word y, m, day;
    DecodeDate(d, y, m, day);
    return y ? EncodeDate(y, m, 1) : d;
}

TDate LastOfMonth(TDate d)
{
    Word y, m, day;
    DecodeDate(d, y, m, day);
    return y ? EncodeDate(y, m, DaysInAMonth(y, m)) : d;
}

void ToSystemTime(TDate d, SYSTEMTIME& st)
{
    st = {};
    DateTimeToSystemTime(d, st);
}

bool FromSystemTime(const SYSTEMTIME* st, TDate& d)
{
    if (!st)
        return false;
    TDateTime v;
    if (!TryEncodeDate(st->wYear, st->wMonth, st->wDay, v))
        return false;
    d = v;
    return true;
}

} // namespace

TMonthCalendar::TMonthCalendar(TComponent* AOwner) : TCustomControl(AOwner), m_date(::Date())
{
    m_tabStop = true;
    m_parentColor = false;
    m_color = clWindow;
    GetBrush()->SetColor(clWindow);
    // The pop-up of a picker gets its presses from the picker, which keeps
    // the capture; a calendar never takes it.
    m_controlStyle.Exclude(csCaptureMouse);
    m_controlStyle.Exclude(csSetCaption);
    SetDoubleBuffered(true);
    const TRect r = MinReqRect();
    SetBounds(0, 0, r.Width() + 4, r.Height() + 4); // and the sunken edge
}

void TMonthCalendar::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style |= m_style & CalendarStyleBits;
    if (m_picker) {
        Params.Style = WS_POPUP | WS_BORDER | (m_style & CalendarStyleBits);
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        Params.WndParent = nullptr;
    } else
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

DWORD TMonthCalendar::CalendarStyle() const
{
    return m_handle ? DWORD(GetWindowLong(m_handle, GWL_STYLE)) & CalendarStyleBits : m_style;
}

void TMonthCalendar::SetStyleBit(DWORD Bit, bool On)
{
    m_style = (CalendarStyle() & ~Bit) | (On ? Bit : 0);
    if (m_handle) {
        const DWORD style = DWORD(GetWindowLong(m_handle, GWL_STYLE));
        SetWindowLong(m_handle, GWL_STYLE, LONG((style & ~Bit) | (On ? Bit : 0)));
    }
    Invalidate();
}

TDate TMonthCalendar::ClampToRange(TDate v) const
{
    if (m_minDate != 0 && v < m_minDate)
        v = m_minDate;
    if (m_maxDate != 0 && v > m_maxDate)
        v = m_maxDate;
    return v;
}

void TMonthCalendar::SetDate(TDate v)
{
    v = DateOf(v);
    if (m_maxDate != 0 && v > m_maxDate)
        throw EDateTimeError(u"Date exceeds maximum of " + DateToStr(m_maxDate));
    if (m_minDate != 0 && v < m_minDate)
        throw EDateTimeError(u"Date is less than minimum of " + DateToStr(m_minDate));
    m_date = v;
    Invalidate();
}

void TMonthCalendar::SetMinDate(TDate v)
{
    v = DateOf(v);
    if (v != 0 && m_maxDate != 0 && v > m_maxDate)
        throw EDateTimeError(u"Date is less than minimum of " + DateToStr(v));
    m_minDate = v;
    m_date = ClampToRange(m_date);
    Invalidate();
}

void TMonthCalendar::SetMaxDate(TDate v)
{
    v = DateOf(v);
    if (v != 0 && m_minDate != 0 && v < m_minDate)
        throw EDateTimeError(u"Date exceeds maximum of " + DateToStr(v));
    m_maxDate = v;
    m_date = ClampToRange(m_date);
    Invalidate();
}

TDate TMonthCalendar::GetToday() const { return m_today != 0 ? m_today : ::Date(); }

void TMonthCalendar::SetToday(TDate v)
{
    m_today = DateOf(v);
    Invalidate();
}

TMonthCalendar::TLayout TMonthCalendar::Layout()
{
    TLayout L;
    TFont* font = GetFont();
    const int fh = std::max(1, TextExtent(font, u"0").cy);
    int cell = TextExtent(font, u"00").cx;
    for (const String& name : FormatSettings.ShortDayNames)
        cell = std::max(cell, TextExtent(font, name.substr(0, 3)).cx);
    L.CellWidth = cell + 6;
    L.RowHeight = fh + 3;
    L.WeekWidth = (CalendarStyle() & MCS_WEEKNUMBERS) ? L.CellWidth : 0;
    const int width = 2 * Margin + L.WeekWidth + 7 * L.CellWidth;
    const int titleH = fh + 10;
    const int arrow = titleH - 6;
    L.Title = TRect(0, 0, width, titleH);
    L.Prev = TRect(Margin, 3, Margin + arrow + 4, 3 + arrow);
    L.Next = TRect(width - Margin - arrow - 4, 3, width - Margin, 3 + arrow);
    const int left = Margin + L.WeekWidth;
    L.Header = TRect(left, titleH + 2, left + 7 * L.CellWidth, titleH + 2 + L.RowHeight);
    L.Grid = TRect(left, L.Header.Bottom + 2, L.Header.Right, L.Header.Bottom + 2 + 6 * L.RowHeight);
    if (!(CalendarStyle() & MCS_NOTODAY))
        L.Today = TRect(Margin, L.Grid.Bottom + 2, width - Margin, L.Grid.Bottom + 4 + L.RowHeight);
    return L;
}

TRect TMonthCalendar::MinReqRect()
{
    const TLayout L = Layout();
    const int bottom = (L.Today.IsEmpty() ? L.Grid.Bottom : L.Today.Bottom) + Margin;
    return TRect(0, 0, L.Title.Right, bottom);
}

TDate TMonthCalendar::GridStart() const
{
    const TDate first = FirstOfMonth(m_date);
    const int dow = DayOfWeek(first) - 1; // 0 = Sunday
    // A month starting on the week's first day still shows one week of the
    // month before.
    return first - (dow == 0 ? 7 : dow);
}

TRect TMonthCalendar::DayRect(TDate Day)
{
    const TLayout L = Layout();
    const int index = int(DateOf(Day) - GridStart());
    if (index < 0 || index >= 42)
        return {};
    const int row = index / 7, col = index % 7;
    return TRect(L.Grid.Left + col * L.CellWidth, L.Grid.Top + row * L.RowHeight, L.Grid.Left + (col + 1) * L.CellWidth,
        L.Grid.Top + (row + 1) * L.RowHeight);
}

TRect TMonthCalendar::TodayRect() { return Layout().Today; }
TRect TMonthCalendar::PrevRect() { return Layout().Prev; }
TRect TMonthCalendar::NextRect() { return Layout().Next; }

void TMonthCalendar::Notify(UINT Code)
{
    NMSELCHANGE n;
    n.nmhdr.hwndFrom = m_handle;
    n.nmhdr.idFrom = m_handle ? UINT_PTR(GetDlgCtrlID(m_handle)) : 0;
    n.nmhdr.code = Code;
    ToSystemTime(m_date, n.stSelStart);
    n.stSelEnd = n.stSelStart;
    HWND target = m_notifyWindow ? m_notifyWindow : (m_handle ? ::GetParent(m_handle) : nullptr);
    if (target && !GetComponentState().Contains(csDestroying))
        SendMessage(target, WM_NOTIFY, WPARAM(n.nmhdr.idFrom), reinterpret_cast<LPARAM>(&n));
}

void TMonthCalendar::SelectByUser(TDate v)
{
    v = ClampToRange(DateOf(v));
    if (v == m_date)
        return;
    m_date = v;
    Invalidate();
    Notify(MCN_SELCHANGE);
}

void TMonthCalendar::CalendarKey(WORD Key, TShiftState Shift)
{
    TDate v = m_date;
    switch (Key) {
    case VK_LEFT: v -= 1; break;
    case VK_RIGHT: v += 1; break;
    case VK_UP: v -= 7; break;
    case VK_DOWN: v += 7; break;
    case VK_PRIOR: v = IncMonth(v, Shift.Contains(ssCtrl) ? -12 : -1); break;
    case VK_NEXT: v = IncMonth(v, Shift.Contains(ssCtrl) ? 12 : 1); break;
    case VK_HOME: v = FirstOfMonth(v); break;
    case VK_END: v = LastOfMonth(v); break;
    case VK_RETURN: Notify(MCN_SELECT); return;
    default: return;
    }
    SelectByUser(v);
}

void TMonthCalendar::CalendarMouse(TMessage& Message)
{
    const TPoint p = PointOf(Message.LParam);
    const TLayout L = Layout();
    auto dayAt = [&](TDate& day) {
        if (!L.Grid.Contains(p))
            return false;
        const int index = (p.Y - L.Grid.Top) / L.RowHeight * 7 + (p.X - L.Grid.Left) / L.CellWidth;
        day = GridStart() + index;
        return true;
    };
    switch (Message.Msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: {
        if (!m_picker && CanFocus() && !Focused())
            SetFocus();
        m_dayPressed = false;
        m_pressedToday = false;
        TDate day;
        if (L.Prev.Contains(p))
            SelectByUser(IncMonth(m_date, -1));
        else if (L.Next.Contains(p))
            SelectByUser(IncMonth(m_date, 1));
        else if (!L.Today.IsEmpty() && L.Today.Contains(p))
            m_pressedToday = true;
        else if (dayAt(day)) {
            m_dayPressed = true;
            m_pressedDay = day;
            SelectByUser(day);
        }
        break;
    }
    case WM_LBUTTONUP: {
        TDate day;
        if (m_dayPressed && dayAt(day) && day == m_pressedDay && day == m_date)
            Notify(MCN_SELECT);
        else if (m_pressedToday && !L.Today.IsEmpty() && L.Today.Contains(p)) {
            SelectByUser(GetToday());
            if (m_date == GetToday())
                Notify(MCN_SELECT);
        }
        m_dayPressed = false;
        m_pressedToday = false;
        break;
    }
    default:
        break;
    }
}

LRESULT TMonthCalendar::CalendarMessage(TMessage& Message)
{
    auto* st = reinterpret_cast<SYSTEMTIME*>(Message.LParam);
    switch (Message.Msg) {
    case MCM_GETCURSEL:
        if (!st)
            return 0;
        ToSystemTime(m_date, *st);
        return 1;
    case MCM_SETCURSEL: {
        TDate d;
        if (!FromSystemTime(st, d) || ClampToRange(d) != d)
            return 0;
        m_date = d;
        Invalidate();
        return 1;
    }
    case MCM_GETMINREQRECT:
        if (auto* r = reinterpret_cast<RECT*>(Message.LParam)) {
            *r = MinReqRect();
            return 1;
        }
        return 0;
    case MCM_SETTODAY: {
        TDate d;
        m_today = FromSystemTime(st, d) ? d : 0;
        Invalidate();
        return 0;
    }
    case MCM_GETTODAY:
        if (!st)
            return 0;
        ToSystemTime(GetToday(), *st);
        return 1;
    case MCM_GETRANGE: {
        if (!st)
            return 0;
        LRESULT flags = 0;
        st[0] = st[1] = SYSTEMTIME {};
        if (m_minDate != 0) {
            ToSystemTime(m_minDate, st[0]);
            flags |= GDTR_MIN;
        }
        if (m_maxDate != 0) {
            ToSystemTime(m_maxDate, st[1]);
            flags |= GDTR_MAX;
        }
        return flags;
    }
    case MCM_SETRANGE: {
        TDate lo = 0, hi = 0;
        if ((Message.WParam & GDTR_MIN) && !FromSystemTime(st, lo))
            return 0;
        if ((Message.WParam & GDTR_MAX) && !FromSystemTime(st ? st + 1 : nullptr, hi))
            return 0;
        if (lo != 0 && hi != 0 && lo > hi)
            return 0;
        m_minDate = lo;
        m_maxDate = hi;
        m_date = ClampToRange(m_date);
        Invalidate();
        return 1;
    }
    default:
        return 0;
    }
}

void TMonthCalendar::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_LBUTTONUP:
        TCustomControl::Dispatch(Message);
        CalendarMouse(Message);
        return;
    case WM_STYLECHANGED: case CM_FONTCHANGED:
        TCustomControl::Dispatch(Message);
        Invalidate();
        return;
    default:
        TCustomControl::Dispatch(Message);
    }
}

void TMonthCalendar::DefaultHandler(TMessage& Message)
{
    if (Message.Msg >= MCM_GETCURSEL && Message.Msg <= MCM_SETRANGE) {
        Message.Result = CalendarMessage(Message);
        return;
    }
    if (Message.Msg == WM_KEYDOWN) {
        CalendarKey(WORD(Message.WParam), KeyDataToShiftState(Message.LParam));
        Message.Result = 0;
        return;
    }
    TCustomControl::DefaultHandler(Message);
}

void TMonthCalendar::Paint()
{
    TCanvas* canvas = GetCanvas();
    TFont* font = GetFont();
    canvas->GetFont()->Assign(font);
    HDC dc = canvas->GetHandle();
    const TRect client = GetClientRect();
    const TLayout L = Layout();
    FillSolid(dc, client, ColorToRGB(m_color));
    const TColor title = ColorToRGB(clActiveCaption);
    const TColor titleText = ColorToRGB(clCaptionText);
    const TColor text = ColorToRGB(font->GetColor());
    const TColor gray = ColorToRGB(clGrayText);
    const UINT centred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;

    Word year, month, day;
    DecodeDate(m_date, year, month, day);
    TRect r = L.Title;
    r.Right = std::max(r.Right, client.Right);
    FillSolid(dc, r, title);
    if (month >= 1)
        DrawTextIn(dc, font, FormatSettings.LongMonthNames[month - 1u] + u" " + IntToStr(year), r, centred, titleText);
    RECT prev = L.Prev, next = L.Next;
    DrawFrameControl(dc, &prev, DFC_SCROLL, DFCS_SCROLLLEFT);
    DrawFrameControl(dc, &next, DFC_SCROLL, DFCS_SCROLLRIGHT);

    for (int i = 0; i < 7; ++i) {
        TRect cell(L.Header.Left + i * L.CellWidth, L.Header.Top, L.Header.Left + (i + 1) * L.CellWidth, L.Header.Bottom);
        DrawTextIn(dc, font, FormatSettings.ShortDayNames[std::size_t(i)].substr(0, 3), cell, centred, title);
    }
    FillSolid(dc, TRect(L.Header.Left, L.Header.Bottom, L.Header.Right, L.Header.Bottom + 1), ColorToRGB(clBtnShadow));

    const TDate start = GridStart();
    const TDate today = GetToday();
    const bool circle = !(CalendarStyle() & MCS_NOTODAYCIRCLE);
    for (int i = 0; i < 42; ++i) {
        const TDate d = start + i;
        Word y, m, dd;
        DecodeDate(d, y, m, dd);
        const int row = i / 7, col = i % 7;
        TRect cell(L.Grid.Left + col * L.CellWidth, L.Grid.Top + row * L.RowHeight, L.Grid.Left + (col + 1) * L.CellWidth,
            L.Grid.Top + (row + 1) * L.RowHeight);
        TColor color = (m != month || ClampToRange(d) != d) ? gray : text;
        if (d == m_date) {
            FillSolid(dc, cell, title);
            color = ColorToRGB(clHighlightText);
        }
        if (circle && d == today)
            FrameSolid(dc, cell, ColorToRGB(clRed));
        DrawTextIn(dc, font, IntToStr(dd), cell, centred, color);
    }
    if (L.WeekWidth > 0) {
        for (int row = 0; row < 6; ++row) {
            TRect cell(L.Grid.Left - L.WeekWidth, L.Grid.Top + row * L.RowHeight, L.Grid.Left - 2, L.Grid.Top + (row + 1) * L.RowHeight);
            DrawTextIn(dc, font, IntToStr(IsoWeek(start + row * 7 + 4)), cell, centred, title);
        }
        FillSolid(dc, TRect(L.Grid.Left - 2, L.Grid.Top, L.Grid.Left - 1, L.Grid.Bottom), ColorToRGB(clBtnShadow));
    }
    if (!L.Today.IsEmpty()) {
        TRect line = L.Today;
        if (circle) {
            const int h = line.Height() - 4;
            FrameSolid(dc, TRect(line.Left + 2, line.Top + 2, line.Left + 2 + h * 3 / 2, line.Top + 2 + h), ColorToRGB(clRed));
            line.Left += h * 3 / 2 + 6;
        }
        DrawTextIn(dc, font, u"Today: " + DateToStr(today), line, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX, text);
    }
}
