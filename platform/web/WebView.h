#pragma once
// The web view: environment, controller, web view and settings objects shaped
// like the embedding runtime the browser control expects, over a Chromium
// process driven through its DevTools protocol. Creation and every request
// complete asynchronously: completions and events run on the GUI thread while
// it processes queued calls (CheckSynchronize, or the window layer's loop).

#include <cstdint>
#include <sys/types.h>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

namespace webview {

inline constexpr HRESULT E_FILE_NOT_FOUND = HRESULT(0x80070002u);  // no browser program
inline constexpr HRESULT E_INVALID_STATE = HRESULT(0x8007139Fu);   // the object was closed

// Why a navigation failed; the numbers are the runtime's.
enum class WebErrorStatus : std::int32_t {
    Unknown = 0,
    CertificateCommonNameIsIncorrect = 1,
    CertificateExpired = 2,
    ClientCertificateContainsErrors = 3,
    CertificateRevoked = 4,
    CertificateIsInvalid = 5,
    ServerUnreachable = 6,
    Timeout = 7,
    ErrorHttpInvalidServerResponse = 8,
    ConnectionAborted = 9,
    ConnectionReset = 10,
    Disconnected = 11,
    CannotConnect = 12,
    HostNameNotResolved = 13,
    OperationCanceled = 14,
    RedirectFailed = 15,
    UnexpectedError = 16,
    ValidAuthenticationCredentialsRequired = 17,
    ValidProxyAuthenticationRequired = 18,
};

// The status for a network error text such as "net::ERR_CONNECTION_REFUSED".
WebErrorStatus WebErrorStatusFromNetError(const std::string& netError);

struct EventRegistrationToken {
    std::int64_t value { 0 };
};

// An event with handlers added and removed by token. Handlers added or
// removed while the event runs take effect from its next raise.
template<class... Args>
class Event {
public:
    using Handler = std::function<void(Args...)>;
    EventRegistrationToken Add(Handler handler)
    {
        EventRegistrationToken token { ++m_lastToken };
        m_handlers.emplace(token.value, std::move(handler));
        return token;
    }
    void Remove(EventRegistrationToken token) { m_handlers.erase(token.value); }
    void Raise(Args... args) const
    {
        auto handlers = m_handlers;
        for (auto& [token, handler] : handlers)
            handler(args...);
    }

private:
    std::map<std::int64_t, Handler> m_handlers;
    std::int64_t m_lastToken { 0 };
};

class CoreWebView2;
class CoreWebView2Controller;
class CoreWebView2Environment;
class WebViewWindow;

struct NavigationStartingEventArgs {
    String Uri;
    std::uint64_t NavigationId { 0 };
    bool IsUserInitiated { false }; // started by the page, not by a call of ours
    bool IsRedirected { false };
    bool Cancel { false };          // set by a handler: the request is never sent
    const String& GetUri() const { return Uri; }
    void SetCancel(bool v) { Cancel = v; }
    bool GetCancel() const { return Cancel; }
};

struct NavigationCompletedEventArgs {
    std::uint64_t NavigationId { 0 };
    bool IsSuccess { false };
    WebErrorStatus Status { WebErrorStatus::Unknown };
    bool GetIsSuccess() const { return IsSuccess; }
    WebErrorStatus GetWebErrorStatus() const { return Status; }
};

enum class ProcessFailedKind { BrowserProcessExited, RenderProcessExited };

// A value a page script assigned to a host object's property: null, a
// Boolean, a number, or a text. Objects and arrays arrive as their JSON text.
using HostObjectValue = std::variant<std::monostate, bool, double, String>;

// An object of the program that page scripts reach as
// chrome.webview.hostObjects.<name> (and .sync.<name>).
class ICoreWebView2HostObject {
public:
    virtual ~ICoreWebView2HostObject() = default;
    virtual void PutProperty(const String& name, const HostObjectValue& value) = 0;
};

class CoreWebView2Settings {
public:
    // The user agent pages see; by default the browser's own, shown as an
    // ordinary (not headless) browser.
    String GetUserAgent() const;
    void SetUserAgent(const String& value);
    bool GetAreDefaultContextMenusEnabled() const { return m_contextMenus; }
    void SetAreDefaultContextMenusEnabled(bool v) { m_contextMenus = v; }
    bool GetAreDevToolsEnabled() const { return m_devTools; }
    void SetAreDevToolsEnabled(bool v) { m_devTools = v; }

private:
    friend class CoreWebView2;
    explicit CoreWebView2Settings(CoreWebView2& owner) : m_owner(owner) { }
    CoreWebView2& m_owner;
    bool m_contextMenus { true };
    bool m_devTools { true };
};

enum class CapturePreviewImageFormat { Png, Jpeg };

using ExecuteScriptCompletedHandler = std::function<void(HRESULT errorCode, const String& resultObjectAsJson)>;
using CapturePreviewCompletedHandler = std::function<void(HRESULT errorCode, const TBytes& image)>;

class CoreWebView2 : public std::enable_shared_from_this<CoreWebView2> {
public:
    ~CoreWebView2();

    CoreWebView2Settings& GetSettings() { return *m_settings; }

    void Navigate(const String& uri);
    // Shows `html` as a page of its own: it takes part in history and raises
    // the navigation events like any other page.
    void NavigateToString(const String& html);
    void Reload();
    void Stop();
    void GoBack();
    void GoForward();
    bool GetCanGoBack() const;
    bool GetCanGoForward() const;
    String GetSource() const { return m_source; }
    String GetDocumentTitle() const { return m_title; }
    pid_t GetBrowserProcessId() const;

    // Runs `script` as a script of the page (its last expression is the value)
    // and completes with the value's JSON text; "null" for undefined, a thrown
    // exception, a value that does not serialise, a page that went away or a
    // browser that closed. Every call completes exactly once.
    void ExecuteScript(const String& script, ExecuteScriptCompletedHandler handler);
    void CapturePreview(CapturePreviewImageFormat format, CapturePreviewCompletedHandler handler);

    void AddHostObjectToScript(const String& name, std::shared_ptr<ICoreWebView2HostObject> object);
    void RemoveHostObjectFromScript(const String& name);

    // Deletes every cookie of the browser profile; `done` (may be empty) runs
    // when it has happened.
    void DeleteAllCookies(std::function<void(HRESULT)> done = {});

    Event<CoreWebView2&, NavigationStartingEventArgs&> NavigationStarting;
    Event<CoreWebView2&, const NavigationCompletedEventArgs&> NavigationCompleted;
    Event<CoreWebView2&> SourceChanged;
    Event<CoreWebView2&> DocumentTitleChanged;
    Event<CoreWebView2&, ProcessFailedKind> ProcessFailed;

    struct Impl;

private:
    friend class CoreWebView2Controller;
    friend class CoreWebView2Settings;
    friend class CoreWebView2Environment;
    CoreWebView2();

    std::unique_ptr<Impl> m_impl;
    std::unique_ptr<CoreWebView2Settings> m_settings;
    String m_source;
    String m_title;
};

enum class KeyEventKind { KeyDown, KeyUp, SystemKeyDown, SystemKeyUp };

// A key pressed while the web view has the focus that the program may take
// for itself (function keys, Escape, and keys with Ctrl or Alt held); a
// handled key does not reach the page.
struct AcceleratorKeyPressedEventArgs {
    KeyEventKind Kind { KeyEventKind::KeyDown };
    UINT VirtualKey { 0 };
    bool Handled { false };
    KeyEventKind GetKeyEventKind() const { return Kind; }
    UINT GetVirtualKey() const { return VirtualKey; }
    void SetHandled(bool v) { Handled = v; }
};

using CreateCoreWebView2ControllerCompletedHandler =
    std::function<void(HRESULT errorCode, std::shared_ptr<CoreWebView2Controller> controller)>;

// The web view's place in a parent window. With a parent, the page is shown
// in a child window at `Bounds` (in the parent's client coordinates) and
// takes the input that window receives.
class CoreWebView2Controller {
public:
    ~CoreWebView2Controller();
    std::shared_ptr<CoreWebView2> GetCoreWebView2() const { return m_webView; }
    bool GetIsVisible() const { return m_visible; }
    void SetIsVisible(bool visible);
    TRect GetBounds() const { return m_bounds; }
    void SetBounds(const TRect& bounds);
    HWND GetParentWindow() const { return m_parent; }
    // A null parent takes the web view off screen until it gets a new one.
    void SetParentWindow(HWND parent);
    // The child window that shows the page; null without a parent.
    HWND GetWindow() const;
    // Closes the web view's page; its pending requests complete with failure.
    void Close();

    Event<CoreWebView2Controller&, AcceleratorKeyPressedEventArgs&> AcceleratorKeyPressed;
    Event<CoreWebView2Controller&> GotFocus;
    Event<CoreWebView2Controller&> LostFocus;

private:
    friend class CoreWebView2Environment;
    CoreWebView2Controller();
    void CreateWindowIn(HWND parent);
    void ShowOnScreen();

    std::shared_ptr<CoreWebView2> m_webView;
    std::unique_ptr<WebViewWindow> m_window;
    HWND m_parent { nullptr };
    TRect m_bounds { 0, 0, 800, 600 };
    bool m_visible { true };
};

struct CoreWebView2EnvironmentOptions {
    String AdditionalBrowserArguments;
};

class CoreWebView2Environment : public std::enable_shared_from_this<CoreWebView2Environment> {
public:
    ~CoreWebView2Environment(); // closes the browser when this was its last user
    String GetBrowserVersionString() const { return m_version; }
    String GetUserDataFolder() const;
    pid_t GetBrowserProcessId() const;
    void CreateCoreWebView2Controller(HWND parentWindow, CreateCoreWebView2ControllerCompletedHandler handler);
    // Closes the browser gracefully (killed after a short wait) and returns
    // once its process has exited; a user-data folder made for this
    // environment is deleted then. The next request starts a new browser.
    void Close();

    struct Impl;

private:
    friend class CoreWebView2;
    friend HRESULT CreateCoreWebView2EnvironmentWithOptions(const String&, const String&,
        const CoreWebView2EnvironmentOptions*,
        std::function<void(HRESULT, std::shared_ptr<CoreWebView2Environment>)>);
    CoreWebView2Environment();

    std::unique_ptr<Impl> m_impl;
    String m_version;
};

using CreateCoreWebView2EnvironmentCompletedHandler =
    std::function<void(HRESULT errorCode, std::shared_ptr<CoreWebView2Environment> environment)>;

// Starts (or joins) the browser for `userDataFolder` and completes on the GUI
// thread once it answers. An empty `browserExecutableFolder` finds the browser
// as FindChromium does; an empty `userDataFolder` makes a private folder under
// the user's cache folder. Returns E_INVALIDARG without a handler; every other
// failure arrives through the handler.
HRESULT CreateCoreWebView2EnvironmentWithOptions(const String& browserExecutableFolder,
    const String& userDataFolder, const CoreWebView2EnvironmentOptions* options,
    CreateCoreWebView2EnvironmentCompletedHandler handler);

// The version of the browser that an environment would use, without starting
// one; E_FILE_NOT_FOUND (and empty text) when there is none.
HRESULT GetAvailableCoreWebView2BrowserVersionString(const String& browserExecutableFolder, String& version);

} // namespace webview
