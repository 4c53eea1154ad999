#pragma once
// The button faces and the About banner are drawn at 100, 150 and 200 %: which one a window shows.
#include <windows.h>

// The window's dots per inch: GetDpiForWindow where the system has it (Windows 10 1607 and later),
// else the screen's LOGPIXELSY; 96 when neither answers.
int windowDpi(HWND window);
// The drawn scale in percent (100, 150 or 200) nearest to `dpi`, where 96 dpi is 100 %; halfway
// between two, the larger, so a face is a little large rather than a little small. 100 for dpi <= 0.
int nearestArtScale(int dpi);
// Bitmap resource `id100` (its identifier at 100 %) drawn at `scale` percent.
int scaledBitmapId(int id100, int scale);
// Loads bitmap `id100` drawn at `scale` percent; at 100 % if that one is missing.
HBITMAP loadScaledBitmap(HINSTANCE instance, int id100, int scale);
