#include "app/browser/LumWebBrowser.h"

#include <chrono>
#include <thread>

#include "app/browser/LumWebBrowserServices.h"
#include "graphics/LumBitmap.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"

namespace {

// A script's answer with its quotes removed, lower-cased.
String BareLower(const String& AValue)
{
    String bare;
    bare.reserve(AValue.size());
    for (char16_t c : AValue)
        if (c != u'"')
            bare.push_back(c);
    return StrLower(bare);
}

// How long a blocking script call waits for its answer.
constexpr int MaxWaitMs = 60000;

} // namespace

void WaitForMessagesUntil(std::chrono::steady_clock::time_point deadline)
{
    using namespace std::chrono;
    // Bounded, so a wake-up that never comes only costs a short wait.
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left > 0)
        WaitMessage(DWORD(std::min<long long>(left, 100)));
}

QT_PUBLISHED(TLumScript)
// The published list sits on the custom class (the member pointers belong to
// it); the published form inherits it unchanged.
QT_PUBLISHED(TLumCustomWebBrowser, QT_EVENT(OnInitialized), QT_PROP(URL), QT_EVENT(OnHardwareButtonClicked),
    QT_EVENT(OnDocumentComplete), QT_PROP_RO(Version), QT_PROP(DesigntimeEnabled))
QT_PUBLISHED(TLumWebBrowser)

// ---- ready-state thread ----

TLumWebBrowserDocumentReadyStateThread::~TLumWebBrowserDocumentReadyStateThread()
{
    Terminate();
    if (GetStarted() && !GetFinished())
        WaitFor();
}

void TLumWebBrowserDocumentReadyStateThread::Execute()
{
    while (!GetTerminated()) {
        TLumCustomWebBrowser* browser = FWebBrowser;
        if (!browser) {
            Terminate();
            break;
        }
        Synchronize([browser] { browser->CheckApplicationInitialized(); });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        bool ready = false;
        Synchronize([browser, &ready] { ready = browser->GetReady(); });
        if (ready) {
            Synchronize([browser] { browser->DoDocumentComplete(); });
            Terminate();
        }
    }
}

// ---- construction ----

TLumCustomWebBrowser::TLumCustomWebBrowser(TComponent* AOwner) : TLumCustomControl(AOwner)
{
    if (auto service = LumWebBrowserService())
        FWebBrowser = service->CreateWebBrowser(this);
    SetBounds(GetLeft(), GetTop(), 500, 350);
}

void TLumCustomWebBrowser::RunConstructionSteps()
{
    Inherited::RunConstructionSteps();
    AfterCreateWebBrowser();
}

TLumCustomWebBrowser::~TLumCustomWebBrowser()
{
    Destroying();
    StopDocumentReadyStateThread();
    // Whatever the engine still delivers is for a control that is gone.
    FQueueGeneration.reset();
    for (auto& weak : FSyncAnswers)
        if (auto answer = weak.lock())
            answer->Abandoned = true;
    if (FWebBrowser) {
        if (auto service = LumWebBrowserService())
            service->DestroyWebBrowser(FWebBrowser);
        FWebBrowser->DeInitialize();
        FWebBrowser.reset();
    }
    // Their completion events are never called.
    FScriptList.clear();
}

// ---- lifecycle ----

void TLumCustomWebBrowser::Initialize()
{
    if (FWebBrowser && (!IsDesigning() || FDesigntimeEnabled))
        FWebBrowser->Initialize();
}

void TLumCustomWebBrowser::DeInitialize()
{
    FInitialized = false;
    // Scripts still queued (the head may be in flight) will not be answered
    // by this browser: they complete with "null" below, and a late answer
    // from the engine is dropped.
    FQueueGeneration = std::make_shared<int>(0);
    TLumScriptList pending = std::move(FScriptList);
    FScriptList.clear();
    if (FWebBrowser)
        FWebBrowser->DeInitialize();
    for (auto& weak : FSyncAnswers)
        if (auto answer = weak.lock())
            answer->Abandoned = true;
    for (auto& script : pending)
        if (script->GetCompleteEvent())
            script->GetCompleteEvent()(u"null");
}

void TLumCustomWebBrowser::SetParent(TWinControl* AParent)
{
    if (FWebBrowser)
        FWebBrowser->BeforeChangeParent();
    FChangingParent = true;
    try {
        Inherited::SetParent(AParent);
    } catch (...) {
        FChangingParent = false;
        throw;
    }
    FChangingParent = false;
    Initialize();
}

void TLumCustomWebBrowser::Loaded()
{
    Inherited::Loaded();
    Initialize();
    if (FWebBrowser)
        FWebBrowser->UpdateBounds();
}

void TLumCustomWebBrowser::CreateWnd()
{
    // The first window and the one made for a new parent keep (or start)
    // the browser; only a re-created window of a running browser rebuilds it.
    if (FInitialized && !FChangingParent && CanRecreateWebBrowser() && !IsLoading() && !IsDestroying()) {
        DeInitialize();
        Inherited::CreateWnd();
        Initialize();
    } else {
        Inherited::CreateWnd();
    }
}

void TLumCustomWebBrowser::DestroyWnd()
{
    // The web view's window lives inside ours: take it out before ours goes.
    if (FWebBrowser && !IsDestroying())
        FWebBrowser->BeforeChangeParent();
    Inherited::DestroyWnd();
}

void TLumCustomWebBrowser::SetEnabled(bool Value)
{
    Inherited::SetEnabled(Value);
    if (FWebBrowser)
        FWebBrowser->UpdateEnabled();
}

void TLumCustomWebBrowser::ChangeScale(int M, int D, bool isDpiChange)
{
    Inherited::ChangeScale(M, D, isDpiChange);
    if (FWebBrowser)
        FWebBrowser->UpdateBounds();
}

void TLumCustomWebBrowser::UpdateControlAfterResize()
{
    Inherited::UpdateControlAfterResize();
    if (FWebBrowser)
        FWebBrowser->UpdateBounds();
}

// ---- events ----

void TLumCustomWebBrowser::DoDocumentComplete()
{
    if (OnDocumentComplete)
        OnDocumentComplete(this);
}

void TLumCustomWebBrowser::DoHardwareButtonClicked()
{
    if (OnHardwareButtonClicked)
        OnHardwareButtonClicked(this);
}

void TLumCustomWebBrowser::DoCloseForm()
{
    if (OnCloseForm)
        OnCloseForm(this);
}

void TLumCustomWebBrowser::DoCaptureScreenShot(TLumBitmap* AScreenShot)
{
    if (OnCaptureScreenShot)
        OnCaptureScreenShot(this, AScreenShot);
}

void TLumCustomWebBrowser::DoBeforeNavigate(TLumCustomWebBrowserBeforeNavigateParams& Params)
{
    if (OnBeforeNavigate)
        OnBeforeNavigate(this, Params);
}

void TLumCustomWebBrowser::DoNavigateComplete(TLumCustomWebBrowserNavigateCompleteParams& Params)
{
    if (OnNavigateComplete)
        OnNavigateComplete(this, Params);
}

void TLumCustomWebBrowser::DoInitialized()
{
    FInitialized = true;
    if (OnInitialized)
        OnInitialized(this);
}

// ---- forwarding ----

void TLumCustomWebBrowser::DeleteCookies()
{
    if (auto service = LumWebBrowserService())
        service->DeleteCookies();
}

void TLumCustomWebBrowser::Navigate()
{
    if (!FWebBrowser)
        return;
    FReady = false;
    FWebBrowser->Navigate();
}

void TLumCustomWebBrowser::Navigate(const String& AURL)
{
    if (!FWebBrowser)
        return;
    FReady = false;
    FWebBrowser->Navigate(AURL);
}

void TLumCustomWebBrowser::LoadHTML(const String& AHTML)
{
    if (FWebBrowser)
        FWebBrowser->LoadHTML(AHTML);
}

void TLumCustomWebBrowser::LoadFile(const String& AFile)
{
    if (FWebBrowser)
        FWebBrowser->LoadFile(AFile);
}

void TLumCustomWebBrowser::GoForward()
{
    if (FWebBrowser)
        FWebBrowser->GoForward();
}

void TLumCustomWebBrowser::GoBack()
{
    if (FWebBrowser)
        FWebBrowser->GoBack();
}

void TLumCustomWebBrowser::Reload()
{
    if (FWebBrowser)
        FWebBrowser->Reload();
}

void TLumCustomWebBrowser::StopLoading()
{
    if (FWebBrowser)
        FWebBrowser->StopLoading();
}

void TLumCustomWebBrowser::AddBridge(const String& ABridgeName, TObject* ABridgeObject)
{
    if (!FWebBrowser) {
        // The object was handed over; nobody else frees it.
        delete ABridgeObject;
        return;
    }
    FWebBrowser->RemoveBridge(ABridgeName);
    FWebBrowser->AddBridge(ABridgeName, ABridgeObject);
}

void TLumCustomWebBrowser::RemoveBridge(const String& ABridgeName)
{
    if (FWebBrowser)
        FWebBrowser->RemoveBridge(ABridgeName);
}

void TLumCustomWebBrowser::CaptureScreenShot()
{
    if (FWebBrowser)
        FWebBrowser->CaptureScreenShot();
}

void TLumCustomWebBrowser::ShowDebugConsole()
{
    if (FWebBrowser)
        FWebBrowser->ShowDebugConsole();
}

String TLumCustomWebBrowser::GetBridgeCommunicationLayer(const String& ABridgeName)
{
    const String CR(1, u'\r');
    return u"var send" + ABridgeName + u"ObjectMessage = function(parameters) {" + CR + u"  var v = parameters;" + CR
        + u"if (!window.chrome || !window.chrome.webview || !window.chrome.webview.hostObjects || "
          u"!window.chrome.webview.hostObjects.sync) {"
        + CR + u"  return;" + CR + u"}" + CR + u"var obj = window.chrome.webview.hostObjects.sync." + ABridgeName
        + u";" + CR + u"  if (obj) {" + CR + u"    obj.ObjectMessage = v;" + CR + u"  }" + CR + u"};";
}

void* TLumCustomWebBrowser::NativeEnvironment() { return FWebBrowser ? FWebBrowser->NativeEnvironment() : nullptr; }

void* TLumCustomWebBrowser::NativeBrowser() { return FWebBrowser ? FWebBrowser->NativeBrowser() : nullptr; }

bool TLumCustomWebBrowser::IsFMXBrowser() { return FWebBrowser && FWebBrowser->IsFMXBrowser(); }

bool TLumCustomWebBrowser::CanGoBack() { return FWebBrowser && FWebBrowser->CanGoBack(); }

bool TLumCustomWebBrowser::CanGoForward() { return FWebBrowser && FWebBrowser->CanGoForward(); }

std::shared_ptr<webview::CoreWebView2Controller> TLumCustomWebBrowser::GetWebBrowserInstance()
{
    return FWebBrowser ? FWebBrowser->GetWebBrowserInstance() : nullptr;
}

void TLumCustomWebBrowser::ClearCache()
{
    if (FWebBrowser)
        FWebBrowser->ClearCache();
}

// ---- scripts ----

void TLumCustomWebBrowser::ExecuteJavaScript(
    const String& AScript, TLumWebBrowserJavaScriptCompleteEvent ACompleteEvent, bool AImmediate)
{
    if (!FWebBrowser)
        return;
    if (AImmediate && FInitialized) {
        FWebBrowser->ExecuteJavaScript(AScript, std::move(ACompleteEvent), {});
        return;
    }
    if (!FInitialized) {
        // Nothing can run it yet: dropped, and its event is never called.
        return;
    }
    FScriptList.push_back(std::make_unique<TLumScript>(AScript, std::move(ACompleteEvent)));
    if (FScriptList.size() == 1)
        SendScript(*FScriptList.front());
}

void TLumCustomWebBrowser::SendScript(const TLumScript& AScript)
{
    std::weak_ptr<int> generation = FQueueGeneration;
    TLumWebBrowserJavaScriptCompleteEvent event = AScript.GetCompleteEvent();
    FWebBrowser->ExecuteJavaScript(
        AScript.GetScript(),
        [generation, event](const String& AValue) {
            if (!generation.expired() && event)
                event(AValue);
        },
        [this, generation](TObject* Sender) {
            if (!generation.expired())
                ProcessNextScript(Sender);
        });
}

void TLumCustomWebBrowser::ProcessNextScript(TObject* /*Sender*/)
{
    if (!FWebBrowser)
        return;
    if (!FScriptList.empty())
        FScriptList.erase(FScriptList.begin());
    if (FInitialized && !FScriptList.empty())
        SendScript(*FScriptList.front());
}

String TLumCustomWebBrowser::ExecuteJavaScriptSync(const String& AScript)
{
    if (!FWebBrowser)
        return {};
    auto answer = std::make_shared<TSyncAnswer>();
    std::erase_if(FSyncAnswers, [](const auto& weak) { return weak.expired(); });
    FSyncAnswers.push_back(answer);
    std::weak_ptr<TSyncAnswer> slot = answer;
    FWebBrowser->ExecuteJavaScript(
        AScript,
        [slot](const String& AValue) {
            auto target = slot.lock();
            if (target && !target->Abandoned && !target->Answered) {
                target->Value = AValue;
                target->Answered = true;
            }
        },
        {});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(MaxWaitMs);
    while (!answer->Answered && !answer->Abandoned && std::chrono::steady_clock::now() < deadline) {
        Application->ProcessMessages();
        if (!answer->Answered && !answer->Abandoned)
            WaitForMessagesUntil(deadline);
    }
    answer->Abandoned = true;
    return answer->Answered ? answer->Value : String();
}

// ---- ready state ----

void TLumCustomWebBrowser::StartDocumentReadyStateThread()
{
    StopDocumentReadyStateThread();
    if (FDocumentReadyStateThread)
        return;
    FDocumentReadyStateThread = std::make_unique<TLumWebBrowserDocumentReadyStateThread>(this);
    FDocumentReadyStateThread->OnTerminate = [this](TThread* Sender) { DocumentReadyStateThreadDone(Sender); };
    FDocumentReadyStateThread->Start();
}

void TLumCustomWebBrowser::DocumentReadyStateThreadDone(TThread* /*Sender*/) { FThreadDone = true; }

void TLumCustomWebBrowser::StopDocumentReadyStateThread()
{
    if (!FDocumentReadyStateThread)
        return;
    FDocumentReadyStateThread->Terminate();
    // Runs the thread's synchronised calls while it waits.
    FDocumentReadyStateThread->WaitFor();
    // Its end notice comes through the queue: wake when it does.
    while (!FThreadDone) {
        WaitForMessagesUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(100));
        Application->ProcessMessages();
    }
    FDocumentReadyStateThread.reset();
    FThreadDone = false;
}

void TLumCustomWebBrowser::CheckApplicationInitialized()
{
    ExecuteJavaScript(u"document.readyState", [this](const String& AValue) { DoCheckReadyState(AValue); });
}

void TLumCustomWebBrowser::DoCheckReadyState(const String& Value)
{
    if (BareLower(Value) != u"complete")
        return;
    if (CheckClientIdentifier())
        ExecuteJavaScript(u"window.LumWebClientIdentifier", [this](const String& AValue) {
            if (BareLower(AValue) != u"unknown")
                FReady = true;
        });
    else
        FReady = true;
}

// ---- properties ----

String TLumCustomWebBrowser::GetURL() { return FWebBrowser ? FWebBrowser->GetURL() : FURL; }

void TLumCustomWebBrowser::SetURL(const String& Value)
{
    FURL = Value;
    if (!FWebBrowser)
        return;
    FWebBrowser->SetURL(Value);
    if (!Value.empty())
        Navigate();
}

bool TLumCustomWebBrowser::GetEnableContextMenu()
{
    return FWebBrowser ? FWebBrowser->GetEnableContextMenu() : FEnableContextMenu;
}

void TLumCustomWebBrowser::SetEnableContextMenu(bool Value)
{
    FEnableContextMenu = Value;
    if (FWebBrowser)
        FWebBrowser->SetEnableContextMenu(Value);
}

bool TLumCustomWebBrowser::GetEnableShowDebugConsole()
{
    return FWebBrowser ? FWebBrowser->GetEnableShowDebugConsole() : FEnableShowDebugConsole;
}

void TLumCustomWebBrowser::SetEnableShowDebugConsole(bool Value)
{
    FEnableShowDebugConsole = Value;
    if (FWebBrowser)
        FWebBrowser->SetEnableShowDebugConsole(Value);
}

bool TLumCustomWebBrowser::GetEnableAcceleratorKeys()
{
    return FWebBrowser ? FWebBrowser->GetEnableAcceleratorKeys() : FEnableAcceleratorKeys;
}

void TLumCustomWebBrowser::SetEnableAcceleratorKeys(bool Value)
{
    FEnableAcceleratorKeys = Value;
    if (FWebBrowser)
        FWebBrowser->SetEnableAcceleratorKeys(Value);
}

String TLumCustomWebBrowser::GetCacheFolder() { return FWebBrowser ? FWebBrowser->GetCacheFolder() : String(); }

void TLumCustomWebBrowser::SetCacheFolder(const String& Value)
{
    if (FWebBrowser)
        FWebBrowser->SetCacheFolder(Value);
}

String TLumCustomWebBrowser::GetCacheFolderName()
{
    return FWebBrowser ? FWebBrowser->GetCacheFolderName() : String();
}

void TLumCustomWebBrowser::SetCacheFolderName(const String& Value)
{
    if (FWebBrowser)
        FWebBrowser->SetCacheFolderName(Value);
}

bool TLumCustomWebBrowser::GetAutoClearCache() { return FWebBrowser && FWebBrowser->GetAutoClearCache(); }

void TLumCustomWebBrowser::SetAutoClearCache(bool Value)
{
    if (FWebBrowser)
        FWebBrowser->SetAutoClearCache(Value);
}

String TLumCustomWebBrowser::GetUserAgent() { return FWebBrowser ? FWebBrowser->GetUserAgent() : String(); }

void TLumCustomWebBrowser::SetUserAgent(const String& Value)
{
    if (FWebBrowser)
        FWebBrowser->SetUserAgent(Value);
}
