#pragma once
// The local directory site of the crawl's end-to-end tests and a small form
// that holds the crawling browser, a results memo, an address edit and the
// e-mail badge, as the main window does.

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/SuperBrowser.h"
#include "platform/vcl/Forms.h"
#include "tests/support/HttpServer.h"
#include "tests/support/Limits.h"

class TMemo;
class TEdit;
class TLumSmoothStatusIndicator;

namespace crawltest {

// The site of tests/fixtures/directory_site, served on 127.0.0.1 for the
// whole test program; DirectorySiteRoot points at it. Result pages answer
// with and without a doubled slash after the host, a "pageNumber=N" query
// picks the folder page-N of the page, and "{SITE}" in a result page becomes
// the server's address.
testsupport::HttpServer& DirectorySite();
// How often the path (with its query) was requested so far.
int RequestCount(const std::string& pathAndQuery);

// What a crawl test needs before it makes its window: drawing, the site,
// the browser service and the e-mail harvest with its pop-up.
void InstallCrawlServices();
// Processes the application's messages until `done` or the limit.
bool PumpUntil(const std::function<bool()>& done, std::chrono::seconds limit = testsupport::EventLimit);
// Opens `url` in the browser and waits until it has loaded; false when it
// failed or did not load within the limit.
bool OpenAndWait(TSuperBrowser* browser, const String& url);
std::vector<String> LinesOf(TStrings* lines);

class TCrawlTestForm : public TForm {
public:
    // The browser keeps its user data below `cacheFolder`.
    TCrawlTestForm(TComponent* AOwner, const std::filesystem::path& cacheFolder);

    TSuperBrowser* Browser { nullptr };
    TMemo* Memo { nullptr };
    TEdit* Edit { nullptr };
    TLumSmoothStatusIndicator* Badge { nullptr };
};

} // namespace crawltest
