// The arithmetic of the minimum interval between two update checks.
#include "updater/CheckInterval.h"

int32_t CheckInterval::elapsedHours(const Moment& last, const Moment& now)
{
    const int32_t days = (now.year - last.year) * 365 + (now.month - last.month) * 30 + (now.day - last.day);
    return days * 24 + (now.hour - last.hour);
}

bool CheckInterval::isDue(int32_t elapsedHours, uint32_t intervalSeconds)
{
    return static_cast<uint32_t>(elapsedHours) >= intervalSeconds / 3600;
}
