#pragma once
// The window system: window objects in a tree with z-order, window
// procedures, sent and posted messages, timers, painting, focus, capture
// and activation. All calls belong to the GUI thread except PostMessage,
// PostThreadMessage and the wake-up of the loop, which any thread may use.

#include <functional>
#include <optional>

#include "platform/rtl/Region.h"
#include "platform/win/Surface.h"
#include "platform/win/WinUser.h"

// Window classes.
ATOM RegisterClassEx(const WNDCLASSEX& wc);
bool UnregisterClass(const String& className);
bool GetClassInfoEx(const String& className, WNDCLASSEX& out);
ULONG_PTR GetClassLongPtr(HWND hwnd, int index);
ULONG_PTR SetClassLongPtr(HWND hwnd, int index, LONG_PTR value);

// Creation and destruction. For a WS_CHILD window `parent` is its parent;
// for any other window it is the owner (which may be null).
HWND CreateWindowEx(DWORD exStyle, const String& className, const String& windowName, DWORD style,
    int x, int y, int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* param);
bool DestroyWindow(HWND hwnd);
bool IsWindow(HWND hwnd);

// Window procedures.
LRESULT DefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtr(HWND hwnd, int index);
LONG_PTR SetWindowLongPtr(HWND hwnd, int index, LONG_PTR value);
inline LONG GetWindowLong(HWND hwnd, int index) { return LONG(GetWindowLongPtr(hwnd, index)); }
inline LONG SetWindowLong(HWND hwnd, int index, LONG value) { return LONG(SetWindowLongPtr(hwnd, index, value)); }
String GetWindowText(HWND hwnd);
bool SetWindowText(HWND hwnd, const String& text);
String GetClassName(HWND hwnd);

// Tree and z-order.
HWND GetDesktopWindow();
HWND GetParent(HWND hwnd);
HWND SetParent(HWND child, HWND newParent);
HWND GetAncestor(HWND hwnd, UINT flags);
HWND GetWindow(HWND hwnd, UINT cmd);
HWND GetTopWindow(HWND parent);
bool IsChild(HWND parent, HWND hwnd);
int GetDlgCtrlID(HWND hwnd);

// Geometry. Window rectangles are in screen coordinates, client rectangles
// start at 0,0.
bool SetWindowPos(HWND hwnd, HWND insertAfter, int x, int y, int cx, int cy, UINT flags);
bool MoveWindow(HWND hwnd, int x, int y, int width, int height, bool repaint);
bool ShowWindow(HWND hwnd, int cmd);
bool IsWindowVisible(HWND hwnd);
bool IsWindowEnabled(HWND hwnd);
bool EnableWindow(HWND hwnd, bool enable);
bool IsIconic(HWND hwnd);
bool IsZoomed(HWND hwnd);
bool GetWindowRect(HWND hwnd, RECT& out);
bool GetClientRect(HWND hwnd, RECT& out);
bool ClientToScreen(HWND hwnd, POINT& p);
bool ScreenToClient(HWND hwnd, POINT& p);
int MapWindowPoints(HWND from, HWND to, POINT* points, UINT count);
int MapWindowPoints(HWND from, HWND to, RECT& rect);
HWND WindowFromPoint(POINT screen);
HWND ChildWindowFromPoint(HWND parent, POINT client);
HWND ChildWindowFromPointEx(HWND parent, POINT client, UINT flags);
// Window region in window coordinates; nullopt removes it. Hit testing and
// painting honour it.
bool SetWindowRegion(HWND hwnd, std::optional<TRegion> region, bool redraw);
std::optional<TRegion> GetWindowRegion(HWND hwnd);
bool SetLayeredWindowAttributes(HWND hwnd, COLORREF key, BYTE alpha, DWORD flags);
bool GetLayeredWindowAttributes(HWND hwnd, COLORREF* key, BYTE* alpha, DWORD* flags);
// Per-pixel alpha contents of a layered window (the drawing layer's
// UpdateLayeredWindow hands its bitmap over here): the premultiplied pixels
// become the window's image, composed with their own alpha times `alpha`.
bool UpdateLayeredWindowPixels(HWND hwnd, const POINT* pos, const SIZE* size, const TPixelBuffer& pixels, BYTE alpha);
bool FlashWindow(HWND hwnd, bool invert);

// Monitors: the back end's screen is the one monitor.
HMONITOR MonitorFromPoint(POINT p, DWORD flags);
HMONITOR MonitorFromRect(const RECT& r, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
bool GetMonitorInfo(HMONITOR monitor, MONITORINFO& info);

// Messages.
LRESULT SendMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
bool PostMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
bool PostThreadMessage(DWORD threadId, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
bool PeekMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeFlags);
// Answers 0 for WM_QUIT, 1 otherwise; blocks until a message arrives.
int GetMessage(MSG& msg, HWND hwnd, UINT filterMin, UINT filterMax);
bool TranslateMessage(const MSG& msg);
LRESULT DispatchMessage(const MSG& msg);
bool InSendMessage();
DWORD GetMessageTime();
DWORD GetMessagePos();
DWORD GetCurrentThreadId();
// Stable ids from 0xC000 per name (shared with clipboard format names).
UINT RegisterWindowMessage(const String& name);
// Blocks until a message is available or `timeoutMs` passed (INFINITE).
bool WaitMessage(DWORD timeoutMs = 0xFFFFFFFFu);

// Timers. A zero id with a null window makes a thread timer with a new id.
UINT_PTR SetTimer(HWND hwnd, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
bool KillTimer(HWND hwnd, UINT_PTR id);

// Listeners told after a top-level window moved or changed its size (in
// place of a call-window-procedure hook watching the position messages).
// Ids start at 1; listeners run on the thread that moved the window.
using TTopLevelMovedListener = std::function<void(HWND top)>;
UINT_PTR SubscribeTopLevelMoved(TTopLevelMovedListener listener);
void UnsubscribeTopLevelMoved(UINT_PTR id);

// Painting. Regions are in client coordinates.
bool InvalidateRect(HWND hwnd, const RECT* rect, bool erase);
bool InvalidateRegion(HWND hwnd, const TRegion& region, bool erase);
bool ValidateRect(HWND hwnd, const RECT* rect);
bool ValidateRegion(HWND hwnd, const TRegion& region);
bool GetUpdateRect(HWND hwnd, RECT* rect, bool erase);
// The pending update region; empty when nothing is invalid.
TRegion GetUpdateRegion(HWND hwnd);
bool UpdateWindow(HWND hwnd);
bool RedrawWindow(HWND hwnd, const RECT* rect, const TRegion* region, UINT flags);
HDC BeginPaint(HWND hwnd, PAINTSTRUCT& ps);
bool EndPaint(HWND hwnd, const PAINTSTRUCT& ps);
HDC GetDC(HWND hwnd);
HDC GetWindowDC(HWND hwnd);
int ReleaseDC(HWND hwnd, HDC dc);
// Where a window draws (its client area when `client`), without a DC.
TPaintTarget GetPaintTarget(HWND hwnd, bool client);

// Scroll bars of windows with WS_HSCROLL / WS_VSCROLL (SB_HORZ, SB_VERT,
// SB_BOTH), drawn in the non-client area. The position is kept within
// nMin .. nMax - max(nPage - 1, 0). Setting the information never shows
// or hides a bar; ShowScrollBar does, by the window's style bits.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO& info, bool redraw);
bool GetScrollInfo(HWND hwnd, int bar, SCROLLINFO& info);
bool ShowScrollBar(HWND hwnd, int bar, bool show);
bool EnableScrollBar(HWND hwnd, UINT bars, UINT arrows);

// Focus, activation and capture.
HWND SetFocus(HWND hwnd);
HWND GetFocus();
HWND GetActiveWindow();
HWND SetActiveWindow(HWND hwnd);
HWND GetForegroundWindow();
bool SetForegroundWindow(HWND hwnd);
HWND SetCapture(HWND hwnd);
bool ReleaseCapture();
HWND GetCapture();
bool TrackMouseEvent(TRACKMOUSEEVENT& tme);
