// The player's ways of writing a time: the caption's position and length, and the shorter form a
// screen reader reads as the time slider's value. Pure, no windows.
#pragma once

#include <cstdint>
#include <string>

// "hh:mm:ss"; hours are not limited to two digits.
std::wstring formatTime(int64_t ms);
// The time as a clock is read out: "1:23", "1:02:03" from an hour on; a negative time reads 0:00.
std::wstring formatSpokenTime(int64_t ms);
