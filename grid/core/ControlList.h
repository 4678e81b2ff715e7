#pragma once
// The controls placed into grid cells: each item names a control and the
// cell (column X, row Y) it sits in. The list owns its items, never the
// controls.

#include <memory>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Types.h"

class TControl;

class TControlItem : public TObject {
    QT_CLASS(TControlItem, TObject)
public:
    TControlItem(int AX, int AY, TControl* AObject) : X(AX), Y(AY), FObject(AObject) { }

    TControl* GetControl() const { return FObject; }
    void SetControl(TControl* v) { FObject = v; }

    int X { 0 };
    int Y { 0 };

private:
    TControl* FObject { nullptr };
};

class TLumControlList : public TObject {
    QT_CLASS(TLumControlList, TObject)
public:
    TLumControlList() = default;
    ~TLumControlList() override = default;

    int GetCount() const { return int(FItems.size()); }
    int Count() const { return GetCount(); }

    void AddControl(int X, int Y, TControl* AObject);
    // Index of the first item of that cell, -1 when none.
    int ControlIndex(int X, int Y) const;
    // Raises EListError for an index out of range.
    TControlItem* GetControl(int i) const;
    // Frees the item; the control stays.
    void RemoveControl(int i);
    void ClearControls() { FItems.clear(); }
    // Some item's control is a windowed control with this window handle
    // (asking for the handle creates the window when it has none yet).
    bool HasHandle(HWND Handle) const;

private:
    std::vector<std::unique_ptr<TControlItem>> FItems;
};
