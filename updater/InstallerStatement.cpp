// The statement a publisher signs for an update installer.
#include "updater/InstallerStatement.h"

namespace {

const char heading[] = "tellanupdate signed installer 1\n";

// `text` as UTF-8; false for an unpaired surrogate, which no UTF-8 text can stand for.
bool appendUtf8(const std::wstring& text, std::string& out)
{
    for (size_t i = 0; i < text.size(); ++i) {
        uint32_t c = static_cast<uint16_t>(text[i]);
        if (c >= 0xDC00 && c <= 0xDFFF)
            return false;
        if (c >= 0xD800 && c <= 0xDBFF) {
            const uint32_t low = i + 1 < text.size() ? static_cast<uint16_t>(text[i + 1]) : 0;
            if (low < 0xDC00 || low > 0xDFFF)
                return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return true;
}

} // namespace

bool InstallerStatement::compose(const std::wstring& productId, int32_t versionCode, const Digest& installerDigest,
                                 std::string& statement)
{
    if (productId.empty() || productId.find_first_of(L"\r\n") != std::wstring::npos)
        return false;
    std::string text = heading;
    if (!appendUtf8(productId, text))
        return false;
    text += '\n' + std::to_string(versionCode) + '\n';
    const char digits[] = "0123456789abcdef";
    for (uint8_t byte : installerDigest) {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }
    text += '\n';
    statement.swap(text);
    return true;
}
