#include "platform/web/DevToolsConnection.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include "platform/rtl/MainThread.h"

namespace webview {

std::shared_ptr<DevToolsConnection> DevToolsConnection::Launch(const std::string& program,
    const std::vector<std::string>& arguments)
{
    std::shared_ptr<DevToolsConnection> c(new DevToolsConnection);
    if (pipe2(c->m_wakePipe, O_CLOEXEC) != 0)
        return nullptr;
    if (!c->m_process.Start(program, arguments))
        return nullptr;
    c->m_connected = true;
    c->m_reader = std::thread([raw = c.get()] { raw->ReadLoop(); });
    return c;
}

DevToolsConnection::~DevToolsConnection()
{
    if (m_connected || m_reader.joinable())
        Close(std::chrono::milliseconds(2000));
    for (int fd : m_wakePipe)
        if (fd >= 0)
            close(fd);
}

void DevToolsConnection::Send(const std::string& method, Json params, const std::string& sessionId,
    ReplyHandler onReply)
{
    if (!m_connected) {
        if (onReply)
            QueueToMainThread([onReply] { onReply(DevToolsReply { false, {}, "browser not running" }); });
        return;
    }
    long long id = m_nextId++;
    Json message = { { "id", id }, { "method", method }, { "params", std::move(params) } };
    if (!sessionId.empty())
        message["sessionId"] = sessionId;
    if (onReply)
        m_pending.emplace(id, Pending { sessionId, std::move(onReply) });
    if (!m_process.WriteMessage(message.dump(-1, ' ', false, Json::error_handler_t::replace)))
        HandleDisconnect("browser pipe closed");
}

void DevToolsConnection::SetEventHandler(const std::string& sessionId, EventHandler handler)
{
    m_eventHandlers[sessionId] = std::move(handler);
}

void DevToolsConnection::RemoveEventHandler(const std::string& sessionId)
{
    m_eventHandlers.erase(sessionId);
}

void DevToolsConnection::ReadLoop()
{
    std::weak_ptr<DevToolsConnection> weak;
    try {
        weak = weak_from_this();
    } catch (...) {
    }
    std::string buffer;
    char chunk[65536];
    int fd = m_process.ReadFd();
    for (;;) {
        pollfd fds[2] = { { fd, POLLIN, 0 }, { m_wakePipe[0], POLLIN, 0 } };
        int r = poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents)
            break;
        if (!fds[0].revents)
            continue;
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (n <= 0)
            break;
        buffer.append(chunk, std::size_t(n));
        std::size_t start = 0;
        for (;;) {
            std::size_t end = buffer.find('\0', start);
            if (end == std::string::npos)
                break;
            Json message = Json::parse(buffer.begin() + std::ptrdiff_t(start), buffer.begin() + std::ptrdiff_t(end),
                nullptr, false);
            start = end + 1;
            if (message.is_discarded() || !message.is_object())
                continue;
            QueueToMainThread([weak, m = std::move(message)] {
                if (auto self = weak.lock())
                    self->Dispatch(m);
            });
        }
        buffer.erase(0, start);
    }
    if (!m_stopping)
        QueueToMainThread([weak] {
            if (auto self = weak.lock())
                self->HandleDisconnect("browser closed the pipe");
        });
}

void DevToolsConnection::Dispatch(const Json& message)
{
    // Setting QUARRYTIDE_DEVTOOLS_TRACE prints what the browser says.
    static const bool trace = std::getenv("QUARRYTIDE_DEVTOOLS_TRACE") != nullptr;
    if (trace)
        std::fprintf(stderr, "<< %s\n", message.dump(-1, ' ', false, Json::error_handler_t::replace).substr(0, 300).c_str());
    if (auto id = message.find("id"); id != message.end() && id->is_number_integer()) {
        auto it = m_pending.find(id->get<long long>());
        if (it == m_pending.end())
            return;
        ReplyHandler handler = std::move(it->second.Handler);
        m_pending.erase(it);
        DevToolsReply reply;
        if (auto e = message.find("error"); e != message.end()) {
            reply.Error = e->is_object() ? e->value("message", std::string("error")) : std::string("error");
        } else {
            reply.Ok = true;
            reply.Result = message.value("result", Json::object());
        }
        handler(reply);
        return;
    }
    auto method = message.find("method");
    if (method == message.end() || !method->is_string())
        return;
    std::string sessionId = message.value("sessionId", std::string());
    auto it = m_eventHandlers.find(sessionId);
    if (it == m_eventHandlers.end())
        return;
    EventHandler handler = it->second; // the handler may replace itself
    static const Json empty = Json::object();
    auto params = message.find("params");
    handler(method->get<std::string>(), params != message.end() ? *params : empty);
}

void DevToolsConnection::FailPending(const std::string& why)
{
    auto pending = std::move(m_pending);
    m_pending.clear();
    for (auto& [id, p] : pending)
        QueueToMainThread([handler = std::move(p.Handler), why] { handler(DevToolsReply { false, {}, why }); });
}

void DevToolsConnection::FailPendingForSession(const std::string& sessionId, const std::string& why)
{
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        if (it->second.SessionId == sessionId) {
            QueueToMainThread([handler = std::move(it->second.Handler), why] {
                handler(DevToolsReply { false, {}, why });
            });
            it = m_pending.erase(it);
        } else {
            ++it;
        }
    }
}

void DevToolsConnection::HandleDisconnect(const std::string& why)
{
    if (m_disconnectHandled)
        return;
    m_disconnectHandled = true;
    m_connected = false;
    // A browser that dies is reaped at once; a live one that closed the pipe
    // is of no use either.
    m_process.CloseWriteEnd();
    m_process.WaitOrKill(std::chrono::milliseconds(200));
    FailPending(why);
    if (auto notify = OnDisconnected)
        notify();
}

void DevToolsConnection::Close(std::chrono::milliseconds timeout)
{
    if (m_connected) {
        Json message = { { "id", m_nextId++ }, { "method", "Browser.close" }, { "params", Json::object() } };
        m_process.WriteMessage(message.dump());
    }
    m_connected = false;
    m_stopping = true;
    m_process.WaitOrKill(timeout);
    if (m_wakePipe[1] >= 0) {
        char c = 1;
        while (write(m_wakePipe[1], &c, 1) < 0 && errno == EINTR) { }
    }
    if (m_reader.joinable())
        m_reader.join();
    m_disconnectHandled = true;
    FailPending("browser closed");
}

} // namespace webview
