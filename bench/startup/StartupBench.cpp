// Start-up to a visible window, and Open-to-first-frame for a clip, of Quillet.exe on the real
// engine; a bare Win32 window program's start-up is measured in the same run as the baseline.
//   startup_bench <folder of Quillet.exe> <folder of bare_window.exe> <clip>
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/support/PlayerDriver.h"

namespace {

const int runs = 5;

double msSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// Time from CreateProcess to a visible window of the class, for one run; the program is closed.
double startupOnce(const std::wstring& exe, const std::wstring& folder, const wchar_t* className)
{
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi))
        return -1;
    HWND window = nullptr;
    waitFor([&] {
        window = FindWindowW(className, nullptr);
        return window && IsWindowVisible(window);
    }, 30000);
    const double elapsed = msSince(start);
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 15000) == WAIT_TIMEOUT)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return window ? elapsed : -1;
}

// Distinct colours over the video surface away from its centre: black while idle.
size_t coloursOver(HWND window)
{
    RECT rc;
    GetWindowRect(window, &rc);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    for (int y = rc.top + 8; y < rc.bottom - 8; y += 24)
        for (int x = rc.left + 8; x < rc.left + (rc.right - rc.left) / 3; x += 24)
            colours.insert(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return colours.size();
}

double firstFrameOnce(const std::wstring& folder, const std::wstring& clip)
{
    PlayerDriver player(folder);
    HWND surface = player.window ? FindWindowExW(player.window, nullptr, L"Player_CtrlClass", nullptr) : nullptr;
    if (!surface)
        return -1;
    Sleep(300);
    const size_t idle = coloursOver(surface);
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    if (!player.dropFile(clip))
        return -1;
    const bool shown = waitFor([&] { return coloursOver(surface) > idle + 3; }, 20000);
    const double elapsed = msSince(start);
    player.close();
    return shown ? elapsed : -1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: startup_bench <player folder> <baseline folder> <clip>\n");
        return 2;
    }
    const std::wstring playerFolder = argv[1], baseFolder = argv[2], clip = argv[3];
    std::vector<double> baseline, startup, firstFrame;
    startupOnce(baseFolder + L"\\bare_window.exe", baseFolder, L"QuilletBenchBare"); // warm the caches
    startupOnce(playerFolder + L"\\Quillet.exe", playerFolder, L"Player_WndClass");
    for (int i = 0; i < runs; ++i) {
        baseline.push_back(startupOnce(baseFolder + L"\\bare_window.exe", baseFolder, L"QuilletBenchBare"));
        startup.push_back(startupOnce(playerFolder + L"\\Quillet.exe", playerFolder, L"Player_WndClass"));
    }
    for (int i = 0; i < 3; ++i)
        firstFrame.push_back(firstFrameOnce(playerFolder, clip));
    std::printf("startup-baseline-ms: %.0f\n", median(baseline));
    std::printf("startup-ms: %.0f\n", median(startup));
    std::printf("first-frame-ms: %.0f\n", median(firstFrame));
    std::printf("startup-vs-baseline: %.2f\n", median(startup) / median(baseline));
    return 0;
}
