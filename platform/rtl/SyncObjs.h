#pragma once
// Event objects threads wait on: manual-reset events stay signalled until
// reset, auto-reset events release one waiter and reset themselves.

#include <condition_variable>
#include <mutex>

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

inline constexpr DWORD INFINITE = 0xFFFFFFFFu;

enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError, wrIOCompletion };

class TEvent {
public:
    explicit TEvent(bool manualReset = true, bool initialState = false, const String& name = {})
        : m_manualReset(manualReset), m_signalled(initialState), m_name(name) { }
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent();
    void ResetEvent();
    // Waits up to `timeoutMs` real milliseconds (INFINITE: no limit).
    TWaitResult WaitFor(DWORD timeoutMs = INFINITE);
    // Answers at once whether the event is signalled, consuming an
    // auto-reset signal like a successful wait would.
    bool TryWait();

    bool GetManualReset() const { return m_manualReset; }
    const String& GetName() const { return m_name; }

private:
    bool m_manualReset { true };
    bool m_signalled { false };
    String m_name;
    std::mutex m_lock;
    std::condition_variable m_changed;
};
