#pragma once
// Internal state of the window manager, shared by the files of this folder.
// Nothing outside platform/win includes this.

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <vector>

#include "platform/rtl/Region.h"
#include "platform/win/Backend.h"
#include "platform/win/Surface.h"
#include "platform/win/WinUser.h"

namespace winimpl {

struct TWndClass {
    WNDCLASSEX info;
    ATOM atom { 0 };
};

// One standard scroll bar of a window (its range, page, position and the
// arrows disabled by EnableScrollBar).
struct TScrollBarState {
    int min { 0 };
    int max { 100 };
    UINT page { 0 };
    int pos { 0 };
    int trackPos { 0 };
    UINT disabled { ESB_ENABLE_BOTH };
};

struct TWnd {
    HWND handle { nullptr };
    std::shared_ptr<TWndClass> cls;
    String text;
    DWORD style { 0 };
    DWORD exStyle { 0 };
    WNDPROC proc { nullptr };
    LONG_PTR userData { 0 };
    LONG_PTR id { 0 };
    HINSTANCE instance { nullptr };
    TWnd* parent { nullptr }; // the desktop for top-level windows
    TWnd* owner { nullptr };
    std::vector<TWnd*> children; // z-order, topmost first
    TRect rect; // window rectangle in the parent's client coordinates
    TRect nc; // client insets: Left, Top, Right, Bottom widths
    std::optional<TRegion> region; // window coordinates
    TRegion update; // client coordinates
    bool erasePending { false };
    bool framePending { false };
    bool internalPaint { false };
    bool redraw { true };
    bool destroying { false };
    bool created { false };
    // Top-level windows only.
    std::vector<std::uint8_t> pixels;
    int bufWidth { 0 };
    int bufHeight { 0 };
    TRegion dirty;
    BYTE alpha { 255 };
    COLORREF colorKey { 0 };
    DWORD layeredFlags { 0 };
    bool perPixelAlpha { false };
    TScrollBarState scrollBars[2]; // SB_HORZ, SB_VERT
    // The rectangle a maximised window goes back to when restored.
    std::optional<TRect> restoreRect;

    bool IsTop() const;
    TRect ClientRect() const { return { 0, 0, std::max(0, rect.Width() - nc.Left - nc.Right), std::max(0, rect.Height() - nc.Top - nc.Bottom) }; }
};

struct TTimer {
    HWND hwnd { nullptr };
    UINT_PTR id { 0 };
    UINT interval { 0 };
    UInt64 due { 0 };
    TIMERPROC proc { nullptr };
    UInt64 order { 0 };
};

struct TState {
    std::map<HWND, std::unique_ptr<TWnd>> windows;
    std::map<String, std::shared_ptr<TWndClass>> classes; // by upper-cased name
    std::unique_ptr<TWnd> desktop;
    std::uintptr_t nextHandle { 0x1000 };
    ATOM nextAtom { 0x100 };
    std::vector<TTimer> timers;
    UInt64 timerOrder { 0 };
    UINT_PTR nextThreadTimer { 0x7FF0 };
    bool quit { false };
    int quitCode { 0 };
    HWND focus { nullptr };
    HWND active { nullptr };
    HWND capture { nullptr };
    HCURSOR cursor { nullptr };
    TPoint pointer;
    DWORD messageTime { 0 };
    TPoint messagePos;
    // TrackMouseEvent.
    HWND trackLeave { nullptr };
    HWND trackHover { nullptr };
    DWORD hoverTime { 400 };
    UInt64 lastMove { 0 };
    // Double clicks.
    HWND lastClickWnd { nullptr };
    int lastClickButton { -1 };
    UInt64 lastClickTime { 0 };
    TPoint lastClickPos;
    bool lastWasDouble { false };
    HWND lastPointerWindow { nullptr };
    // Key state: [vk] bit 0x80 down, bit 0x01 toggled.
    BYTE syncKeys[256] {};
    BYTE asyncKeys[256] {};
    std::map<HDC, HWND> paintDCs;
    // A user move or resize in progress (started by the default handling
    // of a press on a caption or sizing border).
    HWND sizeMoveWnd { nullptr };
    LRESULT sizeMoveHit { 0 };
    TPoint sizeMoveStart;
    TRect sizeMoveRect;
    int sendDepth { 0 };
    // A scroll bar thumb dragged with the left button.
    HWND thumbWnd { nullptr };
    int thumbBar { SB_VERT };
    int thumbGrab { 0 }; // pointer offset from the thumb's start
};

TState& State();
TWnd* Find(HWND hwnd);
TWnd* Desktop();

// Thread-safe posted-message queue.
struct TPostQueue {
    std::mutex lock;
    std::condition_variable arrived;
    std::deque<MSG> messages;
    bool wake { false };
};
TPostQueue& PostQueue();
void PostFront(const MSG& msg);
void WakeQueue();

// Geometry helpers.
TPoint WindowOriginInTop(const TWnd* w); // window's top-left in its top-level window
TWnd* TopOf(TWnd* w);
TPoint ClientOriginOnScreen(const TWnd* w);
bool EffectivelyVisible(const TWnd* w);
bool EffectivelyEnabled(const TWnd* w);
TRegion VisibleRegion(const TWnd* w, bool client); // top-level buffer coordinates
void EnsureBuffer(TWnd* top);
// Adds to the update regions: `children` includes the direct children,
// `allChildren` every descendant whatever its WS_CLIPCHILDREN.
void InvalidateTree(TWnd* w, const TRegion& clientRgn, bool erase, bool children, bool allChildren);
void InvalidateWholeWindow(TWnd* w);

// Activation and focus (Input.cpp).
void Activate(HWND hwnd, WORD how);
void ForgetWindow(HWND hwnd); // focus, capture, activation when a window goes
void KeyMessageTaken(const MSG& msg);
void CheckMouseHover();
void BeginSizeMove(HWND hwnd, LRESULT hit, TPoint screen);

// Window scroll bars (ScrollBars.cpp): the press on a bar (arrows, page
// areas, the thumb), the thumb drag, and the bars' painting on WM_NCPAINT.
void ScrollBarPress(TWnd* w, LRESULT hit, TPoint screen);
void TrackThumb(TPoint screen);
void EndThumbTrack();
void PaintScrollBars(TWnd* w, HDC windowDC);

int Metric(int index);
// Drops the frame styles whose frame the desktop draws, leaving those the
// window's own non-client area holds.
void OwnFrameStyles(DWORD& style, DWORD& exStyle, bool top);
TRect DefaultClientInsets(DWORD style, DWORD exStyle, bool top);
TWnd* WindowAtPoint(TPoint screen);
void PaintNow(HWND hwnd); // sends WM_PAINT when the window needs it
bool NeedsPaint(const TWnd* w);

// Drag and drop (Ole.cpp, DragDrop.cpp).
bool OleStarted(); // OLE is initialised on the calling thread
void ForgetDropTarget(HWND hwnd); // the window is gone: its registration lets go
// Runs a step of an interface call, or a call into a caller's object, and
// answers what it throws as a result code, so no exception crosses it.
template<class F>
HRESULT GuardedCall(F f)
{
    try {
        return f();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace winimpl
