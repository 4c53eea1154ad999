#include "config/setup_ini_text.h"

#include <cstdlib>
#include <vector>

namespace {
constexpr DWORD LARGEST_INI = 1u << 20;

struct FileTraits {
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    void release(HANDLE file) const { CloseHandle(file); }
};

bool readWhole(const std::string& path, std::string& bytes)
{
    Owned<FileTraits> file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD high = 0;
    DWORD size = file.valid() ? GetFileSize(file.get(), &high) : INVALID_FILE_SIZE;
    if (size == INVALID_FILE_SIZE || high != 0 || size > LARGEST_INI)
        return false;
    bytes.assign(size, '\0');
    DWORD got = 0;
    return size == 0 || (ReadFile(file.get(), &bytes[0], size, &got, nullptr) && got == size);
}

bool needsConversion(const std::string& bytes)
{
    bool utf16 = bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') ||
                                       (bytes[0] == '\xFE' && bytes[1] == '\xFF'));
    return !bytes.empty() && !utf16 &&
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                               nullptr, 0) == 0;
}

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

bool writeWhole(const std::string& path, const std::string& bytes)
{
    Owned<FileTraits> file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_TEMPORARY, nullptr));
    DWORD written = 0;
    return file.valid() &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}
} // namespace

UINT legacyCodePage()
{
    char digits[8] = {};
    if (!GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, digits, sizeof(digits)))
        return 0;
    return static_cast<UINT>(std::strtoul(digits, nullptr, 10));
}

SetupIniText::SetupIniText(const std::string& iniPath, UINT processCodePage, UINT legacy) : original(iniPath)
{
    std::string bytes, converted;
    if (processCodePage != CP_UTF8 || legacy == 0 || legacy == CP_UTF8 || !readWhole(iniPath, bytes) ||
        !needsConversion(bytes) || !toUtf8(bytes, legacy, converted))
        return;
    char folder[MAX_PATH] = {};
    char temp[MAX_PATH] = {};
    DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH || !GetTempFileNameA(folder, "fks", 0, temp))
        return;
    copy.reset(temp); // deleted when done, also when the write fails
    if (!writeWhole(temp, converted))
        copy.reset();
}
