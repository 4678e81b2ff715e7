// Selection: the platform grid's range, disjunct rows, columns and cells,
// the hidden selection, the selection's text; the repaint services and
// the focus cell they lean on.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/LumRichEdit.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Window.h"

namespace {

TGridRect Normalised(const TGridRect& R)
{
    return { std::min(R.Left, R.Right), std::min(R.Top, R.Bottom), std::max(R.Left, R.Right),
        std::max(R.Top, R.Bottom) };
}

TRect Union(const TRect& A, const TRect& B)
{
    if (A.IsEmpty())
        return B;
    if (B.IsEmpty())
        return A;
    return TRect(std::min(A.Left, B.Left), std::min(A.Top, B.Top), std::max(A.Right, B.Right),
        std::max(A.Bottom, B.Bottom));
}

} // namespace

// ---- repaint services ----

// Cells scrolled out of view are left alone; the partly visible row and
// column after the last full one still repaint.
void TDedOzovedUrad::RepaintCell(int ACol, int ARow)
{
    if (!HandleAllocated() || TBaseGrid::IsDestroying())
        return;
    const int Top = GetTopRow(), Left = GetLeftCol();
    if ((ARow >= GetFixedRows() && ARow < Top) || ARow > Top + GetVisibleRowCount())
        return;
    if ((ACol >= GetFixedCols() && ACol < Left) || ACol > Left + GetVisibleColCount())
        return;
    TBaseGrid::RepaintCell(ACol, ARow);
}

void TDedOzovedUrad::RepaintRow(int ARow)
{
    if (!HandleAllocated() || ARow < 0 || ARow >= GetRowCount())
        return;
    TRect R = TCustomGrid::CellRect(GetFixedCols() > 0 ? 0 : GetLeftCol(), ARow);
    if (R.IsEmpty())
        return;
    const TRect Last
        = TCustomGrid::CellRect(std::min(GetLeftCol() + GetVisibleColCount(), GetColCount() - 1), ARow);
    R.Left = 0;
    R.Right = Last.IsEmpty() ? GetClientWidth() : std::max(R.Right, Last.Right);
    InvalidateRect(GetHandle(), &R, false);
}

void TDedOzovedUrad::RepaintCol(int ACol)
{
    if (!HandleAllocated() || ACol < 0 || ACol >= GetColCount())
        return;
    TRect R = TCustomGrid::CellRect(ACol, GetTopRow());
    if (R.IsEmpty())
        return;
    const TRect Last
        = TCustomGrid::CellRect(ACol, std::min(GetTopRow() + GetVisibleRowCount(), GetRowCount() - 1));
    R.Bottom = Last.IsEmpty() ? GetClientHeight() : std::max(R.Bottom, Last.Bottom);
    InvalidateRect(GetHandle(), &R, false);
}

void TDedOzovedUrad::RepaintRect(const TRect& R)
{
    if (!HandleAllocated() || R.Left < 0 || R.Top < 0 || R.Right < 0 || R.Bottom < 0)
        return;
    const TRect A = CellRect(R.Left, R.Top);
    const TRect B = CellRect(std::min(R.Right, GetFixedCols() + GetVisibleColCount()), R.Bottom);
    if (A.IsEmpty() || B.IsEmpty()) {
        Invalidate();
        return;
    }
    const RECT U = Union(A, B);
    InvalidateRect(GetHandle(), &U, true);
}

void TDedOzovedUrad::InvalidateGridRect(const TGridRect& R)
{
    if (!HandleAllocated())
        return;
    const TRect U = Union(CellRect(R.Left, R.Top), CellRect(R.Right, R.Bottom));
    if (U.IsEmpty())
        return;
    const RECT Area = U;
    InvalidateRect(GetHandle(), &Area, false);
}

void TDedOzovedUrad::FocusCell(int ACol, int ARow)
{
    const TGridRect Cell { ACol, ARow, ACol, ARow };
    SetSelection(Cell);
    FDisSelection = Cell;
    FAECol = -1;
    FAERow = -1;
}

// ---- the range selection ----

void TDedOzovedUrad::SetSelection(const TGridRect& Value)
{
    TBaseGrid::SetSelection(Value);
    if (GetActiveCellShow()) {
        InvalidateCol(0);
        InvalidateRow(0);
    }
    if (GetActiveRowShow())
        RepaintRow(Value.Bottom);
}

// The rectangle at the counts lies outside every cell. The corners are
// kept as they were (anchor first), so showing it again restores the
// direction of the range too.
void TDedOzovedUrad::HideSelection()
{
    FOldSelection = TGridRect { m_anchor.X, m_anchor.Y, m_current.X, m_current.Y };
    SetSelection(TGridRect { GetColCount(), GetRowCount(), GetColCount(), GetRowCount() });
    FSelHidden = true;
}

bool TDedOzovedUrad::IsSelectionHidden()
{
    const int Left = std::min(m_anchor.X, m_current.X), Right = std::max(m_anchor.X, m_current.X);
    return Left == GetColCount() && Right == GetColCount() && std::min(m_anchor.Y, m_current.Y) == GetRowCount();
}

void TDedOzovedUrad::UnHideSelection()
{
    FSelHidden = false;
    const TGridRect Old = Normalised(FOldSelection);
    if (Old.Top < GetRowCount() && Old.Left < GetColCount() && Old.Top >= 0 && Old.Left >= 0) {
        // A corner the grid lost on the way is brought back inside.
        TGridRect Sel = FOldSelection;
        Sel.Left = std::min(Sel.Left, GetColCount() - 1);
        Sel.Right = std::min(Sel.Right, GetColCount() - 1);
        Sel.Top = std::min(Sel.Top, GetRowCount() - 1);
        Sel.Bottom = std::min(Sel.Bottom, GetRowCount() - 1);
        SetSelection(Sel);
        return;
    }
    int c = GetFixedCols(), r = GetFixedRows();
    if (FFixedColAlways && c == GetColCount())
        c = 0;
    if (FFixedRowAlways && r == GetRowCount())
        r = 0;
    SetSelection(TGridRect { c, r, c, r });
}

void TDedOzovedUrad::UpdateEditMode() { SelectCell(GetCol(), GetRow()); }

void TDedOzovedUrad::SelectRange(int FromCol, int ToCol, int FromRow, int ToRow)
{
    SetRow(ToRow);
    SetCol(ToCol);
    SetSelection(TGridRect { FromCol, FromRow, ToCol, ToRow });
}

void TDedOzovedUrad::SelectCells(int FromCol, int FromRow, int ToCol, int ToRow)
{
    if (FMouseActions->GetDisjunctCellSelect()) {
        ClearSelectedCells();
        for (int c = std::min(FromCol, ToCol); c <= std::max(FromCol, ToCol); ++c)
            for (int r = std::min(FromRow, ToRow); r <= std::max(FromRow, ToRow); ++r)
                SetSelectedCells(c, r, true);
        return;
    }
    const bool Single = FromCol == ToCol && FromRow == ToRow;
    if (Single && GetCol() >= 0 && GetRow() >= 0 && GetCol() < GetColCount() - 1 && GetRow() < GetRowCount() - 1) {
        SetCol(ToCol);
        SetRow(ToRow);
        return;
    }
    SetSelection(TGridRect { FromCol, FromRow, ToCol, ToRow });
}

void TDedOzovedUrad::SelectionChanged(int ALeft, int ATop, int ARight, int ABottom)
{
    if (FLook == glVista || FLook == glWin7 || FLook == glOffice2007) {
        const TGridRect Sel = GetSelection();
        RepaintRect(TRect(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom));
    }
    FSelChange = true;
    FDisSelection = GetSelection();
    if (OnSelectionChanged)
        OnSelectionChanged(this, ALeft, ATop, ARight, ABottom);
}

// ---- disjunct rows ----

bool TDedOzovedUrad::GetRowSelect(int ARow)
{
    if ((ARow >= GetRowCount() + NumHiddenRows() || ARow < 0) && !FMouseActions->GetRowSelectPersistent())
        throw ERirEvozError(u"Invalid row " + IntToStr(ARow) + u" accessed");
    if (FMouseActions->GetDisjunctRowSelect())
        return IsCellRowSelected(ARow);
    const TGridRect Sel = GetSelection();
    return ARow >= std::min(Sel.Top, Sel.Bottom) && ARow <= std::max(Sel.Top, Sel.Bottom);
}

void TDedOzovedUrad::SetRowSelect(int ARow, bool Value)
{
    FRowSelMod = false;
    if ((ARow >= GetRowCount() + NumHiddenRows() && GetFixedRows() < GetRowCount()) || ARow < 0)
        throw ERirEvozError(u"Invalid row accessed");
    // A row without an entry yet is not selected.
    const bool Was = IsCellRowSelected(ARow);
    const bool Changed = Was != Value;
    if (Changed && OnRowDisjunctSelect) {
        bool Allow = true;
        OnRowDisjunctSelect(this, ARow, Value, Allow);
        if (!Allow)
            return;
    }
    if (std::size_t(ARow) >= FRowSelect.size())
        FRowSelect.resize(std::size_t(ARow) + 1, false);
    auto FocusRowNotice = [&]() {
        if (ARow == GetRow() && FMouseActions->GetDisjunctRowSelect() && !FBlockCellChanging && OnSelectionChanged)
            OnSelectionChanged(this, 0, ARow, GetColCount() - 1, ARow);
    };
    if (Value) {
        if (!Was)
            RepaintRow(ARow);
        FRowSelMod = !Was;
        FRowSelect[std::size_t(ARow)] = true;
        if (ARow >= GetFixedRows() && FSelectedRowList.Add(ARow))
            FocusRowNotice();
    } else {
        if (Was)
            RepaintRow(ARow);
        FRowSelMod = Was;
        FRowSelect[std::size_t(ARow)] = false;
        FSelectedRowList.Remove(ARow);
        FocusRowNotice();
    }
    if (GetShowFocusedSelectionColor())
        Invalidate();
    if (Changed && OnRowDisjunctSelected)
        OnRowDisjunctSelected(this, ARow);
}

// The flag index of a display row: its real row while flags persist.
namespace {
int FlagIndex(TDedOzovedUrad& Grid, int Row, bool Persistent)
{
    return Persistent ? Grid.RealRowIndex(TDisplayRow(Row)).Value : Row;
}
} // namespace

void TDedOzovedUrad::SelectRows(int RowIndex, int RCount)
{
    RCount = std::min(RCount, GetRowCount() - RowIndex);
    if (!FMouseActions->GetDisjunctRowSelect()) {
        SetSelection(TGridRect { GetFixedCols(), RowIndex, GetColCount() - 1, RowIndex + RCount - 1 });
    } else {
        const bool Persistent = FMouseActions->GetRowSelectPersistent();
        // Flags persist by real row, which may lie beyond RowCount while
        // rows are hidden: the limit is every row the grid holds.
        const int Limit = Persistent ? TotalRowCount() : GetRowCount();
        for (int r = RowIndex; r < RowIndex + RCount; ++r)
            if (const int i = FlagIndex(*this, r, Persistent); i >= 0 && i < Limit)
                SetRowSelect(i, true);
    }
    if (!FRowIndicator->Empty())
        RepaintCol(0);
    FSelChange = false;
}

void TDedOzovedUrad::UnSelectRows(int RowIndex, int RCount)
{
    if (FMouseActions->GetDisjunctRowSelect()) {
        const bool Persistent = FMouseActions->GetRowSelectPersistent();
        const int Limit = Persistent ? TotalRowCount() : GetRowCount();
        for (int r = RowIndex; r < RowIndex + RCount; ++r)
            if (const int i = FlagIndex(*this, r, Persistent); i >= 0 && i < Limit)
                SetRowSelect(i, false);
    }
    FSelChange = false;
}

void TDedOzovedUrad::SelectAll() { SelectRows(GetFixedRows(), GetRowCount() - GetFixedRows()); }

void TDedOzovedUrad::ResetRowSelectList()
{
    for (std::size_t i = 0; i < FRowSelect.size(); ++i) {
        if (!FRowSelect[i])
            continue;
        RepaintRow(int(i));
        FRowSelect[i] = false;
        if (OnRowDisjunctSelected)
            OnRowDisjunctSelected(this, int(i));
    }
    FSelectedRowList.Clear();
}

void TDedOzovedUrad::ClearRowSelect()
{
    ResetRowSelectList();
    if (!FMouseActions->GetDisjunctRowSelect())
        HideSelection();
    Invalidate();
}

bool TDedOzovedUrad::SyncRowSelectWithSelection(bool All)
{
    const TGridRect Sel = GetSelection();
    if (Sel.Top == FDisSelection.Top)
        return false;
    const int Bottom = std::min(Sel.Bottom, GetRowCount() - FFixedFooters - 1);
    const bool Persistent = FMouseActions->GetRowSelectPersistent();
    bool Result = false;
    for (int r = GetFixedRows(); r < GetRowCount(); ++r) {
        const bool Inside = r >= Sel.Top && r <= Bottom;
        if (!Inside && !All)
            continue;
        SetRowSelect(FlagIndex(*this, r, Persistent), Inside);
        Result = Result || FRowSelMod;
    }
    if (NumHiddenRows() > 0)
        Invalidate();
    FDisSelection = Sel;
    return Result;
}

int TDedOzovedUrad::GetRowSelectCount()
{
    if (FMouseActions->GetDisjunctRowSelect()) {
        const std::size_t Last = std::min(FRowSelect.size(), std::size_t(std::max(0, TotalRowCount())));
        return int(std::count(FRowSelect.begin(), FRowSelect.begin() + std::ptrdiff_t(Last), true));
    }
    if (!GetOptions().Contains(goRowSelect))
        return 0;
    const TGridRect Sel = GetSelection();
    return std::abs(Sel.Bottom - Sel.Top) + (Sel.Top < GetRowCount() ? 1 : 0);
}

int TDedOzovedUrad::GetSelectedRowCount()
{
    if (FMouseActions->GetDisjunctRowSelect())
        return FSelectedRowList.Count();
    if (IsSelectionHidden())
        return 0;
    TGridRect Sel = GetSelection();
    if (Sel.Bottom >= GetRowCount() - FFixedFooters && !FFloatingFooter->GetVisible())
        Sel.Bottom = GetRowCount() - FFixedFooters - 1;
    if (IsMergedCell(Sel.Left, Sel.Top)) {
        const int S = CellSpan(Sel.Left, Sel.Top).Y;
        return Sel.Top + S > Sel.Bottom ? S + 1 : std::abs(Sel.Top - Sel.Bottom) + 1;
    }
    if (IsMergedCell(Sel.Left, Sel.Bottom))
        return std::abs(Sel.Top - Sel.Bottom) + CellSpan(Sel.Left, Sel.Bottom).Y + 1;
    return std::abs(Sel.Top - Sel.Bottom) + 1;
}

int TDedOzovedUrad::GetSelectedRow(int i)
{
    if (FMouseActions->GetDisjunctRowSelect())
        return FSelectedRowList.Item(i);
    const TGridRect Sel = GetSelection();
    const int Row = std::min(Sel.Top, Sel.Bottom) + i;
    return i >= 0 && Row <= std::max(Sel.Top, Sel.Bottom) ? Row : -1;
}

// ---- disjunct columns ----

bool TDedOzovedUrad::GetColSelect(int ACol)
{
    if (ACol >= GetColCount() + NumHiddenColumns() || ACol < 0)
        throw ERirEvozError(u"Invalid column accessed");
    return IsCellColSelected(ACol);
}

void TDedOzovedUrad::SetColSelect(int ACol, bool Value)
{
    if (ACol >= GetColCount() || ACol < 0)
        throw ERirEvozError(u"Invalid column accessed");
    const bool Was = IsCellColSelected(ACol);
    const bool Changed = Was != Value;
    if (Changed && OnColDisjunctSelect) {
        bool Allow = true;
        OnColDisjunctSelect(this, ACol, Value, Allow);
        if (!Allow)
            return;
    }
    if (std::size_t(ACol) >= FColSelect.size())
        FColSelect.resize(std::size_t(ACol) + 1, false);
    if (Was != Value)
        RepaintCol(ACol);
    FColSelect[std::size_t(ACol)] = Value;
    if (Changed && OnColDisjunctSelected)
        OnColDisjunctSelected(this, ACol);
}

void TDedOzovedUrad::SelectCols(int ColIndex, int CCount)
{
    if (!FMouseActions->GetDisjunctColSelect()) {
        SetSelection(TGridRect { ColIndex, GetFixedRows(), ColIndex + CCount - 1, GetRowCount() - 1 });
        return;
    }
    for (int c = ColIndex; c < ColIndex + CCount && c < GetColCount(); ++c)
        if (c >= 0)
            SetColSelect(c, true);
}

void TDedOzovedUrad::UnSelectCols(int ColIndex, int CCount)
{
    if (!FMouseActions->GetDisjunctColSelect())
        return;
    for (int c = ColIndex; c < ColIndex + CCount && c < GetColCount(); ++c)
        if (c >= 0)
            SetColSelect(c, false);
}

void TDedOzovedUrad::ClearColSelect()
{
    for (std::size_t c = 0; c < FColSelect.size(); ++c) {
        if (!FColSelect[c])
            continue;
        RepaintCol(int(c));
        FColSelect[c] = false;
        if (OnColDisjunctSelected)
            OnColDisjunctSelected(this, int(c));
    }
}

void TDedOzovedUrad::SyncColSelectWithSelection(bool All)
{
    const TGridRect Sel = GetSelection();
    for (int c = GetFixedCols(); c < GetColCount(); ++c) {
        const bool Inside = c >= Sel.Left && c <= Sel.Right;
        if (!Inside && !All)
            continue;
        if (std::size_t(c) >= FColSelect.size())
            FColSelect.resize(std::size_t(c) + 1, false);
        FColSelect[std::size_t(c)] = Inside;
    }
}

int TDedOzovedUrad::GetColSelectCount()
{
    if (FMouseActions->GetDisjunctColSelect())
        return int(std::count(FColSelect.begin(), FColSelect.end(), true));
    const TGridRect Sel = GetSelection();
    return Sel.Right - Sel.Left + 1;
}

int TDedOzovedUrad::GetSelectedColCount()
{
    if (FMouseActions->GetDisjunctColSelect())
        return GetColSelectCount();
    const TGridRect Sel = GetSelection();
    if (IsMergedCell(Sel.Left, Sel.Top)) {
        const int S = CellSpan(Sel.Left, Sel.Top).X;
        return Sel.Left + S > Sel.Right ? S + 1 : std::abs(Sel.Left - Sel.Right) + 1;
    }
    if (IsMergedCell(Sel.Right, Sel.Top))
        return std::abs(Sel.Left - Sel.Right) + CellSpan(Sel.Right, Sel.Top).X + 1;
    return std::abs(Sel.Left - Sel.Right) + 1;
}

// ---- disjunct cells ----

bool TDedOzovedUrad::GetSelectedCells(int i, int j)
{
    if (FMouseActions->GetDisjunctCellSelect())
        return FSelectedCells.Contains(i, j);
    const TGridRect Sel = Normalised(GetSelection());
    return i >= Sel.Left && i <= Sel.Right && j >= Sel.Top && j <= Sel.Bottom;
}

void TDedOzovedUrad::SetSelectedCells(int i, int j, bool Value)
{
    if (Value ? FSelectedCells.Add(i, j) : FSelectedCells.Remove(i, j))
        RepaintCell(i, j);
}

TGridCoord TDedOzovedUrad::GetSelectedCell(int i) const
{
    if (i < 0 || i >= FSelectedCells.Count())
        return TGridCoord { -1, -1 };
    return FSelectedCells.Item(i);
}

int TDedOzovedUrad::GetSelectedCellsCount()
{
    if (FMouseActions->GetDisjunctCellSelect())
        return FSelectedCells.Count();
    FSelectedCells.Clear();
    const TGridRect Sel = Normalised(GetSelection());
    if (Sel.Left == Sel.Right && Sel.Top == Sel.Bottom) {
        FSelectedCells.Add(GetCol(), GetRow());
    } else {
        for (int c = Sel.Left; c <= Sel.Right; ++c)
            for (int r = Sel.Top; r <= Sel.Bottom; ++r)
                FSelectedCells.Add(c, r);
    }
    return FSelectedCells.Count();
}

void TDedOzovedUrad::ClearSelectedCells()
{
    SetSelection(TGridRect { GetFixedCols(), GetFixedRows(), GetFixedCols(), GetFixedRows() });
    FSelectedCells.Clear();
    Invalidate();
}

bool TDedOzovedUrad::IsSelected(int ACol, int ARow)
{
    if (ARow < GetFixedRows() || ACol < GetFixedCols())
        return false;
    if (FMouseActions->GetDisjunctCellSelect())
        return FSelectedCells.Contains(ACol, ARow);
    if (FMouseActions->GetDisjunctRowSelect())
        return IsCellRowSelected(FlagIndex(*this, ARow, FMouseActions->GetRowSelectPersistent()));
    if (FMouseActions->GetDisjunctColSelect())
        return IsCellColSelected(ACol);
    const TGridRect Sel = GetSelection();
    return ACol >= Sel.Left && ACol <= Sel.Right && ARow >= Sel.Top && ARow <= Sel.Bottom;
}

// ---- the selection's text ----

String TDedOzovedUrad::SelectedText()
{
    const TGridRect Sel = GetSelection();
    int FromCol = Sel.Left, ToCol = Sel.Right;
    if (FDragDropSettings->GetOleEntireRows()) {
        FromCol = 0;
        ToCol = GetColCount() - 1;
    }
    if (FSaveHiddenCells)
        ToCol += NumHiddenColumns();
    auto CellText = [&](int c, int r) {
        const int RCol = FSaveHiddenCells ? c : DisplayToRealCol(TDisplayCol(c)).Value;
        String Text = GetCellEx(RCol, r);
        if (Text.find(u"{\\") != String::npos) {
            TLumRichEdit* Rich = GetRichEdit();
            CellToRich(RCol, r, Rich);
            Text = Rich->GetText();
        }
        if (FExcelClipboardFormat && Text.find(u"\r\n") != String::npos) {
            String Joined;
            for (std::size_t i = 0; i < Text.size(); ++i) {
                if (Text[i] == u'\r' && i + 1 < Text.size() && Text[i + 1] == u'\n') {
                    Joined += Char(11);
                    ++i;
                } else {
                    Joined += Text[i];
                }
            }
            Text = u"\"" + Joined + u"\"";
        }
        return Text;
    };
    auto RowText = [&](int r) {
        String Line;
        for (int c = FromCol; c <= ToCol; ++c) {
            if (c > FromCol)
                Line += u'\t';
            Line += CellText(c, r);
        }
        return Line;
    };
    String Result;
    if (FMouseActions->GetDisjunctRowSelect()) {
        const bool Persistent = FMouseActions->GetRowSelectPersistent();
        for (int r = GetFixedRows(); r < GetRowCount(); ++r)
            if (IsCellRowSelected(FlagIndex(*this, r, Persistent)))
                Result += RowText(r) + u"\r\n";
        return Result;
    }
    for (int r = Sel.Top; r <= Sel.Bottom; ++r) {
        if (r > Sel.Top)
            Result += u"\r\n";
        Result += RowText(r);
    }
    return Result;
}
