#pragma once
// The user at the desk: the owner of the shell's process (desktop and taskbar). An elevated program
// may run as another account, when a standard user typed an administrator's password.
#include <windows.h>

#include <string>

// The shell's process (GetShellWindow's owner); 0 when there is no shell.
DWORD shellProcessId();

// "S-1-5-..." of the user the shell runs as; this program's own user where there is no shell or its
// token cannot be read; empty when neither can.
std::string desktopUserSid();

// Whether an account, by SID text or by name, is the user with SID text `sid`.
bool sameUser(const std::string& account, const std::string& sid);
