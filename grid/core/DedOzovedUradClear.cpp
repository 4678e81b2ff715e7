// Operations on the cells of a rectangle, a line, the selection or the whole
// grid that leave its shape alone: emptying cells, trimming their texts,
// colouring them, splitting and merging runs of cells, numbering a line and
// finding cells.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Sets a flag for one scope and puts the old value back.
struct TFlagValue {
    bool& Flag;
    bool Old;
    TFlagValue(bool& F, bool Value) : Flag(F), Old(F) { Flag = Value; }
    ~TFlagValue() { Flag = Old; }
};

// Check boxes of these kinds belong to something else (the row, a data
// source); emptying a cell detaches them.
bool DetachedOnClear(TCellType Kind) { return Kind == ctVirtCheckBox || Kind == ctRowCheckBox; }

} // namespace

// ---- emptying ----

void TDedOzovedUrad::ClearRect(int ACol1, int ARow1, int ACol2, int ARow2)
{
    const bool Destroying = TBaseGrid::IsDestroying();
    const bool DisplayHooks = OnGetDisplText || OnGetDisplWideText;
    auto StoredCol = [this](int c) { return FSaveHiddenCells ? DisplayToRealCol(TDisplayCol(c)).Value : c; };
    // The rectangle in stored columns, to tell merged areas wholly inside
    // from those reaching out of it.
    const int Left = StoredCol(ACol1), Right = StoredCol(ACol2);
    auto WhollyInside = [&](const TGridRect& Area) {
        return Area.Left >= std::min(Left, Right) && Area.Right <= std::max(Left, Right) && Area.Top >= ARow1
            && Area.Bottom <= ARow2;
    };
    const int LastRow = GetRowCount() - 1;
    const int AllCols = GetAllColCount();
    bool Repaint = false;
    // Rows stored as hidden keep their properties for when they come back.
    bool KeptProperties = FClearTextOnly || NumHiddenRows() > 0;

    for (int r = ARow1; r <= ARow2; ++r) {
        for (int c = ACol1; c <= ACol2; ++c) {
            const int A = StoredCol(c);
            TObject* Slot = A < AllCols ? GetStoredObject(A, r) : nullptr;
            TCellProperties* Props = Slot ? dynamic_cast<TCellProperties*>(Slot) : nullptr;
            if (Props && FOwnsObjects && !FNilObjects) {
                // With FNilObjects the objects were moved elsewhere and are
                // still in use.
                delete Props->GetCellObject();
                Props->SetCellObject(nullptr);
            }
            if (Props && !FClearTextOnly) {
                if (FNilObjects) {
                    ClearCell(A, r);
                    Props = nullptr;
                } else {
                    if (!Props->GetOwnsGraphicObject() && DetachedOnClear(GetCellType(A, r)))
                        Props->SetGraphicObject(nullptr);
                    if (IsMergedCell(A, r) && !WhollyInside(FullCell(A, r))) {
                        // Cells outside the rectangle still point at this
                        // area: keep the merge, drop the rest.
                        if (Props->GetOwnsGraphicObject())
                            delete Props->GetGraphicObject();
                        ResetCellProperties(A, r);
                        KeptProperties = true;
                    } else {
                        RepaintCell(c, r);
                        if (Props->GetOwnsGraphicObject())
                            delete Props->GetGraphicObject();
                        SetCellProperties(A, r, nullptr);
                        Props = nullptr;
                    }
                }
            }
            if (Destroying)
                continue;
            if (!Props && !DisplayHooks) {
                // A plain cell shows its stored text: emptied in place, and
                // the grid repainted once at the end rather than per cell.
                if (EmptyStoredCell(A, r)) {
                    CellTextChanged(A, r);
                    if (FHideLastRow && r == LastRow)
                        FooterChanged();
                    Repaint = true;
                }
                continue;
            }
            // The display text; a covered cell of a merged area shows (and
            // empties) its base cell's text.
            if (!GetCellEx(A, r).empty()) {
                SetCellEx(A, r, String());
                if (A != c)
                    RepaintCell(c, r);
            }
        }
    }

    if (Repaint || (!FSaveHiddenCells && FNumHidden > 0))
        Invalidate();
    if (ACol1 <= 0 && ARow1 <= 0 && ACol2 >= GetColCount() - 1 && ARow2 >= GetRowCount() - 1 && !KeptProperties)
        FHasCellProps = false;
    if (!Destroying && !FBlockCellChange)
        CellsChanged(TRect(DisplayToRealCol(TDisplayCol(ACol1)).Value, ARow1, DisplayToRealCol(TDisplayCol(ACol2)).Value,
            ARow2));
}

void TDedOzovedUrad::Clear()
{
    const bool Nodes = GetNodeCount() > 0;
    if (Nodes)
        ExpandAll();
    StopFixedCellEdit();
    if (!TBaseGrid::IsDestroying() && Nodes)
        FDataViews->RemoveAllNodes();
    if (GetRowCount() > 0 && GetColCount() > 0) {
        // Every stored column, hidden ones included: the range is in stored
        // columns whatever SaveHiddenCells says.
        TFlagValue StoredColumns(FSaveHiddenCells, false);
        ClearRect(0, 0, GetAllColCount() - 1, GetRowCount() - 1);
    }
    FSearchInc.clear();
    if (FNumHidden > 0)
        Invalidate();
}

void TDedOzovedUrad::ClearAll()
{
    if (TBaseGrid::IsDestroying())
        return;
    if (GetNodeCount() > 0) {
        ExpandAll();
        FDataViews->RemoveAllNodes();
    }
    UnHideColumnsAll();
    UnHideRowsAll();
    if (GetRowCount() > 0 && GetColCount() > 0) {
        TFlagValue StoredColumns(FSaveHiddenCells, false);
        ClearRect(0, 0, std::max(FMaxColCount, GetAllColCount()) - 1, std::max(FMaxRowCount, GetRowCount()) - 1);
    }
    FSearchInc.clear();
    for (int i = 0; i < FGridItems->Count(); ++i) {
        TStrings* Cells = static_cast<TGridItem*>(FGridItems->GetItem(i))->GetItems();
        for (int c = 0; c < Cells->GetCount(); ++c)
            Cells->SetStrings(c, String());
    }
    if (FNumHidden > 0)
        Invalidate();
}

void TDedOzovedUrad::ClearRows(int RowIndex, int RCount)
{
    if (GetRowCount() > 0 && GetColCount() > 0 && RCount > 0)
        ClearRect(0, RowIndex, GetAllColCount() - 1, RowIndex + RCount - 1);
}

void TDedOzovedUrad::ClearCols(int ColIndex, int CCount)
{
    if (GetRowCount() > 0 && GetColCount() > 0 && CCount > 0)
        ClearRect(ColIndex, 0, ColIndex + CCount - 1, GetRowCount() - 1);
}

void TDedOzovedUrad::ClearNormalRows(int RowIndex, int RCount)
{
    if (GetRowCount() > 0 && GetColCount() > 0 && RCount > 0)
        ClearRect(GetFixedCols(), RowIndex, GetAllColCount() - FFixedRightCols - 1, RowIndex + RCount - 1);
}

void TDedOzovedUrad::ClearNormalCols(int ColIndex, int CCount)
{
    if (GetRowCount() > 0 && GetColCount() > 0 && CCount > 0)
        ClearRect(ColIndex, GetFixedRows(), ColIndex + CCount - 1, GetRowCount() - FFixedFooters - 1);
}

void TDedOzovedUrad::ClearNormalCells()
{
    if (GetFixedCols() == 0 && GetNodeCount() > 0)
        FDataViews->RemoveAllNodes();
    if (GetRowCount() > 0 && GetColCount() > 0)
        ClearRect(GetFixedCols(), GetFixedRows(), GetAllColCount() - FFixedRightCols - 1,
            GetRowCount() - FFixedFooters - 1);
}

void TDedOzovedUrad::ClearSelection()
{
    if (FMouseActions->GetDisjunctRowSelect()) {
        const bool Persistent = FMouseActions->GetRowSelectPersistent();
        for (int r = GetFixedRows(); r < GetRowCount(); ++r) {
            const int Kept = Persistent ? DisplayToRealRow(TDisplayRow(r)).Value : r;
            if (IsCellRowSelected(Kept))
                ClearRows(r, 1);
        }
        return;
    }
    // The selection is in display columns.
    TFlagValue DisplayColumns(FSaveHiddenCells, true);
    if (FMouseActions->GetDisjunctColSelect()) {
        for (int c = GetFixedCols(); c < GetColCount(); ++c)
            if (IsCellColSelected(DisplayToRealCol(TDisplayCol(c)).Value))
                ClearCols(c, 1);
        return;
    }
    const TGridRect Sel = GetSelection();
    ClearRect(std::min(Sel.Left, Sel.Right), std::min(Sel.Top, Sel.Bottom), std::max(Sel.Left, Sel.Right),
        std::max(Sel.Top, Sel.Bottom));
}

// ---- trimming and colouring ----

void TDedOzovedUrad::TrimRect(int ACol1, int ARow1, int ACol2, int ARow2)
{
    for (int r = ARow1; r <= ARow2; ++r) {
        for (int c = ACol1; c <= ACol2; ++c) {
            const int A = FSaveHiddenCells ? DisplayToRealCol(TDisplayCol(c)).Value : c;
            const String Text = GetCellEx(A, r);
            String Trimmed = Trim(Text);
            if (Trimmed != Text)
                SetCellEx(A, r, Trimmed);
        }
    }
}

void TDedOzovedUrad::TrimColumn(int ACol) { TrimRect(ACol, 0, ACol, GetRowCount() - 1); }

void TDedOzovedUrad::TrimRow(int ARow) { TrimRect(0, ARow, GetColCount() - 1, ARow); }

void TDedOzovedUrad::TrimAll() { TrimRect(0, 0, GetColCount() - 1, GetRowCount() - 1); }

void TDedOzovedUrad::ColorRect(int ACol1, int ARow1, int ACol2, int ARow2, TColor AColor)
{
    for (int r = ARow1; r <= ARow2; ++r)
        for (int c = ACol1; c <= ACol2; ++c)
            SetColors(c, r, AColor);
}

// ---- splitting and merging ----

void TDedOzovedUrad::SplitColumnCells(int ColIndex)
{
    int r = 0;
    while (r < GetRowCount() - FFixedFooters - 1) {
        if (IsYMergedCell(ColIndex, r)) {
            const TGridRect Area = FullCell(ColIndex, r);
            SplitCells(ColIndex, r);
            r = std::max(r, Area.Bottom) + 1;
        } else {
            ++r;
        }
    }
}

void TDedOzovedUrad::SplitRowCells(int RowIndex)
{
    int c = 0;
    while (c < GetColCount() - FFixedRightCols - 1) {
        if (IsMergedCell(c, RowIndex)) {
            const TGridRect Area = FullCell(c, RowIndex);
            SplitCells(c, RowIndex);
            c = std::max(c, Area.Right) + 1;
        } else {
            ++c;
        }
    }
}

void TDedOzovedUrad::SplitAllCells()
{
    for (int r = 0; r < GetRowCount(); ++r)
        for (int c = 0; c < GetColCount(); ++c)
            if (IsMergedCell(c, r))
                SplitCells(c, r);
}

void TDedOzovedUrad::MergeColumnCells(int ColIndex, bool MainMerge)
{
    const int First = GetFixedRows(), Last = GetRowCount() - FFixedFooters - 1;
    if (Last < First)
        return;
    int RunStart = First;
    auto Close = [&](int RunEnd) {
        if (RunEnd - RunStart >= 1)
            MergeCells(ColIndex, RunStart, 1, RunEnd - RunStart + 1);
    };
    for (int r = First + 1; r <= Last; ++r) {
        const bool Continues
            = GetCellEx(ColIndex, r) == GetCellEx(ColIndex, r - 1) && (MainMerge || RowSpanIdentical(r - 1, r));
        if (!Continues) {
            Close(r - 1);
            RunStart = r;
        }
    }
    Close(Last);
}

void TDedOzovedUrad::MergeRowCells(int RowIndex, bool MainMerge)
{
    const int First = GetFixedCols(), Last = GetColCount() - FFixedRightCols - 1;
    if (Last < First)
        return;
    int RunStart = First;
    auto Close = [&](int RunEnd) {
        if (RunEnd - RunStart >= 1)
            MergeCells(RunStart, RowIndex, RunEnd - RunStart + 1, 1);
    };
    for (int c = First + 1; c <= Last; ++c) {
        const bool Continues
            = GetCellEx(c, RowIndex) == GetCellEx(c - 1, RowIndex) && (MainMerge || ColSpanIdentical(c - 1, c));
        if (!Continues) {
            Close(c - 1);
            RunStart = c;
        }
    }
    Close(Last);
}

// ---- numbering ----

void TDedOzovedUrad::AutoNumberCol(int ACol)
{
    if (GetRowCount() <= 0)
        return;
    const int Fixed = GetFixedRows(), Last = GetRowCount() - FFixedFooters - 1;
    for (int k = Fixed + FAutoNumberStart; k <= Last; ++k) {
        const int Value = k - Fixed + 1 + FAutoNumberOffset;
        const int Row = FAutoNumberDirection == sdAscending ? k : Fixed + Last - k;
        SetInts(ACol, Row, Value);
    }
}

void TDedOzovedUrad::AutoNumberRow(int ARow)
{
    if (GetColCount() <= 0)
        return;
    const int Fixed = GetFixedCols(), Last = GetColCount() - FFixedRightCols - 1;
    for (int k = Fixed + FAutoNumberStart; k <= Last; ++k) {
        const int Value = k - Fixed + 1 + FAutoNumberOffset;
        const int Col = FAutoNumberDirection == sdAscending ? k : Fixed + Last - k;
        SetInts(Col, ARow, Value);
    }
}

// ---- finding ----

bool TDedOzovedUrad::IsCell(const String& SubStr, int& ACol, int& ARow)
{
    for (int r = 0; r < GetRowCount(); ++r) {
        for (int c = 0; c < GetColCount(); ++c) {
            if (GetStoredCell(c, r) == SubStr) {
                ACol = c;
                ARow = r;
                return true;
            }
        }
    }
    return false;
}

bool TDedOzovedUrad::IsWideCell(int ACol, int ARow)
{
    const String Text = GetCellEx(ACol, ARow);
    return Text.size() >= 2 && Text[0] == u'|' && Text[1] == u'\\';
}

TRect TDedOzovedUrad::UsedCellsBounds()
{
    bool Any = false;
    TRect Bounds(0, 0, 0, 0);
    for (int r = 0; r < GetRowCount(); ++r) {
        for (int c = 0; c < GetColCount(); ++c) {
            if (GetCellEx(c, r).empty())
                continue;
            if (!Any) {
                Bounds = TRect(c, r, c, r);
                Any = true;
                continue;
            }
            Bounds.Left = std::min(Bounds.Left, c);
            Bounds.Right = std::max(Bounds.Right, c);
            Bounds.Top = std::min(Bounds.Top, r);
            Bounds.Bottom = std::max(Bounds.Bottom, r);
        }
    }
    return Bounds;
}
