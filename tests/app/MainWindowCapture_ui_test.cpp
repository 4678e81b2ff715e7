// The capture command and the results of the main window, headless. The
// window's crawl browser has no web view here, so a crawl that is not
// stopped gets no answer to its first script: the page-did-not-answer case.
#include "app/MainWindow.h"
#include "tests/app/MainWindowSite.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"
#include "platform/win/Headless.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "tests/support/Fixtures.h"

namespace {

std::vector<String> Lines(TStrings* lines)
{
    std::vector<String> out;
    for (int i = 0; i < lines->GetCount(); ++i)
        out.push_back(lines->GetStrings(i));
    return out;
}

void SetLines(TMemo* memo, const std::vector<String>& lines)
{
    memo->GetLines()->Clear();
    for (const String& line : lines)
        memo->GetLines()->Add(line);
}

std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool IsTotalsBox(const TDialogRecord& r) { return r.Text.starts_with(u"A total of "); }

int CountTotalsBoxes(const std::vector<TDialogRecord>& shown)
{
    int n = 0;
    for (const TDialogRecord& r : shown)
        n += IsTotalsBox(r) ? 1 : 0;
    return n;
}

class MainWindowCaptureUi : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Start-up's version checks go to the local stand-in site.
        mainwindowtest::Site();
        // Settings of our own, so nothing stored elsewhere steers the window.
        const char* registry = std::getenv("QUARRYTIDE_REGISTRY_DIR");
        m_previousRegistry = registry ? registry : "";
        setenv("QUARRYTIDE_REGISTRY_DIR", m_registry.path().c_str(), 1);
        InstallDeviceContextFactory();
        InstallDialogs();
        m_pause = TfrmMyBrowser::PlainPause;
        TfrmMyBrowser::PlainPause = [](unsigned) { };
        {
            TDialogAnswers startup; // start-up's messages take their default answers
            Application->CreateForm(form);
        }
        form->Show();
        // The results panel (1024 pixels by default) would cover the
        // second capture button of a window this size.
        form->PageControl1->SetWidth(300);
        Pump();
        ASSERT_NE(form->Browser, nullptr);
        ASSERT_NE(form->StatusPopup, nullptr);
        ScrapeInterval = 0;
        TotalEmails = 0;
        StopPressed = false;
    }

    void TearDown() override
    {
        delete form;
        TfrmMyBrowser::PlainPause = m_pause;
        setenv("QUARRYTIDE_REGISTRY_DIR", m_previousRegistry.c_str(), 1);
    }

    static void Pump() { Application->ProcessMessages(); }

    // A mouse click in the middle of a tool button, through the input queue;
    // the click itself runs at the next pumping.
    static void ClickButton(TToolButton* button)
    {
        const TPoint at = button->ClientToScreen({ button->GetWidth() / 2, button->GetHeight() / 2 });
        Headless::MouseDown(at);
        Pump();
        Headless::MouseUp(at);
    }

    // Presses `button` to start a capture, and presses it again (its STOP)
    // while the capture waits for the page, the way a user stops it.
    void CaptureAndStop(TToolButton* button)
    {
        TTimer stopper(form);
        stopper.SetInterval(600); // beyond the double-click time
        stopper.OnTimer = [&](TObject*) {
            stopper.SetEnabled(false);
            m_stopSeen = button->GetCaption();
            ClickButton(button);
        };
        m_stopSeen.clear();
        ClickButton(button);
        Pump();
    }

    void ExpectIdle(TToolButton* pressed, const String& idleCaption)
    {
        EXPECT_EQ(pressed->GetCaption(), idleCaption);
        EXPECT_EQ(pressed->GetImageIndex(), 8);
        EXPECT_TRUE(form->btnCapture->GetEnabled());
        EXPECT_TRUE(form->btnCaptEmails->GetEnabled());
        EXPECT_TRUE(form->ToolbtnBack->GetEnabled());
        EXPECT_TRUE(form->ToolBtnForward->GetEnabled());
        EXPECT_FALSE(form->ToolBtnStop->GetEnabled());
        EXPECT_FALSE(StopPressed);
        EXPECT_FALSE(form->IsCapturing());
    }

    THeadlessSession session;
    testsupport::TempDir m_registry;
    std::string m_previousRegistry;
    TfrmMyBrowser* form { nullptr };
    String m_stopSeen;
    std::function<void(unsigned)> m_pause;
};

TEST_F(MainWindowCaptureUi, StopDuringACaptureShowsOneTotalsBoxAfterItUnwinds)
{
    struct Case {
        const char* name;
        TToolButton* TfrmMyBrowser::*button;
        TToolButton* TfrmMyBrowser::*other;
        String idleCaption;
        bool emailMode;
    } const cases[] = {
        { "plain", &TfrmMyBrowser::btnCapture, &TfrmMyBrowser::btnCaptEmails, u"Fast Capture", false },
        { "e-mails", &TfrmMyBrowser::btnCaptEmails, &TfrmMyBrowser::btnCapture, u"NEW! Capture Emails", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TToolButton* button = form->*c.button;
        SetLines(form->mmResults, { u"line one", u"line two", u"line three" });
        // The other button is disabled and Stop enabled while the capture runs.
        std::optional<bool> otherEnabled, stopEnabled, popupShown;
        String popupText;
        TDialogAnswers answers;
        answers.Answer(mrNo); // keep the previous results
        TTimer probe(form);
        probe.SetInterval(300);
        probe.OnTimer = [&](TObject*) {
            probe.SetEnabled(false);
            otherEnabled = (form->*c.other)->GetEnabled();
            stopEnabled = form->ToolBtnStop->GetEnabled();
            popupShown = form->StatusPopup->GetVisible();
            popupText = form->StatusPopup->lblMessages->GetCaption();
        };
        CaptureAndStop(button);

        EXPECT_EQ(m_stopSeen, u"STOP!");
        ASSERT_TRUE(otherEnabled.has_value());
        EXPECT_FALSE(*otherEnabled);
        EXPECT_TRUE(*stopEnabled);
        // The page wait shows the status pop-up; the STOP press hides it.
        EXPECT_TRUE(*popupShown);
        EXPECT_EQ(popupText, u"Fully loaded");
        EXPECT_FALSE(form->StatusPopup->GetVisible());
        EXPECT_EQ(EmailMode, c.emailMode);
        EXPECT_TRUE(form->Browser->GetbStop());
        // The question, then one totals box, nothing else.
        ASSERT_EQ(answers.Count(), 2);
        EXPECT_EQ(answers.Shown()[0].Text, u"Empty previous data results first?");
        EXPECT_EQ(answers.Shown()[1].Text, u"A total of 3 addresses have been scraped!\r"
                                           u"Don't forget to eliminate duplicates (small button)!\r"
                                           u"or empty the grid with the <- button! \r");
        EXPECT_EQ(form->GetCaption(), u"QTX - A total of 3 addresses have been scraped!");
        EXPECT_EQ(Lines(form->mmResults->GetLines()), (std::vector<String> { u"line one", u"line two", u"line three" }));
        ExpectIdle(button, c.idleCaption);
    }
}

TEST_F(MainWindowCaptureUi, EmptyPreviousResultsQuestion)
{
    struct Case {
        const char* name;
        TModalResult answer;
        std::vector<String> linesAfter;
        int emailsAfter;
    } const cases[] = {
        { "yes empties the results and the e-mail count", mrYes, {}, 0 },
        // The start-up placeholder stays the first line when kept.
        { "no keeps them", mrNo, { u"Scraping results, one page at a time...", u"a line" }, 7 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLines(form->mmResults, { u"Scraping results, one page at a time...", u"a line" });
        TotalEmails = 7;
        form->SIemailNb->SetCaption(u"7");
        TDialogAnswers answers;
        answers.Answer(c.answer);
        CaptureAndStop(form->btnCapture);

        ASSERT_GE(answers.Count(), 1);
        const TDialogRecord& question = answers.Shown()[0];
        EXPECT_EQ(question.Kind, TDialogKind::MessageDlg);
        EXPECT_EQ(question.Text, u"Empty previous data results first?");
        EXPECT_EQ(question.DlgType, mtInformation);
        EXPECT_EQ(question.Buttons, (std::vector<String> { u"&Yes", u"&No" }));
        EXPECT_EQ(Lines(form->mmResults->GetLines()), c.linesAfter);
        EXPECT_EQ(TotalEmails, c.emailsAfter);
        EXPECT_EQ(form->SIemailNb->GetCaption(), IntToStr(c.emailsAfter));
        EXPECT_EQ(CountTotalsBoxes(answers.Shown()), 1);
    }
}

TEST_F(MainWindowCaptureUi, AnEmptyMemoAsksNothing)
{
    form->mmResults->GetLines()->Clear();
    TDialogAnswers answers;
    CaptureAndStop(form->btnCapture);
    ASSERT_EQ(answers.Count(), 1);
    EXPECT_TRUE(IsTotalsBox(answers.Last()));
    EXPECT_EQ(answers.Last().Text.substr(0, 15), u"A total of 0 ad");
}

TEST_F(MainWindowCaptureUi, APageThatDoesNotAnswerEndsTheCaptureAndTheTotalsSayWhy)
{
    TToolButton* button = form->btnCapture;
    form->mmResults->GetLines()->Clear();
    // A stale stop flag must not hide the totals of the next capture.
    StopPressed = true;
    // What the window looks like when the totals are shown.
    std::vector<TDialogRecord> shown;
    String captionAtReport;
    TDialogHook previous = SetDialogHook([&](const TDialogRecord& r) {
        shown.push_back(r);
        captionAtReport = button->GetCaption();
        return TDialogAnswer { TModalResult(IDOK), String() };
    });
    ClickButton(button);
    Pump();
    SetDialogHook(std::move(previous));

    // One totals box, with the reason on a line of its own; the status bar
    // says the same.
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(IsTotalsBox(shown[0]));
    const String failure = form->Browser->GetCrawlFailure();
    EXPECT_TRUE(failure.starts_with(u"The page did not answer within ")) << StringToUtf8(failure);
    EXPECT_TRUE(shown[0].Text.ends_with(u"\r" + failure + u"\r")) << StringToUtf8(shown[0].Text);
    EXPECT_TRUE(form->StatusBar1->GetSimplePanel());
    EXPECT_EQ(form->StatusBar1->GetSimpleText(), failure);
    EXPECT_EQ(captionAtReport, u"Fast Capture");
    ExpectIdle(button, u"Fast Capture");
    EXPECT_FALSE(form->StatusPopup->GetVisible());

    // The next press starts a new capture rather than stopping a dead one,
    // and the status bar shows its panels again.
    TDialogAnswers answers;
    CaptureAndStop(button);
    EXPECT_EQ(m_stopSeen, u"STOP!");
    EXPECT_EQ(CountTotalsBoxes(answers.Shown()), 1);
    EXPECT_FALSE(form->StatusBar1->GetSimplePanel());
    ExpectIdle(button, u"Fast Capture");
}

TEST_F(MainWindowCaptureUi, ToolbarStopStopsTheCrawlAndFreesTheButtons)
{
    form->ToolbtnBack->SetEnabled(false);
    form->ToolBtnForward->SetEnabled(false);
    form->btnCapture->SetEnabled(false);
    form->btnCaptEmails->SetEnabled(false);
    form->Browser->SetbStop(false);
    form->ToolBtnStopClick(form->ToolBtnStop);
    EXPECT_TRUE(form->Browser->GetbStop());
    EXPECT_TRUE(form->ToolbtnBack->GetEnabled());
    EXPECT_TRUE(form->ToolBtnForward->GetEnabled());
    EXPECT_TRUE(form->btnCapture->GetEnabled());
    EXPECT_TRUE(form->btnCaptEmails->GetEnabled());
}

TEST_F(MainWindowCaptureUi, LineCountersFollowTheMemo)
{
    struct Case {
        std::vector<String> lines;
        const char16_t* count;
    } const cases[] = {
        { {}, u"0" },
        { { u"one" }, u"1" },
        { { u"one", u"two", u"three" }, u"3" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.count));
        SetLines(form->mmResults, c.lines);
        Pump();
        EXPECT_EQ(form->EdNumberofLeads->GetText(), String(c.count) + u" Lines in Results");
        EXPECT_EQ(form->StatusBar1->GetPanels()->GetItem(2)->GetText(), String(c.count) + u" Lines in Results");
        EXPECT_EQ(form->tbResults->GetCaption(), u"Results (" + String(c.count) + u" lines)");
    }
}

TEST_F(MainWindowCaptureUi, RemoveDuplicatesSortsAndKeepsTheFirstSpelling)
{
    struct Case {
        const char* name;
        std::vector<String> lines;
        std::vector<String> expected;
    } const cases[] = {
        { "case variants", { u"\"Acme\",\"Sydney\"", u"\"ACME\",\"SYDNEY\"", u"\"acme\",\"sydney\"" }, { u"\"Acme\",\"Sydney\"" } },
        { "later spelling first in the memo", { u"b", u"Zed", u"zED", u"A", u"a", u"b" }, { u"A", u"b", u"Zed" } },
        // Sorted by the locale, not by code unit: accents beside their letter.
        { "locale order", { u"Zoo", u"\u00e9cole", u"ecole", u"Apple", u"\u00c9cole" }, { u"Apple", u"ecole", u"\u00e9cole", u"Zoo" } },
        { "no lines", {}, {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLines(form->mmResults, c.lines);
        form->ToolButton6->Click();
        EXPECT_EQ(Lines(form->mmResults->GetLines()), c.expected);
        const String n = IntToStr(int(c.expected.size()));
        EXPECT_EQ(form->tbResults->GetCaption(), u"Results (" + n + u" lines)");
        EXPECT_EQ(form->EdNumberofLeads->GetText(), n + u" Lines in Results");
    }
    // The Data menu's item does the same.
    SetLines(form->mmResults, { u"x", u"X" });
    form->Removeduplicates1->Click();
    EXPECT_EQ(Lines(form->mmResults->GetLines()), (std::vector<String> { u"x" }));
}

TEST_F(MainWindowCaptureUi, EmptyingClearsTheResultsAndTheEmailCount)
{
    for (TComponent* trigger : { static_cast<TComponent*>(form->ToolButton7), static_cast<TComponent*>(form->Emptydatagrid1) }) {
        SCOPED_TRACE(StringToUtf8(trigger->GetName()));
        SetLines(form->mmResults, { u"one", u"two" });
        TotalEmails = 12;
        form->SIemailNb->SetCaption(u"12");
        if (auto* b = dynamic_cast<TToolButton*>(trigger))
            b->Click();
        else
            static_cast<TMenuItem*>(trigger)->Click();
        EXPECT_EQ(form->mmResults->GetLines()->GetCount(), 0);
        EXPECT_EQ(TotalEmails, 0);
        EXPECT_EQ(form->SIemailNb->GetCaption(), u"0");
        EXPECT_EQ(form->tbResults->GetCaption(), u"Results (0 lines)");
        EXPECT_EQ(form->EdNumberofLeads->GetText(), u"0 Lines in Results");
    }
}

TEST_F(MainWindowCaptureUi, SaveWritesTheLinesWithCrLfInUtf8WithoutBom)
{
    testsupport::TempDir dir;
    const std::vector<String> lines = { u"\"Caf\u00e9 M\u00fcller\",\"2000\"", u"", u"\"\U0001F600\",\"x\"", u"plain" };
    SetLines(form->mmResults, lines);
    const std::filesystem::path file = dir / "out.csv";
    TDialogAnswers answers;
    answers.Answer(mrOk, Utf8ToString(file.string()));
    form->ToolButton2->Click();

    ASSERT_EQ(answers.Count(), 1);
    const TDialogRecord& dialog = answers.Last();
    EXPECT_EQ(dialog.Kind, TDialogKind::SaveFile);
    EXPECT_EQ(dialog.Caption, u"Save data as...");
    EXPECT_EQ(dialog.Filter, u"CSV database or excel text file|*.csv|Text file|*.txt");
    EXPECT_EQ(dialog.Value, u"qtx1.csv");
    std::string expected;
    for (const String& line : lines)
        expected += StringToUtf8(line) + "\r\n";
    EXPECT_EQ(ReadBytes(file), expected);
}

TEST_F(MainWindowCaptureUi, SaveCancelledOrFailing)
{
    testsupport::TempDir dir;
    SetLines(form->mmResults, { u"one" });
    {
        TDialogAnswers answers;
        answers.Answer(mrCancel);
        form->ToolButton2->Click();
        EXPECT_EQ(answers.Count(), 1);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
    {
        // A full disk: the file opens but the lines cannot be written.
        TDialogAnswers answers;
        answers.Answer(mrOk, u"/dev/full");
        form->ToolButton2->Click();
        ASSERT_EQ(answers.Count(), 2);
        EXPECT_EQ(answers.Last().Kind, TDialogKind::MessageDlg);
        EXPECT_EQ(answers.Last().Text, u"Data cannot be saved!\r");
    }
}

TEST_F(MainWindowCaptureUi, PumpingDelayDispatchesMessagesAndSurvivesTheTickWrap)
{
    // Start just before the 32-bit tick counter wraps.
    session.Clock().Set((UInt64(1) << 32) - 300);
    int fired = 0;
    TTimer timer(form);
    timer.SetInterval(100);
    timer.OnTimer = [&](TObject*) { ++fired; };
    const UInt64 start = GetTickCount64();
    form->PumpingDelay(1000);
    const UInt64 elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LT(elapsed, 1100u);
    EXPECT_GE(fired, 9);
}

} // namespace
