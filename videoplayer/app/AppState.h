// The application state: the one main window and the long-lived objects, reached from every
// part of the player. Touched on the user-interface thread only.
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

    AppState();
    ~AppState();
    // Zeroes every field but firstLayout, as the entry point does first. (GDI+ is held by the
    // entry point's GdiplusSession, not here.)
    void reset();
};

extern AppState app;
