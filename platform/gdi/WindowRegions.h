#pragma once
// The window calls that take region handles, over the window system's
// region forms.

#include "platform/gdi/Gdi.h"

// A null region stands for the whole client area.
BOOL InvalidateRgn(HWND window, HRGN rgn, BOOL erase);
BOOL ValidateRgn(HWND window, HRGN rgn);
// Copies the update region (client coordinates) into `rgn`; answers its
// kind (NULLREGION when nothing is invalid) or ERROR.
int GetUpdateRgn(HWND window, HRGN rgn, BOOL erase);
// The window takes the region over: on success the handle is no longer the
// caller's. A null region removes the window region.
int SetWindowRgn(HWND window, HRGN rgn, BOOL redraw);
// Copies the window region into `rgn`; ERROR when the window has none.
int GetWindowRgn(HWND window, HRGN rgn);
