#include "tests/app/CrawlSite.h"

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "app/EmailHarvest.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/browser/LumWinWebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/Memo.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "tests/support/Fixtures.h"

namespace fs = std::filesystem;
using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::HttpServer;

namespace crawltest {

namespace {

std::string ReadFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to)
{
    for (auto at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

HttpResponse ResultPage(const fs::path& folder, const HttpRequest& request, const std::string& base)
{
    fs::path file = folder / "index.html";
    const std::string key = "pageNumber=";
    if (auto at = request.Query.find(key); at != std::string::npos) {
        std::string number;
        for (auto i = at + key.size(); i < request.Query.size() && std::isdigit((unsigned char)request.Query[i]); ++i)
            number += request.Query[i];
        file = folder / ("page-" + number) / "index.html";
    }
    HttpResponse response;
    if (!fs::exists(file)) {
        response.Status = 404;
        response.Body = "no such page";
        return response;
    }
    response.Body = ReadFile(file);
    ReplaceAll(response.Body, "{SITE}", base);
    return response;
}

// Every result page folder below search/ answers under its path with one or
// two leading slashes, with or without a trailing slash.
void RouteResultPages(HttpServer& server, const fs::path& root)
{
    const std::string base = server.BaseUrl();
    for (const auto& entry : fs::recursive_directory_iterator(root / "search")) {
        if (!entry.is_directory() || !fs::exists(entry.path() / "index.html"))
            continue;
        const std::string path = "/" + fs::relative(entry.path(), root).generic_string();
        auto handler = [folder = entry.path(), base](const HttpRequest& r) { return ResultPage(folder, r, base); };
        for (const std::string& p : { path, path + "/", "/" + path, "/" + path + "/" })
            server.Route(p, handler);
    }
}

} // namespace

HttpServer& DirectorySite()
{
    static std::unique_ptr<HttpServer> server;
    if (!server) {
        const fs::path root = testsupport::FixturesDir() / "directory_site";
        server = std::make_unique<HttpServer>(root);
        RouteResultPages(*server, root);
        // Read once, at the first use of the addresses: set it before.
        const std::string roots = "directory=" + server->BaseUrl() + ";welcome=" + server->BaseUrl() + "/";
        setenv("QUARRYTIDE_SITE_ROOTS", roots.c_str(), 1);
        if (DirectorySiteRoot() != Utf8ToString(server->BaseUrl()))
            ADD_FAILURE() << "the directory's address was read before the test site started";
    }
    return *server;
}

int RequestCount(const std::string& pathAndQuery)
{
    int n = 0;
    for (const std::string& p : DirectorySite().RequestedPaths())
        n += p == pathAndQuery;
    return n;
}

TCrawlTestForm::TCrawlTestForm(TComponent* AOwner, const fs::path& cacheFolder) : TForm(AOwner)
{
    SetCaption(u"crawl test");
    SetBounds(0, 0, 900, 700);
    Memo = new TMemo(this);
    Memo->SetParent(this);
    Memo->SetBounds(0, 0, 900, 150);
    // As the main window's results memo: long lines scroll sideways.
    Memo->SetWordWrap(false);
    Memo->SetScrollBars(ssBoth);
    Memo->GetLines()->Add(u"Scraping results, one page at a time...");
    Edit = new TEdit(this);
    Edit->SetParent(this);
    Edit->SetBounds(0, 150, 900, 24);
    Badge = new TLumSmoothStatusIndicator(this);
    Badge->SetParent(this);
    Badge->SetBounds(0, 176, 100, 24);
    Browser = new TSuperBrowser(this);
    Browser->SetCacheFolder(Utf8ToString(cacheFolder.string()));
    Browser->SetAttachedMemo(Memo);
    Browser->SetAttachedEdit(Edit);
    Browser->SetBounds(0, 200, 900, 500);
    Browser->SetParent(this); // starts the platform browser
}

void InstallCrawlServices()
{
    InstallDeviceContextFactory();
    DirectorySite();
    RegisterLumWinWebBrowserService();
    InstallEmailHarvest(SplashScreenFactory());
}

bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

bool OpenAndWait(TSuperBrowser* browser, const String& url)
{
    bool loaded = false;
    browser->OnNavigateComplete = [&](TObject*, TLumCustomWebBrowserNavigateCompleteParams& p) { loaded = p.Success; };
    browser->Navigate(url);
    const bool done = PumpUntil([&] { return loaded; });
    browser->OnNavigateComplete = nullptr;
    return done;
}

std::vector<String> LinesOf(TStrings* lines)
{
    std::vector<String> out;
    for (int i = 0; i < lines->GetCount(); ++i)
        out.push_back(lines->GetStrings(i));
    return out;
}

} // namespace crawltest
