// The arithmetic of the minimum interval between two update checks: calendar hours between two
// local times, with a month counted as 30 days and a year as 365.
#pragma once

#include <cstdint>

struct CheckInterval {
    // The parts of a local time that the interval looks at.
    struct Moment {
        int year = 0, month = 0, day = 0, hour = 0;
    };

    // ((years x 365 + months x 30 + days) x 24 + hours) from `last` to `now`; negative when the
    // clock went back or a month was shorter than 30 days.
    static int32_t elapsedHours(const Moment& last, const Moment& now);
    // A check is due when the elapsed hours, read as unsigned, reach the interval in whole hours;
    // so a negative elapsed time, or an interval below an hour, always makes it due.
    static bool isDue(int32_t elapsedHours, uint32_t intervalSeconds);
};
