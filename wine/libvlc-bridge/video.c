/* Window video output: the Linux libVLC cannot draw into a window handle, so it renders into
   memory here and a Wine thread paints the newest picture, letterboxed, into a child window. */
#include "bridge.h"

#include <pthread.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

/* A 32-bit process cannot afford unbounded frame buffers (three are kept). */
#define MAX_WIDTH 1920
#define MAX_HEIGHT 1088
/* How often the painter looks at the parent's size and the player's state, which send no
   notification it could wait for: often while a picture plays, seldom while one is paused. With
   no picture to show it only waits: the next one wakes it. */
#define POLL_MS 40
#define PAUSED_POLL_MS 200

static const WCHAR window_class[] = L"LibvlcBridgeVideo";

/* Three buffers rotate: libVLC writes into `back`, hands it over as `ready`, and the painter
   swaps `ready` into `front`, which it alone reads. Neither side ever waits for a paint. */
struct video {
    struct video *next;
    libvlc_media_player_t *player;

    pthread_mutex_t lock;    /* guards the fields up to `relay_quit` */
    pthread_cond_t changed;  /* wakes the relay thread */
    pthread_cond_t released; /* the painter let go of `front` */
    unsigned width, height;  /* the current picture format; 0 while libVLC has no output */
    unsigned char *buffers[3];
    int back, ready, front;
    int ready_fresh;   /* `ready` holds a picture the painter has not taken yet */
    int front_valid;   /* `front` holds a picture worth showing */
    int painting;      /* the painter reads `front` (a count: paints may nest) */
    int pending;       /* the relay owes the painter a wake-up */
    int relay_quit;

    HANDLE relay; /* Wine thread turning `pending` into SetEvent(wake) */
    HANDLE wake;  /* auto-reset; the painter waits on it */

    /* The painter belongs to one target window; it is replaced when the target changes. */
    HWND parent;
    HWND child;   /* touched by the painter thread only */
    HANDLE painter;
    volatile LONG painter_quit;
};

static pthread_mutex_t videos_lock = PTHREAD_MUTEX_INITIALIZER;
static struct video *videos;

/* ---- Picture format: asked on libVLC's video thread ------------------------------------------ */

/* The track's visible size as the picture arrives: turned a quarter when the track is stored
   rotated, since libVLC turns the picture upright before handing it over. */
static void oriented_size(const libvlc_video_track_t *video, uint64_t *width, uint64_t *height)
{
    *width = video->i_width;
    *height = video->i_height;
    if (video->i_orientation >= libvlc_video_orient_left_top) { /* the four transposing ones */
        *width = video->i_height;
        *height = video->i_width;
    }
}

/* libVLC 3 proposes a padded size (the decoder's buffer, e.g. 320x258 for 320x240, 176x162 for
   175x143) and scales the picture into whatever is asked, so asking the proposed size distorts
   the picture and shows the padding. Ask for the visible size of the video track instead: the one
   track whose upright size fits the proposal (with several video tracks, the one decoded is the
   one whose buffer this is). No such track (a stream the demuxer could not size): keep the
   proposal. Runs on libVLC's video thread, which must not wait for the player's input lock (stop
   holds it while waiting for this thread): hence the media's own track list rather than the
   player's selected-track query. */
static void visible_size(libvlc_media_player_t *player, unsigned *width, unsigned *height)
{
    libvlc_media_t *media = libvlc_media_player_get_media(player);
    if (!media)
        return;
    libvlc_media_track_t **tracks = NULL;
    unsigned count = libvlc_media_tracks_get(media, &tracks);
    for (unsigned i = 0; i < count; i++) {
        const libvlc_video_track_t *video = tracks[i]->video;
        if (tracks[i]->i_type != libvlc_track_video || !video->i_width || !video->i_height)
            continue;
        uint64_t w, h;
        oriented_size(video, &w, &h);
        if (w > *width || h > *height)
            continue;
        unsigned num = video->i_sar_num, den = video->i_sar_den;
        if (video->i_orientation >= libvlc_video_orient_left_top) {
            num = video->i_sar_den; /* the pixels turn with the picture */
            den = video->i_sar_num;
        }
        if (num && den && num > den)
            w = (w * num + den / 2) / den;
        else if (num && den && num < den)
            h = (h * den + num / 2) / num;
        *width = (unsigned)w;
        *height = (unsigned)h;
        break;
    }
    if (tracks)
        libvlc_media_tracks_release(tracks, count);
    libvlc_media_release(media);
}

static void fit_limit(unsigned *width, unsigned *height)
{
    uint64_t w = *width, h = *height;
    if (w > MAX_WIDTH) {
        h = h * MAX_WIDTH / w;
        w = MAX_WIDTH;
    }
    if (h > MAX_HEIGHT) {
        w = w * MAX_HEIGHT / h;
        h = MAX_HEIGHT;
    }
    *width = w ? (unsigned)w : 1;
    *height = h ? (unsigned)h : 1;
}

/* With `lock` held: wait until the painter does not read `front`, then drop the buffers. */
static void drop_buffers(struct video *v)
{
    while (v->painting)
        pthread_cond_wait(&v->released, &v->lock);
    for (int i = 0; i < 3; i++) {
        free(v->buffers[i]);
        v->buffers[i] = NULL;
    }
    v->width = v->height = 0;
    v->ready_fresh = v->front_valid = 0;
}

static void wake_painter(struct video *v)
{
    v->pending = 1;
    pthread_cond_signal(&v->changed);
}

static unsigned on_format(void **opaque, char *chroma, unsigned *width, unsigned *height,
                          unsigned *pitches, unsigned *lines)
{
    struct video *v = *opaque;
    unsigned w = *width, h = *height;
    visible_size(v->player, &w, &h);
    fit_limit(&w, &h);
    size_t bytes = (size_t)w * 4 * h;

    pthread_mutex_lock(&v->lock);
    drop_buffers(v);
    int ok = 1;
    for (int i = 0; i < 3; i++)
        ok = ok && (v->buffers[i] = malloc(bytes)) != NULL;
    if (ok) {
        v->width = w;
        v->height = h;
        v->back = 0;
        v->ready = 1;
        v->front = 2;
    } else {
        drop_buffers(v);
    }
    pthread_mutex_unlock(&v->lock);
    if (!ok)
        return 0; /* libVLC gives up this output */

    memcpy(chroma, "RV32", 4); /* B, G, R, X bytes: the layout of a 32-bit DIB */
    *width = w;
    *height = h;
    pitches[0] = w * 4;
    lines[0] = h;
    return 1;
}

static void on_cleanup(void *opaque)
{
    struct video *v = opaque;
    pthread_mutex_lock(&v->lock);
    drop_buffers(v);
    wake_painter(v);
    pthread_mutex_unlock(&v->lock);
}

/* ---- Pictures: lock, unlock and display run on libVLC's video thread ------------------------- */

static void *on_lock(void *opaque, void **planes)
{
    struct video *v = opaque;
    /* `back` only moves on this thread, so it is read without the lock. */
    planes[0] = v->buffers[v->back];
    return (void *)(intptr_t)v->back;
}

static void on_unlock(void *opaque, void *picture, void *const *planes)
{
    (void)opaque;
    (void)picture;
    (void)planes;
}

static void on_display(void *opaque, void *picture)
{
    struct video *v = opaque;
    int shown = (int)(intptr_t)picture;
    pthread_mutex_lock(&v->lock);
    if (shown == v->back) {
        v->back = v->ready;
        v->ready = shown;
    }
    if (shown == v->ready) {
        v->ready_fresh = 1;
        wake_painter(v);
    }
    pthread_mutex_unlock(&v->lock);
}

/* ---- Relay: the only bridge from libVLC's threads to the painter's Win32 wait ---------------- */

static DWORD WINAPI relay_main(void *arg)
{
    struct video *v = arg;
    pthread_mutex_lock(&v->lock);
    for (;;) {
        while (!v->pending && !v->relay_quit)
            pthread_cond_wait(&v->changed, &v->lock);
        if (v->relay_quit)
            break;
        v->pending = 0;
        pthread_mutex_unlock(&v->lock);
        SetEvent(v->wake);
        pthread_mutex_lock(&v->lock);
    }
    pthread_mutex_unlock(&v->lock);
    return 0;
}

/* ---- Painting: on the painter thread --------------------------------------------------------- */

struct frame {
    const void *bits;
    unsigned width, height;
    int fresh;
};

/* Takes the newest picture into `front`; returns whether there is one to paint, in which case the
   caller must release_frame when done with it. */
static int take_frame(struct video *v, struct frame *f)
{
    pthread_mutex_lock(&v->lock);
    f->fresh = v->ready_fresh;
    if (v->ready_fresh) {
        int t = v->front;
        v->front = v->ready;
        v->ready = t;
        v->ready_fresh = 0;
        v->front_valid = 1;
    }
    int have = v->front_valid;
    if (have) {
        v->painting++;
        f->bits = v->buffers[v->front];
        f->width = v->width;
        f->height = v->height;
    }
    pthread_mutex_unlock(&v->lock);
    return have;
}

static void release_frame(struct video *v)
{
    pthread_mutex_lock(&v->lock);
    v->painting--;
    pthread_cond_broadcast(&v->released);
    pthread_mutex_unlock(&v->lock);
}

/* The largest rectangle of the picture's aspect centred in the client area. */
static RECT letterbox(const RECT *client, unsigned width, unsigned height)
{
    LONG cw = client->right - client->left, ch = client->bottom - client->top;
    LONG w = cw, h = ch;
    if ((int64_t)cw * height > (int64_t)ch * width)
        w = (LONG)((int64_t)ch * width / height);
    else
        h = (LONG)((int64_t)cw * height / width);
    RECT r = { client->left + (cw - w) / 2, client->top + (ch - h) / 2, 0, 0 };
    r.right = r.left + w;
    r.bottom = r.top + h;
    return r;
}

static void paint(HWND window, HDC dc, const struct frame *f)
{
    RECT client;
    GetClientRect(window, &client);
    if (!f) {
        FillRect(dc, &client, GetStockObject(BLACK_BRUSH));
        return;
    }
    RECT picture = letterbox(&client, f->width, f->height);
    int saved = SaveDC(dc);
    ExcludeClipRect(dc, picture.left, picture.top, picture.right, picture.bottom);
    FillRect(dc, &client, GetStockObject(BLACK_BRUSH));
    RestoreDC(dc, saved);

    /* The header describes exactly the rows painted: with a taller top-down DIB, StretchDIBits
       would take its rows from the bottom. */
    BITMAPINFO info;
    memset(&info, 0, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = (LONG)f->width;
    info.bmiHeader.biHeight = -(LONG)f->height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    /* COLORONCOLOR: Wine scales it quickly and video needs no halftoning. */
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, picture.left, picture.top, picture.right - picture.left,
                  picture.bottom - picture.top, 0, 0, (int)f->width, (int)f->height, f->bits,
                  &info, DIB_RGB_COLORS, SRCCOPY);
}

static void paint_current(struct video *v, HWND window, HDC dc)
{
    struct frame f;
    if (take_frame(v, &f)) {
        paint(window, dc, &f);
        release_frame(v);
    } else {
        paint(window, dc, NULL);
    }
}

static LRESULT CALLBACK video_window_proc(HWND window, UINT message, WPARAM wp, LPARAM lp)
{
    struct video *v = (struct video *)GetWindowLongPtrW(window, GWLP_USERDATA);
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          (LONG_PTR)((const CREATESTRUCTW *)lp)->lpCreateParams);
        break;
    case WM_NCHITTEST:
        /* The player handles mouse and keys on its own window underneath. */
        return HTTRANSPARENT;
    case WM_ERASEBKGND:
        return 1; /* painting covers every pixel; erasing first would flicker */
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        if (v)
            paint_current(v, window, dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_NCDESTROY:
        /* Destroying the player's window takes this child with it. */
        if (v)
            v->child = NULL;
        break;
    }
    return DefWindowProcW(window, message, wp, lp);
}

static int is_active(libvlc_state_t state)
{
    return state == libvlc_Opening || state == libvlc_Buffering || state == libvlc_Playing
           || state == libvlc_Paused;
}

/* Window changes never redraw synchronously: hiding a child makes Wine erase the parent at once,
   by a message sent to the parent's thread, and that thread may be busy waiting for the player.
   Invalidating is asynchronous; the paints follow through the message queues. */
static void hide_child(HWND child, HWND parent)
{
    RECT area;
    GetWindowRect(child, &area);
    MapWindowPoints(NULL, parent, (POINT *)&area, 2);
    SetWindowPos(child, NULL, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOREDRAW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(parent, &area, TRUE); /* the player's idle picture shows again */
}

static void place_child(HWND child, const RECT *area)
{
    SetWindowPos(child, NULL, area->left, area->top, area->right - area->left,
                 area->bottom - area->top,
                 SWP_SHOWWINDOW | SWP_NOREDRAW | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(child, NULL, FALSE);
}

/* Follows the player's state and the parent's size, and paints a new picture at once. Returns
   how long the painter may wait for the next picture before it has to look again. */
static DWORD update(struct video *v)
{
    HWND child = v->child;
    RECT target;
    if (!child || !GetClientRect(v->parent, &target))
        return INFINITE;

    libvlc_state_t state = libvlc_media_player_get_state(v->player);
    int active = is_active(state);
    pthread_mutex_lock(&v->lock);
    if (!active)
        v->front_valid = v->ready_fresh = 0; /* never show an old file's last picture again */
    int have = v->front_valid || v->ready_fresh;
    pthread_mutex_unlock(&v->lock);

    if (!have) {
        if (IsWindowVisible(child))
            hide_child(child, v->parent);
        return INFINITE;
    }
    RECT now;
    GetWindowRect(child, &now);
    MapWindowPoints(NULL, v->parent, (POINT *)&now, 2);
    if (!EqualRect(&now, &target) || !IsWindowVisible(child))
        place_child(child, &target);

    struct frame f;
    if (take_frame(v, &f)) {
        if (f.fresh) {
            HDC dc = GetDC(child);
            if (dc) {
                paint(child, dc, &f);
                ReleaseDC(child, dc);
            }
        }
        release_frame(v);
    }
    return state == libvlc_Paused ? PAUSED_POLL_MS : POLL_MS;
}

static DWORD WINAPI painter_main(void *arg)
{
    struct video *v = arg;
    /* No parent notification: the parent's thread may be blocked waiting for the player. */
    v->child = CreateWindowExW(WS_EX_NOPARENTNOTIFY, window_class, L"",
                               WS_CHILD | WS_DISABLED | WS_CLIPSIBLINGS, 0, 0, 0, 0, v->parent,
                               NULL, bridge_module, v);
    DWORD wait = POLL_MS;
    while (!v->painter_quit) {
        MsgWaitForMultipleObjects(1, &v->wake, FALSE, wait, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (!v->painter_quit)
            wait = update(v);
    }
    if (v->child) {
        if (IsWindowVisible(v->child))
            hide_child(v->child, v->parent);
        DestroyWindow(v->child);
    }
    return 0;
}

static void stop_painter(struct video *v)
{
    if (!v->painter)
        return;
    InterlockedExchange(&v->painter_quit, 1);
    SetEvent(v->wake);
    bridge_wait_serving(v->painter);
    CloseHandle(v->painter);
    v->painter = NULL;
    v->parent = NULL;
}

static void start_painter(struct video *v, HWND parent)
{
    v->parent = parent;
    v->painter_quit = 0;
    v->painter = CreateThread(NULL, 0, painter_main, v, 0, NULL);
    if (!v->painter)
        v->parent = NULL;
}

/* ---- Life cycle ------------------------------------------------------------------------------ */

static int register_class(void)
{
    static ATOM atom;
    if (!atom) {
        WNDCLASSEXW wc;
        memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = video_window_proc;
        wc.hInstance = bridge_module;
        wc.lpszClassName = window_class;
        atom = RegisterClassExW(&wc);
    }
    return atom != 0;
}

static struct video *create_video(libvlc_media_player_t *player)
{
    struct video *v = calloc(1, sizeof(*v));
    if (!v)
        return NULL;
    v->player = player;
    pthread_mutex_init(&v->lock, NULL);
    pthread_cond_init(&v->changed, NULL);
    pthread_cond_init(&v->released, NULL);
    v->wake = CreateEventW(NULL, FALSE, FALSE, NULL);
    v->relay = v->wake ? CreateThread(NULL, 0, relay_main, v, 0, NULL) : NULL;
    if (!v->relay) {
        if (v->wake)
            CloseHandle(v->wake);
        free(v);
        return NULL;
    }
    libvlc_video_set_format_callbacks(player, on_format, on_cleanup);
    libvlc_video_set_callbacks(player, on_lock, on_unlock, on_display, v);
    return v;
}

static struct video *find_video(libvlc_media_player_t *player)
{
    struct video *v = videos;
    while (v && v->player != player)
        v = v->next;
    return v;
}

void video_set_window(libvlc_media_player_t *player, HWND window)
{
    if (!player)
        return;
    pthread_mutex_lock(&videos_lock);
    struct video *v = find_video(player);
    if (!v && window && register_class() && (v = create_video(player))) {
        v->next = videos;
        videos = v;
    }
    pthread_mutex_unlock(&videos_lock);
    if (!v || v->parent == window)
        return;
    /* The output stays installed; only the window it is painted into changes. */
    stop_painter(v);
    if (window)
        start_painter(v, window);
}

struct video *video_detach(libvlc_media_player_t *player)
{
    pthread_mutex_lock(&videos_lock);
    struct video **link = &videos;
    while (*link && (*link)->player != player)
        link = &(*link)->next;
    struct video *v = *link;
    if (v)
        *link = v->next;
    pthread_mutex_unlock(&videos_lock);
    if (v)
        stop_painter(v); /* before the player goes: the painter asks it for its state */
    return v;
}

void video_free(struct video *v)
{
    if (!v)
        return;
    pthread_mutex_lock(&v->lock);
    v->relay_quit = 1;
    pthread_cond_signal(&v->changed);
    pthread_mutex_unlock(&v->lock);
    bridge_wait_serving(v->relay);
    CloseHandle(v->relay);
    CloseHandle(v->wake);
    for (int i = 0; i < 3; i++)
        free(v->buffers[i]);
    pthread_cond_destroy(&v->released);
    pthread_cond_destroy(&v->changed);
    pthread_mutex_destroy(&v->lock);
    free(v);
}
