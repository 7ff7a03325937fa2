// The video surface: idle painting, context menu, double press to toggle full screen, and
// hiding the cursor over a playing video.
#include "videoplayer/ui/PlayWnd.h"

#include <windowsx.h>
#include <utility>

#include "common/UniqueHandle.h"
#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/UiClock.h"
#include "videoplayer/ui/UiResources.h"

namespace {

// Tick of the last left press on the surface. There is one surface, so one value serves.
DWORD lastPressTick = 0;

const ArtNames logoArt = {MAKEINTRESOURCEW(IDB_LOGO), L"IDB_LOGO_150", L"IDB_LOGO_200"};

// The video area's name while no file is under way.
const wchar_t idleName[] = L"Video";

void grey(HMENU menu, UINT command)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
}

} // namespace

PlayWnd::PlayWnd(PlayLogic& controller, std::function<bool()> isFullScreen)
    : controller(controller), isFullScreen(std::move(isFullScreen))
{
}

PlayWnd::~PlayWnd()
{
    // Closing the player while the cursor rests hidden over the video must not leave the
    // cursor hidden for whatever runs on this thread afterwards.
    restoreCursor();
}

// The engine as the controller reaches it; none until start-up hands it over.
MediaPlayer* PlayWnd::engine() const
{
    return controller.mediaPlayer;
}

int PlayWnd::engineState() const
{
    MediaPlayer* player = engine();
    return player ? player->getState() : EngineNothingSpecial;
}

// Commands go to the main window, the surface's parent; without one (a null handle would make
// this a thread message) there is nobody to carry them out.
void PlayWnd::postCommand(WPARAM command)
{
    if (HWND mainWindow = hwnd ? GetParent(hwnd) : nullptr)
        PostMessageW(mainWindow, WM_COMMAND, command, 0);
}

void PlayWnd::loadLogo(HMODULE module, int dpi)
{
    logo.reset(loadArt(module, logoArt, dpi));
    if (hwnd)
        InvalidateRect(hwnd, nullptr, TRUE);
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
        const UniqueGdiObject<HBRUSH> black(CreateSolidBrush(RGB(0, 0, 0)));
        FillRect(dc, &rc, black.get());
    }
    if (!logo)
        return;
    Gdiplus::Graphics graphics(dc);
    const int w = static_cast<int>(logo->GetWidth()), h = static_cast<int>(logo->GetHeight());
    graphics.DrawImage(logo.get(), (rc.right - w) / 2, (rc.bottom - h) / 2, w, h);
}

// The class has no CS_DBLCLKS: two presses closer than doublePressMs are the double press,
// and every further press within that time of the one before toggles again.
void PlayWnd::onLeftButtonDown()
{
    const DWORD now = UiClock::now();
    if (now - lastPressTick < doublePressMs) {
        postCommand(isFullScreen && isFullScreen() ? IDM_LEAVE_FULLSCREEN : IDM_FULLSCREEN);
    }
    lastPressTick = now;
}

void PlayWnd::showContextMenu(int x, int y)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE));
    const UniqueMenu menu(LoadMenuW(instance, MAKEINTRESOURCEW(IDR_CONTEXT_MENU)));
    HMENU popup = menu.get() ? GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup)
        return;
    prepareContextMenu(popup, currentMenuState());
    HWND parent = GetParent(hwnd);
    HWND owner = parent ? parent : hwnd;
    // The menu runs a loop of its own in which the main timer keeps ticking: the cursor is
    // needed over it, so it shows now and its rest only starts again once the menu has gone.
    restoreCursor();
    contextMenuOpen = true;
    const int command = TrackPopupMenu(popup, TPM_RETURNCMD, x, y, 0, owner, nullptr);
    contextMenuOpen = false;
    restartCursorRest(UiClock::now(), UiClock::cursorPos());
    if (command > 0)
        postCommand(static_cast<WPARAM>(command));
}

ContextMenuState PlayWnd::currentMenuState() const
{
    ContextMenuState state;
    state.fullScreen = isFullScreen && isFullScreen();
    MediaPlayer* player = engine();
    state.isPlaying = player && player->isPlaying();
    state.engineState = player ? player->getState() : EngineNothingSpecial;
    state.playListCount = controller.playList.count();
    state.currentIndex = controller.playList.currentIndex();
    return state;
}

void PlayWnd::prepareContextMenu(HMENU popup, const ContextMenuState& state)
{
    RemoveMenu(popup, state.fullScreen ? IDM_FULLSCREEN : IDM_LEAVE_FULLSCREEN, MF_BYCOMMAND);
    if (state.isPlaying) {
        grey(popup, IDM_PLAY);
    } else {
        grey(popup, IDM_PAUSE);
        if (state.engineState != EnginePaused)
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
    if (contextMenuOpen)
        return;
    const POINT pos = UiClock::cursorPos();
    const DWORD now = UiClock::now();
    if (cursorRest.observe(now, ScreenPoint{pos.x, pos.y})) {
        restoreCursor();
        return;
    }
    if (engineState() == EnginePlaying && cursorOverSurface(pos) && cursorRest.hasRested(now))
        hideCursor();
}

// The system's accessible object for the window takes its text as the name, as it does for any
// window; the change is announced on the client object a screen reader follows.
void PlayWnd::updateName()
{
    const std::wstring& path = controller.currentPath;
    const std::wstring now = hasFileUnderWay(engineState()) && !path.empty() ? fileNameOfPath(path) : idleName;
    if (!hwnd || now == name)
        return;
    name = now;
    SetWindowTextW(hwnd, name.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void PlayWnd::restartCursorRest(DWORD tick, POINT pos)
{
    cursorRest.restart(tick, ScreenPoint{pos.x, pos.y});
}

DWORD PlayWnd::lastMoveTick() const
{
    return cursorRest.lastMoveTick();
}

POINT PlayWnd::lastCursorPos() const
{
    const ScreenPoint at = cursorRest.lastPosition();
    return POINT{at.x, at.y};
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
