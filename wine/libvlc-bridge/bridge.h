/* Internal interface of the Winelib libvlc.dll that lets the Windows player use the Linux libVLC:
   the event relay (events.c), the window video output (video.c) and helpers for the exports. */
#ifndef LIBVLC_BRIDGE_H
#define LIBVLC_BRIDGE_H

#include <windows.h>
#include <vlc/vlc.h>

/* Module handle of this DLL, for the video window class. */
extern HINSTANCE bridge_module;

/* Waits for `handle` while still answering messages other threads send to this one: the player's
   callbacks may SendMessage to the thread that is waiting for them to finish. */
void bridge_wait_serving(HANDLE handle);

/* The player's event callback. It is Windows code, so it has the Windows calling convention,
   which on 64-bit differs from the Linux one libvlc_callback_t carries. */
typedef void (CDECL *player_callback_t)(const struct libvlc_event_t *event, void *data);

/* Event relay. libVLC raises events on pthreads Wine does not know; these functions queue them
   and call the player's callbacks on a Wine thread instead. */
int events_attach(libvlc_event_manager_t *manager, libvlc_event_type_t type,
                  player_callback_t callback, void *data);
void events_detach(libvlc_event_manager_t *manager, libvlc_event_type_t type,
                   player_callback_t callback, void *data);
/* Detaches everything attached to `manager`, drops its queued events and waits until none of its
   callbacks runs any more (unless called from inside one of them). */
void events_forget(libvlc_event_manager_t *manager);

/* Window video output. */
struct video;
/* Renders the player's video into a child of `window` (NULL: stop showing it anywhere). */
void video_set_window(libvlc_media_player_t *player, HWND window);
/* Stops painting and unlinks the player's output; returns it for video_free once the native
   player, which may still call into it, has been released. NULL when it had none. */
struct video *video_detach(libvlc_media_player_t *player);
void video_free(struct video *video);

#endif
