#include "dialog/message_box.h"

#include <windows.h>

#include <cstring>

const char* programBaseName()
{
    static char name[MAX_PATH + 1];
    if (name[0] == '\0') {
        char path[MAX_PATH + 1] = {};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        const char* base = strrchr(path, '\\');
        base = base ? base + 1 : path;
        lstrcpynA(name, base, sizeof(name));
        char* dot = strrchr(name, '.');
        if (dot)
            *dot = '\0';
        if (name[0] == '\0')
            lstrcpynA(name, "fitkit", sizeof(name));
    }
    return name;
}

int showBox(HWND owner, const char* text, BoxKind kind)
{
    UINT style = MB_OK | MB_ICONEXCLAMATION;
    if (kind == BoxKind::Information)
        style = MB_OK | MB_ICONINFORMATION;
    else if (kind == BoxKind::Question)
        style = MB_YESNO | MB_ICONQUESTION;
    return MessageBoxA(owner, text, programBaseName(), style);
}
