#pragma once
// The main window: a browser frame around the crawl browser with an address
// bar, a navigation tool bar, a capture tool bar, menus, a status bar and a
// right-hand panel holding the results. The form is built in code; its
// fields carry the component names so FindComponent finds them too.

#include <functional>
#include <memory>

#include "platform/rtl/String.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Edits.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Memo.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Splitter.h"
#include "platform/vcl/StdCtrls.h"
#include "platform/vcl/Timers.h"

class TDedOzovedUrad;
class TSuperBrowser;
class TfrmSplashScreen;
class TLumSmoothStatusIndicator;
class TWebData;
class TImageList;

// The version text shown in the status bar, the caption and the start page.
String VersionText();
// Set by the update check: the date of the newest version on the maker's site.
extern String LatestVersionDate;

// The window's status bar holds child controls.
class TMainStatusBar : public TStatusBar {
    QT_CLASS(TMainStatusBar, TStatusBar)
public:
    explicit TMainStatusBar(TComponent* AOwner = nullptr);
};

class TfrmMyBrowser : public TForm {
    QT_CLASS(TfrmMyBrowser, TForm)
public:
    explicit TfrmMyBrowser(TComponent* AOwner = nullptr);
    ~TfrmMyBrowser() override;

    // ---- components (owned by the form) ----
    TMainMenu* MainMenu1 { nullptr };
    TMenuItem* File1 { nullptr };
    TMenuItem* QTXStartPage1 { nullptr };
    TMenuItem* Goto1 { nullptr };
    TMenuItem* Exit1 { nullptr };
    TMenuItem* Edit1 { nullptr };
    TMenuItem* View1 { nullptr };
    TMenuItem* Addressbar1 { nullptr };
    TMenuItem* NavigationBar1 { nullptr };
    TMenuItem* Interface1 { nullptr };
    TMenuItem* Extras1 { nullptr };
    TMenuItem* AddHTML1 { nullptr };
    TMenuItem* Help1 { nullptr };
    TMenuItem* Getsupport1 { nullptr };
    TMenuItem* VisitQTXonline1 { nullptr };
    TMenuItem* N9 { nullptr };

    TPopupMenu* PopTimer { nullptr };
    TMenuItem* N1second1 { nullptr };
    TMenuItem* N3seconds1 { nullptr };
    TMenuItem* N5seconds1 { nullptr };
    TMenuItem* N10seconds1 { nullptr };
    TMenuItem* N15seconds1 { nullptr };
    TMenuItem* N30seconds1 { nullptr };
    TMenuItem* N60seconds1 { nullptr };
    TMenuItem* Clearinternetcookies1 { nullptr };

    TPopupMenu* popData { nullptr };
    TMenuItem* Removeduplicates1 { nullptr };
    TMenuItem* Emptydatagrid1 { nullptr };

    TImageList* ImageList1 { nullptr };
    TSaveDialog* SaveDialog1 { nullptr };

    TPanel* Panel12 { nullptr };
    TCoolBar* CoolBar1 { nullptr };
    TToolBar* tbarNav { nullptr };
    TToolButton* ToolbtnBack { nullptr };
    TToolButton* ToolBtnStop { nullptr };
    TToolButton* ToolBtnForward { nullptr };
    TToolButton* ToolBtnRefresh { nullptr };
    TToolButton* ToolBtnHome { nullptr };
    TToolButton* ToolBtnSearch { nullptr };
    TToolButton* ToolBtnFavorites { nullptr };
    TToolButton* ToolbtnQTX { nullptr };
    TToolButton* ToolBtnPix { nullptr };
    TToolButton* tbSplitScreen { nullptr };
    TToolButton* btnTimer { nullptr };
    TToolButton* ToolBtnData { nullptr };

    TPanel* pnAddress { nullptr };
    TLabel* Label1 { nullptr };
    TEdit* edURL { nullptr };
    TButton* btnGo { nullptr };
    TEdit* edSearch { nullptr };
    TButton* btnSearch { nullptr };
    TLabel* lbVersion { nullptr };

    TMainStatusBar* StatusBar1 { nullptr };

    TPageControl* PageControl1 { nullptr };
    TTabSheet* tbResults { nullptr };
    TToolBar* ToolBar1 { nullptr };
    TToolButton* ToolButton2 { nullptr };
    TToolButton* ToolButton3 { nullptr };
    TToolButton* ToolButton6 { nullptr };
    TToolButton* ToolButton7 { nullptr };
    TMemo* mmResults { nullptr };
    TMemo* Memo1 { nullptr };
    TTabSheet* tbSaveToExcel { nullptr };
    TToolBar* ToolBar2 { nullptr };
    TToolButton* ToolButton5 { nullptr };
    // The spreadsheet view of the results (cells can be edited before the
    // Excel save).
    TDedOzovedUrad* sgExcel { nullptr };
    TSplitter* Splitter1 { nullptr };

    TPanel* Panel8 { nullptr };
    TPageControl* PageControl { nullptr };
    TTabSheet* TabSheet1 { nullptr };
    TToolBar* ToolBar3 { nullptr };
    TToolButton* btnCapture { nullptr };
    TToolButton* btnWelcomeScreen { nullptr };
    TToolButton* btnCaptEmails { nullptr };
    TLabel* lbCountry { nullptr };
    TLumSmoothStatusIndicator* SIemailNb { nullptr };
    TEdit* EdNumberofLeads { nullptr };
    TButtonedEdit* ButtonedEdit1 { nullptr };
    TButtonedEdit* ButtonedEdit2 { nullptr };
    TButton* btnSuchen { nullptr };
    TCheckBox* cbQuick { nullptr };

    // The crawl browser, made by FormCreate (owned by the form).
    TSuperBrowser* Browser { nullptr };
    // The status pop-up, made by FormCreate (owned by the form).
    TfrmSplashScreen* StatusPopup { nullptr };
    // The version check's fetcher.
    std::unique_ptr<TWebData> wbdata;
    // The crawl's listing-id/e-mail pairs, kept across captures.
    std::unique_ptr<TStringList> ListingEmails;

    // ---- shell ----
    // Go button: opens the address bar's address (nothing when it is empty).
    void btnGoClick(TObject* Sender);
    // Enter in the address bar acts as the Go button.
    void edURLKeyPress(TObject* Sender, char16_t& Key);
    // A double click selects the whole address.
    void edURLDblClick(TObject* Sender);
    // Back and Forward step through the browser's history.
    void ToolbtnBackClick(TObject* Sender);
    void ToolBtnForwardClick(TObject* Sender);
    // Repaints the page and enables the Stop button.
    void ToolBtnRefreshClick(TObject* Sender);
    // Home shows the start page, as the menu item does.
    void ToolBtnHomeClick(TObject* Sender);
    // Favourites are not offered: says so in a message.
    void ToolBtnFavoritesClick(TObject* Sender);
    // Opens the directory's home page.
    void ToolbtnQTXClick(TObject* Sender);
    // A "Go to" menu item opens the address in its hint.
    void Goto1Click(TObject* Sender);
    // Welcome button and country label open the welcome page.
    void btnWelcomeScreenClick(TObject* Sender);
    void lbCountryClick(TObject* Sender);
    // Open the maker's home page and its contact page.
    void VisitQTXonline1Click(TObject* Sender);
    void Getsupport1Click(TObject* Sender);
    // Closes the window (a running capture is stopped first).
    void Exit1Click(TObject* Sender);
    // Show or hide the address bar and the navigation tool bar.
    void Addressbar1Click(TObject* Sender);
    void NavigationBar1Click(TObject* Sender);
    // Another browser tab: Back and Forward are disabled until it navigates.
    void PageControlChange(TObject* Sender);
    // Split screen: the results panel takes a quarter or half of the width.
    void tbSplitScreenClick(TObject* Sender);
    // Fills the style menu with the styles, the active one checked.
    void Interface1Click(TObject* Sender);
    // A style menu item: applies that style and stores it in the settings.
    void TestClick(TObject* Sender);
    // An interval menu item: sets the pause between pages (seconds in its hint).
    void N0second1Click(TObject* Sender);
    // About: the program's title and version in a message.
    void N9Click(TObject* Sender);
    // Opens the add-HTML dialog.
    void AddHTML1Click(TObject* Sender);
    // Search: opens the directory's listing search for the two search edits.
    void btnSuchenClick(TObject* Sender);
    // Entering the search edit empties it and shows its clear button.
    void ButtonedEdit1Enter(TObject* Sender);
    void CallWeb(const String& url);
    // An address typed in the address bar as the browser should open it:
    // without a scheme it gets one ("example.com" opens as
    // "https://example.com"); empty when it cannot be opened.
    static String NavigableAddress(const String& typed);
    // A menu caption that shows `text` as it is ("&" is no accelerator mark).
    static String MenuCaptionText(const String& text);

    // ---- layout ----
    // On every size change: the results panel keeps within the room the
    // browser side leaves it, and the capture bar flows into rows.
    void FormResize(TObject* Sender);
    // The width the browser side keeps at least, for a client width.
    static int MinBrowserWidth(int clientWidth);
    // The widest the results panel may be in the window's present size.
    int MaxResultsWidth();
    // Gives the results panel a width, the splitter staying at its left edge.
    void SetResultsWidth(int width);
    void FitResultsPanel();
    // Places the capture bar's visible controls left to right, starting a
    // new row where one would not fit, and gives the bar the rows' height.
    void LayOutCaptureBar();

    // ---- start-up, settings and start page ----
    // Start-up: the version check, the settings, the browser and the status pop-up.
    void FormCreate(TObject* Sender);
    // Frees the status pop-up.
    void FormDestroy(TObject* Sender);
    // While a capture runs: stops it and closes once it has unwound.
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void ReadInterfaceAndWidth();
    void SetInterfaceAndWidth();
    void RestoreSplitter();
    void SaveSplitter();
    String GetHTMLstarter();
    String LoadStartPageTemplate();
    // Shows the start page made from the embedded template.
    void QTXStartPage1Click(TObject* Sender);
    void CheckForNewerVersion();
    String HTTPGetText(const String& url);
    void wbdataData(TWebData* Sender, int iItem, const String& data);

    // Whether a capture runs (one of the capture buttons reads "STOP!").
    bool IsCapturing() const;

    // The plain (not pumping) pauses of start-up and of the start page.
    // Tests replace it; the program keeps the real sleep.
    static std::function<void(unsigned ms)> PlainPause;
    // Opens an address in the desktop's browser; tests replace it.
    static std::function<void(const String& url)> ShellOpen;

    // Capture command and results
    // Either capture button: starts a capture, or, reading "STOP!", stops it.
    void btnCaptureClick(TObject* Sender);
    // Stop: ends the crawl and the page load, and enables the buttons again.
    void ToolBtnStopClick(TObject* Sender);
    // The results changed: the line counters follow.
    void Memo1Change(TObject* Sender);
    // Saves the results as CSV or text.
    void ToolButton2Click(TObject* Sender);
    // Fill and save-as-workbook buttons of the spreadsheet view.
    void ToolButton3Click(TObject* Sender);
    void ToolButton5Click(TObject* Sender);
    // Removes duplicate result lines (locale order, first spelling kept).
    void ToolButton6Click(TObject* Sender);
    // Empties the results and the e-mail count.
    void ToolButton7Click(TObject* Sender);
    // Another results tab was chosen.
    void PageControl1Change(TObject* Sender);
    void ProcessPageAUYP();
    void WaitForPageToLoad();
    void PumpingDelay(unsigned ms);
    void WaitScrapeInterval();
    void TrimWorkingSet();
    // End of capture command and results

private:
    void CreateMenus();
    void CreateNavigationBar();
    void CreateAddressBar();
    void CreateStatusBar();
    void CreateResultsPanel();
    void CreateBrowserPanel();
    void CreateImages();
    void BindHandlers();
    // Makes the crawl browser on the browser tab, pointed at the welcome
    // page; FormCreate calls it once the window's controls exist.
    void CreateBrowser();
    // Closes once a capture asked to stop has unwound.
    void ClosePendingTimer(TObject* Sender);

    TTimer* tmClosePending { nullptr };
    bool m_layingOut { false };
};
