#pragma once
// The objects behind the drawing handles and the device context state;
// shared by the files of the drawing layer, not by its users.

#include <cairo.h>
#include <pango/pango.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/gdi/Gdi.h"

namespace gdi {

enum class TKind { Pen, Brush, Font, Bitmap, Region, DC, Icon };

struct TObject {
    explicit TObject(TKind kind) : Kind(kind) { }
    virtual ~TObject() = default;
    TKind Kind;
    bool Stock { false };
};

struct TPen : TObject {
    TPen() : TObject(TKind::Pen) { }
    DWORD Style { PS_SOLID }; // style bits without the type
    int Width { 1 };
    COLORREF Color { 0 };
    bool Geometric { false };
    bool Extended { false };
    bool DCPen { false };
    std::vector<DWORD> UserStyle;
};

struct TBitmap;

struct TBrush : TObject {
    TBrush() : TObject(TKind::Brush) { }
    UINT Style { BS_SOLID };
    COLORREF Color { 0 };
    int Hatch { 0 };
    bool DCBrush { false };
    int SysColorIndex { -1 };
    std::shared_ptr<TBitmap> Pattern;
};

struct TFontMetrics {
    int Ascent { 0 };
    int Descent { 0 };
    int InternalLeading { 0 };
    int ExternalLeading { 0 };
    int AveCharWidth { 0 };
    int MaxCharWidth { 0 };
};

std::uint64_t NextFontSerial();

struct TFont : TObject {
    TFont() : TObject(TKind::Font) { }
    // Tells fonts apart in caches even when one takes the address of a deleted one.
    std::uint64_t Serial { NextFontSerial() };
    // Shared by every font of the same description (0 until asked): text
    // measures of one look are kept once, however often a control makes a
    // new font object for it.
    std::uint64_t LookSerial { 0 };
    ~TFont() override;
    LOGFONTW Log;
    PangoFontDescription* Desc { nullptr };
    std::optional<TFontMetrics> Metrics;
};

// Pixels of a bitmap: a cairo ARGB32 surface. A DIB section whose caller-visible
// layout differs from cairo's (bottom-up rows, 24 bits) keeps its own bits and
// is converted at each hand-over.
struct TBitmap : TObject {
    TBitmap() : TObject(TKind::Bitmap) { }
    ~TBitmap() override;
    cairo_surface_t* Surface { nullptr };
    int Width { 0 };
    int Height { 0 };
    int BitsPixel { 32 };
    bool IsDib { false };
    bool TopDown { true };
    std::vector<std::uint8_t> Bits; // only when the layout differs from the surface
    void* UserBits { nullptr };
    int UserStride { 0 };
    bool NeedsConversion() const { return !Bits.empty(); }
    void BitsToSurface();
    void SurfaceToBits();
};

struct TRegionObj : TObject {
    TRegionObj() : TObject(TKind::Region) { }
    TRegion Rgn;
};

struct TIcon : TObject {
    TIcon() : TObject(TKind::Icon) { }
    ~TIcon() override;
    cairo_surface_t* Surface { nullptr }; // premultiplied ARGB with the mask applied
    int Width { 0 };
    int Height { 0 };
    bool IsIcon { true };
    TPoint Hotspot;
};

// A figure in device coordinates (sub-pixel: pixel centres at +0.5).
struct TFigure {
    std::vector<TPointF> Points;
    bool Closed { false };
};

struct TState {
    std::shared_ptr<TPen> Pen;
    std::shared_ptr<TBrush> Brush;
    std::shared_ptr<TFont> Font;
    std::shared_ptr<TBitmap> Bitmap;
    COLORREF TextColor { 0 };
    COLORREF BkColor { 0xFFFFFF };
    COLORREF DCBrushColor { 0xFFFFFF };
    COLORREF DCPenColor { 0 };
    int BkMode { OPAQUE };
    int Rop2 { R2_COPYPEN };
    int PolyFillMode { ALTERNATE };
    int StretchMode { BLACKONWHITE };
    UINT TextAlign { 0 };
    int MapMode { MM_TEXT };
    TPoint WindowOrg;
    TPoint ViewportOrg;
    TSize WindowExt { 1, 1 };
    TSize ViewportExt { 1, 1 };
    TPoint CurPos;
    TPoint BrushOrg;
    std::optional<TRegion> Clip; // device coordinates
};

struct TPrinterInfo;

struct TDC : TObject {
    TDC() : TObject(TKind::DC) { }
    ~TDC() override;
    cairo_surface_t* Surface { nullptr };
    cairo_t* Cr { nullptr };
    bool Memory { false };
    bool Window { false };
    bool Vector { false }; // a printer or PDF surface: no pixels to read back
    TPoint SurfaceOffset; // device point (0,0) in surface pixels
    TRegion Bounds;       // device coordinates where drawing may land
    int DpiX { 96 };
    int DpiY { 96 };
    double VectorScale { 1 }; // surface units per device unit
    TState State;
    std::vector<TState> Saved;
    bool InPath { false };
    bool PathDone { false };
    std::vector<TFigure> Path;
    std::shared_ptr<TPrinterInfo> Printer;

    // The device region drawing is limited to.
    TRegion EffectiveClip() const { return State.Clip ? State.Clip->Intersect(Bounds) : Bounds; }
    void AttachSurface(cairo_surface_t* surface, TPoint offset, const TRegion& bounds);
    TPointF ToDevice(double x, double y) const;
    TPoint ToDeviceI(int x, int y) const;
    TPoint ToLogical(int x, int y) const;
    double ScaleX() const;
    double ScaleY() const;
};

// Handle table.
HGDIOBJ Register(std::shared_ptr<TObject> obj);
std::shared_ptr<TObject> Lookup(HGDIOBJ h);
template <class T> std::shared_ptr<T> LookupAs(HGDIOBJ h, TKind kind)
{
    auto o = Lookup(h);
    if (!o || o->Kind != kind)
        return nullptr;
    return std::static_pointer_cast<T>(o);
}
inline std::shared_ptr<TDC> DCOf(HDC h) { return LookupAs<TDC>(h, TKind::DC); }
HGDIOBJ HandleOf(const TObject* obj);
void Unregister(HGDIOBJ h);

std::shared_ptr<TBitmap> MakeBitmap(int w, int h);
std::shared_ptr<TPen> StockPen(int which);
std::shared_ptr<TBrush> StockBrush(int which);
std::shared_ptr<TFont> StockFont(int which);

// Fonts.
PangoContext* SharedPangoContext();
PangoFontMap* SharedFontMap();
const TFontMetrics& MetricsOf(TFont& font);
void EnsureFontDescription(TFont& font);

// Painting of spans (rows of [x0, x1) pixel runs in device coordinates).
struct TSpan {
    int Y;
    int X0;
    int X1;
};
enum class TPaintKind { Pen, Brush };
struct TPaint {
    COLORREF Color { 0 };
    bool Null { false };
    const TBrush* Brush { nullptr }; // hatch or pattern
};
TPaint BrushPaint(const TDC& dc, const TBrush* brush);
TPaint PenPaint(const TDC& dc);
void PaintRect(TDC& dc, const TRect& r, const TPaint& paint, int rop2, const TRegion* extraClip = nullptr);
void PaintSpans(TDC& dc, const std::vector<TSpan>& spans, const TPaint& paint, int rop2, const TRegion* extraClip = nullptr);
// `limit` keeps only the spans inside a rectangle (the surface).
std::vector<TSpan> FillSpans(const std::vector<TFigure>& figures, bool winding, const TRect* limit = nullptr);
std::vector<TSpan> RectSpans(const TRect& r);
void StrokeFigures(TDC& dc, const std::vector<TFigure>& figures);
void FillFigures(TDC& dc, const std::vector<TFigure>& figures, const TBrush* brush, bool winding);
TRegion SpansToRegion(const std::vector<TSpan>& spans);

// Begin/end of direct pixel access on an image surface.
void BeginPixels(TDC& dc);
void EndPixels(TDC& dc);
// Before/after drawing with cairo: clip set, surface offset applied.
void BeginCairo(TDC& dc);
void EndCairo(TDC& dc);

// Colour of a premultiplied pixel as a COLORREF and back (opaque).
inline COLORREF PixelToColor(std::uint32_t px) { return RGB(BYTE(px >> 16), BYTE(px >> 8), BYTE(px)); }
inline std::uint32_t ColorToPixel(COLORREF c) { return 0xFF000000u | (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) | GetBValue(c); }
void SetSourceColor(cairo_t* cr, COLORREF c);

// Printer contexts.
void EndPrinterDC(TDC& dc);
int PrinterDeviceCaps(const TDC& dc, int index);

// Geometry helpers shared by shapes and regions.
std::vector<TPointF> EllipsePoints(double l, double t, double r, double b);
std::vector<TPointF> RoundRectPoints(double l, double t, double r, double b, double w, double h);

} // namespace gdi
