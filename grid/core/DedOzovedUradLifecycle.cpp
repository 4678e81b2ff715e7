// The string grid's construction, window creation, loading, resizing and
// destruction, and the start-up of its unit.

#include <climits>

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/EditLink.h"
#include "grid/core/GridPlatform.h"
#include "grid/core/HTMLHintWindow.h"
#include "grid/core/LumRichEdit.h"
#include "grid/core/RirEvozPopup.h"
#include "grid/core/ScrollControl.h"
#include "platform/rtl/Encoding.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Timers.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Ole.h"
#include "platform/win/System.h"
#include "platform/win/Window.h"
#include "richtext/LumThemeNotifier.h"
#include "richtext/MiniHTML.h"
#include "richtext/PictureContainer.h"

namespace {

// The grid timer: blinking text, hover-to-select and the type-ahead reset.
constexpr UINT_PTR GridTimerID = 111;
constexpr UINT GridTimerPeriod = 500;
// The wheel setting that scrolls a page per notch.
constexpr UINT WheelPageScroll = 0xFFFFFFFF;

// The glyphs of the filter row's condition types, in TFilterType order.
const char16_t* const FilterGlyphNames[] = { u"BLUMGRDSTARTSWITH", u"BLUMGRDENDSWITH", u"BLUMGRDCONTAINS",
    u"BLUMGRDNOTCONTAINS", u"BLUMGRDEQUAL", u"BLUMGRDNOTEQUAL", u"BLUMGRDLARGER", u"BLUMGRDSMALLER",
    u"BLUMGRDCLEAR" };

TGridUnitRegistrations StartGridUnit()
{
    TGridUnitRegistrations R;
    // The unit's end takes the hook away again.
    static struct TUnitEnd {
        ~TUnitEnd() { RemoveFocusWindowHook(); }
    } UnitEnd;
    try {
        RegisterClasses({ TDedOzovedUrad::StaticClassInfo(), TScrollBar::StaticClassInfo(),
            TLumRichEdit::StaticClassInfo(), TFooterPanel::StaticClassInfo() });
    } catch (const Exception&) {
        // A class registered before keeps its registration.
    }
    R.ComCtrlsAbove470 = GetDllFileVersion(u"comctl32.dll") > 262213; // above 4.69
    R.CF_GRIDCELLS = RegisterClipboardFormat(u"TDedOzovedUrad Cells");
    R.WM_GRIDEDITDONE = RegisterWindowMessage(u"GridEditDone");
    R.WM_GRIDEDITSHOW = RegisterWindowMessage(u"GridEditShow");
    R.WM_GRIDEDITINVALID = RegisterWindowMessage(u"GridEditInvalid");
    R.WM_GRIDEDITPROP = RegisterWindowMessage(u"GridEditProp");
    R.WM_DTPSHIFTFOCUS = RegisterWindowMessage(u"DTPShiftFocus");
    R.WM_FILTEREDITUPDATE = RegisterWindowMessage(u"FilterEditUpdate");
    return R;
}

} // namespace

const TGridUnitRegistrations& GridUnit()
{
    static const TGridUnitRegistrations Registrations = StartGridUnit();
    return Registrations;
}

namespace {

int UnitUsers = 0;

} // namespace

void AcquireGridUnit()
{
    GridUnit();
    if (UnitUsers++ > 0)
        return;
    OleInitialize(nullptr);
    SetFocusWindowGrid(nullptr);
    InstallFocusWindowHook();
}

void ReleaseGridUnit()
{
    if (UnitUsers == 0 || --UnitUsers > 0)
        return;
    OleUninitialize();
    RemoveFocusWindowHook();
    SetFocusWindowGrid(nullptr);
}

int GridUnitUsers() { return UnitUsers; }

// ---- construction ----

TDedOzovedUrad::TDedOzovedUrad(TComponent* AOwner) : TBaseGrid(AOwner)
{
    AcquireGridUnit();
    // A component placed on a form that is being designed is designed too.
    if (AOwner && AOwner->GetComponentState().Contains(csDesigning))
        SetDesigning(true);
    FDesignTime = IsDesigning() && AOwner
        && !AOwner->GetComponentState().Contains(csReading) && !AOwner->GetComponentState().Contains(csLoading);

    FDataViews = CreateGridDataViews(*this);
    FEncoding = TEncoding::UTF8();
    FScrollWidth = GetSystemMetrics(SM_CXVSCROLL);
    FIsWinXP = GridPlatform::WindowsAbove(5, 0);
    FIsWin7 = GridPlatform::WindowsAbove(6, 0);
    FIsComCtl6 = (GetDllFileVersion(u"COMCTL32.DLL") >> 16) > 5;
    FIsWinVista = HasGetLocaleInfoEx();
    FBorderColor = FIsWinXP ? TColor(0xB99D7F) : TColor(0x808080);
    SetDrawingStyle(gdsClassic);

    CreateSettingsObjects();
    CreateLists();
    if (!IsDesigning())
        CreateRunTimeControls();
    CreateOverlayWindows();
    CreateFixedCellEditors();
    CreateFilterListsAndSearchPanel();

    SetRowCount(10);
    // The first columns remember their widths as later ones do through the
    // column count setter.
    for (int c = FSuppressColSizes->Count(); c < GetColCount(); ++c)
        FSuppressColSizes->Add(GetColWidths(c));
    SetBounds(GetLeft(), GetTop(), 400, 250);
    SetAutoSize(false);
    SetDefaultRowHeight(22);
    FFixedRowHeight = GetDefaultRowHeight();
    FMaxColCount = std::max(FMaxColCount, GetColCount());
    FMaxRowCount = std::max(FMaxRowCount, GetRowCount());
}

void TDedOzovedUrad::CreateSettingsObjects()
{
    FFooterPanel = CreateFooterPanel();
    FFooterPanel->SetAlign(alBottom);
    FFooterPanel->SetHeight(0);
    FFooterPanel->SetBorderWidth(0);
    FFooterPanel->SetVisible(false);

    FAutoColor = std::make_unique<TAutoColor>();
    FScratchFont = std::make_unique<TFont>();
    FFocusHelper = std::make_unique<TFocusHelper>();
    FSearchFooter = std::make_unique<TSearchFooter>(this, FDesignTime);
    FSearchFooter->OnChange = [this](TObject*) { LayoutSearchPanel(); };
    FFloatingFooter = std::make_unique<TFloatingFooter>(this);
    FSortSettings = std::make_unique<TSortSettings>(this);
    FDragDropSettings = std::make_unique<TDragDropSettings>(this);
    FDragScrollOptions = std::make_unique<TDragScrollOptions>();
    FControlLook = std::make_unique<TControlLook>(this);
    FNavigation = std::make_unique<TNavigation>();
    FNavigation->OnChange = [this](TObject*) { Invalidate(); };
    FColumnSize = std::make_unique<TColumnSize>(this);
    FCellNode = std::make_unique<TCellNode>(this);
    FBands = std::make_unique<TBands>();
    FBands->OnChange = [this](TObject*) { Invalidate(); };
    FSizeWhileTyping = std::make_unique<TSizeWhileTyping>();
    FMouseActions = std::make_unique<TMouseActions>();
    FMouseActions->OnChange = [this](TObject*) { Invalidate(); };
    FMouseActions->OnInvalidate = [this](TObject*) { Invalidate(); };
    FMouseActions->OnIsDesigning = [this](TObject*, bool& Designing) { Designing = IsDesigning(); };
    FGrouping = std::make_unique<TGrouping>();
}

void TDedOzovedUrad::CreateLists()
{
    FColumnHeaders = std::make_unique<TStringList>();
    FColumnHeaders->OnChange = [this](TObject*) { ShowColumnHeaders(); };
    FCacheRowHeights = std::make_unique<TIntList>();
    FImageCache = std::make_unique<THTMLPictureCache>();
    FOrigColSizes = std::make_unique<TIntList>();
    FSuppressColSizes = std::make_unique<TIntList>();
    FSuppressRowSizes = std::make_unique<TIntList>();

    FFixedFont = std::make_unique<TFont>();
    FFixedFont->SetName(u"MS Sans Serif");
    FFixedFont->SetStyle(TFontStyles { fsBold });
    FFixedFont->SetHeight(-11);
    FFixedFont->OnChange = [this](TObject*) { Invalidate(); };
    FActiveCellFont = std::make_unique<TFont>();
    FActiveCellFont->SetStyle(TFontStyles { fsBold });
    if (FDesignTime)
        FActiveCellFont->SetName(u"MS Sans Serif");
    FActiveCellFont->OnChange = [this](TObject*) { Invalidate(); };

    FRowHeaders = std::make_unique<TStringList>();
    FRowHeaders->OnChange = [this](TObject*) { ShowRowHeaders(); };
    FLookupItems = std::make_unique<TStringList>();
    FSortlist = std::make_unique<TStringList>();
    FSortIndexes = std::make_unique<TSortIndexList>();
    FSortIndexes->OnChange = [this](TObject*, int, int) { Invalidate(); };
    FSortRowXRef = std::make_unique<TIntList>();
    FUnSortRowXRef = std::make_unique<TIntList>();
    FMergedColumns = std::make_unique<TIntList>();
    FMergedColumns->OnChange = [this](TObject*, int, int) { MergedColumnsChanged(); };
    FModifiedRows = std::make_unique<TIntList>();
    FEnabledRows = std::make_unique<TIntList>();
    FFilteredRows = std::make_unique<TIntList>();
    FRowIndicator = std::make_unique<TBitmap>();
    FBackGround = std::make_unique<TBackGround>(this);
    FControlList = std::make_unique<TLumControlList>();
    FProgressAppearance = std::make_unique<TGridProgressAppearance>();
    FProgressAppearance->OnChange = [this](TObject*) { Invalidate(); };
    FSyncGrid = std::make_unique<TSyncGrid>(this);
    FGridItems = MakeHiddenRowStore(this);
    FFilter = std::make_unique<TFilter>(this);
    FBalloon = std::make_unique<TBalloonSettings>();
    FBalloon->OnEnableChange = [this](TObject*) {
        if (IsLoading())
            return;
        if (FBalloon->GetEnable())
            BalloonInit();
        else
            BalloonDone();
    };
    FShowModified = std::make_unique<TShowModified>();
    FShowModified->OnChange = [this](TObject*) { InvalidateCol(0); };
    FVisibleCol.assign(std::size_t(GetColCount()), true);
    FAllColWidths.assign(std::size_t(GetColCount()), GetDefaultColWidth());
    FColumnOrder = std::make_unique<TIntList>();
    FOfficeHint = std::make_unique<TLumHintInfo>();
    FIgnoreColumns = std::make_unique<TIntList>();
    FFilterDropDown = std::make_unique<TFilterDropDown>(FDesignTime);
    FFilterDropDown->OnChange = [this](TObject*) { Invalidate(); };
    FFilterList = std::make_unique<TStringList>();
    FFilterList->SetDuplicates(dupIgnore);
    FFilterList->SetSorted(true);
    FFilterEdit = std::make_unique<TFilterEdit>(this);
    LoadFilterGlyphs();
    FHoverButtons = std::make_unique<THoverButtons>(this);
}

void TDedOzovedUrad::LoadFilterGlyphs()
{
    FFltrList = new TImageList(this);
    FFltrList->SetColorDepth(cd32Bit);
    FFltrList->SetMasked(true);
    for (const char16_t* Name : FilterGlyphNames) {
        TBitmap Glyph;
        Glyph.LoadFromResourceName(nullptr, Name);
        // The drawings are keyed on their top-left colour.
        FFltrList->AddMasked(&Glyph, Glyph.GetCanvas()->GetPixel(0, 0));
    }
}

void TDedOzovedUrad::CreateRunTimeControls()
{
    auto MakeScrollBar = [this]() {
        auto* Bar = new TScrollBar(this);
        Bar->SetParent(this);
        Bar->SetEnabled(false);
        Bar->SetVisible(false);
        return Bar;
    };
    FScrollBar = MakeScrollBar();
    FScrollBar->OnMouseLeave = [this](TObject* Sender) { CellScrollBarMouseLeave(Sender); };
    FPaintScrollBar = MakeScrollBar();
    // The image of a dragged header cell, and the form of the hover buttons.
    MoveButton = new THeaderDragButton(this);
    MoveButton->SetGrid(this);
    MoveButton->SetEnabled(false);
    MoveButton->SetVisible(false);
    FButtonForm = new TNoActiveForm(this, true);
    FButtonForm->SetBorderStyle(bsNone);
    FButtonForm->SetBounds(0, 0, 200, 22);
    FButtonForm->OnMouseLeave = [this](TObject* Sender) { HoverButtonsMouseLeave(Sender); };
}

TFooterPanel* TDedOzovedUrad::CreateFooterPanel() { return new TFooterPanel(this); }

void TDedOzovedUrad::CellScrollBarMouseLeave(TObject*)
{
    if (FScrollBar)
        FScrollBar->SetVisible(false);
}

// ---- window ----

void TDedOzovedUrad::CreateParams(TCreateParams& Params)
{
    TBaseGrid::CreateParams(Params);
    if (FBorderStyle == bsSingle) {
        if (GetCtl3D())
            Params.ExStyle |= WS_EX_CLIENTEDGE;
        else
            Params.Style |= WS_BORDER;
    }
}

void TDedOzovedUrad::CreateWnd()
{
    if (TBaseGrid::IsDestroying())
        return;
    FWasLoading = IsLoading();
    TBaseGrid::CreateWnd();
    if (!GetParent())
        return;

    if (IsDesigning()) {
        if (!FScrollHintWnd)
            FScrollHintWnd = new THTMLHintWindow(this);
    } else {
        if (!FWasLoading)
            ApplyStyleColors(false);
        if (FScrollHints != shNone && !FScrollHintWnd)
            FScrollHintWnd = new THTMLHintWindow(this);
        if (FScrollType == ssMetro)
            CreateMetroScrollControls();
        for (TScrollBar* Bar : { FScrollBar, FPaintScrollBar }) {
            Bar->SetVisible(false);
            Bar->SetTabStop(false);
            Bar->SetKind(sbVertical);
            Bar->SetWidth(17);
        }
        FDPIScale = ScaleFactorForControl(this, nullptr);
        if (FBalloon->GetEnable())
            BalloonInit();
    }

    FFooterPanel->SetParent(this);
    FFooterPanel->SetVisible(FFloatingFooter->GetVisible());
    InitSearchPanel();
    if (FColumnSize->GetSave())
        LoadColSizes();
    SetTimer(GetHandle(), GridTimerID, GridTimerPeriod, nullptr);

    const bool Fresh = !FLoaded && !FWasLoading;
    if (IsDesigning() && Fresh) {
        GetFont()->SetName(u"Tahoma");
        SetParentFont(true);
    }
    FIsWinXP = FIsWinXP && GridPlatform::ThemeActive;
    InitWheelScroll(true);
    if (FScrollType != ssNormal && !FWasLoading)
        InitFlatScrollBars();
    if (IsDesigning() && (Fresh || FStyleFromDesignerForm)) {
        FStyleFromDesignerForm = false;
        const ROZEVizer FormStyle = FormStylerStyle(this, tsCustom);
        if (FormStyle != tsCustom && IsLightStyle(FormStyle))
            SetParentFont(true);
        FStyle = tsCustom;
    }
    WindowCreated();
}

void TDedOzovedUrad::SetName(const String& NewName)
{
    TBaseGrid::SetName(NewName);
    if (FDesignTime && !HandleAllocated())
        FStyleFromDesignerForm = true;
}

// What the grid does once its window exists (the platform's handle creation
// is not a step of its own here).
void TDedOzovedUrad::WindowCreated()
{
    if (FDragDropSettings->GetOleDropTarget()) {
        // Register again for the new window; also when the switch was set
        // before there was a window to register.
        FDragDropSettings->SetOleDropTarget(false);
        FOleDropTargetAssigned = false;
        FDragDropSettings->SetOleDropTarget(true);
    }
}

void TDedOzovedUrad::InitWheelScroll(bool /*Ask*/)
{
    FWheelMsg = 0;
    FWheelScrollLines = 0;
    FPanning = false;
    UINT Lines = 3;
    SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
    // Page scrolling moves a screen of rows.
    FWheelScrollLines = Lines == WheelPageScroll ? GetVisibleRowCount() : int(Lines);
    FWheelMsg = WM_MOUSEWHEEL;
}

// ---- loading ----

void TDedOzovedUrad::Loaded()
{
    TBaseGrid::Loaded();
    FOldCursor = TBaseGrid::GetCursor();
    ShowColumnHeaders();
    ShowRowHeaders();
    if (FOleDropTargetAssigned)
        FDataViews->SetDropTargetAccepts(FDragDropSettings->GetOleAcceptText(), FDragDropSettings->GetOleAcceptFiles(),
            FDragDropSettings->GetOleAcceptURLs());
    if (FLook == glZID) {
        // The look was only stored while loading: apply it now.
        FLook = glCustom;
        SetLook(glZID);
    }
    if (FAutoSize)
        AutoSizeColumns(false, 4);
    if (FColumnSize->GetSave())
        LoadColSizes();
    FFixedRowsMin = GetFixedRows();
    FFixedColsMin = GetFixedCols();
    FOldLeftCol = GetLeftCol();
    FMinRowHeight = GetDefaultRowHeight();
    FMinColWidth = 10;
    FMaxColCount = std::max(FMaxColCount, GetColCount());
    FMaxRowCount = std::max(FMaxRowCount, GetRowCount());
    FLoaded = true;
    if (GetOptions().Contains(goAlwaysShowEditor)) {
        FNavigation->SetAlwaysEdit(true);
        SetOptions(GetOptions() - TGridOptions { goAlwaysShowEditor });
    }
    if (!GridPlatform::ThemeActive && FControlLook->GetControlStyle() == RirEvoz::csTheme && !IsDesigning())
        FControlLook->SetControlStyle(RirEvoz::csClassic);
    FSearchFooter->SetAutoThemeAdapt(FAutoThemeAdapt);
    LayoutSearchPanel();
    ApplyScrollBarAlways(false);
    if (FAutoThemeAdapt && !IsDesigning()) {
        AdaptToOfficeTheme();
        if (HandleAllocated() || GetParent())
            SharedThemeNotifier(this)->RegisterWindow(GetHandle());
    }
    FDisSelection = TGridRect { -1, -1, -1, -1 };
    RecordLoadedLayout();
    if (FBalloon->GetEnable())
        BalloonInit();
    if (FSearchFooter->GetVisible() && HandleAllocated())
        InitSearchPanel();
    ApplyStyleColors(false);
}

// The column widths as loaded and the column order as it stands (every
// column in its own place).
void TDedOzovedUrad::RecordLoadedLayout()
{
    FOrigColSizes->Clear();
    for (int c = 0; c < GetColCount(); ++c)
        FOrigColSizes->Add(GetColWidths(c));
    FColumnOrder->Clear();
    for (int c = 0; c < GetAllColCount(); ++c)
        FColumnOrder->Add(c);
}

// ---- size ----

void TDedOzovedUrad::Resize()
{
    TBaseGrid::Resize();
    const TBackGroundDisplay Display = FBackGround->GetDisplay();
    if ((Display == bdGradientHorz || Display == bdGradientVert) && FBackGround->GetColorTo() != clNone)
        Invalidate();
    ApplyScrollBarAlways(false);
    CellControlsUpdate(false);
    InitWheelScroll(false);
    if (FSearchFooter->GetVisible() && UseRightToLeftAlignment())
        LayoutSearchPanel();
    if (IsDesigning())
        Invalidate();
}

void TDedOzovedUrad::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const int RowHeight = GetDefaultRowHeight();
    if (FIntegralHeight && FUpdateCount == 0 && RowHeight > 0) {
        const TScrollStyle Bars = GetScrollBars();
        const bool ColumnsScrolled = (Bars == ssHorizontal || Bars == ssBoth)
            && GetVisibleColCount() + GetFixedCols() < GetColCount();
        const int s = ColumnsScrolled ? GetSystemMetrics(SM_CYHSCROLL) : 0;
        const int b = FBorderStyle == bsSingle ? 2 : 0;
        AHeight = AHeight + b - ((AHeight - s - b) % RowHeight);
    }
    TBaseGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (GetParent() && GetParent()->HandleAllocated())
        DrawNonClientBorder();
}

void TDedOzovedUrad::Invalidate()
{
    if (FEditChange) {
        // An in-place edit keystroke must not repaint the grid.
        FEditChange = false;
        return;
    }
    TBaseGrid::Invalidate();
    if (!IsLoading() && FFloatingFooter && FFloatingFooter->GetVisible() && FFooterPanel)
        FFooterPanel->Invalidate();
}

void TDedOzovedUrad::Notification(TComponent* AComponent, TOperation Operation)
{
    TBaseGrid::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    ForgetEditor(AComponent);
    if (AComponent == FEditLink)
        FEditLink = nullptr;
    if (AComponent == FGridImages)
        FGridImages = nullptr;
    if (AComponent == FPictureContainer)
        FPictureContainer = nullptr;
    if (AComponent == FFooterPanel)
        FFooterPanel = nullptr;
    if (AComponent == FScrollBar)
        FScrollBar = nullptr;
    if (AComponent == FPaintScrollBar)
        FPaintScrollBar = nullptr;
    if (AComponent == FScrollHintWnd)
        FScrollHintWnd = nullptr;
    if (AComponent == FFltrList)
        FFltrList = nullptr;
    if (AComponent == FRichEdit)
        FRichEdit = nullptr;
    if (AComponent == FCellChecker)
        FCellChecker = nullptr;
    if (AComponent == FInplaceRichEdit)
        FInplaceRichEdit = nullptr;
    if (AComponent == MoveButton)
        MoveButton = nullptr;
    if (AComponent == FButtonForm)
        FButtonForm = nullptr;
    if (AComponent == FPopupToolBar)
        FPopupToolBar = nullptr;
    if (AComponent == MoveForm)
        MoveForm = nullptr;
    if (AComponent == vscrlctrl)
        vscrlctrl = nullptr;
    if (AComponent == hscrlctrl)
        hscrlctrl = nullptr;
    if (AComponent == FDragTmr)
        FDragTmr = nullptr;
    if (AComponent == FScrollTimer)
        FScrollTimer = nullptr;
    std::erase(FNotifierList, AComponent);
    if (AComponent == FFixedDropDownMenu)
        FFixedDropDownMenu = nullptr;
    // A partner grid that goes is no longer followed, also while this grid
    // goes down with the same form (its destructor would reach the partner).
    if (FSyncGrid && AComponent == FSyncGrid->GetGrid())
        FSyncGrid->SetGrid(nullptr);
}

// ---- destruction ----

TDedOzovedUrad::~TDedOzovedUrad()
{
    // From here on setters stay silent (no OnRowCountChange into a form that
    // may be half torn down) and nothing repaints.
    Destroying();
    SetUpdating(true);
    FreeOverlayWindows();
    // No drop may reach the grid from here on.
    if (FOleDropTargetAssigned)
        FDataViews->RevokeDropTarget();

    if (FDataViews->GetNodeCount() > 0)
        FDataViews->ExpandAll();
    FDataViews->RemoveAllFilters();
    FreeMetroScrollControls();

    // The grid takes no handler of its form (it follows the form's size
    // through anchors), so a form keeps its own OnResize.
    if (!IsDesigning())
        BalloonDone();

    // A store that cannot be written must not end the program from a
    // destructor: the widths are then not kept.
    if (FColumnSize->GetSave()) {
        try {
            SaveColSizes();
        } catch (const std::exception&) {
        }
    }

    FClearTextOnly = false;
    FSaveHiddenCells = false;
    int Rows = GetRowCount();
    int Cols = GetColCount();
    UnHideColumnsAll();
    UnHideRowsAll();
    if (FGridItems->Count() == 0 && FDataViews->GetNodeCount() == 0) {
        Rows = std::max(Rows, FMaxRowCount);
        Cols = std::max(Cols, FMaxColCount);
    }
    if (Rows > 0 && Cols > 0 && GetHasCellProps()) {
        SetColCount(Cols);
        SetRowCount(Rows);
        ClearRect(0, 0, GetColCount() - 1, GetRowCount() - 1);
    }

    // Owned objects; the children go first, while the grid they point at is whole.
    delete FFooterPanel;
    delete FScrollBar;
    delete FPaintScrollBar;
    delete FScrollHintWnd;
    delete FRichEdit;
    delete FInplaceRichEdit;
    FreeFixedCellEditors();
    delete MoveButton;
    delete FButtonForm;
    StopDragTimer();
    delete FScrollTimer;
    FScrollTimer = nullptr;
    FSortIndexes->OnChange = nullptr;
    FMergedColumns->OnChange = nullptr;
    FColumnHeaders->OnChange = nullptr;
    FRowHeaders->OnChange = nullptr;
    FBalloon->OnEnableChange = nullptr;
    // Two grids may follow each other; their free notification is one link
    // that dropping our side would cut for the partner too, leaving it
    // pointing here. The partner forgets this grid first.
    if (auto* Partner = dynamic_cast<TDedOzovedUrad*>(FSyncGrid->GetGrid()))
        if (Partner->FSyncGrid && Partner->FSyncGrid->GetGrid() == this)
            Partner->FSyncGrid->SetGrid(nullptr);
    FSyncGrid->SetGrid(nullptr);
    // Rows still hidden keep their cells' properties among their saved cells.
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStrings* Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->GetItems();
        for (int c = 0; c < Cells->GetCount(); ++c)
            if (auto* Props = dynamic_cast<TCellProperties*>(Cells->GetObjects(c))) {
                if (Props->GetOwnsGraphicObject())
                    delete Props->GetGraphicObject();
                delete Props;
                Cells->SetObjects(c, nullptr);
            }
    }
    FHiddenRowLookup.reset();
    FGridItems.reset();
    FSortIndexes.reset();
    FBalloon.reset();
    FSyncGrid.reset();

    TBaseGrid::SetCursor(FOldCursor);
    FDataViews.reset();
    ReleaseGridUnit();
}
