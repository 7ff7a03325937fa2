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

// The environment of the players this test starts, for the libvlc test double beside them.
class ScopedEnvironment {
public:
    ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) { SetEnvironmentVariableW(name, value); }
    ~ScopedEnvironment() { SetEnvironmentVariableW(name_, nullptr); }

private:
    const wchar_t* name_;
};

// A drop and a command posted while libVLC still starts are carried out once it is ready.
TEST_F(PlayerProcessTest, ADropAndACommandBeforeLibVlcIsReadyAreNotLost)
{
    const ScopedEnvironment slowStart(L"FAKEVLC_NEW_DELAY_MS", L"1500");
    PlayerDriver player(programFolder());
    ASSERT_NE(player.window, nullptr);
    ASSERT_TRUE(player.dropFile(folder + L"\\a.mp4"));
    player.command(IDM_NEXT);
    EXPECT_TRUE(captionShows(player, L"b.mp4")) << "caption: " << testing::PrintToString(windowText(player.window));
    EXPECT_EQ(player.close(), 0u);
}

// Quillet.exe and its update library alone in a folder of their own, beside an optional
// stand-in for libvlc.dll.
class LoneProgram {
public:
    explicit LoneProgram(const wchar_t* libVlcStandIn)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"quillet-lone-" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(folder.c_str(), nullptr);
        for (const wchar_t* name : {L"Quillet.exe", L"tellanupdate.dll"})
            copied.push_back(copy(name, name));
        if (libVlcStandIn)
            copied.push_back(copy(libVlcStandIn, L"libvlc.dll"));
    }
    ~LoneProgram()
    {
        for (const std::wstring& file : copied)
            DeleteFileW(file.c_str());
        RemoveDirectoryW(folder.c_str());
    }
    std::wstring folder;

private:
    std::wstring copy(const wchar_t* from, const wchar_t* to)
    {
        const std::wstring target = folder + L"\\" + to;
        CopyFileW((programFolder() + L"\\" + from).c_str(), target.c_str(), FALSE);
        return target;
    }
    std::vector<std::wstring> copied;
};

// Whatever keeps libVLC from starting, the user is told, and the program ends with 0.
void expectEngineMessageAndExitZero(const std::wstring& folder)
{
    PlayerDriver player(folder);
    ASSERT_TRUE(player.started);
    HWND box = waitForWindow(L"#32770", L"Quillet", 20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(messageBoxText(box), L"Quillet could not start its video engine.");
    clickButton(box, IDOK);
    DWORD code = 0xFFFFFFFF;
    EXPECT_TRUE(player.exited(15000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(PlayerProcessTest, LibVlcRefusingToStartIsReportedAndTheExitCodeIsZero)
{
    const ScopedEnvironment refuse(L"FAKEVLC_FAIL_NEW", L"1");
    expectEngineMessageAndExitZero(programFolder());
}

TEST_F(PlayerProcessTest, AMissingLibVlcDllIsReportedByThePlayerNotTheLoader)
{
    const LoneProgram lone(nullptr);
    expectEngineMessageAndExitZero(lone.folder);
}

// A DLL of that name that lacks libVLC's functions (here: the update library) is no libVLC.
TEST_F(PlayerProcessTest, ALibVlcDllWithoutLibVlcsFunctionsIsReported)
{
    const LoneProgram lone(L"tellanupdate.dll");
    expectEngineMessageAndExitZero(lone.folder);
}

} // namespace
