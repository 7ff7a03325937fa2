// File helpers of the updater tests.
#include "tests/updater/TestFiles.h"

#include <windows.h>
#include <shlobj.h>

#include <fstream>
#include <iterator>

namespace {

std::wstring lower(std::wstring text)
{
    CharLowerBuffW(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

bool writeFile(const std::wstring& path, const std::string& bytes)
{
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool readFile(const std::wstring& path, std::string& bytes)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring installerFolder()
{
    wchar_t folder[MAX_PATH] = L"";
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE);
    return std::wstring(folder) + L"\\Temp";
}

std::vector<std::wstring> downloadFolders()
{
    std::vector<std::wstring> folders;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((installerFolder() + L"\\tellanupdate-*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found))
        folders.push_back(installerFolder() + L"\\" + found.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return folders;
}

std::vector<std::wstring> downloadedFiles(const std::wstring& suffix)
{
    std::vector<std::wstring> files;
    for (const std::wstring& folder : downloadFolders())
        for (const std::wstring& file : filesEndingWith(folder, suffix))
            files.push_back(file);
    return files;
}

void removeDownloads()
{
    for (const std::wstring& file : downloadedFiles(L""))
        DeleteFileW(file.c_str());
    for (const std::wstring& folder : downloadFolders())
        RemoveDirectoryW(folder.c_str());
}

std::vector<std::wstring> filesEndingWith(const std::wstring& folder, const std::wstring& suffix)
{
    std::vector<std::wstring> paths;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return paths;
    const std::wstring wanted = lower(suffix);
    do {
        const std::wstring name = lower(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name.size() >= wanted.size() &&
            name.compare(name.size() - wanted.size(), wanted.size(), wanted) == 0)
            paths.push_back(folder + L"\\" + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return paths;
}

std::wstring signingText(const std::wstring& name)
{
    wchar_t program[MAX_PATH] = L"";
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring path = program;
    path = path.substr(0, path.rfind(L'\\')) + L"\\signing\\" + name;
    std::string bytes;
    if (!readFile(path, bytes))
        return std::wstring();
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.pop_back();
    return std::wstring(bytes.begin(), bytes.end());
}

std::wstring uniqueName(const std::wstring& stem, const std::wstring& extension)
{
    // Wine hands out small process ids again soon; with the start time too, a file a test of an
    // earlier process left behind can never carry this process's name.
    static const unsigned long long started = GetTickCount64();
    return stem + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(started) + extension;
}
