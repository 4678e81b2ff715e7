// The string grid's counts and fixed regions: the count setters with their
// per-column arrays, fixed lines that survive a grid without normal lines,
// the floating footer's row, forced scroll bars, resize permission and zoom.

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/MathUtils.h"
#include "platform/win/Window.h"

namespace {

// Raises a flag for one scope; an exception cannot leave it set.
struct TFlagGuard {
    bool& Flag;
    bool Old;
    explicit TFlagGuard(bool& F) : Flag(F), Old(F) { Flag = true; }
    ~TFlagGuard() { Flag = Old; }
};

bool IsFlatScrollType(TScrollType Type) { return Type == ssFlat || Type == ssEncarta || Type == ssMetro; }

} // namespace

// ---- counts ----

void TDedOzovedUrad::SetRowCount(int Value)
{
    const int OldCount = GetRowCount();
    // The handler sees the grid as it was. A grid being destroyed stays
    // silent: its form may be half gone.
    if (OnRowCountChange && Value != OldCount && !TBaseGrid::IsDestroying())
        OnRowCountChange(this, OldCount, Value);
    if (OldCount == GetFixedRows() && FFixedRowAlways && IsSelectionHidden())
        UnHideSelection();
    // A focus cell outside the grid comes back to the first normal cell.
    if (GetCol() == GetColCount() || GetRow() == OldCount) {
        if (GetFixedCols() < GetColCount() && GetFixedRows() < OldCount)
            FocusCell(GetFixedCols(), GetFixedRows());
    }

    TBaseGrid::SetRowCount(Value);

    for (int r = FSuppressRowSizes->Count(); r < GetRowCount(); ++r)
        FSuppressRowSizes->Add(GetRowHeights(r));
    // Only when the platform holds fewer fixed rows than asked: applying the
    // count moves the focus to the first normal row.
    if (FFixedRowAlways && FFixedRowsMin < GetRowCount() && TBaseGrid::GetFixedRows() != FFixedRowsMin)
        SetFixedRows(FFixedRowsMin);
    FMaxRowCount = std::max(FMaxRowCount, GetRowCount());
    FNormalRowCount = GetRowCount();

    if (FFooterPanel)
        FFooterPanel->Invalidate();
    UpdateVertScrollProportion();
    UpdateHorzScrollProportion();
    ApplyScrollBarAlways(false);
    if (IsFlatScrollType(FScrollType)) {
        SyncFlatVertScrollBar();
        SyncFlatHorzScrollBar();
    }
    if (FFloatingFooter->GetVisible() && GetRowCount() != OldCount && !TBaseGrid::IsDestroying())
        KeepFooterRowLast(OldCount);
}

// The floating footer shows the grid's last row: its texts and objects move
// from the old last row to the new one. The old row stays in the store even
// when the grid shrank past it, so nothing is lost on the way.
void TDedOzovedUrad::KeepFooterRowLast(int OldRowCount)
{
    const int From = OldRowCount - 1;
    const int To = GetRowCount() - 1;
    if (From < 0 || From == To)
        return;
    for (int c = 0; c < GetAllColCount(); ++c) {
        // The row replaced by the footer row gives up its properties; they
        // would otherwise be lost with nobody to free them.
        if (auto* Old = dynamic_cast<TCellProperties*>(GetStoredObject(c, To))) {
            if (Old->GetOwnsGraphicObject())
                delete Old->GetGraphicObject();
            delete Old;
        }
        TObject* Moved = GetStoredObject(c, From);
        if (auto* Props = dynamic_cast<TCellProperties*>(Moved))
            Props->SetOwnerRow(To);
        SetStoredCell(c, To, GetStoredCell(c, From));
        SetStoredObject(c, To, Moved);
        // Moved, not freed.
        SetStoredObject(c, From, nullptr);
        SetStoredCell(c, From, String());
    }
    InvalidateRow(std::min(From, To));
    CalcFooter(-1);
}

void TDedOzovedUrad::SetColCount(int Value)
{
    TBaseGrid::SetColCount(Value);
    GrowColumnArrays();
    if (FFixedColAlways && FFixedColsMin < GetColCount() && TBaseGrid::GetFixedCols() != FFixedColsMin)
        SetFixedCols(FFixedColsMin);
    FMaxColCount = std::max(FMaxColCount, GetColCount());
    for (int c = FSuppressColSizes->Count(); c < GetColCount(); ++c)
        FSuppressColSizes->Add(GetColWidths(c));

    if (FFooterPanel)
        FFooterPanel->Invalidate();
    LayoutSearchPanel();
    // IntegralHeight and the border depend on the columns.
    SetBounds(GetLeft(), GetTop(), GetWidth(), GetHeight());
    UpdateVertScrollProportion();
    UpdateHorzScrollProportion();
    ApplyScrollBarAlways(false);
}

// One visible flag and one remembered width per stored column; new columns
// are visible.
void TDedOzovedUrad::GrowColumnArrays()
{
    const std::size_t All = std::size_t(std::max(0, GetAllColCount()));
    FVisibleCol.resize(All, true);
    FAllColWidths.resize(All, GetDefaultColWidth());
}

int TDedOzovedUrad::GetFixedRows() const
{
    const int Platform = TBaseGrid::GetFixedRows();
    return Platform == 0 && FFixedRowAlways ? 1 : Platform;
}

int TDedOzovedUrad::GetFixedCols() const
{
    const int Platform = TBaseGrid::GetFixedCols();
    return Platform == 0 && FFixedColAlways ? 1 : Platform;
}

void TDedOzovedUrad::SetFixedRows(int Value)
{
    const int Requested = Value;
    if (FFixedRowAlways && Value >= GetRowCount())
        Value = GetRowCount() - 1;
    TBaseGrid::SetFixedRows(Value);
    if (!IsLoading())
        FFixedRowsMin = Requested;
}

void TDedOzovedUrad::SetFixedCols(int Value)
{
    const int Requested = Value;
    if (FFixedColAlways && Value >= GetColCount())
        Value = GetColCount() - 1;
    TBaseGrid::SetFixedCols(Value);
    if (!IsLoading())
        FFixedColsMin = Requested;
}

void TDedOzovedUrad::SetDefaultRowHeight(int Value)
{
    TBaseGrid::SetDefaultRowHeight(Value);
    if (IsDesigning() && !IsLoading())
        SetFixedRowHeight(Value);
    FFloatingFooter->SetHeight(Value);
}

void TDedOzovedUrad::SetCol(int Value)
{
    const int Old = GetCol();
    TBaseGrid::SetCol(Value);
    FDisSelection = GetSelection();
    FAECol = -1;
    FAERow = -1;
    TStringGrid* Other = FSyncGrid->GetGrid();
    const int Col = GetCol();
    if (!Other || !FSyncGrid->GetSelectionColumn() || Col == Old || Col >= Other->GetColCount())
        return;
    if (auto* Grid = dynamic_cast<TDedOzovedUrad*>(Other)) {
        // The partner moves as if by itself: its OnClick stays quiet.
        TNotifyEvent Click = std::move(Grid->OnClick);
        Grid->OnClick = nullptr;
        try {
            Grid->SetCol(Col);
        } catch (...) {
            Grid->OnClick = std::move(Click);
            throw;
        }
        Grid->OnClick = std::move(Click);
    } else {
        Other->SetCol(Col);
    }
}

// ---- derived counts ----

int TDedOzovedUrad::GetFilteredRows() const
{
    if (FFilterType == ftHide)
        return GetRowCount();
    int Rows = GetRowCount();
    for (int r = GetFixedRows(); r < GetRowCount(); ++r)
        if (GetRowHeights(r) == 0)
            --Rows;
    return Rows;
}

int TDedOzovedUrad::FixedColumnsWidth() const
{
    int Width = 0;
    for (int c = 0; c < GetFixedCols() && c < GetColCount(); ++c)
        Width += GetColWidths(c);
    for (int c = std::max(0, GetColCount() - FFixedRightCols); c < GetColCount(); ++c)
        Width += GetColWidths(c);
    return Width;
}

// ---- scroll bars ----

void TDedOzovedUrad::ApplyScrollBarAlways(bool Hide)
{
    if (!HandleAllocated() || TBaseGrid::IsDestroying())
        return;
    const HWND Wnd = GetHandle();
    const TScrollStyle Bars = GetScrollBars();
    const bool AllowV = Bars == ssVertical || Bars == ssBoth;
    const bool AllowH = Bars == ssHorizontal || Bars == ssBoth;
    const bool RowsFit = GetVisibleRowCount() + GetFixedRows() >= GetRowCount();
    const bool ColsFit = GetVisibleColCount() + GetFixedCols() >= GetColCount();
    if (FScrollBarAlways != saNone) {
        if (RowsFit && AllowV)
            ShowScrollBar(Wnd, SB_VERT, FScrollBarAlways == saVert || FScrollBarAlways == saBoth);
        if (ColsFit && AllowH)
            ShowScrollBar(Wnd, SB_HORZ, FScrollBarAlways == saHorz || FScrollBarAlways == saBoth);
        // A bar with nothing to scroll stays in place, greyed.
        EnableScrollBar(Wnd, SB_VERT, RowsFit ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
        EnableScrollBar(Wnd, SB_HORZ, ColsFit ? ESB_DISABLE_BOTH : ESB_ENABLE_BOTH);
    } else if (Hide) {
        if (RowsFit)
            ShowScrollBar(Wnd, SB_VERT, false);
        if (ColsFit)
            ShowScrollBar(Wnd, SB_HORZ, false);
    }
}

// ---- resize permission ----

void TDedOzovedUrad::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs)
{
    TBaseGrid::CalcSizingState(X, Y, State, Index, SizingPos, SizingOfs);
    int ACol = -1, ARow = -1;
    // The column whose right edge is near the pointer, in the fixed rows.
    MouseToCell(X - 6, Y, ACol, ARow);
    if (ARow >= 0 && ARow < GetFixedRows() && ACol >= 0 && GetOptions().Contains(goColSizing) && OnColumnSize) {
        bool Allow = true;
        OnColumnSize(this, ACol, Allow);
        if (!Allow) {
            State = gsNormal;
            FSizeFixed = false;
        }
    }
    // The row whose bottom edge is near the pointer, in the fixed columns.
    MouseToCell(X, Y - 6, ACol, ARow);
    if (ACol >= 0 && ACol < GetFixedCols() && ARow >= 0 && GetOptions().Contains(goRowSizing) && OnRowSize) {
        bool Allow = true;
        OnRowSize(this, ARow, Allow);
        if (!Allow)
            State = gsNormal;
    }
}

// ---- zoom ----

int TDedOzovedUrad::ZoomLineSize(int Size, int x, double Scale)
{
    if (Size <= 0)
        return Size; // a hidden (suppressed) line stays hidden
    // The line is tested with the amount it actually grows by, so that a
    // shrink never drives it to 0 or below.
    const int Step = int(RoundHalfEven(x * Scale));
    return Size + Step > 0 ? Size + Step : Size;
}

void TDedOzovedUrad::Zoom(int x)
{
    const int Zoomed = GetZoomFactor() + x;
    if (Zoomed < -20 || Zoomed > 20)
        return;
    {
        TFlagGuard ScrollLock(FScrollLock);
        SetZoomFactor(Zoomed);
        struct TUpdate {
            TDedOzovedUrad& Grid;
            bool WasUpdating;
            explicit TUpdate(TDedOzovedUrad& G) : Grid(G), WasUpdating(G.GetUpdating())
            {
                Grid.BeginUpdate();
                // The platform lays out once, after all lines changed.
                Grid.SetUpdating(true);
            }
            ~TUpdate()
            {
                Grid.SetUpdating(WasUpdating);
                Grid.EndUpdate();
            }
        } Update(*this);
        for (int c = 0; c < GetColCount(); ++c)
            SetColWidths(c, ZoomLineSize(GetColWidths(c), x, FDPIScale));
        {
            struct TRowHeightChange {
                TDedOzovedUrad& Grid;
                explicit TRowHeightChange(TDedOzovedUrad& G) : Grid(G) { Grid.BeginRowHeightChange(); }
                ~TRowHeightChange() { Grid.EndRowHeightChange(); }
            } Change(*this);
            for (int r = 0; r < GetRowCount(); ++r)
                SetRowHeights(r, ZoomLineSize(GetRowHeights(r), x, FDPIScale));
        }
        SetUpdating(Update.WasUpdating);
        TBaseGrid::RowHeightsChanged();
    }
    if (FScrollProportional && FScrollType != ssMetro) {
        UpdateVertScrollProportion();
        UpdateHorzScrollProportion();
    }
}

void TDedOzovedUrad::ApplyZoom(TFont* AFont) const
{
    // A font given by pixel height (size 0 or below) is left alone.
    const int Size = AFont->GetSize();
    if (GetZoomFactor() != 0 && Size > 0)
        AFont->SetSize(ZoomedFontSize(Size));
}
