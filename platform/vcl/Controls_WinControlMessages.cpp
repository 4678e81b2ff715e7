#include "platform/vcl/Controls.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/win/Input.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"

// ---- TWinControl: messages ----

bool TWinControl::IsControlMouseMsg(TMessage& Message)
{
    const UINT m = Message.Msg;
    if (m != WM_MOUSEMOVE && !IsMouseButtonMsg(m))
        return false;
    const TPoint p = PointOf(Message.LParam);
    TControl* target = nullptr;
    if (m_handle && GetCapture() == m_handle) {
        if (g_captureControl && g_captureControl->m_parent == this && !g_captureControl->IsWindowed())
            target = g_captureControl;
    } else {
        target = ControlAtPos(p, false);
    }
    if (!target)
        return false;
    TMessage forwarded = Message;
    forwarded.LParam = LParamOf({ p.X - target->m_left, p.Y - target->m_top });
    target->WindowProc(forwarded);
    Message.Result = forwarded.Result;
    return true;
}

void TWinControl::TrackMouseControl(TPoint client)
{
    TControl* now = ControlAtPos(client, false);
    if (!now)
        now = this;
    if (now == g_mouseControl)
        return;
    TControl* old = g_mouseControl;
    g_mouseControl = now;
    if (old)
        old->Perform(CM_MOUSELEAVE);
    now->Perform(CM_MOUSEENTER);
    if (m_handle) {
        TRACKMOUSEEVENT tme;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = m_handle;
        TrackMouseEvent(tme);
    }
    if (Application)
        Application->MouseControlChanged(now);
}

void TWinControl::WndProc(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        TrackMouseControl(PointOf(Message.LParam));
        if (Application)
            Application->HintMouseMessage(this, Message);
        [[fallthrough]];
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN: case WM_MBUTTONUP: case WM_MBUTTONDBLCLK:
        if (Message.Msg != WM_MOUSEMOVE && Application)
            Application->CancelHint();
        if (g_drag.Source != this && IsControlMouseMsg(Message))
            return;
        break;
    case WM_CAPTURECHANGED:
        if (g_captureControl && (g_captureControl == this || g_captureControl->m_parent == this)
            && reinterpret_cast<HWND>(Message.LParam) != m_handle)
            g_captureControl = nullptr;
        break;
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
        if (Application)
            Application->CancelHint();
        break;
    default:
        break;
    }
    TControl::WndProc(Message);
}

void TWinControl::Dispatch(TMessage& Message)
{
    switch (Message.Msg) {
    case WM_PAINT: WMPaint(Message); return;
    case WM_ERASEBKGND: WMEraseBkgnd(Message); return;
    case WM_SETFOCUS: WMSetFocus(Message); return;
    case WM_KILLFOCUS: WMKillFocus(Message); return;
    case WM_WINDOWPOSCHANGED: WMWindowPosChanged(Message); return;
    case WM_SIZE: WMSize(Message); return;
    case WM_KEYDOWN: case WM_SYSKEYDOWN: case WM_KEYUP: case WM_SYSKEYUP: WMKey(Message); return;
    case WM_CHAR: WMChar(Message); return;
    case WM_COMMAND: WMCommand(Message); return;
    case WM_NOTIFY: WMNotify(Message); return;
    case WM_HSCROLL: case WM_VSCROLL: WMScroll(Message); return;
    case WM_SETCURSOR: WMSetCursor(Message); return;
    case WM_MOUSELEAVE: WMMouseLeave(Message); return;
    case WM_MOUSEACTIVATE: WMMouseActivate(Message); return;
    case WM_GETDLGCODE: WMGetDlgCode(Message); return;
    case CN_KEYDOWN: case CN_SYSKEYDOWN: CNKeyDown(Message); return;
    case CN_CHAR: CNChar(Message); return;
    case CN_SYSCHAR:
        if (Message.WParam != VK_SPACE)
            if (TCustomForm* f = GetParentForm(this))
                Message.Result = f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
        return;
    case CM_ENTER: CMEnter(Message); return;
    case CM_EXIT: CMExit(Message); return;
    case CM_FOCUSCHANGED: CMFocusChanged(Message); return;
    case CM_DIALOGKEY: CMDialogKey(Message); return;
    case CM_DIALOGCHAR: CMDialogChar(Message); return;
    case CM_CHILDKEY:
        if (m_parent)
            Message.Result = m_parent->Perform(CM_CHILDKEY, Message.WParam, Message.LParam);
        return;
    case CM_VISIBLECHANGED:
        // Children and pop-ups alike show without taking the activation.
        if (m_handle)
            ShowWindow(m_handle, m_visible ? SW_SHOWNA : SW_HIDE);
        if (!m_visible)
            if (TCustomForm* f = GetParentForm(this))
                f->ControlHidden(this);
        UpdateShowing();
        return;
    case CM_ENABLEDCHANGED:
        if (m_handle)
            EnableWindow(m_handle, m_enabled);
        if (!m_enabled)
            if (TCustomForm* f = GetParentForm(this))
                f->ControlHidden(this);
        Invalidate();
        return;
    case CM_COLORCHANGED:
        m_brush->SetColor(m_color);
        NotifyControls(CM_PARENTCOLORCHANGED);
        Invalidate();
        return;
    case CM_FONTCHANGED:
        NotifyControls(CM_PARENTFONTCHANGED);
        Invalidate();
        return;
    case CM_SHOWHINTCHANGED: NotifyControls(CM_PARENTSHOWHINTCHANGED); return;
    case CM_BIDIMODECHANGED: NotifyControls(CM_PARENTBIDIMODECHANGED); return;
    case CM_CTL3DCHANGED: NotifyControls(CM_PARENTCTL3DCHANGED); return;
    case CM_PARENTCTL3DCHANGED:
        if (m_parentCtl3D && m_parent) {
            m_ctl3D = m_parent->m_ctl3D;
            Perform(CM_CTL3DCHANGED);
        }
        return;
    case CM_DOUBLEBUFFEREDCHANGED: NotifyControls(CM_PARENTDOUBLEBUFFEREDCHANGED); return;
    case CM_PARENTDOUBLEBUFFEREDCHANGED:
        if (m_parentDoubleBuffered && m_parent)
            m_doubleBuffered = m_parent->m_doubleBuffered;
        return;
    case CM_STYLECHANGED:
        NotifyControls(CM_STYLECHANGED);
        Invalidate();
        return;
    default:
        TControl::Dispatch(Message);
    }
}

void TWinControl::DefaultHandler(TMessage& Message)
{
    if (!m_handle) {
        TControl::DefaultHandler(Message);
        return;
    }
    if (Message.Msg == WM_SETTEXT)
        m_text = Message.LParam ? String(reinterpret_cast<const char16_t*>(Message.LParam)) : String();
    // Reflected notifications nobody answered, and the framework's own
    // messages, mean nothing to the window system.
    if (Message.Msg >= CM_BASE && Message.Msg < CN_BASE + 0x400)
        return;
    Message.Result = DefWindowProc(m_handle, Message.Msg, Message.WParam, Message.LParam);
}

void TWinControl::WMPaint(TMessage& Message)
{
    PaintHandler(Message);
}

void TWinControl::PaintHandler(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    PAINTSTRUCT ps;
    const bool own = dc == nullptr;
    if (own) {
        dc = BeginPaint(m_handle, ps);
        if (!dc)
            return;
    }
    try {
        const TRect client = GetClientRect();
        if (own && m_doubleBuffered && client.Width() > 0 && client.Height() > 0) {
            HDC mem = CreateCompatibleDC(dc);
            HBITMAP bmp = CreateCompatibleBitmap(dc, client.Width(), client.Height());
            HGDIOBJ old = SelectObject(mem, bmp);
            Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), reinterpret_cast<LPARAM>(mem));
            PaintWindow(mem);
            PaintControls(mem, nullptr);
            BitBlt(dc, 0, 0, client.Width(), client.Height(), mem, 0, 0, SRCCOPY);
            SelectObject(mem, old);
            DeleteObject(bmp);
            DeleteDC(mem);
        } else {
            PaintWindow(dc);
            PaintControls(dc, nullptr);
        }
    } catch (...) {
        // Painting never raises into the window system.
        ReportException();
    }
    if (own)
        EndPaint(m_handle, ps);
    Message.Result = 0;
}

void TWinControl::PaintWindow(HDC) { }

void TWinControl::PaintControls(HDC DC, TControl* First)
{
    auto it = m_controls.begin();
    if (First)
        it = std::find(m_controls.begin(), m_controls.end(), First);
    for (; it != m_controls.end(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() || !c->m_visible)
            continue;
        const RECT r = c->GetBoundsRect();
        if (!RectVisible(DC, &r))
            continue;
        const int saved = SaveDC(DC);
        OffsetViewportOrgEx(DC, c->m_left, c->m_top, nullptr);
        IntersectClipRect(DC, 0, 0, c->m_width, c->m_height);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
        RestoreDC(DC, saved);
    }
}

void TWinControl::PaintTo(HDC DC, int X, int Y)
{
    HandleNeeded();
    const int saved = SaveDC(DC);
    OffsetViewportOrgEx(DC, X, Y, nullptr);
    IntersectClipRect(DC, 0, 0, m_width, m_height);
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(DC), reinterpret_cast<LPARAM>(DC));
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(DC), 0);
    for (TControl* c : m_controls)
        if (c->IsWindowed() && c->m_visible)
            static_cast<TWinControl*>(c)->PaintTo(DC, c->m_left, c->m_top);
    RestoreDC(DC, saved);
}

void TWinControl::WMEraseBkgnd(TMessage& Message)
{
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    if (!dc)
        return;
    const RECT r = GetClientRect();
    // Under a visual style the background takes the style's colours too,
    // unless the control opted its client area out of the style.
    const bool styled = StyleServices()->GetEnabled() && GetStyleElements().Contains(seClient);
    HBRUSH b = CreateSolidBrush(COLORREF(styled ? StyleColorToRGB(m_color) : ColorToRGB(m_color)));
    FillRect(dc, &r, b);
    DeleteObject(b);
    Message.Result = 1;
}

void TWinControl::WMSetFocus(TMessage& Message)
{
    if (TCustomForm* f = GetParentForm(this))
        f->SetFocusedControl(this);
    DefaultHandler(Message);
}

void TWinControl::WMKillFocus(TMessage& Message)
{
    DefaultHandler(Message);
}

void TWinControl::CMFocusChanged(TMessage& Message)
{
    Broadcast(Message);
    Message.Result = 0;
}

void TWinControl::WMWindowPosChanged(TMessage& Message)
{
    FreeDeviceContexts();
    if (!m_updatingBounds) {
        const int oldW = m_width, oldH = m_height;
        UpdateBoundsFromWindow();
        m_updatingBounds = true;
        struct Reset { bool& f; ~Reset() { f = false; } } reset { m_updatingBounds };
        if (oldW != m_width || oldH != m_height)
            RequestAlign();
    }
    DefaultHandler(Message);
}

void TWinControl::WMSize(TMessage& Message)
{
    Realign();
    Resize();
    DefaultHandler(Message);
}

void TWinControl::CNKeyDown(TMessage& Message)
{
    Message.Result = 1;
    if (TCustomForm* f = GetParentForm(this)) {
        TWMKey key { Message.Msg - CN_BASE, WORD(Message.WParam), Message.LParam, 0 };
        if (f->IsShortCut(key))
            return;
    }
    if (Perform(CM_CHILDKEY, Message.WParam, reinterpret_cast<LPARAM>(this)) != 0)
        return;
    LRESULT mask = 0;
    switch (Message.WParam) {
    case VK_TAB: mask = DLGC_WANTTAB; break;
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: mask = DLGC_WANTARROWS; break;
    case VK_RETURN: case VK_ESCAPE: case VK_CANCEL: mask = DLGC_WANTALLKEYS; break;
    default: break;
    }
    if (mask != 0 && Perform(CM_WANTSPECIALKEY, Message.WParam, Message.LParam) == 0
        && (Perform(WM_GETDLGCODE) & mask) == 0) {
        if (TCustomForm* f = GetParentForm(this))
            if (f->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0)
                return;
    }
    Message.Result = 0;
}

void TWinControl::CNChar(TMessage& Message)
{
    Message.Result = 1;
    if ((Perform(WM_GETDLGCODE) & DLGC_WANTCHARS) == 0)
        if (TCustomForm* f = GetParentForm(this))
            if (f->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0)
                return;
    Message.Result = 0;
}

bool TWinControl::DoKeyDown(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->GetKeyPreview() && form->DoKeyDown(Message))
        return true;
    WORD key = WORD(Message.WParam);
    if (!m_controlStyle.Contains(csNoStdEvents)) {
        KeyDown(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyUp(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->GetKeyPreview() && form->DoKeyUp(Message))
        return true;
    WORD key = WORD(Message.WParam);
    if (!m_controlStyle.Contains(csNoStdEvents)) {
        KeyUp(key, KeyDataToShiftState(Message.LParam));
        Message.WParam = key;
        if (key == 0)
            return true;
    }
    return false;
}

bool TWinControl::DoKeyPress(TMessage& Message)
{
    TCustomForm* form = GetParentForm(this);
    if (form && form != this && form->GetKeyPreview() && form->DoKeyPress(Message))
        return true;
    char16_t ch = char16_t(Message.WParam);
    if (!m_controlStyle.Contains(csNoStdEvents)) {
        KeyPress(ch);
        Message.WParam = ch;
        if (ch == 0)
            return true;
    }
    return false;
}

void TWinControl::WMKey(TMessage& Message)
{
    const bool down = Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN;
    if (down ? DoKeyDown(Message) : DoKeyUp(Message))
        return;
    // The menu key and Shift+F10 ask for the context menu from the keyboard.
    if (down && (Message.WParam == VK_APPS || (Message.WParam == VK_F10 && GetKeyState(VK_SHIFT) < 0))) {
        Message.Result = Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_handle), MAKELPARAM(0xFFFF, 0xFFFF));
        return;
    }
    DefaultHandler(Message);
}

void TWinControl::WMChar(TMessage& Message)
{
    if (DoKeyPress(Message))
        return;
    DefaultHandler(Message);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char16_t& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift)
{
    if (OnKeyUp)
        OnKeyUp(this, Key, Shift);
}

void TWinControl::DoEnter()
{
    if (OnEnter)
        OnEnter(this);
}

void TWinControl::DoExit()
{
    if (OnExit)
        OnExit(this);
}

// Child notifications come back to the child as CN_ messages.
void TWinControl::WMCommand(TMessage& Message)
{
    HWND child = reinterpret_cast<HWND>(Message.LParam);
    if (child && child != m_handle)
        if (TWinControl* c = FindControl(child)) {
            Message.Result = c->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
            return;
        }
    DefaultHandler(Message);
}

struct NMHDR_HEAD {
    HWND hwndFrom;
};

void TWinControl::WMNotify(TMessage& Message)
{
    if (Message.LParam) {
        HWND from = reinterpret_cast<const NMHDR_HEAD*>(Message.LParam)->hwndFrom;
        if (from && from != m_handle)
            if (TWinControl* c = FindControl(from)) {
                Message.Result = c->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
                return;
            }
    }
    DefaultHandler(Message);
}

void TWinControl::WMScroll(TMessage& Message)
{
    WMCommand(Message);
}

void TWinControl::WMSetCursor(TMessage& Message)
{
    if (LOWORD(WPARAM(Message.LParam)) == WORD(HTCLIENT) && reinterpret_cast<HWND>(Message.WParam) == m_handle) {
        TCursor cur = Screen ? Screen->GetCursor() : crDefault;
        if (cur == crDefault) {
            POINT p;
            GetCursorPos(p);
            TControl* c = ControlAtPos(ScreenToClient({ p.X, p.Y }), false);
            cur = c ? c->GetCursor() : m_cursor;
            if (cur == crDefault && c)
                cur = m_cursor;
        }
        if (cur != crDefault) {
            ::SetCursor(CursorHandle(cur));
            Message.Result = 1;
            return;
        }
    }
    DefaultHandler(Message);
}

void TWinControl::WMMouseLeave(TMessage& Message)
{
    if (g_mouseControl && (g_mouseControl == this || (!g_mouseControl->IsWindowed() && g_mouseControl->m_parent == this))) {
        TControl* old = g_mouseControl;
        g_mouseControl = nullptr;
        old->Perform(CM_MOUSELEAVE);
        if (Application)
            Application->MouseControlChanged(nullptr);
    }
    DefaultHandler(Message);
}

// WParam: the top-level window; LParam: the hit-test code and the mouse
// message that will follow. A control's answer other than maDefault is
// the result; otherwise the window system's default (which asks the
// parent first) decides.
void TWinControl::WMMouseActivate(TMessage& Message)
{
    const int hitTest = std::int16_t(LOWORD(Message.LParam));
    const UINT mouseMsg = HIWORD(Message.LParam);
    const TMouseButton button = mouseMsg == WM_RBUTTONDOWN ? mbRight : mouseMsg == WM_MBUTTONDOWN ? mbMiddle : mbLeft;
    POINT screen;
    GetCursorPos(screen);
    const TPoint p = ScreenToClient({ screen.X, screen.Y });
    TControl* target = ControlAtPos(p, false);
    if (!target)
        target = this;
    const TPoint at = target == this ? p : TPoint { p.X - target->GetLeft(), p.Y - target->GetTop() };
    const TMouseActivate answer = target->MouseActivate(button, GetKeyShiftState(), at.X, at.Y, hitTest);
    if (answer == maDefault) {
        DefaultHandler(Message);
        return;
    }
    Message.Result = LRESULT(answer);
}

void TWinControl::UpdateShowing()
{
    const bool showing = m_visible && (m_parent ? m_parent->m_showing : (m_handle && IsWindowVisible(m_handle)));
    if (showing == m_showing)
        return;
    m_showing = showing;
    Perform(CM_SHOWINGCHANGED);
    for (TControl* c : std::vector<TControl*>(m_controls))
        if (c->IsWindowed())
            static_cast<TWinControl*>(c)->UpdateShowing();
}

