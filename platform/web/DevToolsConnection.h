#pragma once
// One running browser and the DevTools protocol conversation with it. Commands
// are sent from the GUI thread; a reader thread parses the browser's messages
// and posts each one to the GUI thread, where replies reach their callbacks and
// events reach the handler registered for their session. Used inside this
// layer only.

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "platform/web/ChromiumProcess.h"

namespace webview {

using Json = nlohmann::json;

struct DevToolsReply {
    bool Ok { false };
    Json Result;       // the command's result object when Ok
    std::string Error; // the protocol's error message, or why no reply came
};

class DevToolsConnection : public std::enable_shared_from_this<DevToolsConnection> {
public:
    using ReplyHandler = std::function<void(const DevToolsReply&)>;
    using EventHandler = std::function<void(const std::string& method, const Json& params)>;

    ~DevToolsConnection();

    // Starts the browser; null when it cannot be started.
    static std::shared_ptr<DevToolsConnection> Launch(const std::string& program,
        const std::vector<std::string>& arguments);

    // Sends a command; `onReply` (may be empty) runs on the GUI thread with the
    // reply, or with a failure when the browser goes away or is closed first.
    void Send(const std::string& method, Json params, const std::string& sessionId = {},
        ReplyHandler onReply = {});

    // Events of one session ("" for the browser's own).
    void SetEventHandler(const std::string& sessionId, EventHandler handler);
    void RemoveEventHandler(const std::string& sessionId);
    // Runs once on the GUI thread when the browser has gone (died or closed).
    std::function<void()> OnDisconnected;

    bool Connected() const { return m_connected; }
    pid_t Pid() const { return m_process.Pid(); }

    // Fails the commands still waiting in one session (its page crashed).
    void FailPendingForSession(const std::string& sessionId, const std::string& why);

    // Asks the browser to close, kills it after `timeout`, reaps it; every
    // command still waiting gets its failure.
    void Close(std::chrono::milliseconds timeout);

private:
    DevToolsConnection() = default;
    void ReadLoop();
    void Dispatch(const Json& message);
    void HandleDisconnect(const std::string& why);
    void FailPending(const std::string& why);

    ChromiumProcess m_process;
    std::thread m_reader;
    int m_wakePipe[2] { -1, -1 };
    std::atomic<bool> m_stopping { false };
    bool m_connected { false };
    bool m_disconnectHandled { false };
    long long m_nextId { 1 };
    struct Pending {
        std::string SessionId;
        ReplyHandler Handler;
    };
    std::map<long long, Pending> m_pending;
    std::map<std::string, EventHandler> m_eventHandlers;
};

} // namespace webview
