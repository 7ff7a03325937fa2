// A test's own temporary folder.
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <atomic>

namespace {

std::atomic<unsigned> folderCount{0};

void removeTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW item;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &item);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = item.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(dir + L"\\" + name);
            else
                DeleteFileW((dir + L"\\" + name).c_str());
        } while (FindNextFileW(search, &item));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

} // namespace

TempFolder::TempFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    // Test cases run in parallel processes: the process id keeps their folders apart.
    for (unsigned attempt = 0; attempt < 1000; ++attempt) {
        const std::wstring candidate = std::wstring(temp) + L"quillet-test-" + std::to_wstring(GetCurrentProcessId()) +
                                       L"-" + std::to_wstring(folderCount++);
        if (CreateDirectoryW(candidate.c_str(), nullptr)) {
            folder = candidate;
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    if (!folder.empty())
        removeTree(folder);
}

bool TempFolder::addFile(const std::wstring& name) const
{
    HANDLE file = CreateFileW(this->file(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

bool TempFolder::addFolder(const std::wstring& name) const
{
    return CreateDirectoryW(file(name).c_str(), nullptr) != 0;
}
