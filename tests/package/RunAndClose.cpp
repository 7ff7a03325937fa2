// run_and_close <program> [seconds]: starts an installed Quillet.exe, waits until its main window
// is shown, closes it as a user would (WM_CLOSE) and exits with the program's exit code.
// Its own failures (no start, no window, no exit) exit with 100 and up, with a line on stderr.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

const int failedToStart = 100;
const int endedWithoutWindow = 101;
const int noWindow = 102;
const int didNotExit = 103;

// Owns a kernel handle.
class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle() { if (handle_) CloseHandle(handle_); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE get() const { return handle_; }

private:
    HANDLE handle_;
};

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK matchPlayerWindow(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->processId && std::wcscmp(className, L"Player_WndClass") == 0 &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findPlayerWindow(DWORD processId)
{
    WindowSearch search = {processId, nullptr};
    EnumWindows(matchPlayerWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The program's folder, as a shortcut would start it.
std::wstring folderOf(const std::wstring& path)
{
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

int exitCodeOf(HANDLE process)
{
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fwprintf(stderr, L"usage: run_and_close <program> [seconds]\n");
        return failedToStart;
    }
    const std::wstring program = argv[1];
    const DWORD waitMs = (argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 60) * 1000;
    std::wstring commandLine = L"\"" + program + L"\"";

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        folderOf(program).c_str(), &startup, &info)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", program.c_str(), GetLastError());
        return failedToStart;
    }
    Handle process(info.hProcess);
    Handle thread(info.hThread);

    HWND window = nullptr;
    for (DWORD waited = 0; !window; waited += 100) {
        if (WaitForSingleObject(process.get(), 100) == WAIT_OBJECT_0) {
            std::fwprintf(stderr, L"the program ended (exit code %d) without showing its window\n",
                          exitCodeOf(process.get()));
            return endedWithoutWindow;
        }
        if (waited >= waitMs) {
            std::fwprintf(stderr, L"no visible Player_WndClass window after %lu ms\n", waitMs);
            TerminateProcess(process.get(), 1);
            return noWindow;
        }
        window = findPlayerWindow(info.dwProcessId);
    }

    PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.get(), waitMs) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"the program did not end within %lu ms of WM_CLOSE\n", waitMs);
        TerminateProcess(process.get(), 1);
        return didNotExit;
    }
    const int code = exitCodeOf(process.get());
    std::fwprintf(stderr, L"the program showed its window, closed and exited with %d\n", code);
    return code;
}
