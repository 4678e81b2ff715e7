#include "platform/gdi/SysColors.h"

#include <array>

#include "platform/gdi/GdiObjects.h"

namespace {

constexpr std::array<COLORREF, SysColorCount> kClassic = {
    RGB(212, 208, 200), // scroll bar
    RGB(58, 110, 165),  // desktop
    RGB(10, 36, 106),   // active caption
    RGB(128, 128, 128), // inactive caption
    RGB(212, 208, 200), // menu
    RGB(255, 255, 255), // window
    RGB(0, 0, 0),       // window frame
    RGB(0, 0, 0),       // menu text
    RGB(0, 0, 0),       // window text
    RGB(255, 255, 255), // caption text
    RGB(212, 208, 200), // active border
    RGB(212, 208, 200), // inactive border
    RGB(128, 128, 128), // application workspace
    RGB(10, 36, 106),   // highlight
    RGB(255, 255, 255), // highlight text
    RGB(212, 208, 200), // button face
    RGB(128, 128, 128), // button shadow
    RGB(128, 128, 128), // grey text
    RGB(0, 0, 0),       // button text
    RGB(212, 208, 200), // inactive caption text
    RGB(255, 255, 255), // button highlight
    RGB(64, 64, 64),    // dark shadow
    RGB(212, 208, 200), // light
    RGB(0, 0, 0),       // info text
    RGB(255, 255, 225), // info background
    RGB(181, 181, 181), // (unused entry)
    RGB(0, 0, 128),     // hot-tracked item
    RGB(166, 202, 240), // active caption gradient
    RGB(192, 192, 192), // inactive caption gradient
    RGB(10, 36, 106),   // menu highlight
    RGB(212, 208, 200), // menu bar
};

} // namespace

DWORD GetSysColor(int index)
{
    if (index < 0 || index >= SysColorCount)
        return 0;
    return kClassic[std::size_t(index)];
}

HBRUSH GetSysColorBrush(int index)
{
    static std::array<std::shared_ptr<gdi::TBrush>, SysColorCount> brushes;
    if (index < 0 || index >= SysColorCount)
        return nullptr;
    auto& b = brushes[std::size_t(index)];
    if (!b) {
        b = std::make_shared<gdi::TBrush>();
        b->Stock = true;
        b->SysColorIndex = index;
        b->Color = GetSysColor(index);
        gdi::Register(b);
    }
    return HBRUSH(gdi::HandleOf(b.get()));
}
