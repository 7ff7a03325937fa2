// The time format.
#include "videoplayer/ui/TimeText.h"

#include <cwchar>

std::wstring formatTime(int64_t ms)
{
    const int64_t s = ms / 1000, m = s / 60, h = m / 60;
    wchar_t text[24];
    swprintf(text, 24, L"%02ld:%02ld:%02ld", static_cast<long>(static_cast<int32_t>(h)),
             static_cast<long>(static_cast<int32_t>(m % 60)), static_cast<long>(static_cast<int32_t>(s % 60)));
    return text;
}
