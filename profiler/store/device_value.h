#pragma once
// One value of the pad's device settings key, as profiles and snapshots see it.
#include <string>

class RegKey;

// What a section records for a device value that is not a short text: another type than REG_SZ, a
// text of more than 4,095 characters, with a line break or a zero inside, or with a character that
// the code page cannot hold (the text is read through the Unicode API). No profile and no
// restore writes over such a value. A text in the key equal to this marker counts as such a value
// too, so the marker in a section always means "left alone", never a text to write.
constexpr const char* SKIPPED_VALUE = "<left alone: not a short text>";

enum class DeviceValueKind { Absent, Text, NotText };

struct DeviceValue {
    DeviceValueKind kind = DeviceValueKind::Absent;
    std::string text;

    // The text a section records: the text, the empty text when absent, else SKIPPED_VALUE.
    std::string recorded() const;
};

// Reads `name` of an open key; absent when the key is not open.
DeviceValue readDeviceValue(const RegKey& key, const std::string& name);
