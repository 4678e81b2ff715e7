#pragma once
// The visual-theme calls. No theme is ever active, so every caller takes its
// classic drawing path.

#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Modules.h"

struct HIMAGELIST__;
using HIMAGELIST = HIMAGELIST__*;

struct MARGINS {
    int cxLeftWidth { 0 };
    int cxRightWidth { 0 };
    int cyTopHeight { 0 };
    int cyBottomHeight { 0 };
};

struct INTLIST {
    int iValueCount { 0 };
    int iValues[402] {};
};

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

// The rest of the visual-styles library, answering as a system without a
// theme does: no theme handle is valid, nothing is themed.
HRESULT DrawThemeText(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags, DWORD flags2,
    const RECT* r);
HRESULT GetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, RECT* content);
HRESULT GetThemeBackgroundExtent(HTHEME theme, HDC dc, int part, int state, const RECT* content, RECT* extent);
HRESULT GetThemeTextExtent(HTHEME theme, HDC dc, int part, int state, LPCWSTR text, int count, DWORD flags,
    const RECT* bounds, RECT* extent);
HRESULT GetThemeTextMetrics(HTHEME theme, HDC dc, int part, int state, TEXTMETRICW* tm);
HRESULT GetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT* r, HRGN* region);
HRESULT HitTestThemeBackground(HTHEME theme, HDC dc, int part, int state, DWORD options, const RECT* r, HRGN region,
    POINT test, WORD* hitCode);
HRESULT DrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT* dest, UINT edge, UINT flags, RECT* content);
HRESULT DrawThemeIcon(HTHEME theme, HDC dc, int part, int state, const RECT* r, HIMAGELIST images, int index);
BOOL IsThemePartDefined(HTHEME theme, int part, int state);
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
HRESULT GetThemeColor(HTHEME theme, int part, int state, int prop, COLORREF* color);
HRESULT GetThemeMetric(HTHEME theme, HDC dc, int part, int state, int prop, int* value);
HRESULT GetThemeString(HTHEME theme, int part, int state, int prop, LPWSTR buffer, int chars);
HRESULT GetThemeBool(HTHEME theme, int part, int state, int prop, BOOL* value);
HRESULT GetThemeInt(HTHEME theme, int part, int state, int prop, int* value);
HRESULT GetThemeEnumValue(HTHEME theme, int part, int state, int prop, int* value);
HRESULT GetThemePosition(HTHEME theme, int part, int state, int prop, POINT* point);
HRESULT GetThemeFont(HTHEME theme, HDC dc, int part, int state, int prop, LOGFONTW* font);
HRESULT GetThemeRect(HTHEME theme, int part, int state, int prop, RECT* r);
HRESULT GetThemeMargins(HTHEME theme, HDC dc, int part, int state, int prop, const RECT* r, MARGINS* margins);
HRESULT GetThemeIntList(HTHEME theme, int part, int state, int prop, INTLIST* list);
HRESULT SetWindowTheme(HWND window, LPCWSTR subAppName, LPCWSTR subIdList);
HRESULT GetThemeFilename(HTHEME theme, int part, int state, int prop, LPWSTR buffer, int chars);
// The system's own colour and brush, as for a system without a theme.
COLORREF GetThemeSysColor(HTHEME theme, int colorId);
HBRUSH GetThemeSysColorBrush(HTHEME theme, int colorId);
BOOL GetThemeSysBool(HTHEME theme, int boolId);
int GetThemeSysSize(HTHEME theme, int sizeId);
HRESULT GetThemeSysFont(HTHEME theme, int fontId, LOGFONTW* font);
HRESULT GetThemeSysString(HTHEME theme, int stringId, LPWSTR buffer, int chars);
HRESULT GetThemeSysInt(HTHEME theme, int intId, int* value);
HTHEME GetWindowTheme(HWND window);
HRESULT EnableThemeDialogTexture(HWND window, DWORD flags);
BOOL IsThemeDialogTextureEnabled(HWND window);
DWORD GetThemeAppProperties();
void SetThemeAppProperties(DWORD flags);
HRESULT GetThemeDocumentationProperty(LPCWSTR themeName, LPCWSTR propertyName, LPWSTR value, int chars);
HRESULT DrawThemeParentBackground(HWND window, HDC dc, const RECT* r);
HRESULT EnableTheming(BOOL enable);

// The functions above by name, as the library "UXTHEME.DLL" exports them.
std::vector<TModuleExport> ThemeModuleExports();
// Registers them for the run-time library lookup once, however often asked.
void RegisterThemeModule();
