// The playback controller against the libvlc test double, with playlists built from real
// folders: seeking, volume and mute, stepping through the folder (dropping files that fail),
// the advance at the end of a file, and the bounded waits for an engine that does not answer.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TempFolder.h"
#include "tests/support/WindowDriver.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"

namespace {

std::atomic<int> stoppedEvents{0};

// Engine events reach the controller as the shell hands them over: posted from the engine's
// thread to a window of the test's thread, and passed on while the test pumps messages.
const UINT engineEventMessage = WM_APP + 7;
HWND eventWindow = nullptr;
PlayLogic* eventTarget = nullptr;

void handOverEvent(const libvlc_event_t* event, void*)
{
    if (event->type == libvlc_MediaPlayerStopped)
        ++stoppedEvents;
    PostMessageW(eventWindow, engineEventMessage, static_cast<WPARAM>(event->type), 0);
}

LRESULT CALLBACK eventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == engineEventMessage && eventTarget) {
        eventTarget->onEngineEvent(static_cast<int>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class PlayLogicTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakevlc_reset();
        ASSERT_TRUE(folder.valid());
        ASSERT_TRUE(engine.init());
        controller.mediaPlayer = &engine;
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = eventWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"PlayLogicTestEvents";
        RegisterClassExW(&wc);
        eventWindow = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      wc.hInstance, nullptr);
        ASSERT_NE(eventWindow, nullptr);
        eventTarget = &controller;
        engine.eventCallback = handOverEvent;
        engine.attachEvents();
    }

    void TearDown() override
    {
        engine.release();
        eventTarget = nullptr;
        DestroyWindow(eventWindow);
        EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault();
    }

    // The folder's files and its playlist with `current` marked, as loading that file builds it.
    void makeList(const std::vector<std::wstring>& names, const std::wstring& current)
    {
        for (const std::wstring& name : names)
            ASSERT_TRUE(folder.addFile(name));
        ASSERT_EQ(controller.playList.buildFromFolder(folder / current), static_cast<int>(names.size()));
    }

    // What loading a file does to the engine and the controller.
    void startPlaying(const std::wstring& name)
    {
        ASSERT_TRUE(engine.open(folder / name));
        controller.currentPath = folder / name;
        controller.play();
        seePlaying();
    }

    // The file plays, and a tick of the main window's timer has seen it play.
    void seePlaying()
    {
        ASSERT_TRUE(pumpUntil([&] { return engine.isPlaying(); })) << fakeVlcCalls();
        controller.onTimer();
    }

    void waitForState(int state)
    {
        ASSERT_TRUE(pumpUntil([&] { return engine.getState() == state; })) << "state " << engine.getState();
    }

    bool lastOpened(const std::wstring& name)
    {
        char buffer[1024];
        const int n = fakevlc_lastMediaPath(buffer, sizeof(buffer));
        return n < static_cast<int>(sizeof(buffer)) && MediaPlayer::utf8Path(folder / name) == buffer;
    }

    // Seeks from a position set on the paused engine; the position it ends at.
    int64_t seekFrom(int64_t time, int direction)
    {
        engine.setTime(time);
        EXPECT_TRUE(controller.seek(direction));
        return engine.getTime();
    }

    TempFolder folder;
    MediaPlayer engine;
    PlayLogic controller;
};

// ---- Seeking ------------------------------------------------------------------------------

TEST_F(PlayLogicTest, SeekStepsFiveSecondsAndClampsAtBothEnds)
{
    fakevlc_setMediaLength(20000);
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    ASSERT_TRUE(pumpUntil([&] { return engine.getLength() == 20000; }));
    // Paused, the position stands still and seeking still works while the list has entries.
    controller.pause();
    waitForState(libvlc_Paused);

    EXPECT_EQ(seekFrom(10000, 1), 15000);
    EXPECT_EQ(seekFrom(17000, 1), 20000);
    EXPECT_EQ(seekFrom(15000, 1), 20000);
    EXPECT_EQ(seekFrom(12000, -1), 7000);
    EXPECT_EQ(seekFrom(5001, -1), 1);
    EXPECT_EQ(seekFrom(5000, -1), 0);
    EXPECT_EQ(seekFrom(4999, -1), 0);
}

TEST_F(PlayLogicTest, ForwardWhileTheLengthIsStillZeroGoesToTheStart)
{
    fakevlc_setMediaLength(0);
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    controller.pause();
    waitForState(libvlc_Paused);
    ASSERT_EQ(engine.getLength(), 0);
    EXPECT_EQ(seekFrom(3000, 1), 0);
}

TEST_F(PlayLogicTest, SeekWithNothingToSeekInSetsNoPosition)
{
    // Nothing playing and no list.
    EXPECT_FALSE(controller.seek(1));
    // A list, but the engine is stopped and has no position (libVLC answers -1).
    makeList({L"a.mp4"}, L"a.mp4");
    ASSERT_TRUE(engine.open(folder / L"a.mp4"));
    EXPECT_FALSE(controller.seek(1));
    EXPECT_FALSE(controller.seek(-1));
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_time"), -1) << fakeVlcCalls();
}

// ---- Volume and mute ----------------------------------------------------------------------

TEST_F(PlayLogicTest, VolumeStepsStayWithinZeroToHundredAndLeaveMuteFromSilence)
{
    controller.stepVolume(1);
    EXPECT_EQ(controller.volume, 100);
    for (int i = 0; i < 10; ++i)
        controller.stepVolume(-1);
    EXPECT_EQ(controller.volume, 0);
    controller.stepVolume(-1);
    EXPECT_EQ(controller.volume, 0);

    controller.setVolume(70);
    controller.toggleMute();
    EXPECT_EQ(controller.effectiveVolume(), 0);
    controller.stepVolume(1);
    EXPECT_FALSE(controller.muted);
    EXPECT_EQ(controller.volume, 10);

    controller.setVolume(70);
    controller.toggleMute();
    controller.stepVolume(-1);
    EXPECT_FALSE(controller.muted);
    EXPECT_EQ(controller.volume, 0);

    controller.setVolume(250);
    EXPECT_EQ(controller.volume, 100);
    controller.toggleMute();
    controller.setVolume(-3);
    EXPECT_EQ(controller.volume, 0);
    EXPECT_FALSE(controller.muted);
}

TEST_F(PlayLogicTest, AudioReachesTheEngineOnlyWithPlaybackUnderWayAndTheTimerReassertsIt)
{
    makeList({L"a.mp4"}, L"a.mp4");
    ASSERT_TRUE(engine.open(folder / L"a.mp4"));
    controller.setVolume(40);
    controller.toggleMute();
    EXPECT_EQ(engine.getVolume(), 100);
    EXPECT_FALSE(engine.isMuted());
    EXPECT_EQ(fakeVlcCallIndex("libvlc_audio_set_volume"), -1) << fakeVlcCalls();

    // Play applies the wanted state: muted, so the volume waits.
    controller.play();
    ASSERT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));
    EXPECT_TRUE(engine.isMuted());
    controller.toggleMute();
    EXPECT_FALSE(engine.isMuted());
    EXPECT_EQ(engine.getVolume(), 40);

    // Whatever changes the engine's audio behind our back is undone on the next tick.
    engine.setVolume(90);
    engine.toggleMute();
    controller.onTimer();
    EXPECT_EQ(engine.getVolume(), 40);
    EXPECT_FALSE(engine.isMuted());

    // Paused still counts as under way.
    controller.pause();
    waitForState(libvlc_Paused);
    controller.setVolume(60);
    EXPECT_EQ(engine.getVolume(), 60);
}

// ---- Previous and Next --------------------------------------------------------------------

TEST_F(PlayLogicTest, NextAndPreviousWrapAroundTheFolder)
{
    makeList({L"a.mp4", L"b.mp4", L"c.mp4"}, L"c.mp4");
    startPlaying(L"c.mp4");

    controller.stepFile(1);
    EXPECT_EQ(controller.playList.currentIndex(), 0);
    EXPECT_EQ(controller.currentPath, folder / L"a.mp4");
    EXPECT_TRUE(lastOpened(L"a.mp4"));
    EXPECT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));

    controller.stepFile(-1);
    EXPECT_EQ(controller.playList.currentIndex(), 2);
    EXPECT_EQ(controller.currentPath, folder / L"c.mp4");

    controller.stepFile(-1);
    EXPECT_EQ(controller.playList.currentIndex(), 1);
    EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
    EXPECT_TRUE(lastOpened(L"b.mp4"));
    EXPECT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));
    EXPECT_EQ(controller.playList.count(), 3);
}

TEST_F(PlayLogicTest, StepsNeedTwoEntriesAndACurrentOne)
{
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    const int before = fakevlc_callCount();
    controller.stepFile(1);
    controller.stepFile(-1);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_stop", before), -1) << fakeVlcCalls();
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_new_path", before), -1);

    // The opened path differs in case from the listing: no entry is current.
    ASSERT_TRUE(folder.addFile(L"b.mp4"));
    ASSERT_EQ(controller.playList.buildFromFolder(folder / L"A.MP4"), 2);
    controller.stepFile(1);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_new_path", before), -1) << fakeVlcCalls();
    EXPECT_TRUE(engine.isPlaying());
}

TEST_F(PlayLogicTest, NextDropsFilesThatFailToOpenAndPlaysTheOneAfter)
{
    makeList({L"a.mp4", L"bx.mp4", L"cx.mp4", L"d.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_refusePathsContaining("x.mp4");

    controller.stepFile(1);
    EXPECT_EQ(controller.playList.count(), 2);
    EXPECT_EQ(controller.playList.pathAt(1), folder / L"d.mp4");
    EXPECT_EQ(controller.playList.currentIndex(), 1);
    EXPECT_EQ(controller.currentPath, folder / L"d.mp4");
    EXPECT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));
}

TEST_F(PlayLogicTest, NextDroppingTheLastEntryWrapsToTheFirst)
{
    makeList({L"a.mp4", L"b.mp4", L"c.mp4", L"dx.mp4"}, L"c.mp4");
    startPlaying(L"c.mp4");
    fakevlc_refusePathsContaining("x.mp4");

    controller.stepFile(1);
    EXPECT_EQ(controller.playList.count(), 3);
    EXPECT_EQ(controller.playList.currentIndex(), 0);
    EXPECT_EQ(controller.currentPath, folder / L"a.mp4");
}

TEST_F(PlayLogicTest, PreviousDropsFilesThatFailToOpenAndPlaysTheOneBefore)
{
    makeList({L"a.mp4", L"bx.mp4", L"cx.mp4", L"d.mp4"}, L"d.mp4");
    startPlaying(L"d.mp4");
    fakevlc_refusePathsContaining("x.mp4");

    controller.stepFile(-1);
    EXPECT_EQ(controller.playList.count(), 2);
    EXPECT_EQ(controller.playList.currentIndex(), 0);
    EXPECT_EQ(controller.currentPath, folder / L"a.mp4");
    EXPECT_EQ(controller.playList.pathAt(1), folder / L"d.mp4");
    EXPECT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));
}

TEST_F(PlayLogicTest, PreviousFromTheFirstDropsAFailingLastAndWrapsOnDownwards)
{
    makeList({L"a.mp4", L"b.mp4", L"c.mp4", L"dx.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_refusePathsContaining("x.mp4");

    controller.stepFile(-1);
    EXPECT_EQ(controller.playList.count(), 3);
    EXPECT_EQ(controller.playList.currentIndex(), 2);
    EXPECT_EQ(controller.currentPath, folder / L"c.mp4");
}

TEST_F(PlayLogicTest, WhenNoFileOpensTheListEmptiesAndNothingPlays)
{
    makeList({L"a.mp4", L"b.mp4", L"c.mp4"}, L"b.mp4");
    startPlaying(L"b.mp4");
    fakevlc_refusePathsContaining(".mp4");
    const int before = fakevlc_callCount();

    controller.stepFile(-1);
    EXPECT_EQ(controller.playList.count(), 0);
    EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_play", before), -1) << fakeVlcCalls();
    waitForState(libvlc_Stopped);
}

TEST_F(PlayLogicTest, WithoutAnEngineStepsKeepTheList)
{
    makeList({L"a.mp4", L"b.mp4"}, L"a.mp4");
    controller.mediaPlayer = nullptr;
    controller.stepFile(1);
    EXPECT_EQ(controller.playList.count(), 2);
    EXPECT_EQ(controller.playList.currentIndex(), 0);
}

// ---- Files that open but cannot be played ---------------------------------------------------

// libVLC takes almost any path and fails only once it plays: in state Error, or at an end it
// reached without ever playing. A file the user chose is stopped and reported, once, and stays
// listed; the next tick finds nothing left to do.
TEST_F(PlayLogicTest, AChosenFileThatCannotPlayIsStoppedAndReportedOnce)
{
    std::vector<PlayLogicEvent> events;
    controller.eventCallback = [&](PlayLogicEvent event) { events.push_back(event); };
    makeList({L"a.mp4", L"bad.mp4"}, L"bad.mp4");
    for (int endInstead : {0, 1}) {
        events.clear();
        fakevlc_failPlayingPathsContaining("bad", endInstead);
        ASSERT_TRUE(controller.openFile(folder / L"bad.mp4"));
        ASSERT_TRUE(pumpUntil([&] { return !events.empty(); })) << "end instead: " << endInstead;
        waitForState(libvlc_Stopped);
        controller.onTimer();
        pumpFor(100);
        EXPECT_EQ(events, (std::vector<PlayLogicEvent>{PlayLogicEvent::Stopped, PlayLogicEvent::PlaybackFailed}));
        EXPECT_EQ(controller.playList.count(), 2);
        EXPECT_EQ(controller.currentPath, folder / L"bad.mp4");
    }
}

// Reached by Next (or the advance) or Previous, such a file is dropped and the step goes on in
// its direction, as for a file that fails to open.
TEST_F(PlayLogicTest, StepsSkipAFileThatCannotPlayInTheirDirection)
{
    makeList({L"a.mp4", L"bx.mp4", L"c.mp4", L"dy.mp4", L"e.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_failPlayingPathsContaining("x.mp4", 0);
    controller.stepFile(1);
    ASSERT_TRUE(pumpUntil([&] { return controller.currentPath == folder / L"c.mp4"; }));
    seePlaying();
    EXPECT_EQ(controller.playList.count(), 4);
    EXPECT_EQ(controller.playList.currentIndex(), 1);

    ASSERT_EQ(controller.playList.buildFromFolder(folder / L"e.mp4"), 5);
    startPlaying(L"e.mp4");
    fakevlc_failPlayingPathsContaining("y.mp4", 1);
    controller.stepFile(-1);
    ASSERT_TRUE(pumpUntil([&] { return controller.currentPath == folder / L"c.mp4"; }));
    seePlaying();
    EXPECT_EQ(controller.playList.count(), 4);
    EXPECT_EQ(controller.playList.currentIndex(), 2);
    EXPECT_EQ(controller.playList.pathAt(3), folder / L"e.mp4");
}

TEST_F(PlayLogicTest, WhenNoFileCanPlayTheStepsEmptyTheListInsteadOfCircling)
{
    makeList({L"a.mp4", L"b.mp4", L"c.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_failPlayingPathsContaining(".mp4", 0);
    controller.stepFile(1);
    ASSERT_TRUE(pumpUntil([&] { return controller.playList.count() == 0; })) << fakeVlcCalls();
    waitForState(libvlc_Stopped);
    const int before = fakevlc_callCount();
    controller.onTimer();
    pumpFor(100);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_play", before), -1) << fakeVlcCalls();
}

// A clip that ends before its Playing is handed over played all the same: the advance goes on.
TEST_F(PlayLogicTest, AClipThatEndsBeforeItsPlayingIsHandedOverCountsAsPlayed)
{
    fakevlc_setMediaLength(30);
    makeList({L"a.mp4", L"b.mp4"}, L"a.mp4");
    ASSERT_TRUE(controller.openFile(folder / L"a.mp4"));
    // This thread serves no message meanwhile: the hand-overs come after the end.
    ASSERT_TRUE(waitFor([&] { return engine.getState() == libvlc_Ended; }, 5000)) << "the clip did not end";
    pumpFor(100);
    controller.onTimer();
    EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
}

// ---- End of a file ------------------------------------------------------------------------

TEST_F(PlayLogicTest, AtTheEndTheTimerPlaysTheNextFileAndStopsAfterTheLast)
{
    makeList({L"a.mp4", L"b.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");

    fakevlc_jumpToEnd();
    waitForState(libvlc_Ended);
    controller.onTimer();
    EXPECT_EQ(controller.playList.currentIndex(), 1);
    EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
    seePlaying();

    fakevlc_jumpToEnd();
    waitForState(libvlc_Ended);
    const int before = fakevlc_callCount();
    controller.onTimer();
    waitForState(libvlc_Stopped);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_new_path", before), -1) << fakeVlcCalls();
    EXPECT_EQ(controller.playList.currentIndex(), 1);
}

// The advance never wraps: files after the last playable one that fail to open, or to play, are
// dropped, and the folder ends on the file that ended, loaded again.
TEST_F(PlayLogicTest, TheAdvanceStopsWhenTheFilesAfterTheLastPlayableOneFail)
{
    makeList({L"a.mp4", L"b.mp4", L"cx.mp4", L"dx.mp4"}, L"b.mp4");
    for (bool refused : {true, false}) {
        SCOPED_TRACE(refused ? "refused" : "cannot play");
        fakevlc_refusePathsContaining(refused ? "x.mp4" : nullptr);
        fakevlc_failPlayingPathsContaining(refused ? nullptr : "x.mp4", 1);
        ASSERT_EQ(controller.playList.buildFromFolder(folder / L"b.mp4"), 4);
        startPlaying(L"b.mp4");
        fakevlc_jumpToEnd();
        waitForState(libvlc_Ended);
        controller.onTimer();
        ASSERT_TRUE(pumpUntil([&] { return controller.playList.count() == 2; })) << fakeVlcCalls();
        pumpFor(200);
        controller.onTimer();
        EXPECT_FALSE(engine.isPlaying());
        EXPECT_EQ(controller.playList.currentIndex(), 1);
        EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
        EXPECT_TRUE(lastOpened(refused ? L"dx.mp4" : L"b.mp4"));
    }
}

TEST_F(PlayLogicTest, AtTheEndOfTheOnlyFileTheTimerStops)
{
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_jumpToEnd();
    waitForState(libvlc_Ended);
    const int before = fakevlc_callCount();
    controller.onTimer();
    waitForState(libvlc_Stopped);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_play", before), -1) << fakeVlcCalls();
}

TEST_F(PlayLogicTest, TheTimerLeavesAPausedFileAlone)
{
    makeList({L"a.mp4", L"b.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    controller.pause();
    waitForState(libvlc_Paused);
    engine.setVolume(30);
    const int before = fakevlc_callCount();
    controller.onTimer();
    EXPECT_EQ(engine.getVolume(), 30);
    EXPECT_EQ(engine.getState(), libvlc_Paused);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_stop", before), -1) << fakeVlcCalls();
}

// ---- Play, pause and stop -----------------------------------------------------------------

TEST_F(PlayLogicTest, PauseNeverResumesAndPlayDoes)
{
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    controller.pause();
    EXPECT_FALSE(engine.isPlaying());
    waitForState(libvlc_Paused);

    const int before = fakevlc_callCount();
    controller.pause();
    pumpFor(100);
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_player_set_pause", before), -1) << fakeVlcCalls();
    EXPECT_EQ(engine.getState(), libvlc_Paused);

    controller.play();
    EXPECT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));
}

TEST_F(PlayLogicTest, StopWaitsForTheEngineAndStopWhileStoppedChangesNothing)
{
    stoppedEvents = 0;
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");

    controller.stop();
    EXPECT_FALSE(engine.isPlaying());
    ASSERT_TRUE(pumpUntil([] { return stoppedEvents == 1; }));

    controller.stop();
    pumpFor(150);
    EXPECT_EQ(stoppedEvents, 1);
    EXPECT_EQ(engine.getState(), libvlc_Stopped);
}

// What the shell hears: every stop once the engine has stopped (also a stop while stopped, so
// the position display follows), and every change of the wanted volume or mute state.
TEST_F(PlayLogicTest, ReportsEachStopAfterTheEngineStoppedAndEachVolumeChange)
{
    std::vector<PlayLogicEvent> events;
    bool playingWhenStopReported = true;
    controller.eventCallback = [&](PlayLogicEvent event) {
        events.push_back(event);
        if (event == PlayLogicEvent::Stopped)
            playingWhenStopReported = engine.isPlaying();
    };
    makeList({L"a.mp4", L"b.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    controller.stop();
    EXPECT_FALSE(playingWhenStopReported);
    controller.stop();
    controller.setVolume(40);
    controller.toggleMute();
    controller.stepVolume(1);
    const std::vector<PlayLogicEvent> expected = {PlayLogicEvent::Stopped, PlayLogicEvent::Stopped,
                                                  PlayLogicEvent::VolumeChanged, PlayLogicEvent::VolumeChanged,
                                                  PlayLogicEvent::VolumeChanged};
    EXPECT_EQ(events, expected);

    events.clear();
    controller.stepFile(1); // a step stops the file it leaves first
    EXPECT_EQ(events, std::vector<PlayLogicEvent>{PlayLogicEvent::Stopped});
    EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
}

// An engine that keeps reporting "playing" long after being told to stop or pause: the
// controller gives up waiting and carries on. (Each case lasts until the double catches up.)
TEST_F(PlayLogicTest, StepGivesUpWaitingForAnEngineThatKeepsPlayingAndMovesOn)
{
    makeList({L"a.mp4", L"b.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_keepPlaying(10000);

    controller.stepFile(1);
    EXPECT_EQ(controller.playList.currentIndex(), 1);
    EXPECT_EQ(controller.currentPath, folder / L"b.mp4");
    EXPECT_TRUE(lastOpened(L"b.mp4"));
}

TEST_F(PlayLogicTest, PauseGivesUpWaitingForAnEngineThatKeepsPlaying)
{
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_keepPlaying(10000);

    controller.pause();
    // Back while the engine still reports playing: the wait was cut short, not satisfied.
    EXPECT_TRUE(engine.isPlaying());
}

// After a pause whose wait ran out the engine still reports playing, so a second Space pauses
// again: once the engine catches up, that second pause must not have undone the first.
TEST_F(PlayLogicTest, ASecondPauseAfterOneThatTimedOutNeverResumes)
{
    makeList({L"a.mp4"}, L"a.mp4");
    startPlaying(L"a.mp4");
    fakevlc_keepPlaying(4000);
    controller.pause();
    ASSERT_TRUE(engine.isPlaying()) << "the first wait was to run out";
    controller.pause();
    waitForState(libvlc_Paused);
    pumpFor(300);
    EXPECT_EQ(engine.getState(), libvlc_Paused);
}

} // namespace
