// The control bar: a single, layered child dialog along the bottom of the main window with
// skinned image buttons, a time slider and a volume slider, and the full-screen auto-hide.
// One class in four rooms: PlayBar.cpp (instance, window, layout, buttons), PlayBarPaint.cpp,
// PlayBarInput.cpp and PlayBarAutoHide.cpp.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdint>
#include <map>

#include "common/GdiplusSession.h"
#include "common/UniqueHandle.h"
#include "videoplayer/ui/OffscreenBuffer.h"
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
    int barHeight() const;
    // Re-reads position and length from the engine and redraws the time slider (then the
    // volume slider, if the volume changed).
    void refreshTime();
    // Redraws the volume slider if the controller's effective volume changed.
    void refreshVolume();
    // Shows and enables the buttons that fit the engine's state and the playlist.
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

    HWND hwnd = nullptr;
    std::map<int, UniqueGdiplusImage> images; // control identifier -> its image
    UniqueGdiObject<HBRUSH> faceBrush;
    UniqueGdiplusImage barBackground;
    UniqueGdiplusImage volumeKnob;
    UniqueGdiplusImage timePlayed;
    UniqueGdiplusImage timeKnob;
    OffscreenBuffer composeBuffer;    // background plus both sliders, as last drawn
    OffscreenBuffer backgroundBuffer; // the tiled background alone
    int shownVolume = 100;
    int64_t shownTime = 0;
    int64_t shownLength = 0;
    int dragControl = 0;          // 0, or the slider holding the mouse capture
    int64_t lastSeekTarget = -1;  // the position the current time drag sought last, -1 before any
    UniqueKernelHandle drawLock;  // auto-reset event guarding composeBuffer and both re-creations

private:
    PlayBar();
    PlayBar(const PlayBar&) = delete;
    PlayBar& operator=(const PlayBar&) = delete;

    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    // Messages.
    void layoutControls();
    void onPaint();
    void paint(HDC dc);
    void drawButton(const DRAWITEMSTRUCT& item);
    bool onCommand(int id);
    void onMouseDown(LPARAM lParam);
    void onMouseDrag(LPARAM lParam);
    void onMouseUp();
    void seekTo(double fraction);

    // Drawing; the five below redrawBuffers run with drawLock held.
    void redrawBuffers();
    void ensureBuffers();
    void renderTimeStrips();
    void drawVolumeSlider();
    bool drawTimeSlider(RECT& changed);
    void composeTimeColumns(const RECT& control, int from, int to, int played);
    void paintBackground(HDC dc, int width);
    void presentSliders(HDC dc);
    void presentColumns(const RECT& columns);
    void copySliderStrips(HDC target);
    void restoreStrip(const RECT& control);

    // Helpers.
    int placeControl(int id, int x, bool rightwards, int height);
    bool controlRect(int id, RECT& rect) const;
    Gdiplus::Image* imageOf(int id) const;
    int clientHeight() const;
    int timeKnobWidth();
    int volumeKnobWidth();
    void setButton(int id, bool shown, bool enabled);
    MediaPlayer* engine() const;
    HWND mainWindow() const;

    bool autoHideArmed() const;

    PlayLogic* controller = nullptr; // not owned; set by create

    // Auto-hide: a move of this many pixels on either axis is activity, and the bar hides once
    // the mouse has rested for longer than the period. Its start tick is 0 while it is off.
    static constexpr long autoHideMoveThreshold = 5;
    static constexpr DWORD autoHidePeriodMs = 5000;
    RestDetector autoHideRest{autoHideMoveThreshold, autoHidePeriodMs + 1};

    // The time track over its background across the track's whole width, without and with the
    // played part, made on each layout; a time change copies columns from them. Guarded by
    // drawLock, like composeBuffer, and so is the played width composeBuffer shows (-1: none yet).
    OffscreenBuffer trackStrip;
    OffscreenBuffer playedStrip;
    RECT timeTrack = {}; // where the strips were made for, while timeTrackPlaced
    bool timeTrackPlaced = false;
    int drawnPlayedWidth = -1;

    int cachedTimeKnobWidth = -1;   // read from the image once, when first needed
    int cachedVolumeKnobWidth = -1;

    static PlayBar* single;
};
