// The control bar: a single, layered child dialog along the bottom of the main window with
// skinned image buttons, a time slider and a volume slider. It keeps the dialog, the buttons, the
// sliders' mouse handling and the full-screen auto-hide; its picture is a PlayBarCanvas.
#pragma once

#include <windows.h>
#include <cstdint>

#include "videoplayer/ui/BarAccessibility.h"
#include "videoplayer/ui/BarTooltips.h"
#include "videoplayer/ui/PlayBarCanvas.h"
#include "videoplayer/ui/RestDetector.h"

class MediaPlayer;
class PlayLogic;

// Handed the controller it serves when its window is created, like the video surface; it reads
// the engine through it, sends volume changes to it, and posts commands and layout requests to
// its parent, the main window.
class PlayBar {
public:
    static PlayBar* instance();
    static void releaseInstance();

    virtual ~PlayBar();

    bool create(HINSTANCE instance, HWND parent, PlayLogic& controller);
    // The dialog; null until create succeeds.
    HWND window() const { return hwnd; }
    int barHeight() const;
    // Draws and lays the bar out for `dpi` from now on (the main window's, which the shell hands
    // on whenever it changes).
    void setDpi(int dpi);
    // Re-reads position and length from the engine and redraws the time slider, its knob at the
    // start when no file is under way (then the volume slider, if the volume changed).
    void refreshTime();
    // Redraws the volume slider if the controller's effective volume changed.
    void refreshVolume();
    // Shows and enables the buttons that fit the engine's state and the playlist; with no file
    // under way the time knob goes back to the start, at once.
    void updateButtons();
    // One timer tick of the full-screen auto-hide.
    void autoHideTick();
    // Full screen arms the auto-hide: the rest period starts now, from the cursor's position.
    void armAutoHide();
    // Outside full screen, and after a stop, the bar never hides.
    void disarmAutoHide();
    // Ends a slider drag by giving up the mouse capture, so no further move seeks or sets the
    // volume.
    void endDrag();
    // The auto-hide's last activity (0 while it is off) and the cursor position it measures from.
    DWORD hideTick() const;
    POINT lastCursorPos() const;
    // The bar's picture as it stands, for whoever must look at its pixels (tests, screenshots).
    const PlayBarCanvas& picture() const { return canvas; }

private:
    PlayBar();
    PlayBar(const PlayBar&) = delete;
    PlayBar& operator=(const PlayBar&) = delete;

    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // Messages.
    void layoutControls();
    void onPaint();
    void drawButton(const DRAWITEMSTRUCT& item);
    bool onCommand(int id);
    void onMouseDown(LPARAM lParam);
    void onMouseDrag(LPARAM lParam);
    void onMouseUp();
    void seekTo(double fraction);
    bool onGetObject(WPARAM wParam, LPARAM lParam);
    void onDestroy();

    // Helpers.
    void showTime(int64_t time, int64_t length);
    void presentSliders();
    void presentColumns(const RECT& columns);
    bool controlRect(int id, RECT& rect) const;
    void setButton(int id, bool shown, bool enabled);
    MediaPlayer* engine() const;
    HWND mainWindow() const;
    // What the bar shows, as a screen reader and the tooltips put it in words.
    BarFacts facts() const;
    bool autoHideArmed() const;

    HWND hwnd = nullptr;
    PlayLogic* controller = nullptr; // not owned; set by create
    PlayBarCanvas canvas;
    // What the sliders show: the engine's position and length as last read (the position goes
    // back to 0 once no file is under way) and the controller's effective volume.
    int64_t shownTime = 0;
    int64_t shownLength = 0;
    int shownVolume = 100;
    int dragControl = 0;         // 0, or the slider holding the mouse capture
    int64_t lastSeekTarget = -1; // the position the current time drag sought last, -1 before any

    // Auto-hide: a move of this many pixels on either axis is activity, and the bar hides once
    // the mouse has rested for longer than the period. Its start tick is 0 while it is off.
    static constexpr long autoHideMoveThreshold = 5;
    static constexpr DWORD autoHidePeriodMs = 5000;
    RestDetector autoHideRest{autoHideMoveThreshold, autoHidePeriodMs + 1};

    // Both read the bar (facts()) when asked, and go before the rest of it.
    BarAccessibility accessibility;
    BarTooltips tooltips;

    static PlayBar* single;
};
