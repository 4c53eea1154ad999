// The profile list, its 16x16 images and the Launch submenu: built together, kept in the same order.
#include "shell/main_dialog.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "profiler_ids.h"
#include "shell/profiler_app.h"
#include "store/profile_store.h"
#include "ui/message_box.h"

namespace {
constexpr COLORREF LIST_BACKGROUND = RGB(243, 228, 184);
constexpr DWORD LIST_STYLES = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
constexpr int MENU_BITMAP_SIDE = 32;
// Launch commands are 16-bit command ids: no more entries are read than can carry one.
constexpr int MAX_LISTED_PROFILES = 0xFFFF - LAUNCH_COMMAND_BASE + 1;

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
} // namespace

void MainDialog::setUpProfileList()
{
    ListView_SetExtendedListViewStyle(profileList, LIST_STYLES);
    ListView_SetTextBkColor(profileList, CLR_NONE);
    ListView_SetBkColor(profileList, LIST_BACKGROUND);
    profileImages.reset(ImageList_Create(16, 16, ILC_MASK | ILC_COLOR32, 1, 1));
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
    const int count = std::min(store().profileCount(), MAX_LISTED_PROFILES);
    HMENU launch = GetSubMenu(popup, MENU_POS_LAUNCH);
    for (const ProfileRow& row : store().loadRows(count))
        addProfileEntry(launch, row);
    // A hand-edited file may leave empty entries: number the profiles like the rows again, so that
    // adding and removing (which count rows) never overwrite a listed profile.
    const int rows = rowCount();
    if (rows < count) {
        std::vector<std::string> locations;
        for (int row = 0; row < rows; ++row)
            locations.push_back(rowText(row, 1));
        store().renumberProfiles(locations);
    }
}

void MainDialog::clearProfileList(HMENU popup)
{
    if (!profileList)
        return;
    for (int row = rowCount() - 1; row >= 0; --row) {
        if (HBITMAP bitmap = rowBitmapOf(profileList, row))
            DeleteObject(bitmap);
    }
    if (profileImages) {
        for (int image = ImageList_GetImageCount(profileImages.get()) - 1; image >= 0; --image)
            ImageList_Remove(profileImages.get(), image);
    }
    if (HMENU launch = popup ? GetSubMenu(popup, MENU_POS_LAUNCH) : nullptr) {
        for (int position = GetMenuItemCount(launch) - 1; position >= 0; --position)
            DeleteMenu(launch, position, MF_BYPOSITION);
    }
    ListView_DeleteAllItems(profileList);
}

// Rows are numbered in list order, so an empty entry before this one leaves no hole.
void MainDialog::addProfileEntry(HMENU launchSubmenu, const ProfileRow& profile)
{
    HICON extracted = nullptr;
    if (ExtractIconExA(profile.location.c_str(), 0, nullptr, &extracted, 1) == 0 || !extracted)
        extracted = static_cast<HICON>(
            LoadImageA(app.instance(), MAKEINTRESOURCEA(IDI_NO_ICON), IMAGE_ICON, 16, 16, 0));
    OwnedIcon icon(extracted);

    const int row = rowCount();
    ImageList_AddIcon(profileImages.get(), icon.get());
    // The row owns its bitmap from here on: clearProfileList and onDelete delete it.
    HBITMAP rowBitmap =
        makeMenuBitmap(icon.get(), GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK))
            .release();

    UINT command = LAUNCH_COMMAND_BASE + row;
    AppendMenuA(launchSubmenu, MF_STRING, command, profile.title.c_str());
    SetMenuItemBitmaps(launchSubmenu, command, MF_BYCOMMAND, rowBitmap, nullptr);

    LVITEMA entry = {};
    entry.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    entry.iItem = row;
    entry.pszText = const_cast<char*>(profile.title.c_str());
    entry.iImage = row;
    entry.lParam = reinterpret_cast<LPARAM>(rowBitmap);
    int inserted =
        static_cast<int>(SendMessageA(profileList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&entry)));
    setCell(profileList, inserted, 1, profile.location);
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
    if (!bitmap || !memory)
        return bitmap;
    SelectedObject selected(memory.get(), bitmap.get());
    RECT square = {0, 0, MENU_BITMAP_SIDE, MENU_BITMAP_SIDE};
    FillRect(memory.get(), &square, GetSysColorBrush(COLOR_WINDOW));
    DrawIcon(memory.get(), 0, 0, icon);
    StretchBlt(memory.get(), 0, 0, width, height, memory.get(), 0, 0, MENU_BITMAP_SIDE, MENU_BITMAP_SIDE,
               SRCCOPY);
    return bitmap;
}

void MainDialog::onDelete(int)
{
    int row = selectedRow();
    if (row < 0)
        return;
    std::string location = rowText(row, 1);
    std::string title = rowText(row, 0);
    std::string question = "Are you Sure to delete Profile: " + title + "\n\nAt:\n\n" + location;
    if (showMessage(hwnd, question, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;

    int rows = rowCount();
    std::vector<std::string> locations;
    for (int r = 0; r < rows; ++r)
        locations.push_back(rowText(r, 1));
    store().removeProfile(row, locations);

    HMENU launch = launchMenu();
    DeleteMenu(launch, row, MF_BYPOSITION);
    if (HBITMAP bitmap = rowBitmapOf(profileList, row))
        DeleteObject(bitmap);
    ListView_DeleteItem(profileList, row);
    ImageList_Remove(profileImages.get(), row);

    renumberAfterDelete(row, rows);
}

// The rows below a deleted one moved up: their Launch commands and image indexes follow their
// positions.
void MainDialog::renumberAfterDelete(int row, int rows)
{
    HMENU launch = launchMenu();
    for (int p = row; p <= rows - 2; ++p) {
        MENUITEMINFOA item = {};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_ID;
        item.wID = LAUNCH_COMMAND_BASE + p;
        SetMenuItemInfoA(launch, p, TRUE, &item);
        LVITEMA entry = {};
        entry.mask = LVIF_IMAGE;
        entry.iItem = p;
        entry.iImage = p;
        SendMessageA(profileList, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&entry));
    }
}
