// The grid's mouse-down step: what it adds around the platform grid's own
// step for every press the platform handles (left, right and double
// clicks): the range-select edit start, the fixed-cell drop-down button,
// the pressed header look, the repair of a current cell outside the grid,
// the filter edit row, fixed-cell editing by a click and the synchronised
// grid.

#include "grid/core/DedOzovedUrad.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Menus.h"

bool TDedOzovedUrad::CanShowFixedDropDown(int ACol)
{
    bool Allow = true;
    if (OnCanShowFixedDropDown)
        OnCanShowFixedDropDown(this, ACol, Allow);
    return Allow;
}

// The drop-down menu button at the right edge of a hover fixed cell; the
// last 2 pixels stay with column sizing when it is on.
bool TDedOzovedUrad::StepFixedDropDown(int ACol, int ARow, int X)
{
    if (!FControlLook->GetFixedDropDownButton() || !IsHoverFixedCell(ACol, ARow))
        return false;
    const TRect R = CellRect(ACol, ARow);
    const int Right = GetOptions().Contains(goColSizing) ? R.Right - 2 : R.Right;
    if (!(X > R.Right - 16 && X < Right))
        return false;
    FDropDownDown = true;
    bool Keep = false;
    if (!CanShowFixedDropDown(ACol) || (!FFixedDropDownMenu && !OnFixedDropDownClick))
        return false;
    FNoMouseLeave = true;
    TPopupMenu* Menu = FFixedDropDownMenu;
    if (Menu)
        Menu->SetTag(ACol);
    if (OnFixedDropDownClick)
        OnFixedDropDownClick(this, ACol, ARow, Menu, Keep);
    if (Menu) {
        FMouseDownMove = false;
        FHoverFixedX = ACol;
        FHoverFixedY = ARow;
        RepaintCell(ACol, ARow);
        const TPoint Screen = ClientToScreen(TPoint(R.Right - 16, R.Bottom));
        try {
            Menu->Popup(Screen.X, Screen.Y);
        } catch (...) {
            FHoverFixedX = FHoverFixedY = -1;
            FNoMouseLeave = Keep;
            throw;
        }
        FHoverFixedX = -1;
        FHoverFixedY = -1;
        RepaintCell(ACol, ARow);
    }
    FNoMouseLeave = Keep;
    return true;
}

// Fixed cells: the filter edit row and the fixed-cell editor opened by a
// click. True when the step ends here.
bool TDedOzovedUrad::StepFixedCellEdit(TMouseButton Button, int ACol, int ARow, int X, int Y)
{
    if (ACol < 0 || ARow < 0 || !(ACol < GetFixedCols() || ARow < FFixedRowsMin))
        return false;
    if (HasCellFilterEdit(ACol, ARow)) {
        TRect R = CellRect(ACol, ARow);
        const int s = int(RoundHalfEven(16 * GetDPIScale()));
        const bool Rtl = UseRightToLeftAlignment();
        const bool OnButton = (Rtl ? X > R.Right - s : (X > R.Left && X < R.Left + s)) && Y < R.Top + s;
        if (OnButton)
            FFltrPopPressCol = ACol;
        else {
            R = TRect(R.Left + 4, R.Top + 4, R.Right - 4, R.Bottom - 4);
            const int Shift = int(RoundHalfEven(18 * GetDPIScale()));
            if (Rtl)
                R.Right -= Shift;
            else
                R.Left += Shift;
            if (X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom)
                EditFixedCell(ACol, ARow, true);
        }
        return true;
    }
    auto ByClick = [&](TGridFixedCellEdit Mode, bool InRange) {
        return (Mode == fceLeftClick && Button == mbLeft) || (Mode == fceRightClick && Button == mbRight && InRange);
    };
    auto Inside = [&](bool Sizing) {
        if (!Sizing)
            return true;
        const TRect R = CellRect(ACol, ARow);
        return X > R.Left + 4 && X < R.Right - 4 && Y > R.Top + 4 && Y < R.Bottom - 4;
    };
    if (ARow < FFixedRowsMin && ByClick(FMouseActions->GetFixedRowsEdit(), ARow < FFixedRowsMin)) {
        if (Inside(GetOptions().Contains(goColSizing)))
            EditFixedCell(ACol, ARow, false);
        return true;
    }
    if (ACol < GetFixedCols() && ByClick(FMouseActions->GetFixedColsEdit(), ACol < GetFixedCols())) {
        if (Inside(GetOptions().Contains(goRowSizing)))
            EditFixedCell(ACol, ARow, false);
        return true;
    }
    return false;
}

void TDedOzovedUrad::StepSyncGrid()
{
    TStringGrid* Other = FSyncGrid->GetGrid();
    if (!Other)
        return;
    auto* Partner = dynamic_cast<TDedOzovedUrad*>(Other);
    TNotifyEvent Saved;
    if (Partner) {
        Saved = std::move(Partner->OnClick);
        Partner->OnClick = nullptr;
    }
    try {
        if (FSyncGrid->GetSelectionColumn() && FUpdateCount == 0 && GetCol() < Other->GetColCount())
            Other->SetCol(GetCol());
        if (FSyncGrid->GetSelectionRow() && GetRow() < Other->GetRowCount())
            Other->SetRow(GetRow());
    } catch (...) {
        if (Partner)
            Partner->OnClick = std::move(Saved);
        throw;
    }
    if (Partner)
        Partner->OnClick = std::move(Saved);
}

void TDedOzovedUrad::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    // 1.
    FFltrPopPressCol = -1;
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    FMouseDownPt = TPoint(ACol, ARow);
    const bool OnCell = ACol >= 0 && ARow >= 0;

    // 2. Range select and edit.
    if (FMouseActions->GetRangeSelectAndEdit() && Button == mbLeft && !FMouseActions->GetEditOnDblClickOnly()) {
        const bool Editing = GetOptions().Contains(goEditing);
        if (OnCell && ACol == GetCol() && ARow == GetRow() && !Editing) {
            if (IsEditable(RealColIndex(TDisplayCol(ACol)).Value, ARow)) {
                SetOptions(GetOptions() + TGridOptions { goEditing });
                TBaseGrid::MouseDown(Button, Shift, X, Y);
                ShowInplaceEdit();
                return;
            }
        } else if (Editing && Shift.Contains(ssShift) && (ACol != GetCol() || ARow != GetRow())) {
            SetOptions(GetOptions() - TGridOptions { goEditing });
            TBaseGrid::MouseDown(Button, Shift, X, Y);
            return;
        }
    }

    // 3.
    if (OnCell && StepFixedDropDown(ACol, ARow, X))
        return;

    // 4. The pressed look of a gradient header.
    if (OnCell && ARow == GetFixedRows() - 1 && IsHoverFixedCell(ACol, ARow)
        && FControlLook->GetFixedGradientDownTo() != clNone)
        RepaintCell(ACol, ARow);

    // 5. A current cell left outside the grid (columns or rows removed).
    if (OnCell && (GetCol() >= GetColCount() || GetRow() >= GetRowCount())
        && (Button == mbLeft || FMouseActions->GetSelectOnRightClick()) && OnCellChanging) {
        bool Allow = true;
        CellChanging(ACol, ARow, Allow);
        if (Allow)
            FocusCell(ACol, ARow);
    }

    // 6.
    FEditStart = true;
    try {
        TBaseGrid::MouseDown(Button, Shift, X, Y);
    } catch (...) {
        FEditStart = false;
        throw;
    }
    FEditStart = false;

    // 7.
    if (Shift.Contains(ssShift) && GetSelectionRectangle()) {
        const TGridRect S = GetSelection();
        RepaintRect(TRect(S.Left, S.Top, S.Right, S.Bottom));
    }

    // 8.
    if (StepFixedCellEdit(Button, ACol, ARow, X, Y))
        return;

    // 9.
    StepSyncGrid();
}
