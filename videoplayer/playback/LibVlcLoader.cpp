// Binding libvlc.dll, which the player's build imports lazily (a delay-load import library, or
// /DELAYLOAD with MSVC). Where it is bound at load time instead there is nothing left to bind.
#include "videoplayer/playback/LibVlcLoader.h"

#include <windows.h>
#include <delayimp.h>
#include <atomic>
#include <cstring>

#include "common/UniqueHandle.h"

namespace {

const char libVlcName[] = "libvlc.dll";

// Set when a libVLC function could not be bound.
std::atomic<bool> bindFailed{false};

// Takes the place of a function libvlc.dll lacks. libvlcLoaded reports the failure and the player
// then calls no libVLC function at all; the stand-in only keeps the binder from raising an
// exception (which would end the process) while it binds the rest.
INT_PTR __cdecl missingFunction()
{
    return 0;
}

FARPROC WINAPI onBindFailure(unsigned notification, PDelayLoadInfo info)
{
    if (!info || !info->szDll || _stricmp(info->szDll, libVlcName) != 0)
        return nullptr; // not ours: the default behaviour
    bindFailed = true;
    if (notification == dliFailLoadLib)
        // Any module will do: lookups in it fail, and each lands here again as dliFailGetProc.
        return reinterpret_cast<FARPROC>(GetModuleHandleW(nullptr));
    if (notification == dliFailGetProc)
        return reinterpret_cast<FARPROC>(missingFunction);
    return nullptr;
}

} // namespace

// The binder consults this hook before it gives up on a function or on the library. <delayimp.h>
// declares it extern "C" (const with MSVC); this defines it.
#if defined(_MSC_VER)
const PfnDliHook __pfnDliFailureHook2 = onBindFailure;
#else
PfnDliHook __pfnDliFailureHook2 = onBindFailure;
#endif

bool libVlcLoaded()
{
    // Loaded here first, so that a missing library, or one whose own start-up fails, is told
    // apart from a missing function without going through the binder at all.
    // This reference is given back on return: the binder (or the load-time import) holds its own.
    const UniqueModule module(LoadLibraryW(L"libvlc.dll"));
    if (!module)
        return false;
    // Binds every function now, on this thread: none can fail later, in the middle of a call.
    // Its result only says whether the library is imported lazily at all; missing functions
    // arrive through the hook.
    __HrLoadAllImportsForDll(libVlcName);
    return !bindFailed;
}
