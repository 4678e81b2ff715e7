#pragma once
// What the steps of one cell's painting share: the cell, its resolved look
// and the rectangle as the steps narrow it. Private to the painters.

#include "grid/core/DedOzovedUrad.h"

struct TDedOzovedUrad::TCellPaint {
    TCanvas* Canvas { nullptr };
    int ACol { 0 };   // display column
    int ARow { 0 };
    int RCol { 0 };   // stored column
    int SelRow { 0 }; // the row the row selection is kept by
    TRect Rect;
    TGridDrawState State;
    // The filter row offers a drop-down for this column.
    bool FilterDropDown { false };

    TColor ColorTo { clNone };
    TColor MirrorColor { clNone };
    TColor MirrorColorTo { clNone };
    TAlignment HA { taLeftJustify };
    TVAlignment VA { vtaTop };
    bool WW { false };
    TCellGradientDirection GD { GradientVertical };

    // The cell object and its place.
    TObject* Graphic { nullptr };
    int GraphicW { 0 };
    int GraphicH { 0 };
    bool TextBeside { true };
    TCellHAlign GraphicHA { haLeft };
    TCellVAlign GraphicVA { vaTop };

    bool Fixed { false };
    bool Styled { false };
    // The look before the selection took the text.
    TColor UnselectedBrush { clNone };
    TColor UnselectedFont { clNone };
    TColor URLColor { clNone };
    // The width the text took (+ 2), for the cell object beside it.
    int TextWidth { 0 };
};
