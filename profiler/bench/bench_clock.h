#pragma once
// The clock of the benchmarks and the median of what they measured.
#include <windows.h>

#include <algorithm>
#include <vector>

// Microseconds from the performance counter.
inline double nowUs()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart * 1e6 / frequency.QuadPart;
}

inline double nowMs()
{
    return nowUs() / 1e3;
}

// The median of `times`; 0 for none.
inline double medianOf(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return times.empty() ? 0 : times[times.size() / 2];
}
