#include <algorithm>
#include <cstring>

#include "platform/rtl/Resources.h"
#include "platform/rtl/SysUtils.h"
#include "platform/vcl/GraphicStreams.h"
#include "platform/vcl/Graphics.h"

using namespace vcl_detail;

// ---- helpers ----

namespace vcl_detail {

TBytes ReadRest(TStream& stream)
{
    const Int64 n = stream.GetSize() - stream.GetPosition();
    TBytes bytes;
    if (n > 0) {
        bytes.resize(std::size_t(n));
        stream.ReadBuffer(bytes.data(), n);
    }
    return bytes;
}

TBytes PeekBytes(TStream& stream, int count)
{
    const Int64 pos = stream.GetPosition();
    TBytes bytes(std::size_t(std::max(count, 0)));
    const Int64 got = stream.Read(bytes.data(), Int64(bytes.size()));
    bytes.resize(std::size_t(std::max<Int64>(got, 0)));
    stream.SetPosition(pos);
    return bytes;
}

bool StartsWith(const TBytes& bytes, const char* signature, std::size_t length)
{
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

TImage Decode(const TBytes& bytes)
{
    try {
        return DecodeImage(bytes);
    } catch (const EImageError& e) {
        throw EInvalidGraphic(e.Message);
    }
}

void WriteBytes(TStream& stream, const TBytes& bytes)
{
    if (!bytes.empty())
        stream.WriteBuffer(bytes);
}

void DrawFrame(HDC dc, const TRect& r, const TImageFrame& frame, Byte opacity)
{
    if (frame.Pixels.empty() || r.IsEmpty())
        return;
    HBITMAP bmp = CreateBitmapFromFrame(frame);
    HDC mem = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(mem, bmp);
    BLENDFUNCTION blend;
    blend.SourceConstantAlpha = opacity;
    blend.AlphaFormat = AC_SRC_ALPHA;
    AlphaBlend(dc, r.Left, r.Top, r.Width(), r.Height(), mem, 0, 0, frame.Width, frame.Height, blend);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
}

} // namespace vcl_detail

// ---- TGraphic ----

QT_PUBLISHED(TGraphic)

void TGraphic::SetSize(int width, int height)
{
    SetWidth(width);
    SetHeight(height);
}

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent)
        return;
    FTransparent = value;
    Changed();
}

void TGraphic::SetModified(bool value)
{
    if (value)
        Changed();
    else
        FModified = false;
}

void TGraphic::Changed()
{
    FModified = true;
    if (OnChange)
        OnChange(this);
}

void TGraphic::DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity)
{
    TImageFrame frame = GetImageFrame();
    DrawFrame(canvas->GetHandle(), r, frame, opacity);
}

void TGraphic::LoadFromFile(const String& fileName)
{
    TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const String& fileName)
{
    TFileStream stream(fileName, fmCreate);
    SaveToStream(stream);
}

bool TGraphic::Equals(TGraphic* other)
{
    if (!other || other->ClassType() != ClassType())
        return false;
    if (Empty() || other->Empty())
        return Empty() && other->Empty();
    TBytesStream a, b;
    SaveToStream(a);
    other->SaveToStream(b);
    return a.GetSize() == b.GetSize() && std::memcmp(a.GetMemory(), b.GetMemory(), std::size_t(a.GetSize())) == 0;
}

// ---- TBitmapCanvas ----

// The canvas of a bitmap: a memory context with the bitmap selected, made
// on first use and dropped whenever the bitmap's storage is replaced.
class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) { }
    ~TBitmapCanvas() override { FreeContext(); }

    void FreeContext()
    {
        HDC h = HandleAllocated() ? GetHandle() : nullptr;
        if (!h)
            return;
        SetHandle(nullptr);
        if (FOldBitmap)
            SelectObject(h, FOldBitmap);
        FOldBitmap = nullptr;
        DeleteDC(h);
    }

protected:
    void CreateHandle() override
    {
        HDC h = CreateCompatibleDC(nullptr);
        if (!h)
            return;
        if (FBitmap->FHandle)
            FOldBitmap = SelectObject(h, FBitmap->FHandle);
        SetHandle(h);
    }
    void Changed() override
    {
        TCanvas::Changed();
        FBitmap->Changed();
    }

private:
    TBitmap* FBitmap;
    HGDIOBJ FOldBitmap { nullptr };
};

// ---- TBitmap ----

QT_PUBLISHED(TBitmap)

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int width, int height)
{
    SetSize(width, height);
}

TBitmap::~TBitmap()
{
    FCanvas.reset();
    if (FHandle)
        DeleteObject(FHandle);
}

void TBitmap::Changed()
{
    TGraphic::Changed();
}

TCanvas* TBitmap::GetCanvas()
{
    if (!FCanvas)
        FCanvas = std::make_unique<TBitmapCanvas>(this);
    return FCanvas.get();
}

HBITMAP TBitmap::GetHandle()
{
    return FHandle;
}

HBITMAP TBitmap::CreateStorage(int width, int height, TPixelFormat format) const
{
    if (width <= 0 || height <= 0)
        return nullptr;
    BITMAPINFO bi {};
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biBitCount = format == pf24bit ? 24 : 32;
    void* bits = nullptr;
    HBITMAP h = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!h)
        throw EInvalidGraphicOperation(u"Cannot create a bitmap of " + IntToStr(width) + u" x " + IntToStr(height) + u" pixels");
    // Opaque black, as a freshly made screen bitmap; pf32bit starts fully transparent.
    if (format != pf24bit && format != pf32bit) {
        auto* p = static_cast<std::uint32_t*>(bits);
        std::fill(p, p + std::size_t(width) * std::size_t(height), 0xFF000000u);
    }
    return h;
}

void TBitmap::ReplaceHandle(HBITMAP handle, int width, int height)
{
    if (FCanvas)
        FCanvas->FreeContext();
    if (FHandle && FHandle != handle)
        DeleteObject(FHandle);
    FHandle = handle;
    FWidth = handle ? width : 0;
    FHeight = handle ? height : 0;
}

int TBitmap::RowBytes() const
{
    return FPixelFormat == pf24bit ? ((FWidth * 24 + 31) / 32) * 4 : FWidth * 4;
}

Byte* TBitmap::Bits()
{
    if (!FHandle)
        return nullptr;
    GdiFlush();
    DIBSECTION ds;
    if (GetObjectW(FHandle, sizeof(ds), &ds) != int(sizeof(ds)))
        return nullptr;
    return static_cast<Byte*>(ds.dsBm.bmBits);
}

void* TBitmap::ScanLine(int row)
{
    Byte* bits = Bits();
    if (!bits || row < 0 || row >= FHeight)
        throw EInvalidGraphic(u"Scan line index out of range");
    return bits + std::size_t(row) * std::size_t(RowBytes());
}

void TBitmap::SetSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == FWidth && height == FHeight)
        return;
    HBITMAP h = CreateStorage(width, height, FPixelFormat);
    if (h && FHandle) {
        // Keep the overlapping part.
        const Byte* src = Bits();
        const int srcStride = RowBytes();
        DIBSECTION ds;
        GetObjectW(h, sizeof(ds), &ds);
        auto* dst = static_cast<Byte*>(ds.dsBm.bmBits);
        const int dstStride = FPixelFormat == pf24bit ? ((width * 24 + 31) / 32) * 4 : width * 4;
        const std::size_t rowCopy = std::size_t(std::min(width, FWidth)) * std::size_t(BytesPerPixel());
        for (int y = 0; y < std::min(height, FHeight); ++y)
            std::memcpy(dst + std::size_t(y) * dstStride, src + std::size_t(y) * srcStride, rowCopy);
    }
    ReplaceHandle(h, width, height);
    Changed();
}

void TBitmap::SetHandle(HBITMAP value)
{
    if (value == FHandle)
        return;
    if (!value) {
        ReplaceHandle(nullptr, 0, 0);
        Changed();
        return;
    }
    // Our storage is a DIB section of a known layout: copy the pixels over.
    const TImageFrame frame = FrameFromBitmap(value);
    DIBSECTION ds;
    const bool dib = GetObjectW(value, sizeof(ds), &ds) == int(sizeof(ds));
    FPixelFormat = dib && ds.dsBm.bmBitsPixel == 24 ? pf24bit : dib && ds.dsBm.bmBitsPixel == 32 ? pf32bit : pfDevice;
    FAlphaFormat = afIgnored;
    ReplaceHandle(CreateStorage(frame.Width, frame.Height, FPixelFormat), frame.Width, frame.Height);
    WritePixels(frame);
    DeleteObject(value);
    Changed();
}

HBITMAP TBitmap::ReleaseHandle()
{
    if (FCanvas)
        FCanvas->FreeContext();
    HBITMAP h = std::exchange(FHandle, nullptr);
    FWidth = FHeight = 0;
    Changed();
    return h;
}

TImageFrame TBitmap::GetImageFrame()
{
    TImageFrame f;
    Byte* bits = Bits();
    if (!bits)
        return f;
    f.Width = FWidth;
    f.Height = FHeight;
    f.Pixels.resize(std::size_t(FWidth) * std::size_t(FHeight));
    const int stride = RowBytes();
    for (int y = 0; y < FHeight; ++y) {
        const Byte* row = bits + std::size_t(y) * stride;
        for (int x = 0; x < FWidth; ++x) {
            std::uint32_t px;
            if (FPixelFormat == pf24bit) {
                px = 0xFF000000u | (std::uint32_t(row[x * 3 + 2]) << 16) | (std::uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
            } else {
                std::memcpy(&px, row + x * 4, 4);
                if (FPixelFormat != pf32bit || FAlphaFormat == afIgnored)
                    px |= 0xFF000000u;
                else if (FAlphaFormat == afPremultiplied)
                    px = Unpremultiply(px);
                if (FPixelFormat == pf1bit)
                    px = (px & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFFu : 0xFF000000u;
            }
            f.At(x, y) = px;
        }
    }
    return f;
}

void TBitmap::WritePixels(const TImageFrame& frame)
{
    Byte* bits = Bits();
    if (!bits || frame.Width != FWidth || frame.Height != FHeight)
        return;
    const int stride = RowBytes();
    for (int y = 0; y < FHeight; ++y) {
        Byte* row = bits + std::size_t(y) * stride;
        for (int x = 0; x < FWidth; ++x) {
            std::uint32_t px = frame.At(x, y);
            if (FPixelFormat == pf24bit) {
                row[x * 3] = Byte(px);
                row[x * 3 + 1] = Byte(px >> 8);
                row[x * 3 + 2] = Byte(px >> 16);
                continue;
            }
            if (FPixelFormat == pf1bit)
                px = (px & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFFu : 0xFF000000u;
            else if (FPixelFormat != pf32bit)
                px |= 0xFF000000u;
            else if (FAlphaFormat == afPremultiplied)
                px = Premultiply(px);
            std::memcpy(row + x * 4, &px, 4);
        }
    }
}

void TBitmap::SetImageFrame(const TImageFrame& frame)
{
    const bool alpha = std::any_of(frame.Pixels.begin(), frame.Pixels.end(), [](std::uint32_t p) { return (p >> 24) != 255; });
    if (alpha) {
        FPixelFormat = pf32bit;
        FAlphaFormat = afDefined;
    }
    ReplaceHandle(CreateStorage(frame.Width, frame.Height, FPixelFormat), frame.Width, frame.Height);
    WritePixels(frame);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat value)
{
    if (value == FPixelFormat)
        return;
    if (value != pfDevice && value != pf1bit && value != pf24bit && value != pf32bit)
        throw EInvalidGraphic(u"Unsupported pixel format");
    const TImageFrame frame = GetImageFrame();
    FPixelFormat = value;
    if (value != pf32bit)
        FAlphaFormat = afIgnored;
    if (FHandle) {
        ReplaceHandle(CreateStorage(FWidth, FHeight, value), FWidth, FHeight);
        WritePixels(frame);
    }
    Changed();
}

void TBitmap::SetMonochrome(bool value)
{
    if (value)
        SetPixelFormat(pf1bit);
    else if (FPixelFormat == pf1bit)
        SetPixelFormat(pfDevice);
}

void TBitmap::SetAlphaFormat(TAlphaFormat value)
{
    if (value == FAlphaFormat)
        return;
    if (FPixelFormat != pf32bit || !FHandle) {
        FAlphaFormat = value;
        return;
    }
    // Only a move into or out of the premultiplied form changes the bytes.
    const bool wasPre = FAlphaFormat == afPremultiplied, isPre = value == afPremultiplied;
    if (wasPre != isPre) {
        const std::size_t n = std::size_t(FWidth) * std::size_t(FHeight);
        auto* p = reinterpret_cast<std::uint32_t*>(Bits());
        for (std::size_t i = 0; i < n; ++i)
            p[i] = isPre ? Premultiply(p[i]) : Unpremultiply(p[i]);
    }
    FAlphaFormat = value;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value)
{
    if (value == FTransparentMode)
        return;
    if (value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(GetTransparentColor());
}

TColor TBitmap::GetTransparentColor()
{
    if (FTransparentMode == tmFixed)
        return FTransparentColor;
    if (GetEmpty())
        return clDefault;
    // The bottom-left pixel.
    const Byte* row = static_cast<const Byte*>(ScanLine(FHeight - 1));
    std::uint32_t px;
    if (FPixelFormat == pf24bit)
        px = (std::uint32_t(row[2]) << 16) | (std::uint32_t(row[1]) << 8) | row[0];
    else
        std::memcpy(&px, row, 4);
    if (FPixelFormat == pf32bit && FAlphaFormat == afPremultiplied)
        px = Unpremultiply(px);
    if (FPixelFormat == pf1bit)
        px = (px & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFF : 0;
    return TColor(PixelRGB(px));
}

void TBitmap::SetTransparentColor(TColor value)
{
    if (value == FTransparentColor && (value == clDefault) == (FTransparentMode == tmAuto))
        return;
    FTransparentColor = value;
    FTransparentMode = value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::Mask(TColor transparentColor)
{
    if (GetEmpty())
        return;
    TImageFrame frame = GetImageFrame();
    const COLORREF key = COLORREF(ColorToRGB(transparentColor)) & 0xFFFFFF;
    for (auto& px : frame.Pixels)
        px = PixelRGB(px) == key ? 0xFFFFFFFFu : 0xFF000000u;
    FPixelFormat = pf1bit;
    FAlphaFormat = afIgnored;
    ReplaceHandle(CreateStorage(FWidth, FHeight, pf1bit), FWidth, FHeight);
    WritePixels(frame);
    Changed();
}

void TBitmap::Assign(TPersistent* source)
{
    if (!source) {
        ReplaceHandle(nullptr, 0, 0);
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(source)) {
        if (b == this)
            return;
        FPixelFormat = b->FPixelFormat;
        FAlphaFormat = b->FAlphaFormat;
        FTransparentMode = b->FTransparentMode;
        FTransparentColor = b->FTransparentColor;
        FTransparent = b->FTransparent;
        HBITMAP h = CreateStorage(b->FWidth, b->FHeight, b->FPixelFormat);
        if (h) {
            DIBSECTION ds;
            GetObjectW(h, sizeof(ds), &ds);
            std::memcpy(ds.dsBm.bmBits, b->Bits(), std::size_t(b->RowBytes()) * std::size_t(b->FHeight));
        }
        ReplaceHandle(h, b->FWidth, b->FHeight);
        Changed();
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        FTransparent = g->GetTransparent();
        SetImageFrame(g->GetImageFrame());
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        Assign(p->GetGraphic());
        return;
    }
    TGraphic::Assign(source);
}

void TBitmap::Draw(TCanvas* canvas, const TRect& r)
{
    if (GetEmpty() || !canvas)
        return;
    HDC dst = canvas->GetHandle();
    if (SupportsPartialTransparency() || (FTransparent && FPixelFormat == pf32bit && FAlphaFormat != afIgnored)) {
        DrawTransparent(canvas, r, 255);
        return;
    }
    HDC src = GetCanvas()->GetHandle();
    if (FTransparent) {
        const COLORREF key = COLORREF(ColorToRGB(GetTransparentColor())) & 0xFFFFFF;
        TransparentBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, key);
        return;
    }
    const int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
    StretchBlt(dst, r.Left, r.Top, r.Width(), r.Height(), src, 0, 0, FWidth, FHeight, DWORD(canvas->GetCopyMode()));
    SetStretchBltMode(dst, oldMode);
}

void TBitmap::DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity)
{
    if (GetEmpty() || !canvas)
        return;
    TImageFrame frame = GetImageFrame();
    if (FTransparent && !SupportsPartialTransparency()) {
        const COLORREF key = COLORREF(ColorToRGB(GetTransparentColor())) & 0xFFFFFF;
        for (auto& px : frame.Pixels)
            if (PixelRGB(px) == key)
                px = 0;
    }
    DrawFrame(canvas->GetHandle(), r, frame, opacity);
}

bool TBitmap::CanLoadFromStream(TStream& stream)
{
    return StartsWith(PeekBytes(stream, 2), "BM", 2);
}

void TBitmap::LoadFromBytes(const TBytes& bytes)
{
    if (!StartsWith(bytes, "BM", 2) || bytes.size() < 30)
        throw EInvalidGraphic(u"Bitmap image is not valid");
    const TImage image = Decode(bytes);
    const std::uint32_t headerSize = std::uint32_t(bytes[14]) | (std::uint32_t(bytes[15]) << 8);
    const int bitCount = headerSize == 12 ? bytes[24] | (bytes[25] << 8) : bytes[28] | (bytes[29] << 8);
    FPixelFormat = bitCount == 32 ? pf32bit : bitCount == 24 ? pf24bit : bitCount == 1 ? pf1bit : pfDevice;
    FAlphaFormat = afIgnored;
    const TImageFrame& frame = image.Frames.front();
    ReplaceHandle(CreateStorage(frame.Width, frame.Height, FPixelFormat), frame.Width, frame.Height);
    WritePixels(frame);
    Changed();
}

void TBitmap::LoadFromStream(TStream& stream)
{
    // A bitmap file says its own length, so a bitmap embedded in a longer
    // stream leaves the rest of the stream unread.
    const Int64 start = stream.GetPosition();
    TBytes bytes = ReadRest(stream);
    if (bytes.size() >= 6) {
        const std::uint32_t fileSize = std::uint32_t(bytes[2]) | (std::uint32_t(bytes[3]) << 8)
            | (std::uint32_t(bytes[4]) << 16) | (std::uint32_t(bytes[5]) << 24);
        if (fileSize >= 30 && fileSize < bytes.size()) {
            bytes.resize(fileSize);
            stream.SetPosition(start + fileSize);
        }
    }
    LoadFromBytes(bytes);
}

void TBitmap::SaveToStream(TStream& stream)
{
    if (GetEmpty())
        return;
    const TImageFrame frame = GetImageFrame();
    WriteBytes(stream, EncodeBmp(frame, FPixelFormat == pf32bit));
}

namespace {

// A bitmap resource may hold a whole .bmp file or, as resource compilers
// store it, the file without its 14-byte file header.
TBytes BitmapResourceFile(TStream& stream)
{
    TBytes data = ReadRest(stream);
    if (StartsWith(data, "BM", 2))
        return data;
    if (data.size() < 16)
        throw EInvalidGraphic(u"Bitmap image is not valid");
    auto u32 = [&](std::size_t at) {
        return at + 4 <= data.size() ? std::uint32_t(data[at]) | (std::uint32_t(data[at + 1]) << 8)
                | (std::uint32_t(data[at + 2]) << 16) | (std::uint32_t(data[at + 3]) << 24)
                                     : 0u;
    };
    const std::uint32_t headerSize = u32(0);
    std::uint32_t colors = 0;
    if (headerSize >= 40) {
        const int bits = data[14] | (data[15] << 8);
        colors = u32(32);
        if (colors == 0 && bits <= 8)
            colors = 1u << bits;
        if (u32(16) == BI_BITFIELDS && headerSize == 40)
            colors += 3;
        colors *= 4;
    } else if (headerSize == 12) {
        const int bits = data[10] | (data[11] << 8);
        colors = bits <= 8 ? (1u << bits) * 3 : 0;
    }
    const std::uint32_t offBits = 14 + headerSize + colors;
    const std::uint32_t size = 14 + std::uint32_t(data.size());
    TBytes file = { 'B', 'M', Byte(size), Byte(size >> 8), Byte(size >> 16), Byte(size >> 24), 0, 0, 0, 0,
        Byte(offBits), Byte(offBits >> 8), Byte(offBits >> 16), Byte(offBits >> 24) };
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

} // namespace

void TBitmap::LoadFromResourceName(HINSTANCE instance, const String& resName)
{
    TResourceStream stream(instance, resName, RT_BITMAP);
    LoadFromBytes(BitmapResourceFile(stream));
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int resID)
{
    auto stream = TResourceStream::CreateFromID(instance, resID, RT_BITMAP);
    LoadFromBytes(BitmapResourceFile(*stream));
}

// ---- TIcon ----

QT_PUBLISHED(TIcon)

TIcon::TIcon()
{
    FTransparent = true;
}

TIcon::~TIcon()
{
    if (FHandle)
        DestroyIcon(FHandle);
}

void TIcon::SetWidth(int value)
{
    if (value != GetWidth())
        throw EInvalidGraphicOperation(u"Cannot change the size of an icon");
}

void TIcon::SetHeight(int value)
{
    if (value != GetHeight())
        throw EInvalidGraphicOperation(u"Cannot change the size of an icon");
}

void TIcon::SetImage(TImageFrame image, TBytes original)
{
    if (FHandle)
        DestroyIcon(std::exchange(FHandle, nullptr));
    FImage = std::move(image);
    FOriginal = std::move(original);
    Changed();
}

HICON TIcon::GetHandle()
{
    if (!FHandle && !GetEmpty())
        FHandle = CreateIconFromFrame(FImage, true);
    return FHandle;
}

void TIcon::SetHandle(HICON value)
{
    if (value == FHandle)
        return;
    TImageFrame image = value ? FrameFromIcon(value) : TImageFrame {};
    SetImage(std::move(image), {});
    FHandle = value;
}

HICON TIcon::ReleaseHandle()
{
    HICON h = GetHandle();
    FHandle = nullptr;
    return h;
}

void TIcon::Assign(TPersistent* source)
{
    if (!source) {
        SetImage({}, {});
        return;
    }
    if (auto* i = dynamic_cast<TIcon*>(source)) {
        if (i != this)
            SetImage(i->FImage, i->FOriginal);
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(source)) {
        SetImage(g->GetImageFrame(), {});
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(source)) {
        Assign(p->GetGraphic());
        return;
    }
    TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const TRect& r)
{
    if (GetEmpty() || !canvas)
        return;
    DrawIconEx(canvas->GetHandle(), r.Left, r.Top, GetHandle(), r.Width(), r.Height(), 0, nullptr, DI_NORMAL);
}

bool TIcon::CanLoadFromStream(TStream& stream)
{
    const TBytes head = PeekBytes(stream, 6);
    const TImageFormat f = SniffImageFormat(head.data(), head.size());
    return f == TImageFormat::Ico || f == TImageFormat::Cur;
}

void TIcon::LoadFromStream(TStream& stream)
{
    TBytes bytes = ReadRest(stream);
    const TImageFormat f = SniffImageFormat(bytes.data(), bytes.size());
    if (f != TImageFormat::Ico && f != TImageFormat::Cur)
        throw EInvalidGraphic(u"Icon image is not valid");
    TImage image = Decode(bytes);
    // The image nearest the standard 32 x 32 icon, the larger one on a tie.
    auto distance = [](const TImageFrame& fr) { return std::abs(fr.Width - 32) + std::abs(fr.Height - 32); };
    std::size_t best = 0;
    for (std::size_t i = 1; i < image.Frames.size(); ++i) {
        const auto& a = image.Frames[i];
        const auto& b = image.Frames[best];
        if (distance(a) < distance(b) || (distance(a) == distance(b) && a.Width * a.Height > b.Width * b.Height))
            best = i;
    }
    SetImage(std::move(image.Frames[best]), std::move(bytes));
}

void TIcon::SaveToStream(TStream& stream)
{
    if (!FOriginal.empty()) {
        WriteBytes(stream, FOriginal);
        return;
    }
    if (GetEmpty())
        return;
    // One 32-bit image stored as PNG, which icon readers accept for any size.
    const TBytes png = EncodePng(FImage);
    const std::uint32_t size = std::uint32_t(png.size());
    TBytes ico = { 0, 0, 1, 0, 1, 0,
        Byte(FImage.Width >= 256 ? 0 : FImage.Width), Byte(FImage.Height >= 256 ? 0 : FImage.Height), 0, 0, 1, 0, 32, 0,
        Byte(size), Byte(size >> 8), Byte(size >> 16), Byte(size >> 24), 22, 0, 0, 0 };
    ico.insert(ico.end(), png.begin(), png.end());
    WriteBytes(stream, ico);
}
