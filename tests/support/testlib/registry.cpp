#include "testlib/registry.h"

#include "testlib/owned.h"

namespace {
testlib::Key createKey(const std::string& path)
{
    HKEY raw = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
    return testlib::Key(raw);
}
} // namespace

bool getRegText(const std::string& path, const std::string& name, std::string& text)
{
    char buffer[8192] = {};
    DWORD size = sizeof(buffer) - 1;
    bool read = RegGetValueA(HKEY_LOCAL_MACHINE, path.c_str(), name.c_str(), RRF_RT_ANY, nullptr, buffer,
                             &size) == ERROR_SUCCESS;
    text = read ? buffer : "";
    return read;
}

std::string regText(const std::string& path, const std::string& name)
{
    std::string text;
    return getRegText(path, name, text) ? text : "<absent>";
}

bool makeRegKey(const std::string& path)
{
    return createKey(path).valid();
}

bool setRegText(const std::string& path, const std::string& name, const std::string& text, DWORD type)
{
    testlib::Key key = createKey(path);
    return key.valid() &&
           RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}
