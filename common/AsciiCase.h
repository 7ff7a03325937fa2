// ASCII letter-case folding for texts compared without regard to case: only 'A' to 'Z' become
// 'a' to 'z' (and back, for the upper case), and every other code unit stays, so no locale can
// make another letter match. Standard C++ only: the pattern matcher also builds natively.
#pragma once

#include <string>

// Whether `c` is one of the 26 letters from `first`.
constexpr bool isAsciiLetterFrom(wchar_t c, wchar_t first)
{
    return static_cast<unsigned>(c) - static_cast<unsigned>(first) < 26u;
}

constexpr wchar_t asciiLower(wchar_t c)
{
    return isAsciiLetterFrom(c, L'A') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c;
}

constexpr wchar_t asciiUpper(wchar_t c)
{
    return isAsciiLetterFrom(c, L'a') ? static_cast<wchar_t>(c - (L'a' - L'A')) : c;
}

inline std::wstring asciiLowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = asciiLower(c);
    return text;
}

inline std::wstring asciiUppered(std::wstring text)
{
    for (wchar_t& c : text)
        c = asciiUpper(c);
    return text;
}
