// The application state, and the order its objects go in.
#include "videoplayer/app/AppState.h"

#include "videoplayer/playback/EngineStart.h"
#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"

AppState app;

AppState::AppState() = default;
AppState::~AppState() = default;

void AppState::reset()
{
    hInstance = nullptr;
    mainWindow = nullptr;
    controller.reset();
    videoSurface.reset();
    controlBar = nullptr;
    engine.reset();
    engineStart.reset();
    timerId = 0;
    placementValid = 0;
    placement = WINDOWPLACEMENT{};
    fullScreen = 0;
    layoutEnabled = 0;
    dpi = 96;
}

void AppState::destroyObjects()
{
    KillTimer(mainWindow, timerId);
    // An engine with a file still under way here did not answer the bounded stop: playing or
    // paused, it may still draw into the video surface (a paused picture is redrawn on expose),
    // so it is released before that window is destroyed.
    if (engine && hasFileUnderWay(engine->getState()))
        engine->release();
    videoSurface.reset();
    controlBar = nullptr;
    PlayBar::releaseInstance();
    controller.reset();
    engineStart.reset(); // waits for libVLC's start, should it still run, and drops it
    if (engine) {
        engine->release();
        engine.reset();
    }
}
