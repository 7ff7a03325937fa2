// A player created in the test process, as start-up creates it, on the libvlc test double:
// main window, controller, video surface, control bar and engine.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

class PlayerFixture : public ::testing::Test {
public:
    // Removes the player's registry key, so every test starts as a first run.
    static void deleteSettings();

protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window and the objects and waits until the engine has libVLC's instance
    // (unless told not to wait); false when start-up failed.
    bool startPlayer(int showCommand = SW_SHOWNORMAL, bool waitForEngine = true);
    // Closes the window as the close button does, and checks the loop would end with 0.
    void closePlayer();

    // A folder of the test's own, removed afterwards, holding empty files with these names.
    std::wstring makeFolder(const std::vector<std::wstring>& names);
    // Delivers a shell drop of these paths to the main window.
    void dropFiles(const std::vector<std::wstring>& paths);
    // Waits until the engine reports this state (3 playing, 4 paused, ...).
    bool waitForState(int state, DWORD timeoutMs = 5000);
    std::wstring caption() const;
    RECT clientRect() const;

private:
    ULONG_PTR gdiplusToken = 0;
    std::vector<std::unique_ptr<TempFolder>> folders;
};
