// The control bar: its single instance, its dialog, the placement of its controls, all of its
// drawing, and what its buttons, sliders and full-screen auto-hide do.
#include "videoplayer/ui/PlayBar.h"

#include <windowsx.h>
#include <algorithm>
#include <cstdlib>
#include <new>

#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/SliderGeometry.h"
#include "videoplayer/ui/UiClock.h"
#include "videoplayer/ui/UiResources.h"

namespace {

struct ControlImage {
    int id;
    const wchar_t* resource;
};

// The order the control images are loaded in.
const ControlImage controlImages[] = {
    {IDC_BAR_OPEN, L"IDB_OPEN"}, {IDC_BAR_PLAY, L"IDB_PLAY"}, {IDC_BAR_PAUSE, L"IDB_PAUSE"},
    {IDC_BAR_STOP, L"IDB_STOP"}, {IDC_BAR_PREV, L"IDB_PREV"}, {IDC_BAR_NEXT, L"IDB_NEXT"},
    {IDC_BAR_MUTE, L"IDB_MUTE"}, {IDC_BAR_TIME, L"IDB_TIME_BKG"}, {IDC_BAR_VOLUME, L"IDB_VOLUME_BAR"},
};

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

// Auto-hide: a move of this many pixels on either axis is activity, and the bar hides once the
// mouse has rested for longer than the period.
const int autoHideMoveThreshold = 5;
const DWORD autoHidePeriodMs = 5000;

const int fallbackBarHeight = 27;

// Holds drawLock for one scope. Not re-entrant: an auto-reset event taken twice on one thread
// waits forever, so nothing that holds it calls presentSliders.
class DrawLockHold {
public:
    explicit DrawLockHold(HANDLE event) : event(event) { WaitForSingleObject(event, INFINITE); }
    ~DrawLockHold() { SetEvent(event); }
    DrawLockHold(const DrawLockHold&) = delete;
    DrawLockHold& operator=(const DrawLockHold&) = delete;

private:
    HANDLE event;
};

int widthOf(Gdiplus::Image* image)
{
    return image ? static_cast<int>(image->GetWidth()) : 0;
}

int heightOf(Gdiplus::Image* image)
{
    return image ? static_cast<int>(image->GetHeight()) : 0;
}

int widthOf(const UniqueGdiplusImage& image) { return widthOf(image.get()); }
int heightOf(const UniqueGdiplusImage& image) { return heightOf(image.get()); }

// Every bar image is drawn pixel for pixel: the tiles are squeezed only horizontally and are
// uniform in that direction, so nearest-neighbour sampling keeps their edges crisp.
void prepare(Gdiplus::Graphics& graphics)
{
    graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
}

// The image at its natural size, whatever resolution its file claims.
void drawUnscaled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y)
{
    if (image)
        graphics.DrawImage(image, x, y, widthOf(image), heightOf(image));
}

// The image repeated from (x, y) across `width`, the last piece squeezed to fit.
void drawTiled(Gdiplus::Graphics& graphics, Gdiplus::Image* image, int x, int y, int width)
{
    if (!image)
        return;
    const int height = heightOf(image);
    int offset = 0;
    for (int piece : slider::tilePieceWidths(widthOf(image), width)) {
        graphics.DrawImage(image, Gdiplus::Rect(x + offset, y, piece, height));
        offset += piece;
    }
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

PlayBar::PlayBar()
{
    HMODULE module = GetModuleHandleW(nullptr);
    for (const ControlImage& entry : controlImages)
        if (Gdiplus::Image* image = loadPngResource(module, entry.resource))
            images[entry.id].reset(image);
    faceBrush.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    barBackground.reset(loadPngResource(module, L"IDB_BAR_BKG"));
    volumeKnob.reset(loadPngResource(module, L"IDB_VOLUME_BALL"));
    timePlayed.reset(loadPngResource(module, L"IDB_TIME_FORG"));
    timeKnob.reset(loadPngResource(module, L"IDB_TIME_BAR"));
    drawLock.reset(CreateEventW(nullptr, FALSE, TRUE, nullptr));
}

// The images, brush and lock go with their owners. The dialog is not destroyed here: it goes
// with its parent, the main window.
PlayBar::~PlayBar() = default;

bool PlayBar::create(HINSTANCE instance, HWND parent, PlayLogic& servedController)
{
    controller = &servedController;
    if (hwnd)
        return true;
    hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PLAYBAR), parent, dialogProc, 0);
    if (!hwnd)
        return false;
    // Black is see-through and the rest half transparent, so the video shows behind the bar.
    addExtendedStyle(hwnd, WS_EX_LAYERED);
    SetLayeredWindowAttributes(hwnd, RGB(0, 0, 0), 128, LWA_COLORKEY | LWA_ALPHA);
    if (windowsMajorVersion() >= 6)
        addExtendedStyle(hwnd, WS_EX_COMPOSITED);
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

int PlayBar::barHeight() const
{
    if (!hwnd || !IsWindow(hwnd))
        return 0;
    return barBackground ? heightOf(barBackground) : fallbackBarHeight;
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
    default: return FALSE;
    }
}

// ---- Helpers ----------------------------------------------------------------------------

MediaPlayer* PlayBar::engine() const
{
    return controller ? controller->mediaPlayer : nullptr;
}

HWND PlayBar::mainWindow() const
{
    return hwnd ? GetParent(hwnd) : nullptr;
}

Gdiplus::Image* PlayBar::imageOf(int id) const
{
    const auto found = images.find(id);
    return found == images.end() ? nullptr : found->second.get();
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

int PlayBar::clientHeight() const
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    return client.bottom - client.top;
}

int PlayBar::timeKnobWidth()
{
    if (cachedTimeKnobWidth < 0)
        cachedTimeKnobWidth = widthOf(timeKnob);
    return cachedTimeKnobWidth;
}

int PlayBar::volumeKnobWidth()
{
    if (cachedVolumeKnobWidth < 0)
        cachedVolumeKnobWidth = widthOf(volumeKnob);
    return cachedVolumeKnobWidth;
}

// ---- Layout -----------------------------------------------------------------------------

// Moves a control to its image's size, centred vertically, with its left edge at x (rightwards)
// or its right edge just before x (leftwards); returns where the next control goes. A control
// or image that is missing takes no room.
int PlayBar::placeControl(int id, int x, bool rightwards, int height)
{
    HWND control = GetDlgItem(hwnd, id);
    Gdiplus::Image* image = imageOf(id);
    if (!control || !image)
        return x;
    const int w = widthOf(image), h = heightOf(image);
    const int left = rightwards ? x : x - w;
    MoveWindow(control, left, (height - h) / 2, w, h, FALSE);
    return rightwards ? x + w + 1 : x - w - 1;
}

void PlayBar::layoutControls()
{
    if (!hwnd)
        return;
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int height = client.bottom - client.top;
    // Open and Stop share the first spot, Play and Pause the second.
    placeControl(IDC_BAR_OPEN, 1, true, height);
    const int x1 = placeControl(IDC_BAR_STOP, 1, true, height);
    placeControl(IDC_BAR_PLAY, x1, true, height);
    const int x2 = placeControl(IDC_BAR_PAUSE, x1, true, height);
    const int x3 = placeControl(IDC_BAR_PREV, x2, true, height);
    const int x4 = placeControl(IDC_BAR_NEXT, x3, true, height);
    const int r1 = placeControl(IDC_BAR_MUTE, client.right - 1, false, height);
    const int r2 = placeControl(IDC_BAR_VOLUME, r1, false, height);
    HWND timeArea = GetDlgItem(hwnd, IDC_BAR_TIME);
    if (Gdiplus::Image* track = imageOf(IDC_BAR_TIME); timeArea && track)
        MoveWindow(timeArea, x4, (height - heightOf(track)) / 2, r2 - x4, heightOf(track), FALSE);
    InvalidateRect(hwnd, nullptr, FALSE);

    DrawLockHold lock(drawLock.get());
    ensureBuffers();
    if (composeBuffer.exists()) {
        BitBlt(composeBuffer.dc(), 0, 0, composeBuffer.width(), composeBuffer.height(), backgroundBuffer.dc(), 0, 0,
               SRCCOPY);
        drawVolumeSlider();
        drawTimeSlider();
    }
}

// Both buffers only grow: a smaller bar keeps using the larger ones.
void PlayBar::ensureBuffers()
{
    RECT client = {};
    GetClientRect(hwnd, &client);
    const int w = client.right - client.left, h = client.bottom - client.top;
    if (w <= 0 || h <= 0)
        return;
    if (composeBuffer.exists() && composeBuffer.width() >= w && composeBuffer.height() >= h)
        return;
    composeBuffer.release();
    backgroundBuffer.release();
    ScopedWindowDc screen(hwnd);
    composeBuffer.create(screen.get(), w, h);
    if (!backgroundBuffer.create(screen.get(), w, h))
        return;
    if (barBackground) {
        Gdiplus::Graphics graphics(backgroundBuffer.dc());
        prepare(graphics);
        drawTiled(graphics, barBackground.get(), 0, 0, w);
    } else {
        FillRect(backgroundBuffer.dc(), &client, faceBrush.get());
    }
}

// ---- Drawing ----------------------------------------------------------------------------

void PlayBar::onPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (dc)
        paint(dc);
    EndPaint(hwnd, &ps);
}

void PlayBar::paint(HDC dc)
{
    // The main window's client area covers the whole bar, whatever its size.
    RECT area = {};
    if (!mainWindow() || !GetClientRect(mainWindow(), &area))
        GetClientRect(hwnd, &area);
    FillRect(dc, &area, faceBrush.get());
    const int width = area.right - area.left;
    if (width != 0 && barBackground) {
        Gdiplus::Graphics graphics(dc);
        prepare(graphics);
        drawTiled(graphics, barBackground.get(), 0, 0, width);
    }
    if (composeBuffer.exists())
        presentSliders(dc);
}

// Copies both slider strips from composeBuffer to the screen (to `dc`, or the dialog's own DC).
void PlayBar::presentSliders(HDC dc)
{
    DrawLockHold lock(drawLock.get());
    if (!composeBuffer.exists() || !hwnd)
        return;
    if (dc) {
        copySliderStrips(dc);
        return;
    }
    ScopedWindowDc own(hwnd);
    if (own.get())
        copySliderStrips(own.get());
}

void PlayBar::copySliderStrips(HDC target)
{
    for (int id : {IDC_BAR_VOLUME, IDC_BAR_TIME}) {
        RECT rect;
        if (!controlRect(id, rect))
            continue;
        const int width = std::min<int>(rect.right - rect.left, composeBuffer.width());
        BitBlt(target, rect.left, 0, width, composeBuffer.height(), composeBuffer.dc(), rect.left, 0, SRCCOPY);
    }
}

// Puts the plain background back under a slider before it is drawn again.
void PlayBar::restoreStrip(const RECT& control)
{
    BitBlt(composeBuffer.dc(), control.left, 0, control.right - control.left, clientHeight(), backgroundBuffer.dc(),
           control.left, 0, SRCCOPY);
}

void PlayBar::drawButton(const DRAWITEMSTRUCT& item)
{
    if (item.CtlType != ODT_BUTTON)
        return;
    Gdiplus::Image* image = imageOf(static_cast<int>(item.CtlID));
    if (!image)
        return;
    // Without frames of its own, a pressed button shows by its icon moving down and right.
    const int offset = ((item.itemAction & ODA_SELECT) || (item.itemState & ODS_SELECTED)) ? 1 : 0;
    RECT rect;
    if (backgroundBuffer.exists() && controlRect(static_cast<int>(item.CtlID), rect))
        BitBlt(item.hDC, 0, 0, rect.right - rect.left, rect.bottom - rect.top, backgroundBuffer.dc(), rect.left,
               rect.top, SRCCOPY);
    Gdiplus::Graphics graphics(item.hDC);
    prepare(graphics);
    drawUnscaled(graphics, image, item.rcItem.left + offset, item.rcItem.top + offset);
}

void PlayBar::drawVolumeSlider()
{
    RECT rect;
    Gdiplus::Image* track = imageOf(IDC_BAR_VOLUME);
    if (!track || !controlRect(IDC_BAR_VOLUME, rect))
        return;
    restoreStrip(rect);
    Gdiplus::Graphics graphics(composeBuffer.dc());
    prepare(graphics);
    drawUnscaled(graphics, track, rect.left, rect.top);
    if (volumeKnob) {
        const int left = slider::volumeKnobLeft(rect.left, widthOf(track), widthOf(volumeKnob), shownVolume);
        drawUnscaled(graphics, volumeKnob.get(), left, (clientHeight() - heightOf(volumeKnob)) / 2);
    }
}

void PlayBar::drawTimeSlider()
{
    RECT rect;
    Gdiplus::Image* track = imageOf(IDC_BAR_TIME);
    if (!track || !controlRect(IDC_BAR_TIME, rect))
        return;
    restoreStrip(rect);
    const int width = rect.right - rect.left;
    const int knobWidth = timeKnobWidth();
    const int played = slider::playedWidth(width, knobWidth, shownTime, shownLength);
    Gdiplus::Graphics graphics(composeBuffer.dc());
    prepare(graphics);
    if (width != 0)
        drawTiled(graphics, track, rect.left, rect.top, width);
    if (played != 0)
        drawTiled(graphics, timePlayed.get(), rect.left, rect.top, played);
    if (timeKnob)
        graphics.DrawImage(timeKnob.get(), rect.left + played, (clientHeight() - heightOf(timeKnob)) / 2, knobWidth,
                           heightOf(timeKnob));
}

void PlayBar::refreshTime()
{
    MediaPlayer* player = engine();
    const int state = player ? player->getState() : EngineNothingSpecial;
    if (hasFileUnderWay(state)) {
        shownTime = player->getTime();
        shownLength = player->getLength();
    }
    bool drawn = false;
    {
        DrawLockHold lock(drawLock.get());
        if (composeBuffer.exists()) {
            drawTimeSlider();
            drawn = true;
        }
    }
    if (drawn)
        presentSliders(nullptr);
    refreshVolume();
}

void PlayBar::refreshVolume()
{
    if (!controller)
        return;
    const int volume = controller->effectiveVolume();
    if (volume == shownVolume)
        return;
    shownVolume = volume;
    bool drawn = false;
    {
        DrawLockHold lock(drawLock.get());
        if (composeBuffer.exists()) {
            drawVolumeSlider();
            drawn = true;
        }
    }
    if (drawn)
        presentSliders(nullptr);
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
    // The knob returns to the start at the next redraw; the length is kept for a later seek.
    if (!hasFileUnderWay(state))
        shownTime = 0;
}

bool PlayBar::onCommand(int id)
{
    if (id == IDOK || id == IDCANCEL)
        return true; // Enter and Esc in the bar close nothing
    for (const ButtonCommand& entry : buttonCommands) {
        if (entry.control == id) {
            PostMessageW(mainWindow(), WM_COMMAND, entry.command, 0);
            return true;
        }
    }
    return false;
}

// ---- Sliders ----------------------------------------------------------------------------

// A press inside a track takes the mouse and already moves that slider.
void PlayBar::onMouseDown(LPARAM lParam)
{
    dragControl = 0;
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

// Every move seeks (time) or sets the volume; positions beyond the track pin it at its ends.
void PlayBar::onMouseDrag(LPARAM lParam)
{
    RECT rect;
    if (!dragControl || !controlRect(dragControl, rect))
        return;
    const int x = GET_X_LPARAM(lParam);
    if (dragControl == IDC_BAR_TIME) {
        const double fraction = slider::dragFraction(x, rect.left, rect.right, timeKnobWidth());
        if (MediaPlayer* player = engine())
            player->setTime(slider::timeAtFraction(fraction, shownLength));
        refreshTime();
    } else {
        const double fraction = slider::dragFraction(x, rect.left, rect.right, volumeKnobWidth());
        if (controller)
            controller->setVolume(slider::volumeAtFraction(fraction));
    }
}

void PlayBar::onMouseUp()
{
    if (GetCapture() != hwnd)
        return;
    ReleaseCapture();
    dragControl = 0;
}

// ---- Full-screen auto-hide ----------------------------------------------------------------

void PlayBar::autoHideTick()
{
    if (hideTick == 0 || !hwnd)
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
    const bool rested = std::abs(cursor.x - lastCursorPos.x) < autoHideMoveThreshold &&
                        std::abs(cursor.y - lastCursorPos.y) < autoHideMoveThreshold;
    if (rested) {
        if (visible && now - hideTick > autoHidePeriodMs) {
            ShowWindow(hwnd, SW_HIDE);
            PostMessageW(mainWindow(), WM_SIZE, 0, 0); // the main window lays itself out again
        }
        return;
    }
    if (!visible) {
        ShowWindow(hwnd, SW_SHOW);
        PostMessageW(mainWindow(), WM_SIZE, 0, 0); // the main window lays itself out again
    }
    hideTick = now;
    lastCursorPos = cursor;
}

void PlayBar::armAutoHide()
{
    hideTick = UiClock::now();
    lastCursorPos = UiClock::cursorPos();
}

void PlayBar::disarmAutoHide()
{
    hideTick = 0;
}

void PlayBar::endDrag()
{
    if (hwnd && GetCapture() == hwnd)
        ReleaseCapture();
}
