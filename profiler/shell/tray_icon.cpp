#include "shell/tray_icon.h"

#include <cstddef>
#include <cstring>

namespace {
// The first record version ends after a 64-byte tip; newer fields are not sent.
constexpr std::size_t TIP_FIELD = NOTIFYICONDATAA_V1_SIZE - offsetof(NOTIFYICONDATAA, szTip);

// Copies text into the tip field, cut to fit with its terminator.
void putTip(NOTIFYICONDATAA& data, const std::string& tip)
{
    std::size_t room = TIP_FIELD - 1;
    std::size_t length = tip.size() < room ? tip.size() : room;
    std::memcpy(data.szTip, tip.data(), length);
    data.szTip[length] = '\0';
}
} // namespace

UINT TrayIcon::shellRestartMessage()
{
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

void TrayIcon::acceptShellRestart(HWND window)
{
    // Windows 7 and later filter per window; Vista per process. Neither exists before Vista.
    using PerWindow = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    using PerProcess = BOOL(WINAPI*)(UINT, DWORD);
    constexpr DWORD ALLOW = 1; // MSGFLT_ALLOW and MSGFLT_ADD
    HMODULE user32 = GetModuleHandleA("user32.dll");
    if (auto perWindow = reinterpret_cast<PerWindow>(
            reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilterEx"))))
        perWindow(window, shellRestartMessage(), ALLOW, nullptr);
    else if (auto perProcess = reinterpret_cast<PerProcess>(
                 reinterpret_cast<void*>(GetProcAddress(user32, "ChangeWindowMessageFilter"))))
        perProcess(shellRestartMessage(), ALLOW);
}

bool TrayIcon::add(HWND window, UINT id, UINT callbackMessage, HICON icon, const std::string& tip)
{
    remove();
    data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = id;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = callbackMessage;
    data.hIcon = icon;
    putTip(data, tip);
    added = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    data.uFlags = NIF_TIP;
    return added;
}

bool TrayIcon::restore()
{
    if (!data.hWnd)
        return false;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    added = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    data.uFlags = NIF_TIP;
    return added;
}

bool TrayIcon::setTip(const std::string& tip)
{
    putTip(data, tip);
    if (!data.hWnd)
        return false;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void TrayIcon::remove()
{
    if (data.hWnd)
        Shell_NotifyIconA(NIM_DELETE, &data);
    data.hWnd = nullptr;
    added = false;
}
