// The tick count and mouse position as the user interface reads them. Cursor hiding and the
// bar's auto-hide depend on both; tests substitute them so that none waits five real seconds.
#pragma once

#include <windows.h>

class UiClock {
public:
    static DWORD now();
    static POINT cursorPos();

    // Test hooks: null restores the system's source.
    using TickSource = DWORD (*)();
    using CursorSource = POINT (*)();
    static void setSources(TickSource tick, CursorSource cursor);

private:
    static TickSource tickSource;
    static CursorSource cursorSource;
};
