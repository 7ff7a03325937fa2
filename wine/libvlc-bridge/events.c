/* Event relay: libVLC raises events on its own pthreads, where calling Windows code kills the
   process, so each event is queued here and handed to the player's callback on a Wine thread. */
#include "bridge.h"

#include <pthread.h>
#include <stdlib.h>

/* A stuck callback must not let the queue eat the address space; progress events are merged. */
#define MAX_QUEUED 4096

/* One libvlc_event_attach of the player; its address is the native listener's user data. */
struct attachment {
    struct attachment *next;
    libvlc_event_manager_t *manager;
    libvlc_event_type_t type;
    player_callback_t callback; /* Windows code: only ever called on the dispatcher thread */
    void *data;
};

struct queued_event {
    struct queued_event *next;
    struct attachment *owner;
    libvlc_event_t event;
};

/* `lock` guards everything below. The native listener takes it while libVLC holds its event
   manager's lock, so no native libVLC function may be called while holding it. */
static pthread_mutex_t lock = PTHREAD_MUTEX_INITIALIZER;
static pthread_cond_t queue_filled = PTHREAD_COND_INITIALIZER;
static struct attachment *attachments;
static struct queued_event *queue_head, *queue_tail;
static unsigned queue_length;
static struct attachment *running;  /* whose callback the dispatcher is in, or NULL */
static HANDLE callback_finished;    /* manual-reset; reset while a callback runs */
static DWORD dispatcher_id;         /* 0 until the dispatcher exists */

static int is_progress(libvlc_event_type_t type)
{
    return type == libvlc_MediaPlayerTimeChanged || type == libvlc_MediaPlayerPositionChanged;
}

/* Runs on libVLC's threads: plain C and pthreads only, no Win32 call. */
static void on_native_event(const libvlc_event_t *event, void *data)
{
    struct attachment *owner = data;
    pthread_mutex_lock(&lock);
    if (queue_tail && queue_tail->owner == owner && queue_tail->event.type == event->type
        && is_progress(event->type)) {
        queue_tail->event = *event; /* a late position is worthless once a newer one is known */
    } else if (queue_length < MAX_QUEUED) {
        struct queued_event *node = malloc(sizeof(*node));
        if (node) {
            node->next = NULL;
            node->owner = owner;
            node->event = *event;
            if (queue_tail)
                queue_tail->next = node;
            else
                queue_head = node;
            queue_tail = node;
            queue_length++;
            pthread_cond_signal(&queue_filled);
        }
    }
    pthread_mutex_unlock(&lock);
}

/* The Wine thread that calls the player's callbacks, one event at a time, in order. It waits on a
   pthread condition because only pthread primitives can be signalled from libVLC's threads. */
static DWORD WINAPI dispatcher_main(void *unused)
{
    (void)unused;
    pthread_mutex_lock(&lock);
    for (;;) {
        while (!queue_head)
            pthread_cond_wait(&queue_filled, &lock);
        struct queued_event *node = queue_head;
        queue_head = node->next;
        if (!queue_head)
            queue_tail = NULL;
        queue_length--;
        player_callback_t callback = node->owner->callback;
        void *data = node->owner->data;
        running = node->owner;
        ResetEvent(callback_finished);
        pthread_mutex_unlock(&lock);

        /* From here the attachment may be detached and freed by the callback itself. */
        callback(&node->event, data);
        free(node);

        pthread_mutex_lock(&lock);
        running = NULL;
        SetEvent(callback_finished);
    }
    return 0;
}

static int start_dispatcher(void)
{
    static pthread_mutex_t start_lock = PTHREAD_MUTEX_INITIALIZER;
    pthread_mutex_lock(&start_lock);
    if (!dispatcher_id) {
        callback_finished = CreateEventW(NULL, TRUE, TRUE, NULL);
        DWORD id = 0;
        HANDLE thread = callback_finished ? CreateThread(NULL, 0, dispatcher_main, NULL, 0, &id) : NULL;
        if (thread) {
            CloseHandle(thread); /* lives as long as the process */
            pthread_mutex_lock(&lock);
            dispatcher_id = id;
            pthread_mutex_unlock(&lock);
        } else if (callback_finished) {
            CloseHandle(callback_finished);
            callback_finished = NULL;
        }
    }
    int started = dispatcher_id != 0;
    pthread_mutex_unlock(&start_lock);
    return started;
}

/* Removes the queued events whose attachment matches; call with `lock` held. */
static void drop_queued(int (*matches)(const struct attachment *, const void *), const void *key)
{
    struct queued_event **link = &queue_head;
    queue_tail = NULL;
    while (*link) {
        struct queued_event *node = *link;
        if (matches(node->owner, key)) {
            *link = node->next;
            queue_length--;
            free(node);
        } else {
            queue_tail = node;
            link = &node->next;
        }
    }
}

/* Waits until no matching callback runs. Skipped on the dispatcher itself: there the running
   callback is our caller, and it ends when we return to it. */
static void wait_idle(int (*matches)(const struct attachment *, const void *), const void *key)
{
    if (GetCurrentThreadId() == dispatcher_id)
        return;
    pthread_mutex_lock(&lock);
    while (running && matches(running, key)) {
        pthread_mutex_unlock(&lock);
        bridge_wait_serving(callback_finished);
        pthread_mutex_lock(&lock);
    }
    pthread_mutex_unlock(&lock);
}

static int is_attachment(const struct attachment *a, const void *key) { return a == key; }
static int is_of_manager(const struct attachment *a, const void *key) { return a->manager == key; }

/* Unlinks the first attachment for which `matches` holds, or every one if `all`; returns them
   chained through `next`. */
static struct attachment *unlink_attachments(int (*matches)(const struct attachment *, const void *),
                                             const void *key, int all)
{
    struct attachment *taken = NULL;
    pthread_mutex_lock(&lock);
    struct attachment **link = &attachments;
    while (*link) {
        struct attachment *a = *link;
        if (matches(a, key)) {
            *link = a->next;
            a->next = taken;
            taken = a;
            if (!all)
                break;
        } else {
            link = &a->next;
        }
    }
    pthread_mutex_unlock(&lock);
    return taken;
}

struct attach_key {
    libvlc_event_manager_t *manager;
    libvlc_event_type_t type;
    player_callback_t callback;
    void *data;
};

static int is_same_attach(const struct attachment *a, const void *key)
{
    const struct attach_key *k = key;
    return a->manager == k->manager && a->type == k->type && a->callback == k->callback
           && a->data == k->data;
}

int events_attach(libvlc_event_manager_t *manager, libvlc_event_type_t type,
                  player_callback_t callback, void *data)
{
    if (!manager || !callback || !start_dispatcher())
        return -1;
    struct attachment *a = malloc(sizeof(*a));
    if (!a)
        return -1;
    a->manager = manager;
    a->type = type;
    a->callback = callback;
    a->data = data;
    pthread_mutex_lock(&lock);
    a->next = attachments;
    attachments = a;
    pthread_mutex_unlock(&lock);
    if (libvlc_event_attach(manager, type, on_native_event, a) == 0)
        return 0;
    unlink_attachments(is_attachment, a, 0); /* never attached natively: nothing queued */
    free(a);
    return -1;
}

/* Native detach first: once libVLC returns, its listener for `a` is gone, so nothing new can be
   queued for it; then the queue is cleaned and the running callback waited for. */
static void retire(struct attachment *taken, int (*matches)(const struct attachment *, const void *),
                   const void *key)
{
    for (struct attachment *a = taken; a; a = a->next)
        libvlc_event_detach(a->manager, a->type, on_native_event, a);
    pthread_mutex_lock(&lock);
    drop_queued(matches, key);
    pthread_mutex_unlock(&lock);
    wait_idle(matches, key);
    while (taken) {
        struct attachment *next = taken->next;
        free(taken);
        taken = next;
    }
}

void events_detach(libvlc_event_manager_t *manager, libvlc_event_type_t type,
                   player_callback_t callback, void *data)
{
    struct attach_key key = { manager, type, callback, data };
    struct attachment *a = unlink_attachments(is_same_attach, &key, 0);
    if (a)
        retire(a, is_attachment, a);
}

void events_forget(libvlc_event_manager_t *manager)
{
    if (!manager)
        return;
    struct attachment *taken = unlink_attachments(is_of_manager, manager, 1);
    if (taken)
        retire(taken, is_of_manager, manager);
}
