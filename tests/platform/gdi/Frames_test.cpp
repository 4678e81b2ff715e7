#include <gtest/gtest.h>

#include "platform/gdi/Frames.h"
#include "platform/gdi/SysColors.h"
#include "platform/gdi/Theme.h"
#include "tests/platform/gdi/PixelProbe.h"

namespace {

constexpr COLORREF Magenta = RGB(255, 0, 255);

COLORREF Sys(int i)
{
    return GetSysColor(i);
}

TEST(SysColors, ClassicTableAndBrushes)
{
    EXPECT_EQ(Sys(COLOR_BTNFACE), RGB(212, 208, 200));
    EXPECT_EQ(Sys(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(Sys(COLOR_BTNSHADOW), RGB(128, 128, 128));
    EXPECT_EQ(Sys(COLOR_HIGHLIGHT), RGB(10, 36, 106));
    EXPECT_EQ(Sys(-1), 0u);
    EXPECT_EQ(Sys(SysColorCount), 0u);
    EXPECT_EQ(GetSysColorBrush(SysColorCount), nullptr);

    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    ASSERT_NE(face, nullptr);
    EXPECT_TRUE(DeleteObject(face));
    TMemDC m(4, 4);
    const RECT r { 0, 0, 4, 4 };
    EXPECT_TRUE(FillRect(m.DC, &r, face));
    EXPECT_EQ(m.At(1, 1), Sys(COLOR_BTNFACE));
    // A colour index plus one stands for the system brush.
    FillRect(m.DC, &r, reinterpret_cast<HBRUSH>(std::intptr_t(COLOR_HIGHLIGHT + 1)));
    EXPECT_EQ(m.At(1, 1), Sys(COLOR_HIGHLIGHT));
}

TEST(Theme, NoThemeIsActive)
{
    EXPECT_FALSE(IsThemeActive());
    EXPECT_FALSE(IsAppThemed());
    HTHEME t = OpenThemeData(nullptr, u"BUTTON");
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(OpenThemeDataForDpi(nullptr, u"EDIT", 96), nullptr);
    SIZE s { 5, 5 };
    EXPECT_LT(GetThemePartSize(t, nullptr, 1, 1, nullptr, TS_TRUE, &s), 0);
    EXPECT_EQ(s, (SIZE {}));
    EXPECT_LT(DrawThemeBackground(t, nullptr, 1, 1, nullptr, nullptr), 0);
    char16_t name[8] = u"junk";
    EXPECT_LT(GetCurrentThemeName(name, 8, nullptr, 0, nullptr, 0), 0);
    EXPECT_EQ(name[0], 0);
}

TEST(DrawEdge, ColoursOfEachEdgeKind)
{
    struct Case {
        const char* name;
        UINT edge, flags;
        COLORREF outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    };
    const Case cases[] = {
        { "raised", EDGE_RAISED, BF_RECT, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW) },
        { "sunken", EDGE_SUNKEN, BF_RECT, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT) },
        { "etched", EDGE_ETCHED, BF_RECT, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW) },
        { "bump", EDGE_BUMP, BF_RECT, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT) },
        { "soft raised", EDGE_RAISED, BF_RECT | BF_SOFT, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DLIGHT), Sys(COLOR_BTNSHADOW) },
        { "flat", EDGE_SUNKEN, BF_RECT | BF_FLAT, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE) },
        { "mono", EDGE_RAISED, BF_RECT | BF_MONO, Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOWFRAME), Sys(COLOR_WINDOW), Sys(COLOR_WINDOW) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMemDC m(12, 12, Magenta);
        RECT r { 1, 1, 11, 11 };
        ASSERT_TRUE(DrawEdge(m.DC, &r, c.edge, c.flags));
        EXPECT_EQ(m.At(1, 1), c.outerTopLeft);
        EXPECT_EQ(m.At(5, 1), c.outerTopLeft);
        EXPECT_EQ(m.At(1, 5), c.outerTopLeft);
        EXPECT_EQ(m.At(10, 10), c.outerBottomRight);
        EXPECT_EQ(m.At(10, 1), c.outerBottomRight); // the bottom-right colour owns the outer corners
        EXPECT_EQ(m.At(1, 10), c.outerBottomRight);
        EXPECT_EQ(m.At(2, 2), c.innerTopLeft);
        EXPECT_EQ(m.At(9, 9), c.innerBottomRight);
        EXPECT_EQ(m.At(5, 5), Magenta); // no BF_MIDDLE
        EXPECT_EQ(m.At(0, 0), Magenta);
        EXPECT_EQ(r, (RECT { 1, 1, 11, 11 }));
    }
}

TEST(DrawEdge, AdjustMiddleAndPartialSides)
{
    struct Case {
        UINT edge, flags;
        RECT adjusted;
    };
    const Case cases[] = {
        { EDGE_RAISED, BF_RECT | BF_ADJUST, { 3, 3, 17, 17 } },
        { BDR_RAISEDOUTER, BF_RECT | BF_ADJUST, { 2, 2, 18, 18 } },
        { EDGE_SUNKEN, BF_LEFT | BF_BOTTOM | BF_ADJUST, { 3, 1, 19, 17 } },
        { BDR_SUNKENINNER, BF_TOP | BF_ADJUST, { 1, 2, 19, 19 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        TMemDC m(20, 20, Magenta);
        RECT r { 1, 1, 19, 19 };
        DrawEdge(m.DC, &r, c.edge, c.flags);
        EXPECT_EQ(r, c.adjusted);
    }
    TMemDC m(20, 20, Magenta);
    RECT r { 1, 1, 19, 19 };
    DrawEdge(m.DC, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(m.At(10, 10), Sys(COLOR_BTNFACE));
    EXPECT_EQ(m.At(3, 3), Sys(COLOR_BTNFACE));
    TMemDC left(20, 20, Magenta);
    RECT l { 1, 1, 19, 19 };
    DrawEdge(left.DC, &l, EDGE_RAISED, BF_LEFT);
    EXPECT_EQ(left.At(1, 10), Sys(COLOR_3DLIGHT));
    EXPECT_EQ(left.At(10, 1), Magenta);
    EXPECT_EQ(left.At(18, 10), Magenta);
}

TEST(DrawEdge, DiagonalsRunBetweenTheirCorners)
{
    struct Case {
        UINT flags;
        POINT start, end;
        COLORREF outer;
    };
    const Case cases[] = {
        { BF_DIAGONAL_ENDTOPRIGHT, { 0, 9 }, { 9, 0 }, Sys(COLOR_3DLIGHT) },
        { BF_DIAGONAL_ENDTOPLEFT, { 9, 9 }, { 0, 0 }, Sys(COLOR_3DLIGHT) },
        { BF_DIAGONAL_ENDBOTTOMRIGHT, { 0, 0 }, { 9, 9 }, Sys(COLOR_3DDKSHADOW) },
        { BF_DIAGONAL_ENDBOTTOMLEFT, { 9, 0 }, { 0, 9 }, Sys(COLOR_3DDKSHADOW) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        TMemDC m(10, 10, Magenta);
        RECT r { 0, 0, 10, 10 };
        ASSERT_TRUE(DrawEdge(m.DC, &r, BDR_RAISEDOUTER, c.flags | BF_ADJUST));
        EXPECT_EQ(m.At(c.start.X, c.start.Y), c.outer);
        EXPECT_EQ(m.At(c.end.X, c.end.Y), c.outer);
        EXPECT_EQ(m.At(c.start.X + (c.end.X - c.start.X) * 4 / 9, c.start.Y + (c.end.Y - c.start.Y) * 4 / 9), c.outer);
        EXPECT_EQ(m.Ink(Magenta).size(), 10u); // one line, nothing else
        EXPECT_EQ(r, (RECT { 0, 0, 10, 10 }));
    }
}

struct TControlCase {
    const char* name;
    UINT type, state;
};

// Colours present in a drawn control.
// Colours present in a drawn control, `inset` pixels in from its edges.
std::set<COLORREF> ColoursOf(UINT type, UINT state, int w = 16, int h = 16, int inset = 0)
{
    TMemDC m(w, h, Magenta);
    RECT r { 0, 0, w, h };
    EXPECT_TRUE(DrawFrameControl(m.DC, &r, type, state));
    std::set<COLORREF> s;
    for (int y = inset; y < h - inset; ++y)
        for (int x = inset; x < w - inset; ++x)
            s.insert(m.At(x, y));
    return s;
}

TEST(DrawFrameControl, ButtonsShowTheirState)
{
    const COLORREF text = Sys(COLOR_WINDOWTEXT), gray = Sys(COLOR_GRAYTEXT), window = Sys(COLOR_WINDOW);
    struct Case {
        const char* name;
        UINT state;
        bool hasText, hasGray, hasWindow;
    };
    const Case cases[] = {
        { "check", DFCS_BUTTONCHECK, false, false, true },
        { "checked", DFCS_BUTTONCHECK | DFCS_CHECKED, true, false, true },
        { "checked inactive", DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE, false, true, false },
        { "radio", DFCS_BUTTONRADIO, false, false, true },
        { "radio checked", DFCS_BUTTONRADIO | DFCS_CHECKED, true, false, true },
        { "radio pushed", DFCS_BUTTONRADIO | DFCS_PUSHED, false, false, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The face, inside the border.
        const auto colours = ColoursOf(DFC_BUTTON, c.state, 13, 13, 3);
        EXPECT_EQ(colours.count(text) > 0, c.hasText);
        EXPECT_EQ(colours.count(gray) > 0, c.hasGray);
        EXPECT_EQ(colours.count(window) > 0, c.hasWindow);
    }
    // A three-state check shows a dithered face and a shadow-coloured mark.
    const auto mixed = ColoursOf(DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_CHECKED, 13, 13);
    EXPECT_EQ(mixed.count(text), 0u);
    EXPECT_GT(mixed.count(Sys(COLOR_BTNHIGHLIGHT)), 0u);
}

TEST(DrawFrameControl, PushButtonRaisedOrSunken)
{
    struct Case {
        UINT state;
        COLORREF topLeft;
    };
    const Case cases[] = {
        { DFCS_BUTTONPUSH, Sys(COLOR_BTNHIGHLIGHT) },
        { DFCS_BUTTONPUSH | DFCS_PUSHED, Sys(COLOR_BTNSHADOW) },
        { DFCS_BUTTONPUSH | DFCS_FLAT, Sys(COLOR_BTNSHADOW) },
        { DFCS_BUTTONPUSH | DFCS_MONO, Sys(COLOR_WINDOWFRAME) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        TMemDC m(30, 20, Magenta);
        RECT r { 0, 0, 30, 20 };
        DrawFrameControl(m.DC, &r, DFC_BUTTON, c.state | DFCS_ADJUSTRECT);
        EXPECT_EQ(m.At(0, 0), c.topLeft);
        EXPECT_EQ(m.Ink(Magenta).size(), 600u);
        EXPECT_EQ(r, (RECT { 2, 2, 28, 18 }));
    }
}

TEST(DrawFrameControl, ScrollArrowsAndCaptionClose)
{
    const TControlCase cases[] = {
        { "up", DFC_SCROLL, DFCS_SCROLLUP },
        { "down", DFC_SCROLL, DFCS_SCROLLDOWN },
        { "left", DFC_SCROLL, DFCS_SCROLLLEFT },
        { "right", DFC_SCROLL, DFCS_SCROLLRIGHT },
        { "combo", DFC_SCROLL, DFCS_SCROLLCOMBOBOX },
        { "close", DFC_CAPTION, DFCS_CAPTIONCLOSE },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_GT(ColoursOf(c.type, c.state).count(Sys(COLOR_BTNTEXT)), 0u);
        const auto inactive = ColoursOf(c.type, c.state | DFCS_INACTIVE);
        EXPECT_EQ(inactive.count(Sys(COLOR_BTNTEXT)), 0u);
        EXPECT_GT(inactive.count(Sys(COLOR_BTNSHADOW)), 0u);
        EXPECT_EQ(ColoursOf(c.type, c.state).count(Magenta), 0u);
    }
    // Arrows point the right way: the up arrow's widest row is below its tip.
    auto rows = [](UINT state) {
        TMemDC m(16, 16, Magenta);
        RECT r { 0, 0, 16, 16 };
        DrawFrameControl(m.DC, &r, DFC_SCROLL, state);
        std::vector<int> count(16);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                count[std::size_t(y)] += m.At(x, y) == Sys(COLOR_BTNTEXT);
        return count;
    };
    const auto up = rows(DFCS_SCROLLUP), down = rows(DFCS_SCROLLDOWN);
    const auto firstRow = [](const std::vector<int>& v) { return std::find_if(v.begin(), v.end(), [](int n) { return n > 0; }) - v.begin(); };
    EXPECT_LT(up[std::size_t(firstRow(up))], down[std::size_t(firstRow(down))]);
    RECT r { 0, 0, 16, 16 };
    TMemDC m(16, 16);
    EXPECT_FALSE(DrawFrameControl(m.DC, &r, 99, 0));
}

} // namespace
