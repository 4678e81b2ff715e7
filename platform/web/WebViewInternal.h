#pragma once

// The browser host and the view's implementation, shared by the files that
// implement WebView.h (WebView*.cpp). Not part of the web view's API.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/web/DevToolsConnection.h"
#include "platform/web/WebView.h"

namespace webview {

class WebViewWindow;

namespace detail {

inline std::string Utf8(const String& s) { return StringToUtf8(s); }
inline String Utf16(const std::string& s) { return Utf8ToString(s); }

inline std::string DumpJson(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

} // namespace detail

using namespace detail;

// One running browser, shared by every environment of the same user-data
// folder (a second browser on the same folder would hand itself over to the
// first and exit).
struct BrowserHost : std::enable_shared_from_this<BrowserHost> {
    std::string Program;
    std::string UserDataFolder;
    std::string Arguments;
    bool OwnsFolder { false };
    std::shared_ptr<DevToolsConnection> Connection;
    bool Ready { false };
    std::string Version;
    std::string DefaultUserAgent;
    std::vector<std::function<void(bool)>> Waiters;
    std::vector<CoreWebView2::Impl*> Views;

    ~BrowserHost();
    void EnsureStarted(std::function<void(bool)> done);
    void Shutdown();
    void HandleGone();
    void FinishStart(bool ok);

    static std::map<std::string, std::weak_ptr<BrowserHost>>& Registry()
    {
        static std::map<std::string, std::weak_ptr<BrowserHost>> registry;
        return registry;
    }
};

struct CoreWebView2::Impl {
    enum class State { Detached, Attaching, Attached, Closed };

    struct Navigation {
        std::uint64_t Id { 0 };
        bool Committed { false };
        bool Failed { false };
        WebErrorStatus Status { WebErrorStatus::Unknown };
    };

    struct HistoryEntry {
        int Id { 0 };
        std::string Url;
    };

    CoreWebView2& Owner;
    std::weak_ptr<CoreWebView2> Self;
    std::shared_ptr<BrowserHost> Host;
    std::shared_ptr<DevToolsConnection> Connection;
    State CurrentState { State::Detached };
    std::string TargetId;
    std::string SessionId;
    // Had a page in the running browser: its end is news to the view even
    // when a request has already begun attaching to the next browser.
    bool HadPage { false };
    std::vector<std::function<void(bool)>> WhenAttached;

    String UserAgent; // empty: the browser's default
    int Width { 800 };
    int Height { 600 };

    WebViewWindow* Window { nullptr }; // the controller's child window, when on screen
    bool WantScreencast { false };
    bool Screencasting { false };
    // Screencast frames shown so far (a fresh frame asked for is shown only
    // when no screencast frame came after the request).
    std::uint64_t FramesShown { 0 };

    std::map<String, std::shared_ptr<ICoreWebView2HostObject>> HostObjects;
    std::string NamesScriptId;

    std::optional<Navigation> Pending;
    std::uint64_t LastNavigationId { 0 };
    bool ExpectingOwnRequest { false }; // the next main-frame request is one we started
    std::vector<HistoryEntry> History;
    int HistoryIndex { -1 };

    explicit Impl(CoreWebView2& owner) : Owner(owner) { }

    bool IsAttached() const { return CurrentState == State::Attached && Connection && Connection->Connected(); }
    void Send(const std::string& method, Json params, DevToolsConnection::ReplyHandler onReply = {});
    void RunWhenAttached(std::function<void(bool)> op);
    void Attach();
    void FinishAttach(bool ok);
    void SendSetup();
    void Close();
    // The browser went away: by a crash (raises ProcessFailed) or a close.
    void BrowserGone(bool crashed);
    void OnEvent(const std::string& method, const Json& params);
    void OnRequestPaused(const Json& params);
    void OnFrameNavigated(const Json& frame);
    void SetTitle(const std::string& title);
    void OnBinding(const Json& params);

    // Raises NavigationStarting for a navigation; false when a handler cancelled it.
    bool BeginNavigation(const String& uri, bool userInitiated, bool redirected, std::uint64_t& id);
    void CompleteNavigation(std::uint64_t id, bool success, WebErrorStatus status);
    void StartOwnNavigation(const String& uri, std::function<void(Impl&, std::uint64_t)> send);
    void RefreshHistory(std::function<void()> then = {});
    void SetSource(const std::string& url);
    void UpdateHostObjectNames();
    void ApplyUserAgent();
    void ApplyViewport();
    void UpdateScreencast();
    // A static page sends screencast frames only when it paints again: one
    // screenshot shows it as it is now (after a start or a resize).
    void RequestFreshFrame();
    std::string NamesScript() const;
};

} // namespace webview
