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
    Stopped,        // stop() has run: a slider drag must end and the position display follow
    VolumeChanged,  // the effective volume or mute state may differ from what is shown
    PlaybackFailed, // the file the user chose cannot be played; it has been stopped
};

class PlayLogic {
public:
    PlayLogic() = default;
    virtual ~PlayLogic() = default;

    bool isPlaying();
    // Makes the file the user chose the current one and starts it; false when the engine
    // refuses it (or there is none). A failure that shows only once it plays is reported later
    // as PlaybackFailed.
    bool openFile(const std::wstring& path);
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
    // An engine event (libVLC's type), handed to the user-interface thread by the shell: how
    // the controller learns that a file cannot be played.
    void onEngineEvent(int type);

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
    // How the current file was reached, which decides what follows when it cannot be played: a
    // file the user chose is reported; one a step reached is dropped and the step goes on in its
    // direction. Previous and Next wrap at the ends of the folder; the advance at the end of a
    // file never does.
    enum class Arrival { Chosen, Previous, Next, Advance };

    void step(Arrival how);
    bool startFile(const std::wstring& path, Arrival how);
    void playFrom(int index, Arrival how);
    void endFolder();
    void onFileFailed();
    void waitWhileEngineReportsPlaying();
    bool playingOrPaused();
    void report(PlayLogicEvent event);

    // How the current file was reached: a file that cannot be played is reported when chosen, and
    // skipped in the same direction when stepped to. (libVLC also reports a file it could not play
    // as ended; what tells that end from a real one is the engine's to say:
    // MediaPlayer::mediaHasTracks.)
    Arrival arrival = Arrival::Chosen;
};
