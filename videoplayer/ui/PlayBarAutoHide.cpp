// The control bar's full-screen auto-hide: armed by every full-screen layout, it hides the bar
// once the mouse has rested away from it and brings it back at the next move.
#include "videoplayer/ui/PlayBar.h"

#include "videoplayer/ui/UiClock.h"

namespace {

bool isVisible(HWND window)
{
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

ScreenPoint screenPoint(POINT pos)
{
    return ScreenPoint{pos.x, pos.y};
}

// Every hide and show changes what the video may cover: the main window lays itself out again.
void requestLayout(HWND mainWindow)
{
    if (mainWindow) // a post to no window would be a thread message nobody handles
        PostMessageW(mainWindow, WM_SIZE, 0, 0);
}

} // namespace

void PlayBar::autoHideTick()
{
    if (!autoHideArmed() || !hwnd)
        return;
    const DWORD now = UiClock::now();
    const bool visible = isVisible(hwnd);
    const POINT cursor = UiClock::cursorPos();
    RECT barRect = {};
    GetWindowRect(hwnd, &barRect);
    // A bar under the cursor stays. A hidden bar keeps its place, though, and moving over that
    // place is how one looks for it, so there a move still brings it back.
    if (visible && PtInRect(&barRect, cursor))
        return;
    if (!autoHideRest.isMove(screenPoint(cursor))) {
        if (visible && autoHideRest.hasRested(now)) {
            ShowWindow(hwnd, SW_HIDE);
            requestLayout(mainWindow());
        }
        return;
    }
    if (!visible) {
        ShowWindow(hwnd, SW_SHOW);
        requestLayout(mainWindow());
    }
    autoHideRest.restart(now, screenPoint(cursor));
}

void PlayBar::armAutoHide()
{
    autoHideRest.restart(UiClock::now(), screenPoint(UiClock::cursorPos()));
}

void PlayBar::disarmAutoHide()
{
    autoHideRest.restart(0, autoHideRest.lastPosition());
}

// The rest's start doubles as the switch: a tick of 0 means off, as it always has.
bool PlayBar::autoHideArmed() const
{
    return autoHideRest.lastMoveTick() != 0;
}

DWORD PlayBar::hideTick() const
{
    return autoHideRest.lastMoveTick();
}

POINT PlayBar::lastCursorPos() const
{
    const ScreenPoint at = autoHideRest.lastPosition();
    return POINT{at.x, at.y};
}
