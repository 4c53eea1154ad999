#pragma once
// The settings file beside the program: its sections and keys, the profile list and the profiles.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

class RegKey;

// Section and key names of the settings file.
namespace ini {
constexpr const char* SETTINGS = "SETTINGS";
constexpr const char* PROFILES = "PROFILES";
constexpr const char* DEFAULT_SECTION = "DEFAULT";
constexpr const char* TMP = "TMP";
constexpr const char* KEYS = "KEYS";
constexpr const char* REGPATH = "REGPATH";
constexpr const char* DEVNODE = "DEVNODE";
constexpr const char* IOCTLCODE = "IOCTLCODE";
constexpr const char* AUTOLAUNCH = "AUTOLAUNCH";
constexpr const char* PROMPT = "PROMPT";
constexpr const char* RESTORE = "RESTORE";
constexpr const char* AUTORUN = "AUTORUN";
constexpr const char* COUNT = "COUNT";
constexpr const char* PROFILE_TITLE = "ProfileTitle";
constexpr const char* APP_PARAMS = "AppParams";
constexpr const char* APP_DIRECTION = "AppDirection";
} // namespace ini

// What a row of the profile list shows: the location (the profile's section) and its title.
struct ProfileRow {
    std::string location;
    std::string title;
};

// The settings file beside the program. Nothing is cached: every call reads or writes the file.
class ProfileStore {
public:
    explicit ProfileStore(std::string settingsPath) : path(std::move(settingsPath)) {}

    std::vector<std::string> deviceValueNames() const;
    std::string deviceKeyPath() const;
    std::string deviceNodePath() const;
    DWORD controlCode() const;
    int profileCount() const;
    std::string profileLocation(int number) const;
    void writeProfileFields(const std::string& location, const std::string& title,
                            const std::string& parameters, const std::string& startDirectory) const;
    void copyDeviceValues(const std::string& source, const std::string& target) const;
    void appendProfile(const std::string& location, int listedRows) const;
    void removeProfile(int row, const std::vector<std::string>& rowLocations) const;
    void deleteSection(const std::string& section) const;

    // The row of entry `number` of "PROFILES"; none when the entry is empty.
    std::optional<ProfileRow> profileRow(int number) const;
    // The rows of entries 1 … count in order; empty entries yield no row. Entries above the highest
    // key present all read empty and are not asked for one by one.
    std::vector<ProfileRow> loadRows(int count) const;
    // The highest number k with a key k in "PROFILES" (0 when none): entries above it read empty.
    int highestProfileNumber() const;
    // Numbers the listed rows 1 … n again after empty entries were skipped: "PROFILES" becomes
    // COUNT = n and the entries 1 … n with the rows' locations, nothing else.
    void renumberProfiles(const std::vector<std::string>& rowLocations) const;
    // Opens the device settings key ("REGPATH" below HKEY_LOCAL_MACHINE) with full access. An empty
    // path is refused: it would open HKEY_LOCAL_MACHINE itself.
    LONG openDeviceKey(RegKey& key) const;

    // Plain private-profile access to the settings file.
    std::string readText(const char* section, const char* key) const;
    int readInt(const char* section, const char* key, int fallback = 0) const;
    void writeText(const char* section, const char* key, const std::string& text) const;
    void writeInt(const char* section, const char* key, int value) const;
    void removeKey(const char* section, const char* key) const;

private:
    std::string path;
};
