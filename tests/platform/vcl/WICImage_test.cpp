#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/vcl/Graphics.h"
#include "platform/vcl/WICImage.h"
#include "tests/support/Fixtures.h"

namespace {

// A baseline TIFF written byte by byte (no library): one strip of
// uncompressed 8-bit RGB, in either byte order.
TBytes HandMadeTiff(bool bigEndian, int width, int height, const std::vector<std::uint32_t>& rgb)
{
    TBytes b;
    auto put16 = [&](unsigned v) {
        if (bigEndian) {
            b.push_back(Byte(v >> 8));
            b.push_back(Byte(v));
        } else {
            b.push_back(Byte(v));
            b.push_back(Byte(v >> 8));
        }
    };
    auto put32 = [&](std::uint32_t v) {
        if (bigEndian) {
            put16(v >> 16);
            put16(v & 0xFFFF);
        } else {
            put16(v & 0xFFFF);
            put16(v >> 16);
        }
    };
    constexpr unsigned Short = 3, Long = 4;
    constexpr std::uint32_t Entries = 9;
    const std::uint32_t bitsAt = 8 + 2 + Entries * 12 + 4;
    const std::uint32_t pixelsAt = bitsAt + 6;
    // A SHORT value stands in the first two bytes of the four-byte field.
    auto entry = [&](unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
        put16(tag);
        put16(type);
        put32(count);
        if (type == Short && count == 1) {
            put16(value);
            put16(0);
        } else {
            put32(value);
        }
    };
    b.push_back(bigEndian ? 'M' : 'I');
    b.push_back(bigEndian ? 'M' : 'I');
    put16(42);
    put32(8);
    put16(Entries);
    entry(256, Short, 1, std::uint32_t(width));
    entry(257, Short, 1, std::uint32_t(height));
    entry(258, Short, 3, bitsAt);
    entry(259, Short, 1, 1); // no compression
    entry(262, Short, 1, 2); // RGB
    entry(273, Long, 1, pixelsAt);
    entry(277, Short, 1, 3);
    entry(278, Short, 1, std::uint32_t(height));
    entry(279, Long, 1, std::uint32_t(width * height * 3));
    put32(0);
    for (int k = 0; k < 3; ++k)
        put16(8);
    for (std::uint32_t p : rgb) {
        b.push_back(Byte(p >> 16));
        b.push_back(Byte(p >> 8));
        b.push_back(Byte(p));
    }
    return b;
}

const std::vector<std::uint32_t> Quad = { 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x336699, 0x000000 };

TEST(TIFFPictures, BothByteOrdersLoadByContentAndByExtension)
{
    testsupport::TempDir dir;
    for (bool bigEndian : { false, true }) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        const TBytes tiff = HandMadeTiff(bigEndian, 3, 2, Quad);

        TBytesStream stream(tiff);
        TPicture fromStream;
        fromStream.LoadFromStream(stream);
        ASSERT_NE(fromStream.GetGraphic(), nullptr);
        EXPECT_EQ(fromStream.GetGraphic()->ClassName(), u"TWICImage");
        const TImageFrame frame = fromStream.GetGraphic()->GetImageFrame();
        ASSERT_EQ(frame.Width, 3);
        ASSERT_EQ(frame.Height, 2);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(frame.Pixels[std::size_t(i)], 0xFF000000u | Quad[std::size_t(i)]) << "pixel " << i;

        for (const char* name : { "a.tif", "b.TIFF" }) {
            SCOPED_TRACE(name);
            std::ofstream(dir / name, std::ios::binary)
                .write(reinterpret_cast<const char*>(tiff.data()), std::streamsize(tiff.size()));
            TPicture fromFile;
            fromFile.LoadFromFile(Utf8ToString((dir / name).string()));
            EXPECT_EQ(fromFile.GetGraphic()->ClassName(), u"TWICImage");
            EXPECT_EQ(fromFile.GetWidth(), 3);
        }
    }
    EXPECT_EQ(TPicture::FindGraphicClassByExtension(u".tif"), TWICImage::StaticClassInfo());
    EXPECT_EQ(TPicture::FindGraphicClassByExtension(u"tiff"), TWICImage::StaticClassInfo());
}

TEST(TIFFPictures, DrawAndKeepTheirBytes)
{
    const TBytes tiff = HandMadeTiff(false, 3, 2, Quad);
    TWICImage image;
    TBytesStream in(tiff);
    image.LoadFromStream(in);
    TBitmap target;
    target.SetSize(6, 4);
    target.GetCanvas()->StretchDraw(TRect { 0, 0, 6, 4 }, &image);
    EXPECT_EQ(target.GetCanvas()->GetPixel(0, 0), TColor(0x0000FF));  // red, as a TColor
    EXPECT_EQ(target.GetCanvas()->GetPixel(3, 1), TColor(0x00FF00));  // green
    EXPECT_EQ(target.GetCanvas()->GetPixel(5, 3), TColor(0x000000));
    EXPECT_EQ(target.GetCanvas()->GetPixel(0, 3), TColor(0xFFFFFF));

    TBytesStream out;
    image.SaveToStream(out);
    TBytes saved = out.GetBytes();
    saved.resize(std::size_t(out.GetSize()));
    EXPECT_EQ(saved, tiff) << "a loaded file is saved as it came";
}

TEST(TIFFPictures, OtherGraphicsAreWrittenAsTiffWithTheirAlpha)
{
    TImageFrame f;
    f.Width = 2;
    f.Height = 1;
    f.Pixels = { 0x80FF0000, 0xFF0000FF };
    TBitmap source;
    source.SetImageFrame(f);
    TWICImage image;
    image.Assign(&source);
    TBytesStream s;
    image.SaveToStream(s);
    s.SetPosition(0);
    ASSERT_TRUE(TWICImage::CanLoadFromStream(s));
    TWICImage again;
    again.LoadFromStream(s);
    const TImageFrame back = again.GetImageFrame();
    ASSERT_EQ(back.Width, 2);
    EXPECT_EQ(back.Pixels[1], 0xFF0000FFu);
    // The alpha the bitmap holds comes back, and with it the transparency.
    const std::uint32_t alpha = image.GetImageFrame().Pixels[0] >> 24;
    EXPECT_EQ(back.Pixels[0] >> 24, alpha);
    EXPECT_EQ(again.GetTransparent(), alpha != 255);
}

TEST(TIFFPictures, DamagedFilesRaise)
{
    TBytes truncated = HandMadeTiff(false, 3, 2, Quad);
    truncated.resize(40);
    for (const TBytes& bytes : { truncated, TBytes { 'I', 'I', 42, 0, 0xFF, 0xFF, 0xFF, 0x7F } }) {
        TBytesStream s(bytes);
        TWICImage image;
        EXPECT_THROW(image.LoadFromStream(s), EInvalidGraphic);
        EXPECT_TRUE(image.GetEmpty());
    }
    TBytesStream notTiff(TBytes { 'I', 'I', 43, 0 });
    EXPECT_FALSE(TWICImage::CanLoadFromStream(notTiff));
}

// A file of a few dozen bytes declaring 16384 x 16384 pixels is refused from
// its header, under the codecs' pixel cap; a wide one within the cap loads.
TEST(TIFFPictures, DeclaredSizeIsCapped)
{
    try {
        DecodeTiff(HandMadeTiff(true, 16384, 16384, Quad));
        ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message, u"The TIFF image is too large");
    }
    const std::vector<std::uint32_t> row(8192, 0x336699);
    const TImageFrame wide = DecodeTiff(HandMadeTiff(false, 8192, 1, row));
    EXPECT_EQ(wide.Width, 8192);
    EXPECT_EQ(wide.At(8191, 0), 0xFF336699u);
}

} // namespace
