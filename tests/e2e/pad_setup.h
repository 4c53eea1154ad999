// Where the virtual pad and its package live, and the calls that put it on the machine.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace pad {

constexpr const char* hardwareId = "Root\\VirtualPad_KPX240";
constexpr const char* description = "KPX240 Virtual Pad";
constexpr const char* productString = "KPX240 Virtual Pad";
constexpr const char* settingsKey = "Software\\PadkitTest\\VirtualPad";
constexpr const char* controlPath = "\\\\.\\VirtualPadControl";

// The driver's INF, built beside the test program.
std::string infPath();

// Puts `count` root devices carrying `id` on the machine, as a bus reports plugged-in devices, and
// (when `inf` is given) installs them from it with the platform's driver update; removeDevices
// takes them off again.
void addDevices(const char* id, size_t count, const std::string& inf = {});

// Waits up to timeoutMs until the pad is (present true) or is not (false) among the HID devices.
bool waitForPad(bool present, unsigned timeoutMs);

// Writes text values into the settings key (created when missing).
void writeSettings(std::initializer_list<std::pair<const char*, const char*>> values);
// Removes every pad device and the settings key entirely (also clean-up after a failed run).
void removeAll();

} // namespace pad
