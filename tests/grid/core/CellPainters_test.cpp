#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "grid/core/CellPainters.h"
#include "grid/core/GridPainters.h"

using namespace VuzEraz;

namespace {

constexpr TColor White = TColor(0xFFFFFF);

struct Surface {
    TBitmap Bitmap;
    Surface(int w, int h)
    {
        Bitmap.SetSize(w, h);
        FillRectColor(Canvas(), TRect(0, 0, w, h), White);
    }
    TCanvas* Canvas() { return Bitmap.GetCanvas(); }
    TColor At(int x, int y) { return Canvas()->GetPixel(x, y) & 0xFFFFFF; }
    int Count(TColor c, const TRect& r)
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == c;
        return n;
    }
};

} // namespace

TEST(CellPainters, ProgressTextAndPercent)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value, min, max, divisor;
        const char16_t* format;
        const char16_t* text;
        int percent;
    };
    const Case cases[] = {
        { 130, 0, 0, 1, u"", u"130%", 100 },
        { -5, 0, 0, 1, u"", u"-5%", 0 },
        { 42.5, 0, 0, 1, u"", u"42%", 42 }, // halves go to even
        { 5, 0, 10, 0, u"%d items", u"5 items", 50 },
        { 7, 0, 10, 2, u"%d", u"4", 70 },   // Round(7 / 2) = Round(3.5) = 4
        { 3, 0, 12, 1, u"%.1f h", u"3.0 h", 25 },
        { 30, 10, 10, 1, u"%d", u"30", 0 },  // an empty range fills nothing
        { 30, 50, 10, 1, u"%d", u"30", 0 },  // nor an inverted one
        { 300, 0, 10, 1, u"%d", u"300", 100 },
        { 5, 0, 10, 1, u"%s", u"5", 50 },    // a format the value does not fit: the plain value
        { nan, 0, 10, 1, u"", u"0%", 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " " << String(c.format).size());
        String text;
        int percent = -1;
        ProgressBarText(c.value, c.min, c.max, c.divisor, c.format, text, percent);
        EXPECT_EQ(text, String(c.text));
        EXPECT_EQ(percent, c.percent);
    }
}

TEST(CellPainters, ProgressBarFillsItsShare)
{
    const TColor bar = TColor(0x0000FF), rest = TColor(0x00FF00);
    for (const double value : { 130.0, 50.0, 0.0 }) {
        SCOPED_TRACE(value);
        Surface s(110, 20);
        DrawProgressBarCell(s.Canvas(), TRect(0, 0, 110, 20), bar, White, rest, TColor(0), value, 5, 2, 0, 100, 1,
            u"", clNone, false);
        // The bar runs from 5 to 105; at 50 % the fill ends at 55.
        EXPECT_EQ(s.At(6, 3), value > 0 ? bar : rest);
        EXPECT_EQ(s.At(104, 3), value >= 100 ? bar : rest);
        EXPECT_EQ(s.At(54, 3), value >= 50 ? bar : rest);
        EXPECT_EQ(s.At(56, 3), value > 50 ? bar : rest);
    }
    // No colour for the rest: it keeps what was there.
    Surface s(110, 20);
    DrawProgressBarCell(s.Canvas(), TRect(0, 0, 110, 20), bar, White, clNone, TColor(0), 20, 5, 2, 0, 100, 1, u"",
        clNone, false);
    EXPECT_EQ(s.At(100, 3), White);
    EXPECT_EQ(s.At(7, 3), bar);
}

TEST(CellPainters, MultiLevelColoursAndBlocks)
{
    TMultiLevelProgressAppearance a;
    a.Level0Color = TColor(0x000010);
    a.Level1Color = TColor(0x000020);
    a.Level2Color = TColor(0x000030);
    a.Level3Color = TColor(0x000040);
    a.ShowGradient = false;
    a.ShowPercentage = false;
    a.BackgroundColor = White;
    const std::pair<int, TColor> levels[] = { { 50, a.Level0Color }, { 80, a.Level1Color }, { 95, a.Level2Color },
        { 100, a.Level3Color } };
    for (const auto& [percent, colour] : levels) {
        SCOPED_TRACE(percent);
        Surface s(102, 12);
        DrawMultiLevelProgress(s.Canvas(), TRect(0, 0, 102, 12), percent, a);
        EXPECT_EQ(s.At(3, 5), colour);
    }

    // Blocks on a 100-pixel bar at 50 %: U = 49, five blocks of 7 and one of 3.
    a.CompletionSmooth = false;
    Surface s(100, 12);
    DrawMultiLevelProgress(s.Canvas(), TRect(0, 0, 100, 12), 50, a);
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < 100; ++x) {
        if (s.At(x, 5) != a.Level0Color)
            continue;
        if (!runs.empty() && runs.back().first + runs.back().second == x)
            ++runs.back().second;
        else
            runs.push_back({ x, 1 });
    }
    const std::vector<std::pair<int, int>> expected { { 2, 7 }, { 11, 7 }, { 20, 7 }, { 29, 7 }, { 38, 7 }, { 47, 3 } };
    EXPECT_EQ(runs, expected);
    // Blocks stay 2 pixels inside the bar.
    EXPECT_EQ(s.At(3, 1), White);
    EXPECT_EQ(s.At(3, 2), a.Level0Color);

    // Stacked: level 0 up to 70 %, level 1 to 90 %, then the level 3 colour.
    a.Stacked = true;
    Surface st(102, 12);
    DrawMultiLevelProgress(st.Canvas(), TRect(0, 0, 102, 12), 100, a);
    EXPECT_EQ(st.At(60, 5), a.Level0Color);
    EXPECT_EQ(st.At(80, 5), a.Level1Color);
    EXPECT_EQ(st.At(100, 5), a.Level3Color);
    // Percents beyond 100 are taken as 100.
    Surface over(102, 12);
    DrawMultiLevelProgress(over.Canvas(), TRect(0, 0, 102, 12), 250, a);
    EXPECT_EQ(over.At(100, 5), a.Level3Color);
}

TEST(CellPainters, PieFillsItsSector)
{
    const TColor fill = TColor(0xFF0000);
    Surface none(41, 41);
    DrawPieIndicator(none.Canvas(), TRect(0, 0, 41, 41), fill, 0, false);
    EXPECT_EQ(none.Count(fill, TRect(0, 0, 41, 41)), 0);
    EXPECT_EQ(none.At(20, 10), TColor(0x808080)); // the radius up to 12 o'clock

    Surface quarter(41, 41);
    DrawPieIndicator(quarter.Canvas(), TRect(0, 0, 41, 41), fill, 25, false);
    EXPECT_EQ(quarter.At(28, 12), fill);  // upper right
    EXPECT_EQ(quarter.At(12, 12), White); // upper left
    EXPECT_EQ(quarter.At(28, 28), White); // lower right
    EXPECT_EQ(quarter.At(30, 20), TColor(0x808080)); // the radius to 3 o'clock

    // A thin wedge still fills, and more than 100 % is a full disc.
    Surface thin(81, 81);
    DrawPieIndicator(thin.Canvas(), TRect(0, 0, 81, 81), fill, 3, false);
    EXPECT_GT(thin.Count(fill, TRect(40, 0, 50, 40)), 0);
    Surface full(41, 41);
    DrawPieIndicator(full.Canvas(), TRect(0, 0, 41, 41), fill, 140, false);
    EXPECT_EQ(full.At(10, 30), fill);
}

TEST(CellPainters, CentredValueBar)
{
    const TColor neg = TColor(0x0000FF), pos = TColor(0x00FF00);
    Surface s(104, 20);
    s.Canvas()->GetFont()->SetColor(White); // keep the value text out of the probes
    DrawCenteredValueBar(s.Canvas(), TRect(0, 0, 104, 20), -150, 100, false, neg, pos);
    // Shrunk to 2..102, half 50: the whole left half.
    EXPECT_EQ(s.At(2, 10), neg);
    EXPECT_EQ(s.At(51, 10), neg);
    EXPECT_EQ(s.At(53, 10), White);

    Surface p(104, 20);
    DrawCenteredValueBar(p.Canvas(), TRect(0, 0, 104, 20), 50, 100, false, neg, pos);
    EXPECT_EQ(p.At(60, 10), pos);
    EXPECT_EQ(p.At(80, 10), White);

    // No range: no bar and no fault.
    Surface z(104, 20);
    DrawCenteredValueBar(z.Canvas(), TRect(0, 0, 104, 20), 5, 0, true, neg, pos);
    EXPECT_EQ(z.Count(pos, TRect(0, 0, 104, 20)), 0);
}

TEST(CellPainters, Shapes)
{
    const TColor fill = TColor(0x00FF00), line = TColor(0x0000FF);
    struct Case {
        int shape;
        int w, h;
        TPoint filled, empty;
    };
    const Case cases[] = {
        { csCircle, 20, 10, { 5, 5 }, { 15, 5 } }, // a 10 x 10 circle in a 20 x 10 area
        { csEllips, 20, 10, { 15, 5 }, { 1, 1 } },
        { csRectangle, 20, 10, { 10, 5 }, { 0, 0 } },
        { csTriangleUp, 20, 20, { 10, 15 }, { 2, 2 } },
        { csTriangleDown, 20, 20, { 10, 4 }, { 2, 17 } },
        { csTriangleLeft, 20, 20, { 16, 10 }, { 2, 2 } },
        { csDiamond, 20, 20, { 10, 10 }, { 2, 2 } },
        { csStar, 40, 40, { 20, 20 }, { 4, 4 } },
        { csHalfStar, 40, 40, { 17, 20 }, { 26, 20 } },
        { csArrowUp, 20, 20, { 10, 15 }, { 2, 15 } },
        { csArrowRight, 20, 20, { 4, 10 }, { 4, 2 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shape);
        Surface s(c.w, c.h);
        DrawCellShape(s.Canvas(), 0, 0, c.w, c.h, c.shape, fill, line);
        EXPECT_EQ(s.At(c.filled.X, c.filled.Y), fill);
        EXPECT_EQ(s.At(c.empty.X, c.empty.Y), White);
    }
    for (int shape : { 19, 25, -1 }) {
        Surface s(20, 20);
        DrawCellShape(s.Canvas(), 0, 0, 20, 20, shape, fill, line);
        EXPECT_EQ(s.Count(White, TRect(0, 0, 20, 20)), 400) << shape;
    }
}

TEST(CellPainters, ScaledBitmaps)
{
    TBitmap glyph(4, 4);
    FillRectColor(glyph.GetCanvas(), TRect(0, 0, 4, 4), TColor(0xFF00FF));
    glyph.GetCanvas()->SetPixel(2, 2, TColor(0x123456));
    Surface s(20, 20);
    DrawBitmapScaled(s.Canvas(), &glyph, TColor(0x00FF00), TRect(1, 1, 5, 5), 1.0);
    EXPECT_EQ(s.At(1, 1), TColor(0x00FF00)); // the background became the given colour
    EXPECT_EQ(s.At(3, 3), TColor(0x123456));
    EXPECT_EQ(s.At(5, 5), White);
    DrawBitmapScaled(s.Canvas(), &glyph, TColor(0x00FF00), TRect(10, 10, 14, 14), 2.0);
    EXPECT_EQ(s.At(14, 14), TColor(0x123456));
    EXPECT_EQ(s.At(17, 17), TColor(0xFF00FF));
    EXPECT_EQ(s.At(18, 18), White);
    // A picture that is not there draws nothing and raises nothing.
    DrawResourceBitmap(s.Canvas(), clRed, TRect(0, 0, 20, 20), u"NOSUCHPICTURE", 1.0);
    EXPECT_EQ(s.At(18, 18), White);
}

TEST(CellPainters, FilePicture)
{
    TBitmap picture(6, 3);
    FillRectColor(picture.GetCanvas(), TRect(0, 0, 6, 3), TColor(0x0000FF));
    std::string path = testing::TempDir() + "cellpainters_picture.bmp";
    const String file(path.begin(), path.end());
    picture.SaveToFile(file);

    TFilePicture p;
    p.SetFilename(file);
    EXPECT_EQ(p.GetWidth(), 6);
    EXPECT_EQ(p.GetHeight(), 3);
    Surface s(20, 20);
    p.DrawPicture(s.Canvas(), TRect(0, 0, 12, 6));
    EXPECT_EQ(s.At(11, 5), TColor(0x0000FF));
    EXPECT_EQ(s.At(12, 6), White);

    TFilePicture copy;
    copy.Assign(&p);
    EXPECT_EQ(copy.GetFilename(), file);
    EXPECT_EQ(copy.GetWidth(), 6);

    // A file that is gone keeps the size and draws nothing.
    std::remove(path.c_str());
    p.SetFilename(file);
    EXPECT_EQ(p.GetWidth(), 6);
    Surface t(20, 20);
    p.DrawPicture(t.Canvas(), TRect(0, 0, 12, 6));
    EXPECT_EQ(t.At(1, 1), White);
}
