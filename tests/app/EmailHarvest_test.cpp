#include "app/EmailHarvest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "app/YellowPagesAUentry.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/FileUtils.h"
#include "platform/rtl/SysUtils.h"
#include "tests/support/ClosedPort.h"
#include "tests/support/Fixtures.h"
#include "tests/support/HttpServer.h"

namespace {

namespace fs = std::filesystem;
using testsupport::HttpRequest;
using testsupport::HttpResponse;

std::string FixtureBytes(const std::string& name)
{
    std::ifstream in(testsupport::FixturesDir() / "harvest" / name, std::ios::binary);
    EXPECT_TRUE(in.is_open()) << name;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

testsupport::HttpServer& Site()
{
    static testsupport::HttpServer server;
    return server;
}

void ServeFixture(const std::string& path, const std::string& file)
{
    Site().Route(path, [file](const HttpRequest&) {
        HttpResponse r;
        r.Body = FixtureBytes(file);
        return r;
    });
}

void ServeBody(const std::string& path, std::string body, long cutAfter = -1)
{
    Site().Route(path, [body = std::move(body), cutAfter](const HttpRequest&) {
        HttpResponse r;
        r.Body = body;
        r.CutAfterBytes = cutAfter;
        return r;
    });
}

// The listing links of the cards are made absolute with the directory's site
// root, read once per process: point it at the local server before any test
// can read it.
const bool SiteRootIsLocal = [] {
    ::setenv("QUARRYTIDE_SITE_ROOTS", ("directory=" + Site().BaseUrl()).c_str(), 1);
    ServeFixture("/acme", "site.html");
    ServeFixture("/acme/contact/", "contact.html");
    ServeFixture("/vic/richmond/acme-15467890-listing.html", "listing.html");
    ServeFixture("/shop//contact/", "contact.html"); // "/shop/" itself is missing
    ServeFixture("/nsw/the-rocks/cafe-du-port-777-listing.html", "latin1.html");
    return true;
}();

String Url(const std::string& path) { return Utf8ToString(Site().BaseUrl() + path); }

String Card(const std::string& name, const std::string& website = {})
{
    std::string text = FixtureBytes(name);
    if (size_t at = text.find("{WEBSITE}"); at != std::string::npos)
        text.replace(at, 9, website);
    return Utf8ToString(text);
}

// A pop-up that writes down what it is told.
struct PopupLog {
    std::vector<std::string> Calls;
    int Alive { 0 };
};

class RecordingPopup final : public IStatusPopup {
public:
    explicit RecordingPopup(PopupLog& log) : m_log(log) { ++m_log.Alive; }
    ~RecordingPopup() override { --m_log.Alive; }
    void SetTitle(const String& t) override { Note("title", t); }
    void SetMessages(const String& t) override { Note("messages", t); }
    void SetURL(const String& t) override { Note("url", t); }
    void SetEmails(const String& t) override { Note("emails", t); }
    void Show() override { Note("show", {}); }
    void Hide() override { Note("hide", {}); }

private:
    void Note(const char* what, const String& text) { m_log.Calls.push_back(what + (":" + StringToUtf8(text))); }
    PopupLog& m_log;
};

TStatusPopupFactory RecordingFactory(PopupLog& log)
{
    return [&log] { return std::make_unique<RecordingPopup>(log); };
}

std::vector<std::string> PathsSince(size_t start)
{
    std::vector<std::string> all = Site().RequestedPaths();
    return { all.begin() + std::ptrdiff_t(std::min(start, all.size())), all.end() };
}

// Field 3 of a result line whose fields hold no quotes.
String EmailField(const String& line)
{
    size_t at = 0;
    for (int i = 0; i < 2; ++i)
        at = line.find(u"\",\"", at) + 3;
    return line.substr(at, line.find(u'"', at) - at);
}

} // namespace

TEST(EmailHarvest, ExtractAllEmailsTakesEveryAddressButImageNames)
{
    struct Case {
        const char* name;
        String text;
        String all;
        String first;
    } const cases[] = {
        { "in order, duplicates kept", u"<a href=\"mailto:a.b@x.example\">a.b@x.example</a>, c_d-e@mail.co.uk;",
          u"a.b@x.example\r\na.b@x.example\r\nc_d-e@mail.co.uk\r\n", u"a.b@x.example" },
        { "image names and builder ids skipped", u"logo@2x.png photo@3x.jpg id@wixpress.com ok@x.example",
          u"ok@x.example\r\n", u"logo@2x.png" },
        { "the skip is case-sensitive", u"logo@2x.PNG Big@x.JPG", u"logo@2x.PNG\r\nBig@x.JPG\r\n", u"logo@2x.PNG" },
        { "no dot after the at sign", u"user@localhost and @x.example", u"", u"" },
        { "nothing", u"", u"", u"" },
        { "letters outside ASCII end an address", u"jos\u00E9@caf\u00E9.example", u"", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(StringToUtf8(ExtractAllEmails(c.text)), StringToUtf8(c.all));
        EXPECT_EQ(StringToUtf8(ExtractFirstEmail(c.text)), StringToUtf8(c.first));
    }
}

TEST(EmailHarvest, APageTooComplexForTheMatcherEndsItsSearchQuietly)
{
    // The repeated group needs backtracking state per repetition; this run
    // exceeds the matcher's budget on the second address.
    String page = u"first@x.example a@b";
    for (int i = 0; i < 1500000; ++i)
        page += u".c";
    page += u" last@x.example";
    String found;
    ASSERT_NO_THROW(found = ExtractAllEmails(page));
    EXPECT_EQ(found, u"first@x.example\r\n");
    EXPECT_EQ(ExtractFirstEmail(page), u"first@x.example");
}

TEST(EmailHarvest, DedupesOutSortsAndDropsCaseVariants)
{
    struct Case {
        const char* name;
        String s;
        String result;
        int count;
    } const cases[] = {
        { "first spelling stays", u"Info@Acme.example,\r\ninfo@acme.example\r\nINFO@ACME.EXAMPLE\r\n",
          u"Info@Acme.example", 1 },
        { "sorted ignoring case", u"zed@x.example\r\nAnna@x.example\r\nbob@x.example\r\n",
          u"Anna@x.example,bob@x.example,zed@x.example", 3 },
        { "only address-shaped runs", u"Cannot download page\r\n, ,x@y.example,,\r\n\"q@r.example\"",
          u"q@r.example,x@y.example", 2 },
        // The locale-aware compare must not treat punctuation as ignorable.
        { "punctuation keeps addresses apart", u"ab@x.example a.b@x.example a-b@x.example a_b@x.example",
          u"a_b@x.example,a-b@x.example,a.b@x.example,ab@x.example", 4 },
        { "a one-letter ending is no address", u"a@b.c", u"", 0 },
        { "nothing", u"", u"", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TYellowPagesAUentry e(u"");
        e.SetfNbEmails(99);
        EXPECT_EQ(StringToUtf8(e.DedupesOut(c.s)), StringToUtf8(c.result));
        EXPECT_EQ(e.GetfNbEmails(), c.count);
    }

    // The count is not cut to eight bits.
    String many;
    for (int i = 0; i < 300; ++i)
        many += u"user" + IntToStr(i) + u"@x.example\r\n";
    TYellowPagesAUentry e(u"");
    String joined = e.DedupesOut(many);
    EXPECT_EQ(e.GetfNbEmails(), 300);
    EXPECT_EQ(std::count(joined.begin(), joined.end(), u','), 299);
}

TEST(EmailHarvest, DownloadPageToTempFile)
{
    ServeBody("/lines", "one\ntwo\r\nthree\rfour");
    ServeBody("/bom", "\xEF\xBB\xBFhello");
    ServeBody("/empty", "");
    ServeBody("/cut", std::string(5000, 'x'), 100);
    const String cannot = CannotDownloadPage;
    testsupport::ClosedPort closed;
    struct Case {
        String url;
        String text;
    } const cases[] = {
        { Url("/lines"), u"one\r\ntwo\r\nthree\r\nfour\r\n" },
        { Url("/bom"), u"hello\r\n" },
        { Url("/empty"), u"" },
        // Bytes that are not UTF-8 are kept as replacement characters.
        { Url("/nsw/the-rocks/cafe-du-port-777-listing.html"),
          u"Caf\uFFFD du Port\r\nContact: bob@cafe-du-port.example\r\n\uFFFD\uFFFD end\r\n" },
        { Url("/missing"), cannot },
        { Url("/cut"), cannot },
        { u"file:///etc/hostname", cannot },
        { u"ftp://127.0.0.1/x", cannot },
        { u"", cannot },
        { Utf8ToString(closed.BaseUrl() + "/"), cannot }, // refuses every connection
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.url));
        EXPECT_EQ(StringToUtf8(DownloadPageToTempFile(c.url)), StringToUtf8(c.text));
    }
}

TEST(EmailHarvest, DownloadLeavesNoFileAndFollowsNoPlantedLink)
{
    testsupport::TempDir shared;
    const char* oldTmp = std::getenv("TMPDIR");
    const std::string savedTmp = oldTmp ? oldTmp : "";
    ::setenv("TMPDIR", shared.path().c_str(), 1);

    // Someone else's link where a fixed download name would be.
    const fs::path victim = shared / "victim.txt";
    std::ofstream(victim) << "keep";
    fs::create_symlink(victim, shared / "VantrelTempFile.htm");

    // The private folder the download file goes to.
    const String probe = CreateTempFile(u"probe");
    const fs::path privateDir = fs::path(StringToUtf8(probe)).parent_path();
    DeleteFile(probe);

    EXPECT_NE(DownloadPageToTempFile(Url("/acme")), CannotDownloadPage);
    EXPECT_EQ(DownloadPageToTempFile(Url("/cut")), CannotDownloadPage);

    std::ifstream in(victim);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), "keep");
    EXPECT_TRUE(fs::is_empty(privateDir));
    for (const auto& entry : fs::directory_iterator(shared.path()))
        EXPECT_TRUE(entry.path() == victim || entry.path() == shared / "VantrelTempFile.htm"
                    || entry.path() == privateDir)
            << entry.path();

    if (oldTmp)
        ::setenv("TMPDIR", savedTmp.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST(EmailHarvest, ExecuteHarvestsTheSiteItsContactPageAndTheListing)
{
    ASSERT_TRUE(SiteRootIsLocal);
    const std::string base = Site().BaseUrl();
    struct Case {
        const char* name;
        std::string card;
        std::string website;
        std::vector<std::string> paths; // requested, in order
        String email;
        int count;
    } const cases[] = {
        { "all three pages; case variants and image names dropped", "card.txt", base + "/acme",
          { "/acme", "/acme/contact/", "/vic/richmond/acme-15467890-listing.html" },
          u"Info@Acme.example,listing@acme.example,Primary@Acme.example,sales@acme.example", 4 },
        // The site itself fails (no message, the harvest goes on); its
        // address ends in "/", so the contact page has a doubled slash.
        { "failing site, doubled slash", "card.txt", base + "/shop/",
          { "/shop/", "/shop//contact/", "/vic/richmond/acme-15467890-listing.html" },
          u"info@acme.example,listing@acme.example,Primary@Acme.example", 3 },
        // No web site: the listing page alone, a Latin-1 page.
        { "no web site", "card_nosite.txt", "", { "/nsw/the-rocks/cafe-du-port-777-listing.html" },
          u"bob@cafe-du-port.example", 1 },
    };
    PopupLog log;
    InstallEmailHarvest(RecordingFactory(log));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = Site().RequestedPaths().size();
        log.Calls.clear();
        TYellowPagesAUentry entry(Card(c.card, c.website));
        entry.SetfObjectDoesEmails(true);
        entry.SetfAllEmails(u"999=other@x.example\r\n15467890=Primary@Acme.example\r\n");
        entry.Execute();
        EXPECT_EQ(PathsSince(before), c.paths);
        EXPECT_EQ(StringToUtf8(entry.GetfEmail()), StringToUtf8(c.email));
        EXPECT_EQ(entry.GetfNbEmails(), c.count);
        EXPECT_EQ(StringToUtf8(EmailField(entry.GetResultLine())), StringToUtf8(c.email));
        EXPECT_EQ(log.Alive, 0);
    }
    TYellowPagesAUentry::SetEmailHarvester(nullptr);
    TYellowPagesAUentry::SetFirstEmailExtractor(nullptr);

    // What the pop-up of the last card was told, in order.
    const std::string listing = base + "/nsw/the-rocks/cafe-du-port-777-listing.html";
    EXPECT_EQ(log.Calls, (std::vector<std::string> {
                            "title:QTX url central", "url:Analyzing page data...", "show:",
                            "title:Data tunnels", "messages:Data tunnel #1.\rPlease be patient!",
                            "url:Now visiting: \r", "emails:",
                            "messages:Data tunnel #2.\rPlease be more patient!", "url:Now visiting: \r", "emails:",
                            "messages:Data tunnel #3.\rPlease be even more patient...\rGo have a cup of coffee!",
                            "url:Now visiting: \r" + listing }));
}

TEST(EmailHarvest, PopupIsFreedWhenAStepRaises)
{
    struct Failing final : IStatusPopup {
        explicit Failing(int& alive) : m_alive(alive) { ++m_alive; }
        ~Failing() override { --m_alive; }
        void SetTitle(const String&) override { }
        void SetMessages(const String&) override { }
        void SetURL(const String&) override { }
        void SetEmails(const String&) override { throw EInOutError(u"gone"); }
        void Show() override { }
        void Hide() override { }
        int& m_alive;
    };
    int alive = 0;
    TYellowPagesAUentry entry(u"");
    entry.SetfHTTP(Url("/acme"));
    EXPECT_THROW(HarvestEmails(entry, [&] { return std::make_unique<Failing>(alive); }), EInOutError);
    EXPECT_EQ(alive, 0);
}

TEST(EmailHarvest, GetEmailQuickTakesTheListingPagesFirstAddress)
{
    InstallEmailHarvest();
    TYellowPagesAUentry entry(u"");
    entry.SetfHTTP_AU(Url("/vic/richmond/acme-15467890-listing.html"));
    entry.GetEmailQuick();
    EXPECT_EQ(entry.GetfEmail(), u"listing@acme.example");
    TYellowPagesAUentry::SetEmailHarvester(nullptr);
    TYellowPagesAUentry::SetFirstEmailExtractor(nullptr);
}
