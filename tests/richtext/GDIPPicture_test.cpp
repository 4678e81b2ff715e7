#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

#include "platform/gdi/Codecs.h"
#include "platform/rtl/Resources.h"
#include "richtext/GDIPPicture.h"
#include "tests/platform/gdi/PixelProbe.h"
#include "tests/support/Fixtures.h"

using namespace LumGDIP;

namespace {

constexpr COLORREF White = RGB(255, 255, 255), Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Magenta = RGB(255, 0, 255);

void Put16BE(TBytes& b, std::size_t at, std::uint32_t v)
{
    b[at] = std::uint8_t(v >> 8);
    b[at + 1] = std::uint8_t(v);
}
void Put32BE(TBytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
}
void Put32LE(TBytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

TBytes PngHeader(std::uint32_t w, std::uint32_t h)
{
    TBytes b = { 0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R' };
    b.resize(33);
    Put32BE(b, 16, w);
    Put32BE(b, 20, h);
    return b;
}

TBytes BmpHeader(std::int32_t w, std::int32_t h)
{
    TBytes b(54);
    b[0] = 'B';
    b[1] = 'M';
    Put32LE(b, 18, std::uint32_t(w));
    Put32LE(b, 22, std::uint32_t(h));
    return b;
}

// SOI, an APP0 segment, then a start-of-frame.
TBytes JpegHeader(std::uint32_t w, std::uint32_t h)
{
    TBytes b = { 0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x04, 0x11, 0x22, 0xFF, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0, 0, 0, 0, 3 };
    Put16BE(b, 14, h);
    Put16BE(b, 16, w);
    return b;
}

TBytes GifHeader(std::uint16_t w, std::uint16_t h)
{
    TBytes b = { 'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x81, 0, 0 };
    b.insert(b.end(), 12, 0x7F); // a global colour table of 4 entries
    b.push_back(0x21); // an extension byte before the separator is skipped
    b.push_back(0x2C);
    b.insert(b.end(), { 0, 0, 0, 0, std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8), 0 });
    return b;
}

TBytes TiffHeader(std::uint32_t w, std::uint32_t h)
{
    TBytes b = { 'I', 'I', 42, 0, 8, 0, 0, 0, 3, 0 };
    auto entry = [&](std::uint16_t tag, std::uint32_t value) {
        TBytes e(12);
        e[0] = std::uint8_t(tag);
        e[1] = std::uint8_t(tag >> 8);
        Put32LE(e, 8, value);
        b.insert(b.end(), e.begin(), e.end());
    };
    entry(254, 0);
    entry(257, h);
    entry(256, w);
    return b;
}

TEST(ImageHeaderSize, ReadsEachFormatAndRefusesBrokenHeaders)
{
    TBytes lengthOne = { 0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x01, 0xFF, 0xE0 };
    TBytes lengthZero = { 0xFF, 0xD8, 0xFF, 0xFE, 0x00, 0x00 };
    TBytes pastTheEnd = { 0xFF, 0xD8, 0xFF, 0xE0, 0xFF, 0xF0, 0x00 };
    const TBytes png = PngHeader(5, 5), gif = GifHeader(3, 3);
    TBytes restartMarkers = { 0xFF, 0xD8, 0xFF, 0xD0, 0xFF, 0x01, 0xFF, 0xC2, 0, 0x11, 8, 0, 7, 0, 9 };
    struct TCase {
        const char* Name;
        TBytes Bytes;
        const char16_t* Ext;
        bool Ok;
        int W, H;
    };
    const TCase cases[] = {
        { "png wider than 16 bits", PngHeader(70000, 3), u".PNG", true, 70000, 3 },
        { "png cut short", TBytes(png.begin(), png.begin() + 20), u".PNG", false, 0, 0 },
        { "png signature wrong", TBytes(33, 0), u".PNG", false, 0, 0 },
        { "bmp bottom-up", BmpHeader(640, 480), u".BMP", true, 640, 480 },
        { "bmp top-down", BmpHeader(640, -480), u".BMP", true, 640, 480 },
        { "bmp 100000 wide", BmpHeader(100000, 2), u".BMP", true, 100000, 2 },
        { "jpeg", JpegHeader(320, 200), u".JPG", true, 320, 200 },
        { "jpeg long extension", JpegHeader(1, 65535), u".JPEG", true, 1, 65535 },
        { "jpeg restart and 01 markers", restartMarkers, u".JPG", true, 9, 7 },
        { "jpeg segment length 1", lengthOne, u".JPG", false, 0, 0 },
        { "jpeg segment length 0", lengthZero, u".JPG", false, 0, 0 },
        { "jpeg segment past the end", pastTheEnd, u".JPG", false, 0, 0 },
        { "gif with colour table", GifHeader(300, 2), u".GIF", true, 300, 2 },
        { "gif without separator", TBytes(gif.begin(), gif.begin() + 26), u".GIF", false, 0, 0 },
        { "tiff", TiffHeader(1234, 56), u".TIF", true, 1234, 56 },
        { "tiff long extension", TiffHeader(7, 8), u".TIFF", true, 7, 8 },
        { "tiff directory past the end", TBytes { 'I', 'I', 42, 0, 0xFF, 0xFF, 0, 0 }, u".TIF", false, 0, 0 },
        { "unknown extension", PngHeader(5, 5), u".XYZ", false, 0, 0 },
        { "empty", TBytes {}, u".PNG", false, 0, 0 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TBytesStream s(c.Bytes);
        int w = -1, h = -1;
        EXPECT_EQ(ReadImageHeaderSize(s, c.Ext, w, h), c.Ok);
        EXPECT_EQ(w, c.W);
        EXPECT_EQ(h, c.H);
    }
}

TEST(ImageHeaderSize, PictureReadsTheSizeFromTheFileHeader)
{
    testsupport::TempDir dir;
    const auto path = dir / "wide.png";
    const TBytes bytes = PngHeader(70000, 12);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));

    TLumGDIPPicture p;
    EXPECT_FALSE(p.GetImageSizesFromFileName(Utf8ToString(path.string()))) << "an empty picture reads nothing";
    TBytesStream data(bytes);
    p.LoadFromStream(data);
    EXPECT_TRUE(p.GetImageSizesFromFileName(Utf8ToString(path.string())));
    EXPECT_EQ(p.GetWidth(), 70000);
    EXPECT_EQ(p.GetHeight(), 12);
}

// ---- pictures drawn on a device context ----

class GDIPPictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
    // A 24-bit image of `fill` whose bottom-left pixel is `corner`.
    static TImageFrame Frame(int w, int h, std::uint32_t fill, std::uint32_t corner)
    {
        TImageFrame f;
        f.Width = w;
        f.Height = h;
        f.Pixels.assign(std::size_t(w) * std::size_t(h), fill);
        f.At(0, h - 1) = corner;
        return f;
    }
    template <class Picture> static void Load(Picture& p, const TBytes& bytes)
    {
        TBytesStream s(bytes);
        p.LoadFromStream(s);
    }
};

TEST_F(GDIPPictureTest, BitmapKeepsItsNaturalSizeInOnePictureAndStretchesInTheOther)
{
    const TBytes bmp = EncodeBmp(Frame(4, 4, 0xFFFF0000, 0xFFFFFFFF));
    const TRect target(10, 10, 40, 40);
    {
        TMemDC m(60, 60);
        TLumGDIPPicture p;
        Load(p, bmp);
        TCanvas canvas;
        canvas.SetHandle(m.DC);
        p.Draw(&canvas, target);
        canvas.SetHandle(nullptr);
        const RECT box = m.InkBox();
        EXPECT_EQ(box.Left, 10);
        EXPECT_EQ(box.Top, 10);
        EXPECT_EQ(box.Right, 14);
        EXPECT_EQ(box.Bottom, 14);
        EXPECT_EQ(m.At(10, 13), White) << "the bottom-left colour is transparent";
    }
    {
        TMemDC m(60, 60);
        TGDIPPicture p;
        Load(p, bmp);
        TCanvas canvas;
        canvas.SetHandle(m.DC);
        p.Draw(&canvas, target);
        canvas.SetHandle(nullptr);
        const RECT box = m.InkBox();
        EXPECT_EQ(box.Left, 10);
        EXPECT_EQ(box.Top, 10);
        EXPECT_EQ(box.Right, 40);
        EXPECT_EQ(box.Bottom, 40);
        EXPECT_EQ(m.At(20, 20), Red);
    }
}

TEST_F(GDIPPictureTest, ColourKeyMakesTheBottomLeftColourTransparentInGDIPDraw)
{
    TImageFrame f = Frame(4, 4, 0xFF0000FF, 0xFFFF00FF);
    f.At(2, 1) = 0xFFFF00FF;
    TLumGDIPPicture p;
    Load(p, EncodeBmp(f));
    struct TCase {
        const char* Name;
        bool Transparent;
        TTransparentMode Mode;
        TColor Fixed;
        COLORREF MagentaShows;
    };
    const TCase cases[] = {
        { "auto key", true, tmAuto, clWhite, White },
        { "fixed key", true, tmFixed, TColor(0xFF00FF), White },
        { "fixed key of another colour", true, tmFixed, clBlack, Magenta },
        { "not transparent", false, tmAuto, clWhite, Magenta },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        p.SetTransparent(c.Transparent);
        p.SetTransparentMode(c.Mode);
        p.SetTransparentColor(c.Fixed);
        TMemDC m(10, 10);
        {
            TGPGraphics g(m.DC);
            p.GDIPDraw(&g, TRect(0, 0, 4, 4));
        }
        EXPECT_EQ(m.At(0, 3), c.MagentaShows);
        EXPECT_EQ(m.At(2, 1), c.MagentaShows);
        EXPECT_EQ(m.At(1, 1), Blue);
        EXPECT_EQ(p.GetPixelDepth(), 24);
        EXPECT_FALSE(p.GetHasAlpha());
    }
}

TEST_F(GDIPPictureTest, GDIPDrawPlacesOtherFormatsOnWholePixels)
{
    TLumGDIPPicture p;
    Load(p, EncodePng(Frame(10, 10, 0xFFFF0000, 0xFFFF0000)));
    TMemDC m(40, 40);
    {
        TGPGraphics g(m.DC);
        p.GDIPDraw(&g, TGPRectF { 2.5f, 3.5f, 10.0f, 10.0f });
    }
    const RECT box = m.InkBox();
    EXPECT_EQ(box.Left, 2);
    EXPECT_EQ(box.Top, 4);
    EXPECT_EQ(box.Right, 12);
    EXPECT_EQ(box.Bottom, 14);
    EXPECT_EQ(p.GetWidth(), 10);
    EXPECT_TRUE(p.GetHasAlpha());
}

TEST_F(GDIPPictureTest, TextureFillTilesTheImage)
{
    TImageFrame f = Frame(2, 2, 0xFFFF0000, 0xFF0000FF);
    TLumGDIPPicture p;
    Load(p, EncodePng(f));
    TMemDC m(20, 20);
    {
        TGPGraphics g(m.DC);
        p.FillRect(&g, TGPRectF { 0, 0, 8, 8 });
    }
    EXPECT_EQ(m.At(0, 0), Red);
    EXPECT_EQ(m.At(0, 1), Blue);
    EXPECT_EQ(m.At(6, 7), Blue);
    EXPECT_EQ(m.At(7, 6), Red);
    EXPECT_EQ(m.At(9, 9), White);
}

TEST_F(GDIPPictureTest, RotationTurnsAboutTheNaturalCentreAtTheTopLeft)
{
    TGDIPPicture p;
    Load(p, EncodePng(Frame(20, 10, 0xFFFF0000, 0xFFFF0000)));
    p.SetAngle(90);
    TMemDC m(40, 40);
    TCanvas canvas;
    canvas.SetHandle(m.DC);
    p.Draw(&canvas, TRect(10, 10, 30, 20));
    // A second draw shows the transform was put back, not left rotated.
    p.SetAngle(0);
    p.Draw(&canvas, TRect(0, 30, 4, 34));
    canvas.SetHandle(nullptr);
    EXPECT_EQ(m.At(20, 15), Red);
    EXPECT_EQ(m.At(20, 6), Red);
    EXPECT_EQ(m.At(20, 23), Red);
    EXPECT_EQ(m.At(12, 15), White);
    EXPECT_EQ(m.At(27, 15), White);
    EXPECT_EQ(m.At(1, 31), Red);
}

TEST_F(GDIPPictureTest, UndecodableBytesDrawNothingAndRaiseNothing)
{
    TBytes junk = { 'B', 'M', 0x10, 0x20, 0x30, 0x40, 0x50 };
    TLumGDIPPicture lum;
    Load(lum, junk);
    TGDIPPicture plain;
    Load(plain, junk);
    EXPECT_FALSE(lum.GetEmpty());
    TMemDC m(20, 20);
    TCanvas canvas;
    canvas.SetHandle(m.DC);
    EXPECT_NO_THROW(lum.Draw(&canvas, TRect(0, 0, 10, 10)));
    EXPECT_NO_THROW(plain.Draw(&canvas, TRect(0, 0, 10, 10)));
    canvas.SetHandle(nullptr);
    {
        TGPGraphics g(m.DC);
        EXPECT_NO_THROW(lum.GDIPDraw(&g, TGPRectF { 0, 0, 10, 10 }));
        EXPECT_NO_THROW(plain.DrawImage(&g, 0, 0));
    }
    EXPECT_TRUE(m.Ink().empty());
    EXPECT_FALSE(lum.GetImageSizes());
}

// ---- loading, saving, assigning ----

TEST_F(GDIPPictureTest, LoadFromStreamReplacesTheBytesAndSavesThemUnchanged)
{
    const TBytes first = EncodePng(Frame(3, 2, 0xFF00FF00, 0xFF00FF00));
    const TBytes second = EncodeBmp(Frame(7, 5, 0xFF00FF00, 0xFF00FF00));
    TGDIPPicture p;
    int changes = 0;
    p.OnChange = [&](TObject*) { ++changes; };
    Load(p, first);
    Load(p, second);
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(p.GetWidth(), 7);
    EXPECT_EQ(p.GetHeight(), 5);
    TBytesStream out;
    p.SaveToStream(out);
    EXPECT_EQ(TBytes(out.GetBytes().begin(), out.GetBytes().begin() + out.GetSize()), second);
}

TEST_F(GDIPPictureTest, ResourceAddressesLoadInAnyLetterCase)
{
    static const TBytes png = EncodePng(Frame(6, 4, 0xFF123456, 0xFF123456));
    RegisterResource("PICTURE_TEST_PNG", "RCDATA", png.data(), png.size());
    for (const char16_t* url : { u"RES://PICTURE_TEST_PNG", u"res://picture_test_png", u"Res://Picture_Test_Png" }) {
        SCOPED_TRACE(StringToUtf8(url));
        TLumGDIPPicture p;
        p.LoadFromURL(url);
        EXPECT_FALSE(p.GetEmpty());
        EXPECT_EQ(p.GetWidth(), 6);
    }
    TGDIPPicture p;
    Load(p, EncodePng(Frame(2, 2, 0xFF000000, 0xFF000000)));
    for (const char16_t* url : { u"http://example.invalid/a.png", u"RES://", u"RES://NO_SUCH_RESOURCE" }) {
        SCOPED_TRACE(StringToUtf8(url));
        p.LoadFromURL(url);
        EXPECT_EQ(p.GetWidth(), 2) << "the picture is left as it was";
    }
}

TEST_F(GDIPPictureTest, FileAddressesLoadAndABadFileLeavesThePictureEmpty)
{
    testsupport::TempDir dir;
    const TBytes png = EncodePng(Frame(9, 3, 0xFF123456, 0xFF123456));
    const auto path = dir / "p.png";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
    TGDIPPicture p;
    p.LoadFromURL(u"file://" + Utf8ToString(path.string()));
    EXPECT_EQ(p.GetWidth(), 9);
    EXPECT_EQ(p.GetFileName(), Utf8ToString(path.string()));
    EXPECT_EQ(p.GetPictureFormat(), pfPNG);

    TLumGDIPPicture missing;
    EXPECT_NO_THROW(missing.LoadFromFile(Utf8ToString((dir / "none.png").string())));
    EXPECT_TRUE(missing.GetEmpty());
}

TEST_F(GDIPPictureTest, AssignCopiesPicturesAndGraphicsAndNilEmpties)
{
    TGDIPPicture source;
    Load(source, EncodePng(Frame(8, 3, 0xFF00FF00, 0xFF00FF00)));
    TGDIPPicture copy;
    copy.Assign(&source);
    EXPECT_FALSE(copy.GetEmpty());
    EXPECT_EQ(copy.GetWidth(), 8);

    TBitmap bitmap(5, 6);
    TLumGDIPPicture fromBitmap;
    fromBitmap.Assign(&bitmap);
    EXPECT_FALSE(fromBitmap.GetEmpty());
    EXPECT_EQ(fromBitmap.GetWidth(), 5);
    EXPECT_EQ(fromBitmap.GetHeight(), 6);

    bool cleared = false;
    copy.OnClear = [&](TObject*) { cleared = true; };
    copy.Assign(nullptr);
    EXPECT_TRUE(copy.GetEmpty());
    EXPECT_TRUE(cleared);
    TBytesStream out;
    copy.SaveToStream(out);
    EXPECT_EQ(out.GetSize(), 0);
}

// A graphic of given file bytes, to hand any bytes to a picture's Assign.
class TRawGraphic : public TGraphic {
public:
    explicit TRawGraphic(TBytes bytes) : FBytes(std::move(bytes)) { }
    bool GetEmpty() const override { return FBytes.empty(); }
    int GetWidth() const override { return 0; }
    int GetHeight() const override { return 0; }
    void SetWidth(int) override { }
    void SetHeight(int) override { }
    void Draw(TCanvas*, const TRect&) override { }
    void LoadFromStream(TStream&) override { }
    void SaveToStream(TStream& s) override { s.WriteBuffer(FBytes); }
    TImageFrame GetImageFrame() override { return {}; }

private:
    TBytes FBytes;
};

TEST(PictureFormat, FromTheFirstBytes)
{
    auto padded = [](TBytes b) {
        b.resize(std::max<std::size_t>(b.size(), 64), 0x11);
        return b;
    };
    TBytes emf(64, 0);
    emf[0] = 1;
    Put32LE(emf, 40, 0x464D4520);
    struct TCase {
        const char* Name;
        TBytes Bytes;
        TPictureFormat Format;
    };
    const TCase cases[] = {
        { "png of 33 bytes", PngHeader(1, 1), pfNone },
        { "png", padded(PngHeader(1, 1)), pfPNG },
        { "bmp", padded({ 'B', 'M' }), pfBMP },
        { "jpeg", padded({ 0xFF, 0xD8, 0xFF }), pfJPG },
        { "tiff little-endian", padded({ 'I', 'I', 42, 0 }), pfTiff },
        { "tiff little-endian, bad version", padded({ 'I', 'I', 43, 0 }), pfNone },
        { "tiff big-endian", padded({ 'M', 'M', 0, 42 }), pfTiff },
        { "gif", padded({ 'G', 'I', 'F', '8' }), pfGIF },
        { "icon", padded({ 0, 0, 1, 0 }), pfICO },
        { "placeable metafile", padded({ 0xD7, 0xCD, 0xC6, 0x9A }), pfMetaFile },
        { "enhanced metafile", emf, pfMetaFile },
        { "other", padded({ 'x', 'y', 'z', 'w' }), pfNone },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TRawGraphic raw(c.Bytes);
        TGDIPPicture p;
        p.Assign(&raw);
        EXPECT_EQ(p.GetPictureFormat(), c.Format);
    }
}

// ---- SVG content ----

// A stand-in document: any text with an svg tag has elements.
class TFakeSVG : public ILumSVGDocument {
public:
    void Clear() override { FText.clear(); }
    void LoadFromStream(TStream& stream) override
    {
        FText.clear();
        char c;
        while (stream.Read(&c, 1) == 1)
            FText.push_back(c);
    }
    bool HasElements() const override { return FText.find("<svg") != std::string::npos; }
    TRectF GetViewRect() const override { return TRectF(0, 0, 30, 20); }
    void Draw(TCanvas* canvas, const TRectF& rect) override
    {
        ++Draws;
        LastRect = rect;
        canvas->GetBrush()->SetColor(clRed);
        canvas->FillRect(TRect(int(rect.Left), int(rect.Top), int(rect.Right), int(rect.Bottom)));
    }
    static inline int Draws = 0;
    static inline TRectF LastRect;

private:
    std::string FText;
};

class SVGPictureTest : public GDIPPictureTest {
protected:
    void SetUp() override
    {
        GDIPPictureTest::SetUp();
        SetLumSVGDocumentFactory([] { return std::make_unique<TFakeSVG>(); });
        TFakeSVG::Draws = 0;
    }
    void TearDown() override { SetLumSVGDocumentFactory(nullptr); }

    static TBytes FormData(const std::string& text)
    {
        TBytes b(4 + text.size());
        Put32LE(b, 0, std::uint32_t(text.size()));
        std::copy(text.begin(), text.end(), b.begin() + 4);
        return b;
    }
    // SVG text of exactly `size` bytes.
    static std::string SvgOfSize(std::size_t size)
    {
        std::string s = "<svg viewBox=\"0 0 30 20\"></svg>";
        s.insert(5, size - s.size(), ' ');
        return s;
    }
};

TEST_F(SVGPictureTest, FormDataWhosePrefixLooksLikeAnImageStaysSVG)
{
    // Lengths whose little-endian bytes read 00 00 01 00 ("icon") or 42 4D ("BM").
    for (std::size_t size : { std::size_t(65536), std::size_t(19778), std::size_t(19778 + 65536), std::size_t(300) }) {
        SCOPED_TRACE(size);
        const std::string text = SvgOfSize(size);
        const TBytes data = FormData(text);
        for (int kind = 0; kind < 2; ++kind) {
            std::unique_ptr<TGDIPSVGPicture> p;
            if (kind == 0)
                p = std::make_unique<TLumGDIPPicture>();
            else
                p = std::make_unique<TGDIPPicture>();
            TBytesStream in(data);
            p->ReadData(in);
            EXPECT_TRUE(p->HasSVG());
            TBytesStream out;
            p->WriteData(out);
            EXPECT_EQ(TBytes(out.GetBytes().begin(), out.GetBytes().begin() + out.GetSize()), data);
        }
    }
}

TEST_F(SVGPictureTest, RasterFormDataIsReadAsTheImage)
{
    const TBytes png = EncodePng(Frame(3, 3, 0xFF00FF00, 0xFF00FF00));
    TLumGDIPPicture p;
    TBytesStream in(png);
    p.ReadData(in);
    EXPECT_FALSE(p.HasSVG());
    EXPECT_EQ(p.GetWidth(), 3);
}

TEST_F(SVGPictureTest, SVGDrawsThroughTheRegisteredDocumentAndRasterClearsIt)
{
    TGDIPPicture p;
    const std::string text = "<svg viewBox=\"0 0 30 20\"/>";
    Load(p, TBytes(text.begin(), text.end()));
    ASSERT_TRUE(p.HasSVG());
    EXPECT_FALSE(p.GetEmpty());
    EXPECT_EQ(p.GetWidth(), 30);
    EXPECT_EQ(p.GetHeight(), 20);

    TMemDC m(60, 60);
    {
        TGPGraphics g(m.DC);
        p.DrawImage(&g, 5, 6);
    }
    EXPECT_EQ(TFakeSVG::Draws, 1);
    EXPECT_EQ(TFakeSVG::LastRect, TRectF(5, 6, 35, 26));
    EXPECT_EQ(m.At(5, 6), Red);

    Load(p, EncodePng(Frame(2, 2, 0xFF000000, 0xFF000000)));
    EXPECT_FALSE(p.HasSVG());
    EXPECT_EQ(p.GetWidth(), 2);
}

TEST_F(GDIPPictureTest, WithoutARendererSVGSourceIsKeptAndSavedUnchanged)
{
    const std::string text = "<svg/>";
    TGDIPPicture p;
    Load(p, TBytes(text.begin(), text.end()));
    EXPECT_TRUE(p.HasSVG());
    TBytesStream out;
    p.SaveToStream(out);
    EXPECT_EQ(std::string(out.GetBytes().begin(), out.GetBytes().begin() + out.GetSize()), text);
    TMemDC m(10, 10);
    TCanvas canvas;
    canvas.SetHandle(m.DC);
    EXPECT_NO_THROW(p.Draw(&canvas, TRect(0, 0, 10, 10)));
    canvas.SetHandle(nullptr);
}

} // namespace
