// The main window's caption text and the time format it uses; pure functions, no windows.
#pragma once

#include <cstdint>
#include <string>

#include "common/PathLimits.h"

// Captions live in a path buffer, so they hold at most as many characters as a path.
constexpr size_t maxCaptionLength = maxPathLength;

// "hh:mm:ss"; hours are not limited to two digits.
std::wstring formatTime(int64_t ms);

// The caption: the title alone; title and file name; or title, file name, position and length.
// A caption too long for the buffer keeps the title and both times whole and shortens the file
// name in its middle.
std::wstring composeCaption(const std::wstring& title);
std::wstring composeCaption(const std::wstring& title, const std::wstring& name);
std::wstring composeCaption(const std::wstring& title, const std::wstring& name, const std::wstring& position,
                            const std::wstring& length);
