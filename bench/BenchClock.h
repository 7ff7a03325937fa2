// The benchmarks' clock: the performance counter (a steady clock where there is none, for the
// matcher's native build), in milliseconds or microseconds. Wall time: under wine64 a thread's
// or process's CPU time hardly moves, so the figures are taken as the least of several runs.
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#endif

inline double benchSeconds()
{
#ifdef _WIN32
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
#else
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
#endif
}

inline double nowMs() { return 1e3 * benchSeconds(); }
inline double nowUs() { return 1e6 * benchSeconds(); }
