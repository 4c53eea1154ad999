#include "store/device_transfer.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "base/owned.h"
#include "store/device_key.h"
#include "store/device_value.h"
#include "store/reg_key.h"
#include "store/settings_image.h"

namespace {
// The names a profile writes: not empty (that would name the key's own value) and none of the
// marker's own, which "DEFAULT" uses for its record.
bool isDeviceName(const std::string& name)
{
    return !name.empty() && CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, name.c_str(),
                                           static_cast<int>(std::min<std::size_t>(name.size(), 13)),
                                           PROFILE_ACTIVE, 13) != CSTR_EQUAL;
}

std::vector<std::string> deviceNames(const ProfileStore& store)
{
    std::vector<std::string> names;
    for (const std::string& name : store.deviceValueNames()) {
        if (isDeviceName(name))
            names.push_back(name);
    }
    return names;
}

// "DEFAULT" as the file holds it now; false when the file cannot be read.
class DefaultSection {
public:
    bool read(const ProfileStore& store)
    {
        from = &store;
        std::string bytes;
        if (!store.readBytes(bytes))
            return false;
        parsed = image.parse(bytes);
        return true;
    }
    std::optional<std::string> text(const std::string& key) const
    {
        if (parsed)
            return image.value(ini::DEFAULT_SECTION, key);
        // Text the image does not read as the platform does (another encoding): the platform's reader.
        std::string value = from->readText(ini::DEFAULT_SECTION, key.c_str(), "\n");
        return value == "\n" ? std::nullopt : std::optional<std::string>(value);
    }
    bool empty() const { return parsed ? image.keys(ini::DEFAULT_SECTION).empty() : !text(ini::SNAPSHOT_MARK); }

private:
    const ProfileStore* from = nullptr;
    SettingsImage image;
    bool parsed = false;
};

std::string snapshotNameKey(std::size_t number)
{
    return std::string(ini::SNAPSHOT_NAMES) + "." + std::to_string(number);
}

// Writes the section's texts into the key; values that are not short texts, and those the section
// records as left alone, stay as they are.
void writeValues(RegKey& key, const std::vector<std::string>& names, const std::vector<std::string>& texts)
{
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (texts[i] == SKIPPED_VALUE || readDeviceValue(key, names[i]).kind == DeviceValueKind::NotText)
            continue;
        key.setText("", names[i].c_str(), texts[i]);
    }
}
} // namespace

bool notifyDriver(const ProfileStore& store, DriverSharing sharing)
{
    const DWORD share = sharing == DriverSharing::Shared ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    // The driver's handle lives for this one request.
    OwnedHandle driver(CreateFileA(store.deviceNodePath().c_str(), GENERIC_READ | GENERIC_WRITE, share,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
    if (!driver.valid())
        return false;
    DWORD returned = 0;
    DeviceIoControl(driver.get(), store.controlCode(), nullptr, 0, nullptr, 0, &returned, nullptr);
    return true;
}

SnapshotState readSnapshot(const ProfileStore& store, Snapshot& snapshot)
{
    snapshot = Snapshot();
    DefaultSection section;
    if (!section.read(store))
        return SnapshotState::Unreadable;
    auto text = [&](const std::string& key) { return section.text(key); };
    const std::optional<std::string> mark = text(ini::SNAPSHOT_MARK);
    std::vector<std::string> names;
    std::string keyPath;
    if (const std::optional<std::string> count = text(ini::SNAPSHOT_NAMES)) {
        const int n = std::atoi(count->c_str());
        for (int k = 1; k <= n && k <= MAX_DEVICE_VALUES; ++k)
            names.push_back(text(snapshotNameKey(k)).value_or(""));
        keyPath = text(ini::SNAPSHOT_KEY).value_or("");
    } else {
        // Written by an earlier version: the names and the key that the settings name.
        names = deviceNames(store);
        keyPath = store.deviceKeyPath();
    }
    std::vector<std::string> texts;
    bool every = true;
    for (const std::string& name : names) {
        const std::optional<std::string> value = text(name);
        every = every && value.has_value();
        texts.push_back(value.value_or(SKIPPED_VALUE)); // a value taken from the record is left alone
    }
    // Unmarked, from an earlier version: complete when it holds every value.
    const bool complete = mark ? *mark == "1" : !names.empty() && every;
    if (!complete)
        return SnapshotState::None;
    snapshot.names = std::move(names);
    snapshot.texts = std::move(texts);
    snapshot.keyPath = std::move(keyPath);
    return SnapshotState::Complete;
}

bool disarmEarlierSnapshot(const ProfileStore& store)
{
    DefaultSection section;
    if (!section.read(store))
        return false;
    if (section.text(ini::SNAPSHOT_MARK) || section.empty())
        return true;
    return store.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, "0");
}

RestoreResult restoreDefaults(const ProfileStore& store, DriverSharing sharing, const std::string& keepIn)
{
    Snapshot snapshot;
    switch (readSnapshot(store, snapshot)) {
    case SnapshotState::Unreadable:
        return RestoreResult::FileUnavailable;
    case SnapshotState::None:
        if (!keepIn.empty())
            readDeviceValues(store, keepIn);
        return RestoreResult::NothingToRestore;
    case SnapshotState::Complete:
        break;
    }
    if (!keepIn.empty())
        readDeviceValues(store, keepIn);
    {
        RegKey key;
        if (!snapshot.keyPath.empty())
            openDeviceKey(key, snapshot.keyPath);
        writeValues(key, snapshot.names, snapshot.texts);
    } // the key is closed before the driver is told
    notifyDriver(store, sharing);
    // Put back once: a restore that cannot say so is made again.
    return releaseSnapshot(store) ? RestoreResult::Restored : RestoreResult::FileUnavailable;
}

bool applyProfile(const ProfileStore& store, const std::string& section, bool snapshot, DriverSharing sharing)
{
    const std::vector<std::string> names = deviceNames(store);
    {
        RegKey key;
        store.openDeviceKey(key); // an empty "REGPATH" opens nothing
        if (snapshot) {
            Snapshot earlier;
            SnapshotState state = readSnapshot(store, earlier);
            if (state == SnapshotState::Complete) {
                // Values from before a game that was never undone: those are the pad's own.
                key.close();
                if (restoreDefaults(store, sharing) != RestoreResult::Restored)
                    return false;
                store.openDeviceKey(key);
            } else if (state == SnapshotState::Unreadable) {
                return false;
            }
            const std::string keyPath = store.deviceKeyPath();
            const bool stored = store.edit([&](const ProfileStore& draft) {
                draft.deleteSection(ini::DEFAULT_SECTION);
                for (std::size_t i = 0; i < names.size(); ++i) {
                    draft.writeText(ini::DEFAULT_SECTION, names[i].c_str(), readDeviceValue(key, names[i]).recorded());
                    draft.writeText(ini::DEFAULT_SECTION, snapshotNameKey(i + 1).c_str(), names[i]);
                }
                draft.writeInt(ini::DEFAULT_SECTION, ini::SNAPSHOT_NAMES, static_cast<int>(names.size()));
                draft.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_KEY, keyPath);
                return draft.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, "1");
            });
            if (!stored)
                return false;
        }
        std::vector<std::string> texts;
        for (const std::string& name : names)
            texts.push_back(store.readText(section.c_str(), name.c_str()));
        writeValues(key, names, texts);
    }
    notifyDriver(store, sharing);
    return true;
}

bool releaseSnapshot(const ProfileStore& store)
{
    DefaultSection section;
    if (!section.read(store))
        return false;
    const std::optional<std::string> mark = section.text(ini::SNAPSHOT_MARK);
    if (mark ? *mark == "0" : section.empty())
        return true;
    return store.writeText(ini::DEFAULT_SECTION, ini::SNAPSHOT_MARK, "0");
}

void readDeviceValues(const ProfileStore& store, const std::string& targetSection)
{
    RegKey key;
    store.openDeviceKey(key); // an empty "REGPATH" opens nothing
    const std::vector<std::string> names = deviceNames(store);
    store.edit([&](const ProfileStore& draft) {
        for (const std::string& name : names)
            draft.writeText(targetSection.c_str(), name.c_str(), readDeviceValue(key, name).recorded());
        return true;
    });
}
