#include "grid/edit/VovDateTimePicker.h"

#include "platform/gdi/Frames.h"
#include "platform/gdi/Theme.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumStyles.h"

namespace {

// Theme part and states of the "combobox" class.
constexpr int CP_DROPDOWNBUTTON = 1;
constexpr int CBXS_NORMAL = 1, CBXS_HOT = 2, CBXS_PRESSED = 3, CBXS_DISABLED = 4;

// The frame of a themed picker drawn by the system, and of a disabled one.
constexpr TColor ThemedBorder = TColor(0xB99D7F); // RGB(127, 157, 185)

void FrameWith(HDC DC, const TRect& R, TColor Color)
{
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    RECT r = R;
    FrameRect(DC, &r, brush);
    DeleteObject(brush);
}

void FillWith(HDC DC, const TRect& R, TColor Color)
{
    HBRUSH brush = CreateSolidBrush(ColorToRGB(Color));
    RECT r = R;
    FillRect(DC, &r, brush);
    DeleteObject(brush);
}

// A device context of the window for the length of a scope.
class TWindowDC {
public:
    explicit TWindowDC(HWND Window) : FWindow(Window), FDC(Window ? GetWindowDC(Window) : nullptr) { }
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

bool MouseButtonDown() { return GetAsyncKeyState(VK_LBUTTON) < 0 || GetAsyncKeyState(VK_RBUTTON) < 0; }

} // namespace

QT_PUBLISHED(TVovDateTimePicker, QT_PROP(Version))

TVovDateTimePicker::TVovDateTimePicker(TComponent* AOwner) : TDateTimePicker(AOwner)
{
    FButtonWidth = GetSystemMetrics(SM_CXVSCROLL) + 2;
    SetDoubleBuffered(true);
    SetParentCtl3D(false);
    SetBorderStyle(bsSingle);
    SetBorderStyle(bsNone);
    SetCtl3D(true);
    OSVERSIONINFO version;
    GetVersionEx(version);
    FIsWinXP = version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
    FIsThemed = (GetFileVersion(u"COMCTL32.DLL") >> 16) > 5;
    FIsVista = HasGetLocaleInfoEx();
}

String TVovDateTimePicker::GetVersion() const
{
    constexpr int major = 1, minor = 0, release = 0, build = 0;
    constexpr int packed = (major << 24) | (minor << 16) | (release << 8) | build;
    return IntToStr((packed >> 24) & 0xFF) + u"." + IntToStr((packed >> 16) & 0xFF) + u"." + IntToStr((packed >> 8) & 0xFF)
        + u"." + IntToStr(packed & 0xFF);
}

bool TVovDateTimePicker::MetroActive() const
{
    return FMetroStyle && !GetComponentState().Contains(csDesigning);
}

bool TVovDateTimePicker::ThemesActive() const { return FIsThemed && IsThemeActive(); }

bool TVovDateTimePicker::IsFocusedNow() const
{
    return FHasFocus || (HandleAllocated() && const_cast<TVovDateTimePicker*>(this)->Focused());
}

bool TVovDateTimePicker::IsActiveControl() const
{
    TCustomForm* form = GetParentForm(const_cast<TVovDateTimePicker*>(this));
    TWinControl* active = form ? form->GetActiveControl() : nullptr;
    return active && (active == this || ContainsControl(active));
}

void TVovDateTimePicker::SetBorderStyle(TBorderStyle v)
{
    if (v == FBorderStyle)
        return;
    FBorderStyle = v;
    Invalidate();
}

void TVovDateTimePicker::SetBorderColor(TColor v)
{
    FBorderColor = v;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void TVovDateTimePicker::SetButtonColor(TColor v)
{
    FButtonColor = v;
    Invalidate();
}

void TVovDateTimePicker::SetMetroStyle(bool v)
{
    if (v == FMetroStyle)
        return;
    FMetroStyle = v;
    if (HandleAllocated())
        RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

// ---- mouse and messages ----

void TVovDateTimePicker::MouseMove(TShiftState Shift, int X, int Y)
{
    TDateTimePicker::MouseMove(Shift, X, Y);
    const bool hover = X > GetWidth() - FButtonWidth && X < GetWidth();
    if (hover != FButtonHover) {
        FButtonHover = hover;
        Invalidate();
    }
}

void TVovDateTimePicker::MouseEnter()
{
    TDateTimePicker::MouseEnter();
    if (GetComponentState().Contains(csDesigning))
        return;
    if (GetEnabled())
        FMouseInControl = true;
    DrawBorders();
    if (FIsWinXP)
        Invalidate();
}

void TVovDateTimePicker::MouseLeave()
{
    TDateTimePicker::MouseLeave();
    if (GetComponentState().Contains(csDesigning))
        return;
    FMouseInControl = false;
    FButtonHover = false;
    DrawBorders();
    if (FIsWinXP)
        Invalidate();
}

void TVovDateTimePicker::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT:
        TDateTimePicker::Dispatch(Message);
        // The outline reaches into the client area, which the paint covered.
        DrawNonClientOutline();
        if ((GetCtl3D() && !MetroActive()) || !FIsVista)
            return;
        PaintMetro();
        return;
    case WM_NCPAINT:
        TDateTimePicker::Dispatch(Message);
        DrawNonClientOutline();
        if ((!GetEnabled() && ThemesActive() && !FDisabledBorder) || (FFocusBorderColor != clNone && IsFocusedNow())
            || FBorderColor != clNone)
            DrawBorders();
        Message.Result = 0;
        return;
    case CM_ENTER:
        TDateTimePicker::Dispatch(Message);
        if (!GetComponentState().Contains(csDesigning)) {
            FHasFocus = true;
            DrawBorders();
        }
        return;
    case CM_EXIT:
        TDateTimePicker::Dispatch(Message);
        if (!GetComponentState().Contains(csDesigning)) {
            FHasFocus = false;
            DrawBorders();
        }
        return;
    case CM_CTL3DCHANGED:
        TDateTimePicker::Dispatch(Message);
        if (HandleAllocated())
            RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return;
    default:
        TDateTimePicker::Dispatch(Message);
    }
}

// ---- painting ----

void TVovDateTimePicker::PaintMetro()
{
    if (!HandleAllocated())
        return;
    if (MetroActive() && GetKind() != dtkTime) {
        TWindowDC dc(GetHandle());
        if (!dc.Get())
            return;
        // Covers the platform's own button before the custom one is drawn.
        if (FIsVista && FIsThemed) {
            const TRect client = GetClientRect();
            const TRect beside = ThemesActive()
                ? TRect(client.Right - FButtonWidth - 15, 1, client.Right, GetHeight())
                : TRect(client.Right - FButtonWidth - 2, 4, client.Right - 2, GetHeight() - 4);
            FillWith(dc.Get(), beside, GetBrush()->GetColor());
        }
        DrawButton(dc.Get());
    }
    DrawBorders();
}

void TVovDateTimePicker::DrawButton(HDC DC)
{
    TRect r(0, 0, GetWidth(), GetHeight());
    r.Left = GetClientWidth() - FButtonWidth + 2;
    r.Inflate(-1, -1);
    const bool down = MouseButtonDown();
    if (FButtonColor != clNone) {
        TColor fill = FButtonColor;
        if (FButtonHover)
            fill = down ? FButtonColorDown : FButtonColorHot;
        if (fill == clNone)
            fill = FButtonColor;
        const TRect face(r.Left + 2, r.Top + 1, r.Right - 1, r.Bottom - 1);
        TCanvas canvas;
        canvas.SetHandle(DC);
        canvas.GetPen()->SetColor(fill);
        canvas.GetBrush()->SetStyle(bsSolid);
        canvas.GetBrush()->SetColor(fill);
        canvas.Rectangle(face);
        if (FButtonBorderColor != clNone) {
            canvas.GetPen()->SetColor(FButtonBorderColor);
            canvas.MoveTo(face.Left, face.Top);
            canvas.LineTo(face.Left, face.Bottom);
        }
        TColor arrow = down && FButtonTextColorDown != clNone ? FButtonTextColorDown : FButtonTextColor;
        if (arrow == clNone)
            arrow = clBlack;
        canvas.GetPen()->SetColor(arrow);
        canvas.GetBrush()->SetColor(arrow);
        canvas.Polygon({ { r.Left + 5, r.Top + 7 }, { r.Left + 11, r.Top + 7 }, { r.Left + 8, r.Top + 10 } });
        canvas.SetHandle(nullptr);
    } else if (HTHEME theme = ThemesActive() ? OpenThemeData(GetHandle(), u"combobox") : nullptr) {
        int state = CBXS_HOT;
        if (!GetEnabled())
            state = CBXS_DISABLED;
        else if (down && GetDroppedDown())
            state = CBXS_PRESSED;
        else if (down || !FButtonHover || GetDroppedDown())
            state = CBXS_NORMAL;
        RECT rc = r;
        DrawThemeBackground(theme, DC, CP_DROPDOWNBUTTON, state, &rc, nullptr);
        CloseThemeData(theme);
    } else {
        RECT rc = r;
        DrawFrameControl(DC, &rc, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | (GetEnabled() ? DFCS_FLAT : DFCS_INACTIVE));
    }
}

void TVovDateTimePicker::DrawBorders()
{
    if (!HandleAllocated() || !MetroActive())
        return;
    if (GetEnabled() && FBorderColor == clNone && FFocusBorderColor == clNone)
        return;
    TWindowDC window(GetHandle());
    HDC dc = window.Get();
    if (!dc)
        return;
    const int saved = SaveDC(dc);
    TRect r(0, 0, GetWidth(), GetHeight());
    const bool focused = IsFocusedNow();
    const bool active = IsActiveControl();
    if (!GetEnabled() && ThemesActive() && !FDisabledBorder) {
        FrameWith(dc, r, ThemedBorder);
    } else {
        TColor color = FBorderColor;
        if (color == clNone || (focused && FFocusBorderColor != clNone))
            color = FFocusBorderColor;
        if (color == clNone) {
            // Flat frames: the parent's colour outside, the picker's inside.
            const bool focusBorder = FFocusBorder && !GetComponentState().Contains(csDesigning) && (FMouseInControl || active);
            const TColor outer = focusBorder ? clBtnFace : GetParent() ? GetParent()->GetBrush()->GetColor() : clBtnFace;
            if (focusBorder) {
                RECT rc = r;
                DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
                r = TRect(rc);
                FrameWith(dc, r, outer);
            } else {
                FrameWith(dc, r, outer);
                r.Inflate(-1, -1);
                TRect field = r;
                field.Right -= FButtonWidth;
                FrameWith(dc, field, outer);
            }
            r.Inflate(-1, -1);
            FrameWith(dc, r, GetColor());
        } else if (color == FBorderColor || focused) {
            FrameWith(dc, r, color);
        }
    }
    // The flat button: only a ring round the arrow changes with the state.
    if (!(FIsWinXP && ThemesActive())) {
        const int cw = GetClientWidth(), ch = GetClientHeight();
        ExcludeClipRect(dc, cw - FButtonWidth + 4, 4, cw - 4, ch - 4);
        TRect button(0, 0, GetWidth(), GetHeight());
        button.Left = cw - FButtonWidth - 2;
        button.Inflate(-2, -2);
        const bool lit = GetComponentState().Contains(csDesigning) ? GetEnabled() : (FMouseInControl || active);
        if (lit) {
            RECT rc = button;
            DrawEdge(dc, &rc, EDGE_RAISED, BF_RECT | (GetDroppedDown() ? UINT(BF_FLAT) : 0u));
        } else {
            FillWith(dc, TRect(button.Left, button.Top + 1, button.Right - 1, button.Bottom - 1), clBtnFace);
        }
        ExcludeClipRect(dc, button.Left, button.Top, button.Right, button.Bottom);
    }
    RestoreDC(dc, saved);
}

// Without the 3-D look the platform frames the picker with a plain line;
// with a border colour set that line is drawn over in the surrounding
// colour (or the themed frame colour), and the metro borders go on top.
void TVovDateTimePicker::DrawNonClientOutline()
{
    if (GetCtl3D() || FBorderColor == clNone || !HandleAllocated())
        return;
    TWindowDC window(GetHandle());
    if (!window.Get())
        return;
    TColor color = FBorderColor;
    if (FBorderStyle == bsNone && GetParent())
        color = GetParent()->GetBrush()->GetColor();
    else if (FIsThemed)
        color = ThemedBorder;
    const int w = GetWidth(), h = GetHeight();
    TCanvas canvas;
    canvas.SetHandle(window.Get());
    canvas.GetPen()->SetColor(color);
    canvas.MoveTo(0, h);
    canvas.LineTo(0, 0);
    canvas.LineTo(w - 1, 0);
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(0, h - 1);
    if (GetParent()) {
        if (FBorderStyle == bsSingle)
            canvas.GetPen()->SetColor(GetParent()->GetBrush()->GetColor());
        canvas.MoveTo(1, h - 2);
        canvas.LineTo(1, 1);
        canvas.LineTo(w - 1, 1);
    }
    canvas.SetHandle(nullptr);
}
