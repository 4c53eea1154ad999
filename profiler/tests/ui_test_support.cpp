#include "ui_test_support.h"

#include <fstream>

namespace {
thread_local BoxAnswerer* activeAnswerer = nullptr;
thread_local HHOOK cbtHook = nullptr;
thread_local MenuCloser* activeCloser = nullptr;
constexpr int MESSAGE_BOX_TEXT_ID = 0xFFFF;
constexpr int MESSAGE_BOX_ICON_ID = 0x0440;

std::string className(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string windowText(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

LPCSTR recogniseIcon(HICON shown)
{
    for (LPCSTR candidate : {IDI_EXCLAMATION, IDI_QUESTION, IDI_ASTERISK, IDI_HAND}) {
        if (shown && shown == LoadIconA(nullptr, candidate))
            return candidate;
    }
    return nullptr;
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && activeAnswerer) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (className(window) == "#32770") {
            HWND text = GetDlgItem(window, MESSAGE_BOX_TEXT_ID);
            if (text) {
                BoxSeen box;
                box.caption = windowText(window);
                box.text = windowText(text);
                box.hasOk = GetDlgItem(window, IDOK) != nullptr;
                box.hasCancel = GetDlgItem(window, IDCANCEL) != nullptr;
                box.hasYes = GetDlgItem(window, IDYES) != nullptr;
                box.hasNo = GetDlgItem(window, IDNO) != nullptr;
                box.icon = recogniseIcon(reinterpret_cast<HICON>(
                    SendDlgItemMessageA(window, MESSAGE_BOX_ICON_ID, STM_GETICON, 0, 0)));
                activeAnswerer->seen.push_back(box);
                int answer = IDCANCEL;
                if (!activeAnswerer->answers.empty()) {
                    answer = activeAnswerer->answers.front();
                    activeAnswerer->answers.erase(activeAnswerer->answers.begin());
                } else if (box.hasOk && !box.hasCancel) {
                    answer = IDOK;
                }
                PostMessageA(window, WM_COMMAND, answer, 0);
            } else if (activeAnswerer->onDialog) {
                activeAnswerer->onDialog(window);
            }
        }
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

void CALLBACK closeMenus(HWND, UINT, UINT_PTR, DWORD)
{
    HWND popup = FindWindowA("#32768", nullptr);
    if (popup && IsWindowVisible(popup) && activeCloser) {
        activeCloser->shown.push_back(reinterpret_cast<HMENU>(SendMessageA(popup, MN_GETHMENU, 0, 0)));
        EndMenu();
    }
}
} // namespace

TempSettings::TempSettings(const std::string& tag)
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    folder = std::string(base) + "profiler_" + tag + "_" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    path = folder + "\\profiler.INI";
    DeleteFileA(path.c_str());
}

TempSettings::~TempSettings()
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str()); // flush the INI cache
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileA((folder + "\\" + found.cFileName).c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

void TempSettings::write(const std::string& text) const
{
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
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

ScratchKey::ScratchKey(const std::string& name) : path("Software\\PadkitTests\\" + name)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (key)
        RegCloseKey(key);
}

ScratchKey::~ScratchKey()
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
}

void ScratchKey::set(const char* value, const std::string& text) const
{
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, path.c_str(), value, REG_SZ, text.c_str(),
                    static_cast<DWORD>(text.size() + 1));
}

bool ScratchKey::get(const char* value, std::string& text) const
{
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    LONG rc = RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), value, RRF_RT_ANY, nullptr, buffer, &size);
    text = buffer;
    return rc == ERROR_SUCCESS;
}

bool ScratchKey::has(const char* value) const
{
    std::string ignored;
    return get(value, ignored);
}

namespace {
constexpr const char* RUN_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
}

RunEntryGuard::RunEntryGuard()
{
    existed = read(saved);
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
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    LONG rc = RegGetValueA(HKEY_LOCAL_MACHINE, RUN_KEY, "PADWISE", RRF_RT_REG_SZ, nullptr, buffer, &size);
    text = buffer;
    return rc == ERROR_SUCCESS;
}

void RunEntryGuard::write(const std::string& text)
{
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, RUN_KEY, "PADWISE", REG_SZ, text.c_str(),
                    static_cast<DWORD>(text.size() + 1));
}

void RunEntryGuard::erase()
{
    RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, RUN_KEY, "PADWISE");
}

BoxAnswerer::BoxAnswerer(std::vector<int> replies) : answers(std::move(replies))
{
    activeAnswerer = this;
    if (!cbtHook)
        cbtHook = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer()
{
    activeAnswerer = nullptr;
    if (cbtHook) {
        UnhookWindowsHookEx(cbtHook);
        cbtHook = nullptr;
    }
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
