#include "ui/message_box.h"

std::string programBaseName()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH - 1);
    std::string name = path;
    std::string::size_type slash = name.find_last_of("\\/");
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

UINT messageBoxType(UINT type)
{
    UINT buttons = type & MB_TYPEMASK;
    bool plain =
        buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNO || buttons == MB_YESNOCANCEL;
    if ((type & MB_ICONMASK) == 0 && plain)
        type |= MB_ICONEXCLAMATION;
    return type;
}

int showMessage(HWND owner, const std::string& text, UINT type)
{
    return MessageBoxA(owner, text.c_str(), programBaseName().c_str(), messageBoxType(type));
}
