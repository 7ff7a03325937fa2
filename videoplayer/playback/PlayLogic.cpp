// The playback controller.
#include "videoplayer/playback/PlayLogic.h"

#include <windows.h>

#include "videoplayer/playback/MediaPlayer.h"
#include "videoplayer/ui/PlayBar.h"

bool PlayLogic::isPlaying()
{
    return mediaPlayer && mediaPlayer->isPlaying();
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
    if (!mediaPlayer || !mediaPlayer->isPlaying())
        return;
    mediaPlayer->pause();
}

void PlayLogic::stop()
{
    if (mediaPlayer)
        mediaPlayer->stop();
    for (int waited = 0; mediaPlayer && mediaPlayer->isPlaying() && waited < 5000; waited += 100)
        Sleep(100);
}

void PlayLogic::stepFile(int) {}

bool PlayLogic::seek(int)
{
    return false;
}

void PlayLogic::toggleMute()
{
    muted = !muted;
}

void PlayLogic::setVolume(int value)
{
    volume = value < 0 ? 0 : value > 100 ? 100 : value;
    muted = false;
}

void PlayLogic::stepVolume(int direction)
{
    setVolume(volume + (direction >= 1 ? 10 : -10));
}

void PlayLogic::applyAudio() {}

void PlayLogic::onTimer() {}
