#pragma once
// The wrapper of a GDI+ drawing surface: a device context, a window or an
// image. Methods call the flat function of the same purpose on
// nativeGraphics and record its status; integer forms call the "I" function.

#include <span>

#include "graphics/LumGDIPlusClassesBase.h"
#include "platform/rtl/String.h"

namespace LumGDIPlusClasses {

class TGPGraphics : public TGdiplusBase {
public:
    // The two integers only select this form.
    explicit TGPGraphics(HDC hdc, int Dummy1 = 0, int Dummy2 = 0);
    TGPGraphics(HDC hdc, NativeUInt hdevice);
    explicit TGPGraphics(HWND hwnd, bool icm = false);
    // A null image makes no native object and leaves the status Ok.
    explicit TGPGraphics(TGPImage* image);
    ~TGPGraphics() override;

    static std::unique_ptr<TGPGraphics> FromHDC(HDC hdc);
    static std::unique_ptr<TGPGraphics> FromHDC(HDC hdc, NativeUInt hdevice);
    static std::unique_ptr<TGPGraphics> FromHWND(HWND hwnd, bool icm = false);
    static std::unique_ptr<TGPGraphics> FromImage(TGPImage* image);

    // Neither returns nor records the status.
    void Flush(FlushIntention intention = FlushIntentionFlush);
    HDC GetHDC();
    void ReleaseHDC(HDC hdc);

    // Rendering state.
    Status SetRenderingOrigin(int x, int y);
    Status GetRenderingOrigin(int& x, int& y);
    Status SetCompositingMode(CompositingMode compositingMode);
    CompositingMode GetCompositingMode();
    Status SetCompositingQuality(int compositingQuality);
    int GetCompositingQuality();
    Status SetTextRenderingHint(TextRenderingHint newMode);
    TextRenderingHint GetTextRenderingHint();
    Status SetTextContrast(UINT contrast);
    UINT GetTextContrast();
    Status SetInterpolationMode(int interpolationMode);
    int GetInterpolationMode();
    Status SetSmoothingMode(int smoothingMode);
    int GetSmoothingMode();
    Status SetPixelOffsetMode(int pixelOffsetMode);
    int GetPixelOffsetMode();
    Status SetPageUnit(Unit_ unit_);
    Unit_ GetPageUnit();
    Status SetPageScale(float scale);
    float GetPageScale();
    float GetDpiX();
    float GetDpiY();

    // World transform and coordinates.
    Status SetTransform(const TGPMatrix* matrix);
    Status ResetTransform();
    Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(float angle, MatrixOrder order = MatrixOrderPrepend);
    // Written into the given matrix's native object.
    Status GetTransform(TGPMatrix* matrix);
    Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, TGPPointF* pts, int count);
    Status TransformPoints(CoordinateSpace destSpace, CoordinateSpace srcSpace, TGPPoint* pts, int count);
    Status GetNearestColor(ARGB& color);

    // Drawing with a pen.
    Status DrawLine(const TGPPen* pen, float x1, float y1, float x2, float y2);
    Status DrawLine(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2);
    Status DrawLine(const TGPPen* pen, int x1, int y1, int x2, int y2);
    Status DrawLine(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2);
    Status DrawLines(const TGPPen* pen, const TGPPointF* points, int count);
    Status DrawLines(const TGPPen* pen, const TGPPoint* points, int count);
    Status DrawArc(const TGPPen* pen, float x, float y, float width, float height, float startAngle, float sweepAngle);
    Status DrawArc(const TGPPen* pen, const TGPRectF& rect, float startAngle, float sweepAngle);
    Status DrawArc(const TGPPen* pen, int x, int y, int width, int height, float startAngle, float sweepAngle);
    Status DrawArc(const TGPPen* pen, const TGPRect& rect, float startAngle, float sweepAngle);
    Status DrawBezier(const TGPPen* pen, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    Status DrawBezier(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
        const TGPPointF& pt4);
    Status DrawBezier(const TGPPen* pen, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    Status DrawBezier(const TGPPen* pen, const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3,
        const TGPPoint& pt4);
    Status DrawBeziers(const TGPPen* pen, const TGPPointF* points, int count);
    Status DrawBeziers(const TGPPen* pen, const TGPPoint* points, int count);
    Status DrawRectangle(const TGPPen* pen, const TGPRectF& rect);
    Status DrawRectangle(const TGPPen* pen, float x, float y, float width, float height);
    Status DrawRectangle(const TGPPen* pen, const TGPRect& rect);
    Status DrawRectangle(const TGPPen* pen, int x, int y, int width, int height);
    Status DrawRectangles(const TGPPen* pen, const TGPRectF* rects, int count);
    Status DrawRectangles(const TGPPen* pen, const TGPRect* rects, int count);
    Status DrawEllipse(const TGPPen* pen, const TGPRectF& rect);
    Status DrawEllipse(const TGPPen* pen, float x, float y, float width, float height);
    Status DrawEllipse(const TGPPen* pen, const TGPRect& rect);
    Status DrawEllipse(const TGPPen* pen, int x, int y, int width, int height);
    Status DrawPie(const TGPPen* pen, const TGPRectF& rect, float startAngle, float sweepAngle);
    Status DrawPie(const TGPPen* pen, float x, float y, float width, float height, float startAngle, float sweepAngle);
    Status DrawPie(const TGPPen* pen, const TGPRect& rect, float startAngle, float sweepAngle);
    Status DrawPie(const TGPPen* pen, int x, int y, int width, int height, float startAngle, float sweepAngle);
    Status DrawPolygon(const TGPPen* pen, const TGPPointF* points, int count);
    Status DrawPolygon(const TGPPen* pen, const TGPPoint* points, int count);
    // Pen and path are optional here: the library answers a null one.
    Status DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);
    Status DrawCurve(const TGPPen* pen, const TGPPointF* points, int count);
    Status DrawCurve(const TGPPen* pen, const TGPPoint* points, int count);
    Status DrawCurve(const TGPPen* pen, const TGPPointF* points, int count, float tension);
    Status DrawCurve(const TGPPen* pen, const TGPPoint* points, int count, float tension);
    Status DrawCurve(const TGPPen* pen, const TGPPointF* points, int count, int offset, int numberOfSegments,
        float tension = 0.5f);
    Status DrawCurve(const TGPPen* pen, const TGPPoint* points, int count, int offset, int numberOfSegments,
        float tension = 0.5f);
    Status DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, int count);
    Status DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, int count);
    Status DrawClosedCurve(const TGPPen* pen, const TGPPointF* points, int count, float tension);
    Status DrawClosedCurve(const TGPPen* pen, const TGPPoint* points, int count, float tension);

    // Filling with a brush.
    Status Clear(ARGB color);
    Status FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
    Status FillRectangle(const TGPBrush* brush, float x, float y, float width, float height);
    Status FillRectangle(const TGPBrush* brush, const TGPRect& rect);
    Status FillRectangle(const TGPBrush* brush, int x, int y, int width, int height);
    Status FillRectangles(const TGPBrush* brush, const TGPRectF* rects, int count);
    Status FillRectangles(const TGPBrush* brush, const TGPRect* rects, int count);
    Status FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count);
    Status FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode);
    Status FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count);
    Status FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode);
    Status FillEllipse(const TGPBrush* brush, const TGPRectF& rect);
    Status FillEllipse(const TGPBrush* brush, float x, float y, float width, float height);
    Status FillEllipse(const TGPBrush* brush, const TGPRect& rect);
    Status FillEllipse(const TGPBrush* brush, int x, int y, int width, int height);
    Status FillPie(const TGPBrush* brush, const TGPRectF& rect, float startAngle, float sweepAngle);
    Status FillPie(const TGPBrush* brush, float x, float y, float width, float height, float startAngle,
        float sweepAngle);
    Status FillPie(const TGPBrush* brush, const TGPRect& rect, float startAngle, float sweepAngle);
    Status FillPie(const TGPBrush* brush, int x, int y, int width, int height, float startAngle, float sweepAngle);
    Status FillPath(const TGPBrush* brush, const TGPGraphicsPath* path);
    Status FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, int count);
    Status FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, int count);
    Status FillClosedCurve(const TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode,
        float tension = 0.5f);
    Status FillClosedCurve(const TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode,
        float tension = 0.5f);
    Status FillRegion(const TGPBrush* brush, const TGPRegion* region);

    // Text. Font, format, brush and matrix are optional: a null one passes null.
    Status DrawString(const String& string_, const TGPFont* font, const TGPRectF& layoutRect,
        const TGPStringFormat* stringFormat, const TGPBrush* brush);
    // `length` -1 draws up to the first NUL; a length past the text is cut to it.
    Status DrawString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        const TGPStringFormat* stringFormat, const TGPBrush* brush);
    Status DrawString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        const TGPBrush* brush);
    Status DrawString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        const TGPStringFormat* stringFormat, const TGPBrush* brush);
    Status MeasureString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        const TGPStringFormat* stringFormat, TGPRectF& boundingBox, int* codepointsFitted = nullptr,
        int* linesFilled = nullptr);
    // On Ok `size` takes the bounding box's width and height; otherwise it is left alone.
    Status MeasureString(const String& string_, int length, const TGPFont* font, const TGPSizeF& layoutRectSize,
        const TGPStringFormat* stringFormat, TGPSizeF& size, int* codepointsFitted = nullptr,
        int* linesFilled = nullptr);
    Status MeasureString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        const TGPStringFormat* stringFormat, TGPRectF& boundingBox);
    Status MeasureString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        TGPRectF& boundingBox);
    Status MeasureString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        TGPRectF& boundingBox);
    // Writes into the first regionCount regions. A regionCount of 0 or less
    // answers InvalidParameter without recording it.
    Status MeasureCharacterRanges(const String& string_, int length, const TGPFont* font,
        const TGPRectF& layoutRect, const TGPStringFormat* stringFormat, int regionCount,
        std::span<TGPRegion* const> regions);
    Status DrawDriverString(const std::uint16_t* text, int length, const TGPFont* font, const TGPBrush* brush,
        const TGPPointF* positions, int flags, const TGPMatrix* matrix);
    Status MeasureDriverString(const std::uint16_t* text, int length, const TGPFont* font,
        const TGPPointF* positions, int flags, const TGPMatrix* matrix, TGPRectF& boundingBox);

    // Images. Image and image attributes are optional.
    Status DrawCachedBitmap(const TGPCachedBitmap* cb, int x, int y);
    Status DrawImage(const TGPImage* image, const TGPPointF& point);
    Status DrawImage(const TGPImage* image, float x, float y);
    Status DrawImage(const TGPImage* image, const TGPPoint& point);
    Status DrawImage(const TGPImage* image, int x, int y);
    Status DrawImage(const TGPImage* image, const TGPRectF& rect);
    Status DrawImage(const TGPImage* image, float x, float y, float width, float height);
    Status DrawImage(const TGPImage* image, const TGPRect& rect);
    Status DrawImage(const TGPImage* image, int x, int y, int width, int height);
    // count must be 3 or 4 and destPoints set, else InvalidParameter (recorded).
    Status DrawImage(const TGPImage* image, const TGPPointF* destPoints, int count);
    Status DrawImage(const TGPImage* image, const TGPPoint* destPoints, int count);
    Status DrawImage(const TGPImage* image, float x, float y, float srcx, float srcy, float srcwidth, float srcheight,
        Unit_ srcUnit);
    Status DrawImage(const TGPImage* image, int x, int y, int srcx, int srcy, int srcwidth, int srcheight,
        Unit_ srcUnit);
    Status DrawImage(const TGPImage* image, const TGPRectF& destRect, float srcx, float srcy, float srcwidth,
        float srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes = nullptr,
        ImageAbort callback = nullptr, void* callbackData = nullptr);
    Status DrawImage(const TGPImage* image, const TGPRect& destRect, int srcx, int srcy, int srcwidth, int srcheight,
        Unit_ srcUnit, const TGPImageAttributes* imageAttributes = nullptr, ImageAbort callback = nullptr,
        void* callbackData = nullptr);
    Status DrawImage(const TGPImage* image, const TGPPointF* destPoints, int count, float srcx, float srcy,
        float srcwidth, float srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes = nullptr,
        ImageAbort callback = nullptr, void* callbackData = nullptr);
    Status DrawImage(const TGPImage* image, const TGPPoint* destPoints, int count, int srcx, int srcy, int srcwidth,
        int srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes = nullptr,
        ImageAbort callback = nullptr, void* callbackData = nullptr);

    // Clipping, visibility and state.
    Status SetClip(const TGPGraphics* g, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const TGPRectF& rect, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const TGPRect& rect, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const TGPGraphicsPath* path, CombineMode combineMode = CombineModeReplace);
    Status SetClip(const TGPRegion* region, CombineMode combineMode = CombineModeReplace);
    Status SetClip(HRGN hRgn, CombineMode combineMode = CombineModeReplace);
    Status IntersectClip(const TGPRectF& rect);
    Status IntersectClip(const TGPRect& rect);
    Status IntersectClip(const TGPRegion* region);
    Status ExcludeClip(const TGPRectF& rect);
    Status ExcludeClip(const TGPRect& rect);
    Status ExcludeClip(const TGPRegion* region);
    Status ResetClip();
    Status TranslateClip(float dx, float dy);
    Status TranslateClip(int dx, int dy);
    // Written into the given region's native object.
    Status GetClip(TGPRegion* region);
    Status GetClipBounds(TGPRectF& rect);
    Status GetClipBounds(TGPRect& rect);
    Status GetVisibleClipBounds(TGPRectF& rect);
    Status GetVisibleClipBounds(TGPRect& rect);
    bool IsClipEmpty();
    bool IsVisibleClipEmpty();
    // A point starts false, a rectangle true.
    bool IsVisible(float x, float y);
    bool IsVisible(const TGPPointF& point);
    bool IsVisible(int x, int y);
    bool IsVisible(const TGPPoint& point);
    bool IsVisible(float x, float y, float width, float height);
    bool IsVisible(const TGPRectF& rect);
    bool IsVisible(int x, int y, int width, int height);
    bool IsVisible(const TGPRect& rect);
    UINT Save();
    Status Restore(UINT gstate);
    UINT BeginContainer(const TGPRectF& dstrect, const TGPRectF& srcrect, Unit_ unit_);
    UINT BeginContainer(const TGPRect& dstrect, const TGPRect& srcrect, Unit_ unit_);
    UINT BeginContainer();
    Status EndContainer(UINT state);
    Status AddMetafileComment(const BYTE* data, UINT sizeData);

    Status GetLastStatus() { return TakeStatus(lastResult); }

    void* nativeGraphics { nullptr };
    Status lastResult { Ok };

protected:
    Status SetStatus(Status status) { return RecordStatus(lastResult, status); }
    void SetNative(void* graphics) { nativeGraphics = graphics; }
};

} // namespace LumGDIPlusClasses
