#include "tests/support/PrivateDisplay.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/support/Limits.h"

namespace testsupport {

TPrivateDisplay::TPrivateDisplay(int width, int height)
{
    if (std::getenv("DISPLAY"))
        return;
    // The server picks a free display number itself and writes it once it
    // accepts connections, so test programs started together never race
    // for one number, nor connect before the server is ready.
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    m_pid = fork();
    if (m_pid == 0) {
        close(ready[0]);
        // The write end must survive the exec.
        const int fd = dup(ready[1]);
        const std::string fdText = std::to_string(fd);
        execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
            static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    if (m_pid < 0) {
        close(ready[0]);
        return;
    }
    // Bounded only so that a server that never starts cannot hang the test.
    std::string number;
    pollfd p { ready[0], POLLIN, 0 };
    const int limitMs = int(std::chrono::milliseconds(EventLimit).count());
    while (poll(&p, 1, limitMs) > 0) {
        char c = 0;
        const ssize_t n = read(ready[0], &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || c == '\n')
            break;
        number += c;
    }
    close(ready[0]);
    if (!number.empty())
        setenv("DISPLAY", (":" + number).c_str(), 1);
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
