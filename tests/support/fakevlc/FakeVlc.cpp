// A libvlc.dll test double. Like the real library it changes state and sends events on a
// thread of its own, keeps time with a clock while playing, reports a length shortly after
// play and state 6 at the end of the media. Misuse that would crash or hang the real library
// is recorded as a fault instead, so tests can assert there was none.
#define FAKEVLC_BUILD
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

// DLL_EXPORT makes the libVLC header export what this double defines; it must not reach the
// runtime's own headers, which read the same name.
#define DLL_EXPORT
#include <vlc/vlc.h>
#undef DLL_EXPORT

#include "tests/support/FakeVlc.h"

namespace {

using Clock = std::chrono::steady_clock;

// Scripts, logs and faults shared by every object of the double.
struct Library {
    std::mutex lock;
    bool failNew = false;
    std::string refuse;
    int64_t mediaLength = 600000;
    int lengthDelay = 40;
    int stateDelay = 15;
    int keepPlaying = 0;
    std::string failPlaying; // media from paths holding this open but cannot be played
    bool failPlayingByEnd = false;
    int newDelay = 0;
    std::string lastPath;
    std::string lastOptions;
    std::vector<std::string> calls;
    std::vector<std::string> faults;
    std::set<const void*> released;
    int liveInstances = 0;
    int livePlayers = 0;
    DWORD eventThread = 0;
    HWND lastHwnd = nullptr;
};

int environmentNumber(const char* name)
{
    char text[32] = "";
    return GetEnvironmentVariableA(name, text, sizeof(text)) ? atoi(text) : 0;
}

Library& lib()
{
    // A player run as a program of its own is scripted through its environment.
    static Library library;
    static const bool scripted = [] {
        library.failNew = environmentNumber("FAKEVLC_FAIL_NEW") != 0;
        library.newDelay = environmentNumber("FAKEVLC_NEW_DELAY_MS");
        return true;
    }();
    (void)scripted;
    return library;
}

void logCall(const char* name)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().calls.push_back(name);
}

void fault(const std::string& what)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().faults.push_back(what);
}

// A call on a handle that was released is a use after free in the real library.
bool usable(const void* handle, const char* call)
{
    logCall(call);
    if (!handle) {
        fault(std::string(call) + " with a null handle");
        return false;
    }
    std::lock_guard<std::mutex> guard(lib().lock);
    if (lib().released.count(handle)) {
        lib().faults.push_back(std::string(call) + " after release");
        return false;
    }
    return true;
}

} // namespace

struct libvlc_instance_t {
    int refs = 1;
};

struct libvlc_media_t {
    std::string path;
    int64_t length = 0;
    int refs = 1;
    // Not 0 when playing it fails: the state it then reaches (Error, or Ended without playing).
    libvlc_state_t failsTo = libvlc_NothingSpecial;
    // As libVLC, a video and an audio track listed once a player has opened it to play (before
    // it reports playing), and kept; none for a media that cannot be played.
    std::atomic<unsigned> tracks{0};
};

struct Listener {
    libvlc_event_type_t type;
    libvlc_callback_t callback;
    void* data;
};

enum class Command { Play, Pause, SetPause, Stop, End, Raise, Quit };

struct libvlc_media_player_t {
    libvlc_media_player_t();
    ~libvlc_media_player_t();

    void post(Command command, int arg = 0, int delay = 0);
    void run();
    void apply(Command command, int arg, std::unique_lock<std::mutex>& guard);
    void tick(std::unique_lock<std::mutex>& guard);
    void emit(libvlc_event_type_t type, std::unique_lock<std::mutex>& guard);
    int64_t timeNow() const;
    bool waitForCallbacks(const char* call, std::unique_lock<std::mutex>& guard);

    struct Pending {
        Command command;
        int arg;
        Clock::time_point due;
    };

    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable callbackDone;
    std::deque<Pending> queue;
    std::vector<Listener> listeners;
    std::thread worker;
    DWORD workerId = 0;
    bool inCallback = false;

    libvlc_media_t* media = nullptr;
    libvlc_state_t state = libvlc_NothingSpecial;
    int64_t baseTime = 0;
    Clock::time_point startedAt;
    Clock::time_point playRequested;
    int64_t length = -1;
    bool hasInput = false;
    int64_t lastReportedTime = -1;
    int volume = 100;
    int mute = 0;
    HWND window = nullptr; // where set_hwnd asked the video to go
};

struct libvlc_event_manager_t {
    libvlc_media_player_t* player;
};

namespace {

libvlc_event_manager_t* managerOf(libvlc_media_player_t* player)
{
    // The manager is the player's address seen through another type, as good as any handle.
    return reinterpret_cast<libvlc_event_manager_t*>(player);
}

libvlc_media_player_t* playerOf(libvlc_event_manager_t* manager)
{
    return reinterpret_cast<libvlc_media_player_t*>(manager);
}

std::vector<libvlc_media_player_t*>& players()
{
    static std::vector<libvlc_media_player_t*> list;
    return list;
}

std::mutex& playersLock()
{
    static std::mutex m;
    return m;
}

} // namespace

libvlc_media_player_t::libvlc_media_player_t()
{
    worker = std::thread([this] { run(); });
}

libvlc_media_player_t::~libvlc_media_player_t()
{
    post(Command::Quit);
    if (worker.joinable()) {
        if (std::this_thread::get_id() == worker.get_id()) {
            fault("libvlc_media_player_release from inside an event callback (the real library deadlocks)");
            worker.detach();
        } else {
            worker.join();
        }
    }
    if (media && --media->refs == 0)
        delete media;
}

void libvlc_media_player_t::post(Command command, int arg, int delay)
{
    std::lock_guard<std::mutex> guard(lock);
    queue.push_back({command, arg, Clock::now() + std::chrono::milliseconds(delay)});
    wake.notify_all();
}

int64_t libvlc_media_player_t::timeNow() const
{
    if (!hasInput)
        return -1;
    if (state != libvlc_Playing)
        return baseTime;
    return baseTime + std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - startedAt).count();
}

void libvlc_media_player_t::emit(libvlc_event_type_t type, std::unique_lock<std::mutex>& guard)
{
    std::vector<Listener> targets;
    for (const Listener& l : listeners)
        if (l.type == type)
            targets.push_back(l);
    if (targets.empty())
        return;
    libvlc_event_t event = {};
    event.type = type;
    event.p_obj = this;
    if (type == libvlc_MediaPlayerTimeChanged)
        event.u.media_player_time_changed.new_time = timeNow();
    // Callbacks run without the lock, as in the real library, so they may call back into it.
    inCallback = true;
    guard.unlock();
    for (const Listener& l : targets)
        l.callback(&event, l.data);
    guard.lock();
    inCallback = false;
    callbackDone.notify_all();
}

void libvlc_media_player_t::apply(Command command, int arg, std::unique_lock<std::mutex>& guard)
{
    switch (command) {
    case Command::Play:
        if (!media)
            return;
        if (state == libvlc_Playing)
            return;
        if (media->failsTo != libvlc_NothingSpecial) {
            // As libVLC does with a file it cannot demux: it never reports Playing.
            state = media->failsTo;
            emit(state == libvlc_Error ? libvlc_MediaPlayerEncounteredError : libvlc_MediaPlayerEndReached, guard);
            return;
        }
        if (state != libvlc_Paused) {
            media->tracks = 2;
            baseTime = 0;
            length = -1;
            hasInput = true;
            playRequested = Clock::now();
        }
        state = libvlc_Playing;
        startedAt = Clock::now();
        emit(libvlc_MediaPlayerPlaying, guard);
        return;
    case Command::Pause:
        if (state == libvlc_Playing) {
            baseTime = timeNow();
            state = libvlc_Paused;
            emit(libvlc_MediaPlayerPaused, guard);
        } else if (state == libvlc_Paused) {
            state = libvlc_Playing;
            startedAt = Clock::now();
            emit(libvlc_MediaPlayerPlaying, guard);
        }
        return;
    case Command::SetPause:
        // Unlike Pause, it asks for a state: pausing a paused player or resuming a playing one
        // changes nothing.
        if ((arg != 0) == (state == libvlc_Playing))
            apply(Command::Pause, 0, guard);
        return;
    case Command::Stop:
        if (state == libvlc_NothingSpecial || state == libvlc_Stopped)
            return;
        state = libvlc_Stopped;
        hasInput = false;
        baseTime = 0;
        emit(libvlc_MediaPlayerStopped, guard);
        return;
    case Command::End:
        if (state == libvlc_Playing || state == libvlc_Paused) {
            if (length < 0)
                length = media ? media->length : 0;
            baseTime = length;
            startedAt = Clock::now();
            state = libvlc_Ended;
            emit(libvlc_MediaPlayerEndReached, guard);
        }
        return;
    case Command::Raise: emit(static_cast<libvlc_event_type_t>(arg), guard); return;
    case Command::Quit: return;
    }
}

void libvlc_media_player_t::tick(std::unique_lock<std::mutex>& guard)
{
    if (state != libvlc_Playing)
        return;
    const auto sincePlay = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - playRequested);
    if (length < 0 && media && sincePlay.count() >= lib().lengthDelay)
        length = media->length;
    const int64_t now = timeNow();
    if (length > 0 && now >= length) {
        apply(Command::End, 0, guard);
        return;
    }
    if (now - lastReportedTime >= 100 || now < lastReportedTime) {
        lastReportedTime = now;
        emit(libvlc_MediaPlayerTimeChanged, guard);
    }
}

void libvlc_media_player_t::run()
{
    workerId = GetCurrentThreadId();
    {
        std::lock_guard<std::mutex> guard(lib().lock);
        lib().eventThread = workerId;
    }
    std::unique_lock<std::mutex> guard(lock);
    for (;;) {
        wake.wait_for(guard, std::chrono::milliseconds(20));
        while (!queue.empty() && queue.front().due <= Clock::now()) {
            Pending next = queue.front();
            queue.pop_front();
            if (next.command == Command::Quit)
                return;
            apply(next.command, next.arg, guard);
        }
        tick(guard);
    }
}

// The real library waits for a running callback before stop, detach and release return; a
// callback that itself waits for the caller's thread deadlocks it. Bounded here, and reported.
bool libvlc_media_player_t::waitForCallbacks(const char* call, std::unique_lock<std::mutex>& guard)
{
    if (GetCurrentThreadId() == workerId)
        return true;
    if (callbackDone.wait_for(guard, std::chrono::seconds(3), [this] { return !inCallback; }))
        return true;
    guard.unlock();
    fault(std::string(call) + " waited 3 s for an event callback that did not return (deadlock)");
    guard.lock();
    return false;
}

namespace {

int stateDelay()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().stateDelay;
}

// The delay of the next stop or pause, consuming a keep-playing script.
int haltDelay()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    const int delay = lib().keepPlaying > 0 ? lib().keepPlaying : lib().stateDelay;
    lib().keepPlaying = 0;
    return delay;
}

} // namespace

extern "C" {

// ---- Instance and media -----------------------------------------------------------------

libvlc_instance_t* libvlc_new(int argc, const char* const* argv)
{
    logCall("libvlc_new");
    int delay = 0;
    {
        std::lock_guard<std::mutex> guard(lib().lock);
        delay = lib().newDelay;
    }
    if (delay > 0)
        Sleep(static_cast<DWORD>(delay)); // as the real library's slow start
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().lastOptions.clear();
    for (int i = 0; i < argc; ++i)
        lib().lastOptions += (i ? " " : "") + std::string(argv[i] ? argv[i] : "(null)");
    if (lib().failNew)
        return nullptr;
    ++lib().liveInstances;
    return new libvlc_instance_t();
}

void libvlc_release(libvlc_instance_t* instance)
{
    if (!usable(instance, "libvlc_release"))
        return;
    std::lock_guard<std::mutex> guard(lib().lock);
    if (lib().livePlayers > 0)
        lib().faults.push_back("libvlc_release while a media player still exists");
    lib().released.insert(instance);
    --lib().liveInstances;
}

libvlc_media_t* libvlc_media_new_path(libvlc_instance_t* instance, const char* path)
{
    if (!usable(instance, "libvlc_media_new_path") || !path)
        return nullptr;
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().lastPath = path;
    if (!lib().refuse.empty() && std::string(path).find(lib().refuse) != std::string::npos)
        return nullptr;
    auto* media = new libvlc_media_t();
    media->path = path;
    media->length = lib().mediaLength;
    if (!lib().failPlaying.empty() && media->path.find(lib().failPlaying) != std::string::npos)
        media->failsTo = lib().failPlayingByEnd ? libvlc_Ended : libvlc_Error;
    return media;
}

void libvlc_media_release(libvlc_media_t* media)
{
    if (!usable(media, "libvlc_media_release"))
        return;
    // Media are shared with players; freed with the last reference.
    if (--media->refs == 0) {
        std::lock_guard<std::mutex> guard(lib().lock);
        lib().released.insert(media);
    }
}

unsigned libvlc_media_tracks_get(libvlc_media_t* media, libvlc_media_track_t*** tracks)
{
    if (!usable(media, "libvlc_media_tracks_get") || !tracks)
        return 0;
    const unsigned count = media->tracks;
    *tracks = new libvlc_media_track_t*[count + 1](); // no descriptions: the player only counts
    return count;
}

void libvlc_media_tracks_release(libvlc_media_track_t** tracks, unsigned)
{
    logCall("libvlc_media_tracks_release");
    delete[] tracks;
}

// ---- Player -----------------------------------------------------------------------------

libvlc_media_player_t* libvlc_media_player_new(libvlc_instance_t* instance)
{
    if (!usable(instance, "libvlc_media_player_new"))
        return nullptr;
    auto* player = new libvlc_media_player_t();
    {
        std::lock_guard<std::mutex> guard(playersLock());
        players().push_back(player);
    }
    std::lock_guard<std::mutex> guard(lib().lock);
    ++lib().livePlayers;
    return player;
}

void libvlc_media_player_release(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_release"))
        return;
    {
        std::unique_lock<std::mutex> guard(player->lock);
        player->listeners.clear();
        player->waitForCallbacks("libvlc_media_player_release", guard);
        // Until the release a playing or paused player keeps drawing into its window.
        const bool drawing = player->state == libvlc_Playing || player->state == libvlc_Paused;
        if (drawing && player->window && !IsWindow(player->window)) {
            guard.unlock();
            fault("libvlc_media_player_release after its video window was destroyed (it drew into a dead window)");
        }
    }
    {
        std::lock_guard<std::mutex> guard(playersLock());
        auto& list = players();
        list.erase(std::remove(list.begin(), list.end(), player), list.end());
    }
    {
        std::lock_guard<std::mutex> guard(lib().lock);
        lib().released.insert(player);
        --lib().livePlayers;
    }
    delete player;
}

void libvlc_media_player_set_media(libvlc_media_player_t* player, libvlc_media_t* media)
{
    if (!usable(player, "libvlc_media_player_set_media"))
        return;
    std::lock_guard<std::mutex> guard(player->lock);
    if (media)
        ++media->refs;
    if (player->media && --player->media->refs == 0)
        delete player->media;
    player->media = media;
    player->state = libvlc_NothingSpecial;
    player->hasInput = false;
    player->length = -1;
}

libvlc_event_manager_t* libvlc_media_player_event_manager(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_event_manager"))
        return nullptr;
    return managerOf(player);
}

void libvlc_media_player_set_hwnd(libvlc_media_player_t* player, void* drawable)
{
    if (!usable(player, "libvlc_media_player_set_hwnd"))
        return;
    {
        std::lock_guard<std::mutex> guard(player->lock);
        player->window = static_cast<HWND>(drawable);
    }
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().lastHwnd = static_cast<HWND>(drawable);
}

int libvlc_media_player_play(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_play"))
        return -1;
    std::lock_guard<std::mutex> guard(player->lock);
    if (!player->media)
        return -1;
    player->queue.push_back({Command::Play, 0, Clock::now() + std::chrono::milliseconds(stateDelay())});
    player->wake.notify_all();
    return 0;
}

void libvlc_media_player_pause(libvlc_media_player_t* player)
{
    if (usable(player, "libvlc_media_player_pause"))
        player->post(Command::Pause, 0, haltDelay());
}

void libvlc_media_player_set_pause(libvlc_media_player_t* player, int do_pause)
{
    if (usable(player, "libvlc_media_player_set_pause"))
        player->post(Command::SetPause, do_pause, do_pause ? haltDelay() : stateDelay());
}

void libvlc_media_player_stop(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_stop"))
        return;
    player->post(Command::Stop, 0, haltDelay());
    std::unique_lock<std::mutex> guard(player->lock);
    player->waitForCallbacks("libvlc_media_player_stop", guard);
}

int libvlc_media_player_is_playing(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_is_playing"))
        return 0;
    std::lock_guard<std::mutex> guard(player->lock);
    return player->state == libvlc_Playing ? 1 : 0;
}

libvlc_state_t libvlc_media_player_get_state(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_get_state"))
        return libvlc_NothingSpecial;
    std::lock_guard<std::mutex> guard(player->lock);
    return player->state;
}

libvlc_time_t libvlc_media_player_get_time(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_get_time"))
        return -1;
    std::lock_guard<std::mutex> guard(player->lock);
    return player->timeNow();
}

libvlc_time_t libvlc_media_player_get_length(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_media_player_get_length"))
        return -1;
    std::lock_guard<std::mutex> guard(player->lock);
    if (!player->hasInput)
        return -1;
    return player->length < 0 ? 0 : player->length;
}

void libvlc_media_player_set_time(libvlc_media_player_t* player, libvlc_time_t time)
{
    if (!usable(player, "libvlc_media_player_set_time"))
        return;
    std::lock_guard<std::mutex> guard(player->lock);
    if (!player->hasInput)
        return;
    player->baseTime = time < 0 ? 0 : time;
    player->startedAt = Clock::now();
    player->lastReportedTime = -1000;
}

void libvlc_video_set_key_input(libvlc_media_player_t* player, unsigned on)
{
    (void)on;
    usable(player, "libvlc_video_set_key_input");
}

void libvlc_video_set_mouse_input(libvlc_media_player_t* player, unsigned on)
{
    (void)on;
    usable(player, "libvlc_video_set_mouse_input");
}

// ---- Audio ------------------------------------------------------------------------------

int libvlc_audio_get_mute(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_audio_get_mute"))
        return -1;
    std::lock_guard<std::mutex> guard(player->lock);
    return player->mute;
}

void libvlc_audio_set_mute(libvlc_media_player_t* player, int status)
{
    if (!usable(player, "libvlc_audio_set_mute"))
        return;
    std::lock_guard<std::mutex> guard(player->lock);
    player->mute = status ? 1 : 0;
}

int libvlc_audio_get_volume(libvlc_media_player_t* player)
{
    if (!usable(player, "libvlc_audio_get_volume"))
        return -1;
    std::lock_guard<std::mutex> guard(player->lock);
    return player->volume;
}

int libvlc_audio_set_volume(libvlc_media_player_t* player, int volume)
{
    if (!usable(player, "libvlc_audio_set_volume"))
        return -1;
    if (volume < 0 || volume > 200)
        return -1;
    std::lock_guard<std::mutex> guard(player->lock);
    player->volume = volume;
    return 0;
}

// ---- Events -----------------------------------------------------------------------------

int libvlc_event_attach(libvlc_event_manager_t* manager, libvlc_event_type_t type, libvlc_callback_t callback,
                        void* data)
{
    // The type is logged with the call, so tests can check what was attached in which order.
    const std::string call = "libvlc_event_attach:" + std::to_string(static_cast<int>(type));
    if (!usable(manager, call.c_str()) || !callback)
        return -1;
    libvlc_media_player_t* player = playerOf(manager);
    std::lock_guard<std::mutex> guard(player->lock);
    player->listeners.push_back({type, callback, data});
    return 0;
}

void libvlc_event_detach(libvlc_event_manager_t* manager, libvlc_event_type_t type, libvlc_callback_t callback,
                         void* data)
{
    if (!usable(manager, "libvlc_event_detach"))
        return;
    libvlc_media_player_t* player = playerOf(manager);
    std::unique_lock<std::mutex> guard(player->lock);
    auto& list = player->listeners;
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](const Listener& l) { return l.type == type && l.callback == callback && l.data == data; }),
               list.end());
    player->waitForCallbacks("libvlc_event_detach", guard);
}

// ---- Controls for tests -----------------------------------------------------------------

void fakevlc_reset()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    Library& l = lib();
    l.failNew = false;
    l.newDelay = 0;
    l.refuse.clear();
    l.mediaLength = 600000;
    l.lengthDelay = 40;
    l.stateDelay = 15;
    l.keepPlaying = 0;
    l.failPlaying.clear();
    l.failPlayingByEnd = false;
    l.calls.clear();
    l.faults.clear();
}

void fakevlc_failNew(int fail)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().failNew = fail != 0;
}

void fakevlc_setNewDelay(int ms)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().newDelay = ms;
}

void fakevlc_refusePathsContaining(const char* utf8)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().refuse = utf8 ? utf8 : "";
}

void fakevlc_failPlayingPathsContaining(const char* utf8, int endInstead)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().failPlaying = utf8 ? utf8 : "";
    lib().failPlayingByEnd = endInstead != 0;
}

void fakevlc_setMediaLength(int64_t ms)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().mediaLength = ms;
}

void fakevlc_setLengthDelay(int ms)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().lengthDelay = ms;
}

void fakevlc_setStateDelay(int ms)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().stateDelay = ms;
}

void fakevlc_keepPlaying(int ms)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    lib().keepPlaying = ms;
}

void fakevlc_jumpToEnd()
{
    std::lock_guard<std::mutex> guard(playersLock());
    for (libvlc_media_player_t* player : players())
        player->post(Command::End);
}

void fakevlc_raiseEvent(int type)
{
    std::lock_guard<std::mutex> guard(playersLock());
    for (libvlc_media_player_t* player : players())
        player->post(Command::Raise, type);
}

int fakevlc_lastMediaPath(char* buffer, int size)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    const std::string& path = lib().lastPath;
    if (buffer && size > 0) {
        const size_t n = std::min(path.size(), static_cast<size_t>(size - 1));
        memcpy(buffer, path.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int>(path.size());
}

int fakevlc_callCount()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return static_cast<int>(lib().calls.size());
}

const char* fakevlc_callAt(int index)
{
    std::lock_guard<std::mutex> guard(lib().lock);
    if (index < 0 || index >= static_cast<int>(lib().calls.size()))
        return "";
    return lib().calls[static_cast<size_t>(index)].c_str();
}

int fakevlc_faultCount()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return static_cast<int>(lib().faults.size());
}

const char* fakevlc_lastFault()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().faults.empty() ? "" : lib().faults.back().c_str();
}

DWORD fakevlc_eventThreadId()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().eventThread;
}

HWND fakevlc_lastHwnd()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().lastHwnd;
}

int fakevlc_livePlayers()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().livePlayers;
}

int fakevlc_liveInstances()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().liveInstances;
}

const char* fakevlc_lastOptions()
{
    std::lock_guard<std::mutex> guard(lib().lock);
    return lib().lastOptions.c_str();
}

} // extern "C"
