#pragma once
// The base grid: the cell model over the platform string grid. Cell text
// stays in the platform's sparse store; the object slot of a cell holds a
// TCellProperties made the first time the cell needs one (colours, font,
// alignment, editor kind, merge span, the user's object, a cell graphic).
// Merged areas live entirely in those properties (BaseGridMerge.cpp).
//
// Ownership: the grid owns every TCellProperties in its slots and frees
// them explicitly (FreeCellProperties, FreeCellPropertiesRange, the
// destructor). Slots are plain pointers because row operations copy them
// from one row to another for a while, so no slot is a unique owner.
// A properties object owns its graphic object only when the grid made it
// (GetOwnsGraphicObject); a graphic object handed in stays its giver's, and
// so does the user's object.

#include <climits>
#include <memory>

#include "platform/vcl/Grids.h"
#include "platform/vcl/StdCtrls.h"

class TBaseGrid;
class TRirEvozUndoRedo;

enum TVAlignment { vtaTop, vtaCenter, vtaBottom };
QT_ENUM(TVAlignment, vtaTop, vtaCenter, vtaBottom)
enum TCellGradientDirection { GradientVertical, GradientHorizontal };
QT_ENUM(TCellGradientDirection, GradientVertical, GradientHorizontal)
enum TColumnCalcType { acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV };
QT_ENUM(TColumnCalcType, acNONE, acSUM, acAVG, acCOUNT, acMIN, acMAX, acSPREAD, acCUSTOM, acDISTINCT, acSTDDEV)

// The editor kinds of a cell.
enum TEditorType {
    edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit, edDateEditUpDown, edTimeEdit,
    edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital, edMixedCase, edPassword, edUnitEditBtn,
    edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit, edNumericEditBtn, edFloatEditBtn,
    edCustom, edRichEdit, edNone, edDateTimeEdit, edValidChars, edTrackbarDropDown, edMemoDropDown,
    edCalculatorDropDown, edTimePickerDropDown, edDetailDropDown, edGridDropDown, edColorPickerDropDown,
    edImagePickerDropDown, edRirEvozDropDown, edControlDropDown, edPositiveFloat, edNumericUnitEditBtn,
    edFloatUnitEditBtn, edMaskEditBtn
};
QT_ENUM(TEditorType, edNormal, edSpinEdit, edComboEdit, edComboList, edEditBtn, edCheckBox, edDateEdit,
    edDateEditUpDown, edTimeEdit, edButton, edDataCheckBox, edNumeric, edPositiveNumeric, edFloat, edCapital,
    edMixedCase, edPassword, edUnitEditBtn, edLowerCase, edUpperCase, edFloatSpinEdit, edTimeSpinEdit, edDateSpinEdit,
    edNumericEditBtn, edFloatEditBtn, edCustom, edRichEdit, edNone, edDateTimeEdit, edValidChars, edTrackbarDropDown,
    edMemoDropDown, edCalculatorDropDown, edTimePickerDropDown, edDetailDropDown, edGridDropDown,
    edColorPickerDropDown, edImagePickerDropDown, edRirEvozDropDown, edControlDropDown, edPositiveFloat,
    edNumericUnitEditBtn, edFloatUnitEditBtn, edMaskEditBtn)

// The kinds the grid's text editor edits.
constexpr bool IsTextEditorKind(TEditorType Kind)
{
    switch (Kind) {
    case edNormal: case edNumeric: case edPositiveNumeric: case edFloat: case edCapital: case edMixedCase:
    case edPassword: case edLowerCase: case edUpperCase: case edValidChars: case edPositiveFloat:
        return true;
    default:
        return false;
    }
}

enum TGridSelectionStyle { ssDefault, ssVista, ssWin7, ssOffice2007 };
QT_ENUM(TGridSelectionStyle, ssDefault, ssVista, ssWin7, ssOffice2007)
enum THoverRowCell { hcNormal, hcFixed, hcSelected, hcGroupHeader, hcGroupSummary };
QT_ENUM(THoverRowCell, hcNormal, hcFixed, hcSelected, hcGroupHeader, hcGroupSummary)
using THoverRowCells = Set<THoverRowCell>;

using TGetDisplTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TGetDisplWideTextEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;

// Column and row indexes as shown and as stored. They coincide until the
// string grid hides lines; the distinct types keep one from being passed
// for the other where the two meet.
template<class Tag>
struct TGridIndex {
    int Value { 0 };
    constexpr TGridIndex() = default;
    constexpr explicit TGridIndex(int v) : Value(v) { }
    bool operator==(const TGridIndex&) const = default;
};
struct TDisplayColTag;
struct TRealColTag;
struct TDisplayRowTag;
struct TRealRowTag;
using TDisplayCol = TGridIndex<TDisplayColTag>;
using TRealCol = TGridIndex<TRealColTag>;
using TDisplayRow = TGridIndex<TDisplayRowTag>;
using TRealRow = TGridIndex<TRealRowTag>;

class TCellProperties : public TPersistent {
    QT_CLASS(TCellProperties, TPersistent)
public:
    TCellProperties(TBaseGrid* AOwner = nullptr, int ACol = 0, int ARow = 0);

    TBaseGrid* GetOwnerGrid() const { return FOwnerGrid; }
    int GetOwnerCol() const { return FOwnerCol; }
    void SetOwnerCol(int v) { FOwnerCol = v; }
    int GetOwnerRow() const { return FOwnerRow; }
    void SetOwnerRow(int v) { FOwnerRow = v; }
    TObject* GetCellObject() const { return FObject; }
    void SetCellObject(TObject* v) { FObject = v; }
    TObject* GetGraphicObject() const { return FGraphicObject; }
    // Owned: the grid made the object and frees it with the properties.
    void SetGraphicObject(TObject* v, bool Owned = false)
    {
        FGraphicObject = v;
        FOwnsGraphic = v && Owned;
    }
    bool GetOwnsGraphicObject() const { return FOwnsGraphic; }
    TBrushStyle GetBrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle v) { FBrushStyle = v; }
    TColor GetBrushColor() const { return FBrushColor; }
    void SetBrushColor(TColor v);
    TColor GetBrushColorTo() const { return FBrushColorTo; }
    void SetBrushColorTo(TColor v);
    int GetFontSize() const { return FFontHeight; }
    void SetFontSize(int v) { FFontHeight = v; }
    TColor GetFontColor() const { return FFontColor; }
    void SetFontColor(TColor v) { FFontColor = v; }
    TFontStyles GetFontStyle() const { return FFontStyle; }
    void SetFontStyle(TFontStyles v) { FFontStyle = v; }
    // The Y span as read: 0 while the area is collapsed.
    int GetCellSpanY() const { return FMergeCollaps ? 0 : FCellSpanY; }
    void SetCellSpanY(int v) { FCellSpanY = v; }
    int GetCellSpanX() const { return FCellSpanX; }
    void SetCellSpanX(int v) { FCellSpanX = v; }
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v) { FBorderWidth = v; }
    TColor GetBorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v) { FBorderColor = v; }
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TVAlignment GetVAlignment() const { return FVAlignment; }
    void SetVAlignment(TVAlignment v);
    int GetPaintID() const { return FPaintID; }
    void SetPaintID(int v) { FPaintID = v; }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool GetIsBaseCell() const { return FIsBaseCell; }
    void SetIsBaseCell(bool v) { FIsBaseCell = v; }
    TColumnCalcType GetCalcType() const { return FCalcType; }
    void SetCalcType(TColumnCalcType v) { FCalcType = v; }
    TObject* GetCalcObject() const { return FCalcObject; }
    void SetCalcObject(TObject* v) { FCalcObject = v; }
    int GetNodeLevel() const { return FNodeLevel; }
    void SetNodeLevel(int v) { FNodeLevel = v; }
    TEditorType GetEditor() const { return FEditor; }
    void SetEditor(TEditorType v) { FEditor = v; }
    const String& GetFontName() const { return FFontName; }
    void SetFontName(const String& v) { FFontName = v; }
    bool GetReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    TCellGradientDirection GetGradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TCellGradientDirection v) { FGradientDirection = v; }
    TControl* GetControl() const { return FControl; }
    void SetControl(TControl* v) { FControl = v; }
    bool GetMergeCollaps() const { return FMergeCollaps; }
    void SetMergeCollaps(bool v) { FMergeCollaps = v; }

    // The base cell of the area this cell (at c, r) belongs to.
    TPoint GetBaseCell(int c, int r) const;
    // Copies the look, spans and user object; not BrushColorTo, the
    // graphic object, the calculation or the gradient direction.
    void Assign(TPersistent* Source) override;

private:
    friend class TBaseGrid;
    void RepaintOwnerCell();
    TBaseGrid* FOwnerGrid { nullptr };
    int FOwnerCol { 0 };
    int FOwnerRow { 0 };
    TObject* FObject { nullptr };
    TObject* FGraphicObject { nullptr };
    bool FOwnsGraphic { false };
    TBrushStyle FBrushStyle { bsSolid };
    TColor FBrushColor { clNone };
    TColor FBrushColorTo { clNone };
    int FFontHeight { 0 };
    TColor FFontColor { clNone };
    TFontStyles FFontStyle;
    int FCellSpanY { -1 };
    int FCellSpanX { -1 };
    int FBorderWidth { 0 };
    TColor FBorderColor { TColor(0) };
    TAlignment FAlignment { taLeftJustify };
    TVAlignment FVAlignment { vtaTop };
    int FPaintID { 0 };
    bool FWordWrap { true };
    bool FIsBaseCell { true };
    TColumnCalcType FCalcType { acNONE };
    TObject* FCalcObject { nullptr };
    int FNodeLevel { 0 };
    TEditorType FEditor { edNormal };
    String FFontName;
    bool FReadOnly { false };
    TCellGradientDirection FGradientDirection { GradientVertical };
    TControl* FControl { nullptr };
    bool FMergeCollaps { false };
};

// Adds nothing to the platform string grid.
class TObjStringGrid : public TStringGrid {
    QT_CLASS(TObjStringGrid, TStringGrid)
public:
    using TStringGrid::TStringGrid;
};

class TBaseGrid : public TObjStringGrid {
    QT_CLASS(TBaseGrid, TObjStringGrid)
public:
    explicit TBaseGrid(TComponent* AOwner = nullptr);
    ~TBaseGrid() override;

    // ---- cell access (stored columns) ----
    // Text of a cell: a covered cell of a merged area reads and writes its
    // base cell; reading applies the display-text hooks.
    String GetCells(int c, int r) { return GetCellEx(c, r); }
    void SetCells(int c, int r, const String& v) { SetCellEx(c, r, v); }
    virtual String GetCellEx(int c, int r);
    virtual void SetCellEx(int c, int r, const String& Value);
    // The stored text itself: no redirection, no hooks, no repaint.
    String GetGridCell(int c, int r) const { return GetStoredCell(c, r); }
    void SetGridCell(int c, int r, const String& v) { SetStoredCell(c, r, v); }
    // The user's object of a cell (inside its properties).
    TObject* GetObjects(int c, int r) const { return GetObjectEx(c, r); }
    void SetObjects(int c, int r, TObject* v) { SetObjectEx(c, r, v); }
    TObject* GetObjectEx(int c, int r) const;
    void SetObjectEx(int c, int r, TObject* Value);
    TObject* GetGraphicObjects(int c, int r) const { return GetGraphicObjectEx(c, r); }
    void SetGraphicObjects(int c, int r, TObject* v) { SetGraphicObjectEx(c, r, v); }
    TObject* GetGraphicObjectEx(int c, int r) const;
    // `GridOwned`: the grid made the object and frees it with the cell.
    void SetGraphicObjectEx(int c, int r, TObject* Value, bool GridOwned = false);
    // The properties slot itself.
    TObject* GetGridObject(int c, int r) const { return GetStoredObject(c, r); }
    void SetGridObject(int c, int r, TObject* v) { SetStoredObject(c, r, v); }
    static TObject* GraphicObjectOf(const TCellProperties* Props) { return Props ? Props->GetGraphicObject() : nullptr; }

    // ---- cell properties ----
    bool HasCellProperties(int c, int r) const;
    // The cell's properties, made on first use.
    TCellProperties* GetCellProperties(int c, int r);
    TCellProperties* CreateCellProperties(int c, int r);
    // Properties with the look cell (c, r) has now, not stored anywhere
    // (the caller owns them): for cells kept outside the store.
    TCellProperties* NewCellProperties(int c, int r);
    // Frees what the slot holds and stores Value; nothing happens when
    // Value already is in the slot.
    void SetCellProperties(int c, int r, TCellProperties* Value);
    // Frees the properties (and graphic objects the grid owns) of the
    // cells of the block.
    void FreeCellPropertiesRange(int FromCol, int FromRow, int ToCol, int ToRow);
    void FreeAllCellProperties();
    // Frees one cell's properties, not its graphic object.
    void FreeCellProperties(int c, int r);
    // Gives the cell new properties (the look a new cell takes) in place of
    // its own, keeping only its place in a merged area. The old graphic and
    // user objects are dropped, not freed: the caller has dealt with them.
    void ResetCellProperties(int c, int r);
    // Empty the slot without freeing, then the text (callers free first).
    void ClearRowCells(int r);
    void ClearColCells(int c);
    void ClearCell(int c, int r);
    void RepaintCell(int c, int r);

    // ---- merged cells (BaseGridMerge.cpp) ----
    TPoint BaseCell(int ACol, int ARow) const;
    // True when the cell is its own base; otherwise the base in BCol/BRow.
    bool ResolveBaseCell(int c, int r, int& BCol, int& BRow) const;
    bool IsBaseCell(int ACol, int ARow) const;
    bool IsMergedCell(int ACol, int ARow) const;
    bool IsMergedNonBaseCell(int ACol, int ARow) const;
    bool IsXMergedCell(int ACol, int ARow) const;
    bool IsYMergedCell(int ACol, int ARow) const;
    // Extra columns and rows of the area.
    TPoint CellSpan(int ACol, int ARow) const;
    // From the cell to the far edge of its area.
    TPoint CellExt(int ACol, int ARow) const;
    TGridRect FullCell(int ACol, int ARow) const;
    // Merging first splits every area that overlaps the block.
    virtual void MergeCells(int c, int r, int spanx, int spany);
    virtual void SplitCells(int c, int r);
    // Cell rectangle of a display column: a merged area as one rectangle.
    TRect CellRect(int c, int r);
    // The rectangle of a cell computed from the line sizes, in view or not.
    TRect ComputeCellRect(int c, int r);
    TPoint CellSize(int c, int r);
    int MinRowSpan(int ARow) const;
    int MaxRowSpan(int ARow) const;
    bool RowSpanIdentical(int ARow1, int ARow2) const;
    // The column counterpart of RowSpanIdentical: wherever both columns
    // are spanned horizontally they share the base column, at least once.
    bool ColSpanIdentical(int ACol1, int ACol2) const;
    void MoveToBaseCell();
    int GetMergeCount() const { return FMergeCount; }

    // ---- look ----
    bool GetDefaultDrawing() const { return FDefaultDrawing; }
    void SetDefaultDrawing(bool v);
    int GetGridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int v);
    TColor GetGridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor v) { SetAndRepaint(FGridLineColor, v); }
    TColor GetGridFixedLineColor() const { return FGridFixedLineColor; }
    void SetGridFixedLineColor(TColor v) { SetAndRepaint(FGridFixedLineColor, v); }
    int GetGridFixedLineWidth() const { return FGridFixedLineWidth; }
    void SetGridFixedLineWidth(int v) { SetAndRepaint(FGridFixedLineWidth, v); }
    bool GetActiveRowShow() const { return FActiveRowShow; }
    void SetActiveRowShow(bool v) { SetAndRepaint(FActiveRowShow, v); }
    TColor GetActiveRowColor() const { return FActiveRowColor; }
    void SetActiveRowColor(TColor v) { SetAndRepaint(FActiveRowColor, v); }
    TColor GetActiveRowColorTo() const { return FActiveRowColorTo; }
    void SetActiveRowColorTo(TColor v) { SetAndRepaint(FActiveRowColorTo, v); }
    TColor GetActiveRowMirrorColor() const { return FActiveRowMirrorColor; }
    void SetActiveRowMirrorColor(TColor v) { SetAndRepaint(FActiveRowMirrorColor, v); }
    TColor GetActiveRowMirrorColorTo() const { return FActiveRowMirrorColorTo; }
    void SetActiveRowMirrorColorTo(TColor v) { SetAndRepaint(FActiveRowMirrorColorTo, v); }
    TGridSelectionStyle GetSelectionStyle() const { return FSelectionStyle; }
    void SetSelectionStyle(TGridSelectionStyle v) { SetAndRepaint(FSelectionStyle, v); }
    bool GetHoverRow() const { return FHoverRow; }
    void SetHoverRow(bool v) { FHoverRow = v; }
    TColor GetHoverRowColor() const { return FHoverRowColor; }
    void SetHoverRowColor(TColor v) { FHoverRowColor = v; }
    TColor GetHoverRowColorTo() const { return FHoverRowColorTo; }
    void SetHoverRowColorTo(TColor v) { FHoverRowColorTo = v; }
    THoverRowCells GetHoverRowCells() const { return FHoverRowCells; }
    void SetHoverRowCells(THoverRowCells v) { FHoverRowCells = v; }
    bool GetWordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    TRirEvozUndoRedo* GetUndoRedo() const { return FUndoRedo; }
    // Links the undo component both ways; either side going unlinks it.
    void SetUndoRedo(TRirEvozUndoRedo* Value);
    int GetNormalRowCount() const { return FNormalRowCount; }
    void SetNormalRowCount(int v) { FNormalRowCount = v; }
    bool GetHideLastRow() const { return FHideLastRow; }
    void SetHideLastRow(bool v) { FHideLastRow = v; }
    bool GetEditCellSet() const { return FEditCellSet; }
    bool GetHasCellProps() const { return FHasCellProps; }

    TGetDisplTextEvent OnGetDisplText;
    TGetDisplWideTextEvent OnGetDisplWideText;

    // ---- overridable steps ----
    // Makes the cell the focus cell and the whole selection.
    virtual void FocusCell(int ACol, int ARow) { TObjStringGrid::FocusCell(ACol, ARow, true); }
    virtual double DPIScaleFactor() { return 1.0; }
    virtual bool IsFixed(int /*ACol*/, int /*ARow*/) { return false; }
    virtual int RowIndent(int /*ARow*/) { return 0; }
    virtual bool HasNodes() { return false; }
    virtual bool IsNode(int ARow) = 0;
    virtual bool IsSummary(int ARow) = 0;
    virtual void DrawGridCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    virtual void FooterChanged() { }
    virtual bool CellHasCheckBox(int ACol, int ARow) = 0;
    virtual void SetCheckBoxFromText(int ACol, int ARow, const String& Value) = 0;
    virtual void FormatDisplayText(int ACol, int ARow, String& Value);
    virtual void FormatDisplayWideText(int ACol, int ARow, String& Value);
    virtual void GetCellDefaults(int ACol, int ARow, TFont* AFont, TBrush* ABrush, TColor& AColorTo,
        TColor& AMirrorColor, TColor& AMirrorColorTo, TAlignment& HA, TVAlignment& VA, bool& WW,
        TCellGradientDirection& GD);
    virtual TAlignment DefaultCellAlignment() { return taLeftJustify; }
    virtual void CellTextChanged(int /*ACol*/, int /*ARow*/) { }
    virtual bool HasCellBorderEvent() { return false; }
    virtual bool UsesStyledDrawing() { return false; }
    // The look of a cell: here the grid's font and colour (the fixed colour
    // for fixed cells), the default alignment, no gradient.
    virtual void GetVisualProperties(int ACol, int ARow, TGridDrawState& AState, bool Print, bool Select, bool Remap,
        TBrush* ABrush, TColor& AColorTo, TColor& AMirrorColor, TColor& AMirrorColorTo, TFont* AFont, TAlignment& HA,
        TVAlignment& VA, bool& WW, TCellGradientDirection& GD);
    virtual TRealCol RealColIndex(TDisplayCol ACol) { return TRealCol(ACol.Value); }
    virtual TDisplayCol DisplColIndex(TRealCol ACol) { return TDisplayCol(ACol.Value); }
    virtual int TotalColCount() const { return GetColCount(); }

    // ---- painting frame (BaseGridPaint.cpp) ----
    // Every cell the platform paints passes through one frame step: a
    // merged area paints once per pass as one rectangle, cells scrolled
    // under the fixed lines do not paint over them, the look is resolved
    // once, hover and active rows are applied, the background and grid lines
    // are drawn and the inner rectangle goes to DrawGridCell.
    // The frame with content, on any canvas (one cell, printing).
    void PaintCell(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // The frame without content: background, selection and grid lines.
    void PaintCellExt(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState);
    // Widths of the fixed columns, heights of the fixed rows.
    int FixedColsWidth();
    int FixedRowsHeight();
    // The number of the paint pass under way (it starts at 1).
    int GetPaintID() const { return FPaintID; }
    int GetHoverRowIdx() const { return FHoverRowIdx; }
    void SetHoverRowIdx(int v) { FHoverRowIdx = v; }

    // ---- platform steps ----
    bool SelectCell(int ACol, int ARow) override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;
    void TopLeftChanged() override;
    void ChangeScale(int M, int D, bool isDpiChange = false) override { TObjStringGrid::ChangeScale(M, D, isDpiChange); }
    String GetEditText(int ACol, int ARow) override { return TObjStringGrid::GetEditText(ACol, ARow); }
    void SetEditText(int ACol, int ARow, const String& Value) override { TObjStringGrid::SetEditText(ACol, ARow, Value); }

protected:
    using TObjStringGrid::FocusCell;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The platform's paint of every cell in view, then the next pass number.
    void Paint() override;
    void PaintCellCore(TCanvas* ACanvas, int ACol, int ARow, TRect ARect, TGridDrawState AState, bool Content);
    // The merged-cell key step around the platform's own key handling.
    void HandleKeyDown(WORD& Key, TShiftState Shift);
    // Repaints merged cells of the fixed lines after scrolling.
    void TopLeftMoved();
    bool IsDestroying() const { return GetComponentState().Contains(csDestroying); }

    TCellProperties* PropertiesAt(int c, int r) const;

    bool FDefaultDrawing { false };
    int FGridLineWidth { 1 };
    TColor FGridLineColor { TColor(0xC0C0C0) };
    TColor FGridFixedLineColor { TColor(0x808080) };
    int FGridFixedLineWidth { 1 };
    int FPaintID { 1 };
    bool FCustomSelect { true };
    bool FHideLastRow { false };
    int FNormalRowCount { INT_MAX }; // rows at or beyond it are a sort's scratch rows
    TRirEvozUndoRedo* FUndoRedo { nullptr };
    bool FWordWrap { true };
    bool FActiveRowShow { false };
    TColor FActiveRowColor { TColor(0xFF000018) };
    TColor FActiveRowColorTo { clNone };
    TColor FActiveRowMirrorColor { clNone };
    TColor FActiveRowMirrorColorTo { clNone };
    TGridSelectionStyle FSelectionStyle { ssDefault };
    std::unique_ptr<TFont> FDefFont;
    std::unique_ptr<TBrush> FDefBrush;
    int FHoverRowIdx { -1 };
    bool FHoverRow { false };
    THoverRowCells FHoverRowCells { hcNormal, hcSelected };
    TColor FHoverRowColor { TColor(0xFF000018) };
    TColor FHoverRowColorTo { clNone };
    bool FShowSel { true };
    bool FHasCellProps { false };
    int FMergeCount { 0 };
    bool FEditCellSet { false };

private:
    friend class TCellProperties;
    template<class T>
    void SetAndRepaint(T& field, T v)
    {
        if (field == v)
            return;
        field = v;
        Invalidate();
    }
    // Frees the properties (and the graphic object the grid made) and
    // empties the slot.
    void FreeSlot(int c, int r, TCellProperties* p);
    // Gives new properties the look cell (c, r) has now (GetCellDefaults).
    void ApplyCellDefaults(int c, int r, TCellProperties* p);
    void WriteMergeEncoding(int c, int r, int spanx, int spany);
    bool MoveBeyondArea(WORD Key, TShiftState Shift);
};
