// Keeps the test run's Wine desktop in use. Wine closes a desktop a second after its last
// program ends, and the next program then waits over a second for a new one; tests that follow
// one another with small gaps paid that again and again. This program holds an invisible,
// message-only window on the desktop until the run's Wine server is stopped.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    if (!CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
