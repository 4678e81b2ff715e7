// Captures through the real main window: its crawl browser in a web view,
// the local directory site, the capture buttons pressed with the mouse and
// the window's questions answered through the dialog hook.
#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

#include "app/CaptureGlobals.h"
#include "app/EmailHarvest.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "app/browser/LumWinWebBrowser.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Headless.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "tests/app/CrawlSite.h"
#include "tests/support/Fixtures.h"
#include "tests/support/Office.h"

namespace {

const String Placeholder = u"Scraping results, one page at a time...";

// The business name, the first field of a result line.
String NameOf(const String& line)
{
    if (line.size() < 2 || line[0] != u'"')
        return line;
    return line.substr(1, line.find(u"\",") - 1);
}

// The 15 fields of a result line: quoted, joined by ",".
std::vector<String> FieldsOf(const String& line)
{
    std::vector<String> fields;
    if (line.size() < 2)
        return fields;
    const String inner = line.substr(1, line.size() - 2);
    std::size_t start = 0;
    for (std::size_t at; (at = inner.find(u"\",\"", start)) != String::npos; start = at + 3)
        fields.push_back(inner.substr(start, at - start));
    fields.push_back(inner.substr(start));
    return fields;
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

// The spreadsheet view and the Excel save of one captured page: the grid
// holds the memo's lines field by field, the saved workbook gives every
// cell back to a second grid and to LibreOffice, and a save that cannot be
// made says so.
TEST_F(MainWindowCaptureE2E, ExcelViewShowsTheResultsAndSavesThemAsAWorkbook)
{
    Open(u"/search/cafes/sydney");
    {
        TDialogAnswers answers;
        answers.Answer(mrYes);
        Press(form->btnCapture);
    }
    const std::vector<String> lines = crawltest::LinesOf(form->mmResults->GetLines());
    ASSERT_EQ(lines.size(), 2u);
    // The last card first.
    EXPECT_EQ(NameOf(lines[1]), u"Café Zürich");

    // Showing the tab fills the grid.
    TPageControl* pages = form->PageControl1;
    const TRect tab = pages->TabRect(form->tbSaveToExcel->GetTabIndex());
    const TPoint at = pages->ClientToScreen({ (tab.Left + tab.Right) / 2, (tab.Top + tab.Bottom) / 2 });
    Headless::MouseDown(at);
    Application->ProcessMessages();
    Headless::MouseUp(at);
    Application->ProcessMessages();
    ASSERT_EQ(pages->GetActivePage(), form->tbSaveToExcel);
    TDedOzovedUrad* grid = form->sgExcel;
    ASSERT_EQ(grid->GetRowCount(), int(lines.size()));
    ASSERT_EQ(grid->GetColCount(), 25);
    bool phoneSeen = false;
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::vector<String> fields = FieldsOf(lines[r]);
        ASSERT_EQ(fields.size(), 15u) << StringToUtf8(lines[r]);
        for (int c = 0; c < 25; ++c)
            EXPECT_EQ(grid->GetCells(c, int(r)), c < 15 ? fields[std::size_t(c)] : String()) << r << "," << c;
        for (const String& f : fields)
            phoneSeen = phoneSeen || f.find(u"0800 123 456") != String::npos;
    }
    EXPECT_TRUE(phoneSeen) << "the fixture's 0800 number was captured";

    // Saved through the button, the dialog answered in code.
    testsupport::TempDir dir;
    const std::filesystem::path file = dir / "results.xlsx";
    {
        TDialogAnswers answers;
        answers.Answer(mrOk, Utf8ToString(file.string()));
        Press(form->ToolButton5);
        ASSERT_GE(answers.Count(), 1);
        EXPECT_EQ(answers.Shown()[0].Kind, TDialogKind::SaveFile);
        EXPECT_EQ(answers.Shown()[0].Caption,
            u"Save to EXCEL, Salvare, guardar, sauvegarder... (Please add extension XLS or XLSX)");
        EXPECT_EQ(answers.Count(), 1) << "no error message";
    }
    ASSERT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(form->StatusPopup->lblMessages->GetCaption(),
        u"The data has been saved to file \r" + Utf8ToString(file.string()) + u".");
    EXPECT_FALSE(form->StatusPopup->GetVisible());

    TDedOzovedUrad back(nullptr);
    back.LoadFromXLS(Utf8ToString(file.string()));
    ASSERT_EQ(back.GetRowCount(), int(lines.size()));
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::vector<String> fields = FieldsOf(lines[r]);
        for (int c = 0; c < 15; ++c)
            EXPECT_EQ(c < back.GetColCount() ? back.GetCells(c, int(r)) : String(), fields[std::size_t(c)])
                << r << "," << c;
    }

    const std::filesystem::path csv = dir / "csv";
    std::filesystem::create_directories(csv);
    ASSERT_TRUE(testsupport::TOfficeProfile().Convert(testsupport::OfficeCsvAllSheets, csv, { file }))
        << "LibreOffice (scripts/setup installs it) could not convert the workbook";
    std::ifstream in(csv / "results-Sheet1.csv", std::ios::binary);
    const auto exported = testsupport::ParseCsv(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_EQ(exported.size(), lines.size());
    for (std::size_t r = 0; r < lines.size(); ++r) {
        const std::vector<String> fields = FieldsOf(lines[r]);
        for (std::size_t c = 0; c < 15; ++c)
            EXPECT_EQ(c < exported[r].size() ? exported[r][c] : std::string(), StringToUtf8(fields[c]))
                << r << "," << c;
    }

    // A folder that cannot be written to (a read-only one; the superuser
    // writes anywhere but into the process file system): the window says
    // the data was not saved.
    const std::filesystem::path readOnly = dir / "read-only";
    std::filesystem::create_directories(readOnly);
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const String unwritable = Utf8ToString(((geteuid() == 0 ? std::filesystem::path("/proc/self") : readOnly)
        / "results.xlsx").string());
    {
        TDialogAnswers answers;
        answers.Answer(mrOk, unwritable);
        Press(form->ToolButton5);
        ASSERT_EQ(answers.Count(), 2);
        EXPECT_EQ(answers.Last().Text,
            u"Data cannot be saved to XLS! Is EXCEL installed on your PC? Please make sure this folder is writable "
            u"first!"
                + unwritable);
    }
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_all);
}

} // namespace
