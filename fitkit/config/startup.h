#pragma once
// Start-up: where the setup INI file is looked for, and the INF name and device id from the
// command line or from that file.
#include <string>

// Longest INF name or device id kept; longer ones are refused with the usage message.
const size_t MAX_START_TEXT = 259;

extern const char SETUP_INI[];         // ".\\setup.ini"
extern const char SETUP_INI_SECTION[]; // "DRIVER"
extern const char SETUP_INI_INF[];     // "INFFILE"
extern const char SETUP_INI_DEVICE[];  // "DEVICEID"
extern const char USAGE_TEXT[];

struct StartupParams {
    std::string infName;
    std::string deviceId; // empty: the first id the INF lists
};

// True when argument 1 asks for the setup INI file: ?..., -h..., /H...
bool isIniForm(const char* arg);

// Makes the program's own directory the current one unless ".\\setup.ini" is readable here.
void chooseWorkingDirectory();

// Fills `out` from the arguments (argv[0] is the program) or from the setup INI file.
// False means the usage message is due: no INF name, or a text over MAX_START_TEXT characters.
bool resolveStartup(int argc, char** argv, StartupParams& out);
