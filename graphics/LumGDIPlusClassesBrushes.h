#pragma once
// The paint wrappers of the run-time bound GDI+ set: brushes, pens and custom
// line caps. Each owns one native object and reports failures as a status.

#include <memory>

#include "graphics/LumGDIPlusClassesBase.h"

namespace LumGDIPlusClasses {

class TGPBrush : public TGdiplusBase {
public:
    // A wrapper of no brush: its status is NotImplemented.
    TGPBrush();
    TGPBrush(void* nativeBrushHandle, Status status);
    ~TGPBrush() override;

    // Always a plain TGPBrush, whatever the class of this one.
    virtual std::unique_ptr<TGPBrush> Clone() const;
    BrushType GetType() const;
    Status GetLastStatus() const { return TakeStatus(lastResult); }

    void* nativeBrush { nullptr };
    mutable Status lastResult { Ok };

protected:
    // The empty wrapper of a subclass, status Ok, made to receive a handle.
    struct TEmpty { };
    explicit TGPBrush(TEmpty) { }
    Status SetStatus(Status status) const { return RecordStatus(lastResult, status); }
    void SetNative(void* handle) { nativeBrush = handle; }
};

// The flat functions that move one kind of brush's own transform.
#define QT_GP_TRANSFORM_CALLS(Name, Kind)                                             \
    struct Name {                                                                     \
        static constexpr auto& Set = GdiplusApi.GdipSet##Kind##Transform;             \
        static constexpr auto& Get = GdiplusApi.GdipGet##Kind##Transform;             \
        static constexpr auto& Reset = GdiplusApi.GdipReset##Kind##Transform;         \
        static constexpr auto& Multiply = GdiplusApi.GdipMultiply##Kind##Transform;   \
        static constexpr auto& Translate = GdiplusApi.GdipTranslate##Kind##Transform; \
        static constexpr auto& Scale = GdiplusApi.GdipScale##Kind##Transform;         \
        static constexpr auto& Rotate = GdiplusApi.GdipRotate##Kind##Transform;       \
    };
QT_GP_TRANSFORM_CALLS(TTextureTransformCalls, Texture)
QT_GP_TRANSFORM_CALLS(TLineTransformCalls, Line)
QT_GP_TRANSFORM_CALLS(TPathGradientTransformCalls, PathGradient)
#undef QT_GP_TRANSFORM_CALLS

// The transform methods that texture, linear and path gradient brushes share,
// each kind over its own flat functions. The matrix is required.
template <class Calls> class TGPTransformedBrush : public TGPBrush {
public:
    Status SetTransform(const TGPMatrix* matrix);
    Status GetTransform(TGPMatrix* matrix) const;
    Status ResetTransform();
    Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(float angle, MatrixOrder order = MatrixOrderPrepend);

protected:
    using TGPBrush::TGPBrush;
};

class TGPSolidBrush : public TGPBrush {
public:
    TGPSolidBrush() : TGPBrush(TEmpty {}) { }
    explicit TGPSolidBrush(ARGB color);
    Status GetColor(ARGB& color) const;
    Status SetColor(ARGB color);
};

class TGPHatchBrush : public TGPBrush {
public:
    TGPHatchBrush() : TGPBrush(TEmpty {}) { }
    TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor = 0xFF000000u);
    HatchStyle GetHatchStyle() const;
    Status GetForegroundColor(ARGB& color) const;
    Status GetBackgroundColor(ARGB& color) const;
};

class TGPTextureBrush : public TGPTransformedBrush<TTextureTransformCalls> {
public:
    TGPTextureBrush() : TGPTransformedBrush(TEmpty {}) { }
    explicit TGPTextureBrush(const TGPImage* image, WrapMode wrapMode = WrapModeTile);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, float dstX, float dstY, float dstWidth,
        float dstHeight);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, int dstX, int dstY, int dstWidth, int dstHeight);
    // The image attributes are optional.
    TGPTextureBrush(const TGPImage* image, const TGPRectF& dstRect, const TGPImageAttributes* imageAttributes);
    TGPTextureBrush(const TGPImage* image, const TGPRect& dstRect, const TGPImageAttributes* imageAttributes);

    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const;
    // A new image owning a copy of the brush's picture.
    std::unique_ptr<TGPImage> GetImage() const;
};

class TGPLinearGradientBrush : public TGPTransformedBrush<TLineTransformCalls> {
public:
    TGPLinearGradientBrush() : TGPTransformedBrush(TEmpty {}) { }
    TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1, ARGB color2);
    TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1, ARGB color2);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, float angle, bool isAngleScalable = false);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, float angle, bool isAngleScalable = false);

    Status SetLinearColors(ARGB color1, ARGB color2);
    Status GetLinearColors(ARGB& color1, ARGB& color2) const;
    Status GetRectangle(TGPRectF& rect) const;
    Status GetRectangle(TGPRect& rect) const;
    Status SetGammaCorrection(bool useGammaCorrection);
    bool GetGammaCorrection() const;
    int GetBlendCount() const;
    Status SetBlend(const float* blendFactors, const float* blendPositions, int count);
    Status GetBlend(float* blendFactors, float* blendPositions, int count) const;
    int GetInterpolationColorCount() const;
    Status SetInterpolationColors(const ARGB* presetColors, const float* blendPositions, int count);
    Status GetInterpolationColors(ARGB* presetColors, float* blendPositions, int count) const;
    Status SetBlendBellShape(float focus, float scale = 1.0f);
    Status SetBlendTriangularShape(float focus, float scale = 1.0f);
    Status SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const;
};

class TGPPathGradientBrush : public TGPTransformedBrush<TPathGradientTransformCalls> {
public:
    TGPPathGradientBrush() : TGPTransformedBrush(TEmpty {}) { }
    TGPPathGradientBrush(const TGPPointF* points, int count, WrapMode wrapMode = WrapModeClamp);
    TGPPathGradientBrush(const TGPPoint* points, int count, WrapMode wrapMode = WrapModeClamp);
    explicit TGPPathGradientBrush(const TGPGraphicsPath* path);

    Status GetCenterColor(ARGB& color) const;
    Status SetCenterColor(ARGB color);
    int GetPointCount() const;
    int GetSurroundColorCount() const;
    // `count` holds the room in `colors`; on success it becomes the number read.
    Status GetSurroundColors(ARGB* colors, int& count) const;
    // On success `count` becomes the number GDI+ took.
    Status SetSurroundColors(const ARGB* colors, int& count);
    Status GetGraphicsPath(TGPGraphicsPath* path) const;
    Status SetGraphicsPath(const TGPGraphicsPath* path);
    Status GetCenterPoint(TGPPointF& point) const;
    Status GetCenterPoint(TGPPoint& point) const;
    Status SetCenterPoint(const TGPPointF& point);
    Status SetCenterPoint(const TGPPoint& point);
    Status GetRectangle(TGPRectF& rect) const;
    Status GetRectangle(TGPRect& rect) const;
    Status SetGammaCorrection(bool useGammaCorrection);
    bool GetGammaCorrection() const;
    int GetBlendCount() const;
    Status GetBlend(float* blendFactors, float* blendPositions, int count) const;
    Status SetBlend(const float* blendFactors, const float* blendPositions, int count);
    int GetInterpolationColorCount() const;
    Status SetInterpolationColors(const ARGB* presetColors, const float* blendPositions, int count);
    Status GetInterpolationColors(ARGB* presetColors, float* blendPositions, int count) const;
    Status SetBlendBellShape(float focus, float scale = 1.0f);
    Status SetBlendTriangularShape(float focus, float scale = 1.0f);
    Status GetFocusScales(float& xScale, float& yScale) const;
    Status SetFocusScales(float xScale, float yScale);
    WrapMode GetWrapMode() const;
    Status SetWrapMode(WrapMode wrapMode);
};

class TGPCustomLineCap : public TGdiplusBase {
public:
    // A wrapper of no cap (status Ok), to receive a pen's cap.
    TGPCustomLineCap() = default;
    TGPCustomLineCap(const TGPGraphicsPath* fillPath, const TGPGraphicsPath* strokePath, int baseCap = 0,
        float baseInset = 0.0f);
    TGPCustomLineCap(void* nativeCapHandle, Status status);
    ~TGPCustomLineCap() override;

    // Null when the status field holds an error after the clone was tried.
    std::unique_ptr<TGPCustomLineCap> Clone() const;
    Status SetStrokeCap(int strokeCap);
    Status SetStrokeCaps(int startCap, int endCap);
    Status GetStrokeCaps(int& startCap, int& endCap) const;
    Status SetStrokeJoin(LineJoin lineJoin);
    LineJoin GetStrokeJoin() const;
    Status SetBaseCap(int baseCap);
    int GetBaseCap() const;
    Status SetBaseInset(float inset);
    float GetBaseInset() const;
    Status SetWidthScale(float widthScale);
    float GetWidthScale() const;
    Status GetLastStatus() const { return TakeStatus(lastResult); }

    void* nativeCap { nullptr };
    mutable Status lastResult { Ok };

protected:
    Status SetStatus(Status status) const { return RecordStatus(lastResult, status); }
    void SetNative(void* handle) { nativeCap = handle; }
};

class TGPPen : public TGdiplusBase {
public:
    explicit TGPPen(ARGB color, float width = 1.0f);
    explicit TGPPen(const TGPBrush* brush, float width = 1.0f);
    TGPPen(void* nativePenHandle, Status status);
    ~TGPPen() override;

    // A new pen, also when the copy failed (then with a null handle).
    std::unique_ptr<TGPPen> Clone() const;
    Status SetWidth(float width);
    float GetWidth() const;
    Status SetLineCap(int startCap, int endCap, int dashCap);
    Status SetStartCap(int startCap);
    Status SetEndCap(int endCap);
    Status SetDashCap(int dashCap);
    int GetStartCap() const;
    int GetEndCap() const;
    int GetDashCap() const;
    Status SetLineJoin(LineJoin lineJoin);
    LineJoin GetLineJoin() const;
    Status SetCustomStartCap(const TGPCustomLineCap* customCap);
    Status GetCustomStartCap(TGPCustomLineCap* customCap) const;
    Status SetCustomEndCap(const TGPCustomLineCap* customCap);
    Status GetCustomEndCap(TGPCustomLineCap* customCap) const;
    Status SetMiterLimit(float miterLimit);
    float GetMiterLimit() const;
    Status SetAlignment(PenAlignment penAlignment);
    PenAlignment GetAlignment() const;
    Status SetTransform(const TGPMatrix* matrix);
    Status GetTransform(TGPMatrix* matrix) const;
    Status ResetTransform();
    Status MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    Status TranslateTransform(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    Status ScaleTransform(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    Status RotateTransform(float angle, MatrixOrder order = MatrixOrderPrepend);
    // The brush type of the pen's fill: 0 solid, 1 hatch, 2 texture, 3 path gradient, 4 linear gradient.
    int GetPenType() const;
    Status SetColor(ARGB color);
    // WrongState, unrecorded, for a pen that is not a solid colour.
    Status GetColor(ARGB& color) const;
    Status SetBrush(const TGPBrush* brush);
    // A new wrapper of a copy of the pen's fill, of the class its type calls for; null for an unknown type.
    std::unique_ptr<TGPBrush> GetBrush() const;
    DashStyle GetDashStyle() const;
    Status SetDashStyle(DashStyle dashStyle);
    float GetDashOffset() const;
    Status SetDashOffset(float dashOffset);
    Status SetDashPattern(const float* dashArray, int count);
    int GetDashPatternCount() const;
    Status GetDashPattern(float* dashArray, int count) const;
    Status SetCompoundArray(const float* compoundArray, int count);
    int GetCompoundArrayCount() const;
    Status GetCompoundArray(float* compoundArray, int count) const;
    Status GetLastStatus() const { return TakeStatus(lastResult); }

    void* nativePen { nullptr };
    mutable Status lastResult { Ok };

protected:
    Status SetStatus(Status status) const { return RecordStatus(lastResult, status); }
    void SetNative(void* handle) { nativePen = handle; }

private:
    // Hands a copy of the pen's start or end cap to `customCap`.
    Status ReceiveCap(bool start, TGPCustomLineCap* customCap) const;
};

} // namespace LumGDIPlusClasses
