/* The functions libvlc.dll exports to the Windows player. Most forward to the Linux libVLC as they
   are (handles are the native pointers); the rest adapt what differs between the two worlds:
   options, Windows paths, window handles and the threads events arrive on. */
#include "bridge.h"

#include <malloc.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

/* Exports are named bridge_<libVLC name> (the build maps them to the libVLC names): defining the
   libVLC names in this ELF object would clash with, and could interpose on, the native ones. */

HINSTANCE bridge_module;

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void *reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        bridge_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

void bridge_wait_serving(HANDLE handle)
{
    while (MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE); /* runs the sent ones */
    }
}

/* ---- Instance -------------------------------------------------------------------------------- */

#define MAX_OPTIONS 64

static int accepted(const char *option)
{
    const char *args[2] = { "--quiet", option };
    libvlc_instance_t *probe = libvlc_new(option ? 2 : 1, args);
    if (probe)
        libvlc_release(probe);
    return probe != NULL;
}

/* Whether this machine shows any sign of an audio device: ALSA's device nodes, or a PulseAudio
   (or PipeWire) server. Without one, both of libVLC's outputs fail and ALSA alone prints hundreds
   of lines to stderr that no libVLC option silences. */
static int audio_device_present(void)
{
    const char *server = getenv("PULSE_SERVER");
    if (server && *server)
        return 1;
    if (access("/dev/snd", F_OK) == 0)
        return 1;
    const char *runtime = getenv("XDG_RUNTIME_DIR");
    char socket[512];
    if (runtime && *runtime) {
        snprintf(socket, sizeof(socket), "%s/pulse/native", runtime);
        if (access(socket, F_OK) == 0)
            return 1;
    }
    snprintf(socket, sizeof(socket), "/run/user/%u/pulse/native", (unsigned)getuid());
    return access(socket, F_OK) == 0;
}

static int names_audio_output(int argc, const char *const *argv)
{
    for (int i = 0; i < argc; i++)
        if (argv[i] && (!strncmp(argv[i], "--aout", 6) || !strcmp(argv[i], "-A")))
            return 1;
    return 0;
}

/* The Linux libVLC refuses to start on any option it does not know, and Windows callers pass
   Windows-only ones. Only when the whole set is refused is each option tried on its own (a probe
   costs a fraction of a second) and the unknown ones dropped. Added in front: quiet unless
   VLC_VERBOSE asks for logs (headless, failing audio alone logs thousands of lines), and the
   dummy audio output when there is no audio device to play to; real audio otherwise. */
libvlc_instance_t *CDECL bridge_libvlc_new(int argc, const char *const *argv)
{
    if (argc < 0 || argc > MAX_OPTIONS || (argc > 0 && !argv))
        return libvlc_new(argc, argv);
    const char *args[MAX_OPTIONS + 2];
    int count = 0;
    const char *verbose = getenv("VLC_VERBOSE");
    if (!verbose || !*verbose)
        args[count++] = "--quiet";
    if (!names_audio_output(argc, argv) && !audio_device_present())
        args[count++] = "--aout=adummy";
    int base = count;
    for (int i = 0; i < argc; i++)
        args[count++] = argv[i];
    libvlc_instance_t *instance = libvlc_new(count, args);
    if (instance || argc == 0 || !accepted(NULL))
        return instance; /* refused for another reason than an option, e.g. no plug-ins */

    count = base;
    for (int i = 0; i < argc; i++)
        if (argv[i] && accepted(argv[i]))
            args[count++] = argv[i];
    return libvlc_new(count, args);
}

void CDECL bridge_libvlc_release(libvlc_instance_t *instance)
{
    libvlc_release(instance);
}

/* ---- Media ----------------------------------------------------------------------------------- */

/* The Unix name of a UTF-8 Windows path, from the process heap; NULL if it has none. */
static char *unix_path(const char *path)
{
    int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, NULL, 0);
    if (length <= 0)
        return NULL;
    WCHAR *wide = HeapAlloc(GetProcessHeap(), 0, length * sizeof(WCHAR));
    if (!wide)
        return NULL;
    MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, length);
    char *result = wine_get_unix_file_name(wide);
    HeapFree(GetProcessHeap(), 0, wide);
    return result;
}

/* The player names files by Windows paths ("Z:\\tmp\\clip.mp4"); the Linux libVLC needs the Unix
   path. A path Wine cannot map is passed unchanged: libVLC then makes a media that fails to play,
   as it would for any unreadable file. */
libvlc_media_t *CDECL bridge_libvlc_media_new_path(libvlc_instance_t *instance, const char *path)
{
    if (!path)
        return NULL;
    char *converted = path[0] == '/' ? NULL : unix_path(path);
    libvlc_media_t *media = libvlc_media_new_path(instance, converted ? converted : path);
    HeapFree(GetProcessHeap(), 0, converted);
    return media;
}

void CDECL bridge_libvlc_media_release(libvlc_media_t *media)
{
    libvlc_media_release(media);
}

/* The player only counts the tracks: the array is handed back as it came, never read. */
unsigned CDECL bridge_libvlc_media_tracks_get(libvlc_media_t *media, libvlc_media_track_t ***tracks)
{
    return libvlc_media_tracks_get(media, tracks);
}

void CDECL bridge_libvlc_media_tracks_release(libvlc_media_track_t **tracks, unsigned count)
{
    libvlc_media_tracks_release(tracks, count);
}

/* ---- Player ---------------------------------------------------------------------------------- */

libvlc_media_player_t *CDECL bridge_libvlc_media_player_new(libvlc_instance_t *instance)
{
    return libvlc_media_player_new(instance);
}

/* Order matters: first no callback may run or be queued any more, then the painter (which asks
   the player for its state) stops, then the player goes, and last the video output it wrote to. */
void CDECL bridge_libvlc_media_player_release(libvlc_media_player_t *player)
{
    if (!player)
        return;
    events_forget(libvlc_media_player_event_manager(player));
    struct video *video = video_detach(player);
    libvlc_media_player_release(player);
    video_free(video);
}

void CDECL bridge_libvlc_media_player_set_media(libvlc_media_player_t *player, libvlc_media_t *media)
{
    libvlc_media_player_set_media(player, media);
}

libvlc_event_manager_t *CDECL bridge_libvlc_media_player_event_manager(libvlc_media_player_t *player)
{
    return libvlc_media_player_event_manager(player);
}

void CDECL bridge_libvlc_media_player_set_hwnd(libvlc_media_player_t *player, void *window)
{
    video_set_window(player, window);
}

int CDECL bridge_libvlc_media_player_play(libvlc_media_player_t *player)
{
    return libvlc_media_player_play(player);
}

void CDECL bridge_libvlc_media_player_pause(libvlc_media_player_t *player)
{
    libvlc_media_player_pause(player);
}

void CDECL bridge_libvlc_media_player_set_pause(libvlc_media_player_t *player, int do_pause)
{
    libvlc_media_player_set_pause(player, do_pause);
}

void CDECL bridge_libvlc_media_player_stop(libvlc_media_player_t *player)
{
    libvlc_media_player_stop(player);
    /* Each played file runs libVLC's decoder and output threads, and glibc keeps what they freed
       in per-thread arenas, resident, for good: over 200 opens that grew the player by megabytes
       that no one held. Windows' heap returns large freed blocks to the system, so handing the
       free pages back here keeps the DLL this stands in for honest, and a leak in the player
       visible in its memory. */
    malloc_trim(0);
}

int CDECL bridge_libvlc_media_player_is_playing(libvlc_media_player_t *player)
{
    return libvlc_media_player_is_playing(player);
}

libvlc_state_t CDECL bridge_libvlc_media_player_get_state(libvlc_media_player_t *player)
{
    return libvlc_media_player_get_state(player);
}

libvlc_time_t CDECL bridge_libvlc_media_player_get_time(libvlc_media_player_t *player)
{
    return libvlc_media_player_get_time(player);
}

libvlc_time_t CDECL bridge_libvlc_media_player_get_length(libvlc_media_player_t *player)
{
    return libvlc_media_player_get_length(player);
}

void CDECL bridge_libvlc_media_player_set_time(libvlc_media_player_t *player, libvlc_time_t time)
{
    libvlc_media_player_set_time(player, time);
}

void CDECL bridge_libvlc_video_set_key_input(libvlc_media_player_t *player, unsigned on)
{
    libvlc_video_set_key_input(player, on);
}

void CDECL bridge_libvlc_video_set_mouse_input(libvlc_media_player_t *player, unsigned on)
{
    libvlc_video_set_mouse_input(player, on);
}

/* ---- Audio ----------------------------------------------------------------------------------- */

int CDECL bridge_libvlc_audio_get_mute(libvlc_media_player_t *player)
{
    return libvlc_audio_get_mute(player);
}

void CDECL bridge_libvlc_audio_set_mute(libvlc_media_player_t *player, int mute)
{
    libvlc_audio_set_mute(player, mute);
}

int CDECL bridge_libvlc_audio_get_volume(libvlc_media_player_t *player)
{
    return libvlc_audio_get_volume(player);
}

int CDECL bridge_libvlc_audio_set_volume(libvlc_media_player_t *player, int volume)
{
    return libvlc_audio_set_volume(player, volume);
}

/* ---- Events ---------------------------------------------------------------------------------- */

int CDECL bridge_libvlc_event_attach(libvlc_event_manager_t *manager, libvlc_event_type_t type,
                                     player_callback_t callback, void *data)
{
    return events_attach(manager, type, callback, data);
}

void CDECL bridge_libvlc_event_detach(libvlc_event_manager_t *manager, libvlc_event_type_t type,
                                      player_callback_t callback, void *data)
{
    events_detach(manager, type, callback, data);
}
