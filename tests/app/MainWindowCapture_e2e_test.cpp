// Captures through the real main window: its crawl browser in a web view,
// the local directory site, the capture buttons pressed with the mouse and
// the window's questions answered through the dialog hook.
#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/EmailHarvest.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "app/browser/LumWinWebBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Headless.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "tests/app/CrawlSite.h"
#include "tests/support/Fixtures.h"

namespace {

const String Placeholder = u"Scraping results, one page at a time...";

// The business name, the first field of a result line.
String NameOf(const String& line)
{
    if (line.size() < 2 || line[0] != u'"')
        return line;
    return line.substr(1, line.find(u"\",") - 1);
}

// Sets an environment variable for one scope.
class TEnvOverride {
public:
    TEnvOverride(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        setenv(name, value.c_str(), 1);
    }
    ~TEnvOverride()
    {
        if (m_old)
            setenv(m_name, m_old->c_str(), 1);
        else
            unsetenv(m_name);
    }
    TEnvOverride(const TEnvOverride&) = delete;
    TEnvOverride& operator=(const TEnvOverride&) = delete;

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

class MainWindowCaptureE2E : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallDialogs();
        crawltest::InstallCrawlServices();
        m_pause = TfrmMyBrowser::PlainPause;
        TfrmMyBrowser::PlainPause = [](unsigned) { };
        {
            TDialogAnswers startup; // start-up's messages take their default answers
            Application->CreateForm(form);
        }
        form->Show();
        // The results panel (1024 pixels by default) would cover the second
        // capture button of a window this size.
        form->PageControl1->SetWidth(300);
        ASSERT_NE(form->Browser, nullptr);
        ASSERT_TRUE(crawltest::PumpUntil([&] { return form->Browser->GetInitialized(); })) << "the browser did not start";
        ScrapeInterval = 0;
        TotalEmails = 0;
        StopPressed = false;
    }

    void TearDown() override
    {
        delete form;
        UnregisterLumWinWebBrowserService();
        TfrmMyBrowser::PlainPause = m_pause;
    }

    // Opens a result page of the site in the window's browser.
    void Open(const String& path)
    {
        ASSERT_TRUE(crawltest::OpenAndWait(form->Browser, DirectorySiteRoot() + path)) << StringToUtf8(path);
    }

    // Presses a capture button with the mouse; the capture runs to its end.
    void Press(TToolButton* button)
    {
        const TPoint at = button->ClientToScreen({ button->GetWidth() / 2, button->GetHeight() / 2 });
        Headless::MouseDown(at);
        Application->ProcessMessages();
        Headless::MouseUp(at);
        Application->ProcessMessages();
    }

    testsupport::TempDir m_cache;
    testsupport::TempDir m_registry;
    TEnvOverride m_cacheEnv { "XDG_CACHE_HOME", m_cache.path().string() };
    TEnvOverride m_registryEnv { "QUARRYTIDE_REGISTRY_DIR", m_registry.path().string() };
    THeadlessSession session;
    TfrmMyBrowser* form { nullptr };
    std::function<void(unsigned)> m_pause;
};

TEST_F(MainWindowCaptureE2E, CapturesThroughTheWindowKeepingOrEmptyingEarlierResults)
{
    const std::vector<String> names { u"Wires R Us", u"Bright Spark Electrical", u"Voltage Works" };
    Open(u"/search/electricians/melbourne");

    // E-mail capture; the start-up placeholder is kept.
    {
        TDialogAnswers answers;
        answers.Answer(mrNo);
        Press(form->btnCaptEmails);

        const std::vector<String> lines = crawltest::LinesOf(form->mmResults->GetLines());
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[0], Placeholder);
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(NameOf(lines[i + 1]), names[i]);
        EXPECT_NE(lines[1].find(u"admin@wires.example.com"), String::npos) << StringToUtf8(lines[1]);
        EXPECT_EQ(TotalEmails, 5);
        EXPECT_EQ(form->SIemailNb->GetCaption(), u"Emails: 5");
        EXPECT_EQ(form->edURL->GetText(), DirectorySiteRoot() + u"/search/electricians/melbourne");

        ASSERT_EQ(answers.Count(), 2);
        EXPECT_EQ(answers.Shown()[0].Text, u"Empty previous data results first?");
        EXPECT_TRUE(answers.Shown()[1].Text.starts_with(u"A total of 4 addresses have been scraped!\r"));
        EXPECT_EQ(form->GetCaption(), u"QTX - A total of 4 addresses have been scraped!");
        EXPECT_EQ(form->tbResults->GetCaption(), u"Results (4 lines)");
        EXPECT_EQ(form->EdNumberofLeads->GetText(), u"4 Lines in Results");
        EXPECT_EQ(form->btnCaptEmails->GetCaption(), u"NEW! Capture Emails");
        EXPECT_TRUE(form->btnCapture->GetEnabled());
        EXPECT_FALSE(form->ToolBtnStop->GetEnabled());
    }

    // A plain capture of the same page after emptying: the same lines again,
    // the e-mail count restarted before the crawl.
    {
        TDialogAnswers answers;
        answers.Answer(mrYes);
        Press(form->btnCapture);

        const std::vector<String> lines = crawltest::LinesOf(form->mmResults->GetLines());
        ASSERT_EQ(lines.size(), 3u);
        for (std::size_t i = 0; i < names.size(); ++i)
            EXPECT_EQ(NameOf(lines[i]), names[i]);
        // A plain capture finds no addresses; the five of the first are gone.
        EXPECT_EQ(TotalEmails, 0);
        EXPECT_EQ(form->SIemailNb->GetCaption(), u"Emails: 0");
        ASSERT_EQ(answers.Count(), 2);
        EXPECT_TRUE(answers.Shown()[1].Text.starts_with(u"A total of 3 addresses have been scraped!\r"));
        EXPECT_EQ(form->btnCapture->GetCaption(), u"Fast Capture");
    }
}

} // namespace
