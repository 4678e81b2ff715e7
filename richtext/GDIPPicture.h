#pragma once
// Pictures that keep an image file's bytes unchanged and draw them through
// GDI+, decoding afresh at every use: TLumGDIPPicture for the fills and
// smooth controls, TGDIPPicture for the grid's cell pictures and hints.
// Either can hold SVG source instead; the SVG document that draws it comes
// from a factory the SVG renderer registers.

#include <functional>
#include <memory>

#include "platform/rtl/Streams.h"
#include "platform/vcl/Graphics.h"
#include "richtext/LumGDIP.h"

// ---- SVG documents ----

// What a picture needs of a parsed SVG document.
class ILumSVGDocument {
public:
    virtual ~ILumSVGDocument() = default;
    virtual void Clear() = 0;
    // Parses the stream from its position; raises on text it cannot read.
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual bool HasElements() const = 0;
    virtual TRectF GetViewRect() const = 0;
    virtual void Draw(TCanvas* canvas, const TRectF& rect) = 0;
};

using TLumSVGDocumentFactory = std::function<std::unique_ptr<ILumSVGDocument>()>;
// Registered by the SVG renderer. Until one is registered, pictures keep SVG
// source (so it is saved and copied unchanged) but draw nothing for it.
void SetLumSVGDocumentFactory(TLumSVGDocumentFactory factory);

// What both pictures share: the image file's bytes, or the SVG source bytes
// exactly as loaded and the document parsed from them.
class TGDIPSVGPicture : public TGraphic {
    QT_CLASS(TGDIPSVGPicture, TGraphic)
public:
    TGDIPSVGPicture();
    ~TGDIPSVGPicture() override;

    // True when SVG source is held: a document with elements, or, with no
    // renderer registered, any source bytes.
    bool HasSVG() const;
    ILumSVGDocument* GetSVG() const { return FSVG.get(); }
    const String& GetFileName() const { return FFileName; }
    // The SVG source bytes.
    TBytes GetSVGSource();

    bool GetEmpty() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetWidth(int) override { }
    void SetHeight(int) override { }

    void SaveToStream(TStream& stream) override;
    void WriteData(TStream& stream) override;
    TImageFrame GetImageFrame() override;
    void Assign(TPersistent* source) override;

    void LoadFromResourceName(HINSTANCE instance, const String& resName);
    void LoadFromResourceID(HINSTANCE instance, int resID);
    // "RES://name" loads a resource of the program, "FILE://path" a file
    // (the prefixes in any case); other addresses are ignored.
    void LoadFromURL(const String& url);
    bool GetImageSizes();
    void DrawSVG(LumGDIP::TGPGraphics* graphics, float x, float y, float w, float h);

    TNotifyEvent OnClear;

protected:
    // The image bytes decoded afresh; null when empty or undecodable.
    std::unique_ptr<LumGDIP::TGPImage> DecodeImage();

    TMemoryStream FDatastream;
    bool FUndecodable { false };
    bool FIsEmpty { true };
    int FWidth { 0 };
    int FHeight { 0 };
    // Whether assigning nothing also drops SVG content.
    bool FEmptyAssignClearsSVG { false };

    void SVGLoadFromFile(const String& fileName);
    void SVGLoadFromStream(TStream& stream);
    void SVGSaveToStream(TStream& stream);
    // The form data: a 32-bit little-endian length and that many source bytes.
    void SVGReadData(TStream& stream);
    void SVGWriteData(TStream& stream);
    void SVGAssign(TGDIPSVGPicture* source);
    void SVGDraw(TCanvas* canvas, const TRect& rect);
    void SVGDraw(LumGDIP::TGPGraphics* graphics, float x, float y, float w, float h);
    int SVGWidth() const;
    int SVGHeight() const;
    // Drops the SVG content (document and source), as loading raster bytes does.
    void ClearSVG();
    // Keeps the file's bytes when they are a raster image, else reads it as
    // SVG source; the picture is then no longer empty and OnClear is raised.
    // Raises what reading the file raises.
    void LoadImageOrSVGFile(const String& fileName);
    // The same for the rest of a stream.
    void LoadImageOrSVGStream(TStream& stream);

    // How a canvas paint treats BMP bytes: through the automatic-transparency
    // bitmap at the rectangle's corner or stretched over it, or as any other
    // image.
    enum class TBitmapPaint { AtCorner, Stretched, AsImage };
    // Paints the picture into `rect` of the canvas: SVG through its renderer,
    // a BMP as `bitmap` says, any other image through GDI+, turned `angle`
    // degrees about its centre. Never raises: a picture that does not
    // decode draws nothing.
    void CanvasDraw(TCanvas* canvas, const TRect& rect, TBitmapPaint bitmap, int angle = 0);

    String FFileName;

private:
    void Parse(bool raise);

    std::unique_ptr<ILumSVGDocument> FSVG;
    TMemoryStream FStream;
};

// ---- image headers ----

// Reads the pixel size from the header of an image file of the upper-case
// extension (".JPG", ".JPEG", ".PNG", ".BMP", ".TIF", ".TIFF", ".GIF").
// False, with 0 by 0, when the header does not match or is cut short.
bool ReadImageHeaderSize(TStream& stream, const String& upperExtension, int& width, int& height);

// Whether the four bytes at the stream's position carry a known image
// signature; the position is kept.
bool IsImageSignature(TStream& stream);

// Whether the stream at its position holds SVG form data: a length prefix
// equal to the rest's size, followed by text. Such data may begin with bytes
// that look like an image signature. The position is kept.
bool IsSVGFormData(TStream& stream);

// ---- decoding picture bytes ----

// The bytes handed to GDI+ through a memory stream; nullptr when there is
// nothing to decode or the bytes cannot be handed over. Raises "Could not
// allocate memory for image" when no memory block can be had for them.
std::unique_ptr<LumGDIP::TGPImage> DecodePictureBytes(TMemoryStream& data);
// The first frame's pixels; empty when the bytes do not decode.
TImageFrame FirstFrameOfBytes(TMemoryStream& data);
// A bitmap of the bytes, transparent by its bottom-left pixel.
std::unique_ptr<TBitmap> AutoTransparentBitmap(TMemoryStream& data);

enum TPictureFormat { pfBMP, pfGIF, pfJPG, pfPNG, pfICO, pfTiff, pfMetaFile, pfNone };

// ---- the pictures ----

namespace LumGDIP {

class TLumGDIPPicture : public TGDIPSVGPicture {
    QT_CLASS(TLumGDIPPicture, TGDIPSVGPicture)
public:
    TLumGDIPPicture();
    ~TLumGDIPPicture() override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    void LoadFromFile(const String& fileName) override;
    void LoadFromStream(TStream& stream) override;
    void ReadData(TStream& stream) override;

    // The size from the file's header, picked by its extension.
    bool GetImageSizesFromFileName(const String& fileName);

    // The drawing used by the fills: colour-keyed for transparent bitmaps.
    void GDIPDraw(TGPGraphics* graphics, const TRect& rect);
    // The same on a float rectangle; a call arriving while one runs is ignored.
    void GDIPDraw(TGPGraphics* graphics, const TGPRectF& rect);
    // Tiled texture fills.
    void FillPath(TGPGraphics* graphics, const TGPGraphicsPath* path);
    void FillRect(TGPGraphics* graphics, const TGPRectF& r);

    bool GetDoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
    TTransparentMode GetTransparentMode() const { return FBitmapTransparentMode; }
    void SetTransparentMode(TTransparentMode value) { FBitmapTransparentMode = value; }
    TColor GetTransparentColor() const { return FBitmapTransparentColor; }
    void SetTransparentColor(TColor value) { FBitmapTransparentColor = value; }
    const String& GetID() const { return FID; }
    void SetID(const String& value) { FID = value; }
    int GetPixelDepth() const { return FPixelDepth; }
    bool GetHasAlpha() const { return FHasAlpha; }
    bool GetHasPalette() const { return FHasPalette; }
    int GetPixelFormat() const { return FPixelFormat; }

private:
    void RecordImageInfo(const TGPImage& image);
    void DrawDecoded(TGPGraphics* graphics, const TGPRectF& rect);

    bool FDrawing { false };
    bool FDoubleBuffered { false };
    TTransparentMode FBitmapTransparentMode { tmAuto };
    TColor FBitmapTransparentColor { 0xFFFFFF };
    String FID;
    int FPixelDepth { 0 };
    bool FHasAlpha { false };
    bool FHasPalette { false };
    int FPixelFormat { 0 };
};

} // namespace LumGDIP

class TGDIPPicture : public TGDIPSVGPicture {
    QT_CLASS(TGDIPPicture, TGDIPSVGPicture)
public:
    TGDIPPicture();
    ~TGDIPPicture() override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    void LoadFromFile(const String& fileName) override;
    void LoadFromStream(TStream& stream) override;
    void ReadData(TStream& stream) override;

    // Unscaled at a point, and stretched into a rectangle.
    void DrawImage(LumGDIP::TGPGraphics* graphics, int x, int y);
    void DrawImageRect(LumGDIP::TGPGraphics* graphics, int x, int y, int w, int h);

    // The format the data's first bytes show.
    TPictureFormat GetPictureFormat();
    TGraphic* GetGraphic() const { return nullptr; }
    bool GetDoubleBuffered() const { return FDoubleBuffered; }
    void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
    TColor GetBackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor value) { FBackgroundColor = value; }
    bool GetTransparentBitmap() const { return FTransparentBitmap; }
    void SetTransparentBitmap(bool value) { FTransparentBitmap = value; }
    int GetAngle() const { return FAngle; }
    void SetAngle(int value) { FAngle = value; }

private:
    bool FDoubleBuffered { false };
    TColor FBackgroundColor { clWindow };
    bool FTransparentBitmap { true };
    int FAngle { 0 };
};
