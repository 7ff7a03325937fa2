// The in-process player used by the shell's tests.
#include "tests/videoplayer/app/PlayerFixture.h"

#include <objidl.h>
#include <gdiplus.h>
#include <shlobj.h>

#include "tests/support/FakeVlc.h"
#include "tests/support/TestSupport.h"
#include "videoplayer/app/AppState.h"
#include "videoplayer/app/Settings.h"
#include "videoplayer/app/Startup.h"
#include "videoplayer/playback/MediaPlayer.h"

void PlayerFixture::SetUp()
{
    fakevlc_reset();
    deleteSettings();
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&gdiplusToken, &input, nullptr);
    app.reset();
    app.firstLayout = 1;
}

void PlayerFixture::TearDown()
{
    if (app.mainWindow && IsWindow(app.mainWindow))
        closePlayer();
    app.reset();
    Gdiplus::GdiplusShutdown(gdiplusToken);
    for (const std::wstring& folder : folders) {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            while (FindNextFileW(search, &found));
            FindClose(search);
        }
        RemoveDirectoryW(folder.c_str());
    }
    deleteSettings();
    EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault();
}

bool PlayerFixture::startPlayer(int showCommand)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerMainWindowClass(instance);
    const bool started = createMainWindow(instance, showCommand) != 0;
    pumpFor(50);
    return started;
}

void PlayerFixture::closePlayer()
{
    SendMessageW(app.mainWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(app.mainWindow));
    MSG msg;
    bool quit = false;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(msg.wParam, 0u);
        }
    }
    EXPECT_TRUE(quit);
}

std::wstring PlayerFixture::makeFolder(const std::vector<std::wstring>& names)
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"quillet-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                          std::to_wstring(folders.size());
    CreateDirectoryW(folder.c_str(), nullptr);
    folders.push_back(folder);
    for (const std::wstring& name : names) {
        HANDLE file = CreateFileW((folder + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        CloseHandle(file);
    }
    return folder;
}

void PlayerFixture::dropFiles(const std::vector<std::wstring>& paths)
{
    size_t chars = 1;
    for (const std::wstring& path : paths)
        chars += path.size() + 1;
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    auto* text = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES));
    for (const std::wstring& path : paths) {
        memcpy(text, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
        text += path.size() + 1;
    }
    GlobalUnlock(block);
    // The window frees the drop with DragFinish, as it must for the shell's own.
    SendMessageW(app.mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
}

bool PlayerFixture::waitForState(int state, DWORD timeoutMs)
{
    return pumpUntil([&] { return app.engine && app.engine->getState() == state; }, timeoutMs);
}

std::wstring PlayerFixture::caption() const
{
    wchar_t text[512] = L"";
    GetWindowTextW(app.mainWindow, text, 512);
    return text;
}

RECT PlayerFixture::clientRect() const
{
    RECT rc = {};
    GetClientRect(app.mainWindow, &rc);
    return rc;
}

void PlayerFixture::deleteSettings()
{
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Tellan Media Player");
}
