#pragma once
// The geometry wrappers of the run-time bound GDI+ set: paths, matrices and
// regions. Each owns one native object and reports failures as a status.

#include <memory>

#include "graphics/LumGDIPlusClassesBase.h"
#include "platform/rtl/String.h"

namespace LumGDIPlusClasses {

// How far a flattened curve may stray from the true one, in device units.
inline constexpr float FlatnessDefault = 0.25f;

class TGPGraphicsPath : public TGdiplusBase {
public:
    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
    TGPGraphicsPath(const TGPPointF* points, const BYTE* types, int count, FillMode fillMode = FillModeAlternate);
    TGPGraphicsPath(const TGPPoint* points, const BYTE* types, int count, FillMode fillMode = FillModeAlternate);
    // A copy of `path`, which must be given.
    explicit TGPGraphicsPath(const TGPGraphicsPath* path);
    ~TGPGraphicsPath() override;

    std::unique_ptr<TGPGraphicsPath> Clone() const;

    Status Reset();
    Status StartFigure();
    Status CloseFigure();
    Status CloseAllFigures();
    Status SetMarker();
    Status ClearMarkers();
    Status Reverse();
    FillMode GetFillMode() const;
    Status SetFillMode(FillMode fillmode);
    Status GetPathData(TPathData* pathData) const;
    Status GetLastPoint(TGPPointF& lastPoint) const;

    Status AddLine(float x1, float y1, float x2, float y2);
    Status AddLine(const TGPPointF& pt1, const TGPPointF& pt2);
    Status AddLine(int x1, int y1, int x2, int y2);
    Status AddLine(const TGPPoint& pt1, const TGPPoint& pt2);
    Status AddLines(const TGPPointF* points, int count);
    Status AddLines(const TGPPoint* points, int count);
    Status AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    Status AddArc(const TGPRectF& rect, float startAngle, float sweepAngle);
    Status AddArc(int x, int y, int width, int height, float startAngle, float sweepAngle);
    Status AddArc(const TGPRect& rect, float startAngle, float sweepAngle);
    Status AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    Status AddBezier(const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3, const TGPPointF& pt4);
    Status AddBezier(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    Status AddBezier(const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3, const TGPPoint& pt4);
    Status AddBeziers(const TGPPointF* points, int count);
    Status AddBeziers(const TGPPoint* points, int count);
    Status AddCurve(const TGPPointF* points, int count);
    Status AddCurve(const TGPPoint* points, int count);
    Status AddCurve(const TGPPointF* points, int count, float tension);
    Status AddCurve(const TGPPoint* points, int count, float tension);
    Status AddCurve(const TGPPointF* points, int count, int offset, int numberOfSegments, float tension);
    Status AddCurve(const TGPPoint* points, int count, int offset, int numberOfSegments, float tension);
    Status AddClosedCurve(const TGPPointF* points, int count);
    Status AddClosedCurve(const TGPPoint* points, int count);
    Status AddClosedCurve(const TGPPointF* points, int count, float tension);
    Status AddClosedCurve(const TGPPoint* points, int count, float tension);
    Status AddRectangle(const TGPRectF& rect);
    Status AddRectangle(const TGPRect& rect);
    Status AddRectangles(const TGPRectF* rects, int count);
    Status AddRectangles(const TGPRect* rects, int count);
    Status AddEllipse(float x, float y, float width, float height);
    Status AddEllipse(const TGPRectF& rect);
    Status AddEllipse(int x, int y, int width, int height);
    Status AddEllipse(const TGPRect& rect);
    Status AddPie(float x, float y, float width, float height, float startAngle, float sweepAngle);
    Status AddPie(const TGPRectF& rect, float startAngle, float sweepAngle);
    Status AddPie(int x, int y, int width, int height, float startAngle, float sweepAngle);
    Status AddPie(const TGPRect& rect, float startAngle, float sweepAngle);
    Status AddPolygon(const TGPPointF* points, int count);
    Status AddPolygon(const TGPPoint* points, int count);
    Status AddPath(const TGPGraphicsPath* addingPath, bool connect);
    // `length` counts UTF-16 units of `string_`; -1 or a length past its end means all of it.
    Status AddString(const String& string_, int length, const TGPFontFamily* family, int style, float emSize,
        const TGPPointF& origin, const TGPStringFormat* format);
    Status AddString(const String& string_, int length, const TGPFontFamily* family, int style, float emSize,
        const TGPPoint& origin, const TGPStringFormat* format);
    Status AddString(const String& string_, int length, const TGPFontFamily* family, int style, float emSize,
        const TGPRectF& layoutRect, const TGPStringFormat* format);
    Status AddString(const String& string_, int length, const TGPFontFamily* family, int style, float emSize,
        const TGPRect& layoutRect, const TGPStringFormat* format);

    Status Transform(const TGPMatrix* matrix);
    Status GetBounds(TGPRectF& bounds, const TGPMatrix* matrix = nullptr, const TGPPen* pen = nullptr) const;
    Status GetBounds(TGPRect& bounds, const TGPMatrix* matrix = nullptr, const TGPPen* pen = nullptr) const;
    Status Flatten(const TGPMatrix* matrix = nullptr, float flatness = FlatnessDefault);
    Status Widen(const TGPPen* pen, const TGPMatrix* matrix = nullptr, float flatness = FlatnessDefault);
    Status Outline(const TGPMatrix* matrix = nullptr, float flatness = FlatnessDefault);
    Status Warp(const TGPPointF* destPoints, int count, const TGPRectF& srcRect, const TGPMatrix* matrix = nullptr,
        WarpMode warpMode = WarpModePerspective, float flatness = FlatnessDefault);
    int GetPointCount() const;
    Status GetPathTypes(BYTE* types, int count) const;
    Status GetPathPoints(TGPPointF* points, int count) const;
    Status GetPathPoints(TGPPoint* points, int count) const;
    bool IsVisible(float x, float y, const TGPGraphics* g = nullptr) const;
    bool IsVisible(const TGPPointF& point, const TGPGraphics* g = nullptr) const;
    bool IsVisible(int x, int y, const TGPGraphics* g = nullptr) const;
    bool IsVisible(const TGPPoint& point, const TGPGraphics* g = nullptr) const;
    bool IsOutlineVisible(float x, float y, const TGPPen* pen, const TGPGraphics* g = nullptr) const;
    bool IsOutlineVisible(const TGPPointF& point, const TGPPen* pen, const TGPGraphics* g = nullptr) const;
    bool IsOutlineVisible(int x, int y, const TGPPen* pen, const TGPGraphics* g = nullptr) const;
    bool IsOutlineVisible(const TGPPoint& point, const TGPPen* pen, const TGPGraphics* g = nullptr) const;
    Status GetLastStatus() const { return TakeStatus(lastResult); }

    void* nativePath { nullptr };
    mutable Status lastResult { Ok };

protected:
    // Takes over a handle made elsewhere; the status is Ok.
    explicit TGPGraphicsPath(void* nativePathHandle);
    Status SetStatus(Status status) const { return RecordStatus(lastResult, status); }
    void SetNative(void* handle) { nativePath = handle; }
};

class TGPMatrix : public TGdiplusBase {
public:
    TGPMatrix();
    TGPMatrix(float m11, float m12, float m21, float m22, float dx, float dy);
    // Maps `rect` onto the parallelogram whose first of three corners is `dstplg`.
    TGPMatrix(const TGPRectF& rect, const TGPPointF& dstplg);
    TGPMatrix(const TGPRect& rect, const TGPPoint& dstplg);
    explicit TGPMatrix(void* nativeMatrixHandle);
    ~TGPMatrix() override;

    // Null when the status field holds an error after the clone was tried.
    std::unique_ptr<TGPMatrix> Clone() const;
    Status GetElements(TMatrixArray& m) const;
    Status SetElements(float m11, float m12, float m21, float m22, float dx, float dy);
    float OffsetX() const;
    float OffsetY() const;
    Status Reset();
    Status Multiply(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status Translate(float offsetX, float offsetY, MatrixOrder order = MatrixOrderPrepend);
    Status Scale(float scaleX, float scaleY, MatrixOrder order = MatrixOrderPrepend);
    Status Rotate(float angle, MatrixOrder order = MatrixOrderPrepend);
    Status RotateAt(float angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
    Status Shear(float shearX, float shearY, MatrixOrder order = MatrixOrderPrepend);
    Status Invert();
    Status TransformPoints(TGPPointF* pts, int count = 1) const;
    Status TransformPoints(TGPPoint* pts, int count = 1) const;
    Status TransformVectors(TGPPointF* pts, int count = 1) const;
    Status TransformVectors(TGPPoint* pts, int count = 1) const;
    bool IsInvertible() const;
    bool IsIdentity() const;
    bool IsEqual(const TGPMatrix* matrix) const;
    Status GetLastStatus() const { return TakeStatus(lastResult); }

    void* nativeMatrix { nullptr };
    mutable Status lastResult { Ok };

protected:
    Status SetStatus(Status status) const { return RecordStatus(lastResult, status); }
    void SetNative(void* handle) { nativeMatrix = handle; }
};

class TGPRegion : public TGdiplusBase {
public:
    TGPRegion();
    explicit TGPRegion(const TGPRectF& rect);
    explicit TGPRegion(const TGPRect& rect);
    explicit TGPRegion(const TGPGraphicsPath* path);
    TGPRegion(const BYTE* regionData, int size);
    // The two integers only tell this form from the others.
    TGPRegion(HRGN hRgn, int Dummy1, int Dummy2);
    explicit TGPRegion(void* nativeRegionHandle);
    ~TGPRegion() override;

    // A new region from a GDI region, or null when none could be made.
    static std::unique_ptr<TGPRegion> FromHRGN(HRGN hRgn);
    std::unique_ptr<TGPRegion> Clone() const;

    Status MakeInfinite();
    Status MakeEmpty();
    UINT GetDataSize() const;
    Status GetData(BYTE* buffer, UINT bufferSize, UINT* sizeFilled = nullptr) const;
    Status Intersect(const TGPRectF& rect);
    Status Intersect(const TGPRect& rect);
    Status Intersect(const TGPGraphicsPath* path);
    Status Intersect(const TGPRegion* region);
    Status Union(const TGPRectF& rect);
    Status Union(const TGPRect& rect);
    Status Union(const TGPGraphicsPath* path);
    Status Union(const TGPRegion* region);
    Status Xor_(const TGPRectF& rect);
    Status Xor_(const TGPRect& rect);
    Status Xor_(const TGPGraphicsPath* path);
    Status Xor_(const TGPRegion* region);
    Status Exclude(const TGPRectF& rect);
    Status Exclude(const TGPRect& rect);
    Status Exclude(const TGPGraphicsPath* path);
    Status Exclude(const TGPRegion* region);
    Status Complement(const TGPRectF& rect);
    Status Complement(const TGPRect& rect);
    Status Complement(const TGPGraphicsPath* path);
    Status Complement(const TGPRegion* region);
    Status Translate(float dx, float dy);
    Status Translate(int dx, int dy);
    Status Transform(const TGPMatrix* matrix);
    Status GetBounds(TGPRectF& rect, const TGPGraphics* g) const;
    Status GetBounds(TGPRect& rect, const TGPGraphics* g) const;
    HRGN GetHRGN(const TGPGraphics* g) const;
    bool IsEmpty(const TGPGraphics* g) const;
    bool IsInfinite(const TGPGraphics* g) const;
    bool IsVisible(float x, float y, const TGPGraphics* g = nullptr) const;
    bool IsVisible(const TGPPointF& point, const TGPGraphics* g = nullptr) const;
    bool IsVisible(int x, int y, const TGPGraphics* g = nullptr) const;
    bool IsVisible(const TGPPoint& point, const TGPGraphics* g = nullptr) const;
    bool IsVisible(float x, float y, float width, float height, const TGPGraphics* g = nullptr) const;
    bool IsVisible(const TGPRectF& rect, const TGPGraphics* g = nullptr) const;
    bool IsVisible(int x, int y, int width, int height, const TGPGraphics* g = nullptr) const;
    bool IsVisible(const TGPRect& rect, const TGPGraphics* g = nullptr) const;
    bool IsEqual(const TGPRegion* region, const TGPGraphics* g) const;
    UINT GetRegionScansCount(const TGPMatrix* matrix) const;
    Status GetRegionScans(const TGPMatrix* matrix, TGPRectF* rects, int& count) const;
    Status GetRegionScans(const TGPMatrix* matrix, TGPRect* rects, int& count) const;
    Status GetLastStatus() const { return TakeStatus(lastResult); }

    void* nativeRegion { nullptr };
    mutable Status lastResult { Ok };

protected:
    Status SetStatus(Status status) const { return RecordStatus(lastResult, status); }
    void SetNative(void* handle) { nativeRegion = handle; }

private:
    Status CombineRect(const TGPRectF& rect, CombineMode mode);
    Status CombineRect(const TGPRect& rect, CombineMode mode);
    Status CombinePath(const TGPGraphicsPath* path, CombineMode mode);
    Status CombineRegion(const TGPRegion* region, CombineMode mode);
};

} // namespace LumGDIPlusClasses
