#pragma once
// The web page fetcher: fetches a list of pages, hands each page's text (or
// the part between markers) to OnData and collects the image addresses and
// hyperlinks found on the way. Runs on the calling thread and pumps pending
// messages while it reads; a worker-thread variant exists but nothing in the
// program starts it.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/String.h"
#include "platform/rtl/Threads.h"

class TWebData;
namespace net { struct InternetHandle; }

enum TImageType { itAll, itGIF, itJPG, itPNG };

class TWebDataItem {
public:
    const String& GetURL() const { return FURL; }
    void SetURL(const String& v) { FURL = v; }
    const String& GetDisplayName() const { return FURL; }
    const String& GetScanFirst() const { return FScanFirst; }
    void SetScanFirst(const String& v) { FScanFirst = v; }
    const String& GetScanFrom() const { return FScanFrom; }
    void SetScanFrom(const String& v) { FScanFrom = v; }
    const String& GetScanTo() const { return FScanTo; }
    void SetScanTo(const String& v) { FScanTo = v; }
    const String& GetData() const { return FData; }
    void SetData(const String& v) { FData = v; }
    bool GetSuccess() const { return FSuccess; }
    void SetSuccess(bool v) { FSuccess = v; }
    const String& GetFileName() const { return FFileName; }
    void SetFileName(const String& v) { FFileName = v; }
    bool GetAutoDelete() const { return FAutoDelete; }
    void SetAutoDelete(bool v) { FAutoDelete = v; }
    bool GetEnable() const { return FEnable; }
    void SetEnable(bool v) { FEnable = v; }
    int GetTag() const { return FTag; }
    void SetTag(int v) { FTag = v; }
    const String& GetFullPageCode() const { return FFullPageCode; }
    void SetFullPageCode(const String& v) { FFullPageCode = v; }

private:
    String FURL;
    String FScanFirst;
    String FScanFrom;
    String FScanTo;
    String FData;
    bool FSuccess { false };
    String FFileName;
    bool FAutoDelete { true };
    bool FEnable { true };
    int FTag { 0 };
    String FFullPageCode;
};

class TWebDataCollection {
public:
    explicit TWebDataCollection(TWebData* owner) : FOwner(owner) { }
    TWebData* GetOwner() const { return FOwner; }
    TWebDataItem* Add();
    int GetCount() const { return int(FItems.size()); }
    // Raises EListError for an index out of range.
    TWebDataItem* GetItem(int index) const;
    void SetItem(int index, const TWebDataItem& value);
    void Delete(int index);
    void Clear() { FItems.clear(); }

private:
    TWebData* FOwner { nullptr };
    std::vector<std::unique_ptr<TWebDataItem>> FItems;
};

class TWebData {
public:
    TWebData() = default;
    TWebData(const TWebData&) = delete;
    TWebData& operator=(const TWebData&) = delete;

    // Fetches every enabled item. Network failures are reported per item
    // through OnCollectError; file errors of the file variant raise.
    void CollectData();
    // Clears every item's Success, collects, and answers whether every item succeeded.
    bool Execute();
    // Runs CollectData on a worker thread; OnCollectDone follows on the GUI thread.
    void ThreadCollectData();

    const String& GetAgent() const { return FAgent; }
    void SetAgent(const String& v) { FAgent = v; }
    TImageType GetImageType() const { return FImageType; }
    void SetImageType(TImageType v) { FImageType = v; }
    const std::vector<String>& GetImageRefs() const { return FImageRefs; }
    const std::vector<String>& GetHyperlinks() const { return FHyperlinks; }
    const String& GetHyperLinkType() const { return FHyperLinkType; }
    void SetHyperLinkType(const String& v) { FHyperLinkType = v; }
    const String& GetProxy() const { return FProxy; }
    void SetProxy(const String& v) { FProxy = v; }
    const String& GetProxyUserID() const { return FProxyUserID; }
    void SetProxyUserID(const String& v) { FProxyUserID = v; }
    const String& GetProxyPassword() const { return FProxyPassword; }
    void SetProxyPassword(const String& v) { FProxyPassword = v; }
    bool GetSaveToFile() const { return FSaveToFile; }
    void SetSaveToFile(bool v) { FSaveToFile = v; }
    // Seconds; when positive, the connect, send and receive time-outs.
    int GetTimeout() const { return FTimeout; }
    void SetTimeout(int v) { FTimeout = v; }
    TWebDataCollection& GetData() { return FData; }
    String GetVersion() const;
    void SetVersion(const String&) { }

    std::function<void(TWebData* Sender, int iItem, const String& data)> OnData;
    std::function<void(TWebData* Sender, int iItem)> OnProgress;
    std::function<void(TWebData* Sender)> OnCollectDone;
    // errcode: -1 when the address could not be opened or its body not read
    // whole, else the HTTP status.
    std::function<void(TWebData* Sender, int iItem, int errcode)> OnCollectError;

private:
    bool FetchItem(net::InternetHandle* session, int index, const String& fileName, std::string& buffer);
    void ProcessPage(int index, const String& page);
    void CollectImageRefs(const String& page, const String& url);
    void CollectHyperlinks(const String& page, const String& url);

    String FAgent { u"WebData" };
    TImageType FImageType { itAll };
    std::vector<String> FImageRefs;
    std::vector<String> FHyperlinks;
    String FHyperLinkType;
    String FProxy;
    String FProxyUserID;
    String FProxyPassword;
    bool FSaveToFile { false };
    int FTimeout { 0 };
    TWebDataCollection FData { this };
};

// Runs a TWebData's CollectData on its own thread and frees itself when done.
// It pumps no messages: the thread has no message queue of its own.
class TWDInetThread : public TThread {
public:
    explicit TWDInetThread(TWebData* webData) : FWebData(webData) { }

protected:
    void Execute() override;

private:
    TWebData* FWebData { nullptr };
};

// The whole text of one page (one character per byte), empty when it could not be fetched.
String FetchPageText(const String& url);
// `link` resolved against the page address `base` (http or https).
String JoinPageLink(const String& base, const String& link);
// 1-based position of `sub` in `s`, ignoring case; 0 when absent.
int PosIgnoringCase(const String& sub, const String& s);
// The temporary folder with a trailing separator.
String TempFolderWithSeparator();
