#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MainThread.h"

TEST(MainThread, QueuedCallsRunInOrderOnTheMainThread)
{
    SetMainThread();
    std::vector<int> order;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            QueueToMainThread([&, i] { EXPECT_TRUE(IsMainThread()); order.push_back(i); });
    });
    worker.join();
    EXPECT_TRUE(CheckSynchronize());
    EXPECT_EQ(order, (std::vector<int> { 0, 1, 2 }));
    EXPECT_FALSE(CheckSynchronize());
}

TEST(MainThread, SynchronizeWaitsAndCarriesExceptions)
{
    SetMainThread();
    std::atomic<bool> done { false };
    bool caught = false;
    std::thread worker([&] {
        try {
            SynchronizeWithMainThread([] { throw EAbort(u"stop"); });
        } catch (const EAbort&) {
            caught = true;
        }
        done = true;
    });
    while (!done) {
        WaitForMainThreadWork(std::chrono::milliseconds(10));
        CheckSynchronize();
    }
    worker.join();
    EXPECT_TRUE(caught);
}
