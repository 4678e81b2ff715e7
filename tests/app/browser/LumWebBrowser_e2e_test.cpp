#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "app/browser/LumWinWebBrowser.h"
#include "graphics/LumBitmap.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"
#include "tests/support/HttpServer.h"
#include "tests/support/Limits.h"

namespace fs = std::filesystem;
using testsupport::HttpRequest;
using testsupport::HttpResponse;

namespace {

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds timeout = testsupport::EventLimit)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        Headless::PumpUntilIdle();
        Application->ProcessMessages();
        WaitForMainThreadWork(std::chrono::milliseconds(5));
    }
    return true;
}

// Takes F5 for itself; other keys go on to the page.
class TKeyBrowser : public TLumWebBrowser {
public:
    using TLumWebBrowser::TLumWebBrowser;
    void DoKeyPressed(WORD& Key) override
    {
        Pressed.push_back(Key);
        if (Key == VK_F1 + 4)
            Key = 0;
    }
    std::vector<WORD> Pressed;
};

// A page object reached as chrome.webview.hostObjects.sync.<name>.
class TPageTarget : public TPersistent {
    QT_CLASS(TPageTarget, TPersistent)
public:
    explicit TPageTarget(bool* freed = nullptr) : FFreed(freed) { }
    ~TPageTarget() override
    {
        if (FFreed)
            *FFreed = true;
    }
    const String& GetObjectMessage() const { return FMessage; }
    void SetObjectMessage(const String& v) { FMessage = v; }

private:
    bool* FFreed;
    String FMessage;
};

QT_PUBLISHED(TPageTarget, QT_PROP(ObjectMessage))

class WebBrowserE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainThread();
        RegisterLumWinWebBrowserService();
        ASSERT_FALSE(LumWinWebBrowserInstalledVersion().empty()) << "no browser program";
        cacheRoot = fs::path(std::getenv("XDG_CACHE_HOME")) / "browser-e2e"
            / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::remove_all(cacheRoot);
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(50, 50, 640, 480);
        form->SetPosition(poDesigned);
        form->Show();
        server.Route("/page", [](const HttpRequest&) {
            return HttpResponse { 200, "text/html; charset=utf-8", {}, "<html><body><p id=p>served</p></body></html>" };
        });
    }
    void TearDown() override
    {
        browser.reset();
        form.reset();
        UnregisterLumWinWebBrowserService();
        TLumWebBrowserPlatformServices::Reopen();
    }
    template<class T = TLumWebBrowser>
    T* Make(TWinControl* parent, const String& url = {}, const std::function<void(T*)>& beforeStart = {})
    {
        T* b = LumCreateControl<T>(nullptr);
        b->SetCacheFolder(Utf8ToString(cacheRoot.string()));
        b->SetBounds(0, 0, 600, 400);
        b->OnInitialized = [this](TObject*) { ++initialized; };
        b->OnBeforeNavigate = [this](TObject*, TLumCustomWebBrowserBeforeNavigateParams& p) {
            starting.push_back(StringToUtf8(p.URL));
            if (p.URL.find(u"/blocked") != String::npos)
                p.Cancel = true;
        };
        b->OnNavigateComplete = [this](TObject*, TLumCustomWebBrowserNavigateCompleteParams& p) {
            completed.push_back(StringToUtf8(p.URL) + (p.Success ? " ok" : " failed"));
        };
        if (!url.empty())
            b->SetURL(url);
        if (beforeStart)
            beforeStart(b);
        const std::size_t before = completed.size();
        b->SetParent(parent); // starts the browser and waits for it
        // Without a URL the init page stays: let it finish loading first.
        if (url.empty()) {
            EXPECT_TRUE(WaitFor([&] { return completed.size() > before; }));
        }
        return b;
    }
    bool Completed(const std::string& url)
    {
        return std::find(completed.begin(), completed.end(), url + " ok") != completed.end();
    }
    std::string Url(const std::string& path) const { return server.BaseUrl() + path; }

    THeadlessSession session;
    testsupport::HttpServer server;
    fs::path cacheRoot;
    std::unique_ptr<TForm> form;
    std::unique_ptr<TLumWebBrowser> browser;
    int initialized { 0 };
    std::vector<std::string> starting;
    std::vector<std::string> completed;
};

TEST_F(WebBrowserE2E, UrlSetBeforeStartShowsTheInitPageThenTheUrlAndScriptsRunInOrder)
{
    const std::string page = Url("/page");
    browser.reset(Make(form.get(), Utf8ToString(page)));
    ASSERT_EQ(1, initialized);
    ASSERT_TRUE(WaitFor([&] { return Completed(page); }));
    ASSERT_GE(starting.size(), 2u);
    EXPECT_NE(std::string::npos, starting[0].find("data:")) << starting[0]; // the init page
    EXPECT_EQ(page, starting.back());
    EXPECT_EQ(Utf8ToString(page), browser->GetURL());

    // Queued scripts answer in call order; an immediate one does not wait.
    std::vector<std::string> done;
    for (const char* s : { "1+1", "'two'", "document.getElementById('p').textContent" })
        browser->ExecuteJavaScript(Utf8ToString(s), [&done](const String& v) { done.push_back(StringToUtf8(v)); });
    browser->ExecuteJavaScript(u"'now'", [&done](const String& v) { done.push_back("immediate " + StringToUtf8(v)); }, true);
    ASSERT_TRUE(WaitFor([&] { return done.size() == 4; }));
    std::vector<std::string> queued;
    for (auto& d : done)
        if (d.rfind("immediate", 0) != 0)
            queued.push_back(d);
    EXPECT_EQ((std::vector<std::string> { "2", "\"two\"", "\"served\"" }), queued);

    // Synchronous results in their JSON forms.
    struct Case {
        const char16_t* script;
        const char16_t* json;
    } const cases[] = { { u"1+1", u"2" }, { u"'a\"b'", u"\"a\\\"b\"" }, { u"undefined", u"null" }, { u"[true]", u"[true]" } };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.script));
        EXPECT_EQ(String(c.json), browser->ExecuteJavaScriptSync(c.script));
    }

    // Two screenshots in a row each arrive whole.
    std::vector<TSize> shots;
    browser->OnCaptureScreenShot = [&](TObject*, TLumBitmap* shot) { shots.push_back({ shot->GetWidth(), shot->GetHeight() }); };
    browser->CaptureScreenShot();
    browser->CaptureScreenShot();
    ASSERT_TRUE(WaitFor([&] { return shots.size() == 2; }));
    for (auto& s : shots)
        EXPECT_EQ(TSize(600, 400), s);
}

TEST_F(WebBrowserE2E, InitPageNamesTheVersionAndEmptyUrlDoesNotNavigate)
{
    bool early = false;
    browser.reset(Make(form.get(), {}, std::function<void(TLumWebBrowser*)>([&](TLumWebBrowser* b) {
        b->ExecuteJavaScript(u"1", [&](const String&) { early = true; });
    })));
    ASSERT_EQ(1, initialized);
    const String text = browser->ExecuteJavaScriptSync(u"document.body.innerText");
    EXPECT_EQ(u"\"EDGE CHROMIUM " + LumWinWebBrowserInstalledVersion() + u" IS SUCCESSFULLY INITIALIZED!\"", text);
    EXPECT_FALSE(early); // asked before the browser started: dropped
    const std::size_t before = starting.size();
    browser->SetURL(u"");
    browser->ExecuteJavaScriptSync(u"1");
    EXPECT_EQ(before, starting.size());

    // A cancelled navigation never reaches the server.
    browser->SetURL(Utf8ToString(Url("/blocked")));
    browser->Navigate(Utf8ToString(Url("/page")));
    ASSERT_TRUE(WaitFor([&] { return Completed(Url("/page")); }));
    const auto paths = server.RequestedPaths();
    EXPECT_EQ(paths.end(), std::find(paths.begin(), paths.end(), "/blocked"));
    EXPECT_NE(starting.end(), std::find(starting.begin(), starting.end(), Url("/blocked")));
}

TEST_F(WebBrowserE2E, PageMessagesReachTheBuiltInBridgeAndBridgedObjects)
{
    browser.reset(Make(form.get()));
    ASSERT_EQ(1, initialized);
    browser->ExecuteJavaScriptSync(browser->GetBridgeCommunicationLayer(u"bridge") + u"; sendbridgeObjectMessage('hello page'); 0");
    ASSERT_TRUE(WaitFor([&] { return !starting.empty() && starting.back() == "hello page"; }));
    EXPECT_EQ(u"hello page", browser->GetURL());

    bool firstFreed = false;
    auto* target = new TPageTarget(&firstFreed);
    browser->AddBridge(u"custom", target);
    browser->ExecuteJavaScriptSync(u"chrome.webview.hostObjects.sync.custom.ObjectMessage = 'to custom'; 0");
    ASSERT_TRUE(WaitFor([&] { return target->GetObjectMessage() == u"to custom"; }));
    // Re-adding the name frees the object bridged under it before.
    bool secondFreed = false;
    browser->AddBridge(u"custom", new TPageTarget(&secondFreed));
    EXPECT_TRUE(firstFreed);
    EXPECT_FALSE(secondFreed);
    browser.reset();
    EXPECT_TRUE(secondFreed);
}

TEST_F(WebBrowserE2E, ReparentingKeepsThePageAndRecreatingTheWindowRestartsIt)
{
    auto* panel = new TPanel(form.get());
    panel->SetBounds(0, 0, 620, 440);
    panel->SetParent(form.get());
    browser.reset(Make(panel));
    ASSERT_EQ(1, initialized);
    browser->ExecuteJavaScriptSync(u"window.marker = 'kept'; 0");
    void* controller = browser->NativeBrowser();

    browser->SetParent(form.get());
    EXPECT_EQ(1, initialized);
    EXPECT_EQ(controller, browser->NativeBrowser());
    EXPECT_EQ(u"\"kept\"", browser->ExecuteJavaScriptSync(u"window.marker"));
    auto instance = browser->GetWebBrowserInstance();
    ASSERT_TRUE(instance);
    EXPECT_EQ(browser->GetHandle(), instance->GetParentWindow());
    EXPECT_TRUE(IsChild(browser->GetHandle(), instance->GetWindow()));
    instance.reset();

    // A re-created window starts a new browser; queued scripts do not stall.
    browser->RecreateWnd();
    EXPECT_EQ(2, initialized);
    EXPECT_EQ(u"null", browser->ExecuteJavaScriptSync(u"window.marker"));
    String queued;
    browser->ExecuteJavaScript(u"'after'", [&](const String& v) { queued = v; });
    ASSERT_TRUE(WaitFor([&] { return !queued.empty(); }));
    EXPECT_EQ(u"\"after\"", queued);
}

TEST_F(WebBrowserE2E, AcceleratorKeysGoToTheControlOrAreAllSwallowed)
{
    auto* keys = Make<TKeyBrowser>(form.get());
    browser.reset(keys);
    ASSERT_EQ(1, initialized);
    browser->LoadHTML(u"<html><body style='margin:0;height:100%'><input id=i style='width:300px'>"
                      u"<script>window.keys=[];addEventListener('keydown',e=>keys.push(e.keyCode))</script></body></html>");
    ASSERT_TRUE(WaitFor([&] { return browser->ExecuteJavaScriptSync(u"typeof keys") == u"\"object\""; }));
    const TPoint inside = browser->ClientToScreen(TPoint(20, 10));
    Headless::Click(inside);
    ASSERT_TRUE(WaitFor([&] { return browser->ExecuteJavaScriptSync(u"document.activeElement.id") == u"\"i\""; }));

    struct Case {
        bool enabled;
        std::vector<WORD> pressed;   // seen by the control's hook
        const char16_t* pageKeys;    // reached the page
    } const cases[] = {
        { true, { VK_F1 + 4, VK_F1 + 6 }, u"[118,88]" },
        { false, {}, u"[88]" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.enabled);
        browser->SetEnableAcceleratorKeys(c.enabled);
        keys->Pressed.clear();
        browser->ExecuteJavaScriptSync(u"keys.length = 0");
        Headless::Key(VK_F1 + 4);
        Headless::Key(VK_F1 + 6);
        Headless::Key('X');
        EXPECT_TRUE(WaitFor([&] { return browser->ExecuteJavaScriptSync(u"keys.length > 0 && keys[keys.length-1] == 88") == u"true"; }));
        EXPECT_EQ(String(c.pageKeys), browser->ExecuteJavaScriptSync(u"keys"));
        std::vector<WORD> downs;
        for (std::size_t i = 0; i < keys->Pressed.size(); i += 2)
            downs.push_back(keys->Pressed[i]); // each key comes down, then up
        EXPECT_EQ(c.pressed, downs);
    }
}

TEST_F(WebBrowserE2E, UserDataFolderGoesAtShutdownButNotWhileAnotherHostUsesIt)
{
    browser.reset(Make(form.get()));
    std::unique_ptr<TLumWebBrowser> second(Make(form.get()));
    ASSERT_EQ(2, initialized);
    auto* host = dynamic_cast<TLumWinWebBrowser*>(browser->GetWebBrowser());
    ASSERT_NE(nullptr, host);
    const fs::path folder = StringToUtf8(host->GetUserDataFolder());
    ASSERT_TRUE(fs::exists(folder));
    const pid_t pid = static_cast<webview::CoreWebView2Environment*>(browser->NativeEnvironment())->GetBrowserProcessId();
    ASSERT_GT(pid, 0);

    browser.reset();
    EXPECT_TRUE(fs::exists(folder));
    EXPECT_EQ(u"3", second->ExecuteJavaScriptSync(u"1+2")); // the shared browser still runs

    second.reset();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(cacheRoot));
    // The browser had exited before its files went.
    EXPECT_NE(0, ::kill(pid, 0));
}

} // namespace
