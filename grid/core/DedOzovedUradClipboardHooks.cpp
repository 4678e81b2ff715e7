// The clipboard's overridable steps that live with the grid core: storing
// one pasted value, marking pasted rows, growing a selection over merged
// areas and the paste-done notice. The clipboard itself is in grid/views.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/RirEvozUndoRedo.h"

void TDedOzovedUrad::PasteCell(int ACol, int ARow, const String& Value)
{
    const int RCol = FSaveHiddenCells ? ACol : DisplayToRealCol(TDisplayCol(ACol)).Value;
    if (TRirEvozUndoRedo* Undo = GetUndoRedo())
        Undo->RegisterChange(RCol, ARow, GetCellEx(RCol, ARow), Value);
    if (!HasCheckBox(RCol, ARow) || HasDataCheckBox(RCol, ARow))
        SetCellEx(RCol, ARow, Value);
    else
        ApplyCheckBoxValue(RCol, ARow, Value == GetCheckTrue());
    if (RCol != ACol)
        RepaintCell(ACol, ARow);
}

void TDedOzovedUrad::NotifyCellsPasted(TPoint /*From*/, const TRect& R, TClipOperation /*Op*/)
{
    if (!GetShowModified()->GetEnabled())
        return;
    for (int r = std::max(R.Top, 0); r <= R.Bottom && r < GetRowCount(); ++r)
        SetRowModified(r, true);
}

bool TDedOzovedUrad::UsesCellsClipboardFormat() { return GetNavigation()->GetAllowFmtClipboard(); }

void TDedOzovedUrad::ExpandSelectionToMerges()
{
    TGridRect Sel = GetSelection();
    bool Changed = false;
    if (IsMergedCell(Sel.Left, Sel.Top)) {
        const TPoint B = BaseCell(Sel.Left, Sel.Top);
        if (B.X < Sel.Left || B.Y < Sel.Top) {
            Sel.Left = std::min(Sel.Left, B.X);
            Sel.Top = std::min(Sel.Top, B.Y);
            Changed = true;
        }
    }
    if (IsMergedCell(Sel.Right, Sel.Bottom)) {
        const TPoint B = BaseCell(Sel.Right, Sel.Bottom);
        const TPoint Span = CellSpan(B.X, B.Y);
        if (B.X + Span.X > Sel.Right || B.Y + Span.Y > Sel.Bottom) {
            Sel.Right = std::max(Sel.Right, B.X + Span.X);
            Sel.Bottom = std::max(Sel.Bottom, B.Y + Span.Y);
            Changed = true;
        }
    }
    if (Changed)
        SetSelection(Sel);
}

void TDedOzovedUrad::DoClipboardPasteDone(const TGridRect& R)
{
    if (OnClipboardPasteDone)
        OnClipboardPasteDone(this, R);
}
