#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdi/Frames.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/Surface.h"
#include "platform/win/System.h"
#include "platform/win/WinUser.h"
#include "tests/platform/gdi/PixelProbe.h"

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);
constexpr COLORREF Red = RGB(255, 0, 0);

using Points = std::set<std::pair<int, int>>;

Points RectOutline(int l, int t, int r, int b)
{
    Points s;
    for (int x = l; x < r; ++x) {
        s.insert({ x, t });
        s.insert({ x, b - 1 });
    }
    for (int y = t; y < b; ++y) {
        s.insert({ l, y });
        s.insert({ r - 1, y });
    }
    return s;
}

Points RectArea(int l, int t, int r, int b)
{
    Points s;
    for (int y = t; y < b; ++y)
        for (int x = l; x < r; ++x)
            s.insert({ x, y });
    return s;
}

TEST(GdiShapes, RectangleSetsExactlyItsOutline)
{
    TMemDC m(16, 16);
    SelectObject(m.DC, GetStockObject(NULL_BRUSH));
    ASSERT_TRUE(Rectangle(m.DC, 2, 3, 12, 13));
    EXPECT_EQ(m.Ink(), RectOutline(2, 3, 12, 13));
}

TEST(GdiShapes, RectangleWithBrushFillsInsideTheOutlineAndWithoutPenIsOneSmaller)
{
    TMemDC m(16, 16);
    HBRUSH red = CreateSolidBrush(Red);
    SelectObject(m.DC, red);
    Rectangle(m.DC, 0, 0, 10, 10);
    EXPECT_EQ(m.At(0, 0), Black);
    EXPECT_EQ(m.At(9, 9), Black);
    EXPECT_EQ(m.At(1, 1), Red);
    EXPECT_EQ(m.At(8, 8), Red);
    EXPECT_EQ(m.At(10, 10), White);

    TMemDC n(16, 16);
    SelectObject(n.DC, red);
    SelectObject(n.DC, GetStockObject(NULL_PEN));
    Rectangle(n.DC, 0, 0, 10, 10);
    EXPECT_EQ(n.Ink(), RectArea(0, 0, 9, 9));
    SelectObject(m.DC, GetStockObject(WHITE_BRUSH));
    SelectObject(n.DC, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(GdiShapes, LineToExcludesItsEndPoint)
{
    struct Case {
        const char* name;
        POINT from, to;
        int count;
    };
    const Case cases[] = {
        { "horizontal", { 1, 1 }, { 9, 1 }, 8 },
        { "vertical", { 3, 0 }, { 3, 7 }, 7 },
        { "diagonal", { 0, 0 }, { 6, 6 }, 6 },
        { "leftwards", { 9, 4 }, { 2, 4 }, 7 },
        { "steep", { 2, 1 }, { 4, 10 }, 9 },
        { "single point", { 5, 5 }, { 5, 5 }, 0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMemDC m(12, 12);
        MoveToEx(m.DC, c.from.X, c.from.Y, nullptr);
        LineTo(m.DC, c.to.X, c.to.Y);
        const auto ink = m.Ink();
        EXPECT_EQ(int(ink.size()), c.count);
        EXPECT_EQ(ink.count({ c.to.X, c.to.Y }), 0u);
        if (c.count > 0) {
            EXPECT_EQ(ink.count({ c.from.X, c.from.Y }), 1u);
        }
        POINT cp;
        GetCurrentPositionEx(m.DC, &cp);
        EXPECT_EQ(cp, c.to);
    }
}

TEST(GdiShapes, DashedPenLeavesGapsAndOpaqueModeFillsThemWithBackground)
{
    TMemDC m(40, 4);
    HPEN dash = CreatePen(PS_DASH, 1, Black);
    SelectObject(m.DC, dash);
    SetBkMode(m.DC, TRANSPARENT);
    MoveToEx(m.DC, 0, 1, nullptr);
    LineTo(m.DC, 40, 1);
    int black = 0;
    for (int x = 0; x < 40; ++x)
        black += m.At(x, 1) == Black;
    EXPECT_GT(black, 0);
    EXPECT_LT(black, 40);
    EXPECT_EQ(m.At(0, 1), Black);

    SetBkMode(m.DC, OPAQUE);
    SetBkColor(m.DC, Red);
    MoveToEx(m.DC, 0, 2, nullptr);
    LineTo(m.DC, 40, 2);
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(m.At(x, 2), m.At(x, 1) == Black ? Black : Red) << x;
    SelectObject(m.DC, GetStockObject(BLACK_PEN));
    DeleteObject(dash);
}

TEST(GdiShapes, WidePenAndInsideFrame)
{
    TMemDC m(20, 20);
    SelectObject(m.DC, GetStockObject(NULL_BRUSH));
    HPEN wide = CreatePen(PS_INSIDEFRAME, 3, Black);
    SelectObject(m.DC, wide);
    Rectangle(m.DC, 2, 2, 12, 12);
    Points frame = RectArea(2, 2, 12, 12);
    for (const auto& p : RectArea(5, 5, 9, 9))
        frame.erase(p);
    EXPECT_EQ(m.Ink(), frame);
    EXPECT_EQ(m.At(2, 2), Black);
    EXPECT_EQ(m.At(4, 4), Black);
    EXPECT_EQ(m.At(5, 5), White);
    EXPECT_EQ(m.At(12, 12), White);
    SelectObject(m.DC, GetStockObject(BLACK_PEN));
    DeleteObject(wide);
}

// A wide outline fills only its pieces that reach the surface: those of
// lines far outside cost nothing, a cap or a side reaching in still shows,
// and an outline wider than the surface covers all of it.
TEST(GdiShapes, WidePenPiecesOutsideTheSurface)
{
    const struct {
        const char* Name;
        int Width;
        std::vector<POINT> Line;
        std::vector<std::pair<int, int>> Inked, Clear;
    } cases[] = {
        { "far away", 10, { { -500, -500 }, { -400, 900 }, { 900, 900 } }, {}, { { 0, 0 }, { 10, 10 }, { 19, 19 } } },
        { "side reaching in", 10, { { -4, -30 }, { -4, 50 } }, { { 0, 0 }, { 0, 19 } }, { { 2, 10 }, { 10, 10 } } },
        { "round end reaching in", 10, { { -30, -30 }, { -2, -2 } }, { { 0, 0 }, { 1, 1 } }, { { 3, 3 }, { 10, 10 } } },
        { "wider than the surface", 1000, { { 5, 5 }, { 6, 7 }, { 9, 5 } }, { { 0, 0 }, { 19, 0 }, { 0, 19 }, { 19, 19 } }, {} },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TMemDC m(20, 20);
        HPEN pen = CreatePen(PS_SOLID, c.Width, Black);
        SelectObject(m.DC, pen);
        Polyline(m.DC, c.Line.data(), int(c.Line.size()));
        for (const auto& [x, y] : c.Inked)
            EXPECT_EQ(m.At(x, y), Black) << x << "," << y;
        for (const auto& [x, y] : c.Clear)
            EXPECT_EQ(m.At(x, y), White) << x << "," << y;
        if (c.Width == 1000) {
            EXPECT_EQ(m.Ink().size(), 400u);
        }
        SelectObject(m.DC, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
    }
}

TEST(GdiShapes, EllipseIsSymmetricAndInsideItsBox)
{
    TMemDC m(24, 24);
    HBRUSH red = CreateSolidBrush(Red);
    SelectObject(m.DC, red);
    Ellipse(m.DC, 2, 2, 21, 21);
    const RECT box = m.InkBox();
    EXPECT_EQ(box, (RECT { 2, 2, 21, 21 }));
    for (int y = 2; y < 21; ++y)
        for (int x = 2; x < 21; ++x)
            ASSERT_EQ(m.At(x, y), m.At(22 - x, y)) << x << "," << y;
    EXPECT_EQ(m.At(11, 11), Red);
    EXPECT_EQ(m.At(2, 2), White);
    SelectObject(m.DC, GetStockObject(WHITE_BRUSH));
    DeleteObject(red);
}

TEST(GdiShapes, PolygonFillModes)
{
    // A pentagram: its centre is inside with winding and outside with alternate.
    const POINT star[] = { { 20, 2 }, { 32, 38 }, { 2, 15 }, { 38, 15 }, { 8, 38 } };
    for (int mode : { ALTERNATE, WINDING }) {
        SCOPED_TRACE(mode);
        TMemDC m(40, 40);
        SelectObject(m.DC, GetStockObject(BLACK_BRUSH));
        SelectObject(m.DC, GetStockObject(NULL_PEN));
        SetPolyFillMode(m.DC, mode);
        Polygon(m.DC, star, 5);
        EXPECT_EQ(m.At(20, 20), mode == WINDING ? Black : White);
        EXPECT_EQ(m.At(20, 8), Black);
        SelectObject(m.DC, GetStockObject(BLACK_PEN));
    }
}

TEST(GdiShapes, PieAndChordStayInTheirHalf)
{
    // From the right point counter-clockwise to the left point: the upper half.
    for (bool pie : { true, false }) {
        SCOPED_TRACE(pie);
        TMemDC m(30, 30);
        SelectObject(m.DC, GetStockObject(BLACK_BRUSH));
        if (pie)
            Pie(m.DC, 0, 0, 29, 29, 28, 14, 0, 14);
        else
            Chord(m.DC, 0, 0, 29, 29, 28, 14, 0, 14);
        EXPECT_EQ(m.At(14, 5), Black);
        EXPECT_EQ(m.At(14, 22), White);
        SelectObject(m.DC, GetStockObject(WHITE_BRUSH));
    }
}

TEST(GdiRaster, XorPenDrawnTwiceRestores)
{
    TMemDC m(20, 20);
    const RECT half { 0, 0, 10, 20 };
    FillRect(m.DC, &half, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x12, 0x34, 0x56));
    SelectObject(m.DC, pen);
    SetROP2(m.DC, R2_XORPEN);
    const POINT poly[] = { { 1, 1 }, { 18, 3 }, { 15, 18 }, { 2, 15 }, { 1, 1 } };
    Polyline(m.DC, poly, 5);
    EXPECT_EQ(m.At(1, 1), RGB(0x80 ^ 0x12, 0x80 ^ 0x34, 0x80 ^ 0x56));
    Polyline(m.DC, poly, 5);
    EXPECT_EQ(m.Ink(), RectArea(0, 0, 10, 20));
    EXPECT_EQ(m.At(5, 5), RGB(0x80, 0x80, 0x80));
    SelectObject(m.DC, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
}

TEST(GdiRaster, FocusRectTwiceRestoresAndOnceInvertsEveryOtherOutlinePixel)
{
    TMemDC m(20, 20);
    const RECT r { 2, 2, 14, 10 };
    DrawFocusRect(m.DC, &r);
    const auto ink = m.Ink();
    const auto outline = RectOutline(2, 2, 14, 10);
    for (const auto& p : ink) {
        EXPECT_EQ(outline.count(p), 1u);
        EXPECT_EQ(m.At(p.first, p.second), Black);
    }
    EXPECT_NEAR(double(ink.size()), outline.size() / 2.0, 2.0);
    DrawFocusRect(m.DC, &r);
    EXPECT_TRUE(m.Ink().empty());
}

TEST(GdiRaster, BlitRasterOperations)
{
    struct Case {
        DWORD rop;
        COLORREF expected; // source 0x0F0F0F (as COLORREF), destination 0x333333, brush red
    };
    const COLORREF src = RGB(0x0F, 0x0F, 0x0F), dst = RGB(0x33, 0x33, 0x33);
    const Case cases[] = {
        { SRCCOPY, src },
        { SRCPAINT, RGB(0x3F, 0x3F, 0x3F) },
        { SRCAND, RGB(0x03, 0x03, 0x03) },
        { SRCINVERT, RGB(0x3C, 0x3C, 0x3C) },
        { NOTSRCCOPY, RGB(0xF0, 0xF0, 0xF0) },
        { DSTINVERT, RGB(0xCC, 0xCC, 0xCC) },
        { PATCOPY, Red },
        { PATINVERT, RGB(0xCC, 0x33, 0x33) },
        { BLACKNESS, Black },
        { WHITENESS, White },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rop);
        TMemDC s(4, 4, src), d(4, 4, dst);
        HBRUSH red = CreateSolidBrush(Red);
        SelectObject(d.DC, red);
        ASSERT_TRUE(BitBlt(d.DC, 1, 1, 2, 2, s.DC, 0, 0, c.rop));
        EXPECT_EQ(d.At(1, 1), c.expected);
        EXPECT_EQ(d.At(2, 2), c.expected);
        EXPECT_EQ(d.At(0, 0), dst);
        EXPECT_EQ(d.At(3, 3), dst);
        SelectObject(d.DC, GetStockObject(WHITE_BRUSH));
        DeleteObject(red);
    }
}

TEST(GdiRaster, SrcInvertTwiceRestoresAndOverlappingCopyScrolls)
{
    TMemDC s(8, 8), d(8, 8);
    SetPixel(s.DC, 5, 3, Red);
    const RECT r { 0, 0, 4, 8 };
    FillRect(d.DC, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    BitBlt(d.DC, 0, 0, 8, 8, s.DC, 0, 0, SRCINVERT);
    EXPECT_EQ(d.At(5, 3), RGB(0, 255, 255));
    EXPECT_EQ(d.At(1, 1), White);
    BitBlt(d.DC, 0, 0, 8, 8, s.DC, 0, 0, SRCINVERT);
    EXPECT_EQ(d.Ink(), RectArea(0, 0, 4, 8));

    // Copying within one bitmap reads the source before writing.
    TMemDC m(8, 1);
    for (int x = 0; x < 4; ++x)
        SetPixel(m.DC, x, 0, RGB(x * 10, 0, 0));
    BitBlt(m.DC, 1, 0, 7, 1, m.DC, 0, 0, SRCCOPY);
    for (int x = 1; x < 5; ++x)
        EXPECT_EQ(m.At(x, 0), RGB((x - 1) * 10, 0, 0));
}

TEST(GdiRaster, BlitBeyondTheSourceLeavesTheRestAlone)
{
    TMemDC s(4, 4, Black), d(8, 8);
    ASSERT_TRUE(BitBlt(d.DC, 0, 0, 8, 8, s.DC, 2, 2, SRCCOPY));
    EXPECT_EQ(d.Ink(), RectArea(0, 0, 2, 2));
    // Huge extents cost only what the surfaces hold.
    ASSERT_TRUE(BitBlt(d.DC, -100000, -100000, 200000, 200000, s.DC, -100000, -100000, SRCCOPY));
    EXPECT_EQ(d.Ink(), RectArea(0, 0, 4, 4));
    const POINT far[] = { { -1000000, 2 }, { 1000000, 2 }, { 1000000, 3 }, { -1000000, 3 } };
    SelectObject(d.DC, GetStockObject(NULL_PEN));
    SelectObject(d.DC, GetStockObject(BLACK_BRUSH));
    EXPECT_TRUE(Polygon(d.DC, far, 4));
    EXPECT_EQ(d.At(7, 2), Black);
    SelectObject(d.DC, GetStockObject(BLACK_PEN));
}

TEST(GdiRaster, MonochromeSourceTakesTheDestinationColours)
{
    const std::uint16_t bits[1] = { 0x0080 }; // first pixel set
    HBITMAP mono = CreateBitmap(2, 1, 1, 1, bits);
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, mono);
    TMemDC d(2, 1);
    SetBkColor(d.DC, RGB(0, 0, 255));
    SetTextColor(d.DC, RGB(255, 0, 0));
    BitBlt(d.DC, 0, 0, 2, 1, src, 0, 0, SRCCOPY);
    EXPECT_EQ(d.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(d.At(1, 0), RGB(255, 0, 0));
    DeleteDC(src);
    DeleteObject(mono);
}

TEST(GdiRaster, StretchTransparentAndAlphaBlits)
{
    TMemDC s(2, 2);
    SetPixel(s.DC, 0, 0, Red);
    SetPixel(s.DC, 1, 1, Black);

    TMemDC d(8, 8, RGB(0, 0, 255));
    StretchBlt(d.DC, 0, 0, 4, 4, s.DC, 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(d.At(0, 0), Red);
    EXPECT_EQ(d.At(1, 1), Red);
    EXPECT_EQ(d.At(2, 2), Black);
    EXPECT_EQ(d.At(3, 0), White);
    EXPECT_EQ(d.At(4, 4), RGB(0, 0, 255));
    // A negative width mirrors.
    StretchBlt(d.DC, 4, 4, 4, 4, s.DC, 1, 0, -2, 2, SRCCOPY);
    EXPECT_EQ(d.At(7, 4), Red);

    TMemDC t(8, 8, RGB(0, 0, 255));
    TransparentBlt(t.DC, 0, 0, 2, 2, s.DC, 0, 0, 2, 2, White);
    EXPECT_EQ(t.At(0, 0), Red);
    EXPECT_EQ(t.At(1, 0), RGB(0, 0, 255));

    TMemDC a(4, 4, Black);
    TMemDC w(4, 4, White);
    BLENDFUNCTION half { AC_SRC_OVER, 0, 128, 0 };
    AlphaBlend(a.DC, 0, 0, 4, 4, w.DC, 0, 0, 4, 4, half);
    EXPECT_EQ(a.At(2, 2), RGB(128, 128, 128));
}

TEST(GdiRaster, PerPixelAlphaBlendUsesPremultipliedSource)
{
    BITMAPINFO bi {};
    bi.bmiHeader.biWidth = 2;
    bi.bmiHeader.biHeight = -1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_TRUE(dib && bits);
    auto* px = static_cast<std::uint32_t*>(bits);
    px[0] = 0x00000000; // fully transparent
    px[1] = 0x80800000; // half-transparent red, premultiplied
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, dib);
    TMemDC d(2, 1, RGB(0, 0, 255));
    BLENDFUNCTION fn { AC_SRC_OVER, 0, 255, AC_SRC_ALPHA };
    AlphaBlend(d.DC, 0, 0, 2, 1, src, 0, 0, 2, 1, fn);
    EXPECT_EQ(d.At(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(d.At(1, 0), RGB(128, 0, 127));
    DeleteDC(src);
    DeleteObject(dib);
}

TEST(GdiRaster, BrushesHatchPatternAndGradient)
{
    TMemDC m(16, 16);
    HBRUSH hatch = CreateHatchBrush(HS_HORIZONTAL, Red);
    SetBkMode(m.DC, TRANSPARENT);
    const RECT r { 0, 0, 16, 16 };
    FillRect(m.DC, &r, hatch);
    int redRows = 0;
    for (int y = 0; y < 16; ++y)
        redRows += m.At(5, y) == Red;
    EXPECT_EQ(redRows, 2);
    EXPECT_EQ(m.At(0, 3), Red);
    EXPECT_EQ(m.At(0, 4), White);
    DeleteObject(hatch);

    const std::uint16_t bits[2] = { 0x0080, 0x0040 }; // 1-bit rows, 16-bit aligned
    HBITMAP pattern = CreateBitmap(2, 2, 1, 1, bits);
    HBRUSH pb = CreatePatternBrush(pattern);
    DeleteObject(pattern); // the brush keeps its own copy
    TMemDC p(4, 4);
    FillRect(p.DC, &r, pb);
    EXPECT_EQ(p.At(0, 0), p.At(2, 2));
    EXPECT_NE(p.At(0, 0), p.At(1, 0));
    DeleteObject(pb);

    TMemDC g(11, 2);
    TRIVERTEX v[2] = { { 0, 0, 0, 0, 0, 0 }, { 11, 2, 0xFF00, 0, 0, 0 } };
    GRADIENT_RECT gr { 0, 1 };
    ASSERT_TRUE(GradientFill(g.DC, v, 2, &gr, 1, GRADIENT_FILL_RECT_H));
    EXPECT_EQ(g.At(0, 0), Black);
    EXPECT_EQ(g.At(10, 1), Red);
    EXPECT_EQ(g.At(5, 0), RGB(127, 0, 0));
    // Vertices out of range are refused.
    GRADIENT_RECT bad { 0, 5 };
    EXPECT_FALSE(GradientFill(g.DC, v, 2, &bad, 1, GRADIENT_FILL_RECT_V));
}

TEST(GdiRaster, FloodFillStopsAtTheBorder)
{
    TMemDC m(20, 20);
    SelectObject(m.DC, GetStockObject(NULL_BRUSH));
    Rectangle(m.DC, 2, 2, 10, 10);
    SelectObject(m.DC, GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(FloodFill(m.DC, 5, 5, Black));
    EXPECT_EQ(m.Ink(), RectArea(2, 2, 10, 10));
}

TEST(GdiRaster, PathsFillAndStroke)
{
    TMemDC m(20, 20);
    BeginPath(m.DC);
    MoveToEx(m.DC, 2, 2, nullptr);
    LineTo(m.DC, 12, 2);
    LineTo(m.DC, 12, 12);
    LineTo(m.DC, 2, 12);
    CloseFigure(m.DC);
    EndPath(m.DC);
    EXPECT_TRUE(m.Ink().empty());
    SelectObject(m.DC, GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(FillPath(m.DC));
    EXPECT_EQ(m.Ink(), RectArea(2, 2, 12, 12));
    EXPECT_FALSE(FillPath(m.DC)); // the path is used up
}

TEST(GdiClip, CombinedRegionsLimitPainting)
{
    TMemDC m(20, 20);
    HRGN a = CreateRectRgn(0, 0, 6, 6);
    HRGN b = CreateRectRgn(10, 10, 14, 14);
    HRGN both = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(both, a, b, RGN_OR), COMPLEXREGION);
    SelectClipRgn(m.DC, both);
    ExcludeClipRect(m.DC, 2, 2, 4, 4);
    const RECT all { 0, 0, 20, 20 };
    FillRect(m.DC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT box;
    EXPECT_EQ(GetClipBox(m.DC, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT { 0, 0, 14, 14 }));
    SelectClipRgn(m.DC, nullptr);
    Points expected = RectArea(0, 0, 6, 6);
    for (const auto& p : RectArea(2, 2, 4, 4))
        expected.erase(p);
    for (const auto& p : RectArea(10, 10, 14, 14))
        expected.insert(p);
    EXPECT_EQ(m.Ink(), expected);
    for (HRGN r : { a, b, both })
        DeleteObject(r);
}

TEST(GdiClip, IntersectClipRectAccumulatesUntilRestoreDC)
{
    TMemDC m(20, 20);
    const int saved = SaveDC(m.DC);
    SetTextColor(m.DC, Red);
    IntersectClipRect(m.DC, 0, 0, 10, 10);
    IntersectClipRect(m.DC, 5, 5, 15, 15);
    const RECT all { 0, 0, 20, 20 };
    FillRect(m.DC, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT box;
    EXPECT_EQ(GetClipBox(m.DC, &box), SIMPLEREGION);
    EXPECT_EQ(box, (RECT { 5, 5, 10, 10 }));
    ASSERT_TRUE(RestoreDC(m.DC, saved));
    EXPECT_EQ(m.Ink(), RectArea(5, 5, 10, 10));
    EXPECT_EQ(GetTextColor(m.DC), Black);
    HRGN probe = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(m.DC, probe), 0);
    DeleteObject(probe);
    EXPECT_FALSE(RestoreDC(m.DC, saved)); // already popped
}

TEST(GdiRegions, ShapesAndQueries)
{
    HRGN e = CreateEllipticRgn(0, 0, 20, 10);
    RECT box;
    EXPECT_EQ(GetRgnBox(e, &box), COMPLEXREGION);
    EXPECT_EQ(box, (RECT { 0, 0, 20, 10 }));
    EXPECT_TRUE(PtInRegion(e, 10, 5));
    EXPECT_FALSE(PtInRegion(e, 0, 0));
    EXPECT_FALSE(PtInRegion(e, 19, 9));
    const RECT corner { 0, 0, 2, 2 };
    EXPECT_FALSE(RectInRegion(e, &corner));

    const POINT tri[] = { { 0, 0 }, { 10, 0 }, { 0, 10 } };
    HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
    EXPECT_TRUE(PtInRegion(t, 1, 1));
    EXPECT_FALSE(PtInRegion(t, 9, 9));

    HRGN r1 = CreateRectRgn(0, 0, 10, 10), r2 = CreateRectRgn(5, 0, 15, 10), out = CreateRectRgn(0, 0, 0, 0);
    struct Case {
        int mode;
        RECT box;
        int type;
    };
    const Case cases[] = {
        { RGN_AND, { 5, 0, 10, 10 }, SIMPLEREGION },
        { RGN_OR, { 0, 0, 15, 10 }, SIMPLEREGION },
        { RGN_XOR, { 0, 0, 15, 10 }, COMPLEXREGION },
        { RGN_DIFF, { 0, 0, 5, 10 }, SIMPLEREGION },
        { RGN_COPY, { 0, 0, 10, 10 }, SIMPLEREGION },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        EXPECT_EQ(CombineRgn(out, r1, r2, c.mode), c.type);
        GetRgnBox(out, &box);
        EXPECT_EQ(box, c.box);
    }
    EXPECT_EQ(CombineRgn(out, r1, nullptr, RGN_AND), ERROR);
    OffsetRgn(r1, 5, 0);
    EXPECT_TRUE(EqualRgn(r1, r2));
    for (HRGN r : { e, t, r1, r2, out })
        EXPECT_TRUE(DeleteObject(r));
    EXPECT_FALSE(DeleteObject(e));
    EXPECT_FALSE(PtInRegion(e, 10, 5));
}

TEST(GdiMapping, ModesConvertBothWays)
{
    struct Case {
        const char* name;
        int mode;
        SIZE windowExt, viewportExt;
        POINT logical, device;
    };
    const Case cases[] = {
        { "text", MM_TEXT, {}, {}, { 7, 9 }, { 7, 9 } },
        { "lometric", MM_LOMETRIC, {}, {}, { 254, -254 }, { 96, 96 } },
        { "himetric", MM_HIMETRIC, {}, {}, { 2540, -1270 }, { 96, 48 } },
        { "anisotropic", MM_ANISOTROPIC, { 100, 100 }, { 200, 50 }, { 10, 10 }, { 20, 5 } },
        { "isotropic keeps the aspect", MM_ISOTROPIC, { 100, 100 }, { 200, 50 }, { 10, 10 }, { 5, 5 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMemDC m(4, 4);
        SetMapMode(m.DC, c.mode);
        if (c.windowExt.cx) {
            SetWindowExtEx(m.DC, c.windowExt.cx, c.windowExt.cy, nullptr);
            SetViewportExtEx(m.DC, c.viewportExt.cx, c.viewportExt.cy, nullptr);
        }
        POINT p = c.logical;
        LPtoDP(m.DC, &p, 1);
        EXPECT_EQ(p, c.device);
        DPtoLP(m.DC, &p, 1);
        EXPECT_EQ(p, c.logical);
    }
}

TEST(GdiMapping, OriginsShiftDrawing)
{
    TMemDC m(10, 10);
    SetViewportOrgEx(m.DC, 3, 2, nullptr);
    SetWindowOrgEx(m.DC, 1, 1, nullptr);
    SetPixel(m.DC, 1, 1, Black);
    EXPECT_EQ(m.At(1, 1), Black);
    SetViewportOrgEx(m.DC, 0, 0, nullptr);
    SetWindowOrgEx(m.DC, 0, 0, nullptr);
    EXPECT_EQ(m.Ink(), (Points { { 3, 2 } }));
}

TEST(GdiBitmaps, DibSectionsKeepTheirLayout)
{
    for (int bpp : { 24, 32 }) {
        for (bool topDown : { false, true }) {
            SCOPED_TRACE(std::to_string(bpp) + (topDown ? " top-down" : " bottom-up"));
            BITMAPINFO bi {};
            bi.bmiHeader.biWidth = 3;
            bi.bmiHeader.biHeight = topDown ? -2 : 2;
            bi.bmiHeader.biBitCount = WORD(bpp);
            void* bits = nullptr;
            HBITMAP dib = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
            ASSERT_TRUE(dib && bits);
            HDC dc = CreateCompatibleDC(nullptr);
            SelectObject(dc, dib);
            SetPixel(dc, 2, 0, RGB(1, 2, 3));
            const int stride = ((3 * bpp + 31) / 32) * 4;
            const auto* row = static_cast<const std::uint8_t*>(bits) + (topDown ? 0 : stride);
            const auto* px = row + 2 * (bpp / 8);
            EXPECT_EQ(px[0], 3);
            EXPECT_EQ(px[1], 2);
            EXPECT_EQ(px[2], 1);
            // Writing the bits shows through the context.
            auto* other = static_cast<std::uint8_t*>(bits) + (topDown ? stride : 0);
            other[0] = 0xFF;
            EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
            DeleteDC(dc);
            DeleteObject(dib);
        }
    }
}

TEST(GdiBitmaps, DIBitsRoundTripAndBadArgumentsAreRefused)
{
    TMemDC m(3, 2);
    SetPixel(m.DC, 0, 0, Red);
    SetPixel(m.DC, 2, 1, RGB(0, 0, 255));
    BITMAPINFO bi {};
    bi.bmiHeader.biWidth = 3;
    bi.bmiHeader.biHeight = 2; // bottom-up
    bi.bmiHeader.biBitCount = 24;
    std::vector<std::uint8_t> bits(12 * 2); // rows of 9 bytes padded to 12
    SelectObject(m.DC, m.Old);
    ASSERT_EQ(GetDIBits(m.DC, m.Bitmap, 0, 2, bits.data(), &bi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bits[12 + 2], 255); // top row last in memory: red of (0,0)
    EXPECT_EQ(bits[2 * 3], 255); // bottom row first: blue of (2,1)

    HBITMAP copy = CreateCompatibleBitmap(nullptr, 3, 2);
    ASSERT_EQ(SetDIBits(nullptr, copy, 0, 2, bits.data(), &bi, DIB_RGB_COLORS), 2);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, copy);
    EXPECT_EQ(GetPixel(dc, 0, 0), Red);
    EXPECT_EQ(GetPixel(dc, 2, 1), RGB(0, 0, 255));
    DeleteDC(dc);
    DeleteObject(copy);
    SelectObject(m.DC, m.Bitmap);

    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 0, 5), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, -3, 5), nullptr);
    bi.bmiHeader.biBitCount = 7;
    EXPECT_EQ(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(GdiObjects, StockObjectsSelectionAndStaleHandles)
{
    for (int which : { WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, WHITE_PEN, BLACK_PEN, NULL_PEN, DEFAULT_GUI_FONT, SYSTEM_FONT }) {
        SCOPED_TRACE(which);
        HGDIOBJ o = GetStockObject(which);
        ASSERT_NE(o, nullptr);
        EXPECT_EQ(o, GetStockObject(which));
        EXPECT_TRUE(DeleteObject(o)); // stock objects survive deletion
        EXPECT_NE(GetObjectType(o), 0u);
    }
    LOGPEN lp;
    HPEN pen = CreatePen(PS_DOT, 1, Red);
    ASSERT_EQ(GetObject(pen, sizeof lp, &lp), int(sizeof lp));
    EXPECT_EQ(lp.lopnStyle, UINT(PS_DOT));
    EXPECT_EQ(lp.lopnColor, Red);

    // A pen deleted while selected stays usable until it is deselected.
    TMemDC m(4, 4);
    HGDIOBJ old = SelectObject(m.DC, pen);
    EXPECT_EQ(old, GetStockObject(BLACK_PEN));
    DeleteObject(pen);
    MoveToEx(m.DC, 0, 0, nullptr);
    LineTo(m.DC, 1, 0);
    EXPECT_EQ(m.At(0, 0), Red);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(SelectObject(m.DC, pen), nullptr);

    int bogus = 0;
    EXPECT_FALSE(Rectangle(reinterpret_cast<HDC>(&bogus), 0, 0, 1, 1));
    EXPECT_EQ(SelectObject(m.DC, &bogus), nullptr);
    EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(&bogus), 0, 0), CLR_INVALID);
}

TEST(GdiObjects, DisplayCapabilities)
{
    TMemDC m(4, 4);
    EXPECT_EQ(GetDeviceCaps(m.DC, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(m.DC, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(m.DC, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(m.DC, BITSPIXEL), 32);
    // A memory context describes the screen, not its bitmap.
    EXPECT_EQ(GetDeviceCaps(m.DC, HORZRES), GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(GetDeviceCaps(m.DC, VERTRES), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(GetDeviceCaps(nullptr, LOGPIXELSX), 0);
}

TEST(GdiObjects, ExtCreatePenAlternateDotsEveryOtherPixel)
{
    LOGBRUSH lb { BS_SOLID, Black, 0 };
    HPEN alt = ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &lb, 0, nullptr);
    ASSERT_NE(alt, nullptr);
    EXPECT_EQ(GetObjectType(alt), DWORD(OBJ_EXTPEN));
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 3, &lb, 0, nullptr), nullptr);
    TMemDC m(10, 2);
    SelectObject(m.DC, alt);
    MoveToEx(m.DC, 0, 0, nullptr);
    LineTo(m.DC, 10, 0);
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(m.At(x, 0), x % 2 == 0 ? Black : White) << x;
    SelectObject(m.DC, GetStockObject(BLACK_PEN));
    DeleteObject(alt);

    HPEN flat = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 4, &lb, 0, nullptr);
    TMemDC f(20, 10);
    SelectObject(f.DC, flat);
    MoveToEx(f.DC, 5, 5, nullptr);
    LineTo(f.DC, 15, 5);
    const RECT box = f.InkBox();
    EXPECT_EQ(box.Left, 5);
    EXPECT_EQ(box.Height(), 4);
    SelectObject(f.DC, GetStockObject(BLACK_PEN));
    DeleteObject(flat);
}

TEST(GdiWindowTarget, FactoryWrapsTheBufferWithOriginAndClip)
{
    std::vector<std::uint32_t> pixels(20 * 10, 0xFFFFFFFFu);
    TPaintTarget target;
    target.Buffer = { reinterpret_cast<std::uint8_t*>(pixels.data()), 20, 10, 20 * 4 };
    target.Origin = { 5, 2 };
    target.Clip = TRegion(TRect(5, 2, 15, 8));
    InstallDeviceContextFactory();
    ASSERT_NE(GetDeviceContextFactory(), nullptr);
    HDC dc = GetDeviceContextFactory()->CreateWindowDC(target);
    ASSERT_NE(dc, nullptr);
    const RECT all { -100, -100, 100, 100 };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    SetPixel(dc, 0, 0, Red);
    RECT clip;
    GetClipBox(dc, &clip);
    EXPECT_EQ(clip, (RECT { 0, 0, 10, 6 }));
    GetDeviceContextFactory()->ReleaseWindowDC(dc);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) {
            const bool inside = x >= 5 && x < 15 && y >= 2 && y < 8;
            const std::uint32_t expected = (x == 5 && y == 2) ? 0xFFFF0000u : inside ? 0xFF000000u : 0xFFFFFFFFu;
            ASSERT_EQ(pixels[std::size_t(y) * 20 + std::size_t(x)], expected) << x << "," << y;
        }
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(GdiIcons, IconFromBitmapsDrawsThroughItsMask)
{
    HBITMAP color = CreateCompatibleBitmap(nullptr, 4, 4);
    HDC c = CreateCompatibleDC(nullptr);
    SelectObject(c, color);
    const RECT all { 0, 0, 4, 4 };
    HBRUSH red = CreateSolidBrush(Red);
    FillRect(c, &all, red);
    DeleteObject(red);
    DeleteDC(c);
    // Mask: white (transparent) on the left half.
    const std::uint16_t maskBits[4] = { 0x00C0, 0x00C0, 0x00C0, 0x00C0 };
    HBITMAP mask = CreateBitmap(4, 4, 1, 1, maskBits);
    ICONINFO ii;
    ii.hbmColor = color;
    ii.hbmMask = mask;
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    TMemDC m(8, 8);
    ASSERT_TRUE(DrawIconEx(m.DC, 2, 2, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(m.At(2, 2), White);
    EXPECT_EQ(m.At(4, 2), Red);
    EXPECT_EQ(m.At(5, 5), Red);
    EXPECT_EQ(m.At(6, 6), White);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    DeleteObject(color);
    DeleteObject(mask);
}

} // namespace
