#include "dropdown/LumDateTimePicker.h"

#include <cmath>

#include "dropdown/LumToolTip.h"
#include "platform/gdi/DrawText.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

QT_PUBLISHED(TLumDateTimePicker, QT_PROP(BorderStyle), QT_PROP(Ctl3D), QT_PROP(Date), QT_PROP(DateTime),
    QT_PROP(Format), QT_PROP(MinTime), QT_PROP(MaxTime), QT_PROP(Kind), QT_PROP(TabStop), QT_PROP(Time),
    QT_PROP(TimeFormat), QT_PROP(ToolTip), QT_PROP(Version), QT_PROP(FocusLabel), QT_PROP(LabelCaption),
    QT_PROP(LabelPosition), QT_PROP(LabelMargin), QT_PROP(LabelTransparent), QT_PROP(LabelAlwaysEnabled),
    QT_PROP(LabelFont), QT_PROP(NullDateDate), QT_PROP(NullDateFormat), QT_PROP_T(BorderColor, u"TColor"),
    QT_EVENT(OnCheckClick), QT_EVENT(OnLabelClick), QT_EVENT(OnLabelDblClick))

namespace {

TDateTime DatePart(TDateTime v) { return std::trunc(v); }
TDateTime TimeOfDay(TDateTime v) { return std::fabs(v - std::trunc(v)); }
TDateTime WholeSeconds(Word h, Word m, Word s) { return EncodeTime(h, m, s, 0); }

String TwoDigits(Word v) { return v < 10 ? u"0" + IntToStr(v) : IntToStr(v); }

struct TFlagGuard {
    bool& Flag;
    bool Old;
    explicit TFlagGuard(bool& F) : Flag(F), Old(F) { Flag = true; }
    ~TFlagGuard() { Flag = Old; }
};

} // namespace

TLumDateTimePicker::TLumDateTimePicker(TComponent* AOwner)
    : TCustomDateTimePicker(AOwner)
    , FLabelFont(std::make_unique<TFont>())
{
    TCustomDateTimePicker::SetBorderStyle(bsSingle);
    SetCtl3D(true);
    FLabelFont->SetSize(GetFont()->GetSize());
    FLabelFont->OnChange = [this](TObject* Sender) { LabelFontChanged(Sender); };
}

TLumDateTimePicker::~TLumDateTimePicker()
{
    // The balloon gives this picker its border colour back while it still is one.
    HideValidation();
    if (FLabel) {
        FLabel->SetParent(nullptr);
        delete FLabel;
        FLabel = nullptr;
    }
    FLabelFont->OnChange = nullptr;
    delete FTimePicker;
    FTimePicker = nullptr;
}

String TLumDateTimePicker::GetVersion() const
{
    const int v = GetVersionNr();
    return Format(u"%d.%d.%d.%d", { (v >> 24) & 0xFF, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF });
}

void TLumDateTimePicker::Notification(TComponent* AComponent, TOperation Operation)
{
    TCustomDateTimePicker::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FToolTip)
        FToolTip = nullptr;
    if (AComponent == FLabel)
        FLabel = nullptr;
    if (AComponent == FTimePicker)
        FTimePicker = nullptr;
    if (AComponent == FToolTipWindow)
        FToolTipWindow = nullptr;
}

void TLumDateTimePicker::SetToolTip(TLumToolTip* Value)
{
    if (FToolTip == Value)
        return;
    if (FToolTip)
        FToolTip->RemoveFreeNotification(this);
    FToolTip = Value;
    if (FToolTip)
        FToolTip->FreeNotification(this);
}

void TLumDateTimePicker::ShowValidation(const String& AText)
{
    if (!FToolTipWindow)
        FToolTipWindow = new TLumToolTipWindow(this);
    FToolTipWindow->SetText(AText);
    FToolTipWindow->Show(this, FToolTip);
}

void TLumDateTimePicker::HideValidation()
{
    TLumToolTipWindow* Window = FToolTipWindow;
    FToolTipWindow = nullptr;
    delete Window;
}

// ---- kind and the time part ----

void TLumDateTimePicker::SetKind(TLumDateTimeKind Value)
{
    if (Value == FKind)
        return;
    FKind = Value;
    TDateTimePicker::SetKind(Value == dkTime ? dtkTime : dtkDate);
    if (Value == dkDateTime) {
        const TDateTime v = GetDateTime();
        CreateTimePicker();
        InternalSetDateTime(v);
    }
    UpdateTimePicker();
}

void TLumDateTimePicker::CreateTimePicker()
{
    if (FTimePicker || FKind != dkDateTime)
        return;
    auto* T = new TCustomDateTimePicker(this);
    FTimePicker = T;
    if (!(Designing() && Loading()))
        T->SetParent(this);
    T->SetName(u"TimePicker1");
    T->SetBounds(T->GetLeft(), T->GetTop(), 90, 17);
    T->SetIsTimePicker(true);
    T->SetVisible(false);
    T->SetEnabled(GetEnabled());
    T->SetKind(dtkTime);
    T->OnChange = [this](TObject* Sender) { TimePickerChanged(Sender); };
    T->OnClick = [this](TObject*) { DoClick(); };
    T->OnKeyPress = [this](TObject* Sender, Char& Key) { TimePickerKeyPress(Sender, Key); };
    // One key handler covers both parts.
    T->OnKeyDown = [this](TObject*, WORD& Key, TShiftState Shift) { KeyDown(Key, Shift); };
    T->OnExit = [this](TObject*) { Invalidate(); };
    T->SetAutoTabToNext(GetAutoTabToNext());
    T->SetGridTabhandling(GetGridTabhandling());
}

void TLumDateTimePicker::UpdateTimePicker()
{
    TCustomDateTimePicker* T = FTimePicker;
    if (!T)
        return;
    if (T->GetParent() != this)
        T->SetParent(this);
    T->SetColor(GetColor());
    T->SetEnabled(GetEnabled() && (GetChecked() || !GetShowCheckbox()));
    T->SetVisible(FKind == dkDateTime);
    const TTime Time = GetTime();
    // The time part always carries today's date.
    T->SetDateTime(DatePart(Now()) + TimeOfDay(Time));
    T->SetDateTime(DatePart(Now()) + TimeOfDay(GetDateTime()));
    T->SetFormat(FTimeFormat);
    T->GetFont()->Assign(GetFont());
    if (T->GetVisible() || (Loading() && !Designing())) {
        PlaceTimePicker();
    } else {
        FTimePicker = nullptr;
        delete T;
    }
}

void TLumDateTimePicker::PlaceTimePicker()
{
    TCustomDateTimePicker* T = FTimePicker;
    const int c = int(RoundHalfEven(FDPIScale * 21));
    String Text;
    if (T->HandleAllocated()) {
        Text = GetWindowText(T->GetHandle()).substr(0, 255);
    }
    const int tw = MeasureText(Text, GetFont()).cx;
    const int d = tw + c + 10;
    // The platform's bevels stand as raised inside, lowered outside: only
    // the bevel kind decides.
    const int bev = GetBevelKind() != bkNone ? 4 : 0;
    const int W = GetWidth(), H = GetHeight();
    const int Theme = ThemeLibraryState();
    if (!HasLocaleInfoEx())
        T->SetBounds(W - d - c, -2, d, H);
    else if (IsComCtl6() && Theme == 1)
        T->SetBounds(MetroMode() ? W - d - c - bev : W - d - c - 13 - bev, 1, d, H - 2 - bev);
    else if (IsComCtl6() && Theme == 0)
        T->SetBounds(W - d - c - bev, 2, d, H - 4 - bev);
    else
        T->SetBounds(W - d - c - 2 - bev, -2, d, H - bev);
}

void TLumDateTimePicker::TimePickerChanged(TObject*)
{
    DoChange();
    if (FTimePicker && FMinTime != FMaxTime) {
        const TTime t = TimeOfDay(FTimePicker->GetTime());
        if (t < TimeOfDay(FMinTime))
            FTimePicker->SetTime(TimeOfDay(FMinTime));
        if (TimeOfDay(FTimePicker->GetTime()) > TimeOfDay(FMaxTime))
            FTimePicker->SetTime(TimeOfDay(FMaxTime));
    }
    if (OnTimeChange)
        OnTimeChange(this);
}

// ---- values ----

TDateTime TLumDateTimePicker::GetDateTime()
{
    if (FTimePicker) {
        const TDateTime Own = TDateTimePicker::GetDateTime();
        const TDateTime Merged = DatePart(Own) + TimeOfDay(FTimePicker->GetTime());
        if (Merged != Own)
            TDateTimePicker::SetDateTime(Merged);
    }
    return TDateTimePicker::GetDateTime();
}

TTime TLumDateTimePicker::GetTime() const
{
    if (FKind == dkDateTime && FTimePicker)
        return FTimePicker->GetTime();
    return TDateTimePicker::GetTime();
}

void TLumDateTimePicker::SetDate(TDate Value)
{
    SetDateTime(DatePart(Value) + TimeOfDay(GetDateTime()));
}

void TLumDateTimePicker::SetDateTime(TDateTime Value)
{
    InternalSetDateTime(Value);
    FInternalChangedFlag = false;
}

void TLumDateTimePicker::InternalSetDateTime(TDateTime Value)
{
    Word h, m, s, ms;
    DecodeTime(Value, h, m, s, ms);
    CreateTimePicker();
    if (GetMinDate() != 0 && Value < GetMinDate())
        Value = GetMinDate();
    if (GetMaxDate() != 0 && Value > GetMaxDate())
        Value = GetMaxDate();
    const TDateTime Day = DatePart(Value) == 0 && FNullDateIsToday ? DatePart(Now()) : DatePart(Value);
    TDateTimePicker::SetDateTime(Day + WholeSeconds(h, m, s));
    if (FTimePicker)
        FTimePicker->SetDateTime(DatePart(Now()) + WholeSeconds(h, m, s));
    ApplyNullDateFormat();
}

void TLumDateTimePicker::SetTime(TTime Value)
{
    const TDateTime Own = TDateTimePicker::GetDateTime();
    // A time picker takes the time of day whatever its date part is (the
    // time window writes values of day 0); the date kinds keep the null
    // date untouched.
    if (FKind == dkTime || DatePart(Own) != 0)
        TDateTimePicker::SetDateTime(DatePart(Own) + TimeOfDay(Value));
    // The time part shows the written time.
    if (FKind == dkDateTime && FTimePicker)
        FTimePicker->SetDateTime(DatePart(Now()) + TimeOfDay(Value));
    UpdateTimePicker();
}

void TLumDateTimePicker::Change()
{
    FInternalChangedFlag = false;
    if (FKind == dkTime && FMinTime != FMaxTime) {
        if (TimeOfDay(GetDateTime()) < TimeOfDay(FMinTime))
            SetDateTime(TimeOfDay(FMinTime));
        if (TimeOfDay(GetDateTime()) > TimeOfDay(FMaxTime))
            SetDateTime(TimeOfDay(FMaxTime));
    }
    TCustomDateTimePicker::Change();
}

void TLumDateTimePicker::DoCheckClick()
{
    if (OnCheckClick)
        OnCheckClick(this);
}

void TLumDateTimePicker::DoChange()
{
    if (OnChange)
        OnChange(this);
}

void TLumDateTimePicker::DoClick()
{
    if (OnClick)
        OnClick(this);
}

bool TLumDateTimePicker::MsgSetDateTime(const SYSTEMTIME& Value)
{
    const bool Taken = TCustomDateTimePicker::MsgSetDateTime(Value);
    if (GetShowCheckbox() && FTimePicker) {
        FTimePicker->SetEnabled(GetEnabled() && GetChecked());
        // A value set by the program raises no change notification here, so
        // there is no echo to skip: the user's next toggle must count.
        FIgnoreTimePickerCheck = false;
    }
    return Taken;
}

// ---- formats and the null date ----

void TLumDateTimePicker::SetFormat(const String& Value)
{
    if (Value != FNullDateFormat)
        FOriginalFormat = Value;
    TDateTimePicker::SetFormat(Value);
}

void TLumDateTimePicker::SetTimeFormat(const String& Value)
{
    if (Value != FNullDateFormat)
        FOriginalTimeFormat = Value;
    if (FTimePicker)
        FTimePicker->SetFormat(Value);
    if (FKind == dkTime)
        SetFormat(Value);
    FTimeFormat = Value;
    UpdateTimePicker();
}

void TLumDateTimePicker::RestoreFormats()
{
    SetFormat(FOriginalFormat);
    SetTimeFormat(FOriginalTimeFormat);
}

void TLumDateTimePicker::ApplyNullDateFormat()
{
    if (GetDateTime() == FNullDateDate && !FNullDateFormat.empty()) {
        SetFormat(FNullDateFormat);
        SetTimeFormat(FNullDateFormat);
    } else {
        RestoreFormats();
    }
}

void TLumDateTimePicker::DoEnter()
{
    FInternalChangedFlag = false;
    if (GetDateTime() == FNullDateDate) {
        InternalSetDateTime(DatePart(Now()));
        FInternalChangedFlag = true;
    }
    RestoreFormats();
    TCustomDateTimePicker::DoEnter();
}

void TLumDateTimePicker::DoExit()
{
    if (FInternalChangedFlag) {
        FInternalChangedFlag = false;
        InternalSetDateTime(FNullDateDate);
    }
    ApplyNullDateFormat();
    TCustomDateTimePicker::DoExit();
}

// ---- properties ----

void TLumDateTimePicker::SetTabStop(bool Value)
{
    TDateTimePicker::SetTabStop(Value);
    if (FTimePicker)
        FTimePicker->SetTabStop(Value);
}

void TLumDateTimePicker::SetAutoTab(bool Value)
{
    TCustomDateTimePicker::SetAutoTab(Value);
    if (FTimePicker)
        FTimePicker->SetAutoTab(Value);
}

void TLumDateTimePicker::SetAutoTabToNext(bool Value)
{
    TCustomDateTimePicker::SetAutoTabToNext(Value);
    if (FTimePicker)
        FTimePicker->SetAutoTabToNext(Value);
}

void TLumDateTimePicker::SetBorderStyle(TBorderStyle Value)
{
    TCustomDateTimePicker::SetBorderStyle(Value);
    UpdateTimePicker();
}

// ---- auto-tab over the date ----

void TLumDateTimePicker::CheckAutoTab()
{
    if (FKind == dkTime) {
        TCustomDateTimePicker::CheckAutoTab();
        return;
    }
    Word y, m, d;
    DecodeDate(GetDateTime(), y, m, d);
    auto CaretRight = [this] {
        if (HandleAllocated())
            PostMessage(GetHandle(), WM_KEYDOWN, VK_RIGHT, 0);
    };
    auto FocusTimePart = [this] {
        if (FTimePicker && FTimePicker->CanFocus())
            FTimePicker->SetFocus();
    };
    const String Fmt = GetFormat();
    if (!Fmt.empty()) {
        // The format's last letter names the last field.
        const Char Last = Fmt.back();
        const bool LastChanged = (Last == u'd' || Last == u'D') ? d != Fd
            : (Last == u'm' || Last == u'M')                   ? m != Fm
            : (Last == u'y' || Last == u'Y')                   ? y != Fy
                                                              : false;
        if (LastChanged)
            FocusTimePart();
        else if (d != Fd || m != Fm || y != Fy)
            CaretRight();
        return;
    }
    if (d != Fd || m != Fm) {
        CaretRight();
    } else if (y != Fy) {
        if (FKind == dkDate)
            FocusNextControl();
        else
            FocusTimePart();
    } else {
        // Typing the digits a field already has still completes it.
        if (FLast2Keys.size() == 2 && (FLast2Keys == TwoDigits(d) || FLast2Keys == TwoDigits(m))) {
            FLast4Keys.clear();
            CaretRight();
        }
        if (FLast4Keys.size() == 4 && FLast4Keys == IntToStr(y) && FKind == dkDateTime)
            FocusNextControl();
    }
    if (FLast2Keys.size() == 2)
        FLast2Keys.clear();
    if (FLast4Keys.size() == 4)
        FLast4Keys.clear();
}

// ---- caption label ----

String TLumDateTimePicker::GetLabelCaption() const { return FLabel ? FLabel->GetCaption() : String(); }

void TLumDateTimePicker::CreatePickerLabel()
{
    FLabel = new TLabel(this);
    FLabel->SetParent(GetParent());
    FLabel->SetFocusControl(this);
    FLabel->GetFont()->Assign(FLabelFont.get());
    FLabel->SetParentFont(GetParentFont());
    FLabel->OnClick = [this](TObject*) {
        if (OnLabelClick)
            OnLabelClick(this);
    };
    FLabel->OnDblClick = [this](TObject*) {
        if (OnLabelDblClick)
            OnLabelDblClick(this);
    };
}

void TLumDateTimePicker::SetLabelCaption(const String& Value)
{
    if (!FLabel)
        CreatePickerLabel();
    FLabel->SetCaption(Value);
    RefreshLabel();
}

void TLumDateTimePicker::SetLabelFont(TFont* Value)
{
    if (!GetParentFont())
        FLabelFont->Assign(Value);
    if (FLabel)
        RefreshLabel();
}

void TLumDateTimePicker::SetLabelPosition(TLabelPosition Value)
{
    FLabelPosition = Value;
    if (FLabel)
        RefreshLabel();
}

void TLumDateTimePicker::SetLabelMargin(int Value)
{
    FLabelMargin = Value;
    if (FLabel)
        RefreshLabel();
}

void TLumDateTimePicker::SetLabelTransparent(bool Value)
{
    FLabelTransparent = Value;
    if (FLabel)
        RefreshLabel();
}

void TLumDateTimePicker::SetLabelAlwaysEnabled(bool Value)
{
    FLabelAlwaysEnabled = Value;
    if (Value && FLabel)
        FLabel->SetEnabled(true);
    Invalidate();
}

void TLumDateTimePicker::LabelFontChanged(TObject*)
{
    if (FLblUpdate)
        return;
    if (FLabel)
        RefreshLabel();
    if (Designing() && !Loading())
        SetParentFont(false);
    FLblFntHeight = FLabelFont->GetHeight();
    FLabelFontEqual = SameFont(GetFont(), FLabelFont.get());
}

void TLumDateTimePicker::RefreshLabel()
{
    if (!FLabel || !FLabel->GetParent())
        return;
    FLabel->SetTransparent(FLabelTransparent);
    FLabel->GetFont()->Assign(FParentFnt ? GetFont() : FLabelFont.get());
    if (FFocusLabel) {
        TFontStyles Style = FLabel->GetFont()->GetStyle();
        if (Focused())
            Style.Include(fsBold);
        else
            Style.Exclude(fsBold);
        FLabel->GetFont()->SetStyle(Style);
    }
    if (FLabel->GetParent()->HandleAllocated())
        PlaceLabel();
    FLabel->Invalidate();
}

void TLumDateTimePicker::PlaceLabel()
{
    const String Caption = FLabel->GetCaption();
    // Measured in the label's font; the label's own canvas exists only while it paints.
    HDC DC = GetDC(nullptr);
    const int tw = CalcTextRect(DC, FLabel->GetFont(), Caption, TRect(0, 0, 1000, 255), DT_HIDEPREFIX).cx;
    ReleaseDC(nullptr, DC);
    const int a = int(RoundHalfEven(GetFormDPIScale() * FLabelMargin));
    const int b = GetBorderStyle() == bsSingle ? 2 : 0;
    const int L = GetLeft(), T = GetTop(), W = GetWidth(), H = GetHeight();
    const int lw = FLabel->GetWidth(), lh = FLabel->GetHeight();
    const int VCentre = lh < H ? T + (H - b - lh) / 2 : T - (b + lh - H) / 2;
    const int HCentre = W - lw > 0 ? L + (W - lw) / 2 : L - (lw - W) / 2;
    int Top = T, Left = L;
    switch (FLabelPosition) {
    case lpLeftTop: Top = T; Left = L - tw - a; break;
    case lpLeftCenter: Top = VCentre; Left = L - tw - a; break;
    case lpLeftBottom: Top = T + H - lh; Left = L - tw - a; break;
    case lpTopLeft: Top = T - lh - a; Left = L; break;
    case lpBottomLeft: Top = T + H + a; Left = L; break;
    case lpLeftTopLeft: Top = T; Left = L - a; break;
    case lpLeftCenterLeft: Top = VCentre; Left = L - a; break;
    case lpLeftBottomLeft: Top = T + H - lh; Left = L - a; break;
    case lpTopCenter: Top = T - lh - a; Left = HCentre; break;
    case lpBottomCenter: Top = T + H + a; Left = HCentre; break;
    case lpRightTop: Top = T; Left = L + W + a; break;
    case lpRightCenter: Top = VCentre; Left = L + W + a; break;
    case lpRighBottom: Top = T + H - lh; Left = L + W + a; break;
    case lpTopRight: Top = T - lh - a; Left = L + W - lw; break;
    case lpBottomRight: Top = T + H + a; Left = L + W - lw; break;
    }
    FLabel->SetBounds(Left, Top, lw, lh);
    FLabel->SetVisible(GetVisible());
}

void TLumDateTimePicker::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    if (FLabel) {
        const int a = int(RoundHalfEven(GetFormDPIScale() * FLabelMargin));
        const int lw = FLabel->GetWidth(), lh = FLabel->GetHeight();
        const TAlign Al = GetAlign();
        switch (FLabelPosition) {
        case lpLeftTop: case lpLeftCenter: case lpLeftBottom:
            if (Al == alTop || Al == alBottom || Al == alClient) {
                ALeft += a + lw;
                AWidth -= a + lw;
            }
            break;
        case lpTopLeft: case lpTopCenter: case lpTopRight:
            if (Al == alTop || Al == alLeft || Al == alRight || Al == alClient)
                ATop += lh;
            break;
        case lpRightTop: case lpRightCenter: case lpRighBottom:
            if (Al == alTop || Al == alBottom || Al == alClient)
                AWidth -= a + lw;
            break;
        default:
            break;
        }
    }
    TCustomDateTimePicker::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FLabel && FLabel->GetParent())
        RefreshLabel();
}

void TLumDateTimePicker::SetParent(TWinControl* AParent)
{
    TCustomDateTimePicker::SetParent(AParent);
    if (FLabel) {
        FLabel->SetParent(AParent);
        if (AParent)
            RefreshLabel();
    }
}

// ---- window life ----

void TLumDateTimePicker::CreateWnd()
{
    TCustomDateTimePicker::CreateWnd();
    FOldCheck = GetChecked();
    // The kind again: the date kind stands, the time kind sets the
    // platform's, the date-and-time kind makes and places the time part.
    const TLumDateTimeKind Kept = FKind;
    FKind = dkDate;
    SetKind(Kept);
    if (!GetParentFont() && !GetLabelCaption().empty() && !Designing() && FLblFntHeight != 0) {
        TFlagGuard Guard(FLblUpdate);
        FLabelFont->SetHeight(int(RoundHalfEven(GetFormDPIScale() * FLblFntHeight)));
    }
    if (FLabel)
        PlaceLabel();
}

void TLumDateTimePicker::Loaded()
{
    TCustomDateTimePicker::Loaded();
    FOriginalFormat = GetFormat();
    FOriginalTimeFormat = FTimeFormat;
    if (!Designing()) {
        CreateTimePicker();
        UpdateTimePicker();
        if (!GetChecked()) {
            TDateTimePicker::SetChecked(false);
            if (FTimePicker)
                FTimePicker->SetEnabled(false);
        }
    }
    if (FLabel && !FLabelAlwaysEnabled)
        FLabel->SetEnabled(GetEnabled());
    RefreshLabel();
    if (GetParentFont() && FLabel)
        FLabel->GetFont()->Assign(GetFont());
    FParentFnt = GetParentFont();
    RefreshLabel();
    if (!Designing() && IsVCLStyleActive())
        SetLabelTransparent(true);
}

void TLumDateTimePicker::ChangeScale(int M, int D, bool isDpiChange)
{
    TCustomDateTimePicker::ChangeScale(M, D, isDpiChange);
    {
        TFlagGuard Guard(FLblUpdate);
        FLabelFont->SetHeight(MulDiv(FLabelFont->GetHeight(), M, D));
    }
    if (M > 1)
        FDPIScale = float(M) / 96.0f;
    if (FTimePicker)
        UpdateTimePicker();
}

// ---- notifications ----

void TLumDateTimePicker::UserString(NMDATETIMESTRINGW& Info)
{
    const String Text = Info.pszUserString ? String(Info.pszUserString) : String();
    TDateTime Value = GetDateTime();
    TDateTime Parsed;
    bool Ok = TryStrToDateTime(Text, Parsed, FormatSettings);
    if (Ok)
        Value = Parsed;
    if (OnUserInput)
        OnUserInput(this, Text, Value, Ok);
    // Without a handler a text that reads as no date is refused: the
    // control keeps its value.
    if (Ok) {
        Info.dwFlags = DWORD(GDT_VALID);
        DateTimeToSystemTime(Value, Info.st);
    } else {
        Info.dwFlags = DWORD(GDT_ERROR);
    }
    FIgnoreTimePickerCheck = false;
}

void TLumDateTimePicker::Notify(TMessage& Message)
{
    auto* Header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (!Header) {
        TCustomDateTimePicker::Dispatch(Message);
        return;
    }
    switch (Header->code) {
    case DTN_DATETIMECHANGE:
        TCustomDateTimePicker::Dispatch(Message);
        if (GetShowCheckbox()) {
            if (FTimePicker && !FIgnoreTimePickerCheck) {
                const auto* Change = reinterpret_cast<NMDATETIMECHANGE*>(Header);
                FTimePicker->SetEnabled(
                    GetEnabled() && GetChecked() && LRESULT(std::int32_t(Change->dwFlags)) != GDT_NONE);
            }
            FIgnoreTimePickerCheck = false;
        }
        break;
    case DTN_USERSTRINGW:
    case DTN_USERSTRINGA:
        UserString(*reinterpret_cast<NMDATETIMESTRINGW*>(Header));
        Message.Result = 0;
        break;
    case DTN_DROPDOWN:
    case DTN_CLOSEUP:
        TCustomDateTimePicker::Dispatch(Message);
        break;
    default:
        FIgnoreTimePickerCheck = false;
        TCustomDateTimePicker::Dispatch(Message);
        break;
    }
    if (GetChecked() != FOldCheck) {
        FOldCheck = GetChecked();
        DoCheckClick();
    }
}

void TLumDateTimePicker::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case CN_NOTIFY:
        Notify(Message);
        return;
    case WM_CHAR:
        if (GetAutoTab() && Message.WParam >= u'0' && Message.WParam <= u'9')
            DecodeDate(GetDateTime(), Fy, Fm, Fd);
        break;
    case WM_KEYUP:
        TCustomDateTimePicker::Dispatch(Message);
        if (Message.WParam == VK_DELETE && GetKeyState(VK_CONTROL) < 0 && !FNullDateFormat.empty())
            SetDateTime(0);
        return;
    case WM_SETFOCUS:
        if (Loading()) {
            TCustomDateTimePicker::Dispatch(Message);
            return;
        }
        TCustomDateTimePicker::Dispatch(Message);
        if (FFocusLabel)
            RefreshLabel();
        if (HandleAllocated())
            PostMessage(GetHandle(), WM_NCPAINT, 0, 0);
        FLast2Keys.clear();
        FLast4Keys.clear();
        return;
    case WM_KILLFOCUS:
        TCustomDateTimePicker::Dispatch(Message);
        if (Loading())
            return;
        if (FFocusLabel)
            RefreshLabel();
        if (HandleAllocated())
            PostMessage(GetHandle(), WM_NCPAINT, 0, 0);
        return;
    case DTM_SETSYSTEMTIME:
        TCustomDateTimePicker::Dispatch(Message);
        if (LRESULT(Message.WParam) == GDT_NONE && GetShowCheckbox() && !Designing() && FTimePicker)
            FTimePicker->SetEnabled(GetEnabled() && GetChecked());
        return;
    case WM_PAINT:
        TCustomDateTimePicker::Dispatch(Message);
        if (FFirstRun) {
            FFirstRun = false;
            UpdateTimePicker();
        }
        return;
    case WM_SIZE:
        TCustomDateTimePicker::Dispatch(Message);
        UpdateTimePicker();
        return;
    case WM_NCPAINT:
        TCustomDateTimePicker::Dispatch(Message);
        if (GetBorderColor() != clNone)
            RedrawBorderFrame();
        return;
    case CM_COLORCHANGED:
        TCustomDateTimePicker::Dispatch(Message);
        UpdateTimePicker();
        return;
    case CM_ENABLEDCHANGED:
        TCustomDateTimePicker::Dispatch(Message);
        if (FTimePicker)
            FTimePicker->SetEnabled(GetEnabled());
        if (FLabel && !FLabelAlwaysEnabled)
            FLabel->SetEnabled(GetEnabled());
        return;
    case CM_VISIBLECHANGED:
    case CM_SHOWINGCHANGED:
        TCustomDateTimePicker::Dispatch(Message);
        if (FLabel)
            FLabel->SetVisible(GetVisible());
        return;
    case CM_FONTCHANGED:
        if (Designing() && !Loading() && FLabelFontEqual) {
            FLabelFont->Assign(GetFont());
            if (FLabel)
                FLabel->GetFont()->Assign(GetFont());
        }
        break;
    case CM_PARENTFONTCHANGED:
        TCustomDateTimePicker::Dispatch(Message);
        if (FLabel && GetParentFont())
            FLabel->GetFont()->Assign(GetFont());
        return;
    default:
        break;
    }
    TCustomDateTimePicker::Dispatch(Message);
}
