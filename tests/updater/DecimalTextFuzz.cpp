// libFuzzer entry for decimal text: both readings compared with the same numbers worked out on
// the digits as a string (length, then order), which cannot overflow. The input's first byte
// picks the limit of the whole-number reading (from the next eight bytes, or the 32-bit one).
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/FuzzInput.h"
#include "updater/DecimalText.h"

using FuzzInput::require;

namespace {

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Digits without their leading zeros ("0" for none left) as a number's decimal form.
std::string decimalForm(const std::wstring& digits)
{
    size_t first = 0;
    while (first + 1 < digits.size() && digits[first] == L'0')
        ++first;
    return std::string(digits.begin() + first, digits.end());
}

// a <= b for two decimal forms.
bool notAbove(const std::string& a, const std::string& b)
{
    return a.size() != b.size() ? a.size() < b.size() : a <= b;
}

void checkWhole(const std::wstring& text, uint64_t limit)
{
    bool digitsOnly = !text.empty();
    for (wchar_t c : text)
        digitsOnly = digitsOnly && isDigit(c);
    const bool fits = digitsOnly && notAbove(decimalForm(text), std::to_string(limit));
    const uint64_t untouched = 0xC0FFEE;
    uint64_t value = untouched;
    require(DecimalText::parseWhole(text, limit, value) == fits, "whole numbers are digits within the limit");
    require(fits ? std::to_string(value) == decimalForm(text) : value == untouched,
            "a whole number's value, or the value left as it was");
}

void checkLeading(const std::wstring& text)
{
    size_t i = text.find_first_not_of(L" \t\n\v\f\r");
    i = i == std::wstring::npos ? text.size() : i;
    const bool negative = i < text.size() && text[i] == L'-';
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        ++i;
    size_t end = i;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    const std::string digits = decimalForm(end > i ? text.substr(i, end - i) : L"0");
    const std::string limit = negative ? "2147483648" : "2147483647";
    const int64_t magnitude = std::stoll(notAbove(digits, limit) ? digits : limit);
    require(DecimalText::leadingInteger(text) == (negative ? -magnitude : magnitude),
            "a leading integer is its digits, held at the 32-bit limits");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    uint64_t limit = UINT32_MAX;
    size_t skip = 1;
    if ((data[0] & 1) && size >= 9) {
        limit = 0;
        for (size_t i = 8; i >= 1; --i)
            limit = (limit << 8) | data[i];
        skip = 9;
    }
    const std::wstring text = FuzzInput::bytesAsText(data + skip, size - skip);
    checkWhole(text, limit);
    checkLeading(text);
    return 0;
}
