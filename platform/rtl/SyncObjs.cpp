#include "platform/rtl/SyncObjs.h"

#include <chrono>

void TEvent::SetEvent()
{
    {
        std::lock_guard g(m_lock);
        m_signalled = true;
    }
    if (m_manualReset)
        m_changed.notify_all();
    else
        m_changed.notify_one();
}

void TEvent::ResetEvent()
{
    std::lock_guard g(m_lock);
    m_signalled = false;
}

TWaitResult TEvent::WaitFor(DWORD timeoutMs)
{
    std::unique_lock g(m_lock);
    auto ready = [&] { return m_signalled; };
    if (timeoutMs == INFINITE)
        m_changed.wait(g, ready);
    else if (!m_changed.wait_for(g, std::chrono::milliseconds(timeoutMs), ready))
        return TWaitResult::wrTimeout;
    if (!m_manualReset)
        m_signalled = false;
    return TWaitResult::wrSignaled;
}

bool TEvent::TryWait()
{
    std::lock_guard g(m_lock);
    if (!m_signalled)
        return false;
    if (!m_manualReset)
        m_signalled = false;
    return true;
}
