// The player's life: start-up in its fixed order and the message loop, which ends once the main
// window has closed (onClose, MainWindow.h).
#pragma once

#include <windows.h>

// The whole run, as the entry point performs it; returns the process exit code.
int runPlayer(HINSTANCE instance, int showCommand);

bool checkForUpdate();
void registerMainWindowClass(HINSTANCE instance);
int createMainWindow(HINSTANCE instance, int showCommand);
bool createChildWindows();
