// The control bar: slider and tiling arithmetic on its own, then the bar on a test main window
// under Wine: placement, what it shows as the engine moves (read from its picture), buttons per
// playback state, slider presses and drags, the full-screen auto-hide, the buttons' tooltips and
// the life of its accessible objects. Its picture alone is tested in PlayBarCanvasTest.cpp; what a
// screen reader reads from the bar, in PlayerProcessTest.cpp.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "tests/videoplayer/ui/UiTestSupport.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/SliderGeometry.h"
#include "videoplayer/ui/UiClock.h"

// Knob positions and drag values at the ends are checked through the bar itself below.
TEST(SliderGeometry, EdgesTheBarDoesNotReach)
{
    EXPECT_EQ(slider::volumeKnobLeft(200, 66, 16, 33), 216); // 16.5 truncated
    EXPECT_EQ(slider::playedWidth(546, 7, 500, -1), 0);
    EXPECT_EQ(slider::playedWidth(5000, 7, 36000000, 39600000), 4993 * 10 / 11); // needs 64 bits
    // A time reported past the length, or before the start, keeps the knob on its track.
    EXPECT_EQ(slider::playedWidth(546, 7, 1200, 1000), 539);
    EXPECT_EQ(slider::playedWidth(546, 7, -300, 1000), 0);
    // A track no wider than its knob has no travel, yet a press gives a number, never NaN.
    EXPECT_DOUBLE_EQ(slider::dragFraction(104, 100, 106, 7), 1.0);
    EXPECT_EQ(slider::timeAtFraction(0.5, 1001), 500);
    EXPECT_EQ(slider::volumeAtFraction(0.124), 12);
    EXPECT_EQ(slider::volumeAtFraction(0.126), 13);
}

TEST(SliderGeometry, TilePiecesCoverTheWidthExactly)
{
    EXPECT_EQ(slider::tilePieceWidths(3, 10), (std::vector<int>{3, 3, 3, 1}));
    EXPECT_EQ(slider::tilePieceWidths(3, 9), (std::vector<int>{3, 3, 3}));
    EXPECT_TRUE(slider::tilePieceWidths(3, -4).empty());
    EXPECT_TRUE(slider::tilePieceWidths(0, 10).empty());
}

namespace {

DWORD fakeTick = 0;
POINT fakeCursor = {0, 0};
DWORD fakeTickSource() { return fakeTick; }
POINT fakeCursorSource() { return fakeCursor; }

std::string rectText(const RECT& r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

} // namespace

class PlayBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakevlc_reset();
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlayBarTestParent";
        RegisterClassExW(&wc);
        parent = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 1000, 300,
                                 nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(parent, nullptr);
        bar = PlayBar::instance();
        ASSERT_TRUE(bar && bar->create(instance, parent, controller));
        bool opaque = false;
        timeKnobColour = resourceRgb(L"IDB_TIME_BAR", 3, 6, &opaque);
        ASSERT_TRUE(opaque);
        // As the shell does: the bar shows a volume change once the controller reports it.
        controller.eventCallback = [this](PlayLogicEvent event) {
            if (event == PlayLogicEvent::VolumeChanged && bar)
                bar->refreshVolume();
        };
    }

    void TearDown() override
    {
        controller.eventCallback = nullptr;
        PlayBar::releaseInstance();
        DestroyWindow(parent);
        controller.mediaPlayer = nullptr;
        engine.reset();
        UiClock::setSources(nullptr, nullptr);
        for (const std::wstring& file : files)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(folder.c_str());
        EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault();
    }

    void sizeBar(int width, int height = 36) { MoveWindow(bar->window(), 0, 0, width, height, TRUE); }

    RECT rectOf(int id)
    {
        RECT r = {};
        GetWindowRect(GetDlgItem(bar->window(), id), &r);
        MapWindowPoints(HWND_DESKTOP, bar->window(), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    std::string placeOf(int id) { return rectText(rectOf(id)); }

    // A pixel of the sliders as the bar puts them on screen.
    DWORD barPixel(int x, int y)
    {
        bar->picture().present(screen.dc);
        return screen.at(x, y);
    }

    // Whether the time knob stands where `time` of `length` puts it on the bar as laid out now
    // (row 6 of the 7-pixel knob, y 18 on the bar, sampled at its centre column).
    bool timeKnobAt(int64_t time, int64_t length)
    {
        const RECT track = rectOf(IDC_BAR_TIME);
        const int played = static_cast<int>((track.right - track.left - 7) * time / length);
        return barPixel(track.left + played + 3, 18) == timeKnobColour;
    }

    bool shown(int id) { return (GetWindowLongW(GetDlgItem(bar->window(), id), GWL_STYLE) & WS_VISIBLE) != 0; }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(bar->window(), id)) != 0; }
    bool barShown() { return (GetWindowLongW(bar->window(), GWL_STYLE) & WS_VISIBLE) != 0; }

    // Files that really exist, since the playlist lists readable ones only.
    void addPlaylistFiles(int count, int current)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"quillet_playbar_" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        for (int i = 0; i < count; ++i) {
            files.push_back(folder + L"\\clip" + std::to_wstring(i) + L".mp4");
            CloseHandle(CreateFileW(files.back().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            ASSERT_GE(controller.playList.addEntry(files.back(), i == current ? 1 : 0), 0);
        }
    }

    void startEngine()
    {
        engine.reset(new MediaPlayer());
        ASSERT_TRUE(engine->init());
        ASSERT_TRUE(engine->open(L"C:\\media\\clip.mp4"));
        controller.mediaPlayer = engine.get();
        engine->play();
        ASSERT_TRUE(waitForState(libvlc_Playing)) << fakeVlcCalls();
    }

    bool waitForState(int state)
    {
        return pumpUntil([this, state] { return engine->getState() == state; });
    }

    // A paused file: its position stands still, so seeks read back exactly.
    void pausedFileOf60Seconds()
    {
        fakevlc_setMediaLength(60000);
        startEngine();
        ASSERT_TRUE(pumpUntil([this] { return engine->getLength() == 60000; }));
        engine->pause();
        ASSERT_TRUE(waitForState(libvlc_Paused));
        sizeBar(800); // usable time track from 152 to 692
        bar->refreshTime();
    }

    void mouse(UINT message, int x, int y)
    {
        SendMessageW(bar->window(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    }

    void click(int x, int y)
    {
        mouse(WM_LBUTTONDOWN, x, y);
        mouse(WM_LBUTTONUP, x, y);
    }

    GdiplusSession gdiplus; // outlives SetUp and TearDown
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HWND parent = nullptr;
    PlayLogic controller;
    std::unique_ptr<MediaPlayer> engine;
    PlayBar* bar = nullptr;
    PixelCanvas screen{1000, 40};
    DWORD timeKnobColour = 0;
    std::wstring folder;
    std::vector<std::wstring> files;
};

TEST_F(PlayBarTest, OneLayeredDialogWhoseHeightFollowsItsBackground)
{
    const HWND first = bar->window();
    EXPECT_TRUE(bar->create(instance, parent, controller));
    EXPECT_EQ(bar->window(), first);
    EXPECT_NE(GetWindowLongW(bar->window(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_TRUE(barShown());
    EXPECT_EQ(bar->barHeight(), 36); // without a background: PlayBarCanvasWithoutImagesTest
    DestroyWindow(bar->window());
    EXPECT_EQ(bar->barHeight(), 0);
}

TEST_F(PlayBarTest, LayoutPlacesEveryControlForAnyWidth)
{
    for (int w : {600, 800}) {
        SCOPED_TRACE("bar width " + std::to_string(w));
        sizeBar(w);
        EXPECT_EQ(placeOf(IDC_BAR_OPEN), "1,2-37,34");
        EXPECT_EQ(placeOf(IDC_BAR_STOP), "1,2-37,34");
        EXPECT_EQ(placeOf(IDC_BAR_PLAY), "38,2-74,34");
        EXPECT_EQ(placeOf(IDC_BAR_PAUSE), "38,2-74,34");
        EXPECT_EQ(placeOf(IDC_BAR_PREV), "75,2-111,34");
        EXPECT_EQ(placeOf(IDC_BAR_NEXT), "112,2-148,34");
        EXPECT_EQ(placeOf(IDC_BAR_MUTE), rectText({w - 37, 2, w - 1, 34}));
        EXPECT_EQ(placeOf(IDC_BAR_VOLUME), rectText({w - 104, 12, w - 38, 24}));
        EXPECT_EQ(placeOf(IDC_BAR_TIME), rectText({149, 12, w - 105, 24}));
    }
}

// The engine is read before anything is drawn: the knob moves to where the engine is now, on a
// refresh as on every TimeChanged the shell hands on.
TEST_F(PlayBarTest, RefreshShowsTheEnginesPositionAtOnce)
{
    pausedFileOf60Seconds(); // refreshed at the start
    ASSERT_TRUE(timeKnobAt(0, 60000));
    engine->setTime(30000);
    bar->refreshTime();
    EXPECT_TRUE(timeKnobAt(30000, 60000));
    EXPECT_FALSE(timeKnobAt(0, 60000));
    engine->setTime(45000);
    bar->refreshTime();
    EXPECT_TRUE(timeKnobAt(45000, 60000));
}

TEST_F(PlayBarTest, PressedButtonDrawsItsIconOnePixelDownAndRight)
{
    auto icon = referenceBitmap(L"IDB_PLAY"), background = referenceBitmap(L"IDB_BAR_BKG");
    ASSERT_TRUE(icon && background);
    sizeBar(800);
    PixelCanvas released(36, 32), pressed(36, 32);
    DRAWITEMSTRUCT item = {ODT_BUTTON, IDC_BAR_PLAY, 0, ODA_DRAWENTIRE, 0, GetDlgItem(bar->window(), IDC_BAR_PLAY),
                           released.dc, RECT{0, 0, 36, 32}, 0};
    SendMessageW(bar->window(), WM_DRAWITEM, IDC_BAR_PLAY, reinterpret_cast<LPARAM>(&item));
    item.itemAction = ODA_SELECT;
    item.itemState = ODS_SELECTED;
    item.hDC = pressed.dc;
    SendMessageW(bar->window(), WM_DRAWITEM, IDC_BAR_PLAY, reinterpret_cast<LPARAM>(&item));

    int compared = 0;
    for (int y = 0; y < 31; ++y) {
        for (int x = 0; x < 35; ++x) {
            bool opaque = false;
            const DWORD colour = rgbOf(*icon, x, y, &opaque);
            if (!opaque)
                continue;
            ++compared;
            ASSERT_EQ(released.at(x, y), colour) << x << "," << y;
            ASSERT_EQ(pressed.at(x + 1, y + 1), colour) << x << "," << y;
        }
    }
    EXPECT_GT(compared, 20);
    // Around the icon lies the bar's background as it is under the button, 2 pixels down.
    bool opaque = true;
    rgbOf(*icon, 0, 0, &opaque);
    ASSERT_FALSE(opaque);
    EXPECT_EQ(released.at(0, 0), rgbOf(*background, 0, 2));
}

TEST_F(PlayBarTest, ButtonsFollowPlayingPausedAndStopped)
{
    addPlaylistFiles(2, 0);
    fakevlc_setMediaLength(60000);
    startEngine();
    sizeBar(800);
    bar->updateButtons();
    for (int id : {IDC_BAR_STOP, IDC_BAR_PAUSE, IDC_BAR_PREV, IDC_BAR_NEXT})
        EXPECT_TRUE(shown(id) && enabled(id)) << id;
    for (int id : {IDC_BAR_OPEN, IDC_BAR_PLAY})
        EXPECT_FALSE(shown(id) || enabled(id)) << id;

    // The engine learns the length only while playing: paused before that, it never would.
    ASSERT_TRUE(pumpUntil([this] { return engine->getLength() == 60000; }));
    engine->pause();
    ASSERT_TRUE(waitForState(libvlc_Paused));
    engine->setTime(30000);
    bar->refreshTime();
    bar->updateButtons();
    for (int id : {IDC_BAR_STOP, IDC_BAR_PLAY})
        EXPECT_TRUE(shown(id) && enabled(id)) << id;
    for (int id : {IDC_BAR_OPEN, IDC_BAR_PAUSE})
        EXPECT_FALSE(shown(id) || enabled(id)) << id;
    sizeBar(700); // a redraw from the values shown: paused, the position stays
    EXPECT_TRUE(timeKnobAt(30000, 60000));

    engine->stop();
    ASSERT_TRUE(waitForState(libvlc_Stopped));
    bar->updateButtons();
    for (int id : {IDC_BAR_OPEN, IDC_BAR_PLAY})
        EXPECT_TRUE(shown(id) && enabled(id)) << id;
    for (int id : {IDC_BAR_STOP, IDC_BAR_PAUSE})
        EXPECT_FALSE(shown(id) || enabled(id)) << id;
    EXPECT_TRUE(timeKnobAt(0, 60000)) << "a stop takes the knob home at once";
}

TEST_F(PlayBarTest, PlaylistDecidesPlayPreviousAndNext)
{
    bar->updateButtons(); // empty playlist, no engine
    EXPECT_TRUE(shown(IDC_BAR_PLAY) && !enabled(IDC_BAR_PLAY));
    EXPECT_TRUE(enabled(IDC_BAR_OPEN) && enabled(IDC_BAR_MUTE));

    addPlaylistFiles(1, 0);
    bar->updateButtons();
    EXPECT_TRUE(enabled(IDC_BAR_PLAY));
    EXPECT_TRUE(shown(IDC_BAR_PREV) && shown(IDC_BAR_NEXT));
    EXPECT_FALSE(enabled(IDC_BAR_PREV) || enabled(IDC_BAR_NEXT));

    controller.playList = PlayListData();
    addPlaylistFiles(2, -1); // two files, none current
    bar->updateButtons();
    EXPECT_FALSE(enabled(IDC_BAR_PREV) || enabled(IDC_BAR_NEXT));
}

TEST_F(PlayBarTest, ButtonsPostTheirCommandsToTheMainWindow)
{
    MSG msg;
    for (auto [control, command] : {std::pair{IDC_BAR_OPEN, IDM_OPEN}, {IDC_BAR_STOP, IDM_STOP},
                                    {IDC_BAR_NEXT, IDM_NEXT}, {IDC_BAR_MUTE, IDM_MUTE}}) {
        SendMessageW(GetDlgItem(bar->window(), control), BM_CLICK, 0, 0);
        ASSERT_TRUE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << control;
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(command));
        EXPECT_EQ(msg.lParam, 0);
    }
    SendMessageW(bar->window(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE));

    // Taken from its main window (made a window of its own), the bar has nobody to command: a
    // press posts nothing, neither to its old parent nor as a message to the thread.
    SetParent(bar->window(), nullptr);
    SetWindowLongW(bar->window(), GWL_STYLE, (GetWindowLongW(bar->window(), GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
    SendMessageW(GetDlgItem(bar->window(), IDC_BAR_OPEN), BM_CLICK, 0, 0);
    EXPECT_FALSE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    DestroyWindow(bar->window());
}

TEST_F(PlayBarTest, TimeTrackSeeksOnEveryMoveAndPinsAtItsEnds)
{
    pausedFileOf60Seconds();
    click(422, 18);
    EXPECT_EQ(engine->getTime(), 30000);
    EXPECT_TRUE(timeKnobAt(30000, 60000));
    click(150, 18); // left of the usable start
    EXPECT_EQ(engine->getTime(), 0);
    EXPECT_TRUE(timeKnobAt(0, 60000));
    click(694, 18); // right of the usable end
    EXPECT_EQ(engine->getTime(), 60000);
    EXPECT_TRUE(timeKnobAt(60000, 60000));

    mouse(WM_LBUTTONDOWN, 422, 18);
    EXPECT_EQ(GetCapture(), bar->window());
    mouse(WM_MOUSEMOVE, -40, 300);
    EXPECT_EQ(engine->getTime(), 0);
    EXPECT_TRUE(timeKnobAt(0, 60000));
    mouse(WM_MOUSEMOVE, 2000, -20);
    EXPECT_EQ(engine->getTime(), 60000);
    EXPECT_TRUE(timeKnobAt(60000, 60000));
    const int pinned = fakevlc_callCount();
    mouse(WM_MOUSEMOVE, 2500, 40); // still past the end: the same target is not sought again
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", pinned), -1) << fakeVlcCalls();
    mouse(WM_LBUTTONUP, 2000, -20);
    EXPECT_NE(GetCapture(), bar->window());

    const int before = fakevlc_callCount();
    mouse(WM_MOUSEMOVE, 300, 18); // no longer dragging
    click(300, 5);                // above the track
    click(300, 30);               // below it
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", before), -1) << fakeVlcCalls();
    EXPECT_TRUE(timeKnobAt(60000, 60000));
}

// A position is a fraction of a length: without one the time track seeks nowhere, after a Stop
// (although the bar still holds the length it showed) as well as before the engine knows one.
TEST_F(PlayBarTest, TimeTrackSeeksOnlyWhileTheEngineKnowsALength)
{
    pausedFileOf60Seconds();
    engine->stop();
    ASSERT_TRUE(waitForState(libvlc_Stopped));
    ASSERT_LE(engine->getLength(), 0);
    int before = fakevlc_callCount();
    click(422, 18);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", before), -1) << fakeVlcCalls();

    fakevlc_setLengthDelay(1000000);
    engine->play();
    ASSERT_TRUE(waitForState(libvlc_Playing));
    ASSERT_EQ(engine->getLength(), 0);
    before = fakevlc_callCount();
    mouse(WM_LBUTTONDOWN, 300, 18);
    mouse(WM_MOUSEMOVE, 500, 18);
    mouse(WM_LBUTTONUP, 500, 18);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", before), -1) << fakeVlcCalls();
}

// With no libVLC player no file is under way: a click seeks nothing and redraws the knob at the start.
TEST_F(PlayBarTest, TimeTrackWithoutAPlayerSeeksNothingButRedraws)
{
    pausedFileOf60Seconds();
    engine->setTime(15000);
    bar->refreshTime();
    ASSERT_TRUE(timeKnobAt(15000, 60000));
    MediaPlayer idle; // never initialised: no libVLC player behind it
    controller.mediaPlayer = &idle;
    const int before = fakevlc_callCount();
    click(422, 18);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", before), -1);
    EXPECT_TRUE(timeKnobAt(0, 60000));
    controller.mediaPlayer = nullptr;
}

TEST_F(PlayBarTest, VolumeTrackSetsTheVolumeUnmutesAndMovesTheKnob)
{
    bool opaque = false;
    const DWORD knobColour = resourceRgb(L"IDB_VOLUME_BALL", 8, 5, &opaque); // row 5: y 17 on the bar
    ASSERT_TRUE(opaque);
    sizeBar(800); // volume track 696..762, knob 16 wide: usable from 704 to 754
    EXPECT_EQ(barPixel(696 + 58, 17), knobColour); // full volume at first

    controller.muted = true;
    click(729, 18);
    EXPECT_EQ(controller.volume, 50);
    EXPECT_FALSE(controller.muted);
    controller.muted = true;
    click(696, 18);
    EXPECT_EQ(controller.volume, 0);
    EXPECT_FALSE(controller.muted);
    EXPECT_EQ(barPixel(696 + 8, 17), knobColour);
    EXPECT_NE(barPixel(696 + 58, 17), knobColour);

    mouse(WM_LBUTTONDOWN, 729, 18);
    mouse(WM_MOUSEMOVE, 900, 18);
    EXPECT_EQ(controller.volume, 100);
    EXPECT_EQ(barPixel(696 + 58, 17), knobColour);
    EXPECT_NE(barPixel(696 + 8, 17), knobColour);

    controller.muted = true; // muted shows as silence
    bar->refreshVolume();
    EXPECT_EQ(barPixel(696 + 8, 17), knobColour);
}

// Hovering a button shows its action and key; Mute's follows the sound.
TEST_F(PlayBarTest, ButtonTooltipsSayTheActionAndItsKey)
{
    HWND tip = nullptr; // owned by the bar's top-level window, as every popup of a child is
    ASSERT_TRUE(pumpUntil([&] {
        while ((tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) && GetWindow(tip, GW_OWNER) != parent) {
        }
        return tip != nullptr;
    }));
    const auto tipOf = [&](int id) {
        wchar_t text[80] = {};
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = bar->window();
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(bar->window(), id));
        tool.lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
        return std::wstring(text);
    };
    EXPECT_EQ(tipOf(IDC_BAR_PREV), L"Previous (Page Up)");
    controller.toggleMute();
    EXPECT_EQ(tipOf(IDC_BAR_MUTE), L"Unmute (M)");
}

// A screen reader may keep the object of a button after the bar has gone: its calls then fail
// rather than reach into a bar that is no more.
TEST_F(PlayBarTest, AnAccessibleObjectHeldPastTheBarIsCutOff)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const LRESULT answer = SendMessageW(GetDlgItem(bar->window(), IDC_BAR_PLAY), WM_GETOBJECT, 0, OBJID_CLIENT);
    IAccessible* object = nullptr;
    ASSERT_EQ(ObjectFromLresult(answer, __uuidof(IAccessible), 0, reinterpret_cast<void**>(&object)), S_OK);
    VARIANT self = {};
    self.vt = VT_I4;
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(self, &name), S_OK);
    EXPECT_EQ(std::wstring(name ? name : L""), L"Play");
    SysFreeString(name);

    PlayBar::releaseInstance();
    bar = nullptr;
    const HRESULT late = object->get_accName(self, &name);
    EXPECT_TRUE(late == CO_E_OBJNOTCONNECTED || late == RPC_E_DISCONNECTED) << std::hex << late;
    object->Release();
    CoUninitialize();
}

class PlayBarAutoHideTest : public PlayBarTest {
protected:
    void SetUp() override
    {
        PlayBarTest::SetUp();
        sizeBar(800);
        GetWindowRect(bar->window(), &barRect);
        away = POINT{barRect.left + 300, barRect.top - 100};
        over = POINT{barRect.left + 400, barRect.top + 10};
        UiClock::setSources(fakeTickSource, fakeCursorSource);
    }

    // Full screen armed the auto-hide at `tick` with the cursor at `cursor`.
    void arm(DWORD tick, POINT cursor)
    {
        fakeTick = tick;
        fakeCursor = cursor;
        bar->armAutoHide();
    }

    void tickAt(DWORD tick, POINT cursor)
    {
        fakeTick = tick;
        fakeCursor = cursor;
        bar->autoHideTick();
    }

    // The WM_SIZE (0, 0) requests posted to the main window since the last call.
    int layoutRequests()
    {
        int count = 0;
        MSG msg;
        while (PeekMessageW(&msg, parent, WM_SIZE, WM_SIZE, PM_REMOVE))
            count += msg.wParam == 0 && msg.lParam == 0;
        return count;
    }

    RECT barRect = {};
    POINT away = {}, over = {};
};

TEST_F(PlayBarAutoHideTest, NeverHidesOutsideFullScreenOrUnderTheCursor)
{
    arm(0, away);
    tickAt(60000, away);
    EXPECT_TRUE(barShown());
    EXPECT_EQ(bar->hideTick(), 0u);

    arm(1000, over);
    tickAt(60000, over);
    EXPECT_TRUE(barShown());
    EXPECT_EQ(bar->hideTick(), 1000u); // resting over the bar is not activity either
    EXPECT_EQ(layoutRequests(), 0);
}

TEST_F(PlayBarAutoHideTest, HidesOnlyAfterMoreThanFiveSecondsOfRest)
{
    arm(1000, away);
    const POINT nudged = {away.x + 4, away.y - 4}; // under 5 pixels is rest
    tickAt(6000, nudged);
    EXPECT_TRUE(barShown());
    tickAt(6001, nudged);
    EXPECT_FALSE(barShown());
    EXPECT_EQ(layoutRequests(), 1);

    arm(0xFFFFF000u, away); // the tick count wraps in between
    ShowWindow(bar->window(), SW_SHOW);
    tickAt(0x00000300u, away);
    EXPECT_TRUE(barShown());
    tickAt(0x00000400u, away);
    EXPECT_FALSE(barShown());
}

TEST_F(PlayBarAutoHideTest, AMoveOfFivePixelsBringsItBack)
{
    arm(1000, away);
    tickAt(7000, away);
    ASSERT_FALSE(barShown());
    layoutRequests();
    tickAt(7260, POINT{away.x, away.y + 5});
    EXPECT_TRUE(barShown());
    EXPECT_EQ(layoutRequests(), 1);
    EXPECT_EQ(bar->hideTick(), 7260u);
    EXPECT_EQ(bar->lastCursorPos().y, away.y + 5);

    // A hidden bar keeps its place; moving the mouse onto that place brings it back too.
    arm(1000, away);
    tickAt(7000, away);
    ASSERT_FALSE(barShown());
    tickAt(7260, over);
    EXPECT_TRUE(barShown());
}
