// DownloadDialog: the modal progress dialog (template 101) shown while a DownloadTask fetches the
// installer. Cancel ends it at once; the task decides whether the download finished first.
#pragma once

#include <windows.h>

class DownloadTask;
class Updater;

class DownloadDialog {
public:
    // Shows the dialog over a download of `updater`'s installer and returns once it has closed;
    // true when the whole installer arrived (its read-only handle is then in the Updater). False
    // at once while another download runs.
    static bool run(Updater& updater);

private:
    static INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    static void onInitDialog(HWND dialog, LPARAM lParam);
    static void onCommand(HWND dialog, DownloadTask& task, int id);
    static void onProgress(HWND dialog, const DownloadTask& task);
};
