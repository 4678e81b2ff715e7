#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/rtl/MainThread.h"
#include "platform/win/Headless.h"
#include "platform/win/SdlBackend.h"
#include "tests/platform/win/WinFixture.h"
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

} // namespace

TEST(SdlBackend, ShowsAWindowAndPresentsItsPaintedPixels)
{
    testsupport::TPrivateDisplay display(90, 800, 600);
    std::unique_ptr<IWindowBackend> sdl = CreateSdlBackend();
    if (!sdl)
        GTEST_SKIP() << "no display can be opened";
    SetWindowBackend(sdl.get());
    InstallMessageLoopHooks();
    TFakeDCFactory factory;
    g_factory = &factory;
    SetDeviceContextFactory(&factory);
    WNDCLASSEX wc;
    wc.lpfnWndProc = &SolidProc;
    wc.lpszClassName = u"SolidWindow";
    RegisterClassEx(wc);

    HWND w = CreateWindowEx(0, u"SolidWindow", u"Probe", WS_POPUP | WS_VISIBLE, 40, 50, 120, 80, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    std::vector<std::uint32_t> pixels;
    int width = 0, height = 0;
    bool seen = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
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

    UnregisterClass(u"SolidWindow");
    SetDeviceContextFactory(nullptr);
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetWindowBackend(nullptr);
    sdl.reset();
}
