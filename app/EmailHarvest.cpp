#include "app/EmailHarvest.h"

#include <fstream>
#include <iterator>

#include "app/Pcre.h"
#include "app/RegExpr.h"
#include "app/YellowPagesAUentry.h"
#include "platform/net/WinInet.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/StringList.h"

namespace {

const String EmailExpression = u"[_a-zA-Z\\d\\-\\.]+@[_a-zA-Z\\d\\-]+(\\.[_a-zA-Z\\d\\-]+)+";
const String CR = u"\r";

bool IsWebAddress(const String& url)
{
    const String lower = StrLower(url.substr(0, 8));
    return lower.starts_with(u"http://") || lower.starts_with(u"https://");
}

// Removes the download file on every path, so nothing is left behind.
struct TempFileRemover {
    String FileName;
    ~TempFileRemover() { DeleteFile(FileName); }
};

String FileText(const String& fileName)
{
    std::ifstream in(StringToUtf8(fileName), std::ios::binary);
    if (!in)
        throw EInOutError(u"Cannot open " + fileName);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.erase(0, 3);
    return Utf8ToString(bytes);
}

bool IsSkippedMatch(const String& match)
{
    return match.find(u"wixpress") != String::npos || match.find(u".png") != String::npos
        || match.find(u".jpg") != String::npos;
}

// Stands in when no pop-up can be shown.
class NoStatusPopup final : public IStatusPopup {
public:
    void SetTitle(const String&) override { }
    void SetMessages(const String&) override { }
    void SetURL(const String&) override { }
    void SetEmails(const String&) override { }
    void Show() override { }
    void Hide() override { }
};

String AddressesOfPage(const String& url)
{
    return ExtractAllEmails(DownloadPageToTempFile(url));
}

} // namespace

String DownloadPageToTempFile(const String& url)
{
    if (!IsWebAddress(url))
        return CannotDownloadPage;
    try {
        TempFileRemover file { CreateTempFile(u"harvest", u".htm") };
        if (net::URLDownloadToFile(url, file.FileName) != S_OK)
            return CannotDownloadPage;
        TStringList lines;
        lines.SetText(FileText(file.FileName));
        return lines.GetText();
    } catch (const std::exception&) {
        return CannotDownloadPage;
    }
}

String ExtractAllEmails(const String& text)
{
    String found;
    TRegExpr re;
    re.SetExpression(EmailExpression);
    try {
        for (bool matched = re.Exec(text); matched; matched = re.ExecNext()) {
            String match = re.GetMatch(0);
            if (!IsSkippedMatch(match))
                found += match + u"\r\n";
        }
    } catch (const ERegExpr&) {
        // The matcher gave up on this page (its backtracking budget): what
        // was found before stands, and the harvest goes on with the next page.
    }
    return found;
}

String ExtractFirstEmail(const String& text)
{
    TRegExpr re;
    re.SetExpression(EmailExpression);
    try {
        if (re.Exec(text))
            return re.GetMatch(0);
    } catch (const ERegExpr&) {
    }
    return {};
}

String TYellowPagesAUentry::DedupesOut(const String& s)
{
    TStringList list;
    list.SetCaseSensitive(false);
    list.SetDuplicates(dupIgnore);
    list.SetSorted(true);
    TPcreRegex re(u"([A-Z0-9._%+-]+@[A-Z0-9.-]+\\.[A-Z]{2,})", pcoCaseless);
    re.SetSubject(s);
    for (bool matched = re.Match(); matched; matched = re.MatchAgain())
        list.Add(re.Group(1));
    _fNbEmails = list.GetCount();
    String joined;
    for (int i = 0; i < list.GetCount(); ++i) {
        if (i > 0)
            joined += u',';
        joined += list[i];
    }
    return joined;
}

void HarvestEmails(TYellowPagesAUentry& entry, const TStatusPopupFactory& popupFactory)
{
    std::unique_ptr<IStatusPopup> popup = popupFactory ? popupFactory() : nullptr;
    if (!popup)
        popup = std::make_unique<NoStatusPopup>();
    const String site = entry.GetfHTTP();
    const String listing = entry.GetfHTTP_AU();

    popup->SetTitle(u"QTX url central");
    popup->SetURL(u"Analyzing page data...");
    popup->Show();
    entry.GetEmailFromListingID();

    ProcessPendingMessages();
    popup->SetTitle(u"Data tunnels");
    popup->SetMessages(u"Data tunnel #1." + CR + u"Please be patient!");
    popup->SetURL(u"Now visiting: " + CR + site);
    if (!site.empty())
        entry.SetfEmail(entry.GetfEmail() + AddressesOfPage(site));
    popup->SetEmails(entry.GetfEmail());

    ProcessPendingMessages();
    popup->SetMessages(u"Data tunnel #2." + CR + u"Please be more patient!");
    popup->SetURL(u"Now visiting: " + CR + site);
    // Appended unchanged: a site address ending in "/" gives "//contact/".
    if (!site.empty())
        entry.SetfEmail(entry.GetfEmail() + AddressesOfPage(site + u"/contact/"));
    popup->SetEmails(entry.GetfEmail());

    ProcessPendingMessages();
    popup->SetMessages(u"Data tunnel #3." + CR + u"Please be even more patient..." + CR + u"Go have a cup of coffee!");
    popup->SetURL(u"Now visiting: " + CR + listing);
    if (!listing.empty())
        entry.SetfEmail(entry.GetfEmail() + AddressesOfPage(listing));

    ProcessPendingMessages();
    entry.SetfEmail(entry.DedupesOut(entry.GetfEmail()));
}

void InstallEmailHarvest(TStatusPopupFactory popup)
{
    TYellowPagesAUentry::SetEmailHarvester(
        [popup = std::move(popup)](TYellowPagesAUentry& entry) { HarvestEmails(entry, popup); });
    TYellowPagesAUentry::SetFirstEmailExtractor(&ExtractFirstEmail);
}
