#include "message_boxes.h"

static const int BOX_TEXT_ID = 0xFFFF;
static thread_local BoxAnswerer* activeAnswerer = nullptr;

static std::string windowText(HWND window)
{
    char text[2048] = {};
    SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
    return text;
}

static bool isDialogClass(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return strcmp(name, "#32770") == 0;
}

static BOOL CALLBACK findIcon(HWND child, LPARAM lParam)
{
    char name[64] = {};
    GetClassNameA(child, name, sizeof(name));
    if (_stricmp(name, "Static") == 0 && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(lParam) = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        return FALSE;
    }
    return TRUE;
}

// System icons are per process: a box of another process shows its own handle.
static bool sameIcon(HICON shown, LPCSTR system)
{
    return shown == LoadIconA(nullptr, system);
}

SeenBox readBox(HWND box)
{
    SeenBox seen;
    seen.caption = windowText(box);
    seen.text = windowText(GetDlgItem(box, BOX_TEXT_ID));
    HICON icon = nullptr;
    EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&icon));
    if (!icon)
        seen.icon = "none";
    else if (sameIcon(icon, IDI_EXCLAMATION))
        seen.icon = "exclamation";
    else if (sameIcon(icon, IDI_ASTERISK))
        seen.icon = "information";
    else if (sameIcon(icon, IDI_QUESTION))
        seen.icon = "question";
    else
        seen.icon = "other";
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE))
            seen.buttons.push_back(id);
    }
    return seen;
}

struct WindowSearch {
    DWORD processId;
    int controlId;
    HWND found;
};

static BOOL CALLBACK matchWindow(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window) && isDialogClass(window) &&
        GetDlgItem(window, search->controlId)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND findDialog(DWORD processId, int controlId)
{
    WindowSearch search = {processId, controlId, nullptr};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND findBox(DWORD processId)
{
    return findDialog(processId, BOX_TEXT_ID);
}

void pressButton(HWND window, int id)
{
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

BoxAnswerer::BoxAnswerer() : previous(activeAnswerer)
{
    activeAnswerer = this;
    handle = SetWindowsHookExA(WH_CBT, hook, nullptr, GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer()
{
    UnhookWindowsHookEx(handle);
    activeAnswerer = previous;
}

LRESULT CALLBACK BoxAnswerer::hook(int code, WPARAM wParam, LPARAM lParam)
{
    BoxAnswerer* self = activeAnswerer;
    if (code == HCBT_ACTIVATE && self) {
        HWND window = reinterpret_cast<HWND>(wParam);
        if (isDialogClass(window) && GetDlgItem(window, BOX_TEXT_ID) && window != self->lastBox) {
            self->lastBox = window;
            self->seen.push_back(readBox(window));
            int answer = IDOK;
            if (!self->answers.empty()) {
                answer = self->answers.front();
                self->answers.pop_front();
            }
            pressButton(window, answer);
        }
    }
    return CallNextHookEx(self ? self->handle : nullptr, code, wParam, lParam);
}

std::string ownCaption()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name = path;
    name = name.substr(name.rfind('\\') + 1);
    return name.substr(0, name.rfind('.'));
}
