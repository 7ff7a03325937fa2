// Quillet's entry point. The command line is ignored: files come from Open or a drop.
#include <windows.h>

#include "videoplayer/app/Startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    return runPlayer(instance, showCommand);
}
