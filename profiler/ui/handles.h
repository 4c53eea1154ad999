#pragma once
// Owners of the window layer's handles (see base/owned.h), and two scope guards of a device context.
#include <windows.h>
#include <commctrl.h>

#include "base/owned.h"

using OwnedBitmap = Owned<NullHandleTraits<HBITMAP, DeleteObject>>;
using OwnedIcon = Owned<NullHandleTraits<HICON, DestroyIcon>>;
using OwnedMenu = Owned<NullHandleTraits<HMENU, DestroyMenu>>;
using OwnedImageList = Owned<NullHandleTraits<HIMAGELIST, ImageList_Destroy>>;
using OwnedMemoryDc = Owned<NullHandleTraits<HDC, DeleteDC>>;

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
