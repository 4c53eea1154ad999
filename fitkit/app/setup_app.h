#pragma once
// The program: start-up, the usage message or the setup dialog, then the end.
#include <windows.h>

class SetupApp {
public:
    // Returns the process exit code: 0 after the dialog, 1 after the usage message.
    int run(HINSTANCE instance, int argc, char** argv);
};
