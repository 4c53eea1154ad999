#pragma once
// The settings file under a UTF-8 process code page (the manifest's activeCodePage, Windows 10 1903
// and later). A file written before in the system's legacy ANSI code page is converted to UTF-8
// once, before anything reads it: the whole converted text goes to a temporary file beside it,
// which then replaces the original; the old bytes stay as "<file>.bak". When the conversion or the
// replace fails the file is left as it was and writes to it are refused for the session (the file
// is held open without write sharing), because the INI functions would write its characters back
// as U+FFFD in UTF-8.
#include <windows.h>

#include <string>

#include "base/owned.h"

enum class SettingsText {
    AS_IT_IS,  // nothing to do: another code page, no file, UTF-8 or UTF-16 already
    CONVERTED, // converted, the old bytes in the .bak file
    KEPT,      // not convertible or not replaceable: untouched, writes refused while held
};

struct SettingsCodePage {
    SettingsText outcome = SettingsText::AS_IT_IS;
    OwnedHandle writeLock; // with KEPT: the file, open for reading only, shared for reading only
};

// The system's legacy ANSI code page (its default locale's), whatever the process code page.
UINT legacyCodePage();

// Converts `settingsFile` from `legacy` to UTF-8 when `processCodePage` is UTF-8 and the file is not.
SettingsCodePage prepareSettingsText(const std::string& settingsFile, UINT processCodePage = GetACP(),
                                     UINT legacy = legacyCodePage());
