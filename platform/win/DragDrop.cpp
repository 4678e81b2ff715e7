#include "platform/win/DragDrop.h"

#include <cstring>
#include <deque>
#include <iterator>
#include <map>
#include <optional>

#include "platform/win/Clipboard.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace {

// ---- Registrations ------------------------------------------------------------------

struct TRegistration {
    TComPtr<IDropTarget> Target;
    // Tells a registration from a later one of the same window, so a loop
    // that saw one never calls the other by mistake.
    UInt64 Serial { 0 };
};

std::map<HWND, TRegistration>& Registrations()
{
    static std::map<HWND, TRegistration> m;
    return m;
}

UInt64 g_nextSerial = 1;

const TRegistration* RegistrationOf(HWND hwnd)
{
    auto& m = Registrations();
    auto it = m.find(hwnd);
    return it == m.end() ? nullptr : &it->second;
}

// Removes a registration; the target is released after the map no longer
// holds it, so its destructor may call back in.
bool Unregister(HWND hwnd)
{
    auto& m = Registrations();
    auto it = m.find(hwnd);
    if (it == m.end())
        return false;
    TComPtr<IDropTarget> target = std::move(it->second.Target);
    m.erase(it);
    return true;
}

// The registered window for a window under the pointer: itself or its
// nearest registered ancestor (children only; owners are not ancestors).
HWND RegisteredWindowAt(TWnd* w)
{
    for (; w && w != Desktop(); w = (w->style & WS_CHILD) ? w->parent : nullptr)
        if (RegistrationOf(w->handle))
            return w->handle;
    return nullptr;
}

DWORD DragKeyState()
{
    DWORD k = 0;
    if (GetKeyState(VK_LBUTTON) < 0) k |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) k |= MK_RBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) k |= MK_MBUTTON;
    if (GetKeyState(VK_SHIFT) < 0) k |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) k |= MK_CONTROL;
    if (GetKeyState(VK_MENU) < 0) k |= MK_ALT;
    return k;
}

// A hidden window of our own class: the drag loop's capture and timer, and
// the receiver of desktop drops.
constexpr const char16_t* kHelperClass = u"OleDragDropHelper";
LRESULT HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

HWND CreateHelperWindow()
{
    WNDCLASSEX wc;
    if (!GetClassInfoEx(kHelperClass, wc)) {
        wc.lpfnWndProc = &HelperProc;
        wc.lpszClassName = kHelperClass;
        RegisterClassEx(wc);
    }
    return CreateWindowEx(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kHelperClass, u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
        nullptr, nullptr);
}

// ---- The drag loop ------------------------------------------------------------------

class TDragLoop {
public:
    TDragLoop(IDataObject* data, IDropSource* source, DWORD okEffects) : m_data(data), m_source(source), m_ok(okEffects) { }

    HRESULT Run(DWORD& effect);
    // The tracker lost the capture or was told to cancel its mode.
    void CaptureLost()
    {
        if (!m_ending)
            m_captureLost = true;
    }

private:
    void Step();
    void Track(DWORD keys);
    void Finish(HRESULT result, DWORD keys);
    bool TargetAlive() const;
    void Input(const MSG& msg);

    TComPtr<IDataObject> m_data;
    TComPtr<IDropSource> m_source;
    DWORD m_ok;
    // The registered window under the pointer, and its target while that
    // target takes part (it refused by failing DragEnter otherwise).
    HWND m_targetWnd { nullptr };
    UInt64 m_targetSerial { 0 };
    TComPtr<IDropTarget> m_target;
    DWORD m_effect { DROPEFFECT_NONE };
    TPoint m_point;
    HWND m_tracker { nullptr };
    bool m_captureLost { false };
    bool m_ending { false };
    std::optional<HRESULT> m_result;
};

constexpr UINT_PTR kRestTimer = 1;

bool TDragLoop::TargetAlive() const
{
    const TRegistration* r = m_targetWnd ? RegistrationOf(m_targetWnd) : nullptr;
    return r && r->Serial == m_targetSerial;
}

void TDragLoop::Step()
{
    if (m_result)
        return;
    const DWORD keys = DragKeyState();
    HRESULT hr = GuardedCall([&] { return m_source->QueryContinueDrag(GetKeyState(VK_ESCAPE) < 0, keys); });
    if (m_captureLost)
        hr = DRAGDROP_S_CANCEL;
    if (hr != S_OK) {
        Finish(hr, keys);
        return;
    }
    Track(keys);
    if (m_tracker && IsWindow(m_tracker))
        SetTimer(m_tracker, kRestTimer, kDragRestIntervalMs, nullptr);
}

// The target side of a step, then the feedback.
void TDragLoop::Track(DWORD keys)
{
    // A target revoked (or whose window went) since the last step is let go
    // without another call.
    if (m_targetWnd && !TargetAlive()) {
        m_target.reset();
        m_targetWnd = nullptr;
    }
    const HWND under = RegisteredWindowAt(WindowAtPoint(m_point));
    DWORD effect = DROPEFFECT_NONE;
    if (under != m_targetWnd) {
        if (TComPtr<IDropTarget> old = std::exchange(m_target, nullptr); old && TargetAlive())
            GuardedCall([&] { return old->DragLeave(); });
        m_targetWnd = under;
        m_targetSerial = 0;
        // DragLeave may have revoked the new target or destroyed its window.
        if (const TRegistration* reg = under ? RegistrationOf(under) : nullptr) {
            m_targetSerial = reg->Serial;
            TComPtr<IDropTarget> target = reg->Target;
            effect = m_ok;
            if (SUCCEEDED(GuardedCall([&] { return target->DragEnter(m_data.get(), keys, m_point, &effect); })))
                m_target = target;
            else
                effect = DROPEFFECT_NONE;
        } else
            m_targetWnd = nullptr;
    } else if (m_target) {
        effect = m_ok;
        TComPtr<IDropTarget> target = m_target;
        if (FAILED(GuardedCall([&] { return target->DragOver(keys, m_point, &effect); })))
            effect = DROPEFFECT_NONE;
    }
    m_effect = effect & m_ok;
    const DWORD shown = m_effect;
    if (GuardedCall([&] { return m_source->GiveFeedback(shown); }) == DRAGDROP_S_USEDEFAULTCURSORS)
        SetCursor(GetDragCursor(shown));
}

void TDragLoop::Finish(HRESULT result, DWORD keys)
{
    TComPtr<IDropTarget> target = std::exchange(m_target, nullptr);
    const bool alive = target && TargetAlive();
    if (result == DRAGDROP_S_DROP && alive && m_effect != DROPEFFECT_NONE) {
        DWORD effect = m_ok;
        const HRESULT hr = GuardedCall([&] { return target->Drop(m_data.get(), keys, m_point, &effect); });
        m_effect = FAILED(hr) ? DROPEFFECT_NONE : effect & m_ok;
    } else {
        if (alive)
            GuardedCall([&] { return target->DragLeave(); });
        m_effect = DROPEFFECT_NONE;
    }
    m_targetWnd = nullptr;
    m_result = result;
}

// Input taken from the queue: every pointer move, button and key change is
// a step; characters and the wheel mean nothing to a drag.
void TDragLoop::Input(const MSG& msg)
{
    const UINT m = msg.message;
    const bool key = m == WM_KEYDOWN || m == WM_KEYUP || m == WM_SYSKEYDOWN || m == WM_SYSKEYUP;
    const bool mouse = !(m >= WM_KEYFIRST && m <= WM_KEYLAST) && m != WM_MOUSEWHEEL && m != WM_MOUSEHWHEEL;
    // Input queued before the capture was taken is addressed to other
    // windows in their own coordinates; the screen point is in every message.
    if (mouse)
        m_point = msg.pt;
    if (key || mouse)
        Step();
}

bool IsInput(UINT m)
{
    return (m >= WM_KEYFIRST && m <= WM_KEYLAST) || (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST)
        || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

HRESULT TDragLoop::Run(DWORD& effect)
{
    const HCURSOR before = GetCursor();
    m_tracker = CreateHelperWindow();
    if (!m_tracker)
        return E_OUTOFMEMORY;
    SetWindowLongPtr(m_tracker, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    struct TCleanUp {
        TDragLoop& loop;
        HCURSOR cursor;
        ~TCleanUp()
        {
            loop.m_ending = true;
            if (IsWindow(loop.m_tracker)) {
                SetWindowLongPtr(loop.m_tracker, GWLP_USERDATA, 0);
                if (GetCapture() == loop.m_tracker)
                    ReleaseCapture();
                DestroyWindow(loop.m_tracker);
            }
            SetCursor(cursor);
        }
    } cleanUp { *this, before };
    SetCapture(m_tracker);
    // The drag starts where the input that started it was; later input may
    // already be queued (it comes to the loop in order).
    m_point = State().messagePos;
    try {
        Step();
        while (!m_result) {
            MSG msg;
            if (!PeekMessage(msg, nullptr, 0, 0, PM_REMOVE)) {
                if (m_captureLost)
                    Finish(DRAGDROP_S_CANCEL, DragKeyState());
                else
                    WaitMessage();
                continue;
            }
            if (msg.message == WM_QUIT) {
                PostQuitMessage(int(msg.wParam)); // for the loop outside
                Finish(DRAGDROP_S_CANCEL, DragKeyState());
            } else if (IsInput(msg.message))
                Input(msg);
            else if (msg.hwnd == m_tracker && msg.message == WM_TIMER)
                Step();
            else
                DispatchMessage(msg);
            if (m_captureLost && !m_result)
                Finish(DRAGDROP_S_CANCEL, DragKeyState());
        }
    } catch (...) {
        // A window procedure threw while the loop dispatched for it: the
        // drag ends as cancelled rather than unwinding through its caller.
        if (!m_result)
            Finish(E_UNEXPECTED, DragKeyState());
    }
    effect = m_effect;
    return *m_result;
}

// ---- Desktop drops ------------------------------------------------------------------

struct TDesktopDrop {
    HWND Top { nullptr };
    TPoint Point;
    std::vector<String> Files;
    std::vector<String> Texts;
};

std::map<HWND, TDesktopDrop>& PendingDrops()
{
    static std::map<HWND, TDesktopDrop> m;
    return m;
}

std::deque<TDesktopDrop>& CompletedDrops()
{
    static std::deque<TDesktopDrop> q;
    return q;
}

HWND g_dropWindow = nullptr;
constexpr UINT WM_DESKTOPDROP = WM_USER + 0x0D0D;

void SetBlock(TDataObject& data, CLIPFORMAT format, HGLOBAL block)
{
    FORMATETC f;
    f.cfFormat = format;
    STGMEDIUM m;
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = block;
    data.SetData(&f, &m, TRUE);
}

TComPtr<IDataObject> DataOf(const TDesktopDrop& drop)
{
    TComPtr<TDataObject> data(new TDataObject);
    if (!drop.Files.empty())
        if (HGLOBAL block = CreateDropFiles(drop.Files, true, drop.Point))
            SetBlock(*data, CF_HDROP, block);
    if (!drop.Texts.empty()) {
        String text;
        for (const String& t : drop.Texts)
            text += (text.empty() ? u"" : u"\r\n") + t;
        text.push_back(u'\0');
        HGLOBAL block = GlobalAlloc(GHND, text.size() * 2);
        std::memcpy(GlobalLock(block), text.data(), text.size() * 2);
        GlobalUnlock(block);
        SetBlock(*data, CF_UNICODETEXT, block);
    }
    return TComPtr<IDataObject>(data.get());
}

// One drop at the point on the registered target there: enter, over, and a
// drop of a copy unless the target refused.
void PerformDesktopDrop(const TDesktopDrop& drop)
{
    if (!IsWindow(drop.Top) || (drop.Files.empty() && drop.Texts.empty()))
        return;
    TWnd* w = WindowAtPoint(drop.Point);
    if (!w || TopOf(w)->handle != drop.Top)
        w = Find(drop.Top);
    const HWND hwnd = RegisteredWindowAt(w);
    const TRegistration* reg = hwnd ? RegistrationOf(hwnd) : nullptr;
    if (!reg)
        return;
    const UInt64 serial = reg->Serial;
    TComPtr<IDropTarget> target = reg->Target;
    auto alive = [&] {
        const TRegistration* r = RegistrationOf(hwnd);
        return r && r->Serial == serial;
    };
    TComPtr<IDataObject> data = DataOf(drop);
    const DWORD keys = DragKeyState() & (MK_SHIFT | MK_CONTROL | MK_ALT);
    DWORD effect = DROPEFFECT_COPY;
    if (FAILED(GuardedCall([&] { return target->DragEnter(data.get(), keys, drop.Point, &effect); })))
        return;
    effect = DROPEFFECT_COPY;
    if (!alive() || FAILED(GuardedCall([&] { return target->DragOver(keys, drop.Point, &effect); })))
        effect = DROPEFFECT_NONE;
    if (!alive())
        return;
    if (effect & DROPEFFECT_COPY) {
        effect = DROPEFFECT_COPY;
        GuardedCall([&] { return target->Drop(data.get(), keys, drop.Point, &effect); });
    } else
        GuardedCall([&] { return target->DragLeave(); });
}

LRESULT HelperProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* loop = reinterpret_cast<TDragLoop*>(GetWindowLongPtr(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CANCELMODE:
        if (loop)
            loop->CaptureLost();
        break;
    case WM_CAPTURECHANGED:
        if (loop && reinterpret_cast<HWND>(lParam) != hwnd)
            loop->CaptureLost();
        return 0;
    case WM_DESKTOPDROP:
        if (hwnd == g_dropWindow && !CompletedDrops().empty()) {
            const TDesktopDrop drop = std::move(CompletedDrops().front());
            CompletedDrops().pop_front();
            PerformDesktopDrop(drop);
        }
        return 0;
    case WM_NCDESTROY:
        if (hwnd == g_dropWindow) {
            g_dropWindow = nullptr;
            CompletedDrops().clear();
        }
        break;
    default:
        break;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

} // namespace

void winimpl::ForgetDropTarget(HWND hwnd)
{
    PendingDrops().erase(hwnd);
    Unregister(hwnd);
}

HRESULT RegisterDragDrop(HWND hwnd, IDropTarget* target)
{
    if (!OleStarted())
        return CO_E_NOTINITIALIZED;
    if (!target)
        return E_INVALIDARG;
    if (!IsWindow(hwnd))
        return DRAGDROP_E_INVALIDHWND;
    auto& m = Registrations();
    if (m.count(hwnd))
        return DRAGDROP_E_ALREADYREGISTERED;
    m[hwnd] = TRegistration { TComPtr<IDropTarget>(target), g_nextSerial++ };
    return S_OK;
}

HRESULT RevokeDragDrop(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return DRAGDROP_E_INVALIDHWND;
    return Unregister(hwnd) ? S_OK : DRAGDROP_E_NOTREGISTERED;
}

HRESULT DoDragDrop(IDataObject* dataObject, IDropSource* dropSource, DWORD okEffects, DWORD* effect)
{
    if (!dataObject || !dropSource || !effect)
        return E_INVALIDARG;
    *effect = DROPEFFECT_NONE;
    if (!OleStarted())
        return CO_E_NOTINITIALIZED;
    TDragLoop loop(dataObject, dropSource, okEffects);
    return loop.Run(*effect);
}

// ---- Cursors --------------------------------------------------------------------------

namespace {

// The arrow with a small sheet below right of it: plain for move, with a
// plus for copy and with a bent arrow for link. 'X' black, '.' white.
constexpr const char* kArrow[] = {
    "X",
    "XX",
    "X.X",
    "X..X",
    "X...X",
    "X....X",
    "X.....X",
    "X......X",
    "X.......X",
    "X........X",
    "X.........X",
    "X......XXXXX",
    "X...X..X",
    "X..XX..X",
    "X.X  X..X",
    "XX   X..X",
    "X     X..X",
    "      X..X",
    "       XX",
};

constexpr const char* kCopyMark[] = { "   ", "    X", "    X", "  XXXXX", "    X", "    X" };
constexpr const char* kLinkMark[] = { "  XXXX", "    XX", "   X X", "  X  X", " X", "X" };

HCURSOR MakeDragCursor(const char* const* mark, int markRows)
{
    constexpr int kSize = 32;
    std::vector<std::uint32_t> px(kSize * kSize, 0);
    auto put = [&](int x, int y, char c) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize)
            return;
        if (c == 'X')
            px[std::size_t(y * kSize + x)] = 0xFF000000u;
        else if (c == '.')
            px[std::size_t(y * kSize + x)] = 0xFFFFFFFFu;
    };
    int y = 0;
    for (const char* row : kArrow) {
        for (int x = 0; row[x]; ++x)
            put(x, y, row[x]);
        ++y;
    }
    // The sheet: a 12 x 10 box.
    constexpr int bx = 12, by = 19, bw = 12, bh = 10;
    for (int yy = 0; yy < bh; ++yy)
        for (int xx = 0; xx < bw; ++xx)
            put(bx + xx, by + yy, (yy == 0 || yy == bh - 1 || xx == 0 || xx == bw - 1) ? 'X' : '.');
    for (int r = 0; r < markRows; ++r)
        for (int x = 0; mark[r][x]; ++x)
            put(bx + 2 + x, by + 2 + r, mark[r][x]);
    return CreateCursorFromPixels(kSize, kSize, 0, 0, px.data());
}

} // namespace

HCURSOR GetDragCursor(DWORD effect)
{
    static const HCURSOR move = MakeDragCursor(nullptr, 0);
    static const HCURSOR copy = MakeDragCursor(kCopyMark, int(std::size(kCopyMark)));
    static const HCURSOR link = MakeDragCursor(kLinkMark, int(std::size(kLinkMark)));
    if (effect & DROPEFFECT_MOVE)
        return move;
    if (effect & DROPEFFECT_COPY)
        return copy;
    if (effect & DROPEFFECT_LINK)
        return link;
    return LoadCursor(nullptr, IDC_NO);
}

// ---- Desktop drop input -------------------------------------------------------------

void InjectDropBegin(HWND top)
{
    if (IsWindow(top))
        PendingDrops()[top] = TDesktopDrop { top, {}, {}, {} };
}

void InjectDropFile(HWND top, const String& path)
{
    if (IsWindow(top) && !path.empty())
        PendingDrops()[top].Files.push_back(path);
}

void InjectDropText(HWND top, const String& text)
{
    if (IsWindow(top) && !text.empty())
        PendingDrops()[top].Texts.push_back(text);
}

void InjectDropComplete(HWND top, TPoint screen)
{
    auto& pending = PendingDrops();
    auto it = pending.find(top);
    if (it == pending.end())
        return;
    TDesktopDrop drop = std::move(it->second);
    pending.erase(it);
    if (!IsWindow(top) || (drop.Files.empty() && drop.Texts.empty()))
        return;
    drop.Top = top;
    drop.Point = screen;
    if (!IsWindow(g_dropWindow))
        g_dropWindow = CreateHelperWindow();
    if (!g_dropWindow)
        return;
    CompletedDrops().push_back(std::move(drop));
    PostMessage(g_dropWindow, WM_DESKTOPDROP, 0, 0);
}
