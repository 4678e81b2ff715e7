#include "platform/web/WebView.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "platform/rtl/MainThread.h"
#include "platform/web/DevToolsConnection.h"
#include "platform/web/WebViewInternal.h"
#include "platform/web/WebViewWindow.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace webview {

namespace {

std::string DefaultCacheFolder()
{
    if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/')
        return xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.cache";
    return std::filesystem::temp_directory_path().string();
}

// A private user-data folder under the user's cache folder.
std::string MakePrivateUserDataFolder()
{
    std::error_code ec;
    std::filesystem::path base = std::filesystem::path(DefaultCacheFolder()) / "quarrytide";
    std::filesystem::create_directories(base, ec);
    std::string templ = (base / "webview-XXXXXX").string();
    if (!mkdtemp(templ.data()))
        return {};
    return templ;
}

} // namespace

// One running browser, shared by every environment of the same user-data
// ---------------------------------------------------------------- CoreWebView2Environment

struct CoreWebView2Environment::Impl {
    std::shared_ptr<BrowserHost> Host;
};

CoreWebView2Environment::CoreWebView2Environment() : m_impl(std::make_unique<Impl>()) { }

CoreWebView2Environment::~CoreWebView2Environment() = default;

String CoreWebView2Environment::GetUserDataFolder() const { return Utf16(m_impl->Host->UserDataFolder); }

pid_t CoreWebView2Environment::GetBrowserProcessId() const
{
    auto& c = m_impl->Host->Connection;
    return c && c->Connected() ? c->Pid() : 0;
}

void CoreWebView2Environment::Close() { m_impl->Host->Shutdown(); }

void CoreWebView2Environment::CreateCoreWebView2Controller(HWND parentWindow,
    CreateCoreWebView2ControllerCompletedHandler handler)
{
    if (!handler)
        return;
    std::shared_ptr<CoreWebView2Controller> controller(new CoreWebView2Controller);
    std::shared_ptr<CoreWebView2> view(new CoreWebView2);
    view->m_impl->Self = view;
    view->m_impl->Host = m_impl->Host;
    m_impl->Host->Views.push_back(view->m_impl.get());
    controller->m_webView = view;
    // On screen the view starts out filling its parent's client area.
    if (parentWindow && IsWindow(parentWindow)) {
        RECT client;
        if (GetClientRect(parentWindow, client))
            controller->m_bounds = client;
        controller->SetParentWindow(parentWindow);
    }
    view->m_impl->Width = controller->m_bounds.Width();
    view->m_impl->Height = controller->m_bounds.Height();
    view->m_impl->RunWhenAttached([controller, handler](bool ok) {
        auto& impl = *controller->m_webView->m_impl;
        if (!ok) {
            QueueToMainThread([handler] { handler(E_FAIL, nullptr); });
            return;
        }
        // Completes once the page has run its setup.
        impl.Send("Runtime.evaluate", { { "expression", "1" } }, [controller, handler](const DevToolsReply& reply) {
            handler(reply.Ok ? S_OK : E_FAIL, reply.Ok ? controller : nullptr);
        });
    });
}

HRESULT CreateCoreWebView2EnvironmentWithOptions(const String& browserExecutableFolder, const String& userDataFolder,
    const CoreWebView2EnvironmentOptions* options, CreateCoreWebView2EnvironmentCompletedHandler handler)
{
    if (!handler)
        return E_INVALIDARG;
    std::string program = FindChromium(Utf8(browserExecutableFolder));
    if (program.empty()) {
        QueueToMainThread([handler] { handler(E_FILE_NOT_FOUND, nullptr); });
        return S_OK;
    }
    std::string folder = Utf8(userDataFolder);
    bool owns = false;
    if (folder.empty()) {
        folder = MakePrivateUserDataFolder();
        owns = true;
        if (folder.empty()) {
            QueueToMainThread([handler] { handler(E_FAIL, nullptr); });
            return S_OK;
        }
    } else {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        auto canonical = std::filesystem::weakly_canonical(folder, ec);
        if (!ec)
            folder = canonical.string();
    }
    auto& registry = BrowserHost::Registry();
    std::shared_ptr<BrowserHost> host = registry[folder].lock();
    if (!host) {
        host = std::make_shared<BrowserHost>();
        host->Program = program;
        host->UserDataFolder = folder;
        host->OwnsFolder = owns;
        if (options)
            host->Arguments = Utf8(options->AdditionalBrowserArguments);
        registry[folder] = host;
    }
    std::shared_ptr<CoreWebView2Environment> env(new CoreWebView2Environment);
    env->m_impl->Host = host;
    host->EnsureStarted([env, handler](bool ok) {
        env->m_version = Utf16(env->m_impl->Host->Version);
        // Always completes from a call of its own, never inside the request.
        QueueToMainThread([env, handler, ok] { handler(ok ? S_OK : E_FAIL, ok ? env : nullptr); });
    });
    return S_OK;
}

HRESULT GetAvailableCoreWebView2BrowserVersionString(const String& browserExecutableFolder, String& version)
{
    version.clear();
    std::string program = FindChromium(Utf8(browserExecutableFolder));
    if (program.empty())
        return E_FILE_NOT_FOUND;
    version = Utf16(QueryChromiumVersion(program));
    return version.empty() ? E_FAIL : S_OK;
}

} // namespace webview

