// Thin wrapper over libVLC. Every operation is a no-op (zero, false) while there is no player,
// so callers never need to check for one.
#include "videoplayer/playback/MediaPlayer.h"

#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/LibVlcLoader.h"

static_assert(EngineNothingSpecial == static_cast<int>(libvlc_NothingSpecial) &&
                  EnginePlaying == static_cast<int>(libvlc_Playing) &&
                  EnginePaused == static_cast<int>(libvlc_Paused) && EngineEnded == static_cast<int>(libvlc_Ended) &&
                  EngineError == static_cast<int>(libvlc_Error),
              "EngineState mirrors libVLC's player states");

namespace {

// The events the application reacts to, in the order they are attached. The last tells of a
// file that cannot be played: libVLC accepts nearly any path and fails only once it plays.
const libvlc_event_type_t attachedEvents[] = {
    libvlc_MediaPlayerTimeChanged, libvlc_MediaPlayerPlaying,    libvlc_MediaPlayerPaused,
    libvlc_MediaPlayerStopped,     libvlc_MediaPlayerEndReached, libvlc_MediaPlayerEncounteredError,
};

} // namespace

MediaPlayer::~MediaPlayer()
{
    release();
}

libvlc_instance_t* MediaPlayer::newInstance()
{
    if (!libVlcLoaded())
        return nullptr;
    const char* const args[] = {"--no-video-title-show", "--no-keyboard-events", "--no-mouse-events"};
    return libvlc_new(3, args);
}

bool MediaPlayer::init()
{
    return init(newInstance());
}

bool MediaPlayer::init(libvlc_instance_t* instance)
{
    vlcInstance = instance;
    if (!vlcInstance)
        return false;
    vlcPlayer = libvlc_media_player_new(vlcInstance);
    if (!vlcPlayer)
        return false;
    eventManager = libvlc_media_player_event_manager(vlcPlayer);
    if (!eventManager)
        return false;
    // Keys and mouse must reach the player's own windows, not libVLC's video window.
    libvlc_video_set_key_input(vlcPlayer, 0);
    libvlc_video_set_mouse_input(vlcPlayer, 0);
    return true;
}

void MediaPlayer::attachEvents()
{
    if (!eventManager || !eventCallback)
        return;
    for (libvlc_event_type_t type : attachedEvents)
        libvlc_event_attach(eventManager, type, eventCallback, nullptr);
}

void MediaPlayer::setWindow(HWND window)
{
    if (vlcPlayer)
        libvlc_media_player_set_hwnd(vlcPlayer, window);
}

std::string MediaPlayer::utf8Path(const std::wstring& path)
{
    if (path.empty())
        return std::string();
    const int length = static_cast<int>(path.size());
    // A name may hold a lone surrogate (NTFS allows it) that has no UTF-8 form. Converted
    // leniently it would become U+FFFD and name another file, so it is refused like a path that
    // does not fit, which a cut would turn into another file just the same.
    const DWORD strict = WC_ERR_INVALID_CHARS;
    const int needed = WideCharToMultiByte(CP_UTF8, strict, path.c_str(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0 || needed > maxUtf8PathBytes)
        return std::string();
    std::string utf8(static_cast<size_t>(needed), '\0');
    if (WideCharToMultiByte(CP_UTF8, strict, path.c_str(), length, &utf8[0], needed, nullptr, nullptr) != needed)
        return std::string();
    return utf8;
}

bool MediaPlayer::open(const std::wstring& path)
{
    const std::string utf8 = utf8Path(path);
    if (!vlcPlayer || utf8.empty())
        return false;
    if (libvlc_media_player_is_playing(vlcPlayer))
        libvlc_media_player_stop(vlcPlayer);
    libvlc_media_t* opened = libvlc_media_new_path(vlcInstance, utf8.c_str());
    if (!opened)
        return false;
    libvlc_media_player_set_media(vlcPlayer, opened);
    releaseMedia();
    media = opened;
    return true;
}

void MediaPlayer::releaseMedia()
{
    if (media)
        libvlc_media_release(media);
    media = nullptr;
}

// Asked on the user-interface thread, of the media itself: an event telling that the file
// played would come through a hand-over and may arrive after its end (a clip shorter than the
// hand-over), and a text file under an .mp4 name passes through playing too.
bool MediaPlayer::mediaHasTracks()
{
    if (!media)
        return false;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(media, &tracks);
    if (tracks)
        libvlc_media_tracks_release(tracks, count);
    return count > 0;
}

void MediaPlayer::play()
{
    if (vlcPlayer)
        libvlc_media_player_play(vlcPlayer);
}

bool MediaPlayer::isPlaying()
{
    return vlcPlayer && libvlc_media_player_is_playing(vlcPlayer) != 0;
}

// libvlc_media_player_pause toggles, so a second pause sent before an engine slow to answer had
// paused would set it playing again. Asking for the paused state outright never resumes.
void MediaPlayer::pause()
{
    if (vlcPlayer)
        libvlc_media_player_set_pause(vlcPlayer, 1);
}

void MediaPlayer::stop()
{
    if (vlcPlayer)
        libvlc_media_player_stop(vlcPlayer);
}

int64_t MediaPlayer::getTime()
{
    return vlcPlayer ? libvlc_media_player_get_time(vlcPlayer) : 0;
}

int64_t MediaPlayer::getLength()
{
    return vlcPlayer ? libvlc_media_player_get_length(vlcPlayer) : 0;
}

void MediaPlayer::setTime(int64_t ms)
{
    if (vlcPlayer)
        libvlc_media_player_set_time(vlcPlayer, ms);
}

void MediaPlayer::toggleMute()
{
    if (vlcPlayer)
        libvlc_audio_set_mute(vlcPlayer, libvlc_audio_get_mute(vlcPlayer) == 0 ? 1 : 0);
}

bool MediaPlayer::isMuted()
{
    return vlcPlayer && libvlc_audio_get_mute(vlcPlayer) != 0;
}

int MediaPlayer::getVolume()
{
    return vlcPlayer ? libvlc_audio_get_volume(vlcPlayer) : 0;
}

bool MediaPlayer::setVolume(int volume)
{
    return vlcPlayer && libvlc_audio_set_volume(vlcPlayer, volume) == 0;
}

int MediaPlayer::getState()
{
    return vlcPlayer ? static_cast<int>(libvlc_media_player_get_state(vlcPlayer)) : 0;
}

void MediaPlayer::release()
{
    if (vlcPlayer) {
        // No event may reach the application once teardown has begun.
        if (eventManager && eventCallback) {
            for (libvlc_event_type_t type : attachedEvents)
                libvlc_event_detach(eventManager, type, eventCallback, nullptr);
        }
        libvlc_media_player_release(vlcPlayer);
        vlcPlayer = nullptr;
        releaseMedia();
        eventManager = nullptr;
    }
    if (vlcInstance) {
        libvlc_release(vlcInstance);
        vlcInstance = nullptr;
    }
}
