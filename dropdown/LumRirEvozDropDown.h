#pragma once
// The grid drop-down: a drop-down edit whose window holds a full string
// grid. The user picks a row; the edit then shows that row's cell in the
// lookup column. Typing completes from the lookup column and looks the text
// up in the grid, or narrows the grid down to the matching rows.
//
// With UseItems the rows come from Items and every data row keeps its item
// index in the object of its column 0, so a sorted grid still names its
// items; without it the application fills the grid and ItemIndex is the
// data-row index.
//
// The multi-column drop-down has classes of the same names over a plain
// grid; this unit's live in the namespace DuzEzirezUderArirOver.

#include <memory>

#include "dropdown/LumCustomDropDown.h"
#include "graphics/LumOwnedCollection.h"
#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDropDownSizing.h"
#include "platform/rtl/StringList.h"

class TCustomImageList;

namespace DuzEzirezUderArirOver {

enum TColumnType { ctText, ctImage };
QT_ENUM(TColumnType, ctText, ctImage)
enum TLookupMethod { lmLookup, lmNarrowDown, lmNone };
QT_ENUM(TLookupMethod, lmLookup, lmNarrowDown, lmNone)
enum TDropDownStyle { dsDropDown, dsDropDownList };
QT_ENUM(TDropDownStyle, dsDropDown, dsDropDownList)
enum TGridSorting { gsNone, gsSingleColumn, gsMultiColumn };
QT_ENUM(TGridSorting, gsNone, gsSingleColumn, gsMultiColumn)

class TCustomRirEvozDropDown;

using TDrawCellEvent = std::function<void(TObject* Sender, int Column, int Row, TCanvas* ACanvas, TRect ARect)>;
using TGetCellPropEvent = std::function<void(TObject* Sender, int Column, int Row, TFont* AFont, TColor& AColor)>;
using TGetCellTextEvent = std::function<void(TObject* Sender, int Column, int Row, String& Text)>;

class TDropDownColumn : public TCollectionItem {
    QT_CLASS(TDropDownColumn, TCollectionItem)
public:
    explicit TDropDownColumn(TCollection* Collection = nullptr);
    ~TDropDownColumn() override;
    void Assign(TPersistent* Source) override;

    bool GetWordwrap() const { return FWordwrap; }
    void SetWordwrap(bool Value) { FWordwrap = Value; }
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value) { FWidth = Value; }
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value) { FAutoSize = Value; }
    const String& GetHeader() const { return FHeader; }
    void SetHeader(const String& Value) { FHeader = Value; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value) { FAlignment = Value; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { FColor = Value; }
    TColumnType GetColumnType() const { return FColumnType; }
    void SetColumnType(TColumnType Value) { FColumnType = Value; }
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    bool GetEllipsis() const { return FEllipsis; }
    void SetEllipsis(bool Value) { FEllipsis = Value; }

private:
    bool FWordwrap { false };
    int FWidth { 80 };
    bool FAutoSize { false };
    String FHeader;
    TAlignment FAlignment { taLeftJustify };
    TColor FColor { TColor(0xFFFFFF) };
    TColumnType FColumnType { ctText };
    std::unique_ptr<TFont> FFont;
    bool FEllipsis { false };
};

class TDropDownColumns : public TLumOwnedCollection<TDropDownColumn> {
    QT_CLASS(TDropDownColumns, TOwnedCollection)
public:
    explicit TDropDownColumns(TPersistent* AOwner) : TLumOwnedCollection<TDropDownColumn>(AOwner) { }
    TDropDownColumn* Add() { return static_cast<TDropDownColumn*>(TCollection::Add()); }
    TDropDownColumn* Insert(int Index) { return static_cast<TDropDownColumn*>(TCollection::Insert(Index)); }
    TDropDownColumn* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TDropDownColumn* Value) { GetItem(Index)->Assign(Value); }
    TNotifyEvent OnChange;
};

class TDropDownItem : public TCollectionItem {
    QT_CLASS(TDropDownItem, TCollectionItem)
public:
    explicit TDropDownItem(TCollection* Collection = nullptr);
    ~TDropDownItem() override;
    void Assign(TPersistent* Source) override;

    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value) { FImageIndex = Value; }
    // One line per column.
    TStrings* GetText() const { return FText.get(); }
    void SetText(TStrings* Value) { FText->Assign(Value); }
    // Line Column, or empty when the item has fewer lines.
    String Line(int Column) const;

private:
    int FImageIndex { -1 };
    std::unique_ptr<TStringList> FText;
};

class TDropDownItems : public TLumOwnedCollection<TDropDownItem> {
    QT_CLASS(TDropDownItems, TOwnedCollection)
public:
    explicit TDropDownItems(TPersistent* AOwner) : TLumOwnedCollection<TDropDownItem>(AOwner) { }
    TDropDownItem* Add() { return static_cast<TDropDownItem*>(TCollection::Add()); }
    TDropDownItem* Insert(int Index) { return static_cast<TDropDownItem*>(TCollection::Insert(Index)); }
    TDropDownItem* GetItem(int Index) const { return TLumOwnedCollection::GetItem(Index); }
    void SetItem(int Index, TDropDownItem* Value) { GetItem(Index)->Assign(Value); }
    TNotifyEvent OnChange;
};

// The grid of the drop-down window: a header row, then one row per item.
class DOdoZedAvud : public TDedOzovedUrad {
    QT_CLASS(DOdoZedAvud, TDedOzovedUrad)
public:
    explicit DOdoZedAvud(TComponent* AOwner = nullptr);
    ~DOdoZedAvud() override;

    void SetLumDropDown(TCustomRirEvozDropDown* Value) { FLumDropDown = Value; }
    TCustomRirEvozDropDown* GetLumDropDown() const { return FLumDropDown; }
    // Takes the drop-down's columns, sizes and options; run at each opening.
    void InitFromDropDown(TCustomRirEvozDropDown* D);
    // Headers into row 0, one row per item; column 0's object is the item index.
    void LoadItems();
    void AutoSizeItemColumns();
    void AutoSizeColumn(int Index);
    void SizeWordWrapRows();
    int GetOptimalWidth();

    TDropDownColumns* GetColumns() const { return FColumns.get(); }
    void SetColumns(TDropDownColumns* Value) { FColumns->Assign(Value); }
    TColor GetHeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value) { FHeaderColor = Value; }
    TColor GetHeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor Value) { FHeaderColorTo = Value; }
    TColor GetLineColor() const { return FLineColor; }
    void SetLineColor(TColor Value) { FLineColor = Value; }
    TColor GetFixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor Value) { FFixedLineColor = Value; }
    int GetHeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int Value) { FHeaderHeight = Value; }
    TFont* GetHeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(TFont* Value) { FHeaderFont->Assign(Value); }
    // Stored only: the string grid draws its own lines.
    int GetGridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);
    TCustomImageList* GetImages() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    bool GetConfirmSelection() const { return FConfirmSelection; }
    void SetConfirmSelection(bool Value) { FConfirmSelection = Value; }

    TNotifyEvent OnSelect;
    // Kept for compatibility; the string grid's own events do their work.
    TDrawCellEvent OnDrawCell;
    TGetCellPropEvent OnGetCellProp;
    TGetCellTextEvent OnGetCellText;

    virtual void DoSelect();
    void Dispatch(TMessage& Message) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool InDropDownWindow() const;

    TCustomRirEvozDropDown* FLumDropDown { nullptr };
    std::unique_ptr<TDropDownColumns> FColumns;
    TColor FHeaderColor { TColor(0xFFFFFF) };
    TColor FHeaderColorTo { TColor(0x808080) };
    TColor FLineColor { TColor(0x808080) };
    TCustomImageList* FImages { nullptr };
    int FHeaderHeight { 25 };
    std::unique_ptr<TFont> FHeaderFont;
    TColor FFixedLineColor { TColor(0x808080) };
    int FGridLineWidth { 1 };
    bool FConfirmSelection { false };
};

// The embedded grid's events the drop-down re-publishes as OnGrid<Name>,
// handed on with the grid's arguments (the Sender is the grid).
#define RIREVOZ_GRID_EVENTS(X)                                                                                          \
    X(AnchorClick, OnAnchorClick) X(AnchorEnter, OnAnchorEnter) X(AnchorExit, OnAnchorExit)                           \
    X(AnchorHint, OnAnchorHint) X(ButtonClick, OnButtonClick) X(ColumnSize, OnColumnSize)                             \
    X(ColumnSizing, OnColumnSizing) X(EndColumnSize, OnEndColumnSize) X(RowSize, OnRowSize)                           \
    X(RowSizing, OnRowSizing) X(EndRowSize, OnEndRowSize) X(RowMove, OnRowMove) X(RowMoving, OnRowMoving)             \
    X(RowMoved, OnRowMoved) X(ColumnMove, OnColumnMove) X(ColumnMoving, OnColumnMoving)                               \
    X(ColumnMoved, OnColumnMoved) X(CustomCellDraw, OnCustomCellDraw) X(CustomCellBkgDraw, OnCustomCellBkgDraw)       \
    X(CellBalloon, OnCellBalloon) X(GetCellGradient, OnGetCellGradient) X(GetEditorType, OnGetEditorType)             \
    X(CanEditCell, OnCanEditCell) X(EllipsClick, OnEllipsClick) X(GetDiplText, OnGetDisplText)                        \
    X(GetFormat, OnGetFormat) X(Hint, OnGridHint) X(OfficeHint, OnOfficeHint) X(MouseMove, OnMouseMove)               \
    X(MouseDown, OnMouseDown) X(MouseUp, OnMouseUp) X(RightClickCell, OnRightClickCell)                               \
    X(ScrollHint, OnScrollHint) X(SearchEditChange, OnSearchEditChange) X(AutoAddRow, OnAutoAddRow)                   \
    X(InsertRow, OnAutoInsertRow) X(InsertCol, OnAutoInsertCol) X(DeleteRow, OnAutoDeleteRow)                         \
    X(CanAddRow, OnCanAddRow) X(CanInsertRow, OnCanInsertRow) X(CanDeleteRow, OnCanDeleteRow)                         \
    X(CheckBoxClick, OnCheckBoxClick)

class TCustomRirEvozDropDown : public TLumCustomDropDown, public IGridDropDownSizing {
    QT_CLASS(TCustomRirEvozDropDown, TLumCustomDropDown)
public:
    explicit TCustomRirEvozDropDown(TComponent* AOwner = nullptr);
    ~TCustomRirEvozDropDown() override;

    // Does nothing; EndUpdate rebuilds the lookup list.
    void BeginUpdate() { }
    void EndUpdate() { UpdateLookupItems(); }
    void UpdateLookupItems();
    // The first row (an item index with UseItems, else a grid row) whose
    // lookup-column text starts with S; an empty S matches nothing.
    bool FindLookupMatch(const String& S, String& Found, int& Row);

    int GetItemIndex() const { return FItemIndex; }
    void SetItemIndex(int Value);
    int GetItemCount();
    int GetRowCount() const { return FItems->GetCount(); }
    // The item index a grid row holds, and the first data row holding an
    // item (the current ItemIndex when there is none).
    int ItemIndexOfRow(int Row);
    int RowOfItemIndex(int Index);
    // The incremental lookup of a typed character: a grid row, an item
    // index or -1.
    int LookupChar(Char C);

    void SelectFirstRow();
    void SelectLastRow();
    void SelectNextRow();
    void SelectPreviousRow();
    void SelectPageDown();
    void SelectPageUp();
    // Stretches the grid's columns over the window width.
    void SizeColumnsToDropDown();

    DOdoZedAvud* GetColGrid() const { return FLumColGrid; }
    TDropDownItems* GetItems() const { return FItems.get(); }
    void SetItems(TDropDownItems* Value) { FItems->Assign(Value); }
    TDropDownColumns* GetColumns() const { return FColumns.get(); }
    void SetColumns(TDropDownColumns* Value) { FColumns->Assign(Value); }
    bool GetUseItems() const { return FUseItems; }
    void SetUseItems(bool Value) { FUseItems = Value; }
    int GetLookupColumn() const { return FLookupColumn; }
    void SetLookupColumn(int Value) { FLookupColumn = Value; }
    TLookupMethod GetLookupMethod() const { return FLookupMethod; }
    void SetLookupMethod(TLookupMethod Value) { FLookupMethod = Value; }
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) { FCaseSensitive = Value; }
    bool GetMatchCase() const { return FMatchCase; }
    void SetMatchCase(bool Value) { FMatchCase = Value; }
    bool GetMatchStart() const { return FMatchStart; }
    void SetMatchStart(bool Value) { FMatchStart = Value; }
    TDropDownStyle GetStyle() const { return FStyle; }
    void SetStyle(TDropDownStyle Value);
    TGridSorting GetSorting() const { return FSorting; }
    void SetSorting(TGridSorting Value) { FSorting = Value; }
    bool GetGridEditable() const { return FGridEditable; }
    void SetGridEditable(bool Value) { FGridEditable = Value; }
    bool GetRowSelect() const { return FRowSelect; }
    void SetRowSelect(bool Value) { FRowSelect = Value; }
    bool GetColumnSizing() const { return FColumnSizing; }
    void SetColumnSizing(bool Value) { FColumnSizing = Value; }
    bool GetColumnMoving() const { return FColumnMoving; }
    void SetColumnMoving(bool Value) { FColumnMoving = Value; }
    bool GetRowSizing() const { return FRowSizing; }
    void SetRowSizing(bool Value) { FRowSizing = Value; }
    bool GetRowMoving() const { return FRowMoving; }
    void SetRowMoving(bool Value) { FRowMoving = Value; }
    bool GetAutoShowDropDown() const { return FAutoShowDropDown; }
    void SetAutoShowDropDown(bool Value) { FAutoShowDropDown = Value; }
    bool GetAutoSizeColumns() const { return FAutoSizeColumns; }
    void SetAutoSizeColumns(bool Value) { FAutoSizeColumns = Value; }
    bool GetHoverRow() const { return FHoverRow; }
    void SetHoverRow(bool Value) { FHoverRow = Value; }
    TColor GetHoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor Value) { FHoverRowColor = Value; }
    TColor GetHoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor Value) { FHoverRowColorTo = Value; }
    TColor GetHeaderColor() const { return FHeaderColor; }
    void SetHeaderColor(TColor Value) { FHeaderColor = Value; }
    TColor GetHeaderColorTo() const { return FHeaderColorTo; }
    void SetHeaderColorTo(TColor Value) { FHeaderColorTo = Value; }
    TColor GetLineColor() const { return FLineColor; }
    void SetLineColor(TColor Value) { FLineColor = Value; }
    TColor GetFixedLineColor() const { return FFixedLineColor; }
    void SetFixedLineColor(TColor Value) { FFixedLineColor = Value; }
    int GetHeaderHeight() const { return FHeaderHeight; }
    void SetHeaderHeight(int Value) { FHeaderHeight = Value; }
    TFont* GetHeaderFont() const { return FHeaderFont.get(); }
    void SetHeaderFont(TFont* Value) { FHeaderFont->Assign(Value); }
    bool GetDropDownAutoWidth() const { return FDropDownAutoWidth; }
    void SetDropDownAutoWidth(bool Value) { FDropDownAutoWidth = Value; }
    bool GetColumnSizeWithDropDown() const override { return FColumnSizeWithDropDown; }
    void SetColumnSizeWithDropDown(bool Value) { FColumnSizeWithDropDown = Value; }
    TColor GetSelectionTextColor() const { return FSelectionTextColor; }
    void SetSelectionTextColor(TColor Value) { FSelectionTextColor = Value; }
    int GetDropDownRowHeight() const { return FDropDownRowHeight; }
    void SetDropDownRowHeight(int Value) { FDropDownRowHeight = Value; }
    TCustomImageList* GetGridImages() const { return FGridImages; }
    void SetGridImages(TCustomImageList* Value);
    ROZEVizer GetUIStyle() const { return FLumStyle; }
    void SetUIStyle(ROZEVizer Value) { SetComponentStyle(Value); }
    // Copied into the grid at each opening.
    TSearchFooter* GetSearchFooter() const { return FSearchFooter.get(); }
    void SetSearchFooter(TSearchFooter* Value) { FSearchFooter->Assign(Value); }
    TBands* GetBands() const { return FBands.get(); }
    void SetBands(TBands* Value) { FBands->Assign(Value); }
    TNavigation* GetNavigation() const { return FNavigation.get(); }
    void SetNavigation(TNavigation* Value) { FNavigation->Assign(Value); }
    TMouseActions* GetMouseActions() const { return FMouseActions.get(); }
    void SetMouseActions(TMouseActions* Value) { FMouseActions->Assign(Value); }
    const TStringList* GetLookupItems() const { return FLookupItems.get(); }
    const String& GetLookupEntry() const { return FLookupEntry; }

    TNotifyEvent OnSelect;
    TSelectCellEvent OnGridSelectCell;
    TEndColumnSizeEvent OnGridClickSort;
    TKeyEvent OnGridKeyDown;
    TKeyEvent OnGridKeyUp;
    TKeyPressEvent OnGridKeyPress;
#define RIREVOZ_GRID_EVENT_FIELD(Name, GridEvent) decltype(TDedOzovedUrad::GridEvent) OnGrid##Name;
    RIREVOZ_GRID_EVENTS(RIREVOZ_GRID_EVENT_FIELD)
#undef RIREVOZ_GRID_EVENT_FIELD
    // The column's alignment, colour and font come first; then the handler.
    decltype(TDedOzovedUrad::OnGetAlignment) OnGridGetAlignment;
    decltype(TDedOzovedUrad::OnGetCellColor) OnGridGetCellColor;
    // The format is cleared first, also without a handler.
    decltype(TDedOzovedUrad::OnGetFloatFormat) OnGridGetFloatFormat;
    // Sender is the drop-down.
    TNotifyEvent OnGridTopLeftChanged;

    virtual TDropDownItems* CreateItems(TPersistent* AOwner) { return new TDropDownItems(AOwner); }
    virtual void DoSelect();

    int GetVersionNr() override { return 0x06020203; }
    void CreateDropDownForm() override;
    void BeforeDropDown() override;
    void AdjustDropDownHeight(int& H) override;
    void DoShowDropDown() override;
    void PlaceDropDownControl() override;
    void UpdateDropDownSize() override;
    void DoHideDropDown(bool Cancel) override;
    void ControlKeyDown(WORD& Key, TShiftState Shift) override;
    void ControlKeyUp(WORD& Key, TShiftState Shift) override;
    void ControlKeyPress(Char& Key) override;
    void DropDownResized() override;
    void DoWheelDown() override;
    void DoWheelUp() override;
    void SetSelectionColorStyle(TSelectionColorStyle Style) override;
    void SetComponentStyle(ROZEVizer AStyle) override;
    void Dispatch(TMessage& Message) override;

    // The grid's cell editor calls these too.
    void Change() override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;
    void KeyUp(WORD& Key, TShiftState Shift) override;

    void GridSelectCell(int ACol, int ARow, bool& CanSelect);
    void GridSelect(TObject* Sender);
    void GridCanSort(int ACol, bool& DoSort);
    void GridClickSort(int ACol);

protected:
    void Loaded() override;
    void DoEnter() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    String Cased(const String& S, bool Exact) const;
    void PutText(const String& Value);
    String LookupText(int Item) const;
    // Routes the embedded grid's events to the OnGrid events.
    void RouteGridEvents();
    // Moves the grid's current row, keeping it a data row.
    void GridRow(int Row);

    bool FCaseSensitive { false };
    bool FColumnSizing { false };
    bool FColumnMoving { false };
    int FLookupColumn { 0 };
    int FLookupIndex { -1 };
    TLookupMethod FLookupMethod { lmLookup };
    TColor FHeaderColorTo { TColor(0x808080) };
    TColor FHeaderColor { TColor(0xFFFFFF) };
    TColor FLineColor { TColor(0xF1EDEB) };
    bool FUseItems { true };
    std::unique_ptr<TDropDownItems> FItems;
    std::unique_ptr<TDropDownColumns> FColumns;
    int FItemIndex { -1 };
    int FHeaderHeight { 25 };
    std::unique_ptr<TFont> FHeaderFont;
    DOdoZedAvud* FLumColGrid { nullptr };
    TColor FFixedLineColor { TColor(0xD1BBA4) };
    int FSelRow { 0 };
    bool FWorkMode { true };
    bool FRowSelect { true };
    std::unique_ptr<TStringList> FLookupItems;
    bool FMatchCase { false };
    bool FMatchStart { true };
    bool FItemChange { false };
    bool FFirstDropDown { false };
    int FItemIdx { -1 };
    int FItemSel { 0 };
    bool FInitializing { false };
    int FOldItemIndex { -1 };
    bool FDropDownAutoWidth { true };
    bool FColumnSizeWithDropDown { true };
    TColor FSelectionTextColor { TColor(0) };
    int FDropDownRowHeight { 22 };
    int FTempItemIndex { -1 };
    TDropDownStyle FStyle { dsDropDown };
    String FLookupEntry;
    bool FHoverRow { false };
    TColor FHoverRowColor { clInfoBk };
    TColor FHoverRowColorTo { clNone };
    TGridSorting FSorting { gsNone };
    bool FGridEditable { false };
    TCustomImageList* FGridImages { nullptr };
    bool FRowMoving { false };
    bool FRowSizing { false };
    bool FAutoShowDropDown { false };
    bool FAutoSizeColumns { true };
    bool FNodeCell { false };
    ROZEVizer FLumStyle { tsCustom };
    bool FPuttingText { false };
    std::unique_ptr<TSearchFooter> FSearchFooter;
    std::unique_ptr<TBands> FBands;
    std::unique_ptr<TNavigation> FNavigation;
    std::unique_ptr<TMouseActions> FMouseActions;
};

class TLumRirEvozDropDown : public TCustomRirEvozDropDown {
    QT_CLASS(TLumRirEvozDropDown, TCustomRirEvozDropDown)
public:
    using TCustomRirEvozDropDown::TCustomRirEvozDropDown;
};

} // namespace DuzEzirezUderArirOver
