// libVLC's instance, made on a thread of its own while the player's window is already up: creating
// it is the slowest step of start-up, and nothing else that start-up does needs it.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

#include <vlc/vlc.h>

class EngineStart {
public:
    using DoneCallback = void (*)();
    // Starts a thread running `work`; an empty (not joinable) thread when none can be had.
    using ThreadStarter = std::thread (*)(std::function<void()> work);
    static std::thread startThread(std::function<void()> work);

    // Starts the worker. Should no thread be had, libVLC starts on the caller's thread instead,
    // in whenDone (or take, whichever comes first).
    explicit EngineStart(ThreadStarter starter = startThread);
    // Waits for the worker and releases an instance that nobody took.
    ~EngineStart();
    EngineStart(const EngineStart&) = delete;
    EngineStart& operator=(const EngineStart&) = delete;

    // `callback` runs once the worker is done: on the worker's thread, or at once on the caller's
    // when it already is or when there is no worker. It must only hand the news on (post a
    // message, say).
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
