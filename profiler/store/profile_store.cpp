#include "store/profile_store.h"

#include <algorithm>
#include <vector>

#include "store/device_key.h"
#include "store/ini_text.h"
#include "store/reg_key.h"

namespace {
// Two more than a text: the platform drops the closing quote of a value that just fills the buffer,
// and with it a character of the text.
constexpr DWORD READ_CAPACITY = INI_TEXT_LIMIT + 3;
constexpr const char* ABSENT_KEY = "\n"; // no read of a key gives a line break

// Parameters and start directory: an empty text removes the key instead of writing it empty.
void writeOrRemove(const ProfileStore& store, const std::string& section, const char* key,
                   const std::string& text)
{
    if (text.empty())
        store.removeKey(section.c_str(), key);
    else
        store.writeText(section.c_str(), key, text);
}
} // namespace

std::string ProfileStore::readText(const char* section, const char* key) const
{
    return readText(section, key, "");
}

std::string ProfileStore::readText(const char* section, const char* key, const char* fallback) const
{
    char buffer[READ_CAPACITY] = {};
    read.key(section, key, fallback, buffer, READ_CAPACITY, path.c_str());
    return std::string(buffer).substr(0, INI_TEXT_LIMIT);
}

int ProfileStore::readInt(const char* section, const char* key, int fallback) const
{
    const std::string text = readText(section, key, ABSENT_KEY);
    if (text == ABSENT_KEY || text.empty())
        return fallback;
    return static_cast<int>(iniNumber(text));
}

bool ProfileStore::writeText(const char* section, const char* key, const std::string& text) const
{
    return platformWrite(section, key, valueToWrite(text).c_str());
}

bool ProfileStore::writeInt(const char* section, const char* key, int value) const
{
    return writeText(section, key, std::to_string(value));
}

bool ProfileStore::removeKey(const char* section, const char* key) const
{
    return platformWrite(section, key, nullptr);
}

void ProfileStore::flush() const
{
    read.write(nullptr, nullptr, nullptr, path.c_str());
}

std::vector<std::string> ProfileStore::deviceValueNames() const
{
    int count = std::clamp(readInt(ini::SETTINGS, ini::KEYS), 0, MAX_DEVICE_VALUES);
    const int highest = highestKeyOf(ini::SETTINGS);
    if (highest >= 0)
        count = std::min(count, highest);
    std::vector<std::string> names;
    for (int k = 1; k <= count; ++k)
        names.push_back(readText(ini::SETTINGS, numberedKey(k).c_str()));
    return names;
}

// The highest numbered key of a section as the platform lists it, 0 when it has none; -1 when the
// section reads as nothing (absent, or the read failed).
int ProfileStore::highestKeyOf(const char* section) const
{
    std::vector<char> buffer(32768);
    DWORD length = 0;
    for (;;) {
        length = read.section(section, buffer.data(), static_cast<DWORD>(buffer.size()), path.c_str());
        if (length + 2 < buffer.size() || buffer.size() >= (1u << 24))
            break;
        buffer.resize(buffer.size() * 2);
    }
    if (length == 0)
        return -1;
    std::vector<std::string> keys;
    for (const char* line = buffer.data(); line < buffer.data() + length && *line;
         line += lstrlenA(line) + 1) {
        std::string text = line;
        keys.push_back(valueAsRead(text.substr(0, text.find('='))));
    }
    return highestNumberedKey(keys);
}

std::string ProfileStore::deviceKeyPath() const
{
    return readText(ini::SETTINGS, ini::REGPATH);
}

std::string ProfileStore::deviceNodePath() const
{
    return readText(ini::SETTINGS, ini::DEVNODE);
}

DWORD ProfileStore::controlCode() const
{
    return static_cast<DWORD>(readInt(ini::SETTINGS, ini::IOCTLCODE));
}

int ProfileStore::profileCount() const
{
    return readInt(ini::PROFILES, ini::COUNT);
}

std::string ProfileStore::profileLocation(int number) const
{
    return readText(ini::PROFILES, numberedKey(number).c_str());
}

void ProfileStore::writeProfileFields(const std::string& location, const std::string& title,
                                      const std::string& parameters, const std::string& startDirectory) const
{
    edit([&](const ProfileStore& draft) {
        writeOrRemove(draft, location, ini::START_DIRECTORY, startDirectory);
        writeOrRemove(draft, location, ini::APP_PARAMS, parameters);
        return draft.writeText(location.c_str(), ini::PROFILE_TITLE, title);
    });
}

void ProfileStore::copyDeviceValues(const std::string& source, const std::string& target) const
{
    edit([&](const ProfileStore& draft) {
        for (const std::string& name : draft.deviceValueNames()) {
            if (!name.empty()) // an empty key name would name no value
                draft.writeText(target.c_str(), name.c_str(), draft.readText(source.c_str(), name.c_str()));
        }
        return true;
    });
}

void ProfileStore::deleteSection(const std::string& section) const
{
    platformWrite(section.c_str(), nullptr, nullptr);
}

std::optional<ProfileRow> ProfileStore::profileRow(int number) const
{
    std::string location = profileLocation(number);
    if (location.empty())
        return std::nullopt;
    std::string title = readText(location.c_str(), ini::PROFILE_TITLE);
    return ProfileRow{std::move(location), std::move(title)};
}

LONG ProfileStore::openDeviceKey(RegKey& key) const
{
    return ::openDeviceKey(key, deviceKeyPath());
}
