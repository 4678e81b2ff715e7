#include <vector>

#include "dropdown/LumDateTimePicker.h"
#include "platform/gdi/DrawText.h"
#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"
#include "richtext/ThemeLoaders.h"

QT_PUBLISHED(TCustomDateTimePicker, QT_PROP(AutoTab), QT_PROP(AutoTabToNext))

namespace {

// The frame the themed common controls give a disabled picker.
constexpr TColor ThemedBorder = TColor(0xB99D7F);

// Theme part and states of the "combobox" class.
constexpr int CP_DROPDOWNBUTTON = 1;

int ThemeLibraryActive() { return TCustomDateTimePicker::ThemeLibraryState(); }

void FrameWith(HDC DC, const TRect& R, TColor Color)
{
    if (Color == clNone)
        return;
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color));
    RECT r = R;
    FrameRect(DC, &r, Brush);
    DeleteObject(Brush);
}

void FillWith(HDC DC, const TRect& R, TColor Color)
{
    if (Color == clNone)
        return;
    HBRUSH Brush = CreateSolidBrush(ColorToRGB(Color));
    RECT r = R;
    FillRect(DC, &r, Brush);
    DeleteObject(Brush);
}

// A window device context (the whole window, frame included) for a scope.
class TWindowDC {
public:
    explicit TWindowDC(TWinControl* Control)
        : FWindow(Control && Control->HandleAllocated() ? Control->GetHandle() : nullptr)
        , FDC(FWindow ? GetWindowDC(FWindow) : nullptr)
    {
    }
    ~TWindowDC()
    {
        if (FDC)
            ReleaseDC(FWindow, FDC);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    HDC Get() const { return FDC; }

private:
    HWND FWindow;
    HDC FDC;
};

} // namespace

UINT DTPShiftFocusMessage()
{
    // Registered by name, so the grid's registration gives the same number.
    static const UINT Message = RegisterWindowMessage(u"DTPShiftFocus");
    return Message;
}

namespace {
// The message exists from the program's start on.
[[maybe_unused]] const UINT RegisteredAtStart = DTPShiftFocusMessage();
} // namespace

TCustomDateTimePicker::TCustomDateTimePicker(TComponent* AOwner) : TDateTimePicker(AOwner)
{
    FIsThemed = IsComCtl6();
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
    OSVERSIONINFO Version;
    GetVersionEx(Version);
    FIsWinXP = Version.dwMajorVersion > 5 || (Version.dwMajorVersion == 5 && Version.dwMinorVersion >= 1);
    SetDoubleBuffered(true);
    SetParentCtl3D(false);
    SetCtl3D(false);
}

// ---- the environment ----

bool TCustomDateTimePicker::IsComCtl6()
{
    int Version = -1;
    DWORD Handle = 0;
    const DWORD Size = GetFileVersionInfoSizeW(u"COMCTL32.DLL", &Handle);
    if (Size > 0) {
        std::vector<BYTE> Block(Size);
        void* Value = nullptr;
        UINT Length = 0;
        if (GetFileVersionInfoW(u"COMCTL32.DLL", Handle, Size, Block.data())
            && VerQueryValueW(Block.data(), u"\\", &Value, &Length) && Value && Length >= sizeof(VS_FIXEDFILEINFO)) {
            const auto* Info = static_cast<const VS_FIXEDFILEINFO*>(Value);
            if (Info->dwSignature == VS_FFI_SIGNATURE)
                Version = int(Info->dwFileVersionMS);
        }
    }
    // The major version's low byte; an unreadable version (-1) passes.
    return ((std::uint32_t(Version) >> 16) & 0xFF) > 5;
}

bool TCustomDateTimePicker::HasLocaleInfoEx() { return HasGetLocaleInfoEx(); }

bool TCustomDateTimePicker::ThemeActive() const { return FIsThemed && ThemeLibraryActive() == 1; }

int TCustomDateTimePicker::ThemeLibraryState()
{
    const TThemeLibrary& Lib = LumXPVS::ThemeLibrary();
    if (!Lib.IsThemeActive)
        return -1;
    return Lib.IsThemeActive() ? 1 : 0;
}

bool TCustomDateTimePicker::IsMouseButtonDown()
{
    return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0;
}

float TCustomDateTimePicker::GetFormDPIScale()
{
    int PPI = 0;
    if (auto* Form = dynamic_cast<TForm*>(GetParentForm(this))) {
        PPI = 96;
        if (Form->GetScaled())
            if (TMonitor* Monitor = Form->GetMonitor())
                PPI = Monitor->GetPixelsPerInch();
    } else {
        HDC Screen = GetDC(nullptr);
        PPI = GetDeviceCaps(Screen, LOGPIXELSX);
        ReleaseDC(nullptr, Screen);
    }
    if (PPI == 96 || PPI <= 0)
        return 1.0f;
    HDC Screen = GetDC(nullptr);
    TCanvas Canvas;
    Canvas.SetHandle(Screen);
    auto ZeroHeight = [&](int AtPPI) {
        Canvas.GetFont()->SetName(u"Tahoma");
        Canvas.GetFont()->SetHeight(-MulDiv(9, AtPPI, 72));
        return Canvas.TextExtent(u"0").cy;
    };
    const int Scaled = ZeroHeight(PPI), Normal = ZeroHeight(96);
    Canvas.SetHandle(HDC());
    ReleaseDC(nullptr, Screen);
    return Normal > 0 ? float(Scaled) / float(Normal) : 1.0f;
}

TSize TCustomDateTimePicker::CalcTextRect(HDC DC, TFont* Font, const String& Text, const TRect& Bounds, UINT Flags)
{
    HGDIOBJ Old = SelectObject(DC, Font->GetHandle());
    RECT R = Bounds;
    DrawText(DC, Text.c_str(), int(Text.size()), &R, DT_CALCRECT | Flags);
    SelectObject(DC, Old);
    return TSize { R.Right - R.Left, R.Bottom - R.Top };
}

TSize TCustomDateTimePicker::MeasureText(const String& Text, TFont* Font)
{
    HWND Window = HandleAllocated() ? GetHandle() : nullptr;
    HDC DC = GetDC(Window);
    if (!DC)
        return {};
    const TSize Size = CalcTextRect(DC, Font, Text, TRect(0, 0, 1000, 200), DT_SINGLELINE);
    ReleaseDC(Window, DC);
    return Size;
}

void TCustomDateTimePicker::FocusNextControl()
{
    if (!HandleAllocated() || !IsWindowVisible(GetHandle()))
        return;
    // The form's answer to WM_NEXTDLGCTL: the next control in tab order
    // after the one that has the focus.
    TCustomForm* Form = GetParentForm(this, true);
    if (!Form)
        return;
    TWinControl* Current = Form->GetActiveControl();
    if (!Current)
        Current = this;
    Form->SelectNext(Current, true, true);
}

// ---- borders ----

void TCustomDateTimePicker::RedrawBorderFrame()
{
    auto* Outer = IsEmbedded() ? dynamic_cast<TCustomDateTimePicker*>(GetParent()) : nullptr;
    TWindowDC DC(Outer ? static_cast<TWinControl*>(Outer) : this);
    if (DC.Get())
        DrawBorderFrame(DC.Get());
}

void TCustomDateTimePicker::DrawBorderFrame(HDC DC)
{
    if (IsEmbedded() && !GetEnabled())
        return;
    // An embedded picker frames the picker it sits in.
    TCustomDateTimePicker* Target = this;
    if (IsEmbedded())
        if (auto* Outer = dynamic_cast<TCustomDateTimePicker*>(GetParent()))
            Target = Outer;
    if (!GetEnabled() && FIsThemed) {
        FrameWith(DC, TRect(0, 0, GetWidth(), GetHeight()), ThemedBorder);
        return;
    }
    TRect R(0, 0, Target->GetWidth(), Target->GetHeight());
    if (Target->FBorderColor != clNone) {
        FrameWith(DC, R, Target->FBorderColor);
        return;
    }
    const TColor A = Target->GetParent() ? Target->GetParent()->GetBrush()->GetColor() : clBtnFace;
    const TColor B = Target->GetColor();
    FrameWith(DC, R, A);
    R.Inflate(-1, -1);
    R.Right -= FButtonWidth;
    FrameWith(DC, R, A);
    R.Inflate(-1, -1);
    FrameWith(DC, R, B);
}

TColor TCustomDateTimePicker::OutlineColor()
{
    if (FBorderStyle == bsNone && GetParent())
        return GetParent()->GetBrush()->GetColor();
    return FIsThemed ? ThemedBorder : FBorderColor;
}

void TCustomDateTimePicker::DrawOutline(HDC DC, TColor Color, bool Inner)
{
    if (Color == clNone)
        return;
    const int W = GetWidth(), H = GetHeight();
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    Canvas.GetPen()->SetColor(Color);
    if (Inner) {
        Canvas.MoveTo(1, H);
        Canvas.LineTo(1, 1);
        Canvas.LineTo(W - 2, 1);
        Canvas.LineTo(W - 2, H - 2);
        Canvas.LineTo(0, H - 2);
    } else {
        Canvas.MoveTo(0, H);
        Canvas.LineTo(0, 0);
        Canvas.LineTo(W - 1, 0);
        Canvas.LineTo(W - 1, H - 1);
        Canvas.LineTo(0, H - 1);
    }
    Canvas.SetHandle(HDC());
}

void TCustomDateTimePicker::DrawFlatBorder(HDC DC)
{
    DrawOutline(DC, OutlineColor(), false);
    if (!GetParent())
        return;
    const TColor Inner = GetParent()->GetBrush()->GetColor();
    const int W = GetWidth(), H = GetHeight();
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    Canvas.GetPen()->SetColor(FBorderStyle == bsSingle ? Inner : OutlineColor());
    Canvas.MoveTo(1, H - 2);
    Canvas.LineTo(1, 1);
    Canvas.LineTo(W - 1, 1);
    Canvas.SetHandle(HDC());
}

void TCustomDateTimePicker::DrawMetroButton(HDC DC)
{
    const int CW = GetClientWidth(), CH = GetClientHeight();
    TRect R(0, 0, GetWidth(), GetHeight());
    R.Left += CW - FButtonWidth + 2;
    R.Inflate(-1, -1);
    const bool Down = IsMouseButtonDown();
    if (FButtonColor != clNone) {
        // Hot and pressed colours that are not set keep the button's own.
        TColor Fill = FButtonColor;
        if (FButtonHover)
            Fill = Down ? FButtonColorDown : FButtonColorHot;
        if (Fill == clNone)
            Fill = FButtonColor;
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        Canvas.GetBrush()->SetStyle(bsSolid);
        Canvas.GetBrush()->SetColor(Fill);
        Canvas.GetPen()->SetColor(Fill);
        Canvas.Rectangle(R.Left + 2, R.Top, R.Right, R.Bottom);
        if (FButtonBorderColor != clNone) {
            Canvas.GetPen()->SetColor(FButtonBorderColor);
            Canvas.MoveTo(R.Left, R.Top);
            Canvas.LineTo(R.Left, R.Bottom);
        }
        const TColor Arrow = Down && FButtonTextColorDown != clNone ? FButtonTextColorDown : FButtonTextColor;
        if (Arrow != clNone) {
            Canvas.GetBrush()->SetColor(Arrow);
            Canvas.GetPen()->SetColor(Arrow);
            Canvas.Polygon({ { R.Left + 5, R.Top + 7 }, { R.Left + 11, R.Top + 7 }, { R.Left + 8, R.Top + 10 } });
        }
        Canvas.SetHandle(HDC());
    } else if (HTHEME Theme = ThemeActive() ? OpenThemeData(GetHandle(), u"combobox") : nullptr) {
        int State = 1;
        if (!GetEnabled())
            State = 4;
        else if (Down && GetDroppedDown())
            State = 3;
        else if (!Down && FButtonHover && !GetDroppedDown())
            State = 2;
        RECT r = R;
        DrawThemeBackground(Theme, DC, CP_DROPDOWNBUTTON, State, &r, nullptr);
        CloseThemeData(Theme);
    } else {
        RECT r = R;
        DrawFrameControl(DC, &r, DFC_SCROLL, GetEnabled() ? 0x4005 : 0x105);
    }
    ExcludeClipRect(DC, CW - FButtonWidth - 4, 0, CW + 2, CH);
}

void TCustomDateTimePicker::PaintOver()
{
    if (!HandleAllocated() || !((!GetCtl3D() || MetroMode()) && HasLocaleInfoEx()))
        return;
    TWindowDC DC(this);
    if (!DC.Get())
        return;
    const int H = GetHeight();
    if (MetroMode() && GetKind() != dtkTime) {
        if (HasLocaleInfoEx() && IsComCtl6()) {
            // Covers the platform's own button before the metro one is drawn.
            const int R = GetClientRect().Right;
            const TRect Beside = ThemeLibraryActive() == 1 ? TRect(R - FButtonWidth - 4, 1, R, H)
                                                           : TRect(R - FButtonWidth - 2, 4, R - 2, H - 4);
            FillWith(DC.Get(), Beside, GetBrush()->GetColor());
        }
        const int Saved = SaveDC(DC.Get());
        DrawMetroButton(DC.Get());
        RestoreDC(DC.Get(), Saved);
    }
    if (!GetCtl3D()) {
        DrawOutline(DC.Get(), OutlineColor(), false);
        if (HasLocaleInfoEx() && ThemeLibraryActive() == 0)
            DrawOutline(DC.Get(), OutlineColor(), true);
    }
    DrawBorderFrame(DC.Get());
}

// ---- properties ----

void TCustomDateTimePicker::SetMetroStyle(bool Value)
{
    if (FMetroStyle == Value)
        return;
    FMetroStyle = Value;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TCustomDateTimePicker::SetBorderColor(TColor Value)
{
    if (FBorderColor == Value)
        return;
    FBorderColor = Value;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TCustomDateTimePicker::SetBorderStyle(TBorderStyle Value)
{
    if (FBorderStyle == Value)
        return;
    FBorderStyle = Value;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// ---- auto-tab ----

void TCustomDateTimePicker::AutoTabDigit(TMessage& Message)
{
    if (GetKind() == dtkTime)
        DecodeTime(GetDateTime(), Fh, Fm, Fs, Fms);
    TDateTimePicker::Dispatch(Message);
    const Char Digit = Char(Message.WParam);
    FLast2Keys += Digit;
    FLast4Keys += Digit;
    // Posted: the check runs once the common control has taken the digit.
    if (HandleAllocated())
        PostMessage(GetHandle(), DTPShiftFocusMessage(), 0, 0);
}

void TCustomDateTimePicker::CheckAutoTab()
{
    if (GetKind() != dtkTime)
        return;
    Word h, m, s, ms;
    DecodeTime(GetDateTime(), h, m, s, ms);
    if (h == Fh && m == Fm && s == Fs)
        return;
    if (h == Fh && m == Fm && FAutoTabToNext) {
        FocusNextControl();
        return;
    }
    if (HandleAllocated())
        PostMessage(GetHandle(), WM_KEYDOWN, VK_RIGHT, 0);
}

// ---- mouse ----

void TCustomDateTimePicker::MouseMove(TShiftState Shift, int X, int Y)
{
    TDateTimePicker::MouseMove(Shift, X, Y);
    const bool Hover = GetWidth() - FButtonWidth < X && X < GetWidth();
    if (Hover != FButtonHover) {
        FButtonHover = Hover;
        Invalidate();
    }
}

void TCustomDateTimePicker::MouseEnter()
{
    TDateTimePicker::MouseEnter();
    if (FMouseInControl || !GetEnabled())
        return;
    FMouseInControl = true;
    RedrawBorderFrame();
    if (FIsWinXP)
        Invalidate();
}

void TCustomDateTimePicker::MouseLeave()
{
    TDateTimePicker::MouseLeave();
    if (!FMouseInControl || !GetEnabled())
        return;
    FMouseInControl = false;
    RedrawBorderFrame();
    FButtonHover = false;
    if (FIsWinXP)
        Invalidate();
}

// ---- messages ----

void TCustomDateTimePicker::Dispatch(TMessage& Message)
{
    const bool Designing = GetComponentState().Contains(csDesigning);
    if (Message.Msg == DTPShiftFocusMessage()) {
        CheckAutoTab();
        TDateTimePicker::Dispatch(Message);
        return;
    }
    switch (Message.Msg) {
    case WM_CHAR:
        if (FAutoTab && Message.WParam >= u'0' && Message.WParam <= u'9') {
            AutoTabDigit(Message);
            return;
        }
        break;
    case WM_SETFOCUS:
        if (FAutoTab && !GetDroppedDown() && GetFocus() != GetHandle())
            PostMessage(GetHandle(), WM_LBUTTONDOWN, 0, GetShowCheckbox() ? 0x00020018 : 0x00020002);
        break;
    case WM_GETDLGCODE:
        TDateTimePicker::Dispatch(Message);
        if (FGridTabhandling) {
            const bool Shift = GetKeyState(VK_SHIFT) < 0;
            if ((IsEmbedded() && !Shift) || (!IsEmbedded() && Shift))
                Message.Result |= DLGC_WANTTAB;
        }
        return;
    case WM_NCPAINT: {
        TDateTimePicker::Dispatch(Message);
        if (!GetCtl3D()) {
            TWindowDC DC(this);
            if (DC.Get())
                DrawFlatBorder(DC.Get());
        }
        RedrawBorderFrame();
        Message.Result = 0;
        if ((!GetEnabled() && ThemeActive()) || FBorderColor != clNone)
            RedrawBorderFrame();
        return;
    }
    case WM_PAINT:
        TDateTimePicker::Dispatch(Message);
        PaintOver();
        return;
    case CM_ENTER:
    case CM_EXIT:
        TDateTimePicker::Dispatch(Message);
        if (!Designing)
            RedrawBorderFrame();
        return;
    case CM_CTL3DCHANGED:
        TDateTimePicker::Dispatch(Message);
        if (HandleAllocated())
            RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    default:
        break;
    }
    TDateTimePicker::Dispatch(Message);
}
