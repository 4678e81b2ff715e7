#include "grid/edit/VovSpinEdit.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
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

template<typename T>
T Clamp(T v, T lo, T hi)
{
    if (lo == hi)
        return v;
    return v < lo ? lo : v > hi ? hi : v;
}

bool HighContrastOn()
{
    HIGHCONTRASTW hc;
    return SystemParametersInfo(SPI_GETHIGHCONTRAST, sizeof(hc), &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}

void LoadDefaultGlyph(TSpeedButton* Button, const char16_t* Name)
{
    TBitmap glyph;
    glyph.LoadFromResourceName(nullptr, Name);
    Button->SetGlyph(&glyph);
    Button->SetNumGlyphs(1);
    Button->Invalidate();
}

// Theme parts and states of the "spin" class.
constexpr int SPNP_UP = 1, SPNP_DOWN = 2, SPNP_UPHORZ = 3, SPNP_DOWNHORZ = 4;

} // namespace

// ---- TLumTimerSpeedButton ----

QT_PUBLISHED(TLumTimerSpeedButton, QT_PROP(ButtonDirection))

TLumTimerSpeedButton::TLumTimerSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) { }

TLumTimerSpeedButton::~TLumTimerSpeedButton() = default;

TVovSpinButton* TLumTimerSpeedButton::SpinOwner() const { return dynamic_cast<TVovSpinButton*>(const_cast<TLumTimerSpeedButton*>(this)->GetOwner()); }

void TLumTimerSpeedButton::SetButtonDirection(TButtonDirection v)
{
    FButtonDirection = v;
    Invalidate();
}

void TLumTimerSpeedButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    Invalidate();
}

void TLumTimerSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseDown(Button, Shift, X, Y);
    if (FTimeBtnState.Contains(tbAllowTimer)) {
        if (!FRepeatTimer) {
            FRepeatTimer = std::make_unique<TTimer>(nullptr);
            FRepeatTimer->OnTimer = [this](TObject* Sender) { TimerExpired(Sender); };
        }
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->SetInterval(InitRepeatPause);
        FRepeatTimer->SetEnabled(true);
    }
    if (GetParent())
        GetParent()->Invalidate();
}

void TLumTimerSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TSpeedButton::MouseUp(Button, Shift, X, Y);
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
    if (GetParent())
        GetParent()->Invalidate();
}

void TLumTimerSpeedButton::TimerExpired(TObject*)
{
    FRepeatTimer->SetInterval(RepeatPause);
    if (GetState() == bsDown && GetMouseCapture()) {
        try {
            Click();
        } catch (...) {
            FRepeatTimer->SetEnabled(false);
            throw;
        }
    }
}

void TLumTimerSpeedButton::MouseEnter()
{
    FHasMouse = true;
    Invalidate();
    TSpeedButton::MouseEnter();
}

void TLumTimerSpeedButton::MouseLeave()
{
    FHasMouse = false;
    Invalidate();
    TSpeedButton::MouseLeave();
}

void TLumTimerSpeedButton::PaintArrow(TCanvas* Canvas, const TRect& R, TColor Fill, TColor Arrow, bool HighContrast)
{
    Canvas->GetBrush()->SetStyle(bsSolid);
    Canvas->GetBrush()->SetColor(Fill);
    Canvas->FillRect(R);
    const int L = R.Left, T = R.Top, Rt = R.Right;
    std::vector<TPoint> p;
    if (HighContrast) {
        switch (FButtonDirection) {
        case bdLeft: p = { { Rt - 3, T + 5 }, { Rt - 6, T + 7 }, { Rt - 3, T + 9 } }; break;
        case bdRight: p = { { Rt - 6, T + 5 }, { Rt - 3, T + 7 }, { Rt - 6, T + 9 } }; break;
        case bdUp: p = { { Rt - 10, T + 6 }, { Rt - 4, T + 6 }, { Rt - 7, T + 3 } }; break;
        case bdDown: p = { { Rt - 10, T + 3 }, { Rt - 4, T + 3 }, { Rt - 7, T + 6 } }; break;
        }
    } else {
        switch (FButtonDirection) {
        case bdLeft: p = { { L + 5, T + 5 }, { L + 3, T + 7 }, { L + 5, T + 9 } }; break;
        case bdRight: p = { { L + 3, T + 5 }, { L + 5, T + 7 }, { L + 3, T + 9 } }; break;
        case bdUp: p = { { L + 4, T + 4 }, { L + 8, T + 4 }, { L + 6, T + 2 } }; break;
        case bdDown: p = { { L + 4, T + 2 }, { L + 8, T + 2 }, { L + 6, T + 4 } }; break;
        }
    }
    Canvas->GetPen()->SetColor(Arrow);
    Canvas->GetBrush()->SetColor(Arrow);
    Canvas->Polygon(p);
}

void TLumTimerSpeedButton::Paint()
{
    TCanvas* canvas = GetCanvas();
    const TRect R = GetClientRect();
    const bool pressed = GetState() == bsDown || GetState() == bsExclusive;
    if (HighContrastOn()) {
        PaintArrow(canvas, R, clBlack, clWhite, true);
        return;
    }
    if (TVovSpinButton* owner = SpinOwner(); owner && owner->GetButtonColor() != clNone) {
        const TColor fill = pressed ? owner->GetButtonColorDown() : FHasMouse ? owner->GetButtonColorHot() : owner->GetButtonColor();
        PaintArrow(canvas, R, fill == clNone ? owner->GetButtonColor() : fill, clBlack, false);
        return;
    }
    if (FIsWinXP && GetParent()) {
        if (HTHEME theme = OpenThemeData(GetParent()->GetHandle(), u"spin")) {
            const int part = FButtonDirection == bdUp ? SPNP_UP : FButtonDirection == bdDown ? SPNP_DOWN
                : FButtonDirection == bdRight                                                  ? SPNP_UPHORZ
                                                                                               : SPNP_DOWNHORZ;
            const int state = pressed ? 3 : FHasMouse ? 2 : 1;
            RECT r = R;
            DrawThemeBackground(theme, canvas->GetHandle(), part, state, &r, nullptr);
            CloseThemeData(theme);
            return;
        }
    }
    if (FButtonDirection == bdLeft || FButtonDirection == bdRight) {
        RECT r = R;
        DrawFrameControl(canvas->GetHandle(), &r, DFC_SCROLL,
            (FButtonDirection == bdLeft ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT) | (pressed ? DFCS_PUSHED : 0u) | (GetFlat() ? DFCS_FLAT : 0u));
    } else {
        TSpeedButton::Paint();
    }
    if (FTimeBtnState.Contains(tbFocusRect)) {
        TRect f = R;
        f.Inflate(-3, -3);
        if (pressed)
            f.Offset(1, 1);
        canvas->DrawFocusRect(f);
    }
}

// ---- TVovSpinButton ----

QT_PUBLISHED(TVovSpinButton, QT_PROP(Direction), QT_PROP(FocusControl), QT_PROP_T(ButtonColor, u"TColor"),
    QT_PROP_T(ButtonColorHot, u"TColor"), QT_PROP_T(ButtonColorDown, u"TColor"), QT_PROP_T(ButtonTextColor, u"TColor"),
    QT_PROP_T(ButtonTextColorHot, u"TColor"), QT_PROP_T(ButtonTextColorDown, u"TColor"),
    QT_PROP_T(ButtonBorderColor, u"TColor"), QT_PROP(UpGlyph), QT_PROP(DownGlyph), QT_PROP_T(UpNumGlyphs, u"TNumGlyphs"),
    QT_PROP_T(DownNumGlyphs, u"TNumGlyphs"), QT_EVENT(OnUpClick), QT_EVENT(OnDownClick))

TVovSpinButton::TVovSpinButton(TComponent* AOwner) : TWinControl(AOwner)
{
    m_controlStyle.Exclude(csAcceptsControls);
    m_controlStyle.Exclude(csSetCaption);
    m_controlStyle.Include(csOpaque);
    auto makeButton = [this](TButtonDirection direction, TNotifyEvent* event) {
        auto* b = new TLumTimerSpeedButton(this);
        b->SetTimeBtnState({ tbAllowTimer });
        b->SetButtonDirection(direction);
        b->SetVisible(true);
        b->SetParent(this);
        b->OnClick = [this, event](TObject*) {
            if (*event)
                (*event)(this);
        };
        b->OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState, int, int) { BtnMouseDown(Sender, Button); };
        return b;
    };
    FUpButton = makeButton(bdUp, &OnUpClick);
    FDownButton = makeButton(bdDown, &OnDownClick);
    SetUpGlyph(nullptr);
    SetDownGlyph(nullptr);
    FFocusedButton = FUpButton;
    SetBounds(0, 0, 15, 25);
}

void TVovSpinButton::SetFocusControl(TWinControl* v)
{
    if (FFocusControl)
        FFocusControl->RemoveFreeNotification(this);
    FFocusControl = v;
    if (v && v != GetOwner())
        v->FreeNotification(this);
}

void TVovSpinButton::SetUpGlyph(TBitmap* v)
{
    if (v)
        FUpButton->SetGlyph(v);
    else
        LoadDefaultGlyph(FUpButton, u"VovSpinUp");
}

void TVovSpinButton::SetDownGlyph(TBitmap* v)
{
    if (v)
        FDownButton->SetGlyph(v);
    else
        LoadDefaultGlyph(FDownButton, u"VovSpinDown");
}

void TVovSpinButton::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    FUpButton->SetIsWinXP(v);
    FDownButton->SetIsWinXP(v);
}

void TVovSpinButton::SetDirection(TSpinDirection v)
{
    if (v == FDirection)
        return;
    FDirection = v;
    if (HandleAllocated())
        RecreateWnd();
    if (v == spHorizontal) {
        FUpButton->SetButtonDirection(bdRight);
        FDownButton->SetButtonDirection(bdLeft);
        SetWidth(20);
    } else {
        FUpButton->SetButtonDirection(bdUp);
        FDownButton->SetButtonDirection(bdDown);
        SetWidth(15);
    }
}

void TVovSpinButton::AdjustSize(int& W, int& H)
{
    if (!FUpButton || !FDownButton || GetComponentState().Contains(csLoading))
        return;
    if (FDirection == spVertical) {
        W = std::max(W, 15);
        FUpButton->SetBounds(0, 0, W, H / 2);
        FDownButton->SetBounds(0, FUpButton->GetHeight() - 1, W, H - FUpButton->GetHeight() + 1);
    } else {
        W = std::max(W, 20);
        FDownButton->SetBounds(0, 0, W / 2, H);
        FUpButton->SetBounds(W / 2 + 1, 0, W / 2, H);
    }
}

void TVovSpinButton::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    AdjustSize(AWidth, AHeight);
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TVovSpinButton::Loaded()
{
    TWinControl::Loaded();
    int W = GetWidth(), H = GetHeight();
    AdjustSize(W, H);
    if (W != GetWidth() || H != GetHeight())
        SetBounds(GetLeft(), GetTop(), W, H);
}

void TVovSpinButton::SetFocusBtn(TLumTimerSpeedButton* Btn)
{
    if (!GetTabStop() || !CanFocus() || Btn == FFocusedButton)
        return;
    FFocusedButton->SetTimeBtnState(FFocusedButton->GetTimeBtnState() - tbFocusRect);
    FFocusedButton = Btn;
    if (Focused()) {
        FFocusedButton->SetTimeBtnState(FFocusedButton->GetTimeBtnState() + tbFocusRect);
        Invalidate();
    }
}

void TVovSpinButton::BtnMouseDown(TObject* Sender, TMouseButton Button)
{
    if (Button != mbLeft)
        return;
    SetFocusBtn(static_cast<TLumTimerSpeedButton*>(Sender));
    if (FFocusControl && FFocusControl->GetTabStop() && FFocusControl->CanFocus() && !FFocusControl->Focused())
        FFocusControl->SetFocus();
    else if (GetTabStop() && !Focused() && CanFocus())
        SetFocus();
}

void TVovSpinButton::KeyDown(WORD& Key, TShiftState Shift)
{
    switch (Key) {
    case VK_UP:
        SetFocusBtn(FUpButton);
        FUpButton->Click();
        break;
    case VK_DOWN:
        SetFocusBtn(FDownButton);
        FDownButton->Click();
        break;
    case VK_SPACE:
        FFocusedButton->Click();
        break;
    default:
        break;
    }
    TWinControl::KeyDown(Key, Shift);
}

void TVovSpinButton::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS;
        return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: {
        TWinControl::Dispatch(Message);
        const TTimeBtnState s = FFocusedButton->GetTimeBtnState();
        FFocusedButton->SetTimeBtnState(Message.Msg == WM_SETFOCUS ? s + tbFocusRect : s - tbFocusRect);
        FFocusedButton->Invalidate();
        return;
    }
    case WM_SIZE: {
        TWinControl::Dispatch(Message);
        int W = GetWidth(), H = GetHeight();
        AdjustSize(W, H);
        if (W != GetWidth() || H != GetHeight())
            TWinControl::SetBounds(GetLeft(), GetTop(), W, H);
        return;
    }
    default:
        TWinControl::Dispatch(Message);
    }
}

void TVovSpinButton::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl)
        FFocusControl = nullptr;
}

// ---- TVovSpinEdit ----

QT_PUBLISHED(TVovSpinEdit, QT_PROP(Value), QT_PROP(MinValue), QT_PROP(MaxValue), QT_PROP(Increment),
    QT_PROP(FloatValue), QT_PROP(MinFloatValue), QT_PROP(MaxFloatValue), QT_PROP(IncrementFloat),
    QT_PROP(IncrementFloatPage), QT_PROP_T(DateValue, u"TDateTime"), QT_PROP_T(MinDateValue, u"TDateTime"),
    QT_PROP_T(MaxDateValue, u"TDateTime"), QT_PROP_T(TimeValue, u"TDateTime"), QT_PROP(IncrementHours),
    QT_PROP(IncrementMinutes), QT_PROP(IncrementSeconds), QT_PROP(ShowSeconds), QT_PROP(Precision), QT_PROP(SpinType),
    QT_PROP(Direction), QT_PROP(EditorEnabled), QT_PROP(ReturnIsTab), QT_PROP(ExcelStyleDecimalSeparator),
    QT_PROP(EditAlign), QT_PROP(SpinFlat), QT_PROP(SpinTransparent), QT_PROP(AllowEmptyValue))

TVovSpinEdit::TVovSpinEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner)
{
    m_controlStyle.Exclude(csSetCaption);
    FButton = new TVovSpinButton(this);
    FButton->SetBounds(0, 0, 15, 17);
    FButton->SetVisible(true);
    FButton->SetParent(this);
    FButton->SetFocusControl(this);
    FButton->OnUpClick = [this](TObject* Sender) { UpClick(Sender); };
    FButton->OnDownClick = [this](TObject* Sender) { DownClick(Sender); };
    SetText(u"0");
}

TVovSpinEdit::~TVovSpinEdit()
{
    // The button goes first, and the edit no longer reaches for it.
    TVovSpinButton* button = FButton;
    FButton = nullptr;
    delete button;
}

void TVovSpinEdit::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomMaskEdit::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FButton)
        FButton = nullptr;
}

// ---- values ----

Integer TVovSpinEdit::GetValue()
{
    const String t = Trim(GetText());
    if (t.empty())
        return 0;
    Integer v = 0;
    return TryStrToInt(t, v) ? v : FMinValue;
}

void TVovSpinEdit::SetValue(Integer v)
{
    SetText(IntToStr(Clamp(v, FMinValue, FMaxValue)));
    if (!FEditorEnabled)
        SelectAll();
}

double TVovSpinEdit::GetFloatValue()
{
    double v = 0;
    return TryStrToFloat(GetText(), v) ? v : FMinFloatValue;
}

void TVovSpinEdit::SetFloatValue(double v)
{
    v = Clamp(v, FMinFloatValue, FMaxFloatValue);
    SetText(FPrecision > 0 ? FloatToStrF(v, ffFixed, 15, FPrecision) : FloatToStr(v));
}

TDateTime TVovSpinEdit::GetDateValue()
{
    const String t = GetText();
    if (t.empty() || t == u"0")
        return Now();
    TDateTime d = 0;
    return TryStrToDate(t, d) ? d : FMinDateValue;
}

TDateTime TVovSpinEdit::ClampDate(TDateTime v) const { return Clamp(v, FMinDateValue, FMaxDateValue); }

void TVovSpinEdit::SetTextKeepCaret(const String& v)
{
    const int caret = GetSelStart();
    SetText(v);
    SetSelStart(caret);
}

void TVovSpinEdit::SetDateValue(TDateTime v)
{
    FDateValue = v;
    if (GetComponentState().Contains(csLoading))
        return;
    FDateValue = ClampDate(v);
    SetTextKeepCaret(DateToStr(FDateValue));
}

TDateTime TVovSpinEdit::GetTimeValue()
{
    TDateTime t = 0;
    return TryStrToTime(GetText(), t) ? t : 0;
}

String TVovSpinEdit::TimeText(TDateTime v) const { return FShowSeconds ? TimeToStr(v) : FormatDateTime(u"h:nn", v); }

void TVovSpinEdit::SetTimeValue(TDateTime v)
{
    FTimeValue = v;
    if (GetComponentState().Contains(csLoading))
        return;
    FTimeValue = ClampDate(v);
    SetTextKeepCaret(TimeText(FTimeValue));
}

void TVovSpinEdit::SetPrecision(Integer v)
{
    FPrecision = v;
    if (FSpinType == sptFloat)
        SetFloatValue(GetFloatValue());
}

void TVovSpinEdit::SetSpinType(TVovSpinType v)
{
    FSpinType = v;
    switch (v) {
    case sptNormal: SetValue(GetValue()); break;
    case sptFloat: SetFloatValue(GetFloatValue()); break;
    case sptDate: SetDateValue(GetDateValue()); break;
    case sptTime: SetTimeValue(GetTimeValue()); break;
    }
}

// ---- stepping ----

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
    switch (FSpinType) {
    case sptNormal:
        SetValue(GetValue() + Sign * FIncrement);
        break;
    case sptFloat:
        SetFloatValue(GetFloatValue() + Sign * (Page ? FIncrementFloatPage : FIncrementFloat));
        break;
    case sptDate:
        StepDate(Sign);
        break;
    case sptTime:
        StepTime(Sign);
        break;
    }
}

// The part under the caret steps: the caret stands before a separator at
// 1-based position p when fewer than p characters precede it.
void TVovSpinEdit::StepDate(int Sign)
{
    const String text = GetText();
    const int caret = GetSelStart();
    const Char sep = FormatSettings.DateSeparator;
    const int p1 = PosOf(text, sep), p2 = p1 ? PosOf(text, sep, p1 + 1) : 0;
    const String fmt = UpperCase(FormatSettings.ShortDateFormat);
    const auto m = fmt.find(u'M'), d = fmt.find(u'D');
    FUsDates = m != String::npos && (d == String::npos || m < d);
    enum { Day, Month, Year } part;
    if (caret < p1)
        part = FUsDates ? Month : Day;
    else if (caret < p2)
        part = FUsDates ? Day : Month;
    else
        part = Year;
    const TDateTime cur = GetDateValue();
    try {
        // Month and year steps keep the day within the target month, so the
        // year of 29 February steps to 28 February.
        SetDateValue(part == Day ? cur + Sign : part == Month ? IncMonth(cur, Sign) : IncYear(cur, Sign));
    } catch (const EConvertError&) {
        MessageBeep(0); // beyond the calendar's years: the text stays
    }
}

void TVovSpinEdit::StepTime(int Sign)
{
    const String text = GetText();
    const int caret = GetSelStart();
    const Char sep = FormatSettings.TimeSeparator;
    const int p1 = PosOf(text, sep), p2 = p1 ? PosOf(text, sep, p1 + 1) : 0;
    double step;
    if (caret < p1)
        step = FIncrementHours / 24.0;
    else if (FShowSeconds && caret >= p2)
        step = FIncrementSeconds / 86400.0;
    else
        step = FIncrementMinutes / 1440.0;
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
}

// ---- typing ----

bool TVovSpinEdit::IsValidChar(Char& Key)
{
    if (Key == 8)
        return FEditorEnabled;
    const TFormatSettings& fs = FormatSettings;
    const Char dec = fs.DecimalSeparator, thou = fs.ThousandSeparator;
    const Char timeSep = fs.TimeSeparator, dateSep = fs.DateSeparator;
    bool ok = Key == dec || Key == thou || Key == timeSep || Key == dateSep || (Key >= u'0' && Key <= u'9')
        || Key == u'-' || (Key < 32 && Key != 13);
    // A separator of another kind counts only where it also means a number sign or separator.
    const auto sharesNumberMeaning = [&](Char c) { return c == dec || c == thou || c == u'-' || c == u'+'; };
    const bool numeric = FSpinType == sptNormal || FSpinType == sptFloat;
    if (ok && Key == timeSep && FSpinType != sptTime)
        ok = numeric && sharesNumberMeaning(timeSep);
    if (ok && Key == dateSep && FSpinType != sptDate)
        ok = numeric && sharesNumberMeaning(dateSep);
    const String text = GetText();
    const String sel = GetSelText();
    if (ok && Key == u'-') {
        if (text.find(u'-') == String::npos)
            ok = GetSelStart() == 0;
        else
            ok = GetSelStart() == 0 && sel.find(u'-') != String::npos;
    }
    if (ok && FSpinType == sptNormal)
        ok = (Key >= u'0' && Key <= u'9') || Key == u'-';
    if (ok && FSpinType == sptFloat && Key != 27 && Key != 13 && Key != 8) {
        if (Key == thou)
            ok = false;
        else if (Key == dec && text.find(dec) != String::npos)
            ok = sel.find(dec) != String::npos;
        // No more decimals than the precision.
        const int f = PosOf(text, dec);
        if (ok && FPrecision > 0 && f > 0 && GetSelStart() >= f && GetSelLength() == 0)
            ok = int(text.size()) < f + FPrecision;
    }
    if (ok && FSpinType == sptTime && Key == timeSep) {
        String rest = text;
        const auto first = rest.find(timeSep);
        if (first != String::npos)
            rest.erase(first, 1);
        ok = rest.find(timeSep) == String::npos;
    }
    if (!FEditorEnabled && Key >= 32)
        ok = false;
    return ok;
}

void TVovSpinEdit::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_RETURN && FReturnIsTab) {
        Key = VK_TAB;
        PostMessage(GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    }
    if (Key == VK_DELETE && !FEditorEnabled)
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
    // A click places the caret where it lands.
    if (GetAutoSelect() && !((GetKeyState(VK_LBUTTON) & 0x8000) && FEditorEnabled))
        SelectAll();
}

void TVovSpinEdit::DoExit()
{
    TCustomMaskEdit::DoExit();
    // A value outside its limits is written back, which clamps it.
    switch (FSpinType) {
    case sptNormal: {
        const Integer v = GetValue();
        if (Clamp(v, FMinValue, FMaxValue) != v)
            SetValue(v);
        break;
    }
    case sptFloat: {
        const double v = GetFloatValue();
        if (Clamp(v, FMinFloatValue, FMaxFloatValue) != v)
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
        if (FExcelStyleDecimalSeparator && Message.WParam == u'.' && (Message.LParam & 0x400000))
            Message.WParam = FormatSettings.DecimalSeparator;
        break;
    case WM_CUT:
    case WM_PASTE:
        if (!FEditorEnabled || GetReadOnly())
            return;
        break;
    case WM_SIZE: {
        TCustomMaskEdit::Dispatch(Message);
        const int least = GetMinHeight();
        if (GetHeight() < least)
            SetHeight(least);
        PlaceButton();
        return;
    }
    default:
        break;
    }
    TCustomMaskEdit::Dispatch(Message);
}

// ---- layout ----

void TVovSpinEdit::CreateParams(TCreateParams& Params)
{
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~DWORD(ES_RIGHT | ES_CENTER);
    Params.Style |= ES_MULTILINE | WS_CLIPCHILDREN;
    if (FEditAlign == eaRight)
        Params.Style |= ES_RIGHT;
    else if (FEditAlign == eaCenter)
        Params.Style |= ES_CENTER;
}

void TVovSpinEdit::CreateWnd()
{
    TCustomMaskEdit::CreateWnd();
    PlaceButton();
}

int TVovSpinEdit::GetMinHeight()
{
    HDC dc = GetDC(nullptr);
    TEXTMETRICW sys {}, own {};
    GetTextMetrics(dc, &sys);
    HGDIOBJ saved = SelectObject(dc, GetFont()->GetHandle());
    GetTextMetrics(dc, &own);
    SelectObject(dc, saved);
    ReleaseDC(nullptr, dc);
    int least = own.tmHeight + std::min(sys.tmHeight, own.tmHeight) / 4 + 2;
    if (GetBorderStyle() == bsSingle)
        least += 4 * GetSystemMetrics(SM_CYBORDER);
    return least;
}

void TVovSpinEdit::PlaceButton()
{
    if (!FButton)
        return;
    const int bw = FButton->GetWidth();
    if (GetCtl3D()) {
        // Inside the client edge; without a border the button reaches the edge.
        const int e = GetBorderStyle() == bsNone ? 1 : 5;
        FButton->SetBounds(GetWidth() - bw - e, 0, bw, GetHeight() - e);
    } else {
        FButton->SetBounds(GetWidth() - bw, 1, bw, GetHeight() - 3);
    }
    SetEditRect();
}

void TVovSpinEdit::SetEditRect()
{
    if (!HandleAllocated() || !FButton)
        return;
    const int m = GetBorderStyle() == bsNone ? 3 : 0;
    RECT loc { m, m, GetClientWidth() - FButton->GetWidth() - m - 2, GetClientHeight() + 1 };
    Perform(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&loc));
}

void TVovSpinEdit::Relayout()
{
    SetWidth(GetWidth() + 1);
    SetWidth(GetWidth() - 1);
}

void TVovSpinEdit::SetDirection(TSpinDirection v)
{
    FDirection = v;
    if (FButton)
        FButton->SetDirection(v);
    Relayout();
}

void TVovSpinEdit::SetEditAlign(TEditAlign v)
{
    if (v == FEditAlign)
        return;
    FEditAlign = v;
    if (HandleAllocated())
        RecreateWnd();
}

void TVovSpinEdit::SetSpinFlat(bool v)
{
    FSpinFlat = v;
    if (FButton) {
        FButton->GetUpButton()->SetFlat(v);
        FButton->GetDownButton()->SetFlat(v);
    }
}

void TVovSpinEdit::SetSpinTransparent(bool v)
{
    FSpinTransparent = v;
    if (FButton) {
        FButton->GetUpButton()->SetTransparent(v);
        FButton->GetDownButton()->SetTransparent(v);
    }
    Relayout();
}

void TVovSpinEdit::SetIsWinXP(bool v)
{
    FIsWinXP = v;
    if (FButton)
        FButton->SetIsWinXP(v);
}

void TVovSpinEdit::Loaded()
{
    TCustomMaskEdit::Loaded();
    if (FSpinType == sptDate)
        SetDateValue(FDateValue);
    else if (FSpinType == sptTime)
        SetTimeValue(FTimeValue);
    SetSpinType(FSpinType);
}
