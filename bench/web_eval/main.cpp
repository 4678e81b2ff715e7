// Script round trips through the web view against the same loop over raw
// protocol messages on a browser pipe of our own, so the layer's overhead
// (reader thread, GUI queue, JSON handling, completions) shows as a ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

#include "platform/rtl/MainThread.h"
#include "platform/web/ChromiumProcess.h"
#include "platform/web/WebView.h"

using namespace webview;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Calls = 1000;
const char* const Page = "<html><body><ul><li>one</li><li>two</li><li>three</li></ul></body></html>";
const char* const Script = "document.querySelectorAll('li').length";

bool Pump(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(30))
{
    auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end)
            return false;
        if (!CheckSynchronize())
            WaitForMainThreadWork(std::chrono::milliseconds(5));
    }
    return true;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Blocking reads of whole messages from the browser.
struct RawPipe {
    ChromiumProcess process;
    std::string buffer;
    long long nextId { 1 };

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
    std::string Call(const std::string& method, const std::string& params, const std::string& session = {})
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

double RawLoop(std::vector<double>& times)
{
    RawPipe pipe;
    char folder[] = "/tmp/web-eval-raw-XXXXXX";
    if (!mkdtemp(folder) || !pipe.process.Start(FindChromium(), ChromiumArguments(folder, geteuid() == 0)))
        return -1;
    std::string target = Field(pipe.Call("Target.createTarget", "{\"url\":\"about:blank\"}"), "targetId");
    std::string session = Field(pipe.Call("Target.attachToTarget", "{\"targetId\":\"" + target + "\",\"flatten\":true}"), "sessionId");
    std::string html = Page;
    pipe.Call("Runtime.evaluate", "{\"expression\":\"document.documentElement.innerHTML = '" + html.substr(6, html.size() - 13) + "'\"}", session);
    std::string expected;
    for (int i = 0; i < Calls; ++i) {
        auto t0 = Clock::now();
        std::string reply = pipe.Call("Runtime.evaluate",
            std::string("{\"expression\":\"") + Script + "\",\"returnByValue\":true}", session);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
        if (i == 0)
            expected = reply;
    }
    pipe.Call("Browser.close", "{}");
    pipe.process.WaitOrKill(std::chrono::seconds(3));
    std::string rm = std::string("rm -rf ") + folder;
    if (system(rm.c_str()) != 0) { }
    return expected.find("\"value\":3") != std::string::npos ? 0 : -1;
}

} // namespace

int main()
{
    SetMainThread();
    std::shared_ptr<CoreWebView2Environment> env;
    bool created = false;
    CreateCoreWebView2EnvironmentWithOptions({}, {}, nullptr, [&](HRESULT, std::shared_ptr<CoreWebView2Environment> e) {
        env = e;
        created = true;
    });
    if (!Pump([&] { return created; }) || !env) {
        std::printf("web_eval: no browser could be started\n");
        return 0;
    }
    std::shared_ptr<CoreWebView2Controller> controller;
    env->CreateCoreWebView2Controller(nullptr, [&](HRESULT, std::shared_ptr<CoreWebView2Controller> c) { controller = c; });
    Pump([&] { return controller != nullptr; });
    auto view = controller->GetCoreWebView2();
    bool loaded = false;
    view->NavigationCompleted.Add([&](CoreWebView2&, const NavigationCompletedEventArgs&) { loaded = true; });
    view->NavigateToString(S(Page));
    Pump([&] { return loaded; });

    std::vector<double> ours;
    String last;
    for (int i = 0; i < Calls; ++i) {
        bool done = false;
        auto t0 = Clock::now();
        view->ExecuteScript(S(Script), [&](HRESULT, const String& json) {
            last = json;
            done = true;
        });
        Pump([&] { return done; });
        ours.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    controller->Close();
    env->Close();
    CheckSynchronize();

    std::vector<double> raw;
    double rawOk = RawLoop(raw);

    double a = Median(ours), b = Median(raw);
    std::printf("web_eval: %d sequential ExecuteScript round trips on a loaded page\n", Calls);
    std::printf("  web view        median %8.1f us/call (result %s)\n", a, StringToUtf8(last).c_str());
    if (rawOk < 0 || raw.empty())
        std::printf("  raw protocol    not measured (the raw browser did not answer)\n");
    else
        std::printf("  raw protocol    median %8.1f us/call\n  overhead ratio  %8.2fx\n", b, b > 0 ? a / b : 0.0);
    return 0;
}
