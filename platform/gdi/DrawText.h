#pragma once
// Formatted text in a rectangle: alignment, word wrapping, tabs, ellipses and
// accelerator prefixes, measured and painted by the same code.

#include "platform/gdi/Gdi.h"

enum : UINT {
    DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_NOFULLWIDTHCHARBREAK = 0x80000,
    DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000
};

struct DRAWTEXTPARAMS {
    UINT cbSize { sizeof(DRAWTEXTPARAMS) };
    int iTabLength { 0 };   // in average character widths
    int iLeftMargin { 0 };  // in logical units
    int iRightMargin { 0 }; // in logical units
    UINT uiLengthDrawn { 0 };
};

// `count` -1 means a null-terminated text. Returns the height of the text
// (with DT_VCENTER or DT_BOTTOM, the offset from the top of the rectangle to
// the bottom of the text); 0 on failure.
int DrawTextEx(HDC dc, LPCWSTR text, int count, RECT* r, UINT format, DRAWTEXTPARAMS* params);
int DrawText(HDC dc, LPCWSTR text, int count, RECT* r, UINT format);
// DT_MODIFYSTRING writes the shortened text back; the buffer must hold
// count + 4 characters.
int DrawTextEx(HDC dc, LPWSTR text, int count, RECT* r, UINT format, DRAWTEXTPARAMS* params);
int DrawText(HDC dc, LPWSTR text, int count, RECT* r, UINT format);
// The same for a String, which DT_MODIFYSTRING rewrites in place.
int DrawText(HDC dc, String& text, RECT* r, UINT format);
