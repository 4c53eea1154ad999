#include "store/settings_image.h"

#include <windows.h>

#include <algorithm>

#include "base/owned.h"
#include "store/ini_text.h"

namespace {
constexpr LONGLONG LARGEST_FILE = 64LL << 20;

std::string trimmed(const std::string& text, std::size_t begin, std::size_t end)
{
    while (begin < end && isIniBlank(text[begin]))
        ++begin;
    while (end > begin && isIniBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

} // namespace

std::string foldedName(std::string text)
{
    if (!text.empty())
        CharLowerBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

bool writeWholeFile(const std::string& path, const std::string& bytes)
{
    OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    DWORD done = 0;
    return file.valid() &&
           (bytes.empty() ||
            (WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr) &&
             done == bytes.size()));
}

bool readWholeFile(const std::string& path, std::string& bytes)
{
    bytes.clear();
    OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size = {};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart > LARGEST_FILE)
        return false;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    DWORD done = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &done, nullptr) ||
         done != bytes.size())) {
        bytes.clear();
        return false;
    }
    return true;
}

int highestNumberedKey(const std::vector<std::string>& keys)
{
    int highest = 0;
    for (const std::string& key : keys) {
        if (key.empty() || key.size() > 9 || key[0] == '0' ||
            key.find_first_not_of("0123456789") != std::string::npos)
            continue;
        highest = std::max(highest, std::stoi(key));
    }
    return highest;
}

bool SettingsImage::parse(const std::string& bytes)
{
    sections.clear();
    names.clear();
    if (bytes.find('\0') != std::string::npos || bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        return false; // UTF-16 or UTF-8: the platform converts it
    Section* current = nullptr;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos)
            end = bytes.size();
        const std::string line = trimmed(bytes, start, end);
        start = end + 1;
        std::size_t close = line.rfind(']');
        if (!line.empty() && line[0] == '[' && close != std::string::npos) {
            const std::string name = trimmed(line, 1, close);
            auto added = sections.emplace(foldedName(name), Section());
            if (added.second)
                names.push_back(name);
            current = added.second ? &added.first->second : nullptr; // a repeated section is not read
            continue;
        }
        if (!current || line.empty())
            continue;
        std::size_t equals = line.find('=');
        std::string key = trimmed(line, 0, equals == std::string::npos ? line.size() : equals);
        std::optional<std::string> value;
        if (equals != std::string::npos)
            value = valueAsRead(line.substr(equals + 1));
        if (current->values.emplace(foldedName(key), std::move(value)).second)
            current->keyNames.push_back(key);
    }
    return true;
}

std::optional<std::string> SettingsImage::value(const std::string& section, const std::string& key) const
{
    auto found = sections.find(foldedName(section));
    if (found == sections.end())
        return std::nullopt;
    auto entry = found->second.values.find(foldedName(key));
    return entry == found->second.values.end() ? std::nullopt : entry->second;
}

std::vector<std::string> SettingsImage::keys(const std::string& section) const
{
    auto found = sections.find(foldedName(section));
    return found == sections.end() ? std::vector<std::string>() : found->second.keyNames;
}
