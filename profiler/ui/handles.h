#pragma once
// Owners of the window layer's handles (see base/owned.h), and two scope guards of a device context.
#include <windows.h>
#include <commctrl.h>

#include "base/owned.h"

struct BitmapTraits : NullIsEmpty<HBITMAP> {
    static void release(HBITMAP h) { DeleteObject(h); }
};
struct IconTraits : NullIsEmpty<HICON> {
    static void release(HICON h) { DestroyIcon(h); }
};
struct MenuTraits : NullIsEmpty<HMENU> {
    static void release(HMENU h) { DestroyMenu(h); }
};
struct ImageListTraits : NullIsEmpty<HIMAGELIST> {
    static void release(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct MemoryDcTraits : NullIsEmpty<HDC> {
    static void release(HDC h) { DeleteDC(h); }
};

using OwnedBitmap = Owned<BitmapTraits>;
using OwnedIcon = Owned<IconTraits>;
using OwnedMenu = Owned<MenuTraits>;
using OwnedImageList = Owned<ImageListTraits>;
using OwnedMemoryDc = Owned<MemoryDcTraits>;

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

    HDC get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// Selects an object into a device context for the guard's lifetime.
class SelectedObject {
public:
    SelectedObject(HDC d, HGDIOBJ object) : dc(d), previous(SelectObject(d, object)) {}
    ~SelectedObject() { SelectObject(dc, previous); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};
