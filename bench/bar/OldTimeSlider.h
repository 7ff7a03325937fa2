// The control bar's time-slider refresh as it was before the tiles were rendered once per layout:
// kept here only, so the benchmark can measure the old and the new drawing in one run.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "common/GdiplusSession.h"

class PlayBar;

class OldTimeSlider {
public:
    // Decodes its own copies of the slider images in the straight (not premultiplied) format the
    // loader used to produce.
    OldTimeSlider();

    bool ready() const { return track && played && knob; }
    // One refresh of the time slider on `bar` the old way: the strip restored, the track and the
    // played part tiled in one draw per tile, the knob drawn, both slider strips put on screen.
    void refresh(PlayBar& bar);

private:
    void drawTimeSlider(PlayBar& bar, const RECT& control);
    void presentSliders(PlayBar& bar);

    UniqueGdiplusImage track, played, knob;
};
