#include "platform/win/Sync.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "platform/rtl/SyncObjs.h"
#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

namespace {

struct THandles {
    std::mutex lock;
    std::set<TEvent*> events;
};

THandles& Handles()
{
    static THandles h;
    return h;
}

// Events live until CloseHandle; a handle that is not one answers null.
TEvent* EventOf(HANDLE h)
{
    auto& hs = Handles();
    std::lock_guard g(hs.lock);
    auto* e = static_cast<TEvent*>(h);
    return hs.events.count(e) ? e : nullptr;
}

bool MessageWaiting()
{
    auto& q = winimpl::PostQueue();
    std::lock_guard g(q.lock);
    return !q.messages.empty();
}

} // namespace

HANDLE CreateEvent(void*, bool manualReset, bool initialState, const char16_t* name)
{
    auto e = std::make_unique<TEvent>(manualReset, initialState, name ? String(name) : String());
    auto& hs = Handles();
    std::lock_guard g(hs.lock);
    TEvent* raw = e.release();
    hs.events.insert(raw);
    return raw;
}

bool SetEvent(HANDLE event)
{
    TEvent* e = EventOf(event);
    if (!e)
        return false;
    e->SetEvent();
    return true;
}

bool ResetEvent(HANDLE event)
{
    TEvent* e = EventOf(event);
    if (!e)
        return false;
    e->ResetEvent();
    return true;
}

bool CloseHandle(HANDLE handle)
{
    auto& hs = Handles();
    std::lock_guard g(hs.lock);
    auto* e = static_cast<TEvent*>(handle);
    if (!hs.events.erase(e))
        return false;
    delete e;
    return true;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs)
{
    TEvent* e = EventOf(handle);
    if (!e)
        return WAIT_FAILED;
    return e->WaitFor(timeoutMs) == TWaitResult::wrSignaled ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}

DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD timeoutMs, DWORD wakeMask)
{
    for (DWORD i = 0; i < count; ++i)
        if (!EventOf(handles[i]))
            return WAIT_FAILED;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (waitAll) {
            bool all = true;
            for (DWORD i = 0; i < count && all; ++i) {
                TEvent* e = EventOf(handles[i]);
                all = e && e->WaitFor(0) == TWaitResult::wrSignaled;
                if (all && !e->GetManualReset())
                    e->SetEvent(); // only peeked; taken below when all are set
            }
            if (all && count > 0) {
                for (DWORD i = 0; i < count; ++i)
                    EventOf(handles[i])->TryWait();
                return WAIT_OBJECT_0;
            }
        } else {
            for (DWORD i = 0; i < count; ++i)
                if (TEvent* e = EventOf(handles[i]); e && e->TryWait())
                    return WAIT_OBJECT_0 + i;
        }
        if (wakeMask != 0 && MessageWaiting())
            return WAIT_OBJECT_0 + count;
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        if (timeoutMs != INFINITE && elapsed >= std::int64_t(timeoutMs))
            return WAIT_TIMEOUT;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
