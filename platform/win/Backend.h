#pragma once
// What the window manager needs from the machine it runs on: a screen,
// native windows for visible top-level windows, presentation of their back
// buffers, and a source of input. The headless back end keeps everything in
// memory; the SDL back end shows real windows.

#include <optional>

#include "platform/rtl/Region.h"
#include "platform/win/Surface.h"
#include "platform/win/WinUser.h"

class IWindowBackend {
public:
    virtual ~IWindowBackend() = default;
    virtual const char* GetName() const = 0;
    virtual TRect GetScreenRect() const = 0;
    virtual TRect GetWorkArea() const = 0;

    // A top-level window was shown, hidden, moved, resized, retitled or
    // restyled; the back end reads its state through the window calls.
    virtual void TopLevelChanged(HWND) { }
    virtual void TopLevelDestroyed(HWND) { }
    // Painting into `top` finished; `dirty` is in window coordinates.
    virtual void Present(HWND /*top*/, const TPixelBuffer& /*pixels*/, const TRegion& /*dirty*/) { }
    virtual void CursorChanged(HCURSOR) { }
    virtual void PointerWarped(TPoint) { }
    virtual void Beep(UINT) { }

    // Feeds pending native events into the window manager.
    virtual void PollEvents() { }
    // Blocks up to `timeoutMs` for native events or Wake; answers false when
    // the back end has no native events (the queue then waits by itself).
    virtual bool WaitEvents(DWORD /*timeoutMs*/) { return false; }
    // Any thread: interrupts WaitEvents.
    virtual void Wake() { }

    virtual bool SetDesktopClipboardText(const String&) { return false; }
    virtual std::optional<String> GetDesktopClipboardText() { return std::nullopt; }
};

// Installs `backend` (not owned); nullptr restores the built-in headless one.
void SetWindowBackend(IWindowBackend* backend);
IWindowBackend& GetWindowBackend();

// Input as it arrives from the machine (or from a test): every back end and
// the headless helpers go through these, so they take the same path.
// Buttons are physical: 0 left, 1 right, 2 middle.
void InjectMouseMove(TPoint screen);
void InjectMouseButton(int button, bool down, TPoint screen);
void InjectMouseWheel(int delta, TPoint screen, bool horizontal = false);
void InjectKey(WORD vk, bool down, bool autoRepeat = false);
// A character no key of the keyboard map produces (text input).
void InjectChar(char32_t ch);
// The desktop asked to close a top-level window.
void InjectCloseRequest(HWND top);
// The desktop moved, resized or focused a native window.
void InjectTopLevelMoved(HWND top, const TRect& screenRect);
void InjectTopLevelFocused(HWND top);
// The desktop maximised or restored a native window; its new size comes as
// a move of its own.
void InjectTopLevelMaximized(HWND top, bool maximized);
// Presents every top-level window painted since the last call.
void PresentDirtyWindows();
// The back buffer of a top-level window (empty before its first paint).
TPixelBuffer GetWindowBuffer(HWND top);
