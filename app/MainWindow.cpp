#include "app/MainWindow.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/AddHTML.h"
#include "app/AppVersion.h"
#include "app/CaptureGlobals.h"
#include "app/SiteAddresses.h"
#include "app/SplashScreen.h"
#include "app/SuperBrowser.h"
#include "app/WebData.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Themes.h"
#include "platform/vcl/ImgList.h"
#include "richtext/LumSmoothStatusIndicator.h"

QT_PUBLISHED(TMainStatusBar)
QT_PUBLISHED(TfrmMyBrowser)

std::function<void(unsigned ms)> TfrmMyBrowser::PlainPause = [](unsigned ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
};

namespace {

// A component of the form with its name.
template<class C>
C* Make(TComponent* owner, const char16_t* name)
{
    auto* c = new C(owner);
    c->SetName(name);
    return c;
}

template<class C>
C* Place(TComponent* owner, const char16_t* name, TWinControl* parent, TRect bounds)
{
    C* c = Make<C>(owner, name);
    c->SetBoundsRect(bounds);
    c->SetParent(parent);
    return c;
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const char16_t* name, const String& caption)
{
    auto* item = Make<TMenuItem>(owner, name);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

// Tool buttons are placed in order: each new one goes to the right of the
// buttons already on the bar.
TToolButton* AddButton(TComponent* owner, TToolBar* bar, const char16_t* name, const String& caption,
    const String& hint = String(), TToolButtonStyle style = tbsButton)
{
    auto* b = Make<TToolButton>(owner, name);
    b->SetStyle(style);
    b->SetCaption(caption);
    if (!hint.empty()) {
        b->SetHint(hint);
        b->SetShowHint(true);
    }
    int right = 0;
    for (int i = 0; i < bar->GetButtonCount(); ++i)
        right = std::max(right, bar->GetButtons(i)->GetLeft() + bar->GetButtons(i)->GetWidth());
    b->SetLeft(right);
    b->SetParent(bar);
    return b;
}

TToolButton* AddSeparator(TComponent* owner, TToolBar* bar, const char16_t* name)
{
    TToolButton* b = AddButton(owner, bar, name, String(), String(), tbsSeparator);
    b->SetWidth(8);
    return b;
}

} // namespace

TMainStatusBar::TMainStatusBar(TComponent* AOwner) : TStatusBar(AOwner)
{
    SetAcceptsControls(true);
}

TfrmMyBrowser::TfrmMyBrowser(TComponent* AOwner) : TForm(AOwner)
{
    SetName(u"frmMyBrowser");
    SetPosition(poScreenCenter);
    SetClientWidth(1122);
    SetClientHeight(642);
    GetFont()->SetName(u"Arial");
    GetFont()->SetSize(8);
    SetKeyPreview(true);
    SetShowHint(true);
    CreateImages();
    CreateMenus();
    // Top to bottom: the tool bar panel, then the address bar under it.
    CreateNavigationBar();
    CreateAddressBar();
    CreateStatusBar();
    CreateResultsPanel();
    CreateBrowserPanel();
    BindHandlers();
    EmailBadge = SIemailNb;
    SetWindowState(wsMaximized);
}

TfrmMyBrowser::~TfrmMyBrowser()
{
    // The form's destroy handler would run from the base destructor, after
    // this part of the object is gone: run it here instead.
    OnDestroy = nullptr;
    FormDestroy(this);
    // The browser holds the pair list that is freed with this part.
    delete Browser;
    Browser = nullptr;
    if (EmailBadge == SIemailNb)
        EmailBadge = nullptr;
}

void TfrmMyBrowser::CreateImages()
{
    ImageList1 = Make<TImageList>(this, u"ImageList1");
    ImageList1->SetSize(24, 24);
    // Nine simple glyphs: the capture buttons use 0 (running) and 8 (idle).
    const TColor colours[] = { clRed, 0x00A000, 0xC08000, 0x0080FF, 0x808080, 0xA000A0, 0x008080, 0x404040, 0x00B000 };
    TBitmap strip;
    strip.SetSize(24 * int(std::size(colours)), 24);
    TCanvas* c = strip.GetCanvas();
    c->GetBrush()->SetColor(clFuchsia);
    c->FillRect({ 0, 0, strip.GetWidth(), 24 });
    for (int i = 0; i < int(std::size(colours)); ++i) {
        c->GetBrush()->SetColor(colours[i]);
        c->GetPen()->SetColor(colours[i]);
        c->Ellipse(24 * i + 4, 4, 24 * i + 20, 20);
    }
    ImageList1->AddMasked(&strip, clFuchsia);
}

void TfrmMyBrowser::CreateMenus()
{
    MainMenu1 = Make<TMainMenu>(this, u"MainMenu1");
    TMenuItem* root = MainMenu1->GetItems();
    File1 = AddItem(this, root, u"File1", u"&File");
    QTXStartPage1 = AddItem(this, File1, u"QTXStartPage1", u"Go to Start Page (QTX) ");
    Goto1 = AddItem(this, File1, u"Goto1", u"Go to");
    AddItem(this, File1, u"N1", u"-");
    Exit1 = AddItem(this, File1, u"Exit1", u"&Exit");
    Edit1 = AddItem(this, root, u"Edit1", u"&Edit");
    Edit1->SetVisible(false);
    View1 = AddItem(this, root, u"View1", u"&View");
    Addressbar1 = AddItem(this, View1, u"Addressbar1", u"Address bar");
    NavigationBar1 = AddItem(this, View1, u"NavigationBar1", u"Navigation bar");
    Interface1 = AddItem(this, root, u"Interface1", u"Appearance");
    Extras1 = AddItem(this, root, u"Extras1", u"E&xtras");
    Extras1->SetVisible(false);
    AddHTML1 = AddItem(this, Extras1, u"AddHTML1", u"&Add HTML...");
    Help1 = AddItem(this, root, u"Help1", u"&Help");
    Getsupport1 = AddItem(this, Help1, u"Getsupport1", u"Get support");
    VisitQTXonline1 = AddItem(this, Help1, u"VisitQTXonline1", u"Visit QTX on line");
    N9 = AddItem(this, Help1, u"N9", u"About QTX...");

    PopTimer = Make<TPopupMenu>(this, u"PopTimer");
    struct Interval {
        TMenuItem* TfrmMyBrowser::*field;
        const char16_t* name;
        const char16_t* caption;
        const char16_t* hint;
    };
    const Interval intervals[] = {
        { &TfrmMyBrowser::N1second1, u"N1second1", u"1 second", u"1" },
        { &TfrmMyBrowser::N3seconds1, u"N3seconds1", u"3 seconds", u"3" },
        { &TfrmMyBrowser::N5seconds1, u"N5seconds1", u"5 seconds", u"5" },
        { &TfrmMyBrowser::N10seconds1, u"N10seconds1", u"10 seconds", u"10" },
        { &TfrmMyBrowser::N15seconds1, u"N15seconds1", u"15 seconds", u"15" },
        { &TfrmMyBrowser::N30seconds1, u"N30seconds1", u"30 seconds", u"30" },
        { &TfrmMyBrowser::N60seconds1, u"N60seconds1", u"60 seconds", u"60" },
    };
    for (const Interval& i : intervals) {
        TMenuItem* item = AddItem(this, PopTimer->GetItems(), i.name, i.caption);
        item->SetHint(i.hint);
        item->OnClick = [this](TObject* Sender) { N0second1Click(Sender); };
        this->*i.field = item;
    }
    AddItem(this, PopTimer->GetItems(), u"N2", u"-");
    Clearinternetcookies1 = AddItem(this, PopTimer->GetItems(), u"Clearinternetcookies1", u"Clear internet cookies");

    popData = Make<TPopupMenu>(this, u"popData");
    Removeduplicates1 = AddItem(this, popData->GetItems(), u"Removeduplicates1", u"Remove duplicates");
    Emptydatagrid1 = AddItem(this, popData->GetItems(), u"Emptydatagrid1", u"Empty data grid");

    SaveDialog1 = Make<TSaveDialog>(this, u"SaveDialog1");
    SaveDialog1->SetDefaultExt(u".csv");
    SaveDialog1->SetFileName(u"qtx1.csv");
    SaveDialog1->SetFilter(u"CSV database or excel text file|*.csv|Text file|*.txt");
    SaveDialog1->SetTitle(u"Save data as...");
}

void TfrmMyBrowser::CreateNavigationBar()
{
    Panel12 = Place<TPanel>(this, u"Panel12", this, { 0, 0, 1122, 53 });
    Panel12->SetAlign(alTop);
    Panel12->SetBevelOuter(bvNone);
    Panel12->SetCaption(String());
    CoolBar1 = Place<TCoolBar>(this, u"CoolBar1", Panel12, { 0, 0, 1122, 53 });
    CoolBar1->SetAlign(alClient);
    tbarNav = Place<TToolBar>(this, u"tbarNav", CoolBar1, { 0, 0, 1100, 45 });
    tbarNav->SetShowCaptions(true);
    tbarNav->SetImages(ImageList1);
    tbarNav->SetButtonHeight(45);
    tbarNav->SetButtonWidth(60);
    TCoolBand* band = CoolBar1->GetBands()->Add();
    band->SetControl(tbarNav);
    band->SetMinHeight(45);

    ToolbtnBack = AddButton(this, tbarNav, u"ToolbtnBack", u"GoBack", u"Navigate Back");
    ToolbtnBack->SetImageIndex(1);
    ToolBtnStop = AddButton(this, tbarNav, u"ToolBtnStop", u" Stop", u"Stop loading");
    ToolBtnStop->SetImageIndex(0);
    ToolBtnForward = AddButton(this, tbarNav, u"ToolBtnForward", u"Forward", u"Navigate Forward");
    ToolBtnForward->SetImageIndex(2);
    AddSeparator(this, tbarNav, u"ToolButton1");
    ToolBtnRefresh = AddButton(this, tbarNav, u"ToolBtnRefresh", u"Refresh", u"Refresh Active Tab");
    ToolBtnRefresh->SetImageIndex(3);
    ToolBtnHome = AddButton(this, tbarNav, u"ToolBtnHome", u"Home");
    ToolBtnHome->SetImageIndex(4);
    AddSeparator(this, tbarNav, u"ToolButton4");
    ToolBtnSearch = AddButton(this, tbarNav, u"ToolBtnSearch", u"Search");
    ToolBtnSearch->SetVisible(false);
    ToolBtnFavorites = AddButton(this, tbarNav, u"ToolBtnFavorites", u"Favorites");
    ToolBtnFavorites->SetVisible(false);
    ToolbtnQTX = AddButton(this, tbarNav, u"ToolbtnQTX", u"QTX");
    ToolbtnQTX->SetImageIndex(5);
    AddSeparator(this, tbarNav, u"ToolButton8");
    ToolBtnPix = AddButton(this, tbarNav, u"ToolBtnPix", u"Pix", String(), tbsCheck);
    ToolBtnPix->SetVisible(false);
    AddSeparator(this, tbarNav, u"ToolButton9");
    tbSplitScreen = AddButton(this, tbarNav, u"tbSplitScreen", u"50%", u"Split in two", tbsCheck);
    tbSplitScreen->SetImageIndex(6);
    AddSeparator(this, tbarNav, u"ToolButton10");
    btnTimer = AddButton(this, tbarNav, u"btnTimer", u"Timer", u"Number of seconds between scrapes", tbsDropDown);
    btnTimer->SetImageIndex(7);
    btnTimer->SetDropdownMenu(PopTimer);
    btnTimer->SetWidth(80);
    AddSeparator(this, tbarNav, u"ToolButton11");
    ToolBtnData = AddButton(this, tbarNav, u"ToolBtnData", u"Data", String(), tbsDropDown);
    ToolBtnData->SetImageIndex(8);
    ToolBtnData->SetDropdownMenu(popData);
}

void TfrmMyBrowser::CreateAddressBar()
{
    pnAddress = Place<TPanel>(this, u"pnAddress", this, { 0, 53, 1122, 53 + 38 });
    pnAddress->SetAlign(alTop);
    pnAddress->SetBevelOuter(bvNone);
    pnAddress->SetCaption(String());
    Label1 = Place<TLabel>(this, u"Label1", pnAddress, { 8, 12, 32, 26 });
    Label1->SetCaption(u"URL:");
    edURL = Place<TEdit>(this, u"edURL", pnAddress, { 40, 8, 1122 - 60, 30 });
    edURL->SetAnchors({ akLeft, akTop, akRight });
    btnGo = Place<TButton>(this, u"btnGo", pnAddress, { 1122 - 54, 7, 1122 - 8, 31 });
    btnGo->SetAnchors({ akTop, akRight });
    btnGo->SetCaption(u"GO");
    btnGo->SetHint(u"Navigate to a Webpage");
    btnGo->SetShowHint(true);
    edSearch = Place<TEdit>(this, u"edSearch", pnAddress, { 700, 8, 900, 30 });
    edSearch->SetVisible(false);
    btnSearch = Place<TButton>(this, u"btnSearch", pnAddress, { 904, 7, 980, 31 });
    btnSearch->SetCaption(u"Search");
    btnSearch->SetVisible(false);
    // Moved onto the capture tool bar at start-up.
    lbVersion = Place<TLabel>(this, u"lbVersion", pnAddress, { 0, 0, 100, 14 });
    lbVersion->SetVisible(false);
}

void TfrmMyBrowser::CreateStatusBar()
{
    StatusBar1 = Place<TMainStatusBar>(this, u"StatusBar1", this, { 0, 623, 1122, 642 });
    StatusBar1->SetAlign(alBottom);
    struct Panel {
        int width;
        TAlignment alignment;
        TStatusPanelStyle style;
    };
    const Panel panels[] = {
        { 250, taRightJustify, psText }, { 200, taLeftJustify, psText }, { 250, taCenter, psText },
        // Owner-drawn with no drawing handler: it stays empty.
        { 50, taLeftJustify, psOwnerDraw }, { 50, taLeftJustify, psText },
    };
    for (const Panel& p : panels) {
        TStatusPanel* panel = StatusBar1->GetPanels()->Add();
        panel->SetWidth(p.width);
        panel->SetAlignment(p.alignment);
        panel->SetStyle(p.style);
    }
}

void TfrmMyBrowser::CreateResultsPanel()
{
    PageControl1 = Place<TPageControl>(this, u"PageControl1", this, { 1122 - 400, 91, 1122, 623 });
    PageControl1->SetAlign(alRight);
    Splitter1 = Place<TSplitter>(this, u"Splitter1", this, { 1122 - 405, 91, 1122 - 400, 623 });
    Splitter1->SetAlign(alRight);

    tbResults = Make<TTabSheet>(this, u"tbResults");
    tbResults->SetCaption(u"CSV Results (text)");
    tbResults->SetPageControl(PageControl1);
    ToolBar1 = Place<TToolBar>(this, u"ToolBar1", tbResults, { 0, 0, 400, 26 });
    ToolBar1->SetAlign(alTop);
    ToolBar1->SetShowCaptions(true);
    ToolBar1->SetList(true);
    ToolBar1->SetButtonWidth(40);
    ToolButton2 = AddButton(this, ToolBar1, u"ToolButton2", u"Save to CSV (text file)");
    ToolButton2->SetWidth(150);
    ToolButton6 = AddButton(this, ToolBar1, u"ToolButton6", u"DD", u"Remove duplicates");
    ToolButton7 = AddButton(this, ToolBar1, u"ToolButton7", u"<-", u"Clear All Lines");
    ToolButton3 = AddButton(this, ToolBar1, u"ToolButton3", u"Fill");
    ToolButton3->SetVisible(false);
    mmResults = Place<TMemo>(this, u"mmResults", tbResults, { 0, 26, 400, 500 });
    mmResults->SetAlign(alClient);
    mmResults->SetReadOnly(true);
    mmResults->SetWordWrap(false);
    mmResults->SetScrollBars(ssBoth);
    mmResults->GetLines()->SetText(u"Scraping results, one page at a time...");
    Memo1 = Place<TMemo>(this, u"Memo1", tbResults, { 0, 0, 100, 50 });
    Memo1->SetVisible(false);

    tbSaveToExcel = Make<TTabSheet>(this, u"tbSaveToExcel");
    tbSaveToExcel->SetCaption(u"MS Excel View");
    tbSaveToExcel->SetPageControl(PageControl1);
    ToolBar2 = Place<TToolBar>(this, u"ToolBar2", tbSaveToExcel, { 0, 0, 400, 26 });
    ToolBar2->SetAlign(alTop);
    ToolBar2->SetShowCaptions(true);
    ToolBar2->SetList(true);
    ToolButton5 = AddButton(this, ToolBar2, u"ToolButton5", u"Save to XLS (cells can be edited first)");
    ToolButton5->SetWidth(250);
    sgExcel = Place<TDedOzovedUrad>(this, u"sgExcel", tbSaveToExcel, { 0, 26, 400, 500 });
    sgExcel->SetAlign(alClient);
    sgExcel->SetColCount(25);
    sgExcel->SetRowCount(50);
    sgExcel->SetFixedRows(0);
    sgExcel->SetFixedCols(0);
    sgExcel->SetOptions(sgExcel->GetOptions() + goEditing);
    PageControl1->SetActivePage(tbResults);
}

void TfrmMyBrowser::CreateBrowserPanel()
{
    Panel8 = Place<TPanel>(this, u"Panel8", this, { 0, 91, 1122 - 405, 623 });
    Panel8->SetAlign(alClient);
    Panel8->SetBevelOuter(bvNone);
    Panel8->SetCaption(String());
    PageControl = Place<TPageControl>(this, u"PageControl", Panel8, { 0, 0, 717, 532 });
    PageControl->SetAlign(alClient);
    TabSheet1 = Make<TTabSheet>(this, u"TabSheet1");
    TabSheet1->SetCaption(u"WebBrowser");
    TabSheet1->SetPageControl(PageControl);
    PageControl->SetActivePage(TabSheet1);

    ToolBar3 = Place<TToolBar>(this, u"ToolBar3", TabSheet1, { 0, 0, 717, 32 });
    ToolBar3->SetAlign(alTop);
    ToolBar3->SetParentFont(false);
    ToolBar3->GetFont()->SetName(u"Arial");
    ToolBar3->GetFont()->SetSize(11);
    ToolBar3->GetFont()->SetStyle({ fsBold, fsUnderline });
    ToolBar3->SetShowCaptions(true);
    ToolBar3->SetList(true);
    ToolBar3->SetImages(ImageList1);
    ToolBar3->SetButtonHeight(30);
    // Buttons wrap onto further rows where the bar is narrow (see
    // LayOutCaptureBar, which places the other controls after them).
    ToolBar3->SetWrapable(true);
    btnCapture = AddButton(this, ToolBar3, u"btnCapture", u"Fast Capture");
    btnCapture->SetImageIndex(8);
    btnCapture->SetWidth(140);
    btnWelcomeScreen = AddButton(this, ToolBar3, u"btnWelcomeScreen", u"Welcome");
    btnWelcomeScreen->SetWidth(230);
    btnCaptEmails = AddButton(this, ToolBar3, u"btnCaptEmails", u"NEW! Capture Emails");
    btnCaptEmails->SetImageIndex(8);
    btnCaptEmails->SetWidth(210);
    int x = 140 + 230 + 210 + 8;
    lbCountry = Place<TLabel>(this, u"lbCountry", ToolBar3, { x, 8, x + 220, 26 });
    lbCountry->SetParentFont(false);
    lbCountry->GetFont()->Assign(ToolBar3->GetFont());
    lbCountry->GetFont()->SetColor(clYellow);
    lbCountry->GetFont()->SetStyle({ fsBold });
    lbCountry->SetCaption(u"Yellow Pages");
    x += 228;
    SIemailNb = Make<TLumSmoothStatusIndicator>(this, u"SIemailNb");
    SIemailNb->SetBounds(x, 4, 30, 24);
    TGDIPFill* fill = SIemailNb->GetAppearance()->GetFill();
    fill->SetColor(clRed);
    fill->SetGradientType(LumGDIP::gtSolid);
    fill->SetColorMirror(clNone);
    fill->SetBorderColor(0x808080);
    fill->SetRounding(10);
    fill->SetShadowOffset(0);
    fill->SetGlow(gmNone);
    SIemailNb->GetAppearance()->GetFont()->SetName(u"Tahoma");
    SIemailNb->GetAppearance()->GetFont()->SetHeight(-12);
    SIemailNb->GetAppearance()->GetFont()->SetColor(clWhite);
    SIemailNb->GetAppearance()->GetFont()->SetStyle({ fsBold });
    SIemailNb->GetAppearance()->SetSpacing(5);
    SIemailNb->GetAppearance()->SetGlow(false);
    SIemailNb->SetAutoSize(true);
    SIemailNb->SetCaption(u"0");
    SIemailNb->SetParent(ToolBar3);
    x += 40;
    EdNumberofLeads = Place<TEdit>(this, u"EdNumberofLeads", ToolBar3, { x, 4, x + 180, 26 });
    EdNumberofLeads->SetReadOnly(true);
    EdNumberofLeads->SetParentFont(false);
    EdNumberofLeads->GetFont()->SetName(u"Arial");
    EdNumberofLeads->GetFont()->SetSize(8);

    ButtonedEdit1 = Place<TButtonedEdit>(this, u"ButtonedEdit1", ToolBar3, { 0, 4, 120, 26 });
    ButtonedEdit1->SetVisible(false);
    ButtonedEdit2 = Place<TButtonedEdit>(this, u"ButtonedEdit2", ToolBar3, { 0, 4, 120, 26 });
    ButtonedEdit2->SetVisible(false);
    btnSuchen = Place<TButton>(this, u"btnSuchen", ToolBar3, { 0, 4, 80, 26 });
    btnSuchen->SetVisible(false);
    cbQuick = Place<TCheckBox>(this, u"cbQuick", ToolBar3, { 0, 4, 60, 26 });
    cbQuick->SetCaption(u"Quick");
    cbQuick->SetVisible(false);
}

void TfrmMyBrowser::BindHandlers()
{
    auto bind = [this](void (TfrmMyBrowser::*handler)(TObject*)) {
        return [this, handler](TObject* Sender) { (this->*handler)(Sender); };
    };
    btnGo->OnClick = bind(&TfrmMyBrowser::btnGoClick);
    edURL->OnKeyPress = [this](TObject* Sender, char16_t& Key) { edURLKeyPress(Sender, Key); };
    edURL->OnDblClick = bind(&TfrmMyBrowser::edURLDblClick);
    ToolbtnBack->OnClick = bind(&TfrmMyBrowser::ToolbtnBackClick);
    ToolBtnForward->OnClick = bind(&TfrmMyBrowser::ToolBtnForwardClick);
    ToolBtnStop->OnClick = bind(&TfrmMyBrowser::ToolBtnStopClick);
    ToolBtnRefresh->OnClick = bind(&TfrmMyBrowser::ToolBtnRefreshClick);
    ToolBtnHome->OnClick = bind(&TfrmMyBrowser::ToolBtnHomeClick);
    ToolBtnFavorites->OnClick = bind(&TfrmMyBrowser::ToolBtnFavoritesClick);
    ToolbtnQTX->OnClick = bind(&TfrmMyBrowser::ToolbtnQTXClick);
    Goto1->OnClick = bind(&TfrmMyBrowser::Goto1Click);
    btnWelcomeScreen->OnClick = bind(&TfrmMyBrowser::btnWelcomeScreenClick);
    lbCountry->OnClick = bind(&TfrmMyBrowser::lbCountryClick);
    VisitQTXonline1->OnClick = bind(&TfrmMyBrowser::VisitQTXonline1Click);
    Getsupport1->OnClick = bind(&TfrmMyBrowser::Getsupport1Click);
    Exit1->OnClick = bind(&TfrmMyBrowser::Exit1Click);
    Addressbar1->OnClick = bind(&TfrmMyBrowser::Addressbar1Click);
    NavigationBar1->OnClick = bind(&TfrmMyBrowser::NavigationBar1Click);
    PageControl->OnChange = bind(&TfrmMyBrowser::PageControlChange);
    tbSplitScreen->OnClick = bind(&TfrmMyBrowser::tbSplitScreenClick);
    Interface1->OnClick = bind(&TfrmMyBrowser::Interface1Click);
    N9->OnClick = bind(&TfrmMyBrowser::N9Click);
    AddHTML1->OnClick = bind(&TfrmMyBrowser::AddHTML1Click);
    btnSuchen->OnClick = bind(&TfrmMyBrowser::btnSuchenClick);
    ButtonedEdit1->OnEnter = bind(&TfrmMyBrowser::ButtonedEdit1Enter);
    QTXStartPage1->OnClick = bind(&TfrmMyBrowser::QTXStartPage1Click);

    btnCapture->OnClick = bind(&TfrmMyBrowser::btnCaptureClick);
    btnCaptEmails->OnClick = bind(&TfrmMyBrowser::btnCaptureClick);
    mmResults->OnChange = bind(&TfrmMyBrowser::Memo1Change);
    Memo1->OnChange = bind(&TfrmMyBrowser::Memo1Change);
    ToolButton2->OnClick = bind(&TfrmMyBrowser::ToolButton2Click);
    ToolButton3->OnClick = bind(&TfrmMyBrowser::ToolButton3Click);
    ToolButton5->OnClick = bind(&TfrmMyBrowser::ToolButton5Click);
    ToolButton6->OnClick = bind(&TfrmMyBrowser::ToolButton6Click);
    Removeduplicates1->OnClick = bind(&TfrmMyBrowser::ToolButton6Click);
    ToolButton7->OnClick = bind(&TfrmMyBrowser::ToolButton7Click);
    Emptydatagrid1->OnClick = bind(&TfrmMyBrowser::ToolButton7Click);
    PageControl1->OnChange = bind(&TfrmMyBrowser::PageControl1Change);

    OnCreate = bind(&TfrmMyBrowser::FormCreate);
    OnResize = bind(&TfrmMyBrowser::FormResize);
    // The capture bar flows again when its width or a control's size changes
    // (the badge and the labels size themselves to their captions).
    for (TControl* c : std::initializer_list<TControl*> { ToolBar3, lbCountry, SIemailNb, EdNumberofLeads, lbVersion })
        c->OnResize = [this](TObject*) { LayOutCaptureBar(); };
    Splitter1->OnCanResize = [this](TObject*, int& NewSize, bool&) { NewSize = std::min(NewSize, MaxResultsWidth()); };
    OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };

    tmClosePending = Make<TTimer>(this, u"tmClosePending");
    tmClosePending->SetEnabled(false);
    tmClosePending->SetInterval(100);
    tmClosePending->OnTimer = bind(&TfrmMyBrowser::ClosePendingTimer);
}

bool TfrmMyBrowser::IsCapturing() const
{
    return btnCapture->GetCaption() == u"STOP!" || btnCaptEmails->GetCaption() == u"STOP!";
}

// ---- shell ----

namespace {

// Runs a step whose errors the window ignores.
template<class F>
void IgnoringErrors(F&& step)
{
    try {
        step();
    } catch (const std::exception&) {
    }
}

} // namespace

void TfrmMyBrowser::CallWeb(const String& url)
{
    IgnoringErrors([&] {
        if (Browser)
            Browser->SetURL(url);
    });
}

namespace {

bool IsAsciiLetter(Char c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool IsAsciiDigit(Char c) { return c >= u'0' && c <= u'9'; }

// "host", "host:port" or "[v6]:port", as an address bar takes a host.
bool IsHostAndPort(const String& text)
{
    String host = text;
    if (const std::size_t colon = host.rfind(u':'); colon != String::npos && host.find(u']') == String::npos) {
        const String port = host.substr(colon + 1);
        if (port.empty() || !std::all_of(port.begin(), port.end(), IsAsciiDigit))
            return false;
        host.resize(colon);
    }
    if (host.empty())
        return false;
    const bool plain = std::all_of(host.begin(), host.end(),
        [](Char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == u'.' || c == u'-' || c >= 0x80; });
    return plain && (host.find(u'.') != String::npos || CompareText(host, u"localhost") == 0);
}

// Local hosts have no certificates: they are opened over plain http, as
// browsers do.
bool IsLocalHost(const String& hostAndPort)
{
    const String host = LowerCase(hostAndPort.substr(0, hostAndPort.rfind(u':')));
    return host == u"localhost" || host.starts_with(u"127.");
}

} // namespace

String TfrmMyBrowser::NavigableAddress(const String& typed)
{
    const String text = Trim(typed);
    if (text.empty() || text.find_first_of(u" \t\r\n") != String::npos)
        return {};
    // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
    std::size_t end = 0;
    while (end < text.size() && (IsAsciiLetter(text[end]) || (end > 0 && (IsAsciiDigit(text[end])
               || text[end] == u'+' || text[end] == u'-' || text[end] == u'.'))))
        ++end;
    if (end > 0 && end < text.size() && text[end] == u':') {
        const String scheme = LowerCase(text.substr(0, end));
        const String rest = text.substr(end + 1);
        if (scheme == u"http" || scheme == u"https") {
            const std::size_t hostEnd = rest.find_first_of(u"/?#", 2);
            const String host = rest.substr(2, hostEnd == String::npos ? String::npos : hostEnd - 2);
            return rest.starts_with(u"//") && IsHostAndPort(host) ? text : String();
        }
        if (scheme == u"file")
            return rest.starts_with(u"//") ? text : String();
        if (scheme == u"about" || scheme == u"data")
            return rest.empty() ? String() : text;
        // "host:port" has digits after the colon; anything else names a
        // scheme the browser does not open (or a misspelt one).
        if (rest.empty() || !IsAsciiDigit(rest[0]))
            return {};
    }
    const String host = text.substr(0, text.find_first_of(u"/?#"));
    if (!IsHostAndPort(host))
        return {};
    return (IsLocalHost(host) ? u"http://" : u"https://") + text;
}

String TfrmMyBrowser::MenuCaptionText(const String& text)
{
    return StringReplace(text, u"&", u"&&", rfReplaceAll);
}

void TfrmMyBrowser::btnGoClick(TObject*)
{
    if (Trim(edURL->GetText()).empty())
        return;
    // The event-log list of the page belongs to a hidden tab that is not
    // built, so only the navigation is left.
    const String address = NavigableAddress(edURL->GetText());
    if (address.empty()) {
        ShowMessage(u"\"" + Trim(edURL->GetText()) + u"\" is not an address that can be opened.\r"
                    u"Enter an address such as https://example.com.");
        return;
    }
    if (address != edURL->GetText())
        edURL->SetText(address);
    CallWeb(address);
}

void TfrmMyBrowser::edURLKeyPress(TObject* Sender, char16_t& Key)
{
    if (Key != 13)
        return;
    Key = 0;
    btnGoClick(Sender);
}

void TfrmMyBrowser::edURLDblClick(TObject*)
{
    edURL->SelectAll();
}

void TfrmMyBrowser::ToolbtnBackClick(TObject*)
{
    if (Browser)
        Browser->GoBack();
}

void TfrmMyBrowser::ToolBtnForwardClick(TObject*)
{
    if (Browser)
        Browser->GoForward();
}

void TfrmMyBrowser::ToolBtnRefreshClick(TObject*)
{
    ToolBtnStop->SetEnabled(true);
    if (Browser)
        Browser->Repaint();
}

void TfrmMyBrowser::ToolBtnHomeClick(TObject* Sender)
{
    QTXStartPage1Click(Sender);
}

void TfrmMyBrowser::ToolBtnFavoritesClick(TObject*)
{
    ShowMessage(u"not yet implemented");
}

void TfrmMyBrowser::ToolbtnQTXClick(TObject*)
{
    CallWeb(DirectorySiteRoot() + u"/");
}

void TfrmMyBrowser::Goto1Click(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    CallWeb(item ? item->GetHint() : Goto1->GetHint());
}

void TfrmMyBrowser::btnWelcomeScreenClick(TObject*)
{
    CallWeb(WelcomePageURL());
}

void TfrmMyBrowser::lbCountryClick(TObject*)
{
    CallWeb(WelcomePageURL());
}

void TfrmMyBrowser::VisitQTXonline1Click(TObject*)
{
    CallWeb(MakerSiteRoot() + u"/");
}

void TfrmMyBrowser::Getsupport1Click(TObject*)
{
    CallWeb(MakerSiteRoot() + u"/contact.php");
}

void TfrmMyBrowser::Exit1Click(TObject*)
{
    Close();
}

void TfrmMyBrowser::Addressbar1Click(TObject*)
{
    pnAddress->SetVisible(!pnAddress->GetVisible());
}

void TfrmMyBrowser::NavigationBar1Click(TObject*)
{
    tbarNav->SetVisible(!tbarNav->GetVisible());
}

void TfrmMyBrowser::PageControlChange(TObject*)
{
    ToolbtnBack->SetEnabled(false);
    ToolBtnForward->SetEnabled(false);
}

void TfrmMyBrowser::tbSplitScreenClick(TObject*)
{
    IgnoringErrors([&] {
        if (tbSplitScreen->GetDown()) {
            SetResultsWidth(GetWidth() / 4);
            tbSplitScreen->SetCaption(u"75%");
        } else {
            SetResultsWidth(GetWidth() / 2);
            tbSplitScreen->SetCaption(u"50%");
        }
        SetInterfaceAndWidth();
    });
}

void TfrmMyBrowser::Interface1Click(TObject*)
{
    Interface1->Clear();
    std::vector<String> names = TStyleManager::GetStyleNames();
    std::stable_sort(names.begin(), names.end(),
        [](const String& a, const String& b) { return CompareText(a, b) < 0; });
    // The last name is the plain platform style, which is not offered.
    const String active = TStyleManager::ActiveStyle() ? TStyleManager::ActiveStyle()->GetName() : String();
    for (std::size_t i = 0; i + 1 < names.size(); ++i) {
        auto* item = new TMenuItem(this);
        item->SetName(u"Mn" + IntToStr(int(i)));
        item->SetCaption(names[i]);
        item->SetHint(names[i]);
        item->SetChecked(names[i] == active);
        item->OnClick = [this](TObject* Sender) { TestClick(Sender); };
        Interface1->Add(item);
    }
}

void TfrmMyBrowser::TestClick(TObject* Sender)
{
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!item)
        return;
    TStyleManager::SetStyle(item->GetHint());
    SetInterfaceAndWidth();
    // The menu is rebuilt when it opens; until then the check mark moves here
    // (rebuilding now would free the item whose click is running).
    for (int i = 0; i < Interface1->GetCount(); ++i)
        Interface1->GetItems(i)->SetChecked(Interface1->GetItems(i) == item);
}

void TfrmMyBrowser::N0second1Click(TObject* Sender)
{
    IgnoringErrors([&] {
        auto* item = dynamic_cast<TMenuItem*>(Sender);
        if (!item)
            return;
        const String hint = item->GetHint();
        ScrapeInterval = std::uint8_t(std::clamp(StrToInt(hint), 0, 255));
        const String value = IntToStr(ScrapeInterval);
        for (int i = 0; i < PopTimer->GetItems()->GetCount(); ++i) {
            TMenuItem* each = PopTimer->GetItems()->GetItems(i);
            each->SetChecked(each->GetHint() == value);
        }
        btnTimer->SetCaption(u"Timer (" + hint + u"\")");
        SetInterfaceAndWidth();
    });
}

void TfrmMyBrowser::N9Click(TObject*)
{
    ShowMessage(String(AppTitle) + u" - AU-YP - " + VersionText());
}

void TfrmMyBrowser::AddHTML1Click(TObject*)
{
    std::unique_ptr<TfrmAddHTML> dialog(new TfrmAddHTML(this));
    dialog->ShowModal();
}

void TfrmMyBrowser::btnSuchenClick(TObject*)
{
    CallWeb(DirectorySiteRoot() + u"/search/listings?locationClue=" + ButtonedEdit2->GetText() + u"&Clue="
        + ButtonedEdit1->GetText());
}

// ---- layout ----

namespace {

// The space between two controls of the capture bar.
constexpr int CaptureBarGap = 8;

} // namespace

int TfrmMyBrowser::MinBrowserWidth(int clientWidth)
{
    return std::max(400, clientWidth * 2 / 5);
}

int TfrmMyBrowser::MaxResultsWidth()
{
    const int client = GetClientWidth();
    return std::max(120, client - Splitter1->GetWidth() - MinBrowserWidth(client));
}

void TfrmMyBrowser::SetResultsWidth(int width)
{
    PageControl1->SetWidth(width);
    // Right-aligned controls are ordered by their right edges: a width set
    // on the panel can carry its edge past the splitter's, and the splitter
    // would end up at the window's edge, cut off from the panel. Put it back
    // before the panel.
    if (Splitter1->GetLeft() != PageControl1->GetLeft() - Splitter1->GetWidth())
        Splitter1->SetLeft(PageControl1->GetLeft() - Splitter1->GetWidth() - 1);
}

void TfrmMyBrowser::FitResultsPanel()
{
    if (PageControl1->GetWidth() > MaxResultsWidth())
        SetResultsWidth(MaxResultsWidth());
}

void TfrmMyBrowser::FormResize(TObject*)
{
    FitResultsPanel();
    LayOutCaptureBar();
}

void TfrmMyBrowser::LayOutCaptureBar()
{
    if (m_layingOut || !ToolBar3)
        return;
    m_layingOut = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset { m_layingOut };

    // The bar places its buttons (in rows where they do not fit in one);
    // the other controls follow the last of them.
    ToolBar3->ArrangeButtons();
    int rowHeight = ToolBar3->GetButtonHeight();
    int x = 0, y = 0;
    for (int i = 0; i < ToolBar3->GetButtonCount(); ++i) {
        TToolButton* b = ToolBar3->GetButtons(i);
        if (!b->GetVisible())
            continue;
        rowHeight = std::max(rowHeight, b->GetHeight());
        if (b->GetTop() > y || (b->GetTop() == y && b->GetLeft() + b->GetWidth() > x)) {
            y = b->GetTop();
            x = b->GetLeft() + b->GetWidth();
        }
    }
    const int width = ToolBar3->GetClientWidth();
    for (TControl* c : std::initializer_list<TControl*> { lbCountry, SIemailNb, EdNumberofLeads, lbVersion }) {
        if (!c->GetVisible() || c->GetParent() != ToolBar3)
            continue;
        const int w = c->GetWidth();
        const int h = c->GetHeight();
        if (x > 0 && x + CaptureBarGap + w > width) {
            x = 0;
            y += rowHeight;
        } else if (x > 0) {
            x += CaptureBarGap;
        }
        c->SetBounds(x, y + std::max(0, (rowHeight - h) / 2), w, h);
        x += w;
    }
    ToolBar3->SetHeight(y + rowHeight + 2);
}

void TfrmMyBrowser::ButtonedEdit1Enter(TObject*)
{
    ButtonedEdit1->Clear();
    ButtonedEdit1->GetRightButton()->SetVisible(true);
}

// ---- closing ----

void TfrmMyBrowser::FormCloseQuery(TObject*, bool& CanClose)
{
    if (!IsCapturing())
        return;
    // The browser may be inside a nested wait of the crawl: destroying it
    // now would pull it from under that wait. Stop the capture, and close
    // once it has unwound to the message loop.
    CanClose = false;
    StopPressed = true;
    IgnoringErrors([&] {
        if (Browser) {
            Browser->SetbStop(true);
            Browser->StopLoading();
        }
    });
    tmClosePending->SetEnabled(true);
}

void TfrmMyBrowser::ClosePendingTimer(TObject*)
{
    if (IsCapturing())
        return;
    tmClosePending->SetEnabled(false);
    Close();
}
