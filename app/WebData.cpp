#include "app/WebData.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "platform/net/WinInet.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MainThread.h"

namespace {

// Set on the fetcher's own worker thread, which has no messages to pump.
thread_local bool t_onWorkerThread = false;

constexpr DWORD kBlockSize = 4096;

size_t FindIgnoringCase(const String& s, const String& sub, size_t from = 0)
{
    if (sub.empty() || from > s.size())
        return String::npos;
    return StrUpper(s).find(StrUpper(sub), from);
}

bool ContainsIgnoringCase(const String& s, const String& sub) { return FindIgnoringCase(s, sub) != String::npos; }

String NewTempFileName()
{
    std::string pattern = StringToUtf8(TempFolderWithSeparator()) + "WDXXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        RaiseLastOSError();
    ::close(fd);
    return Utf8ToString(pattern);
}

void DeleteFileQuietly(const String& name)
{
    std::error_code ec;
    std::filesystem::remove(std::filesystem::path(StringToUtf8(name)), ec);
}

struct SessionCloser {
    net::HINTERNET Handle { nullptr };
    ~SessionCloser()
    {
        if (Handle)
            net::InternetCloseHandle(Handle);
    }
};

} // namespace

// ---- collection ----

TWebDataItem* TWebDataCollection::Add()
{
    FItems.push_back(std::make_unique<TWebDataItem>());
    return FItems.back().get();
}

TWebDataItem* TWebDataCollection::GetItem(int index) const
{
    if (index < 0 || index >= GetCount())
        throw EListError(u"List index out of bounds (" + Utf8ToString(std::to_string(index)) + u")");
    return FItems[size_t(index)].get();
}

void TWebDataCollection::SetItem(int index, const TWebDataItem& value) { *GetItem(index) = value; }

void TWebDataCollection::Delete(int index)
{
    GetItem(index);
    FItems.erase(FItems.begin() + index);
}

// ---- fetcher ----

String TWebData::GetVersion() const
{
    constexpr std::uint32_t version = 0x01040000;
    String s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        if (!s.empty())
            s += u'.';
        s += Utf8ToString(std::to_string((version >> shift) & 0xFF));
    }
    return s;
}

bool TWebData::Execute()
{
    for (int i = 0; i < FData.GetCount(); ++i)
        FData.GetItem(i)->SetSuccess(false);
    CollectData();
    for (int i = 0; i < FData.GetCount(); ++i)
        if (!FData.GetItem(i)->GetSuccess())
            return false;
    return true;
}

void TWebData::ThreadCollectData()
{
    auto* thread = new TWDInetThread(this);
    thread->SetFreeOnTerminate(true);
    thread->OnTerminate = [this](TThread*) {
        if (OnCollectDone)
            OnCollectDone(this);
    };
    thread->Start();
}

void TWDInetThread::Execute()
{
    t_onWorkerThread = true;
    FWebData->CollectData();
}

void TWebData::CollectData()
{
    if (FData.GetCount() == 0)
        return;
    FImageRefs.clear();
    FHyperlinks.clear();
    SessionCloser session;
    session.Handle = FProxy.empty() ? net::InternetOpen(FAgent, net::INTERNET_OPEN_TYPE_PRECONFIG)
                                    : net::InternetOpen(FAgent, net::INTERNET_OPEN_TYPE_PROXY, FProxy);
    if (!session.Handle)
        return;
    if (FTimeout > 0) {
        DWORD ms = DWORD(std::min(FTimeout, 24 * 3600)) * 1000;
        net::InternetSetOption(session.Handle, net::INTERNET_OPTION_CONNECT_TIMEOUT, ms);
        net::InternetSetOption(session.Handle, net::INTERNET_OPTION_SEND_TIMEOUT, ms);
        net::InternetSetOption(session.Handle, net::INTERNET_OPTION_RECEIVE_TIMEOUT, ms);
    }
    std::string buffer;
    String previousUrl; // P: the address whose content the buffer holds
    String fileName;    // F
    for (int i = 0; i < FData.GetCount(); ++i) {
        TWebDataItem* item = FData.GetItem(i);
        item->SetSuccess(false);
        if (!item->GetEnable())
            continue;
        bool fetched = true;
        if (item->GetURL() != previousUrl) {
            if (!fileName.empty() && i > 0 && FData.GetItem(i - 1)->GetAutoDelete())
                DeleteFileQuietly(fileName);
            fileName = item->GetFileName();
            // Only the file variant needs a file; the memory variant leaves none behind.
            if (fileName.empty() && FSaveToFile)
                fileName = NewTempFileName();
            buffer.clear();
            fetched = FetchItem(session.Handle, i, fileName, buffer);
        }
        item->SetFileName(fileName);
        previousUrl = fetched ? item->GetURL() : String();
        if (!fetched)
            continue;
        if (FSaveToFile) {
            std::ifstream in(std::filesystem::path(StringToUtf8(fileName)), std::ios::binary);
            if (!in)
                continue;
            buffer.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        if (OnProgress)
            OnProgress(this, i);
        ProcessPage(i, Latin1ToString(buffer));
    }
    if (!fileName.empty() && FData.GetItem(FData.GetCount() - 1)->GetAutoDelete())
        DeleteFileQuietly(fileName);
}

bool TWebData::FetchItem(net::InternetHandle* session, int index, const String& fileName, std::string& buffer)
{
    TWebDataItem* item = FData.GetItem(index);
    auto fail = [&](int code) {
        if (OnCollectError)
            OnCollectError(this, index, code);
        return false;
    };
    String address = net::AddProxyCredentials(item->GetURL(), FProxyUserID, FProxyPassword);
    SessionCloser request;
    request.Handle = net::InternetOpenUrl(session, address, {},
                                          net::INTERNET_FLAG_RELOAD | net::INTERNET_FLAG_NO_CACHE_WRITE);
    if (!request.Handle)
        return fail(-1);
    DWORD status = 0;
    if (!net::HttpQueryInfo(request.Handle, net::HTTP_QUERY_STATUS_CODE | net::HTTP_QUERY_FLAG_NUMBER, status))
        return fail(-1);
    // Every status from 300 up is a failure, server errors included.
    if (status >= 300)
        return fail(int(status));

    std::ofstream file;
    if (FSaveToFile) {
        file.open(std::filesystem::path(StringToUtf8(fileName)), std::ios::binary | std::ios::trunc);
        if (!file)
            throw EFCreateError(u"Cannot create file \"" + fileName + u"\"");
    }
    char block[kBlockSize];
    std::uint64_t total = 0;
    for (;;) {
        if (!t_onWorkerThread)
            ProcessPendingMessages();
        DWORD read = 0;
        // A body cut off by a lost connection, a time-out or the size bound
        // is not the page: the item fails rather than passing on a fragment.
        if (!net::InternetReadFile(request.Handle, block, kBlockSize, &read))
            return fail(-1);
        if (read == 0)
            break;
        total += read;
        if (FSaveToFile) {
            file.write(block, read);
            if (!file)
                throw EWriteError(u"Cannot write file \"" + fileName + u"\"");
        } else {
            buffer.append(block, read);
        }
    }
    return total > 0;
}

void TWebData::ProcessPage(int index, const String& page)
{
    TWebDataItem* item = FData.GetItem(index);
    item->SetFullPageCode(page);
    item->SetData({});
    auto deliver = [&](const String& data) {
        item->SetData(data);
        item->SetSuccess(true);
        if (OnData)
            OnData(this, index, data);
    };
    if (item->GetScanFirst().empty()) {
        deliver(page);
    } else if (size_t first = page.find(item->GetScanFirst()); first != String::npos) {
        String rest = page.substr(first + item->GetScanFirst().size());
        if (size_t from = item->GetScanFrom().empty() ? String::npos : rest.find(item->GetScanFrom());
            from != String::npos) {
            rest.erase(0, from + item->GetScanFrom().size());
            if (size_t to = item->GetScanTo().empty() ? String::npos : rest.find(item->GetScanTo()); to != String::npos)
                deliver(rest.substr(0, to));
        }
    }
    CollectImageRefs(page, item->GetURL());
    CollectHyperlinks(page, item->GetURL());
}

void TWebData::CollectImageRefs(const String& page, const String& url)
{
    static const String extensions[] = { u".GIF", u".JPG", u".PNG" };
    String t = page;
    for (size_t img; (img = FindIgnoringCase(t, u"<IMG")) != String::npos;) {
        t.erase(0, img + 1);
        size_t src = FindIgnoringCase(t, u"SRC=\"");
        if (src == String::npos)
            continue;
        t.erase(0, src + 5);
        size_t end = t.find(u'"');
        if (end == String::npos)
            continue;
        String address = JoinPageLink(url, t.substr(0, end));
        bool take = FImageType == itAll || ContainsIgnoringCase(address, extensions[FImageType - itGIF]);
        if (take)
            FImageRefs.push_back(address);
    }
}

void TWebData::CollectHyperlinks(const String& page, const String& url)
{
    String t = page;
    for (size_t a; (a = FindIgnoringCase(t, u"<A")) != String::npos;) {
        t.erase(0, a + 1);
        size_t href = FindIgnoringCase(t, u"HREF=");
        if (href == String::npos)
            continue;
        t.erase(0, href + 5);
        if (!t.empty() && t[0] == u'"')
            t.erase(0, 1);
        size_t q = t.find(u'"'), g = t.find(u'>');
        String address;
        if (q != String::npos && (g == String::npos ? false : q < g))
            address = t.substr(0, q);
        else if (g != String::npos && q != String::npos && g < q)
            address = t.substr(0, g);
        else
            continue;
        if (address.find(u"://") == String::npos)
            address = JoinPageLink(url, address);
        if (FHyperLinkType.empty() || ContainsIgnoringCase(address, FHyperLinkType))
            FHyperlinks.push_back(address);
    }
}

// ---- free routines ----

String FetchPageText(const String& url)
{
    TWebData data;
    data.GetData().Add()->SetURL(url);
    data.Execute();
    data.CollectData();
    return data.GetData().GetItem(0)->GetFullPageCode();
}

namespace {

// The length of a leading "scheme:" (letters, then letters, digits, '+', '-', '.'), or 0.
size_t SchemeLength(const String& s)
{
    if (s.empty() || !((s[0] >= u'a' && s[0] <= u'z') || (s[0] >= u'A' && s[0] <= u'Z')))
        return 0;
    for (size_t i = 1; i < s.size(); ++i) {
        Char c = s[i];
        if (c == u':')
            return i + 1;
        bool ok = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'+'
            || c == u'-' || c == u'.';
        if (!ok)
            return 0;
    }
    return 0;
}

} // namespace

String JoinPageLink(const String& base, const String& link)
{
    if (SchemeLength(link) > 0)
        return link;
    // Split the base into its scheme and host (H) and the path after them.
    String host, path = base;
    String lower = StrLower(base);
    for (StringView scheme : { StringView(u"http://"), StringView(u"https://") })
        if (lower.compare(0, scheme.size(), scheme) == 0) {
            size_t end = base.find_first_of(u"/\\", scheme.size());
            if (end == String::npos)
                end = base.size();
            host = base.substr(0, end);
            path = base.substr(end);
            break;
        }
    if (link.size() >= 2 && link[0] == u'/' && link[1] == u'/') {
        size_t colon = host.find(u':');
        return (colon != String::npos ? host.substr(0, colon + 1) : String(u"http:")) + link;
    }
    if (!link.empty() && (link[0] == u'/' || link[0] == u'\\'))
        return host + link;
    size_t slash = path.find_last_of(u"/\\");
    String folder = slash == String::npos ? String(u"/") : path.substr(0, slash + 1);
    return host + folder + link;
}

int PosIgnoringCase(const String& sub, const String& s)
{
    size_t p = FindIgnoringCase(s, sub);
    return p == String::npos ? 0 : int(p) + 1;
}

String TempFolderWithSeparator()
{
    std::error_code ec;
    std::string folder = std::filesystem::temp_directory_path(ec).string();
    if (ec || folder.empty())
        folder = "/tmp";
    if (folder.size() > 260)
        folder.resize(260);
    if (folder.back() != '/')
        folder += '/';
    return Utf8ToString(folder);
}
