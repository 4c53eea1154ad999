#pragma once
// The settings file beside the program: its sections and keys, the profile list and the profiles.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "store/settings_image.h"

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
constexpr const char* AUTO_APPLY = "AUTOLAUNCH";
constexpr const char* PROMPT = "PROMPT";
constexpr const char* RESTORE = "RESTORE";
constexpr const char* AUTORUN = "AUTORUN";
constexpr const char* COUNT = "COUNT";
constexpr const char* PROFILE_TITLE = "ProfileTitle";
constexpr const char* APP_PARAMS = "AppParams";
constexpr const char* START_DIRECTORY = "AppDirection";
// In "DEFAULT": "1" while its values are a complete snapshot of a profile's game still running,
// "0" once they were put back or the game ended. No device value can bear this name: it is the
// marker the device settings key holds during a game.
constexpr const char* SNAPSHOT_MARK = "PROFILEACTIVE";
// Also in "DEFAULT", from the snapshot: the key it was taken from, and the number of value names it
// took ("PROFILEACTIVE.KEYS.1" … hold them). Names of the marker's own are no device values.
constexpr const char* SNAPSHOT_KEY = "PROFILEACTIVE.REGPATH";
constexpr const char* SNAPSHOT_NAMES = "PROFILEACTIVE.KEYS";
} // namespace ini

// What a row of the profile list shows: the location (the profile's section) and its title.
struct ProfileRow {
    std::string location;
    std::string title;
};

// The most profiles listed: each row has a Launch command of its own.
constexpr int MAX_LISTED_PROFILES = 20000;
// The most device values that make up a profile, whatever "KEYS" says.
constexpr int MAX_DEVICE_VALUES = 256;

// How the store reads and writes the settings file. Tests replace a reader to count reads or to make
// the one-go read fail, and the writer to cut the file as a full disk does.
struct SettingsReaders {
    decltype(&GetPrivateProfileStringA) key = GetPrivateProfileStringA;
    bool (*wholeFile)(const std::string& path, std::string& bytes) = readWholeFile;
    decltype(&WritePrivateProfileStringA) write = WritePrivateProfileStringA;
    decltype(&GetPrivateProfileSectionA) section = GetPrivateProfileSectionA;
};

// One write of a change as the reader is to give it back: a key's text, a key removed (no text) or
// a whole section removed (no key).
struct IniChange {
    std::string section;
    std::optional<std::string> key;
    std::optional<std::string> text;
};

// The settings file beside the program. Nothing is cached: every call reads or writes the file.
class ProfileStore {
public:
    explicit ProfileStore(std::string settingsPath, SettingsReaders readers = SettingsReaders())
        : path(std::move(settingsPath)), read(readers)
    {
    }

    // The names 1 … N of "SETTINGS", N being "KEYS" but no more than the section holds and at most
    // MAX_DEVICE_VALUES. An empty name keeps its place; the transfers skip it.
    std::vector<std::string> deviceValueNames() const;
    std::string deviceKeyPath() const;
    std::string deviceNodePath() const;
    DWORD controlCode() const;
    int profileCount() const;
    std::string profileLocation(int number) const;
    void writeProfileFields(const std::string& location, const std::string& title,
                            const std::string& parameters, const std::string& startDirectory) const;
    void copyDeviceValues(const std::string& source, const std::string& target) const;
    // Removes the profile at `location` from the list as the file holds it now: the entry of row
    // `row` when it still names that location, else the first that does. Every other entry keeps its
    // order and moves down into the gap; the section goes unless another entry still names it. False
    // when the file no longer lists the location or the change could not be saved.
    bool removeProfile(const std::string& location, int row) const;
    void deleteSection(const std::string& section) const;

    // The profile list as start-up shows it: the rows of the entries of "PROFILES" up to "COUNT" or
    // the highest entry present, whichever is higher (at most MAX_LISTED_PROFILES; none is read
    // above the highest entry present). When the numbers of the rows differ from the file (an empty
    // entry, a wrong "COUNT"), the entries are numbered like the rows again, from values read one
    // key at a time; no entry is lost.
    std::vector<ProfileRow> loadProfiles() const;
    // The same rows, and nothing written.
    std::vector<ProfileRow> listedProfiles() const;
    // Registers a new profile as number listedRows + 1 and sets "COUNT" to that; false, writing
    // nothing, when that entry already holds a location.
    bool appendProfile(const std::string& location, int listedRows) const;
    // The row of entry `number` of "PROFILES"; none when the entry is empty.
    std::optional<ProfileRow> profileRow(int number) const;
    // Opens the device settings key ("REGPATH") with openDeviceKey (store/device_key.h).
    LONG openDeviceKey(RegKey& key) const;

    // Plain private-profile access to the settings file. A text is written so that reading it gives
    // it back whole (the platform would drop its surrounding quotes or blanks), up to a line break.
    std::string readText(const char* section, const char* key) const;
    // `fallback` for an absent key.
    std::string readText(const char* section, const char* key, const char* fallback) const;
    int readInt(const char* section, const char* key, int fallback = 0) const;
    bool writeText(const char* section, const char* key, const std::string& text) const;
    bool writeInt(const char* section, const char* key, int value) const;
    bool removeKey(const char* section, const char* key) const;
    // Makes the next reads come from the file, not from the platform's copy of it.
    void flush() const;

    // Every change to the file is all or nothing: `change` writes to a copy beside the file (every
    // read and write of the store it is given goes to the copy), the copy is read back and checked
    // against the file with exactly those writes, and only then takes the file's place. False, with
    // the file as it was, when `change` gives up (false) or the copy could not be made, written,
    // checked or put in place; the last three are told to the save listener. Writes through this
    // store outside a change are each a change of their own.
    bool edit(const std::function<bool(const ProfileStore& draft)>& change) const;
    // The file's bytes; none for an absent file. False when it cannot be read (held by another
    // program without sharing).
    bool readBytes(std::string& bytes) const;
    // Waits up to `patienceMs` for a file that another program holds without sharing; false when it
    // still cannot be read.
    bool waitUntilReadable(DWORD patienceMs) const;
    // Told after every change that had something to save: whether it was saved.
    void setSaveListener(std::function<void(bool saved)> listener) { saveListener = std::move(listener); }
    const std::string& filePath() const { return path; }

private:
    // The rows and, when they were read one key at a time, the entries as read.
    struct LoadedList {
        std::vector<ProfileRow> rows;
        std::optional<std::vector<std::string>> entries;
    };
    LoadedList readList() const;
    LoadedList loadKeyByKey(int length) const;
    void numberLikeRows(const std::vector<std::string>& entries, const std::vector<ProfileRow>& rows) const;
    int highestKeyOf(const char* section) const;

    bool platformWrite(const char* section, const char* key, const char* text) const;
    bool draftMatches(const std::string& before, const std::string& draftPath,
                      const std::vector<IniChange>& changes) const;

    std::string path;
    SettingsReaders read;
    std::function<void(bool saved)> saveListener;
    // Set on the store a change writes through: its writes so far, and whether one failed.
    std::vector<IniChange>* changes = nullptr;
    bool* writeFailed = nullptr;
};
