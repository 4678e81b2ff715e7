#pragma once
// Handing work to the main (GUI) thread. Workers never touch GUI state; they
// queue a call here. The windowing layer installs a wake hook that posts a
// message so its loop calls CheckSynchronize; without a hook, whoever owns
// the main thread calls CheckSynchronize (or WaitForMainThreadWork) itself.

#include <chrono>
#include <functional>
#include <thread>

// Marks the calling thread as the main thread (the first caller of any of
// these functions is taken otherwise).
void SetMainThread();
bool IsMainThread();
std::thread::id MainThreadId();

// Queues `fn` to run on the main thread, in order; returns at once.
void QueueToMainThread(std::function<void()> fn);
// Runs `fn` on the main thread and waits for it; run at once when called on
// the main thread. An exception raised by `fn` is re-raised in the caller.
void SynchronizeWithMainThread(const std::function<void()>& fn);
// Runs the queued calls; answers whether any ran. Main thread only.
bool CheckSynchronize();
// Blocks the main thread until queued work arrives or the time runs out.
bool WaitForMainThreadWork(std::chrono::milliseconds timeout);
// Called after each queued call so an idle message loop wakes up.
void SetMainThreadWakeHook(std::function<void()> wake);

// Lets pending window messages (and queued calls) run while a long operation
// waits, the way a modal loop would. The windowing layer installs the pump;
// without one, only the queued calls run.
void ProcessPendingMessages();
void SetProcessMessagesHook(std::function<void()> pump);
