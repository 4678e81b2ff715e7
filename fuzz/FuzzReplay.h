#pragma once
// The fuzz targets outside libFuzzer: each target's entry points, renamed,
// registered under the target's name for the replay program.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

struct TReplayTarget {
    std::string Name;
    int (*TestOneInput)(const std::uint8_t*, std::size_t);
    int (*Initialize)(int*, char***); // may be null
};

std::vector<TReplayTarget>& ReplayTargets();

struct TRegisterReplayTarget {
    TRegisterReplayTarget(const char* name, int (*run)(const std::uint8_t*, std::size_t), int (*init)(int*, char***))
    {
        ReplayTargets().push_back({ name, run, init });
    }
};

} // namespace fuzz
