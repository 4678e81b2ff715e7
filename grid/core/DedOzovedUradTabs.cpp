// Tab through the cells: the grid's WM_KEYDOWN handler and every in-place
// editor call NavigateFromEditor for one press of Tab. It walks in the
// order of Navigation.TabAdvanceDirection over cells that do not take the
// cursor and over merged areas, appends a row at the end or hands Tab on
// to the form, and reopens the editor in the cell it reaches.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

using GridGuards::TValueGuard;

namespace {

// Puts the re-entry guard back to idle however the move ends.
struct TTabGuard {
    int& Col;
    int& Row;
    ~TTabGuard()
    {
        Col = -1;
        Row = -1;
    }
};

} // namespace

bool TDedOzovedUrad::TabToParent()
{
    TWinControl* Parent = GetParent();
    if (!Parent || !FNavigation->GetTabToNextAtEnd())
        return false;
    TCustomForm* Form = GetParentForm(this);
    if (!Form || Form->GetControlCount() <= 1 || !Parent->HandleAllocated())
        return false;
    PostMessage(Parent->GetHandle(), WM_KEYDOWN, VK_TAB, 0);
    return true;
}

void TDedOzovedUrad::TabBackwardStep()
{
    const int LastNormalRow = GetRowCount() - FFixedFooters - 1;
    const int EndCol = GetColCount() - VisibleFixedRightCols();
    const int Col = GetCol(), Row = GetRow();
    if (FNavigation->GetTabAdvanceDirection() != adLeftRight) {
        if (Row > GetFixedRows()) {
            SetRow(Row - 1);
        } else {
            SetRow(LastNormalRow);
            SetCol(Col > FirstCursorCol() ? Col - 1 : EndCol - 1);
        }
        return;
    }
    if (Col > FirstCursorCol()) {
        for (int c = Col - 1; c >= FirstCursorCol(); --c)
            if (CellTakesCursor(c, Row) && IsBaseCell(DisplayToRealCol(TDisplayCol(c)).Value, Row)) {
                SetCol(c);
                return;
            }
        if (Row > GetFixedRows()) {
            const int c = LastCellInRow(Row - 1);
            if (c >= 0)
                GotoCell(c, Row - 1);
        } else {
            const int c = LastCellInRow(LastNormalRow);
            if (c >= 0) {
                GotoCell(c, LastNormalRow);
                ScrollInView(GetCol(), GetRow(), spMiddle);
            }
        }
        MoveToBaseCell();
        return;
    }
    // From the first cursor column: the last cell that takes the cursor in
    // the rows above, wrapping from the first normal row to the last one.
    int r = Row - 1;
    if (Row <= GetFixedRows()) {
        r = LastNormalRow;
        SetRow(r);
    }
    for (; r >= GetFixedRows(); --r)
        for (int c = EndCol - 1; c >= GetFixedCols(); --c)
            if (CellTakesCursor(c, r)) {
                SetCol(c);
                SetRow(r);
                return;
            }
}

bool TDedOzovedUrad::TabForwardStep(bool& Result)
{
    const int Col = GetCol(), Row = GetRow();
    const int EndCol = GetColCount() - VisibleFixedRightCols();
    const int Span = CellSpan(DisplayToRealCol(TDisplayCol(Col)).Value, Row).Y;
    if (Row + Span + 1 < GetRowCount() - FFixedFooters) {
        SetRow(Row + Span + 1);
        return false;
    }
    SetRow(GetFixedRows());
    if (Col < EndCol - 1) {
        SetCol(Col + 1);
    } else {
        SetCol(FirstCursorCol());
        if (TabToParent())
            Result = false;
    }
    return false;
}

bool TDedOzovedUrad::TabLeftRightStep(bool& Result)
{
    const int Col = GetCol(), Row = GetRow();
    const int RowCount = GetRowCount(), FixedRows = GetFixedRows(), FixedCols = GetFixedCols();
    const int LastNormalRow = RowCount - FFixedFooters - 1;
    const int EndCol = GetColCount() - VisibleFixedRightCols();
    auto RealOf = [&](int c) { return DisplayToRealCol(TDisplayCol(c)).Value; };
    const int SpanX = CellSpan(RealOf(Col), Row).X;

    if (LastCellInRow(Row) < Col + SpanX + 1) {
        if (Row < LastNormalRow) {
            int d = -1;
            for (int c = FirstCursorCol(); c < GetColCount() && d < 0; ++c)
                if (IsBaseCell(RealOf(c), Row + 1) && CellTakesCursor(c, Row + 1))
                    d = c;
            if (d < 0) {
                for (int r = Row + 2; r < RowCount; ++r) {
                    const int First = FirstCellInRow(r);
                    if (First != -1) {
                        SetRow(r);
                        SetCol(std::max(FixedCols, First));
                        return false;
                    }
                }
                // No row below takes the cursor: go on from the last cell.
                FocusCell(GetColCount() - 1, RowCount - 1);
                return true;
            }
            bool Allow = true;
            if (OnRowChanging)
                OnRowChanging(this, Row, Row + 1, Allow);
            if (OnCellChanging)
                OnCellChanging(this, Row, Col, Row + 1, d, Allow);
            if (OnColChanging)
                OnColChanging(this, Col, d, Allow);
            if (Allow && CanTabToNextRow()) {
                TValueGuard Force(FForceSel, true);
                SetCol(d);
                SetRow(Row + 1);
            }
            return false;
        }
        if (FNavigation->GetTabToNextAtEnd() || !FNavigation->GetAdvanceInsert()) {
            SetRow(FixedRows);
        } else {
            bool CanAdd = true;
            if (OnCanAddRow)
                OnCanAddRow(this, CanAdd);
            if (CanAdd) {
                if (FFloatingFooter->GetVisible()) {
                    InsertRows(GetRowCount() - 1, 1);
                    SetRow(GetRowCount() - 2);
                } else {
                    SetRowCount(GetRowCount() + 1);
                    SetRow(GetRowCount() - 1);
                }
                if (OnAutoAddRow)
                    OnAutoAddRow(this, GetRowCount() - FFixedFooters - 1);
            } else {
                SetRow(FixedRows);
            }
        }
        SetCol(std::max(FixedCols, FirstCellInRow(GetRow())));
        if (TabToParent())
            Result = false;
        return false;
    }

    // A cell to the right takes the cursor: walk to it, over merged areas,
    // on into the next rows when the only such cells lie at the end column.
    // One pass over the rows at most: a grid whose cursor cells all lie at
    // or beyond the end column leaves the focus where it was.
    int a = Col, d = 0, k = 1;
    const int Rows = std::max(1, LastNormalRow - FixedRows + 1);
    for (int Passes = 0; Passes <= Rows + 1;) {
        int r = Row + d;
        if (r > LastNormalRow)
            r = FixedRows + (r - LastNormalRow - 1);
        const int s = a < GetColCount() ? CellSpan(RealOf(a), r).X : 0;
        int Candidate = a + s + k;
        while (Candidate < EndCol && !CellTakesCursor(Candidate, r)) {
            ++k;
            Candidate = a + s + k;
        }
        if (Candidate < EndCol) {
            SetCol(Candidate);
            SetRow(r);
            break;
        }
        if (Candidate == EndCol) {
            ++d;
            ++Passes;
            a = FixedCols;
            k = 0;
            continue;
        }
        // A merged area reaching past the end column.
        const int Next = Row + 1 < RowCount ? Row + 1 : (LastNormalRow >= FixedRows ? FixedRows : -1);
        if (Next >= 0) {
            const int c = FirstCellInRow(Next);
            if (c >= 0)
                GotoCell(c, Next);
        }
        break;
    }
    return !IsBaseCell(RealOf(GetCol()), GetRow());
}

bool TDedOzovedUrad::TabStep(bool Backward, bool& Result)
{
    if (Backward) {
        TabBackwardStep();
        return false;
    }
    if (FNavigation->GetTabAdvanceDirection() != adLeftRight)
        return TabForwardStep(Result);
    return TabLeftRightStep(Result);
}

bool TDedOzovedUrad::NavigateFromEditor(bool Backward)
{
    if (FNavigation->GetAlwaysEdit())
        HideInplaceEdit();
    if (OnKeyDown) {
        WORD Key = VK_TAB;
        TShiftState Shift;
        if (Backward)
            Shift.Include(ssShift);
        OnKeyDown(this, Key, Shift);
        if (Key != VK_TAB)
            return true;
    }
    const int StartCol = GetCol(), StartRow = GetRow();
    if (StartCol == FLastTabCol && StartRow == FLastTabRow)
        return true;
    if (StartCol < 0 || StartRow < 0 || StartCol >= GetColCount() || StartRow >= GetRowCount())
        return true;
    FLastTabCol = StartCol;
    FLastTabRow = StartRow;
    TTabGuard Guard { FLastTabCol, FLastTabRow };

    bool Result = true;
    bool GaveUp = false;
    // The moves that go on from a cell that cannot be stopped at (not
    // editable in editing mode, inside a merged area) visit every cell once
    // at most; a grid where no cell can be stopped at keeps its focus.
    const long long MaxMoves = (long long)GetColCount() * GetRowCount() + 1;
    for (long long Moves = 0;; ++Moves) {
        const int FromCol = GetCol(), FromRow = GetRow();
        FLastTabCol = FromCol;
        FLastTabRow = FromRow;
        bool Again = TabStep(Backward, Result);
        // Editing mode: goEditing, or switched off for a while by a
        // read-only cell the focus passed.
        if (!Again && (GetOptions().Contains(goEditing) || FEditDisable)
            && !IsEditable(DisplayToRealCol(TDisplayCol(GetCol())).Value, GetRow()))
            Again = true;
        if (!Again)
            break;
        const bool Stuck = GetCol() == FromCol && GetRow() == FromRow;
        const bool Round = GetCol() == StartCol && GetRow() == StartRow;
        // Handing Tab on to the form ends the move where it is.
        if (!Result)
            break;
        if (Stuck || Round || Moves + 1 >= MaxMoves) {
            GaveUp = true;
            break;
        }
    }
    if (GaveUp) {
        if (GetCol() != StartCol || GetRow() != StartRow) {
            TValueGuard Force(FForceSel, true);
            FocusCell(StartCol, StartRow);
        }
    } else if (FNavigation->GetAdvanceAutoEdit()
        && !IsControlCell(DisplayToRealCol(TDisplayCol(GetCol())).Value, GetRow())) {
        ClickCell(GetCol(), GetRow(), true);
    }
    if (IsMergedCell(DisplayToRealCol(TDisplayCol(StartCol)).Value, StartRow))
        RepaintCell(StartCol, StartRow);
    if (GetActiveRowShow() && GetRow() != StartRow)
        Invalidate();
    FLastTabCol = -1;
    FLastTabRow = -1;
    if (FMouseActions->GetDisjunctRowSelect()) {
        ResetRowSelectList();
        SetRowSelect(GetRow(), true);
    }
    return Result;
}
