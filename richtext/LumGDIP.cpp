#include "richtext/LumGDIP.h"

#include <cmath>
#include <memory>

#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"
#include "richtext/GDIPPicture.h"

// Flat functions this set needs beyond the ones the platform layer declares.
#define QT_GDIP_EXTRA(Name, Sig) inline const TGdipFunction<Sig> Name { #Name }
namespace {
QT_GDIP_EXTRA(GdipMultiplyWorldTransform, GpStatus(GpGraphics*, GpMatrix*, int));
QT_GDIP_EXTRA(GdipGetTextRenderingHint, GpStatus(GpGraphics*, int*));
QT_GDIP_EXTRA(GdipGetCompositingQuality, GpStatus(GpGraphics*, int*));
QT_GDIP_EXTRA(GdipFillPolygonI, GpStatus(GpGraphics*, GpBrush*, const GpPoint*, int, int));
QT_GDIP_EXTRA(GdipFillEllipseI, GpStatus(GpGraphics*, GpBrush*, int, int, int, int));
QT_GDIP_EXTRA(GdipDrawEllipseI, GpStatus(GpGraphics*, GpPen*, int, int, int, int));
QT_GDIP_EXTRA(GdipDrawBeziers, GpStatus(GpGraphics*, GpPen*, const GpPointF*, int));
QT_GDIP_EXTRA(GdipCreatePath2, GpStatus(const GpPointF*, const BYTE*, int, int, GpPath**));
QT_GDIP_EXTRA(GdipAddPathLine2I, GpStatus(GpPath*, const GpPoint*, int));
QT_GDIP_EXTRA(GdipAddPathPie, GpStatus(GpPath*, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP_EXTRA(GdipAddPathPolygonI, GpStatus(GpPath*, const GpPoint*, int));
QT_GDIP_EXTRA(GdipAddPathCurve, GpStatus(GpPath*, const GpPointF*, int));
QT_GDIP_EXTRA(GdipAddPathCurveI, GpStatus(GpPath*, const GpPoint*, int));
QT_GDIP_EXTRA(GdipAddPathCurve2I, GpStatus(GpPath*, const GpPoint*, int, REAL));
QT_GDIP_EXTRA(GdipCreateMatrix3, GpStatus(const GpRectF*, const GpPointF*, GpMatrix**));
QT_GDIP_EXTRA(GdipCreateMatrix3I, GpStatus(const GpRect*, const GpPoint*, GpMatrix**));
QT_GDIP_EXTRA(GdipCloneMatrix, GpStatus(GpMatrix*, GpMatrix**));
QT_GDIP_EXTRA(GdipSetMatrixElements, GpStatus(GpMatrix*, REAL, REAL, REAL, REAL, REAL, REAL));
QT_GDIP_EXTRA(GdipShearMatrix, GpStatus(GpMatrix*, REAL, REAL, int));
QT_GDIP_EXTRA(GdipTransformMatrixPointsI, GpStatus(GpMatrix*, GpPoint*, int));
QT_GDIP_EXTRA(GdipVectorTransformMatrixPoints, GpStatus(GpMatrix*, GpPointF*, int));
QT_GDIP_EXTRA(GdipVectorTransformMatrixPointsI, GpStatus(GpMatrix*, GpPoint*, int));
QT_GDIP_EXTRA(GdipIsMatrixInvertible, GpStatus(const GpMatrix*, BOOL*));
QT_GDIP_EXTRA(GdipIsMatrixIdentity, GpStatus(const GpMatrix*, BOOL*));
QT_GDIP_EXTRA(GdipCombineRegionRegion, GpStatus(GpRegion*, GpRegion*, int));
QT_GDIP_EXTRA(GdipCreateTexture2, GpStatus(GpImage*, int, REAL, REAL, REAL, REAL, GpTexture**));
QT_GDIP_EXTRA(GdipCreateTexture2I, GpStatus(GpImage*, int, int, int, int, int, GpTexture**));
QT_GDIP_EXTRA(GdipCreateTextureIA, GpStatus(GpImage*, const GpImageAttributes*, REAL, REAL, REAL, REAL, GpTexture**));
QT_GDIP_EXTRA(GdipCreateTextureIAI, GpStatus(GpImage*, const GpImageAttributes*, int, int, int, int, GpTexture**));
QT_GDIP_EXTRA(GdipResetTextureTransform, GpStatus(GpTexture*));
QT_GDIP_EXTRA(GdipTranslateTextureTransform, GpStatus(GpTexture*, REAL, REAL, int));
QT_GDIP_EXTRA(GdipScaleTextureTransform, GpStatus(GpTexture*, REAL, REAL, int));
QT_GDIP_EXTRA(GdipRotateTextureTransform, GpStatus(GpTexture*, REAL, int));
QT_GDIP_EXTRA(GdipSetTextureWrapMode, GpStatus(GpTexture*, int));
QT_GDIP_EXTRA(GdipGetTextureWrapMode, GpStatus(GpTexture*, int*));
QT_GDIP_EXTRA(GdipGetTextureImage, GpStatus(GpTexture*, GpImage**));
QT_GDIP_EXTRA(GdipGetHatchStyle, GpStatus(GpHatch*, int*));
QT_GDIP_EXTRA(GdipGetHatchForegroundColor, GpStatus(GpHatch*, ARGB*));
QT_GDIP_EXTRA(GdipGetHatchBackgroundColor, GpStatus(GpHatch*, ARGB*));
QT_GDIP_EXTRA(GdipCreateLineBrushI, GpStatus(const GpPoint*, const GpPoint*, ARGB, ARGB, int, GpLineGradient**));
QT_GDIP_EXTRA(GdipCreateLineBrushFromRectI, GpStatus(const GpRect*, ARGB, ARGB, int, int, GpLineGradient**));
QT_GDIP_EXTRA(GdipCreateLineBrushFromRectWithAngle, GpStatus(const GpRectF*, ARGB, ARGB, REAL, BOOL, int, GpLineGradient**));
QT_GDIP_EXTRA(GdipCreateLineBrushFromRectWithAngleI, GpStatus(const GpRect*, ARGB, ARGB, REAL, BOOL, int, GpLineGradient**));
QT_GDIP_EXTRA(GdipSetLineGammaCorrection, GpStatus(GpLineGradient*, BOOL));
QT_GDIP_EXTRA(GdipSetLinePresetBlend, GpStatus(GpLineGradient*, const ARGB*, const REAL*, int));
QT_GDIP_EXTRA(GdipSetPathGradientPresetBlend, GpStatus(GpPathGradient*, const ARGB*, const REAL*, int));
QT_GDIP_EXTRA(GdipSetPathGradientGammaCorrection, GpStatus(GpPathGradient*, BOOL));
QT_GDIP_EXTRA(GdipSetPathGradientWrapMode, GpStatus(GpPathGradient*, int));
QT_GDIP_EXTRA(GdipGetPathGradientCenterColor, GpStatus(GpPathGradient*, ARGB*));
QT_GDIP_EXTRA(GdipGetPathGradientPointCount, GpStatus(GpPathGradient*, int*));
QT_GDIP_EXTRA(GdipGetPathGradientSurroundColorCount, GpStatus(GpPathGradient*, int*));
QT_GDIP_EXTRA(GdipGetPathGradientSurroundColorsWithCount, GpStatus(GpPathGradient*, ARGB*, int*));
QT_GDIP_EXTRA(GdipGetPathGradientCenterPoint, GpStatus(GpPathGradient*, GpPointF*));
QT_GDIP_EXTRA(GdipGetPathGradientCenterPointI, GpStatus(GpPathGradient*, GpPoint*));
QT_GDIP_EXTRA(GdipSetPathGradientCenterPoint, GpStatus(GpPathGradient*, const GpPointF*));
QT_GDIP_EXTRA(GdipSetPathGradientCenterPointI, GpStatus(GpPathGradient*, const GpPoint*));
QT_GDIP_EXTRA(GdipCreatePen2, GpStatus(GpBrush*, REAL, int, GpPen**));
QT_GDIP_EXTRA(GdipSetPenBrushFill, GpStatus(GpPen*, GpBrush*));
QT_GDIP_EXTRA(GdipGetPenBrushFill, GpStatus(GpPen*, GpBrush**));
QT_GDIP_EXTRA(GdipGetPenFillType, GpStatus(GpPen*, int*));
QT_GDIP_EXTRA(GdipGetPenDashStyle, GpStatus(GpPen*, int*));
QT_GDIP_EXTRA(GdipCloneStringFormat, GpStatus(const GpStringFormat*, GpStringFormat**));
QT_GDIP_EXTRA(GdipGetStringFormatAlign, GpStatus(const GpStringFormat*, int*));
QT_GDIP_EXTRA(GdipGetStringFormatLineAlign, GpStatus(const GpStringFormat*, int*));
QT_GDIP_EXTRA(GdipGetStringFormatFlags, GpStatus(const GpStringFormat*, int*));
QT_GDIP_EXTRA(GdipGetStringFormatTrimming, GpStatus(const GpStringFormat*, int*));
QT_GDIP_EXTRA(GdipGetStringFormatHotkeyPrefix, GpStatus(const GpStringFormat*, int*));
QT_GDIP_EXTRA(GdipGetGenericFontFamilySerif, GpStatus(GpFontFamily**));
QT_GDIP_EXTRA(GdipGetGenericFontFamilyMonospace, GpStatus(GpFontFamily**));
QT_GDIP_EXTRA(GdipLoadImageFromFileICM, GpStatus(const char16_t*, GpImage**));
QT_GDIP_EXTRA(GdipGetImageRawFormat, GpStatus(GpImage*, TGUID*));
QT_GDIP_EXTRA(GdipGetImageThumbnail, GpStatus(GpImage*, UINT, UINT, GpImage**, void*, void*));
QT_GDIP_EXTRA(GdipSaveAdd, GpStatus(GpImage*, const EncoderParameters*));
QT_GDIP_EXTRA(GdipSaveAddImage, GpStatus(GpImage*, GpImage*, const EncoderParameters*));
QT_GDIP_EXTRA(GdipCloneImageAttributes, GpStatus(const GpImageAttributes*, GpImageAttributes**));
QT_GDIP_EXTRA(GdipSetImageAttributesToIdentity, GpStatus(GpImageAttributes*, int));
QT_GDIP_EXTRA(GdipResetImageAttributes, GpStatus(GpImageAttributes*, int));
QT_GDIP_EXTRA(GdipSetImageAttributesThreshold, GpStatus(GpImageAttributes*, int, BOOL, REAL));
QT_GDIP_EXTRA(GdipSetImageAttributesGamma, GpStatus(GpImageAttributes*, int, BOOL, REAL));
QT_GDIP_EXTRA(GdipSetImageAttributesNoOp, GpStatus(GpImageAttributes*, int, BOOL));
QT_GDIP_EXTRA(GdipSetImageAttributesColorKeys, GpStatus(GpImageAttributes*, int, BOOL, ARGB, ARGB));
QT_GDIP_EXTRA(GdipSetImageAttributesOutputChannel, GpStatus(GpImageAttributes*, int, BOOL, int));
QT_GDIP_EXTRA(GdipSetImageAttributesOutputChannelColorProfile, GpStatus(GpImageAttributes*, int, BOOL, const char16_t*));
QT_GDIP_EXTRA(GdipSetImageAttributesRemapTable, GpStatus(GpImageAttributes*, int, BOOL, UINT, const ARGB*));
QT_GDIP_EXTRA(GdipSetImageAttributesWrapMode, GpStatus(GpImageAttributes*, int, ARGB, BOOL));
QT_GDIP_EXTRA(GdipGetImageAttributesAdjustedPalette, GpStatus(GpImageAttributes*, void*, int));
} // namespace
#undef QT_GDIP_EXTRA

namespace LumGDIP {

namespace {

// The set's own start-up, returned when the program ends. Start-ups are
// counted below us, so returning ours never stops another set's use.
class TUnitStartup {
public:
    TUnitStartup()
    {
        GdiplusStartupInput input;
        input.SuppressBackgroundThread = TRUE;
        input.SuppressExternalCodecs = FALSE;
        GdiplusStartupOutput output;
        FStarted = ::GdiplusStartup(&FToken, &input, &output) == Gdiplus::Ok;
    }
    ~TUnitStartup()
    {
        if (FStarted)
            ::GdiplusShutdown(FToken);
    }

private:
    std::uintptr_t FToken { 0 };
    bool FStarted { false };
};

void EnsureUnitStarted()
{
    static TUnitStartup startup;
}

TStatus ToStatus(int status) { return status >= 0 && status <= int(PropertyNotSupported) ? TStatus(status) : GenericError; }

const GpRectF* Rect(const TGPRectF& r) { return reinterpret_cast<const GpRectF*>(&r); }
const GpRect* Rect(const TGPRect& r) { return reinterpret_cast<const GpRect*>(&r); }
const GpPointF* Points(const TGPPointF* p) { return reinterpret_cast<const GpPointF*>(p); }
const GpPoint* Points(const TGPPoint* p) { return reinterpret_cast<const GpPoint*>(p); }

// Native handles of optional arguments: null for a missing wrapper.
GpBrush* H(const TGPBrush* b) { return b ? b->nativeBrush : nullptr; }
GpPen* H(const TGPPen* p) { return p ? p->nativePen : nullptr; }
GpPath* H(const TGPGraphicsPath* p) { return p ? p->nativePath : nullptr; }
GpImage* H(const TGPImage* i) { return i ? i->nativeImage : nullptr; }
GpMatrix* H(const TGPMatrix* m) { return m ? m->nativeMatrix : nullptr; }
GpRegion* H(const TGPRegion* r) { return r ? r->nativeRegion : nullptr; }
GpFont* H(const TGPFont* f) { return f ? f->nativeFont : nullptr; }
GpFontFamily* H(const TGPFontFamily* f) { return f ? f->nativeFamily : nullptr; }
GpFontCollection* H(const TGPFontCollection* c) { return c ? c->nativeFontCollection : nullptr; }
GpStringFormat* H(const TGPStringFormat* s) { return s ? s->nativeFormat : nullptr; }
GpImageAttributes* H(const TGPImageAttributes* a) { return a ? a->nativeImageAttr : nullptr; }

int StyleBits(TFontStyles style)
{
    int bits = Gdiplus::FontStyleRegular;
    if (style.Contains(fsBold))
        bits |= Gdiplus::FontStyleBold;
    if (style.Contains(fsItalic))
        bits |= Gdiplus::FontStyleItalic;
    if (style.Contains(fsUnderline))
        bits |= Gdiplus::FontStyleUnderline;
    if (style.Contains(fsStrikeOut))
        bits |= Gdiplus::FontStyleStrikeout;
    return bits;
}

} // namespace

TGdiplusBase::TGdiplusBase() { EnsureUnitStarted(); }

// ---- TGPRegion ----

TStatus TGPRegion::SetStatus(int status)
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPRegion::TGPRegion(const TGPRectF& rect) { lastResult = ToStatus(GdipCreateRegionRect(Rect(rect), &nativeRegion)); }
TGPRegion::TGPRegion(const TGPGraphicsPath* path) { lastResult = ToStatus(GdipCreateRegionPath(H(path), &nativeRegion)); }
TGPRegion::~TGPRegion()
{
    if (nativeRegion)
        GdipDeleteRegion(nativeRegion);
}
TStatus TGPRegion::Exclude(const TGPGraphicsPath* path)
{
    return SetStatus(GdipCombineRegionPath(nativeRegion, H(path), CombineModeExclude));
}
TStatus TGPRegion::Union(const TGPRegion* region)
{
    return SetStatus(GdipCombineRegionRegion(nativeRegion, H(region), CombineModeUnion));
}

// ---- TGPImageAttributes ----

TStatus TGPImageAttributes::SetStatus(int status)
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPImageAttributes::TGPImageAttributes() { lastResult = ToStatus(GdipCreateImageAttributes(&nativeImageAttr)); }
TGPImageAttributes::TGPImageAttributes(GpImageAttributes* imageAttr, TStatus status)
    : nativeImageAttr(imageAttr), lastResult(status)
{
}
TGPImageAttributes::~TGPImageAttributes()
{
    if (nativeImageAttr)
        GdipDisposeImageAttributes(nativeImageAttr);
}
TGPImageAttributes* TGPImageAttributes::Clone() const
{
    GpImageAttributes* clone = nullptr;
    const TStatus st = ToStatus(GdipCloneImageAttributes(nativeImageAttr, &clone));
    return new TGPImageAttributes(clone, st);
}
TStatus TGPImageAttributes::SetToIdentity(ColorAdjustType t) { return SetStatus(GdipSetImageAttributesToIdentity(nativeImageAttr, t)); }
TStatus TGPImageAttributes::Reset(ColorAdjustType t) { return SetStatus(GdipResetImageAttributes(nativeImageAttr, t)); }
TStatus TGPImageAttributes::SetColorMatrix(const TColorMatrix& m, ColorMatrixFlags mode, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesColorMatrix(nativeImageAttr, t, TRUE, &m, nullptr, mode));
}
TStatus TGPImageAttributes::ClearColorMatrix(ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesColorMatrix(nativeImageAttr, t, FALSE, nullptr, nullptr, ColorMatrixFlagsDefault));
}
TStatus TGPImageAttributes::SetColorMatrices(const TColorMatrix& m, const TColorMatrix& gray, ColorMatrixFlags mode, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesColorMatrix(nativeImageAttr, t, TRUE, &m, &gray, mode));
}
TStatus TGPImageAttributes::ClearColorMatrices(ColorAdjustType t) { return ClearColorMatrix(t); }
TStatus TGPImageAttributes::SetThreshold(float threshold, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesThreshold(nativeImageAttr, t, TRUE, threshold));
}
TStatus TGPImageAttributes::ClearThreshold(ColorAdjustType t) { return SetStatus(GdipSetImageAttributesThreshold(nativeImageAttr, t, FALSE, 0)); }
TStatus TGPImageAttributes::SetGamma(float gamma, ColorAdjustType t) { return SetStatus(GdipSetImageAttributesGamma(nativeImageAttr, t, TRUE, gamma)); }
TStatus TGPImageAttributes::ClearGamma(ColorAdjustType t) { return SetStatus(GdipSetImageAttributesGamma(nativeImageAttr, t, FALSE, 0)); }
TStatus TGPImageAttributes::SetNoOp(ColorAdjustType t) { return SetStatus(GdipSetImageAttributesNoOp(nativeImageAttr, t, TRUE)); }
TStatus TGPImageAttributes::ClearNoOp(ColorAdjustType t) { return SetStatus(GdipSetImageAttributesNoOp(nativeImageAttr, t, FALSE)); }
TStatus TGPImageAttributes::SetColorKey(ARGB low, ARGB high, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesColorKeys(nativeImageAttr, t, TRUE, low, high));
}
TStatus TGPImageAttributes::ClearColorKey(ColorAdjustType t) { return SetStatus(GdipSetImageAttributesColorKeys(nativeImageAttr, t, FALSE, 0, 0)); }
TStatus TGPImageAttributes::SetOutputChannel(ColorChannelFlags flags, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesOutputChannel(nativeImageAttr, t, TRUE, flags));
}
TStatus TGPImageAttributes::ClearOutputChannel(ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesOutputChannel(nativeImageAttr, t, FALSE, ColorChannelFlagsC));
}
TStatus TGPImageAttributes::SetOutputChannelColorProfile(const String& name, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesOutputChannelColorProfile(nativeImageAttr, t, TRUE, name.c_str()));
}
TStatus TGPImageAttributes::ClearOutputChannelColorProfile(ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesOutputChannelColorProfile(nativeImageAttr, t, FALSE, nullptr));
}
TStatus TGPImageAttributes::SetRemapTable(unsigned mapSize, const ARGB* map, ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesRemapTable(nativeImageAttr, t, TRUE, mapSize, map));
}
TStatus TGPImageAttributes::ClearRemapTable(ColorAdjustType t)
{
    return SetStatus(GdipSetImageAttributesRemapTable(nativeImageAttr, t, FALSE, 0, nullptr));
}
TStatus TGPImageAttributes::SetBrushRemapTable(unsigned mapSize, const ARGB* map) { return SetRemapTable(mapSize, map, ColorAdjustTypeBrush); }
TStatus TGPImageAttributes::ClearBrushRemapTable() { return ClearRemapTable(ColorAdjustTypeBrush); }
TStatus TGPImageAttributes::SetWrapMode(WrapMode wrap, ARGB color, bool clamp)
{
    return SetStatus(GdipSetImageAttributesWrapMode(nativeImageAttr, wrap, color, clamp ? TRUE : FALSE));
}
TStatus TGPImageAttributes::GetAdjustedPalette(void* palette, ColorAdjustType t)
{
    return SetStatus(GdipGetImageAttributesAdjustedPalette(nativeImageAttr, palette, t));
}
TStatus TGPImageAttributes::GetLastStatus()
{
    const TStatus st = lastResult;
    lastResult = Ok;
    return st;
}

// ---- fonts ----

TStatus TGPFontFamily::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPFontFamily::TGPFontFamily(GpFontFamily* nativeOrig, TStatus status) : nativeFamily(nativeOrig), lastResult(status) { }
TGPFontFamily::TGPFontFamily(const String& name, const TGPFontCollection* fontCollection)
{
    lastResult = ToStatus(GdipCreateFontFamilyFromName(name.c_str(), H(fontCollection), &nativeFamily));
    if (lastResult != Ok || fontCollection)
        return;
    // The library answers any name with its closest match; a family that is
    // neither the name nor what the font map makes of it was not found.
    String found;
    GetFamilyName(found);
    const String upper = UpperCase(found);
    if (upper != UpperCase(name) && upper != UpperCase(ResolveFontFamily(name))) {
        GdipDeleteFontFamily(nativeFamily);
        nativeFamily = nullptr;
        lastResult = FontFamilyNotFound;
    }
}
TGPFontFamily::~TGPFontFamily()
{
    if (nativeFamily)
        GdipDeleteFontFamily(nativeFamily);
}
TStatus TGPFontFamily::GetFamilyName(String& name, int language) const
{
    char16_t buffer[32] {};
    const TStatus st = SetStatus(GdipGetFamilyName(nativeFamily, buffer, WORD(language)));
    buffer[31] = 0;
    name = buffer;
    return st;
}

namespace {
TGPFontFamily* GenericFamily(GpStatus (*get)(GpFontFamily**))
{
    auto* family = new TGPFontFamily();
    family->lastResult = ToStatus(get(&family->nativeFamily));
    return family;
}
} // namespace

TGPFontFamily* TGPFontFamily::GenericSansSerif()
{
    static TGPFontFamily* family = GenericFamily([](GpFontFamily** f) { return ::GdipGetGenericFontFamilySansSerif(f); });
    return family;
}
TGPFontFamily* TGPFontFamily::GenericSerif()
{
    static TGPFontFamily* family = GenericFamily([](GpFontFamily** f) { return GdipGetGenericFontFamilySerif(f); });
    return family;
}
TGPFontFamily* TGPFontFamily::GenericMonospace()
{
    static TGPFontFamily* family = GenericFamily([](GpFontFamily** f) { return GdipGetGenericFontFamilyMonospace(f); });
    return family;
}

TStatus TGPFont::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPFont::TGPFont(GpFont* font, TStatus status) : nativeFont(font), lastResult(status) { }
TGPFont::TGPFont(const TGPFontFamily* family, float emSize, int style, Unit_ unit_)
{
    lastResult = ToStatus(GdipCreateFont(H(family), emSize, style, unit_, &nativeFont));
}
TGPFont::TGPFont(const String& familyName, float emSize, TFontStyles style, Unit_ unit_, const TGPFontCollection* fontCollection)
{
    const TGPFontFamily family(familyName, fontCollection);
    lastResult = ToStatus(GdipCreateFont(family.nativeFamily, emSize, StyleBits(style), unit_, &nativeFont));
    if (lastResult != Ok) {
        nativeFont = nullptr;
        lastResult = ToStatus(GdipCreateFont(TGPFontFamily::GenericSansSerif()->nativeFamily, emSize, StyleBits(style), unit_, &nativeFont));
    }
}
TGPFont::~TGPFont()
{
    if (nativeFont)
        GdipDeleteFont(nativeFont);
}
int TGPFont::GetStyle() const
{
    int style = 0;
    SetStatus(GdipGetFontStyle(nativeFont, &style));
    return style;
}
float TGPFont::GetSize() const
{
    REAL size = 0;
    SetStatus(GdipGetFontSize(nativeFont, &size));
    return size;
}
TStatus TGPFont::GetFamily(TGPFontFamily& family) const
{
    GpFontFamily* native = nullptr;
    const TStatus st = SetStatus(GdipGetFamily(nativeFont, &native));
    if (st == Ok) {
        if (family.nativeFamily)
            GdipDeleteFontFamily(family.nativeFamily);
        family.nativeFamily = native;
    }
    family.lastResult = st;
    return st;
}

// ---- brushes ----

TStatus TGPBrush::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPBrush::TGPBrush() : lastResult(NotImplemented) { }
TGPBrush::TGPBrush(GpBrush* brush, TStatus status) : nativeBrush(brush), lastResult(status) { }
TGPBrush::~TGPBrush()
{
    if (nativeBrush)
        GdipDeleteBrush(nativeBrush);
}

TGPSolidBrush::TGPSolidBrush(ARGB color) : TGPBrush(TEmpty {})
{
    GpSolidFill* brush = nullptr;
    lastResult = ToStatus(GdipCreateSolidFill(color, &brush));
    nativeBrush = brush;
}

TGPHatchBrush::TGPHatchBrush(HatchStyle hatchStyle, ARGB foreColor, ARGB backColor) : TGPBrush(TEmpty {})
{
    GpHatch* brush = nullptr;
    lastResult = ToStatus(GdipCreateHatchBrush(hatchStyle, foreColor, backColor, &brush));
    nativeBrush = brush;
}
HatchStyle TGPHatchBrush::GetHatchStyle() const
{
    int style = 0;
    SetStatus(GdipGetHatchStyle(static_cast<GpHatch*>(nativeBrush), &style));
    return style;
}
TStatus TGPHatchBrush::GetForegroundColor(ARGB& color) const
{
    return SetStatus(GdipGetHatchForegroundColor(static_cast<GpHatch*>(nativeBrush), &color));
}
TStatus TGPHatchBrush::GetBackgroundColor(ARGB& color) const
{
    return SetStatus(GdipGetHatchBackgroundColor(static_cast<GpHatch*>(nativeBrush), &color));
}

namespace {
GpTexture* Tex(GpBrush* b) { return static_cast<GpTexture*>(b); }
GpLineGradient* Line(GpBrush* b) { return static_cast<GpLineGradient*>(b); }
GpPathGradient* PathGrad(GpBrush* b) { return static_cast<GpPathGradient*>(b); }
} // namespace

TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode) : TGPBrush(TEmpty {})
{
    GpTexture* t = nullptr;
    lastResult = ToStatus(GdipCreateTexture(H(image), wrapMode, &t));
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRectF& r)
    : TGPTextureBrush(image, wrapMode, r.X, r.Y, r.Width, r.Height)
{
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, const TGPRect& r)
    : TGPTextureBrush(image, wrapMode, r.X, r.Y, r.Width, r.Height)
{
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, float x, float y, float w, float h) : TGPBrush(TEmpty {})
{
    GpTexture* t = nullptr;
    lastResult = ToStatus(GdipCreateTexture2(H(image), wrapMode, x, y, w, h, &t));
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, WrapMode wrapMode, int x, int y, int w, int h) : TGPBrush(TEmpty {})
{
    GpTexture* t = nullptr;
    lastResult = ToStatus(GdipCreateTexture2I(H(image), wrapMode, x, y, w, h, &t));
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, const TGPRectF& r, const TGPImageAttributes* attributes) : TGPBrush(TEmpty {})
{
    GpTexture* t = nullptr;
    lastResult = ToStatus(GdipCreateTextureIA(H(image), H(attributes), r.X, r.Y, r.Width, r.Height, &t));
    nativeBrush = t;
}
TGPTextureBrush::TGPTextureBrush(const TGPImage* image, const TGPRect& r, const TGPImageAttributes* attributes) : TGPBrush(TEmpty {})
{
    GpTexture* t = nullptr;
    lastResult = ToStatus(GdipCreateTextureIAI(H(image), H(attributes), r.X, r.Y, r.Width, r.Height, &t));
    nativeBrush = t;
}
TStatus TGPTextureBrush::ResetTransform() { return SetStatus(GdipResetTextureTransform(Tex(nativeBrush))); }
TStatus TGPTextureBrush::TranslateTransform(float dx, float dy, MatrixOrder order)
{
    return SetStatus(GdipTranslateTextureTransform(Tex(nativeBrush), dx, dy, order));
}
TStatus TGPTextureBrush::ScaleTransform(float sx, float sy, MatrixOrder order)
{
    return SetStatus(GdipScaleTextureTransform(Tex(nativeBrush), sx, sy, order));
}
TStatus TGPTextureBrush::RotateTransform(float angle, MatrixOrder order)
{
    return SetStatus(GdipRotateTextureTransform(Tex(nativeBrush), angle, order));
}
TStatus TGPTextureBrush::SetWrapMode(WrapMode wrapMode) { return SetStatus(GdipSetTextureWrapMode(Tex(nativeBrush), wrapMode)); }
WrapMode TGPTextureBrush::GetWrapMode() const
{
    int mode = 0;
    SetStatus(GdipGetTextureWrapMode(Tex(nativeBrush), &mode));
    return WrapMode(mode);
}
TGPImage* TGPTextureBrush::GetImage() const
{
    GpImage* image = nullptr;
    const TStatus st = SetStatus(GdipGetTextureImage(Tex(nativeBrush), &image));
    return new TGPImage(image, st);
}

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPointF& p1, const TGPPointF& p2, ARGB c1, ARGB c2) : TGPBrush(TEmpty {})
{
    GpLineGradient* b = nullptr;
    lastResult = ToStatus(GdipCreateLineBrush(Points(&p1), Points(&p2), c1, c2, WrapModeTile, &b));
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPPoint& p1, const TGPPoint& p2, ARGB c1, ARGB c2) : TGPBrush(TEmpty {})
{
    GpLineGradient* b = nullptr;
    lastResult = ToStatus(GdipCreateLineBrushI(Points(&p1), Points(&p2), c1, c2, WrapModeTile, &b));
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB c1, ARGB c2, LinearGradientMode mode) : TGPBrush(TEmpty {})
{
    GpLineGradient* b = nullptr;
    lastResult = ToStatus(GdipCreateLineBrushFromRect(Rect(r), c1, c2, mode, WrapModeTile, &b));
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& r, ARGB c1, ARGB c2, LinearGradientMode mode) : TGPBrush(TEmpty {})
{
    GpLineGradient* b = nullptr;
    lastResult = ToStatus(GdipCreateLineBrushFromRectI(Rect(r), c1, c2, mode, WrapModeTile, &b));
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB c1, ARGB c2, float angle, bool scalable) : TGPBrush(TEmpty {})
{
    GpLineGradient* b = nullptr;
    lastResult = ToStatus(GdipCreateLineBrushFromRectWithAngle(Rect(r), c1, c2, angle, scalable ? TRUE : FALSE, WrapModeTile, &b));
    nativeBrush = b;
}
TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRect& r, ARGB c1, ARGB c2, float angle, bool scalable) : TGPBrush(TEmpty {})
{
    GpLineGradient* b = nullptr;
    lastResult = ToStatus(GdipCreateLineBrushFromRectWithAngleI(Rect(r), c1, c2, angle, scalable ? TRUE : FALSE, WrapModeTile, &b));
    nativeBrush = b;
}
TStatus TGPLinearGradientBrush::SetGammaCorrection(bool use) { return SetStatus(GdipSetLineGammaCorrection(Line(nativeBrush), use ? TRUE : FALSE)); }
TStatus TGPLinearGradientBrush::SetInterpolationColors(const ARGB* colors, const float* positions, int count)
{
    return SetStatus(GdipSetLinePresetBlend(Line(nativeBrush), colors, positions, count));
}

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* path) : TGPBrush(TEmpty {})
{
    GpPathGradient* b = nullptr;
    lastResult = ToStatus(GdipCreatePathGradientFromPath(H(path), &b));
    nativeBrush = b;
}
TStatus TGPPathGradientBrush::SetInterpolationColors(const ARGB* colors, const float* positions, int count)
{
    return SetStatus(GdipSetPathGradientPresetBlend(PathGrad(nativeBrush), colors, positions, count));
}
TStatus TGPPathGradientBrush::SetGammaCorrection(bool use)
{
    return SetStatus(GdipSetPathGradientGammaCorrection(PathGrad(nativeBrush), use ? TRUE : FALSE));
}
TStatus TGPPathGradientBrush::SetWrapMode(WrapMode wrapMode) { return SetStatus(GdipSetPathGradientWrapMode(PathGrad(nativeBrush), wrapMode)); }
TStatus TGPPathGradientBrush::GetCenterColor(ARGB& color) const { return SetStatus(GdipGetPathGradientCenterColor(PathGrad(nativeBrush), &color)); }
TStatus TGPPathGradientBrush::SetCenterColor(ARGB color) { return SetStatus(GdipSetPathGradientCenterColor(PathGrad(nativeBrush), color)); }
int TGPPathGradientBrush::GetPointCount() const
{
    int count = 0;
    SetStatus(GdipGetPathGradientPointCount(PathGrad(nativeBrush), &count));
    return count;
}
TStatus TGPPathGradientBrush::GetSurroundColors(ARGB* colors, int& count) const
{
    if (!colors)
        return SetStatus(InvalidParameter);
    int count1 = 0;
    const TStatus st = SetStatus(GdipGetPathGradientSurroundColorCount(PathGrad(nativeBrush), &count1));
    if (st != Ok)
        return st;
    if (count < count1 || count1 <= 0)
        return SetStatus(InsufficientBuffer);
    int got = count1;
    const TStatus read = SetStatus(GdipGetPathGradientSurroundColorsWithCount(PathGrad(nativeBrush), colors, &got));
    if (read == Ok)
        count = got;
    return read;
}
TStatus TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, int& count)
{
    if (colors && count > 0 && GetPointCount() >= count) {
        int used = count;
        const TStatus st = SetStatus(GdipSetPathGradientSurroundColorsWithCount(PathGrad(nativeBrush), colors, &used));
        if (st == Ok)
            count = used;
        return st;
    }
    return SetStatus(InvalidParameter);
}
TStatus TGPPathGradientBrush::GetCenterPoint(TGPPointF& p) const
{
    return SetStatus(GdipGetPathGradientCenterPoint(PathGrad(nativeBrush), reinterpret_cast<GpPointF*>(&p)));
}
TStatus TGPPathGradientBrush::GetCenterPoint(TGPPoint& p) const
{
    return SetStatus(GdipGetPathGradientCenterPointI(PathGrad(nativeBrush), reinterpret_cast<GpPoint*>(&p)));
}
TStatus TGPPathGradientBrush::SetCenterPoint(const TGPPointF& p) { return SetStatus(GdipSetPathGradientCenterPoint(PathGrad(nativeBrush), Points(&p))); }
TStatus TGPPathGradientBrush::SetCenterPoint(const TGPPoint& p) { return SetStatus(GdipSetPathGradientCenterPointI(PathGrad(nativeBrush), Points(&p))); }

// ---- pens ----

TStatus TGPPen::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPPen::TGPPen(ARGB color, float width) { lastResult = ToStatus(GdipCreatePen1(color, width, UnitWorld, &nativePen)); }
TGPPen::TGPPen(const TGPBrush* brush, float width) { lastResult = ToStatus(GdipCreatePen2(H(brush), width, UnitWorld, &nativePen)); }
TGPPen::~TGPPen()
{
    if (nativePen)
        GdipDeletePen(nativePen);
}
TStatus TGPPen::SetBrush(const TGPBrush* brush) { return SetStatus(GdipSetPenBrushFill(nativePen, H(brush))); }
TGPBrush* TGPPen::GetBrush() const
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
    GpBrush* native = nullptr;
    SetStatus(GdipGetPenBrushFill(nativePen, &native));
    brush->nativeBrush = native;
    return brush.release();
}
PenType TGPPen::GetPenType() const
{
    int type = -1;
    SetStatus(GdipGetPenFillType(nativePen, &type));
    return type;
}
DashStyle TGPPen::GetDashStyle() const
{
    int style = 0;
    SetStatus(GdipGetPenDashStyle(nativePen, &style));
    return DashStyle(style);
}
TStatus TGPPen::SetDashStyle(DashStyle dashStyle) { return SetStatus(GdipSetPenDashStyle(nativePen, dashStyle)); }
TStatus TGPPen::SetEndCap(int endCap) { return SetStatus(GdipSetPenEndCap(nativePen, endCap)); }

// ---- string formats ----

TStatus TGPStringFormat::SetStatus(int status) const
{
    if (status != Ok)
        lastError = ToStatus(status);
    return ToStatus(status);
}

TGPStringFormat::TGPStringFormat(int formatFlags, int language)
{
    lastError = ToStatus(GdipCreateStringFormat(formatFlags, WORD(language), &nativeFormat));
}
TGPStringFormat::TGPStringFormat(const TGPStringFormat* format)
{
    lastError = ToStatus(GdipCloneStringFormat(H(format), &nativeFormat));
}
TGPStringFormat::TGPStringFormat(GpStringFormat* cloned, TStatus status) : nativeFormat(cloned), lastError(status) { }
TGPStringFormat::~TGPStringFormat()
{
    if (nativeFormat)
        GdipDeleteStringFormat(nativeFormat);
}
TStatus TGPStringFormat::SetAlignment(StringAlignment a) { return SetStatus(GdipSetStringFormatAlign(nativeFormat, a)); }
StringAlignment TGPStringFormat::GetAlignment() const
{
    int a = 0;
    SetStatus(GdipGetStringFormatAlign(nativeFormat, &a));
    return StringAlignment(a);
}
TStatus TGPStringFormat::SetLineAlignment(StringAlignment a) { return SetStatus(GdipSetStringFormatLineAlign(nativeFormat, a)); }
StringAlignment TGPStringFormat::GetLineAlignment() const
{
    int a = 0;
    SetStatus(GdipGetStringFormatLineAlign(nativeFormat, &a));
    return StringAlignment(a);
}
TStatus TGPStringFormat::SetFormatFlags(int flags) { return SetStatus(GdipSetStringFormatFlags(nativeFormat, flags)); }
int TGPStringFormat::GetFormatFlags() const
{
    int flags = 0;
    SetStatus(GdipGetStringFormatFlags(nativeFormat, &flags));
    return flags;
}
TStatus TGPStringFormat::SetTrimming(StringTrimming t) { return SetStatus(GdipSetStringFormatTrimming(nativeFormat, t)); }
StringTrimming TGPStringFormat::GetTrimming() const
{
    int t = 0;
    SetStatus(GdipGetStringFormatTrimming(nativeFormat, &t));
    return StringTrimming(t);
}
TStatus TGPStringFormat::SetHotkeyPrefix(HotkeyPrefix p) { return SetStatus(GdipSetStringFormatHotkeyPrefix(nativeFormat, p)); }
HotkeyPrefix TGPStringFormat::GetHotkeyPrefix() const
{
    int p = 0;
    SetStatus(GdipGetStringFormatHotkeyPrefix(nativeFormat, &p));
    return HotkeyPrefix(p);
}

// ---- paths ----

TStatus TGPGraphicsPath::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode) { lastResult = ToStatus(GdipCreatePath(fillMode, &nativePath)); }
TGPGraphicsPath::TGPGraphicsPath(const TGPPointF* points, const std::uint8_t* types, int count, FillMode fillMode)
{
    lastResult = ToStatus(GdipCreatePath2(Points(points), types, count, fillMode, &nativePath));
}
TGPGraphicsPath::TGPGraphicsPath(GpPath* path) : nativePath(path) { }
TGPGraphicsPath::~TGPGraphicsPath()
{
    if (nativePath)
        GdipDeletePath(nativePath);
}
int TGPGraphicsPath::GetPointCount() const
{
    int count = 0;
    SetStatus(GdipGetPointCount(nativePath, &count));
    return count;
}
TStatus TGPGraphicsPath::GetPathPoints(TGPPointF* points, int count) const
{
    return SetStatus(GdipGetPathPoints(nativePath, reinterpret_cast<GpPointF*>(points), count));
}
TStatus TGPGraphicsPath::GetPathTypes(std::uint8_t* types, int count) const { return SetStatus(GdipGetPathTypes(nativePath, types, count)); }
TStatus TGPGraphicsPath::GetBounds(TGPRectF& bounds, const TGPMatrix* matrix, const TGPPen* pen) const
{
    return SetStatus(GdipGetPathWorldBounds(nativePath, reinterpret_cast<GpRectF*>(&bounds), H(matrix), H(pen)));
}
TStatus TGPGraphicsPath::Reset() { return SetStatus(GdipResetPath(nativePath)); }
TStatus TGPGraphicsPath::CloseFigure() { return SetStatus(GdipClosePathFigure(nativePath)); }
TStatus TGPGraphicsPath::AddLine(const TGPPointF& a, const TGPPointF& b) { return AddLine(a.X, a.Y, b.X, b.Y); }
TStatus TGPGraphicsPath::AddLine(float x1, float y1, float x2, float y2) { return SetStatus(GdipAddPathLine(nativePath, x1, y1, x2, y2)); }
TStatus TGPGraphicsPath::AddLines(const TGPPoint* points, int count) { return SetStatus(GdipAddPathLine2I(nativePath, Points(points), count)); }
TStatus TGPGraphicsPath::AddRectangle(const TGPRectF& r) { return SetStatus(GdipAddPathRectangle(nativePath, r.X, r.Y, r.Width, r.Height)); }
TStatus TGPGraphicsPath::AddRectangle(const TGPRect& r)
{
    return SetStatus(GdipAddPathRectangle(nativePath, REAL(r.X), REAL(r.Y), REAL(r.Width), REAL(r.Height)));
}
TStatus TGPGraphicsPath::AddArc(const TGPRectF& r, float start, float sweep) { return AddArc(r.X, r.Y, r.Width, r.Height, start, sweep); }
TStatus TGPGraphicsPath::AddArc(float x, float y, float w, float h, float start, float sweep)
{
    return SetStatus(GdipAddPathArc(nativePath, x, y, w, h, start, sweep));
}
TStatus TGPGraphicsPath::AddEllipse(const TGPRectF& r) { return AddEllipse(r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphicsPath::AddEllipse(float x, float y, float w, float h) { return SetStatus(GdipAddPathEllipse(nativePath, x, y, w, h)); }
TStatus TGPGraphicsPath::AddPie(const TGPRectF& r, float start, float sweep) { return AddPie(r.X, r.Y, r.Width, r.Height, start, sweep); }
TStatus TGPGraphicsPath::AddPie(float x, float y, float w, float h, float start, float sweep)
{
    return SetStatus(GdipAddPathPie(nativePath, x, y, w, h, start, sweep));
}
TStatus TGPGraphicsPath::AddPolygon(const TGPPointF* p, int count) { return SetStatus(GdipAddPathPolygon(nativePath, Points(p), count)); }
TStatus TGPGraphicsPath::AddPolygon(const TGPPoint* p, int count) { return SetStatus(GdipAddPathPolygonI(nativePath, Points(p), count)); }
TStatus TGPGraphicsPath::AddCurve(const TGPPointF* p, int count) { return SetStatus(GdipAddPathCurve(nativePath, Points(p), count)); }
TStatus TGPGraphicsPath::AddCurve(const TGPPoint* p, int count) { return SetStatus(GdipAddPathCurveI(nativePath, Points(p), count)); }
TStatus TGPGraphicsPath::AddCurve(const TGPPoint* p, int count, float tension)
{
    return SetStatus(GdipAddPathCurve2I(nativePath, Points(p), count, tension));
}
TStatus TGPGraphicsPath::AddBezier(const TGPPoint& a, const TGPPoint& b, const TGPPoint& c, const TGPPoint& d)
{
    return AddBezier(REAL(a.X), REAL(a.Y), REAL(b.X), REAL(b.Y), REAL(c.X), REAL(c.Y), REAL(d.X), REAL(d.Y));
}
TStatus TGPGraphicsPath::AddBezier(const TGPPointF& a, const TGPPointF& b, const TGPPointF& c, const TGPPointF& d)
{
    return AddBezier(a.X, a.Y, b.X, b.Y, c.X, c.Y, d.X, d.Y);
}
TStatus TGPGraphicsPath::AddBezier(float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    return SetStatus(GdipAddPathBezier(nativePath, x1, y1, x2, y2, x3, y3, x4, y4));
}
TStatus TGPGraphicsPath::AddString(const String& s, int length, const TGPFontFamily* family, int style, float emSize,
    const TGPPointF& origin, const TGPStringFormat* format)
{
    return AddString(s, length, family, style, emSize, TGPRectF { origin.X, origin.Y, 0, 0 }, format);
}
TStatus TGPGraphicsPath::AddString(const String& s, int length, const TGPFontFamily* family, int style, float emSize,
    const TGPRectF& layoutRect, const TGPStringFormat* format)
{
    const int n = length < 0 || length > int(s.size()) ? int(s.size()) : length;
    return SetStatus(GdipAddPathString(nativePath, s.c_str(), n, H(family), style, emSize, Rect(layoutRect), H(format)));
}

// ---- images ----

TStatus TGPImage::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPImage::TGPImage(const String& filename, bool useICM)
{
    lastResult = ToStatus(useICM ? GdipLoadImageFromFileICM(filename.c_str(), &nativeImage) : GdipLoadImageFromFile(filename.c_str(), &nativeImage));
}
TGPImage::TGPImage(IStream* stream, bool useICM)
{
    lastResult = ToStatus(useICM ? GdipLoadImageFromStreamICM(stream, &nativeImage) : GdipLoadImageFromStream(stream, &nativeImage));
}
TGPImage::TGPImage(GpImage* image, TStatus status) : nativeImage(image), lastResult(status) { }
TGPImage::~TGPImage()
{
    if (nativeImage)
        GdipDisposeImage(nativeImage);
}
TGPImageFormat TGPImage::GetFormat() const
{
    // An unread format must not be taken for one: the identifier starts zeroed
    // and a failed read answers undefined.
    TGUID id {};
    if (GdipGetImageRawFormat(nativeImage, &id) != Gdiplus::Ok)
        return ifUndefined;
    static constexpr std::uint8_t tail[8] = { 0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E };
    if (id.D2 != 0x0728 || id.D3 != 0x11D3 || !std::equal(std::begin(tail), std::end(tail), id.D4))
        return ifUndefined;
    switch (id.D1) {
    case 0xB96B3CB5: return ifIcon;
    case 0xB96B3CB2: return ifEXIF;
    case 0xB96B3CB1: return ifTIFF;
    case 0xB96B3CAF: return ifPNG;
    case 0xB96B3CB0: return ifGIF;
    case 0xB96B3CAE: return ifJPEG;
    case 0xB96B3CAD: return ifWMF;
    case 0xB96B3CAC: return ifEMF;
    case 0xB96B3CAB: return ifBMP;
    case 0xB96B3CAA: return ifMemoryBMP;
    default: return ifUndefined;
    }
}
unsigned TGPImage::GetWidth() const
{
    UINT w = 0;
    SetStatus(GdipGetImageWidth(nativeImage, &w));
    return w;
}
unsigned TGPImage::GetHeight() const
{
    UINT h = 0;
    SetStatus(GdipGetImageHeight(nativeImage, &h));
    return h;
}
PixelFormat TGPImage::GetPixelFormat() const
{
    PixelFormat f = 0;
    SetStatus(GdipGetImagePixelFormat(nativeImage, &f));
    return f;
}
unsigned TGPImage::GetPixelDepth() const { return (unsigned(GetPixelFormat()) >> 8) & 0xFF; }
bool TGPImage::HasAlphaChannel() const { return (GetPixelFormat() & 0x40000) != 0; }
bool TGPImage::HasPalette() const { return (GetPixelFormat() & 0x10000) != 0; }
TGPImage* TGPImage::GetThumbnailImage(unsigned w, unsigned h, void* callback, void* callbackData) const
{
    GpImage* thumb = nullptr;
    const TStatus st = SetStatus(GdipGetImageThumbnail(nativeImage, w, h, &thumb, callback, callbackData));
    return new TGPImage(thumb, st);
}
TStatus TGPImage::Save(const String& filename, const TGUID& encoder, const EncoderParameters* params)
{
    return SetStatus(GdipSaveImageToFile(nativeImage, filename.c_str(), &encoder, params));
}
TStatus TGPImage::Save(IStream* stream, const TGUID& encoder, const EncoderParameters* params)
{
    return SetStatus(GdipSaveImageToStream(nativeImage, stream, &encoder, params));
}
TStatus TGPImage::SaveAdd(const EncoderParameters* params) { return SetStatus(GdipSaveAdd(nativeImage, params)); }
TStatus TGPImage::SaveAdd(const TGPImage* newImage, const EncoderParameters* params)
{
    return SetStatus(GdipSaveAddImage(nativeImage, H(newImage), params));
}
TStatus TGPImage::RotateFlip(RotateFlipType type) { return SetStatus(GdipImageRotateFlip(nativeImage, type)); }

TGPBitmap::TGPBitmap(IStream* stream, bool useICM)
{
    GpBitmap* bmp = nullptr;
    lastResult = ToStatus(useICM ? GdipCreateBitmapFromStreamICM(stream, &bmp) : GdipCreateBitmapFromStream(stream, &bmp));
    nativeImage = bmp;
}
TGPBitmap::TGPBitmap(int width, int height, PixelFormat format)
{
    GpBitmap* bmp = nullptr;
    lastResult = ToStatus(GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &bmp));
    nativeImage = bmp;
}
TGPBitmap::TGPBitmap(GpBitmap* bitmap) { nativeImage = bitmap; }
TGPBitmap* TGPBitmap::FromStream(IStream* stream, bool useICM) { return new TGPBitmap(stream, useICM); }
TStatus TGPBitmap::GetHBITMAP(ARGB background, HBITMAP& result)
{
    return SetStatus(GdipCreateHBITMAPFromBitmap(Native(), &result, background));
}
TStatus TGPBitmap::GetPixel(int x, int y, ARGB& color) { return SetStatus(GdipBitmapGetPixel(Native(), x, y, &color)); }
TStatus TGPBitmap::SetPixel(int x, int y, ARGB color) { return SetStatus(GdipBitmapSetPixel(Native(), x, y, color)); }

// ---- matrices ----

TStatus TGPMatrix::SetStatus(int status) const
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPMatrix::TGPMatrix() { lastResult = ToStatus(GdipCreateMatrix(&nativeMatrix)); }
TGPMatrix::TGPMatrix(float m11, float m12, float m21, float m22, float dx, float dy)
{
    lastResult = ToStatus(GdipCreateMatrix2(m11, m12, m21, m22, dx, dy, &nativeMatrix));
}
TGPMatrix::TGPMatrix(const TGPRectF& rect, const TGPPointF* dstplg)
{
    lastResult = ToStatus(GdipCreateMatrix3(Rect(rect), Points(dstplg), &nativeMatrix));
}
TGPMatrix::TGPMatrix(const TGPRect& rect, const TGPPoint* dstplg)
{
    lastResult = ToStatus(GdipCreateMatrix3I(Rect(rect), Points(dstplg), &nativeMatrix));
}
TGPMatrix::~TGPMatrix()
{
    if (nativeMatrix)
        GdipDeleteMatrix(nativeMatrix);
}
TGPMatrix* TGPMatrix::Clone() const
{
    GpMatrix* clone = nullptr;
    if (SetStatus(GdipCloneMatrix(nativeMatrix, &clone)) != Ok)
        return nullptr;
    return new TGPMatrix(clone);
}
TStatus TGPMatrix::GetElements(float* m) const { return SetStatus(GdipGetMatrixElements(nativeMatrix, m)); }
TStatus TGPMatrix::SetElements(float m11, float m12, float m21, float m22, float dx, float dy)
{
    return SetStatus(GdipSetMatrixElements(nativeMatrix, m11, m12, m21, m22, dx, dy));
}
float TGPMatrix::OffsetX() const
{
    float m[6] {};
    return GetElements(m) == Ok ? m[4] : 0.0f;
}
float TGPMatrix::OffsetY() const
{
    float m[6] {};
    return GetElements(m) == Ok ? m[5] : 0.0f;
}
TStatus TGPMatrix::Reset() { return SetStatus(GdipSetMatrixElements(nativeMatrix, 1, 0, 0, 1, 0, 0)); }
TStatus TGPMatrix::Multiply(const TGPMatrix* matrix, MatrixOrder order) { return SetStatus(GdipMultiplyMatrix(nativeMatrix, H(matrix), order)); }
TStatus TGPMatrix::Translate(float x, float y, MatrixOrder order) { return SetStatus(GdipTranslateMatrix(nativeMatrix, x, y, order)); }
TStatus TGPMatrix::Scale(float x, float y, MatrixOrder order) { return SetStatus(GdipScaleMatrix(nativeMatrix, x, y, order)); }
TStatus TGPMatrix::Rotate(float angle, MatrixOrder order) { return SetStatus(GdipRotateMatrix(nativeMatrix, angle, order)); }
TStatus TGPMatrix::RotateAt(float angle, const TGPPointF& c, MatrixOrder order)
{
    if (order == MatrixOrderAppend) {
        SetStatus(GdipTranslateMatrix(nativeMatrix, -c.X, -c.Y, order));
        SetStatus(GdipRotateMatrix(nativeMatrix, angle, order));
        return SetStatus(GdipTranslateMatrix(nativeMatrix, c.X, c.Y, order));
    }
    SetStatus(GdipTranslateMatrix(nativeMatrix, c.X, c.Y, order));
    SetStatus(GdipRotateMatrix(nativeMatrix, angle, order));
    return SetStatus(GdipTranslateMatrix(nativeMatrix, -c.X, -c.Y, order));
}
TStatus TGPMatrix::Shear(float x, float y, MatrixOrder order) { return SetStatus(GdipShearMatrix(nativeMatrix, x, y, order)); }
TStatus TGPMatrix::Invert() { return SetStatus(GdipInvertMatrix(nativeMatrix)); }
TStatus TGPMatrix::TransformPoints(TGPPointF* p, int count) const
{
    return SetStatus(GdipTransformMatrixPoints(nativeMatrix, reinterpret_cast<GpPointF*>(p), count));
}
TStatus TGPMatrix::TransformPoints(TGPPoint* p, int count) const
{
    return SetStatus(GdipTransformMatrixPointsI(nativeMatrix, reinterpret_cast<GpPoint*>(p), count));
}
TStatus TGPMatrix::TransformVectors(TGPPointF* p, int count) const
{
    return SetStatus(GdipVectorTransformMatrixPoints(nativeMatrix, reinterpret_cast<GpPointF*>(p), count));
}
TStatus TGPMatrix::TransformVectors(TGPPoint* p, int count) const
{
    return SetStatus(GdipVectorTransformMatrixPointsI(nativeMatrix, reinterpret_cast<GpPoint*>(p), count));
}
bool TGPMatrix::IsInvertible() const
{
    BOOL result = FALSE;
    SetStatus(GdipIsMatrixInvertible(nativeMatrix, &result));
    return result != FALSE;
}
bool TGPMatrix::IsIdentity() const
{
    BOOL result = FALSE;
    SetStatus(GdipIsMatrixIdentity(nativeMatrix, &result));
    return result != FALSE;
}
TStatus TGPMatrix::GetLastStatus()
{
    const TStatus st = lastResult;
    lastResult = Ok;
    return st;
}

// ---- graphics ----

TStatus TGPGraphics::SetStatus(int status)
{
    if (status != Ok)
        lastResult = ToStatus(status);
    return ToStatus(status);
}

TGPGraphics::TGPGraphics(HDC hdc) { lastResult = ToStatus(GdipCreateFromHDC(hdc, &nativeGraphics)); }
TGPGraphics::TGPGraphics(TGPImage* image)
{
    if (image)
        lastResult = ToStatus(GdipGetImageGraphicsContext(image->nativeImage, &nativeGraphics));
}
TGPGraphics::~TGPGraphics()
{
    delete FCachedFont;
    FCachedFont = nullptr;
    if (nativeGraphics)
        GdipDeleteGraphics(nativeGraphics);
}
TGPGraphics* TGPGraphics::FromImage(TGPImage* image) { return new TGPGraphics(image); }
void TGPGraphics::Flush(FlushIntention intention) { GdipFlush(nativeGraphics, intention); }
TStatus TGPGraphics::Clear(ARGB color) { return SetStatus(GdipGraphicsClear(nativeGraphics, color)); }
HDC TGPGraphics::GetHDC()
{
    HDC dc = nullptr;
    SetStatus(GdipGetDC(nativeGraphics, &dc));
    return dc;
}
void TGPGraphics::ReleaseHDC(HDC hdc) { SetStatus(GdipReleaseDC(nativeGraphics, hdc)); }
TStatus TGPGraphics::SetTransform(const TGPMatrix* m) { return SetStatus(GdipSetWorldTransform(nativeGraphics, H(m))); }
TStatus TGPGraphics::MultiplyTransform(const TGPMatrix* m, MatrixOrder order)
{
    return SetStatus(GdipMultiplyWorldTransform(nativeGraphics, H(m), order));
}
TStatus TGPGraphics::TranslateTransform(float dx, float dy, MatrixOrder order)
{
    return SetStatus(GdipTranslateWorldTransform(nativeGraphics, dx, dy, order));
}
TStatus TGPGraphics::RotateTransform(float angle, MatrixOrder order) { return SetStatus(GdipRotateWorldTransform(nativeGraphics, angle, order)); }
TStatus TGPGraphics::ScaleTransform(float sx, float sy, MatrixOrder order)
{
    return SetStatus(GdipScaleWorldTransform(nativeGraphics, sx, sy, order));
}
TStatus TGPGraphics::ResetTransform() { return SetStatus(GdipResetWorldTransform(nativeGraphics)); }
TStatus TGPGraphics::SetTextRenderingHint(TextRenderingHint mode) { return SetStatus(GdipSetTextRenderingHint(nativeGraphics, mode)); }
TextRenderingHint TGPGraphics::GetTextRenderingHint()
{
    int mode = 0;
    SetStatus(GdipGetTextRenderingHint(nativeGraphics, &mode));
    return TextRenderingHint(mode);
}
TStatus TGPGraphics::SetSmoothingMode(SmoothingMode mode) { return SetStatus(GdipSetSmoothingMode(nativeGraphics, mode)); }
SmoothingMode TGPGraphics::GetSmoothingMode()
{
    int mode = 0;
    SetStatus(GdipGetSmoothingMode(nativeGraphics, &mode));
    return mode;
}
TStatus TGPGraphics::SetCompositingQuality(CompositingQuality q) { return SetStatus(GdipSetCompositingQuality(nativeGraphics, q)); }
CompositingQuality TGPGraphics::GetCompositingQuality()
{
    int q = 0;
    SetStatus(GdipGetCompositingQuality(nativeGraphics, &q));
    return q;
}
TStatus TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path) { return SetStatus(GdipDrawPath(nativeGraphics, H(pen), H(path))); }
TStatus TGPGraphics::FillPath(const TGPBrush* brush, const TGPGraphicsPath* path) { return SetStatus(GdipFillPath(nativeGraphics, H(brush), H(path))); }
TStatus TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& r) { return FillRectangle(brush, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::FillRectangle(const TGPBrush* brush, float x, float y, float w, float h)
{
    return SetStatus(GdipFillRectangle(nativeGraphics, H(brush), x, y, w, h));
}
TStatus TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* p, int count) { return FillPolygon(brush, p, count, FillModeAlternate); }
TStatus TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPointF* p, int count, FillMode mode)
{
    return SetStatus(GdipFillPolygon(nativeGraphics, H(brush), Points(p), count, mode));
}
TStatus TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* p, int count) { return FillPolygon(brush, p, count, FillModeAlternate); }
TStatus TGPGraphics::FillPolygon(const TGPBrush* brush, const TGPPoint* p, int count, FillMode mode)
{
    return SetStatus(GdipFillPolygonI(nativeGraphics, H(brush), Points(p), count, mode));
}
TStatus TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRectF& r) { return FillEllipse(brush, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::FillEllipse(const TGPBrush* brush, float x, float y, float w, float h)
{
    return SetStatus(GdipFillEllipse(nativeGraphics, H(brush), x, y, w, h));
}
TStatus TGPGraphics::FillEllipse(const TGPBrush* brush, const TGPRect& r) { return FillEllipse(brush, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::FillEllipse(const TGPBrush* brush, int x, int y, int w, int h)
{
    return SetStatus(GdipFillEllipseI(nativeGraphics, H(brush), x, y, w, h));
}
TStatus TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRectF& r) { return DrawEllipse(pen, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::DrawEllipse(const TGPPen* pen, float x, float y, float w, float h)
{
    return SetStatus(GdipDrawEllipse(nativeGraphics, H(pen), x, y, w, h));
}
TStatus TGPGraphics::DrawEllipse(const TGPPen* pen, const TGPRect& r) { return DrawEllipse(pen, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::DrawEllipse(const TGPPen* pen, int x, int y, int w, int h)
{
    return SetStatus(GdipDrawEllipseI(nativeGraphics, H(pen), x, y, w, h));
}
TStatus TGPGraphics::DrawRectangle(const TGPPen* pen, const TGPRectF& r) { return DrawRectangle(pen, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::DrawRectangle(const TGPPen* pen, float x, float y, float w, float h)
{
    return SetStatus(GdipDrawRectangle(nativeGraphics, H(pen), x, y, w, h));
}
TStatus TGPGraphics::DrawLine(const TGPPen* pen, float x1, float y1, float x2, float y2)
{
    return SetStatus(GdipDrawLine(nativeGraphics, H(pen), x1, y1, x2, y2));
}
TStatus TGPGraphics::DrawArc(const TGPPen* pen, float x, float y, float w, float h, float start, float sweep)
{
    return SetStatus(GdipDrawArc(nativeGraphics, H(pen), x, y, w, h, start, sweep));
}
TStatus TGPGraphics::DrawArc(const TGPPen* pen, const TGPRectF& r, float start, float sweep)
{
    return DrawArc(pen, r.X, r.Y, r.Width, r.Height, start, sweep);
}
TStatus TGPGraphics::DrawBezier(const TGPPen* pen, float x1, float y1, float x2, float y2, float x3, float y3, float x4, float y4)
{
    return SetStatus(GdipDrawBezier(nativeGraphics, H(pen), x1, y1, x2, y2, x3, y3, x4, y4));
}
TStatus TGPGraphics::DrawBezier(const TGPPen* pen, const TGPPointF& a, const TGPPointF& b, const TGPPointF& c, const TGPPointF& d)
{
    return DrawBezier(pen, a.X, a.Y, b.X, b.Y, c.X, c.Y, d.X, d.Y);
}
TStatus TGPGraphics::DrawBeziers(const TGPPen* pen, const TGPPointF* p, int count)
{
    return SetStatus(GdipDrawBeziers(nativeGraphics, H(pen), Points(p), count));
}
TStatus TGPGraphics::DrawImage(const TGPImage* image, int x, int y) { return SetStatus(GdipDrawImageI(nativeGraphics, H(image), x, y)); }
TStatus TGPGraphics::DrawImage(const TGPImage* image, float x, float y, float w, float h)
{
    return SetStatus(GdipDrawImageRect(nativeGraphics, H(image), x, y, w, h));
}
TStatus TGPGraphics::DrawImage(const TGPImage* image, const TGPRectF& r) { return DrawImage(image, r.X, r.Y, r.Width, r.Height); }
TStatus TGPGraphics::DrawImage(const TGPImage* image, const TGPRectF& d, float sx, float sy, float sw, float sh, Unit_ srcUnit,
    const TGPImageAttributes* attributes, TImageAbort callback, void* callbackData)
{
    return SetStatus(GdipDrawImageRectRect(nativeGraphics, H(image), d.X, d.Y, d.Width, d.Height, sx, sy, sw, sh, srcUnit,
        H(attributes), reinterpret_cast<void*>(callback), callbackData));
}
TStatus TGPGraphics::DrawImageRect(const TGPImage* image, int x, int y, int w, int h)
{
    return SetStatus(GdipDrawImageRect(nativeGraphics, H(image), REAL(x), REAL(y), REAL(w), REAL(h)));
}
TStatus TGPGraphics::DrawImageRect(const TGPImage* image, const TGPRectF& r)
{
    auto whole = [](float v) { return int(RoundHalfEven(double(v))); };
    return DrawImageRect(image, whole(r.X), whole(r.Y), whole(r.Width), whole(r.Height));
}
TStatus TGPGraphics::SetClip(const TGPRegion* region, CombineMode mode) { return SetStatus(GdipSetClipRegion(nativeGraphics, H(region), mode)); }
TStatus TGPGraphics::SetClip(const TGPGraphicsPath* path, CombineMode mode) { return SetStatus(GdipSetClipPath(nativeGraphics, H(path), mode)); }
TStatus TGPGraphics::ResetClip() { return SetStatus(GdipResetClip(nativeGraphics)); }
TStatus TGPGraphics::ExcludeClip(const TGPRectF& r)
{
    return SetStatus(GdipSetClipRect(nativeGraphics, r.X, r.Y, r.Width, r.Height, CombineModeExclude));
}
TStatus TGPGraphics::ExcludeClip(const TGPRegion* region) { return SetStatus(GdipSetClipRegion(nativeGraphics, H(region), CombineModeExclude)); }

namespace {
int Clamp(const String& s, int length) { return length < 0 || length > int(s.size()) ? int(s.size()) : length; }
} // namespace

TStatus TGPGraphics::MeasureString(const String& s, int length, const TGPFont* font, const TGPRectF& layout, TGPRectF& box)
{
    return SetStatus(GdipMeasureString(nativeGraphics, s.c_str(), Clamp(s, length), H(font), Rect(layout), nullptr,
        reinterpret_cast<GpRectF*>(&box), nullptr, nullptr));
}
TStatus TGPGraphics::MeasureString(const String& s, int length, const TGPFont* font, const TGPRectF& layout,
    const TGPStringFormat* format, TGPRectF& box, int* fitted, int* filled)
{
    return SetStatus(GdipMeasureString(nativeGraphics, s.c_str(), Clamp(s, length), H(font), Rect(layout), H(format),
        reinterpret_cast<GpRectF*>(&box), fitted, filled));
}
TStatus TGPGraphics::MeasureString(const String& s, int length, const TGPFont* font, const TGPPointF& origin,
    const TGPStringFormat* format, TGPRectF& box)
{
    return MeasureString(s, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, format, box);
}
TStatus TGPGraphics::DrawString(const String& s, int length, const TGPFont* font, const TGPRectF& layout,
    const TGPStringFormat* format, const TGPBrush* brush)
{
    // The text goes as a terminated copy, so a length past its end cannot read beyond it.
    const String copy = s;
    return SetStatus(GdipDrawString(nativeGraphics, copy.c_str(), Clamp(copy, length), H(font), Rect(layout), H(format), H(brush)));
}
TStatus TGPGraphics::DrawString(const String& s, int length, const TGPFont* font, const TGPPointF& origin, const TGPBrush* brush)
{
    return DrawString(s, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, nullptr, brush);
}
TStatus TGPGraphics::DrawString(const String& s, int length, const TGPFont* font, const TGPPointF& origin,
    const TGPStringFormat* format, const TGPBrush* brush)
{
    return DrawString(s, length, font, TGPRectF { origin.X, origin.Y, 0, 0 }, format, brush);
}
TStatus TGPGraphics::DrawString(const String& s, int length, const TGPFont* font, const TGPRectF& layout, const TGPBrush* brush)
{
    return DrawString(s, length, font, layout, nullptr, brush);
}

TGPFont* TGPGraphics::MakeFont(TFont* AFont) { return MakeFont(AFont, float(AFont->GetSize())); }
TGPFont* TGPGraphics::MakeFont(TFont* AFont, float ASize)
{
    auto family = std::make_unique<TGPFontFamily>(AFont->GetName());
    if (family->lastResult == FontFamilyNotFound || family->lastResult == FontStyleNotFound)
        family = std::make_unique<TGPFontFamily>(u"Arial");
    return new TGPFont(family.get(), ASize, StyleBits(AFont->GetStyle()), UnitPoint);
}
TGPFont* TGPGraphics::MakeFontEx(TFont* AFont) { return MakeFontEx(AFont, float(AFont->GetSize())); }
TGPFont* TGPGraphics::MakeFontEx(TFont* AFont, float ASize)
{
    const int style = StyleBits(AFont->GetStyle());
    // The cache remembers the name it was made for: a family that the font
    // map resolves to another name still hits.
    if (FCachedFont && FCachedFont->GetSize() == ASize && FCachedFont->GetStyle() == style && FCachedFontName == AFont->GetName())
        return FCachedFont;
    delete FCachedFont;
    FCachedFont = MakeFont(AFont, ASize);
    FCachedFontName = AFont->GetName();
    return FCachedFont;
}
int TGPGraphics::TextWidth(const String& s, TFont* font)
{
    TGPRectF box;
    MeasureString(s, int(s.size()), MakeFontEx(font), TGPRectF { 0, 0, 10000, 10000 }, box);
    return int(RoundHalfEven(box.Width));
}
int TGPGraphics::TextHeight(const String& s, TFont* font)
{
    TGPRectF box;
    MeasureString(s, int(s.size()), MakeFontEx(font), TGPRectF { 0, 0, 10000, 10000 }, box);
    return int(RoundHalfEven(box.Height));
}
int TGPGraphics::DrawText(const String& s, int len, TRect& rect, TFont* font, unsigned style, TColor bkColor)
{
    constexpr unsigned CalcRect = 0x400;
    TGPFont* f = MakeFontEx(font);
    if ((style & CalcRect) || bkColor != clNone) {
        String copy = s.substr(0, std::size_t(Clamp(s, len)));
        // Measuring trims the padding the measure adds, growing with the font.
        const int size = font->GetSize();
        const double trim = size >= 9 ? double(RoundHalfEven((size - 8) / 1.5) + 2) : 2.0;
        // A trailing space is measured as "i": the measure drops trailing blanks.
        if (copy.size() > 1 && copy.back() == u' ')
            copy.back() = u'i';
        const TGPRectF layout { float(rect.Left), float(rect.Top), float(rect.Right - rect.Left + 1000), float(rect.Bottom - rect.Top) };
        TGPRectF box;
        MeasureString(copy, int(copy.size()), f, layout, box);
        rect.Right = rect.Left + int(RoundHalfEven(box.Width - trim));
        rect.Bottom = rect.Top + int(RoundHalfEven(box.Height));
        if (bkColor != clNone) {
            const TGPSolidBrush brush(ToOpaqueARGB(bkColor));
            FillRectangle(&brush, float(rect.Left + 1), float(rect.Top), float(box.Width - trim + 1), box.Height);
        }
    }
    if (!(style & CalcRect)) {
        const TGPSolidBrush brush(ToOpaqueARGB(font->GetColor()));
        DrawString(s, Clamp(s, len), f, TGPPointF { float(rect.Left), float(rect.Top) }, &brush);
    }
    return rect.Bottom - rect.Top;
}
TStatus TGPGraphics::GetLastStatus()
{
    const TStatus st = lastResult;
    lastResult = Ok;
    return st;
}

// ---- plain functions ----

ARGB ToOpaqueARGB(TColor Color) { return MakeARGBFromColor(255, Color); }

ARGB MakeARGBFromColor(Byte Alpha, TColor Color)
{
    const TColor rgb = ColorToRGB(Color);
    return MakeARGB(Alpha, GetRValue(COLORREF(rgb)), GetGValue(COLORREF(rgb)), GetBValue(COLORREF(rgb)));
}

void DrawGDIPGradient(const TGDIPGradientParams& P)
{
    if (!P.Graphics)
        return;
    const ARGB from = MakeARGBFromColor(P.OpacityFrom, P.ColorFrom);
    const ARGB to = MakeARGBFromColor(P.OpacityTo, P.ColorTo);
    const TGPRectF grown { P.R.X - 1, P.R.Y - 1, P.R.Width + 2, P.R.Height + 2 };
    auto fill = [&](const TGPBrush& brush) {
        if (P.UsePath)
            P.Graphics->FillPath(&brush, P.Path);
        else
            P.Graphics->FillRectangle(&brush, P.R);
    };
    switch (P.GradientType) {
    case gtSolid:
        fill(TGPSolidBrush(from));
        break;
    case gtVertical:
    case gtHorizontal:
    case gtForwardDiagonal:
    case gtBackwardDiagonal: {
        const LinearGradientMode mode = P.GradientType == gtVertical ? LinearGradientModeVertical
            : P.GradientType == gtHorizontal                          ? LinearGradientModeHorizontal
            : P.GradientType == gtForwardDiagonal                     ? LinearGradientModeForwardDiagonal
                                                                      : LinearGradientModeBackwardDiagonal;
        TGPLinearGradientBrush brush(grown, from, to, mode);
        brush.SetGammaCorrection(true);
        fill(brush);
        if (P.TopLine) {
            const TGPSolidBrush line(from);
            P.Graphics->FillRectangle(&line, P.R.X, P.R.Y, P.R.Width, 1);
        }
        break;
    }
    case gtAngle: {
        TGPLinearGradientBrush brush(grown, from, to, float(P.Angle), true);
        brush.SetGammaCorrection(true);
        fill(brush);
        break;
    }
    case gtHatch:
        fill(TGPHatchBrush(P.HatchStyle, from, to));
        break;
    case gtTexture:
        if (P.Texture) {
            if (P.UsePath)
                P.Texture->FillPath(P.Graphics, P.Path);
            else
                P.Texture->FillRect(P.Graphics, P.R);
        }
        break;
    case gtRadial:
    case gtPath:
    case gtNone:
        break;
    }
    if (P.BorderColor != clNone) {
        TGPPen pen(MakeARGBFromColor(P.OpacityFrom, P.BorderColor), float(P.BorderWidth));
        pen.SetDashStyle(P.BorderStyle);
        if (P.UsePath)
            P.Graphics->DrawPath(&pen, P.Path);
        else
            P.Graphics->DrawRectangle(&pen, P.R);
    }
}

} // namespace LumGDIP
