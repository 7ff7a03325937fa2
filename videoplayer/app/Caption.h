// The main window's caption text and the time format it uses; pure functions, no windows.
#pragma once

#include <cstdint>
#include <string>

// Captions live in a 260-character buffer, so they hold at most this many characters.
constexpr size_t maxCaptionLength = 259;

// "hh:mm:ss"; hours are not limited to two digits.
std::wstring formatTime(int64_t ms);

// The caption: the title alone; title and file name; or title, file name, position and length.
// A caption too long for the buffer keeps the title and both times whole and shortens the file
// name in its middle.
std::wstring composeCaption(const std::wstring& title);
std::wstring composeCaption(const std::wstring& title, const std::wstring& name);
std::wstring composeCaption(const std::wstring& title, const std::wstring& name, const std::wstring& position,
                            const std::wstring& length);
