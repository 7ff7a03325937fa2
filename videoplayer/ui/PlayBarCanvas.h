// The control bar's picture: its images, where each of its parts goes for a given size, the
// off-screen buffers it is composed in and all of its drawing. It needs no window of its own: it
// draws into whatever DC it is given, so it can be drawn and read on a memory DC.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdint>
#include <map>

#include "common/GdiplusSession.h"
#include "common/UniqueHandle.h"
#include "videoplayer/ui/DisplayScale.h"
#include "videoplayer/ui/OffscreenBuffer.h"

// What the two sliders show.
struct SliderValues {
    int64_t time = 0;   // milliseconds
    int64_t length = 0; // milliseconds; none (0 or less) shows nothing played
    int volume = 100;   // 0 to 100
};

// Every length of the bar's layout that is not the size of one of its images, at 96 DPI. The
// display scale enters here, and in the choice of images.
struct BarMetrics {
    int edge = 1;            // between an end of the bar and the control nearest to it
    int gap = 1;             // between two neighbouring controls
    int fallbackHeight = 27; // the bar's height without a background image
    int pressOffset = 1;     // how far down and right a pressed button's icon moves

    // Every length scaled to `dpi`.
    static BarMetrics forDpi(int dpi);
};

// The parts of the bar are named by the identifiers of the dialog controls that stand for them
// (videoplayer/res/resource.h): the buttons, the time track and the volume track.
class PlayBarCanvas {
public:
    // Loads the bar's images for `dpi` from `module`'s "PNG" resources. A missing image removes
    // only what it draws: a part without one takes no room and is not drawn.
    explicit PlayBarCanvas(HMODULE module, int dpi = scale::baseDpi);
    ~PlayBarCanvas();
    PlayBarCanvas(const PlayBarCanvas&) = delete;
    PlayBarCanvas& operator=(const PlayBarCanvas&) = delete;

    // The DPI the bar is drawn for.
    int dpi() const { return dpi_; }
    // Draws the bar for `dpi` from now on: the images made for it, every length scaled to it. The
    // parts have no places and the picture is empty until the next layOut.
    void setDpi(int dpi);

    // The height the bar asks for: its background image's, or the metrics' fallback.
    int preferredHeight() const;
    int timeKnobWidth() const { return timeKnobWidth_; }
    int volumeKnobWidth() const { return volumeKnobWidth_; }

    // Places every part for a bar of width x height and draws the whole picture again, showing
    // `shown`. The buffers only grow (a smaller bar keeps the larger ones); new ones are made
    // compatible with `reference`.
    void layOut(HDC reference, int width, int height, const SliderValues& shown);
    // Where the last layout put a part, in bar coordinates; false for a part without an image
    // and before the first layout. For the thread that lays the bar out.
    bool placeOf(int part, RECT& place) const;

    // Draws the time slider at `time` of `length` and returns the columns that changed, in bar
    // coordinates: only those between the old and the new knob. Empty when the knob stays on its
    // pixel or there is no picture yet.
    RECT showTime(int64_t time, int64_t length);
    // Draws the volume slider at `volume`; false when there is no picture yet.
    bool showVolume(int volume);

    // Copies the strips of both sliders from the picture to the same place on `target`.
    void present(HDC target) const;
    // Copies the columns `columns.left` to `columns.right` of the picture to `target`.
    void present(HDC target, const RECT& columns) const;
    // The whole bar, for a paint: `area` (which covers the bar) in the button face colour, the
    // background across the bar's first `barWidth` columns that lie in it, then both sliders.
    void paint(HDC target, const RECT& area, int barWidth) const;
    // An owner-drawn button: the background under its place, then its icon at `item`'s corner,
    // one pixel down and right when `pressed` (the images have no pressed frames of their own).
    void drawButton(HDC target, int part, const RECT& item, bool pressed) const;

private:
    void loadImages();
    Gdiplus::Image* imageOf(int part) const;
    void placeParts(int width, int height);
    int place(int part, int x, bool rightwards, int height);

    // These run with drawLock held.
    void ensureBuffers(HDC reference, int width, int height);
    void renderTimeStrips();
    void drawVolumeSlider(int volume);
    bool drawTimeSlider(int64_t time, int64_t length, RECT& changed);
    void composeTimeColumns(const RECT& track, int from, int to, int played);
    void restoreStrip(const RECT& strip);
    void copySliderStrips(HDC target) const;

    void paintBackground(HDC target, int width) const;

    const HMODULE module; // where the images come from
    int dpi_;
    BarMetrics metrics;
    std::map<int, UniqueGdiplusImage> images; // part -> its image: the buttons and both tracks
    UniqueGdiplusImage barBackground;
    UniqueGdiplusImage volumeKnob;
    UniqueGdiplusImage timePlayed;
    UniqueGdiplusImage timeKnob;
    UniqueGdiObject<HBRUSH> faceBrush;
    int timeKnobWidth_ = 0;
    int volumeKnobWidth_ = 0;

    // Guards everything below, so that a refresh may come from another thread than the layout's:
    // an auto-reset event, initially signalled (ScopedEventLock), and not re-entrant.
    UniqueKernelHandle drawLock;
    std::map<int, RECT> places; // where the last layout put each part
    int height = 0;             // the height the last layout was for
    OffscreenBuffer composeBuffer;    // background plus both sliders, as last drawn
    OffscreenBuffer backgroundBuffer; // the tiled background alone
    // The time track over its background across the track's whole width, without and with the
    // played part, made on each layout; a time change copies columns from them.
    OffscreenBuffer trackStrip;
    OffscreenBuffer playedStrip;
    RECT timeTrack = {}; // where the strips were made for, while timeTrackPlaced
    bool timeTrackPlaced = false;
    int drawnPlayedWidth = -1; // the played width composeBuffer shows; -1 before the first draw
};
