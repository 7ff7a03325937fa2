// How long the control bar takes to show a time change on a 1920-pixel-wide bar: the knob moving
// one pixel (playback), jumping across half the track (a seek) and not moving at all, against
// the old drawing that tiled the whole track on every change, measured in the same run. The bar
// is its canvas on a window of the bar's width, as the bar's refresh drives it.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "bench/BenchClock.h"
#include "bench/bar/OldTimeSlider.h"
#include "common/UniqueHandle.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBarCanvas.h"

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

// The bar's picture and the window it is shown in: a time change is what the bar's refresh does
// with the position it has read, the changed columns drawn and put on the window's DC.
struct Bar {
    HWND host;
    PlayBarCanvas canvas;
    int height;
    RECT timeTrack = {}, volumeTrack = {};
    int64_t length = 0;

    explicit Bar(HWND host) : host(host), canvas(GetModuleHandleW(nullptr)), height(canvas.preferredHeight()) {}

    // Lays the bar out again: everything in its buffers is drawn anew, here at `time`.
    bool layOut(int64_t time)
    {
        const ScopedWindowDc screen(host);
        canvas.layOut(screen.get(), barWidth, height, SliderValues{time, length, 100});
        return canvas.placeOf(IDC_BAR_TIME, timeTrack) && canvas.placeOf(IDC_BAR_VOLUME, volumeTrack);
    }

    void refresh(int64_t time)
    {
        const RECT changed = canvas.showTime(time, length);
        if (IsRectEmpty(&changed))
            return;
        const ScopedWindowDc own(host);
        canvas.present(own.get(), changed);
    }

    // The track's travel in pixels.
    int travel() const { return (timeTrack.right - timeTrack.left) - canvas.timeKnobWidth(); }
};

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

void measureOld(Bar& bar, OldTimeSlider& old, const std::vector<int>& at, Figures& figures)
{
    for (int p : at) {
        const double start = nowUs();
        const ScopedWindowDc own(bar.host);
        old.refresh(own.get(), p * msPerPixel, bar.length);
        figures.before.push_back(nowUs() - start);
    }
}

// One time change to `pixel` (plus `extraMs`, which moves nothing on screen).
double timedRefresh(Bar& bar, int pixel, int64_t extraMs = 0)
{
    const double start = nowUs();
    bar.refresh(pixel * msPerPixel + extraMs);
    return nowUs() - start;
}

void measureNew(Bar& bar, int travel, const std::vector<int>& at, Figures& figures)
{
    bar.layOut(0); // the old drawing painted over the window behind the bar's back
    for (int p : at) {
        timedRefresh(bar, p - 1);
        figures.step.push_back(timedRefresh(bar, p));
        figures.still.push_back(timedRefresh(bar, p, msPerPixel / 2));
        figures.jump.push_back(timedRefresh(bar, (p + travel / 2) % travel));
    }
}

// Pixels of the time track that differ between the old and the new drawing at a few places.
// Expected: 7. Under Wine the old drawing squeezed a played part narrower than its 6-pixel tile
// and left the first played column showing the track (at 5 pixels: its 7 opaque rows); the
// tile stretched across the track has no such column.
long differingPixels(Bar& bar, OldTimeSlider& old, int travel)
{
    const RECT& track = bar.timeTrack;
    long differing = 0;
    OffscreenBuffer shot;
    if (!shot.create(nullptr, barWidth, bar.height))
        return -1;
    for (int p : {0, 1, 2, 3, 5, 6, 7, travel / 3, travel / 2 + 1, travel - 1, travel}) {
        old.refresh(shot.dc(), p * msPerPixel, bar.length); // its strips, then the new track over them
        bar.layOut(0);
        timedRefresh(bar, p > 0 ? p - 1 : p + 1);
        timedRefresh(bar, p);
        bar.canvas.present(shot.dc(), track);
        for (int y = 0; y < bar.height; ++y)
            for (int x = track.left; x < track.right; ++x)
                differing += old.pixel(x, y) != GetPixel(shot.dc(), x, y);
    }
    return differing;
}

} // namespace

int main()
{
    GdiplusSession gdiplus;
    HWND host = makeHost();
    if (!gdiplus.started() || !host) {
        std::printf("bar-bench-error: no bar\n");
        return 1;
    }
    Bar bar(host);
    pump();
    if (!bar.layOut(0) || bar.canvas.timeKnobWidth() == 0) {
        std::printf("bar-bench-error: images or buffers missing\n");
        return 1;
    }
    const int travel = bar.travel();
    bar.length = msPerPixel * travel;
    const ScopedWindowDc reference(host);
    OldTimeSlider old(reference.get(), barWidth, bar.height, bar.timeTrack, bar.volumeTrack);
    if (!old.ready()) {
        std::printf("bar-bench-error: images or buffers missing\n");
        return 1;
    }
    const std::vector<int> at = positions(travel);

    Figures figures;
    for (int round = 0; round < rounds; ++round) {
        measureOld(bar, old, at, figures);
        measureNew(bar, travel, at, figures);
        pump();
    }
    const long differing = differingPixels(bar, old, travel);

    const double before = median(figures.before), after = median(figures.step);
    std::printf("bar-refresh-us: %.1f\n", after);
    std::printf("bar-refresh-before-us: %.1f\n", before);
    std::printf("bar-refresh-speedup: %.1f\n", after > 0 ? before / after : 0.0);
    std::printf("bar-refresh-seek-us: %.1f\n", median(figures.jump));
    std::printf("bar-refresh-unmoved-us: %.1f\n", median(figures.still));
    std::printf("bar-refresh-pixels-differing: %ld\n", differing);

    DestroyWindow(host);
    return 0;
}
