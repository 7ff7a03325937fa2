// The control bar.
#include "videoplayer/ui/PlayBar.h"

#include <new>

#include "videoplayer/app/AppState.h"
#include "videoplayer/res/resource.h"
#include "videoplayer/ui/UiResources.h"

PlayBar* PlayBar::single = nullptr;

PlayBar* PlayBar::instance()
{
    if (!single)
        single = new (std::nothrow) PlayBar();
    return single;
}

void PlayBar::releaseInstance()
{
    delete single;
    single = nullptr;
}

PlayBar::PlayBar()
{
    HMODULE module = GetModuleHandleW(nullptr);
    barBackground = loadPngResource(module, L"IDB_BAR_BKG");
    faceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    drawLock = CreateEventW(nullptr, FALSE, TRUE, nullptr);
}

PlayBar::~PlayBar()
{
    for (auto& entry : images)
        delete entry.second;
    images.clear();
    DeleteObject(faceBrush);
    delete barBackground;
    delete volumeKnob;
    delete timePlayed;
    delete timeKnob;
    if (drawLock)
        CloseHandle(drawLock);
}

bool PlayBar::create(HINSTANCE instance, HWND parent)
{
    if (hwnd)
        return true;
    hwnd = CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_PLAYBAR), parent, dialogProc, 0);
    if (!hwnd)
        return false;
    ShowWindow(hwnd, SW_SHOW);
    return true;
}

int PlayBar::barHeight() const
{
    if (!hwnd || !IsWindow(hwnd))
        return 0;
    return barBackground ? static_cast<int>(barBackground->GetHeight()) : 27;
}

void PlayBar::refreshTime() {}

void PlayBar::refreshVolume() {}

void PlayBar::updateButtons() {}

void PlayBar::autoHideTick() {}

INT_PTR CALLBACK PlayBar::dialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}
