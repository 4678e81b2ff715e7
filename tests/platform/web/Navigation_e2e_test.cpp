#include <algorithm>
#include <gtest/gtest.h>

#include "tests/platform/web/WebFixture.h"
#include "tests/support/ClosedPort.h"
#include "tests/support/HttpServer.h"

using namespace webview;
using namespace webtest;
using testsupport::HttpRequest;
using testsupport::HttpResponse;

namespace {

class NavigationTest : public WebViewTest {
protected:
    void SetUp() override
    {
        WebViewTest::SetUp();
        server = std::make_unique<testsupport::HttpServer>();
        for (const char* name : { "a", "b", "c", "blocked" }) {
            std::string page = std::string("<html><head><title>page ") + name + "</title></head><body>" + name
                + "<a id=link href='/blocked'>go</a></body></html>";
            server->Route(std::string("/") + name, [page](const HttpRequest&) {
                HttpResponse r;
                r.Body = page;
                return r;
            });
        }
        server->Route("/missing", [](const HttpRequest&) {
            HttpResponse r;
            r.Status = 404;
            r.Body = "<title>gone</title>not here";
            return r;
        });
        if (view) {
            view->NavigationStarting.Add([this](CoreWebView2&, NavigationStartingEventArgs& a) {
                log.push_back("starting " + Path(a.Uri));
                if (StringToUtf8(a.Uri).find("/blocked") != std::string::npos && cancelBlocked)
                    a.Cancel = true;
            });
            view->SourceChanged.Add([this](CoreWebView2& v) { log.push_back("source " + Path(v.GetSource())); });
            view->NavigationCompleted.Add([this](CoreWebView2&, const NavigationCompletedEventArgs& a) {
                log.push_back(std::string("completed ") + (a.IsSuccess ? "ok" : "failed ")
                    + (a.IsSuccess ? "" : std::to_string(int(a.Status))));
                ++completed;
            });
        }
    }
    // The path of a served URL, so logs do not depend on the port.
    std::string Path(const String& uri) const
    {
        std::string u = StringToUtf8(uri);
        std::string base = server->BaseUrl();
        return u.rfind(base, 0) == 0 ? u.substr(base.size()) : u;
    }
    String Url(const std::string& path) const { return S(server->BaseUrl() + path); }
    bool Requested(const std::string& path) const
    {
        auto paths = server->RequestedPaths();
        return std::find(paths.begin(), paths.end(), path) != paths.end();
    }
    bool WaitCompleted(int count) { return PumpUntil([&] { return completed >= count; }); }

    std::unique_ptr<testsupport::HttpServer> server;
    std::vector<std::string> log;
    int completed { 0 };
    bool cancelBlocked { true };
};

} // namespace

TEST_F(NavigationTest, EventsArriveInOrderWithOutcome)
{
    struct Case {
        std::string Path;
        std::vector<std::string> Log;
    };
    const Case cases[] = {
        { "/a", { "starting /a", "source /a", "completed ok" } },
        // An HTTP error still shows a page: the navigation itself succeeded.
        { "/missing", { "starting /missing", "source /missing", "completed ok" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Path);
        log.clear();
        completed = 0;
        view->Navigate(Url(c.Path));
        ASSERT_TRUE(WaitCompleted(1));
        EXPECT_EQ(c.Log, log);
        EXPECT_EQ(Url(c.Path), view->GetSource());
    }
    // A refused connection fails with the mapped status. The port stays
    // reserved meanwhile: a port merely free a moment ago may have been
    // taken by another program since.
    testsupport::ClosedPort closed;
    const std::string dead = closed.BaseUrl() + "/x";
    log.clear();
    completed = 0;
    view->Navigate(S(dead));
    ASSERT_TRUE(WaitCompleted(1));
    EXPECT_EQ((std::vector<std::string> { "starting " + dead, "source " + dead,
                  "completed failed " + std::to_string(int(WebErrorStatus::CannotConnect)) }),
        log);
}

TEST_F(NavigationTest, TitleFollowsThePage)
{
    ASSERT_TRUE(NavigateAndWait(*view, Url("/a")));
    ASSERT_TRUE(PumpUntil([&] { return view->GetDocumentTitle() == u"page a"; }));
    int changes = 0;
    view->DocumentTitleChanged.Add([&](CoreWebView2&) { ++changes; });
    ASSERT_TRUE(NavigateAndWait(*view, Url("/b")));
    EXPECT_TRUE(PumpUntil([&] { return view->GetDocumentTitle() == u"page b"; }));
    EXPECT_GE(changes, 1);
}

TEST_F(NavigationTest, CancelledNavigationNeverReachesTheServer)
{
    struct Case {
        const char* How;
        std::function<void()> Start;
    };
    const Case cases[] = {
        { "our Navigate", [&] { view->Navigate(Url("/blocked")); } },
        { "page script", [&] { view->ExecuteScript(u"location.href = '/blocked?script'", {}); } },
        { "link click", [&] { view->ExecuteScript(u"document.getElementById('link').click()", {}); } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.How);
        ASSERT_TRUE(NavigateAndWait(*view, Url("/a")));
        log.clear();
        completed = 0;
        c.Start();
        ASSERT_TRUE(WaitCompleted(1));
        ASSERT_EQ(2u, log.size());
        EXPECT_EQ(0u, log[0].find("starting /blocked"));
        EXPECT_EQ("completed failed " + std::to_string(int(WebErrorStatus::OperationCanceled)), log[1]);
        EXPECT_EQ(Url("/a"), view->GetSource());
        EXPECT_EQ(u"\"a\"", RunScript(*view, u"document.body.firstChild.textContent"));
    }
    for (const auto& p : server->RequestedPaths())
        EXPECT_EQ(std::string::npos, p.find("blocked")) << p;
    // Without the cancel the same link goes through.
    cancelBlocked = false;
    completed = 0;
    view->ExecuteScript(u"document.getElementById('link').click()", {});
    ASSERT_TRUE(WaitCompleted(1));
    EXPECT_TRUE(Requested("/blocked"));
    EXPECT_EQ(Url("/blocked"), view->GetSource());
}

TEST_F(NavigationTest, HistoryGoesBackAndForward)
{
    ASSERT_TRUE(NavigateAndWait(*view, Url("/a")));
    EXPECT_FALSE(view->GetCanGoBack()) << "the blank start page is no history";
    ASSERT_TRUE(NavigateAndWait(*view, Url("/b")));
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<p id=s>from string</p>"));
    EXPECT_TRUE(view->GetCanGoBack());
    EXPECT_FALSE(view->GetCanGoForward());

    struct Step {
        bool Back;
        const char* Expect; // path, or "" for the string page
        bool CanBack, CanForward;
    };
    const Step steps[] = {
        { true, "/b", true, true },
        { true, "/a", false, true },
        { false, "/b", true, true },
        { false, "", true, false },
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.Back ? "back to " : "forward to ") + s.Expect);
        completed = 0;
        if (s.Back)
            view->GoBack();
        else
            view->GoForward();
        ASSERT_TRUE(WaitCompleted(1));
        if (*s.Expect)
            EXPECT_EQ(Url(s.Expect), view->GetSource());
        else
            EXPECT_EQ(u"\"from string\"", RunScript(*view, u"document.getElementById('s').textContent"));
        EXPECT_EQ(s.CanBack, view->GetCanGoBack());
        EXPECT_EQ(s.CanForward, view->GetCanGoForward());
    }
}

TEST_F(NavigationTest, NavigateToStringRaisesTheEvents)
{
    ASSERT_TRUE(ShowHtmlAndWait(*view, u"<title>t\u00e9</title><p id=p>caf\u00e9 \u4e2d</p>"));
    ASSERT_EQ(3u, log.size());
    EXPECT_EQ(0u, log[0].find("starting data:text/html"));
    EXPECT_EQ("completed ok", log[2]);
    EXPECT_EQ(u"\"caf\u00e9 \u4e2d\"", RunScript(*view, u"document.getElementById('p').textContent"));
}

TEST_F(NavigationTest, PageThatNeverFinishesLoadingCanBeStopped)
{
    server->Route("/hang", [](const HttpRequest&) {
        HttpResponse r;
        r.Body = "<p id=p>shown</p><img src='/never.png'>";
        return r;
    });
    // Answered only when the server stops, however long the test takes.
    server->Route("/never.png", [](const HttpRequest&) {
        HttpResponse r;
        r.DelayMs = 60 * 60 * 1000;
        return r;
    });
    view->Navigate(Url("/hang"));
    ASSERT_TRUE(PumpUntil([&] { return Requested("/never.png"); }));
    // The document is there and scripts run, but the load never ends. (The
    // picture may be asked for before the paragraph is in the document.)
    EXPECT_TRUE(PumpUntil([&] {
        return RunScript(*view, u"document.getElementById('p') && document.getElementById('p').textContent")
            == u"\"shown\"";
    }));
    EXPECT_EQ(0, completed);
    view->Stop();
    ASSERT_TRUE(WaitCompleted(1));
    EXPECT_EQ("completed failed " + std::to_string(int(WebErrorStatus::OperationCanceled)), log.back());
    EXPECT_TRUE(NavigateAndWait(*view, Url("/a")));
}

TEST_F(NavigationTest, UserAgentIsReadAndWritten)
{
    String original = view->GetSettings().GetUserAgent();
    EXPECT_NE(String::npos, original.find(u"Mozilla/5.0"));
    EXPECT_EQ(String::npos, original.find(u"Headless"));
    std::string seen;
    server->Route("/ua", [&](const HttpRequest& r) {
        auto it = r.Headers.find("user-agent");
        seen = it == r.Headers.end() ? "" : it->second;
        return HttpResponse {};
    });
    view->GetSettings().SetUserAgent(u"QuarryTest/1.0");
    EXPECT_EQ(u"QuarryTest/1.0", view->GetSettings().GetUserAgent());
    ASSERT_TRUE(NavigateAndWait(*view, Url("/ua")));
    EXPECT_EQ("QuarryTest/1.0", seen);
    EXPECT_EQ(u"\"QuarryTest/1.0\"", RunScript(*view, u"navigator.userAgent"));
}

TEST_F(NavigationTest, CookiesCanBeCleared)
{
    ASSERT_TRUE(NavigateAndWait(*view, Url("/a")));
    RunScript(*view, u"document.cookie = 'k=v; max-age=3600'");
    ASSERT_EQ(u"\"k=v\"", RunScript(*view, u"document.cookie"));
    HRESULT result = E_FAIL;
    bool done = false;
    view->DeleteAllCookies([&](HRESULT hr) {
        result = hr;
        done = true;
    });
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_EQ(S_OK, result);
    EXPECT_EQ(u"\"\"", RunScript(*view, u"document.cookie"));
}
