// Where a downloaded installer goes: file name from the URL, local path in the Temp folder.
#include "updater/InstallerName.h"

#include "common/AsciiCase.h"

namespace {

// What the shell may be asked to open: a program, or a package for Windows Installer.
bool isInstallerName(const std::wstring& name)
{
    const std::wstring lowered = asciiLowered(name);
    for (const std::wstring ending : {L".exe", L".msi"}) {
        if (lowered.size() >= ending.size() &&
            lowered.compare(lowered.size() - ending.size(), ending.size(), ending) == 0)
            return true;
    }
    return false;
}

bool isForbiddenInFileName(wchar_t c)
{
    return c < 32 || std::wstring(L"<>:\"/\\|?*").find(c) != std::wstring::npos;
}

} // namespace

std::wstring InstallerName::fromUrl(const std::wstring& url)
{
    const size_t slash = url.find_last_of(L"/\\");
    std::wstring name = slash == std::wstring::npos ? url : url.substr(slash + 1);
    const size_t query = name.find(L'?');
    if (query != std::wstring::npos)
        name.erase(query);
    // Windows drops a trailing dot or blank when it opens a file, so such a name would name
    // another file than the one checked here.
    if (name.empty() || name.back() == L'.' || name.back() == L' ')
        return std::wstring();
    for (wchar_t c : name) {
        if (isForbiddenInFileName(c))
            return std::wstring();
    }
    return isInstallerName(name) ? name : std::wstring();
}

std::wstring InstallerName::localPath(const std::wstring& folder, unsigned number, const std::wstring& fileName)
{
    return folder + L"\\" + std::to_wstring(number) + fileName;
}
