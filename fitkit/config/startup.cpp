#include "config/startup.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "config/setup_ini_text.h"
#include "owned.h"

struct FileTraits {
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    void release(HANDLE file) const { CloseHandle(file); }
};

const char SETUP_INI[] = ".\\setup.ini";
const char SETUP_INI_SECTION[] = "DRIVER";
const char SETUP_INI_INF[] = "INFFILE";
const char SETUP_INI_DEVICE[] = "DEVICEID";
const char USAGE_TEXT[] = "Usage : Setup infname [devid]\n or SETUP.INI";

bool isIniForm(const char* arg)
{
    if (arg[0] == '?')
        return true;
    return (arg[0] == '-' || arg[0] == '/') && (arg[1] == 'h' || arg[1] == 'H');
}

static bool setupIniReadable()
{
    Owned<FileTraits> file(CreateFileA(SETUP_INI, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

void chooseWorkingDirectory()
{
    if (setupIniReadable())
        return;
    char path[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return; // no trustworthy path: stay where we are
    char* slash = strrchr(path, '\\');
    if (!slash)
        return;
    *slash = '\0';
    SetCurrentDirectoryA(path); // a failure leaves the directory as it was
}

// Reads one key of the setup INI file; false when the value is longer than MAX_START_TEXT.
static bool readIniText(const char* iniPath, const char* key, std::string& out)
{
    std::vector<char> buffer(4 * (MAX_START_TEXT + 1));
    DWORD length = GetPrivateProfileStringA(SETUP_INI_SECTION, key, "", buffer.data(),
                                            static_cast<DWORD>(buffer.size()), iniPath);
    if (length > MAX_START_TEXT)
        return false;
    out.assign(buffer.data(), length);
    return true;
}

bool resolveStartup(int argc, char** argv, StartupParams& out)
{
    out = StartupParams();
    if (argc >= 2 && !isIniForm(argv[1])) {
        if (strlen(argv[1]) > MAX_START_TEXT || (argc >= 3 && strlen(argv[2]) > MAX_START_TEXT))
            return false;
        out.infName = argv[1];
        if (argc >= 3)
            out.deviceId = argv[2];
        return true;
    }

    // The INI functions take a name without a path from the Windows directory: pass a full path.
    char iniPath[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(SETUP_INI, MAX_PATH, iniPath, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return false;
    SetupIniText text(iniPath);
    if (!readIniText(text.path().c_str(), SETUP_INI_INF, out.infName))
        return false;
    if (!out.infName.empty() && !readIniText(text.path().c_str(), SETUP_INI_DEVICE, out.deviceId))
        return false;
    return !out.infName.empty();
}
