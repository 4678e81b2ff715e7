#pragma once
// Small classes the string grid keeps around its cells: the record of a
// hidden row (TGridItem), the background picture or gradient (TBackGround)
// and the base of components told about changed cell ranges
// (TGridChangeNotifier).

#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Grids.h"

class TDedOzovedUrad;

// The cells of a hidden row seen as a string list (texts and objects).
// The row's cells are kept as a stored grid row, so hiding and restoring
// move whole rows rather than copying every text.
class TGridItemCells : public TStrings {
    QT_CLASS(TGridItemCells, TStrings)
public:
    explicit TGridItemCells(TStringGrid::TStoredRow& Row) : FRow(Row) { }
    int GetCount() const override { return int(FRow.size()); }
    void Insert(int index, const String& s) override;
    void Delete(int index) override;
    void Clear() override { FRow.clear(); }

protected:
    String Get(int index) const override;
    void Put(int index, const String& s) override;
    TObject* GetObject(int index) const override;
    void PutObject(int index, TObject* obj) override;

private:
    void Check(int index, int Limit) const;
    TStringGrid::TStoredRow& FRow;
};

// One hidden row: its Idx (the real row for rows hidden directly, the
// display row at its filter level for filtered rows), its height before
// hiding, its cells with their objects, and its level.
class TGridItem : public TCollectionItem {
    QT_CLASS(TGridItem, TCollectionItem)
public:
    explicit TGridItem(TCollection* Collection = nullptr);
    ~TGridItem() override;
    // A filter stores and frees tens of thousands of items per pass: they
    // come from a free list that keeps its blocks for the next pass, rather
    // than from the heap, which gives such a run back to the system and
    // faults it in again.
    static void* operator new(std::size_t Size);
    static void operator delete(void* Block, std::size_t Size);

    int GetIdx() const { return FIdx; }
    // Reported to the collection, so the grid's lookup of the store goes.
    void SetIdx(int Value)
    {
        FIdx = Value;
        Changed(false);
    }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    // The saved cells. The item keeps its own cells: the setter copies the
    // given texts and objects, and the caller keeps its list.
    // The list view of the cells is made when first asked for: a filter
    // stores tens of thousands of rows that nobody lists.
    TStrings* GetItems() const;
    void SetItems(TStrings* Value) { GetItems()->Assign(Value); }
    // The saved cells as a stored row, to move a row in or out whole.
    TStringGrid::TStoredRow& Cells() { return FCells; }
    // The node level of rows hidden by contraction; the filter level of
    // rows a filter took out.
    int GetLevel() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }
    // Set for rows a filter level took out (their Idx and Level are the
    // filter's); rows hidden directly or by a node leave it clear.
    bool GetFilterItem() const { return FFilterItem; }
    void SetFilterItem(bool Value) { FFilterItem = Value; }

private:
    int FIdx { 0 };
    int FHeight { 0 };
    TStringGrid::TStoredRow FCells;
    mutable std::unique_ptr<TGridItemCells> FItemsView;
    int FLevel { 0 };
    bool FFilterItem { false };
};

enum TBackGroundDisplay { bdTile, bdFixed, bdGradientHorz, bdGradientVert };
QT_ENUM(TBackGroundDisplay, bdTile, bdFixed, bdGradientHorz, bdGradientVert)
enum TBackGroundCells { bcNormal, bcFixed, bcAll };
QT_ENUM(TBackGroundCells, bcNormal, bcFixed, bcAll)

// Every setter stores and repaints the grid; the bitmap setter copies.
class TBackGround : public TPersistent {
    QT_CLASS(TBackGround, TPersistent)
public:
    explicit TBackGround(TDedOzovedUrad* AGrid = nullptr);
    ~TBackGround() override;
    void Assign(TPersistent* Source) override;

    int GetTop() const { return FTop; }
    void SetTop(int Value) { Set(FTop, Value); }
    int GetLeft() const { return FLeft; }
    void SetLeft(int Value) { Set(FLeft, Value); }
    TBackGroundDisplay GetDisplay() const { return FDisplay; }
    void SetDisplay(TBackGroundDisplay Value) { Set(FDisplay, Value); }
    TBackGroundCells GetCells() const { return FBackgroundCells; }
    void SetCells(TBackGroundCells Value) { Set(FBackgroundCells, Value); }
    TColor GetColorTo() const { return FColorTo; }
    void SetColorTo(TColor Value) { Set(FColorTo, Value); }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value) { Set(FColor, Value); }
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);

private:
    template<class T>
    void Set(T& Field, T Value)
    {
        Field = Value;
        InvalidateGrid();
    }
    void InvalidateGrid();

    TDedOzovedUrad* FGrid { nullptr };
    int FTop { 0 };
    int FLeft { 0 };
    TBackGroundDisplay FDisplay { bdTile };
    TBackGroundCells FBackgroundCells { bcNormal };
    TColor FColorTo { clBtnFace };
    TColor FColor { clWindow };
    std::unique_ptr<TBitmap> FBitmap;
};

// A component the grid tells about changed cell ranges once registered
// with the grid's RegisterNotifier.
class TGridChangeNotifier : public TComponent {
    QT_CLASS(TGridChangeNotifier, TComponent)
public:
    using TComponent::TComponent;
    // The changed cells (columns Left..Right, rows Top..Bottom).
    virtual void CellsChanged(const TRect& /*ARect*/) { }
};
