#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesGraphics.h"
#include "graphics/LumGDIPlusClassesImages.h"
#include "graphics/LumGDIPlusClassesPaths.h"
#include "tests/graphics/GdipTestSupport.h"
#include "tests/platform/gdi/PixelProbe.h"

using namespace LumGDIPlusClasses;

namespace {

constexpr ARGB OpaqueRed = 0xFFFF0000u;
constexpr ARGB OpaqueBlue = 0xFF0000FFu;

using GraphicsWrapperTest = GdipWrapperTest;

int Calls = 0;
int SeenLength = -99;

Status FailSmoothing(void*, int) { return GenericError; }
Status CountDrawImagePoints(void*, void*, const TGPPointF*, int) { ++Calls; return Ok; }
Status RecordDrawStringLength(void*, const char16_t*, int length, const void*, const TGPRectF*, const void*,
    const void*)
{
    SeenLength = length;
    return Ok;
}

TEST_F(GraphicsWrapperTest, TheStatusFieldKeepsTheLastErrorUntilItIsRead)
{
    TMemDC dc(8, 8);
    TGPGraphics g(dc.DC);
    ASSERT_EQ(g.lastResult, Ok);
    ASSERT_NE(g.nativeGraphics, nullptr);
    {
        TGdipEntryOverride fail(GdiplusApi.GdipSetSmoothingMode, &FailSmoothing);
        EXPECT_EQ(g.SetSmoothingMode(SmoothingModeAntiAlias), GenericError);
    }
    EXPECT_EQ(g.SetSmoothingMode(SmoothingModeAntiAlias), Ok);
    EXPECT_EQ(g.GetSmoothingMode(), SmoothingModeAntiAlias);
    EXPECT_EQ(g.GetLastStatus(), GenericError);
    EXPECT_EQ(g.GetLastStatus(), Ok);
}

TEST_F(GraphicsWrapperTest, QueriesOnAGraphicsWithoutNativeObjectReturnTheirStartValues)
{
    // A null image makes no native object and leaves the status Ok.
    TGPGraphics g(static_cast<TGPImage*>(nullptr));
    EXPECT_EQ(g.nativeGraphics, nullptr);
    EXPECT_EQ(g.lastResult, Ok);

    struct TCase {
        const char* Name;
        std::function<double(TGPGraphics&)> Query;
        double Start;
    };
    const TCase cases[] = {
        { "smoothing", [](TGPGraphics& x) { return x.GetSmoothingMode(); }, -1 },
        { "interpolation", [](TGPGraphics& x) { return x.GetInterpolationMode(); }, -1 },
        { "pixel offset", [](TGPGraphics& x) { return x.GetPixelOffsetMode(); }, -1 },
        { "compositing quality", [](TGPGraphics& x) { return x.GetCompositingQuality(); }, 0 },
        { "page scale", [](TGPGraphics& x) { return x.GetPageScale(); }, 0 },
        { "dpi", [](TGPGraphics& x) { return x.GetDpiX(); }, 0 },
        { "visible point", [](TGPGraphics& x) { return x.IsVisible(1, 1) ? 1 : 0; }, 0 },
        { "visible rectangle", [](TGPGraphics& x) { return x.IsVisible(1, 1, 2, 2) ? 1 : 0; }, 1 },
        { "save", [](TGPGraphics& x) { return x.Save(); }, 0 },
        { "container", [](TGPGraphics& x) { return x.BeginContainer(); }, 0 },
        { "device context", [](TGPGraphics& x) { return x.GetHDC() ? 1 : 0; }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(c.Query(g), c.Start);
        EXPECT_NE(g.GetLastStatus(), Ok);
    }
    int x = 5, y = 5;
    EXPECT_NE(g.GetRenderingOrigin(x, y), Ok);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST_F(GraphicsWrapperTest, MissingRequiredObjectsAnswerInvalidParameterWithoutACall)
{
    TMemDC dc(8, 8);
    TGPGraphics g(dc.DC);
    const std::function<Status()> calls[] = {
        [&] { return g.DrawLine(nullptr, 0.f, 0.f, 4.f, 4.f); },
        [&] { return g.DrawRectangle(nullptr, 0, 0, 4, 4); },
        [&] { return g.FillRectangle(nullptr, TGPRectF { 0, 0, 4, 4 }); },
        [&] { return g.FillPath(nullptr, nullptr); },
        [&] { return g.SetTransform(nullptr); },
        [&] { return g.SetClip(static_cast<const TGPRegion*>(nullptr)); },
        [&] { return g.DrawCachedBitmap(nullptr, 0, 0); },
    };
    for (std::size_t i = 0; i < std::size(calls); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(calls[i](), InvalidParameter);
        EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
    }
    EXPECT_EQ(dc.Ink().size(), 0u);
}

TEST_F(GraphicsWrapperTest, DrawImageToPointsTakesThreeOrFourPointsOnly)
{
    TMemDC dc(20, 20);
    TGPGraphics g(dc.DC);
    TGPBitmap bitmap(4, 4, PixelFormat32bppARGB);
    {
        TGPGraphics ig(&bitmap);
        ASSERT_EQ(ig.Clear(OpaqueRed), Ok);
    }
    const TGPPointF points[5] = { { 2, 2 }, { 12, 2 }, { 2, 12 }, { 12, 12 }, { 0, 0 } };
    {
        Calls = 0;
        TGdipEntryOverride count(GdiplusApi.GdipDrawImagePoints, &CountDrawImagePoints);
        for (int n : { 2, 5, 0, -1 }) {
            SCOPED_TRACE(n);
            EXPECT_EQ(g.DrawImage(&bitmap, points, n), InvalidParameter);
            EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
        }
        EXPECT_EQ(g.DrawImage(&bitmap, static_cast<const TGPPointF*>(nullptr), 3), InvalidParameter);
        EXPECT_EQ(Calls, 0);
        EXPECT_EQ(g.DrawImage(&bitmap, points, 4), Ok);
        EXPECT_EQ(Calls, 1);
    }
    // Three points: upper-left, upper-right, lower-left of a parallelogram.
    ASSERT_EQ(g.DrawImage(&bitmap, points, 3), Ok);
    g.Flush();
    EXPECT_EQ(dc.At(7, 7), RGB(255, 0, 0));
    EXPECT_EQ(dc.At(16, 16), RGB(255, 255, 255));
}

TEST_F(GraphicsWrapperTest, TextLengthsNeverReachPastTheText)
{
    TMemDC dc(8, 8);
    TGPGraphics g(dc.DC);
    TGdipEntryOverride record(GdiplusApi.GdipDrawString, &RecordDrawStringLength);
    const TGPRectF layout { 0, 0, 8, 8 };
    struct TCase {
        String Text;
        int Length;
        int Passed;
    };
    const TCase cases[] = {
        { u"", 0, 0 },
        { u"abc", 2, 2 },
        { u"abc", 10, 3 },
        { u"abc", -1, -1 },
        { u"abc", -7, -1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Length);
        SeenLength = -99;
        EXPECT_EQ(g.DrawString(c.Text, c.Length, nullptr, layout, nullptr, nullptr), Ok);
        EXPECT_EQ(SeenLength, c.Passed);
    }
    SeenLength = -99;
    EXPECT_EQ(g.DrawString(String(), nullptr, layout, nullptr, nullptr), Ok);
    EXPECT_EQ(SeenLength, 0);
    SeenLength = -99;
    EXPECT_EQ(g.DrawString(u"hello", nullptr, layout, nullptr, nullptr), Ok);
    EXPECT_EQ(SeenLength, 5);
}

TEST_F(GraphicsWrapperTest, TextIsDrawnAndMeasuredInsideItsLayout)
{
    TMemDC dc(120, 40);
    TGPGraphics g(dc.DC);
    TGPFont font(u"Arial", 12, FontStyleRegular, UnitPixel);
    TGPSolidBrush black(0xFF000000u);
    ASSERT_EQ(font.GetLastStatus(), Ok);
    const TGPRectF layout { 10, 5, 100, 30 };
    ASSERT_EQ(g.DrawString(u"Wide text", -1, &font, layout, nullptr, &black), Ok);
    g.Flush();
    const RECT ink = dc.InkBox();
    EXPECT_GE(ink.Left, 10);
    EXPECT_GE(ink.Top, 5);
    EXPECT_LE(ink.Right, 110);
    EXPECT_LE(ink.Bottom, 35);
    EXPECT_GT(ink.Right - ink.Left, 30);

    TGPSizeF size { -1, -1 };
    int fitted = 0, lines = 0;
    ASSERT_EQ(g.MeasureString(u"Wide text", -1, &font, TGPSizeF { 100, 30 }, nullptr, size, &fitted, &lines), Ok);
    EXPECT_GT(size.Width, 30.f);
    EXPECT_LE(size.Width, 100.f);
    EXPECT_GT(size.Height, 8.f);
    EXPECT_EQ(fitted, 9);
    EXPECT_EQ(lines, 1);

    // A failed measure leaves the size alone.
    TGPGraphics none(static_cast<TGPImage*>(nullptr));
    TGPSizeF untouched { 7, 8 };
    EXPECT_NE(none.MeasureString(u"x", 1, &font, TGPSizeF { 10, 10 }, nullptr, untouched), Ok);
    EXPECT_EQ(untouched.Width, 7.f);
    EXPECT_EQ(untouched.Height, 8.f);
}

TEST_F(GraphicsWrapperTest, MeasureCharacterRangesChecksItsRegionsFirst)
{
    TMemDC dc(8, 8);
    TGPGraphics g(dc.DC);
    TGPFont font(u"Arial", 12, FontStyleRegular, UnitPixel);
    TGPRegion region;
    TGPRegion* regions[] = { &region };
    const TGPRectF layout { 0, 0, 100, 30 };
    // Not recorded: the status field stays as it was.
    EXPECT_EQ(g.MeasureCharacterRanges(u"ab", 2, &font, layout, nullptr, 0, regions), InvalidParameter);
    EXPECT_EQ(g.MeasureCharacterRanges(u"ab", 2, &font, layout, nullptr, 2, regions), InvalidParameter);
    EXPECT_EQ(g.lastResult, Ok);

    TGPStringFormat format;
    const CharacterRange range { 0, 2 };
    ASSERT_EQ(format.SetMeasurableCharacterRanges(1, &range), Ok);
    ASSERT_EQ(g.MeasureCharacterRanges(u"ab", 2, &font, layout, &format, 1, regions), Ok);
    TGPRectF bounds;
    ASSERT_EQ(region.GetBounds(bounds, &g), Ok);
    EXPECT_GT(bounds.Width, 5.f);
}

TEST_F(GraphicsWrapperTest, ClipAndTransformShapeWhatIsPainted)
{
    TMemDC dc(20, 20);
    TGPGraphics g(dc.DC);
    ASSERT_EQ(g.SetClip(TGPRect { 5, 5, 10, 10 }), Ok);
    ASSERT_EQ(g.ExcludeClip(TGPRect { 5, 5, 5, 5 }), Ok);
    EXPECT_TRUE(g.IsVisible(12, 12));
    EXPECT_FALSE(g.IsVisible(6, 6));
    EXPECT_FALSE(g.IsVisible(1, 1));
    TGPRect bounds;
    ASSERT_EQ(g.GetClipBounds(bounds), Ok);
    EXPECT_EQ(bounds.X, 5);
    EXPECT_EQ(bounds.Width, 10);
    ASSERT_EQ(g.Clear(OpaqueBlue), Ok);
    g.Flush();
    EXPECT_EQ(dc.At(12, 12), RGB(0, 0, 255));
    EXPECT_EQ(dc.At(6, 6), RGB(255, 255, 255));
    EXPECT_EQ(dc.At(2, 2), RGB(255, 255, 255));

    const UINT state = g.Save();
    ASSERT_EQ(g.ResetClip(), Ok);
    ASSERT_EQ(g.TranslateTransform(10, 0), Ok);
    TGPSolidBrush red(OpaqueRed);
    ASSERT_EQ(g.FillRectangle(&red, 0, 0, 3, 3), Ok);
    ASSERT_EQ(g.Restore(state), Ok);
    ASSERT_EQ(g.FillRectangle(&red, 0, 17, 3, 3), Ok); // the clip is back
    g.Flush();
    EXPECT_EQ(dc.At(11, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.At(1, 1), RGB(255, 255, 255));
    EXPECT_EQ(dc.At(1, 18), RGB(255, 255, 255));
}

TEST_F(GraphicsWrapperTest, ACachedBitmapDrawsWhereItIsPut)
{
    TMemDC dc(20, 20);
    TGPGraphics g(dc.DC);
    TGPBitmap bitmap(4, 4, PixelFormat32bppARGB);
    {
        TGPGraphics ig(&bitmap);
        ASSERT_EQ(ig.Clear(OpaqueBlue), Ok);
    }
    TGPCachedBitmap cached(&bitmap, &g);
    ASSERT_EQ(cached.GetLastStatus(), Ok);
    ASSERT_EQ(g.DrawCachedBitmap(&cached, 10, 3), Ok);
    g.Flush();
    EXPECT_EQ(dc.At(11, 4), RGB(0, 0, 255));
    EXPECT_EQ(dc.At(9, 4), RGB(255, 255, 255));
    EXPECT_EQ(dc.At(14, 4), RGB(255, 255, 255));
}

} // namespace
