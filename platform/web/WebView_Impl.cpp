#include "platform/web/WebView.h"

#include <algorithm>
#include <cmath>
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


} // namespace

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
    if (ok)
        HadPage = true;
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
    // Frames cost the browser an encoding and us a decoding each: none
    // while the window does not show (it or an ancestor hidden).
    bool want = WantScreencast && Window && IsWindowVisible(Window->Handle());
    if (!IsAttached() || want == Screencasting)
        return;
    Screencasting = want;
    if (want) {
        Send("Page.startScreencast", { { "format", "png" }, { "everyNthFrame", 1 } });
        RequestFreshFrame();
    } else {
        Send("Page.stopScreencast", Json::object());
    }
}

void CoreWebView2::Impl::RequestFreshFrame()
{
    if (!IsAttached() || !Screencasting)
        return;
    const std::uint64_t shownBefore = FramesShown;
    const int width = Width, height = Height;
    std::weak_ptr<CoreWebView2> weak = Self;
    Send("Page.captureScreenshot", { { "format", "png" } }, [weak, shownBefore, width, height](const DevToolsReply& reply) {
        auto self = weak.lock();
        if (!self)
            return;
        Impl& me = *self->m_impl;
        // A screencast frame of the current size that came meanwhile is at
        // least as new; a shot of an earlier size is not wanted any more.
        if (reply.Ok && me.Window && me.Screencasting && me.FramesShown == shownBefore && me.Width == width
            && me.Height == height)
            me.Window->ShowFrame(reply.Result.value("data", std::string()));
    });
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
    // A request made between the browser's death and this notice (a
    // completion handler that runs a script, say) has already begun starting
    // the next browser: the view is attaching, and the death still counts.
    const bool hadPage = HadPage;
    HadPage = false;
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
    if (hadPage && crashed)
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
        // A page that has loaded shows even when the browser casts no frame
        // of it (a page from another site lands in a new renderer, whose
        // cast can stay quiet until the page changes).
        RequestFreshFrame();
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
        // A frame drawn before the view's last resize took effect would be
        // stretched over the new size and stay so while the page is still.
        const Json metadata = params.value("metadata", Json::object());
        const long frameWidth = std::lround(metadata.value("deviceWidth", 0.0));
        const long frameHeight = std::lround(metadata.value("deviceHeight", 0.0));
        const bool currentSize = frameWidth == 0 || (frameWidth == Width && frameHeight == Height);
        if (Window && Screencasting && currentSize) {
            ++FramesShown;
            Window->ShowFrame(params.value("data", std::string()));
        }
        // A window hidden with its ancestor since the last frame stops the cast.
        UpdateScreencast();
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

} // namespace webview
