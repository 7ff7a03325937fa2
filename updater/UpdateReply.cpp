// The update server's reply: element values out of the product's section, version code text.
#include "updater/UpdateReply.h"

#include "updater/DecimalText.h"

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

int versionCodeFromText(const std::wstring& text) { return DecimalText::leadingInteger(text); }

UpdateReply UpdateReply::parse(const std::wstring& reply, const std::wstring& productId)
{
    UpdateReply result;
    result.versionCode = versionCodeFromText(replyValue(reply, productId, L"version_code"));
    result.versionName = replyValue(reply, productId, L"version_name");
    result.installerUrl = replyValue(reply, productId, L"url");
    result.signature = replyValue(reply, productId, L"signature");
    return result;
}
