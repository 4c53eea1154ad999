#pragma once
// Values below HKEY_LOCAL_MACHINE as tests set and read them. Every function works in the native
// (64-bit) registry view, as the pad's driver side does on 64-bit Windows, unless `view` names
// another (KEY_WOW64_32KEY: what a 32-bit program sees without asking for a view). On 32-bit
// Windows there is one view.
#include <windows.h>

#include <initializer_list>
#include <string>
#include <utility>

constexpr REGSAM NATIVE_VIEW = KEY_WOW64_64KEY;
// The test program's own view: keys that the system reads in both views (the Run key).
constexpr REGSAM PROGRAM_VIEW = 0;

// Reads a value as text; false (and text empty) when it cannot be read.
bool getRegText(const std::string& path, const std::string& name, std::string& text,
                REGSAM view = NATIVE_VIEW);
// The value's text, or "<absent>".
std::string regText(const std::string& path, const std::string& name, REGSAM view = NATIVE_VIEW);
// Creates the key (with those above it) when it is missing.
bool makeRegKey(const std::string& path);
// Sets a value, creating the key; false when that failed.
bool setRegText(const std::string& path, const std::string& name, const std::string& text,
                DWORD type = REG_SZ, REGSAM view = NATIVE_VIEW);
// Deletes the key with everything below it.
void deleteRegTree(const std::string& path, REGSAM view = NATIVE_VIEW);

// A key below HKEY_LOCAL_MACHINE (native view) that the test owns: made afresh with `values`, deleted
// with everything below it when the object goes.
class ScratchKey {
public:
    explicit ScratchKey(std::string path,
                        std::initializer_list<std::pair<const char*, const char*>> values = {});
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    void set(const char* value, const std::string& text) const;
    bool has(const char* value) const;
    const std::string path;
};
