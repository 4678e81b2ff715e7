#pragma once
// The device-independent vector path of the drawing API and the SVG engine
// (a flat list of move, line, cubic-curve and close records) and the 3x3
// affine matrix in the row-vector convention: a point (x, y) is the row
// (x, y, 1), so p * (A * B) transforms by A first.

#include <array>
#include <vector>

#include "platform/rtl/Classes.h"
#include "platform/rtl/Collections.h"
#include "platform/rtl/Types.h"

enum TLumGraphicsPathPointKind { gppMoveTo, gppLineTo, gppCurveTo, gppClose };

// A cubic curve is three consecutive gppCurveTo records (first control
// point, second control point, end); its start is the record before them.
// A close record carries its sub-path's start point.
struct TLumGraphicsPathPoint {
    TLumGraphicsPathPointKind Kind { gppMoveTo };
    int Dummy { 0 };
    TPointF Point {};
    friend bool operator==(const TLumGraphicsPathPoint&, const TLumGraphicsPathPoint&) = default;
};

using TLumGraphicsPathPoints = TList<TLumGraphicsPathPoint>;
using TLumGraphicsPathPolygon = std::vector<TPointF>;
// Start, first control point, second control point, end.
using TLumGraphicsPathCubicBezier = std::array<TPointF, 4>;

enum TLumGraphicsPathDrawMode { pdmPolygon, pdmPolyline, pdmPath };

struct TLumGraphicsVector {
    float X { 0 };
    float Y { 0 };
    float W { 0 };
    float& operator[](int i) { return i == 0 ? X : (i == 1 ? Y : W); }
    float operator[](int i) const { return i == 0 ? X : (i == 1 ? Y : W); }
    friend bool operator==(const TLumGraphicsVector&, const TLumGraphicsVector&) = default;
};

struct TLumGraphicsMatrix {
    float m11 { 0 }, m12 { 0 }, m13 { 0 };
    float m21 { 0 }, m22 { 0 }, m23 { 0 };
    float m31 { 0 }, m32 { 0 }, m33 { 0 };

    static TLumGraphicsMatrix Identity();
    // AAngle in radians.
    static TLumGraphicsMatrix CreateRotation(float AAngle);
    static TLumGraphicsMatrix CreateScaling(float AScaleX, float AScaleY);
    static TLumGraphicsMatrix CreateTranslation(float ADeltaX, float ADeltaY);

    float Determinant() const;
    // The transposed cofactor matrix.
    TLumGraphicsMatrix Adjoint() const;
    // The identity for a (nearly) singular matrix, which has no inverse.
    TLumGraphicsMatrix Inverse() const;

    // Rows 0..2 as vectors (m1x, m2x, m3x).
    TLumGraphicsVector GetRow(int AIndex) const;
    void SetRow(int AIndex, const TLumGraphicsVector& AValue);

    friend bool operator==(const TLumGraphicsMatrix&, const TLumGraphicsMatrix&) = default;
};

TLumGraphicsMatrix operator*(const TLumGraphicsMatrix& AMatrix1, const TLumGraphicsMatrix& AMatrix2);
TPointF operator*(const TPointF& APoint, const TLumGraphicsMatrix& AMatrix);

TLumGraphicsMatrix MatrixIdentity();
TLumGraphicsMatrix MatrixCreateRotation(float AAngle);
TLumGraphicsMatrix MatrixCreateScaling(float AScaleX, float AScaleY);
TLumGraphicsMatrix MatrixCreateTranslation(float ADeltaX, float ADeltaY);
TLumGraphicsMatrix MatrixMultiply(const TLumGraphicsMatrix& AMatrix1, const TLumGraphicsMatrix& AMatrix2);
TPointF MatrixMultiplyPoint(const TPointF& APoint, const TLumGraphicsMatrix& AMatrix);
// The all-zero matrix marks an absent transform.
TLumGraphicsMatrix MatrixEmpty();
bool MatrixIsEmpty(const TLumGraphicsMatrix& AMatrix);

class TLumGraphicsPath : public TPersistent {
    QT_CLASS(TLumGraphicsPath, TPersistent)
public:
    TLumGraphicsPath() = default;
    // Copies the records, not the start point nor the clippable flag.
    void Assign(TPersistent* Source) override;

    // Empties the records; the start point and the clippable flag stay.
    void Clear();
    void MoveTo(const TPointF& P);
    void LineTo(const TPointF& P);
    void CurveTo(const TPointF& ControlPoint1, const TPointF& ControlPoint2, const TPointF& EndPoint);
    void QuadCurveTo(const TPointF& ControlPoint, const TPointF& EndPoint);
    void SmoothCurveTo(const TPointF& ControlPoint2, const TPointF& EndPoint);
    void ClosePath();
    void AddLine(const TPointF& StartPoint, const TPointF& EndPoint);
    void AddPolygon(const TLumGraphicsPathPolygon& APolygon);
    void AddPath(const TLumGraphicsPath* APath);
    void AddEllipse(const TRectF& ARect);
    void AddRectangle(const TRectF& ARect, float ARoundingX = 0, float ARoundingY = 0);
    // Angles in degrees; positive sweeps turn clockwise with y growing downwards.
    void AddArc(const TPointF& Center, const TPointF& Radius, float StartAngle, float SweepAngle);
    void ApplyMatrix(const TLumGraphicsMatrix& AMatrix);

    TPointF LastPoint() const;
    TLumGraphicsPathPoint GetPoint(int AIndex) const;
    TRectF GetBounds() const;
    bool IsClippable() const { return FClippable; }

    static TPointF PointOnBezier(const TPointF& StartPoint, double AX, double BX, double CX, double AY, double BY,
        double CY, double T);
    static TLumGraphicsPathPolygon CreateBezier(const TLumGraphicsPathCubicBezier& Bezier, int PointCount);
    // Replaces every curve by line segments about Flatness long.
    void Flatten(float Flatness);
    // Like Flatten, bounded by what can be seen and by a tolerance instead of
    // a segment length: no segment strays more than Flatness from its curve;
    // the parts of a curve whose control points all lie outside AVisible
    // become one straight line each (which changes nothing a fill or an
    // outline shows inside AVisible). Stops, and returns false, once the path
    // would hold more than AMaxPoints records.
    bool FlattenVisible(float Flatness, const TRectF& AVisible, Int64 AMaxPoints);
    // All sub-paths flattened into one polygon, consecutive repeats dropped.
    void FlattenToPolygon(TLumGraphicsPathPolygon& Polygon, float Flatness) const;
    bool IsPointVisible(const TPointF& P) const;
    // Whether R and the flattened shape overlap.
    bool IsRectVisible(const TRectF& R) const;

    int GetCount() const { return FPoints.GetCount(); }
    const TLumGraphicsPathPoints& GetPathData() const { return FPoints; }
    bool GetClippable() const { return FClippable; }
    void SetClippable(bool Value) { FClippable = Value; }
    TLumGraphicsPathPoint GetPoints(int AIndex) const { return GetPoint(AIndex); }

private:
    void Append(TLumGraphicsPathPointKind AKind, const TPointF& P);
    void AddArcSegment(const TPointF& Center, const TPointF& Radius, double Start, double Angle, bool AFirst);
    bool FlattenRecords(float Flatness, const TRectF* AVisible, Int64 AMaxPoints);

    TPointF FStartPoint {};
    bool FClippable { false };
    TLumGraphicsPathPoints FPoints;
};

// Even-odd rule; the polygon's bounding box edges count as inside.
bool PointInPolygon(const TPointF& P, const TLumGraphicsPathPolygon& Polygon);
TRectF CopyRectF(const TRectF& R);
