#include "platform/gdi/WindowRegions.h"

#include "platform/gdi/GdiObjects.h"
#include "platform/win/Window.h"

namespace {

int Kind(const TRegion& r)
{
    return r.IsEmpty() ? NULLREGION : r.Rects().size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

std::shared_ptr<gdi::TRegionObj> RegionOf(HRGN h)
{
    return gdi::LookupAs<gdi::TRegionObj>(h, gdi::TKind::Region);
}

} // namespace

BOOL InvalidateRgn(HWND window, HRGN rgn, BOOL erase)
{
    if (!rgn)
        return InvalidateRect(window, nullptr, erase != 0);
    auto r = RegionOf(rgn);
    return r && InvalidateRegion(window, r->Rgn, erase != 0);
}

BOOL ValidateRgn(HWND window, HRGN rgn)
{
    if (!rgn)
        return ValidateRect(window, nullptr);
    auto r = RegionOf(rgn);
    return r && ValidateRegion(window, r->Rgn);
}

int GetUpdateRgn(HWND window, HRGN rgn, BOOL erase)
{
    auto r = RegionOf(rgn);
    if (!r || !IsWindow(window))
        return ERROR;
    if (erase) {
        // Asking for the update rectangle with erase sends the pending erase.
        RECT ignored;
        GetUpdateRect(window, &ignored, true);
    }
    r->Rgn = GetUpdateRegion(window);
    return Kind(r->Rgn);
}

int SetWindowRgn(HWND window, HRGN rgn, BOOL redraw)
{
    if (!rgn)
        return SetWindowRegion(window, std::nullopt, redraw != 0) ? 1 : 0;
    auto r = RegionOf(rgn);
    if (!r || !SetWindowRegion(window, r->Rgn, redraw != 0))
        return 0;
    gdi::Unregister(rgn);
    return 1;
}

int GetWindowRgn(HWND window, HRGN rgn)
{
    auto r = RegionOf(rgn);
    if (!r)
        return ERROR;
    const auto region = GetWindowRegion(window);
    if (!region)
        return ERROR;
    r->Rgn = *region;
    return Kind(r->Rgn);
}
