#include "platform/gdi/Theme.h"

#include <mutex>

#include "platform/gdi/SysColors.h"

BOOL IsThemeActive()
{
    return FALSE;
}

BOOL IsAppThemed()
{
    return FALSE;
}

HTHEME OpenThemeData(HWND, LPCWSTR)
{
    return nullptr;
}

HTHEME OpenThemeDataForDpi(HWND, LPCWSTR, UINT)
{
    return nullptr;
}

HRESULT CloseThemeData(HTHEME)
{
    return 0;
}

HRESULT DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*)
{
    return E_HANDLE;
}

HRESULT GetThemePartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE* size)
{
    if (size)
        *size = {};
    return E_HANDLE;
}

HRESULT GetCurrentThemeName(LPWSTR fileName, int fileNameChars, LPWSTR colorName, int colorChars, LPWSTR sizeName,
    int sizeChars)
{
    for (auto [buf, n] : { std::pair { fileName, fileNameChars }, std::pair { colorName, colorChars }, std::pair { sizeName, sizeChars } })
        if (buf && n > 0)
            buf[0] = 0;
    return HRESULT(0x80004005u);
}

namespace {

void ClearText(LPWSTR buffer, int chars)
{
    if (buffer && chars > 0)
        buffer[0] = 0;
}

} // namespace

HRESULT DrawThemeText(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*) { return E_HANDLE; }
HRESULT GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT*, RECT*) { return E_HANDLE; }
HRESULT GetThemeBackgroundExtent(HTHEME, HDC, int, int, const RECT*, RECT*) { return E_HANDLE; }
HRESULT GetThemeTextExtent(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, const RECT*, RECT*) { return E_HANDLE; }
HRESULT GetThemeTextMetrics(HTHEME, HDC, int, int, TEXTMETRICW*) { return E_HANDLE; }
HRESULT GetThemeBackgroundRegion(HTHEME, HDC, int, int, const RECT*, HRGN* region)
{
    if (region)
        *region = nullptr;
    return E_HANDLE;
}
HRESULT HitTestThemeBackground(HTHEME, HDC, int, int, DWORD, const RECT*, HRGN, POINT, WORD* hitCode)
{
    if (hitCode)
        *hitCode = 0;
    return E_HANDLE;
}
HRESULT DrawThemeEdge(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*) { return E_HANDLE; }
HRESULT DrawThemeIcon(HTHEME, HDC, int, int, const RECT*, HIMAGELIST, int) { return E_HANDLE; }
BOOL IsThemePartDefined(HTHEME, int, int) { return FALSE; }
BOOL IsThemeBackgroundPartiallyTransparent(HTHEME, int, int) { return FALSE; }
HRESULT GetThemeColor(HTHEME, int, int, int, COLORREF*) { return E_HANDLE; }
HRESULT GetThemeMetric(HTHEME, HDC, int, int, int, int*) { return E_HANDLE; }
HRESULT GetThemeString(HTHEME, int, int, int, LPWSTR buffer, int chars)
{
    ClearText(buffer, chars);
    return E_HANDLE;
}
HRESULT GetThemeBool(HTHEME, int, int, int, BOOL*) { return E_HANDLE; }
HRESULT GetThemeInt(HTHEME, int, int, int, int*) { return E_HANDLE; }
HRESULT GetThemeEnumValue(HTHEME, int, int, int, int*) { return E_HANDLE; }
HRESULT GetThemePosition(HTHEME, int, int, int, POINT*) { return E_HANDLE; }
HRESULT GetThemeFont(HTHEME, HDC, int, int, int, LOGFONTW*) { return E_HANDLE; }
HRESULT GetThemeRect(HTHEME, int, int, int, RECT*) { return E_HANDLE; }
HRESULT GetThemeMargins(HTHEME, HDC, int, int, int, const RECT*, MARGINS*) { return E_HANDLE; }
HRESULT GetThemeIntList(HTHEME, int, int, int, INTLIST*) { return E_HANDLE; }
HRESULT SetWindowTheme(HWND, LPCWSTR, LPCWSTR) { return 0; }
HRESULT GetThemeFilename(HTHEME, int, int, int, LPWSTR buffer, int chars)
{
    ClearText(buffer, chars);
    return E_HANDLE;
}
COLORREF GetThemeSysColor(HTHEME, int colorId) { return COLORREF(GetSysColor(colorId)); }
HBRUSH GetThemeSysColorBrush(HTHEME, int colorId) { return GetSysColorBrush(colorId); }
BOOL GetThemeSysBool(HTHEME, int) { return FALSE; }
int GetThemeSysSize(HTHEME, int) { return 0; }
HRESULT GetThemeSysFont(HTHEME, int, LOGFONTW*) { return E_HANDLE; }
HRESULT GetThemeSysString(HTHEME, int, LPWSTR buffer, int chars)
{
    ClearText(buffer, chars);
    return E_HANDLE;
}
HRESULT GetThemeSysInt(HTHEME, int, int*) { return E_HANDLE; }
HTHEME GetWindowTheme(HWND) { return nullptr; }
HRESULT EnableThemeDialogTexture(HWND, DWORD) { return E_HANDLE; }
BOOL IsThemeDialogTextureEnabled(HWND) { return FALSE; }
DWORD GetThemeAppProperties() { return 0; }
void SetThemeAppProperties(DWORD) { }
HRESULT GetThemeDocumentationProperty(LPCWSTR, LPCWSTR, LPWSTR value, int chars)
{
    ClearText(value, chars);
    return E_FAIL;
}
HRESULT DrawThemeParentBackground(HWND, HDC, const RECT*) { return E_HANDLE; }
HRESULT EnableTheming(BOOL) { return 0; }

std::vector<TModuleExport> ThemeModuleExports()
{
#define QT_THEME_EXPORT(name) TModuleExport { #name, reinterpret_cast<FARPROC>(&::name) }
    return { QT_THEME_EXPORT(OpenThemeData), QT_THEME_EXPORT(OpenThemeDataForDpi), QT_THEME_EXPORT(CloseThemeData),
            QT_THEME_EXPORT(DrawThemeBackground), QT_THEME_EXPORT(DrawThemeText),
            QT_THEME_EXPORT(GetThemeBackgroundContentRect), QT_THEME_EXPORT(GetThemeBackgroundExtent),
            QT_THEME_EXPORT(GetThemeTextExtent), QT_THEME_EXPORT(GetThemeTextMetrics),
            QT_THEME_EXPORT(GetThemeBackgroundRegion), QT_THEME_EXPORT(HitTestThemeBackground),
            QT_THEME_EXPORT(DrawThemeEdge), QT_THEME_EXPORT(DrawThemeIcon), QT_THEME_EXPORT(IsThemePartDefined),
            QT_THEME_EXPORT(IsThemeBackgroundPartiallyTransparent), QT_THEME_EXPORT(GetThemeColor),
            QT_THEME_EXPORT(GetThemeMetric), QT_THEME_EXPORT(GetThemeString), QT_THEME_EXPORT(GetThemeBool),
            QT_THEME_EXPORT(GetThemeInt), QT_THEME_EXPORT(GetThemeEnumValue), QT_THEME_EXPORT(GetThemePosition),
            QT_THEME_EXPORT(GetThemeFont), QT_THEME_EXPORT(GetThemeRect), QT_THEME_EXPORT(GetThemeMargins),
            QT_THEME_EXPORT(GetThemeIntList), QT_THEME_EXPORT(SetWindowTheme), QT_THEME_EXPORT(GetThemeFilename),
            QT_THEME_EXPORT(GetThemeSysColor), QT_THEME_EXPORT(GetThemeSysColorBrush), QT_THEME_EXPORT(GetThemeSysBool),
            QT_THEME_EXPORT(GetThemeSysSize), QT_THEME_EXPORT(GetThemeSysFont), QT_THEME_EXPORT(GetThemeSysString),
            QT_THEME_EXPORT(GetThemeSysInt), QT_THEME_EXPORT(IsThemeActive), QT_THEME_EXPORT(IsAppThemed),
            QT_THEME_EXPORT(GetWindowTheme), QT_THEME_EXPORT(GetThemePartSize), QT_THEME_EXPORT(EnableThemeDialogTexture),
            QT_THEME_EXPORT(IsThemeDialogTextureEnabled), QT_THEME_EXPORT(GetThemeAppProperties),
            QT_THEME_EXPORT(SetThemeAppProperties), QT_THEME_EXPORT(GetCurrentThemeName),
            QT_THEME_EXPORT(GetThemeDocumentationProperty), QT_THEME_EXPORT(DrawThemeParentBackground),
            QT_THEME_EXPORT(EnableTheming) };
#undef QT_THEME_EXPORT
}

void RegisterThemeModule()
{
    static std::once_flag once;
    std::call_once(once, [] { RegisterModule(u"UXTHEME.DLL", ThemeModuleExports()); });
}

namespace {
// The library is there from program start, like the platform's own.
struct TThemeModuleRegistration {
    TThemeModuleRegistration() { RegisterThemeModule(); }
} ThemeModuleRegistration;
} // namespace
