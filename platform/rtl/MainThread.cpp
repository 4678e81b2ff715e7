#include "platform/rtl/MainThread.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <future>
#include <mutex>

namespace {

struct MainQueue {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<std::function<void()>> calls;
    std::function<void()> wake;
    std::function<void()> pump;
    std::thread::id mainId;
    bool mainSet { false };
};

MainQueue& queue()
{
    static MainQueue q;
    return q;
}

} // namespace

void SetMainThread()
{
    auto& q = queue();
    std::lock_guard g(q.lock);
    q.mainId = std::this_thread::get_id();
    q.mainSet = true;
}

std::thread::id MainThreadId()
{
    auto& q = queue();
    std::lock_guard g(q.lock);
    if (!q.mainSet) {
        q.mainId = std::this_thread::get_id();
        q.mainSet = true;
    }
    return q.mainId;
}

bool IsMainThread()
{
    return MainThreadId() == std::this_thread::get_id();
}

void QueueToMainThread(std::function<void()> fn)
{
    auto& q = queue();
    std::function<void()> wake;
    {
        std::lock_guard g(q.lock);
        q.calls.push_back(std::move(fn));
        wake = q.wake;
    }
    q.arrived.notify_all();
    if (wake)
        wake();
}

void SynchronizeWithMainThread(const std::function<void()>& fn)
{
    if (IsMainThread()) {
        fn();
        return;
    }
    std::promise<void> done;
    auto result = done.get_future();
    QueueToMainThread([&] {
        try {
            fn();
            done.set_value();
        } catch (...) {
            done.set_exception(std::current_exception());
        }
    });
    result.get();
}

bool CheckSynchronize()
{
    auto& q = queue();
    bool ran = false;
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard g(q.lock);
            if (q.calls.empty())
                return ran;
            call = std::move(q.calls.front());
            q.calls.pop_front();
        }
        ran = true;
        call();
    }
}

bool WaitForMainThreadWork(std::chrono::milliseconds timeout)
{
    auto& q = queue();
    std::unique_lock g(q.lock);
    return q.arrived.wait_for(g, timeout, [&] { return !q.calls.empty(); });
}

void SetMainThreadWakeHook(std::function<void()> wake)
{
    auto& q = queue();
    std::lock_guard g(q.lock);
    q.wake = std::move(wake);
}

void ProcessPendingMessages()
{
    std::function<void()> pump;
    {
        auto& q = queue();
        std::lock_guard g(q.lock);
        pump = q.pump;
    }
    if (pump)
        pump();
    else
        CheckSynchronize();
}

void SetProcessMessagesHook(std::function<void()> pump)
{
    auto& q = queue();
    std::lock_guard g(q.lock);
    q.pump = std::move(pump);
}
