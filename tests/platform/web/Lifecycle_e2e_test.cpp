#include <algorithm>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/rtl/MainThread.h"
#include "tests/platform/web/WebFixture.h"
#include "tests/support/Fixtures.h"
#include "tests/support/HttpServer.h"

using namespace webview;
using namespace webtest;
using testsupport::HttpRequest;
using testsupport::HttpResponse;

namespace {

// A page whose script tells the server that it has begun, then runs far
// longer than any test waits: what waits on it is certain to be waiting
// still when the browser goes, however slow the machine is.
class LongScriptSite {
public:
    LongScriptSite()
    {
        server.Route("/", [](const HttpRequest&) {
            HttpResponse r;
            r.Body = "<p>x</p>";
            return r;
        });
        server.Route("/started", [](const HttpRequest&) { return HttpResponse {}; });
    }
    String Url() const { return S(server.BaseUrl() + "/"); }
    bool Started() const
    {
        auto paths = server.RequestedPaths();
        return std::find(paths.begin(), paths.end(), "/started") != paths.end();
    }
    static constexpr const char16_t* Script = u"var x = new XMLHttpRequest(); x.open('GET', '/started', false); x.send();"
                                              u"var t = Date.now(); while (Date.now() - t < 30000) {} 'finished'";

private:
    testsupport::HttpServer server;
};

} // namespace

TEST_F(WebViewTest, KilledBrowserCompletesWithNullAndIsReplaced)
{
    LongScriptSite site;
    ASSERT_TRUE(NavigateAndWait(*view, site.Url()));
    pid_t first = view->GetBrowserProcessId();
    ASSERT_GT(first, 0);
    // Shared with the completions, which may come after a failed wait.
    struct Seen {
        std::vector<ProcessFailedKind> failures;
        bool done { false }, retried { false };
        String result, retry;
    };
    auto seen = std::make_shared<Seen>();
    auto token = view->ProcessFailed.Add([seen](CoreWebView2&, ProcessFailedKind kind) { seen->failures.push_back(kind); });
    std::weak_ptr<CoreWebView2> weak = view;
    view->ExecuteScript(site.Script, [seen, weak](HRESULT, const String& json) {
        seen->result = json;
        seen->done = true;
        // Asked again at once, before the news of the browser's end has
        // come: the request starts the next browser, and the end is still
        // reported.
        if (auto v = weak.lock())
            v->ExecuteScript(u"1 + 1", [seen](HRESULT, const String& json) {
                seen->retry = json;
                seen->retried = true;
            });
    });
    ASSERT_TRUE(PumpUntil([&] { return site.Started(); }));
    ASSERT_EQ(0, kill(first, SIGKILL));
    ASSERT_TRUE(PumpUntil([&] { return seen->done; }));
    EXPECT_EQ(u"null", seen->result);
    ASSERT_TRUE(PumpUntil([&] { return seen->retried; }));
    EXPECT_EQ(u"2", seen->retry);
    pid_t second = view->GetBrowserProcessId();
    EXPECT_GT(second, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(std::vector<ProcessFailedKind> { ProcessFailedKind::BrowserProcessExited }, seen->failures);

    // The replacement serves navigations too.
    EXPECT_TRUE(ShowHtmlAndWait(*view, u"<p>again</p>"));
    EXPECT_EQ(u"\"again\"", RunScript(*view, u"document.body.textContent"));
    EXPECT_EQ(1u, seen->failures.size());
    view->ProcessFailed.Remove(token);
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
        // Shared with the completions, which may come after a failed wait.
        struct Made {
            bool created { false };
            std::shared_ptr<CoreWebView2Environment> env;
            std::shared_ptr<CoreWebView2Controller> controller;
        };
        auto made = std::make_shared<Made>();
        ASSERT_EQ(S_OK, CreateCoreWebView2EnvironmentWithOptions({}, c.GiveFolder ? S(given.path().string()) : String(),
                            nullptr, [made](HRESULT hr, std::shared_ptr<CoreWebView2Environment> e) {
                                EXPECT_EQ(S_OK, hr);
                                made->env = e;
                                made->created = true;
                            }));
        ASSERT_TRUE(PumpUntil([&] { return made->created; }));
        auto env = made->env;
        ASSERT_TRUE(env);
        String available;
        EXPECT_EQ(S_OK, GetAvailableCoreWebView2BrowserVersionString({}, available));
        EXPECT_EQ(available, env->GetBrowserVersionString());
        env->CreateCoreWebView2Controller(nullptr, [made](HRESULT, std::shared_ptr<CoreWebView2Controller> ctl) {
            made->controller = ctl;
        });
        ASSERT_TRUE(PumpUntil([&] { return made->controller != nullptr; }));
        auto controller = made->controller;
        auto view = controller->GetCoreWebView2();
        int failures = 0;
        view->ProcessFailed.Add([&](CoreWebView2&, ProcessFailedKind) { ++failures; });
        std::filesystem::path folder = StringToUtf8(env->GetUserDataFolder());
        pid_t pid = env->GetBrowserProcessId();
        ASSERT_GT(pid, 0);

        LongScriptSite site;
        ASSERT_TRUE(NavigateAndWait(*view, site.Url()));
        auto done = std::make_shared<bool>(false);
        auto result = std::make_shared<String>();
        view->ExecuteScript(site.Script, [done, result](HRESULT, const String& json) {
            *result = json;
            *done = true;
        });
        // Closed while the script runs.
        ASSERT_TRUE(PumpUntil([&] { return site.Started(); }));
        env->Close();
        // The process has exited (and been reaped) when Close returns.
        EXPECT_NE(0, kill(pid, 0));
        EXPECT_TRUE(PumpUntil([&] { return *done; }));
        EXPECT_EQ(u"null", *result);
        EXPECT_EQ(c.GiveFolder, std::filesystem::exists(folder));
        EXPECT_EQ(0, failures) << "a close is no failure";
        controller->Close();
        CheckSynchronize();
    }
}
