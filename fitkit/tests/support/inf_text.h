#pragma once
// INF files for the tests.
#include <windows.h>

#include <string>

// A pad INF: class FitkitTestPad with a GUID, one manufacturer, one model line with two ids
// ("USB\\VID_1F3A&PID_240B" and the compatible "HID\\VID_1F3A&PID_240B"), and a second
// manufacturer whose models list "USB\\VID_1F3A&PID_9999". Installs onto a device with no files.
std::string padInf(const std::string& padId = "USB\\VID_1F3A&PID_240B");

const GUID PAD_CLASS_GUID = {0x2B7C41E0, 0x5A3D, 0x4E19, {0x8F, 0x62, 0x0D, 0x9B, 0x3C, 0x7A, 0x1E, 0x54}};
const char PAD_ID[] = "USB\\VID_1F3A&PID_240B";
const char PAD_COMPATIBLE_ID[] = "HID\\VID_1F3A&PID_240B";
const char PAD_DESCRIPTION[] = "Fitkit Test Pad";
const char SECOND_ID[] = "USB\\VID_1F3A&PID_9999";
const char SECOND_DESCRIPTION[] = "Fitkit Second Pad";

// The path of `name` in the Windows INF directory.
std::string windowsInfPath(const std::string& name);
// The precompiled file the system keeps beside an installed INF.
std::string pnfPath(const std::string& infPath);
