// Quillet.exe driven from outside its process, as a user would: the Open dialog, the caption,
// Next and Previous, and the placement kept across a restart. The libvlc test double sits
// beside the program in the build's bin folder.
#include <gtest/gtest.h>

#include <windows.h>
#include <string>
#include <vector>

#include "videoplayer/res/resource.h"

namespace {

const wchar_t settingsKey[] = L"Software\\Tellan Media Player";

std::wstring binFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.rfind(L'\\'));
}

std::wstring windowText(HWND window)
{
    wchar_t text[512] = L"";
    SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

template <typename Pred>
bool waitFor(Pred done, DWORD timeoutMs = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// One run of Quillet.exe.
class PlayerProcess {
public:
    explicit PlayerProcess(const std::wstring& arguments = L"")
    {
        std::wstring command = L"\"" + binFolder() + L"\\Quillet.exe\" " + arguments;
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        started = CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, binFolder().c_str(), &si,
                                 &info) != 0;
        if (started)
            waitFor([this] { return (window = findMainWindow()) != nullptr; });
    }
    ~PlayerProcess()
    {
        if (!started)
            return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            if (window)
                PostMessageW(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(info.hProcess, 10000) == WAIT_TIMEOUT)
                TerminateProcess(info.hProcess, 99);
        }
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }

    // Closes the window as its close button does; returns the exit code.
    DWORD close()
    {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(info.hProcess, 15000) != WAIT_OBJECT_0)
            return 0xFFFFFFFF;
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        return code;
    }

    HWND findMainWindow() const
    {
        HWND found = nullptr;
        for (HWND w = FindWindowW(L"Player_WndClass", nullptr); w; w = FindWindowExW(nullptr, w, L"Player_WndClass", nullptr)) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == info.dwProcessId)
                found = w;
        }
        return found;
    }

    bool started = false;
    HWND window = nullptr;
    PROCESS_INFORMATION info = {};
};

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

    // Chooses a file in the player's "Select File" dialog.
    void openThroughDialog(PlayerProcess& player, const std::wstring& path)
    {
        PostMessageW(player.window, WM_COMMAND, IDM_OPEN, 0);
        HWND dialog = nullptr;
        ASSERT_TRUE(waitFor([&] { return (dialog = FindWindowW(L"#32770", L"Select File")) != nullptr; }));
        HWND name = nullptr;
        ASSERT_TRUE(waitFor([&] {
            name = GetDlgItem(dialog, 0x47C); // the file name combo box of the explorer-style dialog
            if (!name)
                name = GetDlgItem(dialog, 0x480); // the file name edit of the old style
            return name != nullptr;
        }));
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
        PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    }

    bool captionShows(PlayerProcess& player, const std::wstring& name)
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
    PlayerProcess player;
    ASSERT_TRUE(player.started);
    ASSERT_NE(player.window, nullptr);
    ASSERT_TRUE(waitFor([&] { return windowText(player.window) == L"Quillet 1.1"; }));

    openThroughDialog(player, folder + L"\\a.mp4");
    ASSERT_TRUE(captionShows(player, L"a.mp4")) << "caption: " << testing::PrintToString(windowText(player.window));
    EXPECT_NE(windowText(player.window).find(L" | 00:10:00"), std::wstring::npos);

    PostMessageW(player.window, WM_COMMAND, IDM_NEXT, 0);
    EXPECT_TRUE(captionShows(player, L"b.mp4"));
    PostMessageW(player.window, WM_COMMAND, IDM_PREVIOUS, 0);
    EXPECT_TRUE(captionShows(player, L"a.mp4"));
    PostMessageW(player.window, WM_COMMAND, IDM_PREVIOUS, 0);
    EXPECT_TRUE(captionShows(player, L"c.mp4")) << "Previous on the first file wraps to the last";

    EXPECT_EQ(player.close(), 0u);
}

TEST_F(PlayerProcessTest, TheWindowComesBackWhereItWasClosed)
{
    RECT placed = {};
    {
        PlayerProcess player;
        ASSERT_NE(player.window, nullptr);
        SetWindowPos(player.window, nullptr, 90, 70, 760, 560, SWP_NOZORDER);
        ASSERT_TRUE(waitFor([&] {
            GetWindowRect(player.window, &placed);
            return placed.left == 90 && placed.right - placed.left == 760;
        }));
        EXPECT_EQ(player.close(), 0u);
    }
    PlayerProcess again;
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
    PlayerProcess player(L"\"" + folder + L"\\a.mp4\"");
    ASSERT_NE(player.window, nullptr);
    Sleep(800); // a few timer ticks, each of which rewrites the caption
    EXPECT_EQ(windowText(player.window), L"Quillet 1.1");
    EXPECT_EQ(player.close(), 0u);
}

} // namespace
