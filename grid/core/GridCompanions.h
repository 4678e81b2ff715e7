#pragma once
// Small classes the string grid keeps around its cells: the record of a
// hidden row (TGridItem), the background picture or gradient (TBackGround)
// and the base of components told about changed cell ranges
// (TGridChangeNotifier).

#include <memory>

#include "platform/rtl/Collection.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Graphics.h"

class TDedOzovedUrad;

// One hidden row: its real index, its height before hiding, its cells and
// its node level.
class TGridItem : public TCollectionItem {
    QT_CLASS(TGridItem, TCollectionItem)
public:
    explicit TGridItem(TCollection* Collection = nullptr);
    ~TGridItem() override;

    int GetIdx() const { return FIdx; }
    // Reported to the collection, so the grid's lookup of the store goes.
    void SetIdx(int Value)
    {
        FIdx = Value;
        Changed(false);
    }
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value) { FHeight = Value; }
    // The saved cells. The item keeps its own list: the setter copies the
    // given texts and objects into it, and the caller keeps its list.
    TStrings* GetItems() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int GetLevel() const { return FLevel; }
    void SetLevel(int Value) { FLevel = Value; }

private:
    int FIdx { 0 };
    int FHeight { 0 };
    std::unique_ptr<TStringList> FItems;
    int FLevel { 0 };
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
