#include "dropdown/LumTimePickerDropDown.h"

#include <cmath>

#include "dropdown/LumDropDownForm.h"
#include "platform/rtl/DateUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/ComCtrls_DateTimePicker.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/win/Input.h"

QT_PUBLISHED(TLumTimePickerDropDown, QT_PROP(ShowTimePicker), QT_PROP(WatchAppearance), QT_PROP(ShowWatchAMPM),
    QT_PROP(ShowWatchNumbers), QT_PROP(Animation), QT_PROP(AnimationFactor), QT_PROP(Time), QT_PROP(WatchSettings),
    QT_PROP(ShowSeconds), QT_PROP(Resolution), QT_EVENT(OnTimeChange))

namespace {

// Sets a flag for a scope; an exception cannot leave it set.
struct TFlagGuard {
    bool& Flag;
    bool Saved;
    TFlagGuard(bool& F, bool Value) : Flag(F), Saved(F) { Flag = Value; }
    ~TFlagGuard() { Flag = Saved; }
};

Char Sep() { return ProcessFormatSettings().TimeSeparator; }

struct THMS {
    int H { 0 }, M { 0 }, S { 0 }, MS { 0 };
};

THMS Split(TDateTime Value)
{
    Word h = 0, m = 0, s = 0, ms = 0;
    DecodeTime(Value, h, m, s, ms);
    return { h, m, s, ms };
}

String Trimmed(const String& S) { return Trim(S); }

// A field is taken when it is empty or starts with one or two digits.
bool FieldAccepted(const String& F)
{
    auto Digit = [](Char c) { return c >= u'0' && c <= u'9'; };
    if (F.empty())
        return true;
    return Digit(F[0]) && (F.size() < 2 || Digit(F[1]));
}

int FieldValue(const String& F)
{
    if (F.empty())
        return 0;
    int v = 0;
    for (Char c : F) {
        if (c < u'0' || c > u'9')
            break;
        v = v * 10 + (c - u'0');
        if (v > 1000)
            break;
    }
    return v;
}

// The rows of the time picker's own three styles.
struct TOwnRow {
    ROZEVizer Style;
    TColor Fonts, EditColor, AMPM, Background, Border, Center, HourColor, MinuteColor, HourPointer, MinutePointer,
        SecondPointer;
};

const TOwnRow OwnRows[] = {
    { tsOffice2019White, 0x444648, clWindow, clWhite, clWhite, 0xC4C6C8, 0xE3BDA3, 0xB0784A, 0x444648, 0xE3BDA3,
        0xF2E1D5, 0xFAECE3 },
    { tsOffice2019Gray, 0x232425, 0xD4D4D4, 0xB8BBBE, 0xB8BBBE, 0x666666, 0x666666, 0x86888A, 0x232425, 0x666666,
        0x969696, 0x939597 },
    { tsOffice2019Black, clWhite, 0x444444, 0x303132, 0x303132, 0xADB0B3, 0x828282, clWhite, clWhite, 0x828282,
        0x686868, 0x444648 },
};

} // namespace

TLumTimePickerDropDown::TLumTimePickerDropDown(TComponent* AOwner)
    : TLumCustomDropDown(AOwner)
    , FWatchAppearance(std::make_unique<TWatchAppearance>())
    , FWatchSettings(std::make_unique<TWatchSettings>())
{
    // The look is copied to the clock at each opening; its own change does nothing.
    FWatchAppearance->FOnChange = [](TObject*) { };
    SetEditorEnabled(false);
    SetDropDownEnabled(true);
    {
        const TFlagGuard Internal(FInternalCall, true);
        SetTimeMask();
        SetRawText(FormatTimeText(0, 0, 0));
    }
    GetDropDownHeader()->SetVisible(false);
    GetDropDownFooter()->SetVisible(false);
    SetComponentStyle(tsCustom);
}

TLumTimePickerDropDown::~TLumTimePickerDropDown()
{
    if (FLumWatch)
        FLumWatch->OnChange = nullptr;
    if (FDateTimePicker)
        FDateTimePicker->OnChange = nullptr;
}

String TLumTimePickerDropDown::FormatTimeText(int H, int M, int S) const
{
    auto Two = [](int v) {
        String s = IntToStr(v);
        return s.size() < 2 ? String(2 - s.size(), u'0') + s : s;
    };
    String Text = Two(H) + Sep() + Two(M);
    if (FShowSeconds)
        Text += Sep() + Two(S);
    return Text;
}

void TLumTimePickerDropDown::SetTimeMask()
{
    const String S(1, Sep());
    SetEditMask(FShowSeconds ? u"!90" + S + u"00" + S + u"00;1; " : u"!90" + S + u"00;1; ");
}

void TLumTimePickerDropDown::SetResolution(int Value)
{
    if (Value <= 30)
        FResolution = Value;
}

void TLumTimePickerDropDown::SetText(const String& Value)
{
    {
        const TFlagGuard Internal(FInternalCall, true);
        if (!Value.empty())
            SetTimeMask();
        else
            SetEditMask(String());
    }
    TLumCustomDropDown::SetText(Value);
}

void TLumTimePickerDropDown::SetTime(TDateTime Value)
{
    if (Value == FTime)
        return;
    if (GetEditorEnabled() && double(Value) != 0 && GetEditMask().empty()) {
        const TFlagGuard Internal(FInternalCall, true);
        SetTimeMask();
    }
    FTime = Value;
    const THMS T = Split(Value);
    const String Text = FormatTimeText(T.H, T.M, T.S);
    // The text parses back into the value (whole seconds).
    if (Text != GetText())
        SetRawText(Text);
    if (GetDroppedDown()) {
        if (FLumWatch)
            FLumWatch->SetTime(Value);
        if (FDateTimePicker && FDateTimePicker->GetVisible())
            FDateTimePicker->SetTime(TTime(Value));
    }
}

void TLumTimePickerDropDown::SetShowSeconds(bool Value)
{
    if (FShowSeconds == Value)
        return;
    FShowSeconds = Value;
    const TDateTime Old = FTime;
    {
        const TFlagGuard Internal(FInternalCall, true);
        SetEditMask(String());
        SetRawText(String());
        SetTimeMask();
    }
    // Written again in the new format.
    FTime = TDateTime(double(Old) + 1);
    SetTime(Old);
}

void TLumTimePickerDropDown::Change()
{
    TLumCustomDropDown::Change();
    const String Text = GetText();
    if (Text.empty() || FInternalCall)
        return;
    const Char S = Sep();
    // The shape: one separator, a second exactly when seconds are shown.
    const std::size_t First = Text.find(S);
    if (First == String::npos)
        return;
    const String AfterFirst = Trimmed(Text.substr(First + 1));
    const std::size_t Second = AfterFirst.find(S);
    if ((Second != String::npos) != FShowSeconds)
        return;
    if (Second != String::npos && Trimmed(AfterFirst.substr(Second + 1)).find(S) != String::npos)
        return;

    String Zeroed = Text;
    for (Char& c : Zeroed)
        if (c == u' ')
            c = u'0';
    const std::size_t P1 = Zeroed.find(S);
    const String HourText = Trimmed(Zeroed.substr(0, P1));
    String Rest = Zeroed.substr(P1 + 1);
    String MinuteText, SecondText;
    if (FShowSeconds) {
        const std::size_t P2 = Rest.find(S);
        MinuteText = Trimmed(Rest.substr(0, P2));
        SecondText = P2 == String::npos ? String() : Trimmed(Rest.substr(P2 + 1));
    } else {
        MinuteText = Trimmed(Rest);
    }
    if (!FieldAccepted(HourText) || !FieldAccepted(MinuteText) || !FieldAccepted(SecondText))
        return;
    const int H = FieldValue(HourText), M = FieldValue(MinuteText), Sec = FieldValue(SecondText);

    const TFlagGuard Internal(FInternalCall, true);
    if (H > 23 || M > 59 || Sec > 59) {
        // Not a time: the text shows the time now, the value stays.
        const THMS Now = Split(::Time());
        SetRawText(FormatTimeText(Now.H, Now.M, Now.S));
        return;
    }
    FTime = EncodeTime(Word(H), Word(M), Word(Sec), 0);
    const String Formatted = FormatTimeText(H, M, Sec);
    if (Formatted != Text && M == 0 && Sec == 0)
        SetRawText(Formatted);
}

bool TLumTimePickerDropDown::TextTime(TDateTime& Value)
{
    String Text = GetText();
    if (Text.empty()) {
        Value = 0;
        return true;
    }
    for (Char& c : Text)
        if (c == u' ')
            c = u'0';
    return TryStrToTime(Text, Value);
}

void TLumTimePickerDropDown::DoExit()
{
    // A half-typed text that does not convert keeps the value it had.
    TDateTime Value;
    if (TextTime(Value))
        SetTime(Value);
    TLumCustomDropDown::DoExit();
}

bool TLumTimePickerDropDown::Validate(const String& Value, int& Pos)
{
    (void)Pos;
    if (GetComponentState().Contains(csDesigning))
        return TLumCustomDropDown::Validate(Value, Pos);
    TDateTime Parsed;
    if (!TextTime(Parsed))
        SetText(FormatDateTime(ProcessFormatSettings().LongTimeFormat, ::Time()));
    return true;
}

void TLumTimePickerDropDown::ReplaceField(int Index, int Value)
{
    THMS T = Split(FTime);
    int* Fields[] = { &T.H, &T.M, &T.S };
    const int Limit = Index == 0 ? 23 : 59;
    if (Value == *Fields[Index] || Value < 0 || Value > Limit)
        return;
    *Fields[Index] = Value;
    SetTime(TDateTime(std::floor(double(FTime)) + double(EncodeTime(Word(T.H), Word(T.M), Word(T.S), Word(T.MS)))));
    if (OnTimeChange)
        OnTimeChange(this);
}

void TLumTimePickerDropDown::SetHourValue(int H) { ReplaceField(0, H); }
void TLumTimePickerDropDown::SetMinuteValue(int M) { ReplaceField(1, M); }
void TLumTimePickerDropDown::SetSecondValue(int S) { ReplaceField(2, S); }

void TLumTimePickerDropDown::KeyDown(WORD& Key, TShiftState Shift)
{
    TLumCustomDropDown::KeyDown(Key, Shift);
    if (GetKeyState(VK_MENU) < 0 || Shift.Contains(ssAlt) || Shift.Contains(ssCtrl))
        return;
    if (Key != VK_UP && Key != VK_DOWN)
        return;
    const bool Up = Key == VK_UP;
    const int Caret = GetSelStart();
    const String Text = GetText();
    const Char S = Sep();
    const std::size_t FirstAt = Text.find(S);
    const int a = FirstAt == String::npos ? int(Text.size()) + 1 : int(FirstAt) + 1;
    const THMS T = Split(FTime);
    // Up counts down and Down counts up.
    if (Caret < a) {
        SetHourValue(Up ? (T.H == 0 ? 23 : T.H - 1) : (T.H == 23 ? 0 : T.H + 1));
    } else {
        const std::size_t Next = FirstAt == String::npos ? String::npos : Text.find(S, FirstAt + 1);
        const int d = Next == String::npos ? int(Text.size()) + 1 : int(Next - FirstAt);
        if (Caret - a >= d && FShowSeconds)
            SetSecondValue(Up ? (T.S == 0 ? 59 : T.S - 1) : (T.S == 59 ? 0 : T.S + 1));
        else
            SetMinuteValue(Up ? (T.M == 0 ? 59 : T.M - 1) : (T.M == 59 ? 0 : T.M + 1));
    }
    SetSel(Caret, Caret);
    Key = 0;
}

// ---- the drop-down ----

void TLumTimePickerDropDown::CreateDropDownForm()
{
    TLumCustomDropDown::CreateDropDownForm();
    if (!FPanelCtrl) {
        FPanelCtrl = new TPanel(this);
        FPanelCtrl->SetParent(GetDropDownForm());
        FPanelCtrl->SetCtl3D(false);
        FPanelCtrl->SetBorderWidth(0);
        FPanelCtrl->SetBevelInner(bvNone);
        FPanelCtrl->SetBevelOuter(bvNone);
        FPanelCtrl->SetShowCaption(false);
        FPanelCtrl->SetBounds(0, 0, FPanelCtrl->GetWidth(), 180);
    }
    if (!FLumWatch) {
        FLumWatch = new TLumWatch(this);
        FLumWatch->SetParent(FPanelCtrl);
        FLumWatch->SetTabStop(true);
        FLumWatch->SetAlign(alClient);
        // The clock's keys are the window's: the drop-down decides what they do.
        FLumWatch->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) {
            FormKeyDown(Key, Shift);
            Key = 0;
        };
        FLumWatch->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) {
            FormKeyUp(Key, Shift);
            Key = 0;
        };
        FLumWatch->OnKeyPress = [this](TObject*, Char& Key) { FormKeyPress(Key); };
    }
    SetControl(FPanelCtrl);
}

void TLumTimePickerDropDown::BeforeDropDown()
{
    TLumCustomDropDown::BeforeDropDown();
    TDropDownForm* Form = GetDropDownForm();
    if (!FPanelCtrl || !FLumWatch || !Form)
        return;
    FPanelCtrl->SetBounds(FPanelCtrl->GetLeft(), FPanelCtrl->GetTop(), 170, 170);
    Form->SetWidth(Form->GetWidth() + 1);
    Form->SetWidth(Form->GetWidth() - 1);
    Form->SetCancelOnDeActivate(false);
    FPanelCtrl->SetColor(GetDropDownColor());

    FLumWatch->SetAppearance(FWatchAppearance.get());
    FLumWatch->SetSettings(FWatchSettings.get());
    FLumWatch->SetShowAMPM(FShowWatchAMPM);
    FLumWatch->SetShowNumbers(FShowWatchNumbers);
    FLumWatch->SetAnimation(FAnimation);
    FLumWatch->SetAnimationFactor(FAnimationFactor);
    FLumWatch->SetResolution(FResolution);

    FLumWatch->OnChange = nullptr;
    if (!FWatchSettings->GetAuto())
        FLumWatch->SetTime(FTime);
    TDateTime Shown;
    if (TextTime(Shown))
        FLumWatch->SetTime(Shown);
    FLumWatch->OnChange = [this](TObject* Sender) { WatchChange(Sender); };
    FTimeAtOpen = FTime;

    if (FShowTimePicker) {
        if (!FDateTimePicker) {
            FDateTimePicker = new TDateTimePicker(this);
            FDateTimePicker->SetParent(FPanelCtrl);
            FDateTimePicker->SetKind(dtkTime);
        }
        FDateTimePicker->OnChange = nullptr;
        FDateTimePicker->SetAlign(alBottom);
        FDateTimePicker->SetVisible(true);
        FDateTimePicker->SetTime(TTime(TimeOf(FLumWatch->GetTime())));
        FDateTimePicker->BringToFront();
        FDateTimePicker->OnChange = [this](TObject* Sender) { TimePickerChange(Sender); };
        FDateTimePicker->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { ControlKeyDown(Key, Shift); };
        FDateTimePicker->OnKeyUp = [this](TObject*, WORD& Key, TShiftState Shift) { ControlKeyUp(Key, Shift); };
        FDateTimePicker->OnKeyPress = [this](TObject*, Char& Key) { ControlKeyPress(Key); };
        FDateTimePicker->SetFormat(FShowSeconds ? u"HH:mm:ss" : u"HH:mm");
        FPanelCtrl->SetHeight(FDateTimePicker->GetHeight() + 170);
        SetDropDownHeight(FDateTimePicker->GetHeight() + 171);
    } else if (FDateTimePicker) {
        FDateTimePicker->SetVisible(false);
    }
}

void TLumTimePickerDropDown::DoShowDropDown()
{
    TLumCustomDropDown::DoShowDropDown();
    if (GetDroppedDown() && FLumWatch && FLumWatch->CanFocus())
        FLumWatch->SetFocus();
}

void TLumTimePickerDropDown::DoHideDropDown(bool Cancel)
{
    const bool WasOpen = GetDroppedDown();
    TLumCustomDropDown::DoHideDropDown(Cancel);
    if (!FLumWatch || !WasOpen)
        return;
    if (Cancel) {
        // The text came back with the base; the value comes back whole.
        FTime = FTimeAtOpen;
        FLumWatch->OnChange = nullptr;
        FLumWatch->SetTime(FTime);
    } else {
        SetTime(FLumWatch->GetTime());
    }
}

void TLumTimePickerDropDown::DropDownHidden()
{
    TLumCustomDropDown::DropDownHidden();
    if (FLumWatch)
        SetTime(FLumWatch->GetTime());
}

void TLumTimePickerDropDown::WatchChange(TObject*)
{
    if (!FLumWatch)
        return;
    if (FDateTimePicker && FDateTimePicker->GetVisible()
        && double(FDateTimePicker->GetTime()) != double(TimeOf(FLumWatch->GetTime()))) {
        FDateTimePicker->SetTime(TTime(TimeOf(FLumWatch->GetTime())));
        if (OnTimeChange)
            OnTimeChange(this);
    }
    SetTime(FLumWatch->GetTime());
}

void TLumTimePickerDropDown::TimePickerChange(TObject*)
{
    if (!FLumWatch || !FDateTimePicker || FWatchSettings->GetAuto())
        return;
    const TDateTime Picked = TDateTime(double(FDateTimePicker->GetTime()));
    FLumWatch->SetTime(Picked);
    const THMS T = Split(Picked);
    const String Text = FormatTimeText(T.H, T.M, T.S);
    if (Text != GetText()) {
        // The value follows when the window closes.
        const TFlagGuard Internal(FInternalCall, true);
        SetRawText(Text);
    }
}

namespace {
bool StepKey(WORD Key) { return Key == VK_PRIOR || Key == VK_NEXT || Key == VK_UP || Key == VK_DOWN; }
} // namespace

void TLumTimePickerDropDown::FormKeyDown(WORD& Key, TShiftState Shift)
{
    const WORD Pressed = Key;
    if (!StepKey(Key) || Shift.Contains(ssAlt))
        TLumCustomDropDown::FormKeyDown(Key, Shift);
    if (FLumWatch && GetDropDownForm() && GetDropDownForm()->GetVisible())
        FLumWatch->HandleKey(Pressed);
}

void TLumTimePickerDropDown::FormKeyUp(WORD& Key, TShiftState Shift)
{
    if (!StepKey(Key) || Shift.Contains(ssAlt))
        TLumCustomDropDown::FormKeyUp(Key, Shift);
}

void TLumTimePickerDropDown::ControlKeyDown(WORD& Key, TShiftState Shift)
{
    if (!StepKey(Key) || Shift.Contains(ssAlt))
        TLumCustomDropDown::ControlKeyDown(Key, Shift);
}

void TLumTimePickerDropDown::ControlKeyUp(WORD& Key, TShiftState Shift)
{
    if (!StepKey(Key) || Shift.Contains(ssAlt))
        TLumCustomDropDown::ControlKeyUp(Key, Shift);
}

void TLumTimePickerDropDown::ControlKeyPress(Char& Key)
{
    if (StepKey(WORD(Key)) && GetKeyState(VK_MENU) >= 0)
        return;
    TLumCustomDropDown::ControlKeyPress(Key);
}

// ---- styles ----

void TLumTimePickerDropDown::SetComponentStyle(ROZEVizer AStyle)
{
    TLumCustomDropDown::SetComponentStyle(AStyle);
    if (AStyle == tsCustom || !FWatchAppearance)
        return;
    SetColor(clWindow);
    GetFont()->SetColor(clWindowText);
    TWatchAppearance* A = FWatchAppearance.get();
    A->SetCenterPointOuterBorderColor(clBlack);
    A->GetHourFont()->SetColor(clBlack);
    A->GetAMPMFont()->SetColor(clBlack);
    if (ApplyWatchStyleColors(A, AStyle)) {
        if (AStyle == tsOffice2007Obsidian) {
            A->GetHourFont()->SetColor(TColor(0xF2F1F0));
            A->GetAMPMFont()->SetColor(TColor(0xF2F1F0));
        }
        return;
    }
    for (const TOwnRow& R : OwnRows) {
        if (R.Style != AStyle)
            continue;
        A->GetHourFont()->SetColor(R.Fonts);
        A->GetAMPMFont()->SetColor(R.Fonts);
        GetFont()->SetColor(R.Fonts);
        SetColor(R.EditColor);
        A->SetAMPMBorderColorSilently(R.AMPM);
        A->SetAMPMColorSilently(R.AMPM);
        A->SetBackgroundColor(R.Background);
        A->SetBackgroundColorTo(R.Background);
        A->SetBorderColor(R.Border);
        A->SetCenterPointBorderColor(R.Center);
        A->SetCenterPointColor(R.Center);
        A->SetHourColor(R.HourColor);
        A->SetMinuteColor(R.MinuteColor);
        A->SetHourPointerShadow(clNone);
        A->SetMinutePointerShadow(clNone);
        A->SetHourPointer(R.HourPointer);
        A->SetMinutePointer(R.MinutePointer);
        A->SetSecondPointer(R.SecondPointer);
    }
}
