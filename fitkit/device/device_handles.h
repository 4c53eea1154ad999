#pragma once
// Owners of the handles the installer opens: a device information list, the driver-update
// library and a device's key, released through the device layer that gave them, and a registry
// key of the Win32 layer itself.
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

// A device's hardware or driver key, opened and closed through the device layer.
struct DeviceKeyTraits {
    using Value = HKEY;
    static HKEY empty() { return nullptr; }
    void release(HKEY key) const { layer->closeKey(key); }
    DeviceLayer* layer = nullptr;
};

using DeviceList = Owned<DeviceListTraits>;
using DeviceKey = Owned<DeviceKeyTraits>;
using Library = Owned<LibraryTraits>;
using RegKey = Owned<RegKeyTraits>;
