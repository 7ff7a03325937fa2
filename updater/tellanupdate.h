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
    TELLANUP_PARAM_CONFIG_FILE = 7,  /* text: a configuration file to read the URL from */
    /* Index 8 stays unused: hosts written before the key existed may pass it and expect it to
       be ignored. */
    TELLANUP_PARAM_PUBLIC_KEY = 9    /* text: the publisher's public key, see below */
};

/* TELLANUP_PARAM_PUBLIC_KEY: base64 of the DER SubjectPublicKeyInfo of an ECDSA P-256 key, as
   printed by `openssl ec -pubout -outform DER | base64 -w0` (the body of a PEM "PUBLIC KEY"
   without its armour lines and line breaks). With a key set, tellanup_install starts an
   installer only when the server's reply carried a <signature> element (base64 of the DER
   ECDSA signature over the SHA-256 of the installer's bytes, as printed by
   `openssl dgst -sha256 -sign key.pem -binary setup.exe | base64 -w0`) that this key verifies
   over the downloaded file; otherwise it deletes the file, tells the user that the update could
   not be verified, and returns 0. Without a key, installers are started unchecked.
   tellanup_setParam returns 0 for a key it cannot use (not base64, not a P-256 public key) and
   then no key is set, not even one set before: a host that wants verified updates must not go
   on to download when this call fails. */

TELLANUP_API void* __cdecl tellanup_create(HWND owner);
TELLANUP_API int __cdecl tellanup_release(void* handle);
/* Returns 1, or 0 for a null handle or a public key that cannot be used. Unknown indices are
   ignored (result 1). */
TELLANUP_API int __cdecl tellanup_setParam(void* handle, int index, LONG_PTR value);
TELLANUP_API int __cdecl tellanup_haveNew(void* handle, bool useInterval);
TELLANUP_API int __cdecl tellanup_download(void* handle);
TELLANUP_API int __cdecl tellanup_install(void* handle);

#ifdef __cplusplus
}
#endif

#endif
