#pragma once

// State and small helpers shared by the files that implement the control
// classes of Controls.h (Controls*.cpp). Not part of the framework's API.

#include <memory>
#include <unordered_map>

#include "platform/vcl/Controls.h"

namespace controls_detail {

// Registries live until the process ends: controls owned by the
// application are destroyed at exit, after ordinary statics may be gone.
std::unordered_map<HWND, TWinControl*>& ControlsByWindow();

// The control whose window is being created: the first messages of a new
// window arrive before CreateWindowEx returns its handle.
extern TWinControl* g_creating;
extern TControl* g_captureControl;
extern TControl* g_mouseControl;

// The control drag in progress (one at a time).
struct TDragStateInfo {
    TControl* Source { nullptr };
    TPoint Start;
    int Threshold { 0 };
    bool Started { false };
    TControl* Target { nullptr };
    bool Accepted { false };
    TDragObject* Object { nullptr };
    std::unique_ptr<TDragObject> OwnObject;
};
extern TDragStateInfo g_drag;

inline TPoint PointOf(LPARAM l) { return { GET_X_LPARAM(l), GET_Y_LPARAM(l) }; }
inline LPARAM LParamOf(TPoint p) { return MAKELPARAM(WORD(std::int16_t(p.X)), WORD(std::int16_t(p.Y))); }

inline bool IsMouseButtonMsg(UINT m)
{
    return m >= WM_LBUTTONDOWN && m <= WM_MBUTTONDBLCLK;
}

void ReportException();
int DragThreshold();

} // namespace controls_detail

using namespace controls_detail;

// Moves a started drag to `screen`: tells the target under it and picks the cursor.
class TControlDragger {
public:
    static void Move(TPoint screen);
    static void Done(bool drop, TPoint screen);
};
