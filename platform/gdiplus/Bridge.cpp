#include <dlfcn.h>
#include <pango/pango.h>
#include <unistd.h>

#include <cmath>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <set>
#include <string_view>

#include "platform/gdi/Codecs.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/rtl/Resources.h"
#include "platform/win/Window.h"

using namespace Gdiplus;

namespace {

void* LoadLibrary()
{
    // Fonts first: the library's text then uses the project's font map.
    InitFonts();
    void* lib = dlopen("libgdiplus.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib)
        lib = dlopen("libgdiplus.so", RTLD_NOW | RTLD_LOCAL);
    return lib;
}

// The library's own function, bypassing the bridge.
template <class Sig> Sig* Lib(const char* name)
{
    void* lib = GdiplusLibrary();
    return lib ? reinterpret_cast<Sig*>(dlsym(lib, name)) : nullptr;
}

#define QT_LIB(Name, ...)                                                          \
    std::add_pointer_t<__VA_ARGS__> Name##_lib()                                   \
    {                                                                              \
        static auto* fn = Lib<__VA_ARGS__>(#Name);                                 \
        return fn;                                                                 \
    }

QT_LIB(GdipDeleteGraphics, GpStatus(GpGraphics*))
QT_LIB(GdipMeasureString, GpStatus(GpGraphics*, const char16_t*, int, const GpFont*, const GpRectF*, const GpStringFormat*, GpRectF*, int*, int*))
QT_LIB(GdipDrawString, GpStatus(GpGraphics*, const char16_t*, int, const GpFont*, const GpRectF*, const GpStringFormat*, const GpBrush*))
QT_LIB(GdipGetFontUnit, GpStatus(GpFont*, int*))
QT_LIB(GdipGetStringFormatFlags, GpStatus(const GpStringFormat*, int*))
QT_LIB(GdipLoadImageFromFile, GpStatus(const char16_t*, GpImage**))
QT_LIB(GdipLoadImageFromFileICM, GpStatus(const char16_t*, GpImage**))
QT_LIB(GdipCreateBitmapFromFile, GpStatus(const char16_t*, GpBitmap**))
QT_LIB(GdipCreateBitmapFromFileICM, GpStatus(const char16_t*, GpBitmap**))
QT_LIB(GdipSaveImageToFile, GpStatus(GpImage*, const char16_t*, const TGUID*, const EncoderParameters*))
#undef QT_LIB

struct TBridged {
    GpBitmap* Bitmap { nullptr };
    HDC DC { nullptr };
    HWND Window { nullptr }; // the context came from GetDC of this window
    // Paper has no pixels to share: the library draws into a bitmap of its
    // own over the clip box, painted onto the page when the graphics goes.
    bool Paper { false };
    TRect Box;
    double Scale { 1 };
};

std::mutex g_lock;
std::map<GpGraphics*, TBridged>& Bridged()
{
    static auto* m = new std::map<GpGraphics*, TBridged>();
    return *m;
}

// Pixels of one bitmap for paper, at most (about 64 MB).
constexpr double kMaxPaperPixels = 16.0 * 1024 * 1024;

void ApplyDCTransform(GpGraphics* g, const gdi::TDC& dc)
{
    const auto& s = dc.State;
    GdipTranslateWorldTransform(g, REAL(s.ViewportOrg.X), REAL(s.ViewportOrg.Y), MatrixOrderPrepend);
    if (s.MapMode != MM_TEXT)
        GdipScaleWorldTransform(g, REAL(dc.ScaleX()), REAL(dc.ScaleY()), MatrixOrderPrepend);
    GdipTranslateWorldTransform(g, REAL(-s.WindowOrg.X), REAL(-s.WindowOrg.Y), MatrixOrderPrepend);
}

GpStatus CreateForPaper(HDC h, gdi::TDC& dc, GpGraphics** graphics)
{
    if (!dc.Surface)
        return WrongState; // outside a page
    const TRect box = dc.EffectiveClip().Bounds();
    if (box.IsEmpty())
        return InvalidParameter;
    const double area = double(box.Width()) * box.Height();
    const double scale = area > kMaxPaperPixels ? std::sqrt(kMaxPaperPixels / area) : 1.0;
    const int w = std::max(1, int(std::ceil(box.Width() * scale))), hgt = std::max(1, int(std::ceil(box.Height() * scale)));
    GpBitmap* bmp = nullptr;
    GpStatus st = GdipCreateBitmapFromScan0(w, hgt, 0, PixelFormat32bppPARGB, nullptr, &bmp);
    if (st != Ok)
        return st;
    GpGraphics* g = nullptr;
    if ((st = GdipGetImageGraphicsContext(bmp, &g)) != Ok) {
        GdipDisposeImage(bmp);
        return st;
    }
    GdipGraphicsClear(g, 0);
    GdipScaleWorldTransform(g, REAL(scale), REAL(scale), MatrixOrderPrepend);
    GdipTranslateWorldTransform(g, REAL(-box.Left), REAL(-box.Top), MatrixOrderPrepend);
    ApplyDCTransform(g, dc);
    GdipSetPageUnit(g, UnitPixel);
    std::lock_guard lock(g_lock);
    TBridged b;
    b.Bitmap = bmp;
    b.DC = h;
    b.Paper = true;
    b.Box = box;
    b.Scale = scale;
    Bridged()[g] = b;
    *graphics = g;
    return Ok;
}

// Paints a paper graphics' bitmap onto the page, inside the context's clip.
void PaintOnPaper(const TBridged& b)
{
    auto dc = gdi::DCOf(b.DC);
    if (!dc || !dc->Surface)
        return;
    UINT w = 0, h = 0;
    GdipGetImageWidth(b.Bitmap, &w);
    GdipGetImageHeight(b.Bitmap, &h);
    const GpRect rect { 0, 0, int(w), int(h) };
    BitmapData data;
    if (GdipBitmapLockBits(b.Bitmap, &rect, ImageLockModeRead, PixelFormat32bppPARGB, &data) != Ok)
        return;
    cairo_surface_t* img = cairo_image_surface_create_for_data(static_cast<unsigned char*>(data.Scan0), CAIRO_FORMAT_ARGB32, int(w), int(h), data.Stride);
    gdi::BeginCairo(*dc);
    cairo_translate(dc->Cr, b.Box.Left, b.Box.Top);
    cairo_scale(dc->Cr, 1 / b.Scale, 1 / b.Scale);
    cairo_set_source_surface(dc->Cr, img, 0, 0);
    cairo_paint(dc->Cr);
    gdi::EndCairo(*dc);
    cairo_surface_destroy(img);
    GdipBitmapUnlockBits(b.Bitmap, &data);
}


// Starts the library with the startup call resolved directly, since callers
// of the bridge may not have started it.
std::uintptr_t g_token = 0;

GpStatus RegionFromTRegion(const TRegion& r, GpRegion** out)
{
    GpStatus st = GdipCreateRegion(out);
    if (st != Ok)
        return st;
    GdipSetEmpty(*out);
    for (const auto& rc : r.Rects()) {
        const GpRect g { rc.Left, rc.Top, rc.Width(), rc.Height() };
        GdipCombineRegionRectI(*out, &g, CombineModeUnion);
    }
    return Ok;
}

// A bitmap of the library holding a frame's straight pixels.
GpStatus BitmapFromFrame(const TImageFrame& f, GpBitmap** out)
{
    GpStatus st = GdipCreateBitmapFromScan0(f.Width, f.Height, 0, PixelFormat32bppARGB, nullptr, out);
    if (st != Ok)
        return st;
    const GpRect rect { 0, 0, f.Width, f.Height };
    BitmapData data;
    st = GdipBitmapLockBits(*out, &rect, ImageLockModeWrite, PixelFormat32bppARGB, &data);
    if (st != Ok) {
        GdipDisposeImage(*out);
        *out = nullptr;
        return st;
    }
    for (int y = 0; y < f.Height; ++y)
        std::memcpy(static_cast<std::uint8_t*>(data.Scan0) + std::size_t(y) * std::size_t(data.Stride), f.Pixels.data() + std::size_t(y) * std::size_t(f.Width), std::size_t(f.Width) * 4);
    return GdipBitmapUnlockBits(*out, &data);
}

GpStatus FrameFromGpBitmap(GpBitmap* bmp, TImageFrame& f)
{
    UINT w = 0, h = 0;
    if (GpStatus st = GdipGetImageWidth(bmp, &w); st != Ok)
        return st;
    GdipGetImageHeight(bmp, &h);
    if (w == 0 || h == 0 || w > 65535 || h > 65535)
        return InvalidParameter;
    const GpRect rect { 0, 0, int(w), int(h) };
    BitmapData data;
    if (GpStatus st = GdipBitmapLockBits(bmp, &rect, ImageLockModeRead, PixelFormat32bppARGB, &data); st != Ok)
        return st;
    f.Width = int(w);
    f.Height = int(h);
    f.Pixels.resize(std::size_t(w) * h);
    for (UINT y = 0; y < h; ++y)
        std::memcpy(f.Pixels.data() + std::size_t(y) * w, static_cast<const std::uint8_t*>(data.Scan0) + std::size_t(y) * std::size_t(data.Stride), std::size_t(w) * 4);
    GdipBitmapUnlockBits(bmp, &data);
    return Ok;
}

// A private temporary file for handing bytes to the library's file calls.
class TTempFile {
public:
    TTempFile()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "gdip-XXXXXX").string();
        const int fd = mkstemp(tmpl.data());
        if (fd >= 0) {
            close(fd);
            Path = tmpl;
        }
    }
    ~TTempFile()
    {
        if (!Path.empty())
            std::remove(Path.c_str());
    }
    bool Write(const TBytes& bytes) const
    {
        std::ofstream out(Path, std::ios::binary | std::ios::trunc);
        return out && out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    String Path16() const { return Utf8ToString(Path); }
    std::string Path;
};

} // namespace

void* GdiplusLibrary()
{
    static void* lib = LoadLibrary();
    return lib;
}

namespace {

std::mutex g_startLock;
std::set<std::uintptr_t> g_liveTokens;
std::uintptr_t g_nextToken = 0;

GpStatus CountedStartup(std::uintptr_t* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output)
{
    if (!token)
        return InvalidParameter;
    std::lock_guard lock(g_startLock);
    if (g_liveTokens.empty()) {
        auto* startup = Lib<GpStatus(std::uintptr_t*, const GdiplusStartupInput*, GdiplusStartupOutput*)>("GdiplusStartup");
        if (!startup)
            return GdiplusNotInitialized;
        GdiplusStartupInput in;
        if (input)
            in = *input;
        GdiplusStartupOutput out;
        if (const GpStatus st = startup(&g_token, &in, &out); st != Ok)
            return st;
    }
    *token = ++g_nextToken;
    g_liveTokens.insert(*token);
    // The library has no notification thread to hook.
    if (output)
        *output = {};
    return Ok;
}

void CountedShutdown(std::uintptr_t token)
{
    std::lock_guard lock(g_startLock);
    // An unknown or already returned token must not take another user's start-up.
    if (g_liveTokens.erase(token) == 0 || !g_liveTokens.empty())
        return;
    if (auto* shutdown = Lib<void(std::uintptr_t)>("GdiplusShutdown"))
        shutdown(g_token);
}

} // namespace

bool EnsureGdiplusStarted()
{
    static const bool started = [] {
        // This start-up lives as long as the process and is never returned.
        std::uintptr_t token = 0;
        GdiplusStartupInput in;
        GdiplusStartupOutput out;
        return CountedStartup(&token, &in, &out) == Ok;
    }();
    return started;
}

int GdiplusStartupCount()
{
    std::lock_guard lock(g_startLock);
    return int(g_liveTokens.size());
}

namespace {

// Metafiles in streams are not offered: the library's own forms would read
// our stream objects as something else.
struct GpMetafile;
struct MetafileHeader;
GpStatus NoMetafileFromStream(IStream*, GpMetafile**)
{
    return NotImplemented;
}
GpStatus NoMetafileHeaderFromStream(IStream*, MetafileHeader*)
{
    return NotImplemented;
}
GpStatus NoRecordMetafileStream(IStream*, HDC, int, const GpRectF*, int, const char16_t*, GpMetafile**)
{
    return NotImplemented;
}
GpStatus NoRecordMetafileStreamI(IStream*, HDC, int, const GpRect*, int, const char16_t*, GpMetafile**)
{
    return NotImplemented;
}

GpStatus CreateFromHWNDICM(HWND window, GpGraphics** graphics)
{
    return GdipCreateFromHWND(window, graphics);
}

} // namespace

namespace {

// Text layout keeps 1/6 em free before and after the text, except with the
// typographic format (no-fit-black-box among its flags); the library lays
// out without it, so the bridge adds it around the library's calls.
REAL TextPadding(GpGraphics* graphics, const GpFont* font, const GpStringFormat* format)
{
    constexpr int NoFitBlackBox = 0x4;
    int flags = 0;
    if (format && GdipGetStringFormatFlags_lib() && GdipGetStringFormatFlags_lib()(format, &flags) == Ok && (flags & NoFitBlackBox))
        return 0;
    REAL size = 0, dpi = 96;
    int unit = UnitPoint;
    if (!font || GdipGetFontSize(const_cast<GpFont*>(font), &size) != Ok || !GdipGetFontUnit_lib())
        return 0;
    GdipGetFontUnit_lib()(const_cast<GpFont*>(font), &unit);
    if (graphics)
        GdipGetDpiX(graphics, &dpi);
    REAL em = size;
    switch (unit) {
    case UnitPoint: em = size * dpi / 72; break;
    case UnitInch: em = size * dpi; break;
    case UnitDocument: em = size * dpi / 300; break;
    case UnitMillimeter: em = size * dpi / REAL(25.4); break;
    default: break;
    }
    return em / 6;
}

// The layout rectangle less the padding on both sides (an unbounded width stays unbounded).
GpRectF Inset(const GpRectF* layout, REAL pad)
{
    GpRectF r = layout ? *layout : GpRectF {};
    r.X += pad;
    if (r.Width > 0)
        r.Width = std::max<REAL>(r.Width - 2 * pad, REAL(0.0001));
    return r;
}

GpStatus PaddedMeasureString(GpGraphics* graphics, const char16_t* text, int length, const GpFont* font, const GpRectF* layout,
    const GpStringFormat* format, GpRectF* box, int* fitted, int* lines)
{
    auto* measure = GdipMeasureString_lib();
    if (!measure)
        return GdiplusNotInitialized;
    const REAL pad = layout ? TextPadding(graphics, font, format) : 0;
    const GpRectF inner = Inset(layout, pad);
    const GpStatus st = measure(graphics, text, length, font, layout ? &inner : nullptr, format, box, fitted, lines);
    if (st == Ok && box && box->Width > 0) {
        box->X -= pad;
        box->Width += 2 * pad;
    }
    return st;
}

GpStatus PaddedDrawString(GpGraphics* graphics, const char16_t* text, int length, const GpFont* font, const GpRectF* layout,
    const GpStringFormat* format, const GpBrush* brush)
{
    auto* draw = GdipDrawString_lib();
    if (!draw)
        return GdiplusNotInitialized;
    if (!layout)
        return draw(graphics, text, length, font, layout, format, brush);
    const GpRectF inner = Inset(layout, TextPadding(graphics, font, format));
    return draw(graphics, text, length, font, &inner, format, brush);
}

} // namespace

namespace {
GpStatus CheckedLoadImageFromFile(const char16_t* path, GpImage** image);
GpStatus CheckedLoadImageFromFileICM(const char16_t* path, GpImage** image);
GpStatus CheckedCreateBitmapFromFile(const char16_t* path, GpBitmap** bitmap);
GpStatus CheckedCreateBitmapFromFileICM(const char16_t* path, GpBitmap** bitmap);
} // namespace

void* GdiplusGetProcAddress(const char* name)
{
    if (!name)
        return nullptr;
    static const std::map<std::string_view, void*> bridge = {
        { "GdipCreateFromHWNDICM", reinterpret_cast<void*>(&CreateFromHWNDICM) },
        { "GdipCreateMetafileFromStream", reinterpret_cast<void*>(&NoMetafileFromStream) },
        { "GdipGetMetafileHeaderFromStream", reinterpret_cast<void*>(&NoMetafileHeaderFromStream) },
        { "GdipRecordMetafileStream", reinterpret_cast<void*>(&NoRecordMetafileStream) },
        { "GdipRecordMetafileStreamI", reinterpret_cast<void*>(&NoRecordMetafileStreamI) },
        { "GdipCreateFromHDC", reinterpret_cast<void*>(&GdipCreateFromHDC) },
        { "GdipCreateFromHDC2", reinterpret_cast<void*>(&GdipCreateFromHDC2) },
        { "GdipCreateFromHWND", reinterpret_cast<void*>(&GdipCreateFromHWND) },
        { "GdipDeleteGraphics", reinterpret_cast<void*>(&GdipDeleteGraphics) },
        { "GdipGetDC", reinterpret_cast<void*>(&GdipGetDC) },
        { "GdipReleaseDC", reinterpret_cast<void*>(&GdipReleaseDC) },
        { "GdipCreateHBITMAPFromBitmap", reinterpret_cast<void*>(&GdipCreateHBITMAPFromBitmap) },
        { "GdipCreateBitmapFromHBITMAP", reinterpret_cast<void*>(&GdipCreateBitmapFromHBITMAP) },
        { "GdipCreateHICONFromBitmap", reinterpret_cast<void*>(&GdipCreateHICONFromBitmap) },
        { "GdipCreateBitmapFromHICON", reinterpret_cast<void*>(&GdipCreateBitmapFromHICON) },
        { "GdipCreateBitmapFromResource", reinterpret_cast<void*>(&GdipCreateBitmapFromResource) },
        { "GdipCreateFontFromDC", reinterpret_cast<void*>(&GdipCreateFontFromDC) },
        { "GdipCreateFontFromLogfontW", reinterpret_cast<void*>(&GdipCreateFontFromLogfontW) },
        { "GdipCreateFontFromLogfontA", reinterpret_cast<void*>(&GdipCreateFontFromLogfontA) },
        { "GdipCreateRegionHrgn", reinterpret_cast<void*>(&GdipCreateRegionHrgn) },
        { "GdipGetRegionHRgn", reinterpret_cast<void*>(&GdipGetRegionHRgn) },
        { "GdipLoadImageFromStream", reinterpret_cast<void*>(&GdipLoadImageFromStream) },
        { "GdipLoadImageFromStreamICM", reinterpret_cast<void*>(&GdipLoadImageFromStreamICM) },
        { "GdipCreateBitmapFromStream", reinterpret_cast<void*>(&GdipCreateBitmapFromStream) },
        { "GdipCreateBitmapFromStreamICM", reinterpret_cast<void*>(&GdipCreateBitmapFromStreamICM) },
        { "GdipLoadImageFromFile", reinterpret_cast<void*>(&CheckedLoadImageFromFile) },
        { "GdipLoadImageFromFileICM", reinterpret_cast<void*>(&CheckedLoadImageFromFileICM) },
        { "GdipCreateBitmapFromFile", reinterpret_cast<void*>(&CheckedCreateBitmapFromFile) },
        { "GdipCreateBitmapFromFileICM", reinterpret_cast<void*>(&CheckedCreateBitmapFromFileICM) },
        { "GdiplusStartup", reinterpret_cast<void*>(&CountedStartup) },
        { "GdipMeasureString", reinterpret_cast<void*>(&PaddedMeasureString) },
        { "GdipDrawString", reinterpret_cast<void*>(&PaddedDrawString) },
        { "GdiplusShutdown", reinterpret_cast<void*>(&CountedShutdown) },
        { "GdipSaveImageToStream", reinterpret_cast<void*>(&GdipSaveImageToStream) },
    };
    if (auto it = bridge.find(name); it != bridge.end())
        return it->second;
    void* lib = GdiplusLibrary();
    if (!lib)
        return nullptr;
    void* fn = dlsym(lib, name);
    return fn ? fn : GdiplusStandIn(name);
}

// A graphics over a device context: a premultiplied bitmap over the context's
// pixels, clipped to the context's clip and moved to its origin.
GpStatus GdipCreateFromHDC(HDC h, GpGraphics** graphics)
{
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    auto dc = gdi::DCOf(h);
    if (!dc)
        return InvalidParameter;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    if (dc->Vector)
        return CreateForPaper(h, *dc, graphics);
    if (!dc->Surface)
        return InvalidParameter;
    gdi::BeginPixels(*dc);
    auto* data = cairo_image_surface_get_data(dc->Surface);
    const int w = cairo_image_surface_get_width(dc->Surface), hgt = cairo_image_surface_get_height(dc->Surface);
    const int stride = cairo_image_surface_get_stride(dc->Surface);
    GpBitmap* bmp = nullptr;
    GpStatus st = GdipCreateBitmapFromScan0(w, hgt, stride, PixelFormat32bppPARGB, data, &bmp);
    if (st != Ok)
        return st;
    GpGraphics* g = nullptr;
    st = GdipGetImageGraphicsContext(bmp, &g);
    if (st != Ok) {
        GdipDisposeImage(bmp);
        return st;
    }
    // The clip is set in surface pixels before the transform moves the origin.
    TRegion clip = dc->EffectiveClip();
    clip.Offset(dc->SurfaceOffset.X, dc->SurfaceOffset.Y);
    if (clip.Rects().size() == 1) {
        const TRect r = clip.Rects()[0];
        GdipSetClipRectI(g, r.Left, r.Top, r.Width(), r.Height(), CombineModeReplace);
    } else {
        GpRegion* rgn = nullptr;
        if (RegionFromTRegion(clip, &rgn) == Ok) {
            GdipSetClipRegion(g, rgn, CombineModeReplace);
            GdipDeleteRegion(rgn);
        }
    }
    GdipTranslateWorldTransform(g, REAL(dc->SurfaceOffset.X), REAL(dc->SurfaceOffset.Y), MatrixOrderPrepend);
    ApplyDCTransform(g, *dc);
    GdipSetPageUnit(g, UnitPixel);
    {
        std::lock_guard lock(g_lock);
        TBridged b;
        b.Bitmap = bmp;
        b.DC = h;
        Bridged()[g] = b;
    }
    *graphics = g;
    return Ok;
}

GpStatus GdipCreateFromHDC2(HDC dc, HANDLE, GpGraphics** graphics)
{
    return GdipCreateFromHDC(dc, graphics);
}

GpStatus GdipCreateFromHWND(HWND window, GpGraphics** graphics)
{
    if (!graphics)
        return InvalidParameter;
    *graphics = nullptr;
    HDC dc = GetDC(window);
    if (!dc)
        return InvalidParameter;
    const GpStatus st = GdipCreateFromHDC(dc, graphics);
    if (st != Ok) {
        ReleaseDC(window, dc);
        return st;
    }
    std::lock_guard lock(g_lock);
    Bridged()[*graphics].Window = window;
    return Ok;
}

GpStatus GdipDeleteGraphics(GpGraphics* graphics)
{
    if (!graphics)
        return InvalidParameter;
    auto* del = GdipDeleteGraphics_lib();
    if (!del)
        return GdiplusNotInitialized;
    TBridged b;
    bool bridged = false;
    {
        std::lock_guard lock(g_lock);
        auto it = Bridged().find(graphics);
        if (it != Bridged().end()) {
            b = it->second;
            bridged = true;
            Bridged().erase(it);
        }
    }
    const GpStatus st = del(graphics);
    if (!bridged)
        return st;
    if (b.Paper) {
        PaintOnPaper(b);
        GdipDisposeImage(b.Bitmap);
        return st;
    }
    GdipDisposeImage(b.Bitmap);
    // The device context draws on over what the library drew.
    if (auto dc = gdi::DCOf(b.DC))
        gdi::EndPixels(*dc);
    if (b.Window)
        ReleaseDC(b.Window, b.DC);
    return st;
}

GpStatus GdipGetDC(GpGraphics* graphics, HDC* dc)
{
    if (!graphics || !dc)
        return InvalidParameter;
    HDC found = nullptr;
    {
        std::lock_guard lock(g_lock);
        auto it = Bridged().find(graphics);
        if (it != Bridged().end() && !it->second.Paper)
            found = it->second.DC;
    }
    if (!found)
        return NotImplemented; // only graphics over a context's pixels have one
    GdipFlush(graphics, FlushIntentionSync);
    if (auto d = gdi::DCOf(found))
        gdi::EndPixels(*d);
    *dc = found;
    return Ok;
}

GpStatus GdipReleaseDC(GpGraphics* graphics, HDC dc)
{
    if (!graphics || !dc)
        return InvalidParameter;
    std::lock_guard lock(g_lock);
    auto it = Bridged().find(graphics);
    if (it == Bridged().end() || it->second.DC != dc)
        return InvalidParameter;
    if (auto d = gdi::DCOf(dc))
        gdi::BeginPixels(*d);
    return Ok;
}

GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* result, ARGB background)
{
    if (!bitmap || !result)
        return InvalidParameter;
    *result = nullptr;
    TImageFrame f;
    if (GpStatus st = FrameFromGpBitmap(bitmap, f); st != Ok)
        return st;
    // An opaque background shows through transparent pixels; a clear one
    // keeps the alpha.
    const std::uint32_t ba = background >> 24;
    if (ba != 0) {
        for (auto& p : f.Pixels) {
            const std::uint32_t a = p >> 24;
            auto mix = [&](int s) { return ((((p >> s) & 0xFF) * a + ((background >> s) & 0xFF) * (255 - a) + 127) / 255) << s; };
            p = 0xFF000000u | mix(16) | mix(8) | mix(0);
        }
    }
    try {
        *result = CreateBitmapFromFrame(f);
    } catch (const Exception&) {
        return OutOfMemory;
    }
    return Ok;
}

GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP hbm, HPALETTE, GpBitmap** result)
{
    if (!result)
        return InvalidParameter;
    *result = nullptr;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    TImageFrame f;
    try {
        f = FrameFromBitmap(hbm);
    } catch (const Exception&) {
        return InvalidParameter;
    }
    // The bitmap's alpha is not taken over, as device bitmaps have none.
    for (auto& p : f.Pixels) {
        const std::uint32_t a = p >> 24;
        if (a != 255 && a != 0) {
            auto c = [&](int s) { return ((((p >> s) & 0xFF) * a + 127) / 255) << s; };
            p = c(16) | c(8) | c(0);
        }
        p |= 0xFF000000u;
    }
    return BitmapFromFrame(f, result);
}

GpStatus GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* result)
{
    if (!bitmap || !result)
        return InvalidParameter;
    *result = nullptr;
    TImageFrame f;
    if (GpStatus st = FrameFromGpBitmap(bitmap, f); st != Ok)
        return st;
    *result = CreateIconFromFrame(f);
    return *result ? Ok : OutOfMemory;
}

GpStatus GdipCreateBitmapFromHICON(HICON icon, GpBitmap** result)
{
    if (!result)
        return InvalidParameter;
    *result = nullptr;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    TImageFrame f;
    try {
        f = FrameFromIcon(icon);
    } catch (const Exception&) {
        return InvalidParameter;
    }
    return BitmapFromFrame(f, result);
}

GpStatus GdipCreateBitmapFromResource(HINSTANCE instance, const char16_t* name, GpBitmap** result)
{
    if (!result || !name)
        return InvalidParameter;
    *result = nullptr;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    HRSRC res = FindResource(HMODULE(instance), name, RT_BITMAP);
    if (!res)
        return InvalidParameter;
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(HMODULE(instance), res)));
    const DWORD size = SizeofResource(HMODULE(instance), res);
    if (!data || size < 16)
        return InvalidParameter;
    TBytes bytes;
    if (data[0] != 'B' || data[1] != 'M') {
        // Bitmap resources hold the bitmap without its file header.
        bytes = { 'B', 'M' };
        const std::uint32_t total = 14 + size;
        for (int i = 0; i < 4; ++i)
            bytes.push_back(BYTE(total >> (8 * i)));
        bytes.insert(bytes.end(), 8, 0);
        bytes[10] = 0; // pixel offset: let the reader find it after the palette
    }
    bytes.insert(bytes.end(), data, data + size);
    try {
        const TImage img = DecodeImage(bytes);
        return BitmapFromFrame(img.Frames.front(), result);
    } catch (const Exception&) {
        return InvalidParameter;
    }
}

GpStatus GdipCreateFontFromLogfontW(HDC, const LOGFONTW* lf, GpFont** font)
{
    if (!lf || !font)
        return InvalidParameter;
    *font = nullptr;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    HFONT hf = CreateFontIndirectW(lf);
    auto f = gdi::LookupAs<gdi::TFont>(hf, gdi::TKind::Font);
    if (!f)
        return InvalidParameter;
    gdi::EnsureFontDescription(*f);
    const REAL em = REAL(pango_font_description_get_size(f->Desc)) / PANGO_SCALE;
    DeleteObject(hf);
    String face(lf->lfFaceName, std::char_traits<char16_t>::length(lf->lfFaceName));
    if (face.empty())
        face = u"MS Shell Dlg";
    GpFontFamily* family = nullptr;
    if (GdipCreateFontFamilyFromName(face.c_str(), nullptr, &family) != Ok) {
        const String resolved = ResolveFontFamily(face);
        if (resolved.empty() || GdipCreateFontFamilyFromName(resolved.c_str(), nullptr, &family) != Ok)
            if (GdipGetGenericFontFamilySansSerif(&family) != Ok)
                return FontFamilyNotFound;
    }
    int style = FontStyleRegular;
    if (lf->lfWeight >= FW_SEMIBOLD)
        style |= FontStyleBold;
    if (lf->lfItalic)
        style |= FontStyleItalic;
    if (lf->lfUnderline)
        style |= FontStyleUnderline;
    if (lf->lfStrikeOut)
        style |= FontStyleStrikeout;
    const GpStatus st = GdipCreateFont(family, em, style, UnitPixel, font);
    GdipDeleteFontFamily(family);
    return st;
}

GpStatus GdipCreateFontFromLogfontA(HDC dc, const LOGFONTA* lf, GpFont** font)
{
    if (!lf || !font)
        return InvalidParameter;
    HFONT hf = CreateFontIndirectA(lf);
    LOGFONTW w;
    GetObject(hf, sizeof w, &w);
    DeleteObject(hf);
    return GdipCreateFontFromLogfontW(dc, &w, font);
}

GpStatus GdipCreateFontFromDC(HDC h, GpFont** font)
{
    if (!font)
        return InvalidParameter;
    auto dc = gdi::DCOf(h);
    if (!dc)
        return InvalidParameter;
    return GdipCreateFontFromLogfontW(h, &dc->State.Font->Log, font);
}

GpStatus GdipCreateRegionHrgn(HRGN rgn, GpRegion** region)
{
    if (!region)
        return InvalidParameter;
    *region = nullptr;
    if (GetObjectType(rgn) != OBJ_REGION)
        return InvalidParameter;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    return RegionFromTRegion(GetRegionData(rgn), region);
}

GpStatus GdipGetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* rgn)
{
    if (!region || !rgn)
        return InvalidParameter;
    *rgn = nullptr;
    // The infinite region has no handle form.
    GpBitmap* scratch = nullptr;
    GpGraphics* g = graphics;
    if (!g) {
        GdipCreateBitmapFromScan0(1, 1, 0, PixelFormat32bppARGB, nullptr, &scratch);
        if (scratch)
            GdipGetImageGraphicsContext(scratch, &g);
    }
    BOOL infinite = FALSE;
    GpStatus st = GdipIsInfiniteRegion(region, g, &infinite);
    if (!graphics) {
        if (g)
            GdipDeleteGraphics(g);
        if (scratch)
            GdipDisposeImage(scratch);
    }
    if (st != Ok)
        return st;
    if (infinite)
        return Ok;
    GpMatrix* identity = nullptr;
    if ((st = GdipCreateMatrix(&identity)) != Ok)
        return st;
    UINT count = 0;
    st = GdipGetRegionScansCount(region, &count, identity);
    std::vector<GpRect> rects(count);
    int got = int(count);
    if (st == Ok && count)
        st = GdipGetRegionScansI(region, rects.data(), &got, identity);
    GdipDeleteMatrix(identity);
    if (st != Ok)
        return st;
    std::vector<TRect> out;
    for (int i = 0; i < got && i < int(rects.size()); ++i)
        out.emplace_back(rects[std::size_t(i)].X, rects[std::size_t(i)].Y, rects[std::size_t(i)].X + rects[std::size_t(i)].Width, rects[std::size_t(i)].Y + rects[std::size_t(i)].Height);
    *rgn = CreateRgnFromRegion(TRegion::FromRects(out));
    return Ok;
}

namespace {

// The library reads images from files only: the stream's bytes go through a
// private temporary file.
template <class T> GpStatus LoadThroughFile(IStream* stream, T** result, GpStatus (*load)(const char16_t*, T**))
{
    if (!stream || !result)
        return InvalidParameter;
    *result = nullptr;
    if (!EnsureGdiplusStarted())
        return GdiplusNotInitialized;
    TBytes bytes;
    if (!ReadWholeStream(stream, bytes) || bytes.empty())
        return InvalidParameter;
    // The library allocates whatever a picture declares; a few bytes may
    // declare gigabytes.
    if (!DeclaredSizesWithinCaps(bytes.data(), bytes.size()))
        return OutOfMemory;
    TTempFile file;
    if (file.Path.empty() || !file.Write(bytes))
        return Win32Error;
    return load ? load(file.Path16().c_str(), result) : GdiplusNotInitialized;
}

// A picture file goes to the library only if the sizes it declares keep
// within the codecs' caps.
template <class T> GpStatus LoadCheckedFile(const char16_t* path, T** result, GpStatus (*load)(const char16_t*, T**))
{
    if (!path || !result)
        return InvalidParameter;
    *result = nullptr;
    if (!load)
        return GdiplusNotInitialized;
    std::ifstream in(StringToUtf8(String(path)), std::ios::binary);
    if (in) {
        const TBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!DeclaredSizesWithinCaps(bytes.data(), bytes.size()))
            return OutOfMemory;
    }
    return load(path, result);
}

GpStatus CheckedLoadImageFromFile(const char16_t* path, GpImage** image)
{
    return LoadCheckedFile(path, image, GdipLoadImageFromFile_lib());
}

GpStatus CheckedLoadImageFromFileICM(const char16_t* path, GpImage** image)
{
    return LoadCheckedFile(path, image, GdipLoadImageFromFileICM_lib());
}

GpStatus CheckedCreateBitmapFromFile(const char16_t* path, GpBitmap** bitmap)
{
    return LoadCheckedFile(path, bitmap, GdipCreateBitmapFromFile_lib());
}

GpStatus CheckedCreateBitmapFromFileICM(const char16_t* path, GpBitmap** bitmap)
{
    return LoadCheckedFile(path, bitmap, GdipCreateBitmapFromFileICM_lib());
}

} // namespace

GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image)
{
    return LoadThroughFile(stream, image, GdipLoadImageFromFile_lib());
}

GpStatus GdipLoadImageFromStreamICM(IStream* stream, GpImage** image)
{
    return LoadThroughFile(stream, image, GdipLoadImageFromFileICM_lib());
}

GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap)
{
    return LoadThroughFile(stream, bitmap, GdipCreateBitmapFromFile_lib());
}

GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap)
{
    return LoadThroughFile(stream, bitmap, GdipCreateBitmapFromFileICM_lib());
}

GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const TGUID* encoder, const EncoderParameters* params)
{
    if (!image || !stream || !encoder)
        return InvalidParameter;
    auto* save = GdipSaveImageToFile_lib();
    if (!save)
        return GdiplusNotInitialized;
    TTempFile file;
    if (file.Path.empty())
        return Win32Error;
    const GpStatus st = save(image, file.Path16().c_str(), encoder, params);
    if (st != Ok)
        return st;
    std::ifstream in(file.Path, std::ios::binary);
    const TBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ULONG written = 0;
    if (stream->Write(bytes.data(), ULONG(bytes.size()), &written) < 0 || written != bytes.size())
        return Win32Error;
    return Ok;
}
