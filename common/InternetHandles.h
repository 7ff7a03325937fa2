// Owner for WinINet handles (sessions, connections, requests). Apart from the rest of the kit
// because <wininet.h> and <winhttp.h> cannot be included in one source file.
#pragma once

#include <windows.h>
#include <wininet.h>

#include "common/UniqueHandle.h"

struct InternetHandleTraits {
    using Type = HINTERNET;
    static Type none() { return nullptr; }
    static void close(Type handle) { InternetCloseHandle(handle); }
};
using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;
