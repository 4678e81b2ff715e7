#include "graphics/LumGDIPlusClassesPaths.h"

#include <new>

#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesGraphics.h"

namespace LumGDIPlusClasses {

namespace {

void* H(const TGPGraphicsPath* p) { return p ? p->nativePath : nullptr; }
void* H(const TGPMatrix* m) { return m ? m->nativeMatrix : nullptr; }
void* H(const TGPRegion* r) { return r ? r->nativeRegion : nullptr; }
void* H(const TGPPen* p) { return p ? p->nativePen : nullptr; }
void* H(const TGPGraphics* g) { return g ? g->nativeGraphics : nullptr; }
void* H(const TGPFontFamily* f) { return f ? f->nativeFamily : nullptr; }
void* H(const TGPStringFormat* f) { return f ? f->nativeFormat : nullptr; }

// A yes-or-no query: false when the call fails.
template <class Entry, class... A> bool QueryFlag(Status& field, const Entry& entry, A... args)
{
    return QueryValue<BOOL>(field, FALSE, entry, args...) != FALSE;
}

// The text and the number of units handed to GDI+: a length past the text's
// end (or negative) is cut to the text, so GDI+ never reads beyond it.
int TextLength(const String& text, int length)
{
    const int size = int(text.size());
    return length < 0 || length > size ? size : length;
}

} // namespace

// ---- TGPGraphicsPath ----

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode)
{
    lastResult = GdiplusApi.GdipCreatePath(fillMode, &nativePath);
}
TGPGraphicsPath::TGPGraphicsPath(const TGPPointF* points, const BYTE* types, int count, FillMode fillMode)
{
    lastResult = GdiplusApi.GdipCreatePath2(points, types, count, fillMode, &nativePath);
}
TGPGraphicsPath::TGPGraphicsPath(const TGPPoint* points, const BYTE* types, int count, FillMode fillMode)
{
    lastResult = GdiplusApi.GdipCreatePath2I(points, types, count, fillMode, &nativePath);
}
TGPGraphicsPath::TGPGraphicsPath(const TGPGraphicsPath* path)
{
    if (!path) {
        SetStatus(InvalidParameter);
        return;
    }
    SetStatus(GdiplusApi.GdipClonePath(H(path), &nativePath));
}
TGPGraphicsPath::TGPGraphicsPath(void* nativePathHandle) : nativePath(nativePathHandle) { }
TGPGraphicsPath::~TGPGraphicsPath() { GdiplusApi.GdipDeletePath(nativePath); }

std::unique_ptr<TGPGraphicsPath> TGPGraphicsPath::Clone() const
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipClonePath(nativePath, &clone));
    return std::unique_ptr<TGPGraphicsPath>(new TGPGraphicsPath(clone));
}

Status TGPGraphicsPath::Reset() { return SetStatus(GdiplusApi.GdipResetPath(nativePath)); }
Status TGPGraphicsPath::StartFigure() { return SetStatus(GdiplusApi.GdipStartPathFigure(nativePath)); }
Status TGPGraphicsPath::CloseFigure() { return SetStatus(GdiplusApi.GdipClosePathFigure(nativePath)); }
Status TGPGraphicsPath::CloseAllFigures() { return SetStatus(GdiplusApi.GdipClosePathFigures(nativePath)); }
Status TGPGraphicsPath::SetMarker() { return SetStatus(GdiplusApi.GdipSetPathMarker(nativePath)); }
Status TGPGraphicsPath::ClearMarkers() { return SetStatus(GdiplusApi.GdipClearPathMarkers(nativePath)); }
Status TGPGraphicsPath::Reverse() { return SetStatus(GdiplusApi.GdipReversePath(nativePath)); }

FillMode TGPGraphicsPath::GetFillMode() const
{
    return QueryValue<FillMode>(lastResult, FillModeAlternate, GdiplusApi.GdipGetPathFillMode, nativePath);
}
Status TGPGraphicsPath::SetFillMode(FillMode fillmode)
{
    return SetStatus(GdiplusApi.GdipSetPathFillMode(nativePath, fillmode));
}

Status TGPGraphicsPath::GetPathData(TPathData* pathData) const
{
    if (!pathData)
        return SetStatus(InvalidParameter);
    const int count = GetPointCount();
    if (count <= 0 || (pathData->Count > 0 && pathData->Count < count)) {
        pathData->Count = 0;
        delete[] pathData->Points;
        delete[] pathData->Types;
        pathData->Points = nullptr;
        pathData->Types = nullptr;
        if (count <= 0)
            return lastResult;
    }
    if (pathData->Count == 0) {
        pathData->Points = new (std::nothrow) TGPPointF[std::size_t(count)];
        if (!pathData->Points)
            return SetStatus(OutOfMemory);
        pathData->Types = new (std::nothrow) BYTE[std::size_t(count)];
        if (!pathData->Types) {
            delete[] pathData->Points;
            pathData->Points = nullptr;
            return SetStatus(OutOfMemory);
        }
        pathData->Count = count;
    }
    return SetStatus(GdiplusApi.GdipGetPathData(nativePath, &pathData->Count));
}

Status TGPGraphicsPath::GetLastPoint(TGPPointF& lastPoint) const
{
    return SetStatus(GdiplusApi.GdipGetPathLastPoint(nativePath, &lastPoint));
}

Status TGPGraphicsPath::AddLine(float x1, float y1, float x2, float y2)
{
    return SetStatus(GdiplusApi.GdipAddPathLine(nativePath, x1, y1, x2, y2));
}
Status TGPGraphicsPath::AddLine(const TGPPointF& pt1, const TGPPointF& pt2)
{
    return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y);
}
Status TGPGraphicsPath::AddLine(int x1, int y1, int x2, int y2)
{
    return SetStatus(GdiplusApi.GdipAddPathLineI(nativePath, x1, y1, x2, y2));
}
Status TGPGraphicsPath::AddLine(const TGPPoint& pt1, const TGPPoint& pt2)
{
    return AddLine(pt1.X, pt1.Y, pt2.X, pt2.Y);
}
Status TGPGraphicsPath::AddLines(const TGPPointF* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathLine2(nativePath, points, count));
}
Status TGPGraphicsPath::AddLines(const TGPPoint* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathLine2I(nativePath, points, count));
}

Status TGPGraphicsPath::AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle)
{
    return SetStatus(GdiplusApi.GdipAddPathArc(nativePath, x, y, width, height, startAngle, sweepAngle));
}
Status TGPGraphicsPath::AddArc(const TGPRectF& r, float startAngle, float sweepAngle)
{
    return AddArc(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
}
Status TGPGraphicsPath::AddArc(int x, int y, int width, int height, float startAngle, float sweepAngle)
{
    return SetStatus(GdiplusApi.GdipAddPathArcI(nativePath, x, y, width, height, startAngle, sweepAngle));
}
Status TGPGraphicsPath::AddArc(const TGPRect& r, float startAngle, float sweepAngle)
{
    return AddArc(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
}

Status TGPGraphicsPath::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    return SetStatus(GdiplusApi.GdipAddPathBezier(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}
Status TGPGraphicsPath::AddBezier(const TGPPointF& p1, const TGPPointF& p2, const TGPPointF& p3, const TGPPointF& p4)
{
    return AddBezier(p1.X, p1.Y, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y);
}
Status TGPGraphicsPath::AddBezier(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    return SetStatus(GdiplusApi.GdipAddPathBezierI(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}
Status TGPGraphicsPath::AddBezier(const TGPPoint& p1, const TGPPoint& p2, const TGPPoint& p3, const TGPPoint& p4)
{
    return AddBezier(p1.X, p1.Y, p2.X, p2.Y, p3.X, p3.Y, p4.X, p4.Y);
}
Status TGPGraphicsPath::AddBeziers(const TGPPointF* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathBeziers(nativePath, points, count));
}
Status TGPGraphicsPath::AddBeziers(const TGPPoint* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathBeziersI(nativePath, points, count));
}

Status TGPGraphicsPath::AddCurve(const TGPPointF* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathCurve(nativePath, points, count));
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathCurveI(nativePath, points, count));
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* points, int count, float tension)
{
    return SetStatus(GdiplusApi.GdipAddPathCurve2(nativePath, points, count, tension));
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* points, int count, float tension)
{
    return SetStatus(GdiplusApi.GdipAddPathCurve2I(nativePath, points, count, tension));
}
Status TGPGraphicsPath::AddCurve(const TGPPointF* points, int count, int offset, int numberOfSegments, float tension)
{
    return SetStatus(GdiplusApi.GdipAddPathCurve3(nativePath, points, count, offset, numberOfSegments, tension));
}
Status TGPGraphicsPath::AddCurve(const TGPPoint* points, int count, int offset, int numberOfSegments, float tension)
{
    return SetStatus(GdiplusApi.GdipAddPathCurve3I(nativePath, points, count, offset, numberOfSegments, tension));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPointF* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathClosedCurve(nativePath, points, count));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPoint* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathClosedCurveI(nativePath, points, count));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPointF* points, int count, float tension)
{
    return SetStatus(GdiplusApi.GdipAddPathClosedCurve2(nativePath, points, count, tension));
}
Status TGPGraphicsPath::AddClosedCurve(const TGPPoint* points, int count, float tension)
{
    return SetStatus(GdiplusApi.GdipAddPathClosedCurve2I(nativePath, points, count, tension));
}

Status TGPGraphicsPath::AddRectangle(const TGPRectF& r)
{
    return SetStatus(GdiplusApi.GdipAddPathRectangle(nativePath, r.X, r.Y, r.Width, r.Height));
}
Status TGPGraphicsPath::AddRectangle(const TGPRect& r)
{
    return SetStatus(GdiplusApi.GdipAddPathRectangleI(nativePath, r.X, r.Y, r.Width, r.Height));
}
Status TGPGraphicsPath::AddRectangles(const TGPRectF* rects, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathRectangles(nativePath, rects, count));
}
Status TGPGraphicsPath::AddRectangles(const TGPRect* rects, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathRectanglesI(nativePath, rects, count));
}
Status TGPGraphicsPath::AddEllipse(float x, float y, float width, float height)
{
    return SetStatus(GdiplusApi.GdipAddPathEllipse(nativePath, x, y, width, height));
}
Status TGPGraphicsPath::AddEllipse(const TGPRectF& r) { return AddEllipse(r.X, r.Y, r.Width, r.Height); }
Status TGPGraphicsPath::AddEllipse(int x, int y, int width, int height)
{
    return SetStatus(GdiplusApi.GdipAddPathEllipseI(nativePath, x, y, width, height));
}
Status TGPGraphicsPath::AddEllipse(const TGPRect& r) { return AddEllipse(r.X, r.Y, r.Width, r.Height); }
Status TGPGraphicsPath::AddPie(float x, float y, float width, float height, float startAngle, float sweepAngle)
{
    return SetStatus(GdiplusApi.GdipAddPathPie(nativePath, x, y, width, height, startAngle, sweepAngle));
}
Status TGPGraphicsPath::AddPie(const TGPRectF& r, float startAngle, float sweepAngle)
{
    return AddPie(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
}
Status TGPGraphicsPath::AddPie(int x, int y, int width, int height, float startAngle, float sweepAngle)
{
    return SetStatus(GdiplusApi.GdipAddPathPieI(nativePath, x, y, width, height, startAngle, sweepAngle));
}
Status TGPGraphicsPath::AddPie(const TGPRect& r, float startAngle, float sweepAngle)
{
    return AddPie(r.X, r.Y, r.Width, r.Height, startAngle, sweepAngle);
}
Status TGPGraphicsPath::AddPolygon(const TGPPointF* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathPolygon(nativePath, points, count));
}
Status TGPGraphicsPath::AddPolygon(const TGPPoint* points, int count)
{
    return SetStatus(GdiplusApi.GdipAddPathPolygonI(nativePath, points, count));
}
Status TGPGraphicsPath::AddPath(const TGPGraphicsPath* addingPath, bool connect)
{
    return SetStatus(GdiplusApi.GdipAddPathPath(nativePath, H(addingPath), connect ? TRUE : FALSE));
}

Status TGPGraphicsPath::AddString(const String& string_, int length, const TGPFontFamily* family, int style,
    float emSize, const TGPPointF& origin, const TGPStringFormat* format)
{
    return AddString(string_, length, family, style, emSize, TGPRectF { origin.X, origin.Y, 0, 0 }, format);
}
Status TGPGraphicsPath::AddString(const String& string_, int length, const TGPFontFamily* family, int style,
    float emSize, const TGPPoint& origin, const TGPStringFormat* format)
{
    return AddString(string_, length, family, style, emSize, TGPRect { origin.X, origin.Y, 0, 0 }, format);
}
Status TGPGraphicsPath::AddString(const String& string_, int length, const TGPFontFamily* family, int style,
    float emSize, const TGPRectF& layoutRect, const TGPStringFormat* format)
{
    return SetStatus(GdiplusApi.GdipAddPathString(nativePath, string_.c_str(), TextLength(string_, length), H(family),
        style, emSize, &layoutRect, H(format)));
}
Status TGPGraphicsPath::AddString(const String& string_, int length, const TGPFontFamily* family, int style,
    float emSize, const TGPRect& layoutRect, const TGPStringFormat* format)
{
    return SetStatus(GdiplusApi.GdipAddPathStringI(nativePath, string_.c_str(), TextLength(string_, length), H(family),
        style, emSize, &layoutRect, H(format)));
}

Status TGPGraphicsPath::Transform(const TGPMatrix* matrix)
{
    if (!matrix)
        return Ok;
    return SetStatus(GdiplusApi.GdipTransformPath(nativePath, matrix->nativeMatrix));
}
Status TGPGraphicsPath::GetBounds(TGPRectF& bounds, const TGPMatrix* matrix, const TGPPen* pen) const
{
    return SetStatus(GdiplusApi.GdipGetPathWorldBounds(nativePath, &bounds, H(matrix), H(pen)));
}
Status TGPGraphicsPath::GetBounds(TGPRect& bounds, const TGPMatrix* matrix, const TGPPen* pen) const
{
    return SetStatus(GdiplusApi.GdipGetPathWorldBoundsI(nativePath, &bounds, H(matrix), H(pen)));
}
Status TGPGraphicsPath::Flatten(const TGPMatrix* matrix, float flatness)
{
    return SetStatus(GdiplusApi.GdipFlattenPath(nativePath, H(matrix), flatness));
}
Status TGPGraphicsPath::Widen(const TGPPen* pen, const TGPMatrix* matrix, float flatness)
{
    if (!pen)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipWidenPath(nativePath, H(pen), H(matrix), flatness));
}
Status TGPGraphicsPath::Outline(const TGPMatrix* matrix, float flatness)
{
    return SetStatus(GdiplusApi.GdipWindingModeOutline(nativePath, H(matrix), flatness));
}
Status TGPGraphicsPath::Warp(const TGPPointF* destPoints, int count, const TGPRectF& srcRect, const TGPMatrix* matrix,
    WarpMode warpMode, float flatness)
{
    return SetStatus(GdiplusApi.GdipWarpPath(nativePath, H(matrix), destPoints, count, srcRect.X, srcRect.Y,
        srcRect.Width, srcRect.Height, warpMode, flatness));
}

int TGPGraphicsPath::GetPointCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPointCount, nativePath);
}
Status TGPGraphicsPath::GetPathTypes(BYTE* types, int count) const
{
    return SetStatus(GdiplusApi.GdipGetPathTypes(nativePath, types, count));
}
Status TGPGraphicsPath::GetPathPoints(TGPPointF* points, int count) const
{
    return SetStatus(GdiplusApi.GdipGetPathPoints(nativePath, points, count));
}
Status TGPGraphicsPath::GetPathPoints(TGPPoint* points, int count) const
{
    return SetStatus(GdiplusApi.GdipGetPathPointsI(nativePath, points, count));
}

bool TGPGraphicsPath::IsVisible(float x, float y, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsVisiblePathPoint, nativePath, x, y, H(g));
}
bool TGPGraphicsPath::IsVisible(const TGPPointF& p, const TGPGraphics* g) const { return IsVisible(p.X, p.Y, g); }
bool TGPGraphicsPath::IsVisible(int x, int y, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsVisiblePathPointI, nativePath, x, y, H(g));
}
bool TGPGraphicsPath::IsVisible(const TGPPoint& p, const TGPGraphics* g) const { return IsVisible(p.X, p.Y, g); }
bool TGPGraphicsPath::IsOutlineVisible(float x, float y, const TGPPen* pen, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsOutlineVisiblePathPoint, nativePath, x, y, H(pen), H(g));
}
bool TGPGraphicsPath::IsOutlineVisible(const TGPPointF& p, const TGPPen* pen, const TGPGraphics* g) const
{
    return IsOutlineVisible(p.X, p.Y, pen, g);
}
bool TGPGraphicsPath::IsOutlineVisible(int x, int y, const TGPPen* pen, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsOutlineVisiblePathPointI, nativePath, x, y, H(pen), H(g));
}
bool TGPGraphicsPath::IsOutlineVisible(const TGPPoint& p, const TGPPen* pen, const TGPGraphics* g) const
{
    return IsOutlineVisible(p.X, p.Y, pen, g);
}

// ---- TGPMatrix ----

TGPMatrix::TGPMatrix() { lastResult = GdiplusApi.GdipCreateMatrix(&nativeMatrix); }
TGPMatrix::TGPMatrix(float m11, float m12, float m21, float m22, float dx, float dy)
{
    lastResult = GdiplusApi.GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &nativeMatrix);
}
TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF& dstplg)
{
    lastResult = GdiplusApi.GdipCreateMatrix3(&rect, &dstplg, &nativeMatrix);
}
TGPMatrix::TGPMatrix(const TGPRect& rect, const TGPPoint& dstplg)
{
    lastResult = GdiplusApi.GdipCreateMatrix3I(&rect, &dstplg, &nativeMatrix);
}
TGPMatrix::TGPMatrix(void* nativeMatrixHandle) : nativeMatrix(nativeMatrixHandle) { }
TGPMatrix::~TGPMatrix() { GdiplusApi.GdipDeleteMatrix(nativeMatrix); }

std::unique_ptr<TGPMatrix> TGPMatrix::Clone() const
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneMatrix(nativeMatrix, &clone));
    if (lastResult != Ok) {
        // An earlier unread error also refuses the copy; do not leak it then.
        if (clone)
            GdiplusApi.GdipDeleteMatrix(clone);
        return nullptr;
    }
    return std::make_unique<TGPMatrix>(clone);
}

Status TGPMatrix::GetElements(TMatrixArray& m) const
{
    return SetStatus(GdiplusApi.GdipGetMatrixElements(nativeMatrix, &m[0]));
}
Status TGPMatrix::SetElements(float m11, float m12, float m21, float m22, float dx, float dy)
{
    return SetStatus(GdiplusApi.GdipSetMatrixElements(nativeMatrix, m11, m12, m21, m22, dx, dy));
}
float TGPMatrix::OffsetX() const
{
    TMatrixArray m {};
    return GetElements(m) == Ok ? m[4] : 0.0f;
}
float TGPMatrix::OffsetY() const
{
    TMatrixArray m {};
    return GetElements(m) == Ok ? m[5] : 0.0f;
}
Status TGPMatrix::Reset() { return SetStatus(GdiplusApi.GdipSetMatrixElements(nativeMatrix, 1, 0, 0, 1, 0, 0)); }
Status TGPMatrix::Multiply(const TGPMatrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipMultiplyMatrix(nativeMatrix, H(matrix), order));
}
Status TGPMatrix::Translate(float offsetX, float offsetY, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipTranslateMatrix(nativeMatrix, offsetX, offsetY, order));
}
Status TGPMatrix::Scale(float scaleX, float scaleY, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipScaleMatrix(nativeMatrix, scaleX, scaleY, order));
}
Status TGPMatrix::Rotate(float angle, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipRotateMatrix(nativeMatrix, angle, order));
}
Status TGPMatrix::RotateAt(float angle, const TGPPointF& center, MatrixOrder order)
{
    // Move the centre to the origin, rotate, move it back; a prepended chain
    // is written in the opposite order so the point is applied the same way.
    const float sign = order == MatrixOrderAppend ? -1.0f : 1.0f;
    SetStatus(GdiplusApi.GdipTranslateMatrix(nativeMatrix, sign * center.X, sign * center.Y, order));
    SetStatus(GdiplusApi.GdipRotateMatrix(nativeMatrix, angle, order));
    return SetStatus(GdiplusApi.GdipTranslateMatrix(nativeMatrix, -sign * center.X, -sign * center.Y, order));
}
Status TGPMatrix::Shear(float shearX, float shearY, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipShearMatrix(nativeMatrix, shearX, shearY, order));
}
Status TGPMatrix::Invert() { return SetStatus(GdiplusApi.GdipInvertMatrix(nativeMatrix)); }
Status TGPMatrix::TransformPoints(TGPPointF* pts, int count) const
{
    return SetStatus(GdiplusApi.GdipTransformMatrixPoints(nativeMatrix, pts, count));
}
Status TGPMatrix::TransformPoints(TGPPoint* pts, int count) const
{
    return SetStatus(GdiplusApi.GdipTransformMatrixPointsI(nativeMatrix, pts, count));
}
Status TGPMatrix::TransformVectors(TGPPointF* pts, int count) const
{
    return SetStatus(GdiplusApi.GdipVectorTransformMatrixPoints(nativeMatrix, pts, count));
}
Status TGPMatrix::TransformVectors(TGPPoint* pts, int count) const
{
    return SetStatus(GdiplusApi.GdipVectorTransformMatrixPointsI(nativeMatrix, pts, count));
}
bool TGPMatrix::IsInvertible() const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsMatrixInvertible, nativeMatrix);
}
bool TGPMatrix::IsIdentity() const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsMatrixIdentity, nativeMatrix);
}
bool TGPMatrix::IsEqual(const TGPMatrix* matrix) const
{
    if (!matrix) {
        SetStatus(InvalidParameter);
        return false;
    }
    return QueryFlag(lastResult, GdiplusApi.GdipIsMatrixEqual, nativeMatrix, H(matrix));
}

// ---- TGPRegion ----

TGPRegion::TGPRegion() { lastResult = GdiplusApi.GdipCreateRegion(&nativeRegion); }
TGPRegion::TGPRegion(const TGPRectF& rect) { lastResult = GdiplusApi.GdipCreateRegionRect(&rect, &nativeRegion); }
TGPRegion::TGPRegion(const TGPRect& rect) { lastResult = GdiplusApi.GdipCreateRegionRectI(&rect, &nativeRegion); }
TGPRegion::TGPRegion(const TGPGraphicsPath* path)
{
    lastResult = path ? GdiplusApi.GdipCreateRegionPath(path->nativePath, &nativeRegion) : InvalidParameter;
}
TGPRegion::TGPRegion(const BYTE* regionData, int size)
{
    lastResult = GdiplusApi.GdipCreateRegionRgnData(regionData, size, &nativeRegion);
}
TGPRegion::TGPRegion(HRGN hRgn, int, int) { lastResult = GdiplusApi.GdipCreateRegionHrgn(hRgn, &nativeRegion); }
TGPRegion::TGPRegion(void* nativeRegionHandle) : nativeRegion(nativeRegionHandle) { }
TGPRegion::~TGPRegion() { GdiplusApi.GdipDeleteRegion(nativeRegion); }

std::unique_ptr<TGPRegion> TGPRegion::FromHRGN(HRGN hRgn)
{
    void* region = nullptr;
    if (GdiplusApi.GdipCreateRegionHrgn(hRgn, &region) != Ok)
        return nullptr;
    return std::make_unique<TGPRegion>(region);
}

std::unique_ptr<TGPRegion> TGPRegion::Clone() const
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneRegion(nativeRegion, &clone));
    return std::make_unique<TGPRegion>(clone);
}

Status TGPRegion::MakeInfinite() { return SetStatus(GdiplusApi.GdipSetInfinite(nativeRegion)); }
Status TGPRegion::MakeEmpty() { return SetStatus(GdiplusApi.GdipSetEmpty(nativeRegion)); }
UINT TGPRegion::GetDataSize() const
{
    return QueryValue<UINT>(lastResult, 0, GdiplusApi.GdipGetRegionDataSize, nativeRegion);
}
Status TGPRegion::GetData(BYTE* buffer, UINT bufferSize, UINT* sizeFilled) const
{
    return SetStatus(GdiplusApi.GdipGetRegionData(nativeRegion, buffer, bufferSize, sizeFilled));
}

Status TGPRegion::CombineRect(const TGPRectF& rect, CombineMode mode)
{
    return SetStatus(GdiplusApi.GdipCombineRegionRect(nativeRegion, &rect, mode));
}
Status TGPRegion::CombineRect(const TGPRect& rect, CombineMode mode)
{
    return SetStatus(GdiplusApi.GdipCombineRegionRectI(nativeRegion, &rect, mode));
}
Status TGPRegion::CombinePath(const TGPGraphicsPath* path, CombineMode mode)
{
    if (!path)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipCombineRegionPath(nativeRegion, H(path), mode));
}
Status TGPRegion::CombineRegion(const TGPRegion* region, CombineMode mode)
{
    if (!region)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipCombineRegionRegion(nativeRegion, H(region), mode));
}

Status TGPRegion::Intersect(const TGPRectF& rect) { return CombineRect(rect, CombineModeIntersect); }
Status TGPRegion::Intersect(const TGPRect& rect) { return CombineRect(rect, CombineModeIntersect); }
Status TGPRegion::Intersect(const TGPGraphicsPath* path) { return CombinePath(path, CombineModeIntersect); }
Status TGPRegion::Intersect(const TGPRegion* region) { return CombineRegion(region, CombineModeIntersect); }
Status TGPRegion::Union(const TGPRectF& rect) { return CombineRect(rect, CombineModeUnion); }
Status TGPRegion::Union(const TGPRect& rect) { return CombineRect(rect, CombineModeUnion); }
Status TGPRegion::Union(const TGPGraphicsPath* path) { return CombinePath(path, CombineModeUnion); }
Status TGPRegion::Union(const TGPRegion* region) { return CombineRegion(region, CombineModeUnion); }
Status TGPRegion::Xor_(const TGPRectF& rect) { return CombineRect(rect, CombineModeXor); }
Status TGPRegion::Xor_(const TGPRect& rect) { return CombineRect(rect, CombineModeXor); }
Status TGPRegion::Xor_(const TGPGraphicsPath* path) { return CombinePath(path, CombineModeXor); }
Status TGPRegion::Xor_(const TGPRegion* region) { return CombineRegion(region, CombineModeXor); }
Status TGPRegion::Exclude(const TGPRectF& rect) { return CombineRect(rect, CombineModeExclude); }
Status TGPRegion::Exclude(const TGPRect& rect) { return CombineRect(rect, CombineModeExclude); }
Status TGPRegion::Exclude(const TGPGraphicsPath* path) { return CombinePath(path, CombineModeExclude); }
Status TGPRegion::Exclude(const TGPRegion* region) { return CombineRegion(region, CombineModeExclude); }
Status TGPRegion::Complement(const TGPRectF& rect) { return CombineRect(rect, CombineModeComplement); }
Status TGPRegion::Complement(const TGPRect& rect) { return CombineRect(rect, CombineModeComplement); }
Status TGPRegion::Complement(const TGPGraphicsPath* path) { return CombinePath(path, CombineModeComplement); }
Status TGPRegion::Complement(const TGPRegion* region) { return CombineRegion(region, CombineModeComplement); }

Status TGPRegion::Translate(float dx, float dy)
{
    return SetStatus(GdiplusApi.GdipTranslateRegion(nativeRegion, dx, dy));
}
Status TGPRegion::Translate(int dx, int dy) { return SetStatus(GdiplusApi.GdipTranslateRegionI(nativeRegion, dx, dy)); }
Status TGPRegion::Transform(const TGPMatrix* matrix)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipTransformRegion(nativeRegion, H(matrix)));
}
Status TGPRegion::GetBounds(TGPRectF& rect, const TGPGraphics* g) const
{
    if (!g)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetRegionBounds(nativeRegion, H(g), &rect));
}
Status TGPRegion::GetBounds(TGPRect& rect, const TGPGraphics* g) const
{
    if (!g)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetRegionBoundsI(nativeRegion, H(g), &rect));
}
HRGN TGPRegion::GetHRGN(const TGPGraphics* g) const
{
    if (!g) {
        SetStatus(InvalidParameter);
        return nullptr;
    }
    return QueryValue<HRGN>(lastResult, nullptr, GdiplusApi.GdipGetRegionHRgn, nativeRegion, H(g));
}
bool TGPRegion::IsEmpty(const TGPGraphics* g) const
{
    if (!g) {
        SetStatus(InvalidParameter);
        return false;
    }
    return QueryFlag(lastResult, GdiplusApi.GdipIsEmptyRegion, nativeRegion, H(g));
}
bool TGPRegion::IsInfinite(const TGPGraphics* g) const
{
    if (!g) {
        SetStatus(InvalidParameter);
        return false;
    }
    return QueryFlag(lastResult, GdiplusApi.GdipIsInfiniteRegion, nativeRegion, H(g));
}
bool TGPRegion::IsVisible(float x, float y, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsVisibleRegionPoint, nativeRegion, x, y, H(g));
}
bool TGPRegion::IsVisible(const TGPPointF& p, const TGPGraphics* g) const { return IsVisible(p.X, p.Y, g); }
bool TGPRegion::IsVisible(int x, int y, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsVisibleRegionPointI, nativeRegion, x, y, H(g));
}
bool TGPRegion::IsVisible(const TGPPoint& p, const TGPGraphics* g) const { return IsVisible(p.X, p.Y, g); }
bool TGPRegion::IsVisible(float x, float y, float width, float height, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsVisibleRegionRect, nativeRegion, x, y, width, height, H(g));
}
bool TGPRegion::IsVisible(const TGPRectF& r, const TGPGraphics* g) const
{
    return IsVisible(r.X, r.Y, r.Width, r.Height, g);
}
bool TGPRegion::IsVisible(int x, int y, int width, int height, const TGPGraphics* g) const
{
    return QueryFlag(lastResult, GdiplusApi.GdipIsVisibleRegionRectI, nativeRegion, x, y, width, height, H(g));
}
bool TGPRegion::IsVisible(const TGPRect& r, const TGPGraphics* g) const
{
    return IsVisible(r.X, r.Y, r.Width, r.Height, g);
}
bool TGPRegion::IsEqual(const TGPRegion* region, const TGPGraphics* g) const
{
    if (!region || !g) {
        SetStatus(InvalidParameter);
        return false;
    }
    return QueryFlag(lastResult, GdiplusApi.GdipIsEqualRegion, nativeRegion, H(region), H(g));
}
UINT TGPRegion::GetRegionScansCount(const TGPMatrix* matrix) const
{
    UINT count = 0;
    if (!matrix) {
        SetStatus(InvalidParameter);
        return count;
    }
    const Status status = SetStatus(GdiplusApi.GdipGetRegionScansCount(nativeRegion, &count, matrix->nativeMatrix));
    return status == Ok ? count : 0;
}
Status TGPRegion::GetRegionScans(const TGPMatrix* matrix, TGPRectF* rects, int& count) const
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetRegionScans(nativeRegion, rects, &count, H(matrix)));
}
Status TGPRegion::GetRegionScans(const TGPMatrix* matrix, TGPRect* rects, int& count) const
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetRegionScansI(nativeRegion, rects, &count, H(matrix)));
}

} // namespace LumGDIPlusClasses
