// The folder of one installer download: made new with a random name, removed when done with.
#include "updater/DownloadFolder.h"

#include <windows.h>
#include <bcrypt.h>

#include "common/PathLimits.h"
#include "common/UniqueHandle.h"

namespace {

const wchar_t prefix[] = L"tellanupdate-";
const size_t prefixLength = ARRAYSIZE(prefix) - 1;
const size_t randomBytes = 16;
// Fresh names tried when a folder of the chosen name exists already.
const int maxAttempts = 8;

bool isLowerHex(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'); }

std::wstring randomName()
{
    unsigned char bytes[randomBytes];
    if (BCryptGenRandom(nullptr, bytes, sizeof(bytes), BCRYPT_USE_SYSTEM_PREFERRED_RNG) != 0)
        return std::wstring();
    const wchar_t digits[] = L"0123456789abcdef";
    std::wstring name = prefix;
    for (unsigned char byte : bytes) {
        name += digits[byte >> 4];
        name += digits[byte & 15];
    }
    return name;
}

} // namespace

bool DownloadFolder::isDownloadFolderName(const std::wstring& name)
{
    if (name.size() != prefixLength + 2 * randomBytes || name.compare(0, prefixLength, prefix) != 0)
        return false;
    for (size_t i = prefixLength; i < name.size(); ++i) {
        if (!isLowerHex(name[i]))
            return false;
    }
    return true;
}

std::wstring DownloadFolder::create(const std::wstring& base)
{
    for (int attempt = 0; attempt < maxAttempts; ++attempt) {
        const std::wstring name = randomName();
        if (name.empty())
            return std::wstring();
        const std::wstring folder = base + L"\\" + name;
        if (!fitsPathBuffer(folder))
            return std::wstring();
        if (CreateDirectoryW(folder.c_str(), nullptr))
            return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return std::wstring();
    }
    return std::wstring();
}

void DownloadFolder::remove(const std::wstring& folder)
{
    if (folder.empty())
        return;
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    if (search) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
        } while (FindNextFileW(search.get(), &found));
    }
    RemoveDirectoryW(folder.c_str());
}

void DownloadFolder::removeEarlier(const std::wstring& base)
{
    WIN32_FIND_DATAW found;
    const UniqueFindHandle search(FindFirstFileW((base + L"\\" + prefix + L"*").c_str(), &found));
    if (!search)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !isDownloadFolderName(found.cFileName))
            continue;
        const std::wstring folder = base + L"\\" + found.cFileName;
        // A link of that name is removed as a link: what it points to is nobody's to delete here.
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
            RemoveDirectoryW(folder.c_str());
        else
            remove(folder);
    } while (FindNextFileW(search.get(), &found));
}
