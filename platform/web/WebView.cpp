#include "platform/web/WebView.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "platform/rtl/MainThread.h"
#include "platform/web/DevToolsConnection.h"
#include "platform/web/WebViewWindow.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace webview {

namespace {

// The page side of host objects: chrome.webview.hostObjects (and .sync) hand
// out a proxy per registered name whose property writes reach the host
// through a binding. Runs in every new document and once in the current one.
const char* const HostBindingName = "__webviewHostObjectPut";
const char* const BootstrapScript = R"JS((function () {
  var w = window;
  if (!w.chrome) w.chrome = {};
  if (!w.chrome.webview) w.chrome.webview = {};
  var wv = w.chrome.webview;
  if (wv.hostObjects) return;
  // The binding may be installed after this script runs: look it up late.
  function send(text) { w.__webviewHostObjectPut(text); }
  var names = {};
  function proxyFor(name) {
    return new Proxy({}, {
      get: function (t, p) { return undefined; },
      set: function (t, p, v) {
        var text;
        try { text = JSON.stringify({ name: name, property: String(p), value: v === undefined ? null : v }); }
        catch (e) { text = JSON.stringify({ name: name, property: String(p), value: null }); }
        send(text);
        return true;
      }
    });
  }
  function lookup(t, p) { return Object.prototype.hasOwnProperty.call(names, p) ? proxyFor(p) : undefined; }
  var sync = new Proxy({}, { get: lookup });
  var hostObjects = new Proxy({}, { get: function (t, p) { return p === 'sync' ? sync : lookup(t, p); } });
  Object.defineProperty(wv, 'hostObjects', { value: hostObjects });
  Object.defineProperty(wv, '__setHostObjectNames', { value: function (list) {
    names = {};
    list.forEach(function (n) { names[n] = true; });
  } });
})();)JS";

const std::string ScriptObjectGroup = "webview-script-";

std::string Utf8(const String& s) { return StringToUtf8(s); }
String Utf16(const std::string& s) { return Utf8ToString(s); }

std::string DumpJson(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

std::string Base64Encode(const std::string& bytes)
{
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8 | (unsigned char)bytes[i + 2];
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += digits[(v >> 6) & 63];
        out += digits[v & 63];
    }
    if (i + 1 == bytes.size()) {
        unsigned v = (unsigned char)bytes[i] << 16;
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += "==";
    } else if (i + 2 == bytes.size()) {
        unsigned v = (unsigned char)bytes[i] << 16 | (unsigned char)bytes[i + 1] << 8;
        out += digits[v >> 18];
        out += digits[(v >> 12) & 63];
        out += digits[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

TBytes Base64Decode(const std::string& text)
{
    TBytes out;
    out.reserve(text.size() / 4 * 3);
    unsigned acc = 0;
    int bits = 0;
    for (char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else
            continue;
        acc = (acc << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(Byte((acc >> bits) & 0xFF));
        }
    }
    return out;
}

// The JSON text of an evaluation result that came by value, or nothing when
// the value is an object that must be serialised in the page.
std::optional<std::string> PrimitiveResultJson(const Json& remote)
{
    std::string type = remote.value("type", std::string());
    if (type == "undefined" || type == "symbol" || type == "function" || type == "bigint")
        return std::string("null");
    if (type == "object") {
        if (remote.value("subtype", std::string()) == "null" || !remote.contains("objectId"))
            return std::string("null");
        return std::nullopt;
    }
    if (auto u = remote.find("unserializableValue"); u != remote.end()) {
        // NaN and the infinities serialise as null, negative zero as 0.
        return std::string(u->is_string() && u->get<std::string>() == "-0" ? "0" : "null");
    }
    if (auto v = remote.find("value"); v != remote.end())
        return DumpJson(*v);
    return std::string("null");
}

HostObjectValue HostValueFromJson(const Json& v)
{
    if (v.is_boolean())
        return v.get<bool>();
    if (v.is_number())
        return v.get<double>();
    if (v.is_string())
        return Utf16(v.get<std::string>());
    if (v.is_null())
        return std::monostate {};
    return Utf16(DumpJson(v));
}

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
    std::vector<std::function<void(bool)>> WhenAttached;

    String UserAgent; // empty: the browser's default
    int Width { 800 };
    int Height { 600 };

    WebViewWindow* Window { nullptr }; // the controller's child window, when on screen
    bool WantScreencast { false };
    bool Screencasting { false };

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
    std::string NamesScript() const;
};

// ---------------------------------------------------------------- BrowserHost

BrowserHost::~BrowserHost() { Shutdown(); }

void BrowserHost::EnsureStarted(std::function<void(bool)> done)
{
    if (Connection && Connection->Connected()) {
        if (Ready)
            done(true);
        else
            Waiters.push_back(std::move(done));
        return;
    }
    Waiters.push_back(std::move(done));
    if (Connection) {
        // The dead connection may be on the stack below us: let it go later.
        QueueToMainThread([old = std::move(Connection)] { });
    }
    Ready = false;
    Connection = DevToolsConnection::Launch(Program, ChromiumArguments(UserDataFolder, geteuid() == 0, Arguments));
    if (!Connection) {
        QueueToMainThread([weak = weak_from_this()] {
            if (auto self = weak.lock())
                self->FinishStart(false);
        });
        return;
    }
    std::weak_ptr<BrowserHost> weak = weak_from_this();
    Connection->OnDisconnected = [weak] {
        if (auto self = weak.lock())
            self->HandleGone();
    };
    Connection->Send("Browser.getVersion", Json::object(), {}, [weak](const DevToolsReply& reply) {
        auto self = weak.lock();
        if (!self)
            return;
        if (reply.Ok) {
            std::string product = reply.Result.value("product", std::string());
            auto slash = product.find('/');
            self->Version = slash == std::string::npos ? product : product.substr(slash + 1);
            std::string ua = reply.Result.value("userAgent", std::string());
            // Pages should see an ordinary browser; the headless mode is how we
            // run it, not what it is.
            if (auto at = ua.find("HeadlessChrome"); at != std::string::npos)
                ua.replace(at, 14, "Chrome");
            self->DefaultUserAgent = ua;
        }
        self->FinishStart(reply.Ok);
    });
}

void BrowserHost::FinishStart(bool ok)
{
    Ready = ok;
    auto waiters = std::move(Waiters);
    Waiters.clear();
    for (auto& w : waiters)
        w(ok);
}

void BrowserHost::HandleGone()
{
    Ready = false;
    // Tell the views from a fresh call: their handlers may start the next
    // browser, and the dead connection is still on the stack here.
    QueueToMainThread([weak = weak_from_this()] {
        auto self = weak.lock();
        if (!self)
            return;
        auto views = self->Views;
        for (auto* v : views)
            if (std::find(self->Views.begin(), self->Views.end(), v) != self->Views.end())
                v->BrowserGone(true);
    });
}

void BrowserHost::Shutdown()
{
    if (Connection) {
        Connection->OnDisconnected = nullptr;
        Connection->Close(std::chrono::milliseconds(3000));
        Connection.reset();
    }
    Ready = false;
    FinishStart(false);
    auto views = Views;
    for (auto* v : views)
        v->BrowserGone(false);
    // Only now that the process has exited can its files go.
    if (OwnsFolder && !UserDataFolder.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(UserDataFolder, ec);
    }
}

// ---------------------------------------------------------------- CoreWebView2::Impl

void CoreWebView2::Impl::Send(const std::string& method, Json params, DevToolsConnection::ReplyHandler onReply)
{
    if (Connection && !SessionId.empty()) {
        Connection->Send(method, std::move(params), SessionId, std::move(onReply));
    } else if (onReply) {
        QueueToMainThread([onReply] { onReply(DevToolsReply { false, {}, "web view not attached" }); });
    }
}

void CoreWebView2::Impl::RunWhenAttached(std::function<void(bool)> op)
{
    if (CurrentState == State::Closed) {
        op(false);
        return;
    }
    if (IsAttached()) {
        op(true);
        return;
    }
    WhenAttached.push_back(std::move(op));
    if (CurrentState != State::Attaching)
        Attach();
}

void CoreWebView2::Impl::Attach()
{
    CurrentState = State::Attaching;
    TargetId.clear();
    SessionId.clear();
    std::weak_ptr<CoreWebView2> weak = Self;
    Host->EnsureStarted([weak](bool ok) {
        auto self = weak.lock();
        if (!self)
            return;
        Impl& me = *self->m_impl;
        if (!ok) {
            me.FinishAttach(false);
            return;
        }
        me.Connection = me.Host->Connection;
        me.Connection->Send("Target.createTarget", { { "url", "about:blank" } }, {}, [weak](const DevToolsReply& reply) {
            auto self = weak.lock();
            if (!self)
                return;
            Impl& me = *self->m_impl;
            if (!reply.Ok || me.CurrentState != State::Attaching) {
                me.FinishAttach(false);
                return;
            }
            me.TargetId = reply.Result.value("targetId", std::string());
            me.Connection->Send("Target.attachToTarget", { { "targetId", me.TargetId }, { "flatten", true } }, {},
                [weak](const DevToolsReply& reply) {
                    auto self = weak.lock();
                    if (!self)
                        return;
                    Impl& me = *self->m_impl;
                    if (!reply.Ok || me.CurrentState != State::Attaching) {
                        me.FinishAttach(false);
                        return;
                    }
                    me.SessionId = reply.Result.value("sessionId", std::string());
                    me.Connection->SetEventHandler(me.SessionId, [weak](const std::string& method, const Json& params) {
                        if (auto self = weak.lock())
                            self->m_impl->OnEvent(method, params);
                    });
                    me.SendSetup();
                    // The setup commands run in order before anything sent later.
                    me.FinishAttach(true);
                });
        });
    });
}

void CoreWebView2::Impl::FinishAttach(bool ok)
{
    if (CurrentState == State::Closed)
        ok = false;
    else
        CurrentState = ok ? State::Attached : State::Detached;
    History.clear();
    HistoryIndex = -1;
    UpdateScreencast();
    auto ops = std::move(WhenAttached);
    WhenAttached.clear();
    for (auto& op : ops)
        op(ok && IsAttached());
}

void CoreWebView2::Impl::SendSetup()
{
    Send("Page.enable", Json::object());
    Send("Page.addScriptToEvaluateOnNewDocument", { { "source", BootstrapScript } });
    // Bindings reach the documents created later only with the domain on.
    Send("Runtime.enable", Json::object());
    Send("Runtime.addBinding", { { "name", HostBindingName } });
    Send("Runtime.evaluate", { { "expression", BootstrapScript } });
    // Main-frame documents stop before their request leaves, so that a
    // navigation the page starts can still be cancelled.
    Send("Fetch.enable", { { "patterns", Json::array({ { { "urlPattern", "*" }, { "resourceType", "Document" },
                                                        { "requestStage", "Request" } } }) } });
    NamesScriptId.clear();
    if (!HostObjects.empty())
        UpdateHostObjectNames();
    ApplyUserAgent();
    ApplyViewport();
    // The view acts as the focused page whether or not a window has focus.
    Send("Emulation.setFocusEmulationEnabled", { { "enabled", true } });
    Screencasting = false;
}

void CoreWebView2::Impl::UpdateScreencast()
{
    bool want = WantScreencast && Window;
    if (!IsAttached() || want == Screencasting)
        return;
    Screencasting = want;
    if (want)
        Send("Page.startScreencast", { { "format", "png" }, { "everyNthFrame", 1 } });
    else
        Send("Page.stopScreencast", Json::object());
}

std::string CoreWebView2::Impl::NamesScript() const
{
    Json names = Json::array();
    for (auto& [name, object] : HostObjects)
        names.push_back(Utf8(name));
    return "window.chrome && window.chrome.webview && window.chrome.webview.__setHostObjectNames && "
           "window.chrome.webview.__setHostObjectNames("
        + DumpJson(names) + ");";
}

void CoreWebView2::Impl::UpdateHostObjectNames()
{
    if (!NamesScriptId.empty())
        Send("Page.removeScriptToEvaluateOnNewDocument", { { "identifier", NamesScriptId } });
    NamesScriptId.clear();
    std::weak_ptr<CoreWebView2> weak = Self;
    std::string script = NamesScript();
    Send("Page.addScriptToEvaluateOnNewDocument", { { "source", script } }, [weak](const DevToolsReply& reply) {
        if (auto self = weak.lock(); self && reply.Ok)
            self->m_impl->NamesScriptId = reply.Result.value("identifier", std::string());
    });
    Send("Runtime.evaluate", { { "expression", script } });
}

void CoreWebView2::Impl::ApplyUserAgent()
{
    std::string ua = UserAgent.empty() ? Host->DefaultUserAgent : Utf8(UserAgent);
    if (!ua.empty())
        Send("Emulation.setUserAgentOverride", { { "userAgent", ua } });
}

void CoreWebView2::Impl::ApplyViewport()
{
    Send("Emulation.setDeviceMetricsOverride", { { "width", std::max(Width, 1) }, { "height", std::max(Height, 1) },
                                                   { "deviceScaleFactor", 1 }, { "mobile", false } });
}

void CoreWebView2::Impl::Close()
{
    if (CurrentState == State::Closed)
        return;
    bool wasAttached = IsAttached();
    CurrentState = State::Closed;
    if (Connection) {
        if (!SessionId.empty()) {
            Connection->RemoveEventHandler(SessionId);
            Connection->FailPendingForSession(SessionId, "web view closed");
        }
        if (wasAttached && !TargetId.empty())
            Connection->Send("Target.closeTarget", { { "targetId", TargetId } });
    }
    if (Pending)
        CompleteNavigation(Pending->Id, false, WebErrorStatus::OperationCanceled);
    auto ops = std::move(WhenAttached);
    WhenAttached.clear();
    for (auto& op : ops)
        op(false);
    if (Host)
        std::erase(Host->Views, this);
    SessionId.clear();
    Connection.reset();
}

void CoreWebView2::Impl::BrowserGone(bool crashed)
{
    if (CurrentState == State::Closed)
        return;
    bool wasAttached = CurrentState == State::Attached;
    if (CurrentState == State::Attached)
        CurrentState = State::Detached;
    if (Connection && !SessionId.empty())
        Connection->FailPendingForSession(SessionId, "browser exited");
    SessionId.clear();
    TargetId.clear();
    Connection.reset();
    Screencasting = false;
    if (Pending)
        CompleteNavigation(Pending->Id, false, WebErrorStatus::ConnectionAborted);
    if (wasAttached && crashed)
        Owner.ProcessFailed.Raise(Owner, ProcessFailedKind::BrowserProcessExited);
}

void CoreWebView2::Impl::OnEvent(const std::string& method, const Json& params)
{
    if (method == "Fetch.requestPaused") {
        OnRequestPaused(params);
    } else if (method == "Page.frameNavigated") {
        OnFrameNavigated(params.value("frame", Json::object()));
    } else if (method == "Page.navigatedWithinDocument") {
        if (params.value("frameId", std::string()) == TargetId) {
            SetSource(params.value("url", std::string()));
            RefreshHistory();
        }
    } else if (method == "Page.domContentEventFired") {
        RefreshHistory();
    } else if (method == "Page.loadEventFired") {
        if (Pending && Pending->Committed) {
            std::uint64_t id = Pending->Id;
            bool failed = Pending->Failed;
            WebErrorStatus status = Pending->Status;
            std::weak_ptr<CoreWebView2> weak = Self;
            RefreshHistory([weak, id, failed, status] {
                if (auto self = weak.lock())
                    self->m_impl->CompleteNavigation(id, !failed, status);
            });
        }
    } else if (method == "Page.screencastFrame") {
        Send("Page.screencastFrameAck", { { "sessionId", params.value("sessionId", 0) } });
        if (Window && Screencasting)
            Window->ShowFrame(params.value("data", std::string()));
    } else if (method == "Runtime.bindingCalled") {
        OnBinding(params);
    } else if (method == "Inspector.targetCrashed") {
        if (Connection)
            Connection->FailPendingForSession(SessionId, "page crashed");
        if (Pending)
            CompleteNavigation(Pending->Id, false, WebErrorStatus::ConnectionAborted);
        Owner.ProcessFailed.Raise(Owner, ProcessFailedKind::RenderProcessExited);
    } else if (method == "Inspector.detached") {
        // The page was closed under us; the next request opens a new one.
        BrowserGone(true);
    }
}

void CoreWebView2::Impl::OnRequestPaused(const Json& params)
{
    std::string requestId = params.value("requestId", std::string());
    bool mainFrame = params.value("frameId", std::string()) == TargetId
        && params.value("resourceType", std::string()) == "Document";
    if (!mainFrame || ExpectingOwnRequest) {
        if (mainFrame)
            ExpectingOwnRequest = false;
        Send("Fetch.continueRequest", { { "requestId", requestId } });
        return;
    }
    // A navigation the page started (a link, a form, a script); one still
    // waiting for its document that asks again is being redirected.
    std::string url = params.value("request", Json::object()).value("url", std::string());
    bool redirected = Pending && !Pending->Committed;
    std::uint64_t id = 0;
    if (!BeginNavigation(Utf16(url), true, redirected, id)) {
        Send("Fetch.failRequest", { { "requestId", requestId }, { "errorReason", "Aborted" } });
        return;
    }
    Send("Fetch.continueRequest", { { "requestId", requestId } });
}

void CoreWebView2::Impl::OnFrameNavigated(const Json& frame)
{
    if (frame.contains("parentId") || frame.value("id", std::string()) != TargetId)
        return;
    ExpectingOwnRequest = false;
    std::string unreachable = frame.value("unreachableUrl", std::string());
    std::string url = unreachable.empty() ? frame.value("url", std::string()) + frame.value("urlFragment", std::string())
                                          : unreachable;
    if (Pending) {
        Pending->Committed = true;
        Pending->Failed = !unreachable.empty();
    }
    SetSource(url);
    RefreshHistory();
}

void CoreWebView2::Impl::SetTitle(const std::string& text)
{
    String title = Utf16(text);
    if (title != Owner.m_title) {
        Owner.m_title = title;
        Owner.DocumentTitleChanged.Raise(Owner);
    }
}

void CoreWebView2::Impl::OnBinding(const Json& params)
{
    if (params.value("name", std::string()) != HostBindingName)
        return;
    Json message = Json::parse(params.value("payload", std::string()), nullptr, false);
    if (!message.is_object())
        return;
    String name = Utf16(message.value("name", std::string()));
    auto it = HostObjects.find(name);
    if (it == HostObjects.end())
        return;
    auto object = it->second; // the object may remove itself
    object->PutProperty(Utf16(message.value("property", std::string())),
        HostValueFromJson(message.value("value", Json())));
}

bool CoreWebView2::Impl::BeginNavigation(const String& uri, bool userInitiated, bool redirected, std::uint64_t& id)
{
    if (Pending && !redirected)
        CompleteNavigation(Pending->Id, false, WebErrorStatus::OperationCanceled);
    if (!Pending || !redirected)
        Pending = Navigation { ++LastNavigationId };
    id = Pending->Id;
    NavigationStartingEventArgs args;
    args.Uri = uri;
    args.NavigationId = id;
    args.IsUserInitiated = userInitiated;
    args.IsRedirected = redirected;
    Owner.NavigationStarting.Raise(Owner, args);
    if (args.Cancel) {
        CompleteNavigation(id, false, WebErrorStatus::OperationCanceled);
        return false;
    }
    return true;
}

void CoreWebView2::Impl::CompleteNavigation(std::uint64_t id, bool success, WebErrorStatus status)
{
    if (!Pending || Pending->Id != id)
        return;
    Pending.reset();
    NavigationCompletedEventArgs args;
    args.NavigationId = id;
    args.IsSuccess = success;
    args.Status = success ? WebErrorStatus::Unknown : status;
    Owner.NavigationCompleted.Raise(Owner, args);
}

void CoreWebView2::Impl::StartOwnNavigation(const String& uri, std::function<void(Impl&, std::uint64_t)> send)
{
    std::weak_ptr<CoreWebView2> weak = Self;
    RunWhenAttached([weak, uri, send = std::move(send)](bool ok) {
        auto self = weak.lock();
        if (!self || !ok)
            return;
        Impl& me = *self->m_impl;
        std::uint64_t id = 0;
        if (!me.BeginNavigation(uri, false, false, id))
            return;
        if (!me.IsAttached()) // a handler closed the view
            return;
        me.ExpectingOwnRequest = true;
        send(me, id);
    });
}

void CoreWebView2::Impl::RefreshHistory(std::function<void()> then)
{
    std::weak_ptr<CoreWebView2> weak = Self;
    Send("Page.getNavigationHistory", Json::object(), [weak, then = std::move(then)](const DevToolsReply& reply) {
        auto self = weak.lock();
        if (!self)
            return;
        Impl& me = *self->m_impl;
        if (reply.Ok) {
            me.History.clear();
            const Json entries = reply.Result.value("entries", Json::array());
            int current = reply.Result.value("currentIndex", -1);
            // The blank page a new view starts on is not part of its history.
            std::size_t first = 0;
            if (!entries.empty() && entries[0].value("url", std::string()) == "about:blank"
                && entries[0].value("transitionType", std::string()) == "auto_toplevel")
                first = 1;
            for (std::size_t i = first; i < entries.size(); ++i)
                me.History.push_back(HistoryEntry { entries[i].value("id", 0), entries[i].value("url", std::string()) });
            me.HistoryIndex = current - int(first);
            // The history knows the title of the page it shows.
            if (current >= 0 && std::size_t(current) < entries.size())
                me.SetTitle(entries[std::size_t(current)].value("title", std::string()));
        }
        if (then)
            then();
    });
}

void CoreWebView2::Impl::SetSource(const std::string& url)
{
    String source = Utf16(url);
    if (source == Owner.m_source)
        return;
    Owner.m_source = source;
    Owner.SourceChanged.Raise(Owner);
}

// ---------------------------------------------------------------- CoreWebView2

CoreWebView2::CoreWebView2()
    : m_impl(std::make_unique<Impl>(*this))
    , m_settings(new CoreWebView2Settings(*this))
{
}

CoreWebView2::~CoreWebView2() { m_impl->Close(); }

String CoreWebView2Settings::GetUserAgent() const
{
    auto& impl = *m_owner.m_impl;
    if (!impl.UserAgent.empty())
        return impl.UserAgent;
    return impl.Host ? Utf16(impl.Host->DefaultUserAgent) : String();
}

void CoreWebView2Settings::SetUserAgent(const String& value)
{
    auto& impl = *m_owner.m_impl;
    impl.UserAgent = value;
    if (impl.IsAttached())
        impl.ApplyUserAgent();
}

void CoreWebView2::Navigate(const String& uri)
{
    m_impl->StartOwnNavigation(uri, [uri](Impl& me, std::uint64_t id) {
        std::weak_ptr<CoreWebView2> weak = me.Self;
        me.Send("Page.navigate", { { "url", Utf8(uri) } }, [weak, id](const DevToolsReply& reply) {
            auto self = weak.lock();
            if (!self)
                return;
            if (!reply.Ok) {
                self->m_impl->CompleteNavigation(id, false, WebErrorStatus::UnexpectedError);
                return;
            }
            std::string error = reply.Result.value("errorText", std::string());
            if (error.empty())
                return;
            // A failure shows an error page (whose source is the failed
            // address) and completes when that has loaded; an abort shows
            // nothing and completes now.
            auto& pending = self->m_impl->Pending;
            WebErrorStatus status = WebErrorStatusFromNetError(error);
            if (status == WebErrorStatus::OperationCanceled || !pending || pending->Id != id)
                self->m_impl->CompleteNavigation(id, false, status);
            else
                pending->Status = status;
        });
    });
}

void CoreWebView2::NavigateToString(const String& html)
{
    Navigate(u"data:text/html;charset=utf-8;base64," + Utf16(Base64Encode(Utf8(html))));
}

void CoreWebView2::Reload()
{
    m_impl->StartOwnNavigation(m_source, [](Impl& me, std::uint64_t) { me.Send("Page.reload", Json::object()); });
}

void CoreWebView2::Stop()
{
    std::weak_ptr<CoreWebView2> weak = m_impl->Self;
    m_impl->RunWhenAttached([weak](bool ok) {
        auto self = weak.lock();
        if (!self || !ok)
            return;
        Impl& me = *self->m_impl;
        std::optional<std::uint64_t> id;
        if (me.Pending)
            id = me.Pending->Id;
        me.Send("Page.stopLoading", Json::object(), [weak, id](const DevToolsReply&) {
            auto self = weak.lock();
            if (self && id)
                self->m_impl->CompleteNavigation(*id, false, WebErrorStatus::OperationCanceled);
        });
    });
}

namespace {

void NavigateHistory(CoreWebView2::Impl& impl, int step)
{
    int index = impl.HistoryIndex + step;
    if (impl.HistoryIndex < 0 || index < 0 || index >= int(impl.History.size()))
        return;
    int entryId = impl.History[std::size_t(index)].Id;
    impl.StartOwnNavigation(Utf16(impl.History[std::size_t(index)].Url), [entryId](CoreWebView2::Impl& me, std::uint64_t) {
        me.Send("Page.navigateToHistoryEntry", { { "entryId", entryId } });
    });
}

} // namespace

void CoreWebView2::GoBack() { NavigateHistory(*m_impl, -1); }
void CoreWebView2::GoForward() { NavigateHistory(*m_impl, +1); }

bool CoreWebView2::GetCanGoBack() const { return m_impl->IsAttached() && m_impl->HistoryIndex > 0; }

bool CoreWebView2::GetCanGoForward() const
{
    return m_impl->IsAttached() && m_impl->HistoryIndex >= 0 && m_impl->HistoryIndex + 1 < int(m_impl->History.size());
}

pid_t CoreWebView2::GetBrowserProcessId() const
{
    return m_impl->Connection && m_impl->Connection->Connected() ? m_impl->Connection->Pid() : 0;
}

void CoreWebView2::ExecuteScript(const String& script, ExecuteScriptCompletedHandler handler)
{
    if (!handler)
        handler = [](HRESULT, const String&) { };
    std::weak_ptr<CoreWebView2> weak = m_impl->Self;
    m_impl->RunWhenAttached([weak, script, handler](bool ok) {
        auto self = weak.lock();
        if (!self || !ok) {
            QueueToMainThread([handler] { handler(E_FAIL, u"null"); });
            return;
        }
        Impl& me = *self->m_impl;
        // A group per call, so releasing one script's objects leaves the
        // others' alone.
        static std::uint64_t lastGroup = 0;
        std::string group = ScriptObjectGroup + std::to_string(++lastGroup);
        Json params = { { "expression", Utf8(script) }, { "returnByValue", false }, { "objectGroup", group } };
        me.Send("Runtime.evaluate", std::move(params), [weak, handler, group](const DevToolsReply& reply) {
            if (!reply.Ok) {
                handler(E_FAIL, u"null");
                return;
            }
            if (reply.Result.contains("exceptionDetails")) {
                handler(S_OK, u"null");
                return;
            }
            const Json& remote = reply.Result.value("result", Json::object());
            if (auto text = PrimitiveResultJson(remote)) {
                handler(S_OK, Utf16(*text));
                return;
            }
            auto self = weak.lock();
            if (!self) {
                handler(E_FAIL, u"null");
                return;
            }
            // Objects are serialised in the page, the way JSON.stringify
            // sees them (toJSON, dates, skipped functions).
            Json call = { { "objectId", remote.value("objectId", std::string()) },
                { "functionDeclaration", "function () { return JSON.stringify(this); }" }, { "returnByValue", true } };
            self->m_impl->Send("Runtime.callFunctionOn", std::move(call), [handler](const DevToolsReply& reply) {
                const Json& r = reply.Ok ? reply.Result.value("result", Json::object()) : Json::object();
                if (reply.Ok && !reply.Result.contains("exceptionDetails") && r.contains("value") && r["value"].is_string())
                    handler(S_OK, Utf16(r["value"].get<std::string>()));
                else
                    handler(reply.Ok ? S_OK : E_FAIL, u"null");
            });
            self->m_impl->Send("Runtime.releaseObjectGroup", { { "objectGroup", group } });
        });
    });
}

void CoreWebView2::CapturePreview(CapturePreviewImageFormat format, CapturePreviewCompletedHandler handler)
{
    if (!handler)
        handler = [](HRESULT, const TBytes&) { };
    std::weak_ptr<CoreWebView2> weak = m_impl->Self;
    m_impl->RunWhenAttached([weak, format, handler](bool ok) {
        auto self = weak.lock();
        if (!self || !ok) {
            QueueToMainThread([handler] { handler(E_FAIL, {}); });
            return;
        }
        self->m_impl->Send("Page.captureScreenshot", { { "format", format == CapturePreviewImageFormat::Png ? "png" : "jpeg" } },
            [handler](const DevToolsReply& reply) {
                if (!reply.Ok) {
                    handler(E_FAIL, {});
                    return;
                }
                handler(S_OK, Base64Decode(reply.Result.value("data", std::string())));
            });
    });
}

void CoreWebView2::AddHostObjectToScript(const String& name, std::shared_ptr<ICoreWebView2HostObject> object)
{
    if (name.empty() || !object)
        return;
    m_impl->HostObjects[name] = std::move(object);
    std::weak_ptr<CoreWebView2> weak = m_impl->Self;
    if (m_impl->IsAttached())
        m_impl->UpdateHostObjectNames();
    else if (m_impl->CurrentState != Impl::State::Closed)
        m_impl->RunWhenAttached([](bool) { }); // the setup sends the names
}

void CoreWebView2::RemoveHostObjectFromScript(const String& name)
{
    if (m_impl->HostObjects.erase(name) && m_impl->IsAttached())
        m_impl->UpdateHostObjectNames();
}

void CoreWebView2::DeleteAllCookies(std::function<void(HRESULT)> done)
{
    std::weak_ptr<CoreWebView2> weak = m_impl->Self;
    m_impl->RunWhenAttached([weak, done](bool ok) {
        auto self = weak.lock();
        if (!self || !ok) {
            if (done)
                QueueToMainThread([done] { done(E_FAIL); });
            return;
        }
        self->m_impl->Send("Network.clearBrowserCookies", Json::object(), [done](const DevToolsReply& reply) {
            if (done)
                done(reply.Ok ? S_OK : E_FAIL);
        });
    });
}

// ---------------------------------------------------------------- CoreWebView2Controller

CoreWebView2Controller::CoreWebView2Controller() = default;

CoreWebView2Controller::~CoreWebView2Controller() { Close(); }

void CoreWebView2Controller::SetIsVisible(bool visible)
{
    m_visible = visible;
    if (m_window)
        m_window->SetVisible(visible && m_parent);
    ShowOnScreen();
}

void CoreWebView2Controller::SetBounds(const TRect& bounds)
{
    m_bounds = bounds;
    if (m_window)
        m_window->SetBounds(bounds);
    if (!m_webView)
        return;
    auto& impl = *m_webView->m_impl;
    impl.Width = bounds.Width();
    impl.Height = bounds.Height();
    if (impl.IsAttached())
        impl.ApplyViewport();
}

void CoreWebView2Controller::SetParentWindow(HWND parent)
{
    m_parent = parent && IsWindow(parent) ? parent : nullptr;
    if (!m_window && m_parent && m_webView)
        CreateWindowIn(m_parent);
    else if (m_window && m_parent)
        m_window->SetParent(m_parent);
    if (m_window)
        m_window->SetVisible(m_visible && m_parent);
    ShowOnScreen();
}

HWND CoreWebView2Controller::GetWindow() const { return m_window ? m_window->Handle() : nullptr; }

void CoreWebView2Controller::CreateWindowIn(HWND parent)
{
    WebViewWindow::Callbacks callbacks;
    std::weak_ptr<CoreWebView2> weak = m_webView;
    callbacks.SendInput = [weak](const std::string& method, Json params) {
        if (auto view = weak.lock(); view && view->m_impl->IsAttached())
            view->m_impl->Send(method, std::move(params));
    };
    // The window lives inside this controller, so `this` outlives it.
    callbacks.AcceleratorKey = [this](UINT msg, WORD vk) {
        bool system = msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP;
        bool modifierKey = vk == VK_SHIFT || vk == VK_CONTROL || vk == VK_MENU;
        bool functionKey = vk >= VK_F1 && vk < VK_F1 + 24;
        bool accelerator = !modifierKey && (system || functionKey || vk == VK_ESCAPE || GetKeyState(VK_CONTROL) < 0);
        if (!accelerator)
            return false;
        AcceleratorKeyPressedEventArgs args;
        args.Kind = msg == WM_KEYDOWN ? KeyEventKind::KeyDown
            : msg == WM_KEYUP         ? KeyEventKind::KeyUp
            : msg == WM_SYSKEYDOWN    ? KeyEventKind::SystemKeyDown
                                      : KeyEventKind::SystemKeyUp;
        args.VirtualKey = vk;
        AcceleratorKeyPressed.Raise(*this, args);
        return args.Handled;
    };
    callbacks.FocusChanged = [this](bool focused) {
        if (focused)
            GotFocus.Raise(*this);
        else
            LostFocus.Raise(*this);
    };
    m_window = std::make_unique<WebViewWindow>(parent, m_bounds, m_visible, std::move(callbacks));
    m_webView->m_impl->Window = m_window.get();
}

void CoreWebView2Controller::ShowOnScreen()
{
    if (!m_webView)
        return;
    auto& impl = *m_webView->m_impl;
    impl.WantScreencast = m_window && m_parent && m_visible;
    impl.UpdateScreencast();
}

void CoreWebView2Controller::Close()
{
    if (m_webView) {
        m_webView->m_impl->Window = nullptr;
        m_webView->m_impl->Close();
    }
    m_window.reset();
}

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
