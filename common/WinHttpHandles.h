// Owner for WinHTTP handles (sessions, connections, requests). Apart from the rest of the kit
// because <winhttp.h> and <wininet.h> cannot be included in one source file.
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
