// libFuzzer entry for the response header block: the input is a byte of flags, then the headers
// (one character per byte). Every value the client keeps must come from its header, and the
// cookies, which a caller may send back in a header of its own, must never hold a line break.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/FuzzInput.h"
#include "updater/http/ResponseHeaders.h"

using FuzzInput::require;

namespace {

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring asciiLower(std::wstring text)
{
    for (wchar_t& c : text)
        c = c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
    return text;
}

bool trimmed(const std::wstring& text, const std::wstring& blanks)
{
    return text.empty() || (blanks.find(text.front()) == std::wstring::npos &&
                            blanks.find(text.back()) == std::wstring::npos);
}

// Some "content-length: " in the headers is followed by this value's digits (leading zeros
// allowed), or by digits too many for a length when the value is 0 (unknown).
bool lengthStated(const std::wstring& lowered, int32_t length)
{
    const std::wstring name = L"content-length: ";
    const std::wstring value = std::to_wstring(length);
    for (size_t at = lowered.find(name); at != std::wstring::npos; at = lowered.find(name, at + 1)) {
        size_t first = at + name.size();
        if (first == lowered.size() || !isDigit(lowered[first]))
            continue;
        if (length == 0)
            return true;
        while (first < lowered.size() && lowered[first] == L'0')
            ++first;
        const size_t end = first + value.size();
        if (lowered.compare(first, value.size(), value) == 0 && !(end < lowered.size() && isDigit(lowered[end])))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool takeCharset = data[0] & 1;
    const std::wstring earlierCookies = data[0] & 2 ? L"k=v;" : L"";
    const std::wstring headers = FuzzInput::bytesAsText(data + 1, size - 1);
    // Read up to the first NUL, as the client's pattern matcher reads text.
    const std::wstring text = headers.substr(0, headers.find(L'\0'));
    const std::wstring lowered = asciiLower(text);

    const std::wstring unset = L"\x7F";
    std::wstring charset = unset, location = unset, cookies = earlierCookies;
    int32_t length = -1;
    evaluateResponseHeaders(headers, takeCharset, charset, length, location, cookies);

    if (charset != unset) {
        require(takeCharset, "a fixed charset is kept");
        require(!charset.empty() && charset.find_first_not_of(L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                              L"0123456789-_") == std::wstring::npos,
                "a charset is a name");
        require(lowered.find(L"charset=" + asciiLower(charset)) != std::wstring::npos, "a charset comes from its header");
    }
    if (length != -1)
        require(length >= 0 && lengthStated(lowered, length), "a length comes from its header, or is unknown (0)");
    if (location != unset) {
        require(location.find_first_of(L"\r\n") == std::wstring::npos && trimmed(location, L" \t") &&
                    text.find(location) != std::wstring::npos,
                "a location is its header's value without blanks around it");
        require(lowered.find(L"\nlocation:") != std::wstring::npos || lowered.find(L"\rlocation:") != std::wstring::npos,
                "a location comes from a line of its own");
    }
    require(cookies.compare(0, earlierCookies.size(), earlierCookies) == 0, "cookies are only added");
    require(cookies.empty() || cookies.back() == L';', "cookies end in a semicolon");
    require(trimmed(cookies, L" "), "cookies have no spaces around them");
    require(cookies.find_first_of(L"\r\n") == std::wstring::npos, "cookies hold no line break");
    return 0;
}
