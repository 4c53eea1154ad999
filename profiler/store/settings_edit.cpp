// Changes to the settings file, made whole or not at all: on a copy beside the file, read back and
// compared with the file plus the change, then moved into the file's place. A full disk, which the
// platform's writer may meet by cutting the file without an error, so only ever cuts the copy.
#include "store/profile_store.h"

#include <windows.h>

#include <map>
#include <utility>

#include "store/settings_image.h"

namespace {
constexpr const char* DRAFT_SUFFIX = ".new";
constexpr int ATTEMPTS = 3; // the file changed under a change: it is made again on the new file

using Entries = std::map<std::pair<std::string, std::string>, std::optional<std::string>>;

// Every key of an image by folded section and key name.
Entries entriesOf(const SettingsImage& image)
{
    Entries entries;
    for (const std::string& section : image.sectionNames()) {
        for (const std::string& key : image.keys(section))
            entries[{foldedName(section), foldedName(key)}] = image.value(section, key);
    }
    return entries;
}

bool isAbsent(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}
} // namespace

bool ProfileStore::readBytes(std::string& bytes) const
{
    bytes.clear();
    // The platform's read, never the loading seam: a change must start from the bytes on disk.
    return isAbsent(path) || readWholeFile(path, bytes);
}

bool ProfileStore::platformWrite(const char* section, const char* key, const char* text) const
{
    if (!changes) {
        const std::string sectionName = section ? section : "";
        const std::string keyName = key ? key : "";
        const std::string value = text ? text : "";
        return edit([&](const ProfileStore& draft) {
            return draft.platformWrite(section ? sectionName.c_str() : nullptr, key ? keyName.c_str() : nullptr,
                                       text ? value.c_str() : nullptr);
        });
    }
    if (!section)
        return true;
    IniChange change{section, std::nullopt, std::nullopt};
    if (key)
        change.key = key;
    if (key && text) {
        SettingsImage written;
        written.parse(std::string("[s]\nk=") + text);
        change.text = written.value("s", "k");
    }
    changes->push_back(std::move(change));
    if (read.write(section, key, text, path.c_str()))
        return true;
    *writeFailed = true;
    return false;
}

bool ProfileStore::waitUntilReadable(DWORD patienceMs) const
{
    const DWORD start = GetTickCount();
    std::string bytes;
    while (!readBytes(bytes)) {
        if (GetTickCount() - start >= patienceMs)
            return false;
        Sleep(50);
    }
    return true;
}

// The copy holds the file's keys with the change's writes made, and nothing else.
bool ProfileStore::draftMatches(const std::string& before, const std::string& draftPath,
                                const std::vector<IniChange>& made) const
{
    SettingsImage original, draft;
    std::string draftBytes;
    if (!original.parse(before) || !read.wholeFile(draftPath, draftBytes) || !draft.parse(draftBytes)) {
        // A file the image cannot read (another encoding): each write must at least read back.
        ProfileStore copy(draftPath, read);
        for (const IniChange& change : made) {
            if (change.key && copy.readText(change.section.c_str(), change.key->c_str(), "\n") !=
                                  change.text.value_or("\n"))
                return false;
        }
        return true;
    }
    Entries expected = entriesOf(original);
    for (const IniChange& change : made) {
        const std::string section = foldedName(change.section);
        if (!change.key) {
            auto first = expected.lower_bound({section, std::string()});
            while (first != expected.end() && first->first.first == section)
                first = expected.erase(first);
        } else if (!change.text) {
            expected.erase({section, foldedName(*change.key)});
        } else {
            expected[{section, foldedName(*change.key)}] = change.text;
        }
    }
    return entriesOf(draft) == expected;
}

bool ProfileStore::edit(const std::function<bool(const ProfileStore& draft)>& change) const
{
    if (changes)
        return change(*this);
    const std::string draftPath = path + DRAFT_SUFFIX;
    bool saved = false, gaveUp = false, tried = false;
    for (int attempt = 0; attempt < ATTEMPTS && !saved && !gaveUp; ++attempt) {
        std::string before;
        if (!readBytes(before) || !writeWholeFile(draftPath, before))
            break;
        std::vector<IniChange> made;
        bool failed = false;
        ProfileStore draft(draftPath, read);
        draft.changes = &made;
        draft.writeFailed = &failed;
        gaveUp = !change(draft) && !failed;
        draft.flush(); // the platform lets go of its copy of the draft
        tried = !made.empty();
        if (gaveUp || failed || !draftMatches(before, draftPath, made))
            break;
        std::string now;
        if (!readBytes(now) || now != before)
            continue; // changed by another program meanwhile
        saved = made.empty() ||
                MoveFileExA(draftPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        if (!saved)
            break;
    }
    DeleteFileA(draftPath.c_str());
    flush();
    if (!gaveUp && (tried || !saved) && saveListener)
        saveListener(saved);
    return saved;
}
