// Start-up, message loop and shut-down of the player.
#include "videoplayer/app/Startup.h"

#include <commctrl.h>
#include <shellapi.h>
#include <atomic>
#include <new>

#include "QuilletVersion.h"
#include "UpdatePublicKey.h"
#include "common/GdiplusSession.h"
#include "common/UniqueHandle.h"
#include "updater/tellanupdate.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/MainWindow.h"
#include "videoplayer/app/Settings.h"
#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/EngineStart.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"
#include "videoplayer/ui/UiClock.h"
#include "videoplayer/ui/UiResources.h"

namespace {

const wchar_t mainClassName[] = L"Player_WndClass";
const UINT mainTimerId = 100;
const UINT mainTimerPeriod = 260;

// The update library's handle: released on every way out of the check, after the last call.
struct UpdaterHandleTraits {
    using Type = void*;
    static Type none() { return nullptr; }
    static void close(Type handle) { tellanup_release(handle); }
};
using UniqueUpdater = UniqueHandle<UpdaterHandleTraits>;

// Set while a TimeChanged hand-over is queued, so a burst of time events costs one redraw.
std::atomic<bool> timeRefreshQueued{false};

// Hands an engine event to the main window; false when it could not be posted. Without a main
// window a post would become a thread message that no window procedure ever sees.
bool postPlayerEvent(libvlc_event_type_t type)
{
    HWND window = app.mainWindow;
    return window && PostMessageW(window, WM_PLAYER_EVENT, static_cast<WPARAM>(type), 0);
}

int runMessageLoop()
{
    HACCEL accelerators = LoadAcceleratorsW(app.hInstance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        if (!TranslateAcceleratorW(app.mainWindow, accelerators, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int runPlayer(HINSTANCE instance, int showCommand)
{
    app.reset();
    // GDI+ stays up for the whole run and goes down after the settings are written, on every
    // way out; the images that need it are gone by then (destroyObjects).
    const GdiplusSession gdiplus;
    loadSettings();
    if (checkForUpdate()) {
        saveSettings();
        return 0;
    }
    registerMainWindowClass(instance);
    if (!createMainWindow(instance, showCommand)) {
        // Silent, with nothing written. What was made so far goes now, while GDI+ is still up:
        // the logo and the bar's images must not be freed after the session has ended it.
        destroyObjects();
        return 0;
    }
    DragAcceptFiles(app.mainWindow, TRUE);
    const int exitCode = runMessageLoop();
    saveSettings();
    return exitCode;
}

void startEngine()
{
    app.engineStart.reset(new (std::nothrow) EngineStart());
}

bool checkForUpdate()
{
    const UniqueUpdater updater(tellanup_create(app.mainWindow));
    if (!updater)
        return false;
    tellanup_setParam(updater.get(), TELLANUP_PARAM_REGISTRY_KEY, reinterpret_cast<LONG_PTR>(L"Tellan Media Player"));
    tellanup_setParam(updater.get(), TELLANUP_PARAM_PRODUCT_ID, reinterpret_cast<LONG_PTR>(L"Quillet"));
    tellanup_setParam(updater.get(), TELLANUP_PARAM_DISPLAY_NAME, reinterpret_cast<LONG_PTR>(L"Quillet"));
    // The running release's own code: an update to it must carry a greater one.
    tellanup_setParam(updater.get(), TELLANUP_PARAM_VERSION_CODE, QUILLET_VERSION_CODE);
    tellanup_setParam(updater.get(), TELLANUP_PARAM_INTERVAL, 86400);
    // A player built with a key installs signed updates only; were its key ever refused, no
    // update at all is safer than unchecked ones.
    const bool keyRefused =
        updatePublicKey[0] &&
        !tellanup_setParam(updater.get(), TELLANUP_PARAM_PUBLIC_KEY, reinterpret_cast<LONG_PTR>(updatePublicKey));
    if (keyRefused || !tellanup_haveNew(updater.get(), false) || !tellanup_download(updater.get()))
        return false;
    if (IsWindow(app.mainWindow))
        PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    // When no installer was started (one that failed its check, say) the player carries on.
    return tellanup_install(updater.get()) != 0;
}

void registerMainWindowClass(HINSTANCE instance)
{
    WNDCLASSEXW existing = {};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, mainClassName, &existing))
        return;
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = mainWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = mainClassName;
    RegisterClassExW(&wc);
}

bool createChildWindows()
{
    app.videoSurface.reset(new (std::nothrow) PlayWnd(*app.controller, [] { return app.fullScreen != 0; }));
    if (!app.videoSurface)
        return false;
    const RECT empty = {0, 0, 0, 0};
    if (!app.videoSurface->create(0, L"Player_CtrlClass", L"", WS_CHILD | WS_VISIBLE, empty, app.mainWindow, 0,
                                  app.hInstance))
        return false;
    PlayWnd& surface = *app.videoSurface;
    surface.logo.reset(loadPngResource(app.hInstance, MAKEINTRESOURCEW(IDB_LOGO)));
    surface.cursorHidden = 0;
    surface.restartCursorRest(UiClock::now(), UiClock::cursorPos());
    app.controlBar = PlayBar::instance();
    if (!app.controlBar)
        return false;
    return app.controlBar->create(app.hInstance, app.mainWindow, *app.controller);
}

int createMainWindow(HINSTANCE instance, int showCommand)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    InitCommonControlsEx(&controls);
    app.hInstance = instance;
    app.mainWindow = CreateWindowExW(0, mainClassName, L"Corvane", WS_OVERLAPPEDWINDOW, 0, 0, 0, 0, nullptr, nullptr,
                                     instance, nullptr);
    if (!app.mainWindow)
        return 0;
    app.controller.reset(new (std::nothrow) PlayLogic());
    if (!app.controller)
        return 0;
    app.controller->eventCallback = onControllerEvent;
    if (!createChildWindows())
        return 0;
    // The engine gets its instance, window and callback once libVLC has started (attachEngine).
    app.engine.reset(new (std::nothrow) MediaPlayer());
    if (!app.engine)
        return 0;
    app.controlBar->refreshVolume();
    app.timerId = SetTimer(app.mainWindow, mainTimerId, mainTimerPeriod, nullptr);
    if (app.placementValid) {
        SetWindowPlacement(app.mainWindow, &app.placement);
        if (app.placement.showCmd == SW_SHOWMAXIMIZED)
            PostMessageW(app.mainWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    }
    ShowWindow(app.mainWindow, showCommand);
    UpdateWindow(app.mainWindow);
    app.controlBar->updateButtons();
    app.layoutEnabled = 1;
    relayout();
    // libVLC takes longer to start than everything else here, and only the engine needs it; it
    // starts on a thread of its own once the window is on screen. Started any earlier, its
    // loading holds the loader lock and a core that creating the windows needs: under Wine that
    // made the window appear 80 ms later. Nothing can ask for the engine before this point.
    if (!app.engineStart)
        startEngine();
    if (!app.engineStart)
        return 0;
    app.engineStart->whenDone(onEngineStarted);
    return 1;
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

// The controller's reports, on the user-interface thread, made visible on the control bar.
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
        // Bar and caption show the player stopped before the message, not the failed file.
        app.controlBar->updateButtons();
        updateTitle();
        showLoadFailure();
        break;
    }
}

void onClose()
{
    savePlacement();
    ShowWindow(app.mainWindow, SW_HIDE);
    if (app.controller)
        app.controller->stop();
    destroyObjects();
    DestroyWindow(app.mainWindow);
}

void destroyObjects()
{
    KillTimer(app.mainWindow, app.timerId);
    // An engine with a file still under way here did not answer the bounded stop: playing or
    // paused, it may still draw into the video surface (a paused picture is redrawn on expose),
    // so it is released before that window is destroyed.
    if (app.engine && hasFileUnderWay(app.engine->getState()))
        app.engine->release();
    app.videoSurface.reset();
    app.controlBar = nullptr;
    PlayBar::releaseInstance();
    app.controller.reset();
    app.engineStart.reset(); // waits for libVLC's start, should it still run, and drops it
    if (app.engine) {
        app.engine->release();
        app.engine.reset();
    }
}
