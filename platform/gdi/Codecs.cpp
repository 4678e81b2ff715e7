#include "platform/gdi/Codecs.h"

#include <cairo.h>
#include <gif_lib.h>
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

// libjpeg's header needs size_t and FILE declared first.
#include <jpeglib.h>

#include "platform/gdi/GdiObjects.h"

namespace {

[[noreturn]] void Fail(const char* what)
{
    throw EImageError(Utf8ToString(what));
}

constexpr const char* kTooLarge = "Image is too large";

[[noreturn]] void FailTooLarge(const char* what)
{
    throw EImageTooLarge(Utf8ToString(what));
}

void CheckSize(long long w, long long h)
{
    if (w <= 0 || h <= 0)
        Fail("Invalid image size");
    // Before the limit on each side, so that a picture far too large is
    // told apart from one merely malformed.
    if (w > std::int64_t(kMaxImagePixels) || h > std::int64_t(kMaxImagePixels)
        || std::uint64_t(w) * std::uint64_t(h) > kMaxImagePixels)
        FailTooLarge(kTooLarge);
    if (w > 65535 || h > 65535)
        Fail("Invalid image size");
}

// The memory a file's decoded frames may still take; each frame is charged
// before its pixels are allocated.
class TPixelBudget {
public:
    void Take(long long w, long long h)
    {
        CheckSize(w, h);
        const std::uint64_t bytes = std::uint64_t(w) * std::uint64_t(h) * 4;
        if (bytes > FLeft)
            FailTooLarge("Image frames take too much memory");
        FLeft -= bytes;
    }

private:
    std::uint64_t FLeft { kMaxImageBytes };
};

// Little-endian reading with bounds checks.
struct TReader {
    const std::uint8_t* Data;
    std::size_t Size;
    bool Has(std::size_t offset, std::size_t n) const { return offset <= Size && n <= Size - offset; }
    std::uint32_t U8(std::size_t o) const { return Has(o, 1) ? Data[o] : (Fail("Truncated image file"), 0); }
    std::uint32_t U16(std::size_t o) const
    {
        if (!Has(o, 2))
            Fail("Truncated image file");
        return std::uint32_t(Data[o]) | (std::uint32_t(Data[o + 1]) << 8);
    }
    std::uint32_t U32(std::size_t o) const
    {
        if (!Has(o, 4))
            Fail("Truncated image file");
        return std::uint32_t(Data[o]) | (std::uint32_t(Data[o + 1]) << 8) | (std::uint32_t(Data[o + 2]) << 16) | (std::uint32_t(Data[o + 3]) << 24);
    }
    std::int32_t I32(std::size_t o) const { return std::int32_t(U32(o)); }
};

int Shift(std::uint32_t mask)
{
    int s = 0;
    while (mask && !(mask & 1)) {
        mask >>= 1;
        ++s;
    }
    return s;
}

std::uint32_t Channel(std::uint32_t v, std::uint32_t mask)
{
    if (!mask)
        return 0;
    const int s = Shift(mask);
    const std::uint32_t m = mask >> s;
    return m ? ((v & mask) >> s) * 255 / m : 0;
}

// The size a device-independent bitmap header at `at` declares (a negative
// height: rows top-down); `icon` means the height is doubled and an AND mask
// follows the colour pixels.
void DibSize(const TReader& r, std::size_t at, bool icon, long long& w, long long& h)
{
    const std::uint32_t hsize = r.U32(at);
    if (hsize == 12) {
        w = r.U16(at + 4);
        h = std::int16_t(r.U16(at + 6));
    } else if (hsize >= 40 && hsize <= 124) {
        w = r.I32(at + 4);
        h = r.I32(at + 8);
    } else {
        Fail("Unsupported bitmap header");
    }
    if (icon)
        h /= 2;
}

// A device-independent bitmap: header, palette and pixels.
TImageFrame DecodeDib(const TReader& r, std::size_t at, std::size_t pixelsAt, bool icon, TPixelBudget& budget)
{
    const std::uint32_t hsize = r.U32(at);
    long long w, h;
    DibSize(r, at, icon, w, h);
    unsigned bpp, compression = 0, colorsUsed = 0;
    std::uint32_t masks[4] = { 0x00FF0000, 0x0000FF00, 0x000000FF, 0 };
    const bool core = hsize == 12;
    if (core) {
        bpp = r.U16(at + 10);
    } else {
        bpp = r.U16(at + 14);
        compression = r.U32(at + 16);
        colorsUsed = r.U32(at + 32);
    }
    const bool topDown = h < 0;
    if (topDown)
        h = -h;
    budget.Take(w, h);
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
        Fail("Unsupported bitmap depth");
    std::size_t paletteAt = at + hsize;
    if (compression == BI_BITFIELDS) {
        if (bpp != 16 && bpp != 32)
            Fail("Invalid bitmap bit fields");
        if (hsize >= 52) {
            masks[0] = r.U32(at + 40);
            masks[1] = r.U32(at + 44);
            masks[2] = r.U32(at + 48);
            if (hsize >= 56)
                masks[3] = r.U32(at + 52);
        } else {
            masks[0] = r.U32(paletteAt);
            masks[1] = r.U32(paletteAt + 4);
            masks[2] = r.U32(paletteAt + 8);
            paletteAt += 12;
        }
    } else if (compression != BI_RGB) {
        Fail("Unsupported bitmap compression");
    } else if (bpp == 16) {
        masks[0] = 0x7C00;
        masks[1] = 0x03E0;
        masks[2] = 0x001F;
    }
    std::vector<std::uint32_t> palette;
    if (bpp <= 8) {
        const unsigned n = colorsUsed ? std::min(colorsUsed, 1u << bpp) : (1u << bpp);
        const unsigned entry = core ? 3 : 4;
        for (unsigned i = 0; i < n; ++i) {
            const std::size_t o = paletteAt + std::size_t(i) * entry;
            palette.push_back(0xFF000000u | (r.U8(o + 2) << 16) | (r.U8(o + 1) << 8) | r.U8(o));
        }
        if (!pixelsAt)
            pixelsAt = paletteAt + std::size_t(n) * entry;
    } else if (!pixelsAt) {
        pixelsAt = paletteAt;
    }
    const std::size_t stride = ((std::size_t(w) * bpp + 31) / 32) * 4;
    if (!r.Has(pixelsAt, stride * std::size_t(h)))
        Fail("Truncated image file");
    TImageFrame f;
    f.Width = int(w);
    f.Height = int(h);
    f.Pixels.resize(std::size_t(w) * std::size_t(h));
    bool anyAlpha = false;
    for (long long y = 0; y < h; ++y) {
        const std::uint8_t* row = r.Data + pixelsAt + std::size_t(topDown ? y : h - 1 - y) * stride;
        for (long long x = 0; x < w; ++x) {
            std::uint32_t px;
            switch (bpp) {
            case 1: case 4: case 8: {
                const std::size_t bit = std::size_t(x) * bpp;
                const unsigned idx = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
                px = idx < palette.size() ? palette[idx] : 0xFF000000u;
                break;
            }
            case 16: {
                const std::uint32_t v = row[x * 2] | (std::uint32_t(row[x * 2 + 1]) << 8);
                px = 0xFF000000u | (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) | Channel(v, masks[2]);
                break;
            }
            case 24:
                px = 0xFF000000u | (std::uint32_t(row[x * 3 + 2]) << 16) | (std::uint32_t(row[x * 3 + 1]) << 8) | row[x * 3];
                break;
            default: {
                std::uint32_t v;
                std::memcpy(&v, row + x * 4, 4);
                const std::uint32_t a = masks[3] ? Channel(v, masks[3]) : (v >> 24);
                anyAlpha |= a != 0;
                px = (a << 24) | (Channel(v, masks[0]) << 16) | (Channel(v, masks[1]) << 8) | Channel(v, masks[2]);
                break;
            }
            }
            f.At(int(x), int(y)) = px;
        }
    }
    // 32-bit pixels whose alpha is all zero were written without alpha.
    if (bpp == 32 && !anyAlpha)
        for (auto& p : f.Pixels)
            p |= 0xFF000000u;
    if (icon && !(bpp == 32 && anyAlpha)) {
        const std::size_t maskAt = pixelsAt + stride * std::size_t(h);
        const std::size_t mstride = ((std::size_t(w) + 31) / 32) * 4;
        if (r.Has(maskAt, mstride * std::size_t(h))) {
            for (long long y = 0; y < h; ++y) {
                const std::uint8_t* row = r.Data + maskAt + std::size_t(topDown ? y : h - 1 - y) * mstride;
                for (long long x = 0; x < w; ++x)
                    if (row[x / 8] & (0x80 >> (x % 8)))
                        f.At(int(x), int(y)) = 0;
            }
        }
    }
    return f;
}

TImage DecodeBmp(const TReader& r)
{
    if (!r.Has(0, 18))
        Fail("Truncated image file");
    const std::uint32_t offset = r.U32(10);
    TImage img;
    img.Format = TImageFormat::Bmp;
    TPixelBudget budget;
    img.Frames.push_back(DecodeDib(r, 14, offset, false, budget));
    return img;
}

TImage DecodePng(const std::uint8_t* data, std::size_t size, TPixelBudget& budget)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size))
        throw EImageError(u"Invalid PNG image: " + Utf8ToString(image.message));
    image.format = PNG_FORMAT_BGRA;
    try {
        budget.Take(image.width, image.height);
    } catch (...) {
        png_image_free(&image);
        throw;
    }
    TImageFrame f;
    f.Width = int(image.width);
    f.Height = int(image.height);
    f.Pixels.resize(std::size_t(f.Width) * std::size_t(f.Height));
    if (!png_image_finish_read(&image, nullptr, f.Pixels.data(), 0, nullptr)) {
        const String msg = Utf8ToString(image.message);
        png_image_free(&image);
        throw EImageError(u"Invalid PNG image: " + msg);
    }
    TImage img;
    img.Format = TImageFormat::Png;
    img.Frames.push_back(std::move(f));
    return img;
}

struct TJpegError {
    jpeg_error_mgr Mgr;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
    bool TooLarge;
};

void JpegErrorExit(j_common_ptr cinfo)
{
    auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->Message);
    std::longjmp(e->Jump, 1);
}

// Leaving this frame by longjmp skips destructors, so nothing in it has one:
// the pixels belong to the caller's frame, and libjpeg writes each row
// straight into them (four bytes per pixel, converted in place).
bool DecodeJpegInto(const std::uint8_t* data, std::size_t size, TImageFrame* out, TJpegError* err)
{
    jpeg_decompress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->Mgr);
    err->Mgr.error_exit = JpegErrorExit;
    if (setjmp(err->Jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    // Checked before decompression starts: the library would otherwise make
    // up every pixel a tiny file declares.
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > 65535 || cinfo.image_height > 65535
        || std::uint64_t(cinfo.image_width) * cinfo.image_height > kMaxImagePixels) {
        err->TooLarge = cinfo.image_width != 0 && cinfo.image_height != 0;
        std::strcpy(err->Message, err->TooLarge ? kTooLarge : "Invalid image size");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_width != cinfo.image_width || cinfo.output_height != cinfo.image_height || cinfo.output_components != 4) {
        std::strcpy(err->Message, "Invalid image size");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out->Width = int(cinfo.output_width);
    out->Height = int(cinfo.output_height);
    try {
        out->Pixels.resize(std::size_t(out->Width) * std::size_t(out->Height));
    } catch (const std::bad_alloc&) {
        std::strcpy(err->Message, "Out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        const int y = int(cinfo.output_scanline);
        std::uint32_t* pixels = &out->At(0, y);
        JSAMPROW rows[1] = { reinterpret_cast<JSAMPROW>(pixels) };
        jpeg_read_scanlines(&cinfo, rows, 1);
        for (int x = 0; x < out->Width; ++x) {
            std::uint8_t p[4];
            std::memcpy(p, pixels + x, 4);
            if (cmyk) {
                // Adobe writes CMYK inverted; the product of ink and key gives each channel.
                const unsigned k = p[3];
                pixels[x] = 0xFF000000u | ((p[0] * k / 255) << 16) | ((p[1] * k / 255) << 8) | (p[2] * k / 255);
            } else {
                pixels[x] = 0xFF000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
            }
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

TImage DecodeJpeg(const std::uint8_t* data, std::size_t size)
{
    auto frame = std::make_unique<TImageFrame>();
    auto err = std::make_unique<TJpegError>();
    err->Message[0] = 0;
    err->TooLarge = false;
    if (!DecodeJpegInto(data, size, frame.get(), err.get())) {
        const String message = u"Invalid JPEG image: " + Utf8ToString(err->Message);
        if (err->TooLarge)
            throw EImageTooLarge(message);
        throw EImageError(message);
    }
    TImage img;
    img.Format = TImageFormat::Jpeg;
    img.Frames.push_back(std::move(*frame));
    return img;
}

struct TGifSource {
    const std::uint8_t* Data;
    std::size_t Size;
    std::size_t Pos { 0 };
};

int GifRead(GifFileType* gif, GifByteType* buf, int n)
{
    auto* s = static_cast<TGifSource*>(gif->UserData);
    const std::size_t take = std::min<std::size_t>(std::size_t(std::max(n, 0)), s->Size - s->Pos);
    std::memcpy(buf, s->Data + s->Pos, take);
    s->Pos += take;
    return int(take);
}

using TGifFile = std::unique_ptr<GifFileType, void (*)(GifFileType*)>;

TGifFile OpenGif(TGifSource& src)
{
    int error = 0;
    GifFileType* gif = DGifOpen(&src, GifRead, &error);
    if (!gif)
        throw EImageError(u"Invalid GIF image: " + Utf8ToString(GifErrorString(error) ? GifErrorString(error) : "unreadable"));
    return TGifFile(gif, [](GifFileType* g) { int e; DGifCloseFile(g, &e); });
}

[[noreturn]] void FailGif(const GifFileType* gif, const char* fallback)
{
    const char* what = GifErrorString(gif->Error);
    throw EImageError(u"Invalid GIF image: " + Utf8ToString(what ? what : fallback));
}

// Passes over the image data of the frame just described without decoding it.
bool SkipGifImageData(GifFileType* gif)
{
    int codeSize = 0;
    GifByteType* block = nullptr;
    if (DGifGetCode(gif, &codeSize, &block) != GIF_OK)
        return false;
    while (block)
        if (DGifGetCodeNext(gif, &block) != GIF_OK)
            return false;
    return true;
}

// Reads an extension's blocks: the graphic control of the next frame and the
// loop count; others are passed over.
bool ReadGifExtension(GifFileType* gif, GraphicsControlBlock& gcb, int& loopCount)
{
    int code = 0;
    GifByteType* block = nullptr;
    if (DGifGetExtension(gif, &code, &block) != GIF_OK)
        return false;
    bool netscape = false;
    for (bool first = true; block; first = false) {
        if (code == GRAPHICS_EXT_FUNC_CODE && first)
            DGifExtensionToGCB(block[0], block + 1, &gcb);
        else if (code == APPLICATION_EXT_FUNC_CODE && first)
            netscape = block[0] >= 11 && std::memcmp(block + 1, "NETSCAPE2.0", 11) == 0;
        else if (netscape && block[0] >= 3 && block[1] == 1)
            loopCount = block[2] | (block[3] << 8);
        if (DGifGetExtensionNext(gif, &block) != GIF_OK)
            return false;
    }
    return true;
}

// Checks what the file declares before any pixel is allocated: the screen
// and every frame within the pixel cap, all frames together (and the saved
// screen that "restore to previous" needs) within the memory cap. Returns
// the number of frames described (a cut file may end inside the last one).
int CheckGifSizes(const std::uint8_t* data, std::size_t size)
{
    TGifSource src { data, size };
    TGifFile gif = OpenGif(src);
    CheckSize(gif->SWidth, gif->SHeight);
    TPixelBudget budget;
    int frames = 0;
    bool savesScreen = false;
    GraphicsControlBlock gcb { DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR };
    int loop = 0;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (type != TERMINATE_RECORD_TYPE && DGifGetRecordType(gif.get(), &type) == GIF_OK) {
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif.get()) != GIF_OK)
                break;
            CheckSize(gif->Image.Width, gif->Image.Height);
            budget.Take(gif->SWidth, gif->SHeight);
            if (gcb.DisposalMode == DISPOSE_PREVIOUS && !savesScreen) {
                budget.Take(gif->SWidth, gif->SHeight);
                savesScreen = true;
            }
            gcb.DisposalMode = DISPOSAL_UNSPECIFIED;
            ++frames;
            if (!SkipGifImageData(gif.get()))
                break;
        } else if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadGifExtension(gif.get(), gcb, loop))
                break;
        }
    }
    return frames;
}

// Every frame is the whole logical screen as it shows after that frame: the
// previous frame, disposed of as it asked, with this frame's pixels drawn
// over it. Frame pixels are decoded one row at a time straight onto it.
TImage DecodeGif(const std::uint8_t* data, std::size_t size)
{
    const int declared = CheckGifSizes(data, size);
    TGifSource src { data, size };
    TGifFile gif = OpenGif(src);
    TImage img;
    img.Format = TImageFormat::Gif;
    img.Frames.reserve(std::size_t(declared));
    const int w = gif->SWidth, h = gif->SHeight;
    const std::size_t screen = std::size_t(w) * std::size_t(h);
    GraphicsControlBlock gcb { DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR };
    // How the last frame asked to be disposed of, over which rectangle, and
    // for DISPOSE_PREVIOUS the screen as it was before that frame.
    int disposal = DISPOSAL_UNSPECIFIED;
    TRect disposeRect;
    std::vector<std::uint32_t> previous;
    std::vector<GifPixelType> row;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    while (type != TERMINATE_RECORD_TYPE) {
        if (DGifGetRecordType(gif.get(), &type) != GIF_OK)
            break;
        if (type == EXTENSION_RECORD_TYPE) {
            if (!ReadGifExtension(gif.get(), gcb, img.LoopCount))
                break;
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE)
            continue;
        // A file may describe more frames here than were counted only if it
        // changed; never go past what was checked.
        if (DGifGetImageDesc(gif.get()) != GIF_OK || int(img.Frames.size()) >= declared)
            break;
        TImageFrame f;
        f.Width = w;
        f.Height = h;
        const GifImageDesc& d = gif->Image;
        // The screen this frame is drawn onto, made once its first row has
        // been read: a file cut before its picture data costs no screen.
        auto startScreen = [&] {
            if (img.Frames.empty())
                f.Pixels.assign(screen, 0);
            else if (disposal == DISPOSE_PREVIOUS && !previous.empty())
                f.Pixels = previous;
            else
                f.Pixels = img.Frames.back().Pixels;
            if (disposal == DISPOSE_BACKGROUND)
                for (int y = std::max(0, disposeRect.Top); y < std::min(h, disposeRect.Bottom); ++y)
                    for (int x = std::max(0, disposeRect.Left); x < std::min(w, disposeRect.Right); ++x)
                        f.At(x, y) = 0;
            if (gcb.DisposalMode == DISPOSE_PREVIOUS)
                previous = f.Pixels;
        };
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        row.resize(std::size_t(d.Width));
        bool complete = true;
        // Interlaced rows come in four passes: every 8th from 0, every 8th
        // from 4, every 4th from 2, every 2nd from 1.
        static constexpr int passStart[4] = { 0, 4, 2, 1 }, passStep[4] = { 8, 8, 4, 2 };
        const int passes = d.Interlace ? 4 : 1;
        for (int pass = 0; pass < passes && complete; ++pass) {
            const int first = d.Interlace ? passStart[pass] : 0, step = d.Interlace ? passStep[pass] : 1;
            for (int y = first; y < d.Height; y += step) {
                if (DGifGetLine(gif.get(), row.data(), d.Width) != GIF_OK) {
                    complete = false;
                    break;
                }
                if (f.Pixels.empty())
                    startScreen();
                const int cy = d.Top + y;
                if (!map || cy < 0 || cy >= h)
                    continue;
                for (int x = 0; x < d.Width; ++x) {
                    const int cx = d.Left + x, idx = row[std::size_t(x)];
                    if (cx < 0 || cx >= w || idx == gcb.TransparentColor || idx >= map->ColorCount)
                        continue;
                    const GifColorType& c = map->Colors[idx];
                    f.At(cx, cy) = 0xFF000000u | (std::uint32_t(c.Red) << 16) | (std::uint32_t(c.Green) << 8) | c.Blue;
                }
            }
        }
        // A file cut short after its first frames still shows those frames;
        // the last, incomplete one is left out.
        if (!complete)
            break;
        if (f.Pixels.empty())
            startScreen();
        f.DelayMs = gcb.DelayTime * 10;
        img.Frames.push_back(std::move(f));
        disposal = gcb.DisposalMode;
        disposeRect = TRect(d.Left, d.Top, d.Left + d.Width, d.Top + d.Height);
        gcb = GraphicsControlBlock { DISPOSAL_UNSPECIFIED, false, 0, NO_TRANSPARENT_COLOR };
    }
    if (img.Frames.empty())
        FailGif(gif.get(), "no frames");
    return img;
}

TImage DecodeIco(const TReader& r, bool cursor)
{
    const unsigned count = r.U16(4);
    if (count == 0)
        Fail("Icon file holds no images");
    TImage img;
    img.Format = cursor ? TImageFormat::Cur : TImageFormat::Ico;
    TPixelBudget budget;
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t e = 6 + std::size_t(i) * 16;
        const std::uint32_t bytes = r.U32(e + 8), offset = r.U32(e + 12);
        if (!r.Has(offset, bytes) || bytes < 8)
            Fail("Truncated image file");
        TImageFrame f;
        if (SniffImageFormat(r.Data + offset, bytes) == TImageFormat::Png)
            f = std::move(DecodePng(r.Data + offset, bytes, budget).Frames.front());
        else
            f = DecodeDib(TReader { r.Data, std::size_t(offset) + bytes }, offset, 0, true, budget);
        if (cursor)
            f.Hotspot = { int(r.U16(e + 4)), int(r.U16(e + 6)) };
        img.Frames.push_back(std::move(f));
    }
    return img;
}

// The frame header of a JPEG file, found by walking its markers up to the
// first scan.
void CheckJpegHeader(const TReader& r, TPixelBudget& budget)
{
    std::size_t at = 2;
    for (;;) {
        if (r.U8(at) != 0xFF)
            return; // not a marker: the decoder reports the file
        const std::uint32_t marker = r.U8(at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { // no length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9) // the scan or the end, with no frame header before it
            return;
        const std::size_t length = (std::size_t(r.U8(at + 2)) << 8) | r.U8(at + 3);
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            const long long h = (r.U8(at + 5) << 8) | r.U8(at + 6), w = (r.U8(at + 7) << 8) | r.U8(at + 8);
            budget.Take(w, h);
            return;
        }
        if (length < 2)
            return;
        at += 2 + length;
    }
}

// Every image directory of a TIFF file, charged to the budget (width and
// height as SHORT or LONG tags); at most a few thousand directories, no loop.
void CheckTiffHeader(const TReader& r, TPixelBudget& budget)
{
    const bool big = r.U8(0) == 'M';
    auto u16 = [&](std::size_t o) { return big ? (r.U8(o) << 8) | r.U8(o + 1) : r.U16(o); };
    auto u32 = [&](std::size_t o) {
        return big ? (r.U8(o) << 24) | (r.U8(o + 1) << 16) | (r.U8(o + 2) << 8) | r.U8(o + 3) : r.U32(o);
    };
    if (u16(2) != 42)
        return;
    std::size_t dir = u32(4);
    for (int n = 0; dir != 0 && n < 4096; ++n) {
        const std::size_t entries = u16(dir);
        long long w = 0, h = 0;
        for (std::size_t i = 0; i < entries; ++i) {
            const std::size_t e = dir + 2 + i * 12;
            const std::uint32_t tag = u16(e), type = u16(e + 2);
            if (tag != 256 && tag != 257)
                continue;
            const long long v = type == 3 ? u16(e + 8) : type == 4 ? u32(e + 8) : 0;
            (tag == 256 ? w : h) = v;
        }
        if (w <= 0 || h <= 0)
            return; // the decoder reports it
        budget.Take(w, h);
        const std::size_t next = u32(dir + 2 + entries * 12);
        if (next <= dir)
            return;
        dir = next;
    }
}

// The size in the header chunk of a PNG file starting at `at`.
void CheckPngHeader(const TReader& r, std::size_t at, TPixelBudget& budget)
{
    if (!r.Has(at + 12, 12) || std::memcmp(r.Data + at + 12, "IHDR", 4) != 0)
        return;
    auto be32 = [&](std::size_t o) {
        return (r.U8(o) << 24) | (r.U8(o + 1) << 16) | (r.U8(o + 2) << 8) | r.U8(o + 3);
    };
    budget.Take(be32(at + 16), be32(at + 20));
}

void CheckDeclaredSizes(const std::uint8_t* data, std::size_t size)
{
    const TReader r { data, size };
    TPixelBudget budget;
    if (size >= 4 && ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M'))) {
        CheckTiffHeader(r, budget);
        return;
    }
    switch (SniffImageFormat(data, size)) {
    case TImageFormat::Bmp: {
        long long w = 0, h = 0;
        DibSize(r, 14, false, w, h);
        budget.Take(w, h < 0 ? -h : h);
        break;
    }
    case TImageFormat::Png:
        CheckPngHeader(r, 0, budget);
        break;
    case TImageFormat::Jpeg:
        CheckJpegHeader(r, budget);
        break;
    case TImageFormat::Gif:
        CheckGifSizes(data, size);
        break;
    case TImageFormat::Ico:
    case TImageFormat::Cur:
        for (unsigned i = 0, count = r.U16(4); i < count; ++i) {
            const std::size_t e = 6 + std::size_t(i) * 16;
            const std::uint32_t bytes = r.U32(e + 8), offset = r.U32(e + 12);
            if (!r.Has(offset, bytes) || bytes < 8)
                return;
            if (SniffImageFormat(data + offset, bytes) == TImageFormat::Png) {
                CheckPngHeader(TReader { data, std::size_t(offset) + bytes }, offset, budget);
            } else {
                long long w = 0, h = 0;
                DibSize(TReader { data, std::size_t(offset) + bytes }, offset, true, w, h);
                budget.Take(w, h < 0 ? -h : h);
            }
        }
        break;
    default:
        break;
    }
}

void CheckFrame(const TImageFrame& f)
{
    CheckSize(f.Width, f.Height);
    if (f.Pixels.size() != std::size_t(f.Width) * std::size_t(f.Height))
        Fail("Image pixels do not match its size");
}

void Put16(TBytes& b, std::uint32_t v)
{
    b.push_back(BYTE(v));
    b.push_back(BYTE(v >> 8));
}

void Put32(TBytes& b, std::uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

struct TJpegDest {
    unsigned char* Buffer { nullptr };
    unsigned long Size { 0 };
};

bool EncodeJpegInto(const TImageFrame* f, int quality, TJpegDest* dest, TJpegError* err)
{
    jpeg_compress_struct cinfo;
    cinfo.err = jpeg_std_error(&err->Mgr);
    err->Mgr.error_exit = JpegErrorExit;
    if (setjmp(err->Jump)) {
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &dest->Buffer, &dest->Size);
    cinfo.image_width = JDIMENSION(f->Width);
    cinfo.image_height = JDIMENSION(f->Height);
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(const_cast<std::uint32_t*>(f->Pixels.data() + std::size_t(cinfo.next_scanline) * std::size_t(f->Width)));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

std::uint32_t Premultiply(std::uint32_t p)
{
    const std::uint32_t a = p >> 24;
    if (a == 255)
        return p;
    auto c = [&](int s) { return ((((p >> s) & 0xFF) * a + 127) / 255) << s; };
    return (a << 24) | c(16) | c(8) | c(0);
}

std::uint32_t Unpremultiply(std::uint32_t p)
{
    const std::uint32_t a = p >> 24;
    if (a == 255)
        return p;
    if (a == 0)
        return 0;
    auto c = [&](int s) { return std::min<std::uint32_t>(255, (((p >> s) & 0xFF) * 255 + a / 2) / a) << s; };
    return (a << 24) | c(16) | c(8) | c(0);
}

} // namespace

TImageFormat SniffImageFormat(const std::uint8_t* d, std::size_t n)
{
    if (!d)
        return TImageFormat::Unknown;
    if (n >= 2 && d[0] == 'B' && d[1] == 'M')
        return TImageFormat::Bmp;
    if (n >= 8 && std::memcmp(d, "\x89PNG\r\n\x1a\n", 8) == 0)
        return TImageFormat::Png;
    if (n >= 3 && d[0] == 0xFF && d[1] == 0xD8 && d[2] == 0xFF)
        return TImageFormat::Jpeg;
    if (n >= 6 && (std::memcmp(d, "GIF87a", 6) == 0 || std::memcmp(d, "GIF89a", 6) == 0))
        return TImageFormat::Gif;
    if (n >= 6 && d[0] == 0 && d[1] == 0 && (d[2] == 1 || d[2] == 2) && d[3] == 0 && (d[4] | d[5]))
        return d[2] == 1 ? TImageFormat::Ico : TImageFormat::Cur;
    return TImageFormat::Unknown;
}

TImage DecodeImage(const std::uint8_t* data, std::size_t size)
{
    const TReader r { data, size };
    switch (SniffImageFormat(data, size)) {
    case TImageFormat::Bmp: return DecodeBmp(r);
    case TImageFormat::Png: {
        TPixelBudget budget;
        return DecodePng(data, size, budget);
    }
    case TImageFormat::Jpeg: return DecodeJpeg(data, size);
    case TImageFormat::Gif: return DecodeGif(data, size);
    case TImageFormat::Ico: return DecodeIco(r, false);
    case TImageFormat::Cur: return DecodeIco(r, true);
    default: Fail("Unknown image format");
    }
}

bool DeclaredSizesWithinCaps(const std::uint8_t* data, std::size_t size)
{
    if (!data)
        return true;
    try {
        CheckDeclaredSizes(data, size);
    } catch (const EImageTooLarge&) {
        return false;
    } catch (const EImageError&) {
    }
    return true;
}

TImage DecodeImage(const TBytes& bytes)
{
    return DecodeImage(bytes.data(), bytes.size());
}

TImage LoadImageFile(const String& path)
{
    std::ifstream in(StringToUtf8(path), std::ios::binary);
    if (!in)
        throw EImageError(u"Cannot open image file \"" + path + u"\"");
    const TBytes bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return DecodeImage(bytes);
}

TBytes EncodeBmp(const TImageFrame& f, bool withAlpha)
{
    CheckFrame(f);
    const unsigned bpp = withAlpha ? 32 : 24;
    const std::size_t stride = ((std::size_t(f.Width) * bpp + 31) / 32) * 4;
    const std::size_t imageSize = stride * std::size_t(f.Height);
    TBytes b;
    b.reserve(54 + imageSize);
    b.push_back('B');
    b.push_back('M');
    Put32(b, std::uint32_t(54 + imageSize));
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, std::uint32_t(f.Width));
    Put32(b, std::uint32_t(f.Height));
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, BI_RGB);
    Put32(b, std::uint32_t(imageSize));
    Put32(b, 3780); // 96 dots per inch
    Put32(b, 3780);
    Put32(b, 0);
    Put32(b, 0);
    for (int y = f.Height - 1; y >= 0; --y) {
        const std::size_t start = b.size();
        for (int x = 0; x < f.Width; ++x) {
            const std::uint32_t p = f.At(x, y);
            b.push_back(BYTE(p));
            b.push_back(BYTE(p >> 8));
            b.push_back(BYTE(p >> 16));
            if (withAlpha)
                b.push_back(BYTE(p >> 24));
        }
        b.resize(start + stride, 0);
    }
    return b;
}

TBytes EncodePng(const TImageFrame& f)
{
    CheckFrame(f);
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(f.Width);
    image.height = png_uint_32(f.Height);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, f.Pixels.data(), 0, nullptr))
        throw EImageError(u"Cannot write PNG image: " + Utf8ToString(image.message));
    TBytes out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, f.Pixels.data(), 0, nullptr))
        throw EImageError(u"Cannot write PNG image: " + Utf8ToString(image.message));
    out.resize(size);
    return out;
}

TBytes EncodeJpeg(const TImageFrame& f, int quality)
{
    CheckFrame(f);
    auto dest = std::make_unique<TJpegDest>();
    auto err = std::make_unique<TJpegError>();
    err->Message[0] = 0;
    const bool ok = EncodeJpegInto(&f, std::clamp(quality, 1, 100), dest.get(), err.get());
    TBytes out;
    if (ok && dest->Buffer)
        out.assign(dest->Buffer, dest->Buffer + dest->Size);
    std::free(dest->Buffer);
    if (!ok)
        throw EImageError(u"Cannot write JPEG image: " + Utf8ToString(err->Message));
    return out;
}

void SaveImageFile(const String& path, const TImageFrame& frame, TImageFormat format, int jpegQuality)
{
    TBytes bytes;
    switch (format) {
    case TImageFormat::Bmp: bytes = EncodeBmp(frame); break;
    case TImageFormat::Png: bytes = EncodePng(frame); break;
    case TImageFormat::Jpeg: bytes = EncodeJpeg(frame, jpegQuality); break;
    default: Fail("Cannot write this image format");
    }
    std::ofstream out(StringToUtf8(path), std::ios::binary | std::ios::trunc);
    if (!out || !out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())))
        throw EImageError(u"Cannot write image file \"" + path + u"\"");
}

HBITMAP CreateBitmapFromFrame(const TImageFrame& f)
{
    CheckFrame(f);
    BITMAPINFO bi {};
    bi.bmiHeader.biWidth = f.Width;
    bi.bmiHeader.biHeight = -f.Height;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp)
        Fail("Cannot create a bitmap for the image");
    auto* out = static_cast<std::uint32_t*>(bits);
    for (std::size_t i = 0; i < f.Pixels.size(); ++i)
        out[i] = Premultiply(f.Pixels[i]);
    auto b = gdi::LookupAs<gdi::TBitmap>(bmp, gdi::TKind::Bitmap);
    cairo_surface_mark_dirty(b->Surface);
    return bmp;
}

TImageFrame FrameFromBitmap(HBITMAP bitmap)
{
    auto b = gdi::LookupAs<gdi::TBitmap>(bitmap, gdi::TKind::Bitmap);
    if (!b)
        Fail("Invalid bitmap handle");
    b->BitsToSurface();
    cairo_surface_flush(b->Surface);
    TImageFrame f;
    f.Width = b->Width;
    f.Height = b->Height;
    f.Pixels.resize(std::size_t(f.Width) * std::size_t(f.Height));
    const auto* data = cairo_image_surface_get_data(b->Surface);
    const int stride = cairo_image_surface_get_stride(b->Surface);
    for (int y = 0; y < f.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < f.Width; ++x)
            f.At(x, y) = Unpremultiply(row[x]);
    }
    return f;
}

HICON CreateIconFromFrame(const TImageFrame& f, bool isIcon)
{
    CheckFrame(f);
    auto icon = std::make_shared<gdi::TIcon>();
    icon->Width = f.Width;
    icon->Height = f.Height;
    icon->IsIcon = isIcon;
    icon->Hotspot = f.Hotspot;
    icon->Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, f.Width, f.Height);
    cairo_surface_flush(icon->Surface);
    auto* data = cairo_image_surface_get_data(icon->Surface);
    const int stride = cairo_image_surface_get_stride(icon->Surface);
    for (int y = 0; y < f.Height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < f.Width; ++x)
            row[x] = Premultiply(f.At(x, y));
    }
    cairo_surface_mark_dirty(icon->Surface);
    return HICON(gdi::Register(icon));
}

TImageFrame FrameFromIcon(HICON h)
{
    auto icon = gdi::LookupAs<gdi::TIcon>(h, gdi::TKind::Icon);
    if (!icon)
        Fail("Invalid icon handle");
    cairo_surface_flush(icon->Surface);
    TImageFrame f;
    f.Width = icon->Width;
    f.Height = icon->Height;
    f.Hotspot = icon->Hotspot;
    f.Pixels.resize(std::size_t(f.Width) * std::size_t(f.Height));
    const auto* data = cairo_image_surface_get_data(icon->Surface);
    const int stride = cairo_image_surface_get_stride(icon->Surface);
    for (int y = 0; y < f.Height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        for (int x = 0; x < f.Width; ++x)
            f.At(x, y) = Unpremultiply(row[x]);
    }
    return f;
}
