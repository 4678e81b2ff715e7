#pragma once
// The string grid as an OLE drop target and drop source: where dropped text,
// cells, columns, rich text, addresses and files land, the drop marks and
// scrolling while something is dragged over the grid, and the drag image
// that follows the pointer while the grid's own cells are dragged.

#include "grid/core/DedOzovedUrad.h"
#include "grid/core/GridDragDrop.h"

// The size of a dropped text as the grid pastes it: Width, the most TAB
// separated fields of a line; Height, the rows it spans less one (a final
// line break starts no row).
void MeasureClipboardText(const String& Text, int& Width, int& Height);

class TGridDropTarget : public TDOUDropTarget {
    QT_CLASS(TGridDropTarget, TDOUDropTarget)
public:
    explicit TGridDropTarget(TDedOzovedUrad* AGrid);

    // Each drag is judged by the grid's switches as they are then.
    HRESULT DragEnter(IDataObject* DataObj, DWORD grfKeyState, POINTL pt, DWORD* dwEffect) override;

    bool DropText(TPoint pt, const String& s) override;
    void DropStream(TPoint pt, std::unique_ptr<TMemoryStream> Stream) override;
    void DropCol(TPoint pt, int Col) override;
    void DropRTF(TPoint pt, const String& s) override;
    void DropFiles(TPoint pt, TStrings* Files) override;
    void DropFileContents(TPoint pt) override;
    void DropURL(TPoint pt, const String& s) override;
    void DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats) override;
    void DragMouseEnter() override { }
    void DragMouseLeave() override;

protected:
    bool AcceptsCellStreams() const override { return true; }
    // What a dropped stream holds (its rows, columns and comma-separated
    // row heights), False for a malformed one, which then changes nothing;
    // and the loading itself with the first cell at (ACol, ARow).
    virtual bool ReadStreamHead(TStream& Stream, int& RowCount, int& ColCount, String& RowHeights);
    virtual void LoadStreamAt(int ACol, int ARow, TStream& Stream);
    // Pastes dropped text as the clipboard's text paste does, its first
    // field at (ACol, ARow); Cols and Rows receive the block's size.
    virtual int PasteText(int ACol, int ARow, const String& Text, int& Cols, int& Rows);

private:
    // The cell under a screen point, moved to the append position (below
    // the last row, with whole rows appended) when it lies there.
    bool AppendPosition(TPoint pt, TDropFormats Formats, int& ACol, int& ARow);
    // Inserts room for `Count` rows at ARow (or below the last row when
    // appending) and keeps the view's top row.
    void InsertDropRows(int& ARow, int Count, bool Append);
    void ShowMarks(int ACol, int ARow, bool Allow, bool Append, TDropFormats Formats);
    void HideMarks(bool Left, bool Down, bool Up, bool Button);

    TDedOzovedUrad* FGrid { nullptr };
};

class TGridDropSource : public TDOUDropSource {
    QT_CLASS(TGridDropSource, TDOUDropSource)
public:
    explicit TGridDropSource(TDedOzovedUrad* AGrid) : FGrid(AGrid) { }

    void DragStopped() override;
    void CurrentEffect(DWORD dwEffect) override;
    void QueryDrag() override;

    // The last effect of copy or move the drag showed (0 before any).
    DWORD GetLastEffect() const { return FLastEffect; }

private:
    TDedOzovedUrad* FGrid { nullptr };
    DWORD FLastEffect { 0 };
};
