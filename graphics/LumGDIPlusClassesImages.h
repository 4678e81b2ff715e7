#pragma once
// Image wrappers: any image loaded from a file or stream, raster bitmaps with
// pixel access, bitmaps prepared for one graphics, and the colour
// adjustments applied while drawing.

#include "graphics/LumGDIPlusClassesBase.h"
#include "platform/rtl/String.h"

namespace LumGDIPlusClasses {

class TGPImage : public TGdiplusBase {
public:
    TGPImage(const String& filename, bool useEmbeddedColorManagement = false);
    // The image holds a reference to the stream during the call only.
    TGPImage(IStream* stream, bool useEmbeddedColorManagement = false);
    TGPImage(void* ANativeImage, Status status);
    ~TGPImage() override;

    static std::unique_ptr<TGPImage> FromFile(const String& filename, bool useEmbeddedColorManagement = false);
    static std::unique_ptr<TGPImage> FromStream(IStream* stream, bool useEmbeddedColorManagement = false);

    // Always a plain image carrying this image's status field.
    std::unique_ptr<TGPImage> Clone();
    Status Save(const String& filename, const TGUID& clsidEncoder, const EncoderParameters* encoderParams = nullptr);
    Status Save(IStream* stream, const TGUID& clsidEncoder, const EncoderParameters* encoderParams = nullptr);
    Status SaveAdd(const EncoderParameters* encoderParams);
    Status SaveAdd(const TGPImage* newImage, const EncoderParameters* encoderParams);
    ImageType GetType();
    // (0, 0) when the call fails.
    Status GetPhysicalDimension(TGPSizeF& size);
    Status GetBounds(TGPRectF& srcRect, Unit_& srcUnit);
    UINT GetWidth();
    UINT GetHeight();
    float GetHorizontalResolution();
    float GetVerticalResolution();
    UINT GetFlags();
    Status GetRawFormat(TGUID& format);
    int GetPixelFormat();
    int GetPaletteSize();
    Status GetPalette(ColorPalette* palette, int size);
    Status SetPalette(const ColorPalette* palette);
    std::unique_ptr<TGPImage> GetThumbnailImage(UINT thumbWidth, UINT thumbHeight, ImageAbort callback = nullptr,
        void* callbackData = nullptr);
    UINT GetFrameDimensionsCount();
    Status GetFrameDimensionsList(TGUID* dimensionIDs, UINT count);
    UINT GetFrameCount(const TGUID& dimensionID);
    Status SelectActiveFrame(const TGUID& dimensionID, UINT frameIndex);
    Status RotateFlip(RotateFlipType rotateFlipType);
    UINT GetPropertyCount();
    Status GetPropertyIdList(UINT numOfProperty, PROPID* list);
    UINT GetPropertyItemSize(PROPID propId);
    Status GetPropertyItem(PROPID propId, UINT propSize, PropertyItem* buffer);
    Status GetPropertySize(UINT& totalBufferSize, UINT& numProperties);
    Status GetAllPropertyItems(UINT totalBufferSize, UINT numProperties, PropertyItem* allItems);
    Status RemovePropertyItem(PROPID propId);
    Status SetPropertyItem(const PropertyItem& item);
    UINT GetEncoderParameterListSize(const TGUID& clsidEncoder);
    Status GetEncoderParameterList(const TGUID& clsidEncoder, UINT size, EncoderParameters* buffer);

    Status GetLastStatus() { return TakeStatus(lastResult); }

    void* nativeImage { nullptr };
    Status lastResult { Ok };

protected:
    struct TNoImage { };
    explicit TGPImage(TNoImage) { }
    Status SetStatus(Status status) { return RecordStatus(lastResult, status); }
    void SetNative(void* image) { nativeImage = image; }
};

class TGPBitmap : public TGPImage {
public:
    TGPBitmap(const String& filename, bool useEmbeddedColorManagement = false);
    TGPBitmap(IStream* stream, bool useEmbeddedColorManagement = false);
    TGPBitmap(int width, int height, int stride, int format, BYTE* scan0);
    // The library allocates the pixels.
    TGPBitmap(int width, int height, int format = PixelFormat32bppARGB);
    TGPBitmap(int width, int height, TGPGraphics* target);
    TGPBitmap(const BITMAPINFO& gdiBitmapInfo, void* gdiBitmapData);
    TGPBitmap(HBITMAP hbm, HPALETTE hpal);
    // The integer only selects this form.
    TGPBitmap(HICON hicon, int Dummy1);
    TGPBitmap(NativeUInt hInstance, const String& bitmapName);
    explicit TGPBitmap(void* nativeBitmap);

    static std::unique_ptr<TGPBitmap> FromFile(const String& filename, bool useEmbeddedColorManagement = false);
    static std::unique_ptr<TGPBitmap> FromStream(IStream* stream, bool useEmbeddedColorManagement = false);
    static std::unique_ptr<TGPBitmap> FromBITMAPINFO(const BITMAPINFO& gdiBitmapInfo, void* gdiBitmapData);
    static std::unique_ptr<TGPBitmap> FromHBITMAP(HBITMAP hbm, HPALETTE hpal);
    static std::unique_ptr<TGPBitmap> FromHICON(HICON hicon);
    static std::unique_ptr<TGPBitmap> FromResource(NativeUInt hInstance, const String& bitmapName);

    using TGPImage::Clone;
    // Area clones: null on failure. The integer forms store their status even
    // when Ok; the float forms also give null after an unread earlier error.
    std::unique_ptr<TGPBitmap> Clone(int x, int y, int width, int height, int format);
    std::unique_ptr<TGPBitmap> Clone(const TGPRect& rect, int format);
    std::unique_ptr<TGPBitmap> Clone(float x, float y, float width, float height, int format);
    std::unique_ptr<TGPBitmap> Clone(const TGPRectF& rect, int format);
    Status LockBits(const TGPRect& rect, UINT flags, int format, BitmapData& lockedBitmapData);
    Status UnlockBits(BitmapData& lockedBitmapData);
    // `color` is 0 when the call fails.
    Status GetPixel(int x, int y, ARGB& color);
    Status SetPixel(int x, int y, ARGB color);
    Status SetResolution(float xdpi, float ydpi);
    Status GetHBITMAP(ARGB colorBackground, HBITMAP& hbmReturn);
    Status GetHICON(HICON& hicon);
};

class TGPCachedBitmap : public TGdiplusBase {
public:
    TGPCachedBitmap(const TGPBitmap* bitmap, const TGPGraphics* graphics);
    ~TGPCachedBitmap() override;

    Status GetLastStatus() { return TakeStatus(lastResult); }

    void* nativeCachedBitmap { nullptr };
    Status lastResult { Ok };

protected:
    Status SetStatus(Status status) { return RecordStatus(lastResult, status); }
    void SetNative(void* cachedBitmap) { nativeCachedBitmap = cachedBitmap; }
};

// "Set" methods enable an adjustment for one colour adjust type, "Clear"
// methods disable it.
class TGPImageAttributes : public TGdiplusBase {
public:
    TGPImageAttributes();
    TGPImageAttributes(void* imageAttr, Status status);
    ~TGPImageAttributes() override;

    // A new object carrying this one's status field.
    std::unique_ptr<TGPImageAttributes> Clone();
    Status SetToIdentity(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status Reset(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetColorMatrix(const ColorMatrix& colorMatrix, ColorMatrixFlags mode = ColorMatrixFlagsDefault,
        ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearColorMatrix(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetColorMatrices(const ColorMatrix& colorMatrix, const ColorMatrix& grayMatrix,
        ColorMatrixFlags mode = ColorMatrixFlagsDefault, ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearColorMatrices(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetThreshold(float threshold, ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearThreshold(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetGamma(float gamma, ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearGamma(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetNoOp(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearNoOp(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetColorKey(ARGB colorLow, ARGB colorHigh, ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearColorKey(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetOutputChannel(ColorChannelFlags channelFlags, ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearOutputChannel(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetOutputChannelColorProfile(const String& colorProfileFilename,
        ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearOutputChannelColorProfile(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetRemapTable(UINT mapSize, const ColorMap* map, ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status ClearRemapTable(ColorAdjustType type_ = ColorAdjustTypeDefault);
    Status SetBrushRemapTable(UINT mapSize, const ColorMap* map);
    Status ClearBrushRemapTable();
    Status SetWrapMode(WrapMode wrap, ARGB color = 0xFF000000u, bool clamp = false);
    Status GetAdjustedPalette(ColorPalette* colorPalette, ColorAdjustType colorAdjustType);

    Status GetLastStatus() { return TakeStatus(lastResult); }

    void* nativeImageAttr { nullptr };
    Status lastResult { Ok };

protected:
    Status SetStatus(Status status) { return RecordStatus(lastResult, status); }
    void SetNative(void* imageAttr) { nativeImageAttr = imageAttr; }
};

} // namespace LumGDIPlusClasses
