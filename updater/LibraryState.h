// The update library's process-wide values: its module instance and the one download that may
// run at a time.
#pragma once

#include <windows.h>

class Updater;

struct LibraryState {
    LibraryState();

    HINSTANCE moduleInstance;            // holds the dialog template; recorded by DllMain
    Updater* currentDownload = nullptr;  // set by tellanup_download while its dialog is open
};

extern LibraryState library;
