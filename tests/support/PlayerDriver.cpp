// Drives Quillet.exe from outside its process.
#include "tests/support/PlayerDriver.h"

#include <shlobj.h>
#include <vector>

#include "videoplayer/res/resource.h"

std::wstring programFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

PlayerDriver::PlayerDriver(const std::wstring& folder, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + folder + L"\\Quillet.exe\" " + arguments;
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                             &process) != 0;
    if (started)
        waitFor([this] { return (window = findMainWindow()) != nullptr; }, 20000);
}

PlayerDriver::~PlayerDriver()
{
    if (!started)
        return;
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
        if (window)
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process.hProcess, 10000) == WAIT_TIMEOUT)
            TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

HWND PlayerDriver::findMainWindow() const
{
    for (HWND w = FindWindowW(L"Player_WndClass", nullptr); w; w = FindWindowExW(nullptr, w, L"Player_WndClass", nullptr)) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        // The main window exists before its children: wait until it is shown.
        if (pid == process.dwProcessId && IsWindowVisible(w))
            return w;
    }
    return nullptr;
}

bool PlayerDriver::exited(DWORD timeoutMs, DWORD* exitCode)
{
    if (WaitForSingleObject(process.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process.hProcess, exitCode);
    return true;
}

DWORD PlayerDriver::close()
{
    PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD code = 0xFFFFFFFF;
    exited(15000, &code);
    return code;
}

void PlayerDriver::command(int id) const
{
    PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

bool PlayerDriver::openThroughDialog(const std::wstring& path)
{
    command(IDM_OPEN);
    HWND dialog = waitForWindow(L"#32770", L"Select File");
    if (!dialog)
        return false;
    HWND name = nullptr;
    const bool found = waitFor([&] {
        name = GetDlgItem(dialog, 0x47C); // the file name box of the explorer-style dialog
        if (!name)
            name = GetDlgItem(dialog, 0x480); // the file name edit of the old style
        return name != nullptr;
    });
    if (!found)
        return false;
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    return waitFor([&] { return !IsWindow(dialog); });
}

bool PlayerDriver::dropFile(const std::wstring& path)
{
    // A DROPFILES block written into the player's memory, as the shell hands it over.
    std::vector<BYTE> block(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), 0);
    auto* drop = reinterpret_cast<DROPFILES*>(block.data());
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    memcpy(block.data() + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    void* remote = VirtualAllocEx(process.hProcess, nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return false;
    drops_.push_back(remote);
    if (!WriteProcessMemory(process.hProcess, remote, block.data(), block.size(), nullptr))
        return false;
    return PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0) != 0;
}

void PlayerDriver::freeDrops()
{
    for (void* block : drops_)
        VirtualFreeEx(process.hProcess, block, 0, MEM_RELEASE);
    drops_.clear();
}
