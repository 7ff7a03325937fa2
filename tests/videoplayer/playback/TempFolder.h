// A uniquely named folder under the user's temporary folder, filled with empty files and
// sub-folders for a test and removed with everything in it afterwards.
#pragma once

#include <windows.h>

#include <string>

class TempFolder {
public:
    TempFolder()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        for (unsigned attempt = 0; attempt < 1000; ++attempt) {
            const std::wstring candidate = std::wstring(temp) + L"quillet-playlist-" +
                                           std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                folder = candidate + L"\\";
                return;
            }
        }
    }
    ~TempFolder()
    {
        if (!folder.empty())
            removeTree(folder);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool valid() const { return !folder.empty(); }
    // The folder with its trailing backslash.
    const std::wstring& path() const { return folder; }
    std::wstring operator/(const std::wstring& name) const { return folder + name; }

    bool addFile(const std::wstring& name) const
    {
        HANDLE file = CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        CloseHandle(file);
        return true;
    }
    bool addFolder(const std::wstring& name) const { return CreateDirectoryW((folder + name).c_str(), nullptr) != 0; }

private:
    // `dir` ends with a backslash.
    static void removeTree(const std::wstring& dir)
    {
        WIN32_FIND_DATAW item;
        HANDLE search = FindFirstFileW((dir + L"*").c_str(), &item);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = item.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                if (item.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    removeTree(dir + name + L"\\");
                else
                    DeleteFileW((dir + name).c_str());
            } while (FindNextFileW(search, &item));
            FindClose(search);
        }
        RemoveDirectoryW(dir.substr(0, dir.size() - 1).c_str());
    }

    std::wstring folder;
};
