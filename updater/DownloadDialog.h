// DownloadDialog: the modal progress dialog (template 101) shown while the worker downloads the
// installer; it owns the cancel protocol: the first Cancel asks, the worker answers.
#pragma once

#include <windows.h>

class Updater;

class DownloadDialog {
public:
    // Shows the dialog over a download of `updater`'s installer and returns once the worker has
    // ended; true when the whole installer arrived. False at once while another download runs.
    static bool run(Updater& updater);

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static void onInitDialog(HWND dialog);
    static void onCommand(HWND dialog, int id);
    static void onCancel(HWND dialog, Updater& updater);
    static void onLengthUnknown(HWND dialog);
    static void waitForWorker(Updater& updater);
};
