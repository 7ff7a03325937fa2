// The control bar: slider and tiling arithmetic on its own, then the bar on a test main window
// under Wine: placement, buffers and their pixels, buttons per playback state, slider presses
// and drags, and the full-screen auto-hide.
#include <gtest/gtest.h>

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

// 0xRRGGBB of a pixel of a DC, and of an image (there `opaque` tells whether it covers fully).
DWORD rgbAt(HDC dc, int x, int y)
{
    const COLORREF c = GetPixel(dc, x, y);
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

DWORD rgbOf(Gdiplus::Bitmap& image, int x, int y, bool* opaque = nullptr)
{
    Gdiplus::Color c;
    image.GetPixel(x, y, &c);
    if (opaque)
        *opaque = c.GetA() == 255;
    return c.GetValue() & 0xFFFFFF;
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

    void sizeBar(int width, int height = 36) { MoveWindow(bar->hwnd, 0, 0, width, height, TRUE); }

    std::string placeOf(int id)
    {
        RECT r = {};
        GetWindowRect(GetDlgItem(bar->hwnd, id), &r);
        MapWindowPoints(HWND_DESKTOP, bar->hwnd, reinterpret_cast<POINT*>(&r), 2);
        return rectText(r);
    }

    bool shown(int id) { return (GetWindowLongW(GetDlgItem(bar->hwnd, id), GWL_STYLE) & WS_VISIBLE) != 0; }
    bool enabled(int id) { return IsWindowEnabled(GetDlgItem(bar->hwnd, id)) != 0; }
    bool barShown() { return (GetWindowLongW(bar->hwnd, GWL_STYLE) & WS_VISIBLE) != 0; }

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
        SendMessageW(bar->hwnd, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
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
    std::wstring folder;
    std::vector<std::wstring> files;
};

TEST_F(PlayBarTest, OneLayeredDialogWhoseHeightFollowsItsBackground)
{
    const HWND first = bar->hwnd;
    EXPECT_TRUE(bar->create(instance, parent, controller));
    EXPECT_EQ(bar->hwnd, first);
    EXPECT_NE(GetWindowLongW(bar->hwnd, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    EXPECT_TRUE(barShown());
    EXPECT_EQ(bar->barHeight(), 36);
    bar->barBackground.reset();
    EXPECT_EQ(bar->barHeight(), 27);
    DestroyWindow(bar->hwnd);
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

TEST_F(PlayBarTest, BuffersOnlyGrow)
{
    sizeBar(800);
    ASSERT_TRUE(bar->composeBuffer.exists() && bar->backgroundBuffer.exists());
    EXPECT_EQ(bar->composeBuffer.height(), 36);
    const HDC compose = bar->composeBuffer.dc();
    sizeBar(600);
    EXPECT_EQ(bar->composeBuffer.dc(), compose);
    EXPECT_EQ(bar->composeBuffer.width(), 800);
    sizeBar(900, 40);
    EXPECT_EQ(bar->composeBuffer.width(), 900);
    EXPECT_EQ(bar->backgroundBuffer.width(), 900);
    EXPECT_EQ(bar->backgroundBuffer.height(), 40);
}

TEST_F(PlayBarTest, TimeSliderShowsPlayedPartKnobAndTrack)
{
    auto played = referenceBitmap(L"IDB_TIME_FORG"), track = referenceBitmap(L"IDB_TIME_BKG");
    auto knob = referenceBitmap(L"IDB_TIME_BAR");
    ASSERT_TRUE(played && track && knob);
    bool opaque[3];
    const DWORD playedColour = rgbOf(*played, 0, 6, &opaque[0]), trackColour = rgbOf(*track, 0, 6, &opaque[1]);
    const DWORD knobColour = rgbOf(*knob, 3, 6, &opaque[2]);
    ASSERT_TRUE(opaque[0] && opaque[1] && opaque[2] && playedColour != trackColour);

    sizeBar(800); // time track 149..695, knob 7 wide: 539 pixels of travel; row 6 is y 18
    const HDC dc = bar->composeBuffer.dc();
    bar->shownLength = 1000;
    bar->shownTime = 500;
    bar->refreshTime(); // without an engine the shown values stay
    EXPECT_EQ(rgbAt(dc, 150, 18), playedColour);
    EXPECT_EQ(rgbAt(dc, 149 + 268, 18), playedColour);
    EXPECT_EQ(rgbAt(dc, 149 + 269 + 3, 18), knobColour);
    EXPECT_EQ(rgbAt(dc, 149 + 269 + 7, 18), trackColour);

    bar->shownTime = 1000;
    bar->refreshTime();
    EXPECT_EQ(rgbAt(dc, 694 - 3, 18), knobColour);
    EXPECT_EQ(rgbAt(dc, 694 - 7, 18), playedColour);

    bar->shownLength = 0; // no length: nothing played, the knob at the left end
    bar->refreshTime();
    EXPECT_EQ(rgbAt(dc, 149 + 3, 18), knobColour);
    EXPECT_EQ(rgbAt(dc, 600, 18), trackColour);
}

// A time change that does not move the knob a pixel leaves composeBuffer alone: a mark put on
// the knob survives it. One that moves the knob redraws the columns between old and new knob.
TEST_F(PlayBarTest, TimeChangeWithinOnePixelDrawsNothing)
{
    auto knob = referenceBitmap(L"IDB_TIME_BAR"), track = referenceBitmap(L"IDB_TIME_BKG");
    ASSERT_TRUE(knob && track);
    sizeBar(800); // 539 pixels of travel
    const HDC dc = bar->composeBuffer.dc();
    bar->shownLength = 10000;
    bar->shownTime = 5000; // 269.5 pixels
    bar->refreshTime();
    const int knobCentre = 149 + 269 + 3;
    ASSERT_EQ(rgbAt(dc, knobCentre, 18), rgbOf(*knob, 3, 6));
    SetPixel(dc, knobCentre, 18, RGB(1, 2, 3));

    bar->shownTime = 5005; // 269.8 pixels: the same column
    bar->refreshTime();
    EXPECT_EQ(rgbAt(dc, knobCentre, 18), 0x010203u);

    bar->shownTime = 2500; // 134.75 pixels
    bar->refreshTime();
    EXPECT_EQ(rgbAt(dc, knobCentre, 18), rgbOf(*track, 0, 6));
    EXPECT_EQ(rgbAt(dc, 149 + 134 + 3, 18), rgbOf(*knob, 3, 6));
}

// After every width change the whole time track is drawn for its new width, column by column:
// played part, knob, track, and the bar's background through the track's transparent rows.
TEST_F(PlayBarTest, WidthChangeDrawsTheWholeTimeTrackAnew)
{
    auto played = referenceBitmap(L"IDB_TIME_FORG"), track = referenceBitmap(L"IDB_TIME_BKG");
    auto knob = referenceBitmap(L"IDB_TIME_BAR"), background = referenceBitmap(L"IDB_BAR_BKG");
    ASSERT_TRUE(played && track && knob && background);
    const DWORD playedColour = rgbOf(*played, 0, 6), trackColour = rgbOf(*track, 0, 6);
    const DWORD knobColour = rgbOf(*knob, 3, 6), behind = rgbOf(*background, 0, 12);
    sizeBar(800);
    bar->shownLength = 1000;
    bar->shownTime = 500;
    bar->refreshTime();
    for (int width : {1200, 600, 1000}) {
        SCOPED_TRACE("bar width " + std::to_string(width));
        sizeBar(width);
        const HDC dc = bar->composeBuffer.dc();
        const int trackWidth = width - 105 - 149, knobLeft = 149 + (trackWidth - 7) / 2;
        int wrong = 0;
        for (int x = 149; x < 149 + trackWidth; ++x) {
            if (x >= knobLeft && x < knobLeft + 7)
                continue;
            wrong += rgbAt(dc, x, 12) != behind; // row 0 of the tiles is transparent
            wrong += rgbAt(dc, x, 18) != (x < knobLeft ? playedColour : trackColour);
        }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(rgbAt(dc, knobLeft + 3, 18), knobColour);
    }
}

TEST_F(PlayBarTest, PressedButtonDrawsItsIconOnePixelDownAndRight)
{
    auto icon = referenceBitmap(L"IDB_PLAY"), background = referenceBitmap(L"IDB_BAR_BKG");
    ASSERT_TRUE(icon && background);
    sizeBar(800);
    PixelCanvas released(36, 32), pressed(36, 32);
    DRAWITEMSTRUCT item = {ODT_BUTTON, IDC_BAR_PLAY, 0, ODA_DRAWENTIRE, 0, GetDlgItem(bar->hwnd, IDC_BAR_PLAY),
                           released.dc, RECT{0, 0, 36, 32}, 0};
    SendMessageW(bar->hwnd, WM_DRAWITEM, IDC_BAR_PLAY, reinterpret_cast<LPARAM>(&item));
    item.itemAction = ODA_SELECT;
    item.itemState = ODS_SELECTED;
    item.hDC = pressed.dc;
    SendMessageW(bar->hwnd, WM_DRAWITEM, IDC_BAR_PLAY, reinterpret_cast<LPARAM>(&item));

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
    startEngine();
    bar->updateButtons();
    for (int id : {IDC_BAR_STOP, IDC_BAR_PAUSE, IDC_BAR_PREV, IDC_BAR_NEXT})
        EXPECT_TRUE(shown(id) && enabled(id)) << id;
    for (int id : {IDC_BAR_OPEN, IDC_BAR_PLAY})
        EXPECT_FALSE(shown(id) || enabled(id)) << id;

    engine->pause();
    ASSERT_TRUE(waitForState(libvlc_Paused));
    bar->shownTime = 1234;
    bar->updateButtons();
    for (int id : {IDC_BAR_STOP, IDC_BAR_PLAY})
        EXPECT_TRUE(shown(id) && enabled(id)) << id;
    for (int id : {IDC_BAR_OPEN, IDC_BAR_PAUSE})
        EXPECT_FALSE(shown(id) || enabled(id)) << id;
    EXPECT_EQ(bar->shownTime, 1234);

    engine->stop();
    ASSERT_TRUE(waitForState(libvlc_Stopped));
    bar->shownLength = 5000;
    bar->updateButtons();
    for (int id : {IDC_BAR_OPEN, IDC_BAR_PLAY})
        EXPECT_TRUE(shown(id) && enabled(id)) << id;
    for (int id : {IDC_BAR_STOP, IDC_BAR_PAUSE})
        EXPECT_FALSE(shown(id) || enabled(id)) << id;
    EXPECT_EQ(bar->shownTime, 0); // the knob goes back to the start, the length is kept
    EXPECT_EQ(bar->shownLength, 5000);
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
        SendMessageW(GetDlgItem(bar->hwnd, control), BM_CLICK, 0, 0);
        ASSERT_TRUE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE)) << control;
        EXPECT_EQ(msg.wParam, static_cast<WPARAM>(command));
        EXPECT_EQ(msg.lParam, 0);
    }
    SendMessageW(bar->hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE));

    // Taken from its main window (made a window of its own), the bar has nobody to command: a
    // press posts nothing, neither to its old parent nor as a message to the thread.
    SetParent(bar->hwnd, nullptr);
    SetWindowLongW(bar->hwnd, GWL_STYLE, (GetWindowLongW(bar->hwnd, GWL_STYLE) & ~WS_CHILD) | WS_POPUP);
    SendMessageW(GetDlgItem(bar->hwnd, IDC_BAR_OPEN), BM_CLICK, 0, 0);
    EXPECT_FALSE(PeekMessageW(&msg, parent, WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_FALSE(PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    DestroyWindow(bar->hwnd);
}

TEST_F(PlayBarTest, TimeTrackSeeksOnEveryMoveAndPinsAtItsEnds)
{
    pausedFileOf60Seconds();
    click(422, 18);
    EXPECT_EQ(engine->getTime(), 30000);
    EXPECT_EQ(bar->shownTime, 30000);
    click(150, 18); // left of the usable start
    EXPECT_EQ(bar->shownTime, 0);
    click(694, 18); // right of the usable end
    EXPECT_EQ(bar->shownTime, 60000);

    mouse(WM_LBUTTONDOWN, 422, 18);
    EXPECT_EQ(bar->dragControl, IDC_BAR_TIME);
    mouse(WM_MOUSEMOVE, -40, 300);
    EXPECT_EQ(bar->shownTime, 0);
    mouse(WM_MOUSEMOVE, 2000, -20);
    EXPECT_EQ(bar->shownTime, 60000);
    const int pinned = fakevlc_callCount();
    mouse(WM_MOUSEMOVE, 2500, 40); // still past the end: the same target is not sought again
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", pinned), -1) << fakeVlcCalls();
    mouse(WM_LBUTTONUP, 2000, -20);
    EXPECT_EQ(bar->dragControl, 0);
    EXPECT_NE(GetCapture(), bar->hwnd);

    const int before = fakevlc_callCount();
    mouse(WM_MOUSEMOVE, 300, 18); // no longer dragging
    click(300, 5);                // above the track
    click(300, 30);               // below it
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time", before), -1) << fakeVlcCalls();
    EXPECT_EQ(bar->shownTime, 60000);
}

// A position is a fraction of a length: without one the time track seeks nowhere, after a Stop
// (although the bar still holds the length it showed) as well as before the engine knows one.
TEST_F(PlayBarTest, TimeTrackSeeksOnlyWhileTheEngineKnowsALength)
{
    pausedFileOf60Seconds();
    ASSERT_EQ(bar->shownLength, 60000);
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

TEST_F(PlayBarTest, TimeTrackWithoutAPlayerSeeksNothingButRedraws)
{
    auto knob = referenceBitmap(L"IDB_TIME_BAR");
    ASSERT_TRUE(knob);
    MediaPlayer idle; // never initialised: no libVLC player behind it
    controller.mediaPlayer = &idle;
    sizeBar(800); // drawn with the knob at the start
    bar->shownLength = 1000;
    bar->shownTime = 250;
    click(422, 18);
    EXPECT_EQ(bar->shownTime, 250);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time"), -1);
    // The knob now stands at the last known position: a quarter of 539 pixels.
    EXPECT_EQ(rgbAt(bar->composeBuffer.dc(), 149 + 134 + 3, 18), rgbOf(*knob, 3, 6));
    controller.mediaPlayer = nullptr;
}

TEST_F(PlayBarTest, VolumeTrackSetsTheVolumeUnmutesAndMovesTheKnob)
{
    auto knob = referenceBitmap(L"IDB_VOLUME_BALL");
    ASSERT_TRUE(knob);
    bool opaque = false;
    const DWORD knobColour = rgbOf(*knob, 8, 5, &opaque); // centre column, row 5: y 17 on the bar
    ASSERT_TRUE(opaque);
    sizeBar(800); // volume track 696..762, knob 16 wide: usable from 704 to 754
    const HDC dc = bar->composeBuffer.dc();
    EXPECT_EQ(rgbAt(dc, 696 + 58, 17), knobColour); // full volume at first

    controller.muted = true;
    click(729, 18);
    EXPECT_EQ(controller.volume, 50);
    EXPECT_FALSE(controller.muted);
    controller.muted = true;
    click(696, 18);
    EXPECT_EQ(controller.volume, 0);
    EXPECT_FALSE(controller.muted);
    EXPECT_EQ(rgbAt(dc, 696 + 8, 17), knobColour);
    EXPECT_NE(rgbAt(dc, 696 + 58, 17), knobColour);

    mouse(WM_LBUTTONDOWN, 729, 18);
    mouse(WM_MOUSEMOVE, 900, 18);
    EXPECT_EQ(controller.volume, 100);
    EXPECT_EQ(rgbAt(dc, 696 + 58, 17), knobColour);
    EXPECT_NE(rgbAt(dc, 696 + 8, 17), knobColour);

    controller.muted = true; // muted shows as silence
    bar->refreshVolume();
    EXPECT_EQ(rgbAt(dc, 696 + 8, 17), knobColour);
}

class PlayBarAutoHideTest : public PlayBarTest {
protected:
    void SetUp() override
    {
        PlayBarTest::SetUp();
        sizeBar(800);
        GetWindowRect(bar->hwnd, &barRect);
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
    ShowWindow(bar->hwnd, SW_SHOW);
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
