#include <algorithm>

#include "platform/rtl/Clock.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace {

thread_local bool t_inCrossThreadSend = false;

std::map<String, UINT>& Atoms()
{
    static std::map<String, UINT> atoms;
    return atoms;
}

bool InRange(UINT msg, UINT lo, UINT hi)
{
    return (lo == 0 && hi == 0) || (msg >= lo && msg <= hi);
}

bool WindowMatches(HWND filter, HWND target)
{
    if (!filter)
        return true;
    if (filter == reinterpret_cast<HWND>(-1))
        return target == nullptr;
    return filter == target;
}

bool IsKeyOrMouse(UINT m)
{
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

std::optional<MSG> TakePosted(HWND filter, UINT lo, UINT hi, bool remove)
{
    auto& q = PostQueue();
    std::lock_guard g(q.lock);
    for (auto it = q.messages.begin(); it != q.messages.end(); ++it) {
        if (!WindowMatches(filter, it->hwnd) || !InRange(it->message, lo, hi))
            continue;
        MSG m = *it;
        if (remove)
            q.messages.erase(it);
        return m;
    }
    return std::nullopt;
}

TWnd* FindPaintable(TWnd* w, HWND filter)
{
    for (TWnd* c : w->children) {
        if (!(c->style & WS_VISIBLE))
            continue;
        if (NeedsPaint(c) && WindowMatches(filter, c->handle))
            return c;
        if (TWnd* d = FindPaintable(c, filter))
            return d;
    }
    return nullptr;
}

TTimer* DueTimer(HWND filter)
{
    auto& s = State();
    const UInt64 now = GetTickCount64();
    TTimer* best = nullptr;
    for (auto& t : s.timers) {
        if (t.due > now || !WindowMatches(filter, t.hwnd))
            continue;
        if (!best || t.due < best->due || (t.due == best->due && t.order < best->order))
            best = &t;
    }
    return best;
}

std::optional<UInt64> NextTimerDue()
{
    std::optional<UInt64> due;
    for (auto& t : State().timers)
        if (!due || t.due < *due)
            due = t.due;
    auto& s = State();
    if (s.trackHover) {
        const UInt64 hover = s.lastMove + s.hoverTime;
        if (!due || hover < *due)
            due = hover;
    }
    return due;
}

void StampMessage(MSG& m)
{
    auto& s = State();
    m.time = GetTickCount();
    m.pt = s.pointer;
}

} // namespace

LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!IsMainThread()) {
        LRESULT r = 0;
        SynchronizeWithMainThread([&] {
            t_inCrossThreadSend = true;
            try {
                r = SendMessage(hwnd, msg, wParam, lParam);
            } catch (...) {
                t_inCrossThreadSend = false;
                throw;
            }
            t_inCrossThreadSend = false;
        });
        return r;
    }
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop() || !w->proc)
        return 0;
    auto& s = State();
    ++s.sendDepth;
    struct Depth { ~Depth() { --State().sendDepth; } } depth;
    return w->proc(hwnd, msg, wParam, lParam);
}

bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = hwnd;
    m.message = msg;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = GetTickCount();
    {
        auto& q = PostQueue();
        std::lock_guard g(q.lock);
        q.messages.push_back(m);
    }
    WakeQueue();
    return true;
}

bool PostThreadMessage(DWORD, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return PostMessage(nullptr, msg, wParam, lParam);
}

void PostQuitMessage(int exitCode)
{
    auto& s = State();
    s.quit = true;
    s.quitCode = exitCode;
    WakeQueue();
}

bool PeekMessage(MSG& msg, HWND hwnd, UINT lo, UINT hi, UINT removeFlags)
{
    const bool remove = (removeFlags & PM_REMOVE) != 0;
    if (IsMainThread())
        CheckSynchronize(); // calls other threads are waiting on come first
    GetWindowBackend().PollEvents();
    CheckMouseHover();
    auto& s = State();
    std::optional<MSG> m;
    while ((m = TakePosted(hwnd, lo, hi, remove)) && m->hwnd && !Find(m->hwnd)) {
        // The window went away after the post; drop what was meant for it.
        if (!remove) {
            auto& q = PostQueue();
            std::lock_guard g(q.lock);
            std::erase_if(q.messages, [&](const MSG& x) { return x.hwnd == m->hwnd; });
        }
    }
    if (m) {
        msg = *m;
        if (remove) {
            s.messageTime = msg.time;
            s.messagePos = msg.pt;
            if (IsKeyOrMouse(msg.message))
                KeyMessageTaken(msg);
        }
        return true;
    }
    if (s.quit && InRange(WM_QUIT, lo, hi)) {
        msg = MSG {};
        msg.message = WM_QUIT;
        msg.wParam = WPARAM(s.quitCode);
        if (remove)
            s.quit = false;
        StampMessage(msg);
        return true;
    }
    if (InRange(WM_PAINT, lo, hi)) {
        if (TWnd* w = FindPaintable(Desktop(), hwnd)) {
            msg = MSG {};
            msg.hwnd = w->handle;
            msg.message = WM_PAINT;
            StampMessage(msg);
            return true;
        }
    }
    if (InRange(WM_TIMER, lo, hi)) {
        if (TTimer* t = DueTimer(hwnd)) {
            msg = MSG {};
            msg.hwnd = t->hwnd;
            msg.message = WM_TIMER;
            msg.wParam = t->id;
            msg.lParam = reinterpret_cast<LPARAM>(t->proc);
            StampMessage(msg);
            if (remove)
                t->due = GetTickCount64() + t->interval;
            return true;
        }
    }
    PresentDirtyWindows();
    return false;
}

bool WaitMessage(DWORD timeoutMs)
{
    auto& q = PostQueue();
    {
        std::lock_guard g(q.lock);
        if (!q.messages.empty() || q.wake) {
            q.wake = false;
            return true;
        }
    }
    if (State().quit)
        return true;
    DWORD wait = timeoutMs;
    if (auto due = NextTimerDue()) {
        const UInt64 now = GetTickCount64();
        const DWORD untilDue = *due <= now ? 0 : DWORD(std::min<UInt64>(*due - now, 0x7FFFFFFF));
        if (untilDue <= wait) {
            if (GetClock().IsVirtual()) {
                // Virtual time: nothing else can happen before the timer, so
                // let the time pass at once.
                Sleep(untilDue);
                return true;
            }
            wait = untilDue;
        }
    }
    if (wait == 0)
        return false;
    if (GetWindowBackend().WaitEvents(wait))
        return true;
    std::unique_lock g(q.lock);
    auto ready = [&] { return !q.messages.empty() || q.wake; };
    bool got;
    if (wait == INFINITE) {
        q.arrived.wait(g, ready);
        got = true;
    } else
        got = q.arrived.wait_for(g, std::chrono::milliseconds(wait), ready);
    q.wake = false;
    return got;
}

int GetMessage(MSG& msg, HWND hwnd, UINT lo, UINT hi)
{
    for (;;) {
        if (PeekMessage(msg, hwnd, lo, hi, PM_REMOVE))
            return msg.message == WM_QUIT ? 0 : 1;
        WaitMessage(INFINITE);
    }
}

LRESULT DispatchMessage(const MSG& msg)
{
    if (!msg.hwnd) {
        if (msg.message == WM_TIMER && msg.lParam)
            reinterpret_cast<TIMERPROC>(msg.lParam)(nullptr, WM_TIMER, msg.wParam, GetTickCount());
        return 0;
    }
    TWnd* w = Find(msg.hwnd);
    if (!w)
        return 0;
    if (msg.message == WM_TIMER && msg.lParam) {
        // A timer procedure runs only while its timer still exists.
        const bool alive = std::any_of(State().timers.begin(), State().timers.end(),
            [&](const TTimer& t) { return t.hwnd == msg.hwnd && t.id == msg.wParam; });
        if (alive)
            reinterpret_cast<TIMERPROC>(msg.lParam)(msg.hwnd, WM_TIMER, msg.wParam, GetTickCount());
        return 0;
    }
    if (msg.message == WM_PAINT) {
        const TRegion before = w->update;
        const LRESULT r = SendMessage(msg.hwnd, WM_PAINT, 0, 0);
        // A procedure that neither painted nor validated would be asked
        // again and again; the window system validates for it.
        if ((w = Find(msg.hwnd)) && NeedsPaint(w) && w->update == before) {
            w->update.Clear();
            w->internalPaint = w->erasePending = w->framePending = false;
        }
        return r;
    }
    return SendMessage(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

bool InSendMessage()
{
    return t_inCrossThreadSend;
}

DWORD GetMessageTime()
{
    return State().messageTime;
}

DWORD GetMessagePos()
{
    const TPoint p = State().messagePos;
    return MAKELONG(WORD(std::int16_t(p.X)), WORD(std::int16_t(p.Y)));
}

DWORD GetCurrentThreadId()
{
    return DWORD(std::hash<std::thread::id> {}(std::this_thread::get_id()) & 0x7FFFFFFF);
}

UINT RegisterWindowMessage(const String& name)
{
    if (name.empty())
        return 0;
    String key = name;
    for (auto& ch : key)
        if (ch >= u'a' && ch <= u'z')
            ch = char16_t(ch - 32);
    auto& atoms = Atoms();
    auto it = atoms.find(key);
    if (it != atoms.end())
        return it->second;
    const UINT id = UINT(0xC000 + atoms.size());
    if (id > 0xFFFF)
        return 0;
    atoms.emplace(key, id);
    return id;
}

// ---- Timers ---------------------------------------------------------------------

UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc)
{
    auto& s = State();
    if (hwnd && !IsWindow(hwnd))
        return 0;
    const UINT interval = std::clamp<UINT>(elapseMs, 10, 0x7FFFFFFF);
    if (!hwnd) {
        auto it = std::find_if(s.timers.begin(), s.timers.end(), [&](const TTimer& t) { return !t.hwnd && t.id == id && id != 0; });
        if (it == s.timers.end())
            id = s.nextThreadTimer++;
    }
    for (auto& t : s.timers)
        if (t.hwnd == hwnd && t.id == id) {
            t.interval = interval;
            t.due = GetTickCount64() + interval;
            t.proc = proc;
            return hwnd ? (id ? id : 1) : id;
        }
    s.timers.push_back({ hwnd, id, interval, GetTickCount64() + interval, proc, s.timerOrder++ });
    WakeQueue();
    return hwnd ? (id ? id : 1) : id;
}

bool KillTimer(HWND hwnd, UINT_PTR id)
{
    auto& s = State();
    const auto n = std::erase_if(s.timers, [&](const TTimer& t) { return t.hwnd == hwnd && t.id == id; });
    return n > 0;
}

// ---- Default handling ---------------------------------------------------------

namespace {

LRESULT DefaultHitTest(TWnd* w, TPoint screen)
{
    RECT wr;
    GetWindowRect(w->handle, wr);
    if (!wr.Contains(screen))
        return HTNOWHERE;
    const TPoint local = screen - wr.TopLeft();
    const TRect client = Bounds(w->nc.Left, w->nc.Top, w->ClientRect().Width(), w->ClientRect().Height());
    if (client.Contains(local))
        return HTCLIENT;
    const TRect inner = DefaultClientInsets(w->style & ~(WS_VSCROLL | WS_HSCROLL), w->exStyle, w->IsTop());
    const TRect scrollArea(inner.Left, inner.Top, wr.Width() - inner.Right, wr.Height() - inner.Bottom);
    if (scrollArea.Contains(local)) {
        if ((w->style & WS_VSCROLL) && local.X >= client.Right)
            return local.Y >= client.Bottom ? HTSIZE : HTVSCROLL;
        if ((w->style & WS_HSCROLL) && local.Y >= client.Bottom)
            return HTHSCROLL;
    }
    if (w->style & WS_THICKFRAME) {
        const bool l = local.X < inner.Left, r = local.X >= wr.Width() - inner.Right;
        const bool t = local.Y < inner.Top, b = local.Y >= wr.Height() - inner.Bottom;
        if (t) return l ? HTTOPLEFT : r ? HTTOPRIGHT : HTTOP;
        if (b) return l ? HTBOTTOMLEFT : r ? HTBOTTOMRIGHT : HTBOTTOM;
        if (l) return HTLEFT;
        if (r) return HTRIGHT;
    }
    return HTBORDER;
}

UINT_PTR CursorForHit(LRESULT hit)
{
    switch (hit) {
    case HTLEFT: case HTRIGHT: return IDC_SIZEWE;
    case HTTOP: case HTBOTTOM: return IDC_SIZENS;
    case HTTOPLEFT: case HTBOTTOMRIGHT: return IDC_SIZENWSE;
    case HTTOPRIGHT: case HTBOTTOMLEFT: return IDC_SIZENESW;
    default: return IDC_ARROW;
    }
}

} // namespace

LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return 0;
    switch (msg) {
    case WM_NCCREATE:
        return TRUE;
    case WM_NCCALCSIZE: {
        if (auto* r = reinterpret_cast<RECT*>(lParam)) {
            const TRect in = DefaultClientInsets(w->style, w->exStyle, w->IsTop());
            r->Left += in.Left;
            r->Top += in.Top;
            r->Right = std::max(r->Left, r->Right - in.Right);
            r->Bottom = std::max(r->Top, r->Bottom - in.Bottom);
        }
        return 0;
    }
    case WM_NCHITTEST:
        return DefaultHitTest(w, TPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
    case WM_NCPAINT: {
        if (w->nc == TRect())
            return 0;
        if (IDeviceContextFactory* f = GetDeviceContextFactory()) {
            if (HDC dc = GetWindowDC(hwnd)) {
                if ((w = Find(hwnd))) {
                    DWORD style = w->style, exStyle = w->exStyle;
                    OwnFrameStyles(style, exStyle, w->IsTop());
                    f->DrawWindowFrame(dc, TRect(0, 0, w->rect.Width(), w->rect.Height()), style, exStyle);
                }
                if ((w = Find(hwnd)))
                    PaintScrollBars(w, dc);
                ReleaseDC(hwnd, dc);
            }
        }
        return 0;
    }
    case WM_NCACTIVATE:
        return TRUE;
    case WM_ERASEBKGND: {
        HBRUSH brush = w->cls ? w->cls->info.hbrBackground : nullptr;
        IDeviceContextFactory* f = GetDeviceContextFactory();
        if (!brush || !f || !wParam)
            return 0;
        return f->FillBackground(reinterpret_cast<HDC>(wParam), w->ClientRect(), brush) ? 1 : 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(hwnd, ps);
        EndPaint(hwnd, ps);
        return 0;
    }
    case WM_SETTEXT:
        w->text = lParam ? String(reinterpret_cast<const char16_t*>(lParam)) : String();
        if (w->IsTop())
            GetWindowBackend().TopLevelChanged(hwnd);
        return TRUE;
    case WM_GETTEXT: {
        if (wParam == 0 || !lParam)
            return 0;
        auto* out = reinterpret_cast<char16_t*>(lParam);
        const std::size_t n = std::min<std::size_t>(w->text.size(), wParam - 1);
        std::copy_n(w->text.data(), n, out);
        out[n] = 0;
        return LRESULT(n);
    }
    case WM_GETTEXTLENGTH:
        return LRESULT(w->text.size());
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_MOUSEACTIVATE:
        if (w->style & WS_CHILD) {
            if (LRESULT r = SendMessage(w->parent->handle, WM_MOUSEACTIVATE, wParam, lParam))
                return r;
        }
        return (TopOf(w)->exStyle & WS_EX_NOACTIVATE) ? MA_NOACTIVATE : MA_ACTIVATE;
    case WM_SETCURSOR: {
        if ((w->style & WS_CHILD) && SendMessage(w->parent->handle, WM_SETCURSOR, wParam, lParam))
            return TRUE;
        const LRESULT hit = LRESULT(std::int16_t(LOWORD(WPARAM(lParam))));
        if (hit == HTCLIENT) {
            if (w->cls && w->cls->info.hCursor) {
                SetCursor(w->cls->info.hCursor);
                return TRUE;
            }
            return FALSE;
        }
        if (hit == HTERROR)
            return FALSE;
        SetCursor(LoadCursor(nullptr, CursorForHit(hit)));
        return TRUE;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
    case WM_CONTEXTMENU:
        if (w->style & WS_CHILD)
            return SendMessage(w->parent->handle, msg, wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !(w->style & WS_MINIMIZE))
            SetFocus(hwnd);
        return 0;
    case WM_SETREDRAW:
        w->redraw = wParam != 0;
        return 0;
    case WM_WINDOWPOSCHANGED: {
        const auto* wp = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (!wp)
            return 0;
        if (!(wp->flags & SWP_NOMOVE))
            SendMessage(hwnd, WM_MOVE, 0, MAKELPARAM(WORD(w->rect.Left + w->nc.Left), WORD(w->rect.Top + w->nc.Top)));
        if (!(wp->flags & SWP_NOSIZE) && (w = Find(hwnd))) {
            const TRect c = w->ClientRect();
            SendMessage(hwnd, WM_SIZE, (w->style & WS_MAXIMIZE) ? 2 : (w->style & WS_MINIMIZE) ? 1 : 0,
                MAKELPARAM(WORD(c.Width()), WORD(c.Height())));
        }
        return 0;
    }
    case WM_CANCELMODE:
        if (State().capture == hwnd)
            ReleaseCapture();
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_NCLBUTTONDOWN: {
        const LRESULT hit = LRESULT(wParam);
        if (hit == HTHSCROLL || hit == HTVSCROLL) {
            ScrollBarPress(w, hit, TPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            return 0;
        }
        if (hit == HTCAPTION || (hit >= HTLEFT && hit <= HTBOTTOMRIGHT))
            BeginSizeMove(TopOf(w) == w ? hwnd : TopOf(w)->handle, hit, TPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
        return 0;
    }
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (lParam & KF_ALTDOWN_BIT)) {
            PostMessage(TopOf(w)->handle, WM_CLOSE, 0, 0);
            return 0;
        }
        return 0;
    default:
        return 0;
    }
}
