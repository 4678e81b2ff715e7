#include <atomic>
#include <thread>

#include "platform/rtl/MainThread.h"
#include "platform/rtl/Threads.h"
#include "platform/win/Sync.h"
#include "tests/platform/win/WinFixture.h"

namespace {
constexpr DWORD kTop = WS_OVERLAPPED;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
}

TEST_F(WinTest, SentMessagesRunAtOncePostedOnesInOrderFromTheLoop)
{
    Watch = { WM_USER + 1, WM_USER + 2, WM_USER + 3 };
    HWND a = Make("a", kTop, Bounds(0, 0, 100, 100));
    HWND b = Make("b", kTop, Bounds(0, 0, 100, 100));
    PostMessage(a, WM_USER + 1, 1, 0);
    PostMessage(b, WM_USER + 1, 2, 0);
    EXPECT_EQ(SendMessage(a, WM_USER + 2, 0, 0), 0);
    PostMessage(a, WM_USER + 3, 3, 0);
    ASSERT_EQ(Log.size(), 1u);
    EXPECT_EQ(Log[0], (TLogged { "a", WM_USER + 2, 0, 0 }));
    Pump();
    const std::vector<TLogged> expected {
        { "a", WM_USER + 2, 0, 0 }, { "a", WM_USER + 1, 1, 0 }, { "b", WM_USER + 1, 2, 0 }, { "a", WM_USER + 3, 3, 0 }
    };
    EXPECT_EQ(Log, expected);
}

TEST_F(WinTest, PeekMessageFiltersAndLeavesMessagesWithNoRemove)
{
    HWND a = Make("a", kTop, Bounds(0, 0, 10, 10));
    HWND b = Make("b", kTop, Bounds(0, 0, 10, 10));
    PostMessage(a, WM_USER + 1, 0, 0);
    PostMessage(b, WM_USER + 2, 0, 0);
    PostMessage(a, WM_USER + 3, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessage(m, b, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u);
    ASSERT_TRUE(PeekMessage(m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.hwnd, a);
    ASSERT_TRUE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 1u);
    ASSERT_TRUE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, WM_USER + 2u);
    EXPECT_FALSE(PeekMessage(m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(WinTest, CreationAndDestructionOrder)
{
    Watch = { WM_NCCREATE, WM_CREATE, WM_SIZE, WM_DESTROY, WM_NCDESTROY, WM_PARENTNOTIFY };
    HWND top = Make("top", kTop, Bounds(0, 0, 200, 100));
    HWND kid = Make("kid", kChild, Bounds(5, 5, 50, 20), top);
    HWND grandkid = Make("grandkid", kChild, Bounds(1, 1, 10, 10), kid);
    EXPECT_EQ(std::count_if(Log.begin(), Log.end(), [](auto& m) { return m.message == WM_CREATE; }), 3);
    EXPECT_EQ(Log[0].message, WM_NCCREATE);
    Log.clear();
    PostMessage(kid, WM_USER, 0, 0);
    ASSERT_TRUE(DestroyWindow(top));
    const std::vector<TLogged> expected {
        { "top", WM_DESTROY, 0, 0 }, { "kid", WM_DESTROY, 0, 0 }, { "grandkid", WM_DESTROY, 0, 0 },
        { "grandkid", WM_NCDESTROY, 0, 0 }, { "kid", WM_NCDESTROY, 0, 0 }, { "top", WM_NCDESTROY, 0, 0 },
    };
    EXPECT_EQ(Log, expected);
    for (HWND h : { top, kid, grandkid })
        EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(Pump(), 0); // the message posted to a destroyed window is gone
    EXPECT_FALSE(DestroyWindow(top));
}

TEST_F(WinTest, CreateFailsWhenCreateAnswersMinusOne)
{
    WNDCLASSEX wc;
    wc.lpszClassName = u"Refuses";
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        return m == WM_CREATE ? -1 : DefWindowProc(h, m, w, l);
    };
    RegisterClassEx(wc);
    EXPECT_EQ(CreateWindowEx(0, u"Refuses", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowEx(0, u"NoSuchClass", u"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(CreateWindowEx(0, u"TestWindow", u"", WS_CHILD, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    UnregisterClass(u"Refuses");
}

namespace {
WNDPROC g_original = nullptr;
std::vector<UINT> g_seenBySubclass;
LRESULT Subclass(HWND h, UINT m, WPARAM w, LPARAM l)
{
    g_seenBySubclass.push_back(m);
    if (m == WM_USER + 7)
        return 42;
    return CallWindowProc(g_original, h, m, w, l);
}
}

TEST_F(WinTest, WindowProcedureCanBeReplacedAndRestored)
{
    Watch = { WM_USER + 7, WM_USER + 8 };
    HWND a = Make("a", kTop, Bounds(0, 0, 10, 10));
    g_seenBySubclass.clear();
    g_original = reinterpret_cast<WNDPROC>(SetWindowLongPtr(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass)));
    EXPECT_EQ(g_original, &WinTest::Proc);
    EXPECT_EQ(SendMessage(a, WM_USER + 7, 0, 0), 42);
    SendMessage(a, WM_USER + 8, 0, 0);
    EXPECT_EQ(g_seenBySubclass, (std::vector<UINT> { WM_USER + 7, WM_USER + 8 }));
    EXPECT_EQ(Log, (std::vector<TLogged> { { "a", WM_USER + 8, 0, 0 } })); // 7 was swallowed
    SetWindowLongPtr(a, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_original));
    SendMessage(a, WM_USER + 7, 0, 0);
    EXPECT_EQ(g_seenBySubclass.size(), 2u);

    SetWindowLongPtr(a, GWLP_USERDATA, 1234);
    EXPECT_EQ(GetWindowLongPtr(a, GWLP_USERDATA), 1234);
    SetWindowLongPtr(a, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(DWORD(GetWindowLongPtr(a, GWL_EXSTYLE)), WS_EX_TOOLWINDOW);
}

TEST_F(WinTest, WindowTextGoesThroughMessages)
{
    HWND a = Make("a", kTop, Bounds(0, 0, 10, 10));
    EXPECT_TRUE(SetWindowText(a, u"Größe"));
    EXPECT_EQ(GetWindowText(a), u"Größe");
    char16_t small[3];
    EXPECT_EQ(SendMessage(a, WM_GETTEXT, 3, reinterpret_cast<LPARAM>(small)), 2);
    EXPECT_EQ(String(small), u"Gr");
}

TEST_F(WinTest, RegisteredMessagesAreStablePerNameFromC000)
{
    const UINT a = RegisterWindowMessage(u"GridEditDone");
    const UINT b = RegisterWindowMessage(u"GridEditShow");
    EXPECT_GE(a, 0xC000u);
    EXPECT_NE(a, b);
    EXPECT_EQ(RegisterWindowMessage(u"grideditdone"), a); // names ignore case
    EXPECT_EQ(RegisterWindowMessage(u""), 0u);
}

namespace {
std::vector<std::pair<UINT_PTR, UInt64>> g_threadTicks;
void ThreadTimerProc(HWND, UINT, UINT_PTR id, DWORD)
{
    g_threadTicks.push_back({ id, GetTickCount64() });
}
}

TEST_F(WinTest, TimersFireInDueOrderOnTheInjectedClock)
{
    HWND a = Make("a", kTop, Bounds(0, 0, 10, 10));
    Watch = { WM_TIMER };
    g_threadTicks.clear();
    const UInt64 t0 = GetTickCount64();
    std::vector<std::pair<UINT_PTR, UInt64>> fired;
    Handlers[a] = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_TIMER)
            fired.push_back({ w, GetTickCount64() - t0 });
        return std::nullopt;
    };
    SetTimer(a, 1, 300, nullptr);
    SetTimer(a, 2, 500, nullptr);
    const UINT_PTR threadTimer = SetTimer(nullptr, 0, 200, &ThreadTimerProc);
    EXPECT_NE(threadTimer, 0u);
    Session->PassTime(1000);
    const std::vector<std::pair<UINT_PTR, UInt64>> expected { { 1, 300 }, { 2, 500 }, { 1, 600 }, { 1, 900 }, { 2, 1000 } };
    EXPECT_EQ(fired, expected);
    ASSERT_EQ(g_threadTicks.size(), 5u);
    EXPECT_EQ(g_threadTicks[0].second - t0, 200u);

    EXPECT_TRUE(KillTimer(a, 1));
    EXPECT_FALSE(KillTimer(a, 1));
    fired.clear();
    Session->PassTime(500);
    EXPECT_EQ(fired, (std::vector<std::pair<UINT_PTR, UInt64>> { { 2, 1500 } }));
    // Timers die with their window.
    DestroyWindow(a);
    KillTimer(nullptr, threadTimer);
    Session->PassTime(1000);
    EXPECT_EQ(fired.size(), 1u);
}

TEST_F(WinTest, GetMessageLetsVirtualTimePassToTheNextTimer)
{
    HWND a = Make("a", kTop, Bounds(0, 0, 10, 10));
    const UInt64 t0 = GetTickCount64();
    SetTimer(a, 9, 250, nullptr);
    MSG m;
    ASSERT_EQ(GetMessage(m, nullptr, 0, 0), 1);
    EXPECT_EQ(m.message, WM_TIMER);
    EXPECT_EQ(m.wParam, 9u);
    EXPECT_EQ(GetTickCount64() - t0, 250u);
    PostQuitMessage(3);
    EXPECT_EQ(GetMessage(m, nullptr, 0, 0), 0);
    EXPECT_EQ(m.wParam, 3u);
}

TEST_F(WinTest, WorkersReachTheLoopThroughPostsAndSynchronize)
{
    Watch = { WM_APP };
    HWND a = Make("a", kTop, Bounds(0, 0, 10, 10));
    std::atomic<bool> synchronizedOnMain { false };
    std::atomic<LRESULT> sent { 0 };
    bool sentOnMain = false, inSend = false;
    Handlers[a] = [&](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m != WM_APP + 1)
            return std::nullopt;
        sentOnMain = IsMainThread();
        inSend = InSendMessage();
        return 77;
    };
    std::thread worker([&] {
        PostMessage(a, WM_APP, 5, 0);
        TThread::Synchronize([&] { synchronizedOnMain = IsMainThread(); });
        // A message sent from another thread runs on the window's thread.
        sent = SendMessage(a, WM_APP + 1, 0, 0);
        PostQuitMessage(0);
    });
    MSG m;
    while (GetMessage(m, nullptr, 0, 0))
        DispatchMessage(m);
    worker.join();
    EXPECT_TRUE(synchronizedOnMain);
    EXPECT_EQ(sent.load(), 77);
    EXPECT_TRUE(sentOnMain);
    EXPECT_TRUE(inSend);
    EXPECT_FALSE(InSendMessage());
    EXPECT_EQ(Log, (std::vector<TLogged> { { "a", WM_APP, 5, 0 } }));
}

TEST_F(WinTest, LongWaitsPumpPendingMessages)
{
    Watch = { WM_USER, WM_PAINT };
    HWND a = Make("a", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 10, 10));
    Log.clear();
    PostMessage(a, WM_USER, 1, 2);
    InvalidateRect(a, nullptr, false);
    ProcessPendingMessages();
    EXPECT_EQ(Log, (std::vector<TLogged> { { "a", WM_USER, 1, 2 }, { "a", WM_PAINT, 0, 0 } }));
}

TEST_F(WinTest, MsgWaitReportsSignalledEventsAndWaitingMessages)
{
    HANDLE ev = CreateEvent(nullptr, false, false, nullptr);
    HANDLE other = CreateEvent(nullptr, true, false, nullptr);
    HANDLE both[2] { other, ev };
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, false, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    SetEvent(ev);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, false, 0, QS_ALLINPUT), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_TIMEOUT); // auto-reset consumed it
    PostThreadMessage(0, WM_USER, 0, 0);
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, false, 0, QS_ALLINPUT), WAIT_OBJECT_0 + 2);
    Pump();
    std::thread setter([&] { std::this_thread::sleep_for(std::chrono::milliseconds(20)); SetEvent(other); });
    EXPECT_EQ(MsgWaitForMultipleObjects(2, both, false, 5000, QS_ALLINPUT), WAIT_OBJECT_0);
    setter.join();
    EXPECT_TRUE(CloseHandle(ev));
    EXPECT_TRUE(CloseHandle(other));
    EXPECT_FALSE(CloseHandle(ev));
    EXPECT_EQ(WaitForSingleObject(ev, 0), WAIT_FAILED);
}
