#include "shell/bitmap_button.h"

#include "shell/art_scale.h"

namespace {
SIZE bitmapSize(HBITMAP bitmap)
{
    BITMAP info = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof(info), &info))
        return SIZE{0, 0};
    return SIZE{info.bmWidth, info.bmHeight};
}
} // namespace

void BitmapButton::loadFaces(HINSTANCE instance, int upBitmap, int downBitmap, int scale)
{
    up.reset(loadScaledBitmap(instance, upBitmap, scale));
    down.reset(loadScaledBitmap(instance, downBitmap, scale));
}

bool BitmapButton::bind(HWND dialog, int controlId, HINSTANCE instance, int upBitmap, int downBitmap)
{
    control = GetDlgItem(dialog, controlId);
    if (!control)
        return false;
    // The faces drawn for the window's DPI, unless they are larger than the button's place in the
    // dialog (laid out in dialog units, so it grows with the font): then the 100 % ones.
    RECT place = {};
    GetClientRect(control, &place);
    loadFaces(instance, upBitmap, downBitmap, nearestArtScale(windowDpi(dialog)));
    SIZE face = bitmapSize(up.get());
    if (face.cx > place.right || face.cy > place.bottom) {
        loadFaces(instance, upBitmap, downBitmap, 100);
        face = bitmapSize(up.get());
    }
    if (!up.valid())
        return false;
    SetWindowPos(control, nullptr, 0, 0, face.cx, face.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

bool BitmapButton::draw(const DRAWITEMSTRUCT& item) const
{
    if (!control || item.hwndItem != control)
        return false;
    HBITMAP face = (item.itemState & ODS_SELECTED) && down.valid() ? down.get() : up.get();
    if (!face)
        return true;
    OwnedMemoryDc memory(CreateCompatibleDC(item.hDC));
    SelectedObject selected(memory.get(), face);
    SIZE size = bitmapSize(face);
    const RECT& r = item.rcItem;
    StretchBlt(item.hDC, r.left, r.top, r.right - r.left, r.bottom - r.top, memory.get(), 0, 0, size.cx, size.cy,
               SRCCOPY);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = {r.left + 3, r.top + 3, r.right - 3, r.bottom - 3};
        DrawFocusRect(item.hDC, &focus);
    }
    return true;
}
