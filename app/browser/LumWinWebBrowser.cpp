#include "app/browser/LumWinWebBrowser.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/browser/VuzUdoectDispatch.h"
#include "foundation/VuzErazs.h"
#include "graphics/LumBitmap.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

namespace fs = std::filesystem;

namespace {

// How long the start-up waits for the browser's controller.
constexpr int MaxWaitMs = 60000;
constexpr int DeleteAttempts = 50;
const char* const LockFileName = "quarrytide-host.lock";

const char16_t* const InitPage = uR"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Web browser</title>
<style>
html, body { height: 100%; margin: 0; }
body { display: flex; align-items: center; justify-content: center; background: #dff0fb; font-family: sans-serif; }
.box { padding: 24px 40px; border-radius: 8px; background: #ffffff; color: #4aa3df; text-transform: uppercase;
  letter-spacing: 1px; box-shadow: 0 2px 8px rgba(0, 0, 0, 0.15); }
</style></head>
<body><div class="box">Edge Chromium #VERSIONPLACEHOLDER is successfully initialized!</div></body></html>)";

// What every host of the process shares.
struct TUnitState {
    // The browser was found when the service was registered (its version
    // query succeeded).
    bool Loaded { false };
    String InstalledVersion;
    // When set, the browser program or folder every host starts; nothing sets it.
    String BrowserFolder;
    // Initialisation failures show no message box while set; nothing sets it.
    bool SuppressMessages { false };
    std::vector<TLumWinWebBrowserCachedFolderItem> CachedFolders;
    TComPtr<ILumWebBrowserService> Registered;
};

TUnitState& Unit()
{
    static TUnitState state;
    return state;
}

// The user-data folders this process has claimed: one lock per folder and
// process, shared by the process's hosts on that folder.
struct TFolderClaim {
    int Fd { -1 };
    int Users { 0 };
};

std::map<std::string, TFolderClaim>& Claims()
{
    static std::map<std::string, TFolderClaim> claims;
    return claims;
}

std::string CanonicalFolder(const String& AFolder)
{
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(fs::path(StringToUtf8(AFolder)), ec);
    return ec ? StringToUtf8(AFolder) : canonical.string();
}

// An exclusive lock on the folder's lock file; -1 when another process holds
// it (or the folder cannot be made).
int LockFolder(const std::string& AFolder)
{
    std::error_code ec;
    fs::create_directories(AFolder, ec);
    int fd = ::open((fs::path(AFolder) / LockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

String UserCacheFolder()
{
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
        return Utf8ToString(xdg);
    if (const char* home = std::getenv("HOME"); home && *home)
        return Utf8ToString(std::string(home) + "/.cache");
    return TVuzErazs::GetTempPath();
}

// The program's file name without its extension.
String ProgramName()
{
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? String() : Utf8ToString(exe.stem().string());
}

void ShowFailure(const String& AText)
{
    if (!Unit().SuppressMessages)
        TVuzErazs::Message(AText);
}

String ReplaceAll(String AText, const String& AWhat, const String& AWith)
{
    for (std::size_t at = AText.find(AWhat); at != String::npos; at = AText.find(AWhat, at + AWith.size()))
        AText.replace(at, AWhat.size(), AWith);
    return AText;
}

} // namespace

// ---- remote object ----

QT_PUBLISHED(TCoreWebView2RemoteObject, QT_PROP(ObjectMessage))

void TCoreWebView2RemoteObject::SetObjectMessage(const String& Value)
{
    FObjectMessage = Value;
    TLumCustomWebBrowserBeforeNavigateParams params { Value, false };
    if (FWebBrowser && FWebBrowser->FWebControl) {
        FWebBrowser->FURL = Value;
        FWebBrowser->FWebControl->DoBeforeNavigate(params);
    }
}

// ---- service ----

QT_PUBLISHED(TLumWinWebBrowserService)

TComPtr<ILumCustomWebBrowser> TLumWinWebBrowserService::DoCreateWebBrowser(TLumCustomWebBrowser* AValue)
{
    return TComPtr<ILumCustomWebBrowser>(new TLumWinWebBrowser(AValue));
}

void RegisterLumWinWebBrowserService()
{
    TLumWebBrowserPlatformServices::Reopen();
    TUnitState& unit = Unit();
    // There is no loader library here: the host calls the web view layer
    // directly, and "loaded" means a browser program was found.
    String version;
    unit.Loaded = webview::GetAvailableCoreWebView2BrowserVersionString(unit.BrowserFolder, version) == S_OK;
    unit.InstalledVersion = unit.Loaded ? version : String();

    auto* services = TLumWebBrowserPlatformServices::Current();
    TComPtr<IInterface> existing;
    if (services->SupportsPlatformService(ILumWebBrowserService::IID, existing)) {
        unit.Registered = LumQueryInterface<ILumWebBrowserService>(existing.get());
        return;
    }
    TComPtr<TLumWinWebBrowserService> service(new TLumWinWebBrowserService);
    unit.Registered = TComPtr<ILumWebBrowserService>(service.get());
    services->AddPlatformService(ILumWebBrowserService::IID, TComPtr<IInterface>(service.get()));
}

void UnregisterLumWinWebBrowserService()
{
    if (auto* services = TLumWebBrowserPlatformServices::Current())
        services->RemovePlatformService(ILumWebBrowserService::IID);
    TLumWebBrowserPlatformServices::Finalize();
    TUnitState& unit = Unit();
    unit.CachedFolders.clear();
    unit.Loaded = false;
    unit.InstalledVersion.clear();
    unit.Registered.reset();
}

String LumWinWebBrowserInstalledVersion() { return Unit().InstalledVersion; }

const std::vector<TLumWinWebBrowserCachedFolderItem>& LumWinWebBrowserCachedFolders() { return Unit().CachedFolders; }

// ---- host ----

QT_PUBLISHED(TLumWinWebBrowser)

TLumWinWebBrowser::TLumWinWebBrowser(TLumCustomWebBrowser* AWebControl) : FWebControl(AWebControl)
{
    FCacheFolder = TVuzErazs::AddForwardslash(TVuzErazs::AddForwardslash(UserCacheFolder()) + ProgramName());
    UpdateFullCacheFolderName();
}

TLumWinWebBrowser::~TLumWinWebBrowser()
{
    if (FWebBrowserController || FWebBrowserEnvironment)
        ReleaseEngine(false);
    ReleaseUserDataFolder();
    FreeBridges();
    std::erase_if(Unit().CachedFolders, [this](const auto& item) { return item.FInstance == this; });
}

bool TLumWinWebBrowser::IsDesigning() const { return FWebControl && FWebControl->IsDesigning(); }

void TLumWinWebBrowser::UpdateFullCacheFolderName()
{
    FFullCacheFolderName = TVuzErazs::AddForwardslash(FCacheFolder)
        + (FCacheFolderName.empty() ? ProgramName() : FCacheFolderName);
}

void TLumWinWebBrowser::SetCacheFolderName(const String& Value)
{
    FCacheFolderName = Value;
    UpdateFullCacheFolderName();
}

void TLumWinWebBrowser::SetCacheFolder(const String& Value)
{
    FCacheFolder = Value;
    UpdateFullCacheFolderName();
}

// ---- settings ----

void TLumWinWebBrowser::SetUserAgent(const String& Value)
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->GetSettings().SetUserAgent(Value);
}

String TLumWinWebBrowser::GetUserAgent()
{
    return FWebBrowserWebView2 ? FWebBrowserWebView2->GetSettings().GetUserAgent() : String();
}

void TLumWinWebBrowser::SetEnableContextMenu(bool Value)
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->GetSettings().SetAreDefaultContextMenusEnabled(Value);
}

bool TLumWinWebBrowser::GetEnableContextMenu()
{
    return FWebBrowserWebView2 && FWebBrowserWebView2->GetSettings().GetAreDefaultContextMenusEnabled();
}

void TLumWinWebBrowser::SetEnableShowDebugConsole(bool Value)
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->GetSettings().SetAreDevToolsEnabled(Value);
}

bool TLumWinWebBrowser::GetEnableShowDebugConsole()
{
    return FWebBrowserWebView2 && FWebBrowserWebView2->GetSettings().GetAreDevToolsEnabled();
}

// ---- navigation ----

void TLumWinWebBrowser::Navigate(const String& AURL)
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->Navigate(AURL);
}

void TLumWinWebBrowser::LoadHTML(const String& AHTML)
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->NavigateToString(AHTML);
}

void TLumWinWebBrowser::GoForward()
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->GoForward();
}

void TLumWinWebBrowser::GoBack()
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->GoBack();
}

void TLumWinWebBrowser::Reload()
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->Reload();
}

void TLumWinWebBrowser::StopLoading()
{
    if (FWebBrowserWebView2)
        FWebBrowserWebView2->Stop();
}

bool TLumWinWebBrowser::CanGoBack() { return FWebBrowserWebView2 && FWebBrowserWebView2->GetCanGoBack(); }

bool TLumWinWebBrowser::CanGoForward() { return FWebBrowserWebView2 && FWebBrowserWebView2->GetCanGoForward(); }

void TLumWinWebBrowser::CloseForm()
{
    if (FWebControl)
        FWebControl->DoCloseForm();
}

void TLumWinWebBrowser::ShowDebugConsole()
{
    // The browser runs without a window of its own: there is no developer
    // tools window to open.
}

// ---- bridges ----

void TLumWinWebBrowser::AddBridge(const String& ABridgeName, TObject* ABridgeObject)
{
    if (!FWebBrowserWebView2 || ABridgeName.empty() || !ABridgeObject) {
        // Ownership came with the call: an object that cannot be bridged goes.
        delete ABridgeObject;
        return;
    }
    if (FCustomBridges.count(ABridgeName))
        RemoveBridge(ABridgeName);
    TBridge bridge;
    bridge.Dispatch = std::make_unique<TVuzUdoectDispatch>(ABridgeObject, true);
    bridge.HostObject = std::make_shared<TDispatchHostObject>(bridge.Dispatch.get());
    FWebBrowserWebView2->AddHostObjectToScript(ABridgeName, bridge.HostObject);
    FCustomBridges[ABridgeName] = std::move(bridge);
    FCustomBridge = ABridgeName;
}

void TLumWinWebBrowser::RemoveBridge(const String& ABridgeName)
{
    if (FWebBrowserWebView2 && !ABridgeName.empty())
        FWebBrowserWebView2->RemoveHostObjectFromScript(ABridgeName);
    if (ABridgeName == FCustomBridge)
        FCustomBridge.clear();
    // Once withdrawn from the page nothing reaches the object any more.
    if (FWebControl && FWebControl->GetCanDestroyDispatch())
        FCustomBridges.erase(ABridgeName);
}

void TLumWinWebBrowser::FreeBridges()
{
    FCustomBridges.clear();
    FCustomBridge.clear();
    FRemoteObject = {};
}

// ---- scripts and screenshots ----

void TLumWinWebBrowser::ExecuteJavaScript(
    const String& AScript, TLumWebBrowserJavaScriptCompleteEvent ACompleteEvent, TNotifyEvent ACallback)
{
    if (!FWebBrowserWebView2)
        return;
    std::weak_ptr<int> life = FLife;
    FWebBrowserWebView2->ExecuteScript(AScript,
        [this, life, event = std::move(ACompleteEvent), callback = std::move(ACallback)](
            HRESULT, const String& AResult) {
            if (life.expired())
                return;
            if (event)
                event(AResult);
            if (callback)
                callback(this);
        });
}

void TLumWinWebBrowser::CaptureScreenShot()
{
    if (!FWebBrowserWebView2)
        return;
    std::weak_ptr<int> life = FLife;
    // Each capture gets its own image bytes from the engine.
    FWebBrowserWebView2->CapturePreview(webview::CapturePreviewImageFormat::Png,
        [this, life](HRESULT AResult, const TBytes& AImage) {
            if (life.expired() || !FWebControl || AResult != S_OK || AImage.empty())
                return;
            TBytesStream stream(AImage);
            stream.SetPosition(0);
            std::unique_ptr<TLumBitmap> picture;
            try {
                picture = TLumBitmap::CreateFromStream(stream);
            } catch (const Exception&) {
                return;
            }
            FWebControl->DoCaptureScreenShot(picture.get());
        });
}

// ---- window ----

void TLumWinWebBrowser::UpdateBounds()
{
    if (FWebBrowserController && FWebControl)
        FWebBrowserController->SetBounds(TRect(0, 0, FWebControl->GetWidth(), FWebControl->GetHeight()));
}

void TLumWinWebBrowser::UpdateVisible()
{
    if (!FWebControl)
        return;
    const bool show = FWebControl->GetVisible() && FWebControl->CanShowBrowser();
    if (!FWebBrowserController && show)
        Initialize();
    if (FWebBrowserController)
        FWebBrowserController->SetIsVisible(show);
}

void TLumWinWebBrowser::BeforeChangeParent()
{
    if (!FWebBrowserWebView2 || !FWebBrowserController)
        return;
    FWebBrowserController->SetIsVisible(false);
    FWebBrowserController->SetParentWindow(nullptr);
    // The page's window sits inside the control's, which goes with the old
    // parent: park it on the desktop (hidden) until the new window takes it.
    if (HWND window = FWebBrowserController->GetWindow())
        ::SetParent(window, nullptr);
}

// ---- initialisation ----

namespace {

bool HasParentWindow(TLumCustomWebBrowser* AControl)
{
    return AControl && (AControl->HandleAllocated() || AControl->GetParent() || AControl->GetParentWindow());
}

} // namespace

void TLumWinWebBrowser::Initialize()
{
    // Creation pumps messages while it waits; a nested request joins it.
    if (FInitializing || !HasParentWindow(FWebControl))
        return;
    if (FWebBrowserWebView2 && FWebBrowserController) {
        FWebBrowserController->SetParentWindow(FWebControl->GetHandle());
        UpdateVisible();
        return;
    }
    TUnitState& unit = Unit();
    if (!unit.Loaded) {
        if (!IsDesigning())
            ShowFailure(LumWinWebBrowserLoaderMissingText);
        return;
    }
    // Keep this host alive while the wait below runs other code.
    TComPtr<ILumCustomWebBrowser> self(this);
    FInitializing = true;
    struct Reset {
        bool& Flag;
        ~Reset() { Flag = false; }
    } reset { FInitializing };

    if (FWebBrowserEnvironment)
        ReleaseEngine(false);
    FError = false;
    FControllerFailed = false;
    if (!ClaimUserDataFolder())
        FUserDataFolder = FFullCacheFolderName;
    // The browser program is found by the web view layer (the browser
    // variable, then PATH); there is no fallback installation to copy.
    std::weak_ptr<int> life = FLife;
    const HRESULT result = webview::CreateCoreWebView2EnvironmentWithOptions(unit.BrowserFolder, FUserDataFolder,
        nullptr, [this, life](HRESULT AResult, std::shared_ptr<webview::CoreWebView2Environment> AEnvironment) {
            if (!life.expired())
                EnvironmentCompleted(AResult, std::move(AEnvironment));
        });
    if (result != S_OK) {
        ReleaseUserDataFolder();
        if (!IsDesigning())
            ShowFailure(LumWinWebBrowserStartFailedText);
        return;
    }
    WaitForController();
    if (life.expired())
        return; // de-initialised while waiting
    if (FError || !FWebBrowserController) {
        // A browser that never ran leaves no folder behind.
        ReleaseEngine(FAutoClearCache);
        if (FError && !IsDesigning())
            ShowFailure(LumWinWebBrowserStartFailedText);
    }
}

void TLumWinWebBrowser::WaitForController()
{
    std::weak_ptr<int> life = FLife;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(MaxWaitMs);
    auto waiting = [&] { return !FWebBrowserController && !FError && !FControllerFailed && !life.expired(); };
    while (waiting() && std::chrono::steady_clock::now() < deadline) {
        Application->ProcessMessages();
        if (waiting())
            WaitForMessagesUntil(deadline);
    }
}

void TLumWinWebBrowser::EnvironmentCompleted(
    HRESULT AResult, std::shared_ptr<webview::CoreWebView2Environment> AEnvironment)
{
    bool requested = false;
    if (AResult == S_OK && AEnvironment) {
        FWebBrowserEnvironment = AEnvironment;
        HWND handle = nullptr;
        try {
            if (HasParentWindow(FWebControl))
                handle = FWebControl->GetHandle();
        } catch (const Exception&) {
            handle = nullptr;
        }
        if (handle) {
            std::weak_ptr<int> life = FLife;
            AEnvironment->CreateCoreWebView2Controller(handle,
                [this, life](HRESULT AControllerResult, std::shared_ptr<webview::CoreWebView2Controller> AController) {
                    if (!life.expired())
                        ControllerCompleted(AControllerResult, std::move(AController));
                    else if (AController)
                        AController->Close();
                });
            requested = true;
        }
    }
    FError = AResult != S_OK || !requested;
}

void TLumWinWebBrowser::ControllerCompleted(
    HRESULT AResult, std::shared_ptr<webview::CoreWebView2Controller> AController)
{
    // A failure ends the wait at once instead of letting it run its minute.
    if (AResult != S_OK || !AController) {
        FControllerFailed = true;
        return;
    }
    std::shared_ptr<webview::CoreWebView2> view = AController->GetCoreWebView2();
    if (!view) {
        FControllerFailed = true;
        AController->Close();
        return;
    }
    FWebBrowserController = AController;
    FWebBrowserWebView2 = view;

    if (!IsDesigning()) {
        if (!FRemoteObject.Dispatch) {
            FRemoteObject.Dispatch = std::make_unique<TVuzUdoectDispatch>(new TCoreWebView2RemoteObject(this), true);
            FRemoteObject.HostObject = std::make_shared<TDispatchHostObject>(FRemoteObject.Dispatch.get());
        }
        view->AddHostObjectToScript(u"bridge", FRemoteObject.HostObject);
    }

    std::weak_ptr<int> life = FLife;
    FAcceleratorKeyToken = AController->AcceleratorKeyPressed.Add(
        [this, life](webview::CoreWebView2Controller&, webview::AcceleratorKeyPressedEventArgs& AArgs) {
            if (!life.expired())
                HandleAcceleratorKey(AArgs);
        });
    FNavigationStartingToken = view->NavigationStarting.Add(
        [this, life](webview::CoreWebView2&, webview::NavigationStartingEventArgs& AArgs) {
            if (!life.expired())
                HandleNavigationStarting(AArgs);
        });
    FNavigationCompletedToken = view->NavigationCompleted.Add(
        [this, life](webview::CoreWebView2&, const webview::NavigationCompletedEventArgs& AArgs) {
            if (!life.expired())
                HandleNavigationCompleted(AArgs);
        });
    FGotFocusToken = AController->GotFocus.Add([this, life](webview::CoreWebView2Controller&) {
        if (!life.expired())
            HandleGotFocus();
    });

    AController->SetIsVisible(true);
    UpdateBounds();
    // The init page's own navigation reports its address as the current URL:
    // the address to go on to is the one set before.
    const String target = FURL;
    ShowInitPage();
    if (!target.empty())
        Navigate(target);
    UpdateVisible();
    if (FWebControl && !life.expired())
        FWebControl->DoInitialized();
}

void TLumWinWebBrowser::ShowInitPage()
{
    if (FWebControl && FWebControl->CanShowInitPage() && FWebBrowserWebView2)
        FWebBrowserWebView2->NavigateToString(ReplaceAll(InitPage, u"#VERSIONPLACEHOLDER", Unit().InstalledVersion));
}

// ---- engine events ----

void TLumWinWebBrowser::HandleAcceleratorKey(webview::AcceleratorKeyPressedEventArgs& AArgs)
{
    if (!FWebControl)
        return;
    if (FWebControl->GetEnableAcceleratorKeys()) {
        WORD key = WORD(AArgs.GetVirtualKey());
        FWebControl->DoKeyPressed(key);
        if (key == 0)
            AArgs.SetHandled(true);
    } else {
        AArgs.SetHandled(true);
    }
}

void TLumWinWebBrowser::HandleNavigationStarting(webview::NavigationStartingEventArgs& AArgs)
{
    TLumCustomWebBrowserBeforeNavigateParams params { AArgs.GetUri(), false };
    if (FWebControl) {
        FSaveURL = params.URL;
        if (!IsDesigning())
            FURL = params.URL;
        FWebControl->DoBeforeNavigate(params);
    }
    AArgs.SetCancel(params.Cancel);
}

void TLumWinWebBrowser::HandleNavigationCompleted(const webview::NavigationCompletedEventArgs& AArgs)
{
    TLumCustomWebBrowserNavigateCompleteParams params { FSaveURL, AArgs.GetIsSuccess(),
        std::int32_t(AArgs.GetWebErrorStatus()) };
    if (!FWebControl)
        return;
    if (!IsDesigning())
        FURL = params.URL;
    FWebControl->DoNavigateComplete(params);
}

void TLumWinWebBrowser::HandleGotFocus()
{
    if (!FWebControl || IsDesigning() || !FWebControl->CanFocus())
        return;
    // The page's window inside the control already has the keyboard; moving
    // it to the control's own window would take it from the page.
    if (FWebControl->HandleAllocated() && ::IsChild(FWebControl->GetHandle(), ::GetFocus()))
        return;
    FWebControl->SetFocus();
}

void TLumWinWebBrowser::DetachHandlers()
{
    if (FWebBrowserController) {
        FWebBrowserController->AcceleratorKeyPressed.Remove(FAcceleratorKeyToken);
        FWebBrowserController->GotFocus.Remove(FGotFocusToken);
    }
    if (FWebBrowserWebView2) {
        FWebBrowserWebView2->NavigationStarting.Remove(FNavigationStartingToken);
        FWebBrowserWebView2->NavigationCompleted.Remove(FNavigationCompletedToken);
    }
}

// ---- de-initialisation and the user-data folder ----

void TLumWinWebBrowser::DeInitialize()
{
    const bool hadEngine = FWebBrowserController || FWebBrowserEnvironment;
    const bool deleteFolder = FAutoClearCache && hadEngine;
    if (deleteFolder) {
        auto& items = Unit().CachedFolders;
        for (auto it = items.rbegin(); it != items.rend(); ++it)
            if (it->FInstance == this) {
                items.erase(std::next(it).base());
                break;
            }
    }
    ReleaseEngine(deleteFolder);
    if (!FWebControl || FWebControl->GetCanDestroyDispatch())
        FreeBridges();
}

void TLumWinWebBrowser::ReleaseEngine(bool ADeleteFolder)
{
    DetachHandlers();
    // Completions still under way find nothing to call.
    FLife = std::make_shared<int>(0);
    if (FWebBrowserWebView2) {
        FWebBrowserWebView2->RemoveHostObjectFromScript(u"bridge");
        for (auto& [name, bridge] : FCustomBridges)
            FWebBrowserWebView2->RemoveHostObjectFromScript(name);
    }
    if (FWebBrowserController) {
        FWebBrowserController->SetIsVisible(false);
        FWebBrowserController->Close();
    }
    FWebBrowserController.reset();
    FWebBrowserWebView2.reset();
    const bool lastUser = FHoldsFolder && Claims()[StringToUtf8(FUserDataFolder)].Users == 1;
    if (FWebBrowserEnvironment) {
        // The browser's files can go only once it has exited; a browser other
        // hosts of this process still use stays.
        if (ADeleteFolder && lastUser)
            FWebBrowserEnvironment->Close();
        FWebBrowserEnvironment.reset();
    }
    if (ADeleteFolder && lastUser)
        DeleteUserDataFolder();
    ReleaseUserDataFolder();
}

bool TLumWinWebBrowser::ClaimUserDataFolder()
{
    ReleaseUserDataFolder();
    const std::string wanted = StringToUtf8(FFullCacheFolderName);
    // Another process on the configured folder: this one takes a folder of
    // its own beside it, so neither deletes what the other uses.
    for (const std::string& candidate : { wanted, wanted + "-" + std::to_string(::getpid()) }) {
        std::error_code ec;
        fs::create_directories(candidate, ec);
        const std::string folder = CanonicalFolder(Utf8ToString(candidate));
        auto& claims = Claims();
        auto it = claims.find(folder);
        if (it == claims.end()) {
            const int fd = LockFolder(folder);
            if (fd < 0)
                continue;
            it = claims.emplace(folder, TFolderClaim { fd, 0 }).first;
        }
        ++it->second.Users;
        FUserDataFolder = Utf8ToString(folder);
        FHoldsFolder = true;
        return true;
    }
    return false;
}

void TLumWinWebBrowser::ReleaseUserDataFolder()
{
    if (!FHoldsFolder)
        return;
    FHoldsFolder = false;
    auto& claims = Claims();
    auto it = claims.find(StringToUtf8(FUserDataFolder));
    if (it != claims.end() && --it->second.Users <= 0) {
        ::close(it->second.Fd);
        claims.erase(it);
    }
}

void TLumWinWebBrowser::DeleteUserDataFolder()
{
    if (IsDesigning())
        return;
    const auto& items = Unit().CachedFolders;
    for (const auto& item : items)
        if (item.FInstance != this && item.FFolder == FFullCacheFolderName)
            return;
    const std::string folder
        = FUserDataFolder.empty() ? CanonicalFolder(FFullCacheFolderName) : StringToUtf8(FUserDataFolder);
    int temporaryLock = -1;
    auto& claims = Claims();
    if (auto it = claims.find(folder); it != claims.end()) {
        // Another host of this process still runs a browser on it.
        if (!FHoldsFolder || it->second.Users != 1)
            return;
    } else {
        std::error_code ec;
        if (fs::exists(folder, ec)) {
            temporaryLock = LockFolder(folder);
            if (temporaryLock < 0)
                return; // another process uses it
        }
    }
    std::error_code ec;
    for (int attempt = 0; attempt < DeleteAttempts && fs::exists(folder, ec); ++attempt) {
        fs::remove_all(folder, ec);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    // Goes only when empty.
    ::rmdir(StringToUtf8(FCacheFolder).c_str());
    if (temporaryLock >= 0)
        ::close(temporaryLock);
}

void TLumWinWebBrowser::ClearCache()
{
    if ((FWebBrowserController || FWebBrowserEnvironment) && FWebControl) {
        // Its files go only after the browser that writes them has exited;
        // a browser that was running starts again on the empty folder.
        const bool wasInitialized = FWebControl->GetInitialized();
        FWebControl->DeInitialize();
        if (FWebBrowserController || FWebBrowserEnvironment)
            ReleaseEngine(false);
        DeleteUserDataFolder();
        Unit().CachedFolders.push_back({ FFullCacheFolderName, this });
        if (wasInitialized)
            FWebControl->Initialize();
        return;
    }
    DeleteUserDataFolder();
    Unit().CachedFolders.push_back({ FFullCacheFolderName, this });
}
