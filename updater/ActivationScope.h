// ActivationScope: makes a module's own manifest (resource 2) the active activation context for
// its lifetime, so windows created meanwhile get the Common Controls version the module asks
// for, whatever the host process uses.
#pragma once

#include <windows.h>

class ActivationScope {
public:
    explicit ActivationScope(HINSTANCE module);
    ~ActivationScope();
    ActivationScope(const ActivationScope&) = delete;
    ActivationScope& operator=(const ActivationScope&) = delete;

    bool active() const { return cookie != 0; }

private:
    HANDLE context = INVALID_HANDLE_VALUE;
    ULONG_PTR cookie = 0;
};
