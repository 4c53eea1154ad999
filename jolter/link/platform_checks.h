#pragma once
// The 32-bit build must lay out the platform structures exactly as the system does.
#include <windows.h>
#include <setupapi.h>

#include "link/direct_input.h"

#ifndef _WIN64
static_assert(sizeof(SP_DEVINFO_DATA) == 28, "SP_DEVINFO_DATA layout");
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A) == 5, "SP_DEVICE_INTERFACE_DETAIL_DATA_A cbSize");
static_assert(sizeof(DIHIDFFINITINFO) == 24, "DIHIDFFINITINFO layout");
#endif
