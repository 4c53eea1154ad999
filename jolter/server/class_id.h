#pragma once
#include <windows.h>

// The class that the driver package registers as the pad's force-feedback driver.
extern const CLSID CLSID_JolterEffectDriver;
