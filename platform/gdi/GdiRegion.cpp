#include "platform/gdi/GdiObjects.h"

using namespace gdi;

namespace {

std::shared_ptr<TRegionObj> RegionOf(HRGN h)
{
    return LookupAs<TRegionObj>(h, TKind::Region);
}

int Complexity(const TRegion& r)
{
    return r.IsEmpty() ? NULLREGION : r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

TRect Normalised(int l, int t, int r, int b)
{
    return { std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b) };
}

// Shapes are sampled at pixel centres, so a figure is shifted half a pixel
// back into the index space the span filler samples.
HRGN RegionFromPoints(std::vector<TPointF> pts, bool winding)
{
    for (auto& p : pts) {
        p.X -= 0.5f;
        p.Y -= 0.5f;
    }
    TFigure f;
    f.Points = std::move(pts);
    f.Closed = true;
    return CreateRgnFromRegion(SpansToRegion(FillSpans({ f }, winding)));
}

std::vector<TSpan> SpansOf(const TRegion& r)
{
    std::vector<TSpan> spans;
    for (const auto& rc : r.Rects())
        for (int y = rc.Top; y < rc.Bottom; ++y)
            spans.push_back({ y, rc.Left, rc.Right });
    return spans;
}

} // namespace

TRegion GetRegionData(HRGN rgn)
{
    auto r = RegionOf(rgn);
    return r ? r->Rgn : TRegion();
}

HRGN CreateRgnFromRegion(const TRegion& region)
{
    auto r = std::make_shared<TRegionObj>();
    r->Rgn = region;
    return HRGN(Register(r));
}

HRGN CreateRectRgn(int l, int t, int r, int b)
{
    return CreateRgnFromRegion(TRegion(Normalised(l, t, r, b)));
}

HRGN CreateRectRgnIndirect(const RECT* r)
{
    return r ? CreateRectRgn(r->Left, r->Top, r->Right, r->Bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int l, int t, int r, int b, int w, int h)
{
    const TRect n = Normalised(l, t, r, b);
    if (n.IsEmpty())
        return CreateRgnFromRegion({});
    return RegionFromPoints(RoundRectPoints(n.Left, n.Top, n.Right, n.Bottom, w, h), false);
}

HRGN CreateEllipticRgn(int l, int t, int r, int b)
{
    const TRect n = Normalised(l, t, r, b);
    if (n.IsEmpty())
        return CreateRgnFromRegion({});
    return RegionFromPoints(EllipsePoints(n.Left, n.Top, n.Right, n.Bottom), false);
}

HRGN CreateEllipticRgnIndirect(const RECT* r)
{
    return r ? CreateEllipticRgn(r->Left, r->Top, r->Right, r->Bottom) : nullptr;
}

HRGN CreatePolyPolygonRgn(const POINT* points, const int* counts, int polygons, int mode)
{
    if (!points || !counts || polygons <= 0 || (mode != ALTERNATE && mode != WINDING))
        return nullptr;
    std::vector<TFigure> figs;
    const POINT* p = points;
    for (int i = 0; i < polygons; ++i) {
        if (counts[i] < 0 || counts[i] > 1000000)
            return nullptr;
        TFigure f;
        f.Closed = true;
        for (int k = 0; k < counts[i]; ++k)
            f.Points.push_back({ float(p[k].X), float(p[k].Y) });
        p += counts[i];
        figs.push_back(std::move(f));
    }
    return CreateRgnFromRegion(SpansToRegion(FillSpans(figs, mode == WINDING)));
}

HRGN CreatePolygonRgn(const POINT* points, int count, int mode)
{
    return CreatePolyPolygonRgn(points, &count, 1, mode);
}

int CombineRgn(HRGN dest, HRGN a, HRGN b, int mode)
{
    auto d = RegionOf(dest);
    auto ra = RegionOf(a);
    if (!d || !ra)
        return ERROR;
    if (mode == RGN_COPY) {
        d->Rgn = ra->Rgn;
        return Complexity(d->Rgn);
    }
    auto rb = RegionOf(b);
    if (!rb)
        return ERROR;
    switch (mode) {
    case RGN_AND: d->Rgn = ra->Rgn.Intersect(rb->Rgn); break;
    case RGN_OR: d->Rgn = ra->Rgn.Union(rb->Rgn); break;
    case RGN_XOR: d->Rgn = ra->Rgn.Xor(rb->Rgn); break;
    case RGN_DIFF: d->Rgn = ra->Rgn.Subtract(rb->Rgn); break;
    default: return ERROR;
    }
    return Complexity(d->Rgn);
}

int OffsetRgn(HRGN rgn, int dx, int dy)
{
    auto r = RegionOf(rgn);
    if (!r)
        return ERROR;
    r->Rgn.Offset(dx, dy);
    return Complexity(r->Rgn);
}

BOOL PtInRegion(HRGN rgn, int x, int y)
{
    auto r = RegionOf(rgn);
    return r && r->Rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN rgn, const RECT* rc)
{
    auto r = RegionOf(rgn);
    return r && rc && r->Rgn.Intersects(Normalised(rc->Left, rc->Top, rc->Right, rc->Bottom));
}

int GetRgnBox(HRGN rgn, RECT* rc)
{
    auto r = RegionOf(rgn);
    if (!r || !rc)
        return ERROR;
    *rc = r->Rgn.IsEmpty() ? TRect() : r->Rgn.Bounds();
    return Complexity(r->Rgn);
}

BOOL EqualRgn(HRGN a, HRGN b)
{
    auto ra = RegionOf(a);
    auto rb = RegionOf(b);
    return ra && rb && ra->Rgn == rb->Rgn;
}

BOOL SetRectRgn(HRGN rgn, int l, int t, int r, int b)
{
    auto reg = RegionOf(rgn);
    if (!reg)
        return FALSE;
    reg->Rgn = TRegion(Normalised(l, t, r, b));
    return TRUE;
}

BOOL FillRgn(HDC h, HRGN rgn, HBRUSH brush)
{
    auto dc = gdi::DCOf(h);
    auto r = RegionOf(rgn);
    auto b = LookupAs<TBrush>(brush, TKind::Brush);
    if (!dc || !r || !b)
        return FALSE;
    PaintSpans(*dc, SpansOf(r->Rgn), BrushPaint(*dc, b.get()), R2_COPYPEN);
    return TRUE;
}

BOOL PaintRgn(HDC h, HRGN rgn)
{
    auto dc = gdi::DCOf(h);
    auto r = RegionOf(rgn);
    if (!dc || !r)
        return FALSE;
    PaintSpans(*dc, SpansOf(r->Rgn), BrushPaint(*dc, dc->State.Brush.get()), dc->State.Rop2);
    return TRUE;
}

BOOL InvertRgn(HDC h, HRGN rgn)
{
    auto dc = gdi::DCOf(h);
    auto r = RegionOf(rgn);
    if (!dc || !r)
        return FALSE;
    PaintSpans(*dc, SpansOf(r->Rgn), TPaint {}, R2_NOT);
    return TRUE;
}

// The frame is what the region loses when eroded by the frame's width and height.
BOOL FrameRgn(HDC h, HRGN rgn, HBRUSH brush, int w, int hh)
{
    auto dc = gdi::DCOf(h);
    auto r = RegionOf(rgn);
    auto b = LookupAs<TBrush>(brush, TKind::Brush);
    if (!dc || !r || !b || w < 0 || hh < 0)
        return FALSE;
    TRegion inner = r->Rgn;
    for (auto [dx, dy] : { std::pair { w, 0 }, std::pair { -w, 0 }, std::pair { 0, hh }, std::pair { 0, -hh } }) {
        TRegion moved = r->Rgn;
        moved.Offset(dx, dy);
        inner = inner.Intersect(moved);
    }
    PaintSpans(*dc, SpansOf(r->Rgn.Subtract(inner)), BrushPaint(*dc, b.get()), R2_COPYPEN);
    return TRUE;
}
