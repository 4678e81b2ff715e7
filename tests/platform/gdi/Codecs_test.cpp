#include <gtest/gtest.h>

#include <gif_lib.h>

#include <cstring>

#include "platform/gdi/Codecs.h"
#include "tests/support/Fixtures.h"

namespace {

TImageFrame Pattern(int w, int h, bool alpha)
{
    TImageFrame f;
    f.Width = w;
    f.Height = h;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const std::uint32_t a = alpha ? std::uint32_t(255 - 30 * ((x + y) % 4)) : 255;
            f.Pixels.push_back((a << 24) | (std::uint32_t(x * 40) << 16) | (std::uint32_t(y * 50) << 8) | std::uint32_t((x * y * 17) & 0xFF));
        }
    return f;
}

int MaxChannelDiff(std::uint32_t a, std::uint32_t b)
{
    int d = 0;
    for (int s = 0; s < 32; s += 8)
        d = std::max(d, std::abs(int((a >> s) & 0xFF) - int((b >> s) & 0xFF)));
    return d;
}

TEST(Codecs, RoundTrips)
{
    struct Case {
        const char* name;
        TImageFormat format;
        bool alpha;
        int tolerance;
    };
    const Case cases[] = {
        { "bmp", TImageFormat::Bmp, false, 0 },
        { "bmp with alpha", TImageFormat::Bmp, true, 0 },
        { "png", TImageFormat::Png, true, 0 },
        { "jpeg", TImageFormat::Jpeg, false, 6 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Lossy compression gets a smooth picture; the others a busy one.
        TImageFrame f = Pattern(7, 5, c.alpha);
        if (c.format == TImageFormat::Jpeg)
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x)
                    f.At(x, y) = 0xFF000000u | (std::uint32_t(100 + x * 4) << 16) | (std::uint32_t(80 + y * 4) << 8) | 120u;
        TBytes bytes;
        switch (c.format) {
        case TImageFormat::Bmp: bytes = EncodeBmp(f, c.alpha); break;
        case TImageFormat::Png: bytes = EncodePng(f); break;
        default: bytes = EncodeJpeg(f, 100); break;
        }
        EXPECT_EQ(SniffImageFormat(bytes.data(), bytes.size()), c.format);
        const TImage img = DecodeImage(bytes);
        EXPECT_EQ(img.Format, c.format);
        ASSERT_EQ(img.Frames.size(), 1u);
        const auto& g = img.Frames[0];
        ASSERT_EQ(g.Width, 7);
        ASSERT_EQ(g.Height, 5);
        int worst = 0;
        for (std::size_t i = 0; i < f.Pixels.size(); ++i)
            worst = std::max(worst, MaxChannelDiff(f.Pixels[i], g.Pixels[i]));
        EXPECT_LE(worst, c.tolerance);
    }
}

TEST(Codecs, JpegQualityTradesSizeForFidelity)
{
    TImageFrame f = Pattern(64, 64, false);
    const TBytes low = EncodeJpeg(f, 10), high = EncodeJpeg(f, 95);
    EXPECT_LT(low.size(), high.size());
    const auto diff = [&](const TBytes& b) {
        const auto g = DecodeImage(b).Frames[0];
        long long sum = 0;
        for (std::size_t i = 0; i < f.Pixels.size(); ++i)
            sum += MaxChannelDiff(f.Pixels[i], g.Pixels[i]);
        return sum;
    };
    EXPECT_LT(diff(high), diff(low));
}

TEST(Codecs, FilesSaveAndLoad)
{
    testsupport::TempDir dir;
    const String path = Utf8ToString((dir / "picture.png").string());
    const TImageFrame f = Pattern(3, 3, true);
    SaveImageFile(path, f, TImageFormat::Png);
    EXPECT_EQ(LoadImageFile(path).Frames[0].Pixels, f.Pixels);
    EXPECT_THROW(LoadImageFile(Utf8ToString((dir / "missing.png").string())), EImageError);
    EXPECT_THROW(SaveImageFile(path, f, TImageFormat::Gif), EImageError);
}

// Each malformed input gives a clear error, never a crash or a bogus image.
TEST(Codecs, MalformedFilesAreRejected)
{
    const TBytes bmp = EncodeBmp(Pattern(4, 4, false));
    const TBytes png = EncodePng(Pattern(4, 4, true));
    const TBytes jpg = EncodeJpeg(Pattern(16, 16, false));
    auto cut = [](const TBytes& b, std::size_t n) { return TBytes(b.begin(), b.begin() + long(std::min(n, b.size()))); };
    TBytes hugeBmp = bmp;
    hugeBmp[18] = 0xFF; hugeBmp[19] = 0xFF; hugeBmp[20] = 0xFF; hugeBmp[21] = 0x7F; // width 2^31 - 1
    TBytes badDepth = bmp;
    badDepth[28] = 7;
    TBytes rle = bmp;
    rle[30] = 1;
    const TBytes emptyIco = { 0, 0, 1, 0, 0, 0 };
    TBytes icoOutside = { 0, 0, 1, 0, 1, 0, 2, 2, 0, 0, 1, 0, 32, 0, 0xFF, 0, 0, 0, 0xF0, 0xFF, 0, 0 };
    struct Case {
        const char* name;
        TBytes bytes;
    };
    // 24 bytes: a screen of 23300 x 2569 (within the cap) and a frame cut
    // before its picture data; found by fuzzing, when the screen was made
    // before the first row was read.
    TBytes cutGif = { 'G', 'I', 'F', '8', '9', 'a', 0x04, 0x5B, 0x09, 0x0A, 0, 1, 0, 0x2C, 0, 0, 0, 0, 0x01, 0x49, 0x50, 0, 0x2C, 0 };

    const std::vector<Case> cases = {
        { "empty", {} },
        { "unknown", { 'X', 'Y', 'Z', 1, 2, 3 } },
        { "bmp header cut", cut(bmp, 20) },
        { "bmp pixels cut", cut(bmp, bmp.size() - 5) },
        { "bmp huge", hugeBmp },
        { "bmp depth", badDepth },
        { "bmp compression", rle },
        { "png cut", cut(png, 30) },
        { "png signature only", cut(png, 8) },
        { "jpeg cut", cut(jpg, 40) },
        { "jpeg marker only", { 0xFF, 0xD8, 0xFF } },
        { "gif header only", { 'G', 'I', 'F', '8', '9', 'a' } },
        { "ico without images", emptyIco },
        { "ico entry outside the file", icoOutside },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(DecodeImage(c.bytes), EImageError);
    }
    try {
        DecodeImage(cut(png, 30));
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message.find(u"PNG"), String::npos);
    }
}

// Writes a GIF with giflib: two 2x2 frames, the second with a transparent
// pixel that lets the first show through, looping for ever.
TBytes MakeGif()
{
    struct Sink {
        TBytes Bytes;
    } sink;
    int err = 0;
    GifFileType* gif = EGifOpen(&sink, [](GifFileType* g, const GifByteType* b, int n) {
        auto* s = static_cast<Sink*>(g->UserData);
        s->Bytes.insert(s->Bytes.end(), b, b + n);
        return n; }, &err);
    GifColorType colors[4] = { { 255, 0, 0 }, { 0, 255, 0 }, { 0, 0, 255 }, { 0, 0, 0 } };
    ColorMapObject* map = GifMakeMapObject(4, colors);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, 2, 2, 8, 0, map);
    EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE);
    EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0");
    const unsigned char loop[3] = { 1, 0, 0 };
    EGifPutExtensionBlock(gif, 3, loop);
    EGifPutExtensionTrailer(gif);
    GifPixelType frames[2][2][2] = { { { 0, 0 }, { 0, 0 } }, { { 1, 3 }, { 2, 1 } } };
    for (int i = 0; i < 2; ++i) {
        GraphicsControlBlock gcb { DISPOSE_DO_NOT, false, 7 + i, i == 1 ? 3 : NO_TRANSPARENT_COLOR };
        GifByteType ext[4];
        const std::size_t len = EGifGCBToExtension(&gcb, ext);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, int(len), ext);
        EGifPutImageDesc(gif, 0, 0, 2, 2, false, nullptr);
        EGifPutLine(gif, frames[i][0], 2);
        EGifPutLine(gif, frames[i][1], 2);
    }
    EGifCloseFile(gif, &err);
    GifFreeMapObject(map);
    return sink.Bytes;
}

TEST(Codecs, GifFramesTransparencyAndTiming)
{
    const TBytes bytes = MakeGif();
    const TImage img = DecodeImage(bytes);
    EXPECT_EQ(img.Format, TImageFormat::Gif);
    ASSERT_EQ(img.Frames.size(), 2u);
    EXPECT_EQ(img.LoopCount, 0);
    EXPECT_EQ(img.Frames[0].DelayMs, 70);
    EXPECT_EQ(img.Frames[1].DelayMs, 80);
    EXPECT_EQ(img.Frames[0].At(1, 0), 0xFFFF0000u);
    EXPECT_EQ(img.Frames[1].At(0, 0), 0xFF00FF00u);
    EXPECT_EQ(img.Frames[1].At(1, 0), 0xFFFF0000u); // transparent: the first frame shows
    EXPECT_EQ(img.Frames[1].At(0, 1), 0xFF0000FFu);

    // A file cut inside its last frame keeps the complete frames.
    const TImage partial = DecodeImage(TBytes(bytes.begin(), bytes.end() - 6));
    EXPECT_EQ(partial.Frames.size(), 1u);
}

void Put16(TBytes& b, unsigned v) { b.push_back(BYTE(v)); b.push_back(BYTE(v >> 8)); }
void Put32(TBytes& b, unsigned v) { Put16(b, v & 0xFFFF); Put16(b, v >> 16); }

// A one-image icon or cursor file around a 2x2 image of 24 bits with an AND mask.
TBytes MakeIcon(bool cursor)
{
    TBytes dib;
    Put32(dib, 40);
    Put32(dib, 2);
    Put32(dib, 4); // doubled height
    Put16(dib, 1);
    Put16(dib, 24);
    for (int i = 0; i < 6; ++i)
        Put32(dib, 0);
    // Colour rows bottom-up, padded to 8 bytes: bottom red/green, top blue/white.
    const BYTE rows[2][6] = { { 0, 0, 255, 0, 255, 0 }, { 255, 0, 0, 255, 255, 255 } };
    for (const auto& r : rows) {
        dib.insert(dib.end(), r, r + 6);
        dib.push_back(0);
        dib.push_back(0);
    }
    // Mask rows: the top-right pixel transparent.
    Put32(dib, 0);
    Put32(dib, 0x40);
    TBytes file;
    Put16(file, 0);
    Put16(file, cursor ? 2 : 1);
    Put16(file, 1);
    file.push_back(2);
    file.push_back(2);
    file.push_back(0);
    file.push_back(0);
    Put16(file, cursor ? 1 : 1);
    Put16(file, cursor ? 0 : 24);
    Put32(file, unsigned(dib.size()));
    Put32(file, 22);
    file.insert(file.end(), dib.begin(), dib.end());
    return file;
}

TEST(Codecs, IconsAndCursors)
{
    const TImage ico = DecodeImage(MakeIcon(false));
    EXPECT_EQ(ico.Format, TImageFormat::Ico);
    ASSERT_EQ(ico.Frames.size(), 1u);
    const auto& f = ico.Frames[0];
    EXPECT_EQ(f.At(0, 0), 0xFF0000FFu);
    EXPECT_EQ(f.At(1, 0), 0u);
    EXPECT_EQ(f.At(0, 1), 0xFFFF0000u);
    EXPECT_EQ(f.At(1, 1), 0xFF00FF00u);

    const TImage cur = DecodeImage(MakeIcon(true));
    EXPECT_EQ(cur.Format, TImageFormat::Cur);
    EXPECT_EQ(cur.Frames[0].Hotspot, (TPoint { 1, 0 }));

    HICON icon = CreateIconFromFrame(f);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(FrameFromIcon(icon).Pixels, f.Pixels);
    DestroyIcon(icon);
}

// A GIF declaring a screen of w x h with `frames` frames of one pixel each
// (one byte of picture data apiece): with 16384 x 16384 and four frames it is
// 80 bytes long.
TBytes TinyFramesGif(unsigned w, unsigned h, int frames, unsigned frameW = 1, unsigned frameH = 1)
{
    TBytes b = { 'G', 'I', 'F', '8', '9', 'a' };
    Put16(b, w);
    Put16(b, h);
    b.insert(b.end(), { 0x80, 0, 0 });             // a global table of two colours
    b.insert(b.end(), { 0, 0, 0, 255, 255, 255 });
    for (int i = 0; i < frames; ++i) {
        b.push_back(0x2C);
        Put16(b, 0);
        Put16(b, 0);
        Put16(b, frameW);
        Put16(b, frameH);
        b.push_back(0);
        b.insert(b.end(), { 2, 2, 0x44, 0x01, 0 }); // clear, index 0, end
    }
    b.push_back(0x3B);
    return b;
}

// The JPEG segment with `marker` (its FF and marker byte first), or an empty range.
std::pair<std::size_t, std::size_t> JpegSegment(const TBytes& b, BYTE marker)
{
    for (std::size_t i = 2; i + 4 <= b.size(); i += 2 + ((std::size_t(b[i + 2]) << 8) | b[i + 3])) {
        if (b[i] != 0xFF)
            break;
        if (b[i + 1] == marker)
            return { i, 2 + ((std::size_t(b[i + 2]) << 8) | b[i + 3]) };
    }
    return { 0, 0 };
}

std::uint32_t Crc32(const BYTE* p, std::size_t n)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void PutBE32(TBytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = BYTE(v >> (24 - 8 * i));
}

// Files a few hundred bytes long that declare pictures of gigabytes are
// refused from their headers, before anything of that size is allocated.
TEST(Codecs, DeclaredSizesAreCapped)
{
    const TBytes jpg = EncodeJpeg(Pattern(16, 16, false), 50);
    const auto [sof, sofLength] = JpegSegment(jpg, 0xC0);
    ASSERT_GT(sofLength, 0u);
    TBytes hugeJpeg = jpg; // 16384 x 16384
    hugeJpeg[sof + 5] = 0x40; hugeJpeg[sof + 6] = 0;
    hugeJpeg[sof + 7] = 0x40; hugeJpeg[sof + 8] = 0;

    TBytes hugePng = EncodePng(Pattern(4, 4, false)); // IHDR says 10000 x 10000
    PutBE32(hugePng, 16, 10000);
    PutBE32(hugePng, 20, 10000);
    PutBE32(hugePng, 29, Crc32(hugePng.data() + 12, 17));

    TBytes hugeBmp = EncodeBmp(Pattern(4, 4, false)); // 10000 x 10000, no pixels
    hugeBmp[18] = 0x10; hugeBmp[19] = 0x27;
    hugeBmp[22] = 0x10; hugeBmp[23] = 0x27;
    TBytes hugeIco = MakeIcon(false); // its bitmap 10000 x 10000
    hugeIco[22 + 4] = 0x10; hugeIco[22 + 5] = 0x27;
    hugeIco[22 + 8] = 0x20; hugeIco[22 + 9] = 0x4E;

    TBytes widePng = hugePng; // 70000 x 70000: past the side limit as well
    PutBE32(widePng, 16, 70000);
    PutBE32(widePng, 20, 70000);
    PutBE32(widePng, 29, Crc32(widePng.data() + 12, 17));

    struct Case {
        const char* name;
        TBytes bytes;
        const char16_t* error;
        bool capped = true; // the error is the cap's, told from the headers alone
    };
    // 24 bytes: a screen of 23300 x 2569 (within the cap) and a frame cut
    // before its picture data; found by fuzzing, when the screen was made
    // before the first row was read.
    TBytes cutGif = { 'G', 'I', 'F', '8', '9', 'a', 0x04, 0x5B, 0x09, 0x0A, 0, 1, 0, 0x2C, 0, 0, 0, 0, 0x01, 0x49, 0x50, 0, 0x2C, 0 };

    const std::vector<Case> cases = {
        { "gif screen of 16384 x 16384, four frames", TinyFramesGif(16384, 16384, 4), u"too large" },
        { "gif frame of 16384 x 16384 on a small screen", TinyFramesGif(2, 2, 1, 16384, 16384), u"too large" },
        // Each frame is allowed, three of them together are not.
        { "gif of three 8192 x 8192 frames", TinyFramesGif(8192, 8192, 3), u"too much memory" },
        { "jpeg of 16384 x 16384", hugeJpeg, u"too large" },
        { "png of 10000 x 10000", hugePng, u"too large" },
        { "png of 70000 x 70000", widePng, u"too large" },
        { "bmp of 10000 x 10000", hugeBmp, u"too large" },
        { "ico of 10000 x 10000", hugeIco, u"too large" },
        { "gif cut before its picture data", cutGif, u"Invalid GIF image", false },
    };
    EXPECT_EQ(cases[0].bytes.size(), 80u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DecodeImage(c.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const EImageError& e) {
            EXPECT_NE(e.Message.find(c.error), String::npos) << StringToUtf8(e.Message);
            EXPECT_EQ(dynamic_cast<const EImageTooLarge*>(&e) != nullptr, c.capped);
        }
        EXPECT_EQ(DeclaredSizesWithinCaps(c.bytes.data(), c.bytes.size()), !c.capped);
    }
    // Below the caps the same shapes decode.
    EXPECT_TRUE(DeclaredSizesWithinCaps(jpg.data(), jpg.size()));
    const TImage small = DecodeImage(TinyFramesGif(3, 2, 4));
    ASSERT_EQ(small.Frames.size(), 4u);
    EXPECT_EQ(small.Frames[3].At(0, 0), 0xFF000000u);
    EXPECT_EQ(small.Frames[3].At(2, 1), 0u);
}

// A TIFF header (little- or big-endian) with one directory giving the width
// and height as LONG tags.
TBytes TiffHeader(std::uint32_t w, std::uint32_t h, bool bigEndian)
{
    TBytes b;
    auto put16 = [&](std::uint32_t v) {
        if (bigEndian)
            b.insert(b.end(), { BYTE(v >> 8), BYTE(v) });
        else
            Put16(b, v);
    };
    auto put32 = [&](std::uint32_t v) {
        if (bigEndian)
            b.insert(b.end(), { BYTE(v >> 24), BYTE(v >> 16), BYTE(v >> 8), BYTE(v) });
        else
            Put32(b, v);
    };
    b = bigEndian ? TBytes { 'M', 'M' } : TBytes { 'I', 'I' };
    put16(42);
    put32(8);
    put16(2);
    for (const auto& [tag, value] : { std::pair { 256u, w }, std::pair { 257u, h } }) {
        put16(tag);
        put16(4);
        put32(1);
        put32(value);
    }
    put32(0);
    return b;
}

// What other libraries are handed is judged from the headers alone: formats
// the decoders here do not read (TIFF) and bytes that are no picture.
TEST(Codecs, DeclaredSizesFromHeadersAlone)
{
    const TBytes png = EncodePng(Pattern(4, 4, false));
    TBytes pngIcon = { 0, 0, 1, 0, 1, 0, 0, 0, 0, 0, 1, 0, 32, 0 }; // one entry, a PNG of 10000 x 10000
    Put32(pngIcon, std::uint32_t(png.size()));
    Put32(pngIcon, 22);
    pngIcon.insert(pngIcon.end(), png.begin(), png.end());
    PutBE32(pngIcon, 22 + 16, 10000);
    PutBE32(pngIcon, 22 + 20, 10000);
    const struct {
        const char* name;
        TBytes bytes;
        bool within;
    } cases[] = {
        { "tiff of 100000 x 100000", TiffHeader(100000, 100000, false), false },
        { "big-endian tiff of 9000 x 9000", TiffHeader(9000, 9000, true), false },
        { "tiff of 640 x 480", TiffHeader(640, 480, false), true },
        { "icon holding a png of 10000 x 10000", pngIcon, false },
        { "png of 4 x 4", png, true },
        { "text", { 'h', 'e', 'l', 'l', 'o' }, true },
        { "nothing", {}, true },
        { "jpeg start only", { 0xFF, 0xD8, 0xFF }, true },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DeclaredSizesWithinCaps(c.bytes.data(), c.bytes.size()), c.within);
    }
}

// libjpeg reports a second frame header as an error from inside the scan
// reader; the decoder gives a clear error and (under the sanitizer build)
// leaks nothing on the way out.
TEST(Codecs, JpegErrorInsideTheScanIsReported)
{
    const TBytes jpg = EncodeJpeg(Pattern(16, 16, false), 50);
    const auto [sof, sofLength] = JpegSegment(jpg, 0xC0);
    ASSERT_GT(sofLength, 0u);
    ASSERT_GE(jpg.size(), 2u);
    TBytes twice(jpg.begin(), jpg.end() - 2);
    twice.insert(twice.end(), jpg.begin() + long(sof), jpg.begin() + long(sof + sofLength));
    twice.insert(twice.end(), { 0xFF, 0xD9 });
    try {
        DecodeImage(twice);
        ADD_FAILURE() << "decoded";
    } catch (const EImageError& e) {
        EXPECT_NE(e.Message.find(u"JPEG"), String::npos);
    }
    EXPECT_EQ(DecodeImage(jpg).Frames[0].Width, 16);
}

TEST(Codecs, BitmapHandlesKeepPixels)
{
    const TImageFrame f = Pattern(5, 4, false);
    HBITMAP bmp = CreateBitmapFromFrame(f);
    ASSERT_NE(bmp, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bmp);
    const std::uint32_t p = f.At(3, 2);
    EXPECT_EQ(GetPixel(dc, 3, 2), RGB(BYTE(p >> 16), BYTE(p >> 8), BYTE(p)));
    DeleteDC(dc);
    EXPECT_EQ(FrameFromBitmap(bmp).Pixels, f.Pixels);
    DeleteObject(bmp);
    EXPECT_THROW(FrameFromBitmap(bmp), EImageError);
}

} // namespace
