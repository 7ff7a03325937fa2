// The player's one way of writing a time: the caption's position and length, and the time
// slider's value as a screen reader reads it. Pure, no windows.
#pragma once

#include <cstdint>
#include <string>

// "hh:mm:ss"; hours are not limited to two digits.
std::wstring formatTime(int64_t ms);
