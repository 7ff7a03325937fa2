// The updater's decimal number reading.
#include "updater/DecimalText.h"

namespace {

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

} // namespace

bool DecimalText::parseWhole(std::wstring_view text, uint64_t limit, uint64_t& value)
{
    if (text.empty())
        return false;
    uint64_t result = 0;
    for (wchar_t c : text) {
        if (!isDigit(c))
            return false;
        const uint64_t digit = static_cast<uint64_t>(c - L'0');
        // Checked before multiplying, so the test itself cannot overflow.
        if (digit > limit || result > (limit - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

int32_t DecimalText::leadingInteger(std::wstring_view text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    // Accumulated in 64 bits and held at the limit once past it, so an absurd value can neither
    // overflow nor wrap into a small or negative number.
    const int64_t limit = negative ? INT64_C(2147483648) : INT64_C(2147483647);
    int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > limit)
            value = limit;
    }
    return static_cast<int32_t>(negative ? -value : value);
}
