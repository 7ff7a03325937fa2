// Strict base64 decoding.
#include "updater/Base64.h"

namespace {

// The 6-bit value of one character of the alphabet, or -1.
int sextet(wchar_t c)
{
    if (c >= L'A' && c <= L'Z')
        return c - L'A';
    if (c >= L'a' && c <= L'z')
        return c - L'a' + 26;
    if (c >= L'0' && c <= L'9')
        return c - L'0' + 52;
    if (c == L'+')
        return 62;
    if (c == L'/')
        return 63;
    return -1;
}

} // namespace

bool decodeBase64(const std::wstring& text, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    if (text.empty() || text.size() % 4 != 0)
        return false;
    size_t padding = 0;
    if (text[text.size() - 1] == L'=')
        padding = text[text.size() - 2] == L'=' ? 2 : 1;
    const size_t dataChars = text.size() - padding;
    std::vector<uint8_t> decoded;
    decoded.reserve(dataChars * 3 / 4);
    uint32_t buffer = 0;
    int bits = 0;
    for (size_t i = 0; i < dataChars; ++i) {
        const int value = sextet(text[i]);
        if (value < 0)
            return false;
        buffer = (buffer << 6) | static_cast<uint32_t>(value);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            decoded.push_back(static_cast<uint8_t>(buffer >> bits));
            buffer &= (1u << bits) - 1;
        }
    }
    // What padding leaves over must be zero, or two texts would decode to the same bytes.
    if (buffer != 0)
        return false;
    bytes = std::move(decoded);
    return true;
}
