// The control bar's drawing: the off-screen buffers, the background, the sliders and the owner-
// drawn buttons, and the two refreshes other parts call when position or volume change.
#include "videoplayer/ui/PlayBar.h"

#include <algorithm>

#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/ImageSize.h"
#include "videoplayer/ui/SliderGeometry.h"

namespace {

// Holds drawLock for one scope. Not re-entrant: an auto-reset event taken twice on one thread
// waits forever, so nothing that holds it calls presentSliders.
class DrawLockHold {
public:
    explicit DrawLockHold(HANDLE event) : event(event) { WaitForSingleObject(event, INFINITE); }
    ~DrawLockHold() { SetEvent(event); }
    DrawLockHold(const DrawLockHold&) = delete;
    DrawLockHold& operator=(const DrawLockHold&) = delete;

private:
    HANDLE event;
};

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

// ---- Buffers ----------------------------------------------------------------------------

// After a layout: the buffers fit the bar again and hold the background with both sliders.
void PlayBar::redrawBuffers()
{
    DrawLockHold lock(drawLock.get());
    ensureBuffers();
    if (composeBuffer.exists()) {
        BitBlt(composeBuffer.dc(), 0, 0, composeBuffer.width(), composeBuffer.height(), backgroundBuffer.dc(), 0, 0,
               SRCCOPY);
        drawVolumeSlider();
        renderTimeStrips();
        drawnPlayedWidth = -1; // the track may have moved: all of it is drawn again
        RECT changed;
        drawTimeSlider(changed);
    }
}

// Both buffers only grow: a smaller bar keeps using the larger ones.
void PlayBar::ensureBuffers()
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0)
        return;
    if (composeBuffer.exists() && composeBuffer.width() >= w && composeBuffer.height() >= h)
        return;
    composeBuffer.release();
    backgroundBuffer.release();
    ScopedWindowDc screen(hwnd);
    composeBuffer.create(screen.get(), w, h);
    if (!backgroundBuffer.create(screen.get(), w, h))
        return;
    if (barBackground) {
        Gdiplus::Graphics graphics(backgroundBuffer.dc());
        prepare(graphics);
        drawTiled(graphics, barBackground.get(), 0, 0, w);
    } else {
        FillRect(backgroundBuffer.dc(), &client, faceBrush.get());
    }
}

// The time track over its background, without and with the played part, across the whole track.
// Made on each layout, so that a time change copies columns from here instead of drawing tiles.
void PlayBar::renderTimeStrips()
{
    // Kept with the strips, so that a time change asks no window where the track is.
    timeTrackPlaced = imageOf(IDC_BAR_TIME) && controlRect(IDC_BAR_TIME, timeTrack);
    const RECT& control = timeTrack;
    const int width = control.right - control.left, height = clientHeight();
    if (!timeTrackPlaced || !fitStrip(trackStrip, composeBuffer.dc(), width, height) ||
        !fitStrip(playedStrip, composeBuffer.dc(), width, height)) {
        trackStrip.release(); // a time change then draws the tiles itself
        playedStrip.release();
        return;
    }
    BitBlt(trackStrip.dc(), 0, 0, width, height, backgroundBuffer.dc(), control.left, 0, SRCCOPY);
    {
        Gdiplus::Graphics graphics(trackStrip.dc());
        prepare(graphics);
        drawStretched(graphics, imageOf(IDC_BAR_TIME), 0, control.top, width);
    } // flushed here, before the copy below reads it
    BitBlt(playedStrip.dc(), 0, 0, width, height, trackStrip.dc(), 0, 0, SRCCOPY);
    Gdiplus::Graphics graphics(playedStrip.dc());
    prepare(graphics);
    drawStretched(graphics, timePlayed.get(), 0, control.top, width);
}

// ---- Drawing ----------------------------------------------------------------------------

void PlayBar::onPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc)
        paint(dc);
    EndPaint(hwnd, &ps);
}

void PlayBar::paint(HDC dc)
{
    // The main window's client area covers the whole bar, whatever its size.
    RECT area = {};
    if (!mainWindow() || !GetClientRect(mainWindow(), &area))
        GetClientRect(hwnd, &area);
    FillRect(dc, &area, faceBrush.get());
    // Beyond the bar's own width nothing shows.
    RECT own = {};
    GetClientRect(hwnd, &own);
    const int width = std::min(area.right - area.left, own.right - own.left);
    if (width > 0 && barBackground)
        paintBackground(dc, width);
    if (composeBuffer.exists())
        presentSliders(dc);
}

// The tiled background, copied from backgroundBuffer; drawn only where the bar is wider than that
// buffer, which happens before its first layout.
void PlayBar::paintBackground(HDC dc, int width)
{
    const int copied = std::min(width, backgroundBuffer.width());
    if (copied > 0)
        BitBlt(dc, 0, 0, copied, std::min(heightOf(barBackground), backgroundBuffer.height()), backgroundBuffer.dc(), 0,
               0, SRCCOPY);
    if (copied < width) {
        Gdiplus::Graphics graphics(dc);
        prepare(graphics);
        drawStretched(graphics, barBackground.get(), copied, 0, width - copied);
    }
}

// Copies both slider strips from composeBuffer to the screen (to `dc`, or the dialog's own DC).
void PlayBar::presentSliders(HDC dc)
{
    DrawLockHold lock(drawLock.get());
    if (!composeBuffer.exists() || !hwnd)
        return;
    if (dc) {
        copySliderStrips(dc);
        return;
    }
    ScopedWindowDc own(hwnd);
    if (own.get())
        copySliderStrips(own.get());
}

// Copies the columns `columns.left` to `columns.right` of composeBuffer to the dialog's own DC.
void PlayBar::presentColumns(const RECT& columns)
{
    DrawLockHold lock(drawLock.get());
    if (!composeBuffer.exists() || !hwnd)
        return;
    const int width = std::min<int>(columns.right, composeBuffer.width()) - columns.left;
    ScopedWindowDc own(hwnd);
    if (own.get() && width > 0)
        BitBlt(own.get(), columns.left, 0, width, composeBuffer.height(), composeBuffer.dc(), columns.left, 0,
               SRCCOPY);
}

void PlayBar::copySliderStrips(HDC target)
{
    for (int id : {IDC_BAR_VOLUME, IDC_BAR_TIME}) {
        RECT rect;
        if (!controlRect(id, rect))
            continue;
        const int width = std::min<int>(rect.right - rect.left, composeBuffer.width());
        BitBlt(target, rect.left, 0, width, composeBuffer.height(), composeBuffer.dc(), rect.left, 0, SRCCOPY);
    }
}

// Puts the plain background back under a slider before it is drawn again.
void PlayBar::restoreStrip(const RECT& control)
{
    BitBlt(composeBuffer.dc(), control.left, 0, control.right - control.left, clientHeight(), backgroundBuffer.dc(),
           control.left, 0, SRCCOPY);
}

void PlayBar::drawButton(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_BUTTON)
        return;
    Gdiplus::Image* image = imageOf(static_cast<int>(item.CtlID));
    if (!image)
        return;
    // Without frames of its own, a pressed button shows by its icon moving down and right.
    const int offset = ((item.itemAction & ODA_SELECT) || (item.itemState & ODS_SELECTED)) ? 1 : 0;
    RECT rect;
    if (backgroundBuffer.exists() && controlRect(static_cast<int>(item.CtlID), rect))
        BitBlt(item.hDC, 0, 0, rect.right - rect.left, rect.bottom - rect.top, backgroundBuffer.dc(), rect.left,
               rect.top, SRCCOPY);
    Gdiplus::Graphics graphics(item.hDC);
    prepare(graphics);
    drawUnscaled(graphics, image, item.rcItem.left + offset, item.rcItem.top + offset);
}

void PlayBar::drawVolumeSlider()
{
    RECT rect;
    Gdiplus::Image* track = imageOf(IDC_BAR_VOLUME);
    if (!track || !controlRect(IDC_BAR_VOLUME, rect))
        return;
    restoreStrip(rect);
    Gdiplus::Graphics graphics(composeBuffer.dc());
    prepare(graphics);
    drawUnscaled(graphics, track, rect.left, rect.top);
    if (volumeKnob) {
        const int left = slider::volumeKnobLeft(rect.left, widthOf(track), widthOf(volumeKnob), shownVolume);
        drawUnscaled(graphics, volumeKnob.get(), left, (clientHeight() - heightOf(volumeKnob)) / 2);
    }
}

// Brings the time slider in composeBuffer to the shown position. Only the columns between the old
// and the new knob change; a position that moves the knob by less than a pixel draws nothing and
// returns false. `changed` receives the columns drawn, in dialog coordinates.
bool PlayBar::drawTimeSlider(RECT& changed)
{
    if (!timeTrackPlaced)
        return false;
    const RECT control = timeTrack;
    const int width = control.right - control.left;
    const int knobWidth = timeKnobWidth();
    const int played = slider::playedWidth(width, knobWidth, shownTime, shownLength);
    if (played == drawnPlayedWidth)
        return false;
    int from = 0, to = width;
    if (drawnPlayedWidth >= 0) {
        from = std::min(played, drawnPlayedWidth);
        to = std::min(width, std::max(played, drawnPlayedWidth) + knobWidth);
    }
    composeTimeColumns(control, from, to, played);
    drawnPlayedWidth = played;
    changed = RECT{control.left + from, 0, control.left + to, composeBuffer.height()};
    return true;
}

// Draws the columns `from` to `to` of the time slider (counted from its left edge) with `played`
// pixels played, and the knob, which lies inside them.
void PlayBar::composeTimeColumns(const RECT& control, int from, int to, int played)
{
    const HDC compose = composeBuffer.dc();
    const int height = clientHeight();
    const int split = std::clamp(played, from, to);
    const bool rendered = trackStrip.exists();
    if (rendered) {
        BitBlt(compose, control.left + from, 0, split - from, height, playedStrip.dc(), from, 0, SRCCOPY);
        BitBlt(compose, control.left + split, 0, to - split, height, trackStrip.dc(), split, 0, SRCCOPY);
    } else {
        BitBlt(compose, control.left + from, 0, to - from, height, backgroundBuffer.dc(), control.left + from, 0,
               SRCCOPY);
    }
    // GDI+ starts after the copies: GDI and GDI+ do not take turns on one DC.
    Gdiplus::Graphics graphics(compose);
    prepare(graphics);
    if (!rendered) {
        drawStretched(graphics, imageOf(IDC_BAR_TIME), control.left + from, control.top, to - from);
        drawStretched(graphics, timePlayed.get(), control.left + from, control.top, split - from);
    }
    if (timeKnob)
        graphics.DrawImage(timeKnob.get(), control.left + played, (height - heightOf(timeKnob)) / 2, timeKnobWidth(),
                           heightOf(timeKnob));
}

void PlayBar::refreshTime()
{
    MediaPlayer* player = engine();
    const int state = player ? player->getState() : EngineNothingSpecial;
    if (hasFileUnderWay(state)) {
        shownTime = player->getTime();
        shownLength = player->getLength();
    }
    RECT changed = {};
    bool drawn = false;
    {
        DrawLockHold lock(drawLock.get());
        drawn = composeBuffer.exists() && drawTimeSlider(changed);
    }
    if (drawn)
        presentColumns(changed);
    refreshVolume();
}

void PlayBar::refreshVolume()
{
    if (!controller)
        return;
    const int volume = controller->effectiveVolume();
    if (volume == shownVolume)
        return;
    shownVolume = volume;
    bool drawn = false;
    {
        DrawLockHold lock(drawLock.get());
        if (composeBuffer.exists()) {
            drawVolumeSlider();
            drawn = true;
        }
    }
    if (drawn)
        presentSliders(nullptr);
}

