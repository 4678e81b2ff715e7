#include <gtest/gtest.h>

#include "graphics/LumGDIPlusClassesGraphics.h"
#include "graphics/LumGDIPlusClassesImages.h"
#include "tests/graphics/GdipTestSupport.h"
#include "tests/support/Fixtures.h"

using namespace LumGDIPlusClasses;

namespace {

constexpr TGUID PngEncoder = TGUID::Parse("{557CF406-1A04-11D3-9A73-0000F81EF32E}");

using ImageWrapperTest = GdipWrapperTest;

struct TScan0Call {
    int Width = 0, Height = 0, Stride = -1, Format = 0;
    BYTE* Scan0 = reinterpret_cast<BYTE*>(1);
} LastScan0;
Status (*RealScan0)(int, int, int, int, BYTE*, void**) = nullptr;
Status RecordScan0(int w, int h, int stride, int format, BYTE* scan0, void** bitmap)
{
    LastScan0 = { w, h, stride, format, scan0 };
    return RealScan0(w, h, stride, format, scan0, bitmap);
}

struct TAttributeCall {
    BOOL Enable = -1;
    const void* First = reinterpret_cast<const void*>(1);
    const void* Second = reinterpret_cast<const void*>(1);
    int Flags = -1;
} LastAttribute;
Status RecordColorMatrix(void*, ColorAdjustType, BOOL enable, const ColorMatrix* m, const ColorMatrix* gray,
    ColorMatrixFlags flags)
{
    LastAttribute = { enable, m, gray, flags };
    return Ok;
}
Status RecordOutputChannel(void*, ColorAdjustType, BOOL enable, ColorChannelFlags flags)
{
    LastAttribute = { enable, nullptr, nullptr, flags };
    return Ok;
}
Status FailGetWidth(void*, UINT*) { return GenericError; }

// A bitmap of one colour, filled through a graphics on it.
std::unique_ptr<TGPBitmap> SolidBitmap(int w, int h, ARGB color)
{
    auto bitmap = std::make_unique<TGPBitmap>(w, h, PixelFormat32bppARGB);
    TGPGraphics g(bitmap.get());
    g.Clear(color);
    return bitmap;
}

TEST_F(ImageWrapperTest, AMissingFileLeavesANullImageThatAnswersStartValues)
{
    testsupport::TempDir dir;
    const String missing = Utf8ToString((dir / "none.png").string());
    for (bool icm : { false, true }) {
        SCOPED_TRACE(icm);
        TGPImage image(missing, icm);
        EXPECT_EQ(image.nativeImage, nullptr);
        EXPECT_NE(image.GetLastStatus(), Ok);
        EXPECT_EQ(image.GetWidth(), 0u);
        EXPECT_EQ(image.GetType(), ImageTypeUnknown);
        TGPSizeF size { 5, 5 };
        EXPECT_NE(image.GetPhysicalDimension(size), Ok);
        EXPECT_EQ(size.Width, 0.f);
        EXPECT_EQ(size.Height, 0.f);
    }
    TGPBitmap bitmap(missing);
    EXPECT_EQ(bitmap.nativeImage, nullptr);
    ARGB color = 0xDEADBEEF;
    EXPECT_NE(bitmap.GetPixel(0, 0, color), Ok);
    EXPECT_EQ(color, 0u);
}

TEST_F(ImageWrapperTest, ABitmapSavedAsPngLoadsBackWithItsSizeAndPixels)
{
    testsupport::TempDir dir;
    const String file = Utf8ToString((dir / "red.png").string());
    auto bitmap = SolidBitmap(6, 4, 0xFFFF0000u);
    ASSERT_EQ(bitmap->SetPixel(5, 3, 0xFF00FF00u), Ok);
    ASSERT_EQ(bitmap->Save(file, PngEncoder), Ok);

    auto image = TGPImage::FromFile(file);
    ASSERT_EQ(image->GetLastStatus(), Ok);
    EXPECT_EQ(image->GetType(), ImageTypeBitmap);
    EXPECT_EQ(image->GetWidth(), 6u);
    EXPECT_EQ(image->GetHeight(), 4u);
    TGPRectF bounds;
    Unit_ unit = UnitMillimeter;
    ASSERT_EQ(image->GetBounds(bounds, unit), Ok);
    EXPECT_EQ(unit, UnitPixel);
    EXPECT_EQ(bounds.Width, 6.f);

    auto loaded = TGPBitmap::FromFile(file);
    ARGB color = 0;
    ASSERT_EQ(loaded->GetPixel(0, 0, color), Ok);
    EXPECT_EQ(color, 0xFFFF0000u);
    ASSERT_EQ(loaded->GetPixel(5, 3, color), Ok);
    EXPECT_EQ(color, 0xFF00FF00u);

    // Any image drawn through a graphics onto a new 32-bit bitmap keeps its pixels.
    TGPBitmap copy(6, 4, PixelFormat32bppARGB);
    {
        TGPGraphics g(&copy);
        ASSERT_EQ(g.DrawImage(image.get(), 0, 0, 6, 4), Ok);
    }
    ASSERT_EQ(copy.GetPixel(5, 3, color), Ok);
    EXPECT_EQ(color, 0xFF00FF00u);
}

TEST_F(ImageWrapperTest, ABitmapOfASizeLetsTheLibraryAllocateThePixels)
{
    RealScan0 = GdiplusApi.GdipCreateBitmapFromScan0.Fn;
    TGdipEntryOverride record(GdiplusApi.GdipCreateBitmapFromScan0, &RecordScan0);
    TGPBitmap bitmap(7, 5, PixelFormat32bppPARGB);
    EXPECT_EQ(bitmap.lastResult, Ok);
    EXPECT_EQ(LastScan0.Stride, 0);
    EXPECT_EQ(LastScan0.Scan0, nullptr);
    EXPECT_EQ(LastScan0.Format, PixelFormat32bppPARGB);
    EXPECT_EQ(bitmap.GetWidth(), 7u);
    EXPECT_EQ(bitmap.GetPixelFormat(), PixelFormat32bppPARGB);

    BitmapData data;
    ASSERT_EQ(bitmap.LockBits(TGPRect { 0, 0, 7, 5 }, ImageLockModeRead, PixelFormat32bppARGB, data), Ok);
    EXPECT_EQ(data.Width, 7u);
    EXPECT_GE(data.Stride, 28);
    EXPECT_EQ(bitmap.UnlockBits(data), Ok);
}

TEST_F(ImageWrapperTest, AreaClonesAfterAnUnreadErrorDifferBetweenIntegerAndFloatForms)
{
    auto bitmap = SolidBitmap(8, 8, 0xFF0000FFu);
    const auto withEarlierError = [&] {
        TGdipEntryOverride fail(GdiplusApi.GdipGetImageWidth, &FailGetWidth);
        EXPECT_EQ(bitmap->GetWidth(), 0u);
        EXPECT_EQ(bitmap->lastResult, GenericError);
    };
    withEarlierError();
    auto whole = bitmap->Clone(TGPRect { 2, 2, 4, 4 }, PixelFormat32bppARGB);
    ASSERT_NE(whole, nullptr);
    EXPECT_EQ(bitmap->lastResult, Ok);
    EXPECT_EQ(whole->GetWidth(), 4u);

    withEarlierError();
    EXPECT_EQ(bitmap->Clone(TGPRectF { 2, 2, 4, 4 }, PixelFormat32bppARGB), nullptr);
    EXPECT_EQ(bitmap->GetLastStatus(), GenericError);
    auto clean = bitmap->Clone(TGPRectF { 2, 2, 4, 4 }, PixelFormat32bppARGB);
    ASSERT_NE(clean, nullptr);
    ARGB color = 0;
    ASSERT_EQ(clean->GetPixel(0, 0, color), Ok);
    EXPECT_EQ(color, 0xFF0000FFu);

    // Outside the bitmap: null, the error kept.
    EXPECT_EQ(bitmap->Clone(20, 20, 4, 4, PixelFormat32bppARGB), nullptr);
    EXPECT_NE(bitmap->GetLastStatus(), Ok);

    // An image clone is a plain image carrying the source's status field.
    withEarlierError();
    auto image = bitmap->Clone();
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->nativeImage, nullptr);
    EXPECT_EQ(image->lastResult, GenericError);
}

TEST_F(ImageWrapperTest, ImageArgumentsAreCheckedAndClearedAttributesPassEmptyValues)
{
    auto bitmap = SolidBitmap(2, 2, 0xFF000000u);
    EXPECT_EQ(bitmap->SaveAdd(nullptr, nullptr), InvalidParameter);
    EXPECT_EQ(bitmap->GetLastStatus(), InvalidParameter);
    TGPBitmap fromGraphics(4, 4, static_cast<TGPGraphics*>(nullptr));
    EXPECT_EQ(fromGraphics.GetLastStatus(), InvalidParameter);
    TGPCachedBitmap cached(bitmap.get(), nullptr);
    EXPECT_EQ(cached.GetLastStatus(), InvalidParameter);

    TGPImageAttributes attributes;
    ASSERT_EQ(attributes.GetLastStatus(), Ok);
    {
        TGdipEntryOverride record(GdiplusApi.GdipSetImageAttributesColorMatrix, &RecordColorMatrix);
        ColorMatrix m;
        ASSERT_EQ(attributes.SetColorMatrix(m, ColorMatrixFlagsSkipGrays), Ok);
        EXPECT_EQ(LastAttribute.Enable, TRUE);
        EXPECT_EQ(LastAttribute.First, &m);
        EXPECT_EQ(LastAttribute.Second, nullptr);
        ASSERT_EQ(attributes.ClearColorMatrix(), Ok);
        EXPECT_EQ(LastAttribute.Enable, FALSE);
        EXPECT_EQ(LastAttribute.First, nullptr);
        EXPECT_EQ(LastAttribute.Second, nullptr);
        EXPECT_EQ(LastAttribute.Flags, ColorMatrixFlagsDefault);
    }
    {
        TGdipEntryOverride record(GdiplusApi.GdipSetImageAttributesOutputChannel, &RecordOutputChannel);
        ASSERT_EQ(attributes.ClearOutputChannel(), Ok);
        EXPECT_EQ(LastAttribute.Enable, FALSE);
        EXPECT_EQ(LastAttribute.Flags, ColorChannelFlagsLast);
    }
}

TEST_F(ImageWrapperTest, AColorKeyDrawsTheKeyedColourTransparent)
{
    auto source = SolidBitmap(4, 4, 0xFFFF0000u);
    ASSERT_EQ(source->SetPixel(0, 0, 0xFF00FF00u), Ok);
    TGPImageAttributes attributes;
    ASSERT_EQ(attributes.SetColorKey(0xFFFF0000u, 0xFFFF0000u), Ok);
    auto target = SolidBitmap(4, 4, 0xFFFFFFFFu);
    {
        TGPGraphics g(target.get());
        ASSERT_EQ(g.DrawImage(source.get(), TGPRect { 0, 0, 4, 4 }, 0, 0, 4, 4, UnitPixel, &attributes), Ok);
    }
    ARGB color = 0;
    ASSERT_EQ(target->GetPixel(2, 2, color), Ok);
    EXPECT_EQ(color, 0xFFFFFFFFu);
    ASSERT_EQ(target->GetPixel(0, 0, color), Ok);
    EXPECT_EQ(color, 0xFF00FF00u);

    auto copy = attributes.Clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->nativeImageAttr, nullptr);
    EXPECT_EQ(copy->GetLastStatus(), Ok);
}

} // namespace
