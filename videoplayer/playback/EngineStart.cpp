// libVLC's instance made on a worker thread while the user-interface thread builds the window.
#include "videoplayer/playback/EngineStart.h"

#include <system_error>

#include "videoplayer/playback/MediaPlayer.h"

std::thread EngineStart::startThread(std::function<void()> work)
{
    try {
        return std::thread(std::move(work));
    } catch (const std::system_error&) {
        return std::thread();
    }
}

// Started in the body: the worker must find every other member made.
EngineStart::EngineStart(ThreadStarter starter)
{
    worker = starter([this] { run(); });
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
    if (!worker.joinable()) {
        // No thread to wait for: libVLC starts here, on the caller's thread, as it did before it
        // had a thread of its own, and its result is told the same way.
        if (!done)
            run();
        callback();
        return;
    }
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
