// The DPI a window is shown at, asked of the system in the way each Windows version allows, and
// the dialog manager kept from rescaling a dialog that lays itself out.
#pragma once

#include <windows.h>

// The DPI of `window`: its own where the system knows one per window (GetDpiForWindow, Windows 10
// 1607 and later), otherwise the screen's, which is what Windows 7 and 8 give every window. Null
// asks for the screen's.
int dpiOfWindow(HWND window);

// Keeps Windows from moving, resizing and re-fonting a dialog's controls when its DPI changes
// (which it does by itself for per-monitor aware dialogs from Windows 10 1703 on): a dialog that
// places its controls at every size would otherwise be scaled twice. Nothing on older systems.
void keepDialogLayoutOwn(HWND dialog);
