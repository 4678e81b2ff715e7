#pragma once
// A port on 127.0.0.1 that refuses every connection for the object's life:
// its socket is bound but never listens, so no other program can take the
// port while a test relies on the refusal.

#include <string>

namespace testsupport {

class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;

    int Port() const { return m_port; }
    std::string BaseUrl() const { return "http://127.0.0.1:" + std::to_string(m_port); }

private:
    int m_fd { -1 };
    int m_port { 0 };
};

} // namespace testsupport
