// The profile catalogue: loading the list, adding to it, removing from it, numbering it. The rows
// come from one read of the whole file when "PROFILES" is in order; otherwise from its entries read
// one key at a time, and only those reads are ever written back.
#include "store/profile_store.h"

#include <windows.h>

#include <algorithm>

#include "store/ini_text.h"
#include "store/settings_image.h"

namespace {
bool isFileSize(const std::string& path, std::size_t size)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeHigh == 0 &&
           data.nFileSizeLow == size;
}
} // namespace

std::vector<ProfileRow> ProfileStore::loadProfiles() const
{
    LoadedList list = readList();
    if (list.entries)
        numberLikeRows(*list.entries, list.rows);
    return list.rows;
}

std::vector<ProfileRow> ProfileStore::listedProfiles() const
{
    return readList().rows;
}

ProfileStore::LoadedList ProfileStore::readList() const
{
    const int count = readInt(ini::PROFILES, ini::COUNT);
    std::string bytes;
    SettingsImage image;
    const bool parsed = read.wholeFile(path, bytes) && image.parse(bytes);
    const int highest = parsed ? highestNumberedKey(image.keys(ini::PROFILES)) : 0;
    // Without all of the file, entries may lie beyond both "COUNT" and the highest one seen.
    if (!parsed || !isFileSize(path, bytes.size()))
        return loadKeyByKey(std::clamp(std::max(count, highest), 0, MAX_LISTED_PROFILES));
    // Entries above the highest one present all read empty.
    if (count != highest || highest > MAX_LISTED_PROFILES)
        return loadKeyByKey(std::min(highest, MAX_LISTED_PROFILES));
    LoadedList list;
    for (int k = 1; k <= count; ++k) {
        std::optional<std::string> location = image.value(ini::PROFILES, numberedKey(k));
        if (!location || location->empty())
            return loadKeyByKey(count);
        list.rows.push_back({*location, image.value(*location, ini::PROFILE_TITLE).value_or("")});
    }
    // The platform must read the file as the image does (its encoding, for one).
    if (count > 0 && profileLocation(count) != list.rows.back().location)
        return loadKeyByKey(count);
    return list;
}

ProfileStore::LoadedList ProfileStore::loadKeyByKey(int length) const
{
    std::vector<std::string> entries;
    for (int k = 1; k <= length; ++k)
        entries.push_back(profileLocation(k));
    // Entries that "COUNT" falls short of, when the file could not be read in one go.
    while (static_cast<int>(entries.size()) < MAX_LISTED_PROFILES) {
        std::string next = profileLocation(static_cast<int>(entries.size()) + 1);
        if (next.empty())
            break;
        entries.push_back(std::move(next));
    }
    LoadedList list;
    for (const std::string& location : entries) {
        if (!location.empty())
            list.rows.push_back({location, readText(location.c_str(), ini::PROFILE_TITLE)});
    }
    list.entries = std::move(entries);
    return list;
}

// Each row moves down to its number 1 … n. An entry is overwritten only after its location went to
// a lower number, and only while it still holds what was read; the first failed write ends it all.
void ProfileStore::numberLikeRows(const std::vector<std::string>& entries,
                                  const std::vector<ProfileRow>& rows) const
{
    const int n = static_cast<int>(rows.size());
    if (static_cast<int>(entries.size()) == n && readInt(ini::PROFILES, ini::COUNT) == n)
        return;
    edit([&](const ProfileStore& draft) {
        for (int k = 1; k <= n; ++k) {
            const std::string& location = rows[k - 1].location;
            if (entries[k - 1] == location)
                continue;
            if (draft.profileLocation(k) != entries[k - 1] ||
                !draft.writeText(ini::PROFILES, numberedKey(k).c_str(), location))
                return false;
        }
        for (int k = n + 1; k <= static_cast<int>(entries.size()); ++k) {
            if (entries[k - 1].empty())
                continue;
            if (draft.profileLocation(k) != entries[k - 1] || !draft.removeKey(ini::PROFILES, numberedKey(k).c_str()))
                return false;
        }
        return draft.writeInt(ini::PROFILES, ini::COUNT, n);
    });
}

bool ProfileStore::appendProfile(const std::string& location, int listedRows) const
{
    const int number = listedRows + 1;
    return edit([&](const ProfileStore& draft) {
        return draft.profileLocation(number).empty() && draft.writeInt(ini::PROFILES, ini::COUNT, number) &&
               draft.writeText(ini::PROFILES, numberedKey(number).c_str(), location);
    });
}

bool ProfileStore::removeProfile(const std::string& location, int row) const
{
    return edit([&](const ProfileStore& draft) {
        LoadedList list = draft.loadKeyByKey(std::max(draft.profileCount(), draft.highestKeyOf(ini::PROFILES)));
        std::vector<ProfileRow>& rows = list.rows;
        auto same = [&](const ProfileRow& r) { return lstrcmpiA(r.location.c_str(), location.c_str()) == 0; };
        auto removed = row >= 0 && row < static_cast<int>(rows.size()) && same(rows[row])
                           ? rows.begin() + row
                           : std::find_if(rows.begin(), rows.end(), same);
        if (removed == rows.end())
            return false; // no longer in the file
        rows.erase(removed);
        if (std::none_of(rows.begin(), rows.end(), same))
            draft.deleteSection(location);
        const std::vector<std::string>& entries = *list.entries;
        for (int k = 1; k <= static_cast<int>(entries.size()); ++k) {
            if (k <= static_cast<int>(rows.size())) {
                if (entries[k - 1] != rows[k - 1].location)
                    draft.writeText(ini::PROFILES, numberedKey(k).c_str(), rows[k - 1].location);
            } else if (!entries[k - 1].empty()) {
                draft.removeKey(ini::PROFILES, numberedKey(k).c_str());
            }
        }
        return draft.writeInt(ini::PROFILES, ini::COUNT, static_cast<int>(rows.size()));
    });
}
