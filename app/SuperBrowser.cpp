#include "app/SuperBrowser.h"

#include <chrono>
#include <thread>

#include "app/CaptureGlobals.h"
#include "app/Pcre.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/TextRoutines.h"
#include "app/YellowPagesAUentry.h"
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

void AppendCodePoint(String& out, char32_t cp)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out += Char(0xD800 + (cp >> 10));
        out += Char(0xDC00 + (cp & 0x3FF));
    } else {
        out += Char(cp);
    }
}

// Length of the UTF-8 sequence that starts at bytes[at], or 0 when the bytes
// there do not form a valid one (overlong forms and surrogates included).
int Utf8SequenceLength(const std::vector<unsigned char>& bytes, std::size_t at, char32_t& cp)
{
    const unsigned char b0 = bytes[at];
    int length;
    char32_t min;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 & 0xE0) == 0xC0) {
        length = 2, min = 0x80, cp = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3, min = 0x800, cp = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4, min = 0x10000, cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (at + length > bytes.size())
        return 0;
    for (int k = 1; k < length; ++k) {
        const unsigned char b = bytes[at + k];
        if ((b & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

// Decodes a run of "%XX" bytes; a byte that is not part of valid UTF-8 keeps
// its escape (escapes[i] is the source text of bytes[i]).
void FlushEscapedBytes(String& out, std::vector<unsigned char>& bytes, std::vector<String>& escapes)
{
    std::size_t at = 0;
    while (at < bytes.size()) {
        char32_t cp = 0;
        const int length = Utf8SequenceLength(bytes, at, cp);
        if (length == 0) {
            out += escapes[at];
            ++at;
        } else {
            AppendCodePoint(out, cp);
            at += std::size_t(length);
        }
    }
    bytes.clear();
    escapes.clear();
}

int Base64Value(Char c)
{
    if (c >= u'A' && c <= u'Z')
        return c - u'A';
    if (c >= u'a' && c <= u'z')
        return c - u'a' + 26;
    if (c >= u'0' && c <= u'9')
        return c - u'0' + 52;
    return -1;
}

// The run holds letters and digits only; bits left over at the end are dropped.
std::string Base64Decoded(const String& run)
{
    std::string bytes;
    unsigned buffer = 0;
    int bits = 0;
    for (Char c : run) {
        const int v = Base64Value(c);
        if (v < 0)
            break;
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            bytes += char((buffer >> bits) & 0xFF);
        }
    }
    return bytes;
}

// A JSON string literal starting at text[0]; malformed escapes are kept as
// they stand (the engine does not deliver them).
String UnquotedJSONString(const String& text)
{
    String out;
    std::size_t i = 1;
    while (i < text.size() && text[i] != u'"') {
        const Char c = text[i++];
        if (c != u'\\' || i >= text.size()) {
            out += c;
            continue;
        }
        const Char e = text[i++];
        switch (e) {
        case u'b': out += u'\b'; break;
        case u'f': out += u'\f'; break;
        case u'n': out += u'\n'; break;
        case u'r': out += u'\r'; break;
        case u't': out += u'\t'; break;
        case u'u': {
            int value = 0;
            bool valid = i + 4 <= text.size();
            for (std::size_t k = 0; valid && k < 4; ++k) {
                const int h = HexDigitValue(text[i + k]);
                valid = h >= 0;
                value = value * 16 + h;
            }
            if (valid) {
                out += Char(value);
                i += 4;
            } else {
                out += u"\\u";
            }
            break;
        }
        default: out += e; break; // '"', '\\', '/'
        }
    }
    return out;
}

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

void TSuperBrowser::SleepScaled(int baseMs) const
{
    PlainSleep(_fTimer == 0 ? baseMs : int(_fTimer) * baseMs);
}

String TSuperBrowser::RunScriptValue(const String& script)
{
    return DecodeScriptValue(ExecuteJavaScriptSync(script));
}

void TSuperBrowser::StartParsingAUYP()
{
    if (_bStop) {
        SetMainFormCaption(u" STOP pressed! Process Complete...");
        return;
    }
    SleepScaled(100);
    ExecuteJavaScriptSync(u"function myFunction() {document.body.style.backgroundColor = \"LemonChiffon\";} myFunction();");
    if (_fDoEmails)
        CollectListingsAndEmails();
    // The last card first, as the page lists them.
    for (int i = 39; i >= 0; --i) {
        if (_bStop)
            break;
        ReadCard(i);
    }
    SleepScaled(1000);
    TurntoNextPageAUYP();
}

void TSuperBrowser::ReadCard(int index)
{
    SleepScaled(50);
    ExecuteJavaScriptSync(u"var allLeads = " + CardSelector + u";{allLeads[" + IntToStr(index)
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
        ExecuteJavaScriptSync(u"document.body.style.backgroundColor = \"Lavender\";");
    TotalEmails += emails;
    SetEmailBadgeCaption(u"Emails: " + IntToStr(TotalEmails));
    if (line.empty())
        return;
    AppendResultLine(line);
    PlainSleep(50);
    ExecuteJavaScriptSync(u"document.body.style.backgroundColor = \"HoneyDew\";");
}

void TSuperBrowser::AppendResultLine(const String& line)
{
    if (!_fmemo)
        return;
    TStrings* lines = _fmemo->GetLines();
    if (lines->IndexOf(line) < 0)
        lines->Add(line);
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
    const String next = NextPageLinkMarkup();
    TPcreRegex link(u"(\\/(search|find)\\/.+?(page\\-|pageNumber\\=)(\\d+))");
    link.SetSubject(next);
    if (link.Match()) {
        // The group starts with "/", so the address has two slashes after the host.
        SetURL(DirectorySiteRoot() + u"/" + link.Group(1));
        _sPageNumber = link.Group(4);
        SleepScaled(200);
    } else {
        _bStop = true;
    }
    if (_bStop) {
        SetMainFormCaption(u"No more data to collect!");
        return;
    }
    SleepScaled(1000);
    StartParsingAUYP();
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
    std::vector<unsigned char> bytes;
    std::vector<String> escapes;
    std::size_t i = 0;
    while (i < text.size()) {
        const Char c = text[i];
        if (c == u'%' && i + 2 < text.size() && HexDigitValue(text[i + 1]) >= 0 && HexDigitValue(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<unsigned char>(HexDigitValue(text[i + 1]) * 16 + HexDigitValue(text[i + 2])));
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
    if (value[0] == u'"')
        return UnquotedJSONString(value);
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
    return OtherDirectorySiteRoot + Utf8ToString(Base64Decoded(run));
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
