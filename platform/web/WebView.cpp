#include "platform/web/WebView.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <unistd.h>

#include "platform/rtl/Base64.h"
#include "platform/rtl/MainThread.h"
#include "platform/web/DevToolsConnection.h"
#include "platform/web/WebViewInternal.h"
#include "platform/web/WebViewWindow.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace webview {

namespace {

const std::string ScriptObjectGroup = "webview-script-";

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


} // namespace

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
                handler(S_OK, Base64DecodeTolerant(reply.Result.value("data", std::string())));
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

} // namespace webview
