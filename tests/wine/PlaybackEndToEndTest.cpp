// Quillet.exe playing real mp4 files through the system's libVLC (the Wine bridge), driven from
// outside the process. Few and robust: the detailed behaviour is tested on the test double.
#include <gtest/gtest.h>

#include <windows.h>
#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "tests/support/PlayerDriver.h"
#include "videoplayer/res/resource.h"

namespace {

std::wstring environment(const wchar_t* name)
{
    wchar_t value[MAX_PATH] = L"";
    GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}

// The position shown in a caption "Quillet 1.1 - name | hh:mm:ss | hh:mm:ss", in seconds; -1 if none.
int shownSeconds(const std::wstring& caption)
{
    const size_t bar = caption.find(L" | ");
    if (bar == std::wstring::npos || caption.size() < bar + 11)
        return -1;
    const std::wstring t = caption.substr(bar + 3, 8);
    return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 + std::stoi(t.substr(6, 2));
}

bool showsFile(const std::wstring& caption, const std::wstring& name)
{
    return caption.rfind(L"Quillet 1.1 - " + name + L" | ", 0) == 0;
}

// Distinct colours on screen over a window, sampled on a grid away from its centre, where the
// idle logo would be: the idle surface is black there.
size_t coloursOver(HWND window)
{
    RECT rc;
    GetWindowRect(window, &rc);
    HDC screen = GetDC(nullptr);
    std::set<COLORREF> colours;
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    for (int y = 8; y < h - 8; y += 12) {
        for (int x = 8; x < w - 8; x += 12) {
            if (std::abs(x - w / 2) < 80 && std::abs(y - h / 2) < 80)
                continue;
            colours.insert(GetPixel(screen, rc.left + x, rc.top + y));
        }
    }
    ReleaseDC(nullptr, screen);
    return colours.size();
}

// First and last non-dark pixel on screen along the middle row and the middle column of a window.
struct LitSpans {
    int left = -1, right = -1, top = -1, bottom = -1;
};

LitSpans litSpansOver(HWND window)
{
    RECT rc;
    GetWindowRect(window, &rc);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    const auto lit = [&](int x, int y) {
        const uint32_t p = static_cast<const uint32_t*>(bits)[size_t(y) * w + x];
        return (p & 0xff) > 24 || ((p >> 8) & 0xff) > 24 || ((p >> 16) & 0xff) > 24;
    };
    LitSpans spans;
    for (int x = 0; x < w; ++x)
        if (lit(x, h / 2)) {
            spans.left = spans.left < 0 ? x : spans.left;
            spans.right = x;
        }
    for (int y = 0; y < h; ++y)
        if (lit(w / 2, y)) {
            spans.top = spans.top < 0 ? y : spans.top;
            spans.bottom = y;
        }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return spans;
}

class PlaybackEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        runFolder = environment(L"QUILLET_RUN_DIR");
        clips = environment(L"QUILLET_CLIPS_DIR");
        ASSERT_FALSE(runFolder.empty()) << "QUILLET_RUN_DIR names the folder of Quillet.exe with the bridge";
        ASSERT_FALSE(clips.empty()) << "QUILLET_CLIPS_DIR names the folder of test clips";
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tellan Media Player");
    }
    void TearDown() override { RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tellan Media Player"); }

    std::wstring runFolder, clips;
};

TEST_F(PlaybackEndToEndTest, PlaysPausesSeeksAndAdvancesThroughTheFolder)
{
    PlayerDriver player(runFolder);
    ASSERT_NE(player.window, nullptr);
    HWND surface = FindWindowExW(player.window, nullptr, L"Player_CtrlClass", nullptr);
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(waitFor([&] { return player.caption() == L"Quillet 1.1"; }));
    const size_t idleColours = coloursOver(surface);

    ASSERT_TRUE(player.openThroughDialog(clips + L"\\a.mp4"));
    ASSERT_TRUE(waitFor([&] {
        const std::wstring c = player.caption();
        return showsFile(c, L"a.mp4") && c.find(L"| 00:00:08") != std::wstring::npos;
    })) << testing::PrintToString(player.caption());
    ASSERT_TRUE(waitFor([&] { return shownSeconds(player.caption()) >= 1; })) << "the time grows";

    // The picture is the video's, not the idle logo on black.
    EXPECT_TRUE(waitFor([&] { return coloursOver(surface) > idleColours + 4; }, 5000))
        << "idle " << idleColours << " now " << coloursOver(surface);

    player.command(IDM_PAUSE);
    Sleep(600);
    const int paused = shownSeconds(player.caption());
    Sleep(1500);
    EXPECT_EQ(shownSeconds(player.caption()), paused) << "pause freezes the time";

    player.command(IDM_FORWARD);
    EXPECT_TRUE(waitFor([&] { return shownSeconds(player.caption()) >= paused + 4; }, 5000))
        << "seek moves it: " << testing::PrintToString(player.caption());

    // The end of a clip plays the next one of the folder, and the last one stops.
    player.command(IDM_PLAY);
    EXPECT_TRUE(waitFor([&] { return showsFile(player.caption(), L"b-vid\u00e9o.mp4"); }, 15000))
        << testing::PrintToString(player.caption());
    EXPECT_TRUE(waitFor([&] { return showsFile(player.caption(), L"c.mp4"); }, 15000))
        << testing::PrintToString(player.caption());
    EXPECT_TRUE(waitFor([&] { return player.caption() == L"Quillet 1.1"; }, 15000))
        << testing::PrintToString(player.caption());
    Sleep(1000);
    EXPECT_EQ(player.caption(), L"Quillet 1.1") << "nothing plays after the last file";

    EXPECT_EQ(player.close(), 0u);
}

TEST_F(PlaybackEndToEndTest, CinepakInMatroskaShowsItsPictureAndAnOddSizeFillsItsLetterbox)
{
    PlayerDriver player(runFolder);
    ASSERT_NE(player.window, nullptr);
    HWND surface = FindWindowExW(player.window, nullptr, L"Player_CtrlClass", nullptr);
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(waitFor([&] { return player.caption() == L"Quillet 1.1"; }));
    const size_t idleColours = coloursOver(surface);

    ASSERT_TRUE(player.dropFile(clips + L"\\shapes\\cinepak.mp4"));
    ASSERT_TRUE(waitFor([&] { return showsFile(player.caption(), L"cinepak.mp4"); }))
        << testing::PrintToString(player.caption());
    EXPECT_TRUE(waitFor([&] { return coloursOver(surface) > idleColours + 4; }, 10000))
        << "idle " << idleColours << " now " << coloursOver(surface);

    // 175x143 in the surface: the largest rectangle of that aspect, centred, all of it lit.
    ASSERT_TRUE(player.dropFile(clips + L"\\shapes\\odd.mp4"));
    ASSERT_TRUE(waitFor([&] { return showsFile(player.caption(), L"odd.mp4"); }))
        << testing::PrintToString(player.caption());
    player.command(IDM_PAUSE);
    RECT area;
    GetClientRect(surface, &area);
    const int w = area.right, h = area.bottom;
    const int pictureW = std::min(w, h * 175 / 143), pictureH = std::min(h, w * 143 / 175);
    const LitSpans expected = { (w - pictureW) / 2, (w - pictureW) / 2 + pictureW - 1, (h - pictureH) / 2,
                                (h - pictureH) / 2 + pictureH - 1 };
    LitSpans seen;
    const bool fills = waitFor([&] {
        seen = litSpansOver(surface);
        return std::abs(seen.left - expected.left) <= 2 && std::abs(seen.right - expected.right) <= 2
               && std::abs(seen.top - expected.top) <= 2 && std::abs(seen.bottom - expected.bottom) <= 2;
    }, 10000);
    EXPECT_TRUE(fills) << "in " << w << "x" << h << ": columns " << seen.left << ".." << seen.right << " rows "
                       << seen.top << ".." << seen.bottom << ", expected " << expected.left << ".."
                       << expected.right << " and " << expected.top << ".." << expected.bottom;
    EXPECT_EQ(player.close(), 0u);
}

TEST_F(PlaybackEndToEndTest, ClosingDuringPlaybackExitsWithZero)
{
    PlayerDriver player(runFolder);
    ASSERT_NE(player.window, nullptr);
    ASSERT_TRUE(player.openThroughDialog(clips + L"\\a.mp4"));
    ASSERT_TRUE(waitFor([&] { return shownSeconds(player.caption()) >= 1; })) << testing::PrintToString(player.caption());
    EXPECT_EQ(player.close(), 0u);
}

// ---- Files that open but cannot be played ----------------------------------------------------

// A text file under an .mp4 name: libVLC opens it and fails only once it plays. Chosen by the
// user it gets the failure message and leaves the player stopped; reached from its neighbours,
// by the advance and by Previous, it is skipped without a word.
TEST_F(PlaybackEndToEndTest, AFileThatCannotPlayIsReportedWhenChosenAndSkippedWhenReached)
{
    const std::wstring folder = clips + L"\\unplayable\\";
    PlayerDriver player(runFolder);
    ASSERT_NE(player.window, nullptr);

    ASSERT_TRUE(player.openThroughDialog(folder + L"b-text.mp4"));
    HWND box = waitForWindow(L"#32770", L"Quillet", 15000);
    ASSERT_NE(box, nullptr) << "no failure message";
    EXPECT_EQ(messageBoxText(box), L"Could not load the file");
    EXPECT_EQ(player.caption(), L"Quillet 1.1");
    clickButton(box, IDOK);
    ASSERT_TRUE(waitForWindowGone(box, 5000));

    // Forwards: the end of a.mp4 advances past it to c.mp4. (a.mp4 lasts two seconds; on a
    // loaded machine its length may come too late for a caption with times before it ends.)
    ASSERT_TRUE(player.openThroughDialog(folder + L"a.mp4"));
    EXPECT_TRUE(waitFor([&] { return player.caption().rfind(L"Quillet 1.1 - a.mp4", 0) == 0; }, 15000))
        << testing::PrintToString(player.caption());
    EXPECT_TRUE(waitFor([&] { return showsFile(player.caption(), L"c.mp4"); }, 15000))
        << testing::PrintToString(player.caption());

    // Backwards: c.mp4 opened anew lists the folder again, and Previous skips it to a.mp4.
    ASSERT_TRUE(player.openThroughDialog(folder + L"c.mp4"));
    player.command(IDM_PREVIOUS);
    EXPECT_TRUE(waitFor([&] { return player.caption().rfind(L"Quillet 1.1 - a.mp4", 0) == 0; }, 15000))
        << testing::PrintToString(player.caption());
    EXPECT_EQ(FindWindowW(L"#32770", L"Quillet"), nullptr) << "a skipped file says nothing";
    EXPECT_EQ(player.close(), 0u);
}

} // namespace
