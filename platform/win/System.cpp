#include "platform/win/System.h"

#include "platform/win/Backend.h"
#include "platform/win/WindowManager.h"

namespace {

struct TSettings {
    UINT doubleClickTime { 500 };
    bool swapButtons { false };
    UINT wheelLines { 3 };
    bool menuAnimation { true };
    std::optional<TRect> workArea;
};

TSettings& Settings()
{
    static TSettings s;
    return s;
}

} // namespace

int winimpl::Metric(int index)
{
    return GetSystemMetrics(index);
}

int GetSystemMetrics(int index)
{
    const TRect screen = GetWindowBackend().GetScreenRect();
    const TRect work = Settings().workArea.value_or(GetWindowBackend().GetWorkArea());
    switch (index) {
    case SM_CXSCREEN: case SM_CXVIRTUALSCREEN: return screen.Width();
    case SM_CYSCREEN: case SM_CYVIRTUALSCREEN: return screen.Height();
    case SM_XVIRTUALSCREEN: return screen.Left;
    case SM_YVIRTUALSCREEN: return screen.Top;
    case SM_CXFULLSCREEN: return work.Width();
    case SM_CYFULLSCREEN: return work.Height() - 19;
    case SM_CXMAXIMIZED: return work.Width() + 8;
    case SM_CYMAXIMIZED: return work.Height() + 8;
    case SM_CXVSCROLL: case SM_CYHSCROLL: case SM_CYVSCROLL: case SM_CXHSCROLL: return 17;
    case SM_CYVTHUMB: case SM_CXHTHUMB: return 17;
    case SM_CYCAPTION: return 19;
    case SM_CYMENU: return 19;
    case SM_CXBORDER: case SM_CYBORDER: return 1;
    case SM_CXFIXEDFRAME: case SM_CYFIXEDFRAME: return 3;
    case SM_CXFRAME: case SM_CYFRAME: return 4;
    case SM_CXEDGE: case SM_CYEDGE: return 2;
    case SM_CXFOCUSBORDER: case SM_CYFOCUSBORDER: return 1;
    case SM_CXICON: case SM_CYICON: case SM_CXCURSOR: case SM_CYCURSOR: return 32;
    case SM_CXSMICON: case SM_CYSMICON: return 16;
    case SM_CXSIZE: case SM_CYSIZE: return 18;
    case SM_CXMIN: return 112;
    case SM_CYMIN: return 27;
    case SM_CXDOUBLECLK: case SM_CYDOUBLECLK: return 4;
    case SM_CXDRAG: case SM_CYDRAG: return 4;
    case SM_CXMENUCHECK: case SM_CYMENUCHECK: return 13;
    case SM_SWAPBUTTON: return Settings().swapButtons ? 1 : 0;
    case SM_CMOUSEBUTTONS: return 3;
    case SM_MOUSEWHEELPRESENT: return 1;
    case SM_CMONITORS: return 1;
    default: return 0;
    }
}

bool SystemParametersInfo(UINT action, UINT uiParam, void* pvParam, UINT)
{
    auto& s = Settings();
    switch (action) {
    case SPI_GETWORKAREA:
        if (!pvParam)
            return false;
        *static_cast<RECT*>(pvParam) = s.workArea.value_or(GetWindowBackend().GetWorkArea());
        return true;
    case SPI_SETWORKAREA:
        if (pvParam)
            s.workArea = *static_cast<const RECT*>(pvParam);
        else
            s.workArea.reset();
        return true;
    case SPI_GETWHEELSCROLLLINES:
    case SPI_GETWHEELSCROLLCHARS:
        if (!pvParam)
            return false;
        *static_cast<UINT*>(pvParam) = s.wheelLines;
        return true;
    case SPI_SETWHEELSCROLLLINES:
        s.wheelLines = uiParam;
        return true;
    case SPI_GETMENUANIMATION:
    case SPI_GETCOMBOBOXANIMATION:
    case SPI_GETTOOLTIPANIMATION:
        if (!pvParam)
            return false;
        *static_cast<BOOL*>(pvParam) = s.menuAnimation ? TRUE : FALSE;
        return true;
    case SPI_SETMENUANIMATION:
        // The value travels in the pointer argument itself.
        s.menuAnimation = pvParam != nullptr;
        return true;
    case SPI_GETHIGHCONTRAST: {
        auto* hc = static_cast<HIGHCONTRASTW*>(pvParam);
        if (!hc)
            return false;
        hc->dwFlags = 0;
        hc->lpszDefaultScheme = nullptr;
        return true;
    }
    case SPI_GETDRAGFULLWINDOWS:
        if (!pvParam)
            return false;
        *static_cast<BOOL*>(pvParam) = TRUE;
        return true;
    case SPI_GETMOUSEHOVERTIME:
        if (!pvParam)
            return false;
        *static_cast<UINT*>(pvParam) = 400;
        return true;
    case SPI_GETKEYBOARDDELAY:
        if (!pvParam)
            return false;
        *static_cast<int*>(pvParam) = 1;
        return true;
    case SPI_GETKEYBOARDSPEED:
        if (!pvParam)
            return false;
        *static_cast<DWORD*>(pvParam) = 31;
        return true;
    default:
        return false;
    }
}

UINT GetDoubleClickTime()
{
    return Settings().doubleClickTime;
}

bool SetDoubleClickTime(UINT ms)
{
    Settings().doubleClickTime = ms == 0 ? 500 : std::min<UINT>(ms, 5000);
    return true;
}

bool SwapMouseButton(bool swap)
{
    const bool was = Settings().swapButtons;
    Settings().swapButtons = swap;
    return was;
}
