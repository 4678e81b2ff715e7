#include "grid/views/io/GridOleDrop.h"

#include <algorithm>

#include "grid/core/GridOverlays.h"
#include "grid/core/ScrollControl.h"
#include "grid/views/GridDataViewsImpl.h"
#include "grid/views/io/GridCellIO.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrls_List.h"
#include "platform/win/DragDrop.h"
#include "platform/win/Input.h"
#include "platform/win/Window.h"

QT_PUBLISHED(TGridDropTarget)
QT_PUBLISHED(TGridDropSource)

void MeasureClipboardText(const String& Text, int& Width, int& Height)
{
    Width = 0;
    Height = 0;
    std::size_t i = 0;
    const std::size_t n = Text.size();
    while (true) {
        // One line: up to a CR (an LF after it belongs to the break) or an LF.
        std::size_t End = i;
        while (End < n && Text[End] != u'\r' && Text[End] != u'\n')
            ++End;
        const bool Empty = End == i;
        if (Empty) {
            if (Height > 0)
                --Height;
        } else {
            const int Fields = int(std::count(Text.begin() + std::ptrdiff_t(i), Text.begin() + std::ptrdiff_t(End), u'\t')) + 1;
            Width = std::max(Width, Fields);
        }
        if (End >= n)
            break;
        if (Text[End] == u'\r') {
            ++Height;
            if (End + 1 < n && Text[End + 1] == u'\n')
                ++End;
        }
        i = End + 1;
    }
}

namespace {

void ShowMark(TArrowWindow* Arrow, TPoint Screen)
{
    if (!Arrow)
        return;
    SetWindowPos(Arrow->GetHandle(), HWND_TOPMOST, Screen.X, Screen.Y, 0, 0,
        SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void HideMark(TWinControl* W)
{
    if (W && W->HandleAllocated())
        ShowWindow(W->GetHandle(), SW_HIDE);
}

} // namespace

// ---- TGridDropTarget ----

TGridDropTarget::TGridDropTarget(TDedOzovedUrad* AGrid) : FGrid(AGrid) { }

HRESULT TGridDropTarget::DragEnter(IDataObject* DataObj, DWORD grfKeyState, POINTL pt, DWORD* dwEffect)
{
    const TDragDropSettings& D = *FGrid->GetDragDropSettings();
    AcceptText = D.GetOleAcceptText();
    AcceptFiles = D.GetOleAcceptFiles();
    AcceptURLs = D.GetOleAcceptURLs();
    return TDOUDropTarget::DragEnter(DataObj, grfKeyState, pt, dwEffect);
}

bool TGridDropTarget::ReadStreamHead(TStream& Stream, int& RowCount, int& ColCount, String& RowHeights)
{
    return ReadCellStreamHead(Stream, RowCount, ColCount, RowHeights);
}

void TGridDropTarget::LoadStreamAt(int ACol, int ARow, TStream& Stream)
{
    FGrid->LoadAtPointFromBinStream(TPoint(ACol, ARow), Stream);
}

int TGridDropTarget::PasteText(int ACol, int ARow, const String& Text, int& Cols, int& Rows)
{
    return FGrid->PasteTextAt(ACol, ARow, Text, Cols, Rows);
}

bool TGridDropTarget::AppendPosition(TPoint pt, TDropFormats Formats, int& ACol, int& ARow)
{
    TDedOzovedUrad& G = *FGrid;
    G.ScreenToCell(pt, ACol, ARow);
    const TDragDropSettings& D = *G.GetDragDropSettings();
    if (ARow != -1 || Formats.Contains(dfCol) || !D.GetOleEntireRows() || !D.GetOleAppendRows())
        return false;
    const TPoint Client = G.ScreenToClient(pt);
    const TRect Last = G.CellRect(G.GetLeftCol(), G.GetRowCount() - 1);
    // Only below the last row when it is in view.
    if (Last.Bottom <= Last.Top || Client.Y < Last.Bottom)
        return false;
    ACol = G.GetFixedCols();
    ARow = G.GetRowCount() - 1;
    return true;
}

void TGridDropTarget::InsertDropRows(int& ARow, int Count, bool Append)
{
    TDedOzovedUrad& G = *FGrid;
    int Top = G.GetTopRow();
    if (Append) {
        G.SetRowCount(G.GetRowCount() + Count);
        ++ARow;
    } else {
        G.InsertRows(ARow, Count);
    }
    if (Top > G.GetFixedRows())
        ++Top;
    if (Top > 0)
        G.SetTopRow(std::min(Top, G.GetRowCount() - 1));
}

void TGridDropTarget::HideMarks(bool Left, bool Down, bool Up, bool Button)
{
    TDedOzovedUrad& G = *FGrid;
    if (Left)
        HideMark(G.ArwL);
    if (Down)
        HideMark(G.ArwD);
    if (Up)
        HideMark(G.ArwU);
    if (Button)
        HideMark(G.MoveButton);
}

void TGridDropTarget::DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats)
{
    TDedOzovedUrad& G = *FGrid;
    const TDragDropSettings& D = *G.GetDragDropSettings();
    const bool ColDrag = DropFormats.Contains(dfCol);
    int ACol = -1, ARow = -1;
    const bool Append = AppendPosition(pt, DropFormats, ACol, ARow);
    Allow = ACol >= 0 && ARow >= 0;

    // Scrolling while the pointer rests at the edges.
    if (Allow && !ColDrag) {
        const TPoint Client = G.ScreenToClient(pt);
        if ((ARow == 0 && G.GetTopRow() > G.GetFixedRows())
            || (Client.Y < 8 && G.GetFixedRows() == 0 && G.GetTopRow() > 0))
            G.SetTopRow(G.GetTopRow() - 1);
        else if (ARow == G.GetTopRow() + G.GetVisibleRowCount() && ARow < G.GetRowCount())
            G.SetTopRow(G.GetTopRow() + 1);
        if (G.FTimerTicks % 2 == 0) {
            if (ACol == 0 && G.GetLeftCol() > G.GetFixedCols()) {
                G.SetLeftCol(G.GetLeftCol() - 1);
                ++G.FTimerTicks;
            } else if (ACol == G.GetLeftCol() + G.GetVisibleColCount() && ACol < G.GetColCount()) {
                G.SetLeftCol(G.GetLeftCol() + 1);
                ++G.FTimerTicks;
            }
        }
    }

    if (!ColDrag) {
        if (ARow >= 0 && ARow < G.GetFixedRows() && !(G.GetRowCount() == 1 && G.GetFixedRowAlways()))
            Allow = false;
    } else if (ACol < 0) {
        Allow = true;
        ACol = G.GetColCount();
        ARow = 0;
    } else {
        Allow = ARow >= 0 && ARow < G.GetFixedRows() && ACol >= G.GetFixedCols();
    }

    Allow = Allow || DropFormats.Contains(dfFile);
    Allow = Allow || DropFormats.Contains(dfGridCells);
    Allow = Allow && ((ACol >= 0 && ARow >= 0) || DropFormats.Contains(dfFile));
    Allow = Allow || (DropFormats.Contains(dfURL) && D.GetOleAcceptURLs());
    Allow = Allow || (DropFormats.Contains(dfURI) && D.GetOleAcceptURLs());

    if (G.OnOleDragOver)
        G.OnOleDragOver(&G, ARow, ACol, Allow);
    ShowMarks(ACol, ARow, Allow, Append, DropFormats);
}

void TGridDropTarget::ShowMarks(int ACol, int ARow, bool Allow, bool Append, TDropFormats Formats)
{
    TDedOzovedUrad& G = *FGrid;
    const bool OnCell = ACol >= 0 && ARow >= 0;
    if (Allow && OnCell && Formats.Contains(dfCol)) {
        // Past the last column the marks stand at its right edge.
        TRect R;
        if (ACol >= G.GetColCount()) {
            const TRect Last = G.CellRect(G.GetColCount() - 1, ARow);
            R = TRect(Last.Right, Last.Top, Last.Right, Last.Bottom);
        } else
            R = G.CellRect(ACol, ARow);
        const TPoint TopLeft = G.ClientToScreen(TPoint(R.Left, R.Top));
        const TPoint BottomLeft = G.ClientToScreen(TPoint(R.Left, R.Bottom));
        ShowMark(G.ArwD, TPoint(TopLeft.X, TopLeft.Y - 8));
        ShowMark(G.ArwU, BottomLeft);
        HideMark(G.ArwL);
        return;
    }
    if (Allow && OnCell) {
        const TDragDropSettings& D = *G.GetDragDropSettings();
        int Row = ARow;
        if (ARow == 0 && G.GetFixedRowAlways())
            Row = std::min(1, G.GetRowCount() - 1);
        const TRect R = G.CellRect(D.GetOleEntireRows() ? G.GetFixedCols() : ACol, Row);
        TPoint P = G.ClientToScreen(TPoint(R.Left - 10, Append ? R.Bottom : R.Top));
        if (ARow == 0 && G.GetFixedRowAlways() && Row == 0)
            P.Y += G.GetRowHeights(0);
        ShowMark(G.ArwL, P);
        HideMark(G.ArwD);
        HideMark(G.ArwU);
        return;
    }
    HideMarks(true, true, true, false);
}

void TGridDropTarget::DragMouseLeave() { HideMarks(true, true, true, false); }

bool TGridDropTarget::DropText(TPoint pt, const String& s)
{
    TDedOzovedUrad& G = *FGrid;
    TDragDropSettings& D = *G.GetDragDropSettings();
    const TDropFormats Formats = GetDropFormats();
    int ACol = -1, ARow = -1;
    const bool Append = AppendPosition(pt, Formats, ACol, ARow);
    if (!Formats.Contains(dfCol) && D.GetOleEntireRows())
        ACol = 0;
    int W = 0, H = 0;
    MeasureClipboardText(s, W, H);
    // An empty text still lands in one cell.
    W = std::max(W, 1);
    const bool RowSelect = G.GetOptions().Contains(goRowSelect);
    if (RowSelect)
        ACol = D.GetOleEntireRows() ? 0 : G.GetFixedCols();

    bool Allow = true;
    if (G.OnOleDrop)
        G.OnOleDrop(&G, ARow, ACol, s, Allow);
    TGridRect Dropped { -1, -1, -1, -1 };
    if (Allow && ARow >= 0 && ACol >= 0) {
        // Source rows of a drag inside this grid move down with the rows
        // inserted above them.
        if (G.FDropSelection.Top >= ARow && D.GetOleRemoveRows()) {
            G.FDropSelection.Top += H + 1;
            G.FDropSelection.Bottom += H + 1;
            if (G.GetMouseActions()->GetDisjunctRowSelect()) {
                const std::size_t At = std::min(std::size_t(ARow), G.FRowSelect.size());
                G.FRowSelect.insert(G.FRowSelect.begin() + std::ptrdiff_t(At), std::size_t(H + 1), false);
            }
        }
        if (ARow == 0 && G.GetFixedRowAlways() && G.GetRowCount() == 1)
            ARow = 1;
        if (D.GetOleInsertRows())
            InsertDropRows(ARow, H + 1, Append);
        int Cols = 0, Rows = 0;
        PasteText(ACol, ARow, s, Cols, Rows);
        ACol = std::max(ACol, G.GetFixedCols());
        Dropped = RowSelect ? TGridRect { ACol, ARow, ACol + W - G.GetFixedCols(), ARow + H }
                            : TGridRect { ACol, ARow, ACol + W - 1, ARow + H };
        const TGridRect Sel { std::min(Dropped.Left, G.GetColCount() - 1), std::min(Dropped.Top, G.GetRowCount() - 1),
            std::min(Dropped.Right, G.GetColCount() - 1), std::min(Dropped.Bottom, G.GetRowCount() - 1) };
        G.SetSelection(Sel);
    }
    HideMarks(true, true, false, true);
    if (Allow && ARow >= 0 && G.OnOleDropped)
        G.OnOleDropped(&G, Dropped);
    return Allow;
}

void TGridDropTarget::DropStream(TPoint pt, std::unique_ptr<TMemoryStream> Stream)
{
    TDedOzovedUrad& G = *FGrid;
    TDragDropSettings& D = *G.GetDragDropSettings();
    int ACol = -1, ARow = -1;
    G.ScreenToCell(pt, ACol, ARow);
    if (D.GetOleEntireRows())
        ACol = 0;
    int RowCount = 0, ColCount = 0;
    String RowHeights;
    Stream->SetPosition(0);
    const bool Head = ReadStreamHead(*Stream, RowCount, ColCount, RowHeights);
    Stream->SetPosition(0);
    if (!Head) {
        // Nothing here can read the cells: the drop changes nothing.
        HideMarks(true, true, false, true);
        return;
    }
    if (ARow < D.GetSourceY())
        D.SetDeltaY(RowCount);
    int ACol2 = ACol, ARow2 = ARow;
    const bool Append = AppendPosition(pt, GetDropFormats(), ACol2, ARow2);
    if (Append) {
        ACol = ACol2;
        ARow = ARow2;
    }
    if (ARow < 0 || ACol < 0) {
        HideMarks(true, true, false, true);
        return;
    }
    if (D.GetOleInsertRows())
        InsertDropRows(ARow, RowCount, Append);
    LoadStreamAt(ACol, ARow, *Stream);
    if (D.GetOleInsertRows()) {
        const std::unique_ptr<TStringList> Heights = std::make_unique<TStringList>();
        Heights->SetCommaText(RowHeights);
        for (int i = 0; i < RowCount && i < Heights->GetCount(); ++i) {
            int H = 0;
            if (TryStrToInt(Heights->GetStrings(i), H) && ARow + i < G.GetRowCount())
                G.SetRowHeights(ARow + i, H);
        }
    }
    HideMarks(true, true, false, true);
    if (G.OnOleDropped)
        G.OnOleDropped(&G, G.GetSelection());
}

void TGridDropTarget::DropCol(TPoint pt, int Col)
{
    TDedOzovedUrad& G = *FGrid;
    int ACol = -1, ARow = -1;
    G.ScreenToCell(pt, ACol, ARow);
    if (ACol < 0)
        ACol = G.GetColCount();
    if (GetDropFormats().Contains(dfCol))
        HideMarks(false, true, true, true);

    // Moves the column at display index From to ACol as an enhanced move.
    auto MoveTo = [&](int From) {
        const bool Old = G.GetEnhRowColMove();
        G.SetEnhRowColMove(true);
        G.MoveColumn(From, std::min(ACol, G.GetColCount() - 1));
        G.SetEnhRowColMove(Old);
    };
    if (G.FOleDragCol != -1) {
        if (G.FOleDragList && G.FOleDragIndex >= 0 && G.FOleDragIndex < G.FOleDragList->GetItems()->GetCount())
            G.FOleDragList->GetItems()->Delete(G.FOleDragIndex);
        int i = 0;
        const TIntList& Order = *G.GetColumnOrder();
        for (int k = 0; k < Order.GetCount(); ++k)
            if (Order[k] == G.FOleDragCol) {
                i = k;
                break;
            }
        G.UnHideColumn(i);
        MoveTo(G.DisplColIndex(TRealCol(i)).Value);
        G.FOleDragCol = -1;
    } else if (G.GetDragDropSettings()->GetOleColumnReorder()) {
        ACol = std::min(ACol, G.GetColCount() - 1);
        const int From = G.DisplColIndex(TRealCol(Col)).Value;
        if (From != ACol && From >= 0 && From < G.GetColCount())
            MoveTo(From);
    }
    if (G.OnOleDropCol)
        G.OnOleDropCol(&G, ARow, ACol, Col);
}

void TGridDropTarget::DropRTF(TPoint pt, const String& s)
{
    TDedOzovedUrad& G = *FGrid;
    int ACol = -1, ARow = -1;
    G.ScreenToCell(pt, ACol, ARow);
    bool Allow = true;
    if (G.OnOleDrop)
        G.OnOleDrop(&G, ARow, ACol, s, Allow);
    if (Allow && ACol >= 0 && ARow >= 0)
        G.SetCellEx(ACol, ARow, s);
    HideMarks(true, true, false, false);
}

void TGridDropTarget::DropURL(TPoint pt, const String& s)
{
    TDedOzovedUrad& G = *FGrid;
    int ACol = -1, ARow = -1;
    G.ScreenToCell(pt, ACol, ARow);
    bool Allow = true;
    if (G.OnOleDropURL)
        G.OnOleDropURL(&G, ARow, ACol, s, Allow);
    if (Allow && ACol >= 0 && ARow >= 0)
        G.SetCellEx(ACol, ARow, s);
    HideMarks(true, true, false, false);
}

void TGridDropTarget::DropFiles(TPoint pt, TStrings* Files)
{
    TDedOzovedUrad& G = *FGrid;
    int ACol = -1, ARow = -1;
    G.ScreenToCell(pt, ACol, ARow);
    if (Files && Files->GetCount() == 1) {
        const String FileName = Files->GetStrings(0);
        bool Allow = true;
        if (G.OnOleDropFile)
            G.OnOleDropFile(&G, ARow, ACol, FileName, Allow);
        if (Allow) {
            const String Upper = UpperCase(FileName);
            if (Upper.find(u".CSV") != String::npos) {
                if (G.OnOleDrop)
                    G.OnOleDrop(&G, -1, -1, FileName, Allow);
                if (Allow)
                    G.LoadFromCSV(FileName, -1, -1);
            }
            if (Upper.find(u".XLS") != String::npos) {
                if (G.OnOleDrop)
                    G.OnOleDrop(&G, -1, -1, FileName, Allow);
                if (Allow)
                    G.LoadFromXLS(FileName);
            }
        }
    } else if (Files && Files->GetCount() > 1) {
        if (G.OnOleDropFiles)
            G.OnOleDropFiles(&G, ARow, ACol, Files);
    }
    HideMarks(true, true, false, false);
}

// File contents reach DropFiles through the base; nothing of its own.
void TGridDropTarget::DropFileContents(TPoint) { }

// ---- TGridDropSource ----

void TGridDropSource::DragStopped()
{
    if (FGrid->GetDragDropSettings()->GetShowCells() && FGrid->MoveForm) {
        TForm* Form = FGrid->MoveForm;
        FGrid->MoveForm = nullptr;
        delete Form;
    }
}

void TGridDropSource::CurrentEffect(DWORD dwEffect)
{
    if (dwEffect == DROPEFFECT_COPY || dwEffect == DROPEFFECT_MOVE)
        FLastEffect = dwEffect;
}

void TGridDropSource::QueryDrag()
{
    POINT P;
    if (!GetCursorPos(P))
        return;
    if (FGrid->GetDragDropSettings()->GetShowCells()) {
        if (FGrid->MoveForm)
            FGrid->MoveForm->SetBounds(P.X + 4, P.Y + 4, FGrid->MoveForm->GetWidth(), FGrid->MoveForm->GetHeight());
    } else if (FGrid->MoveButton) {
        THeaderDragButton* B = FGrid->MoveButton;
        B->SetBounds(P.X, P.Y - B->GetHeight(), B->GetWidth(), B->GetHeight());
    }
}

// ---- the data views' drop target and drag source ----

bool TGridDataViews::RegisterDropTarget()
{
    FDropTarget = TComPtr<TGridDropTarget>(new TGridDropTarget(&G));
    const TDragDropSettings& D = *G.GetDragDropSettings();
    FDropTarget->AcceptText = D.GetOleAcceptText();
    FDropTarget->AcceptFiles = D.GetOleAcceptFiles();
    FDropTarget->AcceptURLs = D.GetOleAcceptURLs();
    // Without a window yet, its creation registers.
    if (!G.HandleAllocated())
        return false;
    return RegisterDragDrop(G.GetHandle(), FDropTarget.get()) == S_OK;
}

void TGridDataViews::RevokeDropTarget()
{
    if (G.HandleAllocated())
        RevokeDragDrop(G.GetHandle());
    FDropTarget.reset();
}

void TGridDataViews::SetDropTargetAccepts(bool Text, bool Files, bool URLs)
{
    if (!FDropTarget)
        return;
    FDropTarget->AcceptText = Text;
    FDropTarget->AcceptFiles = Files;
    FDropTarget->AcceptURLs = URLs;
}

TComPtr<TDOUDropSource> TGridDataViews::NewDropSource()
{
    return TComPtr<TDOUDropSource>(new TGridDropSource(&G));
}
