// The update server's reply: element values out of the product's section, version code text.
#include "updater/UpdateReply.h"

#include <climits>
#include <cstdint>

std::wstring replyValue(const std::wstring& reply, const std::wstring& productId, const std::wstring& name)
{
    const std::wstring open = L"<" + productId + L">";
    const std::wstring close = L"</" + productId + L">";
    const size_t sectionStart = reply.find(open);
    if (sectionStart == std::wstring::npos)
        return std::wstring();
    const size_t afterOpen = sectionStart + open.size();
    const size_t sectionEnd = reply.find(close, afterOpen);
    if (sectionEnd == std::wstring::npos)
        return std::wstring();
    const std::wstring elementOpen = L"<" + name + L">";
    const size_t elementStart = reply.find(elementOpen, afterOpen);
    if (elementStart == std::wstring::npos)
        return std::wstring();
    const size_t valueStart = elementStart + elementOpen.size();
    const size_t valueEnd = reply.find(L"</" + name + L">", valueStart);
    if (valueEnd == std::wstring::npos || valueEnd >= sectionEnd)
        return std::wstring();
    return reply.substr(valueStart, valueEnd - valueStart);
}

namespace {

bool isBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

} // namespace

int versionCodeFromText(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-'))
        negative = text[i++] == L'-';
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so an absurd code from
    // the server can neither overflow nor wrap into a small or negative number.
    const int64_t limit = negative ? -static_cast<int64_t>(INT_MIN) : INT_MAX;
    int64_t value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > limit)
            value = limit;
    }
    return static_cast<int>(negative ? -value : value);
}

UpdateReply UpdateReply::parse(const std::wstring& reply, const std::wstring& productId)
{
    UpdateReply result;
    result.versionCode = versionCodeFromText(replyValue(reply, productId, L"version_code"));
    result.versionName = replyValue(reply, productId, L"version_name");
    result.installerUrl = replyValue(reply, productId, L"url");
    result.signature = replyValue(reply, productId, L"signature");
    return result;
}
