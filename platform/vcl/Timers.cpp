#include "platform/vcl/Timers.h"

#include <unordered_map>

#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

namespace {

// One hidden window takes every timer's WM_TIMER; the id names the timer.
std::unordered_map<UINT_PTR, TTimer*>& TimersById()
{
    // Lives until the process ends: timers owned by the application go at exit.
    static auto* map = new std::unordered_map<UINT_PTR, TTimer*>;
    return *map;
}

UINT_PTR g_nextId = 1;
HWND g_timerWindow = nullptr;

} // namespace

LRESULT TTimer::TimerWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_TIMER) {
        auto& map = TimersById();
        auto it = map.find(wParam);
        if (it != map.end()) {
            try {
                it->second->Timer();
            } catch (...) {
                Application->HandleException(it->second);
            }
        }
        return 0;
    }
    if (msg == WM_NCDESTROY && hwnd == g_timerWindow)
        g_timerWindow = nullptr;
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

QT_PUBLISHED(TTimer, QT_PROP(Enabled), QT_PROP(Interval), QT_EVENT(OnTimer))

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner)
{
    m_id = g_nextId++;
    TimersById()[m_id] = this;
    UpdateTimer();
}

TTimer::~TTimer()
{
    m_enabled = false;
    UpdateTimer();
    TimersById().erase(m_id);
}

void TTimer::SetEnabled(bool v)
{
    if (v == m_enabled)
        return;
    m_enabled = v;
    UpdateTimer();
}

void TTimer::SetInterval(UINT v)
{
    if (v == m_interval)
        return;
    m_interval = v;
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    if (m_running && g_timerWindow && IsWindow(g_timerWindow))
        KillTimer(g_timerWindow, m_id);
    m_running = false;
    if (!m_enabled || m_interval == 0)
        return;
    if (!g_timerWindow || !IsWindow(g_timerWindow)) {
        WNDCLASSEX existing;
        if (!GetClassInfoEx(u"TTimerWindow", existing)) {
            WNDCLASSEX wc;
            wc.lpfnWndProc = &TTimer::TimerWindowProc;
            wc.lpszClassName = u"TTimerWindow";
            RegisterClassEx(wc);
        }
        g_timerWindow = CreateWindowEx(WS_EX_TOOLWINDOW, u"TTimerWindow", u"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
            nullptr, nullptr);
    }
    m_running = SetTimer(g_timerWindow, m_id, m_interval, nullptr) != 0;
}

void TTimer::Timer()
{
    // The window timer runs while enabled; the handler is looked up at
    // each tick, so one assigned later takes effect at once.
    if (m_enabled && OnTimer)
        OnTimer(this);
}
