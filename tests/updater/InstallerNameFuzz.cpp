// libFuzzer entry for the installer name taken from a server's URL: a name is either refused
// (empty) or a plain Windows file name out of that URL, which can name no other folder and no
// stream, and reads the same when taken again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "tests/support/FuzzInput.h"
#include "updater/InstallerName.h"

using FuzzInput::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::wstring url = size > 0 && data[0] == 0xFF ? FuzzInput::bytesAsUtf16(data + 1, size - 1)
                                                          : FuzzInput::bytesAsText(data, size);
    const std::wstring name = InstallerName::fromUrl(url);
    if (name.empty())
        return 0;
    require(url.find(name) != std::wstring::npos, "the name comes out of the URL");
    for (wchar_t c : name)
        require(c >= 32 && std::wstring(L"<>:\"/\\|?*").find(c) == std::wstring::npos,
                "the name holds no character Windows forbids in a file name");
    require(name.back() != L'.' && name.back() != L' ', "the name does not end in a dot or a blank");
    require(InstallerName::fromUrl(L"http://example.test/dir/" + name) == name, "a name read again stays the same");
    return 0;
}
