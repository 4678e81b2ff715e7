#include "richtext/ThemeLoaders.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/SysUtils.h"

namespace {

[[noreturn]] void AssertionFailure(const char* unit, int line)
{
    throw EAssertionFailed(u"Assertion failure (" + S(unit) + u", line " + IntToStr(line) + u")");
}

// Binds one function by name; `checked` functions must exist.
#define QT_BIND(name, checked)                                                                   \
    lib.name = reinterpret_cast<decltype(lib.name)>(GetProcAddress(lib.Module, #name));          \
    if ((checked) && !lib.name)                                                                  \
        AssertionFailure(unit, __LINE__);

// Binds the functions of a unit's list in order. The full list (LumXPVS)
// also has OpenThemeDataForDpi, which older libraries lack, and GetThemePartSize.
void Bind(TThemeLibrary& lib, const char* unit, bool full)
{
    QT_BIND(OpenThemeData, true)
    if (full) {
        QT_BIND(OpenThemeDataForDpi, false)
    }
    QT_BIND(CloseThemeData, true)
    QT_BIND(DrawThemeBackground, true) QT_BIND(DrawThemeText, true) QT_BIND(GetThemeBackgroundContentRect, true)
    QT_BIND(GetThemeBackgroundExtent, true) QT_BIND(GetThemeTextExtent, true) QT_BIND(GetThemeTextMetrics, true)
    QT_BIND(GetThemeBackgroundRegion, true) QT_BIND(HitTestThemeBackground, true) QT_BIND(DrawThemeEdge, true)
    QT_BIND(DrawThemeIcon, true) QT_BIND(IsThemePartDefined, true) QT_BIND(IsThemeBackgroundPartiallyTransparent, true)
    QT_BIND(GetThemeColor, true) QT_BIND(GetThemeMetric, true) QT_BIND(GetThemeString, true)
    QT_BIND(GetThemeBool, true) QT_BIND(GetThemeInt, true) QT_BIND(GetThemeEnumValue, true)
    QT_BIND(GetThemePosition, true) QT_BIND(GetThemeFont, true) QT_BIND(GetThemeRect, true)
    QT_BIND(GetThemeMargins, true) QT_BIND(GetThemeIntList, true) QT_BIND(SetWindowTheme, true)
    QT_BIND(GetThemeFilename, true) QT_BIND(GetThemeSysColor, true) QT_BIND(GetThemeSysColorBrush, true)
    QT_BIND(GetThemeSysBool, true) QT_BIND(GetThemeSysSize, true) QT_BIND(GetThemeSysFont, true)
    QT_BIND(GetThemeSysString, true) QT_BIND(GetThemeSysInt, true) QT_BIND(IsThemeActive, true)
    QT_BIND(IsAppThemed, true) QT_BIND(GetWindowTheme, true)
    if (full) {
        QT_BIND(GetThemePartSize, true)
    }
    QT_BIND(EnableThemeDialogTexture, true) QT_BIND(IsThemeDialogTextureEnabled, true)
    QT_BIND(GetThemeAppProperties, true) QT_BIND(SetThemeAppProperties, true) QT_BIND(GetCurrentThemeName, true)
    QT_BIND(GetThemeDocumentationProperty, true) QT_BIND(DrawThemeParentBackground, true)
    QT_BIND(EnableTheming, true)
}

#undef QT_BIND

void Load(TThemeLibrary& lib, const char* unit, bool full)
{
    if (lib.Loaded)
        return;
    // The platform's library is known however the start-up order falls.
    RegisterThemeModule();
    HMODULE module = LoadLibrary(u"UXTHEME.DLL");
    if (!module)
        return;
    lib.Module = module;
    lib.Loaded = true;
    try {
        Bind(lib, unit, full);
    } catch (...) {
        // A half-bound table would look usable; leave none of it.
        FreeLibrary(module);
        lib = TThemeLibrary {};
        throw;
    }
}

void Free(TThemeLibrary& lib)
{
    if (!lib.Loaded)
        return;
    FreeLibrary(lib.Module);
    lib = TThemeLibrary {};
}

TThemeLibrary& LumTable()
{
    static TThemeLibrary table;
    return table;
}

TThemeLibrary& ATTable()
{
    static TThemeLibrary table;
    return table;
}

} // namespace

namespace LumXPVS {
const TThemeLibrary& ThemeLibrary() { return LumTable(); }
void InitThemeLibrary() { Load(LumTable(), "LumXPVS", true); }
void FreeThemeLibrary() { Free(LumTable()); }
} // namespace LumXPVS

namespace ATXPVS {
const TThemeLibrary& ThemeLibrary() { return ATTable(); }
void InitThemeLibrary() { Load(ATTable(), "ATXPVS", false); }
void FreeThemeLibrary() { Free(ATTable()); }
} // namespace ATXPVS

namespace {
// Program start and exit. A library lacking a function leaves that unit
// unloaded instead of stopping the start.
struct TThemeLoaderUnits {
    TThemeLoaderUnits()
    {
        try {
            LumXPVS::InitThemeLibrary();
        } catch (const Exception&) {
        }
        try {
            ATXPVS::InitThemeLibrary();
        } catch (const Exception&) {
        }
    }
    ~TThemeLoaderUnits()
    {
        ATXPVS::FreeThemeLibrary();
        LumXPVS::FreeThemeLibrary();
    }
} ThemeLoaderUnits;
} // namespace
