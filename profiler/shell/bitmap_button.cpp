#include "shell/bitmap_button.h"

bool BitmapButton::bind(HWND dialog, int controlId, HINSTANCE instance, int upBitmap, int downBitmap)
{
    control = GetDlgItem(dialog, controlId);
    up.reset(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(upBitmap), IMAGE_BITMAP, 0, 0, 0)));
    down.reset(
        static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(downBitmap), IMAGE_BITMAP, 0, 0, 0)));
    if (!control || !up)
        return false;
    BITMAP info = {};
    GetObjectA(up.get(), sizeof(info), &info);
    SetWindowPos(control, nullptr, 0, 0, info.bmWidth, info.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool BitmapButton::draw(const DRAWITEMSTRUCT& item) const
{
    if (!control || item.hwndItem != control)
        return false;
    HBITMAP face = (item.itemState & ODS_SELECTED) && down ? down.get() : up.get();
    if (!face)
        return true;
    OwnedMemoryDc memory(CreateCompatibleDC(item.hDC));
    SelectedObject selected(memory.get(), face);
    BITMAP info = {};
    GetObjectA(face, sizeof(info), &info);
    const RECT& r = item.rcItem;
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, info.bmWidth,
               info.bmHeight, SRCCOPY);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
        DrawFocusRect(item.hDC, &focus);
    }
    return true;
}
