#pragma once
// setup.ini under a UTF-8 process code page (the manifest's activeCodePage, Windows 10 1903 and
// later). fitkit only reads the file, so a file in the system's legacy ANSI code page is not
// changed: it is read through a UTF-8 copy in the temporary folder, deleted when done. A file that
// is UTF-8 (or UTF-16) already, or cannot be converted, is read as it is.
#include <windows.h>

#include <string>

#include "owned.h"

struct TempFileTraits {
    using Value = std::string;
    static std::string empty() { return std::string(); }
    void release(const std::string& path) const { DeleteFileA(path.c_str()); }
};

// The system's legacy ANSI code page (its default locale's), whatever the process code page.
UINT legacyCodePage();

class SetupIniText {
public:
    explicit SetupIniText(const std::string& iniPath, UINT processCodePage = GetACP(),
                          UINT legacy = legacyCodePage());
    // The file to read the keys from: the UTF-8 copy, or the file itself.
    std::string path() const { return copy.valid() ? copy.get() : original; }

private:
    std::string original;
    Owned<TempFileTraits> copy;
};
