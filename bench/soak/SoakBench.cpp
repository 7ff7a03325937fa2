// A long session of Quillet.exe on the real engine, driven from outside: real clips opened and
// stopped again and again, with seeks and volume changes, then a stretch of plain playback. The
// player's live GDI objects, kernel handles and windows are counted after the warm-up opens and
// again at the end; a leak shows as a difference. Resident memory is read by soak.sh from the
// Linux side at the two `mark:` lines this program prints, while the player rests.
//   soak_bench <folder of Quillet.exe> <folder of the clips soak-1.mp4 ... soak-3.mp4>
// SOAK_OPENS (200), SOAK_WARMUP (20) and SOAK_PLAY_SECONDS (120) shorten a run while developing.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/soak/ProcessCounters.h"
#include "tests/support/PlayerDriver.h"
#include "videoplayer/res/resource.h"

namespace {

const wchar_t* const kClips[] = { L"soak-1.mp4", L"soak-2.mp4", L"soak-3.mp4" };
const int kClipCount = 3;

int setting(const char* name, int fallback)
{
    const char* value = std::getenv(name);
    return value && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

struct Snapshot {
    long gdi, handles, windows, privateKb;
};

bool showsFile(const std::wstring& caption, const std::wstring& name)
{
    return caption.rfind(L"Quillet 1.1 - " + name + L" | ", 0) == 0;
}

class Session {
public:
    Session(PlayerDriver& player, const std::wstring& clips)
        : player_(player), clips_(clips), counters_(player.process.hProcess, player.process.dwProcessId)
    {
    }

    // Opens one clip by a drop, lets it play, works it a little when asked, and stops it.
    bool openAndStop(int index, bool exercise)
    {
        const std::wstring name = kClips[index % kClipCount];
        if (!player_.dropFile(clips_ + L"\\" + name))
            return false;
        const bool playing = waitFor([&] { return showsFile(player_.caption(), name); }, 20000);
        player_.freeDrops();
        if (!playing)
            return false;
        if (exercise) {
            player_.command(IDM_FORWARD);
            player_.command(index % 2 ? IDM_VOLUME_UP : IDM_VOLUME_DOWN);
            player_.command(IDM_BACKWARD);
            player_.command(IDM_MUTE);
            player_.command(IDM_MUTE);
            Sleep(300);
        }
        player_.command(IDM_STOP);
        return waitFor([&] { return player_.caption() == L"Quillet 1.1"; }, 20000);
    }

    // Plays the folder from its first clip for `seconds`, starting it again whenever it stops.
    bool playFor(int seconds)
    {
        const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
        int opened = 0;
        while (static_cast<LONG>(end - GetTickCount()) > 0) {
            if (player_.caption() == L"Quillet 1.1") {
                if (!player_.dropFile(clips_ + L"\\" + kClips[opened++ % kClipCount]))
                    return false;
                waitFor([&] { return player_.caption() != L"Quillet 1.1"; }, 20000);
                player_.freeDrops();
            }
            Sleep(250);
        }
        player_.command(IDM_STOP);
        return waitFor([&] { return player_.caption() == L"Quillet 1.1"; }, 20000);
    }

    // Counts while the player rests, after printing the mark at which soak.sh reads its memory.
    Snapshot rest(const char* mark)
    {
        Sleep(1500); // late events and repaints settle
        std::printf("mark: %s\n", mark);
        std::fflush(stdout);
        Sleep(1500);
        return { counters_.gdiObjects(), counters_.kernelHandles(), counters_.windows(), counters_.privateKb() };
    }

private:
    PlayerDriver& player_;
    std::wstring clips_;
    ProcessCounters counters_;
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: soak_bench <player folder> <clip folder>\n");
        return 2;
    }
    const int opens = setting("SOAK_OPENS", 200), warmup = setting("SOAK_WARMUP", 20);
    const int playSeconds = setting("SOAK_PLAY_SECONDS", 120);

    PlayerDriver player(argv[1]);
    if (!player.window) {
        std::fprintf(stderr, "soak: Quillet.exe did not start\n");
        return 1;
    }
    Session session(player, argv[2]);
    for (int i = 0; i < warmup; ++i)
        if (!session.openAndStop(i, true)) {
            std::fprintf(stderr, "soak: warm-up open %d failed\n", i + 1);
            return 1;
        }
    const Snapshot before = session.rest("before");
    // Memory read half-way and after the opens tells growth per open from growth while playing.
    const int halfway = warmup + (opens - warmup) / 2;
    for (int i = warmup; i < opens; ++i) {
        if (i == halfway)
            session.rest("halfway");
        if (!session.openAndStop(i, i % 4 == 0)) {
            std::fprintf(stderr, "soak: open %d failed\n", i + 1);
            return 1;
        }
    }
    session.rest("opened");
    if (!session.playFor(playSeconds)) {
        std::fprintf(stderr, "soak: playback stopped working\n");
        return 1;
    }
    const Snapshot after = session.rest("after");

    std::printf("soak-opens: %d\n", opens);
    std::printf("soak-gdi-before: %ld\n", before.gdi);
    std::printf("soak-gdi-delta: %ld\n", after.gdi - before.gdi);
    std::printf("soak-handle-before: %ld\n", before.handles);
    std::printf("soak-handle-delta: %ld\n", after.handles - before.handles);
    std::printf("soak-window-before: %ld\n", before.windows);
    std::printf("soak-window-delta: %ld\n", after.windows - before.windows);
    std::printf("soak-private-kb-before: %ld\n", before.privateKb);
    std::printf("soak-private-kb-delta: %ld\n", after.privateKb - before.privateKb);
    std::fflush(stdout);
    return player.close() == 0 ? 0 : 1;
}
