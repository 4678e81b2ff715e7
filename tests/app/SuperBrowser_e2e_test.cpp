#include "app/SuperBrowser.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <iostream>
#include <thread>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/EmailHarvest.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/browser/LumWinWebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Memo.h"
#include "platform/win/Headless.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "tests/app/CrawlSite.h"
#include "tests/support/ClosedPort.h"
#include "tests/support/Fixtures.h"

using namespace crawltest;
using testsupport::HttpRequest;
using testsupport::HttpResponse;

namespace {

const String Placeholder = u"Scraping results, one page at a time...";

String Quoted(std::initializer_list<String> fields)
{
    String line;
    for (const String& f : fields)
        line += (line.empty() ? u"\"" : u",\"") + f + u"\"";
    return line;
}

String Base()
{
    return DirectorySiteRoot();
}

String TwoDigits(int k)
{
    return (k < 10 ? u"0" : u"") + IntToStr(k);
}

// Card k of the regular result page p (see tests/fixtures/directory_site).
String RegularLine(int p, int k)
{
    const String kk = TwoDigits(k);
    const String id = IntToStr(p * 1000 + k);
    const String street = IntToStr(k + 1) + u" George St";
    return Quoted({ u"Harbour Plumbing P" + IntToStr(p) + u"-" + kk, u"\u00a0(02) 9" + IntToStr(p) + u"00 00" + kk, u"",
        street, u"2000", u"Sydney", u"Sydney", u"NSW", street + u", Sydney, NSW 2000", u"Plumbers",
        Base() + u"/sites/p" + IntToStr(p) + u"-" + kk, u"151.2" + kk, u"-33.8" + kk, u"",
        Base() + u"/find/sydney/harbour-plumbing-p" + IntToStr(p) + u"-" + kk + u"-" + id + u"-listing.html" });
}

std::vector<String> Lines(TMemo* memo)
{
    return LinesOf(memo->GetLines());
}

// A result page with one card, "<name> Co", whose "Next" link leads to `next`.
std::string OneCardPage(const std::string& name, const std::string& next, const std::string& script = {})
{
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + name + "</title></head><body>"
           "<div class=\"MuiPaper-root MuiPaper-rounded MuiCard-root\"><div class=\"MuiCardContent-root\">"
           "<a class=\"MuiTypography-root MuiLink-root\" href=\"/find/hobart/" + name + "-5001-listing.html\">"
           "<h3 class=\"MuiTypography-root MuiTypography-h3\">" + name + " Co</h3></a>"
           "<span class=\"MuiTypography-root MuiTypography-subtitle2\">Painters</span>"
           "<div class=\"MuiBox-root\">1 Elizabeth St, Hobart, TAS 7000</div></div></div>"
           "<nav><a class=\"MuiButtonBase-root MuiButton-root MuiButton-outlined\" href=\"" + next + "\">Next</a></nav>"
        + script + "</body></html>";
}

HttpResponse Html(const std::string& body)
{
    HttpResponse r;
    r.Body = body;
    return r;
}

// Routes "/search/failing/<name>" to a one-card page whose next page,
// "//search/failing/<name>/page-2" as the crawl asks for it, answers with
// `next`; answers the address the crawl will report.
String RouteFailingSite(const std::string& name, std::function<HttpResponse(const HttpRequest&)> next,
    const std::string& script = {})
{
    const std::string path = "/search/failing/" + name;
    DirectorySite().Route(path, [=](const HttpRequest&) { return Html(OneCardPage(name, path + "/page-2", script)); });
    DirectorySite().Route("/" + path + "/page-2", std::move(next));
    return DirectorySiteRoot() + u"//search/failing/" + Utf8ToString(name) + u"/page-2";
}

class SuperBrowserE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallCrawlServices();
        form = new TCrawlTestForm(Application, cache.path());
        Application->SetMainForm(form);
        form->Show();
        EmailBadge = form->Badge;
        TotalEmails = 0;
        ASSERT_TRUE(PumpUntil([&] { return form->Browser->GetInitialized(); })) << "the browser did not start";
    }

    void TearDown() override
    {
        EmailBadge = nullptr;
        Application->SetMainForm(nullptr);
        delete form;
        UnregisterLumWinWebBrowserService();
    }

    // Opens a result page of the site and waits until it is loaded.
    void Open(const String& path) { ASSERT_TRUE(OpenAndWait(form->Browser, Base() + path)) << StringToUtf8(path); }

    // What the capture command does before it starts the crawl.
    void Crawl(bool emails)
    {
        TSuperBrowser* b = form->Browser;
        b->SetfTimer(0);
        b->SetbStop(false);
        b->SetbComplete(false);
        b->ClearCrawlFailure();
        b->SetfDoEmails(emails);
        b->StartParsingAUYP();
    }

    testsupport::TempDir cache;
    THeadlessSession session;
    TCrawlTestForm* form { nullptr };
};

TEST_F(SuperBrowserE2E, PlainCaptureOverThreePages)
{
    Open(u"/search/plumbers/sydney");
    // Where the stack stands when the first line of each page arrives: the
    // crawl goes one call level deeper per page, by the same amount each time.
    std::vector<std::uintptr_t> depth;
    form->Memo->OnChange = [&](TObject*) {
        const int count = form->Memo->GetLines()->GetCount();
        if (count == 1 + 1 || count == 1 + 20 + 1 || count == 1 + 20 + 40 + 1) {
            volatile char here = 0;
            depth.push_back(reinterpret_cast<std::uintptr_t>(&here));
        }
    };
    Crawl(false);
    form->Memo->OnChange = nullptr;
    ASSERT_EQ(depth.size(), 3u);
    const std::uintptr_t perPage = depth[0] - depth[1];
    EXPECT_EQ(depth[1] - depth[2], perPage);
    std::cout << "stack per result page: " << perPage << " bytes\n";
    // A default 8 MB stack holds the deepest crawl a user would run.
    EXPECT_LT(perPage * 2000, 8u * 1024 * 1024);
    // The memo shows the last line from its start, not its tail.
    {
        TMemo* memo = form->Memo;
        const LRESULT start = memo->Perform(EM_LINEINDEX, WPARAM(memo->GetLines()->GetCount() - 1));
        const LRESULT at = memo->Perform(EM_POSFROMCHAR, WPARAM(start));
        const int x = std::int16_t(LOWORD(at)), y = std::int16_t(HIWORD(at));
        EXPECT_GE(x, 0);
        EXPECT_LT(x, 10);
        EXPECT_GE(y, 0);
        EXPECT_LT(y, memo->GetClientHeight());
    }

    std::vector<String> expected { Placeholder };
    for (int k = 19; k >= 0; --k)
        expected.push_back(RegularLine(1, k));
    // Only the first 40 of the 45 cards of the second page are read.
    for (int k = 39; k >= 0; --k)
        expected.push_back(RegularLine(2, k));
    // Page 3, last card first: a card equal to card 3 of page 1 but for
    // letter case adds nothing; a card without a phone keeps the blank;
    // "&amp;" and "\u002F" are decoded; the summary wins over the subtitle.
    expected.push_back(Quoted({ u"Quiet Pipes", u"\u00a0", u"", u"7 Pitt St", u"2000", u"Sydney", u"Sydney", u"NSW",
        u"7 Pitt St, Sydney, NSW 2000", u"Gas fitters", u"", u"151.2080", u"-33.8650", u"",
        Base() + u"/find/sydney/quiet-pipes-3002-listing.html" }));
    expected.push_back(Quoted({ u"Acme & Sons Plumbing", u"\u00a002 9876 5432", u"", u"12 Smith St", u"2000", u"Sydney",
        u"Surry Hills", u"NSW", u"12 Smith St, Sydney, NSW 2000", u"Blocked drains / hot water", Base() + u"/sites/acme",
        u"151.2100", u"-33.8850", u"", Base() + u"/find/sydney/acme-sons-plumbing-3001-listing.html" }));

    const std::vector<String> lines = Lines(form->Memo);
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(StringToUtf8(lines[i]), StringToUtf8(expected[i]));
    }
    // Both forms of the next-page address were followed, each once.
    EXPECT_EQ(RequestCount("//search/plumbers/sydney?pageNumber=2"), 1);
    EXPECT_EQ(RequestCount("//search/plumbers/sydney/page-3"), 1);
    EXPECT_EQ(form->Browser->GetsPageNumber(), u"3");
    EXPECT_TRUE(form->Browser->GetbStop());
    EXPECT_EQ(form->GetCaption(), u"No more data to collect!");
    EXPECT_EQ(form->Browser->GetCrawlFailure(), u"");
    EXPECT_EQ(form->Badge->GetCaption(), u"Emails: 0");
    EXPECT_EQ(TotalEmails, 0);
}

TEST_F(SuperBrowserE2E, EmailCaptureHarvestsAndPairsEachRecordOnItsOwn)
{
    Open(u"/search/electricians/melbourne");
    Crawl(true);

    // The record without an address gives no pair and takes none of the
    // record after it on the same line.
    EXPECT_EQ(form->Browser->GetfListingEmails()->GetText(),
        u"2002=office@brightspark.example.com\r\n2003=admin@wires.example.com\r\n");
    // Field 3: the page's pair, the site, its "//contact/" page and the
    // listing page, without case duplicates and image names.
    struct Expect {
        const char16_t* name;
        const char16_t* emails;
    } const expect[] = {
        { u"Wires R Us", u"admin@wires.example.com,jobs@wires.example.com" },
        { u"Bright Spark Electrical", u"office@brightspark.example.com,sales@brightspark.example.com" },
        { u"Voltage Works", u"hello@voltage.example.com" },
    };
    const std::vector<String> lines = Lines(form->Memo);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], Placeholder);
    for (std::size_t i = 0; i < std::size(expect); ++i) {
        SCOPED_TRACE(StringToUtf8(expect[i].name));
        const String& line = lines[i + 1];
        EXPECT_EQ(line.find(String(u"\"") + expect[i].name + u"\","), 0u) << StringToUtf8(line);
        EXPECT_NE(line.find(String(u"\",\"") + expect[i].emails + u"\",\""), String::npos) << StringToUtf8(line);
    }
    EXPECT_GE(RequestCount("/sites/brightspark//contact/"), 1);
    EXPECT_EQ(TotalEmails, 5);
    EXPECT_EQ(form->Badge->GetCaption(), u"Emails: 5");
    EXPECT_EQ(form->GetCaption(), u"No more data to collect!");
}

TEST_F(SuperBrowserE2E, StopDuringTheSecondPageUnwindsAndKeepsTheLines)
{
    Open(u"/search/plumbers/sydney");
    const int pageThreeBefore = RequestCount("//search/plumbers/sydney/page-3");
    // The third line of the second page "presses STOP": the press is handled
    // inside the crawl's next message pumping, as a click would be.
    form->Memo->OnChange = [&](TObject*) {
        if (form->Memo->GetLines()->GetCount() == 1 + 20 + 3)
            QueueToMainThread([b = form->Browser] {
                b->SetbStop(true);
                b->StopLoading();
            });
    };
    Crawl(false);
    form->Memo->OnChange = nullptr;

    const std::vector<String> lines = Lines(form->Memo);
    ASSERT_EQ(lines.size(), 1u + 20 + 3);
    EXPECT_EQ(lines[1], RegularLine(1, 19));
    EXPECT_EQ(lines[20], RegularLine(1, 0));
    EXPECT_EQ(lines[21], RegularLine(2, 39));
    EXPECT_EQ(lines[23], RegularLine(2, 37));
    EXPECT_EQ(RequestCount("//search/plumbers/sydney/page-3"), pageThreeBefore);
    EXPECT_TRUE(form->Browser->GetbStop());
    EXPECT_EQ(form->GetCaption(), u"crawl test");

    // A crawl started with the flag still set ends at once.
    form->Browser->StartParsingAUYP();
    EXPECT_EQ(form->GetCaption(), u" STOP pressed! Process Complete...");
    EXPECT_EQ(Lines(form->Memo).size(), lines.size());
}

TEST_F(SuperBrowserE2E, NextLinkWithStrayPercentLeadsToAPageWithoutCards)
{
    Open(u"/search/roofers/perth");
    Crawl(false);

    const std::vector<String> lines = Lines(form->Memo);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 15), u"\"Perth Roof Co\"");
    EXPECT_EQ(RequestCount("//search/roofers/perth/page-2"), 1);
    EXPECT_EQ(form->Browser->GetsPageNumber(), u"2");
    EXPECT_EQ(form->GetCaption(), u"No more data to collect!");
}

TEST_F(SuperBrowserE2E, ANextPageThatCannotBeLoadedEndsTheCrawlAndSaysWhy)
{
    testsupport::ClosedPort closed;
    auto redirectTo = [](const std::string& address) {
        return [address](const HttpRequest&) {
            HttpResponse r;
            r.Status = 302;
            r.Headers.push_back({ "Location", address });
            return r;
        };
    };
    struct Case {
        std::string name;
        std::function<HttpResponse(const HttpRequest&)> next;
        String reason;
    };
    const Case cases[] = {
        { "status", [](const HttpRequest&) {
             HttpResponse r;
             r.Status = 404;
             r.Body = "<title>gone</title>no such page";
             return r;
         }, u"HTTP status 404" },
        { "host", redirectTo("http://unknown-host.invalid/search/failing/host/page-2"), u"the host name is unknown" },
        { "refused", redirectTo(closed.BaseUrl() + "/search/failing/refused/page-2"), u"the connection was refused" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const String next = RouteFailingSite(c.name, c.next);
        Open(Utf8ToString("/search/failing/" + c.name));
        form->Memo->GetLines()->Clear();
        Crawl(false);

        const String failure = u"The next page could not be loaded: " + next + u" (" + c.reason + u")";
        EXPECT_EQ(StringToUtf8(form->Browser->GetCrawlFailure()), StringToUtf8(failure));
        EXPECT_EQ(form->GetCaption(), failure);
        EXPECT_TRUE(form->Browser->GetbStop());
        // The page read before the failure keeps its line.
        const std::vector<String> lines = Lines(form->Memo);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].substr(0, c.name.size() + 5), u"\"" + Utf8ToString(c.name) + u" Co\"");
    }
}

TEST_F(SuperBrowserE2E, APageThatDoesNotAnswerEndsTheCrawlAtTheLimit)
{
    struct LimitGuard {
        unsigned saved { TSuperBrowser::AnswerLimitMs };
        ~LimitGuard() { TSuperBrowser::AnswerLimitMs = saved; }
    } guard;
    // A short limit for the wait that must end at it; the waits before it
    // (the first page's scripts) keep a limit no loaded machine reaches.
    const unsigned generous = unsigned(std::chrono::milliseconds(testsupport::EventLimit).count());
    struct Case {
        std::string name;
        std::function<HttpResponse(const HttpRequest&)> next;
        // Run by the first page once it has loaded.
        std::string script;
        bool pageRead;
        unsigned limitAtStart;
    };
    const Case cases[] = {
        // The server takes the request of the next page and never answers.
        // The short limit applies from that request on.
        { "silent", [](const HttpRequest&) {
             QueueToMainThread([] { TSuperBrowser::AnswerLimitMs = 8000; });
             HttpResponse r;
             r.DelayMs = 10 * 60 * 1000;
             return r;
         }, "", true, generous },
        // The page itself stops answering scripts.
        { "busy", [](const HttpRequest&) { return Html("<p>never reached</p>"); },
            "<script>addEventListener('load',function(){setTimeout(function(){for(;;){}},0);});</script>", false, 8000 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TSuperBrowser::AnswerLimitMs = c.limitAtStart;
        const String next = RouteFailingSite(c.name, c.next, c.script);
        Open(Utf8ToString("/search/failing/" + c.name));
        form->Memo->GetLines()->Clear();
        Crawl(false);

        const String failure = c.pageRead
            ? u"The next page could not be loaded: " + next + u" (no answer within 8 seconds)"
            : u"The page did not answer within 8 seconds: " + Base() + Utf8ToString("/search/failing/" + c.name);
        EXPECT_EQ(StringToUtf8(form->Browser->GetCrawlFailure()), StringToUtf8(failure));
        EXPECT_TRUE(form->Browser->GetbStop());
        EXPECT_EQ(Lines(form->Memo).size(), c.pageRead ? 1u : 0u);
    }
}

} // namespace

namespace {

TEST_F(SuperBrowserE2E, AServerThatIgnoresThePageNumberEndsTheCrawlAfterOneRepeat)
{
    // Every page number gives the first page again, with its own "Next".
    const std::string path = "/search/static/site";
    auto page = [=](const HttpRequest&) { return Html(OneCardPage("static", path + "?pageNumber=2")); };
    DirectorySite().Route(path, page);
    DirectorySite().Route("/" + path, page);
    Open(Utf8ToString(path));
    form->Memo->GetLines()->Clear();
    Crawl(false);

    const String again = Base() + u"/" + Utf8ToString(path) + u"?pageNumber=2";
    EXPECT_EQ(StringToUtf8(form->Browser->GetCrawlFailure()),
        StringToUtf8(u"The next page could not be loaded: " + again + u" (it is the page just read)"));
    EXPECT_EQ(Lines(form->Memo).size(), 1u);
    EXPECT_EQ(RequestCount("/" + path + "?pageNumber=2"), 1);
}

} // namespace
