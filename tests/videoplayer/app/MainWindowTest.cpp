// The main window on the libvlc test double: sizes and layout at the run's display scale (scripts/test.sh
// runs MainWindowScaleTest at 96, 144 and 192 DPI), full screen, placement, caption, commands, file loading.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WindowDriver.h"
#include "tests/videoplayer/app/PlayerFixture.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/MainWindow.h"
#include "videoplayer/app/Settings.h"
#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/playback/PlayLogic.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/PlayBar.h"
#include "videoplayer/ui/PlayWnd.h"

namespace {

using MainWindowTest = PlayerFixture;

RECT workArea()
{
    RECT area;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT windowRect(HWND window)
{
    RECT rc;
    GetWindowRect(window, &rc);
    return rc;
}

// Counts the captions set on a window while it lives: setting an unchanged one still redraws.
class CaptionSetCounter {
public:
    explicit CaptionSetCounter(HWND window) : window(window)
    {
        SetWindowSubclass(window, &CaptionSetCounter::proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~CaptionSetCounter() { RemoveWindowSubclass(window, &CaptionSetCounter::proc, 1); }
    int count = 0;

private:
    static LRESULT CALLBACK proc(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self)
    {
        if (m == WM_SETTEXT)
            ++reinterpret_cast<CaptionSetCounter*>(self)->count;
        return DefSubclassProc(w, m, wp, lp);
    }
    HWND window;
};

int height(const RECT& rc) { return rc.bottom - rc.top; }
int width(const RECT& rc) { return rc.right - rc.left; }
bool same(RECT a, RECT b) { return EqualRect(&a, &b) != 0; }

RECT placeOnBar(int id)
{
    RECT rc;
    GetWindowRect(GetDlgItem(app.controlBar->window(), id), &rc);
    MapWindowPoints(HWND_DESKTOP, app.controlBar->window(), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

// The layout at each scale, written out from the 96-DPI one: the bar's height, Play's place on it,
// the first client size (none where the 1280 x 800 screen cannot hold it) and the smallest.
struct AtScale {
    int dpi, barHeight;
    RECT play;
    SIZE firstClient, minimumClient;
};
const AtScale scales[] = {
    {96, 36, {38, 2, 74, 34}, {672, 456}, {480, 336}},
    {144, 54, {58, 3, 112, 51}, {1008, 684}, {720, 504}},
    {192, 72, {76, 4, 148, 68}, {0, 0}, {960, 672}},
};

// The scale test.sh gave the prefix (a LogPixels that did not take shows as a 96-DPI layout).
class MainWindowScaleTest : public PlayerFixture {
protected:
    void SetUp() override
    {
        PlayerFixture::SetUp();
        const char* wanted = std::getenv("QUILLET_TEST_DPI");
        for (const AtScale& candidate : scales)
            at = candidate.dpi == (wanted ? std::atoi(wanted) : 96) ? &candidate : at;
        ASSERT_NE(at, nullptr) << "no layout written down for " << wanted << " DPI";
    }
    const AtScale* at = nullptr;
};

// Answers the next message box with this caption from another thread and keeps its text.
class MessageBoxAnswer {
public:
    explicit MessageBoxAnswer(const wchar_t* caption)
        : worker([this, caption] {
              HWND box = waitForWindow(L"#32770", caption, 5000);
              if (!box)
                  return;
              text = messageBoxText(box);
              found = true; // before the click, which lets the code under test go on
              clickButton(box, IDOK);
          })
    {
    }
    ~MessageBoxAnswer() { worker.join(); }
    std::atomic<bool> found{false};
    std::wstring text;

private:
    std::thread worker;
};

TEST_F(MainWindowScaleTest, FirstStartWithoutPlacementGetsTheDefaultSizeCentred)
{
    ASSERT_TRUE(startPlayer());
    ASSERT_EQ(app.controlBar->barHeight(), at->barHeight);
    const RECT client = clientRect();
    EXPECT_TRUE(!at->firstClient.cx || (client.right == at->firstClient.cx && client.bottom == at->firstClient.cy));
    const RECT outer = windowRect(app.mainWindow), area = workArea();
    EXPECT_TRUE(width(outer) <= width(area) && height(outer) <= height(area));
    EXPECT_LE(std::abs((outer.left - area.left) - (area.right - outer.right)), 1);
    EXPECT_LE(std::abs((outer.top - area.top) - (area.bottom - outer.bottom)), 1);
    // Video above the bar, the bar along the bottom, its buttons where the scale puts them.
    RECT video, bar;
    GetClientRect(app.videoSurface->hwnd, &video);
    GetWindowRect(app.controlBar->window(), &bar);
    EXPECT_EQ(video.right, client.right);
    EXPECT_EQ(video.bottom, client.bottom - at->barHeight);
    EXPECT_EQ(height(bar), at->barHeight);
    EXPECT_TRUE(same(placeOnBar(IDC_BAR_PLAY), at->play));
    EXPECT_EQ(client.right - placeOnBar(IDC_BAR_MUTE).right, placeOnBar(IDC_BAR_OPEN).left); // the same margin
}

TEST_F(MainWindowScaleTest, ResizingBelowTheMinimumsSnapsBack)
{
    ASSERT_TRUE(startPlayer());
    SetWindowPos(app.mainWindow, nullptr, 0, 0, 200, 150, SWP_NOMOVE | SWP_NOZORDER);
    const RECT client = clientRect();
    EXPECT_EQ(client.right, at->minimumClient.cx);
    EXPECT_EQ(client.bottom, at->minimumClient.cy);
}

// Saved at another scale or on a larger screen, a placement comes back whole on the work area.
TEST_F(MainWindowScaleTest, APlacementFromElsewhereComesBackOnTheWorkArea)
{
    app.placementValid = 1;
    app.placement = {sizeof(WINDOWPLACEMENT), 0, SW_SHOWNORMAL, {}, {}, {700, 500, 1500, 1100}};
    ASSERT_TRUE(startPlayer());
    RECT outer = windowRect(app.mainWindow), area = workArea(), both;
    EXPECT_TRUE(IntersectRect(&both, &outer, &area) && same(both, outer));
}

// Moved to a monitor of another scale, the window takes the rectangle Windows suggests and is laid
// out and drawn for that scale; back at its own, everything is where it was.
TEST_F(MainWindowScaleTest, ADpiChangeTakesTheSuggestedRectangleAndLaysOutForTheScale)
{
    ASSERT_TRUE(startPlayer());
    const RECT before = windowRect(app.mainWindow), at192 = {60, 40, 1160, 780};
    SendMessageW(app.mainWindow, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&at192));
    EXPECT_TRUE(same(windowRect(app.mainWindow), at192));
    EXPECT_EQ(height(windowRect(app.controlBar->window())), 72);
    EXPECT_TRUE(same(placeOnBar(IDC_BAR_PLAY), {76, 4, 148, 68}));
    EXPECT_EQ(app.videoSurface->logo->GetWidth(), 256u);
    SendMessageW(app.mainWindow, WM_DPICHANGED, MAKEWPARAM(at->dpi, at->dpi), reinterpret_cast<LPARAM>(&before));
    EXPECT_TRUE(same(windowRect(app.mainWindow), before));
    EXPECT_TRUE(same(placeOnBar(IDC_BAR_PLAY), at->play));
}

TEST_F(MainWindowTest, MinimisingRecordsThePlacementWithoutALayout)
{
    ASSERT_TRUE(startPlayer());
    RECT before;
    GetWindowRect(app.videoSurface->hwnd, &before);
    ShowWindow(app.mainWindow, SW_MINIMIZE);
    pumpFor(50);
    RECT after;
    GetWindowRect(app.videoSurface->hwnd, &after);
    EXPECT_EQ(width(after), width(before));
    EXPECT_EQ(height(after), height(before));
    EXPECT_EQ(app.placementValid, 1);
    EXPECT_EQ(app.placement.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
}

// Full screen covers the screen in its own pixels at any scale, the bar along its bottom.
TEST_F(MainWindowScaleTest, FullScreenFromMaximisedReturnsMaximised)
{
    ASSERT_TRUE(startPlayer());
    // Wine can finish a change of show state only once the messages it caused are handled.
    const auto zoomed = [] { return IsZoomed(app.mainWindow) != FALSE; };
    ShowWindow(app.mainWindow, SW_MAXIMIZE);
    ASSERT_TRUE(pumpUntil(zoomed, 3000));
    runCommand(IDM_FULLSCREEN);
    EXPECT_EQ(app.fullScreen, 1);
    const RECT full = windowRect(app.mainWindow);
    EXPECT_TRUE(same(full, windowRect(GetDesktopWindow())));
    EXPECT_EQ(windowRect(app.controlBar->window()).top, full.bottom - at->barHeight);
    EXPECT_EQ(GetWindowLongW(app.mainWindow, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    runCommand(IDM_FULLSCREEN); // F again leaves
    EXPECT_EQ(app.fullScreen, 0);
    EXPECT_TRUE(pumpUntil(zoomed, 3000));
    EXPECT_EQ(GetWindowLongW(app.mainWindow, GWL_STYLE) & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
}

TEST_F(MainWindowTest, EscapeInAWindowDoesNothing)
{
    ASSERT_TRUE(startPlayer());
    const RECT before = windowRect(app.mainWindow);
    runCommand(IDM_LEAVE_FULLSCREEN);
    const RECT after = windowRect(app.mainWindow);
    EXPECT_EQ(app.fullScreen, 0);
    EXPECT_TRUE(EqualRect(&before, &after));
}

TEST_F(MainWindowTest, ClosingInFullScreenStoresTheWindowedPlacement)
{
    ASSERT_TRUE(startPlayer());
    SetWindowPos(app.mainWindow, nullptr, 40, 30, 700, 560, SWP_NOZORDER);
    runCommand(IDM_FULLSCREEN);
    ASSERT_EQ(app.fullScreen, 1);
    closePlayer();
    ASSERT_EQ(app.placementValid, 1);
    const RECT& normal = app.placement.rcNormalPosition;
    EXPECT_EQ(normal.left, 40);
    EXPECT_EQ(normal.top, 30);
    EXPECT_EQ(width(normal), 700);
    EXPECT_EQ(height(normal), 560);
}

TEST_F(MainWindowTest, AStoredMaximisedPlacementStartsMaximised)
{
    app.placementValid = 1;
    app.placement.length = sizeof(app.placement);
    app.placement.showCmd = SW_SHOWMAXIMIZED;
    app.placement.rcNormalPosition = {50, 60, 850, 660};
    ASSERT_TRUE(startPlayer());
    pumpFor(100);
    EXPECT_TRUE(IsZoomed(app.mainWindow));
    closePlayer();
    EXPECT_EQ(app.placement.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
}

TEST_F(MainWindowTest, CaptionShowsTitleNameAndTimes)
{
    ASSERT_TRUE(startPlayer());
    updateTitle();
    EXPECT_EQ(caption(), L"Quillet 1.1");

    fakevlc_setLengthDelay(1000000); // the length is still reported as 0
    const std::wstring folder = makeFolder({L"clip.mp4"});
    ASSERT_TRUE(loadFile(folder + L"\\clip.mp4"));
    ASSERT_TRUE(waitForState(libvlc_Playing));
    updateTitle();
    EXPECT_EQ(caption(), L"Quillet 1.1 - clip.mp4");
    closePlayer();
}

TEST_F(MainWindowTest, CaptionShowsPositionAndLengthWhilePaused)
{
    fakevlc_setMediaLength(90 * 60 * 1000);
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"clip.mp4"});
    ASSERT_TRUE(loadFile(folder + L"\\clip.mp4"));
    ASSERT_TRUE(waitForState(libvlc_Playing));
    ASSERT_TRUE(pumpUntil([] { return app.engine->getLength() > 0; }));
    runCommand(IDM_PAUSE);
    ASSERT_TRUE(waitForState(libvlc_Paused));
    app.engine->setTime(65000);
    updateTitle();
    EXPECT_EQ(caption(), L"Quillet 1.1 - clip.mp4 | 00:01:05 | 01:30:00");

    // Paused, the timer's ticks change nothing on screen; a new position does.
    CaptionSetCounter sets(app.mainWindow);
    updateTitle();
    updateTitle();
    EXPECT_EQ(sets.count, 0);
    app.engine->setTime(66000);
    updateTitle();
    EXPECT_EQ(sets.count, 1);
    EXPECT_EQ(caption(), L"Quillet 1.1 - clip.mp4 | 00:01:06 | 01:30:00");
}

TEST_F(MainWindowTest, SpaceTogglesAndPauseNeverResumes)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"clip.mp4"});
    ASSERT_TRUE(loadFile(folder + L"\\clip.mp4"));
    ASSERT_TRUE(waitForState(libvlc_Playing));
    runCommand(IDM_PLAY);
    ASSERT_TRUE(waitForState(libvlc_Paused));
    runCommand(IDM_PAUSE);
    pumpFor(100);
    EXPECT_EQ(app.engine->getState(), libvlc_Paused);
    runCommand(IDM_PLAY);
    EXPECT_TRUE(waitForState(libvlc_Playing));
}

TEST_F(MainWindowTest, AcceleratorsKeepTheirKeysAndOrder)
{
    HACCEL table = LoadAcceleratorsW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_ACCELERATORS));
    ASSERT_NE(table, nullptr);
    ACCEL entries[32];
    const int n = CopyAcceleratorTableW(table, entries, 32);
    const struct {
        WORD key;
        WORD cmd;
        BYTE flags;
    } expected[] = {
        {'F', IDM_FULLSCREEN, FVIRTKEY | FNOINVERT}, {'O', IDM_OPEN, FVIRTKEY | FCONTROL | FNOINVERT},
        {VK_LEFT, IDM_BACKWARD, FVIRTKEY | FNOINVERT}, {VK_RIGHT, IDM_FORWARD, FVIRTKEY | FNOINVERT},
        {'M', IDM_MUTE, FVIRTKEY | FNOINVERT}, {VK_NEXT, IDM_NEXT, FVIRTKEY | FNOINVERT},
        {VK_SPACE, IDM_PLAY, FVIRTKEY | FNOINVERT}, {VK_PRIOR, IDM_PREVIOUS, FVIRTKEY | FNOINVERT},
        {VK_DOWN, IDM_VOLUME_DOWN, FVIRTKEY | FNOINVERT}, {VK_UP, IDM_VOLUME_UP, FVIRTKEY | FNOINVERT},
        {'/', IDM_ABOUT, FALT | FNOINVERT}, {'?', IDM_ABOUT, FALT | FNOINVERT},
        {VK_ESCAPE, IDM_LEAVE_FULLSCREEN, FVIRTKEY | FNOINVERT},
    };
    ASSERT_EQ(n, 13);
    for (int i = 0; i < n; ++i) {
        EXPECT_EQ(entries[i].key, expected[i].key) << "entry " << i;
        EXPECT_EQ(entries[i].cmd, expected[i].cmd) << "entry " << i;
        EXPECT_EQ(entries[i].fVirt & ~0x80, expected[i].flags) << "entry " << i;
    }
    DestroyAcceleratorTable(table);
}

TEST_F(MainWindowTest, DroppingATextFileShowsTheMessageAndKeepsThePlaylist)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"a.mp4", L"b.mp4", L"notes.txt"});
    dropFiles({folder + L"\\a.mp4"});
    ASSERT_TRUE(waitForState(libvlc_Playing));
    ASSERT_EQ(app.controller->playList.count(), 2);
    MessageBoxAnswer answer(L"Quillet");
    dropFiles({folder + L"\\notes.txt"});
    EXPECT_TRUE(answer.found);
    EXPECT_EQ(answer.text, L"Could not load the file");
    EXPECT_EQ(app.controller->playList.count(), 2);
    EXPECT_EQ(app.controller->currentPath, folder + L"\\a.mp4");
    EXPECT_FALSE(app.engine->isPlaying());
}

// A dropped path is taken whole and refused whole: one longer than a path buffer (its first 259
// characters would name another mp4) and one holding a lone surrogate both get the failure
// message, and the engine is never handed a cut or altered path.
TEST_F(MainWindowTest, DroppedPathsAreRefusedWholeNeverCutOrAltered)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({});
    const std::wstring fits = folder + L"\\" + std::wstring(254 - folder.size(), L'n') + L".mp4";
    ASSERT_EQ(fits.size(), 259u);
    for (const std::wstring& path : {fits + L".mp4", folder + L"\\a\xD800" L".mp4"}) {
        const int before = fakevlc_callCount();
        MessageBoxAnswer answer(L"Quillet");
        dropFiles({path});
        EXPECT_TRUE(answer.found) << path.size();
        EXPECT_EQ(fakeVlcCallIndex("libvlc_media_new_path", before), -1) << fakeVlcCalls();
        EXPECT_TRUE(app.controller->currentPath.empty());
    }
}

TEST_F(MainWindowTest, DroppingSeveralFilesPlaysTheFirstAndListsItsFolder)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"a.mp4", L"b.mp4", L"c.mp4"});
    dropFiles({folder + L"\\b.mp4", folder + L"\\c.mp4", folder + L"\\a.mp4"});
    ASSERT_TRUE(waitForState(libvlc_Playing));
    EXPECT_EQ(app.controller->currentPath, folder + L"\\b.mp4");
    EXPECT_EQ(app.controller->playList.count(), 3);
    EXPECT_EQ(app.controller->playList.currentIndex(), 1);
}

TEST_F(MainWindowTest, AboutShowsTheProductAndItsVersion)
{
    ASSERT_TRUE(startPlayer());
    std::wstring text;
    std::thread closer([&] {
        HWND about = waitForWindow(L"#32770", L"About", 5000);
        if (!about)
            return;
        text = windowText(GetDlgItem(about, IDC_ABOUT_TEXT));
        clickButton(about, IDOK);
    });
    runCommand(IDM_ABOUT); // modal: returns once the dialog is closed
    closer.join();
    EXPECT_EQ(text, L"Quillet, Version 1.1");
}

// A file the engine accepts but cannot play fails only once it plays; chosen by the user it gets
// the same message, and the bar and the caption show the player stopped.
TEST_F(MainWindowTest, AChosenFileThatCannotPlayShowsTheMessageAndEndsStopped)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"a.mp4", L"broken.mp4"});
    fakevlc_failPlayingPathsContaining("broken", 0);
    MessageBoxAnswer answer(L"Quillet");
    dropFiles({folder + L"\\broken.mp4"});
    ASSERT_TRUE(pumpUntil([&] { return answer.found.load(); }));
    EXPECT_EQ(answer.text, L"Could not load the file");
    EXPECT_TRUE(waitForState(libvlc_Stopped));
    pumpFor(100);
    EXPECT_EQ(caption(), L"Quillet 1.1");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(app.controlBar->window(), IDC_BAR_OPEN)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(app.controlBar->window(), IDC_BAR_STOP)));
    EXPECT_EQ(app.controller->playList.count(), 2);
}

TEST_F(MainWindowTest, LoadingAFileTheEngineRefusesReportsIt)
{
    ASSERT_TRUE(startPlayer());
    const std::wstring folder = makeFolder({L"broken.mp4"});
    fakevlc_refusePathsContaining("broken");
    MessageBoxAnswer answer(L"Quillet");
    EXPECT_FALSE(loadFile(folder + L"\\broken.mp4"));
    EXPECT_TRUE(answer.found);
    EXPECT_TRUE(app.controller->currentPath.empty());
}

} // namespace
