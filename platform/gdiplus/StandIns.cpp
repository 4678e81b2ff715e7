// Flat functions the library does not export, made from the ones it does, so
// a caller binding by name finds every function of the published set that
// can be had here.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string_view>

#include "platform/gdiplus/Gdiplus.h"

using namespace Gdiplus;

namespace {

// A cached bitmap is a private copy of the bitmap, drawn pixel for pixel.
GpStatus CreateCachedBitmap(GpBitmap* bitmap, GpGraphics* graphics, GpImage** cached)
{
    if (!bitmap || !graphics || !cached)
        return InvalidParameter;
    *cached = nullptr;
    return GdipCloneImage(bitmap, cached);
}

GpStatus DeleteCachedBitmap(GpImage* cached)
{
    if (!cached)
        return InvalidParameter;
    return GdipDisposeImage(cached);
}

GpStatus DrawCachedBitmap(GpGraphics* graphics, GpImage* cached, int x, int y)
{
    if (!graphics || !cached)
        return InvalidParameter;
    UINT w = 0, h = 0;
    if (GpStatus st = GdipGetImageWidth(cached, &w); st != Ok)
        return st;
    GdipGetImageHeight(cached, &h);
    return GdipDrawImageRectI(graphics, cached, x, y, int(w), int(h));
}


// Whole-pixel bounds that enclose the region's bounds.
GpStatus GetRegionBoundsI(GpRegion* region, GpGraphics* graphics, GpRect* rect)
{
    if (!rect)
        return InvalidParameter;
    auto* bounds = reinterpret_cast<GpStatus (*)(GpRegion*, GpGraphics*, GpRectF*)>(
        GdiplusGetProcAddress("GdipGetRegionBounds"));
    if (!bounds)
        return GdiplusNotInitialized;
    GpRectF r;
    if (GpStatus st = bounds(region, graphics, &r); st != Ok)
        return st;
    // Kept inside the integer range, so an infinite region converts safely.
    const auto whole = [](double v) { return int(std::clamp(v, -1073741824.0, 1073741823.0)); };
    const int left = whole(std::floor(r.X)), top = whole(std::floor(r.Y));
    rect->X = left;
    rect->Y = top;
    rect->Width = whole(std::ceil(double(r.X) + r.Width) - left);
    rect->Height = whole(std::ceil(double(r.Y) + r.Height) - top);
    return Ok;
}

// A bitmap from a device-independent bitmap: the platform's DIB section
// takes the pixels, the bridge turns it into a bitmap of the library.
GpStatus CreateBitmapFromGdiDib(const BITMAPINFO* info, const void* data, GpBitmap** bitmap)
{
    if (!info || !data || !bitmap)
        return InvalidParameter;
    *bitmap = nullptr;
    const auto& header = info->bmiHeader;
    const long long width = header.biWidth, height = std::llabs(header.biHeight);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || header.biBitCount == 0)
        return InvalidParameter;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib || !bits) {
        if (dib)
            DeleteObject(dib);
        return InvalidParameter;
    }
    const long long stride = ((width * header.biBitCount + 31) / 32) * 4;
    std::memcpy(bits, data, std::size_t(stride * height));
    const GpStatus st = GdipCreateBitmapFromHBITMAP(dib, nullptr, bitmap);
    DeleteObject(dib);
    return st;
}

} // namespace

void* GdiplusStandIn(const char* name)
{
    static const std::map<std::string_view, void*> standIns = {
        { "GdipCreateCachedBitmap", reinterpret_cast<void*>(&CreateCachedBitmap) },
        { "GdipDeleteCachedBitmap", reinterpret_cast<void*>(&DeleteCachedBitmap) },
        { "GdipDrawCachedBitmap", reinterpret_cast<void*>(&DrawCachedBitmap) },
        { "GdipGetRegionBoundsI", reinterpret_cast<void*>(&GetRegionBoundsI) },
        { "GdipCreateBitmapFromGdiDib", reinterpret_cast<void*>(&CreateBitmapFromGdiDib) },
    };
    if (!name)
        return nullptr;
    const auto it = standIns.find(name);
    return it == standIns.end() ? nullptr : it->second;
}
