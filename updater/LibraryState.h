// The update library's process-wide values: its module instance and the one download that may
// run at a time (its Updater, its dialog and its worker thread).
#pragma once

#include <windows.h>
#include <atomic>

#include "common/UniqueHandle.h"

class Updater;

struct LibraryState {
    LibraryState();

    HINSTANCE moduleInstance;                    // holds the dialog template; recorded by DllMain
    Updater* currentDownload = nullptr;          // set by tellanup_download while it runs
    std::atomic<HWND> downloadDialog{nullptr};   // the open download dialog, read by the worker
    std::atomic<bool> workerRunning{false};      // cleared by the worker just before its last post
    UniqueKernelHandle downloadWorker;           // the worker thread, waited for before returning
};

extern LibraryState library;
