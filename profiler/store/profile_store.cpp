#include "store/profile_store.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "store/reg_key.h"

namespace {
constexpr DWORD VALUE_CAPACITY = 4096; // values of up to 4095 characters

std::string keyName(int number)
{
    return std::to_string(number);
}

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
    char buffer[VALUE_CAPACITY] = {};
    GetPrivateProfileStringA(section, key, "", buffer, VALUE_CAPACITY, path.c_str());
    return buffer;
}

int ProfileStore::readInt(const char* section, const char* key, int fallback) const
{
    return static_cast<int>(GetPrivateProfileIntA(section, key, fallback, path.c_str()));
}

void ProfileStore::writeText(const char* section, const char* key, const std::string& text) const
{
    WritePrivateProfileStringA(section, key, text.c_str(), path.c_str());
}

void ProfileStore::writeInt(const char* section, const char* key, int value) const
{
    writeText(section, key, std::to_string(value));
}

void ProfileStore::removeKey(const char* section, const char* key) const
{
    WritePrivateProfileStringA(section, key, nullptr, path.c_str());
}

std::vector<std::string> ProfileStore::deviceValueNames() const
{
    int count = readInt(ini::SETTINGS, ini::KEYS);
    std::vector<std::string> names;
    for (int k = 1; k <= count; ++k)
        names.push_back(readText(ini::SETTINGS, keyName(k).c_str()));
    return names;
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
    return GetPrivateProfileIntA(ini::SETTINGS, ini::IOCTLCODE, 0, path.c_str());
}

int ProfileStore::profileCount() const
{
    return readInt(ini::PROFILES, ini::COUNT);
}

std::string ProfileStore::profileLocation(int number) const
{
    return readText(ini::PROFILES, keyName(number).c_str());
}

void ProfileStore::writeProfileFields(const std::string& location, const std::string& title,
                                      const std::string& parameters, const std::string& startDirectory) const
{
    writeOrRemove(*this, location, ini::APP_DIRECTION, startDirectory);
    writeOrRemove(*this, location, ini::APP_PARAMS, parameters);
    writeText(location.c_str(), ini::PROFILE_TITLE, title);
}

void ProfileStore::copyDeviceValues(const std::string& source, const std::string& target) const
{
    int count = readInt(ini::SETTINGS, ini::KEYS);
    for (int k = 1; k <= count; ++k) {
        std::string name = readText(ini::SETTINGS, keyName(k).c_str());
        writeText(target.c_str(), name.c_str(), readText(source.c_str(), name.c_str()));
    }
}

void ProfileStore::appendProfile(const std::string& location, int listedRows) const
{
    writeInt(ini::PROFILES, ini::COUNT, listedRows + 1);
    writeText(ini::PROFILES, keyName(listedRows + 1).c_str(), location);
}

void ProfileStore::removeProfile(int row, const std::vector<std::string>& rowLocations) const
{
    int rows = static_cast<int>(rowLocations.size());
    if (row < 0 || row >= rows)
        return;
    deleteSection(rowLocations[row]);
    for (int j = row + 1; j < rows; ++j)
        writeText(ini::PROFILES, keyName(j).c_str(), rowLocations[j]);
    removeKey(ini::PROFILES, keyName(rows).c_str());
    writeInt(ini::PROFILES, ini::COUNT, rows - 1);
}

void ProfileStore::deleteSection(const std::string& section) const
{
    WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, path.c_str());
}

std::optional<ProfileRow> ProfileStore::profileRow(int number) const
{
    std::string location = profileLocation(number);
    if (location.empty())
        return std::nullopt;
    std::string title = readText(location.c_str(), ini::PROFILE_TITLE);
    return ProfileRow{std::move(location), std::move(title)};
}

std::vector<ProfileRow> ProfileStore::loadRows(int count) const
{
    std::vector<ProfileRow> rows;
    int entries = std::min(count, highestProfileNumber());
    for (int k = 1; k <= entries; ++k) {
        if (std::optional<ProfileRow> row = profileRow(k))
            rows.push_back(std::move(*row));
    }
    return rows;
}

int ProfileStore::highestProfileNumber() const
{
    std::vector<char> buffer(32768);
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileSectionA(ini::PROFILES, buffer.data(), static_cast<DWORD>(buffer.size()),
                                           path.c_str());
        if (length + 2 < buffer.size() || buffer.size() >= (1u << 26))
            break;
        buffer.resize(buffer.size() * 2);
    }
    int highest = 0;
    for (const char* line = buffer.data(); *line && line < buffer.data() + length;
         line += std::strlen(line) + 1) {
        const char* digits = line;
        while (*digits == ' ' || *digits == '\t')
            ++digits;
        if (*digits < '0' || *digits > '9')
            continue;
        char* end = nullptr;
        long long number = std::strtoll(digits, &end, 10);
        while (*end == ' ' || *end == '\t')
            ++end;
        if (*end == '=' && number > highest)
            highest = number > INT_MAX ? INT_MAX : static_cast<int>(number);
    }
    return highest;
}

void ProfileStore::renumberProfiles(const std::vector<std::string>& rowLocations) const
{
    // One write of the whole section: an absurd old COUNT costs nothing.
    std::string section = std::string(ini::COUNT) + "=" + std::to_string(rowLocations.size()) + '\0';
    for (std::size_t k = 0; k < rowLocations.size(); ++k)
        section += keyName(static_cast<int>(k + 1)) + "=" + rowLocations[k] + '\0';
    section += '\0';
    WritePrivateProfileSectionA(ini::PROFILES, section.c_str(), path.c_str());
}

LONG ProfileStore::openDeviceKey(RegKey& key) const
{
    std::string keyPath = deviceKeyPath();
    if (keyPath.empty())
        return ERROR_FILE_NOT_FOUND;
    return key.open(HKEY_LOCAL_MACHINE, keyPath.c_str(), KEY_ALL_ACCESS);
}
