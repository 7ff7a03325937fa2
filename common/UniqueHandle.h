// The owner kit: UniqueHandle, the single owner of one Win32 handle, closed when the owner goes, and
// the traits for the handle kinds both the player and the update library hold; then the scopes
// that borrow something for one block (a window's DC, a selection, a paint, a global block's lock,
// an event used as a lock). A traits type names the handle type, its "none" value and how it is
// closed. Network, CNG, COM and GDI+ owners live beside this file (InternetHandles.h,
// WinHttpHandles.h, CngHandles.h, ComPtr.h, GdiplusSession.h) because their headers cannot all be
// included together or pull in libraries most code does not need.
#pragma once

#include <windows.h>
#include <utility>

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Type get() const { return handle_; }
    explicit operator bool() const { return handle_ != Traits::none(); }
    Type release() { return std::exchange(handle_, Traits::none()); }
    void reset(Type handle = Traits::none())
    {
        if (handle_ != Traits::none())
            Traits::close(handle_);
        handle_ = handle;
    }
    // For functions that hand a new handle back through a pointer; closes any held one first.
    Type* receive()
    {
        reset();
        return &handle_;
    }

private:
    Type handle_ = Traits::none();
};

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type none() { return nullptr; }
    static void close(Type handle) { CloseHandle(handle); }
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static void close(Type handle) { CloseHandle(handle); }
};

struct FindHandleTraits {
    using Type = HANDLE;
    static Type none() { return INVALID_HANDLE_VALUE; }
    static void close(Type handle) { FindClose(handle); }
};

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type none() { return nullptr; }
    static void close(Type key) { RegCloseKey(key); }
};

template <typename GdiType>
struct GdiObjectTraits {
    using Type = GdiType;
    static Type none() { return nullptr; }
    static void close(Type object) { DeleteObject(object); }
};

struct MemoryDcTraits {
    using Type = HDC;
    static Type none() { return nullptr; }
    static void close(Type dc) { DeleteDC(dc); }
};

struct MenuTraits {
    using Type = HMENU;
    static Type none() { return nullptr; }
    static void close(Type menu) { DestroyMenu(menu); }
};

// A module loaded (or pinned) with a reference of its own, which FreeLibrary gives back.
struct ModuleTraits {
    using Type = HMODULE;
    static Type none() { return nullptr; }
    static void close(Type module) { FreeLibrary(module); }
};

struct GlobalMemoryTraits {
    using Type = HGLOBAL;
    static Type none() { return nullptr; }
    static void close(Type block) { GlobalFree(block); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;  // threads, events, processes
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
template <typename GdiType>
using UniqueGdiObject = UniqueHandle<GdiObjectTraits<GdiType>>;  // pens, brushes, fonts, bitmaps
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueModule = UniqueHandle<ModuleTraits>;
using UniqueGlobalMemory = UniqueHandle<GlobalMemoryTraits>;  // GlobalAlloc's blocks

// A window's DC, borrowed for one scope: released to the window it came from.
class ScopedWindowDc {
public:
    explicit ScopedWindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDc()
    {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    ScopedWindowDc(const ScopedWindowDc&) = delete;
    ScopedWindowDc& operator=(const ScopedWindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// One object selected into a DC for one scope; the one it replaced goes back when the scope ends,
// so the DC never outlives its selection holding an object about to be deleted.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelection()
    {
        if (previous_ && previous_ != HGDI_ERROR)
            SelectObject(dc_, previous_);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// One WM_PAINT: BeginPaint when the scope starts, EndPaint when it ends, whatever the handler
// drew or returned in between (a window that skips EndPaint keeps its caret hidden).
class ScopedPaint {
public:
    explicit ScopedPaint(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~ScopedPaint() { EndPaint(window_, &paint_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC dc() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_ = {};
    HDC dc_;
};

// A movable global block locked for one scope: its bytes stay put until the scope ends.
class ScopedGlobalLock {
public:
    explicit ScopedGlobalLock(HGLOBAL block) : block_(block), bytes_(GlobalLock(block)) {}
    ~ScopedGlobalLock()
    {
        if (bytes_)
            GlobalUnlock(block_);
    }
    ScopedGlobalLock(const ScopedGlobalLock&) = delete;
    ScopedGlobalLock& operator=(const ScopedGlobalLock&) = delete;

    void* get() const { return bytes_; }
    explicit operator bool() const { return bytes_ != nullptr; }

private:
    HGLOBAL block_;
    void* bytes_;
};

// An auto-reset event, created signalled, used as a lock: held from the wait (no time-out) to the
// end of the scope. Not re-entrant: a thread that takes it twice waits for itself forever.
class ScopedEventLock {
public:
    explicit ScopedEventLock(HANDLE event) : event_(event) { WaitForSingleObject(event, INFINITE); }
    ~ScopedEventLock() { SetEvent(event_); }
    ScopedEventLock(const ScopedEventLock&) = delete;
    ScopedEventLock& operator=(const ScopedEventLock&) = delete;

private:
    HANDLE event_;
};
