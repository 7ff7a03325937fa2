// The control bar: its single instance, its dialog, the placement of its controls, which buttons
// it shows, the sliders under the mouse and the full-screen auto-hide. What it draws is its
// canvas's (PlayBarCanvas.cpp).
#include "videoplayer/ui/PlayBar.h"

#include <windowsx.h>
#include <new>

#include "common/UniqueHandle.h"
#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/SliderGeometry.h"
#include "videoplayer/ui/UiClock.h"
#include "videoplayer/ui/WindowDpi.h"

namespace {

// The controls a layout moves to where the canvas placed their parts.
const int placedControls[] = {IDC_BAR_OPEN, IDC_BAR_STOP, IDC_BAR_PLAY,   IDC_BAR_PAUSE, IDC_BAR_PREV,
                              IDC_BAR_NEXT, IDC_BAR_MUTE, IDC_BAR_VOLUME, IDC_BAR_TIME};

struct ButtonCommand {
    int control;
    int command;
};

// What each button asks the main window to do.
const ButtonCommand buttonCommands[] = {
    {IDC_BAR_OPEN, IDM_OPEN}, {IDC_BAR_PLAY, IDM_PLAY}, {IDC_BAR_PAUSE, IDM_PAUSE}, {IDC_BAR_STOP, IDM_STOP},
    {IDC_BAR_PREV, IDM_PREVIOUS}, {IDC_BAR_NEXT, IDM_NEXT}, {IDC_BAR_MUTE, IDM_MUTE},
};

// For one engine state, the two buttons to show and enable and the two to hide and disable.
// Open and Stop share a spot, and so do Play and Pause: one of each pair is visible.
struct ButtonStateSet {
    int state;
    int shown[2];
    int hidden[2];
};

const ButtonStateSet buttonStateSets[] = {
    {EnginePlaying, {IDC_BAR_STOP, IDC_BAR_PAUSE}, {IDC_BAR_OPEN, IDC_BAR_PLAY}},
    {EnginePaused, {IDC_BAR_STOP, IDC_BAR_PLAY}, {IDC_BAR_OPEN, IDC_BAR_PAUSE}},
};
const ButtonStateSet idleButtons = {0, {IDC_BAR_OPEN, IDC_BAR_PLAY}, {IDC_BAR_STOP, IDC_BAR_PAUSE}};

const ButtonStateSet& buttonStateSetFor(int state)
{
    for (const ButtonStateSet& set : buttonStateSets)
        if (set.state == state)
            return set;
    return idleButtons;
}

void addExtendedStyle(HWND window, LONG style)
{
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | style);
}

DWORD windowsMajorVersion()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) ? version.dwMajorVersion : 0;
}

bool isVisible(HWND window)
{
    return (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0;
}

ScreenPoint screenPoint(POINT pos)
{
    return ScreenPoint{pos.x, pos.y};
}

// Private message the bar posts to itself when it is made: the tooltips are made once start-up
// is over and the window on screen, since nobody can hover a button before.
const UINT WM_MAKE_TOOLTIPS = WM_APP + 1;

// Every hide and show changes what the video may cover: the main window lays itself out again.
void requestLayout(HWND mainWindow)
{
    if (mainWindow) // a post to no window would be a thread message nobody handles
        PostMessageW(mainWindow, WM_SIZE, 0, 0);
}

} // namespace

// ---- Instance and window ----------------------------------------------------------------

PlayBar* PlayBar::single = nullptr;

PlayBar* PlayBar::instance()
{
    if (!single)
        single = new (std::nothrow) PlayBar();
    return single;
}

void PlayBar::releaseInstance()
{
    delete single;
    single = nullptr;
}

// Drawn for the screen's DPI until the shell gives it its window's (setDpi): the two differ only
// when the window starts on a monitor of another scale than the main one.
PlayBar::PlayBar() : canvas(GetModuleHandleW(nullptr), dpiOfWindow(nullptr)) {}

// The canvas goes with the bar. The dialog is not destroyed here: it goes with its parent, the
// main window.
PlayBar::~PlayBar() = default;

bool PlayBar::create(HINSTANCE instance, HWND parent, PlayLogic& servedController)
{
    controller = &servedController;
    if (hwnd)
        return true;
    hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PLAYBAR), parent, dialogProc, 0);
    if (!hwnd)
        return false;
    keepDialogLayoutOwn(hwnd); // layoutControls places every control for the bar's size and scale
    // Black is see-through and the rest half transparent, so the video shows behind the bar.
    addExtendedStyle(hwnd, WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, RGB(0, 0, 0), 128, LWA_COLORKEY | LWA_ALPHA);
    if (windowsMajorVersion() >= 6)
        addExtendedStyle(hwnd, WS_EX_COMPOSITED);
    accessibility.attach(hwnd, [this] { return facts(); });
    PostMessageW(hwnd, WM_MAKE_TOOLTIPS, 0, 0);
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

void PlayBar::setDpi(int dpi)
{
    if (dpi == canvas.dpi())
        return;
    canvas.setDpi(dpi);
    layoutControls();
}

int PlayBar::barHeight() const
{
    if (!hwnd || !IsWindow(hwnd))
        return 0;
    return canvas.preferredHeight();
}

// The procedure reaches the bar without creating it: after releaseInstance the dialog still
// receives messages until its parent is destroyed, and those must not bring a new bar to life.
INT_PTR CALLBACK PlayBar::dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    PlayBar* bar = single;
    if (!bar || bar->hwnd != dialog)
        return FALSE;
    switch (message) {
    case WM_SIZE: bar->layoutControls(); return TRUE;
    case WM_PAINT: bar->onPaint(); return FALSE;
    case WM_DRAWITEM:
        if (lParam)
            bar->drawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND: return bar->onCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_MOUSEMOVE:
        if (GetCapture() == dialog)
            bar->onMouseDrag(lParam);
        return TRUE;
    case WM_LBUTTONDOWN: bar->onMouseDown(lParam); return TRUE;
    case WM_LBUTTONUP: bar->onMouseUp(); return TRUE;
    case WM_NOTIFY: return lParam && bar->tooltips.onNotify(*reinterpret_cast<NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_GETOBJECT: return bar->onGetObject(wParam, lParam) ? TRUE : FALSE;
    case WM_MAKE_TOOLTIPS: bar->tooltips.create(dialog, [bar] { return bar->facts(); }); return TRUE;
    case WM_DESTROY: bar->onDestroy(); return FALSE;
    default: return FALSE;
    }
}

// A screen reader asks for the bar's object; the answer goes back as the dialog's result.
bool PlayBar::onGetObject(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    if (!accessibility.answer(hwnd, wParam, lParam, result))
        return false;
    SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return true;
}

// A screen reader may hold on to the bar's objects for longer than its window lives.
void PlayBar::onDestroy()
{
    accessibility.detach();
    tooltips.destroy();
}

// ---- Helpers ----------------------------------------------------------------------------

MediaPlayer* PlayBar::engine() const
{
    return controller ? controller->mediaPlayer : nullptr;
}

// The window the bar serves, or none: not before the bar has its window, nor once it has been
// taken from its parent (a child of the desktop has no main window to command).
HWND PlayBar::mainWindow() const
{
    HWND parent = hwnd ? GetAncestor(hwnd, GA_PARENT) : nullptr;
    return parent && parent != GetDesktopWindow() && IsWindow(parent) ? parent : nullptr;
}

BarFacts PlayBar::facts() const
{
    BarFacts shown;
    MediaPlayer* player = engine();
    shown.fileUnderWay = player && hasFileUnderWay(player->getState());
    shown.muted = controller && controller->muted;
    shown.time = shownTime;
    shown.length = shownLength;
    shown.volume = shownVolume;
    return shown;
}

// The rectangle of a control in the dialog's client coordinates.
bool PlayBar::controlRect(int id, RECT& rect) const
{
    HWND control = hwnd ? GetDlgItem(hwnd, id) : nullptr;
    if (!control || !GetWindowRect(control, &rect))
        return false;
    MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

// ---- Layout and drawing -----------------------------------------------------------------

// The canvas places the parts for the bar's size and draws its picture anew; the controls then
// move to those places, so that clicks on the bar land where their parts are drawn.
void PlayBar::layoutControls()
{
    if (!hwnd)
        return;
    RECT client = {};
    GetClientRect(hwnd, &client);
    {
        const ScopedWindowDc screen(hwnd);
        canvas.layOut(screen.get(), client.right - client.left, client.bottom - client.top,
                      SliderValues{shownTime, shownLength, shownVolume});
    }
    for (int id : placedControls) {
        HWND control = GetDlgItem(hwnd, id);
        RECT place;
        if (control && canvas.placeOf(id, place))
            MoveWindow(control, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
    }
    InvalidateRect(hwnd, nullptr, FALSE);
}

void PlayBar::onPaint()
{
    const ScopedPaint paint(hwnd);
    if (!paint.dc())
        return;
    // The main window's client area covers the whole bar, whatever its size.
    RECT area = {};
    if (!mainWindow() || !GetClientRect(mainWindow(), &area))
        GetClientRect(hwnd, &area);
    RECT own = {};
    GetClientRect(hwnd, &own);
    canvas.paint(paint.dc(), area, own.right - own.left);
}

void PlayBar::drawButton(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_BUTTON)
        return;
    const bool pressed = (item.itemAction & ODA_SELECT) || (item.itemState & ODS_SELECTED);
    canvas.drawButton(item.hDC, static_cast<int>(item.CtlID), item.rcItem, pressed);
}

void PlayBar::presentSliders()
{
    if (!hwnd)
        return;
    const ScopedWindowDc own(hwnd);
    if (own)
        canvas.present(own.get());
}

void PlayBar::presentColumns(const RECT& columns)
{
    if (!hwnd)
        return;
    const ScopedWindowDc own(hwnd);
    if (own)
        canvas.present(own.get(), columns);
}

// The engine is read first: what is drawn is where it is now. With no file under way (stopped,
// ended, or none yet) the knob stands at the start.
void PlayBar::refreshTime()
{
    MediaPlayer* player = engine();
    const int state = player ? player->getState() : EngineNothingSpecial;
    if (hasFileUnderWay(state))
        showTime(player->getTime(), player->getLength());
    else
        showTime(0, shownLength);
    refreshVolume();
}

// The length outlives a stop: the knob goes home on the track as it was.
void PlayBar::showTime(int64_t time, int64_t length)
{
    shownTime = time;
    shownLength = length;
    const RECT changed = canvas.showTime(shownTime, shownLength);
    if (!IsRectEmpty(&changed))
        presentColumns(changed);
}

void PlayBar::refreshVolume()
{
    if (!controller)
        return;
    const int volume = controller->effectiveVolume();
    if (volume != shownVolume) {
        shownVolume = volume;
        if (canvas.showVolume(volume))
            presentSliders();
    }
    // Also when the volume shown stays (muting at 0): Mute then reads Unmute.
    accessibility.announceChanges();
}

// ---- Buttons ----------------------------------------------------------------------------

void PlayBar::setButton(int id, bool shown, bool enabled)
{
    HWND control = GetDlgItem(hwnd, id);
    if (!control)
        return;
    EnableWindow(control, enabled ? TRUE : FALSE);
    ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

void PlayBar::updateButtons()
{
    if (!hwnd)
        return;
    MediaPlayer* player = engine();
    const int state = player ? player->getState() : EngineNothingSpecial;
    const ButtonStateSet& set = buttonStateSetFor(state);
    for (int id : set.hidden)
        setButton(id, false, false);
    for (int id : set.shown)
        setButton(id, true, true);

    const PlayListData* list = controller ? &controller->playList : nullptr;
    const int count = list ? list->count() : 0;
    const bool canStep = count >= 2 && list->currentIndex() != -1;
    setButton(IDC_BAR_PREV, true, canStep);
    setButton(IDC_BAR_NEXT, true, canStep);
    if (state != EnginePlaying)
        setButton(IDC_BAR_PLAY, true, count >= 1);
    // A stop the controller did not wait for (one from pause, say) is seen here first.
    if (!hasFileUnderWay(state))
        showTime(0, shownLength);
    accessibility.announceChanges();
}

bool PlayBar::onCommand(int id)
{
    if (id == IDOK || id == IDCANCEL)
        return true; // Enter and Esc in the bar close nothing
    for (const ButtonCommand& entry : buttonCommands) {
        if (entry.control == id) {
            // Without a main window, a post to a null handle would be a thread message that
            // nobody carries out; the press is simply dropped.
            if (HWND main = mainWindow())
                PostMessageW(main, WM_COMMAND, entry.command, 0);
            return true;
        }
    }
    return false;
}

// ---- Sliders under the mouse ------------------------------------------------------------

// A press inside a track takes the mouse and already moves that slider.
void PlayBar::onMouseDown(LPARAM lParam)
{
    dragControl = 0;
    lastSeekTarget = -1;
    const POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT rect;
    if (controlRect(IDC_BAR_TIME, rect) && PtInRect(&rect, point))
        dragControl = IDC_BAR_TIME;
    else if (controlRect(IDC_BAR_VOLUME, rect) && PtInRect(&rect, point))
        dragControl = IDC_BAR_VOLUME;
    if (!dragControl)
        return;
    SetCapture(hwnd);
    if (GetCapture() == hwnd)
        onMouseDrag(lParam);
}

// A move seeks (time) or sets the volume; positions beyond the track pin it at its ends.
void PlayBar::onMouseDrag(LPARAM lParam)
{
    RECT rect;
    if (!dragControl || !controlRect(dragControl, rect))
        return;
    const int x = GET_X_LPARAM(lParam);
    if (dragControl == IDC_BAR_TIME) {
        const double fraction = slider::dragFraction(x, rect.left, rect.right, canvas.timeKnobWidth());
        seekTo(fraction);
        refreshTime();
    } else {
        const double fraction = slider::dragFraction(x, rect.left, rect.right, canvas.volumeKnobWidth());
        if (controller)
            controller->setVolume(slider::volumeAtFraction(fraction));
        // The knob follows the drag here, as the time knob does, whoever else hears of it.
        refreshVolume();
    }
}

// A position needs a length to be a fraction of. The engine's own is asked, not the one last
// shown: that one outlives a Stop, after which the engine knows none (0 or -1) and a seek would
// go nowhere. A drag that stays on one target (pinned at an end, or moving less than a
// millisecond's worth) sends that seek once, not with every move.
void PlayBar::seekTo(double fraction)
{
    MediaPlayer* player = engine();
    const int64_t length = player ? player->getLength() : 0;
    if (length <= 0)
        return;
    const int64_t target = slider::timeAtFraction(fraction, length);
    if (target == lastSeekTarget)
        return;
    lastSeekTarget = target;
    player->setTime(target);
}

void PlayBar::onMouseUp()
{
    if (GetCapture() != hwnd)
        return;
    ReleaseCapture();
    dragControl = 0;
}

void PlayBar::endDrag()
{
    if (hwnd && GetCapture() == hwnd)
        ReleaseCapture();
}

// ---- Full-screen auto-hide --------------------------------------------------------------

// Armed by every full-screen layout, it hides the bar once the mouse has rested away from it and
// brings it back at the next move.
void PlayBar::autoHideTick()
{
    if (!autoHideArmed() || !hwnd)
        return;
    const DWORD now = UiClock::now();
    const bool visible = isVisible(hwnd);
    const POINT cursor = UiClock::cursorPos();
    RECT barRect = {};
    GetWindowRect(hwnd, &barRect);
    // A bar under the cursor stays. A hidden bar keeps its place, though, and moving over that
    // place is how one looks for it, so there a move still brings it back.
    if (visible && PtInRect(&barRect, cursor))
        return;
    if (!autoHideRest.isMove(screenPoint(cursor))) {
        if (visible && autoHideRest.hasRested(now)) {
            ShowWindow(hwnd, SW_HIDE);
            requestLayout(mainWindow());
        }
        return;
    }
    if (!visible) {
        ShowWindow(hwnd, SW_SHOW);
        requestLayout(mainWindow());
    }
    autoHideRest.restart(now, screenPoint(cursor));
}

void PlayBar::armAutoHide()
{
    autoHideRest.restart(UiClock::now(), screenPoint(UiClock::cursorPos()));
}

void PlayBar::disarmAutoHide()
{
    autoHideRest.restart(0, autoHideRest.lastPosition());
}

// The rest's start doubles as the switch: a tick of 0 means off, as it always has.
bool PlayBar::autoHideArmed() const
{
    return autoHideRest.lastMoveTick() != 0;
}

DWORD PlayBar::hideTick() const
{
    return autoHideRest.lastMoveTick();
}

POINT PlayBar::lastCursorPos() const
{
    const ScreenPoint at = autoHideRest.lastPosition();
    return POINT{at.x, at.y};
}
