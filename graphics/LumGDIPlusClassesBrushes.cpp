#include "graphics/LumGDIPlusClassesBrushes.h"

#include <vector>

#include "graphics/LumGDIPlusClassesImages.h"
#include "graphics/LumGDIPlusClassesPaths.h"

namespace LumGDIPlusClasses {

namespace {

void* H(const TGPGraphicsPath* p) { return p ? p->nativePath : nullptr; }
void* H(const TGPMatrix* m) { return m ? m->nativeMatrix : nullptr; }
void* H(const TGPImageAttributes* a) { return a ? a->nativeImageAttr : nullptr; }
void* H(const TGPCustomLineCap* c) { return c ? c->nativeCap : nullptr; }


} // namespace

// ---- TGPBrush ----

TGPBrush::TGPBrush() : lastResult(NotImplemented) { }
TGPBrush::TGPBrush(void* nativeBrushHandle, Status status) : nativeBrush(nativeBrushHandle), lastResult(status) { }
TGPBrush::~TGPBrush() { GdiplusApi.GdipDeleteBrush(nativeBrush); }

std::unique_ptr<TGPBrush> TGPBrush::Clone() const
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneBrush(nativeBrush, &clone));
    return std::make_unique<TGPBrush>(clone, lastResult);
}

BrushType TGPBrush::GetType() const
{
    return QueryValue<BrushType>(lastResult, BrushType(-1), GdiplusApi.GdipGetBrushType, nativeBrush);
}

// ---- transforms shared by texture, linear and path gradient brushes ----

template <class Calls> Status TGPTransformedBrush<Calls>::SetTransform(const TGPMatrix* matrix)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(Calls::Set(nativeBrush, matrix->nativeMatrix));
}
template <class Calls> Status TGPTransformedBrush<Calls>::GetTransform(TGPMatrix* matrix) const
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(Calls::Get(nativeBrush, matrix->nativeMatrix));
}
template <class Calls> Status TGPTransformedBrush<Calls>::ResetTransform()
{
    return SetStatus(Calls::Reset(nativeBrush));
}
template <class Calls>
Status TGPTransformedBrush<Calls>::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(Calls::Multiply(nativeBrush, matrix->nativeMatrix, order));
}
template <class Calls> Status TGPTransformedBrush<Calls>::TranslateTransform(float dx, float dy, MatrixOrder order)
{
    return SetStatus(Calls::Translate(nativeBrush, dx, dy, order));
}
template <class Calls> Status TGPTransformedBrush<Calls>::ScaleTransform(float sx, float sy, MatrixOrder order)
{
    return SetStatus(Calls::Scale(nativeBrush, sx, sy, order));
}
template <class Calls> Status TGPTransformedBrush<Calls>::RotateTransform(float angle, MatrixOrder order)
{
    return SetStatus(Calls::Rotate(nativeBrush, angle, order));
}

template class TGPTransformedBrush<TTextureTransformCalls>;
template class TGPTransformedBrush<TLineTransformCalls>;
template class TGPTransformedBrush<TPathGradientTransformCalls>;

// ---- TGPSolidBrush ----

TGPSolidBrush::TGPSolidBrush(ARGB color) : TGPBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateSolidFill(color, &nativeBrush);
}
Status TGPSolidBrush::GetColor(ARGB& color) const
{
    SetStatus(GdiplusApi.GdipGetSolidFillColor(nativeBrush, &color));
    return lastResult;
}
Status TGPSolidBrush::SetColor(ARGB color)
{
    return SetStatus(GdiplusApi.GdipSetSolidFillColor(nativeBrush, color));
}

// ---- TGPHatchBrush ----

TGPHatchBrush::TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor) : TGPBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateHatchBrush(hatchStyle, foreColor, backColor, &nativeBrush);
}
HatchStyle TGPHatchBrush::GetHatchStyle() const
{
    return QueryValue<HatchStyle>(lastResult, HatchStyle(0), GdiplusApi.GdipGetHatchStyle, nativeBrush);
}
Status TGPHatchBrush::GetForegroundColor(ARGB& color) const
{
    return SetStatus(GdiplusApi.GdipGetHatchForegroundColor(nativeBrush, &color));
}
Status TGPHatchBrush::GetBackgroundColor(ARGB& color) const
{
    return SetStatus(GdiplusApi.GdipGetHatchBackgroundColor(nativeBrush, &color));
}

// ---- TGPTextureBrush ----

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode) : TGPTransformedBrush(TEmpty {})
{
    if (!image) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateTexture(image->nativeImage, wrapMode, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRectF& r)
    : TGPTextureBrush(image, wrapMode, r.X, r.Y, r.Width, r.Height)
{
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRect& r)
    : TGPTextureBrush(image, wrapMode, r.X, r.Y, r.Width, r.Height)
{
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, float dstX, float dstY, float dstWidth,
    float dstHeight)
    : TGPTransformedBrush(TEmpty {})
{
    if (!image) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateTexture2(image->nativeImage, wrapMode, dstX, dstY, dstWidth,
        dstHeight, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, int dstX, int dstY, int dstWidth,
    int dstHeight)
    : TGPTransformedBrush(TEmpty {})
{
    if (!image) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateTexture2I(image->nativeImage, wrapMode, dstX, dstY, dstWidth,
        dstHeight, &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, const TGPRectF& r, const TGPImageAttributes* imageAttributes)
    : TGPTransformedBrush(TEmpty {})
{
    if (!image) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateTextureIA(image->nativeImage, H(imageAttributes), r.X, r.Y, r.Width, r.Height,
        &nativeBrush);
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, const TGPRect& r, const TGPImageAttributes* imageAttributes)
    : TGPTransformedBrush(TEmpty {})
{
    if (!image) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateTextureIAI(image->nativeImage, H(imageAttributes), r.X, r.Y, r.Width, r.Height,
        &nativeBrush);
}

Status TGPTextureBrush::SetWrapMode(WrapMode wrapMode)
{
    return SetStatus(GdiplusApi.GdipSetTextureWrapMode(nativeBrush, wrapMode));
}
WrapMode TGPTextureBrush::GetWrapMode() const
{
    return QueryValue<WrapMode>(lastResult, WrapModeTile, GdiplusApi.GdipGetTextureWrapMode, nativeBrush);
}
std::unique_ptr<TGPImage> TGPTextureBrush::GetImage() const
{
    void* image = nullptr;
    SetStatus(GdiplusApi.GdipGetTextureImage(nativeBrush, &image));
    return std::make_unique<TGPImage>(image, lastResult);
}

// ---- TGPLinearGradientBrush ----

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1,
    ARGB color2)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateLineBrush(&point1, &point2, color1, color2, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1,
    ARGB color2)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateLineBrushI(&point1, &point2, color1, color2, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2,
    LinearGradientMode mode)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateLineBrushFromRect(&rect, color1, color2, mode, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2,
    LinearGradientMode mode)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateLineBrushFromRectI(&rect, color1, color2, mode, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, float angle,
    bool isAngleScalable)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateLineBrushFromRectWithAngle(&rect, color1, color2, angle,
        isAngleScalable ? TRUE : FALSE, WrapModeTile, &nativeBrush);
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, float angle,
    bool isAngleScalable)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreateLineBrushFromRectWithAngleI(&rect, color1, color2, angle,
        isAngleScalable ? TRUE : FALSE, WrapModeTile, &nativeBrush);
}

Status TGPLinearGradientBrush::SetLinearColors(ARGB color1, ARGB color2)
{
    return SetStatus(GdiplusApi.GdipSetLineColors(nativeBrush, color1, color2));
}
Status TGPLinearGradientBrush::GetLinearColors(ARGB& color1, ARGB& color2) const
{
    ARGB colors[2] {};
    SetStatus(GdiplusApi.GdipGetLineColors(nativeBrush, colors));
    if (lastResult == Ok) {
        color1 = colors[0];
        color2 = colors[1];
    }
    return lastResult;
}
Status TGPLinearGradientBrush::GetRectangle(TGPRectF& rect) const
{
    return SetStatus(GdiplusApi.GdipGetLineRect(nativeBrush, &rect));
}
Status TGPLinearGradientBrush::GetRectangle(TGPRect& rect) const
{
    return SetStatus(GdiplusApi.GdipGetLineRectI(nativeBrush, &rect));
}
Status TGPLinearGradientBrush::SetGammaCorrection(bool useGammaCorrection)
{
    return SetStatus(GdiplusApi.GdipSetLineGammaCorrection(nativeBrush, useGammaCorrection ? TRUE : FALSE));
}
bool TGPLinearGradientBrush::GetGammaCorrection() const
{
    return QueryValue<BOOL>(lastResult, FALSE, GdiplusApi.GdipGetLineGammaCorrection, nativeBrush) != FALSE;
}
int TGPLinearGradientBrush::GetBlendCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetLineBlendCount, nativeBrush);
}
Status TGPLinearGradientBrush::SetBlend(const float* blendFactors, const float* blendPositions, int count)
{
    return SetStatus(GdiplusApi.GdipSetLineBlend(nativeBrush, blendFactors, blendPositions, count));
}
Status TGPLinearGradientBrush::GetBlend(float* blendFactors, float* blendPositions, int count) const
{
    if (count <= 0 || !blendFactors || !blendPositions)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetLineBlend(nativeBrush, blendFactors, blendPositions, count));
}
int TGPLinearGradientBrush::GetInterpolationColorCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetLinePresetBlendCount, nativeBrush);
}
Status TGPLinearGradientBrush::SetInterpolationColors(const ARGB* presetColors, const float* blendPositions, int count)
{
    if (count <= 0)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSetLinePresetBlend(nativeBrush, presetColors, blendPositions, count));
}
Status TGPLinearGradientBrush::GetInterpolationColors(ARGB* presetColors, float* blendPositions, int count) const
{
    if (count <= 0)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetLinePresetBlend(nativeBrush, presetColors, blendPositions, count));
}
Status TGPLinearGradientBrush::SetBlendBellShape(float focus, float scale)
{
    return SetStatus(GdiplusApi.GdipSetLineSigmaBlend(nativeBrush, focus, scale));
}
Status TGPLinearGradientBrush::SetBlendTriangularShape(float focus, float scale)
{
    return SetStatus(GdiplusApi.GdipSetLineLinearBlend(nativeBrush, focus, scale));
}
Status TGPLinearGradientBrush::SetWrapMode(WrapMode wrapMode)
{
    return SetStatus(GdiplusApi.GdipSetLineWrapMode(nativeBrush, wrapMode));
}
WrapMode TGPLinearGradientBrush::GetWrapMode() const
{
    return QueryValue<WrapMode>(lastResult, WrapModeTile, GdiplusApi.GdipGetLineWrapMode, nativeBrush);
}

// ---- TGPPathGradientBrush ----

TGPPathGradientBrush::TGPPathGradientBrush(const TGPPointF* points, int count, WrapMode wrapMode)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreatePathGradient(points, count, wrapMode, &nativeBrush);
}
TGPPathGradientBrush::TGPPathGradientBrush(const TGPPoint* points, int count, WrapMode wrapMode)
    : TGPTransformedBrush(TEmpty {})
{
    lastResult = GdiplusApi.GdipCreatePathGradientI(points, count, wrapMode, &nativeBrush);
}
TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* path) : TGPTransformedBrush(TEmpty {})
{
    lastResult = path ? GdiplusApi.GdipCreatePathGradientFromPath(path->nativePath, &nativeBrush) : InvalidParameter;
}

Status TGPPathGradientBrush::GetCenterColor(ARGB& color) const
{
    SetStatus(GdiplusApi.GdipGetPathGradientCenterColor(nativeBrush, &color));
    return lastResult;
}
Status TGPPathGradientBrush::SetCenterColor(ARGB color)
{
    SetStatus(GdiplusApi.GdipSetPathGradientCenterColor(nativeBrush, color));
    return lastResult;
}
int TGPPathGradientBrush::GetPointCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPathGradientPointCount, nativeBrush);
}
int TGPPathGradientBrush::GetSurroundColorCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPathGradientSurroundColorCount, nativeBrush);
}
Status TGPPathGradientBrush::GetSurroundColors(ARGB* colors, int& count) const
{
    if (!colors)
        return SetStatus(InvalidParameter);
    int available = GetSurroundColorCount();
    if (lastResult != Ok)
        return lastResult;
    if (count < available || available <= 0)
        return SetStatus(InsufficientBuffer);
    SetStatus(GdiplusApi.GdipGetPathGradientSurroundColorsWithCount(nativeBrush, colors, &available));
    if (lastResult == Ok)
        count = available;
    return lastResult;
}
Status TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, int& count)
{
    if (!colors)
        return SetStatus(InvalidParameter);
    const int points = GetPointCount();
    // A count below one names no colour at all; GDI+ is not asked to read it.
    if (points <= 0 || count > points || count <= 0)
        return SetStatus(InvalidParameter);
    int used = count;
    SetStatus(GdiplusApi.GdipSetPathGradientSurroundColorsWithCount(nativeBrush, colors, &used));
    if (lastResult == Ok)
        count = used;
    return lastResult;
}
Status TGPPathGradientBrush::GetGraphicsPath(TGPGraphicsPath* path) const
{
    if (!path)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetPathGradientPath(nativeBrush, path->nativePath));
}
Status TGPPathGradientBrush::SetGraphicsPath(const TGPGraphicsPath* path)
{
    if (!path)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSetPathGradientPath(nativeBrush, path->nativePath));
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPointF& point) const
{
    return SetStatus(GdiplusApi.GdipGetPathGradientCenterPoint(nativeBrush, &point));
}
Status TGPPathGradientBrush::GetCenterPoint(TGPPoint& point) const
{
    return SetStatus(GdiplusApi.GdipGetPathGradientCenterPointI(nativeBrush, &point));
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPointF& point)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientCenterPoint(nativeBrush, &point));
}
Status TGPPathGradientBrush::SetCenterPoint(const TGPPoint& point)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientCenterPointI(nativeBrush, &point));
}
Status TGPPathGradientBrush::GetRectangle(TGPRectF& rect) const
{
    return SetStatus(GdiplusApi.GdipGetPathGradientRect(nativeBrush, &rect));
}
Status TGPPathGradientBrush::GetRectangle(TGPRect& rect) const
{
    return SetStatus(GdiplusApi.GdipGetPathGradientRectI(nativeBrush, &rect));
}
Status TGPPathGradientBrush::SetGammaCorrection(bool useGammaCorrection)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientGammaCorrection(nativeBrush,
        useGammaCorrection ? TRUE : FALSE));
}
bool TGPPathGradientBrush::GetGammaCorrection() const
{
    return QueryValue<BOOL>(lastResult, FALSE, GdiplusApi.GdipGetPathGradientGammaCorrection, nativeBrush) != FALSE;
}
int TGPPathGradientBrush::GetBlendCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPathGradientBlendCount, nativeBrush);
}
Status TGPPathGradientBrush::GetBlend(float* blendFactors, float* blendPositions, int count) const
{
    return SetStatus(GdiplusApi.GdipGetPathGradientBlend(nativeBrush, blendFactors, blendPositions, count));
}
Status TGPPathGradientBrush::SetBlend(const float* blendFactors, const float* blendPositions, int count)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientBlend(nativeBrush, blendFactors, blendPositions, count));
}
int TGPPathGradientBrush::GetInterpolationColorCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPathGradientPresetBlendCount, nativeBrush);
}
Status TGPPathGradientBrush::SetInterpolationColors(const ARGB* presetColors, const float* blendPositions, int count)
{
    if (count <= 0 || !presetColors)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSetPathGradientPresetBlend(nativeBrush, presetColors, blendPositions,
        count));
}
Status TGPPathGradientBrush::GetInterpolationColors(ARGB* presetColors, float* blendPositions, int count) const
{
    if (count <= 0 || !presetColors)
        return SetStatus(InvalidParameter);
    std::vector<ARGB> colors;
    try {
        colors.resize(std::size_t(count));
    } catch (const std::bad_alloc&) {
        return SetStatus(OutOfMemory);
    }
    const Status status = SetStatus(GdiplusApi.GdipGetPathGradientPresetBlend(nativeBrush, colors.data(),
        blendPositions, count));
    // A failed read leaves the caller's colours as they were rather than
    // filling them with whatever the scratch array held.
    if (status == Ok)
        std::copy(colors.begin(), colors.end(), presetColors);
    return status;
}
Status TGPPathGradientBrush::SetBlendBellShape(float focus, float scale)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientSigmaBlend(nativeBrush, focus, scale));
}
Status TGPPathGradientBrush::SetBlendTriangularShape(float focus, float scale)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientLinearBlend(nativeBrush, focus, scale));
}
Status TGPPathGradientBrush::GetFocusScales(float& xScale, float& yScale) const
{
    xScale = 0.0f;
    yScale = 0.0f;
    return SetStatus(GdiplusApi.GdipGetPathGradientFocusScales(nativeBrush, &xScale, &yScale));
}
Status TGPPathGradientBrush::SetFocusScales(float xScale, float yScale)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientFocusScales(nativeBrush, xScale, yScale));
}
WrapMode TGPPathGradientBrush::GetWrapMode() const
{
    return QueryValue<WrapMode>(lastResult, WrapModeTile, GdiplusApi.GdipGetPathGradientWrapMode, nativeBrush);
}
Status TGPPathGradientBrush::SetWrapMode(WrapMode wrapMode)
{
    return SetStatus(GdiplusApi.GdipSetPathGradientWrapMode(nativeBrush, wrapMode));
}

// ---- TGPCustomLineCap ----

TGPCustomLineCap::TGPCustomLineCap(const TGPGraphicsPath* fillPath, const TGPGraphicsPath* strokePath, int baseCap,
    float baseInset)
{
    lastResult = GdiplusApi.GdipCreateCustomLineCap(H(fillPath), H(strokePath), baseCap, baseInset, &nativeCap);
}
TGPCustomLineCap::TGPCustomLineCap(void* nativeCapHandle, Status status)
    : nativeCap(nativeCapHandle), lastResult(status)
{
}
TGPCustomLineCap::~TGPCustomLineCap() { GdiplusApi.GdipDeleteCustomLineCap(nativeCap); }

std::unique_ptr<TGPCustomLineCap> TGPCustomLineCap::Clone() const
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneCustomLineCap(nativeCap, &clone));
    if (lastResult != Ok) {
        // An earlier unread error also refuses the copy; do not leak it then.
        if (clone)
            GdiplusApi.GdipDeleteCustomLineCap(clone);
        return nullptr;
    }
    return std::make_unique<TGPCustomLineCap>(clone, Ok);
}

Status TGPCustomLineCap::SetStrokeCap(int strokeCap) { return SetStrokeCaps(strokeCap, strokeCap); }
Status TGPCustomLineCap::SetStrokeCaps(int startCap, int endCap)
{
    return SetStatus(GdiplusApi.GdipSetCustomLineCapStrokeCaps(nativeCap, startCap, endCap));
}
Status TGPCustomLineCap::GetStrokeCaps(int& startCap, int& endCap) const
{
    startCap = 0;
    endCap = 0;
    return SetStatus(GdiplusApi.GdipGetCustomLineCapStrokeCaps(nativeCap, &startCap, &endCap));
}
Status TGPCustomLineCap::SetStrokeJoin(LineJoin lineJoin)
{
    return SetStatus(GdiplusApi.GdipSetCustomLineCapStrokeJoin(nativeCap, lineJoin));
}
LineJoin TGPCustomLineCap::GetStrokeJoin() const
{
    return QueryValue<LineJoin>(lastResult, LineJoinMiter, GdiplusApi.GdipGetCustomLineCapStrokeJoin, nativeCap);
}
Status TGPCustomLineCap::SetBaseCap(int baseCap)
{
    return SetStatus(GdiplusApi.GdipSetCustomLineCapBaseCap(nativeCap, baseCap));
}
int TGPCustomLineCap::GetBaseCap() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetCustomLineCapBaseCap, nativeCap);
}
Status TGPCustomLineCap::SetBaseInset(float inset)
{
    return SetStatus(GdiplusApi.GdipSetCustomLineCapBaseInset(nativeCap, inset));
}
float TGPCustomLineCap::GetBaseInset() const
{
    return QueryValue<float>(lastResult, 0.0f, GdiplusApi.GdipGetCustomLineCapBaseInset, nativeCap);
}
Status TGPCustomLineCap::SetWidthScale(float widthScale)
{
    return SetStatus(GdiplusApi.GdipSetCustomLineCapWidthScale(nativeCap, widthScale));
}
float TGPCustomLineCap::GetWidthScale() const
{
    return QueryValue<float>(lastResult, 0.0f, GdiplusApi.GdipGetCustomLineCapWidthScale, nativeCap);
}

// ---- TGPPen ----

TGPPen::TGPPen(ARGB color, float width) { lastResult = GdiplusApi.GdipCreatePen1(color, width, UnitWorld, &nativePen); }
TGPPen::TGPPen(const TGPBrush* brush, float width)
{
    lastResult = brush ? GdiplusApi.GdipCreatePen2(brush->nativeBrush, width, UnitWorld, &nativePen) : InvalidParameter;
}
TGPPen::TGPPen(void* nativePenHandle, Status status) : nativePen(nativePenHandle), lastResult(status) { }
TGPPen::~TGPPen() { GdiplusApi.GdipDeletePen(nativePen); }

std::unique_ptr<TGPPen> TGPPen::Clone() const
{
    void* clone = nullptr;
    const Status status = GdiplusApi.GdipClonePen(nativePen, &clone);
    lastResult = status;
    return std::make_unique<TGPPen>(clone, status);
}

Status TGPPen::SetWidth(float width) { return SetStatus(GdiplusApi.GdipSetPenWidth(nativePen, width)); }
float TGPPen::GetWidth() const
{
    return QueryValue<float>(lastResult, 0.0f, GdiplusApi.GdipGetPenWidth, nativePen);
}
Status TGPPen::SetLineCap(int startCap, int endCap, int dashCap)
{
    return SetStatus(GdiplusApi.GdipSetPenLineCap197819(nativePen, startCap, endCap, dashCap));
}
Status TGPPen::SetStartCap(int startCap) { return SetStatus(GdiplusApi.GdipSetPenStartCap(nativePen, startCap)); }
Status TGPPen::SetEndCap(int endCap) { return SetStatus(GdiplusApi.GdipSetPenEndCap(nativePen, endCap)); }
Status TGPPen::SetDashCap(int dashCap) { return SetStatus(GdiplusApi.GdipSetPenDashCap197819(nativePen, dashCap)); }
int TGPPen::GetStartCap() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPenStartCap, nativePen);
}
int TGPPen::GetEndCap() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPenEndCap, nativePen);
}
int TGPPen::GetDashCap() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPenDashCap197819, nativePen);
}
Status TGPPen::SetLineJoin(LineJoin lineJoin) { return SetStatus(GdiplusApi.GdipSetPenLineJoin(nativePen, lineJoin)); }
LineJoin TGPPen::GetLineJoin() const
{
    return QueryValue<LineJoin>(lastResult, LineJoinMiter, GdiplusApi.GdipGetPenLineJoin, nativePen);
}
Status TGPPen::SetCustomStartCap(const TGPCustomLineCap* customCap)
{
    return SetStatus(GdiplusApi.GdipSetPenCustomStartCap(nativePen, H(customCap)));
}
Status TGPPen::SetCustomEndCap(const TGPCustomLineCap* customCap)
{
    return SetStatus(GdiplusApi.GdipSetPenCustomEndCap(nativePen, H(customCap)));
}
Status TGPPen::ReceiveCap(bool start, TGPCustomLineCap* customCap) const
{
    if (!customCap)
        return SetStatus(InvalidParameter);
    void* cap = nullptr;
    const Status status = SetStatus(start ? GdiplusApi.GdipGetPenCustomStartCap(nativePen, &cap)
                                          : GdiplusApi.GdipGetPenCustomEndCap(nativePen, &cap));
    // The receiving cap gives up the handle it held, so a reused one leaks nothing.
    if (status == Ok) {
        GdiplusApi.GdipDeleteCustomLineCap(customCap->nativeCap);
        customCap->nativeCap = cap;
    }
    return status;
}
Status TGPPen::GetCustomStartCap(TGPCustomLineCap* customCap) const { return ReceiveCap(true, customCap); }
Status TGPPen::GetCustomEndCap(TGPCustomLineCap* customCap) const { return ReceiveCap(false, customCap); }
Status TGPPen::SetMiterLimit(float miterLimit)
{
    return SetStatus(GdiplusApi.GdipSetPenMiterLimit(nativePen, miterLimit));
}
float TGPPen::GetMiterLimit() const
{
    return QueryValue<float>(lastResult, 0.0f, GdiplusApi.GdipGetPenMiterLimit, nativePen);
}
Status TGPPen::SetAlignment(PenAlignment penAlignment)
{
    return SetStatus(GdiplusApi.GdipSetPenMode(nativePen, penAlignment));
}
PenAlignment TGPPen::GetAlignment() const
{
    return QueryValue<PenAlignment>(lastResult, PenAlignmentCenter, GdiplusApi.GdipGetPenMode, nativePen);
}
Status TGPPen::SetTransform(const TGPMatrix* matrix)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSetPenTransform(nativePen, H(matrix)));
}
Status TGPPen::GetTransform(TGPMatrix* matrix) const
{
    return SetStatus(GdiplusApi.GdipGetPenTransform(nativePen, H(matrix)));
}
Status TGPPen::ResetTransform() { return SetStatus(GdiplusApi.GdipResetPenTransform(nativePen)); }
Status TGPPen::MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order)
{
    if (!matrix)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipMultiplyPenTransform(nativePen, H(matrix), order));
}
Status TGPPen::TranslateTransform(float dx, float dy, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipTranslatePenTransform(nativePen, dx, dy, order));
}
Status TGPPen::ScaleTransform(float sx, float sy, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipScalePenTransform(nativePen, sx, sy, order));
}
Status TGPPen::RotateTransform(float angle, MatrixOrder order)
{
    return SetStatus(GdiplusApi.GdipRotatePenTransform(nativePen, angle, order));
}
int TGPPen::GetPenType() const
{
    return QueryValue<int>(lastResult, -1, GdiplusApi.GdipGetPenFillType, nativePen);
}
Status TGPPen::SetColor(ARGB color) { return SetStatus(GdiplusApi.GdipSetPenColor(nativePen, color)); }
Status TGPPen::GetColor(ARGB& color) const
{
    if (GetPenType() != 0)
        return WrongState;
    ARGB value = 0;
    SetStatus(GdiplusApi.GdipGetPenColor(nativePen, &value));
    if (lastResult == Ok)
        color = value;
    return lastResult;
}
Status TGPPen::SetBrush(const TGPBrush* brush)
{
    if (!brush)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSetPenBrushFill(nativePen, brush->nativeBrush));
}
std::unique_ptr<TGPBrush> TGPPen::GetBrush() const
{
    std::unique_ptr<TGPBrush> brush;
    switch (GetPenType()) {
    case 0: brush = std::make_unique<TGPSolidBrush>(); break;
    case 1: brush = std::make_unique<TGPHatchBrush>(); break;
    case 2: brush = std::make_unique<TGPTextureBrush>(); break;
    case 3: brush = std::make_unique<TGPBrush>(); break;
    case 4: brush = std::make_unique<TGPLinearGradientBrush>(); break;
    default: return nullptr;
    }
    void* native = nullptr;
    SetStatus(GdiplusApi.GdipGetPenBrushFill(nativePen, &native));
    brush->nativeBrush = native;
    return brush;
}
DashStyle TGPPen::GetDashStyle() const
{
    return QueryValue<DashStyle>(lastResult, DashStyleSolid, GdiplusApi.GdipGetPenDashStyle, nativePen);
}
Status TGPPen::SetDashStyle(DashStyle dashStyle)
{
    return SetStatus(GdiplusApi.GdipSetPenDashStyle(nativePen, dashStyle));
}
float TGPPen::GetDashOffset() const
{
    return QueryValue<float>(lastResult, 0.0f, GdiplusApi.GdipGetPenDashOffset, nativePen);
}
Status TGPPen::SetDashOffset(float dashOffset)
{
    return SetStatus(GdiplusApi.GdipSetPenDashOffset(nativePen, dashOffset));
}
Status TGPPen::SetDashPattern(const float* dashArray, int count)
{
    return SetStatus(GdiplusApi.GdipSetPenDashArray(nativePen, dashArray, count));
}
int TGPPen::GetDashPatternCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPenDashCount, nativePen);
}
Status TGPPen::GetDashPattern(float* dashArray, int count) const
{
    return SetStatus(GdiplusApi.GdipGetPenDashArray(nativePen, dashArray, count));
}
Status TGPPen::SetCompoundArray(const float* compoundArray, int count)
{
    return SetStatus(GdiplusApi.GdipSetPenCompoundArray(nativePen, compoundArray, count));
}
int TGPPen::GetCompoundArrayCount() const
{
    return QueryValue<int>(lastResult, 0, GdiplusApi.GdipGetPenCompoundCount, nativePen);
}
Status TGPPen::GetCompoundArray(float* compoundArray, int count) const
{
    if (count <= 0)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipGetPenCompoundArray(nativePen, compoundArray, count));
}

} // namespace LumGDIPlusClasses
