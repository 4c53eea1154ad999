#include "tests/ui_test_support.h"

#include <windows.h>
#include <shellapi.h>

#include "profiler_ids.h"
#include "shell/auto_start.h"
#include "testlib/registry.h"

namespace {
thread_local MenuCloser* activeCloser = nullptr;

void CALLBACK closeMenus(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup && IsWindowVisible(popup) && activeCloser) {
        activeCloser->shown.push_back(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)));
        EndMenu();
    }
}
} // namespace

const char* const THREE_PROFILES = "[PROFILES]\r\nCOUNT=3\r\n1=C:\\windows\\notepad.exe\r\n2=C:"
                                   "\\Games\\Fly\\fly.exe\r\n3=C:\\Games\\Race\\race.exe\r\n"
                                   "[C:\\windows\\notepad.exe]\r\nProfileTitle=Notes\r\n"
                                   "[C:\\Games\\Fly\\fly.exe]\r\nProfileTitle=Fly\r\n"
                                   "[C:\\Games\\Race\\race.exe]\r\nProfileTitle=Race\r\n";

TempSettings::TempSettings(const std::string& tag) : dir(tag) {}

TempSettings::~TempSettings()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
}

void TempSettings::write(const std::string& text) const
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    writeFile(path, text);
}

std::string TempSettings::read(const char* section, const char* key) const
{
    char value[4096] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof(value), path.c_str());
    return value;
}

bool TempSettings::has(const char* section, const char* key) const
{
    char value[64] = {};
    GetPrivateProfileStringA(section, key, "\x01", value, sizeof(value), path.c_str());
    return std::string(value) != "\x01";
}

std::string TempSettings::bytes() const
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    return readFile(path);
}

RunEntryGuard::~RunEntryGuard()
{
    if (existed)
        write(saved);
    else
        erase();
}

bool RunEntryGuard::read(std::string& text)
{
    return getRegText(RUN_KEY, RUN_VALUE, text, PROGRAM_VIEW);
}

void RunEntryGuard::write(const std::string& text)
{
    if (text.empty())
        erase();
    else
        setRegText(RUN_KEY, RUN_VALUE, text, REG_SZ, PROGRAM_VIEW);
}

void RunEntryGuard::erase()
{
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE);
}

MenuCloser::MenuCloser()
{
    activeCloser = this;
    timer = SetTimer(nullptr, 0, 100, closeMenus);
}

MenuCloser::~MenuCloser()
{
    KillTimer(nullptr, timer);
    activeCloser = nullptr;
}

void pumpMessages(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

std::string menuText(HMENU menu, int position)
{
    char text[512] = {};
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

bool waitAutoStartRead(HMENU settingsMenu, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    while (GetMenuState(settingsMenu, CMD_AUTO_START, MF_BYCOMMAND) & MF_GRAYED) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        pumpMessages(5);
    }
    return true;
}

bool trayIconPresent(HWND window)
{
    NOTIFYICONDATAA data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = TRAY_ICON_ID;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}
