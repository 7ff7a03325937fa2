// The main window: its window procedure, commands, layout, full-screen mode, file loading and
// caption.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <string>

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// WM_CLOSE, from the Exit command or the window's close button: saves the placement, hides the
// window, stops playback, lets the state release its objects in the close order and destroys the
// window, which ends the message loop.
void onClose();
void relayout();
void enterFullScreen();
void leaveFullScreen();
void savePlacement();
bool loadFile(const std::wstring& path);
// The player's one error message: a file the user chose could not be loaded or played.
void showLoadFailure();
void onOpen();
void onDropFiles(HDROP drop);
void updateTitle();
// Runs a command of the table, after waiting for libVLC's start if the command works the engine;
// false for an identifier it does not hold, and for such a command when libVLC could not start.
bool runCommand(int command);
INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Client size of a first start without a saved placement (the bar's height is added).
constexpr int defaultClientWidth = 672;
constexpr int defaultVideoHeight = 420;
constexpr int minimumClientWidth = 480;
constexpr int minimumVideoHeight = 300;
