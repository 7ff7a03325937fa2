// libFuzzer entry for strict base64: any text decodes either to nothing or to bytes whose
// encoding is that very text (the decoder accepts one text per byte string), and any bytes come
// back unchanged through an encoding and a decoding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/FuzzInput.h"
#include "updater/Base64.h"

using FuzzInput::require;

namespace {

std::wstring encode(const std::vector<uint8_t>& bytes)
{
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::wstring text;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        uint32_t group = uint32_t(bytes[i]) << 16;
        if (count > 1)
            group |= uint32_t(bytes[i + 1]) << 8;
        if (count > 2)
            group |= bytes[i + 2];
        for (size_t k = 0; k < 4; ++k)
            text += k <= count ? wchar_t(alphabet[(group >> (18 - 6 * k)) & 63]) : L'=';
    }
    return text;
}

void checkText(const std::wstring& text)
{
    std::vector<uint8_t> bytes = {0x5A};
    if (decodeBase64(text, bytes))
        require(!bytes.empty() && encode(bytes) == text, "a decoded text is the encoding of its bytes");
    else
        require(bytes.empty(), "a refused text leaves no bytes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkText(FuzzInput::bytesAsText(data, size));
    checkText(FuzzInput::bytesAsUtf16(data, size));
    if (size > 0) {
        const std::vector<uint8_t> original(data, data + size);
        std::vector<uint8_t> decoded;
        require(decodeBase64(encode(original), decoded) && decoded == original, "bytes survive encode and decode");
    }
    return 0;
}
