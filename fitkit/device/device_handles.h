#pragma once
// Owners of the handles the installer opens: a device information list, a registry key and the
// driver-update library.
#include <windows.h>

#include "device_layer.h"

class DeviceList {
public:
    DeviceList() = default;
    DeviceList(DeviceLayer* layer, HDEVINFO handle) : layer(layer), handle(handle) {}
    ~DeviceList() { reset(); }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    DeviceList(DeviceList&& other) noexcept : layer(other.layer), handle(other.release()) {}
    DeviceList& operator=(DeviceList&& other) noexcept
    {
        if (this != &other) {
            reset();
            layer = other.layer;
            handle = other.release();
        }
        return *this;
    }

    HDEVINFO get() const { return handle; }
    bool isOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HDEVINFO release()
    {
        HDEVINFO h = handle;
        handle = INVALID_HANDLE_VALUE;
        return h;
    }
    void reset()
    {
        if (isOpen())
            layer->destroyDeviceInfoList(handle);
        handle = INVALID_HANDLE_VALUE;
    }

private:
    DeviceLayer* layer = nullptr;
    HDEVINFO handle = INVALID_HANDLE_VALUE;
};

class RegKey {
public:
    explicit RegKey(HKEY key = nullptr) : key(key == INVALID_HANDLE_VALUE ? nullptr : key) {}
    ~RegKey()
    {
        if (key)
            RegCloseKey(key);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY get() const { return key; }
    bool isOpen() const { return key != nullptr; }

private:
    HKEY key;
};

class Library {
public:
    Library(DeviceLayer& layer, HMODULE module) : layer(layer), module(module) {}
    ~Library()
    {
        if (module)
            layer.freeLibrary(module);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    HMODULE get() const { return module; }

private:
    DeviceLayer& layer;
    HMODULE module;
};
