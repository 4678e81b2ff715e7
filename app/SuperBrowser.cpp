#include "app/SuperBrowser.h"

#include <chrono>
#include <optional>
#include <thread>

#include "app/CaptureGlobals.h"
#include "app/Pcre.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/TextRoutines.h"
#include "app/YellowPagesAUentry.h"
#include "foundation/VuzErazs.h"
#include "platform/rtl/Base64.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"

QT_PUBLISHED(TSuperBrowser, QT_PROP(fInnerHtml), QT_PROP(fInnerText), QT_PROP(fListingEmails),
    QT_PROP(MemoAttached), QT_PROP(bStop), QT_PROP(bComplete), QT_PROP(sNextPageURL), QT_PROP(sPageNumber),
    QT_PROP(Editattached), QT_PROP(fTimer), QT_PROP(fStartPage), QT_PROP(fDoEmails))

namespace {

// The site root that DecodeNextPageLink puts before a decoded address (the
// other directory whose next-page links carry it Base64-encoded).
const String OtherDirectorySiteRoot = u"https://www.listings-two.example";

const String CardSelector = u"document.querySelectorAll('div[class*=\"MuiPaper-rounded\"]')";

String CardScript(int index, const String& member)
{
    return u"function myFunction() {return " + CardSelector + u"[" + IntToStr(index) + u"]." + member
        + u";} myFunction();";
}

void PlainSleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Decodes a run of "%XX" bytes; a byte that is not part of valid UTF-8 keeps
// its escape (escapes[i] is the source text of bytes[i]).
void FlushEscapedBytes(String& out, std::vector<std::uint8_t>& bytes, std::vector<String>& escapes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t cp = 0;
        std::size_t length = 1;
        if (DecodeUtf8Char(bytes.data() + at, bytes.size() - at, cp, length)) {
            AppendCodePoint(out, cp);
            at += length;
        } else {
            out += escapes[at];
            ++at;
        }
    }
    bytes.clear();
    escapes.clear();
}

} // namespace

unsigned TSuperBrowser::AnswerLimitMs = 60000;

namespace {

String NextPageFailure(const String& address, const String& reason)
{
    return u"The next page could not be loaded: " + address + u" (" + reason + u")";
}

// The reason of a failed navigation, from the web view's error status.
String NavigationErrorText(std::int32_t status)
{
    switch (status) {
    case 1: case 2: case 3: case 4: case 5: return u"the server's certificate is not valid";
    case 6: return u"the server cannot be reached";
    case 7: return u"the connection timed out";
    case 8: return u"the server's answer is not valid";
    case 9: case 10: return u"the connection was closed";
    case 11: return u"the network is disconnected";
    case 12: return u"the connection was refused";
    case 13: return u"the host name is unknown";
    case 14: return u"the loading was cancelled";
    case 15: return u"the redirection failed";
    case 17: case 18: return u"the server asks for credentials";
    default: return u"error " + IntToStr(status);
    }
}

// The HTTP status of the loaded document (0 when the browser cannot tell).
const String ResponseStatusScript = u"(function(){var e=performance.getEntriesByType('navigation')[0];"
                                    u"return e&&e.responseStatus?e.responseStatus:0;})();";

} // namespace

TSuperBrowser::TSuperBrowser(TComponent* AOwner)
    : TLumWebBrowser(AOwner), m_ownListingEmails(std::make_unique<TStringList>())
{
}

TSuperBrowser::~TSuperBrowser() = default;

TStrings* TSuperBrowser::GetfListingEmails() const
{
    return _fListingEmails ? _fListingEmails : m_ownListingEmails.get();
}

unsigned TSuperBrowser::WaitLimitMs() const
{
    return AnswerLimitMs + unsigned(_fTimer) * 1000u;
}

std::function<std::chrono::steady_clock::time_point()> TSuperBrowser::WaitDeadline(
    std::chrono::steady_clock::time_point start) const
{
    // Read as the wait goes: a limit changed meanwhile applies to the wait
    // already under way.
    return [this, start] { return start + std::chrono::milliseconds(WaitLimitMs()); };
}

void TSuperBrowser::SleepScaled(int baseMs) const
{
    PlainSleep(_fTimer == 0 ? baseMs : int(_fTimer) * baseMs);
}

String TSuperBrowser::ExecuteJavaScriptSync(const String& AScript)
{
    ILumCustomWebBrowser* platform = GetWebBrowser();
    if (!platform)
        return {};
    // An answer that comes after the wait has given up lands in the holder
    // the completion shares and is dropped with it.
    auto answer = std::make_shared<std::optional<String>>();
    platform->ExecuteJavaScript(
        AScript,
        [answer](const String& value) {
            if (!*answer)
                *answer = value;
        },
        {});
    const auto deadline = WaitDeadline(std::chrono::steady_clock::now());
    while (!*answer && std::chrono::steady_clock::now() < deadline()) {
        Application->ProcessMessages();
        if (!*answer)
            WaitForMessagesUntil(deadline());
    }
    return answer->value_or(String());
}

void TSuperBrowser::DoNavigateComplete(TLumCustomWebBrowserNavigateCompleteParams& Params)
{
    ++m_navigationsCompleted;
    m_lastNavigation = Params;
    TLumWebBrowser::DoNavigateComplete(Params);
}

void TSuperBrowser::RunScript(const String& script)
{
    if (Trim(ExecuteJavaScriptSync(script)).empty())
        throw EScriptNoValue(u"The page gave no answer to a script of the capture.");
}

String TSuperBrowser::RunScriptValue(const String& script)
{
    return DecodeScriptValue(ExecuteJavaScriptSync(script));
}

void TSuperBrowser::StopWithFailure(const String& reason)
{
    m_crawlFailure = reason;
    _bStop = true;
    StopLoading();
    SetMainFormCaption(reason);
}

void TSuperBrowser::StartParsingAUYP()
{
    if (_bStop) {
        SetMainFormCaption(u" STOP pressed! Process Complete...");
        return;
    }
    try {
        ParsePage();
    } catch (const EScriptNoValue&) {
        StopWithFailure(u"The page did not answer within " + IntToStr(int(WaitLimitMs() / 1000)) + u" seconds: "
            + GetURL());
        return;
    }
    TurntoNextPageAUYP();
}

void TSuperBrowser::ParsePage()
{
    SleepScaled(100);
    RunScript(u"function myFunction() {document.body.style.backgroundColor = \"LemonChiffon\";} myFunction();");
    if (_fDoEmails)
        CollectListingsAndEmails();
    // The last card first, as the page lists them.
    for (int i = 39; i >= 0; --i) {
        if (_bStop)
            break;
        ReadCard(i);
    }
    SleepScaled(1000);
}

void TSuperBrowser::ReadCard(int index)
{
    SleepScaled(50);
    RunScript(u"var allLeads = " + CardSelector + u";{allLeads[" + IntToStr(index)
        + u"].style.backgroundColor = \"Gold\";};");
    const String markup = RunScriptValue(CardScript(index, u"innerHTML"));
    const String text = RunScriptValue(CardScript(index, u"innerText"));
    if (text == u"null")
        return; // no card with this index
    String line;
    int emails = 0;
    {
        TYellowPagesAUentry entry(text + markup);
        entry.Setfbstop(_bStop);
        entry.SetfAllEmails(GetfListingEmails()->GetText());
        entry.SetfObjectDoesEmails(_fDoEmails);
        entry.SetfNbEmails(0);
        entry.Execute();
        line = entry.GetResultLine();
        emails = entry.GetfNbEmails();
    }
    if (index % 5 == 0)
        RunScript(u"document.body.style.backgroundColor = \"Lavender\";");
    TotalEmails += emails;
    SetEmailBadgeCaption(u"Emails: " + IntToStr(TotalEmails));
    if (line.empty())
        return;
    AppendResultLine(line);
    PlainSleep(50);
    RunScript(u"document.body.style.backgroundColor = \"HoneyDew\";");
}

void TSuperBrowser::AppendResultLine(const String& line)
{
    if (!_fmemo)
        return;
    TStrings* lines = _fmemo->GetLines();
    if (lines->IndexOf(line) >= 0)
        return;
    lines->Add(line);
    // Adding leaves the caret at the end of the long new line, which would
    // scroll the memo to the lines' tails: show their starts instead.
    _fmemo->SetCaretPos({ 0, lines->GetCount() - 1 });
}

String TSuperBrowser::NextPageLinkMarkup()
{
    String n = RunScriptValue(
        u"function myFunction() {var allLeads = document.querySelectorAll('a[class*=\"MuiButton-outlined\"]');"
        u"for (let i = 0; i < allLeads.length; i++){let str = allLeads[i]; if (str.innerText==\"Next\")"
        u"{return str.outerHTML;}}}; myFunction();");
    n = DecodeHTMLText(DecodeURLText(n));
    n = StringReplace(n, u"&amp;", u"&", rfReplaceAll);
    return StringReplace(n, u"amp;", u"&", rfReplaceAll);
}

void TSuperBrowser::TurntoNextPageAUYP()
{
    if (_bStop)
        return;
    bool goOn = false;
    try {
        goOn = MoveToNextPage();
    } catch (const EScriptNoValue&) {
        StopWithFailure(u"The page did not answer within " + IntToStr(int(WaitLimitMs() / 1000)) + u" seconds: "
            + GetURL());
    }
    if (!goOn)
        return;
    SleepScaled(1000);
    StartParsingAUYP();
}

bool TSuperBrowser::MoveToNextPage()
{
    const String next = NextPageLinkMarkup();
    TPcreRegex link(u"(\\/(search|find)\\/.+?(page\\-|pageNumber\\=)(\\d+))");
    link.SetSubject(next);
    if (link.Match()) {
        // The group starts with "/", so the address has two slashes after the host.
        const String address = DirectorySiteRoot() + u"/" + link.Group(1);
        _sPageNumber = link.Group(4);
        // A server that ignores the page number links a page to itself:
        // reading it again would never end.
        if (address == GetURL())
            StopWithFailure(NextPageFailure(address, u"it is the page just read"));
        else if (LoadNextPage(address))
            SleepScaled(200);
    } else {
        _bStop = true;
    }
    if (_bStop) {
        if (m_crawlFailure.empty())
            SetMainFormCaption(u"No more data to collect!");
        return false;
    }
    return true;
}

bool TSuperBrowser::LoadNextPage(const String& address)
{
    SetURL(address);
    // A navigation still under way when this one started has completed (as
    // cancelled) by now: the next completion is this one's.
    const unsigned before = m_navigationsCompleted;
    const auto deadline = WaitDeadline(std::chrono::steady_clock::now());
    while (m_navigationsCompleted == before) {
        if (_bStop)
            return false;
        if (std::chrono::steady_clock::now() >= deadline()) {
            StopWithFailure(NextPageFailure(address,
                u"no answer within " + IntToStr(int(WaitLimitMs() / 1000)) + u" seconds"));
            return false;
        }
        Application->ProcessMessages();
        if (m_navigationsCompleted == before && !_bStop)
            WaitForMessagesUntil(deadline());
    }
    if (_bStop)
        return false;
    if (!m_lastNavigation.Success) {
        StopWithFailure(NextPageFailure(address, NavigationErrorText(m_lastNavigation.ErrorCode)));
        return false;
    }
    // An error page of the server loads like any page: its status tells.
    const int status = StrToIntDef(RunScriptValue(ResponseStatusScript), 0);
    if (status >= 400) {
        StopWithFailure(NextPageFailure(address, u"HTTP status " + IntToStr(status)));
        return false;
    }
    return true;
}

void TSuperBrowser::CollectListingsAndEmails()
{
    std::unique_ptr<TfrmSplashScreen> popup(new TfrmSplashScreen(Application));
    popup->lblTitle->SetCaption(u"QTX Digging");
    popup->lbURL->SetCaption(u"Analyzing current page...");
    popup->Show();
    ExecuteJavaScriptSync(u"document.body.style.backgroundColor = \"PapayaWhip\"");

    // The page's data may arrive late: poll it, at most 26 times. The text is
    // the answer of an earlier pass's script; a completion may still come in
    // after this step has ended, so it writes into a shared holder.
    auto pageText = std::make_shared<String>();
    for (int pass = 0; pass < 26; ++pass) {
        PlainSleep(1000);
        Application->ProcessMessages();
        ExecuteJavaScript(u"function GetHTML(){return unescape(document.documentElement.innerHTML);} GetHTML();",
            [pageText](const String& value) {
                try {
                    *pageText = DecodeScriptValue(value);
                } catch (const EScriptNoValue&) {
                    // no answer: the next pass asks again
                }
            });
        if (pageText->find(u"aboutId") != String::npos)
            break;
    }

    const std::vector<String> pairs = ListingEmailPairs(*pageText);
    TStrings* list = GetfListingEmails();
    list->BeginUpdate();
    list->Clear();
    for (const String& pair : pairs) {
        list->Add(pair);
        popup->SetEmails(pair.substr(pair.find(u'=') + 1));
    }
    list->EndUpdate();
}

std::vector<String> TSuperBrowser::ListingEmailPairs(const String& pageText)
{
    // Where each record starts; a record ends where the next one starts.
    std::vector<std::size_t> starts;
    TPcreRegex start(u"\\{\"aboutId\":\"", pcoCaseless);
    start.SetSubject(pageText);
    for (bool found = start.Match(); found; found = start.MatchAgain())
        starts.push_back(std::size_t(start.MatchedOffset()));

    std::vector<String> pairs;
    TPcreRegex record(u"{\"aboutId\":\".+\"listingId\":\"(\\d+)\".+\"primaryEmail\":\"(.+)\",.+\"vCitaId\".+}",
        pcoCaseless | pcoMultiLine | pcoUngreedy);
    for (std::size_t k = 0; k < starts.size(); ++k) {
        const std::size_t end = k + 1 < starts.size() ? starts[k + 1] : pageText.size();
        record.SetSubject(pageText.substr(starts[k], end - starts[k]));
        if (record.Match())
            pairs.push_back(record.Group(1) + u"=" + record.Group(2));
    }
    return pairs;
}

String TSuperBrowser::DecodeURLText(const String& text)
{
    String out;
    out.reserve(text.size());
    std::vector<std::uint8_t> bytes;
    std::vector<String> escapes;
    std::size_t i = 0;
    while (i < text.size()) {
        const Char c = text[i];
        if (c == u'%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<std::uint8_t>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
            escapes.push_back(text.substr(i, 3));
            i += 3;
            continue;
        }
        FlushEscapedBytes(out, bytes, escapes);
        if (c == u'%' && i + 1 < text.size() && text[i + 1] == u'%') {
            out += u'%';
            i += 2;
        } else {
            out += c == u'+' ? u' ' : c;
            ++i;
        }
    }
    FlushEscapedBytes(out, bytes, escapes);
    return out;
}

String TSuperBrowser::DecodeHTMLText(const String& text)
{
    return HTMLDecode(text);
}

String TSuperBrowser::DecodeScriptValue(const String& json)
{
    std::size_t first = 0, last = json.size();
    while (first < last && json[first] <= u' ')
        ++first;
    while (last > first && json[last - 1] <= u' ')
        --last;
    if (first == last)
        throw EScriptNoValue(u"The page gave no answer to a script of the capture; the capture has been stopped.");
    const String value = json.substr(first, last - first);
    if (value.size() >= 2 && value.front() == u'"' && value.back() == u'"')
        return TVuzErazs::UnescapeString(StringView(value).substr(1, value.size() - 2));
    return value;
}

void TSuperBrowser::DocumentComplete(TObject*)
{
    PlainSleep(_fTimer == 0 ? 1000 : int(_fTimer) * 1000);
}

void TSuperBrowser::GetNextPageURL(const String&)
{
    ExecuteJavaScript(
        u"function myFunction() {return document.getElementById(\"pagination-next\").getAttribute(\"data-pjlb\");} "
        u"myFunction();",
        [this](const String& value) {
            const String link = DecodeNextPageLink(StringReplace(value, u"\"", u"", rfReplaceAll));
            if (link.empty()) {
                ShowMessage(u"Pages have been processed!");
                _bStop = true;
                return;
            }
            SetMainFormCaption(u" QTX - Current Page: " + _sPageNumber);
            SetURL(link);
            PlainSleep(_fTimer == 0 ? 1000 : int(_fTimer) * 1000);
        });
}

String TSuperBrowser::DecodeNextPageLink(const String& text)
{
    const String run = PcreFirstGroup(text, u"([A-Za-z\\d]{20,})");
    if (run.empty())
        return {};
    const TBytes bytes = Base64DecodeTolerant(run);
    return OtherDirectorySiteRoot + Utf8ToString(bytes.data(), bytes.size());
}

void TSuperBrowser::GetNextPageNumberFromURL()
{
    _sPageNumber = PcreFirstGroup(_sNextPageURL, u"page=(\\d+)", pcoCaseless);
}

void TSuperBrowser::BridgeNav(const String& AMessage)
{
    Navigate(AMessage);
}

void TSuperBrowser::BridgeHTML(const String&)
{
    ShowMessage(u"yeah");
    ExecuteJavaScript(
        u"function GetHTML(){return document.getElementsByClassName(\"bi-list\")[0].innerhtml;} GetHTML();",
        [this](const String& value) { _fInnerHtml = value; });
}

void TSuperBrowser::SetInnerText()
{
    _fInnerText = RunScriptValue(u"function GetHTML(){return document.body.innerHTML;} GetHTML();");
}
