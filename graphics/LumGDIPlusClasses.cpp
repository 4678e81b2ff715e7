#include "graphics/LumGDIPlusClassesBase.h"
#include "graphics/LumGDIPlusClassesFonts.h"

namespace LumGDIPlusClasses {

namespace {

bool g_initialized = false;
bool g_moduleIsLibrary = false;

// Finishes the unit at the process's end when nothing finished it before.
struct TUnitEnd {
    ~TUnitEnd() { FinalizeGdiplusUnit(); }
};

} // namespace

void InitializeGdiplusUnit(bool moduleIsLibrary)
{
    if (g_initialized)
        return;
    static TUnitEnd end;
    g_initialized = true;
    g_moduleIsLibrary = moduleIsLibrary;
    BindGdiplusApi();
    // A loadable library must not start or stop GDI+ under its host.
    if (!moduleIsLibrary)
        StartupGdiplus();
}

void FinalizeGdiplusUnit()
{
    if (!g_initialized)
        return;
    FreeGenericFontObjects();
    if (!g_moduleIsLibrary)
        ShutdownGdiplus();
    UnbindGdiplusApi();
    g_initialized = false;
}

bool GdiplusUnitInitialized() { return g_initialized; }

void EnsureGdiplusUnit()
{
    if (!g_initialized)
        InitializeGdiplusUnit(false);
}

} // namespace LumGDIPlusClasses
