// The playback controller: the wanted volume and mute state, the file loaded last and the
// folder playlist, turning the user's commands into calls on the media engine.
#pragma once

#include <string>

#include "videoplayer/playback/PlayListData.h"

class MediaPlayer;

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
    PlayListData playList;
    std::wstring currentPath;
    int volume = 100;
    bool muted = false;

private:
    void waitWhileEngineReportsPlaying();
    bool playingOrPaused();
    void showVolumeOnBar();
};
