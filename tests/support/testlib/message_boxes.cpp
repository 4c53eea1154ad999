#include "testlib/message_boxes.h"

#include <algorithm>

#include "testlib/temp_dir.h"
#include "testlib/wait.h"
#include "testlib/window_search.h"

namespace {
constexpr int BOX_TEXT_ID = 0xFFFF;
thread_local BoxAnswerer* activeAnswerer = nullptr;

BOOL CALLBACK findIcon(HWND child, LPARAM data)
{
    char name[64] = {};
    GetClassNameA(child, name, sizeof(name));
    if (lstrcmpiA(name, "Static") || (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON)
        return TRUE;
    *reinterpret_cast<HICON*>(data) = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
    return FALSE;
}

std::string iconName(HICON shown)
{
    if (!shown)
        return "none";
    const struct {
        LPCSTR id;
        const char* name;
    } icons[] = {{IDI_EXCLAMATION, "exclamation"},
                 {IDI_ASTERISK, "information"},
                 {IDI_QUESTION, "question"},
                 {IDI_HAND, "error"}};
    for (const auto& icon : icons)
        if (shown == LoadIconA(nullptr, icon.id))
            return icon.name;
    return "other";
}

bool isBox(HWND window)
{
    return isDialog(window) && GetDlgItem(window, BOX_TEXT_ID);
}

bool has(const SeenBox& box, int button)
{
    return std::find(box.buttons.begin(), box.buttons.end(), button) != box.buttons.end();
}
} // namespace

SeenBox readBox(HWND box)
{
    SeenBox seen;
    seen.caption = windowText(box);
    seen.text = controlText(box, BOX_TEXT_ID);
    HICON icon = nullptr;
    EnumChildWindows(box, findIcon, reinterpret_cast<LPARAM>(&icon));
    seen.icon = iconName(icon);
    for (int id : {IDOK, IDCANCEL, IDYES, IDNO}) {
        HWND button = GetDlgItem(box, id);
        if (button && (GetWindowLongA(button, GWL_STYLE) & WS_VISIBLE))
            seen.buttons.push_back(id);
    }
    return seen;
}

HWND findBox(DWORD pid)
{
    return findDialog(pid, BOX_TEXT_ID);
}

void closeBox(HWND box, int answer)
{
    pressButton(box, answer);
    waitUntil([&] { return !IsWindow(box); }, 5000);
}

SeenBox answerBox(DWORD pid, int answer, unsigned timeoutMs)
{
    HWND box = nullptr;
    if (!waitUntil([&] { return (box = findBox(pid)) != nullptr; }, timeoutMs))
        return SeenBox();
    Sleep(50); // let it finish drawing its text
    SeenBox seen = readBox(box);
    closeBox(box, answer);
    return seen;
}

BoxAnswerer::BoxAnswerer(std::initializer_list<int> replies)
    : answers(replies), hook_(SetWindowsHookExA(WH_CBT, hook, nullptr, GetCurrentThreadId())),
      previous_(activeAnswerer)
{
    activeAnswerer = this;
}

BoxAnswerer::~BoxAnswerer()
{
    activeAnswerer = previous_;
}

void BoxAnswerer::activated(HWND window)
{
    if (!isDialog(window))
        return;
    if (!isBox(window)) {
        if (onDialog)
            onDialog(window);
        return;
    }
    if (window == lastBox_)
        return;
    lastBox_ = window;
    seen.push_back(readBox(window));
    int answer = has(seen.back(), IDCANCEL) ? IDCANCEL : has(seen.back(), IDOK) ? IDOK : IDNO;
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    pressButton(window, answer);
}

LRESULT CALLBACK BoxAnswerer::hook(int code, WPARAM wParam, LPARAM lParam)
{
    BoxAnswerer* self = activeAnswerer;
    if (code == HCBT_ACTIVATE && self)
        self->activated(reinterpret_cast<HWND>(wParam));
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string ownCaption()
{
    return programName();
}
