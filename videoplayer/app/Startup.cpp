// Start-up, message loop and shut-down of the player.
#include "videoplayer/app/Startup.h"

#include <objidl.h>
#include <gdiplus.h>
#include <commctrl.h>
#include <shellapi.h>
#include <atomic>
#include <new>

#include "UpdatePublicKey.h"
#include "updater/tellanupdate.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/MainWindow.h"
#include "videoplayer/app/Settings.h"
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

// Set while a TimeChanged hand-over is queued, so a burst of time events costs one redraw.
std::atomic<bool> timeRefreshQueued{false};

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
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&app.gdiplusToken, &gdiplusInput, nullptr);
    app.reset();
    loadSettings();
    if (checkForUpdate()) {
        saveSettings();
        Gdiplus::GdiplusShutdown(app.gdiplusToken);
        return 0;
    }
    registerMainWindowClass(instance);
    if (!createMainWindow(instance, showCommand))
        return 0;
    DragAcceptFiles(app.mainWindow, TRUE);
    const int exitCode = runMessageLoop();
    saveSettings();
    Gdiplus::GdiplusShutdown(app.gdiplusToken);
    return exitCode;
}

bool checkForUpdate()
{
    void* updater = tellanup_create(app.mainWindow);
    if (!updater)
        return false;
    tellanup_setParam(updater, TELLANUP_PARAM_REGISTRY_KEY, reinterpret_cast<LONG_PTR>(L"Tellan Media Player"));
    tellanup_setParam(updater, TELLANUP_PARAM_PRODUCT_ID, reinterpret_cast<LONG_PTR>(L"Quillet"));
    tellanup_setParam(updater, TELLANUP_PARAM_DISPLAY_NAME, reinterpret_cast<LONG_PTR>(L"Quillet"));
    tellanup_setParam(updater, TELLANUP_PARAM_VERSION_CODE, 2);
    tellanup_setParam(updater, TELLANUP_PARAM_INTERVAL, 86400);
    // A player built with a key installs signed updates only; were its key ever refused, no
    // update at all is safer than unchecked ones.
    const bool keyRefused =
        updatePublicKey[0] &&
        !tellanup_setParam(updater, TELLANUP_PARAM_PUBLIC_KEY, reinterpret_cast<LONG_PTR>(updatePublicKey));
    if (keyRefused || !tellanup_haveNew(updater, false) || !tellanup_download(updater)) {
        tellanup_release(updater);
        return false;
    }
    if (IsWindow(app.mainWindow))
        PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    // When no installer was started (one that failed its check, say) the player carries on.
    const bool installed = tellanup_install(updater) != 0;
    tellanup_release(updater);
    return installed;
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
    app.videoSurface.reset(new (std::nothrow) PlayWnd());
    if (!app.videoSurface)
        return false;
    const RECT empty = {0, 0, 0, 0};
    if (!app.videoSurface->create(0, L"Player_CtrlClass", L"", WS_CHILD | WS_VISIBLE, empty, app.mainWindow, 0,
                                  app.hInstance))
        return false;
    PlayWnd& surface = *app.videoSurface;
    surface.logo = loadPngResource(app.hInstance, MAKEINTRESOURCEW(IDB_LOGO));
    surface.cursorHidden = 0;
    surface.lastMoveTick = UiClock::now();
    surface.lastCursorPos = UiClock::cursorPos();
    app.controlBar = PlayBar::instance();
    if (!app.controlBar)
        return false;
    return app.controlBar->create(app.hInstance, app.mainWindow);
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
    if (!app.controller || !createChildWindows())
        return 0;
    app.engine.reset(new (std::nothrow) MediaPlayer());
    if (!app.engine || !app.engine->init())
        return 0;
    app.engine->setWindow(app.videoSurface->hwnd);
    app.engine->eventCallback = onPlayerEvent;
    if (app.engine->eventManager)
        app.engine->attachEvents();
    app.controller->mediaPlayer = app.engine.get();
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
    return 1;
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
        PostMessageW(app.mainWindow, WM_PLAYER_EVENT, static_cast<WPARAM>(event->type), 0);
        break;
    case libvlc_MediaPlayerTimeChanged:
        if (!timeRefreshQueued.exchange(true))
            PostMessageW(app.mainWindow, WM_PLAYER_EVENT, static_cast<WPARAM>(event->type), 0);
        break;
    default: break;
    }
}

void onPlayerEventMessage(int eventType)
{
    if (eventType == libvlc_MediaPlayerTimeChanged)
        timeRefreshQueued = false;
    if (!app.controlBar)
        return;
    if (eventType == libvlc_MediaPlayerTimeChanged)
        app.controlBar->refreshTime();
    else
        app.controlBar->updateButtons();
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
    app.videoSurface.reset();
    app.controlBar = nullptr;
    PlayBar::releaseInstance();
    app.controller.reset();
    if (app.engine) {
        app.engine->release();
        app.engine.reset();
    }
}
