#include "store/device_transfer.h"

#include <utility>
#include <vector>

#include "base/owned.h"
#include "store/device_value.h"
#include "store/reg_key.h"

namespace {
constexpr const char* ABSENT = "\n"; // no read of a key gives a line break

bool isDefault(const std::string& section)
{
    return lstrcmpiA(section.c_str(), ini::DEFAULT_SECTION) == 0;
}

bool hasNames(const std::vector<std::string>& names)
{
    for (const std::string& name : names) {
        if (!name.empty())
            return true;
    }
    return false;
}

// Records the values in force into "DEFAULT", marked incomplete until every one reads back.
bool storeSnapshot(const ProfileStore& store, const RegKey& key, const std::vector<std::string>& names)
{
    if (!hasNames(names))
        return true;
    if (!store.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, "0"))
        return false;
    std::vector<std::pair<std::string, std::string>> recorded;
    for (const std::string& name : names) {
        if (name.empty())
            continue;
        recorded.emplace_back(name, readDeviceValue(key, name).recorded());
        if (!store.writeText(ini::DEFAULT_SECTION, name.c_str(), recorded.back().second))
            return false;
    }
    store.flush();
    for (const auto& [name, text] : recorded) {
        if (store.readText(ini::DEFAULT_SECTION, name.c_str(), ABSENT) != text)
            return false;
    }
    if (!store.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, "1"))
        return false;
    store.flush();
    return store.readText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK) == "1";
}

// Records the values in force into a section; into "DEFAULT" as a snapshot.
bool saveValues(const ProfileStore& store, const RegKey& key, const std::vector<std::string>& names,
                const std::string& section)
{
    if (isDefault(section))
        return storeSnapshot(store, key, names);
    for (const std::string& name : names) {
        if (!name.empty())
            store.writeText(section.c_str(), name.c_str(), readDeviceValue(key, name).recorded());
    }
    return true;
}

// "DEFAULT" holds values to put back: a snapshot marked complete, or one written before snapshots
// were marked that has a value for every name.
bool snapshotToRestore(const ProfileStore& store, const std::vector<std::string>& names)
{
    if (!hasNames(names))
        return true;
    const std::string mark = store.readText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, ABSENT);
    if (mark != ABSENT)
        return mark == "1";
    for (const std::string& name : names) {
        if (!name.empty() && store.readText(ini::DEFAULT_SECTION, name.c_str(), ABSENT) == ABSENT)
            return false;
    }
    return true;
}

void writeValues(const ProfileStore& store, RegKey& key, const std::vector<std::string>& names,
                 const std::string& section)
{
    for (const std::string& name : names) {
        if (name.empty() || readDeviceValue(key, name).kind == DeviceValueKind::NotText)
            continue;
        const std::string text = store.readText(section.c_str(), name.c_str());
        if (text != SKIPPED_VALUE)
            key.setText("", name.c_str(), text);
    }
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

bool transferDeviceValues(const ProfileStore& store, const std::string& sourceSection,
                          const std::string& saveSection, DriverSharing sharing)
{
    const std::vector<std::string> names = store.deviceValueNames();
    const bool restore = isDefault(sourceSection);
    {
        RegKey key;
        store.openDeviceKey(key); // an empty "REGPATH" opens nothing
        if (!saveSection.empty() && !saveValues(store, key, names, saveSection))
            return false;
        if (restore && !snapshotToRestore(store, names))
            return false;
        writeValues(store, key, names, sourceSection);
    } // the key is closed before the driver is told
    if (restore)
        releaseSnapshot(store);
    notifyDriver(store, sharing);
    return true;
}

bool applyProfile(const ProfileStore& store, const std::string& section, bool snapshot)
{
    return transferDeviceValues(store, section, snapshot ? ini::DEFAULT_SECTION : "",
                                DriverSharing::Exclusive);
}

void restoreDefaults(const ProfileStore& store)
{
    applyProfile(store, ini::DEFAULT_SECTION, false);
}

void releaseSnapshot(const ProfileStore& store)
{
    if (hasNames(store.deviceValueNames()))
        store.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, "0");
}

void readDeviceValues(const ProfileStore& store, const std::string& targetSection)
{
    RegKey key;
    store.openDeviceKey(key); // an empty "REGPATH" opens nothing
    saveValues(store, key, store.deviceValueNames(), targetSection);
}
