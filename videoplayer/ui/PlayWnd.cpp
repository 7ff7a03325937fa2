// The video surface: idle painting, context menu, double press to toggle full screen, and
// hiding the cursor over a playing video.
#include "videoplayer/ui/PlayWnd.h"

#include <windowsx.h>

#include "videoplayer/app/AppState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/UiClock.h"

namespace {

// libVLC's player states that the surface distinguishes.
const int statePlaying = 3;
const int statePaused = 4;

// Tick of the last left press on the surface. There is one surface, so one value serves.
DWORD lastPressTick = 0;

// The engine as the controller reaches it; either may be missing early in start-up or late
// in shut-down.
MediaPlayer* currentEngine()
{
    if (app.controller && app.controller->mediaPlayer)
        return app.controller->mediaPlayer;
    return app.engine.get();
}

int engineState()
{
    MediaPlayer* engine = currentEngine();
    return engine ? engine->getState() : 0;
}

// Commands go to the main window; without one (a null handle would make this a thread
// message) there is nobody to carry them out.
void postCommand(WPARAM command)
{
    if (app.mainWindow)
        PostMessageW(app.mainWindow, WM_COMMAND, command, 0);
}

void grey(HMENU menu, UINT command)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
}

// Owns a GDI object for the length of one paint.
class GdiObject {
public:
    explicit GdiObject(HGDIOBJ object) : object(object) {}
    ~GdiObject() { DeleteObject(object); }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    HGDIOBJ get() const { return object; }

private:
    HGDIOBJ object;
};

// Owns a menu loaded from the resources.
class LoadedMenu {
public:
    explicit LoadedMenu(HMENU menu) : menu(menu) {}
    ~LoadedMenu()
    {
        if (menu)
            DestroyMenu(menu);
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;
    HMENU get() const { return menu; }

private:
    HMENU menu;
};

} // namespace

PlayWnd::~PlayWnd()
{
    // Closing the player while the cursor rests hidden over the video must not leave the
    // cursor hidden for whatever runs on this thread afterwards.
    restoreCursor();
    delete logo;
    logo = nullptr;
}

LRESULT PlayWnd::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CONTEXTMENU:
        showContextMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        onLeftButtonDown();
        return 0;
    default:
        return GWindow::handleMessage(message, wParam, lParam);
    }
}

void PlayWnd::onPaint(HDC dc)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    {
        GdiObject black(CreateSolidBrush(RGB(0, 0, 0)));
        FillRect(dc, &rc, static_cast<HBRUSH>(black.get()));
    }
    if (!logo)
        return;
    Gdiplus::Graphics graphics(dc);
    const int w = static_cast<int>(logo->GetWidth()), h = static_cast<int>(logo->GetHeight());
    graphics.DrawImage(logo, (rc.right - w) / 2, (rc.bottom - h) / 2, w, h);
}

// The class has no CS_DBLCLKS: two presses closer than doublePressMs are the double press,
// and every further press within that time of the one before toggles again.
void PlayWnd::onLeftButtonDown()
{
    const DWORD now = UiClock::now();
    if (now - lastPressTick < doublePressMs) {
        postCommand(app.fullScreen ? IDM_LEAVE_FULLSCREEN : IDM_FULLSCREEN);
    }
    lastPressTick = now;
}

void PlayWnd::showContextMenu(int x, int y)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    LoadedMenu menu(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_CONTEXT_MENU)));
    HMENU popup = menu.get() ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    prepareContextMenu(popup, currentMenuState());
    HWND owner = app.mainWindow ? app.mainWindow : hwnd;
    const int command = TrackPopupMenu(popup, TPM_RETURNCMD, x, y, 0, owner, nullptr);
    if (command > 0)
        postCommand(static_cast<WPARAM>(command));
}

ContextMenuState PlayWnd::currentMenuState()
{
    ContextMenuState state;
    state.fullScreen = app.fullScreen != 0;
    MediaPlayer* engine = currentEngine();
    state.isPlaying = engine && engine->isPlaying();
    state.engineState = engine ? engine->getState() : 0;
    if (app.controller) {
        state.playListCount = app.controller->playList.count();
        state.currentIndex = app.controller->playList.currentIndex();
    }
    return state;
}

void PlayWnd::prepareContextMenu(HMENU popup, const ContextMenuState& state)
{
    RemoveMenu(popup, state.fullScreen ? IDM_FULLSCREEN : IDM_LEAVE_FULLSCREEN, MF_BYCOMMAND);
    if (state.isPlaying) {
        grey(popup, IDM_PLAY);
    } else {
        grey(popup, IDM_PAUSE);
        if (state.engineState != statePaused)
            grey(popup, IDM_STOP);
        if (state.playListCount == 0)
            grey(popup, IDM_PLAY);
    }
    if (state.playListCount < 2 || state.currentIndex == -1) {
        grey(popup, IDM_PREVIOUS);
        grey(popup, IDM_NEXT);
    }
}

// Movement is measured from the position of the last counted move, not from the previous
// tick, so a slowly drifting cursor also counts once it has gone far enough.
void PlayWnd::updateCursor()
{
    const POINT pos = UiClock::cursorPos();
    const DWORD now = UiClock::now();
    const long dx = pos.x - lastCursorPos.x, dy = pos.y - lastCursorPos.y;
    if (dx > cursorMoveSlack || dx < -cursorMoveSlack || dy > cursorMoveSlack || dy < -cursorMoveSlack) {
        lastCursorPos = pos;
        lastMoveTick = now;
        restoreCursor();
        return;
    }
    if (engineState() == statePlaying && cursorOverSurface(pos) && now - lastMoveTick >= cursorRestMs)
        hideCursor();
}

bool PlayWnd::cursorOverSurface(POINT pos) const
{
    RECT rc;
    return hwnd && GetWindowRect(hwnd, &rc) && PtInRect(&rc, pos);
}

// ShowCursor keeps a count: every hide must be matched by exactly one show.
void PlayWnd::hideCursor()
{
    if (!cursorHidden)
        ShowCursor(FALSE);
    cursorHidden = 1;
}

void PlayWnd::restoreCursor()
{
    if (cursorHidden)
        ShowCursor(TRUE);
    cursorHidden = 0;
}
