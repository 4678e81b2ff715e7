#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "graphics/LumGraphicsPath.h"
#include "platform/rtl/Exceptions.h"

namespace {

constexpr float Pi = std::numbers::pi_v<float>;

void ExpectPoint(const TPointF& Actual, const TPointF& Expected, float Tolerance = 1e-3f)
{
    EXPECT_NEAR(Actual.X, Expected.X, Tolerance);
    EXPECT_NEAR(Actual.Y, Expected.Y, Tolerance);
}

int CountKind(const TLumGraphicsPath& P, TLumGraphicsPathPointKind Kind)
{
    int n = 0;
    for (const TLumGraphicsPathPoint& r : P.GetPathData())
        n += r.Kind == Kind;
    return n;
}

// Every curve of the path evaluated at its middle lies on the ellipse.
void ExpectCurvesOnEllipse(const TLumGraphicsPath& P, const TPointF& C, float Rx, float Ry, float Tolerance)
{
    const auto& d = P.GetPathData();
    for (int i = 0; i < d.GetCount(); ++i) {
        if (d[i].Kind != gppCurveTo)
            continue;
        const auto pts = TLumGraphicsPath::CreateBezier({ d[i - 1].Point, d[i].Point, d[i + 1].Point, d[i + 2].Point }, 3);
        for (const TPointF& p : pts) {
            const float dx = (p.X - C.X) / Rx, dy = (p.Y - C.Y) / Ry;
            EXPECT_NEAR(std::hypot(dx, dy), 1.0f, Tolerance) << "curve at record " << i;
        }
        i += 2;
    }
}

TEST(LumGraphicsMatrix, TransformsComposeLeftFactorFirst)
{
    const TLumGraphicsMatrix t = MatrixCreateTranslation(10, 20);
    const TLumGraphicsMatrix s = MatrixCreateScaling(2, 3);
    const TLumGraphicsMatrix r = MatrixCreateRotation(Pi / 2);
    struct Case {
        const char* name;
        TLumGraphicsMatrix m;
        TPointF in, out;
    } const cases[] = {
        { "identity", MatrixIdentity(), { 3, 4 }, { 3, 4 } },
        { "translation", t, { 1, 1 }, { 11, 21 } },
        { "scaling", s, { 1, 1 }, { 2, 3 } },
        { "rotation turns x towards y", r, { 1, 0 }, { 0, 1 } },
        { "translate then scale", t * s, { 1, 1 }, { 22, 63 } },
        { "scale then translate", s * t, { 1, 1 }, { 12, 23 } },
        { "free function product", MatrixMultiply(r, t), { 1, 0 }, { 10, 21 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectPoint(c.in * c.m, c.out);
        ExpectPoint(MatrixMultiplyPoint(c.in, c.m), c.out);
    }
}

TEST(LumGraphicsMatrix, InverseUndoesAndSingularGivesIdentity)
{
    TLumGraphicsMatrix m = MatrixCreateRotation(0.3f) * MatrixCreateScaling(2, 0.5f) * MatrixCreateTranslation(7, -3);
    EXPECT_NEAR(m.Determinant(), 1.0f, 1e-5f);
    const TPointF p { 5, 9 };
    ExpectPoint(p * m * m.Inverse(), p);
    // The adjoint times the matrix is the determinant times the identity.
    m.m13 = 0.25f;
    const TLumGraphicsMatrix a = m * m.Adjoint();
    const float det = m.Determinant();
    EXPECT_NEAR(a.m11, det, 1e-4f);
    EXPECT_NEAR(a.m22, det, 1e-4f);
    EXPECT_NEAR(a.m33, det, 1e-4f);
    EXPECT_NEAR(a.m12, 0, 1e-4f);
    EXPECT_NEAR(a.m31, 0, 1e-4f);

    EXPECT_TRUE(MatrixIsEmpty(MatrixEmpty()));
    EXPECT_FALSE(MatrixIsEmpty(MatrixIdentity()));
    EXPECT_EQ(MatrixEmpty().Inverse(), MatrixIdentity());
    EXPECT_EQ(MatrixCreateScaling(0, 5).Inverse(), MatrixIdentity());

    TLumGraphicsMatrix rows = MatrixIdentity();
    rows.SetRow(2, { 4, 5, 1 });
    EXPECT_EQ(rows, MatrixCreateTranslation(4, 5));
    EXPECT_EQ(rows.GetRow(0), (TLumGraphicsVector { 1, 0, 0 }));
    EXPECT_THROW(rows.GetRow(3), EArgumentOutOfRangeException);
}

TEST(LumGraphicsPath, RecordsOfLinesCurvesAndCopies)
{
    TLumGraphicsPath p;
    p.AddPolygon({ { 1, 1 }, { 2, 2 } });
    EXPECT_EQ(p.GetPoint(0).Kind, gppLineTo); // no implicit move
    EXPECT_FALSE(p.IsClippable());
    p.Clear();
    p.MoveTo({ 0, 0 });
    p.LineTo({ 10, 0 });
    EXPECT_FALSE(p.IsClippable());
    p.LineTo({ 0, 0 });
    EXPECT_TRUE(p.IsClippable());

    TLumGraphicsPath q;
    q.MoveTo({ 0, 0 });
    q.QuadCurveTo({ 30, 60 }, { 90, 0 });
    ASSERT_EQ(q.GetCount(), 4);
    ExpectPoint(q.GetPoint(1).Point, { 20, 40 });
    ExpectPoint(q.GetPoint(2).Point, { 50, 40 });
    ExpectPoint(q.GetPoint(3).Point, { 90, 0 });
    // Reflection of the second control point through the last point.
    q.SmoothCurveTo({ 120, -10 }, { 150, 0 });
    ExpectPoint(q.GetPoint(4).Point, { 130, -40 });
    TLumGraphicsPath shortPath;
    shortPath.MoveTo({ 0, 0 });
    shortPath.SmoothCurveTo({ 5, 5 }, { 10, 0 });
    ExpectPoint(shortPath.GetPoint(1).Point, { 5, 5 });

    TLumGraphicsPath line;
    line.AddLine({ 1, 2 }, { 3, 4 });
    line.AddLine({ 5, 6 }, { 7, 8 });
    const TLumGraphicsPathPointKind kinds[] = { gppMoveTo, gppLineTo, gppLineTo, gppLineTo };
    ASSERT_EQ(line.GetCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(line.GetPoint(i).Kind, kinds[i]);

    // Assign copies records but neither the clippable flag nor the start.
    TLumGraphicsPath copy;
    copy.Assign(&p);
    EXPECT_EQ(copy.GetPathData().ToVector(), p.GetPathData().ToVector());
    EXPECT_FALSE(copy.IsClippable());
    copy.AddPath(&copy);
    EXPECT_EQ(copy.GetCount(), 2 * p.GetCount());

    EXPECT_THROW(p.GetPoint(-1), EArgumentOutOfRangeException);
    EXPECT_THROW(p.GetPoint(p.GetCount()), EArgumentOutOfRangeException);
    ExpectPoint(TLumGraphicsPath().LastPoint(), { 0, 0 });
}

TEST(LumGraphicsPath, ArcsSplitIntoQuarterCurvesOnTheEllipse)
{
    struct Case {
        float start, sweep;
        int curves;
        TPointF first, last;
    } const cases[] = {
        { 0, 360, 4, { 150, 100 }, { 150, 100 } },
        { 0, 90.4f, 1, { 150, 100 }, { 100, 150 } },
        { 0, 0, 0, {}, {} },
        { 450, -180, 2, { 100, 150 }, { 100, 50 } },
        { -270, 90, 1, { 100, 150 }, { 50, 100 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "start " << c.start << " sweep " << c.sweep);
        TLumGraphicsPath p;
        p.AddArc({ 100, 100 }, { 50, 50 }, c.start, c.sweep);
        EXPECT_EQ(CountKind(p, gppCurveTo), 3 * c.curves);
        if (c.curves == 0) {
            EXPECT_EQ(p.GetCount(), 0);
            continue;
        }
        EXPECT_EQ(p.GetPoint(0).Kind, gppMoveTo);
        ExpectPoint(p.GetPoint(0).Point, c.first, 0.5f);
        ExpectPoint(p.LastPoint(), c.last, 0.5f);
        ExpectCurvesOnEllipse(p, { 100, 100 }, 50, 50, 0.002f);
    }
    // On a non-empty path the arc joins with a line.
    TLumGraphicsPath joined;
    joined.MoveTo({ 0, 0 });
    joined.AddArc({ 0, 0 }, { 10, 10 }, 0, 90);
    EXPECT_EQ(joined.GetPoint(1).Kind, gppLineTo);
}

TEST(LumGraphicsPath, EllipseAndRectangleShapes)
{
    TLumGraphicsPath e;
    e.AddEllipse({ 10, 20, 110, 70 });
    EXPECT_EQ(e.GetCount(), 13);
    EXPECT_EQ(CountKind(e, gppClose), 0);
    EXPECT_TRUE(e.IsClippable());
    EXPECT_EQ(e.GetBounds(), (TRectF { 10, 20, 110, 70 }));
    ExpectCurvesOnEllipse(e, { 60, 45 }, 50, 25, 0.003f);

    TLumGraphicsPath r;
    r.AddRectangle({ 0, 0, 40, 30 });
    ASSERT_EQ(r.GetCount(), 5);
    EXPECT_EQ(r.GetPoint(4).Kind, gppClose);
    EXPECT_TRUE(r.IsClippable());

    struct Case {
        float rx, ry;
    } const rounded[] = { { 5, 5 }, { 0, 5 }, { 10, 3 } };
    for (const Case& c : rounded) {
        SCOPED_TRACE(testing::Message() << c.rx << "," << c.ry);
        TLumGraphicsPath rr;
        rr.AddRectangle({ 0, 0, 40, 30 }, c.rx, c.ry);
        EXPECT_EQ(CountKind(rr, gppCurveTo), 12); // one quarter arc per corner
        EXPECT_EQ(rr.GetPoint(rr.GetCount() - 1).Kind, gppClose);
        const TRectF b = rr.GetBounds();
        EXPECT_NEAR(b.Left, 0, 1e-3);
        EXPECT_NEAR(b.Top, 0, 1e-3);
        EXPECT_NEAR(b.Right, 40, 1e-3);
        EXPECT_NEAR(b.Bottom, 30, 1e-3);
    }
}

TEST(LumGraphicsPath, BoundsOfDegenerateAndFarAwayPaths)
{
    struct Case {
        const char* name;
        std::vector<TPointF> points;
        TRectF bounds;
    } const cases[] = {
        { "empty", {}, { 0, 0, 0, 0 } },
        { "single point", { { 3, 4 } }, { 3, 4, 3.001f, 4.001f } },
        { "horizontal line", { { 1, 5 }, { 9, 5 } }, { 1, 5, 9, 5.001f } },
        { "beyond 65535 on one side", { { 70000, 80000 }, { 90000, 100000 } }, { 70000, 80000, 90000, 100000 } },
        { "below -65535", { { -100000, -90000 }, { -70000, -80000 } }, { -100000, -90000, -70000, -80000 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLumGraphicsPath p;
        for (std::size_t i = 0; i < c.points.size(); ++i)
            i == 0 ? p.MoveTo(c.points[i]) : p.LineTo(c.points[i]);
        const TRectF b = p.GetBounds();
        EXPECT_FLOAT_EQ(b.Left, c.bounds.Left);
        EXPECT_FLOAT_EQ(b.Top, c.bounds.Top);
        EXPECT_FLOAT_EQ(b.Right, c.bounds.Right);
        EXPECT_FLOAT_EQ(b.Bottom, c.bounds.Bottom);
    }
    // Close records do not count (this one carries the unset start (0, 0)).
    TLumGraphicsPath closed;
    closed.AddPolygon({ { 10, 10 }, { 20, 20 } });
    closed.ClosePath();
    EXPECT_EQ(closed.GetBounds(), (TRectF { 10, 10, 20, 20 }));
}

TEST(LumGraphicsPath, ApplyMatrixMovesCloseRecordsAndTheStart)
{
    TLumGraphicsPath p;
    p.MoveTo({ 0, 0 });
    p.LineTo({ 10, 0 });
    p.LineTo({ 10, 10 });
    p.ClosePath();
    p.SetClippable(false);
    p.ApplyMatrix(MatrixCreateTranslation(100, 50));
    ExpectPoint(p.GetPoint(0).Point, { 100, 50 });
    ExpectPoint(p.GetPoint(3).Point, { 100, 50 }); // still the sub-path's start
    // The start moved too: returning to it closes the shape.
    p.LineTo({ 100, 50 });
    EXPECT_TRUE(p.IsClippable());
}

TEST(LumGraphicsPath, BezierSampling)
{
    const TLumGraphicsPathCubicBezier b { TPointF { 0, 0 }, TPointF { 0, 10 }, TPointF { 10, 10 }, TPointF { 10, 0 } };
    EXPECT_TRUE(TLumGraphicsPath::CreateBezier(b, 0).empty());
    const auto one = TLumGraphicsPath::CreateBezier(b, 1);
    ASSERT_EQ(one.size(), 1u);
    ExpectPoint(one[0], { 0, 0 });
    const auto five = TLumGraphicsPath::CreateBezier(b, 5);
    ASSERT_EQ(five.size(), 5u);
    ExpectPoint(five.front(), { 0, 0 });
    ExpectPoint(five[2], { 5, 7.5f });
    ExpectPoint(five.back(), { 10, 0 });
}

TEST(LumGraphicsPath, FlattenReplacesCurvesByLines)
{
    // A tiny curve becomes one line to its end; the next curve starts there.
    TLumGraphicsPath p;
    p.MoveTo({ 0, 0 });
    p.CurveTo({ 0, 0.01f }, { 0.01f, 0.01f }, { 0.02f, 0 });
    p.CurveTo({ 0.02f, 30 }, { 40, 30 }, { 40, 0 });
    p.Flatten(1);
    EXPECT_EQ(CountKind(p, gppCurveTo), 0);
    ASSERT_GT(p.GetCount(), 3);
    ExpectPoint(p.GetPoint(1).Point, { 0.02f, 0 });
    ExpectPoint(p.GetPoint(2).Point, { 0.02f, 0 }); // the sampling begins at the current point
    ExpectPoint(p.LastPoint(), { 40, 0 });
    // Roughly one segment per unit of flatness along the ~75 long curve.
    EXPECT_GT(p.GetCount(), 50);
    EXPECT_LT(p.GetCount(), 100);

    // After a close, a curve starts from the sub-path's start.
    TLumGraphicsPath closed;
    closed.MoveTo({ 0, 0 });
    closed.LineTo({ 100, 0 });
    closed.ClosePath();
    closed.CurveTo({ 0, 100 }, { 0, 100 }, { 0, 200 });
    TLumGraphicsPathPolygon polygon;
    closed.FlattenToPolygon(polygon, 0.5f);
    for (std::size_t i = 3; i < polygon.size(); ++i)
        EXPECT_NEAR(polygon[i].X, 0, 1e-3) << i;
    closed.Flatten(0.5f);
    for (int i = 3; i < closed.GetCount(); ++i)
        EXPECT_NEAR(closed.GetPoint(i).Point.X, 0, 1e-3) << i;

    // Absurd coordinates ask for a bounded number of segments.
    TLumGraphicsPath huge;
    huge.MoveTo({ 0, 0 });
    huge.CurveTo({ 1e30f, 0 }, { 1e30f, 1e30f }, { 0, 1e30f });
    huge.Flatten(0);
    EXPECT_LE(huge.GetCount(), 65536 + 1);
}

TEST(LumGraphicsPath, FlattenVisibleSpendsPointsOnlyWhereTheyShow)
{
    const TRectF visible(0, 0, 100, 100);
    // Wholly outside: one straight line to the end, whatever its size.
    TLumGraphicsPath outside;
    outside.MoveTo({ 200, 0 });
    outside.CurveTo({ 1e7f, 0 }, { 1e7f, 1e7f }, { 200, 50 });
    ASSERT_TRUE(outside.FlattenVisible(0.25f, visible, 1000));
    ASSERT_EQ(outside.GetCount(), 2);
    ExpectPoint(outside.LastPoint(), { 200, 50 });

    // Wholly inside: sampled on the curve, no chord straying more than the
    // tolerance from it, and far fewer points than segments of that length.
    const TLumGraphicsPathCubicBezier arch { TPointF { 10, 10 }, TPointF { 10, 90 }, TPointF { 90, 90 }, TPointF { 90, 10 } };
    TLumGraphicsPath inside;
    inside.MoveTo(arch[0]);
    inside.CurveTo(arch[1], arch[2], arch[3]);
    ASSERT_TRUE(inside.FlattenVisible(0.25f, visible, 100000));
    const int segments = inside.GetCount() - 1;
    EXPECT_GT(segments, 8);
    EXPECT_LT(segments, 60); // the arch is about 170 long
    const auto fine = TLumGraphicsPath::CreateBezier(arch, 2 * segments + 1);
    for (int i = 0; i < segments; ++i) {
        SCOPED_TRACE(i);
        const TPointF a = inside.GetPoint(i).Point, b = inside.GetPoint(i + 1).Point;
        ExpectPoint(a, fine[std::size_t(2 * i)], 1e-3f);
        const TPointF mid { (a.X + b.X) / 2, (a.Y + b.Y) / 2 };
        const TPointF on = fine[std::size_t(2 * i + 1)];
        EXPECT_LE(std::hypot(mid.X - on.X, mid.Y - on.Y), 0.25f);
    }
    ExpectPoint(inside.LastPoint(), arch[3]);

    // A huge curve crossing the visible area: few points, and where it shows
    // the segments are as fine as asked.
    TLumGraphicsPath crossing;
    crossing.MoveTo({ 50, 50 });
    crossing.CurveTo({ 1e7f, -1e7f }, { -1e7f, 1e7f }, { 60, 40 });
    ASSERT_TRUE(crossing.FlattenVisible(0.25f, visible, 100000));
    EXPECT_EQ(CountKind(crossing, gppCurveTo), 0);
    EXPECT_LT(crossing.GetCount(), 2000);
    ExpectPoint(crossing.LastPoint(), { 60, 40 });
    int shown = 0;
    for (int i = 1; i < crossing.GetCount(); ++i) {
        const TPointF a = crossing.GetPoint(i).Point;
        shown += a.X >= 0 && a.X <= 100 && a.Y >= 0 && a.Y <= 100;
    }
    EXPECT_GT(shown, 0);

    // Past the allowed number of records it stops and says so.
    TLumGraphicsPath many;
    many.MoveTo({ 10, 10 });
    many.CurveTo({ 10, 90 }, { 90, 90 }, { 90, 10 });
    EXPECT_FALSE(many.FlattenVisible(0.25f, visible, 5));
    EXPECT_LE(many.GetCount(), 6);
}

TEST(LumGraphicsPath, FlattenToPolygonJoinsSubPaths)
{
    TLumGraphicsPath p;
    p.AddRectangle({ 0, 0, 10, 10 });
    p.AddRectangle({ 20, 0, 30, 10 });
    TLumGraphicsPathPolygon polygon;
    polygon.push_back({ 99, 99 }); // emptied first
    p.FlattenToPolygon(polygon, 1);
    const TLumGraphicsPathPolygon expected { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 }, { 0, 0 }, { 20, 0 }, { 30, 0 },
        { 30, 10 }, { 20, 10 }, { 20, 0 } };
    EXPECT_EQ(polygon, expected);

    // Repeated points are dropped; a shape begun without a move closes to its first point.
    TLumGraphicsPath noMove;
    noMove.AddPolygon({ { 5, 5 }, { 5.0005f, 5 }, { 15, 5 }, { 15, 15 } });
    noMove.ClosePath();
    noMove.FlattenToPolygon(polygon, 1);
    const TLumGraphicsPathPolygon expectedNoMove { { 5, 5 }, { 15, 5 }, { 15, 15 }, { 5, 5 } };
    EXPECT_EQ(polygon, expectedNoMove);

    TLumGraphicsPath().FlattenToPolygon(polygon, 1);
    EXPECT_TRUE(polygon.empty());
}

TEST(LumGraphicsPath, PointInPolygonEvenOdd)
{
    const TLumGraphicsPathPolygon square { { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } };
    // A five-pointed star drawn in one stroke: its centre is outside by the even-odd rule.
    TLumGraphicsPathPolygon star;
    for (int i = 0; i < 5; ++i) {
        const float a = -Pi / 2 + i * 4 * Pi / 5;
        star.push_back({ 50 + 40 * std::cos(a), 50 + 40 * std::sin(a) });
    }
    struct Case {
        const char* name;
        const TLumGraphicsPathPolygon* polygon;
        TPointF p;
        bool inside;
    } const cases[] = {
        { "inside", &square, { 5, 5 }, true },
        { "outside the box", &square, { 11, 5 }, false },
        { "left of the box", &square, { -0.1f, 5 }, false },
        { "star point", &star, { 50, 15 }, true },
        { "star centre", &star, { 50, 50 }, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PointInPolygon(c.p, *c.polygon), c.inside);
    }
    EXPECT_FALSE(PointInPolygon({ 0, 0 }, {}));
}

TEST(LumGraphicsPath, HitTestsOnTheFlattenedShape)
{
    TLumGraphicsPath circle;
    circle.AddEllipse({ 0, 0, 200, 200 });
    TLumGraphicsPath square;
    square.AddRectangle({ 0, 0, 200, 200 });
    struct Case {
        const char* name;
        const TLumGraphicsPath* path;
        TRectF r;
        bool visible;
    } const rects[] = {
        { "small rectangle in the centre", &circle, { 95, 95, 105, 105 }, true },
        { "covering everything", &circle, { -10, -10, 300, 300 }, true },
        { "vertex inside", &square, { -5, -5, 5, 5 }, true },
        { "crossing an edge without a vertex", &square, { 90, -5, 110, 5 }, true },
        { "outside", &circle, { 250, 250, 260, 260 }, false },
        { "in the bounding box corner, outside the circle", &circle, { 1, 1, 5, 5 }, false },
        { "empty rectangle", &circle, { 100, 100, 100, 100 }, false },
    };
    for (const Case& c : rects) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.path->IsRectVisible(c.r), c.visible);
    }
    EXPECT_TRUE(circle.IsPointVisible({ 100, 100 }));
    EXPECT_TRUE(circle.IsPointVisible({ 100, 1 }));
    EXPECT_FALSE(circle.IsPointVisible({ 2, 2 }));
    EXPECT_FALSE(TLumGraphicsPath().IsRectVisible({ 0, 0, 10, 10 }));
}

} // namespace
