#include "dropdown/LumWatch.h"

#include <cmath>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Input.h"

QT_PUBLISHED(TWatchSettings, QT_PROP(Auto), QT_PROP(Second), QT_PROP(TimeOffset))
QT_PUBLISHED(TWatchAppearance, QT_PROP(Size), QT_PROP_T(HourPointer, u"TColor"),
    QT_PROP_T(BackgroundColor, u"TColor"), QT_PROP_T(MinutePointerShadow, u"TColor"),
    QT_PROP_T(BackgroundColorTo, u"TColor"), QT_PROP_T(HourPointerShadow, u"TColor"),
    QT_PROP_T(SecondPointer, u"TColor"), QT_PROP_T(BorderColor, u"TColor"), QT_PROP_T(MinutePointer, u"TColor"),
    QT_PROP(HourFont), QT_PROP(AMPMFont), QT_PROP(Picture), QT_PROP(AMPMFrame), QT_PROP(Shape),
    QT_PROP(PointerStyle), QT_PROP(HourPointerSize), QT_PROP(SecondPointerSize), QT_PROP(MinutePointerSize),
    QT_PROP_T(HourColor, u"TColor"), QT_PROP_T(MinuteColor, u"TColor"), QT_PROP(CenterPointSize),
    QT_PROP_T(CenterPointColor, u"TColor"), QT_PROP_T(CenterPointBorderColor, u"TColor"),
    QT_PROP(BackgroundGradient), QT_PROP(HourMarkLength), QT_PROP(HourMarkWidth), QT_PROP(MinuteMarkLength),
    QT_PROP(MinuteMarkWidth), QT_PROP(BorderWidth), QT_PROP_T(AMPMColor, u"TColor"),
    QT_PROP_T(AMPMBorderColor, u"TColor"), QT_PROP_T(CenterPointOuterBorderColor, u"TColor"), QT_PROP(TickMarks),
    QT_PROP(HourMarkStyle))
QT_PUBLISHED(TLumWatch, QT_PROP(Appearance), QT_PROP(Settings), QT_PROP(Time), QT_PROP(Animation),
    QT_PROP(AnimationFactor), QT_PROP(ShowAMPM), QT_PROP(ShowNumbers), QT_PROP(Style), QT_PROP(ReadOnly),
    QT_PROP(Resolution), QT_PROP(Version), QT_EVENT(OnChange))

namespace {

constexpr double MsPerDay = 86400000.0;

struct TClockTime {
    int Hour { 0 };
    int Minute { 0 };
    int Second { 0 };
    int MilliSecond { 0 };
};

TClockTime Decode(TDateTime Value)
{
    Word h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(Value, h, m, s, ms);
    return { h, m, s, ms };
}

// A pure time of day, no date part.
TDateTime Encode(const TClockTime& T)
{
    return EncodeTime(Word(T.Hour), Word(T.Minute), Word(T.Second), Word(T.MilliSecond));
}

// The value moved by whole minutes, counted in milliseconds so that 23:59
// plus one minute is exactly the next day.
TDateTime AddMinutes(TDateTime Value, int Minutes)
{
    const double Ms = std::nearbyint(double(Value) * MsPerDay) + double(Minutes) * 60000.0;
    return TDateTime(Ms / MsPerDay);
}

// Resets a flag when the scope ends, so an exception cannot leave it set.
struct TFlagGuard {
    bool& Flag;
    bool Old;
    TFlagGuard(bool& f, bool v) : Flag(f), Old(f) { Flag = v; }
    ~TFlagGuard() { Flag = Old; }
};

int R(double x) { return int(RoundHalfEven(x)); }

} // namespace

// ---- TWatchSettings ----

void TWatchSettings::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

void TWatchSettings::SetAuto(bool Value)
{
    if (FAuto == Value)
        return;
    FAuto = Value;
    Changed();
}

void TWatchSettings::SetSecond(bool Value)
{
    if (FSeconds == Value)
        return;
    FSeconds = Value;
    Changed();
}

void TWatchSettings::SetTimeOffset(int Value)
{
    if (FTimeOffset == Value)
        return;
    FTimeOffset = Value;
    Changed();
}

void TWatchSettings::Assign(TPersistent* Source)
{
    auto* Other = dynamic_cast<TWatchSettings*>(Source);
    if (!Other) {
        TPersistent::Assign(Source);
        return;
    }
    FSeconds = Other->FSeconds;
    FTimeOffset = Other->FTimeOffset;
    SetAuto(Other->FAuto);
}

// ---- TWatchAppearance ----

TWatchAppearance::TWatchAppearance()
    : FHourFont(std::make_unique<TFont>()), FAMPMFont(std::make_unique<TFont>()), FPicture(std::make_unique<TPicture>())
{
    FPicture->OnChange = [this](TObject*) { Changed(); };
    ResetAppearance();
}

TWatchAppearance::~TWatchAppearance() = default;

void TWatchAppearance::Changed()
{
    if (FOnChange)
        FOnChange(this);
}

void TWatchAppearance::ResetAppearance()
{
    FSize = 0;
    FHourPointer = clBlack;
    FBackgroundColor = clWhite;
    FMinutePointerShadow = clBtnShadow;
    FBackgroundColorTo = clNone;
    FHourPointerShadow = clBtnShadow;
    FSecondPointer = clRed;
    FBorderColor = clBlack;
    FMinutePointer = clBlack;
    FHourFont->SetName(u"Tahoma");
    FHourFont->SetSize(8);
    FAMPMFont->SetName(u"Tahoma");
    FAMPMFont->SetSize(10);
    FAMPMFrame = apRect;
    FWatchShape = wsCircle;
    FPointerStyle = psLine;
    FHourPointerSize = 4;
    FSecondPointerSize = 1;
    FMinutePointerSize = 3;
    FHourColor = clBlack;
    FMinuteColor = clGray;
    FCenterPointSize = 4;
    FCenterPointColor = clBlack;
    FCenterPointBorderColor = clNone;
    FBackgroundGradient = wgVertical;
    FHourMarkLength = 0;
    FHourMarkWidth = 1;
    FMinuteMarkLength = 0;
    FMinuteMarkWidth = 1;
    FBorderWidth = 4;
    FAMPMColor = clWhite;
    FAMPMBorderColor = clBlack;
    FCenterPointOuterBorderColor = clNone;
    FTickMarks = tmAll;
    FHourMarkStyle = hmsLine;
    Changed();
}

void TWatchAppearance::SetHourFont(TFont* Value)
{
    FHourFont->Assign(Value);
    Changed();
}

void TWatchAppearance::SetAMPMFont(TFont* Value)
{
    FAMPMFont->Assign(Value);
    Changed();
}

void TWatchAppearance::SetPicture(TPicture* Value)
{
    FPicture->Assign(Value);
    Changed();
}

void TWatchAppearance::Assign(TPersistent* Source)
{
    auto* O = dynamic_cast<TWatchAppearance*>(Source);
    if (!O) {
        TPersistent::Assign(Source);
        return;
    }
    FSize = O->FSize;
    FHourPointer = O->FHourPointer;
    FBackgroundColor = O->FBackgroundColor;
    FMinutePointerShadow = O->FMinutePointerShadow;
    FBackgroundColorTo = O->FBackgroundColorTo;
    FHourPointerShadow = O->FHourPointerShadow;
    FSecondPointer = O->FSecondPointer;
    FBorderColor = O->FBorderColor;
    FMinutePointer = O->FMinutePointer;
    {
        // The copies are silent: no notice from the objects' own events.
        auto Notify = std::move(FPicture->OnChange);
        FHourFont->Assign(O->FHourFont.get());
        FAMPMFont->Assign(O->FAMPMFont.get());
        FPicture->Assign(O->FPicture.get());
        FPicture->OnChange = std::move(Notify);
    }
    FAMPMFrame = O->FAMPMFrame;
    FWatchShape = O->FWatchShape;
    FPointerStyle = O->FPointerStyle;
    FHourPointerSize = O->FHourPointerSize;
    FSecondPointerSize = O->FSecondPointerSize;
    FMinutePointerSize = O->FMinutePointerSize;
    FHourColor = O->FHourColor;
    FMinuteColor = O->FMinuteColor;
    FCenterPointSize = O->FCenterPointSize;
    FCenterPointColor = O->FCenterPointColor;
    FCenterPointBorderColor = O->FCenterPointBorderColor;
    FBackgroundGradient = O->FBackgroundGradient;
    FHourMarkLength = O->FHourMarkLength;
    FHourMarkWidth = O->FHourMarkWidth;
    FMinuteMarkLength = O->FMinuteMarkLength;
    FMinuteMarkWidth = O->FMinuteMarkWidth;
    FBorderWidth = O->FBorderWidth;
    FAMPMColor = O->FAMPMColor;
    FAMPMBorderColor = O->FAMPMBorderColor;
    SetCenterPointOuterBorderColor(O->FCenterPointOuterBorderColor);
    SetTickMarks(O->FTickMarks);
    SetHourMarkStyle(O->FHourMarkStyle);
}

// ---- TLumWatch ----

TLumWatch::TLumWatch(TComponent* AOwner)
    : TCustomControl(AOwner)
    , FAppearance(std::make_unique<TWatchAppearance>())
    , FSettings(std::make_unique<TWatchSettings>())
    , FBKGCache(std::make_unique<TBitmap>())
    , FWatchTimer(std::make_unique<TTimer>())
    , FAnimationTimer(std::make_unique<TTimer>())
{
    FAppearance->FOnChange = [this](TObject* Sender) { AppearanceChanged(Sender); };
    FSettings->FOnChange = [this](TObject* Sender) { SettingsChanged(Sender); };
    FWatchTimer->SetInterval(100);
    FWatchTimer->SetEnabled(FSettings->GetAuto());
    FWatchTimer->OnTimer = [this](TObject* Sender) { WatchTimerTick(Sender); };
    FAnimationTimer->SetEnabled(false);
    FAnimationTimer->SetInterval(1);
    FAnimationTimer->OnTimer = [this](TObject* Sender) { AnimationTimerTick(Sender); };
    SetBounds(GetLeft(), GetTop(), 180, 180);
}

TLumWatch::~TLumWatch()
{
    FAnimationTimer.reset();
    FWatchTimer.reset();
}

String TLumWatch::GetVersion() const
{
    const int v = GetVersionNr();
    return Format(u"%d.%d.%d.%d", { (v >> 24) & 0xFF, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF });
}

bool TLumWatch::IsAnimating() const
{
    return FAnimationTimer->GetEnabled();
}

void TLumWatch::SetShowAMPM(bool Value)
{
    FShowAMPM = Value;
    Invalidate();
}

void TLumWatch::SetShowNumbers(bool Value)
{
    FShowNumbers = Value;
    Invalidate();
}

void TLumWatch::SetResolution(int Value)
{
    if (Value <= 30)
        FResolution = Value;
}

void TLumWatch::AppearanceChanged(TObject*)
{
    Invalidate();
}

void TLumWatch::SettingsChanged(TObject*)
{
    FWatchTimer->SetEnabled(FSettings->GetAuto());
    if (FSettings->GetAuto()) {
        SetTime(SystemTime());
        const TFlagGuard Internal(FInternalSet, true);
        SetAM(Decode(GetDisplayTime()).Hour < 12);
    }
    Invalidate();
}

void TLumWatch::WatchTimerTick(TObject*)
{
    UpdatePointers();
}

TDateTime TLumWatch::GetDisplayTime()
{
    if (FSettings->GetAuto())
        return TDateTime(double(SystemTime()) + FSettings->GetTimeOffset() / 1440.0);
    return FTime;
}

TRect TLumWatch::GetWatchRect()
{
    const TRect C = GetClientRect();
    const int W = C.Width(), H = C.Height();
    int s;
    if (FAppearance->GetSize() > 0)
        s = std::min(std::min(FAppearance->GetSize(), H), W);
    else
        s = std::min(W, H) - 20;
    const int L = C.Left + (W - s) / 2, T = C.Top + (H - s) / 2;
    return TRect(L, T, L + s, T + s);
}

TPoint TLumWatch::GetCenterPoint()
{
    const TRect R = GetWatchRect();
    return TPoint(R.Left + (R.Right - R.Left) / 2, R.Top + (R.Bottom - R.Top) / 2);
}

double TLumWatch::GetRadius()
{
    const TRect R = GetWatchRect();
    return double((R.Right - R.Left) / 2);
}

TRect TLumWatch::GetAMPMRect()
{
    if (!FShowAMPM)
        return TRect(-1, -1, -1, -1);
    TBitmap Measure(1, 1);
    TCanvas* Canvas = Measure.GetCanvas();
    Canvas->GetFont()->Assign(FAppearance->GetAMPMFont());
    TRect Box(0, 0, 200, 200);
    String Text = u"AM";
    Canvas->TextRect(Box, Text, TTextFormat { tfCalcRect, tfSingleLine });
    const int w = Box.Width() + 8, h = Box.Height();
    const TPoint C = GetCenterPoint();
    const double r = GetRadius();
    const int Left = C.X - w / 2, Top = C.Y + R((r - h) / 3);
    return TRect(Left, Top, Left + w, Top + h);
}

void TLumWatch::SetTime(TDateTime Value)
{
    if (Value == FTime)
        return;
    InternalSetTime(Value);
    UpdatePointers();
}

void TLumWatch::InternalSetTime(TDateTime Value)
{
    if (Value == FTime)
        return;
    FTime = Value;
    const TFlagGuard Internal(FInternalSet, true);
    SetAM(Decode(Value).Hour < 12);
}

void TLumWatch::SetAM(bool Value)
{
    if (FAM == Value)
        return;
    FAM = Value;
    if (FDrawingPointers) {
        // The hands are being drawn over the old dial: the label changes with the next full paint.
        Invalidate();
        return;
    }
    if (FAnimation && FShowAMPM && FAppearance->GetAMPMColor() != clNone && !FInternalSet)
        SlideAMPM(Value);
    DrawWatch();
}

int TLumWatch::XYToMinute(int X, int Y)
{
    const TPoint C = GetCenterPoint();
    double a = std::abs(double(C.Y - Y)), b = std::abs(double(C.X - X));
    if (a == 0)
        a = 1;
    if (b == 0)
        b = 1;
    int m = R(std::atan(a / b) * 180.0 / M_PI / 6.0);
    if (X >= C.X && Y >= C.Y)
        m += 15;
    else if (X <= C.X && Y >= C.Y)
        m = 45 - m;
    else if (X <= C.X && Y <= C.Y)
        m += 45;
    else
        m = 15 - m;
    if (m < 0 || m >= 60)
        m = 0;
    if (FResolution > 1) {
        m = R(double(m) / FResolution) * FResolution;
        if (m >= 60)
            m = 0;
    }
    return m;
}

int TLumWatch::XYToHour(int X, int Y)
{
    const int h = R(XYToMinute(X, Y) / 5.0);
    if (h == 0 || h == 12)
        return FAM ? 0 : 12;
    return FAM ? h : h + 12;
}

bool TLumWatch::Animating() const
{
    const TComponentState State = GetComponentState();
    return FAnimation && !FInternalCall && !State.Contains(csLoading) && !State.Contains(csDesigning);
}

bool TLumWatch::ChangeMayFire(int Value, int Target) const
{
    return !FAnimationStep || Value == Target;
}

void TLumWatch::SetHour(int Value)
{
    const TClockTime Now = Decode(GetDisplayTime());
    if (Value == Now.Hour)
        return;
    if (Animating()) {
        FCurrentHourTo = Byte(Value);
        FHourAnimating = true;
        FAnimationTimer->SetEnabled(true);
        return;
    }
    TClockTime T = Now;
    T.Hour = Value;
    InternalSetTime(Encode(T));
    UpdatePointers();
    if (ChangeMayFire(Value, FCurrentHourTo) && OnChange)
        OnChange(this);
}

void TLumWatch::SetMinute(int Value)
{
    if (Value >= 60 || Value < 0)
        throw EConvertError(u"Invalid time");
    const TClockTime Now = Decode(GetDisplayTime());
    if (Value == Now.Minute)
        return;
    if (Animating()) {
        FCurrentMinuteTo = Byte(Value);
        FHourAnimating = false;
        FMinuteFrom = Byte(Now.Minute);
        FAnimationTimer->SetEnabled(true);
        return;
    }
    if (!FAnimation)
        FMinuteFrom = Byte(Now.Minute);
    TClockTime T = Now;
    T.Minute = Value;
    // Passing 12 o'clock forwards moves on to the next hour.
    if (Value == 0 && FMinuteFrom > 30) {
        T.Hour = T.Hour == 23 ? 0 : T.Hour + 1;
        FMinuteFrom = 0;
    }
    InternalSetTime(Encode(T));
    UpdatePointers();
    if (ChangeMayFire(Value, FCurrentMinuteTo) && OnChange)
        OnChange(this);
}

void TLumWatch::AnimationTimerTick(TObject*)
{
    const TComponentState State = GetComponentState();
    if (State.Contains(csLoading) || State.Contains(csDesigning))
        return;
    if (!FAnimation) {
        FAnimationTimer->SetEnabled(false);
        return;
    }
    // A factor of 0 would divide by zero: it steps like 1.
    const int Factor = FAnimationFactor == 0 ? 1 : FAnimationFactor;
    const TClockTime Now = Decode(GetDisplayTime());
    if (FHourAnimating) {
        StepHour(Now.Hour, R(std::abs(FCurrentHourTo - Now.Hour) / double(Factor)));
        return;
    }
    const int Target = FCurrentMinuteTo;
    const bool ThroughTwelve = Target == 0 && Now.Minute > 30;
    const int Distance = (ThroughTwelve ? 60 : Target) - Now.Minute;
    StepMinute(Now.Minute, R(std::abs(Distance) / double(Factor)), Now.Minute < Target || ThroughTwelve);
}

void TLumWatch::StepHour(int Hour, int Step)
{
    const TFlagGuard AtOnce(FInternalCall, true);
    const TFlagGuard StepFlag(FAnimationStep, true);
    if (Hour == FCurrentHourTo) {
        FAnimationTimer->SetEnabled(false);
        SetHour(FCurrentHourTo);
        return;
    }
    Step = std::max(Step, 1);
    SetHour(Hour < FCurrentHourTo ? std::min(Hour + Step, int(FCurrentHourTo)) : std::max(Hour - Step, int(FCurrentHourTo)));
}

void TLumWatch::StepMinute(int Minute, int Step, bool Forward)
{
    const TFlagGuard AtOnce(FInternalCall, true);
    const TFlagGuard StepFlag(FAnimationStep, true);
    if (Minute == FCurrentMinuteTo) {
        FAnimationTimer->SetEnabled(false);
        SetMinute(FCurrentMinuteTo);
        return;
    }
    Step = std::max(Step, 1);
    int Next = Forward ? Minute + Step : Minute - Step;
    if (Next >= 60)
        Next = 0;
    SetMinute(Next);
}

void TLumWatch::ApplyTimeChange(TDateTime Value, TDateTime Before)
{
    SetTime(Value);
    if (FTime != Before && OnChange)
        OnChange(this);
}

void TLumWatch::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift);
    if (FReadOnly)
        return;
    const int Step = FResolution <= 0 ? 1 : FResolution;
    const bool Ctrl = Shift.Contains(ssCtrl);
    const TDateTime Before = FTime;
    const double Day = std::floor(double(FTime));
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        ApplyTimeChange(AddMinutes(FTime, Ctrl ? -60 : -Step), Before);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        ApplyTimeChange(AddMinutes(FTime, Ctrl ? 60 : Step), Before);
        break;
    case VK_HOME:
        ApplyTimeChange(TDateTime(Day), Before);
        break;
    case VK_END:
        ApplyTimeChange(TDateTime(Day + 0.25), Before);
        break;
    default:
        if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9) {
            TClockTime T = Decode(FTime);
            T.Hour = Key - VK_NUMPAD0;
            ApplyTimeChange(TDateTime(Day + double(Encode(T))), Before);
        }
        break;
    }
}

void TLumWatch::HandleKey(WORD Key)
{
    if (FSettings->GetAuto())
        return;
    const TClockTime Now = Decode(GetDisplayTime());
    const int h = Now.Hour, m = Now.Minute;
    auto AtOnce = [this](auto Change) {
        const TFlagGuard Internal(FInternalCall, true);
        Change();
    };
    switch (Key) {
    case 'A':
        if (h >= 12)
            SetHour(h - 12);
        break;
    case 'P':
        if (h < 12)
            SetHour(h + 12);
        break;
    case VK_PRIOR:
        if (h == 23)
            AtOnce([this] { SetHour(0); });
        else
            SetHour(h + 1);
        break;
    case VK_NEXT:
        if (h == 0)
            AtOnce([this] { SetHour(23); });
        else
            SetHour(h - 1);
        break;
    case VK_HOME:
        AtOnce([this] { SetHour(12); });
        break;
    case VK_END:
        SetMinute(0);
        break;
    case VK_LEFT:
        if (m == 0) {
            TClockTime T = Now;
            T.Hour = h == 0 ? 23 : h - 1;
            T.Minute = 59;
            SetTime(Encode(T));
        } else {
            SetMinute(m - 1);
        }
        break;
    case VK_RIGHT:
        SetMinute(m == 59 ? 0 : m + 1);
        break;
    default:
        break;
    }
}

void TLumWatch::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (FReadOnly || FSettings->GetAuto())
        return;
    const TRect D = GetWatchRect();
    const double rx = D.Width() / 2.0, ry = D.Height() / 2.0;
    const double dx = X - (D.Left + rx), dy = Y - (D.Top + ry);
    const bool InDial = rx > 0 && ry > 0 && (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1.0;
    if (!InDial) {
        SetMinute(XYToMinute(X, Y));
        return;
    }
    if (GetAMPMRect().Contains(TPoint(X, Y))) {
        if (FAnimation)
            SetAM(!FAM);
        const int h = Decode(GetDisplayTime()).Hour;
        FCurrentHourTo = Byte(h < 12 ? h + 12 : h - 12);
        const TFlagGuard Internal(FInternalCall, true);
        SetHour(FCurrentHourTo);
        return;
    }
    SetHour(XYToHour(X, Y));
}

void TLumWatch::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = GetTabStop() ? DLGC_WANTARROWS | DLGC_WANTALLKEYS : 0;
        return;
    case WM_SETCURSOR:
        if (LOWORD(Message.LParam) == HTCLIENT && !GetComponentState().Contains(csDesigning)) {
            POINT P {};
            GetCursorPos(P);
            const TPoint C = ScreenToClient(P);
            const bool OverLabel = GetAMPMRect().Contains(C);
            ::SetCursor(Screen->GetCursors(OverLabel ? crHandPoint : crDefault));
            Message.Result = 1;
            return;
        }
        break;
    default:
        break;
    }
    TCustomControl::Dispatch(Message);
}
