// Merged cells: the encoding of areas in the cells' properties, the
// queries over it, merged rectangles and the focus moves around areas.
//
// Encoding per cell: not merged (or no properties): base, spans -1 / -1;
// the base of an area spanx wide and spany tall: base, spans spanx-1 /
// spany-1; a covered cell: not base, spans = its offsets from the base.

#include <algorithm>

#include "grid/core/BaseGrid.h"

#include "platform/win/Window.h"

// ---- queries ----

TPoint TBaseGrid::BaseCell(int ACol, int ARow) const
{
    const TCellProperties* p = PropertiesAt(ACol, ARow);
    return p ? p->GetBaseCell(ACol, ARow) : TPoint(ACol, ARow);
}

bool TBaseGrid::ResolveBaseCell(int c, int r, int& BCol, int& BRow) const
{
    const TCellProperties* p = PropertiesAt(c, r);
    BCol = c;
    BRow = r;
    if (!p || p->GetIsBaseCell())
        return true;
    const TPoint b = p->GetBaseCell(c, r);
    BCol = b.X;
    BRow = b.Y;
    return false;
}

bool TBaseGrid::IsBaseCell(int ACol, int ARow) const
{
    const TCellProperties* p = PropertiesAt(ACol, ARow);
    return !p || p->GetIsBaseCell();
}

bool TBaseGrid::IsMergedCell(int ACol, int ARow) const
{
    const TCellProperties* p = PropertiesAt(ACol, ARow);
    return p && (p->GetCellSpanX() > 0 || p->GetCellSpanY() > 0);
}

bool TBaseGrid::IsMergedNonBaseCell(int ACol, int ARow) const
{
    return IsMergedCell(ACol, ARow) && !IsBaseCell(ACol, ARow);
}

bool TBaseGrid::IsXMergedCell(int ACol, int ARow) const
{
    if (!PropertiesAt(ACol, ARow))
        return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellProperties* bp = PropertiesAt(b.X, b.Y);
    return bp && bp->GetCellSpanX() > 0;
}

bool TBaseGrid::IsYMergedCell(int ACol, int ARow) const
{
    if (!PropertiesAt(ACol, ARow))
        return false;
    const TPoint b = BaseCell(ACol, ARow);
    const TCellProperties* bp = PropertiesAt(b.X, b.Y);
    return bp && bp->GetCellSpanY() > 0;
}

TPoint TBaseGrid::CellSpan(int ACol, int ARow) const
{
    const TCellProperties* p = PropertiesAt(ACol, ARow);
    if (!p || (p->GetCellSpanX() == -1 && p->GetCellSpanY() <= 0))
        return { 0, 0 };
    const TPoint b = p->GetBaseCell(ACol, ARow);
    const TCellProperties* bp = PropertiesAt(b.X, b.Y);
    if (!bp)
        return { 0, 0 };
    return { bp->GetCellSpanX(), bp->GetCellSpanY() };
}

TPoint TBaseGrid::CellExt(int ACol, int ARow) const
{
    const TCellProperties* p = PropertiesAt(ACol, ARow);
    if (!p || p->GetCellSpanX() == -1 || p->GetCellSpanY() == -1)
        return { 0, 0 };
    const TPoint b = p->GetBaseCell(ACol, ARow);
    const TPoint span = CellSpan(b.X, b.Y);
    return { b.X + span.X - ACol, b.Y + span.Y - ARow };
}

TGridRect TBaseGrid::FullCell(int ACol, int ARow) const
{
    const TPoint b = BaseCell(ACol, ARow);
    const TPoint span = CellSpan(ACol, ARow);
    return { b.X, b.Y, b.X + span.X, b.Y + span.Y };
}

int TBaseGrid::MinRowSpan(int ARow) const
{
    int result = GetRowCount();
    for (int c = 0; c < GetColCount(); ++c) {
        const int s = CellSpan(c, ARow).Y;
        if (s > 0)
            result = std::min(result, s);
    }
    return result;
}

int TBaseGrid::MaxRowSpan(int ARow) const
{
    int result = 0;
    for (int c = 0; c < GetColCount(); ++c)
        result = std::max(result, CellSpan(c, ARow).Y);
    return result;
}

bool TBaseGrid::RowSpanIdentical(int ARow1, int ARow2) const
{
    bool result = false;
    for (int c = 0; c < GetColCount(); ++c) {
        if (CellSpan(c, ARow1).Y > 0 && CellSpan(c, ARow2).Y > 0) {
            if (BaseCell(c, ARow1).Y != BaseCell(c, ARow2).Y)
                return false;
            result = true;
        }
    }
    return result;
}

bool TBaseGrid::ColSpanIdentical(int ACol1, int ACol2) const
{
    bool result = false;
    for (int r = 0; r < GetRowCount(); ++r) {
        if (CellSpan(ACol1, r).X > 0 && CellSpan(ACol2, r).X > 0) {
            if (BaseCell(ACol1, r).X != BaseCell(ACol2, r).X)
                return false;
            result = true;
        }
    }
    return result;
}

// ---- merging and splitting ----

void TBaseGrid::WriteMergeEncoding(int c, int r, int spanx, int spany)
{
    for (int y = r; y < r + spany; ++y) {
        for (int x = c; x < c + spanx; ++x) {
            TCellProperties* p = GetCellProperties(x, y);
            const bool base = x == c && y == r;
            p->SetIsBaseCell(base);
            p->SetCellSpanX(base ? spanx - 1 : x - c);
            p->SetCellSpanY(base ? spany - 1 : y - r);
        }
    }
}

void TBaseGrid::MergeCells(int c, int r, int spanx, int spany)
{
    ++FMergeCount;
    if (spanx < 1 || spany < 1 || c < 0 || r < 0)
        return;
    // Areas that overlap the block are split first, so no cell is left
    // pointing at a base that no longer covers it.
    for (int y = r; y < r + spany; ++y)
        for (int x = c; x < c + spanx; ++x)
            if (IsMergedCell(x, y))
                SplitCells(x, y);
    WriteMergeEncoding(c, r, spanx, spany);
    for (int y = r; y < r + spany; ++y)
        for (int x = c; x < c + spanx; ++x)
            RepaintCell(x, y);
}

void TBaseGrid::SplitCells(int c, int r)
{
    TCellProperties* p = GetCellProperties(c, r);
    const TPoint base = p->GetBaseCell(c, r);
    const TCellProperties* bp = GetCellProperties(base.X, base.Y);
    const int sx = bp->GetCellSpanX(), sy = bp->GetCellSpanY();
    for (int y = base.Y; y <= base.Y + sy; ++y) {
        for (int x = base.X; x <= base.X + sx; ++x) {
            TCellProperties* q = GetCellProperties(x, y);
            q->SetIsBaseCell(true);
            q->SetCellSpanX(-1);
            q->SetCellSpanY(-1);
            RepaintCell(x, y);
        }
    }
    --FMergeCount;
}

// ---- rectangles ----

TRect TBaseGrid::ComputeCellRect(int c, int r)
{
    const int fixedCols = GetFixedCols(), fixedRows = GetFixedRows();
    std::int64_t x = m_cols.Start(c), y = m_rows.Start(r);
    if (c >= fixedCols)
        x += m_cols.Start(fixedCols) - m_cols.Start(GetLeftCol());
    if (r >= fixedRows)
        y += m_rows.Start(fixedRows) - m_rows.Start(GetTopRow());
    const int left = int(x), top = int(y);
    TRect rc(left, top, left + GetColWidths(c), top + GetRowHeights(r));
    if (UseRightToLeftAlignment()) {
        const int w = GetClientWidth();
        rc = TRect(w - rc.Right, rc.Top, w - rc.Left, rc.Bottom);
    }
    return rc;
}

TRect TBaseGrid::CellRect(int c, int r)
{
    const int rc = RealColIndex(TDisplayCol(c)).Value;
    if (const TCellProperties* p = PropertiesAt(rc, r)) {
        if (p->GetCellSpanX() != -1 || p->GetCellSpanY() > 0) {
            const TPoint base = p->GetBaseCell(rc, r);
            const TPoint span = CellSpan(rc, r);
            const int dc = DisplColIndex(TRealCol(base.X)).Value;
            // Computed rectangles, so an area partly scrolled out of view
            // keeps its true extent.
            TRect first = ComputeCellRect(dc, base.Y);
            if (first.Width() == 0)
                first.Right = first.Left + 1;
            TRect last = ComputeCellRect(dc + span.X, base.Y + span.Y);
            if (last.Width() == 0)
                last.Left -= 1;
            return { std::min(first.Left, last.Left), std::min(first.Top, last.Top), std::max(first.Right, last.Right),
                std::max(first.Bottom, last.Bottom) };
        }
        if (p->GetControl())
            return ComputeCellRect(c, r);
    }
    return TCustomGrid::CellRect(c, r);
}

TPoint TBaseGrid::CellSize(int c, int r)
{
    if (IsMergedCell(RealColIndex(TDisplayCol(c)).Value, r)) {
        const TRect rc = CellRect(c, r);
        return { rc.Width(), rc.Height() };
    }
    return { GetColWidths(c), GetRowHeights(r) };
}

// ---- focus moves ----

void TBaseGrid::MoveToBaseCell()
{
    const int rc = RealColIndex(TDisplayCol(GetCol())).Value;
    if (!PropertiesAt(rc, GetRow()))
        return;
    const TPoint b = BaseCell(rc, GetRow());
    SetCol(DisplColIndex(TRealCol(b.X)).Value);
    SetRow(b.Y);
}

bool TBaseGrid::MoveBeyondArea(WORD Key, TShiftState Shift)
{
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssAlt))
        return false;
    const int col = GetCol(), row = GetRow();
    const int rc = RealColIndex(TDisplayCol(col)).Value;
    if (!IsMergedCell(rc, row))
        return false;
    const TPoint base = BaseCell(rc, row);
    const TPoint span = CellSpan(rc, row);
    const int baseCol = DisplColIndex(TRealCol(base.X)).Value;
    const int lastCol = DisplColIndex(TRealCol(base.X + span.X)).Value;
    TGridCoord target { col, row };
    switch (Key) {
    case VK_LEFT:
        if (GetOptions().Contains(goRowSelect))
            return false;
        target.X = baseCol - 1;
        break;
    case VK_RIGHT:
        if (GetOptions().Contains(goRowSelect))
            return false;
        target.X = lastCol + 1;
        break;
    case VK_UP: target.Y = base.Y - 1; break;
    case VK_DOWN: target.Y = base.Y + span.Y + 1; break;
    default: return false;
    }
    // Nothing beyond the area that way: the key is spent without a move.
    if (target.X < GetFixedCols() || target.X >= GetColCount() || target.Y < GetFixedRows() || target.Y >= GetRowCount())
        return true;
    MoveColRow(target.X, target.Y, !(Shift.Contains(ssShift) && GetOptions().Contains(goRangeSelect)), true);
    MoveToBaseCell();
    return true;
}

void TBaseGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    TCustomControl::KeyDown(Key, Shift); // OnKeyDown
    if (Key != 0)
        HandleKeyDown(Key, Shift);
}

void TBaseGrid::HandleKeyDown(WORD& Key, TShiftState Shift)
{
    if (Key == VK_NEXT && FHideLastRow && GetRowCount() > 1
        && GetRowCount() == GetVisibleRowCount() + GetTopRow() - GetFixedRows() + 1)
        SetRow(GetRowCount() - 2);
    // Arrows leave a merged area straight to the first cell beyond it.
    if (MoveBeyondArea(Key, Shift)) {
        Key = 0;
        return;
    }
    NavigateKey(Key, Shift);
    MoveToBaseCell();
}

bool TBaseGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos)
{
    const bool result = TObjStringGrid::DoMouseWheelDown(Shift, MousePos);
    if (GetVisibleRowCount() < GetRow() - GetTopRow() && GetRow() < GetRowCount() - 1 && FHideLastRow)
        SetTopRow(GetTopRow() + 1);
    MoveToBaseCell();
    return result;
}

bool TBaseGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos)
{
    const bool result = TObjStringGrid::DoMouseWheelUp(Shift, MousePos);
    MoveToBaseCell();
    return result;
}

void TBaseGrid::TopLeftChanged()
{
    TObjStringGrid::TopLeftChanged();
    TopLeftMoved();
}

void TBaseGrid::TopLeftMoved()
{
    const int top = GetTopRow(), left = GetLeftCol();
    const int lastRow = std::min(GetRowCount() - 1, top + GetVisibleRowCount());
    const int lastCol = std::min(GetColCount() - 1, left + GetVisibleColCount());
    for (int c = 0; c < GetFixedCols(); ++c)
        for (int r = top; r <= lastRow; ++r)
            if (IsMergedCell(c, r))
                RepaintCell(c, r);
    for (int r = 0; r < GetFixedRows(); ++r)
        for (int c = left; c <= lastCol; ++c)
            if (IsMergedCell(c, r))
                RepaintCell(c, r);
}
