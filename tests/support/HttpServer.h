#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: serves files below a root
// folder and answers routed paths from handlers. One request per connection
// (it answers with "Connection: close"), a thread per connection, bounded in
// connections, request size and connection life time.

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

struct HttpRequest {
    std::string Method, Path, Query;
    std::map<std::string, std::string> Headers; // lower-case names
    std::string Body;
};

struct HttpResponse {
    int Status { 200 };
    std::string ContentType { "text/html; charset=utf-8" };
    std::vector<std::pair<std::string, std::string>> Headers;
    std::string Body;
    int DelayMs { 0 };         // wait before answering (time-out tests)
    long CutAfterBytes { -1 }; // close the connection after this many body bytes
};

class HttpServer {
public:
    explicit HttpServer(std::filesystem::path root = {}); // serves files below root (GET), 404 else
    ~HttpServer();                                         // stops; never leaves a thread behind
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int Port() const { return m_port; }
    std::string BaseUrl() const; // "http://127.0.0.1:<port>"
    // Exact path (no query). A later call for the same path replaces the handler.
    void Route(const std::string& path, std::function<HttpResponse(const HttpRequest&)> handler);
    std::vector<std::string> RequestedPaths() const; // every request's path+query, in order

private:
    void AcceptLoop();
    void ServeConnection(int fd);
    HttpResponse ResponseFor(const HttpRequest& request);
    HttpResponse FileResponse(const std::string& path) const;
    void ReapFinishedWorkers();
    bool Stopping() const { return m_stopping.load(); }

    std::filesystem::path m_root;
    int m_listenFd { -1 };
    int m_wakePipe[2] { -1, -1 };
    int m_port { 0 };
    std::atomic<bool> m_stopping { false };
    std::thread m_acceptThread;

    mutable std::mutex m_mutex;
    std::condition_variable m_connectionsDone;
    int m_activeConnections { 0 };
    std::vector<int> m_openFds;
    struct Worker {
        std::thread Thread;
        std::shared_ptr<std::atomic<bool>> Done;
    };
    std::vector<Worker> m_workers;
    std::map<std::string, std::function<HttpResponse(const HttpRequest&)>> m_routes;
    std::vector<std::string> m_requested;
};

} // namespace testsupport
