#pragma once
// The in-memory back end: a virtual screen, an injectable clock, beeps on
// record, and input helpers that feed the same path real input takes.

#include <memory>
#include <vector>

#include "platform/rtl/Clock.h"
#include "platform/win/Backend.h"

class THeadlessBackend : public IWindowBackend {
public:
    explicit THeadlessBackend(TSize screen = { 1280, 1024 }) : m_screen(screen) { }
    const char* GetName() const override { return "headless"; }
    TRect GetScreenRect() const override { return { 0, 0, m_screen.cx, m_screen.cy }; }
    TRect GetWorkArea() const override { return m_workArea.value_or(GetScreenRect()); }
    void SetScreenSize(TSize s) { m_screen = s; }
    void SetWorkArea(std::optional<TRect> r) { m_workArea = r; }

    void Present(HWND top, const TPixelBuffer&, const TRegion&) override { m_presented.push_back(top); }
    void CursorChanged(HCURSOR c) override { m_cursor = c; }
    void Beep(UINT type) override { m_beeps.push_back(type); }
    bool SetDesktopClipboardText(const String&) override { return false; }

    const std::vector<UINT>& GetBeeps() const { return m_beeps; }
    const std::vector<HWND>& GetPresented() const { return m_presented; }
    void ClearRecords() { m_beeps.clear(); m_presented.clear(); }

private:
    TSize m_screen;
    std::optional<TRect> m_workArea;
    std::vector<UINT> m_beeps;
    std::vector<HWND> m_presented;
    HCURSOR m_cursor { nullptr };
};

namespace Headless {

// Runs every message that is due now (posted, paint, due timers) and
// answers how many were dispatched; the clock does not move.
int PumpUntilIdle();
// Moves a manual clock forward in steps, stopping at each timer's due time
// so timers fire in due order, and pumps at every step.
void PassTime(TManualClock& clock, UInt64 ms);

void MouseMove(TPoint screen);
void MouseDown(TPoint screen, int button = 0);
void MouseUp(TPoint screen, int button = 0);
void Click(TPoint screen, int button = 0);
void DoubleClick(TPoint screen, int button = 0);
void Drag(TPoint from, TPoint to, int steps = 4, int button = 0);
void Wheel(int delta, TPoint screen);
// Presses and releases a key with the given modifiers held around it.
void Key(WORD vk, bool shift = false, bool ctrl = false, bool alt = false);
// Types text: characters of the keyboard map as key strokes, others as
// text input.
void Type(const String& text);
// Composes the visible top-level windows in z-order onto a screen-sized
// ARGB image (layered windows with their alpha) and reads one pixel.
std::uint32_t ScreenPixel(TPoint screen);

} // namespace Headless

// Installs a headless back end and a manual clock for one scope, and
// destroys every window left over when it ends (tests).
class THeadlessSession {
public:
    explicit THeadlessSession(TSize screen = { 1280, 1024 });
    ~THeadlessSession();
    THeadlessSession(const THeadlessSession&) = delete;
    THeadlessSession& operator=(const THeadlessSession&) = delete;
    THeadlessBackend& Backend() { return m_backend; }
    TManualClock& Clock() { return m_clock; }
    void PassTime(UInt64 ms) { Headless::PassTime(m_clock, ms); }

private:
    THeadlessBackend m_backend;
    TManualClock m_clock { 1000000 };
};

// Installs the message pump and the main-thread wake-up for workers'
// Synchronize/Queue calls; called once by whoever starts the loop.
void InstallMessageLoopHooks();
