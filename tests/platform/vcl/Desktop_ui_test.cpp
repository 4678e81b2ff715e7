#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MainThread.h"
#include "platform/vcl/Forms.h"
#include "platform/win/Headless.h"
#include "platform/win/SdlBackend.h"
#include "platform/win/Window.h"
#include "tests/support/Limits.h"
#include "tests/support/PrivateDisplay.h"

namespace {

class TFilled : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    void Paint() override
    {
        GetCanvas()->GetBrush()->SetColor(0x0000FF);
        GetCanvas()->FillRect(GetClientRect());
    }
};

class TMark : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    void Paint() override
    {
        GetCanvas()->GetBrush()->SetColor(0xFF0000);
        GetCanvas()->FillRect(GetClientRect());
    }
};

} // namespace

TEST(Desktop, AFormWithACustomAndAWindowlessControlShowsOnTheDisplay)
{
    testsupport::TPrivateDisplay display(800, 600);
    std::unique_ptr<IWindowBackend> sdl = CreateSdlBackend();
    if (!sdl)
        GTEST_SKIP() << "no display can be opened";
    SetWindowBackend(sdl.get());
    InstallMessageLoopHooks();
    InstallDeviceContextFactory();
    {
        TForm form(nullptr);
        form.SetBorderStyle(bsNone);
        form.SetPosition(poDesigned);
        form.SetBounds(60, 40, 160, 100);
        form.SetColor(0x00FF00);
        auto* custom = new TFilled(&form);
        custom->SetBounds(0, 0, 80, 100);
        custom->SetParent(&form);
        auto* mark = new TMark(&form);
        mark->SetBounds(100, 20, 20, 20);
        mark->SetParent(&form);
        form.Show();
        std::vector<std::uint32_t> pixels;
        int width = 0, height = 0;
        auto at = [&](int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] & 0xFFFFFF; };
        bool seen = false;
        const auto deadline = std::chrono::steady_clock::now() + testsupport::EventLimit;
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            Application->ProcessMessages();
            if (ReadDisplayedPixels(form.GetHandle(), pixels, width, height) && width == 160 && height == 100)
                // Read back as RGB: red in the high byte, where a TColor keeps blue.
                seen = at(40, 50) == 0xFF0000u && at(110, 30) == 0x0000FFu && at(140, 80) == 0x00FF00u;
            if (!seen)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_TRUE(seen) << "the display never showed the form's controls: " << width << "x" << height << " " << (pixels.empty() ? 0 : at(40, 50)) << " " << (pixels.empty() ? 0 : at(110, 30)) << " " << (pixels.empty() ? 0 : at(140, 80));
    }
    SetMainThreadWakeHook(nullptr);
    SetProcessMessagesHook(nullptr);
    SetWindowBackend(nullptr);
    sdl.reset();
}
