#include <algorithm>

#include "platform/win/Window.h"
#include "platform/win/WindowManager.h"

using namespace winimpl;

namespace winimpl {

bool NeedsPaint(const TWnd* w)
{
    return w->redraw && EffectivelyVisible(w) && (!w->update.IsEmpty() || w->internalPaint || w->framePending);
}

void PaintNow(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    if (!w || !NeedsPaint(w))
        return;
    MSG m;
    m.hwnd = hwnd;
    m.message = WM_PAINT;
    DispatchMessage(m);
}

} // namespace winimpl

namespace {

void PaintTree(HWND hwnd)
{
    PaintNow(hwnd);
    TWnd* w = Find(hwnd);
    if (!w)
        return;
    std::vector<HWND> kids;
    for (TWnd* c : w->children)
        kids.push_back(c->handle);
    // Bottom of the z-order first, so windows on top paint last.
    for (auto it = kids.rbegin(); it != kids.rend(); ++it)
        PaintTree(*it);
}

void ValidateTree(TWnd* w, const TRegion* rgn, bool children)
{
    if (rgn)
        w->update = w->update.Subtract(*rgn);
    else {
        w->update.Clear();
        w->erasePending = false;
    }
    if (w->update.IsEmpty())
        w->erasePending = false;
    w->internalPaint = false;
    if (!children)
        return;
    for (TWnd* c : w->children) {
        if (rgn) {
            TRegion r = *rgn;
            r.Offset(-c->rect.Left - c->nc.Left, -c->rect.Top - c->nc.Top);
            ValidateTree(c, &r, true);
        } else
            ValidateTree(c, nullptr, true);
    }
}

} // namespace

TPaintTarget GetPaintTarget(HWND hwnd, bool client)
{
    TPaintTarget t;
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return t;
    TWnd* top = TopOf(w);
    EnsureBuffer(top);
    t.Window = hwnd;
    t.Buffer = { top->pixels.data(), top->bufWidth, top->bufHeight, top->bufWidth * 4 };
    t.Origin = WindowOriginInTop(w) + (client ? TPoint(w->nc.Left, w->nc.Top) : TPoint());
    t.Clip = VisibleRegion(w, client).Intersect(TRegion(TRect(0, 0, top->bufWidth, top->bufHeight)));
    return t;
}

bool RedrawWindow(HWND hwnd, const RECT* rect, const TRegion* region, UINT flags)
{
    TWnd* w = hwnd ? Find(hwnd) : Desktop();
    if (!w)
        return false;
    if (w == Desktop()) {
        for (TWnd* top : w->children)
            RedrawWindow(top->handle, nullptr, nullptr, flags | RDW_ALLCHILDREN);
        return true;
    }
    TRegion area = region ? *region : rect ? TRegion(*rect) : TRegion(w->ClientRect());
    const bool children = (flags & RDW_ALLCHILDREN) || (!(flags & RDW_NOCHILDREN) && !(w->style & WS_CLIPCHILDREN));
    if (flags & RDW_INVALIDATE) {
        InvalidateTree(w, area, (flags & RDW_ERASE) != 0, children, (flags & RDW_ALLCHILDREN) != 0);
        if (flags & RDW_FRAME)
            w->framePending = true;
        if (flags & RDW_INTERNALPAINT)
            w->internalPaint = true;
    }
    if (flags & RDW_VALIDATE) {
        ValidateTree(w, (region || rect) ? &area : nullptr, children);
        if (flags & RDW_NOFRAME)
            w->framePending = false;
        if (flags & RDW_NOINTERNALPAINT)
            w->internalPaint = false;
    }
    if (flags & RDW_NOERASE)
        w->erasePending = false;
    if (flags & RDW_UPDATENOW) {
        if (children)
            PaintTree(hwnd);
        else
            PaintNow(hwnd);
    } else if (flags & RDW_ERASENOW) {
        // Erase and frame now; the client paint waits for the queue.
        if ((w = Find(hwnd)) && w->framePending) {
            w->framePending = false;
            SendMessage(hwnd, WM_NCPAINT, 1, 0);
        }
        if ((w = Find(hwnd)) && w->erasePending && EffectivelyVisible(w)) {
            w->erasePending = false;
            if (HDC dc = GetDC(hwnd)) {
                SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
                ReleaseDC(hwnd, dc);
            }
        }
    }
    return true;
}

bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase)
{
    if (!hwnd)
        return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

bool InvalidateRegion(HWND hwnd, const TRegion& region, bool erase)
{
    return RedrawWindow(hwnd, nullptr, &region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

bool ValidateRect(HWND hwnd, const RECT* rect)
{
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

bool ValidateRegion(HWND hwnd, const TRegion& region)
{
    return RedrawWindow(hwnd, nullptr, &region, RDW_VALIDATE | RDW_NOCHILDREN);
}

TRegion GetUpdateRegion(HWND hwnd)
{
    TWnd* w = Find(hwnd);
    return w ? w->update : TRegion();
}

bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase)
{
    TWnd* w = Find(hwnd);
    if (!w)
        return false;
    if (rect)
        *rect = w->update.IsEmpty() ? TRect() : w->update.Bounds();
    if (erase && !w->update.IsEmpty() && w->erasePending) {
        w->erasePending = false;
        if (HDC dc = GetDC(hwnd)) {
            SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            ReleaseDC(hwnd, dc);
        }
    }
    return !w->update.IsEmpty();
}

bool UpdateWindow(HWND hwnd)
{
    if (!IsWindow(hwnd))
        return false;
    PaintTree(hwnd);
    return true;
}

HDC BeginPaint(HWND hwnd, PAINTSTRUCT& ps)
{
    ps = PAINTSTRUCT {};
    TWnd* w = Find(hwnd);
    if (!w || w == Desktop())
        return nullptr;
    if (w->framePending) {
        w->framePending = false;
        SendMessage(hwnd, WM_NCPAINT, 1, 0);
        if (!(w = Find(hwnd)))
            return nullptr;
    }
    TRegion area = w->update;
    const bool erase = w->erasePending;
    w->update.Clear();
    w->erasePending = false;
    w->internalPaint = false;
    ps.rcPaint = area.IsEmpty() ? TRect() : area.Bounds();
    IDeviceContextFactory* f = GetDeviceContextFactory();
    if (!f || !EffectivelyVisible(w))
        return nullptr;
    TPaintTarget target = GetPaintTarget(hwnd, true);
    area.Offset(target.Origin.X, target.Origin.Y);
    target.Clip = target.Clip.Intersect(area);
    HDC dc = f->CreateWindowDC(target);
    ps.hdc = dc;
    if (!dc)
        return nullptr;
    auto& s = State();
    s.paintDCs[dc] = hwnd;
    if (TWnd* top = TopOf(w))
        top->dirty = top->dirty.Union(target.Clip);
    if (erase)
        ps.fErase = SendMessage(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) == 0;
    return dc;
}

bool EndPaint(HWND, const PAINTSTRUCT& ps)
{
    if (!ps.hdc)
        return true;
    auto& s = State();
    s.paintDCs.erase(ps.hdc);
    if (IDeviceContextFactory* f = GetDeviceContextFactory())
        f->ReleaseWindowDC(ps.hdc);
    return true;
}

namespace {

HDC AcquireDC(HWND hwnd, bool client)
{
    IDeviceContextFactory* f = GetDeviceContextFactory();
    if (!f)
        return nullptr;
    TWnd* w = hwnd ? Find(hwnd) : Desktop();
    if (!w)
        return nullptr;
    TPaintTarget target;
    if (w == Desktop()) {
        // The screen: a scratch surface the size of the screen, for
        // measuring and for callers that only need a reference DC.
        static std::vector<std::uint8_t> screenPixels;
        const TRect sr = GetWindowBackend().GetScreenRect();
        const std::size_t bytes = std::size_t(std::max(1, sr.Width())) * std::size_t(std::max(1, sr.Height())) * 4;
        if (screenPixels.size() != bytes)
            screenPixels.assign(bytes, 0);
        target.Buffer = { screenPixels.data(), std::max(1, sr.Width()), std::max(1, sr.Height()), std::max(1, sr.Width()) * 4 };
        target.Clip = TRegion(TRect(0, 0, target.Buffer.Width, target.Buffer.Height));
    } else {
        target = GetPaintTarget(hwnd, client);
        if (TWnd* top = TopOf(w))
            top->dirty = top->dirty.Union(target.Clip);
    }
    HDC dc = f->CreateWindowDC(target);
    if (dc)
        State().paintDCs[dc] = hwnd;
    return dc;
}

} // namespace

HDC GetDC(HWND hwnd)
{
    return AcquireDC(hwnd, true);
}

HDC GetWindowDC(HWND hwnd)
{
    return AcquireDC(hwnd, false);
}

int ReleaseDC(HWND, HDC dc)
{
    auto& s = State();
    if (!dc || !s.paintDCs.erase(dc))
        return 0;
    if (IDeviceContextFactory* f = GetDeviceContextFactory())
        f->ReleaseWindowDC(dc);
    return 1;
}

void PresentDirtyWindows()
{
    for (TWnd* top : std::vector<TWnd*>(Desktop()->children)) {
        if (top->dirty.IsEmpty() || top->pixels.empty())
            continue;
        TRegion dirty = top->dirty;
        top->dirty.Clear();
        if (top->style & WS_VISIBLE)
            GetWindowBackend().Present(top->handle, { top->pixels.data(), top->bufWidth, top->bufHeight, top->bufWidth * 4 }, dirty);
    }
}

TPixelBuffer GetWindowBuffer(HWND top)
{
    TWnd* w = Find(top);
    if (!w || !w->IsTop() || w->pixels.empty())
        return {};
    return { w->pixels.data(), w->bufWidth, w->bufHeight, w->bufWidth * 4 };
}
