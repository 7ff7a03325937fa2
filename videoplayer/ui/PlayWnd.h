// The video surface: a borderless child window that libVLC draws into, showing a black area
// with the centred logo while idle; it owns the context menu, double press and cursor hiding.
#pragma once

#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <functional>
#include <string>

#include "common/GdiplusSession.h"
#include "videoplayer/ui/GWindow.h"
#include "videoplayer/ui/RestDetector.h"

class MediaPlayer;
class PlayLogic;

// What the context menu offers depends on these, read when it opens.
struct ContextMenuState {
    bool fullScreen = false;
    bool isPlaying = false;
    int engineState = 0;
    int playListCount = 0;
    int currentIndex = -1;
};

// Handed the controller it serves when it is made (the engine is reached through it, so the
// surface sees the engine from the moment start-up gives it to the controller), and a question
// it asks the shell: whether the main window is in full screen. Commands go to the parent window.
class PlayWnd : public GWindow {
public:
    PlayWnd(PlayLogic& controller, std::function<bool()> isFullScreen);
    ~PlayWnd() override;

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void onPaint(HDC dc) override;

    // The logo from `module`'s resources, made for `dpi`.
    void loadLogo(HMODULE module, int dpi);

    // Hides the cursor while it rests over a playing video; run on each main-timer tick.
    void updateCursor();
    // Names the window after the file under way, as a screen reader reads it; run on each
    // main-timer tick.
    void updateName();
    // Starts the cursor's rest over, as if it had just moved to `pos` at `tick`.
    void restartCursorRest(DWORD tick, POINT pos);
    // Time and place of the last counted cursor movement.
    DWORD lastMoveTick() const;
    POINT lastCursorPos() const;
    void showContextMenu(int x, int y);

    // Removes the full-screen entry that does not apply and greys what cannot be done now,
    // in the first popup of the context menu resource.
    static void prepareContextMenu(HMENU popup, const ContextMenuState& state);
    // The state of playback and window as the context menu sees it.
    ContextMenuState currentMenuState() const;

    // How far (pixels, either axis) the cursor must move to count, and how long it must rest.
    static constexpr int cursorMoveSlack = 5;
    static constexpr DWORD cursorRestMs = 5000;
    // Two left presses closer than this toggle full screen.
    static constexpr DWORD doublePressMs = 400;

    UniqueGdiplusImage logo;
    int cursorHidden = 0;

private:
    MediaPlayer* engine() const;
    int engineState() const;
    void postCommand(WPARAM command);
    void onLeftButtonDown();
    bool cursorOverSurface(POINT pos) const;
    void hideCursor();
    void restoreCursor();

    PlayLogic& controller;
    std::function<bool()> isFullScreen;
    // A move counts when it exceeds the slack, a rest once it lasts the full period.
    RestDetector cursorRest{cursorMoveSlack + 1, cursorRestMs};
    bool contextMenuOpen = false; // the cursor never hides while the menu is up
    std::wstring name;            // the window's text as updateName last set it
};
