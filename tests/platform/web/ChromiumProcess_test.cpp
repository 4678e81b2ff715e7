#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/rtl/MainThread.h"
#include "platform/web/ChromiumProcess.h"
#include "platform/web/WebView.h"
#include "tests/platform/web/WebFixture.h"
#include "tests/support/Fixtures.h"

using namespace webview;

namespace {

void WriteScript(const std::filesystem::path& path, const std::string& body)
{
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    chmod(path.c_str(), 0755);
}

// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

} // namespace

TEST(ChromiumProcess, FindsTheBrowserProgram)
{
    testsupport::TempDir dir;
    WriteScript(dir / "given/chromium-browser", "exit 0");
    WriteScript(dir / "bin1/google-chrome", "exit 0");
    WriteScript(dir / "bin2/chromium", "exit 0");
    WriteScript(dir / "named/my-browser", "exit 0");
    std::ofstream(dir / "bin1/chromium") << "not executable";
    const std::string path = (dir / "bin1").string() + ":" + (dir / "bin2").string();
    struct Case {
        const char* Name;
        std::string Folder, Variable, Path, Expect;
    };
    const Case cases[] = {
        { "folder given", (dir / "given").string(), "", path, (dir / "given/chromium-browser").string() },
        { "program given as folder", (dir / "given/chromium-browser").string(), "", path,
            (dir / "given/chromium-browser").string() },
        { "folder without a browser", (dir / "named").string(), "", path, "" },
        { "variable wins over PATH", "", (dir / "named/my-browser").string(), path,
            (dir / "named/my-browser").string() },
        { "variable naming nothing", "", (dir / "named/none").string(), path, "" },
        // chromium comes first by name, and a file that cannot run is skipped.
        { "PATH by name order", "", "", path, (dir / "bin2/chromium").string() },
        { "nothing on PATH", "", "", (dir / "empty").string(), "" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        ScopedEnv pathVar("PATH", c.Path);
        ScopedEnv named(BrowserPathVariable, c.Variable);
        EXPECT_EQ(c.Expect, FindChromium(c.Folder));
    }
}

TEST(ChromiumProcess, ArgumentsStartAHeadlessPipeBrowser)
{
    struct Case {
        bool Root;
        std::string Extra;
        bool NoSandbox;
        std::vector<std::string> ExtraExpected;
    };
    const Case cases[] = {
        { true, "", true, {} },
        { false, "", false, {} },
        { false, "  --lang=de   --mute-audio ", false, { "--lang=de", "--mute-audio" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Extra + (c.Root ? " as root" : " as user"));
        auto args = ChromiumArguments("/tmp/ud folder", c.Root, c.Extra);
        auto has = [&](const std::string& a) { return std::find(args.begin(), args.end(), a) != args.end(); };
        for (const char* required : { "--headless=new", "--remote-debugging-pipe", "--user-data-dir=/tmp/ud folder",
                 "--no-first-run", "--no-default-browser-check", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--disable-gpu" })
            EXPECT_TRUE(has(required)) << required;
        EXPECT_EQ(c.NoSandbox, has("--no-sandbox"));
        for (const auto& e : c.ExtraExpected)
            EXPECT_TRUE(has(e)) << e;
        EXPECT_EQ("about:blank", args.back());
    }
}

TEST(ChromiumProcess, VersionComesFromTheProgram)
{
    testsupport::TempDir dir;
    struct Case {
        const char* Output;
        const char* Version;
    };
    const Case cases[] = {
        { "Chromium 156.0.8078.129 built on Debian GNU/Linux 12 (bookworm)", "156.0.8078.129" },
        { "Google Chrome 120.0.1.2 ", "120.0.1.2" },
        { "no version here 12", "" },
        { "", "" },
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Output);
        auto program = dir / ("v" + std::to_string(n++));
        WriteScript(program, std::string("echo '") + c.Output + "'; echo noise >&2");
        EXPECT_EQ(c.Version, QueryChromiumVersion(program.string()));
    }
    EXPECT_EQ("", QueryChromiumVersion((dir / "missing").string()));

    String version = u"stale";
    EXPECT_EQ(E_FILE_NOT_FOUND, GetAvailableCoreWebView2BrowserVersionString(S((dir / "nothing").string()), version));
    EXPECT_TRUE(version.empty());
}

TEST(WebErrorStatus, NetworkErrorsMapToStatuses)
{
    struct Case {
        const char* Error;
        WebErrorStatus Status;
    };
    const Case cases[] = {
        { "net::ERR_NAME_NOT_RESOLVED", WebErrorStatus::HostNameNotResolved },
        { "net::ERR_CONNECTION_REFUSED", WebErrorStatus::CannotConnect },
        { "net::ERR_CONNECTION_RESET", WebErrorStatus::ConnectionReset },
        { "net::ERR_CONNECTION_TIMED_OUT", WebErrorStatus::Timeout },
        { "net::ERR_INTERNET_DISCONNECTED", WebErrorStatus::Disconnected },
        { "net::ERR_ABORTED", WebErrorStatus::OperationCanceled },
        { "net::ERR_TOO_MANY_REDIRECTS", WebErrorStatus::RedirectFailed },
        { "net::ERR_EMPTY_RESPONSE", WebErrorStatus::ErrorHttpInvalidServerResponse },
        { "net::ERR_CERT_DATE_INVALID", WebErrorStatus::CertificateExpired },
        { "net::ERR_CERT_AUTHORITY_INVALID", WebErrorStatus::CertificateIsInvalid },
        { "ERR_CERT_REVOKED", WebErrorStatus::CertificateRevoked },
        { "net::ERR_SOMETHING_NEW", WebErrorStatus::UnexpectedError },
        { "", WebErrorStatus::Unknown },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Error);
        EXPECT_EQ(c.Status, WebErrorStatusFromNetError(c.Error));
    }
}

TEST(WebViewCreation, FailuresArriveThroughTheHandler)
{
    SetMainThread();
    testsupport::TempDir dir;
    WriteScript(dir / "dies/chromium", "exit 3");
    // Answers nothing and closes its pipes at once.
    WriteScript(dir / "silent/chromium", "exec 3<&- 4>&-; sleep 0.2");
    EXPECT_EQ(E_INVALIDARG, CreateCoreWebView2EnvironmentWithOptions({}, {}, nullptr, {}));
    struct Case {
        const char* Name;
        std::string Folder;
        HRESULT Expect;
    };
    const Case cases[] = {
        { "no browser in the folder", (dir / "none").string(), E_FILE_NOT_FOUND },
        { "browser exits at once", (dir / "dies").string(), E_FAIL },
        { "browser closes its pipes", (dir / "silent").string(), E_FAIL },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        bool done = false;
        HRESULT result = S_OK;
        std::shared_ptr<CoreWebView2Environment> env;
        EXPECT_EQ(S_OK, CreateCoreWebView2EnvironmentWithOptions(S(c.Folder), S((dir / "ud").string()), nullptr,
                            [&](HRESULT hr, std::shared_ptr<CoreWebView2Environment> e) {
                                done = true;
                                result = hr;
                                env = e;
                            }));
        EXPECT_FALSE(done) << "completes later, never inside the call";
        ASSERT_TRUE(webtest::PumpUntil([&] { return done; }));
        EXPECT_EQ(c.Expect, result);
        EXPECT_EQ(nullptr, env);
    }
}
