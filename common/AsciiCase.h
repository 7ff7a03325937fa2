// ASCII letter-case folding for texts compared without regard to case: only 'A' to 'Z' become
// 'a' to 'z' and every other code unit stays, so no locale can make another letter match.
// Standard C++ only: the pattern matcher also builds natively.
#pragma once

#include <string>

constexpr wchar_t asciiLower(wchar_t c)
{
    return static_cast<unsigned>(c) - static_cast<unsigned>(L'A') < 26u ? static_cast<wchar_t>(c + (L'a' - L'A'))
                                                                            : c;
}

inline std::wstring asciiLowered(std::wstring text)
{
    for (wchar_t& c : text)
        c = asciiLower(c);
    return text;
}
