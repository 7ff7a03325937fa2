// The media engine against the libvlc test double: start-up options, opening files, teardown
// order, and safety without a player.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "videoplayer/playback/MediaPlayer.h"

namespace {

class MediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { fakevlc_reset(); }
    void TearDown() override { EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault(); }

    std::string lastPath()
    {
        char buffer[1024];
        const int n = fakevlc_lastMediaPath(buffer, sizeof(buffer));
        return std::string(buffer, static_cast<size_t>(n < 1023 ? n : 1023));
    }
};

TEST_F(MediaPlayerTest, InitPassesTheThreeOptionsAndSwitchesInputOff)
{
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    EXPECT_STREQ(fakevlc_lastOptions(), "--no-video-title-show --no-keyboard-events --no-mouse-events");
    EXPECT_NE(engine.eventManager, nullptr);
    EXPECT_GE(fakeVlcCallIndex("libvlc_video_set_key_input"), 0);
    EXPECT_GE(fakeVlcCallIndex("libvlc_video_set_mouse_input"), 0);
}

TEST_F(MediaPlayerTest, InitFailsWhenLibVlcCannotStart)
{
    fakevlc_failNew(1);
    MediaPlayer engine;
    EXPECT_FALSE(engine.init());
    EXPECT_EQ(engine.vlcPlayer, nullptr);
}

TEST_F(MediaPlayerTest, ReleaseFreesThePlayerBeforeTheInstanceAndThenCallsNothing)
{
    {
        MediaPlayer engine;
        ASSERT_TRUE(engine.init());
        engine.release();
        const int player = fakeVlcCallIndex("libvlc_media_player_release");
        const int instance = fakeVlcCallIndex("libvlc_release");
        ASSERT_GE(player, 0);
        EXPECT_GT(instance, player) << fakeVlcCalls();
        const int callsAfterRelease = fakevlc_callCount();
        engine.play();
        engine.setTime(100);
        EXPECT_EQ(engine.getState(), 0);
        EXPECT_EQ(fakevlc_callCount(), callsAfterRelease) << fakeVlcCalls();
    }
    EXPECT_EQ(fakevlc_livePlayers(), 0);
    EXPECT_EQ(fakevlc_liveInstances(), 0);
}

TEST_F(MediaPlayerTest, EveryOperationIsSafeWithoutAPlayer)
{
    MediaPlayer engine;
    engine.attachEvents();
    engine.setWindow(nullptr);
    EXPECT_FALSE(engine.open(L"C:\\clip.mp4"));
    engine.play();
    engine.pause();
    engine.stop();
    engine.setTime(5);
    engine.toggleMute();
    EXPECT_FALSE(engine.isPlaying());
    EXPECT_FALSE(engine.isMuted());
    EXPECT_FALSE(engine.setVolume(50));
    EXPECT_EQ(engine.getTime(), 0);
    EXPECT_EQ(engine.getLength(), 0);
    EXPECT_EQ(engine.getVolume(), 0);
    EXPECT_EQ(engine.getState(), 0);
    EXPECT_EQ(fakevlc_callCount(), 0) << fakeVlcCalls();
}

TEST_F(MediaPlayerTest, OpenHandsLibVlcTheUtf8Path)
{
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    const std::wstring accents(100, L'\x00E9');
    ASSERT_TRUE(engine.open(accents));
    const std::string path = lastPath();
    EXPECT_EQ(path.size(), 200u);
    EXPECT_EQ(static_cast<unsigned char>(path[0]), 0xC3u);
    EXPECT_EQ(static_cast<unsigned char>(path[1]), 0xA9u);
}

TEST_F(MediaPlayerTest, OpenRefusesAPathTooLongForLibVlcInsteadOfCuttingIt)
{
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    const int before = fakevlc_callCount();
    // 130 two-byte characters: 260 bytes, one more than libVLC's buffer holds.
    EXPECT_FALSE(engine.open(std::wstring(130, L'\x00E9')));
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_new_path", before), -1) << fakeVlcCalls();
    // 259 bytes exactly still fit.
    EXPECT_TRUE(engine.open(L"a" + std::wstring(129, L'\x00E9')));
    EXPECT_EQ(lastPath().size(), 259u);
}

// A lone surrogate has no UTF-8 form; made U+FFFD it would name another file. A proper pair
// converts to its four bytes.
TEST_F(MediaPlayerTest, OpenRefusesAPathWithALoneSurrogateAndTakesAPair)
{
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    const int before = fakevlc_callCount();
    EXPECT_FALSE(engine.open(L"C:\\v\\a\xD800" L"b.mp4"));
    EXPECT_FALSE(engine.open(L"C:\\v\\a\xDC00.mp4"));
    EXPECT_FALSE(engine.open(L"C:\\v\\a.mp4\xD83D"));
    EXPECT_EQ(fakeVlcCallIndex("libvlc_media_new_path", before), -1) << fakeVlcCalls();
    EXPECT_TRUE(engine.open(L"C:\\v\\\xD83D\xDE00.mp4"));
    EXPECT_EQ(lastPath(), "C:\\v\\\xF0\x9F\x98\x80.mp4");
}

TEST_F(MediaPlayerTest, OpenWhilePlayingStopsFirstAndLeavesTheNewMediaStopped)
{
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    ASSERT_TRUE(engine.open(L"C:\\one.mp4"));
    engine.play();
    ASSERT_TRUE(pumpUntil([&] { return engine.isPlaying(); }));
    const int before = fakevlc_callCount();
    ASSERT_TRUE(engine.open(L"C:\\two.mp4"));
    const int stop = fakeVlcCallIndex("libvlc_media_player_stop", before);
    const int media = fakeVlcCallIndex("libvlc_media_new_path", before);
    ASSERT_GE(stop, 0) << fakeVlcCalls();
    EXPECT_LT(stop, media);
    EXPECT_EQ(lastPath(), "C:\\two.mp4");
    pumpFor(100);
    EXPECT_FALSE(engine.isPlaying());
}

TEST_F(MediaPlayerTest, OpenFailsWhenLibVlcRefusesThePath)
{
    fakevlc_refusePathsContaining("bad");
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    EXPECT_FALSE(engine.open(L"C:\\bad.mp4"));
    EXPECT_TRUE(engine.open(L"C:\\good.mp4"));
}

TEST_F(MediaPlayerTest, ToggleMuteTwiceRestoresTheStartingState)
{
    MediaPlayer engine;
    ASSERT_TRUE(engine.init());
    const bool start = engine.isMuted();
    engine.toggleMute();
    EXPECT_NE(engine.isMuted(), start);
    engine.toggleMute();
    EXPECT_EQ(engine.isMuted(), start);
    EXPECT_TRUE(engine.setVolume(40));
    EXPECT_EQ(engine.getVolume(), 40);
}

} // namespace
