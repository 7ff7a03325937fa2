// The update library's process-wide values.
#include "updater/LibraryState.h"

// The image this code is linked into: the DLL itself, or a test program that links the library
// statically. DllMain records the same value again.
extern "C" IMAGE_DOS_HEADER __ImageBase;

LibraryState library;

LibraryState::LibraryState() : moduleInstance(reinterpret_cast<HINSTANCE>(&__ImageBase)) {}
