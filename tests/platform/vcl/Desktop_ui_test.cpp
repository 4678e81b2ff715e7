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

namespace {

// A private X server when the environment has no display.
class TPrivateDisplay {
public:
    TPrivateDisplay()
    {
        if (std::getenv("DISPLAY"))
            return;
        const int number = 190 + int(getpid() % 100);
        const std::string name = ":" + std::to_string(number);
        m_pid = fork();
        if (m_pid == 0) {
            execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", "800x600x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        if (m_pid < 0)
            return;
        const std::string socket = "/tmp/.X11-unix/X" + std::to_string(number);
        for (int i = 0; i < 100 && !std::filesystem::exists(socket); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (std::filesystem::exists(socket))
            setenv("DISPLAY", name.c_str(), 1);
    }
    ~TPrivateDisplay()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
            unsetenv("DISPLAY");
        }
    }

private:
    pid_t m_pid { -1 };
};

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
    TPrivateDisplay display;
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
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
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
