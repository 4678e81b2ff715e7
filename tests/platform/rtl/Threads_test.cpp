#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Threads.h"

namespace {

class TLambdaThread : public TThread {
public:
    explicit TLambdaThread(std::function<void(TLambdaThread&)> body) : m_body(std::move(body)) { }
    ~TLambdaThread() override
    {
        Terminate();
        if (GetStarted() && !GetFinished() && !GetFreeOnTerminate())
            WaitFor();
    }
    bool Stopping() const { return GetTerminated(); }
    using TThread::SetReturnValue;

protected:
    void Execute() override { m_body(*this); }

private:
    std::function<void(TLambdaThread&)> m_body;
};

} // namespace

TEST(Clock, TickCountWrapsAt32BitsAndSleepAdvancesAManualClock)
{
    TManualClock clock(0xFFFFFFF0ull);
    TClockOverride use(clock);
    const DWORD before = GetTickCount();
    Sleep(0x20);
    EXPECT_EQ(GetTickCount64(), 0x100000010ull);
    EXPECT_EQ(GetTickCount(), 0x10u);
    // Elapsed time across the wrap is the unsigned difference.
    EXPECT_EQ(DWORD(GetTickCount() - before), 0x20u);
}

TEST(Clock, SystemClockIsRestoredAndMoves)
{
    {
        TManualClock clock(5);
        TClockOverride use(clock);
        EXPECT_EQ(GetTickCount64(), 5u);
    }
    const UInt64 a = GetTickCount64();
    Sleep(15);
    EXPECT_GE(GetTickCount64() - a, 10u);
}

TEST(Event, ResetModes)
{
    TEvent manual(true, false);
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::wrTimeout);
    manual.SetEvent();
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::wrSignaled);
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::wrSignaled); // stays signalled
    manual.ResetEvent();
    EXPECT_EQ(manual.WaitFor(0), TWaitResult::wrTimeout);

    TEvent automatic(false, true);
    EXPECT_EQ(automatic.WaitFor(0), TWaitResult::wrSignaled);
    EXPECT_EQ(automatic.WaitFor(0), TWaitResult::wrTimeout); // consumed
}

TEST(Event, AutoResetReleasesOneWaiterPerSignal)
{
    TEvent ev(false, false);
    std::atomic<int> released { 0 };
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (ev.WaitFor(2000) == TWaitResult::wrSignaled)
                ++released;
        });
    for (int i = 0; i < 3; ++i)
        ev.SetEvent(), std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(released.load(), 3);
    EXPECT_EQ(ev.WaitFor(0), TWaitResult::wrTimeout);
}

TEST(Thread, RunsUntilTerminatedAndReportsOnTheMainThread)
{
    SetMainThread();
    TEvent running(true, false);
    TLambdaThread t([&](TLambdaThread& self) {
        running.SetEvent();
        while (!self.Stopping())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        self.SetReturnValue(7);
    });
    bool terminatedOnMain = false;
    t.OnTerminate = [&](TThread* sender) { terminatedOnMain = IsMainThread() && sender == &t; };
    t.Start();
    ASSERT_EQ(running.WaitFor(2000), TWaitResult::wrSignaled);
    EXPECT_FALSE(t.GetFinished());
    t.Terminate();
    // WaitFor on the main thread must run the OnTerminate call the worker is
    // blocked on, or it would wait forever.
    EXPECT_EQ(t.WaitFor(), 7);
    EXPECT_TRUE(terminatedOnMain);
    EXPECT_THROW(t.Start(), EInvalidOperation);
}

TEST(Thread, SynchronizeAndQueueRunOnTheMainThreadInOrder)
{
    SetMainThread();
    std::vector<int> order;
    TLambdaThread t([&](TLambdaThread&) {
        TThread::Queue([&] { order.push_back(1); });
        TThread::Synchronize([&] { order.push_back(IsMainThread() ? 2 : -2); });
        order.push_back(3); // after Synchronize returned, on the worker
    });
    t.Start();
    t.WaitFor();
    EXPECT_EQ(order, (std::vector<int> { 1, 2, 3 }));
}

TEST(Thread, ExceptionInExecuteIsKeptNotLost)
{
    TLambdaThread t([](TLambdaThread&) { throw EAbort(u"boom"); });
    t.Start();
    t.WaitFor();
    ASSERT_TRUE(t.GetFatalException());
    EXPECT_THROW(std::rethrow_exception(t.GetFatalException()), EAbort);
}

TEST(Thread, FreeOnTerminateDeletesItself)
{
    SetMainThread();
    static std::atomic<int> destroyed;
    destroyed = 0;
    struct TCounted : TLambdaThread {
        using TLambdaThread::TLambdaThread;
        ~TCounted() override { ++destroyed; }
    };
    TEvent done(true, false);
    auto* t = new TCounted([](TLambdaThread&) { });
    t->SetFreeOnTerminate(true);
    t->OnTerminate = [&](TThread*) { done.SetEvent(); };
    t->Start();
    for (int i = 0; i < 2000 && destroyed == 0; ++i) {
        CheckSynchronize();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(done.WaitFor(0), TWaitResult::wrSignaled);
    EXPECT_EQ(destroyed.load(), 1);
}
