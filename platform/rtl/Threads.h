#pragma once
// A worker thread object: derive, implement Execute, call Start. Execute
// polls GetTerminated() to stop early. Workers reach the GUI thread only
// through Synchronize (wait for the call) and Queue (fire and forget).

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/rtl/Types.h"

class TThread {
public:
    TThread() = default;
    // Stops and joins a thread still running. A derived class whose Execute
    // uses its own members must stop the thread (Terminate + WaitFor) in its
    // own destructor, before those members go.
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    // Runs Execute on a new thread; raises EInvalidOperation when started twice.
    void Start();
    // Asks Execute to finish; it sees GetTerminated() turn true.
    void Terminate() { m_terminated = true; }
    bool GetTerminated() const { return m_terminated; }
    bool GetStarted() const { return m_started; }
    bool GetFinished() const { return m_finished; }
    // Blocks until Execute and OnTerminate have run and answers ReturnValue.
    // On the main thread it keeps running synchronized calls meanwhile, so a
    // worker waiting in Synchronize cannot deadlock it. Not allowed for a
    // FreeOnTerminate thread or from the thread itself.
    int WaitFor();

    // The thread deletes itself after OnTerminate; the owner must not touch
    // the object after Start.
    bool GetFreeOnTerminate() const { return m_freeOnTerminate; }
    void SetFreeOnTerminate(bool v) { m_freeOnTerminate = v; }
    int GetReturnValue() const { return m_returnValue; }
    void SetReturnValue(int v) { m_returnValue = v; }
    // The exception that ended Execute, if any.
    std::exception_ptr GetFatalException() const { return m_fatal; }
    std::thread::id GetThreadID() const { return m_id; }

    // Runs on the main thread after Execute returned (through Synchronize).
    std::function<void(TThread* sender)> OnTerminate;

    // Runs `fn` on the main thread and waits; an exception is re-raised here.
    static void Synchronize(const std::function<void()>& fn);
    // Queues `fn` for the main thread and returns at once.
    static void Queue(std::function<void()> fn);

protected:
    virtual void Execute() = 0;
    virtual void DoTerminate();

private:
    void Run();

    std::thread m_thread;
    std::thread::id m_id;
    std::atomic<bool> m_terminated { false };
    std::atomic<bool> m_started { false };
    std::atomic<bool> m_finished { false };
    std::atomic<bool> m_freeOnTerminate { false };
    int m_returnValue { 0 };
    std::exception_ptr m_fatal;
    std::mutex m_lock;
    std::condition_variable m_done;
};
