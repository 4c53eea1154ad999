#include "store/device_value.h"

#include <windows.h>

#include <vector>

#include "store/ini_text.h"
#include "store/reg_key.h"

namespace {
constexpr DWORD TEXT_LIMIT = INI_TEXT_LIMIT; // what the settings file holds of one value
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

namespace {
std::wstring wide(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &result[0], length);
    result.resize(result.size() - 1);
    return result;
}

// The text in the code page, when it holds every character; false when one would be lost.
bool narrow(const std::wstring& text, std::string& result)
{
    result.clear();
    if (text.empty())
        return true;
    const int count = static_cast<int>(text.size());
    const bool utf8 = GetACP() == CP_UTF8; // knows no lost characters, and refuses the flags below
    BOOL lost = FALSE;
    int length = WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), count, nullptr, 0,
                                     nullptr, utf8 ? nullptr : &lost);
    if (length <= 0 || lost)
        return false;
    result.resize(length);
    WideCharToMultiByte(CP_ACP, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.c_str(), count, &result[0], length,
                        nullptr, utf8 ? nullptr : &lost);
    return !lost && wide(result) == text;
}
} // namespace

// Read through the Unicode API: a text that the code page cannot hold would come back from the ANSI
// one with "?" in place of its characters, and a restore would then write that.
DeviceValue readDeviceValue(const RegKey& key, const std::string& name)
{
    if (!key.valid())
        return {};
    const std::wstring wideName = wide(name);
    // Room for one character more than a text may hold in any code page.
    std::vector<wchar_t> buffer((TEXT_LIMIT + 2) * 2, L'\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    LONG rc = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type,
                               reinterpret_cast<BYTE*>(buffer.data()), &size);
    if (rc == ERROR_FILE_NOT_FOUND)
        return {};
    const DeviceValue notText = {DeviceValueKind::NotText, std::string()};
    if (rc != ERROR_SUCCESS || type != REG_SZ)
        return notText;
    const std::wstring text(buffer.data());
    // Only zero bytes may follow the text within the value.
    const BYTE* bytes = reinterpret_cast<const BYTE*>(buffer.data());
    for (DWORD i = static_cast<DWORD>(text.size() * sizeof(wchar_t)); i < size; ++i) {
        if (bytes[i] != 0)
            return notText;
    }
    DeviceValue value = {DeviceValueKind::Text, std::string()};
    if (!narrow(text, value.text) || value.text.size() > TEXT_LIMIT ||
        value.text.find_first_of("\r\n") != std::string::npos || value.text == SKIPPED_VALUE)
        return notText;
    return value;
}
