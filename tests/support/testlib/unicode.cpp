#include "testlib/unicode.h"

#include "testlib/owned.h"

#include <commctrl.h>

#include <vector>

std::wstring widen(const std::string& utf8)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring text(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &text[0], length);
    return text;
}

std::string narrow(const std::wstring& text)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                     nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], length, nullptr,
                        nullptr);
    return utf8;
}

bool makeDirsUtf8(const std::string& path)
{
    std::wstring wide = widen(path);
    for (std::size_t slash = wide.find(L'\\', 3); slash != std::wstring::npos; slash = wide.find(L'\\', slash + 1))
        CreateDirectoryW(wide.substr(0, slash).c_str(), nullptr);
    CreateDirectoryW(wide.c_str(), nullptr);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool copyFileUtf8(const std::string& from, const std::string& to)
{
    return CopyFileW(widen(from).c_str(), widen(to).c_str(), FALSE) != 0;
}

bool writeFileUtf8(const std::string& path, const std::string& bytes)
{
    testlib::Handle file(
        CreateFileW(widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.valid() && WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

std::string readFileUtf8(const std::string& path)
{
    testlib::Handle file(CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string bytes;
    char block[4096];
    DWORD got = 0;
    while (file.valid() && ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got)
        bytes.append(block, got);
    return bytes;
}

Process startUtf8(const std::string& commandLine, const std::string& directory)
{
    return Process(widen(commandLine), widen(directory));
}

std::string regTextUtf8(const std::string& path, const std::string& name, REGSAM view)
{
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, widen(path).c_str(), 0, KEY_QUERY_VALUE | view, &raw) != ERROR_SUCCESS)
        return "<absent>";
    testlib::Key key(raw);
    wchar_t text[4096] = {};
    DWORD type = 0, size = sizeof(text) - sizeof(wchar_t);
    if (RegQueryValueExW(key.get(), widen(name).c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
        return "<absent>";
    return narrow(std::wstring(text, size / sizeof(wchar_t)).c_str());
}

std::string controlTextUtf8(HWND dialog, int id)
{
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, sizeof(text) / sizeof(text[0]),
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length);
    return narrow(text);
}

void setControlTextUtf8(HWND control, const std::string& text)
{
    std::wstring wide = widen(text);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

std::string listViewTextUtf8(HANDLE process, HWND list, int row)
{
    constexpr int LONGEST = 1024;
    struct Remote {
        LVITEMW item;
        wchar_t text[LONGEST];
    };
    void* remote = VirtualAllocEx(process, nullptr, sizeof(Remote), MEM_COMMIT, PAGE_READWRITE);
    if (!remote)
        return {};
    Remote local = {};
    local.item.cchTextMax = LONGEST;
    local.item.pszText = reinterpret_cast<Remote*>(remote)->text;
    WriteProcessMemory(process, remote, &local, sizeof(local), nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(process, remote, &local, sizeof(local), nullptr);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    local.text[LONGEST - 1] = L'\0';
    return narrow(local.text);
}
