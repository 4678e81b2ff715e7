// The main window's start-up, its settings in the registry, the start page
// and the version and update checks.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/stat.h>

#include <unicode/ucnv.h>

#include "app/AppVersion.h"
#include "app/CaptureGlobals.h"
#include "app/MainWindow.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "app/WebData.h"
#include "foundation/VuzErazs.h"
#include "platform/net/WinInet.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/Resources.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Themes.h"

String LatestVersionDate;

std::function<void(const String& url)> TfrmMyBrowser::ShellOpen = [](const String& url) { TVuzErazs::OpenURL(url); };

namespace {

const String SettingsKey = u"\\Software\\QTX-AU-YP\\Main";
const String WelcomeText = u"Welcome to a world of deeper scraping!";
// The setup file the version check names to the maker's site.
const String SetupFileName = u"QuarrytideSetup-AU-YP.exe";
// Network checks at start-up must not hold the window for long on a machine
// without network: every wait of theirs is bounded by these.
constexpr DWORD CheckConnectTimeoutMs = 5000;
constexpr DWORD CheckReceiveTimeoutMs = 8000;
constexpr int CheckTimeoutSeconds = 8;

String DirectorySearchAddress()
{
    return DirectorySiteRoot() + u"/search/listings?clue=Restaurants&locationClue=NSW&lat=&lon=";
}

// The host of an address ("https://host:port/path" gives "host:port").
String HostOf(const String& url)
{
    std::size_t start = url.find(u"://");
    start = start == String::npos ? 0 : start + 3;
    const std::size_t end = url.find_first_of(u"/?#", start);
    return url.substr(start, end == String::npos ? String::npos : end - start);
}

String CharsetOf(const std::string& contentType)
{
    std::string lower;
    for (char c : contentType)
        lower += char(std::tolower(static_cast<unsigned char>(c)));
    const std::size_t p = lower.find("charset=");
    if (p == std::string::npos)
        return {};
    std::string cs = lower.substr(p + 8);
    cs.resize(std::min(cs.size(), cs.find_first_of("; \t")));
    cs.erase(std::remove(cs.begin(), cs.end(), '"'), cs.end());
    cs.erase(std::remove(cs.begin(), cs.end(), '\''), cs.end());
    return Utf8ToString(cs);
}

// The body decoded by the declared character set; UTF-8 when none is
// declared or the name is unknown.
String DecodeBody(const std::string& body, const String& charset)
{
    if (charset.empty())
        return Utf8ToString(body);
    UErrorCode status = U_ZERO_ERROR;
    UConverter* conv = ucnv_open(StringToUtf8(charset).c_str(), &status);
    if (U_FAILURE(status) || !conv)
        return Utf8ToString(body);
    String out(body.size() * 2 + 4, u'\0');
    status = U_ZERO_ERROR;
    const int32_t n = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), int32_t(out.size()), body.data(),
        int32_t(body.size()), &status);
    ucnv_close(conv);
    if (U_FAILURE(status))
        return Utf8ToString(body);
    out.resize(std::size_t(std::max(n, 0)));
    return out;
}

// The program file's modification date as "yyyymmdd" (local time).
String ProgramFileDate()
{
    struct stat st {};
    if (::stat("/proc/self/exe", &st) != 0)
        throw EInOutError(u"The program file cannot be read");
    std::tm local {};
    localtime_r(&st.st_mtime, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return Utf8ToString(text);
}

// A stored interval outside the 8-bit range is clamped, so the button shows
// the interval that is really used.
std::uint8_t ClampInterval(Integer value)
{
    return std::uint8_t(std::clamp<Integer>(value, 0, 255));
}

} // namespace

String VersionText()
{
    return String(u"v. 2.0k11 [03NOV2022]") + u"    " + u"\u00A0";
}

void TfrmMyBrowser::FormCreate(TObject*)
{
    try {
        wbdata = std::make_unique<TWebData>();
        wbdata->SetAgent(u"WebData");
        wbdata->SetTimeout(CheckTimeoutSeconds);
        wbdata->GetData().Add()->SetURL(MakerSiteRoot() + u"/files/ckeckver.php?version=" + SetupFileName);
        wbdata->OnData = [this](TWebData* Sender, int iItem, const String& data) { wbdataData(Sender, iItem, data); };
        wbdata->CollectData();
        try {
            CheckForNewerVersion();
        } catch (const std::exception&) {
            ShowMessage(u"Could not contact our server to check whether a QTX update is available...\r"
                        u"A live internet connection is required for this program to work properly!");
        }
        CreateBrowser();
    } catch (const std::exception&) {
        ShowMessage(u"Problem loading Browser");
    }

    btnSuchen->SetCaption(u"Search...");
    ButtonedEdit1->SetText(u"What/Who?");
    ButtonedEdit2->SetText(u"Location?");

    if (Browser)
        Browser->LoadHTML(u"<h1>Welcome to the world of deeper scraping!</h1><p><a href=\"" + WelcomePageURL()
            + u"\">Press to start...</a></p>");

    const String country = u"   Yellow Pages - Australia   ";
    lbCountry->SetCaption(country);
    btnWelcomeScreen->SetCaption(country);
    lbVersion->SetParent(ToolBar3);
    lbVersion->SetParentFont(false);
    lbVersion->GetFont()->Assign(lbCountry->GetFont());
    lbVersion->SetCaption(VersionText());
    lbVersion->SetLeft(EdNumberofLeads->GetLeft() + EdNumberofLeads->GetWidth() + 8);
    lbVersion->SetTop(8);
    lbVersion->SetVisible(true);
    StatusBar1->GetPanels()->GetItem(0)->SetText(u"QTX - " + VersionText());

    QTXStartPage1Click(this);

    StatusPopup = new TfrmSplashScreen(this);
    StatusPopup->SetURL(WelcomeText);
    StatusPopup->SetEmails(WelcomeText);

    PlainPause(10000);

    Goto1->SetHint(DirectorySiteRoot() + u"/");
    Goto1->SetCaption(u"Go to " + MenuCaptionText(DirectorySearchAddress()));
    ToolbtnQTX->SetCaption(u"AU-YP");
    edURL->SetText(DirectorySiteRoot() + u"/");
    SetCaption(String(AppTitle) + u" - AU-YP - " + VersionText());

    PageControl1->SetActivePage(tbResults);

    try {
        // A first start makes the settings key, so the saves (which never
        // create it) can store the user's choices from then on.
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.KeyExists(SettingsKey))
            reg.OpenKey(SettingsKey, true);
    } catch (const std::exception&) {
    }
    try {
        RestoreSplitter();
        ReadInterfaceAndWidth();
    } catch (const std::exception&) {
    }
    Interface1Click(Interface1);

    QTXStartPage1Click(this);
}

void TfrmMyBrowser::CreateBrowser()
{
    Browser = new TSuperBrowser(this);
    Browser->SetName(u"Browser");
    Browser->SetParent(TabSheet1);
    Browser->SetAlign(alClient);
    Browser->SetURL(WelcomePageURL());
    Browser->SetAttachedEdit(edURL);
    Browser->SetVisible(true);
    Browser->Navigate(WelcomePageURL());
    Browser->Show();
    String http = WelcomePageURL();
    if (http.rfind(u"https://", 0) == 0)
        http = u"http://" + http.substr(8);
    Browser->SetURL(http);
    Browser->SetAttachedMemo(mmResults);
    ListingEmails = std::make_unique<TStringList>();
    Browser->SetfListingEmails(ListingEmails.get());
    Browser->SetfStartPage(GetHTMLstarter());
    Browser->LoadHTML(Browser->GetfStartPage());
}

void TfrmMyBrowser::FormDestroy(TObject*)
{
    try {
        delete StatusPopup;
    } catch (const std::exception&) {
    }
    StatusPopup = nullptr;
}

// ---- settings ----

void TfrmMyBrowser::ReadInterfaceAndWidth()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    const bool opened = reg.OpenKey(SettingsKey, false);
    // Without the key every value is missing, so each takes its default.
    auto key = [&]() -> TRegistry& {
        if (!opened)
            throw ERegistryException(u"The settings key does not exist");
        return reg;
    };
    try {
        TStyleManager::SetStyle(key().ReadString(u"Interface"));
    } catch (const std::exception&) {
        try {
            TStyleManager::SetStyle(u"Luna");
        } catch (const std::exception&) {
        }
    }
    try {
        SetResultsWidth(key().ReadInteger(u"Width"));
    } catch (const std::exception&) {
        SetResultsWidth(1024);
    }
    try {
        ScrapeInterval = ClampInterval(key().ReadInteger(u"Timer"));
        btnTimer->SetCaption(u"Timer (" + IntToStr(ScrapeInterval) + u")");
    } catch (const std::exception&) {
        ScrapeInterval = 3;
    }
    // A width stored on a wider screen must not squeeze the browser out.
    FitResultsPanel();
}

void TfrmMyBrowser::SetInterfaceAndWidth()
{
    try {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        if (!reg.OpenKey(SettingsKey, false))
            return;
        if (TStyleManager::ActiveStyle())
            reg.WriteString(u"Interface", TStyleManager::ActiveStyle()->GetName());
        reg.WriteInteger(u"Width", PageControl1->GetWidth());
        reg.WriteInteger(u"Timer", ScrapeInterval);
    } catch (const std::exception&) {
    }
}

void TfrmMyBrowser::RestoreSplitter()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(SettingsKey, false))
        return;
    bool down = false;
    try {
        down = reg.ReadBool(u"SplitScreen");
    } catch (const std::exception&) {
    }
    tbSplitScreen->SetDown(down);
}

void TfrmMyBrowser::SaveSplitter()
{
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (reg.OpenKey(SettingsKey, true))
        reg.WriteBool(u"SplitScreen", tbSplitScreen->GetDown());
}

// ---- start page ----

String TfrmMyBrowser::LoadStartPageTemplate()
{
    TResourceStream stream(0, u"HomePage", RT_RCDATA);
    TStringList lines;
    lines.LoadFromStream(stream);
    String text = lines.GetText();
    // GetText ends with a line break after the last line; the template's
    // text is the lines joined.
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, u"\r\n") == 0)
        text.resize(text.size() - 2);
    const std::pair<String, String> placeholders[] = {
        { u"$yp$", u"yellow pages (AU)" },
        { u"$versionyp$", u"AU-YP" },
        { u"$webyp$", DirectorySearchAddress() },
        { u"$ver$", VersionText() },
    };
    for (const auto& [from, to] : placeholders)
        text = StringReplace(text, from, to, rfReplaceAll);
    return text;
}

String TfrmMyBrowser::GetHTMLstarter()
{
    try {
        String page = LoadStartPageTemplate();
        edURL->SetText(DirectorySiteRoot() + u"/");
        return page;
    } catch (const std::exception&) {
        return String();
    }
}

void TfrmMyBrowser::QTXStartPage1Click(TObject*)
{
    try {
        if (Browser) {
            Browser->Navigate(u"_blank");
            Browser->LoadHTML(u"Starting page is loading...");
        }
        PlainPause(1000);
        edURL->SetText(DirectorySiteRoot() + u"/");
        if (Browser)
            Browser->LoadHTML(Browser->GetfStartPage());
    } catch (const std::exception&) {
    }
}

// ---- version and update checks ----

void TfrmMyBrowser::wbdataData(TWebData*, int, const String& data)
{
    LatestVersionDate = data;
}

String TfrmMyBrowser::HTTPGetText(const String& url)
{
    struct Handles {
        net::HINTERNET session { nullptr };
        net::HINTERNET request { nullptr };
        ~Handles()
        {
            if (request)
                net::InternetCloseHandle(request);
            if (session)
                net::InternetCloseHandle(session);
        }
    } h;
    h.session = net::InternetOpen(u"Quarrytide", net::INTERNET_OPEN_TYPE_PRECONFIG);
    if (!h.session)
        throw net::ENetError(u"Cannot get " + url + u": " + net::InternetLastErrorText());
    net::InternetSetOption(h.session, net::INTERNET_OPTION_CONNECT_TIMEOUT, CheckConnectTimeoutMs);
    net::InternetSetOption(h.session, net::INTERNET_OPTION_RECEIVE_TIMEOUT, CheckReceiveTimeoutMs);
    h.request = net::InternetOpenUrl(h.session, url, {}, net::INTERNET_FLAG_RELOAD | net::INTERNET_FLAG_NO_CACHE_WRITE);
    if (!h.request)
        throw net::ENetError(u"Cannot get " + url + u": " + net::InternetLastErrorText());
    std::string body;
    char block[16384];
    for (;;) {
        DWORD n = 0;
        if (!net::InternetReadFile(h.request, block, sizeof block, &n))
            throw net::ENetError(u"Cannot get " + url + u": " + net::InternetLastErrorText());
        if (n == 0)
            break;
        body.append(block, n);
    }
    String contentType;
    net::HttpQueryInfo(h.request, net::HTTP_QUERY_CONTENT_TYPE, contentType);
    return DecodeBody(body, CharsetOf(StringToUtf8(contentType)));
}

void TfrmMyBrowser::CheckForNewerVersion()
{
    const String programDate = ProgramFileDate();
    try {
        LatestVersionDate = HTTPGetText(MakerSiteRoot() + u"/files/fdate.php?svyp=AU-YP");
    } catch (const std::exception&) {
    }
    try {
        if (StrToInt(Trim(LatestVersionDate)) > StrToInt(programDate)) {
            ShowMessage(u"A newer version dated " + LatestVersionDate + u" is available online."
                + u" We recommend downloading this new version from " + HostOf(MakerSiteRoot())
                + u" at your earliest convenience!");
            ShellOpen(MakerSiteRoot() + u"/download.php");
        }
    } catch (const std::exception&) {
    }
}
