#pragma once
// Owners of the handles the installer opens: a device information list and the driver-update
// library, both released through the device layer that gave them, and a registry key.
#include <windows.h>
#include <setupapi.h>

#include "device/device_layer.h"
#include "owned.h"

struct DeviceListTraits {
    using Value = HDEVINFO;
    static HDEVINFO empty() { return INVALID_HANDLE_VALUE; }
    void release(HDEVINFO list) const { layer->destroyDeviceInfoList(list); }
    DeviceLayer* layer = nullptr;
};

struct LibraryTraits {
    using Value = HMODULE;
    static HMODULE empty() { return nullptr; }
    void release(HMODULE library) const { layer->freeLibrary(library); }
    DeviceLayer* layer = nullptr;
};

struct RegKeyTraits {
    using Value = HKEY;
    static HKEY empty() { return nullptr; }
    void release(HKEY key) const { RegCloseKey(key); }
};

using DeviceList = Owned<DeviceListTraits>;
using Library = Owned<LibraryTraits>;
using RegKey = Owned<RegKeyTraits>;
