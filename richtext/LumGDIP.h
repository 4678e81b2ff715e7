#pragma once
// The statically bound GDI+ wrapper set used by the pictures, fills, smooth
// controls, drop-downs and tooltips: thin classes over the flat API, each
// owning one native object and reporting failures as a status (nothing
// raises), plus the shared colour helpers and the gradient fill routine.
// The run-time bound set has the same class names in another namespace.

#include <cstdint>
#include <vector>

#include "platform/gdiplus/Gdiplus.h"
#include "platform/vcl/Graphics.h"

namespace LumGDIP {

struct TGPPointF {
    float X { 0 };
    float Y { 0 };
};
struct TGPPoint {
    int X { 0 };
    int Y { 0 };
};
#pragma pack(push, 1)
struct TGPRectF {
    float X { 0 };
    float Y { 0 };
    float Width { 0 };
    float Height { 0 };
};
#pragma pack(pop)
struct TGPRect {
    int X { 0 };
    int Y { 0 };
    int Width { 0 };
    int Height { 0 };
};

enum TStatus : int {
    Ok, GenericError, InvalidParameter, OutOfMemory, ObjectBusy, InsufficientBuffer, NotImplemented, Win32Error,
    WrongState, Aborted, FileNotFound, ValueOverflow, AccessDenied, UnknownImageFormat, FontFamilyNotFound,
    FontStyleNotFound, NotTrueTypeFont, UnsupportedGdiplusVersion, GdiplusNotInitialized, PropertyNotFound,
    PropertyNotSupported
};

enum TextRenderingHint : int {
    TextRenderingHintSystemDefault, TextRenderingHintSingleBitPerPixelGridFit, TextRenderingHintSingleBitPerPixel,
    TextRenderingHintAntiAliasGridFit, TextRenderingHintAntiAlias, TextRenderingHintClearTypeGridFit
};

// The other enumerations of the flat API, 32 bits wide, in its numbering.
enum FillMode : int { FillModeAlternate, FillModeWinding };
enum MatrixOrder : int { MatrixOrderPrepend, MatrixOrderAppend };
enum WrapMode : int { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum Unit_ : int { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
enum DashStyle : int { DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot, DashStyleDashDotDot,
    DashStyleCustom };
using HatchStyle = int;
enum LinearGradientMode : int { LinearGradientModeHorizontal, LinearGradientModeVertical,
    LinearGradientModeForwardDiagonal, LinearGradientModeBackwardDiagonal };
enum StringAlignment : int { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum StringTrimming : int { StringTrimmingNone, StringTrimmingCharacter, StringTrimmingWord,
    StringTrimmingEllipsisCharacter, StringTrimmingEllipsisWord, StringTrimmingEllipsisPath };
enum HotkeyPrefix : int { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum ColorAdjustType : int { ColorAdjustTypeDefault, ColorAdjustTypeBitmap, ColorAdjustTypeBrush,
    ColorAdjustTypePen, ColorAdjustTypeText };
enum ColorMatrixFlags : int { ColorMatrixFlagsDefault, ColorMatrixFlagsSkipGrays, ColorMatrixFlagsAltGray };
enum ColorChannelFlags : int { ColorChannelFlagsC, ColorChannelFlagsM, ColorChannelFlagsY, ColorChannelFlagsK };
enum CombineMode : int { CombineModeReplace, CombineModeIntersect, CombineModeUnion, CombineModeXor,
    CombineModeExclude, CombineModeComplement };
enum FlushIntention : int { FlushIntentionFlush, FlushIntentionSync };
using RotateFlipType = int;
using SmoothingMode = int;
using CompositingQuality = int;
using PenType = int;

enum TGPImageFormat { ifUndefined, ifMemoryBMP, ifBMP, ifEMF, ifWMF, ifJPEG, ifPNG, ifGIF, ifTIFF, ifEXIF, ifIcon };

enum TLumGradientType : std::int32_t {
    gtSolid, gtRadial, gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal, gtAngle, gtHatch, gtPath,
    gtTexture, gtNone
};

using TColorMatrix = ColorMatrix;
using TImageAbort = int (*)(void*);

// The root of the set. Wrappers own their native object and are not copied.
class TGdiplusBase {
public:
    TGdiplusBase();
    virtual ~TGdiplusBase() = default;
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;
};

class TGPMatrix;
class TGPBrush;
class TGPPen;
class TGPImage;
class TGPFont;
class TGPFontFamily;
class TGPFontCollection;
class TGPStringFormat;
class TGPGraphicsPath;
class TGPImageAttributes;

class TGPRegion : public TGdiplusBase {
public:
    explicit TGPRegion(const TGPRectF& rect);
    explicit TGPRegion(const TGPGraphicsPath* path);
    ~TGPRegion() override;
    TStatus Exclude(const TGPGraphicsPath* path);
    TStatus Union(const TGPRegion* region);

    GpRegion* nativeRegion { nullptr };
    TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status);
};

class TGPImageAttributes : public TGdiplusBase {
public:
    TGPImageAttributes();
    TGPImageAttributes(GpImageAttributes* imageAttr, TStatus status);
    ~TGPImageAttributes() override;
    TGPImageAttributes* Clone() const;
    TStatus SetToIdentity(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus Reset(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetColorMatrix(const TColorMatrix& colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
        ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearColorMatrix(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetColorMatrices(const TColorMatrix& colorMatrix, const TColorMatrix& grayMatrix,
        ColorMatrixFlags mode = ColorMatrixFlagsDefault, ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearColorMatrices(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetThreshold(float threshold, ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearThreshold(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetGamma(float gamma, ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearGamma(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetNoOp(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearNoOp(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearColorKey(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetOutputChannel(ColorChannelFlags channelFlags, ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearOutputChannel(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetOutputChannelColorProfile(const String& colorProfileFilename,
        ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearOutputChannelColorProfile(ColorAdjustType type_ = ColorAdjustTypeDefault);
    // `map` holds pairs of (old, new) ARGB colours.
    TStatus SetRemapTable(unsigned mapSize, const ARGB* map, ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus ClearRemapTable(ColorAdjustType type_ = ColorAdjustTypeDefault);
    TStatus SetBrushRemapTable(unsigned mapSize, const ARGB* map);
    TStatus ClearBrushRemapTable();
    TStatus SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000u, bool clamp = false);
    TStatus GetAdjustedPalette(void* colorPalette, ColorAdjustType colorAdjustType);
    TStatus GetLastStatus();

    GpImageAttributes* nativeImageAttr { nullptr };
    TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status);
};

class TGPFontCollection : public TGdiplusBase {
public:
    // The system's installed fonts (a null collection).
    TGPFontCollection() = default;
    ~TGPFontCollection() override = default;

    GpFontCollection* nativeFontCollection { nullptr };
    TStatus lastResult { Ok };
};

class TGPFontFamily : public TGdiplusBase {
public:
    TGPFontFamily() = default;
    TGPFontFamily(GpFontFamily* nativeOrig, TStatus status);
    explicit TGPFontFamily(const String& name, const TGPFontCollection* fontCollection = nullptr);
    ~TGPFontFamily() override;
    // At most 31 characters, as the flat API's name buffer holds 32.
    TStatus GetFamilyName(String& name, int language = 0) const;
    // Process-wide families, made on first use and never released.
    static TGPFontFamily* GenericSansSerif();
    static TGPFontFamily* GenericSerif();
    static TGPFontFamily* GenericMonospace();

    GpFontFamily* nativeFamily { nullptr };
    mutable TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status) const;
};

class TGPFont : public TGdiplusBase {
public:
    TGPFont(GpFont* font, TStatus status);
    TGPFont(const TGPFontFamily* family, float emSize, int style = Gdiplus::FontStyleRegular,
        Unit_ unit_ = UnitPoint);
    // From a family name in the collection, falling back to the generic sans-serif family.
    TGPFont(const String& familyName, float emSize, TFontStyles style = {}, Unit_ unit_ = UnitPoint,
        const TGPFontCollection* fontCollection = nullptr);
    ~TGPFont() override;
    int GetStyle() const;
    float GetSize() const;
    TStatus GetFamily(TGPFontFamily& family) const;

    GpFont* nativeFont { nullptr };
    mutable TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status) const;
};

class TGPBrush : public TGdiplusBase {
public:
    // A wrapper of no brush: its status is NotImplemented.
    TGPBrush();
    TGPBrush(GpBrush* nativeBrush, TStatus status);
    ~TGPBrush() override;

    GpBrush* nativeBrush { nullptr };
    mutable TStatus lastResult { Ok };

protected:
    struct TEmpty { };
    explicit TGPBrush(TEmpty) { }
    TStatus SetStatus(int status) const;
};

class TGPSolidBrush : public TGPBrush {
public:
    TGPSolidBrush() : TGPBrush(TEmpty {}) { }
    explicit TGPSolidBrush(ARGB color);
};

class TGPHatchBrush : public TGPBrush {
public:
    TGPHatchBrush() : TGPBrush(TEmpty {}) { }
    TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor = 0xFF000000u);
    HatchStyle GetHatchStyle() const;
    TStatus GetForegroundColor(ARGB& color) const;
    TStatus GetBackgroundColor(ARGB& color) const;
};

class TGPTextureBrush : public TGPBrush {
public:
    TGPTextureBrush() : TGPBrush(TEmpty {}) { }
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode = WrapModeTile);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRectF& dstRect);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRect& dstRect);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, float dstX, float dstY, float dstWidth,
        float dstHeight);
    TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, int dstX, int dstY, int dstWidth, int dstHeight);
    TGPTextureBrush(const TGPImage* image, const TGPRectF& dstRect, const TGPImageAttributes* imageAttributes);
    TGPTextureBrush(const TGPImage* image, const TGPRect& dstRect, const TGPImageAttributes* imageAttributes);
    TStatus ResetTransform();
    TStatus TranslateTransform(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    TStatus ScaleTransform(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    TStatus RotateTransform(float angle, MatrixOrder order = MatrixOrderPrepend);
    TStatus SetWrapMode(WrapMode wrapMode);
    WrapMode GetWrapMode() const;
    // A new wrapper the caller frees; nullptr when none could be made.
    TGPImage* GetImage() const;
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    TGPLinearGradientBrush() : TGPBrush() { }
    TGPLinearGradientBrush(const TGPPointF& point1, const TGPPointF& point2, ARGB color1, ARGB color2);
    TGPLinearGradientBrush(const TGPPoint& point1, const TGPPoint& point2, ARGB color1, ARGB color2);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, float angle,
        bool isAngleScalable = false);
    TGPLinearGradientBrush(const TGPRect& rect, ARGB color1, ARGB color2, float angle, bool isAngleScalable = false);
    TStatus SetGammaCorrection(bool useGammaCorrection);
    TStatus SetInterpolationColors(const ARGB* presetColors, const float* blendPositions, int count);
};

class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(const TGPGraphicsPath* path);
    TStatus SetInterpolationColors(const ARGB* presetColors, const float* blendPositions, int count);
    TStatus SetGammaCorrection(bool useGammaCorrection);
    TStatus SetWrapMode(WrapMode wrapMode);
    TStatus GetCenterColor(ARGB& color) const;
    TStatus SetCenterColor(ARGB color);
    int GetPointCount() const;
    TStatus GetSurroundColors(ARGB* colors, int& count) const;
    TStatus SetSurroundColors(const ARGB* colors, int& count);
    TStatus GetCenterPoint(TGPPointF& point) const;
    TStatus GetCenterPoint(TGPPoint& point) const;
    TStatus SetCenterPoint(const TGPPointF& point);
    TStatus SetCenterPoint(const TGPPoint& point);
};

class TGPPen : public TGdiplusBase {
public:
    TGPPen(ARGB color, float width = 1.0f);
    TGPPen(const TGPBrush* brush, float width = 1.0f);
    ~TGPPen() override;
    TStatus SetBrush(const TGPBrush* brush);
    // A new wrapper of the pen's fill, of the class its type calls for; the caller frees it.
    TGPBrush* GetBrush() const;
    PenType GetPenType() const;
    DashStyle GetDashStyle() const;
    TStatus SetDashStyle(DashStyle dashStyle);
    TStatus SetEndCap(int endCap);

    GpPen* nativePen { nullptr };
    mutable TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status) const;
};

class TGPStringFormat : public TGdiplusBase {
public:
    explicit TGPStringFormat(int formatFlags = 0, int language = 0);
    explicit TGPStringFormat(const TGPStringFormat* format);
    TGPStringFormat(GpStringFormat* clonedStringFormat, TStatus status);
    ~TGPStringFormat() override;
    TStatus SetAlignment(StringAlignment align);
    StringAlignment GetAlignment() const;
    TStatus SetLineAlignment(StringAlignment align);
    StringAlignment GetLineAlignment() const;
    TStatus SetFormatFlags(int flags);
    int GetFormatFlags() const;
    TStatus SetTrimming(StringTrimming trimming);
    StringTrimming GetTrimming() const;
    TStatus SetHotkeyPrefix(HotkeyPrefix hotkeyPrefix);
    HotkeyPrefix GetHotkeyPrefix() const;

    GpStringFormat* nativeFormat { nullptr };
    mutable TStatus lastError { Ok };

private:
    TStatus SetStatus(int status) const;
};

class TGPGraphicsPath : public TGdiplusBase {
public:
    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
    TGPGraphicsPath(const TGPPointF* points, const std::uint8_t* types, int count,
        FillMode fillMode = FillModeAlternate);
    explicit TGPGraphicsPath(GpPath* nativePath);
    ~TGPGraphicsPath() override;
    int GetPointCount() const;
    TStatus GetPathPoints(TGPPointF* points, int count) const;
    TStatus GetPathTypes(std::uint8_t* types, int count) const;
    TStatus GetBounds(TGPRectF& bounds, const TGPMatrix* matrix = nullptr, const TGPPen* pen = nullptr) const;
    TStatus Reset();
    TStatus CloseFigure();
    TStatus AddLine(const TGPPointF& pt1, const TGPPointF& pt2);
    TStatus AddLine(float x1, float y1, float x2, float y2);
    TStatus AddLines(const TGPPoint* points, int count);
    TStatus AddRectangle(const TGPRectF& rect);
    TStatus AddRectangle(const TGPRect& rect);
    TStatus AddArc(const TGPRectF& rect, float startAngle, float sweepAngle);
    TStatus AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    TStatus AddEllipse(const TGPRectF& rect);
    TStatus AddEllipse(float x, float y, float width, float height);
    TStatus AddPie(const TGPRectF& rect, float startAngle, float sweepAngle);
    TStatus AddPie(float x, float y, float width, float height, float startAngle, float sweepAngle);
    TStatus AddPolygon(const TGPPointF* points, int count);
    TStatus AddPolygon(const TGPPoint* points, int count);
    TStatus AddCurve(const TGPPointF* points, int count);
    TStatus AddCurve(const TGPPoint* points, int count);
    TStatus AddCurve(const TGPPoint* points, int count, float tension);
    TStatus AddBezier(const TGPPoint& pt1, const TGPPoint& pt2, const TGPPoint& pt3, const TGPPoint& pt4);
    TStatus AddBezier(const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3, const TGPPointF& pt4);
    TStatus AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4);
    TStatus AddString(const String& string_, int length, const TGPFontFamily* family, int style, float emSize,
        const TGPPointF& origin, const TGPStringFormat* format);
    TStatus AddString(const String& string_, int length, const TGPFontFamily* family, int style, float emSize,
        const TGPRectF& layoutRect, const TGPStringFormat* format);

    GpPath* nativePath { nullptr };
    mutable TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status) const;
};

class TGPImage : public TGdiplusBase {
public:
    TGPImage(const String& filename, bool useEmbeddedColorManagement = false);
    // The stream is read during the call only.
    TGPImage(IStream* stream, bool useEmbeddedColorManagement = false);
    TGPImage(GpImage* nativeImage, TStatus status);
    ~TGPImage() override;
    TGPImageFormat GetFormat() const;
    unsigned GetWidth() const;
    unsigned GetHeight() const;
    PixelFormat GetPixelFormat() const;
    unsigned GetPixelDepth() const;
    bool HasAlphaChannel() const;
    bool HasPalette() const;
    // A new image the caller frees; nullptr when none could be made.
    TGPImage* GetThumbnailImage(unsigned thumbWidth, unsigned thumbHeight, void* callback = nullptr,
        void* callbackData = nullptr) const;
    TStatus Save(const String& filename, const TGUID& clsidEncoder, const EncoderParameters* encoderParams = nullptr);
    TStatus Save(IStream* stream, const TGUID& clsidEncoder, const EncoderParameters* encoderParams = nullptr);
    TStatus SaveAdd(const EncoderParameters* encoderParams);
    TStatus SaveAdd(const TGPImage* newImage, const EncoderParameters* encoderParams);
    TStatus RotateFlip(RotateFlipType rotateFlipType);

    GpImage* nativeImage { nullptr };
    mutable TStatus lastResult { Ok };
    TStatus loadStatus { Ok };

protected:
    TGPImage() = default;
    TStatus SetStatus(int status) const;
};

class TGPBitmap : public TGPImage {
public:
    TGPBitmap(IStream* stream, bool useEmbeddedColorManagement = false);
    TGPBitmap(int width, int height, PixelFormat format = PixelFormat32bppARGB);
    explicit TGPBitmap(GpBitmap* nativeBitmap);
    // A new bitmap the caller frees.
    static TGPBitmap* FromStream(IStream* stream, bool useEmbeddedColorManagement = false);
    TStatus GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn);
    TStatus GetPixel(int x, int y, ARGB& color);
    TStatus SetPixel(int x, int y, ARGB color);

private:
    GpBitmap* Native() const { return static_cast<GpBitmap*>(nativeImage); }
};

class TGPMatrix : public TGdiplusBase {
public:
    TGPMatrix();
    TGPMatrix(float m11, float m12, float m21, float m22, float dx, float dy);
    // Maps the rectangle onto the parallelogram of three points.
    TGPMatrix(const TGPRectF& rect, const TGPPointF* dstplg);
    TGPMatrix(const TGPRect& rect, const TGPPoint* dstplg);
    explicit TGPMatrix(GpMatrix* nativeMatrix) : nativeMatrix(nativeMatrix) { }
    ~TGPMatrix() override;
    // A new matrix the caller frees; nullptr when the clone failed.
    TGPMatrix* Clone() const;
    TStatus GetElements(float* m) const;
    TStatus SetElements(float m11, float m12, float m21, float m22, float dx, float dy);
    float OffsetX() const;
    float OffsetY() const;
    TStatus Reset();
    TStatus Multiply(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    TStatus Translate(float offsetX, float offsetY, MatrixOrder order = MatrixOrderPrepend);
    TStatus Scale(float scaleX, float scaleY, MatrixOrder order = MatrixOrderPrepend);
    TStatus Rotate(float angle, MatrixOrder order = MatrixOrderPrepend);
    TStatus RotateAt(float angle, const TGPPointF& center, MatrixOrder order = MatrixOrderPrepend);
    TStatus Shear(float shearX, float shearY, MatrixOrder order = MatrixOrderPrepend);
    TStatus Invert();
    TStatus TransformPoints(TGPPointF* pts, int count = 1) const;
    TStatus TransformPoints(TGPPoint* pts, int count = 1) const;
    TStatus TransformVectors(TGPPointF* pts, int count = 1) const;
    TStatus TransformVectors(TGPPoint* pts, int count = 1) const;
    bool IsInvertible() const;
    bool IsIdentity() const;
    TStatus GetLastStatus();

    GpMatrix* nativeMatrix { nullptr };
    mutable TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status) const;
};

class TGPGraphics : public TGdiplusBase {
public:
    explicit TGPGraphics(HDC hdc);
    explicit TGPGraphics(TGPImage* image);
    ~TGPGraphics() override;
    // A new graphics object the caller frees.
    static TGPGraphics* FromImage(TGPImage* image);

    void Flush(FlushIntention intention = FlushIntentionFlush);
    TStatus Clear(ARGB color);
    HDC GetHDC();
    void ReleaseHDC(HDC hdc);
    TStatus SetTransform(const TGPMatrix* matrix);
    TStatus MultiplyTransform(const TGPMatrix* matrix, MatrixOrder order = MatrixOrderPrepend);
    TStatus TranslateTransform(float dx, float dy, MatrixOrder order = MatrixOrderPrepend);
    TStatus RotateTransform(float angle, MatrixOrder order = MatrixOrderPrepend);
    TStatus ScaleTransform(float sx, float sy, MatrixOrder order = MatrixOrderPrepend);
    TStatus ResetTransform();
    TStatus SetTextRenderingHint(TextRenderingHint newMode);
    TextRenderingHint GetTextRenderingHint();
    TStatus SetSmoothingMode(SmoothingMode smoothingMode);
    SmoothingMode GetSmoothingMode();
    TStatus SetCompositingQuality(CompositingQuality compositingQuality);
    CompositingQuality GetCompositingQuality();

    TStatus DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);
    TStatus FillPath(const TGPBrush* brush, const TGPGraphicsPath* path);
    TStatus FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
    TStatus FillRectangle(const TGPBrush* brush, float x, float y, float width, float height);
    TStatus FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count);
    TStatus FillPolygon(const TGPBrush* brush, const TGPPointF* points, int count, FillMode fillMode);
    TStatus FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count);
    TStatus FillPolygon(const TGPBrush* brush, const TGPPoint* points, int count, FillMode fillMode);
    TStatus FillEllipse(const TGPBrush* brush, const TGPRectF& rect);
    TStatus FillEllipse(const TGPBrush* brush, float x, float y, float width, float height);
    TStatus FillEllipse(const TGPBrush* brush, const TGPRect& rect);
    TStatus FillEllipse(const TGPBrush* brush, int x, int y, int width, int height);
    TStatus DrawEllipse(const TGPPen* pen, const TGPRectF& rect);
    TStatus DrawEllipse(const TGPPen* pen, float x, float y, float width, float height);
    TStatus DrawEllipse(const TGPPen* pen, const TGPRect& rect);
    TStatus DrawEllipse(const TGPPen* pen, int x, int y, int width, int height);
    TStatus DrawRectangle(const TGPPen* pen, const TGPRectF& rect);
    TStatus DrawRectangle(const TGPPen* pen, float x, float y, float width, float height);
    TStatus DrawLine(const TGPPen* pen, float x1, float y1, float x2, float y2);
    TStatus DrawArc(const TGPPen* pen, float x, float y, float width, float height, float startAngle,
        float sweepAngle);
    TStatus DrawArc(const TGPPen* pen, const TGPRectF& rect, float startAngle, float sweepAngle);
    TStatus DrawBezier(const TGPPen* pen, float x1, float y1, float x2, float y2, float x3, float y3, float x4,
        float y4);
    TStatus DrawBezier(const TGPPen* pen, const TGPPointF& pt1, const TGPPointF& pt2, const TGPPointF& pt3,
        const TGPPointF& pt4);
    TStatus DrawBeziers(const TGPPen* pen, const TGPPointF* points, int count);
    TStatus DrawImage(const TGPImage* image, int x, int y);
    TStatus DrawImage(const TGPImage* image, float x, float y, float width, float height);
    TStatus DrawImage(const TGPImage* image, const TGPRectF& rect);
    TStatus DrawImage(const TGPImage* image, const TGPRectF& destRect, float srcx, float srcy, float srcwidth,
        float srcheight, Unit_ srcUnit, const TGPImageAttributes* imageAttributes = nullptr,
        TImageAbort callback = nullptr, void* callbackData = nullptr);
    TStatus DrawImageRect(const TGPImage* image, int x, int y, int w, int h);
    // Rounds the rectangle to whole pixels (halves to even), so the image lands pixel-aligned.
    TStatus DrawImageRect(const TGPImage* image, const TGPRectF& ARect);
    TStatus SetClip(const TGPRegion* region, CombineMode combineMode = CombineModeReplace);
    TStatus SetClip(const TGPGraphicsPath* path, CombineMode combineMode = CombineModeReplace);
    TStatus ResetClip();
    TStatus ExcludeClip(const TGPRectF& rect);
    TStatus ExcludeClip(const TGPRegion* region);
    TStatus MeasureString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        TGPRectF& boundingBox);
    TStatus MeasureString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        const TGPStringFormat* stringFormat, TGPRectF& boundingBox, int* codepointsFitted = nullptr,
        int* linesFilled = nullptr);
    TStatus MeasureString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        const TGPStringFormat* stringFormat, TGPRectF& boundingBox);
    TStatus DrawString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        const TGPStringFormat* stringFormat, const TGPBrush* brush);
    TStatus DrawString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        const TGPBrush* brush);
    TStatus DrawString(const String& string_, int length, const TGPFont* font, const TGPPointF& origin,
        const TGPStringFormat* stringFormat, const TGPBrush* brush);
    TStatus DrawString(const String& string_, int length, const TGPFont* font, const TGPRectF& layoutRect,
        const TGPBrush* brush);

    // A new font of the platform font (size in points); the caller frees it.
    TGPFont* MakeFont(TFont* AFont);
    TGPFont* MakeFont(TFont* AFont, float ASize);
    // This graphics object's cached font, remade only when name, size or
    // style change; the caller must not free it.
    TGPFont* MakeFontEx(TFont* AFont);
    TGPFont* MakeFontEx(TFont* AFont, float ASize);
    int TextWidth(const String& string_, TFont* font);
    int TextHeight(const String& string_, TFont* font);
    // A platform-style text call: of `style` only DT_CALCRECT (0x400) is read.
    // Returns the height of the resulting rectangle.
    int DrawText(const String& string_, int len, TRect& rect, TFont* font, unsigned style,
        TColor bkColor = clNone);
    TStatus GetLastStatus();

    TGPFont* FCachedFont { nullptr };
    GpGraphics* nativeGraphics { nullptr };
    TStatus lastResult { Ok };

private:
    TStatus SetStatus(int status);
    String FCachedFontName;
};

// ---- colours and geometry ----

ARGB ToOpaqueARGB(TColor Color);
constexpr ARGB MakeARGB(Byte A, Byte R, Byte G, Byte B)
{
    return (ARGB(A) << 24) | (ARGB(R) << 16) | (ARGB(G) << 8) | ARGB(B);
}
ARGB MakeARGBFromColor(Byte Alpha, TColor Color);
constexpr ARGB MakeOpaqueARGB(Byte R, Byte G, Byte B) { return MakeARGB(255, R, G, B); }
constexpr Byte ARGBRed(ARGB c) { return Byte(c >> 16); }
constexpr Byte ARGBGreen(ARGB c) { return Byte(c >> 8); }
constexpr Byte ARGBBlue(ARGB c) { return Byte(c); }
constexpr TGPPoint MakeGPPoint(int X, int Y) { return { X, Y }; }
constexpr TGPPointF MakeGPPointF(float X, float Y) { return { X, Y }; }
constexpr TGPRectF MakeGPRectF(float X, float Y, float Width, float Height) { return { X, Y, Width, Height }; }
// Always true here: the notification hook of older systems is never needed.
constexpr bool IsWinVistaOrLater() { return true; }

// ---- gradient fill ----

class TLumGDIPPicture;

struct TGDIPGradientParams {
    TGPGraphics* Graphics { nullptr };
    TGPGraphicsPath* Path { nullptr };
    bool UsePath { false };
    TGPRectF R;
    TLumGradientType GradientType { gtSolid };
    TColor ColorFrom { clWhite };
    TColor ColorTo { clWhite };
    Byte OpacityFrom { 255 };
    Byte OpacityTo { 255 };
    ::LumGDIP::HatchStyle HatchStyle { 0 };
    std::int32_t Angle { 0 };
    TLumGDIPPicture* Texture { nullptr };
    TColor BorderColor { clNone };
    std::int32_t BorderWidth { 1 };
    DashStyle BorderStyle { DashStyleSolid };
    bool TopLine { false };
};

// Fills the path or rectangle and draws its outline in one call.
void DrawGDIPGradient(const TGDIPGradientParams& Params);

} // namespace LumGDIP
