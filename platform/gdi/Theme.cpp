#include "platform/gdi/Theme.h"

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
