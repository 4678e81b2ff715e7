#include "graphics/LumGDIPlusApi.h"

namespace LumGDIPlusClasses {
void EnsureGdiplusUnit();
}

namespace LumGDIPlusApi {

TGdiplusApi GdiplusApi;

#define QT_GDIPLUS_ENTRY_NAME(Name, ...) #Name,
const char* const GdiplusApiEntryNames[GdiplusApiEntryCount] = { QT_GDIPLUS_FLAT_API(QT_GDIPLUS_ENTRY_NAME) };
#undef QT_GDIPLUS_ENTRY_NAME

namespace {

// The library belongs to the platform layer for the whole process; "loading"
// hands out its handle and "freeing" only lets go of it, since the other
// wrapper set and the bridge keep using it. The process's own start-up is
// taken too: the library's real shut-down finalises the font configuration
// that text layout still holds, which aborts the process at its end, so our
// shut-down must only ever return our own token.
HMODULE LoadProcessGdiplus()
{
    void* library = GdiplusLibrary();
    if (library)
        EnsureGdiplusStarted();
    return static_cast<HMODULE>(library);
}
void* GetProcessGdiplusProc(HMODULE, const char* name) { return GdiplusGetProcAddress(name); }
void FreeProcessGdiplus(HMODULE) { }

TGdiplusLoader g_loader = DefaultGdiplusLoader();
HMODULE g_module = nullptr;
GdiplusStartupInput g_startupInput;
std::uintptr_t g_startupToken = 0;

} // namespace

TGdiplusLoader DefaultGdiplusLoader()
{
    TGdiplusLoader loader;
    loader.LoadLibrary = &LoadProcessGdiplus;
    loader.GetProcAddress = &GetProcessGdiplusProc;
    loader.FreeLibrary = &FreeProcessGdiplus;
    return loader;
}

void SetGdiplusLoader(const TGdiplusLoader& loader) { g_loader = loader; }

HMODULE GdiplusModule() { return g_module; }

bool GdiplusApiEntryBound(int index)
{
    int i = 0;
    bool bound = false;
#define QT_GDIPLUS_PROBE_ENTRY(Name, ...) \
    if (i++ == index)                    \
        bound = bool(GdiplusApi.Name);
    QT_GDIPLUS_FLAT_API(QT_GDIPLUS_PROBE_ENTRY)
#undef QT_GDIPLUS_PROBE_ENTRY
    return bound;
}

void BindGdiplusApi()
{
    if (g_module || !g_loader.LoadLibrary)
        return;
    g_module = g_loader.LoadLibrary();
    if (!g_module || !g_loader.GetProcAddress)
        return;
#define QT_GDIPLUS_BIND_ENTRY(Name, ...) \
    GdiplusApi.Name.Fn = reinterpret_cast<decltype(GdiplusApi.Name.Fn)>(g_loader.GetProcAddress(g_module, #Name));
    QT_GDIPLUS_FLAT_API(QT_GDIPLUS_BIND_ENTRY)
#undef QT_GDIPLUS_BIND_ENTRY
}

void UnbindGdiplusApi()
{
    if (!g_module)
        return;
    if (g_loader.FreeLibrary)
        g_loader.FreeLibrary(g_module);
    g_module = nullptr;
    GdiplusApi = TGdiplusApi {};
}

void StartupGdiplus()
{
    g_startupInput = GdiplusStartupInput {};
    g_startupInput.GdiplusVersion = 1;
    g_startupInput.DebugEventCallback = nullptr;
    g_startupInput.SuppressBackgroundThread = FALSE;
    g_startupInput.SuppressExternalCodecs = FALSE;
    if (g_module)
        GdiplusApi.GdiplusStartup(&g_startupToken, &g_startupInput, nullptr);
}

void ShutdownGdiplus()
{
    if (g_module)
        GdiplusApi.GdiplusShutdown(g_startupToken);
}

const GdiplusStartupInput& GdiplusStartupInputRecord() { return g_startupInput; }

TGdiplusBase::TGdiplusBase() { LumGDIPlusClasses::EnsureGdiplusUnit(); }

void* TGdiplusBase::operator new(std::size_t size) noexcept
{
    LumGDIPlusClasses::EnsureGdiplusUnit();
    return GdiplusApi.GdipAlloc(size);
}

void TGdiplusBase::operator delete(void* memory) noexcept
{
    if (memory)
        GdiplusApi.GdipFree(memory);
}

TPathData::~TPathData()
{
    delete[] Points;
    delete[] Types;
}

} // namespace LumGDIPlusApi
