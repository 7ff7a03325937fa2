// How long the control bar takes to show a time change on a 1920-pixel-wide bar: the knob moving
// one pixel (playback), jumping across half the track (a seek) and not moving at all, against
// the old drawing that tiled the whole track on every change, measured in the same run.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/bar/OldTimeSlider.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"

namespace {

const int barWidth = 1920;
const int samplesPerRound = 40; // the old drawing takes a large part of a second under Wine
const int rounds = 3;
const int64_t msPerPixel = 10;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

void pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND makeHost()
{
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"BenchBarHost";
    RegisterClassExW(&wc);
    // Visible, so putting the strips on screen costs what it costs for the player.
    return CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, barWidth, 200, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

// Lays the bar out again: everything in its buffers is drawn anew from its shown values.
void relayout(PlayBar& bar)
{
    SendMessageW(bar.hwnd, WM_SIZE, 0, MAKELPARAM(barWidth, bar.barHeight()));
}

// The track's travel in pixels. The length is set to ten milliseconds per pixel of travel.
int timeTravel(PlayBar& bar)
{
    RECT rect = {};
    GetWindowRect(GetDlgItem(bar.hwnd, IDC_BAR_TIME), &rect);
    return (rect.right - rect.left) - static_cast<int>(bar.timeKnob->GetWidth());
}

// The compose buffer's pixels, for checking that both drawings give the same picture.
std::vector<DWORD> composePixels(PlayBar& bar)
{
    GdiFlush();
    DIBSECTION section = {};
    HGDIOBJ bitmap = GetCurrentObject(bar.composeBuffer.dc(), OBJ_BITMAP);
    if (!GetObjectW(bitmap, sizeof(section), &section) || !section.dsBm.bmBits)
        return {};
    const auto* bits = static_cast<const DWORD*>(section.dsBm.bmBits);
    return std::vector<DWORD>(bits, bits + section.dsBm.bmWidth * section.dsBm.bmHeight);
}

// Sample positions spread along the track, so the old drawing's cost (which grows with the
// played part) is sampled over its whole range.
std::vector<int> positions(int travel)
{
    std::vector<int> at;
    for (int i = 0; i < samplesPerRound; ++i)
        at.push_back(1 + i * (travel - 2) / samplesPerRound);
    return at;
}

struct Figures {
    std::vector<double> before, step, jump, still;
};

void measureOld(PlayBar& bar, OldTimeSlider& old, const std::vector<int>& at, Figures& figures)
{
    for (int p : at) {
        bar.shownTime = p * msPerPixel;
        const double start = nowUs();
        old.refresh(bar);
        figures.before.push_back(nowUs() - start);
    }
}

// One time change to `pixel` (plus `extraMs`, which moves nothing on screen).
double timedRefresh(PlayBar& bar, int pixel, int64_t extraMs = 0)
{
    bar.shownTime = pixel * msPerPixel + extraMs;
    const double start = nowUs();
    bar.refreshTime();
    return nowUs() - start;
}

void measureNew(PlayBar& bar, int travel, const std::vector<int>& at, Figures& figures)
{
    relayout(bar); // the old drawing went behind the bar's back
    for (int p : at) {
        timedRefresh(bar, p - 1);
        figures.step.push_back(timedRefresh(bar, p));
        figures.still.push_back(timedRefresh(bar, p, msPerPixel / 2));
        figures.jump.push_back(timedRefresh(bar, (p + travel / 2) % travel));
    }
}

// Pixels of the compose buffer that differ between the old and the new drawing at a few places.
// Expected: 7. Under Wine the old drawing squeezed a played part narrower than its 6-pixel tile
// and left the first played column showing the track (at 5 pixels: its 7 opaque rows); the
// tile stretched across the track has no such column.
long differingPixels(PlayBar& bar, OldTimeSlider& old, int travel)
{
    long differing = 0;
    for (int p : {0, 1, 2, 3, 5, 6, 7, travel / 3, travel / 2 + 1, travel - 1, travel}) {
        bar.shownTime = p * msPerPixel;
        old.refresh(bar);
        const std::vector<DWORD> before = composePixels(bar);
        relayout(bar);
        timedRefresh(bar, p > 0 ? p - 1 : p + 1);
        timedRefresh(bar, p);
        const std::vector<DWORD> after = composePixels(bar);
        if (before.size() != after.size() || before.empty())
            return -1;
        for (size_t i = 0; i < before.size(); ++i)
            differing += before[i] != after[i];
    }
    return differing;
}

} // namespace

int main()
{
    GdiplusSession gdiplus;
    HWND host = makeHost();
    PlayLogic controller;
    PlayBar* bar = PlayBar::instance();
    if (!gdiplus.started() || !host || !bar || !bar->create(GetModuleHandleW(nullptr), host, controller)) {
        std::printf("bar-bench-error: no bar\n");
        return 1;
    }
    MoveWindow(bar->hwnd, 0, 0, barWidth, bar->barHeight(), TRUE);
    pump();
    OldTimeSlider old;
    if (!old.ready() || !bar->composeBuffer.exists() || !bar->timeKnob) {
        std::printf("bar-bench-error: images or buffers missing\n");
        return 1;
    }
    const int travel = timeTravel(*bar);
    bar->shownLength = msPerPixel * travel;
    const std::vector<int> at = positions(travel);

    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        measureOld(*bar, old, at, figures);
        measureNew(*bar, travel, at, figures);
        pump();
    }
    const long differing = differingPixels(*bar, old, travel);

    const double before = median(figures.before), after = median(figures.step);
    std::printf("bar-refresh-us: %.1f\n", after);
    std::printf("bar-refresh-before-us: %.1f\n", before);
    std::printf("bar-refresh-speedup: %.1f\n", after > 0 ? before / after : 0.0);
    std::printf("bar-refresh-seek-us: %.1f\n", median(figures.jump));
    std::printf("bar-refresh-unmoved-us: %.1f\n", median(figures.still));
    std::printf("bar-refresh-pixels-differing: %ld\n", differing);

    PlayBar::releaseInstance();
    DestroyWindow(host);
    return 0;
}
