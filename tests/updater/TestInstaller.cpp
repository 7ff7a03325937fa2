// A stand-in installer for the update tests: it records that it ran by writing a file named
// after its own path with ".ran" appended, since the shell starts it without arguments, and
// writes into it the working folder it was started in (UTF-16).
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const wchar_t suffix[] = L".ran";
    wchar_t path[MAX_PATH] = L"";
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length + ARRAYSIZE(suffix) > MAX_PATH)
        return 1;
    lstrcatW(path, suffix);
    wchar_t folder[MAX_PATH] = L"";
    const DWORD folderLength = GetCurrentDirectoryW(MAX_PATH, folder);
    if (folderLength == 0 || folderLength >= MAX_PATH)
        return 1;
    HANDLE marker = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(marker, folder, folderLength * sizeof(wchar_t), &written, nullptr);
    CloseHandle(marker);
    return 0;
}
