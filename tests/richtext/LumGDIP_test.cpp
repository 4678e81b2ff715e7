#include <gtest/gtest.h>

#include <memory>

#include "platform/gdi/Codecs.h"
#include "platform/gdiplus/Gdiplus.h"
#include "richtext/LumGDIP.h"
#include "tests/platform/gdi/PixelProbe.h"

using namespace LumGDIP;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);

class LumGDIPTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!EnsureGdiplusStarted())
            GTEST_SKIP() << "libgdiplus is not installed";
        Font.SetName(u"Arial");
        Font.SetSize(12);
    }
    TFont Font;
};

// An opaque bitmap of one colour.
std::unique_ptr<TGPBitmap> SolidBitmap(int w, int h, ARGB color)
{
    auto bmp = std::make_unique<TGPBitmap>(w, h, PixelFormat32bppARGB);
    std::unique_ptr<TGPGraphics> g(TGPGraphics::FromImage(bmp.get()));
    g->Clear(color);
    return bmp;
}

TEST_F(LumGDIPTest, StartUpsAreCountedSoAnotherSetsShutDownLeavesTheLibraryRunning)
{
    TGPSolidBrush first(0xFF00FF00);
    ASSERT_EQ(first.lastResult, Ok);
    const int before = GdiplusStartupCount();
    ASSERT_GE(before, 1);

    std::uintptr_t token = 0;
    GdiplusStartupInput in;
    GdiplusStartupOutput out;
    ASSERT_EQ(::GdiplusStartup(&token, &in, &out), Gdiplus::Ok);
    EXPECT_EQ(GdiplusStartupCount(), before + 1);
    ::GdiplusShutdown(token);
    ::GdiplusShutdown(token); // a second return of the same token changes nothing
    EXPECT_EQ(GdiplusStartupCount(), before);

    TGPSolidBrush second(0xFF0000FF);
    EXPECT_EQ(second.lastResult, Ok);
    EXPECT_NE(second.nativeBrush, nullptr);
}

TEST_F(LumGDIPTest, MakeFontExReusesTheCachedFontUntilNameSizeOrStyleChange)
{
    TMemDC m(10, 10);
    TGPGraphics g(m.DC);
    TGPFont* cached = g.MakeFontEx(&Font);
    ASSERT_NE(cached, nullptr);
    EXPECT_EQ(cached->lastResult, Ok);
    EXPECT_EQ(g.MakeFontEx(&Font), cached);
    EXPECT_FLOAT_EQ(cached->GetSize(), 12.0f);

    TGPFont* sized = g.MakeFontEx(&Font, 14);
    EXPECT_FLOAT_EQ(sized->GetSize(), 14.0f);
    EXPECT_EQ(g.MakeFontEx(&Font, 14), sized);

    Font.SetStyle(TFontStyles { fsBold });
    TGPFont* bold = g.MakeFontEx(&Font, 14);
    EXPECT_EQ(bold->GetStyle(), Gdiplus::FontStyleBold);

    Font.SetName(u"Courier New");
    TGPFont* renamed = g.MakeFontEx(&Font, 14);
    EXPECT_EQ(g.FCachedFont, renamed);
    TGPFontFamily family;
    ASSERT_EQ(renamed->GetFamily(family), Ok);
    String name;
    family.GetFamilyName(name);
    TGPFontFamily courier(u"Courier New");
    String expected;
    courier.GetFamilyName(expected);
    EXPECT_EQ(name, expected);
}

TEST_F(LumGDIPTest, AnUnknownFontNameFallsBackToArial)
{
    TMemDC m(10, 10);
    TGPGraphics g(m.DC);
    Font.SetName(u"No Such Family Anywhere");
    std::unique_ptr<TGPFont> font(g.MakeFont(&Font));
    ASSERT_EQ(font->lastResult, Ok);
    TGPFontFamily family;
    ASSERT_EQ(font->GetFamily(family), Ok);
    String name, arial;
    family.GetFamilyName(name);
    TGPFontFamily(u"Arial").GetFamilyName(arial);
    EXPECT_FALSE(arial.empty());
    EXPECT_EQ(name, arial);
}

TEST_F(LumGDIPTest, DrawTextMeasuresWithCalcRectAndDrawsOtherwise)
{
    constexpr unsigned CalcRect = 0x400;
    TMemDC m(200, 60);
    {
        TGPGraphics g(m.DC);
        TRect r(10, 10, 20, 20);
        const int h = g.DrawText(u"Hello", 5, r, &Font, CalcRect);
        EXPECT_EQ(h, r.Bottom - r.Top);
        EXPECT_EQ(r.Left, 10);
        EXPECT_EQ(r.Top, 10);
        EXPECT_GT(r.Right, 30);
        EXPECT_GT(h, 10);
    }
    EXPECT_TRUE(m.Ink().empty()) << "measuring draws nothing";

    {
        TGPGraphics g(m.DC);
        TRect r(10, 10, 20, 20);
        EXPECT_EQ(g.DrawText(u"Hello", 5, r, &Font, 0), 10);
        EXPECT_EQ(r, TRect(10, 10, 20, 20)) << "drawing without a background does not measure";
    }
    const RECT ink = m.InkBox();
    EXPECT_GE(ink.Left, 10);
    EXPECT_GE(ink.Top, 10);
    EXPECT_GT(ink.Right, 30) << "the text is not clipped to the rectangle";
}

TEST_F(LumGDIPTest, DrawTextMeasuresATrailingSpaceAsAnI)
{
    constexpr unsigned CalcRect = 0x400;
    TMemDC m(10, 10);
    TGPGraphics g(m.DC);
    Font.SetSize(40);
    auto width = [&](const String& s) {
        TRect r(0, 0, 0, 0);
        g.DrawText(s, int(s.size()), r, &Font, CalcRect);
        return r.Right;
    };
    EXPECT_EQ(width(u"ab "), width(u"abi"));
    EXPECT_GT(width(u"ab "), width(u"ab"));
    // A lone space stays a space.
    EXPECT_NE(width(u" "), width(u"i"));
}

TEST_F(LumGDIPTest, DrawTextWithABackgroundFillsTheMeasuredBox)
{
    TMemDC m(200, 60);
    TRect r(10, 10, 10, 10);
    {
        TGPGraphics g(m.DC);
        g.DrawText(u"Wide text", 9, r, &Font, 0, clRed);
    }
    EXPECT_GT(r.Right, 40);
    EXPECT_GT(r.Bottom, 20);
    // The fill starts one pixel in and spans the trimmed width.
    EXPECT_EQ(m.At(10, 12), White);
    EXPECT_EQ(m.At(11, r.Top), RGB(255, 0, 0));
    EXPECT_EQ(m.At(r.Right - 1, r.Top), RGB(255, 0, 0));
    EXPECT_EQ(m.At(r.Right + 2, r.Top), White);
}

TEST_F(LumGDIPTest, TextLayoutKeepsASixthOfAnEmFreeOnEachSideExceptTypographic)
{
    struct TCase {
        const char* Name;
        int Flags; // -1: no format
        float Pad;
    };
    const TCase cases[] = {
        { "no format", -1, 16.0f / 6 },
        { "default format", 0, 16.0f / 6 },
        { "typographic format", 0x6004, 0 },
    };
    int inkLeft[3] {};
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemDC m(120, 40);
        TCanvas canvas;
        canvas.SetHandle(m.DC);
        canvas.GetFont()->Assign(&Font); // 12 points: an em of 16 pixels
        const int plain = canvas.TextWidth(u"Hello");
        canvas.SetHandle(nullptr);
        std::unique_ptr<TGPStringFormat> format;
        if (c.Flags >= 0)
            format = std::make_unique<TGPStringFormat>(c.Flags);
        {
            TGPGraphics g(m.DC);
            TGPRectF box;
            ASSERT_EQ(g.MeasureString(u"Hello", 5, g.MakeFontEx(&Font), TGPRectF { 0, 0, 1000, 100 }, format.get(), box), Ok);
            EXPECT_NEAR(box.Width, plain + 2 * c.Pad, 1.0);
            const TGPSolidBrush black(0xFF000000);
            g.DrawString(u"Hello", 5, g.MakeFontEx(&Font), TGPPointF { 20, 5 }, format.get(), &black);
        }
        inkLeft[&c - cases] = m.InkBox().Left;
    }
    // The glyphs' own side bearing is the same in each case.
    EXPECT_NEAR(inkLeft[0] - inkLeft[2], 16.0 / 6, 1.0) << "the drawn text starts after the padding";
    EXPECT_EQ(inkLeft[0], inkLeft[1]);
}

TEST_F(LumGDIPTest, TextWidthAndHeightMeasureWithTheCachedFont)
{
    TMemDC m(10, 10);
    TGPGraphics g(m.DC);
    const int narrow = g.TextWidth(u"ii", &Font);
    const int wide = g.TextWidth(u"WWWWWW", &Font);
    EXPECT_GT(narrow, 0);
    EXPECT_GT(wide, 3 * narrow);
    EXPECT_GT(g.TextHeight(u"Ag", &Font), 10);
    EXPECT_NE(g.FCachedFont, nullptr);
}

TEST_F(LumGDIPTest, DrawImageRectRoundsTheFloatRectangleHalfToEven)
{
    TMemDC m(60, 60);
    auto red = SolidBitmap(20, 20, 0xFFFF0000);
    {
        TGPGraphics g(m.DC);
        EXPECT_EQ(g.DrawImageRect(red.get(), TGPRectF { 10.4f, 10.6f, 20.5f, 20.5f }), Ok);
    }
    const RECT box = m.InkBox();
    EXPECT_EQ(box.Left, 10);
    EXPECT_EQ(box.Top, 11);
    EXPECT_EQ(box.Right - box.Left, 20);
    EXPECT_EQ(box.Bottom - box.Top, 20);
}

TEST_F(LumGDIPTest, GradientFillsByMode)
{
    constexpr COLORREF Red = RGB(255, 0, 0), Blue = RGB(0, 0, 255), Green = RGB(0, 255, 0);
    struct TCase {
        const char* Name;
        TLumGradientType Type;
        TColor Border;
        bool TopLine;
        // Expected colours at the centre, left/top edge probe, right/bottom edge probe; 0xFFFFFFFF: not checked.
        COLORREF Centre;
        TPoint StartProbe;
        COLORREF StartColor;
        TPoint EndProbe;
        COLORREF EndColor;
    };
    const TCase cases[] = {
        { "solid", gtSolid, clNone, false, Red, { 11, 11 }, Red, { 48, 48 }, Red },
        { "radial with border: outline only", gtRadial, clGreen, false, White, { 10, 30 }, Green, { 50, 30 }, Green },
        { "none", gtNone, clNone, false, White, { 11, 11 }, White, { 48, 48 }, White },
        { "horizontal", gtHorizontal, clNone, false, 0xFFFFFFFF, { 10, 30 }, Red, { 49, 30 }, Blue },
        { "vertical", gtVertical, clNone, false, 0xFFFFFFFF, { 30, 11 }, Red, { 30, 49 }, Blue },
        { "vertical with top line", gtVertical, clNone, true, 0xFFFFFFFF, { 30, 10 }, Red, { 30, 49 }, Blue },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemDC m(60, 60);
        {
            TGPGraphics g(m.DC);
            TGDIPGradientParams p;
            p.Graphics = &g;
            p.R = { 10, 10, 40, 40 };
            p.GradientType = c.Type;
            p.ColorFrom = clRed;
            p.ColorTo = clBlue;
            p.BorderColor = c.Border == clGreen ? TColor(0x00FF00) : c.Border;
            p.TopLine = c.TopLine;
            DrawGDIPGradient(p);
        }
        if (c.Centre != 0xFFFFFFFF) {
            EXPECT_EQ(m.At(30, 30), c.Centre);
        }
        auto near = [](COLORREF a, COLORREF b) {
            return std::abs(int(GetRValue(a)) - int(GetRValue(b))) < 40 && std::abs(int(GetGValue(a)) - int(GetGValue(b))) < 40
                && std::abs(int(GetBValue(a)) - int(GetBValue(b))) < 40;
        };
        EXPECT_PRED2(near, m.At(c.StartProbe.X, c.StartProbe.Y), c.StartColor);
        EXPECT_PRED2(near, m.At(c.EndProbe.X, c.EndProbe.Y), c.EndColor);
        EXPECT_EQ(m.At(5, 5), White) << "nothing outside the area";
    }
}

TEST_F(LumGDIPTest, SurroundColorsBeyondThePointCountAreRefused)
{
    TGPGraphicsPath path;
    path.AddRectangle(TGPRectF { 0, 0, 10, 10 });
    TGPPathGradientBrush brush(&path);
    ASSERT_EQ(brush.lastResult, Ok);
    ASSERT_EQ(brush.GetPointCount(), 4);
    ARGB before[4] {};
    int count = 4;
    ASSERT_EQ(brush.GetSurroundColors(before, count), Ok);

    const ARGB colors[5] = { 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000 };
    int tooMany = 5;
    EXPECT_EQ(brush.SetSurroundColors(colors, tooMany), InvalidParameter);
    EXPECT_EQ(brush.lastResult, InvalidParameter);
    ARGB after[4] {};
    count = 4;
    ASSERT_EQ(brush.GetSurroundColors(after, count), Ok);
    EXPECT_TRUE(std::equal(before, before + 4, after));

    int two = 2;
    EXPECT_EQ(brush.SetSurroundColors(colors, two), Ok);
    int small = 0;
    EXPECT_EQ(brush.GetSurroundColors(after, small), InsufficientBuffer);
    EXPECT_EQ(brush.GetSurroundColors(nullptr, count), InvalidParameter);
}

TEST_F(LumGDIPTest, ImageFormatsAreRecognisedAndAFailedLoadIsUndefined)
{
    TImageFrame frame;
    frame.Width = frame.Height = 2;
    frame.Pixels.assign(4, 0xFF336699u);
    struct TCase {
        const char* Name;
        TBytes Bytes;
        TGPImageFormat Format;
    };
    const TCase cases[] = {
        { "png", EncodePng(frame), ifPNG },
        { "bmp", EncodeBmp(frame), ifBMP },
        { "jpeg", EncodeJpeg(frame), ifJPEG },
        { "garbage", TBytes { 'B', 'M', 1, 2, 3 }, ifUndefined },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        IStream* stream = nullptr;
        ASSERT_GE(CreateStreamOnHGlobal(nullptr, TRUE, &stream), 0);
        ULONG written = 0;
        stream->Write(c.Bytes.data(), ULONG(c.Bytes.size()), &written);
        stream->Seek(0, STREAM_SEEK_SET, nullptr);
        TGPImage image(stream, false);
        stream->Release();
        EXPECT_EQ(image.GetFormat(), c.Format);
        if (c.Format != ifUndefined) {
            EXPECT_EQ(image.GetWidth(), 2u);
        } else {
            EXPECT_NE(image.lastResult, Ok);
        }
    }
}

TEST_F(LumGDIPTest, GetLastStatusReturnsAndResetsTheStoredFailure)
{
    TGPMatrix singular(0, 0, 0, 0, 0, 0);
    EXPECT_FALSE(singular.IsInvertible());
    EXPECT_NE(singular.Invert(), Ok);
    EXPECT_NE(singular.GetLastStatus(), Ok);
    EXPECT_EQ(singular.GetLastStatus(), Ok);

    // A later success leaves a stored failure in place.
    TGPMatrix m;
    m.Multiply(nullptr);
    EXPECT_EQ(m.Translate(1, 2), Ok);
    EXPECT_EQ(m.GetLastStatus(), InvalidParameter);
}

TEST_F(LumGDIPTest, RotateAtKeepsTheCentreInBothOrders)
{
    for (MatrixOrder order : { MatrixOrderPrepend, MatrixOrderAppend }) {
        SCOPED_TRACE(order);
        TGPMatrix m;
        ASSERT_EQ(m.RotateAt(90, TGPPointF { 10, 5 }, order), Ok);
        TGPPointF p[2] = { { 10, 5 }, { 20, 5 } };
        m.TransformPoints(p, 2);
        EXPECT_NEAR(p[0].X, 10, 1e-4);
        EXPECT_NEAR(p[0].Y, 5, 1e-4);
        EXPECT_NEAR(p[1].X, 10, 1e-4);
        EXPECT_NEAR(p[1].Y, 15, 1e-4);
    }
}

TEST_F(LumGDIPTest, PenBrushWrapsTheFillOfItsType)
{
    TGPPen pen(0xFF112233, 2);
    std::unique_ptr<TGPBrush> brush(pen.GetBrush());
    ASSERT_NE(brush, nullptr);
    EXPECT_NE(dynamic_cast<TGPSolidBrush*>(brush.get()), nullptr);
    EXPECT_NE(brush->nativeBrush, nullptr);

    TGPHatchBrush hatch(5, 0xFF000000, 0xFFFFFFFF);
    ASSERT_EQ(pen.SetBrush(&hatch), Ok);
    std::unique_ptr<TGPBrush> hatched(pen.GetBrush());
    auto* asHatch = dynamic_cast<TGPHatchBrush*>(hatched.get());
    ASSERT_NE(asHatch, nullptr);
    EXPECT_EQ(asHatch->GetHatchStyle(), 5);
}

TEST(LumGDIPColours, ArgbHelpers)
{
    EXPECT_EQ(MakeARGB(0x80, 1, 2, 3), 0x80010203u);
    EXPECT_EQ(MakeOpaqueARGB(0x10, 0x20, 0x30), 0xFF102030u);
    EXPECT_EQ(MakeARGBFromColor(0x40, TColor(0x00332211)), 0x40112233u);
    EXPECT_EQ(ToOpaqueARGB(clRed), 0xFFFF0000u);
    EXPECT_EQ(ToOpaqueARGB(clWindow) >> 24, 0xFFu);
    EXPECT_EQ(ToOpaqueARGB(clWindow) & 0xFFFFFF, ToOpaqueARGB(ColorToRGB(clWindow)) & 0xFFFFFF);
    EXPECT_EQ(ARGBRed(0x80112233u), 0x11);
    EXPECT_EQ(ARGBGreen(0x80112233u), 0x22);
    EXPECT_EQ(ARGBBlue(0x80112233u), 0x33);
}

} // namespace
