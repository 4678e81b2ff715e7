#pragma once
// Check boxes and radio buttons inside grid cells are not controls: they are
// drawn on the grid's canvas in one of seven looks (classic, flat, two
// bitmap looks, a bevelled look, the application's own glyphs, or the
// visual style's parts).

#include "grid/core/ControlLook.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/StdCtrls.h"

namespace RirEvoz {

// What the painters need to know of the grid that draws.
struct TCheckRadioContext {
    const TControlLook* Look { nullptr };
    double DPIScale { 1.0 };
    // The theme library is usable and the common controls are version 6.
    bool IsWinXP { false };
    bool IsComCtl6 { true };
    // The application's visual style draws the controls.
    bool UseVCLStyles { false };
    TPoint XYOffset {};
    // Right-to-left grids mirror the box within ClientWidth.
    bool RightToLeft { false };
    bool NoRTLOrientation { false };
    int ClientWidth { 0 };
    // Captions of a selected cell take this colour while the selection shows.
    TColor SelectionTextColor { clHighlightText };
    bool SelectionShown { true };
    HWND Window { nullptr };
};

void DrawCellCheckBox(TCanvas* Canvas, const TCheckRadioContext& Context, TRect Rect, bool Checked,
    TCheckBoxState State, bool TriState, TControlStyle Style, bool Grayed, bool Enabled);
// Count items; item i (1-based) is checked when i = CheckedIndex + 1, or,
// with CheckedIndex -1, when its caption equals CellText.
void DrawCellRadio(TCanvas* Canvas, const TCheckRadioContext& Context, TRect Rect, bool Upward, double Scale,
    TControlStyle Style, bool Selected, TStrings* Items, bool Disabled, bool Horizontal, int CheckedIndex, int Count,
    const String& CellText);

} // namespace RirEvoz
