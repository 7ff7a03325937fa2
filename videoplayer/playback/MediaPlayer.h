// The player's only contact with libVLC: one instance and one media player drawing into a
// window, with thin operations for playback, position, volume, mute and state.
#pragma once

#include <windows.h>
#include <cstdint>
#include <string>

#include <vlc/vlc.h>

#include "common/PathLimits.h"

class MediaPlayer {
public:
    MediaPlayer() = default;
    virtual ~MediaPlayer();
    MediaPlayer(const MediaPlayer&) = delete;
    MediaPlayer& operator=(const MediaPlayer&) = delete;

    // Creates the instance here, then the player: init(newInstance()).
    bool init();
    // Takes over an instance made by newInstance (on any thread, see EngineStart) and creates
    // the player and its event manager. The instance is owned from here on, even on failure.
    bool init(libvlc_instance_t* instance);
    void attachEvents();
    void setWindow(HWND window);
    bool open(const std::wstring& path);
    void play();
    bool isPlaying();
    void pause();
    void stop();
    int64_t getTime();
    int64_t getLength();
    void setTime(int64_t ms);
    void toggleMute();
    bool isMuted();
    int getVolume();
    bool setVolume(int volume);
    int getState();
    // Whether libVLC found anything to play in the file opened last: the tracks it lists for that
    // media once it has opened it to play, and keeps after the end. A file it cannot play has
    // none, even when libVLC passes through playing on its way to the end.
    bool mediaHasTracks();
    void release();

    // libvlc_new with the player's options: the slowest step of start-up, safe on any thread.
    // Null when libVLC cannot start, also when libvlc.dll is missing or lacks a function.
    static libvlc_instance_t* newInstance();

    // libVLC is handed a path as UTF-8 in a path buffer of bytes; longer forms are refused.
    static constexpr int maxUtf8PathBytes = static_cast<int>(maxPathLength);
    // The UTF-8 form of a path, or an empty string when it does not fit maxUtf8PathBytes.
    static std::string utf8Path(const std::wstring& path);

    libvlc_instance_t* vlcInstance = nullptr;
    libvlc_media_player_t* vlcPlayer = nullptr;
    libvlc_event_manager_t* eventManager = nullptr;
    libvlc_callback_t eventCallback = nullptr;

private:
    void releaseMedia();

    // The media opened last: a reference of our own besides the player's, to ask it about its
    // tracks once it has ended.
    libvlc_media_t* media = nullptr;
};
