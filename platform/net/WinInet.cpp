#include "platform/net/WinInet.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <mutex>

#include <curl/curl.h>
#include <unicode/ucnv.h>

namespace net {

struct InternetHandle {
    enum class Kind { Session, Request } HandleKind { Kind::Session };
    // Session.
    std::string Agent;
    DWORD AccessType { INTERNET_OPEN_TYPE_PRECONFIG };
    std::string Proxy;
    std::string ProxyBypass;
    DWORD ConnectTimeoutMs { 0 };
    DWORD SendTimeoutMs { 0 };
    DWORD ReceiveTimeoutMs { 0 };
    // Request.
    CURL* Easy { nullptr };
    CURLM* Multi { nullptr };
    curl_slist* HeaderList { nullptr };
    std::string Pending; // body bytes received and not yet read
    size_t PendingPos { 0 };
    std::uint64_t Received { 0 };
    std::uint64_t Limit { MaxResponseBytes };
    bool Done { false };
    bool TooLarge { false };
    bool TimedOut { false };
    CURLcode Result { CURLE_OK };
    char ErrorBuffer[CURL_ERROR_SIZE] {};

    ~InternetHandle()
    {
        if (Multi && Easy)
            curl_multi_remove_handle(Multi, Easy);
        if (Easy)
            curl_easy_cleanup(Easy);
        if (Multi)
            curl_multi_cleanup(Multi);
        if (HeaderList)
            curl_slist_free_all(HeaderList);
    }
};

namespace {

std::atomic<std::uint64_t> g_sizeLimit { MaxResponseBytes };
thread_local String t_lastError;

void SetLastError(const std::string& text) { t_lastError = Utf8ToString(text); }

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

size_t WriteBody(char* data, size_t size, size_t count, void* user)
{
    auto* h = static_cast<InternetHandle*>(user);
    size_t n = size * count;
    if (h->Received + n > h->Limit) {
        h->TooLarge = true;
        return 0; // makes the transfer fail with a write error
    }
    if (h->PendingPos == h->Pending.size()) {
        h->Pending.clear();
        h->PendingPos = 0;
    }
    h->Pending.append(data, n);
    h->Received += n;
    return n;
}

bool HasPending(const InternetHandle* h) { return h->PendingPos < h->Pending.size(); }

std::string NoProxyList()
{
    // Loopback never goes through a proxy; keep what the environment adds.
    std::string list = "localhost,127.0.0.1,::1";
    for (const char* name : { "no_proxy", "NO_PROXY" })
        if (const char* v = std::getenv(name); v && *v) {
            list += ",";
            list += v;
        }
    return list;
}

DWORD ReceiveTimeoutOf(const InternetHandle* h)
{
    return h->ReceiveTimeoutMs ? h->ReceiveTimeoutMs : DefaultReceiveTimeoutMs;
}

// Runs the transfer until body bytes are waiting or it has ended. A wait
// longer than the receive time-out without a byte ends it as timed out.
void DriveTransfer(InternetHandle* h)
{
    using Clock = std::chrono::steady_clock;
    auto lastProgress = Clock::now();
    std::uint64_t seen = h->Received;
    const auto stall = std::chrono::milliseconds(ReceiveTimeoutOf(h))
        + std::chrono::milliseconds(h->ConnectTimeoutMs ? h->ConnectTimeoutMs : DefaultConnectTimeoutMs);
    bool connected = false;
    while (!h->Done && !HasPending(h)) {
        int running = 0;
        CURLMcode mc = curl_multi_perform(h->Multi, &running);
        if (mc != CURLM_OK) {
            h->Done = true;
            h->Result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* msg = curl_multi_info_read(h->Multi, &queued))
            if (msg->msg == CURLMSG_DONE) {
                h->Done = true;
                h->Result = msg->data.result;
            }
        if (h->Done || HasPending(h))
            break;
        if (h->Received != seen) {
            seen = h->Received;
            lastProgress = Clock::now();
        }
        // Until connected, curl's own connect time-out rules; afterwards a
        // silent server counts against the receive time-out.
        if (!connected) {
            long port = 0;
            if (curl_easy_getinfo(h->Easy, CURLINFO_PRIMARY_PORT, &port) == CURLE_OK && port != 0) {
                connected = true;
                lastProgress = Clock::now();
            }
        }
        auto limit = connected ? std::chrono::milliseconds(ReceiveTimeoutOf(h)) : stall;
        if (Clock::now() - lastProgress > limit) {
            h->Done = true;
            h->TimedOut = true;
            h->Result = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        curl_multi_poll(h->Multi, nullptr, 0, 50, nullptr);
    }
}

std::string FailureText(const InternetHandle* h)
{
    if (h->TooLarge)
        return "the response is larger than the allowed size";
    if (h->TimedOut)
        return "the server did not answer in time";
    if (h->ErrorBuffer[0])
        return h->ErrorBuffer;
    return curl_easy_strerror(h->Result);
}

std::string CharsetOf(const std::string& contentType)
{
    std::string lower;
    for (char c : contentType)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    size_t p = lower.find("charset=");
    if (p == std::string::npos)
        return {};
    std::string cs = contentType.substr(p + 8);
    size_t end = cs.find_first_of("; \t");
    if (end != std::string::npos)
        cs.resize(end);
    if (cs.size() >= 2 && (cs.front() == '"' || cs.front() == '\''))
        cs = cs.substr(1, cs.size() - 2);
    return cs;
}

String DecodeCharset(const std::string& bytes, const std::string& charset)
{
    if (charset.empty())
        return Utf8ToString(bytes);
    UErrorCode status = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(charset.c_str(), &status);
    if (U_FAILURE(status) || !conv)
        return Utf8ToString(bytes);
    String out(bytes.size() * 2 + 4, u'\0');
    status = U_ZERO_ERROR;
    int32_t n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), bytes.data(),
                              int32_t(bytes.size()), &status);
    ucnv_close(conv);
    if (U_FAILURE(status))
        return Utf8ToString(bytes);
    out.resize(size_t(n));
    return out;
}

} // namespace

std::uint64_t SetResponseSizeLimit(std::uint64_t bytes) { return g_sizeLimit.exchange(bytes); }

String InternetLastErrorText() { return t_lastError; }

std::string PercentEncode(const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.'
            || c == '_' || c == '~') {
            out += char(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

String AddProxyCredentials(const String& url, const String& userId, const String& password)
{
    const String scheme = u"http://";
    if (userId.empty() || url.size() < scheme.size() || StrLower(url.substr(0, scheme.size())) != scheme)
        return url;
    return u"http://" + Utf8ToString(PercentEncode(StringToUtf8(userId))) + u":"
        + Utf8ToString(PercentEncode(StringToUtf8(password))) + u"@" + url.substr(scheme.size());
}

HINTERNET InternetOpen(const String& agent, DWORD accessType, const String& proxy, const String& proxyBypass,
                       DWORD /*flags*/)
{
    GlobalInit();
    if (accessType == INTERNET_OPEN_TYPE_PROXY && proxy.empty()) {
        SetLastError("a proxy access needs a proxy address");
        return nullptr;
    }
    auto* h = new InternetHandle;
    h->HandleKind = InternetHandle::Kind::Session;
    h->Agent = StringToUtf8(agent);
    h->AccessType = accessType;
    h->Proxy = StringToUtf8(proxy);
    h->ProxyBypass = StringToUtf8(proxyBypass);
    return h;
}

bool InternetSetOption(HINTERNET handle, DWORD option, DWORD value)
{
    if (!handle)
        return false;
    switch (option) {
    case INTERNET_OPTION_CONNECT_TIMEOUT: handle->ConnectTimeoutMs = value; return true;
    case INTERNET_OPTION_SEND_TIMEOUT: handle->SendTimeoutMs = value; return true;
    case INTERNET_OPTION_RECEIVE_TIMEOUT: handle->ReceiveTimeoutMs = value; return true;
    default: SetLastError("unsupported option"); return false;
    }
}

HINTERNET InternetOpenUrl(HINTERNET session, const String& url, const String& headers, DWORD flags,
                          std::uintptr_t /*context*/)
{
    if (!session || session->HandleKind != InternetHandle::Kind::Session) {
        SetLastError("not a session handle");
        return nullptr;
    }
    GlobalInit();
    auto h = std::make_unique<InternetHandle>();
    h->HandleKind = InternetHandle::Kind::Request;
    h->ConnectTimeoutMs = session->ConnectTimeoutMs;
    h->SendTimeoutMs = session->SendTimeoutMs;
    h->ReceiveTimeoutMs = session->ReceiveTimeoutMs;
    h->Limit = g_sizeLimit.load();
    h->Easy = curl_easy_init();
    h->Multi = curl_multi_init();
    if (!h->Easy || !h->Multi) {
        SetLastError("cannot start a transfer");
        return nullptr;
    }
    std::string address = StringToUtf8(url);
    CURL* e = h->Easy;
    curl_easy_setopt(e, CURLOPT_URL, address.c_str());
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, h->ErrorBuffer);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &WriteBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, h.get());
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) ? 0L : 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, MaxRedirects);
    curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     long(session->ConnectTimeoutMs ? session->ConnectTimeoutMs : DefaultConnectTimeoutMs));
    if (!session->Agent.empty())
        curl_easy_setopt(e, CURLOPT_USERAGENT, session->Agent.c_str());
    switch (session->AccessType) {
    case INTERNET_OPEN_TYPE_DIRECT: curl_easy_setopt(e, CURLOPT_PROXY, ""); break;
    case INTERNET_OPEN_TYPE_PROXY:
        curl_easy_setopt(e, CURLOPT_PROXY, session->Proxy.c_str());
        curl_easy_setopt(e, CURLOPT_NOPROXY,
                         session->ProxyBypass.empty() ? "localhost,127.0.0.1,::1" : session->ProxyBypass.c_str());
        break;
    default: {
        std::string noProxy = NoProxyList();
        curl_easy_setopt(e, CURLOPT_NOPROXY, noProxy.c_str()); // copied by curl
        break;
    }
    }
    if (flags & INTERNET_FLAG_RELOAD)
        h->HeaderList = curl_slist_append(h->HeaderList, "Cache-Control: no-cache");
    std::string extra = StringToUtf8(headers);
    size_t start = 0;
    while (start < extra.size()) {
        size_t end = extra.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = extra.size();
        std::string line = extra.substr(start, end - start);
        if (line.find(':') != std::string::npos)
            h->HeaderList = curl_slist_append(h->HeaderList, line.c_str());
        start = end + 1;
    }
    if (h->HeaderList)
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, h->HeaderList);
    curl_multi_add_handle(h->Multi, e);

    DriveTransfer(h.get());
    if (h->Done && h->Result != CURLE_OK && !HasPending(h.get())) {
        long status = 0;
        curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
        // A response that arrived but whose body failed still opens (the
        // read reports the failure); no response, or a redirect we will not
        // follow, is an open failure.
        bool refused = h->Result == CURLE_UNSUPPORTED_PROTOCOL || h->Result == CURLE_TOO_MANY_REDIRECTS;
        if (status == 0 || refused) {
            SetLastError(FailureText(h.get()));
            return nullptr;
        }
    }
    return h.release();
}

bool HttpQueryInfo(HINTERNET request, DWORD infoLevel, DWORD& number)
{
    if (!request || request->HandleKind != InternetHandle::Kind::Request)
        return false;
    if ((infoLevel & ~HTTP_QUERY_FLAG_NUMBER) != HTTP_QUERY_STATUS_CODE) {
        SetLastError("no number for this info level");
        return false;
    }
    long status = 0;
    curl_easy_getinfo(request->Easy, CURLINFO_RESPONSE_CODE, &status);
    if (status <= 0)
        return false;
    number = DWORD(status);
    return true;
}

bool HttpQueryInfo(HINTERNET request, DWORD infoLevel, String& text)
{
    if (!request || request->HandleKind != InternetHandle::Kind::Request)
        return false;
    switch (infoLevel & ~HTTP_QUERY_FLAG_NUMBER) {
    case HTTP_QUERY_STATUS_CODE: {
        DWORD n = 0;
        if (!HttpQueryInfo(request, HTTP_QUERY_STATUS_CODE, n))
            return false;
        text = Utf8ToString(std::to_string(n));
        return true;
    }
    case HTTP_QUERY_CONTENT_TYPE: {
        const char* ct = nullptr;
        if (curl_easy_getinfo(request->Easy, CURLINFO_CONTENT_TYPE, &ct) != CURLE_OK || !ct)
            return false;
        text = Utf8ToString(ct);
        return true;
    }
    default: SetLastError("unsupported info level"); return false;
    }
}

bool InternetReadFile(HINTERNET request, void* buffer, DWORD toRead, DWORD* read)
{
    if (read)
        *read = 0;
    if (!request || request->HandleKind != InternetHandle::Kind::Request || !read || (!buffer && toRead > 0))
        return false;
    if (!HasPending(request))
        DriveTransfer(request);
    if (HasPending(request)) {
        size_t n = std::min<size_t>(toRead, request->Pending.size() - request->PendingPos);
        std::memcpy(buffer, request->Pending.data() + request->PendingPos, n);
        request->PendingPos += n;
        *read = DWORD(n);
        return true;
    }
    if (request->Result != CURLE_OK) {
        SetLastError(FailureText(request));
        return false;
    }
    return true;
}

bool InternetCloseHandle(HINTERNET handle)
{
    if (!handle)
        return false;
    delete handle;
    return true;
}

namespace {

// Opens `url` on a fresh session, or raises ENetError.
struct OpenedRequest {
    HINTERNET Session { nullptr };
    HINTERNET Request { nullptr };
    ~OpenedRequest()
    {
        if (Request)
            InternetCloseHandle(Request);
        if (Session)
            InternetCloseHandle(Session);
    }
};

} // namespace

HRESULT URLDownloadToFile(const String& url, const String& fileName)
{
    OpenedRequest r;
    r.Session = InternetOpen(u"Quarrytide", INTERNET_OPEN_TYPE_PRECONFIG);
    if (!r.Session)
        return E_FAIL;
    r.Request = InternetOpenUrl(r.Session, url, {}, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
    if (!r.Request)
        return INET_E_RESOURCE_NOT_FOUND;
    DWORD status = 0;
    if (!HttpQueryInfo(r.Request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, status) || status >= 400) {
        SetLastError("the server answered " + std::to_string(status));
        return INET_E_RESOURCE_NOT_FOUND;
    }
    std::filesystem::path path(StringToUtf8(fileName));
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!file) {
        SetLastError("cannot create " + path.string());
        return E_FAIL;
    }
    char block[16384];
    bool ok = true;
    for (;;) {
        DWORD n = 0;
        if (!InternetReadFile(r.Request, block, sizeof block, &n)) {
            ok = false;
            break;
        }
        if (n == 0)
            break;
        if (std::fwrite(block, 1, n, file.get()) != n) {
            SetLastError("cannot write " + path.string());
            ok = false;
            break;
        }
    }
    if (std::fclose(file.release()) != 0)
        ok = false;
    if (!ok) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return INET_E_DOWNLOAD_FAILURE;
    }
    return S_OK;
}

String HTTPGetText(const String& url, const String& agent)
{
    OpenedRequest r;
    r.Session = InternetOpen(agent, INTERNET_OPEN_TYPE_PRECONFIG);
    if (r.Session)
        r.Request = InternetOpenUrl(r.Session, url, {}, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE);
    if (!r.Request)
        throw ENetError(u"Cannot get " + url + u": " + InternetLastErrorText());
    std::string body;
    char block[16384];
    for (;;) {
        DWORD n = 0;
        if (!InternetReadFile(r.Request, block, sizeof block, &n))
            throw ENetError(u"Cannot get " + url + u": " + InternetLastErrorText());
        if (n == 0)
            break;
        body.append(block, n);
    }
    String contentType;
    HttpQueryInfo(r.Request, HTTP_QUERY_CONTENT_TYPE, contentType);
    return DecodeCharset(body, CharsetOf(StringToUtf8(contentType)));
}

} // namespace net
