// Where the virtual pad and its package live, and the calls that put it on the machine.
#pragma once

#include <windows.h>

#include <string>

namespace pad {

constexpr const char* hardwareId = "Root\\VirtualPad_KPX240";
constexpr const char* description = "KPX240 Virtual Pad";
constexpr const char* productString = "KPX240 Virtual Pad";
constexpr const char* settingsKey = "Software\\PadkitTest\\VirtualPad";
constexpr const char* controlPath = "\\\\.\\VirtualPadControl";

// The driver's INF, built beside the test program.
std::string infPath();

// The platform's driver update for every present device with the pad's hardware id, or with
// `id` from the INF at `inf`.
DWORD updateDriver();
DWORD updateDriver(const char* id, const std::string& inf);

// Waits up to timeoutMs until the pad is (present true) or is not (false) among the HID devices.
bool waitForPad(bool present, unsigned timeoutMs);

// Writes text values into the settings key (created when missing).
void writeSettings(const char* const (*values)[2], size_t count);
// Removes every pad device and the settings key entirely (also clean-up after a failed run).
void removeAll();

} // namespace pad
