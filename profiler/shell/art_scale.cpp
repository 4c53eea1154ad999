#include "shell/art_scale.h"

#include <cstdlib>

#include "profiler_ids.h"

namespace {
const int DEFAULT_DPI = 96;
const int SCALES[] = {100, 150, 200};

HBITMAP loadBitmap(HINSTANCE instance, int id)
{
    return static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0));
}
} // namespace

int windowDpi(HWND window)
{
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    auto forWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (forWindow && window) {
        if (UINT dpi = forWindow(window))
            return static_cast<int>(dpi);
    }
    if (HDC screen = GetDC(nullptr)) {
        int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        if (dpi > 0)
            return dpi;
    }
    return DEFAULT_DPI;
}

int nearestArtScale(int dpi)
{
    int best = SCALES[0];
    if (dpi <= 0)
        return best;
    // Compared in hundredths of a dot per inch: |dpi - 96 * scale / 100|.
    long long bestDistance = std::llabs(100LL * dpi - DEFAULT_DPI * best);
    for (int scale : SCALES) {
        long long distance = std::llabs(100LL * dpi - DEFAULT_DPI * scale);
        if (distance <= bestDistance) {
            best = scale;
            bestDistance = distance;
        }
    }
    return best;
}

int scaledBitmapId(int id100, int scale)
{
    switch (scale) {
    case 150:
        return id100 + IDB_STEP_150;
    case 200:
        return id100 + IDB_STEP_200;
    default:
        return id100;
    }
}

HBITMAP loadScaledBitmap(HINSTANCE instance, int id100, int scale)
{
    HBITMAP bitmap = scale != 100 ? loadBitmap(instance, scaledBitmapId(id100, scale)) : nullptr;
    return bitmap ? bitmap : loadBitmap(instance, id100);
}
