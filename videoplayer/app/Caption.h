// The main window's caption text; pure functions, no windows. Its times are written by
// formatTime, which the control bar shares.
#pragma once

#include <cstdint>
#include <string>

#include "common/PathLimits.h"
#include "videoplayer/ui/TimeText.h"

// Captions live in a path buffer, so they hold at most as many characters as a path.
constexpr size_t maxCaptionLength = maxPathLength;

// The caption: the title alone; title and file name; or title, file name, position and length.
// A caption too long for the buffer keeps the title and both times whole and shortens the file
// name in its middle.
std::wstring composeCaption(const std::wstring& title);
std::wstring composeCaption(const std::wstring& title, const std::wstring& name);
std::wstring composeCaption(const std::wstring& title, const std::wstring& name, const std::wstring& position,
                            const std::wstring& length);
