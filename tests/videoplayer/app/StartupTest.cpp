// Start-up and shut-down of the player in the test process, on the libvlc test double.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"
#include "tests/videoplayer/app/PlayerFixture.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/EngineEvents.h"
#include "videoplayer/app/MainWindow.h"
#include "videoplayer/app/Startup.h"
#include "videoplayer/playback/EngineStart.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"

namespace {

using StartupTest = PlayerFixture;

// Dialogs this thread makes, counted as made: a box whose loop closes the player goes unseen.
int dialogsMade = 0;
LRESULT CALLBACK countDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    wchar_t name[8] = L"";
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 8) && !lstrcmpW(name, L"#32770"))
        ++dialogsMade;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(StartupTest, CreatesTheWindowAndTheObjectsInOrder)
{
    app.engineStart.reset(new EngineStart([](std::function<void()>) { return std::thread(); })); // none to be had
    ASSERT_TRUE(startPlayer());
    wchar_t className[64] = L"";
    GetClassNameW(app.mainWindow, className, 64);
    EXPECT_STREQ(className, L"Player_WndClass");
    EXPECT_TRUE(IsWindowVisible(app.mainWindow));
    ASSERT_TRUE(app.controller && app.videoSurface && app.controlBar && app.engine);
    EXPECT_EQ(app.controller->mediaPlayer, app.engine.get());
    EXPECT_EQ(fakevlc_lastHwnd(), app.videoSurface->hwnd);
    EXPECT_EQ(GetParent(app.videoSurface->hwnd), app.mainWindow);
    EXPECT_EQ(GetParent(app.controlBar->window()), app.mainWindow);
    EXPECT_EQ(app.layoutEnabled, 1);
    // The six events, time first, the error that tells of a file that cannot play last.
    const char* expected[] = {"libvlc_event_attach:267", "libvlc_event_attach:260", "libvlc_event_attach:261",
                              "libvlc_event_attach:262", "libvlc_event_attach:265", "libvlc_event_attach:266"};
    int from = 0;
    for (const char* call : expected) {
        from = fakeVlcCallIndex(call, from);
        ASSERT_GE(from, 0) << call << " in " << fakeVlcCalls();
    }
}

// Without libVLC the player says so once, even to a drop during the start, and closes as Exit does.
TEST_F(StartupTest, TellsTheUserWhenLibVlcCannotStart)
{
    fakevlc_failNew(1);
    fakevlc_setNewDelay(300);
    std::wstring text;
    bool errorIcon = false;
    Driver answer([&] {
        HWND box = waitForWindow(L"#32770", L"Quillet", 20000);
        if (!box)
            return;
        text = messageBoxText(box);
        HWND icon = GetDlgItem(box, 0x14); // the message box's icon on Windows
        if (!icon)
            icon = GetDlgItem(box, 1088); // and under Wine
        errorIcon = icon && SendMessageW(icon, STM_GETICON, 0, 0) ==
                                reinterpret_cast<LRESULT>(LoadIconW(nullptr, IDI_ERROR));
        clickButton(box, IDOK);
    });
    ASSERT_TRUE(startPlayer(SW_SHOWNORMAL, false));
    const HHOOK hook = SetWindowsHookExW(WH_CBT, countDialogs, nullptr, GetCurrentThreadId());
    dropFiles({makeFolder({L"a.mp4"}) + L"\\a.mp4"});
    UnhookWindowsHookEx(hook);
    answer.join();
    EXPECT_EQ(text, L"Quillet could not start its video engine.");
    EXPECT_TRUE(errorIcon);
    EXPECT_EQ(dialogsMade, 1);
    // Then it closes as Exit does (the exit code is the process test's to see).
    EXPECT_TRUE(pumpUntil([] { return !IsWindow(app.mainWindow); }));
    EXPECT_FALSE(app.engineStart || app.controller || app.videoSurface);
    EXPECT_EQ(fakevlc_liveInstances(), 0);
}

// The window does not wait for libVLC, nor do its own commands; a drop and a command that come
// before libVLC is ready wait for it and are carried out, in order.
TEST_F(StartupTest, TheWindowShowsBeforeLibVlcAndEarlyCommandsAreNotLost)
{
    fakevlc_setNewDelay(1500);
    ASSERT_TRUE(startPlayer(SW_SHOWNORMAL, false));
    EXPECT_TRUE(IsWindowVisible(app.mainWindow));
    EXPECT_TRUE(app.engineStart) << "libVLC has not started yet";
    EXPECT_EQ(app.engine->vlcPlayer, nullptr);
    SendMessageW(app.mainWindow, WM_COMMAND, IDM_FULLSCREEN, 0);
    EXPECT_TRUE(app.fullScreen && app.engineStart) << "full screen waited for libVLC";
    SendMessageW(app.mainWindow, WM_COMMAND, IDM_LEAVE_FULLSCREEN, 0);
    const std::wstring folder = makeFolder({L"a.mp4", L"b.mp4"});
    dropFiles({folder + L"\\a.mp4"});
    EXPECT_FALSE(app.engineStart);
    EXPECT_EQ(app.controller->currentPath, folder + L"\\a.mp4");
    ASSERT_TRUE(waitForState(libvlc_Playing));
    EXPECT_EQ(fakevlc_lastHwnd(), app.videoSurface->hwnd);
    SendMessageW(app.mainWindow, WM_COMMAND, IDM_NEXT, 0);
    EXPECT_EQ(app.controller->currentPath, folder + L"\\b.mp4");
    EXPECT_EQ(fakeVlcCallIndex("libvlc_new"), 0) << fakeVlcCalls();
}

TEST_F(StartupTest, ClosingStopsPlaybackAndReleasesThePlayerBeforeTheInstance)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"clip.mp4"});
    ASSERT_TRUE(loadFile(folder + L"\\clip.mp4"));
    ASSERT_TRUE(waitForState(libvlc_Playing));
    closePlayer();
    const int stop = fakeVlcCallIndex("libvlc_media_player_stop");
    const int player = fakeVlcCallIndex("libvlc_media_player_release");
    const int instance = fakeVlcCallIndex("libvlc_release");
    ASSERT_GE(stop, 0) << fakeVlcCalls();
    EXPECT_LT(stop, player);
    EXPECT_LT(player, instance);
    EXPECT_EQ(instance, fakevlc_callCount() - 1) << "nothing may reach libVLC after it is released";
    EXPECT_FALSE(app.controller || app.videoSurface || app.controlBar || app.engine);
}

// An engine that does not answer the stop when the player closes goes on drawing: it must be
// released while the video surface it draws into still exists (the double records a release
// that comes after that window has gone), and nothing may reach it afterwards.
TEST_F(StartupTest, ClosingWithAStuckEngineReleasesItBeforeTheSurfaceGoes)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"clip.mp4"});
    ASSERT_TRUE(loadFile(folder + L"\\clip.mp4"));
    ASSERT_TRUE(waitForState(libvlc_Playing));
    fakevlc_keepPlaying(4000); // longer than the stop waits
    closePlayer();
    EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault();
    EXPECT_EQ(fakeVlcCallIndex("libvlc_release"), fakevlc_callCount() - 1) << fakeVlcCalls();
}

TEST_F(StartupTest, EngineEventsAreHandedToTheUserInterfaceThread)
{
    ASSERT_TRUE(startPlayer());
    fakevlc_raiseEvent(libvlc_MediaPlayerPlaying);
    // Wait without dispatching, so the hand-over message stays in the queue to be inspected.
    MSG msg = {};
    bool queued = false;
    for (int i = 0; i < 500 && !queued; ++i) {
        queued = PeekMessageW(&msg, app.mainWindow, WM_PLAYER_EVENT, WM_PLAYER_EVENT, PM_REMOVE) != 0;
        if (!queued)
            Sleep(10);
    }
    ASSERT_TRUE(queued);
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(libvlc_MediaPlayerPlaying));
    EXPECT_NE(fakevlc_eventThreadId(), GetCurrentThreadId());
}

TEST_F(StartupTest, ABurstOfTimeEventsCostsOneRedraw)
{
    ASSERT_TRUE(startPlayer());
    pumpFor(50);
    MSG msg;
    while (PeekMessageW(&msg, app.mainWindow, WM_PLAYER_EVENT, WM_PLAYER_EVENT, PM_REMOVE)) {
    }
    for (int i = 0; i < 5; ++i)
        onPlayerEvent(nullptr, nullptr); // ignored: no event
    libvlc_event_t event = {};
    event.type = libvlc_MediaPlayerTimeChanged;
    for (int i = 0; i < 5; ++i)
        onPlayerEvent(&event, nullptr);
    int queued = 0;
    while (PeekMessageW(&msg, app.mainWindow, WM_PLAYER_EVENT, WM_PLAYER_EVENT, PM_REMOVE)) {
        ++queued;
        DispatchMessageW(&msg);
    }
    EXPECT_EQ(queued, 1);
    onPlayerEvent(&event, nullptr);
    ASSERT_TRUE(PeekMessageW(&msg, app.mainWindow, WM_PLAYER_EVENT, WM_PLAYER_EVENT, PM_REMOVE));
    DispatchMessageW(&msg);

    // A hand-over whose post fails is not queued, so the next time event is handed over again.
    const HWND mainWindow = app.mainWindow;
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(gone);
    app.mainWindow = gone;
    onPlayerEvent(&event, nullptr);
    app.mainWindow = mainWindow;
    onPlayerEvent(&event, nullptr);
    EXPECT_TRUE(PeekMessageW(&msg, app.mainWindow, WM_PLAYER_EVENT, WM_PLAYER_EVENT, PM_REMOVE))
        << "the time display would never move again";
}

// The engine's event thread must never wait for the user-interface thread while that thread
// waits for the engine: stopping while events flow has to end, without a deadlock.
TEST_F(StartupTest, StoppingWhileEventsFlowNeverDeadlocks)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"a.mp4", L"b.mp4"});
    ASSERT_TRUE(loadFile(folder + L"\\a.mp4"));
    ASSERT_TRUE(waitForState(libvlc_Playing));
    for (int i = 0; i < 3; ++i) {
        fakevlc_keepPlaying(400);
        fakevlc_raiseEvent(libvlc_MediaPlayerPlaying);
        fakevlc_raiseEvent(libvlc_MediaPlayerTimeChanged);
        dropFiles({folder + L"\\b.mp4"});
        ASSERT_TRUE(waitForState(libvlc_Playing));
    }
    EXPECT_EQ(app.controller->currentPath, folder + L"\\b.mp4");
}

} // namespace
