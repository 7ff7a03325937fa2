// The application state: the one main window and the long-lived objects. Only the shell
// (videoplayer/app) may see it, and the layer check refuses an include from anywhere else: the
// layers below are handed what they use and report up through callbacks and posted messages.
// Touched on the user-interface thread only.
#pragma once

#include <windows.h>
#include <memory>

class PlayLogic;
class PlayWnd;
class PlayBar;
class MediaPlayer;
class EngineStart;

// Private message that carries a libVLC event type from libVLC's threads to the user-interface
// thread (wParam: the event type).
const UINT WM_PLAYER_EVENT = WM_APP + 1;
// Private message from the thread that starts libVLC: its instance is ready to be taken.
const UINT WM_ENGINE_STARTED = WM_APP + 2;
// Private message, sent on the user-interface thread when the file the user chose cannot be
// played: the main window brings its caption up to date and tells the user.
const UINT WM_PLAYBACK_FAILED = WM_APP + 3;

struct AppState {
    HINSTANCE hInstance = nullptr;
    HWND mainWindow = nullptr;
    std::unique_ptr<PlayLogic> controller;
    std::unique_ptr<PlayWnd> videoSurface;
    PlayBar* controlBar = nullptr; // owned by PlayBar's single instance
    std::unique_ptr<MediaPlayer> engine;
    // libVLC starting on a worker thread; none once the engine has its instance (attachEngine).
    std::unique_ptr<EngineStart> engineStart;
    UINT_PTR timerId = 0;
    int placementValid = 0;
    WINDOWPLACEMENT placement = {};
    int fullScreen = 0;
    int layoutEnabled = 0;
    int firstLayout = 1;
    // The main window's DPI: everything it shows is sized and drawn for it (WM_DPICHANGED).
    int dpi = 96;

    AppState();
    ~AppState();
    // Zeroes every field but firstLayout, as the entry point does first. (GDI+ is held by the
    // entry point's GdiplusSession, not here.)
    void reset();
    // Stops the timer and releases the long-lived objects in the close order: surface, bar,
    // controller, libVLC's start, engine (player before instance). The main window stays.
    void destroyObjects();
};

extern AppState app;
