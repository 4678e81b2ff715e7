#pragma once
// The looks a drop-down with a grid of rows takes from a component style:
// one row of colours per style, and the grid line colours that go with a
// named selection style. Each drop-down keeps its own table of rows.

#include <span>

#include "dropdown/LumCustomDropDown.h"
#include "richtext/LumStyles.h"

namespace dropdownstyles {

// A header font colour that stays as it is.
constexpr TColor Same = TColor(0x7FFFFFFF);

struct TStyleRow {
    ROZEVizer Style;
    TColor Header, HeaderTo, HeaderFont, Line, FixedLine;
    // A named selection style, or scCustom with the colour for both ends.
    TSelectionColorStyle Selection;
    TColor SelectionColor, SelectionText;
};

// The row of Style, or nullptr when the table has none.
inline const TStyleRow* FindStyleRow(std::span<const TStyleRow> Rows, ROZEVizer Style)
{
    for (const TStyleRow& R : Rows)
        if (R.Style == Style)
            return &R;
    return nullptr;
}

// The grid line and fixed line colours of a named selection style; false
// (nothing set) for the others.
inline bool SelectionLineColors(TSelectionColorStyle Style, TColor& Line, TColor& FixedLine)
{
    if (Style == scOffice2007) {
        Line = TColor(0xF1EDEB);
        FixedLine = TColor(0xD1BBA4);
        return true;
    }
    if (Style == scWindowsVista || Style == scWindows7) {
        Line = TColor(0xECECF0);
        FixedLine = TColor(0xD4D2D1);
        return true;
    }
    return false;
}

} // namespace dropdownstyles
