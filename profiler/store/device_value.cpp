#include "store/device_value.h"

#include <windows.h>

#include <vector>

#include "store/reg_key.h"

namespace {
constexpr DWORD TEXT_LIMIT = 4095; // what the settings file holds of one value
} // namespace

std::string DeviceValue::recorded() const
{
    switch (kind) {
    case DeviceValueKind::Text:
        return text;
    case DeviceValueKind::Absent:
        return std::string();
    default:
        return SKIPPED_VALUE;
    }
}

DeviceValue readDeviceValue(const RegKey& key, const std::string& name)
{
    if (!key.isOpen())
        return {};
    // Room for one character more than a text may have; the last byte stays a terminator.
    std::vector<char> buffer(TEXT_LIMIT + 2, '\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size() - 1);
    LONG rc = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc == ERROR_FILE_NOT_FOUND)
        return {};
    const DeviceValue notText = {DeviceValueKind::NotText, std::string()};
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return notText;
    std::string text(buffer.data());
    // Only zero bytes may follow the text within the value.
    for (DWORD i = static_cast<DWORD>(text.size()); i < size; ++i) {
        if (buffer[i] != '\0')
            return notText;
    }
    if (text.size() > TEXT_LIMIT || text.find_first_of("\r\n") != std::string::npos || text == SKIPPED_VALUE)
        return notText;
    return {DeviceValueKind::Text, text};
}
