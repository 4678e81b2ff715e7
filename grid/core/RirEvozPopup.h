#pragma once
// The base of a tool bar the grid shows above a cell while the pointer is
// over it. The grid tells it the cell and calls Show and Hide; what the bar
// shows, and where its window is, belongs to a descendant.

#include "platform/rtl/Classes.h"
#include "platform/vcl/Grids.h"

class TDedOzovedUrad;

class TRirEvozPopup : public TComponent {
    QT_CLASS(TRirEvozPopup, TComponent)
public:
    explicit TRirEvozPopup(TComponent* AOwner = nullptr) : TComponent(AOwner) { }

    // PT: the screen point where the bar is to appear.
    virtual void Show(TPoint /*PT*/) { FVisible = true; }
    virtual void Hide() { FVisible = false; }
    // Whether the screen point lies on the bar; the grid keeps a bar the
    // pointer left the grid for.
    virtual bool MouseInPopup(TPoint PT) = 0;

    bool GetVisible() const { return FVisible; }
    TDedOzovedUrad* GetGrid() const { return FGrid; }
    void SetGrid(TDedOzovedUrad* Value) { FGrid = Value; }
    TGridCoord GetGridCell() const { return FGridCell; }
    void SetGridCell(TGridCoord Value) { FGridCell = Value; }

protected:
    TDedOzovedUrad* FGrid { nullptr };
    TGridCoord FGridCell { -1, -1 };
    bool FVisible { false };
};
