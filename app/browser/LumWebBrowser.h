#pragma once
// The embedded web browser control. It owns no engine of its own: at
// construction it asks the browser service registered with the platform
// services (LumWebBrowserServices.h) for a platform browser and forwards
// navigation, scripts, bridges, screenshots and cache requests to it. What
// does not depend on the platform lives here: the script queue, the blocking
// script call, the page-to-host bridge text, the ready-state polling thread,
// the events and the order in which parenting and window re-creation start
// and stop the platform browser.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/browser/LumCustomControl.h"
#include "foundation/LumPersistence.h"
#include "platform/rtl/Threads.h"

class TLumBitmap;
class TLumCustomWebBrowser;

namespace webview {
class CoreWebView2Controller;
}

// A script's result as the JSON text the engine delivers.
using TLumWebBrowserJavaScriptCompleteEvent = std::function<void(const String& AValue)>;

struct TLumCustomWebBrowserBeforeNavigateParams {
    String URL;
    bool Cancel { false };
};

struct TLumCustomWebBrowserNavigateCompleteParams {
    String URL;
    bool Success { false };
    std::int32_t ErrorCode { 0 };
};

using TLumCustomWebBrowserBeforeNavigate
    = std::function<void(TObject* Sender, TLumCustomWebBrowserBeforeNavigateParams& Params)>;
using TLumCustomWebBrowserNavigateComplete
    = std::function<void(TObject* Sender, TLumCustomWebBrowserNavigateCompleteParams& Params)>;
// The picture is freed right after the handler returns: copy it to keep it.
using TLumCustomWebBrowserCaptureScreenShot = std::function<void(TObject* Sender, TLumBitmap* AScreenShot)>;

// The platform browser a control drives. Operation order is part of the
// contract with implementations; keep it.
// Blocks until a message or queued call arrives (a script's answer, a
// navigation event, input) or the deadline passes, whichever is first: the
// waits that pump messages wake on the answer instead of polling.
void WaitForMessagesUntil(std::chrono::steady_clock::time_point deadline);

class ILumCustomWebBrowser : public virtual IInterface {
public:
    QT_INTERFACE_ID("{8CE780C0-D22F-4063-993B-CFB0DD7D1351}");
    virtual void SetUserAgent(const String& Value) = 0;
    virtual void SetURL(const String& Value) = 0;
    virtual void SetExternalBrowser(bool Value) = 0;
    virtual void SetEnableContextMenu(bool Value) = 0;
    virtual void SetEnableShowDebugConsole(bool Value) = 0;
    virtual void SetEnableAcceleratorKeys(bool Value) = 0;
    virtual void SetCacheFolderName(const String& Value) = 0;
    virtual void SetAutoClearCache(bool Value) = 0;
    virtual void SetCacheFolder(const String& Value) = 0;
    virtual void Navigate(const String& AURL) = 0;
    virtual void Navigate() = 0;
    virtual void LoadHTML(const String& AHTML) = 0;
    virtual void LoadFile(const String& AFile) = 0;
    virtual void GoForward() = 0;
    virtual void GoBack() = 0;
    virtual void Reload() = 0;
    virtual void CloseForm() = 0;
    virtual void StopLoading() = 0;
    // Takes ownership of ABridgeObject.
    virtual void AddBridge(const String& ABridgeName, TObject* ABridgeObject) = 0;
    virtual void RemoveBridge(const String& ABridgeName) = 0;
    virtual void UpdateBounds() = 0;
    virtual void CaptureScreenShot() = 0;
    virtual void UpdateVisible() = 0;
    virtual void UpdateEnabled() = 0;
    virtual void BeforeChangeParent() = 0;
    virtual void Initialize() = 0;
    virtual void DeInitialize() = 0;
    virtual void ClearCache() = 0;
    virtual void ShowDebugConsole() = 0;
    virtual String GetUserAgent() = 0;
    virtual String GetURL() = 0;
    virtual bool GetExternalBrowser() = 0;
    virtual bool GetEnableContextMenu() = 0;
    virtual bool GetEnableShowDebugConsole() = 0;
    virtual bool GetEnableAcceleratorKeys() = 0;
    // When the script finishes: ACompleteEvent (if any) with the result's
    // JSON text, then ACallback (if any).
    virtual void ExecuteJavaScript(
        const String& AScript, TLumWebBrowserJavaScriptCompleteEvent ACompleteEvent, TNotifyEvent ACallback)
        = 0;
    virtual void* NativeEnvironment() = 0;
    virtual void* NativeBrowser() = 0;
    virtual std::shared_ptr<webview::CoreWebView2Controller> GetWebBrowserInstance() = 0;
    virtual bool CanGoBack() = 0;
    virtual bool CanGoForward() = 0;
    // A query no caller uses; answers false.
    virtual bool GetIsReserved() = 0;
    virtual bool IsFMXBrowser() = 0;
    virtual String GetCacheFolderName() = 0;
    virtual bool GetAutoClearCache() = 0;
    virtual String GetCacheFolder() = 0;

protected:
    ~ILumCustomWebBrowser() = default;
};

// One queued script.
class TLumScript : public TPersistent, public TLumJSONMethods<TLumScript> {
    QT_CLASS(TLumScript, TPersistent)
public:
    TLumScript(const String& AScript, TLumWebBrowserJavaScriptCompleteEvent ACompleteEvent)
        : FScript(AScript), FCompleteEvent(std::move(ACompleteEvent))
    {
    }
    const String& GetScript() const { return FScript; }
    const TLumWebBrowserJavaScriptCompleteEvent& GetCompleteEvent() const { return FCompleteEvent; }

private:
    String FScript;
    TLumWebBrowserJavaScriptCompleteEvent FCompleteEvent;
};

// The script queue; item 0 is the head.
using TLumScriptList = std::vector<std::unique_ptr<TLumScript>>;

// Polls the page's ready state every 100 ms and reports a ready document.
class TLumWebBrowserDocumentReadyStateThread : public TThread {
public:
    explicit TLumWebBrowserDocumentReadyStateThread(TLumCustomWebBrowser* AWebBrowser) : FWebBrowser(AWebBrowser) { }
    ~TLumWebBrowserDocumentReadyStateThread() override;

protected:
    void Execute() override;

private:
    TLumCustomWebBrowser* FWebBrowser { nullptr };
};

class TLumCustomWebBrowser : public TLumCustomControl {
    QT_CLASS(TLumCustomWebBrowser, TLumCustomControl)
public:
    explicit TLumCustomWebBrowser(TComponent* AOwner = nullptr);
    ~TLumCustomWebBrowser() override;

    // ---- overridable operations ----
    virtual bool CanShowBrowser() { return true; }
    virtual bool CheckClientIdentifier() { return false; }
    virtual void DeleteCookies();
    virtual void StartDocumentReadyStateThread();
    virtual void DoDocumentComplete();
    virtual void DoHardwareButtonClicked();
    virtual void DoCloseForm();
    virtual void DoCaptureScreenShot(TLumBitmap* AScreenShot);
    virtual void DoBeforeNavigate(TLumCustomWebBrowserBeforeNavigateParams& Params);
    virtual void DoNavigateComplete(TLumCustomWebBrowserNavigateCompleteParams& Params);
    virtual void DoInitialized();
    virtual void DoKeyPressed(WORD& /*Key*/) { }
    virtual void Navigate();
    virtual void Navigate(const String& AURL);
    // Queued scripts run one at a time in call order once the browser is
    // initialised; a script requested before that is dropped and its event
    // never called. An immediate script of an initialised browser skips the
    // queue.
    virtual void ExecuteJavaScript(const String& AScript,
        TLumWebBrowserJavaScriptCompleteEvent ACompleteEvent = {}, bool AImmediate = false);
    // Runs the script and waits (processing messages) for its JSON result;
    // empty text when no answer came in about a minute.
    virtual String ExecuteJavaScriptSync(const String& AScript);
    virtual void LoadHTML(const String& AHTML);
    virtual void LoadFile(const String& AFile);
    virtual void Initialize();
    virtual void DeInitialize();
    virtual void GoForward();
    virtual void GoBack();
    virtual void Reload();
    virtual void StopLoading();
    // Takes ownership of ABridgeObject; re-adding a name frees the object
    // bridged under it before.
    virtual void AddBridge(const String& ABridgeName, TObject* ABridgeObject);
    virtual void RemoveBridge(const String& ABridgeName);
    virtual void CaptureScreenShot();
    virtual void ShowDebugConsole();
    // JavaScript defining send<ABridgeName>ObjectMessage(value) for pages.
    virtual String GetBridgeCommunicationLayer(const String& ABridgeName);
    virtual void* NativeEnvironment();
    virtual void* NativeBrowser();
    virtual bool IsFMXBrowser();
    virtual bool CanGoBack();
    virtual bool CanGoForward();
    virtual std::shared_ptr<webview::CoreWebView2Controller> GetWebBrowserInstance();
    virtual void ClearCache();
    virtual bool CanRecreateWebBrowser() { return true; }
    virtual bool CanShowInitPage() { return true; }

    // ---- properties ----
    String GetURL();
    void SetURL(const String& Value);
    bool GetEnableContextMenu();
    void SetEnableContextMenu(bool Value);
    bool GetEnableShowDebugConsole();
    void SetEnableShowDebugConsole(bool Value);
    bool GetEnableAcceleratorKeys();
    void SetEnableAcceleratorKeys(bool Value);
    String GetCacheFolder();
    void SetCacheFolder(const String& Value);
    String GetCacheFolderName();
    void SetCacheFolderName(const String& Value);
    bool GetAutoClearCache();
    void SetAutoClearCache(bool Value);
    String GetUserAgent();
    void SetUserAgent(const String& Value);
    bool GetDesigntimeEnabled() const { return FDesigntimeEnabled; }
    void SetDesigntimeEnabled(bool Value) { FDesigntimeEnabled = Value; }
    bool GetCanDestroyDispatch() const { return FCanDestroyDispatch; }
    bool GetInitialized() const { return FInitialized; }
    bool GetReady() const { return FReady; }
    // The platform browser; null when no browser service is registered.
    ILumCustomWebBrowser* GetWebBrowser() const { return FWebBrowser.get(); }

    String GetVersion() override { return u"1.1.4.6"; }

    void Loaded() override;
    void SetEnabled(bool Value) override;
    void SetParent(TWinControl* AParent) override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override;

    // Ready-state polling (run by the polling thread on the GUI thread).
    void CheckApplicationInitialized();
    void DoCheckReadyState(const String& Value);
    void StopDocumentReadyStateThread();

    TNotifyEvent OnInitialized;
    TLumCustomWebBrowserBeforeNavigate OnBeforeNavigate;
    TLumCustomWebBrowserNavigateComplete OnNavigateComplete;
    TNotifyEvent OnHardwareButtonClicked;
    TLumCustomWebBrowserCaptureScreenShot OnCaptureScreenShot;
    TNotifyEvent OnDocumentComplete;
    TNotifyEvent OnCloseForm;

protected:
    // Empty hook run once the platform browser exists (in AfterConstruction,
    // where overrides are reached).
    virtual void AfterCreateWebBrowser() { }
    void RunConstructionSteps() override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void UpdateControlAfterResize() override;
    void DrawControl() override { }

private:
    struct TSyncAnswer {
        String Value;
        bool Answered { false };
        bool Abandoned { false };
    };

    void ProcessNextScript(TObject* Sender);
    void SendScript(const TLumScript& AScript);
    void DocumentReadyStateThreadDone(TThread* Sender);

    bool FDesigntimeEnabled { true };
    bool FCanDestroyDispatch { true };
    bool FThreadDone { false };
    bool FReady { false };
    bool FInitialized { false };
    TLumScriptList FScriptList;
    std::unique_ptr<TLumWebBrowserDocumentReadyStateThread> FDocumentReadyStateThread;
    TComPtr<ILumCustomWebBrowser> FWebBrowser;
    String FURL;
    bool FExternalBrowser { false };
    bool FEnableShowDebugConsole { true };
    bool FEnableAcceleratorKeys { true };
    bool FEnableContextMenu { true };
    // Set while SetParent runs: the window made for the new parent keeps
    // the web view instead of re-creating it.
    bool FChangingParent { false };
    // Each synchronous call waits for an answer slot of its own; a slot is
    // abandoned when its call gives up, so a late answer reaches no one.
    std::vector<std::weak_ptr<TSyncAnswer>> FSyncAnswers;
    // Completions of queued scripts hold this weakly; it is replaced when the
    // platform browser goes away, so answers that arrive later are dropped.
    std::shared_ptr<int> FQueueGeneration { std::make_shared<int>(0) };
};

class TLumWebBrowser : public TLumCustomWebBrowser {
    QT_CLASS(TLumWebBrowser, TLumCustomWebBrowser)
public:
    explicit TLumWebBrowser(TComponent* AOwner = nullptr) : TLumCustomWebBrowser(AOwner) { }
};
