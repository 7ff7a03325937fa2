// The video surface.
#include "videoplayer/ui/PlayWnd.h"

PlayWnd::~PlayWnd()
{
    delete logo;
    logo = nullptr;
}

LRESULT PlayWnd::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return GWindow::handleMessage(message, wParam, lParam);
}

void PlayWnd::onPaint(HDC dc)
{
    RECT rc;
    GetClientRect(hwnd, &rc);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    FillRect(dc, &rc, black);
    DeleteObject(black);
    if (!logo)
        return;
    Gdiplus::Graphics graphics(dc);
    const int w = static_cast<int>(logo->GetWidth()), h = static_cast<int>(logo->GetHeight());
    graphics.DrawImage(logo, (rc.right - w) / 2, (rc.bottom - h) / 2, w, h);
}

void PlayWnd::updateCursor() {}
