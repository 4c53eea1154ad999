#pragma once
// Text rules of the profile editor, aware of the double-byte characters of the ANSI code page.
#include <windows.h>

#include <string>

// Removes space, tab, line feed, vertical tab, form feed and carriage return at both ends.
std::string trimText(const std::string& text, UINT codePage = CP_ACP);

// What a chosen executable path gives the editor: its folder (cut before the last \ or /, the whole
// path when it has neither) and a title (the file name cut before its last dot).
struct ChosenFile {
    std::string startDirectory;
    std::string title;
};
ChosenFile splitChosenFile(const std::string& path, UINT codePage = CP_ACP);

// Whether a location can name a game's program file: it holds a backslash, so it is a path and not
// a bare name, and it is none of the settings file's own sections ("SETTINGS", "PROFILES",
// "DEFAULT", "TMP") in any letter case.
bool isProgramLocation(const std::string& location, UINT codePage = CP_ACP);
