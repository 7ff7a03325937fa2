// Helpers shared by the native libFuzzer targets: the fuzzer's bytes as wide text, and a check
// that names the broken property before it stops the run (libFuzzer then saves the input).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace FuzzInput {

// One character per byte: the parsers' interesting characters are all ASCII, and this way the
// fuzzer reaches them at once.
inline std::wstring bytesAsText(const uint8_t* data, size_t size)
{
    return std::wstring(data, data + size);
}

// Two bytes (little-endian) per UTF-16 unit, for the parsers where surrogates and characters
// beyond Latin-1 matter.
inline std::wstring bytesAsUtf16(const uint8_t* data, size_t size)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | (data[i + 1] << 8)));
    return text;
}

inline void require(bool condition, const char* property)
{
    if (!condition) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace FuzzInput
