#include "app/MainWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <thread>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/gdi/Codecs.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Registry.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/Themes.h"
#include "platform/win/Backend.h"
#include "platform/win/Headless.h"
#include "platform/win/SdlBackend.h"
#include "platform/win/Window.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "tests/support/Fixtures.h"
#include "tests/app/MainWindowSite.h"
#include "tests/support/HttpServer.h"
#include "tests/support/Limits.h"
#include "tests/support/PrivateDisplay.h"

namespace {

using testsupport::HttpRequest;
using testsupport::HttpResponse;
using testsupport::HttpServer;
using mainwindowtest::SetUpdateDate;
using mainwindowtest::Site;

const String SettingsKey = u"\\Software\\QTX-AU-YP\\Main";

// The date of the running program file, as the update check reads it.
std::string ProgramDate()
{
    struct stat st {};
    ::stat("/proc/self/exe", &st);
    std::tm local {};
    localtime_r(&st.st_mtime, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y%m%d", &local);
    return text;
}

class MainWindowUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        Site();
        InstallDeviceContextFactory();
        const char* previous = std::getenv("QUARRYTIDE_REGISTRY_DIR");
        m_previousRegistry = previous ? previous : "";
        setenv("QUARRYTIDE_REGISTRY_DIR", m_registry.path().c_str(), 1);
        m_pause = TfrmMyBrowser::PlainPause;
        m_shell = TfrmMyBrowser::ShellOpen;
        // The pauses of start-up cost 12 s a window; they are the program's
        // own and are not what these tests look at.
        TfrmMyBrowser::PlainPause = [this](unsigned ms) { m_pauses.push_back(ms); };
        TfrmMyBrowser::ShellOpen = [this](const String& url) { m_opened.push_back(url); };
        TStyleManager::SetStyle(u"Windows");
        ScrapeInterval = 3;
    }
    void TearDown() override
    {
        TfrmMyBrowser::PlainPause = m_pause;
        TfrmMyBrowser::ShellOpen = m_shell;
        setenv("QUARRYTIDE_REGISTRY_DIR", m_previousRegistry.c_str(), 1);
        TStyleManager::SetStyle(u"Windows");
    }

    // A main window through its whole start-up, as the application makes it.
    std::unique_ptr<TfrmMyBrowser> Start()
    {
        auto form = std::make_unique<TfrmMyBrowser>(nullptr);
        form->AfterConstruction();
        return form;
    }

    static void WriteSetting(const String& name, Integer value)
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_TRUE(reg.OpenKey(SettingsKey, true));
        reg.WriteInteger(name, value);
    }

    static void Pump() { Application->ProcessMessages(); }

    THeadlessSession session;
    testsupport::TempDir m_registry;
    std::string m_previousRegistry;
    TDialogAnswers answers;
    std::vector<unsigned> m_pauses;
    std::vector<String> m_opened;
    std::function<void(unsigned)> m_pause;
    std::function<void(const String&)> m_shell;
};

TEST_F(MainWindowUi, ControlsCarryTheirNamesCaptionsAndHints)
{
    TfrmMyBrowser form(nullptr);
    struct Control {
        const char16_t* name;
        const char16_t* caption;
        const char16_t* hint;
    };
    const Control controls[] = {
        { u"ToolbtnBack", u"GoBack", u"Navigate Back" },
        { u"ToolBtnStop", u" Stop", u"Stop loading" },
        { u"ToolBtnForward", u"Forward", u"Navigate Forward" },
        { u"ToolBtnRefresh", u"Refresh", u"Refresh Active Tab" },
        { u"ToolBtnHome", u"Home", u"" },
        { u"tbSplitScreen", u"50%", u"Split in two" },
        { u"btnTimer", u"Timer", u"Number of seconds between scrapes" },
        { u"ToolBtnData", u"Data", u"" },
        { u"btnGo", u"GO", u"Navigate to a Webpage" },
        { u"Label1", u"URL:", u"" },
        { u"btnCapture", u"Fast Capture", u"" },
        { u"btnCaptEmails", u"NEW! Capture Emails", u"" },
        { u"ToolButton2", u"Save to CSV (text file)", u"" },
        { u"ToolButton6", u"DD", u"Remove duplicates" },
        { u"ToolButton7", u"<-", u"Clear All Lines" },
        { u"tbResults", u"CSV Results (text)", u"" },
        { u"tbSaveToExcel", u"MS Excel View", u"" },
        { u"TabSheet1", u"WebBrowser", u"" },
    };
    for (const Control& c : controls) {
        SCOPED_TRACE(StringToUtf8(c.name));
        auto* control = dynamic_cast<TControl*>(form.FindComponent(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->GetCaption(), c.caption);
        EXPECT_EQ(control->GetHint(), c.hint);
    }
    // Hidden parts stay hidden.
    for (TControl* hidden : std::initializer_list<TControl*> { form.ToolBtnSearch, form.ToolBtnFavorites, form.ToolBtnPix,
             form.ButtonedEdit1, form.ButtonedEdit2, form.btnSuchen, form.cbQuick, form.edSearch, form.ToolButton3, form.Memo1 })
        EXPECT_FALSE(hidden->GetVisible()) << StringToUtf8(hidden->GetName());
    EXPECT_EQ(form.tbSplitScreen->GetStyle(), tbsCheck);
    EXPECT_EQ(form.btnTimer->GetDropdownMenu(), form.PopTimer);
    EXPECT_EQ(form.ToolBtnData->GetDropdownMenu(), form.popData);

    struct Item {
        TMenuItem* item;
        const char16_t* caption;
        bool visible;
    };
    const Item items[] = {
        { form.QTXStartPage1, u"Go to Start Page (QTX) ", true }, { form.Goto1, u"Go to", true },
        { form.Exit1, u"&Exit", true }, { form.Addressbar1, u"Address bar", true },
        { form.NavigationBar1, u"Navigation bar", true }, { form.Interface1, u"Appearance", true },
        { form.Getsupport1, u"Get support", true }, { form.VisitQTXonline1, u"Visit QTX on line", true },
        { form.N9, u"About QTX...", true }, { form.Edit1, u"&Edit", false }, { form.Extras1, u"E&xtras", false },
        { form.AddHTML1, u"&Add HTML...", true }, { form.Removeduplicates1, u"Remove duplicates", true },
        { form.Emptydatagrid1, u"Empty data grid", true },
        { form.Clearinternetcookies1, u"Clear internet cookies", true },
    };
    for (const Item& i : items) {
        SCOPED_TRACE(StringToUtf8(i.caption));
        EXPECT_EQ(i.item->GetCaption(), i.caption);
        EXPECT_EQ(i.item->GetVisible(), i.visible);
    }

    struct Panel {
        int width;
        TAlignment alignment;
        TStatusPanelStyle style;
    };
    const Panel panels[] = { { 250, taRightJustify, psText }, { 200, taLeftJustify, psText },
        { 250, taCenter, psText }, { 50, taLeftJustify, psOwnerDraw }, { 50, taLeftJustify, psText } };
    ASSERT_EQ(form.StatusBar1->GetPanels()->GetCount(), 5);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(form.StatusBar1->GetPanels()->GetItem(i)->GetWidth(), panels[i].width);
        EXPECT_EQ(form.StatusBar1->GetPanels()->GetItem(i)->GetAlignment(), panels[i].alignment);
        EXPECT_EQ(form.StatusBar1->GetPanels()->GetItem(i)->GetStyle(), panels[i].style);
    }
    EXPECT_TRUE(form.StatusBar1->GetAcceptsControls());

    EXPECT_EQ(form.mmResults->GetLines()->GetCount(), 1);
    EXPECT_EQ(form.mmResults->GetLines()->GetStrings(0), u"Scraping results, one page at a time...");
    EXPECT_TRUE(form.mmResults->GetReadOnly());
    EXPECT_TRUE(form.EdNumberofLeads->GetReadOnly());
    EXPECT_EQ(form.SIemailNb->GetCaption(), u"0");
    EXPECT_EQ(EmailBadge, form.SIemailNb);
    EXPECT_EQ(form.SaveDialog1->GetFileName(), u"qtx1.csv");
    EXPECT_EQ(form.SaveDialog1->GetFilter(), u"CSV database or excel text file|*.csv|Text file|*.txt");
    EXPECT_EQ(form.SaveDialog1->GetTitle(), u"Save data as...");
    EXPECT_EQ(form.GetFont()->GetName(), u"Arial");
    EXPECT_TRUE(form.GetKeyPreview());
    EXPECT_EQ(form.GetWindowState(), wsMaximized);
}

// The spreadsheet tab shows the memo's lines, field by field, and nothing
// that an earlier fill left behind.
TEST_F(MainWindowUi, ExcelViewShowsExactlyTheMemoLines)
{
    TfrmMyBrowser form(nullptr);
    TDedOzovedUrad* grid = form.sgExcel;
    EXPECT_EQ(form.ToolButton5->GetCaption(), u"Save to XLS (cells can be edited first)");
    EXPECT_EQ(grid->GetParent(), form.tbSaveToExcel);
    EXPECT_EQ(grid->GetColCount(), 25);
    EXPECT_EQ(grid->GetRowCount(), 50);
    EXPECT_EQ(grid->GetFixedRows(), 0);
    EXPECT_EQ(grid->GetFixedCols(), 0);
    EXPECT_TRUE(grid->GetOptions().Contains(goEditing));

    const auto line = [](const String& name) {
        String text = u"\"" + name;
        for (int i = 1; i < 15; ++i)
            text += u"\",\"" + name + u" field, " + IntToStr(i);
        return text + u"\"";
    };
    TStrings* memo = form.mmResults->GetLines();
    memo->Add(line(u"Beta"));
    memo->Add(line(u"Alpha"));
    const auto showExcelTab = [&] {
        form.PageControl1->SetActivePage(form.tbSaveToExcel);
        form.PageControl1Change(form.PageControl1);
    };
    const auto expectRows = [&](const std::vector<String>& names) {
        ASSERT_EQ(grid->GetRowCount(), int(names.size()));
        for (int r = 0; r < int(names.size()); ++r) {
            SCOPED_TRACE(r);
            const bool placeholder = names[std::size_t(r)].size() > 20;
            EXPECT_EQ(grid->GetCells(0, r), names[std::size_t(r)]);
            for (int c = 1; c < 25; ++c)
                EXPECT_EQ(grid->GetCells(c, r),
                    placeholder || c >= 15 ? String() : names[std::size_t(r)] + u" field, " + IntToStr(c))
                    << c;
        }
    };
    const String placeholder = u"Scraping results, one page at a time...";
    showExcelTab();
    expectRows({ placeholder, u"Beta", u"Alpha" });
    EXPECT_EQ(grid->GetDelimiter(), Char(0xA4));

    // Sorted by removing duplicates, the short line moves to the last row,
    // where the longest fill so far left fields.
    form.ToolButton6Click(form.ToolButton6);
    showExcelTab();
    expectRows({ u"Alpha", u"Beta", placeholder });

    // Emptying the results empties the grid; showing an empty memo is no error.
    form.ToolButton7Click(form.ToolButton7);
    EXPECT_EQ(grid->GetCells(0, 0), u"");
    EXPECT_NO_THROW(showExcelTab());
    EXPECT_EQ(grid->GetCells(0, 0), u"");

    // A cancelled Excel save keeps its filter and title for the next save.
    form.ToolButton5Click(form.ToolButton5);
    EXPECT_EQ(answers.Last().Kind, TDialogKind::SaveFile);
    EXPECT_EQ(form.SaveDialog1->GetFilter(), u"Excel file|*.xls*|");
    EXPECT_EQ(form.SaveDialog1->GetTitle(),
        u"Save to EXCEL, Salvare, guardar, sauvegarder... (Please add extension XLS or XLSX)");
}

TEST_F(MainWindowUi, StartUpSetsCaptionsMakesTheBrowserAndPausesAsTold)
{
    auto form = Start();
    const String version = String(u"v. 2.0k11 [03NOV2022]    ") + u"\u00A0";
    EXPECT_EQ(form->GetCaption(), u"Quarrytide - AU-YP - " + version);
    EXPECT_EQ(form->StatusBar1->GetPanels()->GetItem(0)->GetText(), u"QTX - " + version);
    EXPECT_EQ(form->lbCountry->GetCaption(), u"   Yellow Pages - Australia   ");
    EXPECT_EQ(form->btnWelcomeScreen->GetCaption(), u"   Yellow Pages - Australia   ");
    EXPECT_EQ(form->lbVersion->GetParent(), form->ToolBar3);
    EXPECT_EQ(form->lbVersion->GetFont()->GetColor(), form->lbCountry->GetFont()->GetColor());
    EXPECT_EQ(form->ToolbtnQTX->GetCaption(), u"AU-YP");
    EXPECT_EQ(form->Goto1->GetHint(), DirectorySiteRoot() + u"/");
    // The address's "&" characters show as they are, not as accelerator marks.
    EXPECT_EQ(form->Goto1->GetCaption(),
        u"Go to " + DirectorySiteRoot() + u"/search/listings?clue=Restaurants&&locationClue=NSW&&lat=&&lon=");
    EXPECT_EQ(form->edURL->GetText(), DirectorySiteRoot() + u"/");
    EXPECT_EQ(form->btnSuchen->GetCaption(), u"Search...");
    EXPECT_EQ(form->ButtonedEdit1->GetText(), u"What/Who?");
    EXPECT_EQ(form->ButtonedEdit2->GetText(), u"Location?");
    EXPECT_FALSE(form->btnSuchen->GetVisible());
    EXPECT_EQ(form->PageControl1->GetActivePage(), form->tbResults);
    // The start page twice (1 s each) around the 10 s pause.
    EXPECT_EQ(m_pauses, (std::vector<unsigned> { 1000, 10000, 1000 }));

    ASSERT_NE(form->Browser, nullptr);
    EXPECT_EQ(form->Browser->GetParent(), form->TabSheet1);
    EXPECT_EQ(form->Browser->GetAlign(), alClient);
    EXPECT_EQ(form->Browser->GetAttachedMemo(), form->mmResults);
    EXPECT_EQ(form->Browser->GetAttachedEdit(), form->edURL);
    EXPECT_NE(form->Browser->GetfListingEmails(), nullptr);
    EXPECT_EQ(form->Browser->GetfStartPage(), form->LoadStartPageTemplate());
    ASSERT_NE(form->StatusPopup, nullptr);
    EXPECT_EQ(form->StatusPopup->lbURL->GetCaption(), u"Welcome to a world of deeper scraping!");
    EXPECT_FALSE(form->StatusPopup->GetVisible());
    // Both checks reached the maker's site; the update check's answer is kept.
    const std::vector<std::string> requested = Site().RequestedPaths();
    EXPECT_NE(std::find(requested.begin(), requested.end(),
                  "/maker/files/ckeckver.php?version=QuarrytideSetup-AU-YP.exe"),
        requested.end());
    EXPECT_EQ(LatestVersionDate, u"20000101");
    EXPECT_EQ(answers.Count(), 0);
}

TEST_F(MainWindowUi, EnterInTheAddressEditNavigatesOnlyWithAnAddress)
{
    auto form = Start();
    const String before = form->Browser->GetURL();
    form->edURL->SetText(u"");
    char16_t key = 13;
    form->edURLKeyPress(form->edURL, key);
    EXPECT_EQ(key, 0) << "Enter is swallowed";
    EXPECT_EQ(form->Browser->GetURL(), before);

    const String address = DirectorySiteRoot() + u"/find/plumbers";
    form->edURL->SetText(address);
    key = 13;
    form->edURLKeyPress(form->edURL, key);
    EXPECT_EQ(form->Browser->GetURL(), address);

    key = u'a';
    form->edURL->SetText(u"x");
    form->edURLKeyPress(form->edURL, key);
    EXPECT_EQ(key, u'a');
    EXPECT_EQ(form->Browser->GetURL(), address);
}

TEST_F(MainWindowUi, IntervalMenuChecksOneItemAndStoresTheInterval)
{
    auto form = Start();
    form->N10seconds1->Click();
    EXPECT_EQ(ScrapeInterval, 10);
    EXPECT_EQ(form->btnTimer->GetCaption(), u"Timer (10\")");
    for (int i = 0; i < form->PopTimer->GetItems()->GetCount(); ++i) {
        TMenuItem* item = form->PopTimer->GetItems()->GetItems(i);
        EXPECT_EQ(item->GetChecked(), item == form->N10seconds1) << StringToUtf8(item->GetCaption());
    }
    form->N1second1->Click();
    EXPECT_FALSE(form->N10seconds1->GetChecked());
    EXPECT_TRUE(form->N1second1->GetChecked());
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(SettingsKey, false));
    EXPECT_EQ(reg.ReadInteger(u"Timer"), 1);
}

TEST_F(MainWindowUi, SplitGivesAQuarterOrAHalfOfTheWindow)
{
    auto form = Start();
    form->SetWindowState(wsNormal);
    form->SetWidth(1200);
    form->tbSplitScreen->SetDown(true);
    form->tbSplitScreenClick(form->tbSplitScreen);
    EXPECT_EQ(form->PageControl1->GetWidth(), 300);
    EXPECT_EQ(form->tbSplitScreen->GetCaption(), u"75%");
    form->tbSplitScreen->SetDown(false);
    form->tbSplitScreenClick(form->tbSplitScreen);
    EXPECT_EQ(form->PageControl1->GetWidth(), 600);
    EXPECT_EQ(form->tbSplitScreen->GetCaption(), u"50%");
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(SettingsKey, false));
    EXPECT_EQ(reg.ReadInteger(u"Width"), 600);
}

TEST_F(MainWindowUi, FirstStartTakesTheDefaultsAndCreatesTheKey)
{
    {
        TRegistry reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        ASSERT_FALSE(reg.KeyExists(SettingsKey));
    }
    auto form = Start();
    EXPECT_EQ(TStyleManager::ActiveStyle()->GetName(), u"Luna");
    // 1024 pixels where the window has room for them; at the design size
    // the browser side keeps its share.
    EXPECT_EQ(form->PageControl1->GetWidth(), form->MaxResultsWidth());
    form->SetClientWidth(1920);
    form->ReadInterfaceAndWidth();
    EXPECT_EQ(form->PageControl1->GetWidth(), 1024);
    EXPECT_EQ(ScrapeInterval, 3);
    EXPECT_EQ(form->btnTimer->GetCaption(), u"Timer");
    EXPECT_FALSE(form->tbSplitScreen->GetDown());
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_TRUE(reg.KeyExists(SettingsKey));
}

TEST_F(MainWindowUi, SettingsSurviveARestart)
{
    {
        auto form = Start();
        form->SetWindowState(wsNormal);
        form->SetWidth(1000);
        form->N15seconds1->Click();
        form->tbSplitScreen->SetDown(true);
        form->tbSplitScreenClick(form->tbSplitScreen);
        form->Interface1Click(form->Interface1);
        TMenuItem* cyan = form->Interface1->Find(u"Cyan Night");
        ASSERT_NE(cyan, nullptr);
        cyan->Click();
        form->SaveSplitter();
    }
    TStyleManager::SetStyle(u"Windows");
    ScrapeInterval = 3;
    auto form = Start();
    EXPECT_EQ(TStyleManager::ActiveStyle()->GetName(), u"Cyan Night");
    EXPECT_EQ(form->PageControl1->GetWidth(), 250);
    EXPECT_EQ(ScrapeInterval, 15);
    EXPECT_EQ(form->btnTimer->GetCaption(), u"Timer (15)");
    EXPECT_TRUE(form->tbSplitScreen->GetDown());
}

TEST_F(MainWindowUi, StoredIntervalsOutsideTheByteAreClampedAndShownAsUsed)
{
    struct Case {
        Integer stored;
        int used;
    };
    const Case cases[] = { { 300, 255 }, { 256, 255 }, { -5, 0 }, { 0, 0 }, { 7, 7 } };
    auto form = Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteSetting(u"Timer", c.stored);
        form->ReadInterfaceAndWidth();
        EXPECT_EQ(ScrapeInterval, c.used);
        EXPECT_EQ(form->btnTimer->GetCaption(), u"Timer (" + IntToStr(c.used) + u")");
    }
}

TEST_F(MainWindowUi, StyleMenuOffersElevenStylesWithTheActiveOneChecked)
{
    auto form = Start();
    TStyleManager::SetStyle(u"Iceberg Classico");
    form->Interface1Click(form->Interface1);
    ASSERT_EQ(form->Interface1->GetCount(), 11);
    for (int i = 0; i < 11; ++i) {
        TMenuItem* item = form->Interface1->GetItems(i);
        SCOPED_TRACE(StringToUtf8(item->GetCaption()));
        EXPECT_EQ(item->GetName(), u"Mn" + IntToStr(i));
        EXPECT_EQ(item->GetHint(), item->GetCaption());
        EXPECT_NE(item->GetCaption(), u"Windows");
        EXPECT_EQ(item->GetChecked(), item->GetCaption() == u"Iceberg Classico");
        if (i > 0) {
            EXPECT_LT(CompareText(form->Interface1->GetItems(i - 1)->GetCaption(), item->GetCaption()), 0);
        }
    }
    // Opening again does not add items twice; choosing one applies and stores it.
    form->Interface1Click(form->Interface1);
    ASSERT_EQ(form->Interface1->GetCount(), 11);
    form->Interface1->Find(u"Turquoise Gray")->Click();
    EXPECT_EQ(TStyleManager::ActiveStyle()->GetName(), u"Turquoise Gray");
    EXPECT_TRUE(form->Interface1->Find(u"Turquoise Gray")->GetChecked());
    EXPECT_FALSE(form->Interface1->Find(u"Iceberg Classico")->GetChecked());
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey(SettingsKey, false));
    EXPECT_EQ(reg.ReadString(u"Interface"), u"Turquoise Gray");
}

TEST_F(MainWindowUi, UpdateCheckSpeaksOnlyOfANewerDate)
{
    struct Case {
        std::string reply;
        bool announced;
    };
    const Case cases[] = {
        { "20000101", false },
        { ProgramDate(), false },
        { "not a date", false },
        { "", false },
        { "99991231", true },
    };
    TfrmMyBrowser form(nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        answers.Clear();
        m_opened.clear();
        SetUpdateDate(c.reply);
        form.CheckForNewerVersion();
        EXPECT_EQ(LatestVersionDate, Utf8ToString(c.reply));
        if (!c.announced) {
            EXPECT_EQ(answers.Count(), 0);
            EXPECT_TRUE(m_opened.empty());
            continue;
        }
        ASSERT_EQ(answers.Count(), 1);
        EXPECT_EQ(answers.Last().Text,
            u"A newer version dated 99991231 is available online. We recommend downloading this new version from "
                + MakerSiteRoot().substr(7, MakerSiteRoot().find(u'/', 7) - 7) + u" at your earliest convenience!");
        EXPECT_EQ(m_opened, (std::vector<String> { MakerSiteRoot() + u"/download.php" }));
    }
    SetUpdateDate("20000101");
}

TEST_F(MainWindowUi, StartPageLeadsToTheRestaurantSearchAndFillsEveryPlaceholder)
{
    TfrmMyBrowser form(nullptr);
    const String page = form.GetHTMLstarter();
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(form.edURL->GetText(), DirectorySiteRoot() + u"/");
    const String link = u"<a href=\"" + DirectorySiteRoot()
        + u"/search/listings?clue=Restaurants&locationClue=NSW&lat=&lon=\">Click here to go to the yellow pages (AU)</a>";
    EXPECT_NE(page.find(link), String::npos);
    const String expected[] = {
        u"<title>QTX Start Page</title>",
        String(u"Quarrytide v. 2.0k11 [03NOV2022]    ") + u"\u00A0",
        u"Version: AU-YP. Powered by the Vantrel Extraction Engines.",
        u"#FFFF33",
        u"ShowLanguage('esp')\">Español",
        u"\r\n",
    };
    for (const String& e : expected)
        EXPECT_NE(page.find(e), String::npos) << StringToUtf8(e);
    for (const char16_t* placeholder : { u"$yp$", u"$versionyp$", u"$webyp$", u"$ver$" })
        EXPECT_EQ(page.find(placeholder), String::npos) << StringToUtf8(placeholder);
    EXPECT_EQ(page.find(u"\uFEFF"), String::npos);
}

TEST_F(MainWindowUi, ClosingDuringACaptureStopsItAndClosesOnceItHasUnwound)
{
    auto form = Start();
    form->Show();
    Pump();
    StopPressed = false;
    form->btnCapture->SetCaption(u"STOP!");
    form->Exit1->Click();
    Pump();
    EXPECT_TRUE(form->GetVisible()) << "the window stays while the capture runs";
    EXPECT_TRUE(StopPressed);
    EXPECT_TRUE(form->Browser->GetbStop());
    ASSERT_NE(form->Browser, nullptr);

    session.PassTime(300);
    Pump();
    EXPECT_TRUE(form->GetVisible());

    // The capture unwinds: its button reads its own caption again.
    form->btnCapture->SetCaption(u"Fast Capture");
    StopPressed = false;
    session.PassTime(300);
    Pump();
    EXPECT_FALSE(form->GetVisible());

    // Without a capture the window closes at once.
    form->Show();
    form->Exit1->Click();
    EXPECT_FALSE(form->GetVisible());
}

TEST_F(MainWindowUi, ViewMenuTogglesTheBarsAndBrowserTabChangeDisablesHistory)
{
    auto form = Start();
    form->Addressbar1->Click();
    EXPECT_FALSE(form->pnAddress->GetVisible());
    form->Addressbar1->Click();
    EXPECT_TRUE(form->pnAddress->GetVisible());
    form->NavigationBar1->Click();
    EXPECT_FALSE(form->tbarNav->GetVisible());
    form->PageControlChange(form->PageControl);
    EXPECT_FALSE(form->ToolbtnBack->GetEnabled());
    EXPECT_FALSE(form->ToolBtnForward->GetEnabled());

    struct Navigation {
        std::function<void()> run;
        String url;
    };
    const Navigation navigations[] = {
        { [&] { form->ToolbtnQTX->Click(); }, DirectorySiteRoot() + u"/" },
        { [&] { form->Getsupport1->Click(); }, MakerSiteRoot() + u"/contact.php" },
        { [&] { form->VisitQTXonline1->Click(); }, MakerSiteRoot() + u"/" },
        { [&] { form->btnWelcomeScreen->Click(); }, WelcomePageURL() },
        { [&] { form->Goto1->Click(); }, DirectorySiteRoot() + u"/" },
    };
    for (const Navigation& n : navigations) {
        SCOPED_TRACE(StringToUtf8(n.url));
        form->Browser->SetURL(u"about:blank");
        n.run();
        EXPECT_EQ(form->Browser->GetURL(), n.url);
    }
}

TEST_F(MainWindowUi, TheAddressBarOpensWhatABrowserWouldAndSaysWhenItCannot)
{
    struct Case {
        const char16_t* typed;
        const char16_t* opened; // empty: cannot be opened
    };
    const Case cases[] = {
        { u"example.com", u"https://example.com" },
        { u"  example.com/a?b=1  ", u"https://example.com/a?b=1" },
        { u"localhost:8080/x", u"http://localhost:8080/x" },
        { u"127.0.0.1:9000", u"http://127.0.0.1:9000" },
        { u"HTTP://Example.com", u"HTTP://Example.com" },
        { u"https://example.com/", u"https://example.com/" },
        { u"about:blank", u"about:blank" },
        { u"htp://example.com", u"" },
        { u"http:/example.com", u"" },
        { u"http//example.com", u"" },
        { u"ftp://example.com", u"" },
        { u"javascript:alert(1)", u"" },
        { u"example", u"" },
        { u"exa mple.com", u"" },
        { u"http://", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.typed));
        EXPECT_EQ(StringToUtf8(TfrmMyBrowser::NavigableAddress(c.typed)), StringToUtf8(c.opened));
    }
    auto form = Start();
    form->Browser->SetURL(u"about:blank");
    form->edURL->SetText(u"example.com");
    form->btnGo->Click();
    EXPECT_EQ(form->Browser->GetURL(), u"https://example.com");
    EXPECT_EQ(form->edURL->GetText(), u"https://example.com");
    EXPECT_EQ(answers.Count(), 0);
    form->edURL->SetText(u"htp://example.com");
    form->btnGo->Click();
    EXPECT_EQ(form->Browser->GetURL(), u"https://example.com");
    ASSERT_EQ(answers.Count(), 1);
    EXPECT_TRUE(answers.Last().Text.starts_with(u"\"htp://example.com\" is not an address that can be opened."))
        << StringToUtf8(answers.Last().Text);
}

std::filesystem::path OutputDir();

// The window's pixels as the headless back end holds them, as a PNG in the
// test output folder.
void WriteScreenshot(HWND window, const std::string& name)
{
    const TPixelBuffer px = GetWindowBuffer(window);
    ASSERT_NE(px.Data, nullptr);
    TImageFrame frame;
    frame.Width = px.Width;
    frame.Height = px.Height;
    frame.Pixels.resize(std::size_t(px.Width) * std::size_t(px.Height));
    for (int y = 0; y < px.Height; ++y)
        for (int x = 0; x < px.Width; ++x)
            frame.At(x, y) = reinterpret_cast<const std::uint32_t*>(px.Data + std::size_t(y) * px.Stride)[x] | 0xFF000000u;
    const TBytes bytes = EncodePng(frame);
    const std::filesystem::path file = OutputDir() / name;
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

TEST_F(MainWindowUi, EveryCaptureControlIsVisibleAndNoneCoversAnotherAtEachWindowSize)
{
    const TSize sizes[] = { { 1122, 642 }, { 1366, 768 }, { 1920, 1080 } };
    for (const TSize size : sizes) {
        SCOPED_TRACE(std::to_string(size.cx) + "x" + std::to_string(size.cy));
        session.Backend().SetScreenSize(size);
        session.Backend().SetWorkArea(TRect(0, 0, size.cx, size.cy));
        auto form = Start();
        form->Show();
        Pump();
        EXPECT_EQ(form->GetClientWidth(), size.cx) << "the window opens maximised";
        EXPECT_EQ(form->GetClientHeight(), size.cy);
        // A running capture's captions are the widest.
        form->SIemailNb->SetCaption(u"Emails: 12345");
        form->Memo1Change(form->mmResults);
        Pump();
        const std::vector<TControl*> controls { form->btnCapture, form->btnWelcomeScreen, form->btnCaptEmails,
            form->lbCountry, form->SIemailNb, form->EdNumberofLeads, form->lbVersion };
        const TRect bar = form->ToolBar3->GetClientRect();
        for (std::size_t i = 0; i < controls.size(); ++i) {
            TControl* c = controls[i];
            SCOPED_TRACE(StringToUtf8(c->GetName()));
            ASSERT_TRUE(c->GetVisible());
            ASSERT_EQ(c->GetParent(), form->ToolBar3);
            const TRect r = c->GetBoundsRect();
            EXPECT_GE(r.Left, bar.Left);
            EXPECT_GE(r.Top, bar.Top);
            EXPECT_LE(r.Right, bar.Right);
            EXPECT_LE(r.Bottom, bar.Bottom);
            for (std::size_t j = 0; j < i; ++j) {
                TRect both;
                EXPECT_FALSE(IntersectRect(both, r, controls[j]->GetBoundsRect()))
                    << StringToUtf8(controls[j]->GetName());
            }
        }
        // The browser keeps its share of the window beside the results.
        EXPECT_GE(form->Browser->GetWidth(), TfrmMyBrowser::MinBrowserWidth(form->GetClientWidth()) - 10);
        WriteScreenshot(form->GetHandle(),
            "main-window-" + std::to_string(size.cx) + "x" + std::to_string(size.cy) + ".png");
        form->Hide();
    }
}

TEST_F(MainWindowUi, TheWindowResizesRelaysItselfAndTheSplitterStaysBesideTheResults)
{
    auto form = Start();
    form->Show();
    Pump();
    ASSERT_EQ(form->GetWindowState(), wsMaximized);
    form->SetWindowState(wsNormal);
    form->SetBounds(0, 0, 1500, 800);
    Pump();
    EXPECT_EQ(form->GetWidth(), 1500);
    // Narrowing the window narrows a wide results panel with it.
    form->PageControl1->SetWidth(800);
    form->SetBounds(0, 0, 1000, 800);
    Pump();
    EXPECT_LE(form->PageControl1->GetWidth(), form->MaxResultsWidth());
    EXPECT_GE(form->Browser->GetWidth(), 390);

    auto splitterBesideResults = [&] {
        return form->Splitter1->GetLeft() + form->Splitter1->GetWidth() == form->PageControl1->GetLeft()
            && form->PageControl1->GetLeft() + form->PageControl1->GetWidth() == form->GetClientWidth();
    };
    for (bool down : { true, false, true, false }) {
        SCOPED_TRACE(down);
        form->tbSplitScreen->SetDown(down);
        form->tbSplitScreenClick(form->tbSplitScreen);
        Pump();
        EXPECT_EQ(form->PageControl1->GetWidth(), down ? form->GetWidth() / 4 : form->GetWidth() / 2);
        EXPECT_TRUE(splitterBesideResults()) << form->Splitter1->GetLeft() << " " << form->PageControl1->GetLeft() << " "
                                             << form->PageControl1->GetWidth() << " " << form->GetClientWidth();
        EXPECT_EQ(form->Splitter1->FindControl(), form->PageControl1);
    }
    // A drag moves the edge and stays within the browser's share.
    const int before = form->PageControl1->GetWidth();
    const TPoint grip = form->Splitter1->ClientToScreen({ 2, 100 });
    Headless::Drag(grip, { grip.X - 60, grip.Y });
    Pump();
    EXPECT_EQ(form->PageControl1->GetWidth(), before + 60);
    EXPECT_TRUE(splitterBesideResults());
    Headless::Drag({ grip.X - 60, grip.Y }, { 5, grip.Y });
    Pump();
    EXPECT_EQ(form->PageControl1->GetWidth(), form->MaxResultsWidth());
    EXPECT_TRUE(splitterBesideResults());
}

// ---- on a display ----

std::filesystem::path OutputDir()
{
    const char* env = std::getenv("QT_TEST_OUTPUT_DIR");
    std::filesystem::path dir = env && *env ? std::filesystem::path(env) : std::filesystem::current_path() / "test-output";
    std::filesystem::create_directories(dir);
    return dir;
}

TEST(MainWindowScreen, TheStartedWindowShowsOnADisplay)
{
    testsupport::TPrivateDisplay display(1280, 800);
    std::unique_ptr<IWindowBackend> sdl = CreateSdlBackend();
    if (!sdl)
        GTEST_SKIP() << "no display can be opened";
    Site();
    SetWindowBackend(sdl.get());
    InstallMessageLoopHooks();
    InstallDeviceContextFactory();
    testsupport::TempDir registry;
    setenv("QUARRYTIDE_REGISTRY_DIR", registry.path().c_str(), 1);
    const auto pause = TfrmMyBrowser::PlainPause;
    TfrmMyBrowser::PlainPause = [](unsigned) {};
    {
        TDialogAnswers answers;
        TfrmMyBrowser form(nullptr);
        form.AfterConstruction();
        form.SetWindowState(wsNormal);
        form.SetBounds(0, 0, 1122, 700);
        form.mmResults->GetLines()->Add(u"\"Acme Plumbing\",\"12 Main St\",\"Sydney\",\"NSW\",\"2000\"");
        form.Show();
        std::vector<std::uint32_t> pixels;
        int width = 0, height = 0;
        bool shown = false;
        const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
        while (!shown && std::chrono::steady_clock::now() < deadline) {
            Application->ProcessMessages();
            shown = ReadDisplayedPixels(form.GetHandle(), pixels, width, height) && width == form.GetWidth()
                && height == form.GetHeight();
            if (!shown)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ASSERT_TRUE(shown) << "the display never showed the window";
        // The style paints the form: not one colour everywhere.
        bool varied = false;
        for (std::uint32_t p : pixels)
            varied = varied || (p & 0xFFFFFF) != (pixels[0] & 0xFFFFFF);
        EXPECT_TRUE(varied);
        TImageFrame frame;
        frame.Width = width;
        frame.Height = height;
        frame.Pixels = pixels;
        for (auto& p : frame.Pixels)
            p |= 0xFF000000u;
        const TBytes bytes = EncodePng(frame);
        const std::filesystem::path file = OutputDir() / "main-window.png";
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        out.close();
        EXPECT_GT(std::filesystem::file_size(file), 1000u);
        std::cout << "main window written to " << file.string() << "\n";
    }
    TfrmMyBrowser::PlainPause = pause;
    TStyleManager::SetStyle(u"Windows");
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetWindowBackend(nullptr);
}

} // namespace
