// Helpers shared by the tests: waiting for the libvlc test double's asynchronous state changes
// while the calling thread keeps serving its windows' messages, bounding a call that may hang,
// and a proxy from the settings.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

// Pumps this thread's messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps this thread's messages for a while.
void pumpFor(DWORD ms);
// Runs `work` on a thread of its own; false when it has not returned within `timeoutMs` (it is
// left running then, so give it only what it may keep: shared pointers, copies).
bool returnsWithin(std::function<void()> work, DWORD timeoutMs);
// Makes `proxyUrl` the proxy of the system's settings for this process, as Wine reads them (from
// http_proxy); before the process's first request, since WinINet reads it once.
void useProxyFromSettings(const std::wstring& proxyUrl);
// The libVLC calls made so far, as one text ("a b c"), for readable failure messages.
std::string fakeVlcCalls();
// Index of the first call with this name after `from`, or -1.
int fakeVlcCallIndex(const char* name, int from = 0);
