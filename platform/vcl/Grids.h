#pragma once
// The plain grid controls: TCustomGrid lays out, scrolls, selects, sizes
// and moves rows and columns of cells; TDrawGrid leaves the drawing to an
// event; TStringGrid keeps a text and an object per cell; TInplaceEdit is
// the grid's single in-place editor.
//
// Indexes here are the positions the grid shows (display rows and columns).
// Line sizes live in prefix-sum trees, so the position of a line, the line
// under a pixel and the scroll range cost O(log n) whatever the count.

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/vcl/Mask.h"
#include "platform/vcl/Memo.h"

QT_DECLARE_EXCEPTION(EGridException, Exception);

enum TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected, goRowSizing,
    goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking,
    goFixedColClick, goFixedRowClick, goFixedHotTrack
};
QT_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected,
    goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor,
    goThumbTracking, goFixedColClick, goFixedRowClick, goFixedHotTrack)
using TGridOptions = Set<TGridOption>;

enum TGridDrawStateItem { gdSelected, gdFocused, gdFixed, gdRowSelected, gdHotTrack, gdPressed };
using TGridDrawState = Set<TGridDrawStateItem>;

enum TGridState { gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving };
enum TGridDrawingStyle { gdsClassic, gdsThemed, gdsGradient };
QT_ENUM(TGridDrawingStyle, gdsClassic, gdsThemed, gdsGradient)

struct TGridCoord {
    int X { 0 };
    int Y { 0 };
    bool operator==(const TGridCoord&) const = default;
};

struct TGridRect {
    int Left { 0 };
    int Top { 0 };
    int Right { 0 };
    int Bottom { 0 };
    TGridCoord TopLeft() const { return { Left, Top }; }
    TGridCoord BottomRight() const { return { Right, Bottom }; }
    bool operator==(const TGridRect&) const = default;
};

class TCustomGrid;

using TMovedEvent = std::function<void(TObject* Sender, int FromIndex, int ToIndex)>;
using TSelectCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, bool& CanSelect)>;
using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, TRect Rect, TGridDrawState State)>;
using TGetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, String& Value)>;
using TSetEditEvent = std::function<void(TObject* Sender, int ACol, int ARow, const String& Value)>;

// The sizes of a grid's rows or columns: a default size plus explicit
// sizes, with prefix sums of the line extents (size + grid line width)
// in a Fenwick tree of differences from the default.
class TGridAxis {
public:
    int Count() const { return m_count; }
    void SetCount(int n);
    int DefaultSize() const { return m_default; }
    // Resets every line to the new default.
    void SetDefaultSize(int v);
    void SetLineWidth(int v)
    {
        m_line = v;
        Forget();
    }
    int Size(int i) const;
    void SetSize(int i, int v);
    // Pixels from the start of line 0 to the start of line `i` (0 <= i <= Count).
    std::int64_t Start(int i) const;
    // The largest i (<= Count) whose start is at or before `pos`.
    int LastStartingAtOrBefore(std::int64_t pos) const;
    // The same two, walking the sizes from line `from` (whose start is
    // cached) when the answer lies a few lines beyond it: lines in view
    // cost the same whatever the count.
    std::int64_t StartNear(int from, int i) const;
    int IndexNear(int from, std::int64_t pos) const;
    // Moves line `from` to `to`, the lines between shift by one.
    void Move(int from, int to);

private:
    static constexpr int kNear = 64;
    void Grow(int capacity);
    void Add(int i, std::int64_t delta);
    void Forget() const { m_cache.fill({ -1, 0 }); }
    int m_count { 0 };
    int m_default { 24 };
    int m_line { 1 };
    std::vector<int> m_sizes;          // per line, up to the capacity
    std::vector<std::int64_t> m_tree;  // 1-based Fenwick tree of size - default
    // Recent Start() answers (the first fixed and first scrolled lines are
    // asked again and again); emptied by every change.
    mutable std::array<std::pair<int, std::int64_t>, 4> m_cache { { { -1, 0 }, { -1, 0 }, { -1, 0 }, { -1, 0 } } };
    mutable unsigned m_cacheNext { 0 };
};

// The grid's editor: a masked edit placed over the focus cell.
class TInplaceEdit : public TCustomMaskEdit {
    QT_CLASS(TInplaceEdit, TCustomMaskEdit)
public:
    explicit TInplaceEdit(TComponent* AOwner = nullptr);
    TCustomGrid* GetGrid() const { return m_grid; }
    // Places the editor on `Loc` (grid client pixels) and shows it.
    void Move(const TRect& Loc);
    // Re-places the editor while it shows (scrolling, resizing).
    void UpdateLoc(const TRect& Loc);
    void Hide();
    bool Visible() const;
    void Dispatch(TMessage& Message) override;

    // Loads the text, mask and length limit of the focus cell.
    virtual void LoadCellLook();
    // Runs after every placement.
    virtual void AfterBoundsChange() { }

protected:
    friend class TCustomGrid;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    TCustomGrid* m_grid { nullptr };
};

class TCustomGrid : public TCustomControl {
    QT_CLASS(TCustomGrid, TCustomControl)
public:
    explicit TCustomGrid(TComponent* AOwner = nullptr);
    ~TCustomGrid() override;

    // ---- dimensions ----
    int GetColCount() const { return m_cols.Count(); }
    void SetColCount(int v);
    int GetRowCount() const { return m_rows.Count(); }
    void SetRowCount(int v);
    int GetFixedCols() const { return m_fixedCols; }
    void SetFixedCols(int v);
    int GetFixedRows() const { return m_fixedRows; }
    void SetFixedRows(int v);
    int GetDefaultColWidth() const { return m_cols.DefaultSize(); }
    void SetDefaultColWidth(int v);
    int GetDefaultRowHeight() const { return m_rows.DefaultSize(); }
    void SetDefaultRowHeight(int v);
    int GetColWidths(int i) const { return m_cols.Size(i); }
    void SetColWidths(int i, int v);
    int GetRowHeights(int i) const { return m_rows.Size(i); }
    void SetRowHeights(int i, int v);
    int GetGridLineWidth() const { return m_gridLineWidth; }
    void SetGridLineWidth(int v);
    // Scrollable lines fully in view; fixed lines are not counted.
    int GetVisibleColCount();
    int GetVisibleRowCount();
    // Pixels of all columns / rows including grid lines.
    int GetGridWidth() const { return int(m_cols.Start(m_cols.Count())); }
    int GetGridHeight() const { return int(m_rows.Start(m_rows.Count())); }

    // ---- position ----
    int GetCol() const { return m_current.X; }
    // Writing the present value changes nothing (the selection stays).
    void SetCol(int v) { if (v != m_current.X) FocusCell(v, m_current.Y, true); }
    int GetRow() const { return m_current.Y; }
    void SetRow(int v) { if (v != m_current.Y) FocusCell(m_current.X, v, true); }
    int GetLeftCol() const { return m_topLeft.X; }
    void SetLeftCol(int v);
    int GetTopRow() const { return m_topLeft.Y; }
    void SetTopRow(int v);
    TGridRect GetSelection() const;
    void SetSelection(const TGridRect& v);
    // Moves the focus cell after asking SelectCell: with MoveAnchor the
    // selection collapses onto it, with Show it is scrolled into view.
    // EGridException for a cell outside the grid.
    void MoveColRow(int ACol, int ARow, bool MoveAnchor, bool Show);

    TGridOptions GetOptions() const { return m_options; }
    void SetOptions(TGridOptions v);
    TGridDrawingStyle GetDrawingStyle() const { return m_drawingStyle; }
    void SetDrawingStyle(TGridDrawingStyle v) { m_drawingStyle = v; Invalidate(); }
    bool GetDefaultDrawing() const { return m_defaultDrawing; }
    void SetDefaultDrawing(bool v) { m_defaultDrawing = v; Invalidate(); }
    TColor GetFixedColor() const { return m_fixedColor; }
    void SetFixedColor(TColor v) { m_fixedColor = v; Invalidate(); }
    TScrollStyle GetScrollBars() const { return m_scrollBars; }
    void SetScrollBars(TScrollStyle v);
    TGridState GetGridState() const { return m_gridState; }
    void SetGridState(TGridState v) { m_gridState = v; }

    // While set, count and size changes skip their layout work (scroll
    // ranges, repaints, editor placement); clearing it lays out once.
    bool GetUpdating() const { return m_updating; }
    void SetUpdating(bool v);

    // ---- geometry ----
    // The rectangle of a cell in view (client pixels); empty otherwise.
    TRect CellRect(int ACol, int ARow);
    // The cell under a client point; -1 for a coordinate outside the cells.
    void MouseToCell(int X, int Y, int& ACol, int& ARow);
    TGridCoord MouseCoord(int X, int Y);

    // ---- editor ----
    bool GetEditorMode() const { return m_editorMode; }
    void SetEditorMode(bool v);
    TInplaceEdit* GetInplaceEditor() const { return m_inplaceEdit; }
    void ShowEditor();
    void HideEditor();
    // Shows the editor and hands it the typed character.
    void ShowEditorChar(Char Ch);
    void InvalidateEditor();

    // ---- repaint ----
    void InvalidateCell(int ACol, int ARow);
    void InvalidateRow(int ARow);
    void InvalidateCol(int ACol);
    void InvalidateGrid() { Invalidate(); }

    void Dispatch(TMessage& Message) override;

    TNotifyEvent OnTopLeftChanged;

    // ---- overridable steps ----
    virtual bool SelectCell(int ACol, int ARow);
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) = 0;
    virtual void TopLeftChanged();
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void ColWidthsChanged();
    virtual void RowHeightsChanged();
    virtual void ColumnMoved(int FromIndex, int ToIndex);
    virtual void RowMoved(int FromIndex, int ToIndex);
    virtual String GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const String& Value);
    virtual String GetEditMask(int ACol, int ARow);
    virtual int GetEditLimit() { return 0; }
    virtual bool CanEditShow();
    virtual TInplaceEdit* CreateEditor();
    // Whether a press at (X, Y) starts sizing: the state and the index
    // of the line whose far edge is under the point.
    virtual void CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs);

    // Moves a column or row with its size; the focus cell, the anchor and
    // the editor follow, then ColumnMoved / RowMoved runs.
    void MoveColumn(int FromIndex, int ToIndex);
    void MoveRow(int FromIndex, int ToIndex);
    // Moves the line behind the last one and drops it from the count; its
    // cells stay stored beyond the count.
    void DeleteColumn(int ACol);
    void DeleteRow(int ARow);

    void KeyDown(WORD& Key, TShiftState Shift) override;
    void KeyPress(char16_t& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos) override;
    bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos) override;

protected:
    // The grid's own key navigation (arrows, paging, Home/End, Tab, F2),
    // after KeyDown fired OnKeyDown.
    void NavigateKey(WORD& Key, TShiftState Shift);
    void Paint() override;
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void Resize() override;
    void DoExit() override;
    void FocusCell(int ACol, int ARow, bool MoveAnchor);
    void MoveCurrent(int ACol, int ARow, bool MoveAnchor, bool Show);
    // Scrolls so the focus cell is in view.
    void ClampInView(TGridCoord Coord);
    void UpdateScrollRange();
    void UpdateScrollPos();
    void UpdateEdit();
    void UpdateText();
    void HideEdit();
    TGridDrawState CellDrawState(int ACol, int ARow, const TGridRect& Sel) const;

    // The largest first scrollable column / row that still fills the view.
    int MaxLeftCol();
    int MaxTopRow();
    int ScrollableWidth();
    int ScrollableHeight();

    TGridAxis m_cols;
    TGridAxis m_rows;
    int m_fixedCols { 1 };
    int m_fixedRows { 1 };
    int m_gridLineWidth { 1 };
    TGridCoord m_current { 1, 1 };
    TGridCoord m_anchor { 1, 1 };
    TGridCoord m_topLeft { 1, 1 };
    TGridOptions m_options { goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect };
    TGridDrawingStyle m_drawingStyle { gdsClassic };
    bool m_defaultDrawing { true };
    TColor m_fixedColor { clBtnFace };
    TScrollStyle m_scrollBars { ssBoth };
    TGridState m_gridState { gsNormal };
    bool m_updating { false };
    bool m_editorMode { false };
    TInplaceEdit* m_inplaceEdit { nullptr }; // a child component of the grid
    int m_editCol { -1 };
    int m_editRow { -1 };
    // Sizing and moving under way.
    int m_sizingIndex { -1 };
    int m_sizingPos { 0 };
    int m_sizingOfs { 0 };
    int m_moveIndex { -1 };
    int m_movePos { -1 };
    bool m_inScrollUpdate { false };

private:
    void SetSizes(TGridAxis& axis, int i, int v, bool cols);
    void ChangeSize(int NewColCount, int NewRowCount);
    void MoveTopLeft(int ALeft, int ATop);
    void SelectAt(int X, int Y, bool extend);
    void WMScroll(TMessage& Message, bool Vertical);
    void WMTimer(TMessage& Message);
    void WMSetCursor(TMessage& Message);
    // Start of a column or row in client pixels (after scrolling).
    int LineOrigin(const TGridAxis& axis, int fixed, int first, int i) const;
    void RepaintEditorAfterMove();
};

class TDrawGrid : public TCustomGrid {
    QT_CLASS(TDrawGrid, TCustomGrid)
public:
    using TCustomGrid::TCustomGrid;
    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TMovedEvent OnColumnMoved;
    TMovedEvent OnRowMoved;
    TGetEditEvent OnGetEditText;
    TGetEditEvent OnGetEditMask;
    TSetEditEvent OnSetEditText;

    bool SelectCell(int ACol, int ARow) override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    String GetEditMask(int ACol, int ARow) override;
};

class TStringGrid;

// One row or column of a string grid as a list of strings with objects.
class TStringGridStrings : public TStrings {
    QT_CLASS(TStringGridStrings, TStrings)
public:
    TStringGridStrings(TStringGrid* Grid, int Index, bool IsRow) : m_grid(Grid), m_index(Index), m_isRow(IsRow) { }
    int GetCount() const override;
    void Insert(int index, const String& s) override;
    void Delete(int index) override;
    // Empties every cell of the line.
    void Clear() override;
    // Writes the source's strings and objects into the line from its
    // first cell on, after emptying it.
    void Assign(TPersistent* Source) override;

protected:
    String Get(int index) const override;
    void Put(int index, const String& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;

private:
    TStringGrid* m_grid;
    int m_index;
    bool m_isRow;
};

class TStringGrid : public TDrawGrid {
    QT_CLASS(TStringGrid, TDrawGrid)
public:
    explicit TStringGrid(TComponent* AOwner = nullptr);
    ~TStringGrid() override;

    // Text and object of any cell, also beyond the counts; a negative
    // index reads empty / nil. Writing repaints the cell.
    String GetCells(int ACol, int ARow) const { return GetStoredCell(ACol, ARow); }
    void SetCells(int ACol, int ARow, const String& Value);
    TObject* GetObjects(int ACol, int ARow) const { return GetStoredObject(ACol, ARow); }
    void SetObjects(int ACol, int ARow, TObject* Value);
    TStrings* GetRows(int ARow);
    void SetRows(int ARow, TStrings* Value) { GetRows(ARow)->Assign(Value); }
    TStrings* GetCols(int ACol);
    void SetCols(int ACol, TStrings* Value) { GetCols(ACol)->Assign(Value); }

    // The raw store: no repaint, no hooks. EGridException on a negative
    // index when writing. Writing empty text or nil where there is no slot
    // yet makes none; empty text releases the memory of the text it replaces.
    const String& GetStoredCell(int ACol, int ARow) const
    {
        const TCellSlot* s = FindSlot(ACol, ARow);
        return s ? s->Text : EmptyCellText();
    }
    void SetStoredCell(int ACol, int ARow, const String& Value);
    // SetStoredCell with empty text in one lookup: true when there was text.
    bool EmptyStoredCell(int ACol, int ARow);
    TObject* GetStoredObject(int ACol, int ARow) const
    {
        const TCellSlot* s = FindSlot(ACol, ARow);
        return s ? s->Object : nullptr;
    }
    // Text and object of a cell in one look-up (readers that need both).
    const String& GetStoredCellAndObject(int ACol, int ARow, TObject*& Object) const
    {
        const TCellSlot* s = FindSlot(ACol, ARow);
        Object = s ? s->Object : nullptr;
        return s ? s->Text : EmptyCellText();
    }
    void SetStoredObject(int ACol, int ARow, TObject* Value);
    // Whether the store holds a slot for the cell (written once at least).
    bool HasStoredSlot(int ACol, int ARow) const;
    // Extent of the store, counts aside: rows, and slots of one row.
    int GetStoredRowCount() const { return int(m_store.size()); }
    int GetStoredColCount(int ARow) const;

    void ColumnMoved(int FromIndex, int ToIndex) override;
    void RowMoved(int FromIndex, int ToIndex) override;
    String GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const String& Value) override;
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;

private:
    struct TCellSlot {
        String Text;
        TObject* Object { nullptr };
    };
    TCellSlot& Slot(int ACol, int ARow);
    const TCellSlot* FindSlot(int ACol, int ARow) const
    {
        if (ACol < 0 || ARow < 0 || ARow >= int(m_store.size()))
            return nullptr;
        const auto& row = m_store[std::size_t(ARow)];
        return ACol < int(row.size()) ? &row[std::size_t(ACol)] : nullptr;
    }
    static const String& EmptyCellText();
    // Rows of slots; a row stays empty until one of its cells is written.
    std::vector<std::vector<TCellSlot>> m_store;
    std::map<int, std::unique_ptr<TStringGridStrings>> m_rowLists;
    std::map<int, std::unique_ptr<TStringGridStrings>> m_colLists;
};
