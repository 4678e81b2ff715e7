// The local stand-in for the maker's and the directory's sites that the main
// window's start-up talks to, shared by every main-window test of a program.

#include "tests/app/MainWindowSite.h"

#include <cstdlib>
#include <mutex>

namespace {

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::HttpServer;

// The answer of the update endpoint, set by the tests.
std::mutex g_updateMutex;
std::string g_updateDate = "20000101";

} // namespace

namespace mainwindowtest {

void SetUpdateDate(const std::string& date)
{
    std::lock_guard<std::mutex> lock(g_updateMutex);
    g_updateDate = date;
}

// The maker's and the directory's sites for the whole test program, so the
// start-up's checks never leave the machine. The addresses are read once per
// process, so the server is made once too.
HttpServer& Site()
{
    static HttpServer* site = [] {
        auto* s = new HttpServer();
        s->Route("/maker/files/ckeckver.php", [](const HttpRequest&) {
            HttpResponse r;
            r.ContentType = "text/plain";
            r.Body = "current";
            return r;
        });
        s->Route("/maker/files/fdate.php", [](const HttpRequest&) {
            HttpResponse r;
            r.ContentType = "text/plain; charset=iso-8859-1";
            std::lock_guard<std::mutex> lock(g_updateMutex);
            r.Body = g_updateDate;
            return r;
        });
        const std::string roots = "directory=" + s->BaseUrl() + ";maker=" + s->BaseUrl() + "/maker;welcome="
            + s->BaseUrl() + "/welcome.html";
        setenv("QUARRYTIDE_SITE_ROOTS", roots.c_str(), 1);
        return s;
    }();
    return *site;
}

} // namespace mainwindowtest
