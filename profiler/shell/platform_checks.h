#pragma once
// The 32-bit build must lay out the platform structures exactly as the system does.
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>

#ifndef _WIN64
static_assert(sizeof(SHELLEXECUTEINFOA) == 60, "SHELLEXECUTEINFOA layout");
static_assert(NOTIFYICONDATAA_V1_SIZE == 88, "first NOTIFYICONDATAA version");
static_assert(sizeof(PROCESSENTRY32) == 296, "PROCESSENTRY32 layout");
#endif
