// Controls of the libvlc.dll test double: what tests script and inspect. The double itself
// exports the libVLC functions the player calls and behaves like the real library: state
// changes and events happen on a thread of its own.
#pragma once

#include <windows.h>
#include <cstdint>

#ifdef FAKEVLC_BUILD
#define FAKEVLC_API __declspec(dllexport)
#else
#define FAKEVLC_API __declspec(dllimport)
#endif

extern "C" {

// Forgets scripts, logs and faults (players and instances stay).
FAKEVLC_API void __cdecl fakevlc_reset();

// ---- Scripts ----
// libvlc_new fails (returns null) while set. A program of its own: FAKEVLC_FAIL_NEW=1.
FAKEVLC_API void __cdecl fakevlc_failNew(int fail);
// libvlc_new takes this long, like the real library's start. A program: FAKEVLC_NEW_DELAY_MS.
FAKEVLC_API void __cdecl fakevlc_setNewDelay(int ms);
// libvlc_media_new_path refuses paths containing this UTF-8 text (null or "" clears).
FAKEVLC_API void __cdecl fakevlc_refusePathsContaining(const char* utf8);
// Media from paths containing this UTF-8 text open, but cannot be played: play takes them to
// state 7 with EncounteredError, or with endInstead to state 6 with EndReached, never through
// Playing (null or "" clears).
FAKEVLC_API void __cdecl fakevlc_failPlayingPathsContaining(const char* utf8, int endInstead);
// Length reported for media opened from now on, and how long after play it appears.
FAKEVLC_API void __cdecl fakevlc_setMediaLength(int64_t ms);
FAKEVLC_API void __cdecl fakevlc_setLengthDelay(int ms);
// How long play, pause and stop take to change the state.
FAKEVLC_API void __cdecl fakevlc_setStateDelay(int ms);
// The next stop or pause takes effect only after this many milliseconds: the engine keeps
// reporting "playing" meanwhile.
FAKEVLC_API void __cdecl fakevlc_keepPlaying(int ms);
// Moves every playing player to the end of its media: state 6 and EndReached follow.
FAKEVLC_API void __cdecl fakevlc_jumpToEnd();
// Raises an event of this type on the double's event thread, as if the engine sent it.
FAKEVLC_API void __cdecl fakevlc_raiseEvent(int type);

// ---- Inspection ----
// The UTF-8 bytes last given to libvlc_media_new_path; returns their count.
FAKEVLC_API int __cdecl fakevlc_lastMediaPath(char* buffer, int size);
// The libVLC calls made so far, in order ("libvlc_media_player_play", ...).
FAKEVLC_API int __cdecl fakevlc_callCount();
FAKEVLC_API const char* __cdecl fakevlc_callAt(int index);
// Misuse the real library would punish (a call on a released handle, a wait for a callback
// that never returns, ...): counted and described instead of crashing or hanging.
FAKEVLC_API int __cdecl fakevlc_faultCount();
FAKEVLC_API const char* __cdecl fakevlc_lastFault();
FAKEVLC_API DWORD __cdecl fakevlc_eventThreadId();
FAKEVLC_API HWND __cdecl fakevlc_lastHwnd();
FAKEVLC_API int __cdecl fakevlc_livePlayers();
FAKEVLC_API int __cdecl fakevlc_liveInstances();
// The option strings given to the last libvlc_new, joined by blanks.
FAKEVLC_API const char* __cdecl fakevlc_lastOptions();
}
