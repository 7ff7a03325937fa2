// CPU time Quillet.exe spends while nothing happens: with nothing opened, and with a file paused,
// each over 10 s, in ms per second, from GetProcessTimes. Under Wine that call's times for another
// process stand still (wine64) or are 0, so there only the `mark:` lines are printed and idle.sh
// reads the same figure from the Linux side.
//   idle_bench <folder of Quillet.exe> <clip of at least 20 s>
#include <windows.h>
#include <cstdio>
#include <string>

#include "tests/support/PlayerDriver.h"
#include "videoplayer/res/resource.h"

namespace {

const DWORD kWindowMs = 10000;

bool underWine()
{
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

// User plus kernel time of the process so far, in ms; 0 when the call gives nothing.
double cpuMs(HANDLE process)
{
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user))
        return 0;
    const auto ticks = [](const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

// One resting window between two marks; prints the figure when the system answers.
void measure(HANDLE process, const char* mark, const char* figure)
{
    Sleep(1500); // what the last step started settles first
    const double start = cpuMs(process);
    std::printf("mark: %s-start\n", mark);
    std::fflush(stdout);
    Sleep(kWindowMs);
    const double end = cpuMs(process);
    std::printf("mark: %s-end\n", mark);
    if (end > 0 && !underWine())
        std::printf("%s: %.1f\n", figure, (end - start) * 1000.0 / kWindowMs);
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: idle_bench <player folder> <clip>\n");
        return 2;
    }
    PlayerDriver player(argv[1]);
    if (!player.window) {
        std::fprintf(stderr, "idle: Quillet.exe did not start\n");
        return 1;
    }
    measure(player.process.hProcess, "idle", "idle-cpu-ms-per-s");

    if (!player.dropFile(argv[2])
        || !waitFor([&] { return player.caption().find(L" | ") != std::wstring::npos; }, 20000)) {
        std::fprintf(stderr, "idle: the clip did not play\n");
        return 1;
    }
    player.command(IDM_PAUSE);
    measure(player.process.hProcess, "paused", "idle-cpu-paused-ms-per-s");
    return player.close() == 0 ? 0 : 1;
}
