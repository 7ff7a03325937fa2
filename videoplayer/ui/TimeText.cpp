// The time formats.
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

std::wstring formatSpokenTime(int64_t ms)
{
    const int64_t s = ms > 0 ? ms / 1000 : 0, m = s / 60, h = m / 60;
    wchar_t text[32];
    if (h > 0)
        swprintf(text, 32, L"%lld:%02d:%02d", static_cast<long long>(h), static_cast<int>(m % 60), static_cast<int>(s % 60));
    else
        swprintf(text, 32, L"%d:%02d", static_cast<int>(m), static_cast<int>(s % 60));
    return text;
}
