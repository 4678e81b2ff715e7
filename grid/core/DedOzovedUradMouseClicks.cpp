// The right button and the left double click: the right press selects
// like a left one when asked to, keeps a flagged row set for a context
// menu and may open a link cell's text for editing; the double click sizes
// a column from its header border, toggles nodes, starts editing and opens
// header editors.

#include <algorithm>
#include <cstdlib>

#include "grid/core/DedOzovedUrad.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/vcl/Menus.h"

namespace {

bool PointIn(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

bool HoldsURL(const String& Text) { return Text.find(u"://") != String::npos || Text.find(u"mailto:") != String::npos; }

} // namespace

template <typename F> void TDedOzovedUrad::KeepingLeftCol(F Action)
{
    if (!FNavigation->GetKeepHorizScroll()) {
        Action();
        return;
    }
    const int Left = GetLeftCol();
    BeginUpdate();
    try {
        Action();
    } catch (...) {
        SetLeftCol(Left);
        EndUpdate();
        throw;
    }
    SetLeftCol(Left);
    EndUpdate();
}

void TDedOzovedUrad::SimulateLeftClick(int X, int Y)
{
    MouseDown(mbLeft, TShiftState {}, X, Y);
    MouseUp(mbLeft, TShiftState {}, X, Y);
}

// The selecting part of a right press on a normal cell (display column).
void TDedOzovedUrad::RightPressSelects(int ACol, int ARow, int X, int Y, TShiftState Shift, bool WasSelected)
{
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    if (!IsControlCell(RealCol, ARow)) {
        if (OnRightClickCell)
            FocusCell(ACol, ARow);
        else
            KeepingLeftCol([&] { SimulateLeftClick(X, Y); });
    }
    if (WasSelected && !GetOptions().Contains(goRowSelect)) {
        // The answer is not used: the focus stays where it is.
        bool CanSelect = true;
        if (OnSelectCell)
            OnSelectCell(this, ACol, ARow, CanSelect);
    } else {
        const TPoint Base = BaseCell(RealCol, ARow);
        const int BaseCol = DisplColIndex(TRealCol(Base.X)).Value;
        if (BaseCol >= 0 && BaseCol < GetColCount() && Base.Y >= 0 && Base.Y < GetRowCount())
            KeepingLeftCol([&] { MoveColRow(BaseCol, Base.Y, true, true); });
    }
    if (!FMouseActions->GetDisjunctRowSelect())
        return;
    if (Shift.Contains(ssCtrl) || FMouseActions->GetDisjunctRowSelectNoCtrl()) {
        SetRowSelect(ARow, !GetRowSelect(ARow));
        return;
    }
    // A right click on one of several flagged rows keeps them for the
    // context menu.
    if (GetRowSelectCount() < 2 || !GetPopupMenu() || !WasSelected) {
        ResetRowSelectList();
        SetRowSelect(ARow, true);
    }
}

void TDedOzovedUrad::WMRButtonDown(TMessage& Message)
{
    // Taken before the platform's press: a simulated click below moves the
    // selection.
    const TPoint P = PointOf(Message.LParam);
    const int X = P.X, Y = P.Y;
    TBaseGrid::WndProc(Message);
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TShiftState Shift = PressShiftState();
    const bool OnCell = ACol >= 0 && ARow >= 0;
    TMouseActions* MA = FMouseActions.get();

    if (MA->GetSelectOnRightClick() && MA->GetRowSelect() && ACol >= 0 && ACol < GetFixedCols() && ARow >= 0) {
        FireMouseDown(mbLeft, Shift, X, Y);
        SetRow(ARow);
        DoClickCell(ARow, GetFixedCols());
        return;
    }
    if (MA->GetSelectOnRightClick() && OnCell && !IsFixed(ACol, ARow)) {
        const bool WasSelected = IsSelected(ACol, ARow);
        if (WasSelected && MA->GetSelectOnRightClickNewSelectionOnly())
            return;
        if (MA->GetHotmailRowSelect() && Shift.Contains(ssShift)) {
            const int From = std::min(GetRow(), ARow), To = std::max(GetRow(), ARow);
            for (int r = From; r <= To; ++r)
                SetRowSelect(r, true);
            DoClickCell(ARow, GetFixedCols());
            if (OnCheckBoxChange)
                OnCheckBoxChange(this, GetFixedCols(), ARow, true);
            return;
        }
        if (!MA->GetDisjunctCellSelect() || !WasSelected)
            RightPressSelects(ACol, ARow, X, Y, Shift, WasSelected);
    }
    if (OnRightClickCell)
        OnRightClickCell(this, ARow, ACol);
    // A right click opens a link cell's text for editing; a left click
    // follows the link.
    if (OnCell && GetURLShow() && GetURLEdit()) {
        const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
        if (HoldsURL(GetCells(RealCol, ARow))) {
            SetCol(ACol);
            SetRow(ARow);
            ShowEditor();
        }
    }
}

void TDedOzovedUrad::WMRButtonUp(TMessage& Message)
{
    if (GetEnhRowColMove() && (GetGridState() == gsRowMoving || GetGridState() == gsColMoving)) {
        Message.Result = 0;
        return;
    }
    TBaseGrid::WndProc(Message);
}

void TDedOzovedUrad::DblClickSizeColumn(int ACol)
{
    if (!DoColumnSize(ACol))
        return;
    AutoSizeCol(ACol, 0);
    if (OnEndColumnSize)
        OnEndColumnSize(this, ACol);
}

bool TDedOzovedUrad::DblClickSizesColumn(TMessage& Message, int ACol, int ARow, int X)
{
    if (ARow < 0 || ARow >= GetFixedRows() || !GetOptions().Contains(goColSizing)
        || !FMouseActions->GetAutoSizeColOnDblClick())
        return false;
    const TRect R = CellRect(ACol, ARow);
    if (std::abs(X - R.Left) <= 3) {
        // The release that follows must not sort.
        FDblClk = true;
        int Sized = ACol - 1;
        // A hidden zero-width column left of the border is skipped.
        if (Sized >= 0 && Sized < FSuppressColSizes->GetCount() && (*FSuppressColSizes)[Sized] > 0
            && GetColWidths(Sized) == 0)
            Sized = ACol - 2;
        if (Sized >= GetFixedCols()) {
            DblClickSizeColumn(Sized);
            FForceSel = false;
            TBaseGrid::WndProc(Message);
            return true;
        }
    }
    if (std::abs(X - R.Right) <= 3 && ACol >= GetFixedCols()) {
        FDblClk = true;
        DblClickSizeColumn(ACol);
        FForceSel = false;
        TBaseGrid::WndProc(Message);
        return true;
    }
    return false;
}

void TDedOzovedUrad::WMLButtonDblClk(TMessage& Message)
{
    const TPoint P = PointOf(Message.LParam);
    const int X = P.X, Y = P.Y;
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    // The forced selection lasts for this handler only, whichever way it
    // ends.
    struct TForceSelEnd {
        bool& Flag;
        ~TForceSelEnd() { Flag = false; }
    } ForceSelEnd { FForceSel };
    if (ACol >= 0 && ARow >= 0 && FMouseActions->GetRangeSelectAndEdit()
        && !IsControlCell(RealColIndex(TDisplayCol(ACol)).Value, ARow))
        FForceSel = true;

    // Beyond the last column the click counts as one on its header.
    if (ACol == -1) {
        if (GetFixedRowAlways()) {
            TBaseGrid::WndProc(Message);
            return;
        }
        ACol = GetColCount() - 1;
        ARow = 0;
    }
    if (ACol < 0)
        return;
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    if (ACol >= GetFixedCols() && ARow >= 0 && FMouseActions->GetToggleNodeOnDblClick() && IsNode(ARow)) {
        FDataViews->ToggleNode(RealRowIndex(TDisplayRow(ARow)).Value);
        return;
    }
    if (DblClickSizesColumn(Message, ACol, ARow, X))
        return;
    if (ARow >= 0
        && ((HasButton(RealCol, ARow) && PointIn(CellButtonRect(ACol, ARow), X, Y))
            || (HasExpand(RealCol, ARow) && PointIn(ExpandButtonRect(ACol, ARow), X, Y))))
        return;

    TBaseGrid::WndProc(Message);
    if (OnDblClickCell)
        OnDblClickCell(this, ARow, ACol);
    if (ARow < 0)
        return;
    if (IsControlCell(RealCol, ARow) && !HasButton(RealCol, ARow))
        return;

    if (FMouseActions->GetEditOnDblClickOnly()) {
        const bool OldRange = FMouseActions->GetRangeSelectAndEdit();
        FMouseActions->SetRangeSelectAndEdit(true);
        try {
            if (IsEditable(RealCol, ARow)) {
                SetOptions(GetOptions() + TGridOptions { goEditing });
                FOldCol = ACol;
                FOldRow = ARow;
                ShowInplaceEdit();
            }
        } catch (...) {
            FMouseActions->SetRangeSelectAndEdit(OldRange);
            throw;
        }
        FMouseActions->SetRangeSelectAndEdit(OldRange);
    } else if (FMouseActions->GetRangeSelectAndEdit() && IsEditable(RealCol, ARow)) {
        // The press opens the editor in the base cell.
        SetOptions(GetOptions() + TGridOptions { goEditing });
        const TPoint Base = BaseCell(RealCol, ARow);
        const TRect R = CellRect(DisplColIndex(TRealCol(Base.X)).Value, Base.Y);
        MouseDown(mbLeft, TShiftState {}, R.Left + 4, R.Top + 4);
    }
    FForceSel = false;

    if ((ARow < GetFixedRows() && FMouseActions->GetFixedRowsEdit() == fceDblClick)
        || (ACol < GetFixedCols() && FMouseActions->GetFixedColsEdit() == fceDblClick))
        EditFixedCell(ACol, ARow, false);
}
