#pragma once
// What a grid asks the drop-down control it may be embedded in: whether
// that drop-down sizes the grid's columns to its own width (then the grid's
// columns never need a horizontal scroll bar). The grid drop-down of the
// drop-down library answers it; the grid finds it as its parent's owner.

class IGridDropDownSizing {
public:
    virtual ~IGridDropDownSizing() = default;
    virtual bool GetColumnSizeWithDropDown() const = 0;
};
