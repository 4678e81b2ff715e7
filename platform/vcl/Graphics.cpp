#include "platform/vcl/Graphics.h"

#include "platform/gdi/SysColors.h"

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return TColor(GetSysColor(color & 0xFF));
    return color;
}
