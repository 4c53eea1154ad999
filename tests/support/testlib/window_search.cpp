#include "testlib/window_search.h"

#include "testlib/wait.h"

namespace {
struct Search {
    const std::function<bool(HWND)>* match;
    HWND found;
};

BOOL CALLBACK visit(HWND window, LPARAM data)
{
    Search* search = reinterpret_cast<Search*>(data);
    if (!(*search->match)(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

bool dialogOf(HWND window, DWORD pid, Shown shown)
{
    return windowProcess(window) == pid && (shown == Shown::AlsoHidden || IsWindowVisible(window)) &&
           isDialog(window);
}
} // namespace

HWND findWindow(const std::function<bool(HWND)>& match)
{
    Search search = {&match, nullptr};
    EnumWindows(visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitWindow(const std::function<bool(HWND)>& match, unsigned timeoutMs)
{
    HWND found = nullptr;
    waitUntil([&] { return (found = findWindow(match)) != nullptr; }, timeoutMs);
    return found;
}

DWORD windowProcess(HWND window)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

bool isDialog(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return lstrcmpA(name, "#32770") == 0;
}

HWND findDialog(DWORD pid, const std::string& title, Shown shown)
{
    return findWindow([&](HWND w) { return dialogOf(w, pid, shown) && windowText(w) == title; });
}

HWND waitDialog(DWORD pid, const std::string& title, unsigned timeoutMs, Shown shown)
{
    return waitWindow([&](HWND w) { return dialogOf(w, pid, shown) && windowText(w) == title; }, timeoutMs);
}

HWND findDialog(DWORD pid, int controlId)
{
    return findWindow(
        [&](HWND w) { return dialogOf(w, pid, Shown::VisibleOnly) && GetDlgItem(w, controlId); });
}

std::string windowText(HWND window)
{
    char text[2048] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

std::string controlText(HWND dialog, int id)
{
    char text[2048] = {};
    DWORD_PTR copied = 0;
    HWND control = GetDlgItem(dialog, id);
    if (!control || !SendMessageTimeoutA(control, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                                         SMTO_ABORTIFHUNG, 5000, &copied))
        return std::string();
    return text;
}

bool controlEnabled(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    return control && IsWindowEnabled(control);
}

void pressButton(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}
