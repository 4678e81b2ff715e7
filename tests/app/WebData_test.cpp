#include "app/WebData.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/rtl/MainThread.h"
#include "tests/support/ClosedPort.h"
#include "tests/support/HttpServer.h"

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::HttpServer;

namespace {

HttpResponse Page(std::string body, int status = 200)
{
    HttpResponse r;
    r.Status = status;
    r.Body = std::move(body);
    return r;
}

// A fetcher that records what its events report.
struct Recorder {
    TWebData web;
    std::vector<std::pair<int, String>> data;
    std::vector<std::pair<int, int>> errors;
    std::vector<int> progress;
    Recorder()
    {
        web.OnData = [this](TWebData*, int i, const String& d) { data.push_back({ i, d }); };
        web.OnCollectError = [this](TWebData*, int i, int code) { errors.push_back({ i, code }); };
        web.OnProgress = [this](TWebData*, int i) { progress.push_back(i); };
    }
    TWebDataItem* Add(const std::string& url)
    {
        TWebDataItem* item = web.GetData().Add();
        item->SetURL(S(url));
        return item;
    }
};

} // namespace

TEST(WebData, StatusesRedirectsAndBrokenBodiesDecideSuccess)
{
    HttpServer server;
    std::string big(10000, 'b');
    server.Route("/ok", [](const HttpRequest&) { return Page("fine"); });
    server.Route("/missing", [](const HttpRequest&) { return Page("nope", 404); });
    server.Route("/error", [](const HttpRequest&) { return Page("server trouble", 500); });
    server.Route("/moved", [](const HttpRequest&) {
        HttpResponse r = Page("", 301);
        r.Headers.push_back({ "Location", "/ok" });
        return r;
    });
    server.Route("/cut", [](const HttpRequest&) {
        HttpResponse r = Page(std::string(9000, 'c'));
        r.CutAfterBytes = 5000;
        return r;
    });
    server.Route("/slow", [](const HttpRequest&) {
        HttpResponse r = Page("late");
        r.DelayMs = 60 * 60 * 1000; // answered only when the server stops
        return r;
    });
    server.Route("/big", [&](const HttpRequest&) { return Page(big); });
    struct Case {
        const char* path;
        bool success;
        int errcode; // 0: no error reported
        std::string data;
    } const cases[] = {
        { "/ok", true, 0, "fine" },
        { "/missing", false, 404, "" },
        { "/error", false, 500, "" },
        { "/moved", true, 0, "fine" },
        { "/cut", false, -1, "" },
        { "/slow", false, -1, "" },
        { "/big", true, 0, big },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Recorder r;
        r.web.SetTimeout(1);
        r.Add(server.BaseUrl() + c.path);
        EXPECT_EQ(r.web.Execute(), c.success);
        TWebDataItem* item = r.web.GetData().GetItem(0);
        EXPECT_EQ(item->GetSuccess(), c.success);
        EXPECT_EQ(StringToUtf8(item->GetData()), c.data);
        if (c.errcode != 0)
            EXPECT_EQ(r.errors, (std::vector<std::pair<int, int>> { { 0, c.errcode } }));
        else
            EXPECT_TRUE(r.errors.empty());
        EXPECT_EQ(r.data.size(), c.success ? 1u : 0u);
    }
    testsupport::ClosedPort closed;
    Recorder unreachable;
    unreachable.Add(closed.BaseUrl() + "/none");
    unreachable.Add("ftp://127.0.0.1/none");
    EXPECT_FALSE(unreachable.web.Execute());
    EXPECT_EQ(unreachable.errors, (std::vector<std::pair<int, int>> { { 0, -1 }, { 1, -1 } }));
}

TEST(WebData, RepeatedAddressIsFetchedOnceAndMarkersCutTheText)
{
    HttpServer server;
    server.Route("/page", [](const HttpRequest&) { return Page("xAyBzCw"); });
    server.Route("/utf8", [](const HttpRequest&) { return Page("caf\xc3\xa9"); });
    Recorder r;
    struct Markers {
        const char *first, *from, *to;
        bool success;
        const char* data;
    } const markers[] = {
        { "A", "B", "C", true, "z" },
        { "", "B", "C", true, "xAyBzCw" }, // no first marker: the whole page
        { "Q", "B", "C", false, "" },
        { "A", "Q", "C", false, "" },
        { "A", "B", "", false, "" },
    };
    for (const Markers& m : markers) {
        TWebDataItem* item = r.Add(server.BaseUrl() + "/page");
        item->SetScanFirst(S(m.first));
        item->SetScanFrom(S(m.from));
        item->SetScanTo(S(m.to));
    }
    TWebDataItem* disabled = r.Add(server.BaseUrl() + "/utf8");
    disabled->SetEnable(false);
    r.Add(server.BaseUrl() + "/utf8");
    EXPECT_FALSE(r.web.Execute());
    for (size_t i = 0; i < std::size(markers); ++i) {
        SCOPED_TRACE(i);
        TWebDataItem* item = r.web.GetData().GetItem(int(i));
        EXPECT_EQ(item->GetSuccess(), markers[i].success);
        EXPECT_EQ(StringToUtf8(item->GetData()), markers[i].data);
        EXPECT_EQ(item->GetFullPageCode(), u"xAyBzCw");
    }
    EXPECT_FALSE(disabled->GetSuccess());
    // One character per byte, no character-set decoding.
    EXPECT_EQ(r.web.GetData().GetItem(6)->GetData(), u"caf\u00c3\u00a9");
    EXPECT_EQ(server.RequestedPaths(), (std::vector<std::string> { "/page", "/utf8" }));
    EXPECT_EQ(r.progress, (std::vector<int> { 0, 1, 2, 3, 4, 6 }));
}

TEST(WebData, ImagesAndLinksAreCollectedAndJoined)
{
    HttpServer server;
    server.Route("/dir/page.html", [](const HttpRequest&) {
        return Page("<IMG src=\"a.png\"><img alt=x SRC=\"/img/b.JPG\"><img src=\"https://cdn.example/c.gif\">"
                    "<img nosrc><a href=\"next.html\">n</a><A HREF=\"http://other.example/x\">o</A>"
                    "<area href=\"/map\"><a name=top><a href=\"//cdn.example/y\">y</a>");
    });
    std::string base = server.BaseUrl();
    struct Case {
        TImageType type;
        std::vector<std::string> images;
    } const cases[] = {
        { itAll, { base + "/dir/a.png", base + "/img/b.JPG", "https://cdn.example/c.gif" } },
        { itJPG, { base + "/img/b.JPG" } },
        { itGIF, { "https://cdn.example/c.gif" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.type));
        Recorder r;
        r.web.SetImageType(c.type);
        r.Add(base + "/dir/page.html");
        ASSERT_TRUE(r.web.Execute());
        std::vector<std::string> images;
        for (const String& s : r.web.GetImageRefs())
            images.push_back(StringToUtf8(s));
        EXPECT_EQ(images, c.images);
    }
    Recorder r;
    r.web.SetHyperLinkType(u"EXAMPLE");
    r.Add(base + "/dir/page.html");
    ASSERT_TRUE(r.web.Execute());
    std::vector<std::string> links;
    for (const String& s : r.web.GetHyperlinks())
        links.push_back(StringToUtf8(s));
    EXPECT_EQ(links, (std::vector<std::string> { "http://other.example/x", "http://cdn.example/y" }));
}

TEST(WebData, ProxyCredentialsWithReservedCharactersReachTheServer)
{
    HttpServer server;
    std::string authorization;
    server.Route("/auth", [&](const HttpRequest& q) {
        authorization = q.Headers.count("authorization") ? q.Headers.at("authorization") : "";
        return Page("ok");
    });
    Recorder r;
    r.web.SetProxyUserID(u"me");
    r.web.SetProxyPassword(u"p@ss:w/rd");
    r.Add(server.BaseUrl() + "/auth");
    EXPECT_TRUE(r.web.Execute());
    EXPECT_EQ(authorization, "Basic bWU6cEBzczp3L3Jk"); // "me:p@ss:w/rd"
}

TEST(WebData, FileVariantWritesAndRemovesItsFile)
{
    HttpServer server;
    server.Route("/p", [](const HttpRequest&) { return Page("file body"); });
    for (bool autoDelete : { true, false }) {
        SCOPED_TRACE(autoDelete);
        Recorder r;
        r.web.SetSaveToFile(true);
        r.Add(server.BaseUrl() + "/p")->SetAutoDelete(autoDelete);
        ASSERT_TRUE(r.web.Execute());
        TWebDataItem* item = r.web.GetData().GetItem(0);
        EXPECT_EQ(item->GetData(), u"file body");
        std::filesystem::path file(StringToUtf8(item->GetFileName()));
        EXPECT_EQ(file.filename().string().rfind("WD", 0), 0u);
        EXPECT_EQ(std::filesystem::exists(file), !autoDelete);
        std::filesystem::remove(file);
    }
}

TEST(WebData, JoinPageLink)
{
    struct Case {
        const char *base, *link, *joined;
    } const cases[] = {
        { "http://host/a/b.html", "c.png", "http://host/a/c.png" },
        { "https://host/a/b.html", "c.png", "https://host/a/c.png" },
        { "https://host/a/b.html", "/c.png", "https://host/c.png" },
        { "https://host", "c.png", "https://host/c.png" },
        { "HTTP://Host/a\\b.html", "c.png", "HTTP://Host/a\\c.png" },
        { "https://host/a/", "https://cdn.example/x.png", "https://cdn.example/x.png" },
        { "http://host/a/", "HTTPS://cdn.example/x.png", "HTTPS://cdn.example/x.png" },
        { "https://host/a/", "//cdn.example/x.png", "https://cdn.example/x.png" },
        { "https://host/a/", "mailto:a@b.example", "mailto:a@b.example" },
        { "https://host/a/b", "c:d/e", "c:d/e" },
        { "https://host/a/b", "x/y:z", "https://host/a/x/y:z" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.base) + " + " + c.link);
        EXPECT_EQ(StringToUtf8(JoinPageLink(S(c.base), S(c.link))), c.joined);
    }
    EXPECT_EQ(PosIgnoringCase(u"href", u"<A HREF="), 4);
    EXPECT_EQ(PosIgnoringCase(u"src", u"<a>"), 0);
    EXPECT_EQ(TWebData().GetVersion(), u"1.4.0.0");
}

TEST(WebData, FetchPageTextAndTheWorkerVariant)
{
    HttpServer server;
    server.Route("/t", [](const HttpRequest&) { return Page("text of the page"); });
    EXPECT_EQ(FetchPageText(S(server.BaseUrl() + "/t")), u"text of the page");
    EXPECT_EQ(FetchPageText(S(server.BaseUrl() + "/none")), u"");

    Recorder r;
    r.Add(server.BaseUrl() + "/t");
    bool done = false;
    r.web.OnCollectDone = [&](TWebData*) { done = true; };
    r.web.ThreadCollectData();
    for (int i = 0; i < 500 && !done; ++i)
        WaitForMainThreadWork(std::chrono::milliseconds(20)), CheckSynchronize();
    ASSERT_TRUE(done);
    EXPECT_TRUE(r.web.GetData().GetItem(0)->GetSuccess());
}
