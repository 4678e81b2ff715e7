#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "richtext/LumThemeNotifier.h"
#include "tests/richtext/ThemeRegistry_support.h"
#include "tests/support/Limits.h"

namespace {

const String Office16 = u"Software\\Microsoft\\Office\\16.0\\Common";

// A window that records the Office theme messages it gets.
class TProbeWindow : public TWinControl {
public:
    using TWinControl::TWinControl;
    struct Received {
        WPARAM wParam;
        String path;
    };
    std::vector<Received> Messages;

protected:
    void WndProc(TMessage& Message) override
    {
        if (Message.Msg == WM_OFFICETHEMECHANGED)
            Messages.push_back({ Message.WParam, reinterpret_cast<const Char*>(Message.LParam) });
        TWinControl::WndProc(Message);
    }
};

// The worker arms its watch shortly after it starts: write until it hears
// (for at most the event limit, which only a stuck worker needs).
template<class Write, class Heard>
bool WriteUntilHeard(Write write, Heard heard)
{
    const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
    for (int round = 0; std::chrono::steady_clock::now() < deadline; ++round) {
        write(round);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        while (std::chrono::steady_clock::now() < until) {
            Headless::PumpUntilIdle();
            if (heard())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    return false;
}

// Ends the notifier's worker and delivers every message it posted, so the
// counts can be compared without guessing how long a round takes.
void StopWorker(TThemeNotifier& notifier)
{
    TRegMonitorThread* worker = notifier.GetRegMonitorThread();
    worker->Stop();
    worker->WaitFor();
    Headless::PumpUntilIdle();
}

class ThemeNotifierUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(10, 10, 200, 100);
    }
    // Declared first so it outlives the worker.
    TPrivateRegistry registry;
    THeadlessSession session;
    std::unique_ptr<TForm> form;
};

TEST_F(ThemeNotifierUi, WithoutOfficeThereIsNoWorkerAndRegisteringIsHarmless)
{
    TPrivateRegistry::CreateKey(u"Software\\Microsoft\\Office\\11.0\\Common\\General");
    auto* notifier = new TThemeNotifier(form.get());
    EXPECT_EQ(notifier->GetRegMonitorThread(), nullptr);
    EXPECT_EQ(notifier->GetNotifierWindow(), nullptr);
    notifier->RegisterWindow(form->GetHandle());
    notifier->UnRegisterWindow(form->GetHandle());
    // Without a worker the owner need not be a windowed control.
    TComponent plain;
    EXPECT_NO_THROW(new TThemeNotifier(&plain));
}

TEST_F(ThemeNotifierUi, ChangesUnderTheOfficeKeyReachTheNotifierAndRegisteredWindowsOnce)
{
    TPrivateRegistry::CreateKey(Office16 + u"\\General");
    auto* probe = new TProbeWindow(form.get());
    probe->SetParent(form.get());
    auto* notifier = new TThemeNotifier(form.get());
    ASSERT_NE(notifier->GetRegMonitorThread(), nullptr);
    EXPECT_EQ(notifier->GetRegMonitorThread()->GetKey(), Office16);
    EXPECT_EQ(notifier->GetRegMonitorThread()->GetFilter(), REG_NOTIFY_CHANGE_LAST_SET);
    int changes = 0;
    notifier->OnOfficeThemeChange = [&](TObject* sender) {
        EXPECT_EQ(sender, notifier);
        ++changes;
    };
    notifier->RegisterWindow(probe->GetHandle());
    notifier->RegisterWindow(probe->GetHandle());
    EXPECT_EQ(notifier->GetRegMonitorThread()->GetWinList()->GetCount(), 1);

    ASSERT_TRUE(WriteUntilHeard([](int round) { TPrivateRegistry::WriteInteger(Office16, u"UI Theme", round); },
        [&] { return changes > 0; }));
    StopWorker(*notifier);
    ASSERT_GE(probe->Messages.size(), 1u);
    EXPECT_EQ(probe->Messages.size(), std::size_t(changes));
    EXPECT_EQ(probe->Messages[0].wParam, WPARAM(reinterpret_cast<std::uintptr_t>(HKEY_CURRENT_USER)));
    EXPECT_EQ(probe->Messages[0].path, Office16);
}

TEST_F(ThemeNotifierUi, AChangeBelowTheKeyCountsAndAnUnregisteredWindowHearsNothing)
{
    TPrivateRegistry::CreateKey(Office16 + u"\\General");
    auto* probe = new TProbeWindow(form.get());
    probe->SetParent(form.get());
    auto* notifier = new TThemeNotifier(form.get());
    ASSERT_NE(notifier->GetRegMonitorThread(), nullptr);
    int changes = 0;
    notifier->OnOfficeThemeChange = [&](TObject*) { ++changes; };
    notifier->RegisterWindow(probe->GetHandle());
    notifier->UnRegisterWindow(probe->GetHandle());

    ASSERT_TRUE(WriteUntilHeard(
        [](int round) { TPrivateRegistry::WriteInteger(Office16 + u"\\Roaming", u"Theme", round); },
        [&] { return changes > 0; }));
    StopWorker(*notifier);
    EXPECT_TRUE(probe->Messages.empty());
}

TEST_F(ThemeNotifierUi, WithOfficeTheOwnerMustBeAWindowedControl)
{
    TPrivateRegistry::CreateKey(Office16 + u"\\General");
    TComponent plain;
    EXPECT_THROW(new TThemeNotifier(&plain), EInvalidCast);
    EXPECT_EQ(plain.GetComponentCount(), 0);
}

TEST_F(ThemeNotifierUi, AMissingKeyEndsTheWorkerWithItsError)
{
    TRegMonitorThread thread;
    thread.SetKey(u"Software\\Missing");
    EXPECT_EQ(thread.GetFilter(), 15u); // 0 reads as every kind of change
    thread.Start();
    thread.WaitFor();
    ASSERT_TRUE(thread.GetFatalException());
    try {
        std::rethrow_exception(thread.GetFatalException());
    } catch (const Exception& e) {
        EXPECT_EQ(e.GetMessage(), u"Unable to open registry key Software\\Missing");
    }
}

TEST_F(ThemeNotifierUi, TheSharedNotifierIsMadeOnceAndForgottenWhenFreed)
{
    TThemeNotifier* shared = SharedThemeNotifier(form.get());
    EXPECT_EQ(shared->GetOwner(), form.get());
    EXPECT_EQ(SharedThemeNotifier(nullptr), shared);
    delete shared;
    TThemeNotifier* again = SharedThemeNotifier(form.get());
    EXPECT_EQ(SharedThemeNotifier(form.get()), again);
    form.reset(); // takes the notifier with it
    std::unique_ptr<TThemeNotifier> fresh(SharedThemeNotifier(nullptr));
    EXPECT_EQ(fresh->GetOwner(), nullptr);
}

TEST(HandleList, KeepsOrderAndChecksIndexes)
{
    THandleList list;
    const auto h = [](std::uintptr_t v) { return reinterpret_cast<HWND>(v); };
    list.Add(h(0x10));
    list.Add(h(0x30));
    list.Insert(1, h(0x20));
    list.Add(h(0x20));
    list.DeleteValue(h(0x20)); // the first of two
    EXPECT_EQ(list.Snapshot(), (std::vector<HWND> { h(0x10), h(0x30), h(0x20) }));
    list.SetInteger(0, h(0x40));
    list.Delete(1);
    EXPECT_EQ(list.Snapshot(), (std::vector<HWND> { h(0x40), h(0x20) }));
    EXPECT_TRUE(list.HasValue(h(0x20)));
    EXPECT_FALSE(list.HasValue(h(0x30)));
    EXPECT_THROW(list.GetInteger(2), EListError);
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.Insert(3, h(1)), EListError);
}

} // namespace
