// The player's life: start-up in its fixed order, the message loop, and closing down.
#pragma once

#include <windows.h>

#include <vlc/vlc.h>

#include "videoplayer/playback/PlayLogic.h"

// The whole run, as the entry point performs it; returns the process exit code.
int runPlayer(HINSTANCE instance, int showCommand);

// Starts libVLC's instance on a thread of its own (app.engineStart).
void startEngine();
bool checkForUpdate();
void registerMainWindowClass(HINSTANCE instance);
int createMainWindow(HINSTANCE instance, int showCommand);
bool createChildWindows();
void onEngineStarted();
// Gives the engine libVLC's instance, the video surface's window and the event callback, waiting
// for libVLC's start if it still runs; once only. Whatever needs the engine calls it first, so a
// command that comes before libVLC is ready waits for it and is not lost. False when libVLC could
// not start (the user has then been told, and the player closes).
bool attachEngine();
void reportEngineFailure();
void onPlayerEvent(const libvlc_event_t* event, void* userData);
void onPlayerEventMessage(int eventType);
void onControllerEvent(PlayLogicEvent event);
void onClose();
void destroyObjects();
