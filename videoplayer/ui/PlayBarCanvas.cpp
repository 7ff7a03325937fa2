// The control bar's picture: image loading, the layout of its parts, the off-screen buffers and
// the drawing of background, sliders and buttons.
#include "videoplayer/ui/PlayBarCanvas.h"

#include <algorithm>

#include "videoplayer/res/resource.h"
#include "videoplayer/ui/DisplayScale.h"
#include "videoplayer/ui/ImageSize.h"
#include "videoplayer/ui/SliderGeometry.h"
#include "videoplayer/ui/UiResources.h"

namespace {

struct PartImage {
    int part;
    ArtNames art;
};

// The order the part images are loaded in.
const PartImage partImages[] = {
    {IDC_BAR_OPEN, {L"IDB_OPEN", L"IDB_OPEN_150", L"IDB_OPEN_200"}},
    {IDC_BAR_PLAY, {L"IDB_PLAY", L"IDB_PLAY_150", L"IDB_PLAY_200"}},
    {IDC_BAR_PAUSE, {L"IDB_PAUSE", L"IDB_PAUSE_150", L"IDB_PAUSE_200"}},
    {IDC_BAR_STOP, {L"IDB_STOP", L"IDB_STOP_150", L"IDB_STOP_200"}},
    {IDC_BAR_PREV, {L"IDB_PREV", L"IDB_PREV_150", L"IDB_PREV_200"}},
    {IDC_BAR_NEXT, {L"IDB_NEXT", L"IDB_NEXT_150", L"IDB_NEXT_200"}},
    {IDC_BAR_MUTE, {L"IDB_MUTE", L"IDB_MUTE_150", L"IDB_MUTE_200"}},
    {IDC_BAR_TIME, {L"IDB_TIME_BKG", L"IDB_TIME_BKG_150", L"IDB_TIME_BKG_200"}},
    {IDC_BAR_VOLUME, {L"IDB_VOLUME_BAR", L"IDB_VOLUME_BAR_150", L"IDB_VOLUME_BAR_200"}},
};
const ArtNames backgroundArt = {L"IDB_BAR_BKG", L"IDB_BAR_BKG_150", L"IDB_BAR_BKG_200"};
const ArtNames volumeKnobArt = {L"IDB_VOLUME_BALL", L"IDB_VOLUME_BALL_150", L"IDB_VOLUME_BALL_200"};
const ArtNames timePlayedArt = {L"IDB_TIME_FORG", L"IDB_TIME_FORG_150", L"IDB_TIME_FORG_200"};
const ArtNames timeKnobArt = {L"IDB_TIME_BAR", L"IDB_TIME_BAR_150", L"IDB_TIME_BAR_200"};

// The image made for `dpi`, decoded straight into premultiplied alpha, the form GDI+ blends in: in
// any other form every draw would convert the image again.
Gdiplus::Image* loadBarImage(HMODULE module, const ArtNames& art, int dpi)
{
    return loadArt(module, art, dpi, PixelFormat32bppPARGB);
}

// Every bar image is drawn pixel for pixel: the tiles are squeezed only horizontally and are
// uniform in that direction, so nearest-neighbour sampling keeps their edges crisp.
void prepare(Gdiplus::Graphics& graphics)
{
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
}

// The image at its natural size, whatever resolution its file claims.
void drawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y)
{
    if (image)
        graphics.DrawImage(image, x, y, widthOf(image), heightOf(image));
}

// The image repeated from (x, y) across `width`, the last piece squeezed to fit.
void drawTiled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width)
{
    if (!image)
        return;
    const int height = heightOf(image);
    int offset = 0;
    for (int piece : slider::tilePieceWidths(widthOf(image), width)) {
        graphics.DrawImage(image, Gdiplus::Rect(x + offset, y, piece, height));
        offset += piece;
    }
}

// The tile stretched across `width` in one draw. Every bar tile is uniform along x and drawn
// nearest-neighbour, so this gives the pixels of repeating it, for one draw instead of one a tile.
void drawStretched(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width)
{
    const int tileWidth = widthOf(image), height = heightOf(image);
    if (tileWidth <= 0 || width <= 0)
        return;
    graphics.DrawImage(image, Gdiplus::Rect(x, y, width, height), 0, 0, tileWidth, height, Gdiplus::UnitPixel);
}

// Makes `strip` exactly width x height, keeping the one it has when it already is.
bool fitStrip(OffscreenBuffer& strip, HDC reference, int width, int height)
{
    if (strip.exists() && strip.width() == width && strip.height() == height)
        return true;
    return strip.create(reference, width, height);
}

} // namespace

BarMetrics BarMetrics::forDpi(int dpi)
{
    const BarMetrics base;
    BarMetrics metrics;
    metrics.edge = scale::scaled(base.edge, dpi);
    metrics.gap = scale::scaled(base.gap, dpi);
    metrics.fallbackHeight = scale::scaled(base.fallbackHeight, dpi);
    metrics.pressOffset = scale::scaled(base.pressOffset, dpi);
    return metrics;
}

PlayBarCanvas::PlayBarCanvas(HMODULE module, int dpi) : module(module), dpi_(dpi), metrics(BarMetrics::forDpi(dpi))
{
    faceBrush.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    drawLock.reset(CreateEventW(nullptr, FALSE, TRUE, nullptr));
    loadImages();
}

// The images, the brush, the buffers and the lock go with their owners.
PlayBarCanvas::~PlayBarCanvas() = default;

// Only the set made for the DPI is decoded.
void PlayBarCanvas::loadImages()
{
    images.clear();
    for (const PartImage& entry : partImages)
        if (Gdiplus::Image* image = loadBarImage(module, entry.art, dpi_))
            images[entry.part].reset(image);
    barBackground.reset(loadBarImage(module, backgroundArt, dpi_));
    volumeKnob.reset(loadBarImage(module, volumeKnobArt, dpi_));
    timePlayed.reset(loadBarImage(module, timePlayedArt, dpi_));
    timeKnob.reset(loadBarImage(module, timeKnobArt, dpi_));
    timeKnobWidth_ = widthOf(timeKnob);
    volumeKnobWidth_ = widthOf(volumeKnob);
}

// Everything drawn for the old scale goes: the places, the buffers (the next layout makes them at
// the new height and tiles the new background) and the images.
void PlayBarCanvas::setDpi(int dpi)
{
    if (dpi == dpi_)
        return;
    ScopedEventLock lock(drawLock.get());
    dpi_ = dpi;
    metrics = BarMetrics::forDpi(dpi);
    loadImages();
    places.clear();
    composeBuffer.release();
    backgroundBuffer.release();
    trackStrip.release();
    playedStrip.release();
    timeTrackPlaced = false;
    drawnPlayedWidth = -1;
}

int PlayBarCanvas::preferredHeight() const
{
    return barBackground ? heightOf(barBackground) : metrics.fallbackHeight;
}

Gdiplus::Image* PlayBarCanvas::imageOf(int part) const
{
    const auto found = images.find(part);
    return found == images.end() ? nullptr : found->second.get();
}

bool PlayBarCanvas::placeOf(int part, RECT& place) const
{
    const auto found = places.find(part);
    if (found == places.end())
        return false;
    place = found->second;
    return true;
}

// ---- Layout -----------------------------------------------------------------------------

// Gives a part its image's size, centred vertically, with its left edge at x (rightwards) or its
// right edge just before x (leftwards); returns where the next part goes. A part without an
// image takes no room.
int PlayBarCanvas::place(int part, int x, bool rightwards, int barHeight)
{
    Gdiplus::Image* image = imageOf(part);
    if (!image)
        return x;
    const int w = widthOf(image), h = heightOf(image);
    const int left = rightwards ? x : x - w, top = (barHeight - h) / 2;
    places[part] = RECT{left, top, left + w, top + h};
    return rightwards ? x + w + metrics.gap : x - w - metrics.gap;
}

// The buttons from the left end, Mute and the volume track from the right end, and the time
// track across what lies between.
void PlayBarCanvas::placeParts(int width, int barHeight)
{
    places.clear();
    // Open and Stop share the first spot, Play and Pause the second: one of each pair is shown.
    place(IDC_BAR_OPEN, metrics.edge, true, barHeight);
    const int x1 = place(IDC_BAR_STOP, metrics.edge, true, barHeight);
    place(IDC_BAR_PLAY, x1, true, barHeight);
    const int x2 = place(IDC_BAR_PAUSE, x1, true, barHeight);
    const int x3 = place(IDC_BAR_PREV, x2, true, barHeight);
    const int x4 = place(IDC_BAR_NEXT, x3, true, barHeight);
    const int r1 = place(IDC_BAR_MUTE, width - metrics.edge, false, barHeight);
    const int r2 = place(IDC_BAR_VOLUME, r1, false, barHeight);
    if (Gdiplus::Image* track = imageOf(IDC_BAR_TIME)) {
        const int top = (barHeight - heightOf(track)) / 2;
        places[IDC_BAR_TIME] = RECT{x4, top, std::max(x4, r2), top + heightOf(track)};
    }
}

void PlayBarCanvas::layOut(HDC reference, int width, int barHeight, const SliderValues& shown)
{
    ScopedEventLock lock(drawLock.get());
    placeParts(width, barHeight);
    height = barHeight;
    ensureBuffers(reference, width, barHeight);
    if (!composeBuffer.exists())
        return;
    BitBlt(composeBuffer.dc(), 0, 0, composeBuffer.width(), composeBuffer.height(), backgroundBuffer.dc(), 0, 0,
           SRCCOPY);
    drawVolumeSlider(shown.volume);
    renderTimeStrips();
    drawnPlayedWidth = -1; // the track may have moved: all of it is drawn again
    RECT changed;
    drawTimeSlider(shown.time, shown.length, changed);
}

// ---- Buffers ----------------------------------------------------------------------------

// Both buffers only grow: a smaller bar keeps using the larger ones.
void PlayBarCanvas::ensureBuffers(HDC reference, int width, int barHeight)
{
    if (width <= 0 || barHeight <= 0)
        return;
    if (composeBuffer.exists() && composeBuffer.width() >= width && composeBuffer.height() >= barHeight)
        return;
    composeBuffer.release();
    backgroundBuffer.release();
    composeBuffer.create(reference, width, barHeight);
    if (!backgroundBuffer.create(reference, width, barHeight))
        return;
    if (barBackground) {
        Gdiplus::Graphics graphics(backgroundBuffer.dc());
        prepare(graphics);
        drawTiled(graphics, barBackground.get(), 0, 0, width);
    } else {
        const RECT all = {0, 0, width, barHeight};
        FillRect(backgroundBuffer.dc(), &all, faceBrush.get());
    }
}

// The time track over its background, without and with the played part, across the whole track.
// Made on each layout, so that a time change copies columns from here instead of drawing tiles.
void PlayBarCanvas::renderTimeStrips()
{
    timeTrackPlaced = placeOf(IDC_BAR_TIME, timeTrack);
    const RECT& track = timeTrack;
    const int width = track.right - track.left;
    if (!timeTrackPlaced || !fitStrip(trackStrip, composeBuffer.dc(), width, height) ||
        !fitStrip(playedStrip, composeBuffer.dc(), width, height)) {
        trackStrip.release(); // a time change then draws the tiles itself
        playedStrip.release();
        return;
    }
    BitBlt(trackStrip.dc(), 0, 0, width, height, backgroundBuffer.dc(), track.left, 0, SRCCOPY);
    {
        Gdiplus::Graphics graphics(trackStrip.dc());
        prepare(graphics);
        drawStretched(graphics, imageOf(IDC_BAR_TIME), 0, track.top, width);
    } // flushed here, before the copy below reads it
    BitBlt(playedStrip.dc(), 0, 0, width, height, trackStrip.dc(), 0, 0, SRCCOPY);
    Gdiplus::Graphics graphics(playedStrip.dc());
    prepare(graphics);
    drawStretched(graphics, timePlayed.get(), 0, track.top, width);
}

// Puts the plain background back under a slider before it is drawn again.
void PlayBarCanvas::restoreStrip(const RECT& strip)
{
    BitBlt(composeBuffer.dc(), strip.left, 0, strip.right - strip.left, height, backgroundBuffer.dc(), strip.left, 0,
           SRCCOPY);
}

// ---- Sliders ----------------------------------------------------------------------------

bool PlayBarCanvas::showVolume(int volume)
{
    ScopedEventLock lock(drawLock.get());
    if (!composeBuffer.exists())
        return false;
    drawVolumeSlider(volume);
    return true;
}

void PlayBarCanvas::drawVolumeSlider(int volume)
{
    RECT track;
    Gdiplus::Image* image = imageOf(IDC_BAR_VOLUME);
    if (!image || !placeOf(IDC_BAR_VOLUME, track))
        return;
    restoreStrip(track);
    Gdiplus::Graphics graphics(composeBuffer.dc());
    prepare(graphics);
    drawUnscaled(graphics, image, track.left, track.top);
    if (volumeKnob) {
        const int left = slider::volumeKnobLeft(track.left, widthOf(image), volumeKnobWidth_, volume);
        drawUnscaled(graphics, volumeKnob.get(), left, (height - heightOf(volumeKnob)) / 2);
    }
}

RECT PlayBarCanvas::showTime(int64_t time, int64_t length)
{
    RECT changed = {};
    ScopedEventLock lock(drawLock.get());
    if (composeBuffer.exists())
        drawTimeSlider(time, length, changed);
    return changed;
}

// Brings the time slider in composeBuffer to `time` of `length`. Only the columns between the old
// and the new knob change; a time that moves the knob by less than a pixel draws nothing and
// returns false. `changed` receives the columns drawn.
bool PlayBarCanvas::drawTimeSlider(int64_t time, int64_t length, RECT& changed)
{
    if (!timeTrackPlaced)
        return false;
    const RECT track = timeTrack;
    const int width = track.right - track.left;
    const int played = slider::playedWidth(width, timeKnobWidth_, time, length);
    if (played == drawnPlayedWidth)
        return false;
    int from = 0, to = width;
    if (drawnPlayedWidth >= 0) {
        from = std::min(played, drawnPlayedWidth);
        to = std::min(width, std::max(played, drawnPlayedWidth) + timeKnobWidth_);
    }
    composeTimeColumns(track, from, to, played);
    drawnPlayedWidth = played;
    changed = RECT{track.left + from, 0, track.left + to, composeBuffer.height()};
    return true;
}

// Draws the columns `from` to `to` of the time slider (counted from its left edge) with `played`
// pixels played, and the knob, which lies inside them.
void PlayBarCanvas::composeTimeColumns(const RECT& track, int from, int to, int played)
{
    const HDC compose = composeBuffer.dc();
    const int split = std::clamp(played, from, to);
    const bool rendered = trackStrip.exists();
    if (rendered) {
        BitBlt(compose, track.left + from, 0, split - from, height, playedStrip.dc(), from, 0, SRCCOPY);
        BitBlt(compose, track.left + split, 0, to - split, height, trackStrip.dc(), split, 0, SRCCOPY);
    } else {
        BitBlt(compose, track.left + from, 0, to - from, height, backgroundBuffer.dc(), track.left + from, 0, SRCCOPY);
    }
    // GDI+ starts after the copies: GDI and GDI+ do not take turns on one DC.
    Gdiplus::Graphics graphics(compose);
    prepare(graphics);
    if (!rendered) {
        drawStretched(graphics, imageOf(IDC_BAR_TIME), track.left + from, track.top, to - from);
        drawStretched(graphics, timePlayed.get(), track.left + from, track.top, split - from);
    }
    if (timeKnob)
        graphics.DrawImage(timeKnob.get(), track.left + played, (height - heightOf(timeKnob)) / 2, timeKnobWidth_,
                           heightOf(timeKnob));
}

// ---- Presenting and painting ------------------------------------------------------------

void PlayBarCanvas::present(HDC target) const
{
    ScopedEventLock lock(drawLock.get());
    if (composeBuffer.exists())
        copySliderStrips(target);
}

void PlayBarCanvas::present(HDC target, const RECT& columns) const
{
    ScopedEventLock lock(drawLock.get());
    if (!composeBuffer.exists())
        return;
    const int width = std::min<int>(columns.right, composeBuffer.width()) - columns.left;
    if (width > 0)
        BitBlt(target, columns.left, 0, width, composeBuffer.height(), composeBuffer.dc(), columns.left, 0, SRCCOPY);
}

void PlayBarCanvas::copySliderStrips(HDC target) const
{
    for (int part : {IDC_BAR_VOLUME, IDC_BAR_TIME}) {
        RECT strip;
        if (!placeOf(part, strip))
            continue;
        const int width = std::min<int>(strip.right - strip.left, composeBuffer.width());
        BitBlt(target, strip.left, 0, width, composeBuffer.height(), composeBuffer.dc(), strip.left, 0, SRCCOPY);
    }
}

void PlayBarCanvas::paint(HDC target, const RECT& area, int barWidth) const
{
    FillRect(target, &area, faceBrush.get());
    // Beyond the bar's own width nothing shows.
    const int width = std::min<int>(area.right - area.left, barWidth);
    if (width > 0 && barBackground)
        paintBackground(target, width);
    present(target);
}

// The tiled background, copied from backgroundBuffer; drawn only where the bar is wider than that
// buffer, which happens before its first layout.
void PlayBarCanvas::paintBackground(HDC target, int width) const
{
    const int copied = std::min(width, backgroundBuffer.width());
    if (copied > 0)
        BitBlt(target, 0, 0, copied, std::min(heightOf(barBackground), backgroundBuffer.height()),
               backgroundBuffer.dc(), 0, 0, SRCCOPY);
    if (copied < width) {
        Gdiplus::Graphics graphics(target);
        prepare(graphics);
        drawStretched(graphics, barBackground.get(), copied, 0, width - copied);
    }
}

void PlayBarCanvas::drawButton(HDC target, int part, const RECT& item, bool pressed) const
{
    Gdiplus::Image* image = imageOf(part);
    if (!image)
        return;
    RECT place;
    if (backgroundBuffer.exists() && placeOf(part, place))
        BitBlt(target, 0, 0, place.right - place.left, place.bottom - place.top, backgroundBuffer.dc(), place.left,
               place.top, SRCCOPY);
    const int offset = pressed ? metrics.pressOffset : 0;
    Gdiplus::Graphics graphics(target);
    prepare(graphics);
    drawUnscaled(graphics, image, item.left + offset, item.top + offset);
}
