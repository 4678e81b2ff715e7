#pragma once
// The main window's embedded browser with the crawl of the directory's result
// pages: it colours the page, reads the listing cards one by one through
// synchronous scripts (last card first), hands each to the listing parser,
// appends every new result line to the attached memo, follows the page's
// "Next" link and starts over on the new page, one nesting level per page,
// until there is no next page or the stop flag is set. Everything runs on the
// GUI thread; the scripts pump messages while they wait, so a click on a stop
// button lands inside the crawl and only sets bStop.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/browser/LumWebBrowser.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"

class TCustomMemo;
class TCustomEdit;
class TStrings;
class TStringList;

// A synchronous script gave no value (the page did not answer within the
// crawl's wait): the crawl cannot go on with that card or page.
QT_DECLARE_EXCEPTION(EScriptNoValue, Exception);

class TSuperBrowser : public TLumWebBrowser {
    QT_CLASS(TSuperBrowser, TLumWebBrowser)
public:
    explicit TSuperBrowser(TComponent* AOwner = nullptr);
    ~TSuperBrowser() override;

    // The crawl of the loaded page and, through TurntoNextPageAUYP, of all
    // following pages. A page that does not answer within the wait limit, or
    // a next page that cannot be loaded, stops the crawl as STOP does (every
    // line kept) and leaves the reason in GetCrawlFailure. Other errors are
    // not caught: they end the capture and reach its caller.
    void StartParsingAUYP();
    // Moves to the next result page and crawls it, or ends the crawl.
    void TurntoNextPageAUYP();
    // E-mail mode, once per page: the listing-id=e-mail pairs of the page's
    // data into fListingEmails.
    void CollectListingsAndEmails();
    // Waits, processing messages, for the script's JSON result; empty text
    // when no answer came within the crawl's wait limit.
    String ExecuteJavaScriptSync(const String& AScript) override;

    // Why the crawl stopped on its own: a page that did not answer, or the
    // next page that could not be loaded ("The next page could not be
    // loaded: <address> (<reason>)"). Empty after a normal end or a STOP.
    const String& GetCrawlFailure() const { return m_crawlFailure; }
    void ClearCrawlFailure() { m_crawlFailure.clear(); }
    // The longest the crawl waits for a page, a script's answer or a load,
    // in milliseconds, before the scrape interval (fTimer seconds) is added.
    static unsigned AnswerLimitMs;
    // The wait limit in force: AnswerLimitMs plus the scrape interval.
    unsigned WaitLimitMs() const;
    // The end of a wait begun at `start` under the limit in force when asked.
    std::function<std::chrono::steady_clock::time_point()> WaitDeadline(std::chrono::steady_clock::time_point start) const;

    // URL decoding: "%XX" escapes read as UTF-8 bytes, "%%" as "%", "+" as a
    // blank. Tolerant: a malformed escape stays as it is, and bytes that do
    // not form UTF-8 stay as their escapes.
    static String DecodeURLText(const String& text);
    // The HTML entity decoding of the listing parser's result line.
    static String DecodeHTMLText(const String& text);
    // A script result (JSON text) as text: a string gives its unescaped
    // characters, null the four letters null, other values their JSON text.
    // Empty text (no value at all) raises EScriptNoValue.
    static String DecodeScriptValue(const String& json);
    // The "id=e-mail" pairs of a page's data, each record (from one
    // {"aboutId":" to the next) matched on its own, so a record without an
    // address never takes its neighbour's.
    static std::vector<String> ListingEmailPairs(const String& pageText);

    // Handlers and bridge calls the capture does not use.
    // DocumentComplete pauses for the scrape interval (at least 1 s).
    void DocumentComplete(TObject* Sender);
    // Asks the page for the other directory's encoded next-page link and
    // opens it, or says that every page has been processed.
    void GetNextPageURL(const String& InnerHtml);
    // The first run of 20 or more letters and digits, Base64-decoded, after
    // the other directory's site root; empty without such a run.
    static String DecodeNextPageLink(const String& text);
    // sPageNumber from the "page=N" of sNextPageURL.
    void GetNextPageNumberFromURL();
    // The page bridge needs no set-up or tear-down, and the markup comes
    // through BridgeHTML: these do nothing.
    void StartBridge() { }
    void StopBridge() { }
    void SetInnerHtml() { }
    // A page asks the browser to open an address.
    void BridgeNav(const String& AMessage);
    // Says "yeah", then reads the first "bi-list" element's markup into
    // fInnerHtml.
    void BridgeHTML(const String& AMessage);
    // Reads the page body's markup into fInnerText.
    void SetInnerText();
    // The browser's own navigation events: nothing to do before or after.
    void LumWebBrowser1BeforeNavigate(TObject*, TLumCustomWebBrowserBeforeNavigateParams&) { }
    void LumWebBrowser1NavigateComplete(TObject*, TLumCustomWebBrowserNavigateCompleteParams&) { }

    const String& GetfInnerHtml() const { return _fInnerHtml; }
    void SetfInnerHtml(const String& v) { _fInnerHtml = v; }
    const String& GetfInnerText() const { return _fInnerText; }
    void SetfInnerText(const String& v) { _fInnerText = v; }
    // The page's pairs; the main window attaches its list (kept across
    // captures). Without one the browser keeps its own.
    TStrings* GetfListingEmails() const;
    void SetfListingEmails(TStrings* v) { _fListingEmails = v; }
    TCustomMemo* GetAttachedMemo() const { return _fmemo; }
    void SetAttachedMemo(TCustomMemo* v) { _fmemo = v; }
    TCustomMemo* GetMemoAttached() const { return _fmemo; }
    void SetMemoAttached(TCustomMemo* v) { _fmemo = v; }
    bool GetbStop() const { return _bStop; }
    void SetbStop(bool v) { _bStop = v; }
    bool GetbComplete() const { return _bComplete; }
    void SetbComplete(bool v) { _bComplete = v; }
    const String& GetsNextPageURL() const { return _sNextPageURL; }
    void SetsNextPageURL(const String& v) { _sNextPageURL = v; }
    const String& GetsPageNumber() const { return _sPageNumber; }
    void SetsPageNumber(const String& v) { _sPageNumber = v; }
    TCustomEdit* GetAttachedEdit() const { return _fURLedit; }
    void SetAttachedEdit(TCustomEdit* v) { _fURLedit = v; }
    TCustomEdit* GetEditattached() const { return _fURLedit; }
    void SetEditattached(TCustomEdit* v) { _fURLedit = v; }
    std::uint8_t GetfTimer() const { return _fTimer; }
    void SetfTimer(std::uint8_t v) { _fTimer = v; }
    const String& GetfStartPage() const { return _fStartPage; }
    void SetfStartPage(const String& v) { _fStartPage = v; }
    bool GetfDoEmails() const { return _fDoEmails; }
    void SetfDoEmails(bool v) { _fDoEmails = v; }

protected:
    void DoNavigateComplete(TLumCustomWebBrowserNavigateCompleteParams& Params) override;

private:
    // A plain sleep (no message pumping) of fTimer × base ms, or of base ms
    // when fTimer is 0.
    void SleepScaled(int baseMs) const;
    // A synchronous script whose value is not used; no answer raises
    // EScriptNoValue.
    void RunScript(const String& script);
    // The decoded value of a synchronous script; no value raises.
    String RunScriptValue(const String& script);
    // Reads the loaded page: colours it, takes its e-mail pairs in e-mail
    // mode, reads the cards last first and pauses before moving on.
    void ParsePage();
    // Follows the page's "Next" link: true when the crawl goes on with the
    // page it has loaded, false when there is none or it could not be loaded.
    bool MoveToNextPage();
    // Navigates to the next page and waits for its outcome; false (with the
    // reason recorded and the crawl stopped) when it could not be loaded.
    bool LoadNextPage(const String& address);
    // Stops the crawl as STOP does and keeps the reason.
    void StopWithFailure(const String& reason);
    void ReadCard(int index);
    void AppendResultLine(const String& line);
    String NextPageLinkMarkup();

    String _fInnerHtml;
    String _fInnerText;
    TStrings* _fListingEmails { nullptr };
    std::unique_ptr<TStringList> m_ownListingEmails;
    TCustomMemo* _fmemo { nullptr };
    bool _bStop { false };
    bool _bComplete { false };
    String _sNextPageURL;
    String _sPageNumber;
    TCustomEdit* _fURLedit { nullptr };
    std::uint8_t _fTimer { 0 };
    String _fStartPage;
    bool _fDoEmails { false };

    String m_crawlFailure;
    // Navigations completed so far and how the last one ended.
    unsigned m_navigationsCompleted { 0 };
    TLumCustomWebBrowserNavigateCompleteParams m_lastNavigation;
};
