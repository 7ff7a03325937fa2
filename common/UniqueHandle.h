// The owner kit: UniqueHandle, the single owner of one Win32 handle, closed when the owner goes, and
// the traits for the handle kinds both the player and the update library hold. A traits type names
// the handle type, its "none" value and how it is closed. Network, CNG and GDI+ owners live beside
// this file (InternetHandles.h, WinHttpHandles.h, CngHandles.h, GdiplusSession.h) because their
// headers cannot all be included together or pull in libraries most code does not need.
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

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;  // threads, events, processes
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFindHandle = UniqueHandle<FindHandleTraits>;
using UniqueRegistryKey = UniqueHandle<RegistryKeyTraits>;
template <typename GdiType>
using UniqueGdiObject = UniqueHandle<GdiObjectTraits<GdiType>>;  // pens, brushes, fonts, bitmaps
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;

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
