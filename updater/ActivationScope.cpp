// Activates a module's own manifest for the lifetime of a scope.
#include "updater/ActivationScope.h"

#include "common/PathLimits.h"

namespace {

// The resource number Windows reserves for a DLL's own manifest.
const WORD moduleManifestId = 2;

} // namespace

ActivationScope::ActivationScope(HINSTANCE module)
{
    wchar_t path[pathBufferLength] = L"";
    const DWORD length = GetModuleFileNameW(module, path, pathBufferLength);
    if (length == 0 || length > maxPathLength)
        return;
    ACTCTXW request = {};
    request.cbSize = sizeof(request);
    request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = path;
    request.hModule = module;
    request.lpResourceName = MAKEINTRESOURCEW(moduleManifestId);
    context = CreateActCtxW(&request);
    if (context != INVALID_HANDLE_VALUE && !ActivateActCtx(context, &cookie))
        cookie = 0;
}

ActivationScope::~ActivationScope()
{
    if (cookie != 0)
        DeactivateActCtx(0, cookie);
    if (context != INVALID_HANDLE_VALUE)
        ReleaseActCtx(context);
}
