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
    folders.clear();
    deleteSettings();
    EXPECT_EQ(fakevlc_faultCount(), 0) << fakevlc_lastFault();
}

bool PlayerFixture::startPlayer(int showCommand, bool waitForEngine)
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    registerMainWindowClass(instance);
    const bool started = createMainWindow(instance, showCommand) != 0;
    pumpFor(50);
    if (!started || !waitForEngine)
        return started;
    // libVLC starts on a thread of its own; the window hands the engine its instance once it is in.
    return pumpUntil([] { return !app.engineStart; }) && app.engine && app.engine->vlcPlayer;
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
    folders.push_back(std::make_unique<TempFolder>());
    const TempFolder& folder = *folders.back();
    for (const std::wstring& name : names)
        folder.addFile(name);
    return folder.path();
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
