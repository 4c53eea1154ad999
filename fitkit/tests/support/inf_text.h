#pragma once
// INF files for the tests.
#include <string>

// A pad INF: class FitkitTestPad with a GUID, one manufacturer, one model line with two ids
// ("USB\\VID_1F3A&PID_240B" and the compatible "HID\\VID_1F3A&PID_240B"), and a second
// manufacturer whose models list "USB\\VID_1F3A&PID_9999". Installs onto a device with no files.
std::string padInf(const std::string& padId = "USB\\VID_1F3A&PID_240B");

const char PAD_ID[] = "USB\\VID_1F3A&PID_240B";
const char PAD_COMPATIBLE_ID[] = "HID\\VID_1F3A&PID_240B";
const char PAD_DESCRIPTION[] = "Fitkit Test Pad";
const char SECOND_ID[] = "USB\\VID_1F3A&PID_9999";
const char SECOND_DESCRIPTION[] = "Fitkit Second Pad";

// The path of `name` in the Windows INF directory.
std::string windowsInfPath(const std::string& name);
// The precompiled file the system keeps beside an installed INF.
std::string pnfPath(const std::string& infPath);
