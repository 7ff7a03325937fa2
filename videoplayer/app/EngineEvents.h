// The shell's side of the engine and the controller: libVLC's start on a thread of its own, the
// engine's hand-over once it has started, and what the engine's and the controller's events
// change on screen.
#pragma once

struct libvlc_event_t;
enum class PlayLogicEvent;

// Starts libVLC's instance on a thread of its own (app.engineStart).
void startEngine();
// Runs where libVLC's start ends (its thread, or the caller's when it was ready first): posts
// WM_ENGINE_STARTED to the main window, which then calls attachEngine.
void onEngineStarted();
// Gives the engine libVLC's instance, the video surface's window and the event callback, waiting
// for libVLC's start if it still runs; once only. Whatever needs the engine calls it first, so a
// command that comes before libVLC is ready waits for it and is not lost. False when libVLC could
// not start (the user has then been told, and the player closes).
bool attachEngine();
void reportEngineFailure();
// The engine's event callback, on libVLC's threads: hands the event to the main window.
void onPlayerEvent(const libvlc_event_t* event, void* userData);
// The main window's WM_PLAYER_EVENT: the event on the user-interface thread.
void onPlayerEventMessage(int eventType);
// The controller's reports, on the user-interface thread.
void onControllerEvent(PlayLogicEvent event);
