// The control bar's sliders under the mouse: a press in a track takes the capture and moves
// that slider, every move while captured seeks or sets the volume, the release ends the drag.
#include "videoplayer/ui/PlayBar.h"

#include <windowsx.h>

#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/SliderGeometry.h"

// ---- Sliders ----------------------------------------------------------------------------

// A press inside a track takes the mouse and already moves that slider.
void PlayBar::onMouseDown(LPARAM lParam)
{
    dragControl = 0;
    lastSeekTarget = -1;
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT rect;
    if (controlRect(IDC_BAR_TIME, rect) && PtInRect(&rect, point))
        dragControl = IDC_BAR_TIME;
    else if (controlRect(IDC_BAR_VOLUME, rect) && PtInRect(&rect, point))
        dragControl = IDC_BAR_VOLUME;
    if (!dragControl)
        return;
    SetCapture(hwnd);
    if (GetCapture() == hwnd)
        onMouseDrag(lParam);
}

// A move seeks (time) or sets the volume; positions beyond the track pin it at its ends.
void PlayBar::onMouseDrag(LPARAM lParam)
{
    RECT rect;
    if (!dragControl || !controlRect(dragControl, rect))
        return;
    const int x = GET_X_LPARAM(lParam);
    if (dragControl == IDC_BAR_TIME) {
        const double fraction = slider::dragFraction(x, rect.left, rect.right, timeKnobWidth());
        seekTo(fraction);
        refreshTime();
    } else {
        const double fraction = slider::dragFraction(x, rect.left, rect.right, volumeKnobWidth());
        if (controller)
            controller->setVolume(slider::volumeAtFraction(fraction));
        // The knob follows the drag here, as the time knob does, whoever else hears of it.
        refreshVolume();
    }
}

// A position needs a length to be a fraction of. The engine's own is asked, not the one last
// shown: that one outlives a Stop, after which the engine knows none (0 or -1) and a seek would
// go nowhere. A drag that stays on one target (pinned at an end, or moving less than a
// millisecond's worth) sends that seek once, not with every move.
void PlayBar::seekTo(double fraction)
{
    MediaPlayer* player = engine();
    const int64_t length = player ? player->getLength() : 0;
    if (length <= 0)
        return;
    const int64_t target = slider::timeAtFraction(fraction, length);
    if (target == lastSeekTarget)
        return;
    lastSeekTarget = target;
    player->setTime(target);
}

void PlayBar::onMouseUp()
{
    if (GetCapture() != hwnd)
        return;
    ReleaseCapture();
    dragControl = 0;
}

void PlayBar::endDrag()
{
    if (hwnd && GetCapture() == hwnd)
        ReleaseCapture();
}
