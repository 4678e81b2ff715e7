#pragma once
// How the window system hands out device contexts without depending on the
// drawing layer: the drawing layer installs a factory that wraps a window's
// pixels in a device context.

#include <cstdint>

#include "platform/rtl/Region.h"
#include "platform/rtl/Types.h"

// Pixels of a top-level window's back buffer: 32-bit premultiplied ARGB in
// native byte order (cairo's ARGB32 layout), rows `Stride` bytes apart.
struct TPixelBuffer {
    std::uint8_t* Data { nullptr };
    int Width { 0 };
    int Height { 0 };
    int Stride { 0 };
};

// Where a window draws: the back buffer of its top-level window, the position
// of the window's drawing origin (client or window origin) in that buffer,
// and the clip in buffer coordinates.
struct TPaintTarget {
    HWND Window { nullptr };
    TPixelBuffer Buffer;
    TPoint Origin;
    TRegion Clip;
};

class IDeviceContextFactory {
public:
    virtual ~IDeviceContextFactory() = default;
    virtual HDC CreateWindowDC(const TPaintTarget& target) = 0;
    virtual void ReleaseWindowDC(HDC dc) = 0;

    // What the window system paints itself when a window leaves it to the
    // default handling; a factory that draws nothing leaves those pixels.
    // `rect` is in the DC's coordinates.
    virtual bool FillBackground(HDC /*dc*/, const TRect& /*rect*/, HBRUSH /*brush*/) { return false; }
    // The classic frame of the frame styles given (the window layer leaves
    // out those the desktop draws), filling exactly the widths
    // DefaultClientInsets reserves for them.
    virtual void DrawWindowFrame(HDC /*dc*/, const TRect& /*windowRect*/, DWORD /*style*/, DWORD /*exStyle*/) { }
    // A window scroll bar in the classic look: arrows at both ends, the
    // track, and the thumb (empty when there is none to show).
    virtual void DrawScrollBar(HDC /*dc*/, const TRect& /*bar*/, bool /*vertical*/, const TRect& /*thumb*/, UINT /*disabledArrows*/) { }
    virtual void DrawScrollCorner(HDC /*dc*/, const TRect& /*corner*/) { }
};

void SetDeviceContextFactory(IDeviceContextFactory* factory);
IDeviceContextFactory* GetDeviceContextFactory();
