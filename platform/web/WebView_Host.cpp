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

} // namespace webview
