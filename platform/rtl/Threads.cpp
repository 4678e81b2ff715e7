#include "platform/rtl/Threads.h"

#include <chrono>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MainThread.h"

TThread::~TThread()
{
    if (m_thread.joinable()) {
        Terminate();
        if (m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach();
        else
            m_thread.join();
    }
}

void TThread::Start()
{
    if (m_started.exchange(true))
        throw EInvalidOperation(u"Cannot call Start on a running or terminated thread");
    MainThreadId(); // fixes the main thread before any worker can claim it
    std::lock_guard g(m_lock); // Run waits until m_thread is assigned
    m_thread = std::thread([this] { Run(); });
    m_id = m_thread.get_id();
}

void TThread::Run()
{
    { std::lock_guard g(m_lock); }
    try {
        Execute();
    } catch (...) {
        m_fatal = std::current_exception();
    }
    try {
        DoTerminate();
    } catch (...) {
        if (!m_fatal)
            m_fatal = std::current_exception();
    }
    if (m_freeOnTerminate) {
        m_thread.detach();
        delete this;
        return;
    }
    {
        std::lock_guard g(m_lock);
        m_finished = true;
    }
    m_done.notify_all();
}

void TThread::DoTerminate()
{
    if (OnTerminate)
        Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor()
{
    if (m_freeOnTerminate)
        throw EInvalidOperation(u"Cannot call WaitFor on a FreeOnTerminate thread");
    if (!m_started)
        throw EInvalidOperation(u"Cannot call WaitFor on a thread that was not started");
    if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id())
        throw EInvalidOperation(u"A thread cannot wait for itself");
    const bool onMain = IsMainThread();
    {
        std::unique_lock g(m_lock);
        while (!m_finished) {
            if (onMain) {
                g.unlock();
                CheckSynchronize();
                g.lock();
                m_done.wait_for(g, std::chrono::milliseconds(2), [&] { return m_finished.load(); });
            } else {
                m_done.wait(g, [&] { return m_finished.load(); });
            }
        }
    }
    if (m_thread.joinable())
        m_thread.join();
    return m_returnValue;
}

void TThread::Synchronize(const std::function<void()>& fn)
{
    SynchronizeWithMainThread(fn);
}

void TThread::Queue(std::function<void()> fn)
{
    QueueToMainThread(std::move(fn));
}
