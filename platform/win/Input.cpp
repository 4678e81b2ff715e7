#include "platform/win/Input.h"

#include <algorithm>
#include <cstdlib>

#include "platform/rtl/Clock.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

// ---- Keyboard map ---------------------------------------------------------------

namespace {

struct TOemKey {
    WORD vk;
    char16_t plain;
    char16_t shifted;
    BYTE scan;
};

constexpr TOemKey kOemKeys[] = {
    { VK_OEM_1, u';', u':', 0x27 }, { VK_OEM_PLUS, u'=', u'+', 0x0D }, { VK_OEM_COMMA, u',', u'<', 0x33 },
    { VK_OEM_MINUS, u'-', u'_', 0x0C }, { VK_OEM_PERIOD, u'.', u'>', 0x34 }, { VK_OEM_2, u'/', u'?', 0x35 },
    { VK_OEM_3, u'`', u'~', 0x29 }, { VK_OEM_4, u'[', u'{', 0x1A }, { VK_OEM_5, u'\\', u'|', 0x2B },
    { VK_OEM_6, u']', u'}', 0x1B }, { VK_OEM_7, u'\'', u'"', 0x28 },
};

constexpr char16_t kShiftedDigits[] = u")!@#$%^&*(";
// Scan codes of the letter keys A..Z (set 1).
constexpr BYTE kLetterScan[26] = { 0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
    0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C };

bool Down(const BYTE* state, int vk)
{
    return (state[vk] & 0x80) != 0;
}

} // namespace

TScanCode ScanCodeOf(WORD vk)
{
    if (vk >= 'A' && vk <= 'Z')
        return { kLetterScan[vk - 'A'], false };
    if (vk >= '1' && vk <= '9')
        return { BYTE(0x02 + vk - '1'), false };
    if (vk == '0')
        return { 0x0B, false };
    if (vk >= VK_F1 && vk <= VK_F1 + 9)
        return { BYTE(0x3B + vk - VK_F1), false };
    for (const auto& k : kOemKeys)
        if (k.vk == vk)
            return { k.scan, false };
    // The keypad keys keep their plain scan codes; the separate cursor
    // block shares them and is told apart by the extended-key bit.
    static constexpr BYTE kPad[10] = { 0x52, 0x4F, 0x50, 0x51, 0x4B, 0x4C, 0x4D, 0x47, 0x48, 0x49 };
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9)
        return { kPad[vk - VK_NUMPAD0], false };
    switch (vk) {
    case VK_ESCAPE: return { 0x01, false };
    case VK_BACK: return { 0x0E, false };
    case VK_TAB: return { 0x0F, false };
    case VK_RETURN: return { 0x1C, false };
    case VK_CONTROL: case VK_LCONTROL: return { 0x1D, false };
    case VK_RCONTROL: return { 0x1D, true };
    case VK_SHIFT: case VK_LSHIFT: return { 0x2A, false };
    case VK_RSHIFT: return { 0x36, false };
    case VK_MENU: case VK_LMENU: return { 0x38, false };
    case VK_RMENU: return { 0x38, true };
    case VK_SPACE: return { 0x39, false };
    case VK_CAPITAL: return { 0x3A, false };
    case VK_F11: return { 0x57, false };
    case VK_F12: return { 0x58, false };
    case VK_NUMLOCK: return { 0x45, true };
    case VK_SCROLL: return { 0x46, false };
    case VK_MULTIPLY: return { 0x37, false };
    case VK_SUBTRACT: return { 0x4A, false };
    case VK_ADD: return { 0x4E, false };
    case VK_DECIMAL: return { 0x53, false };
    case VK_DIVIDE: return { 0x35, true };
    case VK_HOME: return { 0x47, true };
    case VK_UP: return { 0x48, true };
    case VK_PRIOR: return { 0x49, true };
    case VK_LEFT: return { 0x4B, true };
    case VK_CLEAR: return { 0x4C, false };
    case VK_RIGHT: return { 0x4D, true };
    case VK_END: return { 0x4F, true };
    case VK_DOWN: return { 0x50, true };
    case VK_NEXT: return { 0x51, true };
    case VK_INSERT: return { 0x52, true };
    case VK_DELETE: return { 0x53, true };
    case VK_LWIN: return { 0x5B, true };
    case VK_RWIN: return { 0x5C, true };
    case VK_APPS: return { 0x5D, true };
    case VK_OEM_102: return { 0x56, false };
    default: return { 0, false };
    }
}

int ToUnicode(UINT vk, UINT, const BYTE state[256], char16_t* buffer, int bufferSize, UINT)
{
    if (!buffer || bufferSize < 1)
        return 0;
    const bool shift = Down(state, VK_SHIFT);
    const bool ctrl = Down(state, VK_CONTROL);
    const bool alt = Down(state, VK_MENU);
    const bool caps = (state[VK_CAPITAL] & 1) != 0;
    char16_t ch = 0;
    if (ctrl && alt)
        return 0; // the US layout has no third level
    if (vk >= 'A' && vk <= 'Z') {
        if (ctrl)
            ch = char16_t(vk - 'A' + 1);
        else
            ch = char16_t((shift != caps) ? vk : vk + 32);
    } else if (vk >= '0' && vk <= '9') {
        if (ctrl)
            return 0;
        ch = shift ? kShiftedDigits[vk - '0'] : char16_t(vk);
    } else if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) {
        ch = char16_t(u'0' + (vk - VK_NUMPAD0));
    } else {
        switch (vk) {
        case VK_SPACE: ch = u' '; break;
        case VK_RETURN: ch = ctrl ? u'\n' : u'\r'; break;
        case VK_TAB: if (ctrl) return 0; ch = u'\t'; break;
        case VK_BACK: ch = ctrl ? char16_t(0x7F) : char16_t(0x08); break;
        case VK_ESCAPE: ch = char16_t(0x1B); break;
        case VK_MULTIPLY: ch = u'*'; break;
        case VK_ADD: ch = u'+'; break;
        case VK_SUBTRACT: ch = u'-'; break;
        case VK_DECIMAL: ch = u'.'; break;
        case VK_DIVIDE: ch = u'/'; break;
        default:
            for (const auto& k : kOemKeys)
                if (k.vk == vk) {
                    if (ctrl) {
                        if (vk == VK_OEM_4) ch = char16_t(0x1B);
                        else if (vk == VK_OEM_5) ch = char16_t(0x1C);
                        else if (vk == VK_OEM_6) ch = char16_t(0x1D);
                        else return 0;
                    } else
                        ch = shift ? k.shifted : k.plain;
                }
        }
    }
    if (!ch)
        return 0;
    buffer[0] = ch;
    return 1;
}

TKeyStroke VkKeyScanFor(char16_t ch)
{
    if (ch >= u'a' && ch <= u'z')
        return { WORD(ch - 32), false };
    if (ch >= u'A' && ch <= u'Z')
        return { WORD(ch), true };
    if (ch >= u'0' && ch <= u'9')
        return { WORD(ch), false };
    for (int d = 0; d < 10; ++d)
        if (kShiftedDigits[d] == ch)
            return { WORD(u'0' + d), true };
    for (const auto& k : kOemKeys) {
        if (k.plain == ch)
            return { k.vk, false };
        if (k.shifted == ch)
            return { k.vk, true };
    }
    switch (ch) {
    case u' ': return { VK_SPACE, false };
    case u'\r': return { VK_RETURN, false };
    case u'\t': return { VK_TAB, false };
    case 0x08: return { VK_BACK, false };
    case 0x1B: return { VK_ESCAPE, false };
    default: return {};
    }
}

UINT MapVirtualKey(UINT code, UINT mapType)
{
    switch (mapType) {
    case MAPVK_VK_TO_VSC: return ScanCodeOf(WORD(code)).code;
    case MAPVK_VSC_TO_VK:
        for (UINT vk = 1; vk < 256; ++vk) {
            const TScanCode sc = ScanCodeOf(WORD(vk));
            if (sc.code == code && !sc.extended && !(vk >= VK_NUMPAD0 && vk <= VK_DIVIDE) && vk != VK_LSHIFT && vk != VK_LCONTROL && vk != VK_LMENU)
                return vk;
        }
        return 0;
    case MAPVK_VK_TO_CHAR: {
        BYTE none[256] {};
        char16_t c = 0;
        if (code >= 'A' && code <= 'Z')
            return code;
        return ToUnicode(code, 0, none, &c, 1, 0) ? c : 0;
    }
    default: return 0;
    }
}

// ---- Key state ------------------------------------------------------------------

namespace {

SHORT StateOf(const BYTE* table, int vk)
{
    if (vk < 0 || vk > 255)
        return 0;
    return SHORT(((table[vk] & 0x80) ? 0x8000 : 0) | (table[vk] & 1));
}

void SetKey(BYTE* table, int vk, bool down)
{
    if (down && !(table[vk] & 0x80))
        table[vk] ^= 1;
    table[vk] = BYTE((table[vk] & 1) | (down ? 0x80 : 0));
}

// A sided key also moves its generic key, and the generic one its left side.
void SetKeyWithSides(BYTE* table, WORD vk, bool down)
{
    SetKey(table, vk, down);
    auto pair = [&](WORD generic, WORD left, WORD right) {
        if (vk == generic)
            SetKey(table, left, down);
        else if (vk == left || vk == right) {
            const bool other = (table[vk == left ? right : left] & 0x80) != 0;
            SetKey(table, generic, down || other);
        }
    };
    pair(VK_SHIFT, VK_LSHIFT, VK_RSHIFT);
    pair(VK_CONTROL, VK_LCONTROL, VK_RCONTROL);
    pair(VK_MENU, VK_LMENU, VK_RMENU);
}

WORD ButtonVk(int logical)
{
    return logical == 0 ? VK_LBUTTON : logical == 1 ? VK_RBUTTON : VK_MBUTTON;
}

} // namespace

SHORT GetKeyState(int vk)
{
    return StateOf(State().syncKeys, vk);
}

SHORT GetAsyncKeyState(int vk)
{
    // The asynchronous state reports the physical buttons.
    if (GetSystemMetrics(SM_SWAPBUTTON) && (vk == VK_LBUTTON || vk == VK_RBUTTON))
        vk = vk == VK_LBUTTON ? VK_RBUTTON : VK_LBUTTON;
    return StateOf(State().asyncKeys, vk);
}

bool GetKeyboardState(BYTE state[256])
{
    std::copy_n(State().syncKeys, 256, state);
    return true;
}

bool SetKeyboardState(const BYTE state[256])
{
    std::copy_n(state, 256, State().syncKeys);
    return true;
}

void winimpl::KeyMessageTaken(const MSG& msg)
{
    BYTE* keys = State().syncKeys;
    switch (msg.message) {
    case WM_KEYDOWN: case WM_SYSKEYDOWN: SetKeyWithSides(keys, WORD(msg.wParam), true); break;
    case WM_KEYUP: case WM_SYSKEYUP: SetKeyWithSides(keys, WORD(msg.wParam), false); break;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: SetKey(keys, VK_LBUTTON, true); break;
    case WM_LBUTTONUP: case WM_NCLBUTTONUP: SetKey(keys, VK_LBUTTON, false); break;
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK: SetKey(keys, VK_RBUTTON, true); break;
    case WM_RBUTTONUP: case WM_NCRBUTTONUP: SetKey(keys, VK_RBUTTON, false); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: SetKey(keys, VK_MBUTTON, true); break;
    case WM_MBUTTONUP: case WM_NCMBUTTONUP: SetKey(keys, VK_MBUTTON, false); break;
    default: break;
    }
}

bool TranslateMessage(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
        return false;
    char16_t ch = 0;
    const UINT scan = UINT((msg.lParam >> 16) & 0xFF);
    if (!ToUnicode(UINT(msg.wParam), scan, State().syncKeys, &ch, 1, 0))
        return false;
    const bool sys = msg.message == WM_SYSKEYDOWN && (msg.lParam & KF_ALTDOWN_BIT) && !(GetKeyState(VK_CONTROL) & 0x8000);
    MSG c = msg;
    c.message = sys ? WM_SYSCHAR : WM_CHAR;
    c.wParam = ch;
    // The character comes next, ahead of any input queued behind the key.
    PostFront(c);
    return true;
}

// ---- Focus, activation, capture ----------------------------------------------------

namespace {

bool g_activating = false;

TWnd* NextToActivate(TWnd* leaving)
{
    if (leaving->owner && (leaving->owner->style & WS_VISIBLE) && !(leaving->owner->style & WS_DISABLED))
        return leaving->owner;
    for (TWnd* t : Desktop()->children)
        if (t != leaving && (t->style & WS_VISIBLE) && !(t->style & WS_DISABLED) && !(t->exStyle & (WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW)))
            return t;
    return nullptr;
}

WORD MinimizedFlag(HWND h)
{
    TWnd* w = Find(h);
    return w && (w->style & WS_MINIMIZE) ? 1 : 0;
}

void RaiseWithOwned(TWnd* top)
{
    SetWindowPos(top->handle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    // Owned windows stay above their owner.
    std::vector<HWND> owned;
    for (TWnd* t : Desktop()->children)
        if (t->owner == top && (t->style & WS_VISIBLE))
            owned.push_back(t->handle);
    for (auto it = owned.rbegin(); it != owned.rend(); ++it)
        SetWindowPos(*it, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
}

} // namespace

void winimpl::Activate(HWND hwnd, WORD how)
{
    auto& s = State();
    TWnd* w = hwnd ? Find(hwnd) : nullptr;
    if (w)
        w = TopOf(w);
    if (w && (!(w->style & WS_VISIBLE) || (w->style & WS_DISABLED)))
        return;
    const HWND target = w ? w->handle : nullptr;
    const HWND old = s.active;
    if (old == target || g_activating)
        return;
    g_activating = true;
    struct Reset { ~Reset() { g_activating = false; } } reset;
    // Nothing is active while the old window hears of its deactivation, so
    // a window that hides itself then does not start another activation.
    s.active = nullptr;
    if (old && Find(old)) {
        SendMessage(old, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(target));
        SendMessage(old, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, MinimizedFlag(old)), reinterpret_cast<LPARAM>(target));
        if (s.focus && Find(s.focus) && TopOf(Find(s.focus)) && TopOf(Find(s.focus))->handle == old) {
            const HWND lost = s.focus;
            s.focus = nullptr;
            SendMessage(lost, WM_KILLFOCUS, reinterpret_cast<WPARAM>(target), 0);
        }
    }
    if (s.active)
        return; // a handler activated a window of its own choosing
    if (!target || !(w = Find(target)) || !(w->style & WS_VISIBLE))
        return;
    s.active = target;
    RaiseWithOwned(w);
    GetWindowBackend().TopLevelChanged(target);
    SendMessage(target, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(old));
    if (s.active == target)
        SendMessage(target, WM_ACTIVATE, MAKEWPARAM(how, MinimizedFlag(target)), reinterpret_cast<LPARAM>(old));
}

void winimpl::ForgetWindow(HWND hwnd)
{
    auto& s = State();
    TWnd* w = Find(hwnd);
    if (!w)
        return;
    if (s.capture == hwnd)
        ReleaseCapture();
    if (s.focus && (s.focus == hwnd || IsChild(hwnd, s.focus))) {
        const HWND lost = s.focus;
        s.focus = nullptr;
        SendMessage(lost, WM_KILLFOCUS, 0, 0);
    }
    if (s.active == hwnd) {
        TWnd* next = (w = Find(hwnd)) ? NextToActivate(w) : nullptr;
        if (next)
            Activate(next->handle, WA_ACTIVE);
        else
            Activate(nullptr, WA_ACTIVE);
        if (s.active == hwnd)
            s.active = nullptr;
    }
    if (s.trackLeave == hwnd)
        s.trackLeave = nullptr;
    if (s.trackHover == hwnd)
        s.trackHover = nullptr;
    if (s.lastClickWnd == hwnd)
        s.lastClickWnd = nullptr;
    if (s.lastPointerWindow == hwnd)
        s.lastPointerWindow = nullptr;
}

HWND SetFocus(HWND hwnd)
{
    auto& s = State();
    const HWND old = s.focus;
    if (!hwnd) {
        if (old) {
            s.focus = nullptr;
            SendMessage(old, WM_KILLFOCUS, 0, 0);
        }
        return old;
    }
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return nullptr;
    if (hwnd == old)
        return old;
    TWnd* top = TopOf(w);
    if (top && s.active != top->handle) {
        if (!(top->style & WS_VISIBLE))
            return nullptr;
        Activate(top->handle, WA_ACTIVE);
        if (s.focus == hwnd || !Find(hwnd))
            return old;
    }
    const HWND previous = s.focus;
    s.focus = hwnd;
    if (previous && Find(previous))
        SendMessage(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
    if (s.focus != hwnd || !Find(hwnd))
        return old; // the losing window moved the focus elsewhere
    SendMessage(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return old;
}

HWND GetFocus()
{
    return State().focus;
}

HWND GetActiveWindow()
{
    return State().active;
}

HWND SetActiveWindow(HWND hwnd)
{
    const HWND old = State().active;
    if (hwnd && !IsWindow(hwnd))
        return nullptr;
    Activate(hwnd, WA_ACTIVE);
    return old;
}

HWND GetForegroundWindow()
{
    return State().active;
}

bool SetForegroundWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return false;
    Activate(hwnd, WA_ACTIVE);
    return true;
}

HWND SetCapture(HWND hwnd)
{
    auto& s = State();
    const HWND old = s.capture;
    if (hwnd && !IsWindow(hwnd))
        return old;
    s.capture = hwnd;
    if (s.sizeMoveWnd && s.sizeMoveWnd != hwnd)
        s.sizeMoveWnd = nullptr;
    if (old && old != hwnd && Find(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    return old;
}

bool ReleaseCapture()
{
    auto& s = State();
    const HWND old = s.capture;
    s.capture = nullptr;
    const HWND sizing = s.sizeMoveWnd;
    s.sizeMoveWnd = nullptr;
    if (old && Find(old))
        SendMessage(old, WM_CAPTURECHANGED, 0, 0);
    if (sizing && Find(sizing))
        SendMessage(sizing, WM_EXITSIZEMOVE, 0, 0);
    return true;
}

HWND GetCapture()
{
    return State().capture;
}

namespace {

WPARAM MouseKeyFlags()
{
    const BYTE* k = State().asyncKeys;
    WPARAM f = 0;
    if (k[VK_LBUTTON] & 0x80) f |= MK_LBUTTON;
    if (k[VK_RBUTTON] & 0x80) f |= MK_RBUTTON;
    if (k[VK_MBUTTON] & 0x80) f |= MK_MBUTTON;
    if (k[VK_SHIFT] & 0x80) f |= MK_SHIFT;
    if (k[VK_CONTROL] & 0x80) f |= MK_CONTROL;
    return f;
}

LPARAM PackPoint(TPoint p)
{
    return MAKELPARAM(WORD(std::int16_t(p.X)), WORD(std::int16_t(p.Y)));
}

void PostInput(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    m.pt = State().pointer;
    {
        auto& q = PostQueue();
        std::lock_guard g(q.lock);
        q.messages.push_back(m);
    }
    WakeQueue();
}

bool OverWindow(HWND hwnd)
{
    TWnd* hit = WindowAtPoint(State().pointer);
    return hit && hit->handle == hwnd;
}

} // namespace

bool TrackMouseEvent(TRACKMOUSEEVENT& tme)
{
    auto& s = State();
    if (tme.dwFlags & TME_QUERY) {
        tme.dwFlags = 0;
        tme.hwndTrack = s.trackLeave ? s.trackLeave : s.trackHover;
        if (s.trackLeave) tme.dwFlags |= TME_LEAVE;
        if (s.trackHover) tme.dwFlags |= TME_HOVER;
        tme.dwHoverTime = s.hoverTime;
        return true;
    }
    if (!IsWindow(tme.hwndTrack))
        return false;
    if (tme.dwFlags & TME_CANCEL) {
        if ((tme.dwFlags & TME_LEAVE) && s.trackLeave == tme.hwndTrack)
            s.trackLeave = nullptr;
        if ((tme.dwFlags & TME_HOVER) && s.trackHover == tme.hwndTrack)
            s.trackHover = nullptr;
        return true;
    }
    if (tme.dwFlags & TME_LEAVE) {
        if (OverWindow(tme.hwndTrack))
            s.trackLeave = tme.hwndTrack;
        else
            PostInput(tme.hwndTrack, WM_MOUSELEAVE, 0, 0);
    }
    if (tme.dwFlags & TME_HOVER) {
        s.trackHover = tme.hwndTrack;
        s.hoverTime = tme.dwHoverTime == HOVER_DEFAULT ? 400 : tme.dwHoverTime;
        s.lastMove = GetTickCount64();
    }
    return true;
}

void winimpl::CheckMouseHover()
{
    auto& s = State();
    if (!s.trackHover || GetTickCount64() < s.lastMove + s.hoverTime)
        return;
    const HWND h = s.trackHover;
    s.trackHover = nullptr;
    if (!OverWindow(h))
        return;
    POINT p = s.pointer;
    ScreenToClient(h, p);
    PostInput(h, WM_MOUSEHOVER, MouseKeyFlags(), PackPoint(p));
}

// ---- Input injection ---------------------------------------------------------------

namespace {

// The window that gets a mouse message at the pointer, with its hit-test code.
std::pair<HWND, LRESULT> MouseTarget(TPoint screen)
{
    auto& s = State();
    if (s.capture && Find(s.capture))
        return { s.capture, HTCLIENT };
    TWnd* w = WindowAtPoint(screen);
    if (!w)
        return { nullptr, HTNOWHERE };
    const HWND h = w->handle;
    const LRESULT hit = SendMessage(h, WM_NCHITTEST, 0, PackPoint(screen));
    return { h, hit };
}

void PostMouse(HWND target, LRESULT hit, UINT clientMsg, TPoint screen)
{
    if (hit == HTCLIENT) {
        POINT p = screen;
        ScreenToClient(target, p);
        PostInput(target, clientMsg, MouseKeyFlags(), PackPoint(p));
    } else {
        // Non-client messages are numbered like the client ones, 0x160 lower.
        const UINT nc = clientMsg == WM_MOUSEMOVE ? WM_NCMOUSEMOVE : clientMsg - (WM_LBUTTONDOWN - WM_NCLBUTTONDOWN);
        PostInput(target, nc, WPARAM(hit), PackPoint(screen));
    }
}

void PointerMoved(TPoint screen)
{
    auto& s = State();
    s.pointer = screen;
    s.lastMove = GetTickCount64();
    TWnd* under = WindowAtPoint(screen);
    const HWND underH = under ? under->handle : nullptr;
    if (s.trackLeave && s.trackLeave != underH) {
        const HWND left = s.trackLeave;
        s.trackLeave = nullptr;
        PostInput(left, WM_MOUSELEAVE, 0, 0);
    }
    s.lastPointerWindow = underH;
}

} // namespace

void winimpl::BeginSizeMove(HWND hwnd, LRESULT hit, TPoint screen)
{
    auto& s = State();
    TWnd* w = Find(hwnd);
    if (!w || !(s.asyncKeys[VK_LBUTTON] & 0x80))
        return;
    SendMessage(hwnd, WM_ENTERSIZEMOVE, 0, 0);
    if (!Find(hwnd))
        return;
    SetCapture(hwnd);
    s.sizeMoveWnd = hwnd;
    s.sizeMoveHit = hit;
    s.sizeMoveStart = screen;
    GetWindowRect(hwnd, s.sizeMoveRect);
}

namespace {

void EndSizeMove()
{
    auto& s = State();
    const HWND h = s.sizeMoveWnd;
    if (!h)
        return;
    s.sizeMoveWnd = nullptr;
    if (s.capture == h)
        ReleaseCapture();
    if (Find(h))
        SendMessage(h, WM_EXITSIZEMOVE, 0, 0);
}

// Moves or resizes the window under way; the window may adjust the
// rectangle in WM_SIZING or WM_MOVING.
void TrackSizeMove(TPoint screen)
{
    auto& s = State();
    const HWND h = s.sizeMoveWnd;
    if (!Find(h) || s.capture != h) {
        s.sizeMoveWnd = nullptr;
        return;
    }
    const TPoint d = screen - s.sizeMoveStart;
    RECT r = s.sizeMoveRect;
    const LRESULT hit = s.sizeMoveHit;
    if (hit == HTCAPTION) {
        r.Offset(d.X, d.Y);
        SendMessage(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
        if (hit == HTLEFT || hit == HTTOPLEFT || hit == HTBOTTOMLEFT) r.Left = std::min(r.Left + d.X, r.Right - 1);
        if (hit == HTRIGHT || hit == HTTOPRIGHT || hit == HTBOTTOMRIGHT) r.Right = std::max(r.Right + d.X, r.Left + 1);
        if (hit == HTTOP || hit == HTTOPLEFT || hit == HTTOPRIGHT) r.Top = std::min(r.Top + d.Y, r.Bottom - 1);
        if (hit == HTBOTTOM || hit == HTBOTTOMLEFT || hit == HTBOTTOMRIGHT) r.Bottom = std::max(r.Bottom + d.Y, r.Top + 1);
        SendMessage(h, WM_SIZING, WPARAM(hit - HTLEFT + WMSZ_LEFT), reinterpret_cast<LPARAM>(&r));
    }
    if (Find(h))
        SetWindowPos(h, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

void InjectMouseMove(TPoint screen)
{
    auto& s = State();
    PointerMoved(screen);
    if (s.sizeMoveWnd) {
        TrackSizeMove(screen);
        return;
    }
    if (s.thumbWnd) {
        TrackThumb(screen);
        return;
    }
    auto [target, hit] = MouseTarget(screen);
    if (!target)
        return;
    TWnd* top = TopOf(Find(target));
    if (!s.capture) {
        if (top && (top->style & WS_DISABLED))
            return;
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(WORD(std::int16_t(hit)), WORD(WM_MOUSEMOVE)));
        if (!Find(target))
            return;
    }
    PostMouse(target, hit, WM_MOUSEMOVE, screen);
}

void InjectMouseButton(int button, bool down, TPoint screen)
{
    auto& s = State();
    if (button < 0 || button > 2)
        return;
    if (screen != s.pointer)
        InjectMouseMove(screen);
    int logical = button;
    if (button < 2 && GetSystemMetrics(SM_SWAPBUTTON))
        logical = 1 - button;
    SetKey(s.asyncKeys, ButtonVk(logical), down);
    if (s.sizeMoveWnd && !down && logical == 0) {
        SetKey(s.syncKeys, VK_LBUTTON, false);
        EndSizeMove();
        return;
    }
    if (s.thumbWnd && !down && logical == 0) {
        SetKey(s.syncKeys, VK_LBUTTON, false);
        EndThumbTrack();
        return;
    }
    static constexpr UINT kDown[3] = { WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN };
    UINT msg = down ? kDown[logical] : kDown[logical] + 1;
    auto [target, hit] = MouseTarget(screen);
    if (!target) {
        SetKey(s.syncKeys, ButtonVk(logical), down);
        if (down)
            Activate(nullptr, WA_INACTIVE); // a press outside every window of ours
        return;
    }
    TWnd* w = Find(target);
    TWnd* top = TopOf(w);
    if (down && !s.capture) {
        if (top && (top->style & WS_DISABLED)) {
            MessageBeep(MB_OK);
            return;
        }
        // Activation is settled before the press is queued, so the window
        // that loses activation hears of it before anyone sees the press.
        if (top && top->handle != s.active) {
            const LRESULT ma = SendMessage(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top->handle), MAKELPARAM(WORD(std::int16_t(hit)), WORD(msg)));
            if (ma == MA_ACTIVATE || ma == MA_ACTIVATEANDEAT)
                Activate(top->handle, WA_CLICKACTIVE);
            if (ma == MA_ACTIVATEANDEAT || ma == MA_NOACTIVATEANDEAT)
                return;
            if (!(w = Find(target)))
                return;
        }
        SendMessage(target, WM_SETCURSOR, reinterpret_cast<WPARAM>(target), MAKELPARAM(WORD(std::int16_t(hit)), WORD(msg)));
        if (!(w = Find(target)))
            return;
        // Double clicks: same window and button, within the time and the
        // distance the system allows, and never three in a row.
        const UInt64 now = GetTickCount64();
        const bool wantsDouble = hit != HTCLIENT || (w->cls && (w->cls->info.style & CS_DBLCLKS));
        const bool isDouble = wantsDouble && !s.lastWasDouble && s.lastClickWnd == target && s.lastClickButton == logical
            && now - s.lastClickTime <= GetDoubleClickTime()
            && std::abs(screen.X - s.lastClickPos.X) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2
            && std::abs(screen.Y - s.lastClickPos.Y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
        if (isDouble) {
            msg += 2;
            s.lastWasDouble = true;
        } else {
            s.lastWasDouble = false;
            s.lastClickWnd = target;
            s.lastClickButton = logical;
            s.lastClickTime = now;
            s.lastClickPos = screen;
        }
    } else if (!down && !s.capture && top && (top->style & WS_DISABLED))
        return;
    PostMouse(target, hit, msg, screen);
}

void InjectMouseWheel(int delta, TPoint screen, bool horizontal)
{
    auto& s = State();
    if (screen != s.pointer)
        PointerMoved(screen);
    HWND target = s.focus ? s.focus : s.active;
    if (!target) {
        TWnd* w = WindowAtPoint(screen);
        target = w ? w->handle : nullptr;
    }
    if (!target)
        return;
    const WPARAM wp = MAKEWPARAM(WORD(MouseKeyFlags()), WORD(std::int16_t(delta)));
    PostInput(target, horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL, wp, PackPoint(screen));
}

void InjectKey(WORD vk, bool down, bool autoRepeat)
{
    auto& s = State();
    if (vk == 0 || vk > 255)
        return;
    const bool wasDown = (s.asyncKeys[vk] & 0x80) != 0;
    SetKeyWithSides(s.asyncKeys, vk, down);
    if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = VK_SHIFT;
    if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = VK_CONTROL;
    if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
    const bool alt = (s.asyncKeys[VK_MENU] & 0x80) != 0 || (vk == VK_MENU && !down);
    const bool ctrl = (s.asyncKeys[VK_CONTROL] & 0x80) != 0;
    HWND target = s.focus;
    bool sys = (alt && !ctrl) || vk == VK_F10;
    if (!target) {
        target = s.active;
        sys = true; // with no focus the active window gets system keys
    }
    if (!target) {
        // Nobody reads this key, so the thread's view follows at once.
        SetKeyWithSides(s.syncKeys, vk, down);
        return;
    }
    const TScanCode sc = ScanCodeOf(vk);
    LPARAM data = 1 | (LPARAM(sc.code) << 16);
    if (sc.extended)
        data |= KF_EXTENDED_BIT;
    if (alt && !ctrl)
        data |= KF_ALTDOWN_BIT;
    if (down ? (wasDown || autoRepeat) : true)
        data |= KF_REPEAT_BIT;
    if (!down)
        data |= KF_UP_BIT;
    const UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    PostInput(target, msg, vk, data);
}

void InjectChar(char32_t ch)
{
    auto& s = State();
    const HWND target = s.focus ? s.focus : s.active;
    if (!target || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF))
        return;
    if (ch < 0x10000) {
        PostInput(target, WM_CHAR, WPARAM(ch), 1);
        return;
    }
    const char32_t v = ch - 0x10000;
    PostInput(target, WM_CHAR, WPARAM(0xD800 + (v >> 10)), 1);
    PostInput(target, WM_CHAR, WPARAM(0xDC00 + (v & 0x3FF)), 1);
}

void InjectCloseRequest(HWND top)
{
    if (IsWindow(top))
        PostInput(top, WM_CLOSE, 0, 0);
}

void InjectTopLevelMoved(HWND top, const TRect& r)
{
    TWnd* w = Find(top);
    if (!w || !w->IsTop())
        return;
    if (w->rect == r)
        return;
    SetWindowPos(top, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void InjectTopLevelMaximized(HWND top, bool maximized)
{
    TWnd* w = Find(top);
    if (!w || !w->IsTop() || ((w->style & WS_MAXIMIZE) != 0) == maximized)
        return;
    if (maximized) {
        w->style = (w->style | WS_MAXIMIZE) & ~WS_MINIMIZE;
        w->restoreRect = w->rect;
    } else {
        w->style &= ~WS_MAXIMIZE;
        w->restoreRect.reset();
    }
    // The size may have come first: tell the window its state either way.
    const TRect c = w->ClientRect();
    SendMessage(top, WM_SIZE, maximized ? 2 : 0, MAKELPARAM(WORD(c.Width()), WORD(c.Height())));
}

void InjectTopLevelFocused(HWND top)
{
    TWnd* w = Find(top);
    if (!w || !w->IsTop() || (w->exStyle & WS_EX_NOACTIVATE) || State().active == top)
        return;
    Activate(top, WA_ACTIVE);
}

// ---- Cursors --------------------------------------------------------------------------

namespace {

struct TCursorImage {
    UINT_PTR id { 0 };
    int width { 0 };
    int height { 0 };
    int hotX { 0 };
    int hotY { 0 };
    std::vector<std::uint32_t> argb;
};

std::map<UINT_PTR, std::unique_ptr<TCursorImage>>& StandardCursors()
{
    static std::map<UINT_PTR, std::unique_ptr<TCursorImage>> m;
    return m;
}

std::vector<std::unique_ptr<TCursorImage>>& CustomCursors()
{
    static std::vector<std::unique_ptr<TCursorImage>> v;
    return v;
}

std::map<std::pair<HINSTANCE, UINT_PTR>, HCURSOR>& CursorResources()
{
    static std::map<std::pair<HINSTANCE, UINT_PTR>, HCURSOR> m;
    return m;
}

bool IsStandardId(UINT_PTR id)
{
    switch (id) {
    case IDC_ARROW: case IDC_IBEAM: case IDC_WAIT: case IDC_CROSS: case IDC_UPARROW: case IDC_SIZENWSE:
    case IDC_SIZENESW: case IDC_SIZEWE: case IDC_SIZENS: case IDC_SIZEALL: case IDC_NO: case IDC_HAND:
    case IDC_APPSTARTING: case IDC_HELP:
        return true;
    default:
        return false;
    }
}

} // namespace

HCURSOR LoadCursor(HINSTANCE instance, UINT_PTR id)
{
    auto& res = CursorResources();
    if (auto it = res.find({ instance, id }); it != res.end())
        return it->second;
    if (!IsStandardId(id))
        return nullptr;
    auto& m = StandardCursors();
    auto& slot = m[id];
    if (!slot) {
        slot = std::make_unique<TCursorImage>();
        slot->id = id;
    }
    return reinterpret_cast<HCURSOR>(slot.get());
}

HCURSOR CreateCursorFromPixels(int width, int height, int hotX, int hotY, const std::uint32_t* argb)
{
    if (width <= 0 || height <= 0 || width > 256 || height > 256 || !argb)
        return nullptr;
    auto c = std::make_unique<TCursorImage>();
    c->width = width;
    c->height = height;
    c->hotX = std::clamp(hotX, 0, width - 1);
    c->hotY = std::clamp(hotY, 0, height - 1);
    c->argb.assign(argb, argb + std::size_t(width) * std::size_t(height));
    auto* h = reinterpret_cast<HCURSOR>(c.get());
    CustomCursors().push_back(std::move(c));
    return h;
}

void SetCursorResource(HINSTANCE instance, UINT_PTR id, HCURSOR cursor)
{
    CursorResources()[{ instance, id }] = cursor;
}

TCursorPixels GetCursorPixels(HCURSOR cursor)
{
    if (!cursor)
        return {};
    auto* c = reinterpret_cast<TCursorImage*>(cursor);
    if (c->argb.empty())
        return {};
    return { c->width, c->height, c->hotX, c->hotY, c->argb.data() };
}

UINT_PTR GetCursorId(HCURSOR cursor)
{
    return cursor ? reinterpret_cast<TCursorImage*>(cursor)->id : 0;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    auto& s = State();
    const HCURSOR old = s.cursor;
    s.cursor = cursor;
    if (old != cursor)
        GetWindowBackend().CursorChanged(cursor);
    return old;
}

HCURSOR GetCursor()
{
    return State().cursor;
}

bool GetCursorPos(POINT& p)
{
    p = State().pointer;
    return true;
}

bool SetCursorPos(int x, int y)
{
    GetWindowBackend().PointerWarped({ x, y });
    InjectMouseMove({ x, y });
    return true;
}

bool MessageBeep(UINT type)
{
    GetWindowBackend().Beep(type);
    return true;
}
