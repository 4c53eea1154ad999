// The profile list, its images at the system's small icon size and the Launch submenu: built together, kept in the same order.
// Start-up lists every row with the stand-in icon; each game's own icon follows in idle time, and
// all of them are in place before the window or a menu is shown.
#include "shell/main_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "profiler_ids.h"
#include "shell/profiler_app.h"
#include "shell/timers.h"
#include "store/profile_store.h"
#include "ui/message_box.h"

namespace {
constexpr COLORREF LIST_BACKGROUND = RGB(243, 228, 184);
constexpr DWORD LIST_STYLES = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
constexpr int MENU_BITMAP_SIDE = 32;
constexpr UINT ICON_PERIOD_MS = 10;
constexpr DWORD ICON_SLICE_MS = 20; // the longest the idle fetch keeps the window busy
static_assert(LAUNCH_COMMAND_LAST - LAUNCH_COMMAND_BASE + 1 == MAX_LISTED_PROFILES,
              "every listed row has a Launch command");
static_assert(LAUNCH_COMMAND_LAST <= 0xFFFF, "command ids are 16 bits");

void insertColumn(HWND list, int index, const char* text, int width)
{
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(text);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}

void setCell(HWND list, int row, int column, const std::string& text)
{
    LVITEMA cell = {};
    cell.iSubItem = column;
    cell.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
}

HBITMAP rowBitmapOf(HWND list, int row)
{
    LVITEMA entry = {};
    entry.mask = LVIF_PARAM;
    entry.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&entry)))
        return nullptr;
    return reinterpret_cast<HBITMAP>(entry.lParam);
}

void setRowBitmap(HWND list, int row, HBITMAP bitmap)
{
    LVITEMA entry = {};
    entry.mask = LVIF_PARAM;
    entry.iItem = row;
    entry.lParam = reinterpret_cast<LPARAM>(bitmap);
    SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&entry));
}

// The first small icon of a game's file; none when the file has none (or is missing).
OwnedIcon gameIcon(const std::string& location)
{
    HICON extracted = nullptr;
    if (ExtractIconExA(location.c_str(), 0, nullptr, &extracted, 1) == 0)
        return OwnedIcon();
    return OwnedIcon(extracted);
}
} // namespace

void MainDialog::setUpProfileList()
{
    ListView_SetExtendedListViewStyle(profileList, LIST_STYLES);
    ListView_SetTextBkColor(profileList, CLR_NONE);
    ListView_SetBkColor(profileList, LIST_BACKGROUND);
    profileImages.reset(ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_MASK | ILC_COLOR32, 1, 1));
    ListView_SetImageList(profileList, profileImages.get(), LVSIL_SMALL);
    RECT client;
    GetClientRect(profileList, &client);
    int width = client.right - client.left;
    insertColumn(profileList, 0, "  Title   ", width * 35 / 100 - 1);
    insertColumn(profileList, 1, "  Location   ", width * 65 / 100 - 1);
    loadProfileList(popupMenu());
}

int MainDialog::rowCount() const
{
    return profileList ? static_cast<int>(SendMessageA(profileList, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

int MainDialog::selectedRow()
{
    int row =
        static_cast<int>(SendMessageA(profileList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0)
        showMessage(hwnd, "Please select item First!", MB_OK | MB_ICONEXCLAMATION);
    return row;
}

std::string MainDialog::rowText(int row, int column) const
{
    char text[4096] = {};
    LVITEMA cell = {};
    cell.iSubItem = column;
    cell.pszText = text;
    cell.cchTextMax = sizeof(text);
    SendMessageA(profileList, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&cell));
    return text;
}

void MainDialog::loadProfileList(HMENU popup)
{
    clearProfileList(popup);
    const std::vector<ProfileRow> rows = store().loadProfiles();
    HMENU launch = GetSubMenu(popup, MENU_POS_LAUNCH);
    // Every row starts with a copy of the stand-in image: copies cost nothing beside an icon added.
    ImageList_SetImageCount(profileImages.get(), static_cast<UINT>(rows.size()));
    if (!rows.empty())
        ImageList_ReplaceIcon(profileImages.get(), 0, standInIcon());
    for (int image = 1; image < static_cast<int>(rows.size()); ++image)
        ImageList_Copy(profileImages.get(), image, profileImages.get(), 0, ILCF_MOVE);
    SendMessageA(profileList, WM_SETREDRAW, FALSE, 0); // a list redrawn at every row fills slowly
    for (const ProfileRow& row : rows)
        appendRow(launch, row);
    SendMessageA(profileList, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(profileList, nullptr, TRUE);
    nextIcon = 0;
    if (IsWindowVisible(hwnd))
        resolveIcons(INFINITE);
    else
        SetTimer(hwnd, ICON_TIMER, ICON_PERIOD_MS, nullptr);
}

void MainDialog::clearProfileList(HMENU popup)
{
    if (!profileList)
        return;
    KillTimer(hwnd, ICON_TIMER);
    for (int row = rowCount() - 1; row >= 0; --row) {
        HBITMAP bitmap = rowBitmapOf(profileList, row);
        if (bitmap && bitmap != standInBitmap.get())
            DeleteObject(bitmap);
    }
    if (profileImages.valid()) {
        for (int image = ImageList_GetImageCount(profileImages.get()) - 1; image >= 0; --image)
            ImageList_Remove(profileImages.get(), image);
    }
    if (HMENU launch = popup ? GetSubMenu(popup, MENU_POS_LAUNCH) : nullptr) {
        for (int position = GetMenuItemCount(launch) - 1; position >= 0; --position)
            DeleteMenu(launch, position, MF_BYPOSITION);
    }
    ListView_DeleteAllItems(profileList);
    listed.rows.clear();
}

// A new profile from the editor: listed at once with its own icon.
void MainDialog::addProfileEntry(HMENU launchSubmenu, const ProfileRow& profile)
{
    ImageList_AddIcon(profileImages.get(), standInIcon());
    appendRow(launchSubmenu, profile);
    resolveIcon(listed.size() - 1);
}

// The row, its Launch item and its image index, with the stand-in's menu bitmap (shared by every
// row that has no icon of its own; the others own theirs).
void MainDialog::appendRow(HMENU launchSubmenu, const ProfileRow& profile)
{
    const int row = listed.size();
    listed.append(profile);
    AppendMenuA(launchSubmenu, MF_STRING, LAUNCH_COMMAND_BASE + row, profile.title.c_str());
    SetMenuItemBitmaps(launchSubmenu, row, MF_BYPOSITION, standInBitmap.get(), nullptr);

    LVITEMA entry = {};
    entry.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    entry.iItem = row;
    entry.pszText = const_cast<char*>(profile.title.c_str());
    entry.iImage = row;
    entry.lParam = reinterpret_cast<LPARAM>(standInBitmap.get());
    int inserted =
        static_cast<int>(SendMessageA(profileList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry)));
    setCell(profileList, inserted, 1, profile.location);
}

// The stand-in icon and its menu bitmap, made once.
HICON MainDialog::standInIcon()
{
    if (!standIn.valid()) {
        standIn.reset(static_cast<HICON>(
            LoadImageA(app.instance(), MAKEINTRESOURCEA(IDI_NO_ICON), IMAGE_ICON,
                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
        standInBitmap =
            makeMenuBitmap(standIn.get(), GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
    }
    return standIn.get();
}

// Gives a row that still shows the stand-in its game's icon, in the list and in the Launch item.
void MainDialog::resolveIcon(int row)
{
    if (!listed.has(row) || listed.rows[row].ownIcon)
        return; // its own icon is in place
    OwnedIcon icon = gameIcon(listed.rows[row].location);
    if (!icon.valid())
        return;
    listed.rows[row].ownIcon = true;
    ImageList_ReplaceIcon(profileImages.get(), row, icon.get());
    // The row owns its bitmap from here on: clearProfileList and onDelete delete it.
    HBITMAP bitmap =
        makeMenuBitmap(icon.get(), GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK))
            .release();
    setRowBitmap(profileList, row, bitmap);
    SetMenuItemBitmaps(launchMenu(), row, MF_BYPOSITION, bitmap, nullptr);
}

// The icons still to fetch, for at most `sliceMs` (INFINITE: all of them).
void MainDialog::resolveIcons(DWORD sliceMs)
{
    const DWORD start = GetTickCount();
    while (nextIcon < listed.size() && (sliceMs == INFINITE || GetTickCount() - start < sliceMs))
        resolveIcon(nextIcon++);
    if (nextIcon >= listed.size())
        KillTimer(hwnd, ICON_TIMER);
}

void MainDialog::onIconTimer()
{
    resolveIcons(ICON_SLICE_MS);
}

OwnedBitmap MainDialog::makeMenuBitmap(HICON icon, int width, int height)
{
    OwnedBitmap bitmap;
    OwnedMemoryDc memory;
    {
        WindowDc window(hwnd);
        bitmap.reset(CreateCompatibleBitmap(window.get(), MENU_BITMAP_SIDE, MENU_BITMAP_SIDE));
        memory.reset(CreateCompatibleDC(window.get()));
    }
    if (!bitmap.valid() || !memory.valid())
        return bitmap;
    SelectedObject selected(memory.get(), bitmap.get());
    RECT square = {0, 0, MENU_BITMAP_SIDE, MENU_BITMAP_SIDE};
    FillRect(memory.get(), &square, GetSysColorBrush(COLOR_WINDOW));
    // At any DPI the icon fills the square whole; the stretch below makes it the menu's size.
    DrawIconEx(memory.get(), 0, 0, icon, MENU_BITMAP_SIDE, MENU_BITMAP_SIDE, 0, nullptr, DI_NORMAL);
    StretchBlt(memory.get(), 0, 0, width, height, memory.get(), 0, 0, MENU_BITMAP_SIDE, MENU_BITMAP_SIDE,
               SRCCOPY);
    return bitmap;
}

void MainDialog::onDelete(int)
{
    int row = selectedRow();
    if (!listed.has(row))
        return;
    const std::string location = listed.rows[row].location;
    const std::string title = listed.rows[row].title;
    std::string question = "Are you Sure to delete Profile: " + title + "\n\nAt:\n\n" + location;
    if (showMessage(hwnd, question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    // The file may have changed since the list was shown: the profile goes from the file as it is
    // now, and the list is shown again as the file then holds it.
    store().removeProfile(location, row);
    loadProfileList(popupMenu());
}
