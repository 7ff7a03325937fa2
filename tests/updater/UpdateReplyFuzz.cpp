// libFuzzer entry for the reply rule: the input is a product identifier's length, the identifier
// and a reply. A value read must stand between its tags in the reply, and a value planted in a
// section of its own in front of that reply must be read back exactly.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/FuzzInput.h"
#include "updater/UpdateReply.h"

using FuzzInput::require;

namespace {

const wchar_t* const names[] = {L"version_code", L"version_name", L"url", L"signature"};

std::wstring withoutTagCharacters(const std::wstring& text)
{
    std::wstring kept;
    for (wchar_t c : text) {
        if (c != L'<' && c != L'>' && c != L'/')
            kept += c;
    }
    return kept;
}

void checkFound(const std::wstring& reply, const std::wstring& productId, const std::wstring& name)
{
    const std::wstring value = replyValue(reply, productId, name);
    if (value.empty())
        return;
    const std::wstring close = L"</" + name + L">";
    require(reply.find(L"<" + productId + L">") != std::wstring::npos, "a value comes from a product section");
    require(reply.find(L"<" + name + L">" + value + close) != std::wstring::npos, "a value stands between its tags");
    require(value.find(close) == std::wstring::npos, "a value ends at the first closing tag");
}

// Text without any tag, then the product's section holding only the element, then the reply.
void checkPlanted(const std::wstring& reply, const std::wstring& productId, const std::wstring& name)
{
    const std::wstring before = withoutTagCharacters(reply.substr(0, reply.size() / 3));
    const std::wstring value = withoutTagCharacters(reply.substr(reply.size() / 3));
    const std::wstring section = L"<" + productId + L"><" + name + L">" + value + L"</" + name + L"></" +
                                 productId + L">";
    require(replyValue(before + section + reply, productId, name) == value, "a planted value is read exactly");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::wstring text = FuzzInput::bytesAsText(data + 1, size - 1);
    const std::wstring productId = text.substr(0, data[0] % 16);
    const std::wstring reply = text.substr(productId.size());
    // The elements' names hold no "<", ">" or "/" and differ from the product's, so only then is
    // the planted section unambiguous.
    const std::wstring plainId = withoutTagCharacters(productId);
    for (const wchar_t* name : names) {
        checkFound(reply, productId, name);
        if (plainId != name)
            checkPlanted(reply, plainId, name);
    }
    UpdateReply::parse(reply, productId);
    return 0;
}
