#include <gtest/gtest.h>

#include <cstdint>

#include "platform/gdiplus/Gdiplus.h"

using namespace Gdiplus;

namespace {

class GdiplusStandInTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
    }
};

template <class Sig> Sig* Flat(const char* name) { return reinterpret_cast<Sig*>(GdiplusGetProcAddress(name)); }

TEST_F(GdiplusStandInTest, ABitmapFromADibKeepsItsPixelsInBothRowOrders)
{
    auto* fromDib = Flat<GpStatus(const BITMAPINFO*, const void*, GpBitmap**)>("GdipCreateBitmapFromGdiDib");
    ASSERT_NE(fromDib, nullptr);
    // Two rows of two pixels, blue-green-red-alpha bytes, the first row red.
    const std::uint32_t pixels[4] = { 0xFFFF0000u, 0xFFFF0000u, 0xFF0000FFu, 0xFF0000FFu };
    struct TCase {
        LONG Height;
        ARGB Top;
    };
    const TCase cases[] = { { -2, 0xFFFF0000u }, { 2, 0xFF0000FFu } };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Height);
        BITMAPINFO info {};
        info.bmiHeader.biWidth = 2;
        info.bmiHeader.biHeight = c.Height;
        info.bmiHeader.biBitCount = 32;
        GpBitmap* bitmap = nullptr;
        ASSERT_EQ(fromDib(&info, pixels, &bitmap), Ok);
        ARGB top = 0;
        ASSERT_EQ(GdipBitmapGetPixel(bitmap, 1, 0, &top), Ok);
        EXPECT_EQ(top, c.Top);
        GdipDisposeImage(bitmap);
    }
    BITMAPINFO empty {};
    GpBitmap* none = nullptr;
    EXPECT_EQ(fromDib(&empty, pixels, &none), InvalidParameter);
    EXPECT_EQ(fromDib(nullptr, pixels, &none), InvalidParameter);
}

TEST_F(GdiplusStandInTest, IntegerRegionBoundsEncloseTheRegion)
{
    auto* boundsI = Flat<GpStatus(GpRegion*, GpGraphics*, GpRect*)>("GdipGetRegionBoundsI");
    ASSERT_NE(boundsI, nullptr);
    GpBitmap* bitmap = nullptr;
    ASSERT_EQ(GdipCreateBitmapFromScan0(4, 4, 0, PixelFormat32bppARGB, nullptr, &bitmap), Ok);
    GpGraphics* g = nullptr;
    ASSERT_EQ(GdipGetImageGraphicsContext(bitmap, &g), Ok);
    const GpRectF area { 1.5f, 2.25f, 3.0f, 4.5f };
    GpRegion* region = nullptr;
    ASSERT_EQ(GdipCreateRegionRect(&area, &region), Ok);
    GpRect r;
    ASSERT_EQ(boundsI(region, g, &r), Ok);
    EXPECT_EQ(r.X, 1);
    EXPECT_EQ(r.Y, 2);
    EXPECT_EQ(r.X + r.Width, 5);
    EXPECT_EQ(r.Y + r.Height, 7);
    ASSERT_EQ(GdipSetInfinite(region), Ok);
    EXPECT_EQ(boundsI(region, g, &r), Ok);
    EXPECT_LT(r.X, 0);
    EXPECT_GT(r.Width, 0);
    EXPECT_EQ(boundsI(region, g, nullptr), InvalidParameter);
    GdipDeleteRegion(region);
    GdipDeleteGraphics(g);
    GdipDisposeImage(bitmap);
}

} // namespace
