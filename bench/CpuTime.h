#pragma once
// The thread's CPU time for the benchmarks: the machines are shared, so CPU
// seconds of the measuring thread compare better than wall time.

#include <algorithm>
#include <ctime>

namespace benchcpu {

inline double Now()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// CPU seconds of one call.
template<class F>
double Time(F&& Fn)
{
    const double t = Now();
    Fn();
    return Now() - t;
}

// The fastest of Reps calls.
template<class F>
double Best(int Reps, F&& Fn)
{
    double Min = 1e9;
    for (int Rep = 0; Rep < Reps; ++Rep)
        Min = std::min(Min, Time(Fn));
    return Min;
}

} // namespace benchcpu
