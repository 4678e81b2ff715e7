#include "platform/gdi/Frames.h"

#include <algorithm>

#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/SysColors.h"
#include "platform/win/System.h"
#include "platform/win/WinUser.h"

using namespace gdi;

namespace {

void Fill(TDC& dc, const TRect& r, COLORREF c)
{
    TPaint p;
    p.Color = c;
    PaintRect(dc, r, p, R2_COPYPEN);
}

// A device rectangle from a logical one.
TRect DeviceRect(const TDC& dc, const RECT& r)
{
    const TPoint a = dc.ToDeviceI(r.Left, r.Top), b = dc.ToDeviceI(r.Right, r.Bottom);
    return { std::min(a.X, b.X), std::min(a.Y, b.Y), std::max(a.X, b.X), std::max(a.Y, b.Y) };
}

// One ring of an edge: the top-left colour on the top and left sides, the
// bottom-right colour on the others, which own the top-right and bottom-left corners.
void Ring(TDC& dc, const TRect& r, UINT sides, COLORREF tl, COLORREF br)
{
    if (r.IsEmpty())
        return;
    if (sides & BF_TOP)
        Fill(dc, { r.Left, r.Top, r.Right - 1, r.Top + 1 }, tl);
    if (sides & BF_LEFT)
        Fill(dc, { r.Left, r.Top, r.Left + 1, r.Bottom - 1 }, tl);
    if (sides & BF_BOTTOM)
        Fill(dc, { r.Left, r.Bottom - 1, r.Right, r.Bottom }, br);
    if (sides & BF_RIGHT)
        Fill(dc, { r.Right - 1, r.Top, r.Right, r.Bottom }, br);
}

TRect Shrink(TRect r, UINT sides)
{
    if (sides & BF_LEFT)
        ++r.Left;
    if (sides & BF_TOP)
        ++r.Top;
    if (sides & BF_RIGHT)
        --r.Right;
    if (sides & BF_BOTTOM)
        --r.Bottom;
    return r;
}

// A diagonal edge: a line from the origin corner to the end corner the flags
// name, the inner line beside it; edges ending at the top take the top-left
// colours, those ending at the bottom the bottom-right ones.
void DiagonalEdge(TDC& dc, const TRect& r, UINT edge, UINT flags)
{
    if (r.Width() < 2 || r.Height() < 2)
        return;
    const UINT sides = flags & BF_RECT;
    const bool endTop = sides & BF_TOP, endLeft = sides & BF_LEFT;
    const TPoint end { endLeft ? r.Left : r.Right - 1, endTop ? r.Top : r.Bottom - 1 };
    const TPoint start { endLeft ? r.Right - 1 : r.Left, endTop ? r.Bottom - 1 : r.Top };
    const bool raisedOuter = edge & BDR_RAISEDOUTER, raisedInner = edge & BDR_RAISEDINNER;
    const bool mono = flags & BF_MONO, flat = flags & BF_FLAT;
    auto colour = [&](bool outer, bool raised) {
        if (mono)
            return GetSysColor(outer ? COLOR_WINDOWFRAME : COLOR_WINDOW);
        if (flat)
            return GetSysColor(outer ? COLOR_BTNSHADOW : COLOR_BTNFACE);
        if (endTop)
            return GetSysColor(outer ? (raised ? COLOR_3DLIGHT : COLOR_BTNSHADOW) : (raised ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW));
        return GetSysColor(outer ? (raised ? COLOR_3DDKSHADOW : COLOR_BTNHIGHLIGHT) : (raised ? COLOR_BTNSHADOW : COLOR_3DLIGHT));
    };
    auto line = [&](TPoint a, TPoint b, COLORREF c) {
        const int n = std::max(std::abs(b.X - a.X), std::abs(b.Y - a.Y));
        for (int i = 0; i <= n; ++i) {
            const int x = a.X + (n ? (b.X - a.X) * i / n : 0), y = a.Y + (n ? (b.Y - a.Y) * i / n : 0);
            Fill(dc, { x, y, x + 1, y + 1 }, c);
        }
    };
    // The inner line lies one pixel toward the inside of the end corner's sides.
    const int dx = endLeft ? 1 : -1;
    if (edge & BDR_OUTER)
        line(start, end, colour(true, raisedOuter));
    if (edge & BDR_INNER)
        line({ start.X + dx, start.Y }, { end.X + dx, end.Y }, colour(false, raisedInner));
}

// Draws in device units; returns the rectangle inside the edge.
TRect Edge(TDC& dc, TRect r, UINT edge, UINT flags)
{
    if (flags & BF_DIAGONAL) {
        DiagonalEdge(dc, r, edge, flags);
        return r;
    }
    const UINT sides = flags & BF_RECT;
    const UINT outer = edge & BDR_OUTER, inner = edge & BDR_INNER;
    const bool mono = flags & BF_MONO, flat = flags & BF_FLAT, soft = flags & BF_SOFT;
    if (outer) {
        COLORREF tl, br;
        if (mono) {
            tl = br = GetSysColor(COLOR_WINDOWFRAME);
        } else if (flat) {
            tl = br = GetSysColor(COLOR_BTNSHADOW);
        } else if (outer & BDR_RAISEDOUTER) {
            tl = GetSysColor(soft ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT);
            br = GetSysColor(COLOR_3DDKSHADOW);
        } else {
            tl = GetSysColor(COLOR_BTNSHADOW);
            br = GetSysColor(COLOR_BTNHIGHLIGHT);
        }
        Ring(dc, r, sides, tl, br);
        r = Shrink(r, sides);
    }
    if (inner) {
        COLORREF tl, br;
        if (mono) {
            tl = br = GetSysColor(COLOR_WINDOW);
        } else if (flat) {
            tl = br = GetSysColor(COLOR_BTNFACE);
        } else if (inner & BDR_RAISEDINNER) {
            tl = GetSysColor(soft ? COLOR_3DLIGHT : COLOR_BTNHIGHLIGHT);
            br = GetSysColor(COLOR_BTNSHADOW);
        } else {
            tl = GetSysColor(soft ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW);
            br = GetSysColor(COLOR_3DLIGHT);
        }
        Ring(dc, r, sides, tl, br);
        r = Shrink(r, sides);
    }
    if ((flags & BF_MIDDLE) && !r.IsEmpty())
        Fill(dc, r, GetSysColor(mono ? COLOR_WINDOW : COLOR_BTNFACE));
    return r;
}

// A checkerboard of two colours, the classic look of a checked button face.
void Dither(TDC& dc, const TRect& r, COLORREF a, COLORREF b)
{
    std::vector<TSpan> even, odd;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            (((x + y) & 1) ? odd : even).push_back({ y, x, x + 1 });
    TPaint pa, pb;
    pa.Color = a;
    pb.Color = b;
    PaintSpans(dc, even, pa, R2_COPYPEN);
    PaintSpans(dc, odd, pb, R2_COPYPEN);
}

TRect Square(const TRect& r, int size)
{
    const int s = std::min({ size, r.Width(), r.Height() });
    const int l = r.Left + (r.Width() - s) / 2, t = r.Top + (r.Height() - s) / 2;
    return { l, t, l + s, t + s };
}

// The classic check mark, scaled to the box.
void CheckMark(TDC& dc, const TRect& box, COLORREF c)
{
    const int w = box.Width();
    const int x0 = box.Left + (w - 7) / 2, y0 = box.Top + (box.Height() - 7) / 2;
    // Columns of the 7x7 tick: start row and length 3.
    static const int startRows[7] = { 2, 3, 4, 3, 2, 1, 0 };
    for (int i = 0; i < 7; ++i)
        Fill(dc, { x0 + i, y0 + startRows[i], x0 + i + 1, y0 + startRows[i] + 3 }, c);
}

void FilledEllipse(TDC& dc, const TRect& r, COLORREF c)
{
    TFigure f;
    f.Closed = true;
    f.Points = EllipsePoints(r.Left - 0.5, r.Top - 0.5, r.Right - 0.5, r.Bottom - 0.5);
    TPaint p;
    p.Color = c;
    PaintSpans(dc, FillSpans({ f }, false), p, R2_COPYPEN);
}

// Half of a ring: the upper-left or lower-right half of an ellipse outline.
void HalfRing(TDC& dc, const TRect& r, bool upperLeft, COLORREF c)
{
    TFigure outer, inner;
    outer.Closed = inner.Closed = true;
    outer.Points = EllipsePoints(r.Left - 0.5, r.Top - 0.5, r.Right - 0.5, r.Bottom - 0.5);
    inner.Points = EllipsePoints(r.Left + 0.5, r.Top + 0.5, r.Right - 1.5, r.Bottom - 1.5);
    const TRegion ring = SpansToRegion(FillSpans({ outer }, false)).Subtract(SpansToRegion(FillSpans({ inner }, false)));
    std::vector<TSpan> spans;
    const double cx = (r.Left + r.Right - 1) / 2.0, cy = (r.Top + r.Bottom - 1) / 2.0;
    for (const auto& rc : ring.Rects())
        for (int y = rc.Top; y < rc.Bottom; ++y)
            for (int x = rc.Left; x < rc.Right; ++x)
                if (((x - cx) + (y - cy) < 0) == upperLeft)
                    spans.push_back({ y, x, x + 1 });
    TPaint p;
    p.Color = c;
    PaintSpans(dc, spans, p, R2_COPYPEN);
}

void Radio(TDC& dc, const TRect& area, UINT state)
{
    const TRect box = Square(area, 13);
    const bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED;
    if (state & DFCS_MONO) {
        HalfRing(dc, box, true, GetSysColor(COLOR_WINDOWFRAME));
        HalfRing(dc, box, false, GetSysColor(COLOR_WINDOWFRAME));
    } else {
        HalfRing(dc, box, true, GetSysColor(COLOR_BTNSHADOW));
        HalfRing(dc, box, false, GetSysColor(COLOR_BTNHIGHLIGHT));
        const TRect in { box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1 };
        if (!(state & DFCS_FLAT)) {
            HalfRing(dc, in, true, GetSysColor(COLOR_3DDKSHADOW));
            HalfRing(dc, in, false, GetSysColor(COLOR_3DLIGHT));
        }
    }
    const TRect face { box.Left + 2, box.Top + 2, box.Right - 2, box.Bottom - 2 };
    FilledEllipse(dc, face, GetSysColor(inactive || pushed ? COLOR_BTNFACE : COLOR_WINDOW));
    if (state & DFCS_CHECKED) {
        const int cx = (box.Left + box.Right) / 2, cy = (box.Top + box.Bottom) / 2;
        FilledEllipse(dc, { cx - 2, cy - 2, cx + 2, cy + 2 }, GetSysColor(inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    }
}

void CheckBox(TDC& dc, const TRect& area, UINT state, bool threeState)
{
    const TRect box = Square(area, 13);
    UINT flags = BF_RECT;
    if (state & DFCS_FLAT)
        flags |= BF_FLAT;
    if (state & DFCS_MONO)
        flags |= BF_MONO;
    const TRect face = Edge(dc, box, EDGE_SUNKEN, flags);
    const bool inactive = state & DFCS_INACTIVE, pushed = state & DFCS_PUSHED;
    const bool checked = state & DFCS_CHECKED;
    if (threeState && checked)
        Dither(dc, face, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE));
    else
        Fill(dc, face, GetSysColor(inactive || pushed ? COLOR_BTNFACE : COLOR_WINDOW));
    if (checked)
        CheckMark(dc, face, GetSysColor(threeState ? COLOR_BTNSHADOW : inactive ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
}

void PushButton(TDC& dc, TRect r, UINT state)
{
    const bool pushed = state & (DFCS_PUSHED | DFCS_CHECKED);
    UINT flags = BF_RECT | BF_SOFT;
    if (state & DFCS_FLAT)
        flags |= BF_FLAT;
    if (state & DFCS_MONO)
        flags |= BF_MONO;
    TRect face = pushed && !(state & (DFCS_FLAT | DFCS_MONO)) ? Edge(dc, r, EDGE_SUNKEN, flags & ~BF_SOFT) : Edge(dc, r, EDGE_RAISED, flags);
    if ((state & DFCS_CHECKED) && !(state & DFCS_PUSHED))
        Dither(dc, face, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE));
    else
        Fill(dc, face, GetSysColor((state & DFCS_MONO) ? COLOR_WINDOW : COLOR_BTNFACE));
}

// A solid triangle pointing `dir` (0 up, 1 down, 2 left, 3 right) centred in r.
void Arrow(TDC& dc, const TRect& r, int dir, COLORREF c, int shift)
{
    const int size = std::max(1, std::min(r.Width(), r.Height()) / 4 + 1);
    const int cx = (r.Left + r.Right) / 2 + shift, cy = (r.Top + r.Bottom) / 2 + shift;
    for (int i = 0; i < size; ++i) {
        switch (dir) {
        case 0: Fill(dc, { cx - i, cy - size / 2 + i, cx + i + 1, cy - size / 2 + i + 1 }, c); break;
        case 1: Fill(dc, { cx - i, cy + size / 2 - i, cx + i + 1, cy + size / 2 - i + 1 }, c); break;
        case 2: Fill(dc, { cx - size / 2 + i, cy - i, cx - size / 2 + i + 1, cy + i + 1 }, c); break;
        default: Fill(dc, { cx + size / 2 - i, cy - i, cx + size / 2 - i + 1, cy + i + 1 }, c); break;
        }
    }
}

void ScrollButton(TDC& dc, const TRect& r, UINT state)
{
    const UINT kind = state & 0xFF;
    const bool pushed = state & DFCS_PUSHED, inactive = state & DFCS_INACTIVE;
    if (kind == DFCS_SCROLLSIZEGRIP) {
        Fill(dc, r, GetSysColor(COLOR_BTNFACE));
        for (int k = 0; k < 3; ++k)
            for (int i = 0; i < r.Width() && i < r.Height(); ++i) {
                const int d = 4 * k + 2;
                if (i >= d)
                    continue;
                Fill(dc, { r.Right - d + i, r.Bottom - 1 - i, r.Right - d + i + 1, r.Bottom - i }, GetSysColor(COLOR_BTNSHADOW));
            }
        return;
    }
    UINT flags = BF_RECT | BF_MIDDLE | BF_SOFT;
    if (state & DFCS_FLAT)
        flags |= BF_FLAT;
    if (state & DFCS_MONO)
        flags |= BF_MONO;
    if (pushed)
        flags |= BF_FLAT;
    const TRect face = Edge(dc, r, EDGE_RAISED, flags);
    const int dir = kind == DFCS_SCROLLUP ? 0 : kind == DFCS_SCROLLLEFT ? 2 : kind == DFCS_SCROLLRIGHT ? 3 : 1;
    const int shift = pushed ? 1 : 0;
    if (inactive) {
        Arrow(dc, face, dir, GetSysColor(COLOR_BTNHIGHLIGHT), shift + 1);
        Arrow(dc, face, dir, GetSysColor(COLOR_BTNSHADOW), shift);
    } else {
        Arrow(dc, face, dir, GetSysColor(COLOR_BTNTEXT), shift);
    }
}

void CaptionButton(TDC& dc, const TRect& r, UINT state)
{
    const bool pushed = state & DFCS_PUSHED, inactive = state & DFCS_INACTIVE;
    const TRect face = pushed ? Edge(dc, r, EDGE_SUNKEN, BF_RECT | BF_MIDDLE) : Edge(dc, r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    const int s = std::max(2, std::min(face.Width(), face.Height()) - 6);
    const int shift = pushed ? 1 : 0;
    const int x0 = face.Left + (face.Width() - s) / 2 + shift, y0 = face.Top + (face.Height() - s) / 2 + shift;
    auto cross = [&](int dx, COLORREF c) {
        // Two diagonals, two pixels thick.
        for (int i = 0; i < s; ++i) {
            Fill(dc, { x0 + dx + i, y0 + dx + i, x0 + dx + i + 2, y0 + dx + i + 1 }, c);
            Fill(dc, { x0 + dx + s - 2 - i, y0 + dx + i, x0 + dx + s - i, y0 + dx + i + 1 }, c);
        }
    };
    switch (state & 0xFF) {
    case DFCS_CAPTIONCLOSE:
        if (inactive)
            cross(1, GetSysColor(COLOR_BTNHIGHLIGHT));
        cross(0, GetSysColor(inactive ? COLOR_BTNSHADOW : COLOR_BTNTEXT));
        break;
    case DFCS_CAPTIONMIN:
        Fill(dc, { x0, y0 + s - 2, x0 + s - 2, y0 + s }, GetSysColor(COLOR_BTNTEXT));
        break;
    default:
        Fill(dc, { x0, y0, x0 + s, y0 + 2 }, GetSysColor(COLOR_BTNTEXT));
        Fill(dc, { x0, y0, x0 + 1, y0 + s }, GetSysColor(COLOR_BTNTEXT));
        Fill(dc, { x0 + s - 1, y0, x0 + s, y0 + s }, GetSysColor(COLOR_BTNTEXT));
        Fill(dc, { x0, y0 + s - 1, x0 + s, y0 + s }, GetSysColor(COLOR_BTNTEXT));
        break;
    }
}

} // namespace

BOOL DrawEdge(HDC h, RECT* r, UINT edge, UINT flags)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return FALSE;
    const TRect d = DeviceRect(*dc, *r);
    const TRect in = Edge(*dc, d, edge, flags);
    if (flags & BF_ADJUST) {
        const TPoint a = dc->ToLogical(in.Left, in.Top), b = dc->ToLogical(in.Right, in.Bottom);
        *r = { a.X, a.Y, b.X, b.Y };
    }
    return TRUE;
}

BOOL DrawFrameControl(HDC h, RECT* r, UINT type, UINT state)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return FALSE;
    const TRect d = DeviceRect(*dc, *r);
    switch (type) {
    case DFC_BUTTON:
        if (state & DFCS_BUTTONPUSH)
            PushButton(*dc, d, state);
        else if (state & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE))
            Radio(*dc, d, state);
        else
            CheckBox(*dc, d, state, state & DFCS_BUTTON3STATE);
        break;
    case DFC_SCROLL:
        ScrollButton(*dc, d, state);
        break;
    case DFC_CAPTION:
        CaptionButton(*dc, d, state);
        break;
    default:
        return FALSE;
    }
    if ((state & DFCS_ADJUSTRECT) && type == DFC_BUTTON && (state & DFCS_BUTTONPUSH)) {
        r->Left += 2;
        r->Top += 2;
        r->Right -= 2;
        r->Bottom -= 2;
    }
    return TRUE;
}

BOOL DrawFocusRect(HDC h, const RECT* r)
{
    auto dc = DCOf(h);
    if (!dc || !r)
        return FALSE;
    const TRect d = DeviceRect(*dc, *r);
    if (d.IsEmpty())
        return FALSE;
    const TRegion frame = TRegion(d).Subtract(TRegion(TRect(d.Left + 1, d.Top + 1, d.Right - 1, d.Bottom - 1)));
    std::vector<TSpan> dots;
    for (const auto& fr : frame.Rects())
        for (int y = fr.Top; y < fr.Bottom; ++y)
            for (int x = fr.Left; x < fr.Right; ++x)
                if (((x + y) & 1) == 0)
                    dots.push_back({ y, x, x + 1 });
    PaintSpans(*dc, dots, TPaint {}, R2_NOT);
    return TRUE;
}

BOOL DrawWindowScrollBar(HDC h, const RECT& bar, bool vertical, const RECT& thumb, UINT disabledArrows)
{
    auto dc = DCOf(h);
    if (!dc || bar.IsEmpty())
        return FALSE;
    const int arrow = std::min(vertical ? bar.Width() : bar.Height(), (vertical ? bar.Height() : bar.Width()) / 2);
    RECT first = vertical ? RECT(bar.Left, bar.Top, bar.Right, bar.Top + arrow) : RECT(bar.Left, bar.Top, bar.Left + arrow, bar.Bottom);
    RECT last = vertical ? RECT(bar.Left, bar.Bottom - arrow, bar.Right, bar.Bottom) : RECT(bar.Right - arrow, bar.Top, bar.Right, bar.Bottom);
    const TRect track = vertical ? TRect(bar.Left, first.Bottom, bar.Right, last.Top) : TRect(first.Right, bar.Top, last.Left, bar.Bottom);
    Dither(*dc, DeviceRect(*dc, track), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE));
    DrawFrameControl(h, &first, DFC_SCROLL, (vertical ? DFCS_SCROLLUP : DFCS_SCROLLLEFT) | ((disabledArrows & 1) ? DFCS_INACTIVE : 0));
    DrawFrameControl(h, &last, DFC_SCROLL, (vertical ? DFCS_SCROLLDOWN : DFCS_SCROLLRIGHT) | ((disabledArrows & 2) ? DFCS_INACTIVE : 0));
    if (!thumb.IsEmpty()) {
        RECT t = thumb;
        DrawFrameControl(h, &t, DFC_BUTTON, DFCS_BUTTONPUSH);
    }
    return TRUE;
}

BOOL DrawScrollCorner(HDC h, const RECT& corner)
{
    auto dc = DCOf(h);
    if (!dc)
        return FALSE;
    Fill(*dc, DeviceRect(*dc, corner), GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

RECT DrawWindowFrame(HDC h, const RECT& window, DWORD style, DWORD exStyle)
{
    auto dc = DCOf(h);
    if (!dc)
        return window;
    TRect r = DeviceRect(*dc, window);
    // A band of `width` pixels around the inside of `r`, and `r` shrunk past it.
    auto band = [&](int width, COLORREF c) {
        width = std::max(0, std::min({ width, r.Width() / 2, r.Height() / 2 }));
        if (width == 0)
            return;
        Fill(*dc, { r.Left, r.Top, r.Right, r.Top + width }, c);
        Fill(*dc, { r.Left, r.Bottom - width, r.Right, r.Bottom }, c);
        Fill(*dc, { r.Left, r.Top + width, r.Left + width, r.Bottom - width }, c);
        Fill(*dc, { r.Right - width, r.Top + width, r.Right, r.Bottom - width }, c);
        r.Inflate(-width, -width);
    };
    const bool thick = style & WS_THICKFRAME;
    if (thick || (style & WS_DLGFRAME) || (exStyle & WS_EX_DLGMODALFRAME)) {
        const int edge = GetSystemMetrics(SM_CXEDGE);
        r = Edge(*dc, r, EDGE_RAISED, BF_RECT);
        band((thick ? GetSystemMetrics(SM_CXFRAME) : GetSystemMetrics(SM_CXFIXEDFRAME)) - edge,
            GetSysColor(thick ? COLOR_ACTIVEBORDER : COLOR_BTNFACE));
    } else if (style & WS_BORDER) {
        band(GetSystemMetrics(SM_CXBORDER), GetSysColor(COLOR_WINDOWFRAME));
    }
    if (exStyle & WS_EX_CLIENTEDGE)
        r = Edge(*dc, r, EDGE_SUNKEN, BF_RECT);
    else if (exStyle & WS_EX_STATICEDGE)
        r = Edge(*dc, r, BDR_SUNKENOUTER, BF_RECT);
    const TPoint a = dc->ToLogical(r.Left, r.Top), b = dc->ToLogical(r.Right, r.Bottom);
    return { a.X, a.Y, b.X, b.Y };
}
