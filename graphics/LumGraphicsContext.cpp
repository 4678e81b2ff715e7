#include "graphics/LumGraphicsContext.h"

#include <cmath>

#include <algorithm>

#include "platform/rtl/MathUtils.h"

TLumGraphicsContext::TLumGraphicsContext(TLumGraphics* AGraphics, TCanvas* ACanvas)
    : FGraphics(AGraphics), FCanvas(ACanvas)
{
}

namespace {

// Bounds the points one curve may become, whatever its size.
constexpr Int64 MaxCurvePoints = 65536;

// Length of a cubic curve estimated along six points of it.
double EstimatedCurveLength(const TLumGraphicsPathCubicBezier& ABezier)
{
    const TLumGraphicsPathPolygon points = TLumGraphicsPath::CreateBezier(ABezier, 6);
    double length = 0;
    for (size_t i = 1; i < points.size(); ++i)
        length += std::hypot(double(points[i].X) - points[i - 1].X, double(points[i].Y) - points[i - 1].Y);
    return length;
}

} // namespace

void* TLumGraphicsContext::ConvertToPath(const TLumGraphicsPath* APath, float Flatness)
{
    void* path = CreatePath();
    if (!APath || APath->GetCount() == 0)
        return path;
    const float flatness = Flatness > 0.05f ? Flatness : 0.05f;
    const TLumGraphicsPathPoints& points = APath->GetPathData();
    const int count = points.GetCount();
    TPointF current {};
    for (int i = 0; i < count; ++i) {
        const TLumGraphicsPathPoint& p = points[i];
        switch (p.Kind) {
        case gppMoveTo:
            PathOpen(path);
            PathMoveTo(path, p.Point);
            current = p.Point;
            break;
        case gppLineTo:
            PathLineTo(path, p.Point);
            current = p.Point;
            break;
        case gppCurveTo: {
            // A curve cut short at the end of the list ends at its last record.
            if (i + 2 >= count) {
                current = points[count - 1].Point;
                PathLineTo(path, current);
                i = count;
                break;
            }
            const TLumGraphicsPathCubicBezier bezier { current, p.Point, points[i + 1].Point, points[i + 2].Point };
            const Int64 k = std::clamp<Int64>(RoundHalfEven(EstimatedCurveLength(bezier) / flatness), 0, MaxCurvePoints);
            if (k > 1) {
                for (const TPointF& q : TLumGraphicsPath::CreateBezier(bezier, int(k)))
                    PathLineTo(path, q);
            } else {
                PathLineTo(path, bezier[3]);
            }
            current = bezier[3];
            i += 2;
            break;
        }
        case gppClose:
            PathClose(path);
            break;
        }
    }
    return path;
}

void TLumGraphicsContext::DrawFlattenedPath(TLumGraphicsStroke* AStroke, const TLumGraphicsPath& APath,
    TLumGraphicsPathDrawMode AMode)
{
    TLumGraphicsPathPolygon polygon;
    APath.FlattenToPolygon(polygon, PathFlatness);
    if (AMode == pdmPolygon)
        DrawPolygon(AStroke, polygon);
    else
        DrawPolyline(AStroke, polygon);
}

void TLumGraphicsContext::FillFlattenedPath(TLumGraphicsFill* AFill, const TLumGraphicsPath& APath,
    TLumGraphicsPathDrawMode AMode)
{
    TLumGraphicsPathPolygon polygon;
    APath.FlattenToPolygon(polygon, PathFlatness);
    if (AMode == pdmPolygon)
        FillPolygon(AFill, polygon);
    else
        FillPolyline(AFill, polygon);
}

void AddRoundRectPath(TLumGraphicsPath& APath, const TRectF& ARect, float ARounding, TLumGraphicsCorners ACorners)
{
    const float l = ARect.Left, t = ARect.Top, r = ARect.Right, b = ARect.Bottom, R = ARounding;
    const TPointF radius { R, R };
    if (ACorners.Contains(gcBottomLeft)) {
        APath.MoveTo({ l + R, b });
        APath.AddArc({ l + R, b - R }, radius, -270, 90);
        APath.LineTo({ l, b - R });
    } else {
        APath.MoveTo({ l, b });
    }
    if (ACorners.Contains(gcTopLeft)) {
        APath.LineTo({ l, t + R });
        APath.AddArc({ l + R, t + R }, radius, -180, 90);
        APath.LineTo({ l + R, t });
    } else {
        APath.LineTo({ l, t });
    }
    if (ACorners.Contains(gcTopRight)) {
        APath.LineTo({ r - R, t });
        APath.AddArc({ r - R, t + R }, radius, -90, 90);
        APath.LineTo({ r, t + R });
    } else {
        APath.LineTo({ r, t });
    }
    if (ACorners.Contains(gcBottomRight)) {
        APath.LineTo({ r, b - R });
        APath.AddArc({ r - R, b - R }, radius, 0, 90);
        APath.LineTo({ r - R, b });
    } else {
        APath.LineTo({ r, b });
    }
    APath.LineTo(ACorners.Contains(gcBottomLeft) ? TPointF { l + R, b } : TPointF { l, b });
    APath.ClosePath();
}

QT_PUBLISHED(TLumGraphicsContext)
