#include "tests/support/PrivateDisplay.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace testsupport {

TPrivateDisplay::TPrivateDisplay(int base, int width, int height)
{
    if (std::getenv("DISPLAY"))
        return;
    int number = base + int(getpid() % 100);
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))
        || std::filesystem::exists("/tmp/.X" + std::to_string(number) + "-lock"))
        ++number; // taken by another server
    const std::string name = ":" + std::to_string(number);
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    m_pid = fork();
    if (m_pid == 0) {
        execlp("Xvfb", "Xvfb", name.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
            static_cast<char*>(nullptr));
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

TPrivateDisplay::~TPrivateDisplay()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        unsetenv("DISPLAY");
    }
}

} // namespace testsupport
