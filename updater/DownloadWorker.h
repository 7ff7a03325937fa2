// DownloadWorker: the thread that downloads an Updater's installer into the Temp folder while
// the download dialog is open, and the progress handler that links the job to that dialog.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

class Updater;

class DownloadWorker {
public:
    // Posted by the worker to the dialog when the server announced no usable length.
    static const UINT lengthUnknownMessage = WM_APP + 1;

    // Starts the thread; the returned handle (null on failure) belongs to the caller.
    static HANDLE start(Updater& updater);
    // Picks the local path and downloads into it; true when the whole installer arrived. The
    // installer path is set (or cleared, when the URL gives no usable file name) before any
    // byte is fetched.
    static bool download(Updater& updater);
    // The job's callback: records the counts, moves the bar, and answers 0 once a cancel was
    // asked for. For the status stage it answers the dialog, owner of a credentials prompt.
    static INT_PTR onProgress(void* updater, int stage, uint32_t value);
    // The local application-data folder + "\Temp", created when missing; empty when unknown.
    static std::wstring tempFolder();

private:
    static DWORD WINAPI threadMain(void* updater);
    static void showProgress(Updater& updater, uint32_t received);
};
