// Helpers shared by the tests: waiting for the libvlc test double's asynchronous state changes
// while the calling thread keeps serving its windows' messages.
#pragma once

#include <windows.h>
#include <functional>
#include <string>

// Pumps this thread's messages until `done` holds or `timeoutMs` passes; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps this thread's messages for a while.
void pumpFor(DWORD ms);
// The libVLC calls made so far, as one text ("a b c"), for readable failure messages.
std::string fakeVlcCalls();
// Index of the first call with this name after `from`, or -1.
int fakeVlcCallIndex(const char* name, int from = 0);
