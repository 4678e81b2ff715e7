// The crawl over the local directory site (three result pages: 20, 45 and 3
// cards) at interval 0, and the time it takes beyond the fixed sleeps the
// crawl makes between scripts and pages; then the same pages read by a bare
// loop over the web view, one evaluate per card index, so the crawl's
// overhead shows as a ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/SiteAddresses.h"
#include "app/browser/LumWinWebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Memo.h"
#include "platform/web/WebView.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"
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
        // Wakes as soon as an answer or event is queued.
        if (!done())
            WaitMessage(5);
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
        // The first page must have loaded (an earlier navigation cancelled
        // by this one completes too, unsuccessfully).
        if (!crawltest::OpenAndWait(form->Browser, DirectorySiteRoot() + Pages[0]))
            std::printf("capture: the first page did not load\n");
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
    view->NavigationCompleted.Add([&](CoreWebView2&, const NavigationCompletedEventArgs& a) { loaded = a.IsSuccess; });
    double total = 0;
    int cards = 0;
    for (const char16_t* page : Pages) {
        loaded = false;
        view->Navigate(DirectorySiteRoot() + page);
        Pump([&] { return loaded; });
        const auto t0 = Clock::now();
        int read = 0;
        for (int i = 39; i >= 0; --i) {
            bool done = false;
            view->ExecuteScript(u"(function(){var c=document.querySelectorAll('div[class*=\"MuiPaper-rounded\"]')["
                    + IntToStr(i) + u"]; return c ? c.innerText + c.innerHTML : null;})()",
                [&](HRESULT, const String& value) {
                    read += value != u"null";
                    done = true;
                });
            Pump([&] { return done; });
        }
        total += Ms(Clock::now() - t0);
        cards += read;
    }
    controller->Close();
    env->Close();
    CheckSynchronize();
    // The pages hold 20, 45 and 3 cards: 63 read (the second page's 40 first).
    if (cards != 20 + 40 + 3)
        std::printf("capture: the bare loop read %d cards\n", cards);
    return total / PageCount;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    SetMainThread();
    THeadlessSession session;
    InstallDeviceContextFactory();
    crawltest::DirectorySite();

    // The waits the crawl makes at interval 0: per page 100 ms before the
    // first script, 50 ms before each of the 40 card indexes and 1000 ms
    // after them; 200 + 1000 ms after each move to the next page; 50 ms
    // after each card that gave a line (the third page holds a duplicate,
    // which waits as well, so the cards with a line are 20 + 40 + 3).
    const int cardsWithLine = 20 + 40 + 3;
    const double waits = PageCount * (100 + 40 * 50 + 1000) + (PageCount - 1) * (200 + 1000) + cardsWithLine * 50;
    // Crawls and bare loops alternate; the medians are compared.
    constexpr int Rounds = 3;
    std::vector<double> crawls, beyond, bares;
    int lines = 0;
    for (int round = 0; round < Rounds; ++round) {
        const double crawl = CrawlOnce(lines);
        if (crawl < 0) {
            std::printf("capture: no browser could be started\n");
            return 0;
        }
        crawls.push_back(crawl);
        beyond.push_back((crawl - waits) / PageCount);
        const double bare = BareLoopPerPage();
        if (bare > 0)
            bares.push_back(bare);
    }

    std::printf("capture: %d pages, %d lines added, interval 0; medians of %d alternating rounds\n", PageCount, lines,
        Rounds);
    std::printf("  crawl total              %9.1f ms\n", Median(crawls));
    std::printf("  fixed waits              %9.1f ms\n", waits);
    std::printf("  beyond the waits         %9.1f ms/page\n", Median(beyond));
    if (bares.empty())
        std::printf("  bare evaluate loop       not measured\n");
    else
        std::printf("  bare evaluate loop       %9.1f ms/page (40 evaluates)\n  overhead ratio           %9.2fx\n",
            Median(bares), Median(beyond) / Median(bares));
    return 0;
}
