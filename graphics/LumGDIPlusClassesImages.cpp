#include "graphics/LumGDIPlusClassesImages.h"

#include "graphics/LumGDIPlusClassesGraphics.h"

namespace LumGDIPlusClasses {

namespace {

// Holds a reference to the stream for the length of one call.
class TStreamHold {
public:
    explicit TStreamHold(IStream* stream) : FStream(stream)
    {
        if (FStream)
            FStream->AddRef();
    }
    ~TStreamHold()
    {
        if (FStream)
            FStream->Release();
    }
    TStreamHold(const TStreamHold&) = delete;
    TStreamHold& operator=(const TStreamHold&) = delete;

private:
    IStream* FStream;
};

} // namespace

// ---- TGPImage ----

TGPImage::TGPImage(const String& filename, bool useEmbeddedColorManagement)
{
    lastResult = useEmbeddedColorManagement ? GdiplusApi.GdipLoadImageFromFileICM(filename.c_str(), &nativeImage)
                                            : GdiplusApi.GdipLoadImageFromFile(filename.c_str(), &nativeImage);
}

TGPImage::TGPImage(IStream* stream, bool useEmbeddedColorManagement)
{
    TStreamHold hold(stream);
    lastResult = useEmbeddedColorManagement ? GdiplusApi.GdipLoadImageFromStreamICM(stream, &nativeImage)
                                            : GdiplusApi.GdipLoadImageFromStream(stream, &nativeImage);
}

TGPImage::TGPImage(void* ANativeImage, Status status) : nativeImage(ANativeImage), lastResult(status) { }

TGPImage::~TGPImage() { GdiplusApi.GdipDisposeImage(nativeImage); }

std::unique_ptr<TGPImage> TGPImage::FromFile(const String& filename, bool useEmbeddedColorManagement)
{
    return std::unique_ptr<TGPImage>(new TGPImage(filename, useEmbeddedColorManagement));
}

std::unique_ptr<TGPImage> TGPImage::FromStream(IStream* stream, bool useEmbeddedColorManagement)
{
    return std::unique_ptr<TGPImage>(new TGPImage(stream, useEmbeddedColorManagement));
}

std::unique_ptr<TGPImage> TGPImage::Clone()
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneImage(nativeImage, &clone));
    return std::unique_ptr<TGPImage>(new TGPImage(clone, lastResult));
}

Status TGPImage::Save(const String& filename, const TGUID& clsidEncoder, const EncoderParameters* encoderParams)
{
    return SetStatus(GdiplusApi.GdipSaveImageToFile(nativeImage, filename.c_str(), &clsidEncoder, encoderParams));
}

Status TGPImage::Save(IStream* stream, const TGUID& clsidEncoder, const EncoderParameters* encoderParams)
{
    TStreamHold hold(stream);
    return SetStatus(GdiplusApi.GdipSaveImageToStream(nativeImage, stream, &clsidEncoder, encoderParams));
}

Status TGPImage::SaveAdd(const EncoderParameters* encoderParams)
{
    return SetStatus(GdiplusApi.GdipSaveAdd(nativeImage, encoderParams));
}

Status TGPImage::SaveAdd(const TGPImage* newImage, const EncoderParameters* encoderParams)
{
    if (!newImage)
        return SetStatus(InvalidParameter);
    return SetStatus(GdiplusApi.GdipSaveAddImage(nativeImage, newImage->nativeImage, encoderParams));
}

ImageType TGPImage::GetType()
{
    return QueryValue(lastResult, ImageTypeUnknown, GdiplusApi.GdipGetImageType, nativeImage);
}

Status TGPImage::GetPhysicalDimension(TGPSizeF& size)
{
    float width = 0, height = 0;
    const Status status = SetStatus(GdiplusApi.GdipGetImageDimension(nativeImage, &width, &height));
    if (status != Ok)
        width = height = 0; // the library may have written half of it
    size.Width = width;
    size.Height = height;
    return status;
}

Status TGPImage::GetBounds(TGPRectF& srcRect, Unit_& srcUnit)
{
    srcUnit = UnitWorld;
    return SetStatus(GdiplusApi.GdipGetImageBounds(nativeImage, &srcRect, &srcUnit));
}

UINT TGPImage::GetWidth()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetImageWidth, nativeImage);
}

UINT TGPImage::GetHeight()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetImageHeight, nativeImage);
}

float TGPImage::GetHorizontalResolution()
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetImageHorizontalResolution, nativeImage);
}

float TGPImage::GetVerticalResolution()
{
    return QueryValue(lastResult, 0.0f, GdiplusApi.GdipGetImageVerticalResolution, nativeImage);
}

UINT TGPImage::GetFlags()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetImageFlags, nativeImage);
}

Status TGPImage::GetRawFormat(TGUID& format) { return SetStatus(GdiplusApi.GdipGetImageRawFormat(nativeImage, &format)); }

int TGPImage::GetPixelFormat()
{
    return QueryValue(lastResult, 0, GdiplusApi.GdipGetImagePixelFormat, nativeImage);
}

int TGPImage::GetPaletteSize()
{
    return QueryValue(lastResult, 0, GdiplusApi.GdipGetImagePaletteSize, nativeImage);
}

Status TGPImage::GetPalette(ColorPalette* palette, int size)
{
    return SetStatus(GdiplusApi.GdipGetImagePalette(nativeImage, palette, size));
}

Status TGPImage::SetPalette(const ColorPalette* palette)
{
    return SetStatus(GdiplusApi.GdipSetImagePalette(nativeImage, palette));
}

std::unique_ptr<TGPImage> TGPImage::GetThumbnailImage(UINT thumbWidth, UINT thumbHeight, ImageAbort callback,
    void* callbackData)
{
    void* thumb = nullptr;
    SetStatus(GdiplusApi.GdipGetImageThumbnail(nativeImage, thumbWidth, thumbHeight, &thumb, callback, callbackData));
    return std::unique_ptr<TGPImage>(new TGPImage(thumb, lastResult));
}

UINT TGPImage::GetFrameDimensionsCount()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipImageGetFrameDimensionsCount, nativeImage);
}

Status TGPImage::GetFrameDimensionsList(TGUID* dimensionIDs, UINT count)
{
    return SetStatus(GdiplusApi.GdipImageGetFrameDimensionsList(nativeImage, dimensionIDs, count));
}

UINT TGPImage::GetFrameCount(const TGUID& dimensionID)
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipImageGetFrameCount, nativeImage, &dimensionID);
}

Status TGPImage::SelectActiveFrame(const TGUID& dimensionID, UINT frameIndex)
{
    return SetStatus(GdiplusApi.GdipImageSelectActiveFrame(nativeImage, &dimensionID, frameIndex));
}

Status TGPImage::RotateFlip(RotateFlipType rotateFlipType)
{
    return SetStatus(GdiplusApi.GdipImageRotateFlip(nativeImage, rotateFlipType));
}

UINT TGPImage::GetPropertyCount()
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetPropertyCount, nativeImage);
}

Status TGPImage::GetPropertyIdList(UINT numOfProperty, PROPID* list)
{
    return SetStatus(GdiplusApi.GdipGetPropertyIdList(nativeImage, numOfProperty, list));
}

UINT TGPImage::GetPropertyItemSize(PROPID propId)
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetPropertyItemSize, nativeImage, propId);
}

Status TGPImage::GetPropertyItem(PROPID propId, UINT propSize, PropertyItem* buffer)
{
    return SetStatus(GdiplusApi.GdipGetPropertyItem(nativeImage, propId, propSize, buffer));
}

Status TGPImage::GetPropertySize(UINT& totalBufferSize, UINT& numProperties)
{
    return SetStatus(GdiplusApi.GdipGetPropertySize(nativeImage, &totalBufferSize, &numProperties));
}

Status TGPImage::GetAllPropertyItems(UINT totalBufferSize, UINT numProperties, PropertyItem* allItems)
{
    return SetStatus(GdiplusApi.GdipGetAllPropertyItems(nativeImage, totalBufferSize, numProperties, allItems));
}

Status TGPImage::RemovePropertyItem(PROPID propId)
{
    return SetStatus(GdiplusApi.GdipRemovePropertyItem(nativeImage, propId));
}

Status TGPImage::SetPropertyItem(const PropertyItem& item)
{
    return SetStatus(GdiplusApi.GdipSetPropertyItem(nativeImage, &item));
}

UINT TGPImage::GetEncoderParameterListSize(const TGUID& clsidEncoder)
{
    return QueryValue(lastResult, 0u, GdiplusApi.GdipGetEncoderParameterListSize, nativeImage, &clsidEncoder);
}

Status TGPImage::GetEncoderParameterList(const TGUID& clsidEncoder, UINT size, EncoderParameters* buffer)
{
    return SetStatus(GdiplusApi.GdipGetEncoderParameterList(nativeImage, &clsidEncoder, size, buffer));
}

// ---- TGPBitmap ----

TGPBitmap::TGPBitmap(const String& filename, bool useEmbeddedColorManagement) : TGPImage(TNoImage {})
{
    lastResult = useEmbeddedColorManagement ? GdiplusApi.GdipCreateBitmapFromFileICM(filename.c_str(), &nativeImage)
                                            : GdiplusApi.GdipCreateBitmapFromFile(filename.c_str(), &nativeImage);
}

TGPBitmap::TGPBitmap(IStream* stream, bool useEmbeddedColorManagement) : TGPImage(TNoImage {})
{
    TStreamHold hold(stream);
    lastResult = useEmbeddedColorManagement ? GdiplusApi.GdipCreateBitmapFromStreamICM(stream, &nativeImage)
                                            : GdiplusApi.GdipCreateBitmapFromStream(stream, &nativeImage);
}

TGPBitmap::TGPBitmap(int width, int height, int stride, int format, BYTE* scan0) : TGPImage(TNoImage {})
{
    lastResult = GdiplusApi.GdipCreateBitmapFromScan0(width, height, stride, format, scan0, &nativeImage);
}

TGPBitmap::TGPBitmap(int width, int height, int format) : TGPImage(TNoImage {})
{
    lastResult = GdiplusApi.GdipCreateBitmapFromScan0(width, height, 0, format, nullptr, &nativeImage);
}

TGPBitmap::TGPBitmap(int width, int height, TGPGraphics* target) : TGPImage(TNoImage {})
{
    if (!target) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateBitmapFromGraphics(width, height, target->nativeGraphics, &nativeImage);
}

TGPBitmap::TGPBitmap(const BITMAPINFO& gdiBitmapInfo, void* gdiBitmapData) : TGPImage(TNoImage {})
{
    lastResult = GdiplusApi.GdipCreateBitmapFromGdiDib(&gdiBitmapInfo, gdiBitmapData, &nativeImage);
}

TGPBitmap::TGPBitmap(HBITMAP hbm, HPALETTE hpal) : TGPImage(TNoImage {})
{
    lastResult = GdiplusApi.GdipCreateBitmapFromHBITMAP(hbm, hpal, &nativeImage);
}

TGPBitmap::TGPBitmap(HICON hicon, int) : TGPImage(TNoImage {})
{
    lastResult = GdiplusApi.GdipCreateBitmapFromHICON(hicon, &nativeImage);
}

TGPBitmap::TGPBitmap(NativeUInt hInstance, const String& bitmapName) : TGPImage(TNoImage {})
{
    lastResult = GdiplusApi.GdipCreateBitmapFromResource(reinterpret_cast<HINSTANCE>(hInstance), bitmapName.c_str(),
        &nativeImage);
}

TGPBitmap::TGPBitmap(void* nativeBitmap) : TGPImage(nativeBitmap, Ok) { }

std::unique_ptr<TGPBitmap> TGPBitmap::FromFile(const String& filename, bool useEmbeddedColorManagement)
{
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(filename, useEmbeddedColorManagement));
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromStream(IStream* stream, bool useEmbeddedColorManagement)
{
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(stream, useEmbeddedColorManagement));
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromBITMAPINFO(const BITMAPINFO& gdiBitmapInfo, void* gdiBitmapData)
{
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(gdiBitmapInfo, gdiBitmapData));
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromHBITMAP(HBITMAP hbm, HPALETTE hpal)
{
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(hbm, hpal));
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromHICON(HICON hicon)
{
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(hicon, 0));
}

std::unique_ptr<TGPBitmap> TGPBitmap::FromResource(NativeUInt hInstance, const String& bitmapName)
{
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(hInstance, bitmapName));
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(int x, int y, int width, int height, int format)
{
    void* clone = nullptr;
    lastResult = GdiplusApi.GdipCloneBitmapAreaI(x, y, width, height, format, nativeImage, &clone);
    if (lastResult != Ok)
        return nullptr;
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(clone));
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(const TGPRect& rect, int format)
{
    return Clone(rect.X, rect.Y, rect.Width, rect.Height, format);
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(float x, float y, float width, float height, int format)
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneBitmapArea(x, y, width, height, format, nativeImage, &clone));
    if (lastResult != Ok) {
        // The clone itself may have succeeded after an earlier unread error.
        GdiplusApi.GdipDisposeImage(clone);
        return nullptr;
    }
    return std::unique_ptr<TGPBitmap>(new TGPBitmap(clone));
}

std::unique_ptr<TGPBitmap> TGPBitmap::Clone(const TGPRectF& rect, int format)
{
    return Clone(rect.X, rect.Y, rect.Width, rect.Height, format);
}

Status TGPBitmap::LockBits(const TGPRect& rect, UINT flags, int format, BitmapData& lockedBitmapData)
{
    const TGPRect area = rect;
    return SetStatus(GdiplusApi.GdipBitmapLockBits(nativeImage, &area, flags, format, &lockedBitmapData));
}

Status TGPBitmap::UnlockBits(BitmapData& lockedBitmapData)
{
    return SetStatus(GdiplusApi.GdipBitmapUnlockBits(nativeImage, &lockedBitmapData));
}

Status TGPBitmap::GetPixel(int x, int y, ARGB& color)
{
    ARGB pixel = 0;
    const Status status = SetStatus(GdiplusApi.GdipBitmapGetPixel(nativeImage, x, y, &pixel));
    color = status == Ok ? pixel : 0;
    return status;
}

Status TGPBitmap::SetPixel(int x, int y, ARGB color)
{
    return SetStatus(GdiplusApi.GdipBitmapSetPixel(nativeImage, x, y, color));
}

Status TGPBitmap::SetResolution(float xdpi, float ydpi)
{
    return SetStatus(GdiplusApi.GdipBitmapSetResolution(nativeImage, xdpi, ydpi));
}

Status TGPBitmap::GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn)
{
    return SetStatus(GdiplusApi.GdipCreateHBITMAPFromBitmap(nativeImage, &hbmReturn, colorBackground));
}

Status TGPBitmap::GetHICON(HICON& hicon) { return SetStatus(GdiplusApi.GdipCreateHICONFromBitmap(nativeImage, &hicon)); }

// ---- TGPCachedBitmap ----

TGPCachedBitmap::TGPCachedBitmap(const TGPBitmap* bitmap, const TGPGraphics* graphics)
{
    if (!bitmap || !graphics) {
        lastResult = InvalidParameter;
        return;
    }
    lastResult = GdiplusApi.GdipCreateCachedBitmap(bitmap->nativeImage, graphics->nativeGraphics, &nativeCachedBitmap);
}

TGPCachedBitmap::~TGPCachedBitmap() { GdiplusApi.GdipDeleteCachedBitmap(nativeCachedBitmap); }

// ---- TGPImageAttributes ----

TGPImageAttributes::TGPImageAttributes() { lastResult = GdiplusApi.GdipCreateImageAttributes(&nativeImageAttr); }

TGPImageAttributes::TGPImageAttributes(void* imageAttr, Status status)
    : nativeImageAttr(imageAttr)
    , lastResult(status)
{
}

TGPImageAttributes::~TGPImageAttributes() { GdiplusApi.GdipDisposeImageAttributes(nativeImageAttr); }

std::unique_ptr<TGPImageAttributes> TGPImageAttributes::Clone()
{
    void* clone = nullptr;
    SetStatus(GdiplusApi.GdipCloneImageAttributes(nativeImageAttr, &clone));
    return std::unique_ptr<TGPImageAttributes>(new TGPImageAttributes(clone, lastResult));
}

Status TGPImageAttributes::SetToIdentity(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesToIdentity(nativeImageAttr, type_));
}

Status TGPImageAttributes::Reset(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipResetImageAttributes(nativeImageAttr, type_));
}

Status TGPImageAttributes::SetColorMatrix(const ColorMatrix& colorMatrix, ColorMatrixFlags mode, ColorAdjustType type_)
{
    return SetStatus(
        GdiplusApi.GdipSetImageAttributesColorMatrix(nativeImageAttr, type_, TRUE, &colorMatrix, nullptr, mode));
}

Status TGPImageAttributes::ClearColorMatrix(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesColorMatrix(nativeImageAttr, type_, FALSE, nullptr, nullptr,
        ColorMatrixFlagsDefault));
}

Status TGPImageAttributes::SetColorMatrices(const ColorMatrix& colorMatrix, const ColorMatrix& grayMatrix,
    ColorMatrixFlags mode, ColorAdjustType type_)
{
    return SetStatus(
        GdiplusApi.GdipSetImageAttributesColorMatrix(nativeImageAttr, type_, TRUE, &colorMatrix, &grayMatrix, mode));
}

Status TGPImageAttributes::ClearColorMatrices(ColorAdjustType type_) { return ClearColorMatrix(type_); }

Status TGPImageAttributes::SetThreshold(float threshold, ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesThreshold(nativeImageAttr, type_, TRUE, threshold));
}

Status TGPImageAttributes::ClearThreshold(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesThreshold(nativeImageAttr, type_, FALSE, 0.0f));
}

Status TGPImageAttributes::SetGamma(float gamma, ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesGamma(nativeImageAttr, type_, TRUE, gamma));
}

Status TGPImageAttributes::ClearGamma(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesGamma(nativeImageAttr, type_, FALSE, 0.0f));
}

Status TGPImageAttributes::SetNoOp(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesNoOp(nativeImageAttr, type_, TRUE));
}

Status TGPImageAttributes::ClearNoOp(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesNoOp(nativeImageAttr, type_, FALSE));
}

Status TGPImageAttributes::SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesColorKeys(nativeImageAttr, type_, TRUE, colorLow, colorHigh));
}

Status TGPImageAttributes::ClearColorKey(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesColorKeys(nativeImageAttr, type_, FALSE, 0, 0));
}

Status TGPImageAttributes::SetOutputChannel(ColorChannelFlags channelFlags, ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesOutputChannel(nativeImageAttr, type_, TRUE, channelFlags));
}

Status TGPImageAttributes::ClearOutputChannel(ColorAdjustType type_)
{
    return SetStatus(
        GdiplusApi.GdipSetImageAttributesOutputChannel(nativeImageAttr, type_, FALSE, ColorChannelFlagsLast));
}

Status TGPImageAttributes::SetOutputChannelColorProfile(const String& colorProfileFilename, ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesOutputChannelColorProfile(nativeImageAttr, type_, TRUE,
        colorProfileFilename.c_str()));
}

Status TGPImageAttributes::ClearOutputChannelColorProfile(ColorAdjustType type_)
{
    return SetStatus(
        GdiplusApi.GdipSetImageAttributesOutputChannelColorProfile(nativeImageAttr, type_, FALSE, nullptr));
}

Status TGPImageAttributes::SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesRemapTable(nativeImageAttr, type_, TRUE, mapSize, map));
}

Status TGPImageAttributes::ClearRemapTable(ColorAdjustType type_)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesRemapTable(nativeImageAttr, type_, FALSE, 0, nullptr));
}

Status TGPImageAttributes::SetBrushRemapTable(UINT mapSize, const ColorMap* map)
{
    return SetRemapTable(mapSize, map, ColorAdjustTypeBrush);
}

Status TGPImageAttributes::ClearBrushRemapTable() { return ClearRemapTable(ColorAdjustTypeBrush); }

Status TGPImageAttributes::SetWrapMode(WrapMode wrap, ARGB color, bool clamp)
{
    return SetStatus(GdiplusApi.GdipSetImageAttributesWrapMode(nativeImageAttr, wrap, color, clamp ? TRUE : FALSE));
}

Status TGPImageAttributes::GetAdjustedPalette(ColorPalette* colorPalette, ColorAdjustType colorAdjustType)
{
    return SetStatus(GdiplusApi.GdipGetImageAttributesAdjustedPalette(nativeImageAttr, colorPalette, colorAdjustType));
}

} // namespace LumGDIPlusClasses
