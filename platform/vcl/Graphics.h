#pragma once
// Drawing objects of the control framework: colours, fonts, pens and brushes,
// the canvas that draws with them on a device context, and the pictures
// (TGraphic and its bitmap and icon formats) held by TPicture, whose
// registry of file formats later layers extend.

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/gdi/Codecs.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/Classes.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"

QT_DECLARE_EXCEPTION(EInvalidGraphic, Exception);
QT_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

// ---- colours ----

// System colours carry their colour-table index in the low byte.
inline constexpr TColor clSystemColor = TColor(0xFF000000u);
inline constexpr TColor clScrollBar = clSystemColor | 0;
inline constexpr TColor clBackground = clSystemColor | 1;
inline constexpr TColor clActiveCaption = clSystemColor | 2;
inline constexpr TColor clInactiveCaption = clSystemColor | 3;
inline constexpr TColor clMenu = clSystemColor | 4;
inline constexpr TColor clWindow = clSystemColor | 5;
inline constexpr TColor clWindowFrame = clSystemColor | 6;
inline constexpr TColor clMenuText = clSystemColor | 7;
inline constexpr TColor clWindowText = clSystemColor | 8;
inline constexpr TColor clCaptionText = clSystemColor | 9;
inline constexpr TColor clActiveBorder = clSystemColor | 10;
inline constexpr TColor clInactiveBorder = clSystemColor | 11;
inline constexpr TColor clAppWorkSpace = clSystemColor | 12;
inline constexpr TColor clHighlight = clSystemColor | 13;
inline constexpr TColor clHighlightText = clSystemColor | 14;
inline constexpr TColor clBtnFace = clSystemColor | 15;
inline constexpr TColor clBtnShadow = clSystemColor | 16;
inline constexpr TColor clGrayText = clSystemColor | 17;
inline constexpr TColor clBtnText = clSystemColor | 18;
inline constexpr TColor clInactiveCaptionText = clSystemColor | 19;
inline constexpr TColor clBtnHighlight = clSystemColor | 20;
inline constexpr TColor cl3DDkShadow = clSystemColor | 21;
inline constexpr TColor cl3DLight = clSystemColor | 22;
inline constexpr TColor clInfoText = clSystemColor | 23;
inline constexpr TColor clInfoBk = clSystemColor | 24;
inline constexpr TColor clHotLight = clSystemColor | 26;
inline constexpr TColor clGradientActiveCaption = clSystemColor | 27;
inline constexpr TColor clGradientInactiveCaption = clSystemColor | 28;
inline constexpr TColor clMenuHighlight = clSystemColor | 29;
inline constexpr TColor clMenuBar = clSystemColor | 30;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clLtGray = 0xC0C0C0;
inline constexpr TColor clDkGray = 0x808080;
inline constexpr TColor clMoneyGreen = 0xC0DCC0;
inline constexpr TColor clSkyBlue = 0xF0CAA6;
inline constexpr TColor clCream = 0xF0FBFF;
inline constexpr TColor clMedGray = 0xA4A0A0;
inline constexpr TColor clNone = 0x1FFFFFFF;
inline constexpr TColor clDefault = 0x20000000;

// The RGB value of a colour: system colours resolve through the current
// colour table; every other value is returned as it is.
TColor ColorToRGB(TColor color);
// The platform's colour names ("clRed", "clWindow", "clNone", ...): the name
// of a colour that has one, and the colour of a name (ignoring case).
bool ColorToIdent(TColor color, String& ident);
bool IdentToColor(StringView ident, TColor& color);
// The name, else "$" and eight upper-case hexadecimal digits.
String ColorToString(TColor color);
// A name, or a number (decimal, or hexadecimal after "$" or "0x", read as
// the 32-bit value); anything else raises EConvertError.
TColor StringToColor(StringView text);

// ---- fonts, pens, brushes ----

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
QT_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
using TFontStyles = Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
QT_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
enum TFontQuality { fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural };
QT_ENUM(TFontQuality, fqDefault, fqDraft, fqProof, fqNonAntialiased, fqAntialiased, fqClearType, fqClearTypeNatural)
using TFontCharset = Byte;
using TFontName = String;

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate };
QT_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame, psUserStyle, psAlternate)
enum TPenMode {
    pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen, pmMaskNotPen,
    pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
QT_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot, pmMergeNotPen,
    pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
QT_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross)

class TBitmap;
class TCanvas;

// A drawing object whose handle is made on first use and dropped when a
// property changes; OnChange tells the owner.
class TGraphicsObject : public TPersistent {
    QT_CLASS(TGraphicsObject, TPersistent)
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
    friend class TCanvas;
    // The canvas that selected this object listens here, apart from OnChange.
    std::function<void()> FCanvasNotify;
};

// The resolution a new font measures its Size against.
inline constexpr int DefaultFontPixelsPerInch = 96;

class TFont : public TGraphicsObject {
    QT_CLASS(TFont, TGraphicsObject)
public:
    TFont();
    ~TFont() override;
    void Assign(TPersistent* source) override;

    HFONT GetHandle();
    // Takes the look of an existing font; the handle stays the caller's.
    void SetHandle(HFONT value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    const TFontName& GetName() const { return FName; }
    void SetName(const TFontName& value);
    // Points at PixelsPerInch: a negative Height is the character height
    // (Size = -Height * 72 / PixelsPerInch); a positive Height is the cell
    // height and gives a negative Size, and the other way round.
    int GetSize() const;
    void SetSize(int value);
    int GetHeight() const { return FHeight; }
    void SetHeight(int value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset value);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch value);
    // Tenths of a degree, counter-clockwise.
    int GetOrientation() const { return FOrientation; }
    void SetOrientation(int value);
    TFontQuality GetQuality() const { return FQuality; }
    void SetQuality(TFontQuality value);
    // Changing the resolution keeps Height (the pixel size), so Size follows.
    int GetPixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value);

    LOGFONTW GetLogFont() const;

protected:
    void Changed() override;

private:
    void DestroyHandle();

    HFONT FHandle { nullptr };
    TFontName FName { u"Tahoma" };
    int FHeight { -11 };
    TFontStyles FStyle;
    TColor FColor { clWindowText };
    TFontCharset FCharset { DEFAULT_CHARSET };
    TFontPitch FPitch { fpDefault };
    int FOrientation { 0 };
    TFontQuality FQuality { fqDefault };
    int FPixelsPerInch { DefaultFontPixelsPerInch };
};

class TPen : public TGraphicsObject {
    QT_CLASS(TPen, TGraphicsObject)
public:
    TPen() = default;
    ~TPen() override;
    void Assign(TPersistent* source) override;

    HPEN GetHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    TColor GetColor() const { return FColor; }
    void SetColor(TColor value);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int value);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode value);

protected:
    void Changed() override;

private:
    HPEN FHandle { nullptr };
    TColor FColor { clBlack };
    TPenStyle FStyle { psSolid };
    int FWidth { 1 };
    TPenMode FMode { pmCopy };
};

class TBrush : public TGraphicsObject {
    QT_CLASS(TBrush, TGraphicsObject)
public:
    TBrush() = default;
    ~TBrush() override;
    void Assign(TPersistent* source) override;

    HBRUSH GetHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    TColor GetColor() const { return FColor; }
    // Setting a colour while the style is bsClear makes the brush solid.
    void SetColor(TColor value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle value);
    // A pattern bitmap, not owned; it wins over Style while set.
    TBitmap* GetBitmap() const { return FBitmap; }
    void SetBitmap(TBitmap* value);

protected:
    void Changed() override;

private:
    HBRUSH FHandle { nullptr };
    TColor FColor { clWhite };
    TBrushStyle FStyle { bsSolid };
    TBitmap* FBitmap { nullptr };
};

// The raster operation of a pen mode (R2_...).
int PenModeToRop2(TPenMode mode);

// ---- canvas ----

enum TTextFormats {
    tfBottom, tfCalcRect, tfCenter, tfEditControl, tfEndEllipsis, tfPathEllipsis, tfExpandTabs,
    tfExternalLeading, tfLeft, tfModifyString, tfNoClip, tfNoPrefix, tfRight, tfRtlReading, tfSingleLine, tfTop,
    tfVerticalCenter, tfWordBreak, tfHidePrefix, tfNoFullWidthCharBreak, tfPrefixOnly, tfTabStop, tfWordEllipsis,
    tfComposited
};
using TTextFormat = Set<TTextFormats>;
// The DrawText flags of a text format.
UINT TextFormatToFlags(TTextFormat format);

enum TFillStyle { fsSurface, fsBorder };
using TCopyMode = Integer;
inline constexpr TCopyMode cmBlackness = BLACKNESS, cmDstInvert = DSTINVERT, cmMergeCopy = MERGECOPY,
                           cmMergePaint = MERGEPAINT, cmNotSrcCopy = NOTSRCCOPY, cmNotSrcErase = NOTSRCERASE,
                           cmPatCopy = PATCOPY, cmPatInvert = PATINVERT, cmPatPaint = PATPAINT, cmSrcAnd = SRCAND,
                           cmSrcCopy = SRCCOPY, cmSrcErase = SRCERASE, cmSrcInvert = SRCINVERT,
                           cmSrcPaint = SRCPAINT, cmWhiteness = WHITENESS;

class TGraphic;

// Draws on a device context with its own font, pen and brush, selected into
// the context on the first drawing call after a change. A canvas without a
// context asks CreateHandle for one (descendants make theirs there).
class TCanvas : public TPersistent {
    QT_CLASS(TCanvas, TPersistent)
public:
    TCanvas();
    ~TCanvas() override;

    HDC GetHandle();
    // Deselects the objects from the old context and takes the new one, not owned.
    void SetHandle(HDC value);
    bool HandleAllocated() const { return FHandle != nullptr; }

    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* value) { FFont->Assign(value); }
    TPen* GetPen() const { return FPen.get(); }
    void SetPen(TPen* value) { FPen->Assign(value); }
    TBrush* GetBrush() const { return FBrush.get(); }
    void SetBrush(TBrush* value) { FBrush->Assign(value); }
    TPoint GetPenPos();
    void SetPenPos(TPoint value) { MoveTo(value.X, value.Y); }
    TCopyMode GetCopyMode() const { return FCopyMode; }
    void SetCopyMode(TCopyMode value) { FCopyMode = value; }
    // Extra ExtTextOut options of TextOut (ETO_...).
    int GetTextFlags() const { return FTextFlags; }
    void SetTextFlags(int value) { FTextFlags = value; }
    // The clip box in logical units.
    TRect GetClipRect();

    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int x1, int y1, int x2, int y2);
    void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
    void FillRect(const TRect& r);
    void FrameRect(const TRect& r);
    void RoundRect(int x1, int y1, int x2, int y2, int x3, int y3);
    void RoundRect(const TRect& r, int cx, int cy) { RoundRect(r.Left, r.Top, r.Right, r.Bottom, cx, cy); }
    void Ellipse(int x1, int y1, int x2, int y2);
    void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
    void Polygon(const std::vector<TPoint>& points);
    void Polyline(const std::vector<TPoint>& points);
    void PolyBezier(const std::vector<TPoint>& points);
    void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Pie(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void Chord(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
    void FloodFill(int x, int y, TColor color, TFillStyle fillStyle);
    void DrawFocusRect(const TRect& r);

    // Text in the font's colour; the brush fills the background unless its
    // style is bsClear. TextOut moves PenPos to the end of the text.
    void TextOut(int x, int y, const String& text);
    // Text at (x, y) clipped to the rectangle.
    void TextRect(const TRect& r, int x, int y, const String& text);
    // Formatted text; with tfCalcRect the rectangle becomes the size the text
    // needs and nothing is drawn; with tfModifyString the text is shortened.
    void TextRect(TRect& r, String& text, TTextFormat format = {});
    int TextWidth(const String& text);
    int TextHeight(const String& text);
    TSize TextExtent(const String& text);

    void Draw(int x, int y, TGraphic* graphic);
    void Draw(int x, int y, TGraphic* graphic, Byte opacity);
    void StretchDraw(const TRect& r, TGraphic* graphic);
    void CopyRect(const TRect& dest, TCanvas* canvas, const TRect& source);
    // Copies the bitmap, painting its pixels of `color` with this canvas's brush.
    void BrushCopy(const TRect& dest, TBitmap* bitmap, const TRect& source, TColor color);

    TColor GetPixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

    // Serialises drawing from several threads; the lock is recursive.
    void Lock();
    void Unlock();
    bool TryLock();
    int GetLockCount() const { return FLockCount; }

    // Deselects the objects; the next drawing call selects them afresh.
    void Refresh();

    // Fired around every drawing call.
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    virtual void CreateHandle() { }
    virtual void Changing();
    virtual void Changed();
    // Makes sure there is a context with the current font, pen and brush.
    void RequiredState(bool font, bool pen, bool brush);
    void DeselectHandles();

private:
    HDC ReadyHandle(bool font, bool pen, bool brush);
    void ApplyTextBackground();
    void DrawGraphic(const TRect& r, TGraphic* graphic, Byte opacity);

    HDC FHandle { nullptr };
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    bool FFontValid { false };
    bool FPenValid { false };
    bool FBrushValid { false };
    HGDIOBJ FOldFont { nullptr };
    HGDIOBJ FOldPen { nullptr };
    HGDIOBJ FOldBrush { nullptr };
    TCopyMode FCopyMode { cmSrcCopy };
    int FTextFlags { 0 };
    std::recursive_mutex FLock;
    int FLockCount { 0 };
};

// ---- pictures ----

class TGraphic;
// A graphic class as registered with TPicture: its class information (which
// makes instances) and a probe that recognises its data by signature.
using TGraphicClass = TClass;
using TCanLoadFromStream = bool (*)(TStream& stream);

// A picture format: size, drawing, transparency and a file format of its own.
class TGraphic : public TPersistent {
    QT_CLASS(TGraphic, TPersistent)
public:
    TGraphic() = default;

    virtual bool GetEmpty() const = 0;
    bool Empty() const { return GetEmpty(); }
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int value) = 0;
    virtual void SetHeight(int value) = 0;
    virtual void SetSize(int width, int height);
    virtual bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool value);
    // Whether the picture carries an alpha channel of its own.
    virtual bool SupportsPartialTransparency() const { return false; }
    bool GetModified() const { return FModified; }
    void SetModified(bool value);

    // Draws the picture stretched into the rectangle of the canvas.
    virtual void Draw(TCanvas* canvas, const TRect& r) = 0;
    // The same blended with a constant opacity (255 = opaque).
    virtual void DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity);

    virtual void LoadFromFile(const String& fileName);
    virtual void SaveToFile(const String& fileName);
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) = 0;
    // True when the stream at its position holds this class's format; the
    // position is restored.
    static bool CanLoadFromStream(TStream&) { return false; }
    // The form-file data of the picture; by default its file format.
    virtual void ReadData(TStream& stream) { LoadFromStream(stream); }
    virtual void WriteData(TStream& stream) { SaveToStream(stream); }
    virtual bool Equals(TGraphic* other);

    // The pixels as straight (not premultiplied) ARGB; empty for an empty picture.
    virtual TImageFrame GetImageFrame() = 0;

    TNotifyEvent OnChange;

protected:
    virtual void Changed();

    bool FTransparent { false };
    bool FModified { false };
};

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
QT_ENUM(TPixelFormat, pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom)
enum TTransparentMode { tmAuto, tmFixed };
QT_ENUM(TTransparentMode, tmAuto, tmFixed)
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
QT_ENUM(TAlphaFormat, afIgnored, afDefined, afPremultiplied)

class TBitmapCanvas;

// A device-independent bitmap with a canvas to draw on. Pixels are kept as
// 32 bits (pfDevice, pf32bit, pf1bit) or 24 bits (pf24bit) per pixel, rows
// top-down; the palette formats are not kept and raise EInvalidGraphic.
class TBitmap : public TGraphic {
    QT_CLASS(TBitmap, TGraphic)
public:
    TBitmap();
    TBitmap(int width, int height);
    ~TBitmap() override;
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FWidth == 0 || FHeight == 0; }
    int GetWidth() const override { return FWidth; }
    int GetHeight() const override { return FHeight; }
    void SetWidth(int value) override { SetSize(value, FHeight); }
    void SetHeight(int value) override { SetSize(FWidth, value); }
    // Keeps the pixels of the overlapping part; new pixels are black (and
    // fully transparent in pf32bit).
    void SetSize(int width, int height) override;
    bool SupportsPartialTransparency() const override { return FPixelFormat == pf32bit && FAlphaFormat != afIgnored; }

    TCanvas* GetCanvas();
    // The bitmap; the handle stays the bitmap's.
    HBITMAP GetHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }
    // Takes a bitmap handle over (the bitmap deletes it).
    void SetHandle(HBITMAP value);
    // Gives the handle away: the bitmap becomes empty and the caller deletes it.
    HBITMAP ReleaseHandle();

    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat value);
    bool GetMonochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool value);
    TAlphaFormat GetAlphaFormat() const { return FAlphaFormat; }
    // afIgnored -> afPremultiplied multiplies the colours by alpha and back.
    void SetAlphaFormat(TAlphaFormat value);
    // The bytes of one row (top row 0): 4 bytes per pixel (blue, green, red,
    // alpha) or 3 in pf24bit. Raises EInvalidGraphic for a row out of range.
    void* ScanLine(int row);

    TTransparentMode GetTransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);
    // In tmAuto the colour of the bottom-left pixel.
    TColor GetTransparentColor();
    // Any colour but clDefault fixes the mode; clDefault returns to tmAuto.
    void SetTransparentColor(TColor value);

    // Turns the bitmap into its mask: pixels of the colour white, the rest black.
    void Mask(TColor transparentColor);
    void Dormant() { }
    void FreeImage() { }

    void Draw(TCanvas* canvas, const TRect& r) override;
    void DrawTransparent(TCanvas* canvas, const TRect& r, Byte opacity) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    static bool CanLoadFromStream(TStream& stream);
    // A bitmap resource of the program (type BITMAP); EResNotFound when missing.
    void LoadFromResourceName(HINSTANCE instance, const String& resName);
    void LoadFromResourceID(HINSTANCE instance, int resID);
    TImageFrame GetImageFrame() override;
    // Replaces the pixels with the frame's (straight ARGB); the pixel format
    // stays unless the frame has alpha, which makes it pf32bit afDefined.
    void SetImageFrame(const TImageFrame& frame);

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    void ReplaceHandle(HBITMAP handle, int width, int height);
    HBITMAP CreateStorage(int width, int height, TPixelFormat format) const;
    int BytesPerPixel() const { return FPixelFormat == pf24bit ? 3 : 4; }
    int RowBytes() const;
    Byte* Bits();
    void WritePixels(const TImageFrame& frame);
    void LoadFromBytes(const TBytes& bytes);

    HBITMAP FHandle { nullptr };
    int FWidth { 0 };
    int FHeight { 0 };
    TPixelFormat FPixelFormat { pfDevice };
    TAlphaFormat FAlphaFormat { afIgnored };
    TTransparentMode FTransparentMode { tmAuto };
    TColor FTransparentColor { clDefault };
    std::unique_ptr<TBitmapCanvas> FCanvas;
};

// An icon (or cursor) file: always transparent; the loaded file's bytes are
// saved back unchanged.
class TIcon : public TGraphic {
    QT_CLASS(TIcon, TGraphic)
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* source) override;

    bool GetEmpty() const override { return FImage.Pixels.empty(); }
    int GetWidth() const override { return FImage.Width; }
    int GetHeight() const override { return FImage.Height; }
    // The size of an icon is that of its image.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    bool GetTransparent() const override { return true; }
    void SetTransparent(bool) override { }
    bool SupportsPartialTransparency() const override { return true; }

    HICON GetHandle();
    // Takes an icon handle over (the icon destroys it).
    void SetHandle(HICON value);
    HICON ReleaseHandle();
    bool HandleAllocated() const { return FHandle != nullptr; }

    void Draw(TCanvas* canvas, const TRect& r) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) override;
    static bool CanLoadFromStream(TStream& stream);
    TImageFrame GetImageFrame() override { return FImage; }

private:
    void SetImage(TImageFrame image, TBytes original);

    HICON FHandle { nullptr };
    TImageFrame FImage;
    TBytes FOriginal; // the loaded file, empty when the image came otherwise
};

// Holds one graphic of any registered format and loads files and streams by
// the format their bytes show (their extension when no format claims them).
class TPicture : public TPersistent {
    QT_CLASS(TPicture, TPersistent)
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* source) override;

    TGraphic* GetGraphic() const { return FGraphic.get(); }
    // Stores a copy of the graphic (nullptr empties the picture).
    void SetGraphic(TGraphic* value);
    // The graphic as a bitmap, replacing any other graphic by an empty bitmap.
    TBitmap* GetBitmap();
    void SetBitmap(TBitmap* value) { SetGraphic(value); }
    TIcon* GetIcon();
    void SetIcon(TIcon* value) { SetGraphic(value); }
    int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
    int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

    // EInvalidGraphic for bytes no registered format reads and an extension
    // no format is registered for; a failed load keeps the old graphic.
    void LoadFromFile(const String& fileName);
    void SaveToFile(const String& fileName);
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream);

    // The format registry. Probes are asked in registration order.
    static void RegisterFileFormat(const String& extension, const String& description, TGraphicClass graphicClass,
        TCanLoadFromStream canLoad);
    template<class G>
    static void RegisterFileFormat(const String& extension, const String& description)
    {
        RegisterFileFormat(extension, description, G::StaticClassInfo(), &G::CanLoadFromStream);
    }
    static void UnregisterGraphicClass(TGraphicClass graphicClass);
    // By extension, with or without its dot, ignoring case; nullptr when unknown.
    static TGraphicClass FindGraphicClassByExtension(const String& extension);
    // The first registered format whose probe claims the stream; nullptr when none.
    static TGraphicClass FindGraphicClassByStream(TStream& stream);
    // A dialog filter of every format: "All (*.bmp;...)|*.bmp;...|Bitmaps (*.bmp)|*.bmp|...".
    static String GraphicFilter(TGraphicClass graphicClass = nullptr);

    TNotifyEvent OnChange;

protected:
    virtual void Changed(TObject* sender);

private:
    void TakeGraphic(std::unique_ptr<TGraphic> graphic);
    static std::unique_ptr<TGraphic> NewGraphic(TGraphicClass graphicClass);

    std::unique_ptr<TGraphic> FGraphic;
};
