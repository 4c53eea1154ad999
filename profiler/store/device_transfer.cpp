#include "store/device_transfer.h"

#include <vector>

#include "base/owned.h"
#include "store/reg_key.h"

namespace {
// A device value is read into 260 bytes of which 259 are offered; the value is expected to be a
// REG_SZ text of at most 258 characters.
constexpr DWORD DEVICE_VALUE_LIMIT = 259;
// The longest text a settings-file value holds; a longer device value is not recorded.
constexpr DWORD SETTINGS_VALUE_LIMIT = 4095;

// The text recorded in a snapshot for one device value. A longer text than the usual limit is kept
// whole so that a restore puts it back unchanged; a value that is absent, not a text or beyond
// what the settings file holds is recorded as the empty text.
std::string readDeviceValue(const RegKey& key, const std::string& name)
{
    if (!key.isOpen())
        return std::string();
    std::vector<char> buffer(DEVICE_VALUE_LIMIT + 1, '\0');
    DWORD type = REG_NONE;
    DWORD size = DEVICE_VALUE_LIMIT;
    LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc == ERROR_MORE_DATA && size <= SETTINGS_VALUE_LIMIT + 1) {
        buffer.assign(size + 1, '\0');
        rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                              &size);
    }
    if (rc != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    buffer[size < buffer.size() ? size : buffer.size() - 1] = '\0';
    return buffer.data();
}

} // namespace

bool notifyDriver(const ProfileStore& store, DriverSharing sharing)
{
    const DWORD share = sharing == DriverSharing::Shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    // The driver's handle lives for this one request.
    OwnedHandle driver(CreateFileA(store.deviceNodePath().c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    if (!driver)
        return false;
    DWORD returned = 0;
    DeviceIoControl(driver.get(), store.controlCode(), nullptr, 0, nullptr, 0, &returned, nullptr);
    return true;
}

void transferDeviceValues(const ProfileStore& store, const std::string& sourceSection,
                          const std::string& saveSection, DriverSharing sharing)
{
    {
        std::vector<std::string> names = store.deviceValueNames();
        RegKey key;
        store.openDeviceKey(key); // an empty "REGPATH" opens nothing
        for (const std::string& name : names) {
            if (!saveSection.empty())
                store.writeText(saveSection.c_str(), name.c_str(), readDeviceValue(key, name));
            key.setText("", name.c_str(), store.readText(sourceSection.c_str(), name.c_str()));
        }
    } // the key is closed before the driver is told
    notifyDriver(store, sharing);
}

void applyProfile(const ProfileStore& store, const std::string& section, bool snapshot)
{
    transferDeviceValues(store, section, snapshot ? ini::DEFAULT_SECTION : "", DriverSharing::Exclusive);
}

void restoreDefaults(const ProfileStore& store)
{
    applyProfile(store, ini::DEFAULT_SECTION, false);
}

void readDeviceValues(const ProfileStore& store, const std::string& targetSection)
{
    std::vector<std::string> names = store.deviceValueNames();
    RegKey key;
    store.openDeviceKey(key); // an empty "REGPATH" opens nothing
    for (const std::string& name : names)
        store.writeText(targetSection.c_str(), name.c_str(), readDeviceValue(key, name));
}
