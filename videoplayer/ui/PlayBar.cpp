// The control bar: its single instance, its dialog, the placement of its controls and which
// buttons it shows. Its drawing is in PlayBarPaint.cpp, the sliders' mouse handling in
// PlayBarInput.cpp and the full-screen auto-hide in PlayBarAutoHide.cpp.
#include "videoplayer/ui/PlayBar.h"

#include <new>

#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/ImageSize.h"
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

const int fallbackBarHeight = 27;

void addExtendedStyle(HWND window, LONG style)
{
    SetWindowLongW(window, GWL_EXSTYLE, GetWindowLongW(window, GWL_EXSTYLE) | style);
}

// The image converted to premultiplied alpha, the form GDI+ blends in: drawn as it comes from the
// loader, every draw would convert it again. An image that cannot be converted stays as it is.
Gdiplus::Image* premultiplied(Gdiplus::Image* image)
{
    const INT w = image ? static_cast<INT>(image->GetWidth()) : 0, h = image ? static_cast<INT>(image->GetHeight()) : 0;
    if (w == 0 || h == 0)
        return image;
    auto* copy = new Gdiplus::Bitmap(w, h, PixelFormat32bppPARGB);
    if (!copy || copy->GetLastStatus() != Gdiplus::Ok) {
        delete copy;
        return image;
    }
    {
        Gdiplus::Graphics graphics(copy);
        graphics.SetCompositingMode(Gdiplus::CompositingModeSourceCopy);
        graphics.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
        graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
        graphics.DrawImage(image, Gdiplus::Rect(0, 0, w, h), 0, 0, w, h, Gdiplus::UnitPixel);
    }
    delete image;
    return copy;
}

Gdiplus::Image* loadBarImage(HMODULE module, const wchar_t* name)
{
    return premultiplied(loadPngResource(module, name));
}

DWORD windowsMajorVersion()
{
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    return GetVersionExW(&version) ? version.dwMajorVersion : 0;
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
        if (Gdiplus::Image* image = loadBarImage(module, entry.resource))
            images[entry.id].reset(image);
    faceBrush.reset(CreateSolidBrush(GetSysColor(COLOR_BTNFACE)));
    barBackground.reset(loadBarImage(module, L"IDB_BAR_BKG"));
    volumeKnob.reset(loadBarImage(module, L"IDB_VOLUME_BALL"));
    timePlayed.reset(loadBarImage(module, L"IDB_TIME_FORG"));
    timeKnob.reset(loadBarImage(module, L"IDB_TIME_BAR"));
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

// The window the bar serves, or none: not before the bar has its window, nor once it has been
// taken from its parent (a child of the desktop has no main window to command).
HWND PlayBar::mainWindow() const
{
    HWND parent = hwnd ? GetAncestor(hwnd, GA_PARENT) : nullptr;
    return parent && parent != GetDesktopWindow() && IsWindow(parent) ? parent : nullptr;
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
    redrawBuffers();
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
            // Without a main window, a post to a null handle would be a thread message that
            // nobody carries out; the press is simply dropped.
            if (HWND main = mainWindow())
                PostMessageW(main, WM_COMMAND, entry.command, 0);
            return true;
        }
    }
    return false;
}
