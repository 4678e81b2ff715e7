// The update bracket: bulk operations switch the window's redraw off and
// the platform grid's per-change layout work with it, and the last
// EndUpdate repaints once.

#include "grid/core/ControlList.h"
#include "grid/core/DedOzovedUrad.h"
#include "platform/win/Window.h"
#include "platform/win/WinUser.h"

// A block counts whether or not the grid is visible: a block opened while
// visible and closed while hidden must still bring the count back to 0, or
// the grid would never paint again.
void TDedOzovedUrad::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdating(true);
    ++FUpdateCount;
    if (HandleAllocated())
        SendMessage(GetHandle(), WM_SETREDRAW, 0, 0);
}

void TDedOzovedUrad::EndUpdate()
{
    if (FUpdateCount > 0)
        --FUpdateCount;
    if (TBaseGrid::IsDestroying() || FUpdateCount != 0)
        return;
    SetUpdating(false);
    FSelChange = false;
    if (!HandleAllocated())
        return;
    SendMessage(GetHandle(), WM_SETREDRAW, 1, 0);
    InvalidateRect(GetHandle(), nullptr, false);
    DrawNonClientBorder();
    SearchPanelEndUpdate();
    if (FControlList->Count() > 0)
        CellControlsUpdate(false);
}
