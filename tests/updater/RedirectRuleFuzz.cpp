// libFuzzer entry for the redirect rule: only an address that starts with http:// or https://
// (ASCII letters in any case, nothing that merely looks like them) is fetched, its scheme does not
// depend on letter case, and no redirect leads from https down to http.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/FuzzInput.h"
#include "updater/RedirectRule.h"

using FuzzInput::require;
using Scheme = RedirectRule::Scheme;

namespace {

std::wstring asciiUpper(std::wstring text)
{
    for (wchar_t& c : text)
        c = c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring url = size > 0 && data[0] == 0xFF ? FuzzInput::bytesAsUtf16(data + 1, size - 1)
                                                          : FuzzInput::bytesAsText(data, size);
    const Scheme scheme = RedirectRule::schemeOf(url);
    const std::wstring upper = asciiUpper(url);
    require(RedirectRule::schemeOf(upper) == scheme, "letter case does not change the scheme");
    require(RedirectRule::mayFetch(scheme) == (upper.rfind(L"HTTP://", 0) == 0 || upper.rfind(L"HTTPS://", 0) == 0),
            "only http:// and https:// addresses are fetched");
    for (const Scheme from : {Scheme::http, Scheme::https, Scheme::other}) {
        if (RedirectRule::mayFollow(from, scheme))
            require(RedirectRule::mayFetch(scheme) && !(from == Scheme::https && scheme == Scheme::http),
                    "a redirect goes only to a fetched scheme and never from https to http");
    }
    return 0;
}
