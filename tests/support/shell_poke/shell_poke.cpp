// Drives a running profiler.exe from outside: posts its commands and tray messages, types keys,
// and prints window rectangles, so that scripts can take screenshots and tests can steer it.
//
//   shell_poke wait                  wait until the main window exists
//   shell_poke command NAME          post WM_COMMAND with the id NAME to the main window
//   shell_poke tray MOUSEMSG X Y     put the cursor at X,Y and post the tray callback with MOUSEMSG
//   shell_poke keys TEXT             type TEXT: letters and digits, '>' right, 'v' down, '!' enter,
//                                    '~' escape
//   shell_poke select ROW            select row ROW of the profile list
//   shell_poke rect TITLE            print "x y w h" of the visible top-level window titled TITLE
//   shell_poke menurect              print "x y w h" around every open popup menu
//
// Scripts name commands and mouse messages as profiler_ids.h and the platform do (CMD_ABOUT,
// IDC_CLOSE, WM_RBUTTONUP): the table below maps the names through the headers this program is
// built with, so a script never carries a number that could drift from the program's own.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "profiler_ids.h"

namespace {
const struct {
    const char* name;
    UINT value;
} NAMES[] = {
#define NAMED(id) {#id, id}
    NAMED(IDC_CLOSE),      NAMED(IDC_NEW),          NAMED(IDC_DELETE),        NAMED(IDC_EDIT),
    NAMED(IDC_RUN),        NAMED(CMD_PROFILE_EDIT), NAMED(CMD_EXIT),          NAMED(CMD_AUTO_APPLY),
    NAMED(CMD_RESTORE),    NAMED(CMD_PROMPT),       NAMED(CMD_CONTROL_PANEL), NAMED(CMD_ABOUT),
    NAMED(CMD_AUTO_START), NAMED(WM_LBUTTONUP),     NAMED(WM_RBUTTONUP),      NAMED(WM_LBUTTONDBLCLK),
};
#undef NAMED

// The value of a named id or message; false for a name the table does not hold.
bool lookUp(const char* name, UINT& value)
{
    for (const auto& entry : NAMES) {
        if (!std::strcmp(entry.name, name)) {
            value = entry.value;
            return true;
        }
    }
    std::fprintf(stderr, "unknown name %s\n", name);
    return false;
}

HWND mainWindow()
{
    return FindWindowA("#32770", "Padwise");
}

HWND waitForMain()
{
    for (int i = 0; i < 200; ++i) {
        if (HWND w = mainWindow())
            return w;
        Sleep(50);
    }
    return nullptr;
}

void press(WORD key)
{
    INPUT input[2] = {};
    input[0].type = INPUT_KEYBOARD;
    input[0].ki.wVk = key;
    input[1] = input[0];
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
    Sleep(150);
}

// The key that a character of the keys verb types: the marks below, else the letter or digit.
WORD keyFor(char c)
{
    const struct {
        char mark;
        WORD key;
    } marks[] = {{'>', VK_RIGHT}, {'v', VK_DOWN}, {'!', VK_RETURN}, {'~', VK_ESCAPE}};
    for (const auto& m : marks)
        if (m.mark == c)
            return m.key;
    return static_cast<WORD>(toupper(static_cast<unsigned char>(c)));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    const char* verb = argv[1];
    HWND window = waitForMain();
    if (!window) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    if (!std::strcmp(verb, "wait"))
        return 0;
    UINT named = 0;
    if (!std::strcmp(verb, "command") && argc > 2) {
        if (!lookUp(argv[2], named))
            return 2;
        PostMessageA(window, WM_COMMAND, named, 0);
        return 0;
    }
    if (!std::strcmp(verb, "tray") && argc > 4) {
        if (!lookUp(argv[2], named))
            return 2;
        SetCursorPos(std::atoi(argv[3]), std::atoi(argv[4]));
        PostMessageA(window, WM_TRAYICON, TRAY_ICON_ID, named);
        return 0;
    }
    if (!std::strcmp(verb, "keys") && argc > 2) {
        for (const char* c = argv[2]; *c; ++c)
            press(keyFor(*c));
        return 0;
    }
    if (!std::strcmp(verb, "select") && argc > 2) {
        // LVM_SETITEMSTATE needs its record in the list's process: select by keyboard instead.
        HWND list = GetDlgItem(window, IDC_PROFILE_LIST);
        SetForegroundWindow(window);
        PostMessageA(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
        Sleep(150);
        press(VK_HOME);
        for (int i = 0; i < std::atoi(argv[2]); ++i)
            press(VK_DOWN);
        return 0;
    }
    if (!std::strcmp(verb, "rect") && argc > 2) {
        HWND target = FindWindowA(nullptr, argv[2]);
        RECT r;
        if (!target || !GetWindowRect(target, &r))
            return 1;
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (!std::strcmp(verb, "menurect")) {
        RECT all = {};
        for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
             menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) {
            RECT r;
            if (IsWindowVisible(menu) && GetWindowRect(menu, &r))
                UnionRect(&all, &all, &r);
        }
        if (IsRectEmpty(&all))
            return 1;
        std::printf("%ld %ld %ld %ld\n", all.left, all.top, all.right - all.left, all.bottom - all.top);
        return 0;
    }
    return 2;
}
