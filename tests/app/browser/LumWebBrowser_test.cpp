#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "app/browser/LumWebBrowser.h"
#include "app/browser/LumWebBrowserServices.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/Forms.h"

namespace {

// A platform browser that records what the control asks of it and answers
// scripts only when the test says so.
class TFakeBrowser : public TInterfacedObject, public ILumCustomWebBrowser {
    QT_CLASS(TFakeBrowser, TInterfacedObject)
    QT_INTERFACES(ILumCustomWebBrowser)
public:
    struct TCall {
        String Script;
        TLumWebBrowserJavaScriptCompleteEvent Event;
        TNotifyEvent Callback;
    };

    void SetUserAgent(const String& v) override { Log.push_back("agent " + StringToUtf8(v)); }
    void SetURL(const String& v) override
    {
        FURL = v;
        Log.push_back("seturl " + StringToUtf8(v));
    }
    void SetExternalBrowser(bool) override { }
    void SetEnableContextMenu(bool v) override { FContextMenu = v; }
    void SetEnableShowDebugConsole(bool v) override { FDebugConsole = v; }
    void SetEnableAcceleratorKeys(bool v) override { FAccelerators = v; }
    void SetCacheFolderName(const String& v) override { FCacheFolderName = v; }
    void SetAutoClearCache(bool v) override { FAutoClear = v; }
    void SetCacheFolder(const String& v) override { FCacheFolder = v; }
    void Navigate(const String& url) override { Log.push_back("navigate " + StringToUtf8(url)); }
    void Navigate() override { Log.push_back("navigate"); }
    void LoadHTML(const String&) override { Log.push_back("html"); }
    void LoadFile(const String&) override { }
    void GoForward() override { }
    void GoBack() override { }
    void Reload() override { }
    void CloseForm() override { }
    void StopLoading() override { }
    void AddBridge(const String& name, TObject* object) override
    {
        Log.push_back("add " + StringToUtf8(name));
        delete object;
    }
    void RemoveBridge(const String& name) override { Log.push_back("remove " + StringToUtf8(name)); }
    void UpdateBounds() override { }
    void CaptureScreenShot() override { }
    void UpdateVisible() override { }
    void UpdateEnabled() override { }
    void BeforeChangeParent() override { }
    void Initialize() override { Log.push_back("init"); }
    void DeInitialize() override { Log.push_back("deinit"); }
    void ClearCache() override { }
    void ShowDebugConsole() override { }
    String GetUserAgent() override { return u"fake agent"; }
    String GetURL() override { return FURL; }
    bool GetExternalBrowser() override { return false; }
    bool GetEnableContextMenu() override { return FContextMenu; }
    bool GetEnableShowDebugConsole() override { return FDebugConsole; }
    bool GetEnableAcceleratorKeys() override { return FAccelerators; }
    void ExecuteJavaScript(const String& script, TLumWebBrowserJavaScriptCompleteEvent event, TNotifyEvent callback) override
    {
        Calls.push_back({ script, std::move(event), std::move(callback) });
        if (OnScript)
            OnScript(Calls.size() - 1);
    }
    void* NativeEnvironment() override { return nullptr; }
    void* NativeBrowser() override { return nullptr; }
    std::shared_ptr<webview::CoreWebView2Controller> GetWebBrowserInstance() override { return nullptr; }
    bool CanGoBack() override { return true; }
    bool CanGoForward() override { return false; }
    bool GetIsReserved() override { return false; }
    bool IsFMXBrowser() override { return false; }
    String GetCacheFolderName() override { return FCacheFolderName; }
    bool GetAutoClearCache() override { return FAutoClear; }
    String GetCacheFolder() override { return FCacheFolder; }

    // Answers script call `i` the way the engine does: event, then callback.
    void Complete(std::size_t i, const String& value)
    {
        TCall call = Calls.at(i);
        if (call.Event)
            call.Event(value);
        if (call.Callback)
            call.Callback(this);
    }
    std::vector<String> Scripts() const
    {
        std::vector<String> out;
        for (auto& c : Calls)
            out.push_back(c.Script);
        return out;
    }

    std::vector<std::string> Log;
    std::vector<TCall> Calls;
    std::function<void(std::size_t)> OnScript;
    String FURL;
    bool FContextMenu { true };
    bool FDebugConsole { true };
    bool FAccelerators { true };
    bool FAutoClear { true };
    String FCacheFolderName;
    String FCacheFolder;
};

QT_PUBLISHED(TFakeBrowser)

class TFakeService : public TLumWebBrowserFactoryService {
    QT_CLASS(TFakeService, TLumWebBrowserFactoryService)
public:
    void DeleteCookies() override { ++CookieDeletes; }
    TFakeBrowser* Last { nullptr };
    int CookieDeletes { 0 };
    std::vector<std::string>* DestroyLog { nullptr };

protected:
    TComPtr<ILumCustomWebBrowser> DoCreateWebBrowser(TLumCustomWebBrowser*) override
    {
        Last = new TFakeBrowser;
        return TComPtr<ILumCustomWebBrowser>(Last);
    }
};

QT_PUBLISHED(TFakeService)

// A service object that does not implement the browser service.
class TOtherService : public TInterfacedObject {
    QT_CLASS(TOtherService, TInterfacedObject)
};

QT_PUBLISHED(TOtherService)

const TGUID ServiceID = ILumWebBrowserService::IID;

class WebBrowserControl : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainThread();
        TLumWebBrowserPlatformServices::Reopen();
        service = TComPtr<TFakeService>(new TFakeService);
        TLumWebBrowserPlatformServices::Current()->AddPlatformService(ServiceID, TComPtr<IInterface>(service.get()));
        browser.reset(LumCreateControl<TLumWebBrowser>(nullptr));
        fake = service->Last;
        ASSERT_NE(fake, nullptr);
    }
    void TearDown() override
    {
        browser.reset();
        TLumWebBrowserPlatformServices::Current()->RemovePlatformService(ServiceID);
    }
    // Queued scripts with recorded completions.
    void Queue(const std::string& script, std::vector<std::string>& done)
    {
        browser->ExecuteJavaScript(Utf8ToString(script),
            [&done, script](const String& v) { done.push_back(script + "=" + StringToUtf8(v)); });
    }

    TComPtr<TFakeService> service;
    std::unique_ptr<TLumWebBrowser> browser;
    TFakeBrowser* fake { nullptr };
};

// ---- registry ----

TEST(WebBrowserServices, RegistryKeepsTheFirstServiceAndRefusesOnesThatDoNotAnswer)
{
    TLumWebBrowserPlatformServices::Reopen();
    auto* services = TLumWebBrowserPlatformServices::Current();
    ASSERT_NE(services, nullptr);
    const int before = services->Count();
    TComPtr<TFakeService> first(new TFakeService);
    TComPtr<TFakeService> second(new TFakeService);
    TComPtr<TOtherService> other(new TOtherService);

    services->AddPlatformService(ServiceID, TComPtr<IInterface>(other.get()));
    EXPECT_FALSE(services->SupportsPlatformService(ServiceID));
    services->AddPlatformService(ServiceID, TComPtr<IInterface>(first.get()));
    services->AddPlatformService(ServiceID, TComPtr<IInterface>(second.get()));
    EXPECT_EQ(before + 1, services->Count());
    EXPECT_EQ(LumWebBrowserService().get(), static_cast<ILumWebBrowserService*>(first.get()));
    TComPtr<IInterface> found;
    EXPECT_TRUE(services->SupportsPlatformService(ServiceID, found));
    EXPECT_EQ(found.get(), static_cast<IInterface*>(first.get()));

    // The key is the identity's canonical text; other identities find nothing.
    EXPECT_EQ(u"{94C7BF89-2B0A-40DF-8C24-B393CEB91389}", LumGUIDToString(ServiceID));
    EXPECT_FALSE(services->GetPlatformService(ILumCustomWebBrowser::IID));
    EXPECT_FALSE(services->SupportsPlatformService(ILumCustomWebBrowser::IID, found));
    EXPECT_FALSE(found);

    services->RemovePlatformService(ServiceID);
    EXPECT_FALSE(services->SupportsPlatformService(ServiceID));
    EXPECT_FALSE(LumWebBrowserService());
    // The registry released its reference.
    EXPECT_EQ(1, first->GetRefCount());
}

TEST(WebBrowserServices, EntryListSearchesFromTheFrontAndRemovesFromTheBack)
{
    TComPtr<TFakeService> a(new TFakeService);
    TComPtr<TFakeService> b(new TFakeService);
    TLumWebBrowserPlatformServicesList list;
    list.Add(std::make_unique<TLumWebBrowserPlatformServicesService>(u"K", TComPtr<IInterface>(a.get())));
    list.Add(std::make_unique<TLumWebBrowserPlatformServicesService>(u"K", TComPtr<IInterface>(b.get())));
    EXPECT_EQ(list.GetValue(u"K").get(), static_cast<IInterface*>(a.get()));
    list.RemoveByGUID(u"K");
    EXPECT_EQ(list.GetValue(u"K").get(), static_cast<IInterface*>(a.get()));
    list.RemoveByGUID(u"k"); // exact texts
    EXPECT_TRUE(list.ContainsKey(u"K"));
    list.RemoveByGUID(u"K");
    EXPECT_FALSE(list.ContainsKey(u"K"));
    EXPECT_FALSE(list.GetValue(u"K"));
}

TEST(WebBrowserServices, AfterTheUnitEndsNoRegistryIsMadeAndControlsGetNoBrowser)
{
    TLumWebBrowserPlatformServices::Reopen();
    TComPtr<TFakeService> service(new TFakeService);
    TLumWebBrowserPlatformServices::Current()->AddPlatformService(ServiceID, TComPtr<IInterface>(service.get()));
    TLumWebBrowserPlatformServices::Finalize();
    EXPECT_EQ(nullptr, TLumWebBrowserPlatformServices::Current());
    EXPECT_EQ(nullptr, TLumWebBrowserPlatformServices::Current());
    EXPECT_EQ(1, service->GetRefCount()); // freed with the registry

    std::unique_ptr<TLumWebBrowser> browser(LumCreateControl<TLumWebBrowser>(nullptr));
    EXPECT_EQ(nullptr, browser->GetWebBrowser());
    EXPECT_EQ(nullptr, service->Last);
    TLumWebBrowserPlatformServices::Reopen();
    EXPECT_NE(nullptr, TLumWebBrowserPlatformServices::Current());
}

TEST(WebBrowserServices, FactoryListsEachBrowserUntilItIsDestroyed)
{
    TComPtr<TFakeService> service(new TFakeService);
    TComPtr<ILumCustomWebBrowser> one = service->CreateWebBrowser(nullptr);
    TFakeBrowser* first = service->Last;
    TComPtr<ILumCustomWebBrowser> two = service->CreateWebBrowser(nullptr);
    EXPECT_EQ(2, service->GetWebBrowserCount());
    EXPECT_EQ(2, first->GetRefCount());
    service->DestroyWebBrowser(one);
    service->DestroyWebBrowser(one);
    service->DestroyWebBrowser(nullptr);
    EXPECT_EQ(1, service->GetWebBrowserCount());
    EXPECT_EQ(1, first->GetRefCount()); // alive while the caller holds it
}

// ---- control without a platform browser ----

TEST(WebBrowserWithoutService, EveryOperationIsANoOp)
{
    SetMainThread();
    TLumWebBrowserPlatformServices::Reopen();
    std::unique_ptr<TLumWebBrowser> browser(LumCreateControl<TLumWebBrowser>(nullptr));
    ASSERT_EQ(nullptr, browser->GetWebBrowser());
    EXPECT_EQ(500, browser->GetWidth());
    EXPECT_EQ(350, browser->GetHeight());
    EXPECT_EQ(u"1.1.4.6", browser->GetVersion());

    bool called = false;
    browser->ExecuteJavaScript(u"1", [&](const String&) { called = true; }, true);
    browser->ExecuteJavaScript(u"1", [&](const String&) { called = true; });
    EXPECT_EQ(u"", browser->ExecuteJavaScriptSync(u"1")); // at once: no wait
    EXPECT_FALSE(called);

    browser->SetURL(u"http://example.invalid/");
    EXPECT_EQ(u"http://example.invalid/", browser->GetURL());
    browser->SetEnableContextMenu(false);
    EXPECT_FALSE(browser->GetEnableContextMenu());
    browser->SetCacheFolder(u"/tmp/x");
    EXPECT_EQ(u"", browser->GetCacheFolder());
    EXPECT_FALSE(browser->GetAutoClearCache());
    EXPECT_FALSE(browser->CanGoBack());
    EXPECT_EQ(nullptr, browser->GetWebBrowserInstance());
    bool initialized = false;
    browser->OnInitialized = [&](TObject*) { initialized = true; };
    browser->Initialize();
    EXPECT_FALSE(initialized);
}

// ---- script queue ----

TEST_F(WebBrowserControl, ScriptsBeforeInitialisationAreDroppedAndLaterOnesRunInOrder)
{
    std::vector<std::string> done;
    Queue("early", done);
    browser->ExecuteJavaScript(u"early immediate", [&](const String&) { done.push_back("early immediate"); }, true);
    EXPECT_TRUE(fake->Calls.empty());

    browser->DoInitialized();
    Queue("a", done);
    Queue("b", done);
    Queue("c", done);
    // One in flight at a time.
    ASSERT_EQ(std::vector<String> { u"a" }, fake->Scripts());
    fake->Complete(0, u"1");
    ASSERT_EQ((std::vector<String> { u"a", u"b" }), fake->Scripts());
    fake->Complete(1, u"2");
    fake->Complete(2, u"3");
    EXPECT_EQ((std::vector<std::string> { "a=1", "b=2", "c=3" }), done);
    // The queue is empty again: the next script goes out at once.
    Queue("d", done);
    EXPECT_EQ(4u, fake->Calls.size());
}

TEST_F(WebBrowserControl, ImmediateScriptOvertakesTheQueue)
{
    browser->DoInitialized();
    std::vector<std::string> done;
    Queue("slow", done);
    browser->ExecuteJavaScript(u"now", [&](const String& v) { done.push_back("now=" + StringToUtf8(v)); }, true);
    ASSERT_EQ((std::vector<String> { u"slow", u"now" }), fake->Scripts());
    EXPECT_FALSE(fake->Calls[1].Callback); // not part of the queue
    fake->Complete(1, u"\"x\"");
    fake->Complete(0, u"null");
    EXPECT_EQ((std::vector<std::string> { "now=\"x\"", "slow=null" }), done);
}

TEST_F(WebBrowserControl, DeInitialiseCompletesQueuedScriptsWithNullAndDropsTheirLateAnswers)
{
    browser->DoInitialized();
    std::vector<std::string> done;
    Queue("a", done);
    Queue("b", done);
    browser->DeInitialize();
    EXPECT_EQ((std::vector<std::string> { "a=null", "b=null" }), done);
    EXPECT_FALSE(browser->GetInitialized());
    // The engine's own answer to the script in flight comes too late.
    fake->Complete(0, u"1");
    EXPECT_EQ(2u, done.size());
    EXPECT_EQ(1u, fake->Calls.size());

    // A new start runs scripts again.
    browser->DoInitialized();
    Queue("c", done);
    ASSERT_EQ(2u, fake->Calls.size());
    fake->Complete(1, u"3");
    EXPECT_EQ("c=3", done.back());
}

TEST_F(WebBrowserControl, DestructionNeverCallsCompletionEvents)
{
    browser->DoInitialized();
    std::vector<std::string> done;
    Queue("a", done);
    Queue("b", done);
    TFakeBrowser::TCall inFlight = fake->Calls[0];
    fake->AddRef();
    TFakeBrowser* keep = fake;
    browser.reset();
    EXPECT_TRUE(done.empty());
    // An answer still delivered by the engine reaches nothing.
    if (inFlight.Event)
        inFlight.Event(u"1");
    if (inFlight.Callback)
        inFlight.Callback(keep);
    EXPECT_TRUE(done.empty());
    EXPECT_EQ("deinit", keep->Log.back());
    EXPECT_EQ(0, service->GetWebBrowserCount());
    keep->Release();
}

// ---- synchronous scripts ----

TEST_F(WebBrowserControl, SyncScriptReturnsTheJsonTextUnchanged)
{
    struct Case {
        const char16_t* answer;
    } const cases[] = { { u"2" }, { u"\"say \\\"hi\\\"\"" }, { u"null" }, { u"{\"a\":[1,2]}" } };
    fake->OnScript = [&](std::size_t i) {
        QueueToMainThread([this, i, answer = fake->Calls[i].Script] { fake->Complete(i, answer); });
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.answer));
        // Works before initialisation too: it does not go through the queue.
        EXPECT_EQ(String(c.answer), browser->ExecuteJavaScriptSync(c.answer));
    }
}

TEST_F(WebBrowserControl, NestedSyncCallsEachGetTheirOwnAnswer)
{
    String inner;
    fake->OnScript = [&](std::size_t i) {
        if (fake->Calls[i].Script == u"outer") {
            // While the outer call waits, a handler starts another one; the
            // outer answer arrives while the inner call is still waiting.
            QueueToMainThread([&] { inner = browser->ExecuteJavaScriptSync(u"inner"); });
        } else {
            QueueToMainThread([this] { fake->Complete(0, u"\"outer answer\""); });
            QueueToMainThread([this, i] { fake->Complete(i, u"\"inner answer\""); });
        }
    };
    EXPECT_EQ(u"\"outer answer\"", browser->ExecuteJavaScriptSync(u"outer"));
    EXPECT_EQ(u"\"inner answer\"", inner);
}

TEST_F(WebBrowserControl, AnswerOfAnAbandonedSyncCallGoesToNoLaterCall)
{
    // The first call gives up (the browser is de-initialised while it waits).
    fake->OnScript = [&](std::size_t i) {
        if (i == 0)
            QueueToMainThread([this] { browser->DeInitialize(); });
        else
            QueueToMainThread([this, i] {
                fake->Complete(0, u"\"stale\"");
                fake->Complete(i, u"\"fresh\"");
            });
    };
    EXPECT_EQ(u"", browser->ExecuteJavaScriptSync(u"first"));
    EXPECT_EQ(u"\"fresh\"", browser->ExecuteJavaScriptSync(u"second"));
}

// ---- ready state ----

TEST_F(WebBrowserControl, ReadyStatePollingReportsACompleteDocumentOnce)
{
    browser->DoInitialized();
    int answered = 0;
    fake->OnScript = [&](std::size_t i) {
        // Loading at first, then complete.
        const String state = ++answered < 3 ? u"\"loading\"" : u"\"Complete\"";
        QueueToMainThread([this, i, state] { fake->Complete(i, state); });
    };
    int completes = 0;
    browser->OnDocumentComplete = [&](TObject*) { ++completes; };
    browser->Navigate(u"http://a.test/");
    EXPECT_FALSE(browser->GetReady());
    browser->StartDocumentReadyStateThread();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (completes == 0 && std::chrono::steady_clock::now() < deadline) {
        CheckSynchronize();
        WaitForMainThreadWork(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(1, completes);
    EXPECT_TRUE(browser->GetReady());
    EXPECT_GE(answered, 3);
    for (const auto& script : fake->Scripts())
        EXPECT_EQ(u"document.readyState", script);
    browser->StopDocumentReadyStateThread();
    browser->Navigate();
    EXPECT_FALSE(browser->GetReady());
}

// ---- bridge, properties, lifecycle ----

TEST_F(WebBrowserControl, BridgeTextIsExact)
{
    const String expected = u"var sendbridgeObjectMessage = function(parameters) {\r"
                            u"  var v = parameters;\r"
                            u"if (!window.chrome || !window.chrome.webview || !window.chrome.webview.hostObjects || "
                            u"!window.chrome.webview.hostObjects.sync) {\r"
                            u"  return;\r"
                            u"}\r"
                            u"var obj = window.chrome.webview.hostObjects.sync.bridge;\r"
                            u"  if (obj) {\r"
                            u"    obj.ObjectMessage = v;\r"
                            u"  }\r"
                            u"};";
    const String text = browser->GetBridgeCommunicationLayer(u"bridge");
    EXPECT_EQ(expected, text);
    EXPECT_EQ(9, std::count(text.begin(), text.end(), u'\r'));
    EXPECT_EQ(0, std::count(text.begin(), text.end(), u'\n'));
}

TEST_F(WebBrowserControl, UrlNavigatesOnlyWhenNotEmptyAndBridgesAreReplacedByName)
{
    browser->SetURL(u"");
    browser->SetURL(u"http://a.test/");
    browser->AddBridge(u"host", new TObject);
    EXPECT_EQ((std::vector<std::string> { "seturl ", "seturl http://a.test/", "navigate", "remove host", "add host" }),
        fake->Log);
    EXPECT_EQ(u"http://a.test/", browser->GetURL());

    // Settings go to the platform browser and are read back from it.
    browser->SetEnableAcceleratorKeys(false);
    browser->SetCacheFolderName(u"Name");
    EXPECT_FALSE(fake->FAccelerators);
    EXPECT_FALSE(browser->GetEnableAcceleratorKeys());
    EXPECT_EQ(u"Name", browser->GetCacheFolderName());
    EXPECT_EQ(u"fake agent", browser->GetUserAgent());
    browser->DeleteCookies();
    EXPECT_EQ(1, service->CookieDeletes);
}

TEST_F(WebBrowserControl, ParentingStartsTheBrowserAndWindowRecreationRestartsARunningOne)
{
    TForm form(nullptr);
    browser->SetParent(&form);
    ASSERT_EQ("init", fake->Log.back());
    browser->HandleNeeded();
    EXPECT_EQ("init", fake->Log.back()); // the first window keeps what runs
    fake->Log.clear();
    browser->DoInitialized();
    browser->RecreateWnd();
    EXPECT_EQ((std::vector<std::string> { "deinit", "init" }), fake->Log);
    EXPECT_FALSE(browser->GetInitialized());
    browser->SetParent(nullptr);
}

} // namespace
