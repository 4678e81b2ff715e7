// Standard window scroll bars: their state lives in the window, they are
// drawn in the non-client area and a press on them sends WM_HSCROLL /
// WM_VSCROLL with the SB_* code of the part pressed.

#include <algorithm>

#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace {

DWORD StyleBit(int bar) { return bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL; }

// Largest position the bar may take.
int MaxPos(const TScrollBarState& s)
{
    return std::max(s.min, s.max - std::max(int(s.page) - 1, 0));
}

// The bar's rectangle in window coordinates (empty without the style bit).
TRect BarRect(const TWnd* w, int bar)
{
    if (!(w->style & StyleBit(bar)))
        return {};
    const TRect client = Bounds(w->nc.Left, w->nc.Top, w->ClientRect().Width(), w->ClientRect().Height());
    if (bar == SB_VERT)
        return { client.Right, client.Top, client.Right + Metric(SM_CXVSCROLL), client.Bottom };
    return { client.Left, client.Bottom, client.Right, client.Bottom + Metric(SM_CYHSCROLL) };
}

struct TBarParts {
    TRect bar;
    int arrow { 0 };      // length of each arrow button
    int trackStart { 0 }; // along the bar, from its start
    int trackLength { 0 };
    int thumbStart { 0 }; // relative to the track start
    int thumbLength { 0 }; // 0: no thumb
};

TBarParts Parts(const TWnd* w, int bar)
{
    TBarParts p;
    p.bar = BarRect(w, bar);
    const bool vertical = bar == SB_VERT;
    const int length = vertical ? p.bar.Height() : p.bar.Width();
    const int thickness = vertical ? p.bar.Width() : p.bar.Height();
    p.arrow = std::min(thickness, length / 2);
    p.trackStart = p.arrow;
    p.trackLength = std::max(0, length - 2 * p.arrow);
    const TScrollBarState& s = w->scrollBars[bar];
    const int range = s.max - s.min;
    if (range <= 0 || s.disabled == ESB_DISABLE_BOTH)
        return p;
    int thumb = Metric(vertical ? SM_CYVTHUMB : SM_CXHTHUMB);
    if (s.page > 0)
        thumb = std::max(8, int(std::int64_t(p.trackLength) * s.page / (range + 1)));
    if (thumb > p.trackLength)
        return p;
    p.thumbLength = thumb;
    const int span = MaxPos(s) - s.min;
    p.thumbStart = span > 0 ? int(std::int64_t(p.trackLength - thumb) * (s.pos - s.min) / span) : 0;
    return p;
}

int AlongBar(const TWnd* w, int bar, TPoint screen)
{
    RECT wr;
    GetWindowRect(w->handle, wr);
    const TPoint local = screen - wr.TopLeft();
    const TRect r = BarRect(w, bar);
    return bar == SB_VERT ? local.Y - r.Top : local.X - r.Left;
}

void Notify(HWND hwnd, int bar, WORD code, int pos = 0)
{
    SendMessage(hwnd, bar == SB_VERT ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, WORD(std::int16_t(pos))), 0);
}

void RedrawBars(TWnd* w)
{
    if (w->style & (WS_HSCROLL | WS_VSCROLL))
        w->framePending = true;
}

// The position the thumb stands for when its start is at `thumbStart`.
int PosAtThumb(const TScrollBarState& s, const TBarParts& p, int thumbStart)
{
    const int free = p.trackLength - p.thumbLength;
    if (free <= 0)
        return s.min;
    thumbStart = std::clamp(thumbStart, 0, free);
    const std::int64_t span = MaxPos(s) - s.min;
    return s.min + int((span * thumbStart + free / 2) / free);
}

} // namespace

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, bool redraw)
{
    TWnd* w = Find(hwnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT))
        return 0;
    TScrollBarState& s = w->scrollBars[bar];
    if (info.fMask & SIF_RANGE) {
        s.min = info.nMin;
        s.max = std::max(info.nMin, info.nMax);
    }
    if (info.fMask & SIF_PAGE)
        s.page = std::min<UINT>(info.nPage, UINT(s.max - s.min + 1));
    if (info.fMask & SIF_POS)
        s.pos = info.nPos;
    s.pos = std::clamp(s.pos, s.min, MaxPos(s));
    if (redraw)
        RedrawBars(w);
    return s.pos;
}

bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO& info)
{
    TWnd* w = Find(hwnd);
    if (!w || (bar != SB_HORZ && bar != SB_VERT))
        return false;
    const TScrollBarState& s = w->scrollBars[bar];
    if (info.fMask & SIF_RANGE) {
        info.nMin = s.min;
        info.nMax = s.max;
    }
    if (info.fMask & SIF_PAGE)
        info.nPage = s.page;
    if (info.fMask & SIF_POS)
        info.nPos = s.pos;
    if (info.fMask & SIF_TRACKPOS)
        info.nTrackPos = State().thumbWnd == hwnd && State().thumbBar == bar ? s.trackPos : s.pos;
    return true;
}

bool ShowScrollBar(HWND hwnd, int bar, bool show)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return false;
    DWORD bits = bar == SB_BOTH ? (WS_HSCROLL | WS_VSCROLL) : bar == SB_HORZ ? WS_HSCROLL : bar == SB_VERT ? WS_VSCROLL : 0;
    if (!bits)
        return false;
    const LONG style = GetWindowLong(hwnd, GWL_STYLE);
    const LONG want = show ? (style | LONG(bits)) : (style & ~LONG(bits));
    if (want != style) {
        SetWindowLong(hwnd, GWL_STYLE, want);
        SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return true;
}

bool EnableScrollBar(HWND hwnd, UINT bars, UINT arrows)
{
    TWnd* w = Find(hwnd);
    if (!w || int(bars) < SB_HORZ || int(bars) > SB_BOTH || int(bars) == SB_CTL)
        return false;
    bool changed = false;
    for (int bar : { SB_HORZ, SB_VERT }) {
        if (int(bars) != bar && int(bars) != SB_BOTH)
            continue;
        changed |= w->scrollBars[bar].disabled != (arrows & ESB_DISABLE_BOTH);
        w->scrollBars[bar].disabled = arrows & ESB_DISABLE_BOTH;
    }
    if (changed)
        RedrawBars(w);
    return changed;
}

void winimpl::ScrollBarPress(TWnd* w, LRESULT hit, TPoint screen)
{
    const int bar = hit == HTVSCROLL ? SB_VERT : SB_HORZ;
    const HWND hwnd = w->handle;
    const TBarParts p = Parts(w, bar);
    const TScrollBarState& s = w->scrollBars[bar];
    const int at = AlongBar(w, bar, screen);
    const int trackAt = at - p.trackStart;
    WORD code;
    if (at < p.trackStart) {
        if (s.disabled & ESB_DISABLE_LTUP)
            return;
        code = SB_LINEUP;
    } else if (trackAt >= p.trackLength) {
        if (s.disabled & ESB_DISABLE_RTDN)
            return;
        code = SB_LINEDOWN;
    } else if (p.thumbLength == 0) {
        return;
    } else if (trackAt < p.thumbStart) {
        code = SB_PAGEUP;
    } else if (trackAt >= p.thumbStart + p.thumbLength) {
        code = SB_PAGEDOWN;
    } else {
        auto& st = State();
        st.thumbWnd = hwnd;
        st.thumbBar = bar;
        st.thumbGrab = trackAt - p.thumbStart;
        w->scrollBars[bar].trackPos = s.pos;
        SetCapture(hwnd);
        return;
    }
    Notify(hwnd, bar, code);
    if (Find(hwnd))
        Notify(hwnd, bar, SB_ENDSCROLL);
}

void winimpl::TrackThumb(TPoint screen)
{
    auto& st = State();
    TWnd* w = Find(st.thumbWnd);
    if (!w || st.capture != st.thumbWnd) {
        st.thumbWnd = nullptr;
        return;
    }
    const TBarParts p = Parts(w, st.thumbBar);
    TScrollBarState& s = w->scrollBars[st.thumbBar];
    const int pos = PosAtThumb(s, p, AlongBar(w, st.thumbBar, screen) - p.trackStart - st.thumbGrab);
    if (pos == s.trackPos)
        return;
    s.trackPos = pos;
    Notify(w->handle, st.thumbBar, SB_THUMBTRACK, pos);
}

void winimpl::EndThumbTrack()
{
    auto& st = State();
    const HWND h = st.thumbWnd;
    st.thumbWnd = nullptr;
    if (st.capture == h)
        ReleaseCapture();
    if (TWnd* w = Find(h)) {
        Notify(h, st.thumbBar, SB_THUMBPOSITION, w->scrollBars[st.thumbBar].trackPos);
        if (Find(h))
            Notify(h, st.thumbBar, SB_ENDSCROLL);
    }
}

void winimpl::PaintScrollBars(TWnd* w, HDC windowDC)
{
    IDeviceContextFactory* f = GetDeviceContextFactory();
    if (!f)
        return;
    for (int bar : { SB_HORZ, SB_VERT }) {
        const TBarParts p = Parts(w, bar);
        if (p.bar.IsEmpty())
            continue;
        TRect thumb;
        if (p.thumbLength > 0) {
            const int start = p.trackStart + p.thumbStart;
            thumb = bar == SB_VERT ? TRect(p.bar.Left, p.bar.Top + start, p.bar.Right, p.bar.Top + start + p.thumbLength)
                                   : TRect(p.bar.Left + start, p.bar.Top, p.bar.Left + start + p.thumbLength, p.bar.Bottom);
        }
        f->DrawScrollBar(windowDC, p.bar, bar == SB_VERT, thumb, w->scrollBars[bar].disabled);
    }
    // The corner where both bars meet.
    if ((w->style & WS_HSCROLL) && (w->style & WS_VSCROLL)) {
        const TRect v = BarRect(w, SB_VERT), h = BarRect(w, SB_HORZ);
        f->DrawScrollCorner(windowDC, TRect(v.Left, h.Top, v.Right, h.Bottom));
    }
}
