// Quillet.exe driven from outside its process, as a user would: the Open dialog, the caption,
// Next and Previous, and the placement kept across a restart. The libvlc test double sits
// beside the program in the build's bin folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <string>
#include <vector>

#include "tests/support/PlayerDriver.h"
#include "videoplayer/res/resource.h"

namespace {

const wchar_t settingsKey[] = L"Software\\Tellan Media Player";

class PlayerProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        RegDeleteKeyW(HKEY_CURRENT_USER, settingsKey);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"quillet-driver-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"a.mp4", L"b.mp4", L"c.mp4"}) {
            HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                      nullptr);
            CloseHandle(file);
        }
    }
    void TearDown() override
    {
        for (const wchar_t* name : {L"a.mp4", L"b.mp4", L"c.mp4"})
            DeleteFileW((folder + L"\\" + name).c_str());
        RemoveDirectoryW(folder.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, settingsKey);
    }

    bool captionShows(PlayerDriver& player, const std::wstring& name)
    {
        return waitFor([&] {
            const std::wstring text = windowText(player.window);
            return text.rfind(L"Quillet 1.1 - " + name + L" | ", 0) == 0 && text.size() > 20;
        });
    }

    std::wstring folder;
};

TEST_F(PlayerProcessTest, OpensAFileAndStepsThroughItsFolder)
{
    PlayerDriver player(programFolder());
    ASSERT_TRUE(player.started);
    ASSERT_NE(player.window, nullptr);
    ASSERT_TRUE(waitFor([&] { return windowText(player.window) == L"Quillet 1.1"; }));

    ASSERT_TRUE(player.openThroughDialog(folder + L"\\a.mp4"));
    ASSERT_TRUE(captionShows(player, L"a.mp4")) << "caption: " << testing::PrintToString(windowText(player.window));
    EXPECT_NE(windowText(player.window).find(L" | 00:10:00"), std::wstring::npos);

    player.command(IDM_NEXT);
    EXPECT_TRUE(captionShows(player, L"b.mp4"));
    player.command(IDM_PREVIOUS);
    EXPECT_TRUE(captionShows(player, L"a.mp4"));
    player.command(IDM_PREVIOUS);
    EXPECT_TRUE(captionShows(player, L"c.mp4")) << "Previous on the first file wraps to the last";

    EXPECT_EQ(player.close(), 0u);
}

TEST_F(PlayerProcessTest, TheWindowComesBackWhereItWasClosed)
{
    RECT placed = {};
    {
        PlayerDriver player(programFolder());
        ASSERT_NE(player.window, nullptr);
        SetWindowPos(player.window, nullptr, 90, 70, 760, 560, SWP_NOZORDER);
        ASSERT_TRUE(waitFor([&] {
            GetWindowRect(player.window, &placed);
            return placed.left == 90 && placed.right - placed.left == 760;
        }));
        EXPECT_EQ(player.close(), 0u);
    }
    PlayerDriver again(programFolder());
    ASSERT_NE(again.window, nullptr);
    RECT restored = {};
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(again.window, &restored);
        return EqualRect(&restored, &placed) != 0;
    })) << restored.left << "," << restored.top << " " << restored.right << "," << restored.bottom;
    EXPECT_EQ(again.close(), 0u);
}

TEST_F(PlayerProcessTest, AFileOnTheCommandLineOpensNothing)
{
    PlayerDriver player(programFolder(), L"\"" + folder + L"\\a.mp4\"");
    ASSERT_NE(player.window, nullptr);
    Sleep(800); // a few timer ticks, each of which rewrites the caption
    EXPECT_EQ(windowText(player.window), L"Quillet 1.1");
    EXPECT_EQ(player.close(), 0u);
}

} // namespace
