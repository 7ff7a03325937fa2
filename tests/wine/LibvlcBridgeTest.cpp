// Real playback through the Wine libvlc.dll bridge and the Linux libVLC: events on Wine threads,
// time, the video child window with its letterboxed picture, and releasing while events flow.
// Needs WINEDLLPATH naming the bridge's folder and QUILLET_TEST_MEDIA the clips' Unix folder.
#include <windows.h>

#include <vlc/vlc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace {

// The clips made by make_clips.sh: testsrc 320x240 with sound, 3 s; a plain-colour 320x240 clip
// with a 2:1 sample aspect (shown as 640x240), 2 s, under a name outside ASCII.
const wchar_t kTestClip[] = L"clip.mp4";
const wchar_t kWideClip[] = L"vid\u00e9o-\u00f1-\u65e5\u672c.mp4";

const int kSurfaceWidth = 640;
const int kSurfaceHeight = 360;
const UINT kEventNoted = WM_APP + 1;

bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    return true;
}

void pumpFor(DWORD ms)
{
    pumpUntil([] { return false; }, ms);
}

// The Windows path of a clip, as the player would pass it: the Unix folder seen through Z:.
std::wstring clipPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"QUILLET_TEST_MEDIA", folder, MAX_PATH);
    std::wstring path = std::wstring(L"Z:") + folder + L"/" + name;
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path;
}

std::string utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &result[0], size, nullptr, nullptr);
    result.resize(size - 1);
    return result;
}

// What the callbacks saw. They run on the bridge's delivery thread, so everything is locked.
struct EventLog {
    std::mutex lock;
    std::vector<int> types;
    std::vector<libvlc_time_t> times;
    bool allOnProcessThreads = true;
    bool sendTimedOut = false;
    std::atomic<HWND> notify{ nullptr }; // when set, each event is also sent to this window
    HANDLE aboutToSend = nullptr;        // set (when given) just before such a send

    int count(int type)
    {
        std::lock_guard<std::mutex> hold(lock);
        return int(std::count(types.begin(), types.end(), type));
    }
    int total()
    {
        std::lock_guard<std::mutex> hold(lock);
        return int(types.size());
    }
    int indexOf(int type)
    {
        std::lock_guard<std::mutex> hold(lock);
        auto it = std::find(types.begin(), types.end(), type);
        return it == types.end() ? -1 : int(it - types.begin());
    }
};

// A thread Wine does not know has no Win32 identity: opening it by its id fails.
bool onThreadOfThisProcess()
{
    HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, GetCurrentThreadId());
    if (!thread)
        return false;
    const bool ours = GetProcessIdOfThread(thread) == GetCurrentProcessId();
    CloseHandle(thread);
    return ours;
}

void recordEvent(const libvlc_event_t* event, void* data)
{
    auto* log = static_cast<EventLog*>(data);
    const bool ours = onThreadOfThisProcess();
    bool timedOut = false;
    if (HWND window = log->notify) {
        if (log->aboutToSend)
            SetEvent(log->aboutToSend);
        // Waits for the test's thread; the time-out only turns a hang into a failure.
        DWORD_PTR result = 0;
        timedOut = !SendMessageTimeoutW(window, kEventNoted, event->type, 0, SMTO_NORMAL, 10000, &result);
    }
    std::lock_guard<std::mutex> hold(log->lock);
    log->sendTimedOut = log->sendTimedOut || timedOut;
    log->types.push_back(event->type);
    if (event->type == libvlc_MediaPlayerTimeChanged)
        log->times.push_back(event->u.media_player_time_changed.new_time);
    log->allOnProcessThreads = log->allOnProcessThreads && ours;
}

std::atomic<int> sentMessagesServed{ 0 };

LRESULT CALLBACK surfaceProc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    if (message == kEventNoted) {
        ++sentMessagesServed;
        return 0;
    }
    return DefWindowProcW(window, message, wp, lp);
}

// The pixels of a window's client area, read back through its DC.
struct Capture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;

    explicit Capture(HWND window)
    {
        RECT client;
        GetClientRect(window, &client);
        width = client.right;
        height = client.bottom;
        if (width <= 0 || height <= 0)
            return;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        HDC source = GetDC(window);
        HDC memory = CreateCompatibleDC(source);
        void* bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
        GdiFlush();
        pixels.assign(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + width * height);
        SelectObject(memory, old);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(window, source);
    }

    bool dark(int x, int y) const
    {
        const uint32_t p = pixels[size_t(y) * width + x];
        return (p & 0xff) < 24 && ((p >> 8) & 0xff) < 24 && ((p >> 16) & 0xff) < 24;
    }
    // Share of non-dark pixels in a rectangle, sampled every 4 pixels.
    double litShare(int left, int top, int right, int bottom) const
    {
        int lit = 0, all = 0;
        for (int y = top; y < bottom; y += 4)
            for (int x = left; x < right; x += 4, ++all)
                lit += !dark(x, y);
        return all ? double(lit) / all : 0.0;
    }
    // First and last non-dark position along a row (horizontal) or column, or -1.
    std::pair<int, int> litSpan(bool horizontal, int at) const
    {
        const int length = horizontal ? width : height;
        int first = -1, last = -1;
        for (int i = 0; i < length; ++i)
            if (!(horizontal ? dark(i, at) : dark(at, i))) {
                if (first < 0)
                    first = i;
                last = i;
            }
        return { first, last };
    }
};

class LibvlcBridgeTest : public ::testing::Test {
protected:
    libvlc_instance_t* instance = nullptr;
    libvlc_media_player_t* player = nullptr;
    HWND frame = nullptr;
    HWND surface = nullptr;
    EventLog log;

    void SetUp() override
    {
        const char* options[] = { "--no-video-title-show", "--no-keyboard-events", "--no-mouse-events" };
        instance = libvlc_new(3, options);
        ASSERT_NE(instance, nullptr);
        player = libvlc_media_player_new(instance);
        ASSERT_NE(player, nullptr);
        libvlc_video_set_key_input(player, 0);
        libvlc_video_set_mouse_input(player, 0);
        createWindows();
        ASSERT_NE(surface, nullptr);
        libvlc_media_player_set_hwnd(player, surface);
        sentMessagesServed = 0;
    }

    void TearDown() override
    {
        if (player)
            libvlc_media_player_release(player);
        if (instance)
            libvlc_release(instance);
        if (frame)
            DestroyWindow(frame);
    }

    void createWindows()
    {
        HINSTANCE module = GetModuleHandleW(nullptr);
        WNDCLASSW frameClass = {};
        frameClass.lpfnWndProc = DefWindowProcW;
        frameClass.hInstance = module;
        frameClass.lpszClassName = L"BridgeTestFrame";
        RegisterClassW(&frameClass);
        WNDCLASSW surfaceClass = {};
        surfaceClass.lpfnWndProc = surfaceProc;
        surfaceClass.hInstance = module;
        surfaceClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        surfaceClass.lpszClassName = L"BridgeTestSurface";
        RegisterClassW(&surfaceClass);

        RECT outer = { 0, 0, kSurfaceWidth, kSurfaceHeight };
        AdjustWindowRect(&outer, WS_OVERLAPPEDWINDOW, FALSE);
        frame = CreateWindowW(L"BridgeTestFrame", L"libvlc bridge", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40,
                              40, outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                              module, nullptr);
        surface = CreateWindowW(L"BridgeTestSurface", L"", WS_CHILD | WS_VISIBLE, 0, 0, kSurfaceWidth,
                                kSurfaceHeight, frame, nullptr, module, nullptr);
        pumpFor(50);
    }

    void attach(std::initializer_list<libvlc_event_type_t> types)
    {
        libvlc_event_manager_t* events = libvlc_media_player_event_manager(player);
        ASSERT_NE(events, nullptr);
        for (libvlc_event_type_t type : types)
            ASSERT_EQ(libvlc_event_attach(events, type, recordEvent, &log), 0);
    }

    void play(const wchar_t* clip)
    {
        const std::string path = utf8(clipPath(clip));
        libvlc_media_t* media = libvlc_media_new_path(instance, path.c_str());
        ASSERT_NE(media, nullptr) << path;
        libvlc_media_player_set_media(player, media);
        libvlc_media_release(media); // the player keeps its own reference
        ASSERT_EQ(libvlc_media_player_play(player), 0);
    }

    HWND videoChild() const { return GetWindow(surface, GW_CHILD); }

    bool showingPicture()
    {
        HWND child = videoChild();
        if (!child || !IsWindowVisible(child))
            return false;
        Capture shot(child);
        return shot.width > 0 && shot.litShare(0, 0, shot.width, shot.height) > 0.2;
    }

    void waitForTime(libvlc_time_t ms)
    {
        ASSERT_TRUE(pumpUntil([&] { return libvlc_media_player_get_time(player) >= ms; }, 15000))
            << "time stayed at " << libvlc_media_player_get_time(player);
    }
};

TEST_F(LibvlcBridgeTest, PlaysToTheEndWithEventsOnWineThreads)
{
    attach({ libvlc_MediaPlayerPlaying, libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerEndReached,
             libvlc_MediaPlayerStopped });
    log.notify = surface; // callbacks send to this thread, which keeps pumping
    play(kTestClip);
    ASSERT_TRUE(pumpUntil([&] { return log.count(libvlc_MediaPlayerEndReached) > 0; }, 20000));

    EXPECT_EQ(libvlc_media_player_get_state(player), libvlc_Ended);
    const libvlc_time_t length = libvlc_media_player_get_length(player);
    EXPECT_GT(length, 2500);
    EXPECT_LT(length, 3500);
    EXPECT_TRUE(log.allOnProcessThreads);
    EXPECT_FALSE(log.sendTimedOut) << "every callback's SendMessage to this thread was served";
    EXPECT_GT(sentMessagesServed.load(), 0);
    EXPECT_GE(log.indexOf(libvlc_MediaPlayerPlaying), 0);
    EXPECT_LT(log.indexOf(libvlc_MediaPlayerPlaying), log.indexOf(libvlc_MediaPlayerEndReached));
    std::lock_guard<std::mutex> hold(log.lock);
    ASSERT_GE(log.times.size(), 2u);
    EXPECT_TRUE(std::is_sorted(log.times.begin(), log.times.end()));
    EXPECT_GT(log.times.back(), 1500);
}

TEST_F(LibvlcBridgeTest, VideoChildShowsPictureRepaintsWhilePausedAndHidesOnStop)
{
    play(kTestClip);
    ASSERT_TRUE(pumpUntil([&] { return showingPicture(); }, 15000));
    HWND child = videoChild();
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    EXPECT_TRUE(style & WS_DISABLED);
    EXPECT_TRUE(style & WS_CHILD);
    RECT box;
    GetWindowRect(child, &box);
    EXPECT_EQ(SendMessageW(child, WM_NCHITTEST, 0, MAKELPARAM(box.left + 10, box.top + 10)), HTTRANSPARENT);
    const POINT middle = { (box.left + box.right) / 2, (box.top + box.bottom) / 2 };
    EXPECT_EQ(WindowFromPoint(middle), surface) << "the mouse reaches the window underneath";

    libvlc_media_player_pause(player);
    ASSERT_TRUE(pumpUntil([&] { return libvlc_media_player_get_state(player) == libvlc_Paused; }, 5000));
    // An expose: the pixels are gone and the window is invalid; the paused picture comes back
    // (from the window's repaint or from libVLC, which re-displays a paused picture now and then).
    HDC dc = GetDC(child);
    RECT all = { 0, 0, kSurfaceWidth, kSurfaceHeight };
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(child, dc);
    ASSERT_FALSE(showingPicture());
    InvalidateRect(child, nullptr, TRUE);
    EXPECT_TRUE(pumpUntil([&] { return showingPicture(); }, 5000)) << "an expose while paused repaints";

    libvlc_media_player_stop(player);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindowVisible(videoChild()); }, 5000));
}

TEST_F(LibvlcBridgeTest, NonAsciiPathPlaysLetterboxedWithSampleAspectApplied)
{
    attach({ libvlc_MediaPlayerEncounteredError, libvlc_MediaPlayerEndReached });
    play(kWideClip);
    ASSERT_TRUE(pumpUntil([&] { return showingPicture(); }, 15000))
        << "state " << libvlc_media_player_get_state(player);

    // 320x240 with 2:1 pixels shows as 640x240: full width, bars of 60 above and below.
    Capture wide(videoChild());
    EXPECT_NEAR(wide.litSpan(false, kSurfaceWidth / 2).first, 60, 2);
    EXPECT_NEAR(wide.litSpan(false, kSurfaceWidth / 2).second, 299, 2);
    EXPECT_NEAR(wide.litSpan(true, kSurfaceHeight / 2).first, 0, 2);
    EXPECT_NEAR(wide.litSpan(true, kSurfaceHeight / 2).second, kSurfaceWidth - 1, 2);

    // Paused, the child follows the parent to 480x360: the picture becomes 480x180.
    libvlc_media_player_pause(player);
    ASSERT_TRUE(pumpUntil([&] { return libvlc_media_player_get_state(player) == libvlc_Paused; }, 5000));
    SetWindowPos(surface, nullptr, 0, 0, 480, 360, SWP_NOZORDER | SWP_NOMOVE);
    auto narrowed = [&] {
        RECT r;
        GetClientRect(videoChild(), &r);
        if (r.right != 480 || r.bottom != 360)
            return false;
        Capture shot(videoChild());
        const auto column = shot.litSpan(false, 240);
        return std::abs(column.first - 90) <= 2 && std::abs(column.second - 269) <= 2
               && shot.litSpan(true, 180).second >= 477;
    };
    EXPECT_TRUE(pumpUntil(narrowed, 5000));

    libvlc_media_player_play(player);
    ASSERT_TRUE(pumpUntil([&] { return log.count(libvlc_MediaPlayerEndReached) > 0; }, 20000));
    EXPECT_EQ(log.count(libvlc_MediaPlayerEncounteredError), 0);
}

// Plain-colour clips whose pictures reach the output in less common shapes each fill exactly
// their letterbox in the 640x360 surface: the visible size is asked for, not the decoder's
// padded buffer, and a picture stored turned a quarter comes out upright.
TEST_F(LibvlcBridgeTest, EveryDecodedShapeFillsItsLetterbox)
{
    struct Case {
        const wchar_t* clip;
        int left, right, top, bottom;
    };
    const Case cases[] = {
        { L"odd.mp4", 100, 539, 0, 359 },     // 175x143 in 4:4:4, padded to 176x162 by the decoder
        { L"ten-bit.mp4", 80, 559, 0, 359 },  // 320x240 from a 10-bit source
        { L"turned.mp4", 185, 454, 0, 359 },  // 320x240 stored turned: 240x320 upright
        { L"cinepak.mp4", 80, 559, 0, 359 },  // Cinepak from RGB, decoded as 24-bit RGB
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(utf8(c.clip)));
        play(c.clip);
        ASSERT_TRUE(pumpUntil([&] { return libvlc_media_player_get_state(player) == libvlc_Playing; }, 15000));
        ASSERT_TRUE(pumpUntil([&] { return showingPicture(); }, 15000))
            << "state " << libvlc_media_player_get_state(player);
        libvlc_media_player_pause(player);
        ASSERT_TRUE(pumpUntil([&] { return libvlc_media_player_get_state(player) == libvlc_Paused; }, 5000));
        Capture shot(videoChild());
        const auto row = shot.litSpan(true, kSurfaceHeight / 2);
        const auto column = shot.litSpan(false, kSurfaceWidth / 2);
        EXPECT_NEAR(row.first, c.left, 2);
        EXPECT_NEAR(row.second, c.right, 2);
        EXPECT_NEAR(column.first, c.top, 2);
        EXPECT_NEAR(column.second, c.bottom, 2);
        libvlc_media_player_stop(player);
        // The next clip's picture must not be mistaken for this one's.
        ASSERT_TRUE(pumpUntil([&] { return !IsWindowVisible(videoChild()); }, 5000));
    }
}

TEST_F(LibvlcBridgeTest, ReleaseWhileEventsFlowServesCallbacksAndEndsDelivery)
{
    attach({ libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerPositionChanged, libvlc_MediaPlayerStopped });
    play(kTestClip);
    ASSERT_TRUE(pumpUntil([&] { return log.count(libvlc_MediaPlayerTimeChanged) >= 2; }, 15000));

    // Let the next callback block in SendMessage to this thread, then release from here: the
    // release must serve that message while it waits for the callback to finish.
    log.aboutToSend = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    log.notify = surface;
    ASSERT_EQ(WaitForSingleObject(log.aboutToSend, 15000), WAIT_OBJECT_0);
    libvlc_media_player_release(player);
    player = nullptr;
    CloseHandle(log.aboutToSend);
    log.aboutToSend = nullptr;
    EXPECT_FALSE(log.sendTimedOut);
    EXPECT_GE(sentMessagesServed.load(), 1);

    const int delivered = log.total();
    pumpFor(500);
    EXPECT_EQ(log.total(), delivered) << "no callback after the release returned";
}

TEST_F(LibvlcBridgeTest, DetachEndsDeliveryAtOnce)
{
    attach({ libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerPositionChanged });
    play(kTestClip);
    ASSERT_TRUE(pumpUntil([&] { return log.count(libvlc_MediaPlayerTimeChanged) >= 2; }, 15000));

    libvlc_event_manager_t* events = libvlc_media_player_event_manager(player);
    libvlc_event_detach(events, libvlc_MediaPlayerTimeChanged, recordEvent, &log);
    libvlc_event_detach(events, libvlc_MediaPlayerPositionChanged, recordEvent, &log);
    const int delivered = log.total();
    const libvlc_time_t when = libvlc_media_player_get_time(player);
    waitForTime(when + 600); // time goes on, its events do not reach us
    EXPECT_EQ(log.total(), delivered);
}

// Releases its own player from inside its first TimeChanged callback.
struct SelfRelease {
    libvlc_media_player_t* player = nullptr;
    std::atomic<int> calls{ 0 };
    std::atomic<bool> released{ false };
};

void releaseFromCallback(const libvlc_event_t*, void* data)
{
    auto* self = static_cast<SelfRelease*>(data);
    if (++self->calls == 1) {
        libvlc_media_player_release(self->player);
        self->released = true;
    }
}

TEST_F(LibvlcBridgeTest, CallbackMayReleaseItsOwnPlayer)
{
    SelfRelease self;
    self.player = player;
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(player);
    ASSERT_EQ(libvlc_event_attach(events, libvlc_MediaPlayerTimeChanged, releaseFromCallback, &self), 0);
    play(kTestClip);
    player = nullptr; // the callback owns it now

    ASSERT_TRUE(pumpUntil([&] { return self.released.load(); }, 15000)) << "release inside the callback hung";
    pumpFor(300);
    EXPECT_EQ(self.calls.load(), 1);
}

TEST(LibvlcBridgeOptions, UnknownOptionsAreDroppedNotFatal)
{
    const char* options[] = { "--no-video-title-show", "--directx-hw-yuv", "--no-mouse-events",
                              "--no-such-option-anywhere" };
    libvlc_instance_t* instance = libvlc_new(4, options);
    EXPECT_NE(instance, nullptr);
    if (instance)
        libvlc_release(instance);
}

} // namespace
