/* tellanupdate: the update library's public interface. A host creates one handle, sets its
   parameters, asks whether a newer version exists, downloads and starts its installer. */
#ifndef TELLANUPDATE_H
#define TELLANUPDATE_H

#include <windows.h>
#ifndef __cplusplus
#include <stdbool.h>
#endif

#ifdef TELLANUPDATE_BUILD
#define TELLANUP_API __declspec(dllexport)
#else
#define TELLANUP_API __declspec(dllimport)
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Parameter indices of tellanup_setParam. Text values are pointers to NUL-terminated wide
   strings, copied by the library. */
enum {
    TELLANUP_PARAM_REGISTRY_KEY = 1, /* text: key under HKEY_CURRENT_USER\Software */
    TELLANUP_PARAM_PRODUCT_ID = 2,   /* text: the product's element in the server's reply */
    TELLANUP_PARAM_DISPLAY_NAME = 3, /* text: shown to the user */
    TELLANUP_PARAM_VERSION_CODE = 4, /* integer: the installed version */
    TELLANUP_PARAM_UPDATE_URL = 5,   /* text: the update server's address */
    TELLANUP_PARAM_INTERVAL = 6,     /* integer: seconds between two checks */
    TELLANUP_PARAM_CONFIG_FILE = 7   /* text: a configuration file to read the URL from */
};

TELLANUP_API void* __cdecl tellanup_create(HWND owner);
TELLANUP_API int __cdecl tellanup_release(void* handle);
TELLANUP_API int __cdecl tellanup_setParam(void* handle, int index, LONG_PTR value);
TELLANUP_API int __cdecl tellanup_haveNew(void* handle, bool useInterval);
TELLANUP_API int __cdecl tellanup_download(void* handle);
TELLANUP_API int __cdecl tellanup_install(void* handle);

#ifdef __cplusplus
}
#endif

#endif
