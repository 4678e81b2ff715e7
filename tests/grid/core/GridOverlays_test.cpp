#include <gtest/gtest.h>

#include "grid/core/GridOverlays.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"

namespace {

TBitmap* Filled(TBitmap& b, int w, int h, TColor c, TPixelFormat format = pf24bit)
{
    b.SetPixelFormat(format);
    b.SetSize(w, h);
    b.GetCanvas()->GetBrush()->SetColor(c);
    b.GetCanvas()->FillRect(TRect(0, 0, w, h));
    return &b;
}

// Blue, green, red of a 24-bit pixel.
const Byte* Px24(TBitmap& b, int x, int y) { return static_cast<const Byte*>(b.ScanLine(y)) + x * 3; }
const Byte* Px32(TBitmap& b, int x, int y) { return static_cast<const Byte*>(b.ScanLine(y)) + x * 4; }

} // namespace

TEST(GridOverlays, BlurKernelIsShortAndNormalised)
{
    const VuzUdo::TGaussianKernel k = VuzUdo::MakeGaussianKernel(3);
    EXPECT_GE(k.Size, 1);
    EXPECT_LT(k.Size, 10);
    float sum = 0;
    for (int i = -k.Size; i <= k.Size; ++i)
        sum += k.Weights[i + 10];
    EXPECT_NEAR(sum, 1.0f, 1e-5f);
    EXPECT_GT(k.Weights[10], k.Weights[11]);
    EXPECT_FLOAT_EQ(k.Weights[9], k.Weights[11]);
    EXPECT_EQ(VuzUdo::MakeGaussianKernel(0).Size, 0);
}

TEST(GridOverlays, BlurKeepsUniformPicturesAndRefusesOtherFormats)
{
    const TColor colours[] = { clWhite, clBlack, TColor(0x336699) };
    for (TColor c : colours) {
        SCOPED_TRACE(c);
        TBitmap b;
        Filled(b, 60, 50, c);
        VuzUdo::GaussianBlur(&b, 3);
        for (const TPoint p : { TPoint(0, 0), TPoint(30, 25), TPoint(59, 49), TPoint(18, 40) }) {
            const Byte* px = Px24(b, p.X, p.Y);
            EXPECT_EQ(px[2], Byte(c & 0xFF));
            EXPECT_EQ(px[1], Byte((c >> 8) & 0xFF));
            EXPECT_EQ(px[0], Byte((c >> 16) & 0xFF));
        }
    }
    TBitmap wide;
    Filled(wide, 10, 10, clWhite, pf32bit);
    try {
        VuzUdo::GaussianBlur(&wide, 3);
        FAIL() << "a 32-bit picture was blurred";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, u"Blur only works for 24-bit bitmaps");
    }
    // A radius of 0 or less leaves the picture alone instead of dividing by zero.
    TBitmap edge;
    Filled(edge, 10, 10, clBlack);
    edge.GetCanvas()->GetBrush()->SetColor(clWhite);
    edge.GetCanvas()->FillRect(TRect(5, 0, 10, 10));
    for (int r : { 0, -2 }) {
        VuzUdo::GaussianBlur(&edge, r);
        EXPECT_EQ(Px24(edge, 4, 5)[0], 0);
        EXPECT_EQ(Px24(edge, 5, 5)[0], 255);
    }
    VuzUdo::GaussianBlur(&edge, 2);
    EXPECT_GT(Px24(edge, 4, 5)[0], 0);
    EXPECT_LT(Px24(edge, 5, 5)[0], 255);
}

TEST(GridOverlays, GlowMaskIsASoftWhiteFrame)
{
    TBitmap m;
    VuzUdo::MakeGlowMask(&m, 109, 29, 3, 5, 4);
    EXPECT_EQ(m.GetPixelFormat(), pf24bit);
    EXPECT_EQ(m.GetWidth(), 109);
    EXPECT_EQ(m.GetHeight(), 29);
    // A 4-pixel frame centred 4 pixels in from the edges, softened by the
    // blur: brightest on the frame, fading outwards and inwards, dark in the
    // middle, and the same top and bottom.
    const int frame = Px24(m, 54, 4)[2];
    EXPECT_GT(frame, 100);
    EXPECT_EQ(Px24(m, 54, 23)[2], Px24(m, 54, 4)[2]);
    EXPECT_LT(Px24(m, 54, 9)[2], frame);
    EXPECT_LT(Px24(m, 54, 14)[2], 40);
    EXPECT_LT(Px24(m, 0, 0)[2], 40);
    EXPECT_GT(Px24(m, 54, 1)[2], 0);
    EXPECT_LT(Px24(m, 54, 1)[2], frame);
    // Every pixel stays grey.
    for (int x = 0; x < 109; x += 7) {
        const Byte* p = Px24(m, x, 5);
        EXPECT_EQ(p[0], p[2]);
        EXPECT_EQ(p[1], p[2]);
    }
}

TEST(GridOverlays, MergeMaskPremultipliesAndRefusesMismatches)
{
    TBitmap mask, colour;
    Filled(mask, 4, 3, TColor(0x808080));
    mask.GetCanvas()->SetPixel(0, 0, clWhite);
    mask.GetCanvas()->SetPixel(1, 0, clBlack);
    Filled(colour, 4, 3, TColor(0xFDD397));
    TGridAlphaMask a;
    EXPECT_EQ(a.GetPixelFormat(), pf32bit);
    EXPECT_EQ(a.Opacity, 255);
    a.MergeMask(&mask, &colour, clNone);
    ASSERT_EQ(a.GetWidth(), 4);
    ASSERT_EQ(a.GetHeight(), 3);
    // Alpha from the mask's red; colours scaled by it.
    EXPECT_EQ(Px32(a, 0, 0)[3], 255);
    EXPECT_EQ(Px32(a, 0, 0)[2], 0x97);
    EXPECT_EQ(Px32(a, 1, 0)[3], 0);
    EXPECT_EQ(Px32(a, 1, 0)[0], 0);
    EXPECT_EQ(Px32(a, 2, 1)[3], 0x80);
    EXPECT_EQ(Px32(a, 2, 1)[0], Byte(RoundHalfEven(128 / 255.0 * 0xFD)));

    struct Case {
        const char* what;
        int mw, mh;
        TPixelFormat mf, bf;
    };
    const Case refused[] = {
        { "32-bit colour picture", 4, 3, pf24bit, pf32bit },
        { "32-bit mask", 4, 3, pf32bit, pf24bit },
        { "narrower mask", 2, 3, pf24bit, pf24bit },
        { "taller mask", 4, 9, pf24bit, pf24bit },
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        TBitmap m2, b2;
        Filled(m2, c.mw, c.mh, clWhite, c.mf);
        Filled(b2, 4, 3, clWhite, c.bf);
        a.MergeMask(&m2, &b2, clNone);
        EXPECT_EQ(a.GetWidth(), 4);
        EXPECT_EQ(Px32(a, 1, 0)[3], 0) << "the mask is left as it was";
    }

    TGridAlphaMask copy;
    copy.SetSize(4, 3);
    a.Opacity = 230;
    copy.Assign(&a);
    EXPECT_EQ(copy.Opacity, 230);
    EXPECT_EQ(Px32(copy, 2, 1)[3], 0x80);
    EXPECT_EQ(copy.GetPixelFormat(), pf32bit);
    TBitmap plain;
    Filled(plain, 2, 2, clRed);
    copy.Assign(&plain);
    EXPECT_EQ(copy.GetPixelFormat(), pf32bit);
    EXPECT_EQ(copy.GetWidth(), 2);
}
