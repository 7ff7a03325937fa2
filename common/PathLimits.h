// The size of the buffers that paths and similar texts live in: 260 wide characters with the
// terminator, so a text fits when it has at most 259. A text that does not fit is refused rather
// than cut, since a cut path names another file. Standard C++ only.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t pathBufferLength = 260;
constexpr std::size_t maxPathLength = pathBufferLength - 1;

inline bool fitsPathBuffer(const std::wstring& text)
{
    return text.size() <= maxPathLength;
}
