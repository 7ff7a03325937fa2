// The six functions the library exports. No C++ exception may cross into the host (with a
// static runtime it would end the process), so each export catches everything.
#include "updater/tellanupdate.h"

#include <new>

#include "updater/LibraryState.h"
#include "updater/Updater.h"

namespace {

Updater* fromHandle(void* handle) { return static_cast<Updater*>(handle); }

template <typename Body>
int guarded(void* handle, Body body)
{
    if (!handle)
        return 0;
    try {
        return body(*fromHandle(handle));
    } catch (...) {
        return 0;
    }
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID)
{
    library.moduleInstance = instance;
    return TRUE;
}

void* __cdecl tellanup_create(HWND owner)
{
    try {
        return new (std::nothrow) Updater(owner);
    } catch (...) {
        return nullptr;
    }
}

int __cdecl tellanup_release(void* handle)
{
    return guarded(handle, [](Updater& updater) {
        delete &updater;
        return 1;
    });
}

int __cdecl tellanup_setParam(void* handle, int index, LONG_PTR value)
{
    return guarded(handle, [&](Updater& updater) {
        updater.setParam(index, value);
        return 1;
    });
}

int __cdecl tellanup_haveNew(void* handle, bool useInterval)
{
    return guarded(handle, [&](Updater& updater) { return updater.haveNew(useInterval) ? 1 : 0; });
}

int __cdecl tellanup_download(void* handle)
{
    return guarded(handle, [](Updater& updater) { return updater.download() ? 1 : 0; });
}

int __cdecl tellanup_install(void* handle)
{
    return guarded(handle, [](Updater& updater) { return updater.install() ? 1 : 0; });
}

} // extern "C"
