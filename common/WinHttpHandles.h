// Owners for WinHTTP handles (sessions, connections, requests) and the strings WinHTTP hands out.
// Apart from the rest of the kit because <winhttp.h> and <wininet.h> cannot be included in one
// source file.
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "common/UniqueHandle.h"

struct WinHttpHandleTraits {
    using Type = HINTERNET;
    static Type none() { return nullptr; }
    static void close(Type handle) { WinHttpCloseHandle(handle); }
};
using UniqueWinHttpHandle = UniqueHandle<WinHttpHandleTraits>;

// Strings WinHTTP allocates for its caller (the user's proxy settings, a looked-up proxy).
struct WinHttpStringTraits {
    using Type = wchar_t*;
    static Type none() { return nullptr; }
    static void close(Type text) { GlobalFree(text); }
};
using UniqueWinHttpString = UniqueHandle<WinHttpStringTraits>;
