#pragma once
// An owner-drawn push button that shows one picture while pressed and another otherwise.
#include <windows.h>

#include "ui/handles.h"

class BitmapButton {
public:
    // Binds the button control and loads its faces (given by their 100 % bitmaps) at the scale for
    // the dialog's DPI; the button takes the faces' size.
    bool bind(HWND dialog, int controlId, HINSTANCE instance, int upBitmap, int downBitmap);
    // Draws the button when `item` is about it; false when it is about another control.
    bool draw(const DRAWITEMSTRUCT& item) const;

private:
    void loadFaces(HINSTANCE instance, int upBitmap, int downBitmap, int scale);

    HWND control = nullptr;
    OwnedBitmap up;
    OwnedBitmap down;
};
