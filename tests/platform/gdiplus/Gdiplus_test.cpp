#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "platform/gdi/Codecs.h"
#include "platform/gdiplus/Gdiplus.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Surface.h"
#include "tests/platform/gdi/PixelProbe.h"

using namespace Gdiplus;

namespace {

constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0), White = RGB(255, 255, 255);

class GdiplusTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
    static void Fill(GpGraphics* g, ARGB color, int x, int y, int w, int h)
    {
        GpSolidFill* brush = nullptr;
        ASSERT_EQ(GdipCreateSolidFill(color, &brush), Ok);
        EXPECT_EQ(GdipFillRectangleI(g, brush, x, y, w, h), Ok);
        GdipDeleteBrush(brush);
    }
};

TEST_F(GdiplusTest, RunTimeBindingPrefersTheBridge)
{
    EXPECT_EQ(GdiplusGetProcAddress("GdipCreateFromHDC"), reinterpret_cast<void*>(&GdipCreateFromHDC));
    EXPECT_EQ(GdiplusGetProcAddress("GdipDeleteGraphics"), reinterpret_cast<void*>(&GdipDeleteGraphics));
    EXPECT_EQ(GdiplusGetProcAddress("GdipLoadImageFromStreamICM"), reinterpret_cast<void*>(&GdipLoadImageFromStreamICM));
    // The library's stream readers would misread our streams; they are refused.
    using TFromStream = GpStatus (*)(IStream*, void**);
    void* metafile = nullptr;
    EXPECT_EQ(reinterpret_cast<TFromStream>(GdiplusGetProcAddress("GdipCreateMetafileFromStream"))(nullptr, &metafile), NotImplemented);
    EXPECT_NE(GdiplusGetProcAddress("GdipDrawLine"), nullptr);
    EXPECT_EQ(GdiplusGetProcAddress("GdipNoSuchFunction"), nullptr);
    EXPECT_EQ(GdiplusGetProcAddress(nullptr), nullptr);
}

TEST_F(GdiplusTest, StartupsAreCounted)
{
    GdiplusStartupInput in;
    GdiplusStartupOutput out;
    const int before = GdiplusStartupCount();
    std::uintptr_t a = 0, b = 0;
    ASSERT_EQ(GdiplusStartup(&a, &in, &out), Ok);
    ASSERT_EQ(GdiplusStartup(&b, &in, nullptr), Ok);
    EXPECT_NE(a, b);
    EXPECT_EQ(GdiplusStartupCount(), before + 2);
    GdiplusShutdown(a);
    GdiplusShutdown(a); // a returned token does not take another's start-up
    EXPECT_EQ(GdiplusStartupCount(), before + 1);
    // Still usable after one user's shut-down.
    GpBitmap* bmp = nullptr;
    EXPECT_EQ(GdipCreateBitmapFromScan0(2, 2, 0, PixelFormat32bppARGB, nullptr, &bmp), Ok);
    GdipDisposeImage(bmp);
    GdiplusShutdown(b);
    EXPECT_EQ(GdiplusStartupCount(), before);
    EXPECT_EQ(GdiplusStartup(nullptr, &in, nullptr), InvalidParameter);
}

TEST_F(GdiplusTest, GdiThenGdiplusThenGdiShareThePixels)
{
    TMemDC m(40, 40);
    const RECT left { 0, 0, 20, 40 };
    HBRUSH red = CreateSolidBrush(Red);
    FillRect(m.DC, &left, red);
    DeleteObject(red);

    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(m.DC, &g), Ok);
    Fill(g, 0xFF0000FF, 10, 10, 20, 20);
    // Half-transparent green over the red GDI pixels blends with them.
    Fill(g, 0x8000FF00, 0, 32, 8, 8);
    ASSERT_EQ(GdipDeleteGraphics(g), Ok);

    EXPECT_EQ(m.At(5, 5), Red);
    EXPECT_EQ(m.At(15, 15), Blue);
    EXPECT_EQ(m.At(29, 29), Blue);
    EXPECT_EQ(m.At(30, 30), White);
    const COLORREF mixed = m.At(4, 36);
    EXPECT_NEAR(GetRValue(mixed), 127, 2);
    EXPECT_NEAR(GetGValue(mixed), 128, 2);

    // GDI afterwards works on the GDI+ result.
    const RECT band { 0, 14, 40, 16 };
    InvertRect(m.DC, &band);
    EXPECT_EQ(m.At(15, 15), RGB(255, 255, 0));
    EXPECT_EQ(m.At(5, 15), RGB(0, 255, 255));
}

TEST_F(GdiplusTest, GraphicsHonoursTheContextsOriginAndClip)
{
    std::vector<std::uint32_t> pixels(30 * 20, 0xFFFFFFFFu);
    TPaintTarget target;
    target.Buffer = { reinterpret_cast<std::uint8_t*>(pixels.data()), 30, 20, 30 * 4 };
    target.Origin = { 10, 5 };
    target.Clip = TRegion(TRect(10, 5, 20, 15));
    HDC dc = CreateDCForTarget(target);
    ASSERT_NE(dc, nullptr);
    ExcludeClipRect(dc, 0, 0, 2, 2);
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
    Fill(g, 0xFF000000, -50, -50, 200, 200);
    Fill(g, 0xFFFF0000, 4, 4, 1, 1);
    GdipDeleteGraphics(g);
    DeleteDC(dc);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x) {
            const bool inside = x >= 10 && x < 20 && y >= 5 && y < 15 && !(x < 12 && y < 7);
            const std::uint32_t expected = (x == 14 && y == 9) ? 0xFFFF0000u : inside ? 0xFF000000u : 0xFFFFFFFFu;
            ASSERT_EQ(pixels[std::size_t(y) * 30 + std::size_t(x)], expected) << x << "," << y;
        }

    // The window origin of a memory context moves GDI+ drawing too.
    TMemDC m(10, 10);
    SetWindowOrgEx(m.DC, 3, 3, nullptr);
    ASSERT_EQ(GdipCreateFromHDC(m.DC, &g), Ok);
    Fill(g, 0xFF0000FF, 3, 3, 1, 1);
    GdipDeleteGraphics(g);
    SetWindowOrgEx(m.DC, 0, 0, nullptr);
    EXPECT_EQ(m.Ink(), (std::set<std::pair<int, int>> { { 0, 0 } }));
}

TEST_F(GdiplusTest, GetDCHandsBackTheSameContext)
{
    TMemDC m(10, 10);
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHDC(m.DC, &g), Ok);
    Fill(g, 0xFF0000FF, 0, 0, 5, 5);
    HDC dc = nullptr;
    ASSERT_EQ(GdipGetDC(g, &dc), Ok);
    EXPECT_EQ(dc, m.DC);
    EXPECT_EQ(GetPixel(dc, 2, 2), Blue);
    SetPixel(dc, 7, 7, Green);
    EXPECT_EQ(GdipReleaseDC(g, dc), Ok);
    ARGB px = 0;
    GdipDeleteGraphics(g);
    EXPECT_EQ(m.At(7, 7), Green);
    EXPECT_EQ(GdipReleaseDC(g, nullptr), InvalidParameter);
    EXPECT_EQ(GdipCreateFromHDC(nullptr, &g), InvalidParameter);
    (void)px;
}

TEST_F(GdiplusTest, BitmapsAndIconsCrossBothWays)
{
    TMemDC m(4, 3);
    SetPixel(m.DC, 1, 2, Red);
    SelectObject(m.DC, m.Old);
    GpBitmap* bmp = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromHBITMAP(m.Bitmap, nullptr, &bmp), Ok);
    SelectObject(m.DC, m.Bitmap);
    UINT w = 0, h = 0;
    GdipGetImageWidth(bmp, &w);
    GdipGetImageHeight(bmp, &h);
    EXPECT_EQ(w, 4u);
    EXPECT_EQ(h, 3u);
    ARGB px = 0;
    GdipBitmapGetPixel(bmp, 1, 2, &px);
    EXPECT_EQ(px, 0xFFFF0000u);
    GdipBitmapGetPixel(bmp, 0, 0, &px);
    EXPECT_EQ(px, 0xFFFFFFFFu);

    // A transparent pixel takes the background colour, or keeps its alpha.
    GdipBitmapSetPixel(bmp, 0, 0, 0x00000000);
    HBITMAP back = nullptr;
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(bmp, &back, 0xFF00FF00), Ok);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, back);
    EXPECT_EQ(GetPixel(dc, 0, 0), Green);
    EXPECT_EQ(GetPixel(dc, 1, 2), Red);
    DeleteDC(dc);
    DeleteObject(back);
    ASSERT_EQ(GdipCreateHBITMAPFromBitmap(bmp, &back, 0), Ok);
    EXPECT_EQ(FrameFromBitmap(back).At(0, 0) >> 24, 0u);
    DeleteObject(back);

    HICON icon = nullptr;
    ASSERT_EQ(GdipCreateHICONFromBitmap(bmp, &icon), Ok);
    GpBitmap* again = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromHICON(icon, &again), Ok);
    GdipBitmapGetPixel(again, 1, 2, &px);
    EXPECT_EQ(px, 0xFFFF0000u);
    GdipBitmapGetPixel(again, 0, 0, &px);
    EXPECT_EQ(px >> 24, 0u);
    DestroyIcon(icon);
    GdipDisposeImage(again);
    GdipDisposeImage(bmp);

    EXPECT_EQ(GdipCreateBitmapFromHBITMAP(nullptr, nullptr, &bmp), InvalidParameter);
    EXPECT_EQ(GdipCreateBitmapFromHICON(nullptr, &bmp), InvalidParameter);
}

TEST_F(GdiplusTest, RegionsRoundTripThroughHandles)
{
    HRGN a = CreateEllipticRgn(0, 0, 30, 20);
    HRGN b = CreateRectRgn(40, 0, 50, 5);
    CombineRgn(a, a, b, RGN_OR);
    GpRegion* region = nullptr;
    ASSERT_EQ(GdipCreateRegionHrgn(a, &region), Ok);
    BOOL visible = FALSE;
    GdipIsVisibleRegionPoint(region, 45, 2, nullptr, &visible);
    EXPECT_TRUE(visible);
    HRGN back = nullptr;
    ASSERT_EQ(GdipGetRegionHRgn(region, nullptr, &back), Ok);
    EXPECT_TRUE(EqualRgn(a, back));
    GdipSetInfinite(region);
    HRGN none = reinterpret_cast<HRGN>(1);
    EXPECT_EQ(GdipGetRegionHRgn(region, nullptr, &none), Ok);
    EXPECT_EQ(none, nullptr);
    GdipDeleteRegion(region);
    for (HRGN r : { a, b, back })
        DeleteObject(r);
    EXPECT_EQ(GdipCreateRegionHrgn(a, &region), InvalidParameter);
}

TEST_F(GdiplusTest, FontsFromLogfontsAndContexts)
{
    LOGFONTW lf;
    lf.lfHeight = -16;
    lf.lfWeight = FW_BOLD;
    const char16_t face[] = u"Arial";
    std::char_traits<char16_t>::copy(lf.lfFaceName, face, 6);
    GpFont* font = nullptr;
    ASSERT_EQ(GdipCreateFontFromLogfontW(nullptr, &lf, &font), Ok);
    REAL size = 0;
    GdipGetFontSize(font, &size);
    EXPECT_FLOAT_EQ(size, 16);
    int style = 0;
    GdipGetFontStyle(font, &style);
    EXPECT_EQ(style, FontStyleBold);
    GpFontFamily* family = nullptr;
    GdipGetFamily(font, &family);
    char16_t name[32] {};
    GdipGetFamilyName(family, name, 0);
    const String n(name);
    EXPECT_TRUE(n == u"Arial" || n == u"Liberation Sans") << StringToUtf8(n);
    GdipDeleteFontFamily(family);
    GdipDeleteFont(font);

    TMemDC m(4, 4);
    HFONT hf = CreateFont(-20, 0, 0, 0, FW_NORMAL, 1, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma");
    SelectObject(m.DC, hf);
    ASSERT_EQ(GdipCreateFontFromDC(m.DC, &font), Ok);
    GdipGetFontSize(font, &size);
    EXPECT_FLOAT_EQ(size, 20);
    GdipGetFontStyle(font, &style);
    EXPECT_EQ(style, FontStyleItalic);
    GdipDeleteFont(font);
    SelectObject(m.DC, GetStockObject(SYSTEM_FONT));
    DeleteObject(hf);
}

TEST_F(GdiplusTest, ImagesLoadFromMemoryStreams)
{
    TImageFrame f;
    f.Width = 3;
    f.Height = 2;
    f.Pixels = { 0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0x80FFFFFFu, 0xFF000000u, 0xFF123456u };
    const TBytes png = EncodePng(f);
    IStream* stream = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), 0);
    ULONG written = 0;
    ASSERT_EQ(stream->Write(png.data(), ULONG(png.size()), &written), 0);
    EXPECT_EQ(written, png.size());
    std::uint64_t pos = 99;
    ASSERT_EQ(stream->Seek(0, STREAM_SEEK_SET, &pos), 0);
    EXPECT_EQ(pos, 0u);
    GpImage* image = nullptr;
    ASSERT_EQ(GdipLoadImageFromStream(stream, &image), Ok);
    UINT w = 0;
    GdipGetImageWidth(image, &w);
    EXPECT_EQ(w, 3u);
    ARGB px = 0;
    GdipBitmapGetPixel(static_cast<GpBitmap*>(image), 2, 1, &px);
    EXPECT_EQ(px, 0xFF123456u);
    GdipDisposeImage(image);

    // Not an image: a clear status, no image.
    IStream* junk = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &junk);
    junk->Write("not an image", 12, nullptr);
    junk->Seek(0, STREAM_SEEK_SET, nullptr);
    image = reinterpret_cast<GpImage*>(1);
    EXPECT_NE(GdipLoadImageFromStream(junk, &image), Ok);
    EXPECT_EQ(image, nullptr);
    EXPECT_EQ(GdipLoadImageFromStream(nullptr, &image), InvalidParameter);
    junk->Release();
    stream->Release();
}

// A GIF of a w x h screen with four frames of one pixel: 80 bytes for 16384 x 16384.
TBytes FourFrameGif(unsigned w, unsigned h)
{
    TBytes b = { 'G', 'I', 'F', '8', '9', 'a', BYTE(w), BYTE(w >> 8), BYTE(h), BYTE(h >> 8), 0x80, 0, 0, 0, 0, 0, 255, 255, 255 };
    for (int i = 0; i < 4; ++i)
        b.insert(b.end(), { 0x2C, 0, 0, 0, 0, 1, 0, 1, 0, 0, 2, 2, 0x44, 0x01, 0 });
    b.push_back(0x3B);
    return b;
}

// The library would allocate whatever a picture declares; pictures declaring
// more than the codecs' caps are refused before it sees them, from memory
// and from files alike.
TEST_F(GdiplusTest, PicturesDeclaringTooMuchAreRefused)
{
    const TBytes huge = FourFrameGif(16384, 16384), small = FourFrameGif(3, 2);
    ASSERT_EQ(huge.size(), 80u);
    const std::string dir = ::testing::TempDir();
    for (const TBytes* bytes : { &huge, &small }) {
        const bool refused = bytes == &huge;
        SCOPED_TRACE(refused ? "16384 x 16384" : "3 x 2");
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), 0);
        stream->Write(bytes->data(), ULONG(bytes->size()), nullptr);
        stream->Seek(0, STREAM_SEEK_SET, nullptr);
        GpImage* image = nullptr;
        EXPECT_EQ(GdipLoadImageFromStream(stream, &image), refused ? OutOfMemory : Ok);
        EXPECT_EQ(image == nullptr, refused);
        if (image)
            GdipDisposeImage(image);
        stream->Release();

        const std::string path = dir + "/quarrytide-gdiplus-cap.gif";
        {
            std::ofstream out(path, std::ios::binary);
            out.write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size()));
        }
        const String path16 = Utf8ToString(path);
        image = nullptr;
        EXPECT_EQ(GdipLoadImageFromFile(path16.c_str(), &image), refused ? OutOfMemory : Ok);
        EXPECT_EQ(image == nullptr, refused);
        if (image)
            GdipDisposeImage(image);
        GpBitmap* bitmap = nullptr;
        EXPECT_EQ(GdipCreateBitmapFromFile(path16.c_str(), &bitmap), refused ? OutOfMemory : Ok);
        if (bitmap)
            GdipDisposeImage(bitmap);
        std::remove(path.c_str());
    }
}

TEST(MemoryStream, ReadsSeeksAndCopiesFromGlobalMemory)
{
    HGLOBAL mem = GlobalAlloc(0, 5);
    ASSERT_NE(mem, nullptr);
    std::memcpy(GlobalLock(mem), "hello", 5);
    GlobalUnlock(mem);
    IStream* s = nullptr;
    ASSERT_EQ(CreateStreamOnHGlobal(mem, TRUE, &s), 0);
    char buf[8] {};
    ULONG n = 0;
    EXPECT_EQ(s->Read(buf, 8, &n), 1); // short read
    EXPECT_EQ(n, 5u);
    EXPECT_STREQ(buf, "hello");
    std::uint64_t pos = 0;
    EXPECT_EQ(s->Seek(-2, STREAM_SEEK_END, &pos), 0);
    EXPECT_EQ(pos, 3u);
    EXPECT_LT(s->Seek(-10, STREAM_SEEK_CUR, &pos), 0);
    EXPECT_LT(s->Seek(0, 7, &pos), 0);
    s->Seek(0, STREAM_SEEK_SET, nullptr);
    IStream* copy = nullptr;
    ASSERT_EQ(s->Clone(&copy), 0);
    TBytes all;
    ASSERT_TRUE(ReadWholeStream(copy, all));
    EXPECT_EQ(all.size(), 5u);
    STATSTG st;
    s->Stat(&st, STATFLAG_NONAME);
    EXPECT_EQ(st.cbSize, 5u);
    void* obj = nullptr;
    EXPECT_EQ(s->QueryInterface(IStream::IID, &obj), 0);
    EXPECT_EQ(obj, static_cast<void*>(s));
    s->Release();
    EXPECT_EQ(s->QueryInterface(TGUID::Parse("{00000001-0000-0000-0000-000000000000}"), &obj), E_NOINTERFACE);
    copy->Release();
    EXPECT_EQ(s->Release(), 0);
}

} // namespace

#include "tests/platform/win/WinFixture.h"

namespace {

class GdiplusWindowTest : public WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        InstallDeviceContextFactory();
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
    void TearDown() override
    {
        WinTest::TearDown();
        InstallDeviceContextFactory();
    }
};

TEST_F(GdiplusWindowTest, GraphicsFromAWindowDrawsIntoIt)
{
    HWND w = Make("w", WS_POPUP | WS_VISIBLE, Bounds(0, 0, 30, 20));
    Pump();
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipCreateFromHWND(w, &g), Ok);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(0xFF00FF00, &brush);
    GdipFillRectangleI(g, brush, 2, 3, 4, 4);
    GdipDeleteBrush(brush);
    ASSERT_EQ(GdipDeleteGraphics(g), Ok);
    EXPECT_EQ(PixelAt(w, { 3, 4 }), 0xFF00FF00u);
    EXPECT_NE(PixelAt(w, { 10, 10 }), 0xFF00FF00u);
    EXPECT_EQ(GdipCreateFromHWND(reinterpret_cast<HWND>(&g), &g), InvalidParameter);
}

} // namespace

#include <cstdlib>

#include "platform/gdi/Printer.h"
#include "tests/support/Fixtures.h"

namespace {

// GDI+ on paper lands on the page (as an image), inside the clip.
TEST(GdiplusPrinting, DrawingReachesThePdf)
{
    if (!EnsureGdiplusStarted())
        GTEST_SKIP() << "libgdiplus is not installed";
    if (std::system("command -v pdftoppm > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "pdftoppm is not installed";
    testsupport::TempDir dir;
    TPrinterSettings s;
    s.OutputFile = Utf8ToString((dir / "gp.pdf").string());
    HDC dc = CreatePrinterDC(s);
    GpGraphics* g = nullptr;
    EXPECT_EQ(GdipCreateFromHDC(dc, &g), WrongState); // no page yet
    ASSERT_GT(StartDoc(dc, nullptr), 0);
    ASSERT_EQ(StartPage(dc), 1);
    IntersectClipRect(dc, 0, 0, 1200, 7016);
    ASSERT_EQ(GdipCreateFromHDC(dc, &g), Ok);
    GpSolidFill* brush = nullptr;
    GdipCreateSolidFill(0xFF0000FF, &brush);
    GdipFillRectangleI(g, brush, 600, 600, 1200, 600); // half of it beyond the clip
    GdipDeleteBrush(brush);
    HDC none = nullptr;
    EXPECT_EQ(GdipGetDC(g, &none), NotImplemented);
    ASSERT_EQ(GdipDeleteGraphics(g), Ok);
    EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);
    const std::string cmd = "pdftoppm -r 60 -png '" + (dir / "gp.pdf").string() + "' '" + (dir / "p").string() + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const TImageFrame page = LoadImageFile(Utf8ToString((dir / "p-1.png").string())).Frames[0];
    // Images on paper are resampled: near enough to blue.
    const std::uint32_t blue = page.At(90, 90);
    EXPECT_GE(blue & 0xFF, 0xF0u);
    EXPECT_LE((blue >> 8) & 0xFF, 0x10u);
    EXPECT_LE((blue >> 16) & 0xFF, 0x10u);
    EXPECT_EQ(page.At(150, 90) & 0xFFFFFF, 0xFFFFFFu); // clipped away
    EXPECT_EQ(page.At(30, 30) & 0xFFFFFF, 0xFFFFFFu);
}

} // namespace
