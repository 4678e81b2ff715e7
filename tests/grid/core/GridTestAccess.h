#pragma once
// Puts rows and columns of a string grid out of view the way hiding leaves
// them, for the tests of what reads the hidden-row store and the hidden-
// column flags.

#include <initializer_list>
#include <vector>

#include "grid/core/DedOzovedUrad.h"

struct TDedOzovedUradTestAccess {
    // Flags real column c hidden, remembers its width and takes one column
    // out of ColCount (the widths after it move left); the cells stay
    // stored where they are.
    static void HideColumnFlag(TDedOzovedUrad& Grid, int c)
    {
        const int Shown = Grid.RealToDisplayCol(TRealCol(c)).Value;
        Grid.FAllColWidths[std::size_t(c)] = Grid.GetColWidths(Shown);
        for (int i = Shown; i < Grid.GetColCount() - 1; ++i)
            Grid.SetColWidths(i, Grid.GetColWidths(i + 1));
        Grid.FVisibleCol[std::size_t(c)] = false;
        ++Grid.FNumHidden;
        Grid.TBaseGrid::SetColCount(Grid.GetColCount() - 1);
    }
    // The per-row flags the row operations keep in step.
    static TIntList& ModifiedRows(TDedOzovedUrad& Grid) { return *Grid.FModifiedRows; }
    static TIntList& EnabledRows(TDedOzovedUrad& Grid) { return *Grid.FEnabledRows; }
    static void SetUseEnabledRows(TDedOzovedUrad& Grid, bool Value) { Grid.FUseEnabledRows = Value; }
    // Emptying only drops what the slots hold, as after a row move.
    static void SetNilObjects(TDedOzovedUrad& Grid, bool Value) { Grid.FNilObjects = Value; }
    // The screen density a window would give the grid.
    static void SetDPIScale(TDedOzovedUrad& Grid, double Value) { Grid.FDPIScale = Value; }
    // The column a grouping has put its groups by.
    static void SetGroupColumn(TDedOzovedUrad& Grid, int Value) { Grid.FGroupColumn = Value; }
    // A mouse sizing as the mouse code leaves it before the platform's
    // size-change notification.
    static void MouseSized(TDedOzovedUrad& Grid, bool Column, int Index, int SizeBefore)
    {
        if (Column) {
            Grid.ColSized = true;
            Grid.Colclicked = Index;
            Grid.Colclickedsize = SizeBefore;
        } else {
            Grid.RowSized = true;
            Grid.Rowclicked = Index;
            Grid.Rowclickedsize = SizeBefore;
        }
    }
};

// Moves real rows (ascending) into the hidden-row store with their texts
// and objects, and out of the grid: the rows below move up.
inline void HideRowsForTest(TDedOzovedUrad& Grid, std::initializer_list<int> RealRows)
{
    for (int Real : RealRows) {
        const int Shown = Grid.RealToDisplayRow(TRealRow(Real)).Value;
        auto* Item = static_cast<TGridItem*>(Grid.GetGridItems()->Add());
        TStrings* Cells = Item->GetItems();
        for (int c = 0; c < Grid.GetAllColCount(); ++c)
            Cells->AddObject(Grid.GetGridCell(c, Shown), Grid.GetGridObject(c, Shown));
        Item->SetHeight(Grid.GetRowHeights(Shown));
        Item->SetIdx(Real);
        // The platform's row deletion keeps the stored slots beyond the
        // count; empty them so nothing is kept twice.
        Grid.DeleteRow(Shown);
        const int Gone = Grid.GetRowCount();
        for (int c = 0; c < Grid.GetAllColCount(); ++c) {
            Grid.SetGridObject(c, Gone, nullptr);
            Grid.SetGridCell(c, Gone, String());
        }
    }
}
