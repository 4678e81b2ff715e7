#pragma once
// Three-dimensional edges, the classic frame controls (check boxes, radio
// buttons, push buttons, scroll arrows, caption buttons) and focus rectangles,
// in the colours of the classic system colour table.

#include "platform/gdi/Gdi.h"

enum : UINT {
    BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
    BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA,
    EDGE_RAISED = BDR_RAISEDOUTER | BDR_RAISEDINNER, EDGE_SUNKEN = BDR_SUNKENOUTER | BDR_SUNKENINNER,
    EDGE_ETCHED = BDR_SUNKENOUTER | BDR_RAISEDINNER, EDGE_BUMP = BDR_RAISEDOUTER | BDR_SUNKENINNER
};

enum : UINT {
    BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3, BF_TOPRIGHT = 0x6,
    BF_BOTTOMLEFT = 0x9, BF_BOTTOMRIGHT = 0xC, BF_RECT = 0xF, BF_DIAGONAL = 0x10, BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000, BF_ADJUST = 0x2000, BF_FLAT = 0x4000, BF_MONO = 0x8000,
    BF_DIAGONAL_ENDTOPLEFT = 0x13, BF_DIAGONAL_ENDTOPRIGHT = 0x16, BF_DIAGONAL_ENDBOTTOMLEFT = 0x19,
    BF_DIAGONAL_ENDBOTTOMRIGHT = 0x1C
};

enum : UINT { DFC_CAPTION = 1, DFC_MENU = 2, DFC_SCROLL = 3, DFC_BUTTON = 4, DFC_POPUPMENU = 5 };

enum : UINT {
    DFCS_CAPTIONCLOSE = 0x0, DFCS_CAPTIONMIN = 0x1, DFCS_CAPTIONMAX = 0x2, DFCS_CAPTIONRESTORE = 0x3,
    DFCS_CAPTIONHELP = 0x4,
    DFCS_SCROLLUP = 0x0, DFCS_SCROLLDOWN = 0x1, DFCS_SCROLLLEFT = 0x2, DFCS_SCROLLRIGHT = 0x3,
    DFCS_SCROLLCOMBOBOX = 0x5, DFCS_SCROLLSIZEGRIP = 0x8,
    DFCS_BUTTONCHECK = 0x0, DFCS_BUTTONRADIOIMAGE = 0x1, DFCS_BUTTONRADIOMASK = 0x2, DFCS_BUTTONRADIO = 0x4,
    DFCS_BUTTON3STATE = 0x8, DFCS_BUTTONPUSH = 0x10,
    DFCS_INACTIVE = 0x100, DFCS_PUSHED = 0x200, DFCS_CHECKED = 0x400, DFCS_TRANSPARENT = 0x800,
    DFCS_HOT = 0x1000, DFCS_ADJUSTRECT = 0x2000, DFCS_FLAT = 0x4000, DFCS_MONO = 0x8000
};

// Draws the edges named by `edge` on the sides named by `flags`; with
// BF_ADJUST the rectangle shrinks by what was drawn.
BOOL DrawEdge(HDC dc, RECT* r, UINT edge, UINT flags);
BOOL DrawFrameControl(HDC dc, RECT* r, UINT type, UINT state);
// Inverts every other pixel of the rectangle's outline: drawing it twice
// restores the pixels.
BOOL DrawFocusRect(HDC dc, const RECT* r);
// A window scroll bar in the classic look (arrows, dithered track, raised
// thumb unless `thumb` is empty); bit 1 / 2 of `disabledArrows` grey the
// first / last arrow. And the square where two window scroll bars meet.
BOOL DrawWindowScrollBar(HDC dc, const RECT& bar, bool vertical, const RECT& thumb, UINT disabledArrows);
BOOL DrawScrollCorner(HDC dc, const RECT& corner);
// The classic non-client frame of a window with these styles, drawn inward
// from `window` (the window rectangle in the DC's coordinates): a dialog or
// sizing frame (raised edge, then the rest of the frame width in the face or
// sizing-border colour) or else a WS_BORDER line, then a client edge (sunken)
// or static edge (one sunken line). The widths are the system metrics the
// window layer reserves for the same styles. Returns the rectangle inside.
RECT DrawWindowFrame(HDC dc, const RECT& window, DWORD style, DWORD exStyle);
