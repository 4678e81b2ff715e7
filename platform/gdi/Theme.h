#pragma once
// The visual-theme calls. No theme is ever active, so every caller takes its
// classic drawing path.

#include "platform/gdi/Gdi.h"

// Calls on a theme handle answer E_HANDLE (no theme is ever open);
// GetCurrentThemeName fails with E_FAIL (0x80004005).
inline constexpr HRESULT E_HANDLE = HRESULT(0x80070006u);

enum THEMESIZE { TS_MIN = 0, TS_TRUE = 1, TS_DRAW = 2 };

BOOL IsThemeActive();
BOOL IsAppThemed();
HTHEME OpenThemeData(HWND window, LPCWSTR classList);
HTHEME OpenThemeDataForDpi(HWND window, LPCWSTR classList, UINT dpi);
HRESULT CloseThemeData(HTHEME theme);
HRESULT DrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT* r, const RECT* clip);
HRESULT GetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* r, THEMESIZE kind, SIZE* size);
HRESULT GetCurrentThemeName(LPWSTR fileName, int fileNameChars, LPWSTR colorName, int colorChars, LPWSTR sizeName,
    int sizeChars);
