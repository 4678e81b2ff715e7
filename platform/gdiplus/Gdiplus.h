#pragma once
// The GDI+ flat API. The functions come from libgdiplus, loaded at run time;
// the ones that meet our GDI (device contexts, bitmaps, icons, fonts, regions,
// streams) are our own bridge, so GDI+ drawing lands in the device context's
// pixels. Two bindings: GdiplusGetProcAddress (a name → function lookup, the
// run-time form) and the Gdip... callables below (the static form).

#include <atomic>
#include <cstdint>
#include <type_traits>

#include "platform/gdi/Gdi.h"
#include "platform/gdiplus/Stream.h"

namespace Gdiplus {

enum Status : int {
    Ok = 0, GenericError = 1, InvalidParameter = 2, OutOfMemory = 3, ObjectBusy = 4, InsufficientBuffer = 5,
    NotImplemented = 6, Win32Error = 7, WrongState = 8, Aborted = 9, FileNotFound = 10, ValueOverflow = 11,
    AccessDenied = 12, UnknownImageFormat = 13, FontFamilyNotFound = 14, FontStyleNotFound = 15,
    NotTrueTypeFont = 16, UnsupportedGdiplusVersion = 17, GdiplusNotInitialized = 18, PropertyNotFound = 19,
    PropertyNotSupported = 20
};

enum Unit : int { UnitWorld = 0, UnitDisplay = 1, UnitPixel = 2, UnitPoint = 3, UnitInch = 4, UnitDocument = 5,
    UnitMillimeter = 6 };
enum FillMode : int { FillModeAlternate = 0, FillModeWinding = 1 };
enum SmoothingMode : int { SmoothingModeDefault = 0, SmoothingModeHighSpeed = 1, SmoothingModeHighQuality = 2,
    SmoothingModeNone = 3, SmoothingModeAntiAlias = 4 };
enum CombineMode : int { CombineModeReplace = 0, CombineModeIntersect = 1, CombineModeUnion = 2, CombineModeXor = 3,
    CombineModeExclude = 4, CombineModeComplement = 5 };
enum MatrixOrder : int { MatrixOrderPrepend = 0, MatrixOrderAppend = 1 };
enum FontStyle : int { FontStyleRegular = 0, FontStyleBold = 1, FontStyleItalic = 2, FontStyleBoldItalic = 3,
    FontStyleUnderline = 4, FontStyleStrikeout = 8 };
enum FlushIntention : int { FlushIntentionFlush = 0, FlushIntentionSync = 1 };
enum ImageLockMode : unsigned { ImageLockModeRead = 1, ImageLockModeWrite = 2, ImageLockModeUserInputBuf = 4 };
enum StringAlignment : int { StringAlignmentNear = 0, StringAlignmentCenter = 1, StringAlignmentFar = 2 };
enum TextRenderingHint : int { TextRenderingHintSystemDefault = 0, TextRenderingHintAntiAlias = 4,
    TextRenderingHintClearTypeGridFit = 5 };

} // namespace Gdiplus

using GpStatus = Gdiplus::Status;
using REAL = float;
using ARGB = std::uint32_t;
using PixelFormat = int;
using GraphicsState = UINT;

constexpr PixelFormat PixelFormat24bppRGB = 0x00021808;
constexpr PixelFormat PixelFormat32bppRGB = 0x00022009;
constexpr PixelFormat PixelFormat32bppARGB = 0x0026200A;
constexpr PixelFormat PixelFormat32bppPARGB = 0x000E200B;

struct GpPointF { REAL X { 0 }; REAL Y { 0 }; };
struct GpPoint { int X { 0 }; int Y { 0 }; };
struct GpRectF { REAL X { 0 }; REAL Y { 0 }; REAL Width { 0 }; REAL Height { 0 }; };
struct GpRect { int X { 0 }; int Y { 0 }; int Width { 0 }; int Height { 0 }; };

struct BitmapData {
    UINT Width { 0 };
    UINT Height { 0 };
    int Stride { 0 };
    PixelFormat Format { 0 };
    void* Scan0 { nullptr };
    std::uintptr_t Reserved { 0 };
    // The library writes its own bookkeeping after the public fields.
    std::uint8_t LibraryPrivate[128] {};
};

struct GdiplusStartupInput {
    std::uint32_t GdiplusVersion { 1 };
    void* DebugEventCallback { nullptr };
    BOOL SuppressBackgroundThread { FALSE };
    BOOL SuppressExternalCodecs { FALSE };
};

struct GdiplusStartupOutput {
    void* NotificationHook { nullptr };
    void* NotificationUnhook { nullptr };
};

struct ColorMatrix {
    REAL m[5][5] {};
};

struct EncoderParameters;
struct ImageCodecInfo;

// Objects of the library; only pointers to them are ever used.
struct GpGraphics { };
struct GpPen { };
struct GpBrush { };
struct GpSolidFill : GpBrush { };
struct GpLineGradient : GpBrush { };
struct GpHatch : GpBrush { };
struct GpTexture : GpBrush { };
struct GpPathGradient : GpBrush { };
struct GpImage { };
struct GpBitmap : GpImage { };
struct GpPath { };
struct GpMatrix { };
struct GpRegion { };
struct GpFont { };
struct GpFontFamily { };
struct GpFontCollection { };
struct GpStringFormat { };
struct GpImageAttributes { };

// The library: loaded on first use, null when it is not installed.
void* GdiplusLibrary();
// A flat API function by name: bridge functions first, then the library's,
// then stand-ins for the few the library lacks.
void* GdiplusGetProcAddress(const char* name);
// The stand-in of a flat function the library does not export; null when none.
void* GdiplusStandIn(const char* name);

// Bridge functions.
GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus GdipCreateFromHDC2(HDC dc, HANDLE device, GpGraphics** graphics);
GpStatus GdipCreateFromHWND(HWND window, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipGetDC(GpGraphics* graphics, HDC* dc);
GpStatus GdipReleaseDC(GpGraphics* graphics, HDC dc);
GpStatus GdipCreateHBITMAPFromBitmap(GpBitmap* bitmap, HBITMAP* result, ARGB background);
GpStatus GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, GpBitmap** result);
GpStatus GdipCreateHICONFromBitmap(GpBitmap* bitmap, HICON* result);
GpStatus GdipCreateBitmapFromHICON(HICON icon, GpBitmap** result);
GpStatus GdipCreateBitmapFromResource(HINSTANCE instance, const char16_t* name, GpBitmap** result);
GpStatus GdipCreateFontFromDC(HDC dc, GpFont** font);
GpStatus GdipCreateFontFromLogfontW(HDC dc, const LOGFONTW* logfont, GpFont** font);
GpStatus GdipCreateFontFromLogfontA(HDC dc, const LOGFONTA* logfont, GpFont** font);
GpStatus GdipCreateRegionHrgn(HRGN rgn, GpRegion** region);
GpStatus GdipGetRegionHRgn(GpRegion* region, GpGraphics* graphics, HRGN* rgn);
GpStatus GdipLoadImageFromStream(IStream* stream, GpImage** image);
GpStatus GdipLoadImageFromStreamICM(IStream* stream, GpImage** image);
GpStatus GdipCreateBitmapFromStream(IStream* stream, GpBitmap** bitmap);
GpStatus GdipCreateBitmapFromStreamICM(IStream* stream, GpBitmap** bitmap);
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const TGUID* encoder, const EncoderParameters* params);

// A library function called through the lazily resolved pointer; answers
// GdiplusNotInitialized when the library is missing.
template <class Sig> class TGdipFunction;
template <class R, class... A> class TGdipFunction<R(A...)> {
public:
    constexpr explicit TGdipFunction(const char* name) : m_name(name) { }
    R operator()(A... a) const
    {
        auto* fn = reinterpret_cast<R (*)(A...)>(Resolve());
        if constexpr (std::is_void_v<R>) {
            if (fn)
                fn(a...);
        } else {
            if (!fn)
                return R(Gdiplus::GdiplusNotInitialized);
            return fn(a...);
        }
    }
    const char* Name() const { return m_name; }

private:
    void* Resolve() const
    {
        void* fn = m_fn.load(std::memory_order_acquire);
        if (!fn) {
            fn = GdiplusGetProcAddress(m_name);
            m_fn.store(fn, std::memory_order_release);
        }
        return fn;
    }
    const char* m_name;
    mutable std::atomic<void*> m_fn { nullptr };
};

#define QT_GDIP(Name, Sig) inline const TGdipFunction<Sig> Name { #Name }

QT_GDIP(GdiplusStartup, GpStatus(std::uintptr_t*, const GdiplusStartupInput*, GdiplusStartupOutput*));
QT_GDIP(GdiplusShutdown, void(std::uintptr_t));

// Graphics.
QT_GDIP(GdipFlush, GpStatus(GpGraphics*, int));
QT_GDIP(GdipGraphicsClear, GpStatus(GpGraphics*, ARGB));
QT_GDIP(GdipSetSmoothingMode, GpStatus(GpGraphics*, int));
QT_GDIP(GdipGetSmoothingMode, GpStatus(GpGraphics*, int*));
QT_GDIP(GdipSetTextRenderingHint, GpStatus(GpGraphics*, int));
QT_GDIP(GdipSetPixelOffsetMode, GpStatus(GpGraphics*, int));
QT_GDIP(GdipSetInterpolationMode, GpStatus(GpGraphics*, int));
QT_GDIP(GdipSetCompositingMode, GpStatus(GpGraphics*, int));
QT_GDIP(GdipSetCompositingQuality, GpStatus(GpGraphics*, int));
QT_GDIP(GdipSetPageUnit, GpStatus(GpGraphics*, int));
QT_GDIP(GdipSetPageScale, GpStatus(GpGraphics*, REAL));
QT_GDIP(GdipSaveGraphics, GpStatus(GpGraphics*, GraphicsState*));
QT_GDIP(GdipRestoreGraphics, GpStatus(GpGraphics*, GraphicsState));
QT_GDIP(GdipTranslateWorldTransform, GpStatus(GpGraphics*, REAL, REAL, int));
QT_GDIP(GdipScaleWorldTransform, GpStatus(GpGraphics*, REAL, REAL, int));
QT_GDIP(GdipRotateWorldTransform, GpStatus(GpGraphics*, REAL, int));
QT_GDIP(GdipResetWorldTransform, GpStatus(GpGraphics*));
QT_GDIP(GdipSetWorldTransform, GpStatus(GpGraphics*, GpMatrix*));
QT_GDIP(GdipGetWorldTransform, GpStatus(GpGraphics*, GpMatrix*));
QT_GDIP(GdipSetClipRect, GpStatus(GpGraphics*, REAL, REAL, REAL, REAL, int));
QT_GDIP(GdipSetClipRectI, GpStatus(GpGraphics*, int, int, int, int, int));
QT_GDIP(GdipSetClipRegion, GpStatus(GpGraphics*, GpRegion*, int));
QT_GDIP(GdipSetClipPath, GpStatus(GpGraphics*, GpPath*, int));
QT_GDIP(GdipResetClip, GpStatus(GpGraphics*));
QT_GDIP(GdipGetClipBounds, GpStatus(GpGraphics*, GpRectF*));
QT_GDIP(GdipGetDpiX, GpStatus(GpGraphics*, REAL*));

// Pens and brushes.
QT_GDIP(GdipCreatePen1, GpStatus(ARGB, REAL, int, GpPen**));
QT_GDIP(GdipDeletePen, GpStatus(GpPen*));
QT_GDIP(GdipSetPenWidth, GpStatus(GpPen*, REAL));
QT_GDIP(GdipSetPenColor, GpStatus(GpPen*, ARGB));
QT_GDIP(GdipSetPenDashStyle, GpStatus(GpPen*, int));
QT_GDIP(GdipSetPenDashArray, GpStatus(GpPen*, const REAL*, int));
QT_GDIP(GdipSetPenLineCap197819, GpStatus(GpPen*, int, int, int));
QT_GDIP(GdipSetPenLineJoin, GpStatus(GpPen*, int));
QT_GDIP(GdipSetPenStartCap, GpStatus(GpPen*, int));
QT_GDIP(GdipSetPenEndCap, GpStatus(GpPen*, int));
QT_GDIP(GdipCreateSolidFill, GpStatus(ARGB, GpSolidFill**));
QT_GDIP(GdipSetSolidFillColor, GpStatus(GpSolidFill*, ARGB));
QT_GDIP(GdipCreateLineBrush, GpStatus(const GpPointF*, const GpPointF*, ARGB, ARGB, int, GpLineGradient**));
QT_GDIP(GdipCreateLineBrushFromRect, GpStatus(const GpRectF*, ARGB, ARGB, int, int, GpLineGradient**));
QT_GDIP(GdipCreateHatchBrush, GpStatus(int, ARGB, ARGB, GpHatch**));
QT_GDIP(GdipCreateTexture, GpStatus(GpImage*, int, GpTexture**));
QT_GDIP(GdipCreatePathGradientFromPath, GpStatus(const GpPath*, GpPathGradient**));
QT_GDIP(GdipSetPathGradientCenterColor, GpStatus(GpPathGradient*, ARGB));
QT_GDIP(GdipSetPathGradientSurroundColorsWithCount, GpStatus(GpPathGradient*, const ARGB*, int*));
QT_GDIP(GdipDeleteBrush, GpStatus(GpBrush*));

// Shapes.
QT_GDIP(GdipDrawLine, GpStatus(GpGraphics*, GpPen*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawLineI, GpStatus(GpGraphics*, GpPen*, int, int, int, int));
QT_GDIP(GdipDrawLines, GpStatus(GpGraphics*, GpPen*, const GpPointF*, int));
QT_GDIP(GdipDrawRectangle, GpStatus(GpGraphics*, GpPen*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawRectangleI, GpStatus(GpGraphics*, GpPen*, int, int, int, int));
QT_GDIP(GdipFillRectangle, GpStatus(GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipFillRectangleI, GpStatus(GpGraphics*, GpBrush*, int, int, int, int));
QT_GDIP(GdipDrawEllipse, GpStatus(GpGraphics*, GpPen*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipFillEllipse, GpStatus(GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawArc, GpStatus(GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawPie, GpStatus(GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP(GdipFillPie, GpStatus(GpGraphics*, GpBrush*, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawPolygon, GpStatus(GpGraphics*, GpPen*, const GpPointF*, int));
QT_GDIP(GdipFillPolygon, GpStatus(GpGraphics*, GpBrush*, const GpPointF*, int, int));
QT_GDIP(GdipDrawBezier, GpStatus(GpGraphics*, GpPen*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawCurve, GpStatus(GpGraphics*, GpPen*, const GpPointF*, int));
QT_GDIP(GdipDrawPath, GpStatus(GpGraphics*, GpPen*, GpPath*));
QT_GDIP(GdipFillPath, GpStatus(GpGraphics*, GpBrush*, GpPath*));
QT_GDIP(GdipFillRegion, GpStatus(GpGraphics*, GpBrush*, GpRegion*));

// Paths.
QT_GDIP(GdipCreatePath, GpStatus(int, GpPath**));
QT_GDIP(GdipDeletePath, GpStatus(GpPath*));
QT_GDIP(GdipResetPath, GpStatus(GpPath*));
QT_GDIP(GdipStartPathFigure, GpStatus(GpPath*));
QT_GDIP(GdipClosePathFigure, GpStatus(GpPath*));
QT_GDIP(GdipAddPathLine, GpStatus(GpPath*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipAddPathLine2, GpStatus(GpPath*, const GpPointF*, int));
QT_GDIP(GdipAddPathArc, GpStatus(GpPath*, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP(GdipAddPathBezier, GpStatus(GpPath*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP(GdipAddPathRectangle, GpStatus(GpPath*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipAddPathEllipse, GpStatus(GpPath*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipAddPathPolygon, GpStatus(GpPath*, const GpPointF*, int));
QT_GDIP(GdipAddPathString, GpStatus(GpPath*, const char16_t*, int, const GpFontFamily*, int, REAL, const GpRectF*, const GpStringFormat*));
QT_GDIP(GdipGetPathWorldBounds, GpStatus(GpPath*, GpRectF*, const GpMatrix*, const GpPen*));
QT_GDIP(GdipGetPointCount, GpStatus(GpPath*, int*));
QT_GDIP(GdipGetPathPoints, GpStatus(GpPath*, GpPointF*, int));
QT_GDIP(GdipGetPathTypes, GpStatus(GpPath*, BYTE*, int));
QT_GDIP(GdipTransformPath, GpStatus(GpPath*, GpMatrix*));
QT_GDIP(GdipFlattenPath, GpStatus(GpPath*, GpMatrix*, REAL));
QT_GDIP(GdipIsVisiblePathPoint, GpStatus(GpPath*, REAL, REAL, GpGraphics*, BOOL*));

// Matrices.
QT_GDIP(GdipCreateMatrix, GpStatus(GpMatrix**));
QT_GDIP(GdipCreateMatrix2, GpStatus(REAL, REAL, REAL, REAL, REAL, REAL, GpMatrix**));
QT_GDIP(GdipDeleteMatrix, GpStatus(GpMatrix*));
QT_GDIP(GdipGetMatrixElements, GpStatus(const GpMatrix*, REAL*));
QT_GDIP(GdipTranslateMatrix, GpStatus(GpMatrix*, REAL, REAL, int));
QT_GDIP(GdipScaleMatrix, GpStatus(GpMatrix*, REAL, REAL, int));
QT_GDIP(GdipRotateMatrix, GpStatus(GpMatrix*, REAL, int));
QT_GDIP(GdipMultiplyMatrix, GpStatus(GpMatrix*, GpMatrix*, int));
QT_GDIP(GdipInvertMatrix, GpStatus(GpMatrix*));
QT_GDIP(GdipTransformMatrixPoints, GpStatus(GpMatrix*, GpPointF*, int));

// Regions.
QT_GDIP(GdipCreateRegion, GpStatus(GpRegion**));
QT_GDIP(GdipCreateRegionRect, GpStatus(const GpRectF*, GpRegion**));
QT_GDIP(GdipCreateRegionRectI, GpStatus(const GpRect*, GpRegion**));
QT_GDIP(GdipCreateRegionPath, GpStatus(GpPath*, GpRegion**));
QT_GDIP(GdipDeleteRegion, GpStatus(GpRegion*));
QT_GDIP(GdipCombineRegionRect, GpStatus(GpRegion*, const GpRectF*, int));
QT_GDIP(GdipCombineRegionRectI, GpStatus(GpRegion*, const GpRect*, int));
QT_GDIP(GdipCombineRegionPath, GpStatus(GpRegion*, GpPath*, int));
QT_GDIP(GdipSetEmpty, GpStatus(GpRegion*));
QT_GDIP(GdipSetInfinite, GpStatus(GpRegion*));
QT_GDIP(GdipIsInfiniteRegion, GpStatus(GpRegion*, GpGraphics*, BOOL*));
QT_GDIP(GdipIsEmptyRegion, GpStatus(GpRegion*, GpGraphics*, BOOL*));
QT_GDIP(GdipGetRegionBounds, GpStatus(GpRegion*, GpGraphics*, GpRectF*));
QT_GDIP(GdipGetRegionScansCount, GpStatus(GpRegion*, UINT*, GpMatrix*));
QT_GDIP(GdipGetRegionScansI, GpStatus(GpRegion*, GpRect*, int*, GpMatrix*));
QT_GDIP(GdipIsVisibleRegionPoint, GpStatus(GpRegion*, REAL, REAL, GpGraphics*, BOOL*));

// Images.
QT_GDIP(GdipCreateBitmapFromScan0, GpStatus(int, int, int, PixelFormat, BYTE*, GpBitmap**));
QT_GDIP(GdipCreateBitmapFromFile, GpStatus(const char16_t*, GpBitmap**));
QT_GDIP(GdipLoadImageFromFile, GpStatus(const char16_t*, GpImage**));
QT_GDIP(GdipSaveImageToFile, GpStatus(GpImage*, const char16_t*, const TGUID*, const EncoderParameters*));
QT_GDIP(GdipDisposeImage, GpStatus(GpImage*));
QT_GDIP(GdipCloneImage, GpStatus(GpImage*, GpImage**));
QT_GDIP(GdipGetImageWidth, GpStatus(GpImage*, UINT*));
QT_GDIP(GdipGetImageHeight, GpStatus(GpImage*, UINT*));
QT_GDIP(GdipGetImagePixelFormat, GpStatus(GpImage*, PixelFormat*));
QT_GDIP(GdipGetImageGraphicsContext, GpStatus(GpImage*, GpGraphics**));
QT_GDIP(GdipBitmapLockBits, GpStatus(GpBitmap*, const GpRect*, UINT, PixelFormat, BitmapData*));
QT_GDIP(GdipBitmapUnlockBits, GpStatus(GpBitmap*, BitmapData*));
QT_GDIP(GdipBitmapGetPixel, GpStatus(GpBitmap*, int, int, ARGB*));
QT_GDIP(GdipBitmapSetPixel, GpStatus(GpBitmap*, int, int, ARGB));
QT_GDIP(GdipDrawImageI, GpStatus(GpGraphics*, GpImage*, int, int));
QT_GDIP(GdipDrawImageRect, GpStatus(GpGraphics*, GpImage*, REAL, REAL, REAL, REAL));
QT_GDIP(GdipDrawImageRectI, GpStatus(GpGraphics*, GpImage*, int, int, int, int));
QT_GDIP(GdipDrawImageRectRect, GpStatus(GpGraphics*, GpImage*, REAL, REAL, REAL, REAL, REAL, REAL, REAL, REAL, int, const GpImageAttributes*, void*, void*));
QT_GDIP(GdipDrawImageRectRectI, GpStatus(GpGraphics*, GpImage*, int, int, int, int, int, int, int, int, int, const GpImageAttributes*, void*, void*));
QT_GDIP(GdipCreateImageAttributes, GpStatus(GpImageAttributes**));
QT_GDIP(GdipDisposeImageAttributes, GpStatus(GpImageAttributes*));
QT_GDIP(GdipSetImageAttributesColorMatrix, GpStatus(GpImageAttributes*, int, BOOL, const ColorMatrix*, const ColorMatrix*, int));
QT_GDIP(GdipImageGetFrameCount, GpStatus(GpImage*, const TGUID*, UINT*));
QT_GDIP(GdipImageSelectActiveFrame, GpStatus(GpImage*, const TGUID*, UINT));
QT_GDIP(GdipImageRotateFlip, GpStatus(GpImage*, int));
QT_GDIP(GdipGetImageEncodersSize, GpStatus(UINT*, UINT*));
QT_GDIP(GdipGetImageEncoders, GpStatus(UINT, UINT, ImageCodecInfo*));

// Fonts and text.
QT_GDIP(GdipCreateFontFamilyFromName, GpStatus(const char16_t*, GpFontCollection*, GpFontFamily**));
QT_GDIP(GdipDeleteFontFamily, GpStatus(GpFontFamily*));
QT_GDIP(GdipGetGenericFontFamilySansSerif, GpStatus(GpFontFamily**));
QT_GDIP(GdipGetFamilyName, GpStatus(const GpFontFamily*, char16_t*, WORD));
QT_GDIP(GdipGetEmHeight, GpStatus(const GpFontFamily*, int, WORD*));
QT_GDIP(GdipGetCellAscent, GpStatus(const GpFontFamily*, int, WORD*));
QT_GDIP(GdipGetCellDescent, GpStatus(const GpFontFamily*, int, WORD*));
QT_GDIP(GdipGetLineSpacing, GpStatus(const GpFontFamily*, int, WORD*));
QT_GDIP(GdipCreateFont, GpStatus(const GpFontFamily*, REAL, int, int, GpFont**));
QT_GDIP(GdipDeleteFont, GpStatus(GpFont*));
QT_GDIP(GdipGetFontSize, GpStatus(GpFont*, REAL*));
QT_GDIP(GdipGetFontStyle, GpStatus(GpFont*, int*));
QT_GDIP(GdipGetFontUnit, GpStatus(GpFont*, int*));
QT_GDIP(GdipGetFontHeight, GpStatus(const GpFont*, const GpGraphics*, REAL*));
QT_GDIP(GdipGetFamily, GpStatus(GpFont*, GpFontFamily**));
QT_GDIP(GdipCreateStringFormat, GpStatus(int, WORD, GpStringFormat**));
QT_GDIP(GdipStringFormatGetGenericDefault, GpStatus(GpStringFormat**));
QT_GDIP(GdipStringFormatGetGenericTypographic, GpStatus(GpStringFormat**));
QT_GDIP(GdipDeleteStringFormat, GpStatus(GpStringFormat*));
QT_GDIP(GdipSetStringFormatAlign, GpStatus(GpStringFormat*, int));
QT_GDIP(GdipSetStringFormatLineAlign, GpStatus(GpStringFormat*, int));
QT_GDIP(GdipSetStringFormatTrimming, GpStatus(GpStringFormat*, int));
QT_GDIP(GdipSetStringFormatFlags, GpStatus(GpStringFormat*, int));
QT_GDIP(GdipSetStringFormatHotkeyPrefix, GpStatus(GpStringFormat*, int));
QT_GDIP(GdipDrawString, GpStatus(GpGraphics*, const char16_t*, int, const GpFont*, const GpRectF*, const GpStringFormat*, const GpBrush*));
QT_GDIP(GdipMeasureString, GpStatus(GpGraphics*, const char16_t*, int, const GpFont*, const GpRectF*, const GpStringFormat*, GpRectF*, int*, int*));

#undef QT_GDIP

// Starts the library once for the process (later calls do nothing) and
// answers whether it is usable.
bool EnsureGdiplusStarted();

// GdiplusStartup and GdiplusShutdown, whichever binding calls them, are
// counted: each start-up gets a token of its own, and the library is shut
// down only when the last token is returned, so one wrapper set's shut-down
// never pulls the library from under another. The number of live tokens:
int GdiplusStartupCount();
