// holdLibraryOf: one more reference on the DLL a piece of code lives in, for a thread of that DLL
// that may outlive the host's last use of it.
#pragma once

#include <windows.h>

#include "common/UniqueHandle.h"

// The module holding `code`, referenced once more, so that a host unloading it cannot take the
// code from under a thread still running it; the thread gives it back with
// FreeLibraryAndExitThread as its last act. None when `code` is in the program itself, which is
// never unloaded.
inline UniqueModule holdLibraryOf(const void* code)
{
    UniqueModule module;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(code), module.receive()))
        return UniqueModule();
    if (module.get() == GetModuleHandleW(nullptr))
        return UniqueModule();
    return module;
}
