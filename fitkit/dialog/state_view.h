#pragma once
// How the dialog shows each driver state: the status text, the Install button's caption and
// whether Uninstall is offered. One row per state.
#include <windows.h>

#include <string>

#include "device/driver_state.h"

extern const char STATUS_INSTALLED[];
extern const char STATUS_OTHER_DRIVER[];
extern const char STATUS_NOT_INSTALLED[];
extern const char STATUS_NOT_WORKING[]; // a format: the problem code and what it means
extern const char STATUS_RESTART_PENDING[];
extern const char CAPTION_INSTALL[];
extern const char CAPTION_REINSTALL[];

struct StateView {
    DriverState state;
    const char* status;
    const char* installCaption;
    bool uninstallEnabled;
};

const StateView& viewOf(DriverState state);

// What the system's problem code means for the pad and what to do, in a sentence or two.
const char* problemAdvice(ULONG problem);

// The status text of a condition: its state's text, with the problem filled in for NotWorking.
std::string statusText(const DeviceCondition& condition);
