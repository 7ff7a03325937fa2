// The main window. The window procedure only dispatches; each message and command has its own
// handler below.
#include "videoplayer/app/MainWindow.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>

#include "QuilletVersion.h"
#include "common/PathLimits.h"
#include "common/UniqueHandle.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/Caption.h"
#include "videoplayer/app/EngineEvents.h"
#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/DisplayScale.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"
#include "videoplayer/ui/UiResources.h"

namespace {

const wchar_t productName[] = L"Quillet";
const wchar_t productVersion[] = QUILLET_VERSION_TEXT_WIDE;

bool enginePlaying()
{
    return app.engine && app.engine->isPlaying();
}

// ---- Commands ---------------------------------------------------------------------------

void showAbout()
{
    DialogBoxParamW(app.hInstance, MAKEINTRESOURCEW(IDD_ABOUTBOX), app.mainWindow, AboutDlgProc, 0);
}

void exitCommand()
{
    PostMessageW(app.mainWindow, WM_CLOSE, 0, 0);
}

void toggleFullScreen()
{
    if (app.fullScreen)
        leaveFullScreen();
    else
        enterFullScreen();
}

void playOrPause()
{
    if (app.controller->isPlaying())
        app.controller->pause();
    else
        app.controller->play();
}

void pauseCommand() { app.controller->pause(); }
void stopCommand() { app.controller->stop(); }

void closeCommand()
{
    if (enginePlaying())
        app.controller->stop();
}

void muteCommand() { app.controller->toggleMute(); }
void forwardCommand() { app.controller->seek(1); }
void backwardCommand() { app.controller->seek(-1); }
void previousCommand() { app.controller->stepFile(-1); }
void nextCommand() { app.controller->stepFile(1); }
void volumeUpCommand() { app.controller->stepVolume(1); }
void volumeDownCommand() { app.controller->stepVolume(-1); }

// Whether a command works the engine. One that does, coming while libVLC still starts, waits for
// it rather than find no engine; the window's own commands (About, full screen, Exit) run at once.
enum class Needs { Window, Engine };

struct CommandEntry {
    int id;
    void (*run)();
    Needs needs;
};

// Every command of the player, whatever sends it: accelerator, context menu or bar button.
const CommandEntry commandTable[] = {
    {IDM_ABOUT, showAbout, Needs::Window},
    {IDM_OPEN, onOpen, Needs::Engine},
    {IDM_EXIT, exitCommand, Needs::Window},
    {IDM_FULLSCREEN, toggleFullScreen, Needs::Window},
    {IDM_LEAVE_FULLSCREEN, leaveFullScreen, Needs::Window},
    {IDM_PLAY, playOrPause, Needs::Engine},
    {IDM_PAUSE, pauseCommand, Needs::Engine},
    {IDM_STOP, stopCommand, Needs::Engine},
    {IDM_CLOSE, closeCommand, Needs::Engine},
    {IDM_MUTE, muteCommand, Needs::Engine},
    {IDM_FORWARD, forwardCommand, Needs::Engine},
    {IDM_PREVIOUS, previousCommand, Needs::Engine},
    {IDM_NEXT, nextCommand, Needs::Engine},
    {IDM_BACKWARD, backwardCommand, Needs::Engine},
    {IDM_VOLUME_UP, volumeUpCommand, Needs::Engine},
    {IDM_VOLUME_DOWN, volumeDownCommand, Needs::Engine},
};

const CommandEntry* findCommand(int id)
{
    for (const CommandEntry& entry : commandTable)
        if (entry.id == id)
            return &entry;
    return nullptr;
}

// ---- Messages ---------------------------------------------------------------------------

void onCreate(HWND window)
{
    HICON icon = LoadIconW(GetModuleHandleW(nullptr), L"IDI_PLAYER");
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

// The system's own black brush: nothing to make or delete for every erase.
void fillBlack(HWND window, HDC dc)
{
    RECT rc;
    GetClientRect(window, &rc);
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void onPaint(HWND window)
{
    const ScopedPaint paint(window);
    fillBlack(window, paint.dc());
}

// The controller stopped a file the user chose that cannot be played: the caption shows the
// player stopped before the message says why.
void onPlaybackFailed()
{
    updateTitle();
    showLoadFailure();
}

// A drop that comes while libVLC still starts waits for it. Should libVLC fail to start, the user
// has just been told so and the player closes: the drop goes without a second message.
void onDrop(HDROP drop)
{
    if (!attachEngine()) {
        DragFinish(drop);
        return;
    }
    onDropFiles(drop);
}

void onSize(WPARAM kind)
{
    if (kind != SIZE_MINIMIZED)
        relayout();
    savePlacement();
}

void onTimer()
{
    updateTitle();
    if (app.videoSurface) {
        app.videoSurface->updateCursor();
        app.videoSurface->updateName();
    }
    if (app.controller)
        app.controller->onTimer();
    if (app.controlBar)
        app.controlBar->autoHideTick();
}

// ---- Layout helpers ---------------------------------------------------------------------

bool barVisible()
{
    return app.controlBar && app.controlBar->window() &&
           (GetWindowLongW(app.controlBar->window(), GWL_STYLE) & WS_VISIBLE) != 0;
}

void moveChild(HWND child, int x, int y, int w, int h, BOOL repaint)
{
    if (child)
        MoveWindow(child, x, y, w, h, repaint);
}

HWND surfaceWindow() { return app.videoSurface ? app.videoSurface->hwnd : nullptr; }
HWND barWindow() { return app.controlBar ? app.controlBar->window() : nullptr; }
int barHeight() { return app.controlBar ? app.controlBar->barHeight() : 0; }

// A length of the window's layout at the window's scale.
int scaled(int length)
{
    return scale::scaled(length, app.dpi);
}

// The first window without a saved placement: the default size at the window's scale, as much of
// it as the work area holds (a large scale on a small screen), never less than the minimum; centred.
void giveDefaultSize(int h)
{
    const int w = scaled(defaultClientWidth), videoH = scaled(defaultVideoHeight);
    setClientSize(app.mainWindow, w, videoH + h);
    RECT outer;
    GetWindowRect(app.mainWindow, &outer);
    const RECT area = workAreaOf(app.mainWindow);
    const int overW = (outer.right - outer.left) - (area.right - area.left);
    const int overH = (outer.bottom - outer.top) - (area.bottom - area.top);
    if (overW > 0 || overH > 0)
        setClientSize(app.mainWindow, std::max(w - std::max(overW, 0), scaled(minimumClientWidth)),
                      std::max(videoH - std::max(overH, 0), scaled(minimumVideoHeight)) + h);
    centerWindow(app.mainWindow);
}

// Grows the window so that its client area has at least the minimum size; returns the client
// rectangle as it then is.
RECT enforceMinimumSize(int h)
{
    RECT client;
    GetClientRect(app.mainWindow, &client);
    const int w = client.right, height = client.bottom;
    const int minimumW = scaled(minimumClientWidth), minimumVideoH = scaled(minimumVideoHeight);
    const int wantW = w < minimumW ? minimumW : w;
    const int wantH = height - h >= minimumVideoH ? height : h + minimumVideoH;
    if ((wantW != w || wantH != height) && IsWindow(app.mainWindow)) {
        RECT outer;
        GetWindowRect(app.mainWindow, &outer);
        SetWindowPos(app.mainWindow, nullptr, 0, 0, outer.right - outer.left + (wantW - w),
                     outer.bottom - outer.top + (wantH - height), SWP_NOZORDER | SWP_NOMOVE);
        GetClientRect(app.mainWindow, &client);
    }
    return client;
}

// Full screen covers the primary screen, in its pixels: with the process aware of every
// monitor's scale, the system metrics are never scaled down for it. The frame is recomputed for
// the style just taken away even when the size stays (a maximised window can already be the
// screen's size), or the client would keep the old border inside the screen.
void coverScreen()
{
    SetWindowPos(app.mainWindow, nullptr, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                 SWP_NOZORDER | SWP_FRAMECHANGED);
}

// The window has moved to a monitor of another scale, or its monitor's scale changed. What was
// drawn for the old one is made again for the new one; the window takes the rectangle Windows
// suggests, which keeps it the same size relative to its content, except while it covers the
// screen or while a switch of mode or a restored placement decides its size.
void onDpiChanged(int dpi, const RECT* suggested)
{
    app.dpi = dpi;
    if (app.videoSurface)
        app.videoSurface->loadLogo(app.hInstance, dpi);
    if (app.controlBar)
        app.controlBar->setDpi(dpi);
    if (app.fullScreen)
        coverScreen();
    else if (suggested && app.layoutEnabled)
        SetWindowPos(app.mainWindow, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    relayout();
}

} // namespace

// ---- Window procedure -------------------------------------------------------------------

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: onCreate(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case WM_MOVE: savePlacement(); return 0;
    case WM_SIZE: onSize(wParam); return 0;
    case WM_PAINT: onPaint(window); return 0;
    case WM_ERASEBKGND: fillBlack(window, reinterpret_cast<HDC>(wParam)); return 0;
    case WM_CLOSE: onClose(); return 0;
    case WM_DPICHANGED: onDpiChanged(LOWORD(wParam), reinterpret_cast<const RECT*>(lParam)); return 0;
    case WM_TIMER: onTimer(); return 0;
    case WM_DROPFILES: onDrop(reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_PLAYER_EVENT: onPlayerEventMessage(static_cast<int>(wParam)); return 0;
    case WM_PLAYBACK_FAILED: onPlaybackFailed(); return 0;
    case WM_ENGINE_STARTED: attachEngine(); return 0;
    case WM_COMMAND:
        if (runCommand(LOWORD(wParam)))
            return 0;
        break;
    default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool runCommand(int command)
{
    const CommandEntry* entry = findCommand(command);
    if (!entry || (entry->needs == Needs::Engine && !attachEngine()))
        return false;
    entry->run();
    return true;
}

// ---- Closing ----------------------------------------------------------------------------

void onClose()
{
    savePlacement();
    ShowWindow(app.mainWindow, SW_HIDE);
    if (app.controller)
        app.controller->stop();
    app.destroyObjects();
    DestroyWindow(app.mainWindow);
}

// ---- Placement, layout and full screen --------------------------------------------------

void savePlacement()
{
    if (app.fullScreen || !app.layoutEnabled)
        return;
    app.placement.length = sizeof(app.placement);
    app.placementValid = GetWindowPlacement(app.mainWindow, &app.placement) ? 1 : 0;
}

void relayout()
{
    if (!app.layoutEnabled)
        return;
    const bool barWasVisible = barVisible();
    moveChild(surfaceWindow(), 0, 0, 0, 0, FALSE);
    if (barWindow())
        ShowWindow(barWindow(), SW_HIDE);
    const int h = (barWasVisible || !app.fullScreen) ? barHeight() : 0;
    if (app.firstLayout && !app.placementValid && IsWindow(app.mainWindow))
        giveDefaultSize(h);
    app.firstLayout = 0;
    const RECT client = enforceMinimumSize(h);
    moveChild(surfaceWindow(), 0, 0, client.right, client.bottom - h, TRUE);
    moveChild(barWindow(), 0, client.bottom - barHeight(), client.right, barHeight(), TRUE);
    if (barWasVisible || !app.fullScreen) {
        if (barWindow())
            ShowWindow(barWindow(), SW_SHOW);
        if (!app.fullScreen) {
            if (app.controlBar)
                app.controlBar->disarmAutoHide();
            return;
        }
    }
    // In full screen the bar hides itself once the mouse rests; the rest period starts now.
    if (app.controlBar)
        app.controlBar->armAutoHide();
}

void enterFullScreen()
{
    if (app.fullScreen)
        return;
    app.fullScreen = 1;
    app.layoutEnabled = 0;
    ShowWindow(app.mainWindow, SW_SHOWNORMAL);
    const LONG style = GetWindowLongW(app.mainWindow, GWL_STYLE);
    SetWindowLongW(app.mainWindow, GWL_STYLE, style & ~(WS_CAPTION | WS_THICKFRAME));
    coverScreen();
    app.layoutEnabled = 1;
    relayout();
}

void leaveFullScreen()
{
    if (!app.fullScreen)
        return;
    app.fullScreen = 0;
    app.layoutEnabled = 0;
    const LONG style = GetWindowLongW(app.mainWindow, GWL_STYLE);
    SetWindowLongW(app.mainWindow, GWL_STYLE, style | WS_CAPTION | WS_THICKFRAME);
    if (app.placementValid)
        SetWindowPlacement(app.mainWindow, &app.placement);
    app.layoutEnabled = 1;
    relayout();
}

// ---- Files ------------------------------------------------------------------------------

bool loadFile(const std::wstring& path)
{
    PlayLogic& controller = *app.controller;
    controller.stop();
    if (!PlayListData::hasMediaExtension(path) || !controller.openFile(path)) {
        showLoadFailure();
        return false;
    }
    return true;
}

void showLoadFailure()
{
    MessageBoxW(app.mainWindow, L"Could not load the file", productName, MB_ICONERROR);
}

void onOpen()
{
    if (enginePlaying())
        app.engine->pause();
    wchar_t file[pathBufferLength] = {};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = app.mainWindow;
    ofn.hInstance = app.hInstance;
    ofn.lpstrFilter = L"Media Files (*.mp4)\0*.mp4\0";
    ofn.lpstrFile = file;
    ofn.nMaxFile = pathBufferLength;
    ofn.lpstrTitle = L"Select File";
    if (GetOpenFileNameW(&ofn) && loadFile(file))
        app.controller->playList.buildFromFolder(file);
}

void onDropFiles(HDROP drop)
{
    if (enginePlaying())
        app.engine->pause();
    // The path is taken at its full length: cut to a buffer it could name another file, and
    // one too long for the engine is refused by loadFile with the failure message.
    std::wstring file;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        file.resize(static_cast<size_t>(length) + 1);
        file.resize(DragQueryFileW(drop, 0, &file[0], length + 1));
    }
    DragFinish(drop);
    if (!file.empty() && loadFile(file))
        app.controller->playList.buildFromFolder(file);
}

// ---- Caption ----------------------------------------------------------------------------

void updateTitle()
{
    static const std::wstring appTitle = std::wstring(productName) + L" " + productVersion;
    const int state = app.engine ? app.engine->getState() : EngineNothingSpecial;
    const std::wstring path = app.controller ? app.controller->currentPath : std::wstring();
    std::wstring caption;
    if (hasFileUnderWay(state) && !path.empty()) {
        const std::wstring name = fileNameOfPath(path);
        const int64_t t = app.engine->getTime(), len = app.engine->getLength();
        caption = len != 0 ? composeCaption(appTitle, name, formatTime(t), formatTime(len))
                           : composeCaption(appTitle, name);
    } else {
        caption = composeCaption(appTitle);
    }
    // The timer asks four times a second; setting an unchanged caption still makes the system
    // redraw the title bar, which is most of what an idle player would otherwise cost.
    std::wstring shown(static_cast<size_t>(GetWindowTextLengthW(app.mainWindow)) + 1, L'\0');
    shown.resize(static_cast<size_t>(GetWindowTextW(app.mainWindow, &shown[0], static_cast<int>(shown.size()))));
    if (shown != caption)
        SetWindowTextW(app.mainWindow, caption.c_str());
}

// ---- About ------------------------------------------------------------------------------

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG: {
        const std::wstring text = std::wstring(productName) + L", Version " + productVersion;
        HWND label = GetDlgItem(dialog, IDC_ABOUT_TEXT);
        if (label && IsWindow(label))
            SetWindowTextW(label, text.c_str());
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}
