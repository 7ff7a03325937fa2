// The control bar's time-slider refresh as it was before the tiles were rendered once per layout:
// kept here only, so the benchmark can measure the old and the new drawing in one run.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdint>

#include "common/GdiplusSession.h"
#include "videoplayer/ui/OffscreenBuffer.h"

class OldTimeSlider {
public:
    // Decodes its own copies of the bar's images in the straight (not premultiplied) format the
    // loader used to produce, and composes in buffers of its own for a bar of width x height
    // whose time and volume tracks lie at `timeTrack` and `volumeTrack`.
    OldTimeSlider(HDC reference, int width, int height, const RECT& timeTrack, const RECT& volumeTrack);

    bool ready() const { return track && played && knob && composeBuffer.exists(); }
    // One refresh of the time slider the old way, showing `time` of `length`: the strip restored,
    // the track and the played part tiled in one draw per tile, the knob drawn, both slider
    // strips put on `screen`.
    void refresh(HDC screen, int64_t time, int64_t length);
    // A pixel of the composed picture.
    COLORREF pixel(int x, int y) const;

private:
    void drawTimeSlider(int64_t time, int64_t length);
    void presentSliders(HDC screen);

    UniqueGdiplusImage background, track, played, knob;
    OffscreenBuffer backgroundBuffer, composeBuffer;
    const int height;
    const RECT timeTrack, volumeTrack;
};
