// libVLC's instance made on a worker thread while the user-interface thread builds the window.
#include "videoplayer/playback/EngineStart.h"

#include <system_error>

#include "videoplayer/playback/MediaPlayer.h"

EngineStart::EngineStart()
{
    try {
        worker = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread to be had: take() makes the instance itself, on the caller's thread.
    }
}

EngineStart::~EngineStart()
{
    if (libvlc_instance_t* unused = take())
        libvlc_release(unused);
}

void EngineStart::run()
{
    libvlc_instance_t* made = MediaPlayer::newInstance();
    DoneCallback callback = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock);
        instance = made;
        done = true;
        callback = onDone;
    }
    if (callback)
        callback();
}

void EngineStart::whenDone(DoneCallback callback)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!done) {
            onDone = callback;
            return;
        }
    }
    callback();
}

libvlc_instance_t* EngineStart::take()
{
    if (worker.joinable())
        worker.join();
    else if (!done)
        run();
    libvlc_instance_t* taken = instance;
    instance = nullptr;
    return taken;
}
