#pragma once
// The run-time binding of the GDI+ flat API: one table of entries, filled by
// name when the library is loaded and emptied when it is freed, plus the
// records, enumerations and the root class that the wrapper classes of
// LumGDIPlusClasses hand to it. Native objects travel as untyped pointers.

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "platform/gdiplus/Gdiplus.h"

namespace LumGDIPlusApi {

// ---- records handed to the library by address ----

struct TGPPointF {
    float X { 0 };
    float Y { 0 };
};
struct TGPPoint {
    std::int32_t X { 0 };
    std::int32_t Y { 0 };
};
struct TGPSizeF {
    float Width { 0 };
    float Height { 0 };
};
struct TGPRectF {
    float X { 0 };
    float Y { 0 };
    float Width { 0 };
    float Height { 0 };
};
struct TGPRect {
    std::int32_t X { 0 };
    std::int32_t Y { 0 };
    std::int32_t Width { 0 };
    std::int32_t Height { 0 };
};
using PGPPointF = TGPPointF*;
using PGPPoint = TGPPoint*;
using PGPRectF = TGPRectF*;
using PGPRect = TGPRect*;
using ARGB = ::ARGB;
using PARGB = ARGB*;
using PROPID = std::uint32_t;

// Locked pixels; the library keeps bookkeeping of its own after the public fields.
using BitmapData = ::BitmapData;
using ColorMatrix = ::ColorMatrix;
using EncoderParameters = ::EncoderParameters;
using TMatrixArray = float[6];

struct PropertyItem {
    std::uint32_t id { 0 };
    std::uint32_t length { 0 };
    std::uint16_t type_ { 0 };
    void* value { nullptr };
};
using PPropertyItem = PropertyItem*;

struct ColorPalette {
    std::uint32_t Flags { 0 };
    std::uint32_t Count { 0 };
    ARGB Entries[1] {};
};
using PColorPalette = ColorPalette*;

struct ColorMap {
    ARGB oldColor { 0 };
    ARGB newColor { 0 };
};
using PColorMap = ColorMap*;

struct CharacterRange {
    std::int32_t First { 0 };
    std::int32_t Length { 0 };
};
using PCharacterRange = CharacterRange*;

// Returns non-zero to stop a long drawing or thumbnail call.
using ImageAbort = BOOL (*)(void* callbackData);

// ---- enumerations, 32 bits wide, with the library's values ----

enum Status : std::int32_t {
    Ok, GenericError, InvalidParameter, OutOfMemory, ObjectBusy, InsufficientBuffer, NotImplemented, Win32Error,
    WrongState, Aborted, FileNotFound, ValueOverflow, AccessDenied, UnknownImageFormat, FontFamilyNotFound,
    FontStyleNotFound, NotTrueTypeFont, UnsupportedGdiplusVersion, GdiplusNotInitialized, PropertyNotFound,
    PropertyNotSupported
};
enum FillMode : std::int32_t { FillModeAlternate, FillModeWinding };
enum CompositingMode : std::int32_t { CompositingModeSourceOver, CompositingModeSourceCopy };
enum Unit_ : std::int32_t { UnitWorld, UnitDisplay, UnitPixel, UnitPoint, UnitInch, UnitDocument, UnitMillimeter };
enum CoordinateSpace : std::int32_t { CoordinateSpaceWorld, CoordinateSpacePage, CoordinateSpaceDevice };
enum WrapMode : std::int32_t { WrapModeTile, WrapModeTileFlipX, WrapModeTileFlipY, WrapModeTileFlipXY, WrapModeClamp };
enum HatchStyle : std::int32_t {
    HatchStyleHorizontal, HatchStyleVertical, HatchStyleForwardDiagonal, HatchStyleBackwardDiagonal, HatchStyleCross,
    HatchStyleDiagonalCross, HatchStyle05Percent, HatchStyle10Percent, HatchStyle20Percent, HatchStyle25Percent,
    HatchStyle30Percent, HatchStyle40Percent, HatchStyle50Percent, HatchStyle60Percent, HatchStyle70Percent,
    HatchStyle75Percent, HatchStyle80Percent, HatchStyle90Percent, HatchStyleLightDownwardDiagonal,
    HatchStyleLightUpwardDiagonal, HatchStyleDarkDownwardDiagonal, HatchStyleDarkUpwardDiagonal,
    HatchStyleWideDownwardDiagonal, HatchStyleWideUpwardDiagonal, HatchStyleLightVertical, HatchStyleLightHorizontal,
    HatchStyleNarrowVertical, HatchStyleNarrowHorizontal, HatchStyleDarkVertical, HatchStyleDarkHorizontal,
    HatchStyleDashedDownwardDiagonal, HatchStyleDashedUpwardDiagonal, HatchStyleDashedHorizontal,
    HatchStyleDashedVertical, HatchStyleSmallConfetti, HatchStyleLargeConfetti, HatchStyleZigZag, HatchStyleWave,
    HatchStyleDiagonalBrick, HatchStyleHorizontalBrick, HatchStyleWeave, HatchStylePlaid, HatchStyleDivot,
    HatchStyleDottedGrid, HatchStyleDottedDiamond, HatchStyleShingle, HatchStyleTrellis, HatchStyleSphere,
    HatchStyleSmallGrid, HatchStyleSmallCheckerBoard, HatchStyleLargeCheckerBoard, HatchStyleOutlinedDiamond,
    HatchStyleSolidDiamond, HatchStyleTotal
};
enum DashStyle : std::int32_t { DashStyleSolid, DashStyleDash, DashStyleDot, DashStyleDashDot, DashStyleDashDotDot,
    DashStyleCustom };
enum LineJoin : std::int32_t { LineJoinMiter, LineJoinBevel, LineJoinRound, LineJoinMiterClipped };
enum WarpMode : std::int32_t { WarpModePerspective, WarpModeBilinear };
enum LinearGradientMode : std::int32_t { LinearGradientModeHorizontal, LinearGradientModeVertical,
    LinearGradientModeForwardDiagonal, LinearGradientModeBackwardDiagonal };
enum CombineMode : std::int32_t { CombineModeReplace, CombineModeIntersect, CombineModeUnion, CombineModeXor,
    CombineModeExclude, CombineModeComplement };
enum ImageType : std::int32_t { ImageTypeUnknown, ImageTypeBitmap, ImageTypeMetafile };
enum PenAlignment : std::int32_t { PenAlignmentCenter, PenAlignmentInset };
enum BrushType : std::int32_t { BrushTypeSolidColor, BrushTypeHatchFill, BrushTypeTextureFill, BrushTypePathGradient,
    BrushTypeLinearGradient };
enum MatrixOrder : std::int32_t { MatrixOrderPrepend, MatrixOrderAppend };
enum TextRenderingHint : std::int32_t { TextRenderingHintSystemDefault, TextRenderingHintSingleBitPerPixelGridFit,
    TextRenderingHintSingleBitPerPixel, TextRenderingHintAntiAliasGridFit, TextRenderingHintAntiAlias,
    TextRenderingHintClearTypeGridFit };
enum StringTrimming : std::int32_t { StringTrimmingNone, StringTrimmingCharacter, StringTrimmingWord,
    StringTrimmingEllipsisCharacter, StringTrimmingEllipsisWord, StringTrimmingEllipsisPath };
enum StringDigitSubstitute : std::int32_t { StringDigitSubstituteUser, StringDigitSubstituteNone,
    StringDigitSubstituteNational, StringDigitSubstituteTraditional };
enum HotkeyPrefix : std::int32_t { HotkeyPrefixNone, HotkeyPrefixShow, HotkeyPrefixHide };
enum StringAlignment : std::int32_t { StringAlignmentNear, StringAlignmentCenter, StringAlignmentFar };
enum FlushIntention : std::int32_t { FlushIntentionFlush, FlushIntentionSync };
enum RotateFlipType : std::int32_t { RotateNoneFlipNone, Rotate90FlipNone, Rotate180FlipNone, Rotate270FlipNone,
    RotateNoneFlipX, Rotate90FlipX, Rotate180FlipX, Rotate270FlipX };
enum ColorChannelFlags : std::int32_t { ColorChannelFlagsC, ColorChannelFlagsM, ColorChannelFlagsY, ColorChannelFlagsK,
    ColorChannelFlagsLast };
enum ColorMatrixFlags : std::int32_t { ColorMatrixFlagsDefault, ColorMatrixFlagsSkipGrays, ColorMatrixFlagsAltGray };
enum ColorAdjustType : std::int32_t { ColorAdjustTypeDefault, ColorAdjustTypeBitmap, ColorAdjustTypeBrush,
    ColorAdjustTypePen, ColorAdjustTypeText, ColorAdjustTypeCount, ColorAdjustTypeAny };

// Values that travel as plain integers.
enum : std::int32_t {
    FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2, FontStyleBoldItalic = 3, FontStyleUnderline = 4,
    FontStyleStrikeout = 8
};
enum : std::int32_t {
    LineCapFlat = 0, LineCapSquare = 1, LineCapRound = 2, LineCapTriangle = 3, LineCapNoAnchor = 0x10,
    LineCapSquareAnchor = 0x11, LineCapRoundAnchor = 0x12, LineCapDiamondAnchor = 0x13, LineCapArrowAnchor = 0x14,
    LineCapCustom = 0xFF
};
enum : std::int32_t { DashCapFlat = 0, DashCapRound = 2, DashCapTriangle = 3 };
enum : std::int32_t {
    PenTypeSolidColor = 0, PenTypeHatchFill = 1, PenTypeTextureFill = 2, PenTypePathGradient = 3,
    PenTypeLinearGradient = 4, PenTypeUnknown = -1
};
enum : std::int32_t {
    StringFormatFlagsDirectionRightToLeft = 0x1, StringFormatFlagsDirectionVertical = 0x2,
    StringFormatFlagsNoFitBlackBox = 0x4, StringFormatFlagsDisplayFormatControl = 0x20,
    StringFormatFlagsNoFontFallback = 0x400, StringFormatFlagsMeasureTrailingSpaces = 0x800,
    StringFormatFlagsNoWrap = 0x1000, StringFormatFlagsLineLimit = 0x2000, StringFormatFlagsNoClip = 0x4000
};
enum : std::int32_t {
    SmoothingModeInvalid = -1, SmoothingModeDefault = 0, SmoothingModeHighSpeed = 1, SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3, SmoothingModeAntiAlias = 4
};
enum : std::int32_t {
    InterpolationModeInvalid = -1, InterpolationModeDefault = 0, InterpolationModeLowQuality = 1,
    InterpolationModeHighQuality = 2, InterpolationModeBilinear = 3, InterpolationModeBicubic = 4,
    InterpolationModeNearestNeighbor = 5, InterpolationModeHighQualityBilinear = 6,
    InterpolationModeHighQualityBicubic = 7
};
enum : std::int32_t {
    PixelOffsetModeInvalid = -1, PixelOffsetModeDefault = 0, PixelOffsetModeHighSpeed = 1,
    PixelOffsetModeHighQuality = 2, PixelOffsetModeNone = 3, PixelOffsetModeHalf = 4
};
enum : std::int32_t {
    CompositingQualityInvalid = -1, CompositingQualityDefault = 0, CompositingQualityHighSpeed = 1,
    CompositingQualityHighQuality = 2, CompositingQualityGammaCorrected = 3, CompositingQualityAssumeLinear = 4
};
enum : std::int32_t {
    PixelFormat1bppIndexed = 0x00030101, PixelFormat4bppIndexed = 0x00030402, PixelFormat8bppIndexed = 0x00030803,
    PixelFormat16bppRGB555 = 0x00021005, PixelFormat16bppRGB565 = 0x00021006
};
using ::PixelFormat24bppRGB;
using ::PixelFormat32bppRGB;
using ::PixelFormat32bppARGB;
using ::PixelFormat32bppPARGB;
enum : std::uint32_t { ImageLockModeRead = 1, ImageLockModeWrite = 2, ImageLockModeUserInputBuf = 4 };

// ---- the entry table ----

// One entry: a function of the library, or null while it is not bound. A
// call through a null entry does nothing and answers GdiplusNotInitialized
// (or an empty value), so a missing library never crashes a wrapper.
template <class Sig> struct TGdiplusEntry;
template <class R, class... A> struct TGdiplusEntry<R(A...)> {
    using Function = R (*)(A...);
    Function Fn { nullptr };

    explicit operator bool() const { return Fn != nullptr; }
    R operator()(A... a) const
    {
        if (Fn)
            return Fn(a...);
        if constexpr (std::is_same_v<R, Status>)
            return GdiplusNotInitialized;
        else if constexpr (!std::is_void_v<R>)
            return R {};
    }
};

// Every flat function the wrappers may call, in table order.
#define QT_GDIPLUS_FLAT_API(X) \
    X(GdipAlloc, void*(std::size_t)) \
    X(GdipFree, void(void*)) \
    X(GdiplusStartup, Status(std::uintptr_t*, const GdiplusStartupInput*, GdiplusStartupOutput*)) \
    X(GdiplusShutdown, void(std::uintptr_t)) \
    X(GdipCreatePath, Status(FillMode, void**)) \
    X(GdipCreatePath2, Status(const TGPPointF*, const BYTE*, int, FillMode, void**)) \
    X(GdipCreatePath2I, Status(const TGPPoint*, const BYTE*, int, FillMode, void**)) \
    X(GdipClonePath, Status(void*, void**)) \
    X(GdipDeletePath, Status(void*)) \
    X(GdipResetPath, Status(void*)) \
    X(GdipGetPointCount, Status(void*, int*)) \
    X(GdipGetPathTypes, Status(void*, BYTE*, int)) \
    X(GdipGetPathPoints, Status(void*, TGPPointF*, int)) \
    X(GdipGetPathPointsI, Status(void*, TGPPoint*, int)) \
    X(GdipGetPathFillMode, Status(void*, FillMode*)) \
    X(GdipSetPathFillMode, Status(void*, FillMode)) \
    X(GdipGetPathData, Status(void*, void*)) \
    X(GdipStartPathFigure, Status(void*)) \
    X(GdipClosePathFigure, Status(void*)) \
    X(GdipClosePathFigures, Status(void*)) \
    X(GdipSetPathMarker, Status(void*)) \
    X(GdipClearPathMarkers, Status(void*)) \
    X(GdipReversePath, Status(void*)) \
    X(GdipGetPathLastPoint, Status(void*, TGPPointF*)) \
    X(GdipAddPathLine, Status(void*, float, float, float, float)) \
    X(GdipAddPathLine2, Status(void*, const TGPPointF*, int)) \
    X(GdipAddPathArc, Status(void*, float, float, float, float, float, float)) \
    X(GdipAddPathBezier, Status(void*, float, float, float, float, float, float, float, float)) \
    X(GdipAddPathBeziers, Status(void*, const TGPPointF*, int)) \
    X(GdipAddPathCurve, Status(void*, const TGPPointF*, int)) \
    X(GdipAddPathCurve2, Status(void*, const TGPPointF*, int, float)) \
    X(GdipAddPathCurve3, Status(void*, const TGPPointF*, int, int, int, float)) \
    X(GdipAddPathClosedCurve, Status(void*, const TGPPointF*, int)) \
    X(GdipAddPathClosedCurve2, Status(void*, const TGPPointF*, int, float)) \
    X(GdipAddPathRectangle, Status(void*, float, float, float, float)) \
    X(GdipAddPathRectangles, Status(void*, const TGPRectF*, int)) \
    X(GdipAddPathEllipse, Status(void*, float, float, float, float)) \
    X(GdipAddPathPie, Status(void*, float, float, float, float, float, float)) \
    X(GdipAddPathPolygon, Status(void*, const TGPPointF*, int)) \
    X(GdipAddPathPath, Status(void*, const void*, BOOL)) \
    X(GdipAddPathString, Status(void*, const char16_t*, int, const void*, int, float, const TGPRectF*, const void*)) \
    X(GdipAddPathStringI, Status(void*, const char16_t*, int, const void*, int, float, const TGPRect*, const void*)) \
    X(GdipAddPathLineI, Status(void*, int, int, int, int)) \
    X(GdipAddPathLine2I, Status(void*, const TGPPoint*, int)) \
    X(GdipAddPathArcI, Status(void*, int, int, int, int, float, float)) \
    X(GdipAddPathBezierI, Status(void*, int, int, int, int, int, int, int, int)) \
    X(GdipAddPathBeziersI, Status(void*, const TGPPoint*, int)) \
    X(GdipAddPathCurveI, Status(void*, const TGPPoint*, int)) \
    X(GdipAddPathCurve2I, Status(void*, const TGPPoint*, int, float)) \
    X(GdipAddPathCurve3I, Status(void*, const TGPPoint*, int, int, int, float)) \
    X(GdipAddPathClosedCurveI, Status(void*, const TGPPoint*, int)) \
    X(GdipAddPathClosedCurve2I, Status(void*, const TGPPoint*, int, float)) \
    X(GdipAddPathRectangleI, Status(void*, int, int, int, int)) \
    X(GdipAddPathRectanglesI, Status(void*, const TGPRect*, int)) \
    X(GdipAddPathEllipseI, Status(void*, int, int, int, int)) \
    X(GdipAddPathPieI, Status(void*, int, int, int, int, float, float)) \
    X(GdipAddPathPolygonI, Status(void*, const TGPPoint*, int)) \
    X(GdipFlattenPath, Status(void*, void*, float)) \
    X(GdipWindingModeOutline, Status(void*, void*, float)) \
    X(GdipWidenPath, Status(void*, void*, void*, float)) \
    X(GdipWarpPath, Status(void*, void*, const TGPPointF*, int, float, float, float, float, WarpMode, float)) \
    X(GdipTransformPath, Status(void*, void*)) \
    X(GdipGetPathWorldBounds, Status(void*, TGPRectF*, const void*, const void*)) \
    X(GdipGetPathWorldBoundsI, Status(void*, TGPRect*, const void*, const void*)) \
    X(GdipIsVisiblePathPoint, Status(void*, float, float, void*, BOOL*)) \
    X(GdipIsVisiblePathPointI, Status(void*, int, int, void*, BOOL*)) \
    X(GdipIsOutlineVisiblePathPoint, Status(void*, float, float, void*, void*, BOOL*)) \
    X(GdipIsOutlineVisiblePathPointI, Status(void*, int, int, void*, void*, BOOL*)) \
    X(GdipCreatePathIter, Status(void**, void*)) \
    X(GdipDeletePathIter, Status(void*)) \
    X(GdipPathIterNextSubpath, Status(void*, int*, int*, int*, BOOL*)) \
    X(GdipPathIterNextSubpathPath, Status(void*, int*, void*, BOOL*)) \
    X(GdipPathIterNextPathType, Status(void*, int*, BYTE*, int*, int*)) \
    X(GdipPathIterNextMarker, Status(void*, int*, int*, int*)) \
    X(GdipPathIterNextMarkerPath, Status(void*, int*, void*)) \
    X(GdipPathIterGetCount, Status(void*, int*)) \
    X(GdipPathIterGetSubpathCount, Status(void*, int*)) \
    X(GdipPathIterIsValid, Status(void*, BOOL*)) \
    X(GdipPathIterHasCurve, Status(void*, BOOL*)) \
    X(GdipPathIterRewind, Status(void*)) \
    X(GdipPathIterEnumerate, Status(void*, int*, TGPPointF*, BYTE*, int)) \
    X(GdipPathIterCopyData, Status(void*, int*, TGPPointF*, BYTE*, int, int)) \
    X(GdipCreateMatrix, Status(void**)) \
    X(GdipCreateMatrix2, Status(float, float, float, float, float, float, void**)) \
    X(GdipCreateMatrix3, Status(const TGPRectF*, const TGPPointF*, void**)) \
    X(GdipCreateMatrix3I, Status(const TGPRect*, const TGPPoint*, void**)) \
    X(GdipCloneMatrix, Status(void*, void**)) \
    X(GdipDeleteMatrix, Status(void*)) \
    X(GdipSetMatrixElements, Status(void*, float, float, float, float, float, float)) \
    X(GdipMultiplyMatrix, Status(void*, void*, MatrixOrder)) \
    X(GdipTranslateMatrix, Status(void*, float, float, MatrixOrder)) \
    X(GdipScaleMatrix, Status(void*, float, float, MatrixOrder)) \
    X(GdipRotateMatrix, Status(void*, float, MatrixOrder)) \
    X(GdipShearMatrix, Status(void*, float, float, MatrixOrder)) \
    X(GdipInvertMatrix, Status(void*)) \
    X(GdipTransformMatrixPoints, Status(void*, TGPPointF*, int)) \
    X(GdipTransformMatrixPointsI, Status(void*, TGPPoint*, int)) \
    X(GdipVectorTransformMatrixPoints, Status(void*, TGPPointF*, int)) \
    X(GdipVectorTransformMatrixPointsI, Status(void*, TGPPoint*, int)) \
    X(GdipGetMatrixElements, Status(const void*, float*)) \
    X(GdipIsMatrixInvertible, Status(const void*, BOOL*)) \
    X(GdipIsMatrixIdentity, Status(const void*, BOOL*)) \
    X(GdipIsMatrixEqual, Status(const void*, const void*, BOOL*)) \
    X(GdipCreateRegion, Status(void**)) \
    X(GdipCreateRegionRect, Status(const TGPRectF*, void**)) \
    X(GdipCreateRegionRectI, Status(const TGPRect*, void**)) \
    X(GdipCreateRegionPath, Status(void*, void**)) \
    X(GdipCreateRegionRgnData, Status(const BYTE*, int, void**)) \
    X(GdipCreateRegionHrgn, Status(HRGN, void**)) \
    X(GdipCloneRegion, Status(void*, void**)) \
    X(GdipDeleteRegion, Status(void*)) \
    X(GdipSetInfinite, Status(void*)) \
    X(GdipSetEmpty, Status(void*)) \
    X(GdipCombineRegionRect, Status(void*, const TGPRectF*, CombineMode)) \
    X(GdipCombineRegionRectI, Status(void*, const TGPRect*, CombineMode)) \
    X(GdipCombineRegionPath, Status(void*, void*, CombineMode)) \
    X(GdipCombineRegionRegion, Status(void*, void*, CombineMode)) \
    X(GdipTranslateRegion, Status(void*, float, float)) \
    X(GdipTranslateRegionI, Status(void*, int, int)) \
    X(GdipTransformRegion, Status(void*, void*)) \
    X(GdipGetRegionBounds, Status(void*, void*, TGPRectF*)) \
    X(GdipGetRegionBoundsI, Status(void*, void*, TGPRect*)) \
    X(GdipGetRegionHRgn, Status(void*, void*, HRGN*)) \
    X(GdipIsEmptyRegion, Status(void*, void*, BOOL*)) \
    X(GdipIsInfiniteRegion, Status(void*, void*, BOOL*)) \
    X(GdipIsEqualRegion, Status(void*, void*, void*, BOOL*)) \
    X(GdipGetRegionDataSize, Status(void*, UINT*)) \
    X(GdipGetRegionData, Status(void*, BYTE*, UINT, UINT*)) \
    X(GdipIsVisibleRegionPoint, Status(void*, float, float, void*, BOOL*)) \
    X(GdipIsVisibleRegionPointI, Status(void*, int, int, void*, BOOL*)) \
    X(GdipIsVisibleRegionRect, Status(void*, float, float, float, float, void*, BOOL*)) \
    X(GdipIsVisibleRegionRectI, Status(void*, int, int, int, int, void*, BOOL*)) \
    X(GdipGetRegionScansCount, Status(void*, UINT*, void*)) \
    X(GdipGetRegionScans, Status(void*, TGPRectF*, int*, void*)) \
    X(GdipGetRegionScansI, Status(void*, TGPRect*, int*, void*)) \
    X(GdipCloneBrush, Status(void*, void**)) \
    X(GdipDeleteBrush, Status(void*)) \
    X(GdipGetBrushType, Status(void*, BrushType*)) \
    X(GdipCreateHatchBrush, Status(HatchStyle, ARGB, ARGB, void**)) \
    X(GdipGetHatchStyle, Status(void*, HatchStyle*)) \
    X(GdipGetHatchForegroundColor, Status(void*, ARGB*)) \
    X(GdipGetHatchBackgroundColor, Status(void*, ARGB*)) \
    X(GdipCreateTexture, Status(void*, WrapMode, void**)) \
    X(GdipCreateTexture2, Status(void*, WrapMode, float, float, float, float, void**)) \
    X(GdipCreateTextureIA, Status(void*, const void*, float, float, float, float, void**)) \
    X(GdipCreateTexture2I, Status(void*, WrapMode, int, int, int, int, void**)) \
    X(GdipCreateTextureIAI, Status(void*, const void*, int, int, int, int, void**)) \
    X(GdipGetTextureTransform, Status(void*, void*)) \
    X(GdipSetTextureTransform, Status(void*, const void*)) \
    X(GdipResetTextureTransform, Status(void*)) \
    X(GdipMultiplyTextureTransform, Status(void*, const void*, MatrixOrder)) \
    X(GdipTranslateTextureTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipScaleTextureTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipRotateTextureTransform, Status(void*, float, MatrixOrder)) \
    X(GdipSetTextureWrapMode, Status(void*, WrapMode)) \
    X(GdipGetTextureWrapMode, Status(void*, WrapMode*)) \
    X(GdipGetTextureImage, Status(void*, void**)) \
    X(GdipCreateSolidFill, Status(ARGB, void**)) \
    X(GdipSetSolidFillColor, Status(void*, ARGB)) \
    X(GdipGetSolidFillColor, Status(void*, ARGB*)) \
    X(GdipCreateLineBrush, Status(const TGPPointF*, const TGPPointF*, ARGB, ARGB, WrapMode, void**)) \
    X(GdipCreateLineBrushI, Status(const TGPPoint*, const TGPPoint*, ARGB, ARGB, WrapMode, void**)) \
    X(GdipCreateLineBrushFromRect, Status(const TGPRectF*, ARGB, ARGB, LinearGradientMode, WrapMode, void**)) \
    X(GdipCreateLineBrushFromRectI, Status(const TGPRect*, ARGB, ARGB, LinearGradientMode, WrapMode, void**)) \
    X(GdipCreateLineBrushFromRectWithAngle, Status(const TGPRectF*, ARGB, ARGB, float, BOOL, WrapMode, void**)) \
    X(GdipCreateLineBrushFromRectWithAngleI, Status(const TGPRect*, ARGB, ARGB, float, BOOL, WrapMode, void**)) \
    X(GdipSetLineColors, Status(void*, ARGB, ARGB)) \
    X(GdipGetLineColors, Status(void*, ARGB*)) \
    X(GdipGetLineRect, Status(void*, TGPRectF*)) \
    X(GdipGetLineRectI, Status(void*, TGPRect*)) \
    X(GdipSetLineGammaCorrection, Status(void*, BOOL)) \
    X(GdipGetLineGammaCorrection, Status(void*, BOOL*)) \
    X(GdipGetLineBlendCount, Status(void*, int*)) \
    X(GdipGetLineBlend, Status(void*, float*, float*, int)) \
    X(GdipSetLineBlend, Status(void*, const float*, const float*, int)) \
    X(GdipGetLinePresetBlendCount, Status(void*, int*)) \
    X(GdipGetLinePresetBlend, Status(void*, ARGB*, float*, int)) \
    X(GdipSetLinePresetBlend, Status(void*, const ARGB*, const float*, int)) \
    X(GdipSetLineSigmaBlend, Status(void*, float, float)) \
    X(GdipSetLineLinearBlend, Status(void*, float, float)) \
    X(GdipSetLineWrapMode, Status(void*, WrapMode)) \
    X(GdipGetLineWrapMode, Status(void*, WrapMode*)) \
    X(GdipGetLineTransform, Status(void*, void*)) \
    X(GdipSetLineTransform, Status(void*, const void*)) \
    X(GdipResetLineTransform, Status(void*)) \
    X(GdipMultiplyLineTransform, Status(void*, const void*, MatrixOrder)) \
    X(GdipTranslateLineTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipScaleLineTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipRotateLineTransform, Status(void*, float, MatrixOrder)) \
    X(GdipCreatePathGradient, Status(const TGPPointF*, int, WrapMode, void**)) \
    X(GdipCreatePathGradientI, Status(const TGPPoint*, int, WrapMode, void**)) \
    X(GdipCreatePathGradientFromPath, Status(const void*, void**)) \
    X(GdipGetPathGradientCenterColor, Status(void*, ARGB*)) \
    X(GdipSetPathGradientCenterColor, Status(void*, ARGB)) \
    X(GdipGetPathGradientSurroundColorsWithCount, Status(void*, ARGB*, int*)) \
    X(GdipSetPathGradientSurroundColorsWithCount, Status(void*, const ARGB*, int*)) \
    X(GdipGetPathGradientPath, Status(void*, void*)) \
    X(GdipSetPathGradientPath, Status(void*, const void*)) \
    X(GdipGetPathGradientCenterPoint, Status(void*, TGPPointF*)) \
    X(GdipGetPathGradientCenterPointI, Status(void*, TGPPoint*)) \
    X(GdipSetPathGradientCenterPoint, Status(void*, const TGPPointF*)) \
    X(GdipSetPathGradientCenterPointI, Status(void*, const TGPPoint*)) \
    X(GdipGetPathGradientRect, Status(void*, TGPRectF*)) \
    X(GdipGetPathGradientRectI, Status(void*, TGPRect*)) \
    X(GdipGetPathGradientPointCount, Status(void*, int*)) \
    X(GdipGetPathGradientSurroundColorCount, Status(void*, int*)) \
    X(GdipSetPathGradientGammaCorrection, Status(void*, BOOL)) \
    X(GdipGetPathGradientGammaCorrection, Status(void*, BOOL*)) \
    X(GdipGetPathGradientBlendCount, Status(void*, int*)) \
    X(GdipGetPathGradientBlend, Status(void*, float*, float*, int)) \
    X(GdipSetPathGradientBlend, Status(void*, const float*, const float*, int)) \
    X(GdipGetPathGradientPresetBlendCount, Status(void*, int*)) \
    X(GdipGetPathGradientPresetBlend, Status(void*, ARGB*, float*, int)) \
    X(GdipSetPathGradientPresetBlend, Status(void*, const ARGB*, const float*, int)) \
    X(GdipSetPathGradientSigmaBlend, Status(void*, float, float)) \
    X(GdipSetPathGradientLinearBlend, Status(void*, float, float)) \
    X(GdipGetPathGradientWrapMode, Status(void*, WrapMode*)) \
    X(GdipSetPathGradientWrapMode, Status(void*, WrapMode)) \
    X(GdipGetPathGradientTransform, Status(void*, void*)) \
    X(GdipSetPathGradientTransform, Status(void*, void*)) \
    X(GdipResetPathGradientTransform, Status(void*)) \
    X(GdipMultiplyPathGradientTransform, Status(void*, const void*, MatrixOrder)) \
    X(GdipTranslatePathGradientTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipScalePathGradientTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipRotatePathGradientTransform, Status(void*, float, MatrixOrder)) \
    X(GdipGetPathGradientFocusScales, Status(void*, float*, float*)) \
    X(GdipSetPathGradientFocusScales, Status(void*, float, float)) \
    X(GdipCreatePen1, Status(ARGB, float, Unit_, void**)) \
    X(GdipCreatePen2, Status(void*, float, Unit_, void**)) \
    X(GdipClonePen, Status(void*, void**)) \
    X(GdipDeletePen, Status(void*)) \
    X(GdipSetPenWidth, Status(void*, float)) \
    X(GdipGetPenWidth, Status(void*, float*)) \
    X(GdipSetPenUnit, Status(void*, Unit_)) \
    X(GdipGetPenUnit, Status(void*, Unit_*)) \
    X(GdipSetPenLineCap197819, Status(void*, int, int, int)) \
    X(GdipSetPenStartCap, Status(void*, int)) \
    X(GdipSetPenEndCap, Status(void*, int)) \
    X(GdipSetPenDashCap197819, Status(void*, int)) \
    X(GdipGetPenStartCap, Status(void*, int*)) \
    X(GdipGetPenEndCap, Status(void*, int*)) \
    X(GdipGetPenDashCap197819, Status(void*, int*)) \
    X(GdipSetPenLineJoin, Status(void*, LineJoin)) \
    X(GdipGetPenLineJoin, Status(void*, LineJoin*)) \
    X(GdipSetPenCustomStartCap, Status(void*, void*)) \
    X(GdipGetPenCustomStartCap, Status(void*, void**)) \
    X(GdipSetPenCustomEndCap, Status(void*, void*)) \
    X(GdipGetPenCustomEndCap, Status(void*, void**)) \
    X(GdipSetPenMiterLimit, Status(void*, float)) \
    X(GdipGetPenMiterLimit, Status(void*, float*)) \
    X(GdipSetPenMode, Status(void*, PenAlignment)) \
    X(GdipGetPenMode, Status(void*, PenAlignment*)) \
    X(GdipSetPenTransform, Status(void*, void*)) \
    X(GdipGetPenTransform, Status(void*, void*)) \
    X(GdipResetPenTransform, Status(void*)) \
    X(GdipMultiplyPenTransform, Status(void*, const void*, MatrixOrder)) \
    X(GdipTranslatePenTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipScalePenTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipRotatePenTransform, Status(void*, float, MatrixOrder)) \
    X(GdipSetPenColor, Status(void*, ARGB)) \
    X(GdipGetPenColor, Status(void*, ARGB*)) \
    X(GdipSetPenBrushFill, Status(void*, void*)) \
    X(GdipGetPenBrushFill, Status(void*, void**)) \
    X(GdipGetPenFillType, Status(void*, int*)) \
    X(GdipGetPenDashStyle, Status(void*, DashStyle*)) \
    X(GdipSetPenDashStyle, Status(void*, DashStyle)) \
    X(GdipGetPenDashOffset, Status(void*, float*)) \
    X(GdipSetPenDashOffset, Status(void*, float)) \
    X(GdipGetPenDashCount, Status(void*, int*)) \
    X(GdipSetPenDashArray, Status(void*, const float*, int)) \
    X(GdipGetPenDashArray, Status(void*, float*, int)) \
    X(GdipGetPenCompoundCount, Status(void*, int*)) \
    X(GdipSetPenCompoundArray, Status(void*, const float*, int)) \
    X(GdipGetPenCompoundArray, Status(void*, float*, int)) \
    X(GdipCreateCustomLineCap, Status(void*, void*, int, float, void**)) \
    X(GdipDeleteCustomLineCap, Status(void*)) \
    X(GdipCloneCustomLineCap, Status(void*, void**)) \
    X(GdipGetCustomLineCapType, Status(void*, int*)) \
    X(GdipSetCustomLineCapStrokeCaps, Status(void*, int, int)) \
    X(GdipGetCustomLineCapStrokeCaps, Status(void*, int*, int*)) \
    X(GdipSetCustomLineCapStrokeJoin, Status(void*, LineJoin)) \
    X(GdipGetCustomLineCapStrokeJoin, Status(void*, LineJoin*)) \
    X(GdipSetCustomLineCapBaseCap, Status(void*, int)) \
    X(GdipGetCustomLineCapBaseCap, Status(void*, int*)) \
    X(GdipSetCustomLineCapBaseInset, Status(void*, float)) \
    X(GdipGetCustomLineCapBaseInset, Status(void*, float*)) \
    X(GdipSetCustomLineCapWidthScale, Status(void*, float)) \
    X(GdipGetCustomLineCapWidthScale, Status(void*, float*)) \
    X(GdipCreateAdjustableArrowCap, Status(float, float, BOOL, void**)) \
    X(GdipSetAdjustableArrowCapHeight, Status(void*, float)) \
    X(GdipGetAdjustableArrowCapHeight, Status(void*, float*)) \
    X(GdipSetAdjustableArrowCapWidth, Status(void*, float)) \
    X(GdipGetAdjustableArrowCapWidth, Status(void*, float*)) \
    X(GdipSetAdjustableArrowCapMiddleInset, Status(void*, float)) \
    X(GdipGetAdjustableArrowCapMiddleInset, Status(void*, float*)) \
    X(GdipSetAdjustableArrowCapFillState, Status(void*, BOOL)) \
    X(GdipGetAdjustableArrowCapFillState, Status(void*, BOOL*)) \
    X(GdipLoadImageFromStream, Status(IStream*, void**)) \
    X(GdipLoadImageFromFile, Status(const char16_t*, void**)) \
    X(GdipLoadImageFromStreamICM, Status(IStream*, void**)) \
    X(GdipLoadImageFromFileICM, Status(const char16_t*, void**)) \
    X(GdipCloneImage, Status(void*, void**)) \
    X(GdipDisposeImage, Status(void*)) \
    X(GdipSaveImageToFile, Status(void*, const char16_t*, const TGUID*, const EncoderParameters*)) \
    X(GdipSaveImageToStream, Status(void*, IStream*, const TGUID*, const EncoderParameters*)) \
    X(GdipSaveAdd, Status(void*, const EncoderParameters*)) \
    X(GdipSaveAddImage, Status(void*, void*, const EncoderParameters*)) \
    X(GdipGetImageGraphicsContext, Status(void*, void**)) \
    X(GdipGetImageBounds, Status(void*, TGPRectF*, Unit_*)) \
    X(GdipGetImageDimension, Status(void*, float*, float*)) \
    X(GdipGetImageType, Status(void*, ImageType*)) \
    X(GdipGetImageWidth, Status(void*, UINT*)) \
    X(GdipGetImageHeight, Status(void*, UINT*)) \
    X(GdipGetImageHorizontalResolution, Status(void*, float*)) \
    X(GdipGetImageVerticalResolution, Status(void*, float*)) \
    X(GdipGetImageFlags, Status(void*, UINT*)) \
    X(GdipGetImageRawFormat, Status(void*, TGUID*)) \
    X(GdipGetImagePixelFormat, Status(void*, int*)) \
    X(GdipGetImageThumbnail, Status(void*, UINT, UINT, void**, ImageAbort, void*)) \
    X(GdipGetEncoderParameterListSize, Status(void*, const TGUID*, UINT*)) \
    X(GdipGetEncoderParameterList, Status(void*, const TGUID*, UINT, EncoderParameters*)) \
    X(GdipImageGetFrameDimensionsCount, Status(void*, UINT*)) \
    X(GdipImageGetFrameDimensionsList, Status(void*, TGUID*, UINT)) \
    X(GdipImageGetFrameCount, Status(void*, const TGUID*, UINT*)) \
    X(GdipImageSelectActiveFrame, Status(void*, const TGUID*, UINT)) \
    X(GdipImageRotateFlip, Status(void*, RotateFlipType)) \
    X(GdipGetImagePalette, Status(void*, ColorPalette*, int)) \
    X(GdipSetImagePalette, Status(void*, const ColorPalette*)) \
    X(GdipGetImagePaletteSize, Status(void*, int*)) \
    X(GdipGetPropertyCount, Status(void*, UINT*)) \
    X(GdipGetPropertyIdList, Status(void*, UINT, PROPID*)) \
    X(GdipGetPropertyItemSize, Status(void*, PROPID, UINT*)) \
    X(GdipGetPropertyItem, Status(void*, PROPID, UINT, PropertyItem*)) \
    X(GdipGetPropertySize, Status(void*, UINT*, UINT*)) \
    X(GdipGetAllPropertyItems, Status(void*, UINT, UINT, PropertyItem*)) \
    X(GdipRemovePropertyItem, Status(void*, PROPID)) \
    X(GdipSetPropertyItem, Status(void*, const PropertyItem*)) \
    X(GdipImageForceValidation, Status(void*)) \
    X(GdipCreateBitmapFromStream, Status(IStream*, void**)) \
    X(GdipCreateBitmapFromFile, Status(const char16_t*, void**)) \
    X(GdipCreateBitmapFromStreamICM, Status(IStream*, void**)) \
    X(GdipCreateBitmapFromFileICM, Status(const char16_t*, void**)) \
    X(GdipCreateBitmapFromScan0, Status(int, int, int, int, BYTE*, void**)) \
    X(GdipCreateBitmapFromGraphics, Status(int, int, void*, void**)) \
    X(GdipCreateBitmapFromGdiDib, Status(const BITMAPINFO*, void*, void**)) \
    X(GdipCreateBitmapFromHBITMAP, Status(HBITMAP, HPALETTE, void**)) \
    X(GdipCreateHBITMAPFromBitmap, Status(void*, HBITMAP*, ARGB)) \
    X(GdipCreateBitmapFromHICON, Status(HICON, void**)) \
    X(GdipCreateHICONFromBitmap, Status(void*, HICON*)) \
    X(GdipCreateBitmapFromResource, Status(HINSTANCE, const char16_t*, void**)) \
    X(GdipCloneBitmapArea, Status(float, float, float, float, int, void*, void**)) \
    X(GdipCloneBitmapAreaI, Status(int, int, int, int, int, void*, void**)) \
    X(GdipBitmapLockBits, Status(void*, const TGPRect*, UINT, int, BitmapData*)) \
    X(GdipBitmapUnlockBits, Status(void*, BitmapData*)) \
    X(GdipBitmapGetPixel, Status(void*, int, int, ARGB*)) \
    X(GdipBitmapSetPixel, Status(void*, int, int, ARGB)) \
    X(GdipBitmapSetResolution, Status(void*, float, float)) \
    X(GdipCreateImageAttributes, Status(void**)) \
    X(GdipCloneImageAttributes, Status(const void*, void**)) \
    X(GdipDisposeImageAttributes, Status(void*)) \
    X(GdipSetImageAttributesToIdentity, Status(void*, ColorAdjustType)) \
    X(GdipResetImageAttributes, Status(void*, ColorAdjustType)) \
    X(GdipSetImageAttributesColorMatrix, Status(void*, ColorAdjustType, BOOL, const ColorMatrix*, const ColorMatrix*, ColorMatrixFlags)) \
    X(GdipSetImageAttributesThreshold, Status(void*, ColorAdjustType, BOOL, float)) \
    X(GdipSetImageAttributesGamma, Status(void*, ColorAdjustType, BOOL, float)) \
    X(GdipSetImageAttributesNoOp, Status(void*, ColorAdjustType, BOOL)) \
    X(GdipSetImageAttributesColorKeys, Status(void*, ColorAdjustType, BOOL, ARGB, ARGB)) \
    X(GdipSetImageAttributesOutputChannel, Status(void*, ColorAdjustType, BOOL, ColorChannelFlags)) \
    X(GdipSetImageAttributesOutputChannelColorProfile, Status(void*, ColorAdjustType, BOOL, const char16_t*)) \
    X(GdipSetImageAttributesRemapTable, Status(void*, ColorAdjustType, BOOL, UINT, const ColorMap*)) \
    X(GdipSetImageAttributesWrapMode, Status(void*, WrapMode, ARGB, BOOL)) \
    X(GdipSetImageAttributesICMMode, Status(void*, BOOL)) \
    X(GdipGetImageAttributesAdjustedPalette, Status(void*, ColorPalette*, ColorAdjustType)) \
    X(GdipFlush, Status(void*, FlushIntention)) \
    X(GdipCreateFromHDC, Status(HDC, void**)) \
    X(GdipCreateFromHDC2, Status(HDC, HANDLE, void**)) \
    X(GdipCreateFromHWND, Status(HWND, void**)) \
    X(GdipCreateFromHWNDICM, Status(HWND, void**)) \
    X(GdipDeleteGraphics, Status(void*)) \
    X(GdipGetDC, Status(void*, HDC*)) \
    X(GdipReleaseDC, Status(void*, HDC)) \
    X(GdipSetCompositingMode, Status(void*, CompositingMode)) \
    X(GdipGetCompositingMode, Status(void*, CompositingMode*)) \
    X(GdipSetRenderingOrigin, Status(void*, int, int)) \
    X(GdipGetRenderingOrigin, Status(void*, int*, int*)) \
    X(GdipSetCompositingQuality, Status(void*, int)) \
    X(GdipGetCompositingQuality, Status(void*, int*)) \
    X(GdipSetSmoothingMode, Status(void*, int)) \
    X(GdipGetSmoothingMode, Status(void*, int*)) \
    X(GdipSetPixelOffsetMode, Status(void*, int)) \
    X(GdipGetPixelOffsetMode, Status(void*, int*)) \
    X(GdipSetTextRenderingHint, Status(void*, TextRenderingHint)) \
    X(GdipGetTextRenderingHint, Status(void*, TextRenderingHint*)) \
    X(GdipSetTextContrast, Status(void*, UINT)) \
    X(GdipGetTextContrast, Status(void*, UINT*)) \
    X(GdipSetInterpolationMode, Status(void*, int)) \
    X(GdipGetInterpolationMode, Status(void*, int*)) \
    X(GdipSetWorldTransform, Status(void*, void*)) \
    X(GdipResetWorldTransform, Status(void*)) \
    X(GdipMultiplyWorldTransform, Status(void*, const void*, MatrixOrder)) \
    X(GdipTranslateWorldTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipScaleWorldTransform, Status(void*, float, float, MatrixOrder)) \
    X(GdipRotateWorldTransform, Status(void*, float, MatrixOrder)) \
    X(GdipGetWorldTransform, Status(void*, void*)) \
    X(GdipResetPageTransform, Status(void*)) \
    X(GdipGetPageUnit, Status(void*, Unit_*)) \
    X(GdipGetPageScale, Status(void*, float*)) \
    X(GdipSetPageUnit, Status(void*, Unit_)) \
    X(GdipSetPageScale, Status(void*, float)) \
    X(GdipGetDpiX, Status(void*, float*)) \
    X(GdipGetDpiY, Status(void*, float*)) \
    X(GdipTransformPoints, Status(void*, CoordinateSpace, CoordinateSpace, TGPPointF*, int)) \
    X(GdipTransformPointsI, Status(void*, CoordinateSpace, CoordinateSpace, TGPPoint*, int)) \
    X(GdipGetNearestColor, Status(void*, ARGB*)) \
    X(GdipCreateHalftonePalette, HPALETTE()) \
    X(GdipDrawLine, Status(void*, void*, float, float, float, float)) \
    X(GdipDrawLineI, Status(void*, void*, int, int, int, int)) \
    X(GdipDrawLines, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipDrawLinesI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipDrawArc, Status(void*, void*, float, float, float, float, float, float)) \
    X(GdipDrawArcI, Status(void*, void*, int, int, int, int, float, float)) \
    X(GdipDrawBezier, Status(void*, void*, float, float, float, float, float, float, float, float)) \
    X(GdipDrawBezierI, Status(void*, void*, int, int, int, int, int, int, int, int)) \
    X(GdipDrawBeziers, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipDrawBeziersI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipDrawRectangle, Status(void*, void*, float, float, float, float)) \
    X(GdipDrawRectangleI, Status(void*, void*, int, int, int, int)) \
    X(GdipDrawRectangles, Status(void*, void*, const TGPRectF*, int)) \
    X(GdipDrawRectanglesI, Status(void*, void*, const TGPRect*, int)) \
    X(GdipDrawEllipse, Status(void*, void*, float, float, float, float)) \
    X(GdipDrawEllipseI, Status(void*, void*, int, int, int, int)) \
    X(GdipDrawPie, Status(void*, void*, float, float, float, float, float, float)) \
    X(GdipDrawPieI, Status(void*, void*, int, int, int, int, float, float)) \
    X(GdipDrawPolygon, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipDrawPolygonI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipDrawPath, Status(void*, void*, void*)) \
    X(GdipDrawCurve, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipDrawCurveI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipDrawCurve2, Status(void*, void*, const TGPPointF*, int, float)) \
    X(GdipDrawCurve2I, Status(void*, void*, const TGPPoint*, int, float)) \
    X(GdipDrawCurve3, Status(void*, void*, const TGPPointF*, int, int, int, float)) \
    X(GdipDrawCurve3I, Status(void*, void*, const TGPPoint*, int, int, int, float)) \
    X(GdipDrawClosedCurve, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipDrawClosedCurveI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipDrawClosedCurve2, Status(void*, void*, const TGPPointF*, int, float)) \
    X(GdipDrawClosedCurve2I, Status(void*, void*, const TGPPoint*, int, float)) \
    X(GdipGraphicsClear, Status(void*, ARGB)) \
    X(GdipFillRectangle, Status(void*, void*, float, float, float, float)) \
    X(GdipFillRectangleI, Status(void*, void*, int, int, int, int)) \
    X(GdipFillRectangles, Status(void*, void*, const TGPRectF*, int)) \
    X(GdipFillRectanglesI, Status(void*, void*, const TGPRect*, int)) \
    X(GdipFillPolygon, Status(void*, void*, const TGPPointF*, int, FillMode)) \
    X(GdipFillPolygonI, Status(void*, void*, const TGPPoint*, int, FillMode)) \
    X(GdipFillPolygon2, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipFillPolygon2I, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipFillEllipse, Status(void*, void*, float, float, float, float)) \
    X(GdipFillEllipseI, Status(void*, void*, int, int, int, int)) \
    X(GdipFillPie, Status(void*, void*, float, float, float, float, float, float)) \
    X(GdipFillPieI, Status(void*, void*, int, int, int, int, float, float)) \
    X(GdipFillPath, Status(void*, void*, void*)) \
    X(GdipFillClosedCurve, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipFillClosedCurveI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipFillClosedCurve2, Status(void*, void*, const TGPPointF*, int, float, FillMode)) \
    X(GdipFillClosedCurve2I, Status(void*, void*, const TGPPoint*, int, float, FillMode)) \
    X(GdipFillRegion, Status(void*, void*, void*)) \
    X(GdipDrawImage, Status(void*, void*, float, float)) \
    X(GdipDrawImageI, Status(void*, void*, int, int)) \
    X(GdipDrawImageRect, Status(void*, void*, float, float, float, float)) \
    X(GdipDrawImageRectI, Status(void*, void*, int, int, int, int)) \
    X(GdipDrawImagePoints, Status(void*, void*, const TGPPointF*, int)) \
    X(GdipDrawImagePointsI, Status(void*, void*, const TGPPoint*, int)) \
    X(GdipDrawImagePointRect, Status(void*, void*, float, float, float, float, float, float, Unit_)) \
    X(GdipDrawImagePointRectI, Status(void*, void*, int, int, int, int, int, int, Unit_)) \
    X(GdipDrawImageRectRect, Status(void*, void*, float, float, float, float, float, float, float, float, Unit_, const void*, ImageAbort, void*)) \
    X(GdipDrawImageRectRectI, Status(void*, void*, int, int, int, int, int, int, int, int, Unit_, const void*, ImageAbort, void*)) \
    X(GdipDrawImagePointsRect, Status(void*, void*, const TGPPointF*, int, float, float, float, float, Unit_, const void*, ImageAbort, void*)) \
    X(GdipDrawImagePointsRectI, Status(void*, void*, const TGPPoint*, int, int, int, int, int, Unit_, const void*, ImageAbort, void*)) \
    X(GdipSetClipGraphics, Status(void*, void*, CombineMode)) \
    X(GdipSetClipRect, Status(void*, float, float, float, float, CombineMode)) \
    X(GdipSetClipRectI, Status(void*, int, int, int, int, CombineMode)) \
    X(GdipSetClipPath, Status(void*, void*, CombineMode)) \
    X(GdipSetClipRegion, Status(void*, void*, CombineMode)) \
    X(GdipSetClipHrgn, Status(void*, HRGN, CombineMode)) \
    X(GdipResetClip, Status(void*)) \
    X(GdipTranslateClip, Status(void*, float, float)) \
    X(GdipTranslateClipI, Status(void*, int, int)) \
    X(GdipGetClip, Status(void*, void*)) \
    X(GdipGetClipBounds, Status(void*, TGPRectF*)) \
    X(GdipGetClipBoundsI, Status(void*, TGPRect*)) \
    X(GdipIsClipEmpty, Status(void*, BOOL*)) \
    X(GdipGetVisibleClipBounds, Status(void*, TGPRectF*)) \
    X(GdipGetVisibleClipBoundsI, Status(void*, TGPRect*)) \
    X(GdipIsVisibleClipEmpty, Status(void*, BOOL*)) \
    X(GdipIsVisiblePoint, Status(void*, float, float, BOOL*)) \
    X(GdipIsVisiblePointI, Status(void*, int, int, BOOL*)) \
    X(GdipIsVisibleRect, Status(void*, float, float, float, float, BOOL*)) \
    X(GdipIsVisibleRectI, Status(void*, int, int, int, int, BOOL*)) \
    X(GdipSaveGraphics, Status(void*, UINT*)) \
    X(GdipRestoreGraphics, Status(void*, UINT)) \
    X(GdipBeginContainer, Status(void*, const TGPRectF*, const TGPRectF*, Unit_, UINT*)) \
    X(GdipBeginContainerI, Status(void*, const TGPRect*, const TGPRect*, Unit_, UINT*)) \
    X(GdipBeginContainer2, Status(void*, UINT*)) \
    X(GdipEndContainer, Status(void*, UINT)) \
    X(GdipGetMetafileHeaderFromWmf, Status(HANDLE, const void*, void*)) \
    X(GdipGetMetafileHeaderFromEmf, Status(HANDLE, void*)) \
    X(GdipGetMetafileHeaderFromFile, Status(const char16_t*, void*)) \
    X(GdipGetMetafileHeaderFromStream, Status(IStream*, void*)) \
    X(GdipGetMetafileHeaderFromMetafile, Status(void*, void*)) \
    X(GdipGetHemfFromMetafile, Status(void*, HANDLE*)) \
    X(GdipCreateStreamOnFile, Status(const char16_t*, UINT, IStream**)) \
    X(GdipCreateMetafileFromWmf, Status(HANDLE, BOOL, const void*, void**)) \
    X(GdipCreateMetafileFromEmf, Status(HANDLE, BOOL, void**)) \
    X(GdipCreateMetafileFromFile, Status(const char16_t*, void**)) \
    X(GdipCreateMetafileFromWmfFile, Status(const char16_t*, const void*, void**)) \
    X(GdipCreateMetafileFromStream, Status(IStream*, void**)) \
    X(GdipRecordMetafile, Status(HDC, int, const TGPRectF*, int, const char16_t*, void**)) \
    X(GdipRecordMetafileI, Status(HDC, int, const TGPRect*, int, const char16_t*, void**)) \
    X(GdipRecordMetafileFileName, Status(const char16_t*, HDC, int, const TGPRectF*, int, const char16_t*, void**)) \
    X(GdipRecordMetafileFileNameI, Status(const char16_t*, HDC, int, const TGPRect*, int, const char16_t*, void**)) \
    X(GdipRecordMetafileStream, Status(IStream*, HDC, int, const TGPRectF*, int, const char16_t*, void**)) \
    X(GdipRecordMetafileStreamI, Status(IStream*, HDC, int, const TGPRect*, int, const char16_t*, void**)) \
    X(GdipSetMetafileDownLevelRasterizationLimit, Status(void*, UINT)) \
    X(GdipGetMetafileDownLevelRasterizationLimit, Status(const void*, UINT*)) \
    X(GdipGetImageDecodersSize, Status(UINT*, UINT*)) \
    X(GdipGetImageDecoders, Status(UINT, UINT, void*)) \
    X(GdipGetImageEncodersSize, Status(UINT*, UINT*)) \
    X(GdipGetImageEncoders, Status(UINT, UINT, void*)) \
    X(GdipComment, Status(void*, UINT, const BYTE*)) \
    X(GdipCreateFontFamilyFromName, Status(const char16_t*, void*, void**)) \
    X(GdipDeleteFontFamily, Status(void*)) \
    X(GdipCloneFontFamily, Status(void*, void**)) \
    X(GdipGetGenericFontFamilySansSerif, Status(void**)) \
    X(GdipGetGenericFontFamilySerif, Status(void**)) \
    X(GdipGetGenericFontFamilyMonospace, Status(void**)) \
    X(GdipGetFamilyName, Status(const void*, char16_t*, WORD)) \
    X(GdipIsStyleAvailable, Status(const void*, int, BOOL*)) \
    X(GdipFontCollectionEnumerable, Status(void*, void*, int*)) \
    X(GdipFontCollectionEnumerate, Status(void*, int, void**, int*, void*)) \
    X(GdipGetEmHeight, Status(const void*, int, WORD*)) \
    X(GdipGetCellAscent, Status(const void*, int, WORD*)) \
    X(GdipGetCellDescent, Status(const void*, int, WORD*)) \
    X(GdipGetLineSpacing, Status(const void*, int, WORD*)) \
    X(GdipCreateFontFromDC, Status(HDC, void**)) \
    X(GdipCreateFontFromLogfontA, Status(HDC, const LOGFONTA*, void**)) \
    X(GdipCreateFontFromLogfontW, Status(HDC, const LOGFONTW*, void**)) \
    X(GdipCreateFont, Status(const void*, float, int, int, void**)) \
    X(GdipCloneFont, Status(void*, void**)) \
    X(GdipDeleteFont, Status(void*)) \
    X(GdipGetFamily, Status(void*, void**)) \
    X(GdipGetFontStyle, Status(void*, int*)) \
    X(GdipGetFontSize, Status(void*, float*)) \
    X(GdipGetFontUnit, Status(void*, Unit_*)) \
    X(GdipGetFontHeight, Status(const void*, const void*, float*)) \
    X(GdipGetFontHeightGivenDPI, Status(const void*, float, float*)) \
    X(GdipGetLogFontA, Status(void*, void*, LOGFONTA*)) \
    X(GdipGetLogFontW, Status(void*, void*, LOGFONTW*)) \
    X(GdipNewInstalledFontCollection, Status(void**)) \
    X(GdipNewPrivateFontCollection, Status(void**)) \
    X(GdipDeletePrivateFontCollection, Status(void**)) \
    X(GdipGetFontCollectionFamilyCount, Status(void*, int*)) \
    X(GdipGetFontCollectionFamilyList, Status(void*, int, void**, int*)) \
    X(GdipPrivateAddFontFile, Status(void*, const char16_t*)) \
    X(GdipPrivateAddMemoryFont, Status(void*, const void*, int)) \
    X(GdipDrawString, Status(void*, const char16_t*, int, const void*, const TGPRectF*, const void*, const void*)) \
    X(GdipMeasureString, Status(void*, const char16_t*, int, const void*, const TGPRectF*, const void*, TGPRectF*, int*, int*)) \
    X(GdipMeasureCharacterRanges, Status(void*, const char16_t*, int, const void*, const TGPRectF*, const void*, int, void**)) \
    X(GdipDrawDriverString, Status(void*, const std::uint16_t*, int, const void*, const void*, const TGPPointF*, int, const void*)) \
    X(GdipMeasureDriverString, Status(void*, const std::uint16_t*, int, const void*, const TGPPointF*, int, const void*, TGPRectF*)) \
    X(GdipCreateStringFormat, Status(int, WORD, void**)) \
    X(GdipStringFormatGetGenericDefault, Status(void**)) \
    X(GdipStringFormatGetGenericTypographic, Status(void**)) \
    X(GdipDeleteStringFormat, Status(void*)) \
    X(GdipCloneStringFormat, Status(const void*, void**)) \
    X(GdipSetStringFormatFlags, Status(void*, int)) \
    X(GdipGetStringFormatFlags, Status(const void*, int*)) \
    X(GdipSetStringFormatAlign, Status(void*, StringAlignment)) \
    X(GdipGetStringFormatAlign, Status(const void*, StringAlignment*)) \
    X(GdipSetStringFormatLineAlign, Status(void*, StringAlignment)) \
    X(GdipGetStringFormatLineAlign, Status(const void*, StringAlignment*)) \
    X(GdipSetStringFormatTrimming, Status(void*, StringTrimming)) \
    X(GdipGetStringFormatTrimming, Status(const void*, StringTrimming*)) \
    X(GdipSetStringFormatHotkeyPrefix, Status(void*, int)) \
    X(GdipGetStringFormatHotkeyPrefix, Status(const void*, int*)) \
    X(GdipSetStringFormatTabStops, Status(void*, float, int, const float*)) \
    X(GdipGetStringFormatTabStops, Status(const void*, int, float*, float*)) \
    X(GdipGetStringFormatTabStopCount, Status(const void*, int*)) \
    X(GdipSetStringFormatDigitSubstitution, Status(void*, WORD, StringDigitSubstitute)) \
    X(GdipGetStringFormatDigitSubstitution, Status(const void*, WORD*, StringDigitSubstitute*)) \
    X(GdipGetStringFormatMeasurableCharacterRangeCount, Status(const void*, int*)) \
    X(GdipSetStringFormatMeasurableCharacterRanges, Status(void*, int, const CharacterRange*)) \
    X(GdipCreateCachedBitmap, Status(void*, void*, void**)) \
    X(GdipDeleteCachedBitmap, Status(void*)) \
    X(GdipDrawCachedBitmap, Status(void*, void*, int, int)) \
    X(GdipEmfToWmfBits, UINT(HANDLE, UINT, BYTE*, int, int)) \

#define QT_GDIPLUS_DECLARE_ENTRY(Name, ...) TGdiplusEntry<__VA_ARGS__> Name;
struct TGdiplusApi {
    QT_GDIPLUS_FLAT_API(QT_GDIPLUS_DECLARE_ENTRY)
};
#undef QT_GDIPLUS_DECLARE_ENTRY

#define QT_GDIPLUS_COUNT_ENTRY(Name, ...) +1
inline constexpr int GdiplusApiEntryCount = 0 QT_GDIPLUS_FLAT_API(QT_GDIPLUS_COUNT_ENTRY);
#undef QT_GDIPLUS_COUNT_ENTRY

// The table. Written only by BindGdiplusApi and UnbindGdiplusApi.
extern TGdiplusApi GdiplusApi;

// The names of the entries, in table order.
extern const char* const GdiplusApiEntryNames[GdiplusApiEntryCount];
// Whether the entry at a table position holds a function.
bool GdiplusApiEntryBound(int index);

// How the binding reaches the library. The default one hands out the
// process's libgdiplus (through the platform's by-name lookup, so the bridge
// functions come in its place); tests install their own.
struct TGdiplusLoader {
    HMODULE (*LoadLibrary)() { nullptr };
    void* (*GetProcAddress)(HMODULE module, const char* name) { nullptr };
    void (*FreeLibrary)(HMODULE module) { nullptr };
};
TGdiplusLoader DefaultGdiplusLoader();
void SetGdiplusLoader(const TGdiplusLoader& loader);

// The library's module handle; null while not loaded.
HMODULE GdiplusModule();
// Loads the library and fills every entry it exports, in table order.
void BindGdiplusApi();
// Frees the library and empties every entry.
void UnbindGdiplusApi();
// Starts GDI+ with version 1 and no callback, when the library is loaded.
void StartupGdiplus();
// Shuts GDI+ down with the start-up's token, when the library is loaded.
void ShutdownGdiplus();
// The start-up input written by the last StartupGdiplus.
const GdiplusStartupInput& GdiplusStartupInputRecord();

constexpr TGPPointF MakePoint(float X, float Y) { return { X, Y }; }
constexpr TGPRectF MakeRect(float x, float y, float width, float height) { return { x, y, width, height }; }
constexpr ARGB MakeColor(std::uint8_t a, std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    return (ARGB(a) << 24) | (ARGB(r) << 16) | (ARGB(g) << 8) | ARGB(b);
}

// The root of every wrapper. Wrappers made with new live in memory the
// library hands out and are returned to it when deleted; without the
// library, new yields null (no wrapper is made, nothing raises). Wrappers
// own their native object and are not copied.
class TGdiplusBase {
public:
    TGdiplusBase();
    virtual ~TGdiplusBase() = default;
    TGdiplusBase(const TGdiplusBase&) = delete;
    TGdiplusBase& operator=(const TGdiplusBase&) = delete;

    static void* operator new(std::size_t size) noexcept;
    static void operator delete(void* memory) noexcept;
};

// Path data in the library's record layout: the address of Count is handed
// over. Points and Types are allocated with new[] by whoever fills them and
// freed here.
class TPathData {
public:
    TPathData() = default;
    ~TPathData();
    TPathData(const TPathData&) = delete;
    TPathData& operator=(const TPathData&) = delete;

    std::int32_t Count { 0 };
    TGPPointF* Points { nullptr };
    std::uint8_t* Types { nullptr };
};

} // namespace LumGDIPlusApi
