#pragma once
// The records of the grid's binary cell stream (clipboard, drag and drop,
// cell files). Each record is a small persistent whose published properties
// are streamed through the run-time type information; each owns the object
// it carries and copies values in and out.
//
// Byte layout of one record (little-endian):
//   u16 n, n UTF-16 units   class name (one of the nine below)
//   u16 0                   component name (always empty)
//   u16 k                   count of properties that follow
//   k properties:           u8 n, n ASCII bytes (name); u8 kind; value
// Kinds: 1 ordinal (i64), 2 float (f64), 3 string (u32 n + n UTF-16 units),
// 4 picture (u32 n + n bytes of the graphic's own file format),
// 5 string list (u32 count + strings as kind 3), 6 nested object (u16 k +
// k properties). Only properties that differ from a new record's are
// written.

#include <memory>
#include <vector>

#include "grid/core/BaseGrid.h"
#include "grid/core/CellGraphic.h"
#include "grid/core/CellPainters.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

class TGridPropIO : public TPersistent {
    QT_CLASS(TGridPropIO, TPersistent)
public:
    int GetColCount() const { return FColCount; }
    void SetColCount(int v) { FColCount = v; }
    int GetRowCount() const { return FRowCount; }
    void SetRowCount(int v) { FRowCount = v; }
    String GetColWidths() const { return FColWidths; }
    void SetColWidths(const String& v) { FColWidths = v; }
    String GetRowHeights() const { return FRowHeights; }
    void SetRowHeights(const String& v) { FRowHeights = v; }
    bool GetFullGrid() const { return FFullGrid; }
    void SetFullGrid(bool v) { FFullGrid = v; }
    std::int64_t GetID() const { return FID; }
    void SetID(std::int64_t v) { FID = v; }

private:
    int FColCount { 0 };
    int FRowCount { 0 };
    String FColWidths;
    String FRowHeights;
    bool FFullGrid { false };
    std::int64_t FID { 0 };
};

// Col and Row are 32-bit: a copy of more than 65,535 rows keeps its places.
class TGridCellIO : public TPersistent {
    QT_CLASS(TGridCellIO, TPersistent)
public:
    int GetCol() const { return FCol; }
    void SetCol(int v) { FCol = v; }
    int GetRow() const { return FRow; }
    void SetRow(int v) { FRow = v; }
    String GetCell() const { return FCell; }
    void SetCell(const String& v) { FCell = v; }
    bool GetHasProp() const { return FHasProp; }
    void SetHasProp(bool v) { FHasProp = v; }
    void Reset()
    {
        FCol = FRow = 0;
        FCell.clear();
        FHasProp = false;
    }

private:
    int FCol { 0 };
    int FRow { 0 };
    String FCell;
    bool FHasProp { false };
};

class TGridCellPropIO : public TPersistent {
    QT_CLASS(TGridCellPropIO, TPersistent)
public:
    TCellProperties* GetCellProperties() const { return FCellProperties.get(); }
    void SetCellProperties(TCellProperties* v) { FCellProperties->Assign(v); }
    bool GetHasGraphic() const { return FHasGraphic; }
    void SetHasGraphic(bool v) { FHasGraphic = v; }
    // The cell properties the stream set (the reader fills it): only these
    // replace the target cell's own.
    std::vector<PPropInfo> Present;

private:
    std::unique_ptr<TCellProperties> FCellProperties { std::make_unique<TCellProperties>() };
    bool FHasGraphic { false };
};

class TGridGraphicIO : public TPersistent {
    QT_CLASS(TGridGraphicIO, TPersistent)
public:
    TBaseCellGraphic* GetCellGraphic() const { return FCellGraphic.get(); }
    void SetCellGraphic(TBaseCellGraphic* v) { FCellGraphic->Assign(v); }
    // A string list record with the comment and its colour follows (a
    // comment beside a kind that keeps CellText for itself).
    bool GetHasComment() const { return FHasComment; }
    void SetHasComment(bool v) { FHasComment = v; }

private:
    bool FHasComment { false };
    std::unique_ptr<TBaseCellGraphic> FCellGraphic { std::make_unique<TBaseCellGraphic>() };
};

class TGridBMPIO : public TPersistent {
    QT_CLASS(TGridBMPIO, TPersistent)
public:
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* v) { FBitmap->Assign(v); }

private:
    std::unique_ptr<TBitmap> FBitmap { std::make_unique<TBitmap>() };
};

class TGridIconIO : public TPersistent {
    QT_CLASS(TGridIconIO, TPersistent)
public:
    TIcon* GetIcon() const { return FIcon.get(); }
    void SetIcon(TIcon* v) { FIcon->Assign(v); }

private:
    std::unique_ptr<TIcon> FIcon { std::make_unique<TIcon>() };
};

class TGridSLIO : public TPersistent {
    QT_CLASS(TGridSLIO, TPersistent)
public:
    TStringList* GetStrings() const { return FStrings.get(); }
    void SetStrings(TStringList* v) { FStrings->Assign(v); }

private:
    std::unique_ptr<TStringList> FStrings { std::make_unique<TStringList>() };
};

class TGridPicIO : public TPersistent {
    QT_CLASS(TGridPicIO, TPersistent)
public:
    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* v) { FPicture->Assign(v); }

private:
    std::unique_ptr<TPicture> FPicture { std::make_unique<TPicture>() };
};

class TGridFilePicIO : public TPersistent {
    QT_CLASS(TGridFilePicIO, TPersistent)
public:
    TFilePicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TFilePicture* v) { FPicture->Assign(v); }

private:
    std::unique_ptr<TFilePicture> FPicture { std::make_unique<TFilePicture>() };
};

// The counts and row heights (comma text) of a cell stream read whole from
// its position and found sound; False for a malformed, truncated or foreign
// stream. A drop checks a stream with it before it changes anything.
bool ReadCellStreamHead(TStream& Stream, int& RowCount, int& ColCount, String& RowHeights);
