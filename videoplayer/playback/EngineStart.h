// libVLC's instance, made on a thread of its own while the player's window is already up: creating
// it is the slowest step of start-up, and nothing else that start-up does needs it.
#pragma once

#include <mutex>
#include <thread>

#include <vlc/vlc.h>

class EngineStart {
public:
    using DoneCallback = void (*)();

    // Starts the worker (or, should no thread be had, leaves the work to take()).
    EngineStart();
    // Waits for the worker and releases an instance that nobody took.
    ~EngineStart();
    EngineStart(const EngineStart&) = delete;
    EngineStart& operator=(const EngineStart&) = delete;

    // `callback` runs once the worker is done: on the worker's thread, or at once on the caller's
    // when it already is. It must only hand the news on (post a message, say).
    void whenDone(DoneCallback callback);
    // Waits for the worker and hands over the instance, which the caller then owns; null when
    // libVLC could not start. Later calls return null.
    libvlc_instance_t* take();

private:
    void run();

    std::thread worker;
    std::mutex lock;
    bool done = false;                      // guarded by lock
    DoneCallback onDone = nullptr;          // guarded by lock
    libvlc_instance_t* instance = nullptr;  // the worker's until it is done, then take()'s
};
