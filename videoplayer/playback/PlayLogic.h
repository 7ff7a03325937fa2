// The playback controller: the wanted volume and mute state, the file loaded last and the
// folder playlist, turning the user's commands into calls on the media engine.
#pragma once

#include <functional>
#include <string>

#include "videoplayer/playback/PlayListData.h"

class MediaPlayer;

// What the controller tells whoever shows it. Playback knows nothing of windows: the shell sets
// eventCallback and turns these into what the user sees, as it does with the engine's events.
enum class PlayLogicEvent {
    Stopped,       // stop() has run: a slider drag must end and the position display follow
    VolumeChanged, // the effective volume or mute state may differ from what is shown
};

class PlayLogic {
public:
    PlayLogic() = default;
    virtual ~PlayLogic() = default;

    bool isPlaying();
    void play();
    void pause();
    void stop();
    void stepFile(int direction);
    bool seek(int direction);
    void toggleMute();
    void setVolume(int value);
    void stepVolume(int direction);
    void applyAudio();
    void onTimer();

    // What the volume slider shows: 0 while muted.
    int effectiveVolume() const { return muted ? 0 : volume; }

    MediaPlayer* mediaPlayer = nullptr;
    // Called on the user-interface thread, from inside the operation that caused the event.
    std::function<void(PlayLogicEvent)> eventCallback;
    PlayListData playList;
    std::wstring currentPath;
    int volume = 100;
    bool muted = false;

private:
    void waitWhileEngineReportsPlaying();
    bool playingOrPaused();
    void report(PlayLogicEvent event);
};
