#include "testlib/registry.h"

#include "testlib/owned.h"

namespace {
testlib::Key createKey(const std::string& path, REGSAM view)
{
    HKEY raw = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &raw,
                    nullptr);
    return testlib::Key(raw);
}

testlib::Key openKey(const std::string& path, REGSAM access)
{
    HKEY raw = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, access, &raw);
    return testlib::Key(raw);
}
} // namespace

bool getRegText(const std::string& path, const std::string& name, std::string& text, REGSAM view)
{
    char buffer[8192] = {};
    DWORD size = sizeof(buffer) - 1;
    testlib::Key key = openKey(path, KEY_QUERY_VALUE | view);
    bool read = key.valid() && RegGetValueA(key.get(), nullptr, name.c_str(), RRF_RT_ANY, nullptr, buffer,
                                            &size) == ERROR_SUCCESS;
    text = read ? buffer : "";
    return read;
}

std::string regText(const std::string& path, const std::string& name, REGSAM view)
{
    std::string text;
    return getRegText(path, name, text, view) ? text : "<absent>";
}

bool makeRegKey(const std::string& path)
{
    return createKey(path, NATIVE_VIEW).valid();
}

bool setRegText(const std::string& path, const std::string& name, const std::string& text, DWORD type,
                REGSAM view)
{
    testlib::Key key = createKey(path, view);
    return key.valid() &&
           RegSetValueExA(key.get(), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

void deleteRegTree(const std::string& path, REGSAM view)
{
    {
        testlib::Key key = openKey(path, KEY_ALL_ACCESS | view);
        if (!key.valid())
            return;
        RegDeleteTreeA(key.get(), nullptr);
    }
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), view, 0);
}

ScratchKey::ScratchKey(std::string keyPath, std::initializer_list<std::pair<const char*, const char*>> values)
    : path(std::move(keyPath))
{
    deleteRegTree(path);
    makeRegKey(path);
    for (const auto& value : values)
        set(value.first, value.second);
}

ScratchKey::~ScratchKey()
{
    deleteRegTree(path);
}

void ScratchKey::set(const char* value, const std::string& text) const
{
    setRegText(path, value, text);
}

bool ScratchKey::has(const char* value) const
{
    std::string ignored;
    return getRegText(path, value, ignored);
}
