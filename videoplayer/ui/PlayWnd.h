// The video surface: a borderless child window that libVLC draws into, showing a black area
// with the centred logo while idle; it owns the context menu, double press and cursor hiding.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include "videoplayer/ui/GWindow.h"

class PlayWnd : public GWindow {
public:
    PlayWnd() = default;
    ~PlayWnd() override;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onPaint(HDC dc) override;

    void updateCursor();

    Gdiplus::Image* logo = nullptr;
    DWORD lastMoveTick = 0;
    POINT lastCursorPos = {0, 0};
    int cursorHidden = 0;
};
