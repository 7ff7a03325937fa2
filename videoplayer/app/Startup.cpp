// Start-up and the message loop of the player; the shut-down it ends with is the main window's
// onClose (MainWindow.cpp) and AppState::destroyObjects.
#include "videoplayer/app/Startup.h"

#include <commctrl.h>
#include <shellapi.h>
#include <new>

#include "QuilletVersion.h"
#include "UpdatePublicKey.h"
#include "common/GdiplusSession.h"
#include "common/UniqueHandle.h"
#include "updater/tellanupdate.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/EngineEvents.h"
#include "videoplayer/app/MainWindow.h"
#include "videoplayer/app/Settings.h"
#include "videoplayer/playback/EngineStart.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"
#include "videoplayer/ui/UiClock.h"
#include "videoplayer/ui/UiResources.h"
#include "videoplayer/ui/WindowDpi.h"

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
        app.destroyObjects();
        return 0;
    }
    DragAcceptFiles(app.mainWindow, TRUE);
    const int exitCode = runMessageLoop();
    saveSettings();
    return exitCode;
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
    registerWindowClass(instance, mainClassName, mainWindowProc);
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
    surface.loadLogo(app.hInstance, app.dpi);
    surface.cursorHidden = 0;
    surface.restartCursorRest(UiClock::now(), UiClock::cursorPos());
    app.controlBar = PlayBar::instance();
    if (!app.controlBar)
        return false;
    if (!app.controlBar->create(app.hInstance, app.mainWindow, *app.controller))
        return false;
    app.controlBar->setDpi(app.dpi);
    return true;
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
    // Everything the window shows is sized and drawn for this, and again whenever it changes.
    app.dpi = dpiOfWindow(app.mainWindow);
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
    // A placement saved on another arrangement of monitors, or at another scale (whose minimum
    // size the layout has just given the window), comes back whole on the work area.
    if (app.placementValid)
        keepOnWorkArea(app.mainWindow);
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
