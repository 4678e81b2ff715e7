// The left button release: it finishes what the press and the moves after
// it started (touch scrolling, fixed-line sizing, pushed buttons and fixed
// cells, disjunct selection, enhanced moves, the selection resize) and
// sorts on a click in the sort row. The mouse-up step that the platform
// runs for every button keeps the disjunct cell selection and the filter
// row's drop-down.

#include <algorithm>
#include <cstdlib>

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridFilterList.h"
#include "grid/core/GridGuards.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/ScrollControl.h"
#include "grid/core/HTMLHintWindow.h"
#include "platform/gdi/Frames.h"
#include "platform/rtl/Clock.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/ControlsInternal.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/Menus.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

namespace {

bool PointIn(const TRect& R, int X, int Y) { return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom; }

} // namespace

void TDedOzovedUrad::DoClickSort(int ACol)
{
    if (OnClickSort)
        OnClickSort(this, ACol);
}

void TDedOzovedUrad::DoEndBlockFocus()
{
    if (OnEndBlockFocus)
        OnEndBlockFocus(this);
}

void TDedOzovedUrad::SplitAllColumnCells()
{
    for (int c = 0; c < GetColCount(); ++c)
        SplitColumnCells(c);
}

void TDedOzovedUrad::MergeListedColumns()
{
    for (int i = 0; i < FMergedColumns->Count(); ++i)
        MergeColumnCells(FMergedColumns->GetInteger(i), i == 0);
}

// A release elsewhere, or a second one on the open column's button, closes
// the filter list.
void TDedOzovedUrad::CloseOpenFilterList()
{
    for (TWinControl* List : { static_cast<TWinControl*>(FDropList), static_cast<TWinControl*>(FDropCheckList) })
        if (List && List->GetVisible()) {
            List->SetVisible(false);
            DoFilterClose(FFilterCol);
        }
    FFilterCol = -1;
}

// The filter-type button of a filter-edit cell, released where it was
// pressed: the menu of filter types pops up under the cell.
bool TDedOzovedUrad::ReleaseOpensFilterTypeMenu(int ACol, int ARow, int X, int Y)
{
    const TRect R = CellRect(ACol, ARow);
    const int s = int(RoundHalfEven(16 * GetDPIScale()));
    const bool Rtl = UseRightToLeftAlignment();
    const bool InZone = Rtl ? (R.Left < X && R.Right - s < X && Y < R.Top + s)
                            : (R.Left < X && X < R.Left + s && Y < R.Top + s);
    if (!InZone || FFltrPopPressCol != ACol)
        return false;
    const TStringList* Names = FFilterEdit->GetTypeNames();
    const int Count = std::min(Names->GetCount(), 9);
    if (!FFltrPopup) {
        TComponent* Owner = GetParentForm(this);
        FFltrPopup = new TPopupMenu(Owner ? Owner : this);
        FFltrPopup->SetImages(FFltrList);
        FFltrPopup->SetAutoHotkeys(FFilterEdit->GetAutoHotKey() ? maAutomatic : maManual);
        for (int i = 0; i < Count; ++i) {
            auto* Item = new TMenuItem(FFltrPopup);
            Item->SetTag(i);
            Item->OnClick = [this](TObject* Sender) {
                auto* Clicked = static_cast<TMenuItem*>(Sender);
                ApplyFilterEdit(FFltrPopup->GetTag(), TFilterType(Clicked->GetTag()));
            };
            FFltrPopup->GetItems()->Add(Item);
        }
    }
    FFltrPopup->SetTag(RealColIndex(TDisplayCol(ACol)).Value);
    // The menu keeps its items; the names may have changed since.
    TMenuItem* Items = FFltrPopup->GetItems();
    for (int i = 0; i < Items->GetCount(); ++i) {
        TMenuItem* Item = Items->GetItems(i);
        const bool Named = i < Names->GetCount();
        Item->SetCaption(Named ? Names->GetStrings(i) : String());
        Item->SetImageIndex(i);
        bool DoShow = Named;
        if (DoShow && OnShowFilterEdit)
            OnShowFilterEdit(this, ACol, i, DoShow);
        Item->SetVisible(DoShow);
    }
    const TPoint At = ClientToScreen(TPoint(Rtl ? R.Right : R.Left, R.Bottom));
    SetGridState(gsNormal);
    FFltrPopup->Popup(At.X, At.Y);
    return true;
}

// A click on an expanded node row selects its whole group.
void TDedOzovedUrad::ReleaseSelectsGroup(int ACol, int ARow)
{
    if (ARow < 0 || ACol <= 0 || !IsNode(ARow) || !FGrouping->GetAutoSelectGroup() || FDataViews->GetNodeState(ARow))
        return;
    const int Span = FDataViews->GetNodeSpan(ARow);
    if (FMouseActions->GetDisjunctRowSelect()) {
        for (int r = ARow + 1; r <= ARow + Span - 1 && r < GetRowCount(); ++r)
            SetRowSelect(RealRowIndex(TDisplayRow(r)).Value, true);
    } else
        SetSelection(TGridRect { GetFixedCols(), ARow, GetColCount() - 1, std::min(ARow + Span - 1, GetRowCount() - 1) });
}

// The row flags of a disjunct row selection follow the release.
void TDedOzovedUrad::ReleaseDisjunctRows(int ACol, int ARow, TShiftState Shift, bool& RowDeselected)
{
    if (ACol == 0 && ARow >= 0 && IsNode(ARow))
        return;
    const TGridRect Forget { -1, -1, -1, -1 };
    bool CanSelect = true;
    if (ACol >= 0 && ARow >= 0 && OnSelectCell)
        OnSelectCell(this, ACol, ARow, CanSelect);
    if (Shift.Contains(ssCtrl) || Shift.Contains(ssShift))
        FDisSelection = Forget;
    const bool Hotmail = FMouseActions->GetHotmailRowSelect();
    const bool NotFixed = !IsFixed(ACol, ARow) || !IsFixed(FMouseDownPt.X, FMouseDownPt.Y);
    if (CanSelect && (ACol != 0 || FMouseDownPt.X != 0 || !Hotmail) && NotFixed && ACol >= 0 && ARow >= 0) {
        FDisSelection = Forget;
        {
            GridGuards::TValueGuard<bool> Block(FBlockCellChanging, true);
            SyncRowSelectWithSelection(false);
        }
        if (OnCheckBoxChange)
            OnCheckBoxChange(this, RealColIndex(TDisplayCol(ACol)).Value, ARow, true);
    }
    if (FMouseActions->GetRowSelect())
        FDisSelection = Forget;
    if (ARow >= GetFixedRows() && ARow < GetRowCount() - FFixedFooters && FDeselectState) {
        SetRowSelect(FMouseActions->GetRowSelectPersistent() ? RealRowIndex(TDisplayRow(ARow)).Value : ARow, false);
        RowDeselected = true;
        if (Hotmail)
            RepaintCell(0, 0);
    }
    FDeselectState = false;
}

// A touch press turns into a tap, a scroll or a flick.
bool TDedOzovedUrad::ReleaseEndsTouchScroll(int X, int Y)
{
    if (!FScrollStart)
        return false;
    FScrollStart = false;
    const int dx = X - ptdown.X, dy = Y - ptdown.Y;
    const UInt64 Elapsed = GetTickCount64() - FTimeStart;
    int TapCol = -1, TapRow = -1;
    bool Tap = false;
    if (std::abs(dy) >= std::abs(dx)) {
        const int Delta = ptdown.Y < Y ? -1 : 1;
        if (Elapsed > 499 || GetTopRowEx() == FTopDown) {
            if (GetTopRowEx() == FTopDown) {
                MouseToCell(X, Y, TapCol, TapRow);
                if (TapCol >= 0 && TapRow >= 0 && !GetOptions().Contains(goRowSelect)) {
                    FocusCell(TapCol, TapRow);
                    SelectCell(TapCol, TapRow);
                }
                Tap = true;
            }
            SetTopRowEx(FTopDown);
        } else
            StartScrollGlide(Delta, 10, true);
    } else {
        const int Delta = ptdown.X < X ? -1 : 1;
        if (Elapsed < 500 && GetLeftCol() != FLeftRight)
            StartScrollGlide(Delta, 10, false);
        else if (GetLeftCol() == FLeftRight) {
            MouseToCell(X, Y, TapCol, TapRow);
            if (TapCol >= 0 && TapRow >= 0) {
                FocusCell(TapCol, TapRow);
                SelectCell(TapCol, TapRow);
            }
            SetLeftCol(std::max(GetFixedCols(), FLeftRight));
            Tap = true;
        }
    }
    if (Tap && TapCol >= 0 && TapRow >= 0) {
        const int RealCol = RealColIndex(TDisplayCol(TapCol)).Value;
        bool CanEdit = true;
        CanEditCell(RealCol, TapRow, CanEdit);
        if (HasCheckBox(RealCol, TapRow) && CanEdit) {
            ToggleCheckBox(RealCol, TapRow);
            bool State = false;
            GetCheckBoxState(RealCol, RealRowIndex(TDisplayRow(TapRow)).Value, State);
            CheckBoxClick(TapCol, TapRow, State);
        }
        if (HasButton(RealCol, TapRow) && CanEdit)
            DoButtonClick(TapCol, TapRow);
    }
    ptdown = TPoint(-1, -1);
    if (HandleAllocated() && ::GetCapture() == GetHandle())
        ReleaseCapture();
    if (CanFocus())
        SetFocus();
    if (GetActiveRowShow())
        Invalidate();
    return true;
}

void TDedOzovedUrad::ReleasePushedButton(int ACol, int ARow, int X, int Y)
{
    const TPoint Pushed = FPushedCellButton;
    bool Enabled = GetOptions().Contains(goEditing);
    TPoint Base(ACol, ARow);
    const bool OnCell = ACol >= 0 && ARow >= 0;
    if (OnCell) {
        const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
        if (!FControlLook->GetNoDisabledButtonLook())
            Enabled = IsCellEditable(RealCol, ARow);
        const TPoint B = BaseCell(RealCol, ARow);
        Base = TPoint(DisplColIndex(TRealCol(B.X)).Value, B.Y);
    }
    const bool InFixed = Pushed.X < GetFixedCols() || Pushed.Y < GetFixedRows();
    const bool BaseExpand = OnCell && HasExpand(RealColIndex(TDisplayCol(Base.X)).Value, Base.Y);
    if (Enabled || GetFixedAsButtons() || FControlLook->GetNoDisabledButtonLook() || BaseExpand || InFixed) {
        if (!IsNode(Pushed.Y))
            PushButton(Pushed.X, Pushed.Y, false);
        if (OnCell) {
            if (PointIn(CellButtonRect(Base.X, Base.Y), X, Y) || GetFixedAsButtons() || InFixed)
                DoButtonClick(Pushed.X, Pushed.Y);
            if ((BaseExpand && PointIn(ExpandButtonRect(Base.X, Base.Y), X, Y))
                || (GetFixedAsButtons() && Pushed.X < GetFixedCols()) || Pushed.Y < GetFixedRows()) {
                const bool Expanded = ToggleExpand(RealColIndex(TDisplayCol(Pushed.X)).Value, Pushed.Y);
                DoExpandClick(Pushed.X, Pushed.Y, Expanded);
            }
        }
    }
    FPushedCellButton = TPoint(-1, -1);
    if (HandleAllocated() && ::GetCapture() == GetHandle())
        ReleaseCapture();
}

// A click in the sort row sorts by the column: single columns ascending,
// descending and (with UndoSort) back to the unsorted order; with the
// index key held, columns are added to the sort index list.
void TDedOzovedUrad::ReleaseClickSort(int ACol, int ARow, int X, int Y, bool Moved, TShiftState Shift)
{
    if (FDblClk) {
        FDblClk = false;
        return;
    }
    const TRect R = CellRect(DisplColIndex(TRealCol(ACol)).Value, ARow);
    if (ARow < GetFixedRows() && GetOptions().Contains(goColSizing)
        && (std::abs(X - R.Left) < 4 || std::abs(R.Right - X) < 4))
        return;
    int PressCol = -1, PressRow = -1;
    MouseToCell(Clickposx, Clickposy, PressCol, PressRow);
    if (FControlLook->GetFixedDropDownButton() && CanShowFixedDropDown(ACol) && X > R.Right - 16)
        return;
    const bool NearButton = UseRightToLeftAlignment() ? X < R.Left + 16 : X > R.Right - 16;
    if (NearButton && CollectFilterValues(ACol, true, false))
        return;
    TSortSettings* Sort = FSortSettings.get();
    bool RowHit = Sort->GetRow() == ARow && ARow == PressRow;
    if (!RowHit && ARow == PressRow) {
        const TPoint Span = CellSpan(ACol, ARow);
        if (Span.Y > 0) {
            const TPoint Base = BaseCell(ACol, ARow);
            RowHit = Sort->GetRow() >= Base.Y && Sort->GetRow() <= Base.Y + Span.Y;
        }
    }
    const bool Allowed = RowHit && GetFixedRows() > 0 && !IsInCheckBox(ACol, ARow, X, Y) && Sort->GetShow() && !Moved
        && GetRowCount() > 2;
    bool DoSort = true;
    if (Allowed) {
        DoSort = !IsIgnoredColumn(ACol);
        DoCanSort(ACol, DoSort);
    }
    if (!Allowed || !DoSort) {
        if (Allowed)
            RepaintCell(DisplColIndex(TRealCol(ACol)).Value, Sort->GetRow());
        return;
    }
    HideInplaceEdit();
    FDataViews->InitSortXRef();
    const bool AutoMerge = Sort->GetAutoColumnMerge();
    if (AutoMerge)
        SplitAllColumnCells();
    const bool Ascending = Sort->GetInitSortDirection() == sdAscending;
    const bool KeepHoriz = FNavigation->GetKeepHorizScroll() && GetOptions().Contains(goRowSelect);
    const int Left = GetLeftCol();
    auto Timed = [&](auto Run) {
        if (KeepHoriz)
            BeginUpdate();
        const UInt64 Start = GetTickCount64();
        try {
            Run();
        } catch (...) {
            if (KeepHoriz) {
                SetLeftCol(Left);
                EndUpdate();
            }
            throw;
        }
        SortTime = int(GetTickCount64() - Start);
        if (KeepHoriz) {
            SetLeftCol(Left);
            EndUpdate();
        }
    };
    if (Sort->GetIndexShow()) {
        TSortIndexList& List = *FSortIndexes;
        const bool Key = Sort->GetIndexSortKey() == ikCtrl ? Shift.Contains(ssCtrl) : Shift.Contains(ssShift);
        if (Key) {
            if (List.FindIndex(ACol) < 0)
                List.AddIndex(ACol, Ascending);
            else
                List.ToggleIndex(ACol);
        } else if (List.GetCount() == 1 && List.FindIndex(ACol) == 0)
            List.ToggleIndex(ACol);
        else {
            List.Clear();
            List.AddIndex(ACol, Ascending);
        }
        Timed([&] {
            if (HasNodes())
                QSortGroupIndexed();
            else
                QSortIndexed();
            Sort->SetColumn(List.GetCount() > 0 ? List.GetSortColumns(0) : -1);
        });
    } else {
        bool Undo = false;
        if (Sort->GetColumn() == ACol) {
            Undo = Sort->GetDirection() != Sort->GetInitSortDirection() && Sort->GetUndoSort();
            Sort->SetDirection(Sort->GetDirection() == sdAscending ? sdDescending : sdAscending);
        } else {
            Sort->SetDirection(Sort->GetInitSortDirection());
            Sort->SetColumn(ACol);
        }
        Timed([&] {
            if (HasNodes())
                QSortGroup();
            else if (Undo) {
                FDataViews->QUnSort();
                Sort->SetColumn(-1);
            } else
                QSort();
        });
    }
    if (AutoMerge)
        MergeListedColumns();
    if (FNumCellControls > 0)
        CellControlsUpdate(true);
    DoClickSort(Sort->GetColumn());
}

void TDedOzovedUrad::WMLButtonUp(TMessage& Message)
{
    const TPoint P = PointOf(Message.LParam);
    const int X = P.X, Y = P.Y;
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift.Include(ssShift);
    if (GetKeyState(VK_CONTROL) < 0)
        Shift.Include(ssCtrl);

    // 1, 2.
    ColMoveFlg = false;
    ColSizeFlg = false;
    FMouseDown = false;
    FMouseKeepDown = false;
    FMouseSelectMode = msNormal;
    bool RowDeselected = false;
    if (FAnchorClick) {
        FAnchorClick = false;
        Message.Result = 1;
        return;
    }
    // 3, 4.
    ReleaseEndsTouchScroll(X, Y);
    if (FCtrlDown) {
        FCtrlDown = false;
        RepaintCell(FCtrlXY.X, FCtrlXY.Y);
    }
    // 5.
    FMouseDownMove = false;
    if (GetLook() == glListView) {
        RepaintRow(0);
        if (GetFixedCols() > 0)
            RepaintCol(0);
    }
    FMouseSelectStart = -1;
    if (!IsDesigning())
        for (TArrowWindow* Arrow : { ArwU, ArwD, ArwL, ArwR })
            if (Arrow)
                Arrow->SetVisible(false);
    // 6, 7. A fixed line dragged past the grid's left or top edge gets no
    // negative size.
    if (FSizingFixed) {
        FSizeFixed = false;
        FSizingFixed = false;
        if (FSizingFixedCol >= 0) {
            int s = 0;
            for (int i = 0; i < FSizingFixedCol; ++i)
                s += GetColWidths(i);
            int w = std::max(0, X - s);
            SetColWidths(FSizingFixedCol, w);
            if (OnEndColumnSize)
                OnEndColumnSize(this, FSizingFixedCol);
            if (OnUpdateColumnSize) {
                const int Old = w;
                OnUpdateColumnSize(this, FSizingFixedCol, w);
                if (w != Old)
                    SetColWidths(FSizingFixedCol, std::max(0, w));
            }
        }
    }
    if (FSizingFixedR) {
        FSizeFixedR = false;
        FSizingFixedR = false;
        if (FSizingFixedRow >= 0) {
            int s = 0;
            for (int i = 0; i < FSizingFixedRow; ++i)
                s += GetRowHeights(i);
            SetRowHeights(FSizingFixedRow, std::max(0, Y - s));
            if (OnEndRowSize)
                OnEndRowSize(this, FSizingFixedRow);
        }
    }
    // 8.
    if (FFixedCellPushed) {
        FFixedCellPushed = false;
        InvalidateRect(GetHandle(), nullptr, false);
        RepaintCell(FPushedCellButton.X, FPushedCellButton.Y);
    }
    // 9, 10.
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    if (FPushedCellButton.X != -1)
        ReleasePushedButton(ACol, ARow, X, Y);
    // 11.
    if ((IsDesigning() || GetHintShowSizing()) && FScrollHintShow) {
        if (FScrollHintWnd)
            FScrollHintWnd->ReleaseHandle();
        FScrollHintShow = false;
    }
    // 12, 13.
    const bool MoveEnd = (GetGridState() == gsRowMoving || GetGridState() == gsColMoving) && GetEnhRowColMove()
        && Screen && (Screen->GetCursor() == crDrag || Screen->GetCursor() == crNoDrop);
    if (!MoveEnd && ACol >= 0 && ARow >= 0) {
        const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
        if ((HasButton(RealCol, ARow) && PointIn(CellButtonRect(ACol, ARow), X, Y))
            || (HasExpand(RealCol, ARow) && PointIn(ExpandButtonRect(ACol, ARow), X, Y)))
            return;
    }
    // 14, 15.
    const bool ClickOnSizer = ARow >= 0 && ARow < GetFixedRows() && ACol >= 0 && GetOptions().Contains(goColSizing)
        && GetGridState() == gsColSizing;
    if (OnClick && FDoOnClick && !ClickOnSizer && (ARow < GetFixedRows() || ACol < GetFixedCols()))
        OnClick(this);
    FDoOnClick = false;
    // 17. A press into the selection that no drag followed.
    if (FSelectionClick) {
        FSelectionClick = false;
        if (ARow >= GetFixedRows() && ACol >= GetFixedCols()) {
            const bool Disjunct = FMouseActions->GetDisjunctRowSelect() && FDragDropSettings->GetOleDropSource();
            if (Disjunct && !Shift.Contains(ssCtrl) && !FMouseActions->GetDisjunctRowSelectNoCtrl())
                ResetRowSelectList();
            else if (Disjunct) {
                SetRowSelect(ARow, !GetRowSelect(ARow));
                // Pixel coordinates; the platform's release still runs.
                if (OnMouseUp)
                    OnMouseUp(this, mbLeft, TShiftState { ssCtrl }, X, Y);
            } else if (GetOptions().Contains(goRowSelect))
                SetSelection(TGridRect { GetFixedCols(), ARow, GetColCount() - 1, ARow });
            else
                FocusCell(ACol, ARow);
        }
    }
    // 18, 19. Disjunct rows and group selection.
    if (FMouseActions->GetDisjunctRowSelect())
        ReleaseDisjunctRows(ACol, ARow, Shift, RowDeselected);
    ReleaseSelectsGroup(ACol, ARow);
    // 20. Disjunct columns.
    if (FMouseActions->GetDisjunctColSelect()) {
        SyncColSelectWithSelection(false);
        if (ACol >= GetFixedCols() && ACol < GetColCount() - FFixedRightCols && FDeselectState)
            SetColSelect(ACol, false);
        FDeselectState = false;
    }
    // 21. End of an enhanced move.
    bool Moved = false;
    if (MoveEnd) {
        if (MoveButton) {
            MoveButton->SetEnabled(false);
            MoveButton->SetVisible(false);
        }
        // The picture that followed the pointer goes with the move.
        delete MoveForm;
        MoveForm = nullptr;
        DoEndBlockFocus();
        const bool DropOk = Screen->GetCursor() != crNoDrop;
        Screen->SetCursor(crDefault);
        if (DropOk && Movecell >= 0) {
            if (GetGridState() == gsColMoving && ACol >= GetFixedCols() && ACol != Movecell)
                MoveColumn(Movecell, ACol);
            else if (GetGridState() == gsRowMoving && ARow >= GetFixedRows() && ARow != Movecell)
                MoveRow(Movecell, ARow);
        } else if (!DropOk)
            GetGridState() == gsColMoving ? RepaintRow(0) : RepaintCol(0);
        if (HandleAllocated())
            KillTimer(GetHandle(), 1);
        SetGridState(gsNormal);
        Moved = true;
    }
    // 22. The platform's release (it calls the mouse-up step).
    TBaseGrid::WndProc(Message);
    // 23.
    if (ACol >= 0 && ARow >= 0 && (ACol < GetFixedCols() || ARow < GetFixedRows()) && !ClickOnSizer
        && OnFixedCellClick)
        OnFixedCellClick(this, ACol, ARow);
    // 24.
    if (RowDeselected)
        FSelChange = false;
    if (GetGridState() == gsSelecting)
        SetGridState(gsNormal);
    // 25.
    if (FMouseResize) {
        if (OnSelectionResize)
            OnSelectionResize(this, FDropSelection, GetSelection());
        // The block the press copied fills the new selection.
        if (FNavigation->GetAllowSmartClipboard()) {
            GridGuards::TValueGuard<bool> NoEdit(FEditDisable, true);
            FDataViews->PasteSelectionFromClipboard();
        }
        FMouseResize = false;
        if (OnSelectionResized)
            OnSelectionResized(this, FDropSelection, GetSelection());
    }
    // 26 .. 29.
    if (ColMoveFlg || ColSizeFlg || ACol < 0 || ARow < 0)
        return;
    const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
    if (HasCheckBox(RealCol, ARow) && OnCheckBoxMouseUp) {
        bool State = false;
        GetCheckBoxState(RealCol, RealRowIndex(TDisplayRow(ARow)).Value, State);
        OnCheckBoxMouseUp(this, RealCol, ARow, State);
    }
    if (IsRadio(RealCol, ARow) && OnRadioMouseUp) {
        int Idx = -1;
        GetRadioIdx(RealCol, ARow, Idx);
        OnRadioMouseUp(this, RealCol, ARow, Idx);
    }
    if (ACol < GetFixedCols() && ARow < GetFixedRows() && !FSortSettings->GetFixedCols())
        return;
    ReleaseClickSort(RealCol, ARow, X, Y, Moved, Shift);
}

void TDedOzovedUrad::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    int ACol = -1, ARow = -1;
    MouseToCell(X, Y, ACol, ARow);
    const TGridRect Sel = GetSelection();
    const bool Differs = Sel.Left != FOrigSelection.Left || Sel.Top != FOrigSelection.Top
        || Sel.Right != FOrigSelection.Right || Sel.Bottom != FOrigSelection.Bottom;
    bool SelChanged = Differs
        && (Button == mbLeft
            || (Button == mbRight && FMouseActions->GetSelectOnRightClick() && !IsFixed(ACol, ARow)));
    const TGridRect SelAtStart = Sel;
    const bool ColSizing = GetGridState() == gsColSizing;
    // 3. The filter-edit row's type button.
    if (ACol >= 0 && ARow >= 0 && !ColSizing && HasCellFilterEdit(ACol, ARow)
        && ReleaseOpensFilterTypeMenu(ACol, ARow, X, Y))
        return;
    // 4. The filter row's drop-down button.
    if (ACol >= 0 && ARow >= 0 && ARow == GetFilterDropDownRow() && !ColSizing) {
        const TRect R = CellRect(ACol, ARow);
        const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
        const bool InZone = (UseRightToLeftAlignment() ? X > R.Left + 3 && X < R.Left + 19
                                                       : X > R.Right - 19 && X < R.Right - 3)
            && Y < R.Top + 19;
        if (InZone && FFilterCol != RealCol && CollectFilterValues(RealCol, true, false)) {
            FFilterCol = RealCol;
            BuildFilterList(ACol, ARow);
        } else
            CloseOpenFilterList();
    } else
        CloseOpenFilterList();
    // 5, 6. A size dragged outside the grid is dropped.
    FDropDownDown = false;
    if ((X > GetWidth() && GetGridState() == gsColSizing) || (Y > GetHeight() && GetGridState() == gsRowSizing)) {
        SetGridState(gsNormal);
        return;
    }
    // 7. Disjunct cells.
    if (FMouseActions->GetDisjunctCellSelect() && Button == mbLeft && ACol >= 0 && ARow >= 0) {
        const int RealCol = RealColIndex(TDisplayCol(ACol)).Value;
        const TPoint B = BaseCell(RealCol, ARow);
        const int BCol = DisplColIndex(TRealCol(B.X)).Value, BRow = B.Y;
        if (IsFixed(BCol, BRow)) {
            if (!Shift.Contains(ssCtrl) && !IsFixed(ACol, ARow)) {
                ClearSelectedCells();
                SelChanged = true;
                Invalidate();
            }
        } else {
            bool CanSelect = true;
            if (OnSelectCell)
                OnSelectCell(this, BCol, BRow, CanSelect);
            if (!CanSelect)
                return;
            if (Shift.Contains(ssShift))
                FSelectedCells.Add(ACol, ARow);
            else if (Shift.Contains(ssCtrl)) {
                if (!FSelectedCells.Remove(BCol, BRow))
                    FSelectedCells.Add(BCol, BRow);
            } else {
                for (int i = 0; i < FSelectedCells.Count(); ++i)
                    RepaintCell(FSelectedCells.Item(i).X, FSelectedCells.Item(i).Y);
                ClearSelectedCells();
                FSelectedCells.Add(BCol, BRow);
            }
            SelChanged = true;
            const TGridRect S = GetSelection();
            if (S.Left != S.Right || S.Top != S.Bottom) {
                for (int c = S.Left; c <= S.Right; ++c)
                    for (int r = S.Top; r <= S.Bottom; ++r)
                        if ((c != BCol || r != BRow) && !IsSelected(c, r))
                            FSelectedCells.Add(c, r);
                for (int i = 0; i < FSelectedCells.Count(); ++i)
                    RepaintCell(FSelectedCells.Item(i).X, FSelectedCells.Item(i).Y);
            }
            RepaintCell(ACol, ARow);
        }
    }
    // 8.
    if (SelChanged)
        SelectionChanged(SelAtStart.Left, SelAtStart.Top, SelAtStart.Right, SelAtStart.Bottom);
    // 9.
    if (GetGridState() == gsColMoving && Button == mbRight)
        return;
    TBaseGrid::MouseUp(Button, Shift, X, Y);
    if (ACol >= 0 && ARow >= 0 && IsHoverFixedCell(ACol, ARow) && FControlLook->GetFixedGradientDownTo() != clNone
        && ARow == GetFixedRows() - 1)
        RepaintCell(ACol, ARow);
    const TGridRect Now = GetSelection();
    if (Now.Left != SelAtStart.Left || Now.Top != SelAtStart.Top || Now.Right != SelAtStart.Right
        || Now.Bottom != SelAtStart.Bottom)
        SelectionChanged(Now.Left, Now.Top, Now.Right, Now.Bottom);
}
