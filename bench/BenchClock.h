// The benchmarks' clock: the performance counter, in milliseconds or microseconds.
#pragma once

#include <windows.h>

inline double benchSeconds()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double nowMs() { return 1e3 * benchSeconds(); }
inline double nowUs() { return 1e6 * benchSeconds(); }
