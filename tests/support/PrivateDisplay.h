#pragma once
// A private X server (Xvfb) for tests that need a real display, started only
// when the environment has none; DISPLAY points at it while it lives.

#include <sys/types.h>

namespace testsupport {

class TPrivateDisplay {
public:
    // A screen of width x height pixels.
    TPrivateDisplay(int width, int height);
    ~TPrivateDisplay();
    TPrivateDisplay(const TPrivateDisplay&) = delete;
    TPrivateDisplay& operator=(const TPrivateDisplay&) = delete;

private:
    pid_t m_pid { -1 };
};

} // namespace testsupport
