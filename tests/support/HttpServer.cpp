#include "tests/support/HttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace testsupport {

namespace {

constexpr int kMaxConnections = 64;
constexpr size_t kMaxHeaderBytes = 64 * 1024;
constexpr size_t kMaxBodyBytes = 4 * 1024 * 1024;
constexpr int kIoTimeoutMs = 10000;                       // one read or write
constexpr auto kConnectionLifetime = std::chrono::seconds(60);

std::string Lower(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return s;
}

std::string Trimmed(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

const char* ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 413: return "Payload Too Large";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

std::string ContentTypeFor(const std::filesystem::path& file)
{
    std::string ext = Lower(file.extension().string());
    if (ext == ".html" || ext == ".htm")
        return "text/html; charset=utf-8";
    if (ext == ".css")
        return "text/css; charset=utf-8";
    if (ext == ".js")
        return "application/javascript; charset=utf-8";
    if (ext == ".json")
        return "application/json; charset=utf-8";
    if (ext == ".txt" || ext == ".csv")
        return "text/plain; charset=utf-8";
    if (ext == ".png")
        return "image/png";
    if (ext == ".jpg" || ext == ".jpeg")
        return "image/jpeg";
    if (ext == ".gif")
        return "image/gif";
    if (ext == ".svg")
        return "image/svg+xml";
    return "application/octet-stream";
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            int h = HexValue(s[i + 1]), l = HexValue(s[i + 2]);
            if (h >= 0 && l >= 0) {
                out += char(h * 16 + l);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// Waits until fd is ready or the time runs out; false on time-out or error.
bool WaitReady(int fd, short events, int timeoutMs)
{
    pollfd p { fd, events, 0 };
    for (;;) {
        int r = ::poll(&p, 1, timeoutMs);
        if (r < 0 && errno == EINTR)
            continue;
        return r > 0 && (p.revents & (events | POLLHUP | POLLERR));
    }
}

bool SendAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        if (!WaitReady(fd, POLLOUT, kIoTimeoutMs))
            return false;
        ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

// Reads the request head and body; false when the peer closed, timed out or
// sent something too large or malformed (then `status` says what to answer, 0 = nothing).
bool ReadRequest(int fd, HttpRequest& request, int& status)
{
    status = 0;
    std::string data;
    size_t headEnd = std::string::npos;
    char buf[8192];
    auto deadline = std::chrono::steady_clock::now() + kConnectionLifetime;
    auto readMore = [&]() -> bool {
        if (std::chrono::steady_clock::now() > deadline || !WaitReady(fd, POLLIN, kIoTimeoutMs))
            return false;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n < 0 && errno == EINTR)
            return true;
        if (n <= 0)
            return false;
        data.append(buf, size_t(n));
        return true;
    };
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxHeaderBytes) {
            status = 413;
            return false;
        }
        if (!readMore())
            return false;
    }
    std::istringstream head(data.substr(0, headEnd));
    std::string line;
    std::getline(head, line);
    std::istringstream first(line);
    std::string target, version;
    first >> request.Method >> target >> version;
    if (request.Method.empty() || target.empty() || target[0] != '/' || version.rfind("HTTP/", 0) != 0) {
        status = 400;
        return false;
    }
    size_t q = target.find('?');
    request.Path = target.substr(0, q);
    if (q != std::string::npos)
        request.Query = target.substr(q + 1);
    while (std::getline(head, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        request.Headers[Lower(Trimmed(line.substr(0, colon)))] = Trimmed(line.substr(colon + 1));
    }
    size_t length = 0;
    if (auto it = request.Headers.find("content-length"); it != request.Headers.end()) {
        try {
            length = std::stoul(it->second);
        } catch (...) {
            status = 400;
            return false;
        }
        if (length > kMaxBodyBytes) {
            status = 413;
            return false;
        }
    }
    data.erase(0, headEnd + 4);
    while (data.size() < length)
        if (!readMore())
            return false;
    request.Body = data.substr(0, length);
    return true;
}

} // namespace

HttpServer::HttpServer(std::filesystem::path root)
    : m_root(std::move(root))
{
    if (::pipe2(m_wakePipe, O_CLOEXEC) != 0)
        throw std::runtime_error("HttpServer: pipe failed");
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        throw std::runtime_error("HttpServer: socket failed");
    sockaddr_in addr {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0; // the system picks a free port
    socklen_t len = sizeof addr;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0
        || ::listen(m_listenFd, 32) != 0
        || ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(m_listenFd);
        ::close(m_wakePipe[0]);
        ::close(m_wakePipe[1]);
        throw std::runtime_error("HttpServer: cannot listen on 127.0.0.1");
    }
    m_port = ntohs(addr.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

HttpServer::~HttpServer()
{
    m_stopping = true;
    char c = 'x';
    (void)!::write(m_wakePipe[1], &c, 1);
    m_acceptThread.join();
    {
        std::unique_lock lock(m_mutex);
        // Wake connections blocked in reads, writes or delays.
        for (int fd : m_openFds)
            ::shutdown(fd, SHUT_RDWR);
        m_connectionsDone.notify_all();
        m_connectionsDone.wait(lock, [this] { return m_activeConnections == 0; });
    }
    for (Worker& w : m_workers)
        w.Thread.join();
    ::close(m_listenFd);
    ::close(m_wakePipe[0]);
    ::close(m_wakePipe[1]);
}

std::string HttpServer::BaseUrl() const
{
    return "http://127.0.0.1:" + std::to_string(m_port);
}

void HttpServer::Route(const std::string& path, std::function<HttpResponse(const HttpRequest&)> handler)
{
    std::lock_guard lock(m_mutex);
    m_routes[path] = std::move(handler);
}

std::vector<std::string> HttpServer::RequestedPaths() const
{
    std::lock_guard lock(m_mutex);
    return m_requested;
}

void HttpServer::AcceptLoop()
{
    while (!Stopping()) {
        pollfd fds[2] = { { m_listenFd, POLLIN, 0 }, { m_wakePipe[0], POLLIN, 0 } };
        int r = ::poll(fds, 2, -1);
        if (r < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (Stopping() || (fds[1].revents & POLLIN))
            break;
        if (!(fds[0].revents & POLLIN))
            continue;
        int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(m_mutex);
        if (m_activeConnections >= kMaxConnections) {
            ::close(fd);
            continue;
        }
        ReapFinishedWorkers();
        ++m_activeConnections;
        m_openFds.push_back(fd);
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_workers.push_back({ std::thread([this, fd, done] { ServeConnection(fd); *done = true; }), done });
    }
}

// Called with m_mutex held.
void HttpServer::ReapFinishedWorkers()
{
    for (auto it = m_workers.begin(); it != m_workers.end();) {
        if (*it->Done) {
            it->Thread.join();
            it = m_workers.erase(it);
        } else {
            ++it;
        }
    }
}

void HttpServer::ServeConnection(int fd)
{
    HttpRequest request;
    int errorStatus = 0;
    if (ReadRequest(fd, request, errorStatus)) {
        {
            std::lock_guard lock(m_mutex);
            m_requested.push_back(request.Query.empty() ? request.Path : request.Path + "?" + request.Query);
        }
        HttpResponse response = ResponseFor(request);
        bool stopped = false;
        if (response.DelayMs > 0) {
            std::unique_lock lock(m_mutex);
            stopped = m_connectionsDone.wait_for(lock, std::chrono::milliseconds(response.DelayMs),
                                                 [this] { return Stopping(); });
        }
        if (!stopped) {
            std::ostringstream head;
            head << "HTTP/1.1 " << response.Status << ' ' << ReasonPhrase(response.Status) << "\r\n";
            if (!response.ContentType.empty())
                head << "Content-Type: " << response.ContentType << "\r\n";
            head << "Content-Length: " << response.Body.size() << "\r\n";
            for (const auto& [name, value] : response.Headers)
                head << name << ": " << value << "\r\n";
            head << "Connection: close\r\n\r\n";
            std::string h = head.str();
            size_t bodyBytes = request.Method == "HEAD" ? 0 : response.Body.size();
            if (response.CutAfterBytes >= 0 && size_t(response.CutAfterBytes) < bodyBytes)
                bodyBytes = size_t(response.CutAfterBytes);
            if (SendAll(fd, h.data(), h.size()))
                SendAll(fd, response.Body.data(), bodyBytes);
        }
    } else if (errorStatus != 0) {
        std::string h = "HTTP/1.1 " + std::to_string(errorStatus) + " " + ReasonPhrase(errorStatus)
            + "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        SendAll(fd, h.data(), h.size());
    }
    ::shutdown(fd, SHUT_WR);
    std::lock_guard lock(m_mutex);
    std::erase(m_openFds, fd);
    ::close(fd);
    --m_activeConnections;
    m_connectionsDone.notify_all();
}

HttpResponse HttpServer::ResponseFor(const HttpRequest& request)
{
    std::function<HttpResponse(const HttpRequest&)> handler;
    {
        std::lock_guard lock(m_mutex);
        if (auto it = m_routes.find(request.Path); it != m_routes.end())
            handler = it->second;
    }
    if (handler) {
        try {
            return handler(request);
        } catch (const std::exception& e) {
            HttpResponse r;
            r.Status = 500;
            r.ContentType = "text/plain; charset=utf-8";
            r.Body = e.what();
            return r;
        }
    }
    if (request.Method != "GET" && request.Method != "HEAD") {
        HttpResponse r;
        r.Status = m_root.empty() ? 404 : 405;
        return r;
    }
    return FileResponse(request.Path);
}

HttpResponse HttpServer::FileResponse(const std::string& path) const
{
    HttpResponse notFound;
    notFound.Status = 404;
    notFound.ContentType = "text/plain; charset=utf-8";
    notFound.Body = "not found";
    if (m_root.empty())
        return notFound;
    // Collapse doubled slashes and refuse anything that climbs out of the root.
    std::filesystem::path relative;
    std::string decoded = PercentDecoded(path);
    if (decoded.find('\0') != std::string::npos)
        return notFound;
    std::istringstream parts(decoded);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty() || part == ".")
            continue;
        if (part == "..")
            return notFound;
        relative /= part;
    }
    std::filesystem::path file = m_root / relative;
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        file /= "index.html";
    if (!std::filesystem::is_regular_file(file, ec))
        return notFound;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return notFound;
    HttpResponse r;
    r.ContentType = ContentTypeFor(file);
    r.Body.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return r;
}

} // namespace testsupport
