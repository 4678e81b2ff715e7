// Script round trips on a result page of the local directory site: the
// blocking script call of the browser control (TLumWebBrowser's, which the
// control's users wait on, and the crawl's own), against the same evaluate
// over raw protocol messages on a browser pipe of our own. The layer's cost
// (reader thread, GUI queue, JSON handling, completions, the waiting loop)
// shows as the ratio. Blocks of calls of the three kinds alternate; the
// medians of all calls are compared.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/SiteAddresses.h"
#include "app/browser/LumWinWebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/Forms.h"
#include "platform/web/ChromiumProcess.h"
#include "platform/win/Headless.h"
#include "tests/app/CrawlSite.h"
#include "tests/support/Fixtures.h"

using namespace webview;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Rounds = 10;
constexpr int CallsPerBlock = 100;
const char16_t* const PagePath = u"/search/plumbers/sydney";
const char* const Script = "document.querySelectorAll('div[class*=\"MuiPaper-rounded\"]').length";

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double Micros(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

// Blocking reads of whole messages from the browser.
struct RawPipe {
    ChromiumProcess process;
    std::string buffer;
    long long nextId { 1 };
    std::string session;

    std::string Read()
    {
        for (;;) {
            auto end = buffer.find('\0');
            if (end != std::string::npos) {
                std::string m = buffer.substr(0, end);
                buffer.erase(0, end + 1);
                return m;
            }
            char chunk[65536];
            ssize_t n = read(process.ReadFd(), chunk, sizeof chunk);
            if (n <= 0)
                return {};
            buffer.append(chunk, std::size_t(n));
        }
    }
    // Sends a command and returns its reply, skipping events.
    std::string Call(const std::string& method, const std::string& params)
    {
        long long id = nextId++;
        std::string m = "{\"id\":" + std::to_string(id) + ",\"method\":\"" + method + "\",\"params\":" + params
            + (session.empty() ? "" : ",\"sessionId\":\"" + session + "\"") + "}";
        if (!process.WriteMessage(m))
            return {};
        std::string key = "\"id\":" + std::to_string(id) + ",";
        for (;;) {
            std::string reply = Read();
            if (reply.empty() || reply.find(key) != std::string::npos)
                return reply;
        }
    }
    std::string Evaluate(const std::string& expression)
    {
        std::string quoted;
        for (char c : expression) {
            if (c == '"' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        return Call("Runtime.evaluate", "{\"expression\":\"" + quoted + "\",\"returnByValue\":true}");
    }
};

std::string Field(const std::string& json, const std::string& name)
{
    std::string key = "\"" + name + "\":\"";
    auto at = json.find(key);
    if (at == std::string::npos)
        return {};
    at += key.size();
    return json.substr(at, json.find('"', at) - at);
}

// A browser of our own on the same page; false when it would not start or load.
bool OpenRaw(RawPipe& pipe, const std::string& folder, const std::string& url)
{
    if (!pipe.process.Start(FindChromium(), ChromiumArguments(folder, geteuid() == 0)))
        return false;
    std::string target = Field(pipe.Call("Target.createTarget", "{\"url\":\"about:blank\"}"), "targetId");
    pipe.session = Field(pipe.Call("Target.attachToTarget", "{\"targetId\":\"" + target + "\",\"flatten\":true}"), "sessionId");
    pipe.Call("Page.navigate", "{\"url\":\"" + url + "\"}");
    const auto limit = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < limit) {
        if (pipe.Evaluate("document.readyState").find("\"complete\"") != std::string::npos)
            return true;
        usleep(10000);
    }
    return false;
}

} // namespace

int main()
{
    SetMainThread();
    THeadlessSession session;
    crawltest::InstallCrawlServices();
    testsupport::TempDir cache;
    auto* form = new crawltest::TCrawlTestForm(Application, cache.path());
    Application->SetMainForm(form);
    EmailBadge = form->Badge;
    const String url = DirectorySiteRoot() + PagePath;
    if (!crawltest::PumpUntil([&] { return form->Browser->GetInitialized(); })
        || !crawltest::OpenAndWait(form->Browser, url)) {
        std::printf("web_eval: no browser could be started\n");
        return 0;
    }
    testsupport::TempDir rawFolder;
    RawPipe raw;
    const bool rawOk = OpenRaw(raw, rawFolder.path().string(), StringToUtf8(url));

    TSuperBrowser& browser = *form->Browser;
    const String script = Utf8ToString(Script);
    std::vector<double> control, crawl, protocol;
    String controlAnswer, crawlAnswer;
    std::string rawAnswer;
    for (int round = 0; round < Rounds; ++round) {
        for (int i = 0; i < CallsPerBlock; ++i) {
            const auto t0 = Clock::now();
            controlAnswer = browser.TLumCustomWebBrowser::ExecuteJavaScriptSync(script);
            control.push_back(Micros(Clock::now() - t0));
        }
        for (int i = 0; i < CallsPerBlock; ++i) {
            const auto t0 = Clock::now();
            crawlAnswer = browser.ExecuteJavaScriptSync(script);
            crawl.push_back(Micros(Clock::now() - t0));
        }
        for (int i = 0; rawOk && i < CallsPerBlock; ++i) {
            const auto t0 = Clock::now();
            rawAnswer = raw.Evaluate(Script);
            protocol.push_back(Micros(Clock::now() - t0));
        }
    }
    if (rawOk) {
        raw.Call("Browser.close", "{}");
        raw.process.WaitOrKill(std::chrono::seconds(3));
    }
    EmailBadge = nullptr;
    Application->SetMainForm(nullptr);
    delete form;
    UnregisterLumWinWebBrowserService();

    const double a = Median(control), b = Median(crawl), c = Median(protocol);
    std::printf("web_eval: %d blocks of %d script round trips each, alternating, on a result page\n", Rounds,
        CallsPerBlock);
    std::printf("  TLumWebBrowser::ExecuteJavaScriptSync  median %8.1f us (answer %s)\n", a,
        StringToUtf8(controlAnswer).c_str());
    std::printf("  TSuperBrowser::ExecuteJavaScriptSync   median %8.1f us (answer %s)\n", b,
        StringToUtf8(crawlAnswer).c_str());
    if (!rawOk || protocol.empty()) {
        std::printf("  raw protocol                           not measured (the raw browser did not answer)\n");
        return 0;
    }
    std::printf("  raw protocol                           median %8.1f us (%s)\n", c,
        rawAnswer.find("\"value\":20") != std::string::npos ? "answer 20" : rawAnswer.c_str());
    std::printf("  ratio to raw: control %.2fx, crawl %.2fx\n", a / c, b / c);
    return 0;
}
