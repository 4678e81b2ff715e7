#pragma once
// How long a test waits for something that must happen (a browser or a
// display server to start, a page to load, a script to answer, a window to
// open) before it calls it a hang. A passing test never waits this long, so
// the limit is generous: on a machine whose every CPU is busy, starting
// Chromium alone has taken over 30 seconds.

#include <chrono>

namespace testsupport {

inline constexpr std::chrono::seconds EventLimit { 120 };

} // namespace testsupport
