#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <numbers>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"

namespace gdi {

namespace {

constexpr double Pi = std::numbers::pi;

int ToInt(double v)
{
    if (!std::isfinite(v))
        return 0;
    return int(std::clamp(std::nearbyint(v), -1e9, 1e9));
}

std::uint32_t Rop2Apply(int rop, std::uint32_t p, std::uint32_t d)
{
    std::uint32_t r = 0;
    switch (rop) {
    case R2_BLACK: r = 0; break;
    case R2_NOTMERGEPEN: r = ~(p | d); break;
    case R2_MASKNOTPEN: r = ~p & d; break;
    case R2_NOTCOPYPEN: r = ~p; break;
    case R2_MASKPENNOT: r = p & ~d; break;
    case R2_NOT: r = ~d; break;
    case R2_XORPEN: r = p ^ d; break;
    case R2_NOTMASKPEN: r = ~(p & d); break;
    case R2_MASKPEN: r = p & d; break;
    case R2_NOTXORPEN: r = ~(p ^ d); break;
    case R2_NOP: return d;
    case R2_MERGENOTPEN: r = ~p | d; break;
    case R2_MERGEPEN: r = p | d; break;
    case R2_MERGEPENNOT: r = p | ~d; break;
    case R2_WHITE: r = 0xFFFFFF; break;
    default: r = p; break;
    }
    return 0xFF000000u | (r & 0xFFFFFF);
}

// A ternary raster operation: the high word's low byte is the truth table
// over pattern, source and destination bits.
std::uint32_t Rop3Apply(DWORD rop, std::uint32_t p, std::uint32_t s, std::uint32_t d)
{
    switch (rop) {
    case SRCCOPY: return s;
    case PATCOPY: return p;
    case BLACKNESS: return 0xFF000000u;
    case WHITENESS: return 0xFFFFFFFFu;
    default: break;
    }
    const unsigned table = (rop >> 16) & 0xFF;
    std::uint32_t out = 0;
    for (unsigned i = 0; i < 8; ++i) {
        if (!(table & (1u << i)))
            continue;
        const std::uint32_t pb = (i & 4) ? p : ~p, sb = (i & 2) ? s : ~s, db = (i & 1) ? d : ~d;
        out |= pb & sb & db;
    }
    return 0xFF000000u | (out & 0xFFFFFF);
}

bool RopUsesSource(DWORD rop)
{
    const unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 2) & 0x33) != (t & 0x33);
}

bool RopUsesPattern(DWORD rop)
{
    const unsigned t = (rop >> 16) & 0xFF;
    return ((t >> 4) & 0x0F) != (t & 0x0F);
}

const std::uint8_t kHatch[6][8] = {
    { 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00 }, // horizontal
    { 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08, 0x08 }, // vertical
    { 0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01 }, // forward diagonal
    { 0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80 }, // backward diagonal
    { 0x08, 0x08, 0x08, 0xFF, 0x08, 0x08, 0x08, 0x08 }, // cross
    { 0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81 }, // diagonal cross
};

// The pattern pixel of a paint at a device point; false where a hatch gap
// shows nothing (transparent background).
bool PaintPixel(const TDC& dc, const TPaint& paint, int x, int y, std::uint32_t& out)
{
    if (!paint.Brush || paint.Brush->Style == BS_SOLID) {
        out = ColorToPixel(paint.Color);
        return true;
    }
    const int px = x - dc.State.BrushOrg.X, py = y - dc.State.BrushOrg.Y;
    if (paint.Brush->Style == BS_HATCHED) {
        const int hx = ((px % 8) + 8) % 8, hy = ((py % 8) + 8) % 8;
        if (kHatch[paint.Brush->Hatch][hy] & (0x80 >> hx)) {
            out = ColorToPixel(paint.Brush->Color);
            return true;
        }
        if (dc.State.BkMode != OPAQUE)
            return false;
        out = ColorToPixel(dc.State.BkColor);
        return true;
    }
    if (paint.Brush->Style == BS_PATTERN && paint.Brush->Pattern) {
        const auto& b = *paint.Brush->Pattern;
        const int bx = ((px % b.Width) + b.Width) % b.Width, by = ((py % b.Height) + b.Height) % b.Height;
        const auto* row = cairo_image_surface_get_data(b.Surface) + std::size_t(by) * cairo_image_surface_get_stride(b.Surface);
        out = 0xFF000000u | reinterpret_cast<const std::uint32_t*>(row)[bx];
        return true;
    }
    out = ColorToPixel(paint.Color);
    return true;
}

std::uint32_t* PixelRow(const TDC& dc, int y)
{
    auto* data = cairo_image_surface_get_data(dc.Surface);
    return reinterpret_cast<std::uint32_t*>(data + std::size_t(y + dc.SurfaceOffset.Y) * cairo_image_surface_get_stride(dc.Surface)) + dc.SurfaceOffset.X;
}

// The paint as a cairo source in device units: patterns and hatches repeat
// from the brush origin.
cairo_pattern_t* CairoPaint(const TDC& dc, const TPaint& paint)
{
    cairo_surface_t* tile = nullptr;
    if (paint.Brush && paint.Brush->Style == BS_PATTERN && paint.Brush->Pattern) {
        tile = cairo_surface_reference(paint.Brush->Pattern->Surface);
    } else if (paint.Brush && paint.Brush->Style == BS_HATCHED) {
        tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
        cairo_surface_flush(tile);
        auto* data = cairo_image_surface_get_data(tile);
        const int stride = cairo_image_surface_get_stride(tile);
        const std::uint32_t ink = ColorToPixel(paint.Brush->Color);
        const std::uint32_t gap = dc.State.BkMode == OPAQUE ? ColorToPixel(dc.State.BkColor) : 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                reinterpret_cast<std::uint32_t*>(data + y * stride)[x] = (kHatch[paint.Brush->Hatch][y] & (0x80 >> x)) ? ink : gap;
        cairo_surface_mark_dirty(tile);
    }
    if (!tile) {
        const COLORREF c = paint.Color;
        return cairo_pattern_create_rgb(GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
    }
    auto* p = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(p, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(p, CAIRO_FILTER_NEAREST);
    cairo_matrix_t m;
    cairo_matrix_init_translate(&m, -dc.State.BrushOrg.X, -dc.State.BrushOrg.Y);
    cairo_pattern_set_matrix(p, &m);
    return p;
}

void ClipCairo(TDC& dc, const TRegion& clip)
{
    cairo_new_path(dc.Cr);
    for (const auto& r : clip.Rects())
        cairo_rectangle(dc.Cr, r.Left, r.Top, r.Width(), r.Height());
    cairo_clip(dc.Cr);
}

} // namespace

void BeginPixels(TDC& dc)
{
    cairo_surface_flush(dc.Surface);
    if (dc.State.Bitmap && dc.Memory)
        dc.State.Bitmap->BitsToSurface();
}

void EndPixels(TDC& dc)
{
    cairo_surface_mark_dirty(dc.Surface);
    if (dc.State.Bitmap && dc.Memory)
        dc.State.Bitmap->SurfaceToBits();
}

void BeginCairo(TDC& dc)
{
    if (dc.State.Bitmap && dc.Memory)
        dc.State.Bitmap->BitsToSurface();
    cairo_save(dc.Cr);
    cairo_identity_matrix(dc.Cr);
    if (dc.Vector)
        cairo_scale(dc.Cr, dc.VectorScale, dc.VectorScale);
    cairo_translate(dc.Cr, dc.SurfaceOffset.X, dc.SurfaceOffset.Y);
    ClipCairo(dc, dc.EffectiveClip());
    cairo_set_antialias(dc.Cr, dc.Vector ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
}

void EndCairo(TDC& dc)
{
    cairo_restore(dc.Cr);
    cairo_surface_flush(dc.Surface);
    if (dc.State.Bitmap && dc.Memory)
        dc.State.Bitmap->SurfaceToBits();
}

TPaint BrushPaint(const TDC& dc, const TBrush* brush)
{
    TPaint p;
    if (!brush || brush->Style == BS_NULL) {
        p.Null = true;
        return p;
    }
    p.Color = brush->DCBrush ? dc.State.DCBrushColor : brush->SysColorIndex >= 0 ? GetSysColor(brush->SysColorIndex) : brush->Color;
    if (brush->Style == BS_HATCHED || brush->Style == BS_PATTERN)
        p.Brush = brush;
    return p;
}

TPaint PenPaint(const TDC& dc)
{
    TPaint p;
    const auto& pen = *dc.State.Pen;
    p.Null = (pen.Style & PS_STYLE_MASK) == PS_NULL;
    p.Color = pen.DCPen ? dc.State.DCPenColor : pen.Color;
    return p;
}

std::vector<TSpan> RectSpans(const TRect& r)
{
    std::vector<TSpan> s;
    if (r.IsEmpty())
        return s;
    s.reserve(std::size_t(r.Height()));
    for (int y = r.Top; y < r.Bottom; ++y)
        s.push_back({ y, r.Left, r.Right });
    return s;
}

TRegion SpansToRegion(const std::vector<TSpan>& spans)
{
    std::vector<TRect> rects;
    rects.reserve(spans.size());
    for (const auto& s : spans)
        if (s.X1 > s.X0)
            rects.emplace_back(s.X0, s.Y, s.X1, s.Y + 1);
    return TRegion::FromRects(rects);
}

namespace {

// One colour over a run of pixels. The C library's wide-character fill is a
// vectorised 32-bit fill, several times faster than a plain loop on long runs.
void FillPixels(std::uint32_t* from, std::uint32_t* to, std::uint32_t pixel)
{
    static_assert(sizeof(wchar_t) == sizeof(std::uint32_t));
    if (to > from)
        std::wmemset(reinterpret_cast<wchar_t*>(from), static_cast<wchar_t>(pixel), std::size_t(to - from));
}

// The region drawing is limited to, without copying it in the common case.
const TRegion& ClipFor(const TDC& dc, const TRegion* extraClip, TRegion& storage)
{
    if (!dc.State.Clip && !extraClip)
        return dc.Bounds;
    storage = dc.EffectiveClip();
    if (extraClip)
        storage = storage.Intersect(*extraClip);
    return storage;
}

} // namespace

void PaintRect(TDC& dc, const TRect& r, const TPaint& paint, int rop2, const TRegion* extraClip)
{
    if (paint.Null || r.IsEmpty() || !dc.Surface || rop2 == R2_NOP)
        return;
    if (dc.Vector || paint.Brush || rop2 != R2_COPYPEN) {
        PaintSpans(dc, RectSpans(r), paint, rop2, extraClip);
        return;
    }
    TRegion storage;
    const TRegion& clip = ClipFor(dc, extraClip, storage);
    const std::uint32_t solid = ColorToPixel(paint.Color);
    bool begun = false;
    for (const auto& c : clip.Rects()) {
        TRect part;
        if (!IntersectRect(part, c, r))
            continue;
        if (!begun) {
            BeginPixels(dc);
            begun = true;
        }
        const std::size_t stride = std::size_t(cairo_image_surface_get_stride(dc.Surface)) / sizeof(std::uint32_t);
        std::uint32_t* row = PixelRow(dc, part.Top);
        for (int y = part.Top; y < part.Bottom; ++y, row += stride)
            FillPixels(row + part.Left, row + part.Right, solid);
    }
    if (begun)
        EndPixels(dc);
}

void PaintSpans(TDC& dc, const std::vector<TSpan>& spans, const TPaint& paint, int rop2, const TRegion* extraClip)
{
    if (paint.Null || spans.empty() || !dc.Surface || rop2 == R2_NOP)
        return;
    TRegion storage;
    const TRegion& clip = ClipFor(dc, extraClip, storage);
    if (clip.IsEmpty())
        return;
    if (dc.Vector) {
        // No pixels to combine with: raster operations degrade to plain painting.
        BeginCairo(dc);
        cairo_translate(dc.Cr, 0, 0);
        ClipCairo(dc, clip);
        cairo_new_path(dc.Cr);
        // Runs of equal spans on consecutive lines go out as one rectangle:
        // a document page keeps one path per filled rectangle, not one per
        // device line.
        for (std::size_t i = 0; i < spans.size();) {
            std::size_t j = i + 1;
            while (j < spans.size() && spans[j].X0 == spans[i].X0 && spans[j].X1 == spans[i].X1
                && spans[j].Y == spans[j - 1].Y + 1)
                ++j;
            cairo_rectangle(dc.Cr, spans[i].X0, spans[i].Y, spans[i].X1 - spans[i].X0, double(j - i));
            i = j;
        }
        auto* pat = CairoPaint(dc, paint);
        if (rop2 == R2_BLACK)
            cairo_set_source_rgb(dc.Cr, 0, 0, 0);
        else if (rop2 == R2_WHITE)
            cairo_set_source_rgb(dc.Cr, 1, 1, 1);
        else
            cairo_set_source(dc.Cr, pat);
        cairo_fill(dc.Cr);
        cairo_pattern_destroy(pat);
        EndCairo(dc);
        return;
    }
    BeginPixels(dc);
    const auto& rects = clip.Rects();
    const bool simple = !paint.Brush && rop2 == R2_COPYPEN;
    const std::uint32_t solid = ColorToPixel(paint.Color);
    for (const auto& s : spans) {
        std::uint32_t* row = nullptr;
        for (const auto& r : rects) {
            if (s.Y < r.Top || s.Y >= r.Bottom)
                continue;
            const int x0 = std::max(s.X0, r.Left), x1 = std::min(s.X1, r.Right);
            if (x0 >= x1)
                continue;
            if (!row)
                row = PixelRow(dc, s.Y);
            if (simple) {
                FillPixels(row + x0, row + x1, solid);
                continue;
            }
            for (int x = x0; x < x1; ++x) {
                std::uint32_t p;
                if (!PaintPixel(dc, paint, x, s.Y, p))
                    continue;
                row[x] = Rop2Apply(rop2, p, row[x]);
            }
        }
    }
    EndPixels(dc);
}

// Pixels whose index point lies inside the figures (half-open on the right
// and bottom, like rectangles).
std::vector<TSpan> FillSpans(const std::vector<TFigure>& figures, bool winding, const TRect* limit)
{
    struct TEdge {
        double X0, Y0, X1, Y1;
        int Dir;
        double Lo, Hi; // the rows y with Lo <= y < Hi cross it
    };
    std::vector<TEdge> edges;
    double minY = 1e18, maxY = -1e18;
    for (const auto& f : figures) {
        const auto& p = f.Points;
        const std::size_t n = p.size();
        if (n < 3)
            continue;
        for (std::size_t i = 0; i < n; ++i) {
            const auto& a = p[i];
            const auto& b = p[(i + 1) % n];
            if (!std::isfinite(a.X) || !std::isfinite(a.Y) || !std::isfinite(b.X) || !std::isfinite(b.Y))
                return {};
            if (a.Y == b.Y)
                continue;
            edges.push_back({ a.X, a.Y, b.X, b.Y, b.Y > a.Y ? 1 : -1, std::min(double(a.Y), double(b.Y)),
                std::max(double(a.Y), double(b.Y)) });
            minY = std::min({ minY, double(a.Y), double(b.Y) });
            maxY = std::max({ maxY, double(a.Y), double(b.Y) });
        }
    }
    std::vector<TSpan> spans;
    if (edges.empty())
        return spans;
    int y0 = int(std::ceil(std::max(minY, -1e6))), y1 = int(std::ceil(std::min(maxY, 1e6)));
    if (limit) {
        y0 = std::max(y0, limit->Top);
        y1 = std::min(y1, limit->Bottom);
    }
    // Rows are scanned top-down with the edges that cross the current row
    // only, so an outline of many small pieces costs what its rows hold.
    std::sort(edges.begin(), edges.end(), [](const TEdge& a, const TEdge& b) { return a.Lo < b.Lo; });
    std::vector<const TEdge*> active;
    std::size_t next = 0;
    std::vector<std::pair<double, int>> xs;
    for (int y = y0; y < y1; ++y) {
        for (; next < edges.size() && edges[next].Lo <= y; ++next)
            if (edges[next].Hi > y)
                active.push_back(&edges[next]);
        std::erase_if(active, [y](const TEdge* e) { return e->Hi <= y; });
        if (active.empty()) {
            if (next == edges.size())
                break;
            // Nothing until the next edge begins.
            y = std::max(y, int(std::ceil(std::min(edges[next].Lo, double(y1)))) - 1);
            continue;
        }
        xs.clear();
        for (const TEdge* e : active)
            xs.emplace_back(e->X0 + (y - e->Y0) * (e->X1 - e->X0) / (e->Y1 - e->Y0), e->Dir);
        std::sort(xs.begin(), xs.end());
        int count = 0;
        for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
            count += winding ? xs[i].second : 1;
            const bool inside = winding ? count != 0 : (count & 1);
            if (!inside)
                continue;
            int a = int(std::ceil(std::max(xs[i].first, -1e6))), b = int(std::ceil(std::min(xs[i + 1].first, 1e6)));
            if (limit) {
                a = std::max(a, limit->Left);
                b = std::min(b, limit->Right);
            }
            if (b > a) {
                if (!spans.empty() && spans.back().Y == y && spans.back().X1 >= a)
                    spans.back().X1 = std::max(spans.back().X1, b);
                else
                    spans.push_back({ y, a, b });
            }
        }
    }
    return spans;
}

namespace {

int DevicePenWidth(const TDC& dc)
{
    const auto& pen = *dc.State.Pen;
    if (pen.Extended && !pen.Geometric)
        return 1;
    const double w = pen.Width * std::fabs(dc.ScaleX());
    return std::max(1, ToInt(w));
}

std::vector<int> DashPattern(const TPen& pen)
{
    switch (pen.Style & PS_STYLE_MASK) {
    case PS_DASH: return { 18, 6 };
    case PS_DOT: return { 3, 3 };
    case PS_DASHDOT: return { 9, 6, 3, 6 };
    case PS_DASHDOTDOT: return { 9, 3, 3, 3, 3, 3 };
    case PS_ALTERNATE: return { 1, 1 };
    case PS_USERSTYLE: {
        std::vector<int> v;
        for (auto d : pen.UserStyle)
            v.push_back(int(std::clamp<DWORD>(d, 1, 1000)));
        return v;
    }
    default: return {};
    }
}

// One-pixel lines: Bresenham through index points, the end point excluded.
struct TThinStroker {
    std::vector<int> Dashes;
    std::size_t DashIndex { 0 };
    int DashLeft { 0 };
    std::vector<TSpan> On;
    std::vector<TSpan> Off;

    void Plot(int x, int y)
    {
        bool on = true;
        if (!Dashes.empty()) {
            if (DashLeft == 0) {
                DashLeft = Dashes[DashIndex];
            }
            on = (DashIndex % 2) == 0;
            if (--DashLeft == 0)
                DashIndex = (DashIndex + 1) % Dashes.size();
        }
        (on ? On : Off).push_back({ y, x, x + 1 });
    }

    void Line(TPoint a, TPoint b)
    {
        int dx = std::abs(b.X - a.X), dy = -std::abs(b.Y - a.Y);
        if (dx > 1000000 || dy < -1000000)
            return; // lines this long are dropped rather than walked pixel by pixel
        const int sx = a.X < b.X ? 1 : -1, sy = a.Y < b.Y ? 1 : -1;
        int err = dx + dy;
        int x = a.X, y = a.Y;
        while (x != b.X || y != b.Y) {
            Plot(x, y);
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y += sy;
            }
        }
    }
};

// Collects the convex pieces of a wide outline that can colour a pixel of
// `limit`. Every piece turns the same way, so the non-zero rule fills their
// union; a piece that holds the whole of `limit` stands for all of them.
class TOutlinePieces {
public:
    explicit TOutlinePieces(const TRect& limit) : FLimit(limit) { }

    // Whether a piece within these bounds may colour a pixel of the limit.
    bool MayReach(double l, double t, double r, double b) const
    {
        return !FCovered && r >= FLimit.Left - 1 && l <= FLimit.Right + 1 && b >= FLimit.Top - 1 && t <= FLimit.Bottom + 1;
    }

    void Add(TFigure&& f)
    {
        if (FCovered || f.Points.empty())
            return;
        float l = f.Points[0].X, r = l, t = f.Points[0].Y, b = t;
        for (const TPointF& p : f.Points) {
            l = std::min(l, p.X);
            r = std::max(r, p.X);
            t = std::min(t, p.Y);
            b = std::max(b, p.Y);
        }
        // Pixels are filled by their index points, so one pixel of slack.
        if (!MayReach(l, t, r, b))
            return;
        if (l <= FLimit.Left - 1 && r >= FLimit.Right + 1 && t <= FLimit.Top - 1 && b >= FLimit.Bottom + 1
            && HoldsLimit(f)) {
            FCovered = true;
            FPieces.clear();
            TFigure all;
            all.Closed = true;
            const float L = float(FLimit.Left - 1), T = float(FLimit.Top - 1), R = float(FLimit.Right + 1),
                        B = float(FLimit.Bottom + 1);
            all.Points = { { L, T }, { R, T }, { R, B }, { L, B } };
            FPieces.push_back(std::move(all));
            return;
        }
        FPieces.push_back(std::move(f));
    }

    bool Covered() const { return FCovered; }
    std::vector<TFigure> Take() { return std::move(FPieces); }

private:
    // Whether the convex figure holds the limit with a pixel to spare.
    bool HoldsLimit(const TFigure& f) const
    {
        const double corners[4][2] = { { FLimit.Left - 1.0, FLimit.Top - 1.0 }, { FLimit.Right + 1.0, FLimit.Top - 1.0 },
            { FLimit.Right + 1.0, FLimit.Bottom + 1.0 }, { FLimit.Left - 1.0, FLimit.Bottom + 1.0 } };
        const std::size_t n = f.Points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const TPointF& a = f.Points[i];
            const TPointF& b = f.Points[(i + 1) % n];
            for (const auto& c : corners)
                if ((double(b.X) - a.X) * (c[1] - a.Y) - (double(b.Y) - a.Y) * (c[0] - a.X) < 0)
                    return false;
        }
        return true;
    }

    TRect FLimit;
    bool FCovered { false };
    std::vector<TFigure> FPieces;
};

void AddCircle(TOutlinePieces& out, double cx, double cy, double r)
{
    if (!out.MayReach(cx - r, cy - r, cx + r, cy + r))
        return;
    TFigure c;
    c.Closed = true;
    const int n = std::clamp(int(r * 4), 8, 256);
    for (int i = 0; i < n; ++i) {
        const double a = 2 * Pi * i / n;
        c.Points.push_back({ float(cx + r * std::cos(a)), float(cy + r * std::sin(a)) });
    }
    out.Add(std::move(c));
}

// Outline of a wide pen as polygons filled with the non-zero rule, only the
// pieces that reach `limit`: what lies outside costs nothing to fill.
std::vector<TFigure> WideOutline(const std::vector<TFigure>& figures, double width, DWORD style, const TRect& limit)
{
    TOutlinePieces out(limit);
    const double h = width / 2;
    const DWORD cap = style & PS_ENDCAP_MASK, join = style & PS_JOIN_MASK;
    for (const auto& f : figures) {
        if (out.Covered())
            break;
        const auto& p = f.Points;
        const std::size_t n = p.size();
        if (n == 0)
            continue;
        const std::size_t segs = f.Closed ? n : n - 1;
        for (std::size_t i = 0; i < segs && !out.Covered(); ++i) {
            TPointF a = p[i], b = p[(i + 1) % n];
            const double dx = b.X - a.X, dy = b.Y - a.Y, len = std::hypot(dx, dy);
            if (len == 0)
                continue;
            const double ux = dx / len, uy = dy / len;
            if (!f.Closed && cap == PS_ENDCAP_SQUARE) {
                if (i == 0) { a.X -= float(ux * h); a.Y -= float(uy * h); }
                if (i + 1 == segs) { b.X += float(ux * h); b.Y += float(uy * h); }
            }
            const float nx = float(-uy * h), ny = float(ux * h);
            TFigure q;
            q.Closed = true;
            q.Points = { { a.X + nx, a.Y + ny }, { b.X + nx, b.Y + ny }, { b.X - nx, b.Y - ny }, { a.X - nx, a.Y - ny } };
            // Keep every polygon turning the same way so the union fills.
            double area = 0;
            for (std::size_t k = 0; k < 4; ++k)
                area += q.Points[k].X * q.Points[(k + 1) % 4].Y - q.Points[(k + 1) % 4].X * q.Points[k].Y;
            if (area < 0)
                std::reverse(q.Points.begin(), q.Points.end());
            out.Add(std::move(q));
        }
        for (std::size_t i = 0; i < n && !out.Covered(); ++i) {
            const bool end = !f.Closed && (i == 0 || i + 1 == n);
            if (end) {
                if (cap == PS_ENDCAP_ROUND)
                    AddCircle(out, p[i].X, p[i].Y, h);
                continue;
            }
            const TPointF& prev = p[(i + n - 1) % n];
            const TPointF& cur = p[i];
            const TPointF& next = p[(i + 1) % n];
            if (!out.MayReach(cur.X - h, cur.Y - h, cur.X + h, cur.Y + h))
                continue; // a join lies within half the width of its point
            auto normal = [&](const TPointF& a, const TPointF& b) {
                const double dx = b.X - a.X, dy = b.Y - a.Y, len = std::max(1e-9, std::hypot(dx, dy));
                return TPointF(float(-dy / len * h), float(dx / len * h));
            };
            const TPointF n1 = normal(prev, cur), n2 = normal(cur, next);
            if ((n1.X == 0 && n1.Y == 0) || (n2.X == 0 && n2.Y == 0)) {
                // A repeated point: no direction to turn from.
                if (join == PS_JOIN_ROUND)
                    AddCircle(out, cur.X, cur.Y, h);
                continue;
            }
            // Where the path barely turns (a flattened curve), the two
            // segments' own outlines already meet.
            const double turn = std::atan2(double(n1.X) * n2.Y - double(n1.Y) * n2.X, double(n1.X) * n2.X + double(n1.Y) * n2.Y);
            if (std::fabs(turn) * h < 0.1)
                continue;
            if (join == PS_JOIN_ROUND) {
                // Round: the arcs between the segment ends on both sides,
                // with points for the angle turned only.
                const int steps = std::max(1, int(std::ceil(std::fabs(turn) / (2 * Pi) * std::clamp(int(h * 4), 8, 256))));
                for (int sgn : { 1, -1 }) {
                    TFigure w;
                    w.Closed = true;
                    w.Points.push_back(cur);
                    for (int k = 0; k <= steps; ++k) {
                        const double a = turn * k / steps, c = std::cos(a), s = std::sin(a);
                        w.Points.push_back({ float(cur.X + sgn * (n1.X * c - n1.Y * s)), float(cur.Y + sgn * (n1.X * s + n1.Y * c)) });
                    }
                    double area = 0;
                    for (std::size_t k = 0; k < w.Points.size(); ++k) {
                        const auto& a = w.Points[k];
                        const auto& b = w.Points[(k + 1) % w.Points.size()];
                        area += a.X * b.Y - b.X * a.Y;
                    }
                    if (area < 0)
                        std::reverse(w.Points.begin(), w.Points.end());
                    out.Add(std::move(w));
                }
            } else if (n > 2) {
                // Bevel (and miter, drawn as a bevel): the triangle between the two segment ends.
                for (int sgn : { 1, -1 }) {
                    TFigure t;
                    t.Closed = true;
                    t.Points = { cur, { cur.X + sgn * n1.X, cur.Y + sgn * n1.Y }, { cur.X + sgn * n2.X, cur.Y + sgn * n2.Y } };
                    double area = 0;
                    for (std::size_t k = 0; k < 3; ++k)
                        area += t.Points[k].X * t.Points[(k + 1) % 3].Y - t.Points[(k + 1) % 3].X * t.Points[k].Y;
                    if (area < 0)
                        std::reverse(t.Points.begin(), t.Points.end());
                    out.Add(std::move(t));
                }
            }
        }
    }
    return out.Take();
}

void CairoPath(cairo_t* cr, const std::vector<TFigure>& figures, bool closeAll)
{
    cairo_new_path(cr);
    for (const auto& f : figures) {
        if (f.Points.empty())
            continue;
        cairo_move_to(cr, f.Points[0].X + 0.5, f.Points[0].Y + 0.5);
        for (std::size_t i = 1; i < f.Points.size(); ++i)
            cairo_line_to(cr, f.Points[i].X + 0.5, f.Points[i].Y + 0.5);
        if (f.Closed || closeAll)
            cairo_close_path(cr);
    }
}

} // namespace

void StrokeFigures(TDC& dc, const std::vector<TFigure>& figures)
{
    const auto& pen = *dc.State.Pen;
    const TPaint paint = PenPaint(dc);
    if (paint.Null || !dc.Surface)
        return;
    const int width = DevicePenWidth(dc);
    if (dc.Vector) {
        BeginCairo(dc);
        CairoPath(dc.Cr, figures, false);
        SetSourceColor(dc.Cr, paint.Color);
        cairo_set_line_width(dc.Cr, width);
        const DWORD cap = pen.Style & PS_ENDCAP_MASK, join = pen.Style & PS_JOIN_MASK;
        cairo_set_line_cap(dc.Cr, cap == PS_ENDCAP_FLAT ? CAIRO_LINE_CAP_BUTT : cap == PS_ENDCAP_SQUARE ? CAIRO_LINE_CAP_SQUARE : CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(dc.Cr, join == PS_JOIN_BEVEL ? CAIRO_LINE_JOIN_BEVEL : join == PS_JOIN_MITER ? CAIRO_LINE_JOIN_MITER : CAIRO_LINE_JOIN_ROUND);
        const auto dashes = DashPattern(pen);
        std::vector<double> d(dashes.begin(), dashes.end());
        cairo_set_dash(dc.Cr, d.data(), int(d.size()), 0);
        cairo_stroke(dc.Cr);
        EndCairo(dc);
        return;
    }
    if (width > 1) {
        const TRect limit = dc.Bounds.Bounds();
        PaintSpans(dc, FillSpans(WideOutline(figures, width, pen.Style, limit), true, &limit), paint, dc.State.Rop2);
        return;
    }
    TThinStroker s;
    s.Dashes = DashPattern(pen);
    for (const auto& f : figures) {
        if (f.Points.empty())
            continue;
        std::vector<TPoint> pts;
        for (const auto& p : f.Points)
            pts.push_back({ ToInt(p.X), ToInt(p.Y) });
        for (std::size_t i = 0; i + 1 < pts.size(); ++i)
            s.Line(pts[i], pts[i + 1]);
        if (f.Closed && pts.size() > 1)
            s.Line(pts.back(), pts.front());
    }
    if (dc.State.Rop2 == R2_XORPEN || dc.State.Rop2 == R2_NOT || dc.State.Rop2 == R2_NOTXORPEN) {
        // Inverting pens must touch each pixel once, or crossings cancel out.
        auto dedupe = [](std::vector<TSpan>& v) {
            std::sort(v.begin(), v.end(), [](const TSpan& a, const TSpan& b) { return a.Y != b.Y ? a.Y < b.Y : a.X0 < b.X0; });
            v.erase(std::unique(v.begin(), v.end(), [](const TSpan& a, const TSpan& b) { return a.Y == b.Y && a.X0 == b.X0; }), v.end());
        };
        dedupe(s.On);
        dedupe(s.Off);
    }
    PaintSpans(dc, s.On, paint, dc.State.Rop2);
    if (!s.Off.empty() && dc.State.BkMode == OPAQUE && (pen.Style & PS_STYLE_MASK) != PS_ALTERNATE) {
        TPaint bk;
        bk.Color = dc.State.BkColor;
        PaintSpans(dc, s.Off, bk, dc.State.Rop2);
    }
}

void FillFigures(TDC& dc, const std::vector<TFigure>& figures, const TBrush* brush, bool winding)
{
    const TPaint paint = BrushPaint(dc, brush);
    if (paint.Null || !dc.Surface)
        return;
    if (dc.Vector) {
        BeginCairo(dc);
        CairoPath(dc.Cr, figures, true);
        cairo_set_fill_rule(dc.Cr, winding ? CAIRO_FILL_RULE_WINDING : CAIRO_FILL_RULE_EVEN_ODD);
        auto* pat = CairoPaint(dc, paint);
        cairo_set_source(dc.Cr, pat);
        cairo_fill(dc.Cr);
        cairo_pattern_destroy(pat);
        EndCairo(dc);
        return;
    }
    const TRect limit = dc.Bounds.Bounds();
    PaintSpans(dc, FillSpans(figures, winding, &limit), paint, dc.State.Rop2);
}

std::vector<TPointF> EllipsePoints(double l, double t, double r, double b)
{
    const double cx = (l + r) / 2, cy = (t + b) / 2, rx = std::fabs(r - l) / 2, ry = std::fabs(b - t) / 2;
    const int n = std::clamp(int((rx + ry) * 2), 8, 2048);
    std::vector<TPointF> pts;
    pts.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i) {
        const double a = 2 * Pi * i / n;
        pts.push_back({ float(cx + rx * std::cos(a)), float(cy + ry * std::sin(a)) });
    }
    return pts;
}

std::vector<TPointF> RoundRectPoints(double l, double t, double r, double b, double w, double h)
{
    const double rx = std::min(std::fabs(w) / 2, (r - l) / 2), ry = std::min(std::fabs(h) / 2, (b - t) / 2);
    if (rx <= 0 || ry <= 0)
        return { { float(l), float(t) }, { float(r), float(t) }, { float(r), float(b) }, { float(l), float(b) } };
    std::vector<TPointF> pts;
    const int n = std::clamp(int((rx + ry) / 2), 2, 256);
    auto corner = [&](double cx, double cy, double a0) {
        for (int i = 0; i <= n; ++i) {
            const double a = a0 + (Pi / 2) * i / n;
            pts.push_back({ float(cx + rx * std::cos(a)), float(cy + ry * std::sin(a)) });
        }
    };
    corner(r - rx, b - ry, 0);
    corner(l + rx, b - ry, Pi / 2);
    corner(l + rx, t + ry, Pi);
    corner(r - rx, t + ry, 3 * Pi / 2);
    return pts;
}

} // namespace gdi

using namespace gdi;

namespace {

// The device-space figure of a logical polygon.
TFigure DeviceFigure(const TDC& dc, const POINT* pts, int n, bool closed)
{
    TFigure f;
    f.Closed = closed;
    f.Points.reserve(std::size_t(std::max(n, 0)));
    for (int i = 0; i < n; ++i) {
        const TPoint d = dc.ToDeviceI(pts[i].X, pts[i].Y);
        f.Points.push_back({ float(d.X), float(d.Y) });
    }
    return f;
}

TRect DeviceRectOf(const TDC& dc, int l, int t, int r, int b)
{
    const TPoint a = dc.ToDeviceI(l, t), c = dc.ToDeviceI(r, b);
    return { std::min(a.X, c.X), std::min(a.Y, c.Y), std::max(a.X, c.X), std::max(a.Y, c.Y) };
}

// Shapes go into the path while one is open, and are painted otherwise.
void DrawShape(TDC& dc, const std::vector<TFigure>& fill, const std::vector<TFigure>& stroke)
{
    if (dc.InPath) {
        for (const auto& f : stroke)
            dc.Path.push_back(f);
        return;
    }
    if (!fill.empty())
        FillFigures(dc, fill, dc.State.Brush.get(), dc.State.PolyFillMode == WINDING);
    StrokeFigures(dc, stroke);
}

bool PenIsNull(const TDC& dc)
{
    return (dc.State.Pen->Style & PS_STYLE_MASK) == PS_NULL;
}

// The figure of an ellipse through the index points of its bounding box.
TFigure EllipseFigure(const TRect& r)
{
    TFigure f;
    f.Closed = true;
    f.Points = EllipsePoints(r.Left, r.Top, r.Right - 1, r.Bottom - 1);
    return f;
}

std::vector<TPointF> ArcPoints(const TRect& box, TPoint start, TPoint end, double& a0, double& a1)
{
    const double cx = (box.Left + box.Right - 1) / 2.0, cy = (box.Top + box.Bottom - 1) / 2.0;
    const double rx = (box.Width() - 1) / 2.0, ry = (box.Height() - 1) / 2.0;
    a0 = std::atan2(-(start.Y - cy), start.X - cx);
    a1 = std::atan2(-(end.Y - cy), end.X - cx);
    if (a1 <= a0)
        a1 += 2 * Pi;
    const int n = std::clamp(int((rx + ry) * (a1 - a0) / 2), 2, 2048);
    std::vector<TPointF> pts;
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + (a1 - a0) * i / n;
        pts.push_back({ float(cx + rx * std::cos(a)), float(cy - ry * std::sin(a)) });
    }
    return pts;
}

enum class TArcKind { Arc, Pie, Chord };

BOOL ArcShape(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye, TArcKind kind, bool moveTo)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    const TRect box = DeviceRectOf(*dc, l, t, r, b);
    if (box.Width() < 1 || box.Height() < 1)
        return FALSE;
    double a0, a1;
    TPoint s = dc->ToDeviceI(xs, ys), e = dc->ToDeviceI(xe, ye);
    if (dc->ScaleY() < 0)
        std::swap(s, e); // a flipped y axis turns counter-clockwise into clockwise
    auto pts = ArcPoints(box, s, e, a0, a1);
    TFigure f;
    f.Points = pts;
    if (moveTo) {
        TFigure line;
        const TPoint cp = dc->ToDeviceI(dc->State.CurPos.X, dc->State.CurPos.Y);
        line.Points = { { float(cp.X), float(cp.Y) }, pts.front() };
        DrawShape(*dc, {}, { line });
        dc->State.CurPos = dc->ToLogical(ToInt(pts.back().X), ToInt(pts.back().Y));
    }
    if (kind == TArcKind::Arc) {
        DrawShape(*dc, {}, { f });
        return TRUE;
    }
    if (kind == TArcKind::Pie) {
        const double cx = (box.Left + box.Right - 1) / 2.0, cy = (box.Top + box.Bottom - 1) / 2.0;
        f.Points.insert(f.Points.begin(), { float(cx), float(cy) });
    }
    f.Closed = true;
    DrawShape(*dc, { f }, { f });
    return TRUE;
}

} // namespace

BOOL LineTo(HDC h, int x, int y)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    const POINT pts[2] = { dc->State.CurPos, { x, y } };
    auto f = DeviceFigure(*dc, pts, 2, false);
    dc->State.CurPos = { x, y };
    if (dc->InPath) {
        if (!dc->Path.empty() && !dc->Path.back().Closed)
            dc->Path.back().Points.push_back(f.Points[1]);
        else
            dc->Path.push_back(f);
        return TRUE;
    }
    StrokeFigures(*dc, { f });
    return TRUE;
}

BOOL Rectangle(HDC h, int l, int t, int r, int b)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    TRect d = DeviceRectOf(*dc, l, t, r, b);
    if (dc->InPath) {
        TFigure f;
        f.Closed = true;
        f.Points = { { float(d.Left), float(d.Top) }, { float(d.Right - 1), float(d.Top) }, { float(d.Right - 1), float(d.Bottom - 1) }, { float(d.Left), float(d.Bottom - 1) } };
        dc->Path.push_back(f);
        return TRUE;
    }
    const auto& pen = *dc->State.Pen;
    const int style = int(pen.Style & PS_STYLE_MASK);
    if (PenIsNull(*dc)) {
        // Without a pen the filled area is one pixel smaller each way.
        PaintRect(*dc, TRect { d.Left, d.Top, d.Right - 1, d.Bottom - 1 }, BrushPaint(*dc, dc->State.Brush.get()), dc->State.Rop2);
        return TRUE;
    }
    const int w = DevicePenWidth(*dc);
    TRect outer, inner;
    if (style == PS_INSIDEFRAME && w > 1) {
        outer = d;
        inner = { d.Left + w, d.Top + w, d.Right - w, d.Bottom - w };
    } else {
        outer = { d.Left - w / 2, d.Top - w / 2, d.Right - 1 + (w - w / 2), d.Bottom - 1 + (w - w / 2) };
        inner = { outer.Left + w, outer.Top + w, outer.Right - w, outer.Bottom - w };
    }
    PaintRect(*dc, inner, BrushPaint(*dc, dc->State.Brush.get()), dc->State.Rop2);
    if (w == 1 && style != PS_SOLID && style != PS_INSIDEFRAME) {
        TFigure f;
        f.Closed = true;
        f.Points = { { float(d.Left), float(d.Top) }, { float(d.Right - 1), float(d.Top) }, { float(d.Right - 1), float(d.Bottom - 1) }, { float(d.Left), float(d.Bottom - 1) } };
        StrokeFigures(*dc, { f });
        return TRUE;
    }
    const TRegion frame = TRegion(outer).Subtract(TRegion(inner));
    std::vector<TSpan> spans;
    for (const auto& r2 : frame.Rects())
        for (int y = r2.Top; y < r2.Bottom; ++y)
            spans.push_back({ y, r2.Left, r2.Right });
    PaintSpans(*dc, spans, PenPaint(*dc), dc->State.Rop2);
    return TRUE;
}

int FillRect(HDC h, const RECT* r, HBRUSH brush)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return 0;
    std::shared_ptr<TBrush> b = LookupAs<TBrush>(brush, TKind::Brush);
    TBrush sys;
    if (!b) {
        // A system colour index plus one stands for that colour's brush.
        const auto index = std::intptr_t(brush) - 1;
        if (index < 0 || index > 30)
            return 0;
        sys.SysColorIndex = int(index);
    }
    PaintRect(*dc, DeviceRectOf(*dc, r->Left, r->Top, r->Right, r->Bottom), BrushPaint(*dc, b ? b.get() : &sys), R2_COPYPEN);
    return 1;
}

int FrameRect(HDC h, const RECT* r, HBRUSH brush)
{
    auto dc = DCOf(h);
    auto b = LookupAs<TBrush>(brush, TKind::Brush);
    if (!dc || !r || !b)
        return 0;
    const TRect d = DeviceRectOf(*dc, r->Left, r->Top, r->Right, r->Bottom);
    if (d.IsEmpty())
        return 0;
    const TRegion frame = TRegion(d).Subtract(TRegion(TRect(d.Left + 1, d.Top + 1, d.Right - 1, d.Bottom - 1)));
    std::vector<TSpan> spans;
    for (const auto& fr : frame.Rects())
        for (int y = fr.Top; y < fr.Bottom; ++y)
            spans.push_back({ y, fr.Left, fr.Right });
    PaintSpans(*dc, spans, BrushPaint(*dc, b.get()), R2_COPYPEN);
    return 1;
}

BOOL InvertRect(HDC h, const RECT* r)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return FALSE;
    PaintRect(*dc, DeviceRectOf(*dc, r->Left, r->Top, r->Right, r->Bottom), TPaint {}, R2_NOT);
    return TRUE;
}

BOOL RoundRect(HDC h, int l, int t, int r, int b, int w, int hh)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    const TRect d = DeviceRectOf(*dc, l, t, r, b);
    if (d.IsEmpty())
        return FALSE;
    TFigure f;
    f.Closed = true;
    f.Points = RoundRectPoints(d.Left, d.Top, d.Right - 1, d.Bottom - 1, std::fabs(w * dc->ScaleX()), std::fabs(hh * dc->ScaleY()));
    DrawShape(*dc, { f }, { f });
    return TRUE;
}

BOOL Ellipse(HDC h, int l, int t, int r, int b)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    const TRect d = DeviceRectOf(*dc, l, t, r, b);
    if (d.IsEmpty())
        return FALSE;
    const TFigure f = EllipseFigure(d);
    DrawShape(*dc, { f }, { f });
    return TRUE;
}

BOOL Polygon(HDC h, const POINT* points, int count)
{
    auto dc = DCOf(h);
    if (!dc || !points || count < 2)
        return FALSE;
    const TFigure f = DeviceFigure(*dc, points, count, true);
    DrawShape(*dc, { f }, { f });
    return TRUE;
}

BOOL PolyPolygon(HDC h, const POINT* points, const int* counts, int polygons)
{
    auto dc = DCOf(h);
    if (!dc || !points || !counts || polygons <= 0)
        return FALSE;
    std::vector<TFigure> figs;
    const POINT* p = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 2)
            return FALSE;
        figs.push_back(DeviceFigure(*dc, p, counts[i], true));
        p += counts[i];
    }
    DrawShape(*dc, figs, figs);
    return TRUE;
}

BOOL Polyline(HDC h, const POINT* points, int count)
{
    auto dc = DCOf(h);
    if (!dc || !points || count < 2)
        return FALSE;
    DrawShape(*dc, {}, { DeviceFigure(*dc, points, count, false) });
    return TRUE;
}

BOOL PolylineTo(HDC h, const POINT* points, DWORD count)
{
    auto dc = DCOf(h);
    if (!dc || !points || count == 0 || count > 1000000)
        return FALSE;
    std::vector<POINT> pts { dc->State.CurPos };
    pts.insert(pts.end(), points, points + count);
    auto f = DeviceFigure(*dc, pts.data(), int(pts.size()), false);
    dc->State.CurPos = points[count - 1];
    if (dc->InPath && !dc->Path.empty() && !dc->Path.back().Closed) {
        dc->Path.back().Points.insert(dc->Path.back().Points.end(), f.Points.begin() + 1, f.Points.end());
        return TRUE;
    }
    DrawShape(*dc, {}, { f });
    return TRUE;
}

namespace {

std::vector<POINT> FlattenBeziers(const POINT* pts, DWORD count)
{
    std::vector<POINT> out { pts[0] };
    for (DWORD i = 1; i + 2 < count + 0 && i + 2 <= count - 1 + 0; i += 3) {
        const POINT &p0 = pts[i - 1], &p1 = pts[i], &p2 = pts[i + 1], &p3 = pts[i + 2];
        const int n = 16;
        for (int k = 1; k <= n; ++k) {
            const double t = double(k) / n, u = 1 - t;
            const double x = u * u * u * p0.X + 3 * u * u * t * p1.X + 3 * u * t * t * p2.X + t * t * t * p3.X;
            const double y = u * u * u * p0.Y + 3 * u * u * t * p1.Y + 3 * u * t * t * p2.Y + t * t * t * p3.Y;
            out.push_back({ ToInt(x), ToInt(y) });
        }
    }
    return out;
}

} // namespace

BOOL PolyBezier(HDC h, const POINT* points, DWORD count)
{
    if (!points || count < 4 || (count - 1) % 3 != 0)
        return FALSE;
    const auto flat = FlattenBeziers(points, count);
    return Polyline(h, flat.data(), int(flat.size()));
}

BOOL PolyBezierTo(HDC h, const POINT* points, DWORD count)
{
    auto dc = DCOf(h);
    if (!dc || !points || count < 3 || count % 3 != 0)
        return FALSE;
    std::vector<POINT> pts { dc->State.CurPos };
    pts.insert(pts.end(), points, points + count);
    const auto flat = FlattenBeziers(pts.data(), DWORD(pts.size()));
    return PolylineTo(h, flat.data() + 1, DWORD(flat.size() - 1));
}

BOOL Arc(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(h, l, t, r, b, xs, ys, xe, ye, TArcKind::Arc, false);
}

BOOL ArcTo(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(h, l, t, r, b, xs, ys, xe, ye, TArcKind::Arc, true);
}

BOOL Pie(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(h, l, t, r, b, xs, ys, xe, ye, TArcKind::Pie, false);
}

BOOL Chord(HDC h, int l, int t, int r, int b, int xs, int ys, int xe, int ye)
{
    return ArcShape(h, l, t, r, b, xs, ys, xe, ye, TArcKind::Chord, false);
}

COLORREF GetPixel(HDC h, int x, int y)
{
    auto dc = DCOf(h);
    if (!dc || dc->Vector || !dc->Surface)
        return CLR_INVALID;
    const TPoint p = dc->ToDeviceI(x, y);
    if (!dc->EffectiveClip().Contains(p))
        return CLR_INVALID;
    BeginPixels(*dc);
    return PixelToColor(PixelRow(*dc, p.Y)[p.X]);
}

COLORREF SetPixel(HDC h, int x, int y, COLORREF color)
{
    auto dc = DCOf(h);
    if (!dc)
        return CLR_INVALID;
    const TPoint p = dc->ToDeviceI(x, y);
    TPaint paint;
    paint.Color = color & 0xFFFFFF;
    PaintSpans(*dc, { { p.Y, p.X, p.X + 1 } }, paint, R2_COPYPEN);
    return paint.Color;
}

BOOL ExtFloodFill(HDC h, int x, int y, COLORREF color, UINT type)
{
    auto dc = DCOf(h);
    if (!dc || dc->Vector || !dc->Surface)
        return FALSE;
    const TPoint start = dc->ToDeviceI(x, y);
    const TRegion clip = dc->EffectiveClip();
    if (!clip.Contains(start))
        return FALSE;
    const TRect box = clip.Bounds();
    BeginPixels(*dc);
    const std::uint32_t key = ColorToPixel(color) & 0xFFFFFF;
    auto fillable = [&](int px, int py) {
        const std::uint32_t c = PixelRow(*dc, py)[px] & 0xFFFFFF;
        return type == FLOODFILLSURFACE ? c == key : c != key;
    };
    if (!fillable(start.X, start.Y))
        return FALSE;
    std::vector<std::uint8_t> seen(std::size_t(box.Width()) * box.Height(), 0);
    std::vector<TSpan> spans;
    std::vector<TPoint> stack { start };
    while (!stack.empty()) {
        const TPoint p = stack.back();
        stack.pop_back();
        auto idx = [&](int px, int py) { return std::size_t(py - box.Top) * box.Width() + std::size_t(px - box.Left); };
        if (seen[idx(p.X, p.Y)] || !fillable(p.X, p.Y))
            continue;
        int x0 = p.X, x1 = p.X + 1;
        while (x0 - 1 >= box.Left && clip.Contains(x0 - 1, p.Y) && !seen[idx(x0 - 1, p.Y)] && fillable(x0 - 1, p.Y))
            --x0;
        while (x1 < box.Right && clip.Contains(x1, p.Y) && !seen[idx(x1, p.Y)] && fillable(x1, p.Y))
            ++x1;
        for (int i = x0; i < x1; ++i)
            seen[idx(i, p.Y)] = 1;
        spans.push_back({ p.Y, x0, x1 });
        for (int ny : { p.Y - 1, p.Y + 1 })
            if (ny >= box.Top && ny < box.Bottom)
                for (int i = x0; i < x1; ++i)
                    if (!seen[idx(i, ny)] && clip.Contains(i, ny))
                        stack.push_back({ i, ny });
    }
    PaintSpans(*dc, spans, BrushPaint(*dc, dc->State.Brush.get()), dc->State.Rop2);
    return TRUE;
}

BOOL FloodFill(HDC h, int x, int y, COLORREF color)
{
    return ExtFloodFill(h, x, y, color, FLOODFILLBORDER);
}

BOOL BeginPath(HDC h)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    dc->InPath = true;
    dc->PathDone = false;
    dc->Path.clear();
    return TRUE;
}

BOOL EndPath(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->InPath)
        return FALSE;
    dc->InPath = false;
    dc->PathDone = true;
    return TRUE;
}

BOOL AbortPath(HDC h)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    dc->InPath = false;
    dc->PathDone = false;
    dc->Path.clear();
    return TRUE;
}

BOOL CloseFigure(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->InPath || dc->Path.empty())
        return FALSE;
    dc->Path.back().Closed = true;
    return TRUE;
}

namespace {

BOOL UsePath(HDC h, bool fill, bool stroke)
{
    auto dc = DCOf(h);
    if (!dc || !dc->PathDone)
        return FALSE;
    auto figs = std::move(dc->Path);
    dc->Path.clear();
    dc->PathDone = false;
    if (fill)
        FillFigures(*dc, figs, dc->State.Brush.get(), dc->State.PolyFillMode == WINDING);
    if (stroke)
        StrokeFigures(*dc, figs);
    return TRUE;
}

} // namespace

BOOL StrokePath(HDC h) { return UsePath(h, false, true); }
BOOL FillPath(HDC h) { return UsePath(h, true, false); }
BOOL StrokeAndFillPath(HDC h) { return UsePath(h, true, true); }

HRGN PathToRegion(HDC h)
{
    auto dc = DCOf(h);
    if (!dc || !dc->PathDone)
        return nullptr;
    const TRegion r = SpansToRegion(FillSpans(dc->Path, dc->State.PolyFillMode == WINDING));
    dc->Path.clear();
    dc->PathDone = false;
    return CreateRgnFromRegion(r);
}

BOOL SelectClipPath(HDC h, int mode)
{
    HRGN rgn = PathToRegion(h);
    if (!rgn)
        return FALSE;
    const int result = ExtSelectClipRgn(h, rgn, mode);
    DeleteObject(rgn);
    return result != ERROR;
}

BOOL GradientFill(HDC h, const TRIVERTEX* v, ULONG nv, const void* mesh, ULONG nMesh, ULONG mode)
{
    auto dc = DCOf(h);
    if (!dc || !v || !mesh || (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V))
        return FALSE;
    const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
    for (ULONG i = 0; i < nMesh; ++i) {
        if (rects[i].UpperLeft >= nv || rects[i].LowerRight >= nv)
            return FALSE;
        const TRIVERTEX& a = v[rects[i].UpperLeft];
        const TRIVERTEX& b = v[rects[i].LowerRight];
        const TRect d = DeviceRectOf(*dc, a.x, a.y, b.x, b.y);
        const bool horz = mode == GRADIENT_FILL_RECT_H;
        // Colours run from the upper-left vertex to the lower-right one, even
        // when the vertices are given the other way round.
        const bool swapped = horz ? a.x > b.x : a.y > b.y;
        const TRIVERTEX& c0 = swapped ? b : a;
        const TRIVERTEX& c1 = swapped ? a : b;
        const int n = horz ? d.Width() : d.Height();
        for (int k = 0; k < n; ++k) {
            auto mix = [&](USHORT p, USHORT q) { return BYTE(((p + (int(q) - int(p)) * (n > 1 ? double(k) / (n - 1) : 0.0))) / 256.0); };
            TPaint paint;
            paint.Color = RGB(mix(c0.Red, c1.Red), mix(c0.Green, c1.Green), mix(c0.Blue, c1.Blue));
            const TRect line = horz ? TRect(d.Left + k, d.Top, d.Left + k + 1, d.Bottom) : TRect(d.Left, d.Top + k, d.Right, d.Top + k + 1);
            PaintRect(*dc, line, paint, R2_COPYPEN);
        }
    }
    return TRUE;
}

// Blits.
namespace {

// The part of a source rectangle that has pixels, copied (so overlapping
// blits work); coordinates are relative to the source rectangle.
struct TSourcePixels {
    std::vector<std::uint32_t> Pixels;
    int Width { 0 };
    int Height { 0 };
    TPoint Origin; // of the copied part within the source rectangle
    bool Valid(int x, int y) const { return x >= Origin.X && y >= Origin.Y && x < Origin.X + Width && y < Origin.Y + Height; }
    std::uint32_t At(int x, int y) const { return Pixels[std::size_t(y - Origin.Y) * std::size_t(Width) + std::size_t(x - Origin.X)]; }
};

TSourcePixels GrabSource(TDC& src, const TRect& r)
{
    TSourcePixels s;
    const TRect avail = src.Bounds.Bounds();
    TRect c;
    if (src.Vector || !IntersectRect(c, r, avail))
        return s;
    BeginPixels(src);
    s.Width = c.Width();
    s.Height = c.Height();
    s.Origin = { c.Left - r.Left, c.Top - r.Top };
    s.Pixels.resize(std::size_t(s.Width) * std::size_t(s.Height));
    for (int y = c.Top; y < c.Bottom; ++y) {
        const std::uint32_t* row = PixelRow(src, y);
        std::copy(row + c.Left, row + c.Right, s.Pixels.begin() + long(std::size_t(y - c.Top) * std::size_t(s.Width)));
    }
    return s;
}

enum class TBlend { Rop, Transparent, Alpha };

struct TBltArgs {
    DWORD Rop { SRCCOPY };
    TBlend Blend { TBlend::Rop };
    std::uint32_t Key { 0 };
    BLENDFUNCTION Fn;
};

BOOL Blt(HDC hdst, int x, int y, int w, int hgt, HDC hsrc, int xs, int ys, int ws, int hs, const TBltArgs& a)
{
    auto dc = DCOf(hdst);
    if (!dc || !dc->Surface)
        return FALSE;
    const bool needSrc = a.Blend != TBlend::Rop || RopUsesSource(a.Rop);
    auto src = needSrc ? DCOf(hsrc) : nullptr;
    if (needSrc && !src)
        return FALSE;
    // Destination and source rectangles in device units; negative extents mirror.
    const TPoint d0 = dc->ToDeviceI(x, y), d1 = dc->ToDeviceI(x + w, y + hgt);
    TPoint s0, s1;
    if (src) {
        s0 = src->ToDeviceI(xs, ys);
        s1 = src->ToDeviceI(xs + ws, ys + hs);
    }
    // A negative extent runs back from the start point, which stays inside.
    auto span = [](int a, int b) { return b < a ? std::pair { b + 1, a + 1 } : std::pair { a, b }; };
    const auto [dl, drr] = span(d0.X, d1.X);
    const auto [dt, db] = span(d0.Y, d1.Y);
    const TRect dr { dl, dt, drr, db };
    if (dr.IsEmpty())
        return TRUE;
    const bool mirrorX = (d1.X < d0.X) != (s1.X < s0.X), mirrorY = (d1.Y < d0.Y) != (s1.Y < s0.Y);
    const auto [sl, srr] = span(s0.X, s1.X);
    const auto [st, sb] = span(s0.Y, s1.Y);
    const TRect sr { sl, st, srr, sb };
    if (src && sr.IsEmpty())
        return FALSE;
    TPaint pat = BrushPaint(*dc, dc->State.Brush.get());

    if (dc->Vector) {
        BeginCairo(*dc);
        cairo_rectangle(dc->Cr, dr.Left, dr.Top, dr.Width(), dr.Height());
        if (src && !src->Vector) {
            cairo_clip(dc->Cr);
            cairo_save(dc->Cr);
            cairo_translate(dc->Cr, mirrorX ? dr.Right : dr.Left, mirrorY ? dr.Bottom : dr.Top);
            cairo_scale(dc->Cr, (mirrorX ? -1.0 : 1.0) * dr.Width() / sr.Width(), (mirrorY ? -1.0 : 1.0) * dr.Height() / sr.Height());
            BeginPixels(*src);
            cairo_set_source_surface(dc->Cr, src->Surface, -sr.Left - src->SurfaceOffset.X, -sr.Top - src->SurfaceOffset.Y);
            if (a.Blend == TBlend::Alpha)
                cairo_paint_with_alpha(dc->Cr, a.Fn.SourceConstantAlpha / 255.0);
            else
                cairo_paint(dc->Cr);
            cairo_restore(dc->Cr);
        } else if (a.Rop == BLACKNESS || a.Rop == WHITENESS) {
            const double v = a.Rop == WHITENESS ? 1 : 0;
            cairo_set_source_rgb(dc->Cr, v, v, v);
            cairo_fill(dc->Cr);
        } else if (RopUsesPattern(a.Rop) && !pat.Null) {
            auto c = pat.Color;
            cairo_set_source_rgb(dc->Cr, GetRValue(c) / 255.0, GetGValue(c) / 255.0, GetBValue(c) / 255.0);
            cairo_fill(dc->Cr);
        }
        cairo_new_path(dc->Cr);
        EndCairo(*dc);
        return TRUE;
    }

    TSourcePixels sp;
    if (src) {
        sp = GrabSource(*src, sr);
        if (sp.Pixels.empty())
            return FALSE;
        // A monochrome source takes the destination's colours: set bits the
        // background colour, clear bits the text colour.
        if (src->Memory && src->State.Bitmap && src->State.Bitmap->BitsPixel == 1) {
            const std::uint32_t one = ColorToPixel(dc->State.BkColor), zero = ColorToPixel(dc->State.TextColor);
            for (auto& p : sp.Pixels)
                p = (p & 0xFFFFFF) ? one : zero;
        }
    }
    const TRegion clip = dc->EffectiveClip().Intersect(TRegion(dr));
    if (clip.IsEmpty())
        return TRUE;
    BeginPixels(*dc);
    const bool halftone = dc->State.StretchMode == HALFTONE && src && (sr.Width() != dr.Width() || sr.Height() != dr.Height());
    for (const auto& cr : clip.Rects()) {
        for (int py = cr.Top; py < cr.Bottom; ++py) {
            std::uint32_t* row = PixelRow(*dc, py);
            int sy = 0;
            if (src) {
                const long long oy = mirrorY ? (dr.Bottom - 1 - py) : (py - dr.Top);
                sy = int(oy * sr.Height() / dr.Height());
            }
            for (int px = cr.Left; px < cr.Right; ++px) {
                std::uint32_t s = 0;
                if (src) {
                    const long long ox = mirrorX ? (dr.Right - 1 - px) : (px - dr.Left);
                    const int sx = int(ox * sr.Width() / dr.Width());
                    if (!sp.Valid(sx, sy))
                        continue;
                    if (halftone) {
                        // Average of the source pixels this destination pixel covers.
                        const int sx1 = std::max(sx + 1, int((ox + 1) * sr.Width() / dr.Width()));
                        const long long oy = mirrorY ? (dr.Bottom - 1 - py) : (py - dr.Top);
                        const int sy1 = std::max(sy + 1, int((oy + 1) * sr.Height() / dr.Height()));
                        unsigned long long acc[4] = {};
                        int n = 0;
                        for (int yy = sy; yy < sy1; ++yy)
                            for (int xx = sx; xx < sx1; ++xx) {
                                if (!sp.Valid(xx, yy))
                                    continue;
                                ++n;
                                const std::uint32_t v = sp.At(xx, yy);
                                for (int c = 0; c < 4; ++c)
                                    acc[c] += (v >> (c * 8)) & 0xFF;
                            }
                        for (int c = 0; c < 4; ++c)
                            s |= std::uint32_t(acc[c] / std::max(n, 1)) << (c * 8);
                    } else {
                        s = sp.At(sx, sy);
                    }
                }
                std::uint32_t& d = row[px];
                switch (a.Blend) {
                case TBlend::Rop: {
                    std::uint32_t p = 0;
                    if (RopUsesPattern(a.Rop) && !PaintPixel(*dc, pat, px, py, p))
                        p = ColorToPixel(dc->State.BkColor);
                    d = Rop3Apply(a.Rop, p, s, d);
                    break;
                }
                case TBlend::Transparent:
                    if ((s & 0xFFFFFF) != a.Key)
                        d = 0xFF000000u | s;
                    break;
                case TBlend::Alpha: {
                    const unsigned ca = a.Fn.SourceConstantAlpha;
                    if (!(a.Fn.AlphaFormat & AC_SRC_ALPHA))
                        s |= 0xFF000000u;
                    std::uint32_t outPx = 0;
                    const unsigned sa = ((s >> 24) * ca + 127) / 255;
                    for (int c = 0; c < 4; ++c) {
                        const unsigned sc = (((s >> (c * 8)) & 0xFF) * ca + 127) / 255;
                        const unsigned dcv = (d >> (c * 8)) & 0xFF;
                        outPx |= std::uint32_t(std::min(255u, sc + (dcv * (255 - sa) + 127) / 255)) << (c * 8);
                    }
                    d = outPx;
                    break;
                }
                }
            }
        }
    }
    EndPixels(*dc);
    return TRUE;
}

} // namespace

BOOL PatBlt(HDC h, int x, int y, int w, int hh, DWORD rop)
{
    if (RopUsesSource(rop))
        return FALSE;
    TBltArgs a;
    a.Rop = rop;
    return Blt(h, x, y, w, hh, nullptr, 0, 0, 0, 0, a);
}

BOOL BitBlt(HDC h, int x, int y, int w, int hh, HDC src, int xs, int ys, DWORD rop)
{
    TBltArgs a;
    a.Rop = rop;
    return Blt(h, x, y, w, hh, src, xs, ys, w, hh, a);
}

BOOL StretchBlt(HDC h, int x, int y, int w, int hh, HDC src, int xs, int ys, int ws, int hs, DWORD rop)
{
    TBltArgs a;
    a.Rop = rop;
    return Blt(h, x, y, w, hh, src, xs, ys, ws, hs, a);
}

BOOL TransparentBlt(HDC h, int x, int y, int w, int hh, HDC src, int xs, int ys, int ws, int hs, UINT transparent)
{
    if (w < 0 || hh < 0 || ws < 0 || hs < 0)
        return FALSE;
    TBltArgs a;
    a.Blend = TBlend::Transparent;
    a.Key = ColorToPixel(transparent) & 0xFFFFFF;
    return Blt(h, x, y, w, hh, src, xs, ys, ws, hs, a);
}

BOOL AlphaBlend(HDC h, int x, int y, int w, int hh, HDC src, int xs, int ys, int ws, int hs, BLENDFUNCTION blend)
{
    if (w < 0 || hh < 0 || ws < 0 || hs < 0 || blend.BlendOp != AC_SRC_OVER)
        return FALSE;
    TBltArgs a;
    a.Blend = TBlend::Alpha;
    a.Fn = blend;
    return Blt(h, x, y, w, hh, src, xs, ys, ws, hs, a);
}

int GetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, void* bits, BITMAPINFO* info, UINT)
{
    auto b = LookupAs<TBitmap>(bitmap, TKind::Bitmap);
    if (!b || !info)
        return 0;
    auto& hdr = info->bmiHeader;
    if (!bits) {
        hdr.biWidth = b->Width;
        hdr.biHeight = b->Height;
        hdr.biPlanes = 1;
        hdr.biBitCount = 32;
        hdr.biCompression = BI_RGB;
        hdr.biSizeImage = DWORD(b->Width * 4 * b->Height);
        return b->Height;
    }
    if (hdr.biBitCount != 24 && hdr.biBitCount != 32)
        return 0;
    const bool topDown = hdr.biHeight < 0;
    const int stride = ((b->Width * hdr.biBitCount + 31) / 32) * 4;
    b->BitsToSurface();
    cairo_surface_flush(b->Surface);
    const auto* data = cairo_image_surface_get_data(b->Surface);
    const int sstride = cairo_image_surface_get_stride(b->Surface);
    const UINT h = UINT(b->Height);
    if (start >= h)
        return 0;
    lines = std::min(lines, h - start);
    auto* out = static_cast<std::uint8_t*>(bits);
    for (UINT i = 0; i < lines; ++i) {
        // Scan line numbers count from the bottom of the image.
        const UINT scan = start + i;
        const int srcY = int(h - 1 - scan);
        const auto* s = reinterpret_cast<const std::uint32_t*>(data + std::size_t(srcY) * sstride);
        std::uint8_t* d = out + std::size_t(topDown ? (h - 1 - scan) - (h - start - lines) : i) * stride;
        for (int x = 0; x < b->Width; ++x) {
            if (hdr.biBitCount == 24) {
                d[x * 3] = BYTE(s[x]);
                d[x * 3 + 1] = BYTE(s[x] >> 8);
                d[x * 3 + 2] = BYTE(s[x] >> 16);
            } else {
                std::memcpy(d + x * 4, &s[x], 4);
            }
        }
    }
    return int(lines);
}

int SetDIBits(HDC, HBITMAP bitmap, UINT start, UINT lines, const void* bits, const BITMAPINFO* info, UINT)
{
    auto b = LookupAs<TBitmap>(bitmap, TKind::Bitmap);
    if (!b || !info || !bits)
        return 0;
    const auto& hdr = info->bmiHeader;
    if ((hdr.biBitCount != 24 && hdr.biBitCount != 32) || hdr.biWidth != b->Width)
        return 0;
    const bool topDown = hdr.biHeight < 0;
    const int stride = ((b->Width * hdr.biBitCount + 31) / 32) * 4;
    const UINT h = UINT(b->Height);
    if (start >= h)
        return 0;
    lines = std::min(lines, h - start);
    b->BitsToSurface();
    cairo_surface_flush(b->Surface);
    auto* data = cairo_image_surface_get_data(b->Surface);
    const int sstride = cairo_image_surface_get_stride(b->Surface);
    const auto* in = static_cast<const std::uint8_t*>(bits);
    for (UINT i = 0; i < lines; ++i) {
        const UINT scan = start + i;
        const int dstY = topDown ? int(i + start) : int(h - 1 - scan);
        auto* d = reinterpret_cast<std::uint32_t*>(data + std::size_t(dstY) * sstride);
        const std::uint8_t* s = in + std::size_t(i) * stride;
        for (int x = 0; x < b->Width; ++x) {
            if (hdr.biBitCount == 24)
                d[x] = 0xFF000000u | (std::uint32_t(s[x * 3 + 2]) << 16) | (std::uint32_t(s[x * 3 + 1]) << 8) | s[x * 3];
            else
                std::memcpy(&d[x], s + x * 4, 4);
        }
    }
    cairo_surface_mark_dirty(b->Surface);
    b->SurfaceToBits();
    return int(lines);
}

int StretchDIBits(HDC h, int xd, int yd, int wd, int hd, int xs, int ys, int ws, int hs, const void* bits,
    const BITMAPINFO* info, UINT usage, DWORD rop)
{
    if (!info || !bits)
        return 0;
    const auto& hdr = info->bmiHeader;
    const int height = hdr.biHeight < 0 ? -hdr.biHeight : hdr.biHeight;
    HBITMAP bmp = CreateCompatibleBitmap(nullptr, hdr.biWidth, height);
    if (!bmp)
        return 0;
    int result = 0;
    if (SetDIBits(nullptr, bmp, 0, UINT(height), bits, info, usage) == height) {
        HDC mem = CreateCompatibleDC(nullptr);
        SelectObject(mem, bmp);
        // Source coordinates of a bottom-up image count from its bottom row.
        const int sy = hdr.biHeight < 0 ? ys : height - ys - hs;
        if (StretchBlt(h, xd, yd, wd, hd, mem, xs, sy, ws, hs, rop))
            result = hs;
        DeleteDC(mem);
    }
    DeleteObject(bmp);
    return result;
}

HICON CreateIconIndirect(const ICONINFO* info)
{
    if (!info)
        return nullptr;
    auto color = LookupAs<TBitmap>(info->hbmColor, TKind::Bitmap);
    auto mask = LookupAs<TBitmap>(info->hbmMask, TKind::Bitmap);
    if (!color && !mask)
        return nullptr;
    const auto& size = color ? color : mask;
    auto icon = std::make_shared<TIcon>();
    icon->Width = size->Width;
    icon->Height = color ? size->Height : size->Height / 2;
    icon->IsIcon = info->fIcon != 0;
    icon->Hotspot = { int(info->xHotspot), int(info->yHotspot) };
    icon->Surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, icon->Width, icon->Height);
    cairo_surface_flush(icon->Surface);
    auto* out = cairo_image_surface_get_data(icon->Surface);
    const int ostride = cairo_image_surface_get_stride(icon->Surface);
    if (color)
        color->BitsToSurface();
    // The colour bitmap's alpha counts only when it varies; a uniform alpha
    // (all clear or all opaque) leaves transparency to the mask.
    bool anyAlpha = false;
    if (color && color->BitsPixel == 32) {
        cairo_surface_flush(color->Surface);
        const auto* cd = cairo_image_surface_get_data(color->Surface);
        const int cs = cairo_image_surface_get_stride(color->Surface);
        const std::uint32_t first = reinterpret_cast<const std::uint32_t*>(cd)[0] >> 24;
        for (int y = 0; y < icon->Height && !anyAlpha; ++y)
            for (int x = 0; x < icon->Width; ++x)
                if ((reinterpret_cast<const std::uint32_t*>(cd + std::size_t(y) * cs)[x] >> 24) != first) {
                    anyAlpha = true;
                    break;
                }
    }
    for (int y = 0; y < icon->Height; ++y) {
        auto* o = reinterpret_cast<std::uint32_t*>(out + std::size_t(y) * ostride);
        for (int x = 0; x < icon->Width; ++x) {
            std::uint32_t px = 0xFF000000u;
            if (color) {
                const auto* cd = cairo_image_surface_get_data(color->Surface);
                px = reinterpret_cast<const std::uint32_t*>(cd + std::size_t(y) * cairo_image_surface_get_stride(color->Surface))[x];
                if (!anyAlpha)
                    px |= 0xFF000000u;
            }
            bool transparent = false;
            if (mask && !anyAlpha) {
                cairo_surface_flush(mask->Surface);
                const auto* md = cairo_image_surface_get_data(mask->Surface);
                const std::uint32_t m = reinterpret_cast<const std::uint32_t*>(md + std::size_t(y) * cairo_image_surface_get_stride(mask->Surface))[x];
                transparent = (m & 0xFFFFFF) != 0;
            }
            o[x] = transparent ? 0 : px;
        }
    }
    cairo_surface_mark_dirty(icon->Surface);
    return HICON(Register(icon));
}

BOOL GetIconInfo(HICON h, ICONINFO* info)
{
    auto icon = LookupAs<TIcon>(h, TKind::Icon);
    if (!icon || !info)
        return FALSE;
    BITMAPINFO bi;
    bi.bmiHeader.biWidth = icon->Width;
    bi.bmiHeader.biHeight = -icon->Height;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HBITMAP mask = CreateBitmap(icon->Width, icon->Height, 1, 32, nullptr);
    auto c = LookupAs<TBitmap>(color, TKind::Bitmap);
    auto m = LookupAs<TBitmap>(mask, TKind::Bitmap);
    cairo_surface_flush(icon->Surface);
    const auto* src = cairo_image_surface_get_data(icon->Surface);
    for (int y = 0; y < icon->Height; ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(src + std::size_t(y) * cairo_image_surface_get_stride(icon->Surface));
        auto* cd = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(c->Surface) + std::size_t(y) * cairo_image_surface_get_stride(c->Surface));
        auto* md = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(m->Surface) + std::size_t(y) * cairo_image_surface_get_stride(m->Surface));
        for (int x = 0; x < icon->Width; ++x) {
            cd[x] = s[x];
            md[x] = (s[x] >> 24) ? 0xFF000000u : 0xFFFFFFFFu;
        }
    }
    cairo_surface_mark_dirty(c->Surface);
    cairo_surface_mark_dirty(m->Surface);
    info->fIcon = icon->IsIcon;
    info->xHotspot = DWORD(icon->Hotspot.X);
    info->yHotspot = DWORD(icon->Hotspot.Y);
    info->hbmColor = color;
    info->hbmMask = mask;
    return TRUE;
}

BOOL DestroyIcon(HICON h)
{
    if (!LookupAs<TIcon>(h, TKind::Icon))
        return FALSE;
    Unregister(h);
    return TRUE;
}

BOOL DrawIconEx(HDC h, int x, int y, HICON hicon, int w, int hh, UINT, HBRUSH flicker, UINT flags)
{
    auto dc = DCOf(h);
    auto icon = LookupAs<TIcon>(hicon, TKind::Icon);
    if (!dc || !icon || !dc->Surface)
        return FALSE;
    if (w <= 0)
        w = icon->Width;
    if (hh <= 0)
        hh = icon->Height;
    const TPoint p = dc->ToDeviceI(x, y);
    if (flicker) {
        const RECT r { x, y, x + w, y + hh };
        FillRect(h, &r, flicker);
    }
    BeginCairo(*dc);
    cairo_rectangle(dc->Cr, p.X, p.Y, w, hh);
    cairo_clip(dc->Cr);
    cairo_translate(dc->Cr, p.X, p.Y);
    cairo_scale(dc->Cr, double(w) / icon->Width, double(hh) / icon->Height);
    cairo_set_source_surface(dc->Cr, icon->Surface, 0, 0);
    if ((flags & DI_NORMAL) == DI_MASK) {
        cairo_set_source_rgb(dc->Cr, 0, 0, 0);
        cairo_mask_surface(dc->Cr, icon->Surface, 0, 0);
    } else {
        cairo_paint(dc->Cr);
    }
    EndCairo(*dc);
    return TRUE;
}

BOOL DrawIcon(HDC h, int x, int y, HICON icon)
{
    return DrawIconEx(h, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
}
