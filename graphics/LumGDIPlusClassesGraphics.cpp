#include "graphics/LumGDIPlusClassesGraphics.h"

#include <algorithm>
#include <vector>

#include "graphics/LumGDIPlusClassesBrushes.h"
#include "graphics/LumGDIPlusClassesFonts.h"
#include "graphics/LumGDIPlusClassesImages.h"
#include "graphics/LumGDIPlusClassesPaths.h"

namespace LumGDIPlusClasses {

namespace {

// Native handles of arguments; null for a missing wrapper.
void* H(const TGPPen* p) { return p ? p->nativePen : nullptr; }
void* H(const TGPBrush* b) { return b ? b->nativeBrush : nullptr; }
void* H(const TGPGraphicsPath* p) { return p ? p->nativePath : nullptr; }
void* H(const TGPMatrix* m) { return m ? m->nativeMatrix : nullptr; }
void* H(const TGPImage* i) { return i ? i->nativeImage : nullptr; }
void* H(const TGPImageAttributes* a) { return a ? a->nativeImageAttr : nullptr; }
void* H(const TGPFont* f) { return f ? f->nativeFont : nullptr; }
void* H(const TGPStringFormat* s) { return s ? s->nativeFormat : nullptr; }

// The length handed to the library: never past the text (its terminating
// NUL included), -1 for "up to the first NUL".
int TextLength(const String& text, int length)
{
    if (length < 0)
        return -1;
    return int(std::min<std::size_t>(std::size_t(length), text.size()));
}

} // namespace

// ---- creation ----

TGPGraphics::TGPGraphics(HDC hdc, int, int) { lastResult = GdiplusApi.GdipCreateFromHDC(hdc, &nativeGraphics); }

TGPGraphics::TGPGraphics(HDC hdc, NativeUInt hdevice)
{
    lastResult = GdiplusApi.GdipCreateFromHDC2(hdc, reinterpret_cast<HANDLE>(hdevice), &nativeGraphics);
}

TGPGraphics::TGPGraphics(HWND hwnd, bool icm)
{
    lastResult = icm ? GdiplusApi.GdipCreateFromHWNDICM(hwnd, &nativeGraphics)
                     : GdiplusApi.GdipCreateFromHWND(hwnd, &nativeGraphics);
}

TGPGraphics::TGPGraphics(TGPImage* image)
{
    if (image)
        lastResult = GdiplusApi.GdipGetImageGraphicsContext(image->nativeImage, &nativeGraphics);
}

TGPGraphics::~TGPGraphics() { GdiplusApi.GdipDeleteGraphics(nativeGraphics); }

std::unique_ptr<TGPGraphics> TGPGraphics::FromHDC(HDC hdc) { return std::unique_ptr<TGPGraphics>(new TGPGraphics(hdc, 0, 0)); }

std::unique_ptr<TGPGraphics> TGPGraphics::FromHDC(HDC hdc, NativeUInt hdevice)
{
    return std::unique_ptr<TGPGraphics>(new TGPGraphics(hdc, hdevice));
}

std::unique_ptr<TGPGraphics> TGPGraphics::FromHWND(HWND hwnd, bool icm)
{
    return std::unique_ptr<TGPGraphics>(new TGPGraphics(hwnd, icm));
}

std::unique_ptr<TGPGraphics> TGPGraphics::FromImage(TGPImage* image)
{
    return std::unique_ptr<TGPGraphics>(new TGPGraphics(image));
}

void TGPGraphics::Flush(FlushIntention intention) { GdiplusApi.GdipFlush(nativeGraphics, intention); }

HDC TGPGraphics::GetHDC()
{
    return QueryValue(lastResult, HDC(nullptr), GdiplusApi.GdipGetDC, nativeGraphics);
}

void TGPGraphics::ReleaseHDC(HDC hdc) { SetStatus(GdiplusApi.GdipReleaseDC(nativeGraphics, hdc)); }

// ---- rendering state ----

Status TGPGraphics::SetRenderingOrigin(int x, int y) { return SetStatus(GdiplusApi.GdipSetRenderingOrigin(nativeGraphics, x, y)); }

Status TGPGraphics::GetRenderingOrigin(int& x, int& y)
{
    x = 0;
    y = 0;
    return SetStatus(GdiplusApi.GdipGetRenderingOrigin(nativeGraphics, &x, &y));
}

Status TGPGraphics::SetCompositingMode(CompositingMode compositingMode)
{
    return SetStatus(GdiplusApi.GdipSetCompositingMode(nativeGraphics, compositingMode));
}

CompositingMode TGPGraphics::GetCompositingMode()
{
    return QueryValue(lastResult, CompositingModeSourceOver, GdiplusApi.GdipGetCompositingMode, nativeGraphics);
}

Status TGPGraphics::SetCompositingQuality(int compositingQuality)
{
    return SetStatus(GdiplusApi.GdipSetCompositingQuality(nativeGraphics, compositingQuality));
}

int TGPGraphics::GetCompositingQuality()
{
    return QueryValue(lastResult, 0, GdiplusApi.GdipGetCompositingQuality, nativeGraphics);
}

Status TGPGraphics::SetTextRenderingHint(TextRenderingHint newMode)
{
    return SetStatus(GdiplusApi.GdipSetTextRenderingHint(nativeGraphics, newMode));
}

TextRenderingHint TGPGraphics::GetTextRenderingHint()
{
    return QueryValue(lastResult, TextRenderingHintSystemDefault, GdiplusApi.GdipGetTextRenderingHint, nativeGraphics);
}

Status TGPGraphics::SetTextContrast(UINT contrast) { return SetStatus(GdiplusApi.GdipSetTextContrast(nativeGraphics, contrast)); }

UINT TGPGraphics::GetTextContrast()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetTextContrast, nativeGraphics);
}

Status TGPGraphics::SetInterpolationMode(int interpolationMode)
{
    return SetStatus(GdiplusApi.GdipSetInterpolationMode(nativeGraphics, interpolationMode));
}

int TGPGraphics::GetInterpolationMode()
{
    return QueryValue(lastResult, int(InterpolationModeInvalid), GdiplusApi.GdipGetInterpolationMode, nativeGraphics);
}

Status TGPGraphics::SetSmoothingMode(int smoothingMode)
{
    return SetStatus(GdiplusApi.GdipSetSmoothingMode(nativeGraphics, smoothingMode));
}

int TGPGraphics::GetSmoothingMode()
{
    return QueryValue(lastResult, int(SmoothingModeInvalid), GdiplusApi.GdipGetSmoothingMode, nativeGraphics);
}

Status TGPGraphics::SetPixelOffsetMode(int pixelOffsetMode)
{
    return SetStatus(GdiplusApi.GdipSetPixelOffsetMode(nativeGraphics, pixelOffsetMode));
}

int TGPGraphics::GetPixelOffsetMode()
{
    return QueryValue(lastResult, int(PixelOffsetModeInvalid), GdiplusApi.GdipGetPixelOffsetMode, nativeGraphics);
}

Status TGPGraphics::SetPageUnit(Unit_ unit_) { return SetStatus(GdiplusApi.GdipSetPageUnit(nativeGraphics, unit_)); }

Unit_ TGPGraphics::GetPageUnit()
{
    return QueryValue(lastResult, UnitWorld, GdiplusApi.GdipGetPageUnit, nativeGraphics);
}

Status TGPGraphics::SetPageScale(float scale) { return SetStatus(GdiplusApi.GdipSetPageScale(nativeGraphics, scale)); }

float TGPGraphics::GetPageScale()
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetPageScale, nativeGraphics);
}

float TGPGraphics::GetDpiX()
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetDpiX, nativeGraphics);
}

float TGPGraphics::GetDpiY()
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetDpiY, nativeGraphics);
}

// ---- world transform ----

Status TGPGraphics::SetTransform(const TGPMatrix* matrix)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSetWorldTransform(nativeGraphics, matrix->nativeMatrix));
}

Status TGPGraphics::ResetTransform() { return SetStatus(GdiplusApi.GdipResetWorldTransform(nativeGraphics)); }

Status TGPGraphics::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipMultiplyWorldTransform(nativeGraphics, matrix->nativeMatrix, order));
}

Status TGPGraphics::TranslateTransform(float dx, float dy, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
}

Status TGPGraphics::ScaleTransform(float sx, float sy, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
}

Status TGPGraphics::RotateTransform(float angle, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipRotateWorldTransform(nativeGraphics, angle, order));
}

Status TGPGraphics::GetTransform(TGPMatrix* matrix)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetWorldTransform(nativeGraphics, matrix->nativeMatrix));
}

Status TGPGraphics::TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, TGPPointF* pts, int count)
{
    return SetStatus(GdiplusApi.GdipTransformPoints(nativeGraphics, destSpace, srcSpace, pts, count));
}

Status TGPGraphics::TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, TGPPoint* pts, int count)
{
    return SetStatus(GdiplusApi.GdipTransformPointsI(nativeGraphics, destSpace, srcSpace, pts, count));
}

Status TGPGraphics::GetNearestColor(ARGB& color) { return SetStatus(GdiplusApi.GdipGetNearestColor(nativeGraphics, &color)); }

// ---- drawing with a pen ----

#define QT_REQUIRE(arg)                     \
    if (!(arg))                             \
        return SetStatus(InvalidParameter);

Status TGPGraphics::DrawLine(const TGPPen* pen, float x1, float y1, float x2, float y2)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawLine(nativeGraphics, pen->nativePen, x1, y1, x2, y2));
}

Status TGPGraphics::DrawLine(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2)
{
    return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status TGPGraphics::DrawLine(const TGPPen* pen, int x1, int y1, int x2, int y2)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawLineI(nativeGraphics, pen->nativePen, x1, y1, x2, y2));
}

Status TGPGraphics::DrawLine(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2)
{
    return DrawLine(pen, pt1.X, pt1.Y, pt2.X, pt2.Y);
}

Status TGPGraphics::DrawLines(const TGPPen* pen, const TGPPointF* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawLines(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawLines(const TGPPen* pen, const TGPPoint* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawLinesI(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawArc(const TGPPen* pen, float x, float y, float width, float height, float startAngle,
    float sweepAngle)
{
    QT_REQUIRE(pen);
    return SetStatus(
        GdiplusApi.GdipDrawArc(nativeGraphics, pen->nativePen, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphics::DrawArc(const TGPPen* pen, const TGPRectF& rect, float startAngle, float sweepAngle)
{
    return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawArc(const TGPPen* pen, int x, int y, int width, int height, float startAngle, float sweepAngle)
{
    QT_REQUIRE(pen);
    return SetStatus(
        GdiplusApi.GdipDrawArcI(nativeGraphics, pen->nativePen, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphics::DrawArc(const TGPPen* pen, const TGPRect& rect, float startAngle, float sweepAngle)
{
    return DrawArc(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
    float y4)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawBezier(nativeGraphics, pen->nativePen, x1, y1, x2, y2, x3, y3, x4, y4));
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
    const TGPPointF& pt4)
{
    return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawBezierI(nativeGraphics, pen->nativePen, x1, y1, x2, y2, x3, y3, x4, y4));
}

Status TGPGraphics::DrawBezier(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3,
    const TGPPoint& pt4)
{
    return DrawBezier(pen, pt1.X, pt1.Y, pt2.X, pt2.Y, pt3.X, pt3.Y, pt4.X, pt4.Y);
}

Status TGPGraphics::DrawBeziers(const TGPPen* pen, const TGPPointF* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawBeziers(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawBeziers(const TGPPen* pen, const TGPPoint* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawBeziersI(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRectF& rect)
{
    return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, float x, float y, float width, float height)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawRectangle(nativeGraphics, pen->nativePen, x, y, width, height));
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRect& rect)
{
    return DrawRectangle(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawRectangle(const TGPPen* pen, int x, int y, int width, int height)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawRectangleI(nativeGraphics, pen->nativePen, x, y, width, height));
}

Status TGPGraphics::DrawRectangles(const TGPPen* pen, const TGPRectF* rects, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawRectangles(nativeGraphics, pen->nativePen, rects, count));
}

Status TGPGraphics::DrawRectangles(const TGPPen* pen, const TGPRect* rects, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawRectanglesI(nativeGraphics, pen->nativePen, rects, count));
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRectF& rect)
{
    return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, float x, float y, float width, float height)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawEllipse(nativeGraphics, pen->nativePen, x, y, width, height));
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRect& rect)
{
    return DrawEllipse(pen, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawEllipse(const TGPPen* pen, int x, int y, int width, int height)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawEllipseI(nativeGraphics, pen->nativePen, x, y, width, height));
}

Status TGPGraphics::DrawPie(const TGPPen* pen, const TGPRectF& rect, float startAngle, float sweepAngle)
{
    return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawPie(const TGPPen* pen, float x, float y, float width, float height, float startAngle,
    float sweepAngle)
{
    QT_REQUIRE(pen);
    return SetStatus(
        GdiplusApi.GdipDrawPie(nativeGraphics, pen->nativePen, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphics::DrawPie(const TGPPen* pen, const TGPRect& rect, float startAngle, float sweepAngle)
{
    return DrawPie(pen, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::DrawPie(const TGPPen* pen, int x, int y, int width, int height, float startAngle, float sweepAngle)
{
    QT_REQUIRE(pen);
    return SetStatus(
        GdiplusApi.GdipDrawPieI(nativeGraphics, pen->nativePen, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphics::DrawPolygon(const TGPPen* pen, const TGPPointF* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawPolygon(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawPolygon(const TGPPen* pen, const TGPPoint* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawPolygonI(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path)
{
    return SetStatus(GdiplusApi.GdipDrawPath(nativeGraphics, H(pen), H(path)));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawCurve(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPoint* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawCurveI(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, int count, float tension)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawCurve2(nativeGraphics, pen->nativePen, points, count, tension));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPoint* points, int count, float tension)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawCurve2I(nativeGraphics, pen->nativePen, points, count, tension));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPointF* points, int count, int offset, int numberOfSegments,
    float tension)
{
    QT_REQUIRE(pen);
    return SetStatus(
        GdiplusApi.GdipDrawCurve3(nativeGraphics, pen->nativePen, points, count, offset, numberOfSegments, tension));
}

Status TGPGraphics::DrawCurve(const TGPPen* pen, const TGPPoint* points, int count, int offset, int numberOfSegments,
    float tension)
{
    QT_REQUIRE(pen);
    return SetStatus(
        GdiplusApi.GdipDrawCurve3I(nativeGraphics, pen->nativePen, points, count, offset, numberOfSegments, tension));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawClosedCurve(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, int count)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawClosedCurveI(nativeGraphics, pen->nativePen, points, count));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, int count, float tension)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawClosedCurve2(nativeGraphics, pen->nativePen, points, count, tension));
}

Status TGPGraphics::DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, int count, float tension)
{
    QT_REQUIRE(pen);
    return SetStatus(GdiplusApi.GdipDrawClosedCurve2I(nativeGraphics, pen->nativePen, points, count, tension));
}

// ---- filling with a brush ----

Status TGPGraphics::Clear(ARGB color) { return SetStatus(GdiplusApi.GdipGraphicsClear(nativeGraphics, color)); }

Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& rect)
{
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, float x, float y, float width, float height)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillRectangle(nativeGraphics, brush->nativeBrush, x, y, width, height));
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRect& rect)
{
    return FillRectangle(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillRectangle(const TGPBrush* brush, int x, int y, int width, int height)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillRectangleI(nativeGraphics, brush->nativeBrush, x, y, width, height));
}

Status TGPGraphics::FillRectangles(const TGPBrush* brush, const TGPRectF* rects, int count)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillRectangles(nativeGraphics, brush->nativeBrush, rects, count));
}

Status TGPGraphics::FillRectangles(const TGPBrush* brush, const TGPRect* rects, int count)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillRectanglesI(nativeGraphics, brush->nativeBrush, rects, count));
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count)
{
    return FillPolygon(brush, points, count, FillModeAlternate);
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillPolygon(nativeGraphics, brush->nativeBrush, points, count, fillMode));
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count)
{
    return FillPolygon(brush, points, count, FillModeAlternate);
}

Status TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillPolygonI(nativeGraphics, brush->nativeBrush, points, count, fillMode));
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRectF& rect)
{
    return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, float x, float y, float width, float height)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillEllipse(nativeGraphics, brush->nativeBrush, x, y, width, height));
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRect& rect)
{
    return FillEllipse(brush, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::FillEllipse(const TGPBrush* brush, int x, int y, int width, int height)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillEllipseI(nativeGraphics, brush->nativeBrush, x, y, width, height));
}

Status TGPGraphics::FillPie(const TGPBrush* brush, const TGPRectF& rect, float startAngle, float sweepAngle)
{
    return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::FillPie(const TGPBrush* brush, float x, float y, float width, float height, float startAngle,
    float sweepAngle)
{
    QT_REQUIRE(brush);
    return SetStatus(
        GdiplusApi.GdipFillPie(nativeGraphics, brush->nativeBrush, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphics::FillPie(const TGPBrush* brush, const TGPRect& rect, float startAngle, float sweepAngle)
{
    return FillPie(brush, rect.X, rect.Y, rect.Width, rect.Height, startAngle, sweepAngle);
}

Status TGPGraphics::FillPie(const TGPBrush* brush, int x, int y, int width, int height, float startAngle,
    float sweepAngle)
{
    QT_REQUIRE(brush);
    return SetStatus(
        GdiplusApi.GdipFillPieI(nativeGraphics, brush->nativeBrush, x, y, width, height, startAngle, sweepAngle));
}

Status TGPGraphics::FillPath(const TGPBrush* brush, const TGPGraphicsPath* path)
{
    QT_REQUIRE(brush && path);
    return SetStatus(GdiplusApi.GdipFillPath(nativeGraphics, brush->nativeBrush, path->nativePath));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, int count)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillClosedCurve(nativeGraphics, brush->nativeBrush, points, count));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, int count)
{
    QT_REQUIRE(brush);
    return SetStatus(GdiplusApi.GdipFillClosedCurveI(nativeGraphics, brush->nativeBrush, points, count));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode,
    float tension)
{
    QT_REQUIRE(brush);
    return SetStatus(
        GdiplusApi.GdipFillClosedCurve2(nativeGraphics, brush->nativeBrush, points, count, tension, fillMode));
}

Status TGPGraphics::FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode,
    float tension)
{
    QT_REQUIRE(brush);
    return SetStatus(
        GdiplusApi.GdipFillClosedCurve2I(nativeGraphics, brush->nativeBrush, points, count, tension, fillMode));
}

Status TGPGraphics::FillRegion(const TGPBrush* brush, const TGPRegion* region)
{
    QT_REQUIRE(brush && region);
    return SetStatus(GdiplusApi.GdipFillRegion(nativeGraphics, brush->nativeBrush, region->nativeRegion));
}

// ---- text ----

Status TGPGraphics::DrawString(const String& string_, const TGPFont* font, const TGPRectF& layoutRect,
    const TGPStringFormat* stringFormat, const TGPBrush* brush)
{
    return SetStatus(GdiplusApi.GdipDrawString(nativeGraphics, string_.c_str(), int(string_.size()), H(font),
        &layoutRect, H(stringFormat), H(brush)));
}

Status TGPGraphics::DrawString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
    const TGPStringFormat* stringFormat, const TGPBrush* brush)
{
    return SetStatus(GdiplusApi.GdipDrawString(nativeGraphics, string_.c_str(), TextLength(string_, length), H(font),
        &layoutRect, H(stringFormat), H(brush)));
}

Status TGPGraphics::DrawString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
    const TGPBrush* brush)
{
    return DrawString(string_, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, nullptr, brush);
}

Status TGPGraphics::DrawString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
    const TGPStringFormat* stringFormat, const TGPBrush* brush)
{
    return DrawString(string_, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, stringFormat, brush);
}

Status TGPGraphics::MeasureString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
    const TGPStringFormat* stringFormat, TGPRectF& boundingBox, int* codepointsFitted, int* linesFilled)
{
    return SetStatus(GdiplusApi.GdipMeasureString(nativeGraphics, string_.c_str(), TextLength(string_, length),
        H(font), &layoutRect, H(stringFormat), &boundingBox, codepointsFitted, linesFilled));
}

Status TGPGraphics::MeasureString(const String& string_, int length, const TGPFont* font,
    const TGPSizeF& layoutRectSize, const TGPStringFormat* stringFormat, TGPSizeF& size, int* codepointsFitted,
    int* linesFilled)
{
    const TGPRectF layout { 0, 0, layoutRectSize.Width, layoutRectSize.Height };
    TGPRectF box;
    const Status status = MeasureString(string_, length, font, layout, stringFormat, box, codepointsFitted,
        linesFilled);
    if (status == Ok) {
        size.Width = box.Width;
        size.Height = box.Height;
    }
    return status;
}

Status TGPGraphics::MeasureString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
    const TGPStringFormat* stringFormat, TGPRectF& boundingBox)
{
    return MeasureString(string_, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, stringFormat, boundingBox);
}

Status TGPGraphics::MeasureString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
    TGPRectF& boundingBox)
{
    return MeasureString(string_, length, font, layoutRect, nullptr, boundingBox);
}

Status TGPGraphics::MeasureString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
    TGPRectF& boundingBox)
{
    return MeasureString(string_, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, nullptr, boundingBox);
}

Status TGPGraphics::MeasureCharacterRanges(const String& string_, int length, const TGPFont* font,
    const TGPRectF& layoutRect, const TGPStringFormat* stringFormat, int regionCount,
    std::span<TGPRegion* const> regions)
{
    if (regionCount <= 0 || regions.size() < std::size_t(regionCount))
        return InvalidParameter;
    std::vector<void*> handles;
    try {
        handles.reserve(std::size_t(regionCount));
    } catch (const std::bad_alloc&) {
        return SetStatus(OutOfMemory);
    }
    for (int i = 0; i < regionCount; ++i) {
        if (!regions[std::size_t(i)])
            return SetStatus(InvalidParameter);
        handles.push_back(regions[std::size_t(i)]->nativeRegion);
    }
    return SetStatus(GdiplusApi.GdipMeasureCharacterRanges(nativeGraphics, string_.c_str(),
        TextLength(string_, length), H(font), &layoutRect, H(stringFormat), regionCount, handles.data()));
}

Status TGPGraphics::DrawDriverString(const std::uint16_t* text, int length, const TGPFont* font, const TGPBrush* brush,
    const TGPPointF* positions, int flags, const TGPMatrix* matrix)
{
    return SetStatus(GdiplusApi.GdipDrawDriverString(nativeGraphics, text, length, H(font), H(brush), positions, flags,
        H(matrix)));
}

Status TGPGraphics::MeasureDriverString(const std::uint16_t* text, int length, const TGPFont* font,
    const TGPPointF* positions, int flags, const TGPMatrix* matrix, TGPRectF& boundingBox)
{
    return SetStatus(GdiplusApi.GdipMeasureDriverString(nativeGraphics, text, length, H(font), positions, flags,
        H(matrix), &boundingBox));
}

// ---- images ----

Status TGPGraphics::DrawCachedBitmap(const TGPCachedBitmap* cb, int x, int y)
{
    QT_REQUIRE(cb);
    return SetStatus(GdiplusApi.GdipDrawCachedBitmap(nativeGraphics, cb->nativeCachedBitmap, x, y));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPointF& point) { return DrawImage(image, point.X, point.Y); }

Status TGPGraphics::DrawImage(const TGPImage* image, float x, float y)
{
    return SetStatus(GdiplusApi.GdipDrawImage(nativeGraphics, H(image), x, y));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPoint& point) { return DrawImage(image, point.X, point.Y); }

Status TGPGraphics::DrawImage(const TGPImage* image, int x, int y)
{
    return SetStatus(GdiplusApi.GdipDrawImageI(nativeGraphics, H(image), x, y));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRectF& rect)
{
    return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawImage(const TGPImage* image, float x, float y, float width, float height)
{
    return SetStatus(GdiplusApi.GdipDrawImageRect(nativeGraphics, H(image), x, y, width, height));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRect& rect)
{
    return DrawImage(image, rect.X, rect.Y, rect.Width, rect.Height);
}

Status TGPGraphics::DrawImage(const TGPImage* image, int x, int y, int width, int height)
{
    return SetStatus(GdiplusApi.GdipDrawImageRectI(nativeGraphics, H(image), x, y, width, height));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPointF* destPoints, int count)
{
    if ((count != 3 && count != 4) || !destPoints)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipDrawImagePoints(nativeGraphics, H(image), destPoints, count));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPoint* destPoints, int count)
{
    if ((count != 3 && count != 4) || !destPoints)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipDrawImagePointsI(nativeGraphics, H(image), destPoints, count));
}

Status TGPGraphics::DrawImage(const TGPImage* image, float x, float y, float srcx, float srcy, float srcwidth,
    float srcheight, Unit_ srcUnit)
{
    return SetStatus(GdiplusApi.GdipDrawImagePointRect(nativeGraphics, H(image), x, y, srcx, srcy, srcwidth,
        srcheight, srcUnit));
}

Status TGPGraphics::DrawImage(const TGPImage* image, int x, int y, int srcx, int srcy, int srcwidth, int srcheight,
    Unit_ srcUnit)
{
    return SetStatus(GdiplusApi.GdipDrawImagePointRectI(nativeGraphics, H(image), x, y, srcx, srcy, srcwidth,
        srcheight, srcUnit));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRectF& destRect, float srcx, float srcy, float srcwidth,
    float srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes, ImageAbort callback,
    void* callbackData)
{
    return SetStatus(GdiplusApi.GdipDrawImageRectRect(nativeGraphics, H(image), destRect.X, destRect.Y,
        destRect.Width, destRect.Height, srcx, srcy, srcwidth, srcheight, srcUnit, H(imageAttributes), callback,
        callbackData));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPRect& destRect, int srcx, int srcy, int srcwidth,
    int srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes, ImageAbort callback, void* callbackData)
{
    return SetStatus(GdiplusApi.GdipDrawImageRectRectI(nativeGraphics, H(image), destRect.X, destRect.Y,
        destRect.Width, destRect.Height, srcx, srcy, srcwidth, srcheight, srcUnit, H(imageAttributes), callback,
        callbackData));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPointF* destPoints, int count, float srcx, float srcy,
    float srcwidth, float srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes, ImageAbort callback,
    void* callbackData)
{
    return SetStatus(GdiplusApi.GdipDrawImagePointsRect(nativeGraphics, H(image), destPoints, count, srcx, srcy,
        srcwidth, srcheight, srcUnit, H(imageAttributes), callback, callbackData));
}

Status TGPGraphics::DrawImage(const TGPImage* image, const TGPPoint* destPoints, int count, int srcx, int srcy,
    int srcwidth, int srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes, ImageAbort callback,
    void* callbackData)
{
    return SetStatus(GdiplusApi.GdipDrawImagePointsRectI(nativeGraphics, H(image), destPoints, count, srcx, srcy,
        srcwidth, srcheight, srcUnit, H(imageAttributes), callback, callbackData));
}

// ---- clipping, visibility and state ----

Status TGPGraphics::SetClip(const TGPGraphics* g, CombineMode combineMode)
{
    QT_REQUIRE(g);
    return SetStatus(GdiplusApi.GdipSetClipGraphics(nativeGraphics, g->nativeGraphics, combineMode));
}

Status TGPGraphics::SetClip(const TGPRectF& rect, CombineMode combineMode)
{
    return SetStatus(
        GdiplusApi.GdipSetClipRect(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
}

Status TGPGraphics::SetClip(const TGPRect& rect, CombineMode combineMode)
{
    return SetStatus(
        GdiplusApi.GdipSetClipRectI(nativeGraphics, rect.X, rect.Y, rect.Width, rect.Height, combineMode));
}

Status TGPGraphics::SetClip(const TGPGraphicsPath* path, CombineMode combineMode)
{
    QT_REQUIRE(path);
    return SetStatus(GdiplusApi.GdipSetClipPath(nativeGraphics, path->nativePath, combineMode));
}

Status TGPGraphics::SetClip(const TGPRegion* region, CombineMode combineMode)
{
    QT_REQUIRE(region);
    return SetStatus(GdiplusApi.GdipSetClipRegion(nativeGraphics, region->nativeRegion, combineMode));
}

Status TGPGraphics::SetClip(HRGN hRgn, CombineMode combineMode)
{
    return SetStatus(GdiplusApi.GdipSetClipHrgn(nativeGraphics, hRgn, combineMode));
}

Status TGPGraphics::IntersectClip(const TGPRectF& rect) { return SetClip(rect, CombineModeIntersect); }
Status TGPGraphics::IntersectClip(const TGPRect& rect) { return SetClip(rect, CombineModeIntersect); }
Status TGPGraphics::IntersectClip(const TGPRegion* region) { return SetClip(region, CombineModeIntersect); }
Status TGPGraphics::ExcludeClip(const TGPRectF& rect) { return SetClip(rect, CombineModeExclude); }
Status TGPGraphics::ExcludeClip(const TGPRect& rect) { return SetClip(rect, CombineModeExclude); }
Status TGPGraphics::ExcludeClip(const TGPRegion* region) { return SetClip(region, CombineModeExclude); }

Status TGPGraphics::ResetClip() { return SetStatus(GdiplusApi.GdipResetClip(nativeGraphics)); }

Status TGPGraphics::TranslateClip(float dx, float dy) { return SetStatus(GdiplusApi.GdipTranslateClip(nativeGraphics, dx, dy)); }

Status TGPGraphics::TranslateClip(int dx, int dy) { return SetStatus(GdiplusApi.GdipTranslateClipI(nativeGraphics, dx, dy)); }

Status TGPGraphics::GetClip(TGPRegion* region)
{
    QT_REQUIRE(region);
    return SetStatus(GdiplusApi.GdipGetClip(nativeGraphics, region->nativeRegion));
}

Status TGPGraphics::GetClipBounds(TGPRectF& rect) { return SetStatus(GdiplusApi.GdipGetClipBounds(nativeGraphics, &rect)); }
Status TGPGraphics::GetClipBounds(TGPRect& rect) { return SetStatus(GdiplusApi.GdipGetClipBoundsI(nativeGraphics, &rect)); }

Status TGPGraphics::GetVisibleClipBounds(TGPRectF& rect)
{
    return SetStatus(GdiplusApi.GdipGetVisibleClipBounds(nativeGraphics, &rect));
}

Status TGPGraphics::GetVisibleClipBounds(TGPRect& rect)
{
    return SetStatus(GdiplusApi.GdipGetVisibleClipBoundsI(nativeGraphics, &rect));
}

#undef QT_REQUIRE

bool TGPGraphics::IsClipEmpty()
{
    return QueryValue(lastResult, BOOL(FALSE), GdiplusApi.GdipIsClipEmpty, nativeGraphics) != FALSE;
}

bool TGPGraphics::IsVisibleClipEmpty()
{
    return QueryValue(lastResult, BOOL(FALSE), GdiplusApi.GdipIsVisibleClipEmpty, nativeGraphics) != FALSE;
}

bool TGPGraphics::IsVisible(float x, float y)
{
    return QueryValue(lastResult, BOOL(FALSE), GdiplusApi.GdipIsVisiblePoint, nativeGraphics, x, y) != FALSE;
}

bool TGPGraphics::IsVisible(const TGPPointF& point) { return IsVisible(point.X, point.Y); }

bool TGPGraphics::IsVisible(int x, int y)
{
    return QueryValue(lastResult, BOOL(FALSE), GdiplusApi.GdipIsVisiblePointI, nativeGraphics, x, y) != FALSE;
}

bool TGPGraphics::IsVisible(const TGPPoint& point) { return IsVisible(point.X, point.Y); }

bool TGPGraphics::IsVisible(float x, float y, float width, float height)
{
    return QueryValue(lastResult, BOOL(TRUE), GdiplusApi.GdipIsVisibleRect, nativeGraphics, x, y, width, height) != FALSE;
}

bool TGPGraphics::IsVisible(const TGPRectF& rect) { return IsVisible(rect.X, rect.Y, rect.Width, rect.Height); }

bool TGPGraphics::IsVisible(int x, int y, int width, int height)
{
    return QueryValue(lastResult, BOOL(TRUE), GdiplusApi.GdipIsVisibleRectI, nativeGraphics, x, y, width, height) != FALSE;
}

bool TGPGraphics::IsVisible(const TGPRect& rect) { return IsVisible(rect.X, rect.Y, rect.Width, rect.Height); }

UINT TGPGraphics::Save()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipSaveGraphics, nativeGraphics);
}

Status TGPGraphics::Restore(UINT gstate) { return SetStatus(GdiplusApi.GdipRestoreGraphics(nativeGraphics, gstate)); }

UINT TGPGraphics::BeginContainer(const TGPRectF& dstrect, const TGPRectF& srcrect, Unit_ unit_)
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipBeginContainer, nativeGraphics, &dstrect, &srcrect, unit_);
}

UINT TGPGraphics::BeginContainer(const TGPRect& dstrect, const TGPRect& srcrect, Unit_ unit_)
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipBeginContainerI, nativeGraphics, &dstrect, &srcrect, unit_);
}

UINT TGPGraphics::BeginContainer()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipBeginContainer2, nativeGraphics);
}

Status TGPGraphics::EndContainer(UINT state) { return SetStatus(GdiplusApi.GdipEndContainer(nativeGraphics, state)); }

Status TGPGraphics::AddMetafileComment(const BYTE* data, UINT sizeData)
{
    return SetStatus(GdiplusApi.GdipComment(nativeGraphics, sizeData, data));
}

} // namespace LumGDIPlusClasses
