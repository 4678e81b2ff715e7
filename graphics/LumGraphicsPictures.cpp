// Pictures of the drawing object: placement rules, whole pictures, parts of
// pictures, pictures by name from a picture source and by display scale.

#include <cmath>

#include "foundation/VuzErazs.h"
#include "graphics/LumBitmap.h"
#include "graphics/LumGeometry.h"
#include "graphics/LumGraphics.h"
#include "graphics/LumSVGParser.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Larger temporary surfaces than this are refused rather than allocated.
constexpr double MaxPartPixels = 64.0 * 1024 * 1024;

// The SVG document of an SVG picture with elements, else null.
TLumSVGImport* PictureSVG(TPicture* APicture)
{
    auto* svg = APicture ? dynamic_cast<TLumSVGBitmap*>(APicture->GetGraphic()) : nullptr;
    TLumSVGImport* doc = svg ? svg->GetSVG() : nullptr;
    return doc && doc->HasElements() ? doc : nullptr;
}

bool IsEmptyRect(double ALeft, double ATop, double ARight, double ABottom)
{
    return !(ARight > ALeft) || !(ABottom > ATop);
}

TRect RoundRect(const TRectF& R)
{
    return TRect { RoundToInt(R.Left), RoundToInt(R.Top), RoundToInt(R.Right), RoundToInt(R.Bottom) };
}

float EffectiveScale(float AScale)
{
    return AScale > 0 ? AScale : TVuzErazs::GetDPIScale(nullptr, -1);
}

// The source part drawn at natural size on a surface of its own size.
std::unique_ptr<TLumBitmap> CopyPicturePart(bool ANative, double ASourceLeft, double ASourceTop,
    double ASourceRight, double ASourceBottom, TPicture* ABitmap)
{
    double width = std::nearbyint(ASourceRight - ASourceLeft);
    double height = std::nearbyint(ASourceBottom - ASourceTop);
    if (!(width >= 1) || !(height >= 1) || width * height > MaxPartPixels)
        return nullptr;
    auto canvas = TLumGraphics::CreateBitmapCanvas(int(width), int(height), ANative, true);
    canvas->BeginScene();
    canvas->DrawBitmap(-ASourceLeft, -ASourceTop, ABitmap->GetWidth() - ASourceLeft,
        ABitmap->GetHeight() - ASourceTop, ABitmap, false, false, false, false);
    canvas->EndScene();
    auto part = std::make_unique<TLumBitmap>();
    part->Assign(canvas->GetBitmap());
    return part;
}

} // namespace

void TLumGraphics::GetAspectSize(float& AWidth, float& AHeight, float AOriginalWidth, float AOriginalHeight,
    float ANewWidth, float ANewHeight, bool AAspectRatio, bool AStretch, bool /*ACropping*/)
{
    if (AAspectRatio) {
        if (!(AOriginalWidth > 0) || !(AOriginalHeight > 0) || !(ANewWidth > 0) || !(ANewHeight > 0)) {
            AWidth = AHeight = 0;
        } else if (ANewWidth <= AOriginalWidth || ANewHeight <= AOriginalHeight || AStretch) {
            if (ANewWidth / ANewHeight > AOriginalWidth / AOriginalHeight) {
                AHeight = ANewHeight;
                AWidth = ANewHeight * AOriginalWidth / AOriginalHeight;
            } else {
                AWidth = ANewWidth;
                AHeight = ANewWidth * AOriginalHeight / AOriginalWidth;
            }
        } else {
            AWidth = AOriginalWidth;
            AHeight = AOriginalHeight;
        }
    } else if (AStretch) {
        AWidth = ANewWidth;
        AHeight = ANewHeight;
    } else {
        AWidth = AOriginalWidth;
        AHeight = AOriginalHeight;
    }
}

TRectF TLumGraphics::GetBitmapDrawRectangle(double ALeft, double ATop, double ARight, double ABottom,
    TPicture* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    if (!ABitmap)
        return TRectF {};
    float w = 0, h = 0;
    const double targetWidth = ARight - ALeft, targetHeight = ABottom - ATop;
    GetAspectSize(w, h, float(ABitmap->GetWidth()), float(ABitmap->GetHeight()), float(targetWidth),
        float(targetHeight), AAspectRatio, AStretch, ACropping);
    double dx = 0, dy = 0;
    if (ACropping || ACenter) {
        dx = double(RoundHalfEven((targetWidth - w) / 2));
        dy = double(RoundHalfEven((targetHeight - h) / 2));
    }
    return TRectF { float(ALeft + dx), float(ATop + dy), float(ALeft + dx + w), float(ATop + dy + h) };
}

TRectF TLumGraphics::GetBitmapDrawRectangle(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio,
    bool AStretch, bool ACenter, bool ACropping)
{
    return GetBitmapDrawRectangle(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ABitmap, AAspectRatio,
        AStretch, ACenter, ACropping);
}

TRect TLumGraphics::GetBitmapDrawRectangle(int ALeft, int ATop, int ARight, int ABottom, TPicture* ABitmap,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    return RoundRect(GetBitmapDrawRectangle(double(ALeft), double(ATop), double(ARight), double(ABottom), ABitmap,
        AAspectRatio, AStretch, ACenter, ACropping));
}

TRect TLumGraphics::GetBitmapDrawRectangle(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio,
    bool AStretch, bool ACenter, bool ACropping)
{
    return GetBitmapDrawRectangle(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ABitmap, AAspectRatio,
        AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmap(double ALeft, double ATop, double ARight, double ABottom, TPicture* ABitmap,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    if (!ABitmap)
        return;
    TRectF r = GetBitmapDrawRectangle(ALeft, ATop, ARight, ABottom, ABitmap, AAspectRatio, AStretch, ACenter,
        ACropping);
    if (TLumSVGImport* svg = PictureSVG(ABitmap)) {
        if (auto* vector = dynamic_cast<TLumGraphicsSVGImport*>(svg)) {
            vector->Draw(this, r, true, true);
            return;
        }
        // Another document kind: rasterised at the size of the target.
        double width = std::nearbyint(r.Right - r.Left), height = std::nearbyint(r.Bottom - r.Top);
        if (!(width >= 1) || !(height >= 1) || width * height > MaxPartPixels)
            return;
        std::unique_ptr<TLumBitmap> raster = svg->GenerateBitmap(float(width), float(height));
        if (raster && raster->GetGraphic())
            GetContext()->DrawBitmap(raster->GetGraphic(), TRectF { 0, 0, float(width), float(height) }, r, 1.0f);
        return;
    }
    if (TGraphic* graphic = ABitmap->GetGraphic())
        GetContext()->DrawBitmap(graphic,
            TRectF { 0, 0, float(ABitmap->GetWidth()), float(ABitmap->GetHeight()) }, r, 1.0f);
}

void TLumGraphics::DrawBitmap(const TRectF& ARect, TPicture* ABitmap, bool AAspectRatio, bool AStretch,
    bool ACenter, bool ACropping)
{
    DrawBitmap(double(ARect.Left), double(ARect.Top), double(ARect.Right), double(ARect.Bottom), ABitmap,
        AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmap(int ALeft, int ATop, int ARight, int ABottom, TPicture* ABitmap, bool AAspectRatio,
    bool AStretch, bool ACenter, bool ACropping)
{
    DrawBitmap(double(ALeft), double(ATop), double(ARight), double(ABottom), ABitmap, AAspectRatio, AStretch,
        ACenter, ACropping);
}

void TLumGraphics::DrawBitmap(const TRect& ARect, TPicture* ABitmap, bool AAspectRatio, bool AStretch,
    bool ACenter, bool ACropping)
{
    DrawBitmap(ARect.Left, ARect.Top, ARect.Right, ARect.Bottom, ABitmap, AAspectRatio, AStretch, ACenter,
        ACropping);
}

void TLumGraphics::DrawBitmap(float ALeft, float ATop, TPicture* ABitmap)
{
    if (!ABitmap)
        return;
    DrawBitmap(double(ALeft), double(ATop), double(ALeft) + ABitmap->GetWidth(),
        double(ATop) + ABitmap->GetHeight(), ABitmap, true, false, true, false);
}

void TLumGraphics::DrawBitmap(int ALeft, int ATop, TPicture* ABitmap)
{
    DrawBitmap(float(ALeft), float(ATop), ABitmap);
}

void TLumGraphics::DrawBitmapPart(double ASourceLeft, double ASourceTop, double ASourceRight,
    double ASourceBottom, double ADestinationLeft, double ADestinationTop, double ADestinationRight,
    double ADestinationBottom, TPicture* ABitmap, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    if (!ABitmap || IsEmptyRect(ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom)
        || IsEmptyRect(ASourceLeft, ASourceTop, ASourceRight, ASourceBottom))
        return;
    if (PictureSVG(ABitmap)) {
        DrawBitmap(ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom, ABitmap,
            AAspectRatio, AStretch, ACenter, ACropping);
        return;
    }
    if (auto part = CopyPicturePart(FNative, ASourceLeft, ASourceTop, ASourceRight, ASourceBottom, ABitmap))
        DrawBitmap(ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom, part.get(),
            AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmapPart(const TRectF& ASourceRect, const TRectF& ADestinationRect, TPicture* ABitmap,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawBitmapPart(ASourceRect.Left, ASourceRect.Top, ASourceRect.Right, ASourceRect.Bottom, ADestinationRect.Left,
        ADestinationRect.Top, ADestinationRect.Right, ADestinationRect.Bottom, ABitmap, AAspectRatio, AStretch,
        ACenter, ACropping);
}

void TLumGraphics::DrawBitmapPart(int ASourceLeft, int ASourceTop, int ASourceRight, int ASourceBottom,
    int ADestinationLeft, int ADestinationTop, int ADestinationRight, int ADestinationBottom, TPicture* ABitmap,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawBitmapPart(double(ASourceLeft), double(ASourceTop), double(ASourceRight), double(ASourceBottom),
        double(ADestinationLeft), double(ADestinationTop), double(ADestinationRight), double(ADestinationBottom),
        ABitmap, AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmapPart(const TRect& ASourceRect, const TRect& ADestinationRect, TPicture* ABitmap,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawBitmapPart(ASourceRect.Left, ASourceRect.Top, ASourceRect.Right, ASourceRect.Bottom, ADestinationRect.Left,
        ADestinationRect.Top, ADestinationRect.Right, ADestinationRect.Bottom, ABitmap, AAspectRatio, AStretch,
        ACenter, ACropping);
}

std::unique_ptr<TLumBitmap> TLumGraphics::DrawBitmapPartSync(double ASourceLeft, double ASourceTop,
    double ASourceRight, double ASourceBottom, double ADestinationLeft, double ADestinationTop,
    double ADestinationRight, double ADestinationBottom, TPicture* ABitmap, bool, bool, bool, bool)
{
    if (!ABitmap || IsEmptyRect(ADestinationLeft, ADestinationTop, ADestinationRight, ADestinationBottom)
        || IsEmptyRect(ASourceLeft, ASourceTop, ASourceRight, ASourceBottom) || PictureSVG(ABitmap))
        return nullptr;
    return CopyPicturePart(FNative, ASourceLeft, ASourceTop, ASourceRight, ASourceBottom, ABitmap);
}

TPicture* TLumGraphics::GetBitmapFromPictureContainer(TLumGraphicsPictureSource* APictureContainer,
    const String& AName, bool AApplyScale, float AScale)
{
    if (!APictureContainer || AName.empty())
        return nullptr;
    TPicture* found = nullptr;
    if (AApplyScale)
        found = APictureContainer->FindBitmap(AName + u"_" + FloatToStr(EffectiveScale(AScale)));
    if (!found)
        found = APictureContainer->FindBitmap(AName);
    return found;
}

void TLumGraphics::DrawBitmapWithName(const TRectF& ARect, const String& ABitmapName, bool AApplyScale,
    float AScale, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    if (TPicture* picture = GetBitmapFromPictureContainer(FPictureContainer, ABitmapName, AApplyScale, AScale))
        DrawBitmap(ARect, picture, AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmapWithName(double ALeft, double ATop, double ARight, double ABottom,
    const String& ABitmapName, bool AApplyScale, float AScale, bool AAspectRatio, bool AStretch, bool ACenter,
    bool ACropping)
{
    DrawBitmapWithName(TRectF { float(ALeft), float(ATop), float(ARight), float(ABottom) }, ABitmapName,
        AApplyScale, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmapWithName(int ALeft, int ATop, int ARight, int ABottom, const String& ABitmapName,
    bool AApplyScale, float AScale, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawBitmapWithName(TRectF { float(ALeft), float(ATop), float(ARight), float(ABottom) }, ABitmapName,
        AApplyScale, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawBitmapWithName(const TRect& ARect, const String& ABitmapName, bool AApplyScale,
    float AScale, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawBitmapWithName(RectToRectF(ARect), ABitmapName, AApplyScale, AScale, AAspectRatio, AStretch, ACenter,
        ACropping);
}

TPicture* TLumGraphics::GetScaledBitmap(TLumScaledBitmaps* ABitmaps, float AScale,
    TLumGraphicsPictureSource* APictureContainer)
{
    if (!ABitmaps)
        return nullptr;
    TLumScaledBitmap* item = ABitmaps->GetItemByScale(EffectiveScale(AScale));
    if (!item)
        return nullptr;
    if (item->GetBitmap() && !PictureIsEmpty(item->GetBitmap()))
        return item->GetBitmap();
    TPicture* found = GetBitmapFromPictureContainer(APictureContainer, item->GetBitmapName(), true, AScale);
    if (found && !PictureIsEmpty(found))
        return found;
    found = GetBitmapFromPictureContainer(APictureContainer, item->GetBitmapName(), false, item->GetScale());
    return found && !PictureIsEmpty(found) ? found : nullptr;
}

void TLumGraphics::DrawScaledBitmap(const TRectF& ARect, TLumScaledBitmaps* ABitmaps, float AScale,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    if (!ABitmaps)
        return;
    TLumScaledBitmap* item = ABitmaps->GetItemByScale(EffectiveScale(AScale));
    if (!item)
        return;
    if (item->GetBitmap() && !PictureIsEmpty(item->GetBitmap())) {
        DrawBitmap(ARect, item->GetBitmap(), AAspectRatio, AStretch, ACenter, ACropping);
        return;
    }
    TPicture* found = GetBitmapFromPictureContainer(FPictureContainer, item->GetBitmapName(), true, AScale);
    if (found && !PictureIsEmpty(found)) {
        DrawBitmap(ARect, found, AAspectRatio, AStretch, ACenter, ACropping);
        return;
    }
    DrawBitmapWithName(ARect, item->GetBitmapName(), false, item->GetScale(), AAspectRatio, AStretch, ACenter,
        ACropping);
}

void TLumGraphics::DrawScaledBitmap(double ALeft, double ATop, double ARight, double ABottom,
    TLumScaledBitmaps* ABitmaps, float AScale, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawScaledBitmap(TRectF { float(ALeft), float(ATop), float(ARight), float(ABottom) }, ABitmaps, AScale,
        AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawScaledBitmap(const TRect& ARect, TLumScaledBitmaps* ABitmaps, float AScale,
    bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawScaledBitmap(RectToRectF(ARect), ABitmaps, AScale, AAspectRatio, AStretch, ACenter, ACropping);
}

void TLumGraphics::DrawScaledBitmap(int ALeft, int ATop, int ARight, int ABottom, TLumScaledBitmaps* ABitmaps,
    float AScale, bool AAspectRatio, bool AStretch, bool ACenter, bool ACropping)
{
    DrawScaledBitmap(TRectF { float(ALeft), float(ATop), float(ARight), float(ABottom) }, ABitmaps, AScale,
        AAspectRatio, AStretch, ACenter, ACropping);
}
