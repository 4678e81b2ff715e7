#include "app/SuperBrowser.h"

#include <gtest/gtest.h>

#include <chrono>
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
#include "tests/support/Fixtures.h"

using namespace crawltest;

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
    Crawl(false);

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

} // namespace
