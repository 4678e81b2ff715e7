#include "grid/edit/VovSpinEdit.h"

#include <algorithm>

#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

// 1-based position of `c` in `s` at or after the 1-based `from`; 0: none.
int PosOf(const String& s, Char c, int from = 1)
{
    if (from < 1 || !c)
        return 0;
    const auto p = s.find(c, std::size_t(from - 1));
    return p == String::npos ? 0 : int(p) + 1;
}

template <typename T>
T Clamp(T v, T lo, T hi)
{
    if (lo == hi)
        return v;
    return v < lo ? lo : v > hi ? hi : v;
}

} // namespace

QT_PUBLISHED(TVovSpinEdit, QT_PROP(Value), QT_PROP(Precision))

TVovSpinEdit::TVovSpinEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    SetText(u"0");
}

Integer TVovSpinEdit::GetValue()
{
    const String t = Trim(GetText());
    if (t.empty())
        return 0;
    Integer v = 0;
    return TryStrToInt(t, v) ? v : MinValue;
}

void TVovSpinEdit::SetValue(Integer v)
{
    SetText(IntToStr(Clamp(v, MinValue, MaxValue)));
    if (!EditorEnabled)
        SelectAll();
}

double TVovSpinEdit::GetFloatValue()
{
    double v = 0;
    return TryStrToFloat(GetText(), v) ? v : MinFloatValue;
}

void TVovSpinEdit::SetFloatValue(double v)
{
    v = Clamp(v, MinFloatValue, MaxFloatValue);
    SetText(m_precision > 0 ? FloatToStrF(v, ffFixed, 15, m_precision) : FloatToStr(v));
}

TDateTime TVovSpinEdit::GetDateValue()
{
    const String t = GetText();
    if (t.empty() || t == u"0")
        return Now();
    TDateTime d = 0;
    return TryStrToDate(t, d) ? d : MinDateValue;
}

TDateTime TVovSpinEdit::ClampDate(TDateTime v) const { return Clamp(v, MinDateValue, MaxDateValue); }

void TVovSpinEdit::SetTextKeepCaret(const String& v)
{
    const int caret = GetSelStart();
    SetText(v);
    SetSelStart(caret);
}

void TVovSpinEdit::SetDateValue(TDateTime v)
{
    m_dateValue = v;
    if (GetComponentState().Contains(csLoading))
        return;
    m_dateValue = ClampDate(v);
    SetTextKeepCaret(DateToStr(m_dateValue));
}

TDateTime TVovSpinEdit::GetTimeValue()
{
    TDateTime t = 0;
    return TryStrToTime(GetText(), t) ? t : 0;
}

void TVovSpinEdit::SetTimeValue(TDateTime v)
{
    m_timeValue = v;
    if (GetComponentState().Contains(csLoading))
        return;
    m_timeValue = ClampDate(v);
    SetTextKeepCaret(ShowSeconds ? TimeToStr(m_timeValue) : FormatDateTime(u"h:nn", m_timeValue));
}

void TVovSpinEdit::SetPrecision(Integer v)
{
    m_precision = v;
    if (m_spinType == sptFloat)
        SetFloatValue(GetFloatValue());
}

void TVovSpinEdit::SetSpinType(TVovSpinType v)
{
    m_spinType = v;
    switch (v) {
    case sptNormal: SetValue(GetValue()); break;
    case sptFloat: SetFloatValue(GetFloatValue()); break;
    case sptDate: SetDateValue(GetDateValue()); break;
    case sptTime: SetTimeValue(GetTimeValue()); break;
    }
}

void TVovSpinEdit::UpStep(bool Page) { Step(1, Page); }
void TVovSpinEdit::DownStep(bool Page) { Step(-1, Page); }
void TVovSpinEdit::UpClick(TObject*) { UpStep(false); }
void TVovSpinEdit::DownClick(TObject*) { DownStep(false); }

void TVovSpinEdit::Step(int Sign, bool Page)
{
    if (GetReadOnly()) {
        MessageBeep(0);
        return;
    }
    const String text = GetText();
    const int caret = GetSelStart();
    // The caret stands before a separator at position p when fewer than p
    // characters precede it; a missing separator (0) is never ahead.
    const auto before = [caret](int p) { return caret < p; };
    switch (m_spinType) {
    case sptNormal:
        SetValue(GetValue() + Sign * Increment);
        break;
    case sptFloat:
        SetFloatValue(GetFloatValue() + Sign * (Page ? IncrementFloatPage : IncrementFloat));
        break;
    case sptDate: {
        const Char sep = FormatSettings.DateSeparator;
        const int p1 = PosOf(text, sep), p2 = p1 ? PosOf(text, sep, p1 + 1) : 0;
        const String fmt = UpperCase(FormatSettings.ShortDateFormat);
        const auto m = fmt.find(u'M'), d = fmt.find(u'D');
        const bool monthFirst = m != String::npos && (d == String::npos || m < d);
        enum { Day, Month, Year } part = before(p1) ? (monthFirst ? Month : Day) : before(p2) ? (monthFirst ? Day : Month) : Year;
        const TDateTime cur = GetDateValue();
        try {
            // Stepping the year of 29 February lands on 28 February, as
            // stepping the month limits the day to the target month.
            SetDateValue(part == Day ? cur + Sign : part == Month ? IncMonth(cur, Sign) : IncYear(cur, Sign));
        } catch (const EConvertError&) {
            MessageBeep(0); // beyond the calendar's years: the text stays
        }
        break;
    }
    case sptTime: {
        const Char sep = FormatSettings.TimeSeparator;
        const int p1 = PosOf(text, sep), p2 = p1 ? PosOf(text, sep, p1 + 1) : 0;
        double step;
        if (before(p1))
            step = IncrementHours / 24.0;
        else if (ShowSeconds && !before(p2))
            step = IncrementSeconds / 86400.0;
        else
            step = IncrementMinutes / 1440.0;
        const TDateTime t = GetTimeValue();
        if (Sign > 0) {
            SetTimeValue(t + step);
        } else {
            // Below midnight wraps to the end of the day.
            TDateTime n = t + 1 - step;
            if (n > 1)
                n -= 1;
            SetTimeValue(n);
        }
        break;
    }
    }
}

bool TVovSpinEdit::IsValidChar(Char& Key)
{
    if (Key == 8)
        return EditorEnabled;
    const TFormatSettings& fs = FormatSettings;
    const Char dec = fs.DecimalSeparator, thou = fs.ThousandSeparator;
    const Char timeSep = fs.TimeSeparator, dateSep = fs.DateSeparator;
    bool ok = Key == dec || Key == thou || Key == timeSep || Key == dateSep || (Key >= u'0' && Key <= u'9') || Key == u'-' || (Key < 32 && Key != 13);
    const auto sharesNumberMeaning = [&](Char c) { return c == dec || c == thou || c == u'-' || c == u'+'; };
    if (ok && Key == timeSep && m_spinType != sptTime)
        ok = (m_spinType == sptNormal || m_spinType == sptFloat) && sharesNumberMeaning(timeSep);
    if (ok && Key == dateSep && m_spinType != sptDate)
        ok = (m_spinType == sptNormal || m_spinType == sptFloat) && sharesNumberMeaning(dateSep);
    const String text = GetText();
    const String sel = GetSelText();
    if (ok && Key == u'-') {
        if (text.find(u'-') == String::npos)
            ok = GetSelStart() == 0;
        else
            ok = GetSelStart() == 0 && sel.find(u'-') != String::npos;
    }
    if (ok && m_spinType == sptNormal)
        ok = (Key >= u'0' && Key <= u'9') || Key == u'-';
    if (ok && m_spinType == sptFloat && Key != 27 && Key != 13 && Key != 8) {
        if (Key == thou)
            ok = false;
        else if (Key == dec && text.find(dec) != String::npos)
            ok = sel.find(dec) != String::npos;
        const int f = PosOf(text, dec);
        if (ok && m_precision > 0 && f > 0 && GetSelStart() >= f && GetSelLength() == 0)
            ok = int(text.size()) < f + m_precision;
    }
    if (ok && m_spinType == sptTime && Key == timeSep) {
        String rest = text;
        const auto first = rest.find(timeSep);
        if (first != String::npos)
            rest.erase(first, 1);
        ok = rest.find(timeSep) == String::npos;
    }
    if (!EditorEnabled && Key >= 32)
        ok = false;
    return ok;
}

void TVovSpinEdit::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_KEYDOWN:
        switch (Message.WParam) {
        case VK_PRIOR: UpStep(true); Message.Result = 0; return;
        case VK_NEXT: DownStep(true); Message.Result = 0; return;
        case VK_UP: UpClick(this); Message.Result = 0; return;
        case VK_DOWN: DownClick(this); Message.Result = 0; return;
        default: break;
        }
        break;
    case WM_CHAR:
        // "." of the numeric keypad types the locale's decimal separator.
        if (ExcelStyleDecimalSeparator && Message.WParam == u'.' && (Message.LParam & 0x400000))
            Message.WParam = FormatSettings.DecimalSeparator;
        break;
    case WM_CUT:
    case WM_PASTE:
        if (!EditorEnabled || GetReadOnly())
            return;
        break;
    default:
        break;
    }
    TCustomMaskEdit::Dispatch(Message);
}

void TVovSpinEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && ReturnIsTab) {
        Key = VK_TAB;
        PostMessage(GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_DELETE && !EditorEnabled)
        Key = 0;
    TCustomMaskEdit::KeyDown(Key, Shift);
}

void TVovSpinEdit::KeyPress(char16_t& Key)
{
    Char c = Key;
    if (Key && !IsValidChar(c)) {
        Key = 0;
        MessageBeep(0);
    } else {
        Key = c;
    }
    TCustomMaskEdit::KeyPress(Key);
}

void TVovSpinEdit::DoEnter()
{
    TCustomMaskEdit::DoEnter();
    if (GetAutoSelect() && !((GetKeyState(VK_LBUTTON) & 0x8000) && EditorEnabled))
        SelectAll();
}

void TVovSpinEdit::DoExit()
{
    // A value outside its limits is written back, which clamps it.
    switch (m_spinType) {
    case sptNormal: {
        const Integer v = GetValue();
        if (MinValue != MaxValue && (v < MinValue || v > MaxValue))
            SetValue(v);
        break;
    }
    case sptFloat: {
        const double v = GetFloatValue();
        if (MinFloatValue != MaxFloatValue && (v < MinFloatValue || v > MaxFloatValue))
            SetFloatValue(v);
        break;
    }
    case sptDate: {
        const TDateTime v = GetDateValue();
        if (ClampDate(v) != v)
            SetDateValue(v);
        break;
    }
    case sptTime: {
        const TDateTime v = GetTimeValue();
        if (ClampDate(v) != v)
            SetTimeValue(v);
        break;
    }
    }
    TCustomMaskEdit::DoExit();
}
