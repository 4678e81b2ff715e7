#pragma once
// The string grid: TBaseGrid's cell model plus everything the program's
// grid view needs (looks, settings objects, the floating footer, and the
// way into its data views). The class is declared once here and defined
// in one source file per concern:
//
//   DedOzovedUradLifecycle.cpp  construction, window creation, loading,
//                               resizing, destruction, unit start-up
//   DedOzovedUradAssign.cpp     copying another grid
//   DedOzovedUradSettings.cpp   property setters and settings objects
//   DedOzovedUradLook.cpp       the Look presets
//   DedOzovedUradStyles.cpp     the style presets, colour tones, Office themes
//   DedOzovedUradGridPaint.cpp  the paint frame, border, sizing lines, focus
//                               glow, design panel, tool tip notifications
//   DedOzovedUradFormatted.cpp  a cell's formatted text (float formats)
//   DedOzovedUradViews.cpp      what goes through IGridDataViews
//   DedOzovedUradDimensions.cpp counts, fixed regions, zoom
//   DedOzovedUradIndexMap.cpp   display and real rows and columns
//   DedOzovedUradCells.cpp      the views of the cell store and the
//                               per-cell attributes
//   DedOzovedUradCellQueries.cpp what the grid asks about one cell
//   DedOzovedUradVisual.cpp     the look of a cell and its dispatchers
//   DedOzovedUradPaintCell.cpp  the cell painting sequence
//   DedOzovedUradPaintText.cpp  the text step of a cell's painting
//   DedOzovedUradHooks.cpp      changed cells, width hooks, text inset
//   DedOzovedUradCellHooks.cpp  a cell's text on its way into or out of a
//                               file
//   DedOzovedUradCellObjects.cpp the object a cell carries besides its text
//   DedOzovedUradCellExtents.cpp the room a cell object takes
//   DedOzovedUradCheckBoxes.cpp check boxes in cells
//   DedOzovedUradCellControls.cpp radio buttons, radio groups, buttons,
//                               expand buttons and balloons in cells
//   DedOzovedUradCellPictures.cpp pictures and indicators in cells,
//                               markers and comments
//   DedOzovedUradPaintObject.cpp placing and drawing a cell's object, the
//                               sort glyph, rotated text
//   DedOzovedUradClear.cpp      emptying, trimming, merging and numbering
//                               ranges of cells
//   DedOzovedUradMeasure.cpp    the size a cell's text takes
//   DedOzovedUradAutoSize.cpp   sizing lines to content, fitting, stretching
//   DedOzovedUradTyped.cpp      numbers and dates in cell texts
//   DedOzovedUradTextForms.cpp  a cell's text in other forms, headers,
//                               column order
//   DedOzovedUradDisplayText.cpp display text hook, link settings, small
//                               event hooks, the auxiliary windows
//   DedOzovedUradSelection.cpp  selection, repaint services, FocusCell
//   DedOzovedUradCalc.cpp       column, row and rectangle aggregates, the
//                               footer row's calculations
//   DedOzovedUradNavigation.cpp the focus row, row flags, the advance to
//                               the next cell, Enter and type-ahead
//   DedOzovedUradHiding.cpp     hiding, filtering out and suppressing lines
//   DedOzovedUradScrolling.cpp  scrolling, scroll bars, hints, drag scroll
//   DedOzovedUradRowOps.cpp     inserting, removing, moving and swapping
//                               rows; removing duplicates
//   DedOzovedUradColOps.cpp     the same for columns
//   DedOzovedUradUpdate.cpp     the update bracket
//   DedOzovedUradWindow.cpp     the window procedure, timers, paint, size,
//                               cursors, scrolling, controls on cells
//   DedOzovedUradFocus.cpp      gaining and losing the focus, the old cell
//   DedOzovedUradCellChange.cpp the cell change query
//   FloatingFooter.cpp          the footer strip and its settings
//
// The CSV and workbook methods are declared here and defined in
// grid/views/io, which the grid core never calls.
//
// Steps that later work completes are virtual hooks. Until then each does
// what the list below says:
//
//   FocusCellControl           False (nothing focused)
//   FormulaValue               the text unchanged
//   FocusSearchFooterEdit,
//   SearchFooterKeyUpdate      nothing (no search footer edit yet)
//   FocusFirstFormControl      nothing
//   PrepareOleDrag             nothing (the drag itself, once the mouse
//                              starts it, is RunSelectionDrag)
//
// Editor kinds whose control is not built yet are reached only through the
// editor registry (GridEditorRegistry.h); without a registered class they
// open nothing.

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "grid/core/BaseGrid.h"
#include "grid/core/CellGraphic.h"
#include "grid/core/CellGraphicKinds.h"
#include "grid/core/CellNodeSettings.h"
#include "grid/core/CheckRadioPaint.h"
#include "grid/core/ControlLook.h"
#include "grid/core/ExcelNumberFormat.h"
#include "grid/core/FloatingFooter.h"
#include "grid/core/GridCellSet.h"
#include "grid/core/GridCompanions.h"
#include "grid/core/GridDataBinder.h"
#include "grid/core/GridDataViews.h"
#include "grid/core/GridFilter.h"
#include "grid/core/GridHost.h"
#include "grid/core/GridPrintTypes.h"
#include "grid/core/GridSettings.h"
#include "grid/core/GroupFilterSettings.h"
#include "grid/core/HTMLSettings.h"
#include "grid/core/IntList.h"
#include "grid/core/PrintSettings.h"
#include "grid/core/SortSettings.h"
#include "grid/core/VuzUdo.h"
#include "grid/edit/DedOzovedUradCheck.h"
#include "platform/rtl/DateUtils.h"
#include "richtext/LumHintInfo.h"
#include "richtext/LumStyles.h"

class TCustomImageList;
class TCustomRichEdit;
class TImageList;
class TPictureContainer;
class THTMLPictureCache;
class THTMLHintWindow;
class TLumRichEdit;
class IGridDropDownControl;
class TGridFocusWindow;
class TArrowWindow;
class TLumControlList;
class TScrollBar;
class TCustomForm;
class TScrollControl;
class THeaderDragButton;
class TNoActiveForm;
class TTimer;
class TDateTimePicker;
class TCustomComboBox;
class TCustomEdit;
class TGridTransEdit;
class TGridTransCombo;
class TControlEdit;
class TControlCombo;
class TDropList;
class TDropCheckList;
class TSearchPanel;
class TRirEvozPopup;
class TForm;
class TCustomListBox;
struct THintInfo;

// Bad indexes, failed typed reads and failures of the grid's file formats.
QT_DECLARE_EXCEPTION(ERirEvozError, Exception);

enum TScrollType { ssNormal, ssFlat, ssEncarta, ssMetro };
QT_ENUM(TScrollType, ssNormal, ssFlat, ssEncarta, ssMetro)
enum TScrollBarAlways { saNone, saVert, saHorz, saBoth };
QT_ENUM(TScrollBarAlways, saNone, saVert, saHorz, saBoth)
enum TScrollHintType { shNone, shVertical, shHorizontal, shBoth };
QT_ENUM(TScrollHintType, shNone, shVertical, shHorizontal, shBoth)
enum THintPos { hpCell, hpCursor };
QT_ENUM(THintPos, hpCell, hpCursor)
enum TInvalidEntryIcon { ieNone, ieInfo, ieWarning, ieError };
QT_ENUM(TInvalidEntryIcon, ieNone, ieInfo, ieWarning, ieError)
enum TIntelliPan { ipVertical, ipHorizontal, ipBoth, ipNone };
QT_ENUM(TIntelliPan, ipVertical, ipHorizontal, ipBoth, ipNone)
enum THoverFixedCells { hfNone, hfAll, hfFixedRows, hfFixedColumns };
QT_ENUM(THoverFixedCells, hfNone, hfAll, hfFixedRows, hfFixedColumns)
enum TPopupToolBarMode { tbActiveCell, tbHoverCell, tbHoverNormalCell, tbNone };
QT_ENUM(TPopupToolBarMode, tbActiveCell, tbHoverCell, tbHoverNormalCell, tbNone)
// How a filter takes rows out of view.
enum TGridFilterType { ftHide, ftSuppress };
QT_ENUM(TGridFilterType, ftHide, ftSuppress)
// The data type a column's first two normal rows suggest.
enum TColumnType { ctNumeric, ctFloat, ctAlpha, ctDate, ctTime, ctBoolean };
QT_ENUM(TColumnType, ctNumeric, ctFloat, ctAlpha, ctDate, ctTime, ctBoolean)
enum TNarrowDownOption { ndCaseSensitive, ndRemoveAccented };
QT_ENUM(TNarrowDownOption, ndCaseSensitive, ndRemoveAccented)
using TNarrowDownOptions = Set<TNarrowDownOption>;
// What a cell search (Find, FindAll, Replace) compares and how it walks.
enum TFindParameters {
    fnMatchCase, fnMatchFull, fnMatchRegular, fnDirectionLeftRight, fnMatchStart, fnFindInCurrentRow,
    fnFindInCurrentCol, fnIncludeFixed, fnAutoGoto, fnIgnoreHTMLTags, fnBackward, fnIncludeHiddenColumns,
    fnFindInPresetCol, fnFindInPresetRow, fnSelectedCells, fnIncludeHiddenRows, fnIgnoreAccents
};
QT_ENUM(TFindParameters, fnMatchCase, fnMatchFull, fnMatchRegular, fnDirectionLeftRight, fnMatchStart,
    fnFindInCurrentRow, fnFindInCurrentCol, fnIncludeFixed, fnAutoGoto, fnIgnoreHTMLTags, fnBackward,
    fnIncludeHiddenColumns, fnFindInPresetCol, fnFindInPresetRow, fnSelectedCells, fnIncludeHiddenRows,
    fnIgnoreAccents)
using TFindParams = Set<TFindParameters>;
// How FindMulti compares one column (not the search bar's VuzUdo::TSearchType).
enum TSearchType { stStartsWith, stEndsWith, stContains, stEqual, stNotEqual, stNotContains };
QT_ENUM(TSearchType, stStartsWith, stEndsWith, stContains, stEqual, stNotEqual, stNotContains)
// The filter lists' events: the value list of a column to change, a chosen
// or checked value's condition to change, a check box toggled.
class TCheckListBox;
using TGetColumnFilterEvent = std::function<void(TObject* Sender, int Column, TStrings* Filter)>;
using TFilterSelectEvent
    = std::function<void(TObject* Sender, int Column, int ItemIndex, const String& FriendlyName, String& FilterCondition)>;
using TFilterCheckEvent = std::function<void(TObject* Sender, int Column, int ItemIndex, const String& FriendlyName,
    String& FilterCondition, TCheckListBox* CheckList)>;
using TFilterCheckClickEvent
    = std::function<void(TObject* Sender, int Column, int ItemIndex, bool State, TCheckListBox* CheckList)>;
class TGridDataViews;
using TCustomCompareEvent = std::function<void(TObject* Sender, const String& str1, const String& str2, int& Res)>;
using TRawCompareEvent = std::function<void(TObject* Sender, int ACol, int Row1, int Row2, int& Res)>;
using TRowChangedEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TFilterRowEvent = std::function<void(TObject* Sender, int ARow, bool& AcceptRow)>;
using TFilterProgressEvent = std::function<void(TObject* Sender, std::int16_t Progress)>;
// The grid's own style presets, in the order of ROZEVizer.
enum TXPColorScheme { xpNone, xpBlue, xpGreen, xpGray, vistaAero };
QT_ENUM(TXPColorScheme, xpNone, xpBlue, xpGreen, xpGray, vistaAero)

enum TRirEvozStyle {
    gsOffice2003Blue, gsOffice2003Silver, gsOffice2003Olive, gsOffice2003Classic, gsOffice2007Luna,
    gsOffice2007Obsidian, gsWindowsXP, gsWhidbey, gsCustom, gsOffice2007Silver, gsWindowsVista, gsWindows7,
    gsTerminal, gsOffice2010Blue, gsOffice2010Silver, gsOffice2010Black, gsWindows8, gsOffice2013White,
    gsOffice2013LightGray, gsOffice2013Gray, gsWindows10, gsOffice2016White, gsOffice2016Gray, gsOffice2016Black,
    gsOffice2019White, gsOffice2019Gray, gsOffice2019Black
};
QT_ENUM(TRirEvozStyle, gsOffice2003Blue, gsOffice2003Silver, gsOffice2003Olive, gsOffice2003Classic,
    gsOffice2007Luna, gsOffice2007Obsidian, gsWindowsXP, gsWhidbey, gsCustom, gsOffice2007Silver, gsWindowsVista,
    gsWindows7, gsTerminal, gsOffice2010Blue, gsOffice2010Silver, gsOffice2010Black, gsWindows8, gsOffice2013White,
    gsOffice2013LightGray, gsOffice2013Gray, gsWindows10, gsOffice2016White, gsOffice2016Gray, gsOffice2016Black,
    gsOffice2019White, gsOffice2019Gray, gsOffice2019Black)

using TGridColorEvent = std::function<void(TObject* Sender, int ARow, int ACol, TGridDrawState AState,
    TBrush* ABrush, TFont* AFont)>;
using TClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
using TRowCountChangeEvent = std::function<void(TObject* Sender, int FromCount, int ToCount)>;
using TEndRowSizeEvent = std::function<void(TObject* Sender, int ARow)>;
using TGridHintEvent = std::function<void(TObject* Sender, int ARow, int ACol, String& HintStr)>;
using TCellBalloonEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& ATitle, String& AText,
    int& AIcon)>;
// Allow (preset True) False keeps the line from being sized.
using TCanSizeEvent = std::function<void(TObject* Sender, int Index, bool& Allow)>;
using TCanEditCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& CanEdit)>;
using TGetEditorTypeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditorType& AEditor)>;
// IsFixed, IsPassword and the like: a yes/no answer about one cell (row first).
using TIsCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Value)>;
// OnHasComboBox, OnHasEditBtn, OnHasSpinEdit (column first, answer preset False).
using THasCellEditorEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& Value)>;
using THasFilterEditEvent = std::function<void(TObject* Sender, int ACol, bool& HasFilter)>;

enum TCellBorder { cbLeft, cbTop, cbRight, cbBottom };
QT_ENUM(TCellBorder, cbLeft, cbTop, cbRight, cbBottom)
using TCellBorders = Set<TCellBorder>;

using TGridGradientEvent = std::function<void(TObject* Sender, int ARow, int ACol, TColor& Color, TColor& ColorTo,
    TColor& ColorMirror, TColor& ColorMirrorTo, TCellGradientDirection& GD)>;
using TGridAlignEvent
    = std::function<void(TObject* Sender, int ARow, int ACol, TAlignment& HAlign, TVAlignment& VAlign)>;
using TWordWrapEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& WordWrap)>;
using TCustomCellDrawEvent = std::function<void(TObject* Sender, TCanvas* Canvas, int ACol, int ARow,
    TGridDrawState AState, TRect ARect, bool Printing)>;
using TGridBorderEvent
    = std::function<void(TObject* Sender, int ARow, int ACol, TPen* APen, TCellBorders& Borders)>;
using TGridBorderPropEvent = std::function<void(TObject* Sender, int ARow, int ACol, TPen* LeftPen, TPen* TopPen,
    TPen* RightPen, TPen* BottomPen)>;
// What an export, calculation or row sizing is doing (ExportNotification).
enum TGridExportState {
    esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail, esExportNextRow, esExportFindRow
};
QT_ENUM(TGridExportState, esExportStart, esExportNewRow, esExportDone, esExportSelRow, esExportFail,
    esExportNextRow, esExportFindRow)
enum TGridImportState { isImportStart, isImportNewRow, isImportDone, isImportSelRow };
QT_ENUM(TGridImportState, isImportStart, isImportNewRow, isImportDone, isImportSelRow)
// R: the changed cells, real columns Left..Right, rows Top..Bottom.
using TCellsChangedEvent = std::function<void(TObject* Sender, const TRect& R)>;
// The width a column is about to get; the handler may change it.
using TUpdateColumnSizeEvent = std::function<void(TObject* Sender, int ACol, int& AWidth)>;
using TEndColumnSizeEvent = std::function<void(TObject* Sender, int ACol)>;
enum TSearchAction { saFindFirst, saFindPrevious, saFindNext };
QT_ENUM(TSearchAction, saFindFirst, saFindPrevious, saFindNext)
using TCanSortEvent = std::function<void(TObject* Sender, int ACol, bool& DoSort)>;
using TSearchFooterActionEvent
    = std::function<void(TObject* Sender, const String& Value, int ACol, int ARow, TSearchAction SearchAction)>;
using TSearchFooterSearchEvent = std::function<void(TObject* Sender, String& Value)>;
using TSearchFooterSearchEndEvent = std::function<void(TObject* Sender, bool& ContinueFromStart)>;
// OnButtonClick: column first.
using TButtonClickEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TExpandClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool Expanded)>;
// The icon a cell balloon shows.
enum TBalloonIcon { biNone, biInfo, biWarning, biError };
QT_ENUM(TBalloonIcon, biNone, biInfo, biWarning, biError)
// Page size and range of a cell scroll bar.
struct TScrollProp {
    int PageSize { 0 };
    int Range { 0 };
    bool operator==(const TScrollProp&) const = default;
};
using TProgressColorEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor& ColorFG, TColor& ColorBK,
    TColor& TextColorFG, TColor& TextColorBK)>;
using TRatingChangeEvent
    = std::function<void(TObject* Sender, int ACol, int ARow, double& NewRate, bool& Allow)>;
using TGetCellCursorEvent = std::function<void(TObject* Sender, int ACol, int ARow, int X, int Y, TCursor& ACursor)>;
using TOfficeHintEvent = std::function<void(TObject* Sender, int ACol, int ARow, TLumHintInfo* OfficeHint)>;
using TGridFormatEvent
    = std::function<void(TObject* Sender, int ACol, TSortStyle& AStyle, String& aPrefix, String& aSuffix)>;
using TFilterEditEvent
    = std::function<void(TObject* Sender, int ACol, const String& Condition, TFilterType FilterType)>;
using TGetCheckTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TDateTimeChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime ADateTime)>;
using TEditChangeEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
// In-place text editor: the clipboard events (Sender is the editor), the
// editor-property event (AEditLink nil for the text editor) and the
// characters of edValidChars cells when ValidChars is empty.
class TEditLink;
class TLumInplaceEdit;
using TGridClipboardEvent = std::function<void(TObject* Sender, bool& Allow)>;
using TGridClipboardCellEvent
    = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Allow)>;
using TGridClipboardPastedEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
// A cell stream read and checked whole (grid/views/io/GridCellStream.cpp).
struct TParsedCellStream;
// The last clipboard operation of a grid, handed to NotifyCellsPasted.
enum TClipOperation { coCut, coCopy };
QT_ENUM(TClipOperation, coCut, coCopy)
// Wide texts ("|\\"-encoded cells) on their way in from the clipboard.
using TGridClipboardWideCellEvent
    = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Allow)>;
using TGridClipboardWidePastedEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;
using TGridClipboardPasteDoneEvent = std::function<void(TObject* Sender, const TGridRect& CellRect)>;
using TGetEditorPropEvent = std::function<void(TObject* Sender, int ACol, int ARow, TEditLink* AEditLink)>;
using TGridCharSet = std::bitset<256>;
using TFloatFormatEvent
    = std::function<void(TObject* Sender, int ACol, int ARow, bool& IsFloat, String& FloatFormat)>;
// Sender is the footer strip.
// OnLoadCell / OnSaveCell: the text of a cell on its way into or out of a
// file; the handler may change it.
using TCellLoadSaveEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
// Progress of a long import or export, in percent.
using TFileProgressEvent = std::function<void(TObject* Sender, std::int16_t Progress)>;
using TFooterPaintEvent = std::function<void(TObject* Sender, int ACol, TRect ARect, TCanvas* ACanvas)>;
// The control's scale factor after a scale change (1.0 at 96 pixels per inch).
using TChangeScaleEvent = std::function<void(TObject* Sender, float NewScale)>;

class TPopupMenu;

// Hooks of editing, filtering and hover buttons.
using TFixedEditEvent
    = std::function<void(TObject* Sender, int ACol, int ARow, TGridFixedCellEditor& AEditor, TStrings* Values)>;
// Fixed-cell editing, form controls and anchors.
using TComboChangeEvent
    = std::function<void(TObject* Sender, int ACol, int ARow, int AItemIndex, const String& ASelection)>;
using TControlClickEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID,
    const String& CtrlType, const String& CtrlVal)>;
using TControlComboListEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID,
    const String& CtrlType, const String& CtrlVal, TStrings* Values, bool& Edit, int& DropCount)>;
using TControlComboSelectEvent = std::function<void(TObject* Sender, int ARow, int ACol, int ItemIndex,
    const String& CtrlID, const String& CtrlValue)>;
using TControlEditDoneEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& CtrlID,
    const String& CtrlType, const String& CtrlVal)>;
using TAnchorClickEvent
    = std::function<void(TObject* Sender, int ARow, int ACol, const String& Anchor, bool& AutoHandle)>;
using TBeforeEditEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
using TFilterShowEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
using THoverButtonsShowEvent = std::function<void(TObject* Sender, int X, int Y, bool& Allow)>;
// In-place editing: the editor's properties, validation of an edited text.
using TGetEditorPropIntEvent = std::function<void(TObject* Sender, int ACol, int ARow)>;
using TCellValidateEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value, bool& Valid)>;

// Told the focus cell's column and the row the selection moves to.
class ITDedOzovedUradSelect : public virtual IInterface {
public:
    virtual void SelectionChange(int ACol, int ARow) = 0;

protected:
    ~ITDedOzovedUradSelect() = default;
};
// Row changes, the advance to the next cell (the handler may change the
// target or refuse), and rows or columns appended by the advance.
using TRowUpdateEvent = std::function<void(TObject* Sender, int OldRow, int NewRow)>;
using TAutoAdvanceEvent
    = std::function<void(TObject* Sender, int OldRow, int OldCol, int& NewRow, int& NewCol, bool& Allow)>;
using TCellChangingEvent
    = std::function<void(TObject* Sender, int OldRow, int OldCol, int NewRow, int NewCol, bool& Allow)>;
using TAutoAddRowEvent = std::function<void(TObject* Sender, int ARow)>;
// What RectCalc computes.
enum TCalcType { ctSum, ctAvg, ctMin, ctMax };
QT_ENUM(TCalcType, ctSum, ctAvg, ctMin, ctMax)
// Res comes in 0; the handler sets the value of the rows FromRow..ToRow.
using TGroupCalcEvent = std::function<void(TObject* Sender, int ACol, int FromRow, int ToRow, double& Res)>;

// Where ScrollInView puts the cell.
enum TScrollPosition { spMiddle, spTrailing, spLeading };
QT_ENUM(TScrollPosition, spMiddle, spTrailing, spLeading)
enum TDragScrollDirectionItem { dsdUp, dsdDown, dsdLeft, dsdRight };
QT_ENUM(TDragScrollDirectionItem, dsdUp, dsdDown, dsdLeft, dsdRight)
using TDragScrollDirection = Set<TDragScrollDirectionItem>;

// CanAdd / CanInsert / Allow come in True.
using TCanAddEvent = std::function<void(TObject* Sender, bool& CanAdd)>;
using TCanInsertRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanInsert)>;
using TColorSelectEvent = std::function<void(TObject* Sender, int ACol, int ARow, TColor Color, const String& Value)>;
using TImageSelectEvent = std::function<void(TObject* Sender, int ACol, int ARow, int Index)>;
// Rows, and with the column events columns, in the first argument.
using TRowDisjunctSelectEvent = std::function<void(TObject* Sender, int ARow, bool AState, bool& Allow)>;
using TRowDisjunctSelectedEvent = std::function<void(TObject* Sender, int ARow)>;
using TSelectionChangedEvent = std::function<void(TObject* Sender, int ALeft, int ATop, int ARight, int ABottom)>;
using TRowChangingEvent = std::function<void(TObject* Sender, int OldRow, int NewRow, bool& Allow)>;
// For a column hint the column number comes in ARow.
using TScrollHintEvent = std::function<void(TObject* Sender, int ARow, String& HintStr)>;
using TDragScrollEvent = std::function<void(TObject* Sender, int TopRow, int LeftCol,
    TDragScrollDirection& DragScrollDir, bool& CanScroll)>;
using TScrollCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, int ScrollPosition, int ScrollMin,
    int ScrollMax)>;

// The window messages and clipboard format the grid unit registers once per
// process, before the first grid exists.
struct TGridUnitRegistrations {
    UINT CF_GRIDCELLS { 0 };
    UINT WM_GRIDEDITDONE { 0 };
    UINT WM_GRIDEDITSHOW { 0 };
    UINT WM_GRIDEDITINVALID { 0 };
    UINT WM_GRIDEDITPROP { 0 };
    UINT WM_DTPSHIFTFOCUS { 0 };
    UINT WM_FILTEREDITUPDATE { 0 };
    // The common-controls library is newer than 4.69.
    bool ComCtrlsAbove470 { false };
};
// Runs the unit's start-up on first use.
const TGridUnitRegistrations& GridUnit();

// The process's format settings, one field each.
Char LocaleTimeSeparator();
Char LocaleDateSeparator();
Char LocaleThousandSeparator();
Char LocaleDecimalSeparator();
String LocaleShortDateFormat();
String LocaleShortTimeFormat();
String LocaleLongTimeFormat();
String LocaleCurrencyString();
// Below 0, 0 or above 0: runs of digits compare by value, letters ignoring case.
int NaturalCompareText(const String& S1, const String& S2);
TGridRect MakeGridRect(int ALeft, int ATop, int ARight, int ABottom);
// Adds the transparent extended style to the window.
void SetWindowTransparent(HWND Handle);
// The high half of the file version (major << 16 | minor); -1 without
// version information.
int GetDllFileVersion(const String& FileName);
// While installed (from the unit's start-up to its end), every move or
// resize of a top-level window asks the registered grid to place its focus
// window again.
void InstallFocusWindowHook();
void FocusWindowHookProc(HWND Top);
void RemoveFocusWindowHook();
bool FocusWindowHookInstalled();
// The unit's counted start-up and shutdown: the first grid made starts OLE
// on the thread and installs the focus-window hook; when the last grid is
// gone OLE is shut down and the hook removed.
void AcquireGridUnit();
void ReleaseGridUnit();
int GridUnitUsers();
class TDedOzovedUrad;
void SetFocusWindowGrid(TDedOzovedUrad* Grid);
TDedOzovedUrad* GetFocusWindowGrid();

// Plain properties: stored, nothing else happens on a write.
#define GRID_PLAIN_PROPS(X)                                                                                   \
    X(TEditorType, DefaultEditor, edNormal) X(String, FloatFormat, u"%.2f")                                   \
    X(int, MaxComboLength, 0) X(String, ValidChars, String())                                                   \
    X(TColor, HintColor, clInfoBk) X(bool, HintShowCells, false) X(bool, HintShowLargeText, false)             \
    X(bool, HintShowSizing, false) X(bool, HTMLHint, false) X(bool, AnchorHint, false)                        \
    X(THintPos, HintShowLargeTextPos, hpCell) X(bool, UseInternalHintClass, true) X(bool, EditWithTags, false) \
    X(bool, URLEdit, false) X(bool, ScrollSynch, false) X(bool, EnableWheel, true)                           \
    X(bool, IntelliZoom, true) X(TIntelliPan, IntelliPan, ipVertical) X(TGridFilterType, FilterType, ftHide)   \
    X(bool, FilterNormalCellsOnly, true) X(bool, AutoFilterUpdate, true) X(bool, FilterDropDownAuto, false)   \
    X(bool, FilterDropDownMultiCol, true) X(bool, FilterDropDownCheck, false)                                 \
    X(TFilterDropDownColumns, FilterDropDownColumns, fdNormal) X(String, FilterDropDownClear, u"(All)")       \
    X(String, FilterDropDownCheckUnCheckAll, String()) X(bool, Lookup, false) X(bool, LookupCaseSensitive, false) \
    X(bool, LookupHistory, false) X(bool, Multilinecells, false) X(bool, OemConvert, false)                   \
    X(bool, ExcelStyleDecimalSeparator, false) X(TInvalidEntryIcon, InvalidEntryIcon, ieWarning)             \
    X(String, InvalidEntryTitle, String()) X(String, InvalidEntryText, String()) X(bool, EnhRowColMove, true) \
    X(bool, EnhTextSize, false) X(bool, AutoNumAlign, false) X(bool, Hovering, false)                         \
    X(THoverFixedCells, HoverFixedCells, hfNone) X(TPopupToolBarMode, PopupToolBarMode, tbActiveCell)
// Public, not published: file formats and small switches.
#define GRID_PUBLIC_PROPS(X)                                                                                  \
    X(String, CheckTrue, u"Y") X(String, CheckFalse, u"N") X(String, XMLEncoding, u"ISO-8859-1")              \
    X(String, CSVLineBreak, String()) X(Char, Delimiter, Char(0)) X(Char, PasswordChar, u'*')                 \
    X(bool, JavaCSV, false) X(bool, QuoteEmptyCells, true) X(bool, AlwaysQuotes, false)                       \
    X(bool, SaveFixedCells, true) X(bool, SaveFixedRows, false) X(bool, SaveFixedCols, false)                 \
    X(bool, SaveHiddenCells, false) X(bool, SaveMergedCells, true) X(bool, SaveVirtCells, true)               \
    X(bool, SaveWithHTML, true) X(bool, ShowNullDates, true) X(bool, UseDisabledFont, true)                   \
    X(bool, ClearTextOnly, false) X(bool, FilterIncremental, false)
// Switches of the CSV reader and writer and of the export text of a cell.
#define GRID_FILE_PROPS(X)                                                                                    \
    X(bool, QuoteQuoteCells, true) X(bool, CSVMultilineCellImport, true) X(bool, CSVTrimSpaces, true)        \
    X(bool, LoadFirstRow, true) X(bool, SaveWithRTF, false)
// Look properties: a changed value is stored and the grid repainted.
#define GRID_LOOK_PROPS(X)                                                                                    \
    X(TAlignment, DefaultAlignment, taLeftJustify)                                                            \
    X(TColor, DisabledFontColor, TColor(0xC0C0C0)) X(bool, UseFixedFont, true) X(bool, FixedAsButtons, false) \
    X(bool, HideFocusRect, false) X(bool, ShowDesignHelper, true) X(bool, EnableBlink, false)                 \
    X(TColor, SelectionColor, TColor(0xEACAB6)) X(TColor, SelectionColorTo, clNone)                           \
    X(TColor, SelectionMirrorColor, clNone) X(TColor, SelectionMirrorColorTo, clNone)                         \
    X(TColor, SelectionTextColor, TColor(0)) X(bool, SelectionColorMixer, false)                              \
    X(bool, SelectionRectangle, false) X(bool, SelectionResizer, false) X(bool, SelectionRTFKeep, false)      \
    X(bool, ShowFocusedSelectionColor, true) X(bool, UseSelectionTextColor, true)                             \
    X(bool, AutoHideSelection, false)                                                                         \
    X(bool, ActiveCellShow, false)                                                                            \
    X(TColor, ActiveCellColor, TColor(0x808080)) X(TColor, ActiveCellColorTo, clNone)                         \
    X(bool, EnableHTML, true) X(bool, URLUnderline, true) X(bool, URLShow, false)                            \
    X(bool, URLShowInText, false)                                                                             \
    X(bool, URLUnderlineOnHover, false) X(TFormatType, FormatType, ftVCL)

class TDedOzovedUrad : public TBaseGrid, public IGridHost, public ILumStyleEx, public ILumTones,
                       public VOzuDazeZiravaRiru {
    QT_CLASS(TDedOzovedUrad, TBaseGrid)
    QT_INTERFACES(ILumStyleEx, ILumStyle, ILumTones)

#define GRID_PLAIN_FIELD(T, N, V)                  \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v) { F##N = v; }                 \
                                                   \
private:                                           \
    T F##N { V };
#define GRID_LOOK_FIELD(T, N, V)                   \
public:                                            \
    T Get##N() const { return F##N; }              \
    void Set##N(T v)                               \
    {                                              \
        if (F##N == v)                             \
            return;                                \
        F##N = v;                                  \
        Invalidate();                              \
    }                                              \
                                                   \
private:                                           \
    T F##N { V };
    GRID_PLAIN_PROPS(GRID_PLAIN_FIELD)
    GRID_PUBLIC_PROPS(GRID_PLAIN_FIELD)
    GRID_FILE_PROPS(GRID_PLAIN_FIELD)
    GRID_LOOK_PROPS(GRID_LOOK_FIELD)
#undef GRID_PLAIN_FIELD
#undef GRID_LOOK_FIELD

public:
    // ---- construction and lifecycle ----
    explicit TDedOzovedUrad(TComponent* AOwner = nullptr);
    ~TDedOzovedUrad() override;
    void Loaded() override;
    // Layout, looks, settings and (through the data views' cell streams)
    // cells of another string grid; any other source changes nothing.
    void Assign(TPersistent* Source) override;
    virtual void AssignCells(TPersistent* Source);
    // Skipped once while an in-place edit keystroke raised the edit-change
    // flag; repaints the floating footer too.
    void Invalidate() override;
    // With IntegralHeight the height is trimmed to whole default rows.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Wheel message and line count; Ask would query old wheel drivers,
    // which this platform has none of.
    virtual void InitWheelScroll(bool Ask);
    // The grid was newly placed in a form designer.
    bool GetDesignTime() const { return FDesignTime; }
    bool GetGridLoaded() const { return FLoaded; }
    bool IsLoading() const { return GetComponentState().Contains(csLoading); }
    bool IsDesigning() const { return GetComponentState().Contains(csDesigning); }
    // Update bracket: while open, per-cell setters do not repaint; the
    // last EndUpdate repaints once (DedOzovedUradUpdate.cpp).
    void BeginUpdate();
    void EndUpdate();
    int GetUpdateCount() const { return FUpdateCount; }
    // The wheel message and the lines one notch scrolls.
    UINT GetWheelMessage() const { return FWheelMsg; }
    int GetWheelScrollLines() const { return FWheelScrollLines; }
    double GetDPIScale() const { return FDPIScale; }
    double DPIScaleFactor() override { return FDPIScale; }

    // ---- data views (sorting, nodes, filtering, streams; DedOzovedUradViews.cpp) ----
    IGridDataViews& DataViews() { return *FDataViews; }
    virtual void QSort();
    virtual void QSortIndexed();
    virtual void QSortGroup();
    virtual void QSortGroupIndexed();
    virtual void QUnSort();
    void InitSortXRef() { FDataViews->InitSortXRef(); }
    bool IsNode(int ARow) override;
    bool IsSummary(int ARow) override;
    int GetNodeCount() { return FDataViews->GetNodeCount(); }
    bool HasNodes() override { return GetNodeCount() > 0; }
    // The node level of the row times CellNode.NodeIndent.
    int RowIndent(int ARow) override;
    void ExpandAll() { FDataViews->ExpandAll(); }
    void ContractAll() { FDataViews->ContractAll(); }
    bool GetFilterActive() const { return FFilterActive; }
    void SetFilterActive(bool Value) { FDataViews->SetFilterActive(Value); }
    // For the data views: the filter state after they applied or removed it.
    void SetFilterActiveState(bool Value) { FFilterActive = Value; }
    void RemoveAllFilters() { FDataViews->RemoveAllFilters(); }
    virtual bool CollectFilterValues(int ACol, bool StopAtFirst, bool IncludeHidden);
    TStringList* GetFilterList() const { return FFilterList.get(); }
    void SaveToStream(TStream& Stream) { FDataViews->SaveToStream(Stream); }
    void LoadFromStream(TStream& Stream) { FDataViews->LoadFromStream(Stream); }
    void SaveColSizes() { FDataViews->SaveColSizes(); }
    void LoadColSizes() { FDataViews->LoadColSizes(); }
    int GetGroupColumn() const { return FGroupColumn; }
    // Grouping (grid/views GridGrouping.cpp through the data views): -1
    // ungroups, a column above 0 groups by it, 0 does nothing.
    void SetGroupColumn(int Value);
    virtual void Group(int Colindex);
    virtual void UnGroup();
    virtual void SubGroup(int Colindex);
    virtual void SubUnGroup(int Colindex);
    // Method 1 sum, 2 average, 3 minimum, 4 maximum, 5 count, 6 custom
    // (OnGroupCalc), 7 distinct, 8 standard deviation.
    void GroupCalc(int Colindex, int Method);
    void GroupSum(int Colindex);
    void GroupAvg(int Colindex);
    void GroupMin(int Colindex);
    void GroupMax(int Colindex);
    void GroupCount(int Colindex);
    void GroupCustomCalc(int Colindex) { GroupCalc(Colindex, 6); }
    void GroupDistinct(int Colindex) { GroupCalc(Colindex, 7); }
    void GroupStdDev(int Colindex) { GroupCalc(Colindex, 8); }
    void MergeGroupRows() { FDataViews->MergeGroupRows(); }
    void SplitGroupRows() { FDataViews->SplitGroupRows(); }

    // ---- sorting, filtering and row nodes (grid/views: GridSort.cpp,
    // GridFiltering.cpp, GridNodes.cpp); the state lives in the views object ----
    // Sets the sort column and direction and sorts.
    void Sort(int Column, TSortDirection Direction);
    void SortByColumn(int Col);
    // Sorts display rows Left .. Right without focus, footer or scroll handling.
    void QuickSort(int Col, int Left, int Right);
    void QuickSortIndexed(int Left, int Right);
    // Swaps the two rows when they are out of order; True when it did.
    bool SortLine(int Col, int ARow1, int ARow2);
    TColumnType ColumnType(int Col);
    // -1, 0 or +1: how the two rows' cells of ACol order ascending.
    int CompareCells(int ACol, int ARow1, int ARow2, TSortDirection Direction);
    virtual bool RowMatchesFilter(int ARow);
    bool FilterRow(int ARow);
    void ApplyFilter();
    bool RemoveLastFilter();
    void NarrowDown(const String& ACondition, TNarrowDownOptions AOptions, int AColumn);
    void NarrowDown(const String& ACondition, bool DoRemoveAccented, int AColumn);
    void NarrowDown(const String& ACondition, int AColumn);
    void SaveFilter(const String& FileName);
    void LoadFilter(const String& FileName);
    bool GetNarrowDownFromStart() const;
    void SetNarrowDownFromStart(bool Value);
    // Real rows for AddNode, RemoveNode, Expand/Contract/ToggleNode,
    // InsertChildRow, RemoveChildRow and InsertNormalRow; display rows else.
    void AddNode(int ARow, int Span);
    void RemoveNode(int ARow);
    void ExpandNode(int ARow);
    void ContractNode(int ARow);
    void ToggleNode(int ARow);
    void RemoveAllNodes();
    bool GetNodeState(int ARow);
    void SetNodeState(int ARow, bool Value);
    int GetNodeLevel(int ARow);
    int GetNodeSpan(int ARow);
    void SetNodeSpan(int ARow, int Span);
    void UpdateNodeSpan(int ARow, int Delta);
    int GetSubNodeCount(int ARow);
    void UpdateSubNodeCount(int ARow, int Delta);
    int GetNodeSpanType(int ARow);
    int GetParentRow(int ARow);
    void InsertChildRow(int ARow, int InsertAt);
    void RemoveChildRow(int ARow);
    void InsertNormalRow(int ARow);
    void RemoveNormalRow(int ARow);
    bool IsNodeClickHit(int ARow, int X);
    // The image index a sort by images compares; -1 for a cell without one.
    virtual int CellImageIndex(int ACol, int ARow) { return GetCellImageIdx(ACol, ARow); }

    // ---- find and replace (grid/views/GridFind.cpp) ----
    // Cells are display columns and rows, except that fnIncludeHiddenColumns
    // counts columns and fnIncludeHiddenRows rows as real indexes. (-1, -1)
    // when nothing is found.
    TPoint Find(TPoint StartCell, const String& s, TFindParams FindParams);
    TPoint FindWide(TPoint StartCell, const String& s, TFindParams FindParams);
    TPoint FindFirst(const String& s, TFindParams FindParams);
    // From SearchCell with the last search's text and parameters.
    TPoint FindNext();
    // The first match; NumResults counts every match, each cell once.
    TPoint FindAll(const String& s, TFindParams FindParams, int& NumResults);
    // Replaces OrigStr in the raw text of every matching cell (case as
    // fnMatchCase says); the number of cells changed. An empty OrigStr
    // changes nothing.
    int Replace(const String& OrigStr, const String& NewStr, TFindParams FindParams);
    // The first row whose columns all pass their conditions; -1 when none.
    // Raises Exception when the arrays differ in length.
    int FindMulti(const std::vector<String>& Conditions, const std::vector<int>& Columns,
        const std::vector<TSearchType>& Searchtypes, const std::vector<bool>& CaseSensitive, bool IgnoreHTML,
        bool AutoGoto);
    int FindMultiNext();
    // A filter condition for one FindMulti column, the value quoted as
    // typed filter values are.
    static String BuildMatchCondition(TSearchType Kind, const String& Value);
    // The type-ahead search: the first normal row whose sort-column text
    // starts with s (upper-cased by the caller); -1 when none.
    int Search(const String& s) { return FDataViews->Search(s); }
    TPoint GetSearchCell() const { return FSearchCell; }
    void SetSearchCell(TPoint Value) { FSearchCell = Value; }
    int GetFindCol() const { return FFindCol; }
    void SetFindCol(int Value) { FFindCol = Value; }
    int GetFindRow() const { return FFindRow; }
    void SetFindRow(int Value) { FFindRow = Value; }
    bool GetFindBusy() const { return FFindBusy; }
    TFindParams GetFindParams() const { return FFindParams; }
    const String& GetSearchCache() const { return FSearchCache; }
    const String& GetSearchCacheWide() const { return FSearchCacheWide; }
    // The type-ahead text (the same field as SearchInc).
    const String& GetIncrSearchText() const { return FSearchInc; }
    void SetIncrSearchText(const String& Value) { FSearchInc = Value; }
    // The filter lists (grid/views/GridFilterValues.cpp). The texts a
    // checked and an unchecked data check box of the column stand for.
    virtual String CheckTrueValue(int /*ACol*/) { return GetCheckTrue(); }
    virtual String CheckFalseValue(int /*ACol*/) { return GetCheckFalse(); }
    TGetColumnFilterEvent OnGetColumnFilter;
    TFilterSelectEvent OnFilterSelect;
    TFilterCheckEvent OnFilterCheck;
    TFilterCheckClickEvent OnFilterCheckClick;
    TFilterCheckClickEvent OnFilterCheckMouseDown;

private:
    TPoint FindCell(TPoint StartCell, const String& s, const String& ws, TFindParams FindParams, bool Wide);
    bool MatchCell(int ACol, int ARow, bool Wide);
    bool RowMatchesMulti(int ARow);
    // Focus and scrolling after a search that moves to its match.
    void GotoFoundCell(TPoint Cell);
    void ScrollAfterFind();
    TPoint FSearchCell { -1, -1 };
    int FFindCol { 0 };
    int FFindRow { 0 };
    bool FFindBusy { false };
    TFindParams FFindParams;
    String FSearchCache;
    String FSearchCacheWide;
    std::vector<String> FConditions;
    std::vector<int> FColumns;
    std::vector<bool> FCase;
    bool FIgnoreHTMLMulti { false };

public:

    // ---- what the filter and sort settings ask of the grid (IGridHost) ----
    // 1 while FixedRowAlways keeps a fixed row the platform cannot hold.
    int GetFixedRows() const override;
    int GetRowCount() const override { return TBaseGrid::GetRowCount(); }
    int GetMergeSpanY(int ACol, int ARow) const override { return CellSpan(ACol, ARow).Y; }
    bool IsDestroying() const override { return TBaseGrid::IsDestroying(); }
    // Repaint services (DedOzovedUradSelection.cpp).
    void RepaintCell(int ACol, int ARow) override;
    void RepaintRow(int ARow) override;
    TSortIndexList& GetSortIndexes() override { return *FSortIndexes; }

    // ---- dimensions and fixed regions (DedOzovedUradDimensions.cpp) ----
    // ColCount, Col and FixedCols count display columns; hidden columns are
    // stored beyond ColCount, and the per-column arrays grow with both.
    virtual void SetColCount(int Value);
    // Fires OnRowCountChange before anything changes (not while the grid is
    // being destroyed); a visible floating footer's row stays the last row.
    virtual void SetRowCount(int Value);
    // With FixedColAlways / FixedRowAlways the fixed lines outlive a grid
    // without normal lines: the platform holds one line fewer for a while,
    // the fixed count reads as asked, and the count asked for comes back as
    // soon as the grid has lines for it.
    virtual void SetFixedCols(int Value);
    virtual void SetFixedRows(int Value);
    int GetFixedCols() const;
    virtual void SetDefaultRowHeight(int Value);
    // The platform's focus move; remembers the selection and moves a
    // synchronised grid's column along.
    void SetCol(int Value);
    int GetFixedRightCols() const { return FFixedRightCols; }
    void SetFixedRightCols(int Value);
    int GetFixedFooters() const { return FFixedFooters; }
    void SetFixedFooters(int Value);
    bool GetFixedRowAlways() const { return FFixedRowAlways; }
    void SetFixedRowAlways(bool Value) { FFixedRowAlways = Value; }
    bool GetFixedColAlways() const { return FFixedColAlways; }
    void SetFixedColAlways(bool Value) { FFixedColAlways = Value; }
    int GetFixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int Value);
    int GetFixedColWidth() const { return GetColWidths(0); }
    void SetFixedColWidth(int Value);
    bool GetIntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool Value);
    bool GetSizeWithForm() const { return FSizeWithForm; }
    void SetSizeWithForm(bool Value);
    // Sizes the columns to their content (not the control's own autosize).
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) override;
    bool GetWordWrap() const { return FGridWordWrap; }
    void SetWordWrap(bool Value);
    TCursor GetCursor() const { return TBaseGrid::GetCursor(); }
    void SetCursor(TCursor Value);
    int GetAllColCount() const { return GetColCount() + FNumHidden; }
    int GetAllRowCount() const { return GetRowCount() + NumHiddenRows(); }
    int GetLastCol() const { return GetColCount() - 1; }
    int GetLastRow() const { return GetRowCount() - 1; }
    // Rows in view: less the suppressed normal rows under ftSuppress.
    int GetFilteredRows() const;
    // Width of the fixed columns at both sides.
    int FixedColumnsWidth() const;
    int GetMaxRowCount() const { return FMaxRowCount; }
    int GetMaxColCount() const { return FMaxColCount; }
    // ScrollBarAlways: keeps the named window scroll bars shown (disabled)
    // while everything fits; with saNone and Hide, hides a bar with nothing
    // to scroll.
    virtual void ApplyScrollBarAlways(bool Hide);
    // Grows every column and row by x pixels (times the DPI scale) and the
    // cell fonts by x points, within a zoom of -20..20.
    virtual void Zoom(int x);
    void ZoomReset() { Zoom(-GetZoomFactor()); }
    // A line of Size pixels zoomed by x at the given DPI scale: it grows by
    // the scaled amount unless it is hidden (0) or would vanish.
    static int ZoomLineSize(int Size, int x, double Scale);
    // The point size a cell font of Size points is drawn and measured with
    // at the current zoom; never below 1.
    int ZoomedFontSize(int Size) const { return std::max(1, Size + GetZoomFactor()); }
    void ApplyZoom(TFont* AFont) const;
    // The platform's sizing test, then OnColumnSize / OnRowSize may refuse.
    void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) override;
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);

    // ---- display and real indexes (DedOzovedUradIndexMap.cpp) ----
    // Hidden rows leave the platform grid for the store GetGridItems() (one
    // TGridItem per row, keyed by Idx); hidden columns stay stored at their
    // real index and are only flagged. Each row mapping costs O(log h) for
    // h hidden rows: a sorted lookup of the store is kept until the store
    // changes. Negative indexes map to themselves.
    TRealRow DisplayToRealRow(TDisplayRow ARow);
    TDisplayRow RealToDisplayRow(TRealRow ARow);
    TRealCol DisplayToRealCol(TDisplayCol ACol) const;
    TDisplayCol RealToDisplayCol(TRealCol ACol) const;
    TRealRow RealRowIndex(TDisplayRow ARow) { return DisplayToRealRow(ARow); }
    TDisplayRow DisplRowIndex(TRealRow ARow) { return RealToDisplayRow(ARow); }
    TRealCol RealColIndex(TDisplayCol ACol) override { return DisplayToRealCol(ACol); }
    TDisplayCol DisplColIndex(TRealCol ACol) override { return RealToDisplayCol(ACol); }
    // Real row indexes.
    bool IsHiddenRow(int RowIndex);
    // For a run of questions with the store unchanged: the first call fills
    // ListHidden (owned by the caller) with the sorted Idx values.
    bool IsHiddenRow(int RowIndex, std::unique_ptr<TIntList>& ListHidden) const;
    // The stored row of real row RowIndex; nullptr when it is in view.
    TGridItem* HiddenRowItem(int RowIndex);
    int NumHiddenRows() const { return FGridItems->Count(); }
    int TotalRowCount() const { return GetRowCount() + NumHiddenRows(); }
    int NumHiddenColumns() const { return FNumHidden; }
    int TotalColCount() const override { return GetAllColCount(); }
    // Real columns; indexes outside the columns are visible and not hidden.
    bool IsHiddenColumn(int ColIndex) const;
    bool ColVisibleFlag(int Pos) const;
    void SetColVisibleFlag(int Pos, bool Value);
    bool IsIgnoredColumn(int ACol) const { return FIgnoreColumns->HasValue(ACol); }
    TIntList* GetIgnoreColumns() const { return FIgnoreColumns.get(); }
    // Display indexes. A row counts as suppressed by its height alone, a
    // column only while it remembers a width.
    bool IsSuppressedRow(int RowIndex) const { return GetRowHeights(RowIndex) == 0; }
    bool IsSuppressedColumn(int ColIndex) const;
    int NumSuppressedRows() const;
    TIntList* GetSuppressColSizes() const { return FSuppressColSizes.get(); }
    TIntList* GetSuppressRowSizes() const { return FSuppressRowSizes.get(); }
    int GetRealCol() const { return DisplayToRealCol(TDisplayCol(GetCol())).Value; }
    int GetRealRow() { return DisplayToRealRow(TDisplayRow(GetRow())).Value; }
    // The display cell under a point in screen coordinates.
    void ScreenToCell(TPoint pt, int& ACol, int& ARow);
    void BuildHiddenRowLookup();
    void FreeHiddenRowLookup() { FHiddenRowLookup.reset(); }
    // What the writers export: with SaveFixedCells (or SaveFixedRows /
    // SaveFixedCols) the fixed lines too.
    int GetSaveStartCol() const;
    int GetSaveStartRow() const;
    int GetSaveEndCol() const;
    int GetSaveEndRow() const;
    int GetSaveColCount() const;
    int GetSaveRowCount() const;

    // ---- cell views and per-cell attributes (DedOzovedUradCells.cpp) ----
    // Columns are stored (real) columns and rows display rows, except where
    // said: the All... views take real rows, so they reach hidden rows too.
    String GetCellsEx(int c, int r);
    void SetCellsEx(int c, int r, const String& Value);
    String CellByRealRow(int c, int r) { return GetCellsEx(c, r); }
    // As AllCells, raw: no display hook.
    String GetGridCellsEx(int c, int r);
    void SetGridCellsEx(int c, int r, const String& Value);
    // Wide views: a wide-encoded text reads decoded; the store is UTF-16,
    // so a text is written as it is.
    String GetWideCellsEx(int c, int r);
    void SetWideCellsEx(int c, int r, const String& Value) { SetCellsEx(c, r, Value); }
    String GetWideCells(int c, int r);
    void SetWideCells(int c, int r, const String& Value) { SetCellEx(c, r, Value); }
    // By display column.
    String GetRealCell(int c, int r) { return GetCellEx(RealColIndex(TDisplayCol(c)).Value, r); }
    void SetRealCell(int c, int r, const String& Value) { SetCellEx(RealColIndex(TDisplayCol(c)).Value, r, Value); }
    // By the column's position before columns were moved.
    String GetOriginalCells(int c, int r) { return GetCellEx(OriginalColumn(c), r); }
    void SetOriginalCells(int c, int r, const String& Value) { SetCellEx(OriginalColumn(c), r, Value); }
    // By the row's position before sorting.
    String GetUnSortedCell(int c, int r) { return GetCellEx(c, UnSortedCellRow(r)); }
    void SetUnSortedCell(int c, int r, const String& Value) { SetCellEx(c, UnSortedCellRow(r), Value); }
    int SortedRowIndex(int ARow) const;
    int UnSortedRowIndex(int ARow) const;
    // Where stored column ACol stands now (ACol before any move).
    int ColumnPosition(int ACol) const;
    TIntList* GetSortRowXRef() const { return FSortRowXRef.get(); }
    // The user object by real row; a hidden row keeps it in the properties
    // among its saved cells.
    TObject* GetObjectsEx(int c, int r);
    void SetObjectsEx(int c, int r, TObject* Value);
    // A hidden column's remembered width, else its display column's.
    int GetAllColWidths(int c) const;
    void SetAllColWidths(int c, int Value);

    // Per-cell attributes. Reading a cell without properties answers the
    // default and makes none; writing makes them and repaints the cell
    // unless an update is open.
    TColor GetColors(int c, int r) const;
    void SetColors(int c, int r, TColor Value);
    TColor GetColorsTo(int c, int r) const;
    void SetColorsTo(int c, int r, TColor Value);
    TCellGradientDirection GetGradients(int c, int r) const;
    void SetGradients(int c, int r, TCellGradientDirection Value);
    TColor GetFontColors(int c, int r) const;
    void SetFontColors(int c, int r, TColor Value);
    TFontStyles GetFontStyles(int c, int r) const;
    void SetFontStyles(int c, int r, TFontStyles Value);
    // Points, from and to the stored pixel height at the canvas' density.
    int GetFontSizes(int c, int r);
    void SetFontSizes(int c, int r, int Value);
    String GetFontNames(int c, int r) const;
    void SetFontNames(int c, int r, const String& Value);
    // One scratch font shared by every read (the next read changes it); the
    // grid's Font for a cell without properties.
    TFont* GetFonts(int c, int r);
    void SetFonts(int c, int r, TFont* Value);
    TAlignment GetAlignments(int c, int r) const;
    void SetAlignments(int c, int r, TAlignment Value);
    // Reading makes the properties.
    bool GetWordWraps(int c, int r);
    void SetWordWraps(int c, int r, bool Value);
    bool GetReadOnly(int c, int r) const;
    void SetReadOnly(int c, int r, bool Value);
    // A control placed over the cell (parented to the grid, never owned).
    TControl* GetCellControls(int c, int r) const;
    void SetCellControls(int c, int r, TControl* Value);
    int GetNumCellControls() const { return FNumCellControls; }
    // Every cell of the row from FixedCols on. clNone resets that colour;
    // a cell whose properties then hold nothing else loses them.
    void SetRowColor(int r, TColor Value);
    void SetRowColorTo(int r, TColor Value);
    void SetRowFontColor(int r, TColor Value);
    // Every cell of a rectangle (nothing when Right < Left).
    void SetCellColor(const TGridRect& GridRect, TColor AColor);
    void SetCellTextColor(const TGridRect& GridRect, TColor AColor);
    void SetCellFontName(const TGridRect& GridRect, const String& AName);
    void SetCellFontSize(const TGridRect& GridRect, int ASize);
    void SetAlignment(const TGridRect& GridRect, TAlignment AAlignment);
    void SetFontStyle(const TGridRect& GridRect, TFontStyle AStyle, bool DoSet);
    virtual void ClearRect(const TGridRect& ARect) { ClearRect(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom); }
    // True when every cell of the rectangle has it (and for no cell).
    bool IsAlignment(const TGridRect& GridRect, TAlignment AAlignment) const;
    bool IsFontStyle(const TGridRect& GridRect, TFontStyle AStyle) const;
    // The disjunct cell selection (written by the selection code).
    TGridCellSet& GetSelectedCellSet() { return FSelectedCells; }
    const TGridCellSet& GetSelectedCellSet() const { return FSelectedCells; }

    // ---- what the grid asks about one cell (DedOzovedUradCellQueries.cpp) ----
    // Display column. Footer rows and fixed right columns are fixed; then
    // DoIsFixedCell, at the base cell of a merged area.
    bool IsFixed(int ACol, int ARow) override;
    // Each Do... gives the grid's answer and then asks its event.
    virtual void DoIsFixedCell(int ACol, int ARow, bool& IsFixed);
    // Stored column. Read-only cells and a grid that does not edit refuse
    // before OnCanEditCell; a cell beyond all columns is editable.
    virtual void CanEditCell(int ACol, int ARow, bool& Allow);
    virtual void DoCanEditCell(int ACol, int ARow, bool& CanEdit);
    virtual void DoGetEditorType(int ACol, int ARow, TEditorType& AEditor);
    virtual void DoGetEditorTypeForSpin(int ACol, int ARow, TEditorType& AEditor);
    // Whether the cell shows its drop-down, edit or spin button without
    // being edited; AEditor edNone stands for the grid's DefaultEditor.
    virtual bool HasCellComboBox(int ACol, int ARow, TEditorType AEditor);
    virtual bool HasCellEditBtn(int ACol, int ARow, TEditorType AEditor);
    virtual bool HasCellSpinEdit(int ACol, int ARow, TEditorType AEditor);
    virtual bool HasCellFilterEdit(int ACol, int ARow);
    virtual void DoIsPasswordCell(int ACol, int ARow, bool& IsPassword);
    // The look a cell has now, without the passing colours of the fixed
    // regions, bands, background and selection.
    void GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor,
        TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW, TCellGradientDirection& GD) override;
    TAlignment DefaultCellAlignment() override { return GetDefaultAlignment(); }
    // Rich text between a cell and a rich edit.
    void CellToRich(int Col, int Row, TCustomRichEdit* Richeditor);
    String RichToString(TCustomRichEdit* Richeditor);
    // The text painters, measurers and exporters show: the display text.
    virtual String GetFormattedCell(int ACol, int ARow);

    // ---- the text of a cell going into or out of a file (DedOzovedUradCellHooks.cpp) ----
    // Every reader stores a cell through DoLoadCell: OnLoadCell may change
    // the text, which then becomes the raw stored text (no change events).
    virtual void DoLoadCell(int ACol, int ARow, const String& Value);
    // The text every writer takes for a stored cell: the display or the
    // raw text, empty for a cell covered by a merge unless SaveMergedCells,
    // mini-HTML stripped unless SaveWithHTML, rich text as one line
    // (SaveWithRTF) or as its plain text; OnSaveCell has the last word.
    virtual String SaveCell(int ACol, int ARow);

    // ---- CSV files (grid/views/io/GridCSV.cpp) ----
    // MaxRows <= 0 reads every record; IgnoreRows drops that many leading
    // lines (none when there are not more lines than that). Records go to
    // the rows from SaveStartRow (insert: after the last row) and the
    // columns from SaveStartCol; the row count is cut to the records read.
    // Without an encoding the bytes are decoded by their byte-order mark,
    // else as the system code page. A zero-length file loads nothing;
    // a stream or text without a line raises "File is empty".
    void LoadFromCSV(const String& FileName, int MaxRows = 0, int IgnoreRows = 0);
    void LoadFromCSV(const String& FileName, TEncoding* AEncoding, int MaxRows = 0, int IgnoreRows = 0);
    // From the stream's position on.
    void LoadFromCSVStream(TStream& AStream, int MaxRows = 0, int IgnoreRows = 0);
    // The stream is still decoded by its byte-order mark.
    void LoadFromCSVStream(TStream& AStream, TEncoding* AEncoding, int MaxRows = 0, int IgnoreRows = 0);
    void InsertFromCSV(const String& FileName, int MaxRows = 0, int IgnoreRows = 0);
    void InsertFromCSV(const String& FileName, TEncoding* AEncoding, int MaxRows = 0, int IgnoreRows = 0);
    // The save range, or ARect (display columns and rows, both ends
    // included). Unicode: UTF-8 with its byte-order mark, else US-ASCII.
    // The file is written beside the target and renamed over it.
    void SaveToCSV(const String& FileName, bool Unicode = false);
    void SaveToCSV(const String& FileName, const TGridRect& ARect, bool Unicode = false);
    void SaveToCSV(const String& FileName, TEncoding* AEncoding);
    void SaveToCSV(const String& FileName, const TGridRect& ARect, TEncoding* AEncoding);
    // The file's lines, then the save range; raises and leaves the file as
    // it was when its lines cannot be written in the target encoding.
    void AppendToCSV(const String& FileName, bool Unicode = false);
    void AppendToCSV(const String& FileName, TEncoding* AENcoding);

    // ---- Excel workbooks through "Excel.Application" (grid/views/io/GridExcel.cpp) ----
    // Writes the save range (hidden columns left out) as one block of texts:
    // into a new workbook from A1, or, when the server already has a
    // workbook open and CreateNewSheet is off, into its active sheet from
    // the active cell's row; the workbook is then saved as FileName.
    void SaveToXLS(const String& FileName, bool CreateNewSheet = false);
    // Into the sheet of that name of FileName (opened when it exists; the
    // sheet is added when missing), from A1.
    void SaveToXLSSheet(const String& FileName, const String& SheetName);
    // The used range of the active (or named) sheet into the grid, from
    // the first saved column and row.
    void LoadFromXLS(const String& FileName);
    void LoadFromXLSSheet(const String& FileName, const String& SheetName);
    // The names of the workbook's worksheets, in their order.
    std::unique_ptr<TStringList> GetXLSSheets(const String& FileName);

    // ---- XML and JSON (grid/views/io/GridXML.cpp) ----
    // The save range as one element per record and per field, FieldDescr
    // (may be nullptr) naming the fields, written in the encoding the
    // declaration names (XMLEncoding); "&" is written as "&amp;".
    void SaveToXML(const String& FileName, const String& ListDescr, const String& RecordDescr, TStrings* FieldDescr,
        bool ExportEmptyCells = false);
    // Reads an XML document through "Microsoft.XMLDOM" into the cells from
    // the first saved column; the grid is not cleared first.
    void LoadFromXML(const String& FileName, bool LevelToRow = false, bool LoadFieldDescr = false);
    // The save range as JSON (lines joined by CR LF, one at the end);
    // every string escaped as JSON requires.
    void SaveToJSON(const String& RecordDescr, TStrings* FieldDescr, String& JSON);
    void SaveToJSON(const String& FileName, const String& RecordDescr, TStrings* FieldDescr);
    String BuildJSON(const String& RecordDescr, TStrings* FieldDescr);

    // ---- fixed-width text (grid/views/io/GridFixed.cpp) ----
    // The length of the longest line among the export texts of a stored
    // column (every line with Multilinecells, else the first); 0 when empty.
    int ColumnMaxLineLength(int ACol);
    // A listing whose columns are as wide as their longest line, aligned
    // like the grid, one space apart; Unicode: in Encoding (UTF-8 with its
    // byte-order mark by default), else the system code page.
    void SaveToASCII(const String& FileName, bool Unicode = false);
    // The file's lines first.
    void AppendToASCII(const String& FileName, bool Unicode = false);
    // The save range with the given field widths, one record per line (a
    // line break inside a field becomes a space); missing widths (longest
    // line + 1) are appended to Positions.
    void SaveToFixed(const String& FileName, TIntList* Positions);
    // Fields between neighbouring 1-based positions; MaxRows -1 reads all.
    void LoadFromFixed(const String& FileName, TIntList* Positions, bool DoTrim = true, int MaxRows = -1);
    void WriteASCII(const String& FileName, bool Append, bool Unicode);

    // ---- grid text files and cell streams (grid/views/io/GridCellStream.cpp) ----
    // "cols,rows", a "cw i,width" line per column, then "col,row,text" per
    // non-empty cell; line breaks and control characters in a text are
    // escaped so every text comes back as it was. Unicode: UTF-8 with its
    // byte-order mark, else the system code page.
    void SaveToFile(const String& FileName, bool Unicode = false);
    // Counts that are not numbers, negative or beyond what a grid can hold
    // raise ERirEvozError "File contains no data or corrupt file <name>"
    // with the grid unchanged.
    void LoadFromFile(const String& FileName);
    // What SaveToStream and LoadFromStream do: the same lines as UTF-16 at
    // the stream's position, positions relative to the save range. The
    // reader stops before the first line that is no cell, so data after
    // the grid's stays in the stream.
    void WriteGridTextStream(TStream& Stream);
    void ReadGridTextStream(TStream& Stream);
    // Cells with their properties and objects (display columns and rows,
    // both ends included).
    void SaveRectToBinStream(const TRect& Rect, TStream& Stream, bool SaveHidden);
    void SaveToBinStream(TStream& Stream);
    void SaveToBinFile(const String& FileName);
    // The stream is read whole and checked before any cell changes: a
    // malformed, truncated or foreign stream raises ERirEvozError and
    // leaves the grid as it was. Cells beyond the grid are dropped.
    void LoadAtPointFromBinStream(TPoint Point, TStream& Stream);
    void LoadFromBinStream(TStream& Stream);
    void LoadFromBinFile(const String& FileName);
    // The clipboard's private format at the cell: the grid grows by
    // Navigation's flags (paInsert inserts the rows) and cells that are
    // not editable keep their contents unless AllowClipboardAlways. The
    // count of cells the stream holds.
    int PasteCellStream(int ACol, int ARow, TStream& Stream, int& Cols, int& Rows);
    // The identity a cell stream carries of the grid that wrote it.
    std::int64_t CellStreamID();

private:
    void PlaceStreamCells(TPoint Point, TParsedCellStream& S, bool KeepReadOnly);

public:

    // ---- clipboard (grid/views/io/GridClipboard.cpp) ----
    // Text (TAB between fields, CR LF after rows of a several-row copy;
    // a text with CR or LF quoted, inner quotes doubled, CR LF as LF),
    // with Navigation's flags also the rich text of the top-left cell and
    // the cell stream in "TDedOzovedUrad Cells".
    void CopyToClipBoard();
    void CopySelectionToClipboard();
    void CutToClipboard();
    void CutSelectionToClipboard();
    void CopyToClipBoardAsHTML();
    void CopyRectToClipboardAsHTML(const TGridRect& ARect);
    String GetSelectionAsText();
    String BuildSelectionText(const TGridRect& R, bool HonourDisjunct);
    void CopySelectionFormats(const TGridRect& R, bool HonourDisjunct);
    void CopyRTFCell(int ACol, int ARow);
    void CopyCellsFormat(const TGridRect& R);
    void PasteFromClipboard();
    void PasteSelectionFromClipboard();
    // TAB/CR LF text from the selection's top-left cell as raw texts.
    void SetSelectionAsText(const String& Value);
    // The count of fields placed or tried (the smart paste's n).
    int PasteFromClipboardFormats(int ACol, int ARow, int& Cols, int& Rows);
    int PasteTextAt(int ACol, int ARow, const String& Text, int& Cols, int& Rows);
    TPoint GetClipTopLeft() const { return FClipTopLeft; }
    TClipOperation GetClipLastOp() const { return FClipLastOp; }
    // Stores one pasted value (display column; check boxes by CheckTrue).
    virtual void PasteCell(int ACol, int ARow, const String& Value);
    virtual void BeginClipboardPaste() { }
    virtual void EndClipboardPaste() { }
    // With ShowModified the rows of R are marked modified.
    virtual void NotifyCellsPasted(TPoint From, const TRect& R, TClipOperation Op);
    virtual bool UsesCellsClipboardFormat();
    // The selection grows to cover merged areas at its corners.
    virtual void ExpandSelectionToMerges();
    virtual void DoClipboardPasteDone(const TGridRect& R);
    TGridClipboardWideCellEvent OnClipboardBeforePasteWideCell;
    TGridClipboardWidePastedEvent OnClipboardAfterPasteWideCell;
    TGridClipboardPasteDoneEvent OnClipboardPasteDone;

    // ---- HTML (grid/views/io/GridHTMLExport.cpp) ----
    // The save range as an HTML table; pictures as JPEG files under the
    // file's folder. Unicode: in Encoding, else US-ASCII.
    void SaveToHTML(const String& FileName, bool Show = false, bool Unicode = false);
    void AppendToHTML(const String& FileName, bool Show = false, bool Unicode = false);
    String SaveToHTMLString(const String& dir);
    // ARect: display columns and rows, both ends included; pictures go to
    // dir + ImageFolder (dir empty: the current folder).
    String SaveRectToHTMLString(const TGridRect& ARect, const String& dir);
    void WriteHTMLFile(const String& FileName, bool Append, bool Unicode, bool Show);

    // ---- Word tables and database queries (grid/views/io/GridWordAccess.cpp) ----
    // The whole grid as a table through "word.application": at the start of
    // a new document (or, with CreateNewDocument off and a document open in
    // a running Word, of that one), saved as Filename.
    void SaveToDOC(const String& Filename, bool CreateNewDocument = true);
    // Opens Filename and adds the table at Bookmark, or after a new last
    // paragraph when the document has no such bookmark.
    void AppendToDoc(const String& Filename, const String& Bookmark);
    void WriteDOC(const String& Filename, const String& Bookmark, bool Append, bool CreateNewDocument);
    // The result of SQL on a database file into the cells after the fixed
    // ones; field names into the last fixed row.
    void LoadFromMDBSQL(const String& Filename, const String& SQL);
    void LoadFromMDBTable(const String& Filename, const String& Table);

    // ---- column state (grid/views/io/GridColumnState.cpp) ----
    // "n#widths#order#flags": n = ColCount + hidden columns, the widths of
    // display columns 0..n-1, the recorded column order (identity when
    // none) and a visible flag per real column.
    String ColumnStatesToString();
    // Applies such a text: columns shown, reordered, hidden again and
    // sized (width 0 suppresses). A text without "#" is ignored; any other
    // malformed text raises ERirEvozError with the grid unchanged.
    void StringToColumnStates(const String& Value);
    // What the data views' SaveColSizes and LoadColSizes do: the display
    // columns' widths under "Col<i>" in ColumnSize's ini file or registry
    // key (only with Key and Section set, not in a designer), stored at
    // 96 pixels per inch. Scale is the DPI scale the widths are taken at
    // (0: the grid's own) and given for (0: the screen's).
    void WriteColSizes(double Scale = 0);
    void ReadColSizes(double Scale = 0);
    // ColumnOrder under "Pos<i>" in the same store, and back; stored
    // positions that are missing or damaged leave the order as it is.
    // Not virtual: the grid core's vtable cannot name what grid/views
    // defines.
    void SaveColPositions();
    void LoadColPositions();

    // ---- visual properties and print settings files (grid/views/io/GridSettingsFiles.cpp) ----
    // The look (colours, fonts, styles) as "key=value" lines, CR LF after
    // each; raises "Cannot Create <file>".
    void SaveVisualProps(const String& FileName);
    // Applies such a file through the properties' setters and marks the
    // look glCustom; raises "Cannot open file <file>", and a missing or
    // malformed integer raises with what came before it applied.
    void LoadVisualProps(const String& FileName);
    // PrintSettings as one section of the ini file Key, and back (missing
    // keys take their defaults; out-of-range values are passed over).
    void SavePrintSettings(const String& Key, const String& Section);
    void LoadPrintSettings(const String& Key, const String& Section);
    TPrintSettings* GetPrintSettings() const { return FPrintSettings.get(); }
    void SetPrintSettings(TPrintSettings* Value) { FPrintSettings->Assign(Value); }

    // ---- scale change and a cell's number (DedOzovedUradScale.cpp) ----
    // Scales the column widths, row heights, DefaultRowHeight, the row
    // height limits and the heights of hidden rows by M / D (and, on a DPI
    // change, the font heights of cells with their own properties), takes
    // the control's scale factor and fires OnChangeScale. 1 / 1 runs only
    // the platform's scaling.
    void ChangeScale(int M, int D, bool isDpiChange = false) override;
    // The number the cell's text shows (GetCellEx, normalised as a number:
    // thousands separators dropped, "(12)" is -12); 0 for an empty cell.
    // Raises ERirEvozError "Error at position: <p> in Cell [<col>, <row>]."
    double CellToReal(int ACol, int ARow);
    // The in-place editor's text starts with "=" (True) or no longer does;
    // for descendants.
    virtual void FormulaEditing(bool /*Active*/) { }
    TChangeScaleEvent OnChangeScale;

    // ---- look (DedOzovedUradLook.cpp) ----
    TGridLook GetLook() const { return FLook; }
    // Applies the preset; the same value does nothing.
    void SetLook(TGridLook Value);
    static void GridLookName(TGridLook Look, String& Name);
    static void GridLookCaption(TGridLook Look, String& Caption);

    // ---- style presets (DedOzovedUradStyles.cpp) ----
    // A named style's colours; AppColor (clNone: none) tints the Office
    // 2016 and 2019 styles.
    virtual void SetStyleAndAppColor(TRirEvozStyle AStyle, TColor AppColor);
    // The styling interface: stores the style, applies it (tsCustom changes
    // nothing else) and passes it on to the drop-down editors.
    void SetComponentStyleAndAppColor(ROZEVizer AStyle, TColor AppColor) override;
    // The Metro look of the tones.
    void SetColorTones(const TColorTones& ATones) override;
    const TColorTones& GetColorTones() const { return FTones; }
    // The fixed-cell gradient of an older XP colour scheme.
    void SetTheme(TXPColorScheme Scheme);
    static ROZEVizer OfficeThemeStyle(TOfficeTheme Theme);
    TOfficeTheme GetOldOfficeTheme() const { return FOldOfficeTheme; }
    // After a style was applied through the styling interface.
    virtual void StyleApplied() { }
    virtual void ToneDropDownEditors(const TColorTones& ATones);

    // ---- grid paint, border, focus glow, design panel (DedOzovedUradGridPaint.cpp) ----
    // The cells, a frame round the edited cell, the area beyond the last
    // column and row, the design panel; then OnPainted.
    void Paint() override;
    // Dotted lines that follow a column or row being sized; a second call
    // at the same place erases the line.
    void DrawColSizeLine(int X);
    void DrawRowSizeLine(int Y);
    // The glow around a cell (client coordinates); the grid becomes the
    // owner of the process's one glow.
    void ShowFocusWindow(TRect R);
    // Forgets the owner and hides the glow.
    void HideFocusWindow();
    TGridFocusWindow* GetFocusWindow() const { return FFocusWindow; }
    TArrowWindow* ArwU { nullptr };
    TArrowWindow* ArwD { nullptr };
    TArrowWindow* ArwL { nullptr };
    TArrowWindow* ArwR { nullptr };
    TColor GetArrowColor() const;
    void SetArrowColor(TColor Value);
    // Raises for a cell that is not fixed.
    void ShowFixedInplaceEdit(int ACol, int ARow);
    void HideFixedInplaceEdit();
    virtual void HideHoverButtons();
    bool GetFitCellsInGrid() const { return FFitCellsInGrid; }
    void SetFitCellsInGrid(bool Value) { FFitCellsInGrid = Value; }
    bool GetShowColNrs() const { return FShowColNrs; }
    void SetShowColNrs(bool Value);
    // The quick configuration panel shown at design time: 1 "Allow edit",
    // 2 "Column numbers", 3 "Set look", 4 the close box, -1 elsewhere.
    virtual void PaintDesignPanel(TCanvas* C);
    virtual int DesignPanelHitTest(int X, int Y);
    virtual void DesignPanelClick(int X, int Y);
    virtual void DesignEditingToggled() { }
    virtual bool FooterScrollQuery() { return false; }
    // The areas right of the last column and below the last row that no
    // cell covers (empty rectangles where there is none).
    bool OutsideCellsRegion(TRect& Right, TRect& Bottom);
    // The tool tip's text buffer, as last filled for a balloon.
    const String& GetToolTipText() const { return FToolTipText; }
    TNotifyEvent OnPainted;
    ROZEVizer GetUIStyle() const { return FStyle; }
    void SetUIStyle(ROZEVizer Value) { SetComponentStyle(Value); }
    TColor GetBorderColor() const { return FBorderColor; }
    // Stores and redraws the border.
    void SetBorderColor(TColor Value);
    int GetSelectionColorMixerFactor() const { return FSelectionColorMixerFactor; }
    // Kept within 0..100.
    void SetSelectionColorMixerFactor(int Value);
    bool GetShowSelection() const { return FShowSelection; }
    void SetShowSelection(bool Value);
    bool GetHTMLKeepLineBreak() const { return FHTMLKeepLineBreak; }
    // Also the mini-HTML engine's process-wide switch.
    void SetHTMLKeepLineBreak(bool Value);
    TScrollType GetScrollType() const { return FScrollType; }
    TScrollBarAlways GetScrollBarAlways() const { return FScrollBarAlways; }
    void SetScrollBarAlways(TScrollBarAlways Value);
    int GetScrollWidth() const { return FScrollWidth; }
    // Stores, then gives flat scroll bars the width.
    void SetScrollWidth(int Value);
    // The fixed row with the filter drop-down buttons; a value not among
    // the fixed rows is refused.
    int GetFilterDropDownRow() const { return FFilterDropDownRow; }
    void SetFilterDropDownRow(int Value);
    TFont* GetFixedFont() const { return FFixedFont.get(); }
    void SetFixedFont(TFont* Value) { FFixedFont->Assign(Value); }
    TFont* GetActiveCellFont() const { return FActiveCellFont.get(); }
    void SetActiveCellFont(TFont* Value);
    TEncoding* GetEncoding() const { return FEncoding; }
    void SetEncoding(TEncoding* Value) { FEncoding = Value; }
    TCustomImageList* GetGridImages() const { return FGridImages; }
    void SetGridImages(TCustomImageList* Value);
    TPictureContainer* GetPictureContainer() const { return FPictureContainer; }
    void SetPictureContainer(TPictureContainer* Value);
    THTMLPictureCache* GetImageCache() const { return FImageCache.get(); }
    // The fixed-cell gradient colours the fixed-cell painter reads.
    struct TFixedGradientState {
        TColor From, To, MirrorFrom, MirrorTo;
        TColor HoverFrom, HoverTo, HoverMirrorFrom, HoverMirrorTo, HoverBorder;
        TColor DownFrom, DownTo, DownMirrorFrom, DownMirrorTo, DownBorder;
    };
    TFixedGradientState GetFixedGradientState() const
    {
        return { FLumGradFrom, FLumGradTo, FLumGradMirrorFrom, FLumGradMirrorTo, FLumGradHoverFrom, FLumGradHoverTo,
            FLumGradHoverMirrorFrom, FLumGradHoverMirrorTo, FLumGradHoverBorder, FLumGradDownFrom, FLumGradDownTo,
            FLumGradDownMirrorFrom, FLumGradDownMirrorTo, FLumGradDownBorder };
    }
    // The nine condition-type glyphs of the filter row, by TFilterType.
    TImageList* GetFilterGlyphs() const { return FFltrList; }

    // ---- settings objects (the setters copy into the owned object) ----
    TAutoColor* GetAutoColor() const { return FAutoColor.get(); }
    void SetAutoColor(TAutoColor* Value) { FAutoColor->Assign(Value); }
    TFocusHelper* GetFocusHelper() const { return FFocusHelper.get(); }
    void SetFocusHelper(TFocusHelper* Value) { FFocusHelper->Assign(Value); }
    TSearchFooter* GetSearchFooter() const { return FSearchFooter.get(); }
    void SetSearchFooter(TSearchFooter* Value) { FSearchFooter->Assign(Value); }
    TFloatingFooter* GetFloatingFooter() const { return FFloatingFooter.get(); }
    void SetFloatingFooter(TFloatingFooter* Value) { FFloatingFooter->Assign(Value); }
    TSortSettings* GetSortSettings() const { return FSortSettings.get(); }
    void SetSortSettings(TSortSettings* Value) { FSortSettings->Assign(Value); }
    TDragDropSettings* GetDragDropSettings() const { return FDragDropSettings.get(); }
    void SetDragDropSettings(TDragDropSettings* Value) { FDragDropSettings->Assign(Value); }
    TDragScrollOptions* GetDragScrollOptions() const { return FDragScrollOptions.get(); }
    void SetDragScrollOptions(TDragScrollOptions* Value) { FDragScrollOptions->Assign(Value); }
    TControlLook* GetControlLook() const { return FControlLook.get(); }
    void SetControlLook(TControlLook* Value) { FControlLook->Assign(Value); }
    TNavigation* GetNavigation() const { return FNavigation.get(); }
    void SetNavigation(TNavigation* Value) { FNavigation->Assign(Value); }
    TColumnSize* GetColumnSize() const { return FColumnSize.get(); }
    void SetColumnSize(TColumnSize* Value) { FColumnSize->Assign(Value); }
    TCellNode* GetCellNode() const { return FCellNode.get(); }
    void SetCellNode(TCellNode* Value) { FCellNode->Assign(Value); }
    TBands* GetBands() const { return FBands.get(); }
    void SetBands(TBands* Value) { FBands->Assign(Value); }
    TSizeWhileTyping* GetSizeWhileTyping() const { return FSizeWhileTyping.get(); }
    TMouseActions* GetMouseActions() const { return FMouseActions.get(); }
    void SetMouseActions(TMouseActions* Value) { FMouseActions->Assign(Value); }
    TGrouping* GetGrouping() const { return FGrouping.get(); }
    void SetGrouping(TGrouping* Value) { FGrouping->Assign(Value); }
    TStringList* GetColumnHeaders() const { return FColumnHeaders.get(); }
    // Writing empties the header row first (with fixed rows), then shows the list.
    void SetColumnHeaders(TStrings* Value);
    TStringList* GetRowHeaders() const { return FRowHeaders.get(); }
    void SetRowHeaders(TStrings* Value);
    TStringList* GetLookupItems() const { return FLookupItems.get(); }
    void SetLookupItems(TStrings* Value)
    {
        if (Value)
            FLookupItems->Assign(Value);
    }
    TBackGround* GetBackGround() const { return FBackGround.get(); }
    void SetBackGround(TBackGround* Value);
    TGridProgressAppearance* GetProgressAppearance() const { return FProgressAppearance.get(); }
    void SetProgressAppearance(TGridProgressAppearance* Value) { FProgressAppearance->Assign(Value); }
    TSyncGrid* GetSyncGrid() const { return FSyncGrid.get(); }
    void SetSyncGrid(TSyncGrid* Value) { FSyncGrid->Assign(Value); }
    TFilter* GetFilter() const { return FFilter.get(); }
    void SetFilter(TFilter* Value) { FFilter->Assign(Value); }
    TBalloonSettings* GetBalloon() const { return FBalloon.get(); }
    void SetBalloon(TBalloonSettings* Value) { FBalloon->Assign(Value); }
    TShowModified* GetShowModified() const { return FShowModified.get(); }
    void SetShowModified(TShowModified* Value) { FShowModified->Assign(Value); }
    TLumHintInfo* GetOfficeHint() const { return FOfficeHint.get(); }
    void SetOfficeHint(TLumHintInfo* Value) { FOfficeHint->Assign(Value); }
    TFilterDropDown* GetFilterDropDown() const { return FFilterDropDown.get(); }
    void SetFilterDropDown(TFilterDropDown* Value) { FFilterDropDown->Assign(Value); }
    TFilterEdit* GetFilterEdit() const { return FFilterEdit.get(); }
    void SetFilterEdit(TFilterEdit* Value) { FFilterEdit->Assign(Value); }
    THoverButtons* GetHoverButtons() const { return FHoverButtons.get(); }
    void SetHoverButtons(THoverButtons* Value) { FHoverButtons->Assign(Value); }
    TBitmap* GetRowIndicator() const { return FRowIndicator.get(); }
    void SetRowIndicator(TBitmap* Value);
    // The scratch font Fonts[c, r] hands out.
    TFont* GetScratchFont() const { return FScratchFont.get(); }
    TLumControlList* GetControlList() const { return FControlList.get(); }
    TCollection* GetGridItems() const { return FGridItems.get(); }

    // ---- companions ----
    TFooterPanel* GetFooterPanel() const { return FFooterPanel; }
    // Called by the constructor, so a descendant's override is not the one
    // that runs there.
    virtual TFooterPanel* CreateFooterPanel();
    // Notifiers hear about changed cell ranges, in registration order.
    void RegisterNotifier(TGridChangeNotifier* ANotifier);
    void UnRegisterNotifier(TGridChangeNotifier* ANotifier);
    const std::vector<TGridChangeNotifier*>& GetNotifiers() const { return FNotifierList; }
    // The rich edits the grid measures rich text with (made on first
    // read, hidden) and edits it in.
    TLumRichEdit* GetRichEdit();
    TLumRichEdit* GetInplaceRichEdit();
    bool IsInplaceRichEdit(const TLumRichEdit* Edit) const { return Edit && Edit == FInplaceRichEdit; }
    // The scroll bar control shown over a cell scroll bar (run time only).
    TScrollBar* GetCellScrollBar() const { return FScrollBar; }
    TScrollBar* GetPaintScrollBar() const { return FPaintScrollBar; }
    THTMLHintWindow* GetScrollHintWindow() const { return FScrollHintWnd; }
    bool GetOleDropTargetAssigned() const { return FOleDropTargetAssigned; }

    // ---- hooks of later steps (see the list at the top) ----
    // The edit link shows a drop-down button in its cells (DedOzovedUradEditLink.cpp).
    virtual bool EditLinkDropDown();
    virtual void PlaceFocusWindow();
    // A ctBalloon object, or a balloon riding on an icon, check box or
    // radio button: its title, text and icon.
    virtual bool IsBalloon(int ACol, int ARow, String& ATitle, String& AText, int& AIcon);
    bool CellHasCheckBox(int ACol, int ARow) override;
    void SetCheckBoxFromText(int ACol, int ARow, const String& Value) override;
    virtual void DrawNonClientBorder();
    virtual void SetStyle(TRirEvozStyle AStyle);
    void SetComponentStyle(ROZEVizer AStyle) override;
    virtual void StyleDropDownEditors(ROZEVizer AStyle);
    virtual void AdaptToOfficeTheme();
    // Ends the running edit and stores its value (does nothing while it
    // already runs); starts editing the focus cell.
    virtual void HideInplaceEdit();
    virtual void ShowInplaceEdit();
    // The balloon window (DedOzovedUradServices.cpp).
    virtual void BalloonInit();
    virtual void BalloonDone();
    virtual void BalloonInitSettings(HWND ToolTip);
    // The colours of the active visual style (DedOzovedUradServices.cpp).
    virtual void ApplyStyleColors(bool Force);
    virtual void InitSearchPanel();
    virtual void LayoutSearchPanel();
    // The filter edit row was switched on or off: filtering stops, the
    // conditions and the row's texts go, and switched off the column
    // headers come back.
    virtual void FilterEditEnabledChanged();
    virtual void StopFixedCellEdit();
    virtual void StartFixedCellEdit(int ACol, int ARow, bool AsFilter);
    // The row height an expand button cell asks for, -1 for none.
    virtual int ExpandedRowHeight(int ACol, int ARow, bool Expanded);
    // The grid's combo editor, once made.
    virtual TCustomComboBox* GetComboEditor();
    // A scroll-bar cell object takes the page and range (when its range
    // follows the text).
    virtual void SetCellScrollBarRange(int ACol, int ARow, int Page, int Range);
    // Four bytes, highest first: the version of the grid.
    virtual unsigned GetVersionNr();
    // The room the cell object takes (stored column), and with the margin
    // row sizing leaves around it.
    virtual TSize GetCellGraphicSize(int ACol, int ARow);
    virtual TSize GetCellGraphicSizeMargin(int ACol, int ARow, int Margin);
    // Whether the cell shows its text turned by Angle degrees.
    virtual bool IsRotated(int ACol, int ARow, int& Angle);

    // The mouse-leave handler of the cell scroll bar: hides it.
    void CellScrollBarMouseLeave(TObject* Sender);

    // ---- cell look (DedOzovedUradVisual.cpp) ----
    // Resolves the look of a cell (display column; Remap maps it to the
    // stored column for every per-cell lookup). WW comes in as the grid's
    // word-wrap setting. The sources apply in a fixed order, the last writer
    // winning: grid, banding, fixed look, cell properties, number colours,
    // the colour and gradient events, the selection, the disabled look.
    void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
        TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA,
        TVAlignment& VA, bool& WW, TCellGradientDirection& GD) override;
    // The font part alone, as measuring needs it.
    void GetFontProperties(int ACol, int RCol, int ARow, TGridDrawState& AState, TFont* AFont, TBrush* ABrush,
        bool Remap);
    // Horizontal alignment in the low byte, vertical in the high byte (stored column).
    int ResolveCellAlignment(int ACol, int ARow);
    // Percent of AColor over ABase, per channel; clNone on either side gives the other.
    static TColor MixColors(TColor AColor, TColor ABase, int Percent);
    static TColor SelectionMixColor(TColor ASelection, TColor ACell, bool Mixer, int Factor);
    // The selection counts as shown: ShowSelection, a selection colour, and
    // with AutoHideSelection the focus.
    bool SelectionShown();
    // Dispatchers the painters ask (stored columns); each gives the grid's
    // answer, then fires its event.
    virtual void GetCellColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
    virtual void DoGetCellPrintColor(int ACol, int ARow, TGridDrawState AState, TBrush* ABrush, TFont* AFont);
    virtual void GetCellAlignment(int ACol, int ARow, TAlignment& HAlign, TVAlignment& VAlign);
    virtual void DoGetWordWrap(int ACol, int ARow, bool& WordWrap);
    virtual void GetCellBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    // The cell font before any cell's own settings: the fixed font for fixed
    // cells with UseFixedFont, else Font (with Scale, its height undone by
    // the DPI scale).
    virtual void AssignBaseFont(TFont* AFont, bool Fixed, bool Scale);
    // A visual style paints fixed and selected cells.
    bool UsesStyledDrawing() override;
    bool HasCellBorderEvent() override { return bool(OnGetCellBorder); }
    // Fixed-cell hover applies to the cell.
    bool IsHoverFixedCell(int ACol, int ARow);
    bool GetUseStyleServices() const { return FUseStyleServices; }
    // A change takes the active visual style's colours again.
    void SetUseStyleServices(bool Value);
    bool GetNoDefaultDraw() const { return FNoDefaultDraw; }
    void SetNoDefaultDraw(bool Value) { FNoDefaultDraw = Value; }
    bool GetNoImageAndText() const { return FNoImageAndText; }
    TColor GetSelectionRectangleColor() const { return FSelectionRectangleColor; }
    void SetSelectionRectangleColor(TColor Value)
    {
        if (Value == FSelectionRectangleColor)
            return;
        FSelectionRectangleColor = Value;
        Invalidate();
    }
    void SetNoImageAndText(bool Value) { FNoImageAndText = Value; }
    // The disabled rows' look (a row disabled by real index).
    bool GetUseEnabledRows() const { return FUseEnabledRows; }

    // ---- cell painting (DedOzovedUradPaintCell.cpp, DedOzovedUradPaintText.cpp) ----
    // Layers one cell inside the frame's rectangle: fixed-cell looks, editor
    // buttons, the text, user drawing, borders, tree lines, the cell object
    // and the focus rectangle.
    void DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState) override;
    // Renders the cell's rich text into Rect through the hidden rich edit.
    void DrawRichTextCell(int ACol, int ARow, TRect Rect, TCanvas* Canvas);
    // The height of "hg" in the font of the last painted multi-line cell or
    // cell with an object beside its text.
    int GetTextHeight() const { return FTextHeight; }

    // ---- painting hooks of later steps (see the list at the top) ----
    virtual TCellType GetCellType(int ACol, int ARow);
    // The object the cell paints (stored column) and the room it takes;
    // nullptr for a cell whose object shows nothing.
    virtual TObject* GetCellGraphicMetrics(int ACol, int ARow, int& W, int& H, bool& TextBeside,
        TCellHAlign& HAlign, TCellVAlign& VAlign);
    // Places and draws the cell's object in R, beside a text TextWidth wide.
    virtual void DrawCellGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TObject* Graphic, int TextWidth,
        TAlignment HA, TVAlignment VA);
    // The sort glyph of a header (display column ACol) centred on (X, Y).
    virtual void DrawSortIndicator(TCanvas* ACanvas, int ACol, int Y, int X);
    // The red zigzag under characters ErrFrom .. ErrFrom + ErrLen - 1 of a
    // text shown in R, measured with one hidden edit the grid keeps.
    virtual void DrawErrorUnderline(TCanvas* ACanvas, TRect R, const String& Text, int ErrFrom, int ErrLen);
    virtual String FormulaValue(int /*ACol*/, int /*ARow*/, const String& Text) { return Text; }
    virtual bool PrintUsesDisplayFont() { return FPrintSettings->GetUseDisplayFont(); }
    virtual TFont* PrintFont(bool Fixed) { return Fixed ? FPrintSettings->GetFixedFont() : FPrintSettings->GetFont(); }
    virtual String SearchHighlightText(int ACol, int ARow, const String& Text);

    // ---- radio buttons, radio groups, buttons, expand buttons, balloons
    //      (DedOzovedUradCellControls.cpp) ----
    // Columns are stored columns and rows display rows unless said otherwise.
    // "Invalid cell" for a cell outside every column and row.
    void AddRadioButton(int ACol, int ARow, bool State);
    void AddRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group, bool State);
    void AddRadioButtonColumn(int ACol);
    void AddRadioButtonGroupColumn(int ACol);
    void RemoveRadioButton(int ACol, int ARow);
    void RemoveRadioButtonColumn(int ACol);
    bool HasRadioButtonGroup(int ACol, int ARow, TRadioButtonGroup Group);
    bool IsRadioButtonChecked(int ACol, int ARow);
    // False without a radio button; the other buttons of its group stay.
    bool SetRadioButtonState(int ACol, int ARow, bool State);
    void SetRadioButtonRowIndex(int ARow, int Index);
    void SetRadioButtonColumnIndex(int ACol, int Index);
    // The first normal row whose button is checked; -1 for none.
    int GetRadioButtonColumnIndex(int ACol);
    // The click on a radio button: checks it, unchecks the others of its
    // contiguous run and marks the grid modified.
    virtual bool DoToggleRadioButton(int ACol, int ARow, bool ByUser);
    // A radio group of the caller's items (not owned); DirRadio <> 0 lays
    // them out side by side.
    void AddRadio(int ACol, int ARow, int DirRadio, int IdxRadio, TStrings* sl);
    // The same with a new list the cell owns, returned to be filled.
    TStrings* CreateRadio(int ACol, int ARow, int DirRadio, int IdxRadio);
    void RemoveRadio(int ACol, int ARow);
    bool GetRadioIdx(int ACol, int ARow, int& IdxRadio);
    // -1 also empties the cell text.
    bool SetRadioIdx(int ACol, int ARow, int IdxRadio);
    TStrings* GetRadioStrings(int ACol, int ARow);
    // The space key's step to the next item; answers False.
    virtual bool StepRadioSelection(int ACol, int ARow, bool ByUser);
    // Buttons of bw x bh unscaled pixels.
    void AddButton(int ACol, int ARow, int bw, int bh, const String& Caption, TCellHAlign hal, TCellVAlign val);
    void AddBitButton(int ACol, int ARow, int bw, int bh, const String& Caption, TBitmap* Glyph, TCellHAlign hal,
        TCellVAlign val);
    TBitmap* CreateBitButton(int ACol, int ARow, int bw, int bh, const String& Caption, TCellHAlign hal,
        TCellVAlign val);
    // ACol a display column: the caption of whatever object the cell holds.
    void SetButtonText(int ACol, int ARow, const String& Caption);
    String GetButtonText(int ACol, int ARow);
    // ACol a display column: drawn pressed while push is set.
    void PushButton(int ACol, int ARow, bool push);
    void RemoveButton(int ACol, int ARow);
    void RemoveBitButton(int ACol, int ARow);
    void RemoveAllButtons();
    // The button's rectangle in client coordinates (display column).
    TRect CellButtonRect(int ACol, int ARow);
    void AddExpand(int ACol, int ARow, int ExpandedHeight);
    void RemoveExpand(int ACol, int ARow);
    bool ToggleExpand(int ACol, int ARow);
    bool GetExpandState(int ACol, int ARow);
    // DefaultRowHeight for a cell without expand button.
    int GetExpandHeight(int ACol, int ARow, bool Expanded);
    // The 11 x 11 box in the top-right corner of an expand button cell
    // (display column); empty otherwise.
    TRect ExpandButtonRect(int ACol, int ARow);
    // A balloon of its own, or riding on an icon, check box or radio button.
    void AddBalloon(int ACol, int ARow, const String& Title, const String& Text, TBalloonIcon Icon);
    void RemoveBalloon(int ACol, int ARow);
    // The hovered cell button (display column, row), set by the mouse code;
    // (-1, -1) for none.
    TPoint GetHotButtonCell() const { return FHotButtonCell; }
    void SetHotButtonCell(TPoint Value) { FHotButtonCell = Value; }

    // ---- pictures and indicators (DedOzovedUradCellPictures.cpp) ----
    // Pictures handed in stay the caller's; Create... pictures belong to
    // the cell. Getters of other kinds answer nil, -1 or clNone.
    void AddBitmap(int ACol, int ARow, TBitmap* ABmp, bool Transparent, TCellHAlign hal, TCellVAlign val);
    TBitmap* CreateBitmap(int ACol, int ARow, bool transparent, TCellHAlign hal, TCellVAlign val);
    TBitmap* GetBitmap(int ACol, int ARow);
    void RemoveBitmap(int ACol, int ARow);
    void AddPicture(int ACol, int ARow, TPicture* APicture, bool transparent, TStretchMode stretchmode, int padding,
        TCellHAlign hal, TCellVAlign val);
    TPicture* CreatePicture(int ACol, int ARow, bool transparent, TStretchMode stretchmode, int padding,
        TCellHAlign hal, TCellVAlign val);
    TPicture* GetPicture(int ACol, int ARow);
    void RemovePicture(int ACol, int ARow);
    void AddFilePicture(int ACol, int ARow, TFilePicture* AFilePicture, bool Transparent, TStretchMode stretchmode,
        int padding, TCellHAlign hal, TCellVAlign val);
    TFilePicture* CreateFilePicture(int ACol, int ARow, bool Transparent, TStretchMode StretchMode, int padding,
        TCellHAlign hal, TCellVAlign val);
    TFilePicture* GetFilePicture(int ACol, int ARow);
    void RemoveFilePicture(int ACol, int ARow);
    void AddIcon(int ACol, int ARow, TIcon* AIcon, TCellHAlign hal, TCellVAlign val);
    TIcon* CreateIcon(int ACol, int ARow, TCellHAlign hal, TCellVAlign val);
    void RemoveIcon(int ACol, int ARow);
    // The image-list kinds do nothing while GridImages is unassigned.
    void AddImageIdx(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
    bool GetImageIdx(int ACol, int ARow, int& idx);
    void SetImageIdx(int ACol, int ARow, int Idx);
    void RemoveImageIdx(int ACol, int ARow);
    // The image shown is the number in the cell text; an empty text takes Aidx.
    void AddDataImage(int ACol, int ARow, int Aidx, TCellHAlign hal, TCellVAlign val);
    void RemoveDataImage(int ACol, int ARow);
    // The container's picture named by the cell text; an empty text takes AName.
    void AddDataPicture(int ACol, int ARow, const String& AName, TCellHAlign hal, TCellVAlign val);
    void RemoveDataPicture(int ACol, int ARow);
    // Dir 0 side by side, else stacked; the returned list repaints the cell.
    TIntList* AddMultiImage(int ACol, int ARow, int Dir, TCellHAlign hal, TCellVAlign val);
    void RemoveMultiImage(int ACol, int ARow);
    void AddRotated(int ACol, int ARow, short AAngle, const String& s);
    // Turns the cell's object (a new one when there is none) into rotated
    // text; what the old kind held goes.
    void SetRotated(int ACol, int ARow, short AAngle);
    void RemoveRotated(int ACol, int ARow);
    void AddProgress(int ACol, int ARow, TColor FGColor, TColor BKColor);
    void AddProgressEx(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor, TColor BKTextColor);
    void AddProgressFormatted(int ACol, int ARow, TColor FGColor, TColor FGTextColor, TColor BKColor,
        TColor BKTextColor, const String& Fmt, int Min, int Max, double Scale);
    void RemoveProgress(int ACol, int ARow);
    void AddLumProgress(int ACol, int ARow, int Min, int Max);
    void RemoveLumProgress(int ACol, int ARow);
    void AddProgressPie(int ACol, int ARow, TColor Color, int Value);
    void SetProgressPie(int ACol, int ARow, int Value);
    void RemoveProgressPie(int ACol, int ARow);
    void AddRangeIndicator(int ACol, int ARow, int Range, TColor NegColor, TColor PosColor, bool ShowValue);
    void RemoveRangeIndicator(int ACol, int ARow);
    void AddShape(int ACol, int ARow, int Shape, TColor FillColor, TColor LineColor, TCellHAlign hal,
        TCellVAlign val);
    void SetShapeColor(int ACol, int ARow, TColor FillColor);
    TColor GetShapeColor(int ACol, int ARow);
    void RemoveShape(int ACol, int ARow);
    void AddRating(int ACol, int ARow, int Scale, TColor FillColor, TColor EmptyColor);
    void RemoveRating(int ACol, int ARow);
    void AddScrollBar(int ACol, int ARow, bool AutoRange);
    bool HasAutoRangeScrollBar(int ACol, int ARow);
    void RemoveScrollBar(int ACol, int ARow);
    int GetScrollPosition(int ACol, int ARow);
    void SetScrollProp(int ACol, int ARow, TScrollProp Prop);
    TScrollProp GetScrollProp(int ACol, int ARow);
    // Error markers on the text, kept apart from every kind's own values.
    void AddMarker(int ACol, int ARow, int ErrPos, int ErrLen);
    void RemoveMarker(int ACol, int ARow);
    void RemoveAllMarkers();
    void GetMarker(int ACol, int ARow, int& ErrPos, int& ErrLen);
    void AddComment(int ACol, int ARow, const String& Comment);
    void AddColorComment(int ACol, int ARow, const String& Comment, TColor Color);
    void SetComment(int ACol, int ARow, const String& Value);
    String GetComment(int ACol, int ARow);
    // The comment, or a picture's caption.
    bool IsComment(int ACol, int ARow, String& comment);
    void RemoveComment(int ACol, int ARow);
    void RemoveAllComments();
    void AddInterfacedCell(int ACol, int ARow, TObject* AObject);
    TObject* GetInterfacedCell(int ACol, int ARow);
    void RemoveInterfacedCell(int ACol, int ARow);
    // Lets OnProgressColor change a progress cell's four colours.
    virtual void ProgressColors(int ACol, int ARow, TColor& ColorFG, TColor& ColorBK, TColor& TextColorFG,
        TColor& TextColorBK);
    // Whether OnRatingChange lets a new rating in.
    virtual bool RatingChanging(int ACol, int ARow, double& NewRate);
    TProgressColorEvent OnProgressColor;
    TRatingChangeEvent OnRatingChange;

    // ---- object painting (DedOzovedUradPaintObject.cpp) ----
    static int ClampPercent(int Value) { return std::clamp(Value, 0, 100); }
    // The origin of a text of extents A..D rotated by Angle in Rect (HA 0
    // left, 1 right, 2 centre; VA 0 top, 1 centre, 2 bottom).
    static void RotatedTextOrigin(TRect& Rect, Byte HA, Byte VA, int A, int B, int C, int D, int Angle);
    // The extent of Text (plus one "w") in the grid's canvas font and its
    // origin turned by Angle inside Rect shrunk by 2.
    void PlaceRotatedText(TRect& Rect, TSize& Size, int Angle, const String& Text, Byte HA, Byte VA);

private:
    TPoint FHotButtonCell { -1, -1 };
    // The hidden single-line edit DrawErrorUnderline measures with.
    TCustomEdit* FErrorMeter { nullptr };
    // Checks a radio button and unchecks the others of its run.
    void UncheckRadioRun(int ACol, int ARow, TRadioButtonGroup Group);
    // The object a call addressed by display column means.
    TCellGraphic* DisplayCellGraphic(int ACol, int ARow);
    // Node glyph and tree of a ctNode cell.
    void DrawNodeGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TCellGraphic* G);
    void DrawButtonGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TRect G, TCellGraphic* Obj);
    void DrawRotatedGraphic(TCanvas* ACanvas, int ACol, int ARow, TRect R, TCellGraphic* G, TAlignment HA,
        TVAlignment VA);
    // A cell's float value, 0 for a text that is no number.
    double GraphicFloatValue(int ACol, int ARow);
    // What the check box and radio painters need of this grid.
    RirEvoz::TCheckRadioContext CheckRadioContext();

public:

    // ---- hooks and notifications (DedOzovedUradHooks.cpp) ----
    // Cells changed in bulk (real columns): every registered notifier in
    // registration order, then OnCellsChanged, then the footer.
    virtual void CellsChanged(const TRect& R);
    // Exports, calculations and row sizing announce their start (with the
    // first row), each row they visit and their end (row -1); the clipboard
    // paste announces its rows likewise. Nothing happens here.
    virtual void ExportNotification(TGridExportState /*AState*/, int /*ARow*/) { }
    virtual void ImportNotification(TGridImportState /*AState*/, int /*ARow*/) { }
    // A cell's text as filter matching, alignment and measuring read it.
    virtual String FilterCellText(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    // The width FitColumnWidth is about to give a column, and the width a
    // mouse sizing left; both fire OnUpdateColumnSize.
    virtual void UpdateAutoColumnSize(int ACol, int& AWidth);
    virtual void UpdateColumnSize(int ACol, int& AWidth);
    // The text inset on both sides (one side with XYOffsetTopLeftOnly).
    int XYOffsetWidth() const { return FXYOffsetTopLeftOnly ? FXYOffset.X : 2 * FXYOffset.X; }
    int XYOffsetHeight() const { return FXYOffsetTopLeftOnly ? FXYOffset.Y : 2 * FXYOffset.Y; }
    // With Multilinecells, the most lines among the row's stored texts;
    // else 1.
    int RowLineCount(int ARow);
    TPoint GetXYOffset() const { return FXYOffset; }
    void SetXYOffset(TPoint Value);
    // Stores without repainting.
    void UpdateXYOffset(int X, int Y) { FXYOffset = TPoint(X, Y); }
    TPoint GetXYRTFOffset() const { return FXYRTFOffset; }
    void SetXYRTFOffset(TPoint Value);
    bool GetXYOffsetTopLeftOnly() const { return FXYOffsetTopLeftOnly; }
    void SetXYOffsetTopLeftOnly(bool Value);
    // More hooks a descendant replaces; each fires its event when assigned.
    virtual void DoFixedEdit(int ACol, int ARow, TGridFixedCellEditor& AEditor, TStrings* Values);
    // The default editor's text after a key release or focus loss.
    virtual void EditorTextHook(const String& /*Text*/, int& /*Pos*/, int /*SelStart*/) { }
    // Allow comes in True; an editor opens only when it stays True.
    virtual bool DoBeforeEdit(int ACol, int ARow);
    // Display rows: a row inserted or deleted by the keyboard (a node grid
    // keeps its node spans in step through the data views).
    virtual void DoAutoInsertRow(int ARow);
    virtual void DoAutoDeleteRow(int ARow);
    virtual void DoFilterDone();
    virtual void DoFilterShow(int ACol, bool& Allow);
    virtual void DoFilterClose(int ACol);
    virtual void DoBeforeFilter();
    virtual String DefaultCheckTrueText() { return FCheckTrue; }
    virtual String DefaultCheckFalseText() { return FCheckFalse; }
    // The search footer panel's height: 34 pixels at 100 %, never less.
    virtual int SearchPanelHeight();
    virtual void DoHoverButtonsShow(int X, int Y, bool& Allow);
    virtual void DoIntelliZoom();
    // The text exports take: the display text.
    virtual String ExportCell(int ACol, int ARow) { return GetCellEx(ACol, ARow); }
    // The filter-edit row's text of the column becomes its filter
    // condition. With OnFilterEditUpdate clearing FDoAutoEditFilter the
    // grid posts "FilterEditUpdate" and leaves the filtering to the
    // application (OnFilterEditDone).
    void ApplyFilterEdit(int ACol, TFilterType FilterType);
    // What ApplyFilterEdit left for the application.
    bool GetDoAutoEditFilter() const { return FDoAutoEditFilter; }
    void SetDoAutoEditFilter(bool Value) { FDoAutoEditFilter = Value; }
    const String& GetEditFilterCondition() const { return FEditFilterCondition; }
    TFilterType GetEditFilterType() const { return FEditFilterType; }
    int GetEditFilterColumn() const { return FEditFilterColumn; }
    // The one selection listener, held by reference count until released
    // (or replaced).
    void RegisterSelListener(ITDedOzovedUradSelect* AListener) { FISelect = AListener; }
    void UnRegisterSelListener(ITDedOzovedUradSelect* /*AListener*/) { FISelect.reset(); }
    ITDedOzovedUradSelect* GetSelListener() const { return FISelect.get(); }
    // The popup menu of the fixed cells' drop-down buttons.
    TPopupMenu* GetFixedDropDownMenu() const { return FFixedDropDownMenu; }
    void SetFixedDropDownMenu(TPopupMenu* Value);
    // The <hi> colours of every grid's mini-HTML (the engine keeps one pair).
    TColor GetHighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    TColor GetHighlightTextColor() const { return FHighlightTextColor; }
    void SetHighlightTextColor(TColor Value);
    // Follows the Office theme: the look adapts now and whenever the shared
    // theme notifier reports a change.
    bool GetAutoThemeAdapt() const { return FAutoThemeAdapt; }
    void SetAutoThemeAdapt(bool Value);
    int GetZoomFactor() const { return FZoomFactor; }
    void SetZoomFactor(int Value);
    TFixedEditEvent OnFixedEdit;
    TBeforeEditEvent OnBeforeEdit;
    TAutoAddRowEvent OnAutoDeleteRow;
    TNotifyEvent OnFilterDone;
    TNotifyEvent OnBeforeFilter;
    TFilterShowEvent OnFilterShow;
    TAutoAddRowEvent OnFilterClose;
    TFilterEditEvent OnFilterEditDone;
    THoverButtonsShowEvent OnHoverButtonsShow;
    TNotifyEvent OnIntelliZoom;

private:
    bool FDoAutoEditFilter { false };
    String FEditFilterCondition;
    TFilterType FEditFilterType { ftNone };
    int FEditFilterColumn { -1 };
    TComPtr<ITDedOzovedUradSelect> FISelect;
    TPopupMenu* FFixedDropDownMenu { nullptr };
    TColor FHighlightColor { clHighlight };
    TColor FHighlightTextColor { clHighlightText };
    bool FAutoThemeAdapt { false };
    int FZoomFactor { 0 };

public:

    // ---- calculations (DedOzovedUradCalc.cpp) ----
    // Stored column. FromRow or ToRow -1 stands for all normal rows. A range
    // that reaches past the rows in view is taken as real rows, so hidden
    // rows count too. Texts that are no number are skipped (an empty cell
    // reads 0); averages and the standard deviation divide by the rows of
    // the range, not by the cells counted.
    double ColumnSum(int ACol, int FromRow, int ToRow);
    double ColumnAvg(int ACol, int FromRow, int ToRow);
    // 0 when the range holds no number.
    double ColumnMin(int ACol, int FromRow, int ToRow);
    double ColumnMax(int ACol, int FromRow, int ToRow);
    // Population form (divided by the row count).
    double ColumnStdDev(int ACol, int FromRow, int ToRow);
    // Distinct display texts, case ignored (an empty text counts).
    double ColumnDistinct(int ACol, int FromRow, int ToRow);
    double ColumnCount(int ACol, int FromRow, int ToRow);
    // What OnColumnCalc / OnGroupCalc answer; 0 without a handler.
    double ColumnCustomCalc(int ACol, int FromRow, int ToRow);
    double GroupCalcValue(int ACol, int FromRow, int ToRow);
    // The base cells of fromCol..toCol of a display row.
    double RowSum(int ARow, int fromCol, int toCol);
    double RowAvg(int ARow, int fromCol, int toCol);
    double RowMin(int ARow, int fromCol, int toCol);
    double RowMax(int ARow, int fromCol, int toCol);
    // Every cell of the (normalised) rectangle, rows as real rows; a text
    // that is no number raises ERirEvozError.
    double RectCalc(const TGridRect& GR, TCalcType CalcType);
    double RectSum(const TGridRect& GR) { return RectCalc(GR, ctSum); }
    double RectAvg(const TGridRect& GR) { return RectCalc(GR, ctAvg); }
    double RectMin(const TGridRect& GR) { return RectCalc(GR, ctMin); }
    double RectMax(const TGridRect& GR) { return RectCalc(GR, ctMax); }
    double SelectionSum() { return RectSum(GetSelection()); }
    double SelectionAvg() { return RectAvg(GetSelection()); }
    double SelectionMin() { return RectMin(GetSelection()); }
    double SelectionMax() { return RectMax(GetSelection()); }
    // The export texts of the column (hidden rows included), each once, in
    // sorted order and in the form met first; CaseSensitive tells "a" and
    // "A" apart.
    std::unique_ptr<TStringList> DistinctValues(int ACol, bool CaseSensitive);
    // The footer row's calculations (FloatingFooter in fsFixedLastRow),
    // for one column or, with -1, for all.
    virtual void CalcFooter(int ACol);
    virtual void ComputeFooterCells(int ACol);
    // Repaints the floating footer.
    virtual void UpdateFooter();
    void FooterChanged() override;
    TGroupCalcEvent OnGroupCalc;
    TGroupCalcEvent OnColumnCalc;
    // Value comes in empty; acCUSTOM footer cells take it.
    TCalcFooterEvent OnFooterCalc;

private:
    // A cell's number as Floats (display row) / AllFloats (real row) read
    // it; False for a text that is no number.
    bool TryFloats(int c, int r, double& Value);
    bool TryAllFloats(int c, int r, double& Value);
    // The default range and whether it is taken as real rows.
    void CalcRange(int& FromRow, int& ToRow, bool& AllRows);
    // Visits the counted rows of a column aggregate with each row's number.
    template<class Visit>
    void ForEachColumnValue(int ACol, int FromRow, int ToRow, Visit Fn);

public:

    // ---- focus cell, row flags and cell navigation (DedOzovedUradNavigation.cpp) ----
    // A row above the normal rows goes to the first normal row; tells
    // OnRowUpdate and a synchronised grid (SyncGrid.SelectionRow).
    virtual void SetRow(int Value);
    // Row, then column (display column).
    void GotoCell(int ACol, int ARow);
    // Focuses the grid, goes to the cell and shows the in-place editor.
    void EditCell(int ACol, int ARow);
    // The platform's move with the selection anchor, scrolling the cell into view.
    void MoveFocusTo(int ACol, int ARow);
    // Per real row; the modified mark is drawn in column 0. A negative row
    // reads False and is not written.
    bool GetRowModified(int ARow) const;
    void SetRowModified(int ARow, bool Value);
    int GetModifiedRowCount() const;
    void ClearModifiedRows();
    // Per real row; disabling the focus row first moves the focus to the
    // first enabled row. A negative row reads True and is not written.
    bool GetRowEnabled(int ARow) const;
    void SetRowEnabled(int ARow, bool Value);
    // The advance to the next cell in Navigation.AdvanceDirection order
    // (display column), skipping what cannot take the cursor, wrapping and
    // appending rows or columns as Navigation asks. The search visits each
    // cell at most once; when no cell takes the focus it stays where it was.
    // The cursor walk out of an editor: the display column beside Col in
    // the direction when it holds a control cell (check box, radio,
    // button), which takes the focus without an advance; -1 otherwise.
    int ControlCellBeside(int Col, int Row, bool Forward);
    // The walk on from the cell (Col, Row) along its row whatever the
    // advance order, forward from the last column of its merge span.
    void WalkAlongRow(int Col, int Row, bool Forward);
    virtual void MoveToNextCell(int ACol, int ARow, bool Force, bool AutoEdit, bool Forward, bool Again,
        bool ShowEditor);
    // The next cell after (ACol, ARow) in advance order that takes the
    // cursor; (-1, -1) when none.
    TPoint NextAdvanceCell(int ACol, int ARow);
    // Display column. In editing mode an editable cell, otherwise any cell
    // that is not fixed; never a column of width 0; OnSelectCell has the
    // last word.
    bool CellTakesCursor(int ACol, int ARow);
    int FirstCursorCol();
    // The first / last column of the row that takes the cursor; -1 when none.
    int FirstCellInRow(int ARow);
    int LastCellInRow(int ARow);
    // The nearest column (row) at or after the given one, in the direction
    // of the move, whose width (height) is not 0.
    int StepToVisibleCol(int ACol);
    int AdjacentVisibleCol(int ACol, bool Forward);
    int AdjacentVisibleRow(int ARow);
    // Stored column. Grid-level editing is on and the cell may be edited.
    bool IsEditable(int ACol, int ARow);
    // A covered cell answers as its base; fixed cells are not editable.
    bool IsCellEditable(int ACol, int ARow);
    // Enter, Esc and type-ahead (Navigation.AutoGotoWhenSorted).
    void KeyPress(char16_t& Key) override;
    // The keys the grid asks for: typed characters for type-ahead, and
    // no Tab while Ctrl is held (Ctrl+Tab leaves the grid).
    void WMGetDlgCode(TMessage& Message);
    // The text the edit began with back into the cell (Esc while editing).
    virtual void RestoreCellFromCache();
    // The keyboard focus into a windowed control placed on the target of
    // an advance; True when it took it.
    virtual bool FocusCellControl(TWinControl* /*Control*/) { return false; }
    // A left click inside the cell (and its release with WithMouseUp),
    // without the grid's OnMouseDown and OnMouseUp.
    virtual void ClickCell(int ACol, int ARow, bool WithMouseUp);
    Char GetStartEditChar() const { return FStartEditChar; }
    int GetSearchTics() const { return FSearchTics; }
    void SetSearchTics(int Value) { FSearchTics = Value; }
    TRowUpdateEvent OnRowUpdate;
    TAutoAdvanceEvent OnAutoAdvance;
    TCellChangingEvent OnCellChanging;
    TAutoAddRowEvent OnAutoAddRow;
    TAutoAddRowEvent OnAutoInsertCol;

private:
    // One step of the advance from (ACol, ARow) to the next candidate;
    // False when the advance ends here.
    bool StepToNextCell(int& ACol, int& ARow, bool Forward);
    // Appends a row for the advance when OnCanAddRow allows; False when refused.
    bool AppendRowAtEnd(int& ARow);
    // Takes the target: the events may refuse or change it.
    void MoveOnTo(int ACol, int ARow, int StartCol, int StartRow);
    // The editor and check-box steps after the focus moved.
    void ShowEditorAfterMove(int StartCol, int StartRow, bool AutoEdit);
    int FOldRowSel { -1 };
    bool FDisableChange { false };
    Char FStartEditChar { 0 };
    int FSearchTics { 0 };

    // ---- keyboard and Tab (DedOzovedUradKeys.cpp, DedOzovedUradTabs.cpp) ----
public:
    using TRadioClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)>;
    using TClipboardDoneEvent = std::function<void(TObject* Sender, const TGridRect& CellRect)>;
    using TCanDeleteRowEvent = std::function<void(TObject* Sender, int ARow, bool& CanDelete)>;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;
    // The focus cell goes to the cell; the editor opens once the current
    // message has been handled ("GridEditShow" posted to the grid).
    void LaunchEdit(int ACol, int ARow);
    // The next cell after an edit: the filter row's next column editor, or
    // the advance to the next cell.
    virtual void NextEdit(int ACol, int ARow, bool AForward);
    // Asks the cell change query again for the focus cell.
    void Select();
    // The fixed right columns that are not hidden.
    int VisibleFixedRightCols();
    // The first / last normal row (column) with a height (width); with
    // the first (last) one hidden the focus moves there before the walk.
    int FirstVisibleRow();
    int LastVisibleRow();
    int FirstVisibleCol();
    int LastVisibleCol();
    // A key left a selection other than the one the last key left: the
    // selection-changed notification, unless rows are selected disjunctly.
    void NotifyKeySelectionChange();
    // One press of Tab (Backward: Shift+Tab) from the focus cell. False
    // only when the key went on to the parent form's next control.
    bool NavigateFromEditor(bool Backward);
    // Asked before a Tab move goes on into the next row.
    virtual bool CanTabToNextRow() { return true; }
    TPoint GetLastKeyCell() const { return FLastKeyCell; }
    std::function<void(TObject* Sender, int ACol, int ARow, bool State)> OnCheckBoxClick;
    TRadioClickEvent OnRadioClick;
    TButtonClickEvent OnRadioButtonClick;
    TClipboardDoneEvent OnClipboardCutDone;
    TClipboardDoneEvent OnClipboardCopyDone;
    TCanDeleteRowEvent OnCanDeleteRow;
    TAutoAddRowEvent OnAutoInsertRow;

protected:
    // Steps that belong to the search footer and the cell's form controls,
    // which come later: until then they do nothing.
    // Ctrl+F while the search footer shows: its edit takes the focus.
    virtual void FocusSearchFooterEdit() { }
    // Down on the last row while the search footer shows.
    virtual void SearchFooterKeyUpdate() { }
    // Enter or F2 on a cell whose text holds form controls: the first of
    // them takes the focus.
    virtual void FocusFirstFormControl(int /*ACol*/, int /*ARow*/) { }
    // After F2 has been handled.
    virtual void F2KeyHandled() { }

private:
    void WMKeyDown(TMessage& Message);
    void WMChar(TMessage& Message);
    void WMKeyUp(TMessage& Message);
    // The Shift state OnKeyDown gets: Ctrl, Shift and the left Alt key.
    static TShiftState LiveShiftState();
    // The text of the focus cell is mini-HTML holding form controls.
    bool FocusCellHasFormControl();
    bool KeyScrollOnly(WORD Key);
    void KeyOnControlCell(WORD Key, int RealCol);
    // Home and End by Navigation.HomeEndKey; True when the key was handled.
    bool HomeEndKey(TMessage& Message, WORD Key, TShiftState Shift, int Row0, int LeftCol0);
    void KeyRowJump(WORD Key, TShiftState Shift, int Row0, int LeftCol0);
    // SkipFixedCells / SkipReadOnly: True when the walk used the key.
    bool KeySkip(WORD& Key, TShiftState Shift);
    // Navigation.AppendOnArrowDown: Down on the last normal row adds a row.
    void AppendOnArrowDownKey(WORD Key);
    void KeyClipboard(WORD Key, TShiftState Shift, bool& Done);
    void KeyInsertRow();
    void KeyDeleteRow();
    void KeyDisjunctSelect(WORD Key, TShiftState Shift, int R);
    void KeyUpDisjunctCells(WORD Key, TShiftState Shift, const TGridRect& S);
    // One Tab move from the focus cell; True when the move must go on
    // from the cell it reached (the cell cannot be stopped at).
    bool TabStep(bool Backward, bool& Result);
    void TabBackwardStep();
    bool TabForwardStep(bool& Result);
    bool TabLeftRightStep(bool& Result);
    // Hands Tab on to the parent form when Navigation asks; True when it did.
    bool TabToParent();
    TPoint FLastKeyCell { -1, -1 };
    TGridRect FMoveSelection { -1, -1, -1, -1 };
    bool FBlockSelChange { false };

public:

    // ---- clearing and cell ranges (DedOzovedUradClear.cpp) ----
    // Empties the cells of a rectangle: text, and unless ClearTextOnly their
    // properties and cell objects (stored columns; display columns mapped
    // with SaveHiddenCells). A merged area reaching out of the rectangle
    // keeps its merge in every cell and loses only its text and the looks
    // of its cells inside.
    virtual void ClearRect(int ACol1, int ARow1, int ACol2, int ARow2);
    // Every stored cell of the rows in view; counts, sizes, hidden columns
    // and the rows stored as hidden stay.
    void Clear();
    // Shows every hidden line first, then empties everything the grid ever held.
    void ClearAll();
    void ClearRows(int RowIndex, int RCount);
    void ClearCols(int ColIndex, int CCount);
    void ClearNormalRows(int RowIndex, int RCount);
    void ClearNormalCols(int ColIndex, int CCount);
    void ClearNormalCells();
    void ClearSelection();
    // Leading and trailing blanks and control characters off the display texts.
    virtual void TrimRect(int ACol1, int ARow1, int ACol2, int ARow2);
    void TrimColumn(int ACol);
    void TrimRow(int ARow);
    void TrimAll();
    void ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor);
    void SplitColumnCells(int ColIndex);
    void SplitRowCells(int RowIndex);
    void SplitAllCells();
    // Merges runs of equal neighbouring texts; without MainMerge a run also
    // stops where the vertical (horizontal) merges of the two lines differ.
    void MergeColumnCells(int ColIndex, bool MainMerge);
    void MergeRowCells(int RowIndex, bool MainMerge);
    // Numbers the normal rows (columns) from AutoNumberStart on.
    void AutoNumberCol(int ACol);
    void AutoNumberRow(int ARow);
    // The first cell, row by row, whose stored text is SubStr.
    bool IsCell(const String& SubStr, int& ACol, int& ARow);
    bool IsWideCell(int ACol, int ARow);
    // The smallest and largest column and row holding display text;
    // (0, 0, 0, 0) when none does.
    virtual TRect UsedCellsBounds();
    bool GetOwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
    int GetAutoNumberStart() const { return FAutoNumberStart; }
    void SetAutoNumberStart(int Value) { FAutoNumberStart = Value; }
    int GetAutoNumberOffset() const { return FAutoNumberOffset; }
    void SetAutoNumberOffset(int Value) { FAutoNumberOffset = Value; }
    TSortDirection GetAutoNumberDirection() const { return FAutoNumberDirection; }
    void SetAutoNumberDirection(TSortDirection Value) { FAutoNumberDirection = Value; }
    // The type-ahead text.
    const String& GetSearchInc() const { return FSearchInc; }
    void SetSearchInc(const String& Value) { FSearchInc = Value; }

    // ---- typed cell access (DedOzovedUradTyped.cpp) ----
    // Stored column, display row; the All... forms take the real row. Reads
    // of texts that are no number raise ERirEvozError; the locale's
    // separators are read as the locale writes them.
    int GetInts(int c, int r);
    void SetInts(int c, int r, int Value);
    int GetAllInts(int c, int r);
    void SetAllInts(int c, int r, int Value);
    double GetFloats(int c, int r);
    // Written with FloatFormat.
    void SetFloats(int c, int r, double Value);
    double GetAllFloats(int c, int r);
    void SetAllFloats(int c, int r, double Value);
    // Dates and times raise the platform's conversion error; a date of 0 or
    // below writes empty text unless ShowNullDates. DateTimes never raises.
    TDateTime GetDates(int c, int r);
    void SetDates(int c, int r, TDateTime Value);
    TDateTime GetTimes(int c, int r);
    void SetTimes(int c, int r, TDateTime Value);
    TDateTime GetDateTimes(int c, int r);
    void SetDateTimes(int c, int r, TDateTime Value);
    // FloatFormat, or OnGetFloatFormat's format when it says the cell is a float.
    virtual String GetFloatFormat(int ACol, int ARow);
    // Every occurrence of Text outside tags wrapped in <hi> / <e>, and the tags removed.
    String HilightText(bool DoCase, const String& S, const String& Text);
    String MarkText(bool DoCase, const String& S, const String& Text);
    String UnHilightText(const String& S);
    String UnMarkText(const String& S);
    // Over the base cells of a cell, column, row or the grid (DoFixed: the
    // fixed lines too); a cell is written only when its text changes.
    void HilightInCell(bool DoCase, int Col, int Row, const String& HiText, bool FullText);
    void HilightInCol(bool DoFixed, bool DoCase, int Col, const String& HiText, bool FullText);
    void HilightInRow(bool DoFixed, bool DoCase, int Row, const String& HiText, bool FullText);
    void HilightInGrid(bool DoFixed, bool DoCase, const String& HiText, bool FullText);
    void MarkInCell(bool DoCase, int Col, int Row, const String& HiText);
    void MarkInCol(bool DoFixed, bool DoCase, int Col, const String& HiText);
    void MarkInRow(bool DoFixed, bool DoCase, int Row, const String& HiText);
    void MarkInGrid(bool DoFixed, bool DoCase, const String& HiText);
    // The tags off again; entities of the processed texts become characters.
    void UnHilightInCell(int Col, int Row);
    void UnHilightInCol(bool DoFixed, int Col);
    void UnHilightInRow(bool DoFixed, int Row);
    void UnHilightInGrid(bool DoFixed);
    void UnMarkInCell(int Col, int Row);
    void UnMarkInCol(bool DoFixed, int Col);
    void UnMarkInRow(bool DoFixed, int Row);
    void UnMarkInGrid(bool DoFixed);
    // Through CellChecker; True without one, or when the texts pass.
    bool CheckCell(int Col, int Row);
    bool CheckCells(int FromCol, int FromRow, int ToCol, int ToRow);
    bool CheckCol(bool DoFixed, int Col);
    bool CheckRow(bool DoFixed, int Row);
    bool CheckGrid(bool DoFixed);
    // Generated values into every cell or the data cells, then the footer.
    void TextFill(bool DoFixed, const String& Txt);
    // Fmt gets the column and the row.
    void FormatFill(bool DoFixed, const String& Fmt);
    void RandomFill(bool DoFixed, int Rnd);
    // "column:row".
    void LinearFill(bool DoFixed);
    // The last print layout's column widths and offsets (0 <= ACol < AllColCount).
    int GetPrintColWidth(int ACol);
    int GetPrintColOffset(int ACol);
    // The four bytes of GetVersionNr, highest first, joined by ".", then
    // the release date.
    virtual String GetVersionString();
    TDedOzovedUradCheck* GetCellChecker() const { return FCellChecker; }
    // The checker then checks this grid.
    void SetCellChecker(TDedOzovedUradCheck* Value);

    // ---- cell text forms, headers and column order (DedOzovedUradTextForms.cpp) ----
    // The display text without markup: rich text as its plain text,
    // mini-HTML without tags.
    String GetStrippedCells(int c, int r);
    // The header lists into row 0 and column 0 ("\\n" in a header is a line
    // break), and emptying those cells.
    virtual void ShowColumnHeaders();
    virtual void ShowRowHeaders();
    void ClearColumnHeaders();
    void ClearRowHeaders();
    // The focus cell's base cell (stored column): its display text with
    // VirtualEdit, else its raw text; writing stores a display text.
    virtual String GetCurrentCell();
    virtual void SetCurrentCell(const String& Value);
    virtual String CurrentCellDisplayText();
    virtual String CellRawText(int ACol, int ARow);
    virtual void StoreCurrentCellText(const String& Value);
    bool GetVirtualEdit() const { return FVirtualEdit; }
    void SetVirtualEdit(bool Value) { FVirtualEdit = Value; }
    // The text the in-place editor loads (display column), without markup
    // unless EditWithTags; storing goes to the base cell of a merged area.
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    // A scroll-bar cell follows the height of its text.
    void CellTextChanged(int ACol, int ARow) override;
    int GetLinesInCell(int c, int r);
    // "://" or "mailto:" in the text.
    bool HasHyperlink(int i, int j);
    bool HasHTMLForm(int ACol, int ARow);
    // The first link of the text in lower case, up to a closing quote.
    String GetHyperlink(int c, int r);
    // The link as written and, for a link tag, its anchor text.
    void GetHyperlinkDetails(int i, int j, String& URL, String& Text);
    // The value of a mini-HTML form control of the cell.
    String GetControlValues(int c, int r, const String& ID);
    void SetControlValues(int c, int r, const String& ID, const String& Value);
    void RichToCell(int Col, int Row, TCustomRichEdit* Richeditor);
    // Columns whose equal neighbouring texts merge by themselves.
    TIntList* GetMergedColumns() const { return FMergedColumns.get(); }
    // Records the order as it stands (identity) and the column widths.
    void SetColumnOrder();
    // MergedColumns changed: every column split, then the listed ones merged.
    virtual void MergedColumnsChanged();
    // The stored column at a position of the recorded order.
    int ColumnAtPosition(int ACol);
    // The first stored column whose row-0 text is AValue (case matters); -1 when none.
    int ColumnByHeader(const String& AValue);
    // Shows all columns and moves them back to the recorded order.
    void ResetColumnOrder();
    TIntList* GetColumnOrder() const { return FColumnOrder.get(); }

    // ---- event dispatch (DedOzovedUradEvents.cpp) ----
    // Each gives the grid's part of the answer and then fires its event.
    virtual void DoCanSort(int ACol, bool& DoSort);
    virtual void DoSearchFooterAction(const String& Value, int ACol, int ARow, TSearchAction SearchAction);
    virtual String DoSearchFooterSearch(const String& Value);
    virtual void DoSearchFooterSearchEnd(bool& ContinueFromStart);
    virtual void DoButtonClick(int ACol, int ARow);
    // Then the row takes the height the cell asks for in that state.
    virtual void DoExpandClick(int ACol, int ARow, bool Expanded);
    virtual void DoComboCloseUp(int ARow, int ACol);
    virtual void DoComboDropDown(int ARow, int ACol);
    // A cursor other than the grid's shows at once.
    virtual void DoGetCellCursor(int ACol, int ARow, int X, int Y);
    // OnGridHint (copied into OfficeHint's notes), OnGridWideHint (a wide
    // hint replaces Hint in its wide-cell encoding), OnOfficeHint.
    virtual void GetCellHint(int ACol, int ARow, String& Hint, String& WideHint);
    virtual void DoGetCellPrintBorder(int ACol, int ARow, TPen* APen, TCellBorders& Borders);
    virtual void DoGetFormat(int ACol, TSortStyle& AStyle, String& aPrefix, String& aSuffix);
    // True when OnGetEditorType answers edNone (asked with edNormal).
    virtual bool IsEditorNone(int ACol, int ARow, TEditorType& AEditor);
    virtual void DoFilterEditUpdate(int ACol, const String& Condition, TFilterType FilterType);
    virtual String GetCheckTrueText(int ACol, int ARow);
    virtual String GetCheckFalseText(int ACol, int ARow);
    // Navigation passes over the cell (display column).
    bool MustSkip(int ACol, int ARow);
    void ClickCurrentCellButton();
    // Handlers for the date editors and the in-place rich editor (bound
    // when those editors are made). The picker's value comes in as read
    // from it; DatePickerDropDown gives the calendar the editor's settings.
    void DateTimeEditorChanged(TObject* Sender, TDateTime Value);
    void DatePickerChanged(TDateTimePicker* Picker);
    void DatePickerCloseUp(TObject* Sender);
    void DatePickerDropDown(TDateTimePicker* Picker, bool ShowToday, bool ShowTodayCircle, bool WeekNumbers);
    void RichEditSelectionChange(TObject* Sender);

    // ---- look and behaviour setters (DedOzovedUradSetters.cpp) ----
    // Sets up the grid as a spreadsheet (selection rectangle and resizer,
    // range selection, editing, smart clipboard); False only stores.
    bool GetSpreadSheet() const { return FSpreadSheet; }
    void SetSpreadSheet(bool Value);
    TVAlignment GetVAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment Value);
    int GetMaxEditLength() const { return FMaxEditLength; }
    void SetMaxEditLength(int Value);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool Value);
    // Stored as RGB (system colours resolved).
    TColor GetZIDGradientFrom() const { return FZIDGradientFrom; }
    void SetZIDGradientFrom(TColor Value);
    TColor GetZIDGradientTo() const { return FZIDGradientTo; }
    void SetZIDGradientTo(TColor Value);
    TColor GetZIDGradientMirrorFrom() const { return FZIDGradientMirrorFrom; }
    void SetZIDGradientMirrorFrom(TColor Value);
    TColor GetZIDGradientMirrorTo() const { return FZIDGradientMirrorTo; }
    void SetZIDGradientMirrorTo(TColor Value);
    // The process's hint windows show mini-HTML.
    bool GetUseHTMLHints() const { return FUseHTMLHints; }
    void SetUseHTMLHints(bool Value);
    void SetStyleElements(TStyleElements Value);
    // The 32 x 32 mark of the middle-button pan's origin, centred on P
    // (client coordinates), its arrows by IntelliPan; invalidating it leaves
    // the background to the cells' repaint.
    void DrawWheelPanMark(TPoint P);
    void InvalidateWheelPanMark(TPoint P);
    // The in-place editor's length limit: MaxEditLength.
    int GetEditLimit() override;

    // ---- text measurement (DedOzovedUradMeasure.cpp) ----
    // The size the text of a cell takes as painted: its font and zoom, the
    // text inset, room for always-visible editor buttons (and 17 more pixels
    // with SB), as plain, mini-HTML, rich or rotated text; VS wraps it to
    // the cell's width. ACol is a display column.
    TSize GetCellTextSize(int ACol, int ARow, bool VS, bool SB);
    // ACol display column, RCol the stored column of the text. Unbounded
    // lifts the right edge; WrapToWidth measures as drawn with word breaks,
    // otherwise line by line; Reserve keeps 17 pixels free on the right.
    void MeasureCellText(int ACol, int RCol, int ARow, bool Unbounded, bool WrapToWidth, bool Reserve, TSize& Size);

    // ---- auto-sizing and stretching (DedOzovedUradAutoSize.cpp) ----
    // Every normal column (or every column) as wide as its widest content
    // plus the inset, the grid lines and Padding, within MinColWidth ..
    // MaxColWidth.
    virtual void AutoSizeColumns(bool DoFixedCols, int Padding);
    void AutoGrowColumns(bool DoFixedCols, int Padding);
    void AutoSizeCol(int ACol, int Padding);
    void AutoGrowCol(int ACol, int Padding);
    void FitColumnWidth(int ACol, bool GrowOnly);
    void AutoSizeRows(bool DoFixedRows, int Padding);
    void AutoSizeRow(int ARow, int Padding);
    void FitRowHeight(int ARow, bool GrowOnly, int Margin);
    void FitRowHeightToLines(int ARow, int Lines, int Extra);
    void AutoSizeCells(bool DoFixedCells, int PaddingX, int PaddingY);
    // The columns fill the grid's width, in proportion to their widths.
    void AutoFitColumns(bool DoFixedCells);
    void SizeToCols();
    void SizeToRows();
    void SizeToCells();
    void StretchColumns();
    void StretchRightColumn();
    // Index -1: the last column; Width -1: the client width.
    virtual void ApplyColumnStretch(int Index, int Width);
    // The pointer is on a sizable border of a fixed cell.
    bool IsOnSizingBorder(int X, int Y);
    // Value within Min .. Max, where a limit of 0 (or Min = Max) does not apply.
    static int LimitValue(int Value, int Min, int Max);
    int GetMinColWidth() const { return FMinColWidth; }
    void SetMinColWidth(int Value) { FMinColWidth = Value; }
    int GetMaxColWidth() const { return FMaxColWidth; }
    void SetMaxColWidth(int Value) { FMaxColWidth = Value; }
    int GetMinRowHeight() const { return FMinRowHeight; }
    void SetMinRowHeight(int Value) { FMinRowHeight = Value; }
    int GetMaxRowHeight() const { return FMaxRowHeight; }
    void SetMaxRowHeight(int Value) { FMaxRowHeight = Value; }
    bool GetSizeGrowOnly() const { return FSizeGrowOnly; }
    void SetSizeGrowOnly(bool Value) { FSizeGrowOnly = Value; }
    // The column widths proportional sizing starts from.
    void InitOrigColSizes();
    TIntList* GetOrigColSizes() const { return FOrigColSizes.get(); }

    // ---- display text, links and small hooks (DedOzovedUradDisplayText.cpp) ----
    // After OnGetDisplText: URLs inside longer texts become links
    // (URLShowInText, the first of the known prefixes found), and a group
    // header row shows its row count in column 1 (Grouping.ShowGroupCount;
    // a GroupCountFormat that cannot format the count leaves the text as
    // it is).
    void FormatDisplayText(int ACol, int ARow, String& Value) override;
    // Repaints only while URLShow draws links.
    TColor GetURLColor() const { return FURLColor; }
    void SetURLColor(TColor Value);
    bool GetURLFull() const { return FURLFull; }
    void SetURLFull(bool Value);
    // The image list of image-index cells.
    virtual TCustomImageList* GetGridImageList() { return FGridImages; }
    // Each fires its event (CanAdd / CanInsert preset by the caller).
    virtual void CanAddRow(bool& CanAdd);
    virtual void CanAddCol(bool& CanAdd);
    virtual void CanInsertRow(int ARow, bool& CanInsert);
    // The colour and image picker editors report a choice for the focus cell.
    virtual void ColorSelected(TColor AColor, const String& AValue);
    virtual void ImageSelected(int AIndex);
    // The fixed cells of both cells' columns and rows, so the active-header
    // look follows the focus.
    void RepaintActiveHeaders(int ACol1, int ARow1, int ACol2, int ARow2);
    // The control itself when it is a form, else its first parent form.
    static TCustomForm* ParentFormOf(TControl* AControl);
    // The hover-button window's mouse leave: hides it.
    virtual void HoverButtonsMouseLeave(TObject* Sender);
    // The thin scroll controls of ssMetro, one per bar ScrollBars enables;
    // existing ones stay.
    void CreateMetroScrollBars();
    TScrollControl* GetVertScrollControl() const { return vscrlctrl; }
    TScrollControl* GetHorzScrollControl() const { return hscrlctrl; }
    // The header drag image and the hover-button window (run time only).
    THeaderDragButton* GetMoveButton() const { return MoveButton; }
    TNoActiveForm* GetButtonForm() const { return FButtonForm; }

    // ---- repaint services and the focus cell (DedOzovedUradSelection.cpp) ----
    // Column ACol in the rows in view (fixed rows not included).
    void RepaintCol(int ACol);
    // A rectangle of cells (Left, Top, Right, Bottom); any negative
    // coordinate repaints nothing, a rectangle out of view the whole grid.
    void RepaintRect(const TRect& R);
    void InvalidateGridRect(const TGridRect& R);
    // The cell becomes the whole selection (nothing scrolls) and no
    // advance is under way.
    void FocusCell(int ACol, int ARow) override;

    // ---- selection (DedOzovedUradSelection.cpp) ----
    // Display indexes. Reading answers the platform's rectangle; writing
    // also repaints the active-cell headers (ActiveCellShow) and the row
    // of the bottom edge (ActiveRowShow).
    TGridRect GetSelection() const { return TBaseGrid::GetSelection(); }
    void SetSelection(const TGridRect& Value);
    // The rectangle moves outside every cell; UnHideSelection brings it
    // back, or the first normal cell when it no longer fits the grid.
    void HideSelection();
    virtual bool IsSelectionHidden();
    virtual void UnHideSelection();
    bool GetSelHidden() const { return FSelHidden; }
    // Runs the may-select query for the focus cell again.
    void UpdateEditMode();
    void SelectRange(int FromCol, int ToCol, int FromRow, int ToRow);
    void SelectCells(int FromCol, int FromRow, int ToCol, int ToRow);
    // Disjunct row flags, by display row (by real row with
    // RowSelectPersistent). Reading past the flags answers False; without
    // RowSelectPersistent a row outside the grid raises ERirEvozError.
    bool GetRowSelect(int ARow);
    void SetRowSelect(int ARow, bool Value);
    bool GetColSelect(int ACol);
    void SetColSelect(int ACol, bool Value);
    void SelectRows(int RowIndex, int RCount);
    void UnSelectRows(int RowIndex, int RCount);
    void SelectAll();
    void SelectCols(int ColIndex, int CCount);
    void UnSelectCols(int ColIndex, int CCount);
    void ResetRowSelectList();
    void ClearRowSelect();
    void ClearColSelect();
    bool SyncRowSelectWithSelection(bool All);
    void SyncColSelectWithSelection(bool All);
    int GetRowSelectCount();
    int GetColSelectCount();
    int GetSelectedRowCount();
    int GetSelectedColCount();
    // -1 past the selected rows.
    int GetSelectedRow(int i);
    bool GetSelectedCells(int i, int j);
    void SetSelectedCells(int i, int j, bool Value);
    // (-1, -1) past the selected cells.
    TGridCoord GetSelectedCell(int i) const;
    int GetSelectedCellsCount();
    void ClearSelectedCells();
    bool IsSelected(int ACol, int ARow);
    // The selected cells' display texts, TAB between cells, CR LF after
    // rows (not after the last one of a range).
    String SelectedText();
    // The platform grid's rectangle changed.
    virtual void SelectionChanged(int ALeft, int ATop, int ARight, int ABottom);
    bool GetRowSelMod() const { return FRowSelMod; }
    bool GetSelChange() const { return FSelChange; }
    void SetSelChange(bool Value) { FSelChange = Value; }
    const TGridRect& GetDisSelection() const { return FDisSelection; }
    // SelectedText puts multi-line texts in quotes with their line breaks
    // as character 11, as spreadsheets paste them.
    bool GetExcelClipboardFormat() const { return FExcelClipboardFormat; }
    void SetExcelClipboardFormat(bool Value) { FExcelClipboardFormat = Value; }

    // ---- hiding rows and columns (DedOzovedUradHiding.cpp) ----
    // Real columns. The last visible column never goes.
    void HideColumns(int FromCol, int ToCol);
    void HideColumn(int ColIndex) { HideColumns(ColIndex, ColIndex); }
    void UnHideColumns(int FromCol, int ToCol);
    void UnHideColumn(int ColIndex) { UnHideColumns(ColIndex, ColIndex); }
    virtual void UnHideColumnsAll();
    // Real rows; the store stays sorted by Idx.
    void HideRows(int FromRow, int ToRow);
    void HideRow(int RowIndex) { HideRows(RowIndex, RowIndex); }
    // One filter level of display rows (ascending): hidden or suppressed
    // by FilterType; one row always stays in view.
    void HideRowList(TIntList* RowList);
    void HideRowsEx(int FromRow, int ToRow);
    void UnHideRow(int RowIndex);
    void UnHideRows(int FromRow, int ToRow);
    virtual void UnHideRowsAll();
    // The rows of the latest filter level back in their places; rows
    // hidden otherwise stay stored.
    void UnHideRowList();
    void HideSelectedRows();
    void HideUnSelectedRows();
    // Takes Count display rows out of the platform grid keeping footers,
    // focus, selection and heights in step; Remove: they are deleted.
    void HideRowRange(int RowIndex, int Count, bool Remove);
    void SuppressColumn(int ColIndex);
    void SuppressRow(int RowIndex);
    void SuppressRows(int FromRow, int ToRow);
    void UnSuppressColumn(int ColIndex);
    void UnSuppressRow(int RowIndex);
    void UnSuppressRows(int FromRow, int ToRow);
    void UnSuppressAllColumns();
    void UnSuppressAllRows();
    void UnSuppressAllOpenRows();
    // The next filter level; the data views lower it when the last filter goes.
    int GetFilterLevel() const { return FFilterLevel; }
    void SetFilterLevel(int Value) { FFilterLevel = Value; }
    TIntList* GetFilteredRowList() const { return FFilteredRows.get(); }
    bool GetBlockFilterUpdate() const { return FBlockFilterUpdate; }

    // ---- scrolling and scroll bars (DedOzovedUradScrolling.cpp) ----
    // Brings the cell into view (and makes it the focus where it is a
    // normal cell); indexes at the counts do nothing.
    void ScrollInView(int ColIndex, int RowIndex, TScrollPosition Position);
    int GetTopRow() const { return TBaseGrid::GetTopRow(); }
    // Ignored outside FixedRows .. RowCount - 1.
    void SetTopRow(int Value);
    int GetTopRowEx() const { return GetTopRow(); }
    void SetTopRowEx(int Value) { SetTopRow(Value); }
    TColor GetScrollColor() const { return FScrollColor; }
    void SetScrollColor(TColor Value);
    bool GetScrollProportional() const { return FScrollProportional; }
    void SetScrollProportional(bool Value);
    TScrollHintType GetScrollHints() const { return FScrollHints; }
    void SetScrollHints(TScrollHintType Value);
    // Thumb size and position from the pixel sizes of the lines.
    virtual void UpdateVertScrollProportion();
    virtual void UpdateHorzScrollProportion();
    virtual void SyncFlatVertScrollBar();
    virtual void SyncFlatHorzScrollBar();
    void ShowFlatScrollBar(int Bar, bool Show);
    // Flat scroll bars of the common-controls library, when it offers them.
    virtual void InitFlatScrollBars();
    bool GetIsFlat() const { return FIsFlat; }
    virtual void CreateMetroScrollControls() { CreateMetroScrollBars(); }
    virtual void FreeMetroScrollControls();
    void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
    void SizeChanged(int OldColCount, int OldRowCount) override;
    // One step of the touch-scroll glide (set up by the mouse code).
    void ScrollGlideTick();
    void StartScrollGlide(int Delta, int Steps, bool Vertical);
    TDragScrollDirection GetDragScrollDirection() const { return FDragScrollDirection; }
    // Repaints the metro scroll controls along.
    void TopLeftChanged() override;
    void SetScrollType(TScrollType Value);
    bool GetScrollHintShow() const { return FScrollHintShow; }
    void Dispatch(TMessage& Message) override;

    // ---- row and column structure (DedOzovedUradRowOps.cpp, DedOzovedUradColOps.cpp) ----
    // Display rows. Inserted rows are empty with the default height; rows
    // stored as hidden below the insertion point keep their real index.
    virtual void InsertRows(int RowIndex, int RCount, bool UpdateCellControls = true);
    void AddRow();
    virtual void AppendGridRow() { SetRowCount(GetRowCount() + 1); }
    // Removes the rows that exist of RowIndex .. RowIndex + RCount - 1 with
    // their properties, cell controls and flags.
    virtual void RemoveRows(int RowIndex, int RCount);
    virtual void RemoveRowsEx(int RowIndex, int RCount);
    virtual void DeleteDisplayRows(int RowIndex, int RCount);
    // Display rows, ascending, in one pass; the rows that stay keep their
    // raw texts and properties.
    void RemoveRowList(TIntList* RowList);
    void RemoveCheckedRows(int CheckBoxColumn, bool RemoveChecked);
    void RemoveSelectedRows();
    void RemoveUnSelectedRows();
    // Keeps the first row of each group of equal display texts in column
    // ACol (display column); DoCase compares case-sensitively.
    void RemoveDuplicates(int ACol, bool DoCase);
    void MoveRow(int FromIndex, int ToIndex);
    void MoveRows(int FromIndex, int ToIndex, int Count);
    void SwapRows(int ARow1, int ARow2);
    virtual void SortSwapRows(int ARow1, int ARow2);
    // Stored (real) columns.
    virtual void InsertCols(int ColIndex, int CCount);
    void AddColumn() { InsertCols(GetColCount(), 1); }
    virtual void RemoveCols(int ColIndex, int CCount);
    void RemoveSelectedCols();
    void RemoveUnSelectedCols();
    // Display columns, through the platform's column move.
    virtual void MoveColumn(int FromIndex, int ToIndex);
    void SwapColumns(int ACol1, int ACol2);
    void MergeCols(int ColIndex1, int ColIndex2, const String& Separator);
    // Raw texts and object slots of two cells; nothing repaints.
    void SwapCells(TGridCoord FromCell, TGridCoord ToCell);
    // Counters of the sort.
    int Compares { 0 };
    int Swaps { 0 };
    int SortTime { 0 };
    int SortRow { -1 };
    TStringList* GetSortlist() const { return FSortlist.get(); }
    bool GetBlockCellChanging() const { return FBlockCellChanging; }

    // ---- hooks of later steps (see the list at the top) ----
    virtual bool IsChecked(int ACol, int ARow);
    // The position of the base cell's scroll bar (repaints the cell).
    virtual void SetScrollPosition(int ACol, int ARow, int Position);

    // ---- cell objects (DedOzovedUradCellObjects.cpp, DedOzovedUradCellExtents.cpp) ----
    // A cell (stored column, display row) carries at most one TCellGraphic,
    // kept in its properties whatever its text; attaching and detaching
    // leave the text alone and fire no change event, undo entry or modified
    // flag. In column 0 under MouseActions.HotmailRowSelect every cell shows
    // the grid's own row check box (FCellGraphic), which mirrors the row's
    // selection; a cell's own object there stays in its slot.
    // The cell's object; the row check box in column 0 under
    // HotmailRowSelect; nullptr when the slot holds another class.
    virtual TCellGraphic* GetCellGraphic(int ACol, int ARow);
    // The object in the cell's own slot, whatever column 0 shows.
    TCellGraphic* SlotCellGraphic(int ACol, int ARow) const;
    // False only for a cell whose object is of a kind or carries a comment.
    virtual bool GetCellEmpty(int ACol, int ARow);
    TIntList* GetCellImages(int ACol, int ARow);
    // The image index of a ctImageList cell; for ctBitmap and ctIcon a key
    // equal for cells sharing one picture object; -1 otherwise.
    int GetCellImageIdx(int ACol, int ARow);
    // Attaches a fresh object (owned by the cell) in place of the cell's
    // own, which is freed when the cell owned it; the caller fills it.
    TCellGraphic* CreateCellGraphic(int ACol, int ARow);
    // Detaches the cell's own object (freed when the cell owned it); True
    // when there was one.
    bool FreeCellGraphic(int ACol, int ARow);
    // FreeCellGraphic when the cell reports Kind; True when it removed one.
    bool RemoveCellGraphic(int ACol, int ARow, TCellType Kind);
    // Whether the object of the cell's merge base cell is of a kind in Kinds.
    bool IsCellTypeIn(int ACol, int ARow, TCellTypes Kinds);
    bool HasCheckBox(int ACol, int ARow);
    bool HasDataCheckBox(int ACol, int ARow);
    bool HasButton(int ACol, int ARow);
    bool IsRadio(int ACol, int ARow);
    bool HasExpand(int ACol, int ARow);
    // A ctBalloon object (not a balloon riding on another kind).
    bool HasBalloon(int ACol, int ARow);
    bool HasProgress(int ACol, int ARow);
    bool HasShape(int ACol, int ARow);
    bool HasRating(int ACol, int ARow);
    bool HasScrollBar(int ACol, int ARow);
    bool HasRadioButton(int ACol, int ARow);
    bool HasDataImage(int ACol, int ARow);
    bool HasDataPicture(int ACol, int ARow);
    // These three look at the cell itself, not at its base cell.
    bool HasBitmap(int ACol, int ARow);
    bool HasPicture(int ACol, int ARow);
    bool HasFilePicture(int ACol, int ARow);
    // The kinds whose picture follows the cell text.
    static bool IsDataGraphicCell(TDedOzovedUrad* Grid, int ACol, int ARow);
    // Operated as a control rather than edited as text.
    bool IsControlCell(int ACol, int ARow);
    // The object of a real row: from the hidden-row store for a hidden row.
    TCellGraphic* ObjectByRealRow(int ACol, int ARow);
    // The room the object takes beside or above the text on Canvas (X
    // width, Y height); Zoom divides text-derived widths, Margin comes off
    // the height pictures get.
    virtual void GetCellGraphicExtent(TCanvas* Canvas, int ACol, int ARow, int Margin, double Zoom, TPoint& Result);
    // The natural size of the object for printing, pictures fitted into W x H.
    virtual void GetCellGraphicPrintSize(int ACol, int ARow, int W, int H, double Zoom, TPoint& Result);
    // Set by a toggled check box (and later by edits); the application clears it.
    bool GetGridModified() const { return FGridModified; }
    void SetGridModified(bool Value) { FGridModified = Value; }
    // Set by the data views while a narrow-down condition is in force.
    bool GetNarrowDownActive() const { return FNarrowDownActive; }
    void SetNarrowDownActive(bool Value) { FNarrowDownActive = Value; }

    // ---- check boxes (DedOzovedUradCheckBoxes.cpp) ----
    // Plain boxes keep their state in the object, data and virtual boxes in
    // the cell text (CheckTrue / CheckFalse), three-state boxes in the
    // object; the row check box is the row's selection. Columns are stored
    // columns; rows display rows unless said otherwise.
    using TCheckBoxClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State)>;
    using TCheckBoxAllowEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool State, bool& Allow)>;
    // "Invalid cell" for a cell outside every column and row. A data box
    // gives a cell holding neither check text the one of State.
    void AddCheckBox(int ACol, int ARow, bool State, bool Data);
    void AddCheckBox(int ACol, int ARow, TCheckBoxState State);
    void AddCheckBoxColumn(int ACol, bool DefaultState = false, bool DataCheckBox = false);
    void AddTriStateCheckBoxColumn(int ACol, TCheckBoxState State);
    void RemoveCheckBox(int ACol, int ARow);
    void RemoveCheckBoxColumn(int ACol);
    bool IsDataCheckBoxColumn(int ACol);
    // With hidden rows ARow is a real row. False for a cell without a box.
    bool GetCheckBoxState(int ACol, int ARow, TCheckBoxState& State);
    bool GetCheckBoxState(int ACol, int ARow, bool& State);
    static TCheckBoxState BoolToCheckBoxState(bool bChecked) { return bChecked ? cbChecked : cbUnchecked; }
    // ARow a real row; no event fires.
    bool SetCheckBoxState(int ACol, int ARow, bool State);
    bool SetCheckBoxState(int ACol, int ARow, TCheckBoxState State);
    // Sets a box and reports a change through OnCheckBoxChange.
    bool ApplyCheckBoxValue(int ACol, int ARow, bool Value);
    void CheckAll(int ACol);
    void UnCheckAll(int ACol);
    bool ToggleCheckBox(int ACol, int ARow) { return DoToggleCheckBox(ACol, ARow, false); }
    // The toggle the mouse and keyboard trigger; True when the box changed.
    virtual bool DoToggleCheckBox(int ACol, int ARow, bool ByUser);
    virtual void CheckBoxChanged(int ACol, int ARow, bool State);
    // Whether the point (client coordinates) hits the box's glyph.
    bool IsInCheckBox(int ACol, int ARow, int XPos, int YPos);
    TCheckBoxClickEvent OnCheckBoxChange;
    TCheckBoxAllowEvent OnCheckBoxCanToggle;

private:
    // The row check box column 0 shows under HotmailRowSelect.
    std::unique_ptr<TCellGraphic> FCellGraphic { std::make_unique<TCellGraphic>() };
    bool FGridModified { false };
    bool FNarrowDownActive { false };
    // Selection state of display row ARow as the row check box shows it.
    bool RowCheckSelected(int ARow);
    // The group steps of a toggle in a grouped grid.
    void ToggleGroupChildren(int ACol, int ARow, bool State);
    void UpdateGroupParent(int ACol, int ARow);

public:

    // ---- events ----
    TGridColorEvent OnGetCellColor;
    TClickCellEvent OnClickCell;
    TRowCountChangeEvent OnRowCountChange;
    TEndRowSizeEvent OnEndRowSize;
    TGridHintEvent OnGridHint;
    TCellBalloonEvent OnCellBalloon;
    TFooterPaintEvent OnPaintFooter;
    TNotifyEvent OnCreatedFloatingFooter;
    TCanSizeEvent OnColumnSize;
    TCanSizeEvent OnRowSize;
    TCanEditCellEvent OnCanEditCell;
    TGetEditorTypeEvent OnGetEditorType;
    TIsCellEvent OnIsFixedCell;
    TIsCellEvent OnIsPasswordCell;
    THasCellEditorEvent OnHasComboBox;
    THasCellEditorEvent OnHasEditBtn;
    THasCellEditorEvent OnHasSpinEdit;
    THasFilterEditEvent OnHasFilterEdit;
    TGridColorEvent OnGetCellPrintColor;
    TGridGradientEvent OnGetCellGradient;
    TGridAlignEvent OnGetAlignment;
    TWordWrapEvent OnGetWordWrap;
    TCustomCellDrawEvent OnCustomCellBkgDraw;
    TCustomCellDrawEvent OnCustomCellDraw;
    TGridBorderEvent OnGetCellBorder;
    TGridBorderPropEvent OnGetCellBorderProp;
    TIsCellEvent OnIsFixedHoverCell;
    TCanSortEvent OnCanSort;
    TSearchFooterActionEvent OnSearchFooterAction;
    TSearchFooterSearchEvent OnSearchFooterSearch;
    TSearchFooterSearchEndEvent OnSearchFooterSearchEnd;
    TButtonClickEvent OnButtonClick;
    TExpandClickEvent OnExpandClick;
    TClickCellEvent OnComboCloseUp;
    TClickCellEvent OnComboDropDown;
    TGetCellCursorEvent OnGetCellCursor;
    TGridHintEvent OnGridWideHint;
    TOfficeHintEvent OnOfficeHint;
    TGridBorderEvent OnGetCellPrintBorder;
    TGridFormatEvent OnGetFormat;
    TFilterEditEvent OnFilterEditUpdate;
    TGetCheckTextEvent OnGetCheckTrue;
    TGetCheckTextEvent OnGetCheckFalse;
    TDateTimeChangeEvent OnDateTimeChange;
    TEditChangeEvent OnEditChange;
    TClickCellEvent OnDatePickerCloseUp;
    TClickCellEvent OnDatePickerDropDown;
    TNotifyEvent OnRichEditSelectionChange;
    TFloatFormatEvent OnGetFloatFormat;
    TCellsChangedEvent OnCellsChanged;
    TUpdateColumnSizeEvent OnUpdateColumnSize;
    TEndColumnSizeEvent OnEndColumnSize;
    TCellLoadSaveEvent OnLoadCell;
    TCellLoadSaveEvent OnSaveCell;
    TFileProgressEvent OnFileProgress;
    TCanAddEvent OnCanAddRow;
    TCanAddEvent OnCanAddCol;
    TCanInsertRowEvent OnCanInsertRow;
    TColorSelectEvent OnColorSelect;
    TImageSelectEvent OnImageSelect;
    // The colour and image picker editors' values on their way into the
    // cell: the handlers may change them.
    std::function<void(TObject* Sender, int ACol, int ARow, TColor& Color, String& Value)> OnColorSelected;
    std::function<void(TObject* Sender, int ACol, int ARow, int& Index)> OnImageSelected;
    // A header or footer button of a drop-down cell editor's window, for the focus cell.
    std::function<void(TObject* Sender, int ACol, int ARow, int ButtonIndex)> OnDropDownHeaderButtonClick;
    std::function<void(TObject* Sender, int ACol, int ARow, int ButtonIndex)> OnDropDownFooterButtonClick;
    TRowDisjunctSelectEvent OnRowDisjunctSelect;
    TRowDisjunctSelectedEvent OnRowDisjunctSelected;
    TRowDisjunctSelectEvent OnColDisjunctSelect;
    TRowDisjunctSelectedEvent OnColDisjunctSelected;
    TSelectionChangedEvent OnSelectionChanged;
    TRowChangingEvent OnRowChanging;
    TCustomCompareEvent OnCustomCompare;
    TRawCompareEvent OnRawCompare;
    TRowChangedEvent OnRowChanged;
    TFilterRowEvent OnCustomFilter;
    TFilterProgressEvent OnFilterProgress;
    TScrollHintEvent OnScrollHint;
    TDragScrollEvent OnDragScroll;
    TScrollCellEvent OnScrollCell;

    // Set while a focus move the grid makes itself is under way; editors
    // then ignore their focus loss.
    bool InvokedFocusChange { false };

protected:
    // Around the zoom's own row-height changes: the reaction to changed row
    // heights stays out of the way.
    virtual void BeginRowHeightChange() { FRHChanging = true; }
    virtual void EndRowHeightChange() { FRHChanging = false; }
    bool GetRowHeightChanging() const { return FRHChanging; }

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Resize() override;

    // Painting state the mouse and editing code keep (read by the painters).
    bool FMouseDown { false };       // a selection drag is under way
    bool FMouseDownMove { false };   // the pointer is pressed on a fixed cell
    bool FDropDownDown { false };    // ... on its drop-down part
    int FMoveColInd { -1 };          // the column being moved, -1 for none
    bool FEditing { false };
    bool FStyleBkg { false };        // a visual style paints the background
    bool FUseStyleServices { true };
    bool FNoDefaultDraw { false };
    bool FNoImageAndText { false };
    bool FUseEnabledRows { false };
    bool FXYOffsetTopLeftOnly { false };
    TColor FSelectionRectangleColor { clBlack };
    bool FNoRTLOrientation { false };
    TColorTones FTones;
    bool FBlinkOn { false };
    int FHoverHTMLAnchor { -1 };     // the anchor under the pointer in FHoverHTMLCell
    TPoint FHoverHTMLCell { -1, -1 };
    String FDownControlID;           // the pressed mini-HTML form control

    // The platform's notifications of changed line sizes: stretching, the
    // scaling of all lines after a mouse sizing with AllColumnSize /
    // AllRowSize, and the end-of-sizing events.
    void ColWidthsChanged() override;
    void RowHeightsChanged() override;

    // State of a mouse sizing (kept by the mouse code) and of stretching.
    bool ColSized { false };      // a column was sized with the mouse
    bool RowSized { false };      // a row was sized with the mouse
    int Colclicked { -1 };        // the column and row sized
    int Rowclicked { -1 };
    int Colclickedsize { 0 };     // their sizes before
    int Rowclickedsize { 0 };
    bool ColSizeFlg { false };    // a column-widths change went through
    bool ColchgFlg { true };      // stretching may run
    bool FIsColChanging { false }; // a stretch is running
    // Emptying only drops what the cells' slots hold (moved elsewhere).
    bool FNilObjects { false };
    // Emptying announces no changed cells.
    bool FBlockCellChange { false };

private:
    friend class TControlLook;
    friend class TDragDropSettings;
    friend class TFloatingFooter;
    friend class TFooterPanel;
    // Tests set hidden-column flags the way hiding leaves them.
    friend struct TDedOzovedUradTestAccess;
    // The data views work on the store, the hidden rows and the counters.
    friend class TGridDataViews;

    // Helpers of the dimension setters (DedOzovedUradDimensions.cpp).
    void GrowColumnArrays();
    void KeepFooterRowLast(int OldRowCount);
    void AfterCountChange();
    // Helpers of the cell views (DedOzovedUradCells.cpp).
    int OriginalColumn(int c) const;
    int UnSortedCellRow(int r) const;
    // The saved cells of a hidden row padded to hold column c.
    TStrings* HiddenRowCells(TGridItem* Item, int c);
    template<class Apply>
    void ForEachCell(const TGridRect& GridRect, Apply Fn);
    // Resets one colour of the row's cells; frees what then holds nothing.
    void ResetRowColour(int r, void (TCellProperties::*Reset)(TColor));
    bool HoldsOnlyDefaults(int c, int r, const TCellProperties& p);
    void RepaintAttributeCell(int c, int r);

    // Steps of the cell look and cell painting.
    bool StyledDrawingActive();
    bool IsCellColSelected(int RCol) const;
    bool IsCellRowSelected(int RRow) const;
    bool IsRowDisabled(int RRow) const;
    struct TCellPaint;
    void DrawFixedCellLook(TCellPaint& P);
    void DrawEditorButtons(TCellPaint& P);
    void DrawCellBorders(TCellPaint& P);
    void DrawFixedEdges(TCellPaint& P);
    void DrawTreeLines(TCellPaint& P);
    void DrawCellText(TCellPaint& P);
    void DrawCellBackground(TCellPaint& P);
    void DrawSelectionRectangle(TCellPaint& P);
    void DrawPlainText(TCellPaint& P, String Text);
    bool IsSortHeaderCell(int ACol, int ARow, bool& ShowIndicator);
    int FTextHeight { 0 };
    // The vertical DrawText flag of the last plain text drawn.
    UINT FVAlign { 0 };

    // Steps of measuring and sizing.
    TCanvas* MeasureCanvas();
    void SelectMeasureFont(TCanvas* Canvas);
    void FitColumnToContent(int ACol, bool GrowOnly, int Padding);
    bool DoColumnSize(int ACol);

    // The CSV reader and writer (grid/views/io/GridCSV.cpp).
    void ReadCSVFile(const String& FileName, bool DoInsert, int MaxRows, int IgnoreRows);
    void ReadCSVStream(TStream& AStream, bool DoInsert, int MaxRows, int IgnoreRows, TEncoding* AEncoding);
    // Decoded text split into its lines for the reader.
    void ReadCSVText(const String& Text, bool DoInsert, int MaxRows, int IgnoreRows);
    // The reader proper, on the text's physical lines.
    void ReadCSVLines(std::vector<String> Lines, bool DoInsert, int MaxRows, int IgnoreRows);
    void WriteCSVFile(const String& FileName, bool Append, TEncoding* AEncoding);
    void WriteCSVRect(const String& FileName, const TGridRect& ARect, bool Append, TEncoding* AEncoding);
    // The workbook writer and reader (grid/views/io/GridExcel.cpp).
    void WriteXLSSheet(const String& FileName, const String& SheetName, bool CreateNewSheet);
    void ReadXLSSheet(const String& FileName, const String& SheetName);
    // The print settings (made with the grid) and the scale factor the last
    // scale change found.
    std::unique_ptr<TPrintSettings> FPrintSettings { std::make_unique<TPrintSettings>(this) };
    double FOldDPIScale { 1.0 };

    // Steps of construction and loading (DedOzovedUradLifecycle.cpp).
    void CreateSettingsObjects();
    void CreateLists();
    void CreateRunTimeControls();
    void LoadFilterGlyphs();
    void WindowCreated();
    void RecordLoadedLayout();

    // Owned objects, in the order the constructor makes them.
    TFooterPanel* FFooterPanel { nullptr }; // a child component of the grid
    std::unique_ptr<TAutoColor> FAutoColor;
    std::unique_ptr<TFont> FScratchFont;
    std::unique_ptr<TFocusHelper> FFocusHelper;
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TFloatingFooter> FFloatingFooter;
    std::unique_ptr<TSortSettings> FSortSettings;
    std::unique_ptr<TDragDropSettings> FDragDropSettings;
    std::unique_ptr<TDragScrollOptions> FDragScrollOptions;
    std::unique_ptr<TControlLook> FControlLook;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TColumnSize> FColumnSize;
    std::unique_ptr<TCellNode> FCellNode;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TSizeWhileTyping> FSizeWhileTyping;
    std::unique_ptr<TMouseActions> FMouseActions;
    std::unique_ptr<TGrouping> FGrouping;
    std::unique_ptr<TStringList> FColumnHeaders;
    std::unique_ptr<TIntList> FCacheRowHeights;
    std::unique_ptr<THTMLPictureCache> FImageCache;
    std::unique_ptr<TIntList> FOrigColSizes;
    std::unique_ptr<TIntList> FSuppressColSizes;
    std::unique_ptr<TIntList> FSuppressRowSizes;
    std::unique_ptr<TFont> FFixedFont;
    std::unique_ptr<TFont> FActiveCellFont;
    std::unique_ptr<TStringList> FRowHeaders;
    std::unique_ptr<TStringList> FLookupItems;
    std::unique_ptr<TStringList> FSortlist;
    // Row and column selection flags.
    std::vector<bool> FRowSelect;
    std::vector<bool> FColSelect;
    std::unique_ptr<TSortIndexList> FSortIndexes;
    std::unique_ptr<TIntList> FSortRowXRef;
    std::unique_ptr<TIntList> FUnSortRowXRef;
    std::unique_ptr<TIntList> FMergedColumns;
    // The disjunct cell selection.
    TGridCellSet FSelectedCells;
    std::unique_ptr<TIntList> FModifiedRows;
    std::unique_ptr<TIntList> FEnabledRows;
    std::unique_ptr<TIntList> FFilteredRows;
    std::unique_ptr<TBitmap> FRowIndicator;
    std::unique_ptr<TBackGround> FBackGround;
    std::unique_ptr<TLumControlList> FControlList;
    std::unique_ptr<TGridProgressAppearance> FProgressAppearance;
    std::unique_ptr<TSyncGrid> FSyncGrid;
    // The hidden rows.
    std::unique_ptr<TCollection> FGridItems;
    // The store sorted by Idx, made by the first mapping after it changed.
    struct THiddenRowLookup {
        std::vector<int> Idx;          // every item's Idx, ascending
        std::vector<TGridItem*> Items; // the item of each Idx entry
        std::vector<int> Distinct;     // each Idx once, ascending
        std::vector<int> InViewBefore; // rows in view before Distinct[i]
    };
    std::optional<THiddenRowLookup> FHiddenRowLookup;
    static std::unique_ptr<TCollection> MakeHiddenRowStore(TDedOzovedUrad* Grid);
    // A new item last in the hidden-row store, for the row Idx.
    TGridItem* AddHiddenItem(int Idx);
    std::unique_ptr<TFilter> FFilter;
    std::unique_ptr<TBalloonSettings> FBalloon;
    std::unique_ptr<TShowModified> FShowModified;
    // Per stored column: visible flag and remembered width.
    std::vector<bool> FVisibleCol;
    std::vector<int> FAllColWidths;
    std::vector<TGridChangeNotifier*> FNotifierList;
    std::unique_ptr<TIntList> FColumnOrder;
    std::unique_ptr<TLumHintInfo> FOfficeHint;
    std::unique_ptr<TIntList> FIgnoreColumns;
    std::unique_ptr<TFilterDropDown> FFilterDropDown;
    std::unique_ptr<TStringList> FFilterList;
    std::unique_ptr<TFilterEdit> FFilterEdit;
    TImageList* FFltrList { nullptr }; // a component of the grid
    std::unique_ptr<THoverButtons> FHoverButtons;
    std::unique_ptr<IGridDataViews> FDataViews;

    // Run-time controls (children of the grid, hidden until used).
    TScrollBar* FScrollBar { nullptr };
    TScrollBar* FPaintScrollBar { nullptr };
    THTMLHintWindow* FScrollHintWnd { nullptr };
    TLumRichEdit* FRichEdit { nullptr };
    TLumRichEdit* FInplaceRichEdit { nullptr };
    TCustomImageList* FGridImages { nullptr };
    TPictureContainer* FPictureContainer { nullptr };

    // The fixed-cell gradient state the fixed-cell painter reads; the
    // ControlLook gradient setters and the style presets write it.
    TColor FLumGradFrom { clNone };
    TColor FLumGradTo { clNone };
    TColor FLumGradMirrorFrom { clNone };
    TColor FLumGradMirrorTo { clNone };
    TColor FLumGradHoverFrom { clNone };
    TColor FLumGradHoverTo { clNone };
    TColor FLumGradHoverMirrorFrom { clNone };
    TColor FLumGradHoverMirrorTo { clNone };
    TColor FLumGradHoverBorder { clNone };
    TColor FLumGradDownFrom { clNone };
    TColor FLumGradDownTo { clNone };
    TColor FLumGradDownMirrorFrom { clNone };
    TColor FLumGradDownMirrorTo { clNone };
    TColor FLumGradDownBorder { clNone };

    // Properties with their own setters.
    int FFixedRightCols { 0 };
    int FFixedFooters { 0 };
    bool FFixedRowAlways { false };
    bool FFixedColAlways { false };
    int FFixedRowHeight { 22 };
    bool FIntegralHeight { false };
    bool FSizeWithForm { false };
    bool FAutoSize { false };
    bool FGridWordWrap { true };
    TBorderStyle FBorderStyle { bsSingle };
    TGridLook FLook { glXP };
    ROZEVizer FStyle { tsCustom };
    TColor FBorderColor { TColor(0x808080) };
    int FSelectionColorMixerFactor { 50 };
    bool FShowSelection { true };
    bool FHTMLKeepLineBreak { true };
    TScrollType FScrollType { ssNormal };
    TScrollBarAlways FScrollBarAlways { saNone };
    int FScrollWidth { 17 };
    int FFilterDropDownRow { 0 };
    bool FFilterActive { false };
    TEncoding* FEncoding { nullptr };

    // State.
    bool FDesignTime { false };
    bool FLoaded { false };
    bool FWasLoading { false };
    bool FEditChange { false };
    int FUpdateCount { 0 };
    double FDPIScale { 1.0 };
    TPoint FXYOffset { 2, 2 };
    TPoint FXYRTFOffset { 0, 0 };
    int FMinRowHeight { 0 };
    int FMaxRowHeight { 0 };
    int FMinColWidth { 0 };
    int FMaxColWidth { 0 };
    int FFixedRowsMin { 1 };
    int FFixedColsMin { 1 };
    int FMaxRowCount { 0 };
    int FMaxColCount { 0 };
    int FNumHidden { 0 };
    int FOldLeftCol { 1 };
    int FGroupColumn { -1 };
    int FFilterCol { -1 };
    int FHoverFixedX { -1 };
    int FHoverFixedY { -1 };
    int FComboIdx { -1 };
    int FPrintPageFrom { 1 };
    int FPrintPageTo { 1 };
    int FLastScrollCode { 255 };
    int FLastTabCol { -1 };
    int FLastTabRow { -1 };
    int FHoverLink { -1 };
    TGridRect FDisSelection { -1, -1, -1, -1 };
    // The auto-edit cell.
    int FAECol { -1 };
    int FAERow { -1 };
    bool FRHChanging { false };
    // Suspends the proportional scroll range updates.
    bool FScrollLock { false };
    // Editing is only suspended at a read-only cell.
    bool FEditDisable { false };
    int FNumCellControls { 0 };
    // A fixed line is being sized.
    bool FSizeFixed { false };
    TCursor FOldCursor { crDefault };
    bool FIsWinXP { false };
    bool FIsWin7 { false };
    bool FIsComCtl6 { false };
    bool FIsWinVista { false };
    TOfficeTheme FOldOfficeTheme { otUnknown };
    void SetSortHeaderColors(TColor From, TColor To, TColor MirrorFrom, TColor MirrorTo);
    // Grid paint, border, glow and design panel.
    void CreateOverlayWindows();
    void FreeOverlayWindows();
    int PaintedClientBottom();
    void PaintOutsideCells(TCanvas* C);
    void DrawSizeLine(int X1, int Y1, int X2, int Y2);
    struct TDesignPanelLayout {
        TRect Panel;
        int S { 16 };
        int Line { 0 };
        String Texts[3];
        int TextLeft[3] {}, TextTop[3] {}, TextRight[3] {};
    };
    TDesignPanelLayout DesignPanelLayout();
    void NudgeParentForm();
    bool GridLookMessage(TMessage& Message);
    bool GridNotify(TMessage& Message);
    void BalloonTextRequest(TMessage& Message);
    TGridFocusWindow* FFocusWindow { nullptr };
    bool FPlacingFocusWindow { false };
    bool FFitCellsInGrid { false };
    bool FShowColNrs { false };
    int FLastDesignChoice { -1 };
    String FToolTipText;
    bool FOleDropTargetAssigned { false };
    UINT FWheelMsg { 0 };
    int FWheelScrollLines { 0 };
    bool FPanning { false };
    // Setters of their own.
    bool FSpreadSheet { false };
    TVAlignment FVAlignment { vtaTop };
    int FMaxEditLength { 0 };
    bool FFlat { false };
    TColor FZIDGradientFrom { clNone };
    TColor FZIDGradientTo { clNone };
    TColor FZIDGradientMirrorFrom { clNone };
    TColor FZIDGradientMirrorTo { clNone };
    bool FUseHTMLHints { false };
    TRect PanMarkRect(TPoint P);
    TDedOzovedUradCheck* FCellChecker { nullptr };
    bool FVirtualEdit { false };
    // The grid itself is loading the editor's text: no OnEditChange.
    bool FNoEditChange { false };
    // Clearing and cell ranges.
    bool FOwnsObjects { false };
    int FAutoNumberStart { 0 };
    int FAutoNumberOffset { 0 };
    TSortDirection FAutoNumberDirection { sdAscending };
    String FSearchInc;
    // Sizing.
    bool FSizeGrowOnly { false };
    // Text measurement: a canvas of its own (no window needed), the font
    // of the cell being measured, and whether the canvas holds that look.
    std::unique_ptr<TBitmap> FMeasureBitmap;
    std::unique_ptr<TFont> FMeasureFont;
    std::unique_ptr<TBrush> FMeasureBrush;

    // ---- selection, hiding, scrolling and structure state ----
    // Steps of the hiding and structure operations (DedOzovedUradRowOps.cpp,
    // DedOzovedUradHiding.cpp). Rows are display rows unless named real.
    void FreeRowProperties(const TStringGrid::TStoredRow& Row);
    void EmptyStoredRow(int r, bool FreeProperties);
    void UpdateOwnerRows(int First, int Last);
    void TakeRowOut(int r, TGridItem* Item);
    void PutRowBack(int r, TGridItem* Item);
    void RotateRows(int First, int Middle, int Last);
    int DataRowEnd() const;
    void GrowRowCount(int N);
    void ShiftStoredForRemoval(const std::vector<int>& Removed);
    void ShiftControlsForRemoval(const std::vector<int>& Removed);
    void RemoveRowFlags(const std::vector<int>& Removed, const std::vector<int>& RealRemoved, bool RowSelectFlags);
    void RemoveRowSelectFlags(const std::vector<int>& Gone);
    std::vector<int> RealRowsOf(const std::vector<int>& Rows);
    void InsertRowsCore(int RowIndex, int RCount, bool UpdateCellControls, bool ShiftHidden);
    void RemoveRowsUnfiltered(int RowIndex, int RCount);
    void RemoveDisplayRows(int RowIndex, int Count, bool Free);
    void RestoreFocusRow(int OldRow, int OldTop, int NormalEnd);
    void RemoveRowsExCore(int RowIndex, int RCount, bool ShiftHidden);
    std::vector<int> ValidRowList(const std::vector<int>& Rows) const;
    void CompactOut(const std::vector<int>& Rows, bool Free);
    int StoredBefore(int RealRow);
    void TakeOutRows(const std::vector<int>& Rows, bool Remove);
    void MergeBack(const std::vector<TGridItem*>& Items, int First, int OldEnd, int NewEnd, int Offset);
    void HideRowsBySelection(bool Selected);
    void ExchangeColumnData(int ACol1, int ACol2);
    // Steps of scrolling (DedOzovedUradScrolling.cpp).
    void ApplyFlatStyles();
    void ShowScrollHint(bool Vertical, int Pos);
    void DragScrollTick();
    void StopDragTimer();
    void CellScrollBarScroll(TMessage& Message);
    void WMScroll(TMessage& Message, bool Vertical);

    TGridRect FOldSelection { 0, 0, 0, 0 };
    bool FSelHidden { false };
    bool FRowSelMod { false };
    bool FSelChange { false };
    TSelectedRowList FSelectedRowList;
    bool FExcelClipboardFormat { false };
    // The clipboard: the top-left cell of the last copied rectangle, the
    // last operation, and whether PasteFromClipboard (not the selection
    // paste) runs.
    TPoint FClipTopLeft { -1, -1 };
    TClipOperation FClipLastOp { coCut };
    bool FPasteAll { false };
    int FFilterLevel { 0 };
    bool FBlockCellChanging { false };
    bool FBlockFilterUpdate { false };
    bool ccuCall { true };
    bool FEntered { false };
    bool FForceSel { false };
    bool FEnhRowColMoving { false };
    TColor FURLColor { TColor(0xFF0000) };
    bool FURLFull { false };
    TColor FScrollColor { clNone };
    bool FScrollProportional { false };
    TScrollHintType FScrollHints { shNone };
    bool FIsFlat { false };
    bool FScrollHintShow { false };
    TTimer* FDragTmr { nullptr };
    TDragScrollDirection FDragScrollDirection;
    TTimer* FScrollTimer { nullptr };
    int FScrollDelta { 0 };
    int FScrollSteps { 0 };
    bool FScrollVert { true };
    bool FScrollEnd { true };
    int FScrollCol { -1 };
    int FScrollRow { -1 };
    TScrollControl* vscrlctrl { nullptr };
    TScrollControl* hscrlctrl { nullptr };
    THeaderDragButton* MoveButton { nullptr };
    TNoActiveForm* FButtonForm { nullptr };

    // ---- update locking, the window's messages, focus and the cell change
    // query (DedOzovedUradUpdate.cpp, DedOzovedUradWindow.cpp,
    // DedOzovedUradFocus.cpp, DedOzovedUradCellChange.cpp) ----
public:
    // Counting only: no redraw switch, no repaint at the end (painting
    // still waits while the count is above 0).
    void StartUpdate() { ++FUpdateCount; }
    void ResetUpdate() { FUpdateCount = 0; }
    bool IsUpdating() const { return FUpdateCount > 0; }
    bool GetLockUpdate() const { return FUpdateCount != 0; }
    void SetLockUpdate(bool Value)
    {
        if (Value)
            BeginUpdate();
        else
            EndUpdate();
    }
    void WndProc(TMessage& Message) override;
    // Places the controls of CellControls on their cells; Rebuild first
    // collects them again from the cells' properties.
    virtual void CellControlsUpdate(bool Rebuild);
    void ResetFixedCellHighlight();
    // The grid timer: its id and the ticks since the window was made.
    static constexpr UINT_PTR GridTimerId = 111;
    int GetTimerTicks() const { return FTimerTicks; }
    // The width InitOrigColSizes recorded the column widths at.
    int GetOldSize() const { return FOldSize; }
    // The blink phase of the mini-HTML blink tag.
    bool GetGridBlink() const { return FBlinkOn; }
    // What the pointer is about to do, as the mouse code sets it; the
    // cursor follows it.
    enum TMouseSelectMode { msNormal, msColumn, msRow, msAll, msURL, msResize };
    TMouseSelectMode GetMouseSelectMode() const { return FMouseSelectMode; }
    void SetMouseSelectMode(TMouseSelectMode Value, bool ByMouse)
    {
        FMouseSelectMode = Value;
        Invokedchange = ByMouse;
    }
    bool GetCellSelectorMode() const { return FCellSelectorMode; }
    void SetCellSelectorMode(bool Value) { FCellSelectorMode = Value; }
    // The cursor shapes of the selection modes (8010 rows, 8011 columns,
    // 8012 whole grid and sizing, 8014 cell selector); null when missing.
    static HCURSOR GridCursor(int Id);
    // Answers WM_GETDLGCODE of a control placed on a cell with arrows,
    // Tab and characters added under goTabs; the rest goes to the
    // control's own procedure.
    void HookCellControl(TControl* Control);
    // The cell change query: may (ACol, ARow) become the focus cell.
    bool SelectCell(int ACol, int ARow) override;
    // OnColChanging, OnRowChanging, OnCellChanging in that order.
    virtual void CellChanging(int NewCol, int NewRow, bool& Allow);
    // The focus cell as an edit starts from it (display column).
    virtual void SaveOldCell(int ACol, int ARow);
    int GetOldCol() const { return FOldCol; }
    int GetOldRow() const { return FOldRow; }
    const String& GetOldCellText() const { return FOldCellText; }
    const String& GetOldCellTextWide() const { return FOldCellTextWide; }
    bool GetOldModifiedValue() const { return FOldModifiedValue; }
    bool GetModified() const { return FModified; }
    void SetModified(bool Value) { FModified = Value; }
    const String& GetCellCache() const { return FCellCache; }
    bool GetEditDisable() const { return FEditDisable; }
    // While an editor's value is being stored the grid ignores losing the
    // focus; while DoneInplaceEdit hands the focus back it ignores entering.
    bool GetBlockKill() const { return FBlockKill; }
    void SetBlockKill(bool Value) { FBlockKill = Value; }
    bool GetBlockFocus() const { return FBlockFocus; }
    void SetBlockFocus(bool Value) { FBlockFocus = Value; }
    void SetForceSel(bool Value) { FForceSel = Value; }
    bool GetInvalidSel() const { return FInvalidSel; }
    // A pressed mini-HTML form control in a cell (springs back on focus loss).
    void SetCtrlDown(bool Value, TPoint Cell)
    {
        FCtrlDown = Value;
        FCtrlXY = Cell;
    }
    bool GetCtrlDown() const { return FCtrlDown; }
    void DoEnter() override;
    void DoExit() override;
    void Click() override;
    TButtonClickEvent OnEditCellDone;
    TRowChangingEvent OnColChanging;

    // ---- in-place text editor (LumInplaceEdit.cpp, DedOzovedUradTextEditor.cpp) ----
    // The platform grid's editor is the grid's text editor.
    friend class TLumInplaceEdit;
    TInplaceEdit* CreateEditor() override;
    // The text editor; nil until the grid first edits.
    TLumInplaceEdit* GetNormalEdit() const;
    // The editor kind of the running edit (EditControl); without one, the
    // kind the focus cell's base cell gets.
    virtual TEditorType GetEditControl();
    // "." typed into the text editor becomes the locale's decimal separator.
    bool GetForceDecimalSeparator() const { return FForceDecimalSeparator; }
    void SetForceDecimalSeparator(bool Value) { FForceDecimalSeparator = Value; }
    const TGridCharSet& GetValidCharSet() const { return FValidCharSet; }
    void SetValidCharSet(const TGridCharSet& Value) { FValidCharSet = Value; }
    TGridClipboardEvent OnClipboardCopy;
    TGridClipboardEvent OnClipboardCut;
    TGridClipboardEvent OnClipboardPaste;
    TGridClipboardCellEvent OnClipboardBeforePasteCell;
    TGridClipboardPastedEvent OnClipboardAfterPasteCell;
    TClickCellEvent OnDblClickCell;

protected:
    void DestroyWnd() override;

private:
    void WMTimer(TMessage& Message);
    void GridTimerTick();
    void ScrollTimerTick(TMessage& Message);
    void BlinkCells();
    void WMPaint(TMessage& Message);
    void WMSize(TMessage& Message);
    void SynchColumnsWithWidth(int Width);
    bool StretchOnSize(int Width);
    void WMSetCursor(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMKillFocus(TMessage& Message);
    bool RegisteredMessage(TMessage& Message);
    void RepaintFocusArea();
    bool CellChangeFooter(int ACol, int ARow, bool& Answer);
    void CellChangeEditability(int ACol, int ARow, int RCol, String& N);
    void CellChangeRepaints(int ACol, int ARow, const TGridRect& OldSel, int OldCol, int OldRow, bool Result);
    int FTimerTicks { 0 };
    int FPaintCount { 0 };
    bool FInWMSize { false };
    bool FDisableSize { false };
    int FOldSize { 0 };
    int FOldTopRow { 1 };
    TMouseSelectMode FMouseSelectMode { msNormal };
    bool Invokedchange { false };
    bool FCellSelectorMode { false };
    bool FSizingFixed { false };
    bool FSizeFixedR { false };
    bool FSizingFixedR { false };
    bool FNoMouseLeave { false };
    int FOldCol { -1 };
    int FOldRow { -1 };
    String FOldCellText;
    String FOldCellTextWide;
    bool FOldModifiedValue { false };
    bool FModified { false };
    bool FBlockKill { false };
    bool FBlockFocus { false };
    bool FCtrlDown { false };
    TPoint FCtrlXY { -1, -1 };
    bool FInvalidSel { false };
    String FInvalidCache;
    String FEditText;
    String FCellCache;
    bool FIsDBVersion { false };

    // ---- in-place editing: choosing, showing and storing the editor, the
    // editors, combo items, validation (DedOzovedUradEditing.cpp,
    // DedOzovedUradEditors.cpp, DedOzovedUradValidation.cpp) ----
public:
    // An edit of the focus cell runs (text editor or editor control).
    bool EditMode { false };
    // The kind of the running or last edit.
    TEditorType EditControl { edNormal };
    // The editor control on the cell; none for the text editor, the check
    // box and the date-and-time picker.
    TWinControl* EditCtrl { nullptr };

    // The platform's may-the-editor-show query: text kinds answer yes, the
    // other kinds get their editor control placed on the cell instead.
    bool CanEditShow() override { return CanShowInplaceEdit(); }
    bool CanShowInplaceEdit();
    // Shows the control of EditControl on the cell (display column).
    void ShowEditorControl(int ACol, int ARow);
    // Under MouseActions.RangeSelectAndEdit: editing on, then F2.
    void ShowCellEdit();
    // Stores the focus cell's editor value without hiding the text editor.
    void HideCellEdit();
    // Reads the editor control of EditControl and writes the cell (display
    // column), then hides the control and ends the edit.
    void StoreEditorValue(int ACol, int ARow);
    // SetEditText of the display column of ACol, then SetCellEx (stored
    // column).
    virtual void WriteEditorText(int ACol, int ARow, const String& Value);
    // OnEditingDone, the editor hidden, "GridEditDone" posted (stored column).
    void FinishEditorEdit(int ACol, int ARow);
    // An editor ended with Key: the edit is stored and the focus moves.
    void DoneInplaceEdit(WORD Key, TShiftState Shift);
    // The focus row is the last one above the footer rows (or the
    // floating footer's row).
    bool IsOnLastNormalRow();
    // Down on the last row under Navigation.AppendOnArrowDown: one row more
    // (OnCanAddRow may refuse), the floating footer kept last.
    void AppendRowOnArrowDown();
    // Tab validates in the editors: goTabs or a validation handler.
    bool WantsEditorTab();
    bool IsPasswordCell(int ACol, int ARow);
    // The ellipsis query: OnEllipsClick may change the text.
    String EllipsClick(const String& Text);

    // The editors. NormalEdit is the text editor (made when the grid first
    // edits); the others are made on first read through the editor
    // registry and answer nil while no factory is registered for them.
    // None unless EditMode; else EditCtrl, or NormalEdit without one.
    TWinControl* GetCellEditor();
    TWinControl* GetCombobox();
    TWinControl* GetUniCombo() { return GetCombobox(); }
    TWinControl* GetSpinEdit();
    TWinControl* GetDateTimePicker();
    TWinControl* GetDateAndTimePicker();
    TWinControl* GetEditBtnEditor();
    TWinControl* GetUnitEditBtnEditor();
    TWinControl* GetCheckEditor();
    TWinControl* GetGridButtonEditor();
    TWinControl* GetTrackbarDropDown() { return DropDownEditor(edTrackbarDropDown); }
    TWinControl* GetMemoDropDown() { return DropDownEditor(edMemoDropDown); }
    TWinControl* GetCalculatorDropDown() { return DropDownEditor(edCalculatorDropDown); }
    TWinControl* GetTimePickerDropDown() { return DropDownEditor(edTimePickerDropDown); }
    TWinControl* GetDetailPickerDropDown() { return DropDownEditor(edDetailDropDown); }
    TWinControl* GetGridDropDown() { return DropDownEditor(edGridDropDown); }
    TWinControl* GetColorPickerDropDown() { return DropDownEditor(edColorPickerDropDown); }
    TWinControl* GetImagePickerDropDown() { return DropDownEditor(edImagePickerDropDown); }
    TWinControl* GetRirEvozDropDown() { return DropDownEditor(edRirEvozDropDown); }
    TWinControl* GetControlDropDown() { return DropDownEditor(edControlDropDown); }

    // The combo item list every combo cell shows.
    TStrings* GetComboItems() const { return FComboItems.get(); }
    void ClearComboString();
    void AddComboString(const String& s);
    void AddComboStringObject(const String& s, TObject* AObject);
    bool RemoveComboString(const String& s);
    // The item the next combo selects; False (and no change) for a text
    // that is not an item.
    bool SetComboSelectionString(const String& s);
    // Forces item idx in the next combo-list editor.
    void SetComboSelection(int idx);
    int GetComboSelection() const { return FComboIdx; }
    bool GetForceComboSelection() const { return FForceComboSel; }
    int GetComboCount() const;
    // OnGetEditorProp for the cell first (its handler fills the items).
    int GetComboIndex(int ACol, int ARow);
    void SetComboIndex(int ACol, int ARow, int Value);

    virtual void DoGetEditorProp(int ACol, int ARow, TEditLink* AEditLink);

    // Validation of an edited text against the old-cell snapshot; True
    // when accepted.
    virtual bool ValidateCell(const String& NewValue);
    virtual bool ValidateCellWide(const String& NewValue);
    // A validated cell: the column's footer is recalculated.
    virtual void CellValidated(int ACol, int ARow);
    // "GridEditInvalid": the refused text goes back into the editor of the
    // cell that refused it, validated again and all selected.
    void ReenterInvalidEntry();
    bool GetAlwaysValidate() const { return FAlwaysValidate; }
    void SetAlwaysValidate(bool Value) { FAlwaysValidate = Value; }
    // The text being validated, then the validated text.
    const String& GetNewCellText() const { return FNewCellText; }
    bool GetValidating() const { return FValidating; }
    void SetValidating(bool Value) { FValidating = Value; }
    bool GetEditing() const { return FEditing; }
    void SetEditing(bool Value) { FEditing = Value; }
    bool GetLastValidation() const { return FLastValidation; }
    bool GetEditActive() const { return FEditActive; }
    bool GetSpecialEditor() const { return FSpecialEditor; }
    bool GetDoneEditing() const { return FDoneEditing; }
    bool GetNoEditChange() const { return FNoEditChange; }
    void SetNoEditChange(bool Value) { FNoEditChange = Value; }
    void SetStartEditChar(Char Value) { FStartEditChar = Value; }
    void SetOldCellText(const String& Value) { FOldCellText = Value; }

    TGetEditorPropEvent OnGetEditorProp;
    TGetEditorPropIntEvent OnGetEditorPropInt;
    TNotifyEvent OnEditingDone;
    TCellValidateEvent OnCellValidate;
    TCellValidateEvent OnCellValidateWide;
    std::function<void(TObject* Sender, int ACol, int ARow, String& S)> OnEllipsClick;

private:
    // An editor control going away is forgotten.
    void ForgetEditor(TComponent* AComponent);
    TWinControl* DropDownEditor(TEditorType Kind);
    TWinControl* MakeEditor(TWinControl*& Field, TEditorType Kind);
    // The steps of ShowEditorControl.
    // Load, when given, loads the value instead of the text.
    void PlaceEditorControl(TWinControl* Control, const TRect& R, TColor EditorColor, bool LoadText,
        const std::function<void()>& Load = {});
    void ShowRichEditor(const TRect& R);
    // A drop-down cell editor (GridDropDownRules.h) placed and loaded.
    void ShowDropDownEditor(IGridDropDownControl& Editor, const TRect& R, TColor EditorColor);
    // The balloon tip of a refused entry, on the editor that shows.
    void ShowInvalidEntryBalloon();
    bool ValidationFormActive();
    void RestoreEditOnDblClick();
    void RefuseEntry(int ACol, const String& Text, bool Corrected, bool Wide = false);

    std::unique_ptr<TStringList> FComboItems { std::make_unique<TStringList>() };
    TWinControl* FEditCombo { nullptr };
    TWinControl* FEditSpin { nullptr };
    TWinControl* FEditDate { nullptr };
    TWinControl* FEditDateTime { nullptr };
    TWinControl* FEditBtn { nullptr };
    TWinControl* FUnitEditBtn { nullptr };
    TWinControl* FEditCheck { nullptr };
    TWinControl* FGridButton { nullptr };
    std::vector<std::pair<TEditorType, TWinControl*>> FDropDownEditors;
    bool FForceComboSel { false };
    bool FSpecialEditor { false };
    bool FEditActive { false };
    bool FShowEditProcess { false };
    bool FLastValidation { true };
    bool FGetEditTextAlign { false };
    bool FSpinUpClick { false };
    bool FSpinDnClick { false };
    TDateTime FOriginalDateTime { 0 };
    bool FValidating { false };
    bool FValidateDblClick { false };
    bool FRestoreDblClick { false };
    // Counts refused validations (the cell change query tells whether the
    // edit it ended was refused).
    int FRefusals { 0 };
    bool FAlwaysValidate { false };
    bool FDoneEditing { false };
    bool FIsEditHiding { false };
    String FNewCellText;
    // ---- the typed editors (GridTypedEditors.cpp) ----
    friend class TGridSpin;
    friend class TGridCombo;
    friend class TGridCheckBox;
    friend class TGridButton;
    friend class TGridEditBtn;
    friend class TGridUnitEditBtn;
    friend class TGridDatePicker;
public:
    using TSpinClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AValue, bool UpDown)>;
    using TFloatSpinClickEvent
        = std::function<void(TObject* Sender, int ACol, int ARow, double AValue, bool UpDown)>;
    using TDateTimeSpinClickEvent
        = std::function<void(TObject* Sender, int ACol, int ARow, TDateTime AValue, bool UpDown)>;
    using TComboObjectChangeEvent = std::function<void(
        TObject* Sender, int ACol, int ARow, int AItemIndex, const String& ASelection, TObject* AObject)>;
    using TUnitChangedEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& NewUnit)>;
    // A refused commit in an editor: the key that ended it does not advance.
    bool GetNoAutoAdvance() const { return FNoAutoAdvance; }
    void SetNoAutoAdvance(bool Value) { FNoAutoAdvance = Value; }
    // The date-and-time editor's value when it opened; Esc restores it.
    TDateTime GetOriginalDateTime() const { return FOriginalDateTime; }
    TSpinClickEvent OnSpinClick;
    TFloatSpinClickEvent OnFloatSpinClick;
    TDateTimeSpinClickEvent OnDateSpinClick;
    TDateTimeSpinClickEvent OnTimeSpinClick;
    TComboObjectChangeEvent OnComboObjectChange;
    TUnitChangedEvent OnUnitChanged;
    // Reads a date cell's text for the date editor; ADate starts as now.
    std::function<void(TObject* Sender, const String& Value, TDateTime& ADate)> OnCustomStrToDate;

private:
    // The editor of a kind the grid makes itself; nullptr for the kinds
    // made above the grid.
    TWinControl* MakeTypedEditor(TEditorType Kind);
    // The per-kind steps of ShowEditorControl.
    void ShowSpinEditor(TWinControl* Control, const TRect& R, TColor EditorColor);
    void ShowComboEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int H);
    void ShowEditBtnEditor(TWinControl* Control, const TRect& R, TColor EditorColor, TAlignment HA, int H);
    void ShowUnitEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int H);
    void ShowDateEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int H);
    void ShowDateTimeEditor(TWinControl* Control, const TRect& R, TColor EditorColor, int W, int H);
    // EN_CHANGE of the spin or edit-button editor: while the cell shows
    // the text being typed, the cell follows the editor's text.
    void EditorTextChanged(HWND From);
    bool FNoAutoAdvance { false };

    // ---- printing and preview (grid/views/print) ----
public:
    // Print to Printer(): the whole grid, the selection, a display range,
    // the selected rows or columns only.
    void Print();
    void PrintSelection();
    void PrintRect(const TGridRect& Gridrect);
    void PrintSelectedRows();
    void PrintSelectedCols();
    // Page PreviewPage of the printout drawn on Canvas into Displayrect.
    void PrintPreview(TCanvas* Canvas, TRect Displayrect);
    void PrintPreviewRect(TCanvas* Canvas, TRect Displayrect, const TGridRect& Gridrect);
    void PrintPreviewSelection(TCanvas* Canvas, TRect Displayrect);
    void PrintPreviewSelectedRows(TCanvas* Canvas, TRect Displayrect);
    void PrintPreviewSelectedCols(TCanvas* Canvas, TRect Displayrect);
    // The first page of the printout drawn into DrawRect (device units).
    void PrintDraw(TCanvas* Canvas, TRect DrawRect);
    void PrintDrawRect(TCanvas* Canvas, TRect DrawRect, const TGridRect& Gridrect);
    // A point size as a font height in 0.1 mm, scaled by Fontscalefactor;
    // and back.
    int MapFontHeight(int pointsize) const;
    static int MapFontSize(int Height);
    int GetPreviewPage() const { return FPrintPageFrom; }
    void SetPreviewPage(int Value)
    {
        FPrintPageFrom = Value;
        FPrintPageTo = Value;
    }
    int GetPrintPageTo() const { return FPrintPageTo; }
    int GetPrintNrOfPages() const { return FPrint.PrintNrOfPages; }
    int GetPrintPageWidth() const { return FPrint.PrintPageWidth; }
    int GetPrintColStart() const { return FPrint.PrintColStart; }
    int GetPrintColEnd() const { return FPrint.PrintColEnd; }
    TRect GetPrintPageRect() const { return FPrint.PrintPageRect; }
    TRect GetPrevRect() const { return FPrint.PrevRect; }
    double GetFontscalefactor() const { return FPrint.Fontscalefactor; }
    bool GetIsPrintPreview() const { return FPrint.IsPrintPreview; }
    // Skips the counting pass (the page count is then unknown).
    bool GetFastPrint() const { return FPrint.FastPrint; }
    void SetFastPrint(bool Value) { FPrint.FastPrint = Value; }
    // Rotated text turns the way the printer driver expects.
    bool GetPrinterDriverFix() const { return FPrint.PrinterDriverFix; }
    void SetPrinterDriverFix(bool Value) { FPrint.PrinterDriverFix = Value; }
    // The time page headers and footers print (the local time by default).
    void SetPrintClock(std::function<TDateTime()> Now) { FPrint.Now = std::move(Now); }
    // The angle the printer's driver turns a portrait page by for landscape.
    static int PrinterLandscapeAngle();
    THTMLSettings* GetHTMLSettings() const { return FHTMLSettings.get(); }
    void SetHTMLSettings(THTMLSettings* Value) { FHTMLSettings->Assign(Value); }
    TPrintStartEvent OnPrintStart;
    TPrintPageEvent OnPrintPage;
    TPrintPageTopBottomSizeEvent OnPrintPageTopBottomSize;
    TPrintNewPageEvent OnPrintNewPage;
    TPrintPageDoneEvent OnPrintPageDone;
    TPrintCancelEvent OnPrintCancel;
    TNotifyEvent OnPrintDone;
    TFitToPageEvent OnFitToPage;
    TPrintColumnWidthEvent OnPrintSetColumnWidth;
    TPrintRowHeightEvent OnPrintSetRowHeight;
    TPrintGetPageNumEvent OnPrintGetPageNum;
    TCustomCellSizeEvent OnCustomCellSize;

private:
    friend class TGridPrintJob;
    TGridPrintState FPrint;
    std::unique_ptr<THTMLSettings> FHTMLSettings { std::make_unique<THTMLSettings>() };
    // ---- column and row moves (DedOzovedUradColumnMoves.cpp) ----
public:
    // Set by an enhanced move; the next left release clears it.
    bool GetColMoveFlg() const { return ColMoveFlg; }
    void SetColMoveFlg(bool Value) { ColMoveFlg = Value; }
    // A row moved to ToIndex would take the place of a fixed-last-row
    // footer: such a move does nothing.
    bool RowMoveOntoFooter(int ToIndex) const;

protected:
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    bool ColMoveFlg { false };
    // Set on the partner grid while it repeats this grid's move.
    bool FSyncedMove { false };

private:
    void RenumberSortIndexes(int RFrom, int RTo, int AllCols);

    // ---- the mouse wheel and middle-button panning (DedOzovedUradWheel.cpp) ----
public:
    // After a wheel step, with the rows the focus moved; the grid answers
    // Handled true.
    virtual void WheelMoved(int Delta, bool& Handled);
    bool GetPanning() const { return FPanning; }
    // The pan cursor shown (8000 to 8008), 0 while not panning.
    int GetPanCursorId() const { return FPanCursorId; }
    TPoint GetWheelPanPos() const { return FWheelPanPos; }
    static constexpr UINT_PTR PanTimerId = 999;

protected:
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    // True while a filter drop-down list is shown; a turn then belongs to
    // the list.
    bool FilterListShowing() const;

private:
    // Wheel turns, the pan timer and what starts or ends panning; true when
    // the message was consumed.
    bool WheelAndPanMessage(TMessage& Message);
    void WheelTurn(TMessage& Message);
    int WheelMoveFocus(int q, bool Down);
    bool WheelHook(bool Down, TShiftState Shift, TPoint MousePos);
    void StartPanning(TPoint ClientPos);
    void EndPanning();
    void PanStep();
    TPoint FWheelPanPos { 0, 0 };
    HCURSOR FPrevCursor { nullptr };
    HCURSOR FICursor { nullptr };
    int FPanCursorId { 0 };

    // ---- fixed-cell editing, form controls and anchors
    // (DedOzovedUradFixedEdit.cpp, GridTransEdit.cpp) ----
public:
    // Opens the header editor over a fixed cell (display column and row);
    // FilterEdit opens the filter edit row's edit.
    virtual void EditFixedCell(int ACol, int ARow, bool FilterEdit) { StartFixedCellEdit(ACol, ARow, FilterEdit); }
    TGridTransEdit* GetFixedEdit() const { return EditTrans; }
    TGridTransCombo* GetFixedComboBox() const { return ComboTrans; }
    TControlEdit* GetFormControlEdit() const { return FEditControl; }
    TControlCombo* GetFormControlCombo() const { return FComboControl; }
    // A press on an anchor or a form control of a cell's mini-HTML text
    // (display column; the control's id, type, value and rectangle in
    // client pixels from the layout, empty for a plain anchor): toggles or
    // edits the control, or follows the anchor.
    virtual void AnchorControlClick(int ACol, int ARow, const String& Anchor, const String& CtrlID,
        const String& CtrlType, const String& CtrlValue, const TRect& CtrlRect);
    // Opens the edit or combo over an EDIT, PASSWORD, MASK or COMBO control.
    virtual void StartFormControlEdit(const String& CellText, const String& CtrlType, int ARow, int RealCol, int ACol,
        const TRect& CtrlRect, const String& CtrlValue, const String& CtrlID);
    // Writes the open form control's value into the cell text and closes it.
    void StopFormControlEdit();
    void FormControlComboSelect(TObject* Sender);
    // Opens the editor of the next editable form control after ControlID in
    // the cell (display column); without one the grid takes the focus.
    void FocusNextHTMLControl(int ACol, int ARow, const String& ControlID);
    // Return (Tab false) or Tab in a form-control editor.
    void FormControlKey(bool Tab);
    bool GetCtrlEditing() const { return FCtrlEditing; }
    const String& GetCtrlID() const { return FCtrlID; }
    const String& GetCtrlType() const { return FCtrlType; }
    const String& GetCtrlDownId() const { return FCtrlDownId; }
    TPoint GetCtrlXY() const { return FCtrlXY; }
    bool GetAnchorClick() const { return FAnchorClick; }
    void SetAnchorClick(bool Value) { FAnchorClick = Value; }
    int GetFixedColEdit() const { return FFixedColEdit; }
    int GetFixedRowEdit() const { return FFixedRowEdit; }
    // Opens an http, https or mailto anchor outside the grid (the desktop's
    // handler); replaceable for tests.
    static std::function<void(const String&)> AnchorShellOpen;
    TComboChangeEvent OnComboChange;
    TControlClickEvent OnControlClick;
    TControlComboListEvent OnControlComboList;
    TControlComboSelectEvent OnControlComboSelect;
    TControlEditDoneEvent OnControlEditDone;
    TAnchorClickEvent OnAnchorClick;

private:
    void CreateFixedCellEditors();
    void FreeFixedCellEditors();
    void FixedEditChange(TObject* Sender);
    void FixedComboSelect(TObject* Sender);
    TGridTransEdit* EditTrans { nullptr };   // children of the grid
    TGridTransCombo* ComboTrans { nullptr };
    TControlEdit* FEditControl { nullptr };
    TControlCombo* FComboControl { nullptr };
    int FFixedColEdit { -1 };
    int FFixedRowEdit { -1 };
    String FCtrlID;
    String FCtrlType;
    String FCtrlDownId;
    bool FCtrlEditing { false };
    bool FAnchorClick { false };

    // ---- in-place text editor (LumInplaceEdit.cpp, DedOzovedUradTextEditor.cpp) ----
    bool FForceDecimalSeparator { false };
    TGridCharSet FValidCharSet;
    // ---- filter drop-down list, cell hints (DedOzovedUradFilterList.cpp,
    // DedOzovedUradHints.cpp) and the search panel
    // (DedOzovedUradSearchPanel.cpp) ----
public:
    // Opens the value list of display column ACol under its filter button.
    void ShowFilterDropDown(int ACol);
    // Fills, sizes, places and shows the list for the display cell (ACol,
    // ARow) from FilterList, which must be filled before.
    virtual void BuildFilterList(int ACol, int ARow);
    // Bound to both lists' OnClose: the grid takes the focus back.
    virtual void FilterListClose(TObject* Sender);
    TDropList* GetDropList() const { return FDropList; }
    TDropCheckList* GetDropCheckList() const { return FDropCheckList; }
    // The real column whose list is open, -1 for none.
    int GetFilterCol() const { return FFilterCol; }
    void SetFilterCol(int Value) { FFilterCol = Value; }
    // Fills the hint text and placement for the cell under the pointer
    // (the CM_HINTSHOW request).
    virtual void BuildCellHint(String& HintStr, THintInfo& HintInfo);
    // The base cell of the last hint and the last anchor hint.
    TPoint GetLastHintPos() const { return FLastHintPos; }
    const String& GetLastAnchorHint() const { return FLastAnchorHint; }

    TSearchPanel* GetSearchPanel() const { return FSearchPanel; }
    // Keeps the search panel along the grid's bottom edge at full client
    // width (above a horizontal scroll bar).
    void UpdateSearchPanel();
    // The panel's close, highlight and match-case actions.
    virtual void SearchPanelClose(TObject* Sender);
    virtual void SearchPanelHighLight(TObject* Sender);
    virtual void SearchPanelMatchCase(TObject* Sender);
    // Whether the search panel's highlight button is down.
    bool SearchHighLightOn() const;
    // Ends at the search panel's top while the search footer shows.
    TRect GetClientRect() override;

    std::function<void(TObject* Sender, int ARow, int ACol, String& Anchor)> OnAnchorHint;
    TNotifyEvent OnSearchFooterClose;
    TNotifyEvent OnCreatedSearchFooter;
    std::function<void(TObject* Sender, const String& Value, bool& DefaultSearch)> OnSearchEditChange;

protected:
    // The empty hook after the search footer was laid out.
    virtual void UpdateSearchFooter() { }

private:
    friend class TSearchPanel;
    void CreateFilterListsAndSearchPanel();
    // Runs the accelerator of a search panel button; True when one ran.
    bool SearchPanelDialogChar(TMessage& Message);
    // The search panel's step of EndUpdate.
    void SearchPanelEndUpdate();
    TDropList* FDropList { nullptr };
    TDropCheckList* FDropCheckList { nullptr };
    TSearchPanel* FSearchPanel { nullptr };
    TPoint FLastHintPos { -1, -1 };
    String FLastAnchorHint;
    // ---- mouse: the left press and the mouse-down step (DedOzovedUradMouseDown.cpp,
    // DedOzovedUradMouseStep.cpp) ----
public:
    using TCanClickCellEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
    using TEllipsClickEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& S)>;
    using TCanRowDragEvent = std::function<void(TObject* Sender, int FromRow, bool& Allow)>;
    using TNodeAllowEvent = std::function<void(TObject* Sender, int ARow, int ARowReal, bool& Allow)>;
    using TNodeEvent = std::function<void(TObject* Sender, int ARow, int ARowReal)>;
    using TCanShowFixedDropDownEvent = std::function<void(TObject* Sender, int ACol, bool& Allow)>;
    using TFixedDropDownClickEvent
        = std::function<void(TObject* Sender, int ACol, int ARow, TPopupMenu*& AMenu, bool& KeepFixedCellHighlighted)>;
    // Selects the item of a radio group cell (stored column) under an
    // offset from the cell's top-left corner; nothing between two items.
    void ClickRadioGroup(int ACol, int ARow, int XOffset, int YOffset);
    // Whether the fixed-cell drop-down menu may show for the column.
    virtual bool CanShowFixedDropDown(int ACol);
    // The click step the platform runs for every press it handles.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // What the press left for mouse move and release.
    bool GetDoOnClick() const { return FDoOnClick; }
    bool GetMouseKeepDown() const { return FMouseKeepDown; }
    bool GetMouseDownMove() const { return FMouseDownMove; }
    bool GetSpinUpClick() const { return FSpinUpClick; }
    bool GetSpinDnClick() const { return FSpinDnClick; }
    bool GetMouseResize() const { return FMouseResize; }
    bool GetSelectionClick() const { return FSelectionClick; }
    TPoint GetPushedCellButton() const { return FPushedCellButton; }
    bool GetFixedCellPushed() const { return FFixedCellPushed; }
    bool GetSizingFixed() const { return FSizingFixed; }
    int GetSizingFixedCol() const { return FSizingFixedCol; }
    bool GetSizingFixedR() const { return FSizingFixedR; }
    int GetSizingFixedRow() const { return FSizingFixedRow; }
    bool GetDeselectState() const { return FDeselectState; }
    bool GetMouseDownFlag() const { return FMouseDown; }
    bool GetScrollStart() const { return FScrollStart; }
    int GetMovecell() const { return Movecell; }
    TPoint GetMoveOfs() const { return TPoint(MoveOfsX, MoveOfsY); }
    TPoint GetClickedBorderCell() const { return TPoint(Colclicked, Rowclicked); }
    TPoint GetMouseDownPt() const { return FMouseDownPt; }
    int GetFltrPopPressCol() const { return FFltrPopPressCol; }
    bool GetDropDownDown() const { return FDropDownDown; }
    bool GetNoMouseLeave() const { return FNoMouseLeave; }
    TPoint GetHoverFixedCell() const { return TPoint(FHoverFixedX, FHoverFixedY); }
    int GetMouseSelectStart() const { return FMouseSelectStart; }
    // Set by mouse move when the pointer rests on a fixed column's or row's
    // border; the next press starts sizing it.
    void SetSizeFixed(bool Value) { FSizeFixed = Value; }
    void SetSizeFixedR(bool Value) { FSizeFixedR = Value; }
    TCanClickCellEvent OnCanClickCell;
    TCanRowDragEvent OnCanDisjunctRowSelectDrag;
    TNodeAllowEvent OnBeforeExpandNode;
    TNodeAllowEvent OnBeforeContractNode;
    TNodeEvent OnExpandNode;
    TNodeEvent OnContractNode;
    TCanShowFixedDropDownEvent OnCanShowFixedDropDown;
    TFixedDropDownClickEvent OnFixedDropDownClick;

protected:
    // The grid's own handling of the left button press.
    void WMLButtonDown(TMessage& Message);
    virtual void DoClickCell(int ARow, int ACol);
    virtual void CheckBoxClick(int ACol, int ARow, bool State);
    // Steps other parts of the grid complete; each does what it says here
    // until then.
    // A press while the cell selector mode is on: nothing.
    virtual void CellSelectorClick(int /*ACol*/, int /*ARow*/) { }
    // The select-all rectangle of a corner click: unchanged.
    virtual void SelectAllRect(TGridRect& /*R*/) { }
    // The anchor or mini-HTML form control under a press in a cell (stored
    // column): a link text with URLShow, or what the cell's mini-HTML has
    // at the point; kept for AnchorOrControlClick.
    virtual bool PressedAnchorOrControl(int ACol, int ARow, int X, int Y);
    // The click on the anchor or form control found there.
    virtual void AnchorOrControlClick(int ACol, int ARow, int X, int Y);
    // Validates the open editor's value before a press moves away from it;
    // False when it was refused.
    virtual bool ValidatePressedEditor();
    // Whether a validation snapshot of the current cell is wanted after a
    // press: with an OnCellValidate handler.
    virtual bool WantsValidationSnapshot() { return bool(OnCellValidate); }
    // The OLE drag that a press into the selection prepares: not started.
    virtual void PrepareOleDrag() { }
    // Ends a press at once without its release steps: capture released,
    // the platform's selecting state ended, the press flags cleared.
    void EndPressDirectly();

private:
    TShiftState PressShiftState() const;
    void FireMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
    void RunPlatformPress(TMessage& Message);
    bool PressOnResizeHandle(TMessage& Message, int ACol, int ARow);
    bool PressStartsTouchScroll(TMessage& Message, int ACol, int ARow, TShiftState Shift);
    bool PressSizesFixedLine(int X, int Y);
    bool PressOnCheckOrRadio(int ACol, int ARow, int RealCol, bool FixedClick, int X, int Y, TShiftState Shift);
    bool PressOnEditButton(int ACol, int ARow, int RealCol, int X);
    bool PressEditsDirectly(int ACol, int ARow, bool CanEdit, bool ComboHit);
    void PressOnHeaders(int ACol, int ARow, int X, int Y, TShiftState Shift);
    void PressStartsEdit(int ACol, int ARow, int OrigCol, int OrigRow, bool CanEdit, bool ComboHit, int X, int Y);
    bool StepFixedDropDown(int ACol, int ARow, int X);
    bool StepFixedCellEdit(TMouseButton Button, int ACol, int ARow, int X, int Y);
    void StepSyncGrid();
    bool FDoOnClick { false };
    bool FMouseKeepDown { false };
    TGridRect FOrigSelection { -1, -1, -1, -1 };
    TGridRect FDropSelection { -1, -1, -1, -1 };
    bool FMouseResize { false };
    int FMoveRowInd { -1 };
    bool FSelectionClick { false };
    TPoint FPushedCellButton { -1, -1 };
    TRect FPushedFixedCell {};
    bool FFixedCellPushed { false };
    int FOldKeepLeftCol { 1 };
    int Clickposx { 0 };
    int Clickposy { 0 };
    int Clickposdx { 0 };
    int Clickposdy { 0 };
    int FSizeFixedX { 0 };
    int FSizingFixedCol { -1 };
    int FSizeFixedY { 0 };
    int FSizingFixedRow { -1 };
    bool LButFlg { false };
    bool FDeselectState { false };
    int Movecell { -1 };
    int MoveOfsX { 0 };
    int MoveOfsY { 0 };
    int FMouseSelectStart { -1 };
    TPoint ptdown { 0, 0 };
    int FTopDown { 0 };
    int FLeftRight { 0 };
    UInt64 FTimeStart { 0 };
    bool FScrollStart { false };
    TPoint FMouseDownPt { -1, -1 };
    int FFltrPopPressCol { -1 };
    bool FEditStart { false };
    int FHotFixedCol { -1 };
    int FHotFixedRow { -1 };
    // The header node's glyph: every node contracted by it.
    bool FHeaderNodeContracted { false };

    // ---- mouse: moving, hover and drag feedback (DedOzovedUradMouseMove.cpp) ----
public:
    using TOleDragEvent = std::function<void(TObject* Sender, int ARow, int ACol, String& Data, bool& Allow)>;
    using TAnchorEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& Anchor)>;
    using TLineSizingEvent = std::function<void(TObject* Sender, int Index, int Size)>;
    using THoverButtonClickEvent
        = std::function<void(TObject* Sender, int ARow, THoverButtonsCollectionItem* AButton)>;
    // Every pointer move over the grid, button up or down.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // A translucent picture of the cells of ARect (display indexes) on a
    // borderless, non-activating form the grid owns; the caller shows,
    // moves and frees it.
    TForm* SelectionToForm(const TGridRect& ARect);
    // The tool bar shown above a cell (not owned; forgotten when freed).
    TRirEvozPopup* GetPopupToolBar() const { return FPopupToolBar; }
    void SetPopupToolBar(TRirEvozPopup* Value);
    // A hover button was clicked: OnHoverButtonClick for the hover row.
    virtual void HoverButtonClick(int ButtonIndex);
    // What the moves left for painting and the next press.
    TPoint GetHotFixedCell() const { return TPoint(FHotFixedCol, FHotFixedRow); }
    TPoint GetHoverHTMLCell() const { return FHoverHTMLCell; }
    int GetHoverHTMLAnchor() const { return FHoverHTMLAnchor; }
    const String& GetHoverAnchor() const { return FAnchor; }
    TPoint GetToolBarPopupCell() const { return FToolBarPopupCell; }
    int GetHoverButtonRow() const { return FHoverButtonRow; }
    TNoActiveForm* GetHoverButtonForm() const { return FButtonForm; }
    TForm* GetMoveForm() const { return MoveForm; }
    TPoint GetMoveTarget() const { return TPoint(FMoveColInd, FMoveRowInd); }
    bool GetSizeFixed() const { return FSizeFixed; }
    bool GetSizeFixedR() const { return FSizeFixedR; }
    TOleDragEvent OnOleDrag;
    TNotifyEvent OnStartBlockFocus;
    TCanSizeEvent OnColumnMove;
    TCanSizeEvent OnRowMove;
    TCanSizeEvent OnColumnMoving;
    TCanSizeEvent OnRowMoving;
    TAnchorEvent OnAnchorEnter;
    TAnchorEvent OnAnchorExit;
    TLineSizingEvent OnColumnSizing;
    TLineSizingEvent OnRowSizing;
    THoverButtonClickEvent OnHoverButtonClick;

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    virtual void DoStartBlockFocus();
    // The OLE drag of the selection once OnOleDrag allowed it (ACol the
    // real column, ScreenPt the pointer, ColumnDrag a header drag of a
    // column).
    virtual void DragSelectionOut(int ACol, int ARow, TPoint ScreenPt, bool ColumnDrag)
    {
        RunSelectionDrag(ACol, ARow, ScreenPt, ColumnDrag);
    }

private:
    // The steps of MouseMove, in their order.
    void MoveTouchScroll(int X, int Y);
    void MovePopupToolBar(int ACol, int ARow);
    void MoveHoverRow(int ARow);
    void MoveCellScrollBar(int ACol, int ARow);
    void MoveHoverButtons(int ACol, int ARow, int X, int Y);
    void MoveHoverFixedCells(int ACol, int ARow);
    void MoveHotCellButton(int ACol, int ARow, int X, int Y);
    bool MoveWholeLineDrag(int ACol, int ARow, int Y);
    void MoveFixedBorders(int ACol, int ARow, int X, int Y);
    bool OnResizeHandle(int ACol, int ARow, int X, int Y);
    void MoveOleDragStart(int ACol, int ARow, int X, int Y, bool OnHandle);
    void MoveEnhancedFeedback(int ACol, int ARow, int X, int Y);
    void MoveHeaderModes(int ACol, int ARow, int X, int Y, bool OnHandle, bool ScrolledUp, bool& CursorSet);
    void MoveLinksAndAnchors(int X, int Y, bool& CursorSet);
    void MoveSizingHint(int X, int Y);
    void ShowSizingHint(const String& Text, int ACol, int ARow);
    void BuildHoverButtons();
    void ShowHandCursor();
    TRirEvozPopup* FPopupToolBar { nullptr };
    TPoint FToolBarPopupCell { -1, -1 };
    int FHoverButtonRow { -1 };
    String FAnchor;
    TPoint FLastBalloonPos { -2, -2 };
    TGridRect FSizeSelection { -1, -1, -1, -1 };
    TForm* MoveForm { nullptr };

    // ---- mouse: the left release and the mouse-up step (DedOzovedUradMouseUp.cpp) ----
public:
    using TSelectionResizeEvent = std::function<void(TObject* Sender, TGridRect OrigSelection, TGridRect NewSelection)>;
    using TRadioMouseUpEvent = std::function<void(TObject* Sender, int ACol, int ARow, int AIdx)>;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // Set by a double click that sized a column: the next release does not
    // sort.
    void SetDblClk(bool Value) { FDblClk = Value; }
    TButtonClickEvent OnFixedCellClick;
    TEndColumnSizeEvent OnClickSort;
    TSelectionResizeEvent OnSelectionResize;
    TSelectionResizeEvent OnSelectionResized;
    TCheckBoxClickEvent OnCheckBoxMouseUp;
    TRadioMouseUpEvent OnRadioMouseUp;

protected:
    void WMLButtonUp(TMessage& Message);
    virtual void DoClickSort(int ACol);

private:
    bool ReleaseEndsTouchScroll(int X, int Y);
    void ReleasePushedButton(int ACol, int ARow, int X, int Y);
    void ReleaseClickSort(int ACol, int ARow, int X, int Y, bool Moved, TShiftState Shift);
    bool FDblClk { false };

    // ---- OLE drag and drop: the drag of the selection and the drop events
    // (DedOzovedUradOleDrag.cpp; drops land through grid/views/io/GridOleDrop)
public:
    using TOleDropEvent = std::function<void(TObject* Sender, int ARow, int ACol, const String& Data, bool& Allow)>;
    using TOleDroppedEvent = std::function<void(TObject* Sender, TGridRect ARect)>;
    using TOleDragOverEvent = std::function<void(TObject* Sender, int ARow, int ACol, bool& Allow)>;
    using TOleDropColEvent = std::function<void(TObject* Sender, int ARow, int ACol, int DropCol)>;
    using TOleDropFilesEvent = std::function<void(TObject* Sender, int ARow, int ACol, TStrings* Files)>;
    using TOleDragStartEvent = std::function<void(TObject* Sender, int ARow, int ACol)>;
    using TOleDragStopEvent = std::function<void(TObject* Sender, int OLEEffect)>;
    // The drag of the selection once it is allowed: a drop source for the
    // grid, OnOleDragStart, then a column drag (ColumnDrag) or a drag of the
    // selected text and cells; after a move the source cells are removed or
    // cleared; OnOleDragStop unless cancelled. ACol is a real column,
    // ScreenPt the pointer.
    void RunSelectionDrag(int ACol, int ARow, TPoint ScreenPt, bool ColumnDrag);
    // A column dragged out of a column-picker list box.
    void OleColumnDragStart(int ACol, int AIndex, TCustomListBox* AList);
    TOleDropEvent OnOleDrop;
    TOleDroppedEvent OnOleDropped;
    TOleDragOverEvent OnOleDragOver;
    TOleDropColEvent OnOleDropCol;
    TOleDropEvent OnOleDropFile;
    TOleDropFilesEvent OnOleDropFiles;
    TOleDropEvent OnOleDropURL;
    TOleDragStartEvent OnOleDragStart;
    TOleDragStopEvent OnOleDragStop;
    // A name given while the grid is newly placed in a form designer, before
    // it has a window, makes its window's creation take the form's style.
    void SetName(const String& NewName) override;
    bool GetStyleFromDesignerForm() const { return FStyleFromDesignerForm; }

private:
    friend class TGridDropTarget;
    friend class TGridDropSource;
    int FOleDragCol { -1 };
    int FOleDragIndex { -1 };
    TCustomListBox* FOleDragList { nullptr };
    bool FStyleFromDesignerForm { false };
    // ---- balloon window, style colours, data binder and small services
    // (DedOzovedUradServices.cpp) ----
public:
    HWND GetBalloonToolTip() const { return FHToolTip; }
    bool GetBalloonCreated() const { return FBalloonCreated; }
    bool GetUseVCLStyles() const { return FUseVCLStyles; }
    bool GetUseScrollStyles() const { return FUseScrollStyles; }
    TCanvas* GetFooterCanvas();
    int GetOleDragCol() const { return FOleDragCol; }
    int GetOleDragIndex() const { return FOleDragIndex; }
    TCustomListBox* GetOleDragList() const { return FOleDragList; }
    // The data binder: counts and cells of the data area, from 0.
    void SetDataColumnCount(int N) override;
    void SetDataRowCount(int N) override;
    int GetDataRowCount() override;
    void ClearData() override;
    void SetDataCell(int ACol, int ARow, const String& Value) override;
    void SetDataHeader(int ACol, const String& Value) override;
    // Handlers the grid attaches to its editors: the unit edit's unit
    // change, the drop-down editors' header and footer buttons, the memo
    // drop-down's text change.
    void UnitChanged(TObject* Sender, const String& NewUnit);
    void DropDownHeaderButtonClick(TObject* Sender, int ButtonIndex);
    void DropDownFooterButtonClick(TObject* Sender, int ButtonIndex);
    void MemoDropDownChange(TStrings* Lines);

private:
    void ResetDefaultColors();
    // The tones reach the grid's own editors that exist: the buttons of the
    // edit-button, combo and spin editors, the combo's border.
    void ToneGridEditors(const TColorTones& ATones);
    HWND FHToolTip { nullptr };
    bool FBalloonCreated { false };
    bool FUseVCLStyles { false };
    bool FUseScrollStyles { false };
    // ---- edit links (DedOzovedUradEditLink.cpp) ----
public:
    // The link that edits edCustom cells; the grid does not own it.
    TEditLink* GetEditLink() const { return FEditLink; }
    void SetEditLink(TEditLink* Value);
    // The mask of the text editor: EditMask, then OnGetEditMask may change it.
    const String& GetEditMask() const { return FEditMask; }
    void SetEditMask(const String& Value) { FEditMask = Value; }
    String GetEditMask(int ACol, int ARow) override;

private:
    friend class TEditLink;
    // edCustom's steps of ShowEditorControl and StoreEditorValue.
    void ShowEditLink(const TRect& R, TColor EditorColor);
    void StoreEditLinkValue(int RCol, int ARow);
    TEditLink* FEditLink { nullptr };
    String FEditMask;
    // ---- mouse: the right button and the double click (DedOzovedUradMouseClicks.cpp) ----
public:
    // Fires also for a press outside the cells, with -1 indices.
    TClickCellEvent OnRightClickCell;
    bool GetDblClk() const { return FDblClk; }
    using TShowFilterEditEvent = std::function<void(TObject* Sender, int ACol, int AIndex, bool& DoShow)>;
    // Whether the filter-type menu offers the type AIndex for the column.
    TShowFilterEditEvent OnShowFilterEdit;
    // The end of an enhanced column or row move.
    TNotifyEvent OnEndBlockFocus;
    // The filter-edit row's type menu, made on first use.
    TPopupMenu* GetFilterTypeMenu() const { return FFltrPopup; }
    // The anchor and form control the last press found in a cell.
    const String& GetPressedAnchor() const { return FPressAnchor; }
    const String& GetPressedControlID() const { return FPressCtrlID; }

protected:
    void WMRButtonDown(TMessage& Message);
    void WMRButtonUp(TMessage& Message);
    void WMLButtonDblClk(TMessage& Message);

private:
    // A left click at (X, Y) through the mouse-down and mouse-up steps.
    void SimulateLeftClick(int X, int Y);
    // Runs Action with the left column kept, for row selection under
    // Navigation.KeepHorizScroll.
    template <typename F> void KeepingLeftCol(F Action);
    void RightPressSelects(int ACol, int ARow, int X, int Y, TShiftState Shift, bool WasSelected);
    // The header border auto-size of a double click; True when it ends the
    // handler.
    bool DblClickSizesColumn(TMessage& Message, int ACol, int ARow, int X);
    void DblClickSizeColumn(int ACol);
    // The release's steps beyond the click sort.
    bool ReleaseOpensFilterTypeMenu(int ACol, int ARow, int X, int Y);
    void CloseOpenFilterList();
    void ReleaseSelectsGroup(int ACol, int ARow);
    void ReleaseDisjunctRows(int ACol, int ARow, TShiftState Shift, bool& RowDeselected);
    // Around a click sort: the auto-merged columns are split before and
    // merged again after.
    void SplitAllColumnCells();
    void MergeListedColumns();
    virtual void DoEndBlockFocus();
    TPopupMenu* FFltrPopup { nullptr };
    String FPressAnchor;
    String FPressCtrlID;
    String FPressCtrlType;
    String FPressCtrlValue;
    TRect FPressCtrlRect {};
};
