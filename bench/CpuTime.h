#pragma once
// The thread's CPU time for the benchmarks: the machines are shared, so CPU
// seconds of the measuring thread compare better than wall time.

#include <algorithm>
#include <ctime>
#include <utility>
#include <vector>

namespace benchcpu {

inline double Now()
{
    timespec ts {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// The middle one of a set of figures (the upper middle of an even count).
inline double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
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

// The fastest of Reps calls of A and of B, taken in turns, so that a busy
// spell of the machine falls on both sides of a ratio alike. Each call
// comes after its own untimed preparation.
template<class PA, class A, class PB, class B>
std::pair<double, double> BestInTurns(int Reps, PA&& PrepareA, A&& RunA, PB&& PrepareB, B&& RunB)
{
    std::pair<double, double> Min { 1e9, 1e9 };
    for (int Rep = 0; Rep < Reps; ++Rep) {
        PrepareA();
        Min.first = std::min(Min.first, Time(RunA));
        PrepareB();
        Min.second = std::min(Min.second, Time(RunB));
    }
    return Min;
}

template<class A, class B>
std::pair<double, double> BestOfEach(int Reps, A&& RunA, B&& RunB)
{
    auto Nothing = [] { };
    return BestInTurns(Reps, Nothing, RunA, Nothing, RunB);
}

} // namespace benchcpu
