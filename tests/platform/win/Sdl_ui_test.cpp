#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <SDL.h>

#include "platform/rtl/MainThread.h"
#include "platform/win/Headless.h"
#include "platform/win/SdlBackend.h"
#include "tests/platform/win/WinFixture.h"
#include "tests/support/Limits.h"
#include "tests/support/PrivateDisplay.h"

namespace {

TFakeDCFactory* g_factory = nullptr;
constexpr std::uint32_t kFill = 0xFF3366CCu;

LRESULT SolidProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, ps);
        g_factory->Fill(dc, kFill);
        EndPaint(h, ps);
        return 0;
    }
    return DefWindowProc(h, m, w, l);
}

// A sizeable window that may be 300 x 200 at the least and 700 wide at most.
LRESULT LimitedProc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    if (m == WM_GETMINMAXINFO) {
        auto* info = reinterpret_cast<MINMAXINFO*>(l);
        info->ptMinTrackSize = { 300, 200 };
        info->ptMaxTrackSize = { 700, 0 };
        return 0;
    }
    return SolidProc(h, m, w, l);
}

// An SDL back end on a display of its own, with both window classes and a
// fake drawing factory; skipped where no display can be opened.
class SdlDesktop : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_sdl = CreateSdlBackend();
        if (!m_sdl)
            GTEST_SKIP() << "no display can be opened";
        SetWindowBackend(m_sdl.get());
        InstallMessageLoopHooks();
        g_factory = &m_factory;
        SetDeviceContextFactory(&m_factory);
        for (auto [name, proc] : { std::pair { u"SolidWindow", &SolidProc }, std::pair { u"LimitedWindow", &LimitedProc } }) {
            WNDCLASSEX wc;
            wc.lpfnWndProc = proc;
            wc.lpszClassName = name;
            RegisterClassEx(wc);
        }
    }
    void TearDown() override
    {
        if (!m_sdl)
            return;
        UnregisterClass(u"SolidWindow");
        UnregisterClass(u"LimitedWindow");
        SetDeviceContextFactory(nullptr);
        SetMainThreadWakeHook(nullptr);
        SetProcessMessagesHook(nullptr);
        SetWindowBackend(nullptr);
        m_sdl.reset();
    }

    testsupport::TPrivateDisplay m_display { 800, 600 };
    TFakeDCFactory m_factory;
    std::unique_ptr<IWindowBackend> m_sdl;
};

} // namespace

TEST_F(SdlDesktop, TheDesktopResizesSizeableWindowsWithinTheirLimitsAndMaximisesOnRequest)
{
    struct Case {
        const char* name;
        const char16_t* windowClass;
        DWORD style;
        TNativeWindowState expected;
    };
    constexpr DWORD Fixed = WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    constexpr DWORD Sizeable = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    const Case cases[] = {
        { "fixed frame", u"SolidWindow", Fixed, { false, false, 0, 0, 0, 0 } },
        { "sizing frame", u"SolidWindow", Sizeable, { true, false, 1, 1, 0, 0 } },
        { "sizing frame with limits", u"LimitedWindow", Sizeable, { true, false, 300, 200, 700, 16384 } },
        { "maximised", u"SolidWindow", Sizeable | WS_MAXIMIZE, { true, true, 1, 1, 0, 0 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND w = CreateWindowEx(0, c.windowClass, u"Frame", c.style, 40, 50, 400, 300, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(w, nullptr);
        Headless::PumpUntilIdle();
        TNativeWindowState state;
        ASSERT_TRUE(ReadNativeWindowState(w, state));
        EXPECT_EQ(state.Resizable, c.expected.Resizable);
        EXPECT_EQ(state.Maximized, c.expected.Maximized);
        if (c.expected.Resizable) {
            EXPECT_EQ(state.MinWidth, c.expected.MinWidth);
            EXPECT_EQ(state.MinHeight, c.expected.MinHeight);
            EXPECT_EQ(state.MaxWidth, c.expected.MaxWidth);
            EXPECT_EQ(state.MaxHeight, c.expected.MaxHeight);
        }
        DestroyWindow(w);
    }

    // The desktop moves and resizes a window in one go; its move arrives
    // first, when the native window already has its new size too.
    HWND w = CreateWindowEx(0, u"SolidWindow", u"Moved", Sizeable, 40, 50, 400, 300, nullptr, nullptr, nullptr, nullptr);
    Headless::PumpUntilIdle();
    SDL_Window* native = nullptr;
    for (Uint32 id = 1; id < 64 && !native; ++id)
        if (SDL_Window* candidate = SDL_GetWindowFromID(id); candidate && std::string(SDL_GetWindowTitle(candidate)) == "Moved")
            native = candidate;
    ASSERT_NE(native, nullptr);
    SDL_SetWindowPosition(native, 100, 120);
    SDL_SetWindowSize(native, 500, 350);
    RECT r {};
    const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
    do {
        Headless::PumpUntilIdle();
        GetWindowRect(w, r);
    } while (r != Bounds(100, 120, 500, 350) && std::chrono::steady_clock::now() < deadline);
    EXPECT_EQ(r, Bounds(100, 120, 500, 350));
    int nativeWidth = 0, nativeHeight = 0;
    SDL_GetWindowSize(native, &nativeWidth, &nativeHeight);
    EXPECT_EQ(nativeWidth, 500);
    EXPECT_EQ(nativeHeight, 350);
    DestroyWindow(w);
}

TEST_F(SdlDesktop, ShowsAWindowAndPresentsItsPaintedPixels)
{
    HWND w = CreateWindowEx(0, u"SolidWindow", u"Probe", WS_POPUP | WS_VISIBLE, 40, 50, 120, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    bool seen = false;
    const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
    while (!seen && std::chrono::steady_clock::now() < deadline) {
        Headless::PumpUntilIdle();
        if (ReadDisplayedPixels(w, pixels, width, height) && width == 120 && height == 80)
            seen = pixels[40 * 120 + 60] == kFill;
        if (!seen)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_TRUE(seen) << "the display never showed the painted colour";
    EXPECT_EQ(width, 120);
    EXPECT_EQ(height, 80);

    // Closing from the desktop arrives as WM_CLOSE; the default destroys.
    InjectCloseRequest(w);
    Headless::PumpUntilIdle();
    EXPECT_FALSE(IsWindow(w));
}
