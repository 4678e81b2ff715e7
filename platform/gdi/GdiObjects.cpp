#include "platform/gdi/GdiObjects.h"

#include <cmath>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/gdi/Frames.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/Surface.h"
#include "platform/win/System.h"
#include "platform/win/WinUser.h"

namespace gdi {

namespace {

std::mutex g_lock;
std::unordered_map<const void*, std::shared_ptr<TObject>>& Table()
{
    static auto* table = new std::unordered_map<const void*, std::shared_ptr<TObject>>();
    return *table;
}

int RoundInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    v = std::nearbyint(v);
    if (v > 1e9)
        return 1000000000;
    if (v < -1e9)
        return -1000000000;
    return int(v);
}

} // namespace

HGDIOBJ Register(std::shared_ptr<TObject> obj)
{
    if (!obj)
        return nullptr;
    std::lock_guard lock(g_lock);
    const void* key = obj.get();
    Table()[key] = std::move(obj);
    return const_cast<void*>(key);
}

std::shared_ptr<TObject> Lookup(HGDIOBJ h)
{
    if (!h)
        return nullptr;
    std::lock_guard lock(g_lock);
    auto it = Table().find(h);
    return it == Table().end() ? nullptr : it->second;
}

void Unregister(HGDIOBJ h)
{
    std::shared_ptr<TObject> keep; // destroyed after the lock is released
    std::lock_guard lock(g_lock);
    auto it = Table().find(h);
    if (it == Table().end())
        return;
    keep = std::move(it->second);
    Table().erase(it);
}

HGDIOBJ HandleOf(const TObject* obj)
{
    return const_cast<TObject*>(obj);
}

TFont::~TFont()
{
    if (Desc)
        pango_font_description_free(Desc);
}

TBitmap::~TBitmap()
{
    if (Surface)
        cairo_surface_destroy(Surface);
}

TIcon::~TIcon()
{
    if (Surface)
        cairo_surface_destroy(Surface);
}

// Caller-visible DIB bits into the drawing surface (and back): rows may be
// bottom-up and pixels 24 bits; the alpha byte of 32-bit bits is kept as is.
void TBitmap::BitsToSurface()
{
    if (!NeedsConversion())
        return;
    cairo_surface_flush(Surface);
    auto* dst = cairo_image_surface_get_data(Surface);
    const int dstStride = cairo_image_surface_get_stride(Surface);
    for (int y = 0; y < Height; ++y) {
        const int srcRow = TopDown ? y : Height - 1 - y;
        const std::uint8_t* s = Bits.data() + std::size_t(srcRow) * UserStride;
        auto* d = reinterpret_cast<std::uint32_t*>(dst + std::size_t(y) * dstStride);
        for (int x = 0; x < Width; ++x) {
            if (BitsPixel == 24)
                d[x] = 0xFF000000u | (std::uint32_t(s[x * 3 + 2]) << 16) | (std::uint32_t(s[x * 3 + 1]) << 8) | s[x * 3];
            else
                std::memcpy(&d[x], s + x * 4, 4);
        }
    }
    cairo_surface_mark_dirty(Surface);
}

void TBitmap::SurfaceToBits()
{
    if (!NeedsConversion())
        return;
    cairo_surface_flush(Surface);
    const auto* src = cairo_image_surface_get_data(Surface);
    const int srcStride = cairo_image_surface_get_stride(Surface);
    for (int y = 0; y < Height; ++y) {
        const int dstRow = TopDown ? y : Height - 1 - y;
        std::uint8_t* d = Bits.data() + std::size_t(dstRow) * UserStride;
        const auto* s = reinterpret_cast<const std::uint32_t*>(src + std::size_t(y) * srcStride);
        for (int x = 0; x < Width; ++x) {
            if (BitsPixel == 24) {
                d[x * 3] = BYTE(s[x]);
                d[x * 3 + 1] = BYTE(s[x] >> 8);
                d[x * 3 + 2] = BYTE(s[x] >> 16);
            } else {
                std::memcpy(d + x * 4, &s[x], 4);
            }
        }
    }
}

std::shared_ptr<TBitmap> MakeBitmap(int w, int h)
{
    if (w <= 0 || h <= 0 || w > 32767 || h > 32767)
        return nullptr;
    auto bmp = std::make_shared<TBitmap>();
    bmp->Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    if (cairo_surface_status(bmp->Surface) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    bmp->Width = w;
    bmp->Height = h;
    return bmp;
}

TDC::~TDC()
{
    if (Cr)
        cairo_destroy(Cr);
    if (Surface)
        cairo_surface_destroy(Surface);
}

void TDC::AttachSurface(cairo_surface_t* surface, TPoint offset, const TRegion& bounds)
{
    if (Cr)
        cairo_destroy(Cr);
    if (Surface)
        cairo_surface_destroy(Surface);
    Surface = surface;
    Cr = surface ? cairo_create(surface) : nullptr;
    SurfaceOffset = offset;
    Bounds = bounds;
}

double TDC::ScaleX() const
{
    return State.WindowExt.cx ? double(State.ViewportExt.cx) / State.WindowExt.cx : 1.0;
}

double TDC::ScaleY() const
{
    return State.WindowExt.cy ? double(State.ViewportExt.cy) / State.WindowExt.cy : 1.0;
}

TPointF TDC::ToDevice(double x, double y) const
{
    if (State.MapMode == MM_TEXT)
        return { float(x - State.WindowOrg.X + State.ViewportOrg.X), float(y - State.WindowOrg.Y + State.ViewportOrg.Y) };
    return { float((x - State.WindowOrg.X) * ScaleX() + State.ViewportOrg.X),
        float((y - State.WindowOrg.Y) * ScaleY() + State.ViewportOrg.Y) };
}

TPoint TDC::ToDeviceI(int x, int y) const
{
    auto p = ToDevice(x, y);
    return { RoundInt(p.X), RoundInt(p.Y) };
}

TPoint TDC::ToLogical(int x, int y) const
{
    const double sx = ScaleX(), sy = ScaleY();
    if (sx == 0 || sy == 0)
        return { x, y };
    return { RoundInt((x - State.ViewportOrg.X) / sx + State.WindowOrg.X),
        RoundInt((y - State.ViewportOrg.Y) / sy + State.WindowOrg.Y) };
}

void SetSourceColor(cairo_t* cr, COLORREF c)
{
    cairo_set_source_rgb(cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
}

std::shared_ptr<TPen> StockPen(int which)
{
    static std::shared_ptr<TPen> pens[3];
    const int i = which - WHITE_PEN;
    if (i < 0 || i > 2)
        return nullptr;
    if (!pens[i]) {
        pens[i] = std::make_shared<TPen>();
        pens[i]->Stock = true;
        pens[i]->Color = which == WHITE_PEN ? 0xFFFFFF : 0;
        pens[i]->Style = which == NULL_PEN ? PS_NULL : PS_SOLID;
        Register(pens[i]);
    }
    return pens[i];
}

std::shared_ptr<TBrush> StockBrush(int which)
{
    static std::shared_ptr<TBrush> brushes[6];
    if (which < WHITE_BRUSH || which > NULL_BRUSH)
        return nullptr;
    auto& b = brushes[which];
    if (!b) {
        static const COLORREF colors[] = { 0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0 };
        b = std::make_shared<TBrush>();
        b->Stock = true;
        b->Color = colors[which];
        b->Style = which == NULL_BRUSH ? BS_NULL : BS_SOLID;
        Register(b);
    }
    return b;
}

std::shared_ptr<TFont> StockFont(int which)
{
    static std::shared_ptr<TFont> fonts[8];
    const int i = which - OEM_FIXED_FONT;
    if (i < 0 || i > DEFAULT_GUI_FONT - OEM_FIXED_FONT || which == DEFAULT_PALETTE)
        return nullptr;
    auto& f = fonts[i];
    if (!f) {
        f = std::make_shared<TFont>();
        f->Stock = true;
        const bool fixed = which == OEM_FIXED_FONT || which == ANSI_FIXED_FONT || which == SYSTEM_FIXED_FONT;
        const char16_t* face = fixed ? u"Courier New" : which == DEFAULT_GUI_FONT ? u"MS Shell Dlg" : u"System";
        std::char_traits<char16_t>::copy(f->Log.lfFaceName, face, std::char_traits<char16_t>::length(face));
        f->Log.lfHeight = which == DEFAULT_GUI_FONT ? -11 : -16;
        f->Log.lfWeight = which == SYSTEM_FONT ? FW_BOLD : FW_NORMAL;
        Register(f);
    }
    return f;
}

namespace {

std::shared_ptr<TDC> NewDC()
{
    auto dc = std::make_shared<TDC>();
    dc->State.Pen = StockPen(BLACK_PEN);
    dc->State.Brush = StockBrush(WHITE_BRUSH);
    dc->State.Font = StockFont(SYSTEM_FONT);
    return dc;
}

class TWindowDCFactory : public IDeviceContextFactory {
public:
    HDC CreateWindowDC(const TPaintTarget& target) override { return CreateDCForTarget(target); }
    void ReleaseWindowDC(HDC dc) override { DeleteDC(dc); }
    void DrawScrollBar(HDC dc, const TRect& bar, bool vertical, const TRect& thumb, UINT disabledArrows) override
    {
        DrawWindowScrollBar(dc, bar, vertical, thumb, disabledArrows);
    }
    void DrawScrollCorner(HDC dc, const TRect& corner) override { ::DrawScrollCorner(dc, corner); }
    void DrawWindowFrame(HDC dc, const TRect& windowRect, DWORD style, DWORD exStyle) override
    {
        ::DrawWindowFrame(dc, windowRect, style, exStyle);
    }
};

TWindowDCFactory g_factory;

// Windows hand out device contexts once the drawing layer is linked in.
struct TFactoryInstaller {
    TFactoryInstaller() { SetDeviceContextFactory(&g_factory); }
} g_installer;

} // namespace

} // namespace gdi

using namespace gdi;

void InstallDeviceContextFactory()
{
    SetDeviceContextFactory(&g_factory);
}

HDC CreateDCForTarget(const TPaintTarget& target)
{
    const auto& b = target.Buffer;
    if (!b.Data || b.Width <= 0 || b.Height <= 0 || b.Stride < b.Width * 4)
        return nullptr;
    auto dc = NewDC();
    dc->Window = true;
    auto* surface = cairo_image_surface_create_for_data(b.Data, CAIRO_FORMAT_ARGB32, b.Width, b.Height, b.Stride);
    TRegion bounds = target.Clip.Intersect(TRegion(TRect(0, 0, b.Width, b.Height)));
    bounds.Offset(-target.Origin.X, -target.Origin.Y);
    dc->AttachSurface(surface, target.Origin, bounds);
    return HDC(Register(dc));
}

HDC CreateCompatibleDC(HDC)
{
    auto dc = NewDC();
    dc->Memory = true;
    auto bmp = MakeBitmap(1, 1);
    bmp->Stock = true;
    dc->State.Bitmap = bmp;
    dc->AttachSurface(cairo_surface_reference(bmp->Surface), {}, TRegion(TRect(0, 0, 1, 1)));
    return HDC(Register(dc));
}

BOOL DeleteDC(HDC h)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    if (dc->Printer)
        EndPrinterDC(*dc);
    Unregister(h);
    return TRUE;
}

int SaveDC(HDC h)
{
    auto dc = DCOf(h);
    if (!dc)
        return 0;
    dc->Saved.push_back(dc->State);
    return int(dc->Saved.size());
}

BOOL RestoreDC(HDC h, int saved)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    const int n = int(dc->Saved.size());
    const int index = saved < 0 ? n + saved : saved - 1;
    if (index < 0 || index >= n)
        return FALSE;
    auto bitmap = dc->State.Bitmap;
    dc->State = dc->Saved[std::size_t(index)];
    dc->Saved.resize(std::size_t(index));
    if (dc->Memory && dc->State.Bitmap != bitmap && dc->State.Bitmap) {
        auto& b = *dc->State.Bitmap;
        dc->AttachSurface(cairo_surface_reference(b.Surface), {}, TRegion(TRect(0, 0, b.Width, b.Height)));
    }
    return TRUE;
}

HGDIOBJ SelectObject(HDC h, HGDIOBJ obj)
{
    auto dc = DCOf(h);
    auto o = Lookup(obj);
    if (!dc || !o)
        return nullptr;
    auto& s = dc->State;
    switch (o->Kind) {
    case TKind::Pen: {
        auto old = s.Pen;
        s.Pen = std::static_pointer_cast<TPen>(o);
        return HandleOf(old.get());
    }
    case TKind::Brush: {
        auto old = s.Brush;
        s.Brush = std::static_pointer_cast<TBrush>(o);
        return HandleOf(old.get());
    }
    case TKind::Font: {
        auto old = s.Font;
        s.Font = std::static_pointer_cast<TFont>(o);
        return HandleOf(old.get());
    }
    case TKind::Bitmap: {
        if (!dc->Memory)
            return nullptr;
        auto old = s.Bitmap;
        auto bmp = std::static_pointer_cast<TBitmap>(o);
        s.Bitmap = bmp;
        dc->AttachSurface(cairo_surface_reference(bmp->Surface), {}, TRegion(TRect(0, 0, bmp->Width, bmp->Height)));
        s.Clip.reset();
        return HandleOf(old.get());
    }
    case TKind::Region: {
        auto r = std::static_pointer_cast<TRegionObj>(o);
        s.Clip = r->Rgn;
        const auto clip = dc->EffectiveClip();
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(clip.IsEmpty() ? NULLREGION
                : clip.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION));
    }
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC h, UINT type)
{
    auto dc = DCOf(h);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN: return HandleOf(dc->State.Pen.get());
    case OBJ_BRUSH: return HandleOf(dc->State.Brush.get());
    case OBJ_FONT: return HandleOf(dc->State.Font.get());
    case OBJ_BITMAP: return HandleOf(dc->State.Bitmap.get());
    default: return nullptr;
    }
}

// Objects selected into a context stay alive there until deselected: the
// handle goes, the context keeps its reference.
BOOL DeleteObject(HGDIOBJ obj)
{
    auto o = Lookup(obj);
    if (!o || o->Kind == TKind::DC || o->Kind == TKind::Icon)
        return FALSE;
    if (o->Stock)
        return TRUE;
    Unregister(obj);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ obj)
{
    auto o = Lookup(obj);
    if (!o)
        return 0;
    switch (o->Kind) {
    case TKind::Pen: return static_cast<TPen&>(*o).Extended ? DWORD(OBJ_EXTPEN) : DWORD(OBJ_PEN);
    case TKind::Brush: return OBJ_BRUSH;
    case TKind::Font: return OBJ_FONT;
    case TKind::Bitmap: return OBJ_BITMAP;
    case TKind::Region: return OBJ_REGION;
    case TKind::DC: return static_cast<TDC&>(*o).Memory ? DWORD(OBJ_MEMDC) : DWORD(OBJ_DC);
    default: return 0;
    }
}

int GetObject(HGDIOBJ obj, int size, void* out)
{
    auto o = Lookup(obj);
    if (!o)
        return 0;
    switch (o->Kind) {
    case TKind::Pen: {
        auto& p = static_cast<TPen&>(*o);
        if (p.Extended) {
            EXTLOGPEN e;
            e.elpPenStyle = p.Style | (p.Geometric ? DWORD(PS_GEOMETRIC) : 0u);
            e.elpWidth = DWORD(p.Width);
            e.elpColor = p.Color;
            if (out && size >= int(sizeof e))
                std::memcpy(out, &e, sizeof e);
            return out ? (size >= int(sizeof e) ? int(sizeof e) : 0) : int(sizeof e);
        }
        LOGPEN lp;
        lp.lopnStyle = p.Style;
        lp.lopnWidth = { p.Width, 0 };
        lp.lopnColor = p.Color;
        if (!out)
            return int(sizeof lp);
        if (size < int(sizeof lp))
            return 0;
        std::memcpy(out, &lp, sizeof lp);
        return int(sizeof lp);
    }
    case TKind::Brush: {
        auto& b = static_cast<TBrush&>(*o);
        LOGBRUSH lb { b.Style, b.Color, std::uintptr_t(b.Hatch) };
        if (!out)
            return int(sizeof lb);
        if (size < int(sizeof lb))
            return 0;
        std::memcpy(out, &lb, sizeof lb);
        return int(sizeof lb);
    }
    case TKind::Font: {
        auto& f = static_cast<TFont&>(*o);
        if (!out)
            return int(sizeof(LOGFONTW));
        const int n = std::min<int>(size, sizeof(LOGFONTW));
        if (n <= 0)
            return 0;
        std::memcpy(out, &f.Log, std::size_t(n));
        return n;
    }
    case TKind::Bitmap: {
        auto& b = static_cast<TBitmap&>(*o);
        DIBSECTION ds;
        ds.dsBm.bmWidth = b.Width;
        ds.dsBm.bmHeight = b.Height;
        ds.dsBm.bmBitsPixel = WORD(b.BitsPixel);
        ds.dsBm.bmWidthBytes = ((b.Width * b.BitsPixel + 15) / 16) * 2;
        ds.dsBm.bmBits = b.IsDib ? b.UserBits : nullptr;
        ds.dsBmih.biWidth = b.Width;
        ds.dsBmih.biHeight = b.TopDown ? -b.Height : b.Height;
        ds.dsBmih.biBitCount = WORD(b.BitsPixel);
        const int want = b.IsDib && size >= int(sizeof(DIBSECTION)) ? int(sizeof(DIBSECTION)) : int(sizeof(BITMAP));
        if (!out)
            return want;
        if (size < int(sizeof(BITMAP)))
            return 0;
        std::memcpy(out, &ds, std::size_t(want));
        return want;
    }
    case TKind::Region:
    default:
        return 0;
    }
}

int GetObjectW(HGDIOBJ obj, int size, void* out)
{
    return GetObject(obj, size, out);
}

HGDIOBJ GetStockObject(int which)
{
    if (auto p = StockPen(which))
        return HandleOf(p.get());
    if (auto b = StockBrush(which))
        return HandleOf(b.get());
    if (auto f = StockFont(which))
        return HandleOf(f.get());
    if (which == DC_BRUSH) {
        static std::shared_ptr<TBrush> dcBrush;
        if (!dcBrush) {
            dcBrush = std::make_shared<TBrush>();
            dcBrush->Stock = true;
            dcBrush->DCBrush = true;
            Register(dcBrush);
        }
        return HandleOf(dcBrush.get());
    }
    if (which == DC_PEN) {
        static std::shared_ptr<TPen> dcPen;
        if (!dcPen) {
            dcPen = std::make_shared<TPen>();
            dcPen->Stock = true;
            dcPen->DCPen = true;
            Register(dcPen);
        }
        return HandleOf(dcPen.get());
    }
    return nullptr;
}

int GetDeviceCaps(HDC h, int index)
{
    auto dc = DCOf(h);
    if (!dc)
        return 0;
    if (dc->Printer)
        return PrinterDeviceCaps(*dc, index);
    // Display contexts, memory ones included, describe the screen.
    const int w = GetSystemMetrics(SM_CXSCREEN), hgt = GetSystemMetrics(SM_CYSCREEN);
    switch (index) {
    case TECHNOLOGY: return DT_RASDISPLAY;
    case LOGPIXELSX: return dc->DpiX;
    case LOGPIXELSY: return dc->DpiY;
    case HORZRES: case PHYSICALWIDTH: return w;
    case VERTRES: case PHYSICALHEIGHT: return hgt;
    case HORZSIZE: return RoundInt(w * 25.4 / dc->DpiX);
    case VERTSIZE: return RoundInt(hgt * 25.4 / dc->DpiY);
    case BITSPIXEL: return 32;
    case PLANES: return 1;
    case NUMCOLORS: return -1;
    case PHYSICALOFFSETX: case PHYSICALOFFSETY: return 0;
    default: return 0;
    }
}

BOOL GdiFlush()
{
    return TRUE;
}

HPEN CreatePen(int style, int width, COLORREF color)
{
    auto p = std::make_shared<TPen>();
    p->Style = DWORD(style) & PS_STYLE_MASK;
    if (p->Style > PS_INSIDEFRAME)
        p->Style = PS_SOLID;
    p->Width = std::max(width, 0);
    // Wide pens draw only solid (or inside-frame) lines.
    if (p->Width > 1 && p->Style >= PS_DASH && p->Style <= PS_DASHDOTDOT)
        p->Style = PS_SOLID;
    p->Color = color & 0xFFFFFF;
    return HPEN(Register(p));
}

HPEN CreatePenIndirect(const LOGPEN* lp)
{
    return lp ? CreatePen(int(lp->lopnStyle), lp->lopnWidth.X, lp->lopnColor) : nullptr;
}

HPEN ExtCreatePen(DWORD style, DWORD width, const LOGBRUSH* brush, DWORD styleCount, const DWORD* styles)
{
    if (!brush)
        return nullptr;
    auto p = std::make_shared<TPen>();
    p->Extended = true;
    p->Geometric = (style & PS_TYPE_MASK) == PS_GEOMETRIC;
    p->Style = style & (PS_STYLE_MASK | PS_ENDCAP_MASK | PS_JOIN_MASK);
    if (!p->Geometric && width != 1)
        return nullptr; // cosmetic pens are one pixel wide
    if ((style & PS_STYLE_MASK) == PS_ALTERNATE && p->Geometric)
        return nullptr;
    p->Width = int(std::min<DWORD>(width, 10000));
    p->Color = brush->lbStyle == BS_NULL ? 0 : brush->lbColor & 0xFFFFFF;
    if (brush->lbStyle == BS_NULL)
        p->Style = (p->Style & ~PS_STYLE_MASK) | PS_NULL;
    if ((style & PS_STYLE_MASK) == PS_USERSTYLE) {
        if (!styles || styleCount == 0 || styleCount > 16)
            return nullptr;
        p->UserStyle.assign(styles, styles + styleCount);
    }
    return HPEN(Register(p));
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto b = std::make_shared<TBrush>();
    b->Color = color & 0xFFFFFF;
    return HBRUSH(Register(b));
}

HBRUSH CreateHatchBrush(int hatch, COLORREF color)
{
    if (hatch < HS_HORIZONTAL || hatch > HS_DIAGCROSS)
        return nullptr;
    auto b = std::make_shared<TBrush>();
    b->Style = BS_HATCHED;
    b->Hatch = hatch;
    b->Color = color & 0xFFFFFF;
    return HBRUSH(Register(b));
}

HBRUSH CreatePatternBrush(HBITMAP bitmap)
{
    auto src = LookupAs<TBitmap>(bitmap, TKind::Bitmap);
    if (!src)
        return nullptr;
    // The brush keeps its own copy, so the bitmap may be deleted.
    auto copy = MakeBitmap(src->Width, src->Height);
    src->BitsToSurface();
    cairo_t* cr = cairo_create(copy->Surface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, src->Surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    auto b = std::make_shared<TBrush>();
    b->Style = BS_PATTERN;
    b->Pattern = copy;
    return HBRUSH(Register(b));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* lb)
{
    if (!lb)
        return nullptr;
    switch (lb->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(lb->lbColor);
    case BS_NULL: return HBRUSH(GetStockObject(NULL_BRUSH));
    case BS_HATCHED: return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN: return CreatePatternBrush(HBITMAP(lb->lbHatch));
    default: return nullptr;
    }
}

HFONT CreateFontIndirectW(const LOGFONTW* lf)
{
    if (!lf)
        return nullptr;
    auto f = std::make_shared<TFont>();
    f->Log = *lf;
    f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
    return HFONT(Register(f));
}

HFONT CreateFontIndirect(const LOGFONTW* lf)
{
    return CreateFontIndirectW(lf);
}

HFONT CreateFontIndirectA(const LOGFONTA* lf)
{
    if (!lf)
        return nullptr;
    LOGFONTW w;
    w.lfHeight = lf->lfHeight;
    w.lfWidth = lf->lfWidth;
    w.lfEscapement = lf->lfEscapement;
    w.lfOrientation = lf->lfOrientation;
    w.lfWeight = lf->lfWeight;
    w.lfItalic = lf->lfItalic;
    w.lfUnderline = lf->lfUnderline;
    w.lfStrikeOut = lf->lfStrikeOut;
    w.lfCharSet = lf->lfCharSet;
    w.lfOutPrecision = lf->lfOutPrecision;
    w.lfClipPrecision = lf->lfClipPrecision;
    w.lfQuality = lf->lfQuality;
    w.lfPitchAndFamily = lf->lfPitchAndFamily;
    const String face = Utf8ToString(std::string(lf->lfFaceName, strnlen(lf->lfFaceName, LF_FACESIZE)));
    face.copy(w.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    return CreateFontIndirectW(&w);
}

HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, DWORD italic,
    DWORD underline, DWORD strikeOut, DWORD charSet, DWORD outPrecision, DWORD clipPrecision, DWORD quality,
    DWORD pitchAndFamily, LPCWSTR face)
{
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWidth = width;
    lf.lfEscapement = escapement;
    lf.lfOrientation = orientation;
    lf.lfWeight = weight;
    lf.lfItalic = BYTE(italic != 0);
    lf.lfUnderline = BYTE(underline != 0);
    lf.lfStrikeOut = BYTE(strikeOut != 0);
    lf.lfCharSet = BYTE(charSet);
    lf.lfOutPrecision = BYTE(outPrecision);
    lf.lfClipPrecision = BYTE(clipPrecision);
    lf.lfQuality = BYTE(quality);
    lf.lfPitchAndFamily = BYTE(pitchAndFamily);
    if (face)
        for (int i = 0; i < LF_FACESIZE - 1 && face[i]; ++i)
            lf.lfFaceName[i] = face[i];
    return CreateFontIndirectW(&lf);
}

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits)
{
    if (planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 24 && bitsPerPixel != 32))
        return nullptr;
    auto bmp = MakeBitmap(width, height);
    if (!bmp)
        return nullptr;
    bmp->BitsPixel = int(bitsPerPixel);
    if (bits) {
        // Rows of device-dependent bitmaps are padded to 16 bits.
        const int srcStride = ((width * int(bitsPerPixel) + 15) / 16) * 2;
        auto* data = cairo_image_surface_get_data(bmp->Surface);
        const int stride = cairo_image_surface_get_stride(bmp->Surface);
        const auto* src = static_cast<const std::uint8_t*>(bits);
        for (int y = 0; y < height; ++y) {
            auto* d = reinterpret_cast<std::uint32_t*>(data + std::size_t(y) * stride);
            const std::uint8_t* s = src + std::size_t(y) * srcStride;
            for (int x = 0; x < width; ++x) {
                if (bitsPerPixel == 1)
                    d[x] = (s[x / 8] & (0x80 >> (x % 8))) ? 0xFFFFFFFFu : 0xFF000000u;
                else if (bitsPerPixel == 24)
                    d[x] = 0xFF000000u | (std::uint32_t(s[x * 3 + 2]) << 16) | (std::uint32_t(s[x * 3 + 1]) << 8) | s[x * 3];
                else
                    std::memcpy(&d[x], s + x * 4, 4);
            }
        }
        cairo_surface_mark_dirty(bmp->Surface);
    }
    return HBITMAP(Register(bmp));
}

HBITMAP CreateCompatibleBitmap(HDC, int width, int height)
{
    auto bmp = MakeBitmap(width, height);
    return bmp ? HBITMAP(Register(bmp)) : nullptr;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD)
{
    if (bits)
        *bits = nullptr;
    if (!info)
        return nullptr;
    const auto& h = info->bmiHeader;
    if ((h.biBitCount != 24 && h.biBitCount != 32) || (h.biCompression != BI_RGB && h.biCompression != BI_BITFIELDS))
        return nullptr;
    const bool topDown = h.biHeight < 0;
    const long long height = topDown ? -(long long)h.biHeight : h.biHeight;
    auto bmp = MakeBitmap(h.biWidth, int(std::min<long long>(height, 1 << 20)));
    if (!bmp)
        return nullptr;
    bmp->IsDib = true;
    bmp->BitsPixel = h.biBitCount;
    bmp->TopDown = topDown;
    if (h.biBitCount == 32 && topDown && cairo_image_surface_get_stride(bmp->Surface) == bmp->Width * 4) {
        bmp->UserBits = cairo_image_surface_get_data(bmp->Surface);
        bmp->UserStride = bmp->Width * 4;
    } else {
        bmp->UserStride = ((bmp->Width * h.biBitCount + 31) / 32) * 4;
        bmp->Bits.assign(std::size_t(bmp->UserStride) * bmp->Height, 0);
        bmp->UserBits = bmp->Bits.data();
    }
    if (bits)
        *bits = bmp->UserBits;
    return HBITMAP(Register(bmp));
}

// State.
#define QT_DC_STATE(Getter, Setter, Type, Field)      \
    Type Setter(HDC h, Type v)                        \
    {                                                 \
        auto dc = DCOf(h);                           \
        if (!dc)                                      \
            return Type(0);                           \
        Type old = dc->State.Field;                   \
        dc->State.Field = v;                          \
        return old;                                   \
    }                                                 \
    Type Getter(HDC h)                                \
    {                                                 \
        auto dc = DCOf(h);                           \
        return dc ? dc->State.Field : Type(0);        \
    }

QT_DC_STATE(GetTextColor, SetTextColor, COLORREF, TextColor)
QT_DC_STATE(GetBkColor, SetBkColor, COLORREF, BkColor)
QT_DC_STATE(GetTextAlign, SetTextAlign, UINT, TextAlign)
QT_DC_STATE(GetStretchBltMode, SetStretchBltMode, int, StretchMode)
#undef QT_DC_STATE

int SetBkMode(HDC h, int mode)
{
    auto dc = DCOf(h);
    if (!dc || (mode != OPAQUE && mode != TRANSPARENT))
        return 0;
    return std::exchange(dc->State.BkMode, mode);
}

int GetBkMode(HDC h)
{
    auto dc = DCOf(h);
    return dc ? dc->State.BkMode : 0;
}

int SetROP2(HDC h, int rop)
{
    auto dc = DCOf(h);
    if (!dc || rop < R2_BLACK || rop > R2_WHITE)
        return 0;
    return std::exchange(dc->State.Rop2, rop);
}

int GetROP2(HDC h)
{
    auto dc = DCOf(h);
    return dc ? dc->State.Rop2 : 0;
}

int SetPolyFillMode(HDC h, int mode)
{
    auto dc = DCOf(h);
    if (!dc || (mode != ALTERNATE && mode != WINDING))
        return 0;
    return std::exchange(dc->State.PolyFillMode, mode);
}

int GetPolyFillMode(HDC h)
{
    auto dc = DCOf(h);
    return dc ? dc->State.PolyFillMode : 0;
}

COLORREF SetDCBrushColor(HDC h, COLORREF c)
{
    auto dc = DCOf(h);
    return dc ? std::exchange(dc->State.DCBrushColor, c & 0xFFFFFF) : CLR_INVALID;
}

COLORREF SetDCPenColor(HDC h, COLORREF c)
{
    auto dc = DCOf(h);
    return dc ? std::exchange(dc->State.DCPenColor, c & 0xFFFFFF) : CLR_INVALID;
}

BOOL SetBrushOrgEx(HDC h, int x, int y, POINT* old)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->State.BrushOrg;
    dc->State.BrushOrg = { x, y };
    return TRUE;
}

int SetMapMode(HDC h, int mode)
{
    auto dc = DCOf(h);
    if (!dc || mode < MM_TEXT || mode > MM_ANISOTROPIC)
        return 0;
    auto& s = dc->State;
    const int old = s.MapMode;
    s.MapMode = mode;
    const int dx = dc->DpiX, dy = dc->DpiY;
    switch (mode) {
    case MM_TEXT: s.WindowExt = { 1, 1 }; s.ViewportExt = { 1, 1 }; break;
    case MM_LOMETRIC: s.WindowExt = { 254, 254 }; s.ViewportExt = { dx, -dy }; break;
    case MM_HIMETRIC: s.WindowExt = { 2540, 2540 }; s.ViewportExt = { dx, -dy }; break;
    case MM_LOENGLISH: s.WindowExt = { 100, 100 }; s.ViewportExt = { dx, -dy }; break;
    case MM_HIENGLISH: s.WindowExt = { 1000, 1000 }; s.ViewportExt = { dx, -dy }; break;
    case MM_TWIPS: s.WindowExt = { 1440, 1440 }; s.ViewportExt = { dx, -dy }; break;
    case MM_ISOTROPIC:
        if (old != MM_ANISOTROPIC) {
            s.WindowExt = { 254, 254 };
            s.ViewportExt = { dx, -dy };
        }
        break;
    default: break;
    }
    return old;
}

int GetMapMode(HDC h)
{
    auto dc = DCOf(h);
    return dc ? dc->State.MapMode : 0;
}

namespace {

// In the isotropic mode one logical unit has the same size on both axes: the
// viewport extent of the axis with the larger scale shrinks to match.
void FixIsotropic(TDC& dc)
{
    auto& s = dc.State;
    if (s.MapMode != MM_ISOTROPIC || !s.WindowExt.cx || !s.WindowExt.cy)
        return;
    const double sx = std::fabs(double(s.ViewportExt.cx) / s.WindowExt.cx);
    const double sy = std::fabs(double(s.ViewportExt.cy) / s.WindowExt.cy);
    if (sx > sy) {
        const double v = sy * std::abs(s.WindowExt.cx);
        s.ViewportExt.cx = (s.ViewportExt.cx < 0 ? -1 : 1) * RoundInt(v);
    } else if (sy > sx) {
        const double v = sx * std::abs(s.WindowExt.cy);
        s.ViewportExt.cy = (s.ViewportExt.cy < 0 ? -1 : 1) * RoundInt(v);
    }
}

BOOL SetPointField(HDC h, TPoint TState::*field, int x, int y, POINT* old, bool offset)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    auto& p = dc->State.*field;
    if (old)
        *old = p;
    p = offset ? TPoint(p.X + x, p.Y + y) : TPoint(x, y);
    return TRUE;
}

BOOL SetExtField(HDC h, TSize TState::*field, int x, int y, SIZE* old)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    auto& s = dc->State.*field;
    if (old)
        *old = s;
    if (dc->State.MapMode != MM_ISOTROPIC && dc->State.MapMode != MM_ANISOTROPIC)
        return TRUE;
    if (x == 0 || y == 0)
        return FALSE;
    s = { x, y };
    FixIsotropic(*dc);
    return TRUE;
}

} // namespace

BOOL SetWindowOrgEx(HDC h, int x, int y, POINT* old) { return SetPointField(h, &TState::WindowOrg, x, y, old, false); }
BOOL SetViewportOrgEx(HDC h, int x, int y, POINT* old) { return SetPointField(h, &TState::ViewportOrg, x, y, old, false); }
BOOL OffsetWindowOrgEx(HDC h, int x, int y, POINT* old) { return SetPointField(h, &TState::WindowOrg, x, y, old, true); }
BOOL OffsetViewportOrgEx(HDC h, int x, int y, POINT* old) { return SetPointField(h, &TState::ViewportOrg, x, y, old, true); }
BOOL SetWindowExtEx(HDC h, int x, int y, SIZE* old) { return SetExtField(h, &TState::WindowExt, x, y, old); }
BOOL SetViewportExtEx(HDC h, int x, int y, SIZE* old) { return SetExtField(h, &TState::ViewportExt, x, y, old); }

BOOL GetWindowOrgEx(HDC h, POINT* p)
{
    auto dc = DCOf(h);
    if (!dc || !p)
        return FALSE;
    *p = dc->State.WindowOrg;
    return TRUE;
}

BOOL GetViewportOrgEx(HDC h, POINT* p)
{
    auto dc = DCOf(h);
    if (!dc || !p)
        return FALSE;
    *p = dc->State.ViewportOrg;
    return TRUE;
}

BOOL GetWindowExtEx(HDC h, SIZE* s)
{
    auto dc = DCOf(h);
    if (!dc || !s)
        return FALSE;
    *s = dc->State.WindowExt;
    return TRUE;
}

BOOL GetViewportExtEx(HDC h, SIZE* s)
{
    auto dc = DCOf(h);
    if (!dc || !s)
        return FALSE;
    *s = dc->State.ViewportExt;
    return TRUE;
}

BOOL LPtoDP(HDC h, POINT* points, int count)
{
    auto dc = DCOf(h);
    if (!dc || (!points && count > 0) || count < 0)
        return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = dc->ToDeviceI(points[i].X, points[i].Y);
    return TRUE;
}

BOOL DPtoLP(HDC h, POINT* points, int count)
{
    auto dc = DCOf(h);
    if (!dc || (!points && count > 0) || count < 0)
        return FALSE;
    for (int i = 0; i < count; ++i)
        points[i] = dc->ToLogical(points[i].X, points[i].Y);
    return TRUE;
}

BOOL MoveToEx(HDC h, int x, int y, POINT* old)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    if (old)
        *old = dc->State.CurPos;
    dc->State.CurPos = { x, y };
    if (dc->InPath) {
        TFigure f;
        f.Points.push_back(dc->ToDevice(x, y));
        dc->Path.push_back(std::move(f));
    }
    return TRUE;
}

BOOL GetCurrentPositionEx(HDC h, POINT* p)
{
    auto dc = DCOf(h);
    if (!dc || !p)
        return FALSE;
    *p = dc->State.CurPos;
    return TRUE;
}

// Clipping.
namespace {

int RegionComplexity(const TRegion& r)
{
    return r.IsEmpty() ? NULLREGION : r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRect DeviceRect(const TDC& dc, int l, int t, int r, int b)
{
    const TPoint a = dc.ToDeviceI(l, t), c = dc.ToDeviceI(r, b);
    return { std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y) };
}

} // namespace

int ExtSelectClipRgn(HDC h, HRGN rgn, int mode)
{
    auto dc = DCOf(h);
    if (!dc)
        return ERROR;
    auto r = LookupAs<TRegionObj>(rgn, TKind::Region);
    auto& clip = dc->State.Clip;
    if (!r) {
        if (mode != RGN_COPY)
            return ERROR;
        clip.reset();
        return RegionComplexity(dc->EffectiveClip());
    }
    const TRegion current = clip ? *clip : dc->Bounds;
    switch (mode) {
    case RGN_COPY: clip = r->Rgn; break;
    case RGN_AND: clip = current.Intersect(r->Rgn); break;
    case RGN_OR: clip = current.Union(r->Rgn); break;
    case RGN_XOR: clip = current.Xor(r->Rgn); break;
    case RGN_DIFF: clip = current.Subtract(r->Rgn); break;
    default: return ERROR;
    }
    return RegionComplexity(dc->EffectiveClip());
}

int SelectClipRgn(HDC h, HRGN rgn)
{
    return ExtSelectClipRgn(h, rgn, RGN_COPY);
}

int IntersectClipRect(HDC h, int l, int t, int r, int b)
{
    auto dc = DCOf(h);
    if (!dc)
        return ERROR;
    const TRegion rect(DeviceRect(*dc, l, t, r, b));
    dc->State.Clip = dc->State.Clip ? dc->State.Clip->Intersect(rect) : rect.Intersect(dc->Bounds);
    return RegionComplexity(dc->EffectiveClip());
}

int ExcludeClipRect(HDC h, int l, int t, int r, int b)
{
    auto dc = DCOf(h);
    if (!dc)
        return ERROR;
    const TRegion rect(DeviceRect(*dc, l, t, r, b));
    dc->State.Clip = (dc->State.Clip ? *dc->State.Clip : dc->Bounds).Subtract(rect);
    return RegionComplexity(dc->EffectiveClip());
}

int OffsetClipRgn(HDC h, int dx, int dy)
{
    auto dc = DCOf(h);
    if (!dc)
        return ERROR;
    if (dc->State.Clip)
        dc->State.Clip->Offset(RoundInt(dx * dc->ScaleX()), RoundInt(dy * dc->ScaleY()));
    return RegionComplexity(dc->EffectiveClip());
}

int GetClipBox(HDC h, RECT* r)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return ERROR;
    const TRegion clip = dc->EffectiveClip();
    const TRect b = clip.Bounds();
    const TPoint a = dc->ToLogical(b.Left, b.Top), c = dc->ToLogical(b.Right, b.Bottom);
    *r = { std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y) };
    return RegionComplexity(clip);
}

int GetClipRgn(HDC h, HRGN rgn)
{
    auto dc = DCOf(h);
    auto r = LookupAs<TRegionObj>(rgn, TKind::Region);
    if (!dc || !r)
        return -1;
    if (!dc->State.Clip)
        return 0;
    r->Rgn = *dc->State.Clip;
    return 1;
}

BOOL PtVisible(HDC h, int x, int y)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    return dc->EffectiveClip().Contains(dc->ToDeviceI(x, y));
}

BOOL RectVisible(HDC h, const RECT* r)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return FALSE;
    return dc->EffectiveClip().Intersects(DeviceRect(*dc, r->Left, r->Top, r->Right, r->Bottom));
}
