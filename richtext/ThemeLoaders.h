#pragma once
// Run-time bindings of the visual-styles library "UXTHEME.DLL": two
// independent units, LumXPVS and ATXPVS, each with its own module handle,
// "loaded" flag and table of function pointers. Both load at program start
// and free the library at exit. A pointer is empty while its unit is not
// loaded, so callers test the flag (or the pointer) first.

#include "platform/gdi/Theme.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Modules.h"

// One pointer per function, typed after the platform's declaration.
struct TThemeLibrary {
    bool Loaded { false };
    HMODULE Module { nullptr };
#define QT_THEME_FN(name) decltype(&::name) name { nullptr };
    QT_THEME_FN(OpenThemeData) QT_THEME_FN(OpenThemeDataForDpi) QT_THEME_FN(CloseThemeData)
    QT_THEME_FN(DrawThemeBackground) QT_THEME_FN(DrawThemeText) QT_THEME_FN(GetThemeBackgroundContentRect)
    QT_THEME_FN(GetThemeBackgroundExtent) QT_THEME_FN(GetThemeTextExtent) QT_THEME_FN(GetThemeTextMetrics)
    QT_THEME_FN(GetThemeBackgroundRegion) QT_THEME_FN(HitTestThemeBackground) QT_THEME_FN(DrawThemeEdge)
    QT_THEME_FN(DrawThemeIcon) QT_THEME_FN(IsThemePartDefined) QT_THEME_FN(IsThemeBackgroundPartiallyTransparent)
    QT_THEME_FN(GetThemeColor) QT_THEME_FN(GetThemeMetric) QT_THEME_FN(GetThemeString) QT_THEME_FN(GetThemeBool)
    QT_THEME_FN(GetThemeInt) QT_THEME_FN(GetThemeEnumValue) QT_THEME_FN(GetThemePosition) QT_THEME_FN(GetThemeFont)
    QT_THEME_FN(GetThemeRect) QT_THEME_FN(GetThemeMargins) QT_THEME_FN(GetThemeIntList) QT_THEME_FN(SetWindowTheme)
    QT_THEME_FN(GetThemeFilename) QT_THEME_FN(GetThemeSysColor) QT_THEME_FN(GetThemeSysColorBrush)
    QT_THEME_FN(GetThemeSysBool) QT_THEME_FN(GetThemeSysSize) QT_THEME_FN(GetThemeSysFont)
    QT_THEME_FN(GetThemeSysString) QT_THEME_FN(GetThemeSysInt) QT_THEME_FN(IsThemeActive) QT_THEME_FN(IsAppThemed)
    QT_THEME_FN(GetWindowTheme) QT_THEME_FN(GetThemePartSize) QT_THEME_FN(EnableThemeDialogTexture)
    QT_THEME_FN(IsThemeDialogTextureEnabled) QT_THEME_FN(GetThemeAppProperties) QT_THEME_FN(SetThemeAppProperties)
    QT_THEME_FN(GetCurrentThemeName) QT_THEME_FN(GetThemeDocumentationProperty)
    QT_THEME_FN(DrawThemeParentBackground) QT_THEME_FN(EnableTheming)
#undef QT_THEME_FN
};

// Each unit: the load routine does nothing while the flag is set; a library
// that cannot be loaded leaves the flag False and every pointer empty. A
// missing function (other than OpenThemeDataForDpi, which older libraries
// lack) raises EAssertionFailed naming the unit and leaves the unit unloaded
// with every pointer empty. The free routine frees a loaded library.
namespace LumXPVS {
const TThemeLibrary& ThemeLibrary();
void InitThemeLibrary();
void FreeThemeLibrary();
} // namespace LumXPVS

// The same without OpenThemeDataForDpi and GetThemePartSize (never bound here).
namespace ATXPVS {
const TThemeLibrary& ThemeLibrary();
void InitThemeLibrary();
void FreeThemeLibrary();
} // namespace ATXPVS
