// DecimalText: the updater's one reading of decimal numbers written as text (status codes,
// lengths, version codes), free of the platform so that it can be tested and reused alone.
#pragma once

#include <cstdint>
#include <string_view>

struct DecimalText {
    // The whole text as a number of at most `limit`: one or more digits and nothing else (no
    // blanks, no sign). False for anything else, including a value above the limit; `value` is
    // then left as it was. Never overflows, however many digits arrive.
    static bool parseWhole(std::wstring_view text, uint64_t limit, uint64_t& value);
    // Leading white space, an optional sign, then digits up to the first other character, as a
    // signed 32-bit number; no digits give 0, and a value beyond 32 bits stops at the nearest limit.
    static int32_t leadingInteger(std::wstring_view text);
};
