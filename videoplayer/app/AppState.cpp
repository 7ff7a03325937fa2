// The application state.
#include "videoplayer/app/AppState.h"

#include "videoplayer/playback/EngineStart.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
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
}
