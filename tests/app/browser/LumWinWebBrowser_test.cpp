#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/browser/LumWinWebBrowser.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/web/ChromiumProcess.h"

namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one scope.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~TScopedEnv()
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

// A fresh folder under the test's cache folder.
fs::path ScratchFolder(const std::string& name)
{
    fs::path p = fs::path(std::getenv("XDG_CACHE_HOME")) / "browser-host-tests" / name;
    fs::remove_all(p);
    fs::create_directories(p);
    return p;
}

// The browser unit with the real host service, for one test.
class WebViewHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetMainThread();
        RegisterLumWinWebBrowserService();
    }
    void TearDown() override
    {
        browser.reset();
        UnregisterLumWinWebBrowserService();
        TLumWebBrowserPlatformServices::Reopen();
    }
    TLumWinWebBrowser* MakeBrowser()
    {
        browser.reset(LumCreateControl<TLumWebBrowser>(nullptr));
        auto* host = dynamic_cast<TLumWinWebBrowser*>(browser->GetWebBrowser());
        EXPECT_NE(nullptr, host);
        return host;
    }
    std::unique_ptr<TLumWebBrowser> browser;
};

TEST_F(WebViewHost, UserDataFolderIsTheCacheFolderThenProgramThenName)
{
    TLumWinWebBrowser* host = MakeBrowser();
    ASSERT_NE(nullptr, host);
    const String cache = Utf8ToString(std::getenv("XDG_CACHE_HOME"));
    const String program = Utf8ToString(fs::path(StringToUtf8(Application->GetExeName())).stem().string());
    ASSERT_FALSE(program.empty());
    struct Case {
        const char16_t* folder; // null: leave the default
        const char16_t* name;
        String expected;
    } const cases[] = {
        { nullptr, u"EdgeCache", cache + u"/" + program + u"/EdgeCache" },
        { nullptr, u"", cache + u"/" + program + u"/" + program },
        { u"/data/x", u"Web", u"/data/x/Web" },
        { u"/data/x/", u"Web", u"/data/x/Web" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.expected));
        if (c.folder)
            browser->SetCacheFolder(c.folder);
        browser->SetCacheFolderName(c.name);
        EXPECT_EQ(c.expected, host->GetFullCacheFolderName());
    }
    EXPECT_TRUE(browser->GetAutoClearCache());
}

TEST_F(WebViewHost, NoBrowserProgramShowsTheMissingLoaderTextAtEachAttempt)
{
    UnregisterLumWinWebBrowserService();
    TScopedEnv chromium(webview::BrowserPathVariable, "/nonexistent/chromium");
    RegisterLumWinWebBrowserService();
    EXPECT_EQ(u"", LumWinWebBrowserInstalledVersion());
    TLumWinWebBrowser* host = MakeBrowser();
    ASSERT_NE(nullptr, host);
    TDialogAnswers answers;
    TForm form(nullptr);
    browser->SetParent(&form);
    browser->Initialize();
    ASSERT_EQ(2, answers.Count());
    EXPECT_EQ(String(LumWinWebBrowserLoaderMissingText), answers.Last().Text);
    EXPECT_FALSE(browser->GetInitialized());
    browser->SetParent(nullptr);
}

TEST_F(WebViewHost, BrowserThatFailsToStartShowsTheStartTextOnce)
{
    UnregisterLumWinWebBrowserService();
    const fs::path dir = ScratchFolder("failing");
    const fs::path program = dir / "chromium";
    {
        std::ofstream script(program);
        script << "#!/bin/sh\nif [ \"$1\" = \"--version\" ]; then echo 'Chromium 1.2.3.4'; exit 0; fi\nexit 1\n";
    }
    fs::permissions(program, fs::perms::owner_all);
    TScopedEnv chromium(webview::BrowserPathVariable, program.string());
    RegisterLumWinWebBrowserService();
    EXPECT_EQ(u"1.2.3.4", LumWinWebBrowserInstalledVersion());
    TLumWinWebBrowser* host = MakeBrowser();
    ASSERT_NE(nullptr, host);
    browser->SetCacheFolder(Utf8ToString((dir / "cache").string()));
    // Another process holds the configured folder: this one uses its own.
    const fs::path configured = StringToUtf8(host->GetFullCacheFolderName());
    fs::create_directories(configured);
    int other = ::open((configured / "quarrytide-host.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(0, ::flock(other, LOCK_EX | LOCK_NB));

    TDialogAnswers answers;
    TForm form(nullptr);
    browser->SetParent(&form);
    ASSERT_EQ(1, answers.Count());
    EXPECT_EQ(String(LumWinWebBrowserStartFailedText), answers.Last().Text);
    EXPECT_FALSE(browser->GetInitialized());
    EXPECT_EQ(nullptr, browser->NativeEnvironment());
    EXPECT_EQ(configured.string() + "-" + std::to_string(::getpid()), StringToUtf8(host->GetUserDataFolder()));
    EXPECT_FALSE(fs::exists(StringToUtf8(host->GetUserDataFolder()))); // nothing left behind
    EXPECT_TRUE(fs::exists(configured / "quarrytide-host.lock"));       // the other's stays
    ::close(other);
    browser->SetParent(nullptr);
}

TEST_F(WebViewHost, ClearCacheLeavesAFolderAnotherProcessHolds)
{
    TLumWinWebBrowser* host = MakeBrowser();
    ASSERT_NE(nullptr, host);
    const fs::path parent = ScratchFolder("claimed") / "Prog";
    browser->SetCacheFolder(Utf8ToString(parent.string()));
    const fs::path folder = StringToUtf8(host->GetFullCacheFolderName());
    fs::create_directories(folder / "Default");
    std::ofstream(folder / "Default" / "Cookies") << "x";

    // Another process's lock (a lock of its own open file behaves the same).
    int other = ::open((folder / "quarrytide-host.lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_GE(other, 0);
    ASSERT_EQ(0, ::flock(other, LOCK_EX | LOCK_NB));
    browser->ClearCache();
    EXPECT_TRUE(fs::exists(folder / "Default" / "Cookies"));
    ::close(other);

    browser->ClearCache();
    EXPECT_FALSE(fs::exists(folder));
    EXPECT_FALSE(fs::exists(parent)); // emptied, so it goes too
    ASSERT_EQ(2u, LumWinWebBrowserCachedFolders().size());
    EXPECT_EQ(host, LumWinWebBrowserCachedFolders().back().FInstance);
    EXPECT_EQ(host->GetFullCacheFolderName(), LumWinWebBrowserCachedFolders().back().FFolder);
}

TEST_F(WebViewHost, FolderClearedByAnotherHostIsNotDeletedByThisOne)
{
    TLumWinWebBrowser* host = MakeBrowser();
    ASSERT_NE(nullptr, host);
    std::unique_ptr<TLumWebBrowser> second(LumCreateControl<TLumWebBrowser>(nullptr));
    const fs::path parent = ScratchFolder("shared");
    browser->SetCacheFolder(Utf8ToString(parent.string()));
    second->SetCacheFolder(Utf8ToString(parent.string()));
    const fs::path folder = StringToUtf8(host->GetFullCacheFolderName());

    second->ClearCache(); // the second host claims the folder
    fs::create_directories(folder);
    browser->ClearCache();
    EXPECT_TRUE(fs::exists(folder));
    second.reset();       // its claim goes with it
    browser->ClearCache();
    EXPECT_FALSE(fs::exists(folder));
}

} // namespace
