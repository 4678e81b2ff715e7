#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/rtl/MainThread.h"
#include "tests/platform/web/WebFixture.h"
#include "tests/support/Fixtures.h"

using namespace webview;
using namespace webtest;

TEST_F(WebViewTest, KilledBrowserCompletesWithNullAndIsReplaced)
{
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p>x</p>"));
    pid_t first = view->GetBrowserProcessId();
    ASSERT_GT(first, 0);
    int failures = 0;
    view->ProcessFailed.Add([&](CoreWebView2&, ProcessFailedKind kind) {
        EXPECT_EQ(ProcessFailedKind::BrowserProcessExited, kind);
        ++failures;
    });
    bool done = false;
    String result;
    // A script that is still running when the browser dies.
    view->ExecuteScript(u"var t = Date.now(); while (Date.now() - t < 3000) {} 'finished'", [&](HRESULT, const String& json) {
        result = json;
        done = true;
    });
    PumpUntil([] { return false; }, std::chrono::milliseconds(200));
    ASSERT_EQ(0, kill(first, SIGKILL));
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_EQ(u"null", result);
    EXPECT_TRUE(PumpUntil([&] { return failures == 1; }));

    // The next request starts a new browser, and so does a navigation.
    EXPECT_EQ(u"2", RunScript(*view, u"1 + 1"));
    pid_t second = view->GetBrowserProcessId();
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_TRUE(ShowHtmlAndWait(*view, u"<p>again</p>"));
}

TEST(WebViewLifecycle, CloseEndsTheBrowserAndCompletesWhatWaits)
{
    SetMainThread();
    testsupport::TempDir given;
    struct Case {
        const char* Name;
        bool GiveFolder;
    };
    const Case cases[] = { { "private folder", false }, { "folder of the caller", true } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        std::shared_ptr<CoreWebView2Environment> env;
        bool created = false;
        ASSERT_EQ(S_OK, CreateCoreWebView2EnvironmentWithOptions({}, c.GiveFolder ? S(given.path().string()) : String(),
                            nullptr, [&](HRESULT hr, std::shared_ptr<CoreWebView2Environment> e) {
                                EXPECT_EQ(S_OK, hr);
                                env = e;
                                created = true;
                            }));
        ASSERT_TRUE(PumpUntil([&] { return created; }, std::chrono::seconds(30)));
        ASSERT_TRUE(env);
        String available;
        EXPECT_EQ(S_OK, GetAvailableCoreWebView2BrowserVersionString({}, available));
        EXPECT_EQ(available, env->GetBrowserVersionString());
        std::shared_ptr<CoreWebView2Controller> controller;
        env->CreateCoreWebView2Controller(nullptr, [&](HRESULT, std::shared_ptr<CoreWebView2Controller> ctl) { controller = ctl; });
        ASSERT_TRUE(PumpUntil([&] { return controller != nullptr; }));
        auto view = controller->GetCoreWebView2();
        int failures = 0;
        view->ProcessFailed.Add([&](CoreWebView2&, ProcessFailedKind) { ++failures; });
        std::filesystem::path folder = StringToUtf8(env->GetUserDataFolder());
        pid_t pid = env->GetBrowserProcessId();
        ASSERT_GT(pid, 0);

        bool done = false;
        String result;
        view->ExecuteScript(u"var t = Date.now(); while (Date.now() - t < 2000) {} 1", [&](HRESULT, const String& json) {
            result = json;
            done = true;
        });
        PumpUntil([] { return false; }, std::chrono::milliseconds(100));
        env->Close();
        // The process has exited (and been reaped) when Close returns.
        EXPECT_NE(0, kill(pid, 0));
        EXPECT_TRUE(PumpUntil([&] { return done; }));
        EXPECT_EQ(u"null", result);
        EXPECT_EQ(c.GiveFolder, std::filesystem::exists(folder));
        EXPECT_EQ(0, failures) << "a close is no failure";
        controller->Close();
        CheckSynchronize();
    }
}
