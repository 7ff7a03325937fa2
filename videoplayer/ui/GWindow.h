// A minimal window base: binds one Win32 window to one object and routes that window's
// messages, from WM_CREATE to WM_DESTROY, to the object's handleMessage.
#pragma once

#include <windows.h>

class GWindow {
public:
    GWindow() = default;
    virtual ~GWindow();
    GWindow(const GWindow&) = delete;
    GWindow& operator=(const GWindow&) = delete;

    virtual bool create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style,
                        const RECT& rect, HWND parent, WORD menuId, HINSTANCE instance);
    virtual LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    virtual void onPaint(HDC dc);

    HWND hwnd = nullptr;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};
