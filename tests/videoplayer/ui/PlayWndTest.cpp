// The video surface: idle picture, double press, cursor hiding and the context menu, with the
// clock and cursor driven by the test and the engine by the libvlc test double.
#include <gtest/gtest.h>

#include <iterator>
#include <memory>
#include <string>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "tests/videoplayer/ui/UiTestSupport.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayWnd.h"
#include "videoplayer/ui/UiClock.h"
#include "videoplayer/ui/UiResources.h"

namespace {

DWORD fakeNow = 0;
POINT fakeCursor = {0, 0};
DWORD fakeTick() { return fakeNow; }
POINT fakeCursorPos() { return fakeCursor; }

// The system's cursor display count (0 or more: shown).
int cursorCount()
{
    ShowCursor(TRUE);
    return ShowCursor(FALSE);
}

// The surface sits at (100, 100)-(500, 400) on the screen, filling a stand-in main window.
const RECT mainRect = {100, 100, 500, 400};
const POINT inside = {200, 200};

class PlayWndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakevlc_reset();
        UiClock::setSources(fakeTick, fakeCursorPos);
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlayWndTest_Main";
        RegisterClassExW(&wc);
        mainWindow = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, mainRect.left, mainRect.top,
                                     mainRect.right - mainRect.left, mainRect.bottom - mainRect.top, nullptr,
                                     nullptr, wc.hInstance, nullptr);
        ASSERT_NE(mainWindow, nullptr);
        ownedSurface.reset(new PlayWnd(controller, [this] { return fullScreen; }));
        surface = ownedSurface.get();
        const RECT rect = {0, 0, mainRect.right - mainRect.left, mainRect.bottom - mainRect.top};
        ASSERT_TRUE(surface->create(0, L"Player_CtrlClass", L"", WS_CHILD | WS_VISIBLE, rect, mainWindow, 0,
                                    GetModuleHandleW(nullptr)));
        shownCount = cursorCount();
    }

    void TearDown() override
    {
        ownedSurface.reset();
        EXPECT_EQ(cursorCount(), shownCount) << "the cursor was left hidden";
        controller.mediaPlayer = nullptr;
        engine.reset();
        DestroyWindow(mainWindow);
        UiClock::setSources(nullptr, nullptr);
        EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault();
    }

    // The engine the surface reaches through its controller, playing.
    void startPlaying()
    {
        engine.reset(new MediaPlayer());
        ASSERT_TRUE(engine->init());
        ASSERT_TRUE(engine->open(L"C:\\clips\\clip.mp4"));
        controller.mediaPlayer = engine.get();
        engine->play();
        ASSERT_TRUE(pumpUntil([this] { return engine->getState() == 3; })) << fakeVlcCalls();
    }

    void pausePlayback()
    {
        engine->pause();
        ASSERT_TRUE(pumpUntil([this] { return engine->getState() == 4; })) << fakeVlcCalls();
    }

    // The cursor at rest at `pos` since `tick`.
    void restAt(POINT pos, DWORD tick)
    {
        surface->restartCursorRest(tick, pos);
    }

public:
    void tickFromOutside(DWORD now, POINT pos) { tick(now, pos); }
    PlayWnd* surface = nullptr;

protected:
    void tick(DWORD now, POINT pos)
    {
        fakeNow = now;
        fakeCursor = pos;
        surface->updateCursor();
    }

    void press(DWORD now)
    {
        fakeNow = now;
        SendMessageW(surface->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 20));
    }

    // The command posted to the main window since the last call, or 0.
    WPARAM takeCommand()
    {
        MSG msg;
        if (!PeekMessageW(&msg, mainWindow, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            return 0;
        EXPECT_EQ(msg.lParam, 0);
        return msg.wParam;
    }

    GdiplusSession gdiplus; // outlives TearDown, which deletes the surface and its logo
    HWND mainWindow = nullptr;
    bool fullScreen = false; // what the surface's question to the shell answers
    PlayLogic controller;
    std::unique_ptr<MediaPlayer> engine;
    std::unique_ptr<PlayWnd> ownedSurface;
    int shownCount = 0;
};

TEST_F(PlayWndTest, EveryPressWithin400MsOfThePreviousTogglesFullScreen)
{
    press(100000);
    EXPECT_EQ(takeCommand(), 0u);
    press(100300);
    EXPECT_EQ(takeCommand(), static_cast<WPARAM>(IDM_FULLSCREEN));
    // A third press soon after the second toggles again.
    press(100600);
    EXPECT_EQ(takeCommand(), static_cast<WPARAM>(IDM_FULLSCREEN));
    press(101000); // exactly 400 ms later: too slow
    EXPECT_EQ(takeCommand(), 0u);
    fullScreen = true;
    press(101399);
    EXPECT_EQ(takeCommand(), static_cast<WPARAM>(IDM_LEAVE_FULLSCREEN));
    EXPECT_EQ(takeCommand(), 0u);
}

TEST_F(PlayWndTest, DoublePressSpansTheTickCountWrap)
{
    press(0xFFFFFF00u);
    takeCommand();
    press(0x00000010u);
    EXPECT_EQ(takeCommand(), static_cast<WPARAM>(IDM_FULLSCREEN));
}

TEST_F(PlayWndTest, SlowDriftCountsFromThePositionOfTheLastCountedMove)
{
    startPlaying();
    restAt(inside, 10000);
    tick(11000, {inside.x + 5, inside.y}); // 5 pixels is not a move
    EXPECT_EQ(surface->lastMoveTick(), 10000u);
    tick(12000, {inside.x + 6, inside.y}); // one more pixel, but 6 from where it rested
    EXPECT_EQ(surface->lastMoveTick(), 12000u);
    EXPECT_EQ(surface->lastCursorPos().x, inside.x + 6);
    tick(13000, {inside.x + 9, inside.y + 3});
    tick(16999, {inside.x + 11, inside.y + 5});
    EXPECT_EQ(surface->cursorHidden, 0) << "the rest restarts at the counted move";
    EXPECT_EQ(cursorCount(), shownCount);
    tick(17000, {inside.x + 11, inside.y + 5});
    EXPECT_EQ(surface->cursorHidden, 1);
    EXPECT_EQ(cursorCount(), shownCount - 1);
}

TEST_F(PlayWndTest, HiddenCursorStaysHiddenAfterPausingUntilARealMove)
{
    startPlaying();
    restAt(inside, 10000);
    tick(15000, inside);
    ASSERT_EQ(surface->cursorHidden, 1);
    tick(15260, {inside.x + 2, inside.y + 1});
    EXPECT_EQ(cursorCount(), shownCount - 1) << "hidden twice";

    pausePlayback();
    tick(16000, {inside.x + 4, inside.y + 3});
    EXPECT_EQ(surface->cursorHidden, 1);
    EXPECT_EQ(cursorCount(), shownCount - 1);

    tick(16260, {inside.x + 10, inside.y + 3});
    EXPECT_EQ(surface->cursorHidden, 0);
    EXPECT_EQ(cursorCount(), shownCount);
    tick(16520, {inside.x + 30, inside.y + 3});
    tick(30000, {inside.x + 30, inside.y + 3}); // paused: resting no longer hides
    EXPECT_EQ(cursorCount(), shownCount) << "shown more than once";
}

TEST_F(PlayWndTest, CursorStaysVisibleWithoutAPlayingEngineOrOutsideTheSurface)
{
    restAt(inside, 10000);
    tick(20000, inside);
    EXPECT_EQ(surface->cursorHidden, 0) << "controller without engine";

    startPlaying();
    const POINT outside = {mainRect.left - 20, mainRect.top + 50};
    restAt(outside, 10000);
    tick(20000, outside);
    EXPECT_EQ(surface->cursorHidden, 0) << "outside the surface";

    // The same rest over the surface, with the engine reached through the controller.
    restAt(inside, 10000);
    tick(20000, inside);
    EXPECT_EQ(surface->cursorHidden, 1);
}

TEST_F(PlayWndTest, DeletingTheSurfaceShowsAHiddenCursorAgain)
{
    startPlaying();
    restAt(inside, 10000);
    tick(15000, inside);
    ASSERT_EQ(cursorCount(), shownCount - 1);
    ownedSurface.reset();
    EXPECT_EQ(cursorCount(), shownCount);
}

TEST_F(PlayWndTest, IdleSurfaceIsBlackWithTheLogoUnscaledInTheCentre)
{
    PixelCanvas canvas(mainRect.right - mainRect.left, mainRect.bottom - mainRect.top);
    canvas.fill(0xFFFFFF);
    surface->onPaint(canvas.dc);
    EXPECT_EQ(canvas.at(canvas.width / 2, canvas.height / 2), 0u) << "without a logo the surface is plain black";

    surface->logo.reset(loadPngResource(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_LOGO)));
    auto reference = referenceBitmap(MAKEINTRESOURCEW(IDB_LOGO));
    ASSERT_NE(surface->logo, nullptr);
    ASSERT_TRUE(reference && reference->GetWidth() == 128 && reference->GetHeight() == 128);
    canvas.fill(0xFFFFFF);
    surface->onPaint(canvas.dc);

    const int left = (canvas.width - 128) / 2, top = (canvas.height - 128) / 2;
    int wrong = 0, coloured = 0;
    for (int y = 0; y < canvas.height; ++y) {
        for (int x = 0; x < canvas.width; ++x) {
            DWORD expected = 0;
            if (x >= left && x < left + 128 && y >= top && y < top + 128) {
                Gdiplus::Color c;
                reference->GetPixel(x - left, y - top, &c);
                const auto over = [&](BYTE v) { return static_cast<DWORD>(v * c.GetA() / 255); };
                expected = over(c.GetR()) << 16 | over(c.GetG()) << 8 | over(c.GetB());
            }
            const DWORD got = canvas.at(x, y);
            coloured += got != 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int d = static_cast<int>((got >> shift) & 0xFF) - static_cast<int>((expected >> shift) & 0xFF);
                if (d > 2 || d < -2) {
                    ++wrong;
                    break;
                }
            }
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels differing from the logo on black at (" << left << ", " << top << ")";
    EXPECT_GT(coloured, 1000);
}

// ---- Context menu ----

class ContextMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_CONTEXT_MENU));
        ASSERT_NE(menu, nullptr);
        popup = GetSubMenu(menu, 0);
        ASSERT_NE(popup, nullptr);
    }
    void TearDown() override { DestroyMenu(menu); }

    bool present(UINT command) const { return GetMenuState(popup, command, MF_BYCOMMAND) != static_cast<UINT>(-1); }
    bool grey(UINT command) const { return (GetMenuState(popup, command, MF_BYCOMMAND) & MF_GRAYED) != 0; }
    bool enabled(UINT command) const { return present(command) && !grey(command); }

    HMENU menu = nullptr;
    HMENU popup = nullptr;
};

ContextMenuState stateOf(bool playing, int engineState, int count, int current, bool fullScreen = false)
{
    ContextMenuState s;
    s.fullScreen = fullScreen;
    s.isPlaying = playing;
    s.engineState = engineState;
    s.playListCount = count;
    s.currentIndex = current;
    return s;
}

TEST_F(ContextMenuTest, InAWindowTheMenuOffersFullScreenInItsOrder)
{
    PlayWnd::prepareContextMenu(popup, stateOf(true, 3, 3, 1));
    const struct {
        UINT id;
        const wchar_t* text;
    } expected[] = {{IDM_OPEN, L"Open\tCtrl+O"},      {0, L""},
                    {IDM_PLAY, L"Play"},              {IDM_PAUSE, L"Pause\tSpace"},
                    {IDM_STOP, L"Stop"},              {IDM_PREVIOUS, L"Previous\tPageUp"},
                    {IDM_NEXT, L"Next\tPageDown"},    {0, L""},
                    {IDM_FULLSCREEN, L"Full Screen\tF"}, {0, L""},
                    {IDM_EXIT, L"E&xit"}};
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(std::size(expected)));
    for (int i = 0; i < GetMenuItemCount(popup); ++i) {
        wchar_t text[64] = {};
        GetMenuStringW(popup, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        const UINT id = GetMenuItemID(popup, i);
        EXPECT_EQ(id == static_cast<UINT>(-1) ? 0u : id, expected[i].id) << "item " << i;
        EXPECT_EQ(std::wstring(text), expected[i].text) << "item " << i;
    }
    EXPECT_FALSE(present(IDM_LEAVE_FULLSCREEN));
}

TEST_F(ContextMenuTest, InFullScreenTheMenuOffersOnlyLeaveFullScreen)
{
    PlayWnd::prepareContextMenu(popup, stateOf(true, 3, 3, 1, true));
    EXPECT_FALSE(present(IDM_FULLSCREEN));
    EXPECT_TRUE(enabled(IDM_LEAVE_FULLSCREEN));
}

TEST_F(ContextMenuTest, NothingPlayingAndAnEmptyPlayListGreysAllFivePlaybackItems)
{
    PlayWnd::prepareContextMenu(popup, stateOf(false, 0, 0, -1));
    for (UINT command : {IDM_PLAY, IDM_PAUSE, IDM_STOP, IDM_PREVIOUS, IDM_NEXT})
        EXPECT_TRUE(grey(command)) << command;
    for (UINT command : {IDM_OPEN, IDM_FULLSCREEN, IDM_EXIT})
        EXPECT_TRUE(enabled(command)) << command;
}

TEST_F(ContextMenuTest, PausedLeavesStopAndPlayEnabledAndGreysPause)
{
    PlayWnd::prepareContextMenu(popup, stateOf(false, 4, 3, 1));
    EXPECT_TRUE(enabled(IDM_STOP));
    EXPECT_TRUE(enabled(IDM_PLAY));
    EXPECT_TRUE(grey(IDM_PAUSE));
    EXPECT_TRUE(enabled(IDM_PREVIOUS));
    EXPECT_TRUE(enabled(IDM_NEXT));
}

TEST_F(ContextMenuTest, PlayingGreysPlayAndStepsNeedAnotherFileAndACurrentOne)
{
    PlayWnd::prepareContextMenu(popup, stateOf(true, 3, 1, 0));
    EXPECT_TRUE(grey(IDM_PLAY));
    EXPECT_TRUE(enabled(IDM_PAUSE));
    EXPECT_TRUE(enabled(IDM_STOP));
    EXPECT_TRUE(grey(IDM_PREVIOUS)) << "a single file";
    EXPECT_TRUE(grey(IDM_NEXT));

    DestroyMenu(menu);
    SetUp();
    PlayWnd::prepareContextMenu(popup, stateOf(true, 3, 3, -1));
    EXPECT_TRUE(grey(IDM_PREVIOUS)) << "no current file";
    EXPECT_TRUE(grey(IDM_NEXT));
}

TEST_F(PlayWndTest, RightClickPostsTheChosenCommandToTheMainWindow)
{
    ShowWindow(mainWindow, SW_SHOWNA);
    // The menu's own loop reads these: the first key selects "Open", the second chooses it.
    PostMessageW(mainWindow, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageW(mainWindow, WM_KEYDOWN, VK_RETURN, 0);
    SendMessageW(surface->hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(surface->hwnd), MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(takeCommand(), static_cast<WPARAM>(IDM_OPEN));
    EXPECT_EQ(takeCommand(), 0u);
}

// The menu's own loop keeps the main timer ticking; this tick comes from inside it and then
// closes the menu.
PlayWndTest* testInMenu = nullptr;
int hiddenInMenu = -1;

void CALLBACK tickInsideTheMenu(HWND window, UINT, UINT_PTR id, DWORD)
{
    KillTimer(window, id);
    testInMenu->tickFromOutside(30000, inside);
    hiddenInMenu = testInMenu->surface->cursorHidden;
    PostMessageW(window, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST_F(PlayWndTest, CursorShowsWhileTheContextMenuIsOpenAndRestsAnewAfterIt)
{
    startPlaying();
    ShowWindow(mainWindow, SW_SHOWNA);
    restAt(inside, 10000);
    tick(15000, inside);
    ASSERT_EQ(surface->cursorHidden, 1);

    testInMenu = this;
    SetTimer(mainWindow, 1, 10, tickInsideTheMenu);
    SendMessageW(surface->hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(surface->hwnd), MAKELPARAM(inside.x, inside.y));
    EXPECT_EQ(hiddenInMenu, 0) << "hidden over the open menu";
    EXPECT_EQ(takeCommand(), 0u);
    EXPECT_EQ(cursorCount(), shownCount);

    // The rest counts from the menu's closing, not from before it.
    tick(34000, inside);
    EXPECT_EQ(surface->cursorHidden, 0);
    tick(35000, inside);
    EXPECT_EQ(surface->cursorHidden, 1);
}

TEST_F(PlayWndTest, MenuStateIsReadFromTheControllerAndTheShell)
{
    ContextMenuState idle = surface->currentMenuState();
    EXPECT_FALSE(idle.isPlaying);
    EXPECT_EQ(idle.engineState, 0);
    EXPECT_EQ(idle.playListCount, 0);

    startPlaying();
    // The playlist takes only files it can open.
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring first = std::wstring(folder) + L"PlayWndTest_a.mp4";
    const std::wstring second = std::wstring(folder) + L"PlayWndTest_b.mp4";
    for (const std::wstring& path : {first, second})
        CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    controller.playList.addEntry(first, 0);
    controller.playList.addEntry(second, 1);
    DeleteFileW(first.c_str());
    DeleteFileW(second.c_str());
    fullScreen = true;
    const ContextMenuState playing = surface->currentMenuState();
    EXPECT_TRUE(playing.fullScreen);
    EXPECT_TRUE(playing.isPlaying);
    EXPECT_EQ(playing.engineState, 3);
    EXPECT_EQ(playing.playListCount, 2);
    EXPECT_EQ(playing.currentIndex, 1);
}

} // namespace
