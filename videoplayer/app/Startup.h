// The player's life: start-up in its fixed order, the message loop, and closing down.
#pragma once

#include <windows.h>

#include <vlc/vlc.h>

#include "videoplayer/playback/PlayLogic.h"

// The whole run, as the entry point performs it; returns the process exit code.
int runPlayer(HINSTANCE instance, int showCommand);

bool checkForUpdate();
void registerMainWindowClass(HINSTANCE instance);
int createMainWindow(HINSTANCE instance, int showCommand);
bool createChildWindows();
void onPlayerEvent(const libvlc_event_t* event, void* userData);
void onPlayerEventMessage(int eventType);
void onControllerEvent(PlayLogicEvent event);
void onClose();
void destroyObjects();
