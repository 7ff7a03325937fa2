// Binding libvlc.dll. The player imports it lazily, so that loading it costs the window nothing
// and a missing or broken library can be reported by the player instead of by the system loader.
#pragma once

// Loads libvlc.dll and binds every libVLC function the player calls; false when the library is
// missing, fails to load, or lacks one of them. Safe on any thread; call it before any libVLC
// function, and call those only when it returned true.
bool libVlcLoaded();
