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

/* The contract, for every export:
   - Call them all on one thread of the host, in this order:
       tellanup_create; tellanup_setParam for the parameters below; tellanup_haveNew; on 1,
       tellanup_download; on 1, tellanup_install; in every case tellanup_release last.
   - Every function that takes a handle returns 0 at once for a null handle. No exception and
     no error dialog reaches the host; failures are results.
   - Text parameters are copied: the host may change or free its buffers as soon as the call
     returns. The library owns the object behind the handle until tellanup_release.
   - One download per process at a time: while tellanup_download runs, a second call (from any
     handle) returns 0 at once, and the handle may be neither released nor reused. */

/* Parameter indices of tellanup_setParam. Text values are pointers to NUL-terminated wide
   strings, copied by the library. A null text counts as an empty one: for indices 1, 2, 3 and 5
   it clears what was set (with no URL, tellanup_haveNew then reads tellanupdate.conf, see
   there); for 7 nothing is read; for 9 the call returns 0 and no key is set. */
enum {
    TELLANUP_PARAM_REGISTRY_KEY = 1, /* text: key under HKEY_CURRENT_USER\Software */
    TELLANUP_PARAM_PRODUCT_ID = 2,   /* text: the product's element in the server's reply */
    TELLANUP_PARAM_DISPLAY_NAME = 3, /* text: shown to the user */
    TELLANUP_PARAM_VERSION_CODE = 4, /* integer: the installed version */
    TELLANUP_PARAM_UPDATE_URL = 5,   /* text: the update server's address */
    TELLANUP_PARAM_INTERVAL = 6,     /* integer: seconds between two checks */
    TELLANUP_PARAM_CONFIG_FILE = 7,  /* text: a configuration file to read the URL from, at once */
    /* Index 8 stays unused: hosts written before the key existed may pass it and expect it to
       be ignored. */
    TELLANUP_PARAM_PUBLIC_KEY = 9    /* text: the publisher's public key, see below */
};

/* TELLANUP_PARAM_PUBLIC_KEY: base64 of the DER SubjectPublicKeyInfo of an ECDSA P-256 key, as
   printed by `openssl ec -pubout -outform DER | base64 -w0` (the body of a PEM "PUBLIC KEY"
   without its armour lines and line breaks). With a key set, tellanup_install starts an
   installer only when the server's reply carried a <signature> element that this key verifies:
   base64 of the DER ECDSA P-256 signature, with SHA-256, of the statement made of these UTF-8
   lines, each ended by a line feed (LF):
       tellanupdate signed installer 1
       <the product identifier, parameter 2>
       <the reply's version code as read: plain decimal, "-" before a negative one>
       <the SHA-256 of the installer's bytes, 64 lower-case hex digits>
   as printed by `scripts/sign-update.sh INSTALLER VERSION_CODE PRIVATE_KEY [PRODUCT]`. A
   signature over the installer's bytes alone, or for another product or version code, is
   refused. Otherwise it deletes the file, tells the user that the update could not be verified,
   and returns 0. Without a key, installers are started unchecked, but only one whose length the
   server stated (a cut one can't be told from a whole one otherwise).
   tellanup_setParam returns 0 for a key it cannot use (not base64, not a P-256 public key). From
   then on (and also when a usable key was set before) tellanup_install refuses every installer
   until a usable key is set: a host that asked for verified updates never gets unchecked ones. */

/* A new handle; null when out of memory. Does not block. `owner` (may be null) owns the question
   of tellanup_haveNew and the message of tellanup_install about an installer that failed its
   check (the download's dialog has no owner). Keep it the same window until tellanup_release, or
   pass null: each use checks that it is still a window, so a destroyed owner only leaves the
   message without one, but a handle the system has meanwhile given to another window would
   make that window the owner. */
TELLANUP_API void* __cdecl tellanup_create(HWND owner);

/* Frees the handle and everything it holds, including an installer file kept open after a
   download that was never installed. 1 for any non-null handle; the handle is invalid
   afterwards. Not while tellanup_download runs. */
TELLANUP_API int __cdecl tellanup_release(void* handle);

/* Stores one parameter (see the indices above); unknown indices are ignored. 1 for a non-null
   handle, except 0 for a public key it cannot use (see above). Index 7 reads the file at once and
   keeps the current URL when the file has none. Does not block beyond that file read. */
TELLANUP_API int __cdecl tellanup_setParam(void* handle, int index, LONG_PTR value);

/* Asks the update server whether a newer version exists and, when it does, asks the user with a
   Yes/No question. 1 only when a newer version exists and the user answered Yes; 0 otherwise
   (no URL, not due yet when useInterval is true, no answer, an unusable answer, No).
   The URL is the one set with index 5 or read with index 7. With none set, it reads the file
   tellanupdate.conf in the folder of the program that started the process (section [Global],
   key URL), and keeps what it found for later calls; no file, a path to it or a URL longer than
   259 characters, or an empty value all mean no URL.
   Blocks: while the server is asked, at most 10 seconds whatever the server or the system's
   automatic proxy configuration does (a check that runs out of time is 0), and then for as long
   as the question is open. An https server must show a certificate the system trusts for its
   name and within its dates, or the check is 0. Set parameters 1 to 4
   (and 6 when useInterval is true) before calling; may be called more than once. */
TELLANUP_API int __cdecl tellanup_haveNew(void* handle, bool useInterval);

/* Downloads the offered installer behind a modal progress dialog with a Cancel button, into a
   new folder of its own under the user's Temp folder (folders of earlier downloads are removed
   first; one that does not finish is removed at once). Only a file whose name ends in ".exe" or
   ".msi" is downloaded. The only credentials ever asked for are those of a proxy from the
   system's settings (at most 3 times); no request logs on with the user's Windows account.
   1 only when the whole installer arrived; 0 when it failed, was cancelled, or another download
   runs.
   Blocks in the dialog's message loop until the download ends or the user cancels; Cancel
   closes the dialog within a second whatever the server does, and a transfer that receives
   nothing for 30 seconds fails on its own. Call only after tellanup_haveNew returned 1. */
TELLANUP_API int __cdecl tellanup_download(void* handle);

/* Starts the downloaded installer through the shell, with its folder as the working folder. 1
   when it was started; 0 when no download finished on this handle, a public key was set and the
   installer failed its check (see above; the file and its folder are then deleted), or the shell
   could not start it. The file is kept unchangeable from the end of the download until this
   call. Does not wait for the installer; a host being updated should close its windows and end
   after 1. */
TELLANUP_API int __cdecl tellanup_install(void* handle);

#ifdef __cplusplus
}
#endif

#endif
