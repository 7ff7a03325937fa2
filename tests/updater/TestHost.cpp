// A minimal host of the update library for the tests: it runs one check as the player does and
// exits with the check's result. With an argument other than "-" it first sets that update URL
// (parameter 5), which must keep the configuration file beside it from being read.
#include <windows.h>

#include "updater/tellanupdate.h"

int wmain(int argc, wchar_t** argv)
{
    void* updater = tellanup_create(nullptr);
    if (!updater)
        return 3;
    tellanup_setParam(updater, TELLANUP_PARAM_REGISTRY_KEY, reinterpret_cast<LONG_PTR>(L"Quillet Tests\\Host"));
    tellanup_setParam(updater, TELLANUP_PARAM_PRODUCT_ID, reinterpret_cast<LONG_PTR>(L"Quillet"));
    tellanup_setParam(updater, TELLANUP_PARAM_DISPLAY_NAME, reinterpret_cast<LONG_PTR>(L"Quillet Host"));
    tellanup_setParam(updater, TELLANUP_PARAM_VERSION_CODE, 2);
    tellanup_setParam(updater, TELLANUP_PARAM_INTERVAL, 86400);
    if (argc > 1 && lstrcmpW(argv[1], L"-") != 0)
        tellanup_setParam(updater, TELLANUP_PARAM_UPDATE_URL, reinterpret_cast<LONG_PTR>(argv[1]));
    const int result = tellanup_haveNew(updater, false);
    tellanup_release(updater);
    return result;
}
