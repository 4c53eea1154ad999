#pragma once
// The settings file read in one go, for start-up: the private-profile functions open the file for
// every key, which makes a list of thousands of profiles slow to load.
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

// Reads the whole file into bytes; false when it cannot be read or is larger than a settings file
// can sensibly be.
bool readWholeFile(const std::string& path, std::string& bytes);
// Writes bytes as the whole file; false unless every byte was written.
bool writeWholeFile(const std::string& path, const std::string& bytes);
// A section or key name as the reader compares it (letter case ignored).
std::string foldedName(std::string name);

// The highest canonical decimal key name (1, 2, … without sign or leading zero) among `keys`; 0
// when there is none.
int highestNumberedKey(const std::vector<std::string>& keys);

// Sections and keys as the platform's reader gives them: names ignore letter case, blanks around
// names and values are dropped, the first section and the first key of a name count, a value loses
// one pair of surrounding quotes, and a line without "=" has no value.
class SettingsImage {
public:
    // False for text the platform reads differently (a byte order mark, zero bytes).
    bool parse(const std::string& bytes);
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    // The key names of a section, in file order (empty when the section is absent).
    std::vector<std::string> keys(const std::string& section) const;
    // The section names, in file order.
    const std::vector<std::string>& sectionNames() const { return names; }

private:
    struct Section {
        std::vector<std::string> keyNames;
        std::unordered_map<std::string, std::optional<std::string>> values; // by folded key name
    };
    std::unordered_map<std::string, Section> sections; // by folded section name
    std::vector<std::string> names;
};
