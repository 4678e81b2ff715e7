#pragma once
// The platform browser over the web view (platform/web/WebView.h) and the
// browser service that makes it. The host starts a web view environment on a
// per-program user-data folder under the user's cache folder, waits for the
// controller, wires the engine's events to the control's, runs scripts,
// exposes objects to page scripts, captures screenshots, and deletes the
// user-data folder once the browser that used it has exited.

#include <map>
#include <memory>
#include <vector>

#include "app/browser/LumWebBrowserServices.h"
#include "platform/web/WebView.h"

class TVuzUdoectDispatch;
class TDispatchHostObject;
class TLumWinWebBrowser;

// The host's own page object, exposed as "bridge": a page assigning its
// ObjectMessage reports the text through the control's OnBeforeNavigate.
class TCoreWebView2RemoteObject : public TPersistent {
    QT_CLASS(TCoreWebView2RemoteObject, TPersistent)
public:
    explicit TCoreWebView2RemoteObject(TLumWinWebBrowser* AWebBrowser) : FWebBrowser(AWebBrowser) { }
    const String& GetObjectMessage() const { return FObjectMessage; }
    void SetObjectMessage(const String& Value);

private:
    TLumWinWebBrowser* FWebBrowser { nullptr };
    String FObjectMessage;
};

class TLumWinWebBrowser : public TInterfacedObject, public ILumCustomWebBrowser {
    QT_CLASS(TLumWinWebBrowser, TInterfacedObject)
    QT_INTERFACES(ILumCustomWebBrowser)
public:
    explicit TLumWinWebBrowser(TLumCustomWebBrowser* AWebControl);
    ~TLumWinWebBrowser() override;

    void SetUserAgent(const String& Value) override;
    void SetURL(const String& Value) override { FURL = Value; }
    void SetExternalBrowser(bool Value) override { FExternalBrowser = Value; }
    void SetEnableContextMenu(bool Value) override;
    void SetEnableShowDebugConsole(bool Value) override;
    void SetEnableAcceleratorKeys(bool Value) override { FEnableAcceleratorKeys = Value; }
    void SetCacheFolderName(const String& Value) override;
    void SetAutoClearCache(bool Value) override { FAutoClearCache = Value; }
    void SetCacheFolder(const String& Value) override;
    void Navigate(const String& AURL) override;
    void Navigate() override { Navigate(FURL); }
    void LoadHTML(const String& AHTML) override;
    void LoadFile(const String& AFile) override { Navigate(AFile); }
    void GoForward() override;
    void GoBack() override;
    void Reload() override;
    void CloseForm() override;
    void StopLoading() override;
    void AddBridge(const String& ABridgeName, TObject* ABridgeObject) override;
    void RemoveBridge(const String& ABridgeName) override;
    void UpdateBounds() override;
    void CaptureScreenShot() override;
    void UpdateVisible() override;
    void UpdateEnabled() override { }
    void BeforeChangeParent() override;
    void Initialize() override;
    void DeInitialize() override;
    void ClearCache() override;
    void ShowDebugConsole() override;
    String GetUserAgent() override;
    String GetURL() override { return FURL; }
    bool GetExternalBrowser() override { return FExternalBrowser; }
    bool GetEnableContextMenu() override;
    bool GetEnableShowDebugConsole() override;
    bool GetEnableAcceleratorKeys() override { return FEnableAcceleratorKeys; }
    void ExecuteJavaScript(
        const String& AScript, TLumWebBrowserJavaScriptCompleteEvent ACompleteEvent, TNotifyEvent ACallback) override;
    void* NativeEnvironment() override { return FWebBrowserEnvironment.get(); }
    void* NativeBrowser() override { return FWebBrowserController.get(); }
    std::shared_ptr<webview::CoreWebView2Controller> GetWebBrowserInstance() override { return FWebBrowserController; }
    bool CanGoBack() override;
    bool CanGoForward() override;
    bool GetIsReserved() override { return false; }
    bool IsFMXBrowser() override { return false; }
    String GetCacheFolderName() override { return FCacheFolderName; }
    bool GetAutoClearCache() override { return FAutoClearCache; }
    String GetCacheFolder() override { return FCacheFolder; }

    // The user-data folder as configured, and the one the running browser
    // uses (another process holding the configured one makes this process
    // use a folder of its own beside it).
    const String& GetFullCacheFolderName() const { return FFullCacheFolderName; }
    const String& GetUserDataFolder() const { return FUserDataFolder; }
    TLumCustomWebBrowser* GetWebControl() const { return FWebControl; }
    std::shared_ptr<webview::CoreWebView2> GetWebView() const { return FWebBrowserWebView2; }

    // Engine completions (called from the web view's handlers).
    void EnvironmentCompleted(HRESULT AResult, std::shared_ptr<webview::CoreWebView2Environment> AEnvironment);
    void ControllerCompleted(HRESULT AResult, std::shared_ptr<webview::CoreWebView2Controller> AController);

private:
    friend class TCoreWebView2RemoteObject;

    struct TBridge {
        std::unique_ptr<TVuzUdoectDispatch> Dispatch;
        std::shared_ptr<TDispatchHostObject> HostObject;
    };

    void UpdateFullCacheFolderName();
    bool IsDesigning() const;
    bool ClaimUserDataFolder();
    void ReleaseUserDataFolder();
    // Deletes the user-data folder unless another host or process uses it;
    // the browser on it must have exited.
    void DeleteUserDataFolder();
    void ReleaseEngine(bool ADeleteFolder);
    void WaitForController();
    void ShowInitPage();
    void DetachHandlers();
    void FreeBridges();
    void HandleAcceleratorKey(webview::AcceleratorKeyPressedEventArgs& AArgs);
    void HandleNavigationStarting(webview::NavigationStartingEventArgs& AArgs);
    void HandleNavigationCompleted(const webview::NavigationCompletedEventArgs& AArgs);
    void HandleGotFocus();

    bool FError { false };
    bool FControllerFailed { false };
    bool FInitializing { false };
    String FSaveURL;
    String FCustomBridge;
    TBridge FRemoteObject;
    // Every object bridged by name and still exposed; replaced ones stay
    // alive while a page may still reach them.
    std::map<String, TBridge> FCustomBridges;
    std::shared_ptr<webview::CoreWebView2Environment> FWebBrowserEnvironment;
    std::shared_ptr<webview::CoreWebView2Controller> FWebBrowserController;
    std::shared_ptr<webview::CoreWebView2> FWebBrowserWebView2;
    bool FEnableAcceleratorKeys { true };
    bool FBlockEvents { true };
    bool FExternalBrowser { false };
    String FURL;
    TLumCustomWebBrowser* FWebControl { nullptr };
    String FCacheFolderName { u"EdgeCache" };
    bool FAutoClearCache { true };
    String FCacheFolder;
    String FFullCacheFolderName;
    String FUserDataFolder;
    bool FHoldsFolder { false };
    // Engine callbacks hold this weakly: replaced at DeInitialize, so late
    // completions and events reach nothing.
    std::shared_ptr<int> FLife { std::make_shared<int>(0) };
    webview::EventRegistrationToken FAcceleratorKeyToken;
    webview::EventRegistrationToken FNavigationStartingToken;
    webview::EventRegistrationToken FNavigationCompletedToken;
    webview::EventRegistrationToken FGotFocusToken;
};

class TLumWinWebBrowserService : public TLumWebBrowserFactoryService {
    QT_CLASS(TLumWinWebBrowserService, TLumWebBrowserFactoryService)
public:
    void DeleteCookies() override { }

protected:
    TComPtr<ILumCustomWebBrowser> DoCreateWebBrowser(TLumCustomWebBrowser* AValue) override;
};

// The folder-claim record of ClearCache: a folder and the host that cleared it.
struct TLumWinWebBrowserCachedFolderItem {
    String FFolder;
    TLumWinWebBrowser* FInstance { nullptr };
};

// Set-up and tear-down of the browser service: the program's main and test
// set-up call these (no static initialisers). Registering looks for the
// browser once (its version is the installed runtime version) and keeps a
// service registered before it; unregistering removes the service and frees
// the registry.
void RegisterLumWinWebBrowserService();
void UnregisterLumWinWebBrowserService();

// The browser version found when the service was registered; empty when no
// browser was found.
String LumWinWebBrowserInstalledVersion();
// The folder-claim records of ClearCache (tests look at them).
const std::vector<TLumWinWebBrowserCachedFolderItem>& LumWinWebBrowserCachedFolders();

inline const char16_t* const LumWinWebBrowserLoaderMissingText
    = u"Could not initialize Edge Chromium! Please check if WebView2Loader_x86.dll is correctly distributed and "
      u"accessible.";
inline const char16_t* const LumWinWebBrowserStartFailedText
    = u"Could not initialize Edge Chromium! Please check Edge Chromium installation and verify correct version "
      u"number.";
