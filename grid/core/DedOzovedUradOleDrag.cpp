// The OLE drag of the grid's selection once the mouse has started it: a
// column drag from a header, or a drag of the selected text and cells; after
// a move the source rows are removed or their cells cleared.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDragDrop.h"
#include "grid/core/GridOverlays.h"
#include "grid/core/ScrollControl.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/Window.h"

namespace {

constexpr DWORD CopyOrMove = DROPEFFECT_COPY | DROPEFFECT_MOVE;

void HideWindow(TWinControl* W)
{
    if (W && W->HandleAllocated())
        ShowWindow(W->GetHandle(), SW_HIDE);
    if (W)
        W->SetVisible(false);
}

} // namespace

void TDedOzovedUrad::OleColumnDragStart(int ACol, int AIndex, TCustomListBox* AList)
{
    FOleDragCol = ACol;
    FOleDragIndex = AIndex;
    FOleDragList = AList;
}

void TDedOzovedUrad::RunSelectionDrag(int ACol, int ARow, TPoint ScreenPt, bool ColumnDrag)
{
    TComPtr<TDOUDropSource> Source = FDataViews->NewDropSource();
    if (OnOleDragStart)
        OnOleDragStart(this, ARow, ACol);
    DoStartBlockFocus();
    DWORD Effect = DROPEFFECT_NONE;

    if (ColumnDrag) {
        if (!FDragDropSettings->GetShowCells() && MoveButton) {
            MoveButton->SetCaption(GetCellEx(ACol, 0));
            MoveButton->SetBounds(ScreenPt.X, ScreenPt.Y, GetColWidths(RealToDisplayCol(TRealCol(ACol)).Value),
                GetRowHeights(0));
            MoveButton->SetVisible(true);
            if (MoveButton->HandleAllocated())
                SetWindowPos(MoveButton->GetHandle(), HWND_TOPMOST, ScreenPt.X, ScreenPt.Y, 0, 0,
                    SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
        const HRESULT Result = StartColumnDrag(Source.get(), ACol, CopyOrMove, Effect);
        if (Result != DRAGDROP_S_CANCEL && OnOleDragStop)
            OnOleDragStop(this, int(Effect));
        HideWindow(MoveButton);
        HideWindow(ArwD);
        HideWindow(ArwU);
        return;
    }

    const TGridRect Sel = GetSelection();
    FDropSelection = Sel;
    FDragDropSettings->SetDeltaY(0);
    FDragDropSettings->SetSourceY(std::min(Sel.Top, Sel.Bottom));
    std::unique_ptr<TMemoryStream> Stream;
    if (FNavigation->GetAllowFmtClipboard()) {
        TRect R(Sel.Left, Sel.Top, Sel.Right, Sel.Bottom);
        if (FDragDropSettings->GetOleEntireRows()) {
            R.Left = 0;
            R.Right = GetColCount() - 1;
        }
        Stream = std::make_unique<TMemoryStream>();
        FDataViews->SaveRectToBinStream(R, *Stream, false);
        // Without a cell-stream writer nothing was written: offer no cells
        // rather than an empty block that would load nothing.
        if (Stream->GetSize() == 0)
            Stream.reset();
    }
    const HRESULT Result
        = StartTextDrag(Source.get(), SelectedText(), GetCellEx(ACol, ARow), Stream.get(), CopyOrMove, Effect);
    if (Result == DRAGDROP_S_CANCEL)
        return;
    if (!FDragDropSettings->GetOleCopyAlways() && Effect == DROPEFFECT_MOVE) {
        const bool Disjunct = FMouseActions->GetDisjunctRowSelect();
        // Rows the drop inserted above the source moved it down.
        const int Delta = FDragDropSettings->GetDeltaY();
        if (FDragDropSettings->GetOleRemoveRows() && GetOptions().Contains(goRowSelect)) {
            if (Disjunct)
                RemoveSelectedRows();
            else
                RemoveRows(FDropSelection.Top + Delta, FDropSelection.Bottom - FDropSelection.Top + 1);
        } else if (Disjunct) {
            ClearSelection();
        } else {
            ClearRect(FDropSelection.Left, FDropSelection.Top + Delta, FDropSelection.Right,
                FDropSelection.Bottom + Delta);
        }
    }
    if (OnOleDragStop)
        OnOleDragStop(this, int(Effect));
}
