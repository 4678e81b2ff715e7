// The capture command and the results: the two capture buttons that start
// and stop the crawl, the results memo with its counters, removing duplicate
// lines, emptying the results, saving them as a CSV or text file, the
// spreadsheet view of the results and saving it as an Excel workbook.

#include "app/MainWindow.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "app/CaptureGlobals.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "grid/core/DedOzovedUrad.h"
#include "richtext/LumSmoothStatusIndicator.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Dialogs.h"

namespace {

const String StopCaption = u"STOP!";
const String CaptureCaption = u"Fast Capture";
const String CaptureEmailsCaption = u"NEW! Capture Emails";

// Image indexes of a capture button: running and idle.
constexpr int CaptureRunningImage = 0;
constexpr int CaptureIdleImage = 8;

String LineCountText(int count) { return IntToStr(count); }

// Stands between the fields of a result line while the grid is filled.
constexpr Char ExcelViewDelimiter = u'\u00A4';

// The crawl browser; a capture cannot run without it.
TSuperBrowser& CrawlBrowser(TfrmMyBrowser& form)
{
    if (!form.Browser)
        throw EInvalidOperation(u"The browser has not been created");
    return *form.Browser;
}

// Steps before the capture proper: which button acts as STOP, the address
// edit, the browser's flags and the navigation buttons.
void BeginCapture(TfrmMyBrowser& form, TToolButton* button)
{
    form.ToolBtnStop->SetEnabled(true);
    EmailMode = button == form.btnCaptEmails;
    form.btnCapture->SetEnabled(!EmailMode);
    form.btnCaptEmails->SetEnabled(EmailMode);
    TSuperBrowser& browser = CrawlBrowser(form);
    if (TCustomEdit* edit = browser.GetAttachedEdit())
        edit->SetText(browser.GetURL());
    browser.SetfTimer(ScrapeInterval);
    browser.SetbStop(false);
    browser.SetbComplete(false);
    browser.ClearCrawlFailure();
    form.StatusBar1->SetSimplePanel(false);
    form.ToolbtnBack->SetEnabled(false);
    form.ToolBtnForward->SetEnabled(false);
    form.ToolBtnStop->SetEnabled(true);
    button->SetImageIndex(CaptureRunningImage);
}

void ResetEmailCount(TfrmMyBrowser& form)
{
    TotalEmails = 0;
    form.SIemailNb->SetCaption(u"0");
}

// A new capture: wait for the page, offer to empty the old results, crawl.
// Returns when the crawl has ended.
void RunCapture(TfrmMyBrowser& form, TToolButton* button)
{
    // A stop flag left from before belongs to no capture of this press.
    StopPressed = false;
    button->SetCaption(StopCaption);
    form.PageControl1->SetActivePage(form.tbResults);
    form.sgExcel->Clear();
    form.WaitForPageToLoad();
    if (form.mmResults->GetLines()->GetCount() > 0
        && MessageDlg(u"Empty previous data results first?", mtInformation, mbYesNo, 0) == mrYes) {
        form.mmResults->GetLines()->Clear();
        ResetEmailCount(form);
    }
    form.ProcessPageAUYP();
}

// A press on "STOP!": runs nested inside the running capture's message
// pumping and only raises the flags the crawl tests.
void StopRunningCapture(TfrmMyBrowser& form)
{
    try {
        StopPressed = true;
        TSuperBrowser& browser = CrawlBrowser(form);
        browser.SetbStop(true);
        browser.StopLoading();
        if (form.StatusPopup)
            form.StatusPopup->Hide();
        Application->ProcessMessages();
    } catch (...) {
    }
}

// The totals; a crawl that stopped on its own says why on a line of its own,
// and so does the status bar, so the box never reads as plain success.
void ReportCaptureTotals(TfrmMyBrowser& form)
{
    const String count = LineCountText(form.mmResults->GetLines()->GetCount());
    const String failure = form.Browser ? form.Browser->GetCrawlFailure() : String();
    if (!failure.empty()) {
        form.StatusBar1->SetSimpleText(failure);
        form.StatusBar1->SetSimplePanel(true);
    }
    if (!StopPressed)
        ShowMessage(u"A total of " + count + u" addresses have been scraped!\r"
                    u"Don't forget to eliminate duplicates (small button)!\r"
                    u"or empty the grid with the <- button! \r"
            + (failure.empty() ? String() : failure + u"\r"));
    form.SetCaption(u"QTX - A total of " + count + u" addresses have been scraped!");
}

void EndCapture(TfrmMyBrowser& form, TToolButton* button)
{
    form.ToolbtnBack->SetEnabled(true);
    form.ToolBtnForward->SetEnabled(true);
    form.btnCapture->SetEnabled(true);
    form.btnCaptEmails->SetEnabled(true);
    form.ToolBtnStop->SetEnabled(false);
    StopPressed = false;
    button->SetImageIndex(CaptureIdleImage);
}

// Every line followed by CR LF, in the system code page, without a
// byte-order mark or header.
void SaveResultLines(TStrings* lines, const String& fileName)
{
    String text;
    for (int i = 0; i < lines->GetCount(); ++i) {
        text += lines->GetStrings(i);
        text += u"\r\n";
    }
    const TBytes bytes = TEncoding::ANSI()->GetBytes(text);
    TFileStream file(fileName, fmCreate);
    if (!bytes.empty())
        file.WriteBuffer(bytes.data(), bytes.size());
}

// The lines in the locale's order, ignoring case; of lines that differ only
// in letter case the first spelling stays. A stable sort keeps equal lines
// in their order, so each run of equals starts with its first spelling (the
// same result as adding the lines to a sorted list that ignores duplicates,
// without its cost of one insertion shift per line).
std::vector<String> SortedUniqueLines(TStrings* lines)
{
    std::vector<String> sorted;
    sorted.reserve(std::size_t(lines->GetCount()));
    for (int i = 0; i < lines->GetCount(); ++i)
        sorted.push_back(lines->GetStrings(i));
    std::stable_sort(sorted.begin(), sorted.end(),
        [](const String& a, const String& b) { return CompareStringLocale(a, b, true) < 0; });
    std::vector<String> unique;
    for (String& line : sorted)
        if (unique.empty() || CompareStringLocale(unique.back(), line, true) != 0)
            unique.push_back(std::move(line));
    return unique;
}

// Suspends a list's change notifications for one scope.
class TLinesUpdate {
public:
    explicit TLinesUpdate(TStrings* lines) : m_lines(lines) { m_lines->BeginUpdate(); }
    ~TLinesUpdate() { m_lines->EndUpdate(); }
    TLinesUpdate(const TLinesUpdate&) = delete;
    TLinesUpdate& operator=(const TLinesUpdate&) = delete;

private:
    TStrings* m_lines;
};

// Shows the status pop-up for one scope; it is hidden on every path.
class TPopupShown {
public:
    TPopupShown(TfrmSplashScreen* popup, const String& message) : m_popup(popup)
    {
        SetMessages(message);
        if (m_popup)
            m_popup->Show();
    }
    ~TPopupShown()
    {
        try {
            if (m_popup)
                m_popup->Hide();
        } catch (...) {
            // Leaving a pop-up on screen is better than ending the program.
        }
    }
    TPopupShown(const TPopupShown&) = delete;
    TPopupShown& operator=(const TPopupShown&) = delete;
    void SetMessages(const String& text)
    {
        if (m_popup)
            m_popup->lblMessages->SetCaption(text);
    }

private:
    TfrmSplashScreen* m_popup;
};

} // namespace

void TfrmMyBrowser::btnCaptureClick(TObject* Sender)
{
    auto* button = dynamic_cast<TToolButton*>(Sender);
    if (!button)
        return;
    // An error inside the crawl must not leave the buttons as "STOP!" and
    // disabled, nor the stop flag set: the closing steps run on every path,
    // and the error is reported once the window is usable again.
    std::exception_ptr failure;
    try {
        BeginCapture(*this, button);
        if (button->GetCaption() != StopCaption)
            RunCapture(*this, button);
        else
            StopRunningCapture(*this);
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        button->SetCaption(button == btnCaptEmails ? CaptureEmailsCaption : CaptureCaption);
        if (!failure)
            ReportCaptureTotals(*this);
    } catch (...) {
        // The totals are a courtesy; losing them must not skip the next step.
    }
    EndCapture(*this, button);
    if (failure) {
        try {
            std::rethrow_exception(failure);
        } catch (...) {
            Application->HandleException(this);
        }
    }
}

void TfrmMyBrowser::ToolBtnStopClick(TObject*)
{
    TSuperBrowser& browser = CrawlBrowser(*this);
    browser.SetbStop(true);
    browser.StopLoading();
    ToolbtnBack->SetEnabled(true);
    ToolBtnForward->SetEnabled(true);
    btnCapture->SetEnabled(true);
    btnCaptEmails->SetEnabled(true);
}

void TfrmMyBrowser::Memo1Change(TObject*)
{
    const String count = LineCountText(mmResults->GetLines()->GetCount());
    const String text = count + u" Lines in Results";
    EdNumberofLeads->SetText(text);
    StatusBar1->GetPanels()->GetItem(2)->SetText(text);
    tbResults->SetCaption(u"Results (" + count + u" lines)");
}

void TfrmMyBrowser::ToolButton2Click(TObject*)
{
    if (!SaveDialog1->Execute())
        return;
    try {
        SaveResultLines(mmResults->GetLines(), SaveDialog1->GetFileName());
    } catch (...) {
        ShowMessage(u"Data cannot be saved!\r");
    }
}

void TfrmMyBrowser::ToolButton3Click(TObject*)
{
    // The grid shows the memo's lines and nothing else: without emptying it
    // first, cells right of a shorter line would keep an earlier fill's
    // fields.
    sgExcel->Clear();
    // The commas between the quoted fields become character 164, which no
    // field holds; the commas inside fields stay.
    const String fieldBreak = String(u"\"") + ExcelViewDelimiter + u"\"";
    TStrings* lines = mmResults->GetLines();
    String text;
    for (int i = 0; i < lines->GetCount(); ++i) {
        text += StringReplace(lines->GetStrings(i), u"\",\"", fieldBreak, rfReplaceAll);
        text += u"\r\n";
    }
    sgExcel->SetDelimiter(ExcelViewDelimiter);
    TStringStream stream(text, TEncoding::ANSI());
    sgExcel->LoadFromCSVStream(stream, lines->GetCount(), -1);
}

void TfrmMyBrowser::ToolButton5Click(TObject*)
{
    // The filter and title stay for later saves, the CSV save's included.
    SaveDialog1->SetFilter(u"Excel file|*.xls*|");
    SaveDialog1->SetTitle(u"Save to EXCEL, Salvare, guardar, sauvegarder... (Please add extension XLS or XLSX)");
    if (!SaveDialog1->Execute())
        return;
    const String fileName = SaveDialog1->GetFileName();
    try {
        TrimWorkingSet();
        TPopupShown shown(StatusPopup, u"The data is being saved...");
        // The pop-up stays a moment, also after a failed save.
        struct TFinalDelay {
            TfrmMyBrowser& Form;
            ~TFinalDelay() { Form.PumpingDelay(1500); }
        } delay { *this };
        sgExcel->SaveToXLS(fileName, false);
        shown.SetMessages(u"The data has been saved to file \r" + fileName + u".");
    } catch (...) {
        ShowMessage(u"Data cannot be saved to XLS! Is EXCEL installed on your PC? Please make sure this folder is "
                    u"writable first!"
            + fileName);
    }
}

void TfrmMyBrowser::ToolButton6Click(TObject*)
{
    TStrings* lines = mmResults->GetLines();
    const std::vector<String> unique = SortedUniqueLines(lines);
    String text;
    for (const String& line : unique) {
        if (&line != &unique.front())
            text += u"\r\n";
        text += line;
    }
    {
        TLinesUpdate update(lines);
        lines->SetText(text);
    }
    tbResults->SetCaption(u"Results (" + LineCountText(lines->GetCount()) + u" lines)");
    Memo1Change(mmResults);
}

void TfrmMyBrowser::ToolButton7Click(TObject*)
{
    try {
        mmResults->GetLines()->Clear();
        sgExcel->Clear();
        tbResults->SetCaption(u"Results (" + String(u"0") + u" lines)");
        Memo1Change(mmResults);
        ResetEmailCount(*this);
    } catch (...) {
    }
}

void TfrmMyBrowser::PageControl1Change(TObject*)
{
    if (PageControl1->GetActivePage() == tbSaveToExcel) {
        try {
            ToolButton3Click(ToolButton3);
        } catch (...) {
            // An empty memo has nothing to show.
        }
    }
    sgExcel->AutoSizeColumns(false, 4);
}

void TfrmMyBrowser::ProcessPageAUYP()
{
    ToolbtnBack->SetEnabled(false);
    ToolBtnForward->SetEnabled(false);
    ToolBtnStop->SetEnabled(true);
    TSuperBrowser& browser = CrawlBrowser(*this);
    browser.SetfDoEmails(EmailMode);
    browser.StartParsingAUYP();
}

void TfrmMyBrowser::WaitForPageToLoad()
{
    TrimWorkingSet();
    Application->ProcessMessages();
    TPopupShown shown(StatusPopup, u"The page is loading...");
    Application->ProcessMessages();
    Application->ProcessMessages();
    WaitScrapeInterval();
    shown.SetMessages(u"Fully loaded");
    PumpingDelay(1000);
}

void TfrmMyBrowser::PumpingDelay(unsigned ms)
{
    // A monotonic 64-bit clock: the wait neither ends early nor hangs when a
    // 32-bit tick counter wraps.
    const UInt64 start = GetTickCount64();
    for (UInt64 elapsed = 0; elapsed <= ms; elapsed = GetTickCount64() - start) {
        Application->ProcessMessages();
        // Steps of 10 ms, the last one only as long as the wait has left.
        Sleep(DWORD(std::min<UInt64>(10, ms - elapsed + 1)));
    }
}

void TfrmMyBrowser::WaitScrapeInterval() { PumpingDelay(unsigned(ScrapeInterval) * 1000u); }

void TfrmMyBrowser::TrimWorkingSet()
{
    // The memory manager returns freed pages on its own here; there is no
    // working set to ask the system to trim.
}
