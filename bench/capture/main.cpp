// The crawl over the local directory site (three result pages: 20, 45 and 3
// cards) at interval 0, and the time it takes beyond the fixed sleeps the
// crawl makes between scripts and pages; then the same pages read by a bare
// loop over the web view, one evaluate per card index, so the crawl's
// overhead shows as a ratio.

#include <chrono>
#include <cstdio>
#include <functional>
#include <thread>

#include "app/CaptureGlobals.h"
#include "app/SiteAddresses.h"
#include "app/browser/LumWinWebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Memo.h"
#include "platform/web/WebView.h"
#include "platform/win/Headless.h"
#include "tests/app/CrawlSite.h"
#include "tests/support/Fixtures.h"

using Clock = std::chrono::steady_clock;
using namespace webview;

namespace {

const char16_t* const Pages[] = { u"/search/plumbers/sydney", u"//search/plumbers/sydney?pageNumber=2",
    u"//search/plumbers/sydney/page-3" };
constexpr int PageCount = 3;

bool Pump(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(60))
{
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        Application->ProcessMessages();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

double Ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// Milliseconds of the whole crawl, and the lines it added; -1 when the
// browser did not start.
double CrawlOnce(int& linesAdded)
{
    testsupport::TempDir cache;
    RegisterLumWinWebBrowserService();
    auto* form = new crawltest::TCrawlTestForm(Application, cache.path());
    Application->SetMainForm(form);
    EmailBadge = form->Badge;
    double ms = -1;
    if (Pump([&] { return form->Browser->GetInitialized(); })) {
        bool loaded = false;
        form->Browser->OnNavigateComplete = [&](TObject*, TLumCustomWebBrowserNavigateCompleteParams&) { loaded = true; };
        form->Browser->Navigate(DirectorySiteRoot() + Pages[0]);
        Pump([&] { return loaded; });
        form->Browser->OnNavigateComplete = nullptr;
        const int before = form->Memo->GetLines()->GetCount();
        form->Browser->SetfTimer(0);
        form->Browser->SetbStop(false);
        const auto t0 = Clock::now();
        form->Browser->StartParsingAUYP();
        ms = Ms(Clock::now() - t0);
        linesAdded = form->Memo->GetLines()->GetCount() - before;
    }
    EmailBadge = nullptr;
    Application->SetMainForm(nullptr);
    delete form;
    UnregisterLumWinWebBrowserService();
    return ms;
}

// Milliseconds per page of reading cards 39..0 with one evaluate each.
double BareLoopPerPage()
{
    std::shared_ptr<CoreWebView2Environment> env;
    bool created = false;
    CreateCoreWebView2EnvironmentWithOptions({}, {}, nullptr, [&](HRESULT, std::shared_ptr<CoreWebView2Environment> e) {
        env = e;
        created = true;
    });
    if (!Pump([&] { return created; }) || !env)
        return -1;
    std::shared_ptr<CoreWebView2Controller> controller;
    env->CreateCoreWebView2Controller(nullptr, [&](HRESULT, std::shared_ptr<CoreWebView2Controller> c) { controller = c; });
    if (!Pump([&] { return controller != nullptr; }))
        return -1;
    auto view = controller->GetCoreWebView2();
    bool loaded = false;
    view->NavigationCompleted.Add([&](CoreWebView2&, const NavigationCompletedEventArgs&) { loaded = true; });
    double total = 0;
    for (const char16_t* page : Pages) {
        loaded = false;
        view->Navigate(DirectorySiteRoot() + page);
        Pump([&] { return loaded; });
        const auto t0 = Clock::now();
        for (int i = 39; i >= 0; --i) {
            bool done = false;
            view->ExecuteScript(u"(function(){var c=document.querySelectorAll('div[class*=\"MuiPaper-rounded\"]')["
                    + IntToStr(i) + u"]; return c ? c.innerText + c.innerHTML : null;})()",
                [&](HRESULT, const String&) { done = true; });
            Pump([&] { return done; });
        }
        total += Ms(Clock::now() - t0);
    }
    controller->Close();
    env->Close();
    CheckSynchronize();
    return total / PageCount;
}

} // namespace

int main()
{
    SetMainThread();
    THeadlessSession session;
    InstallDeviceContextFactory();
    crawltest::DirectorySite();

    int lines = 0;
    const double crawl = CrawlOnce(lines);
    if (crawl < 0) {
        std::printf("capture: no browser could be started\n");
        return 0;
    }
    // The waits the crawl makes at interval 0: per page 100 ms before the
    // first script, 50 ms before each of the 40 card indexes and 1000 ms
    // after them; 200 + 1000 ms after each move to the next page; 50 ms
    // after each card that gave a line (the third page holds a duplicate,
    // which waits as well, so the cards with a line are 20 + 40 + 3).
    const int cardsWithLine = 20 + 40 + 3;
    const double waits = PageCount * (100 + 40 * 50 + 1000) + (PageCount - 1) * (200 + 1000) + cardsWithLine * 50;
    const double beyond = (crawl - waits) / PageCount;
    const double bare = BareLoopPerPage();

    std::printf("capture: %d pages, %d lines added, interval 0\n", PageCount, lines);
    std::printf("  crawl total              %9.1f ms\n", crawl);
    std::printf("  fixed waits              %9.1f ms\n", waits);
    std::printf("  beyond the waits         %9.1f ms/page\n", beyond);
    if (bare < 0)
        std::printf("  bare evaluate loop       not measured\n");
    else
        std::printf("  bare evaluate loop       %9.1f ms/page (40 evaluates)\n  overhead ratio           %9.2fx\n", bare,
            bare > 0 ? beyond / bare : 0.0);
    return 0;
}
