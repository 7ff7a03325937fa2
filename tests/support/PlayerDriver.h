// Runs Quillet.exe as a separate process and drives it as a user would: finds its main window,
// chooses files in its Select File dialog, reads its caption and closes it.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "tests/support/WindowDriver.h"

// The folder of the running test program (the build's bin folder).
std::wstring programFolder();

class PlayerDriver {
public:
    // Starts <folder>\Quillet.exe with these arguments and waits for its main window.
    explicit PlayerDriver(const std::wstring& folder, const std::wstring& arguments = L"");
    ~PlayerDriver();
    PlayerDriver(const PlayerDriver&) = delete;
    PlayerDriver& operator=(const PlayerDriver&) = delete;

    // Closes the window as its close button does; returns the exit code (0xFFFFFFFF on a hang).
    DWORD close();
    // Chooses a file through the Open command's "Select File" dialog; false if it never closed.
    bool openThroughDialog(const std::wstring& path);
    // Drops one file on the main window, as the shell does; false if the drop could not be made.
    bool dropFile(const std::wstring& path);
    // Frees the blocks of earlier drops in the player's memory, once it has taken their paths.
    void freeDrops();
    void command(int id) const;
    std::wstring caption() const { return windowText(window); }
    bool exited(DWORD timeoutMs, DWORD* exitCode);

    bool started = false;
    HWND window = nullptr;
    PROCESS_INFORMATION process = {};

private:
    HWND findMainWindow() const;

    std::vector<void*> drops_;
};
