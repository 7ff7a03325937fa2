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
        drawTimeSlider();
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
    const int width = area.right - area.left;
    if (width != 0 && barBackground) {
        Gdiplus::Graphics graphics(dc);
        prepare(graphics);
        drawTiled(graphics, barBackground.get(), 0, 0, width);
    }
    if (composeBuffer.exists())
        presentSliders(dc);
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

void PlayBar::drawTimeSlider()
{
    RECT rect;
    Gdiplus::Image* track = imageOf(IDC_BAR_TIME);
    if (!track || !controlRect(IDC_BAR_TIME, rect))
        return;
    restoreStrip(rect);
    const int width = rect.right - rect.left;
    const int knobWidth = timeKnobWidth();
    const int played = slider::playedWidth(width, knobWidth, shownTime, shownLength);
    Gdiplus::Graphics graphics(composeBuffer.dc());
    prepare(graphics);
    if (width != 0)
        drawTiled(graphics, track, rect.left, rect.top, width);
    if (played != 0)
        drawTiled(graphics, timePlayed.get(), rect.left, rect.top, played);
    if (timeKnob)
        graphics.DrawImage(timeKnob.get(), rect.left + played, (clientHeight() - heightOf(timeKnob)) / 2, knobWidth,
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
    bool drawn = false;
    {
        DrawLockHold lock(drawLock.get());
        if (composeBuffer.exists()) {
            drawTimeSlider();
            drawn = true;
        }
    }
    if (drawn)
        presentSliders(nullptr);
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

