// Finding and working the windows of a modal step (a message box, the download dialog) from a
// test's own thread while the code under test waits in that window's loop, in this process or
// in another one.
#pragma once

#include <windows.h>
#include <functional>
#include <string>
#include <thread>

// The top-level window of this class and caption, once it is shown; null after `timeoutMs`.
HWND waitForWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs = 45000);
// True once `window` is gone, false when it is still there after `timeoutMs`.
bool waitForWindowGone(HWND window, DWORD timeoutMs = 45000);
// Polls `condition` every few milliseconds; true once it holds, false after `timeoutMs`.
bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs = 45000);
// A window's text through WM_GETTEXT, which also reads another process's controls.
std::wstring windowText(HWND window);
// The text of a message box (its static with identifier 0xFFFF).
std::wstring messageBoxText(HWND box);
// Presses a dialog's button as a click would.
void clickButton(HWND dialog, int id);

// Runs `steps` on a thread of its own and joins it when the test leaves the scope.
class Driver {
public:
    explicit Driver(std::function<void()> steps) : thread_(std::move(steps)) {}
    ~Driver() { join(); }
    Driver(const Driver&) = delete;
    Driver& operator=(const Driver&) = delete;
    void join()
    {
        if (thread_.joinable())
            thread_.join();
    }

private:
    std::thread thread_;
};
