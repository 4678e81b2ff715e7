#include <gtest/gtest.h>

#include <cmath>

#include "graphics/LumSVGPathData.h"
#include "platform/rtl/SysUtils.h"

namespace {

struct Rec {
    TLumGraphicsPathPointKind kind;
    float x, y;
};
using Paths = std::vector<std::vector<Rec>>;

String Joined(const std::vector<String>& AList)
{
    String s;
    for (const String& t : AList)
        s += (s.empty() ? u"" : u" ") + t;
    return s;
}

void ExpectPaths(const TLumGraphicsSVGElementPathList& Actual, const Paths& Expected)
{
    ASSERT_EQ(Actual.GetCount(), int(Expected.size()));
    for (std::size_t p = 0; p < Expected.size(); ++p) {
        const TLumGraphicsPath* path = Actual[int(p)];
        ASSERT_EQ(path->GetCount(), int(Expected[p].size())) << "path " << p;
        for (std::size_t i = 0; i < Expected[p].size(); ++i) {
            const TLumGraphicsPathPoint r = path->GetPoint(int(i));
            EXPECT_EQ(r.Kind, Expected[p][i].kind) << "path " << p << " record " << i;
            EXPECT_NEAR(r.Point.X, Expected[p][i].x, 1e-3) << "path " << p << " record " << i;
            EXPECT_NEAR(r.Point.Y, Expected[p][i].y, 1e-3) << "path " << p << " record " << i;
        }
    }
}

// Path data and the sub-paths it builds.
struct DataCase {
    const char16_t* data;
    Paths paths;
};

void ExpectBuilt(const DataCase& c)
{
    SCOPED_TRACE(StringToUtf8(c.data));
    TLumGraphicsSVGElementPathList paths;
    BuildPathData(c.data, paths);
    ExpectPaths(paths, c.paths);
}

TEST(LumSVGPathData, TokensAndImplicitCommands)
{
    struct Case {
        const char16_t* data;
        const char16_t* tokens;
    } const cases[] = {
        { u"M 10 10 20 20 30 30", u"M 10 10 L 20 20 L 30 30" },
        { u"m1,2,3,4", u"m 1 2 l 3 4" },
        { u"M10-20", u"M 10 -20" },
        { u"M.5.5", u"M .5 .5" },
        { u"M1e-5 2E+3", u"M 1e-5 2E+3" },
        { u"M1e-5-3", u"M 1e-5 -3" },
        { u"M1.5e2.5 1e2e3", u"M 1.5e2 .5 L 1e2 e3" },
        { u"M+3\t\r\n4px", u"M +3 4" },
        { u"L 1 2 3", u"L 1 2" },
        { u"L 10 10 20 20 30", u"L 10 10 L 20 20" },
        { u"C 1 2 3 4 5 6 7 8", u"C 1 2 3 4 5 6" },
        { u"h1 2 3", u"h 1 h 2 h 3" },
        { u"Z 5 5 z", u"Z z" },
        { u"M", u"" },
        { u"x10 10 M1 2", u"M 1 2" },
        { u"", u"" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.data));
        EXPECT_EQ(StringToUtf8(Joined(SplitPathData(c.data))), StringToUtf8(c.tokens));
    }
}

TEST(LumSVGPathData, CommandsBuildSubPaths)
{
    constexpr auto M = gppMoveTo, L = gppLineTo, C = gppCurveTo, Z = gppClose;
    const DataCase cases[] = {
        { u"M 10 10 20 20 30 30", { { { M, 10, 10 }, { L, 20, 20 }, { L, 30, 30 } } } },
        { u"M10-20", { { { M, 10, -20 } } } },
        { u"M.5.5", { { { M, 0.5f, 0.5f } } } },
        // A quadratic curve becomes the cubic curve of the same shape.
        { u"M 0 0 Q 30 60 90 0", { { { M, 0, 0 }, { C, 20, 40 }, { C, 50, 40 }, { C, 90, 0 } } } },
        // S after a line starts its handle at the current point; after C it reflects.
        { u"M0 0 L 10 0 S 20 10 30 0", { { { M, 0, 0 }, { L, 10, 0 }, { C, 10, 0 }, { C, 20, 10 }, { C, 30, 0 } } } },
        { u"M0 0 C 0 10 10 10 10 0 S 20 -10 20 0",
            { { { M, 0, 0 }, { C, 0, 10 }, { C, 10, 10 }, { C, 10, 0 }, { C, 10, -10 }, { C, 20, -10 }, { C, 20, 0 } } } },
        // T reflects the quadratic control point; S after Q does not.
        { u"M0 0 Q 15 15 30 0 T 60 0",
            { { { M, 0, 0 }, { C, 10, 10 }, { C, 20, 10 }, { C, 30, 0 }, { C, 40, -10 }, { C, 50, -10 }, { C, 60, 0 } } } },
        { u"M0 0 Q 15 15 30 0 s 20 10 30 0",
            { { { M, 0, 0 }, { C, 10, 10 }, { C, 20, 10 }, { C, 30, 0 }, { C, 30, 0 }, { C, 50, 10 }, { C, 60, 0 } } } },
        // Relative commands; z returns to the sub-path start, which a following l starts from.
        { u"m 10 10 l 5 5 h 5 v -5 z l 0 10",
            { { { M, 10, 10 }, { L, 15, 15 }, { L, 20, 15 }, { L, 20, 10 }, { Z, 10, 10 }, { L, 10, 20 } } } },
        { u"M0 0 L1 1 M 5 5 L 6 6", { { { M, 0, 0 }, { L, 1, 1 } }, { { M, 5, 5 }, { L, 6, 6 } } } },
        // Commands before the first move draw nothing but move the current point.
        { u"l 10 10 m 0 0 l 5 5", { { { M, 10, 10 }, { L, 15, 15 } } } },
        // An unreadable number keeps the previous value of its slot.
        { u"M 10 10 L e 30", { { { M, 10, 10 }, { L, 10, 30 } } } },
        { u"M 0 0 L 10 10 20 20 30", { { { M, 0, 0 }, { L, 10, 10 }, { L, 20, 20 } } } },
        { u"M 5 5 C 1 2 3 4", { { { M, 5, 5 } } } },
        { u"Q 1 2 3 4", {} },
    };
    for (const DataCase& c : cases)
        ExpectBuilt(c);
}

TEST(LumSVGPathData, NumbersIgnoreTheProcessDecimalSeparator)
{
    TFormatSettings& fs = ProcessFormatSettings();
    const Char saved = fs.DecimalSeparator;
    fs.DecimalSeparator = u',';
    TLumGraphicsSVGElementPathList paths;
    BuildPathData(u"M 1.5 2.25", paths);
    const TLumGraphicsMatrix m = ParseTransform(String(u"translate(1.5)"));
    fs.DecimalSeparator = saved;
    ExpectPaths(paths, { { { gppMoveTo, 1.5f, 2.25f } } });
    EXPECT_FLOAT_EQ(m.m31, 1.5f);
}

TEST(LumSVGPathData, ArcsBecomeCurvesOnTheEllipse)
{
    struct Case {
        const char16_t* data;
        int curves;
        TPointF centre;
        float rx, ry;
        TPointF firstCurveEnd;
    } const cases[] = {
        // Half circles: two curves; the sweep flag picks the side.
        { u"M 0 0 A 50 50 0 0 1 100 0", 2, { 50, 0 }, 50, 50, { 50, -50 } },
        { u"M 0 0 A 50 50 0 0 0 100 0", 2, { 50, 0 }, 50, 50, { 50, 50 } },
        // Radii too small for the chord grow to fit it.
        { u"M 0 0 A 10 10 0 0 1 100 0", 2, { 50, 0 }, 50, 50, { 50, -50 } },
        // Negative radii count as positive; relative end point.
        { u"M 0 0 a -50 -50 0 0 1 100 0", 2, { 50, 0 }, 50, 50, { 50, -50 } },
        // The flags choose between the quarter and the three-quarter arc.
        { u"M 0 0 A 50 50 0 0 1 50 50", 1, { 0, 50 }, 50, 50, { 50, 50 } },
        { u"M 0 0 A 50 50 0 1 1 50 50", 3, { 50, 0 }, 50, 50, { 50, -50 } },
        // A rotated ellipse.
        { u"M 0 0 A 100 50 90 0 1 0 200", 2, { 0, 100 }, 50, 100, { 50, 100 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.data));
        TLumGraphicsSVGElementPathList paths;
        BuildPathData(c.data, paths);
        ASSERT_EQ(paths.GetCount(), 1);
        const TLumGraphicsPath* p = paths[0];
        ASSERT_EQ(p->GetCount(), 1 + 4 * c.curves);
        // Each curve is a line to its start and three curve records.
        for (int k = 0; k < c.curves; ++k) {
            EXPECT_EQ(p->GetPoint(1 + 4 * k).Kind, gppLineTo);
            const TLumGraphicsPathCubicBezier bezier { p->GetPoint(1 + 4 * k).Point, p->GetPoint(2 + 4 * k).Point,
                p->GetPoint(3 + 4 * k).Point, p->GetPoint(4 + 4 * k).Point };
            for (const TPointF& s : TLumGraphicsPath::CreateBezier(bezier, 5))
                EXPECT_NEAR(std::hypot((s.X - c.centre.X) / c.rx, (s.Y - c.centre.Y) / c.ry), 1.0, 0.003) << k;
        }
        EXPECT_NEAR(p->GetPoint(4).Point.X, c.firstCurveEnd.X, 0.01);
        EXPECT_NEAR(p->GetPoint(4).Point.Y, c.firstCurveEnd.Y, 0.01);
    }

    constexpr auto M = gppMoveTo, L = gppLineTo;
    const DataCase degenerate[] = {
        { u"M 10 10 A 5 5 0 0 1 10 10", { { { M, 10, 10 } } } },
        { u"M 0 0 A 0 5 0 0 1 10 10 L 20 0", { { { M, 0, 0 }, { L, 0, 0 }, { L, 10, 10 }, { L, 20, 0 } } } },
        // An arc missing a parameter is dropped.
        { u"M 0 0 A 5 5 0 1 10 10", { { { M, 0, 0 } } } },
    };
    for (const DataCase& c : degenerate)
        ExpectBuilt(c);
}

TEST(LumSVGPathData, TransformListsActRightmostFirst)
{
    struct Case {
        const char16_t* text;
        TPointF in, out;
    } const cases[] = {
        { u"", { 10, 0 }, { 10, 0 } },
        { u"translate(50,50) rotate(90)", { 10, 0 }, { 50, 60 } },
        { u"rotate(90) translate(50,50)", { 10, 0 }, { -50, 60 } },
        { u"translate(10) scale(2)", { 10, 5 }, { 30, 10 } },
        { u"translate(10 20)", { 0, 0 }, { 10, 20 } },
        { u"translate(10, 20)", { 0, 0 }, { 10, 20 } },
        { u"  translate(10,20),scale(2)  ", { 1, 1 }, { 12, 22 } },
        { u"scale(2)", { 10, 5 }, { 20, 10 } },
        { u"scale(2,3)", { 10, 5 }, { 20, 15 } },
        { u"rotate(1.5708rad)", { 10, 0 }, { 0, 10 } },
        { u"rotate(100grad)", { 10, 0 }, { 0, 10 } },
        { u"rotate(90deg)", { 10, 0 }, { 0, 10 } },
        { u"rotate(90, 10, 10)", { 10, 0 }, { 20, 10 } },
        { u"rotate(90 10)", { 10, 0 }, { 10, 0 } },
        { u"skewX(45)", { 0, 10 }, { 10, 10 } },
        { u"skewY(45)", { 10, 0 }, { 10, 10 } },
        { u"skewX(45, 2)", { 0, 10 }, { 0, 10 } },
        { u"matrix(1 0 0 1 5 6)", { 1, 1 }, { 6, 7 } },
        { u"matrix(1 0 0 1 5)", { 1, 1 }, { 1, 1 } },
        { u"translate(5) scale(2", { 1, 1 }, { 6, 1 } },
        { u"unknown(3) translate(5)", { 1, 1 }, { 6, 1 } },
        { u"translate(abc, 4)", { 1, 1 }, { 1, 5 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.text));
        const TPointF out = c.in * ParseTransform(String(c.text));
        EXPECT_NEAR(out.X, c.out.X, 1e-3);
        EXPECT_NEAR(out.Y, c.out.Y, 1e-3);
    }
    EXPECT_TRUE(MatrixIsEmpty(ParseTransform(std::nullopt)));
    const TLumGraphicsMatrix m = ParseTransform(String(u"matrix(1,2,3,4,5,6)"));
    EXPECT_EQ(m, (TLumGraphicsMatrix { 1, 2, 0, 3, 4, 0, 5, 6, 1 }));
}

TEST(LumSVGPathData, PointListsBuildOnePath)
{
    constexpr auto M = gppMoveTo, L = gppLineTo, Z = gppClose;
    struct Case {
        const char16_t* points;
        bool polygon;
        Paths paths;
    } const cases[] = {
        { u"0,0 10,0 10,10", false, { { { M, 0, 0 }, { L, 10, 0 }, { L, 10, 0 }, { L, 10, 10 } } } },
        { u"0,0 10,0 10,10", true, { { { M, 0, 0 }, { L, 10, 0 }, { L, 10, 0 }, { L, 10, 10 }, { Z, 0, 0 } } } },
        { u"0-5 10-5", false, { { { M, 0, -5 }, { L, 10, -5 } } } },
        { u"1e-1,0 1e1,1", false, { { { M, 0.1f, 0 }, { L, 10, 1 } } } },
        { u"1 2 3 4 5", true, {} },
        { u"5 5", false, { {} } },
        { u"5 5", true, { {} } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(StringToUtf8(c.points));
        TLumGraphicsSVGElementPathList paths;
        BuildPointsPath(c.points, c.polygon, paths);
        ExpectPaths(paths, c.paths);
    }
}

} // namespace
