#include "shell/settings_code_page.h"

#include <cstdlib>
#include <vector>

namespace {
constexpr DWORD LARGEST_SETTINGS = 64u << 20; // larger files are not converted (and not written)
const char BACKUP_SUFFIX[] = ".bak";

bool validUtf8(const std::string& bytes)
{
    return bytes.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                                                static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

bool utf16(const std::string& bytes)
{
    return bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                 (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
}

// `bytes` from code page `from` to UTF-8; false when a byte sequence is not text of that page.
bool toUtf8(const std::string& bytes, UINT from, std::string& out)
{
    int size = static_cast<int>(bytes.size());
    int wide = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (wide <= 0)
        return false;
    std::vector<wchar_t> text(wide);
    MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), wide);
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return false;
    out.assign(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &out[0], length, nullptr, nullptr);
    return true;
}

enum class Read { ABSENT, READ, FAILED };

Read readWhole(const std::string& path, std::string& bytes)
{
    OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Read::ABSENT : Read::FAILED;
    }
    DWORD high = 0;
    DWORD size = GetFileSize(file.get(), &high);
    if ((size == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) || high != 0 || size > LARGEST_SETTINGS)
        return Read::FAILED;
    bytes.assign(size, '\0');
    DWORD got = 0;
    if (size && (!ReadFile(file.get(), &bytes[0], size, &got, nullptr) || got != size))
        return Read::FAILED;
    return Read::READ;
}

// Writes the whole of `bytes` to a new file and flushes it to the disk.
bool writeWhole(const std::string& path, const std::string& bytes)
{
    OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    bool ok = file.valid() && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file.get());
    file.reset();
    if (!ok)
        DeleteFileA(path.c_str());
    return ok;
}

std::string folderOf(const std::string& path)
{
    std::string::size_type slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// The converted text replaces the file; the old bytes go to the backup first. On any failure the
// file is as it was and no temporary file is left.
bool replaceWith(const std::string& path, const std::string& old, const std::string& converted)
{
    char temp[MAX_PATH + 16] = {};
    if (!GetTempFileNameA(folderOf(path).c_str(), "pws", 0, temp))
        return false;
    if (!writeWhole(temp, converted))
        return false;
    std::string backup = path + BACKUP_SUFFIX;
    if (!writeWhole(backup, old)) {
        DeleteFileA(temp);
        return false;
    }
    if (!MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temp);
        DeleteFileA(backup.c_str()); // the original still holds these bytes
        return false;
    }
    return true;
}

SettingsCodePage kept(const std::string& path)
{
    SettingsCodePage result;
    result.outcome = SettingsText::KEPT;
    result.writeLock.reset(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    return result;
}
} // namespace

UINT legacyCodePage()
{
    char digits[8] = {};
    if (!GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof(digits)))
        return 0;
    return static_cast<UINT>(std::strtoul(digits, nullptr, 10));
}

SettingsCodePage prepareSettingsText(const std::string& settingsFile, UINT processCodePage, UINT legacy)
{
    if (processCodePage != CP_UTF8)
        return {};
    std::string bytes;
    switch (readWhole(settingsFile, bytes)) {
    case Read::ABSENT:
        return {};
    case Read::FAILED:
        return kept(settingsFile);
    case Read::READ:
        break;
    }
    if (validUtf8(bytes) || utf16(bytes))
        return {};
    std::string converted;
    if (legacy == 0 || legacy == CP_UTF8 || !toUtf8(bytes, legacy, converted) ||
        !replaceWith(settingsFile, bytes, converted))
        return kept(settingsFile);
    SettingsCodePage result;
    result.outcome = SettingsText::CONVERTED;
    return result;
}
