// The control bar: a single, layered child dialog along the bottom of the main window with
// skinned image buttons, a time slider and a volume slider.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <cstdint>
#include <map>

class PlayBar {
public:
    static PlayBar* instance();
    static void releaseInstance();

    virtual ~PlayBar();

    bool create(HINSTANCE instance, HWND parent);
    int barHeight() const;
    void refreshTime();
    void refreshVolume();
    void updateButtons();
    void autoHideTick();

    HWND hwnd = nullptr;
    std::map<int, Gdiplus::Image*> images;
    HBRUSH faceBrush = nullptr;
    Gdiplus::Image* barBackground = nullptr;
    Gdiplus::Image* volumeKnob = nullptr;
    Gdiplus::Image* timePlayed = nullptr;
    Gdiplus::Image* timeKnob = nullptr;
    int shownVolume = 100;
    int64_t shownTime = 0;
    int64_t shownLength = 0;
    int dragControl = 0;
    POINT lastCursorPos = {0, 0};
    DWORD hideTick = 0;
    HANDLE drawLock = nullptr;

private:
    PlayBar();
    PlayBar(const PlayBar&) = delete;
    PlayBar& operator=(const PlayBar&) = delete;

    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    static PlayBar* single;
};
