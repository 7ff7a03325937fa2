// Finding and working the windows of a modal step from a test's own thread.
#include "tests/support/WindowDriver.h"

namespace {

const DWORD pollMs = 20;
const UINT sendTimeoutMs = 5000;

} // namespace

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        Sleep(pollMs);
    }
}

HWND waitForWindow(const wchar_t* className, const wchar_t* caption, DWORD timeoutMs)
{
    // A dialog exists before WM_INITDIALOG has made its controls and set their texts; it is
    // shown only afterwards, so a visible one is ready to be read and worked.
    HWND found = nullptr;
    waitFor([&] { return (found = FindWindowW(className, caption)) != nullptr && IsWindowVisible(found); }, timeoutMs);
    return found && IsWindowVisible(found) ? found : nullptr;
}

bool waitForWindowGone(HWND window, DWORD timeoutMs)
{
    return waitFor([&] { return !IsWindow(window); }, timeoutMs);
}

std::wstring windowText(HWND window)
{
    wchar_t text[1024] = L"";
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             sendTimeoutMs, &length))
        return std::wstring();
    return std::wstring(text, length < ARRAYSIZE(text) ? length : ARRAYSIZE(text) - 1);
}

std::wstring messageBoxText(HWND box)
{
    return windowText(GetDlgItem(box, 0xFFFF));
}

void clickButton(HWND dialog, int id)
{
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, sendTimeoutMs, &ignored);
}
