// The playback controller: commands become engine calls; the wanted volume and mute state are
// kept here and pressed onto the engine whenever it has something playing.
#include "videoplayer/playback/PlayLogic.h"

#include <windows.h>

#include "videoplayer/playback/EngineState.h"
#include "videoplayer/playback/MediaPlayer.h"

namespace {

const int64_t seekStepMs = 5000;
const int volumeStep = 10;
const int volumeMax = 100;

// Pause and stop wait for the engine so the next command sees the new state. libVLC answers
// within tens of milliseconds; one that keeps reporting "playing" (a stuck output or demuxer)
// must not freeze the window for good, so after this long we carry on as if it had answered.
const DWORD engineWaitStepMs = 100;
const DWORD engineWaitLimitMs = 3000;

int clampVolume(int value)
{
    return value < 0 ? 0 : value > volumeMax ? volumeMax : value;
}

} // namespace

bool PlayLogic::isPlaying()
{
    return mediaPlayer && mediaPlayer->isPlaying();
}

bool PlayLogic::openFile(const std::wstring& path)
{
    return startFile(path, Arrival::Chosen);
}

void PlayLogic::play()
{
    if (!mediaPlayer || mediaPlayer->isPlaying())
        return;
    mediaPlayer->play();
    applyAudio();
}

void PlayLogic::pause()
{
    // Pause only ever pauses: the engine's pause toggles, and resuming is the Play command's.
    if (!mediaPlayer || !mediaPlayer->isPlaying())
        return;
    mediaPlayer->pause();
    waitWhileEngineReportsPlaying();
}

void PlayLogic::stop()
{
    if (mediaPlayer) {
        mediaPlayer->stop();
        waitWhileEngineReportsPlaying();
    }
    report(PlayLogicEvent::Stopped);
}

void PlayLogic::stepFile(int direction)
{
    step(direction < 0 ? Arrival::Previous : Arrival::Next);
}

void PlayLogic::step(Arrival how)
{
    // Without an engine nothing could open, and every entry would be dropped.
    if (!mediaPlayer || playList.count() < 2 || playList.currentIndex() == -1)
        return;
    stop();
    playFrom(playList.currentIndex() + (how == Arrival::Previous ? -1 : 1), how);
}

// Starts the entry at `index` or, when it fails to open, the next one in the step's direction,
// until one opens or the list is empty. Previous and Next wrap at both ends; the advance stops
// at the end of the folder.
void PlayLogic::playFrom(int index, Arrival how)
{
    while (playList.count() > 0) {
        const int n = playList.count();
        if (index >= n && how == Arrival::Advance) {
            endFolder();
            return;
        }
        if (index < 0)
            index = n - 1;
        else if (index >= n)
            index = 0;
        if (startFile(playList.pathAt(index), how)) {
            playList.setCurrentIndex(index);
            return;
        }
        // Dropped for the rest of the list's life. Forwards, the same index now holds the
        // entry that followed; backwards, the one before is one lower.
        playList.removeAt(index);
        if (how == Arrival::Previous)
            --index;
    }
}

// The advance went past the last entry, having dropped every file after the one that ended: the
// folder ends on that file as if it had been the last, current and loaded (the engine may still
// hold a dropped one, which Play would otherwise try again), and stopped.
void PlayLogic::endFolder()
{
    const int last = playList.count() - 1;
    playList.setCurrentIndex(last);
    const std::wstring path = playList.pathAt(last);
    if (path != currentPath && mediaPlayer->open(path))
        currentPath = path;
}

// Opens a file and starts it, remembering how it was reached.
bool PlayLogic::startFile(const std::wstring& path, Arrival how)
{
    if (!mediaPlayer || !mediaPlayer->open(path))
        return false;
    currentPath = path;
    arrival = how;
    if (!mediaPlayer->isPlaying()) {
        mediaPlayer->play();
        applyAudio();
    }
    return true;
}

bool PlayLogic::seek(int direction)
{
    if (!mediaPlayer || (!mediaPlayer->isPlaying() && playList.count() == 0))
        return false;
    const int64_t time = mediaPlayer->getTime();
    const int64_t length = mediaPlayer->getLength();
    // libVLC answers -1 when it has no input (stopped): there is no position to move.
    if (time < 0)
        return false;
    int64_t target;
    if (direction >= 0) {
        target = time + seekStepMs;
        if (target >= length)
            target = length;
    } else {
        target = time > seekStepMs ? time - seekStepMs : 0;
    }
    mediaPlayer->setTime(target < 0 ? 0 : target);
    return true;
}

void PlayLogic::toggleMute()
{
    muted = !muted;
    if (playingOrPaused())
        applyAudio();
    report(PlayLogicEvent::VolumeChanged);
}

void PlayLogic::setVolume(int value)
{
    volume = clampVolume(value);
    muted = false;
    if (playingOrPaused())
        applyAudio();
    report(PlayLogicEvent::VolumeChanged);
}

void PlayLogic::stepVolume(int direction)
{
    // Stepping out of mute starts from silence: up gives one step, down gives 0.
    if (muted)
        volume = 0;
    volume = clampVolume(volume + (direction >= 1 ? volumeStep : -volumeStep));
    setVolume(volume);
}

void PlayLogic::applyAudio()
{
    if (!mediaPlayer)
        return;
    if (mediaPlayer->isMuted() != muted)
        mediaPlayer->toggleMute();
    if (muted)
        return;
    if (mediaPlayer->getVolume() != volume)
        mediaPlayer->setVolume(volume);
}

void PlayLogic::onTimer()
{
    if (!mediaPlayer)
        return;
    const int state = mediaPlayer->getState();
    if (state == EnginePlaying) {
        // libVLC's audio output may come up with its own volume; ours wins on every tick.
        applyAudio();
        return;
    }
    // A file that ended with nothing in it to play could not be played: whichever sees it first,
    // this tick or the engine's event, deals with it, and the other then finds it stopped.
    if (state == EngineError || (state == EngineEnded && !mediaPlayer->mediaHasTracks())) {
        onFileFailed();
        return;
    }
    if (state != EngineEnded)
        return;
    stop();
    // The folder plays on to its last file and stops there.
    const int n = playList.count();
    const int current = playList.currentIndex();
    if (n >= 2 && current != -1 && current < n - 1)
        step(Arrival::Advance);
}

// Events reach this thread some time after libVLC sent them, so each is checked against the
// state the engine reports now: one whose state no longer holds belonged to a file since left.
void PlayLogic::onEngineEvent(int type)
{
    if (!mediaPlayer)
        return;
    const int state = mediaPlayer->getState();
    switch (type) {
    case libvlc_MediaPlayerEncounteredError:
        if (state == EngineError)
            onFileFailed();
        break;
    case libvlc_MediaPlayerEndReached:
        if (state == EngineEnded && !mediaPlayer->mediaHasTracks())
            onFileFailed();
        break;
    default: break;
    }
}

// A file that cannot be played is stopped. One the user chose is reported, for the shell to
// say so; one that Previous, Next or the advance reached is dropped and the step goes on in the
// same direction, exactly as for a file that fails to open, so a folder of files that all fail
// empties instead of going round for ever.
void PlayLogic::onFileFailed()
{
    const Arrival how = arrival;
    stop();
    if (how == Arrival::Chosen) {
        report(PlayLogicEvent::PlaybackFailed);
        return;
    }
    const int index = playList.currentIndex();
    if (index == -1)
        return;
    playList.removeAt(index);
    playFrom(how == Arrival::Previous ? index - 1 : index, how);
}

void PlayLogic::waitWhileEngineReportsPlaying()
{
    for (DWORD waited = 0; mediaPlayer->isPlaying() && waited < engineWaitLimitMs; waited += engineWaitStepMs)
        Sleep(engineWaitStepMs);
}

// Audio settings reach the engine only while it has a file under way; otherwise they wait for
// the next play and the timer's re-assertion.
bool PlayLogic::playingOrPaused()
{
    return mediaPlayer && hasFileUnderWay(mediaPlayer->getState());
}

void PlayLogic::report(PlayLogicEvent event)
{
    if (eventCallback)
        eventCallback(event);
}
