// Runs the fuzz targets over stored inputs, without libFuzzer: every file of
// <folder>/<target>/ goes to that target once. Inputs that once crashed,
// hung or took gigabytes are kept in fuzz/regressions/, and this program runs
// them as an ordinary test (under the sanitizers in the sanitizer build). A
// fault shows as the target's own abort or a sanitizer report; the time and
// the peak memory of each input are printed.
//
//   fuzz_replay <folder> [target...]

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "fuzz/FuzzReplay.h"

namespace fs = std::filesystem;

std::vector<fuzz::TReplayTarget>& fuzz::ReplayTargets()
{
    static std::vector<TReplayTarget> targets;
    return targets;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_replay <folder> [target...]\n");
        return 2;
    }
    const fs::path folder = argv[1];
    std::vector<std::string> only(argv + 2, argv + argc);
    auto& targets = fuzz::ReplayTargets();
    std::sort(targets.begin(), targets.end(), [](const auto& a, const auto& b) { return a.Name < b.Name; });
    int inputs = 0;
    for (const auto& t : targets) {
        if (!only.empty() && std::find(only.begin(), only.end(), t.Name) == only.end())
            continue;
        const fs::path dir = folder / t.Name;
        if (!fs::is_directory(dir))
            continue;
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.is_regular_file())
                files.push_back(e.path());
        std::sort(files.begin(), files.end());
        if (files.empty())
            continue;
        if (t.Initialize)
            t.Initialize(&argc, &argv);
        for (const fs::path& f : files) {
            std::ifstream in(f, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            const auto start = std::chrono::steady_clock::now();
            t.TestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            rusage usage {};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("%s/%s: %zu bytes, %.1f ms, peak %ld MB\n", t.Name.c_str(), f.filename().c_str(), bytes.size(), ms,
                usage.ru_maxrss / 1024);
            std::fflush(stdout);
            ++inputs;
        }
    }
    if (inputs == 0) {
        std::fprintf(stderr, "fuzz_replay: no inputs under %s\n", folder.c_str());
        return 1;
    }
    std::printf("fuzz_replay: %d inputs, no fault\n", inputs);
    return 0;
}
