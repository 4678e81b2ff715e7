// The focus row and the cell moves other code asks for, the per-row
// modified and enabled flags, the advance to the next cell that Enter, the
// editors and Tab use, the cell-walking questions behind it, and the
// grid's Enter, Esc and type-ahead handling.

#include <algorithm>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridGuards.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win/Input.h"
#include "platform/win/WinUser.h"

using GridGuards::TValueGuard;

namespace {

bool IsCheckOrRadioKind(TCellType Kind)
{
    switch (Kind) {
    case ctCheckBox:
    case ctDataCheckBox:
    case ctVirtCheckBox:
    case ctRowCheckBox:
    case ctTriStateCheckBox:
    case ctRadio:
    case ctRadioButton:
        return true;
    default:
        return false;
    }
}

} // namespace

// ---- the focus cell ----

void TDedOzovedUrad::SetRow(int Value)
{
    if (GetCol() >= GetColCount() || GetCol() < 0) {
        FocusCell(GetFixedCols(), Value);
        if (GetOptions().Contains(goRowSelect))
            SetSelection(TGridRect { GetFixedCols(), Value, GetColCount() - 1, Value });
    }
    Value = std::max(Value, GetFixedRows());
    const int Old = GetRow();
    TBaseGrid::SetRow(Value);
    FAECol = -1;
    FAERow = -1;
    if (GetRow() != FOldRowSel && OnRowUpdate) {
        OnRowUpdate(this, FOldRowSel, GetRow());
        FOldRowSel = GetRow();
    }
    if (FMouseActions->GetDisjunctRowSelect()) {
        TValueGuard Blocked(FBlockCellChanging, true);
        SyncRowSelectWithSelection(false);
    }
    TStringGrid* Other = FSyncGrid->GetGrid();
    if (GetRow() != Old && Other && FSyncGrid->GetSelectionRow() && GetRow() < Other->GetRowCount()) {
        if (auto* Grid = dynamic_cast<TDedOzovedUrad*>(Other)) {
            // The partner moves as if by itself: its OnClick stays quiet.
            TNotifyEvent Click = std::move(Grid->OnClick);
            Grid->OnClick = nullptr;
            try {
                Grid->SetRow(GetRow());
            } catch (...) {
                Grid->OnClick = std::move(Click);
                throw;
            }
            Grid->OnClick = std::move(Click);
        } else {
            Other->SetRow(GetRow());
        }
    }
    FDisSelection = GetSelection();
}

void TDedOzovedUrad::GotoCell(int ACol, int ARow)
{
    SetRow(ARow);
    SetCol(ACol);
}

void TDedOzovedUrad::EditCell(int ACol, int ARow)
{
    // A grid without a parent window has no focus to take.
    if (GetParent() && CanFocus())
        SetFocus();
    GotoCell(ACol, ARow);
    ShowInplaceEdit();
}

void TDedOzovedUrad::MoveFocusTo(int ACol, int ARow) { MoveColRow(ACol, ARow, true, true); }

// ---- row flags ----

bool TDedOzovedUrad::GetRowModified(int ARow) const
{
    return ARow >= 0 && ARow < FModifiedRows->Count() && FModifiedRows->GetInteger(ARow) == 1;
}

void TDedOzovedUrad::SetRowModified(int ARow, bool Value)
{
    if (ARow < 0)
        return;
    while (FModifiedRows->Count() <= ARow)
        FModifiedRows->Add(0);
    FModifiedRows->SetInteger(ARow, Value ? 1 : 0);
    RepaintCell(0, DisplRowIndex(TRealRow(ARow)).Value);
}

int TDedOzovedUrad::GetModifiedRowCount() const
{
    int Count = 0;
    for (int i = 0; i < FModifiedRows->Count(); ++i)
        if (FModifiedRows->GetInteger(i) == 1)
            ++Count;
    return Count;
}

void TDedOzovedUrad::ClearModifiedRows()
{
    FModifiedRows->Clear();
    Invalidate();
}

bool TDedOzovedUrad::GetRowEnabled(int ARow) const
{
    return ARow < 0 || ARow >= FEnabledRows->Count() || FEnabledRows->GetInteger(ARow) == 0;
}

void TDedOzovedUrad::SetRowEnabled(int ARow, bool Value)
{
    if (ARow < 0)
        return;
    if (!Value && DisplayToRealRow(TDisplayRow(GetRow())).Value == ARow) {
        for (int r = GetFixedRows(); r < GetRowCount(); ++r) {
            const int Real = DisplayToRealRow(TDisplayRow(r)).Value;
            if (Real != ARow && GetRowEnabled(Real)) {
                SetRow(r);
                break;
            }
        }
    }
    FUseEnabledRows = true;
    while (FEnabledRows->Count() <= ARow)
        FEnabledRows->Add(0);
    FEnabledRows->SetInteger(ARow, Value ? 0 : 1);
    RepaintRow(DisplRowIndex(TRealRow(ARow)).Value);
}

// ---- what takes the cursor ----

bool TDedOzovedUrad::IsEditable(int ACol, int ARow)
{
    const bool Editing
        = GetOptions().Contains(goEditing) || FMouseActions->GetRangeSelectAndEdit() || FEditDisable;
    return Editing && IsCellEditable(ACol, ARow);
}

bool TDedOzovedUrad::IsCellEditable(int ACol, int ARow)
{
    const TPoint Base = BaseCell(ACol, ARow);
    bool CanEdit = true;
    CanEditCell(Base.X, Base.Y, CanEdit);
    bool Fixed = false;
    DoIsFixedCell(DisplColIndex(TRealCol(Base.X)).Value, Base.Y, Fixed);
    return CanEdit && !Fixed;
}

bool TDedOzovedUrad::CellTakesCursor(int ACol, int ARow)
{
    if (ACol < 0 || ACol >= GetColCount() || ARow < 0 || ARow >= GetRowCount())
        return false;
    // A column of width 0 is out of sight and never takes the cursor.
    if (GetColWidths(ACol) == 0)
        return false;
    bool Takes = GetOptions().Contains(goEditing) || FEditDisable
        ? IsEditable(DisplayToRealCol(TDisplayCol(ACol)).Value, ARow)
        : !IsFixed(ACol, ARow);
    if (OnSelectCell)
        OnSelectCell(this, ACol, ARow, Takes);
    return Takes;
}

int TDedOzovedUrad::FirstCursorCol()
{
    if (GetFixedCols() == 0 && HasNodes())
        return 1;
    return GetFixedCols();
}

int TDedOzovedUrad::FirstCellInRow(int ARow)
{
    for (int c = 0; c < GetColCount(); ++c)
        if (CellTakesCursor(c, ARow))
            return c;
    return -1;
}

int TDedOzovedUrad::LastCellInRow(int ARow)
{
    for (int c = GetColCount() - 1; c >= 0; --c)
        if (CellTakesCursor(c, ARow))
            return c;
    return -1;
}

int TDedOzovedUrad::StepToVisibleCol(int ACol)
{
    ACol = std::clamp(ACol, GetFixedCols(), std::max(GetFixedCols(), GetColCount() - 1));
    return AdjacentVisibleCol(ACol, GetCol() < ACol);
}

int TDedOzovedUrad::AdjacentVisibleCol(int ACol, bool Forward)
{
    const int ColCount = GetColCount(), Fixed = GetFixedCols();
    int Hidden = 0;
    if (Forward)
        for (int c = ColCount - 1; c >= 0 && Hidden < ColCount - Fixed && GetColWidths(c) == 0; --c)
            ++Hidden;
    ACol = std::clamp(ACol, Fixed, std::max(Fixed, ColCount - Hidden - 1));
    int Candidate = ACol;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    if (GetRow() >= 0 && GetRow() < GetRowCount() && IsMergedCell(RCol, GetRow()))
        Candidate += Forward ? CellSpan(RCol, GetRow()).X : -CellSpan(RCol, GetRow()).X;
    const int End = ColCount - FFixedRightCols;
    if (Forward) {
        while (Candidate < End && GetColWidths(Candidate) == 0)
            ++Candidate;
        if (Candidate >= End)
            return ACol;
    } else {
        while (Candidate >= Fixed && Candidate < ColCount && GetColWidths(Candidate) == 0)
            --Candidate;
        if (Candidate < Fixed)
            return ACol;
    }
    return Candidate;
}

int TDedOzovedUrad::AdjacentVisibleRow(int ARow)
{
    const bool Down = GetRow() < ARow;
    const int RowCount = GetRowCount(), Fixed = GetFixedRows();
    ARow = std::clamp(ARow, Fixed, std::max(Fixed, RowCount - 1));
    int Candidate = ARow;
    const int RCol = DisplayToRealCol(TDisplayCol(GetCol())).Value;
    if (GetCol() >= 0 && GetCol() < GetColCount() && IsMergedCell(RCol, ARow))
        Candidate += Down ? CellSpan(RCol, ARow).Y : -CellSpan(RCol, ARow).Y;
    const int End = RowCount - FFixedFooters;
    if (Down) {
        while (Candidate < End && GetRowHeights(Candidate) == 0)
            ++Candidate;
        if (Candidate >= End)
            return ARow;
    } else {
        while (Candidate >= Fixed && Candidate < RowCount && GetRowHeights(Candidate) == 0)
            --Candidate;
        if (Candidate < Fixed)
            return ARow < RowCount && GetRowHeights(ARow) == 0 ? -1 : ARow;
    }
    return Candidate;
}

// ---- the advance to the next cell ----

TPoint TDedOzovedUrad::NextAdvanceCell(int ACol, int ARow)
{
    const auto Direction = FNavigation->GetAdvanceDirection();
    const int LastCol = GetColCount() - FFixedRightCols - 1;
    const int LastRow = GetRowCount() - FFixedFooters - 1;
    const int Fixed = GetFixedCols(), FixedRows = GetFixedRows();
    if (LastCol < Fixed || LastRow < FixedRows)
        return TPoint(-1, -1);
    // Every normal cell once at most: a grid where nothing takes the
    // cursor ends the walk instead of circling.
    const long long Cells = (long long)(LastCol - Fixed + 1) * (LastRow - FixedRows + 1);
    const bool Vertical = Direction == adTopBottom || Direction == adTopBottomInCol;
    for (long long Step = 0; Step < Cells; ++Step) {
        if (ACol == LastCol && ARow == LastRow)
            break;
        if (Vertical) {
            if (ARow < LastRow) {
                ++ARow;
            } else if (Direction == adTopBottomInCol) {
                break;
            } else {
                ARow = FixedRows;
                ACol = ACol >= LastCol ? Fixed : ACol + 1;
            }
        } else {
            if (ACol < LastCol) {
                ++ACol;
            } else if (Direction == adLeftRightInRow) {
                break;
            } else {
                ACol = Fixed;
                ARow = ARow >= LastRow ? FixedRows : ARow + 1;
            }
        }
        if (CellTakesCursor(ACol, ARow))
            return TPoint(ACol, ARow);
    }
    return TPoint(-1, -1);
}

bool TDedOzovedUrad::AppendRowAtEnd(int& ARow)
{
    bool CanAdd = true;
    CanAddRow(CanAdd);
    if (!CanAdd)
        return false;
    AddRow();
    ++ARow;
    if (OnAutoAddRow)
        OnAutoAddRow(this, GetRowCount() - FFixedFooters - 1);
    return true;
}

bool TDedOzovedUrad::StepToNextCell(int& ACol, int& ARow, bool Forward)
{
    const auto Direction = FNavigation->GetAdvanceDirection();
    const bool Loop = FNavigation->GetAdvanceOnEnterLoop();
    const bool Insert = FNavigation->GetAdvanceInsert();
    const int LastNormalRow = GetRowCount() - FFixedFooters - 1;
    const int LastNormalCol = GetColCount() - FFixedRightCols - 1;
    const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
    const TPoint Span = ACol >= 0 && ARow >= 0 ? CellSpan(RCol, ARow) : TPoint(0, 0);
    const int FromRow = ARow;

    if (!Forward) {
        if (Direction == adLeftRight) {
            if (ACol > FirstCursorCol()) {
                --ACol;
            } else {
                ARow = ARow <= GetFixedRows() ? LastNormalRow : ARow - 1;
                ACol = LastNormalCol;
            }
            return true;
        }
        if (Direction == adTopBottom) {
            if (ARow > GetFixedRows()) {
                --ARow;
            } else {
                ACol = ACol <= FirstCursorCol() ? LastNormalCol : ACol - 1;
                ARow = LastNormalRow;
            }
            return true;
        }
        // The in-row and in-column directions only go forward.
        return false;
    }

    if (Direction == adLeftRight || Direction == adLeftRightInRow) {
        if (ACol + Span.X < LastCellInRow(ARow)) {
            ACol += Span.X + 1;
        } else if (Direction == adLeftRightInRow) {
            if (!Loop)
                return false;
            ACol = FirstCursorCol();
        } else if (ARow >= LastNormalRow) {
            if (Insert) {
                ACol = FirstCursorCol();
                if (!AppendRowAtEnd(ARow))
                    return false;
                // A new row none of whose cells may be edited ends the advance.
                bool Editable = false;
                for (int c = GetFixedCols(); c < GetColCount() - FFixedRightCols && !Editable; ++c)
                    Editable = IsEditable(DisplayToRealCol(TDisplayCol(c)).Value, ARow);
                return Editable;
            }
            if (!Loop)
                return false;
            ARow = GetFixedRows();
            ACol = FirstCursorCol();
        } else {
            ++ARow;
            ACol = FirstCursorCol();
        }
    } else {
        if (ARow < LastNormalRow) {
            ++ARow;
        } else if (Direction == adTopBottomInCol) {
            if (Insert) {
                if (!AppendRowAtEnd(ARow))
                    return false;
            } else if (!Loop) {
                return false;
            } else {
                ARow = GetFixedRows();
            }
        } else if (ACol >= LastNormalCol) {
            if (Insert) {
                bool CanAdd = true;
                CanAddCol(CanAdd);
                if (!CanAdd)
                    return false;
                SetColCount(GetColCount() + 1);
                ACol += Span.X + 1;
                ARow = GetFixedRows();
                if (OnAutoInsertCol)
                    OnAutoInsertCol(this, GetColCount() - FFixedRightCols - 1);
            } else if (!Loop) {
                return false;
            } else {
                ARow = GetFixedRows();
                ACol = FirstCursorCol();
            }
        } else {
            ARow = GetFixedRows();
            ACol = ACol + 1 >= GetColCount() ? FirstCursorCol() : ACol + 1;
        }
        if (Direction == adTopBottom)
            Invalidate();
    }

    // Past zero-width columns (and, left to right, a merged area).
    const int Visible = AdjacentVisibleCol(ACol, Direction == adLeftRight);
    if (Visible != ACol) {
        ACol = Visible;
    } else if (ARow == FromRow && LastCellInRow(ARow) == FAECol) {
        // Still in the row the advance began in, at its last cell.
        if (Insert && ARow >= LastNormalRow) {
            ACol = FirstCursorCol();
            return AppendRowAtEnd(ARow);
        }
        if (Loop && FirstCellInRow(ARow) >= 0)
            ACol = FirstCellInRow(ARow);
    }
    return true;
}

void TDedOzovedUrad::MoveOnTo(int ACol, int ARow, int StartCol, int StartRow)
{
    bool Allow = true;
    if (OnAutoAdvance)
        OnAutoAdvance(this, FAERow, FAECol, ARow, ACol, Allow);
    if (Allow && OnCellChanging)
        OnCellChanging(this, FAERow, FAECol, ARow, ACol, Allow);
    TValueGuard Disable(FDisableChange, true);
    if (Allow) {
        SetCol(ACol);
        SetRow(ARow);
    } else {
        SelectCell(StartCol, StartRow);
    }
}

void TDedOzovedUrad::MoveToNextCell(int ACol, int ARow, bool Force, bool AutoEdit, bool Forward, bool Again,
    bool ShowEditor)
{
    if (!FNavigation->GetAdvanceOnEnter() && !Force)
        return;
    if (FMouseActions->GetRangeSelectAndEdit())
        SetOptions(GetOptions() + TGridOptions { goEditing });
    if (!Again) {
        FAECol = ACol;
        FAERow = ARow;
    } else if (ACol == FAECol && ARow == FAERow) {
        return;
    }
    const int StartCol = ACol, StartRow = ARow;
    const int AECol = FAECol, AERow = FAERow;
    FStartEditChar = 0;

    // One pass over the cells at most: cells that refuse, zero-width
    // columns or a fixed start cell can keep the search from ever coming
    // back to where it began.
    const long long MaxSteps = (long long)std::max(1, GetColCount()) * std::max(1, GetRowCount()) + 1;
    for (long long Step = 0;; ++Step) {
        // Going on from a cell that cannot take the focus: back at the
        // start, or after every cell, the focus stays where it was.
        if (Step > 0 && ((ACol == AECol && ARow == AERow) || Step >= MaxSteps))
            return;
        if (!StepToNextCell(ACol, ARow, Forward))
            return;
        if (ACol < 0 || ACol >= GetColCount() || ARow < 0 || ARow >= GetRowCount())
            return;
        const int RCol = DisplayToRealCol(TDisplayCol(ACol)).Value;
        bool CanGo = !IsFixed(ACol, ARow);
        CanEditCell(RCol, ARow, CanGo);
        if (CanGo) {
            MoveOnTo(ACol, ARow, StartCol, StartRow);
            break;
        }
        if (!FNavigation->GetAdvanceOnEnterLoop()) {
            const TPoint Next = NextAdvanceCell(ACol, ARow);
            if (Next.X == -1)
                return;
            bool NextGo = !IsFixed(Next.X, Next.Y);
            CanEditCell(DisplayToRealCol(TDisplayCol(Next.X)).Value, Next.Y, NextGo);
            if (NextGo) {
                ACol = Next.X;
                ARow = Next.Y;
            }
        }
        if (!FNavigation->GetAdvanceSkipReadOnlyCells() || CellTakesCursor(ACol, ARow)) {
            SetCol(ACol);
            SetRow(ARow);
            FocusCell(ACol, ARow);
            break;
        }
    }

    if (ShowEditor)
        ShowEditorAfterMove(StartCol, StartRow, AutoEdit);
    if (FMouseActions->GetDisjunctRowSelect()) {
        ResetRowSelectList();
        SetRowSelect(GetRow(), true);
    }
}

void TDedOzovedUrad::ShowEditorAfterMove(int StartCol, int StartRow, bool AutoEdit)
{
    const int Col = GetCol(), Row = GetRow();
    const int RCol = DisplayToRealCol(TDisplayCol(Col)).Value;
    if (auto* Control = dynamic_cast<TWinControl*>(GetCellControls(RCol, Row))) {
        bool CanEdit = true;
        CanEditCell(RCol, Row, CanEdit);
        if (CanEdit && FocusCellControl(Control)) {
            FocusCell(StartCol, StartRow);
            return;
        }
    }
    const bool CheckTarget = IsCheckOrRadioKind(GetCellType(RCol, Row));
    if (!(AutoEdit && FNavigation->GetAdvanceAutoEdit()) && !CheckTarget)
        return;
    if (!IsEditable(RCol, Row))
        return;
    if (!CheckTarget) {
        ShowInplaceEdit();
        return;
    }
    SetEditorMode(true);
    {
        TValueGuard Disable(FDisableChange, true);
        FocusCell(StartCol, StartRow);
        FocusCell(Col, Row);
    }
    const int StartRCol = DisplayToRealCol(TDisplayCol(StartCol)).Value;
    if (!IsCheckOrRadioKind(GetCellType(StartRCol, StartRow))) {
        ClickCell(Col, Row, true);
        if (FNavigation->GetAdvanceDirection() != adLeftRight)
            SetEditorMode(false);
    }
    bool Allow = true;
    if (OnCellChanging)
        OnCellChanging(this, StartRow, StartCol, GetRow(), GetCol(), Allow);
    TEditorType Kind = GetDefaultEditor();
    DoGetEditorType(StartRCol, StartRow, Kind);
    if (!IsTextEditorKind(Kind))
        SetEditorMode(false);
}

// ---- Enter, Esc and type-ahead ----

void TDedOzovedUrad::KeyPress(char16_t& Key)
{
    auto FireKeyPress = [&] {
        if (OnKeyPress)
            OnKeyPress(this, Key);
    };
    const int RCol = DisplayToRealCol(TDisplayCol(GetCol())).Value;
    if (Key == 27) {
        if (GetOptions().Contains(goEditing) && GetEditorMode())
            RestoreCellFromCache();
        FireKeyPress();
        return;
    }
    if (Key == 13) {
        if (!GetEditorMode() && !FNavigation->GetAdvanceOnEnter() && !IsEditable(RCol, GetRow())) {
            FireKeyPress();
            Key = 0;
            return;
        }
        if (GetRowCount() == FFixedRowsMin && FNavigation->GetAdvanceOnEnter()) {
            FireKeyPress();
            if (FNavigation->GetAdvanceInsert()) {
                AddRow();
                ClearRows(GetRowCount() - 1, 1);
            }
            return;
        }
        if (!Focused() || IsCheckOrRadioKind(GetCellType(RCol, GetRow()))) {
            if (GetParent() && CanFocus())
                SetFocus();
            const int OldCol = GetCol();
            const bool ShiftDown = GetKeyState(VK_SHIFT) < 0;
            MoveToNextCell(GetCol(), GetRow(), false, false, !ShiftDown, false, GetEditorMode());
            if (FNavigation->GetAdvanceOnEnter() && !FNavigation->GetAdvanceAutoEdit()
                && (FNavigation->GetAdvanceOnEnterLoop() || GetCol() != OldCol)) {
                FireKeyPress();
                Key = 0;
                return;
            }
            if (IsCheckOrRadioKind(GetCellType(RCol, GetRow()))) {
                FireKeyPress();
                if (FNavigation->GetAdvanceOnEnter())
                    ShowInplaceEdit();
                return;
            }
        }
    }
    if (!GetOptions().Contains(goEditing) && FNavigation->GetAutoGotoWhenSorted()) {
        if (FNavigation->GetAutoGotoIncremental()) {
            if (Key == 8) {
                if (!FSearchInc.empty())
                    FSearchInc.pop_back();
            } else {
                FSearchInc += Char(Key);
            }
            FSearchTics = 0;
        } else {
            FSearchInc = String(1, Char(Key));
        }
        const int Found = FSearchInc.empty() ? -1 : FDataViews->Search(AnsiUpperCase(FSearchInc));
        if (Found == -1) {
            FSearchInc.clear();
        } else {
            SetRow(Found);
            const int SortCol = FSortSettings->GetColumn();
            if (SortCol >= 0 && SortCol < GetAllColCount())
                SetCol(RealToDisplayCol(TRealCol(SortCol)).Value);
        }
    }
    TBaseGrid::KeyPress(Key);
}

void TDedOzovedUrad::WMGetDlgCode(TMessage& Message)
{
    TBaseGrid::Dispatch(Message);
    if (FNavigation->GetAutoGotoWhenSorted() && !GetOptions().Contains(goEditing))
        Message.Result |= DLGC_WANTCHARS;
    if (GetOptions().Contains(goTabs) && GetKeyState(VK_CONTROL) < 0)
        Message.Result &= ~DLGC_WANTTAB;
}

// ---- the cursor walk out of an editor ----

int TDedOzovedUrad::ControlCellBeside(int Col, int Row, bool Forward)
{
    const int Beside = Forward ? Col + 1 : Col - 1;
    const bool Control = Beside >= GetFixedCols() && Beside < GetColCount()
        && IsControlCellKind(GetCellType(DisplayToRealCol(TDisplayCol(Beside)).Value, Row));
    return Control ? Beside : -1;
}

void TDedOzovedUrad::WalkAlongRow(int Col, int Row, bool Forward)
{
    TNavigation* Nav = GetNavigation();
    const auto Direction = Nav->GetAdvanceDirection();
    if (Direction != adLeftRightInRow)
        Nav->SetAdvanceDirection(adLeftRight);
    struct TRestore {
        TNavigation* Nav;
        decltype(Nav->GetAdvanceDirection()) Direction;
        ~TRestore() { Nav->SetAdvanceDirection(Direction); }
    } Restore { Nav, Direction };
    int FromCol = Col;
    if (Forward) {
        const int RCol = DisplayToRealCol(TDisplayCol(Col)).Value;
        const int Span = std::max(0, CellSpan(RCol, Row).X);
        FromCol = std::min(Col + Span, GetColCount() - GetFixedRightCols() - 1);
    }
    MoveToNextCell(FromCol, Row, true, true, Forward, false, Nav->GetCursorWalkAlwaysEdit());
}
