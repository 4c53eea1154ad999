#include "shell/about_dialog.h"

#include <windows.h>
#include <tlhelp32.h>

#include "base/owned.h"
#include "profiler_ids.h"
#include "shell/art_scale.h"

const CommandEntry<AboutDialog> AboutDialog::COMMANDS[] = {
    {IDOK, IDOK, &AboutDialog::onClose},
    {IDCANCEL, IDCANCEL, &AboutDialog::onClose},
};

BOOL AboutDialog::onInitDialog()
{
    showBanner();
    processList = item(IDC_PROCESS_LIST);
    OwnedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot.valid())
        return TRUE;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.get(), &entry); more;
         more = Process32Next(snapshot.get(), &entry))
        SendMessageA(processList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.szExeFile));
    return TRUE;
}

// The template shows the 100 % banner; at a higher DPI the picture takes the one drawn for it. The
// static gives back the image it showed, which is then ours to delete.
void AboutDialog::showBanner()
{
    int scale = nearestArtScale(windowDpi(hwnd));
    if (scale == 100)
        return;
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd, GWLP_HINSTANCE));
    banner.reset(static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(scaledBitmapId(IDB_ABOUT, scale)),
                                                 IMAGE_BITMAP, 0, 0, 0)));
    if (!banner.valid())
        return;
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageA(
        hwnd, IDC_ABOUT_BANNER, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(banner.get())));
    if (previous && previous != banner.get())
        DeleteObject(previous);
}

bool AboutDialog::onCommand(int id, int)
{
    return dispatchCommand(COMMANDS, *this, id);
}

void AboutDialog::onClose(int id)
{
    close(id);
}
