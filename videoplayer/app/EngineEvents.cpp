// libVLC's start and hand-over, and the engine's and the controller's events, as the shell
// handles them.
#include "videoplayer/app/EngineEvents.h"

#include <atomic>
#include <memory>
#include <new>

#include <vlc/vlc.h>

#include "videoplayer/app/AppState.h"
#include "videoplayer/playback/EngineStart.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"

namespace {

// Set while a TimeChanged hand-over is queued, so a burst of time events costs one redraw.
std::atomic<bool> timeRefreshQueued{false};

// Hands an engine event to the main window; false when it could not be posted. Without a main
// window a post would become a thread message that no window procedure ever sees.
bool postPlayerEvent(libvlc_event_type_t type)
{
    HWND window = app.mainWindow;
    return window && PostMessageW(window, WM_PLAYER_EVENT, static_cast<WPARAM>(type), 0);
}

} // namespace

void startEngine()
{
    app.engineStart.reset(new (std::nothrow) EngineStart());
}

// Runs on the thread that starts libVLC, or on the user-interface thread when libVLC was ready
// first. The engine belongs to the user-interface thread: the news is only posted.
void onEngineStarted()
{
    PostMessageW(app.mainWindow, WM_ENGINE_STARTED, 0, 0);
}

bool attachEngine()
{
    if (!app.engineStart)
        return app.engine && app.engine->vlcPlayer;
    // Taken out of the state first: the failure message below runs a message loop, and a command
    // it dispatches must find the attempt over rather than start another.
    const std::unique_ptr<EngineStart> start = std::move(app.engineStart);
    if (!app.engine || !app.engine->init(start->take())) {
        reportEngineFailure();
        return false;
    }
    app.engine->setWindow(app.videoSurface->hwnd);
    app.engine->eventCallback = onPlayerEvent;
    if (app.engine->eventManager)
        app.engine->attachEvents();
    app.controller->mediaPlayer = app.engine.get();
    app.controlBar->refreshVolume();
    app.controlBar->updateButtons();
    return true;
}

// Without libVLC the player can do nothing: it says so, then closes as Exit does (exit code 0).
void reportEngineFailure()
{
    MessageBoxW(app.mainWindow, L"Quillet could not start its video engine.", L"Quillet", MB_OK | MB_ICONERROR);
    PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
}

// Runs on libVLC's threads. The control bar belongs to the user-interface thread, which may be
// waiting for the engine right now: a synchronous call into it from here could deadlock, so the
// event is only posted, and handled by onPlayerEventMessage on that thread.
void onPlayerEvent(const libvlc_event_t* event, void*)
{
    if (!event)
        return;
    switch (event->type) {
    case libvlc_MediaPlayerPlaying:
    case libvlc_MediaPlayerPaused:
    case libvlc_MediaPlayerStopped:
    case libvlc_MediaPlayerEndReached:
    case libvlc_MediaPlayerEncounteredError:
        postPlayerEvent(event->type);
        break;
    case libvlc_MediaPlayerTimeChanged:
        // A hand-over that could not be posted (a full queue, no window) is not queued: were
        // the flag left set, no later time event would ever be handed over again.
        if (!timeRefreshQueued.exchange(true) && !postPlayerEvent(event->type))
            timeRefreshQueued = false;
        break;
    default: break;
    }
}

void onPlayerEventMessage(int eventType)
{
    if (eventType == libvlc_MediaPlayerTimeChanged)
        timeRefreshQueued = false;
    if (app.controlBar) {
        if (eventType == libvlc_MediaPlayerTimeChanged)
            app.controlBar->refreshTime();
        else if (eventType != libvlc_MediaPlayerEndReached && eventType != libvlc_MediaPlayerEncounteredError)
            app.controlBar->updateButtons();
    }
    // Last: a file that cannot be played may end in a modal message from here.
    if (app.controller)
        app.controller->onEngineEvent(eventType);
}

void onControllerEvent(PlayLogicEvent event)
{
    if (!app.controlBar)
        return;
    switch (event) {
    case PlayLogicEvent::Stopped:
        // A slider drag in progress would otherwise keep seeking a stopped player, and a stopped
        // player keeps its bar until the next full-screen layout arms the auto-hide again.
        app.controlBar->endDrag();
        app.controlBar->disarmAutoHide();
        app.controlBar->refreshTime();
        break;
    case PlayLogicEvent::VolumeChanged: app.controlBar->refreshVolume(); break;
    case PlayLogicEvent::PlaybackFailed:
        // The bar shows the player stopped before the main window, sent this on the same thread
        // (so at once), brings its caption up to date and shows the failure message.
        app.controlBar->updateButtons();
        SendMessageW(app.mainWindow, WM_PLAYBACK_FAILED, 0, 0);
        break;
    }
}
