#include "graphics/LumGraphicsPath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"

QT_PUBLISHED(TLumGraphicsPath)

namespace {

constexpr double Pi = std::numbers::pi;
// Bezier handle length of a quarter ellipse.
constexpr float EllipseKappa = 0.5522848f;
// Flattening never goes finer than this.
constexpr float MinFlatness = 0.05f;
// Bounds the line segments of one flattened curve, so absurd coordinates
// cannot ask for billions of points.
constexpr Int64 MaxCurveSegments = 65536;

float Entry(const TLumGraphicsMatrix& M, int Row, int Col)
{
    const float* rows[3][3] = { { &M.m11, &M.m12, &M.m13 }, { &M.m21, &M.m22, &M.m23 }, { &M.m31, &M.m32, &M.m33 } };
    return *rows[Row][Col];
}

float& Entry(TLumGraphicsMatrix& M, int Row, int Col)
{
    float* rows[3][3] = { { &M.m11, &M.m12, &M.m13 }, { &M.m21, &M.m22, &M.m23 }, { &M.m31, &M.m32, &M.m33 } };
    return *rows[Row][Col];
}

double ChordLength(const TLumGraphicsPathPolygon& Points)
{
    double length = 0;
    for (std::size_t i = 1; i < Points.size(); ++i)
        length += std::hypot(double(Points[i].X) - Points[i - 1].X, double(Points[i].Y) - Points[i - 1].Y);
    return length;
}

// How many points a curve is sampled with when flattened: 0 or 1 means a
// single line to its end.
int FlatteningPointCount(const TLumGraphicsPathCubicBezier& Bezier, float Flatness)
{
    const double length = ChordLength(TLumGraphicsPath::CreateBezier(Bezier, 6));
    return int(std::clamp<Int64>(RoundHalfEven(length / Flatness), 0, MaxCurveSegments));
}

float EffectiveFlatness(float Flatness)
{
    return Flatness > MinFlatness ? Flatness : MinFlatness;
}

// A polygon that drops a point repeating its last one.
struct PolygonBuilder {
    TLumGraphicsPathPolygon& Polygon;
    void Add(const TPointF& P)
    {
        if (!Polygon.empty() && SameValue(Polygon.back().X, P.X, 0.001f) && SameValue(Polygon.back().Y, P.Y, 0.001f))
            return;
        Polygon.push_back(P);
    }
};

// A curve that crosses the visible area's edge is halved until its parts are
// no larger than the area, need few segments anyway, or these bounds are
// reached (they hold even where float coordinates stop halving cleanly).
constexpr int MaxSplitDepth = 160;
constexpr int MaxSplitsPerCurve = 1 << 14;
constexpr int SplitAboveSegments = 16;

std::pair<TLumGraphicsPathCubicBezier, TLumGraphicsPathCubicBezier> SplitBezier(const TLumGraphicsPathCubicBezier& B)
{
    auto mid = [](const TPointF& a, const TPointF& b) {
        return TPointF(float((double(a.X) + b.X) / 2), float((double(a.Y) + b.Y) / 2));
    };
    const TPointF ab = mid(B[0], B[1]), bc = mid(B[1], B[2]), cd = mid(B[2], B[3]);
    const TPointF abc = mid(ab, bc), bcd = mid(bc, cd), m = mid(abc, bcd);
    return { { B[0], ab, abc, m }, { m, bcd, cd, B[3] } };
}

// Points to sample a curve with so that no segment strays more than
// Tolerance from it: the bound on a cubic's chords from its second
// differences.
int TolerancePointCount(const TLumGraphicsPathCubicBezier& B, float Tolerance)
{
    auto second = [](const TPointF& a, const TPointF& b, const TPointF& c) {
        return std::hypot(double(a.X) - 2.0 * b.X + c.X, double(a.Y) - 2.0 * b.Y + c.Y);
    };
    const double m = std::max(second(B[0], B[1], B[2]), second(B[1], B[2], B[3]));
    const double segments = std::ceil(std::sqrt(0.75 * m / Tolerance));
    if (!(segments < double(MaxCurveSegments)))
        return int(MaxCurveSegments);
    return int(segments) + 1;
}

// Emits the points that replace one curve (its start excluded) through
// AEmit, which answers false to stop.
template <class Emit>
bool FlattenVisibleCurve(const TLumGraphicsPathCubicBezier& B, float Flatness, const TRectF& V, int Depth,
    int& ASplitsLeft, Emit& AEmit)
{
    float l = B[0].X, r = l, t = B[0].Y, b = t;
    for (const TPointF& p : B) {
        if (!std::isfinite(p.X) || !std::isfinite(p.Y))
            return AEmit(B[3]);
        l = std::min(l, p.X);
        r = std::max(r, p.X);
        t = std::min(t, p.Y);
        b = std::max(b, p.Y);
    }
    // The curve lies inside its control points' hull, and so does its
    // chord: wholly outside, the chord shows exactly what the curve shows.
    if (r < V.Left || l > V.Right || b < V.Top || t > V.Bottom)
        return AEmit(B[3]);
    const bool inside = l >= V.Left && r <= V.Right && t >= V.Top && b <= V.Bottom;
    int k = TolerancePointCount(B, Flatness);
    const bool larger = std::max(double(r) - l, double(b) - t) > std::max(double(V.Width()), double(V.Height()));
    if (!inside && larger && k > SplitAboveSegments && Depth < MaxSplitDepth && ASplitsLeft > 0) {
        --ASplitsLeft;
        const auto [first, second] = SplitBezier(B);
        return FlattenVisibleCurve(first, Flatness, V, Depth + 1, ASplitsLeft, AEmit)
            && FlattenVisibleCurve(second, Flatness, V, Depth + 1, ASplitsLeft, AEmit);
    }
    // A part still reaching outside gets no more segments than a curve
    // across the whole visible area would.
    const double across = 4.0 * (double(V.Width()) + V.Height()) / Flatness;
    if (std::isfinite(across) && across >= 0)
        k = int(std::min<double>(k, across));
    if (k <= 1)
        return AEmit(B[3]);
    const TLumGraphicsPathPolygon points = TLumGraphicsPath::CreateBezier(B, k);
    for (std::size_t i = 1; i < points.size(); ++i)
        if (!AEmit(points[i]))
            return false;
    return true;
}

bool VertexInRect(const TPointF& P, const TRectF& R)
{
    return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

// Liang-Barsky: whether the segment A-B meets the closed rectangle R.
bool SegmentMeetsRect(const TPointF& A, const TPointF& B, const TRectF& R)
{
    const double dx = double(B.X) - A.X, dy = double(B.Y) - A.Y;
    const double p[4] = { -dx, dx, -dy, dy };
    const double q[4] = { double(A.X) - R.Left, double(R.Right) - A.X, double(A.Y) - R.Top, double(R.Bottom) - A.Y };
    double t0 = 0, t1 = 1;
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    return true;
}

} // namespace

// ---- matrix ----

TLumGraphicsMatrix TLumGraphicsMatrix::Identity()
{
    TLumGraphicsMatrix m;
    m.m11 = m.m22 = m.m33 = 1;
    return m;
}

TLumGraphicsMatrix TLumGraphicsMatrix::CreateRotation(float AAngle)
{
    TLumGraphicsMatrix m = Identity();
    m.m11 = std::cos(AAngle);
    m.m12 = std::sin(AAngle);
    m.m21 = -std::sin(AAngle);
    m.m22 = std::cos(AAngle);
    return m;
}

TLumGraphicsMatrix TLumGraphicsMatrix::CreateScaling(float AScaleX, float AScaleY)
{
    TLumGraphicsMatrix m = Identity();
    m.m11 = AScaleX;
    m.m22 = AScaleY;
    return m;
}

TLumGraphicsMatrix TLumGraphicsMatrix::CreateTranslation(float ADeltaX, float ADeltaY)
{
    TLumGraphicsMatrix m = Identity();
    m.m31 = ADeltaX;
    m.m32 = ADeltaY;
    return m;
}

float TLumGraphicsMatrix::Determinant() const
{
    return m11 * (m22 * m33 - m32 * m23) - m12 * (m21 * m33 - m23 * m31) + m13 * (m21 * m32 - m22 * m31);
}

TLumGraphicsMatrix TLumGraphicsMatrix::Adjoint() const
{
    TLumGraphicsMatrix a;
    a.m11 = m22 * m33 - m23 * m32;
    a.m12 = -(m12 * m33 - m13 * m32);
    a.m13 = m12 * m23 - m13 * m22;
    a.m21 = -(m21 * m33 - m23 * m31);
    a.m22 = m11 * m33 - m13 * m31;
    a.m23 = -(m11 * m23 - m13 * m21);
    a.m31 = m21 * m32 - m22 * m31;
    a.m32 = -(m11 * m32 - m12 * m31);
    a.m33 = m11 * m22 - m12 * m21;
    return a;
}

TLumGraphicsMatrix TLumGraphicsMatrix::Inverse() const
{
    const float det = Determinant();
    if (!(std::fabs(det) >= 1E-40f))
        return Identity();
    TLumGraphicsMatrix r = Adjoint();
    const float f = 1 / det;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            Entry(r, i, j) *= f;
    return r;
}

TLumGraphicsVector TLumGraphicsMatrix::GetRow(int AIndex) const
{
    if (AIndex < 0 || AIndex > 2)
        throw EArgumentOutOfRangeException(u"Argument out of range");
    return { Entry(*this, AIndex, 0), Entry(*this, AIndex, 1), Entry(*this, AIndex, 2) };
}

void TLumGraphicsMatrix::SetRow(int AIndex, const TLumGraphicsVector& AValue)
{
    if (AIndex < 0 || AIndex > 2)
        throw EArgumentOutOfRangeException(u"Argument out of range");
    for (int j = 0; j < 3; ++j)
        Entry(*this, AIndex, j) = AValue[j];
}

TLumGraphicsMatrix operator*(const TLumGraphicsMatrix& AMatrix1, const TLumGraphicsMatrix& AMatrix2)
{
    TLumGraphicsMatrix r;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            Entry(r, i, j) = Entry(AMatrix1, i, 0) * Entry(AMatrix2, 0, j) + Entry(AMatrix1, i, 1) * Entry(AMatrix2, 1, j)
                + Entry(AMatrix1, i, 2) * Entry(AMatrix2, 2, j);
    return r;
}

TPointF operator*(const TPointF& APoint, const TLumGraphicsMatrix& AMatrix)
{
    return { APoint.X * AMatrix.m11 + APoint.Y * AMatrix.m21 + AMatrix.m31,
        APoint.X * AMatrix.m12 + APoint.Y * AMatrix.m22 + AMatrix.m32 };
}

TLumGraphicsMatrix MatrixIdentity() { return TLumGraphicsMatrix::Identity(); }
TLumGraphicsMatrix MatrixCreateRotation(float AAngle) { return TLumGraphicsMatrix::CreateRotation(AAngle); }
TLumGraphicsMatrix MatrixCreateScaling(float AScaleX, float AScaleY)
{
    return TLumGraphicsMatrix::CreateScaling(AScaleX, AScaleY);
}
TLumGraphicsMatrix MatrixCreateTranslation(float ADeltaX, float ADeltaY)
{
    return TLumGraphicsMatrix::CreateTranslation(ADeltaX, ADeltaY);
}
TLumGraphicsMatrix MatrixMultiply(const TLumGraphicsMatrix& AMatrix1, const TLumGraphicsMatrix& AMatrix2)
{
    return AMatrix1 * AMatrix2;
}
TPointF MatrixMultiplyPoint(const TPointF& APoint, const TLumGraphicsMatrix& AMatrix) { return APoint * AMatrix; }
TLumGraphicsMatrix MatrixEmpty() { return {}; }
bool MatrixIsEmpty(const TLumGraphicsMatrix& AMatrix) { return AMatrix == TLumGraphicsMatrix {}; }

// ---- path ----

void TLumGraphicsPath::Assign(TPersistent* Source)
{
    if (auto* path = dynamic_cast<TLumGraphicsPath*>(Source)) {
        if (path == this)
            return;
        FPoints.Clear();
        AddPath(path);
        return;
    }
    TPersistent::Assign(Source);
}

void TLumGraphicsPath::Clear() { FPoints.Clear(); }

void TLumGraphicsPath::Append(TLumGraphicsPathPointKind AKind, const TPointF& P)
{
    TLumGraphicsPathPoint point;
    point.Kind = AKind;
    point.Point = P;
    FPoints.Add(point);
}

void TLumGraphicsPath::MoveTo(const TPointF& P)
{
    Append(gppMoveTo, P);
    FStartPoint = P;
}

void TLumGraphicsPath::LineTo(const TPointF& P)
{
    Append(gppLineTo, P);
    if (P == FStartPoint)
        FClippable = true;
}

void TLumGraphicsPath::CurveTo(const TPointF& ControlPoint1, const TPointF& ControlPoint2, const TPointF& EndPoint)
{
    Append(gppCurveTo, ControlPoint1);
    Append(gppCurveTo, ControlPoint2);
    Append(gppCurveTo, EndPoint);
}

void TLumGraphicsPath::QuadCurveTo(const TPointF& ControlPoint, const TPointF& EndPoint)
{
    const TPointF l = LastPoint();
    const TPointF c = ControlPoint;
    CurveTo({ l.X / 3 + 2 * c.X / 3, l.Y / 3 + 2 * c.Y / 3 }, { 2 * c.X / 3 + EndPoint.X / 3, 2 * c.Y / 3 + EndPoint.Y / 3 },
        EndPoint);
}

void TLumGraphicsPath::SmoothCurveTo(const TPointF& ControlPoint2, const TPointF& EndPoint)
{
    TPointF first = ControlPoint2;
    if (GetCount() >= 3) {
        const TPointF last = LastPoint();
        const TPointF before = FPoints[GetCount() - 2].Point;
        first = { 2 * last.X - before.X, 2 * last.Y - before.Y };
    }
    CurveTo(first, ControlPoint2, EndPoint);
}

void TLumGraphicsPath::ClosePath()
{
    Append(gppClose, FStartPoint);
    FClippable = true;
}

void TLumGraphicsPath::AddLine(const TPointF& StartPoint, const TPointF& EndPoint)
{
    if (GetCount() == 0)
        MoveTo(StartPoint);
    else
        LineTo(StartPoint);
    LineTo(EndPoint);
}

void TLumGraphicsPath::AddPolygon(const TLumGraphicsPathPolygon& APolygon)
{
    for (const TPointF& p : APolygon)
        LineTo(p);
}

void TLumGraphicsPath::AddPath(const TLumGraphicsPath* APath)
{
    if (!APath)
        return;
    // A copy first: the path may be added to itself.
    const std::vector<TLumGraphicsPathPoint> records = APath->FPoints.ToVector();
    for (const TLumGraphicsPathPoint& r : records)
        FPoints.Add(r);
}

void TLumGraphicsPath::AddEllipse(const TRectF& ARect)
{
    const float cx = (ARect.Left + ARect.Right) / 2, cy = (ARect.Top + ARect.Bottom) / 2;
    const float kx = (ARect.Right - ARect.Left) / 2 * EllipseKappa;
    const float ky = (ARect.Bottom - ARect.Top) / 2 * EllipseKappa;
    const float l = ARect.Left, t = ARect.Top, r = ARect.Right, b = ARect.Bottom;
    MoveTo({ l, cy });
    CurveTo({ l, cy - ky }, { cx - kx, t }, { cx, t });
    CurveTo({ cx + kx, t }, { r, cy - ky }, { r, cy });
    CurveTo({ r, cy + ky }, { cx + kx, b }, { cx, b });
    CurveTo({ cx - kx, b }, { l, cy + ky }, { l, cy });
    FClippable = true;
}

void TLumGraphicsPath::AddRectangle(const TRectF& ARect, float ARoundingX, float ARoundingY)
{
    const float l = ARect.Left, t = ARect.Top, r = ARect.Right, b = ARect.Bottom;
    const float rx = ARoundingX, ry = ARoundingY;
    if (rx == 0 && ry == 0) {
        MoveTo({ l, t });
        LineTo({ r, t });
        LineTo({ r, b });
        LineTo({ l, b });
    } else {
        const TPointF radius { rx, ry };
        MoveTo({ l + rx, b });
        AddArc({ l + rx, b - ry }, radius, -270, 90);
        LineTo({ l, b - ry });
        LineTo({ l, t + ry });
        AddArc({ l + rx, t + ry }, radius, -180, 90);
        LineTo({ l + rx, t });
        LineTo({ r - rx, t });
        AddArc({ r - rx, t + ry }, radius, -90, 90);
        LineTo({ r, t + ry });
        LineTo({ r, b - ry });
        AddArc({ r - rx, b - ry }, radius, 0, 90);
        LineTo({ r - rx, b });
        LineTo({ l + rx, b });
    }
    ClosePath();
    FClippable = true;
}

void TLumGraphicsPath::AddArcSegment(const TPointF& Center, const TPointF& Radius, double Start, double Angle, bool AFirst)
{
    const double x0 = std::cos(Angle / 2), y0 = std::sin(Angle / 2);
    const double handle = (1 - x0) * (3 - x0) / (3 * y0);
    const double unit[4][2] = { { x0, -y0 }, { (4 - x0) / 3, -handle }, { (4 - x0) / 3, handle }, { x0, y0 } };
    const double psi = Start + Angle / 2;
    const double cs = std::cos(psi), sn = std::sin(psi);
    TPointF p[4];
    for (int i = 0; i < 4; ++i) {
        const double x = unit[i][0], y = unit[i][1];
        p[i] = { float(Center.X + Radius.X * (x * cs - y * sn)), float(Center.Y + Radius.Y * (x * sn + y * cs)) };
    }
    if (AFirst) {
        if (GetCount() == 0)
            MoveTo(p[0]);
        else
            LineTo(p[0]);
    }
    CurveTo(p[1], p[2], p[3]);
}

void TLumGraphicsPath::AddArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle)
{
    constexpr double QuarterTurn = Pi / 2;
    constexpr double QuarterSegment = 1.5707964;
    const double start = float(StartAngle * Pi / 180);
    double sweep = std::clamp(SweepAngle * Pi / 180, -6.2831855, 6.2831855);
    if (!std::isfinite(start) || !(std::fabs(sweep) >= 1E-10))
        return;
    double s = start - 2 * Pi * std::trunc(start / (2 * Pi));
    double done = 0;
    bool first = true;
    for (;;) {
        const double remaining = sweep - done;
        double next, segment;
        bool last;
        if (sweep >= 0) {
            next = done + QuarterTurn;
            last = !(next < sweep - 0.01);
            segment = last ? remaining : QuarterSegment;
        } else {
            next = done - QuarterTurn;
            last = !(next > sweep + 0.01);
            segment = last ? remaining : -QuarterSegment;
        }
        AddArcSegment(Center, Radius, s, segment, first);
        if (last)
            break;
        s += segment;
        done = next;
        first = false;
    }
}

void TLumGraphicsPath::ApplyMatrix(const TLumGraphicsMatrix& AMatrix)
{
    // Close records and the start point move too, so a close record keeps
    // carrying its sub-path's start and a later LineTo or ClosePath compares
    // with the transformed start.
    std::vector<TLumGraphicsPathPoint> records = FPoints.ToVector();
    FPoints.Clear();
    for (TLumGraphicsPathPoint& r : records) {
        r.Point = r.Point * AMatrix;
        FPoints.Add(r);
    }
    FStartPoint = FStartPoint * AMatrix;
}

TPointF TLumGraphicsPath::LastPoint() const
{
    return GetCount() == 0 ? TPointF {} : FPoints.Last().Point;
}

TLumGraphicsPathPoint TLumGraphicsPath::GetPoint(int AIndex) const
{
    if (AIndex < 0 || AIndex >= GetCount())
        throw EArgumentOutOfRangeException(u"Argument out of range");
    return FPoints[AIndex];
}

TRectF TLumGraphicsPath::GetBounds() const
{
    // Starts from the first point rather than from a fixed sentinel, so far
    // away shapes are bounded correctly too.
    TRectF r;
    bool any = false;
    for (const TLumGraphicsPathPoint& p : FPoints) {
        if (p.Kind == gppClose)
            continue;
        if (!any) {
            r = { p.Point.X, p.Point.Y, p.Point.X, p.Point.Y };
            any = true;
            continue;
        }
        r.Left = std::min(r.Left, p.Point.X);
        r.Top = std::min(r.Top, p.Point.Y);
        r.Right = std::max(r.Right, p.Point.X);
        r.Bottom = std::max(r.Bottom, p.Point.Y);
    }
    if (!any)
        return {};
    if (std::fabs(r.Right - r.Left) <= 0.001f)
        r.Right = r.Left + 0.001f;
    if (std::fabs(r.Bottom - r.Top) <= 0.001f)
        r.Bottom = r.Top + 0.001f;
    return r;
}

TPointF TLumGraphicsPath::PointOnBezier(const TPointF& StartPoint, double AX, double BX, double CX, double AY, double BY,
    double CY, double T)
{
    const double t2 = T * T, t3 = t2 * T;
    return { float(AX * t3 + BX * t2 + CX * T + StartPoint.X), float(AY * t3 + BY * t2 + CY * T + StartPoint.Y) };
}

TLumGraphicsPathPolygon TLumGraphicsPath::CreateBezier(const TLumGraphicsPathCubicBezier& Bezier, int PointCount)
{
    TLumGraphicsPathPolygon result;
    if (PointCount <= 0)
        return result;
    const TPointF &b0 = Bezier[0], &b1 = Bezier[1], &b2 = Bezier[2], &b3 = Bezier[3];
    const double cx = 3.0 * (double(b1.X) - b0.X), bx = 3.0 * (double(b2.X) - b1.X) - cx, ax = double(b3.X) - b0.X - cx - bx;
    const double cy = 3.0 * (double(b1.Y) - b0.Y), by = 3.0 * (double(b2.Y) - b1.Y) - cy, ay = double(b3.Y) - b0.Y - cy - by;
    const double d = PointCount > 1 ? 1.0 / (PointCount - 1) : 0;
    result.reserve(std::size_t(PointCount));
    double t = 0;
    for (int i = 0; i < PointCount; ++i) {
        result.push_back(PointOnBezier(b0, ax, bx, cx, ay, by, cy, t));
        t += d;
    }
    return result;
}

void TLumGraphicsPath::Flatten(float Flatness)
{
    FlattenRecords(Flatness, nullptr, -1);
}

bool TLumGraphicsPath::FlattenVisible(float Flatness, const TRectF& AVisible, Int64 AMaxPoints)
{
    return FlattenRecords(Flatness, &AVisible, AMaxPoints);
}

bool TLumGraphicsPath::FlattenRecords(float Flatness, const TRectF* AVisible, Int64 AMaxPoints)
{
    if (GetCount() == 0)
        return true;
    const float f = EffectiveFlatness(Flatness);
    const std::vector<TLumGraphicsPathPoint> records = FPoints.ToVector();
    FPoints.Clear();
    auto fits = [&] { return AMaxPoints < 0 || GetCount() <= AMaxPoints; };
    auto lineTo = [&](const TPointF& P) {
        LineTo(P);
        return fits();
    };
    TPointF c {};
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TLumGraphicsPathPoint& r = records[i];
        switch (r.Kind) {
        case gppMoveTo:
            MoveTo(r.Point);
            c = r.Point;
            break;
        case gppCurveTo:
            if (i + 2 < records.size()) {
                const TLumGraphicsPathCubicBezier bezier { c, r.Point, records[i + 1].Point, records[i + 2].Point };
                if (AVisible) {
                    int splits = MaxSplitsPerCurve;
                    if (!FlattenVisibleCurve(bezier, f, *AVisible, 0, splits, lineTo))
                        return false;
                } else {
                    const int k = FlatteningPointCount(bezier, f);
                    if (k > 1) {
                        for (const TPointF& p : CreateBezier(bezier, k))
                            LineTo(p);
                    } else
                        LineTo(bezier[3]);
                }
                c = bezier[3];
                i += 2;
                break;
            }
            // A curve cut short has no shape: its points become lines.
            [[fallthrough]];
        case gppLineTo:
            LineTo(r.Point);
            c = r.Point;
            break;
        case gppClose:
            ClosePath();
            // A following curve starts where the sub-path started.
            c = FStartPoint;
            break;
        }
        if (!fits())
            return false;
    }
    return true;
}

void TLumGraphicsPath::FlattenToPolygon(TLumGraphicsPathPolygon& Polygon, float Flatness) const
{
    Polygon.clear();
    PolygonBuilder out { Polygon };
    const float f = EffectiveFlatness(Flatness);
    const std::vector<TLumGraphicsPathPoint>& records = FPoints.ToVector();
    TPointF c {}, start {};
    // Whether a sub-path is open; one begun without a move starts at its
    // first point, so closing it returns there.
    bool open = false;
    auto begin = [&](const TPointF& P) {
        if (!open)
            start = P;
        open = true;
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        const TLumGraphicsPathPoint& r = records[i];
        switch (r.Kind) {
        case gppMoveTo:
            open = false;
            begin(r.Point);
            out.Add(r.Point);
            c = r.Point;
            break;
        case gppCurveTo:
            if (i + 2 < records.size()) {
                const TLumGraphicsPathCubicBezier bezier { c, r.Point, records[i + 1].Point, records[i + 2].Point };
                begin(c);
                const int k = FlatteningPointCount(bezier, f);
                if (k > 1) {
                    for (const TPointF& p : CreateBezier(bezier, k))
                        out.Add(p);
                } else {
                    out.Add(c);
                    out.Add(bezier[3]);
                }
                c = bezier[3];
                i += 2;
                break;
            }
            [[fallthrough]];
        case gppLineTo:
            begin(r.Point);
            out.Add(r.Point);
            c = r.Point;
            break;
        case gppClose:
            out.Add(start);
            c = start;
            open = false;
            break;
        }
    }
}

bool TLumGraphicsPath::IsPointVisible(const TPointF& P) const
{
    TLumGraphicsPathPolygon polygon;
    FlattenToPolygon(polygon, 0.25f);
    return PointInPolygon(P, polygon);
}

bool TLumGraphicsPath::IsRectVisible(const TRectF& R) const
{
    if (!(R.Right > R.Left && R.Bottom > R.Top))
        return false;
    TLumGraphicsPathPolygon polygon;
    FlattenToPolygon(polygon, 0.25f);
    if (polygon.empty())
        return false;
    for (const TPointF& p : polygon)
        if (VertexInRect(p, R))
            return true;
    // No vertex inside: the shape still overlaps when an edge (the closing
    // one included) crosses the rectangle or the rectangle lies inside it.
    for (std::size_t i = 0; i < polygon.size(); ++i)
        if (SegmentMeetsRect(polygon[i], polygon[(i + 1) % polygon.size()], R))
            return true;
    return PointInPolygon({ (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2 }, polygon);
}

bool PointInPolygon(const TPointF& P, const TLumGraphicsPathPolygon& Polygon)
{
    if (Polygon.empty())
        return false;
    float l = Polygon[0].X, r = l, t = Polygon[0].Y, b = t;
    for (const TPointF& v : Polygon) {
        l = std::min(l, v.X);
        r = std::max(r, v.X);
        t = std::min(t, v.Y);
        b = std::max(b, v.Y);
    }
    if (!(P.X >= l && P.X <= r && P.Y >= t && P.Y <= b))
        return false;
    bool inside = false;
    const double x = P.X, y = P.Y;
    std::size_t j = Polygon.size() - 1;
    for (std::size_t i = 0; i < Polygon.size(); j = i++) {
        const double xi = Polygon[i].X, yi = Polygon[i].Y, xj = Polygon[j].X, yj = Polygon[j].Y;
        if ((yi <= y) != (yj <= y) && yj != yi) {
            const double xCross = xi + (y - yi) * (xj - xi) / (yj - yi);
            if (x < xCross)
                inside = !inside;
        }
    }
    return inside;
}

TRectF CopyRectF(const TRectF& R) { return R; }
