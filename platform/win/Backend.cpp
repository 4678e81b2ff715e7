#include "platform/win/Backend.h"

#include <atomic>
#include <cstring>

#include "platform/rtl/MainThread.h"
#include "platform/win/Headless.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace {

std::atomic<IWindowBackend*> g_backend { nullptr };

THeadlessBackend& DefaultBackend()
{
    static THeadlessBackend b;
    return b;
}

} // namespace

void SetWindowBackend(IWindowBackend* backend)
{
    g_backend.store(backend);
}

IWindowBackend& GetWindowBackend()
{
    IWindowBackend* b = g_backend.load();
    return b ? *b : DefaultBackend();
}

void InstallMessageLoopHooks()
{
    SetMainThread();
    SetMainThreadWakeHook([] { WakeQueue(); });
    SetProcessMessagesHook([] { Headless::PumpUntilIdle(); });
}

// ---- Headless helpers --------------------------------------------------------------

namespace Headless {

int PumpUntilIdle()
{
    int n = 0;
    MSG m;
    while (PeekMessage(m, nullptr, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            PostQuitMessage(int(m.wParam)); // leave it for the real loop
            break;
        }
        TranslateMessage(m);
        DispatchMessage(m);
        ++n;
    }
    return n;
}

void PassTime(TManualClock& clock, UInt64 ms)
{
    const UInt64 end = clock.NowMs() + ms;
    PumpUntilIdle();
    for (;;) {
        std::optional<UInt64> next;
        for (const auto& t : State().timers)
            if (!next || t.due < *next)
                next = t.due;
        if (!next || *next > end)
            break;
        if (*next > clock.NowMs())
            clock.Set(*next);
        PumpUntilIdle();
    }
    clock.Set(end);
    PumpUntilIdle();
}

void MouseMove(TPoint p) { InjectMouseMove(p); }
void MouseDown(TPoint p, int button) { InjectMouseButton(button, true, p); }
void MouseUp(TPoint p, int button) { InjectMouseButton(button, false, p); }

void Click(TPoint p, int button)
{
    InjectMouseButton(button, true, p);
    InjectMouseButton(button, false, p);
}

void DoubleClick(TPoint p, int button)
{
    Click(p, button);
    Click(p, button);
}

void Drag(TPoint from, TPoint to, int steps, int button)
{
    steps = std::max(1, steps);
    InjectMouseButton(button, true, from);
    PumpUntilIdle();
    for (int i = 1; i <= steps; ++i) {
        InjectMouseMove({ from.X + (to.X - from.X) * i / steps, from.Y + (to.Y - from.Y) * i / steps });
        PumpUntilIdle();
    }
    InjectMouseButton(button, false, to);
}

void Wheel(int delta, TPoint p) { InjectMouseWheel(delta, p); }

void Key(WORD vk, bool shift, bool ctrl, bool alt)
{
    if (shift) InjectKey(VK_SHIFT, true);
    if (ctrl) InjectKey(VK_CONTROL, true);
    if (alt) InjectKey(VK_MENU, true);
    InjectKey(vk, true);
    InjectKey(vk, false);
    if (alt) InjectKey(VK_MENU, false);
    if (ctrl) InjectKey(VK_CONTROL, false);
    if (shift) InjectKey(VK_SHIFT, false);
}

void Type(const String& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t ch = text[i];
        if (ch >= 0xD800 && ch <= 0xDBFF && i + 1 < text.size()) {
            InjectChar(0x10000 + ((char32_t(ch) - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00));
            ++i;
            continue;
        }
        const TKeyStroke k = VkKeyScanFor(ch);
        if (k.vk == 0) {
            InjectChar(ch);
            continue;
        }
        // Caps Lock flips letters; press Shift so the typed case comes out.
        const bool caps = (GetAsyncKeyState(VK_CAPITAL) & 1) != 0;
        const bool letter = k.vk >= 'A' && k.vk <= 'Z';
        Key(k.vk, letter && caps ? !k.shift : k.shift);
    }
}

std::uint32_t ScreenPixel(TPoint p)
{
    std::uint32_t out = 0;
    auto& desk = Desktop()->children;
    // Bottom to top, blending each window over what lies below.
    for (auto it = desk.rbegin(); it != desk.rend(); ++it) {
        TWnd* top = *it;
        if (!(top->style & WS_VISIBLE) || top->pixels.empty())
            continue;
        const TPoint local = p - top->rect.TopLeft();
        if (local.X < 0 || local.Y < 0 || local.X >= top->bufWidth || local.Y >= top->bufHeight)
            continue;
        if (top->region && !top->region->Contains(local))
            continue;
        std::uint32_t src;
        std::memcpy(&src, top->pixels.data() + (std::size_t(local.Y) * top->bufWidth + local.X) * 4, 4);
        unsigned alpha = 255;
        if ((top->exStyle & WS_EX_LAYERED) && (top->layeredFlags & LWA_ALPHA))
            alpha = top->alpha;
        if ((top->exStyle & WS_EX_LAYERED) && (top->layeredFlags & LWA_COLORKEY)) {
            const COLORREF c = RGB(BYTE(src >> 16), BYTE(src >> 8), BYTE(src));
            if (c == top->colorKey)
                continue;
        }
        if (top->perPixelAlpha) {
            // Premultiplied pixels: source plus what shows through.
            const unsigned sa = ((src >> 24) * alpha + 127) / 255;
            auto over = [&](int shift) {
                const unsigned s = (((src >> shift) & 0xFF) * alpha + 127) / 255, d = (out >> shift) & 0xFF;
                return std::uint32_t(std::min(255u, s + (d * (255 - sa) + 127) / 255)) << shift;
            };
            out = 0xFF000000u | over(16) | over(8) | over(0);
            continue;
        }
        // Window pixels count as opaque; the window's alpha blends it.
        auto mix = [&](int shift) {
            const unsigned s = (src >> shift) & 0xFF, d = (out >> shift) & 0xFF;
            return std::uint32_t((s * alpha + d * (255 - alpha) + 127) / 255) << shift;
        };
        out = 0xFF000000u | mix(16) | mix(8) | mix(0);
    }
    return out;
}

} // namespace Headless

THeadlessSession::THeadlessSession(TSize screen) : m_backend(screen)
{
    SetWindowBackend(&m_backend);
    SetClock(&m_clock);
    InstallMessageLoopHooks();
}

THeadlessSession::~THeadlessSession()
{
    std::vector<HWND> tops;
    for (TWnd* t : Desktop()->children)
        tops.push_back(t->handle);
    for (HWND h : tops)
        DestroyWindow(h);
    auto& s = State();
    s.timers.clear();
    s.quit = false;
    s.capture = s.focus = s.active = nullptr;
    std::fill(std::begin(s.syncKeys), std::end(s.syncKeys), 0);
    std::fill(std::begin(s.asyncKeys), std::end(s.asyncKeys), 0);
    s.lastClickWnd = nullptr;
    s.lastWasDouble = false;
    s.pointer = {};
    {
        auto& q = PostQueue();
        std::lock_guard g(q.lock);
        q.messages.clear();
    }
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetClock(nullptr);
    SetWindowBackend(nullptr);
}
