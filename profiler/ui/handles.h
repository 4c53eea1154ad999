#pragma once
// Small owners of platform handles: each releases what it holds when destroyed or reset.
#include <windows.h>
#include <commctrl.h>

template <class H, class Release>
class Owned {
public:
    Owned() = default;
    explicit Owned(H h) : handle(h) {}
    ~Owned() { reset(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle(other.release()) {}
    Owned& operator=(Owned&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    void reset(H h = nullptr)
    {
        if (handle)
            Release()(handle);
        handle = h;
    }
    H release()
    {
        H h = handle;
        handle = nullptr;
        return h;
    }
    H get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }

    H handle = nullptr;
};

struct ReleaseGdiObject {
    void operator()(HGDIOBJ h) const { DeleteObject(h); }
};
struct ReleaseIcon {
    void operator()(HICON h) const { DestroyIcon(h); }
};
struct ReleaseMenu {
    void operator()(HMENU h) const { DestroyMenu(h); }
};
struct ReleaseImageList {
    void operator()(HIMAGELIST h) const { ImageList_Destroy(h); }
};
struct ReleaseKernelHandle {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
struct ReleaseMemoryDc {
    void operator()(HDC h) const { DeleteDC(h); }
};

using OwnedBitmap = Owned<HBITMAP, ReleaseGdiObject>;
using OwnedIcon = Owned<HICON, ReleaseIcon>;
using OwnedMenu = Owned<HMENU, ReleaseMenu>;
using OwnedImageList = Owned<HIMAGELIST, ReleaseImageList>;
using OwnedMemoryDc = Owned<HDC, ReleaseMemoryDc>;

// A kernel handle; INVALID_HANDLE_VALUE (failed snapshot or file open) is taken as nothing held.
class OwnedHandle : public Owned<HANDLE, ReleaseKernelHandle> {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(HANDLE h) : Owned(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};

// A window's device context, released again when done.
class WindowDc {
public:
    explicit WindowDc(HWND w) : window(w), dc(GetDC(w)) {}
    ~WindowDc()
    {
        if (dc)
            ReleaseDC(window, dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HWND window;
    HDC dc;
};

// Selects an object into a device context for the owner's lifetime.
class SelectedObject {
public:
    SelectedObject(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
    ~SelectedObject() { SelectObject(dc, previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

    HDC dc;
    HGDIOBJ previous;
};
